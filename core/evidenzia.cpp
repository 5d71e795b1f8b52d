#include "evidenzia.h"

#include "tdtmpresenze.h"

#include <QCheckBox>
#include <QLabel>
#include <QVariant>

namespace {

bool obbligatorio(const QWidget* controllo, TdtmPresenze& dtm)
{
    if (!controllo)
        return false;
    const QString campo = controllo->property("campo").toString();
    const qsizetype punto = campo.indexOf(QLatin1Char('.'));
    if (punto <= 0)
        return false;
    return dtm.CampoObbligatorio(campo.left(punto), campo.mid(punto + 1));
}

void colora(QWidget* w, QPalette::ColorRole ruolo, bool evidenzia, const QColor& colore)
{
    // Resetting to the parent's palette lets a later change of the colour undo an earlier one.
    QPalette pal = w->parentWidget() ? w->parentWidget()->palette() : w->palette();
    if (evidenzia)
        pal.setColor(ruolo, colore);
    w->setPalette(pal);
}

}  // namespace

void EvidenziaObbligatori(QWidget* finestra, TdtmPresenze& dtm)
{
    const QColor colore = ColoreDaIni(dtm.cfg().ColoreReqd);
    for (QLabel* l : finestra->findChildren<QLabel*>()) {
        if (l->buddy() && l->buddy()->property("campo").isValid())
            colora(l, QPalette::WindowText, obbligatorio(l->buddy(), dtm), colore);
    }
    for (QCheckBox* c : finestra->findChildren<QCheckBox*>()) {
        if (c->property("campo").isValid())
            colora(c, QPalette::WindowText, obbligatorio(c, dtm), colore);
    }
}
