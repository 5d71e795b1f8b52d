// The timetables on real databases: the editor's checks and their order, the rows a
// confirmation writes and reads back, deletion and what refuses it, a failure inside each
// transaction, the printed list, and the engine and the work plan seeing every change at once.

#include "ambiente.h"
#include "messaggi.h"
#include "rptorari.h"
#include "tdtmelab.h"
#include "tdtmorari.h"
#include "tdtmpiano.h"

#include <QSqlQuery>
#include <QTest>

namespace {

// The editor's fields of a same-day timetable 08:00-17:00 with eight hours, steps of 15 and
// no overtime minimum; each case changes what it shows.
ValoriOrario giornaliero()
{
    return {QStringLiteral("Giornaliero"), QStringLiteral("08:00"), QStringLiteral("08:00"), QStringLiteral("17:00"),
            QStringLiteral("A"), QStringLiteral("15"), QStringLiteral("15"), QStringLiteral("0"), QStringLiteral("15")};
}

DatiOrario controllato(const ValoriOrario& v)
{
    const VerificaOrario e = TdtmOrari::Controlla(v);
    if (!e.ok())
        qFatal("valori rifiutati: %d", e.errore);
    return e.orario;
}

// The stored rows of a timetable, one text per table, for exact comparisons.
QString righe(Ambiente& amb, int id)
{
    QStringList r;
    QSqlQuery o = amb.db().esegui(QStringLiteral("SELECT Descr, cvDescr, TipoO, OreMedie, OreMinime, UsoPrior, NTimTipo, Mensa, PrimaTimb, "
                                                 "UltimaTimb, ChiusGio FROM OrariRep WHERE Id = :id"),
                                  {{"id", id}});
    while (o.next()) {
        QStringList c;
        for (int i = 0; i < 11; ++i)
            c << o.value(i).toString();
        r << c.join(QLatin1Char('|'));
    }
    QSqlQuery a = amb.db().esegui(QStringLiteral("SELECT Inizio, Fine, ArrVerso, TipoArrot, MinutiArrot FROM ArroTim WHERE IdOrario = :id "
                                                 "ORDER BY ArrVerso"),
                                  {{"id", id}});
    while (a.next())
        r << QStringLiteral("T %1 %2 %3 %4 %5").arg(a.value(0).toString(), a.value(1).toString(), a.value(2).toString(),
                                                   a.value(3).toString(), a.value(4).toString());
    QSqlQuery s = amb.db().esegui(QStringLiteral("SELECT Inizio, Fine, TipoArrot, MinutiArrot FROM ArroStra WHERE IdOrario = :id ORDER BY Inizio"),
                                  {{"id", id}});
    while (s.next())
        r << QStringLiteral("S %1 %2 %3 %4").arg(s.value(0).toString(), s.value(1).toString(), s.value(2).toString(),
                                                s.value(3).isNull() ? QStringLiteral("-") : s.value(3).toString());
    return r.join(QLatin1String(" / "));
}

int contaRighe(Ambiente& amb)
{
    return amb.conta(QStringLiteral("OrariRep")) + amb.conta(QStringLiteral("ArroTim")) + amb.conta(QStringLiteral("ArroStra"))
        + amb.conta(QStringLiteral("TimbTipo"));
}

}  // namespace

class TstOrari : public QObject {
    Q_OBJECT

private slots:
    void controlla_data();
    void controlla();
    void registraERilegge_data();
    void registraERilegge();
    void modificaSostituisceLeRegole();
    void cancella_data();
    void cancella();
    void guastoNellaTransazione_data();
    void guastoNellaTransazione();
    void orarioCancellatoAltrove();
    void stampaElenco();
    void regoleNuoveAllaProssimaElaborazione_data();
    void regoleNuoveAllaProssimaElaborazione();
};

void TstOrari::controlla_data()
{
    QTest::addColumn<ValoriOrario>("valori");
    QTest::addColumn<int>("errore");
    QTest::addColumn<CampoOrario>("campo");

    const auto con = [](auto modifica) {
        ValoriOrario v = giornaliero();
        modifica(v);
        return v;
    };
    const int nessuno = 0;
    const int dato = Msg::ErrDatoMancante;
    QTest::newRow("giornaliero") << giornaliero() << nessuno << CampoOrario::Nessuno;
    QTest::newRow("ore medie 24:00") << con([](ValoriOrario& v) { v.OreMedie = QStringLiteral("24:00"); }) << dato << CampoOrario::OreMedie;
    QTest::newRow("prima 08:60") << con([](ValoriOrario& v) { v.Prima = QStringLiteral("08:60"); }) << dato << CampoOrario::Prima;
    QTest::newRow("ultima a metà") << con([](ValoriOrario& v) { v.Ultima = QStringLiteral("1_:00"); }) << dato << CampoOrario::Ultima;
    QTest::newRow("stesso giorno, ultima prima della prima")
        << con([](ValoriOrario& v) { v.Ultima = QStringLiteral("07:59"); }) << int(Msg::ErrUltimaTimbratura) << CampoOrario::Prima;
    QTest::newRow("stesso giorno, 09:01 in 9 ore")
        << con([](ValoriOrario& v) { v.OreMedie = QStringLiteral("09:01"); }) << int(Msg::ErrFinestraCorta) << CampoOrario::OreMedie;
    QTest::newRow("stesso giorno, 09:00 in 9 ore") << con([](ValoriOrario& v) { v.OreMedie = QStringLiteral("09:00"); }) << nessuno
                                                  << CampoOrario::Nessuno;
    const auto notte = [](const char* medie, const char* chiusura) {
        ValoriOrario v = giornaliero();
        v.Prima = QStringLiteral("22:00");
        v.Ultima = QStringLiteral("06:00");
        v.OreMedie = QString::fromLatin1(medie);
        v.ChiusGio = QString::fromLatin1(chiusura);
        return v;
    };
    QTest::newRow("notte 22-06 giorno dopo") << notte("08:00", "S") << nessuno << CampoOrario::Nessuno;
    QTest::newRow("notte 22-06 giorno dopo, 08:01") << notte("08:01", "S") << int(Msg::ErrFinestraCorta) << CampoOrario::OreMedie;
    QTest::newRow("notte 22-06 stesso giorno") << notte("08:00", "A") << int(Msg::ErrUltimaTimbratura) << CampoOrario::Prima;
    QTest::newRow("nessuna chiusura è lo stesso giorno") << notte("08:00", "") << int(Msg::ErrUltimaTimbratura) << CampoOrario::Prima;
    QTest::newRow("giornaliero salvato con il giorno dopo")
        << con([](ValoriOrario& v) { v.ChiusGio = QStringLiteral("S"); }) << int(Msg::ErrUltimaTimbratura) << CampoOrario::Chiusura;
    QTest::newRow("24 ore esatte col giorno dopo") << con([](ValoriOrario& v) {
        v.Ultima = v.Prima;
        v.ChiusGio = QStringLiteral("S");
    }) << nessuno << CampoOrario::Nessuno;
    QTest::newRow("ingresso 20") << con([](ValoriOrario& v) { v.PassoEntrata = QStringLiteral("20"); }) << dato << CampoOrario::PassoEntrata;
    QTest::newRow("ingresso 7") << con([](ValoriOrario& v) { v.PassoEntrata = QStringLiteral("7"); }) << dato << CampoOrario::PassoEntrata;
    QTest::newRow("uscita non numerica") << con([](ValoriOrario& v) { v.PassoUscita = QStringLiteral("x"); }) << dato << CampoOrario::PassoUscita;
    QTest::newRow("descrizione vuota") << con([](ValoriOrario& v) { v.Descr = QStringLiteral("  "); }) << dato << CampoOrario::Descr;
    QTest::newRow("straordinario a 20") << con([](ValoriOrario& v) { v.PassoStra = QStringLiteral("20"); }) << dato << CampoOrario::PassoStra;
    QTest::newRow("minimo vuoto") << con([](ValoriOrario& v) { v.MinimoStra = QStringLiteral("   "); }) << dato << CampoOrario::MinimoStra;
    // The first failure in the user's order wins: the times before the steps and the name.
    QTest::newRow("ora e passo errati") << con([](ValoriOrario& v) {
        v.Prima = QStringLiteral("25:00");
        v.PassoEntrata = QStringLiteral("7");
        v.Descr.clear();
    }) << dato << CampoOrario::Prima;
    QTest::newRow("passo e nome errati") << con([](ValoriOrario& v) {
        v.PassoUscita = QStringLiteral("20");
        v.Descr.clear();
    }) << dato << CampoOrario::PassoUscita;
}

void TstOrari::controlla()
{
    QFETCH(ValoriOrario, valori);
    QFETCH(int, errore);
    QFETCH(CampoOrario, campo);
    const VerificaOrario e = TdtmOrari::Controlla(valori);
    QCOMPARE(e.errore, errore);
    QCOMPARE(e.campo, campo);
}

void TstOrari::registraERilegge_data()
{
    QTest::addColumn<ValoriOrario>("valori");
    QTest::addColumn<QString>("attese");
    QTest::addColumn<int>("minimo");
    QTest::addColumn<int>("passo");

    // The fields of a new timetable, with only a name.
    ValoriOrario nuovo = TdtmOrari::ValoriPredefiniti(QStringLiteral("A"));
    QCOMPARE(nuovo, (ValoriOrario{{}, "00:00", "00:00", "23:59", "A", "1", "1", "0", "1"}));
    nuovo.Descr = QStringLiteral("Nuovo");
    QTest::newRow("predefiniti") << nuovo << "Nuovo|1|E|0|0|N|0|A|0|1439|A / T 0 1439 E E 1 / T 0 1439 U D 1 / S 0 1439 D 1" << 0 << 1;

    ValoriOrario v = giornaliero();
    v.Descr = QStringLiteral("L'orario \"x\"; DROP TABLE x");
    v.MinimoStra = QStringLiteral("30");
    QTest::newRow("minimo 30 passo 15, apici")
        << v << "L'orario \"x\"; DROP TABLE x|1|E|480|480|N|0|A|480|1020|A / T 0 1439 E E 15 / T 0 1439 U D 15 / S 0 29 I - / S 30 1439 D 15"
        << 30 << 15;
    v = giornaliero();
    v.MinimoStra = QStringLiteral("1");
    v.PassoStra = QStringLiteral("30");
    v.PassoEntrata = QStringLiteral("5");
    QTest::newRow("minimo 1") << v << "Giornaliero|1|E|480|480|N|0|A|480|1020|A / T 0 1439 E E 5 / T 0 1439 U D 15 / S 0 0 I - / S 1 1439 D 30"
                              << 1 << 30;
    v = giornaliero();
    v.PassoStra = QStringLiteral("ogni");
    QTest::newRow("straordinario non numerico vale 1") << v << "Giornaliero|1|E|480|480|N|0|A|480|1020|A / T 0 1439 E E 15 / T 0 1439 U D 15 / S 0 1439 D 1"
                                                      << 0 << 1;
}

void TstOrari::registraERilegge()
{
    QFETCH(ValoriOrario, valori);
    QFETCH(QString, attese);
    QFETCH(int, minimo);
    QFETCH(int, passo);
    Ambiente amb;
    TdtmOrari orari(amb.dtm());
    DatiOrario o = controllato(valori);
    QCOMPARE(orari.Registra(o), 0);
    QCOMPARE(o.Id, 1);
    QCOMPARE(righe(amb, 1), attese);

    const std::optional<DatiOrario> letto = orari.Leggi(1);
    QVERIFY(letto);
    QCOMPARE(letto->MinimoStra(), minimo);
    QCOMPARE(letto->PassoStra(), passo);
    // The editor opened on it shows what was typed.
    ValoriOrario riletti = TdtmOrari::Valori(*letto);
    QCOMPARE(riletti.Descr, valori.Descr);
    QCOMPARE(riletti.MinimoStra, QString::number(minimo));
    QCOMPARE(TdtmOrari::Controlla(riletti).orario.Fasce, o.Fasce);
}

void TstOrari::modificaSostituisceLeRegole()
{
    Ambiente amb;
    TdtmOrari orari(amb.dtm());
    DatiOrario primo = controllato(giornaliero());
    ValoriOrario v = giornaliero();
    v.Descr = QStringLiteral("Altro");
    DatiOrario secondo = controllato(v);
    QCOMPARE(orari.Registra(primo), 0);
    QCOMPARE(orari.Registra(secondo), 0);
    QCOMPARE(secondo.Id, 2);

    v = giornaliero();
    v.Descr = QStringLiteral("Giornaliero corto");
    v.Ultima = QStringLiteral("16:00");
    v.PassoUscita = QStringLiteral("30");
    v.MinimoStra = QStringLiteral("60");
    DatiOrario modificato = controllato(v);
    modificato.Id = 1;
    QCOMPARE(orari.Registra(modificato), 0);
    QCOMPARE(modificato.Id, 1);
    QCOMPARE(righe(amb, 1),
             QStringLiteral("Giornaliero corto|1|E|480|480|N|0|A|480|960|A / T 0 1439 E E 15 / T 0 1439 U D 30 / S 0 59 I - / S 60 1439 D 15"));
    // The other timetable is untouched; the list goes by name, each entry with its id.
    QCOMPARE(righe(amb, 2), QStringLiteral("Altro|2|E|480|480|N|0|A|480|1020|A / T 0 1439 E E 15 / T 0 1439 U D 15 / S 0 1439 D 15"));
    QStringList elenco;
    for (const DatiOrario& o : orari.Elenco())
        elenco << QStringLiteral("%1 %2").arg(o.Id).arg(o.Descr);
    QCOMPARE(elenco, (QStringList{"2 Altro", "1 Giornaliero corto"}));
}

void TstOrari::cancella_data()
{
    QTest::addColumn<QString>("uso");
    QTest::addColumn<int>("errore");

    QTest::newRow("libero") << "" << 0;
    QTest::newRow("giorno di un turno") << "INSERT INTO CompTurni (IdTurno, NumOrd, DataInizio, TipoOrario, IdDaUsare) VALUES (1, 3, '2024-01-01 00:00:00', 'O', 1)"
                                        << int(Msg::ErrOrarioInTurno);
    QTest::newRow("orario festivo di un profilo")
        << "INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, ModalTimbra, Autorizzato, "
           "InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, GestReperib, UltElabVoci, IdOrFestivo) VALUES "
           "(1, '2024-01-01 00:00:00', 1, 1, 1, 1, '2024-01-01 00:00:00', 'T', 'S', '2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', "
           "'2024-01-01 00:00:00', 'N', '2024-01-01 00:00:00', 1)"
        << int(Msg::ErrOrarioFestivo);
    QTest::newRow("giornata del piano") << "INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario) VALUES (1, '2024-03-05 00:00:00', 3, 1)"
                                        << int(Msg::ErrOrarioInPiano);
}

void TstOrari::cancella()
{
    QFETCH(QString, uso);
    QFETCH(int, errore);
    Ambiente amb;
    TdtmOrari orari(amb.dtm());
    ValoriOrario v = giornaliero();
    v.MinimoStra = QStringLiteral("30");
    DatiOrario o = controllato(v);
    QCOMPARE(orari.Registra(o), 0);
    v.Descr = QStringLiteral("Resta");
    DatiOrario resta = controllato(v);
    QCOMPARE(orari.Registra(resta), 0);
    amb.esegui(QStringLiteral("INSERT INTO TimbTipo (IdOrario, Verso, Ore, Gio) VALUES (1, 'E', 480, 'A')"));
    if (!uso.isEmpty())
        amb.esegui(uso);
    const QString prima = righe(amb, 1);
    const QString altro = righe(amb, 2);

    QCOMPARE(orari.Cancella(1), errore);
    QCOMPARE(righe(amb, 1), errore ? prima : QString());
    QCOMPARE(amb.conta(QStringLiteral("TimbTipo")), errore ? 1 : 0);
    QCOMPARE(righe(amb, 2), altro);
    QVERIFY(!amb.db().inTransazione());
}

void TstOrari::guastoNellaTransazione_data()
{
    QTest::addColumn<QString>("operazione");
    QTest::addColumn<QString>("tabella");  // made unusable for the length of the operation

    // Each fails at its last statement, after everything else of the transaction was written.
    QTest::newRow("inserimento") << "inserisci" << "ArroStra";
    QTest::newRow("modifica") << "modifica" << "ArroStra";
    QTest::newRow("cancellazione") << "cancella" << "OrariRep";
}

void TstOrari::guastoNellaTransazione()
{
    QFETCH(QString, operazione);
    QFETCH(QString, tabella);
    Ambiente amb;
    TdtmOrari orari(amb.dtm());
    ValoriOrario v = giornaliero();
    v.MinimoStra = QStringLiteral("30");
    DatiOrario o = controllato(v);
    QCOMPARE(orari.Registra(o), 0);
    amb.esegui(QStringLiteral("INSERT INTO TimbTipo (IdOrario, Verso, Ore, Gio) VALUES (1, 'E', 480, 'A')"));
    const QString prima = righe(amb, 1);
    const int quante = contaRighe(amb);

    // A renamed table fails every statement on it in either engine.
    amb.esegui(QStringLiteral("ALTER TABLE %1 RENAME TO Guasto").arg(tabella));
    bool fallito = false;
    try {
        if (operazione == QLatin1String("inserisci")) {
            DatiOrario nuovo = controllato(giornaliero());
            orari.Registra(nuovo);
        } else if (operazione == QLatin1String("modifica")) {
            v.Descr = QStringLiteral("Cambiato");
            v.PassoEntrata = QStringLiteral("5");
            DatiOrario m = controllato(v);
            m.Id = 1;
            orari.Registra(m);
        } else {
            orari.Cancella(1);
        }
    } catch (const ErroreDb&) {
        fallito = true;
    }
    QVERIFY(fallito);
    QVERIFY(!amb.db().inTransazione());
    amb.esegui(QStringLiteral("ALTER TABLE Guasto RENAME TO %1").arg(tabella));
    QCOMPARE(righe(amb, 1), prima);
    QCOMPARE(contaRighe(amb), quante);
}

void TstOrari::orarioCancellatoAltrove()
{
    Ambiente amb;
    TdtmOrari orari(amb.dtm());
    DatiOrario o = controllato(giornaliero());
    QCOMPARE(orari.Registra(o), 0);
    // Another workstation deletes it while the editor is open on it.
    amb.esegui(QStringLiteral("DELETE FROM OrariRep WHERE Id = 1"));
    QCOMPARE(orari.Registra(o), int(Msg::ErrOrarioScomparso));
    QCOMPARE(amb.conta(QStringLiteral("ArroTim"), QStringLiteral("IdOrario = 1")), 2);  // as before, none added
    QCOMPARE(amb.conta(QStringLiteral("OrariRep")), 0);
}

void TstOrari::stampaElenco()
{
    Ambiente amb;
    amb.dtm().CaricaMemoria();
    TdtmOrari orari(amb.dtm());
    ValoriOrario v = giornaliero();
    v.MinimoStra = QStringLiteral("30");
    DatiOrario o = controllato(v);
    QCOMPARE(orari.Registra(o), 0);
    v = giornaliero();
    v.Descr = QStringLiteral("Notte");
    v.Prima = QStringLiteral("22:00");
    v.Ultima = QStringLiteral("06:00");
    v.OreMedie = QStringLiteral("07:30");
    v.ChiusGio = QStringLiteral("S");
    v.PassoEntrata = QStringLiteral("5");
    v.PassoStra = QStringLiteral("30");
    o = controllato(v);
    QCOMPARE(orari.Registra(o), 0);

    const DocumentoStampa doc = TrptOrari(orari).Crea(QStringLiteral("Elenco orari di lavoro"));
    QCOMPARE(doc.titolo, QStringLiteral("Elenco orari di lavoro"));
    QCOMPARE(doc.colonne.size(), 9);
    QCOMPARE(doc.righe.size(), 2);
    QCOMPARE(doc.righe.at(0).celle.join(QLatin1Char('|')), QStringLiteral("Giornaliero|08:00|17:00|08:00|Giorno stesso|15|15|30|15"));
    QCOMPARE(doc.righe.at(1).celle.join(QLatin1Char('|')), QStringLiteral("Notte|22:00|06:00|07:30|Giorno successivo|5|15|0|30"));
}

void TstOrari::regoleNuoveAllaProssimaElaborazione_data()
{
    QTest::addColumn<QString>("cambio");
    QTest::addColumn<QString>("prima");  // "IdOrario ordinary excess presence shortfall" of the day
    QTest::addColumn<QString>("dopo");

    // Tuesday 5 March 2024, punches 07:58-17:07 and 17:08-18:40 rounded by steps of 15 to
    // 08:00-17:00 and 17:15-18:30: 615 minutes. Timetable 1 expects 480, timetable 2 (the
    // holiday timetable) 360; both round overtime down to 15. Changed to 420 expected
    // minutes and overtime in half hours, timetable 1 gives 195 minutes down to 180.
    QTest::newRow("orario modificato") << "orario" << "1 480 135 615 0" << "1 420 180 600 0";
    QTest::newRow("turno modificato") << "turno" << "1 480 135 615 0" << "2 360 255 615 0";
    QTest::newRow("festivo aggiunto") << "festivo" << "1 480 135 615 0" << "2 360 255 615 0";
}

void TstOrari::regoleNuoveAllaProssimaElaborazione()
{
    QFETCH(QString, cambio);
    QFETCH(QString, prima);
    QFETCH(QString, dopo);
    const QDate martedi(2024, 3, 5);
    Ambiente amb;
    amb.dtm().setOggi(QDate(2024, 4, 1));
    TdtmOrari orari(amb.dtm());
    TdtmElab elab(amb.dtm());
    TdtmPiano piano(amb.dtm());

    ValoriOrario v = giornaliero();
    v.Prima = QStringLiteral("06:00");
    v.Ultima = QStringLiteral("23:00");
    DatiOrario otto = controllato(v);
    QCOMPARE(orari.Registra(otto), 0);
    v.Descr = QStringLiteral("Sei ore");
    v.OreMedie = QStringLiteral("06:00");
    DatiOrario sei = controllato(v);
    QCOMPARE(orari.Registra(sei), 0);
    QCOMPARE(piano.ElencoOrari().size(), 2);  // the work plan's picker, read once

    amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (1, 'Settimana', 7)"));
    for (int n = 1; n <= 7; ++n)
        amb.esegui(QStringLiteral("INSERT INTO CompTurni (IdTurno, NumOrd, DataInizio, TipoOrario, IdDaUsare) VALUES (1, :n, '2024-01-01 00:00:00', 'O', 1)"),
                   {{"n", n}});
    amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Classe) VALUES (1, '0000000001', 'Rossi', 'Mario', 'D')"));
    amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, ModalTimbra, "
                              "Autorizzato, TipoOrario, IdOrari, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, "
                              "GestReperib, UltElabVoci, IdOrFestivo) VALUES (1, '2024-01-01 00:00:00', 1, 1, 1, 1, '2024-01-01 00:00:00', 'T', 'S', 'T', 1, "
                              "'2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', '2024-01-01 00:00:00', 'N', '2024-01-01 00:00:00', 2)"));
    for (const char* t : {"E|2024-03-05 07:58:00", "U|2024-03-05 17:07:00", "E|2024-03-05 17:08:00", "U|2024-03-05 18:40:00"}) {
        const QStringList p = QString::fromLatin1(t).split(QLatin1Char('|'));
        amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO) VALUES (1, :d, :d2, :v, :v2)"),
                   {{"d", p.at(1)}, {"d2", p.at(1)}, {"v", p.at(0)}, {"v2", p.at(0)}});
    }
    const auto giorno = [&] {
        QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT IdOrario, ValOrdinario, ValEccedenza, ValPresenza, ValCarenza FROM PianoSomma "
                                                     "WHERE IdDip = 1 AND Data = :d"),
                                      {{"d", Sql::data(martedi)}});
        QStringList c;
        if (q.next())
            for (int i = 0; i < 5; ++i)
                c << q.value(i).toString();
        return c.join(QLatin1Char(' '));
    };
    elab.ElaboraPeriodo(1, martedi, martedi);
    QCOMPARE(elab.UltimoErrore(), QString());
    QCOMPARE(giorno(), prima);

    if (cambio == QLatin1String("orario")) {
        // Through the editor's module: seven hours, overtime in whole half hours.
        v = giornaliero();
        v.Descr = QStringLiteral("Sette ore");
        v.Prima = QStringLiteral("06:00");
        v.Ultima = QStringLiteral("23:00");
        v.OreMedie = QStringLiteral("07:00");
        v.PassoStra = QStringLiteral("30");
        DatiOrario nuovo = controllato(v);
        nuovo.Id = 1;
        QCOMPARE(orari.Registra(nuovo), 0);
        // The rename shows in the work plan at once.
        QCOMPARE(piano.DescrizioneOrario(1), QStringLiteral("Sette ore"));
    } else if (cambio == QLatin1String("turno")) {
        amb.esegui(QStringLiteral("UPDATE CompTurni SET IdDaUsare = 2 WHERE IdTurno = 1 AND NumOrd = 3"));
    } else {
        amb.esegui(QStringLiteral("INSERT INTO Calendari (Id, Descr) VALUES (1, 'Calendario')"));
        amb.esegui(QStringLiteral("INSERT INTO RelCalend (IdCalend, Giorno, Tipo) VALUES (1, :g, 'F')"), {{"g", Sql::data(martedi)}});
    }
    // A processed day keeps its timetable: the clerk cancels it, then processes it again
    // with the same engine the work plan keeps for the whole session.
    elab.AnnullaGiorno(1, martedi);
    elab.ElaboraPeriodo(1, martedi, martedi);
    QCOMPARE(elab.UltimoErrore(), QString());
    QCOMPARE(giorno(), dopo);
}

QTEST_MAIN(TstOrari)
#include "tst_orari.moc"
