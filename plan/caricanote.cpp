#include "caricanote.h"

#include "anomaliegiorno.h"
#include "avanzamento.h"
#include "database.h"
#include "messaggi.h"
#include "tdtmelab.h"
#include "tdtmpresenze.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace {

int intero(const QVariant& v)
{
    return v.isNull() ? 0 : v.toInt();
}

// Weekday number with Sunday 1 … Saturday 7.
int numeroGiorno(const QDate& d)
{
    return d.dayOfWeek() % 7 + 1;
}

// The day's timetable could not be chosen: the employee's loading ends there.
constexpr int kNessunOrario = -1;
// A rotation day of type "G" is a rest day: the note and the closure go on it, with no
// timetable and no hours to cover, and the loading goes on with the next day.
constexpr int kRiposo = 0;

}  // namespace

struct CaricamentoNote::Profilo {
    QDate DataInizio, DataFine;
    QString TipoOrario;
    int IdOrari = 0;
    int IdOrFestivo = 0;
};

struct CaricamentoNote::Giorno {
    bool esiste = false;
    int stato = 1;
    bool conNota = false;
    QVariant carenza;
    int idOrario = 0;
};

int CaricamentoNote::Controlla(const OpzioniNote& o)
{
    if (!o.Dal.isValid() || !o.Al.isValid() || o.Dal > o.Al)
        return Msg::ErrPeriodoInvertito;
    if (o.Annullamento && (o.OreMedie || o.Sostituisci))
        return Msg::ErrAnnullamentoOpzioni;
    if (o.OreMedie && !o.Chiusura)
        return Msg::ErrOreMedieSenzaChiusura;
    if (o.Nota.size() > LunghezzaNota)
        return Msg::ErrNotaLunga;
    return 0;
}

QList<int> CaricamentoNote::Dipendenti(const QString& tabellaSelezione)
{
    Database& db = m_dtm.db();
    QString sql = QStringLiteral("SELECT Id FROM Anagrafico ORDER BY Id");
    if (!tabellaSelezione.isEmpty()) {
        // The name comes from the window, never from a user; still, it is not a parameter.
        static const QRegularExpression nome(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
        if (!nome.match(tabellaSelezione).hasMatch())
            throw ErroreSelezione(tabellaSelezione);
        sql = QStringLiteral("SELECT Id FROM ':dbPresUt:%1' ORDER BY Id").arg(tabellaSelezione);
    }
    QList<int> ids;
    try {
        QSqlQuery q = db.esegui(sql);
        while (q.next())
            if (!ids.contains(q.value(0).toInt()))
                ids.append(q.value(0).toInt());
    } catch (const ErroreDb&) {
        if (!tabellaSelezione.isEmpty() && !db.tabelleEsistenti(true).contains(tabellaSelezione, Qt::CaseInsensitive))
            throw ErroreSelezione(tabellaSelezione);
        throw;
    }
    return ids;
}

EsitoNote CaricamentoNote::Esegui(const QList<int>& ids, const OpzioniNote& o, Avanzamento& avanzamento)
{
    EsitoNote esito;
    avanzamento.Inizia(m_dtm.TestoScelta(Msg::EtCaricamentoNote), int(ids.size()));
    int fatti = 0;
    for (int id : ids) {
        if (avanzamento.Annullato()) {
            esito.Annullato = true;
            break;
        }
        try {
            if (eseguiDipendente(id, o, esito))
                ++esito.Dipendenti;
        } catch (const ErroreDb& e) {
            esito.IdDipErrore = id;
            esito.Errore = e.testo();
            break;
        }
        avanzamento.Valore(++fatti);
    }
    avanzamento.Termina();
    return esito;
}

bool CaricamentoNote::eseguiDipendente(int idDip, const OpzioniNote& o, EsitoNote& esito)
{
    Database& db = m_dtm.db();
    // The engine's profile statement: the first profile that overlaps the period and is
    // not closed by a dismissal before it governs the whole period.
    QSqlQuery q = db.esegui(SqlProfiliDelPeriodo(QStringLiteral("DataInizio, DataFine, TipoOrario, IdOrari, IdOrFestivo")),
                            {{"IdDipCorr", idDip}, {"DataFine", Sql::data(o.Al)}, {"DataInizio", Sql::data(o.Dal)}});
    if (!q.next())
        return false;
    Profilo p;
    p.DataInizio = Sql::leggiData(q.value(0));
    p.DataFine = Sql::leggiData(q.value(1));
    p.TipoOrario = q.value(2).toString();
    p.IdOrari = intero(q.value(3));
    p.IdOrFestivo = intero(q.value(4));
    q.finish();
    for (QDate d = o.Dal; d <= o.Al; d = d.addDays(1)) {
        if (p.DataInizio.isValid() && d < p.DataInizio)
            continue;
        if (p.DataFine.isValid() && d > p.DataFine)
            break;
        if (o.Annullamento)
            annullaGiorno(idDip, d, o, esito);
        else if (!caricaGiorno(idDip, d, p, o, esito))
            break;
    }
    return true;
}

bool CaricamentoNote::caricaGiorno(int idDip, const QDate& d, const Profilo& p, const OpzioniNote& o, EsitoNote& esito)
{
    Database& db = m_dtm.db();
    const QString data = Sql::testoData(d);
    const auto leggi = [&] {
        Giorno g;
        QSqlQuery r = db.esegui(QStringLiteral("SELECT Stato, Note, ValCarenza, IdOrario FROM PianoSomma WHERE\n"
                                               "  PianoSomma.IdDip = :IdDipCorr AND\n"
                                               "  PianoSomma.Data = :DataCorr"),
                                {{"IdDipCorr", idDip}, {"DataCorr", data}});
        if (r.next()) {
            g.esiste = true;
            g.stato = intero(r.value(0));
            g.conNota = !r.value(1).toString().isEmpty();
            g.carenza = r.value(2);
            g.idOrario = intero(r.value(3));
        }
        return g;
    };

    Transazione t(db);
    Giorno g = leggi();
    if (!g.esiste) {
        QSqlQuery ins = db.prepara(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) \n  VALUES (:IdDipCorr, :DataCorr, 1) "));
        ins.bindValue(QStringLiteral(":IdDipCorr"), idDip);
        ins.bindValue(QStringLiteral(":DataCorr"), data);
        if (Database::eseguiSalvoVincoli(ins)) {
            ++esito.GiorniCreati;
            g.esiste = true;
            g.carenza = 0;
        } else {
            g = leggi();  // another workstation has just created it: the day exists
        }
    }
    if (g.stato > 2 && !o.Sostituisci) {
        t.conferma();  // keeps a row inserted above, as the work-plan check would
        ++esito.GiorniLasciati;
        return true;
    }
    int idOrario = kRiposo;
    if (o.Chiusura || o.OreMedie) {
        idOrario = scegliOrario(g, d, p);
        if (idOrario == kNessunOrario) {
            t.conferma();
            return false;
        }
    }
    const bool scriviNota = !o.Nota.isEmpty() && (!g.conNota || o.Sostituisci);
    QVariant carenza = g.carenza.isNull() ? QVariant(0) : g.carenza;
    if (o.OreMedie)
        carenza = idOrario > 0 ? intero(db.valore(QStringLiteral("SELECT OreMedie FROM OrariRep WHERE OrariRep.Id = :Id"), {{"Id", idOrario}})) : 0;
    QString sql = QStringLiteral("UPDATE PianoSomma SET\n");
    if (scriviNota)
        sql += QStringLiteral("      Note = :NoteCorr,\n");
    if (o.Chiusura)
        sql += QStringLiteral("      Stato = 3,\n");
    if (idOrario > 0)
        sql += QStringLiteral("      IdOrario = :IdOrarioCorr,\n");
    // Only the day as it was read: not one another workstation processed, closed or
    // annotated meanwhile.
    sql += QStringLiteral("      ValCarenza = :OreAss\n"
                          "  WHERE PianoSomma.IdDip = :IdDipCorr AND\n"
                          "        PianoSomma.Data = :DataCorr AND\n"
                          "        PianoSomma.Stato = :StatoLetto");
    if (scriviNota && !o.Sostituisci)
        sql += QStringLiteral(" AND\n        (PianoSomma.Note IS NULL OR PianoSomma.Note = '')");
    QSqlQuery u = db.prepara(sql);
    if (scriviNota)
        u.bindValue(QStringLiteral(":NoteCorr"), o.Nota);
    if (idOrario > 0)
        u.bindValue(QStringLiteral(":IdOrarioCorr"), idOrario);
    u.bindValue(QStringLiteral(":OreAss"), carenza);
    u.bindValue(QStringLiteral(":IdDipCorr"), idDip);
    u.bindValue(QStringLiteral(":DataCorr"), data);
    u.bindValue(QStringLiteral(":StatoLetto"), g.stato);
    Database::esegui(u);
    if (u.numRowsAffected() == 1) {
        ++esito.Giorni;
        // A closed day is no longer the processed one: its anomalies go with its figures.
        if (o.Chiusura)
            AnomalieGiorno::Cancella(db, idDip, d, d);
    } else {
        ++esito.GiorniLasciati;
    }
    t.conferma();
    return true;
}

void CaricamentoNote::annullaGiorno(int idDip, const QDate& d, const OpzioniNote& o, EsitoNote& esito)
{
    const QString sql = o.Chiusura ? SqlAzzeraGiorni(QStringLiteral("PianoSomma.IdDip = :IdDipCorr AND\n"
                                                                "        PianoSomma.Data = :DataCorr"))
                                   : QStringLiteral("UPDATE PianoSomma\n"
                                                    "  SET Note = NULL\n"
                                                    "  WHERE PianoSomma.IdDip = :IdDipCorr AND\n"
                                                    "        PianoSomma.Data = :DataCorr");
    Transazione t(m_dtm.db());
    QSqlQuery u = m_dtm.db().esegui(sql, {{"IdDipCorr", idDip}, {"DataCorr", Sql::testoData(d)}});
    if (u.numRowsAffected() == 1) {
        ++esito.Giorni;
        // Back in state 1 the day has no figures, so no anomalies either.
        if (o.Chiusura)
            AnomalieGiorno::Cancella(m_dtm.db(), idDip, d, d);
    }
    t.conferma();
}

// The engine's order of choice, without anomalies and without punches. Returns the
// timetable set on the day, kRiposo for a rest day of a rotation, kNessunOrario when the
// day has none.
int CaricamentoNote::scegliOrario(const Giorno& g, const QDate& d, const Profilo& p)
{
    Database& db = m_dtm.db();
    int id = 0;
    if (g.idOrario >= 1) {
        id = g.idOrario;
    } else if (p.IdOrFestivo != 0 && db.esisteRiga(QStringLiteral("SELECT * FROM RelCalend WHERE\n"
                                                                  "  RelCalend.IdCalend = 1 AND\n"
                                                                  "  RelCalend.Giorno = :DataCorr AND\n"
                                                                  "  RelCalend.Tipo = 'F'"),
                                                   {{"DataCorr", Sql::testoData(d)}})) {
        id = p.IdOrFestivo;
    } else if (p.TipoOrario.isEmpty() || p.IdOrari == 0) {
        return kNessunOrario;
    } else if (p.TipoOrario.at(0) == QLatin1Char('T')) {
        // Of two rows for one weekday, the one that starts first, as the engine reads them.
        QSqlQuery r = db.esegui(QStringLiteral("SELECT TipoOrario, IdDaUsare FROM CompTurni WHERE\n"
                                               "  IdTurno=:IdTurCorr  AND\n"
                                               "  NumOrd=:GioTurCorr "
                                               "ORDER BY DataInizio, TipoOrario, IdDaUsare"),
                                {{"IdTurCorr", p.IdOrari}, {"GioTurCorr", numeroGiorno(d)}});
        if (!r.next())
            return kNessunOrario;
        if (r.value(0).toString() == QLatin1String("G"))
            return kRiposo;
        id = intero(r.value(1));
    } else {
        return kNessunOrario;  // "C", "S" and any other type have no timetable of the day
    }
    if (id < 1 || !db.esisteRiga(QStringLiteral("SELECT Id FROM OrariRep WHERE OrariRep.Id = :IdOrarioCorr"), {{"IdOrarioCorr", id}}))
        return kNessunOrario;
    return id;
}
