#pragma once
// One connection to the production database with the work database attached, so that a
// statement can name tables of both. Failures are thrown as ErroreDb with the engine's
// text; nothing here shows a message.

#include "dialetto.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <utility>

class QSqlError;

class ErroreDb : public std::runtime_error {
public:
    ErroreDb(const QString& testo, const QString& istruzione = {}, bool violazioneChiave = false);
    QString testo() const { return m_testo; }  // the engine's text
    QString istruzione() const { return m_istruzione; }
    // The statement was refused by a key or another constraint of the table (a duplicate
    // punch time, a second work-plan day, a required field left empty).
    bool violazioneVincolo() const { return m_vincolo; }

private:
    QString m_testo;
    QString m_istruzione;
    bool m_vincolo;
};

using Parametri = std::initializer_list<std::pair<const char*, QVariant>>;

// When a committed transaction is safe from a power cut. Normale: at the next sync of the
// log (the idle flush of the application); a cut may lose the last commits, never corrupt
// the file, which suits what the engine can compute again. Piena: before the commit
// returns, for raw data nobody can compute again (punches from a terminal, a file or a clerk).
enum class Durata { Normale, Piena };

class Database {
public:
    explicit Database(Dialetto::Motore motore = Dialetto::Motore::SQLite);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the production database. With crea false a missing file is an error (the
    // file is never created behind the user's back); with crea true it is created.
    // `controllo` runs once the file is known to be a database and before anything is
    // written to it (the journal mode); whatever it throws closes the connection and
    // passes on unchanged.
    void apriProduzione(const QString& file, bool crea, const std::function<void()>& controllo = {});
    // Attaches the work database; creates it when missing. Throws on failure, after which
    // the production connection stays usable and lavoroAperto() is false.
    void apriLavoro(const QString& file);
    void chiudi();

    bool aperto() const;
    bool lavoroAperto() const { return m_lavoroAperto; }
    QString fileProduzione() const { return m_fileProduzione; }
    QString fileLavoro() const { return m_fileLavoro; }
    const Dialetto& dialetto() const { return m_dialetto; }
    // See Creazione::rendiPrivate.
    void rendiPrivata(const QString& tabella) { m_dialetto.rendiPrivata(tabella); }
    QSqlDatabase connessione() const;

    // Prepared statement in the application's SQL (translated by the dialect).
    QSqlQuery prepara(const QString& sql) const;
    // Executes a prepared statement; throws ErroreDb on failure.
    static void esegui(QSqlQuery& q);
    // As esegui, but a statement refused by a constraint returns false instead of throwing.
    static bool eseguiSalvoVincoli(QSqlQuery& q);
    // Prepares, binds the named parameters and executes.
    QSqlQuery esegui(const QString& sql, Parametri parametri = {}) const;
    // First column of the first row, null when there is no row.
    QVariant valore(const QString& sql, Parametri parametri = {}) const;
    bool esisteRiga(const QString& sql, Parametri parametri = {}) const;

    // Starts a write transaction, taking the write lock at once so that two copies of the
    // application never both read and then fail to write.
    void inizia(Durata durata = Durata::Normale);
    void conferma();
    void annulla() noexcept;
    bool inTransazione() const { return m_transazione; }

    // Makes every committed change durable on disk (the idle flush of the application).
    void salvaSuDisco();
    // The engine's own check of the production file: empty when it is sound, else what it found.
    QString controllaIntegrita() const;

    // A consistent copy of the production database in a new file (outside any transaction).
    void copiaProduzione(const QString& file) const;
    // Names of the tables present in the production ("main") or work schema.
    QStringList tabelleEsistenti(bool lavoro) const;

    // Changes each time the connection is opened: statements prepared on an earlier
    // connection must be prepared again.
    int generazione() const { return m_generazione; }

private:
    void istruzioneTransazione(int quale, const char* sql);
    void durataNormale() noexcept;
    QString m_nome;
    QString m_fileProduzione;
    QString m_fileLavoro;
    Dialetto m_dialetto;
    bool m_lavoroAperto = false;
    bool m_transazione = false;
    bool m_durataPiena = false;
    int m_generazione = 0;
    // BEGIN, COMMIT and ROLLBACK, prepared once per connection: the engine runs one
    // transaction per processed day.
    std::unique_ptr<QSqlQuery> m_tr[3];
};

// Rolls back on scope exit unless confermata() was called.
class Transazione {
public:
    explicit Transazione(Database& db, Durata durata = Durata::Normale) : m_db(db) { m_db.inizia(durata); }
    ~Transazione()
    {
        if (!m_chiusa)
            m_db.annulla();
    }
    void conferma()
    {
        m_db.conferma();
        m_chiusa = true;
    }

private:
    Database& m_db;
    bool m_chiusa = false;
};
