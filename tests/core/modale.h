#pragma once
// Acting on a modal dialog from a test: the action runs inside the dialog's own event loop
// as soon as the dialog is the active modal widget. The action should only look and act;
// the test asserts after exec() has returned, so a failed check never leaves a dialog open.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QuandoModale {
public:
    explicit QuandoModale(std::function<void(QWidget*)> azione) : m_azione(std::move(azione))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || w == m_gestito)
                return;
            m_gestito = w;
            ++m_volte;
            m_azione(w);
        });
        m_timer.start();
    }
    // How many modal dialogs were met.
    int volte() const { return m_volte; }
    void ferma() { m_timer.stop(); }

private:
    std::function<void(QWidget*)> m_azione;
    QTimer m_timer;
    QPointer<QWidget> m_gestito;
    int m_volte = 0;
};
