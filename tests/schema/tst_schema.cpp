// The two databases as creation leaves them: every table in the database it belongs to,
// the named keys and indexes, the constraints the rest of the system relies on, repeated
// creation and completion of an older database, the SQL dialect, the reference data and
// the failures of opening.

#include "ambiente.h"
#include "creazione.h"
#include "database.h"
#include "dialetto.h"
#include "messaggi.h"
#include "tabelle.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool tabellaIn(const Database& db, bool lavoro, const QString& tabella)
{
    return db.tabelleEsistenti(lavoro).contains(tabella, Qt::CaseInsensitive);
}

QStringList campiDi(const Database& db, bool lavoro, const QString& tabella)
{
    return db.campiEsistenti(tabella, lavoro);
}

struct InfoIndice {
    bool trovato = false;
    bool unico = false;
    QStringList campi;
};

// An index of the table by name; with an empty name, the first index over exactly `campi`.
InfoIndice cercaIndice(const Database& db, bool lavoro, const QString& tabella, const QString& nome, const QStringList& campi)
{
    InfoIndice r;
    for (const Database::InfoIndice& i : db.indiciEsistenti(tabella, lavoro)) {
        const bool corrisponde = nome.isEmpty() ? i.campi == campi : i.nome.compare(nome, Qt::CaseInsensitive) == 0;
        if (corrisponde) {
            r.trovato = true;
            r.unico = i.unico;
            r.campi = i.campi;
            return r;
        }
    }
    return r;
}

QStringList minuscole(const QStringList& l)
{
    QStringList r;
    for (const QString& s : l)
        r << s.toLower();
    return r;
}

QString letterale(const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::Int)
        return QString::number(v.toInt());
    return QLatin1Char('\'') + v.toString().replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// A row that fills every required field of the table with a plausible value, with one
// field replaced by `valore`; the values are written as literals so that an empty text
// reaches the table as an empty text and not as a NULL.
QString insertConUnCampo(const QString& tabella, const QString& campo, const QVariant& valore)
{
    const Tabella* t = Schema::tabella(tabella);
    QStringList nomi, valori;
    bool campoMesso = false;
    for (const Campo& c : t->campi) {
        const bool questo = c.nome.compare(campo, Qt::CaseInsensitive) == 0;
        if (!c.obbligatorio && !questo)
            continue;
        nomi << c.nome;
        if (questo) {
            valori << letterale(valore);
            campoMesso = true;
            continue;
        }
        switch (c.tipo) {
        case TipoCampo::Intero:
        case TipoCampo::InteroPiccolo: valori << QStringLiteral("901"); break;  // clear of the delivered rows' keys
        case TipoCampo::DataOra: valori << QStringLiteral("'2024-03-05 00:00:00'"); break;
        case TipoCampo::Testo:
        case TipoCampo::Memo: valori << QStringLiteral("'X'"); break;
        }
    }
    if (!campoMesso) {
        nomi << campo;
        valori << letterale(valore);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(tabella, nomi.join(QStringLiteral(", ")), valori.join(QStringLiteral(", ")));
}

// Outcome of a statement: true when executed, false when the table refused it; any other
// failure fails the test.
bool accettato(Database& db, const QString& sql)
{
    QSqlQuery q = db.prepara(sql);
    return Database::eseguiSalvoVincoli(q);
}

void scriviFile(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(percorso));
    QCOMPARE(f.write(dati), qint64(dati.size()));
}

QByteArray leggiFile(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList kTabelleRiferimento = {
    QStringLiteral("Errori"),       QStringLiteral("Scelte"),    QStringLiteral("Costanti1"),   QStringLiteral("Costanti3"),
    QStringLiteral("Costanti4"),    QStringLiteral("Costanti7"), QStringLiteral("Costanti8"),   QStringLiteral("Segnalazioni"),
    QStringLiteral("APPLICATIVI"),  QStringLiteral("CONFIGDB"),  QStringLiteral("UnitaPianta"), QStringLiteral("UnitaRuolo"),
    QStringLiteral("Nomine"),
};

QMap<QString, int> contaRighe(Database& db, const QStringList& tabelle)
{
    QMap<QString, int> m;
    for (const QString& t : tabelle)
        m.insert(t, db.valore(QStringLiteral("SELECT COUNT(*) FROM ") + t).toInt());
    return m;
}

}  // namespace

class TstSchema : public QObject {
    Q_OBJECT

private slots:
    void tabelleNelDatabaseGiusto_data();
    void tabelleNelDatabaseGiusto();
    void dichiarazioneCreataPerIntero();
    void indiciNominati_data();
    void indiciNominati();

    void pianoSommaDoppioRifiutato();
    void timbraturaSpostataSullOraDiUnAltra();
    void campiObbligatori_data();
    void campiObbligatori();
    void formatoDataOra_data();
    void formatoDataOra();
    void dataOraLegataSenzaConversioneRifiutata();

    void creazioneRipetutaNonDuplicaNePerde();
    void databaseVecchioCompletatoDaInit();
    void produzioneInutilizzabile_data();
    void produzioneInutilizzabile();

    void dialettoTraDueDatabase_data();
    void dialettoTraDueDatabase();
    void stessiRisultatiSuEntrambi_data();
    void stessiRisultatiSuEntrambi();
    void tabelleDiLavoroPrivate();
    void postazioniConLavoroProprio();
    void durataDelleTransazioni();
    void interrogazioneDentroUnCiclo();
    void testoDataMinuti_data();
    void testoDataMinuti();
    void scomponi_data();
    void scomponi();

    void anomalieDelMotore_data();
    void anomalieDelMotore();
    void testiDeiMessaggi_data();
    void testiDeiMessaggi();
    void listeDiCodici_data();
    void listeDiCodici();

    void produzioneMancante_data();
    void produzioneMancante();
    void aggiornamentoDallaVersione1();
    void fileCheNonEUnDatabase_data();
    void fileCheNonEUnDatabase();
    void lavoroNonApribile();

    void cleanupTestCase() { m_comune.reset(); }

private:
    // One database for the many rows that only read the reference data.
    Ambiente& comune()
    {
        if (!m_comune)
            m_comune = std::make_unique<Ambiente>();
        return *m_comune;
    }
    std::unique_ptr<Ambiente> m_comune;
};

// ---------------------------------------------------------------------------------------
// Tables, fields and indexes

void TstSchema::tabelleNelDatabaseGiusto_data()
{
    QTest::addColumn<bool>("lavoro");
    QTest::addColumn<QStringList>("campi");

    const auto P = [](const char* nome, const QStringList& campi) { QTest::newRow(nome) << false << campi; };
    const auto U = [](const char* nome, const QStringList& campi) { QTest::newRow(nome) << true << campi; };

    P("Timbrature", {"IdDip", "DataV", "DataO", "VersoV", "VersoO", "Caus", "IdTerminale"});
    P("PianoSomma", {"IdDip", "Data", "Stato", "IdOrario", "ValOrdinario", "ValEccedenza", "ValPresenza", "ValCarenza", "Note"});
    P("AnomalieGiorno", {"IdDip", "Data", "Prog", "Prod", "IdSegnalaz"});
    P("Anagrafico", {"Id", "Matricola", "Cognome", "Nome", "Libero", "Note", "Classe", "IdPolicyAccesso"});
    P("Badge", {"Codice", "DataInizio", "DataFine", "IdUtilizzatore"});
    P("Profilo", {"IdUtilizzatore", "DataInizio", "DataFine", "IdNomina", "IdAzienda", "IdPianta", "IdRuolo", "DataAssunz",
                  "DataLicenz", "ModalTimbra", "Autorizzato", "TipoOrario", "IdOrari", "IdRagg", "InTurnazione", "InPeriodo1",
                  "InPeriodo2", "InPeriodo3", "InPeriodo4", "InPeriodo5", "GestReperib", "UltElabVoci", "IdOrFestivo",
                  "IdCalendario"});
    P("OrariRep", {"Id",         "Descr",       "cvDescr",     "TipoO",     "OreMinime",    "OreMedie",     "UsoPrior",
                   "NTimTipo",   "Mensa",       "MensaMin",    "MensaMax",  "MinPerMensa",  "IdMensa",      "GiusMin",
                   "GiusNum",    "IdGius",      "PrimaTimb",   "UltimaTimb", "ChiusGio",    "IdOrFest",     "IdOrPreFest",
                   "IdOrSab",    "IdOrDom",     "PriorFest",   "PriorPreFest", "PriorSab",  "PriorDom",     "MinPerFissa1",
                   "MinPerFissa2", "MinPerFissa3", "IdFissa1", "IdFissa2",  "IdFissa3",     "DurFissa1",    "DurFissa2",
                   "DurFissa3"});
    P("ArroTim", {"IdOrario", "Inizio", "Fine", "ArrVerso", "TipoArrot", "MinutiArrot", "IdVoceScarti", "IdVoceToll"});
    P("ArroStra", {"IdOrario", "Inizio", "Fine", "TipoArrot", "MinutiArrot"});
    P("Turni", {"Id", "Descr", "Durata"});
    P("CompTurni", {"IdTurno", "NumOrd", "DataInizio", "TipoOrario", "IdDaUsare"});
    P("Calendari", {"Id", "Descr"});
    P("RelCalend", {"IdCalend", "Giorno", "Tipo", "Ora"});
    P("Segnalazioni", {"Id", "TipoSegnalaz"});
    P("Terminali", {"Id", "Descr", "IdPostaz", "Indirizzo", "DipSet", "Tipo"});
    P("Postaz", {"Id", "Descr", "IdCom", "TelNo"});
    P("Porte", {"Id", "BaudRate", "BitNo", "StopBit", "Parity", "ModString"});
    P("TimbTipo", {"IdOrario", "Verso", "Ore", "Gio"});
    P("Giustif", {"IdDip", "Data", "TipoG"});
    P("ConfigGen", {"DataInst", "Inizio", "Fine", "CarMensa", "CarPres", "Delimitatore", "Separatore"});
    P("ContrAccant", {"AccantonPiano", "AccantonVoci", "InvioSaldi", "AcquisTimb"});
    P("Aziende", {"Id", "Descr", "CodAzEst", "RagSoc"});
    P("CONFIGDB", {"RELDB"});
    P("APPLICATIVI", {"ID", "DESCRIZIONE"});
    P("UTENTI", {"USERNAME", "IDAPPLICATIVO", "PASSWORDD"});
    P("Errori", {"Id", "Lingua", "Errore"});
    P("Scelte", {"Id", "Lingua", "Scelta"});
    P("Costanti1", {"NCampo", "Lingua", "ValCod", "Descr"});
    P("Costanti2", {});
    P("Costanti3", {"NCampo", "Lingua", "ValCod", "Descr"});
    P("Costanti4", {"NCampo", "Lingua", "ValCod", "Descr"});
    P("Costanti7", {"TipoStampa", "Lingua", "CodStampa", "Descr"});
    P("Costanti8", {"NCampo", "Lingua", "Descr", "TDataCod"});
    P("UnitaPianta", {"Id", "Descr", "IdPiantaPadre"});
    P("UnitaRuolo", {"Id", "Descr", "IdRuoloPadre"});
    P("Nomine", {"Id", "Descr"});
    P("AnagMod", {"Id", "Badge", "NumClient", "TipoOp"});
    for (const char* t : {"CORREZIONI", "PIANOLAVORO", "VALORIVOCI", "ATTRIBVOCI", "ASSELEMGEN", "VALVOCIGEN", "CAUSTURNI"})
        P(t, {"IDDIP"});
    P("SEGNALACC", {"IDUTILIZZATORE"});

    U("ETimb", {"IdDip", "DataV", "DataO", "VersoV", "VersoO", "Caus", "TipoUtil", "Arrot", "OraM"});
    U("EEvid", {"Prod", "IdSegnalaz"});
    U("Terrtimb", {"Data", "Badge", "Verso", "IdErr"});
    U("TPresAss", {"Id", "Matricola", "Cognome", "Nome", "Stato", "StatoEsteso", "TipoG", "ModalTimbra", "IdOrario"});
    U("TAnagCk", {"Id", "Matricola", "Cognome", "Nome", "Libero", "Classe", "Codice"});
    U("TPiantaSel", {"Id", "IdPiantaPadre"});
    U("TRuoloSel", {"Id", "IdRuoloPadre"});
    U("ROrganic", {"IdDip", "Cognome", "Nome", "Badge", "Matricola", "Nomina", "IdPianta", "IdRuolo", "DescrPianta", "DescrRuolo",
                   "LivelloPianta", "LivelloRuolo", "Note"});
    U("RTree", {"IndiceAss", "Livello", "Descr"});
}

void TstSchema::tabelleNelDatabaseGiusto()
{
    QFETCH(bool, lavoro);
    QFETCH(QStringList, campi);
    const QString tabella = QString::fromLatin1(QTest::currentDataTag());

    Ambiente& amb = comune();
    QVERIFY(amb.db().lavoroAperto());
    QVERIFY2(tabellaIn(amb.db(), lavoro, tabella), qPrintable(tabella + " manca"));
    QVERIFY2(!tabellaIn(amb.db(), !lavoro, tabella), qPrintable(tabella + " non deve stare nell'altro database"));
    const QStringList presenti = campiDi(amb.db(), lavoro, tabella);
    for (const QString& c : campi)
        QVERIFY2(presenti.contains(c.toLower()), qPrintable(tabella + "." + c + " manca"));
}

void TstSchema::dichiarazioneCreataPerIntero()
{
    Ambiente amb;
    for (const Tabella& t : Schema::tabelle()) {
        const bool lavoro = t.archivio == Archivio::PresUt;
        QVERIFY2(tabellaIn(amb.db(), lavoro, t.nome), qPrintable(t.nome + " manca"));
        const QStringList presenti = campiDi(amb.db(), lavoro, t.nome);
        for (const Campo& c : t.campi)
            QVERIFY2(presenti.contains(c.nome.toLower()), qPrintable(t.nome + "." + c.nome + " manca"));
        for (const Indice& i : t.indici) {
            const InfoIndice info = cercaIndice(amb.db(), lavoro, t.nome, i.nome, {});
            QVERIFY2(info.trovato, qPrintable("indice " + i.nome + " manca"));
            QCOMPARE(info.campi, minuscole(i.campi));
            QCOMPARE(info.unico, i.unico);
        }
    }
    QCOMPARE(Creazione::mancanti(amb.db()), QStringList());
}

void TstSchema::indiciNominati_data()
{
    QTest::addColumn<bool>("lavoro");
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("indice");       // empty: any index over exactly `campi`
    QTest::addColumn<QStringList>("campi");    // leading fields of the index
    QTest::addColumn<int>("unico");            // 1 unique, -1 either

    QTest::newRow("chiave timbratura dipendente+ora valida") << false << "Timbrature" << "PK_Timbrature_IdDataV" << QStringList{"IdDip", "DataV"} << 1;
    QTest::newRow("giornata del piano dipendente+data") << false << "PianoSomma" << "PK_PianoSomma_IdDipData" << QStringList{"IdDip", "Data"} << 1;
    QTest::newRow("anomalie della giornata") << false << "AnomalieGiorno" << "PK_AnomalieGiorno" << QStringList{"IdDip", "Data", "Prog"} << 1;
    QTest::newRow("chiave dipendente") << false << "Anagrafico" << "PK_Anagrafico_Id" << QStringList{"Id"} << 1;
    QTest::newRow("dipendenti per nominativo") << false << "Anagrafico" << "idxAnagNominativo" << QStringList{"Cognome"} << -1;
    QTest::newRow("dipendenti per matricola") << false << "Anagrafico" << "idxAnagMatricola" << QStringList{"Matricola"} << -1;
    QTest::newRow("dipendenti per commento") << false << "Anagrafico" << "idxAnagLibero" << QStringList{"Libero"} << -1;
    QTest::newRow("chiave orario") << false << "OrariRep" << "PK_OrariRep_Id" << QStringList{"Id"} << 1;
    QTest::newRow("badge per dipendente") << false << "Badge" << "IdUtilizzatore" << QStringList{"IdUtilizzatore"} << -1;
    QTest::newRow("giorni del calendario") << false << "RelCalend" << "" << QStringList{"IdCalend", "Giorno", "Tipo"} << -1;
    QTest::newRow("timbrature di lavoro per minuto e verso") << true << "ETimb" << "idxOraMVersoV" << QStringList{"OraM", "VersoV"} << -1;
    QTest::newRow("tabellone per matricola") << true << "TPresAss" << "IDXMATRICOLA" << QStringList{"Matricola"} << -1;
    QTest::newRow("ordine della stampa dell'organico") << true << "ROrganic" << "idxOrdinamento" << QStringList{} << -1;
}

void TstSchema::indiciNominati()
{
    QFETCH(bool, lavoro);
    QFETCH(QString, tabella);
    QFETCH(QString, indice);
    QFETCH(QStringList, campi);
    QFETCH(int, unico);

    Ambiente& amb = comune();
    const InfoIndice info = cercaIndice(amb.db(), lavoro, tabella, indice, minuscole(campi));
    QVERIFY2(info.trovato, qPrintable(tabella + " " + indice));
    QCOMPARE(info.campi.mid(0, campi.size()), minuscole(campi));
    if (!indice.isEmpty() && indice.startsWith(QLatin1String("PK_")))
        QCOMPARE(info.campi, minuscole(campi));  // a key is exactly its fields
    if (unico == 1)
        QVERIFY(info.unico);
}

// ---------------------------------------------------------------------------------------
// Keys and constraints

void TstSchema::pianoSommaDoppioRifiutato()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario, ValOrdinario, Note) "
                              "VALUES (7, :d, 3, 4, 480, 'originale')"),
               {{"d", Sql::data(QDate(2024, 3, 5))}});

    // The work-plan check inserts and relies on the refusal: no exception, no change.
    QSqlQuery doppio = amb.db().prepara(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, Note) VALUES (7, :d, 1, 'nuova')"));
    doppio.bindValue(QStringLiteral(":d"), Sql::data(QDate(2024, 3, 5)));
    QVERIFY(!Database::eseguiSalvoVincoli(doppio));

    // A caller that does not expect it gets an error that says it was a constraint.
    bool vincolo = false;
    try {
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (7, :d, 1)"), {{"d", Sql::data(QDate(2024, 3, 5))}});
    } catch (const ErroreDb& e) {
        vincolo = e.violazioneVincolo();
    }
    QVERIFY(vincolo);

    QCOMPARE(amb.conta(QStringLiteral("PianoSomma")), 1);
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT Stato, IdOrario, ValOrdinario, Note FROM PianoSomma WHERE IdDip = 7"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 3);
    QCOMPARE(q.value(1).toInt(), 4);
    QCOMPARE(q.value(2).toInt(), 480);
    QCOMPARE(q.value(3).toString(), QStringLiteral("originale"));

    // Only the pair is unique: the same day of another employee, another day of the same one.
    amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (8, :d, 1)"), {{"d", Sql::data(QDate(2024, 3, 5))}});
    amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (7, :d, 1)"), {{"d", Sql::data(QDate(2024, 3, 6))}});
    QCOMPARE(amb.conta(QStringLiteral("PianoSomma")), 3);
}

void TstSchema::timbraturaSpostataSullOraDiUnAltra()
{
    Ambiente amb;
    const QString ins = QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO) VALUES (:id, :t, :t, :v, :v)");
    amb.esegui(ins, {{"id", 1}, {"t", QStringLiteral("2024-03-05 08:00:00")}, {"v", QStringLiteral("E")}});
    amb.esegui(ins, {{"id", 1}, {"t", QStringLiteral("2024-03-05 12:00:00")}, {"v", QStringLiteral("U")}});
    amb.esegui(ins, {{"id", 2}, {"t", QStringLiteral("2024-03-05 08:30:00")}, {"v", QStringLiteral("E")}});

    QSqlQuery sposta = amb.db().prepara(QStringLiteral("UPDATE Timbrature SET DataV = :nuova WHERE IdDip = :id AND DataV = :vecchia"));
    sposta.bindValue(QStringLiteral(":nuova"), QStringLiteral("2024-03-05 12:00:00"));
    sposta.bindValue(QStringLiteral(":id"), 1);
    sposta.bindValue(QStringLiteral(":vecchia"), QStringLiteral("2024-03-05 08:00:00"));
    QVERIFY(!Database::eseguiSalvoVincoli(sposta));
    QCOMPARE(amb.conta(QStringLiteral("Timbrature"), QStringLiteral("IdDip = 1 AND DataV = '2024-03-05 08:00:00' AND VersoV = 'E'")), 1);
    QCOMPARE(amb.conta(QStringLiteral("Timbrature"), QStringLiteral("IdDip = 1 AND DataV = '2024-03-05 12:00:00' AND VersoV = 'U'")), 1);

    // A second punch at the same valid time is refused as well.
    QSqlQuery doppia = amb.db().prepara(ins);
    doppia.bindValue(QStringLiteral(":id"), 1);
    doppia.bindValue(QStringLiteral(":t"), QStringLiteral("2024-03-05 12:00:00"));
    doppia.bindValue(QStringLiteral(":v"), QStringLiteral("E"));
    QVERIFY(!Database::eseguiSalvoVincoli(doppia));

    // The same time belongs to employee 1 only: employee 2 may take it.
    amb.esegui(QStringLiteral("UPDATE Timbrature SET DataV = '2024-03-05 12:00:00' WHERE IdDip = 2 AND DataV = '2024-03-05 08:30:00'"));
    QCOMPARE(amb.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV = '2024-03-05 12:00:00'")), 2);
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 3);
}

void TstSchema::campiObbligatori_data()
{
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QVariant>("valore");
    QTest::addColumn<bool>("ammesso");

    struct Obbl {
        const char* tabella;
        const char* campo;
        QVariant buono;
    };
    const Obbl obbligatori[] = {
        {"Anagrafico", "Cognome", QStringLiteral("Rossi")},
        {"Anagrafico", "Nome", QStringLiteral("Anna")},
        {"Anagrafico", "Classe", QStringLiteral("D")},
        {"Badge", "Codice", QStringLiteral("0000001234")},
        {"Profilo", "ModalTimbra", QStringLiteral("T")},
        {"Profilo", "Autorizzato", QStringLiteral("S")},
        {"Profilo", "GestReperib", QStringLiteral("N")},
        {"Costanti4", "Descr", QStringLiteral("Entrata")},
        {"Timbrature", "VersoV", QStringLiteral("E")},
        {"Timbrature", "DataV", QStringLiteral("2024-03-05 08:00:00")},
        {"OrariRep", "cvDescr", QStringLiteral("ORD")},
        {"Aziende", "RagSoc", QStringLiteral("Rossi Srl")},
        {"Terminali", "Indirizzo", QStringLiteral("01")},
        {"Porte", "Parity", QStringLiteral("N")},
        {"UnitaPianta", "Descr", QStringLiteral("Produzione")},
    };
    for (const Obbl& o : obbligatori) {
        const QByteArray n = QByteArray(o.tabella) + "." + o.campo;
        QTest::newRow((n + " NULL rifiutato").constData()) << o.tabella << o.campo << QVariant() << false;
        QTest::newRow((n + " testo vuoto rifiutato").constData()) << o.tabella << o.campo << QVariant(QStringLiteral("")) << false;
        QTest::newRow((n + " valore accettato").constData()) << o.tabella << o.campo << o.buono << true;
    }
    QTest::newRow("Anagrafico.Id NULL rifiutato") << "Anagrafico" << "Id" << QVariant() << false;
    QTest::newRow("Badge.DataInizio NULL rifiutato") << "Badge" << "DataInizio" << QVariant() << false;
    QTest::newRow("Profilo.IdAzienda NULL rifiutato") << "Profilo" << "IdAzienda" << QVariant() << false;
    QTest::newRow("Turni.Durata NULL rifiutato") << "Turni" << "Durata" << QVariant() << false;

    QTest::newRow("Anagrafico.Libero vuoto accettato") << "Anagrafico" << "Libero" << QVariant(QStringLiteral("")) << true;
    QTest::newRow("Anagrafico.Matricola vuoto accettato") << "Anagrafico" << "Matricola" << QVariant(QStringLiteral("")) << true;
    QTest::newRow("Timbrature.Caus vuoto accettato") << "Timbrature" << "Caus" << QVariant(QStringLiteral("")) << true;
    QTest::newRow("Timbrature.VersoO NULL accettato") << "Timbrature" << "VersoO" << QVariant() << true;
    QTest::newRow("Profilo.TipoOrario vuoto accettato") << "Profilo" << "TipoOrario" << QVariant(QStringLiteral("")) << true;
    QTest::newRow("PianoSomma.Note vuoto accettato") << "PianoSomma" << "Note" << QVariant(QStringLiteral("")) << true;
    QTest::newRow("Badge.DataFine NULL accettato") << "Badge" << "DataFine" << QVariant() << true;
}

void TstSchema::campiObbligatori()
{
    QFETCH(QString, tabella);
    QFETCH(QString, campo);
    QFETCH(QVariant, valore);
    QFETCH(bool, ammesso);

    Ambiente amb;
    const int prima = amb.conta(tabella);
    const QString sql = insertConUnCampo(tabella, campo, valore);
    QCOMPARE(accettato(amb.db(), sql), ammesso);
    QCOMPARE(amb.conta(tabella), prima + (ammesso ? 1 : 0));
}

void TstSchema::formatoDataOra_data()
{
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("ammesso");

    for (const auto& [t, c] : {std::pair{"Timbrature", "DataV"}, std::pair{"Timbrature", "DataO"}, std::pair{"PianoSomma", "Data"},
                               std::pair{"Badge", "DataInizio"}}) {
        const QByteArray n = QByteArray(t) + "." + c;
        QTest::newRow((n + " formato memorizzato accettato").constData()) << t << c << "2024-03-05 07:08:09" << true;
        QTest::newRow((n + " ISO con T e millesimi rifiutato").constData()) << t << c << "2024-03-05T07:08:09.012" << false;
        QTest::newRow((n + " giorno/mese/anno rifiutato").constData()) << t << c << "05/03/2024" << false;
    }
    QTest::newRow("Timbrature.DataV con millesimi rifiutato") << "Timbrature" << "DataV" << "2024-03-05 07:08:09.012" << false;
    QTest::newRow("Timbrature.DataV senza secondi rifiutato") << "Timbrature" << "DataV" << "2024-03-05 07:08" << false;
}

void TstSchema::formatoDataOra()
{
    QFETCH(QString, tabella);
    QFETCH(QString, campo);
    QFETCH(QString, testo);
    QFETCH(bool, ammesso);

    Ambiente amb;
    QCOMPARE(accettato(amb.db(), insertConUnCampo(tabella, campo, testo)), ammesso);
    QCOMPARE(amb.conta(tabella, QStringLiteral("%1 = %2").arg(campo, letterale(testo))), ammesso ? 1 : 0);
}

void TstSchema::dataOraLegataSenzaConversioneRifiutata()
{
    // A QDateTime bound as it is reaches the table in another layout, which would sort
    // wrongly among the stored texts: the table refuses it instead of keeping it.
    Ambiente amb;
    QSqlQuery q = amb.db().prepara(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (1, :t, 'E')"));
    q.bindValue(QStringLiteral(":t"), QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)));
    QVERIFY(!Database::eseguiSalvoVincoli(q));

    QSqlQuery buona = amb.db().prepara(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (1, :t, 'E')"));
    buona.bindValue(QStringLiteral(":t"), Sql::dataOra(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))));
    QVERIFY(Database::eseguiSalvoVincoli(buona));
    QCOMPARE(amb.valore(QStringLiteral("SELECT DataV FROM Timbrature")).toString(), QStringLiteral("2024-03-05 07:08:09"));
}

// ---------------------------------------------------------------------------------------
// Creation run again, older databases

void TstSchema::creazioneRipetutaNonDuplicaNePerde()
{
    Ambiente amb;
    const QMap<QString, int> iniziali = contaRighe(amb.db(), kTabelleRiferimento);
    for (auto it = iniziali.cbegin(); it != iniziali.cend(); ++it)
        QVERIFY2(it.value() > 0, qPrintable(it.key() + " vuota dopo la creazione"));
    QCOMPARE(iniziali.value(QStringLiteral("CONFIGDB")), 1);

    // Rows of the user and a reference text the user changed.
    amb.esegui(QStringLiteral("UPDATE Errori SET Errore = 'Testo scelto dal cliente' WHERE Id = 103 AND Lingua = 'I'"));
    amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (5, 'Bianchi', 'Luca', 'D')"));
    amb.esegui(QStringLiteral("INSERT INTO UnitaPianta (Id, Descr, IdPiantaPadre) VALUES (2, 'Magazzino', 1)"));
    amb.esegui(QStringLiteral("UPDATE CONFIGDB SET RELDB = RELDB"));
    QMap<QString, int> attese = iniziali;
    attese[QStringLiteral("UnitaPianta")] += 1;

    const auto verifica = [&](Database& db) {
        QCOMPARE(contaRighe(db, kTabelleRiferimento), attese);
        QCOMPARE(db.valore(QStringLiteral("SELECT Errore FROM Errori WHERE Id = 103 AND Lingua = 'I'")).toString(),
                 QStringLiteral("Testo scelto dal cliente"));
        QCOMPARE(db.valore(QStringLiteral("SELECT Cognome FROM Anagrafico WHERE Id = 5")).toString(), QStringLiteral("Bianchi"));
        QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM Anagrafico")).toInt(), 1);
        QCOMPARE(Creazione::mancanti(db), QStringList());
    };

    Creazione::creaTutto(amb.db());
    verifica(amb.db());
    if (QTest::currentTestFailed())
        return;

    // The init command on the same folder, by a second copy of the data module.
    amb.dtm().Chiudi();
    PresentatoreRegistro reg;
    TdtmPresenze seconda;
    seconda.setPresentatore(&reg);
    QVERIFY(seconda.Apri(amb.fileIni(), TdtmPresenze::ModoCreazione::Sempre));
    QVERIFY(seconda.db().lavoroAperto());
    verifica(seconda.db());
    QCOMPARE(reg.avvisi, QStringList());
}

void TstSchema::databaseVecchioCompletatoDaInit()
{
    Ambiente amb;
    Database& db = amb.db();
    // An older release: no shift-rotation table, employees without the comment field and
    // its index, profiles without the punching mode, no working punch set.
    amb.esegui(QStringLiteral("DROP TABLE Turni"));
    amb.esegui(QStringLiteral("DROP TABLE Anagrafico"));
    amb.esegui(QStringLiteral("CREATE TABLE Anagrafico (Id INTEGER NOT NULL, Matricola VARCHAR(10), Cognome VARCHAR(30) NOT NULL, "
                              "Nome VARCHAR(20) NOT NULL, Note TEXT, Classe VARCHAR(1) NOT NULL, IdPolicyAccesso INTEGER)"));
    amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Classe) VALUES (3, '0000000042', 'Verdi', 'Ugo', 'D')"));
    amb.esegui(QStringLiteral("DROP TABLE Profilo"));
    {
        QStringList def;
        for (const Campo& c : Schema::tabella(QStringLiteral("Profilo"))->campi)
            if (c.nome != QLatin1String("ModalTimbra"))
                def << c.nome + (c.tipo == TipoCampo::Intero || c.tipo == TipoCampo::InteroPiccolo ? QStringLiteral(" INTEGER") : QStringLiteral(" TEXT"));
        amb.esegui(QStringLiteral("CREATE TABLE Profilo (%1)").arg(def.join(QStringLiteral(", "))));
    }
    amb.esegui(QStringLiteral("DROP TABLE ':dbPresUt:ETimb'"));
    const QStringList buchi = Creazione::mancanti(db);
    QVERIFY(buchi.contains(QStringLiteral("Turni")));
    QVERIFY(buchi.contains(QStringLiteral("Anagrafico.Libero")));
    QVERIFY(buchi.contains(QStringLiteral("Profilo.ModalTimbra")));
    QVERIFY(buchi.contains(QStringLiteral("ETimb")));
    amb.dtm().Chiudi();

    // The init command says what it adds, then adds it (an ordinary start refuses it:
    // produzioneInutilizzabile).
    PresentatoreRegistro reg;
    TdtmPresenze d;
    d.setPresentatore(&reg);
    QStringList annunciati;
    bool annunciatiPrima = false;
    const QString descrizione = amb.db().descrizione();
    connect(&d, &TdtmPresenze::schemaDaCompletare, this, [&](const QString& file, const QStringList& mancanti) {
        QCOMPARE(file, descrizione);
        annunciati = mancanti;
        annunciatiPrima = !tabellaIn(d.db(), false, QStringLiteral("Turni"));
    });
    QVERIFY(d.Apri(amb.fileIni(), TdtmPresenze::ModoCreazione::Sempre));
    QVERIFY(annunciatiPrima);
    for (const char* m : {"Turni", "Anagrafico.Libero", "Profilo.ModalTimbra"})
        QVERIFY2(annunciati.contains(QLatin1String(m)), m);
    Database& nuovo = d.db();
    QCOMPARE(Creazione::mancanti(nuovo), QStringList());
    QVERIFY(tabellaIn(nuovo, false, QStringLiteral("Turni")));
    QVERIFY(tabellaIn(nuovo, true, QStringLiteral("ETimb")));
    QVERIFY(campiDi(nuovo, false, QStringLiteral("Anagrafico")).contains(QStringLiteral("libero")));
    QVERIFY(cercaIndice(nuovo, false, QStringLiteral("Anagrafico"), QStringLiteral("idxAnagLibero"), {}).trovato);
    QVERIFY(cercaIndice(nuovo, true, QStringLiteral("ETimb"), QStringLiteral("idxOraMVersoV"), {}).trovato);

    // The existing employee is still there and the added field works.
    QCOMPARE(nuovo.valore(QStringLiteral("SELECT Cognome FROM Anagrafico WHERE Id = 3")).toString(), QStringLiteral("Verdi"));
    nuovo.esegui(QStringLiteral("UPDATE Anagrafico SET Libero = 'turno notte' WHERE Id = 3"));
    QCOMPARE(nuovo.valore(QStringLiteral("SELECT Libero FROM Anagrafico WHERE Id = 3")).toString(), QStringLiteral("turno notte"));

    // A required field added to an existing table is still required.
    QVERIFY(!accettato(nuovo, insertConUnCampo(QStringLiteral("Profilo"), QStringLiteral("ModalTimbra"), QVariant())));
    QVERIFY(!accettato(nuovo, insertConUnCampo(QStringLiteral("Profilo"), QStringLiteral("ModalTimbra"), QStringLiteral(""))));
    QVERIFY(accettato(nuovo, insertConUnCampo(QStringLiteral("Profilo"), QStringLiteral("ModalTimbra"), QStringLiteral("T"))));
    QCOMPARE(reg.avvisi, QStringList());
}

// ---------------------------------------------------------------------------------------
// Dialect and date-time texts

void TstSchema::tabelleDiLavoroPrivate()
{
    // Two copies of the application on the same folder, each with its own print selection.
    Ambiente amb;
    Database altra;
    altra.apri(amb.db().connessioneAperta(), false);
    altra.apriLavoro(amb.db().luogoLavoro());
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:SelezioneStampa' (Id) VALUES (9)"));  // left by a window
    for (Database* db : {&amb.db(), &altra})
        Creazione::rendiPrivate(*db, {QStringLiteral("SelezioneStampa")});
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:SelezioneStampa' (Id) VALUES (1)"));
    altra.esegui(QStringLiteral("INSERT INTO SelezioneStampa (Id) VALUES (2)"));
    const auto ids = [](Database& db, const QString& tabella) { return Banco::colonna(db, QStringLiteral("SELECT Id FROM ") + tabella); };
    const QString selezione = QStringLiteral("':dbPresUt:SelezioneStampa'");
    QCOMPARE(ids(amb.db(), selezione), QStringLiteral("1"));
    QCOMPARE(ids(amb.db(), QStringLiteral("SelezioneStampa")), QStringLiteral("1"));
    QCOMPARE(ids(altra, selezione), QStringLiteral("2"));
    QCOMPARE(ids(altra, altra.dialetto().schemaLavoro() + QStringLiteral(".SelezioneStampa")), QStringLiteral("9"));
    // The private table ends with its connection.
    altra.apri(amb.db().connessioneAperta(), false);
    altra.apriLavoro(amb.db().luogoLavoro());
    QCOMPARE(ids(altra, selezione), QStringLiteral("9"));
    QVERIFY_THROWS_EXCEPTION(ErroreDb, Creazione::rendiPrivate(altra, {QStringLiteral("Timbrature")}));
}

// Two workstations on one production database: what one writes there the other reads; each
// has work tables of its own (a file beside its PRES.INI, or a schema of its own on the server).
void TstSchema::postazioniConLavoroProprio()
{
    Ambiente amb;
    QTemporaryDir altra;
    const QString iniAltra = QDir(altra.path()).filePath(QStringLiteral("PRES.INI"));
    if (Banco::suServer())
        scriviFile(iniAltra, "[Ambiente START]\nMotore=PostgreSQL\nDatabase=" + amb.produzione().connessione().database.toUtf8() + "\nSchema=cassa2\n");
    else
        scriviFile(iniAltra, "[Ambiente START]\nPATH=" + QFileInfo(amb.db().fileProduzione()).absolutePath().toUtf8() + "\n");
    TdtmPresenze b;
    PresentatoreRegistro reg;
    b.setPresentatore(&reg);
    // The second workstation's first start: its work tables are made, the company's are there.
    QVERIFY(b.Apri(iniAltra, TdtmPresenze::ModoCreazione::Mai));
    QVERIFY(b.db().lavoroAperto());
    QVERIFY(b.db().luogoLavoro() != amb.db().luogoLavoro());
    QCOMPARE(Creazione::mancanti(b.db()), QStringList());

    amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (1, '2024-03-05 08:00:00', 'E')"));
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:EEvid' (Prod, IdSegnalaz) VALUES ('P', 1)"));
    b.db().esegui(QStringLiteral("INSERT INTO ':dbPresUt:EEvid' (Prod, IdSegnalaz) VALUES ('P', 2)"));
    QCOMPARE(b.db().valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature")).toInt(), 1);
    QCOMPARE(Banco::colonna(amb.db(), QStringLiteral("SELECT IdSegnalaz FROM EEvid")), QStringLiteral("1"));
    QCOMPARE(Banco::colonna(b.db(), QStringLiteral("SELECT IdSegnalaz FROM ':dbPresUt:EEvid'")), QStringLiteral("2"));
    QCOMPARE(reg.avvisi, QStringList());
}

void TstSchema::durataDelleTransazioni()
{
    // A punch's transaction waits for the disk; the rest of the work keeps the quick level.
    Ambiente amb;
    const auto attende = [&] { return amb.db().commitAttendeIlDisco(); };
    // The work file's level on SQLite (a server's setting covers every schema): raised with
    // the production one, since a terminal's rejected transaction is kept only there.
    const auto lavoro = [&] {
        return Banco::suServer() ? -1 : amb.db().valore(QStringLiteral("PRAGMA %1.synchronous").arg(amb.db().dialetto().schemaLavoro())).toInt();
    };
    QVERIFY(!attende());
    QCOMPARE(lavoro(), Banco::suServer() ? -1 : 0);
    {
        Transazione t(amb.db(), Durata::Piena);
        QVERIFY(attende());
        QCOMPARE(lavoro(), Banco::suServer() ? -1 : 2);
        t.conferma();
    }
    QVERIFY(!attende());
    QCOMPARE(lavoro(), Banco::suServer() ? -1 : 0);
    {
        Transazione t(amb.db(), Durata::Piena);
    }  // rolled back
    QVERIFY(!attende());
    {
        Transazione t(amb.db());
        QVERIFY(!attende());
    }

    // Once the log is emptied the production file alone holds every commit: a copy of it
    // taken while the connection is open misses nothing. A server keeps its own files.
    amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (1, '2024-03-05 08:00:00', 'E')"));
    amb.db().svuotaGiornale();
    if (!Banco::suServer()) {
        const QString copia = QDir(amb.dir()).filePath(QStringLiteral("copia.db"));
        QVERIFY(QFile::copy(amb.db().fileProduzione(), copia));
        Database c;
        c.apriProduzione(copia, false);
        QCOMPARE(c.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature")).toInt(), 1);
    }
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 1);
}

void TstSchema::interrogazioneDentroUnCiclo()
{
    // A loop over one result that runs other statements for each row still sees every row.
    Ambiente amb;
    for (int id = 1; id <= 5; ++id)
        amb.esegui(QStringLiteral("INSERT INTO Calendari (Id, Descr) VALUES (:id, 'C')"), {{"id", id}});
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT Id FROM Calendari ORDER BY Id"));
    QList<int> letti;
    while (q.next()) {
        letti << q.value(0).toInt();
        amb.db().esisteRiga(QStringLiteral("SELECT 1 FROM Calendari WHERE Id = :id"), {{"id", letti.last()}});
        amb.esegui(QStringLiteral("UPDATE Calendari SET Descr = 'D' WHERE Id = :id"), {{"id", letti.last()}});
    }
    QCOMPARE(letti, (QList<int>{1, 2, 3, 4, 5}));
}

void TstSchema::dialettoTraDueDatabase_data()
{
    QTest::addColumn<QString>("ora");
    QTest::addColumn<int>("oraM");

    QTest::newRow("mezzanotte") << "00:00:00" << 0;
    QTest::newRow("ultimo minuto del giorno") << "23:59:00" << 23 * 60 + 59;
    QTest::newRow("entrata del mattino") << "08:30:00" << 8 * 60 + 30;
    QTest::newRow("mezzogiorno e cinque") << "12:05:00" << 12 * 60 + 5;
    QTest::newRow("i secondi non contano") << "07:08:59" << 7 * 60 + 8;
}

void TstSchema::dialettoTraDueDatabase()
{
    QFETCH(QString, ora);
    QFETCH(int, oraM);

    Ambiente amb;
    const QString dataV = QStringLiteral("2024-03-05 ") + ora;
    amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, Caus) VALUES (4, :t, :t, 'E', 'E', '0012')"),
               {{"t", dataV}});
    // Another employee's punch must not come along.
    amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO) VALUES (5, '2024-03-05 10:10:00', "
                              "'2024-03-05 10:10:00', 'U', 'U')"));

    // The statements as the engine writes them, on the work database naming the production one.
    amb.esegui(QStringLiteral("INSERT INTO ETimb (IdDip, DataV, DataO, VersoV, VersoO, Caus, TipoUtil, Arrot, OraM) "
                              "SELECT IdDip, DataV, DataO, VersoV, VersoO, Caus, 'N', 'N', "
                              "EXTRACT(HOUR FROM DataV) * 60 + EXTRACT(MINUTE FROM DataV) "
                              "FROM ':dbPresenze:Timbrature' WHERE IdDip = :IdDip"),
               {{"IdDip", 4}});
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT ETimb.OraM, T.Caus, EXTRACT(HOUR FROM T.DataV), EXTRACT(MINUTE FROM (T.DataV)) "
                                                 "FROM ':dbPresUt:ETimb' ETimb, ':dbPresenze:Timbrature' T "
                                                 "WHERE T.IdDip = ETimb.IdDip AND T.DataV = ETimb.DataV"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), oraM);
    QCOMPARE(q.value(1).toString(), QStringLiteral("0012"));
    QCOMPARE(q.value(2).toInt(), oraM / 60);
    QCOMPARE(q.value(3).toInt(), oraM % 60);
    QVERIFY(!q.next());

    // The alias names the database, not whichever table of that name comes first.
    QCOMPARE(amb.valore(QStringLiteral("SELECT COUNT(*) FROM ':dbPresUt:ETimb'")).toInt(), 1);
    QCOMPARE(amb.valore(QStringLiteral("SELECT COUNT(*) FROM ':dbPresenze:Timbrature'")).toInt(), 2);
    bool rifiutato = false;
    try {
        amb.valore(QStringLiteral("SELECT COUNT(*) FROM ':dbPresenze:ETimb'"));
    } catch (const ErroreDb&) {
        rifiutato = true;
    }
    QVERIFY(rifiutato);
}

void TstSchema::stessiRisultatiSuEntrambi_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("ids");

    QTest::newRow("NULL prima degli altri valori") << "SELECT Id FROM Anagrafico ORDER BY Libero, Id" << "1,3,4,2";
    QTest::newRow("NULL dopo in ordine decrescente") << "SELECT Id FROM Anagrafico ORDER BY Libero DESC, Id" << "2,4,1,3";
    QTest::newRow("posto dei NULL scelto dall'istruzione") << "SELECT Id FROM Anagrafico ORDER BY Libero DESC NULLS FIRST, Id" << "1,3,2,4";
    QTest::newRow("ordine dentro una sottoselezione")
        << "SELECT Id FROM (SELECT Id, Libero FROM Anagrafico ORDER BY Libero LIMIT 2) t ORDER BY Id DESC" << "3,1";
    QTest::newRow("testo con parole chiave") << "SELECT Id FROM Anagrafico WHERE Nome <> 'x, order by y' ORDER BY Libero, Id" << "1,3,4,2";
    QTest::newRow("LIKE senza badare alle maiuscole") << "SELECT Id FROM Anagrafico WHERE Cognome LIKE 'ros%' ORDER BY Id" << "1,4";
    QTest::newRow("like dentro un testo resta testo") << "SELECT Id FROM Anagrafico WHERE Cognome || ' like' LIKE '%i like' ORDER BY Id" << "1,2,3,4";
    QTest::newRow("testi ordinati per byte") << "SELECT Id FROM Anagrafico ORDER BY Cognome" << "2,1,3,4";
}

void TstSchema::stessiRisultatiSuEntrambi()
{
    QFETCH(QString, sql);
    QFETCH(QString, ids);
    Ambiente& amb = comune();
    if (amb.conta(QStringLiteral("Anagrafico"), QStringLiteral("Id <= 4")) == 0) {
        const QString ins = QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe, Libero) VALUES (:id, :c, 'N', 'D', :l)");
        amb.esegui(ins, {{"id", 1}, {"c", QStringLiteral("Rossi")}, {"l", QVariant()}});
        amb.esegui(ins, {{"id", 2}, {"c", QStringLiteral("Bianchi")}, {"l", QStringLiteral("b")}});
        amb.esegui(ins, {{"id", 3}, {"c", QStringLiteral("Verdi")}, {"l", QVariant()}});
        amb.esegui(ins, {{"id", 4}, {"c", QStringLiteral("rossini")}, {"l", QStringLiteral("a")}});
    }
    QCOMPARE(Banco::colonna(amb.db(), sql), ids);
}

void TstSchema::testoDataMinuti_data()
{
    QTest::addColumn<QDate>("giorno");
    QTest::addColumn<int>("minuti");
    QTest::addColumn<QString>("atteso");

    const QDate d(2024, 3, 5);
    QTest::newRow("mezzanotte") << d << 0 << "2024-03-05 00:00:00";
    QTest::newRow("ultimo minuto del giorno") << d << 1439 << "2024-03-05 23:59:00";
    QTest::newRow("1440 e' la mezzanotte seguente") << d << 1440 << "2024-03-06 00:00:00";
    QTest::newRow("giorno dopo 01:10") << d << 1440 + 70 << "2024-03-06 01:10:00";
    QTest::newRow("ultimo minuto del giorno dopo") << d << 2879 << "2024-03-06 23:59:00";
    QTest::newRow("due giorni dopo") << d << 2880 << "2024-03-07 00:00:00";
    QTest::newRow("un minuto prima") << d << -1 << "2024-03-04 23:59:00";
    QTest::newRow("un giorno intero prima") << d << -1440 << "2024-03-04 00:00:00";
    QTest::newRow("un giorno e un minuto prima") << d << -1441 << "2024-03-03 23:59:00";
    QTest::newRow("29 febbraio") << QDate(2024, 2, 28) << 1440 + 60 << "2024-02-29 01:00:00";
    QTest::newRow("capodanno") << QDate(2023, 12, 31) << 1440 + 5 << "2024-01-01 00:05:00";
    QTest::newRow("indietro oltre capodanno") << QDate(2024, 1, 1) << -30 << "2023-12-31 23:30:00";
}

void TstSchema::testoDataMinuti()
{
    QFETCH(QDate, giorno);
    QFETCH(int, minuti);
    QFETCH(QString, atteso);
    QCOMPARE(Sql::testoDataMinuti(giorno, minuti), atteso);
}

void TstSchema::scomponi_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<QDate>("data");
    QTest::addColumn<int>("minuti");

    QTest::newRow("formato memorizzato") << "2024-03-05 07:08:09" << true << QDate(2024, 3, 5) << 7 * 60 + 8;
    QTest::newRow("ultimo minuto") << "2024-12-31 23:59:00" << true << QDate(2024, 12, 31) << 1439;
    QTest::newRow("sola data e' mezzanotte") << "2024-03-05" << true << QDate(2024, 3, 5) << 0;

    const auto no = [](const char* nome, const char* t) { QTest::newRow(nome) << t << false << QDate() << 0; };
    no("vuoto", "");
    no("data corta", "2024-3-5");
    no("giorno/mese/anno", "05/03/2024");
    no("lettere", "abcd-ef-gh 07:08:09");
    no("mese 13", "2024-13-01 00:00:00");
    no("30 febbraio", "2024-02-30 00:00:00");
    no("ora 24", "2024-03-05 24:00:00");
    no("minuto 60", "2024-03-05 07:60:00");
    no("lettera nell'ora", "2024-03-05 0a:00:00");
    no("barre al posto dei trattini", "2024/03/05 07:08:09");
    no("T tra data e ora", "2024-03-05T07:08:09");
    no("ora troncata dopo le ore", "2024-03-05 07");
}

void TstSchema::scomponi()
{
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(QDate, data);
    QFETCH(int, minuti);

    QDate d;
    int m = -1;
    QCOMPARE(Sql::scomponi(testo, &d, &m), valido);
    if (valido) {
        QCOMPARE(d, data);
        QCOMPARE(m, minuti);
    }
}

// ---------------------------------------------------------------------------------------
// Reference data

void TstSchema::anomalieDelMotore_data()
{
    QTest::addColumn<int>("codice");
    for (int c : {202, 204, 206, 209, 210, 212, 217, 450, 455})
        QTest::newRow(QByteArray::number(c).constData()) << c;
}

void TstSchema::anomalieDelMotore()
{
    QFETCH(int, codice);
    Ambiente& amb = comune();
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT TipoSegnalaz FROM Segnalazioni WHERE Id = :id"), {{"id", codice}});
    QVERIFY2(q.next(), "anomalia assente dal catalogo");
    // The engine reads the type to choose the day state: one character.
    QCOMPARE(q.value(0).toString().trimmed().size(), 1);
}

void TstSchema::testiDeiMessaggi_data()
{
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<int>("numero");

    for (int n : {1, 103, 104, 106, 107, 1001, 1108, 1114, 1115, 1116, 1119, 1120, 1517, 1541, 1543, 1544, 1800, 1801, 2001, 2002,
                  2010, 2101, 2102, 2601, 2602, 2603, 2611, 2612, 4001, 4106, 4107, 4111, 4112, 4113, 8004, 8009})
        QTest::newRow((QByteArray("Errori ") + QByteArray::number(n)).constData()) << "Errori" << "Errore" << n;
    for (int n : {2, 3, 1401, 1402, 2001, 2003, 2004, 2010, 2103, 2104, 2105, 2106, 2107, 2520, 2600, 2601, 2602, 2603, 2604, 2610})
        QTest::newRow((QByteArray("Scelte ") + QByteArray::number(n)).constData()) << "Scelte" << "Scelta" << n;
}

void TstSchema::testiDeiMessaggi()
{
    QFETCH(QString, tabella);
    QFETCH(QString, campo);
    QFETCH(int, numero);

    QSqlQuery q = comune().db().esegui(QStringLiteral("SELECT %1 FROM %2 WHERE Id = :id AND Lingua = 'I'").arg(campo, tabella), {{"id", numero}});
    QVERIFY2(q.next(), "numero senza testo in italiano");
    const QString testo = q.value(0).toString();
    QVERIFY(!testo.trimmed().isEmpty());
    QVERIFY2(testo.size() <= 128, qPrintable(testo));
    QVERIFY(!q.next());
}

void TstSchema::listeDiCodici_data()
{
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("lista");
    QTest::addColumn<QStringList>("codici");
    QTest::addColumn<int>("quanti");  // the exact number of codes, -1 when more may exist

    QTest::newRow("versi") << "Costanti4" << "Verso" << QStringList{"E", "U"} << 2;
    QTest::newRow("stati della giornata") << "Costanti3" << "StatoRid" << QStringList{"1", "2", "3"} << -1;
    QTest::newRow("giorni da domenica a sabato") << "Costanti4" << "Giorni3" << QStringList{"1", "2", "3", "4", "5", "6", "7"} << 7;
    QTest::newRow("tipi di colore") << "Costanti4" << "NColore" << QStringList{"1", "2", "3"} << 3;
    // "A" closes on the same day; the timetable report names "the other" mode: two in all.
    QTest::newRow("modi di chiusura") << "Costanti4" << "GioDescr" << QStringList{"A"} << 2;
    QTest::newRow("stati di presenza") << "Costanti1" << "Attributo" << QStringList{"PR", "AS", "AR", "AP", "AZ", "ES"} << -1;
}

void TstSchema::listeDiCodici()
{
    QFETCH(QString, tabella);
    QFETCH(QString, lista);
    QFETCH(QStringList, codici);
    QFETCH(int, quanti);

    Ambiente& amb = comune();
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT ValCod, Descr FROM %1 WHERE NCampo = :l AND Lingua = 'I'").arg(tabella), {{"l", lista}});
    QStringList trovati;
    while (q.next()) {
        trovati << q.value(0).toString();
        const QString descr = q.value(1).toString();
        QVERIFY2(!descr.trimmed().isEmpty() && descr.size() <= 30, qPrintable(lista + ": " + descr));
    }
    for (const QString& c : codici)
        QVERIFY2(trovati.contains(c), qPrintable(lista + " senza il codice " + c));
    if (quanti >= 0)
        QCOMPARE(trovati.size(), quanti);
}

// ---------------------------------------------------------------------------------------
// Opening failures

void TstSchema::produzioneMancante_data()
{
    QTest::addColumn<int>("percorso");  // 0 default folder, 1 an existing empty folder, 2 a missing folder, 3 a server
    QTest::addColumn<int>("modo");

    if (Banco::suServer()) {
        // A server has no folders: the database named is simply not there.
        QTest::newRow("database assente, mai creare") << 3 << int(TdtmPresenze::ModoCreazione::Mai);
        QTest::newRow("database assente, primo avvio") << 3 << int(TdtmPresenze::ModoCreazione::CartellaPredefinita);
        QTest::newRow("database assente, anche con l'inizializzazione") << 3 << int(TdtmPresenze::ModoCreazione::Sempre);
        return;
    }
    QTest::newRow("cartella predefinita, mai creare") << 0 << int(TdtmPresenze::ModoCreazione::Mai);
    QTest::newRow("cartella indicata, mai creare") << 1 << int(TdtmPresenze::ModoCreazione::Mai);
    QTest::newRow("cartella indicata, creare solo nella predefinita") << 1 << int(TdtmPresenze::ModoCreazione::CartellaPredefinita);
    QTest::newRow("cartella indicata inesistente, anche con l'inizializzazione") << 2 << int(TdtmPresenze::ModoCreazione::Sempre);
}

void TstSchema::produzioneMancante()
{
    QFETCH(int, percorso);
    QFETCH(int, modo);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString app = QDir(dir.path()).filePath(QStringLiteral("app"));
    QVERIFY(QDir().mkpath(app));
    QString cartellaDati = QDir(app).filePath(QStringLiteral("Dati"));
    QByteArray ini;
    if (percorso == 1) {
        cartellaDati = QDir(dir.path()).filePath(QStringLiteral("server"));
        QVERIFY(QDir().mkpath(cartellaDati));
    } else if (percorso == 2) {
        cartellaDati = QDir(dir.path()).filePath(QStringLiteral("non-montato"));
    }
    const QString assente = QStringLiteral("quorlin_assente_%1").arg(QCoreApplication::applicationPid());
    if (percorso == 1 || percorso == 2)
        ini = "[Ambiente START]\r\nPATH=" + cartellaDati.toUtf8() + "\r\n";
    else if (percorso == 3)
        ini = "[Ambiente START]\r\nMotore=PostgreSQL\r\nDatabase=" + assente.toUtf8() + "\r\n";
    const QString fileIni = QDir(app).filePath(QStringLiteral("PRES.INI"));
    scriviFile(fileIni, ini);

    PresentatoreRegistro reg;
    TdtmPresenze d;
    d.setPresentatore(&reg);
    bool loginChiesto = false;
    d.login = [&](TdtmPresenze&) {
        loginChiesto = true;
        return true;
    };
    QString testo;
    try {
        d.Apri(fileIni, TdtmPresenze::ModoCreazione(modo));
    } catch (const ErroreDb& e) {
        testo = e.testo();
    }
    QVERIFY2(!testo.isEmpty(), "nessun errore per un database di produzione mancante");
    QVERIFY2(testo.contains(percorso == 3 ? assente : QStringLiteral("DBPresenze")) || testo.contains(cartellaDati), qPrintable(testo));
    QVERIFY(!QFileInfo::exists(QDir(cartellaDati).filePath(QStringLiteral("DBPresenze.db"))));
    if (percorso == 0)
        QVERIFY(!QFileInfo::exists(cartellaDati));
    // The remaining opening steps do not run.
    QVERIFY(!QFileInfo::exists(QDir(app).filePath(QStringLiteral("Tabelle/DBPresUt.db"))));
    QVERIFY(!loginChiesto);
    QVERIFY(!d.db().aperto());
}

void TstSchema::produzioneInutilizzabile_data()
{
    QTest::addColumn<QString>("file");  // what DBPresenze.db holds
    QTest::addColumn<int>("modo");
    QTest::addColumn<int>("messaggio");  // 0: opened and completed

    const int mai = int(TdtmPresenze::ModoCreazione::Mai);
    const int primo = int(TdtmPresenze::ModoCreazione::CartellaPredefinita);
    const int init = int(TdtmPresenze::ModoCreazione::Sempre);
    QTest::newRow("vuoto, avvio normale") << "vuoto" << mai << int(Msg::ErrDbVuoto);
    QTest::newRow("vuoto, avvio nella cartella predefinita") << "vuoto" << primo << int(Msg::ErrDbVuoto);
    QTest::newRow("vuoto, creato da init") << "vuoto" << init << 0;
    QTest::newRow("di un altro programma, avvio normale") << "estraneo" << mai << int(Msg::ErrDbEstraneo);
    QTest::newRow("di un altro programma, mai toccato da init") << "estraneo" << init << int(Msg::ErrDbEstraneo);
    QTest::newRow("senza Timbrature, avvio normale") << "incompleto" << mai << int(Msg::ErrDbIncompleto);
    QTest::newRow("senza Timbrature, avvio nella cartella predefinita") << "incompleto" << primo << int(Msg::ErrDbIncompleto);
    QTest::newRow("di una versione successiva, avvio normale") << "recente" << mai << int(Msg::ErrDbRecente);
    QTest::newRow("di una versione successiva, mai toccato da init") << "recente" << init << int(Msg::ErrDbRecente);
}

void TstSchema::produzioneInutilizzabile()
{
    QFETCH(QString, file);
    QFETCH(int, modo);
    QFETCH(int, messaggio);

    Ambiente amb;
    amb.dtm().Chiudi();
    DatabaseDiProva& produzione = amb.produzione();
    const QString fileLavoro = QDir(amb.dir()).filePath(QStringLiteral("Tabelle/DBPresUt.db"));
    // The database made again from nothing, work database included.
    if (Banco::suServer())
        produzione.svuota();
    else
        QVERIFY(QFile::remove(produzione.connessione().file) && QFile::remove(fileLavoro));
    if (file == QLatin1String("vuoto")) {
        if (!Banco::suServer())
            scriviFile(produzione.connessione().file, {});
    } else {
        Database db;
        db.apri(produzione.connessione(), true);
        if (file == QLatin1String("estraneo"))
            db.esegui(QStringLiteral("CREATE TABLE Fatture (Numero INTEGER, Importo INTEGER)"));
        else if (file == QLatin1String("recente")) {
            Creazione::creaTutto(db);
            db.esegui(QStringLiteral("UPDATE CONFIGDB SET VERSIONESCHEMA = :v"), {{"v", Schema::kVersione + 1}});
        } else {
            Creazione::creaTutto(db);
            db.esegui(QStringLiteral("DROP TABLE Timbrature"));
        }
    }
    const QByteArray prima = produzione.fotografia();

    PresentatoreRegistro reg;
    TdtmPresenze d;
    d.setPresentatore(&reg);
    bool loginChiesto = false;
    d.login = [&](TdtmPresenze&) {
        loginChiesto = true;
        return true;
    };
    int numero = 0;
    QString dettaglio;
    try {
        d.Apri(amb.fileIni(), TdtmPresenze::ModoCreazione(modo));
    } catch (const ErroreAvvio& e) {
        numero = e.numero();
        dettaglio = e.dettaglio();
    }
    QCOMPARE(numero, messaggio);
    if (messaggio == 0) {
        QCOMPARE(Creazione::mancanti(d.db()), QStringList());
        return;
    }
    // The message names the database and what is missing; nothing was written, nothing else
    // opened.
    QVERIFY2(dettaglio.startsWith(produzione.connessione().descrizione()), qPrintable(dettaglio));
    if (file == QLatin1String("incompleto"))
        QVERIFY2(dettaglio.endsWith(QStringLiteral(": Timbrature")), qPrintable(dettaglio));
    QVERIFY(!d.db().aperto());
    QVERIFY(!loginChiesto);
    QCOMPARE(produzione.fotografia(), prima);
    if (Banco::suServer()) {
        Database db;
        db.apri(produzione.connessione(), false);
        QVERIFY(!db.esisteLavoro(produzione.lavoro()));
    } else {
        QVERIFY(!QFileInfo::exists(fileLavoro));
    }
}

// A company's database as release 1 left it reaches this release by upgrade, after a copy
// of it is kept; its rows stay, and a second start finds nothing to do.
void TstSchema::aggiornamentoDallaVersione1()
{
    Ambiente amb;
    amb.dtm().Chiudi();
    const Connessione produzione = amb.produzione().connessione();
    if (Banco::suServer())
        amb.produzione().svuota();
    else
        QVERIFY(QFile::remove(produzione.file));
    {
        Database db;
        db.apri(produzione, true);
        const QString dump = QString::fromUtf8(leggiFile(QStringLiteral(QUORLIN_VERSIONI_SCHEMA "/presenze_v1.sql")));
        QVERIFY(!dump.isEmpty());
        Creazione::eseguiDump(db, dump);
        QCOMPARE(Creazione::versioneSchema(db), 1);
        QCOMPARE(Creazione::mancanti(db), QStringList{QStringLiteral("AnomalieGiorno")});
    }

    QString copia;
    for (int avvio = 1; avvio <= 2; ++avvio) {
        PresentatoreRegistro reg;
        TdtmPresenze d;
        d.setPresentatore(&reg);
        QVERIFY(d.Apri(amb.fileIni(), TdtmPresenze::ModoCreazione::Mai));
        QCOMPARE(Creazione::versioneSchema(d.db()), Schema::kVersione);
        QCOMPARE(Creazione::mancanti(d.db()), QStringList());
        QCOMPARE(d.db().valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature")).toInt(), 8);
        QCOMPARE(d.db().valore(QStringLiteral("SELECT COUNT(*) FROM Anagrafico")).toInt(), 2);
        // The new release's messages reach the old database.
        QVERIFY(d.db().esisteRiga(QStringLiteral("SELECT 1 FROM Errori WHERE Id = :n"), {{"n", int(Msg::AvvDbAggiornato)}}));
        if (avvio == 1) {
            QCOMPARE(reg.avvisi.size(), 1);
            const QString inizio = d.TestoErrore(Msg::AvvDbAggiornato) + QLatin1Char(' ');
            QVERIFY2(reg.avvisi.first().startsWith(inizio), qPrintable(reg.avvisi.first()));
            copia = reg.avvisi.first().mid(inizio.size());
        } else {
            QCOMPARE(reg.avvisi, QStringList());
        }
    }
    // The copy is the database as it was: release 1, its punches, no new table; one copy only.
    if (Banco::suServer()) {
        QCOMPARE(copia, produzione.descrizione() + QStringLiteral(" (schema copia_v1)"));
        Database db;
        db.apri(produzione, false);
        QVERIFY(!db.esisteLavoro(QStringLiteral("copia_v1_2")));
        QCOMPARE(db.valore(QStringLiteral("SELECT MAX(VERSIONESCHEMA) FROM copia_v1.CONFIGDB")).toInt(), 1);
        QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM copia_v1.Timbrature")).toInt(), 8);
        QVERIFY_THROWS_EXCEPTION(ErroreDb, db.valore(QStringLiteral("SELECT COUNT(*) FROM copia_v1.AnomalieGiorno")));
        return;
    }
    QCOMPARE(copia, QDir::toNativeSeparators(produzione.file + QStringLiteral(".v1.bak")));
    QVERIFY(!QFileInfo::exists(produzione.file + QStringLiteral(".v1-2.bak")));
    Database vecchio;
    vecchio.apriProduzione(produzione.file + QStringLiteral(".v1.bak"), false);
    QCOMPARE(Creazione::versioneSchema(vecchio), 1);
    QCOMPARE(vecchio.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature")).toInt(), 8);
    QVERIFY(!vecchio.tabelleEsistenti(false).contains(QStringLiteral("AnomalieGiorno")));
}

void TstSchema::fileCheNonEUnDatabase_data()
{
    QTest::addColumn<int>("modo");
    QTest::newRow("avvio normale") << int(TdtmPresenze::ModoCreazione::Mai);
    QTest::newRow("primo avvio nella cartella predefinita") << int(TdtmPresenze::ModoCreazione::CartellaPredefinita);
    QTest::newRow("comando di inizializzazione") << int(TdtmPresenze::ModoCreazione::Sempre);
}

void TstSchema::fileCheNonEUnDatabase()
{
    QFETCH(int, modo);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir().mkpath(QDir(dir.path()).filePath(QStringLiteral("Dati"))));
    const QString file = QDir(dir.path()).filePath(QStringLiteral("Dati/DBPresenze.db"));
    QByteArray spazzatura;
    for (int i = 0; i < 200; ++i)
        spazzatura += "Questo non e' un archivio delle presenze. " + QByteArray::number(i * 7919) + "\n";
    scriviFile(file, spazzatura);
    const QString fileIni = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    // On a server: the address named is no server at all (nothing listens on port 1); the
    // garbage beside PRES.INI is left alone all the same.
    if (Banco::suServer())
        scriviFile(fileIni, "[Ambiente START]\nMotore=PostgreSQL\nHost=127.0.0.1\nPorta=1\nDatabase=quorlin\n");

    PresentatoreRegistro reg;
    TdtmPresenze d;
    d.setPresentatore(&reg);
    bool errore = false;
    try {
        d.Apri(fileIni, TdtmPresenze::ModoCreazione(modo));
    } catch (const ErroreDb& e) {
        errore = true;
        QVERIFY(!e.testo().isEmpty());
        QVERIFY2(!Banco::suServer() || (e.testo().startsWith(QStringLiteral("postgresql://")) && e.connessionePersa()), qPrintable(e.testo()));
    }
    QVERIFY(errore);
    QVERIFY(!d.db().aperto());
    QVERIFY(reg.avvisi.isEmpty());
    // The file the user pointed at is never overwritten.
    QCOMPARE(leggiFile(file), spazzatura);
}

void TstSchema::lavoroNonApribile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // "Tabelle" is a file, so the work database cannot live there; on a server, a schema name
    // reserved to the server's own.
    scriviFile(QDir(dir.path()).filePath(QStringLiteral("Tabelle")), "non una cartella\n");
    const QString fileIni = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    DatabaseDiProva produzione(dir.path());
    if (Banco::suServer())
        scriviFile(fileIni, "[Ambiente START]\nMotore=PostgreSQL\nDatabase=" + produzione.connessione().database.toUtf8() + "\nSchema=pg_quorlin\n");

    PresentatoreRegistro reg;
    TdtmPresenze d;
    d.setPresentatore(&reg);
    d.IdDipCorrente = 12;
    bool loginChiesto = false;
    d.login = [&](TdtmPresenze&) {
        loginChiesto = true;
        return true;
    };
    // A database on a server is created by init only.
    QVERIFY(d.Apri(fileIni, Banco::suServer() ? TdtmPresenze::ModoCreazione::Sempre : TdtmPresenze::ModoCreazione::CartellaPredefinita));

    const QString messaggio1 =
        d.db().valore(QStringLiteral("SELECT Errore FROM Errori WHERE Id = 1 AND Lingua = 'I'")).toString().trimmed();
    QVERIFY(!messaggio1.isEmpty());
    QCOMPARE(reg.avvisi, QStringList{messaggio1});
    QVERIFY(d.db().aperto());
    QVERIFY(!d.db().lavoroAperto());
    // Start-up went on.
    QCOMPARE(d.IdDipCorrente, -1);
    QVERIFY(loginChiesto);
    // Every later use of the work database fails with the engine's error.
    bool errore = false;
    try {
        d.db().valore(QStringLiteral("SELECT COUNT(*) FROM ':dbPresUt:ETimb'"));
    } catch (const ErroreDb&) {
        errore = true;
    }
    QVERIFY(errore);
    QVERIFY(QFileInfo(QDir(dir.path()).filePath(QStringLiteral("Tabelle"))).isFile());
}

QTEST_GUILESS_MAIN(TstSchema)
#include "tst_schema.moc"
