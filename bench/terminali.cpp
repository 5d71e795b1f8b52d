// quorlin-bench-terminali [--baud N]... [--transazioni N]: polling and acknowledging the
// transactions of a simulated terminal over a pseudo-terminal, the simulator pacing its
// answers at each baud rate (default 9600 and 115200). Prints transactions per second and
// the share of the line's capacity the exchange uses (half duplex: both directions count).

#include "terminali.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Velocita' della linea (ripetibile)."), QStringLiteral("N"));
    const QCommandLineOption quante(QStringLiteral("transazioni"), QStringLiteral("Transazioni per misura (predefinito 500)."), QStringLiteral("N"));
    p.addOptions({baud, quante});
    p.process(app);
    QStringList velocita = p.values(baud);
    if (velocita.isEmpty())
        velocita = {QStringLiteral("9600"), QStringLiteral("115200")};
    const int n = p.isSet(quante) ? p.value(quante).toInt() : 500;
    QTextStream out(stdout);
    const LibreriaTerminali& L = LibreriaSeriale();
    for (const QString& v : velocita) {
        QProcess sim;
        sim.start(QStringLiteral(QUORLIN_TERMINALE), {"--genera", QString::number(n), "--baud", v});
        if (!sim.waitForReadyRead(5000))
            return 1;
        ImpostaDispositivo(1, QString::fromLocal8Bit(sim.readLine().trimmed()));
        ImpostazioniPorta imp;
        imp.porta = 1;
        imp.baud = v.toInt();
        HandlePorta h = nullptr;
        if (L.CreatePort(imp, &h) || L.OpenPort(h))
            return 1;
        QElapsedTimer t;
        t.start();
        int ricevute = 0;
        qint64 byte = 0;
        for (;;) {
            PuntatoreMessaggio m = nullptr;
            L.SendPolling(h, 0, 0, &m);
            uint8_t buffer[DimensioneMessaggio];
            L.GetTerminalMessage(m, buffer);
            if (buffer[PosizioneTipoMessaggio] != MessaggioTransazione)
                break;
            ++ricevute;
            // POLL 8, TRANSACTION 12 + text, ACK 12 each way.
            byte += 8 + 12 + qint64(qstrlen(reinterpret_cast<const char*>(buffer + PosizioneTestoMessaggio))) + 24;
            L.SendAcknowledge(h);
        }
        const double secondi = t.nsecsElapsed() / 1e9;
        L.DestroyPort(&h);
        sim.terminate();
        sim.waitForFinished();
        out << v << " baud: " << ricevute << " transazioni in " << QString::number(secondi, 'f', 2) << " s, "
            << QString::number(ricevute / secondi, 'f', 1) << " al secondo, "
            << QString::number(100.0 * byte / secondi / (v.toInt() / 10.0), 'f', 0) << "% della capacita' della linea" << Qt::endl;
    }
    return 0;
}
