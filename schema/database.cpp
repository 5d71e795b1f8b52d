#include "database.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>

ErroreDb::ErroreDb(const QString& testo, const QString& istruzione, bool violazioneChiave)
    : std::runtime_error(testo.toStdString()), m_testo(testo), m_istruzione(istruzione), m_vincolo(violazioneChiave)
{
}

namespace {
QAtomicInt g_contatore;

// SQLite reports every constraint failure with primary code 19 (extended codes keep it
// in their low byte).
bool eVincolo(const QSqlError& e)
{
    bool ok = false;
    const int codice = e.nativeErrorCode().toInt(&ok);
    return ok && (codice & 0xff) == 19;
}

QString testoErrore(const QSqlError& e)
{
    QString t = e.databaseText();
    if (t.isEmpty())
        t = e.text();
    if (!e.driverText().isEmpty() && !t.contains(e.driverText()) && e.databaseText().isEmpty())
        t = e.driverText() + QLatin1Char(' ') + t;
    return t.trimmed();
}
}  // namespace

Database::Database(Dialetto::Motore motore)
    : m_nome(QStringLiteral("quorlin_%1").arg(g_contatore.fetchAndAddRelaxed(1))), m_dialetto(motore)
{
}

Database::~Database()
{
    chiudi();
}

QSqlDatabase Database::connessione() const
{
    return QSqlDatabase::database(m_nome, false);
}

bool Database::aperto() const
{
    return QSqlDatabase::contains(m_nome) && connessione().isOpen();
}

void Database::apriProduzione(const QString& file, bool crea, const std::function<void()>& controllo)
{
    chiudi();
    const QFileInfo fi(file);
    if (!crea && !fi.exists())
        throw ErroreDb(QStringLiteral("%1: file non trovato").arg(QFileInfo(file).absoluteFilePath()));
    if (!fi.absoluteDir().exists())
        throw ErroreDb(QStringLiteral("%1: cartella non trovata").arg(fi.absolutePath()));
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nome);
        c.setDatabaseName(fi.absoluteFilePath());
        // Several copies of the application may share one file: wait for a lock rather
        // than failing at once.
        c.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!c.open()) {
            const QString t = testoErrore(c.lastError());
            c = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_nome);
            throw ErroreDb(QStringLiteral("%1: %2").arg(fi.absoluteFilePath(), t));
        }
    }
    m_fileProduzione = fi.absoluteFilePath();
    ++m_generazione;
    try {
        // Reading the schema fails at once on a file that is not a database.
        esegui(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const ErroreDb& e) {
        chiudi();
        throw ErroreDb(QStringLiteral("%1: %2").arg(fi.absoluteFilePath(), e.testo()));
    }
    if (controllo) {
        try {
            controllo();
        } catch (...) {
            chiudi();
            throw;
        }
    }
    try {
        // WAL lets readers and one writer work side by side across processes; commits do
        // not wait for the disk, salvaSuDisco() makes them durable when the user is idle,
        // and a transaction of Durata::Piena waits for it.
        esegui(QStringLiteral("PRAGMA journal_mode=WAL"));
        esegui(QStringLiteral("PRAGMA synchronous=NORMAL"));
    } catch (const ErroreDb& e) {
        chiudi();
        throw ErroreDb(QStringLiteral("%1: %2").arg(fi.absoluteFilePath(), e.testo()));
    }
}

void Database::apriLavoro(const QString& file)
{
    m_lavoroAperto = false;
    const QFileInfo fi(file);
    if (!fi.absoluteDir().exists())
        throw ErroreDb(QStringLiteral("%1: cartella non trovata").arg(fi.absolutePath()));
    m_fileLavoro = fi.absoluteFilePath();
    QSqlQuery q(connessione());
    q.prepare(QStringLiteral("ATTACH DATABASE :file AS ") + QLatin1String(Dialetto::kSchemaLavoro));
    q.bindValue(QStringLiteral(":file"), m_fileLavoro);
    if (!q.exec())
        throw ErroreDb(QStringLiteral("%1: %2").arg(m_fileLavoro, testoErrore(q.lastError())));
    try {
        esegui(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(QLatin1String(Dialetto::kSchemaLavoro)));
        esegui(QStringLiteral("PRAGMA %1.journal_mode=WAL").arg(QLatin1String(Dialetto::kSchemaLavoro)));
        // The work tables are scratch space rebuilt by every run: no need to wait for the disk.
        esegui(QStringLiteral("PRAGMA %1.synchronous=OFF").arg(QLatin1String(Dialetto::kSchemaLavoro)));
    } catch (const ErroreDb& e) {
        QSqlQuery d(connessione());
        d.exec(QStringLiteral("DETACH DATABASE ") + QLatin1String(Dialetto::kSchemaLavoro));
        throw ErroreDb(QStringLiteral("%1: %2").arg(m_fileLavoro, e.testo()));
    }
    m_lavoroAperto = true;
}

void Database::chiudi()
{
    if (!QSqlDatabase::contains(m_nome))
        return;
    {
        QSqlDatabase c = connessione();
        if (c.isOpen())
            annulla();
        for (auto& q : m_tr)
            q.reset();
        if (c.isOpen())
            c.close();
    }
    QSqlDatabase::removeDatabase(m_nome);
    m_transazione = false;
    m_lavoroAperto = false;
    m_dialetto.dimenticaPrivate();  // temporary tables end with their connection
}

QSqlQuery Database::prepara(const QString& sql) const
{
    if (!aperto())
        throw ErroreDb(QStringLiteral("Database non aperto"), sql);
    QSqlQuery q(connessione());
    q.setForwardOnly(true);
    const QString tradotta = m_dialetto.traduci(sql);
    if (!q.prepare(tradotta))
        throw ErroreDb(testoErrore(q.lastError()), tradotta);
    return q;
}

void Database::esegui(QSqlQuery& q)
{
    if (!q.exec())
        throw ErroreDb(testoErrore(q.lastError()), q.lastQuery(), eVincolo(q.lastError()));
}

bool Database::eseguiSalvoVincoli(QSqlQuery& q)
{
    if (q.exec())
        return true;
    if (eVincolo(q.lastError()))
        return false;
    throw ErroreDb(testoErrore(q.lastError()), q.lastQuery());
}

QSqlQuery Database::esegui(const QString& sql, Parametri parametri) const
{
    QSqlQuery q = prepara(sql);
    for (const auto& [nome, valore] : parametri)
        q.bindValue(QLatin1Char(':') + QLatin1String(nome), valore);
    esegui(q);
    return q;
}

QVariant Database::valore(const QString& sql, Parametri parametri) const
{
    QSqlQuery q = esegui(sql, parametri);
    return q.next() ? q.value(0) : QVariant();
}

bool Database::esisteRiga(const QString& sql, Parametri parametri) const
{
    QSqlQuery q = esegui(sql, parametri);
    return q.next();
}

void Database::istruzioneTransazione(int quale, const char* sql)
{
    if (!m_tr[quale]) {
        m_tr[quale] = std::make_unique<QSqlQuery>(connessione());
        if (!m_tr[quale]->prepare(QString::fromLatin1(sql))) {
            const QString t = testoErrore(m_tr[quale]->lastError());
            m_tr[quale].reset();
            throw ErroreDb(t, QString::fromLatin1(sql));
        }
    }
    if (!m_tr[quale]->exec())
        throw ErroreDb(testoErrore(m_tr[quale]->lastError()), QString::fromLatin1(sql));
}

void Database::inizia(Durata durata)
{
    if (!aperto())
        throw ErroreDb(QStringLiteral("Database non aperto"));
    if (m_transazione)
        throw ErroreDb(QStringLiteral("Transazione già aperta"));
    // The engine takes the sync level only outside a transaction; it holds until the
    // transaction ends. A full sync of every engine day would cost the processing several
    // times its time, so only the transactions that ask for it wait for the disk.
    if (durata == Durata::Piena && m_dialetto.motore() == Dialetto::Motore::SQLite) {
        esegui(QStringLiteral("PRAGMA main.synchronous=FULL"));
        m_durataPiena = true;
    }
    try {
        istruzioneTransazione(0, m_dialetto.motore() == Dialetto::Motore::SQLite ? "BEGIN IMMEDIATE" : "BEGIN");
    } catch (const ErroreDb&) {
        durataNormale();
        throw;
    }
    m_transazione = true;
}

void Database::conferma()
{
    try {
        istruzioneTransazione(1, "COMMIT");
    } catch (const ErroreDb&) {
        annulla();
        throw;
    }
    m_transazione = false;
    durataNormale();
}

void Database::annulla() noexcept
{
    if (!m_transazione)
        return;
    m_transazione = false;
    if (QSqlDatabase::contains(m_nome)) {
        try {
            istruzioneTransazione(2, "ROLLBACK");
        } catch (const ErroreDb&) {
            // Nothing left to undo: the engine already ended the transaction.
        }
    }
    durataNormale();
}

void Database::durataNormale() noexcept
{
    if (!m_durataPiena)
        return;
    m_durataPiena = false;
    if (aperto()) {
        QSqlQuery q(connessione());
        q.exec(QStringLiteral("PRAGMA main.synchronous=NORMAL"));
    }
}

void Database::salvaSuDisco()
{
    if (!aperto() || m_transazione)
        return;
    QSqlQuery q(connessione());
    // A checkpoint first syncs the log, so every committed change is then on disk.
    q.exec(QStringLiteral("PRAGMA main.wal_checkpoint(PASSIVE)"));
}

QString Database::controllaIntegrita() const
{
    QSqlQuery q = esegui(QStringLiteral("PRAGMA main.integrity_check"));
    QStringList righe;
    while (q.next())
        righe << q.value(0).toString();
    return righe == QStringList{QStringLiteral("ok")} ? QString() : righe.join(QLatin1Char('\n'));
}

void Database::copiaProduzione(const QString& file) const
{
    // A snapshot read in one read transaction: writers of other copies go on meanwhile, and
    // what is still in the write-ahead log is part of the copy.
    esegui(QStringLiteral("VACUUM main INTO :file"), {{"file", file}});
}

QStringList Database::tabelleEsistenti(bool lavoro) const
{
    QStringList l;
    if (lavoro && !m_lavoroAperto)
        return l;
    QSqlQuery q = esegui(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type='table'")
                             .arg(lavoro ? QLatin1String(Dialetto::kSchemaLavoro) : QLatin1String("main")));
    while (q.next())
        l << q.value(0).toString();
    return l;
}
