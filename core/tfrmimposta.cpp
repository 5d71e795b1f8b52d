#include "tfrmimposta.h"

#include "messaggi.h"

#include "campodata.h"
#include "cursoreattesa.h"
#include "evidenzia.h"
#include "icone.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPushButton* pulsante(const QString& testo, const QString& nome, const QString& icona, QWidget* parent)
{
    auto* b = new QPushButton(IconaComando(icona), testo, parent);
    b->setObjectName(nome);
    b->setAutoDefault(false);
    b->setIconSize(QSize(18, 18));
    b->setMinimumWidth(96);
    return b;
}

QLineEdit* campoTesto(const QString& nome, const QString& campo, int lunghezza, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(nome);
    e->setProperty("campo", campo);
    e->setMaxLength(lunghezza);
    return e;
}

}  // namespace

TfrmImposta::TfrmImposta(TdtmPresenze& dtm, TdtmUtil& util, QWidget* parent) : QDialog(parent), m_dtm(dtm), m_util(util)
{
    setObjectName(QStringLiteral("frmImposta"));
    setWindowTitle(QStringLiteral("Impostazioni"));
    setWindowIcon(IconaComando(QStringLiteral("impostazioni")));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // --- Menu --------------------------------------------------------------------------
    auto* menu = new QMenuBar(this);
    QMenu* mnuFile = menu->addMenu(QStringLiteral("&File"));
    QAction* itmEsci = mnuFile->addAction(QStringLiteral("&Esci"));
    itmEsci->setObjectName(QStringLiteral("itmEsci"));
    itmEsci->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    QAction* itmAiuto = menu->addAction(QStringLiteral("&?"));
    itmAiuto->setObjectName(QStringLiteral("itmAiuto"));
    connect(itmEsci, &QAction::triggered, this, &TfrmImposta::btnEsciClick);
    connect(itmAiuto, &QAction::triggered, this, &TfrmImposta::btnHelpClick);

    // --- Azienda -----------------------------------------------------------------------
    auto* pagAzienda = new QWidget;
    m_ragSoc = campoTesto(QStringLiteral("edtRagSoc"), QStringLiteral("Aziende.RagSoc"), 60, pagAzienda);
    m_descr = campoTesto(QStringLiteral("edtDescr"), QStringLiteral("Aziende.Descr"), 30, pagAzienda);
    m_codAzEst = campoTesto(QStringLiteral("edtCodAzEst"), QStringLiteral("Aziende.CodAzEst"), 20, pagAzienda);
    m_ragSoc->setMinimumWidth(360);
    m_codAzEst->setMaximumWidth(200);
    auto* fAzienda = new QFormLayout(pagAzienda);
    fAzienda->setContentsMargins(16, 16, 16, 16);
    fAzienda->setVerticalSpacing(10);
    fAzienda->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto riga = [&](const QString& etichetta, QLineEdit* e) {
        auto* l = new QLabel(etichetta, pagAzienda);
        l->setBuddy(e);
        fAzienda->addRow(l, e);
    };
    riga(QStringLiteral("Ragione Sociale"), m_ragSoc);
    riga(QStringLiteral("Descrizione"), m_descr);
    riga(QStringLiteral("Codice Azienda Esterno"), m_codAzEst);

    // --- Colori ------------------------------------------------------------------------
    auto* pagColori = new QWidget;
    m_colori = new QListWidget(pagColori);
    m_colori->setObjectName(QStringLiteral("lstColori"));
    m_colori->setMaximumWidth(240);
    m_colore = new QFrame(pagColori);
    m_colore->setObjectName(QStringLiteral("pnlColore"));
    m_colore->setFrameShape(QFrame::Box);
    m_colore->setLineWidth(1);
    m_colore->setFixedSize(120, 64);
    m_colore->setAutoFillBackground(true);
    m_cambia = pulsante(QStringLiteral("&Cambia"), QStringLiteral("btnCambia"), QString(), pagColori);
    m_cambia->setMinimumWidth(120);
    auto* colonna = new QVBoxLayout;
    colonna->addWidget(m_colore);
    colonna->addSpacing(8);
    colonna->addWidget(m_cambia);
    colonna->addStretch();
    auto* hColori = new QHBoxLayout(pagColori);
    hColori->setContentsMargins(16, 16, 16, 16);
    hColori->setSpacing(20);
    hColori->addWidget(m_colori, 1);
    hColori->addLayout(colonna);
    hColori->addStretch();
    connect(m_colori, &QListWidget::currentRowChanged, this, &TfrmImposta::lstColoriChange);
    connect(m_cambia, &QPushButton::clicked, this, &TfrmImposta::btnCambiaClick);

    // --- Data Installazione ------------------------------------------------------------
    auto* pagData = new QWidget;
    m_data = new CampoData(m_dtm, pagData);
    m_data->setObjectName(QStringLiteral("dtpDataInst"));
    m_data->setProperty("campo", QStringLiteral("ConfigGen.DataInst"));
    auto* lblData = new QLabel(QStringLiteral("Data di installazione del prodotto:"), pagData);
    lblData->setBuddy(m_data);
    auto* hData = new QHBoxLayout;
    hData->setSpacing(12);
    hData->addWidget(lblData);
    hData->addWidget(m_data);
    hData->addStretch();
    auto* vData = new QVBoxLayout(pagData);
    vData->setContentsMargins(16, 16, 16, 16);
    vData->addLayout(hData);
    vData->addStretch();

    // --- Elaborazione ------------------------------------------------------------------
    m_paginaElaborazione = new QWidget;
    m_paginaElaborazione->setObjectName(QStringLiteral("pagElaborazione"));
    m_anomAssenza = new QCheckBox(QStringLiteral("Genera &Anomalia per Assenza"), m_paginaElaborazione);
    m_anomAssenza->setObjectName(QStringLiteral("chkAnomAssenza"));
    m_calcolaAssenza = new QCheckBox(QStringLiteral("&Calcola Ore di Assenza"), m_paginaElaborazione);
    m_calcolaAssenza->setObjectName(QStringLiteral("chkCalcolaAssenza"));
    m_calcolaStraord = new QCheckBox(QStringLiteral("Differenzia Ore di &Straordinario"), m_paginaElaborazione);
    m_calcolaStraord->setObjectName(QStringLiteral("chkCalcolaStraord"));
    auto* vElab = new QVBoxLayout(m_paginaElaborazione);
    vElab->setContentsMargins(16, 16, 16, 16);
    vElab->setSpacing(10);
    vElab->addWidget(m_anomAssenza);
    vElab->addWidget(m_calcolaAssenza);
    vElab->addWidget(m_calcolaStraord);
    vElab->addStretch();

    m_pagine = new QTabWidget(this);
    m_pagine->setObjectName(QStringLiteral("pgcImposta"));
    m_pagine->addTab(pagAzienda, QStringLiteral("&Azienda"));
    m_pagine->addTab(pagColori, QStringLiteral("&Colori"));
    m_pagine->addTab(pagData, QStringLiteral("&Data Installazione"));
    m_pagine->addTab(m_paginaElaborazione, QStringLiteral("&Elaborazione"));
    connect(m_pagine, &QTabWidget::currentChanged, this, &TfrmImposta::pgcImpostaChange);

    // --- Commands ----------------------------------------------------------------------
    // Alt letters that no page, tab or menu of the window uses.
    m_btnModifica = pulsante(QStringLiteral("&Modifica"), QStringLiteral("btnModifica"), QStringLiteral("modifica"), this);
    m_btnConferma = pulsante(QStringLiteral("C&onferma"), QStringLiteral("btnConferma"), QStringLiteral("conferma"), this);
    m_btnAnnulla = pulsante(QStringLiteral("A&nnulla"), QStringLiteral("btnAnnulla"), QStringLiteral("annulla"), this);
    QPushButton* btnHelp = pulsante(QStringLiteral("Help"), QStringLiteral("btnHelp"), QStringLiteral("aiuto"), this);
    QPushButton* btnEsci = pulsante(QStringLiteral("Esci"), QStringLiteral("btnEsci"), QStringLiteral("esci"), this);
    connect(m_btnModifica, &QPushButton::clicked, this, &TfrmImposta::btnModificaClick);
    connect(m_btnConferma, &QPushButton::clicked, this, &TfrmImposta::btnConfermaClick);
    connect(m_btnAnnulla, &QPushButton::clicked, this, &TfrmImposta::btnAnnullaClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmImposta::btnHelpClick);
    connect(btnEsci, &QPushButton::clicked, this, &TfrmImposta::btnEsciClick);
    auto* comandi = new QHBoxLayout;
    comandi->addWidget(m_btnModifica);
    comandi->addWidget(m_btnConferma);
    comandi->addWidget(m_btnAnnulla);
    comandi->addStretch();
    comandi->addWidget(btnHelp);
    comandi->addWidget(btnEsci);

    auto* l = new QVBoxLayout(this);
    l->setMenuBar(menu);
    l->setContentsMargins(10, 8, 10, 10);
    l->setSpacing(10);
    l->addWidget(m_pagine, 1);
    l->addLayout(comandi);

    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &TfrmImposta::btnHelpClick);

    ApriDati();
    EvidenziaObbligatori(this, m_dtm);
    impostaModifica(false);
    resize(600, 330);
}

void TfrmImposta::ApriDati()
{
    m_azienda = m_util.LeggiAzienda();
    mostraAzienda();

    {
        const QSignalBlocker b(m_colori);
        m_colori->clear();
        for (const CodiceDescr& c : m_dtm.Codici(QStringLiteral("Costanti4"), QStringLiteral("NColore"))) {
            auto* item = new QListWidgetItem(c.descr, m_colori);
            item->setData(Qt::UserRole, c.codice.toInt());
        }
    }
    m_colori->setCurrentRow(m_colori->count() > 0 ? 0 : -1);
    lstColoriChange();

    mostraOpzioni();

    // A database without an installation date yet proposes today.
    m_dataInst = m_util.DataInstallazione();
    if (!m_dataInst.isValid())
        m_dataInst = m_dtm.Oggi();
    m_data->setDate(m_dataInst);
}

void TfrmImposta::mostraAzienda()
{
    m_ragSoc->setText(m_azienda.RagSoc);
    m_descr->setText(m_azienda.Descr);
    m_codAzEst->setText(m_azienda.CodAzEst);
}

void TfrmImposta::mostraOpzioni()
{
    const TPresenzeCfg& c = m_dtm.cfg();
    m_anomAssenza->setChecked(c.AnomAssenza);
    m_calcolaAssenza->setChecked(c.CalcolaAssenza);
    m_calcolaStraord->setChecked(c.CalcolaStraord);
}

int TfrmImposta::PaginaCorrente() const
{
    return m_pagine->currentIndex();
}

void TfrmImposta::impostaModifica(bool modifica)
{
    m_modifica = modifica;
    const int pagina = m_pagine->currentIndex();
    const bool azienda = modifica && pagina == PagAzienda;
    for (QLineEdit* e : {m_ragSoc, m_descr, m_codAzEst}) {
        e->setReadOnly(!azienda);
        // Read-only fields take the window's colour, so that editing is visible at a glance.
        QPalette pal = palette();
        if (!azienda)
            pal.setColor(QPalette::Base, pal.color(QPalette::Window));
        e->setPalette(pal);
    }
    m_data->setEnabled(modifica && pagina == PagDataInst);
    m_paginaElaborazione->setEnabled(modifica && pagina == PagElaborazione);
    m_btnModifica->setEnabled(!modifica && pagina != PagColori);
    m_btnConferma->setEnabled(modifica);
    m_btnAnnulla->setEnabled(modifica);
    m_btnConferma->setDefault(modifica);
    if (modifica) {
        if (pagina == PagAzienda)
            m_ragSoc->setFocus();
        else if (pagina == PagDataInst)
            m_data->setFocus();
        else if (pagina == PagElaborazione)
            m_anomAssenza->setFocus();
    }
}

void TfrmImposta::pgcImpostaChange(int pagina)
{
    if (m_modifica && pagina != m_pagina) {
        // Back first, then the message: the user never sees the other page.
        const QSignalBlocker b(m_pagine);
        m_pagine->setCurrentIndex(m_pagina);
        m_dtm.MostraErrore(Msg::ErrCambioPagina);
        return;
    }
    m_pagina = pagina;
    impostaModifica(m_modifica);
}

void TfrmImposta::btnModificaClick()
{
    if (m_modifica || m_pagine->currentIndex() == PagColori)
        return;
    impostaModifica(true);
}

void TfrmImposta::btnConfermaClick()
{
    if (!m_modifica)
        return;
    switch (m_pagine->currentIndex()) {
    case PagAzienda: {
        TdtmUtil::Azienda a = m_azienda;
        a.RagSoc = m_ragSoc->text();
        a.Descr = m_descr->text();
        a.CodAzEst = m_codAzEst->text();
        try {
            m_util.SalvaAzienda(a);
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
            return;
        }
        m_azienda = a;
        break;
    }
    case PagDataInst: {
        if (!m_data->Accetta())
            return;
        QDate d;
        try {
            const CursoreAttesa attesa;
            d = m_util.ImpostaDataInstallazione(m_data->date());
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
            return;
        }
        m_dataInst = d;
        m_data->setDate(d);
        break;
    }
    case PagElaborazione:
        try {
            m_util.SalvaOpzioni(m_anomAssenza->isChecked(), m_calcolaAssenza->isChecked(), m_calcolaStraord->isChecked());
        } catch (const std::exception& e) {
            m_dtm.MostraErroreCon(Msg::ErrConfigurazione, QString::fromLocal8Bit(e.what()));
            return;
        }
        break;
    default:
        break;
    }
    impostaModifica(false);
}

void TfrmImposta::btnAnnullaClick()
{
    if (!m_modifica)
        return;
    switch (m_pagine->currentIndex()) {
    case PagAzienda: mostraAzienda(); break;
    case PagDataInst: m_data->setDate(m_dataInst); break;
    case PagElaborazione: mostraOpzioni(); break;
    default: break;
    }
    impostaModifica(false);
}

int TfrmImposta::tipoColore() const
{
    const QListWidgetItem* item = m_colori->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void TfrmImposta::lstColoriChange()
{
    const int tipo = tipoColore();
    m_cambia->setEnabled(tipo != 0);
    QPalette pal = m_colore->palette();
    pal.setColor(QPalette::Window, tipo != 0 ? ColoreDaIni(m_util.Colore(tipo)) : palette().color(QPalette::Window));
    m_colore->setPalette(pal);
}

void TfrmImposta::btnCambiaClick()
{
    const int tipo = tipoColore();
    if (tipo == 0)
        return;
    QColorDialog dlg(ColoreDaIni(m_util.Colore(tipo)), this);
    dlg.setObjectName(QStringLiteral("dlgColore"));
    dlg.setWindowTitle(m_colori->currentItem()->text());
    if (dlg.exec() != QDialog::Accepted)
        return;
    try {
        m_util.SalvaColore(tipo, ColoreInIni(dlg.selectedColor()));
    } catch (const std::exception& e) {
        m_dtm.MostraErroreCon(Msg::ErrConfigurazione, QString::fromLocal8Bit(e.what()));
    }
    lstColoriChange();
    // The required-field colour shows at once on this window's own labels.
    EvidenziaObbligatori(this, m_dtm);
}

void TfrmImposta::btnHelpClick()
{
    MostraAiuto(this, m_dtm, kContestoAiuto);
}

void TfrmImposta::btnEsciClick()
{
    reject();
}

void TfrmImposta::keyPressEvent(QKeyEvent* e)
{
    // Esc abandons the edit in progress; only when browsing does it close the window.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && m_modifica) {
        btnAnnullaClick();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfrmImposta::reject()
{
    // Closing in any way while editing abandons the edit, as "Annulla" does.
    btnAnnullaClick();
    QDialog::reject();
}
