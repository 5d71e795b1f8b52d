// quorlin-terminale: one or more time-recording terminals on a serial line, optionally behind
// a modem, for trying an installation without hardware and for the tests. It speaks the
// protocol of acquisition/README.md on a pseudo-terminal of its own (its path is the first
// line of standard output) or on a given device.

#include "protocollo.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace Protocollo;

namespace {

volatile std::sig_atomic_t g_fine = 0;
void alSegnale(int) { g_fine = 1; }

struct Tenuta {
    uint32_t numero = 0;
    QByteArray testo;
};

struct Terminale {
    std::deque<Tenuta> tenute;
    uint32_t prossimoNumero = 1;
    // The last request served and its answer: a request sent again (its answer was lost or
    // garbled) gets the same answer without being carried out twice.
    QByteArray ultimaRichiesta;
    QByteArray ultimaRisposta;
    QByteArray prog;
};

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

class Simulatore {
public:
    int fd = -1;
    int fdSlave = -1;  // held open so the line survives the host closing it
    QMap<int, Terminale> terminali;
    bool modem = false;
    QByteArray rispostaModem;  // empty: CONNECT
    bool collegato = false;
    QByteArray rigaModem;
    int perdi = 0, altera = 0, baud = 0;
    qint64 trameInviate = 0;
    QString registro;
    QFile consegnate;
    QList<int> inErrore;
    LettoreTrame lettore;
    QElapsedTimer ultimoByte;

    void scrivi(const QByteArray& byte)
    {
        qsizetype fatto = 0;
        QElapsedTimer t;
        t.start();
        while (fatto < byte.size() && !g_fine) {
            // At a given baud rate the bytes leave no faster than the line carries them
            // (10 bits a byte), so a measured speed means something over a pseudo-terminal.
            qsizetype n = byte.size() - fatto;
            if (baud > 0) {
                const qint64 dovuti = t.nsecsElapsed() * baud / 10 / 1000000000 + 1;
                n = qMin<qsizetype>(n, qMax<qint64>(0, dovuti - fatto));
                if (n == 0) {
                    usleep(useconds_t(qMax(100, 10000000 / baud)));
                    continue;
                }
            }
            const ssize_t w = ::write(fd, byte.constData() + fatto, size_t(n));
            if (w < 0) {
                if (errno == EAGAIN || errno == EINTR) {
                    usleep(1000);
                    continue;
                }
                return;
            }
            fatto += w;
        }
    }

    void invia(const QByteArray& trama)
    {
        ++trameInviate;
        if (perdi > 0 && trameInviate % perdi == 0)
            return;
        QByteArray f = trama;
        if (altera > 0 && trameInviate % altera == 0)
            f[f.size() / 2] = char(f.at(f.size() / 2) ^ 0x5A);
        scrivi(f);
    }

    void rispondi(Terminale& term, const Trama& richiesta, uint8_t tipo, const QByteArray& dati)
    {
        Trama r{richiesta.indirizzo, true, tipo, richiesta.sequenza, dati};
        term.ultimaRichiesta = Codifica(richiesta);
        term.ultimaRisposta = Codifica(r);
        invia(term.ultimaRisposta);
    }

    void annota(const QString& file, const QByteArray& riga)
    {
        if (registro.isEmpty())
            return;
        QFile f(QDir(registro).filePath(file));
        if (f.open(QIODevice::Append))
            f.write(riga);
    }

    void servi(const Trama& t)
    {
        auto it = terminali.find(t.indirizzo);
        if (it == terminali.end() || t.risposta)
            return;  // another terminal's address, or an answer on a shared line
        Terminale& term = it.value();
        if (Codifica(t) == term.ultimaRichiesta) {
            invia(term.ultimaRisposta);
            return;
        }
        switch (t.tipo) {
        case Poll: {
            if (inErrore.contains(t.indirizzo))
                return rispondi(term, t, Errore, QByteArrayLiteral("Memoria del terminale guasta"));
            if (term.tenute.empty())
                return rispondi(term, t, Fine, {});
            QByteArray d;
            ScriviIntero(d, term.tenute.front().numero);
            return rispondi(term, t, Transazione, d + term.tenute.front().testo);
        }
        case Ack: {
            // Only the transaction named is released: an acknowledge that arrives twice
            // never releases the next one unseen.
            const uint32_t n = LeggiIntero(t.dati, 0);
            if (t.dati.size() == 4 && !term.tenute.empty() && term.tenute.front().numero == n) {
                if (consegnate.isOpen()) {
                    consegnate.write(QByteArray::number(t.indirizzo) + '\t' + term.tenute.front().testo + '\n');
                    consegnate.flush();
                }
                term.tenute.pop_front();
            }
            return rispondi(term, t, Ack, t.dati);
        }
        case Sync: {
            const QDateTime ora = QDateTime::fromString(QString::fromLatin1(t.dati), QStringLiteral("yyyyMMddHHmmss"));
            if (!ora.isValid())
                return rispondi(term, t, Errore, QByteArrayLiteral("Data e ora non valide"));
            annota(QStringLiteral("sincronizzazioni.txt"),
                   QByteArray::number(t.indirizzo) + '\t' + ora.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() + '\n');
            return rispondi(term, t, Ack, {});
        }
        case Prog: {
            const uint32_t posizione = LeggiIntero(t.dati, 0);
            const uint32_t totale = LeggiIntero(t.dati, 4);
            if (t.dati.size() < 8 || totale > uint32_t(FileProgMassimo))
                return rispondi(term, t, Errore, QByteArrayLiteral("File troppo grande per il terminale"));
            if (posizione > uint32_t(term.prog.size()))
                return rispondi(term, t, Errore, QByteArrayLiteral("Blocco fuori sequenza"));
            term.prog.truncate(posizione);
            term.prog.append(t.dati.mid(8));
            if (uint32_t(term.prog.size()) > totale)
                return rispondi(term, t, Errore, QByteArrayLiteral("File piu' lungo del dichiarato"));
            if (uint32_t(term.prog.size()) == totale && !registro.isEmpty()) {
                QSaveFile f(QDir(registro).filePath(QStringLiteral("prog-%1.txt").arg(t.indirizzo)));
                if (!f.open(QIODevice::WriteOnly) || f.write(term.prog) != term.prog.size() || !f.commit())
                    return rispondi(term, t, Errore, QByteArrayLiteral("Scrittura non riuscita"));
            }
            QByteArray d;
            ScriviIntero(d, uint32_t(term.prog.size()));
            return rispondi(term, t, Ack, d);
        }
        default:
            return rispondi(term, t, Errore, QByteArrayLiteral("Comando sconosciuto"));
        }
    }

    void comandoModem(QByteArray riga)
    {
        // Whatever reached the modem before the attention letters is noise on the line.
        riga = riga.toUpper();
        const qsizetype at = riga.indexOf("AT");
        if (at < 0)
            return;
        riga = riga.mid(at).trimmed();
        if (riga.startsWith("ATD")) {
            if (!rispostaModem.isEmpty()) {
                scrivi("\r\n" + rispostaModem + "\r\n");
                return;
            }
            collegato = true;
            lettore.svuota();
            scrivi("\r\nCONNECT 9600\r\n");
            return;
        }
        scrivi("\r\nOK\r\n");
    }

    void ricevi(const QByteArray& byte)
    {
        // The host's bytes take their time on the line too (a pseudo-terminal delivers them
        // at once): they count as arrived only once the line could have carried them.
        if (baud > 0)
            usleep(useconds_t(byte.size() * 10000000LL / baud));
        if (modem && !collegato) {
            for (char c : byte) {
                if (c == '\r' || c == '\n') {
                    comandoModem(rigaModem);
                    rigaModem.clear();
                } else if (rigaModem.size() < 80) {
                    rigaModem.append(c);
                }
            }
            return;
        }
        if (modem && !lettore.inCorso() && byte.contains("+++")) {
            // The escape, sent alone between two silences: back to commands.
            collegato = false;
            rigaModem.clear();
            lettore.svuota();
            scrivi("\r\nOK\r\n");
            return;
        }
        // A frame left half-way for long is truncated: it never joins the next one.
        if (lettore.inCorso() && ultimoByte.isValid() && ultimoByte.elapsed() > 500)
            lettore.svuota();
        ultimoByte.start();
        lettore.aggiungi(byte);
        Trama t;
        for (;;) {
            const LettoreTrame::Esito e = lettore.prossima(&t);
            if (e == LettoreTrame::Esito::Niente)
                break;
            if (e == LettoreTrame::Esito::Alterata) {
                if (!t.risposta && terminali.contains(t.indirizzo))
                    invia(Codifica(Trama{t.indirizzo, true, Nak, t.sequenza, {}}));
                continue;
            }
            servi(t);
        }
    }

    void esegui()
    {
        char buf[4096];
        while (!g_fine) {
            pollfd p{fd, POLLIN, 0};
            const int r = ::poll(&p, 1, 100);
            if (r <= 0)
                continue;
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0)
                ricevi(QByteArray(buf, qsizetype(n)));
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                usleep(50000);  // no host on the line for now
        }
    }
};

void lineaGrezza(int fd, int baud)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return;
    cfmakeraw(&t);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (baud > 0) {
        const speed_t v = baud >= 115200 ? B115200 : baud >= 57600 ? B57600 : baud >= 38400 ? B38400 : baud >= 19200 ? B19200 : baud >= 9600 ? B9600 : baud >= 4800 ? B4800 : baud >= 2400 ? B2400 : B1200;
        cfsetspeed(&t, v);
    }
    tcsetattr(fd, TCSANOW, &t);
}

int fallisci(const QString& testo)
{
    err() << testo << Qt::endl;
    return 2;
}

bool numero(const QString& s, int minimo, int massimo, int* v)
{
    bool ok = false;
    *v = s.toInt(&ok);
    return ok && !s.startsWith(QLatin1Char('+')) && *v >= minimo && *v <= massimo;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorlin-terminale"));
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simula uno o piu' terminali di rilevazione presenze su una linea seriale, anche dietro un modem.\n"
        "Senza --dispositivo apre uno pseudo-terminale e ne scrive il percorso sulla prima riga dell'output."));
    p.addHelpOption();
    const QCommandLineOption dispositivo(QStringLiteral("dispositivo"), QStringLiteral("Usa il dispositivo seriale indicato."), QStringLiteral("percorso"));
    const QCommandLineOption terminale(QStringLiteral("terminale"), QStringLiteral("Risponde all'indirizzo N (0-15); ripetibile. Predefinito: 0."), QStringLiteral("N"));
    const QCommandLineOption transazioni(QStringLiteral("transazioni"), QStringLiteral("Transazioni da consegnare: righe \"INDIRIZZO<TAB>testo\", o solo il testo per il primo terminale."), QStringLiteral("file"));
    const QCommandLineOption genera(QStringLiteral("genera"), QStringLiteral("Genera N transazioni valide per ogni terminale."), QStringLiteral("N"));
    const QCommandLineOption badge(QStringLiteral("badge"), QStringLiteral("Codici badge delle transazioni generate, uno per riga (predefiniti 0000000001...)."), QStringLiteral("file"));
    const QCommandLineOption modem(QStringLiteral("modem"), QStringLiteral("Risponde ai comandi AT come un modem; CONNECT dopo ATD."));
    const QCommandLineOption rispostaModem(QStringLiteral("modem-risposta"), QStringLiteral("Risposta del modem ad ATD invece di CONNECT: BUSY, NO CARRIER o NO DIALTONE."), QStringLiteral("testo"));
    const QCommandLineOption perdi(QStringLiteral("perdi"), QStringLiteral("Perde ogni N-esima trama inviata."), QStringLiteral("N"));
    const QCommandLineOption altera(QStringLiteral("altera"), QStringLiteral("Altera ogni N-esima trama inviata."), QStringLiteral("N"));
    const QCommandLineOption errore(QStringLiteral("errore"), QStringLiteral("Il terminale N risponde a ogni interrogazione con un messaggio d'errore; ripetibile."), QStringLiteral("N"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Simula una linea a N baud (10 bit per byte) nei due sensi."), QStringLiteral("N"));
    const QCommandLineOption registro(QStringLiteral("registro"), QStringLiteral("Cartella dove scrivere sincronizzazioni.txt e i file ricevuti (prog-INDIRIZZO.txt)."), QStringLiteral("cartella"));
    const QCommandLineOption consegnate(QStringLiteral("consegnate"), QStringLiteral("Aggiunge a questo file ogni transazione consegnata (al suo ACK)."), QStringLiteral("file"));
    p.addOptions({dispositivo, terminale, transazioni, genera, badge, modem, rispostaModem, perdi, altera, errore, baud, registro, consegnate});
    p.process(app);
    if (!p.positionalArguments().isEmpty())
        return fallisci(QStringLiteral("Argomento non previsto: ") + p.positionalArguments().join(QLatin1Char(' ')));

    Simulatore s;
    QList<int> indirizzi;
    for (const QString& v : p.values(terminale)) {
        int n;
        if (!numero(v, 0, IndirizzoMassimo, &n))
            return fallisci(QStringLiteral("Indirizzo di terminale non valido: ") + v);
        indirizzi.append(n);
    }
    if (indirizzi.isEmpty())
        indirizzi.append(0);
    for (int n : indirizzi)
        s.terminali[n];
    for (const QString& v : p.values(errore)) {
        int n;
        if (!numero(v, 0, IndirizzoMassimo, &n))
            return fallisci(QStringLiteral("Indirizzo di terminale non valido: ") + v);
        s.inErrore.append(n);
        s.terminali[n];
    }
    const auto intero = [&](const QCommandLineOption& o, int* v) {
        *v = 0;
        return !p.isSet(o) || numero(p.value(o), 1, 100000000, v);
    };
    int quante = 0;
    if (!intero(perdi, &s.perdi) || !intero(altera, &s.altera) || !intero(baud, &s.baud) || !intero(genera, &quante))
        return fallisci(QStringLiteral("Valore numerico non valido."));
    s.modem = p.isSet(modem);
    if (p.isSet(rispostaModem)) {
        s.rispostaModem = p.value(rispostaModem).toLatin1().toUpper();
        if (s.rispostaModem != "BUSY" && s.rispostaModem != "NO CARRIER" && s.rispostaModem != "NO DIALTONE")
            return fallisci(QStringLiteral("Risposta del modem non valida: ") + p.value(rispostaModem));
        s.modem = true;
    }

    const auto aggiungi = [&](int indirizzo, const QByteArray& testo) {
        Terminale& t = s.terminali[indirizzo];
        t.tenute.push_back({t.prossimoNumero++, testo.left(TestoMassimo)});
    };
    if (p.isSet(transazioni)) {
        QFile f(p.value(transazioni));
        if (!f.open(QIODevice::ReadOnly))
            return fallisci(QStringLiteral("File non leggibile: ") + f.fileName());
        while (!f.atEnd()) {
            QByteArray riga = f.readLine();
            while (riga.endsWith('\n') || riga.endsWith('\r'))
                riga.chop(1);
            const qsizetype tab = riga.indexOf('\t');
            int n;
            if (tab > 0 && numero(QString::fromLatin1(riga.left(tab)), 0, IndirizzoMassimo, &n))
                aggiungi(n, riga.mid(tab + 1));
            else if (!riga.isEmpty())
                aggiungi(indirizzi.first(), riga);
        }
    }
    if (quante > 0) {
        QList<QByteArray> codici;
        if (p.isSet(badge)) {
            QFile f(p.value(badge));
            if (!f.open(QIODevice::ReadOnly))
                return fallisci(QStringLiteral("File non leggibile: ") + f.fileName());
            for (const QByteArray& r : f.readAll().split('\n'))
                if (!r.trimmed().isEmpty())
                    codici.append(r.trimmed().rightJustified(10, '0').right(10));
        }
        // Punches a minute apart from a week ago: entry then exit for each badge in turn.
        const QDateTime base(QDate::currentDate().addDays(-7), QTime(6, 0));
        const int badgeUsati = codici.isEmpty() ? 10 : int(codici.size());
        for (auto it = s.terminali.begin(); it != s.terminali.end(); ++it)
            for (int i = 0; i < quante; ++i) {
                const int b = i % badgeUsati;
                const QByteArray codice = codici.isEmpty() ? QByteArray::number(b + 1).rightJustified(10, '0') : codici.at(b);
                const char verso = (i / badgeUsati) % 2 == 0 ? '1' : '2';
                aggiungi(it.key(), codice + verso + "0000" + base.addSecs(60LL * i).toString(QStringLiteral("ddMMyyHHmm")).toLatin1());
            }
    }
    if (p.isSet(consegnate)) {
        s.consegnate.setFileName(p.value(consegnate));
        if (!s.consegnate.open(QIODevice::Append | QIODevice::Unbuffered))
            return fallisci(QStringLiteral("File non scrivibile: ") + s.consegnate.fileName());
    }
    if (p.isSet(registro)) {
        s.registro = p.value(registro);
        if (!QDir().mkpath(s.registro))
            return fallisci(QStringLiteral("Cartella non scrivibile: ") + s.registro);
    }

    QString percorso;
    if (p.isSet(dispositivo)) {
        percorso = p.value(dispositivo);
        s.fd = ::open(QFile::encodeName(percorso).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (s.fd < 0)
            return fallisci(QStringLiteral("Dispositivo non apribile: ") + percorso);
        lineaGrezza(s.fd, s.baud);
    } else {
        s.fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (s.fd < 0 || grantpt(s.fd) != 0 || unlockpt(s.fd) != 0)
            return fallisci(QStringLiteral("Pseudo-terminale non disponibile."));
        percorso = QString::fromLocal8Bit(ptsname(s.fd));
        s.fdSlave = ::open(ptsname(s.fd), O_RDWR | O_NOCTTY);
        if (s.fdSlave >= 0)
            lineaGrezza(s.fdSlave, s.baud);
        fcntl(s.fd, F_SETFL, fcntl(s.fd, F_GETFL) | O_NONBLOCK);
    }
    struct sigaction sa{};
    sa.sa_handler = alSegnale;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::printf("%s\n", QFile::encodeName(percorso).constData());
    std::fflush(stdout);

    s.esegui();

    int tenute = 0;
    for (auto it = s.terminali.cbegin(); it != s.terminali.cend(); ++it) {
        tenute += int(it->tenute.size());
        for (const Tenuta& t : it->tenute)
            err() << "Non consegnata: " << it.key() << '\t' << QString::fromLatin1(t.testo) << Qt::endl;
    }
    err() << "Transazioni non consegnate: " << tenute << Qt::endl;
    if (s.fdSlave >= 0)
        ::close(s.fdSlave);
    ::close(s.fd);
    return 0;
}
