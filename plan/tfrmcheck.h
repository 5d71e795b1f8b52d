#pragma once
// The work-plan check window: a small borderless panel that stays on top of the work-plan
// window while VerificaPiano creates the missing work-plan days, showing the overall
// progress and the employee-days done, with "&Annulla" to stop it.
//
// It is not a child of the work-plan window, because disabling that window while the
// check runs would disable this one and its cancel button with it; the owner keeps it
// alive (the work-plan window holds one for the whole run).

#include "verificapiano.h"

#include <QDate>
#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class TdtmPresenze;

class TfrmCheck : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCheck(TdtmPresenze& dtm, QWidget* finestraPiano = nullptr);

    // The window the check centres over and disables while it runs.
    void ImpostaFinestraPiano(QWidget* finestraPiano) { m_piano = finestraPiano; }
    QWidget* FinestraPiano() const { return m_piano; }

    // Shows the window (when the caller has not), runs the check on the period for the
    // current employee and closes the window. True when the period's days are complete,
    // false when "&Annulla" stopped it. Throws ErroreDb on a database failure, after
    // restoring the cursor and re-enabling the work-plan window.
    bool StartCheck(const QDate& dal, const QDate& al);
    bool InCorso() const { return m_inCorso; }

public slots:
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Centra();
    void abilitaPiano(bool abilita);

    VerificaPiano m_verifica;
    QPointer<QWidget> m_piano;
    bool m_inCorso = false;
    QProgressBar* m_barGenerale;
    QProgressBar* m_barGiorni;
    QPushButton* m_btnAnnulla;
    QLabel* m_immagine;
};
