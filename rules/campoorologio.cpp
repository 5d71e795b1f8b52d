#include "campoorologio.h"

#include "campodata.h"
#include "messaggi.h"

#include "tdtmorari.h"
#include "tdtmpresenze.h"
#include "testiora.h"

#include <QFocusEvent>

CampoOrologio::CampoOrologio(TdtmPresenze& dtm, QWidget* parent) : QLineEdit(parent), m_dtm(dtm)
{
    setInputMask(QStringLiteral("99:99;_"));
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 24);
}

std::optional<int> CampoOrologio::Minuti() const
{
    return TdtmOrari::LeggiOrologio(displayText());
}

void CampoOrologio::setMinuti(int minuti)
{
    setText(TestiOra::OrologioMinuti(minuti));
    setModified(false);
}

void CampoOrologio::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (!UscitaDellUtente(e->reason()))
        return;
    if (!isModified() || Minuti())
        return;
    // Once the focus change under way is over, or it would win over the refusal.
    QMetaObject::invokeMethod(this, &CampoOrologio::rifiuta, Qt::QueuedConnection);
}

void CampoOrologio::rifiuta()
{
    if (m_inAvviso || Minuti())
        return;
    m_inAvviso = true;
    m_dtm.MostraErrore(Msg::ErrDatoMancante);
    m_inAvviso = false;
    setFocus(Qt::OtherFocusReason);
    selectAll();
}
