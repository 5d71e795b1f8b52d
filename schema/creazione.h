#pragma once
// Creates or completes the tables of both databases from their declaration, and loads the
// reference data delivered with the database. Running it twice never duplicates or loses
// rows: existing tables gain missing fields and indexes, reference rows are only added.

#include <QString>

class Database;

namespace Creazione {

// Release of the database, as shown by the About box.
QString releaseDatabase();

void creaTabelle(Database& db);           // both databases (the work one when attached)
void caricaRiferimento(Database& db);     // reference rows of the production database
void creaTutto(Database& db);             // both steps in one transaction

// Makes the named work tables private to this connection: an empty temporary table of the
// same declaration takes each name's place for every statement of this connection, so copies
// of the application running side by side never see each other's rows. Throws ErroreDb.
void rendiPrivate(Database& db, const QStringList& tabelle);

// Tables or fields of the declaration missing in the open databases ("Tabella" or
// "Tabella.Campo"); empty when the databases are complete.
QStringList mancanti(const Database& db);

}  // namespace Creazione
