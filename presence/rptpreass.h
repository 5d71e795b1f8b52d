#pragma once
// The present/absent report (report group "CA", code 1): one line per board row in the board's
// order, with the employee's punches of the day, and the totals of selected, present and
// absent employees. Only "PR" counts as present here: an exempt employee is listed among the
// present ones by the board's category choice but counted among the absent ones.

#include "documento.h"
#include "tabellone.h"

class TdtmPresenze;

namespace Stampa {
// Report codes of group "CA".
enum CodicePresAss { kPresentiAssenti = 1 };
}  // namespace Stampa

class TrptPreAss {
public:
    explicit TrptPreAss(TdtmPresenze& dtm) : m_dtm(dtm) {}
    // `righe` in print order; `p` gives the date and the view of the title lines. Throws
    // ErroreStampa (missing logo) and ErroreDb.
    DocumentoStampa Crea(const QString& descrizione, const ParametriTabellone& p, const QList<RigaTabellone>& righe);

    // The punches of one employee on one day as the report prints them: direction letter and
    // time of each, cut to 76 characters, with " *" when punches were left out.
    QString TestoTimbrature(int idDip, const QDate& giorno);
    static QString Taglia(const QString& testo);

private:
    TdtmPresenze& m_dtm;
};
