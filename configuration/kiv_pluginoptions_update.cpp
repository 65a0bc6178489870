#include "kiv_pluginoptions.h"
#include "kiv_logging.h"

#include "kiv_app_paths.h"
#include "kiv_http.h"
#include "kiv_panel_log.h"

#include "kiv_messagebox_dialog.h"
#include "kiv_types.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

// The plugin update: the server's list of plugin files, the downloads of
// those that differ, and the question whether to install them.

namespace {

// Download replies are counted across the process, not matched to a batch.
int s_replyCounter = 0;

// A reply path must name a file below the application folder: nothing that
// climbs out of it, and no drive or network share of its own.
bool IsInsideApplicationFolder(const QString& path)
{
    QString relative = path;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString stripped = relative.mid(relative.indexOf(QRegularExpression(QStringLiteral("[^/]"))));
    if (relative.startsWith(QLatin1String("//")) || stripped.contains(QRegularExpression(QStringLiteral("^[A-Za-z]:"))))
        return false;
    const QString root = QDir::cleanPath(kiv_app_paths::appDir());
    const QString cleaned = QDir::cleanPath(root + relative);
    return cleaned.startsWith(root + QLatin1Char('/'));
}

} // namespace

QString kiv_pluginoptions::fileMd5(QString path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(kivPlugins).noquote() << file.errorString();
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    const QString md5 = QString::fromLatin1(hash.result().toHex());
    qCDebug(kivPlugins).noquote() << md5;
    return md5;
}

void kiv_pluginoptions::onUpdateAllPluginsScripts()
{
    if (m_updating || !m_http)
        return;
    const QString defaults = kiv_app_paths::defaultSettingsFile();
    kiv_httpparam param;
    param.getUpdateSubfiles(kiv_types::getValue(QStringLiteral("kiv.appversion/guid"), defaults), QStringLiteral("2"),
                            kiv_types::getValue(QStringLiteral("kiv.appversion/appversion"), defaults), QVariant());
    bool handled = false;
    m_updating = true;
    m_http->httpRequest(param, handled);
}

void kiv_pluginoptions::finishUpdateCheck()
{
    m_updating = false;
}

void kiv_pluginoptions::onGetUpdatePluginsRep(QJsonDocument doc)
{
    if (!doc.isObject()) {
        emit sigUpdateStatus(tr("Get plugins failed!"));
        askUser(tr("Get plugins failed, please try a later!"), true, false);
        emit sigUpdateStatus(QString());
        finishUpdateCheck();
        return;
    }
    qCDebug(kivPlugins) << doc.toVariant();

    const QJsonObject reply = doc.object();
    if (reply.value(QStringLiteral("ret")).toInt(0) != 200) {
        emit sigUpdateStatus(tr("The plugins are already the latest!"));
        askUser(tr("The current plugins version are already the latest version!"), true, false);
        emit sigUpdateStatus(QString());
        finishUpdateCheck();
        return;
    }

    const QString root = kiv_app_paths::appDir();
    QList<PluginFileEntry> entries;
    bool refused = false;
    const QJsonArray files = reply.value(QStringLiteral("data")).toArray();
    for (const QJsonValue& value : files) {
        const QJsonObject file = value.toObject();
        const QString path = file.value(QStringLiteral("path")).toString();
        const QString local = root + path;
        const QString dir = local.left(local.lastIndexOf(QLatin1Char('/')));
        if (!IsInsideApplicationFolder(path)) {
            KIV_LOG(KIV_LOG_ERROR, QStringLiteral("refused plugin file path %1").arg(path));
            m_failedDownloads << dir;
            refused = true;
            continue;
        }
        const QString md5 = file.value(QStringLiteral("md5")).toString();
        if (fileMd5(local) == md5)
            continue;
        entries.append({file.value(QStringLiteral("url")).toString(), dir, md5});
    }

    if (entries.isEmpty()) {
        if (refused) {
            m_pendingDownloads = 0;
            finishDownloadBatch();
            return;
        }
        if (askUser(tr("The plugins are already the latest! Re-install that?"), true, true))
            emit sigDownloadPluginScriptFinish();
        else
            emit sigUpdateStatus(QString());
        finishUpdateCheck();
        return;
    }

    m_pendingDownloads = entries.size();
    if (!askUser(tr("New plugins detected, please make sure to close 3ds Max applications!"), true, true)) {
        emit sigUpdateStatus(QString());
        m_failedDownloads.clear();
        finishUpdateCheck();
        return;
    }
    for (const PluginFileEntry& entry : qAsConst(entries)) {
        kiv_httpparam param;
        param.downloadFile(entry.url, entry.dir, QVariant());
        m_http->downloadRequest(param);
    }
}

void kiv_pluginoptions::onDownloadPluginScriptFinished(kiv_httpparam param, QByteArray data, QString text)
{
    Q_UNUSED(data)
    ++s_replyCounter;
    if (text.isEmpty())
        m_failedDownloads << param.getDestPath();
    if (s_replyCounter == m_pendingDownloads)
        finishDownloadBatch();
}

void kiv_pluginoptions::finishDownloadBatch()
{
    const QString message = m_failedDownloads.isEmpty()
                                ? tr("Download plugins finish! Install now?")
                                : tr("Download finish!\n%1 download failed! please try a later!")
                                      .arg(m_failedDownloads.join(QLatin1Char(',')));
    kiv_messagebox_dialog box(m_parent != nullptr, nullptr);
    box.setText(message);
    box.setButtonVisible(QStringLiteral("ok"), true);
    const bool accepted = box.exec() == 1;
    s_replyCounter = 0;
    m_failedDownloads.clear();
    finishUpdateCheck();
    if (accepted)
        emit sigDownloadPluginScriptFinish();
    else
        emit sigUpdateStatus(QString());
}
