#pragma once
// Numbered messages of the desktop application: a warning with OK, a Yes/No question, both
// titled with the application name and placed over the window the user is working in.

#include "presentatore.h"

class TdtmPresenze;

class PresentatoreDialogo : public Presentatore {
public:
    explicit PresentatoreDialogo(TdtmPresenze& dtm) : m_dtm(dtm) {}
    void avviso(const QString& testo) override;
    bool domanda(const QString& testo) override;

private:
    TdtmPresenze& m_dtm;
};

// Makes dialogs the presenter of dtm for the rest of its life (the presenter is owned by
// dtm). Safe to call more than once.
void InstallaPresentatoreDialogo(TdtmPresenze& dtm);
