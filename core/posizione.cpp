#include "posizione.h"

#include "fileini.h"
#include "messaggi.h"
#include "presenzecfg.h"
#include "tdtmpresenze.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <stdexcept>

namespace {

// The screen that shows the point, or the one of the window.
QRect areaDelloSchermo(const QWidget* w, const QPoint& punto)
{
    const QScreen* s = QGuiApplication::screenAt(punto);
    if (!s)
        s = w->screen();
    return s ? s->availableGeometry() : QRect();
}

}  // namespace

void RipristinaPosizione(QWidget* w, TdtmPresenze& dtm, const QString& finestra, const QPoint& primoPosto)
{
    const QRect salvata = Configurazione::LeggiPosizione(dtm.ini(), finestra);
    // A place stored on a screen that is no longer there (another monitor, a lower
    // resolution) is forgotten: the title bar must be within reach.
    if (salvata.isValid() && QGuiApplication::screenAt(salvata.topLeft() + QPoint(40, 8))) {
        const QSize minimo = w->minimumSizeHint();
        w->setGeometry(QRect(salvata.topLeft(), salvata.size().expandedTo(minimo.isValid() ? minimo : QSize())));
        return;
    }
    QPoint p = primoPosto;
    const QRect area = areaDelloSchermo(w, p);
    if (area.isValid()) {
        p.setX(std::clamp(p.x(), area.left(), std::max(area.left(), area.right() - w->width())));
        p.setY(std::clamp(p.y(), area.top(), std::max(area.top(), area.bottom() - w->height())));
    }
    w->move(p);
}

void MemorizzaPosizione(const QWidget* w, TdtmPresenze& dtm, const QString& finestra)
{
    try {
        Configurazione::ScriviPosizione(dtm.ini(), finestra, w->geometry());
    } catch (const std::runtime_error& e) {
        dtm.MostraErroreCon(Msg::ErrConfigurazione, QString::fromLocal8Bit(e.what()));
    }
}
