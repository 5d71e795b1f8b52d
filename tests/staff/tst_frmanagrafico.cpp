// The employee register and its editor driven with keys as a clerk would: opened from the main
// window's command, the list and its orders, the editor's refusals with their message and
// field, confirmations and what they store, Annulla, a failed confirmation that keeps what was
// typed, deletion, the search through the real dialog and its three endings, printing, the
// import from a file, and the windows' size on a 1024 x 768 screen.

#include "../core/modale.h"
#include "anagrafe.h"
#include "campodata.h"
#include "messaggi.h"
#include "registrocomandi.h"
#include "tdlgquerylight.h"
#include "tfrmanagedit.h"
#include "tfrmanagrafico.h"
#include "tfrmanteprima.h"
#include "tfrmpresenze.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryFile>
#include <QTest>

using namespace Anagrafe;

namespace {

// The name of the field that has the keyboard.
QString conFuoco()
{
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

// "edtCognome=Neri": the field's text selected and typed over ("edtCognome=" deletes it);
// "cmbReparto=Prod": the list's entry found by typing its first letters.
void scrivi(QWidget* editor, const QString& modifica)
{
    const QString nome = modifica.section(QLatin1Char('='), 0, 0);
    const QString testo = modifica.section(QLatin1Char('='), 1);
    auto* w = editor->findChild<QWidget*>(nome);
    w->setFocus(Qt::OtherFocusReason);
    if (auto* riga = qobject_cast<QLineEdit*>(w)) {
        riga->selectAll();
        QTest::keyClick(riga, Qt::Key_Delete);
    }
    if (!testo.isEmpty())
        QTest::keyClicks(w, testo);
}

// The main window with the register's command registered as the application does.
class Finestra {
public:
    Finestra()
    {
        popola(amb);
        // The look-alikes of the search tests sort differently under each engine's collation.
        amb.esegui(QStringLiteral("DELETE FROM Anagrafico WHERE Id IN (7, 8, 9)"));
        amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (5, 'Giornaliero', 7)"));
        amb.esegui(QStringLiteral("INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO) VALUES (7, 'Festivo', '7', 'E')"));
        amb.dtm().CaricaMemoria();
        amb.dtm().setOggi(QDate(2026, 12, 9));
        RegistraDialogoQA();
        principale.Comandi().RegistraSingola(QStringLiteral("Dipendenti"), [this] { return new TfrmAnagrafico(anag); });
        principale.setGeometry(20, 20, 900, 640);
        principale.show();
        pronta = QTest::qWaitForWindowActive(&principale);
    }

    TfrmAnagrafico* apri()
    {
        principale.findChild<QAction*>(QStringLiteral("itmDipendenti"))->trigger();
        return QTest::qWaitFor([this] { return frm() && frm()->isVisible(); }) ? frm() : nullptr;
    }
    // The keys of the window reach it once the main window is active again: the test
    // platform gives no activation back when a dialog closes, as a window manager does.
    bool riattiva()
    {
        principale.activateWindow();
        return QTest::qWaitForWindowActive(&principale);
    }
    TfrmAnagrafico* frm() { return qobject_cast<TfrmAnagrafico*>(principale.Comandi().Finestra(QStringLiteral("Dipendenti"))); }
    QString mostrato(const char* campo) { return frm()->findChild<QLineEdit*>(QString::fromLatin1(campo))->text(); }
    QStringList cognomi()
    {
        QStringList l;
        for (int r = 0; r < frm()->Elenco()->model()->rowCount(); ++r)
            l << frm()->Elenco()->model()->index(r, 1).data().toString();
        return l;
    }

    // Presses `tasto` on the window's list and runs `azione` on each dialog it opens; how many opened.
    int conDialoghi(Qt::Key tasto, const std::function<void(QWidget*)>& azione)
    {
        QuandoModale modale(azione);
        QTest::keyClick(frm()->Elenco(), tasto);
        modale.ferma();
        return modale.volte();
    }

    Ambiente amb;
    TdtmAnagrafico anag{amb.dtm()};
    TfrmPresenze principale{amb.dtm()};
    bool pronta = false;
};

}  // namespace

class TstFrmAnagrafico : public QObject {
    Q_OBJECT

private slots:
    void apertaDalComando();
    void conferma_data();
    void conferma();
    void modificaEAnnulla();
    void confermaFallitaTieneIValori();
    void cancellazione_data();
    void cancellazione();
    void seleziona_data();
    void seleziona();
    void stampa();
    void importaDaFile();
    void finestreA1024x768();
};

void TstFrmAnagrafico::apertaDalComando()
{
    Finestra f;
    QVERIFY(f.pronta);
    TfrmAnagrafico* frm = f.apri();
    QVERIFY(frm);
    QCOMPARE(frm->windowTitle(), QStringLiteral("Anagrafico"));
    // Employees only (Verdi is a guest), by name, the first current with his details.
    QCOMPARE(f.cognomi(), (QStringList{"Bianchi", "D'Amico", "Rossi", "Rossini", "Sala%Rosa"}));
    QCOMPARE(f.mostrato("edtBadge"), QStringLiteral("0000001000"));
    QCOMPARE(f.mostrato("edtReparto"), QStringLiteral("Uffici"));
    QCOMPARE(f.mostrato("edtAssunzione"), QStringLiteral("01/01/2021"));
    QVERIFY(frm->findChild<QCheckBox*>(QStringLiteral("chkAutorizzato"))->isChecked());
    QTest::keyClick(frm->Elenco(), Qt::Key_Down);
    QTRY_COMPARE(f.mostrato("edtBadge"), QStringLiteral("0000000344"));

    // A click on "Matricola" orders by number, on "Nome" by name again; the employee stays current.
    QHeaderView* titoli = frm->Elenco()->horizontalHeader();
    QTest::mouseClick(titoli->viewport(), Qt::LeftButton, {}, QPoint(titoli->sectionViewportPosition(0) + 5, titoli->height() / 2));
    QTRY_COMPARE(f.cognomi().first(), QStringLiteral("D'Amico"));
    QCOMPARE(frm->Ordine(), OrdineAnag::Matricola);
    QCOMPARE(frm->Corrente()->Cognome, QStringLiteral("D'Amico"));
    QTest::mouseClick(titoli->viewport(), Qt::LeftButton, {}, QPoint(titoli->sectionViewportPosition(2) + 5, titoli->height() / 2));
    QTRY_COMPARE(f.cognomi().first(), QStringLiteral("Bianchi"));

    // One window however often the command runs; Esci destroys it.
    f.apri();
    QCOMPARE(f.frm(), frm);
    QCOMPARE(f.principale.mdiArea()->subWindowList().size(), 1);
    QPointer<TfrmAnagrafico> chiusa = frm;
    QTest::keyClick(frm->Elenco(), Qt::Key_F4, Qt::AltModifier);
    QTRY_VERIFY(!chiusa);
    QVERIFY(!f.frm());
}

void TstFrmAnagrafico::conferma_data()
{
    QTest::addColumn<QStringList>("modifiche");
    QTest::addColumn<int>("errore");
    QTest::addColumn<QString>("campo");        // with the focus after the refusal
    QTest::addColumn<QString>("memorizzato");  // Matricola|Cognome|Nome|Codice|IdPianta|IdRuolo|DataAssunz|DataLicenz|IdOrari|IdOrFestivo|Autorizzato

    const QStringList completo = {"edtCognome=Neri", "edtNome=Giulia", "edtBadge=4001", "cmbReparto=Prod", "cmbQualifica=Op",
                                  "dtpAssunzione=01022024"};
    QTest::newRow("completo") << completo << 0 << "" << "|Neri|Giulia|0000004001|10|20|2024-02-01||||S";
    QTest::newRow("matricola 77, turno, festivo, senza straordinari")
        << (completo + QStringList{"edtMatricola=77", "cmbTurno=Gio", "cmbFestivo=Fes", "chkAutorizzato= "}) << 0 << ""
        << "0000000077|Neri|Giulia|0000004001|10|20|2024-02-01||5|7|N";
    QTest::newRow("licenziamento lo stesso giorno") << (completo + QStringList{"dtpLicenziamento=01022024"}) << 0 << ""
                                                    << "|Neri|Giulia|0000004001|10|20|2024-02-01|2024-02-01|||S";
    QTest::newRow("licenziamento il giorno prima") << (completo + QStringList{"dtpLicenziamento=31012024"}) << int(Msg::ErrDateAssunzione)
                                                   << "dtpLicenziamento" << "";
    QTest::newRow("reparto non scelto") << QStringList{"edtCognome=Neri", "edtNome=Giulia", "edtBadge=4001", "cmbQualifica=Op"}
                                        << int(Msg::ErrDatoMancante) << "cmbReparto" << "";
    QTest::newRow("badge lasciato a zero, assunto oggi")
        << QStringList{"edtCognome=Neri", "edtNome=Giulia", "cmbReparto=Prod", "cmbQualifica=Op"} << 0 << ""
        << "|Neri|Giulia|0000000000|10|20|2026-12-09||||S";
    QTest::newRow("badge di Rossi") << (completo + QStringList{"edtBadge=345"}) << int(Msg::ErrDatoMancante) << "edtBadge" << "";
    QTest::newRow("senza cognome") << QStringList{"edtNome=Giulia", "cmbReparto=Prod"} << int(Msg::ErrDatoMancante) << "edtCognome" << "";
}

void TstFrmAnagrafico::conferma()
{
    QFETCH(QStringList, modifiche);
    QFETCH(int, errore);
    QFETCH(QString, campo);
    QFETCH(QString, memorizzato);
    Finestra f;
    QVERIFY(f.pronta);
    TfrmAnagrafico* frm = f.apri();
    QVERIFY(frm);
    QString fuoco, matricolaMostrata;
    const int aperti = f.conDialoghi(Qt::Key_F2, [&](QWidget* w) {
        for (const QString& m : modifiche)
            scrivi(w, m);
        // Leaving the personnel number shows it zero-filled.
        matricolaMostrata = w->findChild<QLineEdit*>(QStringLiteral("edtMatricola"))->text();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (w->isVisible()) {
            fuoco = conFuoco();
            QTest::keyClick(w, Qt::Key_F4, Qt::AltModifier);
        }
    });
    QCOMPARE(aperti, 1);
    QCOMPARE(f.amb.registro().avvisi, errore ? QStringList{f.amb.dtm().TestoErrore(errore)} : QStringList());
    QCOMPARE(fuoco, campo);
    if (modifiche.contains(QStringLiteral("edtMatricola=77")))
        QCOMPARE(matricolaMostrata, QStringLiteral("0000000077"));
    QStringList stored;
    QSqlQuery q = f.amb.db().esegui(QStringLiteral("SELECT a.Matricola, a.Cognome, a.Nome, b.Codice, p.IdPianta, p.IdRuolo, p.DataAssunz, "
                                                   "p.DataLicenz, p.IdOrari, p.IdOrFestivo, p.Autorizzato FROM Anagrafico a, Badge b, Profilo p "
                                                   "WHERE a.Id >= 10 AND b.IdUtilizzatore = a.Id AND p.IdUtilizzatore = a.Id"));
    while (q.next()) {
        QStringList c;
        for (int i = 0; i < 11; ++i)
            c << (q.isNull(i) ? QString() : q.value(i).toString()).left(i == 6 || i == 7 ? 10 : 100);
        stored << c.join(QLatin1Char('|'));
    }
    QCOMPARE(stored, memorizzato.isEmpty() ? QStringList() : QStringList{memorizzato});
    if (!errore) {
        // The new employee is in the list, current, his details beside it.
        QTRY_COMPARE(frm->Corrente()->Id, 10);
        QCOMPARE(f.mostrato("edtBadge"), memorizzato.section(QLatin1Char('|'), 3, 3));
        QCOMPARE(f.cognomi().size(), 6);
    }
}

void TstFrmAnagrafico::modificaEAnnulla()
{
    Finestra f;
    QVERIFY(f.pronta);
    TfrmAnagrafico* frm = f.apri();
    QVERIFY(frm);
    for (int n = 0; n < 2; ++n)
        QTest::keyClick(frm->Elenco(), Qt::Key_Down);
    QTRY_COMPARE(frm->Corrente()->Cognome, QStringLiteral("Rossi"));
    DatiDipendente mostrati, dopoAnnulla;
    const int aperti = f.conDialoghi(Qt::Key_F3, [&](QWidget* w) {
        auto* ed = qobject_cast<TfrmAnagEdit*>(w);
        mostrati = ed->Valori();
        scrivi(w, QStringLiteral("edtNome=Mariano"));
        scrivi(w, QStringLiteral("dtpLicenziamento=31122030"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        dopoAnnulla = ed->Valori();
        scrivi(w, QStringLiteral("edtBadge=9"));
        scrivi(w, QStringLiteral("cmbReparto=Mag"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(aperti, 1);
    // The editor showed the stored employee with his latest profile; Esc went back to it.
    QCOMPARE(mostrati.Nome, QStringLiteral("Mario"));
    QCOMPARE(mostrati.IdPianta, int(Produzione));
    QCOMPARE(mostrati.Codice, QStringLiteral("0000000345"));
    QVERIFY(dopoAnnulla.StessiValori(mostrati));
    QCOMPARE(f.amb.registro().avvisi, QStringList());
    QCOMPARE(f.amb.valore(QStringLiteral("SELECT Nome FROM Anagrafico WHERE Id = 1")).toString(), QStringLiteral("Mario"));
    QCOMPARE(f.amb.valore(QStringLiteral("SELECT Codice FROM Badge WHERE IdUtilizzatore = 1")).toString(), QStringLiteral("0000000009"));
    QVERIFY(f.amb.valore(QStringLiteral("SELECT DataLicenz FROM Profilo WHERE IdUtilizzatore = 1 AND IdPianta = 11")).isNull());
    QCOMPARE(f.amb.conta(QStringLiteral("AnagMod")), 2);
    QTRY_COMPARE(f.mostrato("edtReparto"), QStringLiteral("Magazzino"));
    QCOMPARE(frm->Corrente()->Id, 1);
}

void TstFrmAnagrafico::confermaFallitaTieneIValori()
{
    Finestra f;
    QVERIFY(f.pronta);
    f.anag.setPausaRegistro(0);
    TfrmAnagrafico* frm = f.apri();
    QVERIFY(frm);
    // The badge log becomes a view nothing can be appended to.
    f.amb.esegui(QStringLiteral("ALTER TABLE AnagMod RENAME TO AnagModGuasta"));
    f.amb.esegui(QStringLiteral("CREATE VIEW AnagMod AS SELECT DISTINCT * FROM AnagModGuasta"));
    bool aperto = false;
    DatiDipendente dopo;
    f.conDialoghi(Qt::Key_F2, [&](QWidget* w) {
        for (const char* m : {"edtCognome=Neri", "edtNome=Giulia", "edtBadge=4001", "cmbReparto=Prod", "cmbQualifica=Op"})
            scrivi(w, QString::fromLatin1(m));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        aperto = w->isVisible();
        dopo = qobject_cast<TfrmAnagEdit*>(w)->Valori();
        QTest::keyClick(w, Qt::Key_F4, Qt::AltModifier);
    });
    f.amb.esegui(QStringLiteral("DROP VIEW AnagMod"));
    f.amb.esegui(QStringLiteral("ALTER TABLE AnagModGuasta RENAME TO AnagMod"));
    QCOMPARE(f.amb.registro().avvisi, QStringList{f.amb.dtm().TestoErrore(Msg::ErrRegistroBadge)});
    QVERIFY(aperto);
    QCOMPARE(dopo.Cognome, QStringLiteral("Neri"));
    QCOMPARE(dopo.Codice, QStringLiteral("0000004001"));
    QCOMPARE(dopo.IdPianta, int(Produzione));
    QCOMPARE(f.amb.conta(QStringLiteral("Anagrafico")), 6);
    QCOMPARE(f.amb.conta(QStringLiteral("AnagMod")), 0);
}

void TstFrmAnagrafico::cancellazione_data()
{
    QTest::addColumn<bool>("risposta");  // to question 3
    QTest::newRow("sì") << true;
    QTest::newRow("no") << false;
}

void TstFrmAnagrafico::cancellazione()
{
    QFETCH(bool, risposta);
    Finestra f;
    QVERIFY(f.pronta);
    f.amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (5, '2024-03-04 08:00:00', 'E')"));
    f.amb.registro().risposte = {risposta};
    TfrmAnagrafico* frm = f.apri();
    QVERIFY(frm);
    QTest::keyClick(frm->Elenco(), Qt::Key_Down);
    QTRY_COMPARE(frm->Corrente()->Cognome, QStringLiteral("D'Amico"));
    QTest::keyClick(frm->Elenco(), Qt::Key_F4);
    QCOMPARE(f.amb.registro().domande, QStringList{f.amb.dtm().TestoScelta(Msg::SclCancella)});
    QCOMPARE(f.amb.registro().avvisi, QStringList());
    QCOMPARE(f.amb.conta(QStringLiteral("Anagrafico"), QStringLiteral("Id = 5")), risposta ? 0 : 1);
    QCOMPARE(f.amb.conta(QStringLiteral("Timbrature")), risposta ? 0 : 1);
    QCOMPARE(f.cognomi().size(), risposta ? 4 : 5);
    // The row that took the deleted one's place is current.
    QCOMPARE(frm->Corrente()->Cognome, risposta ? QStringLiteral("Rossi") : QStringLiteral("D'Amico"));
}

void TstFrmAnagrafico::seleziona_data()
{
    QTest::addColumn<int>("risultato");
    QTest::addColumn<QString>("ordine");
    QTest::addColumn<QStringList>("cognomi");

    const QStringList tutti = {"Bianchi", "D'Amico", "Rossi", "Rossini", "Sala%Rosa"};
    QTest::newRow("selezione per nominativo") << int(TQALight::RisSelezione) << "Ordina per Nominativo" << QStringList{"Rossi", "Rossini"};
    QTest::newRow("selezione per matricola") << int(TQALight::RisSelezione) << "Ordina per Matricola" << QStringList{"Rossi", "Rossini"};
    QTest::newRow("tutti per matricola") << int(TQALight::RisTutti) << "Ordina per Matricola"
                                         << QStringList{"D'Amico", "Rossi", "Rossini", "Bianchi", "Sala%Rosa"};
    QTest::newRow("annullata") << int(TQALight::RisAnnullato) << "Ordina per Matricola" << tutti;
}

void TstFrmAnagrafico::seleziona()
{
    QFETCH(int, risultato);
    QFETCH(QString, ordine);
    QFETCH(QStringList, cognomi);
    Finestra f;
    QVERIFY(f.pronta);
    TfrmAnagrafico* frm = f.apri();
    QVERIFY(frm);
    // The real dialog, as the clerk uses it: a surname, F10, then its ending.
    QString dialogo;
    const int aperti = f.conDialoghi(Qt::Key_F8, [&](QWidget* w) {
        dialogo = w->objectName();
        w->findChild<QComboBox*>(QStringLiteral("cmbOrdine"))->setCurrentText(ordine);
        if (risultato == TQALight::RisSelezione) {
            scrivi(w, QStringLiteral("edtCognomeDa=Ross"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
            QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("btnSeleziona")), Qt::LeftButton);
        } else if (risultato == TQALight::RisTutti) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
            QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("btnSeleziona")), Qt::LeftButton);
        }
        if (w->isVisible())
            QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("btnAnnulla")), Qt::LeftButton);
    });
    QCOMPARE(aperti, 1);
    QCOMPARE(dialogo, QStringLiteral("dlgQueryLight"));
    QCOMPARE(frm->QryAnagLight().Result(), risultato);
    QTRY_COMPARE(f.cognomi(), cognomi);
    QCOMPARE(frm->SoloSelezione(), risultato == TQALight::RisSelezione);
    if (risultato == TQALight::RisSelezione)
        QCOMPARE(ids(f.amb, QStringLiteral("SELECT Id FROM ':dbPresUt:TAnagCk' ORDER BY Id")), (QList<int>{1, 2}));

    // Deleting a selected employee takes him out of the selection too.
    if (risultato == TQALight::RisSelezione) {
        QVERIFY(f.riattiva());
        QTest::keyClick(frm->Elenco(), Qt::Key_F4);
        QCOMPARE(f.cognomi(), QStringList{"Rossini"});
        QCOMPARE(ids(f.amb, QStringLiteral("SELECT Id FROM ':dbPresUt:TAnagCk'")), QList<int>{2});
    }
}

void TstFrmAnagrafico::stampa()
{
    Finestra f;
    QVERIFY(f.pronta);
    TfrmAnagrafico* frm = f.apri();
    QVERIFY(frm);
    for (int tipo : {0, 1}) {
        QVERIFY(f.riattiva());
        QStringList dialoghi;
        int pagine = 0;
        const int aperti = f.conDialoghi(Qt::Key_F5, [&](QWidget* w) {
            dialoghi << w->objectName();
            if (auto* anteprima = qobject_cast<TfrmAnteprima*>(w)) {
                pagine = anteprima->Pagine();
                anteprima->reject();
            } else {
                // The print settings offer the list first, the list with notes second.
                if (tipo)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
        });
        QCOMPARE(aperti, 2);
        QCOMPARE(dialoghi, (QStringList{"frmStampa", "frmAnteprima"}));
        QCOMPARE(pagine, 1);
    }
    QCOMPARE(f.amb.registro().avvisi, QStringList());
}

void TstFrmAnagrafico::importaDaFile()
{
    Finestra f;
    QVERIFY(f.pronta);
    TfrmAnagrafico* frm = f.apri();
    QVERIFY(frm);
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write("Cognome;Nome;Badge;Reparto;Qualifica;Assunzione\r\nAbate;Ugo;4001;Uffici;Impiegato;01/02/2024\r\n"
               "Zanni;Eva;4001;Uffici;Impiegato;01/02/2024\r\n");
    file.flush();
    frm->Importa(file.fileName());
    QCOMPARE(f.amb.registro().avvisi.size(), 1);
    QVERIFY2(f.amb.registro().avvisi.first().startsWith(f.amb.dtm().TestoErrore(Msg::ErrImportRifiutato) + QStringLiteral(" 1\nRiga 3, colonna Badge")),
             qPrintable(f.amb.registro().avvisi.first()));
    QCOMPARE(f.cognomi().size(), 5);

    file.resize(0);
    file.write("Cognome;Nome;Badge;Reparto;Qualifica;Assunzione\r\nAbate;Ugo;4001;Uffici;Impiegato;01/02/2024\r\n"
               "Zanni;Eva;4002;Uffici;Impiegato;01/02/2024\r\n");
    file.flush();
    f.amb.registro().avvisi.clear();
    frm->Importa(file.fileName());
    QCOMPARE(f.amb.registro().avvisi, QStringList());
    QCOMPARE(f.cognomi().first(), QStringLiteral("Abate"));
    QCOMPARE(f.cognomi().last(), QStringLiteral("Zanni"));

    frm->Importa(file.fileName() + QStringLiteral(".manca"));
    QCOMPARE(f.amb.registro().avvisi.size(), 1);
    QVERIFY(f.amb.registro().avvisi.first().startsWith(f.amb.dtm().TestoErrore(Msg::ErrImportLettura)));
}

void TstFrmAnagrafico::finestreA1024x768()
{
    // A 1024 x 768 screen less a panel and the window's own title bar and borders.
    const QSize schermo(1024 - 8, 768 - 28 - 32);
    Ambiente amb;
    TdtmAnagrafico anag(amb.dtm());
    TfrmAnagrafico frm(anag);
    TfrmAnagEdit editor(anag, anag.Nuovo());
    for (QWidget* w : {static_cast<QWidget*>(&frm), static_cast<QWidget*>(&editor)}) {
        w->ensurePolished();
        const QSize minima = w->minimumSizeHint().expandedTo(w->minimumSize());
        const QSize apre = w->testAttribute(Qt::WA_Resized) ? w->size() : w->sizeHint().expandedTo(minima);
        for (const QSize& s : {minima, apre})
            QVERIFY2(s.width() <= schermo.width() && s.height() <= schermo.height(),
                     qPrintable(QStringLiteral("%1 %2x%3").arg(w->objectName()).arg(s.width()).arg(s.height())));
    }
}

QTEST_MAIN(TstFrmAnagrafico)
#include "tst_frmanagrafico.moc"
