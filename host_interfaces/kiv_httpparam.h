#pragma once

#include "kiv_host_global.h"

#include <QMetaType>
#include <QString>
#include <QVariant>

// One request of the host's HTTP client, prepared by the caller and echoed
// back with the answer.
class KIV_HOST_EXPORT kiv_httpparam
{
public:
    enum class Kind { None, UpdateSubfiles, Download };

    kiv_httpparam();
    kiv_httpparam(const kiv_httpparam& other);
    kiv_httpparam& operator=(const kiv_httpparam& other);
    ~kiv_httpparam();

    // The plugin list request: client guid, list type, client version.
    void getUpdateSubfiles(const QString& guid, const QString& type, const QString& version,
                           const QVariant& extra);
    // One download of url into the folder destPath.
    void downloadFile(const QString& url, const QString& destPath, const QVariant& extra);

    QString getDestPath() const;
    Kind kind() const;
    QString url() const;
    QString guid() const;
    QString listType() const;
    QString version() const;
    QVariant extra() const;

private:
    Kind m_kind = Kind::None;
    QString m_url;
    QString m_destPath;
    QString m_guid;
    QString m_type;
    QString m_version;
    QVariant m_extra;
};

Q_DECLARE_METATYPE(kiv_httpparam)
