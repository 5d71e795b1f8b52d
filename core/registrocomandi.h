#pragma once
// The commands of the main window. Every menu item and toolbar button runs a command by
// name, and a command is available only once something registered it: registering enables
// its item and button, an unregistered command stays disabled. A command runs an action or
// opens a window of one of three kinds:
//
//  - long-lived MDI windows: created at start-up, only hidden when closed by any route (their
//    own "Esci", the MDI close button, Ctrl+F4, the window menu) and shown again by the command;
//  - single-instance MDI windows: created on first use, brought to the front after, destroyed
//    when closed; their reference clears itself, so the next use creates a new one;
//  - modal windows: created for one use, run, destroyed.
//
// The registry owns the MDI frames it makes, and through them the windows; nobody else keeps
// a raw pointer to a window that Qt may delete.

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QDialog;
class QMdiArea;
class QMdiSubWindow;
class QWidget;
class TdtmPresenze;

class RegistroComandi : public QObject {
    Q_OBJECT
public:
    using Azione = std::function<void()>;
    // Makes the window of a single-instance command; nullptr when it cannot be made (the
    // function has already said why).
    using Creatore = std::function<QWidget*()>;
    // Makes the dialog of a modal command, parented to `genitore`.
    using CreatoreModale = std::function<std::unique_ptr<QDialog>(QWidget* genitore)>;
    // What a second use of an open single-instance window does.
    enum class Riapertura { InPrimoPiano, Nulla };

    RegistroComandi(TdtmPresenze& dtm, QMdiArea& area, QObject* parent = nullptr);
    ~RegistroComandi() override;

    // A menu item or toolbar button that runs command `nome`; disabled until it is registered.
    void Collega(QAction* a, const QString& nome);

    void RegistraAzione(const QString& nome, Azione fai);
    // Takes the window over (it becomes the child of an MDI frame of the area) and keeps it
    // hidden until the command shows it, maximised when asked.
    void RegistraPersistente(const QString& nome, QWidget* finestra, bool massimizzata = true);
    void RegistraSingola(const QString& nome, Creatore crea, Riapertura riapertura = Riapertura::InPrimoPiano);
    void RegistraModale(const QString& nome, CreatoreModale crea);

    bool Registrato(const QString& nome) const;
    // Runs the command; an unregistered name does nothing. A database failure while a window
    // is made or run is shown with the engine's text.
    void Esegui(const QString& nome);
    // The window of an MDI command; nullptr while it does not exist.
    QWidget* Finestra(const QString& nome) const;
    QMdiSubWindow* Cornice(const QString& nome) const;

    // Enables or disables every linked item; unregistered commands stay disabled.
    void Abilita(bool abilita);
    // Closes the single-instance windows in the order they were registered, then the shown
    // long-lived ones (which store their state when they close).
    void ChiudiFinestre();

private:
    enum class Tipo { Azione, Persistente, Singola, Modale };
    struct Voce {
        Tipo tipo = Tipo::Azione;
        Azione fai;
        Creatore crea;
        CreatoreModale creaModale;
        Riapertura riapertura = Riapertura::InPrimoPiano;
        bool massimizzata = false;
        QPointer<QMdiSubWindow> cornice;
    };
    Voce& registra(const QString& nome, Tipo tipo);
    void mostra(Voce& v);
    void apriSingola(Voce& v);
    void apriModale(const Voce& v);

    TdtmPresenze& m_dtm;
    QMdiArea& m_area;
    QHash<QString, Voce> m_voci;
    QStringList m_ordine;  // registration order
    QList<std::pair<QAction*, QString>> m_azioni;
    bool m_abilitato = true;
};
