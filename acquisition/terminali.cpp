#include "terminali.h"

#include "protocollo.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QThread>

#include <array>
#include <cstring>
#include <memory>

using namespace Protocollo;

namespace {

struct Porta {
    ImpostazioniPorta impostazioni;
    std::unique_ptr<QSerialPort> linea;
    bool collegata = false;  // a modem line is up: hang it up on closing
    uint8_t sequenza = 0;
    LettoreTrame lettore;
    QByteArray righeModem;
    // The last message received; the pointer SendPolling hands out points here, so it
    // stays valid until the next call on the handle.
    std::array<uint8_t, DimensioneMessaggio> messaggio{};
    // The transaction received and not acknowledged yet.
    bool daConfermare = false;
    uint32_t numeroTransazione = 0;
    uint8_t indirizzoTransazione = 0;
};

QMutex g_mutex;
std::array<QString, 4> g_dispositivi;
TempiSeriale g_tempi;
Porta* g_aperta = nullptr;  // one port is open at a time

TempiSeriale tempi()
{
    QMutexLocker l(&g_mutex);
    return g_tempi;
}

Porta* porta(HandlePorta h)
{
    return static_cast<Porta*>(h);
}

bool aperta(const Porta* p)
{
    return p && p->linea && p->linea->isOpen();
}

// Takes what the line holds, waiting up to the deadline for more when it holds nothing.
// False when the line failed.
bool attendi(Porta* p, QByteArray& dest, const QDeadlineTimer& scadenza)
{
    QByteArray byte = p->linea->readAll();
    if (byte.isEmpty() && !scadenza.hasExpired()) {
        p->linea->waitForReadyRead(int(qMax<qint64>(1, scadenza.remainingTime())));
        byte = p->linea->readAll();
    }
    dest.append(byte);
    return p->linea->error() != QSerialPort::ResourceError;
}

bool scrivi(Porta* p, const QByteArray& byte)
{
    if (p->linea->write(byte) != byte.size())
        return false;
    // Whatever the baud rate, a frame leaves within a second on top of its own length.
    return p->linea->waitForBytesWritten(1000 + int(byte.size() * 10000LL / qMax(300, p->impostazioni.baud)))
        || p->linea->bytesToWrite() == 0;
}

// One request and its answer, sent again after a garbled, refused (NAK) or missing answer.
uint16_t scambio(Porta* p, uint8_t indirizzo, uint8_t tipo, const QByteArray& dati, Trama* risposta)
{
    if (!aperta(p))
        return StatoNonAperta;
    const TempiSeriale t = tempi();
    const Trama richiesta{indirizzo, false, tipo, ++p->sequenza, dati};
    const QByteArray trama = Codifica(richiesta);
    const int attesa = t.rispostaMs + int(TramaMassima * 10000LL / qMax(300, p->impostazioni.baud));
    // Bytes left over from an earlier exchange never pass for this one's answer.
    p->linea->readAll();
    p->lettore.svuota();
    bool alterata = false;
    for (int tentativo = 0; tentativo < qMax(1, t.tentativi); ++tentativo) {
        if (!scrivi(p, trama))
            return StatoErroreLinea;
        const QDeadlineTimer scadenza(attesa);
        bool ripeti = false;
        while (!ripeti) {
            Trama r;
            const LettoreTrame::Esito e = p->lettore.prossima(&r);
            if (e == LettoreTrame::Esito::Trama) {
                // An answer to another request (sent late) or from another address is not ours.
                if (!r.risposta || r.indirizzo != indirizzo || r.sequenza != richiesta.sequenza)
                    continue;
                if (r.tipo == Nak) {
                    alterata = true;
                    break;
                }
                *risposta = r;
                return StatoOk;
            }
            if (e == LettoreTrame::Esito::Alterata) {
                alterata = true;
                break;
            }
            if (scadenza.hasExpired()) {
                // A frame cut short is garbled, not missing.
                if (p->lettore.inCorso())
                    alterata = true;
                p->lettore.svuota();
                ripeti = true;
                continue;
            }
            QByteArray arrivati;
            if (!attendi(p, arrivati, scadenza))
                return StatoErroreLinea;
            p->lettore.aggiungi(arrivati);
        }
    }
    return alterata ? StatoTramaAlterata : StatoNessunaRisposta;
}

// The next line the modem sends, or an empty one when none came before the deadline.
QByteArray rigaModem(Porta* p, const QDeadlineTimer& scadenza)
{
    for (;;) {
        for (;;) {
            const qsizetype fine = p->righeModem.indexOf('\n');
            const qsizetype cr = p->righeModem.indexOf('\r');
            const qsizetype taglio = fine < 0 ? cr : cr < 0 ? fine : qMin(fine, cr);
            if (taglio < 0)
                break;
            const QByteArray riga = p->righeModem.left(taglio).trimmed().toUpper();
            p->righeModem.remove(0, taglio + 1);
            if (!riga.isEmpty())
                return riga;
        }
        if (scadenza.hasExpired() || !attendi(p, p->righeModem, scadenza))
            return {};
    }
}

uint16_t comandoModem(Porta* p, const QByteArray& comando, const QDeadlineTimer& scadenza, QByteArray* esito)
{
    if (!scrivi(p, comando + '\r'))
        return StatoErroreLinea;
    for (;;) {
        const QByteArray riga = rigaModem(p, scadenza);
        if (riga.isEmpty())
            return StatoModemTimeout;
        static const QByteArray esiti[] = {"OK", "CONNECT", "BUSY", "NO CARRIER", "NO DIALTONE", "NO DIAL TONE", "ERROR"};
        for (const QByteArray& e : esiti)
            if (riga.startsWith(e)) {
                *esito = e;
                return StatoOk;
            }
        // Anything else is the modem's echo of the command or a progress line.
    }
}

uint16_t CreatePort(ImpostazioniPorta impostazioni, HandlePorta* handle)
{
    if (!handle)
        return StatoArgomenti;
    *handle = nullptr;
    const ImpostazioniPorta& i = impostazioni;
    if (i.porta < 1 || i.porta > 4 || (i.bitStop != 1 && i.bitStop != 2) || (i.bitDati != 7 && i.bitDati != 8) || i.parita < 0
        || i.parita > 4 || i.baud <= 0)
        return StatoArgomenti;
    auto* p = new Porta;
    p->impostazioni = impostazioni;
    // A host started again after a crash does not reuse the numbers the terminal last saw.
    p->sequenza = uint8_t(QRandomGenerator::global()->generate());
    *handle = p;
    return StatoOk;
}

uint16_t OpenPort(HandlePorta handle)
{
    Porta* p = porta(handle);
    if (!p)
        return StatoNonAperta;
    if (aperta(p))
        return StatoOk;
    if (g_aperta && g_aperta != p)
        return StatoDispositivoOccupato;
    const QString percorso = Dispositivo(p->impostazioni.porta);
#ifndef Q_OS_WIN
    if (!QFileInfo::exists(percorso))
        return StatoDispositivoAssente;
#endif
    auto linea = std::make_unique<QSerialPort>();
    linea->setPortName(percorso);
    if (!linea->open(QIODevice::ReadWrite)) {
        switch (linea->error()) {
        case QSerialPort::DeviceNotFoundError:
            return StatoDispositivoAssente;
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            return StatoDispositivoOccupato;
        default:
            return StatoErroreLinea;
        }
    }
    const ImpostazioniPorta& i = p->impostazioni;
    static const QSerialPort::Parity parita[] = {QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity,
                                                 QSerialPort::MarkParity, QSerialPort::SpaceParity};
    linea->setBaudRate(i.baud);
    linea->setDataBits(i.bitDati == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    linea->setParity(parita[i.parita]);
    linea->setStopBits(i.bitStop == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    linea->setFlowControl(QSerialPort::NoFlowControl);
    // A pseudo-terminal refuses some settings; the line works all the same.
    linea->clearError();
    linea->clear();
    p->linea = std::move(linea);
    p->lettore.svuota();
    p->righeModem.clear();
    g_aperta = p;
    return StatoOk;
}

uint16_t Dial(HandlePorta handle, const char* numero, const char* stringaModem, uint8_t impulsi, int32_t timeout)
{
    Porta* p = porta(handle);
    if (!aperta(p))
        return StatoNonAperta;
    if (!numero || !*numero)
        return StatoArgomenti;
    const QDeadlineTimer scadenza(qint64(timeout > 0 ? timeout : 60) * 1000);
    p->righeModem.clear();
    p->linea->readAll();
    QByteArray esito;
    const QByteArray iniziale = stringaModem ? QByteArray(stringaModem).trimmed() : QByteArray();
    if (!iniziale.isEmpty()) {
        if (const uint16_t s = comandoModem(p, iniziale, scadenza, &esito))
            return s;
        if (esito != "OK")
            return StatoModemErrore;
    }
    const uint16_t s = comandoModem(p, (impulsi == 1 ? "ATDP" : "ATDT") + QByteArray(numero), scadenza, &esito);
    if (s == StatoModemTimeout)
        scrivi(p, "\r");  // any character stops a modem still dialling
    if (s)
        return s;
    if (esito == "CONNECT") {
        p->collegata = true;
        p->lettore.svuota();
        p->lettore.aggiungi(p->righeModem);
        p->righeModem.clear();
        return StatoOk;
    }
    if (esito == "BUSY")
        return StatoModemOccupato;
    if (esito == "NO CARRIER")
        return StatoModemNoCarrier;
    if (esito.startsWith("NO DIAL"))
        return StatoModemNoDialtone;
    return StatoModemErrore;
}

uint16_t SendPolling(HandlePorta handle, int16_t indirizzo, int32_t, PuntatoreMessaggio* messaggio)
{
    if (!messaggio)
        return StatoArgomenti;
    *messaggio = nullptr;
    Porta* p = porta(handle);
    if (!aperta(p))
        return StatoNonAperta;
    if (indirizzo < 0 || indirizzo > IndirizzoMassimo)
        return StatoArgomenti;
    // A poll without the acknowledge of the previous transaction leaves it to the terminal,
    // which gives it again.
    p->daConfermare = false;
    Trama r;
    if (const uint16_t s = scambio(p, uint8_t(indirizzo), Poll, {}, &r))
        return s;
    auto& m = p->messaggio;
    m.fill(0);
    m[0] = uint8_t(indirizzo);
    QByteArray testo;
    switch (r.tipo) {
    case Transazione:
        if (r.dati.size() < 4)
            return StatoTramaAlterata;
        p->daConfermare = true;
        p->numeroTransazione = LeggiIntero(r.dati, 0);
        p->indirizzoTransazione = uint8_t(indirizzo);
        for (int i = 0; i < 4; ++i)
            m[size_t(1 + i)] = uint8_t(r.dati.at(i));
        m[PosizioneTipoMessaggio] = MessaggioTransazione;
        testo = r.dati.mid(4);
        break;
    case Fine:
        m[PosizioneTipoMessaggio] = MessaggioFine;
        break;
    default:
        // An error, or an answer that means nothing to a poll: the caller stops polling.
        m[PosizioneTipoMessaggio] = MessaggioErrore;
        testo = r.dati;
        break;
    }
    const qsizetype nul = testo.indexOf('\0');
    testo.truncate(qMin<qsizetype>(nul < 0 ? testo.size() : nul, LunghezzaTestoMessaggio - 1));
    std::memcpy(m.data() + PosizioneTestoMessaggio, testo.constData(), size_t(testo.size()));
    *messaggio = m.data();
    return StatoOk;
}

void GetTerminalMessage(PuntatoreMessaggio messaggio, uint8_t* buffer288)
{
    if (!buffer288)
        return;
    if (messaggio)
        std::memcpy(buffer288, messaggio, DimensioneMessaggio);
    else
        std::memset(buffer288, 0, DimensioneMessaggio);
}

uint16_t SendAcknowledge(HandlePorta handle)
{
    Porta* p = porta(handle);
    if (!aperta(p))
        return StatoNonAperta;
    if (!p->daConfermare)
        return StatoOk;
    QByteArray dati;
    ScriviIntero(dati, p->numeroTransazione);
    Trama r;
    if (const uint16_t s = scambio(p, p->indirizzoTransazione, Ack, dati, &r))
        return s;
    p->daConfermare = false;
    return r.tipo == Ack ? StatoOk : StatoProgRifiutato;
}

uint16_t TermSync(HandlePorta handle, int16_t indirizzo)
{
    Porta* p = porta(handle);
    if (!aperta(p))
        return StatoNonAperta;
    if (indirizzo < 0 || indirizzo > IndirizzoMassimo)
        return StatoArgomenti;
    Trama r;
    const QByteArray ora = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (const uint16_t s = scambio(p, uint8_t(indirizzo), Sync, ora, &r))
        return s;
    return r.tipo == Ack ? StatoOk : StatoProgRifiutato;
}

uint16_t TermProg(HandlePorta handle, int32_t indirizzo, const char* percorso)
{
    Porta* p = porta(handle);
    if (!aperta(p))
        return StatoNonAperta;
    if (indirizzo < 0 || indirizzo > IndirizzoMassimo || !percorso)
        return StatoArgomenti;
    QFile f(QFile::decodeName(percorso));
    if (!f.open(QIODevice::ReadOnly))
        return StatoFileIllegibile;
    // Only the first block is read of a file longer than any terminal holds: it is refused.
    const QByteArray contenuto = f.read(FileProgMassimo + 1);
    const uint32_t totale = uint32_t(qMax<qint64>(f.size(), contenuto.size()));
    qsizetype posizione = 0;
    do {
        QByteArray dati;
        ScriviIntero(dati, uint32_t(posizione));
        ScriviIntero(dati, totale);
        const QByteArray blocco = contenuto.mid(posizione, BloccoProg);
        Trama r;
        if (const uint16_t s = scambio(p, uint8_t(indirizzo), Prog, dati + blocco, &r))
            return s;
        if (r.tipo != Ack)
            return StatoProgRifiutato;
        posizione += blocco.size();
        if (LeggiIntero(r.dati, 0) != uint32_t(posizione))
            return StatoProgRifiutato;
    } while (posizione < contenuto.size());
    return StatoOk;
}

void ClosePort(HandlePorta handle)
{
    Porta* p = porta(handle);
    if (!p)
        return;
    if (aperta(p) && p->collegata) {
        // Hang up: drop DTR where the line has it, and the escape with its guard times
        // followed by ATH for modems that ignore DTR.
        const int guardia = tempi().guardiaMs;
        p->linea->setDataTerminalReady(false);
        QThread::msleep(ulong(guardia));
        scrivi(p, "+++");
        QThread::msleep(ulong(guardia));
        QByteArray esito;
        comandoModem(p, "ATH", QDeadlineTimer(qMax(1000, guardia)), &esito);
    }
    p->collegata = false;
    p->daConfermare = false;
    if (p->linea)
        p->linea->close();
    p->linea.reset();
    if (g_aperta == p)
        g_aperta = nullptr;
}

void DestroyPort(HandlePorta* handle)
{
    if (!handle || !*handle)
        return;
    ClosePort(*handle);
    delete porta(*handle);
    *handle = nullptr;
}

const QHash<uint16_t, QByteArray>& testi()
{
    static const QHash<uint16_t, QByteArray> t = [] {
        QHash<uint16_t, QByteArray> h;
        QFile f(QStringLiteral(":/acquisition/terminali_errori.tsv"));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& riga : f.readAll().split('\n')) {
                const qsizetype tab = riga.indexOf('\t');
                if (tab <= 0)
                    continue;
                const QByteArray chiave = riga.left(tab);
                bool ok = false;
                const uint n = chiave.toUInt(&ok);
                // The row "*" is the text of an unknown status, with its number for %1.
                h.insert(ok ? uint16_t(n) : uint16_t(0xFFFF), riga.mid(tab + 1).trimmed());
            }
        return h;
    }();
    return t;
}

const char* GetErrorMessage(uint16_t stato)
{
    const auto& t = testi();
    if (stato != 0xFFFF && t.contains(stato))
        return t.value(stato).constData();
    thread_local QByteArray generico;
    generico = QString::fromUtf8(t.value(0xFFFF)).arg(stato).toUtf8();
    return generico.constData();
}

}  // namespace

const LibreriaTerminali& LibreriaSeriale()
{
    static const LibreriaTerminali libreria{CreatePort,      OpenPort,  Dial,      SendPolling, GetTerminalMessage, SendAcknowledge,
                                            TermSync,        TermProg,  ClosePort, DestroyPort, GetErrorMessage};
    return libreria;
}

void ImpostaDispositivo(int porta, const QString& percorso)
{
    if (porta < 1 || porta > 4)
        return;
    QMutexLocker l(&g_mutex);
    g_dispositivi[size_t(porta - 1)] = percorso.trimmed();
}

void ImpostaDispositivi(const std::array<QString, 4>& percorsi)
{
    for (int n = 1; n <= 4; ++n)
        ImpostaDispositivo(n, percorsi[size_t(n - 1)]);
}

QString Dispositivo(int porta)
{
    if (porta < 1 || porta > 4)
        return {};
    QMutexLocker l(&g_mutex);
    const QString& impostato = g_dispositivi[size_t(porta - 1)];
    if (!impostato.isEmpty())
        return impostato;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(porta);
#else
    return QStringLiteral("/dev/ttyS%1").arg(porta - 1);
#endif
}

void ImpostaTempiSeriale(const TempiSeriale& t)
{
    QMutexLocker l(&g_mutex);
    g_tempi = t;
}

TempiSeriale TempiSerialeAttuali()
{
    QMutexLocker l(&g_mutex);
    return g_tempi;
}
