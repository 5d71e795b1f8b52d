#include "tfrmturni.h"

#include "comandiarchivio.h"
#include "graficoturno.h"
#include "icone.h"
#include "messaggi.h"
#include "presenzecfg.h"
#include "rptturni.h"
#include "tdtmpresenze.h"
#include "testiora.h"
#include "tfrmanteprima.h"
#include "tfrmstampa.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const QString kGruppoStampe = QStringLiteral("CT");

enum ColonnaGiorni { ColTurnoGiorno, ColTurnoOrario, NumColonne };

// The swatch and text of one legend entry.
QWidget* voceLegenda(const QColor& colore, const QString& testo, const char* nome, QWidget* parent)
{
    auto* w = new QWidget(parent);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    auto* campione = new QLabel(w);
    campione->setFixedSize(14, 14);
    campione->setStyleSheet(QStringLiteral("background: %1; border: 1px solid #606060;").arg(colore.name()));
    auto* etichetta = new QLabel(testo, w);
    etichetta->setObjectName(QString::fromLatin1(nome));
    l->addWidget(campione);
    l->addWidget(etichetta);
    return w;
}

QString suggerimentoOrario(const OrarioTurno& o)
{
    return QStringLiteral("%1 - %2, Ore Medie %3")
        .arg(TestiOra::OrologioMinuti(o.prima), TestiOra::OrologioMinuti(o.ultima), TestiOra::OrologioMinuti(o.oreMedie));
}

}  // namespace

TfrmTurni::TfrmTurni(TdtmPresenze& dtm, TdtmTurni& turni, std::function<void(bool)> abilitaPrincipale, QWidget* parent)
    : QMainWindow(parent), m_dtm(dtm), m_turni(turni), m_abilitaPrincipale(std::move(abilitaPrincipale)),
      m_stampa(std::make_unique<TfrmStampa>(dtm, this))
{
    setObjectName(QStringLiteral("frmTurni"));
    setWindowTitle(QStringLiteral("Turni"));
    setWindowIcon(IconaComando(QStringLiteral("turni")));

    auto* centro = new QWidget(this);
    auto* l = new QVBoxLayout(centro);
    l->setContentsMargins(8, 8, 8, 8);
    l->addWidget(creaSelezione());

    auto* riga = new QHBoxLayout;
    auto* gruppo = new QGroupBox(QStringLiteral("Composizione Turno"), centro);
    auto* lg = new QVBoxLayout(gruppo);
    m_griglia = new QTableView(gruppo);
    m_griglia->setObjectName(QStringLiteral("grdGiorni"));
    m_modello = new QStandardItemModel(0, NumColonne, this);
    m_modello->setHorizontalHeaderLabels({QStringLiteral("Giorno"), QStringLiteral("Orario")});
    m_griglia->setModel(m_modello);
    AspettoGriglia(m_griglia, m_dtm.cfg());
    m_griglia->horizontalHeader()->setSectionResizeMode(ColTurnoGiorno, QHeaderView::ResizeToContents);
    m_griglia->horizontalHeader()->setStretchLastSection(true);
    m_griglia->setMinimumWidth(330);
    m_griglia->setFixedHeight(m_griglia->horizontalHeader()->sizeHint().height()
                              + TdtmTurni::kGiorni * m_griglia->verticalHeader()->defaultSectionSize() + 4);
    lg->addWidget(m_griglia);
    riga->addWidget(gruppo, 1);
    riga->addWidget(creaPannello(), 1);
    l->addLayout(riga);

    m_grafico = new GraficoTurno(centro);
    l->addWidget(m_grafico, 1);
    auto* legenda = new QHBoxLayout;
    legenda->addWidget(voceLegenda(GraficoTurno::ColoreRosso(), QStringLiteral("ROSSO: Ore Medie > 0"), "lblRosso", centro));
    legenda->addSpacing(24);
    legenda->addWidget(voceLegenda(GraficoTurno::ColoreGiallo(), QStringLiteral("GIALLO: Ore Medie = 0"), "lblGiallo", centro));
    legenda->addStretch(1);
    l->addLayout(legenda);
    setCentralWidget(centro);
    creaComandi();

    connect(m_griglia->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& i) { rigaCambiata(i.row()); });
    connect(&m_turni, &TdtmTurni::modoCambiato, this, &TfrmTurni::aggiornaModo);
    // While editing, whatever else of the application becomes active hands the focus back.
    // Another MDI window takes the focus inside the same top-level window; another top-level
    // window of the application takes the activation. Messages and questions (modal) and
    // drop-downs (popups) are part of the editing; another program is left alone.
    const auto altrove = [this] {
        return inModifica() && !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
    };
    connect(qApp, &QApplication::focusChanged, this, [this, altrove](QWidget*, QWidget* ora) {
        if (ora && ora != this && !isAncestorOf(ora) && altrove())
            QTimer::singleShot(0, this, &TfrmTurni::tieniDavanti);
    });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this, altrove](QWindow* ora) {
        if (ora && ora != window()->windowHandle() && altrove())
            QTimer::singleShot(0, this, &TfrmTurni::tieniDavanti);
    });

    // Room for the days, the editing panel beside them and a readable chart, within 1024x768.
    setMinimumSize(760, 560);
    try {
        m_turni.ApriTurno(0);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    caricaElenco();
    mostraTurno();
    aggiornaModo();
}

TfrmTurni::~TfrmTurni()
{
    // Only the application's end destroys the window while it edits (closing is refused
    // meanwhile): the main window is going too, so it is not told. What was being edited is
    // dropped; nothing of it was written.
    disconnect(&m_turni, nullptr, this, nullptr);
    m_turni.Annulla();
}

QWidget* TfrmTurni::creaSelezione()
{
    auto* w = new QWidget(this);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    auto* etichetta = new QLabel(QStringLiteral("&Selezione turno"), w);
    m_cmbTurno = new QComboBox(w);
    m_cmbTurno->setObjectName(QStringLiteral("cmbTurno"));
    m_cmbTurno->setMinimumWidth(280);
    m_cmbTurno->setMaxVisibleItems(20);
    etichetta->setBuddy(m_cmbTurno);
    connect(m_cmbTurno, &QComboBox::currentIndexChanged, this, &TfrmTurni::scegliTurno);
    l->addWidget(etichetta);
    l->addWidget(m_cmbTurno);
    struct Nav {
        const char* nome;
        const char* testo;
        const char* suggerimento;
    };
    const Nav nav[] = {{"btnPrimo", "|<", "Primo turno"},
                       {"btnPrecedente", "<", "Turno precedente"},
                       {"btnSuccessivo", ">", "Turno successivo"},
                       {"btnUltimo", ">|", "Ultimo turno"}};
    for (int n = 0; n < 4; ++n) {
        auto* b = new QToolButton(w);
        b->setObjectName(QString::fromLatin1(nav[n].nome));
        b->setText(QString::fromLatin1(nav[n].testo));
        b->setToolTip(QString::fromLatin1(nav[n].suggerimento));
        b->setAutoRaise(true);
        b->setMinimumWidth(28);
        connect(b, &QToolButton::clicked, this, [this, n] {
            const int ultimo = m_cmbTurno->count() - 1;
            const int i = m_cmbTurno->currentIndex();
            const int nuovo = n == 0 ? 0 : n == 1 ? std::max(0, i - 1) : n == 2 ? std::min(ultimo, i + 1) : ultimo;
            if (ultimo >= 0)
                m_cmbTurno->setCurrentIndex(nuovo);
        });
        l->addWidget(b);
        m_navigazione.append(b);
    }
    l->addStretch(1);
    return w;
}

QWidget* TfrmTurni::creaPannello()
{
    m_pannello = new QGroupBox(this);
    m_pannello->setObjectName(QStringLiteral("pnlModifica"));
    auto* g = new QGridLayout(m_pannello);
    m_edtGiorno = new QLineEdit(m_pannello);
    m_edtGiorno->setObjectName(QStringLiteral("edtGiorno"));
    m_edtGiorno->setReadOnly(true);
    m_edtGiorno->setFocusPolicy(Qt::NoFocus);
    m_cmbOrario = new QComboBox(m_pannello);
    m_cmbOrario->setObjectName(QStringLiteral("cmbOrario"));
    m_cmbOrario->setMaxVisibleItems(20);
    m_cmbOrario->setMinimumContentsLength(24);
    connect(m_cmbOrario, &QComboBox::currentIndexChanged, this, &TfrmTurni::scegliOrario);
    m_edtDescr = new QLineEdit(m_pannello);
    m_edtDescr->setObjectName(QStringLiteral("edtDescr"));
    m_edtDescr->setMaxLength(30);
    connect(m_edtDescr, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_turni.ImpostaDescrizione(t);
        // A new rotation's name shows in the drop-down as it is typed.
        if (m_turni.modo() == TdtmTurni::Modo::Inserimento && m_cmbTurno->currentIndex() >= 0) {
            QSignalBlocker blocco(m_cmbTurno);
            m_cmbTurno->setItemText(m_cmbTurno->currentIndex(), t);
        }
    });
    auto* lblGiorno = new QLabel(QStringLiteral("Giorno"), m_pannello);
    auto* lblOrario = new QLabel(QStringLiteral("O&rario"), m_pannello);
    auto* lblDescr = new QLabel(QStringLiteral("&Descrizione turno"), m_pannello);
    lblOrario->setBuddy(m_cmbOrario);
    lblDescr->setBuddy(m_edtDescr);
    // Both are needed before "OK": their labels take the required-field colour.
    for (QLabel* e : {lblOrario, lblDescr}) {
        QPalette p = e->palette();
        p.setColor(QPalette::WindowText, ColoreDaIni(m_dtm.cfg().ColoreReqd));
        e->setPalette(p);
    }
    g->addWidget(lblGiorno, 0, 0);
    g->addWidget(m_edtGiorno, 0, 1);
    g->addWidget(lblOrario, 1, 0);
    g->addWidget(m_cmbOrario, 1, 1);
    g->addWidget(lblDescr, 2, 0);
    g->addWidget(m_edtDescr, 2, 1);

    auto* pulsanti = new QHBoxLayout;
    m_btnProssimo = new QPushButton(IconaComando(QStringLiteral("avanti")), QStringLiteral("Prossi&mo"), m_pannello);
    m_btnProssimo->setObjectName(QStringLiteral("btnNextRecord"));
    m_btnOk = new QPushButton(IconaComando(QStringLiteral("conferma")), QStringLiteral("O&K"), m_pannello);
    m_btnOk->setObjectName(QStringLiteral("btnOK"));
    m_btnAnnulla = new QPushButton(IconaComando(QStringLiteral("annulla")), QStringLiteral("Annu&lla"), m_pannello);
    m_btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    connect(m_btnProssimo, &QPushButton::clicked, this, &TfrmTurni::btnNextRecordClick);
    connect(m_btnOk, &QPushButton::clicked, this, &TfrmTurni::btnOKClick);
    connect(m_btnAnnulla, &QPushButton::clicked, this, &TfrmTurni::btnResetClick);
    // The letters avoid the main window's menus (Alt+O, Alt+P, Alt+N), which stay in the
    // same window while this one edits. Enter goes on: the next day, or OK on the last.
    auto* invio = new QAction(this);
    invio->setObjectName(QStringLiteral("itmAvanti"));
    invio->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    invio->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(invio, &QAction::triggered, this, [this] {
        if (m_btnProssimo->isVisible())
            btnNextRecordClick();
        else if (m_btnOk->isVisible())
            btnOKClick();
    });
    m_pannello->addAction(invio);
    // Esc leaves the editing as "Annulla" does.
    auto* esc = new QAction(this);
    esc->setObjectName(QStringLiteral("itmAnnullaModifica"));
    esc->setShortcut(QKeySequence(Qt::Key_Escape));
    esc->setShortcutContext(Qt::WindowShortcut);
    connect(esc, &QAction::triggered, this, [this] {
        if (inModifica())
            btnResetClick();
    });
    addAction(esc);
    pulsanti->addStretch(1);
    pulsanti->addWidget(m_btnProssimo);
    pulsanti->addWidget(m_btnOk);
    pulsanti->addWidget(m_btnAnnulla);
    g->addLayout(pulsanti, 3, 0, 1, 2);
    g->setRowStretch(4, 1);
    return m_pannello;
}

void TfrmTurni::creaComandi()
{
    m_comandi = new ComandiArchivio(this, m_dtm, kContestoAiuto);
    m_comandi->Collega(ComandiArchivio::Inserisci, [this] { btnInserisciClick(); });
    m_comandi->Collega(ComandiArchivio::Modifica, [this] { btnModificaClick(); });
    // The use of the rotation is checked before question 3, which is then not asked.
    m_comandi->setChiediCancella(false);
    m_comandi->Collega(ComandiArchivio::Cancella, [this] { btnDeleteClick(); });
    m_comandi->Collega(ComandiArchivio::Stampa, [this] { btnStampaClick(); });
    m_comandi->Collega(ComandiArchivio::Esci, [this] { close(); });
    m_comandi->RiempiMenu(menuBar(), QStringLiteral("&Turni"));
    m_barra = addToolBar(QStringLiteral("Turni"));
    m_barra->setObjectName(QStringLiteral("tlbTurni"));
    m_barra->setMovable(false);
    m_comandi->RiempiBarra(m_barra);
    m_comandi->ModificaAlDoppioClic(m_griglia);
}

// --- What the window shows ---------------------------------------------------------------------

void TfrmTurni::caricaElenco()
{
    QList<VoceElenco> turni;
    try {
        turni = m_turni.ElencoTurni();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    QSignalBlocker blocco(m_cmbTurno);
    m_cmbTurno->clear();
    for (const VoceElenco& t : std::as_const(turni))
        m_cmbTurno->addItem(t.descr, t.id);
    m_cmbTurno->setCurrentIndex(m_cmbTurno->findData(m_turni.IdTurno()));
}

void TfrmTurni::caricaOrari()
{
    try {
        m_orari = m_turni.ElencoOrari();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    QSignalBlocker blocco(m_cmbOrario);
    m_cmbOrario->clear();
    for (const OrarioTurno& o : std::as_const(m_orari)) {
        m_cmbOrario->addItem(o.descr, o.id);
        // Two timetables may share a name: the hint tells them apart.
        m_cmbOrario->setItemData(m_cmbOrario->count() - 1, suggerimentoOrario(o), Qt::ToolTipRole);
    }
}

void TfrmTurni::mostraTurno()
{
    m_aggiornando = true;
    const QList<GiornoTurno>& giorni = m_turni.Giorni();
    m_modello->setRowCount(int(giorni.size()));
    for (int r = 0; r < giorni.size(); ++r) {
        m_modello->setItem(r, ColTurnoGiorno, new QStandardItem(TdtmTurni::NomeGiornoBreve(giorni[r].numOrd)));
        auto* orario = new QStandardItem(giorni[r].orario.descr);
        if (giorni[r].orario.esiste)
            orario->setToolTip(suggerimentoOrario(giorni[r].orario));
        m_modello->setItem(r, ColTurnoOrario, orario);
    }
    if (!giorni.isEmpty())
        m_griglia->setCurrentIndex(m_modello->index(m_turni.GiornoCorrente(), inModifica() ? ColTurnoOrario : ColTurnoGiorno));
    m_grafico->ImpostaBarre(TdtmTurni::Barre(giorni));
    m_aggiornando = false;
    mostraGiorno();
    aggiornaComandi();
}

void TfrmTurni::mostraGiorno()
{
    m_aggiornando = true;
    const QList<GiornoTurno>& giorni = m_turni.Giorni();
    const int c = m_turni.GiornoCorrente();
    const bool c_valido = c >= 0 && c < giorni.size();
    m_edtGiorno->setText(c_valido ? TdtmTurni::NomeGiornoBreve(giorni[c].numOrd) : QString());
    m_cmbOrario->setCurrentIndex(c_valido ? m_cmbOrario->findData(giorni[c].orario.id) : -1);
    if (m_edtDescr->text() != m_turni.Descrizione())
        m_edtDescr->setText(m_turni.Descrizione());
    m_aggiornando = false;
}

void TfrmTurni::aggiornaModo()
{
    const TdtmTurni::Modo modo = m_turni.modo();
    const bool edita = modo != TdtmTurni::Modo::Consultazione;
    m_pannello->setVisible(edita);
    m_pannello->setTitle(modo == TdtmTurni::Modo::Inserimento ? QStringLiteral("Inserimento Turno") : QStringLiteral("Modifica Turno"));
    menuBar()->setEnabled(!edita);
    m_barra->setEnabled(!edita);
    m_cmbTurno->setEnabled(!edita);
    for (QToolButton* b : std::as_const(m_navigazione))
        b->setEnabled(!edita);
    aggiornaComandi();
    if (m_abilitaPrincipale && edita != m_principaleBloccato)
        m_abilitaPrincipale(!edita);
    m_principaleBloccato = edita;
}

void TfrmTurni::aggiornaComandi()
{
    const bool consulta = !inModifica();
    const bool turno = m_turni.IdTurno() > 0;
    m_comandi->Azione(ComandiArchivio::Esci)->setEnabled(consulta);
    m_comandi->Azione(ComandiArchivio::Stampa)->setEnabled(consulta);
    m_comandi->Azione(ComandiArchivio::Inserisci)->setEnabled(consulta);
    m_comandi->Azione(ComandiArchivio::Modifica)->setEnabled(consulta && turno && !m_turni.Giorni().isEmpty());
    m_comandi->Azione(ComandiArchivio::Cancella)->setEnabled(consulta && turno);
    const bool inserisce = m_turni.modo() == TdtmTurni::Modo::Inserimento;
    m_btnProssimo->setVisible(inserisce && !m_turni.UltimoGiorno());
    m_btnOk->setVisible(!inserisce || m_turni.UltimoGiorno());
}

void TfrmTurni::scegliTurno(int indice)
{
    if (inModifica() || indice < 0)
        return;
    try {
        m_turni.ApriTurno(m_cmbTurno->itemData(indice).toInt());
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    mostraTurno();
}

void TfrmTurni::scegliOrario(int indice)
{
    if (m_aggiornando || !inModifica() || indice < 0 || indice >= m_orari.size())
        return;
    m_turni.ImpostaOrario(m_orari[indice]);
    const int c = m_turni.GiornoCorrente();
    if (QStandardItem* it = m_modello->item(c, ColTurnoOrario)) {
        it->setText(m_orari[indice].descr);
        it->setToolTip(suggerimentoOrario(m_orari[indice]));
    }
    m_grafico->ImpostaBarre(TdtmTurni::Barre(m_turni.Giorni()));
}

void TfrmTurni::rigaCambiata(int riga)
{
    if (m_aggiornando || riga < 0)
        return;
    if (m_turni.modo() == TdtmTurni::Modo::Modifica) {
        m_turni.ImpostaGiornoCorrente(riga);
        mostraGiorno();
    } else if (m_turni.modo() == TdtmTurni::Modo::Inserimento && riga != m_turni.GiornoCorrente()) {
        // The days of a new rotation are given in order: the grid stays on the day being given.
        QTimer::singleShot(0, this, [this] {
            if (m_turni.modo() == TdtmTurni::Modo::Inserimento)
                mostraTurno();
        });
    }
}

void TfrmTurni::fuoco(TdtmTurni::Campo campo)
{
    if (campo == TdtmTurni::Campo::Descrizione) {
        m_edtDescr->setFocus(Qt::OtherFocusReason);
        m_edtDescr->selectAll();
    } else {
        m_cmbOrario->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmTurni::tieniDavanti()
{
    if (!inModifica() || m_richiamoInCorso || QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    m_richiamoInCorso = true;
    if (auto* cornice = qobject_cast<QMdiSubWindow*>(parentWidget()); cornice && cornice->mdiArea())
        cornice->mdiArea()->setActiveSubWindow(cornice);
    window()->activateWindow();
    if (!isAncestorOf(QApplication::focusWidget()))
        fuoco(TdtmTurni::Campo::Orario);
    m_richiamoInCorso = false;
}

// --- Commands -------------------------------------------------------------------------------

void TfrmTurni::btnInserisciClick()
{
    if (inModifica())
        return;
    caricaOrari();
    try {
        m_turni.IniziaInserimento();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    {
        QSignalBlocker blocco(m_cmbTurno);
        m_cmbTurno->addItem(m_turni.Descrizione(), 0);
        m_cmbTurno->setCurrentIndex(m_cmbTurno->count() - 1);
    }
    mostraTurno();
    fuoco(TdtmTurni::Campo::Orario);
}

void TfrmTurni::btnModificaClick()
{
    if (inModifica())
        return;
    caricaOrari();
    if (!m_turni.IniziaModifica())
        return;
    mostraTurno();
    fuoco(TdtmTurni::Campo::Orario);
}

void TfrmTurni::btnNextRecordClick()
{
    const TdtmTurni::Esito esito = m_turni.Prossimo();
    if (!esito.ok()) {
        fuoco(esito.campo);
        m_dtm.MostraErrore(esito.errore);
        return;
    }
    mostraTurno();
    fuoco(TdtmTurni::Campo::Orario);
}

void TfrmTurni::btnOKClick()
{
    TdtmTurni::Esito esito;
    try {
        esito = m_turni.Conferma();
    } catch (const ErroreDb& e) {
        // Nothing was written; the rotation stays in editing, to try again or to cancel.
        m_dtm.MostraErroreDb(e);
        return;
    }
    if (!esito.ok()) {
        mostraTurno();
        fuoco(esito.campo);
        m_dtm.MostraErrore(esito.errore);
        return;
    }
    caricaElenco();
    mostraTurno();
    m_griglia->setFocus();
}

void TfrmTurni::btnResetClick()
{
    const bool nuovo = m_turni.modo() == TdtmTurni::Modo::Inserimento;
    m_turni.Annulla();
    if (nuovo) {
        try {
            m_turni.ApriTurno(0);
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
        }
    }
    caricaElenco();
    mostraTurno();
    m_griglia->setFocus();
}

void TfrmTurni::btnDeleteClick()
{
    const int id = m_turni.IdTurno();
    if (inModifica() || id <= 0)
        return;
    try {
        int uso = m_turni.UsoTurno(id);
        if (!uso) {
            if (!m_dtm.Chiedi(Msg::SclCancella))
                return;
            uso = m_turni.CancellaTurno(id);
        }
        if (uso)
            m_dtm.MostraErrore(uso);
        else
            m_turni.ApriTurno(0);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    caricaElenco();
    mostraTurno();
}

void TfrmTurni::btnStampaClick()
{
    if (inModifica())
        return;
    const TRecStampa scelta = m_stampa->Esegui(kGruppoStampe);
    if (scelta.codice != Stampa::kElencoTurni)
        return;
    Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptTurni(m_dtm).Crea(scelta.descrizione); });
}

void TfrmTurni::closeEvent(QCloseEvent* e)
{
    if (inModifica()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}
