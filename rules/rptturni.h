#pragma once
// The printed lists of the shift rotations (TrptTurni, group "CT") and of the holidays
// (TrptCalend, group "CC"). Each builds a DocumentoStampa; the window previews or prints it.

#include "documento.h"

class TdtmPresenze;

namespace Stampa {
// The one report code of groups "CT" and "CC".
constexpr int kElencoTurni = 1;
constexpr int kCalendario = 1;
}  // namespace Stampa

// Every rotation by name under "Turno" and "Composizione": the rotation's line, then one line
// per day with its full day name and its timetable.
class TrptTurni {
public:
    explicit TrptTurni(TdtmPresenze& dtm) : m_dtm(dtm) {}
    DocumentoStampa Crea(const QString& titolo);

private:
    TdtmPresenze& m_dtm;
};

// "Elenco Giorni Festivi": one line per holiday of calendar 1, in date order.
class TrptCalend {
public:
    explicit TrptCalend(TdtmPresenze& dtm) : m_dtm(dtm) {}
    DocumentoStampa Crea(const QString& titolo);

private:
    TdtmPresenze& m_dtm;
};
