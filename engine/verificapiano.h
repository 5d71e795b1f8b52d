#pragma once
// The work-plan check: when the current employee's days of a period are incomplete, every
// employee gets the missing work-plan days in state 1. The window that shows it only draws
// the progress the hooks report and calls Annulla().

#include <QDate>

#include <functional>

class TdtmPresenze;

class VerificaPiano {
public:
    explicit VerificaPiano(TdtmPresenze& dtm) : m_dtm(dtm) {}

    std::function<void(int)> barraGenerale;                  // overall progress, 0..100
    std::function<void(int valore, int massimo)> barraGiorni;  // employee-days done
    std::function<void()> eventi;                            // lets pending window events run
    std::function<void(bool)> abilitaPiano;                  // disables/enables the work-plan window

    // True when the period's days are complete (already, or after creating them); false
    // when the check was cancelled. Throws ErroreDb on a database failure other than a day
    // that already exists.
    bool StartCheck(const QDate& dataI, const QDate& dataF);
    void Annulla() { m_annulla = true; }

    int GiorniCreati() const { return m_creati; }

private:
    TdtmPresenze& m_dtm;
    bool m_annulla = false;
    int m_creati = 0;
};
