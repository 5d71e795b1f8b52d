#pragma once
// The terminal simulator on a pseudo-terminal of its own, for as long as the object lives;
// the port number given (COM1 unless told) is pointed at it for this process.

#include "terminali.h"

#include <QProcess>
#include <QStringList>

class Simulatore {
public:
    explicit Simulatore(const QStringList& argomenti, int porta = 1)
    {
        m_processo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_processo.start(QStringLiteral(QUORLIN_TERMINALE), argomenti);
        if (m_processo.waitForStarted() && m_processo.waitForReadyRead(5000))
            percorso = QString::fromLocal8Bit(m_processo.readLine().trimmed());
        ImpostaDispositivo(porta, percorso);
    }
    ~Simulatore()
    {
        m_processo.terminate();
        if (!m_processo.waitForFinished(5000))
            m_processo.kill();
    }
    QString percorso;

private:
    QProcess m_processo;
};
