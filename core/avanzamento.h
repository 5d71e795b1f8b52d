#pragma once
// Where the progress of long work ends up: a dialog with "Annulla" in the application, a
// bar on standard error in batch commands, a recorder in tests. The data modules report
// phases and units of work and ask between units whether to stop; they never know which.
//
// A run calls Inizia for each phase, Valore as units complete, Annullato between units
// (the desktop lets pending events run there, so the window repaints and "Annulla" can be
// pressed) and Termina once at the end, however the run ends.

#include <QList>
#include <QString>
#include <QStringList>

class Avanzamento {
public:
    virtual ~Avanzamento() = default;
    // A new phase of `massimo` units (0 when the count is not known).
    virtual void Inizia(const QString& titolo, int massimo) = 0;
    // Units of the current phase done so far.
    virtual void Valore(int valore) = 0;
    // True once the user asked to stop; the run then ends at the next unit boundary.
    virtual bool Annullato() = 0;
    virtual void Termina() = 0;
};

// Work too short to report: nothing shown, never cancelled.
class AvanzamentoNullo : public Avanzamento {
public:
    void Inizia(const QString&, int) override {}
    void Valore(int) override {}
    bool Annullato() override { return false; }
    void Termina() override {}
};

// Batch commands: "title [#####.....]  42% (n/m)" redrawn on one line of standard error
// when it is a terminal, nothing otherwise (a redirected log stays clean). Never cancelled.
class AvanzamentoStderr : public Avanzamento {
public:
    AvanzamentoStderr();
    ~AvanzamentoStderr() override;
    void Inizia(const QString& titolo, int massimo) override;
    void Valore(int valore) override;
    bool Annullato() override { return false; }
    void Termina() override;

    // The text of the bar for a value, without the leading carriage return.
    static QString Barra(const QString& titolo, int valore, int massimo);

private:
    bool m_terminale;
    bool m_aperta = false;
    QString m_titolo;
    int m_massimo = 0;
    int m_ultimo = -1;
};

// Tests: records every call as text ("Inizia <titolo> <massimo>", "Valore <n>",
// "Termina"); Annullato() answers true from the annullaDopo-th query on (0: never).
class AvanzamentoRegistro : public Avanzamento {
public:
    void Inizia(const QString& titolo, int massimo) override { chiamate << QStringLiteral("Inizia %1 %2").arg(titolo).arg(massimo); }
    void Valore(int valore) override
    {
        chiamate << QStringLiteral("Valore %1").arg(valore);
        valori << valore;
    }
    bool Annullato() override
    {
        ++domande;
        return annullaDopo > 0 && domande >= annullaDopo;
    }
    void Termina() override { chiamate << QStringLiteral("Termina"); }

    QStringList chiamate;
    QList<int> valori;
    int domande = 0;
    int annullaDopo = 0;
};
