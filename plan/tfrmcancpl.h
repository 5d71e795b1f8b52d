#pragma once
// "Cancellazione Dati": deletes, for every employee or for a selection, the punches of a
// period, the punches and work plan of a period, or whole employees (CancellaDati), after a
// safety copy of the databases unless the user unticks it.
//
// The defaults ("Tutti", "Piano di Lavoro", the copy ticked) are applied once, when the window
// opens: closing the selection dialog or coming back from another program re-activates the
// window, and "Esegui" must act on what is shown. Closing stores the period in the work period.

#include "tqalight.h"

#include <QMainWindow>

class CampoData;
class QCheckBox;
class QRadioButton;
class TdtmPresenze;

class TfrmCancPL : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmCancPL(TdtmPresenze& dtm, QWidget* parent = nullptr);
    ~TfrmCancPL() override;

    // The folder of the safety copy taken before a deletion, new at each run.
    static QString CartellaCopia(TdtmPresenze& dtm);
    // "Copia di sicurezza..." of the Utilità menu: a new folder, named after the moment, in
    // the folder the user picks; the copy taken with its progress over `sopra`.
    static void CopiaDiSicurezza(TdtmPresenze& dtm, QWidget* sopra);
    // "Ripristino..." of the Utilità menu, in two steps around the closing of every window: the
    // folder of a copy of ours, confirmed by the user (empty when cancelled or refused), then,
    // with the databases closed, the restore itself; false when it failed and nothing changed.
    static QString SceltaRipristino(TdtmPresenze& dtm, QWidget* sopra);
    static bool Ripristina(TdtmPresenze& dtm, const QString& copia);

public slots:
    void btnEseguiClick();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void selezioneScelta();

    TdtmPresenze& m_dtm;
    TQALight m_qa;
    CampoData* m_dal;
    CampoData* m_al;
    QRadioButton* m_tutti;
    QRadioButton* m_selezione;
    QRadioButton* m_completa;
    QRadioButton* m_piano;
    QRadioButton* m_timbrature;
    QCheckBox* m_copia;
};
