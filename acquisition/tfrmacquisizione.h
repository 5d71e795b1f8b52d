#pragma once
// "Acquisizione": where punches are collected and the hardware they come from is described.
// Five pages: the terminals with their stations, the serial ports, the acquisition run with
// synchronisation, the upload of configuration files, and the import of punches from a
// text file. The window only shows and asks; the data modules do the work.
//
// While a run talks to the terminals the window is busy: the set-up pages are disabled and
// closing is refused, since the run's handler is still on the stack below the event loop.

#include "formatofile.h"

#include <QMainWindow>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QRadioButton;
class QTabWidget;
class QToolButton;
class TdtmAcquisizione;
class TdtmPresenze;
class TfrmStampa;
struct LibreriaTerminali;

class TfrmAcquisizione : public QMainWindow {
    Q_OBJECT
public:
    // lib: the terminal library the runs talk through.
    TfrmAcquisizione(TdtmPresenze& dtm, TdtmAcquisizione& acq, const LibreriaTerminali& lib, QWidget* parent = nullptr);
    ~TfrmAcquisizione() override;

    bool Occupata() const { return m_occupata; }
    QSize sizeHint() const override;

    // --- "&Terminali" -----------------------------------------------------------------
    // The terminal the detail fields show; 0 when none.
    int TerminaleCorrente() const;
    void ScegliTerminale(int id);
    // --- "&Porte" ---------------------------------------------------------------------
    int PortaCorrente() const;

    // --- "Acquisizione da &file" ------------------------------------------------------
    // The layout shown in the page's fields.
    FormatoFileAcq FormatoMostrato() const;
    void MostraFormato(const FormatoFileAcq& f);
    // Lists `cartella` with `maschera` ("*" every file) and selects `file` when it is there.
    void MostraCartellaFile(const QString& cartella, const QString& maschera, const QString& file = {});
    // Makes `percorso` the file to import, as a double click or "&Cerca" does.
    void ScegliFileTimbrature(const QString& percorso);

public slots:
    void btnInsertClick();
    void btnEliminaClick();
    void btnInsPortaClick();
    void btnDelPortaClick();
    void btnFmtTransClick();
    void btnAvviaClick();
    void btnStopAcqClick();
    void btnSyncClick();
    void btnStampaClick();
    void btnBrowseClick();
    void btnSendClick();
    void btnImpostaFormatoClick();
    void btnCercaFileTimbClick();
    void btnFileAcqClick();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    class Osservatore;
    friend class Osservatore;

    QWidget* creaPaginaTerminali();
    QWidget* creaPaginaPorte();
    QWidget* creaPaginaAcquisizione();
    QWidget* creaPaginaInvio();
    QWidget* creaPaginaFile();
    void caricaTerminali(int corrente);
    void mostraTerminale();
    void collegamentoScelto(bool remoto);
    void risolviPostazione();
    void indirizzoCambiato(int indirizzo);
    void caricaPorte(int corrente);
    void mostraPorta();
    void postaPorta();
    void caricaFileConfigurazione();
    void apriFileConfigurazione(const QString& nome);
    void caricaFormatoFile();
    void avvisoFile(const QString& testo);
    void avviso(const QString& testo);
    // Busy from the start of a run to its end: the start buttons and the other pages wait.
    void occupa(bool occupata, QWidget* pagina);
    // Runs a database change of the set-up pages, showing a failure.
    bool esegui(const std::function<void()>& cambia);
    void esci();

    TdtmPresenze& m_dtm;
    TdtmAcquisizione& m_acq;
    const LibreriaTerminali& m_lib;
    bool m_occupata = false;
    bool m_caricamento = false;  // fields being filled from the data, not edited
    QTabWidget* m_pagine;
    TfrmStampa* m_stampa;

    // "&Terminali"
    QWidget* m_paginaTerminali;
    QListWidget* m_terminali;
    QWidget* m_dettagliTerminale;
    QRadioButton* m_locale;
    QRadioButton* m_remoto;
    QComboBox* m_porta;
    QSpinBox* m_indirizzo;
    QWidget* m_telefono;
    QLineEdit* m_numero;
    QCheckBox* m_centralino;
    QLineEdit* m_prefisso;

    // "&Porte"
    QWidget* m_paginaPorte;
    QListWidget* m_porte;
    QWidget* m_dettagliPorta;
    QComboBox* m_baud;
    QComboBox* m_bitDati;
    QComboBox* m_bitStop;
    QComboBox* m_parita;
    QLineEdit* m_stringaModem;

    // "&Acquisizione Timbrature"
    QWidget* m_paginaAcquisizione;
    QListWidget* m_acquisizione;
    QTabWidget* m_schedeAcq;
    QSpinBox* m_fmt[6];
    QPushButton* m_btnAvvia;
    QPushButton* m_btnStop;
    QPushButton* m_btnSync;
    QLineEdit* m_terminaleAttivo;
    QCheckBox* m_interruttore;
    QLineEdit* m_statoRun;
    QListWidget* m_warnings;

    // "&Invio files di configurazione"
    QWidget* m_paginaInvio;
    QListWidget* m_invio;
    QListWidget* m_fileConfig;
    QString m_cartellaConfig;
    QLineEdit* m_fileInvio;
    QPushButton* m_btnInvia;

    // "Acquisizione da &file"
    QWidget* m_paginaFile;
    QSpinBox* m_posizBadge;
    QSpinBox* m_lunghBadge;
    QSpinBox* m_posizCausale;
    QSpinBox* m_lunghCausale;
    QSpinBox* m_posizVerso;
    QLineEdit* m_carIngresso;
    QLineEdit* m_carUscita;
    QSpinBox* m_posizData;
    QComboBox* m_formatoData;
    QSpinBox* m_posizOra;
    QSpinBox* m_lunghOra;
    QListWidget* m_fileTimb;
    QString m_cartellaFile;
    QString m_fileScelto;
    QPushButton* m_btnFileAcq;
    QTabWidget* m_schedeFile;
    QListWidget* m_warningsFile;
    QProgressBar* m_barraFile;
};
