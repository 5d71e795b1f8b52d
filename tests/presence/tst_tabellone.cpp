// The presence board on real databases: the status of each punching mode in the hourly and
// the band view, who is on the board on a day (hiring, dismissal, two profiles), the category
// choice, descriptions and justification kinds, and the report's punch text and totals.

#include "ambiente.h"
#include "rptpreass.h"
#include "tabellone.h"

#include <QTest>

namespace {

const QDate kGiorno(2026, 12, 9);

// One employee hired on `assunto` (default 1 Jan 2020), with a profile until `fineProfilo`, a
// work-plan day with timetable `orario` (0: none) and his punches, given as "E0800 U1200",
// yesterday's with a leading "-".
void dipendente(Ambiente& amb, int id, const QString& modo, int orario, const QString& timbrature, QDate assunto = {},
                QDate licenziato = {}, QDate fineProfilo = {})
{
    amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Classe) VALUES (:id, :m, 'Rossi', :n, 'D')"),
               {{"id", id}, {"m", QStringLiteral("%1").arg(id, 10, 10, QLatin1Char('0'))}, {"n", QStringLiteral("N%1").arg(id)}});
    const QVariant inizio = Sql::data(assunto.isValid() ? assunto : QDate(2020, 1, 1));
    amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, DataFine, IdNomina, IdAzienda, IdPianta, IdRuolo, "
                              "DataAssunz, DataLicenz, ModalTimbra, Autorizzato, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, "
                              "InPeriodo4, InPeriodo5, GestReperib, UltElabVoci) "
                              "VALUES (:id, :i, :f, 1, 1, 1, 1, :i, :l, :modo, 'S', :i, :i, :i, :i, :i, :i, 'N', :i)"),
               {{"id", id}, {"i", inizio}, {"f", Sql::data(fineProfilo)}, {"l", Sql::data(licenziato)}, {"modo", modo}});
    amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario) VALUES (:id, :d, 0, :o)"),
               {{"id", id}, {"d", Sql::data(kGiorno)}, {"o", orario ? QVariant(orario) : QVariant(QMetaType(QMetaType::Int))}});
    for (QString t : timbrature.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QDate giorno = kGiorno;
        if (t.startsWith(QLatin1Char('-'))) {
            giorno = giorno.addDays(-1);
            t.remove(0, 1);
        }
        const QString quando = Sql::testoData(giorno).left(11) + t.mid(1, 2) + QLatin1Char(':') + t.mid(3, 2) + QStringLiteral(":00");
        amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO) VALUES (:id, :v, :v, :verso, :verso)"),
                   {{"id", id}, {"v", quando}, {"verso", t.left(1)}});
    }
}

}  // namespace

class TstTabellone : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void stato_data();
    void stato();
    void chiSta();
    void stampa_data();
    void stampa();

private:
    std::unique_ptr<Ambiente> m_amb;
    int m_ultimo = 0;
};

void TstTabellone::initTestCase()
{
    m_amb = std::make_unique<Ambiente>();
}

void TstTabellone::stato_data()
{
    QTest::addColumn<QString>("modo");
    QTest::addColumn<QString>("tipiche");  // "E0800 U1200"; a trailing letter is the day marker (else "A"); "-": no timetable
    QTest::addColumn<QString>("timbrature");
    QTest::addColumn<QString>("vista");    // "10:00" or "10:00-11:00"
    QTest::addColumn<QString>("atteso");

    const QString orario = QStringLiteral("E0800 U0900 E0930 U1200");
    QTest::newRow("entrato alle 8, ore 10") << "T" << orario << "E0800" << "10:00" << "PR";
    QTest::newRow("uscito in pausa prevista") << "T" << orario << "E0800 U0900" << "09:15" << "AR";
    QTest::newRow("uscito, dovrebbe essere rientrato") << "T" << orario << "E0800 U0900" << "09:45" << "AS";
    QTest::newRow("uscito senza orario") << "T" << "-" << "E0800 U0900" << "09:45" << "AS";
    QTest::newRow("turno di notte entrato ieri") << "T" << orario << "-E2200" << "06:00" << "PR";
    QTest::newRow("uscito ieri, orario lo attende") << "T" << orario << "-E1400 -U2200" << "08:30" << "AS";
    QTest::newRow("nessuna timbratura, orario dopo") << "T" << "E1400 U1800" << "" << "10:00" << "AS";
    QTest::newRow("fascia: nessuna timbratura, orario dopo la fascia") << "T" << "E1400 U1800" << "" << "10:00-11:00" << "AR";
    QTest::newRow("fascia: nessuna timbratura, orario prima della fine") << "T" << "E1030 U1800" << "" << "10:00-11:00" << "AS";
    QTest::newRow("entrata più tardi, orario senza tipiche") << "T" << "" << "E1400" << "10:00" << "AR";
    QTest::newRow("fascia: entrata dopo la fascia, orario senza tipiche") << "T" << "" << "E1400" << "10:00-11:00" << "AS";
    QTest::newRow("entrata più tardi, orario iniziato") << "T" << "E0800 U1700" << "E1400" << "10:00" << "AS";
    QTest::newRow("prima timbratura dopo è un'uscita") << "T" << orario << "U1200" << "10:00" << "PR";
    QTest::newRow("fascia: entrato alle 7:58, uscito alle 10:30") << "T" << orario << "E0758 U1030" << "10:00-11:00" << "AZ";
    QTest::newRow("fascia: entrato, nessuna timbratura dentro") << "T" << orario << "E0758 U1130" << "10:00-11:00" << "PR";
    QTest::newRow("fascia: uscito, rientro previsto dentro") << "T" << "E0800 U0900 E1030 U1200" << "E0800 U0900" << "10:00-11:00" << "AS";
    QTest::newRow("fascia: uscito, uscita prevista prima") << "T" << "E0800 U0915 E1300" << "E0800 U0900" << "09:30-11:00" << "AR";
    QTest::newRow("fascia: uscito, nulla previsto") << "T" << "E0800 U0900" << "E0800 U0900" << "10:00-11:00" << "AR";
    QTest::newRow("fascia: uscito ieri sera") << "T" << "E0800 U1700B" << "-E1400 -U2200" << "10:00-11:00" << "AR";
    QTest::newRow("fascia: uscito ieri, orario di notte") << "T" << "E0100 U0700B" << "-E0500 -U0600" << "10:00-11:00" << "AS";
    QTest::newRow("fascia: uscita dopo la fascia") << "T" << orario << "U1200" << "10:00-11:00" << "PR";
    QTest::newRow("fascia: entrata dentro la fascia") << "T" << orario << "E1015" << "10:00-11:00" << "AZ";
    QTest::newRow("solo presenza, timbrato") << "P" << orario << "E0700" << "10:00" << "PR";
    QTest::newRow("solo presenza, dopo l'ora") << "P" << orario << "E1100" << "10:00" << "AP";
    QTest::newRow("solo presenza, ieri non conta") << "P" << orario << "-E2200" << "10:00" << "AP";
    QTest::newRow("fascia: solo presenza, timbrato dentro") << "P" << orario << "E1030" << "10:00-11:00" << "PR";
    QTest::newRow("fascia: solo presenza, alla fine") << "P" << orario << "E1100" << "10:00-11:00" << "AP";
    QTest::newRow("esente") << "N" << orario << "" << "10:00" << "ES";
    QTest::newRow("fascia: esente") << "X" << orario << "U1030" << "10:00-11:00" << "ES";
}

void TstTabellone::stato()
{
    QFETCH(QString, modo);
    QFETCH(QString, tipiche);
    QFETCH(QString, timbrature);
    QFETCH(QString, vista);
    QFETCH(QString, atteso);
    const int id = ++m_ultimo;
    const bool conOrario = tipiche != QLatin1String("-");
    dipendente(*m_amb, id, modo, conOrario ? id : 0, timbrature);
    if (conOrario)
        for (const QString& t : tipiche.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            m_amb->esegui(QStringLiteral("INSERT INTO TimbTipo (IdOrario, Verso, Ore, Gio) VALUES (:o, :v, :ore, :g)"),
                          {{"o", id}, {"v", t.left(1)}, {"ore", t.mid(1, 2).toInt() * 60 + t.mid(3, 2).toInt()},
                           {"g", t.size() > 5 ? t.mid(5, 1) : QStringLiteral("A")}});
    ParametriTabellone p;
    p.Data = kGiorno;
    p.Fascia = vista.contains(QLatin1Char('-'));
    p.Ora = p.Dalle = QTime::fromString(vista.left(5), QStringLiteral("HH:mm"));
    p.Alle = QTime::fromString(vista.right(5), QStringLiteral("HH:mm"));
    Tabellone::Costruisci(m_amb->dtm(), p);
    QCOMPARE(m_amb->valore(QStringLiteral("SELECT Stato FROM ':dbPresUt:TPresAss' WHERE Id = :id"), {{"id", id}}).toString(), atteso);
}

void TstTabellone::chiSta()
{
    Ambiente amb;
    const QDate d = kGiorno;
    dipendente(amb, 1, QStringLiteral("T"), 1, QStringLiteral("E0800"));
    dipendente(amb, 2, QStringLiteral("T"), 0, QStringLiteral("E0800"), d.addDays(1));   // hired the day after
    dipendente(amb, 3, QStringLiteral("T"), 0, QStringLiteral("E0800"), {}, d.addDays(-1));  // dismissed the day before
    dipendente(amb, 4, QStringLiteral("T"), 0, {}, {}, d);  // dismissed that very day: still on the board
    // Two profiles: punching until the end of November, exempt from December.
    dipendente(amb, 5, QStringLiteral("T"), 0, {}, {}, {}, QDate(2026, 11, 30));
    amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, "
                              "ModalTimbra, Autorizzato, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, "
                              "GestReperib, UltElabVoci) VALUES (5, :i, 1, 1, 1, 1, :a, 'N', 'S', :i, :i, :i, :i, :i, :i, 'N', :i)"),
               {{"i", Sql::data(QDate(2026, 12, 1))}, {"a", Sql::data(QDate(2020, 1, 1))}});
    dipendente(amb, 6, QStringLiteral("P"), 0, {});
    for (const char* g : {"MA", "FE"})
        amb.esegui(QStringLiteral("INSERT INTO Giustif (IdDip, Data, TipoG) VALUES (1, :d, :g)"), {{"d", Sql::data(d)}, {"g", QLatin1String(g)}});

    ParametriTabellone p;
    p.Data = d;
    p.Ora = QTime(10, 0);
    const auto tabellone = [&](bool presenti, bool assenti, const QString& campo = QStringLiteral("Matricola")) {
        p.Presenti = presenti;
        p.Assenti = assenti;
        const int n = Tabellone::Costruisci(amb.dtm(), p);
        QStringList righe;
        for (const RigaTabellone& r : Tabellone::Righe(amb.dtm(), campo))
            righe << QStringLiteral("%1 %2 %3 %4 %5").arg(r.Id).arg(r.ModalTimbra, r.Stato, r.StatoEsteso, r.TipoG);
        return n == righe.size() ? righe.join(QLatin1Char('|')) : QStringLiteral("conteggio %1").arg(n);
    };
    QCOMPARE(tabellone(true, true),
             QStringLiteral("1 T PR Presente FE|4 T AS Assente |5 N ES Esente da timbratura |6 P AP Assente (nessuna timbratura) "));
    QCOMPARE(tabellone(true, false), QStringLiteral("1 T PR Presente FE|5 N ES Esente da timbratura "));
    QCOMPARE(tabellone(false, true), QStringLiteral("4 T AS Assente |6 P AP Assente (nessuna timbratura) "));
    // Sorted by the index of the clicked column; a column without one keeps the default order.
    QCOMPARE(tabellone(true, true, QStringLiteral("StatoEsteso")).section(QLatin1Char('|'), 0, 0), QStringLiteral("4 T AS Assente "));
    QCOMPARE(Tabellone::CampiIndice(QStringLiteral("StatoEsteso")), QStringList{QStringLiteral("StatoEsteso")});
    QVERIFY(Tabellone::CampiIndice(QStringLiteral("Dipendente")).isEmpty());

    // A selection: its table named as the employee query names it, with an extension.
    amb.esegui(QStringLiteral("DELETE FROM ':dbPresUt:TAnagCk'"));
    for (int id : {1, 2, 6})
        amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TAnagCk' (Id, Matricola, Cognome, Nome) SELECT Id, Matricola, Cognome, Nome "
                                  "FROM Anagrafico WHERE Id = :id"),
                   {{"id", id}});
    p.Selezione = QStringLiteral("TAnagCk.DB");
    QCOMPARE(tabellone(true, true), QStringLiteral("1 T PR Presente FE|6 P AP Assente (nessuna timbratura) "));

    // The report: only "PR" counts as present; the exempt employee is among the absent.
    p.Selezione.clear();
    tabellone(true, true);
    amb.dtm().CaricaMemoria();
    TrptPreAss rpt(amb.dtm());
    const DocumentoStampa doc = rpt.Crea(QStringLiteral("Situazione"), p, Tabellone::Righe(amb.dtm()));
    QCOMPARE(doc.righe.size(), 5);
    QCOMPARE(doc.righe.first().celle.at(3), amb.dtm().mem().LetteraE + QStringLiteral("08:00 "));
    QCOMPARE(doc.righe.last().celle, (QStringList{QStringLiteral("Totale Dipendenti Selezionati"), QStringLiteral("4"),
                                                  QStringLiteral("Totale Dipendenti Presenti"), QStringLiteral("1"),
                                                  QStringLiteral("Totale Dipendenti Assenti"), QStringLiteral("3")}));
    QVERIFY(doc.orizzontale);
    QCOMPARE(doc.titolo, QStringLiteral("Situazione del 09/12/2026"));
    QCOMPARE(doc.selezione, QStringLiteral("Situazione alle ore 10:00"));
}

void TstTabellone::stampa_data()
{
    QTest::addColumn<int>("timbrature");
    QTest::addColumn<QString>("atteso");
    const QString sette = QStringLiteral("E08:00 ");
    QTest::newRow("nessuna") << 0 << QString();
    QTest::newRow("dieci, intere") << 10 << sette.repeated(10);
    QTest::newRow("undici (77 caratteri): le prime 76") << 11 << sette.repeated(11).left(76);
    QTest::newRow("dodici: le prime 76 e l'asterisco") << 12 << sette.repeated(11).left(76) + QStringLiteral(" *");
}

void TstTabellone::stampa()
{
    QFETCH(int, timbrature);
    QFETCH(QString, atteso);
    QCOMPARE(TrptPreAss::Taglia(QStringLiteral("E08:00 ").repeated(timbrature)), atteso);
}

QTEST_MAIN(TstTabellone)
#include "tst_tabellone.moc"
