#include "tfrmpiano.h"

#include "messaggi.h"

#include "avanzamentodialogo.h"
#include "campodata.h"
#include "comandiarchivio.h"
#include "cursoreattesa.h"
#include "icone.h"
#include "presenzecfg.h"
#include "rptpiano.h"
#include "tabellaanagsel.h"
#include "tabellapiano.h"
#include "tabellatimbrature.h"
#include "tdtmelab.h"
#include "tdtmpiano.h"
#include "tdtmpresenze.h"
#include "testipiano.h"
#include "tfrmanteprima.h"
#include "tfrmcheck.h"
#include "tfrmdetails.h"
#include "tfrmstampa.h"
#include "tqalight.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace {

constexpr int kAiuto = 150;  // help topic

// The work plan's report group in the catalogue.
const QString kGruppoStampe = QStringLiteral("CP");

}  // namespace

// The picker of the employee selection: a drop-down list with the name and the register
// number, re-sorted in the chosen order each time it opens.
class SceltaDipendente : public QComboBox {
public:
    explicit SceltaDipendente(QWidget* parent) : QComboBox(parent) {}
    std::function<void()> primaDiAprire;

    void showPopup() override
    {
        if (primaDiAprire)
            primaDiAprire();
        QComboBox::showPopup();
    }
};

// The in-place editor of the "Timbrature" column: read-only, it moves from token to token
// (five characters each, six apart) and keeps the day's punch list on the token's punch.
class CellaTimbrature : public QLineEdit {
public:
    explicit CellaTimbrature(QWidget* parent) : QLineEdit(parent)
    {
        setReadOnly(true);
        setFrame(false);
        setContextMenuPolicy(Qt::NoContextMenu);
    }

    std::function<void(const QString& token)> tokenScelto;
    std::function<void()> apriDettagli;
    std::function<void()> uscita;

    void selezionaToken(int inizio)
    {
        if (text().isEmpty()) {
            deselect();
            return;
        }
        inizio = std::clamp(inizio, 0, std::max(0, int(text().size()) - 1));
        setSelection(inizio, 5);
        if (tokenScelto)
            tokenScelto(text().mid(inizio, 5));
    }
    int tokenCorrente() const { return hasSelectedText() ? selectionStart() : 0; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        switch (e->key()) {
        case Qt::Key_Left:
            selezionaToken(TestiPiano::TokenPrecedente(text(), tokenCorrente()));
            break;
        case Qt::Key_Right:
            selezionaToken(TestiPiano::TokenSuccessivo(text(), tokenCorrente()));
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (apriDettagli)
                apriDettagli();
            break;
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Up:
        case Qt::Key_Down:
            // Leaving the cell: back to the grid, which takes the key.
            e->ignore();
            clearFocus();
            return;
        default:
            break;
        }
        // Every other key is swallowed: the text never changes.
        e->accept();
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        QLineEdit::mousePressEvent(e);
        selezionaToken(TestiPiano::InizioToken(text(), cursorPosition()));
    }
    void mouseMoveEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override
    {
        if (apriDettagli)
            apriDettagli();
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QLineEdit::focusOutEvent(e);
        // A popup (a tool-tip, the details) does not close the cell.
        if (e->reason() == Qt::PopupFocusReason)
            return;
        if (uscita)
            uscita();
    }
};

namespace {

// Cell colours and the pickers of the "Stato" and "Orario" columns.
class DelegatoPiano : public QStyledItemDelegate {
public:
    DelegatoPiano(TdtmPresenze& dtm, TdtmPiano& piano, QObject* parent) : QStyledItemDelegate(parent), m_dtm(dtm), m_piano(piano) {}

    std::function<void(int riga, int stato)> statoScelto;
    std::function<void(int riga, const QVariant& idOrario)> orarioScelto;
    std::function<void(int riga)> modificaRiga;  // -1 when the editor closes

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& opt, const QModelIndex& index) const override
    {
        if (modificaRiga)
            modificaRiga(index.row());
        if (index.column() == ColStato || index.column() == ColOrario) {
            auto* c = new QComboBox(parent);
            c->setObjectName(index.column() == ColStato ? QStringLiteral("wwCmbStato") : QStringLiteral("wwCmbOrario"));
            if (index.column() == ColStato) {
                for (const CodiceDescr& s : m_piano.ElementiStato())
                    c->addItem(s.descr, s.codice.toInt());
            } else {
                for (const VoceOrario& o : m_piano.ElencoOrari())
                    c->addItem(o.Descr, o.Id);
            }
            // Choosing an entry closes the picker with a choice; leaving it does not.
            connect(c, &QComboBox::activated, this, [this, c] {
                c->setProperty("scelto", true);
                auto* d = const_cast<DelegatoPiano*>(this);
                emit d->commitData(c);
                emit d->closeEditor(c, QAbstractItemDelegate::NoHint);
            });
            return c;
        }
        QWidget* w = QStyledItemDelegate::createEditor(parent, opt, index);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setMaxLength(index.column() == ColNote ? 50 : 6);
        return w;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        QStyledItemDelegate::destroyEditor(editor, index);
        if (modificaRiga)
            modificaRiga(-1);
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* c = qobject_cast<QComboBox*>(editor)) {
            c->setCurrentIndex(c->findData(index.data(Qt::EditRole)));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
        // What the clerk types replaces the cell rather than being added to it.
        if (auto* e = qobject_cast<QLineEdit*>(editor))
            e->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* c = qobject_cast<QComboBox*>(editor)) {
            if (!c->property("scelto").toBool() || c->currentIndex() < 0)
                return;
            c->setProperty("scelto", false);
            if (index.column() == ColStato && statoScelto)
                statoScelto(index.row(), c->currentData().toInt());
            else if (index.column() == ColOrario && orarioScelto)
                orarioScelto(index.row(), c->currentData());
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& opt, const QModelIndex&) const override
    {
        editor->setGeometry(opt.rect);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* opt, const QModelIndex& index) const override
    {
        // The striping and the selection come from the grid's look (AspettoGriglia); the
        // cells add their own colours.
        QStyledItemDelegate::initStyleOption(opt, index);
        if (index.column() == ColData) {
            const int g = TestiPiano::GiornoSettimana(index.data(TabellaPiano::RuoloData).toDate());
            if (g == 1 || g == 7)
                opt->palette.setColor(QPalette::Text, Qt::red);
        } else if (index.column() == ColStato && index.data(TabellaPiano::RuoloStato).toInt() == 2) {
            opt->palette.setColor(QPalette::Text, ColoreDaIni(m_dtm.cfg().ColoreAnom));
            opt->font.setBold(true);
        }
        if (index.column() >= ColOreOrd && index.column() <= ColOreAssenza)
            opt->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    }

private:
    TdtmPresenze& m_dtm;
    TdtmPiano& m_piano;
};

QAction* azione(QObject* parent, const QString& testo, const QString& nome, const QString& icona = {}, const QKeySequence& tasto = {})
{
    auto* a = new QAction(icona.isEmpty() ? QIcon() : IconaComando(icona), testo, parent);
    a->setObjectName(nome);
    if (!tasto.isEmpty())
        a->setShortcut(tasto);
    return a;
}

}  // namespace

TfrmPiano::TfrmPiano(TdtmPresenze& dtm, TdtmPiano& piano, TdtmElab& elab, QWidget* parent)
    : QMainWindow(parent), m_dtm(dtm), m_piano(piano), m_elab(elab),
      m_query(std::make_unique<TQALight>(dtm)),
      m_check(std::make_unique<TfrmCheck>(dtm, this)),
      m_dettagli(std::make_unique<TfrmDetails>(dtm, piano, this)),
      m_stampa(std::make_unique<TfrmStampa>(dtm, this))
{
    setObjectName(QStringLiteral("frmPiano"));
    setWindowTitle(QStringLiteral("Piano di Lavoro"));
    setWindowIcon(IconaComando(QStringLiteral("piano")));
    resize(1000, 640);

    auto* centro = new QWidget(this);
    auto* l = new QVBoxLayout(centro);
    l->setContentsMargins(6, 6, 6, 6);
    l->addWidget(creaSelezione());
    l->addWidget(creaGriglia(), 1);
    m_pannelloDettagli = new QWidget(centro);
    m_pannelloDettagli->setObjectName(QStringLiteral("pnlDettagli"));
    auto* ld = new QVBoxLayout(m_pannelloDettagli);
    ld->setContentsMargins(0, 0, 0, 0);
    m_pannelloDettagli->setMinimumHeight(170);
    m_pannelloDettagli->hide();
    l->addWidget(m_pannelloDettagli);
    // Before the first confirmation the grid is hidden: the fields stay at the top.
    l->addStretch(0);
    setCentralWidget(centro);
    creaComandi();

    m_dettagli->ImpostaContenitore(m_pannelloDettagli);
    connect(m_dettagli.get(), &TfrmDetails::chiuso, this, &TfrmPiano::dettagliChiusi);
    connect(m_dettagli.get(), &TfrmDetails::tornaAllaGriglia, this, &TfrmPiano::tornaAllaGriglia);

    TabellaPiano* tab = m_piano.wwTblPianoSomma();
    connect(tab, &TabellaPiano::statoCambiato, this, &TfrmPiano::statoGriglia);
    connect(tab, &TabellaPiano::rigaCorrenteCambiata, this, &TfrmPiano::rigaModello);
    connect(tab, &TabellaPiano::rigaRegistrata, this, [this] { UpdateTotals(); });
    connect(tab, &TabellaPiano::aggiornata, this, &TfrmPiano::adattaColonne);
    connect(tab, &TabellaPiano::primaDiChiudere, this, [this] {
        for (int c = 0; c < NumColonnePiano; ++c)
            m_piano.ImpostaLarghezza(c, m_griglia->columnWidth(c));
    });
    connect(tab, &TabellaPiano::erroreScrittura, this,
            [this](const QString& testo) { m_dtm.MostraErroreCon(Msg::ErrDatabase, testo); });
    TabellaAnagSel* sel = m_piano.wwTblAnagSel();
    connect(sel, &TabellaAnagSel::statoCambiato, m_dipendente, &QWidget::setEnabled);
    connect(sel, &TabellaAnagSel::rigaCorrenteCambiata, this, [this](int riga) {
        if (m_dipendente->currentIndex() != riga)
            m_dipendente->setCurrentIndex(riga);
    });

    FormCreate();
}

TfrmPiano::~TfrmPiano() = default;

void TfrmPiano::FormCreate()
{
    // Lookup lists and timetables once for the whole run.
    try {
        m_piano.BuildStructures();
        m_piano.ApriTabelleRicerca();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    const QDate oggi = m_dtm.Oggi();
    const QDate dal = m_dtm.mem().DataDa.isValid() ? m_dtm.mem().DataDa.date() : QDate(oggi.year(), oggi.month(), 1);
    const QDate al = m_dtm.mem().DataA.isValid() ? m_dtm.mem().DataA.date() : dal.addMonths(1).addDays(-1);
    ImpostaPeriodo(dal, al);
    EnableTotals(false);
    statoGriglia(false);
}

QWidget* TfrmPiano::creaSelezione()
{
    auto* p = new QWidget(this);
    p->setObjectName(QStringLiteral("pnlSelezione"));
    auto* l = new QHBoxLayout(p);
    l->setContentsMargins(0, 0, 0, 0);

    auto* etDip = new QLabel(QStringLiteral("&Dipendente"), p);
    m_dipendente = new SceltaDipendente(p);
    m_dipendente->setObjectName(QStringLiteral("wwLkpDipendente"));
    m_dipendente->setMinimumWidth(320);
    m_dipendente->setMaxVisibleItems(20);
    auto* vista = new QTableView(m_dipendente);
    vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    vista->verticalHeader()->hide();
    vista->horizontalHeader()->setStretchLastSection(true);
    vista->setShowGrid(false);
    m_dipendente->setView(vista);
    m_dipendente->setModel(m_piano.wwTblAnagSel());
    m_dipendente->setModelColumn(TabellaAnagSel::ColNominativo);
    for (int c = TabellaAnagSel::ColLibero; c < TabellaAnagSel::NumColonne; ++c)
        vista->hideColumn(c);
    vista->setColumnWidth(TabellaAnagSel::ColNominativo, 300);
    vista->setColumnWidth(TabellaAnagSel::ColMatricola, 110);
    vista->setMinimumWidth(430);
    m_dipendente->setEnabled(false);
    m_dipendente->primaDiAprire = [this] {
        TabellaAnagSel* sel = m_piano.wwTblAnagSel();
        if (sel->Aperta())
            sel->ImpostaOrdine(sel->OrdineCorrente());
    };
    connect(m_dipendente, &QComboBox::activated, this, &TfrmPiano::dipendenteScelto);
    etDip->setBuddy(m_dipendente);

    auto* etDal = new QLabel(QStringLiteral("&Periodo dal"), p);
    m_dal = new CampoData(m_dtm, p);
    m_dal->setObjectName(QStringLiteral("edtDal"));
    auto* etAl = new QLabel(QStringLiteral("&al"), p);
    m_al = new CampoData(m_dtm, p);
    m_al->setObjectName(QStringLiteral("edtAl"));
    etDal->setBuddy(m_dal);
    etAl->setBuddy(m_al);

    auto* ok = new QToolButton(p);
    ok->setObjectName(QStringLiteral("btnOkPeriodo"));
    // Two rows, the employee over the period, with the totals beside them: the window fits
    // a 1024 x 768 screen.
    auto* campi = new QGridLayout;
    campi->setContentsMargins(0, 0, 0, 0);
    campi->setHorizontalSpacing(6);
    campi->setVerticalSpacing(4);
    campi->addWidget(etDip, 0, 0);
    campi->addWidget(m_dipendente, 0, 1, 1, 5);
    campi->addWidget(etDal, 1, 0);
    campi->addWidget(m_dal, 1, 1);
    campi->addWidget(etAl, 1, 2, Qt::AlignRight);
    campi->addWidget(m_al, 1, 3);
    campi->addWidget(ok, 1, 4);
    campi->setColumnStretch(5, 1);
    l->addLayout(campi, 1);
    l->addSpacing(16);
    l->addWidget(creaTotali());
    return p;
}

QWidget* TfrmPiano::creaTotali()
{
    m_totali = new QGroupBox(QStringLiteral("Totali ore"), this);
    m_totali->setObjectName(QStringLiteral("grpTotali"));
    auto* l = new QGridLayout(m_totali);
    l->setContentsMargins(6, 2, 6, 4);
    l->setHorizontalSpacing(6);
    l->setVerticalSpacing(2);
    int n = 0;
    const auto casella = [&](const QString& etichetta, const QString& nome) {
        auto* et = new QLabel(etichetta, m_totali);
        auto* e = new QLineEdit(m_totali);
        e->setObjectName(nome);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setAlignment(Qt::AlignRight);
        e->setFixedWidth(64);
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, ColoreDaIni(m_dtm.cfg().ColoreGrid));
        e->setPalette(pal);
        // Two by two: ordinary and overtime above, presence and absence below.
        l->addWidget(et, n / 2, (n % 2) * 2);
        l->addWidget(e, n / 2, (n % 2) * 2 + 1);
        ++n;
        return e;
    };
    m_totOrd = casella(QStringLiteral("Ordinarie"), QStringLiteral("edtTotOrdinarie"));
    m_totStra = casella(QStringLiteral("Straordinarie"), QStringLiteral("edtTotStraordinarie"));
    m_totPres = casella(QStringLiteral("Presenza"), QStringLiteral("edtTotPresenza"));
    m_totAss = casella(QStringLiteral("Assenze"), QStringLiteral("edtTotAssenze"));
    return m_totali;
}

QWidget* TfrmPiano::creaGriglia()
{
    m_pannelloGriglia = new QWidget(this);
    m_pannelloGriglia->setObjectName(QStringLiteral("pnlGriglia"));
    auto* l = new QVBoxLayout(m_pannelloGriglia);
    l->setContentsMargins(0, 0, 0, 0);
    m_griglia = new QTableView(m_pannelloGriglia);
    m_griglia->setObjectName(QStringLiteral("wwGrdPdL"));
    m_griglia->setModel(m_piano.wwTblPianoSomma());
    AspettoGriglia(m_griglia, m_dtm.cfg(), SelezioneGriglia::Cella);
    m_griglia->horizontalHeader()->setStretchLastSection(false);
    m_griglia->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_griglia->setTabKeyNavigation(true);
    m_griglia->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* delegato = new DelegatoPiano(m_dtm, m_piano, m_griglia);
    m_griglia->setItemDelegate(delegato);
    delegato->modificaRiga = [this](int riga) { m_piano.wwTblPianoSomma()->ImpostaRigaInModifica(riga); };
    delegato->statoScelto = [this](int riga, int stato) {
        // A refused or unconfirmed change leaves the row as stored; a failed write is shown.
        try {
            m_piano.wwTblPianoSomma()->CambiaStato(riga, stato);
        } catch (const ErroreDb& e) {
            m_piano.wwTblPianoSomma()->RileggiRiga(riga);
            m_dtm.MostraErroreDb(e);
        }
        m_griglia->viewport()->update();
    };
    delegato->orarioScelto = [this](int riga, const QVariant& id) {
        try {
            m_piano.wwTblPianoSomma()->ImpostaOrario(riga, id);
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
        }
    };
    m_griglia->installEventFilter(this);
    connect(m_griglia->selectionModel(), &QItemSelectionModel::currentChanged, this, &TfrmPiano::rigaVista);
    connect(m_griglia, &QWidget::customContextMenuRequested, this, &TfrmPiano::menuGriglia);
    connect(m_griglia, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.column() == ColTimbrature) {
            apriCellaTimbrature();
            mostraDettagliDaCella();
        }
    });

    m_cella = new CellaTimbrature(m_griglia->viewport());
    m_cella->setObjectName(QStringLiteral("edtTimbrature"));
    m_cella->hide();
    m_cella->tokenScelto = [this](const QString& token) { m_piano.PosizionaSuToken(token); };
    m_cella->apriDettagli = [this] { mostraDettagliDaCella(); };
    m_cella->uscita = [this] {
        m_saltaTasto = true;
        chiudiCellaTimbrature();
    };
    l->addWidget(m_griglia);
    return m_pannelloGriglia;
}

void TfrmPiano::creaComandi()
{
    m_itmConferma = azione(this, QStringLiteral("&Conferma"), QStringLiteral("itmConferma"), QStringLiteral("conferma"));
    m_itmConferma->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    // Enter confirms from the employee and period fields; in the grid it belongs to the cells.
    m_itmConferma->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    findChild<QWidget*>(QStringLiteral("pnlSelezione"))->addAction(m_itmConferma);
    auto* comandi = new ComandiArchivio(this, m_dtm, kAiuto);
    QAction* itmEsci = comandi->Collega(ComandiArchivio::Esci, [this] { itmEsciClick(); });
    QAction* itmStampa = comandi->Collega(ComandiArchivio::Stampa, [this] { itmStampaClick(); });
    QAction* itmAiuto = comandi->Azione(ComandiArchivio::Aiuto);
    QAction* itmAnagrafico = azione(this, QStringLiteral("&Anagrafico"), QStringLiteral("itmAnagrafico"), QStringLiteral("dipendenti"),
                                    QKeySequence(Qt::ALT | Qt::Key_F8));
    QAction* itmSelezione = azione(this, QStringLiteral("&Selezione Dipendenti"), QStringLiteral("itmSelezione"), QStringLiteral("organico"),
                                   QKeySequence(Qt::Key_F8));
    m_itmDettagli = azione(this, QStringLiteral("Visualizza &Dettagli"), QStringLiteral("itmDettagli"), QStringLiteral("sommario"),
                           QKeySequence(Qt::Key_F6));
    m_itmDettagli->setCheckable(true);
    QAction* itmElabSingolo = azione(this, QStringLiteral("Elabora &Timbrature Singolo dipendente"), QStringLiteral("itmElabSingolo"),
                                     QStringLiteral("conferma"), QKeySequence(Qt::Key_F10));
    QAction* itmElabTutti = azione(this, QStringLiteral("Elabora Timbrature &dipendenti selezionati"), QStringLiteral("itmElabTutti"),
                                   QStringLiteral("dipendenti"), QKeySequence(Qt::SHIFT | Qt::Key_F10));
    m_itmAvanti = azione(this, QStringLiteral("Avanti"), QStringLiteral("btnAvanti"), QStringLiteral("avanti"));
    m_itmIndietro = azione(this, QStringLiteral("Indietro"), QStringLiteral("btnIndietro"), QStringLiteral("indietro"));
    m_btnOk = azione(this, QStringLiteral("Ok"), QStringLiteral("btnOk"), QStringLiteral("conferma"));
    itmSelezione->setToolTip(QStringLiteral("Selezione dipendenti"));
    m_itmDettagli->setToolTip(QStringLiteral("Dettagli"));
    itmElabSingolo->setToolTip(QStringLiteral("Elabora Timbrature singolo"));
    itmElabTutti->setToolTip(QStringLiteral("Elabora Timbrature tutti"));

    QMenuBar* menu = menuBar();
    QMenu* mnuPiano = menu->addMenu(QStringLiteral("&Piano"));
    mnuPiano->addAction(m_itmConferma);
    mnuPiano->addAction(itmSelezione);
    mnuPiano->addAction(itmAnagrafico);
    mnuPiano->addSeparator();
    mnuPiano->addAction(itmStampa);
    mnuPiano->addAction(m_itmDettagli);
    mnuPiano->addSeparator();
    mnuPiano->addAction(itmEsci);
    QMenu* mnuStrumenti = menu->addMenu(QStringLiteral("&Strumenti"));
    mnuStrumenti->addAction(itmElabSingolo);
    mnuStrumenti->addAction(itmElabTutti);
    menu->addAction(itmAiuto);

    QToolBar* barra = addToolBar(QStringLiteral("Piano di Lavoro"));
    barra->setObjectName(QStringLiteral("tlbPiano"));
    barra->setMovable(false);
    barra->setIconSize(QSize(24, 24));
    barra->addAction(comandi->Pulsante(ComandiArchivio::Esci));
    barra->addSeparator();
    barra->addAction(itmAnagrafico);
    barra->addAction(itmSelezione);
    barra->addAction(itmStampa);
    barra->addAction(m_itmDettagli);
    barra->addSeparator();
    barra->addAction(m_itmIndietro);
    barra->addAction(m_itmAvanti);
    barra->addSeparator();
    barra->addAction(itmElabSingolo);
    barra->addAction(itmElabTutti);
    barra->addSeparator();
    barra->addAction(comandi->Pulsante(ComandiArchivio::Aiuto));
    findChild<QToolButton*>(QStringLiteral("btnOkPeriodo"))->setDefaultAction(m_btnOk);
    findChild<QToolButton*>(QStringLiteral("btnOkPeriodo"))->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    m_menuGriglia = new QMenu(this);
    m_menuGriglia->setObjectName(QStringLiteral("mnuGriglia"));
    QAction* itmElabora = m_menuGriglia->addAction(QStringLiteral("Elabora giornata"));
    itmElabora->setObjectName(QStringLiteral("itmElabora"));
    QAction* itmAnnulla = m_menuGriglia->addAction(QStringLiteral("Annulla elaborazione"));
    itmAnnulla->setObjectName(QStringLiteral("itmAnnulla"));
    m_menuGriglia->addSeparator();
    QAction* itmAiutoGriglia = m_menuGriglia->addAction(IconaComando(QStringLiteral("aiuto")), QStringLiteral("Help"));

    connect(m_itmConferma, &QAction::triggered, this, &TfrmPiano::UpdateSelection);
    connect(m_btnOk, &QAction::triggered, this, &TfrmPiano::UpdateSelection);
    connect(itmAnagrafico, &QAction::triggered, this, &TfrmPiano::apriAnagrafico);
    connect(itmSelezione, &QAction::triggered, this, &TfrmPiano::SelezioneDipendenti);
    connect(m_itmDettagli, &QAction::triggered, this, &TfrmPiano::btnDetailClick);
    connect(itmElabSingolo, &QAction::triggered, this, &TfrmPiano::btnElaboraClick);
    connect(itmElabTutti, &QAction::triggered, this, &TfrmPiano::btnElabTuttiClick);
    connect(m_itmAvanti, &QAction::triggered, this, &TfrmPiano::itmAvantiClick);
    connect(m_itmIndietro, &QAction::triggered, this, &TfrmPiano::itmIndietroClick);
    connect(itmElabora, &QAction::triggered, this, &TfrmPiano::itmElaboraClick);
    connect(itmAnnulla, &QAction::triggered, this, &TfrmPiano::itmAnnullaClick);
    connect(itmAiutoGriglia, &QAction::triggered, itmAiuto, &QAction::trigger);
    abilitaConferma(false);
    // The register window is not part of this window; its owner enables the command.
    itmAnagrafico->setEnabled(false);
}

// --- State of the window ---------------------------------------------------------------

QDate TfrmPiano::Dal() const
{
    return m_dal->date();
}

QDate TfrmPiano::Al() const
{
    return m_al->date();
}

bool TfrmPiano::periodoAccettato()
{
    // A command may start while a date is still being typed: the typed text counts, or
    // the command stops at its refusal.
    return m_dal->Accetta() && m_al->Accetta();
}

void TfrmPiano::ImpostaPeriodo(const QDate& dal, const QDate& al)
{
    m_dal->setDate(dal);
    m_al->setDate(al);
}

void TfrmPiano::abilitaConferma(bool abilita)
{
    m_itmConferma->setEnabled(abilita);
    m_btnOk->setEnabled(abilita);
}

void TfrmPiano::EnableTotals(bool abilita)
{
    m_totali->setEnabled(abilita);
    if (!abilita)
        for (QLineEdit* e : {m_totOrd, m_totStra, m_totPres, m_totAss})
            e->clear();
}

void TfrmPiano::UpdateTotals()
{
    const TotaliPiano t = m_piano.wwTblPianoSomma()->Totali();
    EnableTotals(true);
    m_totOrd->setText(TestiOra::MinutiInOre(t.Ordinario, QLatin1Char('.'), 1));
    m_totStra->setText(TestiOra::MinutiInOre(t.Eccedenza, QLatin1Char('.'), 1));
    m_totPres->setText(TestiOra::MinutiInOre(t.Presenza, QLatin1Char('.'), 1));
    m_totAss->setText(TestiOra::MinutiInOre(t.Carenza, QLatin1Char('.'), 1));
}

void TfrmPiano::statoGriglia(bool aperta)
{
    m_pannelloGriglia->setVisible(aperta);
    if (aperta)
        for (int c = 0; c < NumColonnePiano; ++c)
            m_griglia->setColumnWidth(c, m_piano.Larghezza(c));
    m_itmDettagli->setEnabled(aperta);
    if (!aperta) {
        m_itmAvanti->setEnabled(false);
        m_itmIndietro->setEnabled(false);
    } else {
        aggiornaAvantiIndietro();
    }
}

void TfrmPiano::aggiornaAvantiIndietro()
{
    const TabellaPiano* tab = m_piano.wwTblPianoSomma();
    m_itmAvanti->setEnabled(tab->Aperta() && !tab->AllaFine());
    m_itmIndietro->setEnabled(tab->Aperta() && !tab->AllInizio());
}

int TfrmPiano::rigaCorrente() const
{
    return m_piano.wwTblPianoSomma()->RigaCorrente();
}

void TfrmPiano::rigaModello(int riga)
{
    // The model moved (open, refresh, week move): the view follows without reporting back.
    if (riga >= 0 && m_griglia->currentIndex().row() != riga) {
        m_sincronizza = true;
        const int colonna = std::max(0, m_griglia->currentIndex().column());
        m_griglia->setCurrentIndex(m_piano.wwTblPianoSomma()->index(riga, colonna));
        m_sincronizza = false;
    }
    m_saltaTasto = false;
    chiudiCellaTimbrature();
    aggiornaAvantiIndietro();
    m_dettagli->AbilitazioneTimbrature();
}

void TfrmPiano::rigaVista(const QModelIndex& attuale, const QModelIndex& precedente)
{
    if (attuale.column() != precedente.column())
        m_saltaTasto = false;
    if (m_sincronizza || !attuale.isValid() || attuale.row() == precedente.row())
        return;
    m_piano.wwTblPianoSomma()->ImpostaRigaCorrente(attuale.row());
}

// --- Employee and period ---------------------------------------------------------------

void TfrmPiano::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    TabellaAnagSel* sel = m_piano.wwTblAnagSel();
    try {
        if (!sel->Aperta())
            sel->Apri();
    } catch (const ErroreDb& err) {
        m_dtm.MostraErroreDb(err);
        return;
    }
    if (sel->Righe() > 0) {
        if (sel->RigaCorrente() < 0)
            sel->Primo();
        m_dipendente->setCurrentIndex(sel->RigaCorrente());
        abilitaConferma(true);
    }
}

void TfrmPiano::dipendenteScelto(int riga)
{
    TabellaAnagSel* sel = m_piano.wwTblAnagSel();
    if (!isVisible() || riga < 0 || riga >= sel->Righe())
        return;
    sel->ImpostaRigaCorrente(riga);
    const int id = sel->Dipendente(riga).Id;
    if (id == m_dtm.IdDipCorrente)
        return;
    m_dtm.IdDipCorrente = id;
    abilitaConferma(true);
    UpdateSelection();
    btnDetailClick(m_itmDettagli->isChecked());
}

void TfrmPiano::UpdateSelection()
{
    EnableTotals(false);
    TabellaAnagSel* sel = m_piano.wwTblAnagSel();
    const int riga = m_dipendente->currentIndex();
    if (!sel->Aperta() || riga < 0 || riga >= sel->Righe())
        return;
    m_dtm.IdDipCorrente = sel->Dipendente(riga).Id;
    if (!periodoAccettato())
        return;
    const CursoreAttesa attesa;
    if (Dal() > Al()) {
        m_dtm.MostraErrore(Msg::ErrPeriodoInvertito);
        return;
    }
    m_dtm.mem().DataDa = QDateTime(Dal(), QTime(0, 0));
    m_dtm.mem().DataA = QDateTime(Al(), QTime(0, 0));
    try {
        m_check->Adotta();
        m_check->show();
        const bool completo = m_check->StartCheck(m_dtm.IdDipCorrente, Dal(), Al());
        // The check window had the keyboard; the work plan takes it back.
        activateWindow();
        if (!completo) {
            update();
            return;
        }
        m_piano.wwTblPianoSomma()->Apri(m_dtm.IdDipCorrente, Dal(), Al());
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    adattaColonne();
    if (!m_griglia->hasFocus())
        m_griglia->setFocus();
    UpdateTotals();
}

void TfrmPiano::adattaColonne()
{
    // The stored widths are kept, but a column never hides its own dates and figures:
    // widths saved for another screen font are widened to what the texts need.
    constexpr int kMassimo = 420;
    for (int c = 0; c < NumColonnePiano; ++c) {
        if (c == ColNote)
            continue;
        int serve = std::max(static_cast<QAbstractItemView*>(m_griglia)->sizeHintForColumn(c), m_griglia->horizontalHeader()->sectionSizeHint(c));
        if (c >= ColOreOrd && c <= ColOreAssenza)
            serve = std::max(serve, m_griglia->fontMetrics().horizontalAdvance(QStringLiteral("000.00")) + 12);
        serve = std::min(kMassimo, serve);
        if (m_griglia->columnWidth(c) < serve)
            m_griglia->setColumnWidth(c, serve);
    }
}

void TfrmPiano::SelezioneDipendenti()
{
    TabellaAnagSel* sel = m_piano.wwTblAnagSel();
    sel->Chiudi();
    const int precedente = m_dtm.IdDipCorrente;
    const int esito = m_query->Execute(this);
    const bool scelti = esito == TQALight::RisSelezione || esito == TQALight::RisTutti;
    try {
        if (esito == TQALight::RisSelezione)
            sel->ImpostaTabella(m_query->TempTableName(), QStringLiteral("DBPresUt"));
        else if (esito == TQALight::RisTutti)
            sel->ImpostaTabella();
        if (scelti)
            sel->ImpostaOrdine(TabellaAnagSel::OrdineDaTesto(m_query->SortFields()));
        // A cancelled search leaves the earlier list in the picker, even before any
        // employee was chosen, so the picker never stays disabled.
        sel->Apri();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    const bool trovato = precedente > 0 && sel->Aperta() && sel->Trova(precedente);
    if (sel->Aperta())
        m_dipendente->setCurrentIndex(sel->RigaCorrente());
    if (scelti && sel->IdCorrente() > 0) {
        m_dtm.IdDipCorrente = sel->IdCorrente();
        UpdateSelection();
    } else if (!scelti && !trovato && precedente > 0) {
        UpdateSelection();
    }
    abilitaConferma(m_dtm.IdDipCorrente > 0 && sel->Aperta() && sel->Righe() > 0);
}

// --- Processing ------------------------------------------------------------------------

void TfrmPiano::elabora(int idDip, const QDate& dal, const QDate& al)
{
    m_elab.setFinePianoMostrato(Al());
    m_elab.ElaboraPeriodo(idDip, dal, al);
}

void TfrmPiano::btnElaboraClick()
{
    if (!periodoAccettato() || !m_dtm.Chiedi(Msg::SclElabora))
        return;
    {
        const CursoreAttesa attesa;
        elabora(m_dtm.IdDipCorrente, Dal(), Al());
        if (m_piano.wwTblPianoSomma()->Aperta())
            m_piano.wwTblPianoSomma()->Aggiorna();
        UpdateTotals();
    }
    // The grid keeps what was written before a failure; the failure is told, not hidden.
    if (!m_elab.UltimoErrore().isEmpty())
        m_dtm.MostraErroreCon(Msg::ErrElaborazione, m_elab.UltimoErrore());
}

void TfrmPiano::btnElabTuttiClick()
{
    if (!periodoAccettato() || !m_dtm.Chiedi(Msg::SclElabora))
        return;
    TabellaPiano* tab = m_piano.wwTblPianoSomma();
    if (!tab->Aperta())
        return;
    const QDate giorno = tab->GiornoCorrente() ? tab->GiornoCorrente()->Data : QDate();
    TabellaAnagSel* sel = m_piano.wwTblAnagSel();
    QString errore;
    try {
        if (!sel->Aperta())
            sel->Apri();
        QList<int> ids;
        for (int r = 0; r < sel->Righe(); ++r)
            ids << sel->Dipendente(r).Id;
        m_elab.setFinePianoMostrato(Al());
        // The dialog keeps this window from starting anything else while its "Annulla"
        // stays live between employees.
        AvanzamentoDialogo avanzamento(m_dtm, this);
        const EsitoElaborazione esito = m_elab.ElaboraDipendenti(ids, Dal(), Al(), avanzamento);
        if (!esito.Errore.isEmpty()) {
            const int riga = int(ids.indexOf(esito.IdDipErrore));
            errore = esito.Errore + QStringLiteral(" (%1)").arg(sel->Dipendente(riga).Nominativo());
        }
    } catch (const ErroreDb& e) {
        errore = e.testo();
    }
    {
        const CursoreAttesa attesa;
        try {
            tab->Aggiorna();
            const int riga = tab->TrovaData(giorno);
            if (riga >= 0)
                tab->ImpostaRigaCorrente(riga);
        } catch (const ErroreDb& e) {
            errore = e.testo();
        }
        UpdateTotals();
    }
    if (!errore.isEmpty())
        m_dtm.MostraErroreCon(Msg::ErrElaborazione, errore);
}

void TfrmPiano::itmElaboraClick()
{
    const GiornoPiano* g = m_piano.wwTblPianoSomma()->GiornoCorrente();
    if (!g)
        return;
    const QDate giorno = g->Data;
    {
        const CursoreAttesa attesa;
        elabora(g->IdDip, giorno, giorno);
        m_piano.wwTblPianoSomma()->Aggiorna();
        UpdateTotals();
    }
    if (!m_elab.UltimoErrore().isEmpty())
        m_dtm.MostraErroreCon(Msg::ErrElaborazione, m_elab.UltimoErrore());
}

void TfrmPiano::itmAnnullaClick()
{
    const GiornoPiano* g = m_piano.wwTblPianoSomma()->GiornoCorrente();
    if (!g)
        return;
    const int idDip = g->IdDip;
    const QDate giorno = g->Data;
    const CursoreAttesa attesa;
    try {
        m_elab.AnnullaGiorno(idDip, giorno);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    m_piano.wwTblPianoSomma()->Aggiorna();
    UpdateTotals();
}

// --- Printing --------------------------------------------------------------------------

void TfrmPiano::itmStampaClick()
{
    TabellaPiano* tab = m_piano.wwTblPianoSomma();
    TabellaAnagSel* sel = m_piano.wwTblAnagSel();
    const int rigaGriglia = tab->RigaCorrente();
    const int rigaSel = sel->RigaCorrente();
    const auto ripristina = [&] {
        if (sel->Aperta() && rigaSel >= 0)
            sel->ImpostaRigaCorrente(rigaSel);
        if (tab->Aperta() && rigaGriglia >= 0)
            tab->ImpostaRigaCorrente(rigaGriglia);
    };
    if (!periodoAccettato())
        return;
    if (Dal() > Al()) {
        m_dtm.MostraErrore(Msg::ErrPeriodoInvertito);
        return;
    }
    const TRecStampa scelta = m_stampa->Esegui(kGruppoStampe);
    if (scelta.codice < Stampa::kTimbOriginali || scelta.codice > Stampa::kAnomalie) {
        ripristina();
        return;
    }
    if (Stampa::PeriodoTroppoLungo(scelta.codice, Dal(), Al())) {
        m_dtm.MostraErrore(Msg::ErrPeriodoLungo);
        ripristina();
        return;
    }
    ParametriPiano par;
    par.selezione.tabella = sel->NomeTabella();
    par.selezione.database = sel->NomeDatabase();
    par.selezione.ordine = TabellaAnagSel::TestoOrdine(sel->OrdineCorrente());
    par.dal = Dal();
    par.al = Al();
    par.titolo = scelta.descrizione;
    par.rigaSelezione = Stampa::RigaSelezionePiano(m_dtm, Dal(), Al());
    Stampa::CreaEdEsegui(this, m_dtm, [&] { return *Stampa::DocumentoPiano(m_dtm, scelta.codice, par); });
    ripristina();
}

// --- Grid ------------------------------------------------------------------------------

void TfrmPiano::itmAvantiClick()
{
    m_piano.wwTblPianoSomma()->Sposta(7);
}

void TfrmPiano::itmIndietroClick()
{
    m_piano.wwTblPianoSomma()->Sposta(-7);
}

void TfrmPiano::menuGriglia(const QPoint& pos)
{
    const QModelIndex i = m_griglia->indexAt(pos);
    if (i.isValid())
        m_griglia->setCurrentIndex(i);
    const bool riga = m_piano.wwTblPianoSomma()->GiornoCorrente() != nullptr;
    for (QAction* a : m_menuGriglia->actions())
        if (a->objectName() == QLatin1String("itmElabora") || a->objectName() == QLatin1String("itmAnnulla"))
            a->setEnabled(riga);
    m_menuGriglia->popup(m_griglia->viewport()->mapToGlobal(pos));
}

bool TfrmPiano::eventFilter(QObject* o, QEvent* e)
{
    // Keys reach the grid itself only when no cell editor is open.
    if (o == m_griglia && e->type() == QEvent::KeyPress)
        return gestisciTastoGriglia(static_cast<QKeyEvent*>(e));
    return QMainWindow::eventFilter(o, e);
}

bool TfrmPiano::gestisciTastoGriglia(QKeyEvent* k)
{
    TabellaPiano* tab = m_piano.wwTblPianoSomma();
    const int colonna = m_griglia->currentIndex().column();
    const int riga = rigaCorrente();
    switch (k->key()) {
    case Qt::Key_Delete:
        return true;  // days are never deleted from the grid
    case Qt::Key_Backspace:
        if (riga < 0)
            return true;
        if (colonna == ColOrario) {
            if (!tab->Giorno(riga).IdOrario.isNull()) {
                try {
                    tab->CancellaOrario(riga);
                } catch (const ErroreDb&) {
                    tab->RileggiRiga(riga);
                }
            }
        } else {
            tab->RileggiRiga(riga);
        }
        return true;
    case Qt::Key_Escape:
        m_saltaTasto = false;
        return false;
    case Qt::Key_F2:
    case Qt::Key_Insert:
        // With the details on screen these keys are theirs, from the grid too: a new punch
        // of the row's day. Without them F2 edits the cell.
        if (!m_dettagli->Visibili() || (k->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        m_dettagli->itmInserisciClick();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (colonna != ColTimbrature)
            return false;
        if (!m_saltaTasto)
            apriCellaTimbrature();
        return true;
    default:
        return false;
    }
}

void TfrmPiano::apriCellaTimbrature()
{
    TabellaPiano* tab = m_piano.wwTblPianoSomma();
    const int riga = rigaCorrente();
    if (riga < 0)
        return;
    const QModelIndex i = tab->index(riga, ColTimbrature);
    m_sincronizza = true;
    m_griglia->setCurrentIndex(i);
    m_sincronizza = false;
    m_griglia->scrollTo(i);
    m_cella->setGeometry(m_griglia->visualRect(i));
    m_cella->setText(tab->Giorno(riga).Timbrature);
    m_cella->setToolTip(i.data(Qt::ToolTipRole).toString());
    m_cella->show();
    m_cella->setFocus(Qt::OtherFocusReason);
    m_cella->selezionaToken(0);
    // The punch list starts from the day's first punch.
    TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    if (timbr->Righe() > 0)
        timbr->ImpostaRigaCorrente(0);
    m_dettagli->AbilitazioneTimbrature();
}

void TfrmPiano::chiudiCellaTimbrature()
{
    if (m_cella->isVisible())
        m_cella->hide();
}

void TfrmPiano::mostraDettagliDaCella()
{
    m_itmDettagli->setChecked(true);
    btnDetailClick(true);
    m_dettagli->FocusElenco();
}

void TfrmPiano::btnDetailClick(bool premuto)
{
    m_itmDettagli->setChecked(premuto);
    if (premuto)
        m_dettagli->Mostra();
    else
        m_dettagli->Nascondi();
}

void TfrmPiano::dettagliChiusi()
{
    m_itmDettagli->setChecked(false);
    if (m_piano.wwTblPianoSomma()->Aperta())
        m_griglia->setFocus();
    else
        m_dipendente->setFocus();
    m_saltaTasto = false;
}

void TfrmPiano::tornaAllaGriglia()
{
    m_griglia->setFocus();
    m_saltaTasto = false;
}

// --- Closing ---------------------------------------------------------------------------

void TfrmPiano::itmEsciClick()
{
    close();
}

void TfrmPiano::closeEvent(QCloseEvent* e)
{
    m_dettagli->Nascondi();
    m_itmDettagli->setChecked(false);
    m_dtm.mem().DataDa = QDateTime(Dal(), QTime(0, 0));
    m_dtm.mem().DataA = QDateTime(Al(), QTime(0, 0));
    try {
        m_piano.wwTblPianoSomma()->Chiudi();
    } catch (const std::runtime_error& err) {
        m_dtm.MostraErroreCon(Msg::ErrConfigurazione, QString::fromLocal8Bit(err.what()));
    }
    m_piano.wwTblTimbr()->Chiudi();
    EnableTotals(false);
    QMainWindow::closeEvent(e);
}
