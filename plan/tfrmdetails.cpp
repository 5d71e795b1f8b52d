#include "tfrmdetails.h"

#include "icone.h"
#include "tdtmpiano.h"
#include "tfrmaiuto.h"
#include "tfrmedtimbr.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QScopedValueRollback>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int kSceltaGiornoChiuso = 2520;
constexpr int kErroreDatabase = 9452;  // followed by the engine's text

// The list's columns, left to right: the original pair, then the valid one.
constexpr int kColonne[] = {TabellaTimbrature::ColVTradO, TabellaTimbrature::ColDataO, TabellaTimbrature::ColVTradV,
                            TabellaTimbrature::ColDataV};
constexpr int kNumColonne = 4;

// A header of two bands: the group titles on top, each spanning its two columns, and the
// column titles below. Each section paints its own slice of the group band, clipped, so
// the band reads as one cell whatever the column widths.
class IntestazioneGruppi : public QHeaderView {
public:
    IntestazioneGruppi(const QStringList& gruppi, int colonnePerGruppo, QWidget* parent)
        : QHeaderView(Qt::Horizontal, parent), m_gruppi(gruppi), m_perGruppo(colonnePerGruppo)
    {
        setProperty("gruppi", gruppi);
        setSectionsClickable(false);
        setHighlightSections(false);
    }

    QSize sizeHint() const override
    {
        QSize s = QHeaderView::sizeHint();
        s.setHeight(s.height() * 2);
        return s;
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logico) const override
    {
        const int meta = rect.height() / 2;
        const QRect sotto(rect.left(), rect.top() + meta, rect.width(), rect.height() - meta);
        painter->save();
        QHeaderView::paintSection(painter, sotto, logico);
        painter->restore();

        const int visuale = visualIndex(logico);
        const int gruppo = visuale / m_perGruppo;
        if (gruppo >= m_gruppi.size())
            return;
        int sinistra = INT_MAX;
        int destra = INT_MIN;
        for (int v = gruppo * m_perGruppo; v < (gruppo + 1) * m_perGruppo && v < count(); ++v) {
            const int l = logicalIndex(v);
            if (isSectionHidden(l))
                continue;
            const int x = sectionViewportPosition(l);
            sinistra = qMin(sinistra, x);
            destra = qMax(destra, x + sectionSize(l));
        }
        if (sinistra >= destra)
            return;
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = QRect(sinistra, rect.top(), destra - sinistra, meta);
        opt.section = gruppo;
        opt.text = m_gruppi.at(gruppo);
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::Middle;
        painter->save();
        painter->setClipRect(QRect(rect.left(), rect.top(), rect.width(), meta));
        style()->drawControl(QStyle::CE_Header, &opt, painter, this);
        painter->restore();
    }

private:
    QStringList m_gruppi;
    int m_perGruppo;
};

// Command pictures the shared set does not have, drawn on its 24 × 24 grid in its ink.
QIcon iconaDettagli(const char* nome)
{
    const QColor inchiostro(0x2E, 0x3D, 0x4F);
    const QColor carta(0xEC, 0xEF, 0xF3);
    const QByteArray n(nome);
    QIcon icona;
    for (int lato : {16, 24, 32, 48}) {
        QPixmap pm(lato, lato);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(lato / 24.0, lato / 24.0);
        p.setPen(QPen(inchiostro, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(carta);
        if (n == "includi") {
            // A window with its bottom band filled, and the way down into it.
            p.drawRect(QRectF(3, 3.5, 18, 17));
            p.setBrush(QColor(0xCF, 0xE0, 0xF2));
            p.drawRect(QRectF(3, 14.5, 18, 6));
            p.setPen(QPen(QColor(0x3A, 0x78, 0xB5), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(12, 6), QPointF(12, 12));
            p.drawPolyline(QPolygonF{QPointF(9, 9.5), QPointF(12, 12.5), QPointF(15, 9.5)});
        } else {
            // A punch card, with a plus to add one or a cross to take it away.
            p.drawRoundedRect(QRectF(4, 2.5, 13, 17), 1.5, 1.5);
            p.drawLine(QPointF(7, 7), QPointF(14, 7));
            p.drawLine(QPointF(7, 10.5), QPointF(12, 10.5));
            const bool piu = n == "inserisci";
            p.setPen(QPen(piu ? QColor(0x3F, 0x95, 0x5A) : QColor(0xC2, 0x4B, 0x45), 2.8, Qt::SolidLine, Qt::RoundCap));
            if (piu) {
                p.drawLine(QPointF(17, 13), QPointF(17, 21.5));
                p.drawLine(QPointF(12.75, 17.25), QPointF(21.25, 17.25));
            } else {
                p.drawLine(QPointF(13.5, 13.5), QPointF(20.5, 20.5));
                p.drawLine(QPointF(20.5, 13.5), QPointF(13.5, 20.5));
            }
        }
        p.end();
        icona.addPixmap(pm);
    }
    return icona;
}

}  // namespace

TfrmDetails::TfrmDetails(TdtmPresenze& dtm, TdtmPiano& piano, QWidget* finestraPiano)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), m_dtm(dtm), m_piano(piano), m_finestraPiano(finestraPiano)
{
    setObjectName(QStringLiteral("frmDetails"));
    setWindowTitle(QStringLiteral("Dettagli"));
    setWindowIcon(IconaComando(QStringLiteral("piano")));
    // Showing the details must not take the keyboard away from the work-plan grid;
    // FocusElenco is the explicit way in.
    setAttribute(Qt::WA_ShowWithoutActivating);

    // --- Commands ----------------------------------------------------------------------
    const auto azione = [this](const char* nome, const QString& testo, const QIcon& icona, const QString& suggerimento,
                               const QKeySequence& tasto, void (TfrmDetails::*gestore)()) {
        auto* a = new QAction(icona, testo, this);
        a->setObjectName(QString::fromLatin1(nome));
        a->setToolTip(suggerimento);
        a->setShortcut(tasto);
        // The keys act where the details are: in their window, or in the docked panel
        // without clashing with the work-plan window's own keys.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, gestore);
        return a;
    };
    // Alt+F4 belongs to whichever window holds the details: the menu entry carries it (the
    // menu goes away when the panel docks), the toolbar button does not.
    m_itmEsci = azione("itmEsci", QStringLiteral("&Esci"), IconaComando(QStringLiteral("esci")), QStringLiteral("Esci"),
                       QKeySequence(Qt::ALT | Qt::Key_F4), &TfrmDetails::itmEsciClick);
    m_itmEsci->setShortcutContext(Qt::WindowShortcut);
    m_btnEsci = azione("btnEsci", QStringLiteral("&Esci"), IconaComando(QStringLiteral("esci")), QStringLiteral("Esci"), QKeySequence(),
                       &TfrmDetails::itmEsciClick);
    m_itmInserisci = azione("itmInserisci", QStringLiteral("&Inserisci"), iconaDettagli("inserisci"), QStringLiteral("Inserisci"),
                            QKeySequence(Qt::Key_F2), &TfrmDetails::itmInserisciClick);
    m_itmModifica = azione("itmModifica", QStringLiteral("&Modifica"), IconaComando(QStringLiteral("modifica")), QStringLiteral("Modifica"),
                           QKeySequence(Qt::Key_F3), &TfrmDetails::itmModificaClick);
    m_itmCancella = azione("itmCancella", QStringLiteral("&Cancella"), iconaDettagli("cancella"), QStringLiteral("Cancella"),
                           QKeySequence(Qt::Key_F4), &TfrmDetails::itmCancellaClick);
    m_itmIncludi = azione("itmIncludi", QStringLiteral("&Includi/Separa"), iconaDettagli("includi"), QStringLiteral("Includi/Separa"),
                          QKeySequence(Qt::Key_F6), &TfrmDetails::itmIncludiClick);
    // The menu bar shows "?" as text, the toolbar a picture: two actions, one command.
    m_itmAiuto = azione("itmAiuto", QStringLiteral("&?"), QIcon(), QStringLiteral("Help"), QKeySequence(QKeySequence::HelpContents),
                        &TfrmDetails::itmHelpClick);
    m_itmAiuto->setShortcutContext(Qt::WindowShortcut);
    m_btnAiuto = azione("btnHelp", QStringLiteral("&?"), IconaComando(QStringLiteral("aiuto")), QStringLiteral("Help"), QKeySequence(),
                        &TfrmDetails::itmHelpClick);

    m_menu = new QMenuBar(this);
    m_menu->setObjectName(QStringLiteral("mnuDetails"));
    QMenu* mnuFile = m_menu->addMenu(QStringLiteral("&File"));
    mnuFile->addAction(m_itmEsci);
    QMenu* mnuTimbr = m_menu->addMenu(QStringLiteral("&Timbrature"));
    mnuTimbr->addAction(m_itmInserisci);
    mnuTimbr->addAction(m_itmModifica);
    mnuTimbr->addAction(m_itmCancella);
    mnuTimbr->addSeparator();
    mnuTimbr->addAction(m_itmIncludi);
    m_menu->addAction(m_itmAiuto);

    // --- Panel: toolbar and punch list --------------------------------------------------
    m_pannello = new QWidget(this);
    m_pannello->setObjectName(QStringLiteral("pnlDetails"));
    m_barra = new QToolBar(m_pannello);
    m_barra->setObjectName(QStringLiteral("tbDetails"));
    m_barra->setIconSize(QSize(24, 24));
    m_barra->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_barra->addAction(m_btnEsci);
    m_barra->addSeparator();
    m_barra->addAction(m_itmInserisci);
    m_barra->addAction(m_itmModifica);
    m_barra->addAction(m_itmCancella);
    m_barra->addSeparator();
    m_barra->addAction(m_itmIncludi);
    m_barra->addSeparator();
    m_barra->addAction(m_btnAiuto);
    // The panel carries the actions too, so that their keys follow it when it docks.
    m_pannello->addActions({m_itmInserisci, m_itmModifica, m_itmCancella, m_itmIncludi});

    TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    m_elenco = new QTableView(m_pannello);
    m_elenco->setObjectName(QStringLiteral("grdTimbr"));
    m_elenco->setHorizontalHeader(
        new IntestazioneGruppi({QStringLiteral("Timbrature originali"), QStringLiteral("Timbrature variate")}, 2, m_elenco));
    m_elenco->setModel(timbr);
    m_elenco->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_elenco->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_elenco->setSelectionMode(QAbstractItemView::SingleSelection);
    m_elenco->setTabKeyNavigation(false);
    m_elenco->verticalHeader()->hide();
    m_elenco->verticalHeader()->setDefaultSectionSize(m_elenco->fontMetrics().height() + 6);
    m_elenco->setAlternatingRowColors(true);
    QPalette pal = m_elenco->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::AlternateBase, ColoreDaIni(m_dtm.cfg().ColoreGrid));
    pal.setColor(QPalette::HighlightedText, Qt::black);
    m_elenco->setPalette(pal);
    QHeaderView* h = m_elenco->horizontalHeader();
    for (int c = 0; c < TabellaTimbrature::NumColonne; ++c)
        m_elenco->setColumnHidden(c, true);
    for (int v = 0; v < kNumColonne; ++v) {
        m_elenco->setColumnHidden(kColonne[v], false);
        h->moveSection(h->visualIndex(kColonne[v]), v);
        m_elenco->setColumnWidth(kColonne[v], v % 2 == 0 ? 60 : 80);
    }
    h->setStretchLastSection(true);
    m_elenco->installEventFilter(this);
    m_elenco->viewport()->installEventFilter(this);
    connect(m_elenco->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& attuale) {
        if (!m_sincronizza && attuale.isValid())
            m_piano.wwTblTimbr()->ImpostaRigaCorrente(attuale.row());
    });

    auto* lp = new QVBoxLayout(m_pannello);
    lp->setContentsMargins(4, 2, 4, 4);
    lp->setSpacing(2);
    lp->addWidget(m_barra);
    lp->addWidget(m_elenco, 1);
    lp->addWidget(creaAnomalie());

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setMenuBar(m_menu);
    m_layout->addWidget(m_pannello);

    // The list follows the data module: a new current punch (also after every re-read of
    // the day), the table opening or closing, the grid row and its state.
    connect(timbr, &TabellaTimbrature::rigaCorrenteCambiata, this, [this] {
        mostraRigaCorrente();
        AbilitazioneTimbrature();
    });
    connect(timbr, &TabellaTimbrature::statoCambiato, this, &TfrmDetails::AbilitazioneTimbrature);
    TabellaPiano* griglia = m_piano.wwTblPianoSomma();
    connect(griglia, &TabellaPiano::rigaCorrenteCambiata, this, &TfrmDetails::AbilitazioneTimbrature);
    connect(griglia, &TabellaPiano::rigaRegistrata, this, &TfrmDetails::AbilitazioneTimbrature);
    connect(griglia, &TabellaPiano::statoCambiato, this, &TfrmDetails::AbilitazioneTimbrature);
    // Every re-read of the grid (a processing, a cancel) also signals its current row.
    connect(griglia, &TabellaPiano::rigaCorrenteCambiata, this, &TfrmDetails::mostraAnomalie);
    connect(griglia, &TabellaPiano::statoCambiato, this, &TfrmDetails::mostraAnomalie);

    resize(340, 340);
    AbilitazioneTimbrature();
}

void TfrmDetails::ImpostaContenitore(QWidget* contenitore)
{
    m_contenitore = contenitore;
}

// --- Showing and hiding -----------------------------------------------------------------

void TfrmDetails::impostaGenitoreTransitorio()
{
    if (!m_finestraPiano)
        return;
    QWindow* piano = m_finestraPiano->window()->windowHandle();
    if (!piano)
        return;
    if (!windowHandle())
        create();
    if (windowHandle()->transientParent() != piano)
        windowHandle()->setTransientParent(piano);
}

void TfrmDetails::Mostra()
{
    if (m_incluso && m_contenitore) {
        m_contenitore->show();
    } else {
        impostaGenitoreTransitorio();
        show();
        raise();
    }
    FormActivate();
}

void TfrmDetails::Nascondi()
{
    if (m_incluso && m_contenitore)
        m_contenitore->hide();
    else
        hide();
}

bool TfrmDetails::Visibili() const
{
    return m_incluso && m_contenitore ? m_contenitore->isVisible() : isVisible();
}

void TfrmDetails::FocusElenco()
{
    // The list's window (the details' own, or the work-plan window when docked) takes the
    // keyboard with it.
    QWidget* finestra = m_elenco->window();
    finestra->activateWindow();
    if (!m_incluso)
        raise();
    m_elenco->setFocus(Qt::OtherFocusReason);
}

void TfrmDetails::FormActivate()
{
    TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    TabellaPiano* griglia = m_piano.wwTblPianoSomma();
    try {
        if (!timbr->Aperta()) {
            const GiornoPiano* g = griglia->GiornoCorrente();
            timbr->Limita(g ? g->IdDip : m_dtm.IdDipCorrente, g ? g->Data : QDate());
        }
        // The grid re-reads its punch texts, and through its current row the list too.
        m_piano.RefreshMaster();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreCon(kErroreDatabase, QLatin1Char(' ') + e.testo());
    }
    mostraRigaCorrente();
    AbilitazioneTimbrature();
}

void TfrmDetails::FormClose()
{
    Nascondi();
    emit chiuso();
}

void TfrmDetails::closeEvent(QCloseEvent* e)
{
    // Closing only hides: the window lives as long as the work-plan window.
    QWidget::closeEvent(e);
    emit chiuso();
}

void TfrmDetails::itmEsciClick()
{
    FormClose();
}

void TfrmDetails::itmIncludiClick()
{
    if (!m_contenitore)
        return;
    auto* destinazione = qobject_cast<QBoxLayout*>(m_contenitore->layout());
    if (!destinazione) {
        destinazione = new QVBoxLayout(m_contenitore);
        destinazione->setContentsMargins(0, 0, 0, 0);
    }
    if (!m_incluso) {
        destinazione->addWidget(m_pannello);
        m_pannello->show();
        m_contenitore->show();
        hide();
        m_incluso = true;
    } else {
        m_layout->addWidget(m_pannello);
        m_pannello->show();
        m_contenitore->hide();
        m_incluso = false;
        impostaGenitoreTransitorio();
        show();
        raise();
        // Back in its own window the list shows the grid row's day again.
        const GiornoPiano* g = m_piano.wwTblPianoSomma()->GiornoCorrente();
        try {
            if (g)
                m_piano.wwTblTimbr()->Limita(g->IdDip, g->Data);
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreCon(kErroreDatabase, QLatin1Char(' ') + e.testo());
        }
        if (m_finestraPiano)
            m_finestraPiano->update();
    }
    mostraRigaCorrente();
    FocusElenco();
}

// --- Anomalies of the day -----------------------------------------------------------------

QWidget* TfrmDetails::creaAnomalie()
{
    auto* riquadro = new QWidget(m_pannello);
    auto* l = new QVBoxLayout(riquadro);
    l->setContentsMargins(0, 2, 0, 0);
    l->setSpacing(2);
    auto* titolo = new QLabel(QStringLiteral("Anomalie del giorno"), riquadro);
    titolo->setObjectName(QStringLiteral("lblAnomalie"));
    m_anomalie = new QListWidget(riquadro);
    m_anomalie->setObjectName(QStringLiteral("lstAnomalie"));
    // Read-only: the keyboard stays with the punch list and its commands.
    m_anomalie->setFocusPolicy(Qt::NoFocus);
    m_anomalie->setSelectionMode(QAbstractItemView::NoSelection);
    m_anomalie->setWordWrap(true);
    // Room for three anomalies; a day with more scrolls.
    m_anomalie->setFixedHeight(3 * m_anomalie->fontMetrics().lineSpacing() + 2 * m_anomalie->frameWidth() + 6);
    l->addWidget(titolo);
    l->addWidget(m_anomalie);
    mostraAnomalie();
    return riquadro;
}

void TfrmDetails::mostraAnomalie()
{
    const GiornoPiano* g = m_piano.wwTblPianoSomma()->GiornoCorrente();
    const QStringList testi = g ? g->Anomalie : QStringList();
    m_anomalie->clear();
    for (const QString& t : testi) {
        auto* voce = new QListWidgetItem(t, m_anomalie);
        voce->setToolTip(t);
    }
}

// --- Punch list -------------------------------------------------------------------------

void TfrmDetails::mostraRigaCorrente()
{
    const QScopedValueRollback<bool> guardia(m_sincronizza, true);
    QItemSelectionModel* sel = m_elenco->selectionModel();
    const int riga = m_piano.wwTblTimbr()->RigaCorrente();
    if (riga < 0) {
        sel->clear();
        return;
    }
    const QModelIndex i = m_elenco->model()->index(riga, kColonne[0]);
    sel->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_elenco->scrollTo(i);
}

void TfrmDetails::AbilitazioneTimbrature()
{
    TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    const bool chiuso = m_piano.StatoBloccato();
    const bool giorno = m_piano.wwTblPianoSomma()->GiornoCorrente() || (timbr->Aperta() && timbr->Giorno().isValid());
    const Timbratura* t = timbr->Aperta() ? timbr->Corrente() : nullptr;
    m_itmInserisci->setEnabled(giorno && !chiuso);
    m_itmModifica->setEnabled(t != nullptr);
    // Without ModTimbOrig a punch received from a terminal is evidence: only punches typed
    // by hand (no original time) may go.
    m_itmCancella->setEnabled(t && !chiuso && (m_dtm.cfg().ModTimbOrig || !t->DataO.isValid()));
}

void TfrmDetails::EditRecord(bool inserisci)
{
    // A closed day is not processed again, so a change would not show in its figures.
    if (m_piano.StatoBloccato() && !m_dtm.Chiedi(kSceltaGiornoChiuso))
        return;
    TfrmEdTimbr editor(m_piano, inserisci ? TfrmEdTimbr::Inserimento : TfrmEdTimbr::Modifica, m_pannello);
    editor.exec();
}

void TfrmDetails::DeleteRecord()
{
    TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    try {
        timbr->Cancella(timbr->RigaCorrente());
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreCon(kErroreDatabase, QLatin1Char(' ') + e.testo());
    }
}

void TfrmDetails::itmInserisciClick()
{
    if (m_itmInserisci->isEnabled())
        EditRecord(true);
}

void TfrmDetails::itmModificaClick()
{
    if (m_itmModifica->isEnabled())
        EditRecord(false);
}

void TfrmDetails::itmCancellaClick()
{
    if (m_itmCancella->isEnabled())
        DeleteRecord();
}

void TfrmDetails::itmHelpClick()
{
    // The panel is on screen whether docked or not; the window itself may be hidden.
    MostraAiuto(m_pannello, m_dtm, kContestoAiuto);
}

void TfrmDetails::invio()
{
    if (m_piano.wwTblTimbr()->Corrente())
        itmModificaClick();
    else
        itmInserisciClick();
}

// --- Keys and mouse in the list -----------------------------------------------------------

bool TfrmDetails::tastoProprio(const QKeyEvent* e) const
{
    const Qt::KeyboardModifiers m = e->modifiers() & ~Qt::KeypadModifier;
    switch (e->key()) {
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
    case Qt::Key_F6:
    case Qt::Key_F1:
    case Qt::Key_Insert:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return m == Qt::NoModifier;
    case Qt::Key_Delete:
        return m == Qt::ControlModifier;
    default:
        return false;
    }
}

void TfrmDetails::eseguiTasto(const QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_F2:
    case Qt::Key_Insert:
        itmInserisciClick();
        break;
    case Qt::Key_F3:
        itmModificaClick();
        break;
    case Qt::Key_F4:
    case Qt::Key_Delete:
        itmCancellaClick();
        break;
    case Qt::Key_F6:
        itmIncludiClick();
        break;
    case Qt::Key_F1:
        itmHelpClick();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        invio();
        break;
    case Qt::Key_Escape:
        emit tornaAllaGriglia();
        break;
    default:
        break;
    }
}

bool TfrmDetails::eventFilter(QObject* o, QEvent* e)
{
    if (o == m_elenco) {
        // The list claims its keys before any shortcut: docked, it sits in a window whose
        // own commands use some of the same keys.
        if (e->type() == QEvent::ShortcutOverride && tastoProprio(static_cast<QKeyEvent*>(e))) {
            e->accept();
            return true;
        }
        if (e->type() == QEvent::KeyPress && tastoProprio(static_cast<QKeyEvent*>(e))) {
            eseguiTasto(static_cast<QKeyEvent*>(e));
            return true;
        }
    } else if (o == m_elenco->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        invio();
        return true;
    }
    return QWidget::eventFilter(o, e);
}
