#pragma once
// The safety copy of a company's data before destructive work (the copia and ripristina
// commands, the deletion window, the Utilità menu): a folder holding the production database
// as an SQLite file DBPresenze.db, the work database DBPresUt.db when it is a file, and
// COPIA.INI, written last, which makes the folder a copy of ours.
//
// On SQLite the files are written by the engine from one read snapshot each while other copies
// of the application go on working; on a server the production tables are copied into the file
// by Migrazione::Copia, inside one transaction that holds the writers back (the work schema is
// each workstation's scratch and is rebuilt by each run, as after migra). A restore puts the
// production tables back, on either engine, through the same copy with its row counts.

#include "migrazione.h"

#include <QString>

class Avanzamento;
class TdtmPresenze;

namespace CopiaSicurezza {

inline constexpr const char* kSegno = "COPIA.INI";
inline constexpr const char* kProduzione = "DBPresenze.db";
inline constexpr const char* kLavoro = "DBPresUt.db";

// Writes the copy of dtm's open databases into `cartella`, which must be new or empty. One phase
// of `avanzamento` titled `titolo`. Throws Migrazione::Errore (Msg::ErrCartellaCopia, or
// Msg::ErrCopia with the file's text) or ErroreDb; a failed copy leaves no COPIA.INI and none of
// the files it wrote.
void Salva(TdtmPresenze& dtm, const QString& cartella, Avanzamento& avanzamento, const QString& titolo);

// Replaces every production table of the database dtm's configuration names (read, not opened)
// with the copy in `copia` (its folder or its COPIA.INI). Refuses, before touching anything, a
// copy that is not ours or of another schema version (Msg::ErrNonCopia) and a database another
// process has open (Msg::ErrDbInUso). Throws Migrazione::Errore or ErroreDb.
Migrazione::Esito Ripristina(TdtmPresenze& dtm, const QString& copia, Avanzamento& avanzamento, const QString& titolo);

}  // namespace CopiaSicurezza
