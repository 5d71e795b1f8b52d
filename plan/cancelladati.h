#pragma once
// Bulk deletion of the data of many employees (the "Cancellazione Dati" window and the cancella
// command): the punches of a period, the punches and the work plan of a period, or whole
// employees with everything that refers to them.
//
// The ids are read first, then each employee is one transaction: a failure rolls that employee
// back whole, stops the run and names him with the engine's reason; the employees before him
// stay deleted. Periods are whole days, from 00:00 of `dal` to 00:00 of the day after `al`.

#include <QDate>
#include <QList>
#include <QString>

class Avanzamento;
class TdtmPresenze;

namespace CancellaDati {

enum class Tipo { Timbrature, Piano, Completa };

// "timbrature", "piano" or "completa" (the cancella command's --tipo); false for any other text.
bool TipoDaTesto(const QString& testo, Tipo* tipo);

// What a run deletes (or would delete): punches, work-plan days (reset or removed), employees.
struct Conteggio {
    qint64 timbrature = 0;
    qint64 giorni = 0;
    int dipendenti = 0;
};

struct Esito {
    Conteggio cancellati;  // committed, employee by employee
    bool annullato = false;
    int idErrore = 0;      // the employee whose deletion failed and was undone (0: none)
    QString dipendente;    // "Cognome Nome (Id n)" of idErrore
    QString errore;        // the engine's reason
    bool ok() const { return idErrore == 0 && !annullato; }
};

// Ids of the employee table: Anagrafico, or the selection table of the work database (`lavoro`)
// the employee query filled, its name cut before the first "."; in Id order. Throws ErroreDb,
// also when the table is not there.
QList<int> Dipendenti(TdtmPresenze& dtm, const QString& tabella = QStringLiteral("Anagrafico"), bool lavoro = false);

// Counts what Esegui would delete, without deleting. A complete deletion ignores the period.
Conteggio Prevedi(TdtmPresenze& dtm, Tipo tipo, const QList<int>& ids, const QDate& dal, const QDate& al);

// Deletes, one transaction per employee of `ids` in their order; one phase of `avanzamento`
// titled `titolo`, asked between employees whether to stop. Never throws for a database
// failure: it ends the run and is reported in the Esito.
Esito Esegui(TdtmPresenze& dtm, Tipo tipo, const QList<int>& ids, const QDate& dal, const QDate& al,
             Avanzamento& avanzamento, const QString& titolo);

}  // namespace CancellaDati
