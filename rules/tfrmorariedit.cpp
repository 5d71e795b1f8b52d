#include "tfrmorariedit.h"

#include "campoorologio.h"
#include "cursoreattesa.h"
#include "evidenzia.h"
#include "comandieditor.h"
#include "icone.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

// The editable list of rounding steps: the accepted ones are offered, anything may be typed
// and is checked at confirmation.
QComboBox* listaPassi(const char* nome, const char* campo, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(nome));
    c->setProperty("campo", QString::fromLatin1(campo));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    for (int p : TdtmOrari::PassiAccettati())
        c->addItem(QString::number(p));
    c->lineEdit()->setMaxLength(3);
    c->setMinimumContentsLength(3);
    return c;
}

QLabel* etichetta(const QString& testo, QWidget* campo, QWidget* parent)
{
    auto* l = new QLabel(testo, parent);
    l->setBuddy(campo);
    return l;
}

}  // namespace

TfrmOrariEdit::TfrmOrariEdit(TdtmOrari& orari, Modo modo, const DatiOrario& orario, QWidget* parent)
    : QDialog(parent), m_orari(orari), m_dtm(orari.dtm()), m_modo(modo)
{
    setObjectName(QStringLiteral("frmOrariEdit"));
    setWindowTitle(QStringLiteral("Gestione Orari"));
    setWindowIcon(IconaComando(QStringLiteral("orari")));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // --- Menu and toolbar ------------------------------------------------------------------
    // Enter and Esc are taken by keyPressEvent, whatever field has the focus; the menu names them.
    m_gestori = {[this] { btnInserisciClick(); }, [this] { btnAnnullaClick(); }, [this] { btnHelpClick(); }, [this] { itmEsciClick(); }};
    const ComandiEditor comandi = CreaComandiEditor(this, QStringLiteral("tbOrariEdit"), m_gestori);
    m_btnConferma = comandi.btnConferma;

    // --- Fields ----------------------------------------------------------------------------
    m_descr = new QLineEdit(this);
    m_descr->setObjectName(QStringLiteral("edtDescr"));
    m_descr->setProperty("campo", QStringLiteral("OrariRep.Descr"));
    m_descr->setMaxLength(30);
    m_descr->setMinimumWidth(m_descr->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 22);
    const auto orologio = [this](const char* nome, const char* campo) {
        auto* c = new CampoOrologio(m_dtm, this);
        c->setObjectName(QString::fromLatin1(nome));
        c->setProperty("campo", QString::fromLatin1(campo));
        return c;
    };
    m_oreMedie = orologio("edtOreMedie", "OrariRep.OreMedie");
    m_prima = orologio("edtPrima", "OrariRep.PrimaTimb");
    m_ultima = orologio("edtUltima", "OrariRep.UltimaTimb");
    m_chiusura = new QComboBox(this);
    m_chiusura->setObjectName(QStringLiteral("cmbChiusura"));
    m_chiusura->setProperty("campo", QStringLiteral("OrariRep.ChiusGio"));
    try {
        for (const CodiceDescr& c : m_orari.Chiusure())
            m_chiusura->addItem(c.descr, c.codice);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }
    m_ingresso = listaPassi("cmbIngresso", "ArroTim.MinutiArrot", this);
    m_uscita = listaPassi("cmbUscita", "ArroTim.MinutiArrot", this);
    m_minimo = new QLineEdit(this);
    m_minimo->setObjectName(QStringLiteral("edtMinimo"));
    m_minimo->setProperty("campo", QStringLiteral("ArroStra.Inizio"));
    m_minimo->setMaxLength(3);
    m_minimo->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]{0,3}")), m_minimo));
    m_minimo->setFixedWidth(m_minimo->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 24);
    m_arrotStra = listaPassi("cmbArrotStra", "ArroStra.MinutiArrot", this);

    const auto gruppo = [this](const char* nome, const QString& titolo, std::initializer_list<std::pair<QString, QWidget*>> campi) {
        auto* g = new QGroupBox(titolo, this);
        g->setObjectName(QString::fromLatin1(nome));
        auto* l = new QGridLayout(g);
        int colonna = 0;
        for (const auto& [testo, campo] : campi) {
            l->addWidget(etichetta(testo, campo, g), 0, colonna++);
            l->addWidget(campo, 0, colonna++);
        }
        l->setColumnStretch(colonna, 1);
        return g;
    };
    auto* generale = new QGridLayout;
    generale->addWidget(etichetta(QStringLiteral("&Descrizione"), m_descr, this), 0, 0);
    generale->addWidget(m_descr, 0, 1, 1, 3);
    generale->addWidget(etichetta(QStringLiteral("&Ore Medie"), m_oreMedie, this), 1, 0);
    generale->addWidget(m_oreMedie, 1, 1);
    generale->addWidget(etichetta(QStringLiteral("&Chiusura"), m_chiusura, this), 1, 2);
    generale->addWidget(m_chiusura, 1, 3);
    generale->setColumnStretch(3, 1);

    auto* l = new QVBoxLayout(this);
    l->setMenuBar(comandi.menu);
    l->setContentsMargins(10, 4, 10, 12);
    l->setSpacing(8);
    l->addWidget(comandi.barra);
    l->addLayout(generale);
    l->addWidget(gruppo("grpTimbrature", QStringLiteral("Timbrature"), {{QStringLiteral("&Prima"), m_prima}, {QStringLiteral("&Ultima"), m_ultima}}));
    l->addWidget(gruppo("grpArrotondamenti", QStringLiteral("Arrotondamenti"),
                        {{QStringLiteral("&Ingresso"), m_ingresso}, {QStringLiteral("U&scita"), m_uscita}}));
    l->addWidget(gruppo("grpStraordinari", QStringLiteral("Straordinari"),
                        {{QStringLiteral("&Minimo"), m_minimo}, {QStringLiteral("&Arrotondamento"), m_arrotStra}}));
    const QList<QWidget*> ordine = {m_descr, m_oreMedie, m_chiusura, m_prima, m_ultima, m_ingresso, m_uscita, m_minimo, m_arrotStra};
    for (qsizetype i = 1; i < ordine.size(); ++i)
        setTabOrder(ordine.at(i - 1), ordine.at(i));

    for (QLineEdit* e : {m_descr, static_cast<QLineEdit*>(m_oreMedie), static_cast<QLineEdit*>(m_prima),
                         static_cast<QLineEdit*>(m_ultima), m_minimo})
        connect(e, &QLineEdit::textChanged, this, &TfrmOrariEdit::campoCambiato);
    connect(m_chiusura, &QComboBox::currentIndexChanged, this, &TfrmOrariEdit::campoCambiato);
    for (QComboBox* c : {m_ingresso, m_uscita, m_arrotStra})
        connect(c, &QComboBox::editTextChanged, this, &TfrmOrariEdit::campoCambiato);

    EvidenziaObbligatori(this, m_dtm);
    if (m_modo == Modifica) {
        m_id = orario.Id;
        m_iniziali = TdtmOrari::Valori(orario);
    } else {
        m_iniziali = TdtmOrari::ValoriPredefiniti(m_chiusura->count() ? m_chiusura->itemData(0).toString() : QString());
    }
    mostra(m_iniziali);
    m_descr->setFocus(Qt::OtherFocusReason);
}

ValoriOrario TfrmOrariEdit::Valori() const
{
    return {m_descr->text(),
            m_oreMedie->displayText(),
            m_prima->displayText(),
            m_ultima->displayText(),
            m_chiusura->currentIndex() < 0 ? QString() : m_chiusura->currentData().toString(),
            m_ingresso->currentText(),
            m_uscita->currentText(),
            m_minimo->text(),
            m_arrotStra->currentText()};
}

void TfrmOrariEdit::mostra(const ValoriOrario& v)
{
    m_caricamento = true;
    m_descr->setText(v.Descr);
    m_oreMedie->setText(v.OreMedie);
    m_prima->setText(v.Prima);
    m_ultima->setText(v.Ultima);
    for (QLineEdit* e : {static_cast<QLineEdit*>(m_oreMedie), static_cast<QLineEdit*>(m_prima), static_cast<QLineEdit*>(m_ultima)})
        e->setModified(false);
    int i = m_chiusura->findData(v.ChiusGio);
    if (i < 0 && !v.ChiusGio.isEmpty()) {
        // A code the list does not hold is shown as it is rather than silently replaced.
        m_chiusura->addItem(v.ChiusGio, v.ChiusGio);
        i = m_chiusura->count() - 1;
    }
    m_chiusura->setCurrentIndex(i);
    m_ingresso->setEditText(v.PassoEntrata);
    m_uscita->setEditText(v.PassoUscita);
    m_minimo->setText(v.MinimoStra);
    m_arrotStra->setEditText(v.PassoStra);
    m_caricamento = false;
    // A new timetable can be confirmed as it stands; a stored one once something changed.
    m_btnConferma->setEnabled(m_modo == Inserimento);
}

void TfrmOrariEdit::campoCambiato()
{
    if (!m_caricamento)
        m_btnConferma->setEnabled(true);
}

QWidget* TfrmOrariEdit::campo(CampoOrario c) const
{
    switch (c) {
    case CampoOrario::Descr: return m_descr;
    case CampoOrario::OreMedie: return m_oreMedie;
    case CampoOrario::Prima: return m_prima;
    case CampoOrario::Ultima: return m_ultima;
    case CampoOrario::Chiusura: return m_chiusura;
    case CampoOrario::PassoEntrata: return m_ingresso;
    case CampoOrario::PassoUscita: return m_uscita;
    case CampoOrario::MinimoStra: return m_minimo;
    case CampoOrario::PassoStra: return m_arrotStra;
    case CampoOrario::Nessuno: break;
    }
    return nullptr;
}

void TfrmOrariEdit::btnInserisciClick()
{
    if (!m_btnConferma->isEnabled())
        return;
    VerificaOrario esito = TdtmOrari::Controlla(Valori());
    if (!esito.ok()) {
        if (QWidget* w = campo(esito.campo))
            w->setFocus(Qt::OtherFocusReason);
        m_dtm.MostraErrore(esito.errore);
        return;
    }
    DatiOrario& orario = esito.orario;
    orario.Id = m_modo == Modifica ? m_id : 0;
    try {
        const CursoreAttesa attesa;
        if (const int errore = m_orari.Registra(orario)) {
            m_dtm.MostraErrore(errore);
            return;
        }
    } catch (const ErroreDb& e) {
        // Nothing was stored; the fields stay as typed for another attempt.
        m_dtm.MostraErroreDb(e);
        return;
    }
    m_id = orario.Id;
    accept();
}

void TfrmOrariEdit::btnAnnullaClick()
{
    mostra(m_iniziali);
    m_descr->setFocus(Qt::OtherFocusReason);
}

void TfrmOrariEdit::itmEsciClick()
{
    reject();
}

void TfrmOrariEdit::btnHelpClick()
{
    MostraAiuto(this, m_dtm, kContestoAiuto);
}

void TfrmOrariEdit::keyPressEvent(QKeyEvent* e)
{
    if (!TastoEditor(e, m_gestori))
        QDialog::keyPressEvent(e);
}
