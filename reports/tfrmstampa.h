#pragma once
// "Impostazioni di stampa": the user picks one report of the calling window's group and
// chooses between preview and direct printing; the choice is kept for every later report.

#include "catalogo.h"

#include <QDialog>

class QListWidget;
class QRadioButton;
class TdtmPresenze;

class TfrmStampa : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStampa(TdtmPresenze& dtm, QWidget* parent = nullptr);

    // Shows the reports of `gruppo` modally; code −1 when nothing was chosen.
    TRecStampa Esegui(const QString& gruppo);
    TRecStampa Risultato() const { return m_risultato; }

private slots:
    void btnOkClick();
    void btnAnnullaClick();
    void btnEsciClick();

private:
    void preparaElenco(const QString& gruppo);

    TdtmPresenze& m_dtm;
    TRecStampa m_risultato;
    QListWidget* m_elenco = nullptr;
    QRadioButton* m_stampa = nullptr;
    QRadioButton* m_anteprima = nullptr;
};
