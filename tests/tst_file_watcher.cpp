// The scene folder watcher: which index files are found, what is announced
// for them and how often, and the lifetime of the worker threads.

#include "kiv_filewatcher.h"
#include "kiv_monitorwork.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

struct Announcement {
    QStringList files;
    QString range;
};

// A monitor folder in a temporary directory.
struct MonitorFolder {
    // Writes an index file below the root ("2020_01_01/_txtIndex/a.txt"),
    // dated back a minute unless it is still being written.
    QString add(const QString& relative, const QStringList& lines, bool complete = true) const
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(lines.join(QLatin1Char('\n')).toLocal8Bit());
        file.close();
        if (complete)
            age(path);
        return path;
    }
    static void age(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    }
    static void touch(const QString& path) { QFile(path).open(QIODevice::ReadWrite); }
    QString root() const { return dir.path(); }

    QTemporaryDir dir;
};

const QStringList kLines = {QStringLiteral("20240115103000"), QStringLiteral("D:/scenes/shot_0001.ass")};

// Collects the announcements, queued onto the test's thread.
struct Listener : QObject {
    explicit Listener(kiv_filewatcher* watcher)
    {
        connect(watcher, &kiv_filewatcher::fileChangeList, this,
                [this](const QStringList& files, const QString& range) { all.append({files, range}); });
    }
    QList<Announcement> of(const QString& indexFile) const
    {
        QList<Announcement> found;
        for (const Announcement& a : all) {
            if (!a.files.isEmpty() && a.files.last() == indexFile)
                found << a;
        }
        return found;
    }
    int count(const QString& indexFile) const { return of(indexFile).size(); }

    QList<Announcement> all;
};

QList<QThread*> threadsOf(const kiv_filewatcher& watcher)
{
    return watcher.findChildren<QThread*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

class tst_file_watcher : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void findsOnlyDateFoldersAndIndexFiles();
    void announcesTheSceneListAndFrameRange();
    void waitsForAFileStillBeingWritten();
    void readingIsNotReenteredByTheTimers();
    void removingAFolderStopsItsWorker();
    void repeatedFolderListsPileUpNothing();
    void stopsItsThreadsAtExitAndWhenDestroyed();

private:
    // Adds a complete index file and waits for it: every file that existed
    // before has been through a whole poll by then.
    void waitForAPoll(const MonitorFolder& folder, const Listener& listener)
    {
        const QString probe = folder.add(QStringLiteral("2030_01_01/_txtIndex/probe_%1.txt").arg(++m_probes), kLines);
        QTRY_COMPARE_WITH_TIMEOUT(listener.count(probe), 1, 10000);
    }

    std::unique_ptr<kiv_filewatcher> m_watcher;
    int m_probes = 0;
};

void tst_file_watcher::init()
{
    qputenv("KIV_MONITOR_POLL_MS", "40");
    QLoggingCategory::setFilterRules(QStringLiteral("kiv.monitor.debug=false"));
    m_watcher = std::make_unique<kiv_filewatcher>();
}

void tst_file_watcher::findsOnlyDateFoldersAndIndexFiles()
{
    MonitorFolder folder;
    const QStringList found = {
        folder.add(QStringLiteral("2020_02_30/_txtIndex/day_not_checked.txt"), kLines),
        folder.add(QStringLiteral("2021_05_06.old/_txtIndex/extra_extension.txt"), kLines),
        folder.add(QStringLiteral("2022_12_31/_TXTINDEX/capital_index_folder.txt"), kLines),
    };
    const QStringList ignored = {
        folder.add(QStringLiteral("1999_01_01/_txtIndex/year.txt"), kLines),
        folder.add(QStringLiteral("2020_13_01/_txtIndex/month.txt"), kLines),
        folder.add(QStringLiteral("x2020_01_01/_txtIndex/prefix.txt"), kLines),
        folder.add(QStringLiteral("2020_01_01/index/other_folder.txt"), kLines),
        folder.add(QStringLiteral("2020_01_01/_txtIndex/capital_suffix.TXT"), kLines),
        folder.add(QStringLiteral("2020_01_01/_txtIndex/.hidden.txt"), kLines),
    };
    // Taken before, or finished: not announced either.
    const QString taken = folder.add(QStringLiteral("2020_01_01/_txtIndex/taken.txt"), kLines);
    MonitorFolder::touch(taken + QStringLiteral(".B"));
    MonitorFolder::touch(folder.add(QStringLiteral("2020_01_01/_txtIndex/finished.txt"), kLines) + ".E");
    // A linked date folder is not followed.
    MonitorFolder outside;
    const QString linked = outside.add(QStringLiteral("2020_04_04/_txtIndex/linked.txt"), kLines);
    QVERIFY(QFile::link(outside.root() + QStringLiteral("/2020_04_04"), folder.root() + QStringLiteral("/2020_04_05")));

    Listener listener(m_watcher.get());
    m_watcher->SetMonitorFolders({folder.root()});
    for (const QString& file : found)
        QTRY_COMPARE_WITH_TIMEOUT(listener.count(file), 1, 10000);
    waitForAPoll(folder, listener);
    for (const QString& file : found)
        QVERIFY(QFile::exists(file + QStringLiteral(".B")));
    for (const QString& file : ignored + QStringList{linked})
        QVERIFY2(!QFile::exists(file + QStringLiteral(".B")), qPrintable(file));
    // Later polls leave the marked files alone, also once finished.
    MonitorFolder::touch(found.first() + QStringLiteral(".E"));
    waitForAPoll(folder, listener);
    QCOMPARE(listener.all.size(), found.size() + 2);
}

void tst_file_watcher::announcesTheSceneListAndFrameRange()
{
    MonitorFolder folder;
    QStringList lines = {QStringLiteral("20240115103000"), QString(), QStringLiteral("  camera: main ")};
    QStringList expected = {QStringLiteral("20240115103000"), QStringLiteral("camera: main")};
    for (int frame = 101; frame <= 150; ++frame) {
        const QString scene = QStringLiteral("D:/scenes/shot_%1.ass").arg(frame, 4, 10, QLatin1Char('0'));
        lines << QStringLiteral("  ") + scene;
        expected << scene;
    }
    // Only a lower-case "ass" ending names a scene file.
    lines << QStringLiteral("notes.ASS") << QStringLiteral("   ");
    expected << QStringLiteral("notes.ASS");
    const QString sequence = folder.add(QStringLiteral("2024_01_15/_txtIndex/sequence.txt"), lines);
    const QString noScenes = folder.add(QStringLiteral("2024_01_15/_txtIndex/no_scenes.txt"),
                                        {QStringLiteral("20240115103000"), QStringLiteral("render.log")});
    const QString noDigits = folder.add(QStringLiteral("2024_01_16/_txtIndex/no_digits.txt"),
                                        {QStringLiteral("20240116080000"), QStringLiteral("E:/a/scene.ass"),
                                         QStringLiteral("E:/a/scene_b.ass")});

    Listener listener(m_watcher.get());
    m_watcher->SetMonitorFolders({folder.root()});
    QTRY_COMPARE_WITH_TIMEOUT(listener.all.size(), 3, 10000);
    // The first scene line, every line from the time stamp on, the file.
    QCOMPARE(listener.of(sequence).value(0).files,
             QStringList{QStringLiteral("D:/scenes/shot_0101.ass")} + expected + QStringList{sequence});
    QCOMPARE(listener.of(sequence).value(0).range, QStringLiteral("101-150"));
    QCOMPARE(listener.of(noScenes).value(0).files,
             (QStringList{QStringLiteral("20240115103000"), QStringLiteral("render.log"), noScenes}));
    QCOMPARE(listener.of(noScenes).value(0).range, QStringLiteral("0--1"));
    QCOMPARE(listener.of(noDigits).value(0).range, QStringLiteral("0-1"));
}

void tst_file_watcher::waitsForAFileStillBeingWritten()
{
    MonitorFolder folder;
    Listener listener(m_watcher.get());
    m_watcher->SetMonitorFolders({folder.root()});
    waitForAPoll(folder, listener);

    // Half written, just now: left for a later poll.
    const QString growing = folder.add(QStringLiteral("2024_03_01/_txtIndex/growing.txt"),
                                       {QStringLiteral("20240301090000"), QStringLiteral("S:/s_0010.ass")}, false);
    waitForAPoll(folder, listener);
    QCOMPARE(listener.count(growing), 0);
    QVERIFY(!QFile::exists(growing + QStringLiteral(".B")));

    // Completed: read once, whole.
    QFile file(growing);
    QVERIFY(file.open(QIODevice::Append));
    file.write("\nS:/s_0011.ass\nS:/s_0012.ass");
    file.close();
    MonitorFolder::age(growing);
    QTRY_COMPARE_WITH_TIMEOUT(listener.count(growing), 1, 10000);
    QCOMPARE(listener.of(growing).value(0).range, QStringLiteral("10-12"));
    waitForAPoll(folder, listener);
    QCOMPARE(listener.count(growing), 1);
}

void tst_file_watcher::readingIsNotReenteredByTheTimers()
{
    // Timers far faster than a read of these files.
    qputenv("KIV_MONITOR_POLL_MS", "1");
    MonitorFolder folder;
    QMap<QString, QStringList> expected;
    for (int f = 0; f < 4; ++f) {
        QStringList lines{QStringLiteral("20240501120000")};
        for (int frame = 1; frame <= 1500; ++frame)
            lines << QStringLiteral("S:/file%1/shot_%2.ass").arg(f).arg(frame);
        const QString path = folder.add(QStringLiteral("2024_05_01/_txtIndex/big_%1.txt").arg(f), lines);
        expected.insert(path, QStringList{lines.at(1)} + lines + QStringList{path});
    }

    Listener listener(m_watcher.get());
    m_watcher->SetMonitorFolders({folder.root()});
    QTRY_COMPARE_WITH_TIMEOUT(listener.all.size(), expected.size(), 20000);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(listener.of(it.key()).value(0).files, it.value());
}

void tst_file_watcher::removingAFolderStopsItsWorker()
{
    MonitorFolder folder;
    const QString first = folder.add(QStringLiteral("2024_06_01/_txtIndex/first.txt"), kLines);
    Listener listener(m_watcher.get());
    m_watcher->SetMonitorFolders({folder.root()});
    QTRY_COMPARE_WITH_TIMEOUT(listener.count(first), 1, 10000);
    QPointer<QThread> thread = threadsOf(*m_watcher).value(0);

    m_watcher->SetMonitorFolders({});
    QVERIFY(m_watcher->MonitorFolders().isEmpty());
    // The thread ends, then its object goes.
    QTRY_VERIFY_WITH_TIMEOUT(thread.isNull(), 10000);

    // A fresh worker takes every file without a begin marker.
    const QString second = folder.add(QStringLiteral("2024_06_01/_txtIndex/second.txt"), kLines);
    QVERIFY(QFile::remove(first + QStringLiteral(".B")));
    m_watcher->SetMonitorFolders({folder.root()});
    QTRY_COMPARE_WITH_TIMEOUT(listener.count(second), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(listener.count(first), 2, 10000);
}

void tst_file_watcher::repeatedFolderListsPileUpNothing()
{
    MonitorFolder a;
    MonitorFolder b;
    for (int i = 0; i < 20; ++i) {
        m_watcher->SetMonitorFolders({a.root(), b.root(), a.root()});
        m_watcher->SetMonitorFolders({b.root(), QString(), a.root()});
        if (i % 4 == 0)
            m_watcher->SetMonitorFolders({a.root()});
    }
    QStringList both{a.root(), b.root()};
    both.sort();
    QCOMPARE(m_watcher->MonitorFolders(), both);
    QTRY_COMPARE_WITH_TIMEOUT(threadsOf(*m_watcher).size(), 2, 10000);

    for (const QString& root : both) {
        kiv_monitorwork* worker = m_watcher->Worker(root);
        QVERIFY(worker);
        QList<int> intervals;
        QMetaObject::invokeMethod(
            worker,
            [&] {
                for (const QTimer* timer : worker->findChildren<QTimer*>())
                    intervals << (timer->isActive() ? timer->interval() : -1);
            },
            Qt::BlockingQueuedConnection);
        QCOMPARE(intervals, (QList<int>{40, 40, 40}));
    }
}

void tst_file_watcher::stopsItsThreadsAtExitAndWhenDestroyed()
{
    MonitorFolder folder;
    QCOMPARE(kiv_filewatcher::instance(), m_watcher.get());
    m_watcher->SetMonitorFolders({folder.root()});
    QPointer<QThread> thread = threadsOf(*m_watcher).value(0);
    QVERIFY(thread && thread->isRunning());
    // As the application's event loop ends: the threads have ended on return.
    QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
    QVERIFY(thread.isNull() || thread->isFinished());
    QVERIFY(m_watcher->MonitorFolders().isEmpty());

    // Destroyed with a running worker; a later watcher takes the instance,
    // and destroying an earlier one leaves it there.
    auto second = std::make_unique<kiv_filewatcher>();
    second->SetMonitorFolders({folder.root()});
    QCOMPARE(kiv_filewatcher::instance(), second.get());
    m_watcher.reset();
    QCOMPARE(kiv_filewatcher::instance(), second.get());
    second.reset();
    QCOMPARE(kiv_filewatcher::instance(), nullptr);
}

QTEST_GUILESS_MAIN(tst_file_watcher)

#include "tst_file_watcher.moc"
