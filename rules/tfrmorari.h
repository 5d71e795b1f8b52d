#pragma once
// "Orari di Lavoro": the list of timetables by name and, for the current one, its punch
// window, expected work, closing mode, rounding steps and overtime minimum and step, read-only.
// Its commands insert and modify timetables through the editor (TfrmOrariEdit), delete the
// current one and print the list. A single-instance child of the main window; the rules
// live in TdtmOrari.

#include "tdtmorari.h"
#include "tdtmpresenze.h"

#include <QMainWindow>

class ComandiArchivio;
class QLineEdit;
class QStandardItemModel;
class QTableView;

class TfrmOrari : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 100;

    explicit TfrmOrari(TdtmOrari& orari, QWidget* parent = nullptr);

    // Reads the closing modes and the timetables again, keeping the timetable `id` current
    // (the first one when it is gone).
    void Initialize(int id = 0);
    // The timetable of the current row; null when the list is empty.
    const DatiOrario* Corrente() const;
    QTableView* Elenco() const { return m_griglia; }
    ComandiArchivio& Comandi() const { return *m_comandi; }

public slots:
    void itmEsciClick();
    void itmStampaClick();
    void btnInserisciClick();
    void btnModificaClick();
    void btnDeleteClick();

private:
    void wwTblOrariAfterScroll();
    void apriEditor(bool inserisci);
    int rigaCorrente() const;

    TdtmOrari& m_orari;
    TdtmPresenze& m_dtm;
    QList<DatiOrario> m_elenco;
    QList<CodiceDescr> m_chiusure;
    ComandiArchivio* m_comandi;
    QStandardItemModel* m_modello;
    QTableView* m_griglia;
    QLineEdit* m_descr;
    QLineEdit* m_prima;
    QLineEdit* m_ultima;
    QLineEdit* m_oreMedie;
    QLineEdit* m_chiusura;
    QLineEdit* m_ingresso;
    QLineEdit* m_uscita;
    QLineEdit* m_minimo;
    QLineEdit* m_arrotStra;
};
