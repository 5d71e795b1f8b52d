#pragma once
// What the department window (TfrmPianta) and the qualification window (TfrmRuolo) share:
// their tree, fully expanded, siblings by name, a branch picture for a unit with sub-units
// and a leaf picture for one without; insertion beside and below the selected unit, renaming
// in place, deletion, and moving a unit with the mouse. The tree is read again after every
// change, so that what another workstation changed meanwhile shows too.
//
// A new unit is only a line of the tree until its name is confirmed: then it is written, and
// takes its id. Confirming it blank, or Esc, takes the line away again.

#include "tdtmpianta.h"

#include <QKeySequence>
#include <QMainWindow>

#include <memory>
#include <optional>

class ComandiArchivio;
class QAction;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TdtmPresenze;
class TfrmStampa;
class VistaAlbero;

class TfrmUnita : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kContestoAiuto = 50;

    TfrmUnita(TdtmPresenze& dtm, TipoAlbero tipo, QWidget* parent = nullptr);
    ~TfrmUnita() override;

    // The selected unit; 0 when none is selected or a new one is still being named.
    int UnitaSelezionata() const;
    const AlberoUnita& Albero() const { return m_albero; }
    TdtmPianta& Pianta() { return m_pianta; }
    // Reads the tree again and selects unit `id` (or, when it is not shown, the top).
    void Aggiorna(int id);
    QSize sizeHint() const override;

    void itmAggiungiClick();   // a new unit beside the selected one (never beside the top)
    void itmAddFiglioClick();  // a new unit under the selected one
    void itmRinominaClick();
    void itmCancellaClick();
    virtual void itmStampaClick() = 0;

protected:
    // A command of the window's own (objectName `nome`), in its archive menu and named on its
    // toolbar, with its key.
    QAction* NuovoComando(const QString& nome, const QString& testo, const QKeySequence& tasto, const QString& icona);
    bool inModifica() const;

    TdtmPresenze& m_dtm;
    TdtmPianta m_pianta;
    std::unique_ptr<TfrmStampa> m_stampa;

private:
    void riempi(int selezionare);
    void nuovaUnita(bool figlio);
    // How an in-place editing ended: on the new unit or on unit `id`, with the text handed
    // over (none after Esc).
    struct Chiusura {
        bool nuova = false;
        int id = 0;
        std::optional<QString> testo;
    };
    void fineModifica(const Chiusura& c);
    void scriviNuova(const QString& testo);
    void rinomina(int id, const QString& testo);
    void riapri(QTreeWidgetItem* voce, const QString& testo);
    void sposta(int id, int bersaglio, bool sotto);
    void aggiornaComandi();
    QTreeWidgetItem* voce(int id) const;

    AlberoUnita m_albero;
    VistaAlbero* m_vista = nullptr;
    ComandiArchivio* m_comandi = nullptr;
    QMenu* m_menuArchivio = nullptr;
    QToolBar* m_barra = nullptr;
    QAction* m_itmAddFiglio = nullptr;
    bool m_gruppoFinestra = false;
    // The new unit being named, its parent, and the unit selected before it.
    QTreeWidgetItem* m_nuova = nullptr;
    int m_padreNuova = 0;
    int m_primaDellaNuova = 0;
    // The text the in-place editor handed over; unset when it was closed with Esc.
    std::optional<QString> m_testoEditato;
    QTreeWidgetItem* m_voceEditata = nullptr;
    int m_chiusureInAttesa = 0;
};
