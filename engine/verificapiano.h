#pragma once
// The work-plan check: when the employee's days of a period are incomplete, every employee
// gets the missing work-plan days in state 1. Its progress and its cancel go through an
// Avanzamento: the check window in the application, a bar in the batch command.

#include <QDate>

class Avanzamento;
class TdtmPresenze;

class VerificaPiano {
public:
    explicit VerificaPiano(TdtmPresenze& dtm) : m_dtm(dtm) {}

    // Decides on idDip's days of the period alone. Two phases: the decision (one unit),
    // then the employee-days to create, asking Annullato() before each insert. True when
    // the period's days are complete (already, or after creating them); false when the
    // check was cancelled (what was inserted stays). Throws ErroreDb on a database failure
    // other than a day that already exists.
    bool StartCheck(int idDip, const QDate& dataI, const QDate& dataF, Avanzamento& avanzamento);

    int GiorniCreati() const { return m_creati; }

private:
    TdtmPresenze& m_dtm;
    int m_creati = 0;
};
