// The rules of the general settings without the window: installation date with its control
// dates and profile dates, all or nothing; company; colours; processing options.

#include "ambiente.h"
#include "fileini.h"
#include "tdtmutil.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

using Date = QList<QDate>;

QDate data(Ambiente& amb, const QString& sql)
{
    return Sql::leggiData(amb.valore(sql));
}

Date dateDiControllo(Ambiente& amb)
{
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT AccantonPiano, AccantonVoci, InvioSaldi, AcquisTimb FROM ContrAccant"));
    Date d;
    if (q.next())
        for (int n = 0; n < 4; ++n)
            d << Sql::leggiData(q.value(n));
    return d;
}

void inserisciControlli(Ambiente& amb, const Date& d)
{
    amb.esegui(QStringLiteral("INSERT INTO ContrAccant (AccantonPiano, AccantonVoci, InvioSaldi, AcquisTimb) VALUES (:p, :v, :s, :a)"),
               {{"p", Sql::data(d.value(0))}, {"v", Sql::data(d.value(1))}, {"s", Sql::data(d.value(2))}, {"a", Sql::data(d.value(3))}});
}

void inserisciProfilo(Ambiente& amb, int idDip, const QDate& assunz, const QDate& periodo, const QDate& ultElab)
{
    amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, "
                              "ModalTimbra, Autorizzato, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, "
                              "GestReperib, UltElabVoci) VALUES (:id, :inizio, 1, 1, 1, 1, :assunz, 'S', 'N', :inizio, :p, :p, :p, :p, :p, "
                              "'N', :ult)"),
               {{"id", idDip}, {"inizio", Sql::data(assunz)}, {"assunz", Sql::data(assunz)}, {"p", Sql::data(periodo)}, {"ult", Sql::data(ultElab)}});
}

Date datePeriodo(Ambiente& amb, int idDip)
{
    QSqlQuery q = amb.db().esegui(
        QStringLiteral("SELECT InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, UltElabVoci FROM Profilo WHERE IdUtilizzatore = :id"),
        {{"id", idDip}});
    Date d;
    if (q.next())
        for (int n = 0; n < 6; ++n)
            d << Sql::leggiData(q.value(n));
    return d;
}

}  // namespace

class TstImpostazioni : public QObject {
    Q_OBJECT
private slots:
    void dataInstallazione_data();
    void dataInstallazione();
    void configGenCreata();
    void periodiDeiProfili_data();
    void periodiDeiProfili();
    void fallimentoAnnullaTutto_data();
    void fallimentoAnnullaTutto();
    void azienda();
    void aziendaNuova();
    void aziendaSenzaCampoObbligatorio_data();
    void aziendaSenzaCampoObbligatorio();
    void coloriInIni_data();
    void coloriInIni();
    void salvaColore_data();
    void salvaColore();
    void opzioni_data();
    void opzioni();
};

void TstImpostazioni::dataInstallazione_data()
{
    QTest::addColumn<QDate>("scelta");
    QTest::addColumn<Date>("controlliPrima");  // empty: no ContrAccant row
    QTest::addColumn<QDate>("attesa");
    QTest::addColumn<Date>("controlliDopo");
    QTest::newRow("17 marzo, controlli vuoti")
        << QDate(2023, 3, 17) << Date{} << QDate(2023, 3, 1)
        << Date{QDate(2023, 2, 28), QDate(2023, 1, 27), QDate(2023, 2, 28), QDate(2023, 2, 28)};
    QTest::newRow("anno bisestile")
        << QDate(2024, 3, 17) << Date{} << QDate(2024, 3, 1)
        << Date{QDate(2024, 2, 29), QDate(2024, 1, 28), QDate(2024, 2, 29), QDate(2024, 2, 29)};
    QTest::newRow("primo del mese resta")
        << QDate(2023, 1, 1) << Date{} << QDate(2023, 1, 1)
        << Date{QDate(2022, 12, 31), QDate(2022, 11, 29), QDate(2022, 12, 31), QDate(2022, 12, 31)};
    QTest::newRow("data anteriore ai controlli: restano")
        << QDate(2023, 1, 20) << Date{QDate(2023, 6, 30), QDate(2023, 5, 31), QDate(2023, 6, 30), QDate(2023, 6, 30)} << QDate(2023, 1, 1)
        << Date{QDate(2023, 6, 30), QDate(2023, 5, 31), QDate(2023, 6, 30), QDate(2023, 6, 30)};
    QTest::newRow("controlli misti e vuoti")
        << QDate(2023, 3, 10) << Date{QDate(2022, 12, 31), QDate(2022, 1, 1), QDate(2023, 6, 30), QDate()} << QDate(2023, 3, 1)
        << Date{QDate(2023, 2, 28), QDate(2023, 1, 27), QDate(2023, 6, 30), QDate(2023, 2, 28)};
}

void TstImpostazioni::dataInstallazione()
{
    QFETCH(QDate, scelta);
    QFETCH(Date, controlliPrima);
    QFETCH(QDate, attesa);
    QFETCH(Date, controlliDopo);
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO ConfigGen (DataInst) VALUES (:d)"), {{"d", Sql::data(QDate(2023, 7, 1))}});
    if (!controlliPrima.isEmpty())
        inserisciControlli(amb, controlliPrima);
    TdtmUtil util(amb.dtm());

    QCOMPARE(util.ImpostaDataInstallazione(scelta), attesa);
    QCOMPARE(amb.conta(QStringLiteral("ConfigGen")), 1);
    QCOMPARE(data(amb, QStringLiteral("SELECT DataInst FROM ConfigGen")), attesa);
    QCOMPARE(util.DataInstallazione(), attesa);
    QCOMPARE(amb.conta(QStringLiteral("ContrAccant")), 1);
    QCOMPARE(dateDiControllo(amb), controlliDopo);
    QVERIFY(!amb.db().inTransazione());
}

void TstImpostazioni::configGenCreata()
{
    Ambiente amb;
    QCOMPARE(amb.conta(QStringLiteral("ConfigGen")), 0);
    TdtmUtil util(amb.dtm());
    util.ImpostaDataInstallazione(QDate(2023, 3, 17));
    QSqlQuery q = amb.db().esegui(QStringLiteral("SELECT DataInst, Inizio, Fine, CarMensa, CarPres, Delimitatore, Separatore FROM ConfigGen"));
    QVERIFY(q.next());
    QCOMPARE(Sql::leggiData(q.value(0)), QDate(2023, 3, 1));
    QCOMPARE(q.value(1).toString(), QStringLiteral("0000"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("2359"));
    QCOMPARE(q.value(3).toString(), QStringLiteral("S"));
    QCOMPARE(q.value(4).toString(), QStringLiteral("P"));
    QCOMPARE(q.value(5).toString(), QStringLiteral("\""));
    QCOMPARE(q.value(6).toString(), QStringLiteral(";"));
    QVERIFY(!q.next());
}

void TstImpostazioni::periodiDeiProfili_data()
{
    // Installation chosen: 17 March 2023, so d = 1 March 2023.
    QTest::addColumn<QDate>("assunz");
    QTest::addColumn<QDate>("periodo");
    QTest::addColumn<QDate>("periodoAtteso");
    QTest::addColumn<QDate>("ultElabAtteso");
    QTest::newRow("assunto dopo l'installazione")
        << QDate(2023, 6, 15) << QDate(2023, 1, 1) << QDate(2023, 6, 15) << QDate(2023, 6, 15);
    QTest::newRow("assunto prima")
        << QDate(2020, 1, 1) << QDate(2020, 1, 1) << QDate(2023, 3, 1) << QDate(2023, 3, 1);
    QTest::newRow("periodi già più avanti")
        << QDate(2020, 1, 1) << QDate(2024, 1, 1) << QDate(2024, 1, 1) << QDate(2024, 1, 1);
    QTest::newRow("assunto il giorno dell'installazione")
        << QDate(2023, 3, 1) << QDate(2022, 5, 5) << QDate(2023, 3, 1) << QDate(2023, 3, 1);
}

void TstImpostazioni::periodiDeiProfili()
{
    QFETCH(QDate, assunz);
    QFETCH(QDate, periodo);
    QFETCH(QDate, periodoAtteso);
    QFETCH(QDate, ultElabAtteso);
    Ambiente amb;
    inserisciProfilo(amb, 7, assunz, periodo, periodo.addDays(-1));
    // A second employee keeps the pass honest: each row takes its own dates.
    inserisciProfilo(amb, 8, QDate(2010, 1, 1), QDate(2010, 1, 1), QDate(2009, 12, 31));
    TdtmUtil util(amb.dtm());
    util.ImpostaDataInstallazione(QDate(2023, 3, 17));
    QCOMPARE(datePeriodo(amb, 7), (Date{periodoAtteso, periodoAtteso, periodoAtteso, periodoAtteso, periodoAtteso, ultElabAtteso}));
    const QDate d(2023, 3, 1);
    QCOMPARE(datePeriodo(amb, 8), (Date{d, d, d, d, d, d}));
}

void TstImpostazioni::fallimentoAnnullaTutto_data()
{
    QTest::addColumn<bool>("tabelleVuote");
    QTest::newRow("righe esistenti") << false;
    QTest::newRow("ConfigGen e ContrAccant vuote") << true;
}

void TstImpostazioni::fallimentoAnnullaTutto()
{
    QFETCH(bool, tabelleVuote);
    Ambiente amb;
    const Date controlli{QDate(2022, 4, 30), QDate(2022, 3, 29), QDate(2022, 4, 30), QDate(2022, 4, 30)};
    if (!tabelleVuote) {
        amb.esegui(QStringLiteral("INSERT INTO ConfigGen (DataInst) VALUES (:d)"), {{"d", Sql::data(QDate(2022, 5, 1))}});
        inserisciControlli(amb, controlli);
    }
    inserisciProfilo(amb, 7, QDate(2020, 1, 1), QDate(2020, 1, 1), QDate(2019, 12, 31));
    // The last step of the routine fails.
    amb.rifiuta(QStringLiteral("blocca_profilo"), QStringLiteral("Profilo"), QStringLiteral("UPDATE"), {}, QStringLiteral("profilo bloccato"));
    TdtmUtil util(amb.dtm());
    amb.dtm().mem().DataInst = QDateTime(QDate(2022, 5, 1), QTime(0, 0), Qt::UTC);

    bool fallito = false;
    try {
        util.ImpostaDataInstallazione(QDate(2023, 3, 17));
    } catch (const ErroreDb& e) {
        fallito = true;
        QVERIFY2(e.testo().contains(QStringLiteral("profilo bloccato")), qPrintable(e.testo()));
    }
    QVERIFY(fallito);
    QVERIFY(!amb.db().inTransazione());
    if (tabelleVuote) {
        QCOMPARE(amb.conta(QStringLiteral("ConfigGen")), 0);
        QCOMPARE(amb.conta(QStringLiteral("ContrAccant")), 0);
    } else {
        QCOMPARE(data(amb, QStringLiteral("SELECT DataInst FROM ConfigGen")), QDate(2022, 5, 1));
        QCOMPARE(dateDiControllo(amb), controlli);
    }
    const QDate p(2020, 1, 1);
    QCOMPARE(datePeriodo(amb, 7), (Date{p, p, p, p, p, QDate(2019, 12, 31)}));
    QCOMPARE(amb.dtm().mem().DataInst.date(), QDate(2022, 5, 1));

    // Once the obstacle is gone the same routine goes through.
    amb.togliRifiuto(QStringLiteral("blocca_profilo"), QStringLiteral("Profilo"));
    QCOMPARE(util.ImpostaDataInstallazione(QDate(2023, 3, 17)), QDate(2023, 3, 1));
    QCOMPARE(datePeriodo(amb, 7).value(0), QDate(2023, 3, 1));
}

void TstImpostazioni::azienda()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr, CodAzEst) VALUES (3, 'Terza', 'T', NULL)"));
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr, CodAzEst) VALUES (1, 'Rossi S.p.A.', 'Sede', 'R01')"));
    TdtmUtil util(amb.dtm());
    TdtmUtil::Azienda a = util.LeggiAzienda();
    QCOMPARE(a.Id, 1);
    QCOMPARE(a.RagSoc, QStringLiteral("Rossi S.p.A."));
    QCOMPARE(a.CodAzEst, QStringLiteral("R01"));

    QSignalSpy spia(&amb.dtm(), &TdtmPresenze::ragioneSocialeCambiata);
    a.RagSoc = QStringLiteral("Rossi & Figli S.p.A.");
    a.CodAzEst.clear();
    util.SalvaAzienda(a);
    QCOMPARE(amb.valore(QStringLiteral("SELECT RagSoc FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Rossi & Figli S.p.A."));
    QVERIFY(amb.valore(QStringLiteral("SELECT CodAzEst FROM Aziende WHERE Id = 1")).isNull());
    QCOMPARE(amb.valore(QStringLiteral("SELECT RagSoc FROM Aziende WHERE Id = 3")).toString(), QStringLiteral("Terza"));
    QCOMPARE(amb.dtm().mem().RagSoc, QStringLiteral("Rossi & Figli S.p.A."));
    QCOMPARE(spia.size(), 1);
    QCOMPARE(spia.at(0).at(0).toString(), QStringLiteral("Rossi & Figli S.p.A."));
}

void TstImpostazioni::aziendaNuova()
{
    Ambiente amb;
    TdtmUtil util(amb.dtm());
    TdtmUtil::Azienda a = util.LeggiAzienda();
    QCOMPARE(a.Id, 0);
    a.RagSoc = QStringLiteral("Nuova S.r.l.");
    a.Descr = QStringLiteral("Unica sede");
    util.SalvaAzienda(a);
    QCOMPARE(a.Id, 1);
    QCOMPARE(amb.conta(QStringLiteral("Aziende")), 1);
    QCOMPARE(util.LeggiAzienda().RagSoc, QStringLiteral("Nuova S.r.l."));
}

void TstImpostazioni::aziendaSenzaCampoObbligatorio_data()
{
    QTest::addColumn<QString>("ragSoc");
    QTest::addColumn<QString>("descr");
    QTest::newRow("ragione sociale vuota") << "" << "Sede";
    QTest::newRow("descrizione vuota") << "Rossi S.p.A." << "";
}

void TstImpostazioni::aziendaSenzaCampoObbligatorio()
{
    QFETCH(QString, ragSoc);
    QFETCH(QString, descr);
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr) VALUES (1, 'Rossi S.p.A.', 'Sede')"));
    amb.dtm().mem().RagSoc = QStringLiteral("Rossi S.p.A.");
    TdtmUtil util(amb.dtm());
    TdtmUtil::Azienda a = util.LeggiAzienda();
    a.RagSoc = ragSoc;
    a.Descr = descr;
    QVERIFY_THROWS_EXCEPTION(ErroreDb, util.SalvaAzienda(a));
    QCOMPARE(amb.valore(QStringLiteral("SELECT RagSoc FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Rossi S.p.A."));
    QCOMPARE(amb.valore(QStringLiteral("SELECT Descr FROM Aziende WHERE Id = 1")).toString(), QStringLiteral("Sede"));
    QCOMPARE(amb.dtm().mem().RagSoc, QStringLiteral("Rossi S.p.A."));
    QVERIFY(!amb.db().inTransazione());
}

void TstImpostazioni::coloriInIni_data()
{
    // PRES.INI keeps Windows colour values: red in the low byte, blue in the third.
    QTest::addColumn<quint32>("valore");
    QTest::addColumn<QColor>("colore");
    QTest::newRow("nero") << quint32(0) << QColor(0, 0, 0);
    QTest::newRow("rosso") << quint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("verde") << quint32(0x00FF00) << QColor(0, 255, 0);
    QTest::newRow("blu") << quint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("griglia predefinita 12648432") << quint32(12648432) << QColor(0xF0, 0xFF, 0xC0);
    QTest::newRow("tre canali diversi") << quint32(0x563412) << QColor(0x12, 0x34, 0x56);
}

void TstImpostazioni::coloriInIni()
{
    QFETCH(quint32, valore);
    QFETCH(QColor, colore);
    QCOMPARE(ColoreDaIni(valore), colore);
    QCOMPARE(ColoreInIni(colore), valore);
    QCOMPARE(ColoreInIni(ColoreDaIni(valore)), valore);
}

void TstImpostazioni::salvaColore_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("chiave");
    QTest::newRow("campi obbligatori") << 1 << "ColoreReqd";
    QTest::newRow("giornate con anomalie") << 2 << "ColoreAnom";
    QTest::newRow("griglia") << 3 << "ColoreGrid";
}

void TstImpostazioni::salvaColore()
{
    QFETCH(int, tipo);
    QFETCH(QString, chiave);
    Ambiente amb;
    TdtmUtil util(amb.dtm());
    const quint32 prima[3] = {util.Colore(1), util.Colore(2), util.Colore(3)};
    util.SalvaColore(tipo, 0x563412);
    QCOMPARE(util.Colore(tipo), quint32(0x563412));
    const FileIni ini(amb.fileIni());
    QCOMPARE(ini.leggiIntero(Ini::Desktop, chiave, -1), 0x563412);
    for (int t = 1; t <= 3; ++t)
        if (t != tipo)
            QCOMPARE(util.Colore(t), prima[t - 1]);
    const TPresenzeCfg& c = amb.dtm().cfg();
    QCOMPARE(tipo == 1 ? c.ColoreReqd : tipo == 2 ? c.ColoreAnom : c.ColoreGrid, quint32(0x563412));
}

void TstImpostazioni::opzioni_data()
{
    QTest::addColumn<bool>("anom");
    QTest::addColumn<bool>("assenza");
    QTest::addColumn<bool>("straord");
    QTest::newRow("tutte spente") << false << false << false;
    QTest::newRow("solo anomalia") << true << false << false;
    QTest::newRow("solo straordinario") << false << false << true;
    QTest::newRow("tutte accese") << true << true << true;
}

void TstImpostazioni::opzioni()
{
    QFETCH(bool, anom);
    QFETCH(bool, assenza);
    QFETCH(bool, straord);
    Ambiente amb;
    TdtmUtil util(amb.dtm());
    util.SalvaOpzioni(anom, assenza, straord);
    const TPresenzeCfg& c = amb.dtm().cfg();
    QCOMPARE(c.AnomAssenza, anom);
    QCOMPARE(c.CalcolaAssenza, assenza);
    QCOMPARE(c.CalcolaStraord, straord);
    const FileIni ini(amb.fileIni());
    QCOMPARE(ini.leggiTesto(Ini::Elaborazione, QStringLiteral("AnomAssenza")), anom ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(ini.leggiTesto(Ini::Elaborazione, QStringLiteral("CalcolaAssenza")), assenza ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(ini.leggiTesto(Ini::Elaborazione, QStringLiteral("CalcolaStraord")), straord ? QStringLiteral("1") : QStringLiteral("0"));
}

QTEST_MAIN(TstImpostazioni)
#include "tst_impostazioni.moc"
