#pragma once
// The presence board's data: who is in at a time of a day (hourly view) or what each employee
// did during a band of that day (band view), built into the work table TPresAss.
//
// The board's rows come from one statement (the employee with the profile valid on the day and
// the timetable of his work-plan day); the status of each row is then computed here from the
// punches of the day and of the day before and from the timetable's typical punches, all read
// with a few set-based statements, and written back in one transaction.

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

class TdtmPresenze;

// What the present/absent window hands to the board.
struct ParametriTabellone {
    QDate Data;
    bool Fascia = false;  // band view ("Dalle" - "Alle"), else hourly view ("Ora")
    QTime Ora;
    QTime Dalle;
    QTime Alle;
    bool Presenti = true;  // keep "PR" and "ES"
    bool Assenti = true;   // keep every other status
    // Selection table of the work database filled by the employee query (its name up to the
    // first "."); empty: every employee.
    QString Selezione;
};

// One punch of the day or of the day before, as the status rules see it.
struct TimbraturaTabellone {
    int secondi = 0;  // from the start of the day before the reference date
    QChar verso;      // VersoV
};

// One typical punch of a timetable.
struct TimbraturaTipo {
    QChar verso;
    int ore = 0;  // minute of day
    QChar gio;
};

// One row of TPresAss.
struct RigaTabellone {
    int Id = 0;
    QString Matricola;
    QString Cognome;
    QString Nome;
    QString Stato;
    QString StatoEsteso;
    QString TipoG;
    QString ModalTimbra;
    int IdOrario = 0;  // 0: no timetable
    QString Dipendente() const { return Cognome + QLatin1Char(' ') + Nome; }
};

namespace Tabellone {

// Status codes.
inline const QString kPresente = QStringLiteral("PR");
inline const QString kAssente = QStringLiteral("AS");
inline const QString kFuoriOrario = QStringLiteral("AR");
inline const QString kNessunaTimbratura = QStringLiteral("AP");
inline const QString kParziale = QStringLiteral("AZ");
inline const QString kEsente = QStringLiteral("ES");

// The status of one employee. `timbrature` are his punches of the reference date and of the
// day before in time order; `tipiche` the typical punches of his timetable in minute order;
// `conOrario` false when his work-plan day has no timetable.
QString Stato(const ParametriTabellone& p, const QString& modalTimbra, bool conOrario, const QList<TimbraturaTabellone>& timbrature,
              const QList<TimbraturaTipo>& tipiche);

// Present for the category choice: "PR" and "ES".
bool ContaPresente(const QString& stato);

// Empties TPresAss and fills it for p; returns the rows kept. Throws ErroreDb; a selection
// table that does not exist is an ErroreDb too.
int Costruisci(TdtmPresenze& dtm, const ParametriTabellone& p);

// The sort of a grid column: the fields of TPresAss's index "IDX" + the field's name in
// capitals, or empty when there is no such index.
QStringList CampiIndice(const QString& campo);
// TPresAss's rows, in the order of the index of `campo` (by Matricola when it has none).
QList<RigaTabellone> Righe(TdtmPresenze& dtm, const QString& campo = QStringLiteral("Matricola"));

}  // namespace Tabellone
