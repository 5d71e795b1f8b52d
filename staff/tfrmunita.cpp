#include "tfrmunita.h"

#include "comandiarchivio.h"
#include "icone.h"
#include "messaggi.h"
#include "tdtmpresenze.h"
#include "tfrmstampa.h"

#include <QAction>
#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

constexpr int kRuoloId = Qt::UserRole;

// --- Pictures of the units ---------------------------------------------------------------------

// A branch is a folder (open while its sub-units show), a leaf a small card; the selected
// variants take the selection's blue.
QPixmap disegnaUnita(bool ramo, bool aperto, bool scelto, int lato)
{
    const QColor inchiostro(0x2E, 0x3D, 0x4F);
    const QColor fondo = scelto ? QColor(0x3A, 0x78, 0xB5) : ramo ? QColor(0xF3, 0xC9, 0x6B) : QColor(0xD4, 0xEC, 0xD9);
    QPixmap pm(lato, lato);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lato / 16.0, lato / 16.0);
    p.setPen(QPen(inchiostro, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fondo);
    if (!ramo) {
        p.drawRoundedRect(QRectF(3.5, 2.5, 9, 11), 1.2, 1.2);
        p.drawLine(QPointF(5.5, 6), QPointF(10.5, 6));
        p.drawLine(QPointF(5.5, 9), QPointF(9, 9));
        return pm;
    }
    QPainterPath cartella;
    cartella.moveTo(1.5, 3.5);
    cartella.lineTo(6, 3.5);
    cartella.lineTo(7.5, 5);
    cartella.lineTo(14.5, 5);
    cartella.lineTo(14.5, 13.5);
    cartella.lineTo(1.5, 13.5);
    cartella.closeSubpath();
    p.drawPath(cartella);
    if (aperto) {
        QPainterPath anta;
        anta.moveTo(1.5, 13.5);
        anta.lineTo(4, 7.5);
        anta.lineTo(15.5, 7.5);
        anta.lineTo(13.5, 13.5);
        anta.closeSubpath();
        p.setBrush(fondo.lighter(125));
        p.drawPath(anta);
    }
    return pm;
}

QIcon iconaUnita(bool ramo)
{
    QIcon icona;
    for (int lato : {16, 24, 32})
        for (bool aperto : {false, true})
            for (bool scelto : {false, true})
                icona.addPixmap(disegnaUnita(ramo, aperto, scelto, lato), scelto ? QIcon::Selected : QIcon::Normal,
                                aperto ? QIcon::On : QIcon::Off);
    return icona;
}

// A dragged unit: which application, which tree and which unit, so that a drop from another
// copy of the application or from the other tree is refused.
const QString kTipoTrascinato = QStringLiteral("application/x-quorlin-unita");

QByteArray datiTrascinati(TipoAlbero tipo, int id)
{
    return QStringLiteral("%1:%2:%3").arg(QCoreApplication::applicationPid()).arg(int(tipo)).arg(id).toLatin1();
}

}  // namespace

// The tree: its drops are read as moves of the organisation, not of the lines.
class VistaAlbero : public QTreeWidget {
public:
    VistaAlbero(TipoAlbero tipo, QWidget* parent) : QTreeWidget(parent), m_tipo(tipo) {}

    std::function<bool(int id, int bersaglio, bool sotto)> ammesso;
    std::function<void(int id, int bersaglio, bool sotto)> sposta;
    bool editorAperto() const { return state() == EditingState; }

protected:
    QStringList mimeTypes() const override { return {kTipoTrascinato}; }
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& voci) const override
    {
        if (voci.size() != 1)
            return nullptr;
        auto* m = new QMimeData;
        m->setData(kTipoTrascinato, datiTrascinati(m_tipo, voci.first()->data(0, kRuoloId).toInt()));
        return m;
    }

    void dragEnterEvent(QDragEnterEvent* e) override
    {
        if (trascinato(e) > 0)
            e->acceptProposedAction();
        else
            e->ignore();
    }

    void dragMoveEvent(QDragMoveEvent* e) override
    {
        // The base class scrolls near the edges; whether the drop is taken is decided here.
        QTreeWidget::dragMoveEvent(e);
        const auto dove = destinazione(e);
        m_bersaglio = dove ? dove->first : 0;
        m_sotto = dove && dove->second;
        viewport()->update();
        if (dove && ammesso && ammesso(trascinato(e), dove->first, dove->second)) {
            e->setDropAction(Qt::MoveAction);
            e->accept();
        } else {
            e->ignore();
        }
    }

    void dragLeaveEvent(QDragLeaveEvent* e) override
    {
        QTreeWidget::dragLeaveEvent(e);
        m_bersaglio = 0;
        viewport()->update();
    }

    void dropEvent(QDropEvent* e) override
    {
        m_bersaglio = 0;
        viewport()->update();
        const int id = trascinato(e);
        const auto dove = destinazione(e);
        if (!dove || !ammesso || !ammesso(id, dove->first, dove->second)) {
            e->ignore();
            return;
        }
        // Copy, as far as the drag knows: the lines stay where they are, and the tree is
        // drawn again from the stored rows once the drag is over.
        e->setDropAction(Qt::CopyAction);
        e->accept();
        const bool sotto = dove->second;
        const int bersaglio = dove->first;
        QTimer::singleShot(0, this, [this, id, bersaglio, sotto] {
            if (sposta)
                sposta(id, bersaglio, sotto);
        });
    }

    // Always fully expanded: no handles to open or close a branch.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

    void paintEvent(QPaintEvent* e) override
    {
        QTreeWidget::paintEvent(e);
        QTreeWidgetItem* v = m_bersaglio ? trova(m_bersaglio) : nullptr;
        if (!v)
            return;
        QPainter p(viewport());
        p.setPen(QPen(palette().color(QPalette::Highlight).darker(150), 2));
        const QRect r = visualItemRect(v);
        if (m_sotto)
            p.drawRect(r.adjusted(1, 1, -1, -1));
        else
            p.drawLine(r.left() - indentation(), r.bottom(), r.right(), r.bottom());
    }

private:
    int trascinato(const QDropEvent* e) const
    {
        const QList<QByteArray> parti = e->mimeData()->data(kTipoTrascinato).split(':');
        if (parti.size() != 3 || parti[0].toLongLong() != QCoreApplication::applicationPid() || parti[1].toInt() != int(m_tipo))
            return 0;
        return parti[2].toInt();
    }

    // The unit under the pointer and whether the drop makes a sub-unit of it (on its name or
    // picture) or puts the dragged unit beside it (on the indentation in front of it).
    std::optional<std::pair<int, bool>> destinazione(const QDropEvent* e) const
    {
        const QPoint pos = e->position().toPoint();
        QTreeWidgetItem* v = itemAt(pos);
        if (!v)
            return std::nullopt;
        return std::pair{v->data(0, kRuoloId).toInt(), pos.x() >= visualItemRect(v).left()};
    }

    QTreeWidgetItem* trova(int id) const
    {
        for (QTreeWidgetItemIterator it(const_cast<VistaAlbero*>(this)); *it; ++it)
            if ((*it)->data(0, kRuoloId).toInt() == id)
                return *it;
        return nullptr;
    }

    TipoAlbero m_tipo;
    int m_bersaglio = 0;
    bool m_sotto = false;
};

namespace {

// The in-place editor of a unit's name: it hands the text over instead of writing it into
// the line, so that the line shows only what was stored.
class EditorNome : public QStyledItemDelegate {
public:
    EditorNome(int lunghezza, std::function<void(const QString&)> consegna, QObject* parent)
        : QStyledItemDelegate(parent), m_lunghezza(lunghezza), m_consegna(std::move(consegna))
    {
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& o, const QModelIndex& i) const override
    {
        QWidget* w = QStyledItemDelegate::createEditor(parent, o, i);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setObjectName(QStringLiteral("edtNomeUnita"));
            e->setMaxLength(m_lunghezza);
        }
        return w;
    }
    void setModelData(QWidget* w, QAbstractItemModel*, const QModelIndex&) const override
    {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            m_consegna(e->text());
    }

private:
    int m_lunghezza;
    std::function<void(const QString&)> m_consegna;
};

}  // namespace

TfrmUnita::TfrmUnita(TdtmPresenze& dtm, TipoAlbero tipo, QWidget* parent)
    : QMainWindow(parent), m_dtm(dtm), m_pianta(dtm, tipo), m_stampa(std::make_unique<TfrmStampa>(dtm, this))
{
    m_vista = new VistaAlbero(tipo, this);
    m_vista->setObjectName(QStringLiteral("tvwAlbero"));
    m_vista->setHeaderHidden(true);
    m_vista->setColumnCount(1);
    // Always fully expanded: nothing to open or close.
    m_vista->setRootIsDecorated(false);
    m_vista->setItemsExpandable(false);
    m_vista->setExpandsOnDoubleClick(false);
    m_vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vista->setSelectionMode(QAbstractItemView::SingleSelection);
    m_vista->setDragEnabled(true);
    m_vista->setAcceptDrops(true);
    m_vista->setDropIndicatorShown(false);
    m_vista->setDragDropMode(QAbstractItemView::DragDrop);
    m_vista->setItemDelegate(new EditorNome(m_pianta.LunghezzaDescr(), [this](const QString& t) { m_testoEditato = t; }, m_vista));
    // The editor closes after it handed its text over (or without, on Esc); the outcome is
    // dealt with once the view is done with the line, which may then be drawn anew. Until
    // then the window counts as editing, so that a key typed meanwhile starts nothing.
    connect(m_vista->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] {
        Chiusura c{m_voceEditata && m_voceEditata == m_nuova, m_voceEditata ? m_voceEditata->data(0, kRuoloId).toInt() : 0,
                   m_testoEditato};
        m_voceEditata = nullptr;
        m_testoEditato.reset();
        ++m_chiusureInAttesa;
        QTimer::singleShot(0, this, [this, c] {
            --m_chiusureInAttesa;
            fineModifica(c);
        });
    });
    m_vista->ammesso = [this](int id, int bersaglio, bool sotto) {
        return !inModifica() && TdtmPianta::SpostamentoAmmesso(m_albero, id, bersaglio, sotto);
    };
    m_vista->sposta = [this](int id, int bersaglio, bool sotto) { sposta(id, bersaglio, sotto); };
    connect(m_vista, &QTreeWidget::currentItemChanged, this, &TfrmUnita::aggiornaComandi);
    setCentralWidget(m_vista);

    m_comandi = new ComandiArchivio(this, m_dtm, kContestoAiuto);
    m_comandi->Collega(ComandiArchivio::Inserisci, [this] { itmAggiungiClick(); });
    m_comandi->Collega(ComandiArchivio::Modifica, [this] { itmRinominaClick(); });
    // 1001 and 1119 come before question 3, which the handler asks itself.
    m_comandi->setChiediCancella(false);
    m_comandi->Collega(ComandiArchivio::Cancella, [this] { itmCancellaClick(); });
    m_comandi->Collega(ComandiArchivio::Stampa, [this] { itmStampaClick(); });
    m_comandi->Collega(ComandiArchivio::Esci, [this] { close(); });
    m_menuArchivio = m_comandi->RiempiMenu(menuBar(), tipo == TipoAlbero::Reparti ? QStringLiteral("&Reparto") : QStringLiteral("&Qualifica"));
    m_barra = addToolBar(QStringLiteral("Organico"));
    m_barra->setObjectName(QStringLiteral("tlbOrganico"));
    m_barra->setMovable(false);
    m_comandi->RiempiBarra(m_barra);
    m_comandi->ModificaAlDoppioClic(m_vista);
    // "Inserisci sottounità" sits beside "Inserisci".
    m_itmAddFiglio = new QAction(IconaComando(QStringLiteral("organico")), QStringLiteral("Inserisci &sottounità"), this);
    m_itmAddFiglio->setObjectName(QStringLiteral("itmAddFiglio"));
    m_itmAddFiglio->setToolTip(QStringLiteral("Inserisci sottounità"));
    m_itmAddFiglio->setShortcut(QKeySequence(Qt::Key_F6));
    m_itmAddFiglio->setShortcutContext(Qt::WindowShortcut);
    addAction(m_itmAddFiglio);
    m_menuArchivio->insertAction(m_comandi->Azione(ComandiArchivio::Modifica), m_itmAddFiglio);
    m_barra->insertAction(m_comandi->Azione(ComandiArchivio::Modifica), m_itmAddFiglio);
    connect(m_itmAddFiglio, &QAction::triggered, this, &TfrmUnita::itmAddFiglioClick);
    // The pop-up menu of the tree offers the same commands.
    m_vista->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_vista->addActions({m_comandi->Azione(ComandiArchivio::Inserisci), m_itmAddFiglio, m_comandi->Azione(ComandiArchivio::Modifica),
                         m_comandi->Azione(ComandiArchivio::Cancella)});
    auto* separatore = new QAction(this);
    separatore->setSeparator(true);
    m_vista->addActions({separatore, m_comandi->Azione(ComandiArchivio::Stampa)});

    setMinimumSize(360, 360);
    Aggiorna(TdtmPianta::kRadice);
}

TfrmUnita::~TfrmUnita() = default;

QSize TfrmUnita::sizeHint() const
{
    // Two levels of a company's chart without scrolling, the whole toolbar, and both windows
    // side by side within 1024x768.
    return {std::max(440, m_barra->sizeHint().width() + 8), 600};
}

QAction* TfrmUnita::NuovoComando(const QString& nome, const QString& testo, const QKeySequence& tasto, const QString& icona)
{
    auto* a = new QAction(IconaComando(icona), testo, this);
    a->setObjectName(nome);
    a->setToolTip(QString(testo).remove(QLatin1Char('&')));
    a->setShortcut(tasto);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
    // The window's own commands make a group of their own, in the menu and on the toolbar,
    // between the archive commands and "Stampa".
    QAction* stampa = m_comandi->Pulsante(ComandiArchivio::Stampa);
    QAction* gruppo = m_barra->actions().value(m_barra->actions().indexOf(stampa) - 1);
    if (!m_gruppoFinestra) {
        m_gruppoFinestra = true;
        m_menuArchivio->addSeparator();
        m_barra->insertSeparator(gruppo);
    }
    m_menuArchivio->addAction(a);
    m_barra->insertAction(gruppo, a);
    // Named on the toolbar: these are not the commands every archive window has.
    if (auto* b = qobject_cast<QToolButton*>(m_barra->widgetForAction(a)))
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return a;
}

bool TfrmUnita::inModifica() const
{
    return m_vista->editorAperto() || m_nuova || m_chiusureInAttesa > 0;
}

int TfrmUnita::UnitaSelezionata() const
{
    QTreeWidgetItem* v = m_vista->currentItem();
    return v ? v->data(0, kRuoloId).toInt() : 0;
}

QTreeWidgetItem* TfrmUnita::voce(int id) const
{
    for (QTreeWidgetItemIterator it(m_vista); *it; ++it)
        if ((*it)->data(0, kRuoloId).toInt() == id)
            return *it;
    return nullptr;
}

void TfrmUnita::Aggiorna(int id)
{
    try {
        m_albero = m_pianta.Leggi();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    riempi(id);
}

void TfrmUnita::riempi(int selezionare)
{
    static const QIcon ramo = iconaUnita(true);
    static const QIcon foglia = iconaUnita(false);
    m_nuova = nullptr;
    m_vista->clear();
    if (!m_albero.vuoto()) {
        QHash<int, QTreeWidgetItem*> voci;
        for (int id : m_albero.InOrdine()) {
            const int padre = m_albero.Padre(id);
            auto* v = padre ? new QTreeWidgetItem(voci.value(padre)) : new QTreeWidgetItem(m_vista);
            v->setText(0, m_albero.Descr(id));
            v->setData(0, kRuoloId, id);
            v->setIcon(0, m_albero.Figli(id).isEmpty() ? foglia : ramo);
            v->setFlags(v->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled);
            voci.insert(id, v);
        }
        m_vista->expandAll();
        QTreeWidgetItem* v = voce(selezionare);
        m_vista->setCurrentItem(v ? v : m_vista->topLevelItem(0));
    }
    aggiornaComandi();
}

void TfrmUnita::aggiornaComandi()
{
    const int id = UnitaSelezionata();
    const bool libero = !inModifica();
    m_comandi->Azione(ComandiArchivio::Inserisci)->setEnabled(libero && id > 0 && id != m_albero.Radice());
    m_itmAddFiglio->setEnabled(libero && id > 0);
    m_comandi->Azione(ComandiArchivio::Modifica)->setEnabled(libero && id > 0);
    m_comandi->Azione(ComandiArchivio::Cancella)->setEnabled(libero && id > 0);
    m_comandi->Azione(ComandiArchivio::Stampa)->setEnabled(libero);
}

// --- Insertion and renaming --------------------------------------------------------------------

void TfrmUnita::itmAggiungiClick()
{
    nuovaUnita(false);
}

void TfrmUnita::itmAddFiglioClick()
{
    nuovaUnita(true);
}

void TfrmUnita::nuovaUnita(bool figlio)
{
    const int id = UnitaSelezionata();
    if (inModifica() || id <= 0 || (!figlio && id == m_albero.Radice()))
        return;
    QTreeWidgetItem* scelta = voce(id);
    QTreeWidgetItem* padre = figlio ? scelta : scelta->parent();
    m_padreNuova = figlio ? id : m_albero.Padre(id);
    m_primaDellaNuova = id;
    m_nuova = new QTreeWidgetItem(padre);
    m_nuova->setData(0, kRuoloId, 0);
    m_nuova->setIcon(0, iconaUnita(false));
    m_nuova->setFlags(m_nuova->flags() | Qt::ItemIsEditable);
    padre->setExpanded(true);
    riapri(m_nuova, QString());
}

void TfrmUnita::itmRinominaClick()
{
    QTreeWidgetItem* v = m_vista->currentItem();
    if (inModifica() || !v)
        return;
    riapri(v, v->text(0));
}

void TfrmUnita::riapri(QTreeWidgetItem* v, const QString& testo)
{
    if (!v) {
        aggiornaComandi();
        return;
    }
    v->setText(0, testo);
    m_voceEditata = v;
    m_testoEditato.reset();
    m_vista->setCurrentItem(v);
    m_vista->scrollToItem(v);
    m_vista->editItem(v, 0);
    aggiornaComandi();
}

void TfrmUnita::fineModifica(const Chiusura& c)
{
    if (c.nuova) {
        if (!m_nuova) {
            aggiornaComandi();
            return;
        }
        if (c.testo && !c.testo->trimmed().isEmpty()) {
            scriviNuova(*c.testo);
        } else {
            // A unit without a name is not a unit: the line goes, the selection returns.
            delete m_nuova;
            m_nuova = nullptr;
            if (QTreeWidgetItem* prima = voce(m_primaDellaNuova))
                m_vista->setCurrentItem(prima);
            aggiornaComandi();
        }
        return;
    }
    if (c.testo && !c.testo->trimmed().isEmpty() && voce(c.id))
        rinomina(c.id, *c.testo);
    else
        aggiornaComandi();
}

void TfrmUnita::scriviNuova(const QString& testo)
{
    int errore = 0;
    int id = 0;
    try {
        id = m_pianta.Inserisci(m_padreNuova, testo, &errore);
    } catch (const ErroreDb& e) {
        // Nothing was written; the name stays in the editor, to try again or to drop with Esc.
        m_dtm.MostraErroreDb(e);
        riapri(m_nuova, testo);
        return;
    }
    if (errore == Msg::ErrUnitaScomparsa) {
        m_dtm.MostraErrore(errore);
        Aggiorna(m_primaDellaNuova);
        return;
    }
    if (errore) {
        m_dtm.MostraErrore(errore);
        riapri(m_nuova, testo);
        return;
    }
    Aggiorna(id);
}

void TfrmUnita::rinomina(int id, const QString& testo)
{
    int errore = 0;
    try {
        errore = m_pianta.Rinomina(id, testo);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        riapri(voce(id), testo);
        return;
    }
    if (errore == Msg::ErrDatoMancante) {
        m_dtm.MostraErrore(errore);
        riapri(voce(id), testo);
        return;
    }
    if (errore)
        m_dtm.MostraErrore(errore);
    // Read again: the new name may change the unit's place among its siblings, and a unit
    // deleted elsewhere leaves the tree.
    Aggiorna(id);
}

// --- Deletion and moves ------------------------------------------------------------------------

void TfrmUnita::itmCancellaClick()
{
    const int id = UnitaSelezionata();
    if (inModifica() || id <= 0)
        return;
    if (const int vietata = m_pianta.CancellazioneVietata(m_albero, id)) {
        m_dtm.MostraErrore(vietata);
        return;
    }
    if (!m_dtm.Chiedi(Msg::SclCancella))
        return;
    int esito = 0;
    try {
        esito = m_pianta.Cancella(id);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreCon(Msg::ErrCancellaUnita, e.testo());
        return;
    }
    if (esito)
        m_dtm.MostraErrore(esito);
    const int padre = m_albero.Padre(id);
    Aggiorna(esito == Msg::ErrUnitaConSottounita ? id : padre);
}

void TfrmUnita::sposta(int id, int bersaglio, bool sotto)
{
    int esito = 0;
    try {
        esito = m_pianta.Sposta(id, bersaglio, sotto);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    if (esito)
        m_dtm.MostraErrore(esito);
    Aggiorna(id);
}
