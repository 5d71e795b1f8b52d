#pragma once
// The demo company: a plausible Italian manufacturer with its organisation, timetables,
// shift rotations, holiday calendar, terminals, employees and a few weeks of punches, so
// that every window and the processing can be shown and tried without real data.

#include <QDate>

class TdtmPresenze;

struct OpzioniDemo {
    int dipendenti = 60;
    int giorni = 31;     // punches cover the days oggi − giorni … oggi − 1
    QDate oggi;          // invalid: dtm.Oggi()
    quint32 seme = 20261209;
};

struct RisultatoDemo {
    int dipendenti = 0;
    int timbrature = 0;
    int orari = 0;
    int turni = 0;
    int festivi = 0;  // holiday rows written to calendar 1
};

// Fills an empty company (the caller checks that Anagrafico is empty first) in one
// transaction: on failure nothing is left behind and ErroreDb is thrown. The same seed,
// options and starting database always give the same rows. Negative counts throw
// std::invalid_argument.
RisultatoDemo GeneraDemo(TdtmPresenze& dtm, const OpzioniDemo& o);

// The punches of the last `giorni` days for the employees already stored, as GeneraDemo makes
// them: every employee whose latest profile names one of the demo's rotations (by name) and
// who has no punch in the period yet, from his hiring date on. One transaction; the same seed
// and database give the same rows. ris.dipendenti counts the employees given punches.
RisultatoDemo GeneraTimbrature(TdtmPresenze& dtm, const OpzioniDemo& o);
