// The safety copy and its restore, run as a user runs them: a copy taken while another process
// writes comes back identical, and a restore refuses a folder that is not a copy of ours or a
// database someone has open, leaving the current data as it was.

#include "ambiente.h"
#include "eseguibile.h"
#include "righe.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TstCopia : public QObject {
    Q_OBJECT
private slots:
    void copiaERipristino();
};

void TstCopia::copiaERipristino()
{
    QTemporaryDir dir;
    DatabaseDiProva produzione(dir.path());
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    {
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(produzione.righeIni());
    }
    const QStringList base{QStringLiteral("--ini"), ini};
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("demo"), QStringLiteral("--dipendenti"), QStringLiteral("40"),
                                        QStringLiteral("--giorni"), QStringLiteral("20"), QStringLiteral("--oggi"),
                                        QStringLiteral("2026-03-21")})
                 .stato,
             0);

    // Another process processes the month while the copy is taken.
    QProcess scrittore;
    scrittore.start(QStringLiteral(QUORLIN_ESEGUIBILE),
                    base + QStringList{QStringLiteral("elabora"), QStringLiteral("--dal"), QStringLiteral("2026-03-01"),
                                       QStringLiteral("--al"), QStringLiteral("2026-03-20"), QStringLiteral("--oggi"),
                                       QStringLiteral("2026-03-21")});
    QVERIFY(scrittore.waitForStarted());
    const QString copia = QDir(dir.path()).filePath(QStringLiteral("copia"));
    const Esito c = quorlin(base + QStringList{QStringLiteral("copia"), QStringLiteral("--out"), copia});
    QVERIFY(scrittore.waitForFinished(120000));
    QCOMPARE(scrittore.exitCode(), 0);
    QCOMPARE(c.stato, 0);
    QVERIFY(QFile::exists(QDir(copia).filePath(QStringLiteral("COPIA.INI"))));
    const QStringList attese = righe(Connessione::sqlite(QDir(copia).filePath(QStringLiteral("DBPresenze.db"))));
    QVERIFY(!attese.isEmpty());
    // A second copy never goes over the first.
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("copia"), QStringLiteral("--out"), copia}).stato, 2);

    // Data lost after the copy: an employee deleted with all of his.
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("cancella"), QStringLiteral("--dal"), QStringLiteral("2026-03-01"),
                                        QStringLiteral("--al"), QStringLiteral("2026-03-01"), QStringLiteral("--tipo"),
                                        QStringLiteral("completa"), QStringLiteral("--dip"), QStringLiteral("1"),
                                        QStringLiteral("--conferma")})
                 .stato,
             0);
    const QStringList dopo = righe(produzione.connessione());
    QVERIFY(dopo != attese);

    const QStringList ripristina = base + QStringList{QStringLiteral("ripristina"), copia, QStringLiteral("--conferma")};
    // Refused, touching nothing: a folder that is not a copy, a copy of another schema version,
    // a database another connection holds open.
    const Esito estranea = quorlin(base + QStringList{QStringLiteral("ripristina"), dir.path(), QStringLiteral("--conferma")});
    QCOMPARE(estranea.stato, 1);
    QVERIFY2(estranea.errori.contains(QLatin1String("copia di sicurezza")), qPrintable(estranea.errori));
    {
        Database aperto;
        aperto.apri(produzione.connessione(), false);
        const Esito inUso = quorlin(ripristina);
        QCOMPARE(inUso.stato, 1);
        QVERIFY2(inUso.errori.contains(QLatin1String("in uso")), qPrintable(inUso.errori));
    }
    QCOMPARE(righe(produzione.connessione()), dopo);
    QCOMPARE(quorlin(base + QStringList{QStringLiteral("ripristina"), copia}).stato, 2);

    const Esito r = quorlin(ripristina);
    QCOMPARE(r.stato, 0);
    QCOMPARE(righe(produzione.connessione()), attese);

    // A copy written by a later release is refused as well.
    QFile segno(QDir(copia).filePath(QStringLiteral("COPIA.INI")));
    QVERIFY(segno.open(QIODevice::ReadWrite));
    const QByteArray testo = segno.readAll().replace("VersioneSchema=", "VersioneSchema=9");
    segno.resize(0);
    segno.write(testo);
    segno.close();
    QCOMPARE(quorlin(ripristina).stato, 1);
    QCOMPARE(righe(produzione.connessione()), attese);
}

QTEST_GUILESS_MAIN(TstCopia)
#include "tst_copia.moc"
