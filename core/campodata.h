#pragma once
// The date field of every window: "gg/mm/aaaa", typed digit by digit or picked from the
// calendar (the button at its right, or Alt+Down).
//
// It holds exactly the date typed, or refuses it. A text that is no date of the calendar
// (31/11, 29/02 of a common year, a day or month 00, a half-typed date) is refused when the
// user leaves the field or presses Enter: message Msg::ErrDataNonValida, the field shows its
// last date again, keeps the focus and selects the whole text. A complete, valid text is
// taken at once, so date() is the date shown. An optional field also takes an empty text,
// as no date. Entering the field by Tab, by its label's Alt
// letter or by a click selects the whole text: typing always starts again from the day,
// and never meets a day clamped to the month that happens to be shown.
//
// Use:
//   auto* dal = new CampoData(dtm, pannello);     // dateChanged(QDate) after every change
//   dal->setDate(inizio);
//   ...
//   // A command that can start while a date is being typed (a toolbar button, a menu
//   // entry) takes the typed text first, and stops when it is refused:
//   if (!dal->Accetta()) return;

#include <QDate>
#include <QLineEdit>

// A focus change the user makes inside the window: only these count as leaving a field that
// checks what was typed. The window losing activation, a menu, a calendar or the message box
// itself do not.
bool UscitaDellUtente(Qt::FocusReason r);

class QAction;
class QCalendarWidget;
class QFrame;
class TdtmPresenze;

class CampoData : public QLineEdit {
    Q_OBJECT
public:
    explicit CampoData(TdtmPresenze& dtm, QWidget* parent = nullptr);

    QDate date() const { return m_data; }
    void setDate(const QDate& data);

    // Takes the typed text. True when it is a date (date() now returns it); false after the
    // refusal (message shown, the last date back in the field, the focus kept).
    bool Accetta();
    // Whether the text shown is a complete, valid date (or, in an optional field, nothing).
    bool TestoValido() const;
    // An optional date (a leaving date) may be left empty: then date() is invalid.
    void setFacoltativa(bool facoltativa) { m_facoltativa = facoltativa; }

    // The calendar of the drop-down (Monday first, holidays in red), for windows that
    // mark days of their own.
    QCalendarWidget* calendarWidget() const { return m_calendario; }
    void MostraCalendario();

signals:
    void dateChanged(const QDate& data);

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void testoCambiato();
    void rifiuta();
    void scelta(const QDate& data);

    TdtmPresenze& m_dtm;
    QDate m_data;
    bool m_selezionaAlClic = false;
    bool m_inAvviso = false;
    bool m_facoltativa = false;
    QAction* m_btnCalendario;
    QFrame* m_tendina;
    QCalendarWidget* m_calendario;
};
