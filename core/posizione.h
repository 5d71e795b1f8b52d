#pragma once
// Tool windows and dialogs that come back where the user left them, kept in PRES.INI
// [Desktop] (Configurazione::LeggiPosizione). A window calls RipristinaPosizione before it
// first shows and MemorizzaPosizione when it hides:
//
//   if (!m_posizionata) { RipristinaPosizione(this, m_dtm, "Dettagli", primoPosto); m_posizionata = true; }
//   void hideEvent(QHideEvent* e) override { MemorizzaPosizione(this, m_dtm, "Dettagli"); ... }

#include <QPoint>
#include <QString>

class QWidget;
class TdtmPresenze;

// Puts w at its stored geometry when that is still on a screen; otherwise moves it to
// primoPosto (the window's own sensible first place, its top-left corner), kept on the
// screen.
void RipristinaPosizione(QWidget* w, TdtmPresenze& dtm, const QString& finestra, const QPoint& primoPosto);
// Stores w's geometry; a PRES.INI that cannot be written is told (Msg::ErrConfigurazione).
void MemorizzaPosizione(const QWidget* w, TdtmPresenze& dtm, const QString& finestra);
