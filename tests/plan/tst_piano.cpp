// The work-plan data module on real databases: the grid's calculated texts, the punch
// tokens and their hint, the editing rules of each column and state, the totals, the
// punch list with its positioning and storage, the employee selection table and the
// column widths written back to PRES.INI.

#include "ambiente.h"
#include "fileini.h"
#include "tdtmpiano.h"
#include "testipiano.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

namespace {

constexpr int kDip = 1;
const QDate kDal(2024, 3, 1);  // a Friday
const QDate kAl(2024, 3, 31);

QDate marzo(int giorno)
{
    return QDate(2024, 3, giorno);
}

QDateTime alle(const QDate& d, const QString& ora)
{
    return QDateTime(d, QTime::fromString(ora, ora.size() > 5 ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm")), Qt::UTC);
}

// Employees, timetables, terminals and the days of March for employee 1 (a few days of
// February and April and another employee's March around them, which the grid must not
// show), with the data module opened as the work-plan window opens it.
class Scenario {
public:
    Scenario()
    {
        amb.dtm().CaricaMemoria();
        dipendente(1, "0000000003", "Rossi", "Mario", "B-reparto");
        dipendente(2, "0000000001", "D'Amico", "Lucia", "C-reparto");
        dipendente(3, "0000000002", "Rossi", "Anna", "A-reparto");
        dipendente(4, "0000000010", "Bianchi", "Ugo", {});
        orario(7, "Turno A");
        orario(8, "Giornaliero");
        amb.esegui(QStringLiteral("INSERT INTO Terminali (Id, Descr, IdPostaz, Indirizzo, DipSet, Tipo) VALUES (5, 'Ingresso', 1, 'T05', 'N', 1)"));
        for (int g = 1; g <= 31; ++g)
            giorno(kDip, marzo(g), 1);
        giorno(kDip, QDate(2024, 2, 29), 1, {}, 100);
        giorno(kDip, QDate(2024, 4, 1), 1, {}, 100);
        giorno(2, marzo(5), 1, {}, 100);
        piano.BuildStructures();
    }

    void dipendente(int id, const char* matricola, const char* cognome, const char* nome, const QVariant& libero)
    {
        amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Libero, Classe) VALUES (:Id, :Matricola, :Cognome, :Nome, :Libero, 'D')"),
                   {{"Id", id},
                    {"Matricola", QString::fromLatin1(matricola)},
                    {"Cognome", QString::fromLatin1(cognome)},
                    {"Nome", QString::fromLatin1(nome)},
                    {"Libero", libero}});
    }

    void orario(int id, const char* descr)
    {
        amb.esegui(QStringLiteral("INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO) VALUES (:Id, :Descr, 'X', 'N')"),
                   {{"Id", id}, {"Descr", QString::fromLatin1(descr)}});
    }

    void giorno(int idDip, const QDate& d, int stato, const QVariant& idOrario = {}, const QVariant& ord = {})
    {
        amb.esegui(QStringLiteral("DELETE FROM PianoSomma WHERE IdDip = :IdDip AND Data = :Data"), {{"IdDip", idDip}, {"Data", Sql::data(d)}});
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario, ValOrdinario) VALUES (:IdDip, :Data, :Stato, :IdOrario, :Ord)"),
                   {{"IdDip", idDip}, {"Data", Sql::data(d)}, {"Stato", stato}, {"IdOrario", idOrario}, {"Ord", ord}});
    }

    // "E 08:00 E 08:00": valid direction and time, then the original ones ("- -" for none).
    void timbratura(int idDip, const QDate& d, const QString& testo, const QVariant& idTerminale = {})
    {
        const QStringList p = testo.split(QLatin1Char(' '));
        const bool orig = p.at(2) != QLatin1String("-");
        amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV, DataO, VersoO, IdTerminale) VALUES (:IdDip, :DataV, :VersoV, :DataO, :VersoO, :Term)"),
                   {{"IdDip", idDip},
                    {"DataV", Sql::dataOra(alle(d, p.at(1)))},
                    {"VersoV", p.at(0)},
                    {"DataO", orig ? Sql::dataOra(alle(d, p.at(3))) : Sql::dataOra({})},
                    {"VersoO", orig ? QVariant(p.at(2)) : QVariant(QMetaType(QMetaType::QString))},
                    {"Term", idTerminale}});
    }

    QVariant campo(const char* nome, const QDate& d, int idDip = kDip)
    {
        return amb.valore(QStringLiteral("SELECT %1 FROM PianoSomma WHERE IdDip = :IdDip AND Data = :Data").arg(QLatin1String(nome)),
                          {{"IdDip", idDip}, {"Data", Sql::data(d)}});
    }

    void apri() { griglia()->Apri(kDip, kDal, kAl); }
    TabellaPiano* griglia() { return piano.wwTblPianoSomma(); }
    TabellaTimbrature* timbr() { return piano.wwTblTimbr(); }
    QString cella(int riga, int colonna, int ruolo = Qt::DisplayRole)
    {
        return griglia()->data(griglia()->index(riga, colonna), ruolo).toString();
    }
    int riga(const QDate& d) { return griglia()->TrovaData(d); }

    Ambiente amb;
    TdtmPiano piano{amb.dtm()};
};

}  // namespace

class TstPiano : public QObject {
    Q_OBJECT

private slots:
    void minutiInTesto_data();
    void minutiInTesto();
    void testoInMinuti_data();
    void testoInMinuti();
    void posizioneToken();

    void intervalloEColonne();
    void giorniDellaSettimana();
    void timbratureEHint();
    void timbratureInModifica();
    void oreModificate_data();
    void oreModificate();
    void regoleDiModifica();
    void cambioStato_data();
    void cambioStato();
    void orario();
    void note();
    void totali();
    void aggiornaTieneRiga();

    void listaTimbrature();
    void posizionaVicino_data();
    void posizionaVicino();
    void scritturaTimbrature();

    void selezione_data();
    void selezione();
    void selezioneLavoroETrova();

    void larghezzeColonne();
};

// --- Texts ------------------------------------------------------------------------------

void TstPiano::minutiInTesto_data()
{
    QTest::addColumn<QVariant>("minuti");
    QTest::addColumn<QString>("testo");

    QTest::newRow("null: cella vuota") << QVariant(QMetaType::fromType<int>()) << QString();
    QTest::newRow("zero: cella vuota") << QVariant(0) << QString();
    QTest::newRow("un minuto") << QVariant(1) << QStringLiteral("00.01");
    QTest::newRow("59 minuti") << QVariant(59) << QStringLiteral("00.59");
    QTest::newRow("un'ora") << QVariant(60) << QStringLiteral("01.00");
    QTest::newRow("sette e mezza") << QVariant(450) << QStringLiteral("07.30");
    QTest::newRow("cento ore, tre cifre") << QVariant(6000) << QStringLiteral("100.00");
}

void TstPiano::minutiInTesto()
{
    QFETCH(QVariant, minuti);
    QFETCH(QString, testo);
    QCOMPARE(TestiPiano::MinutiInTesto(minuti), testo);
}

void TstPiano::testoInMinuti_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("minuti");

    QTest::newRow("hhmm") << QStringLiteral("0830") << 510;
    QTest::newRow("hh.mm") << QStringLiteral("08.30") << 510;
    QTest::newRow("ore di una cifra non convertono") << QStringLiteral("8.30") << 0;
    QTest::newRow("oltre le 24 ore") << QStringLiteral("25.15") << 1515;
    QTest::newRow("dieci e cinque") << QStringLiteral("1005") << 605;
    QTest::newRow("vuoto") << QString() << 0;
    QTest::newRow("lettere") << QStringLiteral("ab.cd") << 0;
    QTest::newRow("due punti al terzo posto") << QStringLiteral("08:30") << 0;
    QTest::newRow("minuti mancanti") << QStringLiteral("08.") << 0;
}

void TstPiano::testoInMinuti()
{
    QFETCH(QString, testo);
    QFETCH(int, minuti);
    QCOMPARE(TestiPiano::TestoInMinuti(testo), minuti);
}

void TstPiano::posizioneToken()
{
    const QString testo = QStringLiteral("E0800 U1200 E1305");
    // The caret anywhere in a token, or on the blank after it, selects that token.
    QCOMPARE(TestiPiano::InizioToken(testo, 0), 0);
    QCOMPARE(TestiPiano::InizioToken(testo, 5), 0);
    QCOMPARE(TestiPiano::InizioToken(testo, 6), 6);
    QCOMPARE(TestiPiano::InizioToken(testo, 17), 12);
    QCOMPARE(TestiPiano::InizioToken(testo, 40), 12);
    QCOMPARE(TestiPiano::TokenPrecedente(testo, 0), 0);
    QCOMPARE(TestiPiano::TokenPrecedente(testo, 12), 6);
    QCOMPARE(TestiPiano::TokenSuccessivo(testo, 6), 12);
    QCOMPARE(TestiPiano::TokenSuccessivo(testo, 12), 12);
    QCOMPARE(TestiPiano::InizioToken(QString(), 3), -1);
}

// --- Grid -------------------------------------------------------------------------------

void TstPiano::intervalloEColonne()
{
    Scenario s;
    QSignalSpy aperta(s.griglia(), &TabellaPiano::statoCambiato);
    s.giorno(kDip, marzo(4), 2, 7, 480);
    s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET Note = 'visita medica' WHERE IdDip = 1 AND Data = :Data"), {{"Data", Sql::data(marzo(4))}});

    s.apri();

    // Only employee 1's days from the 1st at 00:00 to the 31st, in date order.
    QCOMPARE(s.griglia()->rowCount(), 31);
    QCOMPARE(aperta.size(), 1);
    QCOMPARE(aperta.at(0).at(0).toBool(), true);
    for (int r = 0; r < 31; ++r)
        QCOMPARE(s.griglia()->Giorno(r).Data, marzo(r + 1));
    QCOMPARE(s.griglia()->RigaCorrente(), 0);

    QStringList titoli;
    for (int c = 0; c < s.griglia()->columnCount(); ++c)
        titoli << s.griglia()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titoli, QStringList({"Data", "Stato", "Orario", "Timbrature", "ORD", "STR", "TOT", "ASS", "Note"}));

    const int r = s.riga(marzo(4));
    QCOMPARE(s.cella(r, ColData), QStringLiteral("04/03/2024 Lun"));
    QCOMPARE(s.cella(r, ColStato), QStringLiteral("Anomala"));
    QCOMPARE(s.cella(r, ColStato, Qt::EditRole), QStringLiteral("2"));
    QCOMPARE(s.cella(r, ColOrario), QStringLiteral("Turno A"));
    QCOMPARE(s.cella(r, ColOrario, Qt::EditRole), QStringLiteral("7"));
    QCOMPARE(s.cella(r, ColOreOrd), QStringLiteral("08.00"));
    QCOMPARE(s.cella(r, ColOreStra), QString());
    QCOMPARE(s.cella(r, ColNote), QStringLiteral("visita medica"));
    QCOMPARE(s.cella(0, ColStato), QStringLiteral("Da elaborare"));
    QCOMPARE(s.cella(0, ColOrario), QString());
    // The hidden fields, on any column of the row.
    const QModelIndex i = s.griglia()->index(r, ColNote);
    QCOMPARE(i.data(TabellaPiano::RuoloIdDip).toInt(), kDip);
    QCOMPARE(i.data(TabellaPiano::RuoloData).toDate(), marzo(4));
    QCOMPARE(i.data(TabellaPiano::RuoloIdOrario).toInt(), 7);
    QCOMPARE(i.data(TabellaPiano::RuoloValOrdinario).toInt(), 480);
    QVERIFY(i.data(TabellaPiano::RuoloValCarenza).isNull());
}

void TstPiano::giorniDellaSettimana()
{
    Scenario s;
    s.apri();
    // 3 March 2024 is a Sunday: the "Giorni3" list numbers Sunday 1 … Saturday 7.
    const QStringList attesi{"03/03/2024 Dom", "04/03/2024 Lun", "05/03/2024 Mar", "06/03/2024 Mer",
                             "07/03/2024 Gio", "08/03/2024 Ven", "09/03/2024 Sab"};
    QStringList letti;
    for (int g = 3; g <= 9; ++g)
        letti << s.cella(s.riga(marzo(g)), ColData);
    QCOMPARE(letti, attesi);

    // The names come from the code table of the current language.
    s.amb.esegui(QStringLiteral("UPDATE Costanti4 SET Descr = 'do.' WHERE NCampo = 'Giorni3' AND ValCod = '1'"));
    s.piano.BuildStructures();
    s.griglia()->Aggiorna();
    QCOMPARE(s.cella(s.riga(marzo(3)), ColData), QStringLiteral("03/03/2024 do."));
    QCOMPARE(s.piano.DataGiorno(QDate()), QString());
}

void TstPiano::timbratureEHint()
{
    Scenario s;
    s.amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV, DataO, VersoO) VALUES (1, :DataV, 'U', NULL, 'U')"),
                 {{"DataV", Sql::dataOra(alle(marzo(6), "12:00"))}});
    s.timbratura(kDip, marzo(5), "E 08:00 E 08:00");
    s.timbratura(kDip, marzo(5), "U 12:00 - -");  // inserted by hand
    s.timbratura(kDip, marzo(5), "E 13:05 E 13:04");
    s.timbratura(kDip, marzo(5), "X 17:00:30 X 17:00:30");  // a code the "Verso" list does not hold
    s.timbratura(kDip, marzo(5), "U 23:59:59 U 23:59:59");
    s.timbratura(kDip, marzo(6), "E 00:00 E 00:00");  // the next day's
    s.timbratura(2, marzo(5), "E 09:00 E 09:00");     // another employee's
    s.apri();

    const int r = s.riga(marzo(5));
    QCOMPARE(s.cella(r, ColTimbrature), QStringLiteral("E0800 U1200 E1305 ?1700 U2359"));
    QCOMPARE(s.griglia()->Giorno(r).TimbratureOrig, QStringLiteral("E0800  E1304 ?1700 U2359"));
    QCOMPARE(s.cella(r, ColTimbrature, Qt::ToolTipRole), QStringLiteral("E0800 U1200 E1305 ?1700 U2359\nE0800  E1304 ?1700 U2359"));
    QCOMPARE(s.cella(r, 0, TabellaPiano::RuoloTimbratureOrig), QStringLiteral("E0800  E1304 ?1700 U2359"));
    // A recorded direction without a recorded time is read as midnight.
    QCOMPARE(s.cella(s.riga(marzo(6)), ColTimbrature), QStringLiteral("E0000 U1200"));
    QCOMPARE(s.griglia()->Giorno(s.riga(marzo(6))).TimbratureOrig, QStringLiteral("E0000 U0000"));
    // A day with no punches: empty text and no hint.
    QCOMPARE(s.cella(s.riga(marzo(7)), ColTimbrature), QString());
    QCOMPARE(s.griglia()->Giorno(s.riga(marzo(7))).TimbratureOrig, QString());
    QVERIFY(s.griglia()->data(s.griglia()->index(s.riga(marzo(7)), ColTimbrature), Qt::ToolTipRole).isNull());

    // The state's hint tells why the day is anomalous: each recorded code once, with its
    // catalogue description (a code the catalogue lacks shows alone); none, no hint.
    for (auto [idDip, g, prog, codice] : {std::tuple{kDip, 5, 1, 450}, std::tuple{kDip, 5, 2, 450}, std::tuple{kDip, 5, 3, 212},
                                          std::tuple{kDip, 5, 4, 999}, std::tuple{2, 6, 1, 202}})
        s.amb.esegui(QStringLiteral("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, Prod, IdSegnalaz) VALUES (:IdDip, :Data, :Prog, 'P', :Codice)"),
                     {{"IdDip", idDip}, {"Data", Sql::data(marzo(g))}, {"Prog", prog}, {"Codice", codice}});
    s.griglia()->Aggiorna();
    QCOMPARE(s.cella(r, ColStato, Qt::ToolTipRole), QStringLiteral("450 Verso della timbratura corretto dall'elaborazione\n"
                                                                  "212 Presenza inferiore alle ore medie previste\n999"));
    QVERIFY(s.griglia()->data(s.griglia()->index(s.riga(marzo(6)), ColStato), Qt::ToolTipRole).isNull());
    QVERIFY(s.griglia()->data(s.griglia()->index(r, ColData), Qt::ToolTipRole).isNull());

    // The letters follow the descriptions of the "Verso" list.
    s.amb.esegui(QStringLiteral("UPDATE Costanti4 SET Descr = 'Ingresso' WHERE NCampo = 'Verso' AND ValCod = 'E'"));
    s.piano.BuildStructures();
    s.griglia()->Aggiorna();
    QCOMPARE(s.cella(r, ColTimbrature), QStringLiteral("I0800 U1200 I1305 ?1700 U2359"));
}

void TstPiano::timbratureInModifica()
{
    Scenario s;
    s.timbratura(kDip, marzo(5), "E 08:00 E 08:00");
    s.apri();
    const int r = s.riga(marzo(5));
    QSignalSpy cambiate(s.griglia(), &QAbstractItemModel::dataChanged);

    s.griglia()->ImpostaRigaInModifica(r);
    QCOMPARE(s.cella(r, ColTimbrature), s.amb.dtm().TestoScelta(2001));
    QVERIFY(!s.cella(r, ColTimbrature).isEmpty());
    QCOMPARE(cambiate.size(), 1);
    s.griglia()->ImpostaRigaInModifica(-1);
    QCOMPARE(s.cella(r, ColTimbrature), QStringLiteral("E0800"));
}

void TstPiano::oreModificate_data()
{
    QTest::addColumn<int>("colonna");
    QTest::addColumn<QVariant>("prima");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QVariant>("dopo");
    QTest::addColumn<QString>("mostrato");

    const QVariant nullo(QMetaType::fromType<int>());
    QTest::newRow("ORD 0830") << int(ColOreOrd) << nullo << "0830" << QVariant(510) << "08.30";
    QTest::newRow("STR 08.30") << int(ColOreStra) << QVariant(0) << "08.30" << QVariant(510) << "08.30";
    QTest::newRow("TOT 8.30 memorizza 0") << int(ColOrePres) << QVariant(480) << "8.30" << QVariant(0) << "";
    QTest::newRow("ASS 0145") << int(ColOreAssenza) << QVariant(30) << "0145" << QVariant(105) << "01.45";
    // Written only when the value differs: null and 0 are the same value.
    QTest::newRow("ORD uguale, non scritto") << int(ColOreOrd) << QVariant(510) << "08.30" << QVariant(510) << "08.30";
    QTest::newRow("ORD vuoto su null, resta null") << int(ColOreOrd) << nullo << "" << nullo << "";
}

void TstPiano::oreModificate()
{
    QFETCH(int, colonna);
    QFETCH(QVariant, prima);
    QFETCH(QString, digitato);
    QFETCH(QVariant, dopo);
    QFETCH(QString, mostrato);

    static const char* const campi[] = {"ValOrdinario", "ValEccedenza", "ValPresenza", "ValCarenza"};
    const char* campo = campi[colonna - ColOreOrd];
    Scenario s;
    s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET %1 = :V WHERE IdDip = 1 AND Data = :Data").arg(QLatin1String(campo)),
                 {{"V", prima}, {"Data", Sql::data(marzo(12))}});
    s.apri();
    const int r = s.riga(marzo(12));
    QSignalSpy registrate(s.griglia(), &TabellaPiano::rigaRegistrata);

    QVERIFY(s.griglia()->setData(s.griglia()->index(r, colonna), digitato));

    const QVariant letto = s.campo(campo, marzo(12));
    QCOMPARE(letto.isNull(), dopo.isNull());
    QCOMPARE(letto.toInt(), dopo.toInt());
    QCOMPARE(s.cella(r, colonna), mostrato);
    const bool scritto = prima.isNull() != dopo.isNull() || prima.toInt() != dopo.toInt();
    QCOMPARE(registrate.size(), scritto ? 1 : 0);
    // The other days are untouched.
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"),
                         QStringLiteral("IdDip = 1 AND Data >= '2024-03-01' AND Data < '2024-04-01' AND Data <> '2024-03-12 00:00:00' AND %1 IS NOT NULL").arg(QLatin1String(campo))),
             0);
}

void TstPiano::regoleDiModifica()
{
    Scenario s;
    s.giorno(kDip, marzo(2), 2, 7);
    s.giorno(kDip, marzo(3), 3, 7, 480);
    s.apri();
    TabellaPiano* g = s.griglia();
    const int aperta = s.riga(marzo(1));
    const int anomala = s.riga(marzo(2));
    const int chiusa = s.riga(marzo(3));

    const auto modificabile = [g](int riga, int colonna) { return bool(g->flags(g->index(riga, colonna)) & Qt::ItemIsEditable); };
    for (int riga : {aperta, anomala, chiusa}) {
        QVERIFY(!modificabile(riga, ColData));
        QVERIFY(!modificabile(riga, ColTimbrature));
        for (int c : {ColOreOrd, ColOreStra, ColOrePres, ColOreAssenza, ColNote})
            QVERIFY2(modificabile(riga, c), qPrintable(TabellaPiano::TitoloColonna(c)));
        QCOMPARE(modificabile(riga, ColStato), riga != chiusa);
        QCOMPARE(modificabile(riga, ColOrario), riga != chiusa);
    }

    // State 3 locks the state and the timetable, whichever way they are written.
    QVERIFY(!g->setData(g->index(chiusa, ColStato), 1));
    QVERIFY(!g->ImpostaStato(chiusa, 1));
    QCOMPARE(g->ControllaStato(chiusa, 1), TabellaPiano::EsitoStato::Bloccato);
    QVERIFY(!g->setData(g->index(chiusa, ColOrario), 8));
    QVERIFY(!g->ImpostaOrario(chiusa, 8));
    QVERIFY(!g->CancellaOrario(chiusa));
    QCOMPARE(s.campo("Stato", marzo(3)).toInt(), 3);
    QCOMPARE(s.campo("IdOrario", marzo(3)).toInt(), 7);
    // … but not the hours and the note.
    QVERIFY(g->setData(g->index(chiusa, ColOreStra), QStringLiteral("0015")));
    QVERIFY(g->setData(g->index(chiusa, ColNote), QStringLiteral("chiusa a mano")));
    QCOMPARE(s.campo("ValEccedenza", marzo(3)).toInt(), 15);
    QCOMPARE(s.campo("Note", marzo(3)).toString(), QStringLiteral("chiusa a mano"));
    QVERIFY(s.piano.wwTblPianoSomma()->StatoBloccato(chiusa));
    g->ImpostaRigaCorrente(chiusa);
    QVERIFY(s.piano.StatoBloccato());
    g->ImpostaRigaCorrente(anomala);
    QVERIFY(!s.piano.StatoBloccato());

    // Read-only columns refuse writes.
    QVERIFY(!g->setData(g->index(aperta, ColData), QStringLiteral("02/03/2024")));
    QVERIFY(!g->setData(g->index(aperta, ColTimbrature), QStringLiteral("E0800")));

    // No rows are added or removed through the grid.
    QVERIFY(!g->insertRows(0, 1));
    QVERIFY(!g->insertRow(31));
    QVERIFY(!g->removeRows(0, 1));
    QVERIFY(!g->removeRow(chiusa));
    QCOMPARE(g->rowCount(), 31);
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma"), QStringLiteral("IdDip = 1")), 33);
}

void TstPiano::cambioStato_data()
{
    QTest::addColumn<int>("da");
    QTest::addColumn<int>("a");
    QTest::addColumn<bool>("risposta");
    QTest::addColumn<int>("memorizzato");
    QTest::addColumn<bool>("errore2002");
    QTest::addColumn<bool>("domanda2004");

    QTest::newRow("1 -> 2 rifiutato") << 1 << 2 << true << 1 << true << false;
    QTest::newRow("2 -> 1 rifiutato") << 2 << 1 << true << 2 << true << false;
    QTest::newRow("1 -> 3 confermato") << 1 << 3 << true << 3 << false << true;
    QTest::newRow("1 -> 3 non confermato") << 1 << 3 << false << 1 << false << true;
    QTest::newRow("2 -> 3 confermato") << 2 << 3 << true << 3 << false << true;
    QTest::newRow("3 bloccato") << 3 << 1 << true << 3 << false << false;
    QTest::newRow("stato non in elenco") << 1 << 9 << true << 1 << false << false;
    QTest::newRow("stesso stato") << 2 << 2 << true << 2 << false << false;
}

void TstPiano::cambioStato()
{
    QFETCH(int, da);
    QFETCH(int, a);
    QFETCH(bool, risposta);
    QFETCH(int, memorizzato);
    QFETCH(bool, errore2002);
    QFETCH(bool, domanda2004);

    Scenario s;
    s.giorno(kDip, marzo(8), da, 7, 480);
    s.apri();
    const int r = s.riga(marzo(8));
    s.amb.registro().risposte = {risposta};
    QSignalSpy registrate(s.griglia(), &TabellaPiano::rigaRegistrata);

    QCOMPARE(s.griglia()->CambiaStato(r, a), memorizzato != da);

    QCOMPARE(s.campo("Stato", marzo(8)).toInt(), memorizzato);
    QCOMPARE(s.griglia()->Giorno(r).Stato.toInt(), memorizzato);
    QCOMPARE(registrate.size(), memorizzato != da ? 1 : 0);
    QCOMPARE(s.amb.registro().avvisi, errore2002 ? QStringList{s.amb.dtm().TestoErrore(2002)} : QStringList());
    QCOMPARE(s.amb.registro().domande, domanda2004 ? QStringList{s.amb.dtm().TestoScelta(2004)} : QStringList());
    // The other fields of the day are kept.
    QCOMPARE(s.campo("IdOrario", marzo(8)).toInt(), 7);
    QCOMPARE(s.campo("ValOrdinario", marzo(8)).toInt(), 480);
}

void TstPiano::orario()
{
    Scenario s;
    s.apri();
    TabellaPiano* g = s.griglia();
    const int r = s.riga(marzo(11));
    QSignalSpy registrate(g, &TabellaPiano::rigaRegistrata);

    QCOMPARE(s.piano.ElencoOrari().size(), 2);
    QCOMPARE(s.piano.ElencoOrari().first().Descr, QStringLiteral("Giornaliero"));  // by description

    QVERIFY(g->ImpostaOrario(r, 7));
    QCOMPARE(s.campo("IdOrario", marzo(11)).toInt(), 7);
    QCOMPARE(s.cella(r, ColOrario), QStringLiteral("Turno A"));
    QVERIFY(g->setData(g->index(r, ColOrario), 8));
    QCOMPARE(s.cella(r, ColOrario), QStringLiteral("Giornaliero"));
    QCOMPARE(registrate.size(), 2);

    // Backspace clears it; with no timetable there is nothing to clear.
    QVERIFY(g->CancellaOrario(r));
    QVERIFY(s.campo("IdOrario", marzo(11)).isNull());
    QCOMPARE(s.cella(r, ColOrario), QString());
    QVERIFY(!g->CancellaOrario(r));
    QCOMPARE(registrate.size(), 3);
    QCOMPARE(s.campo("Stato", marzo(11)).toInt(), 1);
}

void TstPiano::note()
{
    Scenario s;
    s.apri();
    TabellaPiano* g = s.griglia();
    const int r = s.riga(marzo(13));
    const QString lunga = QStringLiteral("Permesso 'studio' del 50% – ") + QString(40, QLatin1Char('x'));

    QVERIFY(g->setData(g->index(r, ColNote), lunga));
    QCOMPARE(s.campo("Note", marzo(13)).toString(), lunga.left(50));
    QCOMPARE(s.cella(r, ColNote), lunga.left(50));
    // An emptied note is stored as null, as processing and the notes window leave it.
    QVERIFY(g->setData(g->index(r, ColNote), QString()));
    QVERIFY(s.campo("Note", marzo(13)).isNull());
}

void TstPiano::totali()
{
    Scenario s;
    s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET ValOrdinario = 480, ValEccedenza = 30, ValPresenza = 510, ValCarenza = NULL "
                                "WHERE IdDip = 1 AND Data >= '2024-03-04' AND Data < '2024-03-09'"));
    s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET ValOrdinario = 240, ValCarenza = 240 WHERE IdDip = 1 AND Data = :Data"),
                 {{"Data", Sql::data(marzo(11))}});
    s.apri();

    // Days outside the period (100 minutes each) and another employee's do not count.
    TotaliPiano t = s.griglia()->Totali();
    QCOMPARE(t.Ordinario, 5 * 480 + 240);
    QCOMPARE(t.Eccedenza, 5 * 30);
    QCOMPARE(t.Presenza, 5 * 510);
    QCOMPARE(t.Carenza, 240);

    // An edited cell counts at once.
    QVERIFY(s.griglia()->ImpostaOre(s.riga(marzo(12)), ColOreAssenza, QStringLiteral("0100")));
    t = s.griglia()->Totali();
    QCOMPARE(t.Carenza, 300);

    // A narrower period: only its days.
    s.griglia()->Apri(kDip, marzo(4), marzo(5));
    t = s.griglia()->Totali();
    QCOMPARE(t.Ordinario, 960);
    QCOMPARE(t.Carenza, 0);
}

void TstPiano::aggiornaTieneRiga()
{
    Scenario s;
    s.timbratura(kDip, marzo(20), "E 08:00 E 08:00");
    s.apri();
    TabellaPiano* g = s.griglia();
    QSignalSpy corrente(g, &TabellaPiano::rigaCorrenteCambiata);

    g->ImpostaRigaCorrente(s.riga(marzo(20)));
    QCOMPARE(corrente.size(), 1);
    // The punch list follows the current row.
    QCOMPARE(s.timbr()->Giorno(), marzo(20));
    QCOMPARE(s.timbr()->Righe(), 1);

    // Processing elsewhere changed the day and removed an earlier one.
    s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET Stato = 3, ValOrdinario = 450 WHERE IdDip = 1 AND Data = :Data"), {{"Data", Sql::data(marzo(20))}});
    s.amb.esegui(QStringLiteral("DELETE FROM PianoSomma WHERE IdDip = 1 AND Data = :Data"), {{"Data", Sql::data(marzo(2))}});
    s.timbratura(kDip, marzo(20), "U 12:00 U 12:00");
    g->Aggiorna();

    QCOMPARE(g->rowCount(), 30);
    QCOMPARE(g->GiornoCorrente()->Data, marzo(20));
    QCOMPARE(g->RigaCorrente(), 18);
    QCOMPARE(s.cella(g->RigaCorrente(), ColOreOrd), QStringLiteral("07.30"));
    QCOMPARE(s.cella(g->RigaCorrente(), ColTimbrature), QStringLiteral("E0800 U1200"));
    QCOMPARE(s.timbr()->Righe(), 2);

    // When the current day itself disappears, the cursor stays on the same row number.
    s.amb.esegui(QStringLiteral("DELETE FROM PianoSomma WHERE IdDip = 1 AND Data = :Data"), {{"Data", Sql::data(marzo(20))}});
    g->Aggiorna();
    QCOMPARE(g->RigaCorrente(), 18);
    QCOMPARE(g->GiornoCorrente()->Data, marzo(21));
    QCOMPARE(s.timbr()->Giorno(), marzo(21));

    // Moving by a week stays inside the range.
    QVERIFY(g->Sposta(7));
    QCOMPARE(g->GiornoCorrente()->Data, marzo(28));
    QVERIFY(g->Sposta(7));
    QVERIFY(g->AllaFine());
    QVERIFY(!g->Sposta(7));
    g->ImpostaRigaCorrente(3);
    QVERIFY(g->Sposta(-7));
    QVERIFY(g->AllInizio());
}

// --- Punch list ---------------------------------------------------------------------------

void TstPiano::listaTimbrature()
{
    Scenario s;
    s.timbratura(kDip, marzo(5), "E 08:00 E 07:58", 5);
    s.timbratura(kDip, marzo(5), "U 12:00 - -");
    s.timbratura(kDip, marzo(5), "X 13:00 U 13:00");
    s.apri();
    s.griglia()->ImpostaRigaCorrente(s.riga(marzo(5)));
    TabellaTimbrature* t = s.timbr();
    QCOMPARE(t->Righe(), 3);

    const auto testo = [t](int riga, int colonna) { return t->data(t->index(riga, colonna)).toString(); };
    QCOMPARE(testo(0, TabellaTimbrature::ColDataV), QStringLiteral("08.00"));
    QCOMPARE(testo(0, TabellaTimbrature::ColDataO), QStringLiteral("07.58"));
    QCOMPARE(testo(0, TabellaTimbrature::ColVTradV), QStringLiteral("E"));
    QCOMPARE(testo(0, TabellaTimbrature::ColVTradO), QStringLiteral("E"));
    QCOMPARE(testo(0, TabellaTimbrature::ColIndirizzo), QStringLiteral("T05"));
    QCOMPARE(testo(1, TabellaTimbrature::ColDataO), QString());
    QCOMPARE(testo(1, TabellaTimbrature::ColVTradV), QStringLiteral("U"));
    QCOMPARE(testo(1, TabellaTimbrature::ColVTradO), QString());
    QCOMPARE(testo(1, TabellaTimbrature::ColIndirizzo), QString());
    // A code outside the list has no letter.
    QCOMPARE(testo(2, TabellaTimbrature::ColVTradV), QString());
    QCOMPARE(testo(2, TabellaTimbrature::ColVTradO), QStringLiteral("U"));
    QCOMPARE(t->data(t->index(0, TabellaTimbrature::ColDataV), Qt::EditRole).toDateTime(), alle(marzo(5), "08:00"));

    // The letters are the application's entry and exit letters.
    s.amb.dtm().mem().LetteraE = QStringLiteral("I");
    QCOMPARE(testo(0, TabellaTimbrature::ColVTradV), QStringLiteral("I"));
}

void TstPiano::posizionaVicino_data()
{
    QTest::addColumn<QString>("ora");
    QTest::addColumn<int>("riga");

    QTest::newRow("prima della prima") << "06:00" << 0;
    // The token of a punch at 08:00:30 reads 08:00: the punch is the first not earlier.
    QTest::newRow("minuto con secondi") << "08:00" << 0;
    QTest::newRow("appena dopo") << "08:01" << 1;
    QTest::newRow("esatta") << "12:00" << 1;
    QTest::newRow("tra due") << "12:30" << 2;
    QTest::newRow("dopo l'ultima: l'ultima") << "18:00" << 2;
}

void TstPiano::posizionaVicino()
{
    QFETCH(QString, ora);
    QFETCH(int, riga);

    Scenario s;
    s.timbratura(kDip, marzo(5), "E 08:00:30 E 08:00:30");
    s.timbratura(kDip, marzo(5), "U 12:00 U 12:00");
    s.timbratura(kDip, marzo(5), "E 13:05 E 13:05");
    s.apri();
    s.griglia()->ImpostaRigaCorrente(s.riga(marzo(5)));
    s.timbr()->ImpostaRigaCorrente(1);

    QCOMPARE(s.timbr()->PosizionaVicino(alle(marzo(5), ora)), riga);
    QCOMPARE(s.timbr()->RigaCorrente(), riga);

    // The punch cell's way: a token of the current day's text.
    const QString token = QStringLiteral("E") + QString(ora).remove(QLatin1Char(':'));
    QCOMPARE(s.piano.PosizionaSuToken(token), riga);

    // A day without punches has nothing to move to.
    s.griglia()->ImpostaRigaCorrente(s.riga(marzo(6)));
    QCOMPARE(s.piano.PosizionaSuToken(token), -1);
}

void TstPiano::scritturaTimbrature()
{
    Scenario s;
    s.timbratura(kDip, marzo(5), "E 08:00 E 08:00");
    s.apri();
    TabellaPiano* g = s.griglia();
    TabellaTimbrature* t = s.timbr();
    g->ImpostaRigaCorrente(s.riga(marzo(5)));
    const int r = g->RigaCorrente();

    // Insert by hand: valid values only.
    Timbratura nuova;
    nuova.IdDip = kDip;
    nuova.DataV = alle(marzo(5), "12:15");
    nuova.VersoV = QStringLiteral("U");
    t->Inserisci(nuova);
    QCOMPARE(t->Righe(), 2);
    QCOMPARE(t->RigaCorrente(), 1);
    QCOMPARE(s.cella(r, ColTimbrature), QStringLiteral("E0800 U1215"));
    QCOMPARE(g->Giorno(r).TimbratureOrig, QStringLiteral("E0800 "));
    QCOMPARE(g->RigaCorrente(), r);
    QCOMPARE(s.amb.conta(QStringLiteral("Timbrature"), QStringLiteral("IdDip = 1 AND DataO IS NULL AND VersoO IS NULL AND VersoV = 'U'")), 1);

    // A second punch at the same valid time is refused by the key; nothing changes.
    try {
        t->Inserisci(nuova);
        QFAIL("duplicate punch accepted");
    } catch (const ErroreDb& e) {
        QVERIFY(e.violazioneVincolo());
    }
    QCOMPARE(s.amb.conta(QStringLiteral("Timbrature")), 2);

    // Modify: the valid time moves, the key follows.
    Timbratura modificata = t->Riga(1);
    modificata.DataV = alle(marzo(5), "12:30");
    modificata.Caus = QStringLiteral("0012");
    t->Modifica(1, modificata);
    QCOMPARE(s.cella(r, ColTimbrature), QStringLiteral("E0800 U1230"));
    QCOMPARE(t->data(t->index(1, TabellaTimbrature::ColCaus)).toString(), QStringLiteral("0012"));
    QCOMPARE(s.amb.conta(QStringLiteral("Timbrature"), QStringLiteral("DataV = '2024-03-05 12:30:00' AND Caus = '0012'")), 1);
    QCOMPARE(s.amb.conta(QStringLiteral("Timbrature")), 2);

    // Delete asks question 3 first; anything but Yes keeps the punch.
    s.amb.registro().risposte = {false, true};
    QVERIFY(!t->Cancella(0));
    QCOMPARE(s.amb.conta(QStringLiteral("Timbrature")), 2);
    QVERIFY(t->Cancella(0));
    QCOMPARE(s.amb.registro().domande, QStringList(2, s.amb.dtm().TestoScelta(3)));
    QCOMPARE(s.amb.conta(QStringLiteral("Timbrature")), 1);
    QCOMPARE(t->Righe(), 1);
    QCOMPARE(s.cella(r, ColTimbrature), QStringLiteral("U1230"));
    QCOMPARE(g->Giorno(r).TimbratureOrig, QString());
}

// --- Employee selection ---------------------------------------------------------------------

void TstPiano::selezione_data()
{
    QTest::addColumn<QString>("ordine");
    QTest::addColumn<QList<int>>("ids");

    // Bianchi Ugo, D'Amico Lucia, Rossi Anna, Rossi Mario.
    QTest::newRow("per nominativo") << "Cognome;Nome" << QList<int>{4, 2, 3, 1};
    QTest::newRow("nessun ordine scelto") << "" << QList<int>{4, 2, 3, 1};
    QTest::newRow("per matricola") << "Matricola" << QList<int>{2, 3, 1, 4};
    // A missing comment comes first.
    QTest::newRow("per commento") << "Libero" << QList<int>{4, 3, 1, 2};
}

void TstPiano::selezione()
{
    QFETCH(QString, ordine);
    QFETCH(QList<int>, ids);

    Scenario s;
    TabellaAnagSel* sel = s.piano.wwTblAnagSel();
    QSignalSpy aperta(sel, &TabellaAnagSel::statoCambiato);
    sel->ImpostaOrdine(TabellaAnagSel::OrdineDaTesto(ordine));
    sel->Apri();
    QCOMPARE(aperta.size(), 1);

    QList<int> letti;
    for (sel->Primo(); !sel->Fine(); sel->Successivo())
        letti << sel->IdCorrente();
    QCOMPARE(letti, ids);
    // Past the end the cursor stays on the last employee.
    QCOMPARE(sel->IdCorrente(), ids.last());

    const int riga = ids.indexOf(2);
    QCOMPARE(sel->data(sel->index(riga, TabellaAnagSel::ColNominativo)).toString(), QStringLiteral("D'Amico Lucia"));
    QCOMPARE(sel->data(sel->index(riga, TabellaAnagSel::ColMatricola)).toString(), QStringLiteral("0000000001"));
    QCOMPARE(sel->data(sel->index(riga, TabellaAnagSel::ColLibero)).toString(), QStringLiteral("C-reparto"));
    QCOMPARE(sel->headerData(TabellaAnagSel::ColLibero, Qt::Horizontal).toString(), QStringLiteral("Commento"));
}

void TstPiano::selezioneLavoroETrova()
{
    Scenario s;
    // The employee query's result in the work database: two people.
    for (int id : {3, 2})
        s.amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:TAnagCk' (Id, Matricola, Cognome, Nome, Libero, Classe) "
                                    "SELECT Id, Matricola, Cognome, Nome, Libero, Classe FROM Anagrafico WHERE Id = :Id"),
                     {{"Id", id}});
    TabellaAnagSel* sel = s.piano.wwTblAnagSel();
    sel->Apri();
    QCOMPARE(sel->Righe(), 4);
    QVERIFY(sel->Trova(3));

    QSignalSpy aperta(sel, &TabellaAnagSel::statoCambiato);
    sel->ImpostaTabella(QStringLiteral("TAnagCk.DB"), QStringLiteral("DBPresUt"));
    QVERIFY(!sel->Aperta());
    sel->Apri();
    QCOMPARE(aperta.size(), 2);  // closed, then opened on the selection
    QCOMPARE(sel->Righe(), 2);
    QCOMPARE(sel->IdCorrente(), 2);

    // Locate by id; an absent id leaves the cursor where it was.
    QVERIFY(sel->Trova(3));
    QCOMPARE(sel->IdCorrente(), 3);
    QVERIFY(!sel->Trova(1));
    QCOMPARE(sel->IdCorrente(), 3);
    // Re-sorting keeps the current employee.
    sel->ImpostaOrdine(TabellaAnagSel::Ordine::Matricola);
    QCOMPARE(sel->IdCorrente(), 3);
    QCOMPARE(sel->RigaCorrente(), 1);

    // Back to all employees.
    sel->ImpostaTabella();
    sel->Apri();
    QCOMPARE(sel->Righe(), 4);

    QVERIFY_THROWS_EXCEPTION(ErroreDb, sel->ImpostaTabella(QStringLiteral("TAnagCk; DROP"), QStringLiteral("DBPresUt")));
    QVERIFY_THROWS_EXCEPTION(ErroreDb, sel->ImpostaTabella(QStringLiteral("TAnagCk"), QStringLiteral("Altro")));
}

// --- Column widths --------------------------------------------------------------------------

void TstPiano::larghezzeColonne()
{
    Scenario s;
    const std::array<int, NumColonnePiano> predefinite{85, 70, 70, 150, 35, 35, 35, 35, 250};
    QCOMPARE(s.piano.Larghezze(), predefinite);
    const std::array<int, NumColonnePiano> nuove{90, 60, 120, 200, 40, 41, 42, 43, 300};

    TabellaPiano* g = s.griglia();
    QList<bool> stati;
    connect(g, &TabellaPiano::statoCambiato, this, [&stati](bool aperta) { stati << aperta; });
    // What the window does: apply the widths on opening, hand them back before closing.
    std::array<int, NumColonnePiano> applicate{};
    connect(g, &TabellaPiano::statoCambiato, this, [&](bool aperta) {
        if (aperta)
            applicate = s.piano.Larghezze();
    });
    connect(g, &TabellaPiano::primaDiChiudere, this, [&] {
        for (int c = 0; c < NumColonnePiano; ++c)
            s.piano.ImpostaLarghezza(c, nuove[size_t(c)]);
    });

    s.apri();
    QCOMPARE(applicate, predefinite);
    g->Chiudi();
    QCOMPARE(stati, QList<bool>({true, false}));
    QCOMPARE(g->rowCount(), 0);
    QVERIFY(!g->Aperta());

    FileIni ini(s.amb.fileIni());
    for (int c = 0; c < NumColonnePiano; ++c)
        QCOMPARE(ini.leggiIntero(Ini::Desktop, TPresenzeCfg::chiaveColonna(c), 0), nuove[size_t(c)]);
    QCOMPARE(ini.leggiTesto(Ini::Desktop, QStringLiteral("PdLColOreAssenza")), QStringLiteral("43"));

    // The next opening applies the widths just stored.
    s.apri();
    QCOMPARE(applicate, nuove);
}

QTEST_GUILESS_MAIN(TstPiano)
#include "tst_piano.moc"
