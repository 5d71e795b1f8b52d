// The timetable window and its editor driven with keys as a clerk would: opened from the
// main window's command, the editor's defaults, refusals with their message and field,
// confirmations and what they store, the read-back of a stored timetable, deletion refused
// for each use, the printed list and the windows' size on a 1024 x 768 screen.

#include "../core/modale.h"
#include "ambiente.h"
#include "messaggi.h"
#include "tdtmorari.h"
#include "tfrmanteprima.h"
#include "tfrmorari.h"
#include "tfrmorariedit.h"
#include "tfrmpresenze.h"
#include "registrocomandi.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {

// The stored rows of timetable 1, as tst_orari spells them.
QString righe(Ambiente& amb)
{
    QStringList r;
    QSqlQuery o = amb.db().esegui(QStringLiteral("SELECT Descr, OreMedie, PrimaTimb, UltimaTimb, ChiusGio FROM OrariRep WHERE Id = 1"));
    while (o.next())
        r << QStringLiteral("%1|%2|%3|%4|%5").arg(o.value(0).toString(), o.value(1).toString(), o.value(2).toString(),
                                                  o.value(3).toString(), o.value(4).toString());
    QSqlQuery a = amb.db().esegui(QStringLiteral("SELECT ArrVerso, MinutiArrot FROM ArroTim WHERE IdOrario = 1 ORDER BY ArrVerso"));
    while (a.next())
        r << QStringLiteral("%1 %2").arg(a.value(0).toString(), a.value(1).toString());
    QSqlQuery s = amb.db().esegui(QStringLiteral("SELECT Inizio, Fine, TipoArrot, MinutiArrot FROM ArroStra WHERE IdOrario = 1 ORDER BY Inizio"));
    while (s.next())
        r << QStringLiteral("%1-%2 %3 %4").arg(s.value(0).toString(), s.value(1).toString(), s.value(2).toString(),
                                               s.value(3).isNull() ? QStringLiteral("-") : s.value(3).toString());
    return r.join(QLatin1String(" / "));
}

// The name of the field that has the keyboard (an editable list, not its line).
QString conFuoco()
{
    QWidget* w = QApplication::focusWidget();
    if (w && qobject_cast<QComboBox*>(w->parentWidget()))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

// "edtPrima=2200": the field's text selected and typed over; "cmbChiusura=+1": the list moved
// down one entry; "edtMinimo=": the text deleted.
void scrivi(QWidget* editor, const QString& modifica)
{
    const QString nome = modifica.section(QLatin1Char('='), 0, 0);
    const QString testo = modifica.section(QLatin1Char('='), 1);
    auto* w = editor->findChild<QWidget*>(nome);
    // Typing goes to the field itself; the focus is only there so that leaving it is real.
    w->setFocus(Qt::OtherFocusReason);
    if (testo == QLatin1String("+1")) {
        QTest::keyClick(w, Qt::Key_Down);
        return;
    }
    auto* riga = qobject_cast<QLineEdit*>(w);
    if (!riga)
        riga = qobject_cast<QComboBox*>(w)->lineEdit();
    riga->selectAll();
    if (testo.isEmpty())
        QTest::keyClick(riga, Qt::Key_Delete);
    else
        QTest::keyClicks(riga, testo);
}

// The main window with the timetable command registered as the application does.
class Finestra {
public:
    Finestra()
    {
        amb.dtm().CaricaMemoria();
        principale.Comandi().RegistraSingola(QStringLiteral("OrariLav"), [this] { return new TfrmOrari(orari); });
        principale.setGeometry(20, 20, 780, 560);
        principale.show();
        pronta = QTest::qWaitForWindowActive(&principale);
    }

    TfrmOrari* apri()
    {
        principale.findChild<QAction*>(QStringLiteral("itmOrariLav"))->trigger();
        return QTest::qWaitFor([this] { return frm() && frm()->isVisible(); }) ? frm() : nullptr;
    }
    TfrmOrari* frm() { return qobject_cast<TfrmOrari*>(principale.Comandi().Finestra(QStringLiteral("OrariLav"))); }
    QString mostrato(const char* campo) { return frm()->findChild<QLineEdit*>(QString::fromLatin1(campo))->text(); }

    // Presses `tasto` on the window's list and runs `azione` on each dialog it opens; how
    // many opened.
    int conDialoghi(Qt::Key tasto, const std::function<void(QWidget*)>& azione)
    {
        QuandoModale modale(azione);
        QTest::keyClick(frm()->Elenco(), tasto);
        modale.ferma();
        return modale.volte();
    }

    Ambiente amb;
    TdtmOrari orari{amb.dtm()};
    TfrmPresenze principale{amb.dtm()};
    bool pronta = false;
};

void registra(TdtmOrari& orari, const ValoriOrario& v)
{
    DatiOrario o = TdtmOrari::Controlla(v).orario;
    orari.Registra(o);
}

ValoriOrario giornaliero(const char* nome = "Giornaliero", const char* minimo = "0")
{
    return {QString::fromLatin1(nome), QStringLiteral("08:00"), QStringLiteral("08:00"), QStringLiteral("17:00"), QStringLiteral("A"),
            QStringLiteral("15"), QStringLiteral("15"), QString::fromLatin1(minimo), QStringLiteral("15")};
}

}  // namespace

class TstFrmOrari : public QObject {
    Q_OBJECT

private slots:
    void apertaDalComando();
    void conferma_data();
    void conferma();
    void modificaRilegge();
    void oraNonValidaAllUscita();
    void cancellazione_data();
    void cancellazione();
    void stampa();
    void finestreA1024x768();
};

void TstFrmOrari::apertaDalComando()
{
    Finestra f;
    QVERIFY(f.pronta);
    registra(f.orari, giornaliero("Notte"));
    registra(f.orari, giornaliero("Giornaliero"));
    TfrmOrari* frm = f.apri();
    QVERIFY(frm);
    QCOMPARE(frm->windowTitle(), QStringLiteral("Orari di Lavoro"));
    // The list by name, the first current, its values beside it.
    QCOMPARE(frm->Elenco()->model()->rowCount(), 2);
    QCOMPARE(frm->Elenco()->model()->index(0, 0).data().toString(), QStringLiteral("Giornaliero"));
    QCOMPARE(f.mostrato("edtDescr"), QStringLiteral("Giornaliero"));
    QCOMPARE(f.mostrato("edtChiusura"), QStringLiteral("Giorno stesso"));
    QCOMPARE(f.mostrato("edtUltima"), QStringLiteral("17:00"));
    QTest::keyClick(frm->Elenco(), Qt::Key_Down);
    QTRY_COMPARE(f.mostrato("edtDescr"), QStringLiteral("Notte"));
    QCOMPARE(frm->Corrente()->Id, 1);

    // One window however often the command runs; Esci destroys it.
    f.apri();
    QCOMPARE(f.frm(), frm);
    QCOMPARE(f.principale.mdiArea()->subWindowList().size(), 1);
    QPointer<TfrmOrari> chiusa = frm;
    QTest::keyClick(frm->Elenco(), Qt::Key_F4, Qt::AltModifier);
    QTRY_VERIFY(!chiusa);
    QVERIFY(!f.frm());
}

void TstFrmOrari::conferma_data()
{
    QTest::addColumn<QStringList>("modifiche");
    QTest::addColumn<int>("errore");
    QTest::addColumn<QString>("campo");      // with the focus after the refusal
    QTest::addColumn<QString>("memorizzato");

    QTest::newRow("predefiniti") << QStringList{"edtDescr=Nuovo"} << 0 << "" << "Nuovo|0|0|1439|A / E 1 / U 1 / 0-1439 D 1";
    const QStringList notte = {"edtDescr=Notte", "edtOreMedie=0800", "edtPrima=2200", "edtUltima=0600"};
    QTest::newRow("notte chiusa il giorno dopo") << (notte + QStringList{"cmbChiusura=+1"}) << 0 << ""
                                                 << "Notte|480|1320|360|S / E 1 / U 1 / 0-1439 D 1";
    QTest::newRow("notte chiusa lo stesso giorno") << notte << int(Msg::ErrUltimaTimbratura) << "edtPrima" << "";
    QTest::newRow("ingresso 20") << QStringList{"edtDescr=X", "cmbIngresso=20"} << int(Msg::ErrDatoMancante) << "cmbIngresso" << "";
    QTest::newRow("ingresso 7") << QStringList{"edtDescr=X", "cmbIngresso=7"} << int(Msg::ErrDatoMancante) << "cmbIngresso" << "";
    QTest::newRow("minimo vuoto") << QStringList{"edtDescr=X", "edtMinimo="} << int(Msg::ErrDatoMancante) << "edtMinimo" << "";
    QTest::newRow("senza descrizione") << QStringList{"cmbUscita=30"} << int(Msg::ErrDatoMancante) << "edtDescr" << "";
    QTest::newRow("minimo 30 passo 15") << QStringList{"edtDescr=Giornaliero", "edtMinimo=30", "cmbArrotStra=15"} << 0 << ""
                                        << "Giornaliero|0|0|1439|A / E 1 / U 1 / 0-29 I - / 30-1439 D 15";
}

void TstFrmOrari::conferma()
{
    QFETCH(QStringList, modifiche);
    QFETCH(int, errore);
    QFETCH(QString, campo);
    QFETCH(QString, memorizzato);
    Finestra f;
    QVERIFY(f.pronta);
    TfrmOrari* frm = f.apri();
    QVERIFY(frm);
    ValoriOrario iniziali;
    bool confermaAttiva = false;
    QString fuoco;
    const int aperti = f.conDialoghi(Qt::Key_F2, [&](QWidget* w) {
        auto* ed = qobject_cast<TfrmOrariEdit*>(w);
        iniziali = ed->Valori();
        confermaAttiva = ed->findChild<QAction*>(QStringLiteral("btnConferma"))->isEnabled();
        for (const QString& m : modifiche)
            scrivi(w, m);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (ed->isVisible()) {
            fuoco = conFuoco();
            QTest::keyClick(w, Qt::Key_F4, Qt::AltModifier);
        }
    });
    QCOMPARE(aperti, 1);
    QCOMPARE(iniziali, TdtmOrari::ValoriPredefiniti(QStringLiteral("A")));
    QVERIFY(confermaAttiva);
    QCOMPARE(f.amb.registro().avvisi, errore ? QStringList{f.amb.dtm().TestoErrore(errore)} : QStringList());
    QCOMPARE(fuoco, campo);
    QCOMPARE(righe(f.amb), memorizzato);
    QCOMPARE(f.amb.conta(QStringLiteral("OrariRep")), errore ? 0 : 1);
    if (!errore) {
        // The list holds the new timetable, current, with the values read back.
        QCOMPARE(frm->Elenco()->model()->rowCount(), 1);
        QCOMPARE(frm->Corrente()->Id, 1);
        const DatiOrario letto = *f.orari.Leggi(1);
        QCOMPARE(f.mostrato("edtMinimo"), QString::number(letto.MinimoStra()));
        QCOMPARE(f.mostrato("edtArrotStra"), QString::number(letto.PassoStra()));
        QCOMPARE(f.mostrato("edtDescr"), letto.Descr);
    }
}

void TstFrmOrari::modificaRilegge()
{
    Finestra f;
    QVERIFY(f.pronta);
    registra(f.orari, giornaliero("Giornaliero", "30"));
    TfrmOrari* frm = f.apri();
    QVERIFY(frm);
    QCOMPARE(f.mostrato("edtMinimo"), QStringLiteral("30"));
    QCOMPARE(f.mostrato("edtArrotStra"), QStringLiteral("15"));

    ValoriOrario mostrati, dopoAnnulla;
    bool primaAttiva = true, dopoModificaAttiva = false, dopoAnnullaAttiva = true;
    const int aperti = f.conDialoghi(Qt::Key_F3, [&](QWidget* w) {
        auto* ed = qobject_cast<TfrmOrariEdit*>(w);
        QAction* conferma = ed->findChild<QAction*>(QStringLiteral("btnConferma"));
        mostrati = ed->Valori();
        primaAttiva = conferma->isEnabled();
        // Enter does nothing until something changes.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        scrivi(w, QStringLiteral("edtDescr=Cambiato"));
        dopoModificaAttiva = conferma->isEnabled();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        dopoAnnulla = ed->Valori();
        dopoAnnullaAttiva = conferma->isEnabled();
        scrivi(w, QStringLiteral("edtUltima=1600"));
        scrivi(w, QStringLiteral("cmbUscita=30"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(aperti, 1);
    QCOMPARE(mostrati, giornaliero("Giornaliero", "30"));
    QVERIFY(!primaAttiva);
    QVERIFY(dopoModificaAttiva);
    QCOMPARE(dopoAnnulla, mostrati);
    QVERIFY(!dopoAnnullaAttiva);
    QCOMPARE(f.amb.registro().avvisi, QStringList());
    // The same timetable, its rules replaced rather than added to.
    QCOMPARE(righe(f.amb), QStringLiteral("Giornaliero|480|480|960|A / E 15 / U 30 / 0-29 I - / 30-1439 D 15"));
    QCOMPARE(f.amb.conta(QStringLiteral("OrariRep")), 1);
    QTRY_COMPARE(f.mostrato("edtUltima"), QStringLiteral("16:00"));
    QCOMPARE(f.mostrato("edtUscita"), QStringLiteral("30"));
}

void TstFrmOrari::oraNonValidaAllUscita()
{
    Finestra f;
    QVERIFY(f.pronta);
    QVERIFY(f.apri());
    bool entrato = false, avvisato = false;
    QString fuoco;
    f.conDialoghi(Qt::Key_F2, [&](QWidget* w) {
        // From "Descrizione", Tab leads to "Ore Medie".
        scrivi(w, QStringLiteral("edtDescr=Notte"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        entrato = QTest::qWaitFor([] { return conFuoco() == QLatin1String("edtOreMedie"); });
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2400"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        avvisato = QTest::qWaitFor([&] { return !f.amb.registro().avvisi.isEmpty() && conFuoco() == QLatin1String("edtOreMedie"); });
        fuoco = conFuoco();
        QTest::keyClick(w, Qt::Key_F4, Qt::AltModifier);
    });
    QVERIFY(entrato);
    QVERIFY(avvisato);
    QCOMPARE(f.amb.registro().avvisi, QStringList{f.amb.dtm().TestoErrore(Msg::ErrDatoMancante)});
    QCOMPARE(fuoco, QStringLiteral("edtOreMedie"));
    QCOMPARE(f.amb.conta(QStringLiteral("OrariRep")), 0);
}

void TstFrmOrari::cancellazione_data()
{
    QTest::addColumn<QString>("uso");
    QTest::addColumn<bool>("risposta");  // to question 3
    QTest::addColumn<int>("errore");

    QTest::newRow("libero") << "" << true << 0;
    QTest::newRow("libero, risposta no") << "" << false << 0;
    QTest::newRow("turno") << "INSERT INTO CompTurni (IdTurno, NumOrd, DataInizio, TipoOrario, IdDaUsare) VALUES (1, 7, '2024-01-01 00:00:00', 'O', 2)"
                           << true << int(Msg::ErrOrarioInTurno);
    QTest::newRow("festivo di un profilo")
        << "INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, ModalTimbra, Autorizzato, "
           "InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, GestReperib, UltElabVoci, IdOrFestivo) VALUES "
           "(1, '2024-01-01 00:00:00', 1, 1, 1, 1, '2024-01-01 00:00:00', 'T', 'S', '2024-01-01 00:00:00', '2024-01-01 00:00:00', "
           "'2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', 'N', '2024-01-01 00:00:00', 2)"
        << true << int(Msg::ErrOrarioFestivo);
    QTest::newRow("piano") << "INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario) VALUES (1, '2024-03-05 00:00:00', 3, 2)" << true
                           << int(Msg::ErrOrarioInPiano);
}

void TstFrmOrari::cancellazione()
{
    QFETCH(QString, uso);
    QFETCH(bool, risposta);
    QFETCH(int, errore);
    Finestra f;
    QVERIFY(f.pronta);
    registra(f.orari, giornaliero("A mattina"));
    registra(f.orari, giornaliero("B notte"));
    registra(f.orari, giornaliero("C sera"));
    if (!uso.isEmpty())
        f.amb.esegui(uso);
    f.amb.registro().risposte = {risposta};
    TfrmOrari* frm = f.apri();
    QVERIFY(frm);
    QTest::keyClick(frm->Elenco(), Qt::Key_Down);
    QTRY_COMPARE(f.mostrato("edtDescr"), QStringLiteral("B notte"));
    QTest::keyClick(frm->Elenco(), Qt::Key_F4);

    QCOMPARE(f.amb.registro().domande, QStringList{f.amb.dtm().TestoScelta(Msg::SclCancella)});
    QCOMPARE(f.amb.registro().avvisi, errore ? QStringList{f.amb.dtm().TestoErrore(errore)} : QStringList());
    const bool cancellato = risposta && !errore;
    QCOMPARE(f.amb.conta(QStringLiteral("OrariRep"), QStringLiteral("Id = 2")), cancellato ? 0 : 1);
    QCOMPARE(f.amb.conta(QStringLiteral("ArroTim"), QStringLiteral("IdOrario = 2")), cancellato ? 0 : 2);
    QCOMPARE(f.amb.conta(QStringLiteral("OrariRep")), cancellato ? 2 : 3);
    // The row that took the deleted one's place is current.
    QCOMPARE(frm->Elenco()->model()->rowCount(), cancellato ? 2 : 3);
    QCOMPARE(f.mostrato("edtDescr"), cancellato ? QStringLiteral("C sera") : QStringLiteral("B notte"));
}

void TstFrmOrari::stampa()
{
    Finestra f;
    QVERIFY(f.pronta);
    registra(f.orari, giornaliero("Giornaliero", "30"));
    QVERIFY(f.apri());
    QStringList dialoghi;
    int pagine = 0;
    const int aperti = f.conDialoghi(Qt::Key_F5, [&](QWidget* w) {
        dialoghi << w->objectName();
        if (auto* anteprima = qobject_cast<TfrmAnteprima*>(w)) {
            pagine = anteprima->Pagine();
            anteprima->reject();
        } else {
            // The print settings offer the timetable list first; Enter takes it.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
    });
    QCOMPARE(aperti, 2);
    QCOMPARE(dialoghi, (QStringList{"frmStampa", "frmAnteprima"}));
    QCOMPARE(pagine, 1);
    QCOMPARE(f.amb.registro().avvisi, QStringList());
}

void TstFrmOrari::finestreA1024x768()
{
    // A 1024 x 768 screen less a panel and the window's own title bar and borders.
    const QSize schermo(1024 - 8, 768 - 28 - 32);
    Ambiente amb;
    TdtmOrari orari(amb.dtm());
    TfrmOrari frm(orari);
    TfrmOrariEdit editor(orari, TfrmOrariEdit::Inserimento);
    for (QWidget* w : {static_cast<QWidget*>(&frm), static_cast<QWidget*>(&editor)}) {
        w->ensurePolished();
        const QSize minima = w->minimumSizeHint().expandedTo(w->minimumSize());
        const QSize apre = w->testAttribute(Qt::WA_Resized) ? w->size() : w->sizeHint().expandedTo(minima);
        for (const QSize& s : {minima, apre})
            QVERIFY2(s.width() <= schermo.width() && s.height() <= schermo.height(),
                     qPrintable(QStringLiteral("%1 %2x%3").arg(w->objectName()).arg(s.width()).arg(s.height())));
    }
}

QTEST_MAIN(TstFrmOrari)
#include "tst_frmorari.moc"
