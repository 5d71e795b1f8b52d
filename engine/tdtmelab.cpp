#include "tdtmelab.h"

#include "anomaliegiorno.h"
#include "avanzamento.h"
#include "database.h"
#include "istruzioneveloce.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QSqlRecord>

#include <algorithm>
#include <cstdlib>
#include <memory>

QString SqlProfiliDelPeriodo(const QString& campi)
{
    return QStringLiteral("SELECT ALL %1 FROM Profilo WHERE\n"
                          "     Profilo.IdUtilizzatore = :IdDipCorr        AND\n"
                          "     Profilo.DataInizio <= :DataFine        AND\n"
                          "     (Profilo.DataFine IS NULL OR\n"
                          "      (Profilo.DataFine IS NOT NULL AND\n"
                          "       Profilo.DataFine >=:DataInizio))      AND\n"
                          "     (Profilo.DataLicenz IS NULL OR\n"
                          "      (Profilo.DataLicenz IS NOT NULL AND\n"
                          "       Profilo.DataLicenz >= :DataInizio))\n"
                          "ORDER BY DataInizio, DataFine")
        .arg(campi);
}

QString SqlAzzeraGiorni(const QString& dove)
{
    return QStringLiteral("UPDATE PianoSomma\n"
                          "  SET Stato = 1,\n"
                          "      IdOrario = NULL,\n"
                          "      ValOrdinario = NULL,\n"
                          "      ValEccedenza = NULL,\n"
                          "      ValPresenza = NULL,\n"
                          "      ValCarenza = NULL,\n"
                          "      Note = NULL\n"
                          "  WHERE ")
        + dove;
}

namespace {

// Anomaly codes of the engine.
constexpr int kAssenza = 202;
constexpr int kPresenzaEccessiva = 204;
constexpr int kOrarioInesistente = 206;
constexpr int kSenzaTipoOrario = 209;
constexpr int kSenzaTurno = 210;
constexpr int kOrarioTurnoInesistente = 217;
constexpr int kVersoCorretto = 450;
constexpr int kTimbratureDispari = 455;

constexpr QChar kBloccante = QLatin1Char('B');
constexpr QChar kNonBloccante = QLatin1Char('N');
const QString kProdotto = QStringLiteral("P");

int intero(const QVariant& v)
{
    return v.isNull() ? 0 : v.toInt();
}

// Minutes of day of a stored date-time, counted from midnight of `giorno`.
int minutiDaGiorno(const QString& dataV, const QDate& giorno)
{
    QDate d;
    int minuti = 0;
    if (!Sql::scomponi(dataV, &d, &minuti))
        return -1;
    return minuti + int(giorno.daysTo(d)) * 1440;
}

// Weekday number with Sunday 1 … Saturday 7.
int numeroGiorno(const QDate& d)
{
    return d.dayOfWeek() % 7 + 1;
}

}  // namespace

struct TdtmElab::Istruzioni {
    int generazione = -1;  // connection the statements were prepared on
    QSqlQuery profilo, piano, timbrature, giorniAnomalie;
    QSqlQuery orario, arroTim, arroStra, compTurni, festivi, codiciA;
    QSqlQuery svuotaEEvid, svuotaETimb, insEEvid, insETimb;
    // The writes of every processed day, bound by position.
    std::unique_ptr<IstruzioneVeloce> insPiano, updPiano, updPianoOrario, updTimb, insTimb, svuotaAnomalie, insAnomalia;
    bool guardiaTimb = false;  // updTimb itself leaves a punch that would land on another
};

TdtmElab::TdtmElab(TdtmPresenze& dtm) : m_dtm(dtm) {}

TdtmElab::~TdtmElab()
{
    delete m_q;
}

QString TdtmElab::MinutiInData(int minuti, const QDate& data)
{
    return Sql::testoDataMinuti(data, minuti);
}

void TdtmElab::preparaIstruzioni()
{
    Database& db = m_dtm.db();
    delete m_q;
    m_q = nullptr;
    auto* q = new Istruzioni;
    try {
        // The first profile governs the whole run: the one that starts first.
        q->profilo = db.prepara(SqlProfiliDelPeriodo(QStringLiteral("*")));
        // The work-plan rows of the whole run at once: a day's row changes only when that day
        // is processed.
        q->piano = db.prepara(QStringLiteral("SELECT Data, Stato, IdOrario FROM PianoSomma WHERE\n"
                                             "  PianoSomma.IdDip = :IdDipCorr AND\n"
                                             "  PianoSomma.Data >= :Da AND PianoSomma.Data <= :A"));
        auto veloce = [&db](const QString& sql) { return std::make_unique<IstruzioneVeloce>(db, sql); };
        q->insPiano = veloce(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) \n  VALUES (:IdDipCorr, :DataCorr, 1) "));
        // The punches of the whole run at once, kept as the run rewrites them (a day reads
        // the next day's punches too).
        q->timbrature = db.prepara(QStringLiteral("SELECT IdDip, DataV, DataO, VersoV, VersoO, Caus\n"
                                                  "    FROM Timbrature WHERE\n"
                                                  "      Timbrature.IdDip = :IdDipCorr AND\n"
                                                  "      Timbrature.DataV >= :Da AND\n"
                                                  "      Timbrature.DataV < :A"));
        const QString updPiano = QStringLiteral("UPDATE PianoSomma\n"
                                                "  SET Stato = :StatoCorr,\n"
                                                "      ValOrdinario = :OreOrd,\n"
                                                "      ValEccedenza = :OreStra,\n"
                                                "      ValPresenza = :OrePres,\n"
                                                "      ValCarenza = :OreAss%1\n"
                                                "  WHERE PianoSomma.IdDip = :IdDipCorr AND\n"
                                                "        PianoSomma.Data = :DataCorr");
        q->updPiano = veloce(updPiano.arg(QString()));
        // The timetable chosen for the day is recorded with the figures, in the same transaction.
        q->updPianoOrario = veloce(updPiano.arg(QStringLiteral(",\n      IdOrario = :IdOrarioCorr")));
        // A punch never moves onto another punch of the employee. Where a refusal is costly the
        // statement itself changes nothing then; SQLite refuses it by the key, and updates the
        // table in one pass that a read of the same table in the statement would prevent.
        q->guardiaTimb = db.dialetto().rifiutoCostoso();
        q->updTimb = veloce(QStringLiteral("UPDATE Timbrature SET DataV = :DataNuova, VersoV = :VersoV\n"
                                           "  WHERE IdDip = :IdDipCorr AND DataV = :DataV%1")
                                .arg(q->guardiaTimb ? QStringLiteral(" AND NOT EXISTS (\n"
                                                                     "    SELECT 1 FROM Timbrature AS Altra WHERE Altra.IdDip = :IdDipAltra AND\n"
                                                                     "      Altra.DataV = :DataNuovaAltra AND Altra.DataV <> :DataVAltra)")
                                                    : QString()));
        q->insTimb = veloce(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (:IdDipCorr, :DataNuova, :VersoV)"));
        q->orario = db.prepara(QStringLiteral("SELECT ALL OreMedie, PrimaTimb, UltimaTimb, ChiusGio FROM OrariRep WHERE\n    OrariRep.Id = :IdOrarioCorr"));
        // Rounding steps: the last row read for a direction wins; none means step 0. The
        // editor writes one row per direction; of several, the one of the latest range.
        q->arroTim = db.prepara(QStringLiteral("SELECT ALL ArrVerso, MinutiArrot FROM ArroTim WHERE\n    ArroTim.IdOrario = :IdOrarioCorr "
                                               "ORDER BY Inizio, Fine, MinutiArrot"));
        // Overtime bands by their start: the first band that covers the excess is used.
        q->arroStra = db.prepara(QStringLiteral("SELECT ALL Inizio, Fine, TipoArrot, MinutiArrot FROM ArroStra WHERE\n  IdOrario = :IdOrarioCorr "
                                                "ORDER BY Inizio, Fine, TipoArrot, MinutiArrot"));
        // Of two rows for one weekday, the one that starts first.
        q->compTurni = db.prepara(QStringLiteral("SELECT NumOrd, TipoOrario, IdDaUsare FROM CompTurni WHERE\n  IdTurno=:IdTurCorr "
                                                 "ORDER BY NumOrd, DataInizio, TipoOrario, IdDaUsare"));
        q->festivi = db.prepara(QStringLiteral("SELECT Giorno FROM RelCalend WHERE\n  RelCalend.IdCalend = 1 AND\n"
                                               "  RelCalend.Giorno >= :Da AND RelCalend.Giorno <= :A AND\n  RelCalend.Tipo = 'F'"));
        q->codiciA = db.prepara(QStringLiteral("SELECT Id FROM Segnalazioni WHERE TipoSegnalaz = 'A'"));
        q->svuotaEEvid = db.prepara(QStringLiteral("DELETE FROM ") + QStringLiteral("EEvid"));
        q->svuotaETimb = db.prepara(QStringLiteral("DELETE FROM ") + QStringLiteral("ETimb"));
        q->insEEvid = db.prepara(QStringLiteral("INSERT INTO EEvid (Prod, IdSegnalaz)\n  VALUES (:Prodotto, :IdSeg)"));
        q->insETimb = db.prepara(QStringLiteral("INSERT INTO ETimb (IdDip, DataV, DataO, VersoV, VersoO, Caus, TipoUtil, Arrot, OraM) "
                                                "VALUES (:IdDip, :DataV, :DataO, :VersoV, :VersoO, :Caus, :TipoUtil, :Arrot, :OraM)"));
        // Only the days that have anomalies need them removed.
        q->giorniAnomalie = db.prepara(QStringLiteral("SELECT DISTINCT Data FROM AnomalieGiorno WHERE\n"
                                                      "  IdDip = :IdDipCorr AND Data >= :Da AND Data <= :A"));
        q->svuotaAnomalie = veloce(QStringLiteral("DELETE FROM AnomalieGiorno WHERE IdDip = :IdDipCorr AND Data = :DataCorr"));
        q->insAnomalia = veloce(QStringLiteral("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, Prod, IdSegnalaz)\n"
                                                   "  VALUES (:IdDipCorr, :DataCorr, :Prog, :Prodotto, :IdSeg)"));
        q->generazione = db.generazione();
    } catch (...) {
        delete q;
        throw;
    }
    m_q = q;
}

std::optional<TdtmElab::Profilo> TdtmElab::leggiProfilo(int idDip, const QDate& inizio, const QDate& fine)
{
    QSqlQuery& q = m_q->profilo;
    // :DataInizio appears twice: the driver binds a repeated name only by name.
    q.bindValue(QStringLiteral(":IdDipCorr"), idDip);
    q.bindValue(QStringLiteral(":DataFine"), Sql::data(fine));
    q.bindValue(QStringLiteral(":DataInizio"), Sql::data(inizio));
    Database::esegui(q);
    if (!q.next())
        return std::nullopt;
    const QSqlRecord r = q.record();
    Profilo p;
    p.DataInizio = Sql::leggiData(q.value(r.indexOf(QStringLiteral("DataInizio"))));
    p.DataFine = Sql::leggiData(q.value(r.indexOf(QStringLiteral("DataFine"))));
    p.TipoOrario = q.value(r.indexOf(QStringLiteral("TipoOrario"))).toString();
    p.IdOrari = intero(q.value(r.indexOf(QStringLiteral("IdOrari"))));
    p.IdOrFestivo = intero(q.value(r.indexOf(QStringLiteral("IdOrFestivo"))));
    p.Autorizzato = q.value(r.indexOf(QStringLiteral("Autorizzato"))).toString();
    p.ModalTimbra = q.value(r.indexOf(QStringLiteral("ModalTimbra"))).toString();
    q.finish();
    return p;
}

const TdtmElab::Orario* TdtmElab::orario(int id)
{
    auto it = m_orari.find(id);
    if (it == m_orari.end()) {
        std::optional<Orario> o;
        QSqlQuery& q = m_q->orario;
        q.bindValue(0, id);
        Database::esegui(q);
        if (q.next()) {
            Orario x;
            x.OreMedie = intero(q.value(0));
            x.PrimaTimb = intero(q.value(1));
            x.UltimaTimb = intero(q.value(2));
            x.ChiusGio = q.value(3).toString();
            q.finish();
            QSqlQuery& a = m_q->arroTim;
            a.bindValue(0, id);
            Database::esegui(a);
            while (a.next()) {
                if (a.value(0).toString() == QLatin1String("E"))
                    x.passoEntrata = intero(a.value(1));
                else
                    x.passoUscita = intero(a.value(1));
            }
            QSqlQuery& s = m_q->arroStra;
            s.bindValue(0, id);
            Database::esegui(s);
            while (s.next())
                x.fasce.append({intero(s.value(0)), intero(s.value(1)), s.value(2).toString(), intero(s.value(3))});
            o = x;
        }
        q.finish();
        it = m_orari.insert(id, o);
    }
    return it->has_value() ? &**it : nullptr;
}

const TdtmElab::GiornoTurno* TdtmElab::giornoTurno(int idTurno, int numOrd)
{
    const qint64 chiave = qint64(idTurno) * 16 + numOrd;
    auto it = m_turni.find(chiave);
    if (it == m_turni.end()) {
        // The whole week of the rotation at once; the first row of a day number counts.
        QSqlQuery& q = m_q->compTurni;
        q.bindValue(0, idTurno);
        Database::esegui(q);
        QHash<int, GiornoTurno> settimana;
        while (q.next()) {
            const int n = intero(q.value(0));
            if (!settimana.contains(n))
                settimana.insert(n, {q.value(1).toString(), intero(q.value(2))});
        }
        for (int n = 1; n <= 7; ++n)
            m_turni.insert(qint64(idTurno) * 16 + n,
                           settimana.contains(n) ? std::optional<GiornoTurno>(settimana.value(n)) : std::nullopt);
        it = m_turni.find(chiave);
        if (it == m_turni.end())  // a day number outside 1..7 never matches
            it = m_turni.insert(chiave, std::nullopt);
    }
    return it->has_value() ? &**it : nullptr;
}

bool TdtmElab::festivo(const QDate& d)
{
    return m_festivi.contains(d);
}

namespace {
// Days written in one transaction by a run over several employees: few enough that other
// writers wait a fraction of a second, many enough that committing costs little.
constexpr int kGiorniPerTransazione = 5000;
}  // namespace

EsitoElaborazione TdtmElab::ElaboraDipendenti(const QList<int>& ids, const QDate& inizio, const QDate& fine, Avanzamento& avanzamento)
{
    EsitoElaborazione esito;
    avanzamento.Inizia(m_dtm.TestoScelta(Msg::EtElaborazione), int(ids.size()));
    m_lavoroDaScrivere = false;
    Database& db = m_dtm.db();
    std::optional<Transazione> tr;
    // What the open transaction holds, to be taken back if its commit fails.
    int dipendenti = 0, giorni = 0, giorniStato2 = 0;
    auto chiudi = [&]() {
        if (!tr)
            return;
        try {
            tr->conferma();
        } catch (const ErroreDb& e) {
            esito.Dipendenti -= dipendenti;
            esito.Giorni -= giorni;
            esito.GiorniConAnomalie -= giorniStato2;
            if (esito.Errore.isEmpty())
                esito.Errore = m_errore = e.testo();
        }
        tr.reset();
        dipendenti = giorni = giorniStato2 = 0;
    };
    for (int id : ids) {
        if (avanzamento.Annullato()) {
            esito.Annullato = true;
            break;
        }
        iniziaDipendente(id);
        try {
            if (!db.lavoroAperto())
                throw ErroreDb(QStringLiteral("Database di lavoro non aperto"));
            if (!tr)
                tr.emplace(db);
        } catch (const ErroreDb& e) {
            m_errore = e.testo();
        }
        if (tr)
            elaboraDipendente(inizio, fine);
        esito.Giorni += m_giorni;
        esito.GiorniConAnomalie += m_giorniStato2;
        giorni += m_giorni;
        giorniStato2 += m_giorniStato2;
        if (!m_errore.isEmpty()) {
            esito.IdDipErrore = id;
            esito.Errore = m_errore;
            break;
        }
        ++dipendenti;
        if (giorni >= kGiorniPerTransazione)
            chiudi();
        avanzamento.Valore(++esito.Dipendenti);
    }
    chiudi();
    if (!esito.Errore.isEmpty() && !esito.IdDipErrore && !ids.isEmpty())
        esito.IdDipErrore = m_ctx.IdDipCorr;
    scriviLavoro(esito.Errore.isEmpty());
    if (esito.Errore.isEmpty() && !m_errore.isEmpty()) {
        esito.IdDipErrore = m_ctx.IdDipCorr;
        esito.Errore = m_errore;
    }
    avanzamento.Termina();
    return esito;
}

void TdtmElab::ElaboraPeriodo(int idDip, const QDate& inizio, const QDate& fine)
{
    m_lavoroDaScrivere = false;
    iniziaDipendente(idDip);
    Database& db = m_dtm.db();
    try {
        if (!db.lavoroAperto())
            throw ErroreDb(QStringLiteral("Database di lavoro non aperto"));
        Transazione tr(db);
        elaboraDipendente(inizio, fine);
        try {
            tr.conferma();
        } catch (const ErroreDb&) {
            // Nothing of the run was kept.
            m_giorni = m_giorniStato2 = 0;
            throw;
        }
    } catch (const ErroreDb& e) {
        if (m_errore.isEmpty())
            m_errore = e.testo();
    }
    scriviLavoro(m_errore.isEmpty());
}

void TdtmElab::scriviLavoro(bool riuscito)
{
    try {
        scriviTabelleLavoro();
    } catch (const ErroreDb& e) {
        // After a failed run the work tables are only a view of the last day; the run's
        // error is what counts.
        if (riuscito)
            m_errore = e.testo();
    }
}

void TdtmElab::iniziaDipendente(int idDip)
{
    m_errore.clear();
    m_giorni = 0;
    m_giorniStato2 = 0;
    m_orari.clear();
    m_turni.clear();
    m_festivi.clear();
    m_codiciA.clear();
    m_ctx = ContestoGiorno{};
    m_ctx.IdOrarioCorr = -1;
    m_ctx.IdDipCorr = idDip;
    const TPresenzeCfg& cfg = m_dtm.cfg();
    m_anomAssenza = cfg.AnomAssenza;
    m_calcolaAssenza = cfg.CalcolaAssenza;
    m_calcolaStraord = cfg.CalcolaStraord;
}

void TdtmElab::elaboraDipendente(const QDate& inizio, const QDate& fine)
{
    Database& db = m_dtm.db();
    const QDate oggi = m_dtm.Oggi();
    std::optional<Profilo> profilo;
    try {
        // A failed read spoils a server's transaction: the savepoint keeps the days the
        // transaction already holds.
        PuntoDiSalvataggio letture(db);
        if (!m_q || m_q->generazione != db.generazione())
            preparaIstruzioni();
        profilo = leggiProfilo(m_ctx.IdDipCorr, inizio, fine);
        if (profilo) {
            {
                QSqlQuery& a = m_q->codiciA;
                Database::esegui(a);
                while (a.next())
                    m_codiciA.insert(a.value(0).toInt());
                // Only days stored at midnight match the processed date.
                QSqlQuery& f = m_q->festivi;
                f.bindValue(0, Sql::data(inizio));
                f.bindValue(1, Sql::data(fine));
                Database::esegui(f);
                while (f.next()) {
                    const QString g = f.value(0).toString();
                    const QDate d = Sql::leggiData(g);
                    if (d.isValid() && g == Sql::testoData(d))
                        m_festivi.insert(d);
                }
            }
            m_piano.clear();
            m_timbrature.clear();
            m_giorniAnomalie.clear();
            {
                // Each read takes the employee and a span of days from the period's start.
                const auto leggi = [&](QSqlQuery& q, const QDate& fino) -> QSqlQuery& {
                    q.bindValue(0, m_ctx.IdDipCorr);
                    q.bindValue(1, Sql::data(inizio));
                    q.bindValue(2, Sql::data(fino));
                    Database::esegui(q);
                    return q;
                };
                QSqlQuery& p = leggi(m_q->piano, fine);
                while (p.next())
                    m_piano.insert(p.value(0).toString(), {intero(p.value(1)), intero(p.value(2))});
                p.finish();
                QSqlQuery& t = leggi(m_q->timbrature, fine.addDays(2));
                while (t.next()) {
                    Timbratura r;
                    r.IdDip = t.value(0).toInt();
                    r.DataV = t.value(1).toString();
                    r.DataO = t.value(2);
                    r.VersoV = t.value(3).toString();
                    r.VersoO = t.value(4);
                    r.Caus = t.value(5);
                    m_timbrature.insert_or_assign(r.DataV, std::move(r));
                }
                t.finish();
                QSqlQuery& a = leggi(m_q->giorniAnomalie, fine);
                while (a.next())
                    m_giorniAnomalie.insert(a.value(0).toString());
                a.finish();
            }
        }
        letture.rilascia();
        if (!profilo)
            return;
        // A savepoint for each day: a failing day is undone alone and ends the run, the days
        // before it are kept.
        const QDate ieri = oggi.addDays(-1);
        for (QDate giorno = inizio; giorno <= fine && giorno < oggi; giorno = giorno.addDays(1)) {
            if (profilo->DataInizio.isValid() && profilo->DataInizio > giorno)
                continue;
            if (profilo->DataFine.isValid() && profilo->DataFine < giorno)
                break;
            m_ctx.DataCorr = giorno;
            elaboraGiorno(*profilo);
            if ((m_finePiano.isValid() && giorno >= m_finePiano) || giorno >= ieri)
                break;
        }
    } catch (const ErroreDb& e) {
        m_errore = e.testo();
    }
}

void TdtmElab::elaboraGiorno(const Profilo& p)
{
    Database& db = m_dtm.db();
    m_ctx.Bloccato = false;
    m_ctx.IdOrarioCorr = -1;
    m_ctx.NumTimb = 0;
    m_ctx.ConAnomalie = false;
    m_ctx.ConTimbrature = false;
    m_ctx.TotPresenza = m_ctx.OreOrd = m_ctx.TotStraord = m_ctx.OreAss = 0;
    m_orario = nullptr;
    m_orarioDaRegistrare = false;

    m_dataCorr = Sql::testoData(m_ctx.DataCorr);
    const auto riga = m_piano.constFind(m_dataCorr);
    if (riga != m_piano.cend() && riga->first > 2)
        return;  // closed day: left untouched
    // Creating the row, recording the timetable and writing the figures and punches succeed
    // or fail together.
    PuntoDiSalvataggio punto(db);
    if (riga == m_piano.cend()) {
        IstruzioneVeloce& ins = *m_q->insPiano;
        ins.lega(0, m_ctx.IdDipCorr);
        ins.lega(1, m_dataCorr);
        ins.esegui();
    } else {
        m_ctx.IdOrarioCorr = riga->second;
    }
    SvuotaLavoro();
    ValutaGiorno(p);
    for (int codice : std::as_const(m_eevid))
        if (m_codiciA.contains(codice)) {
            m_ctx.ConAnomalie = true;
            break;
        }
    ScriviGiorno(p);
    scriviAnomalieGiorno();
    punto.rilascia();
    ++m_giorni;
    if (m_ctx.ConAnomalie)
        ++m_giorniStato2;
    m_lavoroDaScrivere = true;
}

void TdtmElab::SvuotaLavoro()
{
    m_eevid.clear();
    m_etimb.clear();
}

void TdtmElab::RegistraAnomalia(const QString& prodotto, int codice, QChar tipo)
{
    Q_UNUSED(prodotto);  // every anomaly of the engine belongs to product "P"
    m_eevid.append(codice);
    if (tipo == kBloccante)
        m_ctx.Bloccato = true;
}

void TdtmElab::ScegliOrario(const Profilo& p)
{
    if (m_ctx.IdOrarioCorr > 0) {
        CaricaOrario(m_ctx.IdOrarioCorr, kOrarioInesistente);
        return;
    }
    if (p.IdOrFestivo != 0 && festivo(m_ctx.DataCorr)) {
        m_ctx.IdOrarioCorr = p.IdOrFestivo;
        CaricaOrario(m_ctx.IdOrarioCorr, kOrarioInesistente);
        return;
    }
    if (p.TipoOrario.isEmpty()) {
        RegistraAnomalia(kProdotto, kSenzaTipoOrario, kBloccante);
        return;
    }
    if (p.IdOrari == 0) {
        RegistraAnomalia(kProdotto, kSenzaTurno, kBloccante);
        return;
    }
    const QChar tipo = p.TipoOrario.at(0);
    if (tipo == QLatin1Char('C') || tipo == QLatin1Char('S')) {
        m_ctx.Bloccato = true;
    } else if (tipo == QLatin1Char('T')) {
        const GiornoTurno* g = giornoTurno(p.IdOrari, numeroGiorno(m_ctx.DataCorr));
        // A rotation day of type "G" has no timetable: the day is treated as a rest day.
        if (g && g->TipoOrario == QLatin1String("G"))
            return;
        m_ctx.IdOrarioCorr = g ? g->IdDaUsare : 0;
        CaricaOrario(m_ctx.IdOrarioCorr, kOrarioTurnoInesistente);
    } else {
        RegistraAnomalia(kProdotto, kOrarioTurnoInesistente, kBloccante);
    }
}

void TdtmElab::CaricaOrario(int id, int codice)
{
    const Orario* o = orario(id);
    if (!o) {
        RegistraAnomalia(kProdotto, codice, kBloccante);
        return;
    }
    m_orario = o;
    const auto fine = m_timbrature.lower_bound(Sql::testoData(m_ctx.DataCorr.addDays(2)));
    for (auto it = m_timbrature.lower_bound(m_dataCorr); it != fine; ++it) {
        Timbratura t = it->second;
        t.VersoVLetto = t.VersoV;
        // Seconds are dropped: 08:29:59 is minute 509; the next day counts from 1440.
        t.OraM = minutiDaGiorno(t.DataV, m_ctx.DataCorr);
        m_etimb.append(t);
    }
    m_ctx.NumTimb = int(m_etimb.size());
    ordinaInsieme();
    m_orarioDaRegistrare = true;
}

void TdtmElab::ordinaInsieme()
{
    // Index order: minutes of day, then direction; rows that tie keep their order.
    std::stable_sort(m_etimb.begin(), m_etimb.end(), [](const Timbratura& a, const Timbratura& b) {
        if (a.OraM != b.OraM)
            return a.OraM < b.OraM;
        return a.VersoV < b.VersoV;
    });
}

void TdtmElab::ValutaGiorno(const Profilo& p)
{
    ScegliOrario(p);
    if (m_ctx.Bloccato)
        return;
    // No timetable loaded (a rotation day without one): a rest day with no expected work.
    const int oreMedie = m_orario ? m_orario->OreMedie : 0;
    if (m_orario) {
        const int prima = m_orario->PrimaTimb;
        const int ultima = m_orario->ChiusGio == QLatin1String("A") ? m_orario->UltimaTimb : m_orario->UltimaTimb + 1440;
        const auto fuori = std::remove_if(m_etimb.begin(), m_etimb.end(),
                                          [&](const Timbratura& t) { return t.OraM > ultima || t.OraM < prima; });
        const int cancellate = int(m_etimb.end() - fuori);
        m_etimb.erase(fuori, m_etimb.end());
        m_ctx.ConTimbrature = (m_ctx.NumTimb - cancellate) > 0;
    }
    if (!m_ctx.ConTimbrature) {
        if (oreMedie > 0) {
            if (m_anomAssenza)
                RegistraAnomalia(kProdotto, kAssenza, kBloccante);
            m_ctx.OreOrd = 0;
            m_ctx.TotStraord = 0;
            if (m_calcolaAssenza)
                m_ctx.OreAss = oreMedie;
        }
        return;
    }
    ArrotondaTimbrature();
    if (m_ctx.Bloccato)
        return;

    int entrata = 0;
    for (const Timbratura& t : std::as_const(m_etimb)) {
        if (t.VersoV == QLatin1String("E"))
            entrata = t.OraM;
        else
            m_ctx.TotPresenza += t.OraM - entrata;
    }
    if (m_ctx.TotPresenza > 2880) {
        RegistraAnomalia(kProdotto, kPresenzaEccessiva, kBloccante);
        return;
    }
    if (m_ctx.TotPresenza < oreMedie) {
        if (m_anomAssenza)
            RegistraAnomalia(kProdotto, 212, kNonBloccante);
        m_ctx.OreOrd = m_ctx.TotPresenza;
        m_ctx.TotStraord = 0;
        if (m_calcolaAssenza)
            m_ctx.OreAss = oreMedie - m_ctx.TotPresenza;
    } else {
        if (m_calcolaStraord) {
            m_ctx.OreOrd = oreMedie;
            m_ctx.TotStraord = m_ctx.TotPresenza - oreMedie;
        } else {
            m_ctx.OreOrd = m_ctx.TotPresenza;
            m_ctx.TotStraord = 0;
        }
        m_ctx.OreAss = 0;
    }
    if (m_ctx.TotStraord > 0)
        ArrotondaStraordinario(p);
}

void TdtmElab::ArrotondaTimbrature()
{
    if (m_etimb.size() % 2 != 0) {
        RegistraAnomalia(kProdotto, kTimbratureDispari, kBloccante);
        return;
    }
    // Directions alternate entry, exit, entry, exit.
    for (qsizetype i = 0; i < m_etimb.size(); ++i) {
        Timbratura& t = m_etimb[i];
        const bool dispari = (i + 1) % 2 == 1;
        if ((dispari && t.VersoV == QLatin1String("U")) || (!dispari && t.VersoV == QLatin1String("E"))) {
            t.VersoV = t.VersoV == QLatin1String("U") ? QStringLiteral("E") : QStringLiteral("U");
            RegistraAnomalia(kProdotto, kVersoCorretto, kNonBloccante);
        }
    }
    // Entries round up and exits down, so rounding never adds working time. A direction
    // without a step keeps its times.
    const int passoE = m_orario->passoEntrata;
    const int passoU = m_orario->passoUscita;
    for (Timbratura& t : m_etimb) {
        if (t.TipoUtil != QLatin1Char('S') || t.Arrot != QLatin1Char('N'))
            continue;
        if (t.VersoV != QLatin1String("U")) {
            if (passoE > 0) {
                const int q = t.OraM / passoE;
                if (q * passoE != t.OraM)
                    t.OraM = (q + 1) * passoE;
            }
        } else if (passoU > 0) {
            t.OraM = (t.OraM / passoU) * passoU;
        }
        t.Arrot = QLatin1Char('S');
    }
    ordinaInsieme();
}

void TdtmElab::ArrotondaStraordinario(const Profilo& p)
{
    if (p.Autorizzato == QLatin1String("N")) {
        m_ctx.TotStraord = 0;
        return;
    }
    const int t = m_ctx.TotStraord;
    const Fascia* fascia = nullptr;
    for (const Fascia& f : m_orario->fasce)
        if (f.Inizio <= t && f.Fine >= t) {
            fascia = &f;
            break;
        }
    // An excess no band covers keeps its minutes as computed.
    if (!fascia)
        return;
    const int I = fascia->Inizio, F = fascia->Fine, S = fascia->MinutiArrot;
    const QString& tipo = fascia->TipoArrot;
    const bool conPasso = tipo == QLatin1String("D") || tipo == QLatin1String("E") || tipo == QLatin1String("X");
    // A rounding band without a step cannot round: the excess stays as computed.
    if (conPasso && S <= 0)
        return;
    if (tipo == QLatin1String("D")) {
        m_ctx.TotStraord = S * (t / S);
    } else if (tipo == QLatin1String("E")) {
        const int giu = S * (t / S);
        m_ctx.TotStraord = giu != t ? giu + S : giu;
    } else if (tipo == QLatin1String("X")) {
        // Nearest multiple; a tie goes to the even multiple.
        int q = t / S;
        const int r = t % S;
        if (2 * r > S || (2 * r == S && q % 2 != 0))
            ++q;
        m_ctx.TotStraord = S * q;
    } else if (tipo == QLatin1String("I")) {
        m_ctx.TotStraord = I;
    } else if (tipo == QLatin1String("F")) {
        m_ctx.TotStraord = F;
    } else if (tipo == QLatin1String("Y")) {
        m_ctx.TotStraord = std::abs(t - I) < std::abs(t - F) ? I : F;
    } else {
        m_ctx.TotStraord = 9999;  // an unknown band type marks the day's excess as wrong
    }
}

void TdtmElab::ScriviGiorno(const Profilo& p)
{
    const int stato = m_ctx.ConAnomalie ? 2 : 3;
    IstruzioneVeloce& u = m_orarioDaRegistrare ? *m_q->updPianoOrario : *m_q->updPiano;
    u.lega(0, stato);
    u.lega(1, m_ctx.OreOrd);
    u.lega(2, m_ctx.TotStraord);
    u.lega(3, m_ctx.OreOrd + m_ctx.TotStraord);
    u.lega(4, m_ctx.OreAss);
    int n = 5;
    if (m_orarioDaRegistrare)
        u.lega(n++, m_ctx.IdOrarioCorr);
    u.lega(n++, m_ctx.IdDipCorr);
    u.lega(n, m_dataCorr);
    u.esegui();

    if (p.ModalTimbra != QLatin1String("T") || (m_ctx.ConAnomalie && m_ctx.Bloccato))
        return;
    for (const Timbratura& t : std::as_const(m_etimb)) {
        const QString nuova = Sql::testoDataMinuti(m_ctx.DataCorr, t.OraM);
        switch (t.TipoUtil.unicode()) {
        case 'B': case 'D': case 'I': case 'R': case 'S': {
            // Nothing to change: the stored punch already has this time and direction.
            if (nuova == t.DataV && t.VersoV == t.VersoVLetto)
                break;
            IstruzioneVeloce& q = *m_q->updTimb;
            q.lega(0, nuova);
            q.lega(1, t.VersoV);
            q.lega(2, m_ctx.IdDipCorr);
            q.lega(3, t.DataV);
            bool fatto = true;
            if (m_q->guardiaTimb) {
                q.lega(4, m_ctx.IdDipCorr);
                q.lega(5, nuova);
                q.lega(6, t.DataV);
                q.esegui();
            } else {
                fatto = q.eseguiSalvoVincoli();
            }
            // Another punch of the employee already at that time: this punch keeps its values.
            if (fatto && q.righeToccate() > 0) {
                auto vecchia = m_timbrature.extract(t.DataV);
                if (!vecchia.empty()) {
                    vecchia.key() = nuova;
                    vecchia.mapped().DataV = nuova;
                    vecchia.mapped().VersoV = t.VersoV;
                    m_timbrature.insert(std::move(vecchia));
                }
            }
            break;
        }
        case 'T': case 'V': {
            IstruzioneVeloce& q = *m_q->insTimb;
            q.lega(0, m_ctx.IdDipCorr);
            q.lega(1, nuova);
            q.lega(2, t.VersoV);
            q.esegui();
            Timbratura nuovaRiga;
            nuovaRiga.IdDip = m_ctx.IdDipCorr;
            nuovaRiga.DataV = nuova;
            nuovaRiga.VersoV = t.VersoV;
            m_timbrature.insert_or_assign(nuova, std::move(nuovaRiga));
            break;
        }
        default:
            break;
        }
    }
}

void TdtmElab::scriviAnomalieGiorno()
{
    // The day's earlier anomalies go, whatever this run found: a day processed clean has none.
    if (m_giorniAnomalie.contains(m_dataCorr)) {
        IstruzioneVeloce& c = *m_q->svuotaAnomalie;
        c.lega(0, m_ctx.IdDipCorr);
        c.lega(1, m_dataCorr);
        c.esegui();
    }
    IstruzioneVeloce& i = *m_q->insAnomalia;
    int prog = 0;
    for (int codice : std::as_const(m_eevid)) {
        i.lega(0, m_ctx.IdDipCorr);
        i.lega(1, m_dataCorr);
        i.lega(2, ++prog);
        i.lega(3, kProdotto);
        i.lega(4, codice);
        i.esegui();
    }
}

void TdtmElab::scriviTabelleLavoro()
{
    if (!m_lavoroDaScrivere)
        return;
    m_lavoroDaScrivere = false;
    Database& db = m_dtm.db();
    Transazione t(db);
    Database::esegui(m_q->svuotaEEvid);
    Database::esegui(m_q->svuotaETimb);
    QSqlQuery& e = m_q->insEEvid;
    for (int codice : std::as_const(m_eevid)) {
        e.bindValue(0, kProdotto);
        e.bindValue(1, codice);
        Database::esegui(e);
    }
    QSqlQuery& i = m_q->insETimb;
    for (const Timbratura& r : std::as_const(m_etimb)) {
        i.bindValue(0, r.IdDip);
        i.bindValue(1, r.DataV);
        i.bindValue(2, r.DataO);
        i.bindValue(3, r.VersoV);
        i.bindValue(4, r.VersoO);
        i.bindValue(5, r.Caus);
        i.bindValue(6, QString(r.TipoUtil));
        i.bindValue(7, QString(r.Arrot));
        i.bindValue(8, r.OraM);
        Database::esegui(i);
    }
    t.conferma();
}

void TdtmElab::AnnullaGiorno(int idDip, const QDate& data)
{
    m_errore.clear();
    try {
        if (!m_q || m_q->generazione != m_dtm.db().generazione())
            preparaIstruzioni();
        const std::optional<Profilo> p = leggiProfilo(idDip, data, data);
        if (!p || (p->DataInizio.isValid() && data < p->DataInizio) || (p->DataFine.isValid() && data > p->DataFine))
            return;
        Transazione t(m_dtm.db());
        m_dtm.db().esegui(SqlAzzeraGiorni(QStringLiteral("PianoSomma.IdDip = :IdDipCorr AND\n"
                                                         "        PianoSomma.Data = :DataCorr")),
                          {{"IdDipCorr", idDip}, {"DataCorr", Sql::data(data)}});
        AnomalieGiorno::Cancella(m_dtm.db(), idDip, data, data);
        t.conferma();
    } catch (const ErroreDb& e) {
        m_errore = e.testo();
    }
}
