#pragma once
// The main window: an MDI frame whose menu and toolbar open every other window, with the
// company name and a clock in the status bar and the application's picture behind the
// child windows.

#include "tdtmutil.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

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
    // A window that lives in another library: its menu item "itm" + nome and toolbar button
    // "btn" + nome become available and run `apri` (e.g. "PianodiLav" for the work plan).
    void RegistraComando(const QString& nome, std::function<void()> apri);
    const QImage& Sfondo() const { return m_sfondo; }
    TdtmUtil& util() { return m_util; }

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

    // Single-instance child windows; empty while the window does not exist (QPointer clears
    // itself when the window is destroyed).
    QPointer<QWidget> frmPianta;
    QPointer<QWidget> frmAnagrafico;
    QPointer<QWidget> frmOrari;
    QPointer<QWidget> frmTurni;
    QPointer<QWidget> frmCalendario;
    QPointer<QWidget> frmAcquisizione;
    QPointer<QWidget> frmRuolo;

public slots:
    void itmEsciClick();
    void itmOrganicoClick();
    void itmDipendentiClick();
    void itmOrariLavClick();
    void itmTurniClick();
    void itmCalendarioClick();
    void itmPianodiLavClick();
    void itmCaricaClick();
    void itmPresAssClick();
    void itmAcqTimbClick();
    void itmCancDatiClick();
    void itmImpostaClick();
    void itmLinguaClick();
    void itmGrpEsciClick();
    void itmGrpAnagraficoClick();
    void itmGrpOrariClick();
    void itmGrpPianoClick();
    void itmGrpVarieClick();
    void itmSommarioClick();
    void itmNoteClick();
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
    struct Comando {
        QAction* azione;
        bool disponibile;
    };
    void creaComandi();
    QAction* comando(QMenu* menu, const QString& testo, const QString& nome, void (TfrmPresenze::*gestore)(), bool disponibile);
    QAction* pulsante(QToolBar* barra, const QString& suggerimento, const QString& nome, const QString& icona,
                      void (TfrmPresenze::*gestore)(), bool disponibile);
    void invertiGruppo(int gruppo);
    void FormClose();
    void apriRegistrato(const QString& nome);

    TdtmPresenze& m_dtm;
    TdtmUtil m_util;
    QString m_fileAiuto;
    QImage m_sfondo;
    bool m_mostrata = false;
    bool m_chiusa = false;

    QHash<QString, std::function<void()>> m_registrati;
    QMdiArea* m_mdi;
    QWidget* m_striscia;     // the strip with the switch and the toolbar
    QWidget* m_barra;        // the five groups
    QToolButton* m_interruttore;
    std::array<QToolBar*, 5> m_gruppi{};
    std::array<QAction*, 5> m_itmGruppi{};
    QLabel* m_ragSoc;
    QLabel* m_ora;
    QTimer* m_orologio;
    QList<Comando> m_comandi;
    QList<QAction*> m_menu;  // the menus themselves, top level and submenus
};
