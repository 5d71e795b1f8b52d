#include "tfrmvistimb.h"

#include "messaggi.h"

#include "comandiarchivio.h"
#include "icone.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {


}  // namespace

TfrmVisTimb::TfrmVisTimb(TdtmPresenze& dtm, int idDip, const QDate& giorno, QWidget* parent) : QDialog(parent), m_dtm(dtm)
{
    setObjectName(QStringLiteral("frmVisTimb"));
    setWindowIcon(IconaComando(QStringLiteral("presenti")));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* comandi = new ComandiArchivio(this, m_dtm, kContestoAiuto);
    comandi->Collega(ComandiArchivio::Esci, [this] { btnEsciClick(); });
    auto* menu = new QMenuBar(this);
    comandi->RiempiMenu(menu, QString());
    auto* barra = new QToolBar(this);
    barra->setObjectName(QStringLiteral("tbVisTimb"));
    comandi->RiempiBarra(barra);

    m_griglia = new QTableWidget(0, 2, this);
    m_griglia->setObjectName(QStringLiteral("grdTimbr"));
    m_griglia->setHorizontalHeaderLabels({QStringLiteral("Originali"), QStringLiteral("Variate")});
    // Letter, blanks and time line up only in a fixed-pitch font.
    m_griglia->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    AspettoGriglia(m_griglia, m_dtm.cfg());
    m_griglia->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    auto* l = new QVBoxLayout(this);
    l->setMenuBar(menu);
    l->setContentsMargins(6, 2, 6, 6);
    l->setSpacing(4);
    l->addWidget(barra);
    l->addWidget(m_griglia, 1);

    FormCreate(idDip, giorno);
    resize(300, 320);
}

void TfrmVisTimb::FormCreate(int idDip, const QDate& giorno)
{
    try {
        m_dati = VisTimbrature::Leggi(m_dtm, idDip, giorno);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    setWindowTitle(m_dtm.TestoScelta(Msg::SclTimbratureDi) + QLatin1Char(' ') + m_dati.Cognome + QLatin1Char(' ') + m_dati.Nome);
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
