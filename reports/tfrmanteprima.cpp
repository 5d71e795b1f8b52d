#include "tfrmanteprima.h"

#include "icone.h"
#include "impaginazione.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsView>
#include <QScrollBar>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {


std::unique_ptr<QPrinter> nuovaStampante(const DocumentoStampa& doc)
{
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setDocName(doc.titolo);
    p->setCreator(doc.applicazione);
    Stampa::PreparaPagina(*p, doc.orizzontale);
    return p;
}

QString filtro(Stampa::Formato f)
{
    switch (f) {
    case Stampa::Formato::Pdf: return QStringLiteral("Documento PDF (*.pdf)");
    case Stampa::Formato::Testo: return QStringLiteral("Testo semplice (*.txt)");
    case Stampa::Formato::Csv: return QStringLiteral("Valori separati da punto e virgola (*.csv)");
    case Stampa::Formato::Html: return QStringLiteral("Pagina HTML (*.html *.htm)");
    }
    return {};
}

// A file name from the report title, without the characters file systems refuse.
QString nomeProposto(const DocumentoStampa& doc, Stampa::Formato f)
{
    QString nome = doc.titolo.isEmpty() ? doc.applicazione : doc.titolo;
    static const QString vietati = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : nome)
        if (vietati.contains(c))
            c = QLatin1Char('_');
    QString cartella = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (cartella.isEmpty() || !QDir(cartella).exists())
        cartella = QDir::homePath();
    return QDir(cartella).filePath(nome + QLatin1Char('.') + Stampa::EstensioneFormato(f));
}

}  // namespace

TfrmAnteprima::TfrmAnteprima(TdtmPresenze& dtm, const DocumentoStampa& doc, QWidget* parent)
    : QDialog(parent), m_dtm(dtm), m_doc(doc), m_stampante(nuovaStampante(doc))
{
    setObjectName(QStringLiteral("frmAnteprima"));
    setWindowTitle(doc.titolo);
    setWindowIcon(IconaComando(QStringLiteral("stampa")));
    setWindowFlags(Qt::Window | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    // Room for a landscape page on a 1024 x 768 screen too; the window can be maximised.
    resize(1000, 700);

    m_anteprima = new QPrintPreviewWidget(m_stampante.get(), this);
    m_anteprima->setObjectName(QStringLiteral("anteprima"));
    connect(m_anteprima, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* p) { Stampa::Disegna(m_doc, *p); });
    connect(m_anteprima, &QPrintPreviewWidget::previewChanged, this, &TfrmAnteprima::aggiornaPagina);

    auto* menu = new QMenuBar(this);
    QMenu* mnuFile = menu->addMenu(QStringLiteral("&File"));
    QAction* itmStampa = mnuFile->addAction(IconaComando(QStringLiteral("stampa")), QStringLiteral("&Stampa..."));
    itmStampa->setObjectName(QStringLiteral("itmStampa"));
    itmStampa->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(itmStampa, &QAction::triggered, this, &TfrmAnteprima::itmStampaClick);
    mnuFile->addSeparator();
    const struct {
        Stampa::Formato formato;
        const char* testo;
        const char* nome;
    } salvataggi[] = {
        {Stampa::Formato::Pdf, "Salva come &PDF...", "itmSalvaPdf"},
        {Stampa::Formato::Testo, "Salva come &testo...", "itmSalvaTesto"},
        {Stampa::Formato::Csv, "Salva come &CSV...", "itmSalvaCsv"},
        {Stampa::Formato::Html, "Salva come &HTML...", "itmSalvaHtml"},
    };
    QList<QAction*> azioniSalva;
    for (const auto& s : salvataggi) {
        QAction* a = mnuFile->addAction(IconaComando(QStringLiteral("salva")), QString::fromUtf8(s.testo));
        a->setObjectName(QString::fromLatin1(s.nome));
        const Stampa::Formato f = s.formato;
        connect(a, &QAction::triggered, this, [this, f] { SalvaCome(f); });
        azioniSalva << a;
    }
    azioniSalva.first()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFile->addSeparator();
    QAction* itmEsci = mnuFile->addAction(IconaComando(QStringLiteral("esci")), QStringLiteral("&Esci"));
    itmEsci->setObjectName(QStringLiteral("itmEsci"));
    itmEsci->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(itmEsci, &QAction::triggered, this, &QDialog::accept);

    QMenu* mnuVista = menu->addMenu(QStringLiteral("&Visualizza"));
    QAction* itmPagina = mnuVista->addAction(QStringLiteral("Pagina &intera"), m_anteprima, &QPrintPreviewWidget::fitInView);
    QAction* itmLarghezza = mnuVista->addAction(QStringLiteral("&Larghezza pagina"), m_anteprima, &QPrintPreviewWidget::fitToWidth);
    QAction* itmIngrandisci = mnuVista->addAction(QStringLiteral("&Ingrandisci"), m_anteprima, [this] { m_anteprima->zoomIn(); });
    itmIngrandisci->setShortcut(QKeySequence::ZoomIn);
    QAction* itmRiduci = mnuVista->addAction(QStringLiteral("&Riduci"), m_anteprima, [this] { m_anteprima->zoomOut(); });
    itmRiduci->setShortcut(QKeySequence::ZoomOut);
    mnuVista->addSeparator();
    QAction* itmPrima = mnuVista->addAction(style()->standardIcon(QStyle::SP_MediaSkipBackward), QStringLiteral("Pri&ma pagina"),
                                            this, [this] { vaiAPagina(1); });
    itmPrima->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    QAction* itmPrec = mnuVista->addAction(style()->standardIcon(QStyle::SP_MediaSeekBackward), QStringLiteral("Pagina &precedente"),
                                           this, [this] { vaiAPagina(m_anteprima->currentPage() - 1); });
    itmPrec->setShortcut(QKeySequence(Qt::Key_PageUp));
    QAction* itmSucc = mnuVista->addAction(style()->standardIcon(QStyle::SP_MediaSeekForward), QStringLiteral("Pagina &successiva"),
                                           this, [this] { vaiAPagina(m_anteprima->currentPage() + 1); });
    itmSucc->setShortcut(QKeySequence(Qt::Key_PageDown));
    QAction* itmUltima = mnuVista->addAction(style()->standardIcon(QStyle::SP_MediaSkipForward), QStringLiteral("&Ultima pagina"),
                                             this, [this] { vaiAPagina(m_anteprima->pageCount()); });
    itmUltima->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_End));

    auto* barra = new QToolBar(this);
    barra->setIconSize(QSize(22, 22));
    barra->setToolButtonStyle(Qt::ToolButtonIconOnly);
    barra->addAction(itmStampa);
    barra->addAction(azioniSalva.first());
    barra->addSeparator();
    barra->addAction(itmPrima);
    barra->addAction(itmPrec);
    m_pagina = new QLabel(barra);
    m_pagina->setObjectName(QStringLiteral("lblPagina"));
    m_pagina->setMinimumWidth(110);
    m_pagina->setAlignment(Qt::AlignCenter);
    barra->addWidget(m_pagina);
    barra->addAction(itmSucc);
    barra->addAction(itmUltima);
    barra->addSeparator();
    barra->addAction(itmPagina);
    barra->addAction(itmLarghezza);
    barra->addSeparator();
    barra->addAction(itmEsci);
    // Page moves show their icon alone (the hint names them); the rest show their name too.
    for (QAction* a : barra->actions())
        if (auto* b = qobject_cast<QToolButton*>(barra->widgetForAction(a)))
            if (a != itmPrima && a != itmPrec && a != itmSucc && a != itmUltima)
                b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->setMenuBar(menu);
    l->addWidget(barra);
    l->addWidget(m_anteprima, 1);
    m_anteprima->fitToWidth();
    // Scrolling through the pages moves the current page too.
    if (auto* vista = m_anteprima->findChild<QGraphicsView*>())
        connect(vista->verticalScrollBar(), &QScrollBar::valueChanged, this, &TfrmAnteprima::aggiornaPagina);
}

void TfrmAnteprima::vaiAPagina(int pagina)
{
    m_anteprima->setCurrentPage(std::clamp(pagina, 1, std::max(1, m_anteprima->pageCount())));
    aggiornaPagina();
}

TfrmAnteprima::~TfrmAnteprima() = default;

int TfrmAnteprima::Pagine() const
{
    return m_anteprima->pageCount();
}

void TfrmAnteprima::aggiornaPagina()
{
    m_pagina->setText(QStringLiteral("Pagina %1 di %2").arg(m_anteprima->currentPage()).arg(m_anteprima->pageCount()));
}

void TfrmAnteprima::itmStampaClick()
{
    Stampa::StampaConDialogo(this, m_doc);
}

bool TfrmAnteprima::SalvaSuFile(Stampa::Formato formato, const QString& file)
{
    if (m_dtm.FileDellApplicazione(file)) {
        m_dtm.MostraErroreCon(Msg::ErrUscitaProtetta, QDir::toNativeSeparators(file));
        return false;
    }
    try {
        Stampa::Salva(m_doc, formato, file);
        return true;
    } catch (const ErroreStampa& e) {
        m_dtm.MostraErroreCon(e.numero(), QDir::toNativeSeparators(e.dettaglio()));
        return false;
    }
}

void TfrmAnteprima::SalvaCome(Stampa::Formato formato)
{
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Salva la stampa"), nomeProposto(m_doc, formato), filtro(formato));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QLatin1Char('.') + Stampa::EstensioneFormato(formato);
    SalvaSuFile(formato, file);
}

namespace Stampa {

bool StampaConDialogo(QWidget* parent, const DocumentoStampa& doc)
{
    std::unique_ptr<QPrinter> p = nuovaStampante(doc);
    QPrintDialog dlg(p.get(), parent);
    dlg.setWindowTitle(QStringLiteral("Stampa"));
    if (dlg.exec() != QDialog::Accepted)
        return false;
    return Disegna(doc, *p) > 0;
}

void Esegui(QWidget* parent, TdtmPresenze& dtm, const DocumentoStampa& doc)
{
    if (dtm.mem().Preview) {
        TfrmAnteprima anteprima(dtm, doc, parent);
        anteprima.exec();
    } else {
        StampaConDialogo(parent, doc);
    }
}

bool CreaEdEsegui(QWidget* parent, TdtmPresenze& dtm, const std::function<DocumentoStampa()>& crea)
{
    std::optional<DocumentoStampa> doc;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        doc = crea();
        QApplication::restoreOverrideCursor();
    } catch (const ErroreStampa& e) {
        QApplication::restoreOverrideCursor();
        dtm.MostraErroreCon(e.numero(), QDir::toNativeSeparators(e.dettaglio()));
        return false;
    } catch (const ErroreDb& e) {
        QApplication::restoreOverrideCursor();
        dtm.MostraErroreDb(e);
        return false;
    }
    Esegui(parent, dtm, *doc);
    return true;
}

}  // namespace Stampa
