// The work-plan check on real databases: it decides on the given employee's days alone,
// fills every employee's gaps in state 1, leaves existing days alone, honours a cancel
// and reports its progress through the progress interface the check window implements.

#include "ambiente.h"
#include "avanzamento.h"
#include "verificapiano.h"

#include <QSqlQuery>
#include <QTest>

namespace {

constexpr int kDip = 1;
const QDate kInizio(2024, 3, 1);
const QDate kFine(2024, 3, 31);  // 31 days

QDate marzo(int giorno)
{
    return QDate(2024, 3, giorno);
}

// A company of employees (no profiles: the check does not look at them) and the check
// with its progress recorded.
class Scenario {
public:
    explicit Scenario(int dipendenti)
    {
        for (int id = 1; id <= dipendenti; ++id)
            amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:Id, :Cognome, :Nome, :Classe)"),
                       {{"Id", id}, {"Cognome", QStringLiteral("Bianchi")}, {"Nome", QStringLiteral("Anna %1").arg(id)}, {"Classe", QStringLiteral("D")}});
    }

    bool verifica(int idDip = kDip) { return verificaPiano.StartCheck(idDip, kInizio, kFine, avanzamento); }

    void giorno(int idDip, const QDate& d, int stato, const QVariant& idOrario = {})
    {
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario, ValOrdinario) VALUES (:IdDip, :Data, :Stato, :IdOrario, :Ord)"),
                   {{"IdDip", idDip}, {"Data", Sql::data(d)}, {"Stato", stato}, {"IdOrario", idOrario}, {"Ord", 480}});
    }

    int righe(int idDip, const QDate& da = kInizio, const QDate& a = kFine)
    {
        return amb.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE IdDip = :IdDip AND Data >= :Da AND Data <= :A"),
                          {{"IdDip", idDip}, {"Da", Sql::data(da)}, {"A", Sql::data(a)}})
            .toInt();
    }

    // Rows that look exactly as the check creates them: state 1, everything else empty.
    int righeNuove()
    {
        return amb.conta(QStringLiteral("PianoSomma"),
                         QStringLiteral("Stato = 1 AND IdOrario IS NULL AND ValOrdinario IS NULL AND ValEccedenza IS NULL AND "
                                        "ValPresenza IS NULL AND ValCarenza IS NULL AND Note IS NULL"));
    }

    Ambiente amb;
    VerificaPiano verificaPiano{amb.dtm()};
    AvanzamentoRegistro avanzamento;
};

const QString kDecisione = QStringLiteral("Inizia Verifica piano di lavoro 1");

}  // namespace

class TstVerifica : public QObject {
    Q_OBJECT

private slots:
    void periodoCompleto();
    void periodoIncompleto();
    void annullaDopoCento();
};

void TstVerifica::periodoCompleto()
{
    Scenario s(3);
    for (int g = 1; g <= 31; ++g)
        s.giorno(kDip, marzo(g), 3, 7);
    s.giorno(2, marzo(10), 2);  // another employee's gaps are not looked at
    s.amb.dtm().IdDipCorrente = 2;  // nor is the work plan's current employee

    QVERIFY(s.verifica());

    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 32);
    QCOMPARE(s.righe(2), 1);
    QCOMPARE(s.righe(3), 0);
    QCOMPARE(s.verificaPiano.GiorniCreati(), 0);
    QCOMPARE(s.avanzamento.chiamate, QStringList({kDecisione, QStringLiteral("Valore 1"), QStringLiteral("Termina")}));
    // Nothing to create, nothing to cancel.
    QCOMPARE(s.avanzamento.domande, 0);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("Stato = 3 AND IdOrario = 7")), 31);
}

void TstVerifica::periodoIncompleto()
{
    Scenario s(3);
    for (int g = 1; g <= 31; ++g)
        if (g != 15)
            s.giorno(kDip, marzo(g), 3, 7);
    s.giorno(2, marzo(1), 2, 9);
    s.giorno(2, marzo(31), 3);
    s.giorno(3, QDate(2024, 2, 29), 1);  // outside the period

    QVERIFY(s.verifica());

    for (int id = 1; id <= 3; ++id)
        QCOMPARE(s.righe(id), 31);
    // 1 + 29 + 31 new days, nothing else.
    QCOMPARE(s.verificaPiano.GiorniCreati(), 61);
    QCOMPARE(s.righeNuove(), 61);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 94);
    QCOMPARE(s.amb.valore(QStringLiteral("SELECT Stato FROM PianoSomma WHERE IdDip = :IdDip AND Data = :Data"),
                          {{"IdDip", kDip}, {"Data", Sql::data(marzo(15))}})
                 .toInt(),
             1);
    // The existing days are untouched.
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("IdDip = 1 AND Stato = 3 AND IdOrario = 7 AND ValOrdinario = 480")), 30);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("IdDip = 2 AND Stato = 2 AND IdOrario = 9 AND ValOrdinario = 480")), 1);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("IdDip = 2 AND Stato = 3 AND IdOrario IS NULL AND ValOrdinario = 480")), 1);
    QCOMPARE(s.righe(3, QDate(2024, 2, 1), QDate(2024, 2, 29)), 1);

    // Progress: the decision, then a phase counting every date of every employee, 3 × 31,
    // with the cancel asked before every insert.
    QCOMPARE(s.avanzamento.chiamate.mid(0, 3),
             QStringList({kDecisione, QStringLiteral("Valore 1"), QStringLiteral("Inizia Aggiornamento calendario 93")}));
    QCOMPARE(s.avanzamento.chiamate.last(), QStringLiteral("Termina"));
    QList<int> attesi{1};
    for (int v = 1; v <= 93; ++v)
        attesi << v;
    QCOMPARE(s.avanzamento.valori, attesi);
    QCOMPARE(s.avanzamento.domande, 93);
    QVERIFY(!s.amb.db().inTransazione());
}

void TstVerifica::annullaDopoCento()
{
    Scenario s(4);  // 4 × 31 = 124 days to create
    // The user presses "Annulla" once 100 days exist: the next question stops the inserts.
    s.avanzamento.annullaDopo = 101;

    QVERIFY(!s.verifica());

    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 100);
    QCOMPARE(s.verificaPiano.GiorniCreati(), 100);
    QVERIFY(!s.amb.db().inTransazione());
    // Employees are filled in turn: three complete, the fourth up to the 7th.
    QCOMPARE(s.righe(1), 31);
    QCOMPARE(s.righe(2), 31);
    QCOMPARE(s.righe(3), 31);
    QCOMPARE(s.righe(4), 7);
    QCOMPARE(s.righe(4, marzo(1), marzo(7)), 7);
    QCOMPARE(s.righeNuove(), 100);
    QCOMPARE(s.avanzamento.valori.last(), 100);
    QCOMPARE(s.avanzamento.chiamate.last(), QStringLiteral("Termina"));

    // The first employee's period is complete: the next check creates nothing.
    s.avanzamento = AvanzamentoRegistro();
    QVERIFY(s.verifica());
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 100);
    // Decided on the fourth employee, it completes the period.
    QVERIFY(s.verifica(4));
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 124);
    QCOMPARE(s.verificaPiano.GiorniCreati(), 24);
}

QTEST_GUILESS_MAIN(TstVerifica)
#include "tst_verifica.moc"
