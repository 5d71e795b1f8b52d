// The daily processing engine on real databases: day states and the driver, the choice
// of the timetable, the working punch set, rounding, evaluation and overtime, the
// write-back and reprocessing. Every expected figure is worked out by hand from the
// timetable, the punches and the options of each case.

#include "ambiente.h"
#include "avanzamento.h"
#include "tdtmelab.h"

#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <array>

namespace {

constexpr int kDip = 1;
// Every day of March 2024 is in the past.
const QDate kOggi(2024, 4, 1);
// A Tuesday: day 3 of a rotation (Sunday 1 … Saturday 7).
const QDate kGiorno(2024, 3, 5);

QDate marzo(int giorno)
{
    return QDate(2024, 3, giorno);
}

// A timetable as the timetable editor would write it, with the fields the engine reads.
struct DefOrario {
    int id = 1;
    int oreMedie = 480;
    int primaTimb = 360;    // 06:00
    int ultimaTimb = 1320;  // 22:00
    QVariant chiusGio = QStringLiteral("A");
    // ArroTim rows as "<ArrVerso> <MinutiArrot>", each over the whole day.
    QStringList arrotondamenti{QStringLiteral("E 15"), QStringLiteral("U 15")};
};

struct DefProfilo {
    QDate inizio{2024, 1, 1};
    QDate fine;
    QDate licenziamento;
    QVariant tipoOrario = QStringLiteral("T");
    QVariant idOrari = 1;
    QVariant idOrFestivo;
    QString autorizzato = QStringLiteral("S");
    QString modalTimbra = QStringLiteral("T");
};

// "E 08:03", "U 12:00:40", "U 02:10+1" (the day after): direction and valid time of a
// punch relative to a day.
std::pair<QString, QString> leggiToken(const QDate& giorno, const QString& token)
{
    const QStringList parti = token.split(QLatin1Char(' '));
    QString ora = parti.at(1);
    int giorni = 0;
    const qsizetype piu = ora.indexOf(QLatin1Char('+'));
    if (piu >= 0) {
        giorni = ora.mid(piu + 1).toInt();
        ora.truncate(piu);
    }
    if (ora.size() == 5)
        ora += QStringLiteral(":00");
    return {parti.at(0), giorno.addDays(giorni).toString(QStringLiteral("yyyy-MM-dd ")) + ora};
}

// A stored date-time as the time of day, with "+n" when it lies n days after `giorno`.
QString relativa(const QDate& giorno, const QVariant& dataOra)
{
    if (dataOra.isNull())
        return QStringLiteral("null");
    const QString t = dataOra.toString();
    const qint64 scarto = giorno.daysTo(Sql::leggiData(t));
    QString s = t.mid(11, 8);
    if (scarto != 0)
        s += QStringLiteral("+%1").arg(scarto);
    return s;
}

QList<int> ordinate(QList<int> l)
{
    std::sort(l.begin(), l.end());
    return l;
}

// A fresh company on real databases with today fixed and the engine options at their
// defaults; the engine is the one the work plan would use.
class Scenario {
public:
    Scenario()
    {
        amb.dtm().setOggi(kOggi);
        opzioni(true, true, true);
    }

    Ambiente amb;
    TdtmElab elab{amb.dtm()};

    // Timetable 1 on every day of rotation 1, and employee kDip under that rotation.
    void base(const DefOrario& o = {}, const DefProfilo& p = {})
    {
        orario(o);
        turno(1, {o.id, o.id, o.id, o.id, o.id, o.id, o.id});
        dipendente(kDip);
        profilo(kDip, p);
    }

    void opzioni(bool anomAssenza, bool calcolaAssenza, bool calcolaStraord)
    {
        amb.dtm().cfg().AnomAssenza = anomAssenza;
        amb.dtm().cfg().CalcolaAssenza = calcolaAssenza;
        amb.dtm().cfg().CalcolaStraord = calcolaStraord;
    }

    void orario(const DefOrario& o)
    {
        amb.esegui(QStringLiteral("INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO, OreMedie, OreMinime, PrimaTimb, UltimaTimb, ChiusGio) "
                                  "VALUES (:Id, :Descr, :cvDescr, :TipoO, :OreMedie, :OreMinime, :PrimaTimb, :UltimaTimb, :ChiusGio)"),
                   {{"Id", o.id},
                    {"Descr", QStringLiteral("Orario %1").arg(o.id)},
                    {"cvDescr", QString::number(o.id)},
                    {"TipoO", QStringLiteral("E")},
                    {"OreMedie", o.oreMedie},
                    {"OreMinime", o.oreMedie},
                    {"PrimaTimb", o.primaTimb},
                    {"UltimaTimb", o.ultimaTimb},
                    {"ChiusGio", o.chiusGio}});
        for (const QString& riga : o.arrotondamenti) {
            const QStringList p = riga.split(QLatin1Char(' '));
            amb.esegui(QStringLiteral("INSERT INTO ArroTim (IdOrario, Inizio, Fine, ArrVerso, TipoArrot, MinutiArrot) "
                                      "VALUES (:IdOrario, :Inizio, :Fine, :ArrVerso, :TipoArrot, :MinutiArrot)"),
                       {{"IdOrario", o.id},
                        {"Inizio", 0},
                        {"Fine", 1439},
                        {"ArrVerso", p.at(0)},
                        {"TipoArrot", p.at(0) == QLatin1String("E") ? QStringLiteral("E") : QStringLiteral("D")},
                        {"MinutiArrot", p.at(1).toInt()}});
        }
    }

    // "<Inizio> <Fine> <TipoArrot> <MinutiArrot or ->"
    void fascia(int idOrario, const QString& riga)
    {
        const QStringList p = riga.split(QLatin1Char(' '));
        amb.esegui(QStringLiteral("INSERT INTO ArroStra (IdOrario, Inizio, Fine, TipoArrot, MinutiArrot) "
                                  "VALUES (:IdOrario, :Inizio, :Fine, :TipoArrot, :MinutiArrot)"),
                   {{"IdOrario", idOrario},
                    {"Inizio", p.at(0).toInt()},
                    {"Fine", p.at(1).toInt()},
                    {"TipoArrot", p.at(2)},
                    {"MinutiArrot", p.at(3) == QLatin1String("-") ? QVariant(QMetaType(QMetaType::Int)) : QVariant(p.at(3).toInt())}});
    }

    // orari[0] is the timetable of Sunday (day 1), orari[6] of Saturday (day 7).
    void turno(int id, const std::array<int, 7>& orari)
    {
        amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (:Id, :Descr, 7)"),
                   {{"Id", id}, {"Descr", QStringLiteral("Turno %1").arg(id)}});
        for (int n = 1; n <= 7; ++n)
            giornoTurno(id, n, QStringLiteral("O"), orari[n - 1]);
    }

    void giornoTurno(int idTurno, int numOrd, const QString& tipo, int idOrario)
    {
        amb.esegui(QStringLiteral("INSERT INTO CompTurni (IdTurno, NumOrd, DataInizio, TipoOrario, IdDaUsare) "
                                  "VALUES (:IdTurno, :NumOrd, :DataInizio, :TipoOrario, :IdDaUsare)"),
                   {{"IdTurno", idTurno}, {"NumOrd", numOrd}, {"DataInizio", Sql::data(QDate(2024, 1, 1))}, {"TipoOrario", tipo}, {"IdDaUsare", idOrario}});
    }

    void dipendente(int id)
    {
        amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Classe) VALUES (:Id, :Matricola, :Cognome, :Nome, :Classe)"),
                   {{"Id", id},
                    {"Matricola", QStringLiteral("%1").arg(id, 10, 10, QLatin1Char('0'))},
                    {"Cognome", QStringLiteral("Rossi")},
                    {"Nome", QStringLiteral("Mario %1").arg(id)},
                    {"Classe", QStringLiteral("D")}});
    }

    void profilo(int idDip, const DefProfilo& p)
    {
        const QVariant inizio = Sql::data(p.inizio);
        amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, DataFine, IdNomina, IdAzienda, IdPianta, IdRuolo, "
                                  "DataAssunz, DataLicenz, ModalTimbra, Autorizzato, TipoOrario, IdOrari, InTurnazione, InPeriodo1, "
                                  "InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, GestReperib, UltElabVoci, IdOrFestivo, IdCalendario) "
                                  "VALUES (:IdDip, :DataInizio, :DataFine, 1, 1, 1, 1, :DataAssunz, :DataLicenz, :ModalTimbra, :Autorizzato, "
                                  ":TipoOrario, :IdOrari, :InTurnazione, :P1, :P2, :P3, :P4, :P5, :GestReperib, :UltElabVoci, :IdOrFestivo, 1)"),
                   {{"IdDip", idDip},
                    {"DataInizio", inizio},
                    {"DataFine", Sql::data(p.fine)},
                    {"DataAssunz", inizio},
                    {"DataLicenz", Sql::data(p.licenziamento)},
                    {"ModalTimbra", p.modalTimbra},
                    {"Autorizzato", p.autorizzato},
                    {"TipoOrario", p.tipoOrario},
                    {"IdOrari", p.idOrari},
                    {"InTurnazione", inizio},
                    {"P1", inizio},
                    {"P2", inizio},
                    {"P3", inizio},
                    {"P4", inizio},
                    {"P5", inizio},
                    {"GestReperib", QStringLiteral("N")},
                    {"UltElabVoci", inizio},
                    {"IdOrFestivo", p.idOrFestivo}});
    }

    void festivo(int calendario, const QDate& d, const QString& tipo = QStringLiteral("F"))
    {
        amb.esegui(QStringLiteral("INSERT INTO RelCalend (IdCalend, Giorno, Tipo) VALUES (:IdCalend, :Giorno, :Tipo)"),
                   {{"IdCalend", calendario}, {"Giorno", Sql::data(d)}, {"Tipo", tipo}});
    }

    void timbra(const QDate& giorno, const QStringList& token, int idDip = kDip)
    {
        for (const QString& t : token) {
            const auto [verso, dataV] = leggiToken(giorno, t);
            amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, IdTerminale) "
                                      "VALUES (:IdDip, :DataV, :DataO, :VersoV, :VersoO, 1)"),
                       {{"IdDip", idDip}, {"DataV", dataV}, {"DataO", dataV}, {"VersoV", verso}, {"VersoO", verso}});
        }
    }

    void giorno(const QDate& d, int stato, const QVariant& idOrario = {}, int idDip = kDip)
    {
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario) VALUES (:IdDip, :Data, :Stato, :IdOrario)"),
                   {{"IdDip", idDip}, {"Data", Sql::data(d)}, {"Stato", stato}, {"IdOrario", idOrario}});
    }

    void elabora(const QDate& inizio, const QDate& fine, int idDip = kDip) { elab.ElaboraPeriodo(idDip, inizio, fine); }

    // "Stato IdOrario ValOrdinario ValEccedenza ValPresenza ValCarenza" of a work-plan day.
    QString piano(const QDate& d, int idDip = kDip)
    {
        QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT Stato, IdOrario, ValOrdinario, ValEccedenza, ValPresenza, ValCarenza "
                                                     "FROM PianoSomma WHERE IdDip = :IdDip AND Data = :Data"),
                                      {{"IdDip", idDip}, {"Data", Sql::data(d)}});
        if (!q.next())
            return QStringLiteral("nessuna riga");
        QStringList parti;
        for (int i = 0; i < 6; ++i)
            parti << (q.value(i).isNull() ? QStringLiteral("null") : q.value(i).toString());
        return parti.join(QLatin1Char(' '));
    }

    QVariant nota(const QDate& d)
    {
        return amb.valore(QStringLiteral("SELECT Note FROM PianoSomma WHERE IdDip = :IdDip AND Data = :Data"),
                          {{"IdDip", kDip}, {"Data", Sql::data(d)}});
    }

    // The stored punches recorded from `giorno` for `giorni` days, in recorded order, as
    // "<DataV> <VersoV> <- <DataO> <VersoO>" with times relative to `giorno`.
    QStringList timbrature(const QDate& giorno, int giorni = 2, int idDip = kDip)
    {
        QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT DataV, VersoV, DataO, VersoO FROM Timbrature "
                                                     "WHERE IdDip = :IdDip AND DataO >= :Da AND DataO < :A ORDER BY DataO"),
                                      {{"IdDip", idDip}, {"Da", Sql::data(giorno)}, {"A", Sql::data(giorno.addDays(giorni))}});
        QStringList l;
        while (q.next())
            l << QStringLiteral("%1 %2 <- %3 %4")
                     .arg(relativa(giorno, q.value(0)), q.value(1).toString(), relativa(giorno, q.value(2)), q.value(3).toString());
        return l;
    }

    // The work table ETimb as "<OraM> <VersoV> <Arrot>" in index order.
    QStringList lavoro()
    {
        QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT OraM, VersoV, Arrot FROM ETimb ORDER BY OraM, VersoV"));
        QStringList l;
        while (q.next())
            l << QStringLiteral("%1 %2 %3").arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
        return l;
    }

    // The work table EEvid as "<Prod> <IdSegnalaz>", by code.
    QStringList evidenze()
    {
        QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT Prod, IdSegnalaz FROM EEvid ORDER BY IdSegnalaz"));
        QStringList l;
        while (q.next())
            l << QStringLiteral("%1 %2").arg(q.value(0).toString(), q.value(1).toString());
        return l;
    }

    // The anomalies kept for a day as "<Prog> <Prod> <IdSegnalaz>".
    QStringList anomalie(const QDate& d, int idDip = kDip)
    {
        QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT Prog, Prod, IdSegnalaz FROM AnomalieGiorno WHERE IdDip = :IdDip AND Data = :Data ORDER BY Prog"),
                                      {{"IdDip", idDip}, {"Data", Sql::data(d)}});
        QStringList l;
        while (q.next())
            l << QStringLiteral("%1 %2 %3").arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
        return l;
    }

    void anomalia(const QDate& d, int prog, int codice, int idDip = kDip)
    {
        amb.esegui(QStringLiteral("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, Prod, IdSegnalaz) VALUES (:IdDip, :Data, :Prog, 'P', :Codice)"),
                   {{"IdDip", idDip}, {"Data", Sql::data(d)}, {"Prog", prog}, {"Codice", codice}});
    }

    static QStringList codiciP(const QList<int>& codici)
    {
        QStringList l;
        for (int c : ordinate(codici))
            l << QStringLiteral("P %1").arg(c);
        return l;
    }
};

}  // namespace

class TstElab : public QObject {
    Q_OBJECT

private slots:
    // --- Driver and day states ------------------------------------------------------
    void periodoCheFinisceOggi();
    void periodoCheIniziaOggi();
    void giornoChiusoNonToccato();
    void rigaMancanteCreataEdElaborata();
    void orarioRegistratoRiusato();
    void annullaGiorno();
    void profiloCheFinisceNelPeriodo();
    void profiloCheIniziaNelPeriodo();
    void senzaProfilo_data();
    void senzaProfilo();
    void finePianoMostrato();
    void elaboraDipendenti_data();
    void elaboraDipendenti();

    // --- Timetable choice ---------------------------------------------------------------
    void sceltaOrario_data();
    void sceltaOrario();
    void turnoPerGiornoDellaSettimana();
    void esitoSenzaOrario_data();
    void esitoSenzaOrario();

    // --- Working punch set ----------------------------------------------------------------
    void mezzanotte();
    void secondiScartati();
    void turnoDiNotte();
    void finestra_data();
    void finestra();

    // --- Rounding --------------------------------------------------------------------------
    void arrotondamento_data();
    void arrotondamento();

    // --- Evaluation and overtime -------------------------------------------------------------
    void valutazione_data();
    void valutazione();
    void fasceStraordinario_data();
    void fasceStraordinario();

    // --- Write-back ---------------------------------------------------------------------
    void scritturaConAnomaliaNonBloccante();
    void dispariSecondoIlTipo_data();
    void dispariSecondoIlTipo();
    void modalitaTimbraturaDiversaDaT();
    void collisioneInRiscrittura();
    void originaliMaiCambiati();
    void erroreInScrittura_data();
    void erroreInScrittura();

    // --- Reprocessing and work tables ----------------------------------------------------
    void rielaborazioneStabile();
    void tabelleDiLavoro();
};

// ===================================================================================
// Driver and day states
// ===================================================================================

void TstElab::periodoCheFinisceOggi()
{
    Scenario s;
    DefOrario riposo;
    riposo.oreMedie = 0;  // no expected work: every day ends in state 3 with zeros
    s.base(riposo);
    s.amb.dtm().setOggi(marzo(15));

    s.elabora(marzo(10), marzo(15));

    for (int g = 10; g <= 14; ++g)
        QCOMPARE(s.piano(marzo(g)), QStringLiteral("3 1 0 0 0 0"));
    QCOMPARE(s.piano(marzo(15)), QStringLiteral("nessuna riga"));
    QCOMPARE(s.elab.GiorniElaborati(), 5);
    QVERIFY(s.elab.UltimoErrore().isEmpty());
}

void TstElab::periodoCheIniziaOggi()
{
    Scenario s;
    s.base();
    s.timbra(marzo(15), {QStringLiteral("E 08:00"), QStringLiteral("U 17:00")});
    s.amb.dtm().setOggi(marzo(15));

    s.elabora(marzo(15), marzo(20));

    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 0);
    QCOMPARE(s.elab.GiorniElaborati(), 0);
    QCOMPARE(s.timbrature(marzo(15)), QStringList({QStringLiteral("08:00:00 E <- 08:00:00 E"), QStringLiteral("17:00:00 U <- 17:00:00 U")}));
}

void TstElab::giornoChiusoNonToccato()
{
    Scenario s;
    s.base();  // OreMedie 480 and no punches: 202, state 2, whole day as shortfall
    s.giorno(marzo(5), 3, 7);
    s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET ValOrdinario = 100, Note = :Note WHERE Data = :Data"),
                 {{"Note", QStringLiteral("chiuso")}, {"Data", Sql::data(marzo(5))}});
    s.timbra(marzo(5), {QStringLiteral("E 08:03"), QStringLiteral("U 12:07")});
    s.anomalia(marzo(5), 1, 455);

    s.elabora(marzo(4), marzo(6));

    QCOMPARE(s.piano(marzo(4)), QStringLiteral("2 1 0 0 0 480"));
    QCOMPARE(s.anomalie(marzo(4)), QStringList{QStringLiteral("1 P 202")});
    QCOMPARE(s.piano(marzo(5)), QStringLiteral("3 7 100 null null null"));
    QCOMPARE(s.anomalie(marzo(5)), QStringList{QStringLiteral("1 P 455")});
    QCOMPARE(s.nota(marzo(5)).toString(), QStringLiteral("chiuso"));
    QCOMPARE(s.piano(marzo(6)), QStringLiteral("2 1 0 0 0 480"));
    QCOMPARE(s.timbrature(marzo(5)), QStringList({QStringLiteral("08:03:00 E <- 08:03:00 E"), QStringLiteral("12:07:00 U <- 12:07:00 U")}));
    QCOMPARE(s.elab.GiorniElaborati(), 2);
    QCOMPARE(s.elab.GiorniConAnomalie(), 2);
}

void TstElab::rigaMancanteCreataEdElaborata()
{
    Scenario s;
    s.base();
    s.timbra(kGiorno, {QStringLiteral("E 08:00"), QStringLiteral("U 12:00"), QStringLiteral("E 13:00"), QStringLiteral("U 17:00")});
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 0);

    s.elabora(kGiorno, kGiorno);

    // 240 + 240 minutes, exactly the expected 480.
    QCOMPARE(s.piano(kGiorno), QStringLiteral("3 1 480 0 480 0"));
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 1);
    QCOMPARE(s.elab.GiorniElaborati(), 1);
    QCOMPARE(s.elab.GiorniConAnomalie(), 0);
}

void TstElab::orarioRegistratoRiusato()
{
    Scenario s;
    s.base();  // timetable 1: 480 expected
    DefOrario corto;
    corto.id = 2;
    corto.oreMedie = 240;
    s.orario(corto);
    s.timbra(marzo(5), {QStringLiteral("E 08:00"), QStringLiteral("U 12:00")});
    s.timbra(marzo(6), {QStringLiteral("E 08:00"), QStringLiteral("U 12:00")});

    s.elabora(marzo(5), marzo(5));
    // 240 of 480: anomaly 212 keeps the day in state 2, open to reprocessing.
    QCOMPARE(s.piano(marzo(5)), QStringLiteral("2 1 240 0 240 240"));

    s.amb.esegui(QStringLiteral("UPDATE CompTurni SET IdDaUsare = :Id"), {{"Id", 2}});
    s.elabora(marzo(5), marzo(6));

    // The day keeps the timetable it was processed with ...
    QCOMPARE(s.piano(marzo(5)), QStringLiteral("2 1 240 0 240 240"));
    // ... while a new day follows the changed rotation: 240 of 240 expected.
    QCOMPARE(s.piano(marzo(6)), QStringLiteral("3 2 240 0 240 0"));
}

void TstElab::annullaGiorno()
{
    Scenario s;
    DefProfilo p;
    p.inizio = marzo(5);
    p.fine = marzo(20);
    s.base({}, p);
    for (int g : {4, 5, 25}) {
        s.giorno(marzo(g), 3, 1);
        s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET ValOrdinario = 100, Note = :Note WHERE Data = :Data"),
                     {{"Note", QStringLiteral("x")}, {"Data", Sql::data(marzo(g))}});
    }
    s.timbra(marzo(6), {QStringLiteral("E 08:03"), QStringLiteral("U 12:07")});
    s.elabora(marzo(6), marzo(6));
    // 08:15 to 12:00: 225 of 480.
    QCOMPARE(s.piano(marzo(6)), QStringLiteral("2 1 225 0 225 255"));
    QCOMPARE(s.anomalie(marzo(6)), QStringList{QStringLiteral("1 P 212")});
    s.anomalia(marzo(25), 1, 212);
    s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET Note = :Note WHERE Data = :Data"),
                 {{"Note", QStringLiteral("nota")}, {"Data", Sql::data(marzo(6))}});

    // Before the profile starts and after it ends: nothing changes.
    s.elab.AnnullaGiorno(kDip, marzo(4));
    s.elab.AnnullaGiorno(kDip, marzo(25));
    QCOMPARE(s.piano(marzo(4)), QStringLiteral("3 1 100 null null null"));
    QCOMPARE(s.nota(marzo(4)).toString(), QStringLiteral("x"));
    QCOMPARE(s.piano(marzo(25)), QStringLiteral("3 1 100 null null null"));
    QCOMPARE(s.anomalie(marzo(25)), QStringList{QStringLiteral("1 P 212")});

    // Inside the profile, its first day included.
    s.elab.AnnullaGiorno(kDip, marzo(5));
    s.elab.AnnullaGiorno(kDip, marzo(6));
    QCOMPARE(s.piano(marzo(5)), QStringLiteral("1 null null null null null"));
    QCOMPARE(s.piano(marzo(6)), QStringLiteral("1 null null null null null"));
    QCOMPARE(s.anomalie(marzo(6)), QStringList());
    QVERIFY(s.nota(marzo(6)).isNull());
    QVERIFY(s.nota(marzo(5)).isNull());
    // The punches keep the times the processing gave them.
    QCOMPARE(s.timbrature(marzo(6)), QStringList({QStringLiteral("08:15:00 E <- 08:03:00 E"), QStringLiteral("12:00:00 U <- 12:07:00 U")}));
    QVERIFY(s.elab.UltimoErrore().isEmpty());
}

void TstElab::profiloCheFinisceNelPeriodo()
{
    Scenario s;
    DefOrario riposo;
    riposo.oreMedie = 0;
    DefProfilo primo;
    primo.fine = marzo(10);
    s.base(riposo, primo);
    // A later profile covers the rest of the month, but only the first row governs the run.
    DefProfilo secondo;
    secondo.inizio = marzo(11);
    s.profilo(kDip, secondo);
    s.giorno(marzo(15), 1);

    s.elabora(marzo(1), marzo(20));

    for (int g = 1; g <= 10; ++g)
        QCOMPARE(s.piano(marzo(g)), QStringLiteral("3 1 0 0 0 0"));
    QCOMPARE(s.piano(marzo(15)), QStringLiteral("1 null null null null null"));
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 11);
    QCOMPARE(s.elab.GiorniElaborati(), 10);
}

void TstElab::profiloCheIniziaNelPeriodo()
{
    Scenario s;
    DefOrario riposo;
    riposo.oreMedie = 0;
    DefProfilo p;
    p.inizio = marzo(5);
    s.base(riposo, p);

    s.elabora(marzo(1), marzo(7));

    for (int g = 1; g <= 4; ++g)
        QCOMPARE(s.piano(marzo(g)), QStringLiteral("nessuna riga"));
    for (int g = 5; g <= 7; ++g)
        QCOMPARE(s.piano(marzo(g)), QStringLiteral("3 1 0 0 0 0"));
    QCOMPARE(s.elab.GiorniElaborati(), 3);
}

void TstElab::senzaProfilo_data()
{
    QTest::addColumn<bool>("conProfilo");
    QTest::addColumn<QDate>("inizio");
    QTest::addColumn<QDate>("fine");
    QTest::addColumn<QDate>("licenziamento");

    QTest::newRow("nessun profilo") << false << QDate() << QDate() << QDate();
    QTest::newRow("profilo finito prima del periodo") << true << QDate(2024, 1, 1) << QDate(2024, 2, 29) << QDate();
    QTest::newRow("profilo che inizia dopo il periodo") << true << marzo(11) << QDate() << QDate();
    QTest::newRow("licenziato prima del periodo") << true << QDate(2024, 1, 1) << QDate() << QDate(2024, 2, 29);
}

void TstElab::senzaProfilo()
{
    QFETCH(bool, conProfilo);
    QFETCH(QDate, inizio);
    QFETCH(QDate, fine);
    QFETCH(QDate, licenziamento);

    Scenario s;
    s.orario({});
    s.turno(1, {1, 1, 1, 1, 1, 1, 1});
    s.dipendente(kDip);
    s.dipendente(2);
    s.profilo(2, {});  // another employee's profile plays no part
    if (conProfilo) {
        DefProfilo p;
        p.inizio = inizio;
        p.fine = fine;
        p.licenziamento = licenziamento;
        s.profilo(kDip, p);
    }
    s.giorno(marzo(5), 1);
    s.timbra(marzo(5), {QStringLiteral("E 08:03"), QStringLiteral("U 12:07")});

    s.elabora(marzo(1), marzo(10));

    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 1);
    QCOMPARE(s.piano(marzo(5)), QStringLiteral("1 null null null null null"));
    QCOMPARE(s.timbrature(marzo(5)), QStringList({QStringLiteral("08:03:00 E <- 08:03:00 E"), QStringLiteral("12:07:00 U <- 12:07:00 U")}));
    QCOMPARE(s.elab.GiorniElaborati(), 0);
    QVERIFY(s.elab.UltimoErrore().isEmpty());
}

void TstElab::finePianoMostrato()
{
    Scenario s;
    DefOrario riposo;
    riposo.oreMedie = 0;
    s.base(riposo);
    s.elab.setFinePianoMostrato(marzo(5));

    s.elabora(marzo(1), marzo(10));

    for (int g = 1; g <= 5; ++g)
        QCOMPARE(s.piano(marzo(g)), QStringLiteral("3 1 0 0 0 0"));
    QCOMPARE(s.amb.conta(QStringLiteral("PianoSomma")), 5);
    QCOMPARE(s.elab.GiorniElaborati(), 5);
}

void TstElab::elaboraDipendenti_data()
{
    QTest::addColumn<int>("annullaDopo");  // the recorder's answer to "Annullato?" turns true from this query on
    QTest::addColumn<int>("guasto");       // the employee whose days cannot be written; 0 none
    QTest::addColumn<QList<int>>("elaborati");
    QTest::addColumn<QStringList>("chiamate");

    const QString inizio = QStringLiteral("Inizia Elaborazione 3");
    const QString fine = QStringLiteral("Termina");
    QTest::newRow("tutti") << 0 << 0 << QList<int>{1, 2, 3}
                           << QStringList{inizio, QStringLiteral("Valore 1"), QStringLiteral("Valore 2"), QStringLiteral("Valore 3"), fine};
    QTest::newRow("annullato dopo il primo") << 2 << 0 << QList<int>{1} << QStringList{inizio, QStringLiteral("Valore 1"), fine};
    QTest::newRow("annullato prima di iniziare") << 1 << 0 << QList<int>{} << QStringList{inizio, fine};
    QTest::newRow("errore sul secondo") << 0 << 2 << QList<int>{1} << QStringList{inizio, QStringLiteral("Valore 1"), fine};
}

void TstElab::elaboraDipendenti()
{
    QFETCH(int, annullaDopo);
    QFETCH(int, guasto);
    QFETCH(QList<int>, elaborati);
    QFETCH(QStringList, chiamate);
    Scenario s;
    s.base();
    for (int id = 2; id <= 3; ++id) {
        s.dipendente(id);
        s.profilo(id, {});
    }
    for (int id = 1; id <= 3; ++id)
        for (int g = 4; g <= 5; ++g)
            s.timbra(marzo(g), {QStringLiteral("E 08:03"), QStringLiteral("U 12:07")}, id);
    if (guasto)
        s.amb.rifiuta(QStringLiteral("guasto"), QStringLiteral("PianoSomma"), QStringLiteral("UPDATE"), QStringLiteral("OLD.IdDip = %1").arg(guasto),
                      QStringLiteral("guasto simulato"));
    // The work plan's current employee is its own business: the run never reads it.
    s.amb.dtm().IdDipCorrente = 3;
    AvanzamentoRegistro avanzamento;
    avanzamento.annullaDopo = annullaDopo;

    const EsitoElaborazione esito = s.elab.ElaboraDipendenti({1, 2, 3}, marzo(4), marzo(5), avanzamento);

    QCOMPARE(avanzamento.chiamate, chiamate);
    QCOMPARE(esito.Dipendenti, int(elaborati.size()));
    // Every processed day has a shortfall (225 of 480): state 2.
    QCOMPARE(esito.Giorni, 2 * int(elaborati.size()));
    QCOMPARE(esito.GiorniConAnomalie, esito.Giorni);
    QCOMPARE(esito.IdDipErrore, guasto);
    QCOMPARE(esito.Errore.contains(QStringLiteral("guasto simulato")), guasto != 0);
    QCOMPARE(esito.Annullato, annullaDopo > 0);
    for (int id = 1; id <= 3; ++id)
        QCOMPARE(s.piano(marzo(5), id), elaborati.contains(id) ? QStringLiteral("2 1 225 0 225 255") : QStringLiteral("nessuna riga"));
    QCOMPARE(s.amb.dtm().IdDipCorrente, 3);
}

// ===================================================================================
// Timetable choice
// ===================================================================================

void TstElab::sceltaOrario_data()
{
    QTest::addColumn<QVariant>("tipoOrario");
    QTest::addColumn<QVariant>("idOrFestivo");
    QTest::addColumn<int>("calendario");  // 0: the day is in no calendar
    QTest::addColumn<QString>("tipoGiorno");
    QTest::addColumn<QVariant>("registrato");
    QTest::addColumn<QString>("atteso");

    const QVariant nullo = QVariant(QMetaType(QMetaType::Int));
    const QVariant T = QStringLiteral("T");
    const QString F = QStringLiteral("F");
    // No punches: each timetable shows itself by its expected minutes as shortfall
    // (rotation 1 → 480, recorded 3 → 300, holiday 5 → 120), with anomaly 202.
    QTest::newRow("giorno feriale: decide il turno") << T << QVariant(5) << 0 << F << nullo << "2 1 0 0 0 480";
    QTest::newRow("festivo del calendario 1: orario festivo") << T << QVariant(5) << 1 << F << nullo << "2 5 0 0 0 120";
    QTest::newRow("festivo del calendario 2: ignorato") << T << QVariant(5) << 2 << F << nullo << "2 1 0 0 0 480";
    QTest::newRow("festivo senza orario festivo (0): decide il turno") << T << QVariant(0) << 1 << F << nullo << "2 1 0 0 0 480";
    QTest::newRow("festivo senza orario festivo (null): decide il turno") << T << nullo << 1 << F << nullo << "2 1 0 0 0 480";
    QTest::newRow("giorno del calendario 1 non di tipo F") << T << QVariant(5) << 1 << QStringLiteral("P") << nullo << "2 1 0 0 0 480";
    QTest::newRow("orario registrato prima del festivo") << T << QVariant(5) << 1 << F << QVariant(3) << "2 3 0 0 0 300";
    QTest::newRow("orario registrato prima del turno") << T << QVariant(5) << 0 << F << QVariant(3) << "2 3 0 0 0 300";
    QTest::newRow("festivo prima del tipo orario mancante") << QVariant(QMetaType(QMetaType::QString)) << QVariant(5) << 1 << F << nullo
                                                           << "2 5 0 0 0 120";
    QTest::newRow("festivo prima del tipo orario C") << QVariant(QStringLiteral("C")) << QVariant(5) << 1 << F << nullo << "2 5 0 0 0 120";
}

void TstElab::sceltaOrario()
{
    QFETCH(QVariant, tipoOrario);
    QFETCH(QVariant, idOrFestivo);
    QFETCH(int, calendario);
    QFETCH(QString, tipoGiorno);
    QFETCH(QVariant, registrato);
    QFETCH(QString, atteso);

    Scenario s;
    DefProfilo p;
    p.tipoOrario = tipoOrario;
    p.idOrFestivo = idOrFestivo;
    s.base({}, p);
    DefOrario registratoOrario;
    registratoOrario.id = 3;
    registratoOrario.oreMedie = 300;
    s.orario(registratoOrario);
    DefOrario festivoOrario;
    festivoOrario.id = 5;
    festivoOrario.oreMedie = 120;
    s.orario(festivoOrario);
    for (int id : {1, 2})
        s.amb.esegui(QStringLiteral("INSERT INTO Calendari (Id, Descr) VALUES (:Id, :Descr)"), {{"Id", id}, {"Descr", QStringLiteral("Cal %1").arg(id)}});
    if (calendario != 0)
        s.festivo(calendario, kGiorno, tipoGiorno);
    if (!registrato.isNull())
        s.giorno(kGiorno, 2, registrato);

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.piano(kGiorno), atteso);
    QCOMPARE(s.evidenze(), QStringList{QStringLiteral("P 202")});
}

void TstElab::turnoPerGiornoDellaSettimana()
{
    Scenario s;
    for (int id = 11; id <= 17; ++id) {
        DefOrario o;
        o.id = id;
        o.oreMedie = 0;
        s.orario(o);
    }
    // Rows written from Saturday back to Sunday: the day number decides, not the order.
    s.amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (1, :Descr, 7)"), {{"Descr", QStringLiteral("Settimana")}});
    for (int n = 7; n >= 1; --n)
        s.giornoTurno(1, n, QStringLiteral("O"), 10 + n);
    s.dipendente(kDip);
    s.profilo(kDip, {});

    s.elabora(marzo(3), marzo(9));

    const QList<std::pair<QDate, int>> attesi{
        {marzo(3), 11},  // Sunday
        {marzo(4), 12},  // Monday
        {marzo(5), 13},  // Tuesday
        {marzo(6), 14},  // Wednesday
        {marzo(7), 15},  // Thursday
        {marzo(8), 16},  // Friday
        {marzo(9), 17},  // Saturday
    };
    for (const auto& [giorno, orario] : attesi)
        QCOMPARE(s.piano(giorno), QStringLiteral("3 %1 0 0 0 0").arg(orario));
}

void TstElab::esitoSenzaOrario_data()
{
    QTest::addColumn<QVariant>("tipoOrario");
    QTest::addColumn<QVariant>("idOrari");
    QTest::addColumn<QVariant>("registrato");
    QTest::addColumn<QVariant>("idOrFestivo");
    QTest::addColumn<QString>("giornoTurno");  // Tuesday's rotation row: "<TipoOrario> <IdDaUsare>", empty for none
    QTest::addColumn<QList<int>>("anomalie");
    QTest::addColumn<QString>("atteso");

    const QVariant T = QStringLiteral("T");
    const QVariant nullo;
    const QVariant uno = 1;
    const QString normale = QStringLiteral("O 1");
    // Blocked with a type "A" anomaly: state 2, zeros; nothing rewritten.
    QTest::newRow("orario registrato inesistente: 206") << T << uno << QVariant(99) << nullo << normale << QList<int>{206} << "2 99 0 0 0 0";
    QTest::newRow("orario festivo inesistente: 206") << T << uno << nullo << QVariant(98) << normale << QList<int>{206} << "2 null 0 0 0 0";
    QTest::newRow("tipo orario nullo: 209") << QVariant(QMetaType(QMetaType::QString)) << uno << nullo << nullo << normale << QList<int>{209}
                                            << "2 null 0 0 0 0";
    QTest::newRow("tipo orario vuoto: 209") << QVariant(QStringLiteral("")) << uno << nullo << nullo << normale << QList<int>{209}
                                            << "2 null 0 0 0 0";
    QTest::newRow("turno zero: 210") << T << QVariant(0) << nullo << nullo << normale << QList<int>{210} << "2 null 0 0 0 0";
    QTest::newRow("turno nullo: 210") << T << QVariant(QMetaType(QMetaType::Int)) << nullo << nullo << normale << QList<int>{210}
                                      << "2 null 0 0 0 0";
    QTest::newRow("orario del turno inesistente: 217") << T << uno << nullo << nullo << QStringLiteral("O 99") << QList<int>{217}
                                                       << "2 null 0 0 0 0";
    QTest::newRow("turno senza il giorno della settimana: 217") << T << uno << nullo << nullo << QString() << QList<int>{217}
                                                                << "2 null 0 0 0 0";
    QTest::newRow("turno inesistente: 217") << T << QVariant(42) << nullo << nullo << normale << QList<int>{217} << "2 null 0 0 0 0";
    QTest::newRow("tipo orario sconosciuto: 217") << QVariant(QStringLiteral("X")) << uno << nullo << nullo << normale << QList<int>{217}
                                                  << "2 null 0 0 0 0";
    // Blocked without an anomaly, or a rotation day with no timetable: state 3, zeros.
    QTest::newRow("tipo orario C: bloccato senza anomalia") << QVariant(QStringLiteral("C")) << uno << nullo << nullo << normale << QList<int>{}
                                                            << "3 null 0 0 0 0";
    QTest::newRow("tipo orario S: bloccato senza anomalia") << QVariant(QStringLiteral("S")) << uno << nullo << nullo << normale << QList<int>{}
                                                            << "3 null 0 0 0 0";
    QTest::newRow("giorno di turno G: riposo senza orario") << T << uno << nullo << nullo << QStringLiteral("G 1") << QList<int>{}
                                                            << "3 null 0 0 0 0";
}

void TstElab::esitoSenzaOrario()
{
    QFETCH(QVariant, tipoOrario);
    QFETCH(QVariant, idOrari);
    QFETCH(QVariant, registrato);
    QFETCH(QVariant, idOrFestivo);
    QFETCH(QString, giornoTurno);
    QFETCH(QList<int>, anomalie);
    QFETCH(QString, atteso);

    Scenario s;
    s.orario({});
    s.amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (1, :Descr, 7)"), {{"Descr", QStringLiteral("Settimana")}});
    for (int n = 1; n <= 7; ++n) {
        if (n != 3)
            s.giornoTurno(1, n, QStringLiteral("O"), 1);
        else if (!giornoTurno.isEmpty())
            s.giornoTurno(1, n, giornoTurno.section(QLatin1Char(' '), 0, 0), giornoTurno.section(QLatin1Char(' '), 1, 1).toInt());
    }
    s.dipendente(kDip);
    DefProfilo p;
    p.tipoOrario = tipoOrario;
    p.idOrari = idOrari;
    p.idOrFestivo = idOrFestivo;
    s.profilo(kDip, p);
    if (!idOrFestivo.isNull())
        s.festivo(1, kGiorno);
    if (!registrato.isNull())
        s.giorno(kGiorno, 1, registrato);
    s.timbra(kGiorno, {QStringLiteral("E 08:03"), QStringLiteral("U 12:07")});

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.piano(kGiorno), atteso);
    QCOMPARE(ordinate(s.elab.Anomalie()), anomalie);
    QCOMPARE(s.evidenze(), Scenario::codiciP(anomalie));
    QCOMPARE(s.lavoro(), QStringList());
    QCOMPARE(s.timbrature(kGiorno), QStringList({QStringLiteral("08:03:00 E <- 08:03:00 E"), QStringLiteral("12:07:00 U <- 12:07:00 U")}));
    QCOMPARE(s.elab.GiorniElaborati(), 1);
    QVERIFY(s.elab.UltimoErrore().isEmpty());
}

// ===================================================================================
// Working punch set
// ===================================================================================

void TstElab::mezzanotte()
{
    Scenario s;
    DefOrario o;
    o.oreMedie = 0;
    o.primaTimb = 0;
    o.ultimaTimb = 1439;
    o.chiusGio = QStringLiteral("N");  // window 0..2879: both calendar days
    o.arrotondamenti = {QStringLiteral("E 1"), QStringLiteral("U 1")};
    s.base(o);
    // Midnight two days later is the first instant outside the loaded span.
    s.timbra(kGiorno, {QStringLiteral("E 23:59"), QStringLiteral("U 00:00+1"), QStringLiteral("E 00:00+2"), QStringLiteral("U 08:00+2")});

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.elab.Contesto().NumTimb, 2);
    QCOMPARE(s.lavoro(), QStringList({QStringLiteral("1439 E S"), QStringLiteral("1440 U S")}));
    // One minute of presence, all of it excess over 0 expected minutes.
    QCOMPARE(s.piano(kGiorno), QStringLiteral("3 1 0 1 1 0"));
}

void TstElab::secondiScartati()
{
    Scenario s;
    DefOrario o;
    o.oreMedie = 0;
    o.arrotondamenti = {QStringLiteral("E 1"), QStringLiteral("U 1")};
    s.base(o);
    s.opzioni(true, true, false);
    s.timbra(kGiorno, {QStringLiteral("E 08:29:59"), QStringLiteral("U 12:00:30")});

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.lavoro(), QStringList({QStringLiteral("509 E S"), QStringLiteral("720 U S")}));
    QCOMPARE(s.piano(kGiorno), QStringLiteral("3 1 211 0 211 0"));
    // The rewritten time is the day plus whole minutes.
    QCOMPARE(s.timbrature(kGiorno), QStringList({QStringLiteral("08:29:00 E <- 08:29:59 E"), QStringLiteral("12:00:00 U <- 12:00:30 U")}));
}

void TstElab::turnoDiNotte()
{
    Scenario s;
    DefOrario notte;
    notte.primaTimb = 1260;   // 21:00
    notte.ultimaTimb = 420;   // 07:00 of the next day
    notte.chiusGio = QStringLiteral("N");
    s.base(notte);
    s.timbra(kGiorno, {QStringLiteral("E 22:00"), QStringLiteral("U 06:00+1"), QStringLiteral("E 07:30+1")});

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.elab.Contesto().NumTimb, 3);
    // 07:30 of the next day is 1890, past the window's end 420 + 1440 = 1860.
    QCOMPARE(s.lavoro(), QStringList({QStringLiteral("1320 E S"), QStringLiteral("1800 U S")}));
    QCOMPARE(s.elab.Contesto().TotPresenza, 480);
    QCOMPARE(s.piano(kGiorno), QStringLiteral("3 1 480 0 480 0"));
    QCOMPARE(s.timbrature(kGiorno), QStringList({QStringLiteral("22:00:00 E <- 22:00:00 E"), QStringLiteral("06:00:00+1 U <- 06:00:00+1 U"),
                                                 QStringLiteral("07:30:00+1 E <- 07:30:00+1 E")}));
}

void TstElab::finestra_data()
{
    QTest::addColumn<int>("prima");
    QTest::addColumn<int>("ultima");
    QTest::addColumn<QVariant>("chiusGio");
    QTest::addColumn<QStringList>("punzonature");
    QTest::addColumn<QStringList>("lavoro");

    QTest::newRow("chiusura A: estremi inclusi, il giorno dopo fuori")
        << 360 << 1320 << QVariant(QStringLiteral("A"))
        << QStringList{"E 05:59", "E 06:00", "U 22:00", "U 22:01", "E 06:30+1"} << QStringList{"360 E S", "1320 U S"};
    QTest::newRow("altra chiusura: la finestra finisce il giorno dopo")
        << 360 << 420 << QVariant(QStringLiteral("N"))
        << QStringList{"E 05:59", "E 22:00", "U 07:00+1", "E 07:01+1"} << QStringList{"1320 E S", "1860 U S"};
    QTest::newRow("chiusura nulla: come ogni chiusura diversa da A")
        << 360 << 420 << QVariant(QMetaType(QMetaType::QString))
        << QStringList{"E 08:00", "U 06:00+1"} << QStringList{"480 E S", "1800 U S"};
}

void TstElab::finestra()
{
    QFETCH(int, prima);
    QFETCH(int, ultima);
    QFETCH(QVariant, chiusGio);
    QFETCH(QStringList, punzonature);
    QFETCH(QStringList, lavoro);

    Scenario s;
    DefOrario o;
    o.oreMedie = 0;
    o.primaTimb = prima;
    o.ultimaTimb = ultima;
    o.chiusGio = chiusGio;
    o.arrotondamenti = {QStringLiteral("E 1"), QStringLiteral("U 1")};
    s.base(o);
    s.timbra(kGiorno, punzonature);

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.lavoro(), lavoro);
    QCOMPARE(s.elab.Contesto().NumTimb, int(punzonature.size()));
}

// ===================================================================================
// Rounding
// ===================================================================================

void TstElab::arrotondamento_data()
{
    QTest::addColumn<QStringList>("arrotondamenti");
    QTest::addColumn<QString>("chiusGio");
    QTest::addColumn<QStringList>("punzonature");
    QTest::addColumn<QStringList>("lavoro");
    QTest::addColumn<QList<int>>("anomalie");
    QTest::addColumn<QStringList>("timbrature");
    QTest::addColumn<QString>("atteso");

    const QStringList passi15{"E 15", "U 15"};
    const QString A = QStringLiteral("A");
    // No expected minutes and no excess split: the ordinary minutes are the presence.
    QTest::newRow("quattro timbrature, passi 15")
        << passi15 << A << QStringList{"E 08:03", "U 12:07", "E 13:02", "U 17:14"}
        << QStringList{"495 E S", "720 U S", "795 E S", "1020 U S"} << QList<int>{}
        << QStringList{"08:15:00 E <- 08:03:00 E", "12:00:00 U <- 12:07:00 U", "13:15:00 E <- 13:02:00 E", "17:00:00 U <- 17:14:00 U"}
        << "3 1 450 0 450 0";
    QTest::newRow("due entrate: la seconda diventa uscita e scende")
        << passi15 << A << QStringList{"E 08:03", "E 12:07"} << QStringList{"495 E S", "720 U S"} << QList<int>{450}
        << QStringList{"08:15:00 E <- 08:03:00 E", "12:00:00 U <- 12:07:00 E"} << "2 1 225 0 225 0";
    QTest::newRow("due uscite: la prima diventa entrata e sale")
        << passi15 << A << QStringList{"U 07:58", "U 16:02"} << QStringList{"480 E S", "960 U S"} << QList<int>{450}
        << QStringList{"08:00:00 E <- 07:58:00 U", "16:00:00 U <- 16:02:00 U"} << "2 1 480 0 480 0";
    QTest::newRow("entrata già sul passo resta")
        << passi15 << A << QStringList{"E 08:15", "U 12:00"} << QStringList{"495 E S", "720 U S"} << QList<int>{}
        << QStringList{"08:15:00 E <- 08:15:00 E", "12:00:00 U <- 12:00:00 U"} << "3 1 225 0 225 0";
    QTest::newRow("entrata alle 23:50 passa a mezzanotte del giorno dopo")
        << passi15 << QStringLiteral("N") << QStringList{"E 23:50", "U 02:10+1"} << QStringList{"1440 E S", "1560 U S"} << QList<int>{}
        << QStringList{"00:00:00+1 E <- 23:50:00 E", "02:00:00+1 U <- 02:10:00+1 U"} << "3 1 120 0 120 0";
    QTest::newRow("uscita del giorno dopo sulla stessa scala: 1448 scende a 1440")
        << passi15 << QStringLiteral("N") << QStringList{"E 22:00", "U 00:08+1"} << QStringList{"1320 E S", "1440 U S"} << QList<int>{}
        << QStringList{"22:00:00 E <- 22:00:00 E", "00:00:00+1 U <- 00:08:00+1 U"} << "3 1 120 0 120 0";
    QTest::newRow("numero dispari: 455, nulla arrotondato né riscritto")
        << passi15 << A << QStringList{"E 08:03", "U 12:07", "E 13:02"} << QStringList{"483 E N", "727 U N", "782 E N"} << QList<int>{455}
        << QStringList{"08:03:00 E <- 08:03:00 E", "12:07:00 U <- 12:07:00 U", "13:02:00 E <- 13:02:00 E"} << "2 1 0 0 0 0";
    // Stored by valid time the exit comes first; the index puts the entry first, so no
    // direction is corrected. Both round to 12:00: the entry, rewritten first, takes that
    // time and the exit, refused by the key, keeps its own.
    QTest::newRow("stesso minuto: l'entrata precede l'uscita")
        << passi15 << A << QStringList{"U 12:00:10", "E 12:00:40"} << QStringList{"720 E S", "720 U S"} << QList<int>{}
        << QStringList{"12:00:10 U <- 12:00:10 U", "12:00:00 E <- 12:00:40 E"} << "3 1 0 0 0 0";
    QTest::newRow("senza riga di entrata: entrate non arrotondate")
        << QStringList{"U 15"} << A << QStringList{"E 08:03", "U 12:07"} << QStringList{"483 E S", "720 U S"} << QList<int>{}
        << QStringList{"08:03:00 E <- 08:03:00 E", "12:00:00 U <- 12:07:00 U"} << "3 1 237 0 237 0";
    QTest::newRow("senza riga di uscita: uscite non arrotondate")
        << QStringList{"E 15"} << A << QStringList{"E 08:03", "U 12:07"} << QStringList{"495 E S", "727 U S"} << QList<int>{}
        << QStringList{"08:15:00 E <- 08:03:00 E", "12:07:00 U <- 12:07:00 U"} << "3 1 232 0 232 0";
    // Rows are read by range, then step, never in the order they were stored.
    QTest::newRow("due righe di entrata sullo stesso intervallo: vale il passo maggiore")
        << QStringList{"E 30", "U 15", "E 15"} << A << QStringList{"E 08:03", "U 12:07"} << QStringList{"510 E S", "720 U S"} << QList<int>{}
        << QStringList{"08:30:00 E <- 08:03:00 E", "12:00:00 U <- 12:07:00 U"} << "3 1 210 0 210 0";
    QTest::newRow("riga con verso diverso da E: passo delle uscite")
        << QStringList{"E 15", "Z 30"} << A << QStringList{"E 08:03", "U 12:20"} << QStringList{"495 E S", "720 U S"} << QList<int>{}
        << QStringList{"08:15:00 E <- 08:03:00 E", "12:00:00 U <- 12:20:00 U"} << "3 1 225 0 225 0";
}

void TstElab::arrotondamento()
{
    QFETCH(QStringList, arrotondamenti);
    QFETCH(QString, chiusGio);
    QFETCH(QStringList, punzonature);
    QFETCH(QStringList, lavoro);
    QFETCH(QList<int>, anomalie);
    QFETCH(QStringList, timbrature);
    QFETCH(QString, atteso);

    Scenario s;
    DefOrario o;
    o.oreMedie = 0;
    o.primaTimb = 0;
    o.ultimaTimb = 1439;
    o.chiusGio = chiusGio;
    o.arrotondamenti = arrotondamenti;
    s.base(o);
    s.opzioni(true, true, false);
    s.timbra(kGiorno, punzonature);

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.lavoro(), lavoro);
    QCOMPARE(ordinate(s.elab.Anomalie()), anomalie);
    QCOMPARE(s.timbrature(kGiorno), timbrature);
    QCOMPARE(s.piano(kGiorno), atteso);
}

// ===================================================================================
// Evaluation and overtime
// ===================================================================================

void TstElab::valutazione_data()
{
    QTest::addColumn<int>("oreMedie");
    QTest::addColumn<int>("prima");
    QTest::addColumn<int>("ultima");
    QTest::addColumn<QString>("chiusGio");
    QTest::addColumn<QString>("autorizzato");
    QTest::addColumn<bool>("anomAssenza");
    QTest::addColumn<bool>("calcolaAssenza");
    QTest::addColumn<bool>("calcolaStraord");
    QTest::addColumn<QStringList>("punzonature");
    QTest::addColumn<QStringList>("fasce");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<QList<int>>("anomalie");

    const QString A = QStringLiteral("A");
    const QString S = QStringLiteral("S");
    const QStringList giornata{"E 08:00", "U 12:00", "E 13:00", "U 17:30"};  // 240 + 270 = 510
    const QStringList mattina{"E 08:00", "U 12:00"};                           // 240
    const QStringList fascia15{"0 1439 D 15"};

    QTest::newRow("straordinario autorizzato") << 480 << 360 << 1320 << A << S << true << true << true << giornata << fascia15
                                               << "3 1 480 30 510 0" << QList<int>{};
    QTest::newRow("straordinario non autorizzato") << 480 << 360 << 1320 << A << QStringLiteral("N") << true << true << true << giornata
                                                   << fascia15 << "3 1 480 0 480 0" << QList<int>{};
    QTest::newRow("senza distinzione dello straordinario") << 480 << 360 << 1320 << A << S << true << true << false << giornata << fascia15
                                                           << "3 1 510 0 510 0" << QList<int>{};
    QTest::newRow("presenza pari alle ore medie") << 480 << 360 << 1320 << A << S << true << true << true
                                                  << QStringList{"E 08:00", "U 12:00", "E 13:00", "U 17:00"} << fascia15
                                                  << "3 1 480 0 480 0" << QList<int>{};
    QTest::newRow("mezza giornata: 212 e carenza") << 480 << 360 << 1320 << A << S << true << true << true << mattina << fascia15
                                                   << "2 1 240 0 240 240" << QList<int>{212};
    QTest::newRow("mezza giornata senza calcolo dell'assenza") << 480 << 360 << 1320 << A << S << true << false << true << mattina << fascia15
                                                               << "2 1 240 0 240 0" << QList<int>{212};
    QTest::newRow("mezza giornata senza anomalie d'assenza") << 480 << 360 << 1320 << A << S << false << true << true << mattina << fascia15
                                                             << "3 1 240 0 240 240" << QList<int>{};
    QTest::newRow("assenza: 202 e carenza intera") << 480 << 360 << 1320 << A << S << true << true << true << QStringList{} << fascia15
                                                   << "2 1 0 0 0 480" << QList<int>{202};
    QTest::newRow("assenza senza calcolo dell'assenza") << 480 << 360 << 1320 << A << S << true << false << true << QStringList{} << fascia15
                                                        << "2 1 0 0 0 0" << QList<int>{202};
    QTest::newRow("assenza senza anomalie d'assenza") << 480 << 360 << 1320 << A << S << false << true << true << QStringList{} << fascia15
                                                      << "3 1 0 0 0 480" << QList<int>{};
    QTest::newRow("solo timbrature fuori finestra: assenza") << 480 << 360 << 1320 << A << S << true << true << true
                                                             << QStringList{"E 05:00", "U 23:00"} << fascia15 << "2 1 0 0 0 480"
                                                             << QList<int>{202};
    QTest::newRow("giorno di riposo senza timbrature") << 0 << 360 << 1320 << A << S << true << true << true << QStringList{} << fascia15
                                                       << "3 1 0 0 0 0" << QList<int>{};
    // Presence above two days needs a direction that is neither E nor U: such a row at an
    // odd position keeps its direction and counts as an exit from the remembered entry 0.
    // X 08:00 adds 480, U 16:00 of the next day adds 2400: 2880 is still accepted.
    QTest::newRow("presenza di 2880: accettata") << 480 << 0 << 1439 << QStringLiteral("N") << S << true << true << true
                                                 << QStringList{"X 08:00", "U 16:00+1"} << QStringList{} << "3 1 480 2400 2880 0"
                                                 << QList<int>{};
    // 480 + 2415 = 2895.
    QTest::newRow("presenza oltre 2880: 204 e tutto a zero") << 480 << 0 << 1439 << QStringLiteral("N") << S << true << true << true
                                                             << QStringList{"X 08:00", "U 16:15+1"} << QStringList{} << "2 1 0 0 0 0"
                                                             << QList<int>{204};
}

void TstElab::valutazione()
{
    QFETCH(int, oreMedie);
    QFETCH(int, prima);
    QFETCH(int, ultima);
    QFETCH(QString, chiusGio);
    QFETCH(QString, autorizzato);
    QFETCH(bool, anomAssenza);
    QFETCH(bool, calcolaAssenza);
    QFETCH(bool, calcolaStraord);
    QFETCH(QStringList, punzonature);
    QFETCH(QStringList, fasce);
    QFETCH(QString, atteso);
    QFETCH(QList<int>, anomalie);

    Scenario s;
    DefOrario o;
    o.oreMedie = oreMedie;
    o.primaTimb = prima;
    o.ultimaTimb = ultima;
    o.chiusGio = chiusGio;
    DefProfilo p;
    p.autorizzato = autorizzato;
    s.base(o, p);
    for (const QString& f : fasce)
        s.fascia(1, f);
    s.opzioni(anomAssenza, calcolaAssenza, calcolaStraord);
    s.timbra(kGiorno, punzonature);

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.piano(kGiorno), atteso);
    QCOMPARE(ordinate(s.elab.Anomalie()), anomalie);
    QCOMPARE(s.evidenze(), Scenario::codiciP(anomalie));
}

void TstElab::fasceStraordinario_data()
{
    QTest::addColumn<QStringList>("fasce");
    QTest::addColumn<int>("eccedenza");
    QTest::addColumn<int>("atteso");

    QTest::newRow("D: giù al multiplo") << QStringList{"0 1439 D 15"} << 44 << 30;
    QTest::newRow("D: già multiplo") << QStringList{"0 1439 D 15"} << 30 << 30;
    QTest::newRow("E: su al multiplo") << QStringList{"0 1439 E 15"} << 31 << 45;
    QTest::newRow("E: già multiplo") << QStringList{"0 1439 E 15"} << 45 << 45;
    QTest::newRow("X: 45 a metà va al multiplo pari 60") << QStringList{"0 1439 X 30"} << 45 << 60;
    QTest::newRow("X: 15 a metà va al multiplo pari 0") << QStringList{"0 1439 X 30"} << 15 << 0;
    QTest::newRow("X: 75 a metà va al multiplo pari 60") << QStringList{"0 1439 X 30"} << 75 << 60;
    QTest::newRow("X: 50 va al più vicino 60") << QStringList{"0 1439 X 30"} << 50 << 60;
    QTest::newRow("X: 40 va al più vicino 30") << QStringList{"0 1439 X 30"} << 40 << 30;
    QTest::newRow("I: inizio della fascia") << QStringList{"30 60 I -"} << 45 << 30;
    QTest::newRow("I: fine della fascia inclusa") << QStringList{"30 60 I -"} << 60 << 30;
    QTest::newRow("F: fine della fascia") << QStringList{"30 60 F -"} << 45 << 60;
    QTest::newRow("F: inizio della fascia incluso") << QStringList{"30 60 F -"} << 30 << 60;
    QTest::newRow("Y: a pari distanza va alla fine") << QStringList{"30 60 Y -"} << 45 << 60;
    QTest::newRow("Y: 44 più vicino all'inizio") << QStringList{"30 60 Y -"} << 44 << 30;
    QTest::newRow("Y: 46 più vicino alla fine") << QStringList{"30 60 Y -"} << 46 << 60;
    QTest::newRow("tipo sconosciuto: 9999") << QStringList{"0 1439 Q 15"} << 30 << 9999;
    QTest::newRow("nessuna fascia copre l'eccedenza") << QStringList{"0 20 D 15"} << 45 << 45;
    QTest::newRow("nessuna fascia") << QStringList{} << 45 << 45;
    QTest::newRow("vince la fascia che inizia prima") << QStringList{"0 1439 I -", "30 60 F -"} << 45 << 0;
    QTest::newRow("vince la fascia che inizia prima, inserita per ultima") << QStringList{"30 60 F -", "0 1439 I -"} << 45 << 0;
    QTest::newRow("eccedenza zero: le fasce non si applicano") << QStringList{"0 1439 F -"} << 0 << 0;
}

void TstElab::fasceStraordinario()
{
    QFETCH(QStringList, fasce);
    QFETCH(int, eccedenza);
    QFETCH(int, atteso);

    Scenario s;
    DefOrario o;
    o.oreMedie = 480;
    o.primaTimb = 0;
    o.ultimaTimb = 1439;
    o.arrotondamenti = {QStringLiteral("E 1"), QStringLiteral("U 1")};
    s.base(o);
    for (const QString& f : fasce)
        s.fascia(1, f);
    // Bands of another timetable never apply.
    s.fascia(2, QStringLiteral("0 1439 F -"));
    const int uscita = 16 * 60 + eccedenza;
    s.timbra(kGiorno, {QStringLiteral("E 08:00"),
                       QStringLiteral("U %1:%2").arg(uscita / 60, 2, 10, QLatin1Char('0')).arg(uscita % 60, 2, 10, QLatin1Char('0'))});

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.piano(kGiorno), QStringLiteral("3 1 480 %1 %2 0").arg(atteso).arg(480 + atteso));
}

// ===================================================================================
// Write-back
// ===================================================================================

void TstElab::scritturaConAnomaliaNonBloccante()
{
    Scenario s;
    s.base();
    s.timbra(kGiorno, {QStringLiteral("E 08:03"), QStringLiteral("U 12:07")});

    s.elabora(kGiorno, kGiorno);

    // 08:15 to 12:00 is 225 of 480: 212 is of type "A" but does not block.
    QCOMPARE(ordinate(s.elab.Anomalie()), QList<int>{212});
    QCOMPARE(s.piano(kGiorno), QStringLiteral("2 1 225 0 225 255"));
    QCOMPARE(s.timbrature(kGiorno), QStringList({QStringLiteral("08:15:00 E <- 08:03:00 E"), QStringLiteral("12:00:00 U <- 12:07:00 U")}));
    QCOMPARE(s.elab.GiorniConAnomalie(), 1);
}

void TstElab::dispariSecondoIlTipo_data()
{
    QTest::addColumn<QString>("tipo455");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<QStringList>("timbrature");
    QTest::addColumn<int>("giorniConAnomalie");

    QTest::newRow("455 di tipo A: bloccato e nulla riscritto")
        << QStringLiteral("A") << QStringLiteral("2 1 0 0 0 0")
        << QStringList{"05:00:20 E <- 05:00:20 E", "08:03:30 E <- 08:03:30 E", "12:07:00 U <- 12:07:00 U", "13:02:00 E <- 13:02:00 E"} << 1;
    // Blocked, but not with a type "A" anomaly: the day is written in state 3 and the
    // punches of the window are rewritten from a working set that was never rounded nor
    // corrected, so they only lose their seconds. The punch outside the window is left.
    QTest::newRow("455 di tipo I: riscritte le ore non arrotondate")
        << QStringLiteral("I") << QStringLiteral("3 1 0 0 0 0")
        << QStringList{"05:00:20 E <- 05:00:20 E", "08:03:00 E <- 08:03:30 E", "12:07:00 U <- 12:07:00 U", "13:02:00 E <- 13:02:00 E"} << 0;
}

void TstElab::dispariSecondoIlTipo()
{
    QFETCH(QString, tipo455);
    QFETCH(QString, atteso);
    QFETCH(QStringList, timbrature);
    QFETCH(int, giorniConAnomalie);

    Scenario s;
    s.base();
    s.amb.esegui(QStringLiteral("UPDATE Segnalazioni SET TipoSegnalaz = :Tipo WHERE Id = :Id"), {{"Tipo", tipo455}, {"Id", 455}});
    s.timbra(kGiorno, {QStringLiteral("E 05:00:20"), QStringLiteral("E 08:03:30"), QStringLiteral("U 12:07"), QStringLiteral("E 13:02")});

    s.elabora(kGiorno, kGiorno);

    QCOMPARE(s.elab.Anomalie(), QList<int>{455});
    QCOMPARE(s.lavoro(), QStringList({QStringLiteral("483 E N"), QStringLiteral("727 U N"), QStringLiteral("782 E N")}));
    QCOMPARE(s.piano(kGiorno), atteso);
    QCOMPARE(s.timbrature(kGiorno), timbrature);
    QCOMPARE(s.elab.GiorniConAnomalie(), giorniConAnomalie);
}

void TstElab::modalitaTimbraturaDiversaDaT()
{
    Scenario s;
    DefProfilo p;
    p.modalTimbra = QStringLiteral("N");
    s.base({}, p);
    s.timbra(kGiorno, {QStringLiteral("U 07:58:30"), QStringLiteral("U 12:07")});

    s.elabora(kGiorno, kGiorno);

    // Corrected to an entry and rounded up to 08:00, exit down to 12:00: 240 of 480.
    QCOMPARE(s.piano(kGiorno), QStringLiteral("2 1 240 0 240 240"));
    QCOMPARE(ordinate(s.elab.Anomalie()), QList<int>({212, 450}));
    // Kept with the day in the order recorded: the correction while rounding, then the shortfall.
    QCOMPARE(s.anomalie(kGiorno), QStringList({QStringLiteral("1 P 450"), QStringLiteral("2 P 212")}));
    QCOMPARE(s.timbrature(kGiorno), QStringList({QStringLiteral("07:58:30 U <- 07:58:30 U"), QStringLiteral("12:07:00 U <- 12:07:00 U")}));
}

void TstElab::collisioneInRiscrittura()
{
    Scenario s;
    s.base();
    // 07:52 becomes an entry rounded up to 08:00, where another stored punch already is.
    s.timbra(marzo(5), {QStringLiteral("U 07:52"), QStringLiteral("U 08:00"), QStringLiteral("E 13:02"), QStringLiteral("U 17:14")});
    s.timbra(marzo(6), {QStringLiteral("E 08:03"), QStringLiteral("U 12:07")});

    s.elabora(marzo(5), marzo(6));

    QVERIFY(s.elab.UltimoErrore().isEmpty());
    // Working set 480 E, 480 U, 795 E, 1020 U: 0 + 225 of 480.
    QCOMPARE(s.piano(marzo(5)), QStringLiteral("2 1 225 0 225 255"));
    QCOMPARE(s.timbrature(marzo(5), 1), QStringList({QStringLiteral("07:52:00 U <- 07:52:00 U"), QStringLiteral("08:00:00 U <- 08:00:00 U"),
                                                  QStringLiteral("13:15:00 E <- 13:02:00 E"), QStringLiteral("17:00:00 U <- 17:14:00 U")}));
    // The run went on with the next day.
    QCOMPARE(s.piano(marzo(6)), QStringLiteral("2 1 225 0 225 255"));
    QCOMPARE(s.timbrature(marzo(6)), QStringList({QStringLiteral("08:15:00 E <- 08:03:00 E"), QStringLiteral("12:00:00 U <- 12:07:00 U")}));
    QCOMPARE(s.elab.GiorniElaborati(), 2);
}

void TstElab::originaliMaiCambiati()
{
    Scenario s;
    s.base();
    // Punches edited by hand: valid values differ from the recorded ones.
    s.amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, Caus, IdTerminale) "
                                "VALUES (:IdDip, :DataV, :DataO, :VersoV, :VersoO, :Caus, :IdTerminale)"),
                 {{"IdDip", kDip}, {"DataV", QStringLiteral("2024-03-05 07:58:00")}, {"DataO", QStringLiteral("2024-03-05 07:57:45")},
                  {"VersoV", QStringLiteral("U")}, {"VersoO", QStringLiteral("E")}, {"Caus", QStringLiteral("0012")}, {"IdTerminale", 3}});
    s.amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, Caus, IdTerminale) "
                                "VALUES (:IdDip, :DataV, :DataO, :VersoV, :VersoO, :Caus, :IdTerminale)"),
                 {{"IdDip", kDip}, {"DataV", QStringLiteral("2024-03-05 16:02:00")}, {"DataO", QVariant(QMetaType(QMetaType::QString))},
                  {"VersoV", QStringLiteral("U")}, {"VersoO", QVariant(QMetaType(QMetaType::QString))}, {"Caus", QVariant(QMetaType(QMetaType::QString))},
                  {"IdTerminale", QVariant(QMetaType(QMetaType::Int))}});

    s.elabora(kGiorno, kGiorno);

    QSqlQuery q = s.amb.db().esegui(QStringLiteral("SELECT DataV, VersoV, DataO, VersoO, Caus, IdTerminale FROM Timbrature ORDER BY DataV"));
    QStringList righe;
    while (q.next()) {
        QStringList campi;
        for (int i = 0; i < 6; ++i)
            campi << (q.value(i).isNull() ? QStringLiteral("null") : q.value(i).toString());
        righe << campi.join(QLatin1Char('|'));
    }
    // The valid time and direction are processed (07:58 exit → 08:00 entry, 16:02 → 16:00);
    // the recorded values, the cause and the terminal stay as they were.
    QCOMPARE(righe, QStringList({QStringLiteral("2024-03-05 08:00:00|E|2024-03-05 07:57:45|E|0012|3"),
                                 QStringLiteral("2024-03-05 16:00:00|U|null|null|null|null")}));
}

void TstElab::erroreInScrittura_data()
{
    QTest::addColumn<QString>("tabella");
    QTest::addColumn<QString>("evento");
    QTest::addColumn<QString>("condizione");

    // Writing the work-plan day of the 5th fails ...
    QTest::newRow("giornata del piano") << "PianoSomma" << "UPDATE"
                                        << "EXISTS (SELECT 1 FROM GiorniGuasti WHERE GiorniGuasti.IdDip = OLD.IdDip AND GiorniGuasti.Data = OLD.Data)";
    // ... or, after it, writing the day's anomalies: the day's figures go back with them.
    QTest::newRow("anomalie della giornata") << "AnomalieGiorno" << "INSERT"
                                             << "EXISTS (SELECT 1 FROM GiorniGuasti WHERE GiorniGuasti.IdDip = NEW.IdDip AND GiorniGuasti.Data = NEW.Data)";
}

void TstElab::erroreInScrittura()
{
    QFETCH(QString, tabella);
    QFETCH(QString, evento);
    QFETCH(QString, condizione);
    Scenario s;
    s.base();
    for (int g = 4; g <= 6; ++g) {
        s.giorno(marzo(g), 1);
        s.timbra(marzo(g), {QStringLiteral("E 08:03"), QStringLiteral("U 12:07")});
    }
    s.anomalia(marzo(5), 1, 455);  // from an earlier run
    s.amb.esegui(QStringLiteral("CREATE TABLE GiorniGuasti (IdDip INTEGER, Data TEXT)"));
    s.amb.esegui(QStringLiteral("INSERT INTO GiorniGuasti (IdDip, Data) VALUES (:IdDip, :Data)"), {{"IdDip", kDip}, {"Data", Sql::data(marzo(5))}});
    s.amb.rifiuta(QStringLiteral("guasto"), tabella, evento, condizione, QStringLiteral("guasto simulato"));

    s.elabora(marzo(4), marzo(6));

    QVERIFY(!s.elab.UltimoErrore().isEmpty());
    QVERIFY2(s.elab.UltimoErrore().contains(QStringLiteral("guasto simulato")), qPrintable(s.elab.UltimoErrore()));
    QVERIFY(!s.amb.db().inTransazione());
    QCOMPARE(s.elab.GiorniElaborati(), 1);
    QCOMPARE(s.piano(marzo(4)), QStringLiteral("2 1 225 0 225 255"));
    QCOMPARE(s.anomalie(marzo(4)), QStringList{QStringLiteral("1 P 212")});
    QCOMPARE(s.timbrature(marzo(4), 1), QStringList({QStringLiteral("08:15:00 E <- 08:03:00 E"), QStringLiteral("12:00:00 U <- 12:07:00 U")}));
    const QStringList intatte{QStringLiteral("08:03:00 E <- 08:03:00 E"), QStringLiteral("12:07:00 U <- 12:07:00 U")};
    for (int g : {5, 6}) {
        QCOMPARE(s.piano(marzo(g)), QStringLiteral("1 null null null null null"));
        QCOMPARE(s.timbrature(marzo(g), 1), intatte);
    }
    QCOMPARE(s.anomalie(marzo(5)), QStringList{QStringLiteral("1 P 455")});
    QCOMPARE(s.anomalie(marzo(6)), QStringList());

    // Once the cause is gone the same days process normally.
    s.amb.togliRifiuto(QStringLiteral("guasto"), tabella);
    s.elabora(marzo(5), marzo(6));
    QVERIFY(s.elab.UltimoErrore().isEmpty());
    QCOMPARE(s.piano(marzo(5)), QStringLiteral("2 1 225 0 225 255"));
    QCOMPARE(s.piano(marzo(6)), QStringLiteral("2 1 225 0 225 255"));
    QCOMPARE(s.anomalie(marzo(5)), QStringList{QStringLiteral("1 P 212")});
}

// ===================================================================================
// Reprocessing and work tables
// ===================================================================================

void TstElab::rielaborazioneStabile()
{
    Scenario s;
    DefOrario o;
    o.oreMedie = 450;
    s.base(o);
    s.timbra(kGiorno, {QStringLiteral("U 07:58"), QStringLiteral("U 12:07"), QStringLiteral("E 13:02"), QStringLiteral("U 17:14")});

    s.elabora(kGiorno, kGiorno);
    // 07:58 corrected to an entry: 08:00-12:00 and 13:15-17:00, 240 + 225 = 465 of 450.
    QCOMPARE(s.elab.Anomalie(), QList<int>{450});
    QCOMPARE(s.anomalie(kGiorno), QStringList{QStringLiteral("1 P 450")});
    QCOMPARE(s.piano(kGiorno), QStringLiteral("2 1 450 15 465 0"));
    const QStringList riscritte{QStringLiteral("08:00:00 E <- 07:58:00 U"), QStringLiteral("12:00:00 U <- 12:07:00 U"),
                                QStringLiteral("13:15:00 E <- 13:02:00 E"), QStringLiteral("17:00:00 U <- 17:14:00 U")};
    QCOMPARE(s.timbrature(kGiorno), riscritte);

    // A state-2 day is processed again as it is: no correction is needed any more, and
    // the day keeps no anomaly of the earlier run.
    s.elabora(kGiorno, kGiorno);
    QCOMPARE(s.elab.Anomalie(), QList<int>());
    QCOMPARE(s.evidenze(), QStringList());
    QCOMPARE(s.anomalie(kGiorno), QStringList());
    QCOMPARE(s.piano(kGiorno), QStringLiteral("3 1 450 15 465 0"));
    QCOMPARE(s.timbrature(kGiorno), riscritte);

    // Put back to state 2 by hand and processed once more: the same.
    s.amb.esegui(QStringLiteral("UPDATE PianoSomma SET Stato = 2"));
    s.elabora(kGiorno, kGiorno);
    QCOMPARE(s.elab.Anomalie(), QList<int>());
    QCOMPARE(s.piano(kGiorno), QStringLiteral("3 1 450 15 465 0"));
    QCOMPARE(s.timbrature(kGiorno), riscritte);
}

void TstElab::tabelleDiLavoro()
{
    Scenario s;
    s.base();
    s.timbra(marzo(4), {QStringLiteral("E 09:00"), QStringLiteral("U 10:00")});
    s.amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO, Caus, IdTerminale) "
                                "VALUES (:IdDip, :DataV, :DataO, :VersoV, :VersoO, :Caus, 2)"),
                 {{"IdDip", kDip}, {"DataV", QStringLiteral("2024-03-05 08:03:00")}, {"DataO", QStringLiteral("2024-03-05 08:03:00")},
                  {"VersoV", QStringLiteral("E")}, {"VersoO", QStringLiteral("E")}, {"Caus", QStringLiteral("0007")}});
    s.timbra(marzo(5), {QStringLiteral("U 12:07")});

    s.elabora(marzo(4), marzo(5));

    // The work tables hold the 5th, the last processed day, as loaded and then rounded.
    QSqlQuery q = s.amb.db().esegui(QStringLiteral("SELECT IdDip, DataV, DataO, VersoV, VersoO, Caus, TipoUtil, Arrot, OraM FROM ETimb ORDER BY OraM, VersoV"));
    QStringList righe;
    while (q.next()) {
        QStringList campi;
        for (int i = 0; i < 9; ++i)
            campi << (q.value(i).isNull() ? QStringLiteral("null") : q.value(i).toString());
        righe << campi.join(QLatin1Char('|'));
    }
    QCOMPARE(righe, QStringList({QStringLiteral("1|2024-03-05 08:03:00|2024-03-05 08:03:00|E|E|0007|S|S|495"),
                                 QStringLiteral("1|2024-03-05 12:07:00|2024-03-05 12:07:00|U|U|null|S|S|720")}));
    QCOMPARE(s.evidenze(), QStringList{QStringLiteral("P 212")});

    const TdtmElab::ContestoGiorno& c = s.elab.Contesto();
    QCOMPARE(c.DataCorr, marzo(5));
    QCOMPARE(c.IdOrarioCorr, 1);
    QCOMPARE(c.NumTimb, 2);
    QVERIFY(c.ConTimbrature);
    QVERIFY(c.ConAnomalie);
    QVERIFY(!c.Bloccato);
    QCOMPARE(c.TotPresenza, 225);
    QCOMPARE(c.OreOrd, 225);
    QCOMPARE(c.TotStraord, 0);
    QCOMPARE(c.OreAss, 255);
    QCOMPARE(s.elab.InsiemeLavoro().size(), 2);
    QCOMPARE(s.elab.Anomalie(), QList<int>{212});

    // The next processed day starts from empty work tables.
    s.elabora(marzo(6), marzo(6));
    QCOMPARE(s.lavoro(), QStringList());
    QCOMPARE(s.evidenze(), QStringList{QStringLiteral("P 202")});
}

QTEST_GUILESS_MAIN(TstElab)
#include "tst_elab.moc"
