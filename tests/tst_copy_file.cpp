// The copier program, run as the install runs it: a parameter file in, a
// result file and an exit code out.

#include "copy_paths.h"
#include "test_support.h"

namespace {

using kiv_test::writeFile;

// The parameter file: three QStrings through QDataStream.
void writeParams(const QString& path, const QStringList& texts)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    for (const QString& text : texts)
        out << text;
}

// Runs the copier in `workDir`; its exit code, or -1 when it did not exit
// normally. On Unix under a 16 KiB file size limit: writing a larger file
// fails part way (the signal that would stop the copier is ignored).
int run(const QString& workDir, const QStringList& arguments)
{
    const QString copier = QCoreApplication::applicationDirPath() + QStringLiteral("/kiv_copy_file");
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#ifdef Q_OS_UNIX
    const QString limited = QStringLiteral("trap '' XFSZ; ulimit -f 32 && exec \"$0\" \"$@\"");
    process.start("/bin/sh", QStringList{"-c", limited, copier} + arguments);
#else
    process.start(copier, arguments);
#endif
    const bool exited = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    return exited ? process.exitCode() : -1;
}

QStringList entriesBelow(const QString& folder)
{
    QStringList names;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories); it.hasNext();)
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

} // namespace

class tst_copy_file : public QObject
{
    Q_OBJECT

private slots:
    void copiesOrFailsWithItsOwnCode_data();
    void copiesOrFailsWithItsOwnCode();
    void destinationBelowTheRootIsNotInTheCurrentFolder();
};

void tst_copy_file::copiesOrFailsWithItsOwnCode_data()
{
    QTest::addColumn<QStringList>("params"); // "@" stands for the work folder; none: no parameter file
    QTest::addColumn<int>("code");
    QTest::newRow("success") << QStringList{"@source/*", "@destination/", "r.ret"} << 0;
    QTest::newRow("parameter file missing") << QStringList() << 1;
    QTest::newRow("parameter file cut short") << QStringList{"@source/*", "@destination"} << 1;
    QTest::newRow("destination inside the source") << QStringList{"@source/*", "@source/plugins", "r.ret"} << 2;
    QTest::newRow("source folder missing") << QStringList{"@gone/*", "@destination", "r.ret"} << 3;
    QTest::newRow("destination under a file") << QStringList{"@source/*", "@plain/plugins", "r.ret"} << 4;
#ifdef Q_OS_UNIX
    // A link to nothing cannot be read (permissions do not stop a copier running as root).
    QTest::newRow("entry unreadable") << QStringList{"@broken/*", "@destination", "r.ret"} << 5;
    // Beyond the file size limit of run(): a write fails in the middle of the file.
    QTest::newRow("write fails mid-file") << QStringList{"@big/*", "@destination", "r.ret"} << 5;
#endif
}

void tst_copy_file::copiesOrFailsWithItsOwnCode()
{
    QFETCH(QStringList, params);
    QFETCH(int, code);
    QTemporaryDir work;
    const QByteArray binary("\x00\x01\xff\r\n\x00 binary", 14);
    writeFile(work.filePath("source/plugin.gup"), "new");
    writeFile(work.filePath("source/.hidden"), "dot file");
    writeFile(work.filePath("source/zh-CN/deeper/strings.bin"), binary);
    QDir(work.path()).mkpath("source/empty");
    writeFile(work.filePath("big/plugin.gup"), QByteArray(256 * 1024, 'n'));
    QDir(work.path()).mkpath("broken");
    QFile::link(work.filePath("nowhere"), work.filePath("broken/plugin.gup"));
    writeFile(work.filePath("plain"), "a file, not a folder");
    // An old plugin, and a foreign file to be left alone.
    writeFile(work.filePath("destination/plugin.gup"), "the good old plugin");
    writeFile(work.filePath("destination/other.dlu"), "someone else's");
    for (QString& param : params)
        param.replace('@', work.path() + '/');
    if (!params.isEmpty())
        writeParams(work.filePath("p.param"), params);

    QCOMPARE(run(work.path(), {"p.param"}), code);
    // Without a complete parameter file there is no result file to write.
    const QByteArray result = code == 1 ? QByteArray() : QByteArray::number(code);
    QCOMPARE(kiv_test::readFile(work.filePath("r.ret")), result);
    const QByteArray plugin = code ? "the good old plugin" : "new";
    QCOMPARE(kiv_test::readFile(work.filePath("destination/plugin.gup")), plugin);
    if (code == 0)
        QCOMPARE(kiv_test::readFile(work.filePath("destination/zh-CN/deeper/strings.bin")), binary);
    // The source untouched; beside the foreign file exactly the copied tree, no temporary files.
    QStringList tree{".hidden", "empty", "plugin.gup", "zh-CN", "zh-CN/deeper", "zh-CN/deeper/strings.bin"};
    QCOMPARE(entriesBelow(work.filePath("source")), tree);
    tree.insert(2, "other.dlu");
    QCOMPARE(entriesBelow(work.filePath("destination")), (code ? QStringList{"other.dlu", "plugin.gup"} : tree));
}

void tst_copy_file::destinationBelowTheRootIsNotInTheCurrentFolder()
{
    // A folder that does not exist yet, right below the root of the drive
    // the current folder is on: "C:/new/dest" is not "C:new/dest", which
    // would lie in C's current folder and so inside a source copied from there.
    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    const QString root = QDir(QDir::cleanPath(work.path())).absolutePath().section('/', 0, 0) + '/';
    const QString absent = root + "kiv-absent-" + QFileInfo(work.path()).fileName() + "/dest";
    QVERIFY(!QFileInfo::exists(QFileInfo(absent).path()));
    const QString resolved = kiv_copy_paths::resolvedPath(absent);
    QDir::setCurrent(previous);
    QCOMPARE(resolved, absent);
    QVERIFY(!kiv_copy_paths::isSameOrInside(resolved, kiv_copy_paths::resolvedPath(work.path())));
}

QTEST_GUILESS_MAIN(tst_copy_file)
#include "tst_copy_file.moc"
