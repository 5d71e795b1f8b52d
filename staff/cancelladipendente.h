#pragma once
// The one deletion of an employee with everything that refers to him, shared by the employee
// register and the data deletion: his profiles, his badges (each withdrawn code logged in
// AnagMod), corrections, justifications, work plans with their recorded anomalies, punches,
// pay items, shift causes, access reports, and last the register row itself.
//
//   RegistroBadge::Attendi(dtm, pausa);     // before the transaction: the log can be reached
//   Transazione t(dtm.db(), Durata::Piena); // punches go with him: wait for the disk
//   CancellaDipendente(dtm, id);            // as many employees as the caller wants
//   t.conferma();
//
// It runs inside the caller's transaction, so that a caller deleting many employees decides
// whether they go one by one or all together; any failure throws (ErroreDb, or
// ErroreRegistroBadge for the log) and the caller's rollback leaves everything as it was.

class TdtmPresenze;

// Returns false when there was no such employee (then nothing was there to delete or log).
// Throws std::logic_error when no transaction is open.
bool CancellaDipendente(TdtmPresenze& dtm, int id);
