#include "testipiano.h"

#include "testiora.h"

namespace TestiPiano {

namespace {

// Two characters that must both be digits; a short or mixed part does not convert.
bool dueCifre(const QString& parte, int* valore)
{
    if (parte.size() != 2 || !parte.at(0).isDigit() || !parte.at(1).isDigit())
        return false;
    *valore = parte.toInt();
    return true;
}

int ultimoToken(const QString& testo)
{
    return testo.isEmpty() ? -1 : int((testo.size() - 1) / 6) * 6;
}

}  // namespace

QString MinutiInTesto(const QVariant& minuti)
{
    if (minuti.isNull())
        return {};
    const int m = minuti.toInt();
    return m == 0 ? QString() : TestiOra::MinutiInOre(m, QLatin1Char('.'), 2);
}

int TestoInMinuti(const QString& testo)
{
    const bool conPunto = testo.size() >= 3 && testo.at(2) == QLatin1Char('.');
    int ore = 0;
    int minuti = 0;
    if (!dueCifre(testo.left(2), &ore) || !dueCifre(testo.mid(conPunto ? 3 : 2, 2), &minuti))
        return 0;
    return ore * 60 + minuti;
}

int GiornoSettimana(const QDate& d)
{
    return d.dayOfWeek() % 7 + 1;
}

int InizioToken(const QString& testo, int caret)
{
    if (testo.isEmpty())
        return -1;
    return qBound(0, caret / 6 * 6, ultimoToken(testo));
}

int TokenPrecedente(const QString& testo, int inizio)
{
    return testo.isEmpty() ? -1 : qBound(0, inizio - 6, ultimoToken(testo));
}

int TokenSuccessivo(const QString& testo, int inizio)
{
    return testo.isEmpty() ? -1 : qBound(0, inizio + 6, ultimoToken(testo));
}

}  // namespace TestiPiano
