#pragma once
// The desktop side of start-up, for the application's entry point. The entry point opens
// the databases (with dtm.login = EseguiLogin) between the two calls:
//
//   QApplication app(argc, argv);
//   TdtmPresenze dtm;
//   PreparaInterfaccia(app, dtm);     // dialogs for messages, Italian texts, tool-tips
//   dtm.login = EseguiLogin;
//   if (!dtm.Apri(fileIni, ...)) return 0;
//   return AvviaInterfaccia(app, dtm);

#include <functional>

class QApplication;
class TdtmPresenze;
class TfrmPresenze;

// Numbered messages as dialogs, Italian texts in the standard dialogs (colour choice,
// Yes/No buttons), dates in Italian, tool-tips without delay. Safe to call more than once.
void PreparaInterfaccia(QApplication& app, TdtmPresenze& dtm);

// PreparaInterfaccia, then the main window maximised, the idle flush of the database
// (every committed change reaches the disk once the user is idle, at most once a second),
// and the event loop until the main window closes. Returns the loop's exit code.
// `finestre` creates the long-lived windows of the other libraries once the main window
// exists and registers their commands on it.
int AvviaInterfaccia(QApplication& app, TdtmPresenze& dtm, const std::function<void(TfrmPresenze&)>& finestre = {});
