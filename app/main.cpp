// quorlin: without a command the main window; with a command a headless batch run.

#include "avvio.h"
#include "comandi.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// The graphics platform wants a private runtime folder; a batch run under cron or ssh often
// has none, and would print a warning on every run.
void PreparaCartellaRuntime()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString dir = QDir::temp().filePath(QStringLiteral("quorlin-runtime-%1").arg(::getuid()));
    if (QDir().mkpath(dir) && QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
}

}  // namespace

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
        return AvviaApplicazione(app, riga.fileIni.isEmpty() ? Comandi::FileIniPredefinito() : riga.fileIni);
    }
    if (Comandi::RichiedeGrafica(riga)) {
        // Pages are drawn with fonts, which need a graphics platform but no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        PreparaCartellaRuntime();
        QGuiApplication app(argc, argv);
        return Comandi::Esegui(riga);
    }
    QCoreApplication app(argc, argv);
    return Comandi::Esegui(riga);
}
