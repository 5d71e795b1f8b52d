#pragma once
// TQALight: the employee selection query as a component. A window that needs a set of
// people owns one, sets it up once and calls Execute; the component runs the search
// dialog, keeps the conditions between uses, and leaves the chosen people in a selection
// table of the work database. Headless: the dialog is supplied by the user-interface layer
// (RegistraDialogoQA in tdlgquerylight.h), tests may supply their own.
//
// Use:
//     TQALight q(dtm);                          // once, e.g. as a member of the window
//     q.setTempTableName(QStringLiteral("SelPiano"));
//     const int r = q.Execute(this);            // modal
//     if (r == TQALight::RisSelezione)          // the people are in the selection table
//         sql = q.IstruzioneSelezione();        // "SELECT * FROM ':dbPresUt:SelPiano' ORDER BY Cognome, Nome, Id"
//     else if (r == TQALight::RisTutti)         // no condition and nothing marked: everybody
//         sql = q.IstruzioneSelezione();        // "SELECT * FROM Anagrafico ORDER BY ..."
//     // RisAnnullato: nothing changed, the selection table keeps its earlier content
//
// The selection table holds Id, Matricola, Cognome, Nome, Libero, Classe (and, with
// dmProfile, the fields of Profilo), one row per person; statements name it
// "':dbPresUt:<TempTableName>'".

#include "ricercaanagrafico.h"

#include <functional>
#include <memory>

class QWidget;
class TdtmPresenze;
class TQALight;

// The search dialog as the component sees it.
class DialogoQA {
public:
    virtual ~DialogoQA() = default;
    // Shows the dialog modally over parent, on the conditions page or on the results page,
    // and returns its result (TQALight::RisSelezione, RisTutti or RisAnnullato).
    virtual int Esegui(QWidget* parent, bool paginaRicerca) = 0;
};

// Builds the dialog of a component; called at the first use (and at every use with FreeDialog).
using FabbricaDialogoQA = std::function<std::unique_ptr<DialogoQA>(TQALight& qa)>;

class TQALight {
public:
    enum Risultato {
        RisSelezione = RicercaAnagrafico::RisSelezione,  // people copied into the selection table
        RisAnnullato = RicercaAnagrafico::RisAnnullato,  // cancelled
        RisTutti = RicercaAnagrafico::RisTutti           // all people
    };

    explicit TQALight(TdtmPresenze& dtm);
    ~TQALight();
    TQALight(const TQALight&) = delete;
    TQALight& operator=(const TQALight&) = delete;

    // --- Settings ----------------------------------------------------------------------
    // Database of the people tables ("DBPresenze").
    QString DataBaseName() const { return m_ricerca.impostazioni().dataBaseName; }
    void setDataBaseName(const QString& nome) { m_ricerca.impostazioni().dataBaseName = nome; }
    // Database of the selection table: the work database "DBPresUt".
    QString TempDataBaseName() const { return m_ricerca.impostazioni().tempDataBaseName; }
    void setTempDataBaseName(const QString& nome) { m_ricerca.impostazioni().tempDataBaseName = nome; }
    // Selection table; "AnagraficoSelezione" unless set.
    QString TempTableName() const { return m_ricerca.impostazioni().tempTableName; }
    void setTempTableName(const QString& nome) { m_ricerca.impostazioni().tempTableName = nome; }
    // Copy the chosen people into the selection table (true).
    bool DumpTable() const { return m_ricerca.impostazioni().dumpTable; }
    void setDumpTable(bool b) { m_ricerca.impostazioni().dumpTable = b; }
    // Clear the conditions at every use (false).
    bool AutoReset() const { return m_autoReset; }
    void setAutoReset(bool b) { m_autoReset = b; }
    // Destroy the dialog, and with it the conditions, after every use (false).
    bool FreeDialog() const { return m_freeDialog; }
    void setFreeDialog(bool b) { m_freeDialog = b; }
    // Open on the conditions page, else on the results of the last search (true).
    bool StartOnSearchPage() const { return m_startOnSearchPage; }
    void setStartOnSearchPage(bool b) { m_startOnSearchPage = b; }
    // Which class of people is searched (ctSelect: any). dmProfile requires ctEmployees:
    // a setting that breaks that rule throws std::invalid_argument and changes nothing.
    ClasseRicerca ClassTypeFilter() const { return m_ricerca.impostazioni().classe; }
    void setClassTypeFilter(ClasseRicerca c);
    ModoCopia DumpMode() const { return m_ricerca.impostazioni().modo; }
    void setDumpMode(ModoCopia m);
    // The dialog exists (after the first use, unless FreeDialog).
    bool ActiveDialog() const { return bool(m_dialogo); }

    // --- Use ---------------------------------------------------------------------------
    // Runs the dialog modally over parent; stores and returns its result. When the people
    // tables cannot be read the error is shown and the result is RisAnnullato. Throws
    // std::logic_error when no dialog was registered.
    int Execute(QWidget* parent = nullptr);
    int Result() const { return m_result; }
    // "Cognome;Nome", "Matricola", "Libero" or empty, from the order chosen in the dialog.
    QString SortFields() const { return m_sortFields; }
    // The people of the last result in the chosen order, ready to run: the selection table,
    // or after RisTutti the register (of the class searched, when one is set).
    QString IstruzioneSelezione(const QString& campi = QStringLiteral("*")) const;

    TdtmPresenze& dtm() { return m_dtm; }
    RicercaAnagrafico& Ricerca() { return m_ricerca; }

    // The dialog every component uses, installed once by the user-interface layer.
    static void RegistraFabbrica(FabbricaDialogoQA f);
    // A dialog for this component only (tests).
    void setFabbrica(FabbricaDialogoQA f) { m_fabbrica = std::move(f); }

private:
    TdtmPresenze& m_dtm;
    RicercaAnagrafico m_ricerca;
    FabbricaDialogoQA m_fabbrica;
    std::unique_ptr<DialogoQA> m_dialogo;
    bool m_autoReset = false;
    bool m_freeDialog = false;
    bool m_startOnSearchPage = true;
    int m_result = RisAnnullato;
    QString m_sortFields;
};
