#pragma once
// A fresh application directory with PRES.INI and both databases, created by the same
// code that creates the production ones, and a main data module opened on it.
//
// Every test runs on the engine named by QUORLIN_MOTORE ("SQLite" when unset, or
// "PostgreSQL"); on PostgreSQL each company gets a database of its own on the server named
// by the standard client variables (PGHOST, PGPORT, PGUSER), dropped when the test is done.

#include "tdtmpresenze.h"

#include <QTemporaryDir>

#include <memory>

#include <sys/resource.h>

namespace Banco {
// The engine under test; a QUORLIN_MOTORE that names none stops the test program.
Dialetto::Motore motore();
inline bool suServer() { return motore() == Dialetto::Motore::PostgreSQL; }
// The first column of every row, joined by ","; for checks on a few rows.
QString colonna(const Database& db, const QString& sql, Parametri p = {});
}  // namespace Banco

// A production database for one test, on the engine under test: on SQLite a file name in
// `cartella` (created by whoever opens it first); on PostgreSQL a new empty database on the
// server, dropped with this object.
class DatabaseDiProva {
public:
    explicit DatabaseDiProva(const QString& cartella);
    ~DatabaseDiProva();
    DatabaseDiProva(const DatabaseDiProva&) = delete;
    DatabaseDiProva& operator=(const DatabaseDiProva&) = delete;

    const Connessione& connessione() const { return m_connessione; }
    // The work database beside it: the file under `cartella`, or a schema on the server.
    QString lavoro() const { return m_lavoro; }
    // The [Ambiente START] lines of a PRES.INI that names it; empty on SQLite, whose
    // default folder beside PRES.INI is the one of `cartella` when it is that folder.
    QByteArray righeIni() const;
    // Drops and creates again the database on the server (nothing on SQLite).
    void svuota();
    // What the database holds, to tell whether anything was written: the file's bytes, or
    // the server's tables with their rows.
    QByteArray fotografia() const;

private:
    Connessione m_connessione;
    QString m_lavoro;
};

class Ambiente {
public:
    // testoIni: initial content of PRES.INI (empty: no file, defaults are written).
    explicit Ambiente(const QByteArray& testoIni = {});
    ~Ambiente();

    QString dir() const { return m_dir.path(); }
    QString fileIni() const;
    TdtmPresenze& dtm() { return *m_dtm; }
    Database& db() { return m_dtm->db(); }
    PresentatoreRegistro& registro() { return m_registro; }
    DatabaseDiProva& produzione() { return *m_produzione; }

    // Convenience for test data: executes a statement with named parameters; fails the
    // test (throws) on error.
    void esegui(const QString& sql, Parametri p = {}) { m_dtm->db().esegui(sql, p); }
    QVariant valore(const QString& sql, Parametri p = {}) { return m_dtm->db().valore(sql, p); }
    int conta(const QString& tabella, const QString& condizione = {});
    // Makes the database refuse some writes, and stop refusing them (Ddl::creaRifiuto).
    void rifiuta(const QString& nome, const QString& tabella, const QString& evento, const QString& condizione, const QString& messaggio);
    void togliRifiuto(const QString& nome, const QString& tabella);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DatabaseDiProva> m_produzione;
    PresentatoreRegistro m_registro;
    std::unique_ptr<TdtmPresenze> m_dtm;
};

// While it lives, no file of this process grows beyond `byte` bytes: a write past it fails as
// on a full disk (the signal such a write raises is ignored meanwhile).
class DiscoPieno {
public:
    explicit DiscoPieno(rlim_t byte);
    ~DiscoPieno();

private:
    rlimit m_prima{};
    void (*m_segnale)(int) = nullptr;
};
