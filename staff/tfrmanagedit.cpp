#include "tfrmanagedit.h"

#include "messaggi.h"

#include "campodata.h"
#include "cursoreattesa.h"
#include "evidenzia.h"
#include "comandieditor.h"
#include "icone.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QLineEdit* testo(const char* nome, const char* campo, int lunghezza, int caratteri, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(nome));
    e->setProperty("campo", QString::fromLatin1(campo));
    e->setMaxLength(lunghezza);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('M')) * caratteri);
    return e;
}

QComboBox* lista(const char* nome, const char* campo, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(nome));
    c->setProperty("campo", QString::fromLatin1(campo));
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(24);
    c->setMaxVisibleItems(20);
    return c;
}

// The units by name; a name that several units share is told apart by the unit's path.
void riempiUnita(QComboBox* c, const QList<UnitaOrganico>& unita)
{
    QHash<QString, int> quante;
    for (const UnitaOrganico& u : unita)
        ++quante[u.descr];
    c->addItem(QString(), DatiDipendente::kNessunaUnita);
    for (const UnitaOrganico& u : unita) {
        c->addItem(quante.value(u.descr) > 1 ? u.percorso : u.descr, u.id);
        c->setItemData(c->count() - 1, u.percorso, Qt::ToolTipRole);
    }
}

void riempiVoci(QComboBox* c, const QList<VoceAnagrafico>& voci)
{
    c->addItem(QString(), 0);
    for (const VoceAnagrafico& v : voci)
        c->addItem(v.descr, v.id);
}

// The entry of `id`; an id the list lacks (a unit deleted meanwhile) shows as none chosen.
void scegli(QComboBox* c, int id)
{
    c->setCurrentIndex(std::max(0, c->findData(id)));
}

QLabel* etichetta(const QString& testo, QWidget* campo, QWidget* parent)
{
    auto* l = new QLabel(testo, parent);
    l->setBuddy(campo);
    return l;
}

}  // namespace

TfrmAnagEdit::TfrmAnagEdit(TdtmAnagrafico& anag, const DatiDipendente& dipendente, QWidget* parent)
    : QDialog(parent), m_anag(anag), m_dtm(anag.dtm()), m_id(dipendente.Id)
{
    setObjectName(QStringLiteral("frmAnagEdit"));
    setWindowTitle(QStringLiteral("Gestione Anagrafico"));
    setWindowIcon(IconaComando(QStringLiteral("dipendenti")));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // --- Menu and toolbar ------------------------------------------------------------------
    // Enter and Esc are taken by keyPressEvent, whatever field has the focus; the menu names them.
    m_gestori = {[this] { btnConfermaClick(); }, [this] { btnAnnullaClick(); }, [this] { btnHelpClick(); }, [this] { btnEsciClick(); }};
    const ComandiEditor comandi = CreaComandiEditor(this, QStringLiteral("tbAnagEdit"), m_gestori);

    // --- Fields ----------------------------------------------------------------------------
    m_cognome = testo("edtCognome", "Anagrafico.Cognome", TdtmAnagrafico::kLungCognome, 22, this);
    m_nome = testo("edtNome", "Anagrafico.Nome", TdtmAnagrafico::kLungNome, 16, this);
    m_matricola = testo("edtMatricola", "Anagrafico.Matricola", TdtmAnagrafico::kLungCodice, 9, this);
    m_badge = testo("edtBadge", "Badge.Codice", TdtmAnagrafico::kLungCodice, 9, this);
    for (QLineEdit* codice : {m_matricola, m_badge})
        connect(codice, &QLineEdit::editingFinished, this, [this, codice] { riempiZeri(codice); });
    m_assunzione = new CampoData(m_dtm, this);
    m_assunzione->setObjectName(QStringLiteral("dtpAssunzione"));
    m_assunzione->setProperty("campo", QStringLiteral("Profilo.DataAssunz"));
    m_licenziamento = new CampoData(m_dtm, this);
    m_licenziamento->setObjectName(QStringLiteral("dtpLicenziamento"));
    m_licenziamento->setProperty("campo", QStringLiteral("Profilo.DataLicenz"));
    m_licenziamento->setFacoltativa(true);
    m_note = new QPlainTextEdit(this);
    m_note->setObjectName(QStringLiteral("memNote"));
    m_note->setProperty("campo", QStringLiteral("Anagrafico.Note"));
    m_note->setTabChangesFocus(true);
    m_note->setFixedHeight(m_note->fontMetrics().lineSpacing() * 4 + 12);
    m_reparto = lista("cmbReparto", "Profilo.IdPianta", this);
    m_qualifica = lista("cmbQualifica", "Profilo.IdRuolo", this);
    m_livello = testo("edtLivello", "Anagrafico.Libero", TdtmAnagrafico::kLungLibero, 16, this);
    m_autorizzato = new QCheckBox(QStringLiteral("Autori&zzato agli straordinari"), this);
    m_autorizzato->setObjectName(QStringLiteral("chkAutorizzato"));
    m_autorizzato->setProperty("campo", QStringLiteral("Profilo.Autorizzato"));
    m_turno = lista("cmbTurno", "Profilo.IdOrari", this);
    m_festivo = lista("cmbFestivo", "Profilo.IdOrFestivo", this);
    try {
        riempiUnita(m_reparto, m_anag.Reparti());
        riempiUnita(m_qualifica, m_anag.Qualifiche());
        riempiVoci(m_turno, m_anag.Turni());
        riempiVoci(m_festivo, m_anag.Orari());
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
    }

    auto* anagrafici = new QGroupBox(QStringLiteral("Dati anagrafici"), this);
    anagrafici->setObjectName(QStringLiteral("grpAnagrafici"));
    auto* ga = new QGridLayout(anagrafici);
    ga->addWidget(etichetta(QStringLiteral("&Cognome"), m_cognome, anagrafici), 0, 0);
    ga->addWidget(m_cognome, 0, 1, 1, 3);
    ga->addWidget(etichetta(QStringLiteral("&Nome"), m_nome, anagrafici), 1, 0);
    ga->addWidget(m_nome, 1, 1, 1, 3);
    ga->addWidget(etichetta(QStringLiteral("&Matricola"), m_matricola, anagrafici), 2, 0);
    ga->addWidget(m_matricola, 2, 1);
    ga->addWidget(etichetta(QStringLiteral("Numero &badge"), m_badge, anagrafici), 2, 2);
    ga->addWidget(m_badge, 2, 3);
    ga->addWidget(etichetta(QStringLiteral("A&ssunzione"), m_assunzione, anagrafici), 3, 0);
    ga->addWidget(m_assunzione, 3, 1);
    ga->addWidget(etichetta(QStringLiteral("&Licenziamento"), m_licenziamento, anagrafici), 3, 2);
    ga->addWidget(m_licenziamento, 3, 3);
    ga->addWidget(etichetta(QStringLiteral("No&te"), m_note, anagrafici), 4, 0, Qt::AlignTop);
    ga->addWidget(m_note, 4, 1, 1, 3);
    ga->setColumnStretch(3, 1);

    auto* profilo = new QGroupBox(QStringLiteral("Profilo"), this);
    profilo->setObjectName(QStringLiteral("grpProfilo"));
    auto* gp = new QGridLayout(profilo);
    gp->addWidget(etichetta(QStringLiteral("&Reparto"), m_reparto, profilo), 0, 0);
    gp->addWidget(m_reparto, 0, 1);
    gp->addWidget(etichetta(QStringLiteral("&Qualifica"), m_qualifica, profilo), 1, 0);
    gp->addWidget(m_qualifica, 1, 1);
    gp->addWidget(etichetta(QStringLiteral("Li&vello"), m_livello, profilo), 2, 0);
    gp->addWidget(m_livello, 2, 1, Qt::AlignLeft);
    gp->addWidget(etichetta(QStringLiteral("&Turno orario"), m_turno, profilo), 3, 0);
    gp->addWidget(m_turno, 3, 1);
    gp->addWidget(etichetta(QStringLiteral("Orario &Festivo"), m_festivo, profilo), 4, 0);
    gp->addWidget(m_festivo, 4, 1);
    gp->addWidget(m_autorizzato, 5, 1);
    gp->setColumnStretch(1, 1);

    auto* l = new QVBoxLayout(this);
    l->setMenuBar(comandi.menu);
    l->setContentsMargins(10, 4, 10, 12);
    l->setSpacing(8);
    l->addWidget(comandi.barra);
    l->addWidget(anagrafici);
    l->addWidget(profilo);
    const QList<QWidget*> ordine = {m_cognome, m_nome,     m_matricola, m_badge, m_assunzione, m_licenziamento, m_note,
                                    m_reparto, m_qualifica, m_livello,  m_turno, m_festivo,    m_autorizzato};
    for (qsizetype i = 1; i < ordine.size(); ++i)
        setTabOrder(ordine.at(i - 1), ordine.at(i));

    EvidenziaObbligatori(this, m_dtm);
    mostra(dipendente);
    m_cognome->setFocus(Qt::OtherFocusReason);
}

DatiDipendente TfrmAnagEdit::Valori() const
{
    DatiDipendente d;
    d.Id = m_id;
    d.Cognome = m_cognome->text();
    d.Nome = m_nome->text();
    d.Matricola = m_matricola->text();
    d.Codice = m_badge->text();
    d.DataAssunz = m_assunzione->date();
    d.DataLicenz = m_licenziamento->date();
    d.Note = m_note->toPlainText();
    d.IdPianta = m_reparto->currentData().isValid() ? m_reparto->currentData().toInt() : DatiDipendente::kNessunaUnita;
    d.IdRuolo = m_qualifica->currentData().isValid() ? m_qualifica->currentData().toInt() : DatiDipendente::kNessunaUnita;
    d.Libero = m_livello->text();
    d.Autorizzato = m_autorizzato->isChecked();
    d.IdOrari = m_turno->currentData().toInt();
    d.IdOrFestivo = m_festivo->currentData().toInt();
    return d;
}

void TfrmAnagEdit::mostra(const DatiDipendente& d)
{
    m_cognome->setText(d.Cognome);
    m_nome->setText(d.Nome);
    m_matricola->setText(d.Matricola);
    m_badge->setText(d.Codice);
    m_assunzione->setDate(d.DataAssunz);
    m_licenziamento->setDate(d.DataLicenz);
    m_note->setPlainText(d.Note);
    scegli(m_reparto, d.IdPianta);
    scegli(m_qualifica, d.IdRuolo);
    m_livello->setText(d.Libero);
    m_autorizzato->setChecked(d.Autorizzato);
    scegli(m_turno, d.IdOrari);
    scegli(m_festivo, d.IdOrFestivo);
}

void TfrmAnagEdit::riempiZeri(QLineEdit* campo)
{
    const QString pieno = TdtmAnagrafico::RiempiZeri(campo->text());
    if (pieno != campo->text())
        campo->setText(pieno);
}

QWidget* TfrmAnagEdit::Campo(CampoAnag c) const
{
    switch (c) {
    case CampoAnag::Cognome: return m_cognome;
    case CampoAnag::Nome: return m_nome;
    case CampoAnag::Matricola: return m_matricola;
    case CampoAnag::Codice: return m_badge;
    case CampoAnag::Assunzione: return m_assunzione;
    case CampoAnag::Licenziamento: return m_licenziamento;
    case CampoAnag::Note: return m_note;
    case CampoAnag::Reparto: return m_reparto;
    case CampoAnag::Qualifica: return m_qualifica;
    case CampoAnag::Livello: return m_livello;
    case CampoAnag::Turno: return m_turno;
    case CampoAnag::OrarioFestivo: return m_festivo;
    case CampoAnag::Nessuno: break;
    }
    return nullptr;
}

void TfrmAnagEdit::btnConfermaClick()
{
    // The date being typed is taken first; a text that is no date is refused where it is.
    for (CampoData* data : {m_assunzione, m_licenziamento})
        if (!data->Accetta())
            return;
    for (QLineEdit* codice : {m_matricola, m_badge})
        riempiZeri(codice);
    DatiDipendente d = Valori();
    EsitoAnag esito;
    try {
        const CursoreAttesa attesa;
        esito = m_anag.Registra(d);
    } catch (const ErroreDb& e) {
        // Nothing was stored; the fields stay as typed for another attempt.
        m_dtm.MostraErroreDb(e);
        return;
    }
    if (!esito.ok()) {
        if (QWidget* w = Campo(esito.campo))
            w->setFocus(Qt::OtherFocusReason);
        m_dtm.MostraErrore(esito.errore);
        return;
    }
    m_id = d.Id;
    accept();
}

void TfrmAnagEdit::btnAnnullaClick()
{
    std::optional<DatiDipendente> d;
    try {
        d = m_id ? m_anag.Leggi(m_id) : std::optional<DatiDipendente>(m_anag.Nuovo());
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    if (!d) {
        m_dtm.MostraErrore(Msg::ErrDipendenteScomparso);
        return;
    }
    mostra(*d);
    m_cognome->setFocus(Qt::OtherFocusReason);
}

void TfrmAnagEdit::btnEsciClick()
{
    reject();
}

void TfrmAnagEdit::btnHelpClick()
{
    MostraAiuto(this, m_dtm, kContestoAiuto);
}

void TfrmAnagEdit::keyPressEvent(QKeyEvent* e)
{
    if (!TastoEditor(e, m_gestori))
        QDialog::keyPressEvent(e);
}
