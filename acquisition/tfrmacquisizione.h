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

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class TdtmPresenze;

class TfrmAcquisizione : public QMainWindow {
    Q_OBJECT
public:
    // cartellaApp: the application folder (the executable's when empty), where the punch
    // files are looked for at first.
    explicit TfrmAcquisizione(TdtmPresenze& dtm, const QString& cartellaApp = {}, QWidget* parent = nullptr);
    ~TfrmAcquisizione() override;

    bool Occupata() const { return m_occupata; }

    // --- "Acquisizione da &file" ------------------------------------------------------
    // The layout shown in the page's fields.
    FormatoFileAcq FormatoMostrato() const;
    void MostraFormato(const FormatoFileAcq& f);
    // Lists `cartella` with `maschera` ("*" every file) and selects `file` when it is there.
    void MostraCartellaFile(const QString& cartella, const QString& maschera, const QString& file = {});
    // Makes `percorso` the file to import, as a double click or "&Cerca" does.
    void ScegliFileTimbrature(const QString& percorso);

public slots:
    void btnImpostaFormatoClick();
    void btnCercaFileTimbClick();
    void btnFileAcqClick();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* creaPaginaFile();
    void caricaFormatoFile();
    void avvisoFile(const QString& testo);

    TdtmPresenze& m_dtm;
    QString m_cartellaApp;
    bool m_occupata = false;
    QTabWidget* m_pagine;

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
