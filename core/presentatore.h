#pragma once
// Where numbered messages end up: a dialog in the application, a recorder in tests,
// standard error in batch commands. The data modules never know which.

#include <QList>
#include <QString>
#include <QStringList>

class Presentatore {
public:
    virtual ~Presentatore() = default;
    virtual void avviso(const QString& testo) = 0;    // warning with one OK button
    virtual bool domanda(const QString& testo) = 0;   // question with Yes and No
};

// Batch commands: warnings go to standard error; questions are answered with the default.
class PresentatoreStderr : public Presentatore {
public:
    explicit PresentatoreStderr(bool risposta = false) : m_risposta(risposta) {}
    void avviso(const QString& testo) override;
    bool domanda(const QString& testo) override;

private:
    bool m_risposta;
};

// Tests: records every message; questions take the scripted answers in order, then the default.
class PresentatoreRegistro : public Presentatore {
public:
    void avviso(const QString& testo) override { avvisi << testo; }
    bool domanda(const QString& testo) override
    {
        domande << testo;
        return risposte.isEmpty() ? rispostaPredefinita : risposte.takeFirst();
    }
    QStringList avvisi;
    QStringList domande;
    QList<bool> risposte;
    bool rispostaPredefinita = true;
};
