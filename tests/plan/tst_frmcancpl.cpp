// The "Cancellazione Dati" window driven as a clerk drives it: the choices stay as shown when
// the window is activated again, a selection that vanished deletes nothing, an inverted period
// is refused, and "Esegui" takes the safety copy before deleting.

#include "ambiente.h"
#include "dialetto.h"
#include "messaggi.h"
#include "tfrmcancpl.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// The search dialog answering what the test says, without showing anything.
struct DialogoFinto : DialogoQA {
    int Esegui(QWidget*, bool) override { return risultato; }
    static inline int risultato = TQALight::RisAnnullato;
};

// A radio button answers a click on its circle or its text only.
void scegli(QRadioButton* r)
{
    QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(6, r->height() / 2));
}

}  // namespace

class TstFrmCancPL : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TQALight::RegistraFabbrica([](TQALight&) { return std::make_unique<DialogoFinto>(); }); }
    void sceltePoiEsegui();
};

void TstFrmCancPL::sceltePoiEsegui()
{
    Ambiente amb;
    for (int id : {1, 2}) {
        amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:id, 'Rossi', 'Anna', 'D')"), {{"id", id}});
        amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (:id, :d, 'E')"),
                   {{"id", id}, {"d", Sql::dataOra(QDateTime(QDate(2026, 3, 2), QTime(8, 0)))}});
    }
    amb.dtm().mem().DataDa = QDateTime(QDate(2026, 3, 1), QTime(0, 0));
    amb.dtm().mem().DataA = QDateTime(QDate(2026, 3, 31), QTime(0, 0));
    TfrmCancPL frm(amb.dtm());
    frm.show();
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    auto* tutti = frm.findChild<QRadioButton*>(QStringLiteral("rbTutti"));
    auto* selezione = frm.findChild<QRadioButton*>(QStringLiteral("rbSelezione"));
    auto* timbrature = frm.findChild<QRadioButton*>(QStringLiteral("rbTimbrature"));
    auto* esegui = frm.findChild<QPushButton*>(QStringLiteral("btnEsegui"));
    QVERIFY(tutti->isChecked());
    QVERIFY(frm.findChild<QRadioButton*>(QStringLiteral("rbPiano"))->isChecked());
    QVERIFY(frm.findChild<QCheckBox*>(QStringLiteral("chkCopia"))->isChecked());

    // A search that returns nothing selects "Tutti" again.
    scegli(timbrature);
    scegli(selezione);
    QTRY_VERIFY(tutti->isChecked());
    // A search that returns a selection keeps it, and coming back from another window keeps
    // every choice as shown.
    DialogoFinto::risultato = TQALight::RisSelezione;
    scegli(selezione);
    QTRY_VERIFY(selezione->isChecked());
    QWidget altra;
    altra.show();
    QVERIFY(QTest::qWaitForWindowActive(&altra));
    frm.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    QVERIFY(selezione->isChecked());
    QVERIFY(timbrature->isChecked());

    // The selection table was never filled: nothing is deleted, and the message says why.
    QTest::mouseClick(esegui, Qt::LeftButton);
    QTRY_COMPARE(amb.registro().avvisi.size(), 1);
    QVERIFY2(amb.registro().avvisi.constLast().contains(amb.dtm().TestoErrore(Msg::ErrSelezioneScomparsa)), qPrintable(amb.registro().avvisi.constLast()));
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 2);

    // An inverted period is refused without asking.
    scegli(tutti);
    auto* al = frm.findChild<QLineEdit*>(QStringLiteral("edtAl"));
    al->selectAll();
    QTest::keyClicks(al, QStringLiteral("28022026"));
    QTest::mouseClick(esegui, Qt::LeftButton);
    QTRY_COMPARE(amb.registro().avvisi.size(), 2);
    QCOMPARE(amb.registro().avvisi.constLast(), amb.dtm().TestoErrore(Msg::ErrDateCancellazione));
    QCOMPARE(amb.registro().domande.size(), 1);

    // Asked, copied, deleted.
    al->selectAll();
    QTest::keyClicks(al, QStringLiteral("31032026"));
    QTest::mouseClick(esegui, Qt::LeftButton);
    QTRY_COMPARE(amb.conta(QStringLiteral("Timbrature")), 0);
    QCOMPARE(amb.registro().domande.size(), 2);
    QCOMPARE(amb.registro().avvisi.size(), 2);
    const QDir copie(QDir(amb.dir()).filePath(QStringLiteral("Copie")));
    const QStringList fatte = copie.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(fatte.size(), 1);
    QVERIFY(QFile::exists(copie.filePath(fatte.first() + QStringLiteral("/COPIA.INI"))));
    QVERIFY(QFile::exists(copie.filePath(fatte.first() + QStringLiteral("/DBPresenze.db"))));
}

QTEST_MAIN(TstFrmCancPL)
#include "tst_frmcancpl.moc"
