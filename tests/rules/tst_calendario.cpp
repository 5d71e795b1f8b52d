// The holiday calendar: the national holidays of a year, the window driven with keys (calendar
// 1 made when missing, adding twice, removing the date shown, a date that is no date, the
// national holidays of the year shown), a failure inside the transaction, the printed list.

#include "../core/modale.h"
#include "ambiente.h"
#include "campodata.h"
#include "festivita.h"
#include "messaggi.h"
#include "rptturni.h"
#include "tdtmturni.h"
#include "tfrmcalendario.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLabel>
#include <QListWidget>
#include <QTextCharFormat>
#include <QToolButton>
#include <QtTest>

namespace {

const QDate kOggi(2026, 12, 9);

void festivo(Ambiente& a, int calendario, const QDate& d, const char* tipo = "F")
{
    a.esegui(QStringLiteral("INSERT INTO RelCalend (IdCalend, Giorno, Tipo) VALUES (:c, :g, :t)"),
             {{"c", calendario}, {"g", Sql::data(d)}, {"t", QString::fromLatin1(tipo)}});
}

// The holidays processing reads.
int festiviCalendario1(Ambiente& a, const QString& condizione = {})
{
    return a.conta(QStringLiteral("RelCalend"), QStringLiteral("IdCalend = 1 AND Tipo = 'F'") + condizione);
}

class Finestra {
public:
    // preparazione runs on the database before the window opens.
    explicit Finestra(const std::function<void(Ambiente&)>& preparazione = {})
    {
        amb.dtm().setOggi(kOggi);
        if (preparazione)
            preparazione(amb);
        frm = std::make_unique<TfrmCalendario>(amb.dtm(), turni);
        frm->show();
        frm->activateWindow();
        attiva = QTest::qWaitForWindowActive(frm.get());
    }

    template <class T>
    T* w(const char* nome) { return frm->findChild<T*>(QString::fromLatin1(nome)); }
    QCalendarWidget* mese() { return w<QCalendarWidget>("calMese"); }
    CampoData* data() { return w<CampoData>("edtData"); }
    QListWidget* elenco() { return w<QListWidget>("lstFestivi"); }
    void tasto(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(QApplication::focusWidget(), k, m); }
    // Types a date into "Data" as a user does: Alt+D, then the digits.
    bool scrivi(const QString& cifre)
    {
        tasto(Qt::Key_D, Qt::AltModifier);
        if (!QTest::qWaitFor([this] { return QApplication::focusWidget() == data(); }))
            return false;
        QTest::keyClicks(data(), cifre);
        return true;
    }
    bool giallo(const QDate& d) { return mese()->dateTextFormat(d).background().color() == QColor(0xFF, 0xF0, 0x40); }
    QStringList voci()
    {
        QStringList l;
        for (int r = 0; r < elenco()->count(); ++r)
            l << elenco()->item(r)->text().left(10);
        return l;
    }

    Ambiente amb;
    TdtmTurni turni{amb.dtm()};
    std::unique_ptr<TfrmCalendario> frm;
    bool attiva = false;
};

}  // namespace

class TstCalendario : public QObject {
    Q_OBJECT
private slots:
    void pasqua_data();
    void pasqua();
    void festivitaNazionali_data();
    void festivitaNazionali();
    void apertura_data();
    void apertura();
    void aggiungiDueVolte();
    void rimuoviLaDataMostrata();
    void dataNonValida();
    void festivitaNazionaliDellAnnoMostrato();
    void guastoNellaTransazione();
    void stampa();
};

void TstCalendario::pasqua_data()
{
    QTest::addColumn<int>("anno");
    QTest::addColumn<QDate>("attesa");
    QTest::newRow("2026") << 2026 << QDate(2026, 4, 5);
    QTest::newRow("2025") << 2025 << QDate(2025, 4, 20);
    QTest::newRow("2024 marzo") << 2024 << QDate(2024, 3, 31);
    QTest::newRow("2019") << 2019 << QDate(2019, 4, 21);
    QTest::newRow("2018 primo aprile") << 2018 << QDate(2018, 4, 1);
    QTest::newRow("2016 fine marzo") << 2016 << QDate(2016, 3, 27);
    QTest::newRow("2008 presto") << 2008 << QDate(2008, 3, 23);
    QTest::newRow("2000") << 2000 << QDate(2000, 4, 23);
    QTest::newRow("2038 la più tardiva") << 2038 << QDate(2038, 4, 25);
    QTest::newRow("2285 la più precoce") << 2285 << QDate(2285, 3, 22);
    QTest::newRow("1954") << 1954 << QDate(1954, 4, 18);
}

void TstCalendario::pasqua()
{
    QFETCH(int, anno);
    QFETCH(QDate, attesa);
    QCOMPARE(Festivita::Pasqua(anno), attesa);
}

void TstCalendario::festivitaNazionali_data()
{
    QTest::addColumn<int>("anno");
    QTest::addColumn<QDate>("pasquetta");
    QTest::addColumn<int>("date");
    QTest::newRow("2026") << 2026 << QDate(2026, 4, 6) << 11;
    QTest::newRow("2027") << 2027 << QDate(2027, 3, 29) << 11;
    QTest::newRow("2024 pasquetta il primo aprile") << 2024 << QDate(2024, 4, 1) << 11;
    QTest::newRow("2038 pasquetta dopo il 25 aprile") << 2038 << QDate(2038, 4, 26) << 11;
    QTest::newRow("2011 pasquetta il 25 aprile, una data sola") << 2011 << QDate(2011, 4, 25) << 10;
}

void TstCalendario::festivitaNazionali()
{
    QFETCH(int, anno);
    QFETCH(QDate, pasquetta);
    QFETCH(int, date);
    const QList<QDate> f = Festivita::Nazionali(anno);
    QCOMPARE(f.size(), date);
    QVERIFY(f.contains(pasquetta));
    const std::initializer_list<std::pair<int, int>> fisse{{1, 1}, {1, 6}, {4, 25}, {5, 1}, {6, 2}, {8, 15}, {11, 1}, {12, 8}, {12, 25}, {12, 26}};
    for (const auto& [mese, giorno] : fisse)
        QVERIFY2(f.contains(QDate(anno, mese, giorno)), qPrintable(QDate(anno, mese, giorno).toString(Qt::ISODate)));
    // In date order, each date once: the calendar's key refuses a repeated day.
    for (int n = 1; n < f.size(); ++n)
        QVERIFY(f[n - 1] < f[n]);
}

void TstCalendario::apertura_data()
{
    QTest::addColumn<bool>("altroCalendario");
    QTest::newRow("nessun calendario") << false;
    QTest::newRow("solo un altro calendario") << true;
}

void TstCalendario::apertura()
{
    QFETCH(bool, altroCalendario);
    Finestra f([&](Ambiente& a) {
        if (altroCalendario)
            a.esegui(QStringLiteral("INSERT INTO Calendari (Id, Descr) VALUES (5, 'Sede estera')"));
        // Only calendar 1's holidays count: another calendar's day and another kind of day
        // are neither listed nor marked.
        festivo(a, 5, QDate(2026, 12, 24));
        festivo(a, 1, QDate(2026, 12, 31), "X");
        festivo(a, 1, QDate(2026, 12, 8));
        festivo(a, 1, QDate(2027, 1, 6));
    });
    QVERIFY(f.attiva);
    QCOMPARE(f.amb.valore(QStringLiteral("SELECT Descr FROM Calendari WHERE Id = 1")).toString(), QStringLiteral("Calendario"));
    QCOMPARE(f.voci(), (QStringList{QStringLiteral("08/12/2026"), QStringLiteral("06/01/2027")}));
    // Today's month, its holiday marked; the one of January only once January is shown.
    QCOMPARE(f.w<QLabel>("lblMese")->text(), QStringLiteral("Dicembre"));
    QCOMPARE(f.w<QLabel>("lblAnno")->text(), QStringLiteral("2026"));
    QCOMPARE(f.data()->text(), QStringLiteral("09/12/2026"));
    QVERIFY(f.giallo(QDate(2026, 12, 8)));
    QVERIFY(!f.giallo(QDate(2026, 12, 24)));
    QVERIFY(!f.giallo(QDate(2026, 12, 31)));
    QVERIFY(!f.giallo(QDate(2027, 1, 6)));
    QTest::mouseClick(f.w<QToolButton>("btnMeseSucc"), Qt::LeftButton);
    QCOMPARE(f.w<QLabel>("lblAnno")->text(), QStringLiteral("2027"));
    QVERIFY(f.giallo(QDate(2027, 1, 6)));
    QVERIFY(!f.giallo(QDate(2026, 12, 8)));
}

void TstCalendario::aggiungiDueVolte()
{
    Finestra f;
    QVERIFY(f.attiva);
    QVERIFY(f.scrivi(QStringLiteral("25122000")));
    // The calendar follows the date typed.
    QCOMPARE(f.mese()->yearShown(), 2000);
    f.tasto(Qt::Key_F2);
    f.tasto(Qt::Key_F2);
    QCOMPARE(festiviCalendario1(f.amb), 1);
    QCOMPARE(festiviCalendario1(f.amb, QStringLiteral(" AND Giorno = '%1'").arg(Sql::testoData(QDate(2000, 12, 25)))), 1);
    QCOMPARE(f.voci(), QStringList{QStringLiteral("25/12/2000")});
    QVERIFY(f.giallo(QDate(2000, 12, 25)));
    QCOMPARE(f.elenco()->currentRow(), 0);
    QVERIFY(f.amb.registro().avvisi.isEmpty());
}

void TstCalendario::rimuoviLaDataMostrata()
{
    Finestra f([](Ambiente& a) {
        a.esegui(QStringLiteral("INSERT INTO Calendari (Id, Descr) VALUES (1, 'Calendario')"));
        festivo(a, 1, QDate(2026, 12, 8));
        festivo(a, 1, QDate(2026, 12, 25));
    });
    QVERIFY(f.attiva);
    // A date that is no holiday: nothing asked, nothing removed.
    QVERIFY(f.scrivi(QStringLiteral("09122026")));
    f.tasto(Qt::Key_F4);
    QVERIFY(f.amb.registro().domande.isEmpty());
    QCOMPARE(festiviCalendario1(f.amb), 2);

    // Selecting in the list shows the date; Rimuovi asks naming it, and a No keeps it.
    f.elenco()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), f.elenco());
    f.tasto(Qt::Key_End);
    QCOMPARE(f.data()->text(), QStringLiteral("25/12/2026"));
    f.amb.registro().risposte = {false, true};
    f.tasto(Qt::Key_F4);
    QCOMPARE(festiviCalendario1(f.amb), 2);
    f.tasto(Qt::Key_F4);
    QCOMPARE(f.amb.registro().domande.size(), 2);
    QVERIFY(f.amb.registro().domande[0].startsWith(f.amb.dtm().TestoScelta(Msg::SclCancella)));
    QVERIFY(f.amb.registro().domande[0].contains(QStringLiteral("25/12/2026")));
    QCOMPARE(f.voci(), QStringList{QStringLiteral("08/12/2026")});
    QCOMPARE(festiviCalendario1(f.amb, QStringLiteral(" AND Giorno = '%1'").arg(Sql::testoData(QDate(2026, 12, 8)))), 1);
    QVERIFY(!f.giallo(QDate(2026, 12, 25)));
}

void TstCalendario::dataNonValida()
{
    Finestra f;
    QVERIFY(f.attiva);
    QVERIFY(f.scrivi(QStringLiteral("31022000")));
    f.tasto(Qt::Key_F2);
    QCOMPARE(f.amb.registro().avvisi, QStringList{f.amb.dtm().TestoErrore(Msg::ErrDataNonValida)});
    QCOMPARE(festiviCalendario1(f.amb), 0);
    QTRY_COMPARE(QApplication::focusWidget(), f.data());
}

void TstCalendario::festivitaNazionaliDellAnnoMostrato()
{
    Finestra f([](Ambiente& a) { festivo(a, 1, QDate(2027, 12, 25)); });
    QVERIFY(f.attiva);
    QTest::mouseClick(f.w<QToolButton>("btnAnnoSucc"), Qt::LeftButton);
    QCOMPARE(f.mese()->yearShown(), 2027);
    f.amb.registro().risposte = {false, true};
    // From the window's menu by keys: "Calendario", "Festività nazionali".
    for (int volta = 1; volta <= 2; ++volta) {
        f.tasto(Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F);
        QTRY_COMPARE(f.amb.registro().domande.size(), volta);
    }
    // The question lists the ten dates still missing, Easter Monday on 29 March among them.
    const QString domanda = f.amb.registro().domande.value(1);
    QVERIFY(domanda.startsWith(f.amb.dtm().TestoScelta(Msg::SclFestivitaNazionali)));
    QCOMPARE(domanda.count(QStringLiteral("/2027")), 10);
    QVERIFY(domanda.contains(QStringLiteral("29/03/2027")));
    QVERIFY(!domanda.contains(QStringLiteral("25/12/2027")));
    QCOMPARE(festiviCalendario1(f.amb), 11);
    QCOMPARE(festiviCalendario1(f.amb, QStringLiteral(" AND Giorno = '%1'").arg(Sql::testoData(QDate(2027, 3, 29)))), 1);
    QVERIFY(f.voci().contains(QStringLiteral("29/03/2027")));
    // Once all are there, the command says so and asks nothing.
    f.w<QAction>("itmFestivita")->trigger();
    QCOMPARE(f.amb.registro().domande.size(), 2);
    QCOMPARE(f.amb.registro().avvisi, QStringList{f.amb.dtm().TestoErrore(Msg::AvvFestivitaPresenti) + QStringLiteral(" 2027")});
}

void TstCalendario::guastoNellaTransazione()
{
    Ambiente a;
    TdtmTurni t(a.dtm());
    // The calendar row is written first, then the days: a refused day takes it back too.
    a.esegui(QStringLiteral("ALTER TABLE RelCalend RENAME TO RelCalendGuasta"));
    a.esegui(QStringLiteral("CREATE VIEW RelCalend AS SELECT DISTINCT * FROM RelCalendGuasta"));
    QVERIFY_THROWS_EXCEPTION(ErroreDb, t.AggiungiFestivi(Festivita::Nazionali(2027)));
    a.esegui(QStringLiteral("DROP VIEW RelCalend"));
    a.esegui(QStringLiteral("ALTER TABLE RelCalendGuasta RENAME TO RelCalend"));
    QCOMPARE(a.conta(QStringLiteral("Calendari")), 0);
    QCOMPARE(a.conta(QStringLiteral("RelCalend")), 0);
}

void TstCalendario::stampa()
{
    Ambiente a;
    festivo(a, 1, QDate(2027, 3, 29));
    festivo(a, 1, QDate(2026, 12, 25));
    festivo(a, 2, QDate(2026, 12, 26));
    const DocumentoStampa doc = TrptCalend(a.dtm()).Crea(QStringLiteral("Calendario giorni festivi"));
    QCOMPARE(doc.selezione, QStringLiteral("Elenco Giorni Festivi"));
    QCOMPARE(doc.righe.size(), 2);
    QCOMPARE(doc.righe[0].celle, (QStringList{QStringLiteral("25/12/2026"), QStringLiteral("venerdì")}));
    QCOMPARE(doc.righe[1].celle[0], QStringLiteral("29/03/2027"));
}

QTEST_MAIN(TstCalendario)
#include "tst_calendario.moc"
