// quorlin-bench-presenze: how long the presence board takes to build TPresAss for a large
// company: every employee with a work-plan day and the punches of that day and the day before.
//
//   quorlin-bench-presenze [--dipendenti N]
//
// The hourly view is measured first, then the band view. The last line is machine-readable:
//   RESULT employees=N seconds=S

#include "demo.h"
#include "misura.h"
#include "tabellone.h"
#include "tdtmpresenze.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using Misura::argomento;


int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const int dipendenti = argomento(a, QStringLiteral("--dipendenti"), 5000);
    const QDate oggi(2026, 11, 4);
    const QDate giorno = oggi.addDays(-1);

    QTemporaryDir dir;
    PresentatoreStderr presentatore;
    TdtmPresenze dtm;
    dtm.setPresentatore(&presentatore);
    dtm.Apri(QDir(dir.path()).filePath(QStringLiteral("PRES.INI")), TdtmPresenze::ModoCreazione::Sempre);
    OpzioniDemo o;
    o.dipendenti = dipendenti;
    o.giorni = 2;
    o.oggi = oggi;
    const RisultatoDemo demo = GeneraDemo(dtm, o);
    // The demo leaves the work plan to processing: each employee gets a day with one of the
    // timetables that have typical punches.
    dtm.db().esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario)\n"
                                   "SELECT Id, :Data, 0, 1 + (Id % 5) FROM Anagrafico"),
                    {{"Data", Sql::data(giorno)}});
    dtm.db().svuotaGiornale();

    ParametriTabellone p;
    p.Data = giorno;
    p.Ora = QTime(10, 0);
    QElapsedTimer t;
    t.start();
    const int righe = Tabellone::Costruisci(dtm, p);
    const double oraria = t.elapsed() / 1000.0;
    p.Fascia = true;
    p.Dalle = QTime(10, 0);
    p.Alle = QTime(12, 30);
    t.restart();
    Tabellone::Costruisci(dtm, p);
    const double fascia = t.elapsed() / 1000.0;
    std::printf("timbrature %d, righe del tabellone %d, vista oraria %.3f s, per fascia %.3f s\n", demo.timbrature, righe, oraria, fascia);
    std::printf("RESULT employees=%d seconds=%.3f\n", righe, oraria);
    return righe == demo.dipendenti ? 0 : 1;
}
