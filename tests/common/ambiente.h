#pragma once
// A fresh application directory with PRES.INI and both databases, created by the same
// code that creates the production ones, and a main data module opened on it.

#include "tdtmpresenze.h"

#include <QTemporaryDir>

#include <memory>

#include <sys/resource.h>

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

    // Convenience for test data: executes a statement with named parameters; fails the
    // test (throws) on error.
    void esegui(const QString& sql, Parametri p = {}) { m_dtm->db().esegui(sql, p); }
    QVariant valore(const QString& sql, Parametri p = {}) { return m_dtm->db().valore(sql, p); }
    int conta(const QString& tabella, const QString& condizione = {});

private:
    QTemporaryDir m_dir;
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
