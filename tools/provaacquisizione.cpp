// quorlin-provaacquisizione: what kills do to an acquisition from terminals.
//
//   quorlin-provaacquisizione QUORLIN TERMINALE [--breve] [--transazioni N] [--uccisioni K]
//                             [--dipendenti D] [--seme S]
//
// A demo company (one port, two terminals on its local line at addresses 0 and 1); the simulator TERMINALE holds N
// valid transactions of the company's badges, spread over the two terminals, on a
// pseudo-terminal that COM1 names. `acquisisci` is killed with SIGKILL K times at a random
// moment, then run to the end, then once more. Afterwards every transaction the simulator
// released (acknowledged) is a punch stored exactly once, every transaction it held was
// released, transaz.dat logged every one, a re-delivered transaction was refused as already
// stored (2602) and never stored twice, and the last run stored nothing. The last line sums
// up; the exit status is 0 when nothing failed. --breve is the form CI runs.
// With QUORLIN_MOTORE=PostgreSQL the company lives in a database of its own on the server the
// client variables name (PGHOST, PGPORT, PGUSER).

#include "database.h"
#include "processi.h"
#include "tdtmacquisizione.h"
#include "tdtmpresenze.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using Prova::argomento;
using Prova::riga;

namespace {

QStringList lineeDi(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList l = QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& s : l)
        if (s.endsWith(QLatin1Char('\r')))
            s.chop(1);
    return l;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 3 || a.at(1).startsWith(QLatin1Char('-')) || a.at(2).startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "uso: quorlin-provaacquisizione QUORLIN TERMINALE [--breve] [--transazioni N] [--uccisioni K] "
                             "[--dipendenti D] [--seme S]\n");
        return 2;
    }
    const QString quorlin = a.at(1);
    const QString terminale = a.at(2);
    const bool breve = a.contains(QStringLiteral("--breve"));
    const int transazioni = argomento(a, QStringLiteral("--transazioni"), breve ? 400 : 5000);
    const int uccisioni = argomento(a, QStringLiteral("--uccisioni"), breve ? 4 : 20);
    const int dipendenti = argomento(a, QStringLiteral("--dipendenti"), breve ? 20 : 200);
    const quint32 seme = quint32(argomento(a, QStringLiteral("--seme"), int(QRandomGenerator::system()->bounded(1000000))));
    QRandomGenerator caso(seme);
    riga(QStringLiteral("seme %1, %2 transazioni, %3 uccisioni").arg(seme).arg(transazioni).arg(uccisioni));

    QTemporaryDir tmp;
    const QString ini = QDir(tmp.path()).filePath(QStringLiteral("PRES.INI"));
    const QString elenco = QDir(tmp.path()).filePath(QStringLiteral("transazioni.txt"));
    const QString consegnate = QDir(tmp.path()).filePath(QStringLiteral("consegnate.txt"));

    Connessione server;
    const QString motore = qEnvironmentVariable("QUORLIN_MOTORE");
    if (!motore.isEmpty() && !Dialetto::motoreDaNome(motore, &server.motore)) {
        riga(QStringLiteral("QUORLIN_MOTORE=%1: motore sconosciuto").arg(motore));
        return 2;
    }
    const bool suServer = server.motore == Dialetto::Motore::PostgreSQL;
    QString righeServer;
    if (suServer) {
        server.database = QStringLiteral("quorlin_acq_%1").arg(QCoreApplication::applicationPid());
        server = server.completata();
        righeServer = QStringLiteral("Motore=PostgreSQL\r\nDatabase=%1\r\n").arg(server.database);
        try {
            Database::eliminaSuServer(server);
            Database::creaSuServer(server);
        } catch (const ErroreDb& e) {
            riga(QStringLiteral("server PostgreSQL non disponibile: ") + e.testo());
            return 1;
        }
    }
    struct Pulizia {
        Connessione c;
        bool attiva;
        ~Pulizia()
        {
            if (!attiva)
                return;
            try {
                Database::eliminaSuServer(c);
            } catch (const ErroreDb&) {
                // A throwaway server takes it with it.
            }
        }
    } pulizia{server, suServer};

    const QDate oggi(2026, 12, 9);
    QString uscita;
    if (!righeServer.isEmpty())
        Prova::scriviFile(ini, (QStringLiteral("[Ambiente START]\r\n") + righeServer).toUtf8());
    if (Prova::esegui(quorlin, {QStringLiteral("--ini"), ini, QStringLiteral("demo"), QStringLiteral("--dipendenti"), QString::number(dipendenti),
                                QStringLiteral("--giorni"), QStringLiteral("1"), QStringLiteral("--oggi"), oggi.toString(Qt::ISODate)},
                      &uscita)
        != 0) {
        riga(QStringLiteral("demo non riuscita: ") + uscita);
        return 1;
    }

    // One port, two terminals on its local line (addresses 0 and 1), and the transactions: the
    // badges in turn, four punches a day each from 2027 on, so that no two fall on the same
    // employee and minute.
    QSet<QString> attese;  // "IdDip|yyyy-MM-dd hh:mm:00"
    QStringList testi;
    QList<int> terminali;
    {
        TdtmPresenze dtm;
        PresentatoreStderr presentatore;
        dtm.setPresentatore(&presentatore);
        if (!dtm.Apri(ini, TdtmPresenze::ModoCreazione::Mai)) {
            riga(QStringLiteral("azienda non apribile"));
            return 1;
        }
        QList<QPair<QString, int>> badge;
        QSqlQuery q = dtm.db().esegui(QStringLiteral("SELECT Codice, IdUtilizzatore FROM Badge WHERE DataFine IS NULL AND IdUtilizzatore > 0 "
                                                     "ORDER BY IdUtilizzatore"));
        while (q.next())
            badge.append({q.value(0).toString(), q.value(1).toInt()});
        if (badge.isEmpty()) {
            riga(QStringLiteral("nessun badge nell'azienda dimostrativa"));
            return 1;
        }
        // The demo company has port 1 with two terminals on its local line; the port gets
        // the settings of a modern line.
        TdtmAcquisizione acq(dtm);
        if (!acq.Porta(1))
            acq.InserisciPorta(1);
        DatiPorta porta = *acq.Porta(1);
        porta.baudRate = 115200;
        porta.bitNo = 8;
        porta.parity = QStringLiteral("N");
        acq.AggiornaPorta(porta);
        for (const DatiTerminale& t : acq.Terminali())
            terminali << t.indirizzoTerminale();
        if (terminali != QList<int>{0, 1}) {
            riga(QStringLiteral("l'azienda dimostrativa non ha i terminali 0 e 1 sulla porta 1"));
            return 1;
        }
        QByteArray file;
        for (int i = 0; i < transazioni; ++i) {
            const auto& [codice, idDip] = badge.at(i % badge.size());
            const int k = i / int(badge.size());
            const QDate giorno = QDate(2027, 1, 1).addDays(k / 4);
            const int minuti = 6 * 60 + (k % 4) * 180 + (i % 37);
            const QTime ora(minuti / 60, minuti % 60);
            const QString testo = codice.rightJustified(10, QLatin1Char('0')) + (k % 2 ? QLatin1Char('2') : QLatin1Char('1'))
                                  + QStringLiteral("0000") + giorno.toString(QStringLiteral("ddMMyy")) + ora.toString(QStringLiteral("hhmm"));
            testi << QString::number(i % 2) + QLatin1Char('\t') + testo;
            attese.insert(QStringLiteral("%1|%2 %3:00").arg(idDip).arg(giorno.toString(Qt::ISODate), ora.toString(QStringLiteral("hh:mm"))));
            file += testi.last().toLatin1() + '\n';
        }
        if (!Prova::scriviFile(elenco, file))
            return 1;
    }

    std::unique_ptr<QProcess> sim(Prova::avvia(terminale, {QStringLiteral("--terminale"), QStringLiteral("0"), QStringLiteral("--terminale"),
                                                           QStringLiteral("1"), QStringLiteral("--transazioni"), elenco,
                                                           QStringLiteral("--consegnate"), consegnate}));
    sim->setProcessChannelMode(QProcess::SeparateChannels);
    if (!sim->waitForReadyRead(10000)) {
        riga(QStringLiteral("il simulatore non ha indicato il suo terminale"));
        return 1;
    }
    const QString pty = QString::fromLocal8Bit(sim->readLine()).trimmed();
    {
        QFile f(ini);
        if (!f.open(QIODevice::Append))
            return 1;
        f.write(QStringLiteral("\r\n[Porte seriali]\r\nCOM1=%1\r\n").arg(pty).toLocal8Bit());
    }
    riga(QStringLiteral("simulatore su %1").arg(pty));

    const QStringList acquisisci{QStringLiteral("--ini"), ini, QStringLiteral("acquisisci")};
    QElapsedTimer orologio;
    orologio.start();
    int uccise = 0;
    // A first complete run would take the whole file: the kills fall inside the first part
    // of a run, where the work is, at moments spread over it.
    for (int n = 0; n < uccisioni; ++n) {
        std::unique_ptr<QProcess> p(Prova::avvia(quorlin, acquisisci));
        if (Prova::uccidiDopo(*p, 60 + int(caso.bounded(400))))
            ++uccise;
    }
    const int finale = Prova::esegui(quorlin, acquisisci, &uscita, 1800000);
    const double secondi = orologio.elapsed() / 1000.0;
    QString ultima;
    const int ancora = Prova::esegui(quorlin, acquisisci, &ultima, 300000);
    sim->terminate();
    sim->waitForFinished(10000);

    QStringList guasti;
    if (finale != 0)
        guasti << QStringLiteral("la corsa completa è terminata con %1: %2").arg(finale).arg(uscita.right(400));
    if (ancora != 0)
        guasti << QStringLiteral("la corsa successiva è terminata con %1").arg(ancora);

    // Released by the simulator: each transaction exactly once, all of them.
    const QStringList rilasciate = lineeDi(consegnate);
    if (QSet<QString>(rilasciate.begin(), rilasciate.end()).size() != rilasciate.size())
        guasti << QStringLiteral("una transazione è stata rilasciata due volte");
    if (QSet<QString>(rilasciate.begin(), rilasciate.end()) != QSet<QString>(testi.begin(), testi.end()))
        guasti << QStringLiteral("rilasciate %1 transazioni su %2").arg(rilasciate.size()).arg(testi.size());

    int ripetute = 0;
    {
        TdtmPresenze dtm;
        PresentatoreStderr presentatore;
        dtm.setPresentatore(&presentatore);
        dtm.Apri(ini, TdtmPresenze::ModoCreazione::Mai);
        const QStringList punte = Prova::righe(dtm.db(), QStringLiteral("SELECT IdDip, DataO FROM Timbrature WHERE DataO >= '2027-01-01 00:00:00' ORDER BY IdDip, DataO"));
        QSet<QString> registrate;
        for (const QString& r : punte) {
            const QString chiave = r.section(QLatin1Char('|'), 0, 0) + QLatin1Char('|') + r.section(QLatin1Char('|'), 1).left(19).replace(QLatin1Char('T'), QLatin1Char(' '));
            registrate.insert(chiave);
        }
        if (punte.size() != attese.size() || registrate != attese)
            guasti << QStringLiteral("registrate %1 timbrature (%2 distinte) su %3 attese").arg(punte.size()).arg(registrate.size()).arg(attese.size());
        const QStringList scarti = Prova::righe(dtm.db(), QStringLiteral("SELECT IdErr FROM ':dbPresUt:Terrtimb'"));
        for (const QString& s : scarti) {
            if (s == QLatin1String("2602"))
                ++ripetute;
            else
                guasti << QStringLiteral("transazione scartata con %1").arg(s);
        }
    }
    // The log holds every transaction at least once (a killed run may have logged one it
    // then received again).
    const QStringList log = lineeDi(QDir(tmp.path()).filePath(QStringLiteral("transaz.dat")));
    QSet<QString> nelLog(log.begin(), log.end());
    for (const QString& t : std::as_const(testi))
        if (!nelLog.contains(t.section(QLatin1Char('\t'), 1))) {
            guasti << QStringLiteral("transaz.dat non ha %1").arg(t);
            break;
        }

    for (const QString& g : std::as_const(guasti))
        riga(QStringLiteral("GUASTO ") + g);
    riga(QStringLiteral("RESULT transactions=%1 kills=%2 killed_running=%3 redelivered=%4 seconds=%5 failures=%6")
             .arg(transazioni)
             .arg(uccisioni)
             .arg(uccise)
             .arg(ripetute)
             .arg(secondi, 0, 'f', 1)
             .arg(guasti.size()));
    return guasti.isEmpty() ? 0 : 1;
}
