#pragma once
// Time texts shared by the windows and the reports.

#include <QChar>
#include <QList>
#include <QPair>
#include <QString>
#include <QTime>

namespace TestiOra {

// Hours (truncated) padded to `larghezza` digits, sep, the absolute minutes in two digits:
// -75 -> "-1.15", 605 with width 3 -> "010:05".
QString MinutiInOre(int minuti, QChar sep, int larghezza);
// "HH" sep "MM" for a time of day; "##" sep "##" when the hours are above 23 or negative.
QString MinutiInOrario(int minuti, QChar sep);
QString FormatoOra(QChar sep, const QTime& ora);
// Direction list: pairs of code and description, as the work plan fills it.
using ListaVersi = QList<QPair<QString, QString>>;
// First letter of the direction's description (or "?"), then hour and minute: "E0830".
QString TokenTimbratura(const QString& verso, const QTime& ora, const ListaVersi& versi);
// Time of day of a punch token ("E0830" -> 08:30) as a fraction of a day.
double OraDaTesto(const QString& token);
// Clock display of a minute count as the timetable windows show it ("08:30" for 510).
QString OrologioMinuti(int minuti);

}  // namespace TestiOra
