#include "kiv_http.h"

#include <QDir>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

// The update service, below the base address B (KIV_UPDATE_URL):
//   GET B/plugins?guid=<guid>&type=<type>&version=<version>  -> the plugin list (JSON)
//   GET <url>  -> one file; a relative url is resolved below B
// A downloaded file is saved in the requested folder under the last component
// of its URL's path.

namespace {

const int kDefaultTransferTimeoutMs = 60000;

bool isHttp(const QUrl& url)
{
    return (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        && !url.host().isEmpty();
}

// The base address as a folder, or an empty URL when it is unset or unusable.
QUrl updateBase()
{
    const QString text = qEnvironmentVariable("KIV_UPDATE_URL").trimmed();
    if (text.isEmpty())
        return {};
    QUrl base(text);
    if (!base.isValid() || !isHttp(base))
        return {};
    if (!base.path().endsWith(QLatin1Char('/')))
        base.setPath(base.path() + QLatin1Char('/'));
    return base;
}

QUrl pluginListUrl(const QUrl& base, const kiv_httpparam& param)
{
    QUrl url = base.resolved(QUrl(QStringLiteral("plugins")));
    // Encoded by hand: QUrlQuery keeps a literal "+", which servers read as a space.
    const QByteArray query = "guid=" + QUrl::toPercentEncoding(param.guid())
        + "&type=" + QUrl::toPercentEncoding(param.listType())
        + "&version=" + QUrl::toPercentEncoding(param.version());
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return url;
}

// Only http(s): a "file:" or "qrc:" address from a service reply must not
// copy local files around.
QUrl downloadUrl(const QString& text)
{
    QUrl url(text);
    if (text.isEmpty() || !url.isValid())
        return {};
    if (url.isRelative()) {
        const QUrl base = updateBase();
        if (base.isEmpty())
            return {};
        url = base.resolved(url);
    }
    return isHttp(url) ? url : QUrl();
}

// The last path component, refused when it could name anything but a file
// directly inside the destination folder.
QString targetFileName(const QUrl& url)
{
    const QString name = url.fileName(QUrl::FullyDecoded);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return {};
    }
    return name;
}

// Redirects may not lead from https back to http; a stalled transfer fails.
QNetworkRequest makeRequest(const QUrl& url, int transferTimeoutMs)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(transferTimeoutMs);
    return request;
}

bool succeeded(QNetworkReply* reply)
{
    if (reply->error() != QNetworkReply::NoError)
        return false;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return !status.isValid() || (status.toInt() >= 200 && status.toInt() < 300);
}

// Written through a temporary file, so that a failure keeps what was there.
bool saveFile(const QString& folder, const QString& target, const QByteArray& data)
{
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(data);
    return file.commit();
}

} // namespace

kiv_http::kiv_http(QObject* parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
    , m_transferTimeoutMs(kDefaultTransferTimeoutMs)
{
    qRegisterMetaType<kiv_httpparam>("kiv_httpparam");
}

// Requests still running are dropped with the manager; nobody is left to
// receive their answers.
kiv_http::~kiv_http() = default;

void kiv_http::setTransferTimeout(int milliseconds)
{
    m_transferTimeoutMs = milliseconds;
}

void kiv_http::httpRequest(kiv_httpparam param, bool& handled)
{
    handled = false;
    const QUrl base = updateBase();
    if (param.kind() != kiv_httpparam::Kind::UpdateSubfiles || base.isEmpty()) {
        QMetaObject::invokeMethod(this, [this] { emit sigGetUpdateSubfilesRep(QJsonDocument()); },
                                  Qt::QueuedConnection);
        return;
    }
    QNetworkReply* reply = m_network->get(makeRequest(pluginListUrl(base, param), m_transferTimeoutMs));
    handled = true;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        QJsonDocument doc;
        if (succeeded(reply)) {
            QJsonParseError error{};
            doc = QJsonDocument::fromJson(reply->readAll(), &error);
            if (error.error != QJsonParseError::NoError)
                doc = QJsonDocument();
        }
        emit sigGetUpdateSubfilesRep(doc);
    });
}

void kiv_http::downloadRequest(kiv_httpparam param)
{
    const QUrl url = param.kind() == kiv_httpparam::Kind::Download ? downloadUrl(param.url()) : QUrl();
    const QString name = url.isEmpty() ? QString() : targetFileName(url);
    if (name.isEmpty() || param.getDestPath().isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, param] { emit sigDownloadDoneRep(param, QByteArray(), QString()); },
            Qt::QueuedConnection);
        return;
    }
    const QString target = QDir(param.getDestPath()).filePath(name);
    QNetworkReply* reply = m_network->get(makeRequest(url, m_transferTimeoutMs));
    connect(reply, &QNetworkReply::finished, this, [this, reply, param, target] {
        reply->deleteLater();
        if (succeeded(reply)) {
            const QByteArray data = reply->readAll();
            if (saveFile(param.getDestPath(), target, data)) {
                emit sigDownloadDoneRep(param, data, target);
                return;
            }
        }
        emit sigDownloadDoneRep(param, QByteArray(), QString());
    });
}
