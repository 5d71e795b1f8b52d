#include "presentatore.h"

#include <cstdio>

void PresentatoreStderr::avviso(const QString& testo)
{
    std::fprintf(stderr, "%s\n", testo.toLocal8Bit().constData());
    std::fflush(stderr);
}

bool PresentatoreStderr::domanda(const QString& testo)
{
    avviso(testo);
    return m_risposta;
}
