#pragma once
// The printed organisation chart: a tree as the window shows it (TrptPianta, report code 1
// of groups "CR" and "CQ") and the staff of a department and a qualification with their
// sub-units (TrptOrganico, code 2 of "CQ"). Each builds a DocumentoStampa; the window
// previews or prints it.

#include "documento.h"
#include "tdtmpianta.h"

class TdtmPresenze;

namespace Stampa {
// Report codes of groups "CR" and "CQ".
enum CodicePianta { kAlberoUnita = 1, kOrganico = 2 };
}  // namespace Stampa

// Every unit of the tree in display order, one line each: "-" and the name after five
// spaces per level, under the heading of choice text 1401 (departments) or 1402
// (qualifications). The work table RTree receives the same lines. Throws ErroreStampa
// (missing logo) and ErroreDb.
class TrptPianta {
public:
    TrptPianta(TdtmPresenze& dtm, TipoAlbero tipo) : m_dtm(dtm), m_tipo(tipo) {}
    DocumentoStampa Crea(const AlberoUnita& albero, const QString& titolo);

private:
    TdtmPresenze& m_dtm;
    TipoAlbero m_tipo;
};

// "Stampa dipendenti in organico": the employees with a badge, an appointment of Nomine and a
// profile whose department lies in the branch of `idReparto` and whose qualification lies in
// the branch of `idQualifica`; each once, under the most recent such profile. The work table
// ROrganic receives them with the depth of both units; the report groups them by department,
// then qualification (by id: two units may share a name), then by name. Throws ErroreStampa
// and ErroreDb.
class TrptOrganico {
public:
    explicit TrptOrganico(TdtmPresenze& dtm) : m_dtm(dtm) {}
    DocumentoStampa Crea(int idReparto, int idQualifica, const QString& titolo);
    // Fills ROrganic and returns how many employees it holds.
    int Prepara(int idReparto, int idQualifica);

private:
    TdtmPresenze& m_dtm;
};
