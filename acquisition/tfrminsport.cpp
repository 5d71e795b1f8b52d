#include "tfrminsport.h"

#include "icone.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmInsPort::TfrmInsPort(const QList<int>& mancanti, QWidget* parent) : QDialog(parent), m_porte(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("frmInsPort"));
    setWindowTitle(QStringLiteral("Inserimento Porte"));
    auto* l = new QVBoxLayout(this);
    l->addWidget(new QLabel(QStringLiteral("Specificare quale porta si desidera inserire:"), this));
    auto* gruppo = new QGroupBox(QStringLiteral("Porte disponibili"), this);
    gruppo->setObjectName(QStringLiteral("rgPorte"));
    auto* lg = new QVBoxLayout(gruppo);
    for (int porta : mancanti) {
        auto* r = new QRadioButton(QStringLiteral("COM%1").arg(porta), gruppo);
        m_porte->addButton(r, porta);
        lg->addWidget(r);
    }
    if (!m_porte->buttons().isEmpty())
        m_porte->buttons().first()->setChecked(true);
    l->addWidget(gruppo);
    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch(1);
    auto* ok = new QPushButton(IconaComando(QStringLiteral("conferma")), QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    auto* annulla = new QPushButton(IconaComando(QStringLiteral("annulla")), QStringLiteral("&Annulla"), this);
    annulla->setObjectName(QStringLiteral("btnAnnulla"));
    pulsanti->addWidget(ok);
    pulsanti->addWidget(annulla);
    l->addLayout(pulsanti);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
}

int TfrmInsPort::Scelta() const
{
    return m_porte->checkedId();
}
