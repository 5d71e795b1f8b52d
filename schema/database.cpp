#include "database.h"

#include "istruzioneveloce.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSysInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

ErroreDb::ErroreDb(const QString& testo, const QString& istruzione, Tipo tipo)
    : std::runtime_error(testo.toStdString()), m_testo(testo), m_istruzione(istruzione), m_tipo(tipo)
{
}

namespace {
QAtomicInt g_contatore;
// Open connections by their driver, so that a statement finds the Database it belongs to.
QHash<const QSqlDriver*, Database*> g_aperti;

// Write transactions of every copy take turns on this key of the server's advisory locks,
// as SQLite's BEGIN IMMEDIATE makes them take turns on the file.
constexpr qint64 kBloccoScritture = 0x51756f726c696e;

QString testoErrore(const QSqlError& e)
{
    QString t = e.databaseText();
    if (t.isEmpty())
        t = e.text();
    if (!e.driverText().isEmpty() && !t.contains(e.driverText()) && e.databaseText().isEmpty())
        t = e.driverText() + QLatin1Char(' ') + t;
    // The server's text: "ERROR:  what\nDETAIL: ...\n(SQLSTATE)": what and its detail.
    static const QRegularExpression prefisso(QStringLiteral("^(ERROR|FATAL|ERRORE):\\s+"));
    static const QRegularExpression codice(QStringLiteral("\\s*\\([0-9A-Z]{5}\\)\\s*$"));
    t.remove(prefisso).remove(codice);
    return t.replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

// Statements the server prepares; anything else (data definition, settings) runs as it is.
bool preparabile(const QString& sql)
{
    static const QRegularExpression dml(QStringLiteral("^\\s*(SELECT|INSERT|UPDATE|DELETE|WITH|VALUES)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return dml.match(sql).hasMatch();
}

QString virgolette(const QString& identificatore)
{
    return QLatin1Char('"') + identificatore + QLatin1Char('"');
}
}  // namespace

// ---------------------------------------------------------------------------------------
// Connessione

Connessione Connessione::sqlite(const QString& file)
{
    Connessione c;
    c.file = file;
    return c;
}

Connessione Connessione::completata() const
{
    Connessione c = *this;
    if (c.motore != Dialetto::Motore::PostgreSQL)
        return c;
    const auto ambiente = [](QString& chiave, const char* variabile) {
        if (chiave.trimmed().isEmpty())
            chiave = qEnvironmentVariable(variabile).trimmed();
    };
    ambiente(c.host, "PGHOST");
    ambiente(c.database, "PGDATABASE");
    ambiente(c.utente, "PGUSER");
    if (c.porta <= 0)
        c.porta = qEnvironmentVariableIntValue("PGPORT");
    return c;
}

QString Connessione::descrizione() const
{
    if (motore == Dialetto::Motore::SQLite)
        return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(utente, host.isEmpty() ? QStringLiteral("localhost") : host, QString::number(porta > 0 ? porta : 5432), database);
}

QString Connessione::schemaLavoroPredefinito()
{
    QString s = QStringLiteral("presut_") + QSysInfo::machineHostName().toLower();
    for (QChar& c : s)
        if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))))
            c = QLatin1Char('_');
    return s.left(63);
}

bool Connessione::nomeValido(const QString& nome)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return re.match(nome).hasMatch();
}

// ---------------------------------------------------------------------------------------
// Opening and closing

Database::Database() : m_nome(QStringLiteral("quorlin_%1").arg(g_contatore.fetchAndAddRelaxed(1))) {}

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

Database* Database::di(const QSqlQuery& q)
{
    return g_aperti.value(q.driver(), nullptr);
}

void Database::apri(const Connessione& c, bool crea, const std::function<void()>& controllo)
{
    chiudi();
    m_connessione = c.completata();
    m_dialetto = Dialetto(c.motore);
    if (sqlite()) {
        const QFileInfo fi(c.file);
        if (!crea && !fi.exists())
            throw ErroreDb(QStringLiteral("%1: file non trovato").arg(fi.absoluteFilePath()));
        if (!fi.absoluteDir().exists())
            throw ErroreDb(QStringLiteral("%1: cartella non trovata").arg(fi.absolutePath()));
        m_connessione.file = fi.absoluteFilePath();
        apriSqlite(fi);
    } else {
        apriServer();
    }
    ++m_generazione;
    g_aperti.insert(connessione().driver(), this);
    const QString dove = descrizione();
    try {
        // Reading the schema fails at once on a file that is not a database.
        tabelleEsistenti(false);
    } catch (const ErroreDb& e) {
        chiudi();
        throw ErroreDb(QStringLiteral("%1: %2").arg(dove, e.testo()), {}, e.tipo());
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
        if (sqlite()) {
            // WAL lets readers and one writer work side by side across processes; commits do
            // not wait for the disk, salvaSuDisco() makes them durable when the user is idle,
            // and a transaction of Durata::Piena waits for it.
            eseguiDiretta(QStringLiteral("PRAGMA journal_mode=WAL"));
            eseguiDiretta(QStringLiteral("PRAGMA synchronous=NORMAL"));
            // Punches and days are keyed by employee first, so a run over many employees
            // writes all over the index: a cache that holds it saves re-reading spilled pages.
            eseguiDiretta(QStringLiteral("PRAGMA cache_size=-65536"));
        } else {
            // The same on a server: a commit returns before its log reaches the disk, which
            // the server does within a fraction of a second; Durata::Piena waits for it.
            eseguiDiretta(QStringLiteral("SET synchronous_commit TO off"));
        }
    } catch (const ErroreDb& e) {
        chiudi();
        throw ErroreDb(QStringLiteral("%1: %2").arg(dove, e.testo()), {}, e.tipo());
    }
}

void Database::apriSqlite(const QFileInfo& fi)
{
    // The engine's temporary files go to the folder of this copy of the application.
    if (!m_cartellaTemporanea.isEmpty())
        qputenv("SQLITE_TMPDIR", QFile::encodeName(m_cartellaTemporanea));
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

void Database::apriServer()
{
    const Connessione& k = m_connessione;
    if (!k.database.isEmpty() && !Connessione::nomeValido(k.database))
        throw ErroreDb(QStringLiteral("%1: nome del database non valido").arg(k.descrizione()));
    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_nome);
    if (!c.isValid()) {
        c = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nome);
        throw ErroreDb(QStringLiteral("%1: driver PostgreSQL non disponibile").arg(k.descrizione()));
    }
    c.setHostName(k.host);
    if (k.porta > 0)
        c.setPort(k.porta);
    c.setDatabaseName(k.database);
    c.setUserName(k.utente);
    // A server that does not answer is reported in seconds, not after the system's minutes.
    c.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=quorlin"));
    if (!c.open()) {
        const QString t = testoErrore(c.lastError());
        c = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nome);
        throw ErroreDb(QStringLiteral("%1: %2").arg(k.descrizione(), t), {}, ErroreDb::Tipo::ConnessionePersa);
    }
    QSqlQuery q(c);
    // Plain names find the production tables; the work schema joins the path when opened.
    // Temporary tables come first, as they do on SQLite. The server's notices ("already
    // exists, skipping") are not for the user.
    if (!q.exec(QStringLiteral("SET search_path TO public")) || !q.exec(QStringLiteral("SET client_min_messages TO warning")))
        throw ErroreDb(testoErrore(q.lastError()));
}

void Database::apriLavoro(const QString& fileOSchema)
{
    m_lavoroAperto = false;
    if (!sqlite()) {
        m_luogoLavoro = fileOSchema.toLower();
        if (!Connessione::nomeValido(m_luogoLavoro))
            throw ErroreDb(QStringLiteral("%1: nome di schema non valido").arg(fileOSchema));
        m_dialetto.setSchemaLavoro(m_luogoLavoro);
        try {
            eseguiDiretta(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(m_luogoLavoro));
            eseguiDiretta(QStringLiteral("SET search_path TO public, %1").arg(m_luogoLavoro));
        } catch (const ErroreDb& e) {
            throw ErroreDb(QStringLiteral("%1 (%2): %3").arg(descrizione(), m_luogoLavoro, e.testo()), {}, e.tipo());
        }
        m_lavoroAperto = true;
        return;
    }
    const QFileInfo fi(fileOSchema);
    if (!fi.absoluteDir().exists())
        throw ErroreDb(QStringLiteral("%1: cartella non trovata").arg(fi.absolutePath()));
    m_luogoLavoro = fi.absoluteFilePath();
    const QString schema = m_dialetto.schemaLavoro();
    QSqlQuery q(connessione());
    q.prepare(QStringLiteral("ATTACH DATABASE :file AS ") + schema);
    q.bindValue(QStringLiteral(":file"), m_luogoLavoro);
    if (!q.exec())
        throw ErroreDb(QStringLiteral("%1: %2").arg(m_luogoLavoro, testoErrore(q.lastError())));
    try {
        eseguiDiretta(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schema));
        eseguiDiretta(QStringLiteral("PRAGMA %1.journal_mode=WAL").arg(schema));
        // The work tables are scratch space rebuilt by every run: no need to wait for the disk.
        eseguiDiretta(QStringLiteral("PRAGMA %1.synchronous=OFF").arg(schema));
    } catch (const ErroreDb& e) {
        QSqlQuery d(connessione());
        d.exec(QStringLiteral("DETACH DATABASE ") + schema);
        throw ErroreDb(QStringLiteral("%1: %2").arg(m_luogoLavoro, e.testo()));
    }
    m_lavoroAperto = true;
}

QString Database::descrizioneLavoro() const
{
    if (sqlite())
        return QDir::toNativeSeparators(m_luogoLavoro);
    return QStringLiteral("%1 (schema %2)").arg(descrizione(), m_luogoLavoro);
}

void Database::chiudi()
{
    if (!QSqlDatabase::contains(m_nome))
        return;
    {
        QSqlDatabase c = connessione();
        g_aperti.remove(c.driver());
        if (c.isOpen())
            annulla();
        for (auto& q : m_tr)
            q.reset();
        for (auto& q : m_punto)
            q.reset();
        if (c.isOpen())
            c.close();
    }
    QSqlDatabase::removeDatabase(m_nome);
    m_transazione = false;
    m_durataPiena = false;
    m_lavoroAperto = false;
    m_dialetto.dimenticaPrivate();  // temporary tables end with their connection
}

// ---------------------------------------------------------------------------------------
// Statements

ErroreDb Database::errore(const QSqlError& e, const QString& istruzione) const
{
    ErroreDb::Tipo tipo = ErroreDb::Tipo::Altro;
    const QString codice = e.nativeErrorCode();
    if (sqlite()) {
        // SQLite reports every constraint failure with primary code 19 (extended codes keep
        // it in their low byte). A trigger's refusal (19 | 7 << 8) is a rule of the database,
        // not a duplicate or a missing value: it stays a plain refusal, as on PostgreSQL.
        bool ok = false;
        const int n = codice.toInt(&ok);
        if (ok && (n & 0xff) == 19 && n != (19 | 7 << 8))
            tipo = ErroreDb::Tipo::Vincolo;
    } else if (codice.startsWith(QLatin1String("23")) || codice == QLatin1String("22001") || codice == QLatin1String("22003")) {
        // SQLSTATE class 23 (integrity constraint violation), a text longer than its field or
        // a number beyond its type: the table refused the value.
        tipo = ErroreDb::Tipo::Vincolo;
    } else if (codice.startsWith(QLatin1String("08")) || codice.startsWith(QLatin1String("57P0")) || !connessione().isOpen()) {
        // Class 08 (connection exception), the server shutting down or killing the session,
        // or a connection the driver already found dead.
        tipo = ErroreDb::Tipo::ConnessionePersa;
    }
    return ErroreDb(testoErrore(e), istruzione, tipo);
}

void Database::eseguiDiretta(const QString& sql) const
{
    QSqlQuery q(connessione());
    if (!q.exec(sql))
        throw errore(q.lastError(), sql);
}

QSqlQuery Database::prepara(const QString& sql) const
{
    if (!aperto())
        throw ErroreDb(QStringLiteral("Database non aperto"), sql);
    QSqlQuery q(connessione());
    // The server's driver reads a forward-only result row by row, and a second statement on
    // the connection silently drops the rows still unread: a loop that queries inside its
    // own loop would stop early. There the whole result is read at once.
    q.setForwardOnly(sqlite());
    const QString tradotta = m_dialetto.traduci(sql);
    if (!sqlite() && !preparabile(tradotta))
        throw ErroreDb(QStringLiteral("Istruzione che il server non prepara: usare esegui()"), tradotta);
    if (!q.prepare(tradotta))
        throw errore(q.lastError(), tradotta);
    return q;
}

void Database::esegui(QSqlQuery& q)
{
    if (q.exec())
        return;
    const Database* db = di(q);
    if (!db)
        throw ErroreDb(testoErrore(q.lastError()), q.lastQuery());
    throw db->errore(q.lastError(), q.lastQuery());
}

bool Database::eseguiSalvoVincoli(QSqlQuery& q)
{
    Database* db = di(q);
    // On the server a refused statement spoils the whole transaction: a savepoint keeps
    // what came before it, as SQLite does by itself.
    const bool punto = db && !db->sqlite() && db->m_transazione;
    if (punto)
        db->eseguiDiretta(QStringLiteral("SAVEPOINT salvo_vincoli"));
    if (q.exec()) {
        if (punto)
            db->eseguiDiretta(QStringLiteral("RELEASE SAVEPOINT salvo_vincoli"));
        return true;
    }
    const ErroreDb e = db ? db->errore(q.lastError(), q.lastQuery()) : ErroreDb(testoErrore(q.lastError()), q.lastQuery());
    if (punto && !e.connessionePersa())
        db->eseguiDiretta(QStringLiteral("ROLLBACK TO SAVEPOINT salvo_vincoli"));
    if (e.violazioneVincolo())
        return false;
    throw e;
}

QSqlQuery Database::esegui(const QString& sql, Parametri parametri) const
{
    if (!sqlite() && aperto()) {
        const QString tradotta = m_dialetto.traduci(sql);
        if (!preparabile(tradotta)) {
            // Data definition takes no values from anyone: it runs as it is.
            if (parametri.size() != 0)
                throw ErroreDb(QStringLiteral("Parametri in un'istruzione che il server non prepara"), tradotta);
            QSqlQuery q(connessione());
            if (!q.exec(tradotta))
                throw errore(q.lastError(), tradotta);
            return q;
        }
    }
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

// ---------------------------------------------------------------------------------------
// Transactions

void Database::istruzioneTransazione(int quale, const char* sql)
{
    if (!sqlite()) {
        eseguiDiretta(QString::fromLatin1(sql));
        return;
    }
    if (!m_tr[quale]) {
        m_tr[quale] = std::make_unique<QSqlQuery>(connessione());
        if (!m_tr[quale]->prepare(QString::fromLatin1(sql))) {
            const QString t = testoErrore(m_tr[quale]->lastError());
            m_tr[quale].reset();
            throw ErroreDb(t, QString::fromLatin1(sql));
        }
    }
    if (!m_tr[quale]->exec())
        throw errore(m_tr[quale]->lastError(), QString::fromLatin1(sql));
}

void Database::inizia(Durata durata)
{
    if (!aperto())
        throw ErroreDb(QStringLiteral("Database non aperto"));
    if (m_transazione)
        throw ErroreDb(QStringLiteral("Transazione già aperta"));
    if (sqlite()) {
        // The engine takes the sync level only outside a transaction; it holds until the
        // transaction ends. A full sync of every engine day would cost the processing several
        // times its time, so only the transactions that ask for it wait for the disk.
        if (durata == Durata::Piena) {
            // The work file too: a terminal's rejected transaction lives only in Terrtimb
            // once the terminal has been told it was received.
            eseguiDiretta(QStringLiteral("PRAGMA main.synchronous=FULL"));
            m_durataPiena = true;
            if (m_lavoroAperto)
                eseguiDiretta(QStringLiteral("PRAGMA %1.synchronous=FULL").arg(m_dialetto.schemaLavoro()));
        }
        try {
            // The write lock at once, not at the first write.
            istruzioneTransazione(0, "BEGIN IMMEDIATE");
        } catch (const ErroreDb&) {
            durataNormale();
            throw;
        }
        m_transazione = true;
        return;
    }
    istruzioneTransazione(0, "BEGIN");
    m_transazione = true;
    try {
        // Held until the transaction ends; a copy that holds it and loses its connection
        // releases it with the connection.
        eseguiDiretta(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kBloccoScritture));
        if (durata == Durata::Piena)
            eseguiDiretta(QStringLiteral("SET LOCAL synchronous_commit TO on"));
    } catch (const ErroreDb&) {
        annulla();
        throw;
    }
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
    if (QSqlDatabase::contains(m_nome) && connessione().isOpen()) {
        try {
            istruzioneTransazione(2, "ROLLBACK");
        } catch (const ErroreDb&) {
            // Nothing left to undo: the engine already ended the transaction.
        }
    }
    durataNormale();
}

void Database::istruzionePunto(int quale, const char* sql)
{
    if (!sqlite()) {
        eseguiDiretta(QString::fromLatin1(sql));
        return;
    }
    if (!m_punto[quale])
        m_punto[quale] = std::make_unique<IstruzioneVeloce>(*this, QString::fromLatin1(sql));
    m_punto[quale]->esegui();
}

void Database::segnaPunto()
{
    if (!m_transazione)
        throw ErroreDb(QStringLiteral("Punto di salvataggio fuori da una transazione"));
    istruzionePunto(0, "SAVEPOINT punto");
}

void Database::rilasciaPunto()
{
    istruzionePunto(1, "RELEASE SAVEPOINT punto");
}

void Database::tornaAlPunto() noexcept
{
    if (!m_transazione || !QSqlDatabase::contains(m_nome) || !connessione().isOpen())
        return;
    try {
        istruzionePunto(2, "ROLLBACK TO SAVEPOINT punto");
        istruzionePunto(1, "RELEASE SAVEPOINT punto");
    } catch (const ErroreDb&) {
        // The engine already ended the whole transaction (a full disk, a lost connection):
        // committing it then fails, and nothing of it is kept.
    }
}

void Database::durataNormale() noexcept
{
    if (!m_durataPiena)
        return;
    m_durataPiena = false;
    if (aperto()) {
        QSqlQuery q(connessione());
        q.exec(QStringLiteral("PRAGMA main.synchronous=NORMAL"));
        if (m_lavoroAperto)
            q.exec(QStringLiteral("PRAGMA %1.synchronous=OFF").arg(m_dialetto.schemaLavoro()));
    }
}

// ---------------------------------------------------------------------------------------
// Durability, integrity, copies

bool Database::commitAttendeIlDisco() const
{
    if (sqlite())
        return valore(QStringLiteral("PRAGMA main.synchronous")).toInt() >= 2;  // FULL or EXTRA
    return valore(QStringLiteral("SELECT current_setting('synchronous_commit')")).toString() != QLatin1String("off");
}

void Database::rinviaCopiaGiornale(bool rinvia)
{
    if (!aperto() || !sqlite())
        return;
    QSqlQuery q(connessione());
    q.exec(rinvia ? QStringLiteral("PRAGMA main.wal_autocheckpoint=0") : QStringLiteral("PRAGMA main.wal_autocheckpoint=1000"));
    if (!rinvia)
        salvaSuDisco();
}

void Database::salvaSuDisco()
{
    // A server writes its log to disk by itself within a fraction of a second.
    if (!aperto() || m_transazione || !sqlite())
        return;
    QSqlQuery q(connessione());
    // A checkpoint first syncs the log, so every committed change is then on disk.
    q.exec(QStringLiteral("PRAGMA main.wal_checkpoint(PASSIVE)"));
}

void Database::svuotaGiornale()
{
    if (sqlite())
        eseguiDiretta(QStringLiteral("PRAGMA main.wal_checkpoint(TRUNCATE)"));
}

QString Database::controllaIntegrita() const
{
    // A server checks its pages as it reads them and has no check of a whole database to ask.
    if (!sqlite())
        return {};
    QSqlQuery q = esegui(QStringLiteral("PRAGMA main.integrity_check"));
    QStringList righe;
    while (q.next())
        righe << q.value(0).toString();
    return righe == QStringList{QStringLiteral("ok")} ? QString() : righe.join(QLatin1Char('\n'));
}

QString Database::copiaProduzione(int versione) const
{
    if (sqlite()) {
        QString copia = QStringLiteral("%1.v%2.bak").arg(m_connessione.file).arg(versione);
        for (int n = 2; QFileInfo::exists(copia); ++n)
            copia = QStringLiteral("%1.v%2-%3.bak").arg(m_connessione.file).arg(versione).arg(n);
        // A snapshot read in one read transaction: writers of other copies go on meanwhile,
        // and what is still in the write-ahead log is part of the copy.
        esegui(QStringLiteral("VACUUM main INTO :file"), {{"file", copia}});
        return copia;
    }
    // On a server the copy is a schema of the same database holding every production table
    // as it was: nothing to install or reach on the workstation, and the rows come back
    // with one INSERT ... SELECT per table. The server's own backups are the DBA's business.
    QString schema = QStringLiteral("copia_v%1").arg(versione);
    for (int n = 2; esisteLavoro(schema); ++n)
        schema = QStringLiteral("copia_v%1_%2").arg(versione).arg(n);
    const QStringList tabelle = tabelleEsistenti(false);
    // One snapshot for every table: what other copies commit meanwhile is not half in it.
    eseguiDiretta(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"));
    try {
        eseguiDiretta(QStringLiteral("CREATE SCHEMA %1").arg(schema));
        for (const QString& t : tabelle)
            eseguiDiretta(QStringLiteral("CREATE TABLE %1.%2 AS SELECT * FROM public.%2").arg(schema, virgolette(t)));
        eseguiDiretta(QStringLiteral("COMMIT"));
    } catch (const ErroreDb&) {
        QSqlQuery(connessione()).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    return QStringLiteral("%1 (schema %2)").arg(descrizione(), schema);
}

void Database::copiaInFile(const QString& file, bool lavoro) const
{
    if (!sqlite())
        throw std::logic_error("copiaInFile: solo SQLite");
    const QString schema = lavoro ? m_dialetto.schemaLavoro() : QStringLiteral("main");
    esegui(QStringLiteral("VACUUM %1 INTO :file").arg(schema), {{"file", file}});
}

bool Database::inUsoDaAltri(const Connessione& c)
{
    if (c.motore == Dialetto::Motore::PostgreSQL) {
        Database db;
        db.apri(c, false);
        // Sessions of clients only: the server's own workers (autovacuum) come and go.
        return db.valore(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE datname = :d AND pid <> pg_backend_pid()"
                                        " AND backend_type = 'client backend'"),
                         {{"d", c.completata().database}})
                   .toInt() > 0;
    }
    const QString nome = QStringLiteral("prova_uso_%1").arg(quintptr(&c));
    bool inUso = false;
    {
        QSqlDatabase p = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        p.setDatabaseName(c.file);
        p.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        if (!p.open())
            throw ErroreDb(QStringLiteral("%1: %2").arg(c.file, testoErrore(p.lastError())));
        QSqlQuery q(p);
        // Held until the connection closes: the probe never leaves the lock behind.
        q.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
        if (q.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
            q.exec(QStringLiteral("COMMIT"));
        } else {
            // Busy or locked: someone holds it. Anything else is a fault of the file.
            const QString codice = q.lastError().nativeErrorCode();
            inUso = codice == QLatin1String("5") || codice == QLatin1String("6");
            if (!inUso) {
                const QString t = testoErrore(q.lastError());
                q = QSqlQuery();
                p.close();
                p = QSqlDatabase();
                QSqlDatabase::removeDatabase(nome);
                throw ErroreDb(QStringLiteral("%1: %2").arg(c.file, t));
            }
        }
        q = QSqlQuery();
        p.close();
    }
    QSqlDatabase::removeDatabase(nome);
    return inUso;
}

void Database::eliminaCopia(const QString& copia) const
{
    if (sqlite()) {
        QFile::remove(copia);
        return;
    }
    static const QRegularExpression schema(QStringLiteral("\\(schema (copia_v[0-9_]+)\\)$"));
    const auto m = schema.match(copia);
    if (m.hasMatch())
        eseguiDiretta(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(m.captured(1)));
}

// ---------------------------------------------------------------------------------------
// What the database holds

QStringList Database::tabelleEsistenti(bool lavoro) const
{
    QStringList l;
    if (lavoro && !m_lavoroAperto)
        return l;
    const QString schema = lavoro ? m_dialetto.schemaLavoro() : m_dialetto.schemaProduzione();
    QSqlQuery q = sqlite() ? esegui(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type='table'").arg(schema))
                           : esegui(QStringLiteral("SELECT table_name FROM information_schema.tables "
                                                   "WHERE table_schema = :s AND table_type = 'BASE TABLE'"),
                                    {{"s", schema}});
    while (q.next())
        l << q.value(0).toString();
    return l;
}

bool Database::esisteLavoro(const QString& fileOSchema) const
{
    if (sqlite())
        return QFileInfo::exists(fileOSchema);
    return esisteRiga(QStringLiteral("SELECT 1 FROM information_schema.schemata WHERE schema_name = :s"), {{"s", fileOSchema.toLower()}});
}

QStringList Database::campiEsistenti(const QString& tabella, bool lavoro) const
{
    QStringList l;
    const QString schema = lavoro ? m_dialetto.schemaLavoro() : m_dialetto.schemaProduzione();
    if (sqlite()) {
        QSqlQuery q = prepara(QStringLiteral("SELECT name FROM pragma_table_info(:t, :s) ORDER BY cid"));
        q.bindValue(QStringLiteral(":t"), tabella);
        q.bindValue(QStringLiteral(":s"), schema);
        esegui(q);
        while (q.next())
            l << q.value(0).toString().toLower();
        return l;
    }
    QSqlQuery q = esegui(QStringLiteral("SELECT column_name FROM information_schema.columns "
                                        "WHERE table_schema = :s AND table_name = :t ORDER BY ordinal_position"),
                         {{"s", schema}, {"t", tabella.toLower()}});
    while (q.next())
        l << q.value(0).toString().toLower();
    return l;
}

QHash<QString, QStringList> Database::campiPerTabella(bool lavoro) const
{
    QHash<QString, QStringList> m;
    if (lavoro && !m_lavoroAperto)
        return m;
    const QString schema = lavoro ? m_dialetto.schemaLavoro() : m_dialetto.schemaProduzione();
    QSqlQuery q = sqlite() ? esegui(QStringLiteral("SELECT t.name, c.name FROM %1.sqlite_master t, pragma_table_info(t.name, '%1') c "
                                                   "WHERE t.type = 'table' ORDER BY t.name, c.cid")
                                        .arg(schema))
                           : esegui(QStringLiteral("SELECT c.table_name, c.column_name FROM information_schema.columns c "
                                                   "JOIN information_schema.tables t ON t.table_schema = c.table_schema "
                                                   "AND t.table_name = c.table_name AND t.table_type = 'BASE TABLE' "
                                                   "WHERE c.table_schema = :s ORDER BY c.table_name, c.ordinal_position"),
                                    {{"s", schema}});
    while (q.next())
        m[q.value(0).toString().toLower()] << q.value(1).toString().toLower();
    return m;
}

QList<Database::InfoIndice> Database::indiciEsistenti(const QString& tabella, bool lavoro) const
{
    QList<InfoIndice> l;
    const QString schema = lavoro ? m_dialetto.schemaLavoro() : m_dialetto.schemaProduzione();
    if (sqlite()) {
        QSqlQuery q = prepara(QStringLiteral("SELECT il.name, il.\"unique\", ii.name FROM pragma_index_list(:t, :s) il, "
                                             "pragma_index_info(il.name, :s2) ii ORDER BY il.name, ii.seqno"));
        q.bindValue(QStringLiteral(":t"), tabella);
        q.bindValue(QStringLiteral(":s"), schema);
        q.bindValue(QStringLiteral(":s2"), schema);
        esegui(q);
        while (q.next()) {
            const QString nome = q.value(0).toString().toLower();
            if (l.isEmpty() || l.last().nome != nome)
                l.append({nome, {}, q.value(1).toInt() != 0});
            l.last().campi << q.value(2).toString().toLower();
        }
        return l;
    }
    QSqlQuery q = esegui(QStringLiteral("SELECT ic.relname, ix.indisunique, a.attname FROM pg_index ix "
                                        "JOIN pg_class ic ON ic.oid = ix.indexrelid "
                                        "JOIN pg_class tc ON tc.oid = ix.indrelid "
                                        "JOIN pg_namespace n ON n.oid = tc.relnamespace "
                                        "JOIN LATERAL unnest(ix.indkey) WITH ORDINALITY AS k(attnum, pos) ON true "
                                        "JOIN pg_attribute a ON a.attrelid = tc.oid AND a.attnum = k.attnum "
                                        "WHERE n.nspname = :s AND tc.relname = :t ORDER BY ic.relname, k.pos"),
                         {{"s", schema}, {"t", tabella.toLower()}});
    while (q.next()) {
        const QString nome = q.value(0).toString().toLower();
        if (l.isEmpty() || l.last().nome != nome)
            l.append({nome, {}, q.value(1).toBool()});
        l.last().campi << q.value(2).toString().toLower();
    }
    return l;
}

// ---------------------------------------------------------------------------------------
// Databases on a server

namespace {
void suServer(const Connessione& c, const QString& istruzione)
{
    const Connessione k = c.completata();
    if (k.motore != Dialetto::Motore::PostgreSQL || !Connessione::nomeValido(k.database))
        throw ErroreDb(QStringLiteral("%1: nome del database non valido").arg(k.descrizione()));
    const QString nome = QStringLiteral("quorlin_gestione_%1").arg(g_contatore.fetchAndAddRelaxed(1));
    {
        QSqlDatabase s = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
        s.setHostName(k.host);
        if (k.porta > 0)
            s.setPort(k.porta);
        s.setUserName(k.utente);
        s.setDatabaseName(QStringLiteral("postgres"));
        s.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=quorlin"));
        QString problema;
        if (!s.open()) {
            problema = testoErrore(s.lastError());
        } else {
            QSqlQuery q(s);
            if (!q.exec(QStringLiteral("SET client_min_messages TO warning")) || !q.exec(istruzione.arg(k.database)))
                problema = testoErrore(q.lastError());
        }
        s.close();
        s = QSqlDatabase();
        QSqlDatabase::removeDatabase(nome);
        if (!problema.isEmpty())
            throw ErroreDb(QStringLiteral("%1: %2").arg(k.descrizione(), problema), istruzione);
    }
}
}  // namespace

void Database::creaSuServer(const Connessione& c, const QString& modello)
{
    if (!modello.isEmpty() && !Connessione::nomeValido(modello))
        throw ErroreDb(QStringLiteral("%1: nome del database non valido").arg(modello));
    suServer(c, QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE ") + (modello.isEmpty() ? QStringLiteral("template0") : modello));
}

void Database::chiudiSessioniAltrui(const Connessione& c)
{
    if (c.motore != Dialetto::Motore::PostgreSQL)
        return;
    Database db;
    db.apri(c, false);
    db.esegui(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = :d AND pid <> pg_backend_pid()"),
              {{"d", c.completata().database}});
}

void Database::eliminaSuServer(const Connessione& c)
{
    suServer(c, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)"));
}
