#include "kiv_pluginoptions.h"
#include "kiv_logging.h"

#include "kiv_app_paths.h"
#include "kiv_http.h"
#include "kiv_panel_log.h"
#include "kiv_platform.h"

#include "kiv_messagebox_dialog.h"
#include "kiv_types.h"

#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QUuid>

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

namespace {

const QString kCopier = QStringLiteral("kiv_copy_file.exe");

QString RandomFileName(const char* suffix)
{
    return QStringLiteral("%1.%2").arg(qHash(QUuid::createUuid())).arg(QLatin1String(suffix));
}

// One path as a single argument of a command line. A path cannot hold a
// double quote on Windows; elsewhere one is written as three, which
// QProcess::splitCommand reads back as one.
QString QuotedArgument(const QString& path)
{
    return QLatin1Char('"') + QString(path).replace(QLatin1Char('"'), QLatin1String("\"\"\"")) + QLatin1Char('"');
}

// How long to wait for the copier before giving up on it.
qint64 CopierTimeoutMs()
{
    bool ok = false;
    const qint64 overridden = qEnvironmentVariable("KIV_COPIER_TIMEOUT_MS").toLongLong(&ok);
    return ok && overridden > 0 ? overridden : 120000;
}
} // namespace

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
        qCDebug(kivPlugins) << "7Z File copy failed!";
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

QString kiv_pluginoptions::pluginConfigFolder()
{
    return QDir::toNativeSeparators(commonAppDataPath() + QStringLiteral("/TMQ Rendering"));
}

void kiv_pluginoptions::onUpdateMaxPluginCfg(QVariantMap cfg)
{
    m_port = cfg.value(QStringLiteral("port")).toString();
    QDir json(pluginConfigFolder() + QDir::separator() + QStringLiteral("json"));
    if (json.exists())
        json.removeRecursively();
    writePluginIni();
}

void kiv_pluginoptions::writePluginIni()
{
    const QString lowerVersion =
        kiv_types::getValue(QStringLiteral("3dsmax/lowerpluginversion"), kiv_app_paths::defaultSettingsFile());
    const QString folder = pluginConfigFolder();
    const QString file = folder + QDir::separator() + QStringLiteral("kiv_plugin.ini");
    const QString jsonFolder = folder + QDir::separator() + QStringLiteral("json");
    QDir().mkpath(folder);

    const bool existed = QFile::exists(file);
    QSettings settings(file, QSettings::IniFormat);
    // The host may have changed the address; it is only set on creation.
    if (!existed)
        settings.setValue(QStringLiteral("ip"), QStringLiteral("127.0.0.1"));
    settings.setValue(QStringLiteral("port"), m_port);
    settings.setValue(QStringLiteral("lowerversion"), lowerVersion);
    settings.setValue(QStringLiteral("jsondir"), jsonFolder);
    settings.sync();
    QDir().mkpath(jsonFolder);
}

bool kiv_pluginoptions::installPlugin(QString label, QString folder, int mode)
{
    if (label.isEmpty() || folder.isEmpty() || !QDir(folder).exists())
        return false;
    if (!label.startsWith(QLatin1String("3ds Max"), Qt::CaseInsensitive)) {
        qCDebug(kivPlugins).noquote() << "Not support plugins for " + label + " now!";
        return false;
    }
    const QStringList words = label.split(QLatin1Char(' '));
    if (words.size() < 3) {
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("Error max version: %1").arg(label));
        return false;
    }

    const QString version = words.size() == 3 ? label : QStringList(words.mid(0, 3)).join(QLatin1Char(' '));
    const QString language = kiv_app_paths::pluginLanguageCode();
    const QString plugins = kiv_app_paths::appDir() + QStringLiteral("/plugins/3dsmax/");
    const QString source = plugins + version + QLatin1Char('/') + language;
    const QString gup = source + QStringLiteral("/TMQ_Rendering_%1.gup").arg(words.at(2));
    const QString config = plugins + QStringLiteral("plugcfg");
    if (!QFile::exists(gup) || !QFile::exists(config + QStringLiteral("/kiv_plugin.ini"))) {
        qCDebug(kivPlugins).noquote() << "Plugins for " + label + " not exist!";
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("Plugins for %1 not exist!!").arg(label));
        return false;
    }

    // Only the language being installed keeps its resources.
    const QString otherLanguage = language == QLatin1String("cn") ? QStringLiteral("en-US") : QStringLiteral("zh-CN");
    QDir resources(folder + QStringLiteral("plugins/") + otherLanguage);
    if (resources.exists() && !resources.removeRecursively()) {
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("Plugins for %1 remove res failed!").arg(label));
        reportInstallFailure(label, mode);
        return false;
    }

    if (copyElevated(source, folder + QStringLiteral("plugins/"), true)
        && copyElevated(config, pluginConfigFolder(), true))
        return true;

    qCDebug(kivPlugins).noquote() << QStringLiteral("Plugins for %1 install failed!").arg(label);
    if (mode == 1)
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("Plugins for %1 install failed!").arg(label));
    reportInstallFailure(label, mode);
    return false;
}

void kiv_pluginoptions::reportInstallFailure(const QString& label, int mode)
{
    if (mode == 1)
        askUser(QObject::tr("Update plugin for %1 falied! \nPlease close %1 application and try again!").arg(label),
                true, false);
    else
        emit sigUpdateStatus(tr("Automatic Install plugin failed, please install manually"));
}

bool kiv_pluginoptions::copyElevated(QString source, QString destination, bool overwrite)
{
    Q_UNUSED(overwrite)
    QString pattern = QFileInfo(source).absoluteFilePath().replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!pattern.endsWith(QLatin1Char('/')) && QFileInfo(pattern).isDir())
        pattern += QLatin1Char('/');
    // Both files by absolute path: the elevated copier does not necessarily
    // start in our current directory.
    const QString result = QDir::current().absoluteFilePath(RandomFileName("ret"));
    const QString param = writeParamFile(pattern + QLatin1Char('*'), destination, result);

    std::unique_ptr<kiv_platform::StartedProcess> copier;
    if (!runElevated(kiv_app_paths::findProgram(kCopier), QuotedArgument(param), QFileInfo(param).absolutePath(),
                     &copier)) {
        QFile::remove(param);
        return false;
    }

    // A copier that never ends must not freeze the client for good.
    const qint64 timeout = CopierTimeoutMs();
    const bool ended = copier->waitForExit(timeout, kCopier);
    if (!ended)
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("copier %1 did not finish within %2 ms.").arg(copier->pid()).arg(timeout));
    const int code = ended ? readRetFile(result) : -1;
    // The copier has read its parameters; the file is of no further use.
    QFile::remove(param);
    // The result file decides; the process's own code, where the system
    // tells it, goes beside it for whoever reads the log.
    KIV_LOG(KIV_LOG_ERROR, QStringLiteral("copy file exit(%1).").arg(code));
    int exitCode = 0;
    if (copier->exitCode(&exitCode))
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("copier process exit code %1.").arg(exitCode));
    return code == 0;
}

// `parameters` is a command line, as the elevated start on Windows takes it
// (one string, split into arguments by the started program). Without
// elevation it is split the same way into the argument list QProcess hands
// over one by one: a quoted path arrives as one argument without its quotes,
// exactly as it does on Windows.
bool kiv_pluginoptions::runElevated(QString program, QString parameters, QString directory,
                                    std::unique_ptr<kiv_platform::StartedProcess>* process)
{
    if (isVistaOrLater()) {
        switch (kiv_platform::runElevated(program, parameters, directory, process)) {
        case kiv_platform::ElevatedStart::Started:
            return true;
        case kiv_platform::ElevatedStart::Denied:
            KIV_LOG(KIV_LOG_ERROR, QStringLiteral("user privileges denied by the user."));
            return false;
        case kiv_platform::ElevatedStart::NotFound:
            KIV_LOG(KIV_LOG_ERROR, QStringLiteral("exec file %1 not found.").arg(program));
            return false;
        case kiv_platform::ElevatedStart::NoProcess:
            KIV_LOG(KIV_LOG_ERROR, QStringLiteral("hProcess is zero."));
            return false;
        case kiv_platform::ElevatedStart::Failed:
            break;
        }
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("ShellExecuteEx failed."));
        return false;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(program, QProcess::splitCommand(parameters),
                                 directory.isEmpty() ? QStringLiteral(".") : directory, &pid))
        return false;
    *process = kiv_platform::processById(pid);
    return true;
}

bool kiv_pluginoptions::isVistaOrLater()
{
    bool ok = false;
    const bool later = kiv_platform::isVistaOrLater(&ok);
    if (!ok)
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("check os version failed."));
    return later;
}

QString kiv_pluginoptions::writeParamFile(QString source, QString destination, QString result)
{
    const QString name = QDir::current().absoluteFilePath(RandomFileName("param"));
    QFile file(name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QDataStream stream(&file);
        stream << source << destination << result;
    }
    return name;
}

int kiv_pluginoptions::readRetFile(QString name)
{
    int code = -1;
    QFile file(name);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        // Only a whole number is an exit code: an empty or cut-off file must
        // not read as 0, which would count as a successful copy.
        bool ok = false;
        const int read = QString::fromLocal8Bit(file.readAll()).trimmed().toInt(&ok);
        file.close();
        code = ok ? read : -2;
        if (!ok)
            KIV_LOG(KIV_LOG_ERROR, QStringLiteral("result file %1 holds no exit code").arg(name));
    } else {
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("open file %1 failed, %2").arg(name, file.errorString()));
    }
    if (!file.remove())
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("remove file %1 failed, %2").arg(name, file.errorString()));
    return code;
}

bool kiv_pluginoptions::askUser(QString text, bool okVisible, bool cancelVisible)
{
    kiv_messagebox_dialog box(m_parent != nullptr, nullptr);
    box.setText(text);
    box.setButtonVisible(QStringLiteral("ok"), okVisible);
    box.setButtonVisible(QStringLiteral("cancel"), cancelVisible);
    return box.exec() == 1;
}
