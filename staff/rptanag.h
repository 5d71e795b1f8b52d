#pragma once
// The printed employee lists of the register (report group "CD"): one line per employee by
// surname, first name and personnel number, landscape, with badge, hiring and leaving dates,
// department, level, qualification, overtime authorisation, rotation and holiday timetable;
// TrptAnagN adds the notes.

#include "documento.h"

class TdtmAnagrafico;

namespace Stampa {
// Report codes of group "CD".
enum CodiceAnag { kElencoDipendenti = 1, kElencoDipendentiNote = 2 };
}  // namespace Stampa

class TrptAnag {
public:
    explicit TrptAnag(TdtmAnagrafico& anag) : m_anag(anag) {}
    // Throws ErroreStampa (missing logo) and ErroreDb.
    DocumentoStampa Crea(const QString& titolo);

protected:
    TrptAnag(TdtmAnagrafico& anag, bool note) : m_anag(anag), m_note(note) {}

private:
    TdtmAnagrafico& m_anag;
    bool m_note = false;
};

class TrptAnagN : public TrptAnag {
public:
    explicit TrptAnagN(TdtmAnagrafico& anag) : TrptAnag(anag, true) {}
};
