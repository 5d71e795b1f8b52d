#include "tfrmpasswd.h"

#include "fileini.h"
#include "icone.h"
#include "login.h"
#include "messaggi.h"
#include "presentatoredialogo.h"
#include "tdtmpresenze.h"
#include "tfrmaiuto.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
constexpr int kLunghezzaMassima = 15;  // UTENTI.USERNAME and PASSWORDD
}

TfrmPasswd::TfrmPasswd(TdtmPresenze& dtm, QWidget* parent) : QDialog(parent), m_dtm(dtm)
{
    setObjectName(QStringLiteral("frmPasswd"));
    setWindowTitle(dtm.cfg().NomeProg);
    setWindowIcon(IconaComando(QStringLiteral("applicazione")));
    // Shown before any other window: it must not get lost behind other programs.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_utente = new QLineEdit(this);
    m_utente->setObjectName(QStringLiteral("edtUtente"));
    m_utente->setMaxLength(kLunghezzaMassima);
    m_utente->setText(dtm.ini().leggiTesto(Ini::Desktop, QStringLiteral("Utente")));

    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("edtPassword"));
    m_password->setMaxLength(kLunghezzaMassima);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'

    auto* lblUtente = new QLabel(QStringLiteral("&Utente"), this);
    lblUtente->setBuddy(m_utente);
    auto* lblPassword = new QLabel(QStringLiteral("&Password"), this);
    lblPassword->setBuddy(m_password);

    auto* campi = new QFormLayout;
    campi->setHorizontalSpacing(14);
    campi->setVerticalSpacing(10);
    campi->addRow(lblUtente, m_utente);
    campi->addRow(lblPassword, m_password);

    auto* logo = new QLabel(this);
    logo->setPixmap(IconaComando(QStringLiteral("applicazione")).pixmap(48, 48));
    logo->setAlignment(Qt::AlignTop);

    auto* corpo = new QHBoxLayout;
    corpo->setSpacing(16);
    corpo->addWidget(logo);
    corpo->addLayout(campi, 1);

    auto* pulsanti = new QDialogButtonBox(this);
    m_ok = pulsanti->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setDefault(true);
    QPushButton* annulla = pulsanti->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    annulla->setObjectName(QStringLiteral("btnAnnulla"));
    connect(m_ok, &QPushButton::clicked, this, &TfrmPasswd::btnOKClick);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(18, 18, 18, 14);
    l->addLayout(corpo);
    l->addSpacing(12);
    l->addWidget(pulsanti);

    auto* aiuto = new QShortcut(QKeySequence::HelpContents, this);
    connect(aiuto, &QShortcut::activated, this, [this] { MostraAiuto(this, m_dtm, kContestoAiuto); });

    setMinimumWidth(360);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmPasswd::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    m_password->setFocus();
}

void TfrmPasswd::btnOKClick()
{
    try {
        const QString utente = m_utente->text();
        if (Login::Verifica(m_dtm.db(), m_dtm.cfg().NomeProg, utente, m_password->text())) {
            try {
                m_dtm.ini().scriviTesto(Ini::Desktop, QStringLiteral("Utente"), utente);
            } catch (const ErroreIni& e) {
                // The login stands; only the name is not proposed next time.
                m_dtm.MostraErroreCon(Msg::ErrIni, e.dettaglio());
            }
            accept();
            return;
        }
    } catch (...) {
        m_errore = std::current_exception();
        reject();
        return;
    }
    m_dtm.MostraErrore(Msg::ErrLogin);
    m_password->setFocus();
    m_password->selectAll();
}

bool EseguiLogin(TdtmPresenze& dtm)
{
    if (!Login::Necessario(dtm.db()))
        return true;
    // The gate runs while the databases open, before the main window installs anything:
    // its messages still need somewhere to go.
    if (!dtm.presentatore())
        InstallaPresentatoreDialogo(dtm);
    TfrmPasswd dlg(dtm);
    const bool ok = dlg.exec() == QDialog::Accepted;
    if (dlg.errore())
        std::rethrow_exception(dlg.errore());
    return ok;
}
