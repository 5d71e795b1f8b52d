#include "tabellatimbrature.h"

#include "messaggi.h"

#include "database.h"
#include "tdtmpiano.h"
#include "testiora.h"

#include <QSqlQuery>

namespace {


QVariant interoONull(const QVariant& v)
{
    return v.isNull() ? QVariant(QMetaType::fromType<int>()) : QVariant(v.toInt());
}

QString oraPunto(const QDateTime& dt)
{
    return dt.isValid() ? TestiOra::FormatoOra(QLatin1Char('.'), dt.time()) : QString();
}

}  // namespace

TabellaTimbrature::TabellaTimbrature(TdtmPiano& piano, QObject* parent) : QAbstractTableModel(parent), m_piano(piano) {}

void TabellaTimbrature::carica(const QString& chiaveDaTenere, int rigaDaTenere)
{
    QList<Timbratura> righe;
    if (m_giorno.isValid()) {
        QSqlQuery q = m_piano.dtm().db().esegui(
            QStringLiteral("SELECT IdDip, DataV, DataO, VersoV, VersoO, Caus, IdTerminale\n"
                           "  FROM Timbrature\n"
                           " WHERE IdDip = :IdDip AND DataV >= :DataI AND DataV <= :DataF\n"
                           " ORDER BY IdDip, DataV"),
            {{"IdDip", m_idDip},
             {"DataI", Sql::testoData(m_giorno)},
             {"DataF", Sql::testoDataOra(QDateTime(m_giorno, QTime(23, 59, 59), Qt::UTC))}});
        while (q.next()) {
            Timbratura t;
            t.IdDip = q.value(0).toInt();
            t.chiaveDataV = q.value(1).toString();
            t.DataV = Sql::leggiDataOra(q.value(1));
            t.DataO = Sql::leggiDataOra(q.value(2));
            t.VersoV = q.value(3).toString();
            t.VersoO = q.value(4).toString();
            t.Caus = q.value(5).toString();
            t.IdTerminale = interoONull(q.value(6));
            righe.append(t);
        }
    }
    beginResetModel();
    m_righe = righe;
    int riga = -1;
    for (qsizetype i = 0; !chiaveDaTenere.isEmpty() && i < m_righe.size(); ++i)
        if (m_righe.at(i).chiaveDataV == chiaveDaTenere)
            riga = int(i);
    if (riga < 0 && !m_righe.isEmpty())
        riga = qBound(0, rigaDaTenere, int(m_righe.size()) - 1);
    m_corrente = riga;
    endResetModel();
    emit rigaCorrenteCambiata(m_corrente);
}

void TabellaTimbrature::Limita(int idDip, const QDate& giorno)
{
    m_idDip = idDip;
    m_giorno = giorno;
    carica({}, 0);
    if (!m_aperta) {
        m_aperta = true;
        emit statoCambiato(true);
    }
}

void TabellaTimbrature::Chiudi()
{
    if (!m_aperta)
        return;
    beginResetModel();
    m_righe.clear();
    m_corrente = -1;
    endResetModel();
    m_aperta = false;
    emit statoCambiato(false);
}

void TabellaTimbrature::Aggiorna()
{
    if (!m_aperta)
        return;
    const Timbratura* t = Corrente();
    carica(t ? t->chiaveDataV : QString(), m_corrente);
}

const Timbratura* TabellaTimbrature::Corrente() const
{
    return m_corrente >= 0 && m_corrente < m_righe.size() ? &m_righe.at(m_corrente) : nullptr;
}

void TabellaTimbrature::ImpostaRigaCorrente(int riga)
{
    const int nuova = m_righe.isEmpty() ? -1 : qBound(0, riga, int(m_righe.size()) - 1);
    if (nuova == m_corrente)
        return;
    m_corrente = nuova;
    emit rigaCorrenteCambiata(m_corrente);
}

int TabellaTimbrature::PosizionaVicino(const QDateTime& quando)
{
    if (m_righe.isEmpty())
        return -1;
    int riga = int(m_righe.size()) - 1;
    for (qsizetype i = 0; i < m_righe.size(); ++i)
        if (m_righe.at(i).DataV >= quando) {
            riga = int(i);
            break;
        }
    ImpostaRigaCorrente(riga);
    return m_corrente;
}

QString TabellaTimbrature::LetteraVerso(const QString& verso) const
{
    if (verso == QLatin1String("E"))
        return m_piano.dtm().mem().LetteraE;
    if (verso == QLatin1String("U"))
        return m_piano.dtm().mem().LetteraU;
    return {};
}

QString TabellaTimbrature::Indirizzo(int riga) const
{
    return riga >= 0 && riga < m_righe.size() ? m_piano.IndirizzoTerminale(m_righe.at(riga).IdTerminale) : QString();
}

// --- Storage ------------------------------------------------------------------------------

void TabellaTimbrature::scritta(const Timbratura& t)
{
    // Stay on the punch just written when it still belongs to the listed day.
    carica(t.DataV.isValid() ? Sql::testoDataOra(t.DataV) : QString(), m_corrente);
    emit timbratureCambiate(t.IdDip, t.DataV.date());
}

// The stored fields of a punch, bound in the same way for an insert and an update.
static void legaValori(QSqlQuery& q, const Timbratura& t)
{
    q.bindValue(QStringLiteral(":IdDip"), t.IdDip);
    q.bindValue(QStringLiteral(":DataV"), Sql::dataOra(t.DataV));
    q.bindValue(QStringLiteral(":DataO"), Sql::dataOra(t.DataO));
    q.bindValue(QStringLiteral(":VersoV"), Sql::testo(t.VersoV));
    q.bindValue(QStringLiteral(":VersoO"), Sql::testo(t.VersoO));
    q.bindValue(QStringLiteral(":Caus"), Sql::testo(t.Caus));
    q.bindValue(QStringLiteral(":IdTerminale"), interoONull(t.IdTerminale));
}

// A punch typed by the clerk is raw data: its change is on disk before the editor closes.
void TabellaTimbrature::Inserisci(const Timbratura& t)
{
    Database& db = m_piano.dtm().db();
    Transazione tr(db, Durata::Piena);
    QSqlQuery q = db.prepara(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, Caus, IdTerminale)\n"
                                            "VALUES (:IdDip, :DataV, :DataO, :VersoV, :VersoO, :Caus, :IdTerminale)"));
    legaValori(q, t);
    Database::esegui(q);
    tr.conferma();
    scritta(t);
}

void TabellaTimbrature::Modifica(int riga, const Timbratura& t)
{
    if (riga < 0 || riga >= m_righe.size())
        return;
    const Timbratura& vecchia = m_righe.at(riga);
    Database& db = m_piano.dtm().db();
    Transazione tr(db, Durata::Piena);
    QSqlQuery q = db.prepara(
        QStringLiteral("UPDATE Timbrature\n"
                       "   SET IdDip = :IdDip, DataV = :DataV, DataO = :DataO, VersoV = :VersoV, VersoO = :VersoO,\n"
                       "       Caus = :Caus, IdTerminale = :IdTerminale\n"
                       " WHERE IdDip = :VecchioIdDip AND DataV = :VecchiaDataV"));
    legaValori(q, t);
    q.bindValue(QStringLiteral(":VecchioIdDip"), vecchia.IdDip);
    q.bindValue(QStringLiteral(":VecchiaDataV"), vecchia.chiaveDataV);
    Database::esegui(q);
    tr.conferma();
    scritta(t);
}

bool TabellaTimbrature::ConfirmDelete()
{
    return m_piano.dtm().Chiedi(Msg::SclCancella);
}

bool TabellaTimbrature::Cancella(int riga)
{
    if (riga < 0 || riga >= m_righe.size() || !ConfirmDelete())
        return false;
    const Timbratura t = m_righe.at(riga);
    Database& db = m_piano.dtm().db();
    Transazione tr(db, Durata::Piena);
    db.esegui(QStringLiteral("DELETE FROM Timbrature WHERE IdDip = :IdDip AND DataV = :DataV"), {{"IdDip", t.IdDip}, {"DataV", t.chiaveDataV}});
    tr.conferma();
    carica({}, riga);
    emit timbratureCambiate(t.IdDip, t.DataV.date());
    return true;
}

// --- Model ------------------------------------------------------------------------------

int TabellaTimbrature::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_righe.size());
}

int TabellaTimbrature::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NumColonne;
}

QVariant TabellaTimbrature::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_righe.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const Timbratura& t = m_righe.at(index.row());
    const bool mostra = role == Qt::DisplayRole;
    switch (index.column()) {
    case ColIdDip:
        return t.IdDip;
    case ColDataV:
        return mostra ? QVariant(oraPunto(t.DataV)) : QVariant(t.DataV);
    case ColDataO:
        return mostra ? QVariant(oraPunto(t.DataO)) : (t.DataO.isValid() ? QVariant(t.DataO) : QVariant());
    case ColVersoV:
        return t.VersoV;
    case ColVersoO:
        return t.VersoO;
    case ColCaus:
        return t.Caus;
    case ColIdTerminale:
        return t.IdTerminale;
    case ColIndirizzo:
        return Indirizzo(index.row());
    case ColVTradO:
        return LetteraVerso(t.VersoO);
    case ColVTradV:
        return LetteraVerso(t.VersoV);
    default:
        return {};
    }
}

QVariant TabellaTimbrature::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titoli[NumColonne] = {"IdDip", "Orario", "Orario", "VersoV", "VersoO", "Caus", "IdTerminale", "Indirizzo", "Verso", "Verso"};
    return section >= 0 && section < NumColonne ? QString::fromLatin1(titoli[section]) : QString();
}
