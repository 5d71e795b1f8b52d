#pragma once
// The Italian national holidays of a year, for the holiday calendar's "Festività nazionali"
// command and the demo company.

#include <QDate>
#include <QList>

namespace Festivita {

// Easter Sunday of the Gregorian calendar.
QDate Pasqua(int anno);
// The national holidays of a year, in date order and each date once: New Year, Epiphany,
// Easter Monday, Liberation Day, Labour Day, Republic Day, Assumption, All Saints,
// Immaculate Conception, Christmas and St Stephen.
QList<QDate> Nazionali(int anno);

}  // namespace Festivita
