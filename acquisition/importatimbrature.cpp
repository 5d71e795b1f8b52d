#include "importatimbrature.h"

#include "avanzamento.h"
#include "database.h"
#include "istruzioneveloce.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QFile>
#include <limits>
#include <optional>
#include <QSet>
#include <QSqlQuery>

namespace {

// Lines stored per transaction: other workstations get their turn between them, and a
// commit costs as much as some thousands of lines.
constexpr int kRighePerTransazione = 20000;
// Lines between two questions whether the user stopped the import.
constexpr int kRighePerDomanda = 256;

bool cifra(char c)
{
    return c >= '0' && c <= '9';
}

// The `lunghezza` bytes from column `posizione` (from 1); fewer when the line is shorter.
QByteArray colonne(const QByteArray& riga, int posizione, int lunghezza)
{
    if (posizione < 1 || lunghezza <= 0 || posizione > riga.size())
        return {};
    return riga.mid(posizione - 1, lunghezza);
}

}  // namespace

// The statements of one import, and what it already learnt from them: each badge code's
// rows are read once, and each employee's recorded times once, within the file's span
// (Timbrature is keyed by the valid time, so the recorded one is not looked up by index).
struct ImportaTimbrature::Istruzioni {
    QSqlQuery badge;
    QSqlQuery registrate;
    std::optional<IstruzioneVeloce> inserisci;
    QString dal, al;  // the span of the file's punches

    struct Periodo {
        qint64 inizio = 0, fine = 0;  // instants (see istante); fine 0 when open
        int idDip = 0;
    };
    QHash<QString, QList<Periodo>> badgeLetti;
    QHash<int, QSet<qint64>> orariRegistrati;
};

namespace {

// A date-time as seconds from the start of the calendar: compared and hashed as a number,
// so the badge periods and the duplicate check take no text per line.
qint64 istante(const QDate& d, int secondi)
{
    return d.toJulianDay() * 86400 + secondi;
}

qint64 istante(const QVariant& v)
{
    const QDateTime dt = Sql::leggiDataOra(v);
    if (!dt.isValid())
        return std::numeric_limits<qint64>::min();  // before everything, as an empty text
    return istante(dt.date(), dt.time().msecsSinceStartOfDay() / 1000);
}

}  // namespace

ImportaTimbrature::ImportaTimbrature(TdtmPresenze& dtm, const FormatoFileAcq& formato) : m_dtm(dtm), m_formato(formato)
{
    for (const CodiceDescr& c : m_dtm.Codici(QStringLiteral("Costanti8"), QStringLiteral("TData"), QStringLiteral("TDataCod")))
        if (c.descr == m_formato.FormatoData)
            m_codiceData = c.codice;
}

int ImportaTimbrature::LeggiRiga(const QByteArray& riga, TimbraturaLetta* t) const
{
    const FormatoFileAcq& f = m_formato;
    // A blank line has no date to read: it is refused for it, not for its missing badge.
    if (riga.trimmed().isEmpty())
        return Msg::ErrDataFormato;

    // A badge length of 0 reads no badge at all, rather than giving every line to "0000000000".
    const QByteArray badge = colonne(riga, f.PosizBadge, f.LunghBadge);
    if (f.LunghBadge == 0 || badge.size() < f.LunghBadge)
        return Msg::ErrBadgeNonValido;
    for (char c : badge)
        if (!cifra(c))
            return Msg::ErrBadgeNonValido;
    t->badge = QString::fromLatin1(badge).rightJustified(10, QLatin1Char('0'));

    // An empty character never matches: a short line or an unset direction gives no direction.
    const QString verso = QString::fromLatin1(colonne(riga, f.PosizVerso, 1));
    t->verso.clear();
    if (!verso.isEmpty()) {
        if (verso == f.CarIngresso)
            t->verso = QStringLiteral("E");
        else if (verso == f.CarUscita)
            t->verso = QStringLiteral("U");
    }

    const QByteArray data = colonne(riga, f.PosizData, int(f.FormatoData.size()));
    if (m_codiceData.isEmpty() || data.size() != m_codiceData.size() || f.FormatoData.size() != m_codiceData.size())
        return Msg::ErrDataFormato;
    int giorno = 0, mese = 0, anno = 0, cifreAnno = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data.at(i);
        const QChar l = m_codiceData.at(i);
        int* parte = l == QLatin1Char('D') ? &giorno : l == QLatin1Char('M') ? &mese : l == QLatin1Char('Y') ? &anno : nullptr;
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
    t->giorno = QDate(anno, mese, giorno);
    if (!t->giorno.isValid())
        return DataInesistente;

    // Whole hours and minutes, with no range check: 2530 is 01:30 of the next day.
    const QByteArray ora = colonne(riga, f.PosizOra, 4);
    if (ora.size() < 4)
        return Msg::ErrOraNonValida;
    for (char c : ora)
        if (!cifra(c))
            return Msg::ErrOraNonValida;
    t->minuti = ((ora.at(0) - '0') * 10 + (ora.at(1) - '0')) * 60 + (ora.at(2) - '0') * 10 + (ora.at(3) - '0');

    // A cause at position 0 reads from the first column.
    const QString caus = QString::fromLatin1(colonne(riga, qMax(f.PosizCausale, 1), f.LunghCausale)).trimmed()
                             .rightJustified(4, QLatin1Char('0'));
    t->caus = caus == QLatin1String("0000") ? QString() : caus;
    return 0;
}

int ImportaTimbrature::importaRiga(const QByteArray& riga, Istruzioni& q)
{
    TimbraturaLetta t;
    if (const int esito = LeggiRiga(riga, &t); esito != 0)
        return esito;
    const qint64 quando = istante(t.giorno, t.minuti * 60);

    auto periodi = q.badgeLetti.find(t.badge);
    if (periodi == q.badgeLetti.end()) {
        QList<Istruzioni::Periodo> l;
        q.badge.bindValue(0, t.badge);
        Database::esegui(q.badge);
        while (q.badge.next())
            l.append({istante(q.badge.value(0)), q.badge.value(1).isNull() ? 0 : istante(q.badge.value(1)), q.badge.value(2).toInt()});
        q.badge.finish();
        periodi = q.badgeLetti.insert(t.badge, l);
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
    if (t.verso.isEmpty())
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
    if (registrate->contains(quando))
        return Msg::ErrTimbraturaNonRegistrata;

    IstruzioneVeloce& ins = *q.inserisci;
    const QString testo = Sql::testoDataMinuti(t.giorno, t.minuti);
    ins.lega(0, idDip);
    ins.lega(1, testo);
    ins.lega(2, testo);
    ins.lega(3, t.verso);
    ins.lega(4, t.verso);
    ins.lega(5, t.caus);
    if (!ins.eseguiSalvoVincoli())
        return Msg::ErrTimbraturaNonRegistrata;
    registrate->insert(quando);
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
    for (qsizetype i = inizio; i < dati.size();) {
        qsizetype a = dati.indexOf('\n', i);
        if (a < 0)
            a = dati.size();
        TimbraturaLetta t;
        if (LeggiRiga(dati.mid(i, a - i).chopped(a > i && dati.at(a - 1) == '\r' ? 1 : 0), &t) == 0) {
            const QString quando = Sql::testoDataMinuti(t.giorno, t.minuti);
            if (q.dal.isEmpty() || quando < q.dal)
                q.dal = quando;
            if (quando > q.al)
                q.al = quando;
        }
        i = a + 1;
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
        for (int n = 0; n < kRighePerTransazione && inizio < dati.size(); ++n) {
            qsizetype a = dati.indexOf('\n', inizio);
            if (a < 0)
                a = dati.size();
            QByteArray riga = dati.mid(inizio, a - inizio);
            inizio = a + 1;
            if (riga.endsWith('\r'))
                riga.chop(1);
            ++numero;
            const int esito = importaRiga(riga, q);
            avanzamento.Valore(numero);
            if (esito == DataInesistente) {
                e.rigaDataInesistente = numero;
                break;
            }
            if (esito == 0)
                ++e.importate;
            else
                e.avvisi.append({numero, esito});
            if (numero % kRighePerDomanda == 0 && avanzamento.Annullato()) {
                e.annullato = true;
                break;
            }
        }
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
