#include "avvio.h"

#include "avvio_ui.h"
#include "tdtmelab.h"
#include "tdtmpresenze.h"
#include "tdtmutil.h"
#include "tfrmpasswd.h"

#include <QApplication>

namespace {
constexpr int kErrApertura = 9001;
constexpr int kErrIni = 9006;
}  // namespace

int AvviaApplicazione(QApplication& app, const QString& fileIni)
{
    QApplication::setApplicationName(QStringLiteral("Quorlin"));
    TdtmPresenze dtm;
    PreparaInterfaccia(app, dtm);
    dtm.login = EseguiLogin;
    try {
        // The first start in the default folder creates the databases; a production database
        // named by PATH must already exist.
        if (!dtm.Apri(fileIni, TdtmPresenze::ModoCreazione::CartellaPredefinita))
            return 0;  // login cancelled
    } catch (const ErroreDb& e) {
        dtm.MostraErroreCon(kErrApertura, QLatin1Char(' ') + e.testo());
        return 1;
    } catch (const std::exception& e) {
        dtm.MostraErroreCon(kErrIni, QLatin1Char(' ') + QString::fromLocal8Bit(e.what()));
        return 1;
    }
    // The data modules of the windows, in their fixed order.
    TdtmElab elab(dtm);
    TdtmUtil util(dtm);
    return AvviaInterfaccia(app, dtm);
}
