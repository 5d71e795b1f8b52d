#include "istruzioneveloce.h"

#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

namespace {

sqlite3* maniglia(const QSqlDatabase& c)
{
    const QVariant v = c.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

}  // namespace

IstruzioneVeloce::IstruzioneVeloce(const Database& db, const QString& sql) : m_db(db)
{
    if (db.dialetto().motore() != Dialetto::Motore::SQLite) {
        m_query = db.prepara(sql);
        return;
    }
    if (!db.aperto())
        throw ErroreDb(QStringLiteral("Database non aperto"), sql);
    m_sql = db.dialetto().traduci(sql);
    sqlite3* h = maniglia(db.connessione());
    if (!h)
        throw ErroreDb(QStringLiteral("Connessione SQLite non disponibile"), m_sql);
    const QByteArray testo = m_sql.toUtf8();
    if (sqlite3_prepare_v3(h, testo.constData(), int(testo.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK) {
        const QString errore = QString::fromUtf8(sqlite3_errmsg(h));
        const int codice = sqlite3_extended_errcode(h);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw m_db.errore(QSqlError(errore, errore, QSqlError::StatementError, QString::number(codice)), m_sql);
    }
}

IstruzioneVeloce::~IstruzioneVeloce()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

void IstruzioneVeloce::lega(int posizione, qint64 valore)
{
    if (m_stmt)
        sqlite3_bind_int64(m_stmt, posizione + 1, valore);
    else
        m_query.bindValue(posizione, valore);
}

void IstruzioneVeloce::lega(int posizione, const QString& valore)
{
    if (!m_stmt)
        m_query.bindValue(posizione, Sql::testo(valore));
    else if (valore.isEmpty())
        sqlite3_bind_null(m_stmt, posizione + 1);
    else {
        if (m_testi.size() <= posizione)
            m_testi.resize(posizione + 1);
        QByteArray& testo = m_testi[posizione];
        testo = valore.toUtf8();
        sqlite3_bind_text(m_stmt, posizione + 1, testo.constData(), int(testo.size()), SQLITE_STATIC);
    }
}

void IstruzioneVeloce::legaUtf8(int posizione, QByteArrayView valore)
{
    if (!m_stmt)
        m_query.bindValue(posizione, Sql::testo(QString::fromUtf8(valore)));
    else if (valore.isEmpty())
        sqlite3_bind_null(m_stmt, posizione + 1);
    else
        sqlite3_bind_text(m_stmt, posizione + 1, valore.data(), int(valore.size()), SQLITE_STATIC);
}

void IstruzioneVeloce::legaNull(int posizione)
{
    if (m_stmt)
        sqlite3_bind_null(m_stmt, posizione + 1);
    else
        m_query.bindValue(posizione, QVariant());
}

bool IstruzioneVeloce::passo(bool salvoVincoli)
{
    if (!m_stmt) {
        if (!salvoVincoli) {
            Database::esegui(m_query);
            m_righe = m_query.numRowsAffected();
            return true;
        }
        const bool fatto = Database::eseguiSalvoVincoli(m_query);
        m_righe = fatto ? m_query.numRowsAffected() : 0;
        return fatto;
    }
    const int esito = sqlite3_step(m_stmt);
    sqlite3* h = sqlite3_db_handle(m_stmt);
    if (esito == SQLITE_DONE || esito == SQLITE_ROW) {
        m_righe = sqlite3_changes(h);
        sqlite3_reset(m_stmt);
        return true;
    }
    // The statement's own error, read before the reset clears it.
    const int codice = sqlite3_extended_errcode(h);
    const QString testo = QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_reset(m_stmt);
    m_righe = 0;
    const ErroreDb e = m_db.errore(QSqlError(testo, testo, QSqlError::StatementError, QString::number(codice)), m_sql);
    // SQLite undoes only the refused statement, so the transaction stays usable.
    if (salvoVincoli && e.violazioneVincolo())
        return false;
    throw e;
}

void IstruzioneVeloce::esegui()
{
    passo(false);
}

bool IstruzioneVeloce::eseguiSalvoVincoli()
{
    return passo(true);
}
