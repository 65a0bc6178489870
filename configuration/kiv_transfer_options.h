#pragma once

#include <QString>

// The user's transfer method and parameters as read from the settings files.
// Rates are in Mbps; the values of an absent key are the ones below.
struct TransferOptions {
    QString transferType;
    int verifyMethod = 0;

    // Host-wide tuning from the default settings file, never written.
    int mss = 0;
    QString asperaUrl;
    int maxReconnect = 0;
    int uploadMaxConcurrence = 0;
    int downloadMaxConcurrence = 0;
    bool uploadConcurrent = false;
    bool downloadConcurrent = false;

    int ftpMaxUpload = 0;
    int ftpMaxDownload = 0;
    int ftpBufferSize = 0;
    QString ftpTransferLink;

    int zftxUploadMode = 0;
    int zftxDownloadMode = 0;
    double zftxUploadTargetRate = 0.0;
    double zftxDownloadTargetRate = 0.0;
    QString zftxTransferLink;

    int asperaUploadMode = 0;
    int asperaDownloadMode = 0;
    double asperaUploadTargetRate = 0.0;
    double asperaDownloadTargetRate = 0.0;
    QString asperaTransferLink;
};
