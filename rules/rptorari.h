#pragma once
// The printed list of timetables (report group "CO", code 1): one line per timetable in name
// order with its punch window, expected work, closing mode, rounding steps and overtime
// minimum and step, as the timetable window shows them.

#include "documento.h"

class TdtmOrari;

namespace Stampa {
// Report codes of group "CO".
enum CodiceOrari { kElencoOrari = 1 };
}  // namespace Stampa

class TrptOrari {
public:
    explicit TrptOrari(TdtmOrari& orari) : m_orari(orari) {}
    // Throws ErroreStampa (missing logo) and ErroreDb.
    DocumentoStampa Crea(const QString& titolo);

private:
    TdtmOrari& m_orari;
};
