// The organisation chart's windows driven as a user does: the tree as shown, insertion beside
// and below by keys, renaming in place, deletion with its messages, moves by dropping, and
// the two windows opened from the main window, with the employee listing of a unit pair.

#include "organico.h"
#include "messaggi.h"
#include "tfrmpianta.h"
#include "tfrmpresenze.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTreeWidget>
#include <QtTest>

namespace {

using namespace Organico;

void guasta(Ambiente& a, const QString& tabella)
{
    a.esegui(QStringLiteral("ALTER TABLE %1 RENAME TO %1Guasta").arg(tabella));
    a.esegui(QStringLiteral("CREATE VIEW %1 AS SELECT DISTINCT * FROM %1Guasta").arg(tabella));
}

// Types a text key by key, also the letters QTest has no key for ("à").
void scrivi(QWidget* w, const QString& testo)
{
    for (const QChar c : testo) {
        if (c.unicode() < 128)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// A window of the organisation on its own, active, on the test company.
struct Finestra {
    explicit Finestra(TipoAlbero tipo = TipoAlbero::Reparti)
    {
        popola(amb);
        if (tipo == TipoAlbero::Reparti)
            frm = std::make_unique<TfrmPianta>(amb.dtm());
        else
            frm = std::make_unique<TfrmRuolo>(amb.dtm(), [] { return int(Produzione); });
        frm->show();
        frm->activateWindow();
        attiva = QTest::qWaitForWindowActive(frm.get());
        vista = frm->findChild<QTreeWidget*>(QStringLiteral("tvwAlbero"));
    }

    QTreeWidgetItem* voce(int id) const
    {
        for (QTreeWidgetItemIterator it(vista); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == id)
                return *it;
        return nullptr;
    }
    QStringList testi() const
    {
        QStringList l;
        for (QTreeWidgetItemIterator it(vista); *it; ++it)
            l << QString(2 * frm->Albero().Livello((*it)->data(0, Qt::UserRole).toInt()), QLatin1Char(' ')) + (*it)->text(0);
        return l;
    }
    // Clicks the unit's name, as a user picks it.
    void scegli(int id) { QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, vista->visualItemRect(voce(id)).center()); }
    void tasto(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
    int padre(int id)
    {
        return amb.valore(QStringLiteral("SELECT IdPiantaPadre FROM UnitaPianta WHERE Id = :id"), {{"id", id}}).toInt();
    }
    // Drops `id` on `bersaglio`: on its name (sotto) or on the indentation in front of it.
    // True when the view took the drop.
    bool trascina(int id, int bersaglio, bool sotto, TipoAlbero tipoDati = TipoAlbero::Reparti)
    {
        std::unique_ptr<QMimeData> dati(vista->model()->mimeData({vista->indexFromItem(voce(id))}));
        if (tipoDati != TipoAlbero::Reparti) {
            // What the qualification tree would carry for the same id.
            QByteArray d = dati->data(dati->formats().first());
            d.replace(QByteArray(":0:"), QByteArray(":1:"));
            dati->setData(dati->formats().first(), d);
        }
        const QRect r = vista->visualItemRect(voce(bersaglio));
        const QPoint p = sotto ? r.center() : QPoint(r.left() - 4, r.center().y());
        QDragEnterEvent entra(p, Qt::MoveAction | Qt::CopyAction, dati.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vista->viewport(), &entra);
        if (!entra.isAccepted())
            return false;
        QDragMoveEvent muovi(p, Qt::MoveAction | Qt::CopyAction, dati.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vista->viewport(), &muovi);
        if (!muovi.isAccepted())
            return false;
        QDropEvent lascia(QPointF(p), Qt::MoveAction | Qt::CopyAction, dati.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vista->viewport(), &lascia);
        return lascia.isAccepted();
    }

    Ambiente amb;
    std::unique_ptr<TfrmUnita> frm;
    QTreeWidget* vista = nullptr;
    bool attiva = false;
};

const QStringList kReparti{"Azienda", "  Amministrazione", "  Produzione", "    Amministrazione", "    Stampaggio", "      Presse"};

}  // namespace

class TstFrmPianta : public QObject {
    Q_OBJECT
private slots:
    void albero();
    void inserimento_data();
    void inserimento();
    void rinomina();
    void cancellazione_data();
    void cancellazione();
    void trascinamento_data();
    void trascinamento();
    void dallaFinestraPrincipale();
};

void TstFrmPianta::albero()
{
    Finestra f;
    QVERIFY(f.attiva);
    QCOMPARE(f.testi(), kReparti);
    QCOMPARE(f.frm->windowTitle(), QStringLiteral("Reparto"));
    // Fully expanded; a branch picture for units with sub-units, a leaf for the others.
    const qint64 ramo = f.voce(Produzione)->icon(0).cacheKey();
    const qint64 foglia = f.voce(Presse)->icon(0).cacheKey();
    QVERIFY(ramo != foglia);
    for (QTreeWidgetItemIterator it(f.vista); *it; ++it) {
        QVERIFY((*it)->childCount() == 0 || (*it)->isExpanded());
        QCOMPARE((*it)->icon(0).cacheKey(), (*it)->childCount() ? ramo : foglia);
    }
    QCOMPARE(f.frm->UnitaSelezionata(), int(Azienda));
}

void TstFrmPianta::inserimento_data()
{
    QTest::addColumn<int>("scelta");
    QTest::addColumn<int>("tasto");
    QTest::addColumn<QString>("nome");  // typed, then Enter; empty: Esc
    QTest::addColumn<int>("padre");     // of the unit written; 0: nothing written
    QTest::newRow("F2 accanto") << int(Stampaggio) << int(Qt::Key_F2) << QStringLiteral("Verniciatura") << int(Produzione);
    QTest::newRow("F6 sotto") << int(Presse) << int(Qt::Key_F6) << QStringLiteral("Linea 1") << int(Presse);
    QTest::newRow("nome con apostrofo e accenti") << int(Azienda) << int(Qt::Key_F6) << QStringLiteral("Qualità e l'\"ufficio\"")
                                                  << int(Azienda);
    QTest::newRow("Esc") << int(Presse) << int(Qt::Key_F6) << QString() << 0;
    QTest::newRow("nome di soli spazi") << int(Stampaggio) << int(Qt::Key_F2) << QStringLiteral("   ") << 0;
    QTest::newRow("F2 non accanto alla radice") << int(Azienda) << int(Qt::Key_F2) << QStringLiteral("Fuori") << 0;
}

void TstFrmPianta::inserimento()
{
    QFETCH(int, scelta);
    QFETCH(int, tasto);
    QFETCH(QString, nome);
    QFETCH(int, padre);
    Finestra f;
    QVERIFY(f.attiva);
    f.scegli(scelta);
    QTRY_COMPARE(QApplication::focusWidget(), f.vista);
    QCOMPARE(f.frm->UnitaSelezionata(), scelta);
    f.tasto(Qt::Key(tasto));
    const bool siApre = !(tasto == Qt::Key_F2 && scelta == Azienda);
    if (siApre) {
        QTRY_VERIFY(f.editor() && f.editor()->objectName() == QLatin1String("edtNomeUnita"));
        QCOMPARE(f.frm->UnitaSelezionata(), 0);  // the new line, not written yet
        scrivi(f.editor(), nome);
        f.tasto(nome.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
    } else {
        QTest::keyClicks(QApplication::focusWidget(), nome);
        f.tasto(Qt::Key_Return);
    }
    QTRY_COMPARE(QApplication::focusWidget(), f.vista);
    if (padre) {
        QTRY_COMPARE(f.frm->UnitaSelezionata(), 7);
        QCOMPARE(f.padre(7), padre);
        QCOMPARE(f.amb.valore(QStringLiteral("SELECT Descr FROM UnitaPianta WHERE Id = 7")).toString(), nome);
        QCOMPARE(f.voce(7)->parent(), f.voce(padre));
        QCOMPARE(f.voce(7)->text(0), nome);
    } else {
        QTRY_COMPARE(f.frm->UnitaSelezionata(), scelta);
        QCOMPARE(f.testi(), kReparti);
    }
    QCOMPARE(f.amb.conta(QStringLiteral("UnitaPianta")), padre ? 7 : 6);
    QVERIFY(f.amb.registro().avvisi.isEmpty());
}

void TstFrmPianta::rinomina()
{
    Finestra f(TipoAlbero::Qualifiche);
    QVERIFY(f.attiva);
    QCOMPARE(f.frm->windowTitle(), QStringLiteral("Qualifica"));
    // Blanks keep the old name.
    f.scegli(Impiegato);
    QTRY_COMPARE(QApplication::focusWidget(), f.vista);
    f.tasto(Qt::Key_F3);
    QTRY_VERIFY(f.editor());
    QCOMPARE(f.editor()->text(), QStringLiteral("Impiegato"));
    QCOMPARE(f.editor()->maxLength(), 30);
    f.editor()->selectAll();
    QTest::keyClicks(f.editor(), QStringLiteral("  "));
    f.tasto(Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), f.vista);
    // Editing is over once its commands are back.
    QTRY_VERIFY(f.frm->findChild<QAction*>(QStringLiteral("itmModifica"))->isEnabled());
    QCOMPARE(f.voce(Impiegato)->text(0), QStringLiteral("Impiegato"));
    QCOMPARE(f.amb.valore(QStringLiteral("SELECT Descr FROM UnitaRuolo WHERE Id = 3")).toString(), QStringLiteral("Impiegato"));
    // A double click renames too; the new name takes its place among the siblings.
    const QPoint punto = f.vista->visualItemRect(f.voce(Impiegato)).center();
    QTest::mouseClick(f.vista->viewport(), Qt::LeftButton, {}, punto);  // the first click of the two
    QTest::mouseDClick(f.vista->viewport(), Qt::LeftButton, {}, punto);
    QTRY_VERIFY(f.editor());
    f.editor()->selectAll();
    QTest::keyClicks(f.editor(), QStringLiteral(" Addetto "));
    f.tasto(Qt::Key_Return);
    QTRY_COMPARE(f.voce(Impiegato)->text(0), QStringLiteral("Addetto"));
    QCOMPARE(f.amb.valore(QStringLiteral("SELECT Descr FROM UnitaRuolo WHERE Id = 3")).toString(), QStringLiteral("Addetto"));
    QCOMPARE(f.vista->topLevelItem(0)->child(0), f.voce(Impiegato));
    QCOMPARE(f.frm->UnitaSelezionata(), int(Impiegato));
}

void TstFrmPianta::cancellazione_data()
{
    QTest::addColumn<int>("unita");
    QTest::addColumn<bool>("risposta");
    QTest::addColumn<bool>("guasto");
    QTest::addColumn<int>("messaggio");  // 0: none
    QTest::addColumn<bool>("cancellata");
    QTest::newRow("con sottounità: 1001 senza domanda") << int(Stampaggio) << true << false << int(Msg::ErrUnitaConSottounita) << false;
    QTest::newRow("foglia, confermata") << int(Presse) << true << false << 0 << true;
    QTest::newRow("foglia, non confermata") << int(Presse) << false << false << 0 << false;
    QTest::newRow("guasto: 1120") << int(Presse) << true << true << int(Msg::ErrCancellaUnita) << false;
}

void TstFrmPianta::cancellazione()
{
    QFETCH(int, unita);
    QFETCH(bool, risposta);
    QFETCH(bool, guasto);
    QFETCH(int, messaggio);
    QFETCH(bool, cancellata);
    Finestra f;
    QVERIFY(f.attiva);
    if (guasto)
        guasta(f.amb, QStringLiteral("Profilo"));
    f.amb.registro().risposte = {risposta};
    f.scegli(unita);
    QTRY_COMPARE(QApplication::focusWidget(), f.vista);
    f.tasto(Qt::Key_F4);
    QCOMPARE(f.amb.registro().domande.size(), messaggio == Msg::ErrUnitaConSottounita ? 0 : 1);
    QCOMPARE(f.amb.registro().avvisi.size(), messaggio ? 1 : 0);
    if (messaggio)
        QVERIFY(f.amb.registro().avvisi.first().startsWith(f.amb.dtm().TestoErrore(messaggio)));
    QCOMPARE(f.amb.conta(QStringLiteral("UnitaPianta"), QStringLiteral("Id = %1").arg(unita)), cancellata ? 0 : 1);
    QCOMPARE(f.voce(unita) == nullptr, cancellata);
    if (cancellata)
        QCOMPARE(f.frm->UnitaSelezionata(), int(Stampaggio));
}

void TstFrmPianta::trascinamento_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("bersaglio");
    QTest::addColumn<bool>("sotto");
    QTest::addColumn<bool>("altroAlbero");
    QTest::addColumn<int>("padre");  // afterwards
    QTest::newRow("sul nome: sottounità") << int(Presse) << int(Amministrazione) << true << false << int(Amministrazione);
    QTest::newRow("sul rientro: accanto") << int(Presse) << int(AmministrazioneProd) << false << false << int(Produzione);
    QTest::newRow("accanto a una sua sottounità: rifiutato") << int(Produzione) << int(Stampaggio) << false << false << int(Azienda);
    QTest::newRow("su una sua sottounità: rifiutato") << int(Produzione) << int(Presse) << true << false << int(Azienda);
    QTest::newRow("su una sorella: rifiutato") << int(Stampaggio) << int(AmministrazioneProd) << true << false << int(Produzione);
    QTest::newRow("dall'albero delle qualifiche: rifiutato") << int(Presse) << int(Amministrazione) << true << true << int(Stampaggio);
}

void TstFrmPianta::trascinamento()
{
    QFETCH(int, id);
    QFETCH(int, bersaglio);
    QFETCH(bool, sotto);
    QFETCH(bool, altroAlbero);
    QFETCH(int, padre);
    Finestra f;
    QVERIFY(f.attiva);
    f.scegli(id);
    const int prima = f.padre(id);
    QCOMPARE(f.trascina(id, bersaglio, sotto, altroAlbero ? TipoAlbero::Qualifiche : TipoAlbero::Reparti), padre != prima);
    QTRY_COMPARE(f.voce(id)->parent(), f.voce(padre));
    QCOMPARE(f.padre(id), padre);
    QCOMPARE(f.testi().size(), kReparti.size());
}

void TstFrmPianta::dallaFinestraPrincipale()
{
    Ambiente a;
    popola(a);
    TfrmPresenze frm(a.dtm());
    frm.FormCreate();
    RegistraOrganico(frm, a.dtm());
    int anagrafico = 0;
    frm.Comandi().RegistraAzione(QStringLiteral("Dipendenti"), [&anagrafico] { ++anagrafico; });
    frm.show();
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    auto* organico = frm.findChild<QAction*>(QStringLiteral("itmOrganico"));
    QVERIFY(organico && organico->isEnabled());
    organico->trigger();
    organico->trigger();
    auto* reparti = qobject_cast<TfrmPianta*>(frm.Comandi().Finestra(QStringLiteral("Organico")));
    QVERIFY(reparti);
    QCOMPARE(frm.mdiArea()->subWindowList().size(), 1);

    // "Qualifica" (F7) of the department window opens the qualification window once.
    auto* vistaReparti = reparti->findChild<QTreeWidget*>(QStringLiteral("tvwAlbero"));
    QTRY_COMPARE(QApplication::focusWidget(), vistaReparti);
    QTest::keyClick(vistaReparti, Qt::Key_F7);
    QPointer<TfrmRuolo> qualifiche = qobject_cast<TfrmRuolo*>(frm.Comandi().Finestra(QStringLiteral("Qualifica")));
    QVERIFY(qualifiche);
    frm.Comandi().Cornice(QStringLiteral("Organico"))->widget()->activateWindow();
    frm.mdiArea()->setActiveSubWindow(frm.Comandi().Cornice(QStringLiteral("Organico")));
    QTRY_COMPARE(QApplication::focusWidget(), vistaReparti);
    QTest::keyClick(vistaReparti, Qt::Key_F7);
    QCOMPARE(frm.mdiArea()->subWindowList().size(), 2);

    // The employees of the department chosen there and the qualification chosen here.
    const auto voce = [](QTreeWidget* v, int id) {
        for (QTreeWidgetItemIterator it(v); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == id)
                return *it;
        return static_cast<QTreeWidgetItem*>(nullptr);
    };
    vistaReparti->setCurrentItem(voce(vistaReparti, Produzione));
    auto* vistaQualifiche = qualifiche->findChild<QTreeWidget*>(QStringLiteral("tvwAlbero"));
    vistaQualifiche->setCurrentItem(voce(vistaQualifiche, Operaio));
    auto* conSottounita = qualifiche->findChild<QAction*>(QStringLiteral("btnAnagraficoFull"));
    auto* singola = qualifiche->findChild<QAction*>(QStringLiteral("btnAnagrafico"));
    QCOMPARE(conSottounita->toolTip(), QStringLiteral("Anagrafico comprese le sottounità"));
    conSottounita->trigger();
    QCOMPARE(anagrafico, 1);
    QCOMPARE(Anagrafe::selezione(a, QStringLiteral("TAnagCk")), (QList<int>{1, 2, 6, 7}));
    singola->trigger();
    QCOMPARE(anagrafico, 2);
    QCOMPARE(Anagrafe::selezione(a, QStringLiteral("TAnagCk")), (QList<int>{2, 6, 7}));
    // Nobody: 1115 instead of the register.
    vistaQualifiche->setCurrentItem(voce(vistaQualifiche, Impiegato));
    singola->trigger();
    QCOMPARE(anagrafico, 2);
    QCOMPARE(a.registro().avvisi, QStringList{a.dtm().TestoErrore(Msg::ErrNessunDipendenteUnita)});

    // The main window closes the qualification window first; without the department window
    // the lists do nothing.
    QStringList chiuse;
    QObject::connect(qualifiche, &QObject::destroyed, [&chiuse] { chiuse << QStringLiteral("Qualifica"); });
    QObject::connect(reparti, &QObject::destroyed, [&chiuse] { chiuse << QStringLiteral("Reparto"); });
    frm.Comandi().Cornice(QStringLiteral("Organico"))->close();
    QTRY_VERIFY(!frm.Comandi().Finestra(QStringLiteral("Organico")));
    vistaQualifiche->setCurrentItem(voce(vistaQualifiche, Operaio));
    conSottounita->trigger();
    QCOMPARE(anagrafico, 2);
    QCOMPARE(a.registro().avvisi.size(), 1);
    organico->trigger();
    QTRY_VERIFY(frm.Comandi().Finestra(QStringLiteral("Organico")));
    chiuse.clear();
    QObject::connect(frm.Comandi().Finestra(QStringLiteral("Organico")), &QObject::destroyed, [&chiuse] { chiuse << QStringLiteral("Reparto"); });
    frm.Comandi().ChiudiFinestre();
    QTRY_COMPARE(chiuse, (QStringList{"Qualifica", "Reparto"}));
}

QTEST_MAIN(TstFrmPianta)
#include "tst_frmpianta.moc"
