#include "kiv_app_paths.h"

#include "kiv_types.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace kiv_app_paths {

QString appDir()
{
    const QString overridden = qEnvironmentVariable("KIV_APP_DIR");
    if (!overridden.isEmpty())
        return overridden;
    return QCoreApplication::applicationDirPath();
}

QString defaultSettingsFile()
{
    return QStringLiteral("%1/data/kiv_default.ini").arg(appDir());
}

QString userTemplateFile()
{
    return QStringLiteral("%1/data/kiv_users.ini").arg(appDir());
}

QString renderPathFile()
{
    return QStringLiteral("%1/data/kiv_renderpath.ini").arg(appDir());
}

QString findProgram(const QString& name)
{
    QStringList candidates = {name};
#ifndef Q_OS_WIN
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        candidates << name.left(name.size() - 4);
#endif
    for (const QStringList& folders : {QStringList{appDir()}, QStringList()}) {
        for (const QString& candidate : candidates) {
            const QString found = QStandardPaths::findExecutable(candidate, folders);
            if (!found.isEmpty())
                return found;
        }
    }
    return name;
}

QString pluginLanguageCode()
{
    const QString language =
        kiv_types::getValue(QStringLiteral("kiv.general/language"), defaultSettingsFile());
    if (language == QLatin1String("kiv_tallowmere_client_zh_CN.qm")
        || language == QLatin1String("kiv_tallowmere_client_zh_TW.qm"))
        return QStringLiteral("cn");
    return QStringLiteral("en");
}

} // namespace kiv_app_paths
