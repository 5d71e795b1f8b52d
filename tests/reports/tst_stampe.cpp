// The work-plan reports on a small, hand-made work plan: what each report lists, the cut
// punch texts, the number formats, and the frame that turns a report into pages and files.

#include "ambiente.h"

#include "messaggi.h"
#include "catalogo.h"
#include "dialetto.h"
#include "esportazione.h"
#include "impaginazione.h"
#include "rptpiano.h"

#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QTest>

namespace {

const QDate kDal(2026, 11, 2);  // a Monday
const QDate kAl(2026, 11, 8);

QDateTime ora(const QDate& d, int h, int m)
{
    return QDateTime(d, QTime(h, m));
}

// The detail lines of a document, each as its cells; group headings as one cell "# …".
QList<QStringList> righe(const DocumentoStampa& doc)
{
    QList<QStringList> out;
    for (const RigaStampa& r : doc.righe) {
        if (r.tipo == RigaStampa::Tipo::Gruppo)
            out.append({QStringLiteral("# ") + r.celle.value(0)});
        else if (r.tipo == RigaStampa::Tipo::Dettaglio)
            out.append(r.celle);
        else
            out.append(QStringList{QStringLiteral("=")} + r.celle);
    }
    return out;
}

QStringList colonna(const DocumentoStampa& doc, int c)
{
    QStringList out;
    for (const RigaStampa& r : doc.righe)
        if (r.tipo == RigaStampa::Tipo::Dettaglio)
            out << r.celle.value(c);
    return out;
}

// Records of a CSV export (the byte-order mark removed, quotes honoured).
QList<QStringList> leggiCsv(const QByteArray& dati)
{
    if (!dati.startsWith("\xEF\xBB\xBF"))
        return {{QStringLiteral("CSV without byte-order mark")}};
    const QString testo = QString::fromUtf8(dati.mid(3));
    QList<QStringList> out;
    QStringList record;
    QString campo;
    bool virgolette = false;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo.at(i);
        if (virgolette) {
            if (c == QLatin1Char('"') && i + 1 < testo.size() && testo.at(i + 1) == QLatin1Char('"')) {
                campo += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                virgolette = false;
            } else {
                campo += c;
            }
        } else if (c == QLatin1Char('"')) {
            virgolette = true;
        } else if (c == QLatin1Char(';')) {
            record << campo;
            campo.clear();
        } else if (c == QLatin1Char('\r')) {
            continue;
        } else if (c == QLatin1Char('\n')) {
            record << campo;
            out << record;
            record.clear();
            campo.clear();
        } else {
            campo += c;
        }
    }
    return out;
}

class Piano {
public:
    Piano()
    {
        amb.dtm().CaricaMemoria();
        amb.esegui(QStringLiteral("INSERT INTO OrariRep (Id, Descr, cvDescr, TipoO) VALUES (1, :Descr, 'GIO', 'N')"),
                   {{"Descr", QStringLiteral("Giornaliero")}});
    }

    void dipendente(int id, const QString& matricola, const QString& cognome, const QString& nome, const QString& badge = {})
    {
        amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Classe) VALUES (:Id, :Matricola, :Cognome, :Nome, 'D')"),
                   {{"Id", id}, {"Matricola", matricola}, {"Cognome", cognome}, {"Nome", nome}});
        if (!badge.isEmpty())
            amb.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES (:Codice, :Inizio, :Id)"),
                       {{"Codice", badge}, {"Inizio", Sql::data(QDate(2020, 1, 1))}, {"Id", id}});
    }

    void giorno(int id, const QDate& d, int stato, QVariant ord = {}, QVariant ecc = {}, QVariant pres = {}, QVariant car = {},
                const QString& note = {}, QVariant orario = 1)
    {
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato, IdOrario, ValOrdinario, ValEccedenza, ValPresenza, "
                                  "ValCarenza, Note) VALUES (:IdDip, :Data, :Stato, :IdOrario, :Ord, :Ecc, :Pres, :Car, :Note)"),
                   {{"IdDip", id}, {"Data", Sql::data(d)}, {"Stato", stato}, {"IdOrario", orario}, {"Ord", ord}, {"Ecc", ecc},
                    {"Pres", pres}, {"Car", car}, {"Note", Sql::testo(note)}});
    }

    // A punch; `originale` false leaves the recorded values empty, as for a punch added by hand.
    void timbratura(int id, const QDateTime& valida, const QString& verso, bool originale = true, QDateTime registrata = {},
                    QString versoO = {})
    {
        if (originale && !registrata.isValid())
            registrata = valida;
        if (originale && versoO.isEmpty())
            versoO = verso;
        amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, DataO, VersoV, VersoO) VALUES (:IdDip, :DataV, :DataO, :VersoV, :VersoO)"),
                   {{"IdDip", id}, {"DataV", Sql::dataOra(valida)}, {"DataO", originale ? Sql::dataOra(registrata) : QVariant()},
                    {"VersoV", verso}, {"VersoO", Sql::testo(versoO)}});
    }

    // n alternating punches from 06:00, one every 10 minutes.
    void timbrature(int id, const QDate& d, int n)
    {
        for (int i = 0; i < n; ++i)
            timbratura(id, ora(d, 6 + i / 6, (i % 6) * 10), i % 2 ? QStringLiteral("U") : QStringLiteral("E"));
    }

    ParametriPiano parametri(QDate dal = kDal, QDate al = kAl)
    {
        ParametriPiano p;
        p.dal = dal;
        p.al = al;
        p.titolo = QStringLiteral("Titolo");
        p.rigaSelezione = Stampa::RigaSelezionePiano(amb.dtm(), dal, al);
        return p;
    }

    DocumentoStampa documento(int codice, const ParametriPiano& p)
    {
        std::optional<DocumentoStampa> d = Stampa::DocumentoPiano(amb.dtm(), codice, p);
        if (!d)
            throw std::runtime_error("no report for the code");
        return *d;
    }
    DocumentoStampa documento(int codice) { return documento(codice, parametri()); }

    Ambiente amb;
};

}  // namespace

class TestStampe : public QObject {
    Q_OBJECT
private slots:
    void taglioTimbrature_data();
    void taglioTimbrature();
    void oreGiorno_data();
    void oreGiorno();
    void periodoMassimo_data();
    void periodoMassimo();
    void larghezzeDeiReport_data();
    void larghezzeDeiReport();
    void rigaDelDettaglio();
    void totaliDelDettaglio();
    void reportDeiTotali();
    void dipendenteSenzaGiorniNonStampaNulla();
    void statoSenzaDescrizioneSoloNeiTotali();
    void dipendenteSenzaBadgeFuoriDaiTotali();
    void versoEOriginali();
    void anomalieSoloStato2SenzaTotali();
    void selezioneNelSuoOrdine();
    void queryDeiTotali();
    void esportazioni();
    void celleDelleEsportazioni_data();
    void celleDelleEsportazioni();
    void pagine();
    void testiInteriSuOgniDispositivo_data();
    void testiInteriSuOgniDispositivo();
    void logoMancante();
    void rigaDiSelezione();
};

void TestStampe::taglioTimbrature_data()
{
    QTest::addColumn<int>("lunghezza");
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("shorter than the width") << 20 << 55 << QString(20, QLatin1Char('x'));
    QTest::newRow("exactly the width") << 55 << 55 << QString(55, QLatin1Char('x'));
    QTest::newRow("one over: its blank dropped, no mark") << 56 << 55 << QString(55, QLatin1Char('x'));
    QTest::newRow("two over: cut and marked") << 57 << 55 << QString(55, QLatin1Char('x')) + QStringLiteral(" *");
    QTest::newRow("far over") << 200 << 125 << QString(125, QLatin1Char('x')) + QStringLiteral(" *");
    QTest::newRow("empty") << 0 << 69 << QString();
}

void TestStampe::taglioTimbrature()
{
    QFETCH(int, lunghezza);
    QFETCH(int, larghezza);
    QFETCH(QString, atteso);
    QCOMPARE(Stampa::TagliaTimbrature(QString(lunghezza, QLatin1Char('x')), larghezza), atteso);
}

void TestStampe::oreGiorno_data()
{
    QTest::addColumn<QVariant>("minuti");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("null") << QVariant() << QString();
    QTest::newRow("zero") << QVariant(0) << QString();
    QTest::newRow("negative") << QVariant(-30) << QString();
    QTest::newRow("one minute") << QVariant(1) << QStringLiteral("00.01");
    QTest::newRow("510") << QVariant(510) << QStringLiteral("08.30");
    QTest::newRow("23:59") << QVariant(1439) << QStringLiteral("23.59");
    QTest::newRow("24 hours") << QVariant(1440) << QStringLiteral("##.##");
}

void TestStampe::oreGiorno()
{
    QFETCH(QVariant, minuti);
    QFETCH(QString, atteso);
    QCOMPARE(Stampa::OreGiorno(minuti), atteso);
}

void TestStampe::periodoMassimo_data()
{
    QTest::addColumn<int>("codice");
    QTest::addColumn<int>("giorni");
    QTest::addColumn<bool>("rifiutato");
    for (int codice = 1; codice <= 7; ++codice) {
        const bool limitato = codice >= 3 && codice <= 5;
        QTest::addRow("code %d, 31 days", codice) << codice << 31 << false;
        QTest::addRow("code %d, 32 days", codice) << codice << 32 << limitato;
    }
}

void TestStampe::periodoMassimo()
{
    QFETCH(int, codice);
    QFETCH(int, giorni);
    QFETCH(bool, rifiutato);
    const QDate dal(2026, 1, 1);
    QCOMPARE(Stampa::PeriodoTroppoLungo(codice, dal, dal.addDays(giorni - 1)), rifiutato);
}

// Each report cuts the punch text at its own width: a day with one punch too many for it is
// cut and marked, a day with exactly as many as fit shows them all.
void TestStampe::larghezzeDeiReport_data()
{
    QTest::addColumn<int>("codice");
    QTest::addColumn<int>("indice");
    QTest::addColumn<int>("larghezza");
    QTest::newRow("punches, original") << 1 << 2 << 125;
    QTest::newRow("punches, valid") << 2 << 2 << 125;
    QTest::newRow("detail") << 3 << 4 << 69;
    QTest::newRow("notes, original") << 4 << 4 << 55;
    QTest::newRow("notes, valid") << 5 << 4 << 55;
    QTest::newRow("anomalies") << 7 << 4 << 55;
}

void TestStampe::larghezzeDeiReport()
{
    QFETCH(int, codice);
    QFETCH(int, indice);
    QFETCH(int, larghezza);
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    // Tokens take 7 characters with their blank: (W + 1) / 7 of them fit entirely.
    const int entrano = (larghezza + 1) / 7;
    p.giorno(1, kDal, 2);
    p.timbrature(1, kDal, entrano);
    p.giorno(1, kDal.addDays(1), 2);
    p.timbrature(1, kDal.addDays(1), entrano + 1);

    const QStringList testi = colonna(p.documento(codice), indice);
    QCOMPARE(testi.size(), 2);
    QVERIFY(!testi.at(0).endsWith(QLatin1String(" *")));
    QCOMPARE(testi.at(0).split(QLatin1Char(' '), Qt::SkipEmptyParts).size(), entrano);
    QCOMPARE(testi.at(1).size(), larghezza + 2);
    QVERIFY(testi.at(1).endsWith(QLatin1String(" *")));
    QVERIFY(testi.at(1).startsWith(testi.at(0).left(larghezza - 7)));
}

void TestStampe::rigaDelDettaglio()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    p.giorno(1, kDal, 3, 480, 45, 525, 0, QStringLiteral("Visita medica"));
    p.timbratura(1, ora(kDal, 8, 0), QStringLiteral("E"));
    p.timbratura(1, ora(kDal, 17, 45), QStringLiteral("U"));
    p.giorno(1, kDal.addDays(6), 2, QVariant(), QVariant(), QVariant(), 1440, QString(), QVariant());

    const QList<QStringList> dettaglio = righe(p.documento(Stampa::kDettaglio));
    QCOMPARE(dettaglio.at(0), QStringList{QStringLiteral("# Dipendente Rossi Mario    0000000001")});
    QCOMPARE(dettaglio.at(1), (QStringList{QStringLiteral("02/11/2026"), QStringLiteral("Lu"), QStringLiteral("Chiusa"),
                                           QStringLiteral("Giorna"), QStringLiteral("E08:00 U17:45 "), QStringLiteral("08.00"),
                                           QStringLiteral("00.45"), QStringLiteral("08.45"), QString()}));
    // A Sunday without timetable and with a day's absence: weekday "Do", no timetable, ##.##.
    QCOMPARE(dettaglio.at(2), (QStringList{QStringLiteral("08/11/2026"), QStringLiteral("Do"), QStringLiteral("Anomala"), QString(),
                                           QString(), QString(), QString(), QString(), QStringLiteral("##.##")}));

    // The notes report adds the note, cut to 50 characters.
    p.amb.esegui(QStringLiteral("UPDATE PianoSomma SET Note = :Note WHERE IdDip = 1 AND Data = :Data"),
                 {{"Note", QString(50, QLatin1Char('n'))}, {"Data", Sql::data(kDal)}});
    QCOMPARE(colonna(p.documento(Stampa::kNoteOriginali), 9).first(), QString(50, QLatin1Char('n')));
}

void TestStampe::totaliDelDettaglio()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    p.dipendente(2, QStringLiteral("0000000002"), QStringLiteral("Verdi"), QStringLiteral("Anna"));
    // 9150 ordinary minutes over the week; no excess, no absence.
    for (int i = 0; i < 6; ++i)
        p.giorno(1, kDal.addDays(i), 3, 1500, QVariant(), 1500, 0);
    p.giorno(1, kAl, 3, 150, QVariant(), 150, QVariant());
    p.giorno(2, kDal, 3, 0, 5, 5, 75);

    const QList<QStringList> r = righe(p.documento(Stampa::kDettaglio));
    QCOMPARE(r.at(8), (QStringList{QStringLiteral("="), QStringLiteral("Totale Ore Ordinarie"), QStringLiteral("152.30"),
                                   QStringLiteral("Totale Ore Straordinarie"), QStringLiteral("0.00"),
                                   QStringLiteral("Totale Ore Assenza"), QStringLiteral("0.00")}));
    QCOMPARE(r.last(), (QStringList{QStringLiteral("="), QStringLiteral("Totale Ore Ordinarie"), QStringLiteral("0.00"),
                                    QStringLiteral("Totale Ore Straordinarie"), QStringLiteral("0.05"),
                                    QStringLiteral("Totale Ore Assenza"), QStringLiteral("1.15")}));
    // The notes report has the same totals line; the anomalies report has none.
    QCOMPARE(righe(p.documento(Stampa::kNoteValide)).at(8), r.at(8));
}

void TestStampe::reportDeiTotali()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("0000000101"));
    p.dipendente(2, QStringLiteral("0000000002"), QStringLiteral("Bianchi"), QStringLiteral("Luca"), QStringLiteral("0000000102"));
    for (int i = 0; i < 6; ++i)
        p.giorno(1, kDal.addDays(i), 3, 1500, 75, 1575, QVariant());
    p.giorno(1, kAl, 1);  // nothing yet: counts 0
    p.giorno(1, kAl.addDays(1), 3, 480, 480, 480, 480);  // outside the period
    p.giorno(2, kDal, 3, 450, 0, 450, 30);

    const DocumentoStampa doc = p.documento(Stampa::kTotali);
    const QList<QStringList> r = righe(doc);
    QCOMPARE(r.size(), 3);
    // By surname: Bianchi first.
    QCOMPARE(r.at(0), (QStringList{QStringLiteral("0000000002"), QStringLiteral("Bianchi Luca"), QStringLiteral("0000000102"),
                                   QStringLiteral("07.30"), QStringLiteral("00.00"), QStringLiteral("07.30"), QStringLiteral("00.30")}));
    QCOMPARE(r.at(1), (QStringList{QStringLiteral("0000000001"), QStringLiteral("Rossi Mario"), QStringLiteral("0000000101"),
                                   QStringLiteral("150.00"), QStringLiteral("07.30"), QStringLiteral("157.30"), QStringLiteral("00.00")}));
    QCOMPARE(r.at(2), (QStringList{QStringLiteral("="), QStringLiteral("Totale Ore Ordinarie"), QStringLiteral("157.30"),
                                   QStringLiteral("Totale Ore Straordinarie"), QStringLiteral("07.30"),
                                   QStringLiteral("Totale Ore Presenza"), QStringLiteral("165.00"),
                                   QStringLiteral("Totale Ore Assenza"), QStringLiteral("00.30")}));
    QCOMPARE(doc.colonne.size(), 7);
    QCOMPARE(doc.colonne.at(3).titolo, QStringLiteral("Ore Ordinarie"));
}

void TestStampe::dipendenteSenzaGiorniNonStampaNulla()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("0000000101"));
    p.dipendente(2, QStringLiteral("0000000002"), QStringLiteral("Bianchi"), QStringLiteral("Luca"), QStringLiteral("0000000102"));
    p.giorno(1, kDal, 2);
    p.timbrature(2, kDal, 2);  // punches, but no work-plan day in the period
    p.giorno(2, kAl.addDays(1), 2);

    for (int codice = 1; codice <= 7; ++codice) {
        const QList<QStringList> r = righe(p.documento(codice));
        for (const QStringList& riga : r)
            QVERIFY2(!riga.join(QLatin1Char('|')).contains(QLatin1String("Bianchi")), qPrintable(QString::number(codice)));
        QVERIFY2(!r.isEmpty(), qPrintable(QString::number(codice)));
    }
}

void TestStampe::statoSenzaDescrizioneSoloNeiTotali()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("0000000101"));
    p.giorno(1, kDal, 2, 60, QVariant(), 60, QVariant());
    p.giorno(1, kDal.addDays(1), 9, 120, QVariant(), 120, QVariant());  // state 9 has no description
    p.timbrature(1, kDal.addDays(1), 2);

    for (int codice : {1, 2, 3, 4, 5, 7}) {
        const QStringList date = colonna(p.documento(codice), 0);
        QCOMPARE(date, QStringList{QStringLiteral("02/11/2026")});
    }
    // The totals report has no state condition: both days count.
    QCOMPARE(righe(p.documento(Stampa::kTotali)).first().at(3), QStringLiteral("03.00"));
}

void TestStampe::dipendenteSenzaBadgeFuoriDaiTotali()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("0000000101"));
    p.dipendente(2, QStringLiteral("0000000002"), QStringLiteral("Bianchi"), QStringLiteral("Luca"));
    p.giorno(1, kDal, 3, 60, QVariant(), 60, QVariant());
    p.giorno(2, kDal, 3, 60, QVariant(), 60, QVariant());

    const QList<QStringList> r = righe(p.documento(Stampa::kTotali));
    QCOMPARE(r.size(), 2);
    QCOMPARE(r.at(0).at(1), QStringLiteral("Rossi Mario"));
    QCOMPARE(r.at(1).at(2), QStringLiteral("01.00"));  // the grand total has Rossi alone
    // Without a badge the employee is still in the other reports.
    QCOMPARE(colonna(p.documento(Stampa::kDettaglio), 0).size(), 2);
}

void TestStampe::versoEOriginali()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    p.giorno(1, kDal, 2);
    p.timbratura(1, ora(kDal, 8, 0), QStringLiteral("E"), true, ora(kDal, 7, 58));
    p.timbratura(1, ora(kDal, 12, 0), QStringLiteral("X"));                 // unknown code: exit letter
    p.timbratura(1, ora(kDal, 13, 0), QStringLiteral("E"), true, ora(kDal, 13, 0), QStringLiteral("U"));
    p.timbratura(1, ora(kDal, 17, 0), QStringLiteral("U"), false);          // added by hand

    QCOMPARE(colonna(p.documento(Stampa::kTimbValide), 2).first(), QStringLiteral("E08:00 U12:00 E13:00 U17:00 "));
    QCOMPARE(colonna(p.documento(Stampa::kTimbOriginali), 2).first(), QStringLiteral("E07:58 U12:00 U13:00 "));
    QCOMPARE(colonna(p.documento(Stampa::kDettaglio), 4).first(), QStringLiteral("E07:58 U12:00 U13:00 "));
    QCOMPARE(colonna(p.documento(Stampa::kNoteValide), 4).first(), QStringLiteral("E08:00 U12:00 E13:00 U17:00 "));

    // A punch of the next day recorded before midnight belongs, as original, to the day before.
    p.giorno(1, kDal.addDays(1), 2);
    p.timbratura(1, ora(kDal.addDays(1), 0, 5), QStringLiteral("U"), true, ora(kDal, 23, 59));
    QCOMPARE(colonna(p.documento(Stampa::kTimbOriginali), 2),
             (QStringList{QStringLiteral("E07:58 U12:00 U13:00 U23:59 "), QString()}));
    QCOMPARE(colonna(p.documento(Stampa::kTimbValide), 2).last(), QStringLiteral("U00:05 "));
}

void TestStampe::anomalieSoloStato2SenzaTotali()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    p.dipendente(2, QStringLiteral("0000000002"), QStringLiteral("Bianchi"), QStringLiteral("Luca"));
    p.dipendente(3, QStringLiteral("0000000003"), QStringLiteral("Verdi"), QStringLiteral("Anna"));
    p.giorno(1, kDal, 2);
    p.giorno(1, kDal.addDays(1), 3);
    p.giorno(1, kDal.addDays(2), 1);
    p.giorno(2, kDal, 3);
    p.giorno(3, kDal.addDays(3), 2);
    // Why the days are anomalous: each code once, in the order recorded; the anomalies of
    // days the report does not list stay out.
    for (auto [id, giorno, prog, codice] : {std::tuple{1, 0, 1, 450}, std::tuple{1, 0, 2, 212}, std::tuple{1, 0, 3, 450},
                                            std::tuple{1, 1, 1, 202}, std::tuple{3, 2, 1, 455}})
        p.amb.esegui(QStringLiteral("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, Prod, IdSegnalaz) VALUES (:Id, :Data, :Prog, 'P', :Codice)"),
                     {{"Id", id}, {"Data", Sql::data(kDal.addDays(giorno))}, {"Prog", prog}, {"Codice", codice}});

    const DocumentoStampa doc = p.documento(Stampa::kAnomalie);
    QCOMPARE(righe(doc), (QList<QStringList>{
                             {QStringLiteral("# Dipendente Rossi Mario    0000000001")},
                             {QStringLiteral("02/11/2026"), QStringLiteral("Lu"), QStringLiteral("Anomala"), QStringLiteral("Giorna"),
                              QString(), QString(), QString(), QString(), QString(), QString(),
                              QStringLiteral("450 Verso della timbratura corretto dall'elaborazione; 212 Presenza inferiore alle ore medie previste")},
                             {QStringLiteral("# Dipendente Verdi Anna    0000000003")},
                             {QStringLiteral("05/11/2026"), QStringLiteral("Gi"), QStringLiteral("Anomala"), QStringLiteral("Giorna"),
                              QString(), QString(), QString(), QString(), QString(), QString(), QString()},
                         }));
    // The new column shares the notes report's line: the punches keep their room.
    const DocumentoStampa note = p.documento(Stampa::kNoteOriginali);
    QCOMPARE(doc.colonne.last().titolo, QStringLiteral("Anomalie"));
    QCOMPARE(doc.colonne.size(), note.colonne.size() + 1);
    const auto larghezza = [](const DocumentoStampa& d) {
        int l = 0;
        for (const ColonnaStampa& c : d.colonne)
            l += c.larghezza;
        return l;
    };
    QCOMPARE(larghezza(doc), larghezza(note));
    QCOMPARE(doc.colonne.at(4).titolo, QStringLiteral("Timbrature"));
    QCOMPARE(doc.colonne.at(4).larghezza, note.colonne.at(4).larghezza);
    // Employees follow one another on the same page; the detail report opens a page for each.
    for (const RigaStampa& r : doc.righe)
        QVERIFY(!r.nuovaPagina);
    int gruppiConPagina = 0;
    for (const RigaStampa& r : p.documento(Stampa::kDettaglio).righe)
        gruppiConPagina += r.tipo == RigaStampa::Tipo::Gruppo && r.nuovaPagina;
    QCOMPARE(gruppiConPagina, 3);
}

void TestStampe::selezioneNelSuoOrdine()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000030"), QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("0000000101"));
    p.dipendente(2, QStringLiteral("0000000010"), QStringLiteral("Verdi"), QStringLiteral("Anna"), QStringLiteral("0000000102"));
    p.dipendente(3, QStringLiteral("0000000020"), QStringLiteral("Bianchi"), QStringLiteral("Luca"), QStringLiteral("0000000103"));
    for (int id = 1; id <= 3; ++id)
        p.giorno(id, kDal, 3, 60 * id, QVariant(), 60 * id, QVariant());

    const auto gruppi = [&](const ParametriPiano& par) {
        QStringList out;
        for (const QStringList& r : righe(p.documento(Stampa::kDettaglio, par)))
            if (r.first().startsWith(QLatin1Char('#')))
                out << r.first().section(QLatin1Char(' '), 2, 2);
        return out;
    };
    ParametriPiano par = p.parametri();
    QCOMPARE(gruppi(par), (QStringList{QStringLiteral("Bianchi"), QStringLiteral("Rossi"), QStringLiteral("Verdi")}));
    par.selezione.ordine = QStringLiteral("Matricola");
    QCOMPARE(gruppi(par), (QStringList{QStringLiteral("Verdi"), QStringLiteral("Bianchi"), QStringLiteral("Rossi")}));

    // A selection kept in the work database holds only the chosen employees.
    p.amb.esegui(QStringLiteral("INSERT INTO ':dbPresUt:SelezioneStampa' (Id, Matricola, Cognome, Nome, Classe) "
                                "SELECT Id, Matricola, Cognome, Nome, Classe FROM Anagrafico WHERE Id <> 3"));
    par.selezione = {QStringLiteral("SelezioneStampa.DB"), QStringLiteral("dbPresUt"), QStringLiteral("Cognome;Nome")};
    QCOMPARE(gruppi(par), (QStringList{QStringLiteral("Rossi"), QStringLiteral("Verdi")}));
    const QList<QStringList> totali = righe(p.documento(Stampa::kTotali, par));
    QCOMPARE(totali.size(), 3);
    QCOMPARE(totali.last().at(2), QStringLiteral("03.00"));

    // Names are spelled into the statement, so anything but a plain name is refused.
    par.selezione.tabella = QStringLiteral("Anagrafico; DROP TABLE Anagrafico");
    QVERIFY_THROWS_EXCEPTION(ErroreDb, p.documento(Stampa::kDettaglio, par));
    QVERIFY_THROWS_EXCEPTION(ErroreDb, p.documento(Stampa::kTotali, par));
    QCOMPARE(p.amb.conta(QStringLiteral("Anagrafico")), 3);
}

void TestStampe::queryDeiTotali()
{
    const QStringList righeQuery = Stampa::QueryTotali(QStringLiteral("AnagraficoSelezione.DB"), QStringLiteral("dbPresUt")).split(QLatin1Char('\n'));
    QCOMPARE(righeQuery.size(), 12);
    QCOMPARE(righeQuery.at(0), QStringLiteral("SELECT AnagraficoSelezione.Id, AnagraficoSelezione.Matricola,"));
    QCOMPARE(righeQuery.at(5), QStringLiteral("    FROM ':dbPresUt:AnagraficoSelezione', Badge,"));
    QCOMPARE(righeQuery.at(11), QStringLiteral("    ORDER BY AnagraficoSelezione.Cognome, AnagraficoSelezione.Nome,PianoSomma.IdDip, PianoSomma.Data"));
}

void TestStampe::esportazioni()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    p.giorno(1, kDal, 3, 480, QVariant(), 480, QVariant(), QStringLiteral("Uscita \"anticipata\"; <permesso>"));
    p.timbratura(1, ora(kDal, 8, 0), QStringLiteral("E"));
    const DocumentoStampa doc = p.documento(Stampa::kNoteValide);

    const QList<QStringList> csv = leggiCsv(Stampa::Csv(doc));
    QCOMPARE(csv.at(0), (QStringList{QStringLiteral("Data"), QString(), QStringLiteral("Stato"), QStringLiteral("Orario"),
                                     QStringLiteral("Timbrature"), QStringLiteral("Ord"), QStringLiteral("Stra"), QStringLiteral("Pres"),
                                     QStringLiteral("Ass"), QStringLiteral("Note")}));
    QCOMPARE(csv.at(1), QStringList{QStringLiteral("Dipendente Rossi Mario    0000000001")});
    QCOMPARE(csv.at(2).at(9), QStringLiteral("Uscita \"anticipata\"; <permesso>"));
    QCOMPARE(csv.at(2).at(5), QStringLiteral("08.00"));
    QCOMPARE(csv.at(3), (QStringList{QStringLiteral("Totale Ore Ordinarie"), QStringLiteral("8.00"), QStringLiteral("Totale Ore Straordinarie"),
                                     QStringLiteral("0.00"), QStringLiteral("Totale Ore Assenza"), QStringLiteral("0.00")}));

    const QString testo = Stampa::TestoSemplice(doc);
    QVERIFY(testo.contains(QLatin1String("Titolo\n")));
    QVERIFY(testo.contains(doc.selezione));
    QVERIFY(testo.contains(QLatin1String("Totale Ore Ordinarie 8.00    Totale Ore Straordinarie 0.00")));
    // Columns line up: the day line's note starts where its title does.
    const QStringList linee = testo.split(QLatin1Char('\n'));
    const auto titoli = std::find_if(linee.begin(), linee.end(), [](const QString& l) { return l.startsWith(QLatin1String("Data ")); });
    const auto giorno = std::find_if(linee.begin(), linee.end(), [](const QString& l) { return l.startsWith(QLatin1String("02/11/2026")); });
    QVERIFY(titoli != linee.end() && giorno != linee.end());
    QCOMPARE(giorno->indexOf(QLatin1String("Uscita")), titoli->indexOf(QLatin1String("Note")));

    const QString html = Stampa::Html(doc);
    QVERIFY(html.contains(QLatin1String("&lt;permesso&gt;")));
    QVERIFY(!html.contains(QLatin1String("<permesso>")));

    // Every form through the file writer; a file that cannot be written is a reported failure.
    for (Stampa::Formato f : {Stampa::Formato::Pdf, Stampa::Formato::Testo, Stampa::Formato::Csv, Stampa::Formato::Html}) {
        const QString file = p.amb.dir() + QStringLiteral("/stampa.") + Stampa::EstensioneFormato(f);
        Stampa::Salva(doc, f, file);
        QFile letto(file);
        QVERIFY(letto.open(QIODevice::ReadOnly));
        const QByteArray inizio = letto.read(5);
        if (f == Stampa::Formato::Pdf)
            QCOMPARE(inizio, QByteArray("%PDF-"));
        else
            QVERIFY(!inizio.isEmpty());
        try {
            Stampa::Salva(doc, f, p.amb.dir() + QStringLiteral("/manca/stampa.out"));
            QFAIL("saving into a missing folder succeeded");
        } catch (const ErroreStampa& e) {
            QCOMPARE(e.numero(), Msg::ErrScrittura);
        }
    }
    Stampa::Formato f;
    QVERIFY(Stampa::FormatoDaTesto(QStringLiteral("CSV"), &f) && f == Stampa::Formato::Csv);
    QVERIFY(!Stampa::FormatoDaTesto(QStringLiteral("doc"), &f));
}

void TestStampe::celleDelleEsportazioni_data()
{
    QTest::addColumn<QString>("valore");
    QTest::addColumn<QString>("inCsv");     // the cell as a spreadsheet reads it
    QTest::addColumn<QString>("inTesto");   // the cell in the text layout

    QTest::newRow("formula") << "=HYPERLINK(\"http://x\";\"clic\")" << "'=HYPERLINK(\"http://x\";\"clic\")" << "=HYPERLINK(\"http://x\";\"clic\")";
    QTest::newRow("piu'") << "+39 333 1234567" << "'+39 333 1234567" << "+39 333 1234567";
    QTest::newRow("meno con un'operazione") << "-2+3" << "'-2+3" << "-2+3";
    QTest::newRow("chiocciola") << "@SOMMA(A1)" << "'@SOMMA(A1)" << "@SOMMA(A1)";
    QTest::newRow("numero negativo") << "-8" << "-8" << "-8";
    QTest::newRow("ore negative") << "-01.30" << "-01.30" << "-01.30";
    QTest::newRow("orario negativo") << "-07:45" << "-07:45" << "-07:45";
    QTest::newRow("testo comune") << "Rossi" << "Rossi" << "Rossi";
    QTest::newRow("a capo") << "riga 1\r\nriga 2\nriga 3" << "riga 1\r\nriga 2\nriga 3" << "riga 1  riga 2 riga 3";
    QTest::newRow("separatore di riga Unicode") << QStringLiteral("uno\u2028due") << QStringLiteral("uno\u2028due") << "uno due";
}

void TestStampe::celleDelleEsportazioni()
{
    QFETCH(QString, valore);
    QFETCH(QString, inCsv);
    QFETCH(QString, inTesto);

    const auto documento = [](const QString& v) {
        DocumentoStampa doc;
        doc.titolo = QStringLiteral("Titolo");
        doc.selezione = v;
        doc.colonne = {{QStringLiteral("Nome"), 30}, {QStringLiteral("Ore"), 6, true}};
        doc.aggiungiGruppo(v, false);
        doc.aggiungiRiga({v, QStringLiteral("1.00")});
        return doc;
    };
    const DocumentoStampa doc = documento(valore);
    QCOMPARE(leggiCsv(Stampa::Csv(doc)).mid(1), (QList<QStringList>{{inCsv}, {inCsv, QStringLiteral("1.00")}}));
    // The text layout keeps one line per line of the report, whatever the value holds.
    const QString testo = Stampa::TestoSemplice(doc);
    QCOMPARE(testo.count(QLatin1Char('\n')), Stampa::TestoSemplice(documento(QStringLiteral("x"))).count(QLatin1Char('\n')));
    QVERIFY(!testo.contains(QLatin1Char('\r')) && !testo.contains(QChar::LineSeparator));
    const QStringList linee = testo.split(QLatin1Char('\n'));
    QCOMPARE(linee.count(inTesto), 2);  // the selection line and the group heading
    QVERIFY(std::any_of(linee.begin(), linee.end(), [&](const QString& l) { return l.startsWith(inTesto) && l.endsWith(QLatin1String("1.00")); }));
}

void TestStampe::pagine()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    p.dipendente(2, QStringLiteral("0000000002"), QStringLiteral("Bianchi"), QStringLiteral("Luca"));
    for (int id = 1; id <= 2; ++id)
        for (int i = 0; i < 7; ++i)
            p.giorno(id, kDal.addDays(i), 2);
    const auto pagine = [&](const DocumentoStampa& doc) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        Stampa::PreparaPagina(pdf, doc.orizzontale);
        return Stampa::Disegna(doc, pdf);
    };
    QCOMPARE(pagine(p.documento(Stampa::kDettaglio)), 2);   // a page per employee
    QCOMPARE(pagine(p.documento(Stampa::kAnomalie)), 1);    // employees share the page

    // Lines grow when their text needs room, and the pages follow.
    DocumentoStampa lungo = p.documento(Stampa::kAnomalie);
    lungo.righe.clear();
    lungo.colonne = {{QStringLiteral("Testo"), 10}, {QStringLiteral("Altro"), 90}};
    for (int i = 0; i < 40; ++i)
        lungo.aggiungiRiga({QStringLiteral("breve"), QStringLiteral("x")});
    const int brevi = pagine(lungo);
    for (RigaStampa& r : lungo.righe)
        r.celle[0] = QStringLiteral("parole che non stanno in una colonna stretta e vanno a capo");
    QVERIFY2(pagine(lungo) >= 2 * brevi, qPrintable(QStringLiteral("%1 %2").arg(brevi).arg(pagine(lungo))));

    DocumentoStampa vuoto = p.documento(Stampa::kDettaglio, p.parametri(QDate(2030, 1, 1), QDate(2030, 1, 2)));
    QVERIFY(vuoto.vuoto());
    QCOMPARE(pagine(vuoto), 1);  // the header alone
}

void TestStampe::testiInteriSuOgniDispositivo_data()
{
    QTest::addColumn<int>("codice");
    QTest::addColumn<int>("dpi");
    // The PDF, the preview's high-resolution printer and a screen-resolution device: a text
    // that fits on one and is clipped on another would make the preview differ from paper.
    for (int dpi : {300, 1200, 96}) {
        for (const auto& [nome, codice] : {std::pair{"anomalie", Stampa::kAnomalie}, std::pair{"note", Stampa::kNoteOriginali},
                                            std::pair{"dettaglio", Stampa::kDettaglio}, std::pair{"timbrature", Stampa::kTimbOriginali},
                                            std::pair{"totali", Stampa::kTotali}})
            QTest::newRow(qPrintable(QStringLiteral("%1 a %2 dpi").arg(QLatin1String(nome)).arg(dpi))) << int(codice) << dpi;
    }
}

void TestStampe::testiInteriSuOgniDispositivo()
{
    QFETCH(int, codice);
    QFETCH(int, dpi);
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("0000000001"));
    // The widest texts of each column: "Anomala", a Wednesday, hours of three figures (the
    // most minutes a small integer holds).
    for (int i = 0; i < 7; ++i) {
        p.giorno(1, kDal.addDays(i), 2, 32767, 32767, 32767, 32767, QStringLiteral("Permesso retribuito"));
        p.timbrature(1, kDal.addDays(i), 10);
    }
    const DocumentoStampa doc = p.documento(codice);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(dpi);
    Stampa::PreparaPagina(pdf, doc.orizzontale);
    QCOMPARE(Stampa::TestiTagliati(doc, pdf), QStringList());
    QVERIFY(Stampa::Disegna(doc, pdf) > 0);
}

void TestStampe::logoMancante()
{
    Piano p;
    p.dipendente(1, QStringLiteral("0000000001"), QStringLiteral("Rossi"), QStringLiteral("Mario"));
    p.giorno(1, kDal, 2);
    const QString logo = Stampa::FileLogo(p.amb.dtm());
    QVERIFY2(QFile::exists(logo), "a new installation gets the shipped logo");
    QVERIFY(logo.endsWith(QLatin1String("/Quorlin_rptlogo.bmp")));
    QVERIFY(QFile::remove(logo));
    for (int codice = 1; codice <= 7; ++codice) {
        try {
            p.documento(codice);
            QFAIL("report made without its logo");
        } catch (const ErroreStampa& e) {
            QCOMPARE(e.numero(), Msg::ErrLogoMancante);
            QVERIFY(e.dettaglio().endsWith(QLatin1String("Quorlin_rptlogo.bmp")));
        }
    }
}

void TestStampe::rigaDiSelezione()
{
    Piano p;
    QCOMPARE(Stampa::RigaSelezionePiano(p.amb.dtm(), QDate(2026, 11, 1), QDate(2026, 11, 30)),
             QStringLiteral("Periodo dal 01/11/2026   al 30/11/2026"));
    const DocumentoStampa doc = p.documento(Stampa::kTotali);
    QCOMPARE(doc.titolo, QStringLiteral("Titolo"));
    QCOMPARE(doc.applicazione, QStringLiteral("Quorlin"));
    QVERIFY(doc.orizzontale);
    QVERIFY(!Stampa::DocumentoPiano(p.amb.dtm(), 8, p.parametri()).has_value());
    QCOMPARE(Stampa::DescrizioneStampa(p.amb.dtm(), QStringLiteral("CP"), 3), QStringLiteral("Dettaglio piano di lavoro"));
}

QTEST_MAIN(TestStampe)
#include "tst_stampe.moc"
