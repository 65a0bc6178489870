// The copier program, run as the install runs it: a parameter file in, a
// result file and an exit code out.

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString copierPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/kiv_copy_file");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeParams(const QString& path, const QStringList& texts)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QDataStream out(&file);
    for (const QString& text : texts)
        out << text;
}

// Runs the copier in `workDir` (the parameter and result names are relative
// to it); the exit code, or -1 when it did not exit normally.
int runCopier(const QString& workDir, const QStringList& arguments, const QString& program = copierPath())
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QStringList entriesBelow(const QString& folder)
{
    QStringList names;
    QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        names << info.fileName();
        if (info.isDir() && !info.isSymLink()) {
            for (const QString& name : entriesBelow(info.absoluteFilePath()))
                names << info.fileName() + QLatin1Char('/') + name;
        }
    }
    return names;
}

} // namespace

class tst_copy_file : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void copiesTheTreeAndReportsSuccess();
    void failuresHaveTheirOwnCodes_data();
    void failuresHaveTheirOwnCodes();
    void aFailedCopyKeepsTheOldFile();
    void aCopierKilledMidFileKeepsTheOldFile();
};

void tst_copy_file::initTestCase()
{
    QVERIFY2(QFileInfo(copierPath()).isExecutable(), qPrintable(copierPath()));
}

void tst_copy_file::copiesTheTreeAndReportsSuccess()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString source = work.filePath(QStringLiteral("source"));
    const QByteArray binary("\x00\x01\xff\r\n\x00 binary", 14);
    writeFile(source + QStringLiteral("/TMQ_Rendering_2018.gup"), "plugin v2");
    writeFile(source + QStringLiteral("/.hidden"), "dot file");
    writeFile(source + QStringLiteral("/zh-CN/strings.bin"), binary);
    writeFile(source + QStringLiteral("/zh-CN/deeper/more.txt"), "deep");
    QDir(source).mkpath(QStringLiteral("empty"));
    // The destination exists in part: an old plugin is replaced, a foreign
    // file is left alone.
    const QString destination = work.filePath(QStringLiteral("max/plugins"));
    writeFile(destination + QStringLiteral("/TMQ_Rendering_2018.gup"), "plugin v1, a longer old file");
    writeFile(destination + QStringLiteral("/other.dlu"), "someone else's");

    writeParams(work.filePath(QStringLiteral("1.param")),
                {source + QStringLiteral("/*"), destination + QLatin1Char('/'), QStringLiteral("1.ret")});
    QCOMPARE(runCopier(work.path(), {QStringLiteral("1.param")}), 0);

    QCOMPARE(readFile(work.filePath(QStringLiteral("1.ret"))), QByteArray("0"));
    QCOMPARE(readFile(destination + QStringLiteral("/TMQ_Rendering_2018.gup")), QByteArray("plugin v2"));
    QCOMPARE(readFile(destination + QStringLiteral("/zh-CN/strings.bin")), binary);
    QCOMPARE(readFile(destination + QStringLiteral("/zh-CN/deeper/more.txt")), QByteArray("deep"));
    QCOMPARE(readFile(destination + QStringLiteral("/.hidden")), QByteArray("dot file"));
    // Exactly the copied tree and the foreign file: no temporary files left.
    QCOMPARE(entriesBelow(destination),
             QStringList({".hidden", "TMQ_Rendering_2018.gup", "empty", "other.dlu", "zh-CN", "zh-CN/deeper",
                          "zh-CN/deeper/more.txt", "zh-CN/strings.bin"}));
    // The source is untouched.
    QCOMPARE(entriesBelow(source).size(), 7);
}

void tst_copy_file::failuresHaveTheirOwnCodes_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("resultWritten");

    QTest::newRow("no parameter file given") << QStringLiteral("no argument") << 1 << false;
    QTest::newRow("parameter file missing") << QStringLiteral("missing") << 1 << false;
    QTest::newRow("parameter file cut short") << QStringLiteral("truncated") << 1 << false;
    QTest::newRow("garbage parameter file") << QStringLiteral("garbage") << 1 << false;
    QTest::newRow("relative source pattern") << QStringLiteral("relative") << 2 << true;
    QTest::newRow("pattern without a filter") << QStringLiteral("no filter") << 2 << true;
    QTest::newRow("empty destination") << QStringLiteral("empty destination") << 2 << true;
    QTest::newRow("destination inside the source") << QStringLiteral("inside") << 2 << true;
    QTest::newRow("source folder missing") << QStringLiteral("no source") << 3 << true;
    QTest::newRow("destination under a file") << QStringLiteral("blocked destination") << 4 << true;
}

void tst_copy_file::failuresHaveTheirOwnCodes()
{
    QFETCH(QString, situation);
    QFETCH(int, code);
    QFETCH(bool, resultWritten);

    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString source = work.filePath(QStringLiteral("source"));
    writeFile(source + QStringLiteral("/a.txt"), "a");
    const QString pattern = source + QStringLiteral("/*");
    const QString destination = work.filePath(QStringLiteral("destination"));
    const QString param = QStringLiteral("p.param");
    const QString result = QStringLiteral("p.ret");
    QStringList arguments{param};

    if (situation == QLatin1String("no argument")) {
        arguments.clear();
    } else if (situation == QLatin1String("missing")) {
        // no parameter file at all
    } else if (situation == QLatin1String("truncated")) {
        writeParams(work.filePath(param), {pattern, destination});
    } else if (situation == QLatin1String("garbage")) {
        writeFile(work.filePath(param), QByteArray("\x7f\xff\xff\xf0 not a stream", 17));
    } else if (situation == QLatin1String("relative")) {
        writeParams(work.filePath(param), {QStringLiteral("source/*"), destination, result});
    } else if (situation == QLatin1String("no filter")) {
        writeParams(work.filePath(param), {source + QLatin1Char('/'), destination, result});
    } else if (situation == QLatin1String("empty destination")) {
        writeParams(work.filePath(param), {pattern, QString(), result});
    } else if (situation == QLatin1String("inside")) {
        writeParams(work.filePath(param), {pattern, source + QStringLiteral("/plugins"), result});
    } else if (situation == QLatin1String("no source")) {
        writeParams(work.filePath(param), {work.filePath(QStringLiteral("gone/*")), destination, result});
    } else if (situation == QLatin1String("blocked destination")) {
        writeFile(work.filePath(QStringLiteral("plain")), "a file, not a folder");
        writeParams(work.filePath(param), {pattern, work.filePath(QStringLiteral("plain/plugins")), result});
    }

    QCOMPARE(runCopier(work.path(), arguments), code);
    if (resultWritten)
        QCOMPARE(readFile(work.filePath(result)), QByteArray::number(code));
    else
        QVERIFY(!QFile::exists(work.filePath(result)));
    // Nothing was copied into or beside the source.
    QCOMPARE(entriesBelow(source).contains(QStringLiteral("plugins")), false);
}

void tst_copy_file::aFailedCopyKeepsTheOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs symbolic links");
#else
    // A source entry that cannot be read (a link to nothing; permissions do
    // not stop a copier that runs as root) must not touch the old file.
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString source = work.filePath(QStringLiteral("source"));
    QDir().mkpath(source);
    QVERIFY(QFile::link(work.filePath(QStringLiteral("nowhere")), source + QStringLiteral("/plugin.gup")));
    const QString destination = work.filePath(QStringLiteral("destination"));
    writeFile(destination + QStringLiteral("/plugin.gup"), "the good old plugin");

    writeParams(work.filePath(QStringLiteral("k.param")),
                {source + QStringLiteral("/*"), destination, QStringLiteral("k.ret")});
    QCOMPARE(runCopier(work.path(), {QStringLiteral("k.param")}), 5);
    QCOMPARE(readFile(destination + QStringLiteral("/plugin.gup")), QByteArray("the good old plugin"));
    QCOMPARE(entriesBelow(destination), QStringList{QStringLiteral("plugin.gup")});
#endif
}

void tst_copy_file::aCopierKilledMidFileKeepsTheOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a shell with ulimit");
#else
    // A file size limit stops the copier in the middle of a large file,
    // whether by SIGXFSZ or by a failing write: the old file must survive.
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString source = work.filePath(QStringLiteral("source"));
    writeFile(source + QStringLiteral("/big.dll"), QByteArray(256 * 1024, 'n'));
    const QString destination = work.filePath(QStringLiteral("destination"));
    const QByteArray old(1000, 'o');
    writeFile(destination + QStringLiteral("/big.dll"), old);

    writeParams(work.filePath(QStringLiteral("l.param")),
                {source + QStringLiteral("/*"), destination, QStringLiteral("l.ret")});
    const int code = runCopier(work.path(),
                               {QStringLiteral("-c"), QStringLiteral("ulimit -f 32 && exec \"$0\" \"$1\""),
                                copierPath(), QStringLiteral("l.param")},
                               QStringLiteral("/bin/sh"));
    QVERIFY2(code == -1 || code == 5, qPrintable(QString::number(code)));
    QCOMPARE(readFile(destination + QStringLiteral("/big.dll")), old);
#endif
}

QTEST_GUILESS_MAIN(tst_copy_file)
#include "tst_copy_file.moc"
