#pragma once
// What the interruption tests share: starting the program under test, running it to the end
// or killing it at a chosen moment, and reading rows back as text.

#include "database.h"

#include <QByteArray>
#include <QProcess>
#include <QSaveFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace Prova {

inline void riga(const QString& testo)
{
    std::printf("%s\n", testo.toLocal8Bit().constData());
    std::fflush(stdout);
}

inline int argomento(const QStringList& a, const QString& nome, int predefinito)
{
    const int i = int(a.indexOf(nome));
    return i >= 0 && i + 1 < a.size() ? a.at(i + 1).toInt() : predefinito;
}

inline QProcess* avvia(const QString& programma, const QStringList& argomenti)
{
    auto* p = new QProcess;
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start(programma, argomenti);
    p->waitForStarted(10000);
    return p;
}

// Runs to the end; returns the exit status (-1 for a crash or a time-out).
inline int esegui(const QString& programma, const QStringList& argomenti, QString* uscita = nullptr, int attesaMs = 300000)
{
    std::unique_ptr<QProcess> p(avvia(programma, argomenti));
    if (!p->waitForFinished(attesaMs)) {
        p->kill();
        p->waitForFinished();
        return -1;
    }
    if (uscita)
        *uscita = QString::fromLocal8Bit(p->readAll());
    return p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
}

// Kills the process (SIGKILL) after `ms` milliseconds; true when it was still running.
inline bool uccidiDopo(QProcess& p, int ms)
{
    const bool vivo = !p.waitForFinished(ms);
    if (vivo) {
        p.kill();
        p.waitForFinished();
    }
    return vivo;
}

// A file the way another program replaces it: complete or not at all.
inline bool scriviFile(const QString& file, const QByteArray& dati)
{
    QSaveFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(dati) == dati.size() && f.commit();
}

inline QStringList righe(Database& db, const QString& sql)
{
    QSqlQuery q = db.esegui(sql);
    QStringList out;
    while (q.next()) {
        QStringList campi;
        for (int c = 0; c < q.record().count(); ++c)
            campi << (q.isNull(c) ? QStringLiteral("NULL") : q.value(c).toString());
        out << campi.join(QLatin1Char('|'));
    }
    return out;
}

}  // namespace Prova
