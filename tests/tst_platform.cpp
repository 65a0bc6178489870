// The operating system services behind the panel: the machine, the elevated
// start of a program and the process it hands back.

#include "kiv_platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QString copierPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/kiv_copy_file");
}

} // namespace

class tst_platform : public QObject
{
    Q_OBJECT
private slots:
    void machine();
    void elevatedStartOfAMissingProgram();
    void startedProcessEndsWithItsExitCode();
};

void tst_platform::machine()
{
    // These tests are only built for 64-bit x86 machines.
    QVERIFY(kiv_platform::isNative64Bit());
    bool ok = false;
    const bool vista = kiv_platform::isVistaOrLater(&ok);
    QVERIFY(ok);
#ifdef Q_OS_WIN
    QVERIFY(vista);
#else
    // Nothing asks for elevation here: callers start programs as they are.
    QVERIFY(!vista);
#endif
}

void tst_platform::elevatedStartOfAMissingProgram()
{
    // Reported to the caller, with no box of the shell's own that would wait
    // for a click: a missing program, or one in a missing folder.
    QTemporaryDir sandbox;
    for (const QString& program : {sandbox.filePath("kiv_copy_file.exe"), sandbox.filePath("gone/kiv_copy_file.exe")}) {
        std::unique_ptr<kiv_platform::StartedProcess> process;
        const kiv_platform::ElevatedStart start = kiv_platform::runElevated(program, QString(), sandbox.path(), &process);
#ifdef Q_OS_WIN
        QCOMPARE(start, kiv_platform::ElevatedStart::NotFound);
#else
        QCOMPARE(start, kiv_platform::ElevatedStart::Failed);
#endif
        QVERIFY(!process);
    }
}

void tst_platform::startedProcessEndsWithItsExitCode()
{
    // The copier without its parameter file ends at once with exit code 1.
    QTemporaryDir sandbox;
    std::unique_ptr<kiv_platform::StartedProcess> process;
#ifdef Q_OS_WIN
    QCOMPARE(kiv_platform::runElevated(copierPath() + ".exe", QString(), sandbox.path(), &process),
             kiv_platform::ElevatedStart::Started);
    QVERIFY(process && process->pid() > 0);
    QVERIFY(process->waitForExit(60000, "kiv_copy_file.exe"));
    int code = -1;
    QVERIFY(process->exitCode(&code));
    QCOMPARE(code, 1);
#else
    // Started detached, it is known by its id only: its end, not its code.
    qint64 pid = 0;
    QVERIFY(QProcess::startDetached(copierPath(), {}, sandbox.path(), &pid));
    process = kiv_platform::processById(pid);
    QCOMPARE(process->pid(), pid);
    QVERIFY(process->waitForExit(60000, "kiv_copy_file.exe"));
    int code = -1;
    QVERIFY(!process->exitCode(&code));
#endif
    QVERIFY(!kiv_platform::isProcessRunning(process->pid(), "kiv_copy_file.exe"));
}

QTEST_GUILESS_MAIN(tst_platform)
#include "tst_platform.moc"
