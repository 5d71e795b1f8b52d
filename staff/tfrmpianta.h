#pragma once
// The two windows of the organisation chart. "Reparto" (TfrmPianta) edits the department tree
// and opens "Qualifica" (TfrmRuolo), which edits the qualification tree and, for the
// department selected in "Reparto" and its own selected qualification, lists their employees
// in the register or prints their staff. The main window keeps one of each (command
// "Organico", and "Qualifica" for the second).

#include "tfrmunita.h"

#include <functional>

class TfrmPianta : public TfrmUnita {
    Q_OBJECT
public:
    explicit TfrmPianta(TdtmPresenze& dtm, QWidget* parent = nullptr);

    void itmStampaClick() override;

signals:
    // "Qualifica" (F7).
    void apriQualifica();
};

class TfrmRuolo : public TfrmUnita {
    Q_OBJECT
public:
    // repartoScelto: the unit selected in the department window, 0 while that window is
    // closed or has none.
    TfrmRuolo(TdtmPresenze& dtm, std::function<int()> repartoScelto, QWidget* parent = nullptr);

    void itmStampaClick() override;
    // The employees of the two units with their sub-units, or of the two units alone, into
    // TAnagCk; then the register is asked to show them (1115 instead when there is none).
    void btnAnagraficoFullClick();
    void btnAnagraficoClick();

signals:
    // TAnagCk holds the employees to show in the register.
    void apriAnagrafico();

private:
    void elenca(bool sottounita);
    std::function<int()> m_repartoScelto;
};

class TfrmPresenze;

// Registers "Qualifica" and "Organico" with the main window's commands, the qualification
// window first so that the main window closes it first. "Qualifica" of the department window
// opens the other through the registry, and the qualification window reads the department
// window's selection through it. Once an employee list is in TAnagCk, `mostraAnagrafico`
// brings the register forward showing it; without one, "Dipendenti" is run.
void RegistraOrganico(TfrmPresenze& frm, TdtmPresenze& dtm, std::function<void()> mostraAnagrafico = {});
