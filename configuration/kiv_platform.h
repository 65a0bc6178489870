#pragma once

#include <QString>
#include <QVariant>

#include <functional>
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

// Whether the processor runs 64-bit code natively (x64 or ARM64), whether
// this program is a 32-bit or a 64-bit build.
bool isNative64Bit();

// The folder shared by all users for application data.
QString commonAppDataPath();

// Whether the system asks for elevation (Windows Vista and later). `ok` is
// false when the version could not be read.
bool isVistaOrLater(bool* ok);

// A started program, owned by whoever started it. On Windows it holds the
// process handle, so that its end and exit code are known even where the
// process may not be opened again (an elevated one, for a caller that is
// not); elsewhere it knows the process by id only.
class StartedProcess
{
public:
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    qint64 pid() const;
    // Waits at most `timeoutMs` for the process to end; true once it has.
    // Without a handle, it asks every second whether the process still runs
    // `executable`.
    bool waitForExit(qint64 timeoutMs, const QString& executable);
    // The exit code of an ended process, when the system tells it.
    bool exitCode(int* code) const;

    struct Data;
    explicit StartedProcess(std::unique_ptr<Data> data);

private:
    std::unique_ptr<Data> d;
};

// A process known by its id only, as QProcess::startDetached reports it.
std::unique_ptr<StartedProcess> processById(qint64 pid);

enum class ElevatedStart { Started, Denied, NotFound, Failed, NoProcess };

// Starts a program with administrator rights, asking the user (Windows only),
// without any error box of the shell's own. `parameters` is the command line
// after the program's name, arguments with spaces quoted; `directory` the
// working folder (empty: the current one). On success `process` owns the
// started process.
ElevatedStart runElevated(const QString& program, const QString& parameters, const QString& directory,
                          std::unique_ptr<StartedProcess>* process);

// Whether the process `pid` is alive and runs the executable named `executable`.
bool isProcessRunning(qint64 pid, const QString& executable);

} // namespace kiv_platform

namespace kiv_platform {

// Whether the windowing system draws translucent windows. On X11 that needs
// a compositing manager (asked when the build has Qt X11 Extras); everywhere
// else it is assumed.
bool windowsAreTranslucent();

// Tests replace the answer above; an empty function restores the real one.
void setTranslucencyAnswer(std::function<bool()> answer);

} // namespace kiv_platform
