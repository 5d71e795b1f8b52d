// Terminals, stations and ports with their rules, the transaction format, and the runs that
// talk to terminals (acquisition, synchronisation, upload) over a scripted terminal table
// behind the same eleven calls the serial library answers; the split of combined
// configuration files and the error-punch report.

#include "ambiente.h"
#include "database.h"
#include "fileini.h"
#include "messaggi.h"
#include "rpttimbscart.h"
#include "tdtmacquisizione.h"
#ifdef QUORLIN_TERMINALE
#include "simulatore.h"
#endif

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTest>

#include <cstring>
#include <functional>

using namespace Msg;

namespace {

// A line of terminals as a script: each address holds messages (type, text) handed out one
// by one, the head again until it is acknowledged; an empty queue answers type 6. Every call
// is recorded as text.
namespace Finto {

struct Messaggio {
    uint8_t tipo;
    QByteArray testo;
};
QMap<int, QList<Messaggio>> code;
QStringList chiamate;
QMap<int, uint16_t> creazione, apertura;  // by port: the status to answer
uint16_t chiamata = 0;                     // Dial
QList<uint16_t> sync;                      // TermSync answers in order, then 0
uint16_t prog = 0;
uint8_t buffer[DimensioneMessaggio];
int ultimo = -1;
bool consegnato = false;  // the last poll handed out a message still to acknowledge
std::function<void()> allaConferma;  // run at each acknowledge, before it takes effect
int porta = 0;
int handleFinto = 7;

void azzera()
{
    code.clear();
    chiamate.clear();
    creazione.clear();
    apertura.clear();
    chiamata = 0;
    sync.clear();
    prog = 0;
    allaConferma = {};
}

uint16_t CreatePort(ImpostazioniPorta i, HandlePorta* h)
{
    chiamate << QStringLiteral("CreatePort %1 %2 %3%4%5").arg(i.porta).arg(i.baud).arg(i.bitDati).arg(i.parita).arg(i.bitStop);
    porta = i.porta;
    *h = &handleFinto;
    return creazione.value(i.porta);
}
uint16_t OpenPort(HandlePorta)
{
    chiamate << QStringLiteral("OpenPort");
    return apertura.value(porta);
}
uint16_t Dial(HandlePorta, const char* numero, const char* modem, uint8_t impulsi, int32_t timeout)
{
    chiamate << QStringLiteral("Dial %1 %2 %3 %4").arg(QLatin1String(numero), QLatin1String(modem)).arg(impulsi).arg(timeout);
    return chiamata;
}
uint16_t SendPolling(HandlePorta, int16_t indirizzo, int32_t, PuntatoreMessaggio* m)
{
    chiamate << QStringLiteral("Poll %1").arg(indirizzo);
    ultimo = indirizzo;
    consegnato = false;
    QList<Messaggio>& q = code[indirizzo];
    const Messaggio msg = q.isEmpty() ? Messaggio{MessaggioFine, {}} : q.constFirst();
    if (msg.tipo == MessaggioNessuno) {
        *m = nullptr;
        q.removeFirst();
        return 1;
    }
    std::memset(buffer, 0, sizeof buffer);
    buffer[PosizioneTipoMessaggio] = msg.tipo;
    std::memcpy(buffer + PosizioneTestoMessaggio, msg.testo.constData(), size_t(msg.testo.size()));
    *m = buffer;
    consegnato = !q.isEmpty();
    return 0;
}
void GetTerminalMessage(PuntatoreMessaggio m, uint8_t* b)
{
    std::memcpy(b, m, DimensioneMessaggio);
}
uint16_t SendAcknowledge(HandlePorta)
{
    chiamate << QStringLiteral("Ack");
    if (allaConferma)
        allaConferma();
    if (consegnato)
        code[ultimo].removeFirst();
    consegnato = false;
    return 0;
}
uint16_t TermSync(HandlePorta, int16_t indirizzo)
{
    chiamate << QStringLiteral("Sync %1").arg(indirizzo);
    return sync.isEmpty() ? 0 : sync.takeFirst();
}
uint16_t TermProg(HandlePorta, int32_t indirizzo, const char* percorso)
{
    chiamate << QStringLiteral("Prog %1 %2").arg(indirizzo).arg(QFileInfo(QString::fromLocal8Bit(percorso)).fileName());
    return prog;
}
void ClosePort(HandlePorta)
{
    chiamate << QStringLiteral("ClosePort");
}
void DestroyPort(HandlePorta* h)
{
    chiamate << QStringLiteral("DestroyPort");
    *h = nullptr;
}
const char* GetErrorMessage(uint16_t stato)
{
    static QByteArray t;
    t = "errore " + QByteArray::number(stato);
    return t.constData();
}

const LibreriaTerminali tabella{CreatePort, OpenPort, Dial, SendPolling, GetTerminalMessage, SendAcknowledge,
                                TermSync, TermProg, ClosePort, DestroyPort, GetErrorMessage};

}  // namespace Finto

Finto::Messaggio T(const char* testo)
{
    return {MessaggioTransazione, QByteArray(testo)};
}

// Ports 1 and 2; terminal 1 at address 0 and terminal 2 at address 3 on the local station
// 21 of port 1; terminal 3 at address 0 on the remote station 1 of port 2. Badge 177 passes
// from employee 1 to employee 2 on 1 July 2026; badge 300 belongs to nobody.
void impianto(Ambiente& amb)
{
    amb.esegui(QStringLiteral("INSERT INTO Porte (Id, BaudRate, BitNo, StopBit, Parity, ModString) VALUES (1, 9600, 8, 1, 'N', NULL)"));
    amb.esegui(QStringLiteral("INSERT INTO Porte (Id, BaudRate, BitNo, StopBit, Parity, ModString) VALUES (2, 1200, 7, 1, 'E', 'ATX3')"));
    amb.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom, TelNo) VALUES (21, 'L', 1, NULL)"));
    amb.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom, TelNo) VALUES (1, 'R', 2, '0,0123456789')"));
    const QString t = QStringLiteral("INSERT INTO Terminali (Id, Descr, IdPostaz, Indirizzo, DipSet, Tipo) VALUES (:id, :d, :p, :i, :s, 100)");
    amb.esegui(t, {{"id", 1}, {"d", "Ingresso"}, {"p", 21}, {"i", "E0"}, {"s", "0"}});
    amb.esegui(t, {{"id", 2}, {"d", "Magazzino"}, {"p", 21}, {"i", "E3"}, {"s", "3"}});
    amb.esegui(t, {{"id", 3}, {"d", "Filiale"}, {"p", 1}, {"i", "10"}, {"s", "0"}});
    const QString b = QStringLiteral("INSERT INTO Badge (Codice, DataInizio, DataFine, IdUtilizzatore) VALUES (:c, :i, :f, :d)");
    amb.esegui(b, {{"c", "0000000177"}, {"i", "2026-01-01 00:00:00"}, {"f", "2026-06-30 00:00:00"}, {"d", 1}});
    amb.esegui(b, {{"c", "0000000177"}, {"i", "2026-07-01 00:00:00"}, {"f", QVariant()}, {"d", 2}});
    amb.esegui(b, {{"c", "0000000300"}, {"i", "2026-01-01 00:00:00"}, {"f", QVariant()}, {"d", 0}});
    amb.esegui(b, {{"c", "0000000400"}, {"i", "2030-01-01 00:00:00"}, {"f", QVariant()}, {"d", 4}});
}

QString timbrature(Ambiente& amb)
{
    return Banco::colonna(amb.db(), QStringLiteral("SELECT IdDip || ' ' || DataO || ' ' || VersoO || ' ' || COALESCE(Caus, '-') || ' ' || "
                                                   "IdTerminale FROM Timbrature ORDER BY DataO, IdDip"));
}

QString scarti(Ambiente& amb)
{
    return Banco::colonna(amb.db(), QStringLiteral("SELECT IdErr || ' ' || COALESCE(Badge, '-') || ' ' || COALESCE(Data, '-') || ' ' || "
                                                   "COALESCE(CAST(Verso AS VARCHAR(6)), '-') FROM Terrtimb ORDER BY IdErr, Data"));
}

QStringList leggiRighe(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<assente>")};
    return QString::fromLatin1(f.readAll()).remove(QLatin1Char('\r')).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

class TstAcquisizione : public QObject {
    Q_OBJECT

private slots:
    void init() { Finto::azzera(); }
    void decodifica_data();
    void decodifica();
    void telefono_data();
    void telefono();
    void formato();
    void porte();
    void nuovoTerminale();
    void postazioni();
    void acquisizione_data();
    void acquisizione();
    void ripetizione();
    void corsa_data();
    void corsa();
    void stopTraPoll();
    void sincronizzazione_data();
    void sincronizzazione();
    void invio();
    void divisione();
    void stampaScarti();
#ifdef QUORLIN_TERMINALE
    void conSimulatore();
#endif
};

void TstAcquisizione::decodifica_data()
{
    QTest::addColumn<QByteArray>("testo");
    QTest::addColumn<int>("lunghBadge");
    QTest::addColumn<int>("codice");
    QTest::addColumn<QString>("letto");  // badge verso caus quando

    QTest::newRow("predefinito") << QByteArray("0000000177100121507261745") << 10 << 0 << "0000000177 E 0012 2026-07-15 17:45";
    QTest::newRow("badge corto con zeri") << QByteArray("177       000000107260800") << 3 << 0 << "0000000177 U - 2026-07-01 08:00";
    QTest::newRow("spazi nel badge restano") << QByteArray("177       1    0107260800") << 10 << 0 << "177        E - 2026-07-01 08:00";
    QTest::newRow("causale 12") << QByteArray("0000000177212  0107260800") << 10 << 0 << "0000000177 U 0012 2026-07-01 08:00";
    QTest::newRow("anno 50 e 2050") << QByteArray("0000000177100000107502359") << 10 << 0 << "0000000177 E - 2050-07-01 23:59";
    QTest::newRow("anno 51 e 1951") << QByteArray("0000000177100000107510000") << 10 << 0 << "0000000177 E - 1951-07-01 00:00";
    QTest::newRow("31 aprile") << QByteArray("0000000177100003104260800") << 10 << int(ErrDataTransazione) << "";
    QTest::newRow("mese 13") << QByteArray("0000000177100000113260800") << 10 << int(ErrDataTransazione) << "";
    QTest::newRow("ora 24") << QByteArray("0000000177100000101262400") << 10 << int(ErrDataTransazione) << "";
    QTest::newRow("minuto 60") << QByteArray("0000000177100000101262360") << 10 << int(ErrDataTransazione) << "";
    QTest::newRow("anno non numerico") << QByteArray("0000000177100000101 60800") << 10 << int(ErrDataTransazione) << "";
    QTest::newRow("ora non numerica") << QByteArray("000000017710000010126x800") << 10 << int(ErrDataTransazione) << "";
    QTest::newRow("minuto non numerico") << QByteArray("00000001771000001012608 5") << 10 << int(ErrDataTransazione) << "";
    QTest::newRow("transazione troncata") << QByteArray("000000017710000010126") << 10 << int(ErrDataTransazione) << "";
}

void TstAcquisizione::decodifica()
{
    QFETCH(QByteArray, testo);
    QFETCH(int, lunghBadge);
    QFETCH(int, codice);
    QFETCH(QString, letto);
    FormatoTransazione f;
    f.LunghBadge = lunghBadge;
    TransazioneLetta t;
    QCOMPARE(TdtmAcquisizione::Decodifica(testo, f, &t), codice);
    if (codice == 0)
        QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(t.badge, t.verso, t.caus.isEmpty() ? QStringLiteral("-") : t.caus,
                                                     t.quando.toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
                 letto);
    // The error-punch columns are fixed whatever the format says.
    QCOMPARE(t.badgeScarto, QString::fromLatin1(testo.left(10)));
    QCOMPARE(t.dataScarto, QString::fromLatin1(testo.mid(15, 10)));
}

void TstAcquisizione::telefono_data()
{
    QTest::addColumn<QString>("telNo");
    QTest::addColumn<bool>("centralino");
    QTest::addColumn<QString>("prefisso");
    QTest::addColumn<QString>("numero");
    QTest::newRow("centralino") << "0,0123456789" << true << "0" << "0123456789";
    QTest::newRow("senza virgola") << "0123456789" << false << "" << "0123456789";
    QTest::newRow("divide alla prima virgola") << "9,12,34" << true << "9" << "12,34";
}

void TstAcquisizione::telefono()
{
    QFETCH(QString, telNo);
    QFETCH(bool, centralino);
    QFETCH(QString, prefisso);
    QFETCH(QString, numero);
    const Telefono t = Telefono::Dividi(telNo);
    QCOMPARE(t, (Telefono{centralino, prefisso, numero}));
    QCOMPARE(t.Unisci(), telNo);
}

void TstAcquisizione::formato()
{
    Ambiente amb;
    TdtmAcquisizione acq(amb.dtm());
    QCOMPARE(acq.CaricaFormato(), FormatoTransazione{});
    FormatoTransazione f{3, 6, 9, 0, 0, 12};
    acq.SalvaFormato(f);
    FileIni ini(amb.fileIni());
    QCOMPARE(ini.leggiIntero(Ini::TransFormat, QStringLiteral("PosizDataOra"), 0), 12);
    QCOMPARE(FormatoTransazione::Carica(ini), f);
}

void TstAcquisizione::porte()
{
    Ambiente amb;
    TdtmAcquisizione acq(amb.dtm());
    acq.InserisciPorta(3);
    acq.InserisciPorta(1);
    QCOMPARE(acq.PorteMancanti(), (QList<int>{2, 4}));
    QCOMPARE(acq.Porta(3), (DatiPorta{3, 1200, 7, 1, QStringLiteral("E"), {}}));
    DatiPorta p = *acq.Porta(1);
    p.baudRate = 115200;
    p.parity = QStringLiteral("S");
    p.modString = QStringLiteral("ATM0");
    acq.AggiornaPorta(p);
    QCOMPARE(acq.Porte().constFirst(), p);
    const ImpostazioniPorta i = TdtmAcquisizione::Impostazioni(p);
    QCOMPARE(i.parita, int16_t(4));
    QCOMPARE(i.baud, 115200);
    QCOMPARE(i.costante2000, 2000);

    // A station on port 3 keeps it; port 1, unused, goes.
    amb.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom) VALUES (5, 'R', 3)"));
    QVERIFY(!acq.EliminaPorta(3));
    QVERIFY(acq.EliminaPorta(1));
    QCOMPARE(acq.PorteMancanti(), (QList<int>{1, 2, 4}));

    // The fix-up of stations with no kind.
    amb.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom) VALUES (20, NULL, 1)"));
    amb.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom) VALUES (21, '', 1)"));
    acq.PreparaPostazioni();
    QCOMPARE(Banco::colonna(amb.db(), QStringLiteral("SELECT Id || Descr FROM Postaz ORDER BY Id")), QStringLiteral("5R,20R,21L"));
}

void TstAcquisizione::nuovoTerminale()
{
    Ambiente amb;
    TdtmAcquisizione acq(amb.dtm());
    QCOMPARE(acq.NuovoTerminale(), 1);
    const DatiTerminale t1 = *acq.Terminale(1);
    QCOMPARE(t1.descr, QStringLiteral("1"));
    QCOMPARE(t1.dipSet, QStringLiteral("0"));
    QCOMPARE(t1.tipo, 100);
    const DatiPostazione p = *acq.Postazione(t1.idPostaz);
    QCOMPARE(p.descr, QStringLiteral("L"));
    QCOMPARE(p.idCom, 1);
    QCOMPARE(t1.indirizzo, QString(QChar(48 + p.id)) + QStringLiteral("0"));

    // The next one shares the station at the lowest free address; punches that name
    // terminal 9 keep the new ones above it.
    amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, IdTerminale) "
                              "VALUES (1, '2026-01-01 08:00:00', '2026-01-01 08:00:00', 'E', 'E', 9)"));
    QCOMPARE(acq.NuovoTerminale(), 10);
    QCOMPARE(acq.Terminale(10)->idPostaz, p.id);
    QCOMPARE(acq.Terminale(10)->dipSet, QStringLiteral("1"));

    // Address 12 is "<"; an address used on the same station is refused.
    QVERIFY(acq.ImpostaIndirizzo(10, 12));
    QCOMPARE(acq.Terminale(10)->dipSet, QStringLiteral("<"));
    QCOMPARE(acq.Terminale(10)->indirizzoTerminale(), 12);
    QVERIFY(!acq.ImpostaIndirizzo(1, 12));
    QCOMPARE(acq.Terminale(1)->dipSet, QStringLiteral("0"));
    QVERIFY(acq.ImpostaIndirizzo(1, 1));
    QCOMPARE(acq.NuovoTerminale(), 11);
    QCOMPARE(acq.Terminale(11)->dipSet, QStringLiteral("0"));
}

void TstAcquisizione::postazioni()
{
    Ambiente amb;
    impianto(amb);
    TdtmAcquisizione acq(amb.dtm());
    // Terminal 1 leaves the shared local station 21 for a remote one: 21 stays local for
    // terminal 2, and the new remote stations take the lowest free Ids (1 is taken).
    QCOMPARE(acq.RisolviPostazione(1, 1, true, QStringLiteral("555")), std::optional<int>(2));
    QCOMPARE(acq.Postazione(21)->descr, QStringLiteral("L"));
    QCOMPARE(acq.Terminale(1)->indirizzo, QStringLiteral("20"));
    QCOMPARE(acq.RisolviPostazione(2, 1, true, QStringLiteral("0,666")), std::optional<int>(3));
    // The same number on the same port finds the station; an empty one resolves none.
    QCOMPARE(acq.RisolviPostazione(2, 1, true, QStringLiteral("555")), std::optional<int>(2));
    QCOMPARE(acq.RisolviPostazione(2, 1, true, QString()), std::nullopt);
    QCOMPARE(acq.Terminale(2)->idPostaz, 2);
    // Two terminals now share station 2 at different addresses (2 kept 3, 1 kept 0).
    QCOMPARE(acq.Terminale(2)->dipSet, QStringLiteral("3"));
    // A local station with the same number is not a remote one.
    amb.esegui(QStringLiteral("UPDATE Postaz SET Descr = 'L', TelNo = '777' WHERE Id = 21"));
    QCOMPARE(acq.RisolviPostazione(3, 1, true, QStringLiteral("777")), std::optional<int>(4));

    // "Locale" on the shared station 2 gives terminal 1 a station of its own; terminal 2
    // stays remote.
    acq.ImpostaCollegamento(1, false);
    const DatiPostazione propria = *acq.Postazione(acq.Terminale(1)->idPostaz);
    QCOMPARE(propria.descr, QStringLiteral("L"));
    QVERIFY(propria.id != 2);
    QCOMPARE(acq.Postazione(2)->descr, QStringLiteral("R"));
    // Alone on station 4, terminal 3 changes it in place.
    acq.ImpostaCollegamento(3, false);
    QCOMPARE(acq.Terminale(3)->idPostaz, 4);
    QCOMPARE(acq.Postazione(4)->descr, QStringLiteral("L"));

    // Deleting a terminal purges the stations nobody uses, except station 1.
    acq.EliminaTerminale(2);
    acq.EliminaTerminale(3);
    QCOMPARE(Banco::colonna(amb.db(), QStringLiteral("SELECT Id FROM Postaz ORDER BY Id")), QStringLiteral("1,%1").arg(propria.id));
    // Every terminal still refers to a station that exists.
    QCOMPARE(amb.conta(QStringLiteral("Terminali"), QStringLiteral("IdPostaz NOT IN (SELECT Id FROM Postaz)")), 0);
}

void TstAcquisizione::acquisizione_data()
{
    QTest::addColumn<QList<QByteArray>>("transazioni");
    QTest::addColumn<QString>("punch");
    QTest::addColumn<QString>("scarti");

    QTest::newRow("badge passato ad altro dipendente")
        << QList<QByteArray>{"0000000177100120106260800", "0000000177000000207260800"}
        << "1 2026-06-01 08:00:00 E 0012 1,2 2026-07-02 08:00:00 U - 1" << "";
    QTest::newRow("badge con una riga senza controllo date")
        << QList<QByteArray>{"0000000400100000106260800"} << "4 2026-06-01 08:00:00 E - 1" << "";
    QTest::newRow("badge senza dipendente, ignoto, causale 0000")
        << QList<QByteArray>{"0000000300100000106260800", "0000000999100000106260801", "00000001771    0106260900"}
        << "1 2026-06-01 09:00:00 E - 1" << "2601 0000000300 0106260800 1,2601 0000000999 0106260801 1";
    QTest::newRow("anno non numerico scartato e si prosegue")
        << QList<QByteArray>{"00000001771000001062A0800", "0000000177100000106261000"}
        << "1 2026-06-01 10:00:00 E - 1" << "2603 0000000177 01062A0800 1";
    QTest::newRow("verso non cifra registrato senza verso")
        << QList<QByteArray>{"0000000999X00000106260800"} << "" << "2601 0000000999 0106260800 -";
    QTest::newRow("stessa ora registrata: doppione")
        << QList<QByteArray>{"0000000177100000106260800", "0000000177000000106260800"}
        << "1 2026-06-01 08:00:00 E - 1" << "2602 0000000177 0106260800 0";
}

void TstAcquisizione::acquisizione()
{
    QFETCH(QList<QByteArray>, transazioni);
    QFETCH(QString, punch);
    QFETCH(QString, scarti);
    Ambiente amb;
    impianto(amb);
    for (const QByteArray& t : transazioni)
        Finto::code[0].append(T(t.constData()));
    TdtmAcquisizione acq(amb.dtm());
    OsservatoreRegistro oss;
    const EsitoRun e = acq.Acquisisci(Finto::tabella, {1}, oss);
    QCOMPARE(timbrature(amb), punch);
    QCOMPARE(::scarti(amb), scarti);
    QCOMPARE(e.transazioni, int(transazioni.size()));
    QCOMPARE(e.registrate + e.rifiutate, e.transazioni);
    QCOMPARE(oss.avvisi.size(), e.rifiutate);
    QVERIFY(e.completa(1));
    // Every transaction acknowledged and logged as received.
    QVERIFY(Finto::code[0].isEmpty());
    QStringList attese;
    for (const QByteArray& t : transazioni)
        attese << QString::fromLatin1(t);
    QCOMPARE(leggiRighe(QDir(amb.dir()).filePath(QStringLiteral("transaz.dat"))), attese);
}

// A transaction stored, then delivered again (the acknowledge never reached the terminal):
// rejected as already stored, even after processing moved its valid time, never doubled.
void TstAcquisizione::ripetizione()
{
    Ambiente amb;
    impianto(amb);
    TdtmAcquisizione acq(amb.dtm());
    OsservatoreRegistro oss;
    Finto::code[0] = {T("0000000177100000106260800")};
    // The punch is committed, seen by another connection, before the terminal hears of it.
    Database altra;
    altra.apri(amb.produzione().connessione(), false);
    QList<int> vistePrimaDellaConferma;
    Finto::allaConferma = [&] { vistePrimaDellaConferma << altra.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature")).toInt(); };
    acq.Acquisisci(Finto::tabella, {1}, oss);
    QCOMPARE(vistePrimaDellaConferma, (QList<int>{1, 1}));  // the punch, then type 6
    Finto::allaConferma = {};
    amb.esegui(QStringLiteral("UPDATE Timbrature SET DataV = '2026-06-01 08:05:00'"));
    Finto::code[0] = {T("0000000177100000106260800")};
    const EsitoRun e = acq.Acquisisci(Finto::tabella, {1}, oss);
    QCOMPARE(e.duplicate, 1);
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 1);
    QCOMPARE(::scarti(amb), QStringLiteral("2602 0000000177 0106260800 1"));
    QCOMPARE(leggiRighe(QDir(amb.dir()).filePath(QStringLiteral("transaz.dat"))).size(), 2);

    // The rejection cannot be recorded (its table vanishes under it, inside the transaction
    // that rolls back): left unacknowledged in the terminal, the run ends.
    struct Guasto : OsservatoreRegistro {
        Ambiente* amb = nullptr;
        void Avviso(const QString& t) override
        {
            OsservatoreRegistro::Avviso(t);
            amb->esegui(QStringLiteral("DROP TABLE Terrtimb"));
        }
    } guasto;
    guasto.amb = &amb;
    Finto::code[0] = {T("0000000999100000106260800")};
    Finto::chiamate.clear();
    const EsitoRun f = acq.Acquisisci(Finto::tabella, {1, 2}, guasto);
    QCOMPARE(f.turni, (QList<TurnoTerminale>{{1, EsitoTerminale::ErroreDatabase}}));
    QCOMPARE(Finto::code[0].size(), 1);
    QCOMPARE(Finto::chiamate.join(QLatin1Char(',')), QStringLiteral("CreatePort 1 9600 801,OpenPort,Poll 0,ClosePort,DestroyPort"));
    QVERIFY(!acq.InCorso());
}

void TstAcquisizione::corsa_data()
{
    QTest::addColumn<int>("caso");
    QTest::addColumn<QString>("turni");    // id:esito of each terminal visited
    QTest::addColumn<QString>("avvisi");   // warning numbers or library texts
    QTest::addColumn<QString>("chiamate"); // the library calls, in order

    // 0: terminal 1 answers nothing, 2 reports an error, 3 (remote) gives one punch.
    QTest::newRow("tipi 0 e 1 avvisano, si prosegue")
        << 0 << "1:1,2:2,3:0" << "2612,2611"
        << "CreatePort 1 9600 801,OpenPort,Poll 0,Ack,ClosePort,DestroyPort,"
           "CreatePort 1 9600 801,OpenPort,Poll 3,Ack,ClosePort,DestroyPort,"
           "CreatePort 2 1200 721,OpenPort,Dial 0,0123456789 ATX3 1 60,Poll 0,Ack,Poll 0,Ack,ClosePort,DestroyPort";
    QTest::newRow("porta mancante termina la corsa") << 1 << "1:3" << "9712" << "";
    QTest::newRow("porta non creata: mai chiusa") << 2 << "1:4" << "errore 5" << "CreatePort 1 9600 801";
    QTest::newRow("porta non aperta: chiusa, corsa finita") << 3 << "1:4" << "errore 6" << "CreatePort 1 9600 801,OpenPort,ClosePort,DestroyPort";
    QTest::newRow("chiamata fallita") << 4 << "3:5" << "errore 7" << "CreatePort 2 1200 721,OpenPort,Dial 0,0123456789 ATX3 1 60,ClosePort,DestroyPort";
}

void TstAcquisizione::corsa()
{
    QFETCH(int, caso);
    QFETCH(QString, turni);
    QFETCH(QString, avvisi);
    QFETCH(QString, chiamate);
    Ambiente amb;
    impianto(amb);
    QList<int> scelti{1, 2, 3};
    switch (caso) {
    case 0:
        Finto::code[0] = {{MessaggioNessuno, {}}, T("0000000177100000107260800")};
        Finto::code[3] = {{MessaggioErrore, "guasto"}};
        break;
    case 1:
        amb.esegui(QStringLiteral("DELETE FROM Porte WHERE Id = 1"));
        break;
    case 2:
        Finto::creazione[1] = 5;
        break;
    case 3:
        Finto::apertura[1] = 6;
        break;
    case 4:
        Finto::chiamata = 7;
        scelti = {3, 1};
        break;
    }
    TdtmAcquisizione acq(amb.dtm());
    OsservatoreRegistro oss;
    const EsitoRun e = acq.Acquisisci(Finto::tabella, scelti, oss);
    QStringList t;
    for (const TurnoTerminale& x : e.turni)
        t << QStringLiteral("%1:%2").arg(x.idTerminale).arg(int(x.esito));
    QCOMPARE(t.join(QLatin1Char(',')), turni);
    QStringList a;
    for (const QString& x : oss.avvisi) {
        bool numero = false;
        for (int n : {2611, 2612, 9712})
            if (x.startsWith(amb.dtm().TestoErrore(n))) {
                a << QString::number(n);
                numero = true;
            }
        if (!numero)
            a << x;
    }
    QCOMPARE(a.join(QLatin1Char(',')), avvisi);
    QCOMPARE(Finto::chiamate.join(QLatin1Char(',')), chiamate);
    QCOMPARE(oss.chiamate.constFirst(), QStringLiteral("Interruttore 1"));
    QCOMPARE(oss.chiamate.constLast(), QStringLiteral("Interruttore 0"));
    if (caso == 0) {
        // The remote terminal's punch, and the counter in the status.
        QCOMPARE(timbrature(amb), QStringLiteral("2 2026-07-01 08:00:00 E - 3"));
        QVERIFY(oss.chiamate.contains(QStringLiteral("Stato Filiale|%1 1").arg(amb.dtm().TestoScelta(EtRicezioneTransazione))));
    }
}

// "&Stop" pressed while polling: the cycle in progress finishes (stored, acknowledged), the
// port is closed and the run ends; the next run counts from 1 again.
void TstAcquisizione::stopTraPoll()
{
    Ambiente amb;
    impianto(amb);
    TdtmAcquisizione acq(amb.dtm());
    Finto::code[0] = {T("0000000177100000106260800"), T("0000000177000000106261700")};
    OsservatoreRegistro oss;
    oss.azioneDopo = 1;
    oss.azione = [&acq] { acq.RichiediStop(); };
    EsitoRun e = acq.Acquisisci(Finto::tabella, {1, 2}, oss);
    QVERIFY(e.interrotta);
    QCOMPARE(e.turni, (QList<TurnoTerminale>{{1, EsitoTerminale::Interrotto}}));
    QCOMPARE(Finto::chiamate.join(QLatin1Char(',')), QStringLiteral("CreatePort 1 9600 801,OpenPort,Poll 0,Ack,ClosePort,DestroyPort"));
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 1);
    OsservatoreRegistro altro;
    e = acq.Acquisisci(Finto::tabella, {1}, altro);
    QVERIFY(!e.interrotta);
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 2);
    QVERIFY(altro.chiamate.contains(QStringLiteral("Stato Ingresso|%1 1").arg(amb.dtm().TestoScelta(EtRicezioneTransazione))));
}

void TstAcquisizione::sincronizzazione_data()
{
    QTest::addColumn<QList<int>>("stati");  // TermSync answers in order
    QTest::addColumn<int>("creazione");     // CreatePort status on port 1
    QTest::addColumn<QString>("turni");
    QTest::addColumn<QStringList>("avvisi");

    QTest::newRow("la seconda sync conta") << QList<int>{9, 0} << 0 << "1:0,2:0,3:0" << QStringList{};
    QTest::newRow("sync fallita: avviso, si prosegue") << QList<int>{0, 9} << 0 << "1:6,2:0,3:0" << QStringList{"errore 9"};
    QTest::newRow("porta non creata: avviso, fine") << QList<int>{} << 5 << "1:4" << QStringList{"errore 5"};
}

void TstAcquisizione::sincronizzazione()
{
    QFETCH(QList<int>, stati);
    QFETCH(int, creazione);
    QFETCH(QString, turni);
    QFETCH(QStringList, avvisi);
    Ambiente amb;
    impianto(amb);
    for (int s : stati)
        Finto::sync << uint16_t(s);
    Finto::creazione[1] = uint16_t(creazione);
    TdtmAcquisizione acq(amb.dtm());
    OsservatoreRegistro oss;
    const EsitoRun e = acq.Sincronizza(Finto::tabella, {1, 2, 3}, oss);
    QStringList t;
    for (const TurnoTerminale& x : e.turni)
        t << QStringLiteral("%1:%2").arg(x.idTerminale).arg(int(x.esito));
    QCOMPARE(t.join(QLatin1Char(',')), turni);
    QCOMPARE(oss.avvisi, avvisi);
    QCOMPARE(Finto::chiamate.count(QStringLiteral("Sync 3")), creazione ? 0 : 2);
    QCOMPARE(Finto::chiamate.count(QStringLiteral("ClosePort")), creazione ? 0 : 3);
    QVERIFY(!QFile::exists(QDir(amb.dir()).filePath(QStringLiteral("transaz.dat"))));
}

void TstAcquisizione::invio()
{
    Ambiente amb;
    impianto(amb);
    TdtmAcquisizione acq(amb.dtm());
    OsservatoreRegistro oss;
    QVERIFY(!acq.InviaConfigurazione(Finto::tabella, 2, {}, oss));
    QVERIFY(Finto::chiamate.isEmpty());
    QVERIFY(acq.InviaConfigurazione(Finto::tabella, 2, QStringLiteral("Sele/T00001.txt"), oss));
    QCOMPARE(Finto::chiamate.join(QLatin1Char(',')), QStringLiteral("CreatePort 1 9600 801,OpenPort,Prog 3 T00001.txt,ClosePort,DestroyPort"));
    Finto::prog = 4;
    QVERIFY(!acq.InviaConfigurazione(Finto::tabella, 3, QStringLiteral("T00001.txt"), oss));
    QCOMPARE(oss.avvisi, QStringList{QStringLiteral("errore 4")});
    QCOMPARE(Finto::chiamate.constLast(), QStringLiteral("DestroyPort"));
}

void TstAcquisizione::divisione()
{
    Ambiente amb;
    TdtmAcquisizione acq(amb.dtm());
    QCOMPARE(acq.CartellaConfigurazione(), amb.dtm().cfg().DirApplicazione);
    const QString file = QDir(amb.dir()).filePath(QStringLiteral("tutti.cfg"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("intestazione\r\nT00001|uno\r\nT00002|due\r\n   \r\nT00001|tre\r\n../x/a|fuori\r\n");
    f.close();
    QVERIFY(TdtmAcquisizione::FileCombinato(file));
    OsservatoreRegistro oss;
    const EsitoDivisione e = acq.DividiFileCombinato(file, oss);
    const QDir sele(acq.CartellaSele());
    QCOMPARE(acq.CartellaConfigurazione(), sele.path());
    QCOMPARE(e.scritti, (QStringList{sele.filePath(QStringLiteral("T00001.txt")), sele.filePath(QStringLiteral("T00002.txt"))}));
    QCOMPARE(e.chiaviRifiutate, QStringList{QStringLiteral("../x/a")});
    QCOMPARE(oss.avvisi.size(), 1);
    QCOMPARE(leggiRighe(e.scritti.at(0)), (QStringList{QStringLiteral(" uno"), QStringLiteral(" tre")}));
    QCOMPARE(leggiRighe(e.scritti.at(1)), QStringList{QStringLiteral(" due")});
    QCOMPARE(sele.entryList(QDir::Files), (QStringList{QStringLiteral("T00001.txt"), QStringLiteral("T00002.txt")}));

    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("intestazione\nT00001 uno\n");
    f.close();
    QVERIFY(!TdtmAcquisizione::FileCombinato(file));
}

void TstAcquisizione::stampaScarti()
{
    Ambiente amb;
    impianto(amb);
    TdtmAcquisizione acq(amb.dtm());
    QVERIFY(!acq.CiSonoTimbratureScartate());
    Finto::code[0] = {T("0000000999100000106260800"), T("0000000177X00003106260800")};
    OsservatoreRegistro oss;
    acq.Acquisisci(Finto::tabella, {1}, oss);
    const DocumentoStampa doc = TrptTimbScart(amb.dtm()).Crea(QStringLiteral("Timbrature scartate"));
    QCOMPARE(doc.colonne.size(), 4);
    QCOMPARE(doc.righe.size(), 2);
    QCOMPARE(doc.righe.at(0).celle, (QStringList{QStringLiteral("0000000999"), QStringLiteral("0106260800"), QStringLiteral("1"),
                                                 amb.dtm().TestoErrore(2601)}));
    QCOMPARE(doc.righe.at(1).celle, (QStringList{QStringLiteral("0000000177"), QStringLiteral("3106260800"), QString(),
                                                 amb.dtm().TestoErrore(2603)}));
    acq.SvuotaTimbratureScartate();
    QVERIFY(!acq.CiSonoTimbratureScartate());
}

QTEST_GUILESS_MAIN(TstAcquisizione)
#ifdef QUORLIN_TERMINALE
// The whole way over the serial library: two terminals on the local line of COM1 and one
// behind a modem on COM2, each a simulator on a pseudo-terminal. Every transaction is stored
// or rejected once and logged; a second run finds nothing more.
void TstAcquisizione::conSimulatore()
{
    Ambiente amb;
    impianto(amb);
    const auto file = [&](const char* nome, const QByteArray& righe) {
        const QString percorso = QDir(amb.dir()).filePath(QLatin1String(nome));
        QFile f(percorso);
        if (f.open(QIODevice::WriteOnly))
            f.write(righe);
        return percorso;
    };
    const QByteArray locale = "0\t0000000177100120106260800\n"  // employee 1, cause 0012
                              "0\t0000000999100000106260801\n"  // unknown badge
                              "0\t0000000177200000106261200\n"  // cause 0000: none
                              "3\t0000000177100003102262500\n"  // 31 February, 25:00
                              "3\t       1771    0106260802\n"; // blanks in the badge field
    Simulatore com1({QStringLiteral("--terminale"), QStringLiteral("0"), QStringLiteral("--terminale"), QStringLiteral("3"),
                     QStringLiteral("--transazioni"), file("com1.txt", locale)},
                    1);
    Simulatore com2({QStringLiteral("--modem"), QStringLiteral("--transazioni"), file("com2.txt", "0\t0000000400100000102300800\n")}, 2);
    QVERIFY(!com1.percorso.isEmpty() && !com2.percorso.isEmpty());

    TdtmAcquisizione acq(amb.dtm());
    OsservatoreRegistro oss;
    const EsitoRun e = acq.Acquisisci(LibreriaSeriale(), {1, 2, 3}, oss);
    QVERIFY2(e.completa(3), qPrintable(oss.avvisi.join(QLatin1Char('\n'))));
    QCOMPARE(e.transazioni, 6);
    QCOMPARE(timbrature(amb), QStringLiteral("1 2026-06-01 08:00:00 E 0012 1,1 2026-06-01 12:00:00 U - 1,4 2030-02-01 08:00:00 E - 3"));
    QCOMPARE(::scarti(amb), QStringLiteral("2601 0000000999 0106260801 1,2601        177 0106260802 1,2603 0000000177 3102262500 1"));
    QStringList attese;
    for (const QByteArray& r : (locale + "0\t0000000400100000102300800\n").split('\n'))
        if (!r.isEmpty())
            attese << QString::fromLatin1(r.mid(2));
    const QString log = QDir(amb.dir()).filePath(QStringLiteral("transaz.dat"));
    QCOMPARE(leggiRighe(log), attese);

    const EsitoRun ancora = acq.Acquisisci(LibreriaSeriale(), {1, 2, 3}, oss);
    QVERIFY(ancora.completa(3));
    QCOMPARE(ancora.transazioni, 0);
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 3);
    QCOMPARE(leggiRighe(log), attese);
}
#endif

#include "tst_acquisizione.moc"
