// The search dialogs driven as a user does, through TQALight::Execute: keys, clicks,
// marks in the grid, the unit picker; then the result, the selection table and the
// messages are checked.

#include "anagrafe.h"
#include "../core/modale.h"
#include "tdlgpicklist.h"
#include "tdlgquerylight.h"
#include "tqalight.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

namespace {

template <class T = QWidget>
T* w(QWidget* d, const char* nome)
{
    T* t = d->findChild<T*>(QString::fromLatin1(nome));
    if (!t)
        qWarning("widget mancante: %s", nome);
    return t;
}

void clic(QWidget* d, const char* nome)
{
    QTest::mouseClick(w<QAbstractButton>(d, nome), Qt::LeftButton);
}

void scrivi(QWidget* d, const char* nome, const QString& testo)
{
    auto* e = w<QLineEdit>(d, nome);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, testo);
}

void tasto(Qt::Key k, Qt::KeyboardModifiers m = {})
{
    QTest::keyClick(QApplication::focusWidget(), k, m);
}

int pagina(QWidget* d)
{
    return w<QStackedWidget>(d, "stkPagine")->currentIndex();
}

QString fuoco()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

QTableView* griglia(QWidget* d)
{
    return w<QTableView>(d, "grdRisultati");
}

void clicRiga(QWidget* d, int riga, Qt::KeyboardModifiers m = {})
{
    QTableView* g = griglia(d);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, m, g->visualRect(g->model()->index(riga, 1)).center());
}

QList<int> righeMarcate(QWidget* d)
{
    QList<int> l;
    for (const QModelIndex& i : griglia(d)->selectionModel()->selectedRows())
        l << i.row();
    std::sort(l.begin(), l.end());
    return l;
}

QStringList colonna(QWidget* d, int c)
{
    QStringList l;
    const QAbstractItemModel* m = griglia(d)->model();
    for (int r = 0; r < m->rowCount(); ++r)
        l << m->index(r, c).data().toString();
    return l;
}

// Visible children of a widget that overlap one another.
QStringList sovrapposti(QWidget* contenitore)
{
    QList<QWidget*> figli;
    for (QObject* o : contenitore->children())
        if (auto* x = qobject_cast<QWidget*>(o); x && x->isVisible())
            figli << x;
    QStringList l;
    for (int i = 0; i < figli.size(); ++i)
        for (int j = i + 1; j < figli.size(); ++j)
            if (figli[i]->geometry().intersects(figli[j]->geometry()))
                l << figli[i]->objectName() + QLatin1Char('/') + figli[j]->objectName();
    return l;
}

// Nominativo order of the register (see anagrafe.h): the row of each id in the grid.
const QList<int> kOrdineNominativo{3, 5, 9, 8, 1, 2, 6, 7, 4};

class Scenario {
public:
    Scenario()
    {
        Anagrafe::popola(amb);
        RegistraDialogoQA();
    }
    // Runs the dialog; the action drives it, the first time it is met.
    int esegui(std::function<void(QWidget*)> azione)
    {
        bool fatto = false;
        QuandoModale m([&](QWidget* d) {
            // Keys go to the focus widget, which the dialog has once it is the active window.
            if (!QTest::qWaitForWindowActive(d))
                qWarning("finestra non attiva: %s", qPrintable(d->objectName()));
            if (fatto)
                return;
            fatto = true;
            azione(d);
            // A step that failed to end the dialog must not leave the test waiting.
            if (d->isVisible()) {
                qWarning("finestra rimasta aperta: %s", qPrintable(d->objectName()));
                d->close();
            }
        });
        return qa.Execute();
    }
    Ambiente amb;
    TQALight qa{amb.dtm()};
};

}  // namespace

class TstDlgQuery : public QObject {
    Q_OBJECT
private slots:
    void apertura();
    void ordineDiTabulazione();
    void impaginazione();
    void marcaturaConCtrl();
    void marcaturaConShift();
    void doppioClicSenzaCondizioni();
    void invioSuiRisultati();
    void matricolaRiempita();
    void intervalloRovesciato();
    void nessunRecord();
    void azzera_data();
    void azzera();
    void organico();
    void pickList();
    void ritornoERisultati();
    void annulla();
};

void TstDlgQuery::apertura()
{
    Scenario s;
    QString titolo, focus, pulsanti;
    QStringList schede, tipi, ordini, attuali;
    int pag = -1;
    bool secondoVisibile = true;
    const int r = s.esegui([&](QWidget* d) {
        titolo = d->windowTitle();
        auto* t = w<QTabWidget>(d, "pgcCondizioni");
        for (int n = 0; n < t->count(); ++n)
            schede << t->tabText(n);
        auto* c = w<QComboBox>(d, "cmbCognome");
        for (int n = 0; n < c->count(); ++n)
            tipi << c->itemText(n);
        for (const char* n : {"cmbCognome", "cmbNome", "cmbMatricola", "cmbCodiceBadge"})
            attuali << w<QComboBox>(d, n)->currentText();
        auto* o = w<QComboBox>(d, "cmbOrdine");
        for (int n = 0; n < o->count(); ++n)
            ordini << o->itemText(n);
        secondoVisibile = w(d, "edtCognomeA")->isVisible();
        pag = pagina(d);
        focus = fuoco();
        for (const char* b : {"btnEsegui", "btnAzzera", "btnAnnulla"})
            pulsanti += w<QAbstractButton>(d, b)->text() + QLatin1Char('|');
        tasto(Qt::Key_Escape);
    });
    QCOMPARE(r, int(TQALight::RisAnnullato));
    QCOMPARE(s.qa.Result(), int(TQALight::RisAnnullato));
    QCOMPARE(titolo, QStringLiteral("Ricerca Archivio Anagrafico"));
    QCOMPARE(schede, (QStringList{"Dati Anagrafici", "Badge", "Organico"}));
    QCOMPARE(tipi, (QStringList{"uguale a ...", "inizia con ...", "finisce con ...", "contiene ...", "da... a..."}));
    QCOMPARE(attuali, QStringList(4, QStringLiteral("inizia con ...")));
    QCOMPARE(ordini, (QStringList{"Ordina per Nominativo", "Ordina per Matricola"}));
    QCOMPARE(pulsanti, QStringLiteral("Esegui >>|Azzera|Annulla|"));
    QVERIFY(!secondoVisibile);
    QCOMPARE(pag, int(TDlgQueryLight::PagRicerca));
    QCOMPARE(focus, QStringLiteral("edtCognomeDa"));
    QCOMPARE(s.qa.SortFields(), QStringLiteral("Cognome;Nome"));
}

void TstDlgQuery::ordineDiTabulazione()
{
    Scenario s;
    QStringList percorso;
    s.esegui([&](QWidget* d) {
        w(d, "cmbCognome")->setFocus();
        percorso << fuoco();
        for (int n = 0; n < 8; ++n) {
            tasto(Qt::Key_Tab);
            percorso << fuoco();
        }
        clic(d, "btnAnnulla");
    });
    // The second values are hidden until a range is chosen, the other tabs' fields skipped.
    QCOMPARE(percorso, (QStringList{"cmbCognome", "edtCognomeDa", "cmbNome", "edtNomeDa", "cmbMatricola", "edtMatricolaDa", "cmbOrdine",
                                    "btnEsegui", "btnAnnulla"}));
}

void TstDlgQuery::impaginazione()
{
    Ambiente amb;
    Anagrafe::popola(amb);
    TQALight qa(amb.dtm());
    TDlgQueryLight dlg(qa);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* schede = w<QTabWidget>(&dlg, "pgcCondizioni");
    for (int n = 0; n < schede->count(); ++n) {
        schede->setCurrentIndex(n);
        w<QComboBox>(&dlg, "cmbMatricola")->setCurrentIndex(int(Confronto::DaA));
        w<QComboBox>(&dlg, "cmbCodiceBadge")->setCurrentIndex(int(Confronto::DaA));
        QVERIFY2(sovrapposti(schede->widget(n)).isEmpty(), qPrintable(sovrapposti(schede->widget(n)).join(QLatin1Char(' '))));
    }
    QVERIFY(sovrapposti(w(&dlg, "pagRicerca")).isEmpty());
    dlg.btnEseguiClick();
    QCOMPARE(dlg.PaginaCorrente(), int(TDlgQueryLight::PagRisultati));
    QVERIFY(sovrapposti(w(&dlg, "pagRisultati")).isEmpty());

    TDlgPickList pick(QStringLiteral("Reparto"), {{1, QStringLiteral("Azienda")}}, {{1, QStringLiteral("Azienda")}});
    pick.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pick));
    QVERIFY(sovrapposti(w(&pick, "grpValori")).isEmpty());
    QVERIFY(sovrapposti(&pick).isEmpty());
}

void TstDlgQuery::marcaturaConCtrl()
{
    Scenario s;
    int pag = -1;
    QStringList classi, titoli;
    QList<int> marcate;
    const int r = s.esegui([&](QWidget* d) {
        tasto(Qt::Key_F10);
        pag = pagina(d);
        classi = colonna(d, 3);
        for (int c = 0; c < griglia(d)->model()->columnCount(); ++c)
            titoli << griglia(d)->model()->headerData(c, Qt::Horizontal).toString();
        clicRiga(d, 1, Qt::ControlModifier);
        clicRiga(d, 3, Qt::ControlModifier);
        marcate = righeMarcate(d);
        clic(d, "btnSeleziona");
    });
    QCOMPARE(pag, int(TDlgQueryLight::PagRisultati));
    QCOMPARE(titoli, (QStringList{"Matricola", "Cognome", "Nome", "Classe"}));
    QStringList attese(9, QStringLiteral("Dipendente"));
    attese[8] = QStringLiteral("Ospite");  // Verdi, last by name
    QCOMPARE(classi, attese);
    QCOMPARE(marcate, (QList<int>{1, 3}));
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{5, 8}));
}

void TstDlgQuery::marcaturaConShift()
{
    Scenario s;
    QList<int> dopoClic, dopoShift, dopoCtrl, dopoFreccia;
    const int r = s.esegui([&](QWidget* d) {
        clic(d, "btnEsegui");
        clicRiga(d, 0, Qt::ControlModifier);
        clicRiga(d, 2);  // a plain click drops the marks and only moves
        dopoClic = righeMarcate(d);
        clicRiga(d, 5, Qt::ShiftModifier);
        dopoShift = righeMarcate(d);
        clicRiga(d, 3, Qt::ControlModifier);
        dopoCtrl = righeMarcate(d);
        griglia(d)->setFocus();
        tasto(Qt::Key_Down, Qt::ShiftModifier);
        dopoFreccia = righeMarcate(d);
        clic(d, "btnSeleziona");
    });
    QVERIFY(dopoClic.isEmpty());
    QCOMPARE(dopoShift, (QList<int>{2, 3, 4, 5}));
    QCOMPARE(dopoCtrl, (QList<int>{2, 4, 5}));
    QVERIFY(dopoFreccia.size() >= 2);
    QCOMPARE(r, int(TQALight::RisSelezione));
    QList<int> attesi;
    for (int riga : dopoFreccia)
        attesi << kOrdineNominativo.at(riga);
    std::sort(attesi.begin(), attesi.end());
    QCOMPARE(Anagrafe::selezione(s.amb), attesi);
}

void TstDlgQuery::doppioClicSenzaCondizioni()
{
    Scenario s;
    const int r = s.esegui([&](QWidget* d) {
        tasto(Qt::Key_F10);
        QTableView* g = griglia(d);
        const QPoint p = g->visualRect(g->model()->index(2, 1)).center();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, p);  // a double click starts with a press
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, p);
    });
    QCOMPARE(r, int(TQALight::RisTutti));
    QVERIFY(!Anagrafe::esisteTabella(s.amb, QStringLiteral("AnagraficoSelezione")));
}

void TstDlgQuery::invioSuiRisultati()
{
    Scenario s;
    QString focusRisultati;
    const int r = s.esegui([&](QWidget* d) {
        scrivi(d, "edtCognomeDa", QStringLiteral("Ros"));
        tasto(Qt::Key_Return);  // "Esegui >>" is the default button of the conditions
        focusRisultati = fuoco();
        tasto(Qt::Key_Return);  // and "Seleziona" that of the results
    });
    QCOMPARE(focusRisultati, QStringLiteral("grdRisultati"));
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{1, 2}));
}

void TstDlgQuery::matricolaRiempita()
{
    Scenario s;
    bool secondoVisibile = false;
    QString daLasciato, aLasciato;
    int righe = -1;
    const int r = s.esegui([&](QWidget* d) {
        w<QComboBox>(d, "cmbMatricola")->setCurrentIndex(int(Confronto::DaA));
        secondoVisibile = w(d, "edtMatricolaA")->isVisible();
        scrivi(d, "edtMatricolaDa", QStringLiteral("12"));
        tasto(Qt::Key_Tab);
        daLasciato = w<QLineEdit>(d, "edtMatricolaDa")->text();
        scrivi(d, "edtMatricolaA", QStringLiteral("120"));
        tasto(Qt::Key_F10);  // still in the box: the value is filled all the same
        aLasciato = w<QLineEdit>(d, "edtMatricolaA")->text();
        righe = griglia(d)->model()->rowCount();
        clic(d, "btnSeleziona");
    });
    QVERIFY(secondoVisibile);
    QCOMPARE(daLasciato, QStringLiteral("0000000012"));
    QCOMPARE(aLasciato, QStringLiteral("0000000120"));
    QCOMPARE(righe, 3);
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{1, 2, 3}));
}

void TstDlgQuery::intervalloRovesciato()
{
    Scenario s;
    int scheda = -1, pag = -1;
    QString focus;
    s.esegui([&](QWidget* d) {
        auto* schede = w<QTabWidget>(d, "pgcCondizioni");
        schede->setCurrentIndex(TDlgQueryLight::SchBadge);
        w<QComboBox>(d, "cmbCodiceBadge")->setCurrentIndex(int(Confronto::DaA));
        scrivi(d, "edtCodiceBadgeDa", QStringLiteral("346"));
        scrivi(d, "edtCodiceBadgeA", QStringLiteral("345"));
        schede->setCurrentIndex(TDlgQueryLight::SchAnagrafici);
        tasto(Qt::Key_F10);
        scheda = schede->currentIndex();
        pag = pagina(d);
        focus = fuoco();
        clic(d, "btnAnnulla");
    });
    QCOMPARE(s.amb.registro().avvisi,
             QStringList{QStringLiteral("Il valore indicato nel campo [A...] non deve essere inferiore a quello del campo [Da...]!")});
    QCOMPARE(scheda, int(TDlgQueryLight::SchBadge));
    QCOMPARE(pag, int(TDlgQueryLight::PagRicerca));
    QCOMPARE(focus, QStringLiteral("edtCodiceBadgeA"));
}

void TstDlgQuery::nessunRecord()
{
    Scenario s;
    int pag = -1;
    s.esegui([&](QWidget* d) {
        w<QComboBox>(d, "cmbCognome")->setCurrentIndex(int(Confronto::Uguale));
        scrivi(d, "edtCognomeDa", QStringLiteral("Zanetti"));
        clic(d, "btnEsegui");
        pag = pagina(d);
        tasto(Qt::Key_Escape);
    });
    QCOMPARE(s.amb.registro().avvisi, QStringList{QStringLiteral("Nessun record soddisfa le condizioni di ricerca impostate!")});
    QCOMPARE(pag, int(TDlgQueryLight::PagRicerca));
}

void TstDlgQuery::azzera_data()
{
    QTest::addColumn<bool>("risposta");
    QTest::newRow("sì") << true;
    QTest::newRow("no") << false;
}

void TstDlgQuery::azzera()
{
    QFETCH(bool, risposta);
    Scenario s;
    s.amb.registro().risposte = {risposta};
    QString cognome, tipo, ordine, reparto;
    int scheda = -1;
    s.esegui([&](QWidget* d) {
        w<QComboBox>(d, "cmbCognome")->setCurrentIndex(int(Confronto::Contiene));
        scrivi(d, "edtCognomeDa", QStringLiteral("ss"));
        w<QComboBox>(d, "cmbOrdine")->setCurrentIndex(1);
        s.qa.Ricerca().setUnita(Organico::Reparto, {{Anagrafe::Uffici, QStringLiteral("Uffici")}});
        w<QTabWidget>(d, "pgcCondizioni")->setCurrentIndex(TDlgQueryLight::SchOrganico);
        clic(d, "btnAzzera");
        cognome = w<QLineEdit>(d, "edtCognomeDa")->text();
        tipo = w<QComboBox>(d, "cmbCognome")->currentText();
        ordine = w<QComboBox>(d, "cmbOrdine")->currentText();
        scheda = w<QTabWidget>(d, "pgcCondizioni")->currentIndex();
        reparto = s.qa.Ricerca().testoUnita(Organico::Reparto);
        clic(d, "btnAnnulla");
    });
    QCOMPARE(s.amb.registro().domande, QStringList{QStringLiteral("Rimuovere tutte le condizioni di ricerca impostate?")});
    QCOMPARE(cognome, risposta ? QString() : QStringLiteral("ss"));
    QCOMPARE(tipo, risposta ? QStringLiteral("inizia con ...") : QStringLiteral("contiene ..."));
    QCOMPARE(ordine, risposta ? QStringLiteral("Ordina per Nominativo") : QStringLiteral("Ordina per Matricola"));
    QCOMPARE(scheda, risposta ? int(TDlgQueryLight::SchAnagrafici) : int(TDlgQueryLight::SchOrganico));
    QCOMPARE(reparto, risposta ? QString() : QStringLiteral("Uffici"));
}

void TstDlgQuery::organico()
{
    Scenario s;
    QString titolo, gruppo, reparto, suggerimento;
    QList<bool> abilitazioni;  // Aggiungi, Rimuovi: at opening, after choosing, after adding
    int elencati = -1;
    QStringList voci;
    const auto pick = [&](QWidget* p) {
        titolo = p->windowTitle();
        gruppo = w<QGroupBox>(p, "grpValori")->title();
        auto* valori = w<QComboBox>(p, "cmbValori");
        for (int n = 0; n < valori->count(); ++n)
            voci << valori->itemText(n);
        abilitazioni << w(p, "btnAggiungi")->isEnabled() << w(p, "btnRimuovi")->isEnabled();
        valori->setCurrentIndex(valori->findText(QStringLiteral("Produzione")));
        abilitazioni << w(p, "btnAggiungi")->isEnabled() << w(p, "btnRimuovi")->isEnabled();
        clic(p, "btnAggiungi");
        abilitazioni << w(p, "btnAggiungi")->isEnabled() << w(p, "btnRimuovi")->isEnabled();
        valori->setCurrentIndex(valori->findText(QStringLiteral("Magazzino")));
        clic(p, "btnAggiungi");
        clic(p, "btnAggiungi");  // a name already listed is not added again
        elencati = w<QListWidget>(p, "lstValori")->count();
        clic(p, "btnOK");
    };
    const int r = s.esegui([&](QWidget* d) {
        w<QTabWidget>(d, "pgcCondizioni")->setCurrentIndex(TDlgQueryLight::SchOrganico);
        {
            // The picker runs in its own loop, inside the handling of this dialog.
            QuandoModale interno([&](QWidget* p) {
                if (p->objectName() != QLatin1String("dlgPickList"))
                    return;
                if (QTest::qWaitForWindowActive(p))
                    pick(p);
                if (p->isVisible())
                    p->close();
            });
            clic(d, "btnReparto");
        }
        reparto = w<QLineEdit>(d, "edtReparto")->text();
        suggerimento = w<QLineEdit>(d, "edtReparto")->toolTip();
        clic(d, "btnEsegui");
        clic(d, "btnSeleziona");
    });
    QCOMPARE(titolo, QStringLiteral("Selezione valori"));
    QCOMPARE(gruppo, QStringLiteral("Reparto"));
    QCOMPARE(voci, (QStringList{"Azienda", "Magazzino", "Produzione", "Uffici"}));
    QCOMPARE(abilitazioni, (QList<bool>{false, false, true, false, true, true}));
    QCOMPARE(elencati, 2);
    QCOMPARE(reparto, QStringLiteral("Produzione ..."));
    QCOMPARE(suggerimento, QStringLiteral("Produzione\nMagazzino"));
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{1, 2, 5}));
}

void TstDlgQuery::pickList()
{
    const QList<UnitaScelta> elenco{{20, QStringLiteral("Operaio")}, {21, QStringLiteral("Impiegato")}, {22, QStringLiteral("Quadro")}};
    const auto nomi = [](const TDlgPickList& p) {
        QStringList l;
        for (const UnitaScelta& u : p.Scelte())
            l << u.descr;
        return l;
    };
    TDlgPickList p(QStringLiteral("Qualifica"), elenco, elenco);
    p.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p));
    QCOMPARE(p.Scelte(), elenco);
    auto* lista = w<QListWidget>(&p, "lstValori");

    clic(&p, "btnRimuovi");  // nothing marked: the first name goes
    QCOMPARE(nomi(p), (QStringList{"Impiegato", "Quadro"}));
    lista->item(1)->setSelected(true);
    clic(&p, "btnRimuovi");
    QCOMPARE(nomi(p), QStringList{"Impiegato"});
    const QPoint p0 = lista->visualItemRect(lista->item(0)).center();
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, p0);
    QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, p0);
    QVERIFY(nomi(p).isEmpty());
    QVERIFY(!w(&p, "btnRimuovi")->isEnabled());

    auto* valori = w<QComboBox>(&p, "cmbValori");
    valori->setFocus();
    tasto(Qt::Key_Down);  // the keyboard picks a unit as well
    QVERIFY(w(&p, "btnAggiungi")->isEnabled());
    clic(&p, "btnAggiungi");
    QCOMPARE(p.Scelte().size(), 1);
    QCOMPARE(p.Scelte().first().id, elenco.at(valori->currentIndex()).id);
    tasto(Qt::Key_Escape);
    QCOMPARE(p.result(), int(QDialog::Rejected));
}

void TstDlgQuery::ritornoERisultati()
{
    Scenario s;
    int pagDopoRitorno = -1;
    QString cognome;
    s.esegui([&](QWidget* d) {
        scrivi(d, "edtCognomeDa", QStringLiteral("Ros"));
        tasto(Qt::Key_F10);
        clic(d, "btnRicerca");
        pagDopoRitorno = pagina(d);
        cognome = w<QLineEdit>(d, "edtCognomeDa")->text();
        tasto(Qt::Key_Escape);
    });
    QCOMPARE(pagDopoRitorno, int(TDlgQueryLight::PagRicerca));
    QCOMPARE(cognome, QStringLiteral("Ros"));

    // Next time on the results of the last search, the same dialog and conditions.
    s.qa.setStartOnSearchPage(false);
    int pag = -1, righe = -1;
    QString cognomeDopo;
    const int r = s.esegui([&](QWidget* d) {
        pag = pagina(d);
        righe = griglia(d)->model()->rowCount();
        cognomeDopo = w<QLineEdit>(d, "edtCognomeDa")->text();
        clic(d, "btnSeleziona");
    });
    QCOMPARE(pag, int(TDlgQueryLight::PagRisultati));
    QCOMPARE(righe, 2);
    QCOMPARE(cognomeDopo, QStringLiteral("Ros"));
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{1, 2}));
}

void TstDlgQuery::annulla()
{
    Scenario s;
    // A selection made earlier stays when the dialog is cancelled from the results.
    s.esegui([&](QWidget* d) {
        scrivi(d, "edtCognomeDa", QStringLiteral("Sala"));
        tasto(Qt::Key_F10);
        clic(d, "btnSeleziona");
    });
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{6, 7}));
    const int r = s.esegui([&](QWidget* d) {
        scrivi(d, "edtCognomeDa", QStringLiteral("Ros"));
        tasto(Qt::Key_F10);
        clicRiga(d, 0, Qt::ControlModifier);
        clic(d, "btnAnnullaRisultati");
    });
    QCOMPARE(r, int(TQALight::RisAnnullato));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{6, 7}));
}

QTEST_MAIN(TstDlgQuery)
#include "tst_dlgquery.moc"
