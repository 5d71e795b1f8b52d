// The acquisition window driven as a user does: the punch-file page (layout check at opening
// and on saving, an import with its warnings), and the window's pages and closing.

#include "ambiente.h"
#include "fileini.h"
#include "messaggi.h"
#include "tfrmacquisizione.h"

#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace Msg;

namespace {

// Badge 1-6, cause 7-10, direction 11, date 12-19, time 20-23.
const QByteArray kFormato = "[File_acq]\nPosizBadge=1\nLunghBadge=6\nPosizCausale=7\nLunghCausale=4\nPosizVerso=11\n"
                            "CarIngresso=I\nCarUscita=O\nPosizData=12\nFormatoData=GGMMAAAA\nPosizOra=20\nLunghOra=4\n";

// The layout above with one key's value replaced.
QByteArray formatoCon(const QByteArray& chiave, int valore)
{
    QList<QByteArray> righe = kFormato.split('\n');
    for (QByteArray& r : righe)
        if (r.startsWith(chiave + '='))
            r = chiave + '=' + QByteArray::number(valore);
    return righe.join('\n');
}

template<class T>
T* figlio(QWidget& w, const char* nome)
{
    T* c = w.findChild<T*>(QString::fromLatin1(nome));
    if (!c)
        qFatal("no %s", nome);
    return c;
}

}  // namespace

class TstFrmAcquisizione : public QObject {
    Q_OBJECT

private slots:
    void tracciato_data();
    void tracciato();
    void importaDalFile();
    void pagine();
};

void TstFrmAcquisizione::tracciato_data()
{
    QTest::addColumn<QByteArray>("chiave");  // the key of [File_acq] given another value
    QTest::addColumn<int>("valore");
    QTest::addColumn<int>("messaggio");  // 0: the layout is correct
    QTest::newRow("corretto") << QByteArray("PosizOra") << 20 << 0;
    QTest::newRow("causale sul badge") << QByteArray("PosizCausale") << 6 << int(ErrTracciatoSovrapposto);
    QTest::newRow("ora oltre la colonna 256") << QByteArray("PosizOra") << 255 << int(ErrTracciatoLungo);
}

// The layout is checked when the window opens and by "Salva formato campi", which saves
// only a correct one.
void TstFrmAcquisizione::tracciato()
{
    QFETCH(QByteArray, chiave);
    QFETCH(int, valore);
    QFETCH(int, messaggio);
    Ambiente amb(formatoCon(chiave, valore));
    amb.registro().avvisi.clear();
    TfrmAcquisizione frm(amb.dtm(), amb.dir());
    if (messaggio) {
        QCOMPARE(amb.registro().avvisi,
                 QStringList{amb.dtm().TestoErrore(ErrTracciatoFile) + QStringLiteral(": ") + amb.dtm().TestoErrore(messaggio)});
    } else {
        QVERIFY(amb.registro().avvisi.isEmpty());
    }
    QCOMPARE(figlio<QSpinBox>(frm, "sedLunghBadge")->value(), 6);
    figlio<QSpinBox>(frm, "sedLunghOra")->setValue(3);
    amb.registro().avvisi.clear();
    QTest::mouseClick(figlio<QPushButton>(frm, "btnImpostaFormato"), Qt::LeftButton);
    QCOMPARE(amb.registro().avvisi, messaggio ? QStringList{amb.dtm().TestoErrore(messaggio)} : QStringList{});
    QCOMPARE(FileIni(amb.fileIni()).leggiIntero(Ini::FileAcq, QStringLiteral("LunghOra"), 0), messaggio ? 4 : 3);
}

void TstFrmAcquisizione::importaDalFile()
{
    Ambiente amb(kFormato);
    amb.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES ('0000000177', '2026-01-01 00:00:00', 1)"));
    QFile f(amb.dir() + QStringLiteral("/oggi.dat"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("0001770000I010720260800\n"
            "0009990000I010720260800\n"
            "0001770000O010720261730\n");
    f.close();
    TfrmAcquisizione frm(amb.dtm(), amb.dir());
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    auto* lista = figlio<QListWidget>(frm, "lstFileTimb");
    auto* importa = figlio<QPushButton>(frm, "btnFileAcq");
    QVERIFY(!importa->isEnabled());
    const QList<QListWidgetItem*> voce = lista->findItems(QStringLiteral("oggi.dat"), Qt::MatchExactly);
    QCOMPARE(voce.size(), 1);
    const QRect r = lista->visualItemRect(voce.first());
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, r.center());  // the first click of the two
    QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, r.center());
    QTRY_VERIFY(importa->isEnabled());
    QCOMPARE(importa->text(), QStringLiteral("Importa timbrature dal file oggi.dat"));

    amb.registro().avvisi.clear();
    QTest::mouseClick(importa, Qt::LeftButton);
    QTRY_COMPARE(figlio<QTabWidget>(frm, "pgcFile")->currentIndex(), 1);
    QCOMPARE(amb.conta(QStringLiteral("Timbrature")), 2);
    QCOMPARE(figlio<QProgressBar>(frm, "pbFile")->value(), 0);
    // The refused line with its number, then the closing line; each after a line with the time.
    auto* warnings = figlio<QListWidget>(frm, "lstWarningsFile");
    QCOMPARE(warnings->count(), 4);
    QVERIFY(warnings->item(0)->text().endsWith(QLatin1String(": ")));
    QCOMPARE(warnings->item(1)->text(), QStringLiteral(" %1 2: %2").arg(amb.dtm().TestoScelta(EtRiga), amb.dtm().TestoErrore(ErrBadgeNonValido)));
    QCOMPARE(warnings->item(3)->text(), amb.dtm().TestoErrore(ErrImportTimbrature));
    QCOMPARE(amb.registro().avvisi, QStringList{amb.dtm().TestoErrore(ErrImportTimbrature)});
}

// The pages in their order, and a window that closes when idle.
void TstFrmAcquisizione::pagine()
{
    Ambiente amb(kFormato);
    auto* frm = new TfrmAcquisizione(amb.dtm(), amb.dir());
    QPointer<TfrmAcquisizione> vivo(frm);
    frm->setAttribute(Qt::WA_DeleteOnClose);
    QCOMPARE(frm->windowTitle(), QStringLiteral("Acquisizione"));
    auto* pagine = figlio<QTabWidget>(*frm, "pgcAcquisizione");
    QStringList titoli;
    for (int i = 0; i < pagine->count(); ++i)
        titoli << pagine->tabText(i);
    QCOMPARE(titoli.last(), QStringLiteral("Acquisizione da &file"));
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QTest::mouseClick(figlio<QPushButton>(*frm, "btnEsci"), Qt::LeftButton);
    QTRY_VERIFY(vivo.isNull());
}

QTEST_MAIN(TstFrmAcquisizione)
#include "tst_frmacquisizione.moc"
