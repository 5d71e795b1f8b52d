#include "tdtmacquisizione.h"

#include "database.h"
#include "fileini.h"
#include "messaggi.h"
#include "presenzecfg.h"
#include "tdtmpresenze.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSqlQuery>
#include <QThread>
#include <QTime>

#include <cstdio>
#include <unistd.h>

using namespace Msg;

namespace {

constexpr int kPausaChiusura = 100;  // ms between ClosePort and DestroyPort
constexpr int kPausaDopoInvio = 200; // after TermProg
constexpr int kIndirizzi = 16;

// The characters from column `posizione` (from 1); fewer, or none, past the end.
QByteArray colonne(const QByteArray& testo, int posizione, int lunghezza)
{
    if (posizione < 1 || lunghezza <= 0 || posizione > testo.size())
        return {};
    return testo.mid(posizione - 1, lunghezza);
}

bool cifre(const QByteArray& b)
{
    if (b.isEmpty())
        return false;
    for (char c : b)
        if (c < '0' || c > '9')
            return false;
    return true;
}

QString testoLibreria(const LibreriaTerminali& lib, uint16_t stato)
{
    const char* t = lib.GetErrorMessage ? lib.GetErrorMessage(stato) : nullptr;
    return t ? QString::fromUtf8(t) : QString::number(stato);
}

DatiTerminale leggiTerminale(const QSqlQuery& q)
{
    DatiTerminale t;
    t.id = q.value(0).toInt();
    t.descr = q.value(1).toString();
    t.idPostaz = q.value(2).toInt();
    t.indirizzo = q.value(3).toString();
    t.dipSet = q.value(4).toString();
    t.tipo = q.value(5).toInt();
    return t;
}

DatiPostazione leggiPostazione(const QSqlQuery& q)
{
    return {q.value(0).toInt(), q.value(1).toString(), q.value(2).toInt(), q.value(3).toString()};
}

DatiPorta leggiPorta(const QSqlQuery& q)
{
    return {q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(), q.value(4).toString(), q.value(5).toString()};
}

const QString kColTerminali = QStringLiteral("SELECT Id, Descr, IdPostaz, Indirizzo, DipSet, Tipo FROM Terminali");
const QString kColPostaz = QStringLiteral("SELECT Id, Descr, IdCom, TelNo FROM Postaz");
const QString kColPorte = QStringLiteral("SELECT Id, BaudRate, BitNo, StopBit, Parity, ModString FROM Porte");

}  // namespace

// --- Small types ----------------------------------------------------------------------

int DatiTerminale::indirizzoTerminale() const
{
    return TdtmAcquisizione::DaDipSet(dipSet);
}

Telefono Telefono::Dividi(const QString& telNo)
{
    Telefono t;
    const qsizetype virgola = telNo.indexOf(QLatin1Char(','));
    if (virgola < 0) {
        t.numero = telNo;
        return t;
    }
    t.centralino = true;
    t.prefisso = telNo.left(virgola);
    t.numero = telNo.mid(virgola + 1);
    return t;
}

QString Telefono::Unisci() const
{
    return centralino && !prefisso.isEmpty() ? prefisso + QLatin1Char(',') + numero : numero;
}

FormatoTransazione FormatoTransazione::Carica(const FileIni& ini)
{
    FormatoTransazione f;
    auto leggi = [&](const char* chiave, int& campo) { campo = ini.leggiIntero(Ini::TransFormat, QLatin1String(chiave), campo); };
    leggi("PosizBadge", f.PosizBadge);
    leggi("LunghBadge", f.LunghBadge);
    leggi("PosizVerso", f.PosizVerso);
    leggi("PosizCausale", f.PosizCausale);
    leggi("LunghCausale", f.LunghCausale);
    leggi("PosizDataOra", f.PosizDataOra);
    return f;
}

void FormatoTransazione::Salva(FileIni& ini, const FormatoTransazione& f)
{
    ini.aggiorna([&f](FileIni& i) {
        auto scrivi = [&i](const char* chiave, int v) { i.imposta(Ini::TransFormat, QLatin1String(chiave), QString::number(v)); };
        scrivi("PosizBadge", f.PosizBadge);
        scrivi("LunghBadge", f.LunghBadge);
        scrivi("PosizVerso", f.PosizVerso);
        scrivi("PosizCausale", f.PosizCausale);
        scrivi("LunghCausale", f.LunghCausale);
        scrivi("PosizDataOra", f.PosizDataOra);
    });
}

// --- Observers ------------------------------------------------------------------------

OsservatoreStderr::OsservatoreStderr() : m_terminale(isatty(fileno(stderr)) != 0) {}

void OsservatoreStderr::Stato(const QString& testo, const QString& terminale)
{
    if (!m_terminale)
        return;
    // An empty status clears the line, so nothing stale stays beside the next output.
    if (testo.isEmpty())
        std::fprintf(stderr, "\r\033[K");
    else
        std::fprintf(stderr, "\r\033[K%s: %s", terminale.toLocal8Bit().constData(), testo.toLocal8Bit().constData());
    std::fflush(stderr);
}

void OsservatoreStderr::Avviso(const QString& testo)
{
    if (m_terminale)
        std::fprintf(stderr, "\r\033[K");
    std::fprintf(stdout, "%s: %s\n", QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toLocal8Bit().constData(),
                 testo.toLocal8Bit().constData());
    std::fflush(stdout);
}

void OsservatoreRegistro::Stato(const QString& testo, const QString& terminale)
{
    chiamate << QStringLiteral("Stato %1|%2").arg(terminale, testo);
}

void OsservatoreRegistro::Eventi()
{
    ++eventi;
    if (azioneDopo > 0 && eventi == azioneDopo && azione)
        azione();
}

bool EsitoRun::completa(int richiesti) const
{
    if (turni.size() != richiesti)
        return false;
    for (const TurnoTerminale& t : turni)
        if (t.esito != EsitoTerminale::Completato)
            return false;
    return true;
}

// --- Ports ----------------------------------------------------------------------------

TdtmAcquisizione::TdtmAcquisizione(TdtmPresenze& dtm) : m_dtm(dtm) {}
TdtmAcquisizione::~TdtmAcquisizione() = default;

QList<DatiPorta> TdtmAcquisizione::Porte()
{
    QList<DatiPorta> l;
    QSqlQuery q = m_dtm.db().esegui(kColPorte + QStringLiteral(" ORDER BY Id"));
    while (q.next())
        l.append(leggiPorta(q));
    return l;
}

std::optional<DatiPorta> TdtmAcquisizione::Porta(int id)
{
    QSqlQuery q = m_dtm.db().esegui(kColPorte + QStringLiteral(" WHERE Id = :id"), {{"id", id}});
    if (!q.next())
        return std::nullopt;
    return leggiPorta(q);
}

QList<int> TdtmAcquisizione::PorteMancanti()
{
    QList<int> l{1, 2, 3, 4};
    for (const DatiPorta& p : Porte())
        l.removeAll(p.id);
    return l;
}

void TdtmAcquisizione::InserisciPorta(int id)
{
    DatiPorta p;
    p.id = id;
    m_dtm.db().esegui(QStringLiteral("INSERT INTO Porte (Id, BaudRate, BitNo, StopBit, Parity, ModString)\n"
                                     "VALUES (:id, :baud, :bit, :stop, :par, :mod)"),
                      {{"id", p.id}, {"baud", p.baudRate}, {"bit", p.bitNo}, {"stop", p.stopBit}, {"par", p.parity},
                       {"mod", Sql::testo(p.modString)}});
}

bool TdtmAcquisizione::EliminaPorta(int id)
{
    Database& db = m_dtm.db();
    try {
        Transazione tr(db);
        if (db.esisteRiga(QStringLiteral("SELECT 1 FROM Postaz WHERE IdCom = :id"), {{"id", id}}))
            return false;
        db.esegui(QStringLiteral("DELETE FROM Porte WHERE Id = :id"), {{"id", id}});
        tr.conferma();
        return true;
    } catch (const ErroreDb&) {
        return false;
    }
}

void TdtmAcquisizione::AggiornaPorta(const DatiPorta& p)
{
    m_dtm.db().esegui(QStringLiteral("UPDATE Porte SET BaudRate = :baud, BitNo = :bit, StopBit = :stop, Parity = :par,\n"
                                     "  ModString = :mod WHERE Id = :id"),
                      {{"id", p.id}, {"baud", p.baudRate}, {"bit", p.bitNo}, {"stop", p.stopBit}, {"par", p.parity},
                       {"mod", Sql::testo(p.modString)}});
}

ImpostazioniPorta TdtmAcquisizione::Impostazioni(const DatiPorta& p)
{
    ImpostazioniPorta i;
    i.porta = int16_t(p.id);
    i.bitStop = int16_t(p.stopBit);
    i.bitDati = int16_t(p.bitNo);
    const qsizetype parita = QStringLiteral("NOEMS").indexOf(p.parity.left(1));
    i.parita = int16_t(p.parity.size() == 1 && parita >= 0 ? parita : 0);
    i.baud = p.baudRate;
    return i;
}

// --- Stations and terminals -----------------------------------------------------------

void TdtmAcquisizione::PreparaPostazioni()
{
    Database& db = m_dtm.db();
    Transazione tr(db);
    db.esegui(QStringLiteral("UPDATE Postaz SET Descr = 'R' WHERE (Descr IS NULL OR Descr = '') AND Id <= 20"));
    db.esegui(QStringLiteral("UPDATE Postaz SET Descr = 'L' WHERE (Descr IS NULL OR Descr = '') AND Id > 20"));
    tr.conferma();
}

QList<DatiPostazione> TdtmAcquisizione::Postazioni()
{
    QList<DatiPostazione> l;
    QSqlQuery q = m_dtm.db().esegui(kColPostaz + QStringLiteral(" ORDER BY Id"));
    while (q.next())
        l.append(leggiPostazione(q));
    return l;
}

std::optional<DatiPostazione> TdtmAcquisizione::Postazione(int id)
{
    QSqlQuery q = m_dtm.db().esegui(kColPostaz + QStringLiteral(" WHERE Id = :id"), {{"id", id}});
    if (!q.next())
        return std::nullopt;
    return leggiPostazione(q);
}

QList<DatiTerminale> TdtmAcquisizione::Terminali()
{
    QList<DatiTerminale> l;
    QSqlQuery q = m_dtm.db().esegui(kColTerminali + QStringLiteral(" ORDER BY Id"));
    while (q.next())
        l.append(leggiTerminale(q));
    return l;
}

std::optional<DatiTerminale> TdtmAcquisizione::Terminale(int id)
{
    QSqlQuery q = m_dtm.db().esegui(kColTerminali + QStringLiteral(" WHERE Id = :id"), {{"id", id}});
    if (!q.next())
        return std::nullopt;
    return leggiTerminale(q);
}

QString TdtmAcquisizione::DipSet(int indirizzo)
{
    return QString(QChar(48 + indirizzo));
}

int TdtmAcquisizione::DaDipSet(const QString& dipSet)
{
    return dipSet.isEmpty() ? 0 : dipSet.at(0).unicode() - 48;
}

QString TdtmAcquisizione::Indirizzo(int idPostaz, const QString& dipSet)
{
    return QString(QChar(48 + idPostaz)) + dipSet;
}

// The lowest free Id from 1: remote stations fill the gaps that purged ones leave.
int TdtmAcquisizione::idPostazioneRemota()
{
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Id FROM Postaz WHERE Id >= 1 ORDER BY Id"));
    int n = 1;
    while (q.next() && q.value(0).toInt() <= n)
        n = q.value(0).toInt() + 1;
    return n;
}

bool TdtmAcquisizione::condivisa(int idPostaz, int idTerminale)
{
    return m_dtm.db().esisteRiga(QStringLiteral("SELECT 1 FROM Terminali WHERE IdPostaz = :p AND Id <> :t"),
                                 {{"p", idPostaz}, {"t", idTerminale}});
}

// The terminal moves to station `idPostaz`. Its address stays unless another terminal there
// has it: then it takes the lowest address free there, so that no two terminals of one line
// answer the same poll.
void TdtmAcquisizione::assegnaPostazione(int idTerminale, int idPostaz)
{
    Database& db = m_dtm.db();
    const std::optional<DatiTerminale> t = Terminale(idTerminale);
    if (!t)
        return;
    QList<int> occupati;
    QSqlQuery q = db.esegui(QStringLiteral("SELECT DipSet FROM Terminali WHERE IdPostaz = :p AND Id <> :t"), {{"p", idPostaz}, {"t", idTerminale}});
    while (q.next())
        occupati.append(DaDipSet(q.value(0).toString()));
    QString dipSet = t->dipSet.isEmpty() ? DipSet(0) : t->dipSet;
    if (occupati.contains(DaDipSet(dipSet)))
        for (int a = 0; a < kIndirizzi; ++a)
            if (!occupati.contains(a)) {
                dipSet = DipSet(a);
                break;
            }
    db.esegui(QStringLiteral("UPDATE Terminali SET IdPostaz = :p, DipSet = :d, Indirizzo = :i WHERE Id = :t"),
              {{"p", idPostaz}, {"d", dipSet}, {"i", Indirizzo(idPostaz, dipSet)}, {"t", idTerminale}});
}

// A station of the terminal's own shaped like `modello`: the terminal leaves a shared
// station without changing it for the others.
int TdtmAcquisizione::postazionePropria(int idTerminale, const DatiPostazione& modello)
{
    Database& db = m_dtm.db();
    const std::optional<DatiTerminale> t = Terminale(idTerminale);
    const std::optional<DatiPostazione> attuale = t ? Postazione(t->idPostaz) : std::nullopt;
    const int id = modello.remota() ? idPostazioneRemota() : m_dtm.NuovoId(QStringLiteral("Postaz"));
    if (attuale && !condivisa(attuale->id, idTerminale)) {
        db.esegui(QStringLiteral("UPDATE Postaz SET Id = :n, Descr = :d, IdCom = :c, TelNo = :t WHERE Id = :id"),
                  {{"n", id}, {"d", modello.descr}, {"c", modello.idCom}, {"t", Sql::testo(modello.telNo)}, {"id", attuale->id}});
    } else {
        db.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom, TelNo) VALUES (:n, :d, :c, :t)"),
                  {{"n", id}, {"d", modello.descr}, {"c", modello.idCom}, {"t", Sql::testo(modello.telNo)}});
    }
    return id;
}

int TdtmAcquisizione::postazioneLocale(int idTerminale, int porta)
{
    QSqlQuery q = m_dtm.db().esegui(kColPostaz + QStringLiteral(" WHERE IdCom = :p AND Descr = 'L' ORDER BY Id"), {{"p", porta}});
    if (q.next())
        return q.value(0).toInt();
    return postazionePropria(idTerminale, {0, QStringLiteral("L"), porta, {}});
}

int TdtmAcquisizione::postazioneRemota(int porta, const QString& telefono)
{
    Database& db = m_dtm.db();
    // The kind counts too: a local station never answers for a number.
    QSqlQuery q = db.esegui(kColPostaz + QStringLiteral(" WHERE IdCom = :p AND TelNo = :t AND Descr = 'R' ORDER BY Id"),
                            {{"p", porta}, {"t", telefono}});
    if (q.next())
        return q.value(0).toInt();
    const int id = idPostazioneRemota();
    db.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom, TelNo) VALUES (:n, 'R', :c, :t)"), {{"n", id}, {"c", porta}, {"t", telefono}});
    return id;
}

std::optional<int> TdtmAcquisizione::RisolviPostazione(int idTerminale, int porta, bool remoto, const QString& telefono)
{
    if (remoto && telefono.isEmpty())
        return std::nullopt;
    Database& db = m_dtm.db();
    Transazione tr(db);
    const std::optional<DatiTerminale> t = Terminale(idTerminale);
    if (!t)
        return std::nullopt;
    const int id = remoto ? postazioneRemota(porta, telefono) : postazioneLocale(idTerminale, porta);
    assegnaPostazione(idTerminale, id);
    tr.conferma();
    return id;
}

void TdtmAcquisizione::ImpostaCollegamento(int idTerminale, bool remoto)
{
    Database& db = m_dtm.db();
    Transazione tr(db);
    const std::optional<DatiTerminale> t = Terminale(idTerminale);
    const std::optional<DatiPostazione> p = t ? Postazione(t->idPostaz) : std::nullopt;
    const QString descr = remoto ? QStringLiteral("R") : QStringLiteral("L");
    if (!p || p->descr == descr)
        return;
    if (condivisa(p->id, idTerminale)) {
        DatiPostazione nuova = *p;
        nuova.descr = descr;
        assegnaPostazione(idTerminale, postazionePropria(idTerminale, nuova));
    } else {
        db.esegui(QStringLiteral("UPDATE Postaz SET Descr = :d WHERE Id = :id"), {{"d", descr}, {"id", p->id}});
    }
    tr.conferma();
}

bool TdtmAcquisizione::ImpostaIndirizzo(int idTerminale, int indirizzo)
{
    if (indirizzo < 0 || indirizzo >= kIndirizzi)
        return false;
    Database& db = m_dtm.db();
    Transazione tr(db);
    const std::optional<DatiTerminale> t = Terminale(idTerminale);
    if (!t)
        return false;
    const QString dipSet = DipSet(indirizzo);
    if (db.esisteRiga(QStringLiteral("SELECT 1 FROM Terminali WHERE IdPostaz = :p AND DipSet = :d AND Id <> :t"),
                      {{"p", t->idPostaz}, {"d", dipSet}, {"t", idTerminale}}))
        return false;
    db.esegui(QStringLiteral("UPDATE Terminali SET DipSet = :d, Indirizzo = :i WHERE Id = :t"),
              {{"d", dipSet}, {"i", Indirizzo(t->idPostaz, dipSet)}, {"t", idTerminale}});
    tr.conferma();
    return true;
}

int TdtmAcquisizione::NuovoTerminale()
{
    Database& db = m_dtm.db();
    Transazione tr(db);
    // Old punches keep naming the terminals that stamped them: a new one never takes an Id
    // they name, or they would show its label.
    const QVariant maxTimb = db.valore(QStringLiteral("SELECT MAX(IdTerminale) FROM Timbrature"));
    const int id = std::max(m_dtm.NuovoId(QStringLiteral("Terminali")), maxTimb.isNull() ? 1 : maxTimb.toInt() + 1);
    db.esegui(QStringLiteral("INSERT INTO Terminali (Id, Descr, IdPostaz, Indirizzo, DipSet, Tipo) VALUES (:id, :d, 0, :i, :s, 100)"),
              {{"id", id}, {"d", QString::number(id)}, {"i", Indirizzo(0, DipSet(0))}, {"s", DipSet(0)}});
    const int postaz = postazioneLocale(id, 1);
    QList<int> occupati;
    QSqlQuery q = db.esegui(QStringLiteral("SELECT DipSet FROM Terminali WHERE IdPostaz = :p AND Id <> :t"), {{"p", postaz}, {"t", id}});
    while (q.next())
        occupati.append(DaDipSet(q.value(0).toString()));
    int indirizzo = 0;
    while (indirizzo < kIndirizzi && occupati.contains(indirizzo))
        ++indirizzo;
    if (indirizzo == kIndirizzi)
        return 0;
    db.esegui(QStringLiteral("UPDATE Terminali SET IdPostaz = :p, DipSet = :s, Indirizzo = :i WHERE Id = :t"),
              {{"p", postaz}, {"s", DipSet(indirizzo)}, {"i", Indirizzo(postaz, DipSet(indirizzo))}, {"t", id}});
    tr.conferma();
    return id;
}

void TdtmAcquisizione::EliminaTerminale(int id)
{
    Database& db = m_dtm.db();
    db.esegui(QStringLiteral("DELETE FROM Terminali WHERE Id = :id"), {{"id", id}});
    // A station nobody uses any more goes; station 1 always stays. A failed purge leaves
    // stations behind and nothing wrong.
    try {
        db.esegui(QStringLiteral("DELETE FROM Postaz WHERE Id <> 1 AND NOT EXISTS (SELECT 1 FROM Terminali WHERE Terminali.IdPostaz = Postaz.Id)"));
    } catch (const ErroreDb&) {
    }
}

void TdtmAcquisizione::RinominaTerminale(int id, const QString& descr)
{
    m_dtm.db().esegui(QStringLiteral("UPDATE Terminali SET Descr = :d WHERE Id = :id"), {{"d", Sql::testo(descr.left(40))}, {"id", id}});
}

// --- Transaction format ---------------------------------------------------------------

FormatoTransazione TdtmAcquisizione::CaricaFormato()
{
    return FormatoTransazione::Carica(m_dtm.ini());
}

void TdtmAcquisizione::SalvaFormato(const FormatoTransazione& f)
{
    FormatoTransazione::Salva(m_dtm.ini(), f);
}

int TdtmAcquisizione::Decodifica(const QByteArray& testo, const FormatoTransazione& f, TransazioneLetta* t)
{
    t->dataScarto = QString::fromLatin1(colonne(testo, 16, 10));
    t->badgeScarto = QString::fromLatin1(colonne(testo, 1, 10));
    const QByteArray verso11 = colonne(testo, 11, 1);
    t->versoScarto = cifre(verso11) ? QVariant(verso11.at(0) - '0') : QVariant();

    // Blanks inside the badge field stay: such a code matches no badge.
    t->badge = QString::fromLatin1(colonne(testo, f.PosizBadge, f.LunghBadge)).rightJustified(10, QLatin1Char('0'));
    t->verso = colonne(testo, f.PosizVerso, 1) == "1" ? QStringLiteral("E") : QStringLiteral("U");
    const QString caus = QString::fromLatin1(colonne(testo, f.PosizCausale, f.LunghCausale)).trimmed().rightJustified(4, QLatin1Char('0'));
    t->caus = caus == QLatin1String("0000") ? QString() : caus;

    // Any group that is not two digits rejects the transaction: acknowledged and recorded,
    // it no longer blocks the terminal's later punches.
    t->quando = {};
    const QByteArray dt = colonne(testo, f.PosizDataOra, 10);
    if (dt.size() != 10 || !cifre(dt))
        return ErrDataTransazione;
    auto parte = [&dt](int i) { return (dt.at(i) - '0') * 10 + (dt.at(i + 1) - '0'); };
    const int anno = parte(4);
    const QDate d(anno <= 50 ? 2000 + anno : 1900 + anno, parte(2), parte(0));
    const QTime o(parte(6), parte(8));
    if (!d.isValid() || !o.isValid())
        return ErrDataTransazione;
    t->quando = QDateTime(d, o);
    return 0;
}

// --- Runs -----------------------------------------------------------------------------

// Each run reads the port map of PRES.INI again, so the window and the batch commands both
// follow an edit of [Porte seriali]; a key left out keeps the device the process had.
void TdtmAcquisizione::caricaDispositivi()
{
    for (int n = 1; n <= 4; ++n) {
        const QString percorso = m_dtm.ini().leggiTesto(QStringLiteral("Porte seriali"), QStringLiteral("COM%1").arg(n)).trimmed();
        if (!percorso.isEmpty())
            ImpostaDispositivo(n, percorso);
    }
}

// One run's state: the port handle, the counter, the log and the statements prepared once.
// However a run ends, even through a database failure: the switch goes off and the next
// run can start.
struct TdtmAcquisizione::FineCorsa {
    TdtmAcquisizione& dtm;
    OsservatoreAcquisizione& oss;
    FineCorsa(TdtmAcquisizione& d, OsservatoreAcquisizione& o) : dtm(d), oss(o)
    {
        dtm.m_inCorso = true;
        dtm.m_stop = false;
        oss.Interruttore(true);
    }
    ~FineCorsa()
    {
        dtm.m_stop = false;
        oss.Interruttore(false);
        dtm.m_inCorso = false;
    }
};

struct TdtmAcquisizione::Corsa {
    HandlePorta handle = nullptr;
    bool creata = false;
    int contatore = 1;
    int indirizzo = 0;
    FormatoTransazione formato;
    QFile log;
    EsitoRun esito;
    QSqlQuery badge, registrata, inserisci, scarta;
};

// Port, settings, creation, opening and dialling of terminal `t`: 0 when it is ready to be
// served; otherwise *esito says why not.
int TdtmAcquisizione::apriTerminale(const LibreriaTerminali& lib, const DatiTerminale& t, Corsa& c, OsservatoreAcquisizione& oss,
                                    EsitoTerminale* esito)
{
    const std::optional<DatiPostazione> postaz = Postazione(t.idPostaz);
    const std::optional<DatiPorta> porta = postaz ? Porta(postaz->idCom) : std::nullopt;
    if (!porta) {
        oss.Avviso(TdtmPresenze::ConDettaglio(m_dtm.TestoErrore(ErrPortaNonDefinita), QStringLiteral("COM%1").arg(postaz ? postaz->idCom : 0)));
        *esito = EsitoTerminale::PortaMancante;
        return -1;
    }
    oss.Stato(m_dtm.TestoScelta(EtApriPorta), t.descr);
    const ImpostazioniPorta imp = Impostazioni(*porta);
    c.indirizzo = t.indirizzoTerminale();
    if (m_stop) {
        *esito = EsitoTerminale::Interrotto;
        return -1;
    }
    c.handle = nullptr;
    uint16_t stato = lib.CreatePort(imp, &c.handle);
    c.creata = stato == 0;
    if (stato == 0)
        stato = lib.OpenPort(c.handle);
    if (stato != 0) {
        oss.Stato(testoLibreria(lib, stato), t.descr);
        oss.Avviso(testoLibreria(lib, stato));
        *esito = EsitoTerminale::PortaNonAperta;
        return -1;
    }
    if (postaz->remota()) {
        oss.Stato(m_dtm.TestoScelta(EtComposizione), t.descr);
        const TPresenzeCfg& cfg = m_dtm.cfg();
        stato = lib.Dial(c.handle, postaz->telNo.toLatin1().constData(), porta->modString.toLatin1().constData(), cfg.Toni ? 0 : 1,
                         cfg.Timeout);
        if (stato != 0) {
            oss.Avviso(testoLibreria(lib, stato));
            *esito = EsitoTerminale::ChiamataFallita;
            return -1;
        }
    }
    if (m_stop) {
        *esito = EsitoTerminale::Interrotto;
        return -1;
    }
    return 0;
}

// Only a port that was created is closed.
void TdtmAcquisizione::chiudiTerminale(const LibreriaTerminali& lib, Corsa& c, OsservatoreAcquisizione& oss, int pausaMs)
{
    if (!c.creata)
        return;
    oss.Stato({}, {});
    lib.ClosePort(c.handle);
    QThread::msleep(pausaMs);
    lib.DestroyPort(&c.handle);
    c.creata = false;
}

// Stores one transaction or records its rejection, committed durably before the caller
// acknowledges it. Returns 0 or the rejection code; throws ErroreDb when neither could be
// written (the transaction then stays in the terminal).
int TdtmAcquisizione::registra(const QByteArray& testo, const DatiTerminale& t, Corsa& c, OsservatoreAcquisizione& oss)
{
    TransazioneLetta l;
    int codice = Decodifica(testo, c.formato, &l);
    Transazione tr(m_dtm.db(), Durata::Piena);
    int idDip = 0;
    if (codice == 0) {
        // A code handed on from one employee to another has a row each: the one valid at
        // the punch's time decides. A code with one row is taken whatever its dates say.
        const QString quando = Sql::testoDataOra(l.quando);
        c.badge.bindValue(QStringLiteral(":codice"), l.badge);
        Database::esegui(c.badge);
        int righe = 0, primo = 0;
        while (c.badge.next()) {
            const int id = c.badge.value(2).toInt();
            if (++righe == 1)
                primo = id;
            const QString inizio = Sql::testoDataOra(Sql::leggiDataOra(c.badge.value(0)));
            const QString fine = c.badge.value(1).isNull() ? QString() : Sql::testoDataOra(Sql::leggiDataOra(c.badge.value(1)));
            if (!idDip && inizio <= quando && (fine.isEmpty() || quando <= fine))
                idDip = id;
        }
        c.badge.finish();
        if (righe == 1)
            idDip = primo;
        if (idDip == 0)
            codice = ErrBadgeNonValido;
    }
    if (codice == 0) {
        // Delivered again after its punch was processed: the recorded time still tells.
        const QString quando = Sql::testoDataOra(l.quando);
        c.registrata.bindValue(QStringLiteral(":id"), idDip);
        c.registrata.bindValue(QStringLiteral(":o"), quando);
        Database::esegui(c.registrata);
        const bool doppia = c.registrata.next();
        c.registrata.finish();
        c.inserisci.bindValue(QStringLiteral(":id"), idDip);
        c.inserisci.bindValue(QStringLiteral(":v"), quando);
        c.inserisci.bindValue(QStringLiteral(":o"), quando);
        c.inserisci.bindValue(QStringLiteral(":vv"), l.verso);
        c.inserisci.bindValue(QStringLiteral(":vo"), l.verso);
        c.inserisci.bindValue(QStringLiteral(":c"), Sql::testo(l.caus));
        c.inserisci.bindValue(QStringLiteral(":t"), t.id);
        if (doppia || !Database::eseguiSalvoVincoli(c.inserisci)) {
            codice = ErrTimbraturaNonRegistrata;
            ++c.esito.duplicate;
        }
    }
    if (codice != 0) {
        oss.Avviso(m_dtm.TestoErrore(codice));
        c.scarta.bindValue(QStringLiteral(":d"), Sql::testo(l.dataScarto));
        c.scarta.bindValue(QStringLiteral(":b"), Sql::testo(l.badgeScarto));
        c.scarta.bindValue(QStringLiteral(":v"), l.versoScarto);
        c.scarta.bindValue(QStringLiteral(":e"), codice);
        Database::esegui(c.scarta);
    }
    tr.conferma();
    return codice;
}

EsitoRun TdtmAcquisizione::Acquisisci(const LibreriaTerminali& lib, const QList<int>& terminali, OsservatoreAcquisizione& oss)
{
    Corsa c;
    caricaDispositivi();
    c.formato = CaricaFormato();
    Database& db = m_dtm.db();
    c.badge = db.prepara(QStringLiteral("SELECT DataInizio, DataFine, IdUtilizzatore FROM Badge WHERE Codice = :codice ORDER BY DataInizio"));
    c.registrata = db.prepara(QStringLiteral("SELECT 1 FROM Timbrature WHERE IdDip = :id AND DataO = :o"));
    c.inserisci = db.prepara(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, Caus, IdTerminale)\n"
                                            "VALUES (:id, :v, :o, :vv, :vo, :c, :t)"));
    c.scarta = db.prepara(QStringLiteral("INSERT INTO Terrtimb (Data, Badge, Verso, IdErr) VALUES (:d, :b, :v, :e)"));

    FineCorsa fine(*this, oss);
    c.log.setFileName(FileLog());
    if (!c.log.open(QIODevice::Append)) {
        c.esito.logFallito = true;
        m_dtm.MostraErroreCon(ErrScritturaFile, QStringLiteral("transaz.dat"));
    }

    for (int idTerminale : terminali) {
        const std::optional<DatiTerminale> t = Terminale(idTerminale);
        if (!t)
            continue;
        TurnoTerminale turno{t->id, EsitoTerminale::Completato};
        bool finita = false;
        if (apriTerminale(lib, *t, c, oss, &turno.esito) != 0) {
            finita = true;
        } else {
            oss.Stato(m_dtm.TestoScelta(EtAcquisizioneInCorso), t->descr);
            for (;;) {
                PuntatoreMessaggio messaggio = nullptr;
                lib.SendPolling(c.handle, int16_t(c.indirizzo), 0, &messaggio);
                uint8_t buffer[DimensioneMessaggio] = {};
                uint8_t tipo = MessaggioNessuno;
                if (messaggio) {
                    lib.GetTerminalMessage(messaggio, buffer);
                    tipo = buffer[PosizioneTipoMessaggio];
                }
                if (tipo == MessaggioTransazione) {
                    const char* inizio = reinterpret_cast<const char*>(buffer + PosizioneTestoMessaggio);
                    const QByteArray testo(inizio, qstrnlen(inizio, LunghezzaTestoMessaggio));
                    oss.Stato(m_dtm.TestoScelta(EtRicezioneTransazione) + QLatin1Char(' ') + QString::number(c.contatore++), t->descr);
                    ++c.esito.transazioni;
                    // Logged as it arrives, before it is stored and acknowledged: a run that
                    // dies in between gets it again and logs it twice, never not at all.
                    if (c.log.isOpen() && (c.log.write(testo + '\n') != testo.size() + 1 || !c.log.flush()) && !c.esito.logFallito) {
                        c.esito.logFallito = true;
                        m_dtm.MostraErroreCon(ErrScritturaFile, QStringLiteral("transaz.dat"));
                    }
                    int codice = 0;
                    try {
                        codice = registra(testo, *t, c, oss);
                    } catch (const ErroreDb& e) {
                        // Neither stored nor recorded: left unacknowledged, the terminal keeps it.
                        oss.Avviso(e.testo());
                        turno.esito = EsitoTerminale::ErroreDatabase;
                        finita = true;
                        break;
                    }
                    ++(codice == 0 ? c.esito.registrate : c.esito.rifiutate);
                    lib.SendAcknowledge(c.handle);
                } else {
                    lib.SendAcknowledge(c.handle);
                }
                if (tipo == MessaggioNessuno) {
                    oss.Avviso(m_dtm.TestoErrore(ErrTerminaleMuto));
                    turno.esito = EsitoTerminale::NessunaRisposta;
                } else if (tipo == MessaggioErrore) {
                    oss.Avviso(m_dtm.TestoErrore(ErrTerminaleErrore));
                    turno.esito = EsitoTerminale::ErroreTerminale;
                }
                oss.Eventi();
                if (tipo == MessaggioFine || tipo == MessaggioErrore || tipo == MessaggioNessuno)
                    break;
                if (m_stop) {
                    turno.esito = EsitoTerminale::Interrotto;
                    break;
                }
            }
        }
        chiudiTerminale(lib, c, oss, kPausaChiusura);
        c.esito.turni.append(turno);
        if (finita || m_stop)
            break;
    }

    c.esito.interrotta = m_stop;
    c.log.close();
    return c.esito;
}

EsitoRun TdtmAcquisizione::Sincronizza(const LibreriaTerminali& lib, const QList<int>& terminali, OsservatoreAcquisizione& oss)
{
    Corsa c;
    caricaDispositivi();
    FineCorsa fine(*this, oss);
    for (int idTerminale : terminali) {
        const std::optional<DatiTerminale> t = Terminale(idTerminale);
        if (!t)
            continue;
        TurnoTerminale turno{t->id, EsitoTerminale::Completato};
        const bool aperto = apriTerminale(lib, *t, c, oss, &turno.esito) == 0;
        if (aperto) {
            oss.Stato(m_dtm.TestoScelta(EtSincronizzazione), t->descr);
            // The terminals answer the first sync after a pause with their clock unchanged:
            // only the second one is relied on.
            lib.TermSync(c.handle, int16_t(c.indirizzo));
            const uint16_t stato = lib.TermSync(c.handle, int16_t(c.indirizzo));
            if (stato != 0) {
                oss.Avviso(testoLibreria(lib, stato));
                oss.Stato({}, {});
                turno.esito = EsitoTerminale::SyncFallita;
            }
        }
        chiudiTerminale(lib, c, oss, kPausaChiusura);
        c.esito.turni.append(turno);
        // A terminal that failed its sync does not hold back the others' clocks.
        if (!aperto || m_stop)
            break;
    }
    c.esito.interrotta = m_stop;
    return c.esito;
}

bool TdtmAcquisizione::InviaConfigurazione(const LibreriaTerminali& lib, int idTerminale, const QString& file, OsservatoreAcquisizione& oss)
{
    if (file.isEmpty())
        return false;
    const std::optional<DatiTerminale> t = Terminale(idTerminale);
    if (!t)
        return false;
    Corsa c;
    caricaDispositivi();
    m_inCorso = true;
    m_stop = false;  // nothing stops an upload
    EsitoTerminale esito = EsitoTerminale::Completato;
    bool inviato = false;
    if (apriTerminale(lib, *t, c, oss, &esito) == 0) {
        const uint16_t stato = lib.TermProg(c.handle, c.indirizzo, QFile::encodeName(QFileInfo(file).absoluteFilePath()).constData());
        if (stato != 0)
            oss.Avviso(testoLibreria(lib, stato));
        inviato = stato == 0;
    }
    chiudiTerminale(lib, c, oss, kPausaDopoInvio);
    m_inCorso = false;
    return inviato;
}

// --- Files ----------------------------------------------------------------------------

QString TdtmAcquisizione::FileLog() const
{
    return QDir(m_dtm.cfg().DirApplicazione).filePath(QStringLiteral("transaz.dat"));
}

QString TdtmAcquisizione::CartellaSele() const
{
    return QDir(m_dtm.cfg().DirApplicazione).filePath(QStringLiteral("Sele"));
}

QString TdtmAcquisizione::CartellaConfigurazione() const
{
    return QFileInfo(CartellaSele()).isDir() ? CartellaSele() : m_dtm.cfg().DirApplicazione;
}

namespace {

QList<QByteArray> righe(const QByteArray& dati)
{
    QList<QByteArray> l = dati.split('\n');
    if (!l.isEmpty() && l.constLast().isEmpty())
        l.removeLast();
    for (QByteArray& r : l)
        if (r.endsWith('\r'))
            r.chop(1);
    return l;
}

// A key names a file in "Sele" and nothing else: no folder, no parent, no device.
bool nomeSemplice(const QByteArray& chiave)
{
    if (chiave.trimmed().isEmpty() || chiave == "." || chiave == "..")
        return false;
    for (char c : chiave)
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32)
            return false;
    return true;
}

}  // namespace

bool TdtmAcquisizione::FileCombinato(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    f.readLine();
    const QByteArray seconda = f.readLine();
    return seconda.size() >= 7 && seconda.at(6) == '|';
}

EsitoDivisione TdtmAcquisizione::DividiFileCombinato(const QString& file, OsservatoreAcquisizione& oss)
{
    EsitoDivisione e;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        e.letturaFallita = true;
        oss.Avviso(TdtmPresenze::ConDettaglio(m_dtm.TestoErrore(ErrFileTimbrature), file));
        return e;
    }
    const QByteArray dati = f.readAll();
    const QByteArray fineRiga = dati.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    QList<QByteArray> resto = righe(dati);
    if (!resto.isEmpty())
        resto.removeFirst();
    resto.removeIf([](const QByteArray& r) { return r.trimmed().isEmpty(); });
    const QDir sele(CartellaSele());
    if (!resto.isEmpty() && !QDir().mkpath(sele.path())) {
        e.scritturaFallita = true;
        oss.Avviso(TdtmPresenze::ConDettaglio(m_dtm.TestoErrore(ErrScritturaFile), sele.path()));
        return e;
    }
    while (!resto.isEmpty()) {
        const QByteArray chiave = resto.constFirst().left(6);
        QByteArray uscita;
        resto.removeIf([&](const QByteArray& r) {
            if (r.left(6) != chiave)
                return false;
            uscita += ' ' + r.mid(7, 1024) + fineRiga;
            return true;
        });
        if (!nomeSemplice(chiave)) {
            e.chiaviRifiutate << QString::fromLatin1(chiave);
            oss.Avviso(TdtmPresenze::ConDettaglio(m_dtm.TestoErrore(ErrChiaveNonValida), QString::fromLatin1(chiave)));
            continue;
        }
        const QString nome = sele.filePath(QString::fromLatin1(chiave) + QStringLiteral(".txt"));
        QSaveFile s(nome);
        if (!s.open(QIODevice::WriteOnly) || s.write(uscita) != uscita.size() || !s.commit()) {
            e.scritturaFallita = true;
            oss.Avviso(TdtmPresenze::ConDettaglio(m_dtm.TestoErrore(ErrScritturaFile), nome));
            continue;
        }
        e.scritti << nome;
    }
    return e;
}

QStringList TdtmAcquisizione::ComandoEditor(const QString& file)
{
    QString editor = qEnvironmentVariable("VISUAL");
    if (editor.trimmed().isEmpty())
        editor = qEnvironmentVariable("EDITOR");
    QStringList comando = QProcess::splitCommand(editor);
    if (comando.isEmpty())
        return {};
    const QFileInfo fi(file);
    comando << (fi.exists() ? fi.canonicalFilePath() : fi.absoluteFilePath());
    return comando;
}

// --- Error punches --------------------------------------------------------------------

QList<TimbraturaScartata> TdtmAcquisizione::TimbratureScartate()
{
    QList<TimbraturaScartata> l;
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Data, Badge, Verso, IdErr FROM Terrtimb"));
    while (q.next()) {
        const int err = q.value(3).toInt();
        l.append({q.value(0).toString(), q.value(1).toString(), q.value(2).isNull() ? QVariant() : QVariant(q.value(2).toInt()), err,
                  m_dtm.TestoErrore(err).left(60)});
    }
    return l;
}

bool TdtmAcquisizione::CiSonoTimbratureScartate()
{
    return m_dtm.db().esisteRiga(QStringLiteral("SELECT 1 FROM Terrtimb"));
}

void TdtmAcquisizione::SvuotaTimbratureScartate()
{
    m_dtm.db().esegui(QStringLiteral("DELETE FROM Terrtimb"));
}
