#pragma once
// The day details ("Dettagli"): the punches of the day of the work-plan grid's current
// row, original beside valid, with the commands that insert, modify and delete them, and
// under them "Anomalie del giorno": why processing left the day as it is.
// Created once with the work-plan window and hidden; it floats above the application as a
// tool window of the work plan's top-level window, or its panel docks at the bottom of the
// work plan ("&Includi/Separa"). Its caption names the employee and the day; it opens
// where the user left it (PRES.INI [Desktop] Dettagli…), the first time in the lower right
// corner of the work plan's window.
//
// The work-plan window drives it with Mostra / Nascondi (its "Dettagli" toggle),
// FocusElenco (the punch cell), ImpostaContenitore (its bottom panel) and
// AbilitazioneTimbrature (entering the punch column); it listens to chiuso and
// tornaAllaGriglia.

#include <QPointer>
#include <QWidget>

class ComandiArchivio;
class QAction;
class QListWidget;
class QMenuBar;
class QTableView;
class QToolBar;
class QVBoxLayout;
class TdtmPiano;
class TdtmPresenze;

class TfrmDetails : public QWidget {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 190;

    // finestraPiano: the work-plan window, parent of the details (a tool window that stays
    // above finestraPiano's top-level window only, never above other applications).
    TfrmDetails(TdtmPresenze& dtm, TdtmPiano& piano, QWidget* finestraPiano);

    // The bottom panel of the work-plan window that receives the docked details; it has a
    // QVBoxLayout and is hidden while not in use.
    void ImpostaContenitore(QWidget* contenitore);
    bool Incluso() const { return m_incluso; }
    // Shows the details window or the docked panel, whichever is in use, and refreshes the
    // punch list and the grid (FormActivate).
    void Mostra();
    // Hides whichever is in use, without signalling.
    void Nascondi();
    // Whether the details (window or docked panel) are showing.
    bool Visibili() const;
    void FocusElenco();
    // Enables Insert, Modify and Delete for the current day and punch.
    void AbilitazioneTimbrature();

    // The panel that moves between the window and the container, and the punch list in it.
    QWidget* Pannello() const { return m_pannello; }
    QTableView* Elenco() const { return m_elenco; }

public slots:
    void itmIncludiClick();
    void itmEsciClick();
    void itmInserisciClick();
    void itmModificaClick();
    void itmCancellaClick();
    void itmHelpClick();

signals:
    // The user closed the details (Esci, Alt+F4, the window's close button).
    void chiuso();
    // Escape in the punch list: the work-plan grid takes the focus back.
    void tornaAllaGriglia();

protected:
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void FormActivate();
    void FormClose();
    void EditRecord(bool inserisci);
    void DeleteRecord();
    void invio();
    bool tastoProprio(const QKeyEvent* e) const;
    void eseguiTasto(const QKeyEvent* e);
    void mostraRigaCorrente();
    void impostaGenitoreTransitorio();
    QWidget* creaAnomalie();
    void mostraAnomalie();
    void posiziona();
    void aggiornaTitolo();

    TdtmPresenze& m_dtm;
    TdtmPiano& m_piano;
    QPointer<QWidget> m_finestraPiano;
    QPointer<QWidget> m_contenitore;
    bool m_incluso = false;
    bool m_sincronizza = false;
    bool m_posizionata = false;

    QVBoxLayout* m_layout;
    QMenuBar* m_menu;
    QWidget* m_pannello;
    QToolBar* m_barra;
    QTableView* m_elenco;
    QListWidget* m_anomalie;
    ComandiArchivio* m_comandi;
    QAction* m_itmEsci;
    QAction* m_itmInserisci;
    QAction* m_itmModifica;
    QAction* m_itmCancella;
    QAction* m_itmIncludi;
};
