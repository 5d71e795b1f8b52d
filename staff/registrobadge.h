#pragma once
// The badge change log AnagMod, appended to for the systems downstream and never read here:
// an entry "1" when a code is assigned to an employee, an entry "0" when it is withdrawn.
//
// Another program may hold the log table. Before the transaction that writes entries, the
// writer waits for it (Attendi: up to ten tries with a pause after each failed one); inside
// the transaction an entry that cannot be appended throws ErroreRegistroBadge, so the caller
// rolls everything back and shows its own message (Msg::ErrRegistroBadge).

#include "database.h"

class TdtmPresenze;

class ErroreRegistroBadge : public ErroreDb {
public:
    using ErroreDb::ErroreDb;
};

namespace RegistroBadge {

enum Operazione { Ritirato = 0, Assegnato = 1 };
constexpr int kTentativi = 10;
// The client number every entry of this system carries.
constexpr int kNumClient = 100;

// True once the log table can be read; false after kTentativi failed tries, `pausaMs` apart.
// Call it outside any transaction.
bool Attendi(TdtmPresenze& dtm, int pausaMs);
// Appends one entry with the next id of the log, inside the caller's transaction.
void Scrivi(TdtmPresenze& dtm, Operazione op, const QString& codice);

}  // namespace RegistroBadge
