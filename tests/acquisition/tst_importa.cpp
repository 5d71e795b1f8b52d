// The import of punches from a fixed-column file: the layout check and its keys in PRES.INI,
// the reading of one line, and the import on real databases (badge valid at the punch's
// time, duplicates by recorded time, refused lines listed, an impossible date stopping it).

#include "ambiente.h"
#include "avanzamento.h"
#include "fileini.h"
#include "formatofile.h"
#include "importatimbrature.h"
#include "messaggi.h"

#include <QFile>
#include <QTest>

using namespace Msg;

namespace {

// Badge 1-6, cause 7-10, direction 11, date 12-19 (GGMMAAAA), time 20-23.
FormatoFileAcq formato()
{
    FormatoFileAcq f;
    f.PosizBadge = 1;
    f.LunghBadge = 6;
    f.PosizCausale = 7;
    f.LunghCausale = 4;
    f.PosizVerso = 11;
    f.CarIngresso = QStringLiteral("I");
    f.CarUscita = QStringLiteral("O");
    f.PosizData = 12;
    f.FormatoData = QStringLiteral("GGMMAAAA");
    f.PosizOra = 20;
    f.LunghOra = 4;
    return f;
}

QString scrivi(const QString& cartella, const QByteArray& dati)
{
    const QString nome = cartella + QStringLiteral("/timbrature.dat");
    QFile f(nome);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(dati) != dati.size())
        qFatal("cannot write %s", qPrintable(nome));
    return nome;
}

}  // namespace

class TstImporta : public QObject {
    Q_OBJECT

private slots:
    void controllo_data();
    void controllo();
    void chiaviIni();
    void riga_data();
    void riga();
    void importa();
    void dataInesistente();
    void nonEseguita();
};

void TstImporta::controllo_data()
{
    QTest::addColumn<int>("campo");  // which position to move (0 none)
    QTest::addColumn<int>("valore");
    QTest::addColumn<int>("atteso");
    QTest::newRow("esempio corretto") << 0 << 0 << int(FormatoFile::Corretto);
    QTest::newRow("causale a 6 si sovrappone al badge") << 1 << 6 << int(FormatoFile::Sovrapposto);
    QTest::newRow("ora a 255 finisce dopo 256") << 2 << 255 << int(FormatoFile::TroppoLungo);
    QTest::newRow("ora a 253 finisce a 256") << 2 << 253 << int(FormatoFile::Corretto);
    QTest::newRow("causale a 0 non occupa colonne") << 1 << 0 << int(FormatoFile::Corretto);
    QTest::newRow("troppo lungo vince sulla sovrapposizione") << 3 << 255 << int(FormatoFile::TroppoLungo);
    QTest::newRow("verso sulla data") << 4 << 12 << int(FormatoFile::Sovrapposto);
}

void TstImporta::controllo()
{
    QFETCH(int, campo);
    QFETCH(int, valore);
    QFETCH(int, atteso);
    FormatoFileAcq f = formato();
    if (campo == 1)
        f.PosizCausale = valore;
    else if (campo == 2)
        f.PosizOra = valore;
    else if (campo == 3) {
        f.PosizOra = valore;
        f.PosizCausale = 6;
    } else if (campo == 4)
        f.PosizVerso = valore;
    QCOMPARE(int(FormatoFile::Controlla(f)), atteso);
    QCOMPARE(FormatoFile::Messaggio(FormatoFile::Controlla(f)),
             atteso == 1 ? int(ErrTracciatoSovrapposto) : atteso == 2 ? int(ErrTracciatoLungo) : 0);
}

void TstImporta::chiaviIni()
{
    QTemporaryDir dir;
    const QString nome = dir.filePath(QStringLiteral("PRES.INI"));
    QFile f(nome);
    QVERIFY(f.open(QIODevice::WriteOnly));
    // Zero and missing keys leave the fields alone; values beyond a control's range are held to it.
    f.write("[File_acq]\nPosizBadge=0\nLunghBadge=12\nCarIngresso=IN\nPosizOra=400\n[Altro]\nChiave=1\n");
    f.close();
    FileIni ini(nome);
    FormatoFileAcq letto = formato();
    FormatoFile::Carica(ini, letto);
    FormatoFileAcq atteso = formato();
    atteso.LunghBadge = 10;
    atteso.PosizOra = 300;
    QCOMPARE(letto, atteso);

    // Saved and loaded again: the same layout; a layout without a date format keeps the stored one.
    FormatoFile::Salva(ini, formato());
    FormatoFileAcq senzaData = formato();
    senzaData.FormatoData.clear();
    FormatoFile::Salva(ini, senzaData);
    FileIni riletto(nome);
    FormatoFileAcq vuoto;
    FormatoFile::Carica(riletto, vuoto);
    QCOMPARE(vuoto, formato());
    QCOMPARE(riletto.leggiTesto(QStringLiteral("Altro"), QStringLiteral("Chiave")), QStringLiteral("1"));
}

void TstImporta::riga_data()
{
    QTest::addColumn<QByteArray>("riga");
    QTest::addColumn<int>("lunghBadge");
    QTest::addColumn<int>("esito");
    QTest::addColumn<QString>("letto");  // badge|verso|date-time|cause

    //                                     badge cau v data    ora
    QTest::newRow("ingresso") << QByteArray("0001770012I091220260815") << 6 << 0
                              << QStringLiteral("0000000177|E|2026-12-09 08:15:00|0012");
    QTest::newRow("uscita, causale 0000") << QByteArray("0001770000O091220261730") << 6 << 0
                                          << QStringLiteral("0000000177|U|2026-12-09 17:30:00|");
    QTest::newRow("causale corta e spazi") << QByteArray("000177  7 I091220260800") << 6 << 0
                                           << QStringLiteral("0000000177|E|2026-12-09 08:00:00|0007");
    QTest::newRow("verso sconosciuto resta vuoto") << QByteArray("0001770000X091220260800") << 6 << 0
                                                   << QStringLiteral("0000000177||2026-12-09 08:00:00|");
    QTest::newRow("2400 e' la mezzanotte dopo") << QByteArray("0001770000I091220262400") << 6 << 0
                                                << QStringLiteral("0000000177|E|2026-12-10 00:00:00|");
    QTest::newRow("9999 va oltre di giorni") << QByteArray("0001770000I091220269999") << 6 << 0
                                             << QStringLiteral("0000000177|E|2026-12-13 04:39:00|");
    QTest::newRow("badge con lettere") << QByteArray("00A1770000I091220260800") << 6 << int(ErrBadgeNonValido) << QString();
    QTest::newRow("lunghezza badge 0") << QByteArray("0001770000I091220260800") << 0 << int(ErrBadgeNonValido) << QString();
    QTest::newRow("riga vuota") << QByteArray() << 6 << int(ErrDataFormato) << QString();
    QTest::newRow("riga di spazi") << QByteArray("        ") << 6 << int(ErrDataFormato) << QString();
    QTest::newRow("riga corta nel badge") << QByteArray("0001") << 6 << int(ErrBadgeNonValido) << QString();
    QTest::newRow("separatore estraneo") << QByteArray("0001770000I09.220260800") << 6 << int(ErrDataFormato) << QString();
    QTest::newRow("riga corta nella data") << QByteArray("0001770000I0912") << 6 << int(ErrDataFormato) << QString();
    QTest::newRow("ora non numerica") << QByteArray("0001770000I0912202608h5") << 6 << int(ErrOraNonValida) << QString();
    QTest::newRow("riga corta nell'ora") << QByteArray("0001770000I09122026081") << 6 << int(ErrOraNonValida) << QString();
    QTest::newRow("byte non ASCII nell'ora") << QByteArray("0001770000I0912202608\xC3\xA0") << 6 << int(ErrOraNonValida) << QString();
    QTest::newRow("byte binari nel badge") << QByteArray("00\x00\x01" "770000I091220260800", 23) << 6 << int(ErrBadgeNonValido) << QString();
    QTest::newRow("31 aprile") << QByteArray("0001770000I310420260800") << 6 << int(ImportaTimbrature::DataInesistente) << QString();
    QTest::newRow("mese 13") << QByteArray("0001770000I311320260800") << 6 << int(ImportaTimbrature::DataInesistente) << QString();
}

void TstImporta::riga()
{
    QFETCH(QByteArray, riga);
    QFETCH(int, lunghBadge);
    QFETCH(int, esito);
    QFETCH(QString, letto);
    Ambiente amb;
    FormatoFileAcq f = formato();
    f.LunghBadge = lunghBadge;
    ImportaTimbrature imp(amb.dtm(), f);
    TimbraturaLetta t;
    QCOMPARE(imp.LeggiRiga(riga, &t), esito);
    if (esito == 0)
        QCOMPARE(QStringList({t.badge, t.verso, Sql::testoDataMinuti(t.giorno, t.minuti), t.caus}).join(QLatin1Char('|')), letto);
}

void TstImporta::importa()
{
    Ambiente amb;
    // Badge 177 passes from employee 1 (until 30 June) to employee 2 (from 1 July); badge 300
    // is assigned to nobody.
    const QString badge = QStringLiteral("INSERT INTO Badge (Codice, DataInizio, DataFine, IdUtilizzatore) VALUES (:c, :i, :f, :d)");
    amb.esegui(badge, {{"c", "0000000177"}, {"i", "2026-01-01 00:00:00"}, {"f", "2026-06-30 00:00:00"}, {"d", 1}});
    amb.esegui(badge, {{"c", "0000000177"}, {"i", "2026-07-01 00:00:00"}, {"f", QVariant()}, {"d", 2}});
    amb.esegui(badge, {{"c", "0000000300"}, {"i", "2026-01-01 00:00:00"}, {"f", QVariant()}, {"d", 0}});

    // Windows line ends and a byte-order mark, which does not count as a column; years 49 and 50.
    const QByteArray dati = "\xEF\xBB\xBF"
                            "0001770012I290620260800\r\n"  // 1 employee 1
                            "0001770000O300620260001\r\n"  // 2 after midnight of the badge's last day
                            "0001770000I010720260800\r\n"  // 3 employee 2
                            "0003000000I010720260800\r\n"  // 4 assigned to nobody
                            "0009990000I010720260800\r\n"  // 5 unknown badge
                            "\r\n"                         // 6 blank
                            "0001770000X010720261200\r\n"  // 7 no direction
                            "0001770000O010720261x00\r\n"  // 8 bad time
                            "0001770000O01072049173\r\n"   // 9 short time
                            "0001770000O0107204917\xC3\xA0\r\n"  // 10 non-ASCII bytes
                            "0001770000O010720491730\n"    // 11 year 2049
                            "000177 7  O010720261000\n"    // 12 a cause in spaces
                            "000177\xE0   O010720261100";  // 13 a Latin-1 cause, no line end
    const QString file = scrivi(amb.dir(), dati);
    FormatoFileAcq f = formato();
    f.FormatoData = QStringLiteral("GGMMAAAA");
    ImportaTimbrature imp(amb.dtm(), f);
    AvanzamentoRegistro av;
    EsitoImportTimbrature e = imp.Importa(file, av);
    QVERIFY(e.eseguita);
    QCOMPARE(e.righe, 13);
    QCOMPARE(e.importate, 5);
    const QList<AvvisoImport> attesi{{2, ErrBadgeNonValido}, {4, ErrBadgeNonValido}, {5, ErrBadgeNonValido}, {6, ErrDataFormato},
                                     {7, ErrTimbraturaNonRegistrata}, {8, ErrOraNonValida}, {9, ErrOraNonValida}, {10, ErrOraNonValida}};
    QCOMPARE(e.avvisi, attesi);
    QVERIFY(!e.completa());
    QCOMPARE(av.chiamate.first(), QStringLiteral("Inizia %1 13").arg(amb.dtm().TestoScelta(EtImportaTimbrature)));
    QCOMPARE(av.valori.last(), 13);
    QCOMPARE(av.chiamate.last(), QStringLiteral("Termina"));
    QCOMPARE(Banco::colonna(amb.db(), QStringLiteral("SELECT IdDip || ' ' || DataV || ' ' || DataO || ' ' || VersoV || VersoO || ' ' || "
                                                     "COALESCE(Caus, '-') FROM Timbrature ORDER BY DataV")),
             QStringLiteral("1 2026-06-29 08:00:00 2026-06-29 08:00:00 EE 0012,"
                            "2 2026-07-01 08:00:00 2026-07-01 08:00:00 EE -,"
                            "2 2026-07-01 10:00:00 2026-07-01 10:00:00 UU 0007,"
                            "2 2026-07-01 11:00:00 2026-07-01 11:00:00 UU 000\u00e0,"
                            "2 2049-07-01 17:30:00 2049-07-01 17:30:00 UU -"));
    QCOMPARE(imp.Descrivi(e.avvisi.first()), QStringLiteral("%1 2: 2601 %2").arg(amb.dtm().TestoScelta(EtRiga), amb.dtm().TestoErrore(2601)));

    // Processing moved a valid time: the same file again still stores nothing new.
    amb.esegui(QStringLiteral("UPDATE Timbrature SET DataV = '2026-07-01 08:05:00' WHERE IdDip = 2 AND DataV = '2026-07-01 08:00:00'"));
    e = imp.Importa(file, av);
    QCOMPARE(e.importate, 0);
    QCOMPARE(e.avvisi.size(), 13);
    for (int r : {1, 3, 11, 12, 13})
        QVERIFY(e.avvisi.contains(AvvisoImport{r, ErrTimbraturaNonRegistrata}));
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 5);
}

void TstImporta::dataInesistente()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES ('0000000177', '1900-01-01 00:00:00', 1)"));
    // Two-digit years: 49 is 2049, 50 is 1950.
    FormatoFileAcq f = formato();
    f.FormatoData = QStringLiteral("GG/MM/AA");
    f.PosizOra = 20;
    const QString file = scrivi(amb.dir(), "0001770000I01/03/490800\n"
                                           "0001770000I01/03/500800\n"
                                           "0001770000I31/04/260800\n"
                                           "0001770000I02/03/500800\n");
    ImportaTimbrature imp(amb.dtm(), f);
    AvanzamentoRegistro av;
    const EsitoImportTimbrature e = imp.Importa(file, av);
    QCOMPARE(e.rigaDataInesistente, 3);
    QCOMPARE(e.importate, 2);
    QVERIFY(!e.completa());
    QCOMPARE(av.chiamate.last(), QStringLiteral("Termina"));
    QCOMPARE(Banco::colonna(amb.db(), QStringLiteral("SELECT DataV FROM Timbrature ORDER BY DataV")),
             QStringLiteral("1950-03-01 08:00:00,2049-03-01 08:00:00"));
}

void TstImporta::nonEseguita()
{
    Ambiente amb;
    FormatoFileAcq f = formato();
    f.PosizCausale = 6;
    const QString file = scrivi(amb.dir(), "0001770000I091220260800\n");
    AvanzamentoRegistro av;
    EsitoImportTimbrature e = ImportaTimbrature(amb.dtm(), f).Importa(file, av);
    QVERIFY(!e.eseguita);
    QVERIFY(av.chiamate.isEmpty());
    e = ImportaTimbrature(amb.dtm(), formato()).Importa(amb.dir() + QStringLiteral("/manca.dat"), av);
    QVERIFY(e.eseguita && e.letturaFallita);
    // A file of 0 bytes has no line and imports nothing.
    e = ImportaTimbrature(amb.dtm(), formato()).Importa(scrivi(amb.dir(), {}), av);
    QVERIFY(e.completa());
    QCOMPARE(e.righe, 0);
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 0);
}

QTEST_GUILESS_MAIN(TstImporta)
#include "tst_importa.moc"
