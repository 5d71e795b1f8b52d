#pragma once
// "Gestione Orari": the modal editor of one timetable, opened by the timetable window to
// insert a new one or modify the current one. The fields stay in the window until
// "Conferma" (Enter), which checks all of them first (a refusal names its field and gives it
// the focus) and then writes the timetable in one short transaction through TdtmOrari; no
// transaction is open while the user types. "Annulla" (Esc) puts the fields back as they
// were when the editor opened; "Esci" closes it, discarding what was not confirmed.

#include "comandieditor.h"
#include "tdtmorari.h"

#include <QDialog>

class QAction;
class QComboBox;
class QLineEdit;
class CampoOrologio;

class TfrmOrariEdit : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 101;
    enum Modo { Inserimento, Modifica };

    // Modifica starts from `orario` (its id is the timetable changed); Inserimento from the
    // defaults of a new timetable.
    TfrmOrariEdit(TdtmOrari& orari, Modo modo, const DatiOrario& orario = {}, QWidget* parent = nullptr);

    Modo modo() const { return m_modo; }
    // The timetable's id once a confirmation has stored it; 0 before.
    int Id() const { return m_id; }
    ValoriOrario Valori() const;

public slots:
    void btnInserisciClick();  // "Conferma"
    void btnAnnullaClick();
    void itmEsciClick();
    void btnHelpClick();

protected:
    void keyPressEvent(QKeyEvent* e) override;

    GestoriEditor m_gestori;

private:
    void mostra(const ValoriOrario& v);
    void campoCambiato();
    QWidget* campo(CampoOrario c) const;

    TdtmOrari& m_orari;
    TdtmPresenze& m_dtm;
    Modo m_modo;
    int m_id = 0;
    ValoriOrario m_iniziali;
    bool m_caricamento = false;

    QLineEdit* m_descr;
    CampoOrologio* m_oreMedie;
    CampoOrologio* m_prima;
    CampoOrologio* m_ultima;
    QComboBox* m_chiusura;
    QComboBox* m_ingresso;
    QComboBox* m_uscita;
    QLineEdit* m_minimo;
    QComboBox* m_arrotStra;
    QAction* m_btnConferma;
};
