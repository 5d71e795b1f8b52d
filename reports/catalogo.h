#pragma once
// The report catalogue: which reports a window offers, in the user's language, and the
// preview-or-print choice shared by every report. Headless; the dialog TfrmStampa shows it.

#include <QList>
#include <QString>

class TdtmPresenze;

// The choice made in the print settings dialog: the report code (−1 when nothing was
// chosen) and its description, which becomes the page title.
struct TRecStampa {
    int codice = -1;
    QString descrizione;
};

struct VoceCatalogo {
    int codice = -1;
    QString descrizione;
};

namespace Stampa {

// Reports of a group ("CP", "CD", …) in the current language, in the catalogue's key order.
QList<VoceCatalogo> Catalogo(TdtmPresenze& dtm, const QString& gruppo);
// Description of one report of a group; empty when the catalogue has no such report.
QString DescrizioneStampa(TdtmPresenze& dtm, const QString& gruppo, int codice);
// Stores the preview-or-print choice for every later report and writes it to PRES.INI at
// once, only when it changed; a file that cannot take it is reported (9006).
void ImpostaAnteprima(TdtmPresenze& dtm, bool anteprima);

}  // namespace Stampa
