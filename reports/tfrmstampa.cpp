#include "tfrmstampa.h"

#include "icone.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kAiuto = 360;
}

TfrmStampa::TfrmStampa(TdtmPresenze& dtm, QWidget* parent) : QDialog(parent), m_dtm(dtm)
{
    setObjectName(QStringLiteral("frmStampa"));
    setWindowTitle(QStringLiteral("Impostazioni di stampa"));
    setWindowIcon(IconaComando(QStringLiteral("stampa")));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* menu = new QMenuBar(this);
    QAction* itmEsci = menu->addAction(QStringLiteral("&Esci"));
    itmEsci->setObjectName(QStringLiteral("itmEsci"));
    itmEsci->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    addAction(itmEsci);
    QAction* itmAiuto = menu->addAction(QStringLiteral("&?"));
    itmAiuto->setObjectName(QStringLiteral("itmAiuto"));
    itmAiuto->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(itmAiuto);
    connect(itmEsci, &QAction::triggered, this, &TfrmStampa::btnEsciClick);
    connect(itmAiuto, &QAction::triggered, this, [this] { MostraAiuto(this, m_dtm, kAiuto); });

    auto* gruppoElenco = new QGroupBox(QStringLiteral("Report disponibili"), this);
    m_elenco = new QListWidget(gruppoElenco);
    m_elenco->setObjectName(QStringLiteral("lstReport"));
    m_elenco->setMinimumSize(320, 170);
    auto* le = new QVBoxLayout(gruppoElenco);
    le->addWidget(m_elenco);
    connect(m_elenco, &QListWidget::itemDoubleClicked, this, &TfrmStampa::btnOkClick);

    auto* gruppoTipo = new QGroupBox(QStringLiteral("Tipo di stampa"), this);
    m_stampa = new QRadioButton(QStringLiteral("&Stampa"), gruppoTipo);
    m_stampa->setObjectName(QStringLiteral("rbStampa"));
    m_anteprima = new QRadioButton(QStringLiteral("Ante&prima di stampa"), gruppoTipo);
    m_anteprima->setObjectName(QStringLiteral("rbAnteprima"));
    auto* lt = new QHBoxLayout(gruppoTipo);
    lt->addWidget(m_stampa);
    lt->addWidget(m_anteprima);
    lt->addStretch();

    auto* ok = new QPushButton(IconaComando(QStringLiteral("conferma")), QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    auto* annulla = new QPushButton(IconaComando(QStringLiteral("annulla")), QStringLiteral("A&nnulla"), this);
    annulla->setObjectName(QStringLiteral("btnAnnulla"));
    connect(ok, &QPushButton::clicked, this, &TfrmStampa::btnOkClick);
    connect(annulla, &QPushButton::clicked, this, &TfrmStampa::btnAnnullaClick);
    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(ok);
    pulsanti->addWidget(annulla);

    auto* l = new QVBoxLayout(this);
    l->setMenuBar(menu);
    l->addWidget(gruppoElenco, 1);
    l->addWidget(gruppoTipo);
    l->addLayout(pulsanti);
}

void TfrmStampa::preparaElenco(const QString& gruppo)
{
    m_risultato = {};
    (m_dtm.mem().Preview ? m_anteprima : m_stampa)->setChecked(true);
    m_elenco->clear();
    for (const VoceCatalogo& v : Stampa::Catalogo(m_dtm, gruppo)) {
        auto* voce = new QListWidgetItem(v.descrizione, m_elenco);
        voce->setData(Qt::UserRole, v.codice);
    }
    if (m_elenco->count() > 0)
        m_elenco->setCurrentRow(0);
    m_elenco->setFocus();
}

TRecStampa TfrmStampa::Esegui(const QString& gruppo)
{
    preparaElenco(gruppo);
    exec();
    return m_risultato;
}

void TfrmStampa::btnOkClick()
{
    m_risultato = {};
    if (QListWidgetItem* voce = m_elenco->currentItem()) {
        m_risultato.codice = voce->data(Qt::UserRole).toInt();
        m_risultato.descrizione = voce->text();
    }
    Stampa::ImpostaAnteprima(m_dtm, m_anteprima->isChecked());
    accept();
}

void TfrmStampa::btnAnnullaClick()
{
    m_risultato = {};
    reject();
}

void TfrmStampa::btnEsciClick()
{
    reject();
}
