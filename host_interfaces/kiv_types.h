#pragma once

#include "kiv_host_global.h"

#include <QString>
#include <QStringList>

// The host's INI store and its per-user data folder.
class KIV_HOST_EXPORT kiv_types
{
public:
    // The client's per-user application folder.
    static QString userAppPath();

    // "section/name" keys; an empty result means the key is unset.
    static QString getValue(const QString& key, const QString& file);
    // Stored at once: readable by getValue and by QSettings on the same file.
    static void setValue(const QString& key, const QString& value, const QString& file);
    static QStringList getValues(const QString& key, const QString& file);
};
