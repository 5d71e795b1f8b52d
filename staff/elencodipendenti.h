#pragma once
// The employees of the company as lists of Ids, for whoever works on "all employees" or on
// the ones a user named (batch commands, runs over several employees).

#include <QList>

class TdtmPresenze;

namespace ElencoDipendenti {

// Every employee's Id, in Id order.
QList<int> Tutti(TdtmPresenze& dtm);
bool Esiste(TdtmPresenze& dtm, int id);
// True while the company has no employee at all.
bool Vuoto(TdtmPresenze& dtm);

}  // namespace ElencoDipendenti
