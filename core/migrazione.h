#pragma once
// Moving a company's production database to the other engine (the migra command): every
// production table declared in schema/ is copied as it is, in one transaction on the target,
// and the rows of each table are counted again on both sides before the commit. The work
// tables of the workstations are not copied: each run rebuilds them.

#include "database.h"

#include <QString>

#include <stdexcept>

class Avanzamento;

namespace Migrazione {

// The copy was refused or undone and the target keeps what it held: the numbered message
// (Msg::) and its detail (the database, the table).
class Errore : public std::runtime_error {
public:
    Errore(int numero, const QString& dettaglio) : std::runtime_error(dettaglio.toStdString()), m_numero(numero), m_dettaglio(dettaglio) {}
    int numero() const { return m_numero; }
    QString dettaglio() const { return m_dettaglio; }

private:
    int m_numero;
    QString m_dettaglio;
};

struct Esito {
    int tabelle = 0;
    qint64 righe = 0;
};

// Copies the production tables of `origine` into `destinazione`. The source must be a complete
// database of this release; it is only read, inside a write transaction of its own so that no
// copy of the application changes it meanwhile. The target is created when missing (a new
// SQLite file; on a server the database must exist, its tables are created); a target holding
// any row is refused unless `sostituisci`, which empties its tables in the same transaction.
// One phase of `avanzamento`, titled `titolo`, counts the rows; it is never asked to stop, since
// half a copy is no copy. Throws Errore, or ErroreDb from the engines; a SQLite file this call
// created is removed again on failure.
Esito Copia(const Connessione& origine, const Connessione& destinazione, bool sostituisci, Avanzamento& avanzamento,
            const QString& titolo);

}  // namespace Migrazione
