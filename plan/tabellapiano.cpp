#include "tabellapiano.h"

#include "messaggi.h"

#include "anomaliegiorno.h"
#include "database.h"
#include "tdtmpiano.h"
#include "testipiano.h"

#include <QSqlQuery>

namespace {

constexpr int kStatoChiuso = 3;
constexpr int kLunghezzaNote = 50;

// The range's last second: days are stored at midnight, punches at any second of the day.
QString fineGiorno(const QDate& d)
{
    return Sql::testoDataOra(QDateTime(d, QTime(23, 59, 59), Qt::UTC));
}

// Minute field behind each hours column.
const char* campoOre(int colonna)
{
    switch (colonna) {
    case ColOreOrd:
        return "ValOrdinario";
    case ColOreStra:
        return "ValEccedenza";
    case ColOrePres:
        return "ValPresenza";
    case ColOreAssenza:
        return "ValCarenza";
    default:
        return nullptr;
    }
}

const QVariant& valoreOre(const GiornoPiano& g, int colonna)
{
    switch (colonna) {
    case ColOreOrd:
        return g.ValOrdinario;
    case ColOreStra:
        return g.ValEccedenza;
    case ColOrePres:
        return g.ValPresenza;
    default:
        return g.ValCarenza;
    }
}

QVariant interoONull(const QVariant& v)
{
    return v.isNull() ? QVariant(QMetaType::fromType<int>()) : QVariant(v.toInt());
}

}  // namespace

TabellaPiano::TabellaPiano(TdtmPiano& piano, QObject* parent) : QAbstractTableModel(parent), m_piano(piano) {}

// --- Reading ----------------------------------------------------------------------------

QList<GiornoPiano> TabellaPiano::leggiGiorni(const QString& da, const QString& a) const
{
    QSqlQuery q = m_piano.dtm().db().esegui(
        QStringLiteral("SELECT IdDip, Data, Stato, IdOrario, ValOrdinario, ValEccedenza, ValPresenza, ValCarenza, Note\n"
                       "  FROM PianoSomma\n"
                       " WHERE IdDip = :IdDip AND Data >= :DataI AND Data <= :DataF\n"
                       " ORDER BY IdDip, Data"),
        {{"IdDip", m_idDip}, {"DataI", da}, {"DataF", a}});
    QList<GiornoPiano> righe;
    while (q.next()) {
        GiornoPiano g;
        g.IdDip = q.value(0).toInt();
        g.chiaveData = q.value(1).toString();
        g.Data = Sql::leggiData(q.value(1));
        g.Stato = interoONull(q.value(2));
        g.IdOrario = interoONull(q.value(3));
        g.ValOrdinario = interoONull(q.value(4));
        g.ValEccedenza = interoONull(q.value(5));
        g.ValPresenza = interoONull(q.value(6));
        g.ValCarenza = interoONull(q.value(7));
        g.Note = q.value(8).toString();
        righe.append(g);
    }
    return righe;
}

QHash<QDate, TabellaPiano::Testi> TabellaPiano::leggiTimbrature(const QString& da, const QString& a) const
{
    // One query for the whole range: the texts of every day are ready before the grid
    // paints, so scrolling never goes back to the database.
    QSqlQuery q = m_piano.dtm().db().esegui(
        QStringLiteral("SELECT DataV, VersoV, DataO, VersoO\n"
                       "  FROM Timbrature\n"
                       " WHERE IdDip = :IdDip AND DataV >= :DataI AND DataV <= :DataF\n"
                       " ORDER BY IdDip, DataV"),
        {{"IdDip", m_idDip}, {"DataI", da}, {"DataF", a}});
    const TdtmPresenze& dtm = m_piano.dtm();
    QHash<QDate, Testi> testi;
    while (q.next()) {
        QDate giorno;
        int minuti = 0;
        if (!Sql::scomponi(q.value(0).toString(), &giorno, &minuti))
            continue;
        Testi& t = testi[giorno];
        t.valide += dtm.TokenTimbratura(q.value(1).toString(), QTime(minuti / 60, minuti % 60)) + QLatin1Char(' ');
        // A punch inserted by hand has no original values: its token is empty, and the
        // blank that follows still marks its place in the original text.
        const QDateTime dataO = Sql::leggiDataOra(q.value(2));
        t.originali += dtm.TokenTimbratura(q.value(3).toString(), dataO.isValid() ? dataO.time() : QTime(0, 0)) + QLatin1Char(' ');
    }
    for (Testi& t : testi) {
        t.valide.chop(1);
        t.originali.chop(1);
    }
    return testi;
}

QHash<QDate, TabellaPiano::Testi> TabellaPiano::leggiTesti(const QDate& dal, const QDate& al) const
{
    QHash<QDate, Testi> testi = leggiTimbrature(Sql::testoData(dal), fineGiorno(al));
    const QHash<QDate, QList<AnomaliaGiorno>> anomalie = AnomalieGiorno::Leggi(m_piano.dtm().db(), m_idDip, dal, al);
    for (auto it = anomalie.cbegin(); it != anomalie.cend(); ++it)
        testi[it.key()].anomalie = AnomalieGiorno::Testi(it.value());
    return testi;
}

void TabellaPiano::completa(GiornoPiano& g, const QHash<QDate, Testi>& testi) const
{
    g.DataGiorno = m_piano.DataGiorno(g.Data);
    const Testi t = testi.value(g.Data);
    g.Timbrature = t.valide;
    g.TimbratureOrig = t.originali;
    g.Anomalie = t.anomalie;
}

void TabellaPiano::Apri(int idDip, const QDate& dal, const QDate& al)
{
    const int idPrima = m_idDip;
    m_idDip = idDip;
    QList<GiornoPiano> righe;
    QHash<QDate, Testi> testi;
    try {
        righe = leggiGiorni(Sql::testoData(dal), fineGiorno(al));
        testi = leggiTesti(dal, al);
    } catch (const ErroreDb&) {
        m_idDip = idPrima;
        throw;
    }
    for (GiornoPiano& g : righe)
        completa(g, testi);

    beginResetModel();
    m_righe = righe;
    m_dal = dal;
    m_al = al;
    m_corrente = m_righe.isEmpty() ? -1 : 0;
    m_rigaInModifica = -1;
    endResetModel();
    const bool eraAperta = m_aperta;
    m_aperta = true;
    if (!eraAperta)
        emit statoCambiato(true);
    emit aggiornata();
    emit rigaCorrenteCambiata(m_corrente);
}

void TabellaPiano::Chiudi()
{
    if (!m_aperta)
        return;
    emit primaDiChiudere();
    beginResetModel();
    m_righe.clear();
    m_corrente = -1;
    m_rigaInModifica = -1;
    endResetModel();
    m_aperta = false;
    emit statoCambiato(false);
    m_piano.SalvaLarghezze();
}

void TabellaPiano::Aggiorna()
{
    if (!m_aperta)
        return;
    const GiornoPiano* corrente = GiornoCorrente();
    const QDate giornoCorrente = corrente ? corrente->Data : QDate();
    const int rigaPrima = m_corrente;

    QList<GiornoPiano> righe = leggiGiorni(Sql::testoData(m_dal), fineGiorno(m_al));
    const QHash<QDate, Testi> testi = leggiTesti(m_dal, m_al);
    for (GiornoPiano& g : righe)
        completa(g, testi);

    bool stesseRighe = righe.size() == m_righe.size();
    for (qsizetype i = 0; stesseRighe && i < righe.size(); ++i)
        stesseRighe = righe.at(i).Data == m_righe.at(i).Data;
    if (stesseRighe) {
        // Same days: the view keeps its selection and scroll position.
        m_righe = righe;
        if (!m_righe.isEmpty())
            emit dataChanged(index(0, 0), index(int(m_righe.size()) - 1, NumColonnePiano - 1));
    } else {
        beginResetModel();
        m_righe = righe;
        m_rigaInModifica = -1;
        endResetModel();
    }
    int riga = TrovaData(giornoCorrente);
    if (riga < 0)
        riga = m_righe.isEmpty() ? -1 : qBound(0, rigaPrima, int(m_righe.size()) - 1);
    m_corrente = riga;
    emit aggiornata();
    emit rigaCorrenteCambiata(m_corrente);
}

void TabellaPiano::RileggiRiga(int riga)
{
    if (!rigaValida(riga))
        return;
    const GiornoPiano& g = m_righe.at(riga);
    const QList<GiornoPiano> lette = leggiGiorni(g.chiaveData, g.chiaveData);
    if (lette.isEmpty()) {
        // The day is gone (deleted elsewhere): the whole range is read again.
        Aggiorna();
        return;
    }
    GiornoPiano nuovo = lette.first();
    completa(nuovo, leggiTesti(nuovo.Data, nuovo.Data));
    m_righe[riga] = nuovo;
    emit dataChanged(index(riga, 0), index(riga, NumColonnePiano - 1));
}

// --- Cursor -----------------------------------------------------------------------------

int TabellaPiano::TrovaData(const QDate& d) const
{
    if (!d.isValid())
        return -1;
    for (qsizetype i = 0; i < m_righe.size(); ++i)
        if (m_righe.at(i).Data == d)
            return int(i);
    return -1;
}

const GiornoPiano* TabellaPiano::GiornoCorrente() const
{
    return rigaValida(m_corrente) ? &m_righe.at(m_corrente) : nullptr;
}

void TabellaPiano::ImpostaRigaCorrente(int riga)
{
    const int nuova = m_righe.isEmpty() ? -1 : qBound(0, riga, int(m_righe.size()) - 1);
    if (nuova == m_corrente)
        return;
    m_corrente = nuova;
    emit rigaCorrenteCambiata(m_corrente);
}

bool TabellaPiano::Sposta(int righe)
{
    const int prima = m_corrente;
    if (prima < 0)
        return false;
    ImpostaRigaCorrente(prima + righe);
    return m_corrente != prima;
}

bool TabellaPiano::AllInizio() const
{
    return m_corrente <= 0;
}

bool TabellaPiano::AllaFine() const
{
    return m_corrente < 0 || m_corrente == m_righe.size() - 1;
}

// --- Editing ----------------------------------------------------------------------------

bool TabellaPiano::StatoBloccato(int riga) const
{
    return rigaValida(riga) && !m_righe.at(riga).Stato.isNull() && m_righe.at(riga).Stato.toInt() == kStatoChiuso;
}

void TabellaPiano::scriviCampo(int riga, const char* campo, const QVariant& valore)
{
    const GiornoPiano g = m_righe.at(riga);
    int scritte = 0;
    try {
        QSqlQuery q = m_piano.dtm().db().esegui(
            QStringLiteral("UPDATE PianoSomma SET %1 = :Valore WHERE IdDip = :IdDip AND Data = :Data").arg(QLatin1String(campo)),
            {{"Valore", valore}, {"IdDip", g.IdDip}, {"Data", g.chiaveData}});
        scritte = q.numRowsAffected();
    } catch (const ErroreDb&) {
        RileggiRiga(riga);
        throw;
    }
    RileggiRiga(riga);
    if (scritte > 0)
        emit rigaRegistrata(riga);
}

bool TabellaPiano::ImpostaOre(int riga, int colonna, const QString& testo)
{
    const char* campo = campoOre(colonna);
    if (!rigaValida(riga) || !campo)
        return false;
    const int minuti = TestiPiano::TestoInMinuti(testo);
    if (minuti == valoreOre(m_righe.at(riga), colonna).toInt())
        return false;
    scriviCampo(riga, campo, minuti);
    return true;
}

bool TabellaPiano::ImpostaNote(int riga, const QString& note)
{
    if (!rigaValida(riga))
        return false;
    const QString testo = note.left(kLunghezzaNote);
    if (testo == m_righe.at(riga).Note)
        return false;
    scriviCampo(riga, "Note", Sql::testo(testo));
    return true;
}

TabellaPiano::EsitoStato TabellaPiano::ControllaStato(int riga, int nuovo) const
{
    if (!rigaValida(riga))
        return EsitoStato::NonValido;
    if (StatoBloccato(riga))
        return EsitoStato::Bloccato;
    if (!m_piano.StatoValido(nuovo))
        return EsitoStato::NonValido;
    const QVariant& stato = m_righe.at(riga).Stato;
    const int attuale = stato.isNull() ? 0 : stato.toInt();
    if (!stato.isNull() && attuale == nuovo)
        return EsitoStato::Invariato;
    // Only processing decides whether a day has anomalies to review.
    if ((attuale == 1 && nuovo == 2) || (attuale == 2 && nuovo == 1))
        return EsitoStato::Vietato;
    return EsitoStato::Consentito;
}

bool TabellaPiano::ImpostaStato(int riga, int nuovo)
{
    if (ControllaStato(riga, nuovo) != EsitoStato::Consentito)
        return false;
    scriviCampo(riga, "Stato", nuovo);
    return true;
}

bool TabellaPiano::CambiaStato(int riga, int nuovo)
{
    switch (ControllaStato(riga, nuovo)) {
    case EsitoStato::Vietato:
        m_piano.dtm().MostraErrore(Msg::ErrCambioStato);
        RileggiRiga(riga);  // the picker shows the stored state again
        return false;
    case EsitoStato::Consentito:
        if (!m_piano.dtm().Chiedi(Msg::SclCambioStato)) {
            RileggiRiga(riga);
            return false;
        }
        scriviCampo(riga, "Stato", nuovo);
        return true;
    default:
        return false;
    }
}

bool TabellaPiano::ImpostaOrario(int riga, const QVariant& idOrario)
{
    if (!rigaValida(riga) || StatoBloccato(riga))
        return false;
    const QVariant nuovo = interoONull(idOrario);
    const QVariant& attuale = m_righe.at(riga).IdOrario;
    if (nuovo.isNull() == attuale.isNull() && (nuovo.isNull() || nuovo.toInt() == attuale.toInt()))
        return false;
    scriviCampo(riga, "IdOrario", nuovo);
    return true;
}

bool TabellaPiano::CancellaOrario(int riga)
{
    if (!rigaValida(riga) || m_righe.at(riga).IdOrario.isNull())
        return false;
    return ImpostaOrario(riga, QVariant());
}

TotaliPiano TabellaPiano::Totali() const
{
    TotaliPiano t;
    for (const GiornoPiano& g : m_righe) {
        t.Ordinario += g.ValOrdinario.toInt();
        t.Eccedenza += g.ValEccedenza.toInt();
        t.Presenza += g.ValPresenza.toInt();
        t.Carenza += g.ValCarenza.toInt();
    }
    return t;
}

void TabellaPiano::ImpostaRigaInModifica(int riga)
{
    const int prima = m_rigaInModifica;
    m_rigaInModifica = rigaValida(riga) ? riga : -1;
    for (int r : {prima, m_rigaInModifica})
        if (rigaValida(r))
            emit dataChanged(index(r, ColTimbrature), index(r, ColTimbrature));
}

// --- Model ------------------------------------------------------------------------------

QString TabellaPiano::TitoloColonna(int colonna)
{
    static const char* const titoli[NumColonnePiano] = {"Data", "Stato", "Orario", "Timbrature", "ORD", "STR", "TOT", "ASS", "Note"};
    return colonna >= 0 && colonna < NumColonnePiano ? QString::fromLatin1(titoli[colonna]) : QString();
}

int TabellaPiano::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_righe.size());
}

int TabellaPiano::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NumColonnePiano;
}

QVariant TabellaPiano::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !rigaValida(index.row()))
        return {};
    const GiornoPiano& g = m_righe.at(index.row());
    switch (role) {
    case RuoloIdDip:
        return g.IdDip;
    case RuoloData:
        return g.Data;
    case RuoloStato:
        return g.Stato;
    case RuoloIdOrario:
        return g.IdOrario;
    case RuoloValOrdinario:
        return g.ValOrdinario;
    case RuoloValEccedenza:
        return g.ValEccedenza;
    case RuoloValPresenza:
        return g.ValPresenza;
    case RuoloValCarenza:
        return g.ValCarenza;
    case RuoloNote:
        return g.Note;
    case RuoloDataGiorno:
        return g.DataGiorno;
    case RuoloTimbrature:
        return g.Timbrature;
    case RuoloTimbratureOrig:
        return g.TimbratureOrig;
    case RuoloAnomalie:
        return g.Anomalie;
    default:
        break;
    }

    const int colonna = index.column();
    const bool inModifica = index.row() == m_rigaInModifica;
    if (role == Qt::ToolTipRole) {
        // Why the day is anomalous, where its state is shown.
        if (colonna == ColStato)
            return g.Anomalie.isEmpty() ? QVariant() : QVariant(g.Anomalie.join(QLatin1Char('\n')));
        if (colonna != ColTimbrature)
            return {};
        if (inModifica)
            return m_piano.TestoInModifica() + QLatin1Char('\n') + m_piano.TestoInModifica();
        if (g.Timbrature.isEmpty() && g.TimbratureOrig.isEmpty())
            return {};
        return g.Timbrature + QLatin1Char('\n') + g.TimbratureOrig;
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (colonna) {
    case ColData:
        return g.DataGiorno;
    case ColStato:
        return role == Qt::EditRole ? g.Stato : QVariant(m_piano.DescrStato(g.Stato));
    case ColOrario:
        return role == Qt::EditRole ? g.IdOrario : QVariant(m_piano.DescrizioneOrario(g.IdOrario));
    case ColTimbrature:
        return inModifica ? m_piano.TestoInModifica() : g.Timbrature;
    case ColOreOrd:
    case ColOreStra:
    case ColOrePres:
    case ColOreAssenza:
        return TestiPiano::MinutiInTesto(valoreOre(g, colonna));
    case ColNote:
        return g.Note;
    default:
        return {};
    }
}

QVariant TabellaPiano::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return TitoloColonna(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TabellaPiano::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    switch (index.column()) {
    case ColStato:
    case ColOrario:
        if (!StatoBloccato(index.row()))
            f |= Qt::ItemIsEditable;
        break;
    case ColOreOrd:
    case ColOreStra:
    case ColOrePres:
    case ColOreAssenza:
    case ColNote:
        f |= Qt::ItemIsEditable;
        break;
    default:
        break;
    }
    return f;
}

bool TabellaPiano::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int riga = index.row();
    try {
        switch (index.column()) {
        case ColStato:
            return ControllaStato(riga, value.toInt()) == EsitoStato::Invariato || ImpostaStato(riga, value.toInt());
        case ColOrario:
            ImpostaOrario(riga, value);
            return true;
        case ColNote:
            ImpostaNote(riga, value.toString());
            return true;
        default:
            ImpostaOre(riga, index.column(), value.toString());
            return true;
        }
    } catch (const ErroreDb& e) {
        // A view's delegate cannot take an exception: the window shows the failure.
        emit erroreScrittura(e.testo());
        return false;
    }
}

bool TabellaPiano::insertRows(int, int, const QModelIndex&)
{
    return false;
}

bool TabellaPiano::removeRows(int, int, const QModelIndex&)
{
    return false;
}
