// quorlin-provacrash: what kills, crashes and copies started together do to a company.
//
//   quorlin-provacrash QUORLIN [--breve] [--uccisioni N] [--giri R] [--copie C]
//                      [--uccisioni-avvio K] [--dipendenti D] [--giorni G] [--seme S]
//
// On a demo company whose production database lives outside the application folder (an
// explicit PATH, the key a damaged PRES.INI loses first):
//  1. N times: `elabora` killed with SIGKILL at a random moment, then the database must pass
//     the engine's integrity check, hold every recorded punch exactly once, and after two
//     complete runs equal a company processed twice without interruption (a day whose only
//     anomaly was a corrected direction closes on the second pass).
//  2. R rounds of C copies started together on a PRES.INI that lacks its defaults: every copy
//     succeeds and PRES.INI keeps PATH, the comment and the keys of others.
//  3. K starts killed at a random moment: PRES.INI is always the one before or the completed
//     one, never empty or partial, and the next start is never blocked by a lock left behind.
// The last line sums up; the exit status is 0 when nothing failed. --breve is the form CI
// runs in seconds; the long form's figures go into the closing notes of a change.
// With QUORLIN_MOTORE=PostgreSQL the company lives in a database of its own on the server the
// client variables name (PGHOST, PGPORT, PGUSER), put back from a copy after every kill.

#include "database.h"
#include "fileini.h"
#include "presenzecfg.h"
#include "processi.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

QString g_quorlin;
const QDate kOggi(2026, 12, 9);

using Prova::argomento;
using Prova::riga;
using Prova::righe;
using Prova::scriviFile;
using Prova::uccidiDopo;

QProcess* avvia(const QStringList& argomenti)
{
    return Prova::avvia(g_quorlin, argomenti);
}

int esegui(const QStringList& argomenti, QString* uscita = nullptr)
{
    return Prova::esegui(g_quorlin, argomenti, uscita);
}

bool copiaCartella(const QString& da, const QString& a)
{
    QDir(a).removeRecursively();
    if (!QDir().mkpath(a))
        return false;
    for (const QString& f : QDir(da).entryList(QDir::Files))
        if (!QFile::copy(QDir(da).filePath(f), QDir(a).filePath(f)))
            return false;
    return true;
}

// The processed state of the company: work-plan days and punches as stored.
QStringList stato(Database& db)
{
    return righe(db, QStringLiteral("SELECT * FROM PianoSomma ORDER BY IdDip, Data"))
        + righe(db, QStringLiteral("SELECT * FROM Timbrature ORDER BY IdDip, DataV"));
}

// Punches as they were recorded: processing may move their valid time and direction, never
// these fields.
QStringList registrate(Database& db)
{
    return righe(db, QStringLiteral("SELECT IdDip, DataO, VersoO, Caus, IdTerminale FROM Timbrature WHERE DataO IS NOT NULL "
                                    "ORDER BY IdDip, DataO, VersoO"));
}

QString primaDifferenza(const QStringList& a, const QStringList& b)
{
    for (int i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a.at(i) != b.at(i))
            return a.at(i) + QStringLiteral("  <>  ") + b.at(i);
    return QStringLiteral("%1 righe <> %2 righe").arg(a.size()).arg(b.size());
}

struct Azienda {
    QString app, ini, dati, originale;
    Connessione produzione;  // on a server: the company's database; `originale` is its copy
    QString iniMinimo;  // PRES.INI without the defaults: PATH, a comment, a key of others
    QStringList elabora;
};

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 2 || a.at(1).startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "uso: quorlin-provacrash QUORLIN [--breve] [--uccisioni N] [--giri R] [--copie C] "
                             "[--uccisioni-avvio K] [--dipendenti D] [--giorni G] [--seme S]\n");
        return 2;
    }
    g_quorlin = a.at(1);
    const bool breve = a.contains(QStringLiteral("--breve"));
    const int uccisioni = argomento(a, QStringLiteral("--uccisioni"), breve ? 3 : 200);
    const int giri = argomento(a, QStringLiteral("--giri"), breve ? 2 : 30);
    const int copie = argomento(a, QStringLiteral("--copie"), breve ? 4 : 8);
    const int uccisioniAvvio = argomento(a, QStringLiteral("--uccisioni-avvio"), breve ? 10 : 300);
    const int dipendenti = argomento(a, QStringLiteral("--dipendenti"), breve ? 6 : 40);
    const int giorni = argomento(a, QStringLiteral("--giorni"), breve ? 10 : 30);
    const quint32 seme = quint32(argomento(a, QStringLiteral("--seme"), int(QRandomGenerator::system()->bounded(1000000))));
    QRandomGenerator caso(seme);
    riga(QStringLiteral("seme %1, %2 dipendenti x %3 giorni").arg(seme).arg(dipendenti).arg(giorni));

    QTemporaryDir tmp;
    Azienda az;
    az.app = QDir(tmp.path()).filePath(QStringLiteral("app"));
    az.ini = QDir(az.app).filePath(QStringLiteral("PRES.INI"));
    az.dati = QDir(tmp.path()).filePath(QStringLiteral("dati"));
    az.originale = QDir(tmp.path()).filePath(QStringLiteral("dati-originale"));
    QDir().mkpath(az.app);
    const QString motore = qEnvironmentVariable("QUORLIN_MOTORE");
    if (!motore.isEmpty() && !Dialetto::motoreDaNome(motore, &az.produzione.motore)) {
        riga(QStringLiteral("QUORLIN_MOTORE=%1: motore sconosciuto").arg(motore));
        return 2;
    }
    const bool server = az.produzione.motore == Dialetto::Motore::PostgreSQL;
    QString righeServer;
    if (server) {
        az.produzione.database = QStringLiteral("quorlin_crash_%1").arg(QCoreApplication::applicationPid());
        az.produzione = az.produzione.completata();
        az.originale = az.produzione.database + QStringLiteral("_originale");
        righeServer = QStringLiteral("Motore=PostgreSQL\r\nDatabase=%1\r\n").arg(az.produzione.database);
        scriviFile(az.ini, (QStringLiteral("[Ambiente START]\r\n") + righeServer).toUtf8());
    } else {
        az.produzione = Connessione::sqlite(QDir(az.dati).filePath(QStringLiteral("DBPresenze.db")));
    }
    // The company's database as the copy left it.
    const auto ripristina = [&] {
        if (!server)
            return copiaCartella(az.originale, az.dati);
        try {
            Database::eliminaSuServer(az.produzione);
            Database::creaSuServer(az.produzione, az.originale);
            return true;
        } catch (const ErroreDb& e) {
            riga(e.testo());
            return false;
        }
    };
    struct Pulizia {
        const Azienda& az;
        bool server;
        ~Pulizia()
        {
            if (!server)
                return;
            Connessione c = az.produzione;
            try {
                Database::eliminaSuServer(c);
                c.database = az.originale;
                Database::eliminaSuServer(c);
            } catch (const ErroreDb&) {
                // A throwaway server takes them with it.
            }
        }
    } pulizia{az, server};
    if (server) {
        try {
            Database::eliminaSuServer(az.produzione);
            Database::creaSuServer(az.produzione);
        } catch (const ErroreDb& e) {
            riga(QStringLiteral("server PostgreSQL non disponibile: ") + e.testo());
            return 1;
        }
    }
    QString uscita;
    if (esegui({QStringLiteral("--ini"), az.ini, QStringLiteral("demo"), QStringLiteral("--dipendenti"), QString::number(dipendenti),
                QStringLiteral("--giorni"), QString::number(giorni), QStringLiteral("--oggi"), kOggi.toString(Qt::ISODate)},
               &uscita)
        != 0) {
        riga(QStringLiteral("demo non riuscita: ") + uscita);
        return 1;
    }
    // The production database moves out of the application folder: PATH must survive. On a
    // server the database is copied as it is.
    if (server) {
        Connessione originale = az.produzione;
        originale.database = az.originale;
        try {
            Database::eliminaSuServer(originale);
            Database::creaSuServer(originale, az.produzione.database);
        } catch (const ErroreDb& e) {
            riga(e.testo());
            return 1;
        }
    } else if (!QDir().rename(QDir(az.app).filePath(QStringLiteral("Dati")), az.dati) || !copiaCartella(az.dati, az.originale)) {
        return 1;
    }
    az.iniMinimo = QStringLiteral("; postazione di prova\r\n[Ambiente START]\r\nPATH=%1\r\n%2\r\n[Altro programma]\r\nChiave=valore\r\n")
                       .arg(az.dati, righeServer);
    az.elabora = {QStringLiteral("--ini"), az.ini, QStringLiteral("elabora"), QStringLiteral("--dal"), kOggi.addDays(-giorni).toString(Qt::ISODate),
                  QStringLiteral("--al"), kOggi.addDays(-1).toString(Qt::ISODate), QStringLiteral("--oggi"), kOggi.toString(Qt::ISODate)};
    bool fallito = false;

    // --- 1. elabora killed at random moments ----------------------------------------------
    scriviFile(az.ini, az.iniMinimo.toUtf8());
    QStringList riferimento, punzonature;
    QElapsedTimer t;
    t.start();
    if (esegui(az.elabora) != 0 || esegui(az.elabora) != 0) {
        riga(QStringLiteral("elaborazione di riferimento non riuscita"));
        return 1;
    }
    const int durata = std::max(20, int(t.elapsed() / 2));
    {
        Database db;
        db.apri(az.produzione, false);
        riferimento = stato(db);
        punzonature = registrate(db);
    }
    int nelLavoro = 0, integrita = 0, perse = 0, diverse = 0, riprese = 0;
    for (int n = 0; n < uccisioni; ++n) {
        if (!ripristina())
            return 1;
        std::unique_ptr<QProcess> p(avvia(az.elabora));
        nelLavoro += uccidiDopo(*p, int(caso.bounded(durata + durata / 5)));
        {
            Database db;
            db.apri(az.produzione, false);
            if (const QString e = db.controllaIntegrita(); !e.isEmpty()) {
                ++integrita;
                riga(QStringLiteral("uccisione %1: integrity_check: %2").arg(n).arg(e));
            }
            if (const QStringList r = registrate(db); r != punzonature) {
                ++perse;
                riga(QStringLiteral("uccisione %1: timbrature registrate cambiate: %2").arg(n).arg(primaDifferenza(r, punzonature)));
            }
        }
        if (esegui(az.elabora) != 0 || esegui(az.elabora) != 0) {
            ++riprese;
            continue;
        }
        Database db;
        db.apri(az.produzione, false);
        if (const QStringList s = stato(db); s != riferimento) {
            ++diverse;
            riga(QStringLiteral("uccisione %1: dopo la ripresa: %2").arg(n).arg(primaDifferenza(s, riferimento)));
        }
    }
    riga(QStringLiteral("elabora: %1 uccisioni (%2 durante il lavoro); integrity_check falliti %3, timbrature perse o doppie %4, "
                        "riprese fallite %5, diverse da un'elaborazione senza interruzioni %6")
             .arg(uccisioni).arg(nelLavoro).arg(integrita).arg(perse).arg(riprese).arg(diverse));
    fallito = fallito || integrita || perse || riprese || diverse;

    // What a complete PRES.INI must hold after any start.
    const auto controllaIni = [&](bool* completo) {
        QFile f(az.ini);
        if (!f.open(QIODevice::ReadOnly) || f.size() == 0)
            return false;
        const QByteArray testo = f.readAll();
        try {
            const FileIni ini(az.ini);
            if (ini.leggiTesto(Ini::AmbienteStart, QStringLiteral("PATH")) != az.dati
                || ini.leggiTesto(QStringLiteral("Altro programma"), QStringLiteral("Chiave")) != QLatin1String("valore")
                || !testo.contains("; postazione di prova"))
                return false;
            const QStringList predefiniti = {QStringLiteral("Lingua"), QStringLiteral("ColoreGrid"), QStringLiteral("PdLColNote"),
                                             QStringLiteral("Timeout"), QStringLiteral("CalcolaStraord"), QStringLiteral("ModTimbOrig")};
            int presenti = 0;
            for (const QString& k : predefiniti)
                presenti += testo.contains((k + QLatin1Char('=')).toUtf8());
            *completo = presenti == predefiniti.size();
            return presenti == 0 || *completo;
        } catch (const ErroreIni&) {
            return false;
        }
    };

    // --- 2. copies started together ----------------------------------------------------------
    const QString giorno = kOggi.addDays(-1).toString(Qt::ISODate);
    const auto avvioBreve = [&](int dip) {
        return QStringList{QStringLiteral("--ini"), az.ini, QStringLiteral("elabora"), QStringLiteral("--dal"), giorno, QStringLiteral("--al"),
                           giorno, QStringLiteral("--dip"), QString::number(dip), QStringLiteral("--oggi"), kOggi.toString(Qt::ISODate)};
    };
    int iniDanneggiati = 0, processiFalliti = 0;
    for (int g = 0; g < giri; ++g) {
        scriviFile(az.ini, az.iniMinimo.toUtf8());
        std::vector<std::unique_ptr<QProcess>> ps;
        for (int c = 0; c < copie; ++c)
            ps.emplace_back(avvia(avvioBreve(1 + c % dipendenti)));
        for (auto& p : ps) {
            const bool finito = p->waitForFinished(300000);
            if (!finito || p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) {
                ++processiFalliti;
                riga(QStringLiteral("giro %1: %2").arg(g).arg(QString::fromLocal8Bit(p->readAll()).trimmed()));
            }
        }
        bool completo = false;
        if (!controllaIni(&completo) || !completo) {
            ++iniDanneggiati;
            riga(QStringLiteral("giro %1: PRES.INI danneggiato").arg(g));
        }
    }
    riga(QStringLiteral("avvii concorrenti: %1 giri x %2 copie; PRES.INI danneggiato %3 volte, processi falliti %4")
             .arg(giri).arg(copie).arg(iniDanneggiati).arg(processiFalliti));
    fallito = fallito || iniDanneggiati || processiFalliti;

    // --- 3. starts killed at random moments -----------------------------------------------------
    scriviFile(az.ini, az.iniMinimo.toUtf8());
    t.restart();
    esegui(avvioBreve(1));
    const int durataAvvio = std::max(5, int(t.elapsed()));
    int originali = 0, completati = 0, parziali = 0, bloccati = 0;
    for (int n = 0; n < uccisioniAvvio; ++n) {
        scriviFile(az.ini, az.iniMinimo.toUtf8());
        std::unique_ptr<QProcess> p(avvia(avvioBreve(1)));
        uccidiDopo(*p, int(caso.bounded(durataAvvio)));
        bool completo = false;
        if (!controllaIni(&completo)) {
            ++parziali;
            QFile f(az.ini);
            f.open(QIODevice::ReadOnly);
            riga(QStringLiteral("uccisione all'avvio %1: PRES.INI vuoto o parziale (%2 byte)").arg(n).arg(f.size()));
        } else {
            (completo ? completati : originali) += 1;
        }
        // A lock left by the killed copy never stops the next one.
        if (n % 10 == 9 || n == uccisioniAvvio - 1) {
            scriviFile(az.ini, az.iniMinimo.toUtf8());
            QElapsedTimer attesa;
            attesa.start();
            const int esito = esegui(avvioBreve(1));
            if (esito != 0 || !controllaIni(&completo) || !completo || attesa.elapsed() > 10000) {
                ++bloccati;
                riga(QStringLiteral("uccisione all'avvio %1: l'avvio seguente non riesce (stato %2, %3 ms)").arg(n).arg(esito).arg(attesa.elapsed()));
            }
        }
    }
    QStringList temporanei = QDir(az.app).entryList({QStringLiteral("PRES.INI.*")}, QDir::Files);
    temporanei.removeAll(QStringLiteral("PRES.INI.lock"));
    riga(QStringLiteral("uccisioni all'avvio: %1 (PRES.INI com'era %2, completato %3, vuoto o parziale %4); avvii seguenti bloccati %5; "
                        "file temporanei lasciati %6")
             .arg(uccisioniAvvio).arg(originali).arg(completati).arg(parziali).arg(bloccati).arg(temporanei.size()));
    fallito = fallito || parziali || bloccati;

    riga(fallito ? QStringLiteral("RISULTATO: FALLITO") : QStringLiteral("RISULTATO: ok"));
    return fallito ? 1 : 0;
}
