#include "tfrmacquisizione.h"

#include "avanzamento.h"
#include "comandiarchivio.h"
#include "cursoreattesa.h"
#include "fileini.h"
#include "icone.h"
#include "importatimbrature.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
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
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTime>
#include <QVBoxLayout>

namespace {

constexpr int kAiuto = 240;  // help topic

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
    e->setMaximumWidth(40);
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

TfrmAcquisizione::TfrmAcquisizione(TdtmPresenze& dtm, const QString& cartellaApp, QWidget* parent)
    : QMainWindow(parent), m_dtm(dtm), m_cartellaApp(cartellaApp.isEmpty() ? QCoreApplication::applicationDirPath() : cartellaApp)
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
    m_paginaFile = creaPaginaFile();
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
    QAction* itmEsci = comandi->Collega(ComandiArchivio::Esci, [this] { close(); });
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(itmEsci);
    menuBar()->addAction(comandi->Azione(ComandiArchivio::Aiuto));
    connect(btnEsci, &QPushButton::clicked, this, &QWidget::close);

    MostraCartellaFile(m_cartellaApp, QStringLiteral("*"));
    caricaFormatoFile();
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
    g->addWidget(m_formatoData, 4, 2);
    etichetta(QStringLiteral("Formato"), 5, 2);
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
    FormatoFileAcq f = FormatoMostrato();
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

void TfrmAcquisizione::closeEvent(QCloseEvent* e)
{
    if (m_occupata) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}
