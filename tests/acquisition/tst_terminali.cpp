// The serial terminal library against the terminal simulator on a pseudo-terminal: every
// transaction delivered once and in order, nothing released without its acknowledge, lost
// and garbled frames retried, silent and failing terminals, sync and upload, the modem's
// answers and the statuses of a missing device and of bad calls.

#include "fileini.h"
#include "presenzecfg.h"
#include "protocollo.h"
#include "simulatore.h"
#include "terminali.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const LibreriaTerminali& L = LibreriaSeriale();

// A port on COM1 at 115200 baud, opened (h null when it could not be), closed and destroyed
// however the test ends.
struct PortaAperta {
    HandlePorta h = nullptr;
    PortaAperta() { apri(); }
    ~PortaAperta() { L.DestroyPort(&h); }
    void apri()
    {
        L.DestroyPort(&h);
        ImpostazioniPorta imp;
        imp.porta = 1;
        imp.baud = 115200;
        if (L.CreatePort(imp, &h) == StatoOk && L.OpenPort(h) != StatoOk)
            L.DestroyPort(&h);
    }
};

struct Messaggio {
    uint16_t stato;
    int tipo;
    QByteArray testo;
};

Messaggio interroga(HandlePorta h, int16_t indirizzo)
{
    PuntatoreMessaggio m = reinterpret_cast<PuntatoreMessaggio>(1);
    Messaggio r;
    r.stato = L.SendPolling(h, indirizzo, 0, &m);
    uint8_t buffer[DimensioneMessaggio];
    std::memset(buffer, 0xAA, sizeof buffer);
    L.GetTerminalMessage(m, buffer);
    r.tipo = buffer[PosizioneTipoMessaggio];
    r.testo = QByteArray(reinterpret_cast<const char*>(buffer + PosizioneTestoMessaggio));
    return r;
}

QByteArray leggi(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(assente)");
}

QString scrivi(const QString& file, const QByteArray& dati)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(dati) != dati.size())
        qFatal("cannot write %s", qPrintable(file));
    return file;
}

}  // namespace

class TstTerminali : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void trame_data();
    void trame();
    void consegna_data();
    void consegna();
    void senzaAck();
    void risposte_data();
    void risposte();
    void sincronizzaEInvia();
    void modem_data();
    void modem();
    void stati();
    void dispositivi_data();
    void dispositivi();

private:
    QTemporaryDir m_dir;
};

void TstTerminali::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Short waits keep the silent cases quick; three tries absorb a loaded machine's pauses.
    ImpostaTempiSeriale({300, 3, 50});
}

void TstTerminali::trame_data()
{
    using namespace Protocollo;
    const QByteArray buona = Codifica(Trama{12, true, Transazione, 200, QByteArray("\x00\x00\x00\x07" "0000000001", 14)});
    QByteArray alterata = buona;
    alterata[10] = 'X';
    QByteArray lunga = buona.left(4) + QByteArray("\x02\x59", 2);  // 601 data bytes
    QByteArray fuoriIndirizzo = buona;
    fuoriIndirizzo[1] = char(0x10);
    QTest::addColumn<QByteArray>("byte");
    QTest::addColumn<QString>("esiti");  // T frame, A garbled, in the order cut
    QTest::addColumn<bool>("inCorso");
    QTest::newRow("rumore prima della trama") << QByteArray("\x00\xff+AT\r") + buona << "T" << false;
    QTest::newRow("due trame di seguito") << buona + buona << "TT" << false;
    QTest::newRow("CRC che non torna") << alterata + buona << "AT" << false;
    QTest::newRow("lunghezza oltre il massimo") << lunga + buona << "T" << false;
    QTest::newRow("indirizzo oltre 15") << fuoriIndirizzo.left(8) + buona << "T" << false;
    QTest::newRow("troncata") << buona.chopped(1) << "" << true;
}

// Frames are cut from the bytes as they come: noise, oversized headers and bad addresses
// skipped, a bad CRC reported, a frame cut short left waiting; a good one read back whole.
void TstTerminali::trame()
{
    using namespace Protocollo;
    QFETCH(QByteArray, byte);
    QFETCH(QString, esiti);
    QFETCH(bool, inCorso);
    LettoreTrame lettore;
    QString letti;
    Trama t;
    for (qsizetype i = 0; i < byte.size(); i += 5) {  // bytes arrive a few at a time
        lettore.aggiungi(byte.mid(i, 5));
        for (LettoreTrame::Esito e; (e = lettore.prossima(&t)) != LettoreTrame::Esito::Niente;) {
            letti += e == LettoreTrame::Esito::Trama ? QLatin1Char('T') : QLatin1Char('A');
            if (e == LettoreTrame::Esito::Trama) {
                QCOMPARE(int(t.indirizzo), 12);
                QVERIFY(t.risposta);
                QCOMPARE(int(t.tipo), int(Transazione));
                QCOMPARE(int(t.sequenza), 200);
                QCOMPARE(t.dati, QByteArray("\x00\x00\x00\x07" "0000000001", 14));
            }
        }
    }
    QCOMPARE(letti, esiti);
    QCOMPARE(lettore.inCorso(), inCorso);
}

void TstTerminali::consegna_data()
{
    QTest::addColumn<QStringList>("disturbo");
    QTest::newRow("linea pulita") << QStringList();
    QTest::newRow("una risposta su due persa") << QStringList{"--perdi", "2"};
    QTest::newRow("una risposta su due alterata") << QStringList{"--altera", "2"};
    QTest::newRow("una su tre persa, una su quattro alterata") << QStringList{"--perdi", "3", "--altera", "4"};
}

// Two terminals on one line: each gives its own transactions in order, then type 6, and
// the simulator records each delivered exactly once however the answers were disturbed.
void TstTerminali::consegna()
{
    QFETCH(QStringList, disturbo);
    const QString consegnate = m_dir.filePath(QStringLiteral("consegnate-%1.txt").arg(QTest::currentDataTag()));
    const QString file = scrivi(m_dir.filePath(QStringLiteral("trans.txt")),
                                "0000000001100001012261230\n7\t0000000002200001012261231\n0000000003100001012261232\n"
                                "7\t0000000004100001012261233\n");
    Simulatore sim(QStringList{"--terminale", "2", "--terminale", "7", "--transazioni", file, "--consegnate", consegnate} + disturbo);
    PortaAperta p;
    HandlePorta& h = p.h;
    QVERIFY(h);
    QByteArray atteso;
    for (const int16_t indirizzo : {int16_t(2), int16_t(7)}) {
        QList<QByteArray> ricevute;
        Messaggio m;
        while ((m = interroga(h, indirizzo)).tipo == MessaggioTransazione) {
            ricevute.append(m.testo);
            QCOMPARE(L.SendAcknowledge(h), uint16_t(StatoOk));
        }
        QCOMPARE(m.stato, uint16_t(StatoOk));
        QCOMPARE(m.tipo, int(MessaggioFine));
        const QList<QByteArray> previste = indirizzo == 2
            ? QList<QByteArray>{"0000000001100001012261230", "0000000003100001012261232"}
            : QList<QByteArray>{"0000000002200001012261231", "0000000004100001012261233"};
        QCOMPARE(ricevute, previste);
        for (const QByteArray& t : previste)
            atteso += QByteArray::number(indirizzo) + '\t' + t + '\n';
    }
    L.DestroyPort(&h);
    QCOMPARE(h, nullptr);
    QCOMPARE(leggi(consegnate), atteso);
}

// A transaction is released only by its acknowledge: polled again, or by a host that went
// away before acknowledging, it comes again.
void TstTerminali::senzaAck()
{
    Simulatore sim({"--genera", "2"});
    PortaAperta p;
    HandlePorta& h = p.h;
    QVERIFY(h);
    const QByteArray prima = interroga(h, 0).testo;
    QCOMPARE(prima.size(), 25);
    QCOMPARE(interroga(h, 0).testo, prima);
    L.DestroyPort(&h);
    p.apri();
    QVERIFY(h);
    QCOMPARE(interroga(h, 0).testo, prima);
    QCOMPARE(L.SendAcknowledge(h), uint16_t(StatoOk));
    // A second acknowledge with no transaction pending releases nothing.
    QCOMPARE(L.SendAcknowledge(h), uint16_t(StatoOk));
    const Messaggio seconda = interroga(h, 0);
    QCOMPARE(seconda.tipo, int(MessaggioTransazione));
    QVERIFY(seconda.testo != prima);
    QCOMPARE(seconda.testo.left(11), QByteArray("00000000021"));
}

void TstTerminali::risposte_data()
{
    QTest::addColumn<int>("indirizzo");
    QTest::addColumn<int>("stato");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<bool>("conTesto");
    QTest::newRow("terminale vuoto: fine") << 2 << int(StatoOk) << int(MessaggioFine) << false;
    QTest::newRow("terminale guasto: errore con testo") << 3 << int(StatoOk) << int(MessaggioErrore) << true;
    QTest::newRow("indirizzo muto: nessun messaggio") << 5 << int(StatoNessunaRisposta) << int(MessaggioNessuno) << false;
}

void TstTerminali::risposte()
{
    QFETCH(int, indirizzo);
    QFETCH(int, stato);
    QFETCH(int, tipo);
    QFETCH(bool, conTesto);
    Simulatore sim({"--terminale", "2", "--errore", "3"});
    PortaAperta p;
    HandlePorta& h = p.h;
    QVERIFY(h);
    const Messaggio m = interroga(h, int16_t(indirizzo));
    QCOMPARE(int(m.stato), stato);
    QCOMPARE(m.tipo, tipo);
    QCOMPARE(!m.testo.isEmpty(), conTesto);
}

// Sync and upload reach the terminal: the time it was given, the file as it was sent in
// blocks; a file larger than the terminal's memory is refused, a missing one not sent.
void TstTerminali::sincronizzaEInvia()
{
    const QString registro = m_dir.filePath(QStringLiteral("registro"));
    Simulatore sim({"--terminale", "4", "--registro", registro, "--perdi", "5"});
    PortaAperta p;
    HandlePorta& h = p.h;
    QVERIFY(h);
    const QDateTime prima = QDateTime::currentDateTime().addSecs(-1);
    QCOMPARE(L.TermSync(h, 4), uint16_t(StatoOk));
    const QList<QByteArray> campi = leggi(registro + QStringLiteral("/sincronizzazioni.txt")).trimmed().split('\t');
    QCOMPARE(campi.size(), 2);
    QCOMPARE(campi.at(0), QByteArray("4"));
    const QDateTime ricevuta = QDateTime::fromString(QString::fromLatin1(campi.at(1)), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY2(ricevuta >= prima && ricevuta <= QDateTime::currentDateTime(), campi.at(1).constData());

    QByteArray contenuto;
    for (int i = 0; i < 700; ++i)
        contenuto.append(char('A' + i % 26));
    QCOMPARE(L.TermProg(h, 4, QFile::encodeName(scrivi(m_dir.filePath(QStringLiteral("conf.txt")), contenuto)).constData()),
             uint16_t(StatoOk));
    QCOMPARE(leggi(registro + QStringLiteral("/prog-4.txt")), contenuto);
    QCOMPARE(L.TermProg(h, 4, QFile::encodeName(scrivi(m_dir.filePath(QStringLiteral("grande.txt")), QByteArray(70000, 'x'))).constData()),
             uint16_t(StatoProgRifiutato));
    QCOMPARE(L.TermProg(h, 4, QFile::encodeName(m_dir.filePath(QStringLiteral("manca.txt"))).constData()), uint16_t(StatoFileIllegibile));
}

void TstTerminali::modem_data()
{
    QTest::addColumn<QString>("risposta");
    QTest::addColumn<int>("stato");
    QTest::newRow("CONNECT") << QString() << int(StatoOk);
    QTest::newRow("BUSY") << QStringLiteral("BUSY") << int(StatoModemOccupato);
    QTest::newRow("NO CARRIER") << QStringLiteral("NO CARRIER") << int(StatoModemNoCarrier);
    QTest::newRow("NO DIALTONE") << QStringLiteral("NO DIALTONE") << int(StatoModemNoDialtone);
}

// Behind a modem the terminal answers only once the call is up, and again only after the
// next call once the port closed the line.
void TstTerminali::modem()
{
    QFETCH(QString, risposta);
    QFETCH(int, stato);
    Simulatore sim(risposta.isEmpty() ? QStringList{"--modem"} : QStringList{"--modem-risposta", risposta});
    PortaAperta p;
    HandlePorta& h = p.h;
    QVERIFY(h);
    QCOMPARE(int(L.Dial(h, "0123456", "ATZ", 0, 5)), stato);
    QCOMPARE(interroga(h, 0).tipo, stato == StatoOk ? int(MessaggioFine) : int(MessaggioNessuno));
    if (stato != StatoOk)
        return;
    p.apri();
    QVERIFY(h);
    QCOMPARE(interroga(h, 0).tipo, int(MessaggioNessuno));
}

// Failures get their own status and a text; calls out of order never hang or crash.
void TstTerminali::stati()
{
    ImpostaDispositivo(1, m_dir.filePath(QStringLiteral("nessuna-porta")));
    ImpostazioniPorta imp;
    imp.porta = 1;
    HandlePorta h = nullptr;
    QCOMPARE(L.CreatePort(imp, &h), uint16_t(StatoOk));
    QCOMPARE(L.OpenPort(h), uint16_t(StatoDispositivoAssente));
    PuntatoreMessaggio m = nullptr;
    QCOMPARE(L.SendPolling(h, 0, 0, &m), uint16_t(StatoNonAperta));
    QCOMPARE(L.Dial(h, "1", "", 0, 1), uint16_t(StatoNonAperta));
    QCOMPARE(L.TermSync(nullptr, 0), uint16_t(StatoNonAperta));
    L.DestroyPort(&h);

    imp.porta = 5;
    QCOMPARE(L.CreatePort(imp, &h), uint16_t(StatoArgomenti));
    QCOMPARE(h, nullptr);

    // One port open at a time.
    Simulatore sim({});
    PortaAperta aperta;
    HandlePorta& prima = aperta.h;
    QVERIFY(prima);
    imp.porta = 1;
    QCOMPARE(L.CreatePort(imp, &h), uint16_t(StatoOk));
    QCOMPARE(L.OpenPort(h), uint16_t(StatoDispositivoOccupato));
    QCOMPARE(L.SendPolling(prima, 16, 0, &m), uint16_t(StatoArgomenti));
    // No modem on the line: the dialling gives up at its time-out.
    QCOMPARE(L.Dial(prima, "0123456", "", 1, 1), uint16_t(StatoModemTimeout));
    L.DestroyPort(&h);

    QSet<QByteArray> testi;
    for (uint16_t s = StatoDispositivoAssente; s <= StatoModemErrore; ++s)
        testi.insert(L.GetErrorMessage(s));
    QCOMPARE(testi.size(), int(StatoModemErrore));
    QVERIFY(!testi.contains(QByteArray()));
    QVERIFY(QByteArray(L.GetErrorMessage(999)).contains("999"));
    QVERIFY(!testi.contains(L.GetErrorMessage(999)));
}

void TstTerminali::dispositivi_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("attesi");
    QTest::newRow("sezione assente") << QByteArray() << QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
    QTest::newRow("COM2 su un adattatore USB") << QByteArray("[Porte seriali]\nCOM2=/dev/ttyUSB0\n")
                                               << QStringList{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyS2", "/dev/ttyS3"};
    // The port set by the row before goes back to its default.
    QTest::newRow("spazi attorno, chiave vuota") << QByteArray("[Porte seriali]\nCOM1= /dev/pts/7 \nCOM4=\n")
                                                 << QStringList{"/dev/pts/7", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
}

// Port numbers reach their devices through PRES.INI as the program loads it at start-up.
void TstTerminali::dispositivi()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, attesi);
    FileIni file(scrivi(m_dir.filePath(QStringLiteral("PRES.INI")), "[Acquisizione]\nToni=0\n" + ini));
    TPresenzeCfg cfg;
    Configurazione::Leggi(file, QString(), cfg);
    ImpostaDispositivi(cfg.PorteSeriali);
    QCOMPARE((QStringList{Dispositivo(1), Dispositivo(2), Dispositivo(3), Dispositivo(4)}), attesi);
}

QTEST_GUILESS_MAIN(TstTerminali)
#include "tst_terminali.moc"
