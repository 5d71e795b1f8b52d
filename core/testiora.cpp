#include "testiora.h"

#include <cstdlib>

namespace TestiOra {

QString MinutiInOre(int minuti, QChar sep, int larghezza)
{
    // The sign counts in the width ("-1.15" with width 2) and is kept when the hours are 0,
    // so that a negative total below one hour is not shown as a positive one.
    const bool negativo = minuti < 0;
    const int assoluti = std::abs(minuti);
    QString h = QString::number(assoluti / 60).rightJustified(negativo ? larghezza - 1 : larghezza, QLatin1Char('0'));
    if (negativo)
        h.prepend(QLatin1Char('-'));
    return h + sep + QString::number(assoluti % 60).rightJustified(2, QLatin1Char('0'));
}

QString MinutiInOrario(int minuti, QChar sep)
{
    const int ore = minuti / 60;
    if (ore > 23 || minuti < 0)
        return QStringLiteral("##") + sep + QStringLiteral("##");
    return QString::number(ore).rightJustified(2, QLatin1Char('0')) + sep
        + QString::number(minuti % 60).rightJustified(2, QLatin1Char('0'));
}

QString FormatoOra(QChar sep, const QTime& ora)
{
    return QStringLiteral("%1%2%3").arg(ora.hour(), 2, 10, QLatin1Char('0')).arg(sep).arg(ora.minute(), 2, 10, QLatin1Char('0'));
}

QString TokenTimbratura(const QString& verso, const QTime& ora, const ListaVersi& versi)
{
    if (verso.isEmpty())
        return {};
    QString lettera = QStringLiteral("?");
    for (const auto& [codice, descr] : versi)
        if (codice == verso && !descr.isEmpty()) {
            lettera = descr.left(1);
            break;
        }
    return lettera + QStringLiteral("%1%2").arg(ora.hour(), 2, 10, QLatin1Char('0')).arg(ora.minute(), 2, 10, QLatin1Char('0'));
}

double OraDaTesto(const QString& token)
{
    const int ore = token.mid(1, 2).toInt();
    const int minuti = token.mid(3, 2).toInt();
    return (ore * 60 + minuti) / 1440.0;
}

QString OrologioMinuti(int minuti)
{
    const int v = minuti + (minuti / 60) * 40;  // 510 -> 830, shown as 08:30
    return QStringLiteral("%1:%2").arg(v / 100, 2, 10, QLatin1Char('0')).arg(v % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace TestiOra
