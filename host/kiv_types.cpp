#include "kiv_types.h"

#include <QSettings>
#include <QStandardPaths>

QString kiv_types::userAppPath()
{
    const QString overridden = qEnvironmentVariable("KIV_USER_APP_PATH");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString kiv_types::getValue(const QString& key, const QString& file)
{
    QSettings settings(file, QSettings::IniFormat);
    return settings.value(key).toString();
}

void kiv_types::setValue(const QString& key, const QString& value, const QString& file)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
}

QStringList kiv_types::getValues(const QString& key, const QString& file)
{
    QSettings settings(file, QSettings::IniFormat);
    return settings.value(key).toStringList();
}
