#pragma once
// The work-plan reports: punches (TrptPLTimb), detail (TrptPLDett), notes (TrptPLNote),
// totals (TrptPLTot) and anomalies (TrptPLAnom), over an employee selection and a period.
// Each builds a DocumentoStampa; the caller previews, prints or saves it.

#include "documento.h"

#include <QDate>

#include <optional>

class TdtmPresenze;

// The employee selection a report walks: a table of the production database ("dbPresenze",
// normally Anagrafico) or of the work database ("dbPresUt", the result of a selection query),
// in the order chosen there ("Cognome;Nome", "Matricola", "Libero"; empty means by name).
struct SelezioneStampa {
    QString tabella = QStringLiteral("Anagrafico");
    QString database = QStringLiteral("dbPresenze");
    QString ordine;
};

struct ParametriPiano {
    SelezioneStampa selezione;
    QDate dal;
    QDate al;
    QString titolo;         // page title: the report's catalogue description
    QString rigaSelezione;  // selection line under the title
};

namespace Stampa {

// Report codes of group "CP".
enum CodicePiano {
    kTimbOriginali = 1,
    kTimbValide = 2,
    kDettaglio = 3,
    kNoteOriginali = 4,
    kNoteValide = 5,
    kTotali = 6,
    kAnomalie = 7,
};

// True when report `codice` is refused for the period (codes 3, 4, 5 over more than 31 days).
bool PeriodoTroppoLungo(int codice, const QDate& dal, const QDate& al);
// "Periodo dal <dal>   al <al>" in the user's language, as the work-plan window shows it.
QString RigaSelezionePiano(TdtmPresenze& dtm, const QDate& dal, const QDate& al);
// ORDER BY list walking a selection in its chosen order.
QString OrdineSelezione(const QString& ordine);
// The totals query over a selection table: T is the table's name up to its first "." and D
// its database alias.
QString QueryTotali(const QString& tabella, const QString& database);
// Punch text of a day cut to `larghezza` characters, " *" marking a cut.
QString TagliaTimbrature(const QString& testo, int larghezza);
// A day value as hours.minutes ("08.30"); nothing below one minute, ##.## from 24 hours.
QString OreGiorno(const QVariant& minuti);

// The employees `ids` (each once) become the work database's print selection, walked in name
// order; the table is emptied first. Throws ErroreDb.
SelezioneStampa SelezioneDipendenti(TdtmPresenze& dtm, const QList<int>& ids);

// Report `codice` of group "CP"; nullopt for a code without a report. Throws ErroreStampa
// (missing logo) and ErroreDb.
std::optional<DocumentoStampa> DocumentoPiano(TdtmPresenze& dtm, int codice, const ParametriPiano& par);

}  // namespace Stampa

class TrptPLTimb {
public:
    TrptPLTimb(TdtmPresenze& dtm, bool originali) : m_dtm(dtm), m_originali(originali) {}
    DocumentoStampa Crea(const ParametriPiano& par);

private:
    TdtmPresenze& m_dtm;
    bool m_originali;
};

class TrptPLDett {
public:
    explicit TrptPLDett(TdtmPresenze& dtm) : m_dtm(dtm) {}
    DocumentoStampa Crea(const ParametriPiano& par);

private:
    TdtmPresenze& m_dtm;
};

class TrptPLNote {
public:
    TrptPLNote(TdtmPresenze& dtm, bool originali) : m_dtm(dtm), m_originali(originali) {}
    DocumentoStampa Crea(const ParametriPiano& par);

private:
    TdtmPresenze& m_dtm;
    bool m_originali;
};

class TrptPLAnom {
public:
    explicit TrptPLAnom(TdtmPresenze& dtm) : m_dtm(dtm) {}
    DocumentoStampa Crea(const ParametriPiano& par);

private:
    TdtmPresenze& m_dtm;
};

class TrptPLTot {
public:
    explicit TrptPLTot(TdtmPresenze& dtm) : m_dtm(dtm) {}
    DocumentoStampa Crea(const ParametriPiano& par);

private:
    TdtmPresenze& m_dtm;
};
