// The shared archive commands driven by their keys in a window, as the master-data windows
// will use them: which handler runs, when question 3 comes first, what a disabled command
// does, and the grid look they share.

#include "ambiente.h"
#include "comandiarchivio.h"
#include "messaggi.h"
#include "tfrmaiuto.h"

#include <QAction>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

class TstArchivio : public QObject {
    Q_OBJECT
private slots:
    void tasti_data();
    void tasti();
    void menuBarraEGriglia();
};

void TstArchivio::tasti_data()
{
    QTest::addColumn<int>("tasto");
    QTest::addColumn<bool>("abilitato");
    QTest::addColumn<bool>("risposta");  // to question 3
    QTest::addColumn<QString>("eseguito");
    QTest::addColumn<int>("domande");
    QTest::newRow("F2 inserisce") << int(Qt::Key_F2) << true << true << "Inserisci" << 0;
    QTest::newRow("F3 modifica") << int(Qt::Key_F3) << true << true << "Modifica" << 0;
    QTest::newRow("F5 stampa") << int(Qt::Key_F5) << true << true << "Stampa" << 0;
    QTest::newRow("F4 cancella dopo il Sì") << int(Qt::Key_F4) << true << true << "Cancella" << 1;
    QTest::newRow("F4 e No: niente") << int(Qt::Key_F4) << true << false << "" << 1;
    QTest::newRow("F4 disabilitato: nemmeno la domanda") << int(Qt::Key_F4) << false << true << "" << 0;
    QTest::newRow("F2 disabilitato") << int(Qt::Key_F2) << false << true << "" << 0;
}

void TstArchivio::tasti()
{
    QFETCH(int, tasto);
    QFETCH(bool, abilitato);
    QFETCH(bool, risposta);
    QFETCH(QString, eseguito);
    QFETCH(int, domande);
    Ambiente amb;
    QWidget finestra;
    auto* griglia = new QTableView(&finestra);
    (new QVBoxLayout(&finestra))->addWidget(griglia);
    auto* c = new ComandiArchivio(&finestra, amb.dtm(), 150);
    QStringList eseguiti;
    for (const auto& [comando, nome] : {std::pair{ComandiArchivio::Inserisci, "Inserisci"}, std::pair{ComandiArchivio::Modifica, "Modifica"},
                                        std::pair{ComandiArchivio::Cancella, "Cancella"}, std::pair{ComandiArchivio::Stampa, "Stampa"}})
        c->Collega(comando, [&eseguiti, nome = QString::fromLatin1(nome)] { eseguiti << nome; })->setEnabled(abilitato);
    finestra.show();
    finestra.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&finestra));
    griglia->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), griglia);
    amb.registro().risposte = {risposta};
    QTest::keyClick(griglia, Qt::Key(tasto));
    QCOMPARE(eseguiti, eseguito.isEmpty() ? QStringList() : QStringList{eseguito});
    QCOMPARE(amb.registro().domande, QStringList(domande, amb.dtm().TestoScelta(Msg::SclCancella)));
}

void TstArchivio::menuBarraEGriglia()
{
    Ambiente amb;
    QWidget finestra;
    auto* menu = new QMenuBar(&finestra);
    auto* barra = new QToolBar(&finestra);
    auto* griglia = new QTableView(&finestra);
    QStandardItemModel modello(3, 2);
    griglia->setModel(&modello);
    auto* l = new QVBoxLayout(&finestra);
    l->setMenuBar(menu);
    l->addWidget(barra);
    l->addWidget(griglia);
    auto* c = new ComandiArchivio(&finestra, amb.dtm(), 150);
    int modifiche = 0;
    bool uscito = false;
    c->Collega(ComandiArchivio::Esci, [&] { uscito = true; });
    c->Collega(ComandiArchivio::Modifica, [&] { ++modifiche; });
    // Without the data module asking, Cancella goes straight to its handler.
    c->setChiediCancella(false);
    int cancellazioni = 0;
    c->Collega(ComandiArchivio::Cancella, [&] { ++cancellazioni; });
    QMenu* archivio = c->RiempiMenu(menu, QStringLiteral("&Orari"));
    c->RiempiBarra(barra);
    c->ModificaAlDoppioClic(griglia);
    AspettoGriglia(griglia, amb.dtm().cfg());

    QStringList voci;
    for (QAction* a : menu->actions())
        voci << a->text();
    QCOMPARE(voci, (QStringList{"&File", "&Orari", "&?"}));
    QCOMPARE(archivio->actions().size(), 2);
    QStringList pulsanti;
    for (QAction* a : barra->actions())
        pulsanti << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    QCOMPARE(pulsanti, (QStringList{"btnEsci", "|", "itmModifica", "itmCancella", "|", "btnHelp"}));
    // The toolbar's Esci has no keys of its own and follows its menu entry.
    QVERIFY(c->Pulsante(ComandiArchivio::Esci)->shortcut().isEmpty());
    c->Azione(ComandiArchivio::Esci)->setEnabled(false);
    QVERIFY(!c->Pulsante(ComandiArchivio::Esci)->isEnabled());
    c->Azione(ComandiArchivio::Esci)->setEnabled(true);
    c->Pulsante(ComandiArchivio::Esci)->trigger();
    QVERIFY(uscito);
    c->Azione(ComandiArchivio::Cancella)->trigger();
    QCOMPARE(cancellazioni, 1);
    QVERIFY(amb.registro().domande.isEmpty());

    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    const QPoint punto = griglia->visualRect(modello.index(1, 0)).center();
    QTest::mouseClick(griglia->viewport(), Qt::LeftButton, {}, punto);
    QTest::mouseDClick(griglia->viewport(), Qt::LeftButton, {}, punto);
    QCOMPARE(modifiche, 1);
    QCOMPARE(griglia->selectionModel()->selectedRows().size(), 1);
    QVERIFY(griglia->alternatingRowColors());
    QCOMPARE(griglia->palette().color(QPalette::AlternateBase), ColoreDaIni(amb.dtm().cfg().ColoreGrid));
    QCOMPARE(griglia->palette().color(QPalette::Inactive, QPalette::HighlightedText), QColor(Qt::black));

    c->Pulsante(ComandiArchivio::Aiuto)->trigger();
    auto* aiuto = finestra.findChild<TfrmAiuto*>();
    QVERIFY(aiuto);
    QCOMPARE(aiuto->Argomento(), 150);
}

QTEST_MAIN(TstArchivio)
#include "tst_archivio.moc"
