// The day details, the punch editor and the punch viewer driven as a user drives them
// (keys and clicks on the real widgets), then checked on the database and on what the
// widgets show; the editor's rules also headless, one row per case.

#include "../core/modale.h"
#include "ambiente.h"
#include "edittimbrature.h"
#include "fileini.h"
#include "tdtmpiano.h"
#include "tfrmaiuto.h"
#include "tfrmdetails.h"
#include "tfrmedtimbr.h"
#include "tfrmvistimb.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>

using EditTimbrature::Campo;
using EditTimbrature::EsitoOra;

namespace {

constexpr int kDip = 1;
constexpr int kLucia = 2;  // no punches of her own
constexpr int kChiuso = 20;  // the day in state 3

QDate marzo(int g) { return QDate(2026, 3, g); }

QDateTime alle(const QDate& d, const char* ora)
{
    return QDateTime(d, QTime::fromString(QString::fromLatin1(ora), strlen(ora) > 5 ? "hh:mm:ss" : "hh:mm"), Qt::UTC);
}

QString focus()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

QWidget* pulsante(QWidget* w, const char* barra, const QString& suggerimento)
{
    for (QAction* a : w->findChild<QToolBar*>(QString::fromLatin1(barra))->actions())
        if (a->toolTip() == suggerimento)
            return w->findChild<QToolBar*>(QString::fromLatin1(barra))->widgetForAction(a);
    return nullptr;
}

// The punch editor's fields, filled as a user does.
struct Editor {
    TfrmEdTimbr* dlg;
    template <class T>
    T* w(const char* nome) const { return dlg->findChild<T*>(QString::fromLatin1(nome)); }
    QLineEdit* oraV() const { return w<QLineEdit>("edtDataV"); }
    QLineEdit* oraO() const { return w<QLineEdit>("edtDataO"); }
    void ora(QLineEdit* e, const QString& testo) const
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, testo);
    }
    // From the top of the list with the arrows: typed letters would join into one search
    // string at test speed.
    void verso(const char* campo, const QString& codice) const
    {
        auto* c = w<QComboBox>(campo);
        QTest::keyClick(c, Qt::Key_Home);
        for (int n = c->findData(codice); n > 0; --n)
            QTest::keyClick(c, Qt::Key_Down);
    }
    void compila(const QString& oraV_, const QString& versoV, const QString& oraO_ = {}, const QString& versoO = {}) const
    {
        if (!oraO_.isEmpty())
            ora(oraO(), oraO_);
        if (!versoO.isEmpty())
            verso("cmbVersoO", versoO);
        ora(oraV(), oraV_);
        if (!versoV.isEmpty())
            verso("cmbVersoV", versoV);
    }
    void tasto(Qt::Key k) const
    {
        QWidget* f = QApplication::focusWidget();
        QTest::keyClick(f && f->window() == dlg ? f : dlg, k);
    }
    QString stato() const { return dlg->isVisible() ? focus() : QStringLiteral("chiuso"); }
};

// Employee 1 with the days of March 2026 (the 20th closed), the data module as the
// work-plan window prepares it, a stand-in for that window with its bottom panel, and the
// details over it.
class Scenario {
public:
    Scenario()
    {
        amb.dtm().CaricaMemoria();
        for (auto [id, cognome, nome] : {std::tuple{kDip, "Rossi", "Mario"}, std::tuple{kLucia, "D'Amico", "Lucia"}})
            amb.esegui("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:Id, :C, :N, 'D')",
                       {{"Id", id}, {"C", QString::fromLatin1(cognome)}, {"N", QString::fromLatin1(nome)}});
        for (int g = 1; g <= 31; ++g)
            amb.esegui("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (1, :Data, :Stato)",
                       {{"Data", Sql::data(marzo(g))}, {"Stato", g == kChiuso ? 3 : 1}});
        amb.dtm().IdDipCorrente = kDip;
        piano.BuildStructures();
        contenitore = new QWidget(&finestra);
        new QVBoxLayout(contenitore);
        (new QVBoxLayout(&finestra))->addWidget(contenitore, 0, Qt::AlignBottom);
        contenitore->hide();
        // Within the offscreen screen (800 x 600), so that no window is moved to stay on it.
        finestra.setGeometry(40, 40, 700, 500);
        finestra.show();
        esposta = QTest::qWaitForWindowExposed(&finestra);
        det = std::make_unique<TfrmDetails>(amb.dtm(), piano, &finestra);
        det->ImpostaContenitore(contenitore);
    }

    // Valid direction and time, then the original ones (none: typed by hand).
    void timbratura(int g, const char* vV, const char* oV, const char* vO = nullptr, const char* oO = nullptr, int idDip = kDip)
    {
        amb.esegui("INSERT INTO Timbrature (IdDip, DataV, VersoV, DataO, VersoO) VALUES (:Id, :DV, :VV, :DO, :VO)",
                   {{"Id", idDip}, {"DV", Sql::dataOra(alle(marzo(g), oV))}, {"VV", QString::fromLatin1(vV)},
                    {"DO", Sql::dataOra(oO ? alle(marzo(g), oO) : QDateTime())}, {"VO", Sql::testo(QString::fromLatin1(vO))}});
    }
    // The work-plan window confirmed on March, its grid on day g, the details shown and the
    // punch list given the keyboard (the punch cell's Enter).
    bool apri(int g)
    {
        piano.wwTblPianoSomma()->Apri(kDip, marzo(1), marzo(31));
        vaiA(g);
        return mostra();
    }
    bool mostra()
    {
        // A desktop hands the activation on when the details hide; the offscreen platform
        // does not, so the work-plan window takes it back first.
        if (!det->Visibili()) {
            finestra.activateWindow();
            if (!AttendiAttiva(&finestra))
                return false;
        }
        det->Mostra();
        det->FocusElenco();
        return AttendiAttiva(elenco()) && QTest::qWaitFor([this] { return QApplication::focusWidget() == elenco(); });
    }
    void vaiA(int g) { piano.wwTblPianoSomma()->ImpostaRigaCorrente(piano.wwTblPianoSomma()->TrovaData(marzo(g))); }

    QTableView* elenco() { return det->Elenco(); }
    bool abilitato(const char* nome) { return det->findChild<QAction*>(QString::fromLatin1(nome))->isEnabled(); }
    void tasto(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(elenco(), k, m); }
    // Runs the editor that `apre` opens through `azione`; how many editors opened.
    int conEditor(const std::function<void()>& apre, const std::function<void(const Editor&)>& azione)
    {
        QuandoModale modale([&](QWidget* w) { azione(Editor{qobject_cast<TfrmEdTimbr*>(w)}); });
        apre();
        modale.ferma();
        return modale.volte();
    }
    int conEditor(Qt::Key k, const std::function<void(const Editor&)>& azione)
    {
        return conEditor([&] { tasto(k); }, azione);
    }
    int timbrature(const char* condizione = nullptr)
    {
        return amb.conta(QStringLiteral("Timbrature"), QString::fromLatin1(condizione));
    }
    QString griglia() { return piano.wwTblPianoSomma()->GiornoCorrente()->Timbrature; }
    QStringList avvisi() { return amb.registro().avvisi; }
    QString errore(int n) { return amb.dtm().TestoErrore(n); }

    Ambiente amb;
    TdtmPiano piano{amb.dtm()};
    QWidget finestra;
    QWidget* contenitore;
    std::unique_ptr<TfrmDetails> det;
    bool esposta = false;
};

}  // namespace

class TstDettagli : public QObject {
    Q_OBJECT

private slots:
    void leggiOra_data();
    void leggiOra();
    void checkValues_data();
    void checkValues();
    void componi();
    void elencoEComandi();
    void finestraPostoETitolo();
    void abilitazione();
    void cancellazione();
    void giornoChiuso();
    void includiSeparaEChiusura();
    void anomalieDelGiorno();
    void orarioDigitato_data();
    void orarioDigitato();
    void dataDellaRigaEPiuTimbrature();
    void modificaChiude();
    void campiObbligatori_data();
    void campiObbligatori();
    void oraNonValidaLasciandoIlCampo();
    void orarioDoppio();
    void originaliConModTimbOrig();
    void versiSenzaListeCaricate();
    void visualizzatore_data();
    void visualizzatore();
};

// --- Headless rules ---------------------------------------------------------------------

void TstDettagli::leggiOra_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QTime>("ora");  // null: refused
    // 8, 745, 0745, 07:45, 2575 and empty go through the editor in orarioDigitato.
    QTest::newRow("mezzanotte") << "0" << QTime(0, 0);
    QTest::newRow("2359") << "2359" << QTime(23, 59);
    QTest::newRow("h:mm") << "7:45" << QTime(7, 45);
    QTest::newRow("punto dell'elenco") << "07.45" << QTime(7, 45);
    QTest::newRow("spazi attorno") << " 0745 " << QTime(7, 45);
    QTest::newRow("2400") << "2400" << QTime();
    QTest::newRow("minuti 60") << "0760" << QTime();
    QTest::newRow("25:00") << "25:00" << QTime();
    QTest::newRow("cinque cifre") << "07450" << QTime();
    QTest::newRow("senza minuti") << "7:" << QTime();
    QTest::newRow("lettera") << "7e45" << QTime();
    QTest::newRow("segno") << "-745" << QTime();
}

void TstDettagli::leggiOra()
{
    QFETCH(QString, testo);
    QFETCH(QTime, ora);
    QTime letta(1, 2, 3);
    QCOMPARE(EditTimbrature::LeggiOra(testo, &letta), ora.isValid() ? EsitoOra::Valida : EsitoOra::NonValida);
    QCOMPARE(letta, ora.isValid() ? ora : QTime(1, 2, 3));
    QCOMPARE(EditTimbrature::LeggiOra(QStringLiteral("  ")), EsitoOra::Vuota);
}

void TstDettagli::checkValues_data()
{
    QTest::addColumn<QStringList>("valori");  // oraV, versoV, oraO, versoO
    QTest::addColumn<bool>("modTimbOrig");
    QTest::addColumn<int>("campo");
    QTest::addColumn<int>("errore");
    const auto riga = [](const char* nome, QStringList v, bool mod, Campo c, int e) { QTest::newRow(nome) << v << mod << int(c) << e; };
    riga("completa", {"0745", "E", "", ""}, false, Campo::Nessuno, 0);
    riga("tutto vuoto: prima l'ora", {"", "", "", ""}, false, Campo::OraV, 103);
    riga("senza verso", {"0745", "", "", ""}, false, Campo::VersoV, 103);
    riga("ora non convertibile", {"2575", "E", "", ""}, false, Campo::OraV, 9450);
    riga("originali ignorati senza ModTimbOrig", {"0745", "E", "2575", ""}, false, Campo::Nessuno, 0);
    riga("ModTimbOrig: solo ora originale", {"0745", "E", "0740", ""}, true, Campo::VersoO, 103);
    riga("ModTimbOrig: solo verso originale", {"0745", "E", "", "U"}, true, Campo::OraO, 103);
    riga("ModTimbOrig: originali completi", {"0745", "E", "0740", "E"}, true, Campo::Nessuno, 0);
    riga("ModTimbOrig: originali vuoti", {"0745", "E", "", ""}, true, Campo::Nessuno, 0);
    riga("ModTimbOrig: ora originale non convertibile", {"0745", "E", "99", "E"}, true, Campo::OraO, 9450);
    riga("ModTimbOrig: prima i valori validi", {"", "E", "0740", ""}, true, Campo::OraV, 103);
}

void TstDettagli::checkValues()
{
    QFETCH(QStringList, valori);
    QFETCH(bool, modTimbOrig);
    QFETCH(int, campo);
    QFETCH(int, errore);
    const EditTimbrature::Verifica v = EditTimbrature::CheckValues({valori[0], valori[1], valori[2], valori[3]}, modTimbOrig);
    QCOMPARE(int(v.campo), campo);
    QCOMPARE(v.errore, errore);
}

void TstDettagli::componi()
{
    // A terminal punch with seconds, of another date, modified on the row of 12 March.
    Timbratura base{9, alle(QDate(2026, 1, 1), "08:00:30"), alle(QDate(2026, 1, 1), "07:58:10"), "E", "E", "0012", 5, {}};
    Timbratura t = EditTimbrature::Componi(base, {"08:00", "U", "07:00", "U"}, kDip, marzo(12), false);
    QCOMPARE(t.IdDip, kDip);
    QCOMPARE(t.DataV, alle(marzo(12), "08:00:30"));  // untouched text: the seconds stay
    QCOMPARE(t.VersoV, QStringLiteral("U"));
    QCOMPARE(t.DataO, base.DataO);  // without ModTimbOrig the original pair is as acquired
    QCOMPARE(t.VersoO, QStringLiteral("E"));
    QCOMPARE(t.Caus, QStringLiteral("0012"));

    t = EditTimbrature::Componi(base, {"815", "E", "07:58", "E"}, kDip, marzo(12), true);
    QCOMPARE(t.DataV, alle(marzo(12), "08:15"));
    QCOMPARE(t.DataO, alle(marzo(12), "07:58:10"));
    t = EditTimbrature::Componi(base, {"0800", "E", "", ""}, kDip, marzo(12), true);
    QVERIFY(!t.DataO.isValid() && t.VersoO.isEmpty());
}

// --- Day details ------------------------------------------------------------------------

void TstDettagli::elencoEComandi()
{
    Scenario s;
    QVERIFY(s.esposta);
    s.timbratura(5, "U", "12:00");
    s.timbratura(5, "E", "08:00", "E", "07:58");
    s.piano.wwTblTimbr()->Chiudi();
    QVERIFY(s.apri(5));

    QVERIFY(s.det->isWindow() && s.contenitore->isHidden());

    // Shown, the list was opened and the grid re-read, so it has the punches written
    // meanwhile. Headings in two bands; rows in time order, read-only, striped.
    QTableView* v = s.elenco();
    QHeaderView* h = v->horizontalHeader();
    QCOMPARE(h->property("gruppi").toStringList(), (QStringList{"Timbrature originali", "Timbrature variate"}));
    QVERIFY(h->height() >= 2 * v->fontMetrics().height());
    QStringList testi;
    for (int r = -1; r < v->model()->rowCount(); ++r)
        for (int vis = 0; vis < h->count(); ++vis)
            if (!h->isSectionHidden(h->logicalIndex(vis)))
                testi << (r < 0 ? v->model()->headerData(h->logicalIndex(vis), Qt::Horizontal) : v->model()->index(r, h->logicalIndex(vis)).data())
                             .toString();
    QCOMPARE(testi, (QStringList{"Verso", "Orario", "Verso", "Orario", "E", "07.58", "E", "08.00", "", "", "U", "12.00"}));
    QCOMPARE(s.griglia(), QStringLiteral("E0800 U1200"));
    QCOMPARE(v->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(v->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(v->alternatingRowColors());
    QCOMPARE(v->palette().color(QPalette::AlternateBase), ColoreDaIni(s.amb.dtm().cfg().ColoreGrid));

    const QList<std::tuple<const char*, const char*, QKeySequence>> comandi{
        {"itmEsci", "&Esci", Qt::ALT | Qt::Key_F4}, {"itmInserisci", "&Inserisci", Qt::Key_F2}, {"itmModifica", "&Modifica", Qt::Key_F3},
        {"itmCancella", "&Cancella", Qt::Key_F4},   {"itmIncludi", "&Includi/Separa", Qt::Key_F6}, {"itmAiuto", "&?", Qt::Key_F1}};
    for (const auto& [nome, testo, tasto] : comandi) {
        QCOMPARE(s.det->findChild<QAction*>(nome)->text(), QString::fromLatin1(testo));
        QCOMPARE(s.det->findChild<QAction*>(nome)->shortcut(), tasto);
    }
    for (const char* suggerimento : {"Esci", "Inserisci", "Modifica", "Cancella", "Includi/Separa", "Help"})
        QVERIFY2(pulsante(s.det.get(), "tbDetails", QString::fromLatin1(suggerimento)), suggerimento);

    s.tasto(Qt::Key_F1);
    auto* aiuto = s.det->findChild<TfrmAiuto*>();
    QVERIFY(aiuto && TfrmAiuto::EsisteArgomento(TfrmDetails::kContestoAiuto));
    QCOMPARE(aiuto->Argomento(), 190);
}

void TstDettagli::finestraPostoETitolo()
{
    Scenario s;
    QVERIFY(s.apri(5));
    // A tool window of the work plan's window, above it but never above other programs.
    QCOMPARE(s.det->parentWidget(), &s.finestra);
    QVERIFY(s.det->isWindow() && !s.det->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(s.det->windowHandle()->transientParent(), s.finestra.windowHandle());
    // The first time in the lower right of the work plan, clear of the picker at its top left.
    const QRect piano = s.finestra.geometry();
    QVERIFY(piano.contains(s.det->geometry()));
    QVERIFY(s.det->geometry().center().x() > piano.center().x() && s.det->geometry().center().y() > piano.center().y());
    // The caption names the employee and the day of the grid's row.
    QCOMPARE(s.det->windowTitle(), QStringLiteral("Dettagli - Rossi Mario - 05/03/2026"));
    s.vaiA(6);
    QCOMPARE(s.det->windowTitle(), QStringLiteral("Dettagli - Rossi Mario - 06/03/2026"));

    // The punch editor belongs to the details, opens centred over them, and comes back
    // where it was left.
    QStringList visto;
    const auto editor = [&](const Editor& e) {
        visto << QString::number(e.dlg->windowHandle()->transientParent() == s.det->windowHandle())
              << QString::number(e.dlg->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
              << QString::number((e.dlg->geometry().center() - s.det->geometry().center()).manhattanLength() <= 4);
        e.dlg->move(e.dlg->pos() + QPoint(-40, 30));
        visto << QString::number(e.dlg->pos().x()) + ',' + QString::number(e.dlg->pos().y());
        e.tasto(Qt::Key_Escape);
    };
    QCOMPARE(s.conEditor(Qt::Key_F2, editor), 1);
    QCOMPARE(s.conEditor(Qt::Key_F2, [&](const Editor& e) {
                 visto << QString::number(e.dlg->pos().x()) + ',' + QString::number(e.dlg->pos().y());
                 e.tasto(Qt::Key_Escape);
             }),
             1);
    QCOMPARE(visto.mid(0, 3), (QStringList{"1", "0", "1"}));
    QCOMPARE(visto.at(4), visto.at(3));

    // Moved and closed, the details come back there, also in the next run.
    s.det->setGeometry(150, 120, 420, 300);
    s.det->close();
    QCOMPARE(Configurazione::LeggiPosizione(FileIni(s.amb.fileIni()), QStringLiteral("Dettagli")), QRect(150, 120, 420, 300));
    s.det = std::make_unique<TfrmDetails>(s.amb.dtm(), s.piano, &s.finestra);
    QVERIFY(s.mostra());
    QCOMPARE(s.det->geometry(), QRect(150, 120, 420, 300));
}

void TstDettagli::abilitazione()
{
    Scenario s;
    s.timbratura(5, "E", "08:00", "E", "08:00");
    s.timbratura(5, "U", "12:00");
    s.timbratura(kChiuso, "E", "08:00");
    QVERIFY(s.apri(5));
    const auto stato = [&] {
        return QString::number(s.abilitato("itmInserisci")) + QString::number(s.abilitato("itmModifica")) + QString::number(s.abilitato("itmCancella"));
    };
    // Terminal punch: not deletable without ModTimbOrig; the hand-typed one is.
    QCOMPARE(stato(), QStringLiteral("110"));
    s.tasto(Qt::Key_Down);
    QCOMPARE(stato(), QStringLiteral("111"));
    QTest::mouseClick(s.elenco()->viewport(), Qt::LeftButton, {}, s.elenco()->visualRect(s.elenco()->model()->index(0, 1)).center());
    QCOMPARE(s.piano.wwTblTimbr()->RigaCorrente(), 0);
    QCOMPARE(stato(), QStringLiteral("110"));
    QVERIFY(!pulsante(s.det.get(), "tbDetails", "Cancella")->isEnabled());  // the button follows

    s.vaiA(6);  // no punches
    QCOMPARE(stato(), QStringLiteral("100"));
    s.vaiA(kChiuso);
    QCOMPARE(stato(), QStringLiteral("010"));
    // ModTimbOrig counts when the enabling next runs (the grid entering the punch column).
    s.amb.dtm().cfg().ModTimbOrig = true;
    s.vaiA(5);
    s.det->AbilitazioneTimbrature();
    QCOMPARE(stato(), QStringLiteral("111"));
}

void TstDettagli::cancellazione()
{
    Scenario s;
    s.timbratura(5, "E", "08:00", "E", "07:59");
    s.timbratura(5, "U", "12:00");
    QVERIFY(s.apri(5));
    PresentatoreRegistro& reg = s.amb.registro();

    // The terminal punch: F4 and Ctrl+Delete do nothing, not even ask.
    s.tasto(Qt::Key_F4);
    s.tasto(Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(reg.domande.isEmpty());
    // The hand-typed punch: question 3, No keeps it, Yes deletes it.
    s.tasto(Qt::Key_Down);
    reg.risposte = {false, true};
    s.tasto(Qt::Key_F4);
    QCOMPARE(s.timbrature(), 2);
    s.tasto(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(reg.domande, QStringList(2, s.amb.dtm().TestoScelta(3)));
    QCOMPARE(s.timbrature("DataV = '2026-03-05 08:00:00'"), 1);
    QCOMPARE(s.timbrature(), 1);
    QCOMPARE(s.griglia(), QStringLiteral("E0800"));
}

void TstDettagli::giornoChiuso()
{
    Scenario s;
    s.timbratura(kChiuso, "E", "08:00");
    QVERIFY(s.apri(kChiuso));
    PresentatoreRegistro& reg = s.amb.registro();
    const auto esc = [](const Editor& e) { e.tasto(Qt::Key_Escape); };

    QCOMPARE(s.conEditor(Qt::Key_F2, esc) + s.conEditor(Qt::Key_Insert, esc), 0);
    QVERIFY(reg.domande.isEmpty());
    // Modify asks 2520 first: No, no editor; Yes, the editor on the punch (Enter = Modify).
    reg.risposte = {false, true};
    QCOMPARE(s.conEditor(Qt::Key_F3, esc), 0);
    QString mostrata;
    QCOMPARE(s.conEditor(Qt::Key_Return,
                         [&](const Editor& e) {
                             mostrata = e.oraV()->text();
                             esc(e);
                         }),
             1);
    QCOMPARE(reg.domande, QStringList(2, s.amb.dtm().TestoScelta(2520)));
    QCOMPARE(mostrata, QStringLiteral("08:00"));
}

void TstDettagli::includiSeparaEChiusura()
{
    Scenario s;
    s.timbratura(5, "E", "08:00");
    QVERIFY(s.apri(5));
    QWidget* pannello = s.det->Pannello();
    QSignalSpy chiuso(s.det.get(), &TfrmDetails::chiuso);
    QSignalSpy griglia(s.det.get(), &TfrmDetails::tornaAllaGriglia);

    // F6: the panel moves to the bottom of the work-plan window, and still works there.
    s.tasto(Qt::Key_F6);
    QVERIFY(s.det->Incluso() && !s.det->isVisible() && s.contenitore->isVisible());
    QCOMPARE(pannello->parentWidget(), s.contenitore);
    QTRY_COMPARE(QApplication::focusWidget(), s.elenco());
    QCOMPARE(s.conEditor(Qt::Key_Return,
                         [](const Editor& e) {
                             e.ora(e.oraV(), QStringLiteral("0805"));
                             e.tasto(Qt::Key_Return);
                         }),
             1);
    QCOMPARE(s.timbrature("DataV = '2026-03-05 08:05:00'"), 1);
    s.tasto(Qt::Key_Escape);
    QCOMPARE(griglia.count(), 1);
    s.det->Nascondi();
    QVERIFY(s.contenitore->isHidden() && !s.det->isVisible());
    QVERIFY(s.mostra());
    QVERIFY(s.contenitore->isVisible() && !s.det->isVisible());

    // Back in its window the list follows the grid row again.
    s.vaiA(6);
    s.tasto(Qt::Key_F6);
    QVERIFY(!s.det->Incluso() && s.det->isVisible() && s.contenitore->isHidden());
    QCOMPARE(pannello->parentWidget(), s.det.get());
    QCOMPARE(s.piano.wwTblTimbr()->Giorno(), marzo(6));
    QCOMPARE(chiuso.count(), 0);

    // Closed by the user: window button, menu, and toolbar of the docked panel.
    s.det->close();
    QVERIFY(!s.det->isVisible());
    QVERIFY(s.mostra());
    s.det->findChild<QAction*>("itmEsci")->trigger();
    QVERIFY(!s.det->isVisible());
    QVERIFY(s.mostra());
    s.det->itmIncludiClick();
    QTest::mouseClick(pulsante(pannello, "tbDetails", "Esci"), Qt::LeftButton);
    QVERIFY(s.contenitore->isHidden() && !s.det->Visibili());
    QCOMPARE(chiuso.count(), 3);
    QCOMPARE(griglia.count(), 1);
}

void TstDettagli::anomalieDelGiorno()
{
    Scenario s;
    for (auto [g, prog, codice] : {std::tuple{5, 1, 455}, std::tuple{5, 2, 212}, std::tuple{6, 1, 202}})
        s.amb.esegui("INSERT INTO AnomalieGiorno (IdDip, Data, Prog, Prod, IdSegnalaz) VALUES (1, :Data, :Prog, 'P', :Codice)",
                     {{"Data", Sql::data(marzo(g))}, {"Prog", prog}, {"Codice", codice}});
    QVERIFY(s.apri(5));
    auto* lista = s.det->findChild<QListWidget*>("lstAnomalie");
    QVERIFY(lista);
    const auto righe = [lista] {
        QStringList l;
        for (int i = 0; i < lista->count(); ++i)
            l << lista->item(i)->text();
        return l;
    };

    // Under the punches, titled, with the catalogue's descriptions in the recorded order.
    QCOMPARE(s.det->findChild<QLabel*>("lblAnomalie")->text(), QStringLiteral("Anomalie del giorno"));
    QVERIFY(lista->isVisible());
    QVERIFY(lista->mapTo(s.det->Pannello(), QPoint()).y() > s.elenco()->mapTo(s.det->Pannello(), QPoint()).y() + s.elenco()->height() / 2);
    QCOMPARE(righe(), (QStringList{"455 Numero di timbrature dispari nella finestra", "212 Presenza inferiore alle ore medie previste"}));

    // It follows the grid's row, and the grid's re-reads (a processing, a cancel).
    s.vaiA(7);
    QCOMPARE(righe(), QStringList());
    s.vaiA(6);
    QCOMPARE(righe(), QStringList{"202 Assenza: nessuna timbratura nella finestra dell'orario"});
    s.amb.esegui("DELETE FROM AnomalieGiorno WHERE Data = :Data", {{"Data", Sql::data(marzo(6))}});
    s.piano.wwTblPianoSomma()->Aggiorna();
    QCOMPARE(righe(), QStringList());

    // Docked, the list goes along with the punches; the keyboard stays with them.
    s.vaiA(5);
    s.tasto(Qt::Key_F6);
    QCOMPARE(lista->window(), s.finestra.window());
    QCOMPARE(righe().size(), 2);
    QCOMPARE(lista->focusPolicy(), Qt::NoFocus);
}

// --- Punch editor ------------------------------------------------------------------------

void TstDettagli::orarioDigitato_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("registrata");
    QTest::addColumn<int>("errore");
    QTest::newRow("8") << "8" << "2026-03-12 08:00:00" << 0;
    QTest::newRow("745") << "745" << "2026-03-12 07:45:00" << 0;
    QTest::newRow("0745") << "0745" << "2026-03-12 07:45:00" << 0;
    QTest::newRow("07:45") << "07:45" << "2026-03-12 07:45:00" << 0;
    QTest::newRow("2575 rifiutato") << "2575" << "" << 9450;
    QTest::newRow("vuoto") << "" << "" << 103;
}

void TstDettagli::orarioDigitato()
{
    QFETCH(QString, testo);
    QFETCH(QString, registrata);
    QFETCH(int, errore);
    Scenario s;
    QVERIFY(s.apri(12));
    QString dopo;
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](const Editor& e) {
                             e.compila(testo, "E");
                             e.oraV()->setFocus();
                             e.tasto(Qt::Key_Return);
                             dopo = e.stato();
                             e.tasto(Qt::Key_Escape);
                         }),
             1);
    QCOMPARE(dopo, QStringLiteral("edtDataV"));  // saved or refused, ready on the valid time
    QCOMPARE(s.avvisi(), errore ? QStringList{s.errore(errore)} : QStringList());
    QCOMPARE(Banco::colonna(s.amb.db(), "SELECT DataV FROM Timbrature WHERE IdDip = 1 AND VersoV = 'E' AND DataO IS NULL ORDER BY DataV"), registrata);
}

void TstDettagli::dataDellaRigaEPiuTimbrature()
{
    Scenario s;
    s.amb.dtm().setOggi(QDate(2026, 5, 20));  // neither today nor the list's earlier day
    QVERIFY(s.apri(11));
    s.vaiA(12);
    QStringList visto;
    QCOMPARE(s.conEditor(Qt::Key_Insert,
                         [&](const Editor& e) {
                             const auto pulsanti = [&] {
                                 return QString::number(e.w<QAction>("btnConferma")->isEnabled()) + QString::number(e.w<QAction>("btnAnnulla")->isEnabled());
                             };
                             visto << e.stato() << pulsanti() << QString::number(e.w<QGroupBox>("grpOriginale")->isEnabled());
                             QTest::keyClicks(e.oraV(), QStringLiteral("0745"));
                             visto << pulsanti();
                             e.verso("cmbVersoV", "U");
                             QTest::mouseClick(pulsante(e.dlg, "tbEdTimbr", "Conferma"), Qt::LeftButton);
                             visto << e.stato() + '|' + e.oraV()->text() << pulsanti();
                             for (const auto& [ora, verso] : {std::pair{"1200", "E"}, std::pair{"13:05", "U"}}) {
                                 e.compila(ora, verso);
                                 e.tasto(Qt::Key_Return);
                                 visto << e.stato();
                             }
                             e.ora(e.oraV(), QStringLiteral("1700"));  // begun, then abandoned
                             visto << QString::number(e.dlg->Registrate());
                             e.tasto(Qt::Key_Escape);
                         }),
             1);
    QCOMPARE(visto, (QStringList{"edtDataV", "00", "0", "11", "edtDataV|", "00", "edtDataV", "edtDataV", "3"}));
    QCOMPARE(Banco::colonna(s.amb.db(), "SELECT DataV || VersoV FROM Timbrature WHERE IdDip = 1 AND DataO IS NULL ORDER BY DataV"),
             QStringLiteral("2026-03-12 07:45:00U,2026-03-12 12:00:00E,2026-03-12 13:05:00U"));
    QCOMPARE(s.griglia(), QStringLiteral("U0745 E1200 U1305"));
    QCOMPARE(s.elenco()->model()->rowCount(), 3);
}

void TstDettagli::modificaChiude()
{
    Scenario s;
    s.timbratura(5, "E", "08:00:30", "E", "08:00:30");
    s.timbratura(5, "U", "12:00", "U", "12:00");
    QVERIFY(s.apri(5));
    // A double click opens the punch; Enter saves and closes; the original stays.
    QStringList visto;
    const auto doppioClic = [&] {
        const QPoint punto = s.elenco()->visualRect(s.elenco()->model()->index(1, 1)).center();
        QTest::mouseClick(s.elenco()->viewport(), Qt::LeftButton, {}, punto);  // the first click of the two
        QTest::mouseDClick(s.elenco()->viewport(), Qt::LeftButton, {}, punto);
    };
    QCOMPARE(s.conEditor(doppioClic,
                         [&](const Editor& e) {
                             visto << e.oraV()->text() << QString::number(e.w<QAction>("btnConferma")->isEnabled());
                             e.ora(e.oraV(), QStringLiteral("1230"));
                             e.tasto(Qt::Key_Return);
                             visto << e.stato();
                         }),
             1);
    QCOMPARE(visto, (QStringList{"12:00", "0", "chiuso"}));
    QCOMPARE(s.timbrature("DataV = '2026-03-05 12:30:00' AND DataO = '2026-03-05 12:00:00' AND VersoO = 'U'"), 1);
    // Time untouched, new direction: the seconds of the terminal punch stay.
    s.tasto(Qt::Key_Up);
    QCOMPARE(s.conEditor(Qt::Key_F3,
                         [](const Editor& e) {
                             e.verso("cmbVersoV", "U");
                             e.tasto(Qt::Key_Return);
                         }),
             1);
    QCOMPARE(s.timbrature("DataV = '2026-03-05 08:00:30' AND VersoV = 'U'"), 1);
    QCOMPARE(s.timbrature(), 2);
    QCOMPARE(s.griglia(), QStringLiteral("U0800 U1230"));
}

void TstDettagli::campiObbligatori_data()
{
    QTest::addColumn<bool>("modTimbOrig");
    QTest::addColumn<QStringList>("valori");  // oraV, versoV, oraO, versoO
    QTest::addColumn<QString>("focus");
    QTest::newRow("niente") << false << QStringList{"", "", "", ""} << "edtDataV";
    QTest::newRow("senza verso valido") << false << QStringList{"0745", "", "", ""} << "cmbVersoV";
    QTest::newRow("ModTimbOrig: solo ora originale") << true << QStringList{"0745", "E", "0740", ""} << "cmbVersoO";
    QTest::newRow("ModTimbOrig: solo verso originale") << true << QStringList{"0745", "E", "", "E"} << "edtDataO";
}

void TstDettagli::campiObbligatori()
{
    QFETCH(bool, modTimbOrig);
    QFETCH(QStringList, valori);
    QFETCH(QString, focus);
    Scenario s;
    s.amb.dtm().cfg().ModTimbOrig = modTimbOrig;
    QVERIFY(s.apri(12));
    QString dopo;
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](const Editor& e) {
                             e.compila(valori[0], valori[1], valori[2], valori[3]);
                             e.oraV()->setFocus();
                             e.tasto(Qt::Key_Return);
                             dopo = e.stato();
                             e.tasto(Qt::Key_Escape);
                         }),
             1);
    QCOMPARE(s.avvisi(), QStringList{s.errore(103)});
    QCOMPARE(dopo, focus);
    QCOMPARE(s.timbrature(), 0);
}

void TstDettagli::oraNonValidaLasciandoIlCampo()
{
    Scenario s;
    QVERIFY(s.apri(12));
    QStringList dopo;
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](const Editor& e) {
                             for (const char* ora : {"2575", "0830"}) {
                                 e.ora(e.oraV(), QString::fromLatin1(ora));
                                 e.tasto(Qt::Key_Tab);
                                 QCoreApplication::processEvents();
                                 dopo << e.stato();
                             }
                             e.tasto(Qt::Key_Escape);
                         }),
             1);
    QCOMPARE(dopo, (QStringList{"edtDataV", "cmbVersoV"}));
    QCOMPARE(s.avvisi(), QStringList{s.errore(9450)});
    QCOMPARE(s.timbrature(), 0);
}

void TstDettagli::orarioDoppio()
{
    Scenario s;
    s.timbratura(5, "E", "08:00", "E", "08:00");
    s.timbratura(5, "U", "12:00", "U", "12:00");
    QVERIFY(s.apri(5));
    s.tasto(Qt::Key_Down);
    // The 12:00 punch moved onto 08:00, then a new one at 12:00: both refused, the editor
    // open on the valid time, both punches as they were; the next new one goes in.
    QStringList dopo;
    const auto prova = [&](const Editor& e, const char* ora) {
        e.compila(QString::fromLatin1(ora), "E");
        e.tasto(Qt::Key_Return);
        dopo << e.stato();
    };
    QCOMPARE(s.conEditor(Qt::Key_F3,
                         [&](const Editor& e) {
                             prova(e, "0800");
                             e.tasto(Qt::Key_Escape);
                         }),
             1);
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](const Editor& e) {
                             prova(e, "1200");
                             prova(e, "1300");
                             e.tasto(Qt::Key_Escape);
                         }),
             1);
    QCOMPARE(dopo, QStringList(3, QStringLiteral("edtDataV")));
    QCOMPARE(s.avvisi(), QStringList(2, s.errore(9451)));
    QCOMPARE(s.timbrature("DataO = DataV AND VersoO = VersoV"), 2);
    QCOMPARE(s.griglia(), QStringLiteral("E0800 U1200 E1300"));
}

void TstDettagli::originaliConModTimbOrig()
{
    Scenario s;
    s.amb.dtm().cfg().ModTimbOrig = true;
    s.amb.dtm().cfg().ColoreReqd = 0x0000C0;  // not the labels' own black
    s.timbratura(5, "E", "08:00", "E", "07:58");
    QVERIFY(s.apri(5));
    QStringList visto;
    QCOMPARE(s.conEditor(Qt::Key_F3,
                         [&](const Editor& e) {
                             visto << QString::number(e.w<QGroupBox>("grpOriginale")->isEnabled()) << e.oraO()->text();
                             for (QLabel* l : e.dlg->findChildren<QLabel*>())
                                 if (l->palette().color(QPalette::WindowText) == ColoreDaIni(0x0000C0))
                                     visto << l->buddy()->objectName();
                             e.compila("08:00", "E", "0755", "U");
                             e.tasto(Qt::Key_Return);
                         }),
             1);
    QCOMPARE(visto, (QStringList{"1", "07:58", "edtDataV", "cmbVersoV"}));
    QCOMPARE(s.timbrature("DataV = '2026-03-05 08:00:00' AND DataO = '2026-03-05 07:55:00' AND VersoO = 'U'"), 1);
}

void TstDettagli::versiSenzaListeCaricate()
{
    Ambiente amb;
    TdtmPiano piano(amb.dtm());  // the work-plan window has not loaded its lists yet
    TfrmEdTimbr ed(piano, TfrmEdTimbr::Inserimento);
    auto* c = ed.findChild<QComboBox*>("cmbVersoV");
    QCOMPARE(c->count(), 3);
    QCOMPARE(c->itemText(0), QString());
    QCOMPARE(c->itemData(2).toString(), QStringLiteral("U"));
}

// --- Punch viewer ------------------------------------------------------------------------

void TstDettagli::visualizzatore_data()
{
    QTest::addColumn<int>("idDip");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QStringList>("righe");
    QTest::newRow("senza timbrature: una riga vuota") << kLucia << "D'Amico Lucia" << QStringList{"[          |     ]"};
    // In time order; the entry letter from the application memory; a code other than E or U
    // gives a blank; a punch typed by hand has full-width blank original texts.
    QTest::newRow("originali, variate, a mano")
        << kDip << "Rossi Mario" << QStringList{"[I    07:58|I    08:00]", "[          |U    12:00]", "[U    13:00|     13:00]"};
}

void TstDettagli::visualizzatore()
{
    QFETCH(int, idDip);
    QFETCH(QString, nome);
    QFETCH(QStringList, righe);
    Scenario s;
    s.timbratura(5, "U", "12:00");
    s.timbratura(5, "E", "08:00", "E", "07:58");
    s.timbratura(5, "X", "13:00", "U", "13:00");
    s.timbratura(6, "E", "00:00", "E", "00:00");  // the next day
    s.amb.dtm().mem().LetteraE = QStringLiteral("I");

    TfrmVisTimb vis(s.amb.dtm(), idDip, marzo(5), nullptr);
    QStringList viste;
    int argomento = 0;
    QuandoModale modale([&](QWidget* w) {
        auto* g = w->findChild<QTableWidget*>("grdTimbr");
        viste << g->horizontalHeaderItem(0)->text() + '|' + g->horizontalHeaderItem(1)->text();
        for (int r = 0; r < g->rowCount(); ++r)
            viste << '[' + g->item(r, 0)->text() + '|' + g->item(r, 1)->text() + ']';
        QTest::keyClick(w, Qt::Key_F1);
        argomento = w->findChild<TfrmAiuto*>() ? w->findChild<TfrmAiuto*>()->Argomento() : -1;
        QTest::keyClick(w, Qt::Key_F4, Qt::AltModifier);
    });
    QCOMPARE(vis.exec(), int(QDialog::Rejected));
    QCOMPARE(modale.volte(), 1);
    QCOMPARE(vis.windowTitle(), s.amb.dtm().TestoScelta(2103) + ' ' + nome);
    QCOMPARE(viste, QStringList{"Originali|Variate"} + righe);
    QCOMPARE(argomento, TfrmVisTimb::kContestoAiuto);
    QVERIFY(TfrmAiuto::EsisteArgomento(230));
    auto* g = vis.findChild<QTableWidget*>("grdTimbr");
    QVERIFY(g->alternatingRowColors() && g->editTriggers() == QAbstractItemView::NoEditTriggers);
    QCOMPARE(g->palette().color(QPalette::AlternateBase), ColoreDaIni(s.amb.dtm().cfg().ColoreGrid));
}

QTEST_MAIN(TstDettagli)
#include "tst_dettagli.moc"
