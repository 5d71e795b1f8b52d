#pragma once
// Labels of required fields are drawn in the required-field colour of the configuration.

class QWidget;
class TdtmPresenze;

// An editing control names the field it edits in its dynamic property "campo"
// ("Tabella.Campo"). Every label whose buddy names a required field, and every check box
// that names one itself, takes the colour ColoreReqd; the others keep the window's colour.
void EvidenziaObbligatori(QWidget* finestra, TdtmPresenze& dtm);
