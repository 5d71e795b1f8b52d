// The employee register on real databases: the editor's checks in their order, the rows a
// confirmation writes (ids, zero filling, dates in step, creation values), the badge change log
// of every operation, the deletion of an employee with all his data, a failure inside each
// transaction, the register's lists and orders, the printed lists, and the import of employees
// from CSV files.

#include "anagrafe.h"
#include "avanzamento.h"
#include "cancelladipendente.h"
#include "importadipendenti.h"
#include "messaggi.h"
#include "rptanag.h"
#include "tdtmanagrafico.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace Anagrafe;

namespace {

constexpr int kTurno = 5;
constexpr int kFestivo = 7;

// The register of anagrafe.h with a rotation and a holiday timetable.
void azienda(Ambiente& amb)
{
    popola(amb);
    amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (:id, 'Giornaliero', 7)"), {{"id", kTurno}});
    amb.esegui(QStringLiteral("INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO) VALUES (:id, 'Festivo', '7', 'E')"), {{"id", kFestivo}});
}

// A new employee as the editor leaves it when every required field is filled.
DatiDipendente nuovo(TdtmAnagrafico& anag, const char* codice = "777")
{
    DatiDipendente d = anag.Nuovo();
    d.Cognome = QStringLiteral("Neri");
    d.Nome = QStringLiteral("Giulia");
    d.Codice = QString::fromLatin1(codice);
    d.IdPianta = Produzione;
    d.IdRuolo = Operaio;
    d.DataAssunz = QDate(2024, 2, 1);
    return d;
}

// The badge change log, one "op code" per entry in id order.
QStringList registro(Ambiente& amb)
{
    QStringList l;
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT TipoOp, Badge, NumClient FROM AnagMod ORDER BY Id"));
    while (q.next())
        l << QStringLiteral("%1 %2%3").arg(q.value(0).toString(), q.value(1).toString(),
                                           q.value(2).toInt() == 100 ? QString() : QStringLiteral(" client ") + q.value(2).toString());
    return l;
}

// Every row of the tables an employee's data lives in, as text, for "nothing changed".
QString istantanea(Ambiente& amb)
{
    QStringList r;
    for (const char* t : {"Anagrafico", "Badge", "Profilo", "AnagMod", "Timbrature", "PianoSomma"}) {
        QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
        QStringList righe;
        while (q.next()) {
            QStringList c;
            for (int i = 0; i < q.record().count(); ++i)
                c << q.value(i).toString();
            righe << c.join(QLatin1Char('|'));
        }
        righe.sort();
        r << QLatin1String(t) + QLatin1Char(':') + righe.join(QLatin1Char(';'));
    }
    return r.join(QLatin1Char('\n'));
}

// The log table swapped for a view nothing can be appended to, on either engine.
void registroInSolaLettura(Ambiente& amb, bool sola)
{
    if (sola) {
        amb.esegui(QStringLiteral("ALTER TABLE AnagMod RENAME TO AnagModGuasta"));
        amb.esegui(QStringLiteral("CREATE VIEW AnagMod AS SELECT DISTINCT * FROM AnagModGuasta"));
    } else {
        amb.esegui(QStringLiteral("DROP VIEW AnagMod"));
        amb.esegui(QStringLiteral("ALTER TABLE AnagModGuasta RENAME TO AnagMod"));
    }
}

QByteArray csv(const QStringList& righe, const char* separatore = ";")
{
    return righe.join(QStringLiteral("\r\n")).replace(QLatin1Char(';'), QLatin1String(separatore)).toUtf8() + "\r\n";
}

const QString kIntestazione = QStringLiteral("Cognome;Nome;Matricola;Badge;Livello;Reparto;Qualifica;Assunzione;Cessazione;Turno;"
                                             "OrarioFestivo;Straordinario");

}  // namespace

class TstAnagrafico : public QObject {
    Q_OBJECT

private slots:
    void idNuovoDipendente_data();
    void idNuovoDipendente();
    void conferma_data();
    void conferma();
    void valoriDiCreazioneEDateInPasso();
    void badgeGiaAssegnato();
    void registroBadge_data();
    void registroBadge();
    void cancellaOgniTabella();
    void guastoNellaTransazione_data();
    void guastoNellaTransazione();
    void modificaDiUnDipendenteCancellato();
    void elencoEOrdini();
    void unitaConPercorso();
    void stampe();
    void importa_data();
    void importa();
    void importaCinquecentoConUnaRigaErrata();
    void leggiCsv();
};

void TstAnagrafico::idNuovoDipendente_data()
{
    QTest::addColumn<int>("massimo");  // highest id stored; 0 none
    QTest::addColumn<int>("atteso");
    QTest::newRow("registro vuoto") << 0 << 10;
    QTest::newRow("3 dà 10") << 3 << 10;
    QTest::newRow("9 dà 10") << 9 << 10;
    QTest::newRow("41 dà 42") << 41 << 42;
}

void TstAnagrafico::idNuovoDipendente()
{
    QFETCH(int, massimo);
    QFETCH(int, atteso);
    Ambiente amb;
    azienda(amb);
    amb.esegui(QStringLiteral("DELETE FROM Anagrafico"));
    if (massimo)
        persona(amb, massimo, "1", QStringLiteral("Alto"), "Id", nullptr, "D");
    TdtmAnagrafico anag(amb.dtm());
    DatiDipendente d = nuovo(anag);
    QVERIFY(anag.Registra(d).ok());
    QCOMPARE(d.Id, atteso);
    QCOMPARE(amb.conta(QStringLiteral("Anagrafico"), QStringLiteral("Id = %1").arg(atteso)), 1);
    QCOMPARE(amb.conta(QStringLiteral("Profilo"), QStringLiteral("IdUtilizzatore = %1").arg(atteso)), 1);
    QCOMPARE(amb.conta(QStringLiteral("Badge"), QStringLiteral("IdUtilizzatore = %1").arg(atteso)), 1);
}

void TstAnagrafico::conferma_data()
{
    QTest::addColumn<std::function<void(DatiDipendente&)>>("modifica");
    QTest::addColumn<int>("errore");
    QTest::addColumn<CampoAnag>("campo");
    QTest::addColumn<QString>("memorizzato");  // Matricola|Cognome|Nome|Libero|Note|Codice|IdOrari|IdOrFestivo

    using M = std::function<void(DatiDipendente&)>;
    const int no = 0, dato = Msg::ErrDatoMancante;
    const QString lunga300 = QString(300, QChar(0x00E8));
    QTest::newRow("completo") << M([](DatiDipendente&) {}) << no << CampoAnag::Nessuno << "|Neri|Giulia|||0000000777||";
    QTest::newRow("matricola 77") << M([](DatiDipendente& d) { d.Matricola = QStringLiteral("77"); }) << no << CampoAnag::Nessuno
                                  << "0000000077|Neri|Giulia|||0000000777||";
    QTest::newRow("matricola di 10 caratteri") << M([](DatiDipendente& d) { d.Matricola = QStringLiteral("A123456789"); }) << no
                                               << CampoAnag::Nessuno << "A123456789|Neri|Giulia|||0000000777||";
    QTest::newRow("badge con lettere") << M([](DatiDipendente& d) { d.Codice = QStringLiteral("AB12"); }) << no << CampoAnag::Nessuno
                                       << "|Neri|Giulia|||000000AB12||";
    QTest::newRow("apostrofi, accenti, note di 300") << M([lunga300](DatiDipendente& d) {
        d.Cognome = QStringLiteral("D'Àngelo \"Tito\"; DROP Badge");
        d.Nome = QStringLiteral("Zoë");
        d.Libero = QStringLiteral("3° livello");
        d.Note = lunga300;
        d.IdOrari = kTurno;
        d.IdOrFestivo = kFestivo;
    }) << no << CampoAnag::Nessuno
       << QStringLiteral("|D'Àngelo \"Tito\"; DROP Badge|Zoë|3° livello|%1|0000000777|5|7").arg(lunga300);
    QTest::newRow("senza cognome") << M([](DatiDipendente& d) { d.Cognome = QStringLiteral("  "); }) << dato << CampoAnag::Cognome << "";
    QTest::newRow("senza nome") << M([](DatiDipendente& d) { d.Nome.clear(); }) << dato << CampoAnag::Nome << "";
    QTest::newRow("cognome di 31 caratteri") << M([](DatiDipendente& d) { d.Cognome = QString(31, QLatin1Char('x')); }) << dato
                                             << CampoAnag::Cognome << "";
    QTest::newRow("matricola di 11 caratteri") << M([](DatiDipendente& d) { d.Matricola = QStringLiteral("12345678901"); }) << dato
                                               << CampoAnag::Matricola << "";
    QTest::newRow("reparto non scelto") << M([](DatiDipendente& d) { d.IdPianta = DatiDipendente::kNessunaUnita; }) << dato
                                        << CampoAnag::Reparto << "";
    QTest::newRow("reparto cancellato") << M([](DatiDipendente& d) { d.IdPianta = 99; }) << dato << CampoAnag::Reparto << "";
    QTest::newRow("qualifica non scelta") << M([](DatiDipendente& d) { d.IdRuolo = DatiDipendente::kNessunaUnita; }) << dato
                                          << CampoAnag::Qualifica << "";
    QTest::newRow("badge vuoto") << M([](DatiDipendente& d) { d.Codice.clear(); }) << dato << CampoAnag::Codice << "";
    QTest::newRow("badge di un altro") << M([](DatiDipendente& d) { d.Codice = QStringLiteral("345"); }) << dato << CampoAnag::Codice << "";
    QTest::newRow("licenziamento il giorno prima") << M([](DatiDipendente& d) {
        d.DataAssunz = QDate(2000, 3, 1);
        d.DataLicenz = QDate(2000, 2, 29);
    }) << int(Msg::ErrDateAssunzione) << CampoAnag::Licenziamento << "";
    QTest::newRow("licenziamento lo stesso giorno") << M([](DatiDipendente& d) { d.DataLicenz = d.DataAssunz; }) << no
                                                    << CampoAnag::Nessuno << "|Neri|Giulia|||0000000777||";
    QTest::newRow("turno cancellato") << M([](DatiDipendente& d) { d.IdOrari = 99; }) << dato << CampoAnag::Turno << "";
    QTest::newRow("orario festivo cancellato") << M([](DatiDipendente& d) { d.IdOrFestivo = 99; }) << dato << CampoAnag::OrarioFestivo
                                               << "";
    // The first failure in the Part's order wins: names, units, badge, dates.
    QTest::newRow("badge e date errati") << M([](DatiDipendente& d) {
        d.Codice = QStringLiteral("345");
        d.DataLicenz = d.DataAssunz.addDays(-1);
    }) << dato << CampoAnag::Codice << "";
    QTest::newRow("nome e reparto mancanti") << M([](DatiDipendente& d) {
        d.Nome.clear();
        d.IdPianta = DatiDipendente::kNessunaUnita;
    }) << dato << CampoAnag::Nome << "";
}

void TstAnagrafico::conferma()
{
    QFETCH(std::function<void(DatiDipendente&)>, modifica);
    QFETCH(int, errore);
    QFETCH(CampoAnag, campo);
    QFETCH(QString, memorizzato);
    Ambiente amb;
    azienda(amb);
    TdtmAnagrafico anag(amb.dtm());
    const QString prima = istantanea(amb);
    DatiDipendente d = nuovo(anag);
    modifica(d);
    const EsitoAnag e = anag.Registra(d);
    QCOMPARE(e.errore, errore);
    QCOMPARE(e.campo, campo);
    QVERIFY(!amb.db().inTransazione());
    if (errore) {
        QCOMPARE(istantanea(amb), prima);
        QCOMPARE(d.Id, 0);
        return;
    }
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT a.Matricola, a.Cognome, a.Nome, a.Libero, a.Note, b.Codice, p.IdOrari, "
                                                 "p.IdOrFestivo FROM Anagrafico a, Badge b, Profilo p WHERE a.Id = :id AND "
                                                 "b.IdUtilizzatore = a.Id AND p.IdUtilizzatore = a.Id"),
                                  {{"id", d.Id}});
    QVERIFY(q.next());
    QStringList c;
    for (int i = 0; i < 8; ++i)
        c << (q.isNull(i) ? QString() : q.value(i).toString());
    QCOMPARE(c.join(QLatin1Char('|')), memorizzato);
    QVERIFY(!q.next());
    // What was stored reads back as it was confirmed.
    const std::optional<DatiDipendente> letto = anag.Leggi(d.Id);
    QVERIFY(letto);
    QVERIFY(letto->StessiValori(d));
}

void TstAnagrafico::valoriDiCreazioneEDateInPasso()
{
    Ambiente amb;
    azienda(amb);
    amb.dtm().setOggi(QDate(2026, 12, 9));
    TdtmAnagrafico anag(amb.dtm());
    const DatiDipendente n = anag.Nuovo();
    QCOMPARE(n.Codice, QStringLiteral("0000000000"));
    QCOMPARE(n.DataAssunz, QDate(2026, 12, 9));
    QCOMPARE(n.IdPianta, -1);
    QCOMPARE(n.IdRuolo, -1);
    QVERIFY(n.Autorizzato);

    DatiDipendente d = nuovo(anag);
    d.Autorizzato = false;
    QVERIFY(anag.Registra(d).ok());
    const auto profilo = [&] {
        return amb.db()
            .esegui(QStringLiteral("SELECT DataInizio, DataFine, DataAssunz, DataLicenz, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, "
                                   "InPeriodo4, InPeriodo5, IdNomina, IdAzienda, ModalTimbra, TipoOrario, GestReperib, UltElabVoci, "
                                   "Autorizzato, IdOrari, IdOrFestivo FROM Profilo WHERE IdUtilizzatore = :id"),
                    {{"id", d.Id}});
    };
    const auto righe = [&](QSqlQuery q) {
        QStringList l;
        while (q.next()) {
            QStringList c;
            for (int i = 0; i < q.record().count(); ++i)
                c << (q.value(i).isNull() ? QStringLiteral("-") : q.value(i).toString().left(10));
            l << c.join(QLatin1Char(' '));
        }
        return l;
    };
    const QString a = QStringLiteral("2024-02-01");
    QCOMPARE(righe(profilo()), QStringList{QStringLiteral("%1 - %1 - %1 %1 %1 %1 %1 %1 1 1 T T N 1899-12-29 N - -").arg(a)});
    QCOMPARE(amb.valore(QStringLiteral("SELECT Classe FROM Anagrafico WHERE Id = :id"), {{"id", d.Id}}).toString(), QStringLiteral("D"));
    QVERIFY(amb.valore(QStringLiteral("SELECT IdPolicyAccesso FROM Anagrafico WHERE Id = :id"), {{"id", d.Id}}).isNull());

    // A modification moves every date of profile and badge with the hiring and leaving dates.
    d.DataAssunz = QDate(2024, 5, 6);
    d.DataLicenz = QDate(2025, 1, 31);
    d.Autorizzato = true;
    QVERIFY(anag.Registra(d).ok());
    const QString b = QStringLiteral("2024-05-06"), f = QStringLiteral("2025-01-31");
    QCOMPARE(righe(profilo()), QStringList{QStringLiteral("%1 %2 %1 %2 %1 %1 %1 %1 %1 %1 1 1 T T N 1899-12-29 S - -").arg(b, f)});
    QCOMPARE(righe(amb.db().esegui(QStringLiteral("SELECT DataInizio, DataFine FROM Badge WHERE IdUtilizzatore = :id"), {{"id", d.Id}})),
             QStringList{b + QLatin1Char(' ') + f});

    // An employee stored without badge and profile gets them, with the creation values, at
    // his first confirmation; earlier profiles of one who has several stay as they were.
    std::optional<DatiDipendente> senza = anag.Leggi(6);
    QVERIFY(senza);
    QCOMPARE(senza->Codice, QStringLiteral("0000000000"));
    QCOMPARE(senza->IdPianta, -1);
    senza->Codice = QStringLiteral("600");
    senza->IdPianta = Uffici;
    senza->IdRuolo = Impiegato;
    QVERIFY(anag.Registra(*senza).ok());
    QCOMPARE(amb.conta(QStringLiteral("Profilo"), QStringLiteral("IdUtilizzatore = 6 AND IdNomina = 1 AND ModalTimbra = 'T'")), 1);
    std::optional<DatiDipendente> rossi = anag.Leggi(1);
    QCOMPARE(rossi->IdPianta, int(Produzione));  // the profile of 2023, not that of 2020
    rossi->IdPianta = Magazzino;
    QVERIFY(anag.Registra(*rossi).ok());
    QCOMPARE(ids(amb, QStringLiteral("SELECT IdPianta FROM Profilo WHERE IdUtilizzatore = 1 ORDER BY DataInizio")),
             (QList<int>{Uffici, Magazzino}));
}

void TstAnagrafico::badgeGiaAssegnato()
{
    Ambiente amb;
    azienda(amb);
    TdtmAnagrafico anag(amb.dtm());
    // Two new employees whose code nobody touched: the second meets the first's 0000000000.
    DatiDipendente primo = anag.Nuovo(), secondo = anag.Nuovo();
    for (DatiDipendente* d : {&primo, &secondo}) {
        d->Cognome = QStringLiteral("Nuovo");
        d->Nome = QStringLiteral("Assunto");
        d->IdPianta = Uffici;
        d->IdRuolo = Impiegato;
    }
    QVERIFY(anag.Registra(primo).ok());
    const QString prima = istantanea(amb);
    const EsitoAnag e = anag.Registra(secondo);
    QCOMPARE(e.errore, int(Msg::ErrDatoMancante));
    QCOMPARE(e.campo, CampoAnag::Codice);
    QCOMPARE(istantanea(amb), prima);

    // One's own code is no conflict; another's is, also when modifying.
    std::optional<DatiDipendente> rossi = anag.Leggi(1);
    rossi->Nome = QStringLiteral("Mariano");
    QVERIFY(anag.Registra(*rossi).ok());
    rossi->Codice = QStringLiteral("346");
    QCOMPARE(anag.Registra(*rossi).campo, CampoAnag::Codice);
    QCOMPARE(amb.valore(QStringLiteral("SELECT Codice FROM Badge WHERE IdUtilizzatore = 1")).toString(), QStringLiteral("0000000345"));
}

void TstAnagrafico::registroBadge_data()
{
    QTest::addColumn<QString>("operazione");
    QTest::addColumn<QStringList>("voci");

    QTest::newRow("creazione") << "crea" << QStringList{"1 0000000777"};
    QTest::newRow("cambio di codice") << "cambia" << QStringList{"0 0000000005", "1 0000000009"};
    QTest::newRow("modifica senza cambio") << "tieni" << QStringList{};
    QTest::newRow("cancellazione") << "cancella" << QStringList{"0 0000000005"};
    QTest::newRow("cancellazione senza badge") << "cancella senza badge" << QStringList{};
    QTest::newRow("cancellazione con due badge") << "cancella due badge" << QStringList{"0 0000000005", "0 0000000006"};
    QTest::newRow("due badge, tenuto il secondo") << "tieni uno di due" << QStringList{"0 0000000005"};
    QTest::newRow("primo badge a chi non ne aveva") << "primo badge" << QStringList{"1 0000000009"};
}

void TstAnagrafico::registroBadge()
{
    QFETCH(QString, operazione);
    QFETCH(QStringList, voci);
    Ambiente amb;
    azienda(amb);
    TdtmAnagrafico anag(amb.dtm());
    amb.esegui(QStringLiteral("UPDATE Badge SET Codice = '0000000005' WHERE IdUtilizzatore = 2"));
    if (operazione.contains(QLatin1String("due")))
        amb.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES ('0000000006', '2021-01-01 00:00:00', 2)"));
    if (operazione.contains(QLatin1String("senza")))
        amb.esegui(QStringLiteral("DELETE FROM Badge WHERE IdUtilizzatore = 2"));

    if (operazione == QLatin1String("crea")) {
        DatiDipendente d = nuovo(anag);
        QVERIFY(anag.Registra(d).ok());
    } else if (operazione.startsWith(QLatin1String("cancella"))) {
        QCOMPARE(anag.Cancella(2), 0);
    } else {
        const int id = operazione == QLatin1String("primo badge") ? 6 : 2;
        std::optional<DatiDipendente> d = anag.Leggi(id);
        d->IdPianta = Magazzino;
        d->IdRuolo = Operaio;
        if (operazione == QLatin1String("cambia") || operazione == QLatin1String("primo badge"))
            d->Codice = QStringLiteral("9");
        else if (operazione == QLatin1String("tieni uno di due"))
            d->Codice = QStringLiteral("0000000006");
        else
            d->Codice = QStringLiteral("5");  // zero-filled, the same code
        QVERIFY(anag.Registra(*d).ok());
        QCOMPARE(amb.conta(QStringLiteral("Badge"), QStringLiteral("IdUtilizzatore = %1").arg(id)), 1);
    }
    QCOMPARE(registro(amb), voci);
}

void TstAnagrafico::cancellaOgniTabella()
{
    Ambiente amb;
    azienda(amb);
    // Every table the employee's data lives in, with a row of employee 1 and one of employee 2.
    const QList<std::pair<const char*, const char*>> tabelle = {
        {"CORREZIONI", "IDDIP"}, {"PIANOLAVORO", "IDDIP"}, {"VALORIVOCI", "IDDIP"}, {"ATTRIBVOCI", "IDDIP"}, {"ASSELEMGEN", "IDDIP"},
        {"VALVOCIGEN", "IDDIP"}, {"CAUSTURNI", "IDDIP"},   {"SEGNALACC", "IDUTILIZZATORE"}, {"Giustif", "IdDip"}};
    for (int id : {1, 2}) {
        for (const auto& [t, campo] : tabelle)
            amb.esegui(QStringLiteral("INSERT INTO %1 (%2) VALUES (:id)").arg(QLatin1String(t), QLatin1String(campo)), {{"id", id}});
        amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (:id, '2024-03-04 08:00:00', 'E')"), {{"id", id}});
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (:id, '2024-03-04 00:00:00', 2)"), {{"id", id}});
        amb.esegui(QStringLiteral("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, IdSegnalaz) VALUES (:id, '2024-03-04 00:00:00', 1, 5)"),
                   {{"id", id}});
    }
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TAnagCk' (Id, Cognome) VALUES (1, 'Rossi'), (2, 'Rossini')"));
    const QStringList tutte = {"Anagrafico.Id",          "Badge.IdUtilizzatore", "Profilo.IdUtilizzatore", "Timbrature.IdDip",
                               "PianoSomma.IdDip",       "AnomalieGiorno.IdDip", "CORREZIONI.IDDIP",      "PIANOLAVORO.IDDIP",
                               "VALORIVOCI.IDDIP",       "ATTRIBVOCI.IDDIP",     "ASSELEMGEN.IDDIP",      "VALVOCIGEN.IDDIP",
                               "CAUSTURNI.IDDIP",        "SEGNALACC.IDUTILIZZATORE", "Giustif.IdDip",    "':dbPresUt:TAnagCk'.Id"};
    const auto righeDi = [&](int id) {
        QStringList l;
        for (const QString& tc : tutte)
            if (amb.conta(tc.section(QLatin1Char('.'), 0, -2), QStringLiteral("%1 = %2").arg(tc.section(QLatin1Char('.'), -1)).arg(id)) > 0)
                l << tc;
        return l;
    };
    QCOMPARE(righeDi(1), tutte);

    // Outside a transaction the cascade refuses to start.
    QVERIFY_THROWS_EXCEPTION(std::logic_error, CancellaDipendente(amb.dtm(), 1));
    TdtmAnagrafico anag(amb.dtm());
    QCOMPARE(anag.Cancella(1), 0);
    QCOMPARE(righeDi(1), QStringList());
    QCOMPARE(righeDi(2), tutte);
    QCOMPARE(registro(amb), QStringList{"0 0000000345"});
    // Gone already (deleted at another workstation): said so, nothing logged.
    QCOMPARE(anag.Cancella(1), int(Msg::ErrDipendenteScomparso));
    QCOMPARE(registro(amb), QStringList{"0 0000000345"});
}

void TstAnagrafico::guastoNellaTransazione_data()
{
    QTest::addColumn<QString>("operazione");
    QTest::addColumn<QString>("guasto");  // "sola lettura": AnagMod takes no entry; "assente": AnagMod cannot be read
    QTest::addColumn<int>("errore");      // -1: the engine's failure is thrown

    for (const char* op : {"inserisci", "modifica", "cancella"}) {
        QTest::addRow("%s, registro in sola lettura", op) << op << "sola lettura" << int(Msg::ErrRegistroBadge);
        QTest::addRow("%s, registro assente", op) << op << "assente" << int(Msg::ErrRegistroBadge);
    }
    QTest::newRow("modifica, anagrafico in sola lettura") << "modifica" << "Anagrafico" << -1;
    QTest::newRow("cancellazione, timbrature in sola lettura") << "cancella" << "Timbrature" << -1;
}

void TstAnagrafico::guastoNellaTransazione()
{
    QFETCH(QString, operazione);
    QFETCH(QString, guasto);
    QFETCH(int, errore);
    Ambiente amb;
    azienda(amb);
    amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV) VALUES (1, '2024-03-04 08:00:00', 'E')"));
    TdtmAnagrafico anag(amb.dtm());
    anag.setPausaRegistro(0);
    DatiDipendente d = operazione == QLatin1String("inserisci") ? nuovo(anag) : *anag.Leggi(1);
    d.Codice = QStringLiteral("4321");
    const QString prima = istantanea(amb);

    if (guasto == QLatin1String("sola lettura")) {
        registroInSolaLettura(amb, true);
    } else if (guasto == QLatin1String("assente")) {
        amb.esegui(QStringLiteral("ALTER TABLE AnagMod RENAME TO AnagModAltrove"));
    } else {
        amb.esegui(QStringLiteral("ALTER TABLE %1 RENAME TO %1Guasta").arg(guasto));
        amb.esegui(QStringLiteral("CREATE VIEW %1 AS SELECT DISTINCT * FROM %1Guasta").arg(guasto));
    }
    int ottenuto = 0;
    try {
        ottenuto = operazione == QLatin1String("cancella") ? anag.Cancella(1) : anag.Registra(d).errore;
    } catch (const ErroreDb&) {
        ottenuto = -1;
    }
    QVERIFY(!amb.db().inTransazione());
    if (guasto == QLatin1String("sola lettura")) {
        registroInSolaLettura(amb, false);
    } else if (guasto == QLatin1String("assente")) {
        amb.esegui(QStringLiteral("ALTER TABLE AnagModAltrove RENAME TO AnagMod"));
    } else {
        amb.esegui(QStringLiteral("DROP VIEW %1").arg(guasto));
        amb.esegui(QStringLiteral("ALTER TABLE %1Guasta RENAME TO %1").arg(guasto));
    }
    QCOMPARE(ottenuto, errore);
    QCOMPARE(istantanea(amb), prima);
    // What the user typed is still there for another try.
    QCOMPARE(d.Codice, QStringLiteral("4321"));
}

void TstAnagrafico::modificaDiUnDipendenteCancellato()
{
    Ambiente amb;
    azienda(amb);
    TdtmAnagrafico anag(amb.dtm());
    std::optional<DatiDipendente> d = anag.Leggi(3);
    // Another workstation deletes him while the editor is open.
    TdtmAnagrafico altrove(amb.dtm());
    QCOMPARE(altrove.Cancella(3), 0);
    const QString prima = istantanea(amb);
    d->Codice = QStringLiteral("31");
    QCOMPARE(anag.Registra(*d).errore, int(Msg::ErrDipendenteScomparso));
    QCOMPARE(istantanea(amb), prima);
}

void TstAnagrafico::elencoEOrdini()
{
    Ambiente amb;
    azienda(amb);
    // The look-alikes of the search tests sort differently under each engine's collation.
    amb.esegui(QStringLiteral("DELETE FROM Anagrafico WHERE Id IN (7, 8, 9)"));
    TdtmAnagrafico anag(amb.dtm());
    const auto idDi = [](const QList<DatiDipendente>& l) {
        QList<int> r;
        for (const DatiDipendente& d : l)
            r << d.Id;
        return r;
    };
    // Guests (Verdi, 4) are not listed.
    QCOMPARE(idDi(anag.Elenco(OrdineAnag::Nominativo)), (QList<int>{3, 5, 1, 2, 6}));
    QCOMPARE(idDi(anag.Elenco(OrdineAnag::Matricola)), (QList<int>{5, 1, 2, 3, 6}));
    QCOMPARE(idDi(anag.Elenco(OrdineAnag::Libero)), (QList<int>{6, 3, 1, 2, 5}));
    amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TAnagCk' (Id) VALUES (2), (4), (5)"));
    QCOMPARE(idDi(anag.Elenco(OrdineAnag::Nominativo, true)), (QList<int>{5, 2}));

    // The latest profile with the names of its units; an employee without badge or profile
    // shows them empty.
    const QList<DatiDipendente> l = anag.Elenco(OrdineAnag::Nominativo);
    const DatiDipendente& rossi = l.at(2);
    QCOMPARE(rossi.Cognome, QStringLiteral("Rossi"));
    QCOMPARE(rossi.Codice, QStringLiteral("0000000345"));
    QCOMPARE(rossi.DescrPianta, QStringLiteral("Produzione"));
    QCOMPARE(rossi.DescrRuolo, QStringLiteral("Operaio"));
    QCOMPARE(rossi.DataAssunz, QDate(2023, 1, 1));
    const DatiDipendente& sala = l.at(4);
    QCOMPARE(sala.Id, 6);
    QVERIFY(!sala.ConProfilo);
    QVERIFY(sala.Codice.isEmpty() && sala.DescrPianta.isEmpty() && !sala.DataAssunz.isValid());
}

void TstAnagrafico::unitaConPercorso()
{
    Ambiente amb;
    TdtmAnagrafico anag(amb.dtm());
    // Children stored before their parents, two units of one name, and a circle of two.
    for (const auto& [id, descr, padre] : {std::tuple{4, "Amministrazione", 3}, {3, "Sede", 1}, {2, "Amministrazione", 1},
                                           {8, "Giro", 9}, {9, "Tondo", 8}})
        amb.esegui(QStringLiteral("INSERT INTO UnitaPianta (Id, Descr, IdPiantaPadre) VALUES (:id, :d, :p)"),
                   {{"id", id}, {"d", QString::fromLatin1(descr)}, {"p", padre}});
    QStringList l;
    for (const UnitaOrganico& u : anag.Reparti())
        l << QStringLiteral("%1 %2").arg(u.id).arg(u.percorso);
    QCOMPARE(l, (QStringList{"2 Azienda / Amministrazione", "4 Azienda / Sede / Amministrazione", "1 Azienda", "8 Tondo / Giro",
                             "3 Azienda / Sede", "9 Giro / Tondo"}));
}

void TstAnagrafico::stampe()
{
    Ambiente amb;
    azienda(amb);
    amb.esegui(QStringLiteral("UPDATE Profilo SET IdOrari = :t, IdOrFestivo = :f WHERE IdUtilizzatore = 3"), {{"t", kTurno}, {"f", kFestivo}});
    amb.esegui(QStringLiteral("UPDATE Profilo SET IdOrari = :t, Autorizzato = 'N' WHERE IdUtilizzatore = 5"), {{"t", kTurno}});
    amb.esegui(QStringLiteral("UPDATE Anagrafico SET Note = 'Part-time' WHERE Id = 3"));
    TdtmAnagrafico anag(amb.dtm());
    const DocumentoStampa doc = TrptAnag(anag).Crea(QStringLiteral("Elenco dipendenti"));
    QVERIFY(doc.orizzontale);
    QStringList titoli;
    for (const ColonnaStampa& c : doc.colonne)
        titoli << c.titolo;
    QCOMPARE(titoli, (QStringList{"Matricola", "Cognome", "Nome", "Badge", "Assunz", "Licenz", "Reparto", "Livello", "Qualifica", "Stra",
                                  "Turno", "Orario Festivo"}));
    QCOMPARE(doc.righe.size(), 8);
    QCOMPARE(doc.righe.at(0).celle, (QStringList{"0000000120", "Bianchi", "Luca", "0000001000", "01/01/2021", "", "Uffici", "Turno A",
                                                 "Impiegato", "S", "Giornaliero", "Festivo"}));
    // Without a holiday timetable that column stays empty.
    QCOMPARE(doc.righe.at(1).celle, (QStringList{"0000000007", "D'Amico", "Paolo", "0000000344", "01/01/2022", "", "Produzione", "Turno C",
                                                 "Impiegato", "N", "Giornaliero", ""}));

    const DocumentoStampa conNote = TrptAnagN(anag).Crea(QStringLiteral("Con note"));
    QCOMPARE(conNote.colonne.constLast().titolo, QStringLiteral("Note"));
    QCOMPARE(conNote.righe.at(0).celle.constLast(), QStringLiteral("Part-time"));
    QCOMPARE(conNote.righe.at(1).celle.size(), 13);
}

void TstAnagrafico::importa_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rifiutati");  // "line column message detail"; empty: stored
    QTest::addColumn<QStringList>("memorizzati"); // "Id Matricola Cognome Nome Codice IdPianta IdRuolo assunz licenz IdOrari IdOrFestivo Autorizzato"

    const QString riga1 = QStringLiteral("Neri;Giulia;12;4001;B2;Produzione;Operaio;01/02/2024;;Giornaliero;Festivo;S");
    const QString riga2 = QStringLiteral("Bruno;Luca;;4002;;Uffici;Impiegato;3/4/2023;31/12/2025;;;n");
    const QStringList buoni = {"10 0000000012 Neri Giulia 0000004001 10 20 2024-02-01 - 5 7 S",
                               "11 - Bruno Luca 0000004002 12 21 2023-04-03 2025-12-31 - - N"};
    QTest::newRow("punto e virgola") << csv({kIntestazione, riga1, riga2}) << QStringList() << buoni;
    QTest::newRow("virgola") << csv({kIntestazione, riga1, riga2}, ",") << QStringList() << buoni;
    QTest::newRow("BOM e righe vuote") << QByteArray("\xEF\xBB\xBF") + csv({kIntestazione, QString(), riga1, ";;;;", riga2})
                                       << QStringList() << buoni;
    QTest::newRow("colonne in altro ordine, minuscole, solo le obbligatorie")
        << csv({"badge;COGNOME;nome;reparto;qualifica;assunzione", "4001;Neri;Giulia;Produzione;Operaio;01/02/2024"}) << QStringList()
        << QStringList{"10 - Neri Giulia 0000004001 10 20 2024-02-01 - - - S"};
    QTest::newRow("virgolette, accenti, apostrofi")
        << csv({kIntestazione, QStringLiteral("\"D'Àngelo; \"\"detto\"\" Tito\";Zoë;;4003;;\"Produzione\";Operaio;01/02/2024;;;;")})
        << QStringList() << QStringList{QStringLiteral("10 - D'Àngelo; \"detto\" Tito Zoë 0000004003 10 20 2024-02-01 - - - S")};
    QTest::newRow("Windows-1252") << QByteArray("Cognome;Nome;Badge;Reparto;Qualifica;Assunzione\r\nNicol\xF2;Jos\xE9;4004;Uffici;Impiegato;"
                                                "01/02/2024\r\n")
                                  << QStringList() << QStringList{QStringLiteral("10 - Nicolò José 0000004004 12 21 2024-02-01 - - - S")};

    QTest::newRow("colonna sconosciuta e mancante") << csv({"Cognome;Nome;Badge;Repparto;Qualifica;Assunzione", riga1})
                                                    << QStringList{"1 Repparto 9852 ", "1 Reparto 9854 "} << QStringList();
    QTest::newRow("colonna ripetuta") << csv({"Cognome;Nome;Badge;Reparto;Qualifica;Assunzione;nome", riga1})
                                      << QStringList{"1 nome 9853 "} << QStringList();
    QTest::newRow("ogni valore errato, con riga e colonna")
        << csv({kIntestazione, riga1,
                QStringLiteral(";%1;12345678901;;;Nessuno;Operaio;31/02/2024;ieri;Notte;Festivo;forse").arg(QString(21, QLatin1Char('x')))})
        << QStringList{"3 Cognome 9856 ", "3 Badge 9856 ", "3 Nome 9857 20", "3 Matricola 9857 10", "3 Assunzione 9858 ",
                       "3 Cessazione 9858 ", "3 Straordinario 9863 ", "3 Reparto 9859 ", "3 Turno 9860 "}
        << QStringList();
    QTest::newRow("campi in meno") << csv({kIntestazione, riga1, "Neri;Anna;13"}) << QStringList{"3  9855 "} << QStringList();
    QTest::newRow("badge ripetuto nel file e di un dipendente registrato")
        << csv({kIntestazione, riga1, QStringLiteral("Neri;Anna;;4001;;Uffici;Impiegato;01/02/2024;;;;"),
                QStringLiteral("Neri;Ugo;;345;;Uffici;Impiegato;01/02/2024;;;;")})
        << QStringList{"3 Badge 9862 2", "4 Badge 9861 "} << QStringList();
    QTest::newRow("cessazione prima dell'assunzione")
        << csv({kIntestazione, QStringLiteral("Neri;Anna;;4001;;Uffici;Impiegato;01/03/2000;29/02/2000;;;")})
        << QStringList{"2 Cessazione 1108 "} << QStringList();
}

void TstAnagrafico::importa()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rifiutati);
    QFETCH(QStringList, memorizzati);
    Ambiente amb;
    azienda(amb);
    amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (6, 'Notte', 7), (8, 'Notte', 7)"));
    TdtmAnagrafico anag(amb.dtm());
    const QString prima = istantanea(amb);
    ImportaDipendenti imp(anag);
    AvanzamentoRegistro av;
    const EsitoImportazione e = imp.Importa(file, av);
    QStringList r;
    for (const ValoreRifiutato& v : e.rifiutati)
        r << QStringLiteral("%1 %2 %3 %4").arg(v.riga).arg(v.colonna).arg(v.errore).arg(v.dettaglio);
    QCOMPARE(r, rifiutati);
    QVERIFY(!amb.db().inTransazione());
    QCOMPARE(av.chiamate.constLast(), QStringLiteral("Termina"));
    if (!rifiutati.isEmpty()) {
        QCOMPARE(e.importati, 0);
        QCOMPARE(istantanea(amb), prima);
        return;
    }
    QCOMPARE(e.importati, memorizzati.size());
    QStringList m;
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT a.Id, a.Matricola, a.Cognome, a.Nome, b.Codice, p.IdPianta, p.IdRuolo, "
                                                 "p.DataAssunz, p.DataLicenz, p.IdOrari, p.IdOrFestivo, p.Autorizzato FROM Anagrafico a, "
                                                 "Badge b, Profilo p WHERE a.Id >= 10 AND b.IdUtilizzatore = a.Id AND p.IdUtilizzatore = a.Id "
                                                 "AND b.DataInizio = p.DataAssunz ORDER BY a.Id"));
    while (q.next()) {
        QStringList c;
        for (int i = 0; i < 12; ++i)
            c << (q.value(i).isNull() ? QStringLiteral("-") : q.value(i).toString().left(i == 7 || i == 8 ? 10 : 100));
        m << c.join(QLatin1Char(' '));
    }
    QCOMPARE(m, memorizzati);
    QCOMPARE(registro(amb).size(), memorizzati.size());
    // The editor's rules, as the editor applies them, to what was imported.
    for (int id = 10; id < 10 + memorizzati.size(); ++id)
        QVERIFY(anag.Verifica(*anag.Leggi(id)).isEmpty());
}

void TstAnagrafico::importaCinquecentoConUnaRigaErrata()
{
    Ambiente amb;
    azienda(amb);
    // Two departments called "Amministrazione": by name the file cannot say which, by path it can.
    amb.esegui(QStringLiteral("INSERT INTO UnitaPianta (Id, Descr, IdPiantaPadre) VALUES (30, 'Amministrazione', 1), (31, 'Amministrazione', 10)"));
    TdtmAnagrafico anag(amb.dtm());
    const auto file = [](int badge, const QString& riga319) {
        QStringList righe{kIntestazione};
        for (int n = 0; n < 500; ++n)
            righe << QStringLiteral("Cognome%1;Nome;%1;%2;;Azienda / Produzione/Amministrazione;Operaio;01/01/2024;;;;").arg(n).arg(badge + n);
        righe[318] = riga319.arg(badge + 1000);
        return csv(righe);
    };
    const QString prima = istantanea(amb);
    ImportaDipendenti imp(anag);
    AvanzamentoRegistro av;
    EsitoImportazione e = imp.Importa(file(5000, QStringLiteral("Cognome;Nome;;%1;;Amministrazione;Operaio;01/01/2024;;;;")), av);
    QCOMPARE(e.rifiutati, (QList<ValoreRifiutato>{{319, QStringLiteral("Reparto"), Msg::ErrImportAmbiguo, QString()}}));
    QCOMPARE(imp.Descrivi(e.rifiutati.first()),
             QStringLiteral("Riga 319, colonna Reparto: ") + amb.dtm().TestoErrore(Msg::ErrImportAmbiguo));
    QCOMPARE(istantanea(amb), prima);
    QCOMPARE(av.chiamate.first(), QStringLiteral("Inizia %1 500").arg(amb.dtm().TestoScelta(Msg::EtControlloImport)));

    // Mended, all 500 go in, each with the id after the last and its badge logged.
    const QString riparata = QStringLiteral("Cognome;Nome;;%1;;Azienda/Amministrazione;Operaio;01/01/2024;;;;");
    e = imp.Importa(file(5000, riparata), av);
    QVERIFY(e.ok());
    QCOMPARE(e.importati, 500);
    QCOMPARE(amb.conta(QStringLiteral("Anagrafico"), QStringLiteral("Id BETWEEN 10 AND 509")), 500);
    QCOMPARE(amb.conta(QStringLiteral("Profilo"), QStringLiteral("IdPianta = 31")), 499);
    QCOMPARE(amb.conta(QStringLiteral("Profilo"), QStringLiteral("IdPianta = 30")), 1);
    QCOMPARE(amb.conta(QStringLiteral("AnagMod"), QStringLiteral("TipoOp = '1'")), 500);

    // Stopped by the user while storing: nothing is left.
    const QString dopo = istantanea(amb);
    AvanzamentoRegistro interrotto;
    interrotto.annullaDopo = 520;
    e = imp.Importa(file(7000, riparata), interrotto);
    QVERIFY(e.annullato);
    QCOMPARE(istantanea(amb), dopo);
}

void TstAnagrafico::leggiCsv()
{
    const QString testo = QStringLiteral("a;\"b\r\nc\";d\r\n\r\n;;\n\"x\"\"y\";\n");
    const QList<RigaCsv> r = Csv::Leggi(testo, Csv::Separatore(testo));
    QCOMPARE(r.size(), 2);
    QCOMPARE(r.at(0).riga, 1);
    QCOMPARE(r.at(0).campi, (QStringList{"a", "b\r\nc", "d"}));
    QCOMPARE(r.at(1).riga, 5);
    QCOMPARE(r.at(1).campi, (QStringList{"x\"y", ""}));
    QCOMPARE(Csv::Separatore(QStringLiteral("\"a;b\",c,d\n;;;;")), QLatin1Char(','));
    QCOMPARE(Csv::Separatore(QStringLiteral("a;b,c;d")), QLatin1Char(';'));
}

QTEST_MAIN(TstAnagrafico)
#include "tst_anagrafico.moc"
