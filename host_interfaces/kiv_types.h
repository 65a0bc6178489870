#pragma once

/// \file
/// The host's INI store and its per-user data folder.

#include "kiv_host_global.h"

#include <QString>
#include <QStringList>

/**
 * The host's INI store and its per-user data folder; all static, called on the
 * GUI thread only. Keys are "section/name", as in "kiv.general/language".
 */
class KIV_HOST_EXPORT kiv_types
{
public:
    /// The client's per-user application folder; the panel keeps the user
    /// settings files in its `conf` folder. (The stand-in: the environment
    /// variable `KIV_USER_APP_PATH`, else the platform's application data folder.)
    static QString userAppPath();

    /// The text stored under \p key in the INI file \p file; an empty result
    /// means the key is unset.
    static QString getValue(const QString& key, const QString& file);
    /// Stores \p value under \p key in \p file at once: readable by getValue() and
    /// by a QSettings opened in INI format on the same file.
    static void setValue(const QString& key, const QString& value, const QString& file);
    /// The list stored under \p key in \p file (an INI list, comma-separated);
    /// empty when the key is unset.
    static QStringList getValues(const QString& key, const QString& file);
};
