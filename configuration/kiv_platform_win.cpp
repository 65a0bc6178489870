#include "kiv_platform.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace kiv_platform {

std::unique_ptr<QSettings> openUninstallKey(bool view64)
{
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"),
        view64 ? QSettings::Registry64Format : QSettings::NativeFormat);
}

QVariant valueIgnoringCase(QSettings& settings, const QString& name)
{
    // The registry itself compares value names regardless of case.
    return settings.value(name);
}

bool isNative64Bit()
{
    using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
    SYSTEM_INFO info = {};
    auto native = reinterpret_cast<GetNativeSystemInfoFn>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo"));
    if (native)
        native(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

QString commonAppDataPath()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path)))
        return {};
    return QDir::toNativeSeparators(QString::fromWCharArray(path));
}

bool isVistaOrLater(bool* ok)
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma warning(suppress : 4996)
    *ok = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != FALSE;
    return *ok && info.dwMajorVersion > 5;
}

ElevatedStart runElevated(const QString& program, const QString& parameters, const QString& directory,
                          qint64* pid)
{
    const std::wstring file = program.toStdWString();
    const std::wstring arguments = parameters.toStdWString();
    const std::wstring folder = QDir::toNativeSeparators(directory).toStdWString();
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
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
            return ElevatedStart::NotFound;
        default:
            return ElevatedStart::Failed;
        }
    }
    if (!info.hProcess)
        return ElevatedStart::NoProcess;
    *pid = GetProcessId(info.hProcess);
    CloseHandle(info.hProcess);
    return ElevatedStart::Started;
}

bool isProcessRunning(qint64 pid, const QString& executable)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return false;
    bool running = false;
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (K32EnumProcessModules(process, &module, sizeof(module), &needed)) {
        wchar_t name[MAX_PATH] = {};
        if (K32GetModuleFileNameExW(process, module, name, MAX_PATH))
            running = QFileInfo(QString::fromWCharArray(name)).fileName().compare(executable, Qt::CaseInsensitive) == 0;
    }
    CloseHandle(process);
    return running;
}

} // namespace kiv_platform
