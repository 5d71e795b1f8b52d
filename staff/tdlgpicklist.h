#pragma once
// "Selezione valori": the departments or qualifications of a unit condition, picked one by
// one from a drop-down into a list. The dialog only edits the list; OK hands it back.

#include "ricercaanagrafico.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;

class TDlgPickList : public QDialog {
    Q_OBJECT
public:
    // etichetta: the caption of the list ("Reparto" or "Qualifica"); disponibili: the units
    // of the drop-down, by name; scelte: the list as it stands.
    TDlgPickList(const QString& etichetta, const QList<UnitaScelta>& disponibili, const QList<UnitaScelta>& scelte,
                 QWidget* parent = nullptr);

    QList<UnitaScelta> Scelte() const;

public slots:
    void btnAggiungiClick();
    void btnRimuoviClick();

private:
    void aggiungiAllaLista(const UnitaScelta& u);
    void aggiornaComandi();

    QGroupBox* m_gruppo;
    QComboBox* m_valori;
    QListWidget* m_lista;
    QPushButton* m_aggiungi;
    QPushButton* m_rimuovi;
    QPushButton* m_ok;
    QPushButton* m_annulla;
};
