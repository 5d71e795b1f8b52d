// quorlin-bench-stampe: how long the work-plan totals and detail reports of a processed
// company take to reach a file, as PDF and as CSV. Each timing is the whole wait of the
// "stampa" command after the company is open: the report read from the database into its
// document, then written by the one call that saves any report.
//
//   quorlin-bench-stampe [--dipendenti N] [--giorni D] [--ripetizioni R] [--conserva CARTELLA]
//
// --conserva keeps the four outputs in CARTELLA, to compare two versions of the reports.
// The company is made and processed as quorlin-bench makes it. Every output is checked: a PDF
// with its pages, a CSV with one record per employee (totals) or per employee heading, day
// and total line (detail); a missing or short output fails the run (exit status 1). With R
// repetitions the best time of each is kept.
//
// The PDF needs a GUI application for its fonts; with no platform chosen the offscreen one is
// used. The last line is machine-readable:
//   RESULT employees=N totali_pdf_s=S totali_csv_s=S dettaglio_pdf_s=S dettaglio_csv_s=S pages=P totali_pages=P peak_mb=M

#include "avanzamento.h"
#include "banco.h"
#include "catalogo.h"
#include "database.h"
#include "demo.h"
#include "dialetto.h"
#include "esportazione.h"
#include "misura.h"
#include "rptpiano.h"
#include "tdtmelab.h"
#include "tdtmpresenze.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <limits>

using Misura::argomento;
using Misura::piccoMemoriaMb;

namespace {

// Pages of a PDF file: its page objects ("/Type /Page", not the "/Type /Pages" tree).
int paginePdf(const QByteArray& pdf)
{
    if (!pdf.startsWith("%PDF-"))
        return 0;
    int n = 0;
    const QByteArray chiave("/Type /Page");
    for (qsizetype i = pdf.indexOf(chiave); i >= 0; i = pdf.indexOf(chiave, i + 1)) {
        const qsizetype dopo = i + chiave.size();
        if (dopo < pdf.size() && pdf.at(dopo) != 's')
            ++n;
    }
    return n;
}

// Records of a CSV export: every record ends with CR LF, and the demo company has no line
// break inside a value.
int recordCsv(const QByteArray& csv)
{
    return csv.startsWith("\xEF\xBB\xBF") ? int(csv.count("\r\n")) : 0;
}

QByteArray leggi(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double secondiCpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Misure {
    double secondi = std::numeric_limits<double>::max();
    double documento = std::numeric_limits<double>::max();  // of which reading the report into its document
    // Processor time of the same run: on a machine shared with other work it tells a change of
    // the code from a busy moment.
    double cpu = std::numeric_limits<double>::max();
    QByteArray uscita;
};

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList a = app.arguments();
    const int dipendenti = argomento(a, QStringLiteral("--dipendenti"), 1000);
    const int giorni = argomento(a, QStringLiteral("--giorni"), 31);
    const int ripetizioni = std::max(1, argomento(a, QStringLiteral("--ripetizioni"), 1));
    // A fixed "today" makes runs comparable from one day to the next.
    const QDate oggi(2026, 11, 1);
    const QDate dal = oggi.addDays(-giorni), al = oggi.addDays(-1);

    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    PresentatoreStderr presentatore;
    TdtmPresenze dtm;
    dtm.setPresentatore(&presentatore);
    const RisultatoDemo demo = Banco::creaDemo(dtm, ini, dipendenti, giorni, oggi);
    dtm.db().svuotaGiornale();
    {
        const EsitoElaborazione esito = Banco::elaboraTutti(dtm, dal, al);
        if (!esito.Errore.isEmpty())
            return 1;
        std::printf("demo: %d dipendenti, %d timbrature, %d giorni-dipendente elaborati\n", demo.dipendenti, demo.timbrature,
                    esito.Giorni);
    }

    // What the reports must list, counted straight from the work plan: the totals have a line
    // per employee with a badge, the detail a heading, the days and a total per employee.
    const Parametri periodo = {{"Dal", Sql::data(dal)}, {"Fine", Sql::data(al.addDays(1))}};
    QSqlQuery q = dtm.db().esegui(QStringLiteral("SELECT COUNT(DISTINCT IdDip), COUNT(*) FROM PianoSomma WHERE Data >= :Dal AND Data < :Fine"),
                                  periodo);
    q.next();
    const int conGiorni = q.value(0).toInt(), righeGiorni = q.value(1).toInt();
    q = dtm.db().esegui(QStringLiteral("SELECT COUNT(DISTINCT PianoSomma.IdDip) FROM PianoSomma, Badge\n"
                                       "  WHERE Badge.IdUtilizzatore = PianoSomma.IdDip AND Data >= :Dal AND Data < :Fine"),
                        periodo);
    q.next();
    const int conBadge = q.value(0).toInt();
    q.finish();
    const int attesiTotali = 1 + conBadge + 1;
    const int attesiDettaglio = 1 + 2 * conGiorni + righeGiorni;

    // The "stampa" command's work once the company is open, for one report in one form.
    dtm.CaricaMemoria();
    const auto stampa = [&](int codice, Stampa::Formato formato) {
        Misure m;
        const QString file = QDir(dir.path()).filePath(QStringLiteral("cp%1.%2").arg(codice).arg(Stampa::EstensioneFormato(formato)));
        for (int r = 0; r < ripetizioni; ++r) {
            QElapsedTimer t;
            t.start();
            const double cpuInizio = secondiCpu();
            ParametriPiano par;
            par.titolo = Stampa::DescrizioneStampa(dtm, QStringLiteral("CP"), codice);
            par.dal = dal;
            par.al = al;
            par.rigaSelezione = Stampa::RigaSelezionePiano(dtm, dal, al);
            const std::optional<DocumentoStampa> doc = Stampa::DocumentoPiano(dtm, codice, par);
            m.documento = std::min(m.documento, t.elapsed() / 1000.0);
            if (doc)
                Stampa::Salva(*doc, formato, file);
            m.secondi = std::min(m.secondi, t.elapsed() / 1000.0);
            m.cpu = std::min(m.cpu, secondiCpu() - cpuInizio);
        }
        m.uscita = leggi(file);
        if (const int i = int(a.indexOf(QStringLiteral("--conserva"))); i >= 0) {
            const QString copia = QDir(a.value(i + 1)).filePath(QFileInfo(file).fileName());
            QFile::remove(copia);
            if (!QFile::copy(file, copia))
                std::fprintf(stderr, "--conserva: copia non riuscita\n");
        }
        return m;
    };

    try {
        const Misure totPdf = stampa(Stampa::kTotali, Stampa::Formato::Pdf);
        const Misure totCsv = stampa(Stampa::kTotali, Stampa::Formato::Csv);
        const Misure detPdf = stampa(Stampa::kDettaglio, Stampa::Formato::Pdf);
        const Misure detCsv = stampa(Stampa::kDettaglio, Stampa::Formato::Csv);

        const int pagineTotali = paginePdf(totPdf.uscita), pagineDettaglio = paginePdf(detPdf.uscita);
        const int recordTotali = recordCsv(totCsv.uscita), recordDettaglio = recordCsv(detCsv.uscita);
        const double picco = piccoMemoriaMb();
        std::printf("totali: PDF %.3f s (%d pagine, %lld byte), CSV %.3f s (%d record su %d attesi); documento %.3f s\n",
                    totPdf.secondi, pagineTotali, qint64(totPdf.uscita.size()), totCsv.secondi, recordTotali, attesiTotali,
                    totCsv.documento);
        std::printf("dettaglio: PDF %.3f s (%d pagine, %lld byte), CSV %.3f s (%d record su %d attesi); documento %.3f s\n",
                    detPdf.secondi, pagineDettaglio, qint64(detPdf.uscita.size()), detCsv.secondi, recordDettaglio, attesiDettaglio,
                    detCsv.documento);
        std::printf("tempo di processore: totali PDF %.3f s, CSV %.3f s; dettaglio PDF %.3f s, CSV %.3f s\n", totPdf.cpu, totCsv.cpu,
                    detPdf.cpu, detCsv.cpu);
        std::printf("memoria di picco: %.1f MB\n", picco);
        std::printf("RESULT employees=%d totali_pdf_s=%.3f totali_csv_s=%.3f dettaglio_pdf_s=%.3f dettaglio_csv_s=%.3f pages=%d "
                    "totali_pages=%d peak_mb=%.1f\n",
                    dipendenti, totPdf.secondi, totCsv.secondi, detPdf.secondi, detCsv.secondi, pagineDettaglio, pagineTotali, picco);
        // The detail puts every employee on a page of their own.
        const bool validi = pagineTotali > 0 && pagineDettaglio >= conGiorni && conGiorni > 0 && recordTotali == attesiTotali
            && recordDettaglio == attesiDettaglio;
        if (!validi)
            std::fprintf(stderr, "uscite non valide\n");
        return validi ? 0 : 1;
    } catch (const ErroreStampa& e) {
        std::fprintf(stderr, "stampa %d: %s\n", e.numero(), qPrintable(e.dettaglio()));
    } catch (const ErroreDb& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
    }
    return 1;
}
