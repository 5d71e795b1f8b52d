#pragma once
// One connection to the production database with the work database beside it, so that a
// statement can name tables of both; everything that differs between the two engines lives
// here and in the dialect. Failures are thrown as ErroreDb with the engine's text; nothing
// here shows a message.

#include "dialetto.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QFileInfo>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <utility>

class IstruzioneVeloce;
class QSqlError;

class ErroreDb : public std::runtime_error {
public:
    enum class Tipo {
        Altro,
        Vincolo,          // refused by a key or another constraint of the table
        ConnessionePersa, // the server cannot be reached or went away: nothing after the last commit was kept
    };
    ErroreDb(const QString& testo, const QString& istruzione = {}, Tipo tipo = Tipo::Altro);
    QString testo() const { return m_testo; }  // the engine's text
    QString istruzione() const { return m_istruzione; }
    Tipo tipo() const { return m_tipo; }
    // The statement was refused by a key or another constraint of the table (a duplicate
    // punch time, a second work-plan day, a required field left empty).
    bool violazioneVincolo() const { return m_tipo == Tipo::Vincolo; }
    bool connessionePersa() const { return m_tipo == Tipo::ConnessionePersa; }

private:
    QString m_testo;
    QString m_istruzione;
    Tipo m_tipo;
};

using Parametri = std::initializer_list<std::pair<const char*, QVariant>>;

// When a committed transaction is safe from a power cut. Normale: at the next sync of the
// log (the idle flush of the application); a cut may lose the last commits, never corrupt
// the file, which suits what the engine can compute again. Piena: before the commit
// returns, for raw data nobody can compute again (punches from a terminal, a file or a clerk).
enum class Durata { Normale, Piena };

// Where the production database is: a file (SQLite) or a database on a server (PostgreSQL).
struct Connessione {
    Dialetto::Motore motore = Dialetto::Motore::SQLite;
    QString file;      // SQLite
    QString host;      // PostgreSQL: a missing key takes the client's environment (completata)
    int porta = 0;
    QString database;
    QString utente;

    static Connessione sqlite(const QString& file);
    // The keys left empty take the standard variables of PostgreSQL clients (PGHOST,
    // PGPORT, PGDATABASE, PGUSER). The password never passes through here: the client
    // library takes it from PGPASSWORD or the user's .pgpass file.
    Connessione completata() const;
    // For messages: the file, or postgresql://user@host:port/database.
    QString descrizione() const;
    // Default schema of a workstation's work tables on a server: "presut_" and the host name.
    static QString schemaLavoroPredefinito();
    // A schema or database name used as it is in statements: letters, digits and "_", not
    // starting with a digit, at most 63 characters.
    static bool nomeValido(const QString& nome);
};

class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the production database. With crea false a missing file is an error (the
    // file is never created behind the user's back); with crea true it is created. A
    // database on a server is never created here: it must exist (see creaSuServer).
    // `controllo` runs once the database is known to be a database and before anything is
    // written to it; whatever it throws closes the connection and passes on unchanged.
    void apri(const Connessione& c, bool crea, const std::function<void()>& controllo = {});
    void apriProduzione(const QString& file, bool crea, const std::function<void()>& controllo = {})
    {
        apri(Connessione::sqlite(file), crea, controllo);
    }
    // Opens the work database beside the production one: a file attached to the connection
    // (SQLite) or a schema of the same database (PostgreSQL); creates it when missing.
    // Throws on failure, after which the production connection stays usable and
    // lavoroAperto() is false.
    void apriLavoro(const QString& fileOSchema);
    void chiudi();

    bool aperto() const;
    bool lavoroAperto() const { return m_lavoroAperto; }
    const Connessione& connessioneAperta() const { return m_connessione; }
    QString fileProduzione() const { return m_connessione.file; }  // empty on a server
    QString descrizione() const { return m_connessione.descrizione(); }
    // As apriLavoro() received it, and for messages.
    QString luogoLavoro() const { return m_luogoLavoro; }
    QString descrizioneLavoro() const;
    const Dialetto& dialetto() const { return m_dialetto; }
    // See Creazione::rendiPrivate.
    void rendiPrivata(const QString& tabella) { m_dialetto.rendiPrivata(tabella); }
    QSqlDatabase connessione() const;
    // Folder for the engine's temporary files, from the next opening on (an embedded engine
    // only: a server keeps its own).
    void setCartellaTemporanea(const QString& cartella) { m_cartellaTemporanea = cartella; }

    // Prepared statement in the application's SQL (translated by the dialect).
    QSqlQuery prepara(const QString& sql) const;
    // Executes a statement prepared by prepara(); throws ErroreDb on failure.
    static void esegui(QSqlQuery& q);
    // As esegui, but a statement refused by a constraint returns false instead of throwing,
    // and leaves the open transaction usable.
    static bool eseguiSalvoVincoli(QSqlQuery& q);
    // Prepares, binds the named parameters and executes.
    QSqlQuery esegui(const QString& sql, Parametri parametri = {}) const;
    // First column of the first row, null when there is no row.
    QVariant valore(const QString& sql, Parametri parametri = {}) const;
    bool esisteRiga(const QString& sql, Parametri parametri = {}) const;

    // Starts a write transaction. Write transactions of every copy of the application on
    // this database take turns, from the start: two copies never both read and then fail to
    // write, and a next id read inside one stays free until it commits.
    void inizia(Durata durata = Durata::Normale);
    void conferma();
    void annulla() noexcept;
    bool inTransazione() const { return m_transazione; }
    // A savepoint inside the open transaction (see PuntoDiSalvataggio): set, released, or
    // rolled back to (and then released). One name, so they do not nest.
    void segnaPunto();
    void rilasciaPunto();
    void tornaAlPunto() noexcept;

    // Whether a commit made now returns only once it is on disk.
    bool commitAttendeIlDisco() const;
    // Makes every committed change durable on disk (the idle flush of the application).
    void salvaSuDisco();
    // A long write in many transactions (an import) copies the log into the database once,
    // at the end, instead of after every commit: on while `rinvia`, then back to normal with
    // the copy made. Nothing on a server.
    void rinviaCopiaGiornale(bool rinvia);
    // Writes every committed change into the database's own file and empties the log, so
    // that the file alone, copied, is the whole database. Nothing on a server, whose files are
    // its own. Outside any transaction.
    void svuotaGiornale();
    // The engine's own check of the production database: empty when it is sound, else what
    // it found.
    QString controllaIntegrita() const;

    // A consistent copy of the production tables as they are, kept beside them: a new file
    // next to the database's file (SQLite) or a new schema of the same database
    // (PostgreSQL), named after `versione` and never replacing an earlier copy. Outside any
    // transaction. Returns the copy's name, for the user and for eliminaCopia.
    QString copiaProduzione(int versione) const;
    void eliminaCopia(const QString& copia) const;
    // A consistent copy of the production (or, with `lavoro`, the work) database written into
    // the new SQLite file `file`, taken in one read snapshot while other copies go on writing.
    // SQLite only (a server's tables are copied by Migrazione::Copia); outside any transaction.
    void copiaInFile(const QString& file, bool lavoro) const;
    // Whether another connection has the production database of `c` open: for SQLite any
    // connection to the file, of any process (asked by trying, at once, for the file's
    // exclusive lock, which every open connection of the log mode prevents); on a server any
    // other session on the database. Asked on a connection of its own, closed before returning.
    static bool inUsoDaAltri(const Connessione& c);

    // Tables present in the production or the work database; fields (lower case) of one
    // of its tables, empty when the table is missing; its indexes.
    QStringList tabelleEsistenti(bool lavoro) const;
    // Whether a work database (a file, or a schema of this database on a server) is there.
    bool esisteLavoro(const QString& fileOSchema) const;
    QStringList campiEsistenti(const QString& tabella, bool lavoro) const;
    // Every table of the production or work database (lower case) with its fields, at once.
    QHash<QString, QStringList> campiPerTabella(bool lavoro) const;
    struct InfoIndice {
        QString nome;        // lower case
        QStringList campi;   // lower case, in key order
        bool unico = false;
    };
    QList<InfoIndice> indiciEsistenti(const QString& tabella, bool lavoro) const;

    // Creates or drops a database on the server of `c` (its `database`), connecting to the
    // server's maintenance database; a new one copies `modello` (a database nobody is
    // connected to) when given. For tests and for moving a company to a server.
    static void creaSuServer(const Connessione& c, const QString& modello = {});
    static void eliminaSuServer(const Connessione& c);
    // Ends every other session on the database of `c` (a server's administrator does it
    // before maintenance; the tests, to see a server go away). Nothing on SQLite, which has
    // no sessions.
    static void chiudiSessioniAltrui(const Connessione& c);

    // Changes each time the connection is opened: statements prepared on an earlier
    // connection must be prepared again.
    int generazione() const { return m_generazione; }

private:
    friend class IstruzioneVeloce;
    // The open Database a prepared statement belongs to (by its connection's driver).
    static Database* di(const QSqlQuery& q);
    bool sqlite() const { return m_dialetto.motore() == Dialetto::Motore::SQLite; }
    ErroreDb errore(const QSqlError& e, const QString& istruzione) const;
    void istruzioneTransazione(int quale, const char* sql);
    void istruzionePunto(int quale, const char* sql);
    void durataNormale() noexcept;
    void apriSqlite(const QFileInfo& fi);
    void apriServer();
    void eseguiDiretta(const QString& sql) const;
    QString m_nome;
    Connessione m_connessione;
    QString m_luogoLavoro;
    QString m_cartellaTemporanea;
    Dialetto m_dialetto;
    bool m_lavoroAperto = false;
    bool m_transazione = false;
    bool m_durataPiena = false;
    int m_generazione = 0;
    // BEGIN, COMMIT and ROLLBACK, prepared once per connection.
    std::unique_ptr<QSqlQuery> m_tr[3];
    // The savepoint's three: the engine runs one per processed day, bound straight into the
    // embedded engine (the generic layer costs several times the statement).
    std::unique_ptr<IstruzioneVeloce> m_punto[3];
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

// A part of the open transaction that is undone by itself on scope exit unless rilascia()
// was called: what it wrote goes, what the transaction wrote before it stays, and the
// transaction stays usable (on a server too, where a failed statement spoils it).
class PuntoDiSalvataggio {
public:
    explicit PuntoDiSalvataggio(Database& db) : m_db(db) { m_db.segnaPunto(); }
    ~PuntoDiSalvataggio()
    {
        if (!m_chiuso)
            m_db.tornaAlPunto();
    }
    PuntoDiSalvataggio(const PuntoDiSalvataggio&) = delete;
    PuntoDiSalvataggio& operator=(const PuntoDiSalvataggio&) = delete;
    void rilascia()
    {
        m_chiuso = true;
        m_db.rilasciaPunto();
    }

private:
    Database& m_db;
    bool m_chiuso = false;
};
