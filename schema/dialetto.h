#pragma once
// What differs between database engines lives here: value formats, type names,
// cross-database table names, date functions. The rest of the code writes one SQL.

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>

namespace Sql {

// Date-times are stored as text "YYYY-MM-DD HH:MM:SS" (a date alone at midnight), so that
// text comparisons order them correctly. They must always be bound through these helpers:
// a QDateTime bound as it is would be stored in another layout.
QString testoDataOra(const QDateTime& dt);
QString testoData(const QDate& d);
QString testoDataMinuti(const QDate& d, int minuti);  // d + minuti (may pass midnight)
QVariant dataOra(const QDateTime& dt);  // null when invalid
QVariant data(const QDate& d);          // null when invalid
// An empty text is stored as NULL, as the original tables did: a required text field then
// refuses an empty entry as it refuses a missing one.
QVariant testo(const QString& s);

// Naive date-times (no time zone, no daylight saving): punch times are wall-clock values.
QDateTime leggiDataOra(const QVariant& v);
QDate leggiData(const QVariant& v);
// Fast parts of a stored date-time text; false when the text is not in the stored layout.
bool scomponi(const QString& testo, QDate* data, int* minutiDelGiorno);

}  // namespace Sql

// What differs between the two engines. SQLite (the default, one file per database, no
// server) keeps the work database in a second file attached to the connection; PostgreSQL
// (a server shared by several workstations) keeps the production tables in the schema
// "public" of one database and each workstation's work tables in a schema of its own in the
// same database. Either way one statement can name tables of both.
class Dialetto {
public:
    enum class Motore { SQLite, PostgreSQL };
    // The names PRES.INI uses for the engines ([Ambiente START] Motore).
    static QString nomeMotore(Motore m);
    // Case-insensitive; false when the text names no engine.
    static bool motoreDaNome(const QString& nome, Motore* motore);

    explicit Dialetto(Motore m = Motore::SQLite) : m_motore(m) {}
    Motore motore() const { return m_motore; }
    QString nomeMotore() const { return nomeMotore(m_motore); }
    // Whether a statement refused by a key spoils the transaction unless a savepoint surrounds
    // it, two more round trips to the server each time: a statement often refused is then
    // better written so that it changes nothing instead. SQLite undoes the refused statement
    // alone, at no cost.
    bool rifiutoCostoso() const { return m_motore != Motore::SQLite; }

    // Schema of the production tables, of the work tables and of this connection's
    // temporary tables.
    QString schemaProduzione() const;
    QString schemaLavoro() const { return m_schemaLavoro; }
    QString schemaPrivato() const;
    void setSchemaLavoro(const QString& schema);

    // Rewrites a statement written in the application's SQL into the engine's:
    //  ':dbPresenze:Tab' and ':dbPresUt:Tab' name a table of the other database;
    //  EXTRACT(HOUR|MINUTE FROM x) gives the hour or minute of a stored date-time;
    //  LIKE compares letters regardless of case, as SQLite does, on both engines;
    //  ORDER BY puts NULL before every value, as SQLite does, on both engines.
    // SELECT ALL is standard in both engines and passes through unchanged.
    QString traduci(const QString& sql) const;

    // The check that keeps a date-time in the one stored layout (the rest of the data
    // definition: ddl.h).
    QString vincoloDataOra(const QString& campo) const;

    // From now on ':dbPresUt:<tabella>' names the connection's temporary table of that name
    // (a plain name already finds it first); dimenticaPrivate() when the connection closes.
    void rendiPrivata(const QString& tabella);
    void dimenticaPrivate();

private:
    Motore m_motore;
    QString m_schemaLavoro = QStringLiteral("presut");
    QSet<QString> m_private;  // lower case
    mutable QHash<QString, QString> m_cache;
};
