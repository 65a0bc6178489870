// The scene folder watcher: which index files are found, what is announced
// for them and how often, and the lifetime of the worker threads.

#include "kiv_filewatcher_private.h"
#include "test_support.h"

#include <memory>

namespace {

const QStringList kLines = {QStringLiteral("20240115103000"), QStringLiteral("D:/scenes/shot_0001.ass")};

// A monitor folder in a temporary directory.
struct MonitorFolder {
    // Writes an index file below the root, dated back a minute unless it is still being written.
    QString add(const QString& relative, const QStringList& lines = kLines, bool complete = true) const
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(lines.join(QLatin1Char('\n')).toLocal8Bit());
        file.flush();
        if (complete)
            file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
        return path;
    }
    static void touch(const QString& path) { QFile(path).open(QIODevice::ReadWrite); }
    QString root() const { return dir.path(); }
    QTemporaryDir dir;
};

// Collects the announcements (files, frame range) by index file, queued onto the test's thread.
struct Listener : QObject {
    explicit Listener(kiv_filewatcher* watcher)
    {
        connect(watcher, &kiv_filewatcher::fileChangeList, this,
                [this](const QStringList& files, const QString& range) { all.insert(files.last(), {files, range}); });
    }
    int count(const QString& indexFile) const { return all.count(indexFile); }
    QMultiMap<QString, QPair<QStringList, QString>> all;
};

} // namespace

class tst_file_watcher : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void interfaceIsListedInOrder();
    void announcesEachIndexFileOnceWithItsScenes();
    void eachFileIsReadWholeAndOnce();
    void laterChangesInKnownFoldersAreFound();
    void workersFollowTheFolderList();
    void announcesOnTheCurrentWatcher();
    void stopsItsThreadsAtExit();

private:
    // Waits until every index file present on entry has been through a whole
    // poll and been announced: a folder lists in no set order, so a first probe
    // may be read before older files; a second, written once the first is
    // announced, can only be read by a later poll.
    void waitForAPoll(const MonitorFolder& folder)
    {
        for (int i = 0; i < 2; ++i) {
            const QString probe = folder.add(QStringLiteral("2030_01_01/_txtIndex/probe_%1.txt").arg(++m_probes));
            QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(probe), 1, 10000);
        }
    }
    QList<QThread*> threads() const
    {
        return m_watcher->findChildren<QThread*>(QString(), Qt::FindDirectChildrenOnly);
    }

    std::unique_ptr<kiv_filewatcher> m_watcher;
    std::unique_ptr<Listener> m_listener;
    int m_probes = 0;
};

void tst_file_watcher::init()
{
    qputenv("KIV_MONITOR_POLL_MS", "40");
    QLoggingCategory::setFilterRules(QStringLiteral("kiv.monitor.debug=false"));
    m_watcher = std::make_unique<kiv_filewatcher>();
    m_listener = std::make_unique<Listener>(m_watcher.get());
}

void tst_file_watcher::announcesEachIndexFileOnceWithItsScenes()
{
    MonitorFolder folder;
    const QStringList found = {folder.add("2020_02_30/_txtIndex/day_not_checked.txt"),
                               folder.add("2021_05_06.old/_txtIndex/extra_extension.txt"),
                               folder.add("2022_12_31/_TXTINDEX/capital_index_folder.txt")};
    const QStringList refused = {folder.add("1999_01_01/_txtIndex/year.txt"),
                                 folder.add("2020_13_01/_txtIndex/month.txt"),
                                 folder.add("x2020_01_01/_txtIndex/prefix.txt"),
                                 folder.add("2020_01_01/_txtIndex/capital_suffix.TXT")};
    // Taken before, or finished: not announced either.
    MonitorFolder::touch(folder.add("2020_01_01/_txtIndex/taken.txt") + ".B");
    MonitorFolder::touch(folder.add("2020_01_01/_txtIndex/done.txt") + ".E");

    QStringList lines = {"20240115103000", "", "  camera: main "};
    QStringList expected = {"D:/scenes/shot_0101.ass", "20240115103000", "camera: main"};
    for (int frame = 101; frame <= 150; ++frame) {
        lines << QStringLiteral("  D:/scenes/shot_%1.ass").arg(frame, 4, 10, QLatin1Char('0'));
        expected << lines.last().trimmed();
    }
    lines << "notes.ASS"; // not a scene file: only a lower-case "ass" ending is one
    const QString sequence = folder.add("2024_01_15/_txtIndex/sequence.txt", lines);
    const QString noScenes = folder.add("2024_01_15/_txtIndex/no_scenes.txt", {"20240115103000", "render.log"});

    m_watcher->SetMonitorFolders({folder.root()});
    waitForAPoll(folder);
    // The first scene line, every line from the time stamp on, the file.
    QCOMPARE(m_listener->all.value(sequence).first, expected + QStringList({"notes.ASS", sequence}));
    QCOMPARE(m_listener->all.value(sequence).second, QStringLiteral("101-150"));
    QCOMPARE(m_listener->all.value(noScenes).second, QStringLiteral("0--1"));
    for (const QString& file : found + QStringList{sequence, noScenes})
        QVERIFY2(m_listener->count(file) == 1 && QFile::exists(file + ".B"), qPrintable(file));
    for (const QString& file : refused)
        QVERIFY2(!QFile::exists(file + ".B"), qPrintable(file));
    // Later polls leave the marked files alone, also once finished: nothing
    // but the five files and the probes is ever announced.
    MonitorFolder::touch(found.first() + ".E");
    waitForAPoll(folder);
    QCOMPARE(m_listener->all.size(), 5 + m_probes);
}

void tst_file_watcher::eachFileIsReadWholeAndOnce()
{
    // Timers far faster than a read of these files must not re-enter it.
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
    m_watcher->SetMonitorFolders({folder.root()});
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->all.size(), expected.size(), 20000);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(m_listener->all.value(it.key()).first, it.value());

    // Half written, just now: left for a later poll.
    const QString growing = folder.add("2024_03_01/_txtIndex/growing.txt", {"20240301090000", "S:/s_0010.ass"}, false);
    waitForAPoll(folder);
    QCOMPARE(m_listener->count(growing), 0);
    QVERIFY(!QFile::exists(growing + ".B"));
    // Completed: read once, whole.
    folder.add("2024_03_01/_txtIndex/growing.txt",
               {"20240301090000", "S:/s_0010.ass", "S:/s_0011.ass", "S:/s_0012.ass"});
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(growing), 1, 10000);
    QCOMPARE(m_listener->all.value(growing).second, QStringLiteral("10-12"));
    waitForAPoll(folder);
    QCOMPARE(m_listener->count(growing), 1);
}

void tst_file_watcher::interfaceIsListedInOrder()
{
    // Hosts connect by signature; the state stays behind the private pointer.
    const QMetaObject& meta = kiv_filewatcher::staticMetaObject;
    QStringList methods;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        methods << QString::fromLatin1(meta.method(i).methodSignature());
    QCOMPARE(methods, QStringList({"monitorInitial()", "fileChangeList(QStringList,QString)"}));
    QCOMPARE(sizeof(kiv_filewatcher), sizeof(QObject) + sizeof(void*));
}

void tst_file_watcher::laterChangesInKnownFoldersAreFound()
{
    // Polls skip folders whose listing cannot have changed; every change
    // below must still be seen, once.
    MonitorFolder folder;
    const int probesBefore = m_probes;
    const QString first = folder.add("2020_01_01/_txtIndex/first.txt");
    const QString started = folder.add("2020_01_01/_txtIndex/started.txt");
    MonitorFolder::touch(started + ".B");
    m_watcher->SetMonitorFolders({folder.root()});
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(first), 1, 10000);
    waitForAPoll(folder);

    // A file added to an old date folder, and an end marker arriving late.
    const QString added = folder.add("2020_01_01/_txtIndex/added.txt");
    MonitorFolder::touch(started + ".E");
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(added), 1, 10000);

    // A date folder removed and made again with other files.
    const QString gone = folder.add("2021_02_02/_txtIndex/gone.txt");
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(gone), 1, 10000);
    // On Windows a folder cannot go while a poll lists it: try again until it has.
    QTRY_VERIFY(QDir(folder.dir.filePath("2021_02_02")).removeRecursively());
    waitForAPoll(folder);
    const QString again = folder.add("2021_02_02/_txtIndex/again.txt");
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(again), 1, 10000);

    waitForAPoll(folder);
    for (const QString& file : {first, added, gone, again})
        QVERIFY2(m_listener->count(file) == 1, qPrintable(file));
    QCOMPARE(m_listener->count(started), 0);
    QCOMPARE(m_listener->all.size(), 4 + m_probes - probesBefore);
}

void tst_file_watcher::workersFollowTheFolderList()
{
    MonitorFolder a, b;
    const QString first = a.add("2024_06_01/_txtIndex/first.txt");
    for (int i = 0; i < 20; ++i) {
        m_watcher->SetMonitorFolders({a.root(), b.root(), a.root()});
        m_watcher->SetMonitorFolders({b.root(), QString(), a.root()});
        if (i % 4 == 0)
            m_watcher->SetMonitorFolders({a.root()});
    }
    // No threads pile up, and a file is still announced once.
    QCOMPARE(kiv_filewatcher_private::of(m_watcher.get())->MonitorFolders().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(threads().size(), 2, 10000);
    waitForAPoll(a);
    QCOMPARE(m_listener->count(first), 1);
    // Removing a folder ends its worker's thread, then the thread object goes.
    m_watcher->SetMonitorFolders({b.root()});
    QTRY_COMPARE_WITH_TIMEOUT(threads().size(), 1, 10000);
    // Added again: a fresh worker takes every file without a begin marker.
    const QString second = a.add("2024_06_01/_txtIndex/second.txt");
    QVERIFY(QFile::remove(first + ".B"));
    m_watcher->SetMonitorFolders({a.root(), b.root()});
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(second), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_listener->count(first), 2, 10000);
}

void tst_file_watcher::announcesOnTheCurrentWatcher()
{
    MonitorFolder folder;
    m_watcher->SetMonitorFolders({folder.root()});
    // A later watcher becomes the one the host listens on: files found by
    // the first one's worker are announced there, and only there.
    auto second = std::make_unique<kiv_filewatcher>();
    QCOMPARE(kiv_filewatcher::instance(), second.get());
    Listener onSecond(second.get());
    const QString found = folder.add("2024_07_01/_txtIndex/found.txt");
    QTRY_COMPARE_WITH_TIMEOUT(onSecond.count(found), 1, 10000);
    QCoreApplication::processEvents();
    QCOMPARE(m_listener->all.size(), 0);

    // With no watcher current the file is still taken, but announced nowhere.
    second.reset();
    QCOMPARE(kiv_filewatcher::instance(), nullptr);
    const QString unheard = folder.add("2024_07_01/_txtIndex/unheard.txt");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(unheard + ".B"), 10000);
    // Written once that read has begun, this one is read by a later poll:
    // its marker shows that the first read, announcement included, is over.
    const QString later = folder.add("2024_07_01/_txtIndex/later.txt");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(later + ".B"), 10000);
    QCoreApplication::processEvents();
    QCOMPARE(m_listener->all.size(), 0);
    QCOMPARE(onSecond.all.size(), 1);
}

void tst_file_watcher::stopsItsThreadsAtExit()
{
    MonitorFolder folder;
    m_watcher->SetMonitorFolders({folder.root()});
    QPointer<QThread> thread = threads().value(0);
    QVERIFY(thread && thread->isRunning());
    // As the application's event loop ends: the threads have ended on return.
    QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection));
    QVERIFY(thread.isNull() || thread->isFinished());
    // Destroyed with a running worker, it waits for the thread too.
    m_watcher->SetMonitorFolders({folder.root()});
    m_watcher.reset();
    QCOMPARE(kiv_filewatcher::instance(), nullptr);
}

QTEST_GUILESS_MAIN(tst_file_watcher)

#include "tst_file_watcher.moc"
