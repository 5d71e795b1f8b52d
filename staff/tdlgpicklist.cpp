#include "tdlgpicklist.h"

#include "pulsante.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TDlgPickList::TDlgPickList(const QString& etichetta, const QList<UnitaScelta>& disponibili, const QList<UnitaScelta>& scelte,
                           QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgPickList"));
    setWindowTitle(QStringLiteral("Selezione valori"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_gruppo = new QGroupBox(etichetta, this);
    m_gruppo->setObjectName(QStringLiteral("grpValori"));
    m_valori = new QComboBox(m_gruppo);
    m_valori->setObjectName(QStringLiteral("cmbValori"));
    m_valori->setMinimumWidth(260);
    m_valori->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    for (const UnitaScelta& u : disponibili)
        m_valori->addItem(u.descr, u.id);
    m_valori->setCurrentIndex(-1);  // nothing chosen until the user picks a unit
    m_aggiungi = pulsante(QStringLiteral("Aggiungi alla lista"), QStringLiteral("btnAggiungi"), m_gruppo);
    m_lista = new QListWidget(m_gruppo);
    m_lista->setObjectName(QStringLiteral("lstValori"));
    m_lista->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lista->setMinimumHeight(150);
    m_rimuovi = pulsante(QStringLiteral("Rimuovi dalla lista"), QStringLiteral("btnRimuovi"), m_gruppo);
    for (const UnitaScelta& u : scelte)
        aggiungiAllaLista(u);

    auto* griglia = new QGridLayout(m_gruppo);
    griglia->setContentsMargins(12, 12, 12, 12);
    griglia->setHorizontalSpacing(10);
    griglia->setVerticalSpacing(8);
    griglia->addWidget(m_valori, 0, 0);
    griglia->addWidget(m_aggiungi, 0, 1);
    griglia->addWidget(m_lista, 1, 0);
    griglia->addWidget(m_rimuovi, 1, 1, Qt::AlignTop);
    griglia->setColumnStretch(0, 1);
    griglia->setRowStretch(1, 1);

    m_ok = pulsante(QStringLiteral("OK"), QStringLiteral("btnOK"), this);
    m_annulla = pulsante(QStringLiteral("Annulla"), QStringLiteral("btnAnnulla"), this);
    m_ok->setDefault(true);
    auto* comandi = new QHBoxLayout;
    comandi->addStretch();
    comandi->addWidget(m_ok);
    comandi->addWidget(m_annulla);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(10, 10, 10, 10);
    l->setSpacing(10);
    l->addWidget(m_gruppo, 1);
    l->addLayout(comandi);

    setTabOrder(m_valori, m_aggiungi);
    setTabOrder(m_aggiungi, m_lista);
    setTabOrder(m_lista, m_rimuovi);
    setTabOrder(m_rimuovi, m_ok);
    setTabOrder(m_ok, m_annulla);

    connect(m_valori, &QComboBox::currentIndexChanged, this, &TDlgPickList::aggiornaComandi);
    connect(m_aggiungi, &QPushButton::clicked, this, &TDlgPickList::btnAggiungiClick);
    connect(m_rimuovi, &QPushButton::clicked, this, &TDlgPickList::btnRimuoviClick);
    connect(m_lista, &QListWidget::itemDoubleClicked, this, &TDlgPickList::btnRimuoviClick);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_annulla, &QPushButton::clicked, this, &QDialog::reject);

    aggiornaComandi();
    m_valori->setFocus();
    resize(440, 300);
}

QList<UnitaScelta> TDlgPickList::Scelte() const
{
    QList<UnitaScelta> l;
    for (int n = 0; n < m_lista->count(); ++n)
        l.append({m_lista->item(n)->data(Qt::UserRole).toInt(), m_lista->item(n)->text()});
    return l;
}

void TDlgPickList::aggiungiAllaLista(const UnitaScelta& u)
{
    auto* item = new QListWidgetItem(u.descr, m_lista);
    item->setData(Qt::UserRole, u.id);
}

void TDlgPickList::btnAggiungiClick()
{
    const int n = m_valori->currentIndex();
    if (n < 0)
        return;
    // A name is listed once: two units with the same name would read as one on the tab.
    if (m_lista->findItems(m_valori->currentText(), Qt::MatchExactly).isEmpty())
        aggiungiAllaLista({m_valori->itemData(n).toInt(), m_valori->currentText()});
    aggiornaComandi();
}

void TDlgPickList::btnRimuoviClick()
{
    if (m_lista->count() == 0)
        return;
    QList<QListWidgetItem*> marcati = m_lista->selectedItems();
    if (marcati.isEmpty())
        marcati << m_lista->item(0);
    for (QListWidgetItem* i : marcati)
        delete i;
    aggiornaComandi();
}

void TDlgPickList::aggiornaComandi()
{
    const bool fuocoSuRimuovi = m_rimuovi->hasFocus();
    m_aggiungi->setEnabled(m_valori->currentIndex() >= 0);
    m_rimuovi->setEnabled(m_lista->count() > 0);
    // The last name removed from the button: the focus goes back to the drop-down rather
    // than to whatever control follows a disabled button.
    if (fuocoSuRimuovi && !m_rimuovi->isEnabled())
        m_valori->setFocus();
}
