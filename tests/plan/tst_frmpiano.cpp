// The work-plan window driven as a clerk drives it, with keys and commands, on a small demo
// company: confirming a period, changing states and timetables, typing hours, moving in the
// punch cell, processing and printing; the assertions look at the database and the grid.

#include "../core/modale.h"
#include "ambiente.h"
#include "campodata.h"
#include "demo.h"
#include "fileini.h"
#include "messaggi.h"
#include "presenzecfg.h"
#include "tabellaanagsel.h"
#include "tabellapiano.h"
#include "tabellatimbrature.h"
#include "tdtmacquisizione.h"
#include "tdtmelab.h"
#include "tdtmpiano.h"
#include "rptpiano.h"
#include "tdlgpicklist.h"
#include "tdlgquerylight.h"
#include "tdtmutil.h"
#include "tfrmabout.h"
#include "tfrmacquisizione.h"
#include "tfrmaiuto.h"
#include "tfrmanteprima.h"
#include "tfrmcheck.h"
#include "tfrmdetails.h"
#include "tfrmedtimbr.h"
#include "tfrmimposta.h"
#include "tfrmpasswd.h"
#include "tfrmpiano.h"
#include "tfrmpresenze.h"
#include "tfrmstampa.h"
#include "tfrmvistimb.h"
#include "tqalight.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

namespace {

const QDate kOggi(2026, 3, 21);

// The open picker of a grid cell (a closed one may still wait for its deletion).
QComboBox* pickerAperto(QTableView* griglia, const QString& nome)
{
    for (QComboBox* c : griglia->findChildren<QComboBox*>(nome))
        if (c->isVisible())
            return c;
    return nullptr;
}
const QDate kDal(2026, 3, 1);
const QDate kAl(2026, 3, 20);

class Finestra {
public:
    explicit Finestra(int dipendenti = 4) : elab(amb.dtm()), piano(amb.dtm())
    {
        amb.dtm().setOggi(kOggi);
        if (dipendenti > 0) {
            OpzioniDemo o;
            o.dipendenti = dipendenti;
            o.giorni = 20;
            o.oggi = kOggi;
            GeneraDemo(amb.dtm(), o);
        }
        amb.dtm().CaricaMemoria();
        frm = std::make_unique<TfrmPiano>(amb.dtm(), piano, elab);
        frm->ImpostaPeriodo(kDal, kAl);
        frm->show();
        frm->activateWindow();
        esposta = QTest::qWaitForWindowActive(frm.get());
    }

    template <class T>
    T* w(const char* nome) { return frm->findChild<T*>(QString::fromLatin1(nome)); }
    QTableView* griglia() { return w<QTableView>("wwGrdPdL"); }
    QComboBox* dipendente() { return w<QComboBox>("wwLkpDipendente"); }
    QAction* comando(const char* nome) { return w<QAction>(nome); }
    TabellaPiano* tab() { return piano.wwTblPianoSomma(); }

    // The check window takes the activation while it runs; the window takes it back.
    void conferma()
    {
        comando("btnOk")->trigger();
        attiva();
    }
    void attiva()
    {
        frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frm.get()));
    }
    // Picks the employee of the picker's row as a user does.
    void scegli(int riga)
    {
        dipendente()->setCurrentIndex(riga);
        emit dipendente()->activated(riga);
        attiva();
    }
    void vai(int riga, int colonna)
    {
        griglia()->setFocus();
        griglia()->setCurrentIndex(tab()->index(riga, colonna));
    }
    QString testo(int riga, int colonna) { return tab()->index(riga, colonna).data().toString(); }
    QVariant campo(const char* nome, int riga)
    {
        return amb.valore(QStringLiteral("SELECT %1 FROM PianoSomma WHERE IdDip = :IdDip AND Data = :Data").arg(QLatin1String(nome)),
                          {{"IdDip", amb.dtm().IdDipCorrente}, {"Data", Sql::data(kDal.addDays(riga))}});
    }
    void imposta(const char* nome, int riga, const QVariant& valore)
    {
        amb.esegui(QStringLiteral("UPDATE PianoSomma SET %1 = :Valore WHERE IdDip = :IdDip AND Data = :Data").arg(QLatin1String(nome)),
                   {{"Valore", valore}, {"IdDip", amb.dtm().IdDipCorrente}, {"Data", Sql::data(kDal.addDays(riga))}});
        tab()->Aggiorna();
    }
    QStringList totali()
    {
        QStringList t;
        for (const char* n : {"edtTotOrdinarie", "edtTotStraordinarie", "edtTotPresenza", "edtTotAssenze"})
            t << w<QLineEdit>(n)->text();
        return t;
    }
    bool messaggio(int numero) { return amb.registro().avvisi.contains(amb.dtm().TestoErrore(numero)); }
    bool domanda(int numero) { return amb.registro().domande.contains(amb.dtm().TestoScelta(numero)); }

    Ambiente amb;
    TdtmElab elab;
    TdtmPiano piano;
    std::unique_ptr<TfrmPiano> frm;
    bool esposta = false;
};

}  // namespace

class TestFrmPiano : public QObject {
    Q_OBJECT
private slots:
    void confermaSenzaDipendenti();
    void confermaCreaIGiorniDelPeriodo();
    void invioDalPeriodoConferma();
    void dataDigitata_data();
    void dataDigitata();
    void periodoRovesciato();
    void cambiDiStato();
    void backspaceSullOrario();
    void oreDigitate_data();
    void oreDigitate();
    void cellaDelleTimbrature();
    void f2DallaGrigliaConIDettagli();
    void settimanaAvantiIndietroECanc();
    void elaboraEAnnullaGiornata();
    void elaboraTuttiRipristinaDipendenteERiga();
    void elaboraTuttiSenzaGriglia();
    void stampaTrentunoGiorni();
    void selezioneDipendenti();
    void chiusuraSalvaPeriodoELarghezze();
    void uscitaDalProgrammaSalvaIlPiano();
    void finestreA1024x768_data();
    void finestreA1024x768();
};

void TestFrmPiano::confermaSenzaDipendenti()
{
    Finestra f(0);
    QVERIFY(f.esposta);
    QVERIFY(!f.comando("btnOk")->isEnabled());
    QVERIFY(!f.dipendente()->isEnabled() || f.dipendente()->count() == 0);
    f.frm->UpdateSelection();
    QVERIFY(!f.w<QGroupBox>("grpTotali")->isEnabled());
    QVERIFY(!f.w<QWidget>("pnlGriglia")->isVisible());
    QCOMPARE(f.amb.conta(QStringLiteral("PianoSomma")), 0);
}

void TestFrmPiano::confermaCreaIGiorniDelPeriodo()
{
    Finestra f;
    QVERIFY(f.esposta);
    QVERIFY(f.comando("btnOk")->isEnabled());
    QVERIFY(!f.w<QWidget>("pnlGriglia")->isVisible());
    QVERIFY(!f.comando("itmDettagli")->isEnabled());
    f.conferma();
    QVERIFY(f.w<QWidget>("pnlGriglia")->isVisible());
    QCOMPARE(f.griglia()->model()->rowCount(), 20);
    // Every employee got the days of the period, in state 1.
    QCOMPARE(f.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("Stato = 1")), 4 * 20);
    QCOMPARE(f.testo(0, ColData), QStringLiteral("01/03/2026 ") + f.piano.NomeBreveGiorno(1));
    QVERIFY(f.w<QGroupBox>("grpTotali")->isEnabled());
    QCOMPARE(f.totali(), (QStringList{QStringLiteral("0.00"), QStringLiteral("0.00"), QStringLiteral("0.00"), QStringLiteral("0.00")}));
    QVERIFY(f.comando("itmDettagli")->isEnabled());
    QCOMPARE(f.amb.dtm().mem().DataDa.date(), kDal);
    QCOMPARE(f.amb.dtm().mem().DataA.date(), kAl);
    // The grid shows the employee of the picker.
    QCOMPARE(f.amb.dtm().IdDipCorrente, f.piano.wwTblAnagSel()->Dipendente(f.dipendente()->currentIndex()).Id);
    QCOMPARE(f.tab()->IdDip(), f.amb.dtm().IdDipCorrente);
}

void TestFrmPiano::invioDalPeriodoConferma()
{
    Finestra f;
    auto* dal = f.w<CampoData>("edtDal");
    dal->setFocus();
    QTest::keyClick(dal, Qt::Key_Return);
    QTRY_VERIFY(f.w<QWidget>("pnlGriglia")->isVisible());
    QCOMPARE(f.griglia()->model()->rowCount(), 20);
}

void TestFrmPiano::dataDigitata_data()
{
    QTest::addColumn<QDate>("al");  // what the field holds before
    QTest::addColumn<bool>("conClic");  // entered by a click in its middle, else by Tab
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("uscita");  // Tab, Invio or Ok: the last two confirm
    QTest::addColumn<QDate>("attesa");  // null: refused
    const QDate novembre(2026, 11, 30);
    QTest::newRow("31/10 sopra un mese di 30 giorni") << novembre << false << "31102026" << "Tab" << QDate(2026, 10, 31);
    QTest::newRow("31/08 con un clic") << QDate(2026, 9, 30) << true << "31082026" << "Tab" << QDate(2026, 8, 31);
    QTest::newRow("31/10 confermato con Invio") << novembre << true << "31102026" << "Invio" << QDate(2026, 10, 31);
    QTest::newRow("29/02 di un anno bisestile") << novembre << false << "29022028" << "Tab" << QDate(2028, 2, 29);
    QTest::newRow("31/11 rifiutato") << QDate(2026, 10, 31) << false << "31112026" << "Tab" << QDate();
    QTest::newRow("29/02 di un anno comune rifiutato con Invio") << novembre << true << "29022026" << "Invio" << QDate();
    QTest::newRow("giorno 00 rifiutato") << novembre << true << "00102026" << "Tab" << QDate();
    QTest::newRow("data a metà rifiutata da Ok") << novembre << false << "3110" << "Ok" << QDate();
}

void TestFrmPiano::dataDigitata()
{
    QFETCH(QDate, al);
    QFETCH(bool, conClic);
    QFETCH(QString, testo);
    QFETCH(QString, uscita);
    QFETCH(QDate, attesa);
    Finestra f;
    QVERIFY(f.esposta);
    const QDate dal(2026, 10, 1);
    f.frm->ImpostaPeriodo(dal, al);
    auto* campoDal = f.w<CampoData>("edtDal");
    auto* campo = f.w<CampoData>("edtAl");
    if (conClic) {
        QTest::mouseClick(campo, Qt::LeftButton, {}, campo->rect().center());
    } else {
        campoDal->setFocus();
        QTest::keyClick(campoDal, Qt::Key_Tab);
    }
    QTRY_COMPARE(QApplication::focusWidget(), campo);
    QCOMPARE(campo->selectedText(), al.toString(QStringLiteral("dd/MM/yyyy")));  // typing starts from the day
    QTest::keyClicks(campo, testo);
    if (uscita == QLatin1String("Ok"))
        QTest::mouseClick(f.w<QToolButton>("btnOkPeriodo"), Qt::LeftButton);
    else
        QTest::keyClick(campo, uscita == QLatin1String("Tab") ? Qt::Key_Tab : Qt::Key_Return);

    // Leaving by Tab, the refusal comes once the focus change is over.
    const QDate mostrata = attesa.isValid() ? attesa : al;
    QTRY_COMPARE(campo->text(), mostrata.toString(QStringLiteral("dd/MM/yyyy")));
    QCOMPARE(campo->date(), mostrata);
    QCOMPARE(f.frm->Al(), mostrata);
    QCOMPARE(f.amb.registro().avvisi, attesa.isValid() ? QStringList() : QStringList{f.amb.dtm().TestoErrore(Msg::ErrDataNonValida)});
    if (!attesa.isValid()) {
        // Refused: the field keeps the keyboard, its date selected for typing again, and
        // nothing was confirmed.
        QTRY_COMPARE(QApplication::focusWidget(), campo);
        QCOMPARE(campo->selectedText(), campo->text());
        QVERIFY(!f.w<QWidget>("pnlGriglia")->isVisible());
    } else if (uscita != QLatin1String("Tab")) {
        QTRY_VERIFY(f.w<QWidget>("pnlGriglia")->isVisible());
        QCOMPARE(f.griglia()->model()->rowCount(), int(dal.daysTo(attesa)) + 1);
    }
}

void TestFrmPiano::periodoRovesciato()
{
    Finestra f;
    f.frm->ImpostaPeriodo(kAl, kDal);
    f.conferma();
    QVERIFY(f.messaggio(2001));
    QVERIFY(!f.w<QWidget>("pnlGriglia")->isVisible());
    QCOMPARE(f.amb.conta(QStringLiteral("PianoSomma")), 0);
}

void TestFrmPiano::cambiDiStato()
{
    Finestra f;
    f.conferma();
    // The picker is chosen from with the keyboard: the first letter of a state picks it.
    const auto scegliStato = [&](int riga, int stato) {
        f.vai(riga, ColStato);
        QTest::keyClick(f.griglia(), Qt::Key_F2);
        QComboBox* c = pickerAperto(f.griglia(), QStringLiteral("wwCmbStato"));
        QVERIFY(c);
        const QString descr = c->itemText(c->findData(stato));
        QTest::keyClicks(c, descr.left(1));
    };
    // 1 -> 2 is refused with 2002 and nothing changes.
    scegliStato(0, 2);
    QVERIFY(f.messaggio(2002));
    QCOMPARE(f.campo("Stato", 0).toInt(), 1);
    // 1 -> 3 after a Yes to 2004; a No leaves the day as it was.
    f.amb.registro().risposte = {false};
    scegliStato(1, 3);
    QVERIFY(f.domanda(2004));
    QCOMPARE(f.campo("Stato", 1).toInt(), 1);
    f.amb.registro().risposte = {true};
    scegliStato(1, 3);
    QCOMPARE(f.campo("Stato", 1).toInt(), 3);
    // A closed day: state and timetable pickers no longer open.
    f.vai(1, ColStato);
    QTest::keyClick(f.griglia(), Qt::Key_F2);
    QVERIFY(!pickerAperto(f.griglia(), QStringLiteral("wwCmbStato")));
    // 2 -> 1 is refused too.
    f.imposta("Stato", 2, 2);
    f.amb.registro().avvisi.clear();
    scegliStato(2, 1);
    QVERIFY(f.messaggio(2002));
    QCOMPARE(f.campo("Stato", 2).toInt(), 2);
}

void TestFrmPiano::backspaceSullOrario()
{
    Finestra f;
    f.conferma();
    f.imposta("IdOrario", 3, f.piano.ElencoOrari().first().Id);
    f.imposta("Note", 3, QStringLiteral("da controllare"));
    QCOMPARE(f.testo(3, ColOrario), f.piano.ElencoOrari().first().Descr);
    f.vai(3, ColOrario);
    QTest::keyClick(f.griglia(), Qt::Key_Backspace);
    QVERIFY(f.campo("IdOrario", 3).isNull());
    QCOMPARE(f.testo(3, ColOrario), QString());
    // Elsewhere Backspace only re-reads the row: the note stays.
    f.vai(3, ColNote);
    QTest::keyClick(f.griglia(), Qt::Key_Backspace);
    QCOMPARE(f.campo("Note", 3).toString(), QStringLiteral("da controllare"));
    // The timetable picker sets it again.
    f.vai(3, ColOrario);
    QTest::keyClick(f.griglia(), Qt::Key_F2);
    QComboBox* c = pickerAperto(f.griglia(), QStringLiteral("wwCmbOrario"));
    QVERIFY(c);
    QTest::keyClick(c, Qt::Key_Down);
    QVERIFY(!f.campo("IdOrario", 3).isNull());
}

void TestFrmPiano::oreDigitate_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("minuti");
    QTest::addColumn<QString>("mostrato");
    QTest::newRow("0830") << QStringLiteral("0830") << 510 << QStringLiteral("08.30");
    QTest::newRow("08.30") << QStringLiteral("08.30") << 510 << QStringLiteral("08.30");
    QTest::newRow("8.30 does not convert") << QStringLiteral("8.30") << 0 << QString();
    QTest::newRow("1000") << QStringLiteral("1000") << 600 << QStringLiteral("10.00");
}

void TestFrmPiano::oreDigitate()
{
    QFETCH(QString, testo);
    QFETCH(int, minuti);
    QFETCH(QString, mostrato);
    Finestra f;
    f.conferma();
    f.imposta("ValOrdinario", 4, 45);
    f.vai(4, ColOreOrd);
    // Typing opens the cell editor with the first character; Enter writes it.
    QTest::keyClicks(f.griglia(), testo.left(1));
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : f.griglia()->viewport()->findChildren<QLineEdit*>())
        if (e->isVisible() && e->objectName() != QLatin1String("edtTimbrature"))
            editor = e;
    QVERIFY(editor);
    QTest::keyClicks(editor, testo.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits an editor on its next turn of the event loop.
    QTRY_COMPARE(f.campo("ValOrdinario", 4).toInt(), minuti);
    QCOMPARE(f.testo(4, ColOreOrd), mostrato);
    QCOMPARE(f.totali().first(), TestiOra::MinutiInOre(minuti, QLatin1Char('.'), 1));
}

void TestFrmPiano::cellaDelleTimbrature()
{
    Finestra f;
    f.conferma();
    // A day with at least three punches.
    int riga = -1;
    for (int r = 0; r < f.tab()->Righe() && riga < 0; ++r)
        if (f.testo(r, ColTimbrature).size() >= 17)
            riga = r;
    QVERIFY(riga >= 0);
    const QString testo = f.testo(riga, ColTimbrature);
    f.vai(riga, ColTimbrature);
    QTest::keyClick(f.griglia(), Qt::Key_Return);
    auto* cella = f.w<QLineEdit>("edtTimbrature");
    QVERIFY(cella->isVisible());
    QCOMPARE(cella->text(), testo);
    QCOMPARE(cella->selectedText(), testo.left(5));
    TabellaTimbrature* timbr = f.piano.wwTblTimbr();
    QCOMPARE(timbr->RigaCorrente(), 0);
    QTest::keyClick(cella, Qt::Key_Right);
    QCOMPARE(cella->selectedText(), testo.mid(6, 5));
    QCOMPARE(timbr->RigaCorrente(), 1);
    QTest::keyClick(cella, Qt::Key_Right);
    QCOMPARE(cella->selectedText(), testo.mid(12, 5));
    QCOMPARE(timbr->RigaCorrente(), 2);
    QTest::keyClick(cella, Qt::Key_Left);
    QTest::keyClick(cella, Qt::Key_Left);
    QTest::keyClick(cella, Qt::Key_Left);  // the first token at most
    QCOMPARE(cella->selectedText(), testo.left(5));
    QCOMPARE(timbr->RigaCorrente(), 0);
    // Typing never changes the cell.
    QTest::keyClicks(cella, QStringLiteral("abc"));
    QTest::keyClick(cella, Qt::Key_Backspace);
    QCOMPARE(cella->text(), testo);
    // Leaving it sets the skip flag: Enter does not reopen it until the row changes.
    f.griglia()->setFocus();
    QVERIFY(!cella->isVisible());
    QVERIFY(f.frm->SaltaTasto());
    QTest::keyClick(f.griglia(), Qt::Key_Return);
    QVERIFY(!cella->isVisible());
    QTest::keyClick(f.griglia(), riga > 0 ? Qt::Key_Up : Qt::Key_Down);
    QVERIFY(!f.frm->SaltaTasto());
    // The hint holds the valid and the original punches.
    QVERIFY(f.tab()->index(riga, ColTimbrature).data(Qt::ToolTipRole).toString().startsWith(testo + QLatin1Char('\n')));
}

void TestFrmPiano::f2DallaGrigliaConIDettagli()
{
    Finestra f;
    f.conferma();
    f.comando("itmDettagli")->trigger();
    f.attiva();  // the details never take the keyboard by themselves
    f.vai(3, ColNote);
    const QString giorno = kDal.addDays(3).toString(Qt::ISODate);
    // F2 in the grid, as in the details: the punch editor on a new punch of the row's day.
    QuandoModale editor([](QWidget* w) {
        auto* ora = w->findChild<QLineEdit*>(QStringLiteral("edtDataV"));
        ora->setFocus();
        QTest::keyClicks(ora, QStringLiteral("0603"));
        auto* verso = w->findChild<QComboBox*>(QStringLiteral("cmbVersoV"));
        verso->setCurrentIndex(verso->findData(QStringLiteral("E")));
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    QTest::keyClick(f.griglia(), Qt::Key_F2);
    editor.ferma();
    QCOMPARE(editor.volte(), 1);
    QCOMPARE(f.amb.conta(QStringLiteral("Timbrature"), QStringLiteral("IdDip = %1 AND DataV = '%2 06:03:00'").arg(f.amb.dtm().IdDipCorrente).arg(giorno)), 1);
    QVERIFY(f.testo(3, ColTimbrature).contains(QStringLiteral("0603")));
    // Without the details F2 edits the cell again.
    f.comando("itmDettagli")->trigger();
    f.attiva();
    f.vai(3, ColNote);
    QuandoModale nessuno([](QWidget* w) { w->close(); });
    QTest::keyClick(f.griglia(), Qt::Key_F2);
    nessuno.ferma();
    QCOMPARE(nessuno.volte(), 0);
    QLineEdit* cella = nullptr;
    for (QLineEdit* e : f.griglia()->viewport()->findChildren<QLineEdit*>())
        if (e->isVisible() && e->objectName() != QLatin1String("edtTimbrature"))
            cella = e;
    QVERIFY(cella);
}

void TestFrmPiano::settimanaAvantiIndietroECanc()
{
    Finestra f;
    f.conferma();
    QVERIFY(!f.comando("btnIndietro")->isEnabled());
    QVERIFY(f.comando("btnAvanti")->isEnabled());
    f.comando("btnAvanti")->trigger();
    QCOMPARE(f.griglia()->currentIndex().row(), 7);
    f.comando("btnAvanti")->trigger();
    f.comando("btnAvanti")->trigger();
    QCOMPARE(f.griglia()->currentIndex().row(), 19);
    QVERIFY(!f.comando("btnAvanti")->isEnabled());
    f.comando("btnIndietro")->trigger();
    QCOMPARE(f.griglia()->currentIndex().row(), 12);
    QTest::keyClick(f.griglia(), Qt::Key_Delete);
    QCOMPARE(f.griglia()->model()->rowCount(), 20);
    QCOMPARE(f.amb.conta(QStringLiteral("PianoSomma")), 4 * 20);
}

void TestFrmPiano::elaboraEAnnullaGiornata()
{
    Finestra f;
    f.frm->ImpostaPeriodo(kDal, kOggi);
    f.conferma();
    // Today's row is never processed.
    f.vai(20, ColData);
    f.comando("itmElabora")->trigger();
    QCOMPARE(f.campo("Stato", 20).toInt(), 1);
    // A working day is, without any question.
    f.vai(2, ColData);
    f.amb.registro().domande.clear();
    f.comando("itmElabora")->trigger();
    QVERIFY(f.amb.registro().domande.isEmpty());
    QVERIFY(f.campo("Stato", 2).toInt() >= 2);
    QVERIFY(!f.campo("IdOrario", 2).isNull());
    QCOMPARE(f.griglia()->currentIndex().row(), 2);
    QCOMPARE(f.testo(2, ColStato), f.piano.DescrStato(f.campo("Stato", 2)));
    // Cancelling brings it back to state 1 without timetable, figures or note.
    f.imposta("Note", 2, QStringLiteral("nota"));
    f.comando("itmAnnulla")->trigger();
    QCOMPARE(f.campo("Stato", 2).toInt(), 1);
    QVERIFY(f.campo("IdOrario", 2).isNull());
    QVERIFY(f.campo("ValPresenza", 2).isNull());
    QVERIFY(f.campo("Note", 2).isNull());
    QCOMPARE(f.griglia()->currentIndex().row(), 2);
}

void TestFrmPiano::elaboraTuttiRipristinaDipendenteERiga()
{
    Finestra f;
    f.scegli(2);
    const int id = f.amb.dtm().IdDipCorrente;
    QCOMPARE(id, f.piano.wwTblAnagSel()->Dipendente(2).Id);
    f.vai(5, ColNote);
    f.amb.registro().risposte = {true};
    f.comando("itmElabTutti")->trigger();
    QVERIFY(f.domanda(2));
    // Every employee of the selection was processed, up to "al".
    QCOMPARE(f.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("Stato = 1")), 0);
    QCOMPARE(f.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("Stato IN (2, 3)")), 4 * 20);
    // ... and the window is back where it was.
    QCOMPARE(f.amb.dtm().IdDipCorrente, id);
    QCOMPARE(f.tab()->IdDip(), id);
    QCOMPARE(f.griglia()->currentIndex().row(), 5);
    QCOMPARE(f.dipendente()->currentIndex(), 2);
    const TotaliPiano t = f.tab()->Totali();
    QCOMPARE(f.totali().at(2), TestiOra::MinutiInOre(t.Presenza, QLatin1Char('.'), 1));
    QVERIFY(t.Presenza > 0);

    // Answering No to the question processes nothing.
    f.comando("itmAnnulla")->trigger();
    f.amb.registro().risposte = {false};
    f.comando("itmElabSingolo")->trigger();
    QCOMPARE(f.campo("Stato", 5).toInt(), 1);
}

void TestFrmPiano::elaboraTuttiSenzaGriglia()
{
    Finestra f;
    f.amb.registro().risposte = {true};
    f.comando("itmElabTutti")->trigger();
    QVERIFY(f.domanda(2));
    QCOMPARE(f.amb.conta(QStringLiteral("PianoSomma")), 0);
}

void TestFrmPiano::stampaTrentunoGiorni()
{
    Finestra f;
    f.conferma();
    QStringList anteprime;
    int scelto = 2;  // the third report: detail
    // The print settings dialog is one for the whole run, so each print gets its own watcher.
    const auto stampa = [&] {
        QuandoModale quando([&](QWidget* w) {
            if (auto* s = qobject_cast<TfrmStampa*>(w)) {
                s->findChild<QListWidget*>(QStringLiteral("lstReport"))->setCurrentRow(scelto);
                QTest::mouseClick(s->findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
            } else if (qobject_cast<TfrmAnteprima*>(w)) {
                anteprime << w->windowTitle();
                w->close();
            }
        });
        f.comando("itmStampa")->trigger();
    };
    // 32 days: refused with 2010 for reports 3, 4, 5.
    f.frm->ImpostaPeriodo(QDate(2026, 2, 1), QDate(2026, 3, 4));
    for (scelto = 2; scelto <= 4; ++scelto) {
        f.amb.registro().avvisi.clear();
        stampa();
        QVERIFY2(f.messaggio(2010), qPrintable(QString::number(scelto)));
    }
    QVERIFY(anteprime.isEmpty());
    // ... while the totals report has no limit.
    scelto = 5;
    stampa();
    QCOMPARE(anteprime, QStringList{QStringLiteral("Totali piano di lavoro")});
    // 31 days are accepted.
    f.frm->ImpostaPeriodo(QDate(2026, 2, 1), QDate(2026, 3, 3));
    scelto = 2;
    f.amb.registro().avvisi.clear();
    stampa();
    QVERIFY(!f.messaggio(2010));
    QCOMPARE(anteprime.last(), QStringLiteral("Dettaglio piano di lavoro"));
    // The grid stays on its row.
    QCOMPARE(f.griglia()->currentIndex().row(), 0);
}

void TestFrmPiano::selezioneDipendenti()
{
    Finestra f;
    f.scegli(1);
    const TabellaAnagSel* sel = f.piano.wwTblAnagSel();
    const int corrente = f.amb.dtm().IdDipCorrente;
    // A stand-in for the search dialog: it copies the given people into the selection table.
    QList<int> scelti;
    class Dialogo : public DialogoQA {
    public:
        Dialogo(TQALight& qa, QList<int>& ids) : m_qa(qa), m_ids(ids) {}
        int Esegui(QWidget*, bool) override
        {
            TdtmPresenze& dtm = m_qa.dtm();
            const QString t = QStringLiteral("':dbPresUt:%1'").arg(m_qa.TempTableName());
            dtm.db().esegui(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
            dtm.db().esegui(QStringLiteral("CREATE TABLE %1 AS SELECT Id, Matricola, Cognome, Nome, Libero, Classe FROM Anagrafico WHERE 1 = 0").arg(t));
            for (int id : m_ids)
                dtm.db().esegui(QStringLiteral("INSERT INTO %1 SELECT Id, Matricola, Cognome, Nome, Libero, Classe FROM Anagrafico WHERE Id = :Id").arg(t),
                                {{"Id", id}});
            return TQALight::RisSelezione;
        }
        TQALight& m_qa;
        QList<int>& m_ids;
    };
    f.frm->QueryDipendenti().setFabbrica([&](TQALight& qa) { return std::make_unique<Dialogo>(qa, scelti); });

    // A selection that holds the current employee keeps it.
    const int altro = f.piano.wwTblAnagSel()->Dipendente(3).Id;
    scelti = {altro, corrente};
    f.frm->SelezioneDipendenti();
    QCOMPARE(sel->Righe(), 2);
    QCOMPARE(f.amb.dtm().IdDipCorrente, corrente);
    QCOMPARE(f.tab()->IdDip(), corrente);
    QCOMPARE(sel->NomeDatabase().toLower(), QStringLiteral("dbpresut"));
    // One without it makes its first employee current.
    scelti = {altro};
    f.frm->SelezioneDipendenti();
    QCOMPARE(sel->Righe(), 1);
    QCOMPARE(f.amb.dtm().IdDipCorrente, altro);
    QCOMPARE(f.tab()->IdDip(), altro);
    QCOMPARE(f.dipendente()->currentText(), sel->Dipendente(0).Nominativo());

    // A cancelled search changes nothing and leaves the picker usable.
    class Annullato : public DialogoQA {
    public:
        int Esegui(QWidget*, bool) override { return TQALight::RisAnnullato; }
    };
    f.frm->QueryDipendenti().setFabbrica([](TQALight&) { return std::make_unique<Annullato>(); });
    f.frm->SelezioneDipendenti();
    QCOMPARE(sel->Righe(), 1);
    QCOMPARE(f.amb.dtm().IdDipCorrente, altro);
    QVERIFY(f.dipendente()->isEnabled());

    // Also before any employee was chosen.
    Finestra nuova;
    QCOMPARE(nuova.amb.dtm().IdDipCorrente, -1);
    nuova.frm->QueryDipendenti().setFabbrica([](TQALight&) { return std::make_unique<Annullato>(); });
    nuova.frm->SelezioneDipendenti();
    QVERIFY(nuova.dipendente()->isEnabled());
    QCOMPARE(nuova.piano.wwTblAnagSel()->Righe(), 4);
    QCOMPARE(nuova.amb.conta(QStringLiteral("PianoSomma")), 0);  // nothing confirmed by itself
}

void TestFrmPiano::chiusuraSalvaPeriodoELarghezze()
{
    Finestra f;
    f.conferma();
    f.griglia()->setColumnWidth(ColNote, 321);
    f.frm->ImpostaPeriodo(QDate(2026, 2, 2), QDate(2026, 2, 27));
    f.frm->close();
    QCOMPARE(FileIni(f.amb.fileIni()).leggiIntero(Ini::Desktop, QStringLiteral("PdLColNote"), 0), 321);
    QCOMPARE(f.amb.dtm().mem().DataDa.date(), QDate(2026, 2, 2));
    QCOMPARE(f.amb.dtm().mem().DataA.date(), QDate(2026, 2, 27));
    QVERIFY(!f.tab()->Aperta());
    // Shown again: the grid waits for a new confirmation.
    f.frm->show();
    QVERIFY(!f.w<QWidget>("pnlGriglia")->isVisible());
}

// Quitting the application with the work plan open stores its period and widths too.
void TestFrmPiano::uscitaDalProgrammaSalvaIlPiano()
{
    Ambiente amb;
    amb.dtm().setOggi(kOggi);
    OpzioniDemo o;
    o.dipendenti = 2;
    o.giorni = 20;
    o.oggi = kOggi;
    GeneraDemo(amb.dtm(), o);
    amb.dtm().CaricaMemoria();
    TdtmElab elab(amb.dtm());
    TdtmPiano piano(amb.dtm());
    TfrmPresenze principale(amb.dtm());
    QPointer<TfrmPiano> frm = new TfrmPiano(amb.dtm(), piano, elab);
    principale.Comandi().RegistraPersistente(QStringLiteral("PianodiLav"), frm);
    principale.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principale));
    // Closed from its MDI frame it is only hidden, and opens again.
    principale.findChild<QAction*>(QStringLiteral("itmPianodiLav"))->trigger();
    QTRY_VERIFY(frm->isVisible());
    principale.Comandi().Cornice(QStringLiteral("PianodiLav"))->close();
    QTRY_VERIFY(!frm->isVisible());
    principale.findChild<QAction*>(QStringLiteral("itmPianodiLav"))->trigger();
    QTRY_VERIFY(frm && frm->isVisible());
    frm->ImpostaPeriodo(QDate(2026, 3, 2), QDate(2026, 3, 15));
    frm->UpdateSelection();
    frm->findChild<QTableView*>(QStringLiteral("wwGrdPdL"))->setColumnWidth(ColNote, 333);
    // The details stay with the main window, and their place is kept at the exit too.
    frm->btnDetailClick(true);
    QCOMPARE(frm->Dettagli().windowHandle()->transientParent(), principale.windowHandle());
    principale.close();
    QCOMPARE(FileIni(amb.fileIni()).leggiIntero(Ini::Desktop, QStringLiteral("PdLColNote"), 0), 333);
    QCOMPARE(Configurazione::LeggiPosizione(FileIni(amb.fileIni()), QStringLiteral("Dettagli")), frm->Dettagli().geometry());
    QCOMPARE(amb.dtm().mem().DataDa.date(), QDate(2026, 3, 2));
}

void TestFrmPiano::finestreA1024x768_data()
{
    QTest::addColumn<QString>("finestra");
    for (const char* n : {"piano nella finestra principale", "principale", "piano", "dettagli", "editor", "visualizzatore", "verifica",
                          "ricerca", "valori", "stampa", "anteprima", "impostazioni", "accesso", "informazioni", "aiuto", "acquisizione"})
        QTest::newRow(n) << QString::fromLatin1(n);
}

// Every window opens, and can be made as small as it allows, on a 1024 x 768 screen less a
// panel and the window's own title bar and borders.
void TestFrmPiano::finestreA1024x768()
{
    QFETCH(QString, finestra);
    const QSize schermo(1024 - 8, 768 - 28 - 32);
    Finestra f;
    TdtmPresenze& dtm = f.amb.dtm();
    TdtmUtil util(dtm);
    QWidget* w = nullptr;
    std::unique_ptr<QWidget> propria;
    const auto nuova = [&](QWidget* x) {
        propria.reset(x);
        return x;
    };
    if (finestra == QLatin1String("piano nella finestra principale")) {
        // The work plan maximised in the main window: it must fit what the main window's
        // menu, toolbar and status bar leave of the screen.
        TfrmPresenze principale(dtm);
        auto* piano = new TfrmPiano(dtm, f.piano, f.elab);
        QMdiSubWindow* sotto = principale.mdiArea()->addSubWindow(piano);
        principale.resize(schermo);
        principale.show();
        QVERIFY(QTest::qWaitForWindowExposed(&principale));
        sotto->showMaximized();
        QTRY_VERIFY(sotto->isMaximized());
        const QSize cornice = principale.size() - principale.mdiArea()->viewport()->size();
        const QSize serve = piano->minimumSizeHint();
        QVERIFY2(serve.width() <= schermo.width() - cornice.width() && serve.height() <= schermo.height() - cornice.height(),
                 qPrintable(QStringLiteral("piano %1x%2, cornice %3x%4").arg(serve.width()).arg(serve.height()).arg(cornice.width()).arg(cornice.height())));
        QCOMPARE(principale.size(), schermo);
        return;
    }
    if (finestra == QLatin1String("principale"))
        w = nuova(new TfrmPresenze(dtm));
    else if (finestra == QLatin1String("piano"))
        w = f.frm.get();
    else if (finestra == QLatin1String("dettagli"))
        w = &f.frm->Dettagli();
    else if (finestra == QLatin1String("editor"))
        w = nuova(new TfrmEdTimbr(f.piano, TfrmEdTimbr::Inserimento));
    else if (finestra == QLatin1String("visualizzatore"))
        w = nuova(new TfrmVisTimb(dtm, f.piano.wwTblAnagSel()->Dipendente(0).Id, kDal));
    else if (finestra == QLatin1String("verifica"))
        w = &f.frm->Check();
    else if (finestra == QLatin1String("ricerca"))
        w = nuova(new TDlgQueryLight(f.frm->QueryDipendenti()));
    else if (finestra == QLatin1String("valori"))
        w = nuova(new TDlgPickList(QStringLiteral("Reparto"), {{1, QStringLiteral("Amministrazione")}}, {}));
    else if (finestra == QLatin1String("stampa"))
        w = &f.frm->Stampa();
    else if (finestra == QLatin1String("anteprima"))
        w = nuova(new TfrmAnteprima(dtm, *Stampa::DocumentoPiano(dtm, Stampa::kAnomalie, ParametriPiano{{}, kDal, kAl, QStringLiteral("Anomalie"), {}})));
    else if (finestra == QLatin1String("impostazioni"))
        w = nuova(new TfrmImposta(dtm, util));
    else if (finestra == QLatin1String("accesso"))
        w = nuova(new TfrmPasswd(dtm));
    else if (finestra == QLatin1String("informazioni"))
        w = nuova(new TfrmAbout(dtm));
    else if (finestra == QLatin1String("aiuto"))
        w = nuova(new TfrmAiuto(dtm));
    TdtmAcquisizione acquisizione(dtm);
    static const LibreriaTerminali nessunTerminale{};  // the window only shows itself here
    if (finestra == QLatin1String("acquisizione"))
        w = nuova(new TfrmAcquisizione(dtm, acquisizione, nessunTerminale));
    QVERIFY(w);
    w->ensurePolished();
    const QSize minima = w->minimumSizeHint().expandedTo(w->minimumSize());
    const QSize apre = w->testAttribute(Qt::WA_Resized) ? w->size() : w->sizeHint().expandedTo(minima);
    for (const QSize& s : {minima, apre})
        QVERIFY2(s.width() <= schermo.width() && s.height() <= schermo.height(), qPrintable(QStringLiteral("%1x%2").arg(s.width()).arg(s.height())));
}

QTEST_MAIN(TestFrmPiano)
#include "tst_frmpiano.moc"
