#pragma once
// The punch viewer: one employee's punches of one day, read-only, the original beside the
// valid direction and time. Opened modally by the presence board with exec().

#include "vistimbrature.h"

#include <QDate>
#include <QDialog>

class QTableWidget;
class TdtmPresenze;

class TfrmVisTimb : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 230;

    TfrmVisTimb(TdtmPresenze& dtm, int idDip, const QDate& giorno, QWidget* parent = nullptr);

    const TimbratureGiorno& Timbrature() const { return m_dati; }

public slots:
    void btnEsciClick();
    void btnHelpClick();

private:
    void FormCreate(int idDip, const QDate& giorno);

    TdtmPresenze& m_dtm;
    TimbratureGiorno m_dati;
    QTableWidget* m_griglia;
};
