// quorlin-bench-importa: how fast punches are imported from a fixed-column file, against a
// floor made of the same Timbrature rows inserted with one prepared statement in one
// transaction, on an untouched copy of the same company.
//
//   quorlin-bench-importa [--dipendenti N] [--righe R]
//
// The file gives every employee of a demo company R / N punches, in the layout
// badge 1-10, direction 11, date 12-19 (GGMMAAAA), time 20-23. The last line is
// machine-readable:
//   RESULT lines=R seconds=S lines_per_s=L floor_seconds=F peak_mb=M

#include "avanzamento.h"
#include "database.h"
#include "demo.h"
#include "importatimbrature.h"
#include "istruzioneveloce.h"
#include "misura.h"
#include "tdtmpresenze.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

using Misura::argomento;
using Misura::piccoMemoriaMb;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const int dipendenti = argomento(a, QStringLiteral("--dipendenti"), 1000);
    const int righe = argomento(a, QStringLiteral("--righe"), 1000000);
    const QDate oggi(2026, 11, 1);

    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    const QString file = QDir(dir.path()).filePath(QStringLiteral("timbrature.dat"));
    const QString copia = QDir(dir.path()).filePath(QStringLiteral("copia.db"));
    PresentatoreStderr presentatore;
    QList<QPair<QString, int>> badge;  // code and employee
    QString produzione;
    {
        TdtmPresenze dtm;
        dtm.setPresentatore(&presentatore);
        dtm.Apri(ini, TdtmPresenze::ModoCreazione::Sempre);
        OpzioniDemo o;
        o.dipendenti = dipendenti;
        o.giorni = 1;
        o.oggi = oggi;
        GeneraDemo(dtm, o);
        QSqlQuery q = dtm.db().esegui(QStringLiteral("SELECT Codice, IdUtilizzatore FROM Badge WHERE DataFine IS NULL AND IdUtilizzatore > 0 "
                                                     "ORDER BY IdUtilizzatore"));
        while (q.next())
            badge.append({q.value(0).toString(), q.value(1).toInt()});
        q.finish();
        dtm.db().svuotaGiornale();
        produzione = dtm.db().fileProduzione();
    }
    if (badge.isEmpty() || !QFile::copy(produzione, copia)) {
        std::fprintf(stderr, "azienda dimostrativa non generata\n");
        return 1;
    }

    // Each employee punches in and out at changing times, day after day from 2027.
    struct Riga {
        int idDip;
        QString quando, verso;
    };
    QList<Riga> attese;
    attese.reserve(righe);
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QByteArray testo;
        const QDate inizio(2027, 1, 1);
        for (int i = 0; i < righe; ++i) {
            const auto& [codice, idDip] = badge.at(i % badge.size());
            const int k = i / int(badge.size());
            const QDate giorno = inizio.addDays(k / 4);
            const int minuti = 6 * 60 + (k % 4) * 180 + (i % 37);
            const char verso = k % 2 ? 'U' : 'E';
            testo += codice.toLatin1() + verso + giorno.toString(QStringLiteral("ddMMyyyy")).toLatin1()
                     + QByteArray::number(100 + minuti / 60).right(2) + QByteArray::number(100 + minuti % 60).right(2) + "\r\n";
            attese.append({idDip, Sql::testoDataMinuti(giorno, minuti), QString(QLatin1Char(verso))});
            if (testo.size() > (1 << 20)) {
                f.write(testo);
                testo.clear();
            }
        }
        f.write(testo);
    }

    FormatoFileAcq formato;
    formato.PosizBadge = 1;
    formato.LunghBadge = 10;
    formato.PosizVerso = 11;
    formato.CarIngresso = QStringLiteral("E");
    formato.CarUscita = QStringLiteral("U");
    formato.PosizData = 12;
    formato.FormatoData = QStringLiteral("GGMMAAAA");
    formato.PosizOra = 20;
    formato.LunghOra = 4;

    double secondi = 0;
    EsitoImportTimbrature esito;
    {
        TdtmPresenze dtm;
        dtm.setPresentatore(&presentatore);
        dtm.Apri(ini, TdtmPresenze::ModoCreazione::Mai);
        QElapsedTimer t;
        t.start();
        ImportaTimbrature importa(dtm, formato);
        AvanzamentoNullo avanzamento;
        esito = importa.Importa(file, avanzamento);
        dtm.db().salvaSuDisco();
        secondi = t.elapsed() / 1000.0;
    }
    if (!esito.completa()) {
        std::fprintf(stderr, "importazione incompleta: %d importate, %lld righe rifiutate\n", esito.importate, qint64(esito.avvisi.size()));
        return 1;
    }

    double floor = 0;
    {
        Database db;
        db.apri(Connessione::sqlite(copia), false);
        QElapsedTimer t;
        t.start();
        Transazione tr(db);
        IstruzioneVeloce ins(db, QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO) VALUES (:id, :v, :o, :vv, :vo)"));
        for (const Riga& r : std::as_const(attese)) {
            ins.lega(0, r.idDip);
            ins.lega(1, r.quando);
            ins.lega(2, r.quando);
            ins.lega(3, r.verso);
            ins.lega(4, r.verso);
            ins.esegui();
        }
        tr.conferma();
        db.salvaSuDisco();
        floor = t.elapsed() / 1000.0;
    }

    const double picco = piccoMemoriaMb();
    std::printf("importate: %d righe di %lld dipendenti in %.3f s\n", esito.importate, qint64(badge.size()), secondi);
    std::printf("pavimento: le stesse righe inserite in una transazione in %.3f s\n", floor);
    std::printf("RESULT lines=%d seconds=%.3f lines_per_s=%.0f floor_seconds=%.3f peak_mb=%.1f\n", righe, secondi,
                secondi > 0 ? righe / secondi : 0.0, floor, picco);
    return 0;
}
