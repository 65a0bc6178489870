#pragma once

/// \file
/// One request of the host's HTTP client.

#include "kiv_host_global.h"

#include <QMetaType>
#include <QString>
#include <QVariant>

/**
 * One request of the host's HTTP client (kiv_http), prepared by the caller and
 * echoed back with the answer. A value type: copied freely, registered as
 * "kiv_httpparam" so that it can travel through queued connections.
 */
class KIV_HOST_EXPORT kiv_httpparam
{
public:
    /// What the request was prepared for.
    enum class Kind {
        None,           ///< Not prepared yet.
        UpdateSubfiles, ///< The plugin list request, prepared by getUpdateSubfiles().
        Download        ///< One download, prepared by downloadFile().
    };

    /// An unprepared request (Kind::None).
    kiv_httpparam();
    /// A copy of \p other.
    kiv_httpparam(const kiv_httpparam& other);
    /// Becomes a copy of \p other.
    kiv_httpparam& operator=(const kiv_httpparam& other);
    /// Destroys the request.
    ~kiv_httpparam();

    /// Prepares the plugin list request: client guid, list type, client version.
    /// The panel passes "kiv.appversion/guid" of the default file, "2",
    /// "kiv.appversion/appversion" and an empty \p extra.
    void getUpdateSubfiles(const QString& guid, const QString& type, const QString& version,
                           const QVariant& extra);
    /// Prepares one download of \p url into the folder \p destPath; the panel
    /// passes an empty \p extra.
    void downloadFile(const QString& url, const QString& destPath, const QVariant& extra);

    /// The destination folder given to downloadFile().
    QString getDestPath() const;
    /// What the request was prepared for.
    Kind kind() const;
    /// The address given to downloadFile().
    QString url() const;
    /// The client guid given to getUpdateSubfiles().
    QString guid() const;
    /// The list type given to getUpdateSubfiles().
    QString listType() const;
    /// The client version given to getUpdateSubfiles().
    QString version() const;
    /// The caller's value given with either preparation, echoed back unchanged.
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
