// The present/absent window and the board driven as a clerk drives them: at least one category
// stays ticked, a band that does not end after it starts is refused with 104 and opens nothing,
// only a confirmed selection keeps "Selezione"; the board sorts by the clicked column's index.

#include "ambiente.h"
#include "campoora.h"
#include "messaggi.h"
#include "tfrmpresenti.h"
#include "tfrmtabpres.h"
#include "tqalight.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

namespace {

struct DialogoFinto : DialogoQA {
    int Esegui(QWidget*, bool) override { return risultato; }
    static inline int risultato = TQALight::RisAnnullato;
};

// A check box or a radio button answers a click on its box or its text only.
void clic(QAbstractButton* b)
{
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

}  // namespace

class TstFrmPresenti : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TQALight::RegistraFabbrica([](TQALight&) { return std::make_unique<DialogoFinto>(); }); }
    void scelte();
    void tabellone();
};

void TstFrmPresenti::scelte()
{
    Ambiente amb;
    TfrmPresenti frm(amb.dtm());
    QList<ParametriTabellone> aperti;
    frm.setApriTabellone([&](const ParametriTabellone& p) { aperti << p; });
    frm.show();
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    auto* presenti = frm.findChild<QCheckBox*>(QStringLiteral("cbPresenti"));
    auto* assenti = frm.findChild<QCheckBox*>(QStringLiteral("cbAssenti"));
    auto* tutti = frm.findChild<QRadioButton*>(QStringLiteral("rbTutti"));
    auto* selezione = frm.findChild<QRadioButton*>(QStringLiteral("rbSelezione"));
    auto* dalle = frm.findChild<CampoOra*>(QStringLiteral("edtDalle"));
    auto* alle = frm.findChild<CampoOra*>(QStringLiteral("edtAlle"));
    auto* esegui = frm.findChild<QPushButton*>(QStringLiteral("btnEsegui"));
    QVERIFY(presenti->isChecked() && assenti->isChecked() && tutti->isChecked());
    QVERIFY(!dalle->isEnabled());

    // Unticking both ticks the other one again.
    clic(assenti);
    QTRY_VERIFY(!assenti->isChecked());
    clic(presenti);
    QTRY_VERIFY(assenti->isChecked());
    QVERIFY(!presenti->isChecked());

    // Only a confirmed selection keeps "Selezione".
    for (const int risultato : {int(TQALight::RisAnnullato), int(TQALight::RisTutti), int(TQALight::RisSelezione)}) {
        DialogoFinto::risultato = risultato;
        clic(tutti);
        QTRY_VERIFY(tutti->isChecked());
        clic(selezione);
        QTRY_COMPARE(selezione->isChecked(), risultato == TQALight::RisSelezione);
    }

    // Band view: an end not later than the start is refused on leaving "Alle" and by "Esegui".
    clic(frm.findChild<QRadioButton*>(QStringLiteral("rbFascia")));
    QTRY_VERIFY(dalle->isEnabled());
    dalle->setOra(QTime(8, 0));
    alle->setOra(QTime(7, 59));
    alle->setFocus();
    QTRY_VERIFY(alle->hasFocus());
    QTest::keyClick(alle, Qt::Key_Backtab);
    const QString errore104 = amb.dtm().TestoErrore(Msg::ErrOraNonSuccessiva);
    QTRY_COMPARE(amb.registro().avvisi.size(), 1);
    QVERIFY(amb.registro().avvisi.last().contains(errore104));
    QTRY_VERIFY(alle->hasFocus());
    alle->setOra(QTime(8, 0));
    QTest::mouseClick(esegui, Qt::LeftButton);
    QTRY_COMPARE(amb.registro().avvisi.size(), 2);
    QVERIFY(amb.registro().avvisi.last().contains(errore104));
    QVERIFY(aperti.isEmpty());

    alle->setOra(QTime(9, 30));
    QTest::mouseClick(esegui, Qt::LeftButton);
    QTRY_COMPARE(aperti.size(), 1);
    const ParametriTabellone p = aperti.first();
    QVERIFY(p.Fascia && p.Assenti && !p.Presenti);
    QCOMPARE(p.Alle, QTime(9, 30));
    QCOMPARE(p.Selezione, QStringLiteral("SelPresenti"));
}

void TstFrmPresenti::tabellone()
{
    Ambiente amb;
    const QVariant inizio = Sql::data(QDate(2020, 1, 1));
    for (const auto& [id, matricola, modo] : {std::tuple{1, "0000000002", "T"}, std::tuple{2, "0000000001", "N"}}) {
        amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Classe) VALUES (:id, :m, 'Rossi', 'Anna', 'D')"),
                   {{"id", id}, {"m", QLatin1String(matricola)}});
        amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, "
                                  "ModalTimbra, Autorizzato, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, "
                                  "GestReperib, UltElabVoci) VALUES (:id, :i, 1, 1, 1, 1, :i, :modo, 'S', :i, :i, :i, :i, :i, :i, 'N', :i)"),
                   {{"id", id}, {"i", inizio}, {"modo", QLatin1String(modo)}});
    }
    ParametriTabellone p;
    p.Data = QDate(2026, 12, 9);
    p.Ora = QTime(10, 0);
    TfrmTabPres tab(amb.dtm(), p);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    QTableWidget* g = tab.Griglia();
    const auto colonna = [g](int c) {
        QStringList t;
        for (int r = 0; r < g->rowCount(); ++r)
            t << g->item(r, c)->text();
        return t.join(QLatin1Char(','));
    };
    const auto titoli = [g] {
        QStringList t;
        for (int c = 0; c < g->columnCount(); ++c)
            t << g->horizontalHeaderItem(c)->text();
        return t.join(QLatin1Char(','));
    };
    QCOMPARE(titoli(), QStringLiteral("#Matricola,Dipendente,Stato"));
    QCOMPARE(colonna(2), QStringLiteral("Esente da timbratura,Assente"));
    // The name column has no index: nothing changes.
    QTest::mouseClick(g->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(g->horizontalHeader()->sectionViewportPosition(1) + 5, 5));
    QCOMPARE(titoli(), QStringLiteral("#Matricola,Dipendente,Stato"));
    QTest::mouseClick(g->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(g->horizontalHeader()->sectionViewportPosition(2) + 5, 5));
    QTRY_COMPARE(titoli(), QStringLiteral("Matricola,Dipendente,#Stato"));
    QCOMPARE(colonna(2), QStringLiteral("Assente,Esente da timbratura"));
}

QTEST_MAIN(TstFrmPresenti)
#include "tst_frmpresenti.moc"
