#pragma once

// The transfer configuration handed to the host's transfer engine. The
// engine shares this header, so field order and widths must not change.

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <limits>

// Concurrency command: the first argument of SigMaxConcurrence.
enum ZFTXCMDTYPE {
    ZFTXCMD_NONE = 0,
    ZFTXCMD_DOWNLOAD_CONCURRENCE = 1,
    ZFTXCMD_UPLOAD_CONCURRENCE = 2,
};

// One direction of a ZFTX transfer.
struct ZftxDirectionConfig {
    QString mode;                 // "fair" or "fixed"
    double packetInterval = 100.0;
    double window = 5000.0;
    double rate = -1.0;           // bytes per second
};

struct ZftxProtocolConfig {
    ZftxDirectionConfig upload{QStringLiteral("fair")};
    ZftxDirectionConfig download;
    QString server;
    QString password;
    QString user;
    qint32 mss = 1024;
};

struct AsperaConfig {
    qint64 uploadRate = 45000;    // KB/s
    qint32 uploadPolicy = 1;
    qint64 downloadRate = 45000;  // KB/s
    qint32 downloadPolicy = 1;
    bool encrypt = false;
    bool resume = true;
    QString host;
    QString port;
    QString user;
    QString secret;
};

struct FtpConfig {
    qint32 port = 0;
    QString server;
    QString remotePath;
    QString user;
    QString password;
};

struct ZftxTransConfig {
    qint32 uploadMethod = 0;      // 0 ZFTX, 1 Aspera, 2 FTP
    qint32 downloadMethod = 0;
    ZftxProtocolConfig zftx;
    AsperaConfig aspera;
    FtpConfig ftp;
    QString userId;
    QString zoneId;
    QString clientCode = QStringLiteral("RQ");
    QString reserved;
    qint32 verifyMethod = 0;
    bool checkIntegrity = false;
    bool autoResume = true;
    qint64 maxReconnect = std::numeric_limits<qint64>::max();
};

Q_DECLARE_METATYPE(ZftxTransConfig)
Q_DECLARE_METATYPE(ZFTXCMDTYPE)
