#pragma once

#include "kiv_host_global.h"
#include "kiv_httpparam.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>

// The host's HTTP client. Answers arrive as signals, never inside the call.
class KIV_HOST_EXPORT kiv_http : public QObject
{
    Q_OBJECT
public:
    explicit kiv_http(QObject* parent = nullptr);
    ~kiv_http() override;

    // Sends a prepared plugin list request; the answer is sigGetUpdateSubfilesRep.
    virtual void httpRequest(kiv_httpparam param, bool& handled);
    // Starts a prepared download; its end is sigDownloadDoneRep with the same param.
    virtual void downloadRequest(kiv_httpparam param);

signals:
    void sigGetUpdateSubfilesRep(QJsonDocument doc);
    // An empty third argument means the download failed.
    void sigDownloadDoneRep(kiv_httpparam param, QByteArray data, QString savedFile);
};
