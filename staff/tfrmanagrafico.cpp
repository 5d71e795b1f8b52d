#include "tfrmanagrafico.h"

#include "messaggi.h"

#include "avanzamentodialogo.h"
#include "comandiarchivio.h"
#include "cursoreattesa.h"
#include "icone.h"
#include "importadipendenti.h"
#include "rptanag.h"
#include "tdtmpresenze.h"
#include "tfrmanagedit.h"
#include "tfrmanteprima.h"
#include "tfrmstampa.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSet>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>

namespace {

enum ColonnaElenco { ColMatricola, ColCognome, ColNome };

QLineEdit* valore(const char* nome, int caratteri, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(nome));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * caratteri + 16);
    return e;
}

OrdineAnag ordineDa(const QString& sortFields)
{
    if (sortFields == QLatin1String("Matricola"))
        return OrdineAnag::Matricola;
    if (sortFields == QLatin1String("Libero"))
        return OrdineAnag::Libero;
    return OrdineAnag::Nominativo;
}

// The refused values a message box can hold; the rest are counted.
constexpr int kRifiutatiMostrati = 15;

}  // namespace

TfrmAnagrafico::TfrmAnagrafico(TdtmAnagrafico& anag, QWidget* parent)
    : QMainWindow(parent), m_anag(anag), m_dtm(anag.dtm()), m_qa(anag.dtm())
{
    setObjectName(QStringLiteral("frmAnagrafico"));
    setWindowTitle(QStringLiteral("Anagrafico"));
    setWindowIcon(IconaComando(QStringLiteral("dipendenti")));

    // The register's own search: employees of the production database, copied into TAnagCk
    // of the work database, the dialog and its conditions kept between uses.
    m_qa.setDataBaseName(QStringLiteral("DBPresenze"));
    m_qa.setTempDataBaseName(QStringLiteral("DBPresUt"));
    m_qa.setTempTableName(QStringLiteral("TAnagCk"));
    m_qa.setDumpTable(true);
    m_qa.setAutoReset(false);
    m_qa.setFreeDialog(false);
    m_qa.setStartOnSearchPage(true);
    m_qa.setClassTypeFilter(ClasseRicerca::ctEmployees);
    m_qa.setDumpMode(ModoCopia::dmDefault);

    m_comandi = new ComandiArchivio(this, m_dtm, kContestoAiuto);
    m_comandi->Collega(ComandiArchivio::Esci, [this] { btnEsciClick(); });
    m_comandi->Collega(ComandiArchivio::Stampa, [this] { itmStampaClick(); });
    m_comandi->Collega(ComandiArchivio::Inserisci, [this] { btnInserisciClick(); });
    m_comandi->Collega(ComandiArchivio::Modifica, [this] { btnModificaClick(); });
    m_comandi->Collega(ComandiArchivio::Cancella, [this] { btnDeleteClick(); });
    QMenu* archivio = m_comandi->RiempiMenu(menuBar(), QStringLiteral("&Dipendenti"));
    auto* itmRicerca = new QAction(IconaComando(QStringLiteral("seleziona")), QStringLiteral("Selezio&na..."), this);
    itmRicerca->setObjectName(QStringLiteral("itmRicerca"));
    itmRicerca->setToolTip(QStringLiteral("Seleziona"));
    itmRicerca->setShortcut(QKeySequence(Qt::Key_F8));
    itmRicerca->setShortcutContext(Qt::WindowShortcut);
    addAction(itmRicerca);
    connect(itmRicerca, &QAction::triggered, this, &TfrmAnagrafico::btnRicercaClick);
    auto* itmImporta = new QAction(IconaComando(QStringLiteral("importa")), QStringLiteral("Importa da &file..."), this);
    itmImporta->setObjectName(QStringLiteral("itmImporta"));
    itmImporta->setToolTip(QStringLiteral("Importa da file"));
    connect(itmImporta, &QAction::triggered, this, &TfrmAnagrafico::itmImportaClick);
    archivio->addSeparator();
    archivio->addAction(itmRicerca);
    archivio->addAction(itmImporta);
    QToolBar* barra = addToolBar(QStringLiteral("Anagrafico"));
    barra->setObjectName(QStringLiteral("tbAnagrafico"));
    barra->setMovable(false);
    m_comandi->RiempiBarra(barra);
    // Beside Stampa: the list's own commands.
    QAction* primaDiStampa = m_comandi->Pulsante(ComandiArchivio::Stampa);
    barra->insertAction(primaDiStampa, itmRicerca);
    barra->insertAction(primaDiStampa, itmImporta);
    barra->insertSeparator(primaDiStampa);

    auto* centro = new QWidget(this);
    auto* l = new QHBoxLayout(centro);
    l->setContentsMargins(8, 8, 8, 8);
    l->setSpacing(10);

    auto* tabella = new QGroupBox(QStringLiteral("Dipendenti"), centro);
    m_modello = new QStandardItemModel(0, 3, this);
    m_modello->setHorizontalHeaderLabels({QStringLiteral("Matricola"), QStringLiteral("Cognome"), QStringLiteral("Nome")});
    m_griglia = new QTableView(tabella);
    m_griglia->setObjectName(QStringLiteral("grdAnagrafico"));
    m_griglia->setModel(m_modello);
    AspettoGriglia(m_griglia, m_dtm.cfg());
    QHeaderView* titoli = m_griglia->horizontalHeader();
    titoli->setSectionResizeMode(ColMatricola, QHeaderView::ResizeToContents);
    titoli->setSectionResizeMode(ColCognome, QHeaderView::Stretch);
    titoli->setSectionResizeMode(ColNome, QHeaderView::Stretch);
    titoli->setSectionsClickable(true);
    titoli->setSortIndicatorShown(true);
    connect(titoli, &QHeaderView::sectionClicked, this, &TfrmAnagrafico::ordina);
    m_griglia->setMinimumWidth(m_griglia->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 26);
    m_comandi->ModificaAlDoppioClic(m_griglia);
    connect(m_griglia->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TfrmAnagrafico::wwTblAnagraficoAfterScroll);
    auto* lt = new QVBoxLayout(tabella);
    lt->addWidget(m_griglia);
    l->addWidget(tabella, 1);

    // The current employee, as the editor shows him.
    auto* dettagli = new QGroupBox(QStringLiteral("Dettagli"), centro);
    dettagli->setObjectName(QStringLiteral("grpDettagli"));
    m_badge = valore("edtBadge", 10, dettagli);
    m_assunzione = valore("edtAssunzione", 10, dettagli);
    m_licenziamento = valore("edtLicenziamento", 10, dettagli);
    m_reparto = valore("edtReparto", 24, dettagli);
    m_qualifica = valore("edtQualifica", 24, dettagli);
    m_livello = valore("edtLivello", 20, dettagli);
    m_turno = valore("edtTurno", 24, dettagli);
    m_festivo = valore("edtFestivo", 24, dettagli);
    m_autorizzato = new QCheckBox(QStringLiteral("Autorizzato agli straordinari"), dettagli);
    m_autorizzato->setObjectName(QStringLiteral("chkAutorizzato"));
    m_autorizzato->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_autorizzato->setFocusPolicy(Qt::NoFocus);
    m_note = new QPlainTextEdit(dettagli);
    m_note->setObjectName(QStringLiteral("memNote"));
    m_note->setReadOnly(true);
    m_note->setFocusPolicy(Qt::NoFocus);
    auto* g = new QGridLayout(dettagli);
    int riga = 0;
    for (const auto& [testo, campo] : {std::pair{QStringLiteral("Numero badge"), m_badge}, {QStringLiteral("Assunzione"), m_assunzione},
                                       {QStringLiteral("Licenziamento"), m_licenziamento}, {QStringLiteral("Reparto"), m_reparto},
                                       {QStringLiteral("Qualifica"), m_qualifica}, {QStringLiteral("Livello"), m_livello},
                                       {QStringLiteral("Turno orario"), m_turno}, {QStringLiteral("Orario festivo"), m_festivo}}) {
        g->addWidget(new QLabel(testo, dettagli), riga, 0);
        g->addWidget(campo, riga++, 1);
    }
    g->addWidget(m_autorizzato, riga++, 1);
    g->addWidget(new QLabel(QStringLiteral("Note"), dettagli), riga, 0, Qt::AlignTop);
    g->addWidget(m_note, riga, 1);
    g->setRowStretch(riga, 1);
    l->addWidget(dettagli, 1);
    setCentralWidget(centro);
    resize(820, 520);

    titoli->setSortIndicator(ColCognome, Qt::AscendingOrder);
    Initialize();
}

void TfrmAnagrafico::Initialize(int id)
{
    try {
        m_elenco = m_anag.Elenco(m_ordine, m_soloSelezione);
    } catch (const ErroreDb& e) {
        m_elenco.clear();
        m_dtm.MostraErroreDb(e);
    }
    m_modello->removeRows(0, m_modello->rowCount());
    int corrente = 0;
    for (int r = 0; r < m_elenco.size(); ++r) {
        const DatiDipendente& d = m_elenco.at(r);
        QList<QStandardItem*> celle;
        for (const QString& t : {d.Matricola, d.Cognome, d.Nome}) {
            auto* c = new QStandardItem(t);
            c->setEditable(false);
            celle << c;
        }
        m_modello->appendRow(celle);
        if (d.Id == id)
            corrente = r;
    }
    if (!m_elenco.isEmpty())
        m_griglia->setCurrentIndex(m_modello->index(corrente, ColCognome));
    wwTblAnagraficoAfterScroll();
}

void TfrmAnagrafico::MostraSelezione()
{
    m_soloSelezione = true;
    m_ordine = OrdineAnag::Nominativo;
    m_griglia->horizontalHeader()->setSortIndicator(ColCognome, Qt::AscendingOrder);
    Initialize();
}

int TfrmAnagrafico::rigaCorrente() const
{
    const int r = m_griglia->currentIndex().row();
    return r >= 0 && r < m_elenco.size() ? r : -1;
}

const DatiDipendente* TfrmAnagrafico::Corrente() const
{
    const int r = rigaCorrente();
    return r < 0 ? nullptr : &m_elenco.at(r);
}

void TfrmAnagrafico::wwTblAnagraficoAfterScroll()
{
    const DatiDipendente* d = Corrente();
    const QString formato = QStringLiteral("dd/MM/yyyy");
    m_badge->setText(d ? d->Codice : QString());
    m_assunzione->setText(d ? d->DataAssunz.toString(formato) : QString());
    m_licenziamento->setText(d ? d->DataLicenz.toString(formato) : QString());
    m_reparto->setText(d ? d->DescrPianta : QString());
    m_qualifica->setText(d ? d->DescrRuolo : QString());
    m_livello->setText(d ? d->Libero : QString());
    m_turno->setText(d ? d->DescrTurno : QString());
    m_festivo->setText(d ? d->DescrOrFest : QString());
    m_autorizzato->setChecked(d && d->ConProfilo && d->Autorizzato);
    m_note->setPlainText(d ? d->Note : QString());
    for (ComandiArchivio::Comando c : {ComandiArchivio::Modifica, ComandiArchivio::Cancella})
        m_comandi->Azione(c)->setEnabled(d != nullptr);
}

void TfrmAnagrafico::ordina(int colonna)
{
    m_ordine = colonna == ColMatricola ? OrdineAnag::Matricola : OrdineAnag::Nominativo;
    // One order per column: the arrow shows which, never a descending one.
    m_griglia->horizontalHeader()->setSortIndicator(colonna == ColMatricola ? ColMatricola : ColCognome, Qt::AscendingOrder);
    const DatiDipendente* d = Corrente();
    Initialize(d ? d->Id : 0);
}

void TfrmAnagrafico::btnEsciClick()
{
    close();
}

void TfrmAnagrafico::itmStampaClick()
{
    TfrmStampa dialogo(m_dtm, this);
    const TRecStampa scelta = dialogo.Esegui(QStringLiteral("CD"));
    if (scelta.codice == Stampa::kElencoDipendenti)
        Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptAnag(m_anag).Crea(scelta.descrizione); });
    else if (scelta.codice == Stampa::kElencoDipendentiNote)
        Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptAnagN(m_anag).Crea(scelta.descrizione); });
}

void TfrmAnagrafico::apriEditor(const DatiDipendente& d)
{
    const DatiDipendente* c = Corrente();
    const int corrente = c ? c->Id : 0;
    TfrmAnagEdit editor(m_anag, d, this);
    const bool confermato = editor.exec() == QDialog::Accepted;
    // A new employee confirmed from a selection is shown among the others.
    if (confermato && d.Id == 0)
        m_soloSelezione = false;
    // Read again either way: the editor may have found the employee deleted elsewhere.
    Initialize(confermato ? editor.Id() : corrente);
}

void TfrmAnagrafico::btnInserisciClick()
{
    apriEditor(m_anag.Nuovo());
}

void TfrmAnagrafico::btnModificaClick()
{
    const DatiDipendente* c = Corrente();
    if (!c)
        return;
    std::optional<DatiDipendente> d;
    try {
        d = m_anag.Leggi(c->Id);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    if (!d) {
        m_dtm.MostraErrore(Msg::ErrDipendenteScomparso);
        Initialize();
        return;
    }
    apriEditor(*d);
}

void TfrmAnagrafico::btnDeleteClick()
{
    const DatiDipendente* d = Corrente();
    if (!d)
        return;
    const int riga = rigaCorrente();
    int errore = 0;
    try {
        const CursoreAttesa attesa;
        errore = m_anag.Cancella(d->Id);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    if (errore)
        m_dtm.MostraErrore(errore);
    // The row that took its place stays current.
    const int seguente = riga + 1 < m_elenco.size() ? m_elenco.at(riga + 1).Id : (riga > 0 ? m_elenco.at(riga - 1).Id : 0);
    Initialize(seguente);
}

void TfrmAnagrafico::btnRicercaClick()
{
    const int esito = m_qa.Execute(this);
    if (esito == TQALight::RisAnnullato)
        return;
    m_soloSelezione = esito == TQALight::RisSelezione;
    m_ordine = ordineDa(m_qa.SortFields());
    m_griglia->horizontalHeader()->setSortIndicator(m_ordine == OrdineAnag::Matricola ? ColMatricola : ColCognome, Qt::AscendingOrder);
    // The first employee chosen in the search is current.
    const QList<int> scelti = m_qa.Ricerca().IdScelti();
    Initialize(scelti.isEmpty() ? 0 : scelti.first());
}

void TfrmAnagrafico::itmImportaClick()
{
    const QString file = QFileDialog::getOpenFileName(this, m_dtm.TestoScelta(Msg::EtImportaDaFile), QDir::homePath(),
                                                      QStringLiteral("File CSV (*.csv *.txt);;Tutti i file (*)"));
    if (!file.isEmpty())
        Importa(file);
}

void TfrmAnagrafico::Importa(const QString& file)
{
    QFile f(file);
    QByteArray dati;
    if (f.open(QIODevice::ReadOnly))
        dati = f.readAll();
    if (!f.isOpen() || f.error() != QFileDevice::NoError) {
        m_dtm.MostraErroreCon(Msg::ErrImportLettura, QDir::toNativeSeparators(file));
        return;
    }
    ImportaDipendenti importa(m_anag);
    EsitoImportazione e;
    try {
        AvanzamentoDialogo avanzamento(m_dtm, this);
        e = importa.Importa(dati, avanzamento);
    } catch (const ErroreDb& err) {
        m_dtm.MostraErroreDb(err);
        return;
    }
    if (e.annullato) {
        m_dtm.MostraErrore(Msg::ErrImportAnnullato);
        return;
    }
    if (!e.ok()) {
        QSet<int> righe;
        QStringList testi;
        for (const ValoreRifiutato& r : std::as_const(e.rifiutati)) {
            righe.insert(r.riga);
            if (testi.size() < kRifiutatiMostrati)
                testi << importa.Descrivi(r);
        }
        if (e.rifiutati.size() > kRifiutatiMostrati)
            testi << QStringLiteral("... (+%1)").arg(e.rifiutati.size() - kRifiutatiMostrati);
        if (righe.contains(0))
            m_dtm.MostraErrore(e.rifiutati.constFirst().errore);
        else
            m_dtm.MostraErroreCon(Msg::ErrImportRifiutato, QString::number(righe.size()) + QLatin1Char('\n') + testi.join(QLatin1Char('\n')));
        return;
    }
    // The imported employees among all the others.
    m_soloSelezione = false;
    const DatiDipendente* c = Corrente();
    Initialize(c ? c->Id : 0);
}
