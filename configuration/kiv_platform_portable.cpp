// Stand-ins for the Windows services: the uninstall key is an INI file named
// by KIV_UNINSTALL_REGISTRY, the shared data folder KIV_COMMON_APPDATA.

#include "kiv_platform.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#include <signal.h>
#include <sys/types.h>

namespace kiv_platform {

std::unique_ptr<QSettings> openUninstallKey(bool view64)
{
    Q_UNUSED(view64)
    const QString file = qEnvironmentVariable("KIV_UNINSTALL_REGISTRY");
    if (file.isEmpty())
        return nullptr;
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

QVariant valueIgnoringCase(QSettings& settings, const QString& name)
{
    const QStringList keys = settings.childKeys();
    for (const QString& key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return settings.value(key);
    }
    return {};
}

bool isNative64Bit()
{
    return QSysInfo::currentCpuArchitecture().contains(QLatin1String("64"));
}

QString commonAppDataPath()
{
    const QString overridden = qEnvironmentVariable("KIV_COMMON_APPDATA");
    if (!overridden.isEmpty())
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

bool isVistaOrLater(bool* ok)
{
    *ok = true;
    return false;
}

struct StartedProcess::Data {
    qint64 pid = 0;
};

StartedProcess::StartedProcess(std::unique_ptr<Data> data)
    : d(std::move(data))
{
}

StartedProcess::~StartedProcess() = default;

qint64 StartedProcess::pid() const
{
    return d->pid;
}

bool StartedProcess::waitForExit(qint64 timeoutMs, const QString& executable)
{
    // Not our child once detached: only its presence can be asked for, and
    // only after a first pause, as a process just forked does not yet run
    // the program it is going to.
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QThread::msleep(static_cast<unsigned long>(qBound<qint64>(1, deadline.remainingTime(), 1000)));
        if (!isProcessRunning(d->pid, executable))
            return true;
    } while (!deadline.hasExpired());
    return false;
}

bool StartedProcess::exitCode(int*) const
{
    return false;
}

std::unique_ptr<StartedProcess> processById(qint64 pid)
{
    auto data = std::make_unique<StartedProcess::Data>();
    data->pid = pid;
    return std::make_unique<StartedProcess>(std::move(data));
}

ElevatedStart runElevated(const QString&, const QString&, const QString&, std::unique_ptr<StartedProcess>*)
{
    // There is no elevation prompt here; callers start the program as it is.
    return ElevatedStart::Failed;
}

bool isProcessRunning(qint64 pid, const QString& executable)
{
    if (pid <= 0)
        return false;
    // Where /proc exists it tells which executable the process runs; an
    // exited process has no such entry.
    const QFileInfo link(QStringLiteral("/proc/%1/exe").arg(pid));
    if (QFileInfo::exists(QStringLiteral("/proc/self/exe"))) {
        const QString target = QFileInfo(link.symLinkTarget()).fileName();
        QString expected = executable;
        if (expected.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
            expected.chop(4);
        return !target.isEmpty() && (target == executable || target == expected);
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0;
}

} // namespace kiv_platform
