#include "registrobadge.h"

#include "tdtmpresenze.h"

#include <QThread>

namespace RegistroBadge {

bool Attendi(TdtmPresenze& dtm, int pausaMs)
{
    for (int tentativo = 1; tentativo <= kTentativi; ++tentativo) {
        try {
            dtm.db().valore(QStringLiteral("SELECT COUNT(*) FROM AnagMod WHERE Id = :id"), {{"id", -1}});
            return true;
        } catch (const ErroreDb&) {
            if (tentativo < kTentativi && pausaMs > 0)
                QThread::msleep(static_cast<unsigned long>(pausaMs));
        }
    }
    return false;
}

void Scrivi(TdtmPresenze& dtm, Operazione op, const QString& codice)
{
    try {
        const int id = dtm.NuovoId(QStringLiteral("AnagMod"));
        dtm.db().esegui(QStringLiteral("INSERT INTO AnagMod (Id, Badge, NumClient, TipoOp) VALUES (:id, :badge, :client, :op)"),
                        {{"id", id}, {"badge", codice}, {"client", kNumClient}, {"op", QString::number(op)}});
    } catch (const ErroreDb& e) {
        throw ErroreRegistroBadge(e.testo(), e.istruzione());
    }
}

}  // namespace RegistroBadge
