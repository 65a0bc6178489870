#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// The few operating system services the panel needs. Windows answers from
// the registry and the shell; elsewhere stand-ins that tests and the demo
// can point at files of their own.
namespace kiv_platform {

// The uninstall key of installed programs (one group per subkey), or null
// where there is none. On Windows the 64-bit view is used when asked for.
std::unique_ptr<QSettings> openUninstallKey(bool view64);

// A value of the open group, its name compared regardless of case as the
// registry compares value names.
QVariant valueIgnoringCase(QSettings& settings, const QString& name);

// Whether the processor runs 64-bit code natively.
bool isNative64Bit();

// The folder shared by all users for application data.
QString commonAppDataPath();

// Whether the system asks for elevation (Windows Vista and later). `ok` is
// false when the version could not be read.
bool isVistaOrLater(bool* ok);

enum class ElevatedStart { Started, Denied, NotFound, Failed, NoProcess };

// Starts a program with administrator rights, asking the user (Windows only).
// `parameters` is the command line after the program's name, arguments with
// spaces quoted; `directory` the working folder (empty: the current one).
ElevatedStart runElevated(const QString& program, const QString& parameters, const QString& directory,
                          qint64* pid);

// Whether the process `pid` is alive and runs the executable named `executable`.
bool isProcessRunning(qint64 pid, const QString& executable);

} // namespace kiv_platform
