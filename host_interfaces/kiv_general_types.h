#pragma once

// Records shared between the host client and the settings panel. They are
// passed by value through signals and slots, so field order and types are
// part of the contract with the host.

#include <QMap>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kiv_general_types {

// Render program selector; also the project "type" codes. The fixed
// underlying type makes any int a valid value, so that a selector the panel
// does not know (answered with nothing) is well defined.
enum RENDERTYPE : int {
    RENDERTYPE_3DSMAX = 0x1000,
    RENDERTYPE_MAYA = 0x2000,
    RENDERTYPE_HOUDINI = 0x4000,
};

// Host-wide settings record, owned by the host and handed to the panel by reference.
struct GeneralSet {
    int pluginInstallMode = 0;
    // node-pool key -> (host's internal name, display name)
    QMap<QString, QPair<QString, QString>> nodePools;
};

namespace AuthSet {

// The logged-in user: sixteen texts, copied by value.
struct LoginInfo {
    QString userId;          // 1: suffix of per-user sections and keys
    QString accessToken;     // 2
    QString zftxServer;      // 3
    QString zftxPassword;    // 4
    QString ftpServer;       // 5
    QString asperaHost;      // 6
    QString asperaPort;      // 7
    QString accountType;     // 8
    QString nickName;        // 9
    QString speedTestServer; // 10: first argument of the speed test tool
    QString email;           // 11
    QString userName;        // 12: names the user settings file
    QString ftpPassword;     // 13
    QString phone;           // 14
    QString zoneId;          // 15
    QString language;        // 16
};

} // namespace AuthSet

// Options of a render project; the panel only reads nodePool and carries the rest.
struct ProjectOptions {
    QString renderVersion;
    QString pluginVersion;
    QString renderer;
    QString operatingSystem;
    QString nodePool;
    QString frameStep = QStringLiteral("1");
    bool distributedRender = false;
    QString outputFormat;
    int priority = 0;
    QString cameraName;
    bool ignoreMissingMaps = false;
    QString renderLayers;
    bool renderElements = false;
    bool gpuRender = false;
    int retryCount = 4;
    int blockSize = 2;
};

struct Project {
    QString id;
    QString name;
    int type = 0; // a RENDERTYPE code, or 0
    QStringList extraList;
    ProjectOptions options;
};

} // namespace kiv_general_types

Q_DECLARE_METATYPE(kiv_general_types::AuthSet::LoginInfo)
Q_DECLARE_METATYPE(kiv_general_types::Project)
