#pragma once
// Data definition in the engine's words, for the tables declared in tabelle.h: the type of a
// field, its whole definition, the creation of an index. Nothing else spells them.

#include "dialetto.h"
#include "tabelle.h"

namespace Ddl {

QString tipo(const Dialetto& d, const Campo& c);
// With its constraints; `perAggiunta` for ALTER TABLE ADD COLUMN on a table that has rows.
QString definizioneCampo(const Dialetto& d, const Campo& c, bool perAggiunta = false);
QString creaIndice(const Dialetto& d, const QString& schema, const QString& tabella, const Indice& i);

// A rule of the database that refuses the rows of `evento` ("INSERT", "UPDATE" or "DELETE") on
// `tabella` for which `condizione` holds (written on the NEW or OLD row; empty: every row), with
// `messaggio` as the engine's text: what a full disk or a broken server does to a write, made
// on purpose. For the tests, which run each statement; nothing of the application uses it.
QStringList creaRifiuto(const Dialetto& d, const QString& nome, const QString& tabella, const QString& evento,
                        const QString& condizione, const QString& messaggio);
QStringList eliminaRifiuto(const Dialetto& d, const QString& nome, const QString& tabella);

}  // namespace Ddl
