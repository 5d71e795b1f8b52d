#pragma once
// The commands every archive window offers, and the look of its grids, made in one place so
// that each window has the same texts, keys, pictures and colours:
//
//   "&Esci"       Alt+F4                 close the window
//   "&Stampa"     F5                     print
//   "&Inserisci"  F2                     a new record
//   "&Modifica"   F3, double click       the current record
//   "&Cancella"   F4                     the current record, after question 3 (Msg::SclCancella)
//   "&?" / Help   F1                     the window's help topic
//
// A master-data window (timetables, shifts, employees) needs only:
//
//   auto* c = new ComandiArchivio(this, m_dtm, kContestoAiuto);
//   c->Collega(ComandiArchivio::Inserisci, [this] { EditRecord(true); });
//   c->Collega(ComandiArchivio::Modifica, [this] { EditRecord(false); });
//   c->Collega(ComandiArchivio::Cancella, [this] { DeleteRecord(); });   // asked first
//   c->Collega(ComandiArchivio::Stampa, [this] { itmStampaClick(); });
//   c->Collega(ComandiArchivio::Esci, [this] { close(); });
//   c->RiempiMenu(menuBar(), QStringLiteral("&Orari"));   // "&File", "&Orari", "&?"
//   c->RiempiBarra(addToolBar(QStringLiteral("Orari")));
//   AspettoGriglia(m_griglia, m_dtm.cfg());
//   c->ModificaAlDoppioClic(m_griglia);
//   ...
//   c->Azione(ComandiArchivio::Cancella)->setEnabled(riga >= 0);  // menu and button follow
//
// Help is always there (its topic is the constructor's); the other commands exist once
// connected. The menu entries carry the keys; "Esci" and "Help" have toolbar buttons of
// their own without keys ("btnEsci", "btnHelp"), so a toolbar that moves to another
// window (a docked panel) does not take that window's Alt+F4 and F1 with it.

#include <QObject>

#include <array>
#include <functional>

class QAbstractItemView;
class QAction;
class QMenu;
class QMenuBar;
class QTableView;
class QToolBar;
class QWidget;
class TdtmPresenze;
struct TPresenzeCfg;

class ComandiArchivio : public QObject {
    Q_OBJECT
public:
    enum Comando { Esci, Stampa, Inserisci, Modifica, Cancella, Aiuto, NumComandi };

    // finestra: the window whose keys these are (also the QObject parent).
    ComandiArchivio(QWidget* finestra, TdtmPresenze& dtm, int contestoAiuto);

    // Creates the command (objectName "itmEsci", "itmStampa", … "itmAiuto") and runs
    // gestore when it is chosen and enabled.
    QAction* Collega(Comando c, std::function<void()> gestore);
    // The menu entry of a connected command (null otherwise); Aiuto is always there.
    QAction* Azione(Comando c) const { return m_azioni[size_t(c)]; }
    // The toolbar button: the menu entry itself, or for Esci and Aiuto one without keys.
    QAction* Pulsante(Comando c);

    // Cancella asks question 3 before its handler, unless the data module asks it itself.
    void setChiediCancella(bool chiedi) { m_chiediCancella = chiedi; }
    // The help topic of the window (F1, "&?", the Help button).
    int ContestoAiuto() const { return m_contesto; }
    void setContestoAiuto(int contesto) { m_contesto = contesto; }

    // "&File" (Stampa, Esci), then a menu titled archivio with Inserisci, Modifica and
    // Cancella (returned, for the window's own entries; null without them), then "&?".
    QMenu* RiempiMenu(QMenuBar* barra, const QString& archivio);
    // Esci | Inserisci Modifica Cancella | Stampa | Help, as far as connected.
    void RiempiBarra(QToolBar* barra);
    // A double click on a row of vista is "Modifica" (when enabled).
    void ModificaAlDoppioClic(QAbstractItemView* vista);

private:
    QAction* crea(Comando c);
    void esegui(Comando c);

    QWidget* m_finestra;
    TdtmPresenze& m_dtm;
    int m_contesto;
    bool m_chiediCancella = true;
    std::array<QAction*, NumComandi> m_azioni{};
    std::array<std::function<void()>, NumComandi> m_gestori;
    QAction* m_btnEsci = nullptr;
    QAction* m_btnAiuto = nullptr;
};

// How the rows of a grid are chosen: one whole row (archive lists), several whole rows
// (Ctrl/Shift + click), or one cell (grids edited in place).
enum class SelezioneGriglia { Riga, Righe, Cella };

// The grid look of the application: white rows alternating with the configuration's grid
// colour, the selection in a light blue with black text, rows a line high, no row numbers,
// column titles that do not light up with the selection. Riga and Righe lists are
// read-only and select whole rows; Cella grids keep their own editing.
void AspettoGriglia(QTableView* griglia, const TPresenzeCfg& cfg, SelezioneGriglia selezione = SelezioneGriglia::Riga);
