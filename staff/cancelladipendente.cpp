#include "cancelladipendente.h"

#include "registrobadge.h"
#include "tdtmpresenze.h"

#include <QSqlQuery>

#include <stdexcept>

namespace {

// Tables of the production database that keep rows of an employee, with the field naming
// him, emptied after the profiles and badges, in this order.
struct DatiDi {
    const char* tabella;
    const char* campo;
};
constexpr DatiDi kDati[] = {
    {"CORREZIONI", "IDDIP"}, {"GIUSTIF", "IDDIP"},    {"PIANOLAVORO", "IDDIP"}, {"PIANOSOMMA", "IDDIP"},
    {"AnomalieGiorno", "IdDip"}, {"TIMBRATURE", "IDDIP"}, {"VALORIVOCI", "IDDIP"},  {"ATTRIBVOCI", "IDDIP"},
    {"ASSELEMGEN", "IDDIP"}, {"VALVOCIGEN", "IDDIP"}, {"CAUSTURNI", "IDDIP"},   {"SEGNALACC", "IDUTILIZZATORE"},
};

}  // namespace

bool CancellaDipendente(TdtmPresenze& dtm, int id)
{
    Database& db = dtm.db();
    if (!db.inTransazione())
        throw std::logic_error("CancellaDipendente: nessuna transazione aperta");

    db.esegui(QStringLiteral("DELETE FROM Profilo WHERE IdUtilizzatore = :id"), {{"id", id}});
    // Every badge row withdraws its code: one log entry each, none without a badge.
    QStringList codici;
    QSqlQuery b = db.esegui(QStringLiteral("SELECT Codice FROM Badge WHERE IdUtilizzatore = :id ORDER BY DataInizio"), {{"id", id}});
    while (b.next())
        codici << b.value(0).toString();
    db.esegui(QStringLiteral("DELETE FROM Badge WHERE IdUtilizzatore = :id"), {{"id", id}});
    for (const DatiDi& d : kDati)
        db.esegui(QStringLiteral("DELETE FROM %1 WHERE %2 = :id").arg(QLatin1String(d.tabella), QLatin1String(d.campo)), {{"id", id}});
    for (const QString& c : std::as_const(codici))
        RegistroBadge::Scrivi(dtm, RegistroBadge::Ritirato, c);
    QSqlQuery a = db.esegui(QStringLiteral("DELETE FROM Anagrafico WHERE Id = :id"), {{"id", id}});
    return a.numRowsAffected() > 0;
}
