// The print settings dialog driven as a user does, and the preview window over a report.

#include "../core/modale.h"

#include "messaggi.h"
#include "ambiente.h"
#include "fileini.h"
#include "presenzecfg.h"
#include "dialetto.h"
#include "rptpiano.h"
#include "tfrmanteprima.h"
#include "tfrmstampa.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

struct Scelta {
    TRecStampa risultato;
    QStringList voci;
    bool anteprimaSelezionata = false;
};

// Opens the dialog for a group, lets `azione` act on it, and reports what it showed.
Scelta usa(TdtmPresenze& dtm, const QString& gruppo, const std::function<void(TfrmStampa&)>& azione)
{
    TfrmStampa frm(dtm);
    Scelta s;
    QuandoModale quando([&](QWidget*) {
        auto* elenco = frm.findChild<QListWidget*>(QStringLiteral("lstReport"));
        for (int i = 0; i < elenco->count(); ++i)
            s.voci << elenco->item(i)->text();
        s.anteprimaSelezionata = frm.findChild<QRadioButton*>(QStringLiteral("rbAnteprima"))->isChecked();
        azione(frm);
        if (frm.isVisible())
            frm.reject();
    });
    s.risultato = frm.Esegui(gruppo);
    return s;
}

void clic(TfrmStampa& frm, const char* nome)
{
    QTest::mouseClick(frm.findChild<QAbstractButton*>(QString::fromLatin1(nome)), Qt::LeftButton);
}

void scegli(TfrmStampa& frm, int riga)
{
    frm.findChild<QListWidget*>(QStringLiteral("lstReport"))->setCurrentRow(riga);
}

QString anteprimaNelFile(const QString& fileIni)
{
    return FileIni(fileIni).leggiTesto(Ini::Config, QStringLiteral("Preview"));
}

}  // namespace

class TestFrmStampa : public QObject {
    Q_OBJECT
private slots:
    void elencoDelGruppo();
    void okCambiaModoPerSempre();
    void annullaLasciaIlModo();
    void gruppoSenzaStampe();
    void doppioClicEdEsci();
    void altraLingua();
    void anteprima();
    void creaEdEseguiMostraGliErrori();
};

void TestFrmStampa::elencoDelGruppo()
{
    Ambiente amb;
    const Scelta s = usa(amb.dtm(), QStringLiteral("CP"), [](TfrmStampa& frm) { clic(frm, "btnOk"); });
    QCOMPARE(s.voci, (QStringList{QStringLiteral("Timbrature originali"), QStringLiteral("Timbrature variate"),
                                  QStringLiteral("Dettaglio piano di lavoro"), QStringLiteral("Note e timbrature originali"),
                                  QStringLiteral("Note e timbrature variate"), QStringLiteral("Totali piano di lavoro"),
                                  QStringLiteral("Giornate con anomalie")}));
    QVERIFY(s.anteprimaSelezionata);  // preview is the default
    // The first report is selected on opening.
    QCOMPARE(s.risultato.codice, 1);
    QCOMPARE(s.risultato.descrizione, QStringLiteral("Timbrature originali"));
}

void TestFrmStampa::okCambiaModoPerSempre()
{
    Ambiente amb;
    const Scelta s = usa(amb.dtm(), QStringLiteral("CP"), [](TfrmStampa& frm) {
        scegli(frm, 5);
        clic(frm, "rbStampa");
        clic(frm, "btnOk");
    });
    QCOMPARE(s.risultato.codice, 6);
    QCOMPARE(s.risultato.descrizione, QStringLiteral("Totali piano di lavoro"));
    QCOMPARE(amb.dtm().mem().Preview, false);
    QCOMPARE(anteprimaNelFile(amb.fileIni()), QStringLiteral("0"));

    // The next use, from any window, starts on printing.
    QVERIFY(!usa(amb.dtm(), QStringLiteral("CO"), [](TfrmStampa& frm) { clic(frm, "btnOk"); }).anteprimaSelezionata);

    // ... and so does the next start of the application.
    TdtmPresenze riavvio;
    QVERIFY(riavvio.Apri(amb.fileIni(), TdtmPresenze::ModoCreazione::Mai));
    riavvio.CaricaMemoria();
    QCOMPARE(riavvio.mem().Preview, false);
    riavvio.Chiudi();

    // Back to preview.
    usa(amb.dtm(), QStringLiteral("CP"), [](TfrmStampa& frm) {
        clic(frm, "rbAnteprima");
        clic(frm, "btnOk");
    });
    QCOMPARE(amb.dtm().mem().Preview, true);
    QCOMPARE(anteprimaNelFile(amb.fileIni()), QStringLiteral("1"));

    // A PRES.INI that cannot take the choice (a full disk): reported, the choice holds for
    // this run, the file keeps the old one.
    {
        DiscoPieno disco(200);
        usa(amb.dtm(), QStringLiteral("CP"), [](TfrmStampa& frm) {
            clic(frm, "rbStampa");
            clic(frm, "btnOk");
        });
    }
    QCOMPARE(amb.dtm().mem().Preview, false);
    QCOMPARE(anteprimaNelFile(amb.fileIni()), QStringLiteral("1"));
    QCOMPARE(amb.registro().avvisi.size(), 1);
}

void TestFrmStampa::annullaLasciaIlModo()
{
    Ambiente amb;
    const QString prima = anteprimaNelFile(amb.fileIni());
    const Scelta s = usa(amb.dtm(), QStringLiteral("CP"), [](TfrmStampa& frm) {
        scegli(frm, 2);
        clic(frm, "rbStampa");
        clic(frm, "btnAnnulla");
    });
    QCOMPARE(s.risultato.codice, -1);
    QCOMPARE(amb.dtm().mem().Preview, true);
    QCOMPARE(anteprimaNelFile(amb.fileIni()), prima);
}

void TestFrmStampa::gruppoSenzaStampe()
{
    Ambiente amb;
    const Scelta s = usa(amb.dtm(), QStringLiteral("ZZ"), [](TfrmStampa& frm) { clic(frm, "btnOk"); });
    QVERIFY(s.voci.isEmpty());
    QCOMPARE(s.risultato.codice, -1);
}

void TestFrmStampa::doppioClicEdEsci()
{
    Ambiente amb;
    const Scelta doppio = usa(amb.dtm(), QStringLiteral("CD"), [](TfrmStampa& frm) {
        QVERIFY(QTest::qWaitForWindowExposed(&frm));
        auto* elenco = frm.findChild<QListWidget*>(QStringLiteral("lstReport"));
        const QRect r = elenco->visualItemRect(elenco->item(1));
        QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(elenco->viewport(), Qt::LeftButton, {}, r.center());
    });
    QCOMPARE(doppio.risultato.codice, 2);
    QCOMPARE(doppio.risultato.descrizione, QStringLiteral("Elenco dipendenti con note"));

    const Scelta esci = usa(amb.dtm(), QStringLiteral("CD"), [](TfrmStampa& frm) {
        scegli(frm, 1);
        frm.findChild<QMenuBar*>()->actions().first()->trigger();
    });
    QCOMPARE(esci.risultato.codice, -1);
}

void TestFrmStampa::altraLingua()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Costanti7 (TipoStampa, Lingua, CodStampa, Descr) VALUES ('CP', 'E', 2, :D2), ('CP', 'E', 1, :D1)"),
               {{"D1", QStringLiteral("Original punches")}, {"D2", QStringLiteral("Valid punches")}});
    amb.dtm().cfg().Lingua = QLatin1Char('E');
    const Scelta s = usa(amb.dtm(), QStringLiteral("CP"), [](TfrmStampa& frm) { clic(frm, "btnOk"); });
    QCOMPARE(s.voci, (QStringList{QStringLiteral("Original punches"), QStringLiteral("Valid punches")}));
}

void TestFrmStampa::anteprima()
{
    Ambiente amb;
    amb.dtm().CaricaMemoria();
    amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Classe) VALUES (1, '0000000001', 'Rossi', 'Mario', 'D'), "
                              "(2, '0000000002', 'Bianchi', 'Luca', 'D')"));
    for (int id = 1; id <= 2; ++id)
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (:Id, :Data, 2)"),
                   {{"Id", id}, {"Data", Sql::data(QDate(2026, 11, 2))}});
    ParametriPiano par;
    par.dal = QDate(2026, 11, 1);
    par.al = QDate(2026, 11, 30);
    par.titolo = QStringLiteral("Dettaglio piano di lavoro");
    const DocumentoStampa doc = TrptPLDett(amb.dtm()).Crea(par);

    TfrmAnteprima frm(amb.dtm(), doc);
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    QCOMPARE(frm.windowTitle(), QStringLiteral("Dettaglio piano di lavoro"));
    QTRY_COMPARE(frm.Pagine(), 2);
    QTRY_COMPARE(frm.findChild<QLabel*>(QStringLiteral("lblPagina"))->text(), QStringLiteral("Pagina 1 di 2"));
    QAction* successiva = nullptr;
    for (QAction* a : frm.findChildren<QAction*>())
        if (a->text() == QLatin1String("Pagina &successiva"))
            successiva = a;
    QVERIFY(successiva);
    successiva->trigger();
    QTRY_COMPARE(frm.findChild<QLabel*>(QStringLiteral("lblPagina"))->text(), QStringLiteral("Pagina 2 di 2"));

    const QString file = amb.dir() + QStringLiteral("/dettaglio.csv");
    QVERIFY(frm.SalvaSuFile(Stampa::Formato::Csv, file));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("Dipendente Bianchi Luca    0000000002"));
    // A failed save is told to the user, not passed over.
    QVERIFY(!frm.SalvaSuFile(Stampa::Formato::Html, amb.dir() + QStringLiteral("/manca/x.html")));
    QCOMPARE(amb.registro().avvisi.size(), 1);
    QVERIFY(amb.registro().avvisi.first().startsWith(amb.dtm().TestoErrore(Msg::ErrScrittura)));
    QVERIFY(amb.registro().avvisi.first().contains(QLatin1String("x.html")));
}

void TestFrmStampa::creaEdEseguiMostraGliErrori()
{
    Ambiente amb;
    amb.dtm().CaricaMemoria();
    ParametriPiano par;
    par.dal = QDate(2026, 11, 1);
    par.al = QDate(2026, 11, 30);
    par.titolo = QStringLiteral("Totali piano di lavoro");

    // With the logo: the preview opens on the report.
    QString titoloVisto;
    QuandoModale quando([&](QWidget* w) {
        titoloVisto = w->windowTitle();
        w->close();
    });
    QVERIFY(Stampa::CreaEdEsegui(nullptr, amb.dtm(), [&] { return TrptPLTot(amb.dtm()).Crea(par); }));
    QCOMPARE(titoloVisto, QStringLiteral("Totali piano di lavoro"));
    QVERIFY(amb.registro().avvisi.isEmpty());

    // Without it: a message naming the file, and no preview.
    QVERIFY(QFile::remove(Stampa::FileLogo(amb.dtm())));
    titoloVisto.clear();
    QVERIFY(!Stampa::CreaEdEsegui(nullptr, amb.dtm(), [&] { return TrptPLTot(amb.dtm()).Crea(par); }));
    QVERIFY(titoloVisto.isEmpty());
    QCOMPARE(amb.registro().avvisi.size(), 1);
    QVERIFY(amb.registro().avvisi.first().startsWith(amb.dtm().TestoErrore(Msg::ErrLogoMancante)));
    QVERIFY(amb.registro().avvisi.first().endsWith(QLatin1String("Quorlin_rptlogo.bmp")));
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

QTEST_MAIN(TestFrmStampa)
#include "tst_frmstampa.moc"
