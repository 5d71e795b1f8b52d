#pragma once
// The hh:mm field of the timetable windows ("Ore Medie", "Prima", "Ultima"): four digits
// typed over "__:__". Leaving it by Tab, a click or an Alt letter after changing it checks
// that it holds a time of day (00:00 to 23:59); if not, message 103 and the field takes the
// focus back with the text as typed, ready to be corrected.

#include <QLineEdit>

#include <optional>

class TdtmPresenze;

class CampoOrologio : public QLineEdit {
    Q_OBJECT
public:
    CampoOrologio(TdtmPresenze& dtm, QWidget* parent = nullptr);

    // The minutes of day shown; none when the text is not a time of day.
    std::optional<int> Minuti() const;
    void setMinuti(int minuti);

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    void rifiuta();

    TdtmPresenze& m_dtm;
    bool m_inAvviso = false;
};
