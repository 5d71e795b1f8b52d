#pragma once
// The login check: users and the applications they may use are rows of UTENTI and
// APPLICATIVI in the production database, read only.

#include <QString>

class Database;

namespace Login {

// A login is asked only when some user is registered for application 1.
bool Necessario(Database& db);
// Id of the application whose name matches nomeProg ignoring case; 0 when none does.
int IdApplicativo(Database& db, const QString& nomeProg);
// User name and password must match exactly, letter case included.
bool Verifica(Database& db, const QString& nomeProg, const QString& utente, const QString& password);

}  // namespace Login
