#include "tfrmdetails.h"

#include "messaggi.h"

#include "comandiarchivio.h"
#include "icone.h"
#include "posizione.h"
#include "tdtmpiano.h"
#include "tfrmaiuto.h"
#include "tfrmedtimbr.h"

#include <QCloseEvent>
#include <QHideEvent>
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

const QString kTitolo = QStringLiteral("Dettagli");
const QString kChiavePosizione = QStringLiteral("Dettagli");  // PRES.INI [Desktop] DettagliLeft, ...

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

// The dock/undock picture, which the shared set does not have: a window with its bottom
// band filled and the way down into it, on the shared set's 24 × 24 grid and ink.
QIcon iconaIncludi()
{
    QIcon icona;
    for (int lato : {16, 24, 32, 48}) {
        QPixmap pm(lato, lato);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(lato / 24.0, lato / 24.0);
        p.setPen(QPen(QColor(0x2E, 0x3D, 0x4F), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xEC, 0xEF, 0xF3));
        p.drawRect(QRectF(3, 3.5, 18, 17));
        p.setBrush(QColor(0xCF, 0xE0, 0xF2));
        p.drawRect(QRectF(3, 14.5, 18, 6));
        p.setPen(QPen(QColor(0x3A, 0x78, 0xB5), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(12, 6), QPointF(12, 12));
        p.drawPolyline(QPolygonF{QPointF(9, 9.5), QPointF(12, 12.5), QPointF(15, 9.5)});
        p.end();
        icona.addPixmap(pm);
    }
    return icona;
}

}  // namespace

TfrmDetails::TfrmDetails(TdtmPresenze& dtm, TdtmPiano& piano, QWidget* finestraPiano)
    : QWidget(finestraPiano, Qt::Tool), m_dtm(dtm), m_piano(piano), m_finestraPiano(finestraPiano)
{
    setObjectName(QStringLiteral("frmDetails"));
    setWindowTitle(kTitolo);
    setWindowIcon(IconaComando(QStringLiteral("piano")));
    // Showing the details must not take the keyboard away from the work-plan grid;
    // FocusElenco is the explicit way in.
    setAttribute(Qt::WA_ShowWithoutActivating);

    // --- Commands ----------------------------------------------------------------------
    m_comandi = new ComandiArchivio(this, m_dtm, kContestoAiuto);
    // The punch table asks question 3 itself, whoever deletes.
    m_comandi->setChiediCancella(false);
    // Help opens over the panel, which is on screen docked or not.
    m_comandi->Collega(ComandiArchivio::Aiuto, [this] { itmHelpClick(); });
    m_itmEsci = m_comandi->Collega(ComandiArchivio::Esci, [this] { itmEsciClick(); });
    m_itmInserisci = m_comandi->Collega(ComandiArchivio::Inserisci, [this] { itmInserisciClick(); });
    m_itmModifica = m_comandi->Collega(ComandiArchivio::Modifica, [this] { itmModificaClick(); });
    m_itmCancella = m_comandi->Collega(ComandiArchivio::Cancella, [this] { itmCancellaClick(); });
    m_itmIncludi = new QAction(iconaIncludi(), QStringLiteral("&Includi/Separa"), this);
    m_itmIncludi->setObjectName(QStringLiteral("itmIncludi"));
    m_itmIncludi->setToolTip(QStringLiteral("Includi/Separa"));
    m_itmIncludi->setShortcut(QKeySequence(Qt::Key_F6));
    connect(m_itmIncludi, &QAction::triggered, this, &TfrmDetails::itmIncludiClick);
    // The punch keys act where the details are: in their window, or in the docked panel
    // without clashing with the work-plan window's own keys. Alt+F4 and F1 stay with the
    // details' window: the menu carries them, and goes away when the panel docks.
    for (QAction* a : {m_itmInserisci, m_itmModifica, m_itmCancella, m_itmIncludi})
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);

    m_menu = new QMenuBar(this);
    m_menu->setObjectName(QStringLiteral("mnuDetails"));
    QMenu* mnuTimbr = m_comandi->RiempiMenu(m_menu, QStringLiteral("&Timbrature"));
    mnuTimbr->addSeparator();
    mnuTimbr->addAction(m_itmIncludi);

    // --- Panel: toolbar and punch list --------------------------------------------------
    m_pannello = new QWidget(this);
    m_pannello->setObjectName(QStringLiteral("pnlDetails"));
    m_barra = new QToolBar(m_pannello);
    m_barra->setObjectName(QStringLiteral("tbDetails"));
    m_comandi->RiempiBarra(m_barra);
    QAction* btnAiuto = m_comandi->Pulsante(ComandiArchivio::Aiuto);
    m_barra->insertAction(btnAiuto, m_itmIncludi);
    m_barra->insertSeparator(btnAiuto);
    // The panel carries the punch keys too, so that they follow it when it docks.
    m_pannello->addActions({m_itmInserisci, m_itmModifica, m_itmCancella, m_itmIncludi});

    TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    m_elenco = new QTableView(m_pannello);
    m_elenco->setObjectName(QStringLiteral("grdTimbr"));
    m_elenco->setHorizontalHeader(
        new IntestazioneGruppi({QStringLiteral("Timbrature originali"), QStringLiteral("Timbrature variate")}, 2, m_elenco));
    m_elenco->setModel(timbr);
    AspettoGriglia(m_elenco, m_dtm.cfg());
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
    // The caption names the employee and the day the list shows.
    connect(griglia, &TabellaPiano::rigaCorrenteCambiata, this, &TfrmDetails::aggiornaTitolo);
    connect(griglia, &TabellaPiano::statoCambiato, this, &TfrmDetails::aggiornaTitolo);
    connect(timbr, &TabellaTimbrature::statoCambiato, this, &TfrmDetails::aggiornaTitolo);

    // Wide enough for the caption with the employee and the day; tall enough for the punches
    // and the day's anomalies under them.
    resize(420, 340);
    AbilitazioneTimbrature();
    aggiornaTitolo();
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
        posiziona();
        show();
        raise();
    }
    FormActivate();
}

void TfrmDetails::posiziona()
{
    if (m_posizionata || !m_finestraPiano)
        return;
    m_posizionata = true;
    // The first time in the lower right corner of the work plan's window, over the last
    // columns of the grid, away from the employee picker and the period at the top left.
    const QRect piano = m_finestraPiano->window()->geometry();
    RipristinaPosizione(this, m_dtm, kChiavePosizione, piano.bottomRight() - QPoint(width() + 24, height() + 24));
}

void TfrmDetails::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (!e->spontaneous() && !m_incluso && m_posizionata)
        MemorizzaPosizione(this, m_dtm, kChiavePosizione);
}

void TfrmDetails::aggiornaTitolo()
{
    const GiornoPiano* g = m_piano.wwTblPianoSomma()->GiornoCorrente();
    const TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    const int idDip = g ? g->IdDip : (timbr->Aperta() ? timbr->IdDip() : -1);
    const QDate giorno = g ? g->Data : (timbr->Aperta() ? timbr->Giorno() : QDate());
    QString titolo = kTitolo;
    if (giorno.isValid()) {
        QString nome;
        try {
            nome = m_piano.Nominativo(idDip);
        } catch (const ErroreDb&) {
            // A caption without the name is better than a message for a caption.
        }
        if (!nome.isEmpty())
            titolo += QStringLiteral(" - ") + nome;
        titolo += QStringLiteral(" - ") + giorno.toString(QStringLiteral("dd/MM/yyyy"));
    }
    setWindowTitle(titolo);
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
        m_dtm.MostraErroreDb(e);
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
            m_dtm.MostraErroreDb(e);
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
    if (m_piano.StatoBloccato() && !m_dtm.Chiedi(Msg::SclGiornoChiuso))
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
        m_dtm.MostraErroreDb(e);
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
