#pragma once
// The main window: an MDI frame whose menu and toolbar open every other window, with the
// company name and a clock in the status bar and the application's picture behind the
// child windows.

#include "registrocomandi.h"
#include "tdtmutil.h"

#include <QImage>
#include <QList>
#include <QMainWindow>

#include <array>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class TdtmPresenze;

class TfrmPresenze : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(QString FileAiuto READ FileAiuto)
public:
    static constexpr int kContestoAiuto = 30;
    static constexpr int kContestoSommario = 10;
    // Height of the strip that holds the toolbar, with the toolbar shown and hidden.
    static constexpr int kAltezzaBarra = 43;
    static constexpr int kAltezzaBarraNascosta = 23;
    static constexpr int kPausaBarraMs = 200;
    static constexpr int kLarghezzaOra = 50;
    static constexpr int kMargineRagSoc = 70;

    explicit TfrmPresenze(TdtmPresenze& dtm, QWidget* parent = nullptr);
    ~TfrmPresenze() override;

    // Steps of the window's life; FormShow runs once, on the first show.
    void FormCreate();
    void FormShow();

    QString FileAiuto() const { return m_fileAiuto; }
    QMdiArea* mdiArea() const { return m_mdi; }
    // Every menu item and toolbar button runs a command of this registry by name: item
    // "itm" + name, button "btn" + name (e.g. "PianodiLav"). The main window registers its
    // own commands; the start-up registers the windows of the other libraries.
    RegistroComandi& Comandi() { return *m_registro; }
    const QImage& Sfondo() const { return m_sfondo; }

    // Enables or disables every menu item and the toolbar (a child window in its edit mode
    // keeps the user from starting anything else). Commands not available stay disabled.
    void EnableControls(bool abilita);
    // Shows the five toolbar groups and ticks their menu items as cfg().Bande says.
    void ApplicaBande();
    bool BarraVisibile() const;

    // The background picture: <NomeProg>.bmp in the application directory, else the one
    // shipped with the program under prefissoRisorse; a null image when neither can be read.
    static QImage LeggiSfondo(const QString& dirApplicazione, const QString& nomeProg,
                              const QString& prefissoRisorse = QStringLiteral(":/sfondo/"));

public slots:
    void itmEsciClick();
    void itmSommarioClick();
    void btnHelpClick();
    void btnToolbarClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private slots:
    void aggiornaOra();
    void mostraRagioneSociale(const QString& ragSoc);

private:
    void creaComandi();
    void registraComandi();
    void invertiGruppo(int gruppo);
    void FormClose();

    TdtmPresenze& m_dtm;
    TdtmUtil m_util;
    QString m_fileAiuto;
    QImage m_sfondo;
    bool m_mostrata = false;
    bool m_chiusa = false;

    QMdiArea* m_mdi;
    RegistroComandi* m_registro;
    QWidget* m_striscia;     // the strip with the switch and the toolbar
    QWidget* m_barra;        // the five groups
    QToolButton* m_interruttore;
    std::array<QToolBar*, 5> m_gruppi{};
    std::array<QAction*, 5> m_itmGruppi{};
    QLabel* m_ragSoc;
    QLabel* m_ora;
    QTimer* m_orologio;
    QList<QAction*> m_menu;  // the menus themselves, top level and submenus
};
