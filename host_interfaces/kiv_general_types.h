#pragma once

/// \file
/// Records shared between the host client and the settings panel. They are
/// passed by value through signals and slots, so field order and types are
/// part of the contract with the host. The panel registers
/// "kiv_general_types::AuthSet::LoginInfo" and "kiv_general_types::Project"
/// as meta-types by name when it is loaded.

#include <QMap>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QStringList>

/// Records and codes shared by the host client and the settings panel.
namespace kiv_general_types {

/// Render program selector; also the project "type" codes. The fixed
/// underlying type makes any int a valid value, so that a selector the panel
/// does not know (answered with nothing) is well defined.
enum RENDERTYPE : int {
    RENDERTYPE_3DSMAX = 0x1000,  ///< 3ds Max, "3dsmax" in the settings files.
    RENDERTYPE_MAYA = 0x2000,    ///< Maya, "maya".
    RENDERTYPE_HOUDINI = 0x4000, ///< Houdini, "houdini".
};

/// Host-wide settings record, owned by the host and handed to the panel's
/// constructor by reference; it must outlive the panel. The panel touches only
/// the two members below.
struct GeneralSet {
    /// The mode sent with the plugin install (kiv_configuration_widget::sigInstallPlugin()):
    /// 1 the interactive run, any other value the silent first run. The panel
    /// sets it to 1 at the end of a silent run.
    int pluginInstallMode = 0;
    /// Node-pool key -> (host's internal name, display name); the project table
    /// shows the display name of a project's `ProjectOptions::nodePool`.
    QMap<QString, QPair<QString, QString>> nodePools;
};

/// The logged-in user's records.
namespace AuthSet {

/// The logged-in user: sixteen texts, copied by value into
/// kiv_configuration_widget::SetCurrentUserInfo(). Fields the panel does not
/// name below are carried and never read.
struct LoginInfo {
    QString userId;          ///< 1: suffix of per-user sections and keys ("kiv.transfer.<userId>"); ZftxTransConfig::userId.
    QString accessToken;     ///< 2: not read by the panel.
    QString zftxServer;      ///< 3: ZftxProtocolConfig::server unless a transfer line replaces it.
    QString zftxPassword;    ///< 4: ZftxProtocolConfig::password.
    QString ftpServer;       ///< 5: FtpConfig::server unless a transfer line replaces it.
    QString asperaHost;      ///< 6: AsperaConfig::host unless a transfer line replaces it.
    QString asperaPort;      ///< 7: AsperaConfig::port.
    QString accountType;     ///< 8: not read by the panel.
    QString nickName;        ///< 9: not read by the panel.
    QString speedTestServer; ///< 10: first argument of the speed test tool.
    QString email;           ///< 11: not read by the panel.
    QString userName;        ///< 12: names the user settings file `conf/kiv_<userName>.ini`; also the ZFTX and FTP user and the key to the Aspera secret.
    QString ftpPassword;     ///< 13: FtpConfig::password.
    QString phone;           ///< 14: not read by the panel.
    QString zoneId;          ///< 15: ZftxTransConfig::zoneId.
    QString language;        ///< 16: not read by the panel.
};

} // namespace AuthSet

/// Options of a render project; the panel only reads nodePool and carries the
/// rest unchanged. Their meaning belongs to the host.
struct ProjectOptions {
    QString renderVersion;                     ///< Carried.
    QString pluginVersion;                     ///< Carried.
    QString renderer;                          ///< Carried.
    QString operatingSystem;                   ///< Carried.
    QString nodePool;                          ///< Node-pool key, looked up in GeneralSet::nodePools for the table.
    QString frameStep = QStringLiteral("1");   ///< Carried.
    bool distributedRender = false;            ///< Carried.
    QString outputFormat;                      ///< Carried.
    int priority = 0;                          ///< Carried.
    QString cameraName;                        ///< Carried.
    bool ignoreMissingMaps = false;            ///< Carried.
    QString renderLayers;                      ///< Carried.
    bool renderElements = false;               ///< Carried.
    bool gpuRender = false;                    ///< Carried.
    int retryCount = 4;                        ///< Carried.
    int blockSize = 2;                         ///< Carried.
};

/// A render project, pushed in by the host (kiv_configuration_widget::SetNewProject())
/// and handed back in the project signals.
struct Project {
    QString id;              ///< The project's key; the current project is named by it.
    QString name;            ///< Shown in the table.
    int type = 0;            ///< A RENDERTYPE code shown as the program's name, or 0 (shown empty).
    QStringList extraList;   ///< Carried unchanged.
    ProjectOptions options;  ///< Carried unchanged; only ProjectOptions::nodePool is read.
};

} // namespace kiv_general_types

Q_DECLARE_METATYPE(kiv_general_types::AuthSet::LoginInfo)
Q_DECLARE_METATYPE(kiv_general_types::Project)
