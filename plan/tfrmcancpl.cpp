#include "tfrmcancpl.h"

#include "avanzamentodialogo.h"
#include "campodata.h"
#include "cancelladati.h"
#include "comandiarchivio.h"
#include "copiasicurezza.h"
#include "cursoreattesa.h"
#include "icone.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kAiuto = 310;  // help topic
const QString kTabellaSelezione = QStringLiteral("SelCancella");

QRadioButton* scelta(const QString& testo, const char* nome, QWidget* genitore, QLayout* l)
{
    auto* r = new QRadioButton(testo, genitore);
    r->setObjectName(QString::fromLatin1(nome));
    l->addWidget(r);
    return r;
}

}  // namespace

TfrmCancPL::TfrmCancPL(TdtmPresenze& dtm, QWidget* parent) : QMainWindow(parent), m_dtm(dtm), m_qa(dtm)
{
    setObjectName(QStringLiteral("frmCancPL"));
    setWindowTitle(QStringLiteral("Cancellazione Dati"));
    setWindowIcon(IconaComando(QStringLiteral("cancella")));
    m_qa.setTempTableName(kTabellaSelezione);
    m_qa.setDumpTable(true);

    auto* centro = new QWidget(this);
    auto* l = new QVBoxLayout(centro);
    l->setContentsMargins(10, 10, 10, 10);

    auto* periodo = new QGroupBox(centro);
    auto* lp = new QHBoxLayout(periodo);
    m_dal = new CampoData(dtm, periodo);
    m_dal->setObjectName(QStringLiteral("edtDal"));
    m_al = new CampoData(dtm, periodo);
    m_al->setObjectName(QStringLiteral("edtAl"));
    auto* etDal = new QLabel(QStringLiteral("Periodo &dal"), periodo);
    etDal->setBuddy(m_dal);
    auto* etAl = new QLabel(QStringLiteral("&al"), periodo);
    etAl->setBuddy(m_al);
    lp->addWidget(etDal);
    lp->addWidget(m_dal);
    lp->addSpacing(12);
    lp->addWidget(etAl);
    lp->addWidget(m_al);
    lp->addStretch(1);
    l->addWidget(periodo);

    auto* riga = new QHBoxLayout;
    auto* dipendenti = new QGroupBox(QStringLiteral("Dipendenti"), centro);
    auto* ld = new QVBoxLayout(dipendenti);
    m_tutti = scelta(QStringLiteral("&Tutti"), "rbTutti", dipendenti, ld);
    m_selezione = scelta(QStringLiteral("&Selezione"), "rbSelezione", dipendenti, ld);
    ld->addStretch(1);
    auto* tipo = new QGroupBox(QStringLiteral("Tipo Cancellazione"), centro);
    auto* lt = new QVBoxLayout(tipo);
    m_completa = scelta(QStringLiteral("&Completa"), "rbCompleta", tipo, lt);
    m_piano = scelta(QStringLiteral("&Piano di Lavoro"), "rbPiano", tipo, lt);
    m_timbrature = scelta(QStringLiteral("Ti&mbrature"), "rbTimbrature", tipo, lt);
    riga->addWidget(dipendenti, 1);
    riga->addWidget(tipo, 1);
    l->addLayout(riga);

    m_copia = new QCheckBox(m_dtm.TestoScelta(Msg::EtCopiaPrima), centro);
    m_copia->setObjectName(QStringLiteral("chkCopia"));
    l->addWidget(m_copia);

    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch(1);
    auto* btnEsegui = new QPushButton(IconaComando(QStringLiteral("conferma")), QStringLiteral("Esegui"), centro);
    btnEsegui->setObjectName(QStringLiteral("btnEsegui"));
    auto* btnEsci = new QPushButton(IconaComando(QStringLiteral("esci")), QStringLiteral("&Esci"), centro);
    btnEsci->setObjectName(QStringLiteral("btnEsci"));
    pulsanti->addWidget(btnEsegui);
    pulsanti->addWidget(btnEsci);
    l->addLayout(pulsanti);
    setCentralWidget(centro);

    auto* comandi = new ComandiArchivio(this, m_dtm, kAiuto);
    QAction* itmEsci = comandi->Collega(ComandiArchivio::Esci, [this] { close(); });
    auto* itmEsegui = new QAction(IconaComando(QStringLiteral("conferma")), QStringLiteral("Esegui"), this);
    itmEsegui->setObjectName(QStringLiteral("itmEsegui"));
    itmEsegui->setShortcut(QKeySequence(Qt::Key_F10));
    itmEsegui->setShortcutContext(Qt::WindowShortcut);
    addAction(itmEsegui);
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(itmEsegui);
    file->addSeparator();
    file->addAction(itmEsci);
    menuBar()->addAction(comandi->Azione(ComandiArchivio::Aiuto));
    connect(itmEsegui, &QAction::triggered, this, &TfrmCancPL::btnEseguiClick);
    connect(btnEsegui, &QPushButton::clicked, this, &TfrmCancPL::btnEseguiClick);
    connect(btnEsci, &QPushButton::clicked, this, &QWidget::close);
    // Only the user's click opens the selection: setting the defaults never does.
    connect(m_selezione, &QRadioButton::clicked, this, &TfrmCancPL::selezioneScelta);

    // The defaults, once.
    const QDate oggi = m_dtm.Oggi();
    const QDate dal = m_dtm.mem().DataDa.isValid() ? m_dtm.mem().DataDa.date() : QDate(oggi.year(), oggi.month(), 1);
    const QDate al = m_dtm.mem().DataA.isValid() ? m_dtm.mem().DataA.date() : dal.addMonths(1).addDays(-1);
    m_dal->setDate(dal);
    m_al->setDate(al);
    m_tutti->setChecked(true);
    m_piano->setChecked(true);
    m_copia->setChecked(true);
    setMinimumSize(460, 300);
}

TfrmCancPL::~TfrmCancPL() = default;

QString TfrmCancPL::CartellaCopia(TdtmPresenze& dtm)
{
    QDir app(dtm.CartellaPriv());
    app.cdUp();
    return QDir::cleanPath(app.filePath(QStringLiteral("Copie/") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

void TfrmCancPL::CopiaDiSicurezza(TdtmPresenze& dtm, QWidget* sopra)
{
    const QString dove = QFileDialog::getExistingDirectory(sopra, dtm.TestoScelta(Msg::EtCartellaCopia), QFileInfo(CartellaCopia(dtm)).path());
    if (dove.isEmpty())
        return;
    const QString cartella = QDir(dove).filePath(QFileInfo(CartellaCopia(dtm)).fileName());
    try {
        AvanzamentoDialogo avanzamento(dtm, sopra);
        CopiaSicurezza::Salva(dtm, cartella, avanzamento, dtm.TestoScelta(Msg::EtCopiaSicurezza));
    } catch (const Migrazione::Errore& e) {
        dtm.MostraErroreCon(e.numero(), e.dettaglio());
        return;
    } catch (const ErroreDb& e) {
        dtm.MostraErroreCon(Msg::ErrCopia, e.testo());
        return;
    }
    dtm.MostraErroreCon(Msg::AvvCopiaSalvata, QDir::toNativeSeparators(cartella));
}

QString TfrmCancPL::SceltaRipristino(TdtmPresenze& dtm, QWidget* sopra)
{
    const QString copia = QFileDialog::getExistingDirectory(sopra, dtm.TestoScelta(Msg::EtRipristino), QFileInfo(CartellaCopia(dtm)).path());
    if (copia.isEmpty())
        return {};
    // A folder that is plainly not a copy is refused before the windows close; the rest is
    // checked again by the restore itself.
    if (!QFileInfo::exists(QDir(copia).filePath(QString::fromLatin1(CopiaSicurezza::kSegno)))) {
        dtm.MostraErroreCon(Msg::ErrNonCopia, QDir::toNativeSeparators(copia));
        return {};
    }
    return dtm.Chiedi(Msg::SclRipristino) ? copia : QString();
}

bool TfrmCancPL::Ripristina(TdtmPresenze& dtm, const QString& copia)
{
    try {
        AvanzamentoDialogo avanzamento(dtm, nullptr);
        CopiaSicurezza::Ripristina(dtm, copia, avanzamento, dtm.TestoScelta(Msg::EtRipristino));
    } catch (const Migrazione::Errore& e) {
        dtm.MostraErroreCon(e.numero(), e.dettaglio());
        return false;
    } catch (const ErroreDb& e) {
        dtm.MostraErroreDb(e);
        return false;
    }
    dtm.MostraErroreCon(Msg::AvvRipristinato, QDir::toNativeSeparators(copia));
    return true;
}

void TfrmCancPL::selezioneScelta()
{
    if (m_qa.Execute(this) != TQALight::RisSelezione) {
        m_tutti->setChecked(true);
        m_tutti->setFocus();
    }
}

void TfrmCancPL::btnEseguiClick()
{
    if (!m_dal->Accetta() || !m_al->Accetta())
        return;
    const QDate dal = m_dal->date(), al = m_al->date();
    if (dal > al) {
        m_dtm.MostraErrore(Msg::ErrDateCancellazione);
        return;
    }
    if (!m_dtm.Chiedi(Msg::SclCancella))
        return;
    const CancellaDati::Tipo tipo = m_completa->isChecked() ? CancellaDati::Tipo::Completa
                                    : m_piano->isChecked()  ? CancellaDati::Tipo::Piano
                                                            : CancellaDati::Tipo::Timbrature;
    QList<int> ids;
    try {
        ids = m_selezione->isChecked() ? CancellaDati::Dipendenti(m_dtm, kTabellaSelezione, true) : CancellaDati::Dipendenti(m_dtm);
    } catch (const ErroreDb& e) {
        // The selection table is gone (a new session, another window's search): say so; any
        // other failure is the database's.
        if (m_selezione->isChecked() && !m_dtm.db().tabelleEsistenti(true).contains(kTabellaSelezione, Qt::CaseInsensitive))
            m_dtm.MostraErroreCon(Msg::ErrSelezioneScomparsa, kTabellaSelezione);
        else
            m_dtm.MostraErroreDb(e);
        return;
    }
    if (m_copia->isChecked()) {
        const QString cartella = CartellaCopia(m_dtm);
        try {
            AvanzamentoDialogo avanzamento(m_dtm, this);
            CopiaSicurezza::Salva(m_dtm, cartella, avanzamento, m_dtm.TestoScelta(Msg::EtCopiaSicurezza));
        } catch (const Migrazione::Errore& e) {
            m_dtm.MostraErroreCon(Msg::ErrCopiaPrimaFallita, e.dettaglio());
            return;
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreCon(Msg::ErrCopiaPrimaFallita, e.testo());
            return;
        }
    }
    CancellaDati::Esito esito;
    {
        CursoreAttesa attesa;
        AvanzamentoDialogo avanzamento(m_dtm, this);
        esito = CancellaDati::Esegui(m_dtm, tipo, ids, dal, al, avanzamento, m_dtm.TestoScelta(Msg::EtCancellazione));
    }
    if (esito.idErrore != 0)
        m_dtm.MostraErroreCon(Msg::ErrCancellazioneInterrotta, esito.dipendente + QStringLiteral(": ") + esito.errore);
    else if (esito.annullato)
        m_dtm.MostraErrore(Msg::ErrCancellazioneAnnullata);
}

void TfrmCancPL::closeEvent(QCloseEvent* e)
{
    m_dtm.mem().DataDa = QDateTime(m_dal->date(), QTime(0, 0));
    m_dtm.mem().DataA = QDateTime(m_al->date(), QTime(0, 0));
    QMainWindow::closeEvent(e);
}
