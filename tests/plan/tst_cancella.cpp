// The bulk deletion: each kind's effect on punches, days and anomalies at the period's edges,
// the employee table read first, and a failure in the middle of a run.

#include "ambiente.h"
#include "avanzamento.h"
#include "cancelladati.h"
#include "dialetto.h"
#include "tdtmpresenze.h"

#include <QSqlQuery>
#include <QTest>

using CancellaDati::Tipo;

namespace {

const QDate kDal(2024, 3, 4);
const QDate kAl(2024, 3, 5);


QVariant utc(const char* testo)
{
    return Sql::dataOra(QDateTime::fromString(QString::fromLatin1(testo), QStringLiteral("yyyy-MM-dd hh:mm")));
}

void persona(Ambiente& amb, int id, const char* cognome)
{
    amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:id, :c, 'Test', 'D')"),
               {{"id", id}, {"c", QString::fromLatin1(cognome)}});
}

// Punches (valid time, original time) and processed days around the period 4-5 March.
void dati(Ambiente& amb, int id)
{
    const std::pair<const char*, const char*> timbrature[] = {
        {"2024-03-03 23:59", "2024-03-03 23:59"}, {"2024-03-04 00:00", "2024-03-04 00:00"},
        {"2024-03-05 10:00", "2024-03-06 10:00"},  // moved into the period: it goes
        {"2024-03-05 23:59", "2024-03-05 23:59"}, {"2024-03-06 00:00", "2024-03-06 00:00"},
        {"2024-03-06 08:00", "2024-03-05 08:00"},  // only its original time inside: it stays
    };
    for (const auto& [v, o] : timbrature)
        amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO) VALUES (:id, :v, :o, 'E', 'E')"),
                   {{"id", id}, {"v", utc(v)}, {"o", utc(o)}});
    for (int g = 3; g <= 6; ++g) {
        const QVariant giorno = Sql::data(QDate(2024, 3, g));
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario, ValOrdinario, ValEccedenza, ValPresenza, "
                                  "ValCarenza, Note) VALUES (:id, :d, 3, 1, 480, 10, 490, 0, 'Ferie')"),
                   {{"id", id}, {"d", giorno}});
        amb.esegui(QStringLiteral("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, IdSegnalaz) VALUES (:id, :d, 1, 5)"),
                   {{"id", id}, {"d", giorno}});
    }
}

QStringList timbrature(Ambiente& amb, int id)
{
    QStringList l;
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT DataV FROM Timbrature WHERE IdDip = :id ORDER BY DataV"), {{"id", id}});
    while (q.next())
        l << Sql::leggiDataOra(q.value(0)).toString(QStringLiteral("dd hh:mm"));
    return l;
}

// "day:state" of each work-plan day, "-" after the state when its figures and note are empty,
// "a" when the day still has recorded anomalies.
QStringList giorni(Ambiente& amb, int id)
{
    QStringList l;
    QSqlQuery q = amb.db().esegui(
        QStringLiteral("SELECT PianoSomma.Data, Stato, IdOrario, ValOrdinario, ValEccedenza, ValPresenza, ValCarenza, Note,"
                       " (SELECT COUNT(*) FROM AnomalieGiorno WHERE AnomalieGiorno.IdDip = PianoSomma.IdDip AND"
                       "  AnomalieGiorno.Data = PianoSomma.Data)"
                       " FROM PianoSomma WHERE IdDip = :id ORDER BY PianoSomma.Data"),
        {{"id", id}});
    while (q.next()) {
        bool vuoto = true;
        for (int c = 2; c <= 7; ++c)
            vuoto = vuoto && q.isNull(c);
        l << QStringLiteral("%1:%2%3%4")
                 .arg(Sql::leggiData(q.value(0)).day())
                 .arg(q.value(1).toInt())
                 .arg(vuoto ? QStringLiteral("-") : QString())
                 .arg(q.value(8).toInt() > 0 ? QStringLiteral("a") : QString());
    }
    return l;
}

}  // namespace

class TstCancella : public QObject {
    Q_OBJECT
private slots:
    void tipi_data();
    void tipi();
    void tabellaDipendenti();
    void guastoAMeta_data();
    void guastoAMeta();
};

void TstCancella::tipi_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QDate>("al");
    QTest::addColumn<QStringList>("timbratureRestano");
    QTest::addColumn<QStringList>("giorniRestano");

    const QStringList fuori = {"03 23:59", "06 00:00", "06 08:00"};
    QTest::newRow("timbrature: giorni azzerati, restano") << int(Tipo::Timbrature) << kAl << fuori
                                                          << QStringList{"3:3a", "4:1-", "5:1-", "6:3a"};
    QTest::newRow("piano: giorni tolti") << int(Tipo::Piano) << kAl << fuori << QStringList{"3:3a", "6:3a"};
    QTest::newRow("un giorno solo: da 00:00 a 00:00 del giorno dopo")
        << int(Tipo::Piano) << kDal << QStringList{"03 23:59", "05 10:00", "05 23:59", "06 00:00", "06 08:00"}
        << QStringList{"3:3a", "5:3a", "6:3a"};
    QTest::newRow("completa: tutto, qualunque periodo") << int(Tipo::Completa) << kAl << QStringList() << QStringList();
}

void TstCancella::tipi()
{
    QFETCH(int, tipo);
    QFETCH(QDate, al);
    QFETCH(QStringList, timbratureRestano);
    QFETCH(QStringList, giorniRestano);
    Ambiente amb;
    persona(amb, 1, "Rossi");
    persona(amb, 2, "Bianchi");
    dati(amb, 1);
    dati(amb, 2);
    amb.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES ('0000000345', :d, 1)"),
               {{"d", utc("2020-01-01 00:00")}});
    const QStringList timbratureDi2 = timbrature(amb, 2);
    const QStringList giorniDi2 = giorni(amb, 2);

    const CancellaDati::Conteggio previsto = CancellaDati::Prevedi(amb.dtm(), Tipo(tipo), {1}, kDal, al);
    AvanzamentoRegistro avanzamento;
    const CancellaDati::Esito e = CancellaDati::Esegui(amb.dtm(), Tipo(tipo), {1}, kDal, al, avanzamento, QStringLiteral("canc"));
    QVERIFY(e.ok());
    QCOMPARE(timbrature(amb, 1), timbratureRestano);
    QCOMPARE(giorni(amb, 1), giorniRestano);
    // The forecast counts exactly what the run then deleted.
    QCOMPARE(e.cancellati.timbrature, qint64(6 - timbratureRestano.size()));
    QCOMPARE(previsto.timbrature, e.cancellati.timbrature);
    QCOMPARE(previsto.giorni, e.cancellati.giorni);
    QCOMPARE(previsto.dipendenti, 1);
    QCOMPARE(e.cancellati.dipendenti, 1);
    const bool completa = Tipo(tipo) == Tipo::Completa;
    QCOMPARE(amb.conta(QStringLiteral("Anagrafico"), QStringLiteral("Id = 1")), completa ? 0 : 1);
    QCOMPARE(amb.conta(QStringLiteral("Badge")), completa ? 0 : 1);
    QCOMPARE(amb.conta(QStringLiteral("AnomalieGiorno"), QStringLiteral("IdDip = 1")), completa ? 0 : 4 - (al == kAl ? 2 : 1));
    // The other employee is untouched.
    QCOMPARE(timbrature(amb, 2), timbratureDi2);
    QCOMPARE(giorni(amb, 2), giorniDi2);
}

void TstCancella::tabellaDipendenti()
{
    Ambiente amb;
    for (int id : {3, 1, 2})
        persona(amb, id, "X");
    QCOMPARE(CancellaDati::Dipendenti(amb.dtm()), (QList<int>{1, 2, 3}));
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TAnagCk' (Id, Cognome) VALUES (3, 'X'), (1, 'X')"));
    QCOMPARE(CancellaDati::Dipendenti(amb.dtm(), QStringLiteral("TAnagCk.DB"), true), (QList<int>{1, 3}));
    // A selection table that vanished, or a name that is no name, is an error, never all employees.
    QVERIFY_THROWS_EXCEPTION(ErroreDb, CancellaDati::Dipendenti(amb.dtm(), QStringLiteral("TAnagSparita"), true));
    QVERIFY_THROWS_EXCEPTION(ErroreDb, CancellaDati::Dipendenti(amb.dtm(), QStringLiteral("Anagrafico; DROP"), false));
}

void TstCancella::guastoAMeta_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("tabella");
    QTest::newRow("piano: i giorni rifiutano") << int(Tipo::Piano) << QStringLiteral("PianoSomma");
    QTest::newRow("completa: l'anagrafico rifiuta") << int(Tipo::Completa) << QStringLiteral("Anagrafico");
}

void TstCancella::guastoAMeta()
{
    QFETCH(int, tipo);
    QFETCH(QString, tabella);
    Ambiente amb;
    const char* cognomi[] = {"Rossi", "D'Amico", "Verdi"};
    for (int id = 1; id <= 3; ++id) {
        persona(amb, id, cognomi[id - 1]);
        dati(amb, id);
    }
    const QString campo = tabella == QLatin1String("Anagrafico") ? QStringLiteral("Id") : QStringLiteral("IdDip");
    amb.rifiuta(QStringLiteral("guasto"), tabella, QStringLiteral("DELETE"), QStringLiteral("OLD.%1 = 2").arg(campo),
                QStringLiteral("guasto simulato"));
    const QStringList timbrature2 = timbrature(amb, 2), giorni2 = giorni(amb, 2);

    AvanzamentoRegistro avanzamento;
    const CancellaDati::Esito e = CancellaDati::Esegui(amb.dtm(), Tipo(tipo), {1, 2, 3}, kDal, kAl, avanzamento, QStringLiteral("canc"));
    QVERIFY(!e.ok());
    QCOMPARE(e.idErrore, 2);
    QVERIFY2(e.dipendente.contains(QLatin1String("D'Amico")) && e.dipendente.contains(QLatin1String("Id 2")), qPrintable(e.dipendente));
    QVERIFY2(e.errore.contains(QLatin1String("guasto simulato")), qPrintable(e.errore));
    QCOMPARE(e.cancellati.dipendenti, 1);
    // The first employee went, the second is exactly as before, the third was never reached.
    QCOMPARE(timbrature(amb, 1).size(), Tipo(tipo) == Tipo::Completa ? 0 : 3);
    QCOMPARE(timbrature(amb, 2), timbrature2);
    QCOMPARE(giorni(amb, 2), giorni2);
    QCOMPARE(timbrature(amb, 3).size(), 6);
    QCOMPARE(amb.conta(QStringLiteral("Anagrafico")), Tipo(tipo) == Tipo::Completa ? 2 : 3);
}

QTEST_GUILESS_MAIN(TstCancella)
#include "tst_cancella.moc"
