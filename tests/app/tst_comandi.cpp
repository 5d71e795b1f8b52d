// The headless commands of quorlin, run as separate processes on fresh folders.

#include "ambiente.h"
#include "eseguibile.h"
#include "database.h"
#include "tabelle.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

// Sections and keys of an INI file, as written.
QMap<QString, QStringList> chiaviIni(const QString& file)
{
    QMap<QString, QStringList> m;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return m;
    QString sezione;
    for (const QString& riga : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        const QString r = riga.trimmed();
        if (r.startsWith(QLatin1Char('[')))
            sezione = r.mid(1, r.size() - 2);
        else if (r.contains(QLatin1Char('=')) && !r.startsWith(QLatin1Char(';')))
            m[sezione] << r;
    }
    return m;
}

// A company folder whose PRES.INI names the database of the engine under test (nothing on
// SQLite: the default folders beside it).
struct Azienda {
    explicit Azienda(const QString& sottocartella = {})
        : cartella(sottocartella.isEmpty() ? dir.path() : QDir(dir.path()).filePath(sottocartella)), produzione(cartella), ini(QDir(cartella).filePath(QStringLiteral("PRES.INI")))
    {
        QDir().mkpath(cartella);
        const QByteArray righe = produzione.righeIni();
        QFile f(ini);
        if (!righe.isEmpty() && f.open(QIODevice::WriteOnly))
            f.write(righe);
    }
    void apri(Database& db) const
    {
        db.apri(produzione.connessione(), false);
        db.apriLavoro(produzione.lavoro());
    }
    QTemporaryDir dir;
    QString cartella;
    DatabaseDiProva produzione;
    QString ini;
};

int numero(const QString& testo, const QString& etichetta)
{
    const QRegularExpression re(QRegularExpression::escape(etichetta) + QStringLiteral("\\s*(\\d+)"));
    const auto m = re.match(testo);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

}  // namespace

class TstComandi : public QObject {
    Q_OBJECT
private slots:
    void initCreaDatabaseEChiaviPredefinite();
    void initDueVolteNonDuplica();
    void argomentiNonValidi_data();
    void argomentiNonValidi();
    void databaseMancanteDaUnErroreChiaro();
    void demoPoiElaboraEVerifica();
    void stampaDaRigaDiComando();
    void dueCopieComeUna();
    void importaDipendenti();
    void importaTimbrature();
    void presenti();
    void acquisisciESincronizza();
    void aiutoInItaliano();
    void fileDellApplicazioneIntatti_data();
    void fileDellApplicazioneIntatti();

private:
    QString azienda();
    Azienda m_azienda;
    bool m_aziendaPronta = false;
};

// A small demo company shared by the cases that must leave it as it is.
QString TstComandi::azienda()
{
    if (!m_aziendaPronta) {
        m_aziendaPronta = quorlin({QStringLiteral("--ini"), m_azienda.ini, QStringLiteral("demo"),
                                   QStringLiteral("--dipendenti"), QStringLiteral("3"), QStringLiteral("--giorni"), QStringLiteral("5"),
                                   QStringLiteral("--oggi"), QStringLiteral("2026-03-11")})
                              .stato
            == 0;
        QFile::link(QDir(m_azienda.cartella).filePath(QStringLiteral("Dati/DBPresenze.db")),
                    QDir(m_azienda.cartella).filePath(QStringLiteral("collegamento.db")));
    }
    return m_azienda.cartella;
}

void TstComandi::initCreaDatabaseEChiaviPredefinite()
{
    const Azienda az(QStringLiteral("T"));
    const QString ini = az.ini;
    const auto righeAmbiente = chiaviIni(ini).value(QStringLiteral("Ambiente START"));
    const Esito e = quorlin({QStringLiteral("--ini"), ini, QStringLiteral("init")});
    QCOMPARE(e.stato, 0);
    QVERIFY2(e.uscita.contains(az.produzione.connessione().descrizione()), qPrintable(e.uscita));
    if (!Banco::suServer()) {
        QVERIFY(QFile::exists(QDir(az.cartella).filePath(QStringLiteral("Dati/DBPresenze.db"))));
        QVERIFY(QFile::exists(QDir(az.cartella).filePath(QStringLiteral("Tabelle/DBPresUt.db"))));
    }

    // Every declared table and field, in the database it belongs to.
    Database db;
    az.apri(db);
    for (const Tabella& t : Schema::tabelle()) {
        const QStringList campi = db.campiEsistenti(t.nome, t.archivio == Archivio::PresUt);
        for (const Campo& c : t.campi)
            QVERIFY2(campi.contains(c.nome.toLower()), qPrintable(t.nome + QLatin1Char('.') + c.nome));
    }

    const auto chiavi = chiaviIni(ini);
    QCOMPARE(chiavi.value(QStringLiteral("Language")), QStringList{QStringLiteral("Lingua=ITALIANO")});
    QCOMPARE(chiavi.value(QStringLiteral("Desktop")),
             (QStringList{QStringLiteral("ColoreReqd=0"), QStringLiteral("ColoreAnom=0"), QStringLiteral("ColoreGrid=12648432"),
                          QStringLiteral("PdLColData=85"), QStringLiteral("PdLColStato=70"), QStringLiteral("PdLColOrario=70"),
                          QStringLiteral("PdLColTimbrature=150"), QStringLiteral("PdLColOreOrd=35"), QStringLiteral("PdLColOreStra=35"),
                          QStringLiteral("PdLColOrePres=35"), QStringLiteral("PdLColOreAssenza=35"), QStringLiteral("PdLColNote=250")}));
    QCOMPARE(chiavi.value(QStringLiteral("Acquisizione")), (QStringList{QStringLiteral("Toni=0"), QStringLiteral("Timeout=60")}));
    QCOMPARE(chiavi.value(QStringLiteral("Elaborazione")),
             (QStringList{QStringLiteral("AnomAssenza=1"), QStringLiteral("CalcolaAssenza=1"), QStringLiteral("CalcolaStraord=1")}));
    QCOMPARE(chiavi.value(QStringLiteral("Config")), QStringList{QStringLiteral("ModTimbOrig=0")});
    // The connection is never written back: no key on SQLite, the ones given on a server.
    QCOMPARE(chiavi.value(QStringLiteral("Ambiente START")), righeAmbiente);
}

void TstComandi::initDueVolteNonDuplica()
{
    const Azienda az;
    const QString ini = az.ini;
    QCOMPARE(quorlin({QStringLiteral("--ini"), ini, QStringLiteral("init")}).stato, 0);
    const auto conteggi = [&] {
        Database db;
        az.apri(db);
        QStringList c;
        for (const char* t : {"Errori", "Scelte", "Costanti1", "Costanti3", "Costanti4", "Costanti7", "Costanti8", "Segnalazioni",
                              "APPLICATIVI", "CONFIGDB", "UnitaPianta", "UnitaRuolo", "Nomine"})
            c << QStringLiteral("%1=%2").arg(QLatin1String(t)).arg(db.valore(QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(t)).toInt());
        return c;
    };
    const QStringList prima = conteggi();
    QCOMPARE(quorlin({QStringLiteral("--ini"), ini, QStringLiteral("init")}).stato, 0);
    QCOMPARE(conteggi(), prima);

    // A table lost: processing refuses the database naming what is missing; init says what
    // it adds, then adds it.
    {
        Database db;
        az.apri(db);
        db.esegui(QStringLiteral("DROP TABLE Turni"));
    }
    const QString mancante = az.produzione.connessione().descrizione() + QStringLiteral(": Turni");
    const Esito el = quorlin({QStringLiteral("--ini"), ini, QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-01-01"),
                              QStringLiteral("--al"), QStringLiteral("2026-01-02")});
    QCOMPARE(el.stato, 1);
    QVERIFY2(el.errori.contains(mancante), qPrintable(el.errori));
    const Esito completa = quorlin({QStringLiteral("--ini"), ini, QStringLiteral("init")});
    QCOMPARE(completa.stato, 0);
    QVERIFY2(completa.uscita.contains(QStringLiteral("si aggiungono in ")) && completa.uscita.contains(mancante),
             qPrintable(completa.uscita));
    QCOMPARE(conteggi(), prima);
}

void TstComandi::argomentiNonValidi_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<int>("stato");
    QTest::newRow("comando sconosciuto") << QStringList{QStringLiteral("rielabora")} << 2;
    QTest::newRow("data malformata") << QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-13-01"),
                                                    QStringLiteral("--al"), QStringLiteral("2026-01-31")}
                                     << 2;
    QTest::newRow("periodo rovesciato") << QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-02-01"),
                                                       QStringLiteral("--al"), QStringLiteral("2026-01-31")}
                                        << 2;
    QTest::newRow("manca --al") << QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-01-01")} << 2;
    QTest::newRow("opzione sconosciuta") << QStringList{QStringLiteral("elabora"), QStringLiteral("--dalle"), QStringLiteral("2026-01-01")} << 2;
    QTest::newRow("verifica senza --dip") << QStringList{QStringLiteral("verifica"), QStringLiteral("--dal"), QStringLiteral("2026-01-01"),
                                                         QStringLiteral("--al"), QStringLiteral("2026-01-31")}
                                          << 2;
    QTest::newRow("demo con zero dipendenti") << QStringList{QStringLiteral("demo"), QStringLiteral("--dipendenti"), QStringLiteral("0")} << 2;
    QTest::newRow("numero con segno") << QStringList{QStringLiteral("demo"), QStringLiteral("--giorni"), QStringLiteral("+5")} << 2;
    QTest::newRow("opzione singola ripetuta") << QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-01-01"),
                                                             QStringLiteral("--dal"), QStringLiteral("2026-01-02"), QStringLiteral("--al"),
                                                             QStringLiteral("2026-01-31")}
                                              << 2;
    QTest::newRow("nota di 51 caratteri") << QStringList{QStringLiteral("note"), QStringLiteral("--dal"), QStringLiteral("2026-01-01"),
                                                         QStringLiteral("--al"), QStringLiteral("2026-01-02"), QStringLiteral("--nota"),
                                                         QString(51, QLatin1Char('x'))}
                                          << 2;
    QTest::newRow("annullamento note con ore medie") << QStringList{QStringLiteral("note"), QStringLiteral("--dal"), QStringLiteral("2026-01-01"),
                                                                    QStringLiteral("--al"), QStringLiteral("2026-01-02"), QStringLiteral("--annulla"),
                                                                    QStringLiteral("--chiusura"), QStringLiteral("--ore-medie")}
                                                     << 2;
    QTest::newRow("--ini ripetuto") << QStringList{QStringLiteral("--ini"), QStringLiteral("altro.ini"), QStringLiteral("init")} << 2;
    QTest::newRow("valore mancante") << QStringList{QStringLiteral("elabora"), QStringLiteral("--al"), QStringLiteral("2026-01-31"),
                                                    QStringLiteral("--dal")}
                                     << 2;
    QTest::newRow("argomento in più") << QStringList{QStringLiteral("init"), QStringLiteral("adesso")} << 2;
    QTest::newRow("cancella di un tipo sconosciuto") << QStringList{QStringLiteral("cancella"), QStringLiteral("--dal"), QStringLiteral("2026-01-01"),
                                                                    QStringLiteral("--al"), QStringLiteral("2026-01-31"), QStringLiteral("--tipo"),
                                                                    QStringLiteral("tutto"), QStringLiteral("--conferma")}
                                                    << 2;
    QTest::newRow("migra senza --verso") << QStringList{QStringLiteral("migra"), QStringLiteral("--sostituisci")} << 2;
    QTest::newRow("migra verso un motore sconosciuto") << QStringList{QStringLiteral("migra"), QStringLiteral("--verso"), QStringLiteral("oracle")} << 2;
    QTest::newRow("interruttore con un valore") << QStringList{QStringLiteral("migra"), QStringLiteral("--verso"), QStringLiteral("sqlite"),
                                                               QStringLiteral("--sostituisci=si")}
                                                << 2;
    const QStringList presenti{QStringLiteral("presenti"), QStringLiteral("--data"), QStringLiteral("2026-03-10")};
    const auto fascia = [&](const char* dalle, const char* alle) {
        return presenti + QStringList{QStringLiteral("--dalle"), QLatin1String(dalle), QStringLiteral("--alle"), QLatin1String(alle)};
    };
    QTest::newRow("presenti: fascia rovesciata") << fascia("10:00", "09:59") << 2;
    QTest::newRow("presenti: fascia vuota") << fascia("08:00", "08:00") << 2;
    QTest::newRow("presenti: ora impossibile") << presenti + QStringList{QStringLiteral("--ora"), QStringLiteral("24:00")} << 2;
    QTest::newRow("presenti: ora e fascia") << fascia("08:00", "09:00") + QStringList{QStringLiteral("--ora"), QStringLiteral("10:00")} << 2;
    QTest::newRow("presenti: né ora né fascia") << presenti << 2;
    QTest::newRow("presenti: categoria sconosciuta")
        << presenti + QStringList{QStringLiteral("--ora"), QStringLiteral("10:00"), QStringLiteral("--categoria"), QStringLiteral("esenti")} << 2;
    QTest::newRow("presenti: formato senza file")
        << presenti + QStringList{QStringLiteral("--ora"), QStringLiteral("10:00"), QStringLiteral("--formato"), QStringLiteral("csv")} << 2;
    QTest::newRow("interruttore ripetuto") << QStringList{QStringLiteral("migra"), QStringLiteral("--verso"), QStringLiteral("sqlite"),
                                                          QStringLiteral("--sostituisci"), QStringLiteral("--sostituisci")}
                                           << 2;
}

void TstComandi::argomentiNonValidi()
{
    QFETCH(QStringList, argomenti);
    QFETCH(int, stato);
    QTemporaryDir dir;
    const Esito e = quorlin(QStringList{QStringLiteral("--ini"), QDir(dir.path()).filePath(QStringLiteral("PRES.INI"))} + argomenti);
    QCOMPARE(e.stato, stato);
    QVERIFY2(!e.errori.trimmed().isEmpty(), "a clear message on standard error");
    // Bad arguments never leave a database behind.
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(QStringLiteral("Dati/DBPresenze.db"))));
}

void TstComandi::databaseMancanteDaUnErroreChiaro()
{
    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    // A folder without the database, or a server without it.
    const QString assente = QStringLiteral("quorlin_assente_%1").arg(QCoreApplication::applicationPid());
    f.write(Banco::suServer() ? "[Ambiente START]\nMotore=PostgreSQL\nDatabase=" + assente.toUtf8() + "\n" : "[Ambiente START]\nPATH=altrove\n");
    f.close();
    const Esito e = quorlin({QStringLiteral("--ini"), ini, QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-01-01"),
                             QStringLiteral("--al"), QStringLiteral("2026-01-31")});
    QCOMPARE(e.stato, 1);
    QVERIFY2(e.errori.contains(Banco::suServer() ? assente : QStringLiteral("DBPresenze.db")), qPrintable(e.errori));
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(QStringLiteral("altrove/DBPresenze.db"))));
}

void TstComandi::demoPoiElaboraEVerifica()
{
    const Azienda az;
    const QStringList base{QStringLiteral("--ini"), az.ini};
    const Esito demo = quorlin(base + QStringList{QStringLiteral("demo"), QStringLiteral("--dipendenti"), QStringLiteral("12"),
                                                  QStringLiteral("--giorni"), QStringLiteral("10"), QStringLiteral("--oggi"),
                                                  QStringLiteral("2026-03-11")});
    QCOMPARE(demo.stato, 0);
    // A second demo on a company that has employees changes nothing and says so.
    const Esito ancora = quorlin(base + QStringList{QStringLiteral("demo")});
    QCOMPARE(ancora.stato, 1);
    QVERIFY(!ancora.errori.isEmpty());

    // The engine's work tables are private to the run: a row another copy left in the
    // shared ones stays where it is.
    Database db;
    az.apri(db);
    db.esegui(QStringLiteral("INSERT INTO ':dbPresUt:EEvid' (Prod, IdSegnalaz) VALUES ('X', 999)"));
    const Esito el = quorlin(base + QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-03-01"),
                                                QStringLiteral("--al"), QStringLiteral("2026-03-10"), QStringLiteral("--oggi"),
                                                QStringLiteral("2026-03-11")});
    QCOMPARE(el.stato, 0);
    QCOMPARE(Banco::colonna(db, QStringLiteral("SELECT IdSegnalaz FROM ':dbPresUt:EEvid'")), QStringLiteral("999"));
    const int giorni = db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE Stato IN (2, 3)")).toInt();
    const int stato2 = db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE Stato = 2")).toInt();
    QCOMPARE(numero(el.uscita, QStringLiteral("Dipendenti elaborati:")), 12);
    QCOMPARE(numero(el.uscita, QStringLiteral("Giorni elaborati:")), giorni);
    QCOMPARE(numero(el.uscita, QStringLiteral("Giorni con anomalie (stato 2):")), stato2);
    QCOMPARE(giorni, 12 * 10);

    // One employee named twice, a period reaching today: processed once, today never.
    const Esito uno = quorlin(base + QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-03-10"),
                                                 QStringLiteral("--al"), QStringLiteral("2026-03-12"), QStringLiteral("--dip"),
                                                 QStringLiteral("3"), QStringLiteral("--dip"), QStringLiteral("3"), QStringLiteral("--oggi"),
                                                 QStringLiteral("2026-03-11")});
    QCOMPARE(uno.stato, 0);
    QCOMPARE(numero(uno.uscita, QStringLiteral("Dipendenti elaborati:")), 1);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE Data >= '2026-03-11 00:00:00'")).toInt(), 0);

    const Esito inesistente = quorlin(base + QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-03-01"),
                                                         QStringLiteral("--al"), QStringLiteral("2026-03-02"), QStringLiteral("--dip"),
                                                         QStringLiteral("9999")});
    QCOMPARE(inesistente.stato, 2);

    // The check: employee 3 lacks the days of April, so every employee gets them.
    const Esito v = quorlin(base + QStringList{QStringLiteral("verifica"), QStringLiteral("--dal"), QStringLiteral("2026-04-01"),
                                               QStringLiteral("--al"), QStringLiteral("2026-04-30"), QStringLiteral("--dip"),
                                               QStringLiteral("3")});
    QCOMPARE(v.stato, 0);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE Data >= '2026-04-01 00:00:00' AND Stato = 1")).toInt(), 12 * 30);
    QCOMPARE(numero(v.uscita, QStringLiteral("Giornate create:")), 12 * 30);
    const Esito v2 = quorlin(base + QStringList{QStringLiteral("verifica"), QStringLiteral("--dal"), QStringLiteral("2026-04-01"),
                                                QStringLiteral("--al"), QStringLiteral("2026-04-30"), QStringLiteral("--dip"),
                                                QStringLiteral("3")});
    QCOMPARE(v2.stato, 0);
    QCOMPARE(numero(v2.uscita, QStringLiteral("Giornate create:")), 0);

    // Notes: three open days of one employee closed with the note as typed; run again, the
    // closed days are left alone; cancelled with closure, they are open and empty again.
    const QStringList note = base + QStringList{QStringLiteral("note"), QStringLiteral("--dal"), QStringLiteral("2026-04-01"),
                                                QStringLiteral("--al"), QStringLiteral("2026-04-03"), QStringLiteral("--dip"), QStringLiteral("3")};
    const QString nota = QStringLiteral("Ferie 100% 'estive'");
    const QStringList carica = note + QStringList{QStringLiteral("--nota"), nota, QStringLiteral("--chiusura"), QStringLiteral("--ore-medie")};
    const Esito n = quorlin(carica);
    QCOMPARE(n.stato, 0);
    QCOMPARE(numero(n.uscita, QStringLiteral("Giornate scritte:")), 3);
    const QString chiusi = QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE IdDip = 3 AND Stato = 3 AND Note = :N AND ValCarenza > 0");
    QCOMPARE(db.valore(chiusi, {{"N", nota}}).toInt(), 3);
    const Esito n2 = quorlin(carica);
    QCOMPARE(numero(n2.uscita, QStringLiteral("Giornate lasciate invariate (chiuse o cambiate nel frattempo):")), 3);
    QCOMPARE(quorlin(note + QStringList{QStringLiteral("--annulla"), QStringLiteral("--chiusura")}).stato, 0);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE IdDip = 3 AND Stato = 1 AND Note IS NULL "
                                      "AND IdOrario IS NULL AND Data >= '2026-04-01 00:00:00' AND Data <= '2026-04-03 00:00:00'"))
                 .toInt(),
             3);
    // Deletion: without --conferma it only counts, then it deletes what it counted.
    const QStringList cancella = base + QStringList{QStringLiteral("cancella"), QStringLiteral("--dal"), QStringLiteral("2026-03-01"),
                                                    QStringLiteral("--al"), QStringLiteral("2026-03-05"), QStringLiteral("--tipo"),
                                                    QStringLiteral("piano"), QStringLiteral("--dip"), QStringLiteral("3")};
    const QString inPeriodo = QStringLiteral(" WHERE IdDip = 3 AND %1 >= '2026-03-01 00:00:00' AND %1 < '2026-03-06 00:00:00'");
    const int timbrature = db.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature") + inPeriodo.arg(QLatin1String("DataV"))).toInt();
    QVERIFY(timbrature > 0);
    const Esito prova = quorlin(cancella);
    QCOMPARE(prova.stato, 2);
    QVERIFY2(prova.errori.contains(QLatin1String("--conferma")), qPrintable(prova.errori));
    QCOMPARE(numero(prova.uscita, QStringLiteral("Timbrature cancellate:")), timbrature);
    QCOMPARE(numero(prova.uscita, QStringLiteral("Giorni del piano di lavoro cancellati:")), 5);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature") + inPeriodo.arg(QLatin1String("DataV"))).toInt(), timbrature);
    const Esito fatto = quorlin(cancella + QStringList{QStringLiteral("--conferma")});
    QCOMPARE(fatto.stato, 0);
    QCOMPARE(numero(fatto.uscita, QStringLiteral("Timbrature cancellate:")), timbrature);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature") + inPeriodo.arg(QLatin1String("DataV"))).toInt(), 0);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma") + inPeriodo.arg(QLatin1String("Data"))).toInt(), 0);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM PianoSomma WHERE IdDip = 4 AND Data < '2026-03-06 00:00:00'")).toInt(), 5);
}

void TstComandi::stampaDaRigaDiComando()
{
    const Azienda az;
    const QTemporaryDir& dir = az.dir;
    const QStringList base{QStringLiteral("--ini"), az.ini};
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("demo"), QStringLiteral("--dipendenti"), QStringLiteral("5"), QStringLiteral("--giorni"),
                                        QStringLiteral("40"), QStringLiteral("--oggi"), QStringLiteral("2026-03-11")})
                 .stato,
             0);
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-02-01"),
                                        QStringLiteral("--al"), QStringLiteral("2026-03-10"), QStringLiteral("--oggi"),
                                        QStringLiteral("2026-03-11")})
                 .stato,
             0);
    const auto stampa = [&](const QString& codice, const QString& dal, const QString& al, const QString& formato, const QString& file,
                            const QStringList& altro = {}) {
        return quorlin(base + QStringList{QStringLiteral("stampa"), QStringLiteral("CP"), codice, QStringLiteral("--dal"), dal,
                                          QStringLiteral("--al"), al, QStringLiteral("--formato"), formato, QStringLiteral("--out"),
                                          QDir(dir.path()).filePath(file)}
                       + altro);
    };

    // The totals of two chosen employees, as CSV: their two lines and the grand total. The
    // selection is private to the run: a selection another copy left stays as it was.
    Database db;
    az.apri(db);
    db.esegui(QStringLiteral("INSERT INTO ':dbPresUt:SelezioneStampa' (Id, Cognome, Nome) VALUES (5, 'Altra', 'Copia')"));
    const Esito tot = stampa(QStringLiteral("6"), QStringLiteral("2026-03-01"), QStringLiteral("2026-03-10"), QStringLiteral("csv"),
                             QStringLiteral("totali.csv"), {QStringLiteral("--dip"), QStringLiteral("4"), QStringLiteral("--dip"), QStringLiteral("2")});
    QCOMPARE(tot.stato, 0);
    QVERIFY(tot.uscita.contains(QLatin1String("totali.csv")));
    QFile csv(QDir(dir.path()).filePath(QStringLiteral("totali.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QStringList righe = QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(righe.size(), 4);
    QVERIFY(righe.last().startsWith(QLatin1String("Totale Ore Ordinarie;")));
    QCOMPARE(Banco::colonna(db, QStringLiteral("SELECT Id FROM ':dbPresUt:SelezioneStampa'")), QStringLiteral("5"));

    // A detail report as PDF over exactly 31 days; 32 days are refused with a message.
    QCOMPARE(stampa(QStringLiteral("3"), QStringLiteral("2026-02-01"), QStringLiteral("2026-03-03"), QStringLiteral("pdf"),
                    QStringLiteral("dettaglio.pdf"))
                 .stato,
             0);
    QFile pdf(QDir(dir.path()).filePath(QStringLiteral("dettaglio.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
    const Esito lungo = stampa(QStringLiteral("4"), QStringLiteral("2026-02-01"), QStringLiteral("2026-03-04"), QStringLiteral("pdf"),
                               QStringLiteral("note.pdf"));
    QCOMPARE(lungo.stato, 1);
    QVERIFY2(lungo.errori.contains(QLatin1String("31 giorni")), qPrintable(lungo.errori));
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(QStringLiteral("note.pdf"))));

    // Unknown report, unknown form, missing output: clear messages, nothing written.
    QCOMPARE(stampa(QStringLiteral("9"), QStringLiteral("2026-03-01"), QStringLiteral("2026-03-02"), QStringLiteral("txt"),
                    QStringLiteral("x.txt")).stato,
             2);
    QCOMPARE(stampa(QStringLiteral("1"), QStringLiteral("2026-03-01"), QStringLiteral("2026-03-02"), QStringLiteral("doc"),
                    QStringLiteral("x.doc")).stato,
             2);
    const Esito senzaLogo = [&] {
        QFile::remove(QDir(dir.path()).filePath(QStringLiteral("Quorlin_rptlogo.bmp")));
        return stampa(QStringLiteral("1"), QStringLiteral("2026-03-01"), QStringLiteral("2026-03-02"), QStringLiteral("txt"),
                      QStringLiteral("x.txt"));
    }();
    QCOMPARE(senzaLogo.stato, 1);
    QVERIFY2(senzaLogo.errori.contains(QLatin1String("Quorlin_rptlogo.bmp")), qPrintable(senzaLogo.errori));
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(QStringLiteral("x.txt"))));
}

// Two copies processing and printing disjoint halves of a company at the same time give the
// figures one copy gives for the whole of it.
void TstComandi::dueCopieComeUna()
{
    const Azienda una, due;
    const QStringList demo{QStringLiteral("demo"), QStringLiteral("--dipendenti"), QStringLiteral("8"), QStringLiteral("--giorni"),
                           QStringLiteral("12"), QStringLiteral("--oggi"), QStringLiteral("2026-03-11")};
    QCOMPARE(quorlin(QStringList{QStringLiteral("--ini"), una.ini} + demo).stato, 0);
    QCOMPARE(quorlin(QStringList{QStringLiteral("--ini"), due.ini} + demo).stato, 0);
    const QStringList periodo{QStringLiteral("--dal"), QStringLiteral("2026-02-27"), QStringLiteral("--al"), QStringLiteral("2026-03-10")};
    const auto meta = [](int n) {
        QStringList l;
        for (int id = 4 * n + 1; id <= 4 * n + 4; ++id)
            l << QStringLiteral("--dip") << QString::number(id);
        return l;
    };
    const auto elabora = [&](const Azienda& az, const QStringList& chi) {
        return QStringList{QStringLiteral("--ini"), az.ini, QStringLiteral("elabora")} + periodo + chi
            + QStringList{QStringLiteral("--oggi"), QStringLiteral("2026-03-11")};
    };
    const auto stampa = [&](const Azienda& az, int n) {
        return QStringList{QStringLiteral("--ini"), az.ini, QStringLiteral("stampa"), QStringLiteral("CP"), QStringLiteral("3")} + periodo
            + QStringList{QStringLiteral("--formato"), QStringLiteral("txt"), QStringLiteral("--out"),
                          QDir(az.cartella).filePath(QStringLiteral("meta%1.txt").arg(n))}
            + meta(n);
    };

    QCOMPARE(quorlin(elabora(una, {})).stato, 0);
    for (int n : {0, 1})
        QCOMPARE(quorlin(stampa(una, n)).stato, 0);
    int stati[2] = {-1, -1};
    {
        std::thread copie[2];
        for (int n : {0, 1})
            copie[n] = std::thread([&, n] {
                const int e = quorlin(elabora(due, meta(n))).stato;
                stati[n] = e != 0 ? e : quorlin(stampa(due, n)).stato;
            });
        for (std::thread& t : copie)
            t.join();
    }
    QCOMPARE(stati[0], 0);
    QCOMPARE(stati[1], 0);

    const auto testo = [](const Azienda& az, int n) {
        QFile f(QDir(az.cartella).filePath(QStringLiteral("meta%1.txt").arg(n)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const auto tabelle = [](const Azienda& az) {
        Database db;
        az.apri(db);
        QStringList righe;
        for (const char* sql : {"SELECT * FROM PianoSomma ORDER BY IdDip, Data", "SELECT * FROM AnomalieGiorno ORDER BY IdDip, Data, Prog",
                                "SELECT * FROM Timbrature ORDER BY IdDip, DataV"}) {
            QSqlQuery q = db.esegui(QLatin1String(sql));
            while (q.next()) {
                QStringList r;
                for (int c = 0; c < q.record().count(); ++c)
                    r << (q.isNull(c) ? QStringLiteral("-") : q.value(c).toString());
                righe << r.join(QLatin1Char(' '));
            }
        }
        return righe;
    };
    for (int n : {0, 1}) {
        QVERIFY(testo(una, n).contains("Totale"));
        QCOMPARE(testo(due, n), testo(una, n));
    }
    const QStringList attese = tabelle(una);
    QVERIFY(attese.size() > 8 * 12);
    QCOMPARE(tabelle(due), attese);
}

void TstComandi::importaDipendenti()
{
    const Azienda az;
    const QStringList base{QStringLiteral("--ini"), az.ini};
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("demo"), QStringLiteral("--dipendenti"), QStringLiteral("1"), QStringLiteral("--giorni"),
                                        QStringLiteral("1")})
                 .stato,
             0);
    const auto file = [&](const char* nome, const QByteArray& testo) {
        const QString percorso = QDir(az.cartella).filePath(QLatin1String(nome));
        QFile f(percorso);
        if (f.open(QIODevice::WriteOnly))
            f.write(testo);
        return percorso;
    };
    const QByteArray intestazione = "Cognome;Nome;Badge;Reparto;Qualifica;Assunzione;Turno\r\n";
    const QString buono = file("buono.csv", "\xEF\xBB\xBF" + intestazione + "Neri;Giulia;4001;Magazzino;Operaio;01/02/2024;Settimana ufficio lun-ven\r\n"
                                            "Bruno;Luca;4002;Reparto Montaggio;Impiegato;01/02/2024;\r\n");
    const QString cattivo = file("cattivo.csv", intestazione + "Verdi;Ada;4003;Magazzino;Operaio;01/02/2024;\r\n"
                                                "Gialli;Eva;4004;Cantina;Operaio;01/02/2024;\r\n");
    const auto dipendenti = [&] {
        Database db;
        az.apri(db);
        return db.valore(QStringLiteral("SELECT COUNT(*) FROM Anagrafico")).toInt();
    };

    const Esito rifiutato = quorlin(base + QStringList{QStringLiteral("importa-dipendenti"), cattivo});
    QCOMPARE(rifiutato.stato, 1);
    QVERIFY2(rifiutato.errori.contains(QStringLiteral("Riga 3, colonna Reparto: nome non presente in archivio")), qPrintable(rifiutato.errori));
    QCOMPARE(dipendenti(), 1);
    const Esito illeggibile = quorlin(base + QStringList{QStringLiteral("importa-dipendenti"), az.cartella});
    QCOMPARE(illeggibile.stato, 2);
    QVERIFY(!illeggibile.errori.isEmpty());
    const Esito importato = quorlin(base + QStringList{QStringLiteral("importa-dipendenti"), buono});
    QCOMPARE(importato.stato, 0);
    QCOMPARE(numero(importato.uscita, QStringLiteral("Dipendenti importati:")), 2);
    QCOMPARE(dipendenti(), 3);
    // The same badges again: refused, nothing doubled.
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("importa-dipendenti"), buono}).stato, 1);
    QCOMPARE(dipendenti(), 3);

    // Punches for the imported employee on a demo rotation; the one without a rotation has none.
    const Esito timbrature = quorlin(base + QStringList{QStringLiteral("demo"), QStringLiteral("--solo-timbrature"), QStringLiteral("--giorni"),
                                                        QStringLiteral("10"), QStringLiteral("--oggi"), QStringLiteral("2026-03-11")});
    QCOMPARE(timbrature.stato, 0);
    Database db;
    az.apri(db);
    const int neri = db.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature t, Anagrafico a WHERE t.IdDip = a.Id AND a.Cognome = 'Neri'")).toInt();
    QVERIFY(neri >= 8 * 2);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature t, Anagrafico a WHERE t.IdDip = a.Id AND a.Cognome = 'Bruno'")).toInt(), 0);
    QVERIFY(numero(timbrature.uscita, QStringLiteral("Timbrature generate:")) >= neri);
}

// The runs without a terminal line: what they do before the library is reached (terminals
// chosen, a port missing, the counts) decides the exit status.
void TstComandi::acquisisciESincronizza()
{
    const Azienda az;
    const QStringList base{QStringLiteral("--ini"), az.ini};
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("init")}).stato, 0);
    const auto comando = [&](const char* nome, const QStringList& altri = {}) { return quorlin(base + QStringList{QLatin1String(nome)} + altri); };

    // No terminals: nothing to do, all done.
    const Esito vuoto = comando("acquisisci");
    QCOMPARE(vuoto.stato, 0);
    QVERIFY2(vuoto.uscita.contains(QStringLiteral("0/0")), qPrintable(vuoto.uscita));

    // Terminal 1 on a station whose port 3 has no row: each run says so and fails.
    {
        Database db;
        az.apri(db);
        db.esegui(QStringLiteral("INSERT INTO Postaz (Id, Descr, IdCom) VALUES (21, 'L', 3)"));
        db.esegui(QStringLiteral("INSERT INTO Terminali (Id, Descr, IdPostaz, Indirizzo, DipSet, Tipo) VALUES (1, 'Ingresso', 21, 'E0', '0', 100)"));
    }
    for (const char* nome : {"acquisisci", "sincronizza"}) {
        const Esito e = comando(nome, {QStringLiteral("--terminale"), QStringLiteral("1")});
        QCOMPARE(e.stato, 1);
        QVERIFY2(e.uscita.contains(QStringLiteral("COM3")), qPrintable(e.uscita));
        QVERIFY2(e.uscita.contains(QStringLiteral("0/1")), qPrintable(e.uscita));
    }
    QCOMPARE(comando("acquisisci").stato, 1);
    const Esito ignoto = comando("sincronizza", {QStringLiteral("--terminale"), QStringLiteral("1"), QStringLiteral("--terminale"), QStringLiteral("99")});
    QCOMPARE(ignoto.stato, 2);
    QVERIFY2(ignoto.errori.contains(QStringLiteral("99")), qPrintable(ignoto.errori));
    QCOMPARE(comando("acquisisci", {QStringLiteral("--terminale"), QStringLiteral("uno")}).stato, 2);
}

void TstComandi::importaTimbrature()
{
    const Azienda az;
    const QStringList base{QStringLiteral("--ini"), az.ini};
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("demo"), QStringLiteral("--dipendenti"), QStringLiteral("1"), QStringLiteral("--giorni"),
                                        QStringLiteral("1")})
                 .stato,
             0);
    QString badge;
    {
        Database db;
        az.apri(db);
        badge = db.valore(QStringLiteral("SELECT Codice FROM Badge WHERE DataFine IS NULL AND IdUtilizzatore > 0")).toString();
    }
    QCOMPARE(badge.size(), 10);
    const auto file = [&](const char* nome, const QByteArray& righe) {
        const QString percorso = QDir(az.cartella).filePath(QLatin1String(nome));
        QFile f(percorso);
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray(righe).replace("B", badge.toLatin1()));
        return percorso;
    };
    const QString buono = file("buono.dat", "BE091220300800\r\nBU091220301700\r\n");
    const QString inesistente = file("inesistente.dat", "BE101220300800\nBE310420300800\nBE111220300800\n");
    const auto importa = [&](const QString& f) { return quorlin(base + QStringList{QStringLiteral("importa"), f}); };

    // With a layout whose fields overlap (the direction inside the badge) the import does not
    // start; without [File_acq] the default layout is that of these files.
    const auto tracciato = [&](const QByteArray& righe) {
        QFile ini(az.ini);
        QVERIFY(ini.open(QIODevice::ReadWrite));
        QByteArray testo = ini.readAll();
        const qsizetype i = testo.indexOf("\n[File_acq]");
        if (i >= 0)
            testo.truncate(i);
        ini.resize(0);
        ini.write(testo + "\n[File_acq]\n" + righe);
    };
    tracciato("PosizVerso=5\n");
    const Esito senzaTracciato = importa(buono);
    QCOMPARE(senzaTracciato.stato, 2);
    QVERIFY2(senzaTracciato.errori.contains(QStringLiteral("tracciato")), qPrintable(senzaTracciato.errori));
    tracciato("PosizBadge=1\nLunghBadge=10\nPosizVerso=11\nCarIngresso=E\nCarUscita=U\nPosizData=12\n"
              "FormatoData=GGMMAAAA\nPosizOra=20\nLunghOra=4\n");
    QCOMPARE(importa(QDir(az.cartella).filePath(QStringLiteral("manca.dat"))).stato, 2);
    const Esito primo = importa(buono);
    QCOMPARE(primo.stato, 0);
    QCOMPARE(numero(primo.uscita, QStringLiteral("Timbrature importate:")), 2);
    // Again: every line a duplicate, listed, nothing stored.
    const Esito secondo = importa(buono);
    QCOMPARE(secondo.stato, 1);
    QVERIFY2(secondo.uscita.contains(QStringLiteral("Riga 2: 2602 ")), qPrintable(secondo.uscita));
    QCOMPARE(numero(secondo.uscita, QStringLiteral("Timbrature importate:")), 0);
    // An impossible date stops the import; the line before it stays.
    const Esito fermato = importa(inesistente);
    QCOMPARE(fermato.stato, 2);
    QCOMPARE(numero(fermato.errori, QStringLiteral("alla riga")), 2);
    Database db;
    az.apri(db);
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM Timbrature WHERE DataO >= '2030-01-01'")).toInt(), 3);
}

void TstComandi::presenti()
{
    const QString cartella = azienda();
    const QStringList base{QStringLiteral("--ini"), QDir(cartella).filePath(QStringLiteral("PRES.INI")), QStringLiteral("presenti"),
                           QStringLiteral("--data"), QStringLiteral("2026-03-10"), QStringLiteral("--ora"), QStringLiteral("10:00")};
    const Esito tutti = quorlin(base);
    QCOMPARE(tutti.stato, 0);
    QCOMPARE(tutti.uscita.trimmed().split(QLatin1Char('\n')).size(), 1 + 3);
    QVERIFY2(tutti.uscita.startsWith(QStringLiteral("Matricola")), qPrintable(tutti.uscita));
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("--dip"), QStringLiteral("999")}).stato, 2);
    // The board stays in TPresAss, restricted to the employees named.
    const Esito uno = quorlin(base + QStringList{QStringLiteral("--dip"), QStringLiteral("2")});
    QCOMPARE(uno.stato, 0);
    {
        Database db;
        m_azienda.apri(db);
        QCOMPARE(Banco::colonna(db, QStringLiteral("SELECT Id FROM ':dbPresUt:TPresAss'")), QStringLiteral("2"));
    }
    const QString csv = QDir(cartella).filePath(QStringLiteral("presenti.csv"));
    const Esito salvato = quorlin(base + QStringList{QStringLiteral("--formato"), QStringLiteral("csv"), QStringLiteral("--out"), csv});
    QCOMPARE(salvato.stato, 0);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("Totale Dipendenti Selezionati"));
    // A file that cannot be written: the command fails.
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("--formato"), QStringLiteral("csv"), QStringLiteral("--out"),
                                        QDir(cartella).filePath(QStringLiteral("manca/presenti.csv"))})
                 .stato,
             1);
}

void TstComandi::aiutoInItaliano()
{
    const Esito g = quorlin({QStringLiteral("--help")});
    QCOMPARE(g.stato, 0);
    for (const char* c : {"init", "demo", "elabora", "verifica", "stampa", "importa", "importa-dipendenti", "migra", "cancella", "copia", "ripristina", "presenti"})
        QVERIFY2(g.uscita.contains(QLatin1String(c)), c);
    for (const char* c : {"init", "demo", "elabora", "verifica", "stampa", "importa", "importa-dipendenti", "migra", "cancella", "copia", "ripristina", "presenti"}) {
        const Esito e = quorlin({QLatin1String(c), QStringLiteral("--help")});
        QCOMPARE(e.stato, 0);
        QVERIFY(e.uscita.startsWith(QStringLiteral("Uso: quorlin")));
        QVERIFY(e.uscita.contains(QLatin1String(c)));
    }
}

void TstComandi::fileDellApplicazioneIntatti_data()
{
    QTest::addColumn<QStringList>("argomenti");  // {ini}, {db}, {dir} stand for the company's paths
    QTest::addColumn<int>("stato");

    const QStringList stampa{QStringLiteral("stampa"), QStringLiteral("CP"), QStringLiteral("6"), QStringLiteral("--dal"),
                             QStringLiteral("2026-03-01"), QStringLiteral("--al"), QStringLiteral("2026-03-10"), QStringLiteral("--formato"),
                             QStringLiteral("csv"), QStringLiteral("--out")};
    const QStringList elabora{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-03-01"), QStringLiteral("--al"),
                              QStringLiteral("2026-03-10"), QStringLiteral("--oggi"), QStringLiteral("2026-03-11")};
    const QStringList ini{QStringLiteral("--ini"), QStringLiteral("{ini}")};
    const QStringList iniDb{QStringLiteral("--ini"), QStringLiteral("{db}")};
    // The databases are files on SQLite only.
    if (!Banco::suServer()) {
        QTest::newRow("--ini sul database: init") << iniDb + QStringList{QStringLiteral("init")} << 2;
        QTest::newRow("--ini sul database: elabora") << iniDb + elabora << 2;
        QTest::newRow("--ini sul database: stampa") << iniDb + stampa + QStringList{QStringLiteral("{dir}/x.csv")} << 2;
        QTest::newRow("--out sul database") << ini + stampa + QStringList{QStringLiteral("{db}")} << 2;
        QTest::newRow("--out sul database di lavoro") << ini + stampa + QStringList{QStringLiteral("{dir}/Tabelle/DBPresUt.db")} << 2;
        QTest::newRow("--out su un collegamento al database") << ini + stampa + QStringList{QStringLiteral("{dir}/collegamento.db")} << 2;
    }
    QTest::newRow("--out su PRES.INI scritto altrimenti") << ini + stampa + QStringList{QStringLiteral("{dir}/Dati/../PRES.INI")} << 2;
    QTest::newRow("--out su un disco pieno") << ini + stampa + QStringList{QStringLiteral("/dev/full")} << 1;
    QTest::newRow("PRES.INI completo in sola lettura: elabora") << ini + elabora << 0;
    QTest::newRow("PRES.INI completo in sola lettura: stampa") << ini + stampa + QStringList{QStringLiteral("{dir}/x.csv")} << 0;
}

void TstComandi::fileDellApplicazioneIntatti()
{
    QFETCH(QStringList, argomenti);
    QFETCH(int, stato);

    const QString dir = azienda();
    QVERIFY(m_aziendaPronta);
    const QString ini = QDir(dir).filePath(QStringLiteral("PRES.INI"));
    const QString db = QDir(dir).filePath(QStringLiteral("Dati/DBPresenze.db"));
    const QString lavoro = QDir(dir).filePath(QStringLiteral("Tabelle/DBPresUt.db"));
    for (QString& a : argomenti)
        a.replace(QStringLiteral("{ini}"), ini).replace(QStringLiteral("{db}"), db).replace(QStringLiteral("{dir}"), dir);
    // The company's files as they are, with PRES.INI read-only and a day old.
    const QDateTime ieri = QDateTime::currentDateTime().addDays(-1);
    {
        QFile f(ini);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(ieri, QFileDevice::FileModificationTime));
    }
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const auto contenuto = [](const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray primaIni = contenuto(ini), primaDb = m_azienda.produzione.fotografia(), primaLavoro = contenuto(lavoro);
    const bool dispositivo = argomenti.contains(QStringLiteral("/dev/full"));
    if (dispositivo)
        QVERIFY(QFileInfo(QStringLiteral("/dev/full")).exists() && !QFileInfo(QStringLiteral("/dev/full")).isFile());

    const Esito e = quorlin(argomenti);
    QCOMPARE(e.stato, stato);
    QCOMPARE(contenuto(ini), primaIni);
    QCOMPARE(QFileInfo(ini).lastModified(), ieri);
    if (stato != 0) {
        QVERIFY(!e.errori.trimmed().isEmpty());
        QCOMPARE(m_azienda.produzione.fotografia(), primaDb);
        QCOMPARE(contenuto(lavoro), primaLavoro);
        QVERIFY(!QFileInfo::exists(db + QStringLiteral(".lock")));
    }
    // The device is written where it is, never replaced by a file.
    if (dispositivo) {
        QVERIFY2(e.errori.contains(QStringLiteral("/dev/full")), qPrintable(e.errori));
        QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
    }
}

QTEST_GUILESS_MAIN(TstComandi)
#include "tst_comandi.moc"
