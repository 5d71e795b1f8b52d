#pragma once
// Long work in the application: a progress dialog titled with the application name, the
// phase's title over the bar and "&Annulla", window-modal over the window the user works in
// (or the one given), so that window cannot start anything else while pending events run.
// It appears only when the work lasts long enough to be worth showing.

#include "avanzamento.h"

#include <QCursor>
#include <QPointer>
#include <QProgressDialog>

#include <optional>

class TdtmPresenze;

class AvanzamentoDialogo : public Avanzamento {
public:
    // sopra: a widget of the window the dialog stays over; none means the active window.
    explicit AvanzamentoDialogo(TdtmPresenze& dtm, QWidget* sopra = nullptr);
    ~AvanzamentoDialogo() override;

    void Inizia(const QString& titolo, int massimo) override;
    void Valore(int valore) override;
    // Lets pending events run (repaint, "&Annulla", Esc), then tells whether it was pressed.
    bool Annullato() override;
    void Termina() override;

    // The dialog of the running phase; null before Inizia and after Termina.
    QProgressDialog* Dialogo() const { return m_dialogo; }

    // How long work runs before the dialog shows.
    static constexpr int kAttesaMs = 400;

private:
    TdtmPresenze& m_dtm;
    QPointer<QWidget> m_sopra;
    QPointer<QProgressDialog> m_dialogo;
    QPointer<QWidget> m_finestraInAttesa;
    std::optional<QCursor> m_cursorePrima;
    bool m_annullato = false;
};
