// Stand-ins for the Windows services: the uninstall key is an INI file named
// by KIV_UNINSTALL_REGISTRY, the shared data folder KIV_COMMON_APPDATA.

#include "kiv_platform.h"

#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>

namespace kiv_platform {

std::unique_ptr<QSettings> openUninstallKey(bool view64)
{
    Q_UNUSED(view64)
    const QString file = qEnvironmentVariable("KIV_UNINSTALL_REGISTRY");
    if (file.isEmpty())
        return nullptr;
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

QVariant valueIgnoringCase(QSettings& settings, const QString& name)
{
    const QStringList keys = settings.childKeys();
    for (const QString& key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return settings.value(key);
    }
    return {};
}

bool isNative64Bit()
{
    return QSysInfo::currentCpuArchitecture().contains(QLatin1String("64"));
}

QString commonAppDataPath()
{
    const QString overridden = qEnvironmentVariable("KIV_COMMON_APPDATA");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace kiv_platform
