#include "tfrmcaricnote.h"

#include "avanzamentodialogo.h"
#include "campodata.h"
#include "caricanote.h"
#include "cursoreattesa.h"
#include "icone.h"
#include "database.h"
#include "messaggi.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"
#include "tqalight.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kContestoAiuto = 210;
}

QString TfrmCaricNote::TabellaSelezione()
{
    return QStringLiteral("SelNote");
}

TfrmCaricNote::TfrmCaricNote(TdtmPresenze& dtm, QWidget* parent)
    : QWidget(parent), m_dtm(dtm), m_query(std::make_unique<TQALight>(dtm))
{
    setObjectName(QStringLiteral("frmCaricNote"));
    setWindowTitle(m_dtm.TestoScelta(Msg::EtCaricamentoNote));
    setWindowIcon(IconaComando(QStringLiteral("note")));
    m_query->setTempTableName(TabellaSelezione());

    auto* l = new QVBoxLayout(this);
    auto* periodo = new QHBoxLayout;
    m_dal = new CampoData(dtm, this);
    m_dal->setObjectName(QStringLiteral("edtDal"));
    m_al = new CampoData(dtm, this);
    m_al->setObjectName(QStringLiteral("edtAl"));
    auto* lblDal = new QLabel(QStringLiteral("Periodo &dal"), this);
    lblDal->setBuddy(m_dal);
    auto* lblAl = new QLabel(QStringLiteral("&al"), this);
    lblAl->setBuddy(m_al);
    periodo->addWidget(lblDal);
    periodo->addWidget(m_dal);
    periodo->addWidget(lblAl);
    periodo->addWidget(m_al);
    periodo->addStretch();
    l->addLayout(periodo);

    auto* dipendenti = new QGroupBox(QStringLiteral("Dipendenti"), this);
    auto* ld = new QHBoxLayout(dipendenti);
    m_tutti = new QRadioButton(QStringLiteral("&Tutti"), dipendenti);
    m_tutti->setObjectName(QStringLiteral("rbTutti"));
    m_selezione = new QRadioButton(QStringLiteral("&Selezione"), dipendenti);
    m_selezione->setObjectName(QStringLiteral("rbSelezione"));
    ld->addWidget(m_tutti);
    ld->addWidget(m_selezione);
    ld->addStretch();
    l->addWidget(dipendenti);

    m_chiusura = new QCheckBox(QStringLiteral("C&hiusura della giornata"), this);
    m_chiusura->setObjectName(QStringLiteral("cbChiusura"));
    m_oreMedie = new QCheckBox(QStringLiteral("Copertura Ore di Assenza con Ore &Medie"), this);
    m_oreMedie->setObjectName(QStringLiteral("cbOreMedie"));
    m_sostituisci = new QCheckBox(QStringLiteral("S&ostituzione dati presenti"), this);
    m_sostituisci->setObjectName(QStringLiteral("cbSostituisci"));
    l->addWidget(m_chiusura);
    l->addWidget(m_oreMedie);
    l->addWidget(m_sostituisci);

    auto* riga = new QHBoxLayout;
    m_nota = new QLineEdit(this);
    m_nota->setObjectName(QStringLiteral("edtNota"));
    m_nota->setMaxLength(CaricamentoNote::LunghezzaNota);
    m_nota->setMinimumWidth(360);
    auto* lblNota = new QLabel(QStringLiteral("&Nota"), this);
    lblNota->setBuddy(m_nota);
    riga->addWidget(lblNota);
    riga->addWidget(m_nota, 1);
    l->addLayout(riga);

    auto* operazione = new QGroupBox(QStringLiteral("Operazione"), this);
    auto* lo = new QHBoxLayout(operazione);
    m_annullamento = new QRadioButton(QStringLiteral("Ann&ullamento"), operazione);
    m_annullamento->setObjectName(QStringLiteral("rbAnnullamento"));
    m_caricamento = new QRadioButton(QStringLiteral("&Caricamento"), operazione);
    m_caricamento->setObjectName(QStringLiteral("rbCaricamento"));
    lo->addWidget(m_annullamento);
    lo->addWidget(m_caricamento);
    lo->addStretch();
    l->addWidget(operazione);

    auto* pulsanti = new QHBoxLayout;
    auto* esegui = new QPushButton(QStringLiteral("Esegui"), this);
    esegui->setObjectName(QStringLiteral("btnEsegui"));
    esegui->setToolTip(QStringLiteral("Esegui (F10)"));
    auto* esci = new QPushButton(QStringLiteral("&Esci"), this);
    esci->setObjectName(QStringLiteral("btnEsci"));
    auto* aiuto = new QPushButton(QStringLiteral("&?"), this);
    aiuto->setObjectName(QStringLiteral("btnAiuto"));
    pulsanti->addStretch();
    pulsanti->addWidget(esegui);
    pulsanti->addWidget(esci);
    pulsanti->addWidget(aiuto);
    l->addStretch();
    l->addLayout(pulsanti);

    auto* f10 = new QAction(this);
    f10->setShortcut(Qt::Key_F10);
    f10->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(f10);
    auto* altF4 = new QAction(this);
    altF4->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    altF4->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(altF4);

    connect(esegui, &QPushButton::clicked, this, &TfrmCaricNote::btnEseguiClick);
    connect(f10, &QAction::triggered, this, &TfrmCaricNote::btnEseguiClick);
    connect(esci, &QPushButton::clicked, this, &QWidget::close);
    connect(altF4, &QAction::triggered, this, &QWidget::close);
    connect(aiuto, &QPushButton::clicked, this, [this] { MostraAiuto(this, m_dtm, kContestoAiuto); });
    // Only a click or a key on "Selezione" opens the dialog, never a programmatic change.
    connect(m_selezione, &QRadioButton::clicked, this, &TfrmCaricNote::SelezioneClick);

    // The defaults, once: the work period, every employee, loading.
    const QDate oggi = m_dtm.Oggi();
    m_dal->setDate(m_dtm.mem().DataDa.isValid() ? m_dtm.mem().DataDa.date() : oggi);
    m_al->setDate(m_dtm.mem().DataA.isValid() ? m_dtm.mem().DataA.date() : oggi);
    m_tutti->setChecked(true);
    m_caricamento->setChecked(true);
}

TfrmCaricNote::~TfrmCaricNote() = default;

void TfrmCaricNote::SelezioneClick()
{
    const int esito = m_query->Execute(this);
    if (esito != TQALight::RisSelezione) {
        m_tutti->setChecked(true);
        m_tutti->setFocus();
    }
}

void TfrmCaricNote::btnEseguiClick()
{
    if (!m_dal->Accetta() || !m_al->Accetta())
        return;
    OpzioniNote o;
    o.Dal = m_dal->date();
    o.Al = m_al->date();
    o.Nota = m_nota->text();
    o.Chiusura = m_chiusura->isChecked();
    o.OreMedie = m_oreMedie->isChecked();
    o.Sostituisci = m_sostituisci->isChecked();
    o.Annullamento = m_annullamento->isChecked();
    if (const int errore = CaricamentoNote::Controlla(o); errore != 0) {
        m_dtm.MostraErrore(errore);
        return;
    }
    CaricamentoNote carica(m_dtm);
    EsitoNote esito;
    try {
        const QList<int> ids = carica.Dipendenti(m_selezione->isChecked() ? TabellaSelezione() : QString());
        CursoreAttesa attesa;
        AvanzamentoDialogo avanzamento(m_dtm, this);
        esito = carica.Esegui(ids, o, avanzamento);
    } catch (const ErroreSelezione& e) {
        m_dtm.MostraErroreCon(Msg::ErrSelezioneScomparsa, e.tabella());
        return;
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    if (!esito.Errore.isEmpty())
        m_dtm.MostraErroreCon(Msg::ErrCaricamentoNote, QStringLiteral("%1 (Id %2)").arg(esito.Errore).arg(esito.IdDipErrore));
}

void TfrmCaricNote::closeEvent(QCloseEvent* e)
{
    m_dtm.mem().DataDa = QDateTime(m_dal->date(), QTime(0, 0));
    m_dtm.mem().DataA = QDateTime(m_al->date(), QTime(0, 0));
    QWidget::closeEvent(e);
}
