#include "importatimbrature.h"

#include "avanzamento.h"
#include "database.h"
#include "istruzioneveloce.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <QSet>
#include <QSqlQuery>

namespace {

// How long a block of lines holds the database before it commits: other workstations get
// their turn between blocks, well within the time they wait for a lock. Every commit writes
// again the index pages the block touched, spread over all the employees in the file, so
// short blocks would cost more than the lines themselves.
constexpr int kMsPerTransazione = 1000;
// Lines between two questions whether the user stopped the import.
constexpr int kRighePerDomanda = 256;

bool cifra(char c)
{
    return c >= '0' && c <= '9';
}

// The `lunghezza` bytes from column `posizione` (from 1); fewer when the line is shorter.
QByteArrayView colonne(QByteArrayView riga, int posizione, int lunghezza)
{
    if (posizione < 1 || lunghezza <= 0 || posizione > riga.size())
        return {};
    return riga.sliced(posizione - 1, qMin(qsizetype(lunghezza), riga.size() - posizione + 1));
}

bool spazio(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The cause as stored: trimmed, zeros in front up to four, none for "0000".
QString causale(QByteArrayView campo)
{
    const QString caus = QString::fromLatin1(campo).trimmed().rightJustified(4, QLatin1Char('0'));
    return caus == QLatin1String("0000") ? QString() : caus;
}

// The same in UTF-8 into `testo`, which keeps its room from line to line: the cause is
// mostly four digits, taken as they are.
void causaleUtf8(QByteArrayView campo, QByteArray& testo)
{
    if (campo.size() <= 4 && std::all_of(campo.begin(), campo.end(), [](char c) { return uchar(c) < 0x80; })) {
        // ASCII: the bytes trimmed are the characters trimmed.
        campo = campo.trimmed();
        testo.resize(4);
        const qsizetype zeri = 4 - campo.size();
        std::fill_n(testo.data(), zeri, '0');
        std::copy(campo.begin(), campo.end(), testo.data() + zeri);
        if (testo == "0000")
            testo.resize(0);
        return;
    }
    testo = causale(campo).toUtf8();
}

// Writes the low n digits of v at p, as the stored layouts have them.
void cifreIn(char* p, int v, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        p[i] = char('0' + v % 10);
        v /= 10;
    }
}

// A badge as the file writes it, hashed with a few operations a byte: the general hash of
// the library costs more than the rest of the line's reading.
struct ChiaveBadge {
    QByteArrayView cifre;
    bool operator==(const ChiaveBadge& b) const { return cifre == b.cifre; }
};

size_t qHash(const ChiaveBadge& k, size_t seme = 0)
{
    size_t h = 14695981039346656037ULL ^ seme;
    for (char c : k.cifre)
        h = (h ^ uchar(c)) * 1099511628211ULL;
    return h;
}

}  // namespace

// What a line says, as the bytes and numbers it holds: reading it allocates nothing.
struct ImportaTimbrature::Campi {
    QByteArrayView badge;  // LunghBadge digits, as in the file
    char verso = 0;        // 'E', 'U', or 0 when the character is neither
    qint64 giorno = 0;     // Julian day
    int minuti = 0;        // from midnight of giorno; hours past 24 move into the next days
    QByteArrayView caus;   // the cause's columns, as in the file
};

// The statements of one import, and what it already learnt from them: each badge code's
// rows are read once, and each employee's recorded times once, within the file's span
// (Timbrature is keyed by the valid time, so the recorded one is not looked up by index).
struct ImportaTimbrature::Istruzioni {
    QSqlQuery badge;
    QSqlQuery registrate;
    QString dal, al;  // the span of the file's punches
    // The texts bound to the insert, rewritten line by line in place: the statement reads
    // them where they are until they are bound again, so they outlive it.
    QByteArray quando = QByteArray(19, ' ');  // as Sql::testoDataMinuti writes it
    qint64 giornoScritto = std::numeric_limits<qint64>::min();
    QByteArray caus;
    std::optional<IstruzioneVeloce> inserisci;

    struct Periodo {
        qint64 inizio = 0, fine = 0;  // instants (see istante); fine 0 when open
        int idDip = 0;
    };
    // Keyed by the badge's bytes in the file, which all have the same length: the key
    // stays in the file's text and nothing is built for a line whose badge was seen.
    QHash<ChiaveBadge, QList<Periodo>> badgeLetti;
    QHash<int, QSet<qint64>> orariRegistrati;

    // Writes the date-time as Sql::testoDataMinuti, and the date only when it changes.
    void scriviQuando(qint64 giorno, int minuti)
    {
        giorno += minuti / 1440;
        minuti %= 1440;
        char* p = quando.data();
        if (giorno != giornoScritto) {
            int anno = 0, mese = 0, gg = 0;
            QDate::fromJulianDay(giorno).getDate(&anno, &mese, &gg);
            cifreIn(p, anno, 4);
            p[4] = '-';
            cifreIn(p + 5, mese, 2);
            p[7] = '-';
            cifreIn(p + 8, gg, 2);
            p[10] = ' ';
            p[13] = ':';
            p[16] = ':';
            p[17] = p[18] = '0';
            giornoScritto = giorno;
        }
        cifreIn(p + 11, minuti / 60, 2);
        cifreIn(p + 14, minuti % 60, 2);
    }
};

namespace {

// A date-time as seconds from the start of the calendar: compared and hashed as a number,
// so the badge periods and the duplicate check take no text per line.
qint64 istante(qint64 giorno, int secondi)
{
    return giorno * 86400 + secondi;
}

qint64 istante(const QVariant& v)
{
    const QDateTime dt = Sql::leggiDataOra(v);
    if (!dt.isValid())
        return std::numeric_limits<qint64>::min();  // before everything, as an empty text
    return istante(dt.date().toJulianDay(), dt.time().msecsSinceStartOfDay() / 1000);
}

// Calls `riga` with each line of `dati` from `inizio`, without its line end, until it
// returns false; returns where it stopped.
template<typename F>
qsizetype perRiga(const QByteArray& dati, qsizetype inizio, F&& riga)
{
    const char* d = dati.constData();
    const qsizetype n = dati.size();
    while (inizio < n) {
        const void* fine = std::memchr(d + inizio, '\n', size_t(n - inizio));
        const qsizetype a = fine ? static_cast<const char*>(fine) - d : n;
        const qsizetype lunga = a > inizio && d[a - 1] == '\r' ? a - 1 - inizio : a - inizio;
        const QByteArrayView r(d + inizio, lunga);
        inizio = a + 1;
        if (!riga(r))
            break;
    }
    return inizio;
}

}  // namespace

ImportaTimbrature::ImportaTimbrature(TdtmPresenze& dtm, const FormatoFileAcq& formato) : m_dtm(dtm), m_formato(formato)
{
    for (const CodiceDescr& c : m_dtm.Codici(QStringLiteral("Costanti8"), QStringLiteral("TData"), QStringLiteral("TDataCod")))
        if (c.descr == m_formato.FormatoData)
            m_codiceData = c.codice;
    // One byte a character: anything but D, M and Y is a separator's place.
    for (const QChar c : std::as_const(m_codiceData))
        m_partiData.append(c == QLatin1Char('D') || c == QLatin1Char('M') || c == QLatin1Char('Y') ? char(c.unicode()) : '-');
    // A line's character is one byte read as Latin-1: only such a character can match it.
    const auto carattere = [](const QString& c) { return c.size() == 1 && c.at(0).unicode() < 0x100 ? int(c.at(0).unicode()) : -1; };
    m_carIngresso = carattere(m_formato.CarIngresso);
    m_carUscita = carattere(m_formato.CarUscita);
}

int ImportaTimbrature::leggi(QByteArrayView riga, Campi* t) const
{
    const FormatoFileAcq& f = m_formato;
    // A blank line has no date to read: it is refused for it, not for its missing badge.
    if (std::all_of(riga.begin(), riga.end(), spazio))
        return Msg::ErrDataFormato;

    // A badge length of 0 reads no badge at all, rather than giving every line to "0000000000".
    t->badge = colonne(riga, f.PosizBadge, f.LunghBadge);
    if (f.LunghBadge == 0 || t->badge.size() < f.LunghBadge)
        return Msg::ErrBadgeNonValido;
    for (char c : t->badge)
        if (!cifra(c))
            return Msg::ErrBadgeNonValido;

    // An empty character never matches: a short line or an unset direction gives no direction.
    const QByteArrayView verso = colonne(riga, f.PosizVerso, 1);
    t->verso = 0;
    if (!verso.isEmpty()) {
        const int v = uchar(verso.front());
        if (v == m_carIngresso)
            t->verso = 'E';
        else if (v == m_carUscita)
            t->verso = 'U';
    }

    const QByteArrayView data = colonne(riga, f.PosizData, int(f.FormatoData.size()));
    if (m_codiceData.isEmpty() || data.size() != m_codiceData.size() || f.FormatoData.size() != m_codiceData.size())
        return Msg::ErrDataFormato;
    int giorno = 0, mese = 0, anno = 0, cifreAnno = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data.at(i);
        const char l = m_partiData.at(i);
        int* parte = l == 'D' ? &giorno : l == 'M' ? &mese : l == 'Y' ? &anno : nullptr;
        if (!parte) {
            if (c != '-' && c != '/')
                return Msg::ErrDataFormato;
            continue;
        }
        if (!cifra(c))
            return Msg::ErrDataFormato;
        *parte = *parte * 10 + (c - '0');
        if (parte == &anno)
            ++cifreAnno;
    }
    if (cifreAnno == 2)
        anno += anno >= 50 ? 1900 : 2000;
    const QDate d(anno, mese, giorno);
    if (!d.isValid())
        return DataInesistente;
    t->giorno = d.toJulianDay();

    // Whole hours and minutes, with no range check: 2530 is 01:30 of the next day.
    const QByteArrayView ora = colonne(riga, f.PosizOra, 4);
    if (ora.size() < 4)
        return Msg::ErrOraNonValida;
    for (char c : ora)
        if (!cifra(c))
            return Msg::ErrOraNonValida;
    t->minuti = ((ora.at(0) - '0') * 10 + (ora.at(1) - '0')) * 60 + (ora.at(2) - '0') * 10 + (ora.at(3) - '0');

    // A cause at position 0 reads from the first column.
    t->caus = colonne(riga, qMax(f.PosizCausale, 1), f.LunghCausale);
    return 0;
}

int ImportaTimbrature::LeggiRiga(QByteArrayView riga, TimbraturaLetta* t) const
{
    Campi c;
    const int esito = leggi(riga, &c);
    if (esito == 0) {
        t->badge = QString::fromLatin1(c.badge).rightJustified(10, QLatin1Char('0'));
        t->verso = c.verso ? QString(QLatin1Char(c.verso)) : QString();
        t->giorno = QDate::fromJulianDay(c.giorno);
        t->minuti = c.minuti;
        t->caus = causale(c.caus);
    }
    return esito;
}

int ImportaTimbrature::importaRiga(QByteArrayView riga, Istruzioni& q)
{
    Campi t;
    if (const int esito = leggi(riga, &t); esito != 0)
        return esito;
    const qint64 quando = istante(t.giorno, t.minuti * 60);

    auto periodi = q.badgeLetti.find(ChiaveBadge{t.badge});
    if (periodi == q.badgeLetti.end()) {
        QList<Istruzioni::Periodo> l;
        q.badge.bindValue(0, QString::fromLatin1(t.badge).rightJustified(10, QLatin1Char('0')));
        Database::esegui(q.badge);
        while (q.badge.next())
            l.append({istante(q.badge.value(0)), q.badge.value(1).isNull() ? 0 : istante(q.badge.value(1)), q.badge.value(2).toInt()});
        q.badge.finish();
        periodi = q.badgeLetti.insert(ChiaveBadge{t.badge}, l);
    }
    // A badge whose end is a date is no longer valid after midnight of that day.
    int idDip = 0;
    for (const Istruzioni::Periodo& p : std::as_const(*periodi))
        if (p.inizio <= quando && (p.fine == 0 || p.fine >= quando)) {
            idDip = p.idDip;
            break;
        }
    if (idDip == 0)
        return Msg::ErrBadgeNonValido;

    // The direction is required: a line without one is refused as the table would refuse it.
    if (!t.verso)
        return Msg::ErrTimbraturaNonRegistrata;
    auto registrate = q.orariRegistrati.find(idDip);
    if (registrate == q.orariRegistrati.end()) {
        QSet<qint64> orari;
        q.registrate.bindValue(QStringLiteral(":id"), idDip);
        q.registrate.bindValue(QStringLiteral(":dal"), q.dal);
        q.registrate.bindValue(QStringLiteral(":al"), q.al);
        Database::esegui(q.registrate);
        while (q.registrate.next())
            orari.insert(istante(q.registrate.value(0)));
        q.registrate.finish();
        registrate = q.orariRegistrati.insert(idDip, orari);
    }
    // One look-up for both the check and the record: the times of a thousand employees do
    // not stay in the cache from one line of theirs to the next.
    const qsizetype prima = registrate->size();
    const auto orario = registrate->insert(quando);
    if (registrate->size() == prima)
        return Msg::ErrTimbraturaNonRegistrata;

    IstruzioneVeloce& ins = *q.inserisci;
    q.scriviQuando(t.giorno, t.minuti);
    causaleUtf8(t.caus, q.caus);
    const QByteArrayView verso = t.verso == 'E' ? "E" : "U";
    ins.lega(0, idDip);
    ins.legaUtf8(1, q.quando);
    ins.legaUtf8(2, q.quando);
    ins.legaUtf8(3, verso);
    ins.legaUtf8(4, verso);
    ins.legaUtf8(5, q.caus);
    if (!ins.eseguiSalvoVincoli()) {
        registrate->erase(orario);
        return Msg::ErrTimbraturaNonRegistrata;
    }
    return 0;
}

EsitoImportTimbrature ImportaTimbrature::Importa(const QString& file, Avanzamento& avanzamento)
{
    EsitoImportTimbrature e;
    if (FormatoFile::Controlla(m_formato) != FormatoFile::Corretto)
        return e;
    e.eseguita = true;

    QFile f(file);
    QByteArray dati;
    if (f.open(QIODevice::ReadOnly)) {
        dati = f.readAll();
        e.letturaFallita = f.error() != QFileDevice::NoError;
    } else {
        e.letturaFallita = true;
    }
    if (e.letturaFallita)
        return e;

    // Columns count from the first byte after a UTF-8 byte-order mark.
    qsizetype inizio = dati.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    e.righe = int(dati.count('\n')) + (dati.size() > inizio && !dati.endsWith('\n') ? 1 : 0);

    Database& db = m_dtm.db();
    Istruzioni q;
    q.badge = db.prepara(QStringLiteral("SELECT DataInizio, DataFine, IdUtilizzatore FROM Badge WHERE Codice = :codice ORDER BY DataInizio DESC"));
    q.registrate = db.prepara(QStringLiteral("SELECT DataO FROM Timbrature WHERE IdDip = :id AND DataO >= :dal AND DataO <= :al"));
    q.inserisci.emplace(db, QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, Caus)\n"
                                           "VALUES (:id, :datav, :datao, :versov, :versoo, :caus)"));

    // The span of the file's punches bounds the recorded times read for the duplicate check.
    // In minutes, which order as the texts do.
    qint64 primo = std::numeric_limits<qint64>::max(), ultimo = std::numeric_limits<qint64>::min();
    perRiga(dati, inizio, [&](QByteArrayView riga) {
        Campi t;
        if (leggi(riga, &t) == 0) {
            const qint64 quando = t.giorno * 1440 + t.minuti;
            primo = qMin(primo, quando);
            ultimo = qMax(ultimo, quando);
        }
        return true;
    });
    if (primo <= ultimo) {
        q.dal = Sql::testoDataMinuti(QDate::fromJulianDay(primo / 1440), int(primo % 1440));
        q.al = Sql::testoDataMinuti(QDate::fromJulianDay(ultimo / 1440), int(ultimo % 1440));
    }

    avanzamento.Inizia(m_dtm.TestoScelta(Msg::EtImportaTimbrature), e.righe);
    struct Fine {
        Avanzamento& a;
        ~Fine() { a.Termina(); }
    } fine{avanzamento};
    // Blocks of lines commit one after the other; the log is copied into the database once.
    struct Giornale {
        Database& db;
        explicit Giornale(Database& d) : db(d) { db.rinviaCopiaGiornale(true); }
        ~Giornale() { db.rinviaCopiaGiornale(false); }
    } giornale{db};

    int numero = 0;
    while (inizio < dati.size() && !e.rigaDataInesistente) {
        Transazione tr(db);
        QElapsedTimer blocco;
        blocco.start();
        inizio = perRiga(dati, inizio, [&](QByteArrayView riga) {
            ++numero;
            const int esito = importaRiga(riga, q);
            avanzamento.Valore(numero);
            if (esito == DataInesistente) {
                e.rigaDataInesistente = numero;
                return false;
            }
            if (esito == 0)
                ++e.importate;
            else
                e.avvisi.append({numero, esito});
            if (numero % kRighePerDomanda != 0)
                return true;
            if (avanzamento.Annullato()) {
                e.annullato = true;
                return false;
            }
            return blocco.elapsed() < kMsPerTransazione;
        });
        tr.conferma();
        if (e.annullato)
            break;
    }
    return e;
}

QString ImportaTimbrature::Descrivi(const AvvisoImport& a) const
{
    return QStringLiteral("%1 %2: %3 %4").arg(m_dtm.TestoScelta(Msg::EtRiga)).arg(a.riga).arg(a.codice).arg(m_dtm.TestoErrore(a.codice));
}
