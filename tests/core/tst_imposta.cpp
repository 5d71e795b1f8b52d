// The general settings window driven as a user does: pages, edit mode, Conferma and Annulla
// on each page, colours, required-field labels, and the failures the window must survive.

#include "ambiente.h"
#include "campodata.h"
#include "evidenzia.h"
#include "fileini.h"
#include "messaggi.h"
#include "modale.h"
#include "tdtmutil.h"
#include "tfrmaiuto.h"
#include "tfrmimposta.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {

class Finestra {
public:
    explicit Finestra(Ambiente& amb) : util(amb.dtm()), frm(amb.dtm(), util)
    {
        frm.show();
        ok = QTest::qWaitForWindowExposed(&frm);
    }
    template <class T>
    T* w(const char* nome) { return frm.findChild<T*>(QString::fromLatin1(nome)); }
    QAbstractButton* pulsante(const char* nome) { return w<QAbstractButton>(nome); }
    void clic(const char* nome) { QTest::mouseClick(pulsante(nome), Qt::LeftButton); }
    void pagina(int n)
    {
        QTabBar* barra = w<QTabWidget>("pgcImposta")->tabBar();
        QTest::mouseClick(barra, Qt::LeftButton, {}, barra->tabRect(n).center());
    }
    QLabel* etichetta(const QString& testo)
    {
        for (QLabel* l : frm.findChildren<QLabel*>())
            if (l->text() == testo)
                return l;
        return nullptr;
    }

    TdtmUtil util;
    TfrmImposta frm;
    bool ok = false;
};

const QStringList kPagine{"&Azienda", "&Colori", "&Data Installazione", "&Elaborazione"};

}  // namespace

class TstImposta : public QObject {
    Q_OBJECT
private slots:
    void apertura();
    void comandiDellaFinestra();
    void cambioPaginaInModifica_data();
    void cambioPaginaInModifica();
    void modificaSuColori();
    void dataInstallazione();
    void dataInstallazioneFallita();
    void dataInstallazioneAnnullata();
    void calendario();
    void opzioni_data();
    void opzioni();
    void opzioniAnnullate();
    void azienda();
    void aziendaSenzaCampoObbligatorio();
    void chiusuraInModifica_data();
    void chiusuraInModifica();
    void colori_data();
    void colori();
    void coloreAnnullato();
    void etichetteObbligatorie_data();
    void etichetteObbligatorie();
    void aiuto_data();
    void aiuto();
};

void TstImposta::apertura()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr, CodAzEst) VALUES (1, 'Rossi S.p.A.', 'Sede', 'R01')"));
    amb.esegui(QStringLiteral("INSERT INTO ConfigGen (DataInst) VALUES (:d)"), {{"d", Sql::data(QDate(2022, 5, 1))}});
    amb.dtm().cfg().CalcolaAssenza = false;
    Finestra f(amb);
    QVERIFY(f.ok);
    QCOMPARE(f.frm.windowTitle(), QStringLiteral("Impostazioni"));
    auto* pagine = f.w<QTabWidget>("pgcImposta");
    QStringList titoli;
    for (int n = 0; n < pagine->count(); ++n)
        titoli << pagine->tabText(n);
    QCOMPARE(titoli, kPagine);
    QCOMPARE(pagine->currentIndex(), int(TfrmImposta::PagAzienda));

    QCOMPARE(f.w<QLineEdit>("edtRagSoc")->text(), QStringLiteral("Rossi S.p.A."));
    QCOMPARE(f.w<QLineEdit>("edtDescr")->text(), QStringLiteral("Sede"));
    QCOMPARE(f.w<QLineEdit>("edtCodAzEst")->text(), QStringLiteral("R01"));
    for (const char* e : {"edtRagSoc", "edtDescr", "edtCodAzEst"})
        QVERIFY2(f.w<QLineEdit>(e)->isReadOnly(), e);
    QCOMPARE(f.w<QLineEdit>("edtRagSoc")->maxLength(), 60);
    QCOMPARE(f.w<QLineEdit>("edtDescr")->maxLength(), 30);
    QCOMPARE(f.w<QLineEdit>("edtCodAzEst")->maxLength(), 20);
    for (const QString& l : {QStringLiteral("Ragione Sociale"), QStringLiteral("Descrizione"), QStringLiteral("Codice Azienda Esterno"),
                             QStringLiteral("Data di installazione del prodotto:")})
        QVERIFY2(f.etichetta(l), qPrintable(l));

    // Colour kinds from the code list, the first chosen and its colour in the box.
    auto* lista = f.w<QListWidget>("lstColori");
    const QList<CodiceDescr> tipi = amb.dtm().Codici(QStringLiteral("Costanti4"), QStringLiteral("NColore"));
    QCOMPARE(lista->count(), tipi.size());
    QVERIFY(lista->count() >= 3);
    for (int n = 0; n < tipi.size(); ++n)
        QCOMPARE(lista->item(n)->text(), tipi.at(n).descr);
    QCOMPARE(lista->currentRow(), 0);
    QCOMPARE(f.w<QFrame>("pnlColore")->palette().color(QPalette::Window), ColoreDaIni(amb.dtm().cfg().ColoreReqd));

    QCOMPARE(f.w<CampoData>("dtpDataInst")->date(), QDate(2022, 5, 1));
    QVERIFY(!f.w<CampoData>("dtpDataInst")->isEnabled());
    QVERIFY(f.w<QCheckBox>("chkAnomAssenza")->isChecked());
    QVERIFY(!f.w<QCheckBox>("chkCalcolaAssenza")->isChecked());
    QVERIFY(f.w<QCheckBox>("chkCalcolaStraord")->isChecked());
    QCOMPARE(f.w<QCheckBox>("chkAnomAssenza")->text(), QStringLiteral("Genera &Anomalia per Assenza"));
    QCOMPARE(f.w<QCheckBox>("chkCalcolaAssenza")->text(), QStringLiteral("&Calcola Ore di Assenza"));
    QCOMPARE(f.w<QCheckBox>("chkCalcolaStraord")->text(), QStringLiteral("Differenzia Ore di &Straordinario"));
    QVERIFY(!f.w<QWidget>("pagElaborazione")->isEnabled());

    QVERIFY(!f.frm.InModifica());
    QVERIFY(f.pulsante("btnModifica")->isEnabled());
    QVERIFY(!f.pulsante("btnConferma")->isEnabled());
    QVERIFY(!f.pulsante("btnAnnulla")->isEnabled());
}

void TstImposta::comandiDellaFinestra()
{
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    const QList<std::pair<const char*, QString>> pulsanti{{"btnModifica", "&Modifica"}, {"btnConferma", "C&onferma"},
                                                          {"btnAnnulla", "A&nnulla"},  {"btnHelp", "Help"},
                                                          {"btnEsci", "Esci"},         {"btnCambia", "&Cambia"}};
    for (const auto& [nome, testo] : pulsanti)
        QCOMPARE(f.pulsante(nome)->text(), testo);
    QMenuBar* mb = f.frm.findChild<QMenuBar*>();
    QVERIFY(mb);
    QStringList menu;
    for (QAction* a : mb->actions())
        menu << a->text();
    QCOMPARE(menu, QStringList({"&File", "&?"}));

    // The edit commands' Alt letters belong to them alone, and work from the keyboard.
    const auto lettera = [](const QString& t) {
        const qsizetype i = t.indexOf(QLatin1Char('&'));
        return i >= 0 && i + 1 < t.size() ? t.at(i + 1).toLower() : QChar();
    };
    QList<QChar> lettere;
    for (const QAbstractButton* b : f.frm.findChildren<QAbstractButton*>())
        lettere << lettera(b->text());
    for (int n = 0; n < f.w<QTabWidget>("pgcImposta")->count(); ++n)
        lettere << lettera(f.w<QTabWidget>("pgcImposta")->tabText(n));
    for (const QString& m : menu)
        lettere << lettera(m);
    for (const char* nome : {"btnModifica", "btnConferma", "btnAnnulla"}) {
        const QChar c = lettera(f.pulsante(nome)->text());
        QVERIFY2(!c.isNull() && lettere.count(c) == 1, nome);
    }
    QVERIFY(QTest::qWaitForWindowActive(&f.frm));
    f.pagina(TfrmImposta::PagElaborazione);
    for (Qt::Key chiusura : {Qt::Key_N, Qt::Key_O}) {
        QTest::keyClick(&f.frm, Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(f.frm.InModifica());
        QTest::keyClick(&f.frm, chiusura, Qt::AltModifier);
        QTRY_VERIFY(!f.frm.InModifica());
    }
    QAction* esci = f.w<QAction>("itmEsci");
    QCOMPARE(esci->text(), QStringLiteral("&Esci"));
    QCOMPARE(esci->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    esci->trigger();
    QVERIFY(!f.frm.isVisible());
}

void TstImposta::cambioPaginaInModifica_data()
{
    QTest::addColumn<int>("da");
    QTest::addColumn<int>("verso");
    QTest::newRow("da Elaborazione ad Azienda") << int(TfrmImposta::PagElaborazione) << int(TfrmImposta::PagAzienda);
    QTest::newRow("da Azienda a Colori") << int(TfrmImposta::PagAzienda) << int(TfrmImposta::PagColori);
    QTest::newRow("da Data Installazione a Elaborazione") << int(TfrmImposta::PagDataInst) << int(TfrmImposta::PagElaborazione);
}

void TstImposta::cambioPaginaInModifica()
{
    QFETCH(int, da);
    QFETCH(int, verso);
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    f.pagina(da);
    QCOMPARE(f.frm.PaginaCorrente(), da);
    f.clic("btnModifica");
    QVERIFY(f.frm.InModifica());

    f.pagina(verso);
    QCOMPARE(amb.registro().avvisi, QStringList{amb.dtm().TestoErrore(1114)});
    QCOMPARE(f.frm.PaginaCorrente(), da);
    QVERIFY(f.frm.InModifica());
    QVERIFY(f.pulsante("btnConferma")->isEnabled());

    // After Annulla the page may change, without a message.
    f.clic("btnAnnulla");
    f.pagina(verso);
    QCOMPARE(f.frm.PaginaCorrente(), verso);
    QCOMPARE(amb.registro().avvisi.size(), 1);
}

void TstImposta::modificaSuColori()
{
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    f.pagina(TfrmImposta::PagColori);
    QVERIFY(!f.pulsante("btnModifica")->isEnabled());
    f.clic("btnModifica");
    QVERIFY(!f.frm.InModifica());
    f.pagina(TfrmImposta::PagDataInst);
    QVERIFY(f.pulsante("btnModifica")->isEnabled());
}

void TstImposta::dataInstallazione()
{
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    auto* data = f.w<CampoData>("dtpDataInst");
    f.pagina(TfrmImposta::PagDataInst);
    QVERIFY(!data->isEnabled());
    f.clic("btnModifica");
    QVERIFY(data->isEnabled());
    // A typed day the month does not have is refused, not moved to the month's last day.
    const QString prima = data->text();
    data->selectAll();
    QTest::keyClicks(data, QStringLiteral("31022023"));
    f.clic("btnConferma");
    QCOMPARE(amb.registro().avvisi, QStringList{amb.dtm().TestoErrore(Msg::ErrDataNonValida)});
    QVERIFY(f.frm.InModifica());
    QCOMPARE(data->text(), prima);
    amb.registro().avvisi.clear();
    data->setDate(QDate(2023, 3, 17));
    f.clic("btnConferma");

    QVERIFY(amb.registro().avvisi.isEmpty());
    QVERIFY(!f.frm.InModifica());
    QVERIFY(!data->isEnabled());
    QCOMPARE(data->date(), QDate(2023, 3, 1));
    QCOMPARE(Sql::leggiData(amb.valore(QStringLiteral("SELECT DataInst FROM ConfigGen"))), QDate(2023, 3, 1));
    QCOMPARE(Sql::leggiData(amb.valore(QStringLiteral("SELECT AccantonVoci FROM ContrAccant"))), QDate(2023, 1, 27));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // The confirmed date is the one Annulla returns to.
    f.clic("btnModifica");
    data->setDate(QDate(2021, 9, 9));
    f.clic("btnAnnulla");
    QCOMPARE(data->date(), QDate(2023, 3, 1));
}

void TstImposta::dataInstallazioneFallita()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO ConfigGen (DataInst) VALUES (:d)"), {{"d", Sql::data(QDate(2022, 5, 1))}});
    amb.esegui(QStringLiteral("INSERT INTO ContrAccant (AccantonPiano, AccantonVoci, InvioSaldi, AcquisTimb) VALUES (:d, :d, :d, :d)"),
               {{"d", Sql::data(QDate(2022, 4, 30))}});
    amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, "
                              "ModalTimbra, Autorizzato, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, "
                              "GestReperib, UltElabVoci) VALUES (5, :d, 1, 1, 1, 1, :d, 'S', 'N', :d, :d, :d, :d, :d, :d, 'N', :d)"),
               {{"d", Sql::data(QDate(2020, 2, 1))}});
    amb.rifiuta(QStringLiteral("blocca_profilo"), QStringLiteral("Profilo"), QStringLiteral("UPDATE"), {}, QStringLiteral("profilo bloccato"));

    Finestra f(amb);
    QVERIFY(f.ok);
    auto* data = f.w<CampoData>("dtpDataInst");
    f.pagina(TfrmImposta::PagDataInst);
    f.clic("btnModifica");
    data->setDate(QDate(2023, 3, 17));
    f.clic("btnConferma");

    // The engine's own words, after the window's message; the user may retry or cancel.
    QCOMPARE(amb.registro().avvisi.size(), 1);
    const QString avviso = amb.registro().avvisi.first();
    QVERIFY2(avviso.startsWith(amb.dtm().TestoErrore(Msg::ErrDatabase) + QLatin1Char(' ')), qPrintable(avviso));
    QVERIFY2(avviso.contains(QStringLiteral("profilo bloccato")), qPrintable(avviso));
    QVERIFY(f.frm.InModifica());
    QVERIFY(f.pulsante("btnConferma")->isEnabled());
    QCOMPARE(data->date(), QDate(2023, 3, 17));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    QCOMPARE(Sql::leggiData(amb.valore(QStringLiteral("SELECT DataInst FROM ConfigGen"))), QDate(2022, 5, 1));
    QCOMPARE(Sql::leggiData(amb.valore(QStringLiteral("SELECT AccantonPiano FROM ContrAccant"))), QDate(2022, 4, 30));
    QCOMPARE(Sql::leggiData(amb.valore(QStringLiteral("SELECT InPeriodo1 FROM Profilo"))), QDate(2020, 2, 1));
    QVERIFY(!amb.db().inTransazione());

    f.clic("btnAnnulla");
    QCOMPARE(data->date(), QDate(2022, 5, 1));
    QVERIFY(!f.frm.InModifica());
}

void TstImposta::dataInstallazioneAnnullata()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO ConfigGen (DataInst) VALUES (:d)"), {{"d", Sql::data(QDate(2022, 5, 1))}});
    Finestra f(amb);
    QVERIFY(f.ok);
    auto* data = f.w<CampoData>("dtpDataInst");
    f.pagina(TfrmImposta::PagDataInst);
    f.clic("btnModifica");
    data->setDate(QDate(2023, 3, 17));
    f.clic("btnAnnulla");
    QCOMPARE(data->date(), QDate(2022, 5, 1));
    QCOMPARE(Sql::leggiData(amb.valore(QStringLiteral("SELECT DataInst FROM ConfigGen"))), QDate(2022, 5, 1));
    QCOMPARE(amb.conta(QStringLiteral("ContrAccant")), 0);
}

void TstImposta::calendario()
{
    Ambiente amb;
    amb.dtm().setOggi(QDate(2024, 6, 12));
    Finestra f(amb);
    QVERIFY(f.ok);
    auto* data = f.w<CampoData>("dtpDataInst");
    // No installation date yet: today is proposed.
    QCOMPARE(data->date(), QDate(2024, 6, 12));
    QCOMPARE(data->text(), QStringLiteral("12/06/2024"));
    QCalendarWidget* cal = data->calendarWidget();
    const QColor feriale = cal->weekdayTextFormat(Qt::Wednesday).foreground().color();
    for (Qt::DayOfWeek g : {Qt::Saturday, Qt::Sunday})
        QVERIFY(cal->weekdayTextFormat(g).foreground().color() != feriale);
    QCOMPARE(cal->firstDayOfWeek(), Qt::Monday);

    // In edit, the field's button (or Alt+Down) drops the calendar on the field's date; a
    // day chosen there is the field's date.
    f.pagina(TfrmImposta::PagDataInst);
    f.clic("btnModifica");
    QTest::keyClick(data, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(cal->isVisible());
    QCOMPARE(cal->selectedDate(), QDate(2024, 6, 12));
    cal->setSelectedDate(QDate(2024, 6, 19));
    QTest::keyClick(cal->focusWidget() ? cal->focusWidget() : cal, Qt::Key_Return);
    QTRY_VERIFY(!cal->isVisible());
    QCOMPARE(data->date(), QDate(2024, 6, 19));
    QCOMPARE(data->text(), QStringLiteral("19/06/2024"));
}

void TstImposta::opzioni_data()
{
    QTest::addColumn<QString>("casella");
    QTest::addColumn<QString>("chiave");
    QTest::newRow("Genera Anomalia per Assenza") << "chkAnomAssenza" << "AnomAssenza";
    QTest::newRow("Calcola Ore di Assenza") << "chkCalcolaAssenza" << "CalcolaAssenza";
    QTest::newRow("Differenzia Ore di Straordinario") << "chkCalcolaStraord" << "CalcolaStraord";
}

void TstImposta::opzioni()
{
    QFETCH(QString, casella);
    QFETCH(QString, chiave);
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    f.pagina(TfrmImposta::PagElaborazione);
    QVERIFY(!f.w<QWidget>("pagElaborazione")->isEnabled());
    f.clic("btnModifica");
    QVERIFY(f.w<QWidget>("pagElaborazione")->isEnabled());
    auto* c = f.frm.findChild<QCheckBox*>(casella);
    QVERIFY(c->isChecked());
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));  // on the box, not the empty width
    QVERIFY(!c->isChecked());
    f.clic("btnConferma");
    QVERIFY(!f.frm.InModifica());
    QVERIFY(!f.w<QWidget>("pagElaborazione")->isEnabled());

    const FileIni ini(amb.fileIni());
    for (const QString& k : {QStringLiteral("AnomAssenza"), QStringLiteral("CalcolaAssenza"), QStringLiteral("CalcolaStraord")})
        QCOMPARE(ini.leggiTesto(Ini::Elaborazione, k), k == chiave ? QStringLiteral("0") : QStringLiteral("1"));
    const TPresenzeCfg& cfg = amb.dtm().cfg();
    QCOMPARE(cfg.AnomAssenza, chiave != QLatin1String("AnomAssenza"));
    QCOMPARE(cfg.CalcolaAssenza, chiave != QLatin1String("CalcolaAssenza"));
    QCOMPARE(cfg.CalcolaStraord, chiave != QLatin1String("CalcolaStraord"));
}

void TstImposta::opzioniAnnullate()
{
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    f.pagina(TfrmImposta::PagElaborazione);
    f.clic("btnModifica");
    auto* c = f.w<QCheckBox>("chkCalcolaStraord");
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));  // on the box, not the empty width
    QVERIFY(!c->isChecked());
    f.clic("btnAnnulla");
    QVERIFY(c->isChecked());
    QVERIFY(amb.dtm().cfg().CalcolaStraord);
    const FileIni ini(amb.fileIni());
    QCOMPARE(ini.leggiTesto(Ini::Elaborazione, QStringLiteral("CalcolaStraord")), QStringLiteral("1"));
}

void TstImposta::azienda()
{
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    QSignalSpy spia(&amb.dtm(), &TdtmPresenze::ragioneSocialeCambiata);
    f.clic("btnModifica");
    auto* ragSoc = f.w<QLineEdit>("edtRagSoc");
    QVERIFY(!ragSoc->isReadOnly());
    QTest::keyClicks(ragSoc, QStringLiteral("Bianchi S.r.l."));
    QTest::keyClicks(f.w<QLineEdit>("edtDescr"), QStringLiteral("Magazzino"));
    f.clic("btnConferma");

    QVERIFY(amb.registro().avvisi.isEmpty());
    QVERIFY(!f.frm.InModifica());
    QVERIFY(ragSoc->isReadOnly());
    QCOMPARE(amb.dtm().mem().RagSoc, QStringLiteral("Bianchi S.r.l."));
    QCOMPARE(spia.size(), 1);
    QCOMPARE(amb.valore(QStringLiteral("SELECT RagSoc FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Bianchi S.r.l."));
    QCOMPARE(amb.valore(QStringLiteral("SELECT Descr FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Magazzino"));

    // A second change updates the same row.
    f.clic("btnModifica");
    ragSoc->selectAll();
    QTest::keyClicks(ragSoc, QStringLiteral("Bianchi & C. S.r.l."));
    f.clic("btnConferma");
    QCOMPARE(amb.conta(QStringLiteral("Aziende")), 1);
    QCOMPARE(amb.dtm().mem().RagSoc, QStringLiteral("Bianchi & C. S.r.l."));
}

void TstImposta::aziendaSenzaCampoObbligatorio()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr) VALUES (1, 'Rossi S.p.A.', 'Sede')"));
    Finestra f(amb);
    QVERIFY(f.ok);
    f.clic("btnModifica");
    auto* descr = f.w<QLineEdit>("edtDescr");
    descr->selectAll();
    QTest::keyClick(descr, Qt::Key_Delete);
    QTest::keyClicks(f.w<QLineEdit>("edtRagSoc"), QStringLiteral(" & Figli"));
    f.clic("btnConferma");

    QCOMPARE(amb.registro().avvisi.size(), 1);
    // A missing required value is named as such, on either engine.
    QVERIFY2(amb.registro().avvisi.first().startsWith(amb.dtm().TestoErrore(Msg::ErrVincolo)), qPrintable(amb.registro().avvisi.first()));
    QVERIFY(f.frm.InModifica());
    QVERIFY(!descr->isReadOnly());
    QCOMPARE(f.w<QLineEdit>("edtRagSoc")->text(), QStringLiteral("Rossi S.p.A. & Figli"));
    QCOMPARE(amb.valore(QStringLiteral("SELECT RagSoc FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Rossi S.p.A."));
    QCOMPARE(amb.valore(QStringLiteral("SELECT Descr FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Sede"));

    // Annulla brings back the stored row.
    f.clic("btnAnnulla");
    QCOMPARE(f.w<QLineEdit>("edtRagSoc")->text(), QStringLiteral("Rossi S.p.A."));
    QCOMPARE(descr->text(), QStringLiteral("Sede"));
}

void TstImposta::chiusuraInModifica_data()
{
    QTest::addColumn<QString>("modo");
    QTest::newRow("Esci") << "btnEsci";
    QTest::newRow("chiusura della finestra") << "close";
}

void TstImposta::chiusuraInModifica()
{
    QFETCH(QString, modo);
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr) VALUES (1, 'Rossi S.p.A.', 'Sede')"));
    Finestra f(amb);
    QVERIFY(f.ok);
    f.clic("btnModifica");
    QTest::keyClicks(f.w<QLineEdit>("edtRagSoc"), QStringLiteral(" modificata"));
    if (modo == QLatin1String("close"))
        f.frm.close();
    else
        f.clic("btnEsci");
    QVERIFY(!f.frm.isVisible());
    QVERIFY(!f.frm.InModifica());
    QCOMPARE(f.w<QLineEdit>("edtRagSoc")->text(), QStringLiteral("Rossi S.p.A."));
    QCOMPARE(amb.valore(QStringLiteral("SELECT RagSoc FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Rossi S.p.A."));
    QVERIFY(amb.registro().avvisi.isEmpty());
}

void TstImposta::colori_data()
{
    QTest::addColumn<int>("riga");
    QTest::addColumn<QString>("chiave");
    QTest::newRow("campi obbligatori") << 0 << "ColoreReqd";
    QTest::newRow("giornate con anomalie") << 1 << "ColoreAnom";
    QTest::newRow("griglia") << 2 << "ColoreGrid";
}

void TstImposta::colori()
{
    QFETCH(int, riga);
    QFETCH(QString, chiave);
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    f.pagina(TfrmImposta::PagColori);
    auto* lista = f.w<QListWidget>("lstColori");
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualItemRect(lista->item(riga)).center());
    QCOMPARE(lista->currentRow(), riga);
    const int tipo = lista->item(riga)->data(Qt::UserRole).toInt();
    const QColor prima = ColoreDaIni(f.util.Colore(tipo));
    QCOMPARE(f.w<QFrame>("pnlColore")->palette().color(QPalette::Window), prima);

    QColor proposto;
    QString titolo;
    QuandoModale q([&](QWidget* w) {
        auto* dlg = qobject_cast<QColorDialog*>(w);
        if (!dlg) {
            w->close();
            return;
        }
        proposto = dlg->currentColor();
        titolo = dlg->windowTitle();
        dlg->setCurrentColor(QColor(0x12, 0x34, 0x56));
        dlg->accept();
    });
    f.clic("btnCambia");
    QCOMPARE(q.volte(), 1);
    QCOMPARE(proposto, prima);
    QCOMPARE(titolo, lista->item(riga)->text());

    // Saved at once, as a Windows colour value.
    QCOMPARE(f.util.Colore(tipo), quint32(0x563412));
    const FileIni ini(amb.fileIni());
    QCOMPARE(ini.leggiIntero(Ini::Desktop, chiave, -1), 0x563412);
    QCOMPARE(f.w<QFrame>("pnlColore")->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
    QVERIFY(!f.frm.InModifica());
}

void TstImposta::coloreAnnullato()
{
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    f.pagina(TfrmImposta::PagColori);
    const quint32 prima = amb.dtm().cfg().ColoreReqd;
    QuandoModale q([](QWidget* w) {
        if (auto* dlg = qobject_cast<QColorDialog*>(w))
            dlg->setCurrentColor(QColor(0x12, 0x34, 0x56));
        w->close();
    });
    f.clic("btnCambia");
    QCOMPARE(q.volte(), 1);
    QCOMPARE(amb.dtm().cfg().ColoreReqd, prima);
    const FileIni ini(amb.fileIni());
    QCOMPARE(ini.leggiIntero(Ini::Desktop, QStringLiteral("ColoreReqd"), -1), int(prima));
}

void TstImposta::etichetteObbligatorie_data()
{
    QTest::addColumn<QString>("etichetta");
    QTest::addColumn<bool>("obbligatoria");
    QTest::newRow("Ragione Sociale") << "Ragione Sociale" << true;
    QTest::newRow("Descrizione") << "Descrizione" << true;
    QTest::newRow("Codice Azienda Esterno") << "Codice Azienda Esterno" << false;
    QTest::newRow("Data di installazione") << "Data di installazione del prodotto:" << false;
}

void TstImposta::etichetteObbligatorie()
{
    QFETCH(QString, etichetta);
    QFETCH(bool, obbligatoria);
    // Red as PRES.INI writes it (red in the low byte).
    Ambiente amb("[Desktop]\nColoreReqd=255\n");
    QCOMPARE(amb.dtm().cfg().ColoreReqd, quint32(255));
    Finestra f(amb);
    QVERIFY(f.ok);
    QLabel* l = f.etichetta(etichetta);
    QVERIFY(l);
    const QColor normale = f.frm.palette().color(QPalette::WindowText);
    QVERIFY(normale != QColor(Qt::red));
    QCOMPARE(l->palette().color(QPalette::WindowText), obbligatoria ? QColor(Qt::red) : normale);

    // A new colour for required fields shows at once on the open window.
    f.pagina(TfrmImposta::PagColori);
    QuandoModale q([](QWidget* w) {
        if (auto* dlg = qobject_cast<QColorDialog*>(w)) {
            dlg->setCurrentColor(QColor(0, 0x80, 0));
            dlg->accept();
        } else {
            w->close();
        }
    });
    f.clic("btnCambia");
    QCOMPARE(q.volte(), 1);
    QCOMPARE(l->palette().color(QPalette::WindowText), obbligatoria ? QColor(0, 0x80, 0) : normale);
}

void TstImposta::aiuto_data()
{
    QTest::addColumn<QString>("comando");
    QTest::newRow("pulsante Help") << "btnHelp";
    QTest::newRow("menu ?") << "itmAiuto";
    QTest::newRow("F1") << "F1";
}

void TstImposta::aiuto()
{
    QFETCH(QString, comando);
    Ambiente amb;
    Finestra f(amb);
    QVERIFY(f.ok);
    if (comando == QLatin1String("F1"))
        QTest::keyClick(&f.frm, Qt::Key_F1);
    else if (comando == QLatin1String("itmAiuto"))
        f.w<QAction>("itmAiuto")->trigger();
    else
        f.clic("btnHelp");
    auto* a = f.frm.findChild<TfrmAiuto*>();
    QVERIFY(a);
    QCOMPARE(a->Argomento(), TfrmImposta::kContestoAiuto);
}

QTEST_MAIN(TstImposta)
#include "tst_imposta.moc"
