#include "kiv_pluginoptions.h"

#include "kiv_app_paths.h"
#include "kiv_http.h"
#include "kiv_panel_log.h"
#include "kiv_platform.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QWidget>

kiv_pluginoptions::kiv_pluginoptions(kiv_http* http, QWidget* parent)
    : QObject(parent)
    , m_parent(parent)
    , m_http(http)
{
    qRegisterMetaType<kiv_httpparam>("kiv_httpparam");
    if (m_http) {
        connect(m_http, &kiv_http::sigGetUpdateSubfilesRep, this,
                &kiv_pluginoptions::onGetUpdatePluginsRep);
        connect(m_http, &kiv_http::sigDownloadDoneRep, this,
                &kiv_pluginoptions::onDownloadPluginScriptFinished);
    }
}

kiv_pluginoptions::~kiv_pluginoptions() = default;

void kiv_pluginoptions::WriteLog(int level, const QString& message, int line)
{
    emit sigLog(level, message, L"kiv_pluginoptions", line);
}

QString kiv_pluginoptions::commonAppDataPath()
{
    return kiv_platform::commonAppDataPath();
}

bool kiv_pluginoptions::isPluginInstalled(QString label, QString folder)
{
    const QStringList words = label.split(QLatin1Char(' '));
    // A label of fewer than three words names no version to look for.
    if (!label.startsWith(QLatin1String("3ds max"), Qt::CaseInsensitive) || words.size() < 3) {
        KIV_LOG(KIV_LOG_NOTICE, QStringLiteral("Not support plugins for %1.").arg(label));
        return false;
    }
    const QString plugin = folder + QStringLiteral("plugins/TMQ_Rendering_%1.gup").arg(words.at(2));
    const QString config = QDir::toNativeSeparators(commonAppDataPath() + QStringLiteral("/TMQ Rendering/kiv_plugin.ini"));
    if (QFile::exists(plugin) && QFile::exists(config))
        return true;
    KIV_LOG(KIV_LOG_NOTICE, QStringLiteral("File %1 or %2 not exist!").arg(plugin, config));
    return false;
}

bool kiv_pluginoptions::copy7Zip(QString folder)
{
    const QString source = kiv_app_paths::appDir() + QStringLiteral("/plugins/3dsmax/7-Zip");
    if (!QFile::exists(source + QStringLiteral("/7z.exe")) && !QFile::exists(source + QStringLiteral("/7z.dll"))) {
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("7Z File not exist!!"));
        return false;
    }
    if (!copyDirectory(source, folder + QStringLiteral("/7-Zip"), true)) {
        qDebug() << "7Z File copy failed!";
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("7Z File copy failed!"));
        return false;
    }
    return true;
}

namespace {

// Whether two files hold the same bytes; sizes first, contents only then.
bool SameContents(const QFileInfo& a, const QFileInfo& b)
{
    if (a.size() != b.size())
        return false;
    QFile first(a.absoluteFilePath());
    QFile second(b.absoluteFilePath());
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    while (!first.atEnd()) {
        if (first.read(64 * 1024) != second.read(64 * 1024))
            return false;
    }
    return true;
}

} // namespace

bool kiv_pluginoptions::copyDirectory(QString source, QString destination, bool overwrite)
{
    const QDir target(destination);
    if (!target.exists() && !QDir().mkdir(target.absolutePath()))
        return false;

    const QFileInfoList entries = QDir(source).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        const QString copy = target.absoluteFilePath(entry.fileName());
        if (entry.isDir()) {
            if (!copyDirectory(entry.absoluteFilePath(), copy, overwrite))
                return false;
            continue;
        }
        // A file that already holds the same bytes is left alone: the result
        // is the same, and a copy that is in use is not disturbed.
        const QFileInfo existing(copy);
        if (existing.exists() && SameContents(entry, existing))
            continue;
        if (overwrite && existing.exists())
            QFile::remove(copy);
        if (!QFile::copy(entry.absoluteFilePath(), copy))
            return false;
    }
    return true;
}

// The plugin configuration, the update check and the downloads are not
// built yet; the slots exist so that the host's wiring holds.
void kiv_pluginoptions::onUpdateMaxPluginCfg(QVariantMap cfg)
{
    Q_UNUSED(cfg)
}

void kiv_pluginoptions::onUpdateAllPluginsScripts()
{
}

void kiv_pluginoptions::onGetUpdatePluginsRep(QJsonDocument doc)
{
    Q_UNUSED(doc)
}

void kiv_pluginoptions::onDownloadPluginScriptFinished(kiv_httpparam param, QByteArray data,
                                                       QString text)
{
    Q_UNUSED(param)
    Q_UNUSED(data)
    Q_UNUSED(text)
}
