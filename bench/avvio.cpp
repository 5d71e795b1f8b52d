// quorlin-bench-avvio: how long the user waits for the program to start.
//  - The main window on the demo company: from launching a process to the first paint of the
//    main window. The process is this program started again with --finestra. It starts the
//    application exactly as `quorlin` does, with the same libraries, and it leaves at once
//    when the main window paints. So the figure covers loading, opening the databases, the
//    data modules and building the window, and no teardown.
//  - `quorlin --help`, from launch to exit.
//
//   quorlin-bench-avvio [--volte N]
//
// The window is drawn on the display DISPLAY names, or offscreen when there is none. The
// figures are medians of N launches, after one launch that warms the file cache.
//
// The last line is machine-readable:
//   RESULT window_ms=W help_ms=H platform=P runs=N

#include "avvio.h"
#include "misura.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// Leaves the process as soon as the main window has painted once.
class UscitaAlPrimoDisegno : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && qobject_cast<QMainWindow*>(o))
            QTimer::singleShot(0, [] {
                std::fflush(nullptr);
                ::_exit(0);
            });
        return false;
    }
};

int Finestra(int argc, char* argv[], const QString& ini)
{
    QApplication app(argc, argv);
    UscitaAlPrimoDisegno uscita;
    app.installEventFilter(&uscita);
    AvviaApplicazione(app, ini);
    return 3;  // the window closed without ever painting
}

// Milliseconds from launch to exit of `programma argomenti`; negative when it fails.
double Lancia(const QString& programma, const QStringList& argomenti)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer t;
    t.start();
    p.start(programma, argomenti);
    const bool riuscito = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    const double ms = t.nsecsElapsed() / 1e6;
    if (riuscito)
        return ms;
    std::fprintf(stderr, "%s", p.readAll().constData());  // only a failure's output is worth reading
    return -1;
}

double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--finestra") == 0)
        return Finestra(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int volte = std::max(1, Misura::argomento(app.arguments(), QStringLiteral("--volte"), 15));
    const QString quorlin = QStringLiteral(QUORLIN_ESEGUIBILE);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray piattaforma = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? QByteArray("xcb") : qgetenv("QT_QPA_PLATFORM");

    QTemporaryDir dir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))  // as quorlin does for its batch runs
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("PRES.INI"));
    if (Lancia(quorlin, {QStringLiteral("--ini"), ini, QStringLiteral("demo")}) < 0) {
        std::fprintf(stderr, "la creazione della ditta dimostrativa non è riuscita\n");
        return 1;
    }

    std::vector<double> finestra, aiuto;
    for (int i = 0; i <= volte; ++i) {
        const double f = Lancia(QCoreApplication::applicationFilePath(), {QStringLiteral("--finestra"), ini});
        const double h = Lancia(quorlin, {QStringLiteral("--help")});
        if (f < 0 || h < 0) {
            std::fprintf(stderr, "un avvio non è riuscito (finestra %.0f ms, aiuto %.0f ms)\n", f, h);
            return 1;
        }
        if (i > 0) {  // the first launch only warms the file cache
            finestra.push_back(f);
            aiuto.push_back(h);
        }
    }
    const double w = Mediana(finestra), h = Mediana(aiuto);
    std::printf("finestra principale: %.0f ms (mediana di %d, min %.0f)\n", w, volte, *std::min_element(finestra.begin(), finestra.end()));
    std::printf("quorlin --help: %.1f ms (mediana di %d, min %.1f)\n", h, volte, *std::min_element(aiuto.begin(), aiuto.end()));
    std::printf("RESULT window_ms=%.0f help_ms=%.1f platform=%s runs=%d\n", w, h, piattaforma.constData(), volte);
    return 0;
}
