#include "kiv_platform.h"

#include <QDir>
#include <QSettings>

#include <windows.h>
#include <shlobj.h>

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

} // namespace kiv_platform
