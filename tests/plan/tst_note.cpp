// Notes loading on real databases: the checks of the options, the load over every kind of
// day (missing, open, closed, with a note, holiday, preset timetable, rest day of the
// rotation), the end of an employee's loading, the cancel, the employee list of a
// selection and a failure in the middle of a run.

#include "ambiente.h"
#include "avanzamento.h"
#include "campodata.h"
#include "caricanote.h"
#include "messaggi.h"
#include "tfrmcaricnote.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <QSqlQuery>
#include <QTest>

namespace {

QDate marzo(int giorno)
{
    return QDate(2024, 3, giorno);
}

// Timetable 1 (480 minutes) on weekdays of rotation 1, Sunday a rest day ("G");
// timetable 2 (360) the holiday timetable; 6 March a holiday of calendar 1. Employee 1 has
// the rotation from 1 January; employee 2 a fixed type "C"; employee 3 the rotation from 6 March.
class Azienda {
public:
    Azienda()
    {
        for (auto [id, ore] : {std::pair{1, 480}, std::pair{2, 360}})
            amb.esegui(QStringLiteral("INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO, OreMedie) VALUES (:Id, :D, :C, 'E', :O)"),
                       {{"Id", id}, {"D", QStringLiteral("Orario %1").arg(id)}, {"C", QString::number(id)}, {"O", ore}});
        amb.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (1, 'Settimana', 7)"));
        for (int n = 1; n <= 7; ++n)
            amb.esegui(QStringLiteral("INSERT INTO CompTurni (IdTurno, NumOrd, DataInizio, TipoOrario, IdDaUsare) VALUES (1, :N, :D, :T, :O)"),
                       {{"N", n}, {"D", Sql::data(QDate(2024, 1, 1))}, {"T", n == 1 ? QStringLiteral("G") : QStringLiteral("O")}, {"O", n == 1 ? 0 : 1}});
        amb.esegui(QStringLiteral("INSERT INTO RelCalend (IdCalend, Giorno, Tipo) VALUES (1, :G, 'F')"), {{"G", Sql::data(marzo(6))}});
        dipendente(1, QDate(2024, 1, 1), QStringLiteral("T"));
        dipendente(2, QDate(2024, 1, 1), QStringLiteral("C"));
        dipendente(3, marzo(6), QStringLiteral("T"));
    }

    void dipendente(int id, const QDate& inizio, const QString& tipo)
    {
        amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:Id, 'Rossi', 'Mario', 'D')"), {{"Id", id}});
        const QVariant d = Sql::data(inizio);
        amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, "
                                  "ModalTimbra, Autorizzato, TipoOrario, IdOrari, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, "
                                  "InPeriodo4, InPeriodo5, GestReperib, UltElabVoci, IdOrFestivo, IdCalendario) "
                                  "VALUES (:Id, :D, 1, 1, 1, 1, :D, 'T', 'S', :T, 1, :D, :D, :D, :D, :D, :D, 'N', :D, 2, 1)"),
                   {{"Id", id}, {"D", d}, {"T", tipo}});
    }

    void giorno(int idDip, const QDate& d, int stato, const QVariant& nota = {}, const QVariant& orario = {}, const QVariant& carenza = {})
    {
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, Note, IdOrario, ValCarenza, ValOrdinario) "
                                  "VALUES (:Id, :D, :S, :N, :O, :C, 300)"),
                   {{"Id", idDip}, {"D", Sql::data(d)}, {"S", stato}, {"N", nota}, {"O", orario}, {"C", carenza}});
    }

    // "stato|nota|orario|carenza|ordinario" of a day, "-" when it has no row.
    QString riga(int idDip, const QDate& d)
    {
        QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT Stato, Note, IdOrario, ValCarenza, ValOrdinario FROM PianoSomma WHERE IdDip = :Id AND Data = :D"),
                                      {{"Id", idDip}, {"D", Sql::data(d)}});
        if (!q.next())
            return QStringLiteral("-");
        QStringList c;
        for (int i = 0; i < 5; ++i)
            c << (q.isNull(i) ? QStringLiteral("null") : q.value(i).toString());
        return c.join(QLatin1Char('|'));
    }

    EsitoNote esegui(const QList<int>& ids, const OpzioniNote& o)
    {
        CaricamentoNote c(amb.dtm());
        AvanzamentoNullo nessuno;
        return c.Esegui(ids, o, nessuno);
    }

    Ambiente amb;
};

OpzioniNote opzioni(const QString& sigle, const QString& nota = QStringLiteral("Ferie"), const QDate& dal = marzo(5), const QDate& al = marzo(5))
{
    OpzioniNote o;
    o.Dal = dal;
    o.Al = al;
    o.Nota = nota;
    o.Chiusura = sigle.contains(QLatin1Char('C'));
    o.OreMedie = sigle.contains(QLatin1Char('M'));
    o.Sostituisci = sigle.contains(QLatin1Char('S'));
    o.Annullamento = sigle.contains(QLatin1Char('A'));
    return o;
}

}  // namespace

class TestNote : public QObject {
    Q_OBJECT
private slots:
    void controlla_data();
    void controlla();
    void carica_data();
    void carica();
    void fineDelDipendente();
    void annulla_data();
    void annulla();
    void anomalieDelGiornoChiuso_data();
    void anomalieDelGiornoChiuso();
    void selezione();
    void guastoAMeta();
    void finestra();
};

void TestNote::controlla_data()
{
    QTest::addColumn<OpzioniNote>("o");
    QTest::addColumn<int>("errore");
    QTest::newRow("periodo invertito") << opzioni({}, {}, marzo(6), marzo(5)) << int(Msg::ErrPeriodoInvertito);
    QTest::newRow("annullamento con ore medie") << opzioni(QStringLiteral("ACM")) << int(Msg::ErrAnnullamentoOpzioni);
    QTest::newRow("annullamento con sostituzione") << opzioni(QStringLiteral("AS")) << int(Msg::ErrAnnullamentoOpzioni);
    QTest::newRow("ore medie senza chiusura") << opzioni(QStringLiteral("M")) << int(Msg::ErrOreMedieSenzaChiusura);
    QTest::newRow("nota di 51 caratteri") << opzioni({}, QString(51, QLatin1Char('x'))) << int(Msg::ErrNotaLunga);
    QTest::newRow("nota di 50 caratteri") << opzioni(QStringLiteral("CM"), QString(50, QLatin1Char('x'))) << 0;
    QTest::newRow("un giorno, annullamento con chiusura") << opzioni(QStringLiteral("AC")) << 0;
}

void TestNote::controlla()
{
    QFETCH(OpzioniNote, o);
    QFETCH(int, errore);
    QCOMPARE(CaricamentoNote::Controlla(o), errore);
}

void TestNote::carica_data()
{
    QTest::addColumn<QDate>("giorno");
    QTest::addColumn<QString>("prima");  // "stato|nota|orario|carenza" or "-"
    QTest::addColumn<QString>("sigle");
    QTest::addColumn<QString>("nota");
    QTest::addColumn<QString>("dopo");
    const QString ferie = QStringLiteral("Ferie");
    QTest::newRow("giorno mancante creato e chiuso con le ore medie") << marzo(5) << "-" << "CM" << ferie << "3|Ferie|1|480|null";
    QTest::newRow("giorno aperto, solo chiusura: assenza invariata") << marzo(5) << "2|null|null|15" << "C" << ferie << "3|Ferie|1|15|300";
    QTest::newRow("giorno chiuso senza sostituzione: invariato") << marzo(5) << "3|Vecchia|1|15" << "CM" << ferie << "3|Vecchia|1|15|300";
    QTest::newRow("giorno chiuso con sostituzione: ricaricato") << marzo(5) << "3|Vecchia|1|15" << "CMS" << ferie << "3|Ferie|1|480|300";
    QTest::newRow("nota presente, solo nota: nulla cambia") << marzo(5) << "1|Vecchia|null|null" << "" << ferie << "1|Vecchia|null|0|300";
    QTest::newRow("orario già sul giorno prima del turno") << marzo(5) << "2|null|2|null" << "CM" << ferie << "3|Ferie|2|360|300";
    QTest::newRow("festivo: orario festivo del profilo") << marzo(6) << "-" << "CM" << ferie << "3|Ferie|2|360|null";
    QTest::newRow("domenica di riposo del turno: chiusa senza ore") << marzo(10) << "-" << "CM" << ferie << "3|Ferie|null|0|null";
    QTest::newRow("virgolette e percento tali e quali") << marzo(5) << "-" << "" << "l'\"ufficio\" 100% _x" << "1|l'\"ufficio\" 100% _x|null|0|null";
    QTest::newRow("nota vuota: la nota presente resta") << marzo(5) << "3|Vecchia|1|15" << "CMS" << "" << "3|Vecchia|1|480|300";
}

void TestNote::carica()
{
    QFETCH(QDate, giorno);
    QFETCH(QString, prima);
    QFETCH(QString, sigle);
    QFETCH(QString, nota);
    QFETCH(QString, dopo);
    Azienda a;
    if (prima != QLatin1String("-")) {
        const QStringList c = prima.split(QLatin1Char('|'));
        const auto v = [](const QString& t) { return t == QLatin1String("null") ? QVariant() : QVariant(t); };
        a.giorno(1, giorno, c.at(0).toInt(), v(c.at(1)), v(c.at(2)), v(c.at(3)));
    }
    const EsitoNote e = a.esegui({1}, opzioni(sigle, nota, giorno, giorno));
    QCOMPARE(e.Errore, QString());
    QCOMPARE(a.riga(1, giorno), dopo);
    QCOMPARE(e.GiorniCreati, prima == QLatin1String("-") ? 1 : 0);
    QCOMPARE(e.Giorni + e.GiorniLasciati, 1);
}

// Type "C" has no timetable of its own: after a preset timetable and the holiday one, the
// first day without either ends that employee (its row, just created, stays open); a
// profile starting midway leaves the days before it alone; the next employee is loaded.
void TestNote::fineDelDipendente()
{
    Azienda a;
    a.giorno(2, marzo(5), 1, {}, 1);
    const EsitoNote e = a.esegui({2, 3}, opzioni(QStringLiteral("CM"), QStringLiteral("Chiusura"), marzo(5), marzo(8)));
    QCOMPARE(e.Errore, QString());
    QCOMPARE(e.Dipendenti, 2);
    QCOMPARE(a.riga(2, marzo(5)), QStringLiteral("3|Chiusura|1|480|300"));
    QCOMPARE(a.riga(2, marzo(6)), QStringLiteral("3|Chiusura|2|360|null"));
    QCOMPARE(a.riga(2, marzo(7)), QStringLiteral("1|null|null|null|null"));
    QCOMPARE(a.riga(2, marzo(8)), QStringLiteral("-"));
    QCOMPARE(a.riga(3, marzo(5)), QStringLiteral("-"));
    QCOMPARE(a.riga(3, marzo(6)), QStringLiteral("3|Chiusura|2|360|null"));
    QCOMPARE(a.riga(3, marzo(7)), QStringLiteral("3|Chiusura|1|480|null"));
    QCOMPARE(a.riga(3, marzo(8)), QStringLiteral("3|Chiusura|1|480|null"));
    QCOMPARE(e.Giorni, 5);
    QCOMPARE(e.GiorniCreati, 5);
}

void TestNote::annulla_data()
{
    QTest::addColumn<QString>("sigle");
    QTest::addColumn<QString>("dopo");
    QTest::newRow("senza chiusura: solo la nota") << "A" << "3|null|1|480|300";
    QTest::newRow("con chiusura: giornata da elaborare") << "AC" << "1|null|null|null|null";
}

void TestNote::annulla()
{
    QFETCH(QString, sigle);
    QFETCH(QString, dopo);
    Azienda a;
    a.giorno(1, marzo(5), 3, QStringLiteral("Ferie"), 1, 480);
    const EsitoNote e = a.esegui({1}, opzioni(sigle, {}, marzo(4), marzo(6)));
    QCOMPARE(a.riga(1, marzo(5)), dopo);
    QCOMPARE(a.riga(1, marzo(4)), QStringLiteral("-"));  // the cancel never creates days
    QCOMPARE(e.Giorni, 1);
}

void TestNote::anomalieDelGiornoChiuso_data()
{
    QTest::addColumn<QString>("sigle");
    QTest::addColumn<int>("anomalie");
    QTest::newRow("chiusura") << "C" << 0;
    QTest::newRow("solo la nota") << "" << 1;
    QTest::newRow("annullamento con chiusura") << "AC" << 0;
    QTest::newRow("annullamento della nota") << "A" << 1;
}

// A day closed, or returned to state 1, keeps no anomaly of its last processing.
void TestNote::anomalieDelGiornoChiuso()
{
    QFETCH(QString, sigle);
    QFETCH(int, anomalie);
    Azienda a;
    a.giorno(1, marzo(5), 2, {}, 1, 0);
    a.amb.esegui(QStringLiteral("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, Prod, IdSegnalaz) VALUES (1, :D, 1, 'P', 212)"),
                 {{"D", Sql::data(marzo(5))}});
    a.esegui({1}, opzioni(sigle));
    QCOMPARE(a.amb.conta(QStringLiteral("AnomalieGiorno")), anomalie);
}

void TestNote::selezione()
{
    Azienda a;
    CaricamentoNote c(a.amb.dtm());
    QCOMPARE(c.Dipendenti(), (QList<int>{1, 2, 3}));
    a.amb.esegui(QStringLiteral("CREATE TABLE ':dbPresUt:SelNote' (Id INTEGER)"));
    a.amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:SelNote' (Id) VALUES (3), (1)"));
    QCOMPARE(c.Dipendenti(QStringLiteral("SelNote")), (QList<int>{1, 3}));
    a.amb.esegui(QStringLiteral("DROP TABLE ':dbPresUt:SelNote'"));
    try {
        c.Dipendenti(QStringLiteral("SelNote"));
        QFAIL("una selezione scomparsa non è segnalata");
    } catch (const ErroreSelezione& e) {
        QCOMPARE(e.tabella(), QStringLiteral("SelNote"));
    }
}

// The second employee's days refuse the write: the run stops there and names it; the first
// employee's loading stays, the third is not touched.
void TestNote::guastoAMeta()
{
    Azienda a;
    a.dipendente(4, QDate(2024, 1, 1), QStringLiteral("T"));
    a.amb.rifiuta(QStringLiteral("guasto"), QStringLiteral("PianoSomma"), QStringLiteral("INSERT"), QStringLiteral("NEW.IdDip = 3"),
                  QStringLiteral("guasto simulato"));
    AvanzamentoRegistro reg;
    CaricamentoNote c(a.amb.dtm());
    const EsitoNote e = c.Esegui({1, 3, 4}, opzioni(QStringLiteral("CM"), QStringLiteral("Ferie"), marzo(6), marzo(7)), reg);
    QCOMPARE(e.IdDipErrore, 3);
    QVERIFY2(e.Errore.contains(QStringLiteral("guasto simulato")), qPrintable(e.Errore));
    QCOMPARE(a.riga(1, marzo(7)), QStringLiteral("3|Ferie|1|480|null"));
    QCOMPARE(a.riga(3, marzo(6)), QStringLiteral("-"));
    QCOMPARE(a.riga(4, marzo(6)), QStringLiteral("-"));
    QCOMPARE(reg.valori, QList<int>{1});
    QCOMPARE(reg.chiamate.constLast(), QStringLiteral("Termina"));
}

// The window keeps the user's choices when it is activated again (the defaults only come
// with a new window), "Esegui" acts on them, and closing stores the period.
void TestNote::finestra()
{
    Azienda a;
    a.amb.dtm().mem().DataDa = QDateTime(marzo(5), QTime(0, 0));
    a.amb.dtm().mem().DataA = QDateTime(marzo(5), QTime(0, 0));
    a.giorno(1, marzo(5), 3, QStringLiteral("Ferie"), 1, 480);
    TfrmCaricNote f(a.amb.dtm());
    QCOMPARE(f.findChild<QRadioButton*>(QStringLiteral("rbTutti"))->isChecked(), true);
    QCOMPARE(f.findChild<QRadioButton*>(QStringLiteral("rbCaricamento"))->isChecked(), true);
    f.findChild<QRadioButton*>(QStringLiteral("rbAnnullamento"))->setChecked(true);
    f.findChild<QCheckBox*>(QStringLiteral("cbChiusura"))->setChecked(true);
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QWidget altra;
    altra.show();
    altra.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&altra));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTRY_VERIFY(f.findChild<QRadioButton*>(QStringLiteral("rbAnnullamento"))->isChecked());
    QTest::mouseClick(f.findChild<QPushButton*>(QStringLiteral("btnEsegui")), Qt::LeftButton);
    QTRY_COMPARE(a.riga(1, marzo(5)), QStringLiteral("1|null|null|null|null"));

    // A selection whose table is gone is named, and nothing is written.
    f.findChild<QRadioButton*>(QStringLiteral("rbSelezione"))->setChecked(true);
    f.findChild<QRadioButton*>(QStringLiteral("rbCaricamento"))->setChecked(true);
    f.findChild<QLineEdit*>(QStringLiteral("edtNota"))->setText(QStringLiteral("Ferie"));
    QTest::mouseClick(f.findChild<QPushButton*>(QStringLiteral("btnEsegui")), Qt::LeftButton);
    QTRY_COMPARE(a.amb.registro().avvisi.size(), 1);
    QVERIFY2(a.amb.registro().avvisi.constFirst().contains(TfrmCaricNote::TabellaSelezione()), qPrintable(a.amb.registro().avvisi.constFirst()));
    QCOMPARE(a.riga(1, marzo(5)), QStringLiteral("1|null|null|null|null"));

    f.findChild<CampoData*>(QStringLiteral("edtDal"))->setDate(marzo(2));
    f.close();
    QCOMPARE(a.amb.dtm().mem().DataDa.date(), marzo(2));
}

QTEST_MAIN(TestNote)
#include "tst_note.moc"
