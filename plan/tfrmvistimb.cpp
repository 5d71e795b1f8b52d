#include "tfrmvistimb.h"

#include "icone.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QMenuBar>
#include <QShortcut>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kSceltaTitolo = 2103;
constexpr int kErroreDatabase = 9452;  // followed by the engine's text

}  // namespace

TfrmVisTimb::TfrmVisTimb(TdtmPresenze& dtm, int idDip, const QDate& giorno, QWidget* parent) : QDialog(parent), m_dtm(dtm)
{
    setObjectName(QStringLiteral("frmVisTimb"));
    setWindowIcon(IconaComando(QStringLiteral("presenti")));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* menu = new QMenuBar(this);
    QMenu* mnuFile = menu->addMenu(QStringLiteral("&File"));
    QAction* itmEsci = mnuFile->addAction(IconaComando(QStringLiteral("esci")), QStringLiteral("&Esci"));
    itmEsci->setObjectName(QStringLiteral("itmEsci"));
    itmEsci->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    QAction* itmAiuto = menu->addAction(QStringLiteral("&?"));
    itmAiuto->setObjectName(QStringLiteral("itmAiuto"));
    connect(itmEsci, &QAction::triggered, this, &TfrmVisTimb::btnEsciClick);
    connect(itmAiuto, &QAction::triggered, this, &TfrmVisTimb::btnHelpClick);

    auto* barra = new QToolBar(this);
    barra->setObjectName(QStringLiteral("tbVisTimb"));
    barra->setIconSize(QSize(24, 24));
    QAction* btnEsci = barra->addAction(IconaComando(QStringLiteral("esci")), QStringLiteral("Esci"));
    btnEsci->setObjectName(QStringLiteral("btnEsci"));
    QAction* btnHelp = barra->addAction(IconaComando(QStringLiteral("aiuto")), QStringLiteral("Help"));
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    connect(btnEsci, &QAction::triggered, this, &TfrmVisTimb::btnEsciClick);
    connect(btnHelp, &QAction::triggered, this, &TfrmVisTimb::btnHelpClick);

    m_griglia = new QTableWidget(0, 2, this);
    m_griglia->setObjectName(QStringLiteral("grdTimbr"));
    m_griglia->setHorizontalHeaderLabels({QStringLiteral("Originali"), QStringLiteral("Variate")});
    m_griglia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_griglia->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_griglia->setSelectionMode(QAbstractItemView::SingleSelection);
    m_griglia->verticalHeader()->hide();
    m_griglia->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_griglia->horizontalHeader()->setHighlightSections(false);
    // Letter, blanks and time line up only in a fixed-pitch font.
    m_griglia->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_griglia->verticalHeader()->setDefaultSectionSize(m_griglia->fontMetrics().height() + 6);
    m_griglia->setAlternatingRowColors(true);
    QPalette pal = m_griglia->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::AlternateBase, ColoreDaIni(m_dtm.cfg().ColoreGrid));
    pal.setColor(QPalette::HighlightedText, Qt::black);
    m_griglia->setPalette(pal);

    auto* l = new QVBoxLayout(this);
    l->setMenuBar(menu);
    l->setContentsMargins(6, 2, 6, 6);
    l->setSpacing(4);
    l->addWidget(barra);
    l->addWidget(m_griglia, 1);

    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &TfrmVisTimb::btnHelpClick);

    FormCreate(idDip, giorno);
    resize(300, 320);
}

void TfrmVisTimb::FormCreate(int idDip, const QDate& giorno)
{
    try {
        m_dati = VisTimbrature::Leggi(m_dtm, idDip, giorno);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreCon(kErroreDatabase, QLatin1Char(' ') + e.testo());
    }
    setWindowTitle(m_dtm.TestoScelta(kSceltaTitolo) + QLatin1Char(' ') + m_dati.Cognome + QLatin1Char(' ') + m_dati.Nome);
    m_griglia->setRowCount(int(m_dati.righe.size()));
    for (int r = 0; r < m_dati.righe.size(); ++r) {
        m_griglia->setItem(r, 0, new QTableWidgetItem(m_dati.righe.at(r).Originali));
        m_griglia->setItem(r, 1, new QTableWidgetItem(m_dati.righe.at(r).Variate));
    }
    if (m_griglia->rowCount() > 0)
        m_griglia->setCurrentCell(0, 0);
}

void TfrmVisTimb::btnEsciClick()
{
    reject();
}

void TfrmVisTimb::btnHelpClick()
{
    MostraAiuto(this, m_dtm, kContestoAiuto);
}
