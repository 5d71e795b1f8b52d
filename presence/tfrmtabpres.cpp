#include "tfrmtabpres.h"

#include "catalogo.h"
#include "icone.h"
#include "presenzecfg.h"
#include "rptpreass.h"
#include "tdtmpresenze.h"
#include "tdtmturni.h"
#include "testiora.h"
#include "tfrmaiuto.h"
#include "tfrmanteprima.h"
#include "tfrmstampa.h"
#include "tfrmvistimb.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The grid's columns and the fields whose indexes sort them.
const char* const kTitoli[] = {"Matricola", "Dipendente", "Stato"};
const char* const kCampi[] = {"Matricola", "Dipendente", "StatoEsteso"};

QLineEdit* campoFisso(const QString& testo, QWidget* parent)
{
    auto* e = new QLineEdit(testo, parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(testo) + 16);
    return e;
}

}  // namespace

TfrmTabPres::TfrmTabPres(TdtmPresenze& dtm, const ParametriTabellone& p, QWidget* parent)
    : QDialog(parent), m_dtm(dtm), m_parametri(p)
{
    setObjectName(QStringLiteral("frmTabPres"));
    setWindowTitle(QStringLiteral("Visualizzazione presenti/assenti"));
    setWindowIcon(IconaComando(QStringLiteral("presenti")));
    setModal(true);
    resize(760, 560);

    auto* l = new QVBoxLayout(this);
    auto* barra = new QToolBar(this);
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* stampa = barra->addAction(IconaComando(QStringLiteral("stampa")), QStringLiteral("Stampa"));
    stampa->setObjectName(QStringLiteral("itmStampa"));
    stampa->setShortcut(Qt::Key_F5);
    QAction* visTimb = barra->addAction(IconaComando(QStringLiteral("orari")), QStringLiteral("Visualizza timbrature"));
    visTimb->setObjectName(QStringLiteral("itmVisTimb"));
    visTimb->setShortcut(Qt::Key_F7);
    l->addWidget(barra);

    auto* testata = new QHBoxLayout;
    const auto etichetta = [this](const char* testo) { return new QLabel(QLatin1String(testo), this); };
    const auto ora = [](const QTime& t) { return TestiOra::FormatoOra(QLatin1Char(':'), t); };
    testata->addWidget(etichetta("Data"));
    testata->addWidget(campoFisso(p.Data.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ') +
                                      TdtmTurni::NomeGiorno(p.Data.dayOfWeek() % 7 + 1),
                                  this));
    if (p.Fascia) {
        testata->addWidget(etichetta("Dalle"));
        testata->addWidget(campoFisso(ora(p.Dalle), this));
        testata->addWidget(etichetta("Alle"));
        testata->addWidget(campoFisso(ora(p.Alle), this));
    } else {
        testata->addWidget(etichetta("Ora"));
        testata->addWidget(campoFisso(ora(p.Ora), this));
    }
    testata->addStretch();
    l->addLayout(testata);

    m_griglia = new QTableWidget(0, 3, this);
    m_griglia->setObjectName(QStringLiteral("grdPresenti"));
    m_griglia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_griglia->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_griglia->setSelectionMode(QAbstractItemView::SingleSelection);
    m_griglia->verticalHeader()->hide();
    m_griglia->horizontalHeader()->setStretchLastSection(true);
    m_griglia->horizontalHeader()->setSectionsClickable(true);
    // Rows alternate between the grid colour and white.
    m_griglia->setAlternatingRowColors(true);
    QPalette tavolozza = m_griglia->palette();
    tavolozza.setColor(QPalette::Base, ColoreDaIni(m_dtm.cfg().ColoreGrid));
    tavolozza.setColor(QPalette::AlternateBase, Qt::white);
    m_griglia->setPalette(tavolozza);
    for (int c = 0; c < 3; ++c)
        m_griglia->setHorizontalHeaderItem(c, new QTableWidgetItem(QLatin1String(kTitoli[c])));
    m_griglia->setColumnWidth(0, 110);
    m_griglia->setColumnWidth(1, 330);
    l->addWidget(m_griglia, 1);

    auto* pulsanti = new QHBoxLayout;
    const auto pulsante = [this, pulsanti](const char16_t* testo, const char* nome) {
        auto* b = new QPushButton(QString::fromUtf16(testo), this);
        b->setObjectName(QLatin1String(nome));
        b->setAutoDefault(false);
        pulsanti->addWidget(b);
        return b;
    };
    QPushButton* btnStampa = pulsante(u"&Stampa", "btnStampa");
    QPushButton* btnVisTimb = pulsante(u"Visualizza &Timbrature", "btnVisTimb");
    pulsanti->addStretch();
    QPushButton* esci = pulsante(u"&Esci", "btnEsci");
    QPushButton* aiuto = pulsante(u"&?", "btnAiuto");
    l->addLayout(pulsanti);

    auto* altF4 = new QAction(this);
    altF4->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    addAction(altF4);
    auto* f1 = new QAction(this);
    f1->setShortcut(Qt::Key_F1);
    addAction(f1);
    connect(stampa, &QAction::triggered, this, &TfrmTabPres::itmStampaClick);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmTabPres::itmStampaClick);
    connect(visTimb, &QAction::triggered, this, &TfrmTabPres::itmVisTimbClick);
    connect(btnVisTimb, &QPushButton::clicked, this, &TfrmTabPres::itmVisTimbClick);
    connect(m_griglia, &QTableWidget::cellDoubleClicked, this, &TfrmTabPres::itmVisTimbClick);
    connect(esci, &QPushButton::clicked, this, &QDialog::reject);
    connect(altF4, &QAction::triggered, this, &QDialog::reject);
    connect(aiuto, &QPushButton::clicked, this, [this] { MostraAiuto(this, m_dtm, kContestoAiuto); });
    connect(f1, &QAction::triggered, this, [this] { MostraAiuto(this, m_dtm, kContestoAiuto); });
    connect(m_griglia->horizontalHeader(), &QHeaderView::sectionClicked, this, &TfrmTabPres::Ordina);

    // Built once, now: a failure is shown and the board stays as far as it got.
    try {
        Tabellone::Costruisci(m_dtm, m_parametri);
        m_dtm.CaricaMemoria();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    Ordina(0);
}

void TfrmTabPres::Ordina(int colonna)
{
    const QString campo = QLatin1String(kCampi[colonna]);
    if (Tabellone::CampiIndice(campo).isEmpty())
        return;
    try {
        m_righe = Tabellone::Righe(m_dtm, campo);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        m_righe.clear();
    }
    for (int c = 0; c < 3; ++c)
        m_griglia->horizontalHeaderItem(c)->setText((c == colonna ? QStringLiteral("#") : QString()) + QLatin1String(kTitoli[c]));
    mostra();
}

void TfrmTabPres::mostra()
{
    m_griglia->setUpdatesEnabled(false);
    m_griglia->setRowCount(int(m_righe.size()));
    for (int r = 0; r < m_righe.size(); ++r) {
        const RigaTabellone& x = m_righe.at(r);
        const QString celle[] = {x.Matricola, x.Dipendente(), x.StatoEsteso};
        for (int c = 0; c < 3; ++c)
            m_griglia->setItem(r, c, new QTableWidgetItem(celle[c]));
    }
    m_griglia->setUpdatesEnabled(true);
    if (!m_righe.isEmpty())
        m_griglia->setCurrentCell(0, 0);
}

void TfrmTabPres::itmStampaClick()
{
    TfrmStampa dialogo(m_dtm, this);
    const TRecStampa scelta = dialogo.Esegui(QStringLiteral("CA"));
    // An empty board prints nothing.
    if (scelta.codice != Stampa::kPresentiAssenti || m_righe.isEmpty())
        return;
    m_griglia->setCurrentCell(0, 0);
    Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptPreAss(m_dtm).Crea(scelta.descrizione, m_parametri, m_righe); });
    m_griglia->setCurrentCell(0, 0);
}

void TfrmTabPres::itmVisTimbClick()
{
    const int riga = m_griglia->currentRow();
    if (riga < 0 || riga >= m_righe.size())
        return;
    TfrmVisTimb vis(m_dtm, m_righe.at(riga).Id, m_parametri.Data, this);
    vis.exec();
}
