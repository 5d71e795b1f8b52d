// The login gate and dialog, driven as a user does: typing, clicking OK or Annulla.

#include "ambiente.h"
#include "fileini.h"
#include "modale.h"
#include "tfrmaiuto.h"
#include "tfrmpasswd.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>

namespace {

enum class Chiusura { OK, Invio, Annulla, Esc, Finestra };

struct Osservato {
    bool eraPasswd = false;
    QString titolo;
    QString utenteProposto;
    bool fuocoSuPassword = false;
    bool apertaDopoErrore = false;
    bool fuocoSuPasswordDopoErrore = false;
    int avvisiDopoTentativo = 0;
};

// Types user name and password, closes the dialog the chosen way; after a failed OK the
// dialog is left with Annulla.
QuandoModale* pilota(Ambiente& amb, const QString& utente, const QString& password, Chiusura chiusura, Osservato& o)
{
    return new QuandoModale([&amb, utente, password, chiusura, &o](QWidget* w) {
        auto* dlg = qobject_cast<TfrmPasswd*>(w);
        o.eraPasswd = dlg != nullptr;
        if (!dlg) {
            w->close();
            return;
        }
        o.titolo = dlg->windowTitle();
        o.utenteProposto = dlg->edtUtente()->text();
        o.fuocoSuPassword = dlg->focusWidget() == dlg->edtPassword();
        dlg->edtUtente()->clear();
        QTest::keyClicks(dlg->edtUtente(), utente);
        QTest::keyClicks(dlg->edtPassword(), password);
        const int avvisi = amb.registro().avvisi.size();
        switch (chiusura) {
        case Chiusura::OK: QTest::mouseClick(dlg->findChild<QAbstractButton*>(QStringLiteral("btnOK")), Qt::LeftButton); break;
        case Chiusura::Invio: QTest::keyClick(dlg->edtPassword(), Qt::Key_Return); break;
        case Chiusura::Annulla: QTest::mouseClick(dlg->findChild<QAbstractButton*>(QStringLiteral("btnAnnulla")), Qt::LeftButton); return;
        case Chiusura::Esc: QTest::keyClick(dlg->edtPassword(), Qt::Key_Escape); return;
        case Chiusura::Finestra: dlg->close(); return;
        }
        o.avvisiDopoTentativo = amb.registro().avvisi.size() - avvisi;
        if (dlg->isVisible()) {
            o.apertaDopoErrore = true;
            o.fuocoSuPasswordDopoErrore = dlg->focusWidget() == dlg->edtPassword();
            QTest::mouseClick(dlg->findChild<QAbstractButton*>(QStringLiteral("btnAnnulla")), Qt::LeftButton);
        }
    });
}

void registraUtenti(Ambiente& amb)
{
    amb.esegui(QStringLiteral("INSERT INTO UTENTI (USERNAME, IDAPPLICATIVO, PASSWORDD) VALUES ('Mario', 1, 'Segreta')"));
    amb.esegui(QStringLiteral("INSERT INTO UTENTI (USERNAME, IDAPPLICATIVO, PASSWORDD) VALUES ('Anna', 2, 'Chiave')"));
}

QString utenteNelFile(const Ambiente& amb)
{
    const FileIni ini(amb.fileIni());
    return ini.leggiTesto(Ini::Desktop, QStringLiteral("Utente"), QStringLiteral("<assente>"));
}

}  // namespace

class TstPasswd : public QObject {
    Q_OBJECT
private slots:
    void nessunDialogoSenzaUtentiDellApplicazione();
    void tentativi_data();
    void tentativi();
    void annullare_data();
    void annullare();
    void utenteRicordato();
    void lunghezzaMassima();
    void erroreDelDatabase();
    void aiuto();
};

void TstPasswd::nessunDialogoSenzaUtentiDellApplicazione()
{
    Ambiente amb;
    // Users exist, but none for application 1.
    amb.esegui(QStringLiteral("INSERT INTO UTENTI (USERNAME, IDAPPLICATIVO, PASSWORDD) VALUES ('Anna', 2, 'Chiave')"));
    amb.esegui(QStringLiteral("INSERT INTO UTENTI (USERNAME, IDAPPLICATIVO, PASSWORDD) VALUES ('Luca', 0, 'x')"));
    QuandoModale q([](QWidget* w) { w->close(); });
    QVERIFY(EseguiLogin(amb.dtm()));
    QCOMPARE(q.volte(), 0);
    QVERIFY(amb.registro().avvisi.isEmpty());
}

void TstPasswd::tentativi_data()
{
    QTest::addColumn<QString>("utente");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("chiusura");
    QTest::addColumn<bool>("riuscito");
    QTest::newRow("giusti, OK") << "Mario" << "Segreta" << int(Chiusura::OK) << true;
    QTest::newRow("giusti, Invio") << "Mario" << "Segreta" << int(Chiusura::Invio) << true;
    QTest::newRow("utente in minuscolo") << "mario" << "Segreta" << int(Chiusura::OK) << false;
    QTest::newRow("utente in maiuscolo") << "MARIO" << "Segreta" << int(Chiusura::OK) << false;
    QTest::newRow("password con una lettera diversa") << "Mario" << "segreta" << int(Chiusura::OK) << false;
    QTest::newRow("password sbagliata") << "Mario" << "Segreto" << int(Chiusura::OK) << false;
    QTest::newRow("password vuota") << "Mario" << "" << int(Chiusura::OK) << false;
    QTest::newRow("utente sconosciuto") << "Luigi" << "Segreta" << int(Chiusura::OK) << false;
    QTest::newRow("utente di un'altra applicazione") << "Anna" << "Chiave" << int(Chiusura::OK) << false;
}

void TstPasswd::tentativi()
{
    QFETCH(QString, utente);
    QFETCH(QString, password);
    QFETCH(int, chiusura);
    QFETCH(bool, riuscito);
    Ambiente amb;
    registraUtenti(amb);
    Osservato o;
    std::unique_ptr<QuandoModale> q(pilota(amb, utente, password, Chiusura(chiusura), o));
    const bool esito = EseguiLogin(amb.dtm());
    QCOMPARE(q->volte(), 1);
    QVERIFY(o.eraPasswd);
    QCOMPARE(o.titolo, QStringLiteral("Quorlin"));
    QVERIFY(o.fuocoSuPassword);
    QCOMPARE(esito, riuscito);
    if (riuscito) {
        QVERIFY(amb.registro().avvisi.isEmpty());
        QCOMPARE(utenteNelFile(amb), utente);
    } else {
        // Message 8009, and the dialog stayed open for another try with the focus on the password.
        QCOMPARE(o.avvisiDopoTentativo, 1);
        QCOMPARE(amb.registro().avvisi, QStringList{amb.dtm().TestoErrore(8009)});
        QVERIFY(!amb.dtm().TestoErrore(8009).isEmpty());
        QVERIFY(o.apertaDopoErrore);
        QVERIFY(o.fuocoSuPasswordDopoErrore);
        QCOMPARE(utenteNelFile(amb), QStringLiteral("<assente>"));
    }
}

void TstPasswd::annullare_data()
{
    QTest::addColumn<int>("chiusura");
    QTest::newRow("Annulla") << int(Chiusura::Annulla);
    QTest::newRow("Esc") << int(Chiusura::Esc);
    QTest::newRow("chiusura della finestra") << int(Chiusura::Finestra);
}

void TstPasswd::annullare()
{
    QFETCH(int, chiusura);
    Ambiente amb;
    registraUtenti(amb);
    Osservato o;
    // Even with the right credentials typed, leaving without OK is a failed login.
    std::unique_ptr<QuandoModale> q(pilota(amb, QStringLiteral("Mario"), QStringLiteral("Segreta"), Chiusura(chiusura), o));
    QVERIFY(!EseguiLogin(amb.dtm()));
    QCOMPARE(q->volte(), 1);
    QVERIFY(amb.registro().avvisi.isEmpty());
    QCOMPARE(utenteNelFile(amb), QStringLiteral("<assente>"));
}

void TstPasswd::utenteRicordato()
{
    Ambiente amb;
    registraUtenti(amb);
    {
        Osservato o;
        std::unique_ptr<QuandoModale> q(pilota(amb, QStringLiteral("Mario"), QStringLiteral("Segreta"), Chiusura::OK, o));
        QVERIFY(EseguiLogin(amb.dtm()));
        QCOMPARE(o.utenteProposto, QString());
    }
    QCOMPARE(utenteNelFile(amb), QStringLiteral("Mario"));
    {
        // The next start proposes the same name.
        Osservato o;
        std::unique_ptr<QuandoModale> q(pilota(amb, QStringLiteral("Mario"), QStringLiteral("x"), Chiusura::Annulla, o));
        QVERIFY(!EseguiLogin(amb.dtm()));
        QCOMPARE(o.utenteProposto, QStringLiteral("Mario"));
    }
    // A failed attempt does not change the remembered name.
    {
        Osservato o;
        std::unique_ptr<QuandoModale> q(pilota(amb, QStringLiteral("Luigi"), QStringLiteral("x"), Chiusura::OK, o));
        QVERIFY(!EseguiLogin(amb.dtm()));
    }
    QCOMPARE(utenteNelFile(amb), QStringLiteral("Mario"));
    // A PRES.INI that cannot take the name (a full disk: 300 bytes per file) does not stop
    // the login: it is reported and the name stays the old one.
    amb.esegui(QStringLiteral("INSERT INTO UTENTI (USERNAME, IDAPPLICATIVO, PASSWORDD) VALUES ('Piero', 1, 'Altra')"));
    {
        Osservato o;
        std::unique_ptr<QuandoModale> q(pilota(amb, QStringLiteral("Piero"), QStringLiteral("Altra"), Chiusura::OK, o));
        bool entrato = false;
        {
            DiscoPieno disco(300);
            try {
                entrato = EseguiLogin(amb.dtm());
            } catch (...) {
            }
        }
        QVERIFY(entrato);
        QCOMPARE(o.avvisiDopoTentativo, 1);
    }
    QVERIFY2(amb.registro().avvisi.last().contains(amb.fileIni()), qPrintable(amb.registro().avvisi.last()));
    QCOMPARE(utenteNelFile(amb), QStringLiteral("Mario"));
}

void TstPasswd::lunghezzaMassima()
{
    Ambiente amb;
    TfrmPasswd dlg(amb.dtm());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClicks(dlg.edtUtente(), QStringLiteral("abcdefghijklmnopqrst"));
    QTest::keyClicks(dlg.edtPassword(), QStringLiteral("12345678901234567890"));
    QCOMPARE(dlg.edtUtente()->text(), QStringLiteral("abcdefghijklmno"));
    QCOMPARE(dlg.edtPassword()->text(), QStringLiteral("123456789012345"));
    QCOMPARE(dlg.edtPassword()->echoMode(), QLineEdit::Password);
    QCOMPARE(dlg.edtPassword()->displayText(), QString(15, QLatin1Char('*')));
}

void TstPasswd::erroreDelDatabase()
{
    Ambiente amb;
    registraUtenti(amb);
    // The application table disappears while the dialog is open: the failure reaches the
    // caller (the opening sequence) instead of being mistaken for a wrong password.
    QuandoModale q([&amb](QWidget* w) {
        auto* dlg = qobject_cast<TfrmPasswd*>(w);
        if (!dlg) {
            w->close();
            return;
        }
        amb.esegui(QStringLiteral("ALTER TABLE APPLICATIVI RENAME TO APPLICATIVI_VECCHI"));
        QTest::keyClicks(dlg->edtPassword(), QStringLiteral("Segreta"));
        QTest::mouseClick(dlg->findChild<QAbstractButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
        if (dlg->isVisible())
            dlg->reject();
    });
    QVERIFY_THROWS_EXCEPTION(ErroreDb, EseguiLogin(amb.dtm()));
    QCOMPARE(q.volte(), 1);
    QVERIFY(amb.registro().avvisi.isEmpty());
}

void TstPasswd::aiuto()
{
    Ambiente amb;
    TfrmPasswd dlg(amb.dtm());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(&dlg, Qt::Key_F1);
    auto* a = dlg.findChild<TfrmAiuto*>();
    QVERIFY(a);
    QCOMPARE(a->Argomento(), TfrmPasswd::kContestoAiuto);
}

QTEST_MAIN(TstPasswd)
#include "tst_passwd.moc"
