#pragma once
// Why a day is anomalous: the anomalies the engine recorded for each processed work-plan
// day (table AnomalieGiorno, written with the day's figures in the day's transaction),
// with their descriptions from the anomaly catalogue (Segnalazioni). The engine replaces
// a day's rows each time it processes the day and removes them when the day is cancelled;
// whatever else returns a day to state 1 or deletes it calls Cancella in its transaction.

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

struct AnomaliaGiorno {
    int Codice = 0;     // Segnalazioni.Id
    QString Prodotto;   // "P" for every anomaly of the engine
    QString Descr;      // the catalogue's description; empty for a code it does not hold
};

namespace AnomalieGiorno {

// The employee's anomalies of the days from dal to al (both included), by day, in the
// order the engine recorded them. Throws ErroreDb.
QHash<QDate, QList<AnomaliaGiorno>> Leggi(const Database& db, int idDip, const QDate& dal, const QDate& al);
// One anomaly as the windows and reports show it: "212 Presenza inferiore ...".
QString Testo(const AnomaliaGiorno& a);
// The texts of a day, each code once (a direction corrected on three punches is one line).
QStringList Testi(const QList<AnomaliaGiorno>& anomalie);
// Removes the employee's anomalies of the days from dal to al. Throws ErroreDb.
void Cancella(Database& db, int idDip, const QDate& dal, const QDate& al);

}  // namespace AnomalieGiorno
