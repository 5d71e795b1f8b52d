#include "tfrmpresenze.h"

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

enum : int {
    kErroreSfondo = 9100,         // followed by the file name
    kErroreDatabase = 9101,       // followed by the engine's text
    kErroreConfigurazione = 9102  // followed by the file's error
};

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

QAction* TfrmPresenze::comando(QMenu* menu, const QString& testo, const QString& nome, void (TfrmPresenze::*gestore)(), bool disponibile)
{
    QAction* a = menu->addAction(testo);
    a->setObjectName(nome);
    a->setEnabled(disponibile);
    connect(a, &QAction::triggered, this, gestore);
    m_comandi.append({a, disponibile});
    return a;
}

QAction* TfrmPresenze::pulsante(QToolBar* barra, const QString& suggerimento, const QString& nome, const QString& icona,
                                void (TfrmPresenze::*gestore)(), bool disponibile)
{
    QAction* a = barra->addAction(IconaComando(icona), suggerimento);
    a->setObjectName(nome);
    a->setToolTip(suggerimento);
    a->setEnabled(disponibile);
    connect(a, &QAction::triggered, this, gestore);
    m_comandi.append({a, disponibile});
    return a;
}

void TfrmPresenze::creaComandi()
{
    // The windows of the other modules are not part of this build yet: their commands are
    // shown, disabled, so that the menus keep their final shape.
    constexpr bool kDisponibile = true, kNonDisponibile = false;
    QMenuBar* mb = menuBar();

    QMenu* mnuFile = mb->addMenu(QStringLiteral("&File"));
    QAction* itmEsci = comando(mnuFile, QStringLiteral("&Esci"), QStringLiteral("itmEsci"), &TfrmPresenze::itmEsciClick, kDisponibile);
    itmEsci->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    itmEsci->setIcon(IconaComando(QStringLiteral("esci")));

    QMenu* mnuAnag = mb->addMenu(QStringLiteral("&Anagrafico"));
    comando(mnuAnag, QStringLiteral("&Organico"), QStringLiteral("itmOrganico"), &TfrmPresenze::itmOrganicoClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("organico")));
    comando(mnuAnag, QStringLiteral("&Dipendenti"), QStringLiteral("itmDipendenti"), &TfrmPresenze::itmDipendentiClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("dipendenti")));

    QMenu* mnuOrari = mb->addMenu(QStringLiteral("&Orari"));
    comando(mnuOrari, QStringLiteral("&Orari di Lavoro"), QStringLiteral("itmOrariLav"), &TfrmPresenze::itmOrariLavClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("orari")));
    comando(mnuOrari, QStringLiteral("&Turni"), QStringLiteral("itmTurni"), &TfrmPresenze::itmTurniClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("turni")));
    comando(mnuOrari, QStringLiteral("&Calendario"), QStringLiteral("itmCalendario"), &TfrmPresenze::itmCalendarioClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("calendario")));

    QMenu* mnuPiano = mb->addMenu(QStringLiteral("&Piano"));
    comando(mnuPiano, QStringLiteral("Piano di &Lavoro"), QStringLiteral("itmPianodiLav"), &TfrmPresenze::itmPianodiLavClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("piano")));
    comando(mnuPiano, QStringLiteral("&Caricamento Note"), QStringLiteral("itmCarica"), &TfrmPresenze::itmCaricaClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("note")));
    comando(mnuPiano, QStringLiteral("Presenti/&Assenti"), QStringLiteral("itmPresAss"), &TfrmPresenze::itmPresAssClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("presenti")));

    QMenu* mnuAcq = mb->addMenu(QStringLiteral("&Acquisizione"));
    comando(mnuAcq, QStringLiteral("&Acquisizione Timbrature"), QStringLiteral("itmAcqTimb"), &TfrmPresenze::itmAcqTimbClick, kNonDisponibile)
        ->setIcon(IconaComando(QStringLiteral("acquisizione")));

    QMenu* mnuUtil = mb->addMenu(QStringLiteral("&Utilità"));
    comando(mnuUtil, QStringLiteral("&Cancellazione Dati"), QStringLiteral("itmCancDati"), &TfrmPresenze::itmCancDatiClick, kNonDisponibile);

    QMenu* mnuImposta = mb->addMenu(QStringLiteral("&Impostazioni"));
    comando(mnuImposta, QStringLiteral("&Generali"), QStringLiteral("itmImposta"), &TfrmPresenze::itmImpostaClick, kDisponibile)
        ->setIcon(IconaComando(QStringLiteral("impostazioni")));
    comando(mnuImposta, QStringLiteral("&Lingua"), QStringLiteral("itmLingua"), &TfrmPresenze::itmLinguaClick, kDisponibile)
        ->setIcon(IconaComando(QStringLiteral("lingua")));
    QMenu* mnuToolbar = mnuImposta->addMenu(QStringLiteral("&Toolbar"));
    mnuToolbar->setObjectName(QStringLiteral("mnuToolbar"));
    const struct {
        const char16_t* testo;
        const char* nome;
        void (TfrmPresenze::*gestore)();
    } gruppi[5] = {
        {u"Gruppo 1", "itmGrpEsci", &TfrmPresenze::itmGrpEsciClick},
        {u"Anagrafico", "itmGrpAnagrafico", &TfrmPresenze::itmGrpAnagraficoClick},
        {u"Orari", "itmGrpOrari", &TfrmPresenze::itmGrpOrariClick},
        {u"Piano di lavoro e acquisizione", "itmGrpPiano", &TfrmPresenze::itmGrpPianoClick},
        {u"Varie", "itmGrpVarie", &TfrmPresenze::itmGrpVarieClick},
    };
    for (int n = 0; n < 5; ++n) {
        QAction* a = comando(mnuToolbar, QString::fromUtf16(gruppi[n].testo), QString::fromLatin1(gruppi[n].nome), gruppi[n].gestore, kDisponibile);
        a->setCheckable(true);
        m_itmGruppi[size_t(n)] = a;
    }
    // Exit and help are always at hand: the first group cannot be hidden from the menu.
    m_itmGruppi[0]->setVisible(false);

    QMenu* mnuInfo = mb->addMenu(QStringLiteral("I&nformazioni"));
    comando(mnuInfo, QStringLiteral("&Sommario"), QStringLiteral("itmSommario"), &TfrmPresenze::itmSommarioClick, kDisponibile)
        ->setIcon(IconaComando(QStringLiteral("sommario")));
    comando(mnuInfo, QStringLiteral("&Note"), QStringLiteral("itmNote"), &TfrmPresenze::itmNoteClick, kDisponibile);

    for (QMenu* m : {mnuFile, mnuAnag, mnuOrari, mnuPiano, mnuAcq, mnuUtil, mnuImposta, mnuToolbar, mnuInfo})
        m_menu.append(m->menuAction());

    QToolBar* g1 = m_gruppi[0];
    g1->setWindowTitle(QStringLiteral("Gruppo 1"));
    pulsante(g1, QStringLiteral("Esci"), QStringLiteral("btnEsci"), QStringLiteral("esci"), &TfrmPresenze::itmEsciClick, kDisponibile);
    pulsante(g1, QStringLiteral("Help"), QStringLiteral("btnHelp"), QStringLiteral("aiuto"), &TfrmPresenze::btnHelpClick, kDisponibile);

    QToolBar* g2 = m_gruppi[1];
    g2->setWindowTitle(QStringLiteral("Anagrafico"));
    pulsante(g2, QStringLiteral("Organico"), QStringLiteral("btnOrganico"), QStringLiteral("organico"), &TfrmPresenze::itmOrganicoClick, kNonDisponibile);
    pulsante(g2, QStringLiteral("Dipendenti"), QStringLiteral("btnDipendenti"), QStringLiteral("dipendenti"), &TfrmPresenze::itmDipendentiClick, kNonDisponibile);

    QToolBar* g3 = m_gruppi[2];
    g3->setWindowTitle(QStringLiteral("Orari"));
    pulsante(g3, QStringLiteral("Orari di lavoro"), QStringLiteral("btnOrariLav"), QStringLiteral("orari"), &TfrmPresenze::itmOrariLavClick, kNonDisponibile);
    pulsante(g3, QStringLiteral("Turni"), QStringLiteral("btnTurni"), QStringLiteral("turni"), &TfrmPresenze::itmTurniClick, kNonDisponibile);
    pulsante(g3, QStringLiteral("Calendario"), QStringLiteral("btnCalendario"), QStringLiteral("calendario"), &TfrmPresenze::itmCalendarioClick, kNonDisponibile);

    QToolBar* g4 = m_gruppi[3];
    g4->setWindowTitle(QStringLiteral("Piano di lavoro e acquisizione"));
    pulsante(g4, QStringLiteral("Piano di lavoro"), QStringLiteral("btnPianodiLav"), QStringLiteral("piano"), &TfrmPresenze::itmPianodiLavClick, kNonDisponibile);
    pulsante(g4, QStringLiteral("Caricamento note"), QStringLiteral("btnCarica"), QStringLiteral("note"), &TfrmPresenze::itmCaricaClick, kNonDisponibile);
    pulsante(g4, QStringLiteral("Presenti/Assenti"), QStringLiteral("btnPresAss"), QStringLiteral("presenti"), &TfrmPresenze::itmPresAssClick, kNonDisponibile);
    pulsante(g4, QStringLiteral("Acquisizione timbrature"), QStringLiteral("btnAcqTimb"), QStringLiteral("acquisizione"), &TfrmPresenze::itmAcqTimbClick, kNonDisponibile);

    QToolBar* g5 = m_gruppi[4];
    g5->setWindowTitle(QStringLiteral("Varie"));
    pulsante(g5, QStringLiteral("Impostazioni"), QStringLiteral("btnImposta"), QStringLiteral("impostazioni"), &TfrmPresenze::itmImpostaClick, kDisponibile);
    pulsante(g5, QStringLiteral("Lingua"), QStringLiteral("btnLingua"), QStringLiteral("lingua"), &TfrmPresenze::itmLinguaClick, kDisponibile);

    // A thin rule after each group keeps the groups apart whichever of them are shown.
    for (QToolBar* tb : m_gruppi)
        tb->addSeparator();
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
        m_dtm.MostraErroreCon(kErroreSfondo, QLatin1Char(' ') + QDir(cfg.DirApplicazione).filePath(cfg.NomeProg + QStringLiteral(".bmp")));
    static_cast<AreaSfondo*>(m_mdi)->impostaSfondo(m_sfondo);
}

void TfrmPresenze::FormShow()
{
    try {
        m_dtm.CaricaMemoria();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreCon(kErroreDatabase, QLatin1Char(' ') + e.testo());
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
    for (QPointer<QWidget>* f : {&frmRuolo, &frmPianta, &frmAnagrafico, &frmOrari, &frmTurni, &frmCalendario, &frmAcquisizione}) {
        if (*f)
            (*f)->close();
    }
    // Long-lived windows of other libraries (the work plan) store their state when they close.
    for (QMdiSubWindow* sotto : m_mdi->subWindowList())
        if (sotto->widget() && sotto->widget()->isVisible())
            sotto->widget()->close();
    try {
        m_dtm.ini().scriviTesto(Ini::Desktop, QStringLiteral("TblSetting"), Configurazione::TestoBande(m_dtm.cfg().Bande));
    } catch (const std::exception& err) {
        m_dtm.MostraErroreCon(kErroreConfigurazione, QLatin1Char(' ') + QString::fromLocal8Bit(err.what()));
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
    for (const Comando& c : std::as_const(m_comandi))
        c.azione->setEnabled(abilita && c.disponibile);
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

void TfrmPresenze::RegistraComando(const QString& nome, std::function<void()> apri)
{
    m_registrati.insert(nome, std::move(apri));
    for (Comando& c : m_comandi) {
        const QString n = c.azione->objectName();
        if (n == QLatin1String("itm") + nome || n == QLatin1String("btn") + nome) {
            c.disponibile = true;
            c.azione->setEnabled(true);
        }
    }
}

void TfrmPresenze::apriRegistrato(const QString& nome)
{
    const auto it = m_registrati.constFind(nome);
    if (it != m_registrati.constEnd())
        (*it)();
}

// The windows of the following commands belong to modules that register them when they
// exist (RegistraComando); until then their commands are disabled.
void TfrmPresenze::itmOrganicoClick() {}      // TfrmPianta, single instance (frmPianta)
void TfrmPresenze::itmDipendentiClick() {}    // TfrmAnagrafico, single instance (frmAnagrafico)
void TfrmPresenze::itmOrariLavClick() {}      // TfrmOrari, single instance (frmOrari)
void TfrmPresenze::itmTurniClick() {}         // TfrmTurni, single instance (frmTurni)
void TfrmPresenze::itmCalendarioClick() {}    // TfrmCalendario, single instance (frmCalendario)
void TfrmPresenze::itmPianodiLavClick()      // TfrmPiano, long-lived
{
    apriRegistrato(QStringLiteral("PianodiLav"));
}
void TfrmPresenze::itmCaricaClick() {}        // TfrmCaricNote, modal
void TfrmPresenze::itmPresAssClick() {}       // TfrmPresenti, modal
void TfrmPresenze::itmAcqTimbClick() {}       // TfrmAcquisizione, single instance (frmAcquisizione)
void TfrmPresenze::itmCancDatiClick() {}      // TfrmCancPL, modal

void TfrmPresenze::itmImpostaClick()
{
    try {
        TfrmImposta dlg(m_dtm, m_util, this);
        dlg.exec();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreCon(kErroreDatabase, QLatin1Char(' ') + e.testo());
    }
}

void TfrmPresenze::itmLinguaClick()
{
    // The working language is the one named in PRES.INI [Language] when the program starts;
    // the messages and code lists follow it. There is nothing to choose at run time.
}

void TfrmPresenze::itmGrpEsciClick()
{
    invertiGruppo(0);
}

void TfrmPresenze::itmGrpAnagraficoClick()
{
    invertiGruppo(1);
}

void TfrmPresenze::itmGrpOrariClick()
{
    invertiGruppo(2);
}

void TfrmPresenze::itmGrpPianoClick()
{
    invertiGruppo(3);
}

void TfrmPresenze::itmGrpVarieClick()
{
    invertiGruppo(4);
}

void TfrmPresenze::itmSommarioClick()
{
    MostraAiuto(this, m_dtm, kContestoSommario);
}

void TfrmPresenze::itmNoteClick()
{
    TfrmAbout dlg(m_dtm, this);
    dlg.exec();
}

void TfrmPresenze::btnHelpClick()
{
    MostraAiuto(this, m_dtm, kContestoAiuto);
}
