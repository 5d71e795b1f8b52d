#include "tfrmpresenti.h"

#include "campodata.h"
#include "campoora.h"
#include "cursoreattesa.h"
#include "icone.h"
#include "messaggi.h"
#include "tdtmpresenze.h"
#include "tdtmturni.h"
#include "tfrmaiuto.h"
#include "tfrmtabpres.h"
#include "tqalight.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QString tabellaSelezione()
{
    return QStringLiteral("SelPresenti");
}
}  // namespace

TfrmPresenti::TfrmPresenti(TdtmPresenze& dtm, QWidget* parent)
    : QDialog(parent), m_dtm(dtm), m_query(std::make_unique<TQALight>(dtm))
{
    setObjectName(QStringLiteral("frmPresenti"));
    setWindowTitle(QStringLiteral("Gestione presenti/assenti"));
    setWindowIcon(IconaComando(QStringLiteral("presenti")));
    setModal(true);
    m_query->setTempTableName(tabellaSelezione());
    m_apriTabellone = [this](const ParametriTabellone& p) { apriTabellone(p); };

    auto* l = new QVBoxLayout(this);
    auto* riga = new QHBoxLayout;
    m_data = new CampoData(dtm, this);
    m_data->setObjectName(QStringLiteral("edtData"));
    auto* lblData = new QLabel(QStringLiteral("&Data"), this);
    lblData->setBuddy(m_data);
    m_giorno = new QLineEdit(this);
    m_giorno->setObjectName(QStringLiteral("edtGiorno"));
    m_giorno->setReadOnly(true);
    m_giorno->setFocusPolicy(Qt::NoFocus);
    m_giorno->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("Mercoledì")) + 16);
    riga->addWidget(lblData);
    riga->addWidget(m_data);
    riga->addWidget(m_giorno);
    riga->addStretch();
    l->addLayout(riga);

    auto* vista = new QGroupBox(QStringLiteral("Visualizzazione"), this);
    auto* lv = new QGridLayout(vista);
    m_oraria = new QRadioButton(QStringLiteral("&Oraria"), vista);
    m_oraria->setObjectName(QStringLiteral("rbOraria"));
    m_fascia = new QRadioButton(QStringLiteral("&Per Fascia"), vista);
    m_fascia->setObjectName(QStringLiteral("rbFascia"));
    m_ora = new CampoOra(dtm, vista);
    m_ora->setObjectName(QStringLiteral("edtOra"));
    m_dalle = new CampoOra(dtm, vista);
    m_dalle->setObjectName(QStringLiteral("edtDalle"));
    m_alle = new CampoOra(dtm, vista);
    m_alle->setObjectName(QStringLiteral("edtAlle"));
    const auto etichetta = [vista](const char16_t* testo, QWidget* campo) {
        auto* e = new QLabel(QString::fromUtf16(testo), vista);
        e->setBuddy(campo);
        return e;
    };
    lv->addWidget(m_oraria, 0, 0);
    lv->addWidget(etichetta(u"O&ra", m_ora), 0, 1);
    lv->addWidget(m_ora, 0, 2);
    lv->addWidget(m_fascia, 1, 0);
    lv->addWidget(etichetta(u"Da&lle", m_dalle), 1, 1);
    lv->addWidget(m_dalle, 1, 2);
    lv->addWidget(etichetta(u"&Alle", m_alle), 1, 3);
    lv->addWidget(m_alle, 1, 4);
    lv->setColumnStretch(5, 1);
    l->addWidget(vista);

    auto* categorie = new QGroupBox(QStringLiteral("Categorie"), this);
    auto* lc = new QHBoxLayout(categorie);
    m_presenti = new QCheckBox(QStringLiteral("Pr&esenti"), categorie);
    m_presenti->setObjectName(QStringLiteral("cbPresenti"));
    m_assenti = new QCheckBox(QStringLiteral("Asse&nti"), categorie);
    m_assenti->setObjectName(QStringLiteral("cbAssenti"));
    lc->addWidget(m_presenti);
    lc->addWidget(m_assenti);
    lc->addStretch();
    l->addWidget(categorie);

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

    auto* pulsanti = new QHBoxLayout;
    auto* esegui = new QPushButton(QStringLiteral("Esegui"), this);
    esegui->setObjectName(QStringLiteral("btnEsegui"));
    esegui->setDefault(true);
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

    auto* altF4 = new QAction(this);
    altF4->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    addAction(altF4);
    auto* f1 = new QAction(this);
    f1->setShortcut(Qt::Key_F1);
    addAction(f1);

    connect(esegui, &QPushButton::clicked, this, &TfrmPresenti::btnEseguiClick);
    connect(esci, &QPushButton::clicked, this, &QDialog::reject);
    connect(altF4, &QAction::triggered, this, &QDialog::reject);
    connect(aiuto, &QPushButton::clicked, this, [this] { MostraAiuto(this, m_dtm, kContestoAiuto); });
    connect(f1, &QAction::triggered, this, [this] { MostraAiuto(this, m_dtm, kContestoAiuto); });
    connect(m_oraria, &QRadioButton::toggled, this, &TfrmPresenti::aggiornaVista);
    connect(m_data, &CampoData::dateChanged, this, &TfrmPresenti::aggiornaGiorno);
    // At least one category stays ticked: unticking the last one ticks the other.
    connect(m_presenti, &QCheckBox::toggled, this, [this](bool acceso) {
        if (!acceso && !m_assenti->isChecked())
            m_assenti->setChecked(true);
    });
    connect(m_assenti, &QCheckBox::toggled, this, [this](bool acceso) {
        if (!acceso && !m_presenti->isChecked())
            m_presenti->setChecked(true);
    });
    // Only a click or a key on "Selezione" opens the dialog, never a programmatic change.
    connect(m_selezione, &QRadioButton::clicked, this, &TfrmPresenti::SelezioneClick);
    const auto unOra = [](CampoOra* c) { return [c] { return c->Ora().isValid() ? 0 : int(Msg::ErrDatoMancante); }; };
    m_ora->setControllo(unOra(m_ora), false);
    m_dalle->setControllo(unOra(m_dalle), false);
    m_alle->setControllo([this] { return controllaAlle(); }, true);

    m_data->setDate(m_dtm.mem().DataDa.isValid() ? m_dtm.mem().DataDa.date() : m_dtm.Oggi());
    // The band ends now and starts 48 seconds earlier, which in hours and minutes is most
    // often the same minute: the user is expected to type the start.
    const QTime adesso = QTime::currentTime();
    m_ora->setOra(adesso);
    m_alle->setOra(adesso);
    m_dalle->setOra(adesso.addSecs(-48));
    m_oraria->setChecked(true);
    m_presenti->setChecked(true);
    m_assenti->setChecked(true);
    m_tutti->setChecked(true);
    aggiornaVista();
    aggiornaGiorno();
}

TfrmPresenti::~TfrmPresenti()
{
    if (m_data->date().isValid())
        m_dtm.mem().DataDa = QDateTime(m_data->date(), QTime(0, 0));
}

int TfrmPresenti::controllaAlle() const
{
    const QTime alle = m_alle->Ora();
    if (!alle.isValid())
        return Msg::ErrDatoMancante;
    const QTime dalle = m_dalle->Ora();
    return dalle.isValid() && alle <= dalle ? int(Msg::ErrOraNonSuccessiva) : 0;
}

void TfrmPresenti::aggiornaVista()
{
    const bool oraria = m_oraria->isChecked();
    m_ora->setEnabled(oraria);
    m_dalle->setEnabled(!oraria);
    m_alle->setEnabled(!oraria);
}

void TfrmPresenti::aggiornaGiorno()
{
    const QDate d = m_data->date();
    m_giorno->setText(d.isValid() ? TdtmTurni::NomeGiorno(d.dayOfWeek() % 7 + 1) : QString());
}

void TfrmPresenti::SelezioneClick()
{
    if (m_query->Execute(this) != TQALight::RisSelezione) {
        m_tutti->setChecked(true);
        m_tutti->setFocus();
    }
}

ParametriTabellone TfrmPresenti::Parametri() const
{
    ParametriTabellone p;
    p.Data = m_data->date();
    p.Fascia = m_fascia->isChecked();
    p.Ora = m_ora->Ora();
    p.Dalle = m_dalle->Ora();
    p.Alle = m_alle->Ora();
    p.Presenti = m_presenti->isChecked();
    p.Assenti = m_assenti->isChecked();
    if (m_selezione->isChecked())
        p.Selezione = tabellaSelezione();
    return p;
}

void TfrmPresenti::btnEseguiClick()
{
    if (!m_data->Accetta())
        return;
    const ParametriTabellone p = Parametri();
    if (p.Fascia) {
        if (!p.Dalle.isValid() || !p.Alle.isValid()) {
            m_dtm.MostraErrore(Msg::ErrDatoMancante);
            (p.Dalle.isValid() ? m_alle : m_dalle)->setFocus();
            return;
        }
        if (p.Alle <= p.Dalle) {
            m_dtm.MostraErrore(Msg::ErrOraNonSuccessiva);
            m_alle->setFocus();
            return;
        }
    } else if (!p.Ora.isValid()) {
        m_dtm.MostraErrore(Msg::ErrDatoMancante);
        m_ora->setFocus();
        return;
    }
    m_apriTabellone(p);
}

void TfrmPresenti::apriTabellone(const ParametriTabellone& p)
{
    std::unique_ptr<TfrmTabPres> tabellone;
    {
        CursoreAttesa attesa;
        tabellone = std::make_unique<TfrmTabPres>(m_dtm, p, this);
    }
    tabellone->exec();
}
