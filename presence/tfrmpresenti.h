#pragma once
// "Gestione presenti/assenti": the reference date, the view (a time of day, or a band of time),
// the categories and the employees of the presence board, which "Esegui" opens. Modal, opened
// by the main window's "Presenti/&Assenti"; its date goes back to the work period when it
// closes.

#include "tabellone.h"

#include <QDialog>

#include <functional>
#include <memory>

class CampoData;
class CampoOra;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class TdtmPresenze;
class TQALight;

class TfrmPresenti : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 230;

    explicit TfrmPresenti(TdtmPresenze& dtm, QWidget* parent = nullptr);
    ~TfrmPresenti() override;

    // The choices as the board reads them.
    ParametriTabellone Parametri() const;
    // What "Esegui" does with them; the board by default (tests put their own).
    void setApriTabellone(std::function<void(const ParametriTabellone&)> apri) { m_apriTabellone = std::move(apri); }
    TQALight& Query() { return *m_query; }

public slots:
    void btnEseguiClick();

private:
    void SelezioneClick();
    void aggiornaVista();
    void aggiornaGiorno();
    int controllaAlle() const;
    void apriTabellone(const ParametriTabellone& p);

    TdtmPresenze& m_dtm;
    std::unique_ptr<TQALight> m_query;
    std::function<void(const ParametriTabellone&)> m_apriTabellone;
    CampoData* m_data;
    QLineEdit* m_giorno;
    QRadioButton* m_oraria;
    QRadioButton* m_fascia;
    CampoOra* m_ora;
    CampoOra* m_dalle;
    CampoOra* m_alle;
    QCheckBox* m_presenti;
    QCheckBox* m_assenti;
    QRadioButton* m_tutti;
    QRadioButton* m_selezione;
};
