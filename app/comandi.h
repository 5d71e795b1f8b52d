#pragma once
// The headless commands of the quorlin executable, declared in one table (comandi.cpp) and
// parsed with QCommandLineParser. They need no display: messages go to standard error,
// results to standard output. Exit status: 0 done, 1 failed, 2 arguments not valid.

#include <QString>
#include <QStringList>

struct RigaDiComando {
    QString fileIni;      // --ini FILE; empty: FileIniPredefinito()
    QString comando;      // empty: open the main window
    QStringList opzioni;  // what follows the command
    bool aiuto = false;   // --help before any command
};

namespace Comandi {

// Splits the arguments (without the program name) into the program's options, the command
// and the command's own arguments. Returns false with the offending argument in *errore
// when they cannot be understood (an unknown option, a missing value, --ini given twice).
bool Analizza(const QStringList& argomenti, RigaDiComando* riga, QString* errore);
// PRES.INI used when --ini is not given: the one in the executable's folder (once the
// application object exists).
QString FileIniPredefinito();
// True for a command that draws pages (it needs a graphics application object, not a display).
bool RichiedeGrafica(const RigaDiComando& riga);
// Checks the command's arguments against its table row, then runs it; returns the exit status.
int Esegui(const RigaDiComando& riga);
// The general help text (the command list).
QString Aiuto(const QString& comando = {});

}  // namespace Comandi
