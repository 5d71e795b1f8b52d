#pragma once
// "Ricerca Archivio Anagrafico": the dialog of TQALight. The conditions page edits the
// conditions held by the component's RicercaAnagrafico and runs the search; the results
// page lists the people found, lets the user mark some and ends the dialog. The search,
// the checks and the copy into the selection table are all done by RicercaAnagrafico.

#include "tqalight.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTableView;
class ModelloRisultati;

class TDlgQueryLight : public QDialog, public DialogoQA {
    Q_OBJECT
public:
    enum Pagina { PagRicerca, PagRisultati };
    enum Scheda { SchAnagrafici, SchBadge, SchOrganico };

    explicit TDlgQueryLight(TQALight& qa, QWidget* parent = nullptr);
    ~TDlgQueryLight() override;

    int Esegui(QWidget* parent, bool paginaRicerca) override;
    int PaginaCorrente() const;

public slots:
    void btnEseguiClick();
    void btnAzzeraClick();
    void btnSelezionaClick();
    void btnRicercaClick();
    void btnRepartoClick();
    void btnQualificaClick();

protected:
    void reject() override;

private:
    struct RigaCampo {
        QComboBox* tipo = nullptr;
        QLineEdit* da = nullptr;
        QLabel* etichettaA = nullptr;
        QLineEdit* a = nullptr;
    };
    QWidget* creaPaginaRicerca();
    QWidget* creaPaginaRisultati();
    void aggiungiRiga(class QGridLayout* griglia, int riga, CampoRicerca campo, const QString& etichetta, int lunghezza);
    void tipoCambiato(CampoRicerca campo);
    void valoreLasciato(CampoRicerca campo, int quale);
    void leggiCondizioni();
    void mostraCondizioni();
    void mostraUnita(Organico o);
    void scegliUnita(Organico o);
    void mostraPagina(Pagina p);
    void fuocoSuCondizioni();

    TQALight& m_qa;
    RicercaAnagrafico& m_ricerca;
    std::array<RigaCampo, 4> m_righe;
    QStackedWidget* m_pagine;
    QTabWidget* m_schede;
    QLineEdit* m_reparto;
    QLineEdit* m_qualifica;
    QComboBox* m_ordine;
    QPushButton* m_btnReparto;
    QPushButton* m_btnEsegui;
    QPushButton* m_btnSeleziona;
    QTableView* m_griglia;
    ModelloRisultati* m_modello;
};

// Makes TDlgQueryLight the dialog of every TQALight; called once by the user-interface layer.
void RegistraDialogoQA();
