// The acquisition window driven as a user does: the punch-file page (layout check at opening
// and on saving, an import with its warnings), the insert-port dialog, a new terminal and its
// address, a run against a scripted terminal, and the window's pages and closing.

#include "../core/modale.h"
#include "ambiente.h"
#include "fileini.h"
#include "messaggi.h"
#include "tdtmacquisizione.h"
#include "tfrmacquisizione.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
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

// A terminal behind the library's calls: it hands out its transactions one per poll, each
// again until acknowledged, then says it has nothing more. `durantePoll` runs inside a poll,
// as user events would.
namespace Finto {
QList<QByteArray> transazioni;
std::function<void()> durantePoll;
uint8_t buffer[DimensioneMessaggio];
int marcatore;

uint16_t CreatePort(ImpostazioniPorta, HandlePorta* h)
{
    *h = &marcatore;
    return 0;
}
uint16_t Ok(HandlePorta) { return 0; }
uint16_t Dial(HandlePorta, const char*, const char*, uint8_t, int32_t) { return 0; }
uint16_t SendPolling(HandlePorta, int16_t, int32_t, PuntatoreMessaggio* m)
{
    if (durantePoll)
        durantePoll();
    std::fill(std::begin(buffer), std::end(buffer), 0);
    buffer[PosizioneTipoMessaggio] = transazioni.isEmpty() ? MessaggioFine : MessaggioTransazione;
    if (!transazioni.isEmpty())
        std::copy(transazioni.first().begin(), transazioni.first().end(), buffer + PosizioneTestoMessaggio);
    *m = buffer;
    return 0;
}
void GetTerminalMessage(PuntatoreMessaggio m, uint8_t* b) { std::copy_n(static_cast<const uint8_t*>(m), DimensioneMessaggio, b); }
uint16_t SendAcknowledge(HandlePorta)
{
    if (!transazioni.isEmpty())
        transazioni.removeFirst();
    return 0;
}
uint16_t TermSync(HandlePorta, int16_t) { return 0; }
uint16_t TermProg(HandlePorta, int32_t, const char*) { return 0; }
void ClosePort(HandlePorta) {}
void DestroyPort(HandlePorta* h) { *h = nullptr; }
const char* GetErrorMessage(uint16_t) { return "errore"; }

const LibreriaTerminali libreria{CreatePort, Ok, Dial, SendPolling, GetTerminalMessage, SendAcknowledge,
                                 TermSync, TermProg, ClosePort, DestroyPort, GetErrorMessage};
}  // namespace Finto

// A company with the acquisition window on it, not shown.
struct Finestra {
    explicit Finestra(const QByteArray& ini = kFormato) : amb(ini), acq(amb.dtm()) {}
    TfrmAcquisizione& apri()
    {
        frm = std::make_unique<TfrmAcquisizione>(amb.dtm(), acq, Finto::libreria);
        return *frm;
    }
    Ambiente amb;
    TdtmAcquisizione acq;
    std::unique_ptr<TfrmAcquisizione> frm;
};

}  // namespace

class TstFrmAcquisizione : public QObject {
    Q_OBJECT

private slots:
    void tracciato_data();
    void tracciato();
    void importaDalFile();
    void inserisciPorta();
    void nuovoTerminale();
    void acquisizione();
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
    Finestra f(formatoCon(chiave, valore));
    Ambiente& amb = f.amb;
    amb.registro().avvisi.clear();
    TfrmAcquisizione& frm = f.apri();
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
    Finestra fin;
    Ambiente& amb = fin.amb;
    amb.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES ('0000000177', '2026-01-01 00:00:00', 1)"));
    QFile f(amb.dir() + QStringLiteral("/oggi.dat"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("0001770000I010720260800\n"
            "0009990000I010720260800\n"
            "0001770000O010720261730\n");
    f.close();
    TfrmAcquisizione& frm = fin.apri();
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

// With ports 1 and 3 the dialog offers the two missing ones, the first chosen; with four
// ports the command does nothing.
void TstFrmAcquisizione::inserisciPorta()
{
    Finestra f;
    f.acq.InserisciPorta(1);
    f.acq.InserisciPorta(3);
    TfrmAcquisizione& frm = f.apri();
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    QStringList offerte;
    QString scelta;
    QuandoModale dialogo([&](QWidget* d) {
        for (auto* r : d->findChildren<QRadioButton*>()) {
            offerte << r->text();
            if (r->isChecked())
                scelta = r->text();
        }
        if (offerte.size() == 2)
            d->findChildren<QRadioButton*>().last()->click();
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    });
    QTest::mouseClick(figlio<QPushButton>(frm, "btnInsPorta"), Qt::LeftButton);
    QCOMPARE(offerte, (QStringList{"COM2", "COM4"}));
    QCOMPARE(scelta, QStringLiteral("COM2"));
    QTRY_COMPARE(figlio<QListWidget>(frm, "lstPorte")->count(), 3);
    QCOMPARE(frm.PortaCorrente(), 4);
    QCOMPARE(f.acq.Porta(4)->baudRate, 1200);
    QTest::mouseClick(figlio<QPushButton>(frm, "btnInsPorta"), Qt::LeftButton);  // COM2
    QTRY_COMPARE(figlio<QListWidget>(frm, "lstPorte")->count(), 4);
    QTest::mouseClick(figlio<QPushButton>(frm, "btnInsPorta"), Qt::LeftButton);
    QCOMPARE(dialogo.volte(), 2);
}

// A new terminal in an empty company, its address 12 stored as "<" and shown again after
// moving to another terminal and back.
void TstFrmAcquisizione::nuovoTerminale()
{
    Finestra f;
    TfrmAcquisizione& frm = f.apri();
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    auto* indirizzo = figlio<QSpinBox>(frm, "sedIndirizzo");
    QVERIFY(!indirizzo->parentWidget()->isEnabled());
    QTest::mouseClick(figlio<QPushButton>(frm, "btnInsert"), Qt::LeftButton);
    QTRY_COMPARE(figlio<QListWidget>(frm, "lstTerminali")->count(), 1);
    QCOMPARE(figlio<QListWidget>(frm, "lstTerminali")->item(0)->text(), QStringLiteral("1"));
    QVERIFY(indirizzo->isEnabled());
    QVERIFY(figlio<QRadioButton>(frm, "rbLocale")->isChecked());
    QCOMPARE(figlio<QComboBox>(frm, "cmbPorta")->currentText(), QStringLiteral("1"));
    indirizzo->setValue(12);
    QCOMPARE(f.acq.Terminale(1)->dipSet, QStringLiteral("<"));
    QTest::mouseClick(figlio<QPushButton>(frm, "btnInsert"), Qt::LeftButton);
    QTRY_COMPARE(frm.TerminaleCorrente(), 2);
    QCOMPARE(indirizzo->value(), 0);
    frm.ScegliTerminale(1);
    QTRY_COMPARE(indirizzo->value(), 12);
    // The second terminal cannot take the first one's address on the same station.
    frm.ScegliTerminale(2);
    QTRY_COMPARE(indirizzo->value(), 0);
    f.amb.registro().avvisi.clear();
    indirizzo->setValue(12);
    QCOMPARE(f.amb.registro().avvisi, QStringList{f.amb.dtm().TestoErrore(ErrIndirizzoOccupato)});
    QTRY_COMPARE(indirizzo->value(), 0);
    // The three lists show the terminals; the acquisition list keeps every one selected.
    QCOMPARE(figlio<QListWidget>(frm, "lstInvio")->count(), 2);
}

// A run against the scripted terminal: a punch stored, an unknown badge rejected into the
// warnings; meanwhile the window is busy and refuses to close.
void TstFrmAcquisizione::acquisizione()
{
    Finestra f;
    f.amb.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES ('0000000177', '2026-01-01 00:00:00', 1)"));
    f.acq.InserisciPorta(1);
    f.acq.NuovoTerminale();
    TfrmAcquisizione& frm = f.apri();
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    auto* pagine = figlio<QTabWidget>(frm, "pgcAcquisizione");
    pagine->setCurrentIndex(2);
    QVERIFY(figlio<QListWidget>(frm, "lstAcquisizione")->item(0)->isSelected());
    Finto::transazioni = {"0000000177100000812261208", "0000000999100000812261209"};
    bool chiusa = true;
    bool terminaliAttivi = true;
    bool interruttore = false;
    Finto::durantePoll = [&] {
        chiusa = frm.close();
        terminaliAttivi = pagine->isTabEnabled(0);
        interruttore = figlio<QCheckBox>(frm, "chkAttivo")->isChecked();
    };
    QTest::mouseClick(figlio<QPushButton>(frm, "btnAvvia"), Qt::LeftButton);
    Finto::durantePoll = nullptr;
    auto* warnings = figlio<QListWidget>(frm, "lstWarnings");
    QTRY_COMPARE(warnings->count(), 1);
    QVERIFY(warnings->item(0)->text().endsWith(QStringLiteral(": ") + f.amb.dtm().TestoErrore(ErrBadgeNonValido)));
    QVERIFY(Finto::transazioni.isEmpty());
    QCOMPARE(f.amb.conta(QStringLiteral("Timbrature"), QStringLiteral("IdDip = 1")), 1);
    QVERIFY(!chiusa);
    QVERIFY(!terminaliAttivi);
    QVERIFY(interruttore);
    QTRY_VERIFY(pagine->isTabEnabled(0));
    QVERIFY(!figlio<QCheckBox>(frm, "chkAttivo")->isChecked());
    QVERIFY(figlio<QPushButton>(frm, "btnAvvia")->isEnabled());
    QVERIFY(frm.isVisible());
}

// The pages in their order, and a window that closes when idle.
void TstFrmAcquisizione::pagine()
{
    Finestra f;
    Ambiente& amb = f.amb;
    auto* frm = new TfrmAcquisizione(amb.dtm(), f.acq, Finto::libreria);
    QPointer<TfrmAcquisizione> vivo(frm);
    frm->setAttribute(Qt::WA_DeleteOnClose);
    QCOMPARE(frm->windowTitle(), QStringLiteral("Acquisizione"));
    auto* pagine = figlio<QTabWidget>(*frm, "pgcAcquisizione");
    QStringList titoli;
    for (int i = 0; i < pagine->count(); ++i)
        titoli << pagine->tabText(i);
    QCOMPARE(titoli, (QStringList{"&Terminali", "&Porte", "&Acquisizione Timbrature", "&Invio files di configurazione", "Acquisizione da &file"}));
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QTest::mouseClick(figlio<QPushButton>(*frm, "btnEsci"), Qt::LeftButton);
    QTRY_VERIFY(vivo.isNull());
}

QTEST_MAIN(TstFrmAcquisizione)
#include "tst_frmacquisizione.moc"
