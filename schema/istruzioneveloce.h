#pragma once
// A write statement run many times in a row with its values given by position: the hot
// inserts and updates of imports, acquisition and processing. On SQLite it runs through the
// engine's own interface on the same connection (and so inside the same transaction),
// binding each value straight into the statement: the generic layer looks every value up by
// a generated name and builds an error object per run, which costs more than the write. On a
// server it is a prepared statement of the generic layer.
//
// Each placeholder of `sql` (":name") appears once; positions count from 0 in the order the
// placeholders appear. A value that is not bound again keeps its last value.

#include "database.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

struct sqlite3_stmt;

class IstruzioneVeloce {
public:
    IstruzioneVeloce(const Database& db, const QString& sql);
    ~IstruzioneVeloce();
    IstruzioneVeloce(const IstruzioneVeloce&) = delete;
    IstruzioneVeloce& operator=(const IstruzioneVeloce&) = delete;

    void lega(int posizione, qint64 valore);
    // An empty text binds NULL, as everywhere (Sql::testo).
    void lega(int posizione, const QString& valore);
    // The same text given as UTF-8 bytes that the caller keeps alive and unchanged until it
    // binds the position again: the statement reads them where they are, so a text rebuilt
    // for every run in one buffer costs no conversion and no allocation.
    void legaUtf8(int posizione, QByteArrayView valore);
    void legaNull(int posizione);

    // Throws ErroreDb on failure.
    void esegui();
    // As esegui, but a statement refused by a constraint returns false and leaves the open
    // transaction usable.
    bool eseguiSalvoVincoli();
    // Rows written by the last run.
    int righeToccate() const { return m_righe; }

private:
    bool passo(bool salvoVincoli);

    const Database& m_db;
    QString m_sql;
    sqlite3_stmt* m_stmt = nullptr;  // SQLite
    QSqlQuery m_query;               // server
    // The texts bound, in the engine's own encoding, alive until bound again: the statement
    // reads them where they are instead of converting and copying each one.
    QList<QByteArray> m_testi;
    int m_righe = 0;
};
