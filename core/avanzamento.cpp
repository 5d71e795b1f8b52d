#include "avanzamento.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kLarghezzaBarra = 30;

}  // namespace

AvanzamentoStderr::AvanzamentoStderr() : m_terminale(isatty(STDERR_FILENO) == 1) {}

AvanzamentoStderr::~AvanzamentoStderr()
{
    Termina();
}

QString AvanzamentoStderr::Barra(const QString& titolo, int valore, int massimo)
{
    const int perc = massimo > 0 ? int(qint64(qBound(0, valore, massimo)) * 100 / massimo) : 0;
    const int pieni = perc * kLarghezzaBarra / 100;
    return QStringLiteral("%1 [%2%3] %4% (%5/%6)")
        .arg(titolo, QString(pieni, QLatin1Char('#')), QString(kLarghezzaBarra - pieni, QLatin1Char('.')))
        .arg(perc, 3)
        .arg(valore)
        .arg(massimo);
}

void AvanzamentoStderr::Inizia(const QString& titolo, int massimo)
{
    Termina();
    m_titolo = titolo;
    m_massimo = massimo;
    m_ultimo = -1;
}

void AvanzamentoStderr::Valore(int valore)
{
    if (!m_terminale || m_massimo <= 0)
        return;
    // Redrawn only when the percentage moves: a terminal is slow next to the engine.
    const int perc = int(qint64(qBound(0, valore, m_massimo)) * 100 / m_massimo);
    if (perc == m_ultimo && valore != m_massimo)
        return;
    m_ultimo = perc;
    std::fprintf(stderr, "\r%s", Barra(m_titolo, valore, m_massimo).toLocal8Bit().constData());
    std::fflush(stderr);
    m_aperta = true;
}

void AvanzamentoStderr::Termina()
{
    if (m_aperta)
        std::fprintf(stderr, "\n");
    m_aperta = false;
}
