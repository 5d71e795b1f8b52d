#pragma once
// "Visualizzazione presenti/assenti": the presence board, built once when it opens from the
// choices of the present/absent window, shown read-only; prints the present/absent report and
// opens the punch viewer of the current employee.

#include "tabellone.h"

#include <QDialog>

class QTableWidget;
class TdtmPresenze;

class TfrmTabPres : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 230;

    TfrmTabPres(TdtmPresenze& dtm, const ParametriTabellone& p, QWidget* parent = nullptr);

    const QList<RigaTabellone>& Righe() const { return m_righe; }
    QTableWidget* Griglia() const { return m_griglia; }

public slots:
    void itmStampaClick();
    void itmVisTimbClick();
    // Sorts by the index of the column's field, marking its title with "#".
    void Ordina(int colonna);

private:
    void mostra();

    TdtmPresenze& m_dtm;
    ParametriTabellone m_parametri;
    QList<RigaTabellone> m_righe;
    QTableWidget* m_griglia;
};
