#include "tdlgquerylight.h"

#include "messaggi.h"

#include "comandiarchivio.h"
#include "pulsante.h"

#include "tdlgpicklist.h"
#include "tdtmpresenze.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {


// In the order of the Confronto values.
const QStringList kTipi{QStringLiteral("uguale a ..."), QStringLiteral("inizia con ..."), QStringLiteral("finisce con ..."),
                        QStringLiteral("contiene ..."), QStringLiteral("da... a...")};

}  // namespace

// The rows of the last search: personnel number, names and the class by its description.
class ModelloRisultati : public QAbstractTableModel {
public:
    ModelloRisultati(const RicercaAnagrafico& ricerca, QHash<QString, QString> classi, QObject* parent)
        : QAbstractTableModel(parent), m_ricerca(ricerca), m_classi(std::move(classi))
    {
    }
    void aggiorna()
    {
        beginResetModel();
        endResetModel();
    }
    int id(int riga) const { return m_ricerca.Righe().at(riga).value(QStringLiteral("Id")).toInt(); }

    int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : int(m_ricerca.Righe().size()); }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : int(kColonne.size()); }
    QVariant data(const QModelIndex& i, int ruolo) const override
    {
        if (!i.isValid() || ruolo != Qt::DisplayRole)
            return {};
        const QSqlRecord& r = m_ricerca.Righe().at(i.row());
        const QString campo = kColonne.at(i.column());
        const QString v = r.value(campo).toString();
        return campo == QLatin1String("Classe") ? m_classi.value(v, v) : v;
    }
    QVariant headerData(int sezione, Qt::Orientation o, int ruolo) const override
    {
        if (o == Qt::Horizontal && ruolo == Qt::DisplayRole && sezione >= 0 && sezione < kColonne.size())
            return kColonne.at(sezione);
        return QAbstractTableModel::headerData(sezione, o, ruolo);
    }

private:
    // Id and Libero are not shown; Classe shows its description.
    inline static const QStringList kColonne{QStringLiteral("Matricola"), QStringLiteral("Cognome"), QStringLiteral("Nome"),
                                             QStringLiteral("Classe")};
    const RicercaAnagrafico& m_ricerca;
    QHash<QString, QString> m_classi;
};

TDlgQueryLight::TDlgQueryLight(TQALight& qa, QWidget* parent) : QDialog(parent), m_qa(qa), m_ricerca(qa.Ricerca())
{
    setObjectName(QStringLiteral("dlgQueryLight"));
    setWindowTitle(QStringLiteral("Ricerca Archivio Anagrafico"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QHash<QString, QString> classi;
    try {
        for (const CodiceDescr& c : qa.dtm().Codici(QStringLiteral("Costanti4"), QStringLiteral("Classe")))
            classi.insert(c.codice, c.descr);
    } catch (const ErroreDb&) {
        // Without the code list the grid shows the codes themselves.
    }
    m_modello = new ModelloRisultati(m_ricerca, std::move(classi), this);

    m_pagine = new QStackedWidget(this);
    m_pagine->setObjectName(QStringLiteral("stkPagine"));
    m_pagine->addWidget(creaPaginaRicerca());
    m_pagine->addWidget(creaPaginaRisultati());

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(10, 10, 10, 10);
    l->addWidget(m_pagine);

    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, &TDlgQueryLight::btnEseguiClick);

    mostraCondizioni();
    mostraPagina(PagRicerca);
    resize(640, 380);
}

TDlgQueryLight::~TDlgQueryLight() = default;

void TDlgQueryLight::aggiungiRiga(QGridLayout* griglia, int riga, CampoRicerca campo, const QString& etichetta, int lunghezza)
{
    QWidget* scheda = griglia->parentWidget();
    static const char* const nomi[] = {"Cognome", "Nome", "Matricola", "CodiceBadge"};
    const QString nome = QLatin1String(nomi[int(campo)]);
    RigaCampo& r = m_righe[int(campo)];

    auto* lbl = new QLabel(etichetta, scheda);
    r.tipo = new QComboBox(scheda);
    r.tipo->setObjectName(QStringLiteral("cmb") + nome);
    r.tipo->addItems(kTipi);
    r.tipo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    r.da = new QLineEdit(scheda);
    r.da->setObjectName(QStringLiteral("edt") + nome + QStringLiteral("Da"));
    r.da->setMaxLength(lunghezza);
    auto* lblDa = new QLabel(QStringLiteral("da ..."), scheda);
    lblDa->setBuddy(r.da);
    r.etichettaA = new QLabel(QStringLiteral("a ..."), scheda);
    r.a = new QLineEdit(scheda);
    r.a->setObjectName(QStringLiteral("edt") + nome + QStringLiteral("A"));
    r.a->setMaxLength(lunghezza);
    r.etichettaA->setBuddy(r.a);
    lbl->setBuddy(r.tipo);
    // The second value comes and goes with the range kind; its room stays, so nothing moves.
    for (QWidget* w : {static_cast<QWidget*>(r.etichettaA), static_cast<QWidget*>(r.a)}) {
        QSizePolicy sp = w->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        w->setSizePolicy(sp);
    }

    griglia->addWidget(lbl, riga, 0);
    griglia->addWidget(r.tipo, riga, 1);
    griglia->addWidget(lblDa, riga, 2, Qt::AlignRight);
    griglia->addWidget(r.da, riga, 3);
    griglia->addWidget(r.etichettaA, riga, 4, Qt::AlignRight);
    griglia->addWidget(r.a, riga, 5);

    connect(r.tipo, &QComboBox::currentIndexChanged, this, [this, campo] { tipoCambiato(campo); });
    connect(r.da, &QLineEdit::editingFinished, this, [this, campo] { valoreLasciato(campo, 0); });
    connect(r.a, &QLineEdit::editingFinished, this, [this, campo] { valoreLasciato(campo, 1); });
}

QWidget* TDlgQueryLight::creaPaginaRicerca()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("pagRicerca"));

    const auto griglia = [](QWidget* scheda) {
        auto* g = new QGridLayout(scheda);
        g->setContentsMargins(14, 14, 14, 14);
        g->setHorizontalSpacing(10);
        g->setVerticalSpacing(10);
        g->setColumnStretch(3, 1);
        g->setColumnStretch(5, 1);
        return g;
    };
    auto* anagrafici = new QWidget;
    QGridLayout* g1 = griglia(anagrafici);
    aggiungiRiga(g1, 0, CampoRicerca::Cognome, QStringLiteral("Cognome"), 30);
    aggiungiRiga(g1, 1, CampoRicerca::Nome, QStringLiteral("Nome"), 20);
    aggiungiRiga(g1, 2, CampoRicerca::Matricola, QStringLiteral("Matricola"), 10);
    g1->setRowStretch(3, 1);

    auto* badge = new QWidget;
    QGridLayout* g2 = griglia(badge);
    aggiungiRiga(g2, 0, CampoRicerca::CodiceBadge, QStringLiteral("Codice Badge"), 10);
    g2->setRowStretch(1, 1);

    auto* organico = new QWidget;
    auto* g3 = new QGridLayout(organico);
    g3->setContentsMargins(14, 14, 14, 14);
    g3->setHorizontalSpacing(10);
    g3->setVerticalSpacing(10);
    const auto rigaUnita = [&](int riga, const QString& etichetta, const QString& nome, QLineEdit*& edt) {
        auto* lbl = new QLabel(etichetta, organico);
        edt = new QLineEdit(organico);
        edt->setObjectName(QStringLiteral("edt") + nome);
        edt->setReadOnly(true);
        edt->setFocusPolicy(Qt::NoFocus);
        QPalette pal = edt->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Window));
        edt->setPalette(pal);
        auto* btn = pulsante(QStringLiteral("Seleziona"), QStringLiteral("btn") + nome, organico);
        lbl->setBuddy(btn);
        g3->addWidget(lbl, riga, 0);
        g3->addWidget(edt, riga, 1);
        g3->addWidget(btn, riga, 2);
        return btn;
    };
    QPushButton* btnReparto = m_btnReparto = rigaUnita(0, QStringLiteral("Reparto"), QStringLiteral("Reparto"), m_reparto);
    QPushButton* btnQualifica = rigaUnita(1, QStringLiteral("Qualifica"), QStringLiteral("Qualifica"), m_qualifica);
    g3->setColumnStretch(1, 1);
    g3->setRowStretch(2, 1);
    connect(btnReparto, &QPushButton::clicked, this, &TDlgQueryLight::btnRepartoClick);
    connect(btnQualifica, &QPushButton::clicked, this, &TDlgQueryLight::btnQualificaClick);

    m_schede = new QTabWidget(pagina);
    m_schede->setObjectName(QStringLiteral("pgcCondizioni"));
    m_schede->addTab(anagrafici, QStringLiteral("Dati Anagrafici"));
    m_schede->addTab(badge, QStringLiteral("Badge"));
    m_schede->addTab(organico, QStringLiteral("Organico"));
    connect(m_schede, &QTabWidget::currentChanged, this, &TDlgQueryLight::fuocoSuCondizioni);

    m_ordine = new QComboBox(pagina);
    m_ordine->setObjectName(QStringLiteral("cmbOrdine"));
    m_ordine->addItems(RicercaAnagrafico::VociOrdine());
    auto* lblOrdine = new QLabel(QStringLiteral("Ordinamento"), pagina);
    lblOrdine->setBuddy(m_ordine);
    auto* ordine = new QHBoxLayout;
    ordine->setSpacing(10);
    ordine->addWidget(lblOrdine);
    ordine->addWidget(m_ordine);
    ordine->addStretch();

    QPushButton* btnAzzera = pulsante(QStringLiteral("Azzera"), QStringLiteral("btnAzzera"), pagina);
    m_btnEsegui = pulsante(QStringLiteral("Esegui >>"), QStringLiteral("btnEsegui"), pagina);
    m_btnEsegui->setToolTip(QStringLiteral("F10"));
    QPushButton* btnAnnulla = pulsante(QStringLiteral("Annulla"), QStringLiteral("btnAnnulla"), pagina);
    connect(btnAzzera, &QPushButton::clicked, this, &TDlgQueryLight::btnAzzeraClick);
    connect(m_btnEsegui, &QPushButton::clicked, this, &TDlgQueryLight::btnEseguiClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TDlgQueryLight::reject);
    auto* comandi = new QHBoxLayout;
    comandi->addWidget(btnAzzera);
    comandi->addStretch();
    comandi->addWidget(m_btnEsegui);
    comandi->addWidget(btnAnnulla);

    auto* l = new QVBoxLayout(pagina);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(10);
    l->addWidget(m_schede, 1);
    l->addLayout(ordine);
    l->addLayout(comandi);

    // Within a tab the user goes along each row, kind first, then to the order and the commands.
    QWidget* prima = nullptr;
    const auto segue = [&prima](QWidget* w) {
        if (prima)
            QWidget::setTabOrder(prima, w);
        prima = w;
    };
    for (const RigaCampo& r : m_righe) {
        segue(r.tipo);
        segue(r.da);
        segue(r.a);
    }
    segue(btnReparto);
    segue(btnQualifica);
    segue(m_ordine);
    segue(m_btnEsegui);
    segue(btnAnnulla);
    segue(btnAzzera);
    return pagina;
}

QWidget* TDlgQueryLight::creaPaginaRisultati()
{
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("pagRisultati"));

    // A plain click or arrow key selects that row alone; Ctrl and Shift add rows.
    m_griglia = new QTableView(pagina);
    m_griglia->setObjectName(QStringLiteral("grdRisultati"));
    m_griglia->setModel(m_modello);
    AspettoGriglia(m_griglia, m_qa.dtm().cfg(), SelezioneGriglia::Righe);
    m_griglia->horizontalHeader()->setStretchLastSection(true);
    m_griglia->setColumnWidth(0, 110);
    m_griglia->setColumnWidth(1, 200);
    m_griglia->setColumnWidth(2, 160);
    connect(m_griglia, &QTableView::doubleClicked, this, &TDlgQueryLight::btnSelezionaClick);

    auto* btnRicerca = pulsante(QStringLiteral("<< &Ricerca"), QStringLiteral("btnRicerca"), pagina);
    m_btnSeleziona = pulsante(QStringLiteral("Seleziona"), QStringLiteral("btnSeleziona"), pagina);
    QPushButton* btnAnnulla = pulsante(QStringLiteral("Annulla"), QStringLiteral("btnAnnullaRisultati"), pagina);
    connect(btnRicerca, &QPushButton::clicked, this, &TDlgQueryLight::btnRicercaClick);
    connect(m_btnSeleziona, &QPushButton::clicked, this, &TDlgQueryLight::btnSelezionaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TDlgQueryLight::reject);
    auto* comandi = new QHBoxLayout;
    comandi->addWidget(btnRicerca);
    comandi->addStretch();
    comandi->addWidget(m_btnSeleziona);
    comandi->addWidget(btnAnnulla);

    auto* suggerimento = new QLabel(QStringLiteral("Un clic sceglie una persona; Ctrl+clic o Maiusc+clic ne aggiungono altre. "
                                                   "\u00ABSeleziona\u00BB prende le persone evidenziate, tutte se nessuna lo \u00E8."),
                                    pagina);
    suggerimento->setObjectName(QStringLiteral("lblSuggerimento"));
    suggerimento->setWordWrap(true);

    auto* l = new QVBoxLayout(pagina);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(10);
    l->addWidget(m_griglia, 1);
    l->addWidget(suggerimento);
    l->addLayout(comandi);

    QWidget::setTabOrder(m_griglia, m_btnSeleziona);
    QWidget::setTabOrder(m_btnSeleziona, btnAnnulla);
    QWidget::setTabOrder(btnAnnulla, btnRicerca);
    return pagina;
}

int TDlgQueryLight::Esegui(QWidget* parent, bool paginaRicerca)
{
    // Borrowed by the caller's window for the time it is shown: the component, not the
    // window, owns the dialog between uses.
    setParent(parent, windowFlags());
    mostraCondizioni();
    if (m_ricerca.Vuota())
        m_schede->setCurrentIndex(SchAnagrafici);
    m_modello->aggiorna();
    mostraPagina(paginaRicerca ? PagRicerca : PagRisultati);
    const int r = exec();
    setParent(nullptr, windowFlags());
    return r;
}

int TDlgQueryLight::PaginaCorrente() const
{
    return m_pagine->currentIndex();
}

void TDlgQueryLight::mostraPagina(Pagina p)
{
    m_pagine->setCurrentIndex(p);
    m_btnEsegui->setDefault(p == PagRicerca);
    m_btnSeleziona->setDefault(p == PagRisultati);
    if (p == PagRicerca) {
        fuocoSuCondizioni();
        return;
    }
    m_griglia->setFocus();
    // The keyboard starts on the first row without choosing it: until the user picks rows,
    // "Seleziona" takes the whole result.
    if (m_modello->rowCount() > 0 && !m_griglia->currentIndex().isValid())
        m_griglia->selectionModel()->setCurrentIndex(m_modello->index(0, 0), QItemSelectionModel::NoUpdate);
}

void TDlgQueryLight::fuocoSuCondizioni()
{
    if (m_pagine->currentIndex() != PagRicerca)
        return;
    switch (m_schede->currentIndex()) {
    case SchAnagrafici: m_righe[int(CampoRicerca::Cognome)].da->setFocus(); break;
    case SchBadge: m_righe[int(CampoRicerca::CodiceBadge)].da->setFocus(); break;
    default: m_btnReparto->setFocus(); break;
    }
}

void TDlgQueryLight::tipoCambiato(CampoRicerca campo)
{
    const RigaCampo& r = m_righe[int(campo)];
    m_ricerca.setConfronto(campo, Confronto(std::max(0, r.tipo->currentIndex())));
    const bool intervallo = m_ricerca.confronto(campo) == Confronto::DaA;
    r.etichettaA->setVisible(intervallo);
    r.a->setVisible(intervallo);
}

void TDlgQueryLight::valoreLasciato(CampoRicerca campo, int quale)
{
    QLineEdit* e = quale ? m_righe[int(campo)].a : m_righe[int(campo)].da;
    m_ricerca.setValore(campo, quale, e->text());
    if (e->text() != m_ricerca.valore(campo, quale))
        e->setText(m_ricerca.valore(campo, quale));
}

void TDlgQueryLight::leggiCondizioni()
{
    for (int i = 0; i < int(m_righe.size()); ++i) {
        const auto campo = CampoRicerca(i);
        m_ricerca.setConfronto(campo, Confronto(std::max(0, m_righe[i].tipo->currentIndex())));
        m_ricerca.setValore(campo, 0, m_righe[i].da->text());
        m_ricerca.setValore(campo, 1, m_righe[i].a->text());
    }
    m_ricerca.setOrdine(m_ordine->currentText());
}

void TDlgQueryLight::mostraCondizioni()
{
    for (int i = 0; i < int(m_righe.size()); ++i) {
        const auto campo = CampoRicerca(i);
        const RigaCampo& r = m_righe[i];
        {
            const QSignalBlocker b(r.tipo);
            r.tipo->setCurrentIndex(int(m_ricerca.confronto(campo)));
        }
        tipoCambiato(campo);
        r.da->setText(m_ricerca.valore(campo, 0));
        r.a->setText(m_ricerca.valore(campo, 1));
    }
    mostraUnita(Organico::Reparto);
    mostraUnita(Organico::Qualifica);
    const int n = m_ordine->findText(m_ricerca.ordine());
    m_ordine->setCurrentIndex(n >= 0 ? n : 0);
}

void TDlgQueryLight::mostraUnita(Organico o)
{
    QLineEdit* e = o == Organico::Reparto ? m_reparto : m_qualifica;
    e->setText(m_ricerca.testoUnita(o));
    e->setCursorPosition(0);
    QStringList nomi;
    for (const UnitaScelta& u : m_ricerca.unita(o))
        nomi << u.descr;
    e->setToolTip(nomi.join(QLatin1Char('\n')));
}

void TDlgQueryLight::scegliUnita(Organico o)
{
    QList<UnitaScelta> elenco;
    try {
        elenco = m_ricerca.elencoUnita(o);
    } catch (const ErroreDb& e) {
        m_qa.dtm().MostraErroreDb(e);
        return;
    }
    TDlgPickList dlg(o == Organico::Reparto ? QStringLiteral("Reparto") : QStringLiteral("Qualifica"), elenco, m_ricerca.unita(o), this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    m_ricerca.setUnita(o, dlg.Scelte());
    mostraUnita(o);
}

void TDlgQueryLight::btnRepartoClick()
{
    scegliUnita(Organico::Reparto);
}

void TDlgQueryLight::btnQualificaClick()
{
    scegliUnita(Organico::Qualifica);
}

void TDlgQueryLight::btnEseguiClick()
{
    if (m_pagine->currentIndex() != PagRicerca)
        return;
    leggiCondizioni();
    mostraCondizioni();  // shows the values as they are searched (zero filled)
    RicercaAnagrafico::Esito esito;
    try {
        esito = m_ricerca.Cerca();
    } catch (const ErroreDb& e) {
        m_qa.dtm().MostraErroreDb(e);
        return;
    }
    switch (esito) {
    case RicercaAnagrafico::Esito::IntervalloErrato: {
        const CampoRicerca campo = m_ricerca.IntervalloErrato().value_or(CampoRicerca::Cognome);
        m_schede->setCurrentIndex(campo == CampoRicerca::CodiceBadge ? SchBadge : SchAnagrafici);
        m_righe[int(campo)].a->setFocus();
        m_righe[int(campo)].a->selectAll();
        return;
    }
    case RicercaAnagrafico::Esito::Nessuno: m_modello->aggiorna(); return;
    case RicercaAnagrafico::Esito::Trovati: break;
    }
    m_modello->aggiorna();
    m_griglia->setCurrentIndex(QModelIndex());
    mostraPagina(PagRisultati);
}

void TDlgQueryLight::btnAzzeraClick()
{
    if (!m_qa.dtm().Chiedi(Msg::SclAzzera))
        return;
    m_ricerca.Azzera();
    mostraCondizioni();
    m_schede->setCurrentIndex(SchAnagrafici);
    fuocoSuCondizioni();
}

void TDlgQueryLight::btnRicercaClick()
{
    mostraPagina(PagRicerca);
}

void TDlgQueryLight::btnSelezionaClick()
{
    if (m_pagine->currentIndex() != PagRisultati)
        return;
    QList<int> righe;
    for (const QModelIndex& i : m_griglia->selectionModel()->selectedRows())
        righe << i.row();
    std::sort(righe.begin(), righe.end());
    QList<int> marcati;
    for (int r : righe)
        marcati << m_modello->id(r);
    int risultato = TQALight::RisAnnullato;
    try {
        risultato = m_ricerca.Conferma(marcati);
    } catch (const ErroreDb& e) {
        m_qa.dtm().MostraErroreDb(e);
        return;
    }
    done(risultato);
}

void TDlgQueryLight::reject()
{
    done(TQALight::RisAnnullato);
}

void RegistraDialogoQA()
{
    TQALight::RegistraFabbrica([](TQALight& qa) { return std::make_unique<TDlgQueryLight>(qa); });
}
