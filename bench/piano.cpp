// quorlin-bench-piano: the waits of the work-plan window, through its data module TdtmPiano
// on a processed demo company:
//   open     an employee and a month confirmed: the work-plan check, the grid's rows with
//            their punch texts and anomalies, the punch list of the first day, the totals
//   next     the same employee, the following month confirmed the same way
//   tutti    "Elabora tutti": every employee of the selection processed over a month not
//            processed yet, then the grid re-read and the totals summed again; the same
//            again on the processed month is reported apart
// open and next are the median over --ripetizioni employees spread over the company; the
// first open is cold (caches empty) and reported apart.
//
//   quorlin-bench-piano [--dipendenti N] [--ripetizioni R] [--motore sqlite|postgres]
//
// On PostgreSQL the company goes into a new database of the server the standard client
// variables name (PGHOST, PGPORT, PGUSER), dropped at the end.
//
// The last line is machine-readable:
//   RESULT employees=N open_ms=A next_ms=B cold_open_ms=C elabora_tutti_s=S peak_mb=M

#include "avanzamento.h"
#include "banco.h"
#include "database.h"
#include "demo.h"
#include "misura.h"
#include "tdtmelab.h"
#include "tdtmpiano.h"
#include "tdtmpresenze.h"
#include "verificapiano.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>

using Misura::argomento;
using Misura::piccoMemoriaMb;

namespace {

double mediana(QList<double> v)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// What the window's confirmation does once the dates are set: the check, the grid, the totals.
// The checksum of the totals keeps the work from being optimised away and shows the month
// was really read.
qint64 conferma(TdtmPresenze& dtm, TdtmPiano& piano, int idDip, const QDate& dal, const QDate& al)
{
    VerificaPiano verifica(dtm);
    AvanzamentoNullo nullo;
    if (!verifica.StartCheck(idDip, dal, al, nullo))
        return -1;
    TabellaPiano* tab = piano.wwTblPianoSomma();
    tab->Apri(idDip, dal, al);
    const TotaliPiano t = tab->Totali();
    return tab->Righe() + t.Ordinario + t.Eccedenza + t.Presenza + t.Carenza;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const int dipendenti = argomento(a, QStringLiteral("--dipendenti"), 1000);
    const int ripetizioni = std::max(1, argomento(a, QStringLiteral("--ripetizioni"), 20));
    Dialetto::Motore motore;
    if (!Banco::motore(a, &motore))
        return 2;
    // Three whole months of punches before a fixed "today": the first two are processed, the
    // first is opened and the second is the next month; the third has its work-plan days
    // (as the check makes them) but no figures yet, and "Elabora tutti" processes it.
    const QDate oggi(2026, 11, 1);
    const QDate mese1(2026, 8, 1), mese2(2026, 9, 1), mese3(2026, 10, 1);
    const QDate fine1 = mese2.addDays(-1), fine2 = mese3.addDays(-1), fine3 = oggi.addDays(-1);

    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    Banco::DatabaseServer server;
    if (motore == Dialetto::Motore::PostgreSQL) {
        try {
            server.c = Banco::aziendaSuServer(ini, QStringLiteral("quorlin_bench_piano_%1").arg(QCoreApplication::applicationPid()));
        } catch (const ErroreDb& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
            return 1;
        }
    }

    PresentatoreStderr presentatore;
    TdtmPresenze dtm;
    dtm.setPresentatore(&presentatore);
    double coldMs = 0, tuttiS = 0, ripetutoS = 0, grigliaMs = 0;
    QList<double> apri, successivo;
    qint64 controllo = 0;
    int giorniTutti = 0, giorniRipetuto = 0;
    try {
        QElapsedTimer t;
        t.start();
        const RisultatoDemo r = Banco::creaDemo(dtm, ini, dipendenti, int(mese1.daysTo(oggi)), oggi);
        std::printf("demo: %d dipendenti, %d timbrature in %.2f s\n", r.dipendenti, r.timbrature, t.elapsed() / 1000.0);

        // The plan gets its rows the way a company gets them: by processing.
        TdtmPiano piano(dtm);
        piano.BuildStructures();
        TabellaAnagSel* sel = piano.wwTblAnagSel();
        sel->Apri();
        QList<int> ids;
        for (int r = 0; r < sel->Righe(); ++r)
            ids << sel->Dipendente(r).Id;
        TdtmElab elab(dtm);
        AvanzamentoNullo nullo;
        t.restart();
        elab.setFinePianoMostrato(fine2);
        const EsitoElaborazione prima = elab.ElaboraDipendenti(ids, mese1, fine2, nullo);
        if (!prima.Errore.isEmpty()) {
            std::fprintf(stderr, "errore: %s\n", qPrintable(prima.Errore));
            return 1;
        }
        VerificaPiano verifica(dtm);
        if (!verifica.StartCheck(ids.value(0), mese3, fine3, nullo))
            return 1;
        dtm.db().svuotaGiornale();
        std::printf("preparazione: %d giorni-dipendente elaborati in %.2f s\n", prima.Giorni, t.elapsed() / 1000.0);

        // Employees spread over the selection, as a clerk going down the list would pick them.
        const int passo = std::max(1, int(ids.size()) / ripetizioni);
        for (int k = 0; k <= ripetizioni && k * passo < ids.size(); ++k) {
            const int id = ids.at(k * passo);
            t.restart();
            const qint64 c1 = conferma(dtm, piano, id, mese1, fine1);
            const double ms1 = t.nsecsElapsed() / 1e6;
            t.restart();
            const qint64 c2 = conferma(dtm, piano, id, mese2, fine2);
            const double ms2 = t.nsecsElapsed() / 1e6;
            if (c1 < 0 || c2 < 0) {
                std::fprintf(stderr, "verifica del piano annullata\n");
                return 1;
            }
            controllo += c1 + c2;
            if (k == 0) {
                coldMs = ms1;
                continue;
            }
            apri << ms1;
            successivo << ms2;
        }

        // "Elabora tutti" on the month shown, as the window runs it: first on the month not
        // processed yet, then again on the same month.
        TabellaPiano* tab = piano.wwTblPianoSomma();
        const auto elaboraTutti = [&](double* secondi, int* giorni) {
            if (conferma(dtm, piano, ids.value(0), mese3, fine3) < 0)
                return false;
            t.restart();
            elab.setFinePianoMostrato(fine3);
            const EsitoElaborazione esito = elab.ElaboraDipendenti(ids, mese3, fine3, nullo);
            const qint64 griglia = t.nsecsElapsed();
            tab->Aggiorna();
            const TotaliPiano tot = tab->Totali();
            *secondi = t.nsecsElapsed() / 1e9;
            grigliaMs = (t.nsecsElapsed() - griglia) / 1e6;
            if (!esito.Errore.isEmpty()) {
                std::fprintf(stderr, "errore: %s\n", qPrintable(esito.Errore));
                return false;
            }
            *giorni = esito.Giorni;
            controllo += tot.Ordinario;
            return true;
        };
        if (!elaboraTutti(&tuttiS, &giorniTutti) || !elaboraTutti(&ripetutoS, &giorniRipetuto))
            return 1;
    } catch (const ErroreDb& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 1;
    }

    const double picco = piccoMemoriaMb();
    const double apriMs = mediana(apri), successivoMs = mediana(successivo);
    std::printf("apertura di un mese: %.2f ms (mediana di %lld; la prima, a freddo, %.2f ms)\n", apriMs, qint64(apri.size()),
                coldMs);
    std::printf("mese successivo: %.2f ms (mediana di %lld)\n", successivoMs, qint64(successivo.size()));
    std::printf("elabora tutti: %d giorni-dipendente in %.3f s; di nuovo sullo stesso mese %d in %.3f s\n", giorniTutti, tuttiS,
                giorniRipetuto, ripetutoS);
    std::printf("  di cui griglia riletta e totali: %.2f ms\n", grigliaMs);
    std::printf("controllo: %lld\n", controllo);
    std::printf("memoria di picco: %.1f MB\n", picco);
    std::printf("motore: %s\n", qPrintable(dtm.db().connessioneAperta().descrizione()));
    std::printf("RESULT employees=%d open_ms=%.2f next_ms=%.2f cold_open_ms=%.2f elabora_tutti_s=%.3f peak_mb=%.1f\n", dipendenti,
                apriMs, successivoMs, coldMs, tuttiS, picco);
    return 0;
}
