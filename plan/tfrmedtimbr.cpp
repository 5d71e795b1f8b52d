#include "tfrmedtimbr.h"

#include "campodata.h"
#include "messaggi.h"

#include "evidenzia.h"
#include "comandieditor.h"
#include "icone.h"
#include "posizione.h"
#include "tdtmpiano.h"
#include "tfrmaiuto.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const QString kChiavePosizione = QStringLiteral("EdTimbr");  // PRES.INI [Desktop] EdTimbrLeft, ...

struct CursoreAttesa {
    CursoreAttesa() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreAttesa() { QApplication::restoreOverrideCursor(); }
    CursoreAttesa(const CursoreAttesa&) = delete;
    CursoreAttesa& operator=(const CursoreAttesa&) = delete;
};

QLineEdit* campoOra(const char* nome, const char* campo, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(nome));
    e->setProperty("campo", QString::fromLatin1(campo));
    e->setMaxLength(5);
    e->setToolTip(QStringLiteral("Orario timbratura"));
    e->setStatusTip(QStringLiteral("(formato hhmm)"));
    e->setPlaceholderText(QStringLiteral("(formato hhmm)"));
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("(formato hhmm)")) + 16);
    return e;
}

QComboBox* campoVerso(const char* nome, const char* campo, const QList<CodiceDescr>& versi, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(nome));
    c->setProperty("campo", QString::fromLatin1(campo));
    // The blank entry is "no direction": a new punch starts there, and with ModTimbOrig on
    // it is how an original direction is taken away.
    c->addItem(QString(), QString());
    for (const CodiceDescr& v : versi)
        c->addItem(v.descr, v.codice.trimmed());
    c->setMinimumWidth(120);
    return c;
}

QString codiceScelto(const QComboBox* c)
{
    return c->currentIndex() < 0 ? QString() : c->currentData().toString();
}

void scegliCodice(QComboBox* c, const QString& codice)
{
    int i = c->findData(codice.trimmed());
    if (i < 0 && !codice.trimmed().isEmpty()) {
        // A code missing from the list is shown as it is rather than silently dropped.
        c->addItem(codice.trimmed(), codice.trimmed());
        i = c->count() - 1;
    }
    c->setCurrentIndex(i < 0 ? 0 : i);
}

}  // namespace

TfrmEdTimbr::TfrmEdTimbr(TdtmPiano& piano, Modo modo, QWidget* parent)
    : QDialog(parent), m_piano(piano), m_dtm(piano.dtm()), m_modo(modo)
{
    setObjectName(QStringLiteral("frmEdTimbr"));
    setWindowTitle(QStringLiteral("Timbrature"));
    setWindowIcon(IconaComando(QStringLiteral("modifica")));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // --- Menu --------------------------------------------------------------------------
    // Enter and Esc are taken by keyPressEvent, so that they work whatever the state of
    // the toolbar buttons; the menu only names them.
    m_gestori = {[this] { btnConfermaClick(); }, [this] { btnAnnullaClick(); }, [this] { btnHelpClick(); }, [this] { btnEsciClick(); }};
    const ComandiEditor comandi = CreaComandiEditor(this, QStringLiteral("tbEdTimbr"), m_gestori);
    m_btnConferma = comandi.btnConferma;
    m_btnAnnulla = comandi.btnAnnulla;

    // --- Fields ------------------------------------------------------------------------
    // The work-plan window loads the direction list at its creation; an editor opened
    // before that reads it itself rather than offer no direction at all.
    QList<CodiceDescr> versi = m_piano.ElementiVerso();
    if (versi.isEmpty()) {
        try {
            versi = m_dtm.Codici(QStringLiteral("Costanti4"), QStringLiteral("Verso"));
        } catch (const ErroreDb& e) {
            m_dtm.MostraErroreDb(e);
        }
    }
    const auto gruppo = [this](const char* nome, const QString& titolo, QLineEdit* ora, QComboBox* verso) {
        auto* g = new QGroupBox(titolo, this);
        g->setObjectName(QString::fromLatin1(nome));
        ora->setParent(g);
        verso->setParent(g);
        auto* lblOra = new QLabel(QStringLiteral("Orario"), g);
        lblOra->setBuddy(ora);
        auto* lblVerso = new QLabel(QStringLiteral("Verso"), g);
        lblVerso->setBuddy(verso);
        auto* l = new QGridLayout(g);
        l->setContentsMargins(12, 10, 12, 10);
        l->setHorizontalSpacing(10);
        l->addWidget(lblOra, 0, 0);
        l->addWidget(ora, 0, 1);
        l->addWidget(lblVerso, 0, 2);
        l->addWidget(verso, 0, 3);
        l->setColumnStretch(4, 1);
        return g;
    };
    m_oraO = campoOra("edtDataO", "Timbrature.DataO", this);
    m_versoO = campoVerso("cmbVersoO", "Timbrature.VersoO", versi, this);
    m_oraV = campoOra("edtDataV", "Timbrature.DataV", this);
    m_versoV = campoVerso("cmbVersoV", "Timbrature.VersoV", versi, this);
    m_grpOriginale = gruppo("grpOriginale", QStringLiteral("Timbratura &Originale"), m_oraO, m_versoO);
    m_grpVariata = gruppo("grpVariata", QStringLiteral("Timbratura &Variata"), m_oraV, m_versoV);
    setTabOrder(m_oraO, m_versoO);
    setTabOrder(m_versoO, m_oraV);
    setTabOrder(m_oraV, m_versoV);

    for (QLineEdit* e : {m_oraO, m_oraV}) {
        connect(e, &QLineEdit::textChanged, this, &TfrmEdTimbr::campoCambiato);
        e->installEventFilter(this);
    }
    for (QComboBox* c : {m_versoO, m_versoV})
        connect(c, &QComboBox::currentIndexChanged, this, &TfrmEdTimbr::campoCambiato);

    auto* l = new QVBoxLayout(this);
    l->setMenuBar(comandi.menu);
    l->setContentsMargins(10, 4, 10, 12);
    l->setSpacing(8);
    l->addWidget(comandi.barra);
    l->addWidget(m_grpOriginale);
    l->addWidget(m_grpVariata);

    TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    if (m_modo == Modifica && timbr->Corrente()) {
        m_riga = timbr->RigaCorrente();
        m_base = *timbr->Corrente();
    }
    mostra(m_base);
    FormActivate();
}

void TfrmEdTimbr::FormActivate()
{
    // Original values are as acquired: only ModTimbOrig lets the user touch them.
    m_grpOriginale->setEnabled(m_dtm.cfg().ModTimbOrig);
    EvidenziaObbligatori(this, m_dtm);
    focusOraValida();
}

void TfrmEdTimbr::showEvent(QShowEvent* e)
{
    // Where the user left it; the first time centred over the window it was opened from.
    if (!e->spontaneous()) {
        const QWidget* sopra = parentWidget() ? parentWidget()->window() : nullptr;
        const QPoint centro = sopra ? sopra->geometry().center() : geometry().center();
        RipristinaPosizione(this, m_dtm, kChiavePosizione, centro - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(e);
    focusOraValida();
}

void TfrmEdTimbr::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    if (!e->spontaneous())
        MemorizzaPosizione(this, m_dtm, kChiavePosizione);
}

void TfrmEdTimbr::focusOraValida()
{
    m_oraV->setFocus(Qt::OtherFocusReason);
    m_oraV->selectAll();
}

void TfrmEdTimbr::mostra(const Timbratura& t)
{
    {
        const QSignalBlocker b1(m_oraO), b2(m_versoO), b3(m_oraV), b4(m_versoV);
        m_oraO->setText(EditTimbrature::TestoOra(t.DataO));
        scegliCodice(m_versoO, t.VersoO);
        m_oraV->setText(EditTimbrature::TestoOra(t.DataV));
        scegliCodice(m_versoV, t.VersoV);
    }
    impostaModificato(false);
}

void TfrmEdTimbr::NuovaRiga()
{
    m_base = Timbratura();
    m_riga = -1;
    mostra(m_base);
    focusOraValida();
}

void TfrmEdTimbr::impostaModificato(bool modificato)
{
    m_modificato = modificato;
    m_btnConferma->setEnabled(modificato);
    m_btnAnnulla->setEnabled(modificato);
}

void TfrmEdTimbr::campoCambiato()
{
    if (!m_modificato)
        impostaModificato(true);
}

EditTimbrature::Valori TfrmEdTimbr::valori() const
{
    return {m_oraV->text(), codiceScelto(m_versoV), m_oraO->text(), codiceScelto(m_versoO)};
}

QWidget* TfrmEdTimbr::campo(EditTimbrature::Campo c) const
{
    switch (c) {
    case EditTimbrature::Campo::OraV: return m_oraV;
    case EditTimbrature::Campo::VersoV: return m_versoV;
    case EditTimbrature::Campo::OraO: return m_oraO;
    case EditTimbrature::Campo::VersoO: return m_versoO;
    default: return nullptr;
    }
}

bool TfrmEdTimbr::CheckValues()
{
    const bool modTimbOrig = m_dtm.cfg().ModTimbOrig;
    const EditTimbrature::Valori v = valori();
    const EditTimbrature::Verifica esito = EditTimbrature::CheckValues(v, modTimbOrig);
    if (!esito.ok()) {
        if (QWidget* w = campo(esito.campo))
            w->setFocus(Qt::OtherFocusReason);
        m_dtm.MostraErrore(esito.errore);
        return false;
    }

    // The punch takes the grid row's employee and day; the punch list shows the same day,
    // and stands in for it when the grid has no row.
    const GiornoPiano* g = m_piano.wwTblPianoSomma()->GiornoCorrente();
    TabellaTimbrature* timbr = m_piano.wwTblTimbr();
    const int idDip = g ? g->IdDip : timbr->IdDip();
    const QDate giorno = g ? g->Data : timbr->Giorno();
    const Timbratura t = EditTimbrature::Componi(m_base, v, idDip, giorno, modTimbOrig);
    try {
        const CursoreAttesa attesa;
        if (m_modo == Inserimento || m_riga < 0)
            timbr->Inserisci(t);
        else
            timbr->Modifica(m_riga, t);
    } catch (const ErroreDb& e) {
        focusOraValida();
        if (e.violazioneVincolo())
            m_dtm.MostraErrore(Msg::ErrTimbraturaDoppia);
        else
            m_dtm.MostraErroreDb(e);
        return false;
    }
    ++m_registrate;
    return true;
}

void TfrmEdTimbr::btnConfermaClick()
{
    if (!CheckValues())
        return;
    if (m_modo == Inserimento)
        NuovaRiga();
    else
        accept();
}

void TfrmEdTimbr::btnAnnullaClick()
{
    reject();
}

void TfrmEdTimbr::btnEsciClick()
{
    reject();
}

void TfrmEdTimbr::btnHelpClick()
{
    MostraAiuto(this, m_dtm, kContestoAiuto);
}

void TfrmEdTimbr::keyPressEvent(QKeyEvent* e)
{
    if (!TastoEditor(e, m_gestori))
        QDialog::keyPressEvent(e);
}

bool TfrmEdTimbr::oraLasciata(QLineEdit* campo)
{
    if (m_inAvviso || EditTimbrature::LeggiOra(campo->text()) != EditTimbrature::EsitoOra::NonValida)
        return false;
    m_inAvviso = true;
    m_dtm.MostraErrore(Msg::ErrOra);
    m_inAvviso = false;
    // Back once the focus change under way is over, or it would win.
    QMetaObject::invokeMethod(
        campo,
        [campo] {
            campo->setFocus(Qt::OtherFocusReason);
            campo->selectAll();
        },
        Qt::QueuedConnection);
    return true;
}

bool TfrmEdTimbr::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusOut && (o == m_oraO || o == m_oraV)) {
        if (UscitaDellUtente(static_cast<QFocusEvent*>(e)->reason()))
            oraLasciata(static_cast<QLineEdit*>(o));
    }
    return QDialog::eventFilter(o, e);
}
