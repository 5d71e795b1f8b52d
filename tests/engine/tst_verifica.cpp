// The work-plan check on real databases: it decides on the current employee's days alone,
// fills every employee's gaps in state 1, leaves existing days alone, honours a cancel
// and reports its progress through the hooks the check window draws.

#include "ambiente.h"
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
// with every hook recorded.
class Scenario {
public:
    explicit Scenario(int dipendenti)
    {
        for (int id = 1; id <= dipendenti; ++id)
            amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:Id, :Cognome, :Nome, :Classe)"),
                       {{"Id", id}, {"Cognome", QStringLiteral("Bianchi")}, {"Nome", QStringLiteral("Anna %1").arg(id)}, {"Classe", QStringLiteral("D")}});
        amb.dtm().IdDipCorrente = kDip;
        verifica.barraGenerale = [this](int v) { generale << v; };
        verifica.barraGiorni = [this](int v, int massimo) {
            giorni << v;
            if (v > 0)
                massimi << massimo;
        };
        verifica.eventi = [this] { ++eventi; };
        verifica.abilitaPiano = [this](bool b) { abilitazioni << b; };
    }

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
    VerificaPiano verifica{amb.dtm()};
    QList<int> generale;
    QList<int> giorni;
    QList<int> massimi;
    int eventi = 0;
    QList<bool> abilitazioni;
};

}  // namespace

class TstVerifica : public QObject {
    Q_OBJECT

private slots:
    void periodoCompleto();
    void periodoIncompleto();
    void senzaGanci();
    void annullaDopoCento_data();
    void annullaDopoCento();
};

void TstVerifica::periodoCompleto()
{
    Scenario s(3);
    for (int g = 1; g <= 31; ++g)
        s.giorno(kDip, marzo(g), 3, 7);
    s.giorno(2, marzo(10), 2);  // another employee's gaps are not looked at

    QVERIFY(s.verifica.StartCheck(kInizio, kFine));

    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 32);
    QCOMPARE(s.righe(2), 1);
    QCOMPARE(s.righe(3), 0);
    QCOMPARE(s.verifica.GiorniCreati(), 0);
    QCOMPARE(s.generale, QList<int>({20, 30}));
    QCOMPARE(s.giorni, QList<int>{0});
    QCOMPARE(s.abilitazioni, QList<bool>({false, true}));
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

    QVERIFY(s.verifica.StartCheck(kInizio, kFine));

    for (int id = 1; id <= 3; ++id)
        QCOMPARE(s.righe(id), 31);
    // 1 + 29 + 31 new days, nothing else.
    QCOMPARE(s.verifica.GiorniCreati(), 61);
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

    // Progress: 20 and 30 before the decision, 40 for each employee, 100 at the end; the
    // employee-day bar starts at 0 and counts every date of every employee, 3 × 31.
    QCOMPARE(s.generale, QList<int>({20, 30, 40, 40, 40, 100}));
    QList<int> attesi{0};
    for (int v = 1; v <= 93; ++v)
        attesi << v;
    QCOMPARE(s.giorni, attesi);
    QCOMPARE(s.massimi, QList<int>(93, 93));
    // Pending events run once at the start and once before every insert.
    QCOMPARE(s.eventi, 1 + 93);
    QCOMPARE(s.abilitazioni, QList<bool>({false, true}));
    QVERIFY(!s.amb.db().inTransazione());
}

void TstVerifica::senzaGanci()
{
    Scenario s(2);
    s.verifica.barraGenerale = nullptr;
    s.verifica.barraGiorni = nullptr;
    s.verifica.eventi = nullptr;
    s.verifica.abilitaPiano = nullptr;

    QVERIFY(s.verifica.StartCheck(marzo(1), marzo(10)));

    QCOMPARE(s.righe(1, marzo(1), marzo(10)), 10);
    QCOMPARE(s.righe(2, marzo(1), marzo(10)), 10);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 20);
}

void TstVerifica::annullaDopoCento_data()
{
    QTest::addColumn<bool>("daEventi");

    // Pressed while pending events run, once 100 days exist.
    QTest::newRow("annulla durante gli eventi") << true;
    // Pressed as the bar shows the 100th employee-day, whose insert then completes.
    QTest::newRow("annulla sulla barra dei giorni") << false;
}

void TstVerifica::annullaDopoCento()
{
    QFETCH(bool, daEventi);

    Scenario s(4);  // 4 × 31 = 124 days to create
    if (daEventi) {
        s.verifica.eventi = [&s] {
            ++s.eventi;
            if (s.verifica.GiorniCreati() == 100)
                s.verifica.Annulla();
        };
    } else {
        s.verifica.barraGiorni = [&s](int v, int) {
            s.giorni << v;
            if (v == 100)
                s.verifica.Annulla();
        };
    }

    QVERIFY(!s.verifica.StartCheck(kInizio, kFine));

    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 100);
    QCOMPARE(s.verifica.GiorniCreati(), 100);
    QVERIFY(!s.amb.db().inTransazione());
    // Employees are filled in turn: three complete, the fourth up to the 7th.
    QCOMPARE(s.righe(1), 31);
    QCOMPARE(s.righe(2), 31);
    QCOMPARE(s.righe(3), 31);
    QCOMPARE(s.righe(4), 7);
    QCOMPARE(s.righe(4, marzo(1), marzo(7)), 7);
    QCOMPARE(s.righeNuove(), 100);
    QCOMPARE(s.generale, QList<int>({20, 30, 40, 40, 40, 40, 100}));
    QCOMPARE(s.abilitazioni, QList<bool>({false, true}));

    // The current employee's period is complete: the next check creates nothing.
    s.verifica.eventi = nullptr;
    s.verifica.barraGiorni = nullptr;
    QVERIFY(s.verifica.StartCheck(kInizio, kFine));
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 100);
    // With the fourth employee current, it starts with the cancel flag cleared and
    // completes the period.
    s.amb.dtm().IdDipCorrente = 4;
    QVERIFY(s.verifica.StartCheck(kInizio, kFine));
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 124);
    QCOMPARE(s.verifica.GiorniCreati(), 24);
}

QTEST_GUILESS_MAIN(TstVerifica)
#include "tst_verifica.moc"
