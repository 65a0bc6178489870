// The operating system services behind the panel: the machine, the elevated
// start of a program and the process it hands back.

#include "kiv_platform.h"

#include <QtTest>

#include <memory>

// Only Windows asks for elevation; elsewhere callers start programs as they are.
const bool kWindows = QSysInfo::productType() == QLatin1String("windows");

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
    QCOMPARE(kiv_platform::isVistaOrLater(&ok), kWindows);
    QVERIFY(ok);
}

void tst_platform::elevatedStartOfAMissingProgram()
{
    // Reported to the caller, with no box of the shell's own that would wait
    // for a click: a missing program, or one in a missing folder.
    QTemporaryDir sandbox;
    for (const QString& program : {sandbox.filePath("kiv_copy_file.exe"), sandbox.filePath("gone/kiv_copy_file.exe")}) {
        std::unique_ptr<kiv_platform::StartedProcess> process;
        QCOMPARE(kiv_platform::runElevated(program, QString(), sandbox.path(), &process),
                 kWindows ? kiv_platform::ElevatedStart::NotFound : kiv_platform::ElevatedStart::Failed);
        QVERIFY(!process);
    }
}

void tst_platform::startedProcessEndsWithItsExitCode()
{
    // The copier without its parameter file ends at once with exit code 1.
    QTemporaryDir sandbox;
    const QString copier = QCoreApplication::applicationDirPath() + QStringLiteral("/kiv_copy_file");
    std::unique_ptr<kiv_platform::StartedProcess> process;
    if (kWindows) {
        QCOMPARE(kiv_platform::runElevated(copier + ".exe", QString(), sandbox.path(), &process),
                 kiv_platform::ElevatedStart::Started);
    } else {
        // Started detached, it is known by its id only: its end, not its code.
        qint64 pid = 0;
        QVERIFY(QProcess::startDetached(copier, {}, sandbox.path(), &pid));
        process = kiv_platform::processById(pid);
    }
    QVERIFY(process && process->pid() > 0);
    QVERIFY(process->waitForExit(60000, "kiv_copy_file.exe"));
    QVERIFY(!kiv_platform::isProcessRunning(process->pid(), "kiv_copy_file.exe"));
    int code = -1;
    QCOMPARE(process->exitCode(&code), kWindows);
    QCOMPARE(code, kWindows ? 1 : -1);
}

QTEST_GUILESS_MAIN(tst_platform)
#include "tst_platform.moc"
