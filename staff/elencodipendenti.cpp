#include "elencodipendenti.h"

#include "tdtmpresenze.h"

namespace ElencoDipendenti {

QList<int> Tutti(TdtmPresenze& dtm)
{
    QList<int> ids;
    QSqlQuery q = dtm.db().esegui(QStringLiteral("SELECT Id FROM Anagrafico ORDER BY Id"));
    while (q.next())
        ids.append(q.value(0).toInt());
    return ids;
}

bool Esiste(TdtmPresenze& dtm, int id)
{
    return dtm.db().esisteRiga(QStringLiteral("SELECT 1 FROM Anagrafico WHERE Id = :id"), {{"id", id}});
}

bool Vuoto(TdtmPresenze& dtm)
{
    return !dtm.db().esisteRiga(QStringLiteral("SELECT 1 FROM Anagrafico"));
}

}  // namespace ElencoDipendenti
