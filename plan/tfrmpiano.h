#pragma once
// "Piano di Lavoro": the clerk picks an employee and a period, confirms, and works on the
// grid of days: changes states and timetables, corrects hours and notes, inspects and edits
// the day's punches, processes one day, the employee or every selected employee, cancels a
// day's processing and prints the work-plan reports. Created once at start-up and hidden
// when closed; the rules live in TdtmPiano, TdtmElab and the reports.

#include <QDate>
#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class QToolButton;
class CampoData;
class TdtmElab;
class TdtmPiano;
class TdtmPresenze;
class TfrmCheck;
class TfrmDetails;
class TfrmStampa;
class TQALight;
class CellaTimbrature;
class SceltaDipendente;

class TfrmPiano : public QMainWindow {
    Q_OBJECT
public:
    TfrmPiano(TdtmPresenze& dtm, TdtmPiano& piano, TdtmElab& elab, QWidget* parent = nullptr);
    ~TfrmPiano() override;

    // Confirm: checks the period, creates its missing days and shows the current employee's.
    void UpdateSelection();
    void UpdateTotals();
    void EnableTotals(bool abilita);
    // "Selezione Dipendenti": the employee query; its result becomes the picker's list.
    void SelezioneDipendenti();

    QDate Dal() const;
    QDate Al() const;
    void ImpostaPeriodo(const QDate& dal, const QDate& al);
    bool SaltaTasto() const { return m_saltaTasto; }

    TQALight& QueryDipendenti() { return *m_query; }
    TfrmDetails& Dettagli() { return *m_dettagli; }
    TfrmCheck& Check() { return *m_check; }
    TfrmStampa& Stampa() { return *m_stampa; }

public slots:
    void btnElaboraClick();
    void btnElabTuttiClick();
    void itmElaboraClick();
    void itmAnnullaClick();
    void itmStampaClick();
    void btnDetailClick(bool premuto);
    void itmAvantiClick();
    void itmIndietroClick();
    void itmEsciClick();

signals:
    // "Anagrafico": the employee register window, opened by whoever owns it.
    void apriAnagrafico();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void FormCreate();
    void creaComandi();
    QWidget* creaSelezione();
    QWidget* creaGriglia();
    QWidget* creaTotali();
    void dipendenteScelto(int riga);
    void statoGriglia(bool aperta);
    void rigaModello(int riga);
    void rigaVista(const QModelIndex& attuale, const QModelIndex& precedente);
    void aggiornaAvantiIndietro();
    void adattaColonne();
    void abilitaConferma(bool abilita);
    bool periodoAccettato();
    void apriCellaTimbrature();
    void chiudiCellaTimbrature();
    void mostraDettagliDaCella();
    void dettagliChiusi();
    void tornaAllaGriglia();
    void menuGriglia(const QPoint& pos);
    void elabora(int idDip, const QDate& dal, const QDate& al);
    bool gestisciTastoGriglia(QKeyEvent* k);
    int rigaCorrente() const;

    TdtmPresenze& m_dtm;
    TdtmPiano& m_piano;
    TdtmElab& m_elab;
    std::unique_ptr<TQALight> m_query;
    std::unique_ptr<TfrmCheck> m_check;
    std::unique_ptr<TfrmDetails> m_dettagli;
    std::unique_ptr<TfrmStampa> m_stampa;

    SceltaDipendente* m_dipendente = nullptr;
    CampoData* m_dal = nullptr;
    CampoData* m_al = nullptr;
    QTableView* m_griglia = nullptr;
    QWidget* m_pannelloGriglia = nullptr;
    QWidget* m_pannelloDettagli = nullptr;
    CellaTimbrature* m_cella = nullptr;
    QGroupBox* m_totali = nullptr;
    QLineEdit* m_totOrd = nullptr;
    QLineEdit* m_totStra = nullptr;
    QLineEdit* m_totPres = nullptr;
    QLineEdit* m_totAss = nullptr;
    QMenu* m_menuGriglia = nullptr;

    QAction* m_itmConferma = nullptr;
    QAction* m_btnOk = nullptr;
    QAction* m_itmDettagli = nullptr;
    QAction* m_itmAvanti = nullptr;
    QAction* m_itmIndietro = nullptr;

    bool m_saltaTasto = false;  // the punch cell was just left: Enter/Space do not reopen it
    bool m_sincronizza = false;  // the view is being moved to the model's row
};
