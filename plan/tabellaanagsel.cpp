#include "tabellaanagsel.h"

#include "database.h"
#include "tdtmpiano.h"

#include <QRegularExpression>
#include <QSqlQuery>

TabellaAnagSel::TabellaAnagSel(TdtmPiano& piano, QObject* parent) : QAbstractTableModel(parent), m_piano(piano) {}

TabellaAnagSel::Ordine TabellaAnagSel::OrdineDaTesto(const QString& campi)
{
    if (campi.compare(QLatin1String("Matricola"), Qt::CaseInsensitive) == 0)
        return Ordine::Matricola;
    if (campi.compare(QLatin1String("Libero"), Qt::CaseInsensitive) == 0)
        return Ordine::Libero;
    return Ordine::CognomeNome;
}

QString TabellaAnagSel::TestoOrdine(Ordine o)
{
    switch (o) {
    case Ordine::Matricola:
        return QStringLiteral("Matricola");
    case Ordine::Libero:
        return QStringLiteral("Libero");
    default:
        return QStringLiteral("Cognome;Nome");
    }
}

void TabellaAnagSel::ImpostaTabella(const QString& nome, const QString& database)
{
    static const QRegularExpression identificatore(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    // The employee query names its table as a file ("TAnagCk.DB"): the table is the part
    // before the first dot.
    const QString tabella = nome.section(QLatin1Char('.'), 0, 0).trimmed();
    if (!identificatore.match(tabella).hasMatch())
        throw ErroreDb(QStringLiteral("Nome di tabella non valido: %1").arg(nome));
    QString db;
    if (database.compare(QLatin1String("DBPresenze"), Qt::CaseInsensitive) == 0)
        db = QStringLiteral("dbPresenze");
    else if (database.compare(QLatin1String("DBPresUt"), Qt::CaseInsensitive) == 0)
        db = QStringLiteral("dbPresUt");
    else
        throw ErroreDb(QStringLiteral("Database sconosciuto: %1").arg(database));
    Chiudi();
    m_tabella = tabella;
    m_database = db;
}

void TabellaAnagSel::leggi()
{
    QString ordine;
    switch (m_ordine) {
    case Ordine::Matricola:
        ordine = QStringLiteral("Matricola, Id");
        break;
    case Ordine::Libero:
        ordine = QStringLiteral("Libero, Id");
        break;
    default:
        ordine = QStringLiteral("Cognome, Nome, Id");
        break;
    }
    QSqlQuery q = m_piano.dtm().db().esegui(QStringLiteral("SELECT Id, Matricola, Cognome, Nome, Libero, Classe FROM ':%1:%2' ORDER BY %3")
                                                .arg(m_database, m_tabella, ordine));
    QList<DipendenteSel> righe;
    while (q.next()) {
        DipendenteSel d;
        d.Id = q.value(0).toInt();
        d.Matricola = q.value(1).toString();
        d.Cognome = q.value(2).toString();
        d.Nome = q.value(3).toString();
        d.Libero = q.value(4).toString();
        d.Classe = q.value(5).toString();
        righe.append(d);
    }
    beginResetModel();
    m_righe = righe;
    m_corrente = -1;
    endResetModel();
}

void TabellaAnagSel::ImpostaOrdine(Ordine o)
{
    m_ordine = o;
    if (!m_aperta)
        return;
    const int id = IdCorrente();
    leggi();
    if (!Trova(id))
        Primo();
}

void TabellaAnagSel::Apri()
{
    leggi();
    if (!m_aperta) {
        m_aperta = true;
        emit statoCambiato(true);
    }
    Primo();
}

void TabellaAnagSel::Chiudi()
{
    if (!m_aperta)
        return;
    beginResetModel();
    m_righe.clear();
    m_corrente = -1;
    m_fine = true;
    endResetModel();
    m_aperta = false;
    emit statoCambiato(false);
}

void TabellaAnagSel::ImpostaRigaCorrente(int riga)
{
    const int nuova = m_righe.isEmpty() ? -1 : qBound(0, riga, int(m_righe.size()) - 1);
    m_fine = m_righe.isEmpty();
    if (nuova == m_corrente)
        return;
    m_corrente = nuova;
    emit rigaCorrenteCambiata(m_corrente);
}

int TabellaAnagSel::IdCorrente() const
{
    return m_corrente >= 0 && m_corrente < m_righe.size() ? m_righe.at(m_corrente).Id : -1;
}

bool TabellaAnagSel::Trova(int id)
{
    for (qsizetype i = 0; i < m_righe.size(); ++i)
        if (m_righe.at(i).Id == id) {
            ImpostaRigaCorrente(int(i));
            return true;
        }
    return false;
}

void TabellaAnagSel::Primo()
{
    ImpostaRigaCorrente(0);
}

void TabellaAnagSel::Successivo()
{
    if (m_corrente + 1 < m_righe.size())
        ImpostaRigaCorrente(m_corrente + 1);
    else
        m_fine = true;
}

int TabellaAnagSel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_righe.size());
}

int TabellaAnagSel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NumColonne;
}

QVariant TabellaAnagSel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_righe.size())
        return {};
    const DipendenteSel& d = m_righe.at(index.row());
    if (role == Qt::UserRole)
        return d.Id;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case ColNominativo:
        return d.Nominativo();
    case ColMatricola:
        return d.Matricola;
    case ColLibero:
        return d.Libero;
    case ColId:
        return d.Id;
    case ColCognome:
        return d.Cognome;
    case ColNome:
        return d.Nome;
    case ColClasse:
        return d.Classe;
    default:
        return {};
    }
}

QVariant TabellaAnagSel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titoli[NumColonne] = {"Nominativo", "Matricola", "Commento", "Id", "Cognome", "Nome", "Classe"};
    return section >= 0 && section < NumColonne ? QString::fromLatin1(titoli[section]) : QString();
}
