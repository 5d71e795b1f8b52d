// The shift rotations: the week chart's bars, the window driven with keys through browsing,
// inserting and modifying, deletion and its use check, a failure inside each transaction,
// the printed list, the main window's command, and processing on a rotation and a holiday
// written here.

#include "../core/modale.h"
#include "ambiente.h"
#include "demo.h"
#include "graficoturno.h"
#include "messaggi.h"
#include "rptturni.h"
#include "tdtmelab.h"
#include "tdtmturni.h"
#include "tfrmpresenze.h"
#include "tfrmturni.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QWindow>
#include <QtTest>

namespace {

// Timetables of the tests, in the order the pickers list them (by name, then id). The
// first two share their name: only the id tells them apart.
enum { GiornoA = 1, GiornoB, Notte, Riposo };

void orario(Ambiente& a, int id, const char* descr, int prima, int ultima, const char* chiusura, int oreMedie)
{
    a.esegui(QStringLiteral("INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO, OreMedie, OreMinime, PrimaTimb, UltimaTimb, ChiusGio) "
                            "VALUES (:id, :descr, :cv, 'E', :om, :om, :prima, :ultima, :chius)"),
             {{"id", id}, {"descr", QString::fromUtf8(descr)}, {"cv", QString::number(id)}, {"om", oreMedie}, {"prima", prima},
              {"ultima", ultima}, {"chius", QString::fromLatin1(chiusura)}});
    // Whole-minute rounding and no overtime rounding: the engine's figures stay the punches'.
    for (const char* verso : {"E", "U"})
        a.esegui(QStringLiteral("INSERT INTO ArroTim (IdOrario, Inizio, Fine, ArrVerso, TipoArrot, MinutiArrot) VALUES (:id, 0, 1439, :v, :t, 1)"),
                 {{"id", id}, {"v", QString::fromLatin1(verso)}, {"t", QString::fromLatin1(*verso == 'E' ? "E" : "D")}});
    a.esegui(QStringLiteral("INSERT INTO ArroStra (IdOrario, Inizio, Fine, TipoArrot, MinutiArrot) VALUES (:id, 0, 1439, 'D', 1)"), {{"id", id}});
}

void orariDiProva(Ambiente& a)
{
    orario(a, GiornoA, "Giornaliero", 420, 1140, "A", 480);
    orario(a, GiornoB, "Giornaliero", 480, 1200, "A", 480);
    orario(a, Notte, "Notte", 1320, 360, "S", 480);
    orario(a, Riposo, "Riposo", 0, 1439, "A", 0);
}

// A stored rotation, days Sunday first.
void turno(Ambiente& a, int id, const char* descr, const QList<int>& orari)
{
    a.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (:id, :descr, 7)"), {{"id", id}, {"descr", QString::fromUtf8(descr)}});
    for (int n = 0; n < orari.size(); ++n)
        a.esegui(QStringLiteral("INSERT INTO CompTurni (IdTurno, NumOrd, DataInizio, TipoOrario, IdDaUsare) VALUES (:id, :n, :d, 'O', :o)"),
                 {{"id", id}, {"n", n + 1}, {"d", Sql::data(QDate(2026, 1, 1))}, {"o", orari[n]}});
}

QList<int> giorniSalvati(Ambiente& a, int idTurno)
{
    QSqlQuery q = a.db().esegui(QStringLiteral("SELECT IdDaUsare FROM CompTurni WHERE IdTurno = :id ORDER BY NumOrd"), {{"id", idTurno}});
    QList<int> l;
    while (q.next())
        l.append(q.value(0).toInt());
    return l;
}

// A failure inside a transaction, the same on every engine: the table becomes a view that
// reads as before and refuses every write.
void guasta(Ambiente& a, const QString& tabella)
{
    a.esegui(QStringLiteral("ALTER TABLE %1 RENAME TO %1Guasta").arg(tabella));
    a.esegui(QStringLiteral("CREATE VIEW %1 AS SELECT DISTINCT * FROM %1Guasta").arg(tabella));
}

void ripara(Ambiente& a, const QString& tabella)
{
    a.esegui(QStringLiteral("DROP VIEW %1").arg(tabella));
    a.esegui(QStringLiteral("ALTER TABLE %1Guasta RENAME TO %1").arg(tabella));
}

// The rotation window on its own, as the main window would open it; `abilitazioni` records
// what it asks of the main window's commands.
class Finestra {
public:
    Finestra()
    {
        amb.dtm().setOggi(QDate(2026, 12, 9));
        orariDiProva(amb);
        turno(amb, 1, "Ufficio", {Riposo, GiornoA, GiornoA, GiornoA, GiornoA, GiornoA, Riposo});
        turno(amb, 2, "Centrale", {Notte, Notte, Notte, Notte, Notte, Riposo, Riposo});
        frm = std::make_unique<TfrmTurni>(amb.dtm(), turni, [this](bool a) { abilitazioni << a; });
        frm->show();
        frm->activateWindow();
        attiva = QTest::qWaitForWindowActive(frm.get());
    }

    template <class T>
    T* w(const char* nome) { return frm->findChild<T*>(QString::fromLatin1(nome)); }
    QComboBox* orari() { return w<QComboBox>("cmbOrario"); }
    QComboBox* turniElenco() { return w<QComboBox>("cmbTurno"); }
    void tasto(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(QApplication::focusWidget(), k, m); }
    // Picks a timetable as a user does: typing its first letters in the picker, then Down.
    bool scegli(const char* iniziali, int giu = 0)
    {
        if (!QTest::qWaitFor([this] { return QApplication::focusWidget() == orari(); }))
            return false;
        QTest::qWait(QApplication::keyboardInputInterval() + 20);
        QTest::keyClicks(orari(), QString::fromLatin1(iniziali));
        for (int n = 0; n < giu; ++n)
            QTest::keyClick(orari(), Qt::Key_Down);
        return true;
    }
    QStringList avvisi() { return amb.registro().avvisi; }
    QString avviso(int n) { return amb.dtm().TestoErrore(n); }

    Ambiente amb;
    TdtmTurni turni{amb.dtm()};
    QList<bool> abilitazioni;
    std::unique_ptr<TfrmTurni> frm;
    bool attiva = false;
};

}  // namespace

class TstTurni : public QObject {
    Q_OBJECT
private slots:
    // A letter typed in a picker starts a new search only after this pause (scegli waits it
    // out); the usual 400 ms would slow every pick.
    void initTestCase() { QApplication::setKeyboardInputInterval(30); }
    void barre_data();
    void barre();
    void inserimento_data();
    void inserimento();
    void inserimentoAnnullato();
    void modifica();
    void cancellazione_data();
    void cancellazione();
    void guastoNellaTransazione_data();
    void guastoNellaTransazione();
    void stampa();
    void dallaFinestraPrincipale();
    void elaborazioneSuTurnoEFestivo();
};

void TstTurni::barre_data()
{
    QTest::addColumn<QList<int>>("orari");  // Sunday first; 0: no timetable
    QTest::addColumn<QList<BarraTurno>>("attese");
    QTest::newRow("giorno sulla sua riga") << QList<int>{0, GiornoA} << QList<BarraTurno>{{2, 7, 19, true}};
    QTest::newRow("notte del lunedì continua il martedì")
        << QList<int>{0, Notte} << QList<BarraTurno>{{2, 22, 24, true}, {3, 0, 6, true}};
    QTest::newRow("notte del sabato continua sulla prima riga")
        << QList<int>{0, 0, 0, 0, 0, 0, Notte} << QList<BarraTurno>{{7, 22, 24, true}, {1, 0, 6, true}};
    QTest::newRow("ore medie zero in giallo") << QList<int>{Riposo} << QList<BarraTurno>{{1, 0, 1439 / 60.0, false}};
}

void TstTurni::barre()
{
    QFETCH(QList<int>, orari);
    QFETCH(QList<BarraTurno>, attese);
    Ambiente a;
    orariDiProva(a);
    TdtmTurni turni(a.dtm());
    const QList<OrarioTurno> elenco = turni.ElencoOrari();
    QList<GiornoTurno> giorni;
    for (int n = 0; n < orari.size(); ++n) {
        GiornoTurno g{n + 1, QStringLiteral("O"), {}};
        for (const OrarioTurno& o : elenco)
            if (o.id == orari[n])
                g.orario = o;
        giorni.append(g);
    }
    QCOMPARE(TdtmTurni::Barre(giorni), attese);
}

void TstTurni::inserimento_data()
{
    QTest::addColumn<QString>("nome");  // typed; empty: the proposed one is kept
    QTest::addColumn<QString>("atteso");
    QTest::newRow("nome scritto") << QStringLiteral("Notti 'A' e giorni") << QStringLiteral("Notti 'A' e giorni");
    QTest::newRow("nome proposto") << QString() << QStringLiteral("Id3");
}

void TstTurni::inserimento()
{
    QFETCH(QString, nome);
    QFETCH(QString, atteso);
    Finestra f;
    QVERIFY(f.attiva);
    f.tasto(Qt::Key_F2);
    QCOMPARE(f.turni.modo(), TdtmTurni::Modo::Inserimento);
    QCOMPARE(f.abilitazioni, QList<bool>{false});
    QVERIFY(!f.frm->menuBar()->isEnabled());
    QVERIFY(!f.turniElenco()->isEnabled());
    QCOMPARE(f.w<QLineEdit>("edtDescr")->text(), QStringLiteral("Id3"));
    QVERIFY(!f.frm->close());

    // "Prossimo" without a timetable is refused on the picker; nothing is written meanwhile.
    QVERIFY(f.scegli(""));
    f.tasto(Qt::Key_Return);
    QCOMPARE(f.avvisi(), QStringList{f.avviso(Msg::ErrDatoMancante)});
    QTRY_COMPARE(QApplication::focusWidget(), f.orari());

    // Sunday rest, Monday to Wednesday the first "Giornaliero", Thursday the second, Friday
    // day, Saturday night.
    const QList<std::pair<const char*, int>> scelte{{"R", 0}, {"G", 0}, {"G", 0}, {"G", 0}, {"G", 1}, {"G", 0}, {"N", 0}};
    for (int n = 0; n < scelte.size(); ++n) {
        QVERIFY(f.scegli(scelte[n].first, scelte[n].second));
        QCOMPARE(f.w<QPushButton>("btnOK")->isVisible(), n == 6);
        if (n < 6)
            f.tasto(Qt::Key_Return);
    }
    QCOMPARE(f.amb.conta(QStringLiteral("Turni")), 2);
    // The chart already shows Saturday's night running into Sunday.
    QVERIFY(f.w<GraficoTurno>("chtTurno")->Barre().contains(BarraTurno{1, 0, 6, true}));

    // An empty name is refused on the name, then the name is given.
    QTest::mouseClick(f.w<QLineEdit>("edtDescr"), Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), f.w<QLineEdit>("edtDescr"));
    f.tasto(Qt::Key_A, Qt::ControlModifier);
    f.tasto(Qt::Key_Delete);
    f.tasto(Qt::Key_Return);
    QCOMPARE(f.avvisi().size(), 2);
    QCOMPARE(f.amb.conta(QStringLiteral("Turni")), 2);
    QTRY_COMPARE(QApplication::focusWidget(), f.w<QLineEdit>("edtDescr"));
    QTest::keyClicks(f.w<QLineEdit>("edtDescr"), nome.isEmpty() ? QStringLiteral("Id3") : nome);
    QCOMPARE(f.turniElenco()->currentText(), nome.isEmpty() ? QStringLiteral("Id3") : nome);
    f.tasto(Qt::Key_Return);

    QCOMPARE(f.avvisi().size(), 2);
    QCOMPARE(f.turni.modo(), TdtmTurni::Modo::Consultazione);
    QCOMPARE(f.abilitazioni, (QList<bool>{false, true}));
    QVERIFY(f.turniElenco()->isEnabled());
    QCOMPARE(f.amb.valore(QStringLiteral("SELECT Descr FROM Turni WHERE Id = 3")).toString(), atteso);
    QCOMPARE(f.amb.valore(QStringLiteral("SELECT Durata FROM Turni WHERE Id = 3")).toInt(), 7);
    QCOMPARE(giorniSalvati(f.amb, 3), (QList<int>{Riposo, GiornoA, GiornoA, GiornoA, GiornoB, GiornoA, Notte}));
    QCOMPARE(f.amb.conta(QStringLiteral("CompTurni"), QStringLiteral("IdTurno = 3 AND TipoOrario = 'O'")), 7);
    QCOMPARE(f.amb.conta(QStringLiteral("CompTurni"), QStringLiteral("IdTurno = 3 AND DataInizio IS NOT NULL")), 7);
    QCOMPARE(f.turniElenco()->currentData().toInt(), 3);
}

void TstTurni::inserimentoAnnullato()
{
    Finestra f;
    QVERIFY(f.attiva);
    f.tasto(Qt::Key_F2);
    for (const char* iniziali : {"R", "G", "N"}) {
        QVERIFY(f.scegli(iniziali));
        f.tasto(Qt::Key_Return);
    }
    QCOMPARE(f.turni.Giorni().size(), 4);
    f.tasto(Qt::Key_Escape);
    QCOMPARE(f.turni.modo(), TdtmTurni::Modo::Consultazione);
    QCOMPARE(f.amb.conta(QStringLiteral("Turni")), 2);
    QCOMPARE(f.amb.conta(QStringLiteral("CompTurni")), 14);
    QCOMPARE(f.abilitazioni, (QList<bool>{false, true}));
    // Browsing starts again from the first rotation by name.
    QCOMPARE(f.turniElenco()->currentText(), QStringLiteral("Centrale"));
    QCOMPARE(f.turniElenco()->count(), 2);
}

void TstTurni::modifica()
{
    Finestra f;
    QVERIFY(f.attiva);
    // "Ufficio" through the picker's keys, then Modifica on Wednesday.
    f.turniElenco()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), f.turniElenco());
    f.tasto(Qt::Key_Down);
    QCOMPARE(f.turni.IdTurno(), 1);
    f.w<QTableView>("grdGiorni")->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), f.w<QTableView>("grdGiorni"));
    f.tasto(Qt::Key_F3);
    QCOMPARE(f.turni.modo(), TdtmTurni::Modo::Modifica);
    QCOMPARE(f.w<QGroupBox>("pnlModifica")->title(), QStringLiteral("Modifica Turno"));

    // Another window of the application becoming active hands the activation back.
    QLineEdit altra;
    bool altraAttiva = false;
    const auto c = connect(qApp, &QGuiApplication::focusWindowChanged, this, [&](QWindow* w) {
        altraAttiva |= w && w == altra.windowHandle();
    });
    altra.show();
    altra.activateWindow();
    QTRY_VERIFY(altraAttiva);
    QTRY_VERIFY(f.frm->isActiveWindow());
    disconnect(c);

    // The grid stays usable: Wednesday (row 4) gets the night, the name changes.
    auto* griglia = f.w<QTableView>("grdGiorni");
    griglia->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), griglia);
    for (int n = 0; n < 3; ++n)
        f.tasto(Qt::Key_Down);
    QCOMPARE(f.w<QLineEdit>("edtGiorno")->text(), QStringLiteral("Mer"));
    f.tasto(Qt::Key_R, Qt::AltModifier);
    QVERIFY(f.scegli("N"));
    f.tasto(Qt::Key_D, Qt::AltModifier);
    QTRY_COMPARE(QApplication::focusWidget(), f.w<QLineEdit>("edtDescr"));
    f.tasto(Qt::Key_End);
    QTest::keyClicks(f.w<QLineEdit>("edtDescr"), QStringLiteral(" notte mer"));
    f.tasto(Qt::Key_Return);
    QCOMPARE(f.turni.modo(), TdtmTurni::Modo::Consultazione);
    QCOMPARE(giorniSalvati(f.amb, 1), (QList<int>{Riposo, GiornoA, GiornoA, Notte, GiornoA, GiornoA, Riposo}));
    QCOMPARE(f.amb.valore(QStringLiteral("SELECT Descr FROM Turni WHERE Id = 1")).toString(), QStringLiteral("Ufficio notte mer"));
    QCOMPARE(f.turni.IdTurno(), 1);

    // Annulla leaves the stored rotation as it was.
    f.tasto(Qt::Key_F3);
    QVERIFY(f.scegli("R"));
    f.tasto(Qt::Key_Escape);
    QCOMPARE(f.turni.modo(), TdtmTurni::Modo::Consultazione);
    QCOMPARE(giorniSalvati(f.amb, 1), (QList<int>{Riposo, GiornoA, GiornoA, Notte, GiornoA, GiornoA, Riposo}));
    QCOMPARE(f.turni.Giorni()[0].orario.id, int(Riposo));
    QCOMPARE(f.abilitazioni, (QList<bool>{false, true, false, true}));
    QVERIFY(f.avvisi().isEmpty());
}

void TstTurni::cancellazione_data()
{
    QTest::addColumn<bool>("usato");
    QTest::addColumn<bool>("risposta");
    QTest::addColumn<int>("turniRestanti");
    QTest::newRow("usato da un profilo: 1800 senza domanda") << true << true << 2;
    QTest::newRow("libero, confermato") << false << true << 1;
    QTest::newRow("libero, non confermato") << false << false << 2;
}

void TstTurni::cancellazione()
{
    QFETCH(bool, usato);
    QFETCH(bool, risposta);
    QFETCH(int, turniRestanti);
    Finestra f;
    QVERIFY(f.attiva);
    if (usato) {
        GeneraDemo(f.amb.dtm(), {1, 0, QDate(2026, 12, 9), 1});
        f.amb.esegui(QStringLiteral("UPDATE Profilo SET IdOrari = 2"));
    }
    const int prima = f.amb.conta(QStringLiteral("Turni"));
    f.amb.registro().risposte = {risposta};
    QCOMPARE(f.turni.IdTurno(), 2);  // "Centrale", the first by name
    f.tasto(Qt::Key_F4);
    QCOMPARE(f.amb.registro().domande.size(), usato ? 0 : 1);
    QCOMPARE(f.avvisi(), usato ? QStringList{f.avviso(Msg::ErrTurnoInUso)} : QStringList());
    QCOMPARE(f.amb.conta(QStringLiteral("Turni")), prima - 2 + turniRestanti);
    QCOMPARE(f.amb.conta(QStringLiteral("CompTurni"), QStringLiteral("IdTurno = 2")), turniRestanti == 2 ? 7 : 0);
    QCOMPARE(f.turniElenco()->count(), prima - 2 + turniRestanti);
}

void TstTurni::guastoNellaTransazione_data()
{
    QTest::addColumn<QString>("operazione");
    QTest::addColumn<QString>("tabella");  // the table whose write fails, after another was written
    QTest::newRow("inserimento") << QStringLiteral("inserimento") << QStringLiteral("CompTurni");
    QTest::newRow("modifica") << QStringLiteral("modifica") << QStringLiteral("CompTurni");
    QTest::newRow("cancellazione") << QStringLiteral("cancellazione") << QStringLiteral("Turni");
}

void TstTurni::guastoNellaTransazione()
{
    QFETCH(QString, operazione);
    QFETCH(QString, tabella);
    Ambiente a;
    orariDiProva(a);
    turno(a, 1, "Ufficio", {Riposo, GiornoA, GiornoA, GiornoA, GiornoA, GiornoA, Riposo});
    TdtmTurni t(a.dtm());
    t.ApriTurno(1);
    const OrarioTurno notte = t.ElencoOrari()[2];
    if (operazione == QLatin1String("inserimento")) {
        t.IniziaInserimento();
        for (int n = 0; n < 6; ++n) {
            t.ImpostaOrario(notte);
            QVERIFY(t.Prossimo().ok());
        }
        t.ImpostaOrario(notte);
    } else if (operazione == QLatin1String("modifica")) {
        QVERIFY(t.IniziaModifica());
        t.ImpostaDescrizione(QStringLiteral("Cambiato"));
        t.ImpostaOrario(notte);
    }
    guasta(a, tabella);
    QVERIFY_THROWS_EXCEPTION(ErroreDb, operazione == QLatin1String("cancellazione") ? void(t.CancellaTurno(1)) : void(t.Conferma()));
    ripara(a, tabella);
    QCOMPARE(a.conta(QStringLiteral("Turni")), 1);
    QCOMPARE(a.valore(QStringLiteral("SELECT Descr FROM Turni WHERE Id = 1")).toString(), QStringLiteral("Ufficio"));
    QCOMPARE(giorniSalvati(a, 1), (QList<int>{Riposo, GiornoA, GiornoA, GiornoA, GiornoA, GiornoA, Riposo}));
    QCOMPARE(a.conta(QStringLiteral("CompTurni")), 7);
    // The editing is still there: once the database answers again, OK writes it.
    if (operazione != QLatin1String("cancellazione")) {
        QVERIFY(t.modo() != TdtmTurni::Modo::Consultazione);
        QVERIFY(t.Conferma().ok());
        QCOMPARE(a.conta(QStringLiteral("CompTurni"), QStringLiteral("IdDaUsare = %1").arg(Notte)), operazione == QLatin1String("modifica") ? 1 : 7);
    }
}

void TstTurni::stampa()
{
    Ambiente a;
    orariDiProva(a);
    turno(a, 1, "Ufficio", {Riposo, GiornoA, GiornoA, GiornoA, GiornoA, GiornoB, Riposo});
    turno(a, 2, "Centrale", {Notte, Notte, Notte, Notte, Notte, Riposo, Riposo});
    const DocumentoStampa doc = TrptTurni(a.dtm()).Crea(QStringLiteral("Elenco turni"));
    QCOMPARE(doc.colonne.size(), 3);
    QCOMPARE(doc.colonne[0].titolo, QStringLiteral("Turno"));
    QCOMPARE(doc.colonne[1].titolo, QStringLiteral("Composizione"));
    QCOMPARE(doc.righe.size(), 16);
    QCOMPARE(doc.righe[0].celle, (QStringList{QStringLiteral("Centrale"), QString(), QString()}));
    QCOMPARE(doc.righe[1].celle, (QStringList{QString(), QStringLiteral("Domenica"), QStringLiteral("Notte")}));
    QCOMPARE(doc.righe[8].celle[0], QStringLiteral("Ufficio"));
    QCOMPARE(doc.righe[14].celle, (QStringList{QString(), QStringLiteral("Venerdì"), QStringLiteral("Giornaliero")}));
    QCOMPARE(doc.righe[15].celle[1], QStringLiteral("Sabato"));
}

void TstTurni::dallaFinestraPrincipale()
{
    Ambiente a;
    orariDiProva(a);
    turno(a, 1, "Ufficio", {Riposo, GiornoA, GiornoA, GiornoA, GiornoA, GiornoA, Riposo});
    TdtmTurni turni(a.dtm());
    TfrmPresenze frm(a.dtm());
    frm.FormCreate();
    // As the start-up registers it.
    frm.Comandi().RegistraSingola(
        QStringLiteral("Turni"), [&] { return new TfrmTurni(a.dtm(), turni, [&frm](bool abilita) { frm.EnableControls(abilita); }); },
        RegistroComandi::Riapertura::Nulla);
    frm.show();
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    auto* comando = frm.findChild<QAction*>(QStringLiteral("itmTurni"));
    QVERIFY(comando && comando->isEnabled());
    comando->trigger();
    QPointer<QWidget> finestra = frm.Comandi().Finestra(QStringLiteral("Turni"));
    QVERIFY(finestra);
    comando->trigger();
    QCOMPARE(frm.mdiArea()->subWindowList().size(), 1);

    // Editing disables the main window's commands until it ends.
    QTRY_VERIFY(finestra->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QVERIFY(!comando->isEnabled());
    QTRY_COMPARE(QApplication::focusWidget(), finestra->findChild<QComboBox*>(QStringLiteral("cmbOrario")));
    // The buttons' letters are not the main window's menus', which share the window.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("R"));
    auto* prossimo = finestra->findChild<QPushButton*>(QStringLiteral("btnNextRecord"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE(turni.Giorni().size(), 2);
    QTRY_VERIFY(!prossimo->isDown());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(comando->isEnabled());
    frm.Comandi().Cornice(QStringLiteral("Turni"))->close();
    QTRY_VERIFY(!finestra);
}

void TstTurni::elaborazioneSuTurnoEFestivo()
{
    Ambiente a;
    const QDate oggi(2026, 12, 9);
    a.dtm().setOggi(oggi);
    GeneraDemo(a.dtm(), {1, 0, oggi, 1});
    const int dip = a.valore(QStringLiteral("SELECT Id FROM Anagrafico")).toInt();
    const int base = a.dtm().NuovoId(QStringLiteral("OrariRep"));
    orario(a, base, "Giorno 8-16", 420, 1140, "A", 480);
    orario(a, base + 1, "Notte 22-6", 1320, 360, "S", 480);
    orario(a, base + 2, "Festivo mattina", 420, 1140, "A", 240);
    // The rotation and the holiday as the windows write them: Wednesday (day 4) at night,
    // the other days by day; 2 December 2026, a Wednesday, a holiday.
    TdtmTurni t(a.dtm());
    t.IniziaInserimento();
    const QList<OrarioTurno> elenco = t.ElencoOrari();
    const auto cerca = [&](int id) { return *std::find_if(elenco.begin(), elenco.end(), [id](const OrarioTurno& o) { return o.id == id; }); };
    for (int n = 1; n <= 7; ++n) {
        t.ImpostaOrario(cerca(n == 4 ? base + 1 : base));
        QVERIFY(t.Prossimo().ok());
    }
    QVERIFY(t.Conferma().ok());
    QVERIFY(t.AggiungiFestivo(QDate(2026, 12, 2)));
    a.esegui(QStringLiteral("UPDATE Profilo SET TipoOrario = 'T', IdOrari = :t, IdOrFestivo = :f, Autorizzato = 'S' WHERE IdUtilizzatore = :d"),
             {{"t", t.IdTurno()}, {"f", base + 2}, {"d", dip}});
    const auto timbra = [&](const QDateTime& dt, const char* verso) {
        a.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, IdTerminale) VALUES (:d, :t, :t, :v, :v, 1)"),
                 {{"d", dip}, {"t", Sql::dataOra(dt)}, {"v", QString::fromLatin1(verso)}});
    };
    // Tuesday 1/12 by day, Wednesday 2/12 (holiday) a morning, Wednesday 9/12... before today:
    // Wednesday 25/11 a night into Thursday.
    timbra(QDateTime(QDate(2026, 12, 1), QTime(8, 0)), "E");
    timbra(QDateTime(QDate(2026, 12, 1), QTime(16, 0)), "U");
    timbra(QDateTime(QDate(2026, 12, 2), QTime(8, 0)), "E");
    timbra(QDateTime(QDate(2026, 12, 2), QTime(12, 0)), "U");
    timbra(QDateTime(QDate(2026, 11, 25), QTime(22, 0)), "E");
    timbra(QDateTime(QDate(2026, 11, 26), QTime(6, 0)), "U");
    TdtmElab elab(a.dtm());
    elab.ElaboraPeriodo(dip, QDate(2026, 11, 25), QDate(2026, 12, 2));
    const auto giorno = [&](const QDate& d) {
        QSqlQuery q = a.db().esegui(QStringLiteral("SELECT IdOrario, ValOrdinario, ValEccedenza, ValCarenza FROM PianoSomma WHERE IdDip = :d AND Data = :g"),
                                    {{"d", dip}, {"g", Sql::data(d)}});
        return q.next() ? QList<int>{q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt()} : QList<int>();
    };
    QCOMPARE(giorno(QDate(2026, 11, 25)), (QList<int>{base + 1, 480, 0, 0}));  // a Wednesday: day 4, the night
    QCOMPARE(giorno(QDate(2026, 12, 1)), (QList<int>{base, 480, 0, 0}));
    QCOMPARE(giorno(QDate(2026, 12, 2)), (QList<int>{base + 2, 240, 0, 0}));  // the holiday timetable
}

QTEST_MAIN(TstTurni)
#include "tst_turni.moc"
