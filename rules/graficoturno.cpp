#include "graficoturno.h"

#include <QPainter>

GraficoTurno::GraficoTurno(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chtTurno"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

QColor GraficoTurno::ColoreRosso()
{
    return QColor(0xD0, 0x2B, 0x2B);
}

QColor GraficoTurno::ColoreGiallo()
{
    return QColor(0xF2, 0xD0, 0x24);
}

void GraficoTurno::ImpostaBarre(const QList<BarraTurno>& barre)
{
    m_barre = barre;
    update();
}

QSize GraficoTurno::sizeHint() const
{
    return {560, 11 * fontMetrics().height() + 40};
}

QSize GraficoTurno::minimumSizeHint() const
{
    return {360, 9 * fontMetrics().height() + 20};
}

void GraficoTurno::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm = fontMetrics();
    const int sinistra = fm.horizontalAdvance(QStringLiteral("Mer ")) + 8;
    const int destra = fm.horizontalAdvance(QStringLiteral("24")) / 2 + 8;
    const int alto = 6;
    const int basso = fm.height() + 8;
    const QRect area(sinistra, alto, std::max(10, width() - sinistra - destra), std::max(7, height() - alto - basso));
    const double riga = area.height() / double(TdtmTurni::kGiorni);
    const auto x = [&](double ore) { return area.left() + int(ore / 24.0 * area.width() + 0.5); };
    const auto y = [&](int r) { return area.top() + int((r - 1) * riga + 0.5); };

    // Hour lines every two hours, the axis labels under them.
    p.setPen(QColor(0xDD, 0xDD, 0xDD));
    for (int ora = 0; ora <= 24; ora += 2)
        p.drawLine(x(ora), area.top(), x(ora), area.bottom());
    p.setPen(palette().color(QPalette::WindowText));
    for (int ora = 0; ora <= 24; ora += 2) {
        const QString t = QString::number(ora);
        p.drawText(x(ora) - fm.horizontalAdvance(t) / 2, area.bottom() + fm.ascent() + 4, t);
    }
    for (int r = 1; r <= TdtmTurni::kGiorni; ++r) {
        const QRect etichetta(0, y(r), sinistra - 6, y(r + 1) - y(r));
        p.drawText(etichetta, Qt::AlignRight | Qt::AlignVCenter, TdtmTurni::NomeGiornoBreve(r));
    }
    p.drawRect(area.adjusted(0, 0, -1, -1));

    for (const BarraTurno& b : m_barre) {
        const int margine = std::max(2, int(riga / 5));
        QRect r(QPoint(x(b.inizio), y(b.riga) + margine), QPoint(x(b.fine) - 1, y(b.riga + 1) - margine - 1));
        if (r.width() < 2)
            r.setWidth(2);
        p.fillRect(r, b.rosso ? ColoreRosso() : ColoreGiallo());
        p.setPen(QColor(0x60, 0x60, 0x60));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        // Each bar carries its row number.
        p.setPen(b.rosso ? Qt::white : Qt::black);
        p.drawText(r, Qt::AlignCenter, QString::number(b.riga));
    }
}
