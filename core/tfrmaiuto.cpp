#include "tfrmaiuto.h"

#include "messaggi.h"

#include "icone.h"
#include "tdtmpresenze.h"

#include <QAction>
#include <QFile>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

TfrmAiuto::TfrmAiuto(TdtmPresenze& dtm, QWidget* parent) : QWidget(parent, Qt::Window), m_dtm(dtm)
{
    setObjectName(QStringLiteral("frmAiuto"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(IconaComando(QStringLiteral("aiuto")));

    auto* barra = new QToolBar(this);
    barra->setIconSize(QSize(20, 20));
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_indietro = barra->addAction(IconaComando(QStringLiteral("indietro")), dtm.TestoScelta(Msg::EtIndietro));
    m_avanti = barra->addAction(IconaComando(QStringLiteral("avanti")), dtm.TestoScelta(Msg::EtAvanti));
    QAction* sommario = barra->addAction(IconaComando(QStringLiteral("sommario")), dtm.TestoScelta(Msg::EtSommario));
    m_indietro->setObjectName(QStringLiteral("btnIndietro"));
    m_avanti->setObjectName(QStringLiteral("btnAvanti"));
    sommario->setObjectName(QStringLiteral("btnSommario"));
    m_indietro->setEnabled(false);
    m_avanti->setEnabled(false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtAiuto"));
    m_browser->setOpenExternalLinks(true);
    m_browser->document()->setDocumentMargin(14);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(barra);
    l->addWidget(m_browser);

    connect(m_indietro, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_avanti, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(sommario, &QAction::triggered, this, [this] { ApriArgomento(kSommario); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_indietro, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_avanti, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &TfrmAiuto::aggiornaTitolo);

    resize(620, 560);
}

QString TfrmAiuto::PaginaArgomento(int contesto)
{
    return QStringLiteral(":/aiuto/%1.html").arg(contesto);
}

bool TfrmAiuto::EsisteArgomento(int contesto)
{
    return QFile::exists(PaginaArgomento(contesto));
}

void TfrmAiuto::ApriArgomento(int contesto)
{
    m_argomento = EsisteArgomento(contesto) ? contesto : kSommario;
    m_browser->setSource(QUrl(QStringLiteral("qrc") + PaginaArgomento(m_argomento)));
}

void TfrmAiuto::aggiornaTitolo(const QUrl& pagina)
{
    // The topic shown may also change through a link; keep the number in step.
    bool ok = false;
    const int n = pagina.fileName().section(QLatin1Char('.'), 0, 0).toInt(&ok);
    if (ok)
        m_argomento = n;
    const QString titolo = m_browser->documentTitle();
    setWindowTitle(titolo.isEmpty() ? m_dtm.cfg().NomeProg : m_dtm.cfg().NomeProg + QStringLiteral(" - ") + titolo);
}

TfrmAiuto* MostraAiuto(QWidget* parent, TdtmPresenze& dtm, int contesto)
{
    // One help window per top-level window: a modal dialog can then use its own help
    // window, which lives and dies with it.
    QWidget* proprietario = parent ? parent->window() : nullptr;
    TfrmAiuto* f = proprietario ? proprietario->findChild<TfrmAiuto*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!f) {
        f = new TfrmAiuto(dtm, proprietario);
        if (proprietario) {
            const QRect r = proprietario->frameGeometry();
            f->move(r.center() - QPoint(f->width() / 2, f->height() / 2) + QPoint(40, 40));
        }
    }
    f->ApriArgomento(contesto);
    f->show();
    f->raise();
    f->activateWindow();
    return f;
}
