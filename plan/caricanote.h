#pragma once
// Notes loading over a period for many employees at once: the same note on each day, and
// optionally the day closed (state 3) with its absence covered by the average hours of its
// timetable; or such a loading undone. Headless: the "Caricamento Note" window and the
// `note` batch command both call it, and the tests drive it directly.
//
// Each day is its own transaction. A day is written only in the state it was read in: a
// day another workstation processed or closed meanwhile is left alone and counted, never
// overwritten.

#include <QDate>
#include <QList>
#include <QString>

#include <stdexcept>

class Avanzamento;
class TdtmPresenze;

struct OpzioniNote {
    QDate Dal, Al;             // whole days, both included
    QString Nota;              // at most LunghezzaNota characters; empty: no note written
    bool Chiusura = false;     // load: state 3 with the day's timetable; cancel: reset the day
    bool OreMedie = false;     // load: absence = the timetable's average hours
    bool Sostituisci = false;  // load: also days in state 3, and over existing notes
    bool Annullamento = false; // cancel instead of load
};

struct EsitoNote {
    int Dipendenti = 0;    // employees with a profile in the period, walked to their end
    int Giorni = 0;        // days written
    int GiorniCreati = 0;  // work-plan days created because they were missing
    int GiorniLasciati = 0; // days left as they were: closed, or changed meanwhile
    int IdDipErrore = 0;   // the employee whose run failed; 0 when none failed
    QString Errore;        // the engine's text of that failure
    bool Annullato = false;
};

class CaricamentoNote {
public:
    static constexpr int LunghezzaNota = 50;

    explicit CaricamentoNote(TdtmPresenze& dtm) : m_dtm(dtm) {}

    // The number of the message that refuses these options, 0 when they can run.
    static int Controlla(const OpzioniNote& o);

    // The employees of a selection table of the work database, in Id order; empty name:
    // every employee. Throws ErroreSelezione when the table is not there (any more).
    QList<int> Dipendenti(const QString& tabellaSelezione = {});

    // Runs the load or the cancel for each employee in turn, one unit of progress each;
    // stops at the first database failure (what was written before stays) or when the user
    // cancels between two employees. The options must have passed Controlla.
    EsitoNote Esegui(const QList<int>& ids, const OpzioniNote& o, Avanzamento& avanzamento);

private:
    struct Profilo;
    struct Giorno;
    bool eseguiDipendente(int idDip, const OpzioniNote& o, EsitoNote& esito);
    bool caricaGiorno(int idDip, const QDate& d, const Profilo& p, const OpzioniNote& o, EsitoNote& esito);
    void annullaGiorno(int idDip, const QDate& d, const OpzioniNote& o, EsitoNote& esito);
    int scegliOrario(const Giorno& g, const QDate& d, const Profilo& p);

    TdtmPresenze& m_dtm;
};

// A selection table that does not exist: its name, for message 9901.
class ErroreSelezione : public std::runtime_error {
public:
    explicit ErroreSelezione(const QString& tabella) : std::runtime_error("selezione"), m_tabella(tabella) {}
    QString tabella() const { return m_tabella; }

private:
    QString m_tabella;
};
