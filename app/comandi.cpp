#include "comandi.h"

#include "avanzamento.h"
#include "caricanote.h"
#include "cancelladati.h"
#include "catalogo.h"
#include "copiasicurezza.h"
#include "creazione.h"
#include "demo.h"
#include "elencodipendenti.h"
#include "esportazione.h"
#include "importadipendenti.h"
#include "importatimbrature.h"
#include "messaggi.h"
#include "migrazione.h"
#include "presenzecfg.h"
#include "rptpiano.h"
#include "rptpreass.h"
#include "tabellone.h"
#include "tdtmacquisizione.h"
#include "tdtmanagrafico.h"
#include "tdtmelab.h"
#include "tdtmpresenze.h"
#include "terminali.h"
#include "verificapiano.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <cstdio>
#include <functional>

namespace {

using namespace Msg;

// Exit statuses.
constexpr int kOk = 0;
constexpr int kErrore = 1;
constexpr int kArgomenti = 2;

void stampa(const QString& testo)
{
    std::fprintf(stdout, "%s\n", testo.toLocal8Bit().constData());
    std::fflush(stdout);
}

// Numbers on the command line are plain digits, at least 1: no sign, no spaces, no base.
bool numeroPositivo(const QString& t, int* n)
{
    static const QRegularExpression cifre(QStringLiteral("^[0-9]{1,9}$"));
    if (!cifre.match(t).hasMatch())
        return false;
    *n = t.toInt();
    return *n >= 1;
}

// The argument QCommandLineParser stumbled on: an unknown option, else the last argument
// (an option missing its value).
QString argomentoErrato(const QCommandLineParser& p, const QStringList& argomenti)
{
    if (!p.unknownOptionNames().isEmpty()) {
        const QString nome = p.unknownOptionNames().constFirst();
        return (nome.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nome;
    }
    return argomenti.isEmpty() ? QString() : argomenti.constLast();
}

// Interruttore: an option without a value, present or not.
enum class Valore { Data, Numero, Testo, Interruttore };
enum Regola { Facoltativa = 0, Obbligatoria = 1, Ripetibile = 2 };

struct Opzione {
    const char* nome;  // without the leading "--"
    Valore valore;
    int regole = Facoltativa;
};

// The options of a command as given, checked against its table row: dates are dates,
// numbers plain digits, a repeatable option keeps each value once in the order given.
struct Argomenti {
    QHash<QString, QStringList> valori;
    QStringList posizionali;

    bool presente(const char* nome) const { return !valori.value(QLatin1String(nome)).isEmpty(); }
    QString testo(const char* nome) const { return valori.value(QLatin1String(nome)).value(0); }
    QDate data(const char* nome) const { return QDate::fromString(testo(nome), QStringLiteral("yyyy-MM-dd")); }
    int numero(const char* nome, int predefinito) const { return presente(nome) ? testo(nome).toInt() : predefinito; }
    QList<int> numeri(const char* nome) const
    {
        QList<int> l;
        for (const QString& v : valori.value(QLatin1String(nome)))
            l.append(v.toInt());
        return l;
    }
};

class Comando;

// One batch command. Adding a command is one row here, its handler in Comando and its help
// text aiuto/<nome>.txt (listed in aiuto/generale.txt).
struct DefinizioneComando {
    const char* nome;
    QList<Opzione> opzioni;
    QStringList posizionali;  // named in the message when missing, e.g. GRUPPO CODICE
    bool grafica;             // draws pages: it needs a graphics platform, never a display
    int (Comando::*esegui)();
    // Work tables the command fills, made private to its process (the engine's working
    // punch set and anomalies, the print selection).
    QStringList tabellePrivate = {};
};

class Comando {
public:
    Comando(const RigaDiComando& riga, const DefinizioneComando& def) : m_riga(riga), m_def(def)
    {
        if (m_riga.fileIni.isEmpty())
            m_riga.fileIni = Comandi::FileIniPredefinito();
        m_dtm.setPresentatore(&m_presentatore);
        // The init command says what it adds to an existing database before adding it.
        QObject::connect(&m_dtm, &TdtmPresenze::schemaDaCompletare, [this](const QString& file, const QStringList& mancanti) {
            stampa(TdtmPresenze::ConDettaglio(m_dtm.TestoScelta(EtCompletamento), file + QStringLiteral(": ") + mancanti.join(QStringLiteral(", "))));
        });
    }

    int esegui()
    {
        bool aiuto = false;
        if (const int esito = analizza(&aiuto); esito != kOk)
            return esito;
        if (aiuto) {
            stampa(Comandi::Aiuto(m_riga.comando));
            return kOk;
        }
        // What a handler does not catch itself becomes the message and the exit status every
        // command gives for it.
        try {
            return (this->*m_def.esegui)();
        } catch (const ErroreAvvio& e) {
            m_dtm.MostraErroreCon(e.numero(), QDir::toNativeSeparators(e.dettaglio()));
            return e.numero() == ErrIniNonValido ? kArgomenti : kErrore;
        } catch (const Migrazione::Errore& e) {
            m_dtm.MostraErroreCon(e.numero(), e.dettaglio());
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
        }
        return kErrore;
    }

    // The handlers named by the table.
    int init()
    {
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Sempre); esito != kOk)
            return esito;
        stampa(m_dtm.TestoScelta(EtDbProduzione) + QLatin1Char(' ') + m_dtm.db().descrizione());
        stampa(m_dtm.TestoScelta(EtDbLavoro) + QLatin1Char(' ') + m_dtm.db().descrizioneLavoro());
        return kOk;
    }

    int demo()
    {
        OpzioniDemo o;
        o.dipendenti = m_arg.numero("dipendenti", o.dipendenti);
        o.giorni = m_arg.numero("giorni", o.giorni);
        const QDate oggi = m_arg.data("oggi");
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Sempre); esito != kOk)
            return esito;
        if (oggi.isValid())
            m_dtm.setOggi(oggi);
        o.oggi = m_dtm.Oggi();
        try {
            QElapsedTimer t;
            t.start();
            // Only punches, for the employees a company already has (entered or imported).
            if (m_arg.presente("solo-timbrature")) {
                if (ElencoDipendenti::Vuoto(m_dtm)) {
                    m_dtm.MostraErrore(ErrDemoSenzaDipendenti);
                    return kErrore;
                }
                const RisultatoDemo r = GeneraTimbrature(m_dtm, o);
                stampa(m_dtm.TestoScelta(EtTimbratureGenerate) + QLatin1Char(' ') + QString::number(r.timbrature));
                stampa(m_dtm.TestoScelta(EtSecondi) + QLatin1Char(' ') + QString::number(t.elapsed() / 1000.0, 'f', 2));
                return kOk;
            }
            if (!ElencoDipendenti::Vuoto(m_dtm)) {
                m_dtm.MostraErrore(ErrDemoNonVuoto);
                return kErrore;
            }
            const RisultatoDemo r = GeneraDemo(m_dtm, o);
            stampa(m_dtm.TestoScelta(EtDipendentiGenerati) + QLatin1Char(' ') + QString::number(r.dipendenti));
            stampa(m_dtm.TestoScelta(EtTimbratureGenerate) + QLatin1Char(' ') + QString::number(r.timbrature));
            stampa(m_dtm.TestoScelta(EtSecondi) + QLatin1Char(' ') + QString::number(t.elapsed() / 1000.0, 'f', 2));
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
            return kErrore;
        }
        return kOk;
    }

    int elabora()
    {
        QDate dal, al;
        const QDate oggi = m_arg.data("oggi");
        if (!periodo(&dal, &al))
            return kArgomenti;
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        if (oggi.isValid())
            m_dtm.setOggi(oggi);
        QList<int> ids;
        try {
            if (!dipendenti(&ids))
                return kArgomenti;
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
            return kErrore;
        }
        m_dtm.mem().DataDa = QDateTime(dal, QTime(0, 0), Qt::UTC);
        m_dtm.mem().DataA = QDateTime(al, QTime(0, 0), Qt::UTC);
        TdtmElab elab(m_dtm);
        elab.setFinePianoMostrato(al);
        AvanzamentoStderr barra;
        const EsitoElaborazione esito = elab.ElaboraDipendenti(ids, dal, al, barra);
        if (!esito.Errore.isEmpty()) {
            // A server that went away ends the run: what was committed before stays.
            if (!m_dtm.db().aperto()) {
                m_dtm.MostraErroreCon(ErrConnessionePersa, esito.Errore);
                return kErrore;
            }
            m_dtm.MostraErroreCon(ErrElaborazione, QStringLiteral("%1 (Id %2)").arg(esito.Errore).arg(esito.IdDipErrore));
            return kErrore;
        }
        m_dtm.db().salvaSuDisco();
        stampa(m_dtm.TestoScelta(EtDipendenti) + QLatin1Char(' ') + QString::number(ids.size()));
        stampa(m_dtm.TestoScelta(EtGiorni) + QLatin1Char(' ') + QString::number(esito.Giorni));
        stampa(m_dtm.TestoScelta(EtGiorniAnomalie) + QLatin1Char(' ') + QString::number(esito.GiorniConAnomalie));
        return kOk;
    }

    int verifica()
    {
        QDate dal, al;
        if (!periodo(&dal, &al))
            return kArgomenti;
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        QList<int> ids;
        try {
            if (!dipendenti(&ids))
                return kArgomenti;
            VerificaPiano v(m_dtm);
            AvanzamentoStderr barra;
            const bool completa = v.StartCheck(ids.first(), dal, al, barra);
            m_dtm.db().salvaSuDisco();
            stampa(m_dtm.TestoScelta(EtGiornateCreate) + QLatin1Char(' ') + QString::number(v.GiorniCreati()));
            if (!completa) {
                m_dtm.MostraErrore(ErrVerificaAnnullata);
                return kErrore;
            }
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
            return kErrore;
        }
        return kOk;
    }

    int stampaReport()
    {
        const QString gruppo = m_arg.posizionali.at(0).toUpper();
        int codice = 0;
        if (!numeroPositivo(m_arg.posizionali.at(1), &codice))
            return erroreArgomenti(ErrArgomento, m_arg.posizionali.at(1));
        if (gruppo != QLatin1String("CP"))
            return erroreArgomenti(ErrGruppo, gruppo);
        QDate dal, al;
        if (!periodo(&dal, &al))
            return kArgomenti;
        Stampa::Formato formato;
        const QString testoFormato = m_arg.testo("formato");
        if (!Stampa::FormatoDaTesto(testoFormato, &formato))
            return erroreArgomenti(ErrFormato, testoFormato);
        const QString uscita = m_arg.testo("out");
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        if (m_dtm.FileDellApplicazione(uscita))
            return erroreArgomenti(ErrUscitaProtetta, QDir::toNativeSeparators(uscita));
        return salvaStampa(uscita, [&]() -> int {
            m_dtm.CaricaMemoria();
            ParametriPiano par;
            par.titolo = Stampa::DescrizioneStampa(m_dtm, gruppo, codice);
            if (par.titolo.isEmpty())
                return erroreArgomenti(ErrStampaSconosciuta, gruppo + QLatin1Char(' ') + QString::number(codice));
            if (Stampa::PeriodoTroppoLungo(codice, dal, al)) {
                m_dtm.MostraErrore(Msg::ErrPeriodoLungo);
                return kErrore;
            }
            if (m_arg.presente("dip")) {
                QList<int> ids;
                if (!dipendenti(&ids))
                    return kArgomenti;
                par.selezione = Stampa::SelezioneDipendenti(m_dtm, ids);
            }
            par.dal = dal;
            par.al = al;
            par.rigaSelezione = Stampa::RigaSelezionePiano(m_dtm, dal, al);
            const std::optional<DocumentoStampa> doc = Stampa::DocumentoPiano(m_dtm, codice, par);
            if (!doc)
                return erroreArgomenti(ErrStampaSconosciuta, gruppo + QLatin1Char(' ') + QString::number(codice));
            Stampa::Salva(*doc, formato, uscita);
            return kOk;
        });
    }

    // Copies the production database of this PRES.INI to the other engine; Motore is left as it
    // is, so the copy is used only once the user says so.
    int migra()
    {
        const QString verso = m_arg.testo("verso");
        Dialetto::Motore destinazione = Dialetto::Motore::SQLite;
        if (verso.compare(QLatin1String("postgres"), Qt::CaseInsensitive) == 0)
            destinazione = Dialetto::Motore::PostgreSQL;
        else if (!Dialetto::motoreDaNome(verso, &destinazione))
            return erroreArgomenti(ErrArgomento, QStringLiteral("--verso ") + verso);
        const Dialetto::Motore origine =
            destinazione == Dialetto::Motore::SQLite ? Dialetto::Motore::PostgreSQL : Dialetto::Motore::SQLite;
        m_dtm.LeggiConfigurazione(m_riga.fileIni);
        const Connessione da = m_dtm.ConnessioneSu(origine);
        const Connessione a = m_dtm.ConnessioneSu(destinazione);
        // The default folder of the file is made as the first start makes it.
        if (destinazione == Dialetto::Motore::SQLite && m_dtm.cfg().PathProduzione.isEmpty())
            QDir().mkpath(QFileInfo(a.file).absolutePath());
        AvanzamentoStderr barra;
        const Migrazione::Esito esito = Migrazione::Copia(da, a, m_arg.presente("sostituisci"), barra, m_dtm.TestoScelta(EtCopiaTabelle));
        stampa(m_dtm.TestoScelta(EtDestinazione) + QLatin1Char(' ') + a.descrizione());
        stampa(m_dtm.TestoScelta(EtTabelleCopiate) + QLatin1Char(' ') + QString::number(esito.tabelle));
        stampa(m_dtm.TestoScelta(EtRigheCopiate) + QLatin1Char(' ') + QString::number(esito.righe));
        stampa(TdtmPresenze::ConDettaglio(m_dtm.TestoScelta(EtMotoreInvariato), QStringLiteral("Motore=") + Dialetto::nomeMotore(destinazione)));
        return kOk;
    }

    // Notes loading over a period, as the "Caricamento Note" window does it.
    int note()
    {
        OpzioniNote o;
        o.Dal = m_arg.data("dal");
        o.Al = m_arg.data("al");
        o.Nota = m_arg.testo("nota");
        o.Chiusura = m_arg.presente("chiusura");
        o.OreMedie = m_arg.presente("ore-medie");
        o.Sostituisci = m_arg.presente("sostituisci");
        o.Annullamento = m_arg.presente("annulla");
        if (const int errore = CaricamentoNote::Controlla(o); errore != 0) {
            m_dtm.MostraErrore(errore);
            return kArgomenti;
        }
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        QList<int> ids;
        EsitoNote esito;
        try {
            if (!dipendenti(&ids))
                return kArgomenti;
            CaricamentoNote carica(m_dtm);
            AvanzamentoStderr barra;
            esito = carica.Esegui(ids, o, barra);
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
            return kErrore;
        }
        if (!esito.Errore.isEmpty()) {
            if (!m_dtm.db().aperto()) {
                m_dtm.MostraErroreCon(ErrConnessionePersa, esito.Errore);
                return kErrore;
            }
            m_dtm.MostraErroreCon(ErrCaricamentoNote, QStringLiteral("%1 (Id %2)").arg(esito.Errore).arg(esito.IdDipErrore));
            return kErrore;
        }
        m_dtm.db().salvaSuDisco();
        stampa(m_dtm.TestoScelta(EtDipendentiNote) + QLatin1Char(' ') + QString::number(esito.Dipendenti));
        stampa(m_dtm.TestoScelta(EtGiorniScritti) + QLatin1Char(' ') + QString::number(esito.Giorni));
        stampa(m_dtm.TestoScelta(EtGiornateCreate) + QLatin1Char(' ') + QString::number(esito.GiorniCreati));
        stampa(m_dtm.TestoScelta(EtGiorniLasciati) + QLatin1Char(' ') + QString::number(esito.GiorniLasciati));
        return kOk;
    }

    int importaDipendenti()
    {
        // The file first: one that cannot be read is a wrong argument, and leaves the
        // database unopened.
        const QString nomeFile = m_arg.posizionali.at(0);
        QFile file(nomeFile);
        if (!QFileInfo(nomeFile).isFile() || !file.open(QIODevice::ReadOnly))
            return erroreArgomenti(ErrImportLettura, QDir::toNativeSeparators(nomeFile));
        const QByteArray dati = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return erroreArgomenti(ErrImportLettura, QDir::toNativeSeparators(nomeFile));
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        TdtmAnagrafico anag(m_dtm);
        ImportaDipendenti importa(anag);
        EsitoImportazione e;
        try {
            AvanzamentoStderr barra;
            e = importa.Importa(dati, barra);
        } catch (const ErroreDb& err) {
            m_dtm.MostraErroreDb(err);
            return kErrore;
        }
        if (!e.ok()) {
            // Every refused value on its own line, after the count of the lines concerned.
            QSet<int> righe;
            for (const ValoreRifiutato& r : std::as_const(e.rifiutati))
                righe.insert(r.riga);
            if (!righe.contains(0))
                m_dtm.MostraErroreCon(ErrImportRifiutato, QString::number(righe.size()));
            for (const ValoreRifiutato& r : std::as_const(e.rifiutati))
                m_presentatore.avviso(importa.Descrivi(r));
            if (e.annullato)
                m_dtm.MostraErrore(ErrImportAnnullato);
            return kErrore;
        }
        m_dtm.db().salvaSuDisco();
        stampa(m_dtm.TestoScelta(EtDipendentiImportati) + QLatin1Char(' ') + QString::number(e.importati));
        return kOk;
    }

    // The terminals of --terminale, each once in the order given, or every terminal in Id
    // order; an id that names no terminal is a wrong argument.
    int terminaliScelti(TdtmAcquisizione& acq, QList<int>* ids)
    {
        QList<int> tutti;
        for (const DatiTerminale& t : acq.Terminali())
            tutti << t.id;
        *ids = m_arg.presente("terminale") ? m_arg.numeri("terminale") : tutti;
        for (int id : std::as_const(*ids))
            if (!tutti.contains(id))
                return erroreArgomenti(ErrTerminaleInesistente, QString::number(id));
        return kOk;
    }

    // A report command's work: a report error or a database error becomes its message and
    // status, and a report written to `uscita` is announced. `corpo` returns kOk once done.
    int salvaStampa(const QString& uscita, const std::function<int()>& corpo)
    {
        try {
            if (const int esito = corpo(); esito != kOk)
                return esito;
        } catch (const ErroreStampa& e) {
            m_dtm.MostraErroreCon(e.numero(), QDir::toNativeSeparators(e.dettaglio()));
            return kErrore;
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
            return kErrore;
        }
        if (!uscita.isEmpty())
            stampa(m_dtm.TestoScelta(EtStampaSalvata) + QLatin1Char(' ') + QDir::toNativeSeparators(uscita));
        return kOk;
    }

    // The terminals chosen by --terminale (all when none) go through `corsa`; the counts are
    // then told by `riepilogo`. The run's own status, kOk or kErrore, is returned.
    int corsaSuiTerminali(EsitoRun (TdtmAcquisizione::*corsa)(const LibreriaTerminali&, const QList<int>&, OsservatoreAcquisizione&),
                          const std::function<void(const EsitoRun&, int completati, int scelti)>& riepilogo)
    {
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        TdtmAcquisizione acq(m_dtm);
        QList<int> ids;
        if (const int esito = terminaliScelti(acq, &ids); esito != kOk)
            return esito;
        OsservatoreStderr oss;
        const EsitoRun e = (acq.*corsa)(LibreriaSeriale(), ids, oss);
        int completati = 0;
        for (const TurnoTerminale& t : e.turni)
            completati += t.esito == EsitoTerminale::Completato;
        riepilogo(e, completati, int(ids.size()));
        return e.completa(int(ids.size())) && !e.logFallito ? kOk : kErrore;
    }

    // The run of the acquisition page without the window: status on standard error, warnings
    // (rejections, terminals that failed) on standard output, then the counts. 1 when some
    // terminal was not served to the end; rejected transactions are recorded for the
    // error-punch report and do not fail the command.
    int acquisisci()
    {
        return corsaSuiTerminali(&TdtmAcquisizione::Acquisisci, [this](const EsitoRun& e, int completati, int scelti) {
            stampa(QStringLiteral("%1 %2, %3 %4, %5 %6; %7 %8/%9")
                       .arg(m_dtm.TestoScelta(EtTransazioniRicevute)).arg(e.transazioni)
                       .arg(m_dtm.TestoScelta(EtTransazioniRegistrate)).arg(e.registrate)
                       .arg(m_dtm.TestoScelta(EtTransazioniScartate)).arg(e.rifiutate)
                       .arg(m_dtm.TestoScelta(EtTerminaliCompletati)).arg(completati).arg(scelti));
        });
    }

    int sincronizza()
    {
        return corsaSuiTerminali(&TdtmAcquisizione::Sincronizza, [this](const EsitoRun&, int completati, int scelti) {
            stampa(QStringLiteral("%1 %2/%3").arg(m_dtm.TestoScelta(EtTerminaliSincronizzati)).arg(completati).arg(scelti));
        });
    }

    // Punches of a fixed-column file in the [File_acq] layout of this PRES.INI. Every refused
    // line goes to standard output; 1 when some were refused, 2 when the import did not run
    // or stopped.
    int importa()
    {
        const QString nomeFile = m_arg.posizionali.at(0);
        if (!QFileInfo(nomeFile).isFile() || !QFileInfo(nomeFile).isReadable())
            return erroreArgomenti(ErrFileTimbrature, QDir::toNativeSeparators(nomeFile));
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        FormatoFileAcq formato;
        FormatoFile::Carica(m_dtm.ini(), formato);
        if (const FormatoFile::Verifica v = FormatoFile::Controlla(formato); v != FormatoFile::Corretto)
            return erroreArgomenti(ErrTracciatoFile, QStringLiteral(": ") + m_dtm.TestoErrore(FormatoFile::Messaggio(v)));
        ImportaTimbrature importa(m_dtm, formato);
        EsitoImportTimbrature e;
        {
            AvanzamentoStderr barra;
            e = importa.Importa(nomeFile, barra);
        }
        m_dtm.db().salvaSuDisco();
        for (const AvvisoImport& a : std::as_const(e.avvisi))
            stampa(importa.Descrivi(a));
        if (e.letturaFallita)
            return erroreArgomenti(ErrFileTimbrature, QDir::toNativeSeparators(nomeFile));
        stampa(m_dtm.TestoScelta(EtTimbratureImportate) + QLatin1Char(' ') + QString::number(e.importate));
        if (!e.avvisi.isEmpty()) {
            stampa(m_dtm.TestoScelta(EtRigheRifiutate) + QLatin1Char(' ') + QString::number(e.avvisi.size()));
            m_dtm.MostraErrore(ErrImportTimbrature);
        }
        if (e.rigaDataInesistente)
            return erroreArgomenti(ErrDataInesistente, QString::number(e.rigaDataInesistente));
        return e.avvisi.isEmpty() ? kOk : kErrore;
    }

    // The presence board of a day, built into TPresAss as the window builds it, printed as a
    // text table or saved through the report.
    int presenti()
    {
        ParametriTabellone p;
        p.Data = m_arg.data("data");
        const bool oraria = m_arg.presente("ora");
        if (oraria == (m_arg.presente("dalle") || m_arg.presente("alle")))
            return erroreArgomenti(oraria ? ErrArgomento : ErrMancante, oraria ? QStringLiteral("--dalle") : QStringLiteral("--ora"));
        const auto ora = [this](const char* nome, QTime* t) {
            static const QRegularExpression forma(QStringLiteral("^[0-9]{2}:[0-9]{2}$"));
            const QString testo = m_arg.testo(nome);
            *t = QTime::fromString(testo, QStringLiteral("HH:mm"));
            return forma.match(testo).hasMatch() && t->isValid();
        };
        if (oraria) {
            if (!ora("ora", &p.Ora))
                return erroreArgomenti(ErrArgomento, QStringLiteral("--ora ") + m_arg.testo("ora"));
        } else {
            p.Fascia = true;
            for (const char* nome : {"dalle", "alle"})
                if (!m_arg.presente(nome))
                    return erroreArgomenti(ErrMancante, QStringLiteral("--") + QLatin1String(nome));
            if (!ora("dalle", &p.Dalle))
                return erroreArgomenti(ErrArgomento, QStringLiteral("--dalle ") + m_arg.testo("dalle"));
            if (!ora("alle", &p.Alle))
                return erroreArgomenti(ErrArgomento, QStringLiteral("--alle ") + m_arg.testo("alle"));
            if (p.Alle <= p.Dalle) {
                m_dtm.MostraErrore(ErrOraNonSuccessiva);
                return kArgomenti;
            }
        }
        const QString categoria = m_arg.presente("categoria") ? m_arg.testo("categoria").toLower() : QStringLiteral("tutti");
        if (categoria == QLatin1String("presenti"))
            p.Assenti = false;
        else if (categoria == QLatin1String("assenti"))
            p.Presenti = false;
        else if (categoria != QLatin1String("tutti"))
            return erroreArgomenti(ErrArgomento, QStringLiteral("--categoria ") + m_arg.testo("categoria"));
        Stampa::Formato formato = Stampa::Formato::Testo;
        const QString uscita = m_arg.testo("out");
        if (m_arg.presente("formato") != m_arg.presente("out"))
            return erroreArgomenti(ErrMancante, m_arg.presente("out") ? QStringLiteral("--formato") : QStringLiteral("--out"));
        if (m_arg.presente("formato") && !Stampa::FormatoDaTesto(m_arg.testo("formato"), &formato))
            return erroreArgomenti(ErrFormato, m_arg.testo("formato"));
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        if (!uscita.isEmpty() && m_dtm.FileDellApplicazione(uscita))
            return erroreArgomenti(ErrUscitaProtetta, QDir::toNativeSeparators(uscita));
        return salvaStampa(uscita, [&]() -> int {
            m_dtm.CaricaMemoria();
            if (m_arg.presente("dip")) {
                QList<int> ids;
                if (!dipendenti(&ids))
                    return kArgomenti;
                p.Selezione = Stampa::SelezioneDipendenti(m_dtm, ids).tabella;
            }
            Tabellone::Costruisci(m_dtm, p);
            const QList<RigaTabellone> righe = Tabellone::Righe(m_dtm);
            if (uscita.isEmpty()) {
                const auto riga = [](const QString& a, const QString& b, const QString& c) {
                    return a.leftJustified(10) + QLatin1Char(' ') + b.leftJustified(51) + QLatin1Char(' ') + c;
                };
                stampa(riga(QStringLiteral("Matricola"), QStringLiteral("Dipendente"), QStringLiteral("Stato")));
                for (const RigaTabellone& r : righe)
                    stampa(riga(r.Matricola, r.Dipendente(), r.StatoEsteso).trimmed());
                return kOk;
            }
            const QString descrizione = Stampa::DescrizioneStampa(m_dtm, QStringLiteral("CA"), Stampa::kPresentiAssenti);
            Stampa::Salva(TrptPreAss(m_dtm).Crea(descrizione, p, righe), formato, uscita);
            return kOk;
        });
    }

    // Refused without --conferma: then it only says what it would delete.
    int cancella()
    {
        QDate dal, al;
        if (!periodo(&dal, &al))
            return kArgomenti;
        CancellaDati::Tipo tipo;
        if (!CancellaDati::TipoDaTesto(m_arg.testo("tipo"), &tipo))
            return erroreArgomenti(ErrArgomento, QStringLiteral("--tipo ") + m_arg.testo("tipo"));
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        try {
            QList<int> ids;
            if (!dipendenti(&ids))
                return kArgomenti;
            if (!m_arg.presente("conferma")) {
                const CancellaDati::Conteggio c = CancellaDati::Prevedi(m_dtm, tipo, ids, dal, al);
                m_dtm.MostraErrore(ErrCancellaSenzaConferma);
                stampaConteggio(tipo, c);
                return kArgomenti;
            }
            AvanzamentoStderr barra;
            const CancellaDati::Esito e =
                CancellaDati::Esegui(m_dtm, tipo, ids, dal, al, barra, m_dtm.TestoScelta(EtCancellazione));
            stampaConteggio(tipo, e.cancellati);
            if (e.idErrore != 0) {
                m_dtm.MostraErroreCon(ErrCancellazioneInterrotta, e.dipendente + QStringLiteral(": ") + e.errore);
                return kErrore;
            }
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
            return kErrore;
        }
        return kOk;
    }

    int copia()
    {
        const QString cartella = m_arg.testo("out");
        if (const int esito = apri(TdtmPresenze::ModoCreazione::Mai); esito != kOk)
            return esito;
        try {
            AvanzamentoStderr barra;
            CopiaSicurezza::Salva(m_dtm, cartella, barra, m_dtm.TestoScelta(EtCopiaSicurezza));
        } catch (const Migrazione::Errore& e) {
            m_dtm.MostraErroreCon(e.numero(), e.dettaglio());
            return e.numero() == ErrCartellaCopia ? kArgomenti : kErrore;
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreCon(ErrCopia, e.testo());
            return kErrore;
        }
        stampa(m_dtm.TestoScelta(EtCopiaSalvata) + QLatin1Char(' ') + QDir::toNativeSeparators(QFileInfo(cartella).absoluteFilePath()));
        return kOk;
    }

    // The databases are never opened here: the restore replaces what they hold, and refuses
    // while any connection, this process's included, has them open.
    int ripristina()
    {
        const QString copia = m_arg.posizionali.at(0);
        if (!m_arg.presente("conferma")) {
            m_dtm.MostraErrore(ErrRipristinoSenzaConferma);
            return kArgomenti;
        }
        m_dtm.LeggiConfigurazione(m_riga.fileIni);
        AvanzamentoStderr barra;
        const Migrazione::Esito esito = CopiaSicurezza::Ripristina(m_dtm, copia, barra, m_dtm.TestoScelta(EtRipristino));
        stampa(m_dtm.TestoScelta(EtRipristinato) + QLatin1Char(' ') + QDir::toNativeSeparators(QFileInfo(copia).absoluteFilePath()));
        stampa(m_dtm.TestoScelta(EtTabelleCopiate) + QLatin1Char(' ') + QString::number(esito.tabelle));
        stampa(m_dtm.TestoScelta(EtRigheCopiate) + QLatin1Char(' ') + QString::number(esito.righe));
        return kOk;
    }

private:
    void stampaConteggio(CancellaDati::Tipo tipo, const CancellaDati::Conteggio& c)
    {
        const bool completa = tipo == CancellaDati::Tipo::Completa;
        stampa(m_dtm.TestoScelta(completa ? EtDipendentiCancellati : EtDipendentiTrattati) + QLatin1Char(' ') + QString::number(c.dipendenti));
        stampa(m_dtm.TestoScelta(EtTimbratureCancellate) + QLatin1Char(' ') + QString::number(c.timbrature));
        stampa(m_dtm.TestoScelta(tipo == CancellaDati::Tipo::Timbrature ? EtGiorniAzzerati : EtGiorniCancellati) + QLatin1Char(' ') +
               QString::number(c.giorni));
    }

    int analizza(bool* aiuto)
    {
        QCommandLineParser p;
        const QCommandLineOption opzioneAiuto(QStringList{QStringLiteral("h"), QStringLiteral("help")});
        p.addOption(opzioneAiuto);
        for (const Opzione& o : m_def.opzioni)
            p.addOption(o.valore == Valore::Interruttore ? QCommandLineOption(QString::fromLatin1(o.nome))
                                                         : QCommandLineOption(QString::fromLatin1(o.nome), QString(), QStringLiteral("valore")));
        if (!p.parse(QStringList{QStringLiteral("quorlin")} + m_riga.opzioni))
            return erroreArgomenti(ErrArgomento, argomentoErrato(p, m_riga.opzioni));
        if (p.isSet(opzioneAiuto)) {
            *aiuto = true;
            return kOk;
        }
        for (const Opzione& o : m_def.opzioni) {
            const QString nome = QString::fromLatin1(o.nome);
            const QString opzione = QStringLiteral("--") + nome;
            if (o.valore == Valore::Interruttore) {
                const qsizetype volte = p.optionNames().count(nome);
                if (volte > 1)
                    return erroreArgomenti(ErrArgomento, opzione);
                if (volte == 1)
                    m_arg.valori.insert(nome, {nome});
                continue;
            }
            QStringList valori = p.values(nome);
            if (valori.isEmpty() && (o.regole & Obbligatoria))
                return erroreArgomenti(ErrMancante, opzione);
            if (valori.size() > 1 && !(o.regole & Ripetibile))
                return erroreArgomenti(ErrArgomento, opzione);
            valori.removeDuplicates();
            for (const QString& v : std::as_const(valori)) {
                int n = 0;
                if (o.valore == Valore::Data && !QDate::fromString(v, QStringLiteral("yyyy-MM-dd")).isValid())
                    return erroreArgomenti(ErrData, v);
                if (o.valore == Valore::Numero && !numeroPositivo(v, &n))
                    return erroreArgomenti(ErrArgomento, opzione + QLatin1Char(' ') + v);
            }
            m_arg.valori.insert(nome, valori);
        }
        m_arg.posizionali = p.positionalArguments();
        if (m_arg.posizionali.size() > m_def.posizionali.size())
            return erroreArgomenti(ErrArgomento, m_arg.posizionali.at(m_def.posizionali.size()));
        if (m_arg.posizionali.size() < m_def.posizionali.size())
            return erroreArgomenti(ErrMancante, m_def.posizionali.join(QLatin1Char(' ')));
        return kOk;
    }

    int erroreArgomenti(int numero, const QString& testo)
    {
        m_dtm.MostraErroreCon(numero, testo);
        return kArgomenti;
    }

    bool periodo(QDate* dal, QDate* al)
    {
        *dal = m_arg.data("dal");
        *al = m_arg.data("al");
        if (*dal > *al) {
            m_dtm.MostraErrore(ErrPeriodo);
            return false;
        }
        return true;
    }

    // Opens the databases; returns the exit status (kOk when they are open).
    int apri(TdtmPresenze::ModoCreazione modo)
    {
        try {
            m_dtm.Apri(m_riga.fileIni, modo);
            ImpostaDispositivi(m_dtm.cfg().PorteSeriali);
            if (!m_dtm.db().lavoroAperto())
                return kErrore;  // message 1 already told why
            // Work tables this command fills stay private to this process, so copies running
            // side by side never read each other's rows.
            Creazione::rendiPrivate(m_dtm.db(), m_def.tabellePrivate);
            return kOk;
        } catch (const ErroreAvvio& e) {
            m_dtm.MostraErroreCon(e.numero(), QDir::toNativeSeparators(e.dettaglio()));
            // --ini naming something that is not a configuration file is a wrong argument.
            return e.numero() == ErrIniNonValido ? kArgomenti : kErrore;
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreCon(ErrApertura, e.testo());
        } catch (const std::exception& e) {
            m_dtm.MostraErroreCon(ErrIni, QString::fromLocal8Bit(e.what()));
        }
        return kErrore;
    }

    // The employees named by --dip (each must exist), or every employee in Id order.
    bool dipendenti(QList<int>* ids)
    {
        const QList<int> richiesti = m_arg.numeri("dip");
        if (richiesti.isEmpty()) {
            *ids = ElencoDipendenti::Tutti(m_dtm);
            return true;
        }
        for (int id : richiesti)
            if (!ElencoDipendenti::Esiste(m_dtm, id)) {
                m_dtm.MostraErroreCon(ErrDipendente, QString::number(id));
                return false;
            }
        *ids = richiesti;
        return true;
    }

    RigaDiComando m_riga;
    const DefinizioneComando& m_def;
    Argomenti m_arg;
    PresentatoreStderr m_presentatore;
    TdtmPresenze m_dtm;
};

const DefinizioneComando kComandi[] = {
    {"init", {}, {}, false, &Comando::init},
    {"demo",
     {{"dipendenti", Valore::Numero}, {"giorni", Valore::Numero}, {"oggi", Valore::Data}, {"solo-timbrature", Valore::Interruttore}},
     {},
     false,
     &Comando::demo},
    {"elabora",
     {{"dal", Valore::Data, Obbligatoria}, {"al", Valore::Data, Obbligatoria}, {"dip", Valore::Numero, Ripetibile}, {"oggi", Valore::Data}},
     {},
     false,
     &Comando::elabora,
     {QStringLiteral("ETimb"), QStringLiteral("EEvid")}},
    {"verifica",
     {{"dal", Valore::Data, Obbligatoria}, {"al", Valore::Data, Obbligatoria}, {"dip", Valore::Numero, Obbligatoria}},
     {},
     false,
     &Comando::verifica},
    {"stampa",
     {{"dal", Valore::Data, Obbligatoria},
      {"al", Valore::Data, Obbligatoria},
      {"dip", Valore::Numero, Ripetibile},
      {"formato", Valore::Testo, Obbligatoria},
      {"out", Valore::Testo, Obbligatoria}},
     {QStringLiteral("GRUPPO"), QStringLiteral("CODICE")},
     true,
     &Comando::stampaReport,
     {QStringLiteral("SelezioneStampa")}},
    {"note",
     {{"dal", Valore::Data, Obbligatoria},
      {"al", Valore::Data, Obbligatoria},
      {"nota", Valore::Testo},
      {"chiusura", Valore::Interruttore},
      {"ore-medie", Valore::Interruttore},
      {"sostituisci", Valore::Interruttore},
      {"annulla", Valore::Interruttore},
      {"dip", Valore::Numero, Ripetibile}},
     {},
     false,
     &Comando::note},
    {"importa-dipendenti", {}, {QStringLiteral("FILE")}, false, &Comando::importaDipendenti},
    {"importa", {}, {QStringLiteral("FILE")}, false, &Comando::importa},
    {"presenti",
     {{"data", Valore::Data, Obbligatoria},
      {"ora", Valore::Testo},
      {"dalle", Valore::Testo},
      {"alle", Valore::Testo},
      {"categoria", Valore::Testo},
      {"dip", Valore::Numero, Ripetibile},
      {"formato", Valore::Testo},
      {"out", Valore::Testo}},
     {},
     true,
     &Comando::presenti,
     // TPresAss stays in the work database, where it can be read after the command.
     {QStringLiteral("SelezioneStampa")}},
    {"acquisisci", {{"terminale", Valore::Numero, Ripetibile}}, {}, false, &Comando::acquisisci},
    {"sincronizza", {{"terminale", Valore::Numero, Ripetibile}}, {}, false, &Comando::sincronizza},
    {"cancella",
     {{"dal", Valore::Data, Obbligatoria},
      {"al", Valore::Data, Obbligatoria},
      {"tipo", Valore::Testo, Obbligatoria},
      {"dip", Valore::Numero, Ripetibile},
      {"conferma", Valore::Interruttore}},
     {},
     false,
     &Comando::cancella},
    {"copia", {{"out", Valore::Testo, Obbligatoria}}, {}, false, &Comando::copia},
    {"ripristina", {{"conferma", Valore::Interruttore}}, {QStringLiteral("COPIA")}, false, &Comando::ripristina},
    {"migra", {{"verso", Valore::Testo, Obbligatoria}, {"sostituisci", Valore::Interruttore}}, {}, false, &Comando::migra},
};

const DefinizioneComando* definizione(const QString& nome)
{
    for (const DefinizioneComando& d : kComandi)
        if (nome == QLatin1String(d.nome))
            return &d;
    return nullptr;
}

QString leggiRisorsa(const QString& nome)
{
    QFile f(QStringLiteral(":/aiuto_comandi/") + nome + QStringLiteral(".txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).trimmed();
}

}  // namespace

namespace Comandi {

bool Analizza(const QStringList& argomenti, RigaDiComando* riga, QString* errore)
{
    // Options before the command are the program's; what follows the command is its own.
    QCommandLineParser p;
    p.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption ini(QStringLiteral("ini"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption aiuto(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    p.addOptions({ini, aiuto});
    if (!p.parse(QStringList{QStringLiteral("quorlin")} + argomenti)) {
        *errore = argomentoErrato(p, argomenti);
        return false;
    }
    if (p.values(ini).size() > 1) {
        *errore = QStringLiteral("--ini");
        return false;
    }
    riga->fileIni = p.value(ini);
    riga->aiuto = p.isSet(aiuto);
    QStringList resto = p.positionalArguments();
    if (!resto.isEmpty()) {
        riga->comando = resto.takeFirst();
        riga->opzioni = resto;
    }
    return true;
}

QString FileIniPredefinito()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("PRES.INI"));
}

bool RichiedeGrafica(const RigaDiComando& riga)
{
    const DefinizioneComando* def = definizione(riga.comando);
    return def && def->grafica && !riga.aiuto;
}

QString Aiuto(const QString& comando)
{
    return leggiRisorsa(comando.isEmpty() ? QStringLiteral("generale") : comando);
}

int Esegui(const RigaDiComando& riga)
{
    if (riga.comando.isEmpty()) {
        stampa(Aiuto());
        return kOk;
    }
    const DefinizioneComando* def = definizione(riga.comando);
    if (!def) {
        TdtmPresenze dtm;
        PresentatoreStderr p;
        dtm.setPresentatore(&p);
        dtm.MostraErroreCon(ErrComando, riga.comando);
        std::fprintf(stderr, "%s\n", Aiuto().toLocal8Bit().constData());
        return kArgomenti;
    }
    if (riga.aiuto) {
        stampa(Aiuto(riga.comando));
        return kOk;
    }
    Comando c(riga, *def);
    return c.esegui();
}

}  // namespace Comandi
