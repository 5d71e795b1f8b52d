#pragma once
// Command pictures of the toolbars and dialogs, drawn at run time so that they stay sharp
// at every size and share one palette and one line weight. Headless (QtGui only).

#include <QIcon>
#include <QString>
#include <QStringList>

// One picture per command: "esci", "aiuto", "organico", "dipendenti", "orari", "turni",
// "calendario", "piano", "note", "presenti", "acquisizione", "impostazioni", "lingua",
// "mostra", "nascondi", "inserisci", "modifica", "cancella", "conferma", "annulla",
// "indietro", "avanti", "sommario", "applicazione", "stampa", "salva", "seleziona", "importa".
// An unknown name
// gives a null icon.
QIcon IconaComando(const QString& nome);
QStringList NomiIcone();
