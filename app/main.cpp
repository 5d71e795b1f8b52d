// quorlin: without a command the main window; with a command a headless batch run.

#include "avvio.h"
#include "comandi.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList argomenti;
    for (int i = 1; i < argc; ++i)
        argomenti << QString::fromLocal8Bit(argv[i]);
    RigaDiComando riga;
    QString errore;
    if (!Comandi::Analizza(argomenti, &riga, &errore)) {
        QCoreApplication app(argc, argv);
        std::fprintf(stderr, "%s\n\n%s\n", errore.toLocal8Bit().constData(), Comandi::Aiuto().toLocal8Bit().constData());
        return 2;
    }
    if (riga.comando.isEmpty() && !riga.aiuto) {
        QApplication app(argc, argv);
        if (riga.fileIni.isEmpty())
            riga.fileIni = Comandi::FileIniPredefinito();
        return AvviaApplicazione(app, riga.fileIni);
    }
    QCoreApplication app(argc, argv);
    if (riga.fileIni.isEmpty())
        riga.fileIni = Comandi::FileIniPredefinito();
    return Comandi::Esegui(riga);
}
