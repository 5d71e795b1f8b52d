#include "registro.h"

#include "fileini.h"

#include <QFileInfo>
#include <QSettings>

namespace Registro {

QString FileDiSistema()
{
    const QString env = qEnvironmentVariable("QUORLIN_REGISTRO");
    return env.isEmpty() ? QStringLiteral("/etc/quorlin/registro.ini") : env;
}

QString LeggiAzienda()
{
#ifdef Q_OS_WIN
    QSettings reg(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Vantrelco\\KVAzienda"), QSettings::NativeFormat);
    return reg.value(QStringLiteral("AZIENDA")).toString();
#else
    const QString file = FileDiSistema();
    if (!QFileInfo::exists(file))
        return {};
    try {
        const FileIni ini(file);
        return ini.leggiTesto(QStringLiteral("KVAzienda"), QStringLiteral("AZIENDA"));
    } catch (const ErroreIni&) {
        return {};  // a system file that is not INI text holds no value
    }
#endif
}

}  // namespace Registro
