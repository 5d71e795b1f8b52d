#pragma once
// Acting on a modal dialog from a test: the action runs inside the dialog's own event loop
// as soon as the dialog is the active modal widget and the application's active window. A
// dialog is modal as soon as it shows, but the keyboard reaches it only when the platform
// activates it: keys and focus checks made before that land on the window beneath, one run
// in a few. The action should only look and act; the test asserts after exec() has
// returned, so a failed check never leaves a dialog open.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>
#include <QWidget>

#include <functional>

// Waits until w's window is the application's active window, the one the keyboard goes to.
// QTest::qWaitForWindowActive does not do for a dialog or a tool window: it answers true at
// once while the window's transient parent is active, before the activation has moved.
inline bool AttendiAttiva(QWidget* w, int ms = 5000)
{
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w->window(); }, ms);
}

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
            // Waiting runs the event loop: this slot may be entered again meanwhile, and
            // returns at once because the dialog is already taken. A dialog that never
            // activates is still acted on, so that it closes; the test's checks then fail.
            if (!AttendiAttiva(w))
                qWarning("finestra modale mai attivata: %s", qPrintable(w->objectName()));
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
