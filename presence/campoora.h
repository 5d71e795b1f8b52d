#pragma once
// An hours-and-minutes field of the present/absent window ("O&ra", "Da&lle", "&Alle"): digits
// typed over "__:__". When the user leaves it (Tab, a click, an Alt letter) its check runs;
// a refusal shows its message and puts the focus back, the text as typed.

#include <QLineEdit>
#include <QTime>

#include <functional>

class TdtmPresenze;

class CampoOra : public QLineEdit {
    Q_OBJECT
public:
    // The check returns the number of the message that refuses the field, or 0.
    using Controllo = std::function<int()>;

    CampoOra(TdtmPresenze& dtm, QWidget* parent = nullptr);

    // The time shown; invalid when the text is not a time of day.
    QTime Ora() const;
    void setOra(const QTime& ora);
    void setControllo(Controllo c, bool ancheSenzaModifiche)
    {
        m_controllo = std::move(c);
        m_sempre = ancheSenzaModifiche;
    }

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    void verifica();

    TdtmPresenze& m_dtm;
    Controllo m_controllo;
    bool m_sempre = false;
    bool m_inAvviso = false;
};
