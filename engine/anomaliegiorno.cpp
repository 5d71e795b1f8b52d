#include "anomaliegiorno.h"

#include "database.h"

#include <QSet>
#include <QSqlQuery>

namespace AnomalieGiorno {

QHash<QDate, QList<AnomaliaGiorno>> Leggi(const Database& db, int idDip, const QDate& dal, const QDate& al)
{
    QSqlQuery q = db.esegui(QStringLiteral("SELECT AnomalieGiorno.Data, AnomalieGiorno.IdSegnalaz, AnomalieGiorno.Prod, Segnalazioni.Descr\n"
                                           "  FROM AnomalieGiorno LEFT OUTER JOIN Segnalazioni ON Segnalazioni.Id = AnomalieGiorno.IdSegnalaz\n"
                                           " WHERE AnomalieGiorno.IdDip = :IdDip AND AnomalieGiorno.Data >= :Dal AND AnomalieGiorno.Data <= :Al\n"
                                           " ORDER BY AnomalieGiorno.Data, AnomalieGiorno.Prog"),
                            {{"IdDip", idDip}, {"Dal", Sql::data(dal)}, {"Al", Sql::data(al)}});
    QHash<QDate, QList<AnomaliaGiorno>> out;
    while (q.next())
        out[Sql::leggiData(q.value(0))].append({q.value(1).toInt(), q.value(2).toString(), q.value(3).toString().trimmed()});
    return out;
}

QString Testo(const AnomaliaGiorno& a)
{
    const QString codice = QString::number(a.Codice);
    return a.Descr.isEmpty() ? codice : codice + QLatin1Char(' ') + a.Descr;
}

QStringList Testi(const QList<AnomaliaGiorno>& anomalie)
{
    QStringList out;
    QSet<int> visti;
    for (const AnomaliaGiorno& a : anomalie)
        if (!visti.contains(a.Codice)) {
            visti.insert(a.Codice);
            out << Testo(a);
        }
    return out;
}

void Cancella(Database& db, int idDip, const QDate& dal, const QDate& al)
{
    db.esegui(QStringLiteral("DELETE FROM AnomalieGiorno WHERE IdDip = :IdDip AND Data >= :Dal AND Data <= :Al"),
              {{"IdDip", idDip}, {"Dal", Sql::data(dal)}, {"Al", Sql::data(al)}});
}

}  // namespace AnomalieGiorno
