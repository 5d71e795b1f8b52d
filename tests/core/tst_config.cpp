// Reading PRES.INI and the registry value: what the first start writes, which values
// return to their defaults, which are kept, and that the file stays the user's file.

#include "ambiente.h"
#include "fileini.h"
#include "messaggi.h"
#include "presenzecfg.h"
#include "tdtmpresenze.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

// The file as a reader of INI files sees it, parsed here independently of the
// application: section -> (key -> value), comments left out.
using Sezioni = QMap<QString, QMap<QString, QString>>;

Sezioni analizza(const QByteArray& dati)
{
    Sezioni s;
    QString sezione;
    bool dentro = false;
    for (QByteArray riga : dati.split('\n')) {
        riga = riga.trimmed();
        if (riga.isEmpty() || riga.startsWith(';') || riga.startsWith('#'))
            continue;
        if (riga.startsWith('[') && riga.endsWith(']')) {
            sezione = QString::fromUtf8(riga.mid(1, riga.size() - 2));
            s[sezione];
            dentro = true;
            continue;
        }
        const int uguale = riga.indexOf('=');
        if (!dentro || uguale < 0)
            continue;
        s[sezione].insert(QString::fromUtf8(riga.left(uguale).trimmed()), QString::fromUtf8(riga.mid(uguale + 1).trimmed()));
    }
    return s;
}

QByteArray leggiFile(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool scriviFile(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(dati) == dati.size();
}

const QStringList kColonne = {QStringLiteral("PdLColData"),      QStringLiteral("PdLColStato"),   QStringLiteral("PdLColOrario"),
                              QStringLiteral("PdLColTimbrature"), QStringLiteral("PdLColOreOrd"),  QStringLiteral("PdLColOreStra"),
                              QStringLiteral("PdLColOrePres"),   QStringLiteral("PdLColOreAssenza"), QStringLiteral("PdLColNote")};

// The value the record holds for a [Desktop] colour or width key.
qint64 valoreDesktop(const TPresenzeCfg& cfg, const QString& chiave)
{
    if (chiave == QLatin1String("ColoreReqd"))
        return cfg.ColoreReqd;
    if (chiave == QLatin1String("ColoreAnom"))
        return cfg.ColoreAnom;
    if (chiave == QLatin1String("ColoreGrid"))
        return cfg.ColoreGrid;
    const int c = kColonne.indexOf(chiave);
    return c < 0 ? -999999 : cfg.LarghezzeColonne[size_t(c)];
}

// A fresh application folder with PRES.INI holding `testo` (no file when null).
struct Cartella {
    QTemporaryDir dir;
    QString ini() const { return QDir(dir.path()).filePath(QStringLiteral("PRES.INI")); }

    explicit Cartella(const QByteArray& testo = QByteArray())
    {
        if (!testo.isNull())
            scriviFile(ini(), testo);
    }
    TPresenzeCfg leggi(const QString& azienda = {})
    {
        FileIni f(ini());
        TPresenzeCfg cfg;
        Configurazione::Leggi(f, azienda, cfg);
        return cfg;
    }
    Sezioni file() const { return analizza(leggiFile(ini())); }
};

}  // namespace

class TstConfig : public QObject {
    Q_OBJECT

private slots:
    void primoAvvioScriveIPredefiniti();
    void coloriELarghezze_data();
    void coloriELarghezze();
    void timeout_data();
    void timeout();
    void toniEModificaOriginali_data();
    void toniEModificaOriginali();
    void opzioniDiElaborazione_data();
    void opzioniDiElaborazione();
    void gruppiDellaToolbar_data();
    void gruppiDellaToolbar();
    void lingua_data();
    void lingua();
    void nomeDaRegistro_data();
    void nomeDaRegistro();
    void fileDellUtenteConservato();
    void cartellaProduzione_data();
    void cartellaProduzione();
    void connessione_data();
    void connessione();
    void fileCompletoSoloLetto();
    void fileNonIni_data();
    void fileNonIni();
    void scritturaFallitaLasciaIlFile();
    void scritturaAttendeIlBloccoETieneLeChiaviAltrui();

    void initTestCase();
    void cleanup();

private:
    QByteArray m_registroOriginale;
};

void TstConfig::initTestCase()
{
    m_registroOriginale = qgetenv("QUORLIN_REGISTRO");
}

// A test that points the registry elsewhere must not leak it into the next one.
void TstConfig::cleanup()
{
    if (m_registroOriginale.isNull())
        qunsetenv("QUORLIN_REGISTRO");
    else
        qputenv("QUORLIN_REGISTRO", m_registroOriginale);
}

void TstConfig::primoAvvioScriveIPredefiniti()
{
    Cartella c;
    QVERIFY(!QFileInfo::exists(c.ini()));
    const TPresenzeCfg cfg = c.leggi();

    const Sezioni s = c.file();
    QCOMPARE(s.keys(), (QStringList{"Acquisizione", "Config", "Desktop", "Elaborazione", "Language"}));

    QCOMPARE(s.value("Language"), (QMap<QString, QString>{{"Lingua", "ITALIANO"}}));

    QMap<QString, QString> desktop{{"ColoreReqd", "0"}, {"ColoreAnom", "0"}, {"ColoreGrid", "12648432"}};
    const int larghezze[] = {85, 70, 70, 150, 35, 35, 35, 35, 250};
    for (int i = 0; i < kColonne.size(); ++i)
        desktop.insert(kColonne.at(i), QString::number(larghezze[i]));
    // TblSetting is written when the main window closes, Utente after a login.
    QCOMPARE(s.value("Desktop"), desktop);

    QCOMPARE(s.value("Acquisizione"), (QMap<QString, QString>{{"Toni", "0"}, {"Timeout", "60"}}));
    QCOMPARE(s.value("Elaborazione"), (QMap<QString, QString>{{"AnomAssenza", "1"}, {"CalcolaAssenza", "1"}, {"CalcolaStraord", "1"}}));
    // Preview is written by the print settings, never at start.
    QCOMPARE(s.value("Config"), (QMap<QString, QString>{{"ModTimbOrig", "0"}}));
    QVERIFY(!s.contains("Ambiente START"));

    QCOMPARE(cfg.Lingua, QChar('I'));
    QCOMPARE(cfg.ColoreReqd, 0u);
    QCOMPARE(cfg.ColoreAnom, 0u);
    QCOMPARE(cfg.ColoreGrid, 12648432u);
    QCOMPARE(cfg.ColoreGrid, 0xC0FFF0u);
    for (int i = 0; i < kColonne.size(); ++i)
        QCOMPARE(cfg.LarghezzeColonne[size_t(i)], larghezze[i]);
    QCOMPARE(cfg.Bande, (std::array<bool, 5>{true, true, true, true, true}));
    QCOMPARE(cfg.Toni, false);
    QCOMPARE(cfg.Timeout, 60);
    QVERIFY(cfg.AnomAssenza && cfg.CalcolaAssenza && cfg.CalcolaStraord);
    QCOMPARE(cfg.ModTimbOrig, false);
    QCOMPARE(cfg.NetFileDir, QStringLiteral("C:\\"));
    QCOMPARE(cfg.PathProduzione, QString());

    // A second start reads what the first wrote and writes nothing new.
    const QByteArray dopoPrimo = leggiFile(c.ini());
    c.leggi();
    QCOMPARE(c.file(), s);
    QCOMPARE(leggiFile(c.ini()), dopoPrimo);
}

void TstConfig::coloriELarghezze_data()
{
    QTest::addColumn<QString>("chiave");
    QTest::addColumn<QString>("nelFile");  // null: key absent
    QTest::addColumn<qint64>("atteso");

    const qint64 predefiniti[] = {85, 70, 70, 150, 35, 35, 35, 35, 250};
    QTest::newRow("ColoreGrid 0 torna a C0FFF0") << "ColoreGrid" << "0" << qint64(12648432);
    QTest::newRow("ColoreGrid assente") << "ColoreGrid" << QString() << qint64(12648432);
    QTest::newRow("ColoreGrid rosso tenuto") << "ColoreGrid" << "255" << qint64(255);
    QTest::newRow("ColoreReqd 0 resta 0") << "ColoreReqd" << "0" << qint64(0);
    QTest::newRow("ColoreReqd blu tenuto") << "ColoreReqd" << "16711680" << qint64(16711680);
    QTest::newRow("ColoreAnom assente e' 0") << "ColoreAnom" << QString() << qint64(0);
    QTest::newRow("ColoreAnom rosso tenuto") << "ColoreAnom" << "255" << qint64(255);
    for (int i = 0; i < kColonne.size(); ++i) {
        const QByteArray k = kColonne.at(i).toLatin1();
        QTest::newRow((k + " 0 torna al predefinito").constData()) << kColonne.at(i) << "0" << predefiniti[i];
        QTest::newRow((k + " assente").constData()) << kColonne.at(i) << QString() << predefiniti[i];
    }
    QTest::newRow("PdLColNote piu' larga tenuta") << "PdLColNote" << "300" << qint64(300);
    QTest::newRow("PdLColData piu' stretta tenuta") << "PdLColData" << "40" << qint64(40);
    QTest::newRow("PdLColStato negativa non e' zero, tenuta") << "PdLColStato" << "-5" << qint64(-5);
    QTest::newRow("PdLColOrario non numerica torna al predefinito") << "PdLColOrario" << "largo" << qint64(70);
}

void TstConfig::coloriELarghezze()
{
    QFETCH(QString, chiave);
    QFETCH(QString, nelFile);
    QFETCH(qint64, atteso);

    Cartella c(nelFile.isNull() ? QByteArray("[Desktop]\r\n") : ("[Desktop]\r\n" + chiave + "=" + nelFile + "\r\n").toUtf8());
    const TPresenzeCfg cfg = c.leggi();
    QCOMPARE(valoreDesktop(cfg, chiave), atteso);
    // What is taken is what the next start finds.
    QCOMPARE(c.file().value("Desktop").value(chiave), QString::number(atteso));
}

void TstConfig::timeout_data()
{
    QTest::addColumn<QString>("nelFile");  // null: key absent
    QTest::addColumn<int>("atteso");
    QTest::addColumn<QString>("scritto");

    QTest::newRow("assente scrive 60") << QString() << 60 << "60";
    QTest::newRow("-1 scrive 60") << "-1" << 60 << "60";
    QTest::newRow("0 e' un valore ed e' tenuto") << "0" << 0 << "0";
    QTest::newRow("30 tenuto") << "30" << 30 << "30";
    QTest::newRow("non numerico vale come assente") << "breve" << 60 << "60";
}

void TstConfig::timeout()
{
    QFETCH(QString, nelFile);
    QFETCH(int, atteso);
    QFETCH(QString, scritto);

    Cartella c(nelFile.isNull() ? QByteArray("[Acquisizione]\r\n") : ("[Acquisizione]\r\nTimeout=" + nelFile + "\r\n").toUtf8());
    QCOMPARE(c.leggi().Timeout, atteso);
    QCOMPARE(c.file().value("Acquisizione").value("Timeout"), scritto);
}

void TstConfig::toniEModificaOriginali_data()
{
    QTest::addColumn<QString>("sezione");
    QTest::addColumn<QString>("chiave");
    QTest::addColumn<QString>("nelFile");  // null: key absent
    QTest::addColumn<bool>("atteso");
    QTest::addColumn<QString>("scritto");

    // Read with default false; false is written back, true is left as the user wrote it.
    QTest::newRow("Toni assente scrive 0") << "Acquisizione" << "Toni" << QString() << false << "0";
    QTest::newRow("Toni 0 resta 0") << "Acquisizione" << "Toni" << "0" << false << "0";
    QTest::newRow("Toni 1 tenuto") << "Acquisizione" << "Toni" << "1" << true << "1";
    QTest::newRow("Toni -1 e' vero, non riscritto") << "Acquisizione" << "Toni" << "-1" << true << "-1";
    QTest::newRow("ModTimbOrig assente scrive 0") << "Config" << "ModTimbOrig" << QString() << false << "0";
    QTest::newRow("ModTimbOrig 1 tenuto") << "Config" << "ModTimbOrig" << "1" << true << "1";
    QTest::newRow("ModTimbOrig 2 e' vero, non riscritto") << "Config" << "ModTimbOrig" << "2" << true << "2";
}

void TstConfig::toniEModificaOriginali()
{
    QFETCH(QString, sezione);
    QFETCH(QString, chiave);
    QFETCH(QString, nelFile);
    QFETCH(bool, atteso);
    QFETCH(QString, scritto);

    Cartella c(nelFile.isNull() ? QByteArray() : ("[" + sezione + "]\r\n" + chiave + "=" + nelFile + "\r\n").toUtf8());
    const TPresenzeCfg cfg = c.leggi();
    QCOMPARE(chiave == QLatin1String("Toni") ? cfg.Toni : cfg.ModTimbOrig, atteso);
    QCOMPARE(c.file().value(sezione).value(chiave), scritto);
}

void TstConfig::opzioniDiElaborazione_data()
{
    QTest::addColumn<QString>("chiave");
    QTest::addColumn<QString>("nelFile");  // null: key absent
    QTest::addColumn<bool>("atteso");
    QTest::addColumn<QString>("scritto");

    for (const char* k : {"AnomAssenza", "CalcolaAssenza", "CalcolaStraord"}) {
        const QByteArray n(k);
        QTest::newRow((n + " assente scritta vera").constData()) << k << QString() << true << "1";
        QTest::newRow((n + " 1 tenuta").constData()) << k << "1" << true << "1";
        // "00" is a false the application never writes itself: it stays only if the key
        // was left alone, as the rule wants for a false option.
        QTest::newRow((n + " falsa non riscritta").constData()) << k << "00" << false << "00";
    }
    QTest::newRow("AnomAssenza 0 resta 0") << "AnomAssenza" << "0" << false << "0";
}

void TstConfig::opzioniDiElaborazione()
{
    QFETCH(QString, chiave);
    QFETCH(QString, nelFile);
    QFETCH(bool, atteso);
    QFETCH(QString, scritto);

    Cartella c(nelFile.isNull() ? QByteArray() : ("[Elaborazione]\r\n" + chiave + "=" + nelFile + "\r\n").toUtf8());
    const TPresenzeCfg cfg = c.leggi();
    const bool letto = chiave == QLatin1String("AnomAssenza") ? cfg.AnomAssenza
        : chiave == QLatin1String("CalcolaAssenza")           ? cfg.CalcolaAssenza
                                                              : cfg.CalcolaStraord;
    QCOMPARE(letto, atteso);
    QCOMPARE(c.file().value("Elaborazione").value(chiave), scritto);
    // The other two options are unaffected by this one.
    for (const char* altra : {"AnomAssenza", "CalcolaAssenza", "CalcolaStraord"})
        if (chiave != QLatin1String(altra))
            QCOMPARE(c.file().value("Elaborazione").value(altra), QStringLiteral("1"));
}

void TstConfig::gruppiDellaToolbar_data()
{
    QTest::addColumn<QString>("nelFile");  // null: key absent
    QTest::addColumn<QString>("visibili");  // groups 1..5 as seen, "1" shown
    QTest::addColumn<QString>("allaChiusura");

    QTest::newRow("assente mostra tutti") << QString() << "11111" << "11111";
    QTest::newRow("10101 mostra 1 3 5") << "10101" << "10101" << "10101";
    QTest::newRow("11 mostra solo 1 2") << "11" << "11000" << "11000";
    QTest::newRow("1x1: altri caratteri nascondono") << "1x1" << "10100" << "10100";
    QTest::newRow("01111 nasconde esci e aiuto") << "01111" << "01111" << "01111";
    QTest::newRow("00000 nasconde tutti") << "00000" << "00000" << "00000";
    QTest::newRow("2 e spazi nascondono") << "2 1 1" << "00101" << "00101";
    QTest::newRow("un sesto carattere e' ignorato") << "111110" << "11111" << "11111";
}

void TstConfig::gruppiDellaToolbar()
{
    QFETCH(QString, nelFile);
    QFETCH(QString, visibili);
    QFETCH(QString, allaChiusura);

    Cartella c(nelFile.isNull() ? QByteArray() : ("[Desktop]\r\nTblSetting=" + nelFile + "\r\n").toUtf8());
    const TPresenzeCfg cfg = c.leggi();
    for (int g = 0; g < 5; ++g)
        QVERIFY2(cfg.Bande[size_t(g)] == (visibili.at(g) == QLatin1Char('1')), qPrintable(QStringLiteral("gruppo %1").arg(g + 1)));
    // Start-up does not touch the key; closing writes the five flags as they are.
    QCOMPARE(c.file().value("Desktop").value("TblSetting"), nelFile.isNull() ? QString() : nelFile);
    QCOMPARE(Configurazione::TestoBande(cfg.Bande), allaChiusura);
}

void TstConfig::lingua_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QChar>("lettera");
    QTest::addColumn<QString>("scritto");

    QTest::newRow("nessun file") << QByteArray() << QChar('I') << "ITALIANO";
    QTest::newRow("sezione senza chiave") << QByteArray("[Language]\r\n") << QChar('I') << "ITALIANO";
    QTest::newRow("valore vuoto") << QByteArray("[Language]\r\nLingua=\r\n") << QChar('I') << "ITALIANO";
    QTest::newRow("ITALIANO") << QByteArray("[Language]\r\nLingua=ITALIANO\r\n") << QChar('I') << "ITALIANO";
    QTest::newRow("ENGLISH") << QByteArray("[Language]\r\nLingua=ENGLISH\r\n") << QChar('E') << "ENGLISH";
    QTest::newRow("DEUTSCH") << QByteArray("[Language]\r\nLingua=DEUTSCH\r\n") << QChar('D') << "DEUTSCH";
    QTest::newRow("una lettera") << QByteArray("[Language]\r\nLingua=F\r\n") << QChar('F') << "F";
    QTest::newRow("fine riga Unix") << QByteArray("[Language]\nLingua=ENGLISH\n") << QChar('E') << "ENGLISH";
}

void TstConfig::lingua()
{
    QFETCH(QByteArray, ini);
    QFETCH(QChar, lettera);
    QFETCH(QString, scritto);

    Cartella c(ini.isEmpty() ? QByteArray() : ini);
    QCOMPARE(c.leggi().Lingua, lettera);
    QCOMPARE(c.file().value("Language").value("Lingua"), scritto);
}

void TstConfig::nomeDaRegistro_data()
{
    QTest::addColumn<QByteArray>("registro");  // null: no file
    QTest::addColumn<QString>("azienda");
    QTest::addColumn<QString>("nome");

    QTest::newRow("valore presente") << QByteArray("[KVAzienda]\r\nAZIENDA=Qualcosa\r\n") << "Qualcosa" << "Zelvano";
    QTest::newRow("qualsiasi testo, anche una lettera") << QByteArray("[KVAzienda]\nAZIENDA=x\n") << "x" << "Zelvano";
    QTest::newRow("valore vuoto") << QByteArray("[KVAzienda]\r\nAZIENDA=\r\n") << "" << "Quorlin";
    QTest::newRow("chiave assente") << QByteArray("[KVAzienda]\r\nALTRO=1\r\n") << "" << "Quorlin";
    QTest::newRow("valore sotto un'altra chiave") << QByteArray("[Altro]\r\nAZIENDA=Qualcosa\r\n") << "" << "Quorlin";
    QTest::newRow("nessun file") << QByteArray() << "" << "Quorlin";
}

void TstConfig::nomeDaRegistro()
{
    QFETCH(QByteArray, registro);
    QFETCH(QString, azienda);
    QFETCH(QString, nome);

    QTemporaryDir sistema;
    const QString file = QDir(sistema.path()).filePath(QStringLiteral("registro.ini"));
    if (!registro.isNull())
        QVERIFY(scriviFile(file, registro));
    qputenv("QUORLIN_REGISTRO", QFile::encodeName(file));

    Cartella c;
    TdtmPresenze d;
    d.LeggiConfigurazione(c.ini());
    QCOMPARE(d.cfg().Azienda, azienda);
    QCOMPARE(d.cfg().NomeProg, nome);
    // The registry is only read.
    if (registro.isNull())
        QVERIFY(!QFileInfo::exists(file));
    else
        QCOMPARE(leggiFile(file), registro);
}

void TstConfig::fileDellUtenteConservato()
{
    const QByteArray iniziale = "; Configurazione della postazione di Paola\r\n"
                                "[Ambiente START]\r\n"
                                "; cartella condivisa\r\n"
                                "PATH=..\\dati\r\n"
                                "NetFileDir=\\\\server\\rete\r\n"
                                "ChiaveSconosciuta=resta\r\n"
                                "\r\n"
                                "[Trans_format]\r\n"
                                "PosizBadge=1\r\n"
                                "LunghBadge=10\r\n"
                                "\r\n"
                                "[Desktop]\r\n"
                                "Utente=PAOLA\r\n"
                                "TblSetting=10101\r\n"
                                "PdLColNote=300\r\n"
                                "\r\n"
                                "[Sezione di altri]\r\n"
                                "Valore=con spazi dentro\r\n";
    Cartella c(iniziale);
    const TPresenzeCfg cfg = c.leggi();
    QCOMPARE(cfg.PathProduzione, QStringLiteral("..\\dati"));
    QCOMPARE(cfg.NetFileDir, QStringLiteral("\\\\server\\rete"));

    const QByteArray dopo = leggiFile(c.ini());
    QVERIFY(dopo.contains("; Configurazione della postazione di Paola"));
    QVERIFY(dopo.contains("; cartella condivisa"));
    const Sezioni s = c.file();
    QCOMPARE(s.value("Ambiente START"), (QMap<QString, QString>{{"PATH", "..\\dati"},
                                                                {"NetFileDir", "\\\\server\\rete"},
                                                                {"ChiaveSconosciuta", "resta"}}));
    QCOMPARE(s.value("Trans_format"), (QMap<QString, QString>{{"PosizBadge", "1"}, {"LunghBadge", "10"}}));
    QCOMPARE(s.value("Sezione di altri"), (QMap<QString, QString>{{"Valore", "con spazi dentro"}}));
    QCOMPARE(s.value("Desktop").value("Utente"), QStringLiteral("PAOLA"));
    QCOMPARE(s.value("Desktop").value("TblSetting"), QStringLiteral("10101"));
    QCOMPARE(s.value("Desktop").value("PdLColNote"), QStringLiteral("300"));
    // ...and the defaults were added beside them.
    QCOMPARE(s.value("Desktop").value("ColoreGrid"), QStringLiteral("12648432"));
    QCOMPARE(s.value("Language").value("Lingua"), QStringLiteral("ITALIANO"));
    QCOMPARE(s.value("Acquisizione").value("Timeout"), QStringLiteral("60"));
    // Keys stay "key=value" without blanks, as Windows writes them.
    QVERIFY(dopo.contains("PATH=..\\dati"));
    QVERIFY(dopo.contains("Lingua=ITALIANO"));
}

void TstConfig::cartellaProduzione_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("relativaAllApp");  // expected, relative to the app folder; null when absolute
    QTest::addColumn<QString>("assoluta");

    QTest::newRow("vuoto e' Dati accanto a PRES.INI") << "" << "Dati" << QString();
    QTest::newRow("solo spazi vale vuoto") << "   " << "Dati" << QString();
    QTest::newRow("nome relativo") << "archivio" << "archivio" << QString();
    QTest::newRow("relativo con cartella superiore") << "../dati" << "../dati" << QString();
    QTest::newRow("relativo con punto") << "./dati/presenze" << "dati/presenze" << QString();
    QTest::newRow("assoluto tenuto") << "/srv/presenze" << QString() << "/srv/presenze";
}

void TstConfig::cartellaProduzione()
{
    QFETCH(QString, path);
    QFETCH(QString, relativaAllApp);
    QFETCH(QString, assoluta);

    Cartella c(("[Ambiente START]\r\nPATH=" + path + "\r\n").toUtf8());
    const TPresenzeCfg cfg = c.leggi();
    const QString app = QFileInfo(c.ini()).absolutePath();
    const QString attesa = assoluta.isNull() ? QDir::cleanPath(app + QLatin1Char('/') + relativaAllApp) : assoluta;
    QCOMPARE(Configurazione::CartellaProduzione(cfg), attesa);
    // PATH is never written.
    QCOMPARE(c.file().value("Ambiente START").value("PATH"), path.trimmed());
}

void TstConfig::connessione_data()
{
    QTest::addColumn<QString>("chiavi");      // [Ambiente START] lines, "|" between them
    QTest::addColumn<QString>("ambiente");    // PG* variables set for the row, "|" between them
    QTest::addColumn<QString>("atteso");      // what the connection describes, or the key refused
    QTest::addColumn<QString>("schema");      // the work schema; "*" for the one named after the host

    const QString tutte = QStringLiteral("Motore=PostgreSQL|Host=db.azienda.it|Porta=5433|Database=presenze|Utente=paghe|Schema=Cassa1");
    QTest::newRow("nessuna chiave: SQLite in Dati") << "" << "PGHOST=altrove" << "Dati/DBPresenze.db" << "";
    QTest::newRow("SQLite scritto a mano") << "Motore=sqlite|PATH=archivio" << "" << "archivio/DBPresenze.db" << "";
    QTest::newRow("server con ogni chiave") << tutte << "PGHOST=altrove|PGPORT=6000|PGDATABASE=altra|PGUSER=altri"
                                            << "postgresql://paghe@db.azienda.it:5433/presenze" << "cassa1";
    QTest::newRow("le chiavi mancanti dalle variabili dei client") << "Motore=PostgreSQL|Utente=paghe"
                                                                    << "PGHOST=srv|PGPORT=6000|PGDATABASE=ditta|PGUSER=altri"
                                                                    << "postgresql://paghe@srv:6000/ditta" << "*";
    QTest::newRow("motore sconosciuto") << "Motore=Oracle" << "" << "!Motore=Oracle" << "";
    QTest::newRow("porta non numerica") << "Motore=PostgreSQL|Porta=cinque" << "" << "!Porta=cinque" << "";
    QTest::newRow("porta fuori intervallo") << "Motore=PostgreSQL|Porta=70000" << "" << "!Porta=70000" << "";
    QTest::newRow("porta con segno") << "Motore=PostgreSQL|Porta=+5432" << "" << "!Porta=+5432" << "";
    QTest::newRow("database con istruzioni") << "Motore=PostgreSQL|Database=ditta;drop" << "" << "!Database=ditta;drop" << "";
    QTest::newRow("schema che inizia con una cifra") << "Motore=PostgreSQL|Schema=1cassa" << "" << "!Schema=1cassa" << "";
}

void TstConfig::connessione()
{
    QFETCH(QString, chiavi);
    QFETCH(QString, ambiente);
    QFETCH(QString, atteso);
    QFETCH(QString, schema);

    const QStringList variabili{QStringLiteral("PGHOST"), QStringLiteral("PGPORT"), QStringLiteral("PGDATABASE"), QStringLiteral("PGUSER")};
    QHash<QString, QByteArray> prima;
    for (const QString& v : variabili) {
        prima.insert(v, qgetenv(qPrintable(v)));
        qunsetenv(qPrintable(v));
    }
    for (const QString& a : ambiente.split(QLatin1Char('|'), Qt::SkipEmptyParts))
        qputenv(qPrintable(a.section(QLatin1Char('='), 0, 0)), a.section(QLatin1Char('='), 1).toUtf8());
    const auto ripristina = qScopeGuard([&] {
        for (const QString& v : variabili)
            prima.value(v).isNull() ? qunsetenv(qPrintable(v)) : qputenv(qPrintable(v), prima.value(v));
    });

    Cartella c(("[Ambiente START]\r\n" + QString(chiavi).replace(QLatin1Char('|'), QStringLiteral("\r\n")) + "\r\n").toUtf8());
    TdtmPresenze d;
    d.LeggiConfigurazione(c.ini());
    QString descrizione;
    try {
        const Connessione k = d.ConnessioneProduzione();
        descrizione = k.descrizione();
        QCOMPARE(k.motore == Dialetto::Motore::PostgreSQL, !schema.isEmpty());
    } catch (const ErroreAvvio& e) {
        QCOMPARE(e.numero(), int(Msg::ErrChiaveConnessione));
        descrizione = QLatin1Char('!') + e.dettaglio();
    }
    if (atteso.contains(QLatin1String("DBPresenze.db")))
        atteso = QDir::toNativeSeparators(QDir(QFileInfo(c.ini()).absolutePath()).filePath(atteso));
    QCOMPARE(descrizione, atteso);
    if (!schema.isEmpty())
        QCOMPARE(d.SchemaLavoro(), schema == QLatin1String("*") ? Connessione::schemaLavoroPredefinito() : schema);
    // The connection keys are never written back.
    QCOMPARE(c.file().value("Ambiente START").size(), chiavi.isEmpty() ? 0 : chiavi.count(QLatin1Char('|')) + 1);
}

void TstConfig::fileCompletoSoloLetto()
{
    Cartella c;
    c.leggi();
    QVERIFY(scriviFile(c.ini(), leggiFile(c.ini()) + "[Ambiente START]\r\nPATH=..\\dati\r\n"));
    // A file that already holds every key is only read: never rewritten (so it may be
    // read-only), and its time stays the one the user left.
    const QDateTime ieri = QDateTime::currentDateTime().addDays(-1);
    {
        QFile f(c.ini());
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(ieri, QFileDevice::FileModificationTime));
    }
    QFile::setPermissions(c.ini(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray prima = leggiFile(c.ini());
    QCOMPARE(c.leggi().PathProduzione, QStringLiteral("..\\dati"));
    QCOMPARE(QFileInfo(c.ini()).lastModified(), ieri);
    QCOMPARE(leggiFile(c.ini()), prima);
    QVERIFY(!QFileInfo::exists(c.ini() + QStringLiteral(".lock")));
}

void TstConfig::fileNonIni_data()
{
    QTest::addColumn<QByteArray>("dati");  // null: a folder in its place
    QTest::addColumn<QString>("riga");     // the line named after the file; empty: accepted

    QTest::newRow("un database") << QByteArray("SQLite format 3\0\x10\0\x02\x02", 20) + QByteArray(4076, '\0') << ":1";
    QTest::newRow("un PDF") << QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n") << ":1";
    QTest::newRow("un testo che non e' INI alla riga 3")
        << QByteArray("[Desktop]\r\nUtente=PAOLA\r\nRossi;Mario;08:00\r\n") << ":3";
    QTest::newRow("una cartella") << QByteArray() << "";
    QTest::newRow("INI con BOM, commenti, chiavi fuori sezione e fine file DOS accettato")
        << QByteArray("\xEF\xBB\xBF; note\r\n# altro\r\nlibera=1\r\n[Ambiente START]\r\n\tPATH = dati\r\n\r\n\x1A") << "accettato";
}

void TstConfig::fileNonIni()
{
    QFETCH(QByteArray, dati);
    QFETCH(QString, riga);

    Cartella c;
    if (dati.isNull())
        QVERIFY(QDir().mkpath(c.ini()));
    else
        QVERIFY(scriviFile(c.ini(), dati));
    TdtmPresenze d;
    int numero = 0;
    QString dettaglio;
    try {
        d.LeggiConfigurazione(c.ini());
    } catch (const ErroreAvvio& e) {
        numero = e.numero();
        dettaglio = e.dettaglio();
    }
    if (riga == QLatin1String("accettato")) {
        QCOMPARE(numero, 0);
        QCOMPARE(d.cfg().PathProduzione, QStringLiteral("dati"));
        return;
    }
    QCOMPARE(numero, int(Msg::ErrIniNonValido));
    QCOMPARE(dettaglio, QFileInfo(c.ini()).absoluteFilePath() + riga);
    // Never written, not even a lock beside it.
    if (!dati.isNull())
        QCOMPARE(leggiFile(c.ini()), dati);
    QCOMPARE(QDir(c.dir.path()).entryList(QDir::Files), dati.isNull() ? QStringList() : QStringList{QStringLiteral("PRES.INI")});
}

void TstConfig::scritturaFallitaLasciaIlFile()
{
    // A disk that fills up while the defaults are written: the process may write 200 bytes
    // per file, enough for the lock and too few for the completed PRES.INI.
    const QByteArray iniziale = "[Ambiente START]\r\nPATH=..\\dati\r\n";
    Cartella c(iniziale);
    PresentatoreRegistro reg;
    TdtmPresenze d;
    d.setPresentatore(&reg);
    bool eccezione = false;
    try {
        DiscoPieno disco(200);
        d.LeggiConfigurazione(c.ini());
    } catch (...) {
        eccezione = true;
    }

    // Reported, the values taken all the same, the file as it was.
    QVERIFY(!eccezione);
    QCOMPARE(reg.avvisi.size(), 1);
    QVERIFY2(reg.avvisi.first().startsWith(d.TestoErrore(Msg::ErrIni)) && reg.avvisi.first().contains(c.ini()),
             qPrintable(reg.avvisi.first()));
    QCOMPARE(d.cfg().PathProduzione, QStringLiteral("..\\dati"));
    QCOMPARE(d.cfg().ColoreGrid, 12648432u);
    QCOMPARE(leggiFile(c.ini()), iniziale);
    QCOMPARE(QDir(c.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("PRES.INI")});
}

void TstConfig::scritturaAttendeIlBloccoETieneLeChiaviAltrui()
{
    Cartella c("[Ambiente START]\r\nPATH=..\\dati\r\n");
    FileIni ini(c.ini());
    // Another copy holds the lock while it adds a key of its own.
    QLockFile blocco(c.ini() + QStringLiteral(".lock"));
    QVERIFY(blocco.lock());
    std::thread altra([&] {
        QThread::msleep(300);
        scriviFile(c.ini(), "[Ambiente START]\r\nPATH=..\\dati\r\n[Desktop]\r\nUtente=PAOLA\r\n");
        blocco.unlock();
    });
    QElapsedTimer t;
    t.start();
    ini.scriviTesto(Ini::Desktop, QStringLiteral("TblSetting"), QStringLiteral("10101"));
    const qint64 atteso = t.elapsed();
    altra.join();
    QVERIFY2(atteso >= 250, qPrintable(QString::number(atteso)));
    QCOMPARE(c.file().value("Desktop"), (QMap<QString, QString>{{"Utente", "PAOLA"}, {"TblSetting", "10101"}}));
    QCOMPARE(c.file().value("Ambiente START").value("PATH"), QStringLiteral("..\\dati"));
}

QTEST_GUILESS_MAIN(TstConfig)
#include "tst_config.moc"
