#pragma once
// "Anagrafico": the employee register. The list of employees (personnel number, surname, first
// name; a click on a column title orders by it) and, for the current one, his badge, dates,
// department, qualification, level, rotation, holiday timetable, overtime authorisation and
// notes, read-only. Its commands insert and modify employees through the editor (TfrmAnagEdit),
// delete the current one with all his data, narrow the list through the employee search
// ("Seleziona", F8), print the lists and import employees from a CSV file. A single-instance
// child of the main window; the rules live in TdtmAnagrafico.

#include "tdtmanagrafico.h"
#include "tqalight.h"

#include <QMainWindow>

class ComandiArchivio;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QStandardItemModel;
class QTableView;

class TfrmAnagrafico : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 60;

    explicit TfrmAnagrafico(TdtmAnagrafico& anag, QWidget* parent = nullptr);

    // Reads the list again, keeping employee `id` current (the first one when he is gone).
    void Initialize(int id = 0);
    // The list shows the employees of the selection table TAnagCk, by name: what another
    // window (the organisation chart) put there.
    void MostraSelezione();
    bool SoloSelezione() const { return m_soloSelezione; }
    OrdineAnag Ordine() const { return m_ordine; }

    // The employee of the current row; null when the list is empty.
    const DatiDipendente* Corrente() const;
    QTableView* Elenco() const { return m_griglia; }
    ComandiArchivio& Comandi() const { return *m_comandi; }
    TQALight& QryAnagLight() { return m_qa; }

public slots:
    void btnEsciClick();
    void itmStampaClick();
    void btnInserisciClick();
    void btnModificaClick();
    void btnDeleteClick();
    void btnRicercaClick();
    void itmImportaClick();
    // The import of a file already chosen (the command asks for it first).
    void Importa(const QString& file);

private:
    void wwTblAnagraficoAfterScroll();
    void ordina(int colonna);
    void apriEditor(const DatiDipendente& d);
    int rigaCorrente() const;

    TdtmAnagrafico& m_anag;
    TdtmPresenze& m_dtm;
    TQALight m_qa;
    QList<DatiDipendente> m_elenco;
    OrdineAnag m_ordine = OrdineAnag::Nominativo;
    bool m_soloSelezione = false;
    ComandiArchivio* m_comandi;
    QStandardItemModel* m_modello;
    QTableView* m_griglia;
    QLineEdit* m_badge;
    QLineEdit* m_assunzione;
    QLineEdit* m_licenziamento;
    QLineEdit* m_reparto;
    QLineEdit* m_qualifica;
    QLineEdit* m_livello;
    QLineEdit* m_turno;
    QLineEdit* m_festivo;
    QCheckBox* m_autorizzato;
    QPlainTextEdit* m_note;
};
