#include "campoora.h"

#include "campodata.h"
#include "tdtmpresenze.h"
#include "testiora.h"

#include <QFocusEvent>
#include <QRegularExpression>

CampoOra::CampoOra(TdtmPresenze& dtm, QWidget* parent) : QLineEdit(parent), m_dtm(dtm)
{
    // The first hour digit may be left blank (" 8:30").
    setInputMask(QStringLiteral("90:00;_"));
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 24);
}

QTime CampoOra::Ora() const
{
    static const QRegularExpression forma(QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})$"));
    const auto m = forma.match(displayText());
    if (!m.hasMatch())
        return {};
    return QTime(m.captured(1).toInt(), m.captured(2).toInt());
}

void CampoOra::setOra(const QTime& ora)
{
    setText(TestiOra::FormatoOra(QLatin1Char(':'), ora));
    setModified(false);
}

void CampoOra::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (!UscitaDellUtente(e->reason()))
        return;
    if (!m_sempre && !isModified())
        return;
    // Once the focus change under way is over, or it would win over the refusal.
    QMetaObject::invokeMethod(this, &CampoOra::verifica, Qt::QueuedConnection);
}

void CampoOra::verifica()
{
    if (m_inAvviso || !m_controllo)
        return;
    const int errore = m_controllo();
    if (errore == 0)
        return;
    m_inAvviso = true;
    m_dtm.MostraErrore(errore);
    m_inAvviso = false;
    setFocus(Qt::OtherFocusReason);
    selectAll();
}
