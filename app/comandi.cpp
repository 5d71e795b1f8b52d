#include "comandi.h"

#include "avanzamento.h"
#include "catalogo.h"
#include "demo.h"
#include "esportazione.h"
#include "rptpiano.h"
#include "tdtmelab.h"
#include "tdtmpresenze.h"
#include "verificapiano.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {

// Exit statuses.
constexpr int kOk = 0;
constexpr int kErrore = 1;
constexpr int kArgomenti = 2;

// Messages of the commands (Errori / Scelte numbers reserved to the application).
enum Errore {
    ErrApertura = 9001,
    ErrComando = 9002,
    ErrArgomento = 9003,
    ErrData = 9004,
    ErrDipendente = 9005,
    ErrIni = 9006,
    ErrDemoNonVuoto = 9007,
    ErrPeriodo = 9008,
    ErrMancante = 9009,
    ErrElaborazione = 9010,
    ErrDatabase = 9011,
    ErrVerificaAnnullata = 9012,
    ErrStampaSconosciuta = 9202,
    ErrFormato = 9203,
    ErrGruppo = 9204,
};
enum Etichetta {
    EtDbProduzione = 9001,
    EtDbLavoro = 9002,
    EtDipendenti = 9003,
    EtGiorni = 9004,
    EtGiorniAnomalie = 9005,
    EtGiornateCreate = 9006,
    EtDipendentiGenerati = 9007,
    EtTimbratureGenerate = 9008,
    EtSecondi = 9009,
    EtElaborazione = 9010,
    EtVerifica = 9011,
    EtStampaSalvata = 9200,
};

const QStringList kComandi = {QStringLiteral("init"), QStringLiteral("demo"), QStringLiteral("elabora"), QStringLiteral("verifica"),
                                QStringLiteral("stampa")};

void stampa(const QString& testo)
{
    std::fprintf(stdout, "%s\n", testo.toLocal8Bit().constData());
    std::fflush(stdout);
}

// Options of one command: "--name value" pairs, repeatable.
struct Opzioni {
    QMultiHash<QString, QString> valori;
    bool aiuto = false;
};

class Comando {
public:
    explicit Comando(const RigaDiComando& riga) : m_riga(riga)
    {
        m_dtm.setPresentatore(&m_presentatore);
    }

    int esegui()
    {
        Opzioni o;
        const QStringList ammesse = opzioniAmmesse();
        int i = 0;
        // The print command names its report before the options: group and code.
        if (m_riga.comando == QLatin1String("stampa"))
            for (; i < m_riga.opzioni.size() && m_posizionali.size() < 2 && !m_riga.opzioni.at(i).startsWith(QLatin1Char('-')); ++i)
                m_posizionali << m_riga.opzioni.at(i);
        for (; i < m_riga.opzioni.size(); ++i) {
            const QString a = m_riga.opzioni.at(i);
            if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
                o.aiuto = true;
                continue;
            }
            if (!ammesse.contains(a) || i + 1 >= m_riga.opzioni.size())
                return erroreArgomenti(ErrArgomento, a);
            o.valori.insert(a, m_riga.opzioni.at(++i));
        }
        if (o.aiuto) {
            stampa(Comandi::Aiuto(m_riga.comando));
            return kOk;
        }
        m_opzioni = o;
        if (m_riga.comando == QLatin1String("init"))
            return init();
        if (m_riga.comando == QLatin1String("demo"))
            return demo();
        if (m_riga.comando == QLatin1String("elabora"))
            return elabora();
        if (m_riga.comando == QLatin1String("stampa"))
            return stampaReport();
        return verifica();
    }

private:
    QStringList opzioniAmmesse() const
    {
        if (m_riga.comando == QLatin1String("demo"))
            return {QStringLiteral("--dipendenti"), QStringLiteral("--giorni"), QStringLiteral("--oggi")};
        if (m_riga.comando == QLatin1String("elabora"))
            return {QStringLiteral("--dal"), QStringLiteral("--al"), QStringLiteral("--dip"), QStringLiteral("--oggi")};
        if (m_riga.comando == QLatin1String("verifica"))
            return {QStringLiteral("--dal"), QStringLiteral("--al"), QStringLiteral("--dip")};
        if (m_riga.comando == QLatin1String("stampa"))
            return {QStringLiteral("--dal"), QStringLiteral("--al"), QStringLiteral("--dip"), QStringLiteral("--formato"),
                    QStringLiteral("--out")};
        return {};
    }

    int erroreArgomenti(int numero, const QString& testo)
    {
        m_dtm.MostraErroreCon(numero, QLatin1Char(' ') + testo);
        return kArgomenti;
    }

    // Reads a date option; false (after the message) when it is missing or malformed.
    bool data(const QString& nome, bool obbligatoria, QDate* d)
    {
        const QString t = m_opzioni.valori.value(nome);
        if (t.isEmpty()) {
            if (obbligatoria)
                m_dtm.MostraErroreCon(ErrMancante, QLatin1Char(' ') + nome);
            return !obbligatoria;
        }
        *d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
        if (!d->isValid()) {
            m_dtm.MostraErroreCon(ErrData, QLatin1Char(' ') + t);
            return false;
        }
        return true;
    }

    bool intero(const QString& nome, int minimo, int* v)
    {
        const QString t = m_opzioni.valori.value(nome);
        if (t.isEmpty())
            return true;
        bool ok = false;
        const int n = t.toInt(&ok);
        if (!ok || n < minimo) {
            m_dtm.MostraErroreCon(ErrArgomento, QLatin1Char(' ') + nome + QLatin1Char(' ') + t);
            return false;
        }
        *v = n;
        return true;
    }

    bool periodo(QDate* dal, QDate* al)
    {
        if (!data(QStringLiteral("--dal"), true, dal) || !data(QStringLiteral("--al"), true, al))
            return false;
        if (*dal > *al) {
            m_dtm.MostraErrore(ErrPeriodo);
            return false;
        }
        return true;
    }

    bool apri(TdtmPresenze::ModoCreazione modo)
    {
        try {
            m_dtm.Apri(m_riga.fileIni, modo);
            if (!m_dtm.db().lavoroAperto())
                return false;  // message 1 already told why
            return true;
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreCon(ErrApertura, QLatin1Char(' ') + e.testo());
        } catch (const std::exception& e) {
            m_dtm.MostraErroreCon(ErrIni, QLatin1Char(' ') + QString::fromLocal8Bit(e.what()));
        }
        return false;
    }

    int init()
    {
        if (!apri(TdtmPresenze::ModoCreazione::Sempre))
            return kErrore;
        stampa(m_dtm.TestoScelta(EtDbProduzione) + QLatin1Char(' ') + QDir::toNativeSeparators(m_dtm.FileProduzione()));
        stampa(m_dtm.TestoScelta(EtDbLavoro) + QLatin1Char(' ') + QDir::toNativeSeparators(m_dtm.FileLavoro()));
        return kOk;
    }

    int demo()
    {
        OpzioniDemo o;
        QDate oggi;
        if (!intero(QStringLiteral("--dipendenti"), 1, &o.dipendenti) || !intero(QStringLiteral("--giorni"), 1, &o.giorni)
            || !data(QStringLiteral("--oggi"), false, &oggi))
            return kArgomenti;
        if (!apri(TdtmPresenze::ModoCreazione::Sempre))
            return kErrore;
        if (oggi.isValid())
            m_dtm.setOggi(oggi);
        o.oggi = m_dtm.Oggi();
        try {
            if (m_dtm.db().valore(QStringLiteral("SELECT COUNT(*) FROM Anagrafico")).toInt() > 0) {
                m_dtm.MostraErrore(ErrDemoNonVuoto);
                return kErrore;
            }
            QElapsedTimer t;
            t.start();
            const RisultatoDemo r = GeneraDemo(m_dtm, o);
            stampa(m_dtm.TestoScelta(EtDipendentiGenerati) + QLatin1Char(' ') + QString::number(r.dipendenti));
            stampa(m_dtm.TestoScelta(EtTimbratureGenerate) + QLatin1Char(' ') + QString::number(r.timbrature));
            stampa(m_dtm.TestoScelta(EtSecondi) + QLatin1Char(' ') + QString::number(t.elapsed() / 1000.0, 'f', 2));
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreCon(ErrDatabase, QLatin1Char(' ') + e.testo());
            return kErrore;
        }
        return kOk;
    }

    // The employees named by --dip (each must exist), or every employee in Id order.
    bool dipendenti(QList<int>* ids)
    {
        Database& db = m_dtm.db();
        const QStringList richiesti = m_opzioni.valori.values(QStringLiteral("--dip"));
        if (richiesti.isEmpty()) {
            QSqlQuery q = db.esegui(QStringLiteral("SELECT Id FROM Anagrafico ORDER BY Id"));
            while (q.next())
                ids->append(q.value(0).toInt());
            return true;
        }
        // values() returns the repeated option last-first: restore the order given.
        for (auto it = richiesti.crbegin(); it != richiesti.crend(); ++it) {
            bool ok = false;
            const int id = it->toInt(&ok);
            if (!ok || !db.esisteRiga(QStringLiteral("SELECT 1 FROM Anagrafico WHERE Id = :id"), {{"id", id}})) {
                m_dtm.MostraErroreCon(ErrDipendente, QLatin1Char(' ') + *it);
                return false;
            }
            ids->append(id);
        }
        return true;
    }

    int elabora()
    {
        QDate dal, al, oggi;
        if (!periodo(&dal, &al) || !data(QStringLiteral("--oggi"), false, &oggi))
            return kArgomenti;
        if (!apri(TdtmPresenze::ModoCreazione::Mai))
            return kErrore;
        if (oggi.isValid())
            m_dtm.setOggi(oggi);
        QList<int> ids;
        try {
            if (!dipendenti(&ids))
                return kArgomenti;
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreCon(ErrDatabase, QLatin1Char(' ') + e.testo());
            return kErrore;
        }
        m_dtm.mem().DataDa = QDateTime(dal, QTime(0, 0), Qt::UTC);
        m_dtm.mem().DataA = QDateTime(al, QTime(0, 0), Qt::UTC);
        TdtmElab elab(m_dtm);
        elab.setFinePianoMostrato(al);
        AvanzamentoStderr barra;
        const EsitoElaborazione esito = elab.ElaboraDipendenti(ids, dal, al, barra);
        if (!esito.Errore.isEmpty()) {
            m_dtm.MostraErroreCon(ErrElaborazione, QLatin1Char(' ') + QStringLiteral("%1 (Id %2)").arg(esito.Errore).arg(esito.IdDipErrore));
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
        if (!m_opzioni.valori.contains(QStringLiteral("--dip")))
            return erroreArgomenti(ErrMancante, QStringLiteral("--dip"));
        if (!apri(TdtmPresenze::ModoCreazione::Mai))
            return kErrore;
        QList<int> ids;
        try {
            if (!dipendenti(&ids))
                return kArgomenti;
            if (ids.size() != 1)
                return erroreArgomenti(ErrArgomento, QStringLiteral("--dip"));
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
            m_dtm.MostraErroreCon(ErrDatabase, QLatin1Char(' ') + e.testo());
            return kErrore;
        }
        return kOk;
    }

    // The employees named by --dip become the selection the report walks, in name order.
    SelezioneStampa selezioneStampa(const QList<int>& ids)
    {
        SelezioneStampa sel;
        if (!m_opzioni.valori.contains(QStringLiteral("--dip")))
            return sel;
        Database& db = m_dtm.db();
        Transazione t(db);
        db.esegui(QStringLiteral("DELETE FROM ':dbPresUt:SelezioneStampa'"));
        QSqlQuery ins = db.prepara(QStringLiteral(
            "INSERT INTO ':dbPresUt:SelezioneStampa' (Id, Matricola, Cognome, Nome, Libero, Classe)\n"
            "  SELECT Id, Matricola, Cognome, Nome, Libero, Classe FROM Anagrafico\n"
            "  WHERE Id = :Id AND NOT EXISTS (SELECT 1 FROM ':dbPresUt:SelezioneStampa' WHERE Id = :IdPresente)"));
        for (int id : ids) {
            ins.bindValue(QStringLiteral(":Id"), id);
            ins.bindValue(QStringLiteral(":IdPresente"), id);
            Database::esegui(ins);
        }
        t.conferma();
        sel.tabella = QStringLiteral("SelezioneStampa");
        sel.database = QStringLiteral("dbPresUt");
        sel.ordine = QStringLiteral("Cognome;Nome");
        return sel;
    }

    int stampaReport()
    {
        if (m_posizionali.size() < 2)
            return erroreArgomenti(ErrMancante, QStringLiteral("GRUPPO CODICE"));
        const QString gruppo = m_posizionali.at(0).toUpper();
        bool ok = false;
        const int codice = m_posizionali.at(1).toInt(&ok);
        if (!ok)
            return erroreArgomenti(ErrArgomento, m_posizionali.at(1));
        QDate dal, al;
        if (!periodo(&dal, &al))
            return kArgomenti;
        Stampa::Formato formato;
        const QString testoFormato = m_opzioni.valori.value(QStringLiteral("--formato"));
        if (testoFormato.isEmpty())
            return erroreArgomenti(ErrMancante, QStringLiteral("--formato"));
        if (!Stampa::FormatoDaTesto(testoFormato, &formato))
            return erroreArgomenti(ErrFormato, testoFormato);
        const QString uscita = m_opzioni.valori.value(QStringLiteral("--out"));
        if (uscita.isEmpty())
            return erroreArgomenti(ErrMancante, QStringLiteral("--out"));
        if (!apri(TdtmPresenze::ModoCreazione::Mai))
            return kErrore;
        try {
            m_dtm.CaricaMemoria();
            if (gruppo != QLatin1String("CP"))
                return erroreArgomenti(ErrGruppo, gruppo);
            ParametriPiano par;
            par.titolo = Stampa::DescrizioneStampa(m_dtm, gruppo, codice);
            if (par.titolo.isEmpty())
                return erroreArgomenti(ErrStampaSconosciuta, gruppo + QLatin1Char(' ') + QString::number(codice));
            if (Stampa::PeriodoTroppoLungo(codice, dal, al)) {
                m_dtm.MostraErrore(Stampa::kErrPeriodoLungo);
                return kErrore;
            }
            QList<int> ids;
            if (!dipendenti(&ids))
                return kArgomenti;
            par.selezione = selezioneStampa(ids);
            par.dal = dal;
            par.al = al;
            par.rigaSelezione = Stampa::RigaSelezionePiano(m_dtm, dal, al);
            const std::optional<DocumentoStampa> doc = Stampa::DocumentoPiano(m_dtm, codice, par);
            if (!doc)
                return erroreArgomenti(ErrStampaSconosciuta, gruppo + QLatin1Char(' ') + QString::number(codice));
            Stampa::Salva(*doc, formato, uscita);
        } catch (const ErroreStampa& e) {
            m_dtm.MostraErroreCon(e.numero(), QLatin1Char(' ') + QDir::toNativeSeparators(e.dettaglio()));
            return kErrore;
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreCon(ErrDatabase, QLatin1Char(' ') + e.testo());
            return kErrore;
        }
        stampa(m_dtm.TestoScelta(EtStampaSalvata) + QLatin1Char(' ') + QDir::toNativeSeparators(uscita));
        return kOk;
    }

    RigaDiComando m_riga;
    QStringList m_posizionali;
    Opzioni m_opzioni;
    PresentatoreStderr m_presentatore;
    TdtmPresenze m_dtm;
};

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
    for (int i = 0; i < argomenti.size(); ++i) {
        const QString a = argomenti.at(i);
        if (riga->comando.isEmpty()) {
            if (a == QLatin1String("--ini")) {
                if (i + 1 >= argomenti.size()) {
                    *errore = a;
                    return false;
                }
                riga->fileIni = argomenti.at(++i);
            } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
                riga->aiuto = true;
            } else if (a.startsWith(QLatin1Char('-'))) {
                *errore = a;
                return false;
            } else {
                riga->comando = a;
            }
        } else {
            riga->opzioni << a;
        }
    }
    return true;
}

QString FileIniPredefinito()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("PRES.INI"));
}

bool RichiedeGrafica(const RigaDiComando& riga)
{
    return riga.comando == QLatin1String("stampa") && !riga.aiuto;
}

bool Esiste(const QString& comando)
{
    return kComandi.contains(comando);
}

QString Aiuto(const QString& comando)
{
    return leggiRisorsa(comando.isEmpty() ? QStringLiteral("generale") : comando);
}

int Esegui(const RigaDiComando& riga)
{
    if (riga.aiuto && riga.comando.isEmpty()) {
        stampa(Aiuto());
        return kOk;
    }
    if (!Esiste(riga.comando)) {
        TdtmPresenze dtm;
        PresentatoreStderr p;
        dtm.setPresentatore(&p);
        dtm.MostraErroreCon(ErrComando, QLatin1Char(' ') + riga.comando);
        std::fprintf(stderr, "%s\n", Aiuto().toLocal8Bit().constData());
        return kArgomenti;
    }
    Comando c(riga);
    return c.esegui();
}

}  // namespace Comandi
