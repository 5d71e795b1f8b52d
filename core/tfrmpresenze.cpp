#include "tfrmpresenze.h"

#include "messaggi.h"

#include "fileini.h"
#include "icone.h"
#include "tdtmpresenze.h"
#include "tfrmabout.h"
#include "tfrmaiuto.h"
#include "tfrmimposta.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The MDI workspace with the picture centred on it. The workspace is painted with the
// colour of the picture's corner, so a picture with flat edges blends into any window size.
class AreaSfondo : public QMdiArea {
public:
    using QMdiArea::QMdiArea;

    void impostaSfondo(const QImage& img)
    {
        m_sfondo = img.isNull() ? QPixmap() : QPixmap::fromImage(img);
        if (!img.isNull())
            setBackground(QColor(img.pixel(0, 0)));
        viewport()->update();
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QMdiArea::paintEvent(e);
        if (m_sfondo.isNull())
            return;
        QPainter p(viewport());
        const QRect area = viewport()->rect();
        QRect r(QPoint(0, 0), m_sfondo.deviceIndependentSize().toSize());
        r.moveCenter(area.center());
        p.drawPixmap(r.topLeft(), m_sfondo);
    }

    void resizeEvent(QResizeEvent* e) override
    {
        QMdiArea::resizeEvent(e);
        // The picture moves with the centre: a partial repaint would leave stale copies.
        viewport()->update();
    }

private:
    QPixmap m_sfondo;
};

}  // namespace

TfrmPresenze::TfrmPresenze(TdtmPresenze& dtm, QWidget* parent) : QMainWindow(parent), m_dtm(dtm), m_util(dtm)
{
    setObjectName(QStringLiteral("frmPresenze"));
    setWindowIcon(IconaComando(QStringLiteral("applicazione")));

    m_mdi = new AreaSfondo(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));

    // The strip at the top: the switch on the left, then the five groups of buttons.
    m_striscia = new QWidget(this);
    m_striscia->setObjectName(QStringLiteral("pnlToolbar"));
    m_striscia->setFixedHeight(kAltezzaBarra);
    m_interruttore = new QToolButton(m_striscia);
    m_interruttore->setObjectName(QStringLiteral("btnToolbar"));
    m_interruttore->setToolTip(QStringLiteral("Mostra/Nascondi Toolbar"));
    m_interruttore->setAutoRaise(true);
    m_interruttore->setIcon(IconaComando(QStringLiteral("nascondi")));
    m_interruttore->setIconSize(QSize(12, 12));
    m_interruttore->setFixedSize(18, 18);
    connect(m_interruttore, &QToolButton::clicked, this, &TfrmPresenze::btnToolbarClick);

    m_barra = new QWidget(m_striscia);
    m_barra->setObjectName(QStringLiteral("cbrToolbar"));
    auto* gruppi = new QHBoxLayout(m_barra);
    gruppi->setContentsMargins(0, 0, 0, 0);
    gruppi->setSpacing(0);
    for (int n = 0; n < 5; ++n) {
        auto* tb = new QToolBar(m_barra);
        tb->setObjectName(QStringLiteral("tbGruppo%1").arg(n + 1));
        tb->setMovable(false);
        tb->setFloatable(false);
        tb->setIconSize(QSize(24, 24));
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
        tb->setContextMenuPolicy(Qt::PreventContextMenu);
        gruppi->addWidget(tb);
        m_gruppi[size_t(n)] = tb;
    }
    gruppi->addStretch();

    auto* hStriscia = new QHBoxLayout(m_striscia);
    hStriscia->setContentsMargins(2, 2, 2, 0);
    hStriscia->setSpacing(4);
    hStriscia->addWidget(m_interruttore, 0, Qt::AlignTop | Qt::AlignLeft);
    hStriscia->addWidget(m_barra);
    hStriscia->addStretch(1);  // keeps the switch on the left when the groups are hidden

    auto* centro = new QWidget(this);
    auto* v = new QVBoxLayout(centro);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(m_striscia);
    auto* filo = new QFrame(centro);
    filo->setFrameShape(QFrame::HLine);
    filo->setFrameShadow(QFrame::Sunken);
    v->addWidget(filo);
    v->addWidget(m_mdi, 1);
    setCentralWidget(centro);

    m_registro = new RegistroComandi(m_dtm, *m_mdi, this);
    registraComandi();
    creaComandi();

    // Status bar: company name (follows the bar's width) and the clock.
    m_ragSoc = new QLabel(this);
    m_ragSoc->setObjectName(QStringLiteral("pnlRagSoc"));
    m_ragSoc->setTextFormat(Qt::PlainText);
    m_ora = new QLabel(this);
    m_ora->setObjectName(QStringLiteral("pnlOra"));
    m_ora->setFixedWidth(kLarghezzaOra);
    m_ora->setAlignment(Qt::AlignCenter);
    for (QLabel* pannello : {m_ragSoc, m_ora})
        pannello->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_ragSoc->setIndent(4);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(m_ragSoc);
    statusBar()->addPermanentWidget(m_ora);
    statusBar()->installEventFilter(this);
    m_orologio = new QTimer(this);
    m_orologio->setInterval(1000);
    connect(m_orologio, &QTimer::timeout, this, &TfrmPresenze::aggiornaOra);
    m_orologio->start();
    aggiornaOra();

    connect(&m_dtm, &TdtmPresenze::ragioneSocialeCambiata, this, &TfrmPresenze::mostraRagioneSociale);

    FormCreate();
}

TfrmPresenze::~TfrmPresenze() = default;

void TfrmPresenze::creaComandi()
{
    // Every command of the window, in menu and toolbar order: its menu ("Menu/Submenu", none
    // for a toolbar-only command), the item's text, the command's name (item "itm" + name,
    // button "btn" + name), its picture, its toolbar group (0: no button) and the button's hint.
    struct Voce {
        const char16_t* menu;
        const char16_t* testo;
        const char* nome;
        const char* icona;
        int gruppo;
        const char16_t* suggerimento;
    };
    static constexpr Voce kVoci[] = {
        {u"&File", u"&Esci", "Esci", "esci", 1, u"Esci"},
        {nullptr, nullptr, "Help", "aiuto", 1, u"Help"},
        {u"&Anagrafico", u"&Organico", "Organico", "organico", 2, u"Organico"},
        {u"&Anagrafico", u"&Dipendenti", "Dipendenti", "dipendenti", 2, u"Dipendenti"},
        {u"&Orari", u"&Orari di Lavoro", "OrariLav", "orari", 3, u"Orari di lavoro"},
        {u"&Orari", u"&Turni", "Turni", "turni", 3, u"Turni"},
        {u"&Orari", u"&Calendario", "Calendario", "calendario", 3, u"Calendario"},
        {u"&Piano", u"Piano di &Lavoro", "PianodiLav", "piano", 4, u"Piano di lavoro"},
        {u"&Piano", u"&Caricamento Note", "Carica", "note", 4, u"Caricamento note"},
        {u"&Piano", u"Presenti/&Assenti", "PresAss", "presenti", 4, u"Presenti/Assenti"},
        {u"A&cquisizione", u"&Acquisizione Timbrature", "AcqTimb", "acquisizione", 4, u"Acquisizione timbrature"},
        {u"&Utilità", u"&Cancellazione Dati", "CancDati", nullptr, 0, nullptr},
        {u"&Utilità", u"Copia di &sicurezza...", "CopiaSic", nullptr, 0, nullptr},
        {u"&Utilità", u"&Ripristino...", "Ripristino", nullptr, 0, nullptr},
        {u"&Impostazioni", u"&Generali", "Imposta", "impostazioni", 5, u"Impostazioni"},
        {u"&Impostazioni", u"&Lingua", "Lingua", "lingua", 5, u"Lingua"},
        {u"&Impostazioni/&Toolbar", u"Gruppo 1", "GrpEsci", nullptr, 0, nullptr},
        {u"&Impostazioni/&Toolbar", u"Anagrafico", "GrpAnagrafico", nullptr, 0, nullptr},
        {u"&Impostazioni/&Toolbar", u"Orari", "GrpOrari", nullptr, 0, nullptr},
        {u"&Impostazioni/&Toolbar", u"Piano di lavoro e acquisizione", "GrpPiano", nullptr, 0, nullptr},
        {u"&Impostazioni/&Toolbar", u"Varie", "GrpVarie", nullptr, 0, nullptr},
        {u"I&nformazioni", u"&Sommario", "Sommario", "sommario", 0, nullptr},
        {u"I&nformazioni", u"&Note", "Note", nullptr, 0, nullptr},
    };

    QHash<QString, QMenu*> menu;
    const auto trovaMenu = [&](const QString& percorso) {
        QMenu*& m = menu[percorso];
        if (!m) {
            const QString titolo = percorso.section(QLatin1Char('/'), -1);
            m = percorso.contains(QLatin1Char('/')) ? menu.value(percorso.section(QLatin1Char('/'), 0, 0))->addMenu(titolo)
                                                    : menuBar()->addMenu(titolo);
            m->setObjectName(QStringLiteral("mnu") + QString(titolo).remove(QLatin1Char('&')));
            m_menu.append(m->menuAction());
        }
        return m;
    };
    for (const Voce& v : kVoci) {
        const QString nome = QString::fromLatin1(v.nome);
        const QIcon icona = v.icona ? IconaComando(QString::fromLatin1(v.icona)) : QIcon();
        if (v.menu) {
            QAction* a = trovaMenu(QString::fromUtf16(v.menu))->addAction(icona, QString::fromUtf16(v.testo));
            a->setObjectName(QStringLiteral("itm") + nome);
            m_registro->Collega(a, nome);
        }
        if (v.gruppo > 0) {
            QAction* b = m_gruppi[size_t(v.gruppo - 1)]->addAction(icona, QString::fromUtf16(v.suggerimento));
            b->setObjectName(QStringLiteral("btn") + nome);
            b->setToolTip(QString::fromUtf16(v.suggerimento));
            m_registro->Collega(b, nome);
        }
    }
    // Alt+F4 quits the application only while no child window is active: a child's own "Esci"
    // carries the same key inside this top-level window, and two owners would leave it dead.
    QAction* itmEsci = findChild<QAction*>(QStringLiteral("itmEsci"));
    itmEsci->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(m_mdi, &QMdiArea::subWindowActivated, itmEsci, [itmEsci](QMdiSubWindow* attiva) {
        itmEsci->setShortcut(attiva ? QKeySequence() : QKeySequence(Qt::ALT | Qt::Key_F4));
    });
    for (size_t n = 0; n < m_gruppi.size(); ++n) {
        // The items of the Toolbar menu name the groups.
        m_itmGruppi[n] = menu.value(QStringLiteral("&Impostazioni/&Toolbar"))->actions().at(qsizetype(n));
        m_itmGruppi[n]->setCheckable(true);
        m_gruppi[n]->setWindowTitle(m_itmGruppi[n]->text());
        // A thin rule after each group keeps the groups apart whichever of them are shown.
        m_gruppi[n]->addSeparator();
    }
    // Exit and help are always at hand: the first group cannot be hidden from the menu.
    m_itmGruppi[0]->setVisible(false);
}

// The main window's own commands. "Lingua" stays unregistered: the working language is the
// one PRES.INI names at start, and a command that does nothing is shown disabled.
void TfrmPresenze::registraComandi()
{
    RegistroComandi& r = *m_registro;
    r.RegistraAzione(QStringLiteral("Esci"), [this] { itmEsciClick(); });
    r.RegistraAzione(QStringLiteral("Help"), [this] { btnHelpClick(); });
    r.RegistraAzione(QStringLiteral("Sommario"), [this] { itmSommarioClick(); });
    r.RegistraModale(QStringLiteral("Imposta"), [this](QWidget* genitore) { return std::make_unique<TfrmImposta>(m_dtm, m_util, genitore); });
    r.RegistraModale(QStringLiteral("Note"), [this](QWidget* genitore) { return std::make_unique<TfrmAbout>(m_dtm, genitore); });
    const char* gruppi[5] = {"GrpEsci", "GrpAnagrafico", "GrpOrari", "GrpPiano", "GrpVarie"};
    for (int n = 0; n < 5; ++n)
        r.RegistraAzione(QString::fromLatin1(gruppi[n]), [this, n] { invertiGruppo(n); });
}

void TfrmPresenze::FormCreate()
{
    TPresenzeMem& mem = m_dtm.mem();
    const QDateTime oggi(m_dtm.Oggi(), QTime(0, 0), Qt::UTC);
    mem.DataDa = oggi;
    mem.DataA = oggi;

    const TPresenzeCfg& cfg = m_dtm.cfg();
    m_fileAiuto = QDir(cfg.DirApplicazione).filePath(cfg.NomeProg + QStringLiteral(".hlp"));
    setWindowTitle(cfg.NomeProg);
    m_sfondo = LeggiSfondo(cfg.DirApplicazione, cfg.NomeProg);
    if (m_sfondo.isNull())
        m_dtm.MostraErroreCon(Msg::ErrSfondo, QDir(cfg.DirApplicazione).filePath(cfg.NomeProg + QStringLiteral(".bmp")));
    static_cast<AreaSfondo*>(m_mdi)->impostaSfondo(m_sfondo);
}

void TfrmPresenze::FormShow()
{
    try {
        m_dtm.CaricaMemoria();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    mostraRagioneSociale(m_dtm.mem().RagSoc);
    ApplicaBande();
}

QImage TfrmPresenze::LeggiSfondo(const QString& dirApplicazione, const QString& nomeProg, const QString& prefissoRisorse)
{
    const QString nome = nomeProg + QStringLiteral(".bmp");
    // A picture put beside PRES.INI replaces the one shipped with the program.
    for (const QString& file : {QDir(dirApplicazione).filePath(nome), prefissoRisorse + nome}) {
        if (!QFileInfo::exists(file))
            continue;
        QImageReader lettore(file);
        const QImage img = lettore.read();
        if (!img.isNull())
            return img;
    }
    return {};
}

void TfrmPresenze::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!m_mostrata) {
        m_mostrata = true;
        FormShow();
    }
}

void TfrmPresenze::closeEvent(QCloseEvent* e)
{
    FormClose();
    e->accept();
}

void TfrmPresenze::FormClose()
{
    if (m_chiusa)
        return;
    m_chiusa = true;
    // Single-instance windows go first; the long-lived ones (the work plan) store their state.
    m_registro->ChiudiFinestre();
    try {
        m_dtm.ini().scriviTesto(Ini::Desktop, QStringLiteral("TblSetting"), Configurazione::TestoBande(m_dtm.cfg().Bande));
    } catch (const std::exception& err) {
        m_dtm.MostraErroreCon(Msg::ErrConfigurazione, QString::fromLocal8Bit(err.what()));
    }
}

bool TfrmPresenze::eventFilter(QObject* o, QEvent* e)
{
    if (o == statusBar() && e->type() == QEvent::Resize)
        m_ragSoc->setFixedWidth(std::max(0, statusBar()->width() - kMargineRagSoc));
    return QMainWindow::eventFilter(o, e);
}

void TfrmPresenze::aggiornaOra()
{
    // Hours and minutes: seconds would not fit the narrow panel at a readable size. The
    // panel is refreshed every second so that the minute turns on time.
    m_ora->setText(QTime::currentTime().toString(QStringLiteral("HH:mm")));
}

void TfrmPresenze::mostraRagioneSociale(const QString& ragSoc)
{
    m_ragSoc->setText(ragSoc);
}

void TfrmPresenze::EnableControls(bool abilita)
{
    for (QAction* m : std::as_const(m_menu))
        m->setEnabled(abilita);
    m_registro->Abilita(abilita);
    m_striscia->setEnabled(abilita);
}

void TfrmPresenze::ApplicaBande()
{
    const auto& bande = m_dtm.cfg().Bande;
    for (size_t n = 0; n < bande.size(); ++n) {
        m_gruppi[n]->setVisible(bande[n]);
        m_itmGruppi[n]->setChecked(bande[n]);
    }
}

bool TfrmPresenze::BarraVisibile() const
{
    return !m_barra->isHidden();
}

void TfrmPresenze::invertiGruppo(int gruppo)
{
    bool& b = m_dtm.cfg().Bande[size_t(gruppo)];
    b = !b;
    ApplicaBande();
}

void TfrmPresenze::btnToolbarClick()
{
    QTimer::singleShot(kPausaBarraMs, this, [this] {
        const bool mostra = m_barra->isHidden();
        m_barra->setVisible(mostra);
        m_striscia->setFixedHeight(mostra ? kAltezzaBarra : kAltezzaBarraNascosta);
        m_interruttore->setIcon(IconaComando(mostra ? QStringLiteral("nascondi") : QStringLiteral("mostra")));
    });
}

// --- Commands -----------------------------------------------------------------------------

void TfrmPresenze::itmEsciClick()
{
    close();
}

void TfrmPresenze::itmSommarioClick()
{
    MostraAiuto(this, m_dtm, kContestoSommario);
}

void TfrmPresenze::btnHelpClick()
{
    MostraAiuto(this, m_dtm, kContestoAiuto);
}
