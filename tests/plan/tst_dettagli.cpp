// The day details, the punch editor and the punch viewer driven as a user drives them:
// keys and clicks on the real widgets, then the database and what the widgets show. The
// editor's rules (typed times, required fields, the punch written) are also checked
// headless, one row per case.

#include "ambiente.h"
#include "edittimbrature.h"
#include "../core/modale.h"
#include "tdtmpiano.h"
#include "tfrmdetails.h"
#include "tfrmedtimbr.h"
#include "tfrmvistimb.h"
#include "vistimbrature.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>

using EditTimbrature::Campo;
using EditTimbrature::EsitoOra;

namespace {

constexpr int kDip = 1;
constexpr int kSenzaTimbrature = 2;
constexpr int kGiornoChiuso = 20;

QDate marzo(int giorno)
{
    return QDate(2026, 3, giorno);
}

QDateTime alle(const QDate& d, const char* ora)
{
    const QString t = QString::fromLatin1(ora);
    return QDateTime(d, QTime::fromString(t, t.size() > 5 ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm")), Qt::UTC);
}

// What a test saw inside a modal editor: the assertions come after exec() returns.
struct Visto {
    bool confermaAbilitata = true;
    bool annullaAbilitata = true;
    bool confermaDopoModifica = false;
    bool originaleAbilitato = true;
    QString oraV;
    QString focus;
    QStringList focusDopoInvio;
    QStringList visibileDopoInvio;
    int registrate = -1;
};

QString nomeFocus()
{
    QWidget* f = QApplication::focusWidget();
    return f ? f->objectName() : QString();
}

// The editor's fields.
struct Editor {
    explicit Editor(QWidget* w) : dlg(qobject_cast<TfrmEdTimbr*>(w)) {}
    QLineEdit* oraV() const { return dlg->findChild<QLineEdit*>(QStringLiteral("edtDataV")); }
    QLineEdit* oraO() const { return dlg->findChild<QLineEdit*>(QStringLiteral("edtDataO")); }
    QComboBox* versoV() const { return dlg->findChild<QComboBox*>(QStringLiteral("cmbVersoV")); }
    QComboBox* versoO() const { return dlg->findChild<QComboBox*>(QStringLiteral("cmbVersoO")); }
    QAction* azione(const char* nome) const { return dlg->findChild<QAction*>(QString::fromLatin1(nome)); }
    // Types a time over what the field shows, and picks a direction by its first letter.
    void ora(QLineEdit* e, const QString& testo) const
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, testo);
    }
    // Picks a direction from the top of the list with the arrow keys (typed letters would
    // join into one search string at test speed).
    void verso(QComboBox* c, const char* codice) const
    {
        QTest::keyClick(c, Qt::Key_Home);
        for (int n = c->findData(QString::fromLatin1(codice)); n > 0; --n)
            QTest::keyClick(c, Qt::Key_Down);
    }
    void invio() const { QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dlg, Qt::Key_Return); }
    void esc() const { QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dlg, Qt::Key_Escape); }
    TfrmEdTimbr* dlg;
};

// Employees, the days of March 2026 of employee 1 (the 20th closed), the data module as
// the work-plan window prepares it, a stand-in for that window with its bottom panel,
// and the details over it.
class Scenario {
public:
    Scenario()
    {
        amb.dtm().CaricaMemoria();
        dipendente(kDip, "Rossi", "Mario");
        dipendente(kSenzaTimbrature, "D'Amico", "Lucia");
        for (int g = 1; g <= 31; ++g)
            giorno(marzo(g), g == kGiornoChiuso ? 3 : 1);
        amb.dtm().IdDipCorrente = kDip;
        piano.BuildStructures();

        auto* l = new QVBoxLayout(&finestra);
        l->addStretch();
        contenitore = new QWidget(&finestra);
        contenitore->setObjectName(QStringLiteral("pnlBasso"));
        new QVBoxLayout(contenitore);
        l->addWidget(contenitore);
        contenitore->hide();
        finestra.setGeometry(100, 100, 700, 500);
        finestra.show();
        esposta = QTest::qWaitForWindowExposed(&finestra);

        det = std::make_unique<TfrmDetails>(amb.dtm(), piano, &finestra);
        det->ImpostaContenitore(contenitore);
    }
    ~Scenario() { det.reset(); }

    void dipendente(int id, const char* cognome, const char* nome)
    {
        amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Cognome, Nome, Classe) VALUES (:Id, :Cognome, :Nome, 'D')"),
                   {{"Id", id}, {"Cognome", QString::fromLatin1(cognome)}, {"Nome", QString::fromLatin1(nome)}});
    }
    void giorno(const QDate& d, int stato)
    {
        amb.esegui(QStringLiteral("INSERT INTO PianoSomma (IdDip, Data, Stato) VALUES (:IdDip, :Data, :Stato)"),
                   {{"IdDip", kDip}, {"Data", Sql::data(d)}, {"Stato", stato}});
    }
    // valid direction and time, then the original ones (none for a punch typed by hand).
    void timbratura(const QDate& d, const char* versoV, const char* oraV, const char* versoO = nullptr, const char* oraO = nullptr,
                    int idDip = kDip)
    {
        amb.esegui(QStringLiteral("INSERT INTO Timbrature (IdDip, DataV, VersoV, DataO, VersoO) VALUES (:IdDip, :DataV, :VersoV, :DataO, :VersoO)"),
                   {{"IdDip", idDip},
                    {"DataV", Sql::dataOra(alle(d, oraV))},
                    {"VersoV", QString::fromLatin1(versoV)},
                    {"DataO", oraO ? Sql::dataOra(alle(d, oraO)) : Sql::dataOra({})},
                    {"VersoO", Sql::testo(QString::fromLatin1(versoO))}});
    }

    // The work-plan window confirmed on March, its grid on the day.
    void apri(int g)
    {
        piano.wwTblPianoSomma()->Apri(kDip, marzo(1), marzo(31));
        vaiA(g);
    }
    void vaiA(int g) { piano.wwTblPianoSomma()->ImpostaRigaCorrente(piano.wwTblPianoSomma()->TrovaData(marzo(g))); }
    // "Dettagli" pressed, then the punch cell's Enter: the list has the keyboard.
    bool mostra()
    {
        // A desktop hands the activation on when the details hide; the offscreen platform
        // does not, so the work-plan window takes it back here.
        if (!det->Visibili() && finestra.isVisible()) {
            finestra.activateWindow();
            if (!QTest::qWaitForWindowActive(&finestra))
                return false;
        }
        det->Mostra();
        if (!QTest::qWaitForWindowExposed(det.get()))
            return false;
        det->FocusElenco();
        if (!QTest::qWaitForWindowActive(det->window()))
            return false;
        for (int n = 0; n < 200 && QApplication::focusWidget() != elenco(); ++n)
            QTest::qWait(10);
        return QApplication::focusWidget() == elenco();
    }

    QTableView* elenco() { return det->Elenco(); }
    QAction* azione(const char* nome) { return det->findChild<QAction*>(QString::fromLatin1(nome)); }
    void tasto(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(elenco(), k, m); }
    void cliccaRiga(int riga)
    {
        QTableView* v = elenco();
        const QModelIndex i = v->model()->index(riga, TabellaTimbrature::ColDataV);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(i).center());
    }
    QString cella(int riga, int colonna) { return elenco()->model()->index(riga, colonna).data().toString(); }
    // The editor the key opens, acted on by `azione`; how many editors opened.
    int conEditor(Qt::Key tasto, const std::function<void(Editor&)>& azione, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QuandoModale modale([&](QWidget* w) {
            Editor ed(w);
            azione(ed);
        });
        this->tasto(tasto, m);
        modale.ferma();
        return modale.volte();
    }
    int punzonature(const QString& condizione = {})
    {
        return amb.conta(QStringLiteral("Timbrature"), condizione);
    }
    QString tokenGriglia()
    {
        const TabellaPiano* g = piano.wwTblPianoSomma();
        return g->GiornoCorrente() ? g->GiornoCorrente()->Timbrature : QString();
    }

    Ambiente amb;
    TdtmPiano piano{amb.dtm()};
    QWidget finestra;
    QWidget* contenitore = nullptr;
    std::unique_ptr<TfrmDetails> det;
    bool esposta = false;
};

}  // namespace

class TstDettagli : public QObject {
    Q_OBJECT

private slots:
    // Headless rules of the editor.
    void leggiOra_data();
    void leggiOra();
    void checkValues_data();
    void checkValues();
    void componi();
    // The day details.
    void elencoEFinestra();
    void abilitazioneDopoCambioRiga();
    void cancellazioneSenzaModTimbOrig();
    void giornoChiuso();
    void includiSepara();
    void escEChiusura();
    void mostraAggiorna();
    // The punch editor through the details.
    void orarioDigitato_data();
    void orarioDigitato();
    void dataDellaRiga();
    void treInFila();
    void modificaChiude();
    void campiObbligatori_data();
    void campiObbligatori();
    void oraNonValidaLasciandoIlCampo();
    void orarioDoppio();
    void originaliConModTimbOrig();
    // The punch viewer.
    void visualizzatoreSenzaTimbrature();
    void visualizzatoreRighe();
};

// --- Headless rules ---------------------------------------------------------------------

void TstDettagli::leggiOra_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("esito");
    QTest::addColumn<QTime>("ora");

    const int valida = int(EsitoOra::Valida), non = int(EsitoOra::NonValida), vuota = int(EsitoOra::Vuota);
    QTest::newRow("8: ore intere") << "8" << valida << QTime(8, 0);
    QTest::newRow("08") << "08" << valida << QTime(8, 0);
    QTest::newRow("0: mezzanotte") << "0" << valida << QTime(0, 0);
    QTest::newRow("745: ultime due cifre minuti") << "745" << valida << QTime(7, 45);
    QTest::newRow("0745") << "0745" << valida << QTime(7, 45);
    QTest::newRow("2359") << "2359" << valida << QTime(23, 59);
    QTest::newRow("07:45") << "07:45" << valida << QTime(7, 45);
    QTest::newRow("7:45") << "7:45" << valida << QTime(7, 45);
    QTest::newRow("07.45 come nell'elenco") << "07.45" << valida << QTime(7, 45);
    QTest::newRow("spazi attorno") << " 0745 " << valida << QTime(7, 45);
    QTest::newRow("2575 rifiutato") << "2575" << non << QTime();
    QTest::newRow("2400 rifiutato") << "2400" << non << QTime();
    QTest::newRow("minuti 60") << "0760" << non << QTime();
    QTest::newRow("25:00") << "25:00" << non << QTime();
    QTest::newRow("cinque cifre") << "07450" << non << QTime();
    QTest::newRow("separatore senza minuti") << "7:" << non << QTime();
    QTest::newRow("lettere") << "7e45" << non << QTime();
    QTest::newRow("segno") << "-745" << non << QTime();
    QTest::newRow("vuoto") << "" << vuota << QTime();
    QTest::newRow("solo spazi") << "   " << vuota << QTime();
}

void TstDettagli::leggiOra()
{
    QFETCH(QString, testo);
    QFETCH(int, esito);
    QFETCH(QTime, ora);

    QTime letta(1, 2, 3);
    QCOMPARE(int(EditTimbrature::LeggiOra(testo, &letta)), esito);
    if (esito == int(EsitoOra::Valida))
        QCOMPARE(letta, ora);
    else
        QCOMPARE(letta, QTime(1, 2, 3));  // left alone
}

void TstDettagli::checkValues_data()
{
    QTest::addColumn<QString>("oraV");
    QTest::addColumn<QString>("versoV");
    QTest::addColumn<QString>("oraO");
    QTest::addColumn<QString>("versoO");
    QTest::addColumn<bool>("modTimbOrig");
    QTest::addColumn<int>("campo");
    QTest::addColumn<int>("errore");

    const int ok = int(Campo::Nessuno);
    QTest::newRow("completa") << "0745" << "E" << "" << "" << false << ok << 0;
    QTest::newRow("tutto vuoto: prima l'ora") << "" << "" << "" << "" << false << int(Campo::OraV) << 103;
    QTest::newRow("senza ora valida") << "" << "E" << "" << "" << false << int(Campo::OraV) << 103;
    QTest::newRow("senza verso valido") << "0745" << "" << "" << "" << false << int(Campo::VersoV) << 103;
    QTest::newRow("ora valida non convertibile") << "2575" << "E" << "" << "" << false << int(Campo::OraV) << 9450;
    QTest::newRow("originali ignorati senza ModTimbOrig") << "0745" << "E" << "2575" << "" << false << ok << 0;
    QTest::newRow("ModTimbOrig: solo ora originale") << "0745" << "E" << "0740" << "" << true << int(Campo::VersoO) << 103;
    QTest::newRow("ModTimbOrig: solo verso originale") << "0745" << "E" << "" << "U" << true << int(Campo::OraO) << 103;
    QTest::newRow("ModTimbOrig: originali completi") << "0745" << "E" << "0740" << "E" << true << ok << 0;
    QTest::newRow("ModTimbOrig: originali vuoti") << "0745" << "E" << "" << "" << true << ok << 0;
    QTest::newRow("ModTimbOrig: ora originale non convertibile") << "0745" << "E" << "99" << "E" << true << int(Campo::OraO) << 9450;
    // The valid pair comes first even when the original one is incomplete.
    QTest::newRow("ModTimbOrig: prima i valori validi") << "" << "E" << "0740" << "" << true << int(Campo::OraV) << 103;
}

void TstDettagli::checkValues()
{
    QFETCH(QString, oraV);
    QFETCH(QString, versoV);
    QFETCH(QString, oraO);
    QFETCH(QString, versoO);
    QFETCH(bool, modTimbOrig);
    QFETCH(int, campo);
    QFETCH(int, errore);

    const EditTimbrature::Verifica v = EditTimbrature::CheckValues({oraV, versoV, oraO, versoO}, modTimbOrig);
    QCOMPARE(int(v.campo), campo);
    QCOMPARE(v.errore, errore);
    QCOMPARE(v.ok(), campo == int(Campo::Nessuno));
}

void TstDettagli::componi()
{
    // A terminal punch of another day with seconds, modified on the row of 12 March.
    Timbratura base;
    base.IdDip = 9;
    base.DataV = QDateTime(QDate(2026, 1, 1), QTime(8, 0, 30), Qt::UTC);
    base.DataO = QDateTime(QDate(2026, 1, 1), QTime(7, 58, 10), Qt::UTC);
    base.VersoV = QStringLiteral("E");
    base.VersoO = QStringLiteral("E");
    base.Caus = QStringLiteral("0012");
    base.IdTerminale = 5;

    // Untouched time: the seconds stay, the date becomes the row's.
    Timbratura t = EditTimbrature::Componi(base, {QStringLiteral("08:00"), QStringLiteral("U"), QStringLiteral("07:00"), QStringLiteral("U")},
                                           kDip, marzo(12), false);
    QCOMPARE(t.IdDip, kDip);
    QCOMPARE(t.DataV, QDateTime(marzo(12), QTime(8, 0, 30), Qt::UTC));
    QCOMPARE(t.VersoV, QStringLiteral("U"));
    // Without ModTimbOrig the original values are as acquired, whatever the fields hold.
    QCOMPARE(t.DataO, base.DataO);
    QCOMPARE(t.VersoO, QStringLiteral("E"));
    QCOMPARE(t.Caus, QStringLiteral("0012"));
    QCOMPARE(t.IdTerminale.toInt(), 5);

    // A typed time replaces the seconds too.
    t = EditTimbrature::Componi(base, {QStringLiteral("815"), QStringLiteral("E"), QStringLiteral("07:58"), QStringLiteral("E")}, kDip, marzo(12), true);
    QCOMPARE(t.DataV, QDateTime(marzo(12), QTime(8, 15), Qt::UTC));
    QCOMPARE(t.DataO, QDateTime(marzo(12), QTime(7, 58, 10), Qt::UTC));

    // ModTimbOrig on and the original time emptied: the original pair goes.
    t = EditTimbrature::Componi(base, {QStringLiteral("0800"), QStringLiteral("E"), QString(), QString()}, kDip, marzo(12), true);
    QVERIFY(!t.DataO.isValid());
    QVERIFY(t.VersoO.isEmpty());

    // A new punch typed by hand has valid values only.
    t = EditTimbrature::Componi(Timbratura(), {QStringLiteral("0745"), QStringLiteral("E"), QString(), QString()}, kDip, marzo(12), false);
    QCOMPARE(Sql::testoDataOra(t.DataV), QStringLiteral("2026-03-12 07:45:00"));
    QVERIFY(!t.DataO.isValid());
}

// --- Day details ------------------------------------------------------------------------

void TstDettagli::elencoEFinestra()
{
    Scenario s;
    QVERIFY(s.esposta);
    s.timbratura(marzo(5), "U", "12:00");
    s.timbratura(marzo(5), "E", "08:00", "E", "07:58");
    s.apri(5);
    QVERIFY(s.mostra());

    QCOMPARE(s.det->windowTitle(), QStringLiteral("Dettagli"));
    // Its own window above the work-plan window, not a child of it.
    QVERIFY(s.det->isWindow());
    QVERIFY(!s.det->parent());
    QVERIFY(s.det->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(s.det->windowHandle()->transientParent(), s.finestra.windowHandle());
    QVERIFY(!s.det->Incluso());
    QVERIFY(s.contenitore->isHidden());

    QTableView* v = s.elenco();
    QHeaderView* h = v->horizontalHeader();
    QStringList titoli;
    for (int vis = 0; vis < h->count(); ++vis)
        if (!h->isSectionHidden(h->logicalIndex(vis)))
            titoli << v->model()->headerData(h->logicalIndex(vis), Qt::Horizontal).toString();
    QCOMPARE(titoli, (QStringList{"Verso", "Orario", "Verso", "Orario"}));
    QCOMPARE(h->property("gruppi").toStringList(), (QStringList{"Timbrature originali", "Timbrature variate"}));
    // The two heading bands are drawn one above the other.
    QVERIFY(h->height() >= 2 * v->fontMetrics().height());

    // Rows in valid-time order; the punch typed by hand has no original values.
    QCOMPARE(v->model()->rowCount(), 2);
    const auto riga = [&](int r) {
        QStringList l;
        for (int vis = 0; vis < h->count(); ++vis)
            if (!h->isSectionHidden(h->logicalIndex(vis)))
                l << s.cella(r, h->logicalIndex(vis));
        return l;
    };
    QCOMPARE(riga(0), (QStringList{"E", "07.58", "E", "08.00"}));
    QCOMPARE(riga(1), (QStringList{"", "", "U", "12.00"}));

    QCOMPARE(v->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(v->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(v->alternatingRowColors());
    QCOMPARE(v->palette().color(QPalette::AlternateBase), ColoreDaIni(s.amb.dtm().cfg().ColoreGrid));
    QVERIFY(v->selectionModel()->isRowSelected(0, {}));

    // Menu entries with their keys, toolbar hints.
    const QList<std::tuple<const char*, QString, QKeySequence>> comandi{
        {"itmEsci", "&Esci", QKeySequence(Qt::ALT | Qt::Key_F4)},
        {"itmInserisci", "&Inserisci", QKeySequence(Qt::Key_F2)},
        {"itmModifica", "&Modifica", QKeySequence(Qt::Key_F3)},
        {"itmCancella", "&Cancella", QKeySequence(Qt::Key_F4)},
        {"itmIncludi", "&Includi/Separa", QKeySequence(Qt::Key_F6)},
        {"itmAiuto", "&?", QKeySequence(QKeySequence::HelpContents)}};
    for (const auto& [nome, testo, tasto] : comandi) {
        QAction* a = s.azione(nome);
        QVERIFY2(a, nome);
        QCOMPARE(a->text(), testo);
        QCOMPARE(a->shortcut(), tasto);
    }
    QStringList suggerimenti;
    for (QAction* a : s.det->findChild<QToolBar*>(QStringLiteral("tbDetails"))->actions())
        if (!a->isSeparator())
            suggerimenti << a->toolTip();
    QCOMPARE(suggerimenti, (QStringList{"Esci", "Inserisci", "Modifica", "Cancella", "Includi/Separa", "Help"}));
}

void TstDettagli::abilitazioneDopoCambioRiga()
{
    Scenario s;
    s.timbratura(marzo(5), "E", "08:00", "E", "08:00");
    s.timbratura(marzo(5), "U", "12:00");
    s.timbratura(marzo(kGiornoChiuso), "E", "08:00");
    s.apri(5);
    QVERIFY(s.mostra());
    QAction* ins = s.azione("itmInserisci");
    QAction* mod = s.azione("itmModifica");
    QAction* canc = s.azione("itmCancella");

    // On the terminal punch nothing can be deleted; moving to the hand-typed one can.
    QVERIFY(ins->isEnabled());
    QVERIFY(mod->isEnabled());
    QVERIFY(!canc->isEnabled());
    s.tasto(Qt::Key_Down);
    QCOMPARE(s.piano.wwTblTimbr()->RigaCorrente(), 1);
    QVERIFY(canc->isEnabled());
    s.cliccaRiga(0);
    QCOMPARE(s.piano.wwTblTimbr()->RigaCorrente(), 0);
    QVERIFY(!canc->isEnabled());

    // The toolbar buttons are the menu entries.
    auto* barra = s.det->findChild<QToolBar*>(QStringLiteral("tbDetails"));
    QVERIFY(!barra->widgetForAction(canc)->isEnabled());
    QVERIFY(barra->widgetForAction(ins)->isEnabled());

    // A day without punches: only Insert.
    s.vaiA(6);
    QCOMPARE(s.elenco()->model()->rowCount(), 0);
    QVERIFY(ins->isEnabled());
    QVERIFY(!mod->isEnabled());
    QVERIFY(!canc->isEnabled());

    // A closed day: no Insert, no Delete, Modify still there.
    s.vaiA(kGiornoChiuso);
    QVERIFY(!ins->isEnabled());
    QVERIFY(mod->isEnabled());
    QVERIFY(!canc->isEnabled());

    // ModTimbOrig is read when the enabling runs (the work-plan grid entering the punch column).
    s.amb.dtm().cfg().ModTimbOrig = true;
    s.vaiA(5);
    s.det->AbilitazioneTimbrature();
    QVERIFY(canc->isEnabled());
}

void TstDettagli::cancellazioneSenzaModTimbOrig()
{
    Scenario s;
    s.timbratura(marzo(5), "E", "08:00", "E", "07:59");
    s.timbratura(marzo(5), "U", "12:00");
    s.apri(5);
    QVERIFY(s.mostra());
    PresentatoreRegistro& reg = s.amb.registro();

    // The terminal punch: F4 and Ctrl+Delete do nothing, not even ask.
    s.tasto(Qt::Key_F4);
    s.tasto(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(reg.domande.size(), 0);
    QCOMPARE(s.punzonature(), 2);

    // The hand-typed punch: question 3; No keeps it, Yes deletes it.
    s.tasto(Qt::Key_Down);
    reg.risposte = {false};
    s.tasto(Qt::Key_F4);
    QCOMPARE(reg.domande, QStringList{s.amb.dtm().TestoScelta(3)});
    QCOMPARE(s.punzonature(), 2);
    reg.risposte = {true};
    s.tasto(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(reg.domande.size(), 2);
    QCOMPARE(s.punzonature(), 1);
    QCOMPARE(s.punzonature(QStringLiteral("DataV = '2026-03-05 08:00:00'")), 1);
    QCOMPARE(s.elenco()->model()->rowCount(), 1);
    QCOMPARE(s.tokenGriglia(), QStringLiteral("E0800"));
}

void TstDettagli::giornoChiuso()
{
    Scenario s;
    s.timbratura(marzo(kGiornoChiuso), "E", "08:00");
    s.apri(kGiornoChiuso);
    QVERIFY(s.mostra());
    PresentatoreRegistro& reg = s.amb.registro();

    QVERIFY(!s.azione("itmInserisci")->isEnabled());
    QCOMPARE(s.conEditor(Qt::Key_F2, [](Editor& e) { e.esc(); }), 0);
    QCOMPARE(s.conEditor(Qt::Key_Insert, [](Editor& e) { e.esc(); }), 0);
    QCOMPARE(reg.domande.size(), 0);

    // Modify asks 2520 first: No, and no editor.
    reg.risposte = {false};
    QCOMPARE(s.conEditor(Qt::Key_F3, [](Editor& e) { e.esc(); }), 0);
    QCOMPARE(reg.domande, QStringList{s.amb.dtm().TestoScelta(2520)});

    // Yes: the editor opens on the punch; Enter on the list does the same.
    reg.risposte = {true};
    QString mostrata;
    QCOMPARE(s.conEditor(Qt::Key_Return,
                         [&](Editor& e) {
                             mostrata = e.oraV()->text();
                             e.esc();
                         }),
             1);
    QCOMPARE(reg.domande.size(), 2);
    QCOMPARE(mostrata, QStringLiteral("08:00"));
    QCOMPARE(s.punzonature(), 1);
}

void TstDettagli::includiSepara()
{
    Scenario s;
    s.timbratura(marzo(5), "E", "08:00");
    s.apri(5);
    QVERIFY(s.mostra());
    QWidget* pannello = s.det->Pannello();
    QSignalSpy chiuso(s.det.get(), &TfrmDetails::chiuso);

    // F6 in the list: the panel moves to the bottom of the work-plan window.
    s.tasto(Qt::Key_F6);
    QVERIFY(s.det->Incluso());
    QCOMPARE(pannello->parentWidget(), s.contenitore);
    QVERIFY(s.contenitore->isVisible());
    QVERIFY(pannello->isVisible());
    QVERIFY(!s.det->isVisible());
    QVERIFY(s.det->Visibili());
    QCOMPARE(s.elenco()->window(), &s.finestra);

    // Docked, the list still works: Enter modifies the punch.
    QTRY_COMPARE(QApplication::focusWidget(), s.elenco());
    QCOMPARE(s.conEditor(Qt::Key_Return,
                         [](Editor& e) {
                             e.ora(e.oraV(), QStringLiteral("0805"));
                             e.invio();
                         }),
             1);
    QCOMPARE(s.punzonature(QStringLiteral("DataV = '2026-03-05 08:05:00'")), 1);

    // Hiding and showing act on the docked panel.
    s.det->Nascondi();
    QVERIFY(s.contenitore->isHidden());
    QVERIFY(!s.det->isVisible());
    s.det->Mostra();
    QVERIFY(s.contenitore->isVisible());
    QVERIFY(!s.det->isVisible());
    QCOMPARE(chiuso.count(), 0);

    // The grid moved while docked; undocking shows the row's day in the window again.
    s.vaiA(6);
    s.det->FocusElenco();
    s.tasto(Qt::Key_F6);
    QVERIFY(!s.det->Incluso());
    QCOMPARE(pannello->parentWidget(), s.det.get());
    QVERIFY(s.contenitore->isHidden());
    QVERIFY(QTest::qWaitForWindowExposed(s.det.get()));
    QCOMPARE(s.piano.wwTblTimbr()->Giorno(), marzo(6));

    // Esci on the docked panel's toolbar hides the panel and tells the work-plan window.
    s.det->itmIncludiClick();
    QVERIFY(s.det->Incluso());
    auto* barra = s.det->Pannello()->findChild<QToolBar*>(QStringLiteral("tbDetails"));
    QToolButton* esci = nullptr;
    for (QAction* a : barra->actions())
        if (a->toolTip() == QLatin1String("Esci"))
            esci = qobject_cast<QToolButton*>(barra->widgetForAction(a));
    QVERIFY(esci);
    QTest::mouseClick(esci, Qt::LeftButton);
    QCOMPARE(chiuso.count(), 1);
    QVERIFY(s.contenitore->isHidden());
    QVERIFY(!s.det->Visibili());
}

void TstDettagli::escEChiusura()
{
    Scenario s;
    s.apri(5);
    QVERIFY(s.mostra());
    QSignalSpy griglia(s.det.get(), &TfrmDetails::tornaAllaGriglia);
    QSignalSpy chiuso(s.det.get(), &TfrmDetails::chiuso);

    s.tasto(Qt::Key_Escape);
    QCOMPARE(griglia.count(), 1);
    QCOMPARE(chiuso.count(), 0);
    QVERIFY(s.det->isVisible());

    // Nascondi is the work-plan window's own doing: no signal.
    s.det->Nascondi();
    QVERIFY(!s.det->isVisible());
    QCOMPARE(chiuso.count(), 0);

    // The window's close button hides it and tells the work-plan window.
    QVERIFY(s.mostra());
    s.det->close();
    QVERIFY(!s.det->isVisible());
    QCOMPARE(chiuso.count(), 1);

    // "&Esci" from the menu likewise.
    QVERIFY(s.mostra());
    s.azione("itmEsci")->trigger();
    QVERIFY(!s.det->isVisible());
    QCOMPARE(chiuso.count(), 2);
    QCOMPARE(griglia.count(), 1);
}

void TstDettagli::mostraAggiorna()
{
    Scenario s;
    s.apri(5);
    s.piano.wwTblTimbr()->Chiudi();
    // A punch arrives while the details are hidden (an acquisition run, another copy).
    s.timbratura(marzo(5), "E", "08:10");
    QCOMPARE(s.tokenGriglia(), QString());

    QVERIFY(s.mostra());
    QVERIFY(s.piano.wwTblTimbr()->Aperta());
    QCOMPARE(s.tokenGriglia(), QStringLiteral("E0810"));
    QCOMPARE(s.elenco()->model()->rowCount(), 1);
    QVERIFY(s.azione("itmModifica")->isEnabled());
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
    s.apri(12);
    QVERIFY(s.mostra());
    Visto visto;
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](Editor& e) {
                             e.ora(e.oraV(), testo);
                             e.verso(e.versoV(), "E");
                             e.oraV()->setFocus();
                             e.invio();
                             visto.focus = nomeFocus();
                             e.esc();
                         }),
             1);
    if (errore == 0) {
        QVERIFY(s.amb.registro().avvisi.isEmpty());
        QCOMPARE(s.punzonature(), 1);
        QCOMPARE(s.amb.valore(QStringLiteral("SELECT DataV FROM Timbrature WHERE IdDip = 1 AND VersoV = 'E' AND DataO IS NULL")).toString(),
                 registrata);
    } else {
        QCOMPARE(s.amb.registro().avvisi, QStringList{s.amb.dtm().TestoErrore(errore)});
        QCOMPARE(visto.focus, QStringLiteral("edtDataV"));
        QCOMPARE(s.punzonature(), 0);
    }
}

void TstDettagli::dataDellaRiga()
{
    Scenario s;
    // Neither today nor the punch list's earlier day gives the date: the grid row does.
    s.amb.dtm().setOggi(QDate(2026, 5, 20));
    s.apri(11);
    QVERIFY(s.mostra());
    s.vaiA(12);
    Visto visto;
    QCOMPARE(s.conEditor(Qt::Key_Insert,
                         [&](Editor& e) {
                             visto.focus = nomeFocus();
                             visto.confermaAbilitata = e.azione("btnConferma")->isEnabled();
                             visto.annullaAbilitata = e.azione("btnAnnulla")->isEnabled();
                             visto.originaleAbilitato = e.dlg->findChild<QGroupBox*>(QStringLiteral("grpOriginale"))->isEnabled();
                             QTest::keyClicks(e.oraV(), QStringLiteral("0745"));
                             visto.confermaDopoModifica = e.azione("btnConferma")->isEnabled() && e.azione("btnAnnulla")->isEnabled();
                             e.verso(e.versoV(), "U");
                             // The toolbar's confirm button saves like Enter.
                             auto* barra = e.dlg->findChild<QToolBar*>(QStringLiteral("tbEdTimbr"));
                             QTest::mouseClick(barra->widgetForAction(e.azione("btnConferma")), Qt::LeftButton);
                             visto.oraV = e.oraV()->text();
                             visto.registrate = e.dlg->Registrate();
                             e.esc();
                         }),
             1);
    QCOMPARE(visto.focus, QStringLiteral("edtDataV"));
    QVERIFY(!visto.confermaAbilitata);
    QVERIFY(!visto.annullaAbilitata);
    QVERIFY(visto.confermaDopoModifica);
    QVERIFY(!visto.originaleAbilitato);
    QCOMPARE(visto.registrate, 1);
    QCOMPARE(visto.oraV, QString());  // a new empty punch was started
    QCOMPARE(s.amb.valore(QStringLiteral("SELECT DataV FROM Timbrature WHERE IdDip = 1 AND VersoV = 'U'")).toString(),
             QStringLiteral("2026-03-12 07:45:00"));
    QCOMPARE(s.tokenGriglia(), QStringLiteral("U0745"));
    QCOMPARE(s.cella(0, TabellaTimbrature::ColDataV), QStringLiteral("07.45"));
}

void TstDettagli::treInFila()
{
    Scenario s;
    s.apri(12);
    QVERIFY(s.mostra());
    Visto visto;
    const QList<std::pair<QString, const char*>> timbrature{{"800", "E"}, {"1200", "U"}, {"13:05", "E"}};
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](Editor& e) {
                             for (const auto& [ora, verso] : timbrature) {
                                 e.ora(e.oraV(), ora);
                                 e.verso(e.versoV(), verso);
                                 e.invio();
                                 visto.focusDopoInvio << nomeFocus();
                                 visto.visibileDopoInvio << (e.dlg->isVisible() ? "aperto" : "chiuso");
                             }
                             // The fourth punch is begun, then abandoned.
                             e.ora(e.oraV(), QStringLiteral("1700"));
                             visto.registrate = e.dlg->Registrate();
                             e.esc();
                         }),
             1);
    QCOMPARE(visto.visibileDopoInvio, QStringList(3, QStringLiteral("aperto")));
    QCOMPARE(visto.focusDopoInvio, QStringList(3, QStringLiteral("edtDataV")));
    QCOMPARE(visto.registrate, 3);
    QCOMPARE(s.punzonature(), 3);
    QCOMPARE(s.punzonature(QStringLiteral("DataV LIKE '%17:00%'")), 0);
    QCOMPARE(s.tokenGriglia(), QStringLiteral("E0800 U1200 E1305"));
    QCOMPARE(s.elenco()->model()->rowCount(), 3);
}

void TstDettagli::modificaChiude()
{
    Scenario s;
    s.timbratura(marzo(5), "E", "08:00:30", "E", "08:00:30");
    s.timbratura(marzo(5), "U", "12:00", "U", "12:00");
    s.apri(5);
    QVERIFY(s.mostra());
    s.tasto(Qt::Key_Down);

    // A double click on the punch opens it; Enter saves and closes.
    Visto visto;
    QuandoModale modale([&](QWidget* w) {
        Editor e(w);
        visto.oraV = e.oraV()->text();
        visto.confermaAbilitata = e.azione("btnConferma")->isEnabled();
        e.ora(e.oraV(), QStringLiteral("1230"));
        e.invio();
        visto.visibileDopoInvio << (e.dlg->isVisible() ? "aperto" : "chiuso");
    });
    QTableView* v = s.elenco();
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(1, TabellaTimbrature::ColDataV)).center());
    modale.ferma();
    QCOMPARE(modale.volte(), 1);
    QCOMPARE(visto.oraV, QStringLiteral("12:00"));
    QVERIFY(!visto.confermaAbilitata);
    QCOMPARE(visto.visibileDopoInvio, QStringList{QStringLiteral("chiuso")});
    QCOMPARE(s.punzonature(), 2);
    // The valid time moved; the original stays as acquired.
    QCOMPARE(s.punzonature(QStringLiteral("DataV = '2026-03-05 12:30:00' AND DataO = '2026-03-05 12:00:00' AND VersoO = 'U'")), 1);

    // Untouched time, new direction: the seconds of the terminal punch stay.
    s.tasto(Qt::Key_Up);
    QCOMPARE(s.conEditor(Qt::Key_F3,
                         [](Editor& e) {
                             e.verso(e.versoV(), "U");
                             e.invio();
                         }),
             1);
    QCOMPARE(s.punzonature(QStringLiteral("DataV = '2026-03-05 08:00:30' AND VersoV = 'U'")), 1);
    QCOMPARE(s.tokenGriglia(), QStringLiteral("U0800 U1230"));
}

void TstDettagli::campiObbligatori_data()
{
    QTest::addColumn<bool>("modTimbOrig");
    QTest::addColumn<QString>("oraV");
    QTest::addColumn<QString>("versoV");
    QTest::addColumn<QString>("oraO");
    QTest::addColumn<QString>("versoO");
    QTest::addColumn<QString>("focus");

    QTest::newRow("niente") << false << "" << "" << "" << "" << "edtDataV";
    QTest::newRow("senza ora valida") << false << "" << "E" << "" << "" << "edtDataV";
    QTest::newRow("senza verso valido") << false << "0745" << "" << "" << "" << "cmbVersoV";
    QTest::newRow("ModTimbOrig: solo ora originale") << true << "0745" << "E" << "0740" << "" << "cmbVersoO";
    QTest::newRow("ModTimbOrig: solo verso originale") << true << "0745" << "E" << "" << "E" << "edtDataO";
}

void TstDettagli::campiObbligatori()
{
    QFETCH(bool, modTimbOrig);
    QFETCH(QString, oraV);
    QFETCH(QString, versoV);
    QFETCH(QString, oraO);
    QFETCH(QString, versoO);
    QFETCH(QString, focus);

    Scenario s;
    s.amb.dtm().cfg().ModTimbOrig = modTimbOrig;
    s.apri(12);
    QVERIFY(s.mostra());
    Visto visto;
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](Editor& e) {
                             if (!oraO.isEmpty())
                                 e.ora(e.oraO(), oraO);
                             if (!versoO.isEmpty())
                                 e.verso(e.versoO(), qPrintable(versoO));
                             if (!oraV.isEmpty())
                                 e.ora(e.oraV(), oraV);
                             if (!versoV.isEmpty())
                                 e.verso(e.versoV(), qPrintable(versoV));
                             e.oraV()->setFocus();
                             e.invio();
                             visto.focus = nomeFocus();
                             visto.visibileDopoInvio << (e.dlg->isVisible() ? "aperto" : "chiuso");
                             e.esc();
                         }),
             1);
    QCOMPARE(s.amb.registro().avvisi, QStringList{s.amb.dtm().TestoErrore(103)});
    QCOMPARE(visto.focus, focus);
    QCOMPARE(visto.visibileDopoInvio, QStringList{QStringLiteral("aperto")});
    QCOMPARE(s.punzonature(), 0);
}

void TstDettagli::oraNonValidaLasciandoIlCampo()
{
    Scenario s;
    s.apri(12);
    QVERIFY(s.mostra());
    Visto visto;
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](Editor& e) {
                             e.ora(e.oraV(), QStringLiteral("2575"));
                             QTest::keyClick(e.oraV(), Qt::Key_Tab);
                             QCoreApplication::processEvents();
                             visto.focusDopoInvio << nomeFocus();
                             // Corrected, the field can be left.
                             e.ora(e.oraV(), QStringLiteral("0830"));
                             QTest::keyClick(e.oraV(), Qt::Key_Tab);
                             QCoreApplication::processEvents();
                             visto.focusDopoInvio << nomeFocus();
                             e.esc();
                         }),
             1);
    QCOMPARE(visto.focusDopoInvio, (QStringList{"edtDataV", "cmbVersoV"}));
    QCOMPARE(s.amb.registro().avvisi, QStringList{s.amb.dtm().TestoErrore(9450)});
    QCOMPARE(s.punzonature(), 0);
}

void TstDettagli::orarioDoppio()
{
    Scenario s;
    s.timbratura(marzo(5), "E", "08:00", "E", "08:00");
    s.timbratura(marzo(5), "U", "12:00", "U", "12:00");
    s.apri(5);
    QVERIFY(s.mostra());
    s.tasto(Qt::Key_Down);

    // Moving the 12:00 punch onto 08:00: refused, both punches as they were, editor open.
    Visto visto;
    QCOMPARE(s.conEditor(Qt::Key_F3,
                         [&](Editor& e) {
                             e.ora(e.oraV(), QStringLiteral("0800"));
                             e.invio();
                             visto.visibileDopoInvio << (e.dlg->isVisible() ? "aperto" : "chiuso");
                             visto.focus = nomeFocus();
                             e.esc();
                         }),
             1);
    QCOMPARE(visto.visibileDopoInvio, QStringList{QStringLiteral("aperto")});
    QCOMPARE(visto.focus, QStringLiteral("edtDataV"));
    QCOMPARE(s.amb.registro().avvisi, QStringList{s.amb.dtm().TestoErrore(9451)});
    QCOMPARE(s.punzonature(QStringLiteral("DataV = '2026-03-05 08:00:00' AND VersoV = 'E'")), 1);
    QCOMPARE(s.punzonature(QStringLiteral("DataV = '2026-03-05 12:00:00' AND VersoV = 'U'")), 1);

    // A new punch at a taken time: refused the same way; the next one still goes in.
    s.amb.registro().avvisi.clear();
    QCOMPARE(s.conEditor(Qt::Key_F2,
                         [&](Editor& e) {
                             e.ora(e.oraV(), QStringLiteral("1200"));
                             e.verso(e.versoV(), "E");
                             e.invio();
                             e.ora(e.oraV(), QStringLiteral("1300"));
                             e.invio();
                             e.esc();
                         }),
             1);
    QCOMPARE(s.amb.registro().avvisi, QStringList{s.amb.dtm().TestoErrore(9451)});
    QCOMPARE(s.punzonature(), 3);
    QCOMPARE(s.punzonature(QStringLiteral("DataV = '2026-03-05 12:00:00' AND VersoV = 'U'")), 1);
    QCOMPARE(s.tokenGriglia(), QStringLiteral("E0800 U1200 E1300"));
}

void TstDettagli::originaliConModTimbOrig()
{
    Scenario s;
    s.amb.dtm().cfg().ModTimbOrig = true;
    s.amb.dtm().cfg().ColoreReqd = 0x0000C0;  // not the labels' own black
    s.timbratura(marzo(5), "E", "08:00", "E", "07:58");
    s.apri(5);
    QVERIFY(s.mostra());

    // Any punch may go with ModTimbOrig on.
    QVERIFY(s.azione("itmCancella")->isEnabled());

    Visto visto;
    QStringList obbligatorie;
    QCOMPARE(s.conEditor(Qt::Key_F3,
                         [&](Editor& e) {
                             visto.originaleAbilitato = e.dlg->findChild<QGroupBox*>(QStringLiteral("grpOriginale"))->isEnabled();
                             visto.oraV = e.oraO()->text();
                             const QColor richiesto = ColoreDaIni(s.amb.dtm().cfg().ColoreReqd);
                             for (QLabel* l : e.dlg->findChildren<QLabel*>())
                                 if (l->buddy() && l->palette().color(QPalette::WindowText) == richiesto)
                                     obbligatorie << l->buddy()->objectName();
                             e.ora(e.oraO(), QStringLiteral("0755"));
                             e.verso(e.versoO(), "U");
                             e.invio();
                         }),
             1);
    QVERIFY(visto.originaleAbilitato);
    QCOMPARE(visto.oraV, QStringLiteral("07:58"));
    obbligatorie.sort();
    QCOMPARE(obbligatorie, (QStringList{"cmbVersoV", "edtDataV"}));
    QCOMPARE(s.punzonature(QStringLiteral("DataV = '2026-03-05 08:00:00' AND DataO = '2026-03-05 07:55:00' AND VersoO = 'U'")), 1);
}

// --- Punch viewer ------------------------------------------------------------------------

void TstDettagli::visualizzatoreSenzaTimbrature()
{
    Scenario s;
    s.timbratura(marzo(5), "E", "08:00");  // employee 1's, not hers
    struct {
        QString titolo;
        QStringList celle;
        int righe = -1;
    } visto;
    TfrmVisTimb vis(s.amb.dtm(), kSenzaTimbrature, marzo(5), nullptr);
    QuandoModale modale([&](QWidget* w) {
        auto* g = w->findChild<QTableWidget*>(QStringLiteral("grdTimbr"));
        visto.titolo = w->windowTitle();
        visto.righe = g->rowCount();
        for (int c = 0; c < g->columnCount(); ++c)
            visto.celle << g->horizontalHeaderItem(c)->text() << (g->item(0, c) ? g->item(0, c)->text() : QStringLiteral("(nessuna)"));
        QTest::keyClick(w, Qt::Key_F4, Qt::AltModifier);
    });
    QCOMPARE(vis.exec(), int(QDialog::Rejected));
    QCOMPARE(modale.volte(), 1);
    QCOMPARE(visto.titolo, s.amb.dtm().TestoScelta(2103) + QStringLiteral(" D'Amico Lucia"));
    QCOMPARE(visto.righe, 1);
    QCOMPARE(visto.celle.size(), 4);
    QCOMPARE(visto.celle.at(0), QStringLiteral("Originali"));
    QCOMPARE(visto.celle.at(1).trimmed(), QString());
    QCOMPARE(visto.celle.at(2), QStringLiteral("Variate"));
    QCOMPARE(visto.celle.at(3).trimmed(), QString());
}

void TstDettagli::visualizzatoreRighe()
{
    Scenario s;
    // Inserted out of order, with a punch of the next day and one of another employee.
    s.timbratura(marzo(5), "U", "12:00");
    s.timbratura(marzo(5), "E", "08:00", "E", "07:58");
    s.timbratura(marzo(5), "X", "13:00", "U", "13:00");
    s.timbratura(marzo(6), "E", "00:00", "E", "00:00");
    s.timbratura(marzo(5), "E", "09:00", "E", "09:00", kSenzaTimbrature);
    s.amb.dtm().mem().LetteraE = QStringLiteral("I");

    TfrmVisTimb vis(s.amb.dtm(), kDip, marzo(5), nullptr);
    QStringList righe;
    QuandoModale modale([&](QWidget* w) {
        auto* g = w->findChild<QTableWidget*>(QStringLiteral("grdTimbr"));
        for (int r = 0; r < g->rowCount(); ++r)
            righe << QStringLiteral("[%1|%2]").arg(g->item(r, 0)->text(), g->item(r, 1)->text());
        auto* barra = w->findChild<QToolBar*>(QStringLiteral("tbVisTimb"));
        QTest::mouseClick(barra->widgetForAction(w->findChild<QAction*>(QStringLiteral("btnEsci"))), Qt::LeftButton);
    });
    vis.exec();
    QCOMPARE(modale.volte(), 1);
    QCOMPARE(vis.windowTitle(), s.amb.dtm().TestoScelta(2103) + QStringLiteral(" Rossi Mario"));
    // Entry letter from the application memory; a code that is neither E nor U is a blank;
    // a punch typed by hand has blank original texts of full width.
    QCOMPARE(righe, (QStringList{"[I    07:58|I    08:00]", "[          |U    12:00]", "[U    13:00|     13:00]"}));
    QCOMPARE(VisTimbrature::Testo(QStringLiteral("U"), QDateTime(), false), QStringLiteral("U    "));

    auto* g = vis.findChild<QTableWidget*>(QStringLiteral("grdTimbr"));
    QVERIFY(g->alternatingRowColors());
    QCOMPARE(g->palette().color(QPalette::AlternateBase), ColoreDaIni(s.amb.dtm().cfg().ColoreGrid));
    QCOMPARE(g->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(vis.findChild<QAction*>(QStringLiteral("itmEsci"))->text(), QStringLiteral("&Esci"));
    QCOMPARE(vis.findChild<QAction*>(QStringLiteral("itmEsci"))->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
}

QTEST_MAIN(TstDettagli)
#include "tst_dettagli.moc"
