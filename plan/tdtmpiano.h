#pragma once
// The work-plan data module: the grid of days (wwTblPianoSomma), the punches of the
// current day (wwTblTimbr), the employee selection (wwTblAnagSel), the timetable and
// terminal lookups, the lookup lists of the window and the grid's column widths.
// Headless: the work-plan window, the day details and the punch editor are thin layers
// over it, and the tests drive it directly.
//
// How a window uses it:
//   creation      BuildStructures(); ElencoOrari() fills the timetable picker,
//                 ElementiStato() the state picker, ElementiVerso() the direction pickers
//   confirm       wwTblPianoSomma()->Apri(dtm.IdDipCorrente, dal, al); Totali()
//   grid open     statoCambiato(true): show the panel, apply Larghezza(0..8) to the columns
//   grid close    wwTblPianoSomma()->Chiudi(): primaDiChiudere asks for the widths
//                 (ImpostaLarghezza), then they are written to PRES.INI
//   row change    the view reports ImpostaRigaCorrente(); the punch list follows by itself;
//                 StatoBloccato() tells whether the state and timetable pickers are enabled;
//                 AllInizio()/AllaFine() enable "Indietro"/"Avanti" (Sposta(±7))
//   edits         setData() for ORD, STR, TOT, ASS, Note; CambiaStato() when the state
//                 picker closes; ImpostaOrario() when the timetable picker closes;
//                 CancellaOrario() on Backspace (RileggiRiga() in other columns);
//                 rigaRegistrata(): recompute the totals; erroreScrittura(): a cell
//                 written through setData() failed, show the engine's text
//   punch cell    PosizionaSuToken() moves the punch list to the token's punch
//   details       wwTblTimbr(): list, Inserisci / Modifica / Cancella; each write calls
//                 RefreshMaster, which rebuilds the day's punch texts in the grid

#include "tabellaanagsel.h"
#include "tabellapiano.h"
#include "tabellatimbrature.h"
#include "tdtmpresenze.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <array>

struct VoceOrario {
    int Id = 0;
    QString Descr;
};

class TdtmPiano : public QObject {
    Q_OBJECT
public:
    explicit TdtmPiano(TdtmPresenze& dtm, QObject* parent = nullptr);

    TdtmPresenze& dtm() { return m_dtm; }
    const TdtmPresenze& dtm() const { return m_dtm; }

    TabellaPiano* wwTblPianoSomma() { return &m_piano; }
    TabellaTimbrature* wwTblTimbr() { return &m_timbr; }
    TabellaAnagSel* wwTblAnagSel() { return &m_anagSel; }

    // --- Lookup lists (BuildStructures) ------------------------------------------------
    // Loads, in the current language: the state picker items (Costanti3 "StatoRid"), the
    // direction picker items and names (Costanti4 "Verso", also installed as the
    // application's direction list for punch tokens) and the short day names (Costanti4
    // "Giorni3"). Throws ErroreDb.
    void BuildStructures();
    const QList<CodiceDescr>& ElementiStato() const { return m_stati; }  // shown Descr, stored ValCod
    const QList<CodiceDescr>& ElementiVerso() const { return m_versi; }
    const TestiOra::ListaVersi& NomiVersi() const { return m_nomiVersi; }  // ValCod = Descr
    // Short name of weekday 1 (Sunday) ... 7 (Saturday); empty before BuildStructures.
    QString NomeBreveGiorno(int giorno) const;
    // The Data column: "dd/MM/yyyy", a blank, the short day name; empty for no date.
    QString DataGiorno(const QDate& d) const;
    // Description of a state code (the code itself when the list does not hold it).
    QString DescrStato(const QVariant& stato) const;
    // True when the code is a state of the list (any code while the list is not loaded).
    bool StatoValido(int stato) const;
    // Question text 2001, shown in the punch columns of a row being edited.
    QString TestoInModifica();

    // --- Timetable and terminal lookups (wwTblOrariRep, wwTblTerminali) -----------------
    // Re-reads both tables; they are otherwise read on first use, and again after a data
    // module reports a change to either (TdtmPresenze::archivioCambiato).
    void ApriTabelleRicerca();
    const QList<VoceOrario>& ElencoOrari();  // all timetables by description
    QString DescrizioneOrario(const QVariant& idOrario);
    QString IndirizzoTerminale(const QVariant& idTerminale);

    // --- Current row helpers -----------------------------------------------------------
    // The current day is locked (state 3): the state and timetable pickers are disabled.
    bool StatoBloccato() const;
    // Moves the punch list to the punch nearest the token's time on the current day.
    // Returns the punch row, -1 when there is none.
    int PosizionaSuToken(const QString& token);
    // After a punch is written or deleted: the grid re-reads its range on the same row.
    void RefreshMaster();
    // "Cognome Nome" of an employee, for window captions; empty for an unknown id.
    // Throws ErroreDb.
    QString Nominativo(int idDip);

    // --- Column widths (PRES.INI [Desktop] PdLCol…) -------------------------------------
    int Larghezza(int colonna) const;
    void ImpostaLarghezza(int colonna, int larghezza);
    std::array<int, NumColonnePiano> Larghezze() const;
    // Writes the nine widths under [Desktop]; throws std::runtime_error when PRES.INI
    // cannot be written.
    void SalvaLarghezze();

private:
    void caricaRicerche();
    void seguiRiga();

    TdtmPresenze& m_dtm;
    QList<CodiceDescr> m_stati;
    QList<CodiceDescr> m_versi;
    TestiOra::ListaVersi m_nomiVersi;
    std::array<QString, 7> m_giorni;
    QString m_testoInModifica;
    bool m_ricercheLette = false;
    QList<VoceOrario> m_orari;
    QHash<int, QString> m_descrOrari;
    QHash<int, QString> m_indirizzi;
    QHash<int, QString> m_nominativi;
    TabellaPiano m_piano;
    TabellaTimbrature m_timbr;
    TabellaAnagSel m_anagSel;
};
