// migra moves a company between the two engines: a demo company taken from SQLite to a
// server and back to another SQLite file comes out identical, table by table and row by row;
// a target that holds data is refused and left as it was. It needs both engines, so it runs
// with the PostgreSQL half of the suite.

#include "ambiente.h"
#include "database.h"
#include "ddl.h"
#include "eseguibile.h"
#include "righe.h"
#include "tabelle.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

QByteArray contenuto(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TstMigra : public QObject {
    Q_OBJECT
private slots:
    void andataERitorno();
};

void TstMigra::andataERitorno()
{
    QVERIFY(Banco::suServer());
    QTemporaryDir primo, secondo;
    DatabaseDiProva server(primo.path());
    // Both folders name the same server database; Motore stays SQLite throughout.
    const QByteArray chiavi = "[Ambiente START]\nDatabase=" + server.connessione().database.toUtf8() + "\n";
    const auto prepara = [&](const QTemporaryDir& d) {
        const QString ini = QDir(d.path()).filePath(QStringLiteral("PRES.INI"));
        QFile f(ini);
        return f.open(QIODevice::WriteOnly) && f.write(chiavi) == chiavi.size() ? ini : QString();
    };
    const QString iniPrimo = prepara(primo), iniSecondo = prepara(secondo);
    const QString filePrimo = QDir(primo.path()).filePath(QStringLiteral("Dati/DBPresenze.db"));
    const QString fileSecondo = QDir(secondo.path()).filePath(QStringLiteral("Dati/DBPresenze.db"));
    const auto migra = [](const QString& ini, const char* verso, bool sostituisci = false) {
        QStringList a{QStringLiteral("--ini"), ini, QStringLiteral("migra"), QStringLiteral("--verso"), QLatin1String(verso)};
        if (sostituisci)
            a << QStringLiteral("--sostituisci");
        return quorlin(a);
    };

    QCOMPARE(quorlin({QStringLiteral("--ini"), iniPrimo, QStringLiteral("demo"), QStringLiteral("--dipendenti"), QStringLiteral("6"),
                      QStringLiteral("--giorni"), QStringLiteral("12"), QStringLiteral("--oggi"), QStringLiteral("2026-03-11")})
                 .stato,
             0);
    QCOMPARE(quorlin({QStringLiteral("--ini"), iniPrimo, QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-02-27"),
                      QStringLiteral("--al"), QStringLiteral("2026-03-10"), QStringLiteral("--oggi"), QStringLiteral("2026-03-11")})
                 .stato,
             0);
    const QStringList attese = righe(Connessione::sqlite(filePrimo));
    for (const char* tabella : {"Timbrature|", "PianoSomma|", "AnomalieGiorno|", "Anagrafico|", "Errori|"})
        QVERIFY2(std::any_of(attese.begin(), attese.end(), [&](const QString& r) { return r.startsWith(QLatin1String(tabella)); }), tabella);

    const Esito andata = migra(iniPrimo, "postgres");
    QCOMPARE(andata.stato, 0);
    QCOMPARE(righe(server.connessione()), attese);

    // A second copy onto the filled server is refused and changes nothing.
    const QByteArray serverPrima = server.fotografia();
    const Esito ancora = migra(iniPrimo, "postgres");
    QCOMPARE(ancora.stato, 1);
    QVERIFY2(ancora.errori.contains(QLatin1String("--sostituisci")), qPrintable(ancora.errori));
    QCOMPARE(server.fotografia(), serverPrima);

    // Back to a new company's file: init's reference rows are data, so only --sostituisci
    // replaces them.
    QCOMPARE(quorlin({QStringLiteral("--ini"), iniSecondo, QStringLiteral("init")}).stato, 0);
    const QByteArray fileSecondoPrima = contenuto(fileSecondo);
    QVERIFY(!fileSecondoPrima.isEmpty());
    QCOMPARE(migra(iniSecondo, "sqlite").stato, 1);
    QCOMPARE(contenuto(fileSecondo), fileSecondoPrima);
    // A target refusing a row midway keeps all it had, the emptied tables too.
    const auto rifiuto = [&](bool crea) {
        Database db;
        db.apri(Connessione::sqlite(fileSecondo), false);
        const QString nome = QStringLiteral("rifiuto_migra"), tabella = QStringLiteral("Timbrature");
        for (const QString& sql : crea ? Ddl::creaRifiuto(db.dialetto(), nome, tabella, QStringLiteral("INSERT"), {}, QStringLiteral("disco pieno"))
                                       : Ddl::eliminaRifiuto(db.dialetto(), nome, tabella))
            db.esegui(sql);
    };
    rifiuto(true);
    const QByteArray conRifiuto = contenuto(fileSecondo);
    const Esito rifiutata = migra(iniSecondo, "sqlite", true);
    QCOMPARE(rifiutata.stato, 1);
    QVERIFY2(rifiutata.errori.contains(QLatin1String("disco pieno")), qPrintable(rifiutata.errori));
    QCOMPARE(contenuto(fileSecondo), conRifiuto);
    rifiuto(false);

    const Esito ritorno = migra(iniSecondo, "sqlite", true);
    QCOMPARE(ritorno.stato, 0);
    QCOMPARE(righe(Connessione::sqlite(fileSecondo)), attese);
    QVERIFY(ritorno.uscita.contains(QStringLiteral("Righe copiate: %1").arg(attese.size())));
    // Motore is the user's to change.
    QCOMPARE(contenuto(iniSecondo).contains("Motore"), false);
}

QTEST_GUILESS_MAIN(TstMigra)
#include "tst_migra.moc"
