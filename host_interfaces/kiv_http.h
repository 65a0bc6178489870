#pragma once

#include "kiv_host_global.h"
#include "kiv_httpparam.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>

class QNetworkAccessManager;

// The host's HTTP client. Answers arrive as signals, never inside the call;
// every request is answered exactly once while the client lives. The update
// service's base address comes from the environment variable KIV_UPDATE_URL,
// read at each request.
class KIV_HOST_EXPORT kiv_http : public QObject
{
    Q_OBJECT
public:
    explicit kiv_http(QObject* parent = nullptr);
    ~kiv_http() override;

    // Sends a prepared plugin list request; the answer is sigGetUpdateSubfilesRep,
    // an empty document when the request fails. `handled` tells whether a
    // request went out.
    virtual void httpRequest(kiv_httpparam param, bool& handled);
    // Starts a prepared download; its end is sigDownloadDoneRep with the same param.
    virtual void downloadRequest(kiv_httpparam param);

signals:
    void sigGetUpdateSubfilesRep(QJsonDocument doc);
    // An empty third argument means the download failed.
    void sigDownloadDoneRep(kiv_httpparam param, QByteArray data, QString savedFile);

protected:
    // How long a request may stall without receiving data before it fails.
    void setTransferTimeout(int milliseconds);

private:
    QNetworkAccessManager* m_network = nullptr; // child of this object
    int m_transferTimeoutMs;
};
