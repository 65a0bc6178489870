// The copier program, run as the install runs it: a parameter file in, a result file and an exit code out.

#include "copy_paths.h"
#include "test_support.h"

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
    QTest::addColumn<QStringList>("params"); // "@" stands for the work folder
    QTest::addColumn<int>("code");
    QTest::newRow("success") << QStringList{"@source/*", "@destination/", "r.ret"} << 0;
    // Without a complete parameter file there is no result file to write.
    QTest::newRow("parameter file cut short") << QStringList{"@source/*", "@destination"} << 1;
    QTest::newRow("destination inside the source") << QStringList{"@source/*", "@source/plugins", "r.ret"} << 2;
    QTest::newRow("source folder missing") << QStringList{"@gone/*", "@destination", "r.ret"} << 3;
    QTest::newRow("destination under a file") << QStringList{"@source/*", "@plain/plugins", "r.ret"} << 4;
#ifdef Q_OS_UNIX
    // A link to nothing cannot be read, even by root; past the copier's file size limit a write fails mid-file.
    QTest::newRow("entry unreadable") << QStringList{"@other/*.lnk", "@destination", "r.ret"} << 5;
    QTest::newRow("write fails mid-file") << QStringList{"@other/*.gup", "@destination", "r.ret"} << 5;
#endif
}

void tst_copy_file::copiesOrFailsWithItsOwnCode()
{
    QFETCH(QStringList, params);
    QFETCH(int, code);
    QTemporaryDir work;
    QByteArray paramFile; // the texts through QDataStream
    QDataStream out(&paramFile, QIODevice::WriteOnly);
    for (const QString& param : params)
        out << QString(param).replace('@', work.path() + '/');
    // The sources; an old plugin beside a foreign file to be left alone.
    const QList<QPair<const char*, QByteArray>> files{{"source/plugin.gup", QByteArray("\x00\x01\xff\r\n\x00 new", 11)},
        {"source/.hidden", "dot file"}, {"source/zh-CN/deeper/strings.txt", "text"}, {"plain", "a file, not a folder"},
        {"other/plugin.gup", QByteArray(256 * 1024, 'n')}, {"destination/plugin.gup", "the good old plugin"},
        {"destination/other.dlu", "someone else's"}, {"p.param", paramFile}};
    for (const auto& file : files)
        kiv_test::writeFile(work.filePath(file.first), file.second);
    QFile::link(work.filePath("nowhere"), work.filePath("other/plugin.lnk"));

    QProcess copier;
    copier.setWorkingDirectory(work.path());
#ifdef Q_OS_UNIX
    copier.start("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 32 && exec \"$0\" \"$@\"",
                             QCoreApplication::applicationDirPath() + "/kiv_copy_file", "p.param"});
#else
    copier.start(QCoreApplication::applicationDirPath() + "/kiv_copy_file", {"p.param"});
#endif
    QVERIFY(copier.waitForFinished(30000));
    QCOMPARE(copier.exitStatus() == QProcess::NormalExit ? copier.exitCode() : -1, code);
    QCOMPARE(kiv_test::readFile(work.filePath("r.ret")), code == 1 ? QByteArray() : QByteArray::number(code));
    // The old plugin kept, or a copy equal to its source (still there); no temporary files left.
    const QByteArray plugin = code ? "the good old plugin" : kiv_test::readFile(work.filePath("source/plugin.gup"));
    QCOMPARE(kiv_test::readFile(work.filePath("destination/plugin.gup")), plugin);
    const QDir destination(work.filePath("destination"));
    QStringList copied;
    for (QDirIterator it(destination.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories); it.hasNext();)
        copied << destination.relativeFilePath(it.next());
    copied.sort();
    const QStringList tree{".hidden", "other.dlu", "plugin.gup", "zh-CN", "zh-CN/deeper", "zh-CN/deeper/strings.txt"};
    QCOMPARE(copied, (code ? QStringList{"other.dlu", "plugin.gup"} : tree));
}

void tst_copy_file::destinationBelowTheRootIsNotInTheCurrentFolder()
{
    // Not there yet, "C:/new/dest" below the current drive's root is not "C:new/dest" in C's current folder.
    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    const QString absent = work.path().section('/', 0, 0) + "/kiv-absent-" + QFileInfo(work.path()).fileName() + "/dest";
    const QString resolved = kiv_copy_paths::resolvedPath(absent);
    QDir::setCurrent(previous);
    QCOMPARE(resolved, absent);
}

QTEST_GUILESS_MAIN(tst_copy_file)
#include "tst_copy_file.moc"
