#include "kiv_platform.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <versionhelpers.h>

#include <string>

#ifndef PROCESSOR_ARCHITECTURE_ARM64
#define PROCESSOR_ARCHITECTURE_ARM64 12
#endif

namespace kiv_platform {

std::unique_ptr<QSettings> openUninstallKey(bool view64)
{
    // KIV_UNINSTALL_REGISTRY names another key to read in its place (tests
    // fill one of their own under HKEY_CURRENT_USER).
    QString key = qEnvironmentVariable("KIV_UNINSTALL_REGISTRY");
    if (key.isEmpty())
        key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
    return std::make_unique<QSettings>(key, view64 ? QSettings::Registry64Format : QSettings::NativeFormat);
}

QVariant valueIgnoringCase(QSettings& settings, const QString& name)
{
    // The registry itself compares value names regardless of case.
    return settings.value(name);
}

bool isNative64Bit()
{
    // Looked up at run time: a 32-bit build must see the machine, not the
    // WOW64 emulation it runs in, and older systems lack the call.
    SYSTEM_INFO info = {};
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo");
    if (found) {
        // Through void(*)(): the one function pointer cast GCC takes as deliberate.
        const auto native = reinterpret_cast<void(WINAPI*)(LPSYSTEM_INFO)>(reinterpret_cast<void (*)()>(found));
        native(&info);
    } else {
        GetSystemInfo(&info);
    }
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64
           || info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
}

QString commonAppDataPath()
{
    // KIV_COMMON_APPDATA names another folder to use in its place (tests
    // keep the plugin configuration in a folder of their own).
    const QString overridden = qEnvironmentVariable("KIV_COMMON_APPDATA");
    if (!overridden.isEmpty())
        return QDir::toNativeSeparators(overridden);
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path)))
        return {};
    return QDir::toNativeSeparators(QString::fromWCharArray(path));
}

bool isVistaOrLater(bool* ok)
{
    // Asks for the version rather than reading it, so the answer does not
    // depend on the program's compatibility manifest.
    *ok = true;
    return IsWindowsVistaOrGreater();
}

struct StartedProcess::Data {
    qint64 pid = 0;
    HANDLE handle = nullptr;
};

StartedProcess::StartedProcess(std::unique_ptr<Data> data)
    : d(std::move(data))
{
}

StartedProcess::~StartedProcess()
{
    if (d->handle)
        CloseHandle(d->handle);
}

qint64 StartedProcess::pid() const
{
    return d->pid;
}

bool StartedProcess::waitForExit(qint64 timeoutMs, const QString& executable)
{
    if (!d->handle) {
        const QDeadlineTimer deadline(timeoutMs);
        do {
            Sleep(static_cast<DWORD>(qBound<qint64>(1, deadline.remainingTime(), 1000)));
            if (!isProcessRunning(d->pid, executable))
                return true;
        } while (!deadline.hasExpired());
        return false;
    }
    const DWORD wait = static_cast<DWORD>(qBound<qint64>(0, timeoutMs, INFINITE - 1));
    return WaitForSingleObject(d->handle, wait) == WAIT_OBJECT_0;
}

bool StartedProcess::exitCode(int* code) const
{
    DWORD exit = 0;
    if (!d->handle || !GetExitCodeProcess(d->handle, &exit) || exit == STILL_ACTIVE)
        return false;
    *code = static_cast<int>(exit);
    return true;
}

std::unique_ptr<StartedProcess> processById(qint64 pid)
{
    auto data = std::make_unique<StartedProcess::Data>();
    data->pid = pid;
    data->handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    return std::make_unique<StartedProcess>(std::move(data));
}

ElevatedStart runElevated(const QString& program, const QString& parameters, const QString& directory,
                          std::unique_ptr<StartedProcess>* process)
{
    const std::wstring file = program.toStdWString();
    const std::wstring arguments = parameters.toStdWString();
    const std::wstring folder = QDir::toNativeSeparators(directory).toStdWString();
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // NO_UI: a missing program is reported to the caller, not in a box of the shell's.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = arguments.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        switch (GetLastError()) {
        case ERROR_CANCELLED:
            return ElevatedStart::Denied;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ElevatedStart::NotFound;
        default:
            return ElevatedStart::Failed;
        }
    }
    if (!info.hProcess)
        return ElevatedStart::NoProcess;
    // The handle is kept: an elevated process cannot be opened again by a
    // caller that is not elevated, so it is the only way to see it end.
    auto data = std::make_unique<StartedProcess::Data>();
    data->pid = GetProcessId(info.hProcess);
    data->handle = info.hProcess;
    *process = std::make_unique<StartedProcess>(std::move(data));
    return ElevatedStart::Started;
}

bool isProcessRunning(qint64 pid, const QString& executable)
{
    // Limited query rights are granted on elevated processes too, and the
    // image name is known from the start, unlike the module list.
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return false;
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (running) {
        wchar_t name[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        // An id reused by another program is not the one we started.
        if (QueryFullProcessImageNameW(process, 0, name, &size))
            running = QFileInfo(QString::fromWCharArray(name, static_cast<int>(size)))
                          .fileName()
                          .compare(executable, Qt::CaseInsensitive)
                      == 0;
    }
    CloseHandle(process);
    return running;
}

} // namespace kiv_platform
