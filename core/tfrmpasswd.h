#pragma once
// The login dialog and the gate that decides whether it is needed.

#include <QDialog>

#include <exception>

class QLineEdit;
class QPushButton;
class TdtmPresenze;

class TfrmPasswd : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 362;

    explicit TfrmPasswd(TdtmPresenze& dtm, QWidget* parent = nullptr);

    QLineEdit* edtUtente() const { return m_utente; }
    QLineEdit* edtPassword() const { return m_password; }
    // A failure of the database while checking, kept so that it reaches the opening sequence
    // instead of being swallowed by the event loop.
    std::exception_ptr errore() const { return m_errore; }

public slots:
    void btnOKClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    TdtmPresenze& m_dtm;
    QLineEdit* m_utente;
    QLineEdit* m_password;
    QPushButton* m_ok;
    std::exception_ptr m_errore;
};

// The login gate, installed as TdtmPresenze::login by the application: no dialog when no
// user is registered for application 1; otherwise the modal dialog, true only after a
// successful login. A database failure while checking is rethrown.
bool EseguiLogin(TdtmPresenze& dtm);
