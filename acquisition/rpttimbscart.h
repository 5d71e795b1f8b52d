#pragma once
// The error-punch report (code 1 of group "CS"): every row of Terrtimb in table order, the
// transactions the acquisition could not store. The window asks the print settings for
// group "CS", makes the document through Stampa::CreaEdEsegui when the table has rows, then
// offers to empty it (Chiedi 2610, TdtmAcquisizione::SvuotaTimbratureScartate).

#include "documento.h"

class TdtmPresenze;

namespace Stampa {
enum CodiceScarti { kTimbScartate = 1 };
}

class TrptTimbScart {
public:
    explicit TrptTimbScart(TdtmPresenze& dtm) : m_dtm(dtm) {}
    // A4 portrait, columns "Badge", "Data-Ora", "Verso", "Errore". Throws ErroreStampa
    // (missing logo) and ErroreDb.
    DocumentoStampa Crea(const QString& titolo);

private:
    TdtmPresenze& m_dtm;
};
