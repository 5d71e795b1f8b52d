#include "campodata.h"

#include "icone.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QScreen>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kFormato = QStringLiteral("dd/MM/yyyy");

bool tastoInvio(const QKeyEvent* e)
{
    const Qt::KeyboardModifiers m = e->modifiers() & ~Qt::KeypadModifier;
    return (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && m == Qt::NoModifier;
}

}  // namespace

bool UscitaDellUtente(Qt::FocusReason r)
{
    return r == Qt::TabFocusReason || r == Qt::BacktabFocusReason || r == Qt::MouseFocusReason || r == Qt::ShortcutFocusReason;
}

CampoData::CampoData(TdtmPresenze& dtm, QWidget* parent) : QLineEdit(parent), m_dtm(dtm)
{
    // Every digit has its place: the separators are never typed, and a half-typed date
    // cannot pass for a whole one.
    setInputMask(QStringLiteral("99/99/9999;_"));
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 44);
    setToolTip(QStringLiteral("gg/mm/aaaa"));

    m_btnCalendario = addAction(IconaComando(QStringLiteral("calendario")), QLineEdit::TrailingPosition);
    m_btnCalendario->setObjectName(QStringLiteral("btnCalendario"));
    m_btnCalendario->setToolTip(QStringLiteral("Calendario (Alt+Giù)"));
    connect(m_btnCalendario, &QAction::triggered, this, &CampoData::MostraCalendario);

    m_tendina = new QFrame(this, Qt::Popup);
    m_tendina->setObjectName(QStringLiteral("pnlCalendario"));
    m_tendina->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_calendario = new QCalendarWidget(m_tendina);
    m_calendario->setObjectName(QStringLiteral("calCalendario"));
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    m_calendario->setLocale(italiano);
    m_calendario->setFirstDayOfWeek(Qt::Monday);
    m_calendario->setGridVisible(true);
    m_calendario->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    QTextCharFormat festivo = m_calendario->weekdayTextFormat(Qt::Saturday);
    festivo.setForeground(QColor(0xC0, 0x30, 0x30));
    m_calendario->setWeekdayTextFormat(Qt::Saturday, festivo);
    m_calendario->setWeekdayTextFormat(Qt::Sunday, festivo);
    auto* l = new QVBoxLayout(m_tendina);
    l->setContentsMargins(1, 1, 1, 1);
    l->addWidget(m_calendario);
    connect(m_calendario, &QCalendarWidget::clicked, this, &CampoData::scelta);
    connect(m_calendario, &QCalendarWidget::activated, this, &CampoData::scelta);

    connect(this, &QLineEdit::textEdited, this, &CampoData::testoCambiato);
    setDate(QDate());
}

void CampoData::setDate(const QDate& data)
{
    const QDate prima = m_data;
    m_data = data.isValid() ? data : QDate();
    setText(m_data.isValid() ? m_data.toString(kFormato) : QString());
    if (m_data != prima)
        emit dateChanged(m_data);
}

namespace {

// Nothing typed: the mask's separators only.
bool senzaCifre(const QString& testo)
{
    return std::none_of(testo.cbegin(), testo.cend(), [](QChar c) { return c.isDigit(); });
}

}  // namespace

bool CampoData::TestoValido() const
{
    if (m_facoltativa && senzaCifre(text()))
        return true;
    return hasAcceptableInput() && QDate::fromString(text(), kFormato).isValid();
}

void CampoData::testoCambiato()
{
    if (!TestoValido())
        return;
    const QDate d = senzaCifre(text()) ? QDate() : QDate::fromString(text(), kFormato);
    if (d != m_data) {
        m_data = d;
        emit dateChanged(m_data);
    }
}

bool CampoData::Accetta()
{
    if (TestoValido()) {
        testoCambiato();
        return true;
    }
    rifiuta();
    return false;
}

void CampoData::rifiuta()
{
    if (m_inAvviso)
        return;
    m_inAvviso = true;
    m_dtm.MostraErrore(Msg::ErrDataNonValida);
    m_inAvviso = false;
    // The last date comes back in sight, whole, ready to be typed over.
    setText(m_data.isValid() ? m_data.toString(kFormato) : QString());
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

void CampoData::scelta(const QDate& data)
{
    m_tendina->hide();
    setDate(data);
    setFocus(Qt::PopupFocusReason);
    selectAll();
}

void CampoData::MostraCalendario()
{
    m_selezionaAlClic = false;
    m_calendario->setSelectedDate(TestoValido() && !senzaCifre(text()) ? QDate::fromString(text(), kFormato) : (m_data.isValid() ? m_data : m_dtm.Oggi()));
    m_tendina->adjustSize();
    // Under the field, or above it when the screen ends first.
    QPoint punto = mapToGlobal(QPoint(0, height()));
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        if (punto.y() + m_tendina->height() > area.bottom())
            punto.setY(mapToGlobal(QPoint(0, 0)).y() - m_tendina->height());
        punto.setX(std::clamp(punto.x(), area.left(), std::max(area.left(), area.right() - m_tendina->width())));
    }
    m_tendina->move(punto);
    m_tendina->show();
    m_calendario->setFocus(Qt::PopupFocusReason);
}

bool CampoData::event(QEvent* e)
{
    // Enter usually belongs to the window (its confirmation). A text that is no date keeps
    // it here, so that the refusal comes before any command reads the field.
    if (e->type() == QEvent::ShortcutOverride && tastoInvio(static_cast<QKeyEvent*>(e)) && !TestoValido()) {
        e->accept();
        return true;
    }
    return QLineEdit::event(e);
}

void CampoData::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    if (e->reason() == Qt::MouseFocusReason)
        m_selezionaAlClic = true;  // the press that follows would place the caret
    else if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        selectAll();
}

void CampoData::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    m_selezionaAlClic = false;
    // Checked once the click or key that moved the focus is over: a command it started (a
    // "Conferma" button) takes the text first and meets the refusal itself, instead of
    // finding the last date back in the field and going on with it.
    if (UscitaDellUtente(e->reason()) && !TestoValido())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!TestoValido())
                    rifiuta();
            },
            Qt::QueuedConnection);
}

void CampoData::mousePressEvent(QMouseEvent* e)
{
    QLineEdit::mousePressEvent(e);
    if (m_selezionaAlClic) {
        m_selezionaAlClic = false;
        selectAll();
    }
}

void CampoData::keyPressEvent(QKeyEvent* e)
{
    if (tastoInvio(e) && !TestoValido()) {
        rifiuta();
        return;
    }
    if (e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier)) {
        MostraCalendario();
        return;
    }
    QLineEdit::keyPressEvent(e);
}
