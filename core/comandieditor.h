#pragma once
// The commands every modal editor shows, in one place: the File menu (Conferma with Invio,
// Annulla with Esc, Esci with Alt+F4), "?" and F1 for the help, and the same commands on a
// toolbar. The editor's keyPressEvent hands Invio and Esc to TastoEditor, so they act
// whatever field has the focus and whatever the state of the buttons; the menu only names them.

#include <QMenuBar>
#include <QString>
#include <QToolBar>

#include <functional>

class QAction;
class QDialog;
class QKeyEvent;

struct GestoriEditor {
    std::function<void()> conferma;
    std::function<void()> annulla;
    std::function<void()> aiuto;
    std::function<void()> esci;
};

struct ComandiEditor {
    QMenuBar* menu = nullptr;   // for the layout's setMenuBar
    QToolBar* barra = nullptr;  // named `nomeBarra`
    QAction* btnConferma = nullptr;  // disabling it disables the menu item as well
    QAction* btnAnnulla = nullptr;
};

// Objects named itmConferma, itmAnnulla, itmEsci, itmAiuto, btnConferma, btnAnnulla, btnHelp,
// btnEsci, as the tests and the help pages know them.
ComandiEditor CreaComandiEditor(QDialog* editor, const QString& nomeBarra, const GestoriEditor& g);

// Invio (also the keypad's) confirms and Esc cancels when pressed without modifiers; returns
// whether the key was taken.
bool TastoEditor(QKeyEvent* e, const GestoriEditor& g);
