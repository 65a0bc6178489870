// The scene folder watcher: which index files are found, what is announced and how often, the worker threads.

#include "kiv_filewatcher.h"
#include "test_support.h"

using Announcements = QMultiMap<QString, QPair<QStringList, QString>>; // files and frame range, by index file

class tst_file_watcher : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void interfaceIsListedInOrder();
    void announcesEachIndexFileOnce();
    void eachFileIsReadWholeAndOnce();
    void laterChangesInKnownFoldersAreFound();
    void workersFollowTheFolderListAndEndAtExit();
    void announcesOnTheCurrentWatcher();

private:
    void listen(kiv_filewatcher* watcher, Announcements* to)
    {
        connect(watcher, &kiv_filewatcher::fileChangeList, watcher,
                [to](const QStringList& files, const QString& range) { to->insert(files.last(), {files, range}); });
    }
    // Writes an index file below the monitor folder, dated back a minute unless it is still being written.
    QString add(const QString& relative, const QStringList& lines = {"20240115103000", "D:/s/shot_1.ass"}, bool complete = true) const
    {
        const QString path = m_folder->filePath(relative);
        kiv_test::writeFile(path, lines.join(QLatin1Char('\n')).toLocal8Bit());
        QFile file(path);
        if (complete && file.open(QIODevice::Append))
            file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
        return path;
    }
    // Waits for a whole poll of the files present: a second probe, written once the first is heard, needs a later poll.
    void waitForAPoll()
    {
        for (int i = 0; i < 2; ++i) {
            const QString probe = add(QStringLiteral("2030_01_01/_txtIndex/probe_%1.txt").arg(++m_probes));
            QTRY_COMPARE_WITH_TIMEOUT(m_heard.count(probe), 1, 10000);
        }
    }
    QList<QThread*> threads() const { return m_watcher->findChildren<QThread*>(QString(), Qt::FindDirectChildrenOnly); }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<kiv_filewatcher> m_watcher;
    Announcements m_heard;
    int m_probes = 0;
};

void tst_file_watcher::init()
{
    qputenv("KIV_MONITOR_POLL_MS", "40");
    QLoggingCategory::setFilterRules(QStringLiteral("kiv.monitor.debug=false"));
    m_folder = std::make_unique<QTemporaryDir>();
    m_watcher = std::make_unique<kiv_filewatcher>();
    m_heard.clear();
    listen(m_watcher.get(), &m_heard);
}

void tst_file_watcher::interfaceIsListedInOrder()
{
    // Hosts connect by signature and index; the state stays behind the private pointer.
    const QMetaObject& meta = kiv_filewatcher::staticMetaObject;
    QCOMPARE(meta.indexOfMethod("monitorInitial()"), meta.methodOffset());
    QCOMPARE(meta.indexOfMethod("fileChangeList(QStringList,QString)"), meta.methodOffset() + 1);
    QCOMPARE(sizeof(kiv_filewatcher), sizeof(QObject) + sizeof(void*));
}

void tst_file_watcher::announcesEachIndexFileOnce()
{
    const QStringList found = {add("2020_02_30/_txtIndex/day_not_checked.txt"), add("2021_05_06.old/_txtIndex/extension.txt"),
                               add("2022_12_31/_TXTINDEX/capital_index_folder.txt"),
                               add("2024_01_15/_txtIndex/no_scenes.txt", {"20240115103000", "render.log"})};
    const QStringList refused = {add("1999_01_01/_txtIndex/year.txt"), add("2020_13_01/_txtIndex/month.txt"),
                                 add("x2020_01_01/_txtIndex/prefix.txt"), add("2020_01_01/_txtIndex/capital_suffix.TXT")};
    kiv_test::writeFile(add("2020_01_01/_txtIndex/taken.txt") + ".B", ""); // taken before, or finished: not heard
    kiv_test::writeFile(add("2020_01_01/_txtIndex/done.txt") + ".E", "");
    m_watcher->SetMonitorFolders({m_folder->path()});
    waitForAPoll();
    QCOMPARE(m_heard.value(found.last()), qMakePair(QStringList{"20240115103000", "render.log", found.last()}, QString("0--1")));
    for (const QString& file : found)
        QVERIFY2(m_heard.count(file) == 1 && QFile::exists(file + ".B"), qPrintable(file));
    for (const QString& file : refused)
        QVERIFY2(!QFile::exists(file + ".B"), qPrintable(file));
    QCOMPARE(m_heard.size(), 4 + 2); // and the two probes: the later poll left the marked files alone
}

void tst_file_watcher::eachFileIsReadWholeAndOnce()
{
    // Timers far faster than a read of these files must not re-enter it.
    qputenv("KIV_MONITOR_POLL_MS", "1");
    // Heard: the first scene line, the non-blank lines from the time stamp on, trimmed, the file; "ass" ends a scene.
    QMap<QString, QStringList> sequences;
    for (int s = 0; s < 4; ++s) {
        QStringList lines = {"20240115103000", "", "  camera: main "};
        QStringList expected = {QStringLiteral("D:/s%1/shot_0101.ass").arg(s), "20240115103000", "camera: main"};
        for (int frame = 101; frame <= 1600; ++frame) {
            lines << QStringLiteral("  D:/s%1/shot_%2.ass").arg(s).arg(frame, 4, 10, QLatin1Char('0'));
            expected << lines.last().trimmed();
        }
        const QString path = add(QStringLiteral("2024_01_15/_txtIndex/sequence_%1.txt").arg(s), lines << "notes.ASS");
        sequences.insert(path, expected << "notes.ASS" << path);
    }
    m_watcher->SetMonitorFolders({m_folder->path()});
    QTRY_COMPARE_WITH_TIMEOUT(m_heard.size(), 4, 20000);
    for (const QString& file : sequences.keys())
        QCOMPARE(m_heard.value(file), qMakePair(sequences.value(file), QStringLiteral("101-1600")));
}

void tst_file_watcher::laterChangesInKnownFoldersAreFound()
{
    // Polls skip folders whose listing cannot have changed; every change below must still be seen, once.
    // Half written, just now: left for a later poll, which reads it whole.
    const QString growing = add("2024_03_01/_txtIndex/growing.txt", {"20240301090000", "S:/s_0010.ass"}, false);
    m_watcher->SetMonitorFolders({m_folder->path()});
    waitForAPoll();

    // Completed; and a file added to a known date folder.
    add("2024_03_01/_txtIndex/growing.txt", {"20240301090000", "S:/s_0010.ass", "S:/s_0011.ass", "S:/s_0012.ass"});
    const QString added = add("2024_03_01/_txtIndex/added.txt");
    QTRY_COMPARE_WITH_TIMEOUT(m_heard.count(added), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_heard.value(growing).second, QStringLiteral("10-12"), 10000);

    // A date folder removed and made again with other files.
    const QString gone = add("2021_02_02/_txtIndex/gone.txt");
    QTRY_COMPARE_WITH_TIMEOUT(m_heard.count(gone), 1, 10000);
    // On Windows a folder cannot go while a poll lists it: try again until it has.
    QTRY_VERIFY(QDir(m_folder->filePath("2021_02_02")).removeRecursively());
    waitForAPoll();
    const QString again = add("2021_02_02/_txtIndex/again.txt");
    QTRY_COMPARE_WITH_TIMEOUT(m_heard.count(again), 1, 10000);

    waitForAPoll();
    for (const QString& file : {added, gone, again, growing})
        QVERIFY2(m_heard.count(file) == 1, qPrintable(file));
}

void tst_file_watcher::workersFollowTheFolderListAndEndAtExit()
{
    QTemporaryDir b;
    const QString first = add("2024_06_01/_txtIndex/first.txt");
    for (int i = 0; i < 20; ++i) {
        m_watcher->SetMonitorFolders({m_folder->path(), b.path(), m_folder->path()});
        m_watcher->SetMonitorFolders(i % 4 ? QStringList{b.path(), QString(), m_folder->path()} : QStringList{m_folder->path()});
    }
    // No threads pile up, and a file is still announced once.
    QTRY_COMPARE_WITH_TIMEOUT(threads().size(), 2, 10000);
    waitForAPoll();
    QCOMPARE(m_heard.count(first), 1);
    // Removing a folder ends its worker's thread, then the thread object goes.
    m_watcher->SetMonitorFolders({b.path()});
    QTRY_COMPARE_WITH_TIMEOUT(threads().size(), 1, 10000);
    // As the application's event loop ends: the threads have ended on return.
    QPointer<QThread> thread = threads().value(0);
    QVERIFY(thread && thread->isRunning());
    QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection));
    QVERIFY(thread.isNull() || thread->isFinished());
}

void tst_file_watcher::announcesOnTheCurrentWatcher()
{
    m_watcher->SetMonitorFolders({m_folder->path()});
    // A later watcher becomes the one the host listens on: what the first one's worker finds is heard there only.
    auto second = std::make_unique<kiv_filewatcher>();
    Announcements onSecond;
    listen(second.get(), &onSecond);
    const QString found = add("2024_07_01/_txtIndex/found.txt");
    QTRY_COMPARE_WITH_TIMEOUT(onSecond.count(found), 1, 10000);
    // With no watcher current the file is still taken, but announced nowhere.
    second.reset();
    const QString unheard = add("2024_07_01/_txtIndex/unheard.txt");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(unheard + ".B"), 10000);
    // Written once that read has begun, this one's marker shows that read, announcement included, is over.
    const QString later = add("2024_07_01/_txtIndex/later.txt");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(later + ".B"), 10000);
    QCoreApplication::processEvents();
    QCOMPARE(m_heard.size(), 0);
}

QTEST_GUILESS_MAIN(tst_file_watcher)

#include "tst_file_watcher.moc"
