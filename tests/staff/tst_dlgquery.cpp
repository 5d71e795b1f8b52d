// The search dialogs driven as a user does, through TQALight::Execute: keys, clicks,
// marks in the grid, the unit picker; then the result, the selection table and the
// messages are checked.

#include "../core/modale.h"
#include "anagrafe.h"
#include "tdlgpicklist.h"
#include "tdlgquerylight.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
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
    if (testo.isEmpty())
        QTest::keyClick(e, Qt::Key_Delete);
    else
        QTest::keyClicks(e, testo);
}

void tipo(QWidget* d, const char* combo, Confronto k)
{
    w<QComboBox>(d, combo)->setCurrentIndex(int(k));
}

void tasto(Qt::Key k, Qt::KeyboardModifiers m = {})
{
    QTest::keyClick(QApplication::focusWidget(), k, m);
}

QString fuoco()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

int pagina(QWidget* d)
{
    return w<QStackedWidget>(d, "stkPagine")->currentIndex();
}

QTableView* griglia(QWidget* d)
{
    return w<QTableView>(d, "grdRisultati");
}

QPoint puntoRiga(QWidget* d, int riga)
{
    return griglia(d)->visualRect(griglia(d)->model()->index(riga, 1)).center();
}

void clicRiga(QWidget* d, int riga, Qt::KeyboardModifiers m = {})
{
    QTest::mouseClick(griglia(d)->viewport(), Qt::LeftButton, m, puntoRiga(d, riga));
}

QList<int> righeMarcate(QWidget* d)
{
    QList<int> l;
    for (const QModelIndex& i : griglia(d)->selectionModel()->selectedRows())
        l << i.row();
    std::sort(l.begin(), l.end());
    return l;
}

QStringList testi(const QComboBox* c)
{
    QStringList l;
    for (int n = 0; n < c->count(); ++n)
        l << c->itemText(n);
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

// The grid lists people by name (see anagrafe.h): the id on each row.
const QList<int> kPerRiga{3, 5, 9, 8, 1, 2, 6, 7, 4};

class Scenario {
public:
    Scenario()
    {
        Anagrafe::popola(amb);
        RegistraDialogoQA();
    }
    // Runs the dialog; the action drives it once it is the active window (keys go to the
    // focus widget). A dialog the action failed to end is closed, so no test hangs.
    int esegui(const std::function<void(QWidget*)>& azione)
    {
        bool fatto = false;
        QuandoModale m([&](QWidget* d) {
            if (fatto)
                return;
            fatto = true;
            if (AttendiAttiva(d))
                azione(d);
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
    void impaginazione();
    void marcatura();
    void senzaMarchi();
    void valoriRiempitiERifiutati();
    void azzera_data();
    void azzera();
    void organico();
    void pickList();
    void ritornoEAnnullamento();
};

void TstDlgQuery::apertura()
{
    Scenario s;
    QStringList schede, tipi, attuali, ordini, pulsanti, percorso;
    QString titolo;
    int pag = -1;
    bool secondoVisibile = true;
    const int r = s.esegui([&](QWidget* d) {
        titolo = d->windowTitle();
        auto* t = w<QTabWidget>(d, "pgcCondizioni");
        for (int n = 0; n < t->count(); ++n)
            schede << t->tabText(n);
        tipi = testi(w<QComboBox>(d, "cmbCognome"));
        for (const char* n : {"cmbCognome", "cmbNome", "cmbMatricola", "cmbCodiceBadge"})
            attuali << w<QComboBox>(d, n)->currentText();
        ordini = testi(w<QComboBox>(d, "cmbOrdine"));
        for (const char* b : {"btnEsegui", "btnAzzera", "btnAnnulla"})
            pulsanti << w<QAbstractButton>(d, b)->text();
        secondoVisibile = w(d, "edtCognomeA")->isVisible();
        pag = pagina(d);
        // The user goes along each row; hidden second values and other tabs are skipped.
        percorso << fuoco();
        for (int n = 0; n < 7; ++n) {
            tasto(Qt::Key_Tab);
            percorso << fuoco();
        }
        tasto(Qt::Key_Escape);
    });
    QCOMPARE(r, int(TQALight::RisAnnullato));
    QCOMPARE(s.qa.Result(), int(TQALight::RisAnnullato));
    QCOMPARE(titolo, QStringLiteral("Ricerca Archivio Anagrafico"));
    QCOMPARE(schede, (QStringList{"Dati Anagrafici", "Badge", "Organico"}));
    QCOMPARE(tipi, (QStringList{"uguale a ...", "inizia con ...", "finisce con ...", "contiene ...", "da... a..."}));
    QCOMPARE(attuali, QStringList(4, QStringLiteral("inizia con ...")));
    QCOMPARE(ordini, (QStringList{"Ordina per Nominativo", "Ordina per Matricola"}));
    QCOMPARE(pulsanti, (QStringList{"Esegui >>", "Azzera", "Annulla"}));
    QVERIFY(!secondoVisibile);
    QCOMPARE(pag, int(TDlgQueryLight::PagRicerca));
    QCOMPARE(percorso, (QStringList{"edtCognomeDa", "cmbNome", "edtNomeDa", "cmbMatricola", "edtMatricolaDa", "cmbOrdine", "btnEsegui",
                                    "btnAnnulla"}));
    QCOMPARE(s.qa.SortFields(), QStringLiteral("Cognome;Nome"));
}

void TstDlgQuery::impaginazione()
{
    Ambiente amb;
    Anagrafe::popola(amb);
    TQALight qa(amb.dtm());
    TDlgQueryLight dlg(qa);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    tipo(&dlg, "cmbMatricola", Confronto::DaA);
    tipo(&dlg, "cmbCodiceBadge", Confronto::DaA);
    auto* schede = w<QTabWidget>(&dlg, "pgcCondizioni");
    for (int n = 0; n < schede->count(); ++n) {
        schede->setCurrentIndex(n);
        QVERIFY2(sovrapposti(schede->widget(n)).isEmpty(), qPrintable(sovrapposti(schede->widget(n)).join(QLatin1Char(' '))));
    }
    QVERIFY(sovrapposti(w(&dlg, "pagRicerca")).isEmpty());
    dlg.btnEseguiClick();
    QCOMPARE(dlg.PaginaCorrente(), int(TDlgQueryLight::PagRisultati));
    QVERIFY(sovrapposti(w(&dlg, "pagRisultati")).isEmpty());

    TDlgPickList pick(QStringLiteral("Reparto"), {{1, QStringLiteral("Azienda")}}, {{1, QStringLiteral("Azienda")}});
    pick.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pick));
    QVERIFY(sovrapposti(w(&pick, "grpValori")).isEmpty() && sovrapposti(&pick).isEmpty());
}

void TstDlgQuery::marcatura()
{
    Scenario s;
    int pag = -1;
    QStringList classi, titoli;
    QList<int> appena, conCtrl, dopoClic, conShift, tolta, conFreccia;
    QString suggerimento;
    const int r = s.esegui([&](QWidget* d) {
        tasto(Qt::Key_F10);
        pag = pagina(d);
        appena = righeMarcate(d);
        suggerimento = w<QLabel>(d, "lblSuggerimento")->isVisible() ? w<QLabel>(d, "lblSuggerimento")->text() : QString();
        const QAbstractItemModel* m = griglia(d)->model();
        for (int c = 0; c < m->columnCount(); ++c)
            titoli << m->headerData(c, Qt::Horizontal).toString();
        for (int n = 0; n < m->rowCount(); ++n)
            classi << m->index(n, 3).data().toString();
        clicRiga(d, 1, Qt::ControlModifier);
        clicRiga(d, 3, Qt::ControlModifier);
        conCtrl = righeMarcate(d);
        clicRiga(d, 2);  // a plain click takes that row alone
        dopoClic = righeMarcate(d);
        clicRiga(d, 5, Qt::ShiftModifier);
        conShift = righeMarcate(d);
        clicRiga(d, 3, Qt::ControlModifier);
        tolta = righeMarcate(d);
        tasto(Qt::Key_Down, Qt::ShiftModifier);
        conFreccia = righeMarcate(d);
        clic(d, "btnSeleziona");
    });
    QCOMPARE(pag, int(TDlgQueryLight::PagRisultati));
    QCOMPARE(titoli, (QStringList{"Matricola", "Cognome", "Nome", "Classe"}));
    QStringList classiAttese(9, QStringLiteral("Dipendente"));
    classiAttese[8] = QStringLiteral("Ospite");  // Verdi, last by name
    QCOMPARE(classi, classiAttese);
    QVERIFY(appena.isEmpty());
    QVERIFY(suggerimento.contains(QStringLiteral("Ctrl+clic")) && suggerimento.contains(QStringLiteral("Seleziona")));
    QCOMPARE(conCtrl, (QList<int>{1, 3}));
    QCOMPARE(dopoClic, QList<int>{2});
    QCOMPARE(conShift, (QList<int>{2, 3, 4, 5}));
    QCOMPARE(tolta, (QList<int>{2, 4, 5}));
    QVERIFY(conFreccia.size() >= 2);
    QCOMPARE(r, int(TQALight::RisSelezione));
    QList<int> attesi;
    for (int riga : conFreccia)
        attesi << kPerRiga.at(riga);
    std::sort(attesi.begin(), attesi.end());
    QCOMPARE(Anagrafe::selezione(s.amb), attesi);
}

void TstDlgQuery::senzaMarchi()
{
    // No condition, nothing marked, "Seleziona": everybody, nothing copied.
    Scenario s;
    int r = s.esegui([&](QWidget* d) {
        tasto(Qt::Key_F10);
        clic(d, "btnSeleziona");
    });
    QCOMPARE(r, int(TQALight::RisTutti));
    QVERIFY(!Anagrafe::esisteTabella(s.amb, QStringLiteral("AnagraficoSelezione")));

    // A double click takes its row alone.
    r = s.esegui([&](QWidget* d) {
        tasto(Qt::Key_F10);
        clicRiga(d, 2);  // a double click starts with a press
        QTest::mouseDClick(griglia(d)->viewport(), Qt::LeftButton, {}, puntoRiga(d, 2));
    });
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), QList<int>{kPerRiga.at(2)});

    // With a condition, Enter runs the search and Enter on the grid selects the whole result.
    QString fuocoRisultati;
    r = s.esegui([&](QWidget* d) {
        scrivi(d, "edtCognomeDa", QStringLiteral("Ros"));
        tasto(Qt::Key_Return);
        fuocoRisultati = fuoco();
        tasto(Qt::Key_Return);
    });
    QCOMPARE(fuocoRisultati, QStringLiteral("grdRisultati"));
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{1, 2}));
}

void TstDlgQuery::valoriRiempitiERifiutati()
{
    Scenario s;
    bool secondoVisibile = false;
    QString daLasciato, aLasciato, fuocoErrore;
    int righe = -1, schedaErrore = -1, paginaErrore = -1, paginaVuota = -1;
    const int r = s.esegui([&](QWidget* d) {
        auto* schede = w<QTabWidget>(d, "pgcCondizioni");
        // An empty result keeps the conditions page.
        tipo(d, "cmbCognome", Confronto::Uguale);
        scrivi(d, "edtCognomeDa", QStringLiteral("Zanetti"));
        clic(d, "btnEsegui");
        paginaVuota = pagina(d);
        scrivi(d, "edtCognomeDa", QString());
        // A wrong badge range brings its tab forward with the focus on the second value.
        schede->setCurrentIndex(TDlgQueryLight::SchBadge);
        tipo(d, "cmbCodiceBadge", Confronto::DaA);
        scrivi(d, "edtCodiceBadgeDa", QStringLiteral("346"));
        scrivi(d, "edtCodiceBadgeA", QStringLiteral("345"));
        schede->setCurrentIndex(TDlgQueryLight::SchAnagrafici);
        tasto(Qt::Key_F10);
        schedaErrore = schede->currentIndex();
        paginaErrore = pagina(d);
        fuocoErrore = fuoco();
        scrivi(d, "edtCodiceBadgeDa", QString());
        tipo(d, "cmbCodiceBadge", Confronto::IniziaCon);
        // Personnel numbers of a range are filled on leaving the box, and when searched.
        schede->setCurrentIndex(TDlgQueryLight::SchAnagrafici);
        tipo(d, "cmbMatricola", Confronto::DaA);
        secondoVisibile = w(d, "edtMatricolaA")->isVisible();
        scrivi(d, "edtMatricolaDa", QStringLiteral("12"));
        tasto(Qt::Key_Tab);
        daLasciato = w<QLineEdit>(d, "edtMatricolaDa")->text();
        scrivi(d, "edtMatricolaA", QStringLiteral("120"));
        tasto(Qt::Key_F10);
        aLasciato = w<QLineEdit>(d, "edtMatricolaA")->text();
        righe = griglia(d)->model()->rowCount();
        clic(d, "btnSeleziona");
    });
    QCOMPARE(paginaVuota, int(TDlgQueryLight::PagRicerca));
    QCOMPARE(s.amb.registro().avvisi, (QStringList{"Nessun record soddisfa le condizioni di ricerca impostate!",
                                                   "Il valore indicato nel campo [A...] non deve essere inferiore a quello del campo [Da...]!"}));
    QCOMPARE(schedaErrore, int(TDlgQueryLight::SchBadge));
    QCOMPARE(paginaErrore, int(TDlgQueryLight::PagRicerca));
    QCOMPARE(fuocoErrore, QStringLiteral("edtCodiceBadgeA"));
    QVERIFY(secondoVisibile);
    QCOMPARE(daLasciato, QStringLiteral("0000000012"));
    QCOMPARE(aLasciato, QStringLiteral("0000000120"));
    QCOMPARE(righe, 3);
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{1, 2, 3}));
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
    QStringList stato;
    s.esegui([&](QWidget* d) {
        tipo(d, "cmbCognome", Confronto::Contiene);
        scrivi(d, "edtCognomeDa", QStringLiteral("ss"));
        w<QComboBox>(d, "cmbOrdine")->setCurrentIndex(1);
        s.qa.Ricerca().setUnita(Organico::Reparto, {{Anagrafe::Uffici, QStringLiteral("Uffici")}});
        w<QTabWidget>(d, "pgcCondizioni")->setCurrentIndex(TDlgQueryLight::SchOrganico);
        clic(d, "btnAzzera");
        stato << w<QLineEdit>(d, "edtCognomeDa")->text() << w<QComboBox>(d, "cmbCognome")->currentText()
              << w<QComboBox>(d, "cmbOrdine")->currentText() << QString::number(w<QTabWidget>(d, "pgcCondizioni")->currentIndex())
              << s.qa.Ricerca().testoUnita(Organico::Reparto);
        clic(d, "btnAnnulla");
    });
    QCOMPARE(s.amb.registro().domande, QStringList{"Rimuovere tutte le condizioni di ricerca impostate?"});
    const QStringList azzerato{"", "inizia con ...", "Ordina per Nominativo", "0", ""};
    const QStringList tenuto{"ss", "contiene ...", "Ordina per Matricola", "2", "Uffici"};
    QCOMPARE(stato, risposta ? azzerato : tenuto);
}

void TstDlgQuery::organico()
{
    Scenario s;
    QString titolo, gruppo, reparto, suggerimento;
    QStringList voci;
    QList<bool> abilitati;  // Aggiungi, Rimuovi: at opening, with a unit chosen, after adding it
    int elencati = -1;
    const auto pick = [&](QWidget* p) {
        titolo = p->windowTitle();
        gruppo = w<QGroupBox>(p, "grpValori")->title();
        auto* valori = w<QComboBox>(p, "cmbValori");
        voci = testi(valori);
        const auto abilitazioni = [&] { abilitati << w(p, "btnAggiungi")->isEnabled() << w(p, "btnRimuovi")->isEnabled(); };
        abilitazioni();
        valori->setCurrentIndex(valori->findText(QStringLiteral("Produzione")));
        abilitazioni();
        clic(p, "btnAggiungi");
        abilitazioni();
        valori->setCurrentIndex(valori->findText(QStringLiteral("Magazzino")));
        clic(p, "btnAggiungi");
        clic(p, "btnAggiungi");  // a name already listed is not added again
        elencati = w<QListWidget>(p, "lstValori")->count();
        clic(p, "btnOK");
    };
    const int r = s.esegui([&](QWidget* d) {
        w<QTabWidget>(d, "pgcCondizioni")->setCurrentIndex(TDlgQueryLight::SchOrganico);
        {
            // The picker runs its own loop inside this action: it needs a watcher of its own.
            QuandoModale interno([&](QWidget* p) {
                if (p->objectName() != QLatin1String("dlgPickList"))
                    return;
                if (AttendiAttiva(p))
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
    QCOMPARE(abilitati, (QList<bool>{false, false, true, false, true, true}));
    QCOMPARE(elencati, 2);
    QCOMPARE(reparto, QStringLiteral("Produzione ..."));
    QCOMPARE(suggerimento, QStringLiteral("Produzione\nMagazzino"));
    QCOMPARE(r, int(TQALight::RisSelezione));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{1, 2, 5}));
}

void TstDlgQuery::pickList()
{
    const QList<UnitaScelta> elenco{{20, QStringLiteral("Operaio")}, {21, QStringLiteral("Impiegato")}, {22, QStringLiteral("Quadro")}};
    TDlgPickList p(QStringLiteral("Qualifica"), elenco, elenco);
    p.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p));
    const auto nomi = [&p] {
        QStringList l;
        for (const UnitaScelta& u : p.Scelte())
            l << u.descr;
        return l;
    };
    auto* lista = w<QListWidget>(&p, "lstValori");
    clic(&p, "btnRimuovi");  // nothing marked: the first name goes
    QCOMPARE(nomi(), (QStringList{"Impiegato", "Quadro"}));
    lista->item(1)->setSelected(true);
    clic(&p, "btnRimuovi");
    QCOMPARE(nomi(), QStringList{"Impiegato"});
    const QPoint primo = lista->visualItemRect(lista->item(0)).center();
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, primo);
    QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, primo);
    QVERIFY(nomi().isEmpty());
    QVERIFY(!w(&p, "btnRimuovi")->isEnabled());

    auto* valori = w<QComboBox>(&p, "cmbValori");
    valori->setFocus();
    tasto(Qt::Key_Down);  // the keyboard picks a unit as well
    clic(&p, "btnAggiungi");
    QCOMPARE(p.Scelte(), QList<UnitaScelta>{elenco.at(valori->currentIndex())});
    tasto(Qt::Key_Escape);
    QCOMPARE(p.result(), int(QDialog::Rejected));
}

void TstDlgQuery::ritornoEAnnullamento()
{
    Scenario s;
    int paginaRitorno = -1, paginaDopo = -1, righeDopo = -1;
    QString cognome, cognomeDopo;
    int r = s.esegui([&](QWidget* d) {
        scrivi(d, "edtCognomeDa", QStringLiteral("Ros"));
        tasto(Qt::Key_F10);
        clic(d, "btnRicerca");
        paginaRitorno = pagina(d);
        cognome = w<QLineEdit>(d, "edtCognomeDa")->text();
        tasto(Qt::Key_F10);
        clic(d, "btnSeleziona");
    });
    QCOMPARE(paginaRitorno, int(TDlgQueryLight::PagRicerca));
    QCOMPARE(cognome, QStringLiteral("Ros"));
    QCOMPARE(r, int(TQALight::RisSelezione));

    // Next time on the results of the last search; cancelling with a mark copies nothing.
    s.qa.setStartOnSearchPage(false);
    r = s.esegui([&](QWidget* d) {
        paginaDopo = pagina(d);
        righeDopo = griglia(d)->model()->rowCount();
        cognomeDopo = w<QLineEdit>(d, "edtCognomeDa")->text();
        clicRiga(d, 0, Qt::ControlModifier);
        clic(d, "btnAnnullaRisultati");
    });
    QCOMPARE(paginaDopo, int(TDlgQueryLight::PagRisultati));
    QCOMPARE(righeDopo, 2);
    QCOMPARE(cognomeDopo, QStringLiteral("Ros"));
    QCOMPARE(r, int(TQALight::RisAnnullato));
    QCOMPARE(Anagrafe::selezione(s.amb), (QList<int>{1, 2}));
}

QTEST_MAIN(TstDlgQuery)
#include "tst_dlgquery.moc"
