// quorlin-bench: how fast the engine processes a whole company through the batch path,
// against a floor made of the same PianoSomma, AnomalieGiorno and Timbrature row writes
// done directly in one transaction, through the same statements bound by position the
// engine writes with.
//
//   quorlin-bench [--dipendenti N] [--giorni D] [--motore sqlite|postgres] [--conserva FILE]
//
// --conserva keeps the processed company (SQLite) in FILE, to compare two engines' results
// with tools/confronta_db.sh.
//
// On PostgreSQL the company goes into a new database of the server the standard client
// variables name (PGHOST, PGPORT, PGUSER, as the PRES.INI keys left empty take them), dropped
// at the end.
//
// The last line is machine-readable:
//   RESULT employees=N days=D seconds=S floor_seconds=F ratio=R peak_mb=M engine_peak_mb=E
//
// peak_mb is the whole run's (the floor holds every row it writes again); engine_peak_mb
// counts from the start of the processing, to show it does not grow with the period.

#include "avanzamento.h"
#include "banco.h"
#include "database.h"
#include "demo.h"
#include "istruzioneveloce.h"
#include "misura.h"
#include "tdtmelab.h"
#include "tdtmpresenze.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using Misura::argomento;
using Misura::azzeraPiccoMemoria;
using Misura::piccoMemoriaMb;

namespace {



// Where the run keeps the company and its untouched copy for the floor run.
struct Luoghi {
    Dialetto::Motore motore = Dialetto::Motore::SQLite;
    Connessione azienda, copia;

    // The copy is taken with the company's connection closed: a server copies a database
    // nobody is connected to.
    void copiaAzienda()
    {
        if (motore == Dialetto::Motore::SQLite)
            QFile::copy(azienda.file, copia.file);
        else
            Database::creaSuServer(copia, azienda.database);
    }
    ~Luoghi()
    {
        if (motore == Dialetto::Motore::SQLite)
            return;
        try {
            Database::eliminaSuServer(copia);
            Database::eliminaSuServer(azienda);
        } catch (const ErroreDb& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        }
    }
};

// A value read back, bound as the engine binds it: integers as integers, texts as texts.
void legaValore(IstruzioneVeloce& q, int posizione, const QVariant& v)
{
    if (v.isNull())
        q.legaNull(posizione);
    else if (v.typeId() == QMetaType::QString)
        q.lega(posizione, v.toString());
    else
        q.lega(posizione, v.toLongLong());
}

struct Scrittura {
    int idDip;
    QString dataO, dataV, verso;
};

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const int dipendenti = argomento(a, QStringLiteral("--dipendenti"), 1000);
    const int giorni = argomento(a, QStringLiteral("--giorni"), 31);
    Luoghi banco;
    if (!Banco::motore(a, &banco.motore))
        return 2;
    // A fixed "today" makes runs comparable from one day to the next.
    const QDate oggi(2026, 11, 1);
    const QDate dal = oggi.addDays(-giorni), al = oggi.addDays(-1);

    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    if (banco.motore == Dialetto::Motore::PostgreSQL) {
        const QString nome = QStringLiteral("quorlin_bench_%1").arg(QCoreApplication::applicationPid());
        banco.copia.motore = Dialetto::Motore::PostgreSQL;
        banco.copia.database = nome + QStringLiteral("_copia");
        banco.copia = banco.copia.completata();
        try {
            banco.azienda = Banco::aziendaSuServer(ini, nome);
        } catch (const ErroreDb& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
            return 1;
        }
    }
    PresentatoreStderr presentatore;
    double secondi = 0, secondiDemo = 0, piccoMotore = 0;
    int giorniElaborati = 0, giorniAnomali = 0;
    {
        TdtmPresenze dtm;
        dtm.setPresentatore(&presentatore);
        QElapsedTimer t;
        t.start();
        const RisultatoDemo r = Banco::creaDemo(dtm, ini, dipendenti, giorni, oggi);
        secondiDemo = t.elapsed() / 1000.0;
        std::printf("demo: %d dipendenti, %d timbrature in %.2f s\n", r.dipendenti, r.timbrature, secondiDemo);

        dtm.db().svuotaGiornale();
        banco.azienda = dtm.db().connessioneAperta();
        if (banco.motore == Dialetto::Motore::SQLite)
            banco.copia = Connessione::sqlite(QDir(dir.path()).filePath(QStringLiteral("copia.db")));
    }
    // Keep an untouched copy of the company for the floor run.
    try {
        banco.copiaAzienda();
    } catch (const ErroreDb& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 1;
    }
    {
        TdtmPresenze dtm;
        dtm.setPresentatore(&presentatore);
        dtm.Apri(ini, TdtmPresenze::ModoCreazione::Mai);
        dtm.setOggi(oggi);
        // The batch path: the same calls the "elabora" command makes.
        azzeraPiccoMemoria();
        QElapsedTimer t;
        t.start();
        const EsitoElaborazione esito = Banco::elaboraTutti(dtm, dal, al);
        if (!esito.Errore.isEmpty())
            return 1;
        giorniElaborati = esito.Giorni;
        giorniAnomali = esito.GiorniConAnomalie;
        dtm.db().salvaSuDisco();
        secondi = t.elapsed() / 1000.0;
        piccoMotore = piccoMemoriaMb();
    }

    // What the engine wrote, to be written again directly on the untouched copy.
    QList<QVariantList> piano;
    QList<QVariantList> anomalie;
    QList<Scrittura> timbrature;
    {
        Database db;
        db.apri(banco.azienda, false);
        QSqlQuery p = db.esegui(QStringLiteral("SELECT IdDip, Data, Stato, IdOrario, ValOrdinario, ValEccedenza, ValPresenza, ValCarenza FROM PianoSomma"));
        while (p.next()) {
            QVariantList r;
            for (int c = 0; c < 8; ++c)
                r << p.value(c);
            piano << r;
        }
        QSqlQuery a = db.esegui(QStringLiteral("SELECT IdDip, Data, Prog, Prod, IdSegnalaz FROM AnomalieGiorno"));
        while (a.next())
            anomalie << QVariantList{a.value(0), a.value(1), a.value(2), a.value(3), a.value(4)};
        QSqlQuery t = db.esegui(QStringLiteral("SELECT IdDip, DataO, DataV, VersoV FROM Timbrature WHERE DataV <> DataO OR VersoV <> VersoO"));
        while (t.next())
            timbrature.append({t.value(0).toInt(), t.value(1).toString(), t.value(2).toString(), t.value(3).toString()});
    }
    double floor = 0;
    {
        Database db;
        db.apri(banco.copia, false);
        QElapsedTimer t;
        t.start();
        Transazione tr(db);
        IstruzioneVeloce ins(db, QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (:IdDip, :Data, 1)"));
        IstruzioneVeloce upd(db, QStringLiteral("UPDATE PianoSomma SET Stato = :Stato, IdOrario = :IdOrario, ValOrdinario = :Ord, "
                                                "ValEccedenza = :Ecc, ValPresenza = :Pres, ValCarenza = :Car WHERE IdDip = :IdDip AND Data = :Data"));
        for (const QVariantList& r : std::as_const(piano)) {
            legaValore(ins, 0, r[0]);
            legaValore(ins, 1, r[1]);
            ins.esegui();
            for (int c = 0; c < 6; ++c)
                legaValore(upd, c, r[2 + c]);
            legaValore(upd, 6, r[0]);
            legaValore(upd, 7, r[1]);
            upd.esegui();
        }
        IstruzioneVeloce ia(db, QStringLiteral("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, Prod, IdSegnalaz) VALUES (:IdDip, :Data, :Prog, :Prod, :IdSeg)"));
        for (const QVariantList& r : std::as_const(anomalie)) {
            for (int c = 0; c < 5; ++c)
                legaValore(ia, c, r[c]);
            ia.esegui();
        }
        IstruzioneVeloce ut(db, QStringLiteral("UPDATE Timbrature SET DataV = :Nuova, VersoV = :Verso WHERE IdDip = :IdDip AND DataV = :DataV"));
        for (const Scrittura& s : std::as_const(timbrature)) {
            ut.lega(0, s.dataV);
            ut.lega(1, s.verso);
            ut.lega(2, s.idDip);
            ut.lega(3, s.dataO);
            ut.eseguiSalvoVincoli();
        }
        tr.conferma();
        db.salvaSuDisco();
        floor = t.elapsed() / 1000.0;
    }

    if (const int i = a.indexOf(QStringLiteral("--conserva")); i >= 0 && banco.motore == Dialetto::Motore::SQLite) {
        QFile::remove(a.value(i + 1));
        if (!QFile::copy(banco.azienda.file, a.value(i + 1)))
            std::fprintf(stderr, "--conserva: copia non riuscita\n");
    }
    const double picco = piccoMemoriaMb();
    const double ratio = floor > 0 ? secondi / floor : 0;
    std::printf("elaborati: %d giorni-dipendente (%d con anomalie) in %.3f s = %.0f giorni-dipendente/s\n", giorniElaborati,
                giorniAnomali, secondi, secondi > 0 ? giorniElaborati / secondi : 0.0);
    std::printf("pavimento: %lld righe di piano, %lld anomalie e %lld timbrature riscritte in %.3f s\n", qint64(piano.size()),
                qint64(anomalie.size()), qint64(timbrature.size()), floor);
    std::printf("memoria di picco: %.1f MB in tutto, %.1f MB durante l'elaborazione\n", picco, piccoMotore);
    std::printf("motore: %s\n", qPrintable(banco.azienda.descrizione()));
    std::printf("RESULT employees=%d days=%d seconds=%.3f floor_seconds=%.3f ratio=%.2f peak_mb=%.1f engine_peak_mb=%.1f\n", dipendenti,
                giorni, secondi, floor, ratio, picco, piccoMotore);
    return 0;
}
