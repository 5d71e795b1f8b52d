#include "cancelladati.h"

#include "anomaliegiorno.h"
#include "avanzamento.h"
#include "cancelladipendente.h"
#include "dialetto.h"
#include "messaggi.h"
#include "registrobadge.h"
#include "tdtmelab.h"
#include "tdtmpresenze.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace CancellaDati {

namespace {

// The period's bounds as stored: midnight of the first day, midnight after the last.
QVariant inizio(const QDate& dal)
{
    return Sql::data(dal);
}
QVariant fine(const QDate& al)
{
    return Sql::data(al.addDays(1));
}

// A statement over one employee's period: its rows affected, or the count it selects.
qint64 nelPeriodo(Database& db, const QString& sql, int id, const QDate& dal, const QDate& al)
{
    QSqlQuery q = db.esegui(sql, {{"IdDipCorr", id}, {"DataInizio", inizio(dal)}, {"DataFine", fine(al)}});
    if (q.isSelect())
        return q.next() ? q.value(0).toLongLong() : 0;
    return q.numRowsAffected();
}

qint64 conta(Database& db, const QString& sql, int id)
{
    return db.valore(sql, {{"id", id}}).toLongLong();
}

const QString kContaTimbrature = QStringLiteral("SELECT COUNT(*) FROM Timbrature\n"
                                                "  WHERE Timbrature.IdDip = :IdDipCorr AND\n"
                                                "        Timbrature.DataV >= :DataInizio AND\n"
                                                "        Timbrature.DataV < :DataFine");
const QString kContaGiorni = QStringLiteral("SELECT COUNT(*) FROM PianoSomma\n"
                                            "  WHERE PianoSomma.IdDip = :IdDipCorr AND\n"
                                            "        PianoSomma.Data >= :DataInizio AND\n"
                                            "        PianoSomma.Data < :DataFine");

// One employee's deletion inside the caller's transaction; adds what went to `c`.
void cancellaDipendente(TdtmPresenze& dtm, Tipo tipo, int id, const QDate& dal, const QDate& al, Conteggio* c)
{
    Database& db = dtm.db();
    if (tipo == Tipo::Completa) {
        const qint64 timbrature = conta(db, QStringLiteral("SELECT COUNT(*) FROM Timbrature WHERE IdDip = :id"), id);
        const qint64 giorni = conta(db, QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE IdDip = :id"), id);
        // An employee another workstation deleted meanwhile is simply no longer there.
        if (CancellaDipendente(dtm, id)) {
            c->timbrature += timbrature;
            c->giorni += giorni;
            ++c->dipendenti;
        }
        return;
    }
    c->timbrature += nelPeriodo(db, QStringLiteral("DELETE FROM Timbrature\n"
                                              "  WHERE Timbrature.IdDip = :IdDipCorr AND\n"
                                              "        Timbrature.DataV >= :DataInizio AND\n"
                                              "        Timbrature.DataV < :DataFine"),
                                id, dal, al);
    // The anomalies recorded for a day belong to its figures, which go either way.
    AnomalieGiorno::Cancella(db, id, dal, al);
    if (tipo == Tipo::Timbrature)
        c->giorni += nelPeriodo(db,
                                SqlAzzeraGiorni(QStringLiteral("PianoSomma.IdDip = :IdDipCorr AND\n"
                                                               "        PianoSomma.Data >= :DataInizio AND\n"
                                                               "        PianoSomma.Data < :DataFine")),
                                id, dal, al);
    else
        c->giorni += nelPeriodo(db, QStringLiteral("DELETE FROM PianoSomma\n"
                                              "  WHERE PianoSomma.IdDip = :IdDipCorr AND\n"
                                              "        PianoSomma.Data >= :DataInizio AND\n"
                                              "        PianoSomma.Data < :DataFine"),
                                id, dal, al);
    ++c->dipendenti;
}

QString nominativo(Database& db, int id)
{
    QString nome;
    try {
        QSqlQuery q = db.esegui(QStringLiteral("SELECT Cognome, Nome FROM Anagrafico WHERE Id = :id"), {{"id", id}});
        if (q.next())
            nome = q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString() + QLatin1Char(' ');
    } catch (const ErroreDb&) {
        // The id alone still says who it was.
    }
    return nome + QStringLiteral("(Id %1)").arg(id);
}

}  // namespace

bool TipoDaTesto(const QString& testo, Tipo* tipo)
{
    static const struct {
        const char* nome;
        Tipo tipo;
    } kTipi[] = {{"timbrature", Tipo::Timbrature}, {"piano", Tipo::Piano}, {"completa", Tipo::Completa}};
    for (const auto& t : kTipi)
        if (testo.compare(QLatin1String(t.nome), Qt::CaseInsensitive) == 0) {
            *tipo = t.tipo;
            return true;
        }
    return false;
}

QList<int> Dipendenti(TdtmPresenze& dtm, const QString& tabella, bool lavoro)
{
    // A table name goes into the text: only a plain name of ours gets there.
    static const QRegularExpression nome(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QString t = tabella.section(QLatin1Char('.'), 0, 0);
    if (!nome.match(t).hasMatch())
        throw ErroreDb(tabella);
    QList<int> ids;
    QSqlQuery q = dtm.db().esegui(
        QStringLiteral("SELECT ID FROM ':%1:%2' ORDER BY ID").arg(lavoro ? QLatin1String("dbPresUt") : QLatin1String("dbPresenze"), t));
    while (q.next())
        ids.append(q.value(0).toInt());
    return ids;
}

Conteggio Prevedi(TdtmPresenze& dtm, Tipo tipo, const QList<int>& ids, const QDate& dal, const QDate& al)
{
    Database& db = dtm.db();
    Conteggio c;
    for (int id : ids) {
        if (tipo == Tipo::Completa) {
            if (!db.valore(QStringLiteral("SELECT Id FROM Anagrafico WHERE Id = :id"), {{"id", id}}).isValid())
                continue;
            c.timbrature += conta(db, QStringLiteral("SELECT COUNT(*) FROM Timbrature WHERE IdDip = :id"), id);
            c.giorni += conta(db, QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE IdDip = :id"), id);
        } else {
            c.timbrature += nelPeriodo(db, kContaTimbrature, id, dal, al);
            c.giorni += nelPeriodo(db, kContaGiorni, id, dal, al);
        }
        ++c.dipendenti;
    }
    return c;
}

Esito Esegui(TdtmPresenze& dtm, Tipo tipo, const QList<int>& ids, const QDate& dal, const QDate& al,
             Avanzamento& avanzamento, const QString& titolo)
{
    Database& db = dtm.db();
    Esito e;
    avanzamento.Inizia(titolo, int(ids.size()));
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (avanzamento.Annullato()) {
            e.annullato = true;
            break;
        }
        const int id = ids.at(i);
        Conteggio c;
        try {
            if (tipo == Tipo::Completa && !RegistroBadge::Attendi(dtm, 1000))
                throw ErroreRegistroBadge(dtm.TestoErrore(Msg::ErrRegistroBadge));
            // Punches are raw data: their removal waits for the disk like their writing.
            Transazione t(db, Durata::Piena);
            cancellaDipendente(dtm, tipo, id, dal, al, &c);
            t.conferma();
        } catch (const ErroreDb& err) {
            e.idErrore = id;
            e.dipendente = nominativo(db, id);
            e.errore = err.testo();
            break;
        }
        e.cancellati.timbrature += c.timbrature;
        e.cancellati.giorni += c.giorni;
        e.cancellati.dipendenti += c.dipendenti;
        avanzamento.Valore(int(i + 1));
    }
    avanzamento.Termina();
    if (e.cancellati.dipendenti > 0)
        db.salvaSuDisco();
    if (tipo == Tipo::Completa && e.cancellati.dipendenti > 0)
        dtm.ArchivioCambiato(QStringLiteral("Anagrafico"));
    return e;
}

}  // namespace CancellaDati
