#pragma once
// Start-up of the windowed application: main data module, login, main window, the other
// data modules in their fixed order, then the event loop.

#include <QString>

class QApplication;

int AvviaApplicazione(QApplication& app, const QString& fileIni);
