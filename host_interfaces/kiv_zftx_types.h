#pragma once

/// \file
/// The transfer configuration handed to the host's transfer engine. The
/// engine shares this header, so field order and widths must not change.
/// The panel registers "ZftxTransConfig" and "ZFTXCMDTYPE" as meta-types by
/// name when it is loaded.

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <limits>

/// Concurrency command: the first argument of kiv_configuration_widget::SigMaxConcurrence().
enum ZFTXCMDTYPE {
    ZFTXCMD_NONE = 0,                 ///< Not sent by the panel.
    ZFTXCMD_DOWNLOAD_CONCURRENCE = 1, ///< The download concurrency limit, sent first.
    ZFTXCMD_UPLOAD_CONCURRENCE = 2,   ///< The upload concurrency limit, sent second.
};

/// One direction of a ZFTX transfer.
struct ZftxDirectionConfig {
    QString mode;                 ///< "fair" or "fixed" (constant speed); a stored mode of another value leaves the fresh record's text.
    double packetInterval = 100.0; ///< mss × 1080000 ÷ the rate in bytes per second; kept at 100.0 when the target rate is not positive.
    double window = 5000.0;       ///< Not set by the panel.
    double rate = -1.0;           ///< Target rate in bytes per second (Mbps × 1024 × 1024 ÷ 8).
};

/// The ZFTX parameters; filled when ZFTX is the chosen method.
struct ZftxProtocolConfig {
    ZftxDirectionConfig upload{QStringLiteral("fair")}; ///< Upload; its mode starts as "fair".
    ZftxDirectionConfig download;                       ///< Download; its mode starts empty.
    QString server;               ///< The chosen ZFTX line's address, else LoginInfo::zftxServer.
    QString password;             ///< LoginInfo::zftxPassword.
    QString user;                 ///< LoginInfo::userName.
    qint32 mss = 1024;            ///< "kiv.transfer/mss" of the default file, sent even when 0.
};

/// The Aspera parameters; filled when Aspera is the chosen method.
struct AsperaConfig {
    qint64 uploadRate = 45000;    ///< Target rate in KB/s (Mbps × 1024 ÷ 8, truncated).
    qint32 uploadPolicy = 1;      ///< 2 for Fair, 1 for Fixed.
    qint64 downloadRate = 45000;  ///< Target rate in KB/s (Mbps × 1024 ÷ 8, truncated).
    qint32 downloadPolicy = 1;    ///< 2 for Fair, 1 for Fixed.
    bool encrypt = false;         ///< Not set by the panel.
    bool resume = true;           ///< Not set by the panel.
    QString host;                 ///< The chosen Aspera line's address, else LoginInfo::asperaHost.
    QString port;                 ///< LoginInfo::asperaPort.
    QString user;                 ///< The account's "aspera_user" (kiv_configuration_widget::SetTransmissionSecret()).
    QString secret;               ///< The account's unscrambled secret.
};

/// The FTP parameters; filled when FTP is the chosen method.
struct FtpConfig {
    qint32 port = 0;              ///< Not set by the panel.
    QString server;               ///< The chosen FTP line's address, else LoginInfo::ftpServer.
    QString remotePath;           ///< Not set by the panel.
    QString user;                 ///< LoginInfo::userName.
    QString password;             ///< LoginInfo::ftpPassword.
};

/// The complete transfer configuration, sent by
/// kiv_configuration_widget::SigZftxParams(). Only the chosen method's part is
/// filled; the others keep the values of a fresh record. With no method chosen
/// both codes stay 0 and every part keeps its fresh values.
struct ZftxTransConfig {
    qint32 uploadMethod = 0;      ///< Method code: 0 ZFTX, 1 Aspera, 2 FTP.
    qint32 downloadMethod = 0;    ///< Method code as for uploads; the panel sets both alike.
    ZftxProtocolConfig zftx;      ///< The ZFTX part.
    AsperaConfig aspera;          ///< The Aspera part.
    FtpConfig ftp;                ///< The FTP part.
    QString userId;               ///< LoginInfo::userId.
    QString zoneId;               ///< LoginInfo::zoneId.
    QString clientCode = QStringLiteral("RQ"); ///< Always "RQ".
    QString reserved;             ///< Not set by the panel.
    qint32 verifyMethod = 0;      ///< "verifymethod" of the user's transfer section.
    bool checkIntegrity = false;  ///< Not set by the panel.
    bool autoResume = true;       ///< Not set by the panel.
    qint64 maxReconnect = std::numeric_limits<qint64>::max(); ///< "kiv.transfer/maxreconnect" of the default file; 0 when absent.
};

Q_DECLARE_METATYPE(ZftxTransConfig)
Q_DECLARE_METATYPE(ZFTXCMDTYPE)
