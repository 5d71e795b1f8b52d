#pragma once
// The headless commands of the quorlin executable. They need no display: messages go to
// standard error, results to standard output.

#include <QString>
#include <QStringList>

struct RigaDiComando {
    QString fileIni;      // --ini FILE; empty: FileIniPredefinito()
    QString comando;      // empty: open the main window
    QStringList opzioni;  // what follows the command
    bool aiuto = false;   // --help before any command
};

namespace Comandi {

// Splits the arguments (without the program name). Returns false with the offending
// argument in *errore when they cannot be understood.
bool Analizza(const QStringList& argomenti, RigaDiComando* riga, QString* errore);
// PRES.INI used when --ini is not given: the one in the executable's folder.
QString FileIniPredefinito();
bool Esiste(const QString& comando);
// True for a command that draws pages (it needs a graphics application object, not a display).
bool RichiedeGrafica(const RigaDiComando& riga);
// Runs a command; returns the exit status.
int Esegui(const RigaDiComando& riga);
// The general help text (the command list).
QString Aiuto(const QString& comando = {});

}  // namespace Comandi
