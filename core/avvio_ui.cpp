#include "avvio_ui.h"

#include "presentatoredialogo.h"
#include "tdtmpresenze.h"
#include "tfrmpresenze.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>
#include <QTranslator>

namespace {

// Tool-tips of the toolbar appear as soon as the pointer rests on a button.
class StileQuorlin : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* opzione, const QWidget* widget, QStyleHintReturn* ritorno) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay || hint == SH_ToolTip_FallAsleepDelay)
            return 0;
        return QProxyStyle::styleHint(hint, opzione, widget, ritorno);
    }
};

}  // namespace

void PreparaInterfaccia(QApplication& app, TdtmPresenze& dtm)
{
    static bool preparata = false;
    InstallaPresentatoreDialogo(dtm);
    if (preparata)
        return;
    preparata = true;

    QApplication::setApplicationName(dtm.cfg().NomeProg);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto* traduzioni = new QTranslator(&app);
    if (traduzioni->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(traduzioni);
    else
        delete traduzioni;  // the standard dialogs then keep their built-in texts
    QApplication::setStyle(new StileQuorlin);
}

int AvviaInterfaccia(QApplication& app, TdtmPresenze& dtm, const std::function<void(TfrmPresenze&)>& finestre)
{
    PreparaInterfaccia(app, dtm);

    TfrmPresenze frm(dtm);
    if (finestre)
        finestre(frm);
    frm.showMaximized();

    // The status-bar clock wakes the loop every second, so a change made just after a flush
    // still reaches the disk within about a second of idleness.
    QElapsedTimer ultimo;
    ultimo.start();
    const QMetaObject::Connection flush =
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &frm, [&dtm, &ultimo] {
            if (ultimo.elapsed() < 1000)
                return;
            ultimo.restart();
            dtm.db().salvaSuDisco();
        });
    const int esito = app.exec();
    QObject::disconnect(flush);
    // Changes of the last second before closing reach the disk too.
    dtm.db().salvaSuDisco();
    return esito;
}
