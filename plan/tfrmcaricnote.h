#pragma once
// "Caricamento Note": one note over a period for all employees or a selection, loaded or
// cancelled, with the closure, average-hours and replace options. Thin: CaricamentoNote
// does the work. The defaults ("Tutti", "Caricamento") are set once, when the window opens:
// coming back to it from the selection dialog or another program never changes what the
// user chose, so "Esegui" acts on what is shown.

#include <QWidget>

#include <memory>

class CampoData;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class TdtmPresenze;
class TQALight;

class TfrmCaricNote : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCaricNote(TdtmPresenze& dtm, QWidget* parent = nullptr);
    ~TfrmCaricNote() override;

    // The selection dialog's table, in the work database.
    static QString TabellaSelezione();

    void btnEseguiClick();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void SelezioneClick();

    TdtmPresenze& m_dtm;
    std::unique_ptr<TQALight> m_query;
    CampoData* m_dal = nullptr;
    CampoData* m_al = nullptr;
    QRadioButton* m_tutti = nullptr;
    QRadioButton* m_selezione = nullptr;
    QCheckBox* m_chiusura = nullptr;
    QCheckBox* m_oreMedie = nullptr;
    QCheckBox* m_sostituisci = nullptr;
    QLineEdit* m_nota = nullptr;
    QRadioButton* m_annullamento = nullptr;
    QRadioButton* m_caricamento = nullptr;
};
