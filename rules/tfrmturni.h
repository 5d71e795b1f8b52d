#pragma once
// "Turni": the shift rotations, one at a time, with their seven days and the week chart.
// Browsing, modifying and inserting are the data module's modes; while modifying or inserting
// the window's own commands and the main window's are disabled, the window stays in front,
// and it cannot be closed until "OK" or "Annulla".

#include "tdtmturni.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class ComandiArchivio;
class GraficoTurno;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QToolBar;
class QToolButton;
class TdtmPresenze;
class TfrmStampa;

class TfrmTurni : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 110;

    // abilitaPrincipale enables or disables the main window's commands (EnableControls).
    TfrmTurni(TdtmPresenze& dtm, TdtmTurni& turni, std::function<void(bool)> abilitaPrincipale = {}, QWidget* parent = nullptr);
    ~TfrmTurni() override;

    void btnInserisciClick();
    void btnModificaClick();
    void btnDeleteClick();
    void btnStampaClick();
    void btnNextRecordClick();
    // "OK" of a modification or of an insertion (btnOKClick, btnOkInsClick).
    void btnOKClick();
    // "Annulla" of a modification or of an insertion (btnResetClick, btnAnnullaInsClick).
    void btnResetClick();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void creaComandi();
    QWidget* creaSelezione();
    QWidget* creaPannello();
    void caricaElenco();
    void caricaOrari();
    void mostraTurno();
    void mostraGiorno();
    void aggiornaModo();
    void aggiornaComandi();
    void scegliTurno(int indice);
    void scegliOrario(int indice);
    void rigaCambiata(int riga);
    void tieniDavanti();
    void fuoco(TdtmTurni::Campo campo);
    bool inModifica() const { return m_turni.modo() != TdtmTurni::Modo::Consultazione; }

    TdtmPresenze& m_dtm;
    TdtmTurni& m_turni;
    std::function<void(bool)> m_abilitaPrincipale;
    std::unique_ptr<TfrmStampa> m_stampa;
    QList<OrarioTurno> m_orari;
    bool m_aggiornando = false;
    bool m_richiamoInCorso = false;
    bool m_principaleBloccato = false;  // the main window's commands are disabled by this window

    ComandiArchivio* m_comandi = nullptr;
    QToolBar* m_barra = nullptr;
    QComboBox* m_cmbTurno = nullptr;
    QList<QToolButton*> m_navigazione;
    QTableView* m_griglia = nullptr;
    QStandardItemModel* m_modello = nullptr;
    QGroupBox* m_pannello = nullptr;
    QLineEdit* m_edtGiorno = nullptr;
    QComboBox* m_cmbOrario = nullptr;
    QLineEdit* m_edtDescr = nullptr;
    QPushButton* m_btnProssimo = nullptr;
    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnAnnulla = nullptr;
    GraficoTurno* m_grafico = nullptr;
};
