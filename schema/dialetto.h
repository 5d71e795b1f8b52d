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

class Dialetto {
public:
    enum class Motore { SQLite, PostgreSQL };
    // Schema name under which the work database is attached to the production connection.
    static constexpr const char* kSchemaLavoro = "presut";

    explicit Dialetto(Motore m = Motore::SQLite) : m_motore(m) {}
    Motore motore() const { return m_motore; }

    // Rewrites a statement written in the application's SQL into the engine's:
    //  ':dbPresenze:Tab' and ':dbPresUt:Tab' name a table of the other database;
    //  EXTRACT(HOUR|MINUTE FROM x) gives the hour or minute of a stored date-time.
    // SELECT ALL is standard in both engines and passes through unchanged.
    QString traduci(const QString& sql) const;
    // Hidden identifier of a row, for tables that have no key of their own.
    QString idRiga() const { return m_motore == Motore::SQLite ? QStringLiteral("rowid") : QStringLiteral("ctid"); }

    // Schema of the connection's temporary tables.
    QString schemaPrivato() const { return m_motore == Motore::SQLite ? QStringLiteral("temp") : QStringLiteral("pg_temp"); }
    // From now on ':dbPresUt:<tabella>' names the connection's temporary table of that name
    // (a plain name already finds it first); dimenticaPrivate() when the connection closes.
    void rendiPrivata(const QString& tabella);
    void dimenticaPrivate();

private:
    Motore m_motore;
    QSet<QString> m_private;  // lower case
    mutable QHash<QString, QString> m_cache;
};
