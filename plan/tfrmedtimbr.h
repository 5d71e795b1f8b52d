#pragma once
// The punch editor ("Timbrature"): a small modal dialog over the day details that edits
// one punch of the day of the work-plan grid's current row. Insert keeps the dialog open
// after each saved punch, ready for the next one; Modify closes it after the save. The
// rules (typed times, required fields, the punch written) are EditTimbrature's. It opens
// where the user last left it (PRES.INI [Desktop] EdTimbr…), the first time centred over
// the window it was opened from.

#include "comandieditor.h"
#include "edittimbrature.h"

#include <QDialog>

class QAction;
class QComboBox;
class QGroupBox;
class QLineEdit;
class TdtmPiano;
class TdtmPresenze;

class TfrmEdTimbr : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 190;
    enum Modo { Inserimento, Modifica };

    // Modifica edits the punch list's current punch; Inserimento starts a new punch.
    TfrmEdTimbr(TdtmPiano& piano, Modo modo, QWidget* parent = nullptr);

    Modo modo() const { return m_modo; }
    // Punches saved since the editor opened.
    int Registrate() const { return m_registrate; }
    // One of the four fields changed since the editor opened or last saved.
    bool Modificato() const { return m_modificato; }

public slots:
    void btnConfermaClick();
    void btnAnnullaClick();
    void btnEsciClick();
    void btnHelpClick();

protected:
    void keyPressEvent(QKeyEvent* e) override;

    GestoriEditor m_gestori;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void FormActivate();
    bool CheckValues();
    void mostra(const Timbratura& t);
    void NuovaRiga();
    void impostaModificato(bool modificato);
    void campoCambiato();
    bool oraLasciata(QLineEdit* campo);
    EditTimbrature::Valori valori() const;
    QWidget* campo(EditTimbrature::Campo c) const;
    void focusOraValida();

    TdtmPiano& m_piano;
    TdtmPresenze& m_dtm;
    Modo m_modo;
    Timbratura m_base;
    int m_riga = -1;
    int m_registrate = 0;
    bool m_modificato = false;
    bool m_inAvviso = false;

    QGroupBox* m_grpOriginale;
    QGroupBox* m_grpVariata;
    QLineEdit* m_oraO;
    QComboBox* m_versoO;
    QLineEdit* m_oraV;
    QComboBox* m_versoV;
    QAction* m_btnConferma;
    QAction* m_btnAnnulla;
};
