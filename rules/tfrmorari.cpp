#include "tfrmorari.h"

#include "comandiarchivio.h"
#include "cursoreattesa.h"
#include "icone.h"
#include "rptorari.h"
#include "tdtmpresenze.h"
#include "testiora.h"
#include "tfrmanteprima.h"
#include "tfrmorariedit.h"
#include "tfrmstampa.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>

namespace {

QLineEdit* valore(const char* nome, int caratteri, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(nome));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * caratteri + 16);
    return e;
}

}  // namespace

TfrmOrari::TfrmOrari(TdtmOrari& orari, QWidget* parent) : QMainWindow(parent), m_orari(orari), m_dtm(orari.dtm())
{
    setObjectName(QStringLiteral("frmOrari"));
    setWindowTitle(QStringLiteral("Orari di Lavoro"));
    setWindowIcon(IconaComando(QStringLiteral("orari")));

    m_comandi = new ComandiArchivio(this, m_dtm, kContestoAiuto);
    m_comandi->Collega(ComandiArchivio::Esci, [this] { itmEsciClick(); });
    m_comandi->Collega(ComandiArchivio::Stampa, [this] { itmStampaClick(); });
    m_comandi->Collega(ComandiArchivio::Inserisci, [this] { btnInserisciClick(); });
    m_comandi->Collega(ComandiArchivio::Modifica, [this] { btnModificaClick(); });
    m_comandi->Collega(ComandiArchivio::Cancella, [this] { btnDeleteClick(); });
    m_comandi->RiempiMenu(menuBar(), QStringLiteral("&Orari"));
    QToolBar* barra = addToolBar(QStringLiteral("Orari"));
    barra->setObjectName(QStringLiteral("tbOrari"));
    barra->setMovable(false);
    m_comandi->RiempiBarra(barra);

    auto* centro = new QWidget(this);
    auto* l = new QHBoxLayout(centro);
    l->setContentsMargins(8, 8, 8, 8);
    l->setSpacing(10);

    auto* tabella = new QGroupBox(QStringLiteral("Tabella Orari"), centro);
    m_modello = new QStandardItemModel(0, 1, this);
    m_modello->setHorizontalHeaderLabels({QStringLiteral("Descrizione")});
    m_griglia = new QTableView(tabella);
    m_griglia->setObjectName(QStringLiteral("grdOrari"));
    m_griglia->setModel(m_modello);
    AspettoGriglia(m_griglia, m_dtm.cfg());
    m_griglia->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_griglia->setMinimumWidth(m_griglia->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 22);
    m_comandi->ModificaAlDoppioClic(m_griglia);
    connect(m_griglia->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TfrmOrari::wwTblOrariAfterScroll);
    auto* lt = new QVBoxLayout(tabella);
    lt->addWidget(m_griglia);
    l->addWidget(tabella, 1);

    // The current timetable, as the editor shows it.
    auto* dettagli = new QWidget(centro);
    auto* ld = new QVBoxLayout(dettagli);
    ld->setContentsMargins(0, 0, 0, 0);
    m_descr = valore("edtDescr", 30, dettagli);
    m_oreMedie = valore("edtOreMedie", 5, dettagli);
    m_chiusura = valore("edtChiusura", 18, dettagli);
    m_prima = valore("edtPrima", 5, dettagli);
    m_ultima = valore("edtUltima", 5, dettagli);
    m_ingresso = valore("edtIngresso", 3, dettagli);
    m_uscita = valore("edtUscita", 3, dettagli);
    m_minimo = valore("edtMinimo", 3, dettagli);
    m_arrotStra = valore("edtArrotStra", 3, dettagli);
    auto* generale = new QGridLayout;
    const auto riga = [&](QGridLayout* g, int r, const QString& testo, QLineEdit* campo) {
        g->addWidget(new QLabel(testo, dettagli), r, 0);
        g->addWidget(campo, r, 1);
    };
    riga(generale, 0, QStringLiteral("Descrizione"), m_descr);
    riga(generale, 1, QStringLiteral("Ore Medie"), m_oreMedie);
    riga(generale, 2, QStringLiteral("Chiusura"), m_chiusura);
    generale->setColumnStretch(2, 1);
    ld->addLayout(generale);
    const auto gruppo = [&](const char* nome, const QString& titolo, const QString& t1, QLineEdit* c1, const QString& t2, QLineEdit* c2) {
        auto* g = new QGroupBox(titolo, dettagli);
        g->setObjectName(QString::fromLatin1(nome));
        auto* lg = new QGridLayout(g);
        riga(lg, 0, t1, c1);
        riga(lg, 1, t2, c2);
        lg->setColumnStretch(2, 1);
        ld->addWidget(g);
    };
    gruppo("grpTimbrature", QStringLiteral("Timbrature"), QStringLiteral("Prima"), m_prima, QStringLiteral("Ultima"), m_ultima);
    gruppo("grpArrotondamenti", QStringLiteral("Arrotondamenti"), QStringLiteral("Ingresso"), m_ingresso, QStringLiteral("Uscita"), m_uscita);
    gruppo("grpStraordinari", QStringLiteral("Straordinari"), QStringLiteral("Minimo"), m_minimo, QStringLiteral("Arrotondamento"), m_arrotStra);
    ld->addStretch(1);
    l->addWidget(dettagli);
    setCentralWidget(centro);
    resize(760, 440);

    Initialize();
}

void TfrmOrari::Initialize(int id)
{
    try {
        m_chiusure = m_orari.Chiusure();
        m_elenco = m_orari.Elenco();
    } catch (const ErroreDb& e) {
        m_elenco.clear();
        m_dtm.MostraErroreDb(e);
    }
    m_modello->removeRows(0, m_modello->rowCount());
    int corrente = 0;
    for (int r = 0; r < m_elenco.size(); ++r) {
        auto* voce = new QStandardItem(m_elenco.at(r).Descr);
        voce->setData(m_elenco.at(r).Id, Qt::UserRole);
        voce->setEditable(false);
        m_modello->appendRow(voce);
        if (m_elenco.at(r).Id == id)
            corrente = r;
    }
    if (!m_elenco.isEmpty())
        m_griglia->setCurrentIndex(m_modello->index(corrente, 0));
    wwTblOrariAfterScroll();
}

int TfrmOrari::rigaCorrente() const
{
    const int r = m_griglia->currentIndex().row();
    return r >= 0 && r < m_elenco.size() ? r : -1;
}

const DatiOrario* TfrmOrari::Corrente() const
{
    const int r = rigaCorrente();
    return r < 0 ? nullptr : &m_elenco.at(r);
}

void TfrmOrari::wwTblOrariAfterScroll()
{
    const DatiOrario* o = Corrente();
    const auto passo = [](const std::optional<int>& p) { return p ? QString::number(*p) : QString(); };
    QString chiusura = o ? o->ChiusGio : QString();
    for (const CodiceDescr& c : std::as_const(m_chiusure))
        if (o && c.codice == o->ChiusGio)
            chiusura = c.descr;
    m_descr->setText(o ? o->Descr : QString());
    m_prima->setText(o ? TestiOra::OrologioMinuti(o->PrimaTimb) : QString());
    m_ultima->setText(o ? TestiOra::OrologioMinuti(o->UltimaTimb) : QString());
    m_oreMedie->setText(o ? TestiOra::OrologioMinuti(o->OreMedie) : QString());
    m_chiusura->setText(chiusura);
    m_ingresso->setText(o ? passo(o->PassoEntrata) : QString());
    m_uscita->setText(o ? passo(o->PassoUscita) : QString());
    m_minimo->setText(o ? QString::number(o->MinimoStra()) : QString());
    m_arrotStra->setText(o ? QString::number(o->PassoStra()) : QString());
    for (ComandiArchivio::Comando c : {ComandiArchivio::Modifica, ComandiArchivio::Cancella})
        m_comandi->Azione(c)->setEnabled(o != nullptr);
}

void TfrmOrari::itmEsciClick()
{
    close();
}

void TfrmOrari::itmStampaClick()
{
    TfrmStampa dialogo(m_dtm, this);
    const TRecStampa scelta = dialogo.Esegui(QStringLiteral("CO"));
    if (scelta.codice != Stampa::kElencoOrari)
        return;
    Stampa::CreaEdEsegui(this, m_dtm, [&] { return TrptOrari(m_orari).Crea(scelta.descrizione); });
}

void TfrmOrari::apriEditor(bool inserisci)
{
    const DatiOrario* o = Corrente();
    if (!inserisci && !o)
        return;
    const int corrente = o ? o->Id : 0;
    TfrmOrariEdit editor(m_orari, inserisci ? TfrmOrariEdit::Inserimento : TfrmOrariEdit::Modifica, o ? *o : DatiOrario(), this);
    // Read again either way: the editor may have found the timetable deleted elsewhere.
    Initialize(editor.exec() == QDialog::Accepted ? editor.Id() : corrente);
}

void TfrmOrari::btnInserisciClick()
{
    apriEditor(true);
}

void TfrmOrari::btnModificaClick()
{
    apriEditor(false);
}

void TfrmOrari::btnDeleteClick()
{
    const DatiOrario* o = Corrente();
    if (!o)
        return;
    const int riga = rigaCorrente();
    int errore = 0;
    try {
        const CursoreAttesa attesa;
        errore = m_orari.Cancella(o->Id);
    } catch (const ErroreDb& e) {
        m_dtm.MostraErroreDb(e);
        return;
    }
    if (errore) {
        m_dtm.MostraErrore(errore);
        return;
    }
    // The row that took its place stays current.
    const int seguente = riga + 1 < m_elenco.size() ? m_elenco.at(riga + 1).Id : (riga > 0 ? m_elenco.at(riga - 1).Id : 0);
    Initialize(seguente);
}
