#pragma once
// The punches of one employee's day as the punch viewer shows them (wwQryTimbr): the
// employee's name and, per punch in time order, the original and the valid direction
// letter and time side by side. Headless; TfrmVisTimb only shows the result.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class TdtmPresenze;

struct RigaVisTimb {
    QString Originali;
    QString Variate;
};

struct TimbratureGiorno {
    bool trovato = false;  // the employee exists
    QString Cognome;
    QString Nome;
    // One row per punch; one row with blank texts when the employee has none that day.
    QList<RigaVisTimb> righe;
};

namespace VisTimbrature {

constexpr int kLunghezzaTesto = 12;

// A direction letter, four blanks and the time "hh:mm"; a missing time gives five blanks
// when `spaziSeVuota` (the original column, so both columns keep their width), nothing
// otherwise.
QString Testo(const QString& lettera, const QDateTime& ora, bool spaziSeVuota);

// The entry letter for "E", the exit letter for "U", a single blank for anything else.
QString Lettera(const TdtmPresenze& dtm, const QString& verso);

// Runs the viewer's query for the employee and the day. Throws ErroreDb.
TimbratureGiorno Leggi(TdtmPresenze& dtm, int idDip, const QDate& giorno);

}  // namespace VisTimbrature
