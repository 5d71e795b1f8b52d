#pragma once
// The week chart of a rotation: one row per day, Sunday at the top, hours 0 to 24 across;
// red bars for timetables that expect work, yellow for those that expect none.

#include "tdtmturni.h"

#include <QWidget>

class GraficoTurno : public QWidget {
    Q_OBJECT
public:
    explicit GraficoTurno(QWidget* parent = nullptr);

    void ImpostaBarre(const QList<BarraTurno>& barre);
    const QList<BarraTurno>& Barre() const { return m_barre; }

    static QColor ColoreRosso();
    static QColor ColoreGiallo();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QList<BarraTurno> m_barre;
};
