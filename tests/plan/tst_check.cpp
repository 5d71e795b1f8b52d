// The work-plan check window driven offscreen: it shows its progress over the work-plan
// window, which it disables while the check runs, and "&Annulla" pressed during the run
// really stops the inserts.

#include "ambiente.h"
#include "tfrmcheck.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

const QDate kInizio(2024, 3, 1);
const QDate kFine(2024, 3, 31);  // 31 days

// A company of employees, a stand-in for the work-plan window and the check window.
class Scenario {
public:
    explicit Scenario(int dipendenti)
    {
        for (int id = 1; id <= dipendenti; ++id)
            amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:Id, 'Verdi', :Nome, 'D')"),
                       {{"Id", id}, {"Nome", QStringLiteral("Dario %1").arg(id)}});
        piano.setGeometry(200, 150, 800, 600);
        piano.show();
        esposto = QTest::qWaitForWindowExposed(&piano);
    }

    int righe(int idDip)
    {
        return amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("IdDip = %1").arg(idDip));
    }
    QProgressBar* barra(const char* nome) { return chk.findChild<QProgressBar*>(QString::fromLatin1(nome)); }
    QPushButton* annulla() { return chk.findChild<QPushButton*>(QStringLiteral("btnAnnulla")); }

    Ambiente amb;
    QWidget piano;
    TfrmCheck chk{amb.dtm(), &piano};
    bool esposto = false;
};

// What the user sees while the check runs, taken when the employee-day bar moves.
struct Osservato {
    bool pianoAbilitato = true;
    bool visibile = false;
    bool inPrimoPiano = false;
    Qt::CursorShape cursore = Qt::ArrowCursor;
    Qt::CursorShape cursorePiano = Qt::ArrowCursor;
    Qt::CursorShape cursorePulsante = Qt::WaitCursor;
    QPoint centro;
    int giorniMassimo = 0;
};

}  // namespace

class TstCheck : public QObject {
    Q_OBJECT

private slots:
    void finestra();
    void finestraDellApplicazione();
    void annullaFermaGliInserimenti();
    void periodoCompleto();
    void periodoIncompleto();
};

void TstCheck::finestra()
{
    Scenario s(1);
    QVERIFY(s.esposto);
    QCOMPARE(s.chk.windowTitle(), QStringLiteral("Verifica Piano di Lavoro"));
    QVERIFY(s.chk.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(s.chk.windowFlags() & Qt::WindowStaysOnTopHint));
    QStringList etichette;
    for (QLabel* l : s.chk.findChildren<QLabel*>())
        if (!l->text().isEmpty())
            etichette << l->text();
    QCOMPARE(etichette, QStringList({"Verifica Piano Lavoro", "Aggiornamento Calendario"}));
    QLabel* immagine = s.chk.findChild<QLabel*>(QStringLiteral("imgCalendario"));
    QVERIFY(immagine && !immagine->pixmap().isNull());
    QCOMPARE(s.annulla()->text(), QStringLiteral("&Annulla"));
    // Small: it fits well inside the work-plan window it covers.
    QVERIFY(s.chk.width() < s.piano.width() / 2);
}

// With the work plan inside the main window, the check is a tool window of the main window:
// above it and with it, never above other programs, and live while the work plan is disabled.
void TstCheck::finestraDellApplicazione()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (1, 'Verdi', 'Dario', 'D')"));
    QWidget principale;
    auto* piano = new QWidget(&principale);
    principale.setGeometry(100, 100, 800, 600);
    piano->setGeometry(0, 0, 800, 600);
    principale.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principale));
    TfrmCheck chk(amb.dtm(), piano);
    bool visto = false;
    QObject::connect(chk.findChild<QProgressBar*>(QStringLiteral("barGiorni")), &QProgressBar::valueChanged, &chk, [&](int v) {
        if (v == 10)
            visto = chk.isWindow() && chk.parentWidget() == &principale && chk.isVisible() && chk.isEnabled() && !piano->isEnabled();
    });
    QVERIFY(chk.StartCheck(1, kInizio, kFine));
    QVERIFY(visto);
    QVERIFY(piano->isEnabled());
}

void TstCheck::annullaFermaGliInserimenti()
{
    Scenario s(4);  // 4 × 31 = 124 days to create
    Osservato visto;
    int premuto = 0;
    const auto collegamento = QObject::connect(s.barra("barGiorni"), &QProgressBar::valueChanged, &s.chk, [&](int v) {
        if (v != 100)
            return;
        visto.pianoAbilitato = s.piano.isEnabled();
        visto.visibile = s.chk.isVisible();
        visto.cursore = s.chk.cursor().shape();
        visto.cursorePiano = s.piano.cursor().shape();
        visto.cursorePulsante = s.annulla()->cursor().shape();
        visto.centro = s.chk.frameGeometry().center();
        visto.giorniMassimo = s.barra("barGiorni")->maximum();
        // The user presses the button as the bar reaches the 100th employee-day.
        QTest::mouseClick(s.annulla(), Qt::LeftButton);
        ++premuto;
    });

    QVERIFY(!s.chk.StartCheck(1, kInizio, kFine));

    QCOMPARE(premuto, 1);
    // The inserts stopped at once: the 100 days already created remain.
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 100);
    QCOMPARE(s.righe(1), 31);
    QCOMPARE(s.righe(3), 31);
    QCOMPARE(s.righe(4), 7);
    QVERIFY(!s.amb.db().inTransazione());

    // While it ran: the work-plan window disabled, the check centred over it and waiting,
    // except over the cancel button.
    QVERIFY(!visto.pianoAbilitato);
    QVERIFY(visto.visibile);
    QCOMPARE(visto.cursore, Qt::WaitCursor);
    QCOMPARE(visto.cursorePiano, Qt::WaitCursor);
    QCOMPARE(visto.cursorePulsante, Qt::ArrowCursor);
    QVERIFY((visto.centro - s.piano.frameGeometry().center()).manhattanLength() <= 2);
    QCOMPARE(visto.giorniMassimo, 124);

    // Afterwards: closed, the work-plan window usable again.
    QVERIFY(!s.chk.isVisible());
    QVERIFY(s.piano.isEnabled());
    QVERIFY(!s.chk.InCorso());
    QCOMPARE(s.piano.cursor().shape(), Qt::ArrowCursor);

    // The next check starts with the cancel cleared and completes the period.
    QObject::disconnect(collegamento);
    QVERIFY(s.chk.StartCheck(4, kInizio, kFine));
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 124);
}

void TstCheck::periodoCompleto()
{
    Scenario s(2);
    for (int g = 1; g <= 31; ++g)
        s.amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (1, :Data, 3)"), {{"Data", Sql::data(QDate(2024, 3, g))}});

    QVERIFY(s.chk.StartCheck(1, kInizio, kFine));

    // Decided on the current employee alone: nobody else's days are created.
    QCOMPARE(s.righe(2), 0);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("Stato = 3")), 31);
    QCOMPARE(s.barra("barGenerale")->value(), 30);
    QVERIFY(!s.chk.isVisible());
    QVERIFY(s.piano.isEnabled());
}

void TstCheck::periodoIncompleto()
{
    Scenario s(3);
    s.amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, Note) VALUES (2, :Data, 2, 'tenuta')"),
                 {{"Data", Sql::data(QDate(2024, 3, 10))}});

    QVERIFY(s.chk.StartCheck(1, kInizio, kFine));

    for (int id = 1; id <= 3; ++id)
        QCOMPARE(s.righe(id), 31);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("Stato = 1")), 92);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("Stato = 2 AND Note = 'tenuta'")), 1);
    QCOMPARE(s.barra("barGenerale")->value(), 100);
    QCOMPARE(s.barra("barGiorni")->value(), 93);
    QCOMPARE(s.barra("barGiorni")->maximum(), 93);
    QVERIFY(!s.chk.isVisible());
    QVERIFY(s.piano.isEnabled());
}

QTEST_MAIN(TstCheck)
#include "tst_check.moc"
