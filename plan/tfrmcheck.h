#pragma once
// The work-plan check window: a small borderless panel that stays on top of the work-plan
// window while VerificaPiano creates the missing work-plan days, showing the overall
// progress and the employee-days done, with "&Annulla" to stop it. It is the check's
// Avanzamento: the overall bar follows the check's phases (20 when the decision starts,
// 30 once taken, 40 while days are created, 100 at their end), the employee-day bar the
// units of the second phase.
//
// It is a tool window of the application's main window, not a child of the work-plan window:
// disabling that window while the check runs would disable this one and its cancel button
// with it. The owner keeps it alive (the work-plan window holds one for the whole run).

#include "avanzamento.h"
#include "verificapiano.h"

#include <QDate>
#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class TdtmPresenze;

class TfrmCheck : public QWidget, public Avanzamento {
    Q_OBJECT
public:
    explicit TfrmCheck(TdtmPresenze& dtm, QWidget* finestraPiano = nullptr);

    // The window the check centres over and disables while it runs.
    void ImpostaFinestraPiano(QWidget* finestraPiano) { m_piano = finestraPiano; }
    QWidget* FinestraPiano() const { return m_piano; }

    // Shows the window (when the caller has not), runs the check on the period for the
    // employee and closes the window. True when the period's days are complete, false when
    // "&Annulla" stopped it. Throws ErroreDb on a database failure, after restoring the
    // cursor and re-enabling the work-plan window.
    bool StartCheck(int idDip, const QDate& dal, const QDate& al);
    bool InCorso() const { return m_inCorso; }
    // Becomes a tool window of the work plan's top-level window (the main window), once the
    // work plan sits in it.
    void Adotta();

    // Avanzamento: what the check reports while it runs.
    void Inizia(const QString& titolo, int massimo) override;
    void Valore(int valore) override;
    // Lets pending events run, so the bars repaint and "&Annulla" can be pressed.
    bool Annullato() override;
    void Termina() override;

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
    bool m_annulla = false;
    int m_fase = 0;  // phases the running check has started
    QProgressBar* m_barGenerale;
    QProgressBar* m_barGiorni;
    QPushButton* m_btnAnnulla;
    QLabel* m_immagine;
};
