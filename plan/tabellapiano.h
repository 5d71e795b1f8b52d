#pragma once
// The grid of work-plan days (wwTblPianoSomma): one row per day of one employee in a
// period, read with plain queries and written back field by field with bound parameters,
// so that every edit goes through the rules below and never through a generic table
// editor. Rows are neither inserted nor deleted here: the work-plan check creates them.
//
// Columns, in grid order (ColonnaPiano of presenzecfg.h, the same order as the PRES.INI
// widths): Data, Stato, Orario, Timbrature, ORD, STR, TOT, ASS, Note.
//   Qt::DisplayRole  the texts the grid shows (state description, timetable description,
//                    hours as "hh.mm", empty for 0 or null)
//   Qt::EditRole     what an editor starts from: the state code, the timetable id, the
//                    hours text, the note
//   Qt::ToolTipRole  on Timbrature: the valid punch text, a line break, the original
//                    text; nothing when both are empty. On Stato: the anomalies the
//                    engine recorded for the day, one per line; nothing when none
//   the Ruolo… roles give the stored fields on any column of the row.
//
// Editing (flags() and setData() follow the same rules):
//   Data, Timbrature            read-only
//   Stato, Orario               locked while the day is in state 3
//   ORD, STR, TOT, ASS, Note    editable in any state
// setData() on Stato only applies the rule of ImpostaStato (no question asked); a window
// closing its state picker calls CambiaStato, which also shows error 2002 or asks 2004.
//
// The current row is the grid's cursor: the window mirrors it in its view and reports the
// user's moves with ImpostaRigaCorrente; the data module follows it with the punch list.

#include "presenzecfg.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TdtmPiano;

struct GiornoPiano {
    int IdDip = 0;
    QDate Data;
    QVariant Stato;  // null or the state code
    QVariant IdOrario;
    QVariant ValOrdinario;
    QVariant ValEccedenza;
    QVariant ValPresenza;
    QVariant ValCarenza;
    QString Note;
    QString DataGiorno;      // "dd/MM/yyyy Lun"
    QString Timbrature;      // valid punches as tokens
    QString TimbratureOrig;  // original punches as tokens
    QStringList Anomalie;    // the day's recorded anomalies, "code description", each code once
    QString chiaveData;      // Data exactly as stored: the row's key for writing back
};

struct TotaliPiano {
    int Ordinario = 0;
    int Eccedenza = 0;
    int Presenza = 0;
    int Carenza = 0;
};

class TabellaPiano : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Ruolo {
        RuoloIdDip = Qt::UserRole + 1,
        RuoloData,  // QDate
        RuoloStato,
        RuoloIdOrario,
        RuoloValOrdinario,
        RuoloValEccedenza,
        RuoloValPresenza,
        RuoloValCarenza,
        RuoloNote,
        RuoloDataGiorno,
        RuoloTimbrature,
        RuoloTimbratureOrig,
        RuoloAnomalie  // QStringList
    };

    // What a state change would do (see ControllaStato).
    enum class EsitoStato { Consentito, Invariato, Vietato, Bloccato, NonValido };

    explicit TabellaPiano(TdtmPiano& piano, QObject* parent = nullptr);

    // --- Opening, range, refresh -------------------------------------------------------
    // Opens the grid (or re-limits it when open) on the employee's days from `dal` 00:00
    // to the last second of `al`, in date order, current row on the first day. Throws
    // ErroreDb. Emits statoCambiato(true) when the table was closed.
    void Apri(int idDip, const QDate& dal, const QDate& al);
    // Asks the window for the column widths (primaDiChiudere), empties the grid, emits
    // statoCambiato(false) and writes the widths to PRES.INI (TdtmPiano::SalvaLarghezze,
    // which throws std::runtime_error when the file cannot be written).
    void Chiudi();
    bool Aperta() const { return m_aperta; }
    int IdDip() const { return m_idDip; }
    QDate Dal() const { return m_dal; }
    QDate Al() const { return m_al; }
    // Re-reads the range (days and punch texts) and stays on the same day; when that day
    // is gone, on the same row number as far as possible. Emits aggiornata().
    void Aggiorna();
    // Re-reads one row from the table, dropping whatever was not written (the cancel of
    // a failed post, and Backspace outside the Orario column).
    void RileggiRiga(int riga);

    // --- Rows and cursor ---------------------------------------------------------------
    int Righe() const { return int(m_righe.size()); }
    const GiornoPiano& Giorno(int riga) const { return m_righe.at(riga); }
    int TrovaData(const QDate& d) const;  // row of the day, -1 when not in the range
    int RigaCorrente() const { return m_corrente; }  // -1 when empty or closed
    const GiornoPiano* GiornoCorrente() const;
    void ImpostaRigaCorrente(int riga);  // clamped; emits rigaCorrenteCambiata on a move
    // Moves the cursor by `righe` (7 for "Avanti", -7 for "Indietro"), staying inside the
    // range; false when it did not move.
    bool Sposta(int righe);
    bool AllInizio() const;  // on the first row (or empty)
    bool AllaFine() const;   // on the last row (or empty)

    // --- Editing rules and write-back --------------------------------------------------
    // True when the day's state and timetable are locked (state 3).
    bool StatoBloccato(int riga) const;
    // Converts the typed hours of ORD, STR, TOT or ASS and writes the minute field only
    // when the value differs (null counts as 0). True when something was written.
    // Throws ErroreDb after re-reading the row.
    bool ImpostaOre(int riga, int colonna, const QString& testo);
    // Free note, cut at 50 characters; an empty note is stored as null.
    bool ImpostaNote(int riga, const QString& note);
    // Bloccato: state 3; NonValido: a code the state list does not hold; Vietato: between
    // 1 and 2 (only processing moves a day there); Invariato: the stored state.
    EsitoStato ControllaStato(int riga, int nuovo) const;
    // Stores the state when ControllaStato allows it; no message, no question.
    bool ImpostaStato(int riga, int nuovo);
    // The state picker's closing-up: a refused change between 1 and 2 shows error 2002;
    // an allowed change is stored after a Yes to question 2004. True when stored.
    bool CambiaStato(int riga, int nuovo);
    // Sets the timetable (null clears it); refused in state 3. A failed write re-reads the
    // row and throws ErroreDb.
    bool ImpostaOrario(int riga, const QVariant& idOrario);
    // Backspace on the Orario column: clears the timetable when the day has one.
    bool CancellaOrario(int riga);

    // Sums of the four minute fields over the range; null counts 0.
    TotaliPiano Totali() const;

    // While the window edits a row its punch columns show question text 2001 instead of
    // the tokens; -1 when no row is being edited.
    void ImpostaRigaInModifica(int riga);
    int RigaInModifica() const { return m_rigaInModifica; }

    // --- QAbstractItemModel ------------------------------------------------------------
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Days are created by the work-plan check and never removed from the grid.
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    static QString TitoloColonna(int colonna);

signals:
    // The table opened (true) or closed (false): the window shows or hides the grid
    // panel, applies the widths when opening and enables "Dettagli", "Avanti", "Indietro".
    void statoCambiato(bool aperta);
    // Emitted by Chiudi before anything is closed: the window hands the current column
    // widths to TdtmPiano::ImpostaLarghezza.
    void primaDiChiudere();
    // The cursor moved, or the range was re-read (Apri, Aggiorna): the view re-selects
    // the row, the punch list re-reads its day.
    void rigaCorrenteCambiata(int riga);
    // A row was written (an edited cell, a state or timetable choice): recompute totals.
    void rigaRegistrata(int riga);
    // The range was re-read (Aggiorna, Apri).
    void aggiornata();
    // setData() could not write a cell (the engine's text): the window shows it. The
    // other writing methods throw ErroreDb instead.
    void erroreScrittura(const QString& testo);

private:
    // What a day shows besides its own row: punch texts and anomalies.
    struct Testi {
        QString valide;
        QString originali;
        QStringList anomalie;
    };
    QList<GiornoPiano> leggiGiorni(const QString& da, const QString& a) const;
    QHash<QDate, Testi> leggiTimbrature(const QString& da, const QString& a) const;
    QHash<QDate, Testi> leggiTesti(const QDate& dal, const QDate& al) const;
    void completa(GiornoPiano& g, const QHash<QDate, Testi>& testi) const;
    void scriviCampo(int riga, const char* campo, const QVariant& valore);
    void rigaCambiata(int riga);
    bool rigaValida(int riga) const { return riga >= 0 && riga < m_righe.size(); }

    TdtmPiano& m_piano;
    QList<GiornoPiano> m_righe;
    bool m_aperta = false;
    int m_idDip = 0;
    QDate m_dal;
    QDate m_al;
    int m_corrente = -1;
    int m_rigaInModifica = -1;
};
