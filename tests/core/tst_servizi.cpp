// The shared services of the main data module: next ids, numbered messages in the user's
// language, code lists, the application memory, the time texts, and what opening does to
// the private folder and the current employee.

#include "ambiente.h"
#include "fileini.h"
#include "messaggi.h"
#include "tdtmpresenze.h"
#include "testiora.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kInglese = "[Language]\r\nLingua=ENGLISH\r\n";

bool scriviFile(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(dati) == dati.size();
}

QStringList codiciDi(const QList<CodiceDescr>& l)
{
    QStringList r;
    for (const CodiceDescr& c : l)
        r << c.codice;
    return r;
}

QStringList descrizioniDi(const QList<CodiceDescr>& l)
{
    QStringList r;
    for (const CodiceDescr& c : l)
        r << c.descr;
    return r;
}

}  // namespace

class TstServizi : public QObject {
    Q_OBJECT

private slots:
    void nuovoIdTabellaVuota();
    void nuovoIdDopoIlMassimo();
    void nuovoIdNomeNonValido_data();
    void nuovoIdNomeNonValido();
    void nuovoIdTabellaSenzaId();
    void nuovoIdDaDueProcessi();
    void connessioneInterrotta();

    void messaggioMancanteMostraIlNumero();
    void messaggiNellaLinguaDellUtente();
    void messaggiTabellaGiusta();
    void chiediRisposteSiNo();

    void codiciListaSenzaRighe();
    void codiciInOrdineDiCodice();
    void codiciDellaLingua();

    void memoriaApplicazione();
    void memoriaLettereNellaLingua();
    void memoriaSenzaVersi();
    void memoriaSenzaAziendaEConfigGen();

    void minutiInOre_data();
    void minutiInOre();
    void minutiInOrario_data();
    void minutiInOrario();
    void formatoOra_data();
    void formatoOra();
    void tokenTimbratura_data();
    void tokenTimbratura();
    void tokenTimbraturaNellaLingua();
    void oraDaTesto_data();
    void oraDaTesto();
    void orologioMinuti_data();
    void orologioMinuti();

    void cartellaPrivataSvuotata();
    void cartellaPrivataCreata();
    void dipendenteCorrenteDopoApertura();
    void oggiIniettato();
};

// ---------------------------------------------------------------------------------------
// NuovoId

void TstServizi::nuovoIdTabellaVuota()
{
    Ambiente amb;
    QCOMPARE(amb.conta(QStringLiteral("Turni")), 0);
    QCOMPARE(amb.dtm().NuovoId(QStringLiteral("Turni")), 1);
    QCOMPARE(amb.dtm().NuovoId(QStringLiteral("OrariRep")), 1);
}

void TstServizi::nuovoIdDopoIlMassimo()
{
    Ambiente amb;
    // The highest id inserted first, and gaps below it: the next id follows the highest.
    for (int id : {41, 3, 17, 1})
        amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:id, 'Rossi', 'Anna', 'D')"), {{"id", id}});
    QCOMPARE(amb.dtm().NuovoId(QStringLiteral("Anagrafico")), 42);
    // It is the maximum, not the count, and it does not reserve anything.
    QCOMPARE(amb.dtm().NuovoId(QStringLiteral("Anagrafico")), 42);
    amb.esegui(QStringLiteral("DELETE FROM Anagrafico WHERE Id = 41"));
    QCOMPARE(amb.dtm().NuovoId(QStringLiteral("Anagrafico")), 18);
}

void TstServizi::nuovoIdNomeNonValido_data()
{
    QTest::addColumn<QString>("nome");
    QTest::newRow("vuoto") << "";
    QTest::newRow("una seconda istruzione") << "Turni; DROP TABLE Anagrafico";
    QTest::newRow("una condizione") << "Turni WHERE 1=0";
    QTest::newRow("tra apici") << "'Turni'";
    QTest::newRow("inizia con una cifra") << "1Turni";
}

void TstServizi::nuovoIdNomeNonValido()
{
    QFETCH(QString, nome);
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (5, 'Giornaliero', 7)"));
    bool errore = false;
    try {
        amb.dtm().NuovoId(nome);
    } catch (const ErroreDb&) {
        errore = true;
    }
    QVERIFY(errore);
    QCOMPARE(amb.conta(QStringLiteral("Anagrafico")), 0);
    QCOMPARE(amb.conta(QStringLiteral("Turni")), 1);
    QVERIFY(amb.db().tabelleEsistenti(false).contains(QStringLiteral("Anagrafico"), Qt::CaseInsensitive));
}

// Two workstations registering at the same moment: every row gets an id of its own and
// none is lost, however their transactions interleave.
void TstServizi::nuovoIdDaDueProcessi()
{
    Ambiente amb;
    constexpr int kRighe = 400;
    // Both start writing together, once both have opened the database.
    const QString via = QDir(amb.dir()).filePath(QStringLiteral("via"));
    std::vector<std::unique_ptr<QProcess>> processi;
    for (int i = 0; i < 2; ++i) {
        processi.push_back(std::make_unique<QProcess>());
        processi.back()->start(QStringLiteral(QUORLIN_PROVA_NUOVOID), {amb.fileIni(), QString::number(kRighe), via});
    }
    for (auto& p : processi)
        QVERIFY(p->waitForStarted(30000));
    QVERIFY(scriviFile(via, "via\n"));
    for (auto& p : processi) {
        QVERIFY(p->waitForFinished(240000));
        QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0, p->readAllStandardError().constData());
    }
    QCOMPARE(amb.conta(QStringLiteral("AnagMod")), 2 * kRighe);
    QCOMPARE(amb.valore(QStringLiteral("SELECT COUNT(DISTINCT Id) FROM AnagMod")).toInt(), 2 * kRighe);
    QCOMPARE(amb.valore(QStringLiteral("SELECT MIN(Id) FROM AnagMod")).toInt(), 1);
    QCOMPARE(amb.valore(QStringLiteral("SELECT MAX(Id) FROM AnagMod")).toInt(), 2 * kRighe);
    QCOMPARE(amb.valore(QStringLiteral("SELECT COUNT(*) FROM AnagMod GROUP BY NumClient ORDER BY 1 LIMIT 1")).toInt(), kRighe);
}

// A server that goes away in the middle of a transaction: the error says so, what was
// committed before is there once the server is back, the rest is not. An embedded database
// has no sessions to end: its transaction goes on.
void TstServizi::connessioneInterrotta()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO AnagMod (Id, TipoOp) VALUES (1, 'I')"));
    Database& db = amb.db();
    bool persa = false;
    try {
        Transazione t(db);
        db.esegui(QStringLiteral("INSERT INTO AnagMod (Id, TipoOp) VALUES (2, 'I')"));
        Database::chiudiSessioniAltrui(db.connessioneAperta());
        db.esegui(QStringLiteral("INSERT INTO AnagMod (Id, TipoOp) VALUES (3, 'I')"));
        t.conferma();
    } catch (const ErroreDb& e) {
        persa = e.connessionePersa();
        amb.dtm().MostraErroreDb(e);
    }
    QCOMPARE(persa, Banco::suServer());
    QVERIFY(!db.inTransazione());
    Database dopo;
    dopo.apri(db.connessioneAperta(), false);
    QCOMPARE(Banco::colonna(dopo, QStringLiteral("SELECT Id FROM AnagMod ORDER BY Id")), Banco::suServer() ? QStringLiteral("1") : QStringLiteral("1,2,3"));
    if (persa) {
        QCOMPARE(amb.registro().avvisi.size(), 1);
        QVERIFY2(amb.registro().avvisi.first().startsWith(amb.dtm().TestoErrore(Msg::ErrConnessionePersa) + QLatin1Char(' ')),
                 qPrintable(amb.registro().avvisi.first()));
    }
}

void TstServizi::nuovoIdTabellaSenzaId()
{
    Ambiente amb;
    bool errore = false;
    try {
        amb.dtm().NuovoId(QStringLiteral("Timbrature"));
    } catch (const ErroreDb& e) {
        errore = !e.testo().isEmpty();
    }
    QVERIFY(errore);
}

// ---------------------------------------------------------------------------------------
// Numbered messages

void TstServizi::messaggioMancanteMostraIlNumero()
{
    Ambiente amb;
    QVERIFY(!amb.db().esisteRiga(QStringLiteral("SELECT 1 FROM Errori WHERE Id = 7777")));
    amb.dtm().MostraErrore(7777);
    amb.dtm().MostraErroreCon(7777, QStringLiteral("/tmp/timb.txt"));
    QCOMPARE(amb.registro().avvisi,
             (QStringList{QStringLiteral("7777 (messaggio mancante)"), QStringLiteral("7777 (messaggio mancante) /tmp/timb.txt")}));
    QCOMPARE(amb.dtm().TestoScelta(7777), QStringLiteral("7777 (messaggio mancante)"));
}

void TstServizi::messaggiNellaLinguaDellUtente()
{
    Ambiente amb(kInglese);
    QCOMPARE(amb.dtm().cfg().Lingua, QChar('E'));
    amb.esegui(QStringLiteral("INSERT INTO Errori (Id, Lingua, Errore) VALUES (1, 'E', '   Cannot open the work database.  ')"));
    amb.esegui(QStringLiteral("INSERT INTO Scelte (Id, Lingua, Scelta) VALUES (3, 'E', ' Delete it? ')"));

    QCOMPARE(amb.dtm().TestoErrore(1), QStringLiteral("Cannot open the work database."));
    QCOMPARE(amb.dtm().TestoScelta(3), QStringLiteral("Delete it?"));
    amb.dtm().MostraErrore(1);
    QCOMPARE(amb.registro().avvisi, QStringList{QStringLiteral("Cannot open the work database.")});

    // A number with an Italian text only is shown in Italian: the database's text (the
    // company changed it) before the delivered one, which serves a row the database lacks.
    amb.esegui(QStringLiteral("UPDATE Errori SET Errore = 'Dato scelto dal cliente' WHERE Id = 103 AND Lingua = 'I'"));
    QCOMPARE(amb.dtm().TestoErrore(103), QStringLiteral("Dato scelto dal cliente"));
    amb.esegui(QStringLiteral("DELETE FROM Scelte WHERE Id = 9003"));
    QCOMPARE(amb.dtm().TestoScelta(9003), QStringLiteral("Dipendenti elaborati:"));
}

void TstServizi::messaggiTabellaGiusta()
{
    Ambiente amb;
    // The same number in both tables and in two languages.
    amb.esegui(QStringLiteral("INSERT INTO Errori (Id, Lingua, Errore) VALUES (7001, 'I', '  testo di Errori  ')"));
    amb.esegui(QStringLiteral("INSERT INTO Errori (Id, Lingua, Errore) VALUES (7001, 'E', 'text of Errori')"));
    amb.esegui(QStringLiteral("INSERT INTO Scelte (Id, Lingua, Scelta) VALUES (7001, 'I', ' testo di Scelte')"));
    amb.esegui(QStringLiteral("INSERT INTO Scelte (Id, Lingua, Scelta) VALUES (7001, 'E', 'text of Scelte')"));

    QCOMPARE(amb.dtm().TestoErrore(7001), QStringLiteral("testo di Errori"));
    QCOMPARE(amb.dtm().TestoScelta(7001), QStringLiteral("testo di Scelte"));

    amb.dtm().MostraErrore(7001);
    // The caller's text follows the trimmed message immediately.
    amb.dtm().MostraErroreCon(7001, QStringLiteral(": C:\\import\\timb.txt"));
    // A bare detail is set off by one blank; one that brings its own blank gets no second.
    amb.dtm().MostraErroreCon(7001, QStringLiteral("/tmp/timb.txt"));
    amb.dtm().MostraErroreCon(7001, QStringLiteral(" (Id 5)"));
    amb.dtm().MostraErroreDb(ErroreDb(QStringLiteral("disk I/O error")));
    // A refused key and a server gone have messages of their own.
    amb.dtm().MostraErroreDb(ErroreDb(QStringLiteral("duplicate key"), {}, ErroreDb::Tipo::Vincolo));
    amb.dtm().MostraErroreDb(ErroreDb(QStringLiteral("no connection to the server"), {}, ErroreDb::Tipo::ConnessionePersa));
    QCOMPARE(amb.registro().avvisi,
             (QStringList{QStringLiteral("testo di Errori"), QStringLiteral("testo di Errori: C:\\import\\timb.txt"),
                          QStringLiteral("testo di Errori /tmp/timb.txt"), QStringLiteral("testo di Errori (Id 5)"),
                          amb.dtm().TestoErrore(9011) + QStringLiteral(" disk I/O error"),
                          amb.dtm().TestoErrore(Msg::ErrVincolo) + QStringLiteral(" duplicate key"),
                          amb.dtm().TestoErrore(Msg::ErrConnessionePersa) + QStringLiteral(" no connection to the server")}));
    QCOMPARE(amb.registro().domande, QStringList());

    // A delivered message read the same way.
    const QString consegnato =
        amb.valore(QStringLiteral("SELECT Errore FROM Errori WHERE Id = 107 AND Lingua = 'I'")).toString().trimmed();
    QVERIFY(!consegnato.isEmpty());
    QCOMPARE(amb.dtm().TestoErrore(107), consegnato);
}

void TstServizi::chiediRisposteSiNo()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Scelte (Id, Lingua, Scelta) VALUES (7002, 'I', ' Procedere? ')"));
    amb.esegui(QStringLiteral("INSERT INTO Errori (Id, Lingua, Errore) VALUES (7002, 'I', 'non questo')"));
    amb.registro().risposte = {true, false};
    QCOMPARE(amb.dtm().Chiedi(7002), true);
    QCOMPARE(amb.dtm().Chiedi(7002), false);
    QCOMPARE(amb.registro().domande, (QStringList{QStringLiteral("Procedere?"), QStringLiteral("Procedere?")}));
    QCOMPARE(amb.registro().avvisi, QStringList());
}

// ---------------------------------------------------------------------------------------
// Code lists

void TstServizi::codiciListaSenzaRighe()
{
    Ambiente amb;
    QVERIFY(!amb.db().esisteRiga(QStringLiteral("SELECT 1 FROM Costanti4 WHERE NCampo = 'Inesistente'")));
    QVERIFY(amb.dtm().Codici(QStringLiteral("Costanti4"), QStringLiteral("Inesistente")).isEmpty());
    QVERIFY(amb.dtm().Codici(QStringLiteral("Costanti3"), QStringLiteral("Inesistente")).isEmpty());
}

void TstServizi::codiciInOrdineDiCodice()
{
    Ambiente amb;
    // Inserted out of order: the list comes in code order.
    for (const auto& [cod, descr] : {std::pair{"Z", "Ultimo"}, std::pair{"A", "Primo"}, std::pair{"M", "Medio"}})
        amb.esegui(QStringLiteral("INSERT INTO Costanti4 (NCampo, Lingua, ValCod, Descr) VALUES ('Prova', 'I', :c, :d)"),
                   {{"c", QString::fromLatin1(cod)}, {"d", QString::fromLatin1(descr)}});
    const auto prova = amb.dtm().Codici(QStringLiteral("Costanti4"), QStringLiteral("Prova"));
    QCOMPARE(codiciDi(prova), (QStringList{"A", "M", "Z"}));
    QCOMPARE(descrizioniDi(prova), (QStringList{"Primo", "Medio", "Ultimo"}));

    const auto versi = amb.dtm().Codici(QStringLiteral("Costanti4"), QStringLiteral("Verso"));
    QCOMPARE(codiciDi(versi), (QStringList{"E", "U"}));
    for (const CodiceDescr& v : versi)
        QCOMPARE(v.descr, amb.valore(QStringLiteral("SELECT Descr FROM Costanti4 WHERE NCampo = 'Verso' AND Lingua = 'I' AND ValCod = :c"),
                                     {{"c", v.codice}})
                              .toString());
}

void TstServizi::codiciDellaLingua()
{
    Ambiente amb(kInglese);
    amb.esegui(QStringLiteral("INSERT INTO Costanti4 (NCampo, Lingua, ValCod, Descr) VALUES ('Verso', 'E', 'U', 'Out')"));
    amb.esegui(QStringLiteral("INSERT INTO Costanti4 (NCampo, Lingua, ValCod, Descr) VALUES ('Verso', 'E', 'E', 'In')"));
    const auto versi = amb.dtm().Codici(QStringLiteral("Costanti4"), QStringLiteral("Verso"));
    QCOMPARE(codiciDi(versi), (QStringList{"E", "U"}));
    QCOMPARE(descrizioniDi(versi), (QStringList{"In", "Out"}));
    // Lists delivered in Italian only are empty in English.
    QVERIFY(amb.dtm().Codici(QStringLiteral("Costanti4"), QStringLiteral("Giorni3")).isEmpty());
}

// ---------------------------------------------------------------------------------------
// Application memory

void TstServizi::memoriaApplicazione()
{
    Ambiente amb("[Config]\r\nPreview=0\r\n");
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, Descr, RagSoc) VALUES (2, 'Filiale', 'Filiale Nord Srl')"));
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, Descr, RagSoc) VALUES (1, 'Sede', 'Officine Rossi Spa')"));
    amb.esegui(QStringLiteral("INSERT INTO ConfigGen (DataInst) VALUES ('2021-04-01 00:00:00')"));
    amb.esegui(QStringLiteral("UPDATE CONFIGDB SET RELDB = '7.3'"));

    amb.dtm().CaricaMemoria();
    const TPresenzeMem& m = amb.dtm().mem();
    QCOMPARE(m.RagSoc, QStringLiteral("Officine Rossi Spa"));
    QCOMPARE(m.RelDB, QStringLiteral("7.3"));
    QCOMPARE(m.DataInst.date(), QDate(2021, 4, 1));
    QCOMPARE(m.Preview, false);
    // The letters are the first characters of the descriptions of "E" and "U" in Italian.
    const QString entrata = amb.valore(QStringLiteral("SELECT Descr FROM Costanti4 WHERE NCampo='Verso' AND Lingua='I' AND ValCod='E'")).toString();
    const QString uscita = amb.valore(QStringLiteral("SELECT Descr FROM Costanti4 WHERE NCampo='Verso' AND Lingua='I' AND ValCod='U'")).toString();
    QCOMPARE(m.LetteraE, entrata.left(1));
    QCOMPARE(m.LetteraU, uscita.left(1));
    QCOMPARE(m.LetteraE, QStringLiteral("E"));
    QCOMPARE(m.LetteraU, QStringLiteral("U"));

    // Changed descriptions change the letters.
    amb.esegui(QStringLiteral("UPDATE Costanti4 SET Descr = 'Ingresso' WHERE NCampo='Verso' AND Lingua='I' AND ValCod='E'"));
    amb.dtm().CaricaMemoria();
    QCOMPARE(amb.dtm().mem().LetteraE, QStringLiteral("I"));
    QCOMPARE(amb.dtm().mem().LetteraU, QStringLiteral("U"));
}

void TstServizi::memoriaLettereNellaLingua()
{
    Ambiente amb(kInglese);
    amb.esegui(QStringLiteral("INSERT INTO Costanti4 (NCampo, Lingua, ValCod, Descr) VALUES ('Verso', 'E', 'U', 'Out')"));
    amb.esegui(QStringLiteral("INSERT INTO Costanti4 (NCampo, Lingua, ValCod, Descr) VALUES ('Verso', 'E', 'E', 'In')"));
    amb.dtm().CaricaMemoria();
    QCOMPARE(amb.dtm().mem().LetteraE, QStringLiteral("I"));
    QCOMPARE(amb.dtm().mem().LetteraU, QStringLiteral("O"));
    QCOMPARE(amb.dtm().mem().Preview, true);
}

void TstServizi::memoriaSenzaVersi()
{
    Ambiente amb;
    amb.dtm().CaricaMemoria();
    QVERIFY(!amb.dtm().mem().LetteraE.isEmpty());
    amb.esegui(QStringLiteral("DELETE FROM Costanti4 WHERE NCampo = 'Verso'"));
    amb.dtm().CaricaMemoria();
    QCOMPARE(amb.dtm().mem().LetteraE, QString());
    QCOMPARE(amb.dtm().mem().LetteraU, QString());
}

void TstServizi::memoriaSenzaAziendaEConfigGen()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, Descr, RagSoc) VALUES (2, 'Filiale', 'Filiale Nord Srl')"));
    QCOMPARE(amb.conta(QStringLiteral("ConfigGen")), 0);
    amb.dtm().CaricaMemoria();
    // Only company 1 names the installation.
    QCOMPARE(amb.dtm().mem().RagSoc, QString());
    QVERIFY(!amb.dtm().mem().DataInst.isValid());
}

// ---------------------------------------------------------------------------------------
// Time texts

void TstServizi::minutiInOre_data()
{
    QTest::addColumn<int>("minuti");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("-75 con punto, larghezza 2: il segno occupa un posto") << -75 << QChar('.') << 2 << "-1.15";
    QTest::newRow("605 con due punti, larghezza 3") << 605 << QChar(':') << 3 << "010:05";
    QTest::newRow("zero") << 0 << QChar('.') << 2 << "00.00";
    QTest::newRow("59 minuti") << 59 << QChar('.') << 2 << "00.59";
    QTest::newRow("un'ora") << 60 << QChar('.') << 2 << "01.00";
    QTest::newRow("-30 tiene il segno sotto l'ora") << -30 << QChar('.') << 2 << "-0.30";
    QTest::newRow("un giorno intero") << 1440 << QChar('.') << 2 << "24.00";
    QTest::newRow("oltre cento ore si allarga") << 6000 << QChar('.') << 2 << "100.00";
    QTest::newRow("larghezza 1 non riempie") << 65 << QChar(':') << 1 << "1:05";
    QTest::newRow("-605 larghezza 3") << -605 << QChar(':') << 3 << "-10:05";
    QTest::newRow("-60 esatti") << -60 << QChar('.') << 2 << "-1.00";
}

void TstServizi::minutiInOre()
{
    QFETCH(int, minuti);
    QFETCH(QChar, sep);
    QFETCH(int, larghezza);
    QFETCH(QString, atteso);
    QCOMPARE(TestiOra::MinutiInOre(minuti, sep, larghezza), atteso);
}

void TstServizi::minutiInOrario_data()
{
    QTest::addColumn<int>("minuti");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("1500 oltre il giorno") << 1500 << QChar(':') << "##:##";
    QTest::newRow("65 con punto") << 65 << QChar('.') << "01.05";
    QTest::newRow("negativo") << -5 << QChar(':') << "##:##";
    QTest::newRow("ultimo minuto") << 1439 << QChar(':') << "23:59";
    QTest::newRow("mezzanotte") << 0 << QChar(':') << "00:00";
    QTest::newRow("1440 e' l'ora 24") << 1440 << QChar(':') << "##:##";
    QTest::newRow("-60") << -60 << QChar('.') << "##.##";
}

void TstServizi::minutiInOrario()
{
    QFETCH(int, minuti);
    QFETCH(QChar, sep);
    QFETCH(QString, atteso);
    QCOMPARE(TestiOra::MinutiInOrario(minuti, sep), atteso);
}

void TstServizi::formatoOra_data()
{
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QTime>("ora");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("due punti") << QChar(':') << QTime(8, 5) << "08:05";
    QTest::newRow("punto") << QChar('.') << QTime(23, 59) << "23.59";
    QTest::newRow("mezzanotte") << QChar(':') << QTime(0, 0) << "00:00";
    QTest::newRow("secondi ignorati") << QChar(':') << QTime(14, 7, 59) << "14:07";
}

void TstServizi::formatoOra()
{
    QFETCH(QChar, sep);
    QFETCH(QTime, ora);
    QFETCH(QString, atteso);
    QCOMPARE(TestiOra::FormatoOra(sep, ora), atteso);
}

void TstServizi::tokenTimbratura_data()
{
    QTest::addColumn<QString>("verso");
    QTest::addColumn<QTime>("ora");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("entrata 08:30") << "E" << QTime(8, 30) << "E0830";
    QTest::newRow("uscita 17:05") << "U" << QTime(17, 5) << "U1705";
    QTest::newRow("entrata a mezzanotte") << "E" << QTime(0, 0) << "E0000";
    QTest::newRow("codice sconosciuto") << "X" << QTime(8, 30) << "?0830";
    QTest::newRow("codice vuoto") << "" << QTime(8, 30) << "";
}

void TstServizi::tokenTimbratura()
{
    QFETCH(QString, verso);
    QFETCH(QTime, ora);
    QFETCH(QString, atteso);

    Ambiente amb;
    amb.dtm().CaricaListaVersi();
    QCOMPARE(amb.dtm().TokenTimbratura(verso, ora), atteso);
}

void TstServizi::tokenTimbraturaNellaLingua()
{
    // The letter comes from the direction list of the current language.
    const TestiOra::ListaVersi inglese{{QStringLiteral("E"), QStringLiteral("In")}, {QStringLiteral("U"), QStringLiteral("Out")}};
    QCOMPARE(TestiOra::TokenTimbratura(QStringLiteral("E"), QTime(8, 30), inglese), QStringLiteral("I0830"));
    QCOMPARE(TestiOra::TokenTimbratura(QStringLiteral("U"), QTime(12, 0), inglese), QStringLiteral("O1200"));
    // A list not filled yet knows no letter.
    QCOMPARE(TestiOra::TokenTimbratura(QStringLiteral("E"), QTime(8, 30), {}), QStringLiteral("?0830"));
}

void TstServizi::oraDaTesto_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<int>("minuti");

    QTest::newRow("E0830") << "E0830" << 8 * 60 + 30;
    QTest::newRow("U2359") << "U2359" << 23 * 60 + 59;
    QTest::newRow("E0000") << "E0000" << 0;
    QTest::newRow("lettera sconosciuta") << "?1205" << 12 * 60 + 5;
}

void TstServizi::oraDaTesto()
{
    QFETCH(QString, token);
    QFETCH(int, minuti);
    QVERIFY(qAbs(TestiOra::OraDaTesto(token) - minuti / 1440.0) < 1e-12);
}

void TstServizi::orologioMinuti_data()
{
    QTest::addColumn<int>("minuti");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("510") << 510 << "08:30";
    QTest::newRow("0") << 0 << "00:00";
    QTest::newRow("450") << 450 << "07:30";
    QTest::newRow("60") << 60 << "01:00";
    QTest::newRow("1439") << 1439 << "23:59";
    QTest::newRow("5") << 5 << "00:05";
}

void TstServizi::orologioMinuti()
{
    QFETCH(int, minuti);
    QFETCH(QString, atteso);
    QCOMPARE(TestiOra::OrologioMinuti(minuti), atteso);
}

// ---------------------------------------------------------------------------------------
// Opening

void TstServizi::cartellaPrivataSvuotata()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir priv(QDir(dir.path()).filePath(QStringLiteral("Priv")));
    QVERIFY(QDir().mkpath(priv.path()));
    const QStringList temporanei{QStringLiteral("_qsql1.db"), QStringLiteral("_.db")};
    const QStringList altri{QStringLiteral("tieni.db"), QStringLiteral("_nota.txt"), QStringLiteral("x_y.db"),
                            QStringLiteral("_copia.db.bak")};
    for (const QString& f : temporanei + altri)
        QVERIFY(scriviFile(priv.filePath(f), "x"));

    PresentatoreRegistro reg;
    TdtmPresenze d;
    d.setPresentatore(&reg);
    QVERIFY(d.Apri(QDir(dir.path()).filePath(QStringLiteral("PRES.INI")), TdtmPresenze::ModoCreazione::CartellaPredefinita));
    QCOMPARE(QDir(d.CartellaPriv()).absolutePath(), priv.absolutePath());
    for (const QString& f : temporanei)
        QVERIFY2(!priv.exists(f), qPrintable(f));
    for (const QString& f : altri)
        QVERIFY2(priv.exists(f), qPrintable(f));
}

void TstServizi::cartellaPrivataCreata()
{
    Ambiente amb;
    QVERIFY(QFileInfo(QDir(amb.dir()).filePath(QStringLiteral("Priv"))).isDir());
}

void TstServizi::dipendenteCorrenteDopoApertura()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    PresentatoreRegistro reg;
    TdtmPresenze d;
    d.setPresentatore(&reg);
    d.IdDipCorrente = 12;
    QVERIFY(d.Apri(QDir(dir.path()).filePath(QStringLiteral("PRES.INI")), TdtmPresenze::ModoCreazione::CartellaPredefinita));
    QCOMPARE(d.IdDipCorrente, -1);
}

void TstServizi::oggiIniettato()
{
    TdtmPresenze d;
    const QDate prima = QDate::currentDate();
    const QDate oggi = d.Oggi();
    const QDate dopo = QDate::currentDate();
    QVERIFY(oggi == prima || oggi == dopo);

    d.setOggi(QDate(2024, 2, 29));
    QCOMPARE(d.Oggi(), QDate(2024, 2, 29));
    d.setOggi(QDate(1999, 12, 31));
    QCOMPARE(d.Oggi(), QDate(1999, 12, 31));
}

QTEST_GUILESS_MAIN(TstServizi)
#include "tst_servizi.moc"
