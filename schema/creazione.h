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

// Schema version recorded in the production database; 0 when it records none.
int versioneSchema(const Database& db);
// Tables of the upgrade steps after `versione` ("Tabella"): what an older database lacks
// by design and its upgrade adds.
QStringList tabelleDegliAggiornamenti(int versione);
// Brings an older production database to Schema::kVersione. A copy of it is kept beside it
// first (Database::copiaProduzione, never replacing an earlier copy); then every step runs in
// one transaction, which re-reads the version under the write lock, so a copy of the
// application upgrading at the same moment is waited for and not repeated. Returns the
// copy's name; empty when the database needed nothing. Throws ErroreDb, leaving the database
// as it was.
QString aggiorna(Database& db);

// Runs a dump of the production database as SQLite writes it (tests/schema/versioni keeps one
// per released schema version) on the open database, whatever its engine: the dump's own
// date-time type and check become the engine's. Throws ErroreDb.
void eseguiDump(Database& db, const QString& dump);

// Tables or fields of the declaration missing in the open databases ("Tabella" or
// "Tabella.Campo"); empty when the databases are complete.
QStringList mancanti(const Database& db);

}  // namespace Creazione
