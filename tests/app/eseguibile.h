#pragma once
// Runs the quorlin executable as a user runs it: its own process, no display, no registry.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace {

struct Esito {
    int stato = -1;
    QString uscita;
    QString errori;
};

Esito quorlin(const QStringList& argomenti)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));  // batch commands need no display
    env.insert(QStringLiteral("QUORLIN_REGISTRO"), QStringLiteral("/nonexistent/registro.ini"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUORLIN_ESEGUIBILE), argomenti);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace
