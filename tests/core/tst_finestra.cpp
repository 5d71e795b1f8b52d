// The main window: menus and toolbar, groups of buttons and their setting in PRES.INI,
// caption and help file after the registry value, status bar, background picture, the
// commands that open the dialogs, the dialog presenter and the progress dialog.

#include "ambiente.h"
#include "messaggi.h"
#include "avanzamentodialogo.h"
#include "avvio_ui.h"
#include "fileini.h"
#include "icone.h"
#include "modale.h"
#include "presentatoredialogo.h"
#include "tdtmutil.h"
#include "tfrmabout.h"
#include "tfrmaiuto.h"
#include "tfrmimposta.h"
#include "tfrmpresenze.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

QStringList testiVoci(const QMenu* m)
{
    QStringList l;
    for (const QAction* a : m->actions())
        if (!a->isSeparator())
            l << a->text();
    return l;
}

QMenu* menu(TfrmPresenze& f, const QString& titolo)
{
    for (QAction* a : f.menuBar()->actions())
        if (a->text() == titolo)
            return a->menu();
    return nullptr;
}

QAction* azione(TfrmPresenze& f, const QString& nome)
{
    return f.findChild<QAction*>(nome);
}

QToolBar* gruppo(TfrmPresenze& f, int n)
{
    return f.findChild<QToolBar*>(QStringLiteral("tbGruppo%1").arg(n));
}

QString leggiIni(const QString& file, const QString& sezione, const QString& chiave)
{
    const FileIni ini(file);
    return ini.leggiTesto(sezione, chiave, QStringLiteral("<assente>"));
}

// Sets the registry stand-in for the lifetime of the object, restoring the previous value.
class RegistroDiProva {
public:
    explicit RegistroDiProva(const QByteArray& contenuto) : m_prima(qgetenv("QUORLIN_REGISTRO"))
    {
        const QString file = QDir(m_dir.path()).filePath(QStringLiteral("registro.ini"));
        QFile f(file);
        if (f.open(QIODevice::WriteOnly))
            f.write(contenuto);
        qputenv("QUORLIN_REGISTRO", QFile::encodeName(file));
    }
    ~RegistroDiProva() { qputenv("QUORLIN_REGISTRO", m_prima); }

private:
    QTemporaryDir m_dir;
    QByteArray m_prima;
};

// A window of another library standing in for the real one: counts the requests to close.
class FinestraDiProva : public QWidget {
public:
    explicit FinestraDiProva(const QString& titolo)
    {
        setWindowTitle(titolo);
        // Like every window of the application, its own "Esci" answers Alt+F4.
        auto* esci = new QAction(QStringLiteral("&Esci"), this);
        esci->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
        connect(esci, &QAction::triggered, this, &QWidget::close);
        addAction(esci);
    }
    int chiusure = 0;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        ++chiusure;
        QWidget::closeEvent(e);
    }
};

}  // namespace

class TstFinestra : public QObject {
    Q_OBJECT
private slots:
    void menuPrincipali();
    void vociDeiMenu_data();
    void vociDeiMenu();
    void esciConAltF4();
    void comandi_data();
    void comandi();
    void iconeDistinte();
    void gruppiDaTblSetting_data();
    void gruppiDaTblSetting();
    void gruppoDalMenuToolbar_data();
    void gruppoDalMenuToolbar();
    void interruttoreBarra();
    void nomeApplicazione_data();
    void nomeApplicazione();
    void barraDiStato();
    void enableControls();
    void comandoRegistrato();
    void finestraPersistente_data();
    void finestraPersistente();
    void finestraSingola_data();
    void finestraSingola();
    void periodoDiLavoroOggi();
    void sfondo();
    void sfondoDellaFinestra();
    void aiutoPerArgomento_data();
    void aiutoPerArgomento();
    void pagineAiutoCollegate();
    void boxInformazioni();
    void impostazioniModali_data();
    void impostazioniModali();
    void presentatoreAvviso();
    void presentatoreDomanda_data();
    void presentatoreDomanda();
    void avanzamentoDialogo();
    void databaseChiuso();
    void preparaInterfaccia();  // last: it changes the application's style and locale
};

void TstFinestra::menuPrincipali()
{
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    QStringList titoli;
    for (const QAction* a : f.menuBar()->actions())
        titoli << a->text();
    QCOMPARE(titoli, QStringList({"&File", "&Anagrafico", "&Orari", "&Piano", "A&cquisizione", QStringLiteral("&Utilità"), "&Impostazioni",
                                  "I&nformazioni"}));
    // Alt and a letter opens one menu, never the first of two.
    QSet<QChar> lettere;
    for (const QString& t : std::as_const(titoli))
        lettere.insert(t.at(t.indexOf(QLatin1Char('&')) + 1).toLower());
    QCOMPARE(lettere.size(), titoli.size());
}

void TstFinestra::vociDeiMenu_data()
{
    QTest::addColumn<QString>("titolo");
    QTest::addColumn<QStringList>("voci");
    QTest::newRow("File") << "&File" << QStringList{"&Esci"};
    QTest::newRow("Anagrafico") << "&Anagrafico" << QStringList{"&Organico", "&Dipendenti"};
    QTest::newRow("Orari") << "&Orari" << QStringList{"&Orari di Lavoro", "&Turni", "&Calendario"};
    QTest::newRow("Piano") << "&Piano" << QStringList{"Piano di &Lavoro", "&Caricamento Note", "Presenti/&Assenti"};
    QTest::newRow("Acquisizione") << "A&cquisizione" << QStringList{"&Acquisizione Timbrature"};
    QTest::newRow("Utilità") << QStringLiteral("&Utilità") << QStringList{"&Cancellazione Dati", "Copia di &sicurezza...", "&Ripristino..."};
    QTest::newRow("Impostazioni") << "&Impostazioni" << QStringList{"&Generali", "&Lingua", "&Toolbar"};
    QTest::newRow("Informazioni") << "I&nformazioni" << QStringList{"&Sommario", "&Note"};
}

void TstFinestra::vociDeiMenu()
{
    QFETCH(QString, titolo);
    QFETCH(QStringList, voci);
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    QMenu* m = menu(f, titolo);
    QVERIFY(m);
    QCOMPARE(testiVoci(m), voci);

    if (titolo == QLatin1String("&Impostazioni")) {
        QMenu* tb = m->findChild<QMenu*>(QStringLiteral("mnuToolbar"));
        QVERIFY(tb);
        QCOMPARE(testiVoci(tb), QStringList({"Gruppo 1", "Anagrafico", "Orari", "Piano di lavoro e acquisizione", "Varie"}));
        const QList<QAction*> a = tb->actions();
        QVERIFY(!a.at(0)->isVisible());
        for (int n = 0; n < a.size(); ++n)
            QVERIFY2(a.at(n)->isCheckable(), qPrintable(a.at(n)->text()));
        for (int n = 1; n < a.size(); ++n)
            QVERIFY2(a.at(n)->isVisible(), qPrintable(a.at(n)->text()));
    }
}

void TstFinestra::esciConAltF4()
{
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    QAction* esci = azione(f, QStringLiteral("itmEsci"));
    QVERIFY(esci);
    QCOMPARE(esci->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));

    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    esci->trigger();
    QVERIFY(!f.isVisible());
}

void TstFinestra::comandi_data()
{
    // Menu item, toolbar button with its hint and group (0: no button), available or not.
    QTest::addColumn<QString>("voce");
    QTest::addColumn<QString>("pulsante");
    QTest::addColumn<QString>("suggerimento");
    QTest::addColumn<int>("gruppo");
    QTest::addColumn<bool>("abilitato");
    QTest::newRow("Esci") << "itmEsci" << "btnEsci" << "Esci" << 1 << true;
    QTest::newRow("Help") << "" << "btnHelp" << "Help" << 1 << true;
    QTest::newRow("Organico") << "itmOrganico" << "btnOrganico" << "Organico" << 2 << false;
    QTest::newRow("Dipendenti") << "itmDipendenti" << "btnDipendenti" << "Dipendenti" << 2 << false;
    QTest::newRow("Orari di lavoro") << "itmOrariLav" << "btnOrariLav" << "Orari di lavoro" << 3 << false;
    QTest::newRow("Turni") << "itmTurni" << "btnTurni" << "Turni" << 3 << false;
    QTest::newRow("Calendario") << "itmCalendario" << "btnCalendario" << "Calendario" << 3 << false;
    QTest::newRow("Piano di lavoro") << "itmPianodiLav" << "btnPianodiLav" << "Piano di lavoro" << 4 << false;
    QTest::newRow("Caricamento note") << "itmCarica" << "btnCarica" << "Caricamento note" << 4 << false;
    QTest::newRow("Presenti/Assenti") << "itmPresAss" << "btnPresAss" << "Presenti/Assenti" << 4 << false;
    QTest::newRow("Acquisizione timbrature") << "itmAcqTimb" << "btnAcqTimb" << "Acquisizione timbrature" << 4 << false;
    QTest::newRow("Cancellazione dati") << "itmCancDati" << "" << "" << 0 << false;
    QTest::newRow("Copia di sicurezza") << "itmCopiaSic" << "" << "" << 0 << false;
    QTest::newRow("Ripristino") << "itmRipristino" << "" << "" << 0 << false;
    QTest::newRow("Impostazioni") << "itmImposta" << "btnImposta" << "Impostazioni" << 5 << true;
    // The working language is fixed in PRES.INI: a command without an action is disabled.
    QTest::newRow("Lingua") << "itmLingua" << "btnLingua" << "Lingua" << 5 << false;
    QTest::newRow("Sommario") << "itmSommario" << "" << "" << 0 << true;
    QTest::newRow("Note") << "itmNote" << "" << "" << 0 << true;
}

void TstFinestra::comandi()
{
    QFETCH(QString, voce);
    QFETCH(QString, pulsante);
    QFETCH(QString, suggerimento);
    QFETCH(int, gruppo);
    QFETCH(bool, abilitato);
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    if (!voce.isEmpty()) {
        QAction* a = azione(f, voce);
        QVERIFY(a);
        QCOMPARE(a->isEnabled(), abilitato);
    }
    if (!pulsante.isEmpty()) {
        QToolBar* tb = ::gruppo(f, gruppo);
        QVERIFY(tb);
        QAction* b = tb->findChild<QAction*>(pulsante);
        QVERIFY2(b && tb->actions().contains(b), "il pulsante non è nel suo gruppo");
        QCOMPARE(b->toolTip(), suggerimento);
        QCOMPARE(b->isEnabled(), abilitato);
        QVERIFY(!b->icon().isNull());
        // The button really is on the toolbar, not only an action of it.
        auto* w = qobject_cast<QToolButton*>(tb->widgetForAction(b));
        QVERIFY(w);
        QCOMPARE(w->isEnabled(), abilitato);
    }
}

void TstFinestra::iconeDistinte()
{
    // Every toolbar button has a picture of its own, and every picture name draws something.
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    QHash<QByteArray, QString> visti;
    for (int g = 1; g <= 5; ++g)
        for (QAction* a : gruppo(f, g)->actions()) {
            if (a->isSeparator())
                continue;
            const QImage img = a->icon().pixmap(24, 24).toImage();
            const QByteArray chiave(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
            QVERIFY2(!visti.contains(chiave), qPrintable(a->toolTip() + QStringLiteral(" = ") + visti.value(chiave)));
            visti.insert(chiave, a->toolTip());
        }
    QCOMPARE(visti.size(), 13);
    for (const QString& nome : NomiIcone()) {
        const QImage img = IconaComando(nome).pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
        int pieni = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                pieni += qAlpha(img.pixel(x, y)) > 0;
        QVERIFY2(pieni > 20, qPrintable(nome));
    }
    QVERIFY(IconaComando(QStringLiteral("inesistente")).isNull());
}

void TstFinestra::gruppiDaTblSetting_data()
{
    QTest::addColumn<QString>("tblSetting");
    QTest::addColumn<QList<bool>>("visibili");
    QTest::addColumn<QString>("scritto");
    QTest::newRow("10101") << "10101" << QList<bool>{true, false, true, false, true} << "10101";
    QTest::newRow("troppo corto") << "11" << QList<bool>{true, true, false, false, false} << "11000";
    QTest::newRow("carattere estraneo") << "1x1" << QList<bool>{true, false, true, false, false} << "10100";
    QTest::newRow("tutti nascosti") << "00000" << QList<bool>{false, false, false, false, false} << "00000";
    QTest::newRow("predefinito") << "" << QList<bool>{true, true, true, true, true} << "11111";
}

void TstFinestra::gruppiDaTblSetting()
{
    QFETCH(QString, tblSetting);
    QFETCH(QList<bool>, visibili);
    QFETCH(QString, scritto);
    Ambiente amb(tblSetting.isEmpty() ? QByteArray() : "[Desktop]\nTblSetting=" + tblSetting.toLatin1() + "\n");
    {
        TfrmPresenze f(amb.dtm());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QStringList nomi{"itmGrpEsci", "itmGrpAnagrafico", "itmGrpOrari", "itmGrpPiano", "itmGrpVarie"};
        for (int n = 0; n < 5; ++n) {
            QCOMPARE(gruppo(f, n + 1)->isVisible(), visibili.at(n));
            QCOMPARE(azione(f, nomi.at(n))->isChecked(), visibili.at(n));
        }
        f.close();
    }
    QCOMPARE(leggiIni(amb.fileIni(), Ini::Desktop, QStringLiteral("TblSetting")), scritto);
}

void TstFinestra::gruppoDalMenuToolbar_data()
{
    QTest::addColumn<QString>("voce");
    QTest::addColumn<int>("gruppo");
    QTest::addColumn<QString>("scritto");
    QTest::newRow("Anagrafico") << "itmGrpAnagrafico" << 2 << "10111";
    QTest::newRow("Orari") << "itmGrpOrari" << 3 << "11011";
    QTest::newRow("Piano di lavoro e acquisizione") << "itmGrpPiano" << 4 << "11101";
    QTest::newRow("Varie") << "itmGrpVarie" << 5 << "11110";
}

void TstFinestra::gruppoDalMenuToolbar()
{
    QFETCH(QString, voce);
    QFETCH(int, gruppo);
    QFETCH(QString, scritto);
    Ambiente amb;
    {
        TfrmPresenze f(amb.dtm());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QAction* a = azione(f, voce);
        QToolBar* tb = ::gruppo(f, gruppo);
        QVERIFY(a->isChecked());
        QVERIFY(tb->isVisible());

        a->trigger();
        QVERIFY(!a->isChecked());
        QVERIFY(!tb->isVisible());
        QVERIFY(!amb.dtm().cfg().Bande[size_t(gruppo - 1)]);
        for (int n = 1; n <= 5; ++n)
            if (n != gruppo)
                QVERIFY2(::gruppo(f, n)->isVisible(), "un altro gruppo è cambiato");

        a->trigger();
        QVERIFY(a->isChecked());
        QVERIFY(tb->isVisible());
        a->trigger();
        f.close();
    }
    QCOMPARE(leggiIni(amb.fileIni(), Ini::Desktop, QStringLiteral("TblSetting")), scritto);
}

void TstFinestra::interruttoreBarra()
{
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    auto* interruttore = f.findChild<QToolButton*>(QStringLiteral("btnToolbar"));
    QWidget* striscia = f.findChild<QWidget*>(QStringLiteral("pnlToolbar"));
    QVERIFY(interruttore && striscia);
    QCOMPARE(interruttore->toolTip(), QStringLiteral("Mostra/Nascondi Toolbar"));
    QCOMPARE(striscia->height(), TfrmPresenze::kAltezzaBarra);

    QElapsedTimer t;
    t.start();
    QTest::mouseClick(interruttore, Qt::LeftButton);
    // The toolbar waits a moment before it goes.
    QVERIFY(f.BarraVisibile());
    QTRY_VERIFY(!f.BarraVisibile());
    QVERIFY2(t.elapsed() >= TfrmPresenze::kPausaBarraMs - 20, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!gruppo(f, 1)->isVisible());
    QCOMPARE(striscia->height(), TfrmPresenze::kAltezzaBarraNascosta);
    QVERIFY(interruttore->isVisible());

    QTest::mouseClick(interruttore, Qt::LeftButton);
    QTRY_VERIFY(f.BarraVisibile());
    QVERIFY(gruppo(f, 1)->isVisible());
    QCOMPARE(striscia->height(), TfrmPresenze::kAltezzaBarra);
}

void TstFinestra::nomeApplicazione_data()
{
    QTest::addColumn<QByteArray>("registro");
    QTest::addColumn<QString>("nome");
    QTest::newRow("valore AZIENDA presente") << QByteArray("[KVAzienda]\nAZIENDA=Cooperativa\n") << "Zelvano";
    QTest::newRow("valore AZIENDA vuoto") << QByteArray("[KVAzienda]\nAZIENDA=\n") << "Quorlin";
    QTest::newRow("nessun registro") << QByteArray() << "Quorlin";
}

void TstFinestra::nomeApplicazione()
{
    QFETCH(QByteArray, registro);
    QFETCH(QString, nome);
    RegistroDiProva reg(registro);
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    QCOMPARE(f.windowTitle(), nome);
    QCOMPARE(f.FileAiuto(), QDir(amb.dir()).filePath(nome + QStringLiteral(".hlp")));
    QVERIFY(!f.Sfondo().isNull());
}

void TstFinestra::barraDiStato()
{
    Ambiente amb;
    amb.esegui(QStringLiteral("INSERT INTO Aziende (Id, RagSoc, Descr) VALUES (1, 'Rossi Meccanica S.p.A.', 'Sede')"));
    TfrmPresenze f(amb.dtm());
    f.resize(900, 600);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    auto* ragSoc = f.findChild<QLabel*>(QStringLiteral("pnlRagSoc"));
    auto* ora = f.findChild<QLabel*>(QStringLiteral("pnlOra"));
    QVERIFY(ragSoc && ora);
    QCOMPARE(ragSoc->text(), QStringLiteral("Rossi Meccanica S.p.A."));
    QCOMPARE(amb.dtm().mem().RagSoc, QStringLiteral("Rossi Meccanica S.p.A."));
    QCOMPARE(ragSoc->width(), f.statusBar()->width() - TfrmPresenze::kMargineRagSoc);
    QCOMPARE(ora->width(), TfrmPresenze::kLarghezzaOra);
    QStringList oreRecenti;  // the current time, allowing for a slow machine
    for (int s = 0; s <= 5; ++s)
        oreRecenti << QTime::currentTime().addSecs(-s).toString(QStringLiteral("HH:mm"));
    QVERIFY2(oreRecenti.contains(ora->text()), qPrintable(ora->text()));

    f.resize(1100, 650);
    QTRY_COMPARE(ragSoc->width(), f.statusBar()->width() - TfrmPresenze::kMargineRagSoc);

    // The company saved by the settings reaches the bar at once.
    TdtmUtil util(amb.dtm());
    TdtmUtil::Azienda a = util.LeggiAzienda();
    a.RagSoc = QStringLiteral("Bianchi S.r.l.");
    util.SalvaAzienda(a);
    QCOMPARE(ragSoc->text(), QStringLiteral("Bianchi S.r.l."));

    // The clock is refreshed every second.
    ora->setText(QStringLiteral("--:--"));
    QTRY_VERIFY_WITH_TIMEOUT(ora->text() != QStringLiteral("--:--"), 1500);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(ora->text()).hasMatch(), qPrintable(ora->text()));
}

void TstFinestra::enableControls()
{
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QWidget* striscia = f.findChild<QWidget*>(QStringLiteral("pnlToolbar"));

    f.EnableControls(false);
    for (QAction* m : f.menuBar()->actions())
        QVERIFY2(!m->isEnabled(), qPrintable(m->text()));
    for (const char* nome : {"itmEsci", "itmImposta", "itmSommario", "itmNote", "itmGrpOrari", "btnEsci", "btnImposta"})
        QVERIFY2(!azione(f, QString::fromLatin1(nome))->isEnabled(), nome);
    QVERIFY(!striscia->isEnabled());

    f.EnableControls(true);
    for (QAction* m : f.menuBar()->actions())
        QVERIFY2(m->isEnabled(), qPrintable(m->text()));
    for (const char* nome : {"itmEsci", "itmImposta", "itmSommario", "itmNote", "itmGrpOrari", "btnEsci", "btnImposta"})
        QVERIFY2(azione(f, QString::fromLatin1(nome))->isEnabled(), nome);
    // Enabling again never enables a command whose window does not exist.
    for (const char* nome : {"itmOrganico", "itmTurni", "itmCancDati", "btnOrganico", "btnAcqTimb"})
        QVERIFY2(!azione(f, QString::fromLatin1(nome))->isEnabled(), nome);
    QVERIFY(striscia->isEnabled());
}

// Registering a command enables its menu item and button; a modal window is made for each
// use, parented to the main window, and destroyed afterwards.
void TstFinestra::comandoRegistrato()
{
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    QVERIFY(!azione(f, QStringLiteral("itmCarica"))->isEnabled());
    QVERIFY(!azione(f, QStringLiteral("btnCarica"))->isEnabled());
    int aperture = 0;
    QPointer<QDialog> ultimo;
    f.Comandi().RegistraModale(QStringLiteral("Carica"), [&](QWidget* genitore) {
        ++aperture;
        auto dlg = std::make_unique<QDialog>(genitore);
        ultimo = dlg.get();
        return dlg;
    });
    QVERIFY(azione(f, QStringLiteral("itmCarica"))->isEnabled());
    QVERIFY(azione(f, QStringLiteral("btnCarica"))->isEnabled());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QList<QWidget*> genitori;
    QuandoModale q([&](QWidget* w) {
        genitori << (w == ultimo ? w->parentWidget() : nullptr);
        static_cast<QDialog*>(w)->reject();
    });
    azione(f, QStringLiteral("itmCarica"))->trigger();
    QVERIFY(!ultimo);
    azione(f, QStringLiteral("btnCarica"))->trigger();
    QVERIFY(!ultimo);
    QCOMPARE(q.volte(), 2);
    QCOMPARE(aperture, 2);
    QCOMPARE(genitori, (QList<QWidget*>{&f, &f}));

    f.EnableControls(false);
    QVERIFY(!azione(f, QStringLiteral("itmCarica"))->isEnabled());
    f.EnableControls(true);
    QVERIFY(azione(f, QStringLiteral("itmCarica"))->isEnabled());
    // Other commands stay as they were.
    QVERIFY(!azione(f, QStringLiteral("itmCancDati"))->isEnabled());
}

void TstFinestra::finestraPersistente_data()
{
    QTest::addColumn<QString>("via");
    QTest::newRow("Esci della finestra") << "esci";
    QTest::newRow("pulsante di chiusura nella barra dei menu") << "pulsante";
    QTest::newRow("tasto di chiusura") << "tasto";
    QTest::newRow("Chiudi del menu della finestra") << "menu";
    QTest::newRow("Alt+F4 dell'Esci della finestra") << "altf4";
}

// The work plan lives for the whole run: closed maximised by any route it is only hidden,
// leaving the caption, the menu bar and the background as they were, and opens again.
void TstFinestra::finestraPersistente()
{
    QFETCH(QString, via);
    Ambiente amb;
    QImage rosso(40, 40, QImage::Format_RGB32);
    rosso.fill(Qt::red);
    QVERIFY(rosso.save(QDir(amb.dir()).filePath(QStringLiteral("Quorlin.bmp")), "BMP"));
    TfrmPresenze f(amb.dtm());
    f.resize(900, 600);
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QPointer<FinestraDiProva> piano = new FinestraDiProva(QStringLiteral("Piano di Lavoro"));
    f.Comandi().RegistraPersistente(QStringLiteral("PianodiLav"), piano);
    QMdiSubWindow* cornice = f.Comandi().Cornice(QStringLiteral("PianodiLav"));
    QVERIFY(cornice && !cornice->isVisible());
    QWidget* vp = f.mdiArea()->viewport();
    const auto centro = [vp] { return QColor(vp->grab().toImage().pixel(vp->rect().center())); };

    for (int giro = 1; giro <= 3; ++giro) {
        azione(f, giro % 2 ? QStringLiteral("itmPianodiLav") : QStringLiteral("btnPianodiLav"))->trigger();
        QTRY_VERIFY(piano->isVisible() && cornice->isMaximized());
        QTRY_VERIFY(f.windowTitle().contains(QLatin1String("[Piano di Lavoro]")));
        QWidget* angolo = f.menuBar()->cornerWidget(Qt::TopRightCorner);
        QVERIFY(angolo && angolo->isVisible());
        QVERIFY(centro() != QColor(Qt::red));

        if (via == QLatin1String("esci")) {
            piano->close();
        } else if (via == QLatin1String("pulsante")) {
            // Minimise, restore, close: the last of the three buttons.
            QTest::mouseClick(angolo, Qt::LeftButton, {}, QPoint(angolo->width() - angolo->width() / 6, angolo->height() / 2));
        } else if (via == QLatin1String("tasto")) {
            QTRY_VERIFY(piano->isActiveWindow());
            QTest::keySequence(piano, QKeySequence::Close);
        } else if (via == QLatin1String("altf4")) {
            // The child's Alt+F4 and the main window's share one top-level window: the child's
            // wins while it is shown, and the application stays open.
            QTRY_VERIFY(piano->isActiveWindow());
            QTest::keyClick(piano, Qt::Key_F4, Qt::AltModifier);
            QVERIFY(f.isVisible());
        } else {
            cornice->systemMenu()->actions().constLast()->trigger();
        }
        QTRY_VERIFY(!cornice->isVisible());
        // A frame that deletes itself on close does so at the next turn of the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(piano, "la finestra persistente non va mai distrutta");
        QCOMPARE(piano->chiusure, giro);
        QTRY_COMPARE(f.windowTitle(), QStringLiteral("Quorlin"));
        QVERIFY(!f.menuBar()->cornerWidget(Qt::TopRightCorner) || !f.menuBar()->cornerWidget(Qt::TopRightCorner)->isVisible());
        QTRY_COMPARE(centro(), QColor(Qt::red));
    }
}

void TstFinestra::finestraSingola_data()
{
    QTest::addColumn<bool>("inPrimoPiano");
    QTest::newRow("riaperta in primo piano") << true;
    QTest::newRow("riaperta resta dov'è") << false;
}

// A single-instance window is made on first use, reused while it exists, destroyed when it
// closes (its reference clears itself) and made again on the next use.
void TstFinestra::finestraSingola()
{
    QFETCH(bool, inPrimoPiano);
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    f.resize(900, 600);
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    RegistroComandi& r = f.Comandi();
    int create = 0;
    QPointer<FinestraDiProva> turni;
    r.RegistraSingola(
        QStringLiteral("Turni"), [&] { ++create; return turni = new FinestraDiProva(QStringLiteral("Turni")); },
        inPrimoPiano ? RegistroComandi::Riapertura::InPrimoPiano : RegistroComandi::Riapertura::Nulla);
    r.RegistraSingola(QStringLiteral("Calendario"), [] { return new FinestraDiProva(QStringLiteral("Calendario")); });

    azione(f, QStringLiteral("itmTurni"))->trigger();
    QCOMPARE(create, 1);
    QTRY_VERIFY(turni && turni->isVisible());
    QCOMPARE(r.Finestra(QStringLiteral("Turni")), turni.data());
    azione(f, QStringLiteral("btnCalendario"))->trigger();
    QTRY_COMPARE(f.mdiArea()->activeSubWindow(), r.Cornice(QStringLiteral("Calendario")));
    azione(f, QStringLiteral("btnTurni"))->trigger();
    QCOMPARE(create, 1);
    QTRY_COMPARE(f.mdiArea()->activeSubWindow(), r.Cornice(inPrimoPiano ? QStringLiteral("Turni") : QStringLiteral("Calendario")));

    // Closed by its own "Esci" it goes with its frame; the next use makes a new one.
    turni->close();
    QTRY_VERIFY(!turni);
    QVERIFY(!r.Finestra(QStringLiteral("Turni")));
    azione(f, QStringLiteral("itmTurni"))->trigger();
    QCOMPARE(create, 2);
    QTRY_VERIFY(turni && turni->isVisible());

    // Closing the main window closes those still open.
    f.close();
    QTRY_VERIFY(!turni);
    QTRY_VERIFY(!r.Finestra(QStringLiteral("Calendario")));
}

void TstFinestra::periodoDiLavoroOggi()
{
    Ambiente amb;
    amb.dtm().setOggi(QDate(2024, 2, 29));
    amb.dtm().mem().DataDa = QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
    TfrmPresenze f(amb.dtm());
    QCOMPARE(amb.dtm().mem().DataDa.date(), QDate(2024, 2, 29));
    QCOMPARE(amb.dtm().mem().DataA.date(), QDate(2024, 2, 29));
}

void TstFinestra::sfondo()
{
    QTemporaryDir dir;
    // Shipped pictures for both names.
    for (const QString& nome : {QStringLiteral("Quorlin"), QStringLiteral("Zelvano")}) {
        const QImage img = TfrmPresenze::LeggiSfondo(dir.path(), nome);
        QVERIFY2(!img.isNull(), qPrintable(nome));
        QVERIFY(img.width() >= 320 && img.height() >= 240);
    }

    // A picture beside PRES.INI wins over the shipped one.
    QImage proprio(7, 5, QImage::Format_RGB32);
    proprio.fill(Qt::red);
    QVERIFY(proprio.save(QDir(dir.path()).filePath(QStringLiteral("Quorlin.bmp")), "BMP"));
    QCOMPARE(TfrmPresenze::LeggiSfondo(dir.path(), QStringLiteral("Quorlin")).size(), QSize(7, 5));
    QVERIFY(TfrmPresenze::LeggiSfondo(dir.path(), QStringLiteral("Zelvano")).size() != QSize(7, 5));

    // An unreadable file and no shipped picture: nothing.
    QFile rotto(QDir(dir.path()).filePath(QStringLiteral("Quorlin.bmp")));
    QVERIFY(rotto.open(QIODevice::WriteOnly | QIODevice::Truncate));
    rotto.write("non è un'immagine");
    rotto.close();
    QVERIFY(TfrmPresenze::LeggiSfondo(dir.path(), QStringLiteral("Quorlin"), QStringLiteral(":/nessuna/")).isNull());
    // With the shipped picture still there, an unreadable file falls back to it.
    QVERIFY(!TfrmPresenze::LeggiSfondo(dir.path(), QStringLiteral("Quorlin")).isNull());
}

void TstFinestra::sfondoDellaFinestra()
{
    Ambiente amb;
    // Left half red, right half blue: shows where the picture lies and which colour the
    // workspace takes (the corner's).
    QImage proprio(10, 4, QImage::Format_RGB32);
    proprio.fill(Qt::red);
    for (int y = 0; y < 4; ++y)
        for (int x = 5; x < 10; ++x)
            proprio.setPixel(x, y, qRgb(0, 0, 255));
    QVERIFY(proprio.save(QDir(amb.dir()).filePath(QStringLiteral("Quorlin.bmp")), "BMP"));
    TfrmPresenze f(amb.dtm());
    f.resize(800, 600);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.Sfondo().size(), QSize(10, 4));
    QVERIFY(amb.registro().avvisi.isEmpty());

    QWidget* vp = f.mdiArea()->viewport();
    const QImage schermo = vp->grab().toImage();
    const QPoint c = QRect(QPoint(0, 0), vp->size()).center();
    QCOMPARE(QColor(schermo.pixel(c + QPoint(-3, 0))), QColor(Qt::red));
    QCOMPARE(QColor(schermo.pixel(c + QPoint(3, 0))), QColor(Qt::blue));
    QCOMPARE(QColor(schermo.pixel(c + QPoint(40, 0))), QColor(Qt::red));
    QCOMPARE(QColor(schermo.pixel(2, 2)), QColor(Qt::red));
}

void TstFinestra::aiutoPerArgomento_data()
{
    QTest::addColumn<QString>("comando");
    QTest::addColumn<int>("argomento");
    QTest::newRow("Help") << "btnHelp" << 30;
    QTest::newRow("Sommario") << "itmSommario" << 10;
}

void TstFinestra::aiutoPerArgomento()
{
    QFETCH(QString, comando);
    QFETCH(int, argomento);
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    azione(f, comando)->trigger();
    auto* aiuto = f.findChild<TfrmAiuto*>();
    QVERIFY(aiuto);
    QVERIFY(aiuto->isVisible());
    QCOMPARE(aiuto->Argomento(), argomento);
    QCOMPARE(aiuto->browser()->source().toString(), QStringLiteral("qrc:/aiuto/%1.html").arg(argomento));
    QVERIFY(!aiuto->browser()->toPlainText().trimmed().isEmpty());
    QVERIFY(!aiuto->browser()->documentTitle().isEmpty());
    QCOMPARE(aiuto->windowTitle(), QStringLiteral("Quorlin - ") + aiuto->browser()->documentTitle());

    // A second request reuses the same window; an unknown topic shows the table of contents.
    TfrmAiuto* ancora = MostraAiuto(&f, amb.dtm(), 987);
    QCOMPARE(ancora, aiuto);
    QCOMPARE(f.findChildren<TfrmAiuto*>().size(), 1);
    QCOMPARE(ancora->Argomento(), TfrmAiuto::kSommario);
    QCOMPARE(ancora->browser()->source().toString(), QStringLiteral("qrc:/aiuto/10.html"));
    QCOMPARE(ancora->windowTitle(), QStringLiteral("Quorlin - ") + ancora->browser()->documentTitle());
}

void TstFinestra::pagineAiutoCollegate()
{
    // Every topic the main window's own windows ask for has a page.
    for (int argomento : {TfrmPresenze::kContestoSommario, TfrmPresenze::kContestoAiuto, TfrmImposta::kContestoAiuto, 362})
        QVERIFY2(TfrmAiuto::EsisteArgomento(argomento), qPrintable(QString::number(argomento)));

    // Every page is reached from the table of contents, and every link leads to a page.
    const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
    const QStringList pagine = QDir(QStringLiteral(":/aiuto")).entryList({QStringLiteral("*.html")});
    const QString sommario = QStringLiteral("%1.html").arg(TfrmAiuto::kSommario);
    QVERIFY(pagine.contains(sommario) && pagine.size() >= 8);
    QStringList dalSommario;
    for (const QString& pagina : pagine) {
        QFile f(QStringLiteral(":/aiuto/") + pagina);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        QTextDocument doc;
        doc.setHtml(html);
        QVERIFY2(!doc.metaInformation(QTextDocument::DocumentTitle).isEmpty(), qPrintable(pagina));
        for (const QRegularExpressionMatch& m : link.globalMatch(html)) {
            QVERIFY2(QFile::exists(QStringLiteral(":/aiuto/") + m.captured(1)), qPrintable(pagina + QStringLiteral(" -> ") + m.captured(1)));
            if (pagina == sommario)
                dalSommario << m.captured(1);
        }
    }
    for (const QString& pagina : pagine)
        QVERIFY2(pagina == sommario || dalSommario.contains(pagina), qPrintable(pagina + QStringLiteral(" manca dal sommario")));
}

void TstFinestra::boxInformazioni()
{
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QString titolo, prodotto, versione, versioneDb;
    bool eraAbout = false;
    QuandoModale q([&](QWidget* w) {
        eraAbout = qobject_cast<TfrmAbout*>(w) != nullptr;
        titolo = w->windowTitle();
        prodotto = w->findChild<QLabel*>(QStringLiteral("lblProdotto"))->text();
        versione = w->findChild<QLabel*>(QStringLiteral("lblVersioneProdotto"))->text();
        versioneDb = w->findChild<QLabel*>(QStringLiteral("lblVersioneDatabase"))->text();
        QTest::mouseClick(w->findChild<QAbstractButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    });
    azione(f, QStringLiteral("itmNote"))->trigger();
    QCOMPARE(q.volte(), 1);
    QVERIFY(eraAbout);
    QCOMPARE(titolo, QStringLiteral("Quorlin"));
    QCOMPARE(prodotto, QStringLiteral("Quorlin"));
    QCOMPARE(versione, QStringLiteral("%1.%2.%3.%4").arg(QUORLIN_VERSIONE_MAJ).arg(QUORLIN_VERSIONE_MIN).arg(QUORLIN_VERSIONE_REL).arg(QUORLIN_VERSIONE_BUILD));
    QVERIFY(!amb.dtm().mem().RelDB.isEmpty());
    QCOMPARE(versioneDb, amb.dtm().mem().RelDB + (Banco::suServer() ? QStringLiteral(" (PostgreSQL)") : QStringLiteral(" (SQLite)")));
}

void TstFinestra::impostazioniModali_data()
{
    QTest::addColumn<QString>("comando");
    QTest::newRow("menu Generali") << "itmImposta";
    QTest::newRow("pulsante Impostazioni") << "btnImposta";
}

void TstFinestra::impostazioniModali()
{
    QFETCH(QString, comando);
    Ambiente amb;
    TfrmPresenze f(amb.dtm());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    bool eraImposta = false;
    QString titolo;
    QuandoModale q([&](QWidget* w) {
        eraImposta = qobject_cast<TfrmImposta*>(w) != nullptr;
        titolo = w->windowTitle();
        QTest::mouseClick(w->findChild<QAbstractButton*>(QStringLiteral("btnEsci")), Qt::LeftButton);
    });
    azione(f, comando)->trigger();
    QCOMPARE(q.volte(), 1);
    QVERIFY(eraImposta);
    QCOMPARE(titolo, QStringLiteral("Impostazioni"));
    // Created for one use.
    QTRY_VERIFY(f.findChildren<TfrmImposta*>().isEmpty());
}

void TstFinestra::presentatoreAvviso()
{
    Ambiente amb;
    PresentatoreDialogo p(amb.dtm());
    QString titolo, testo;
    QMessageBox::Icon icona = QMessageBox::NoIcon;
    QMessageBox::StandardButtons pulsanti;
    QuandoModale q([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            w->close();
            return;
        }
        titolo = box->windowTitle();
        testo = box->text();
        icona = box->icon();
        pulsanti = box->standardButtons();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    p.avviso(QStringLiteral("Utente o password non validi."));
    QCOMPARE(q.volte(), 1);
    QCOMPARE(titolo, QStringLiteral("Quorlin"));
    QCOMPARE(testo, QStringLiteral("Utente o password non validi."));
    QCOMPARE(icona, QMessageBox::Warning);
    QCOMPARE(pulsanti, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TstFinestra::presentatoreDomanda_data()
{
    QTest::addColumn<int>("risposta");
    QTest::addColumn<bool>("atteso");
    QTest::newRow("Sì") << int(QMessageBox::Yes) << true;
    QTest::newRow("No") << int(QMessageBox::No) << false;
}

void TstFinestra::presentatoreDomanda()
{
    QFETCH(int, risposta);
    QFETCH(bool, atteso);
    Ambiente amb;
    // Through the data module, as every window asks.
    InstallaPresentatoreDialogo(amb.dtm());
    InstallaPresentatoreDialogo(amb.dtm());
    QString titolo;
    QMessageBox::StandardButtons pulsanti;
    QStringList testi;
    QuandoModale q([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            w->close();
            return;
        }
        titolo = box->windowTitle();
        pulsanti = box->standardButtons();
        testi = QStringList{box->button(QMessageBox::Yes)->text(), box->button(QMessageBox::No)->text()};
        QTest::mouseClick(box->button(QMessageBox::StandardButton(risposta)), Qt::LeftButton);
    });
    const bool esito = amb.dtm().Chiedi(3);
    QCOMPARE(q.volte(), 1);
    QCOMPARE(esito, atteso);
    QCOMPARE(titolo, QStringLiteral("Quorlin"));
    QCOMPARE(pulsanti, QMessageBox::Yes | QMessageBox::No);
    // Italian before any translation is loaded (this test runs before preparaInterfaccia).
    QCOMPARE(testi.replaceInStrings(QStringLiteral("&"), QString()), (QStringList{QStringLiteral("Sì"), QStringLiteral("No")}));
    amb.dtm().setPresentatore(&amb.registro());
}

void TstFinestra::avanzamentoDialogo()
{
    Ambiente amb;
    QWidget finestra;  // the window the work was started from
    finestra.setGeometry(100, 100, 600, 400);
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    QWidget* figlio = new QWidget(&finestra);
    AvanzamentoDialogo avanzamento(amb.dtm(), figlio);

    avanzamento.Inizia(QStringLiteral("Elaborazione"), 5);
    avanzamento.Valore(2);
    QPointer<QProgressDialog> d = avanzamento.Dialogo();
    QVERIFY(d);
    // Work that lasts shows the dialog, modal over the window it came from, which waits.
    QTRY_VERIFY(d->isVisible());
    QCOMPARE(d->parentWidget(), &finestra);
    QCOMPARE(d->windowModality(), Qt::WindowModal);
    QCOMPARE(d->windowTitle(), QStringLiteral("Quorlin"));
    QCOMPARE(d->labelText(), QStringLiteral("Elaborazione"));
    QCOMPARE(d->maximum(), 5);
    QCOMPARE(d->value(), 2);
    QCOMPARE(finestra.cursor().shape(), Qt::WaitCursor);
    QVERIFY(!avanzamento.Annullato());

    // "Annulla" is answered at the next question, and stays answered in a later phase.
    auto* annulla = d->findChild<QPushButton*>(QStringLiteral("btnAnnulla"));
    QVERIFY(annulla && annulla->isVisible());
    QCOMPARE(annulla->text(), QStringLiteral("&Annulla"));
    QTest::mouseClick(annulla, Qt::LeftButton);
    QVERIFY(avanzamento.Annullato());
    avanzamento.Inizia(QStringLiteral("Verifica piano di lavoro"), 0);
    QCOMPARE(d->labelText(), QStringLiteral("Verifica piano di lavoro"));
    QVERIFY(avanzamento.Annullato());

    avanzamento.Termina();
    QVERIFY(!d);
    QCOMPARE(finestra.cursor().shape(), Qt::ArrowCursor);
}

void TstFinestra::databaseChiuso()
{
    // The window still opens when the database cannot answer; the engine's text is shown.
    Ambiente amb;
    amb.dtm().Chiudi();
    TfrmPresenze f(amb.dtm());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(amb.registro().avvisi.size(), 1);
    QVERIFY(!amb.dtm().TestoErrore(Msg::ErrDatabase).isEmpty());
    QVERIFY2(amb.registro().avvisi.first().startsWith(amb.dtm().TestoErrore(Msg::ErrDatabase) + QLatin1Char(' ')), qPrintable(amb.registro().avvisi.first()));
    QCOMPARE(f.findChild<QLabel*>(QStringLiteral("pnlRagSoc"))->text(), QString());
    QCOMPARE(f.property("FileAiuto").toString(), f.FileAiuto());
}

void TstFinestra::preparaInterfaccia()
{
    Ambiente amb;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    PreparaInterfaccia(*app, amb.dtm());
    QVERIFY(amb.dtm().presentatore() != &amb.registro());
    QVERIFY(dynamic_cast<PresentatoreDialogo*>(amb.dtm().presentatore()));
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 0);
    QCOMPARE(QLocale().language(), QLocale::Italian);
    // Qt's own dialogs and the MDI window menu speak Italian (qt6-translations-l10n).
    QCOMPARE(QMdiSubWindow().systemMenu()->actions().constLast()->text(), QStringLiteral("&Chiudi"));
    amb.dtm().setPresentatore(&amb.registro());
}

QTEST_MAIN(TstFinestra)
#include "tst_finestra.moc"
