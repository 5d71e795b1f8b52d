#include "tfrmcalendario.h"

#include "campodata.h"
#include "comandiarchivio.h"
#include "icone.h"
#include "messaggi.h"
#include "rptturni.h"
#include "tdtmpresenze.h"
#include "tdtmturni.h"
#include "tfrmanteprima.h"
#include "tfrmstampa.h"

#include <QAction>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTextCharFormat>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kGruppoStampe = QStringLiteral("CC");
const QString kFormato = QStringLiteral("dd/MM/yyyy");

QLocale italiano()
{
    return QLocale(QLocale::Italian, QLocale::Italy);
}

// "29/03/2027 lunedì": how the list and the questions name a holiday.
QString testoGiorno(const QDate& d)
{
    return d.toString(kFormato) + QLatin1Char(' ') + italiano().dayName(d.dayOfWeek());
}

QToolButton* pulsante(const char* nome, const char* testo, const char* suggerimento, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(nome));
    b->setText(QString::fromLatin1(testo));
    b->setToolTip(QString::fromLatin1(suggerimento));
    b->setMinimumWidth(30);
    return b;
}

QAction* azione(QWidget* w, const QString& testo, const char* nome, const char* icona, const QKeySequence& tasto)
{
    auto* a = new QAction(icona ? IconaComando(QString::fromLatin1(icona)) : QIcon(), testo, w);
    a->setObjectName(QString::fromLatin1(nome));
    a->setShortcut(tasto);
    a->setShortcutContext(Qt::WindowShortcut);
    w->addAction(a);
    return a;
}

}  // namespace

TfrmCalendario::TfrmCalendario(TdtmPresenze& dtm, TdtmTurni& turni, QWidget* parent)
    : QMainWindow(parent), m_dtm(dtm), m_turni(turni), m_stampa(std::make_unique<TfrmStampa>(dtm, this))
{
    setObjectName(QStringLiteral("frmCalendario"));
    setWindowTitle(QStringLiteral("Calendario"));
    setWindowIcon(IconaComando(QStringLiteral("calendario")));

    auto* centro = new QWidget(this);
    auto* l = new QHBoxLayout(centro);
    l->setContentsMargins(8, 8, 8, 8);
    l->addWidget(creaMese());
    auto* gruppo = new QGroupBox(QStringLiteral("&Elenco giorni festivi"), centro);
    auto* lg = new QVBoxLayout(gruppo);
    m_elenco = new QListWidget(gruppo);
    m_elenco->setObjectName(QStringLiteral("lstFestivi"));
    m_elenco->setMinimumWidth(220);
    lg->addWidget(m_elenco);
    l->addWidget(gruppo, 1);
    setCentralWidget(centro);
    creaComandi();

    connect(m_elenco, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* it) {
        if (it)
            giornoScelto(it->data(Qt::UserRole).toDate());
    });
    setMinimumSize(700, 430);
    Initialize();
}

TfrmCalendario::~TfrmCalendario() = default;

QWidget* TfrmCalendario::creaMese()
{
    auto* w = new QWidget(this);
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);

    auto* nav = new QGridLayout;
    m_mese = new QLabel(w);
    m_mese->setObjectName(QStringLiteral("lblMese"));
    m_anno = new QLabel(w);
    m_anno->setObjectName(QStringLiteral("lblAnno"));
    for (QLabel* e : {m_mese, m_anno}) {
        e->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        e->setAlignment(Qt::AlignCenter);
        e->setMinimumWidth(110);
    }
    QToolButton* mesePrec = pulsante("btnMesePrec", "<", "Mese precedente", w);
    QToolButton* meseSucc = pulsante("btnMeseSucc", ">", "Mese successivo", w);
    QToolButton* annoPrec = pulsante("btnAnnoPrec", "<", "Anno precedente", w);
    QToolButton* annoSucc = pulsante("btnAnnoSucc", ">", "Anno successivo", w);
    connect(mesePrec, &QToolButton::clicked, this, [this] { cambiaMese(-1); });
    connect(meseSucc, &QToolButton::clicked, this, [this] { cambiaMese(1); });
    connect(annoPrec, &QToolButton::clicked, this, [this] { cambiaMese(-12); });
    connect(annoSucc, &QToolButton::clicked, this, [this] { cambiaMese(12); });
    nav->addWidget(new QLabel(QStringLiteral("Mese"), w), 0, 0);
    nav->addWidget(mesePrec, 0, 1);
    nav->addWidget(m_mese, 0, 2);
    nav->addWidget(meseSucc, 0, 3);
    nav->addWidget(new QLabel(QStringLiteral("Anno"), w), 1, 0);
    nav->addWidget(annoPrec, 1, 1);
    nav->addWidget(m_anno, 1, 2);
    nav->addWidget(annoSucc, 1, 3);
    nav->setColumnStretch(4, 1);
    l->addLayout(nav);

    m_calendario = new QCalendarWidget(w);
    m_calendario->setObjectName(QStringLiteral("calMese"));
    m_calendario->setLocale(italiano());
    m_calendario->setFirstDayOfWeek(Qt::Monday);
    m_calendario->setNavigationBarVisible(false);
    m_calendario->setGridVisible(true);
    m_calendario->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendario->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    QTextCharFormat fineSettimana = m_calendario->weekdayTextFormat(Qt::Saturday);
    fineSettimana.setForeground(QColor(0xC0, 0x20, 0x20));
    m_calendario->setWeekdayTextFormat(Qt::Saturday, fineSettimana);
    m_calendario->setWeekdayTextFormat(Qt::Sunday, fineSettimana);
    m_calendario->setMinimumSize(360, 240);
    connect(m_calendario, &QCalendarWidget::currentPageChanged, this, [this] { paginaCambiata(); });
    connect(m_calendario, &QCalendarWidget::selectionChanged, this, [this] { giornoScelto(m_calendario->selectedDate()); });
    // A double click on a day (or Enter on it) adds it.
    connect(m_calendario, &QCalendarWidget::activated, this, [this](const QDate& d) {
        giornoScelto(d);
        btnAggiungiClick();
    });
    l->addWidget(m_calendario, 1);

    auto* riga = new QHBoxLayout;
    auto* etichetta = new QLabel(QStringLiteral("&Data"), w);
    m_data = new CampoData(m_dtm, w);
    m_data->setObjectName(QStringLiteral("edtData"));
    etichetta->setBuddy(m_data);
    // A whole date typed in the field shows its month.
    connect(m_data, &CampoData::dateChanged, this, [this](const QDate& d) {
        if (d.isValid() && d != m_calendario->selectedDate())
            m_calendario->setSelectedDate(d);
    });
    riga->addWidget(etichetta);
    riga->addWidget(m_data);
    riga->addStretch(1);
    l->addLayout(riga);
    return w;
}

void TfrmCalendario::creaComandi()
{
    auto* comandi = new ComandiArchivio(this, m_dtm, kContestoAiuto);
    QAction* itmStampa = comandi->Collega(ComandiArchivio::Stampa, [this] { btnStampaClick(); });
    QAction* itmEsci = comandi->Collega(ComandiArchivio::Esci, [this] { close(); });
    QAction* itmAggiungi = azione(this, QStringLiteral("&Aggiungi"), "itmAggiungi", "inserisci", QKeySequence(Qt::Key_F2));
    QAction* itmRimuovi = azione(this, QStringLiteral("&Rimuovi"), "itmRimuovi", "cancella", QKeySequence(Qt::Key_F4));
    QAction* itmFestivita = azione(this, QStringLiteral("&Festività nazionali"), "itmFestivita", "calendario", QKeySequence());
    itmFestivita->setToolTip(QStringLiteral("Festività nazionali dell'anno mostrato"));
    QAction* itmAnnulla = azione(this, QStringLiteral("A&nnulla"), "itmAnnulla", nullptr, QKeySequence(Qt::Key_Escape));
    connect(itmAggiungi, &QAction::triggered, this, &TfrmCalendario::btnAggiungiClick);
    connect(itmRimuovi, &QAction::triggered, this, &TfrmCalendario::btnRimuoviClick);
    connect(itmFestivita, &QAction::triggered, this, &TfrmCalendario::btnFestivitaClick);
    connect(itmAnnulla, &QAction::triggered, this, &QWidget::close);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(itmStampa);
    file->addSeparator();
    file->addAction(itmEsci);
    QMenu* calendario = menuBar()->addMenu(QStringLiteral("&Calendario"));
    calendario->addAction(itmAggiungi);
    calendario->addAction(itmRimuovi);
    calendario->addSeparator();
    calendario->addAction(itmFestivita);
    menuBar()->addAction(comandi->Azione(ComandiArchivio::Aiuto));

    QToolBar* barra = addToolBar(QStringLiteral("Calendario"));
    barra->setObjectName(QStringLiteral("tlbCalendario"));
    barra->setMovable(false);
    barra->setIconSize(QSize(24, 24));
    barra->addAction(comandi->Pulsante(ComandiArchivio::Esci));
    barra->addSeparator();
    barra->addAction(itmAggiungi);
    barra->addAction(itmRimuovi);
    barra->addAction(itmFestivita);
    barra->addSeparator();
    barra->addAction(itmStampa);
    barra->addSeparator();
    barra->addAction(comandi->Pulsante(ComandiArchivio::Aiuto));
}

void TfrmCalendario::Initialize()
{
    try {
        m_turni.PreparaCalendario();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    caricaElenco();
    const QDate oggi = m_dtm.Oggi();
    m_calendario->setSelectedDate(oggi);
    m_calendario->setCurrentPage(oggi.year(), oggi.month());
    paginaCambiata();
    giornoScelto(oggi);
}

// --- What the window shows ---------------------------------------------------------------------

void TfrmCalendario::caricaElenco()
{
    try {
        m_festivi = m_turni.Festivi();
    } catch (const ErroreDb& e) {
        m_festivi.clear();
        m_dtm.MostraErroreDb(e);
    }
    QSignalBlocker blocco(m_elenco);
    m_elenco->clear();
    for (const QDate& d : std::as_const(m_festivi)) {
        auto* it = new QListWidgetItem(testoGiorno(d), m_elenco);
        it->setData(Qt::UserRole, d);
    }
    const int riga = int(m_festivi.indexOf(m_data->date()));
    m_elenco->setCurrentRow(riga);
    segna();
}

void TfrmCalendario::segna()
{
    m_calendario->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat festivo;
    festivo.setBackground(QColor(0xFF, 0xF0, 0x40));
    for (const QDate& d : std::as_const(m_festivi))
        if (d.year() == m_calendario->yearShown() && d.month() == m_calendario->monthShown())
            m_calendario->setDateTextFormat(d, festivo);
}

void TfrmCalendario::paginaCambiata()
{
    const QString mese = italiano().standaloneMonthName(m_calendario->monthShown());
    m_mese->setText(mese.left(1).toUpper() + mese.mid(1));
    m_anno->setText(QString::number(m_calendario->yearShown()));
    segna();
}

void TfrmCalendario::cambiaMese(int mesi)
{
    const QDate primo = QDate(m_calendario->yearShown(), m_calendario->monthShown(), 1).addMonths(mesi);
    m_calendario->setCurrentPage(primo.year(), primo.month());
}

void TfrmCalendario::giornoScelto(const QDate& d)
{
    if (!d.isValid())
        return;
    if (m_data->date() != d || m_data->text() != d.toString(kFormato))
        m_data->setDate(d);
    if (m_calendario->selectedDate() != d)
        m_calendario->setSelectedDate(d);
    if (m_calendario->yearShown() != d.year() || m_calendario->monthShown() != d.month())
        m_calendario->setCurrentPage(d.year(), d.month());
    const int riga = int(m_festivi.indexOf(d));
    if (m_elenco->currentRow() != riga) {
        QSignalBlocker blocco(m_elenco);
        m_elenco->setCurrentRow(riga);
    }
}

// --- Commands -------------------------------------------------------------------------------

void TfrmCalendario::btnAggiungiClick()
{
    if (!m_data->Accetta())
        return;
    const QDate d = m_data->date();
    try {
        m_turni.AggiungiFestivo(d);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    caricaElenco();
    giornoScelto(d);
}

void TfrmCalendario::btnRimuoviClick()
{
    if (!m_data->Accetta())
        return;
    const QDate d = m_data->date();
    try {
        // A date that is no holiday has nothing to remove, and nothing to ask.
        if (!m_turni.Festivo(d) || !m_dtm.ChiediCon(Msg::SclCancella, QStringLiteral("\n\n") + testoGiorno(d)))
            return;
        m_turni.RimuoviFestivo(d);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    caricaElenco();
    giornoScelto(d);
}

void TfrmCalendario::btnFestivitaClick()
{
    const int anno = m_calendario->yearShown();
    try {
        const QList<QDate> mancanti = m_turni.FestivitaMancanti(anno);
        if (mancanti.isEmpty()) {
            m_dtm.MostraErroreCon(Msg::AvvFestivitaPresenti, QString::number(anno));
            return;
        }
        QStringList righe;
        for (const QDate& d : mancanti)
            righe.append(testoGiorno(d));
        if (!m_dtm.ChiediCon(Msg::SclFestivitaNazionali, QStringLiteral("\n\n") + righe.join(QLatin1Char('\n'))))
            return;
        m_turni.AggiungiFestivi(mancanti);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    caricaElenco();
}

void TfrmCalendario::btnStampaClick()
{
    const TRecStampa scelta = m_stampa->Esegui(kGruppoStampe);
    if (scelta.codice != Stampa::kCalendario)
        return;
    Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptCalend(m_dtm).Crea(scelta.descrizione); });
}
