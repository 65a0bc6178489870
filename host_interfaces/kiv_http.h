#pragma once

/// \file
/// The host's HTTP client, used by the panel's plugin update check.

#include "kiv_host_global.h"
#include "kiv_httpparam.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>

class QNetworkAccessManager;

/**
 * The host's HTTP client, which the panel uses only for the plugin update
 * check (see kiv_configuration_widget::sigUpdatePluginTriggered()).
 *
 * Used on the GUI thread. Answers arrive as signals, never inside the call;
 * every request is answered exactly once while the client lives. The stand-in
 * takes the update service's base address from the environment variable
 * `KIV_UPDATE_URL`, read at each request.
 */
class KIV_HOST_EXPORT kiv_http : public QObject
{
    Q_OBJECT
public:
    /// A client with no request running.
    explicit kiv_http(QObject* parent = nullptr);
    /// Drops the requests still running; they are not answered.
    ~kiv_http() override;

    /// Sends a plugin list request prepared with kiv_httpparam::getUpdateSubfiles();
    /// the answer is sigGetUpdateSubfilesRep(). \p handled tells whether a request
    /// went out (the panel does not read it).
    virtual void httpRequest(kiv_httpparam param, bool& handled);
    /// Starts a download prepared with kiv_httpparam::downloadFile(); its end is
    /// sigDownloadDoneRep() with the same \p param. (The stand-in saves the file
    /// in the destination folder under the last component of its address.)
    virtual void downloadRequest(kiv_httpparam param);

signals:
    /// The answer to httpRequest(): an object with "ret" (200 when the list is
    /// valid) and "data", an array of {"path", "url", "md5"}, one per plugin file;
    /// an empty document when the request failed.
    void sigGetUpdateSubfilesRep(QJsonDocument doc);
    /// The end of one downloadRequest(): \p savedFile is the saved file's path,
    /// empty when the download failed; \p data holds the bytes (the panel does not
    /// use them).
    void sigDownloadDoneRep(kiv_httpparam param, QByteArray data, QString savedFile);

protected:
    /// How long a request may stall without receiving data before it fails
    /// (60000 ms unless set).
    void setTransferTimeout(int milliseconds);

private:
    QNetworkAccessManager* m_network = nullptr; // child of this object
    int m_transferTimeoutMs;
};
