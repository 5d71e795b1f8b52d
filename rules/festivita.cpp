#include "festivita.h"

#include <algorithm>

namespace Festivita {

QDate Pasqua(int anno)
{
    // Anonymous Gregorian algorithm (Meeus/Jones/Butcher).
    const int a = anno % 19, b = anno / 100, c = anno % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int mese = (h + l - 7 * m + 114) / 31, giorno = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(anno, mese, giorno);
}

QList<QDate> Nazionali(int anno)
{
    QList<QDate> f{QDate(anno, 1, 1),  QDate(anno, 1, 6),   Pasqua(anno).addDays(1), QDate(anno, 4, 25),
                   QDate(anno, 5, 1),  QDate(anno, 6, 2),   QDate(anno, 8, 15),      QDate(anno, 11, 1),
                   QDate(anno, 12, 8), QDate(anno, 12, 25), QDate(anno, 12, 26)};
    // Easter Monday falls between 23 March and 26 April: it may come after Liberation Day,
    // or be Liberation Day itself (2011), and a calendar holds each date once.
    std::sort(f.begin(), f.end());
    f.erase(std::unique(f.begin(), f.end()), f.end());
    return f;
}

}  // namespace Festivita
