#include "tfrmacquisizione.h"

#include "avanzamento.h"
#include "rpttimbscart.h"
#include "tdtmacquisizione.h"
#include "tfrmanteprima.h"
#include "tfrminsport.h"
#include "tfrmstampa.h"
#include "comandiarchivio.h"
#include "cursoreattesa.h"
#include "fileini.h"
#include "icone.h"
#include "importatimbrature.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTime>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kAiuto = 240;  // help topic
const QString kGruppoStampe = QStringLiteral("CS");
constexpr int kRuoloId = Qt::UserRole;
const QList<int> kVelocita{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
const QStringList kParita{QStringLiteral("N"), QStringLiteral("O"), QStringLiteral("E"), QStringLiteral("M"), QStringLiteral("S")};

QLineEdit* cifre(const char* nome, int massimo, QWidget* genitore)
{
    auto* e = new QLineEdit(genitore);
    e->setObjectName(QString::fromLatin1(nome));
    e->setMaxLength(massimo);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,%1}").arg(massimo)), e));
    return e;
}

QPushButton* pulsante(const QString& testo, const char* nome, QWidget* genitore, const QString& suggerimento = {})
{
    auto* b = new QPushButton(testo, genitore);
    b->setObjectName(QString::fromLatin1(nome));
    b->setToolTip(suggerimento);
    return b;
}

// Every selected terminal of a list, in the list's order.
QList<int> selezionati(const QListWidget& l)
{
    QList<int> ids;
    for (int i = 0; i < l.count(); ++i)
        if (l.item(i)->isSelected())
            ids << l.item(i)->data(kRuoloId).toInt();
    return ids;
}

QSpinBox* numero(const char* nome, int minimo, int massimo, QWidget* genitore)
{
    auto* s = new QSpinBox(genitore);
    s->setObjectName(QString::fromLatin1(nome));
    s->setRange(minimo, massimo);
    return s;
}

QLineEdit* carattere(const char* nome, QWidget* genitore)
{
    auto* e = new QLineEdit(genitore);
    e->setObjectName(QString::fromLatin1(nome));
    e->setMaxLength(1);
    // Wide enough for the character and the frame, never squeezed away by its neighbours.
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 3);
    return e;
}

// The page's own bar follows the import; the pending paint events run between units so
// the bar moves, while the user's input waits for the end (the import cannot be stopped).
class BarraPagina : public Avanzamento {
public:
    explicit BarraPagina(QProgressBar& barra) : m_barra(barra) {}
    void Inizia(const QString&, int massimo) override
    {
        m_barra.setRange(0, qMax(massimo, 1));
        m_barra.setValue(0);
    }
    void Valore(int valore) override { m_barra.setValue(qMin(valore, m_barra.maximum())); }
    bool Annullato() override
    {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return false;
    }
    void Termina() override { m_barra.setValue(0); }

private:
    QProgressBar& m_barra;
};

}  // namespace

// The run's messages go to the acquisition page; between polls the pending user events run,
// which is how "&Stop" reaches the loop.
class TfrmAcquisizione::Osservatore : public OsservatoreAcquisizione {
public:
    explicit Osservatore(TfrmAcquisizione& f) : m_f(f) {}
    void Stato(const QString& testo, const QString& terminale) override
    {
        m_f.m_statoRun->setText(testo);
        m_f.m_terminaleAttivo->setText(testo.isEmpty() ? QString() : terminale);
    }
    void Avviso(const QString& testo) override { m_f.avviso(testo); }
    void Interruttore(bool acceso) override { m_f.m_interruttore->setChecked(acceso); }
    void Eventi() override { QCoreApplication::processEvents(); }

private:
    TfrmAcquisizione& m_f;
};

TfrmAcquisizione::TfrmAcquisizione(TdtmPresenze& dtm, TdtmAcquisizione& acq, const LibreriaTerminali& lib, QWidget* parent)
    : QMainWindow(parent),
      m_dtm(dtm),
      m_acq(acq),
      m_lib(lib),
      m_stampa(new TfrmStampa(dtm, this))
{
    CursoreAttesa attesa;
    setObjectName(QStringLiteral("frmAcquisizione"));
    setWindowTitle(QStringLiteral("Acquisizione"));
    setWindowIcon(IconaComando(QStringLiteral("acquisizione")));

    auto* centro = new QWidget(this);
    auto* l = new QVBoxLayout(centro);
    l->setContentsMargins(6, 6, 6, 6);
    m_pagine = new QTabWidget(centro);
    m_pagine->setObjectName(QStringLiteral("pgcAcquisizione"));
    m_paginaTerminali = creaPaginaTerminali();
    m_paginaPorte = creaPaginaPorte();
    m_paginaAcquisizione = creaPaginaAcquisizione();
    m_paginaInvio = creaPaginaInvio();
    m_paginaFile = creaPaginaFile();
    m_pagine->addTab(m_paginaTerminali, QStringLiteral("&Terminali"));
    m_pagine->addTab(m_paginaPorte, QStringLiteral("&Porte"));
    m_pagine->addTab(m_paginaAcquisizione, QStringLiteral("&Acquisizione Timbrature"));
    m_pagine->addTab(m_paginaInvio, QStringLiteral("&Invio files di configurazione"));
    m_pagine->addTab(m_paginaFile, QStringLiteral("Acquisizione da &file"));
    l->addWidget(m_pagine, 1);

    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch(1);
    auto* btnEsci = new QPushButton(IconaComando(QStringLiteral("esci")), QStringLiteral("Esci"), centro);
    btnEsci->setObjectName(QStringLiteral("btnEsci"));
    pulsanti->addWidget(btnEsci);
    l->addLayout(pulsanti);
    setCentralWidget(centro);

    auto* comandi = new ComandiArchivio(this, m_dtm, kAiuto);
    QAction* itmEsci = comandi->Collega(ComandiArchivio::Esci, [this] { esci(); });
    comandi->Collega(ComandiArchivio::Stampa, [this] { btnStampaClick(); });
    comandi->RiempiMenu(menuBar(), QString());
    QToolBar* barra = addToolBar(QStringLiteral("Acquisizione"));
    barra->setObjectName(QStringLiteral("tbAcquisizione"));
    comandi->RiempiBarra(barra);
    Q_UNUSED(itmEsci);
    connect(btnEsci, &QPushButton::clicked, this, &TfrmAcquisizione::esci);

    // The preparation: stations without a kind get one, then every list is filled.
    try {
        m_acq.PreparaPostazioni();
        caricaPorte(0);
        caricaTerminali(0);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    const FormatoTransazione fmt = m_acq.CaricaFormato();
    const int valori[6] = {fmt.PosizBadge, fmt.LunghBadge, fmt.PosizVerso, fmt.PosizCausale, fmt.LunghCausale, fmt.PosizDataOra};
    for (int i = 0; i < 6; ++i)
        m_fmt[i]->setValue(valori[i]);
    m_acquisizione->selectAll();
    caricaFileConfigurazione();
    MostraCartellaFile(m_dtm.cfg().DirApplicazione, QStringLiteral("*"));
    caricaFormatoFile();
}

// Every page's tab in view at once, within a 1024 x 768 screen.
QSize TfrmAcquisizione::sizeHint() const
{
    return QMainWindow::sizeHint().expandedTo(QSize(900, 560));
}

TfrmAcquisizione::~TfrmAcquisizione() = default;

QWidget* TfrmAcquisizione::creaPaginaFile()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("tsFile"));
    auto* l = new QHBoxLayout(pagina);

    auto* formato = new QGroupBox(QStringLiteral("Formato campi"), pagina);
    auto* g = new QGridLayout(formato);
    const auto etichetta = [&](const QString& testo, int riga, int colonna) { g->addWidget(new QLabel(testo, formato), riga, colonna); };
    etichetta(QStringLiteral("Posizione"), 0, 1);
    etichetta(QStringLiteral("Lunghezza"), 0, 2);
    etichetta(QStringLiteral("Badge"), 1, 0);
    m_posizBadge = numero("sedPosizBadge", 1, 300, formato);
    m_lunghBadge = numero("sedLunghBadge", 0, 10, formato);
    g->addWidget(m_posizBadge, 1, 1);
    g->addWidget(m_lunghBadge, 1, 2);
    etichetta(QStringLiteral("Causale"), 2, 0);
    m_posizCausale = numero("sedPosizCausale", 0, 300, formato);
    m_lunghCausale = numero("sedLunghCausale", 0, 4, formato);
    g->addWidget(m_posizCausale, 2, 1);
    g->addWidget(m_lunghCausale, 2, 2);
    etichetta(QStringLiteral("Verso"), 3, 0);
    m_posizVerso = numero("sedPosizVerso", 1, 300, formato);
    g->addWidget(m_posizVerso, 3, 1);
    auto* versi = new QHBoxLayout;
    m_carIngresso = carattere("edtCarIngresso", formato);
    m_carUscita = carattere("edtCarUscita", formato);
    versi->addWidget(new QLabel(QStringLiteral("Ing."), formato));
    versi->addWidget(m_carIngresso);
    versi->addWidget(new QLabel(QStringLiteral("Usc."), formato));
    versi->addWidget(m_carUscita);
    g->addLayout(versi, 3, 2);
    etichetta(QStringLiteral("Data"), 4, 0);
    m_posizData = numero("sedPosizData", 1, 300, formato);
    g->addWidget(m_posizData, 4, 1);
    m_formatoData = new QComboBox(formato);
    m_formatoData->setObjectName(QStringLiteral("cmbFormatoData"));
    auto* data = new QHBoxLayout;
    data->addWidget(new QLabel(QStringLiteral("Formato"), formato));
    data->addWidget(m_formatoData, 1);
    g->addLayout(data, 4, 2);
    etichetta(QStringLiteral("Ora"), 6, 0);
    m_posizOra = numero("sedPosizOra", 1, 300, formato);
    m_lunghOra = numero("sedLunghOra", 0, 8, formato);
    g->addWidget(m_posizOra, 6, 1);
    g->addWidget(m_lunghOra, 6, 2);
    auto* btnFormato = new QPushButton(QStringLiteral("Salva formato campi"), formato);
    btnFormato->setObjectName(QStringLiteral("btnImpostaFormato"));
    g->addWidget(btnFormato, 7, 0, 1, 3);
    g->setRowStretch(8, 1);
    connect(btnFormato, &QPushButton::clicked, this, &TfrmAcquisizione::btnImpostaFormatoClick);
    // The whole layout stays readable: the date layouts are up to ten characters.
    m_formatoData->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_formatoData->setMinimumContentsLength(10);
    formato->setMinimumWidth(formato->sizeHint().width());
    l->addWidget(formato);

    auto* destra = new QVBoxLayout;
    m_schedeFile = new QTabWidget(pagina);
    m_schedeFile->setObjectName(QStringLiteral("pgcFile"));
    auto* selezione = new QWidget;
    auto* ls = new QVBoxLayout(selezione);
    m_fileTimb = new QListWidget(selezione);
    m_fileTimb->setObjectName(QStringLiteral("lstFileTimb"));
    ls->addWidget(m_fileTimb, 1);
    auto* btnCerca = new QPushButton(QStringLiteral("&Cerca"), selezione);
    btnCerca->setObjectName(QStringLiteral("btnCercaFileTimb"));
    btnCerca->setToolTip(QStringLiteral("Seleziona un file non presente\nnella directory Select"));
    ls->addWidget(btnCerca, 0, Qt::AlignLeft);
    m_schedeFile->addTab(selezione, QStringLiteral("Selezione file"));
    m_warningsFile = new QListWidget;
    m_warningsFile->setObjectName(QStringLiteral("lstWarningsFile"));
    m_schedeFile->addTab(m_warningsFile, QStringLiteral("Warnings"));
    destra->addWidget(m_schedeFile, 1);
    m_barraFile = new QProgressBar(pagina);
    m_barraFile->setObjectName(QStringLiteral("pbFile"));
    m_barraFile->setValue(0);
    destra->addWidget(m_barraFile);
    m_btnFileAcq = new QPushButton(QStringLiteral("Importa timbrature dal file"), pagina);
    m_btnFileAcq->setObjectName(QStringLiteral("btnFileAcq"));
    m_btnFileAcq->setEnabled(false);
    destra->addWidget(m_btnFileAcq);
    l->addLayout(destra, 1);

    connect(btnCerca, &QPushButton::clicked, this, &TfrmAcquisizione::btnCercaFileTimbClick);
    connect(m_btnFileAcq, &QPushButton::clicked, this, &TfrmAcquisizione::btnFileAcqClick);
    connect(m_fileTimb, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* i) { ScegliFileTimbrature(QDir(m_cartellaFile).filePath(i->text())); });
    return pagina;
}

void TfrmAcquisizione::caricaFormatoFile()
{
    for (const CodiceDescr& c : m_dtm.Codici(QStringLiteral("Costanti8"), QStringLiteral("TData"), QStringLiteral("TDataCod")))
        m_formatoData->addItem(c.descr);
    m_formatoData->setCurrentIndex(-1);
    // The fields start from the layout of a plain punch file; PRES.INI overrides key by key.
    FormatoFileAcq f;
    FormatoFile::Carica(m_dtm.ini(), f);
    MostraFormato(f);
    // Told once at opening, so the user does not learn of it only when an import does nothing.
    if (const FormatoFile::Verifica v = FormatoFile::Controlla(FormatoMostrato()); v != FormatoFile::Corretto)
        m_dtm.MostraErroreCon(Msg::ErrTracciatoFile, QStringLiteral(": ") + m_dtm.TestoErrore(FormatoFile::Messaggio(v)));
}

FormatoFileAcq TfrmAcquisizione::FormatoMostrato() const
{
    FormatoFileAcq f;
    f.PosizBadge = m_posizBadge->value();
    f.LunghBadge = m_lunghBadge->value();
    f.PosizCausale = m_posizCausale->value();
    f.LunghCausale = m_lunghCausale->value();
    f.PosizVerso = m_posizVerso->value();
    f.CarIngresso = m_carIngresso->text();
    f.CarUscita = m_carUscita->text();
    f.PosizData = m_posizData->value();
    f.FormatoData = m_formatoData->currentIndex() < 0 ? QString() : m_formatoData->currentText();
    f.PosizOra = m_posizOra->value();
    f.LunghOra = m_lunghOra->value();
    return f;
}

void TfrmAcquisizione::MostraFormato(const FormatoFileAcq& f)
{
    m_posizBadge->setValue(f.PosizBadge);
    m_lunghBadge->setValue(f.LunghBadge);
    m_posizCausale->setValue(f.PosizCausale);
    m_lunghCausale->setValue(f.LunghCausale);
    m_posizVerso->setValue(f.PosizVerso);
    m_carIngresso->setText(f.CarIngresso);
    m_carUscita->setText(f.CarUscita);
    m_posizData->setValue(f.PosizData);
    m_formatoData->setCurrentIndex(m_formatoData->findText(f.FormatoData));
    m_posizOra->setValue(f.PosizOra);
    m_lunghOra->setValue(f.LunghOra);
}

void TfrmAcquisizione::btnImpostaFormatoClick()
{
    const FormatoFileAcq f = FormatoMostrato();
    if (const FormatoFile::Verifica v = FormatoFile::Controlla(f); v != FormatoFile::Corretto) {
        m_dtm.MostraErrore(FormatoFile::Messaggio(v));
        return;
    }
    try {
        FormatoFile::Salva(m_dtm.ini(), f);
    } catch (const ErroreIni& e) {
        m_dtm.MostraErroreCon(Msg::ErrIni, e.dettaglio());
    }
}

void TfrmAcquisizione::MostraCartellaFile(const QString& cartella, const QString& maschera, const QString& file)
{
    m_cartellaFile = cartella;
    m_fileTimb->clear();
    QDir d(cartella);
    d.setNameFilters({maschera});
    d.setFilter(QDir::Files);
    d.setSorting(QDir::Name | QDir::IgnoreCase);
    m_fileTimb->addItems(d.entryList());
    if (!file.isEmpty()) {
        const QList<QListWidgetItem*> trovati = m_fileTimb->findItems(QFileInfo(file).fileName(), Qt::MatchExactly);
        if (!trovati.isEmpty())
            m_fileTimb->setCurrentItem(trovati.first());
    }
}

void TfrmAcquisizione::ScegliFileTimbrature(const QString& percorso)
{
    m_fileScelto = percorso;
    m_btnFileAcq->setText(QStringLiteral("Importa timbrature dal file ") + QFileInfo(percorso).fileName());
    m_btnFileAcq->setEnabled(true);
}

void TfrmAcquisizione::btnCercaFileTimbClick()
{
    const QString tutti = QStringLiteral("All files (*.*)");
    const QString esportati = m_dtm.cfg().NomeProg + QStringLiteral(" exp. files (*.dat *.DAT)");
    QString filtro;
    const QString file = QFileDialog::getOpenFileName(this, QString(), m_cartellaFile, tutti + QStringLiteral(";;") + esportati, &filtro);
    if (file.isEmpty())
        return;
    MostraCartellaFile(QFileInfo(file).absolutePath(), filtro == esportati ? QStringLiteral("*.DAT") : QStringLiteral("*"), file);
    ScegliFileTimbrature(file);
}

void TfrmAcquisizione::avvisoFile(const QString& testo)
{
    m_warningsFile->addItem(QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat) + QStringLiteral(": "));
    m_warningsFile->addItem(testo);
    m_warningsFile->scrollToBottom();
}

void TfrmAcquisizione::btnFileAcqClick()
{
    const FormatoFileAcq f = FormatoMostrato();
    // A wrong layout was told at opening and by "Salva formato campi": here nothing happens.
    if (m_fileScelto.isEmpty() || FormatoFile::Controlla(f) != FormatoFile::Corretto)
        return;
    m_schedeFile->setCurrentIndex(1);
    m_occupata = true;
    EsitoImportTimbrature e;
    bool dbFallito = false;
    {
        CursoreAttesa attesa;
        BarraPagina barra(*m_barraFile);
        try {
            ImportaTimbrature importa(m_dtm, f);
            e = importa.Importa(m_fileScelto, barra);
        } catch (const ErroreDb& x) {
            m_occupata = false;
            m_dtm.MostraErroreDb(x);
            dbFallito = true;
        }
    }
    m_occupata = false;
    if (dbFallito)
        return;
    if (e.letturaFallita)
        avvisoFile(m_dtm.TestoErrore(Msg::ErrFileTimbrature));
    for (const AvvisoImport& a : std::as_const(e.avvisi))
        avvisoFile(QStringLiteral(" %1 %2: %3").arg(m_dtm.TestoScelta(Msg::EtRiga)).arg(a.riga).arg(m_dtm.TestoErrore(a.codice)));
    if (e.rigaDataInesistente) {
        // The conversion error that ends the import, with the line that raised it.
        m_dtm.MostraErroreCon(Msg::ErrDataInesistente, QString::number(e.rigaDataInesistente));
        return;
    }
    if (e.letturaFallita || !e.avvisi.isEmpty()) {
        avvisoFile(m_dtm.TestoErrore(Msg::ErrImportTimbrature));
        m_dtm.MostraErrore(Msg::ErrImportTimbrature);
    }
}

// --- "&Terminali" -----------------------------------------------------------------------

QWidget* TfrmAcquisizione::creaPaginaTerminali()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("tsTerminali"));
    auto* l = new QHBoxLayout(pagina);

    auto* sinistra = new QVBoxLayout;
    m_terminali = new QListWidget(pagina);
    m_terminali->setObjectName(QStringLiteral("lstTerminali"));
    m_terminali->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    auto* et = new QLabel(QStringLiteral("Terminali:"), pagina);
    et->setBuddy(m_terminali);
    sinistra->addWidget(et);
    sinistra->addWidget(m_terminali, 1);
    auto* comandi = new QHBoxLayout;
    auto* btnInsert = pulsante(QStringLiteral("&Inserisci nuovo"), "btnInsert", pagina);
    auto* btnElimina = pulsante(QStringLiteral("&Elimina "), "btnElimina", pagina);
    comandi->addWidget(btnInsert);
    comandi->addWidget(btnElimina);
    sinistra->addLayout(comandi);
    l->addLayout(sinistra, 1);

    m_dettagliTerminale = new QWidget(pagina);
    auto* d = new QVBoxLayout(m_dettagliTerminale);
    d->setContentsMargins(0, 0, 0, 0);
    auto* tipo = new QGroupBox(QStringLiteral("Tipo di terminale"), m_dettagliTerminale);
    auto* lt = new QVBoxLayout(tipo);
    // Only the supported model can be chosen; nothing stores the choice.
    const bool azienda = !m_dtm.cfg().Azienda.isEmpty();
    auto* modelloA = new QRadioButton(azienda ? QStringLiteral("Pelago S / Pelago M") : QStringLiteral("Norvik A"), tipo);
    modelloA->setObjectName(QStringLiteral("rbModelloA"));
    modelloA->setChecked(true);
    auto* modelloB = new QRadioButton(QStringLiteral("Norvik B"), tipo);
    modelloB->setObjectName(QStringLiteral("rbModelloB"));
    modelloB->setEnabled(false);
    modelloB->setVisible(!azienda);
    lt->addWidget(modelloA);
    lt->addWidget(modelloB);
    d->addWidget(tipo);

    auto* collegamento = new QGroupBox(QStringLiteral("Collegamento"), m_dettagliTerminale);
    auto* lc = new QHBoxLayout(collegamento);
    m_locale = new QRadioButton(QStringLiteral("Locale"), collegamento);
    m_locale->setObjectName(QStringLiteral("rbLocale"));
    m_remoto = new QRadioButton(QStringLiteral("Remoto"), collegamento);
    m_remoto->setObjectName(QStringLiteral("rbRemoto"));
    lc->addWidget(m_locale);
    lc->addWidget(m_remoto);
    lc->addStretch(1);
    d->addWidget(collegamento);

    auto* g = new QGridLayout;
    m_porta = new QComboBox(m_dettagliTerminale);
    m_porta->setObjectName(QStringLiteral("cmbPorta"));
    for (int p = 1; p <= 4; ++p)
        m_porta->addItem(QString::number(p), p);
    auto* etPorta = new QLabel(QStringLiteral("Porta (COM):"), m_dettagliTerminale);
    etPorta->setBuddy(m_porta);
    g->addWidget(etPorta, 0, 0);
    g->addWidget(m_porta, 0, 1);
    m_indirizzo = numero("sedIndirizzo", 0, 15, m_dettagliTerminale);
    auto* etIndirizzo = new QLabel(QStringLiteral("Indirizzo terminale"), m_dettagliTerminale);
    etIndirizzo->setBuddy(m_indirizzo);
    g->addWidget(etIndirizzo, 1, 0);
    g->addWidget(m_indirizzo, 1, 1);
    d->addLayout(g);

    m_telefono = new QWidget(m_dettagliTerminale);
    auto* lf = new QGridLayout(m_telefono);
    lf->setContentsMargins(0, 0, 0, 0);
    m_numero = cifre("edtNumero", 16, m_telefono);
    auto* etNumero = new QLabel(QStringLiteral("Numero telefonico"), m_telefono);
    etNumero->setBuddy(m_numero);
    lf->addWidget(etNumero, 0, 0);
    lf->addWidget(m_numero, 0, 1);
    m_centralino = new QCheckBox(QStringLiteral("Usa centralino"), m_telefono);
    m_centralino->setObjectName(QStringLiteral("chkCentralino"));
    m_prefisso = cifre("edtPrefisso", 3, m_telefono);
    m_prefisso->setMaximumWidth(60);
    lf->addWidget(m_centralino, 1, 0);
    lf->addWidget(m_prefisso, 1, 1, Qt::AlignLeft);
    d->addWidget(m_telefono);
    d->addStretch(1);
    l->addWidget(m_dettagliTerminale, 1);

    connect(btnInsert, &QPushButton::clicked, this, &TfrmAcquisizione::btnInsertClick);
    connect(btnElimina, &QPushButton::clicked, this, &TfrmAcquisizione::btnEliminaClick);
    connect(m_terminali, &QListWidget::currentRowChanged, this, [this] { mostraTerminale(); });
    connect(m_terminali, &QListWidget::itemChanged, this, [this](QListWidgetItem* i) {
        if (m_caricamento)
            return;
        const int id = i->data(kRuoloId).toInt();
        const QString nome = i->text().left(40);
        if (esegui([&] { m_acq.RinominaTerminale(id, nome); }))
            caricaTerminali(id);
    });
    connect(m_locale, &QRadioButton::clicked, this, [this] { collegamentoScelto(false); });
    connect(m_remoto, &QRadioButton::clicked, this, [this] { collegamentoScelto(true); });
    connect(m_porta, &QComboBox::activated, this, [this] { risolviPostazione(); });
    connect(m_numero, &QLineEdit::editingFinished, this, [this] { risolviPostazione(); });
    connect(m_prefisso, &QLineEdit::editingFinished, this, [this] { risolviPostazione(); });
    connect(m_centralino, &QCheckBox::toggled, m_prefisso, &QWidget::setEnabled);
    connect(m_indirizzo, &QSpinBox::valueChanged, this, &TfrmAcquisizione::indirizzoCambiato);
    return pagina;
}

bool TfrmAcquisizione::esegui(const std::function<void()>& cambia)
{
    try {
        cambia();
        return true;
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return false;
    }
}

int TfrmAcquisizione::TerminaleCorrente() const
{
    const QListWidgetItem* i = m_terminali->currentItem();
    return i ? i->data(kRuoloId).toInt() : 0;
}

void TfrmAcquisizione::ScegliTerminale(int id)
{
    for (int r = 0; r < m_terminali->count(); ++r)
        if (m_terminali->item(r)->data(kRuoloId).toInt() == id)
            m_terminali->setCurrentRow(r);
}

// The three terminal lists show the same rows; the acquisition list keeps its selection.
void TfrmAcquisizione::caricaTerminali(int corrente)
{
    const QList<DatiTerminale> terminali = m_acq.Terminali();
    const QList<int> scelti = selezionati(*m_acquisizione);
    const int invio = m_invio->currentItem() ? m_invio->currentItem()->data(kRuoloId).toInt() : 0;
    m_caricamento = true;
    for (QListWidget* l : {m_terminali, m_acquisizione, m_invio}) {
        QSignalBlocker blocco(l);
        l->clear();
        for (const DatiTerminale& t : terminali) {
            auto* i = new QListWidgetItem(t.descr, l);
            i->setData(kRuoloId, t.id);
            if (l == m_terminali)
                i->setFlags(i->flags() | Qt::ItemIsEditable);
            if (l == m_acquisizione)
                i->setSelected(scelti.contains(t.id));
            if (l == m_invio && t.id == invio)
                l->setCurrentItem(i);
        }
    }
    m_caricamento = false;
    if (m_invio->currentRow() < 0 && m_invio->count() > 0)
        m_invio->setCurrentRow(0);
    int riga = m_terminali->count() > 0 ? 0 : -1;
    for (int r = 0; r < m_terminali->count(); ++r)
        if (m_terminali->item(r)->data(kRuoloId).toInt() == corrente)
            riga = r;
    {
        QSignalBlocker blocco(m_terminali);
        m_terminali->setCurrentRow(riga);
    }
    mostraTerminale();
}

void TfrmAcquisizione::mostraTerminale()
{
    const int id = TerminaleCorrente();
    std::optional<DatiTerminale> t;
    std::optional<DatiPostazione> p;
    try {
        if (id)
            t = m_acq.Terminale(id);
        if (t && t->idPostaz)
            p = m_acq.Postazione(t->idPostaz);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    m_caricamento = true;
    const QSignalBlocker b1(m_indirizzo), b2(m_porta), b3(m_centralino);
    m_dettagliTerminale->setEnabled(p.has_value());
    m_indirizzo->setValue(t ? t->indirizzoTerminale() : 0);
    const bool remoto = p && p->remota();
    m_remoto->setChecked(remoto);
    m_locale->setChecked(!remoto);
    m_telefono->setVisible(remoto);
    m_porta->setCurrentIndex(p ? m_porta->findData(p->idCom) : 0);
    const Telefono tel = Telefono::Dividi(p ? p->telNo : QString());
    m_numero->setText(tel.numero);
    m_centralino->setChecked(tel.centralino);
    m_prefisso->setText(tel.prefisso);
    m_prefisso->setEnabled(tel.centralino);
    m_caricamento = false;
}

void TfrmAcquisizione::collegamentoScelto(bool remoto)
{
    const int id = TerminaleCorrente();
    if (!id)
        return;
    esegui([&] { m_acq.ImpostaCollegamento(id, remoto); });
    mostraTerminale();
}

void TfrmAcquisizione::risolviPostazione()
{
    const int id = TerminaleCorrente();
    if (!id || m_caricamento)
        return;
    Telefono tel;
    tel.centralino = m_centralino->isChecked();
    tel.prefisso = m_prefisso->text();
    tel.numero = m_numero->text();
    const bool remoto = m_remoto->isChecked();
    const int porta = m_porta->currentData().toInt();
    // Leaving an empty number resolves nothing: the fields keep what the user typed.
    std::optional<int> cambiata;
    if (!esegui([&] { cambiata = m_acq.RisolviPostazione(id, porta, remoto, tel.Unisci()); }) || cambiata)
        mostraTerminale();
}

void TfrmAcquisizione::indirizzoCambiato(int indirizzo)
{
    const int id = TerminaleCorrente();
    if (!id || m_caricamento)
        return;
    bool fatto = false;
    if (esegui([&] { fatto = m_acq.ImpostaIndirizzo(id, indirizzo); }) && !fatto)
        m_dtm.MostraErrore(Msg::ErrIndirizzoOccupato);
    if (!fatto)
        mostraTerminale();
}

void TfrmAcquisizione::btnInsertClick()
{
    int id = 0;
    try {
        CursoreAttesa attesa;
        id = m_acq.NuovoTerminale();
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    // Sixteen terminals already use the local station of port 1.
    if (!id)
        m_dtm.MostraErrore(Msg::ErrNessunIndirizzoLibero);
    caricaTerminali(id);
}

void TfrmAcquisizione::btnEliminaClick()
{
    const int id = TerminaleCorrente();
    if (!id || !m_dtm.Chiedi(Msg::SclCancella))
        return;
    esegui([&] { m_acq.EliminaTerminale(id); });
    caricaTerminali(0);
}

// --- "&Porte" ---------------------------------------------------------------------------

QWidget* TfrmAcquisizione::creaPaginaPorte()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("tsPorte"));
    auto* l = new QHBoxLayout(pagina);
    auto* sinistra = new QVBoxLayout;
    m_porte = new QListWidget(pagina);
    m_porte->setObjectName(QStringLiteral("lstPorte"));
    auto* et = new QLabel(QStringLiteral("Porte:"), pagina);
    et->setBuddy(m_porte);
    sinistra->addWidget(et);
    sinistra->addWidget(m_porte, 1);
    auto* comandi = new QHBoxLayout;
    auto* btnIns = pulsante(QStringLiteral("&Inserisci nuova"), "btnInsPorta", pagina);
    auto* btnDel = pulsante(QStringLiteral("&Elimina "), "btnDelPorta", pagina);
    comandi->addWidget(btnIns);
    comandi->addWidget(btnDel);
    sinistra->addLayout(comandi);
    l->addLayout(sinistra, 1);

    m_dettagliPorta = new QGroupBox(QStringLiteral("Impostazioni"), pagina);
    auto* g = new QGridLayout(m_dettagliPorta);
    const auto riga = [&](const QString& testo, QWidget* campo, int r) {
        auto* e = new QLabel(testo, m_dettagliPorta);
        e->setBuddy(campo);
        g->addWidget(e, r, 0);
        g->addWidget(campo, r, 1);
    };
    m_baud = new QComboBox(m_dettagliPorta);
    m_baud->setObjectName(QStringLiteral("cmbBaud"));
    for (int v : kVelocita)
        m_baud->addItem(QString::number(v), v);
    riga(QStringLiteral("Velocità (baud)"), m_baud, 0);
    m_bitDati = new QComboBox(m_dettagliPorta);
    m_bitDati->setObjectName(QStringLiteral("cmbBitDati"));
    m_bitDati->addItem(QStringLiteral("7"), 7);
    m_bitDati->addItem(QStringLiteral("8"), 8);
    riga(QStringLiteral("Bit di dati"), m_bitDati, 1);
    m_bitStop = new QComboBox(m_dettagliPorta);
    m_bitStop->setObjectName(QStringLiteral("cmbBitStop"));
    m_bitStop->addItem(QStringLiteral("1"), 1);
    m_bitStop->addItem(QStringLiteral("2"), 2);
    riga(QStringLiteral("Bit di stop"), m_bitStop, 2);
    m_parita = new QComboBox(m_dettagliPorta);
    m_parita->setObjectName(QStringLiteral("cmbParita"));
    const QStringList nomi{QStringLiteral("Nessuna"), QStringLiteral("Dispari"), QStringLiteral("Pari"), QStringLiteral("Mark"), QStringLiteral("Spazio")};
    for (int i = 0; i < kParita.size(); ++i)
        m_parita->addItem(nomi.at(i), kParita.at(i));
    riga(QStringLiteral("Parità"), m_parita, 3);
    m_stringaModem = new QLineEdit(m_dettagliPorta);
    m_stringaModem->setObjectName(QStringLiteral("edtModString"));
    m_stringaModem->setMaxLength(255);
    riga(QStringLiteral("Stringa modem"), m_stringaModem, 4);
    g->setRowStretch(5, 1);
    l->addWidget(m_dettagliPorta, 1);

    connect(btnIns, &QPushButton::clicked, this, &TfrmAcquisizione::btnInsPortaClick);
    connect(btnDel, &QPushButton::clicked, this, &TfrmAcquisizione::btnDelPortaClick);
    connect(m_porte, &QListWidget::currentRowChanged, this, [this] { mostraPorta(); });
    for (QComboBox* c : {m_baud, m_bitDati, m_bitStop, m_parita})
        connect(c, &QComboBox::activated, this, &TfrmAcquisizione::postaPorta);
    connect(m_stringaModem, &QLineEdit::editingFinished, this, &TfrmAcquisizione::postaPorta);
    return pagina;
}

int TfrmAcquisizione::PortaCorrente() const
{
    const QListWidgetItem* i = m_porte->currentItem();
    return i ? i->data(kRuoloId).toInt() : 0;
}

void TfrmAcquisizione::caricaPorte(int corrente)
{
    const QList<DatiPorta> porte = m_acq.Porte();
    {
        QSignalBlocker blocco(m_porte);
        m_porte->clear();
        for (const DatiPorta& p : porte) {
            auto* i = new QListWidgetItem(p.descr(), m_porte);
            i->setData(kRuoloId, p.id);
            if (p.id == corrente)
                m_porte->setCurrentItem(i);
        }
        if (m_porte->currentRow() < 0 && m_porte->count() > 0)
            m_porte->setCurrentRow(0);
    }
    mostraPorta();
}

void TfrmAcquisizione::mostraPorta()
{
    std::optional<DatiPorta> p;
    if (const int id = PortaCorrente())
        esegui([&] { p = m_acq.Porta(id); });
    m_dettagliPorta->setEnabled(p.has_value());
    const DatiPorta d = p.value_or(DatiPorta{});
    m_baud->setCurrentIndex(m_baud->findData(d.baudRate));
    m_bitDati->setCurrentIndex(m_bitDati->findData(d.bitNo));
    m_bitStop->setCurrentIndex(m_bitStop->findData(d.stopBit));
    m_parita->setCurrentIndex(m_parita->findData(d.parity));
    m_stringaModem->setText(d.modString);
    m_stringaModem->setModified(false);
}

void TfrmAcquisizione::postaPorta()
{
    const int id = PortaCorrente();
    if (!id)
        return;
    DatiPorta p;
    p.id = id;
    p.baudRate = m_baud->currentData().toInt();
    p.bitNo = m_bitDati->currentData().toInt();
    p.stopBit = m_bitStop->currentData().toInt();
    p.parity = m_parita->currentData().toString();
    p.modString = m_stringaModem->text();
    std::optional<DatiPorta> prima;
    esegui([&] { prima = m_acq.Porta(id); });
    if (prima && *prima != p && esegui([&] { m_acq.AggiornaPorta(p); }))
        m_stringaModem->setModified(false);
}

void TfrmAcquisizione::btnInsPortaClick()
{
    QList<int> mancanti;
    if (!esegui([&] { mancanti = m_acq.PorteMancanti(); }) || mancanti.isEmpty())
        return;
    TfrmInsPort dialogo(mancanti, this);
    if (dialogo.exec() != QDialog::Accepted)
        return;
    const int id = dialogo.Scelta();
    if (esegui([&] { m_acq.InserisciPorta(id); }))
        caricaPorte(id);
}

void TfrmAcquisizione::btnDelPortaClick()
{
    const int id = PortaCorrente();
    if (!id || !m_dtm.Chiedi(Msg::SclCancella))
        return;
    // A port the database or a station keeps stays, silently.
    esegui([&] { m_acq.EliminaPorta(id); });
    caricaPorte(0);
}

// --- "&Acquisizione Timbrature" ---------------------------------------------------------

QWidget* TfrmAcquisizione::creaPaginaAcquisizione()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("tsAcquisizione"));
    auto* l = new QHBoxLayout(pagina);

    m_schedeAcq = new QTabWidget(pagina);
    m_schedeAcq->setObjectName(QStringLiteral("pgcAcq"));
    auto* elenco = new QWidget;
    auto* le = new QVBoxLayout(elenco);
    m_acquisizione = new QListWidget(elenco);
    m_acquisizione->setObjectName(QStringLiteral("lstAcquisizione"));
    m_acquisizione->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* et = new QLabel(QStringLiteral("Terminali disponibili:"), elenco);
    et->setBuddy(m_acquisizione);
    le->addWidget(et);
    le->addWidget(m_acquisizione, 1);
    m_schedeAcq->addTab(elenco, QStringLiteral("Terminali"));

    auto* formato = new QWidget;
    auto* g = new QGridLayout(formato);
    const char* nomi[6] = {"sedTrPosizBadge", "sedTrLunghBadge", "sedTrPosizVerso", "sedTrPosizCausale", "sedTrLunghCausale", "sedTrPosizDataOra"};
    const QStringList titoli{QStringLiteral("Posizione badge"), QStringLiteral("Lunghezza badge"), QStringLiteral("Posizione verso"),
                             QStringLiteral("Posizione causale"), QStringLiteral("Lunghezza causale"), QStringLiteral("Posizione data e ora")};
    const int minimi[6] = {1, 0, 1, 0, 0, 1};
    const int massimi[6] = {300, 10, 300, 300, 4, 300};
    for (int i = 0; i < 6; ++i) {
        m_fmt[i] = numero(nomi[i], minimi[i], massimi[i], formato);
        auto* e = new QLabel(titoli.at(i), formato);
        e->setBuddy(m_fmt[i]);
        g->addWidget(e, i, 0);
        g->addWidget(m_fmt[i], i, 1);
    }
    auto* btnFmt = pulsante(QStringLiteral("Salva formato transazione"), "btnFmtTrans", formato);
    g->addWidget(btnFmt, 6, 0, 1, 2);
    g->setRowStretch(7, 1);
    m_schedeAcq->addTab(formato, QStringLiteral("Formato transazione"));
    l->addWidget(m_schedeAcq, 1);

    auto* destra = new QVBoxLayout;
    auto* comandi = new QHBoxLayout;
    m_btnAvvia = pulsante(QStringLiteral("&Avvia"), "btnAvvia", pagina, QStringLiteral("Avvia l'acquisizione\nsui terminali selezionati"));
    m_btnStop = pulsante(QStringLiteral("&Stop"), "btnStopAcq", pagina, QStringLiteral("Ferma l'acquisizione"));
    m_btnSync = pulsante(QStringLiteral("S&ync"), "btnSync", pagina, QStringLiteral("Sincronizza tutti i terminali\nselezionati"));
    comandi->addWidget(m_btnAvvia);
    comandi->addWidget(m_btnStop);
    comandi->addWidget(m_btnSync);
    comandi->addStretch(1);
    destra->addLayout(comandi);
    auto* stato = new QGridLayout;
    m_terminaleAttivo = new QLineEdit(pagina);
    m_terminaleAttivo->setObjectName(QStringLiteral("edtTerminaleAttivo"));
    m_terminaleAttivo->setReadOnly(true);
    m_interruttore = new QCheckBox(pagina);
    m_interruttore->setObjectName(QStringLiteral("chkAttivo"));
    // Shown, never operated: it follows the run.
    m_interruttore->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_interruttore->setFocusPolicy(Qt::NoFocus);
    m_statoRun = new QLineEdit(pagina);
    m_statoRun->setObjectName(QStringLiteral("edtStato"));
    m_statoRun->setReadOnly(true);
    stato->addWidget(new QLabel(QStringLiteral("Terminale attivo"), pagina), 0, 0);
    stato->addWidget(m_terminaleAttivo, 0, 1);
    stato->addWidget(m_interruttore, 0, 2);
    stato->addWidget(new QLabel(QStringLiteral("Stato"), pagina), 1, 0);
    stato->addWidget(m_statoRun, 1, 1, 1, 2);
    destra->addLayout(stato);
    m_warnings = new QListWidget(pagina);
    m_warnings->setObjectName(QStringLiteral("lstWarnings"));
    auto* etw = new QLabel(QStringLiteral("Warnings"), pagina);
    etw->setBuddy(m_warnings);
    destra->addWidget(etw);
    destra->addWidget(m_warnings, 1);
    l->addLayout(destra, 2);

    connect(btnFmt, &QPushButton::clicked, this, &TfrmAcquisizione::btnFmtTransClick);
    connect(m_btnAvvia, &QPushButton::clicked, this, &TfrmAcquisizione::btnAvviaClick);
    connect(m_btnStop, &QPushButton::clicked, this, &TfrmAcquisizione::btnStopAcqClick);
    connect(m_btnSync, &QPushButton::clicked, this, &TfrmAcquisizione::btnSyncClick);
    connect(m_schedeAcq, &QTabWidget::currentChanged, this, [this](int i) {
        if (i == 1)
            m_fmt[0]->setFocus();
    });
    return pagina;
}

void TfrmAcquisizione::avviso(const QString& testo)
{
    m_warnings->addItem(QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat) + QStringLiteral(": ") + testo);
    m_warnings->scrollToBottom();
}

void TfrmAcquisizione::btnFmtTransClick()
{
    FormatoTransazione f;
    f.PosizBadge = m_fmt[0]->value();
    f.LunghBadge = m_fmt[1]->value();
    f.PosizVerso = m_fmt[2]->value();
    f.PosizCausale = m_fmt[3]->value();
    f.LunghCausale = m_fmt[4]->value();
    f.PosizDataOra = m_fmt[5]->value();
    try {
        m_acq.SalvaFormato(f);
    } catch (const ErroreIni& e) {
        m_dtm.MostraErroreCon(Msg::ErrIni, e.dettaglio());
    }
}

void TfrmAcquisizione::occupa(bool occupata, QWidget* pagina)
{
    m_occupata = occupata;
    m_btnAvvia->setEnabled(!occupata);
    m_btnSync->setEnabled(!occupata);
    m_btnInvia->setEnabled(!occupata);
    for (QWidget* p : {m_paginaTerminali, m_paginaPorte, m_paginaAcquisizione, m_paginaInvio, m_paginaFile})
        if (p != pagina)
            m_pagine->setTabEnabled(m_pagine->indexOf(p), !occupata);
}

void TfrmAcquisizione::btnAvviaClick()
{
    if (m_occupata)
        return;
    const QList<int> ids = selezionati(*m_acquisizione);
    occupa(true, m_paginaAcquisizione);
    Osservatore oss(*this);
    try {
        m_acq.Acquisisci(m_lib, ids, oss);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    occupa(false, m_paginaAcquisizione);
}

void TfrmAcquisizione::btnStopAcqClick()
{
    m_acq.RichiediStop();
}

void TfrmAcquisizione::btnSyncClick()
{
    if (m_occupata)
        return;
    const QList<int> ids = selezionati(*m_acquisizione);
    occupa(true, m_paginaAcquisizione);
    Osservatore oss(*this);
    try {
        m_acq.Sincronizza(m_lib, ids, oss);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    occupa(false, m_paginaAcquisizione);
}

void TfrmAcquisizione::btnStampaClick()
{
    const TRecStampa scelta = m_stampa->Esegui(kGruppoStampe);
    if (scelta.codice != Stampa::kTimbScartate)
        return;
    bool righe = false;
    if (!esegui([&] { righe = m_acq.CiSonoTimbratureScartate(); }) || !righe)
        return;
    Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptTimbScart(m_dtm).Crea(scelta.descrizione); });
    if (m_dtm.Chiedi(Msg::SclSvuotaScartate))
        esegui([&] { m_acq.SvuotaTimbratureScartate(); });
}

// --- "&Invio files di configurazione" ---------------------------------------------------

QWidget* TfrmAcquisizione::creaPaginaInvio()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("tsInvio"));
    auto* l = new QHBoxLayout(pagina);
    auto* sinistra = new QVBoxLayout;
    m_invio = new QListWidget(pagina);
    m_invio->setObjectName(QStringLiteral("lstInvio"));
    auto* et = new QLabel(QStringLiteral("Terminali disponibili:"), pagina);
    et->setBuddy(m_invio);
    sinistra->addWidget(et);
    sinistra->addWidget(m_invio, 1);
    l->addLayout(sinistra, 1);

    auto* destra = new QVBoxLayout;
    auto* selezione = new QGroupBox(QStringLiteral("Selezione del file da inviare"), pagina);
    auto* ls = new QVBoxLayout(selezione);
    m_fileConfig = new QListWidget(selezione);
    m_fileConfig->setObjectName(QStringLiteral("lstFileConfig"));
    ls->addWidget(m_fileConfig, 1);
    auto* btnBrowse = pulsante(QStringLiteral("&Cerca"), "btnBrowse", selezione, QStringLiteral("Seleziona un file non presente\nnella directory Select"));
    ls->addWidget(btnBrowse, 0, Qt::AlignLeft);
    destra->addWidget(selezione, 1);
    m_fileInvio = new QLineEdit(pagina);
    m_fileInvio->setObjectName(QStringLiteral("edtFileInvio"));
    destra->addWidget(m_fileInvio);
    m_btnInvia = pulsante(QStringLiteral("I&nvia la configurazione"), "btnSend", pagina, QStringLiteral("Invia il file selezionato \nal terminale"));
    destra->addWidget(m_btnInvia);
    l->addLayout(destra, 2);

    connect(btnBrowse, &QPushButton::clicked, this, &TfrmAcquisizione::btnBrowseClick);
    connect(m_btnInvia, &QPushButton::clicked, this, &TfrmAcquisizione::btnSendClick);
    connect(m_fileConfig, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* i) {
        if (i)
            m_fileInvio->setText(QDir(m_cartellaConfig).filePath(i->text()));
    });
    connect(m_fileConfig, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) { apriFileConfigurazione(i->text()); });
    return pagina;
}

void TfrmAcquisizione::caricaFileConfigurazione()
{
    m_cartellaConfig = m_acq.CartellaConfigurazione();
    QDir d(m_cartellaConfig);
    d.setFilter(QDir::Files);
    d.setSorting(QDir::Name | QDir::IgnoreCase);
    const QSignalBlocker blocco(m_fileConfig);
    m_fileConfig->clear();
    m_fileConfig->addItems(d.entryList());
}

// The user's own editor, or the desktop's choice for the file; the path goes as one
// argument, never through a shell, so no name can run anything.
void TfrmAcquisizione::apriFileConfigurazione(const QString& nome)
{
    const QString file = QDir(m_cartellaConfig).filePath(nome);
    const QStringList comando = TdtmAcquisizione::ComandoEditor(file);
    if (!comando.isEmpty())
        QProcess::startDetached(comando.first(), comando.mid(1));
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void TfrmAcquisizione::btnBrowseClick()
{
    const QString file = QFileDialog::getOpenFileName(this, QString(), m_cartellaConfig, QStringLiteral("All files (*.*)"));
    if (file.isEmpty())
        return;
    if (!TdtmAcquisizione::FileCombinato(file)) {
        m_fileInvio->setText(file);
        return;
    }
    CursoreAttesa attesa;
    Osservatore oss(*this);
    m_acq.DividiFileCombinato(file, oss);
    caricaFileConfigurazione();
}

void TfrmAcquisizione::btnSendClick()
{
    const QString file = m_fileInvio->text().trimmed();
    const QListWidgetItem* t = m_invio->currentItem();
    if (file.isEmpty() || !t || m_occupata)
        return;
    CursoreAttesa attesa;
    occupa(true, m_paginaInvio);
    Osservatore oss(*this);
    try {
        m_acq.InviaConfigurazione(m_lib, t->data(kRuoloId).toInt(), file, oss);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    occupa(false, m_paginaInvio);
}

// Edits in progress are posted before the window goes: moving the focus commits the name
// being typed in the terminal list, and the port's fields are posted.
void TfrmAcquisizione::esci()
{
    m_terminali->setFocus();
    m_porte->setFocus();
    postaPorta();
    close();
}

void TfrmAcquisizione::closeEvent(QCloseEvent* e)
{
    if (m_occupata) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}
