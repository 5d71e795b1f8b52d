#pragma once
// "Inserimento Porte": which of the missing serial ports to add, the first one proposed.

#include <QDialog>
#include <QList>

class QButtonGroup;

class TfrmInsPort : public QDialog {
    Q_OBJECT
public:
    // mancanti: the port numbers with no row, ascending.
    TfrmInsPort(const QList<int>& mancanti, QWidget* parent);
    // The port chosen (meaningful after "&OK").
    int Scelta() const;

private:
    QButtonGroup* m_porte;
};
