#pragma once
// General settings: the company, the interface colours, the installation date and the
// processing options. The rules live in TdtmUtil; this window only shows and edits.

#include "tdtmutil.h"

#include <QDate>
#include <QDialog>

class CampoData;
class QCheckBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class TdtmPresenze;

class TfrmImposta : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 330;
    enum Pagina { PagAzienda, PagColori, PagDataInst, PagElaborazione };

    TfrmImposta(TdtmPresenze& dtm, TdtmUtil& util, QWidget* parent = nullptr);

    bool InModifica() const { return m_modifica; }
    int PaginaCorrente() const;

public slots:
    void btnEsciClick();
    void btnHelpClick();
    void btnModificaClick();
    void btnConfermaClick();
    void btnAnnullaClick();
    void btnCambiaClick();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;

private slots:
    void pgcImpostaChange(int pagina);
    void lstColoriChange();

private:
    void ApriDati();
    void mostraAzienda();
    void mostraOpzioni();
    void impostaModifica(bool modifica);
    int tipoColore() const;

    TdtmPresenze& m_dtm;
    TdtmUtil& m_util;
    TdtmUtil::Azienda m_azienda;
    QDate m_dataInst;  // the date shown when the window opened or last confirmed
    bool m_modifica = false;
    int m_pagina = PagAzienda;

    QTabWidget* m_pagine;
    QLineEdit* m_ragSoc;
    QLineEdit* m_descr;
    QLineEdit* m_codAzEst;
    QListWidget* m_colori;
    QFrame* m_colore;
    QPushButton* m_cambia;
    CampoData* m_data;
    QWidget* m_paginaElaborazione;
    QCheckBox* m_anomAssenza;
    QCheckBox* m_calcolaAssenza;
    QCheckBox* m_calcolaStraord;
    QPushButton* m_btnModifica;
    QPushButton* m_btnConferma;
    QPushButton* m_btnAnnulla;
};
