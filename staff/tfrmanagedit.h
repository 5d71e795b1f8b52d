#pragma once
// "Gestione Anagrafico": the modal editor of one employee with his badge and profile, opened by
// the register to insert a new employee or modify the current one. The fields stay in the
// window until "Conferma" (Enter), which writes everything in one short transaction through
// TdtmAnagrafico; a refusal shows its message and puts the focus on its field, and a failed
// write keeps what was typed. "Annulla" (Esc) goes back to the creation values (new employee)
// or to the stored ones; "Esci" closes, discarding what was not confirmed.
//
// Department, qualification, rotation and holiday timetable are lists of the stored rows,
// chosen by id; a department or qualification named twice shows its path in the organisation.

#include "comandieditor.h"
#include "tdtmanagrafico.h"

#include <QDialog>

class CampoData;
class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

class TfrmAnagEdit : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 60;

    // `dipendente` with Id 0 starts a new employee; otherwise the stored one is modified.
    TfrmAnagEdit(TdtmAnagrafico& anag, const DatiDipendente& dipendente, QWidget* parent = nullptr);

    // The employee's id once a confirmation has stored him; 0 before, for a new one.
    int Id() const { return m_id; }
    DatiDipendente Valori() const;
    QWidget* Campo(CampoAnag c) const;

public slots:
    void btnConfermaClick();
    void btnAnnullaClick();
    void btnEsciClick();
    void btnHelpClick();

protected:
    void keyPressEvent(QKeyEvent* e) override;

    GestoriEditor m_gestori;

private:
    void mostra(const DatiDipendente& d);
    void riempiZeri(QLineEdit* campo);

    TdtmAnagrafico& m_anag;
    TdtmPresenze& m_dtm;
    int m_id;

    QLineEdit* m_cognome;
    QLineEdit* m_nome;
    QLineEdit* m_matricola;
    QLineEdit* m_badge;
    CampoData* m_assunzione;
    CampoData* m_licenziamento;
    QPlainTextEdit* m_note;
    QComboBox* m_reparto;
    QComboBox* m_qualifica;
    QLineEdit* m_livello;
    QCheckBox* m_autorizzato;
    QComboBox* m_turno;
    QComboBox* m_festivo;
};
