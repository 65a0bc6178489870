#include "kiv_monitorwork.h"

#include "kiv_filewatcher_private.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Off unless QT_LOGGING_RULES enables it, like the panel's other debug lines.
Q_LOGGING_CATEGORY(lcMonitor, "kiv.monitor", QtInfoMsg)

const int kDefaultPollInterval = 10000;
// An index file modified more recently than this may still be being written.
const qint64 kSettleMs = 2000;
// A started file whose stamp is older than this (seconds) is stale.
const qint64 kStaleSecs = 300;

const QLatin1String kBeginMarker(".B");
const QLatin1String kEndMarker(".E");
// A folder listed while its time was this recent may change again within
// the same time stamp, or its file system keeps coarse times: it is listed
// again at the next poll.
const qint64 kFolderSettleMs = 3000;
// Every folder is listed again at least this often, for file systems that do
// not update a folder's time when its entries change.
const int kRelistPolls = 30;

// The modification time of a folder, or -1 when it is gone. Asked for
// every known folder at every poll: on POSIX systems one plain stat, without
// the time zone work of QFileInfo's local times.
qint64 ModifiedMs(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat buffer;
    if (::stat(QFile::encodeName(path).constData(), &buffer) != 0)
        return -1;
    return qint64(buffer.st_mtim.tv_sec) * 1000 + buffer.st_mtim.tv_nsec / 1000000;
#else
    const QDateTime modified = QFileInfo(path).lastModified();
    return modified.isValid() ? modified.toMSecsSinceEpoch() : -1;
#endif
}

bool IsRecent(qint64 modified, qint64 now)
{
    return now - modified < kFolderSettleMs;
}

QString ParentOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')));
}

} // namespace

kiv_monitorwork::kiv_monitorwork(QString folder)
    : QObject(nullptr)
    , folder(std::move(folder))
{
}

kiv_monitorwork::~kiv_monitorwork() = default;

QString kiv_monitorwork::Folder() const
{
    return folder;
}

int kiv_monitorwork::PollInterval()
{
    bool ok = false;
    const int interval = qEnvironmentVariableIntValue("KIV_MONITOR_POLL_MS", &ok);
    return ok && interval > 0 ? interval : kDefaultPollInterval;
}

void kiv_monitorwork::MonitorInitial()
{
    // Every change of the folder list reaches every worker; one set of
    // timers is enough.
    if (timersStarted)
        return;
    timersStarted = true;

    const int interval = PollInterval();
    for (void (kiv_monitorwork::*slot)() :
         {&kiv_monitorwork::MonitorStart, &kiv_monitorwork::CheckTmpFile, &kiv_monitorwork::SetTmpFile}) {
        auto* timer = new QTimer(this);
        timer->setInterval(interval);
        connect(timer, &QTimer::timeout, this, slot);
        timer->start();
    }
    qCDebug(lcMonitor) << "kiv_monitorwork::MonitorInitial" << QThread::currentThreadId();
    MonitorStart();
}

void kiv_monitorwork::CheckTmpFile()
{
    CheckStartedFiles();
}

void kiv_monitorwork::SetTmpFile()
{
    CheckStartedFiles();
}

void kiv_monitorwork::MonitorStart()
{
    if (busy)
        return;
    busy = true;
    qCDebug(lcMonitor) << "current thread id 1:" << QThread::currentThreadId() << folder;
    ScanFolder();
    ClassifyIndexFiles();
    ReadNewFiles();
    busy = false;
}

void kiv_monitorwork::ScanFolder()
{
    ++polls;
    indexFiles.clear();

    // An empty name would mean the working folder.
    const QDir root(folder);
    if (folder.isEmpty() || !root.exists()) {
        qCDebug(lcMonitor) << "Dir is not exists" << root.absolutePath();
        for (const IndexFolder& index : qAsConst(indexFolders))
            goneFiles.unite(index.files);
        indexFolders.clear();
        dateFolders.clear();
        return;
    }

    static const QRegularExpression datePattern(QStringLiteral(
        "\\A(2[0-9][0-9][0-9])_(0[1-9]|1[0-2])_(0[1-9]|1[0-9]|2[0-9]|3[0-1])\\z"));
    // Hidden entries and symbolic links are left out at every level.
    QDirIterator it(root.absolutePath(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (it.hasNext()) {
        const QString path = it.next();
        auto date = dateFolders.find(path);
        if (date == dateFolders.end()) {
            if (!datePattern.match(it.fileInfo().completeBaseName()).hasMatch())
                continue;
            // New date folders are listed at once.
            date = dateFolders.insert(path, DateFolder());
        }
        date->seenAt = polls;
        if (NeedsListing(*date, path))
            ListDateFolder(path, *date);
    }

    // Date folders that are gone take their files with them.
    for (auto date = dateFolders.begin(); date != dateFolders.end();) {
        if (date->seenAt == polls) {
            ++date;
            continue;
        }
        for (const QString& index : qAsConst(date->indexFolders))
            ForgetIndexFolder(index);
        date = dateFolders.erase(date);
    }
}

bool kiv_monitorwork::NeedsListing(const DateFolder& date, const QString& path) const
{
    if (date.listedAt == 0 || !date.settled || polls - date.listedAt >= kRelistPolls)
        return true;
    // An index folder made later changes the date folder's time.
    if (date.indexFolders.isEmpty())
        return ModifiedMs(path) != date.modified;
    for (const QString& index : date.indexFolders) {
        if (ModifiedMs(index) != indexFolders.value(index).modified)
            return true;
    }
    return false;
}

void kiv_monitorwork::ListDateFolder(const QString& path, DateFolder& date)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    date.listedAt = polls;
    date.modified = ModifiedMs(path);
    bool recent = IsRecent(date.modified, now);

    QStringList found;
    QDirIterator it(path, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (it.hasNext()) {
        const QString index = it.next();
        if (it.fileName().compare(QLatin1String("_txtIndex"), Qt::CaseInsensitive) == 0)
            found << index;
    }
    for (const QString& index : qAsConst(date.indexFolders)) {
        if (!found.contains(index))
            ForgetIndexFolder(index);
    }
    for (const QString& index : qAsConst(found)) {
        ListIndexFolder(index, path);
        recent = recent || IsRecent(indexFolders.value(index).modified, now);
    }
    date.indexFolders = found;
    // Until the files are read, a recently changed folder and one with files
    // still waiting count as unsettled (see MarkUnsettledFolders).
    date.settled = !recent;
}

void kiv_monitorwork::ListIndexFolder(const QString& path, const QString& datePath)
{
    IndexFolder& index = indexFolders[path];
    QSet<QString> before;
    before.swap(index.files);
    index.dateFolder = datePath;
    // Taken before the listing, so that a change during it shows next time.
    index.modified = ModifiedMs(path);
    index.markers.clear();

    // One listing gives the index files and their markers.
    QDirIterator it(path, QDir::Files | QDir::NoSymLinks);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) {
            index.files.insert(file);
            indexFiles << file;
        } else if (file.endsWith(kBeginMarker) || file.endsWith(kEndMarker)) {
            index.markers.insert(file);
        }
    }
    for (const QString& file : before) {
        if (!index.files.contains(file))
            goneFiles.insert(file);
    }
}

void kiv_monitorwork::ForgetIndexFolder(const QString& path)
{
    const auto index = indexFolders.constFind(path);
    if (index == indexFolders.cend())
        return;
    goneFiles.unite(index->files);
    indexFolders.erase(index);
}

bool kiv_monitorwork::HasMarker(const QString& file, QLatin1String marker) const
{
    const auto index = indexFolders.constFind(ParentOf(file));
    return index != indexFolders.cend() && index->markers.contains(file + marker);
}

void kiv_monitorwork::ClassifyIndexFiles()
{
    // Only the folders listed by this poll can have changed.
    QSet<QString> leaving = goneFiles;
    goneFiles.clear();
    QSet<QString> started(startedFiles.cbegin(), startedFiles.cend());
    QSet<QString> waiting(newFiles.cbegin(), newFiles.cend());

    for (const QString& file : qAsConst(indexFiles)) {
        // An upper-case suffix is found but never read.
        if (!file.endsWith(QLatin1String("txt")))
            continue;
        if (HasMarker(file, kEndMarker)) {
            leaving.insert(file);
        } else if (HasMarker(file, kBeginMarker) || takenFiles.contains(file)) {
            if (!started.contains(file)) {
                started.insert(file);
                startedFiles << file;
                qCDebug(lcMonitor) << QStringLiteral("start file add: %1").arg(file);
            }
        } else if (!waiting.contains(file)) {
            waiting.insert(file);
            newFiles << file;
            qCDebug(lcMonitor) << QStringLiteral("file add: %1").arg(file);
        }
    }

    // Files that have gone, finished or been taken elsewhere leave the lists.
    if (!leaving.isEmpty()) {
        QStringList stillStarted;
        for (const QString& file : qAsConst(startedFiles)) {
            if (!leaving.contains(file))
                stillStarted << file;
        }
        startedFiles = stillStarted;
    }
    QStringList stillNew;
    for (const QString& file : qAsConst(newFiles)) {
        if (!leaving.contains(file) && !started.contains(file))
            stillNew << file;
    }
    newFiles = stillNew;
}

void kiv_monitorwork::ReadNewFiles()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QStringList waiting;
    QHash<QString, FileState> seen;
    while (!newFiles.isEmpty()) {
        const QString file = newFiles.takeFirst();
        if (IsSettled(file, now, seen))
            ReadIndexFile(file);
        else
            waiting << file;
    }
    newFiles = waiting;
    waitingStates = seen;
    MarkUnsettledFolders();
}

void kiv_monitorwork::MarkUnsettledFolders()
{
    // A file still being written keeps its date folder listed at every poll.
    for (const QString& file : qAsConst(newFiles)) {
        const auto index = indexFolders.constFind(ParentOf(file));
        if (index == indexFolders.cend())
            continue;
        const auto date = dateFolders.find(index->dateFolder);
        if (date != dateFolders.end())
            date->settled = false;
    }
}

bool kiv_monitorwork::IsSettled(const QString& file, qint64 now, QHash<QString, FileState>& seen) const
{
    const QFileInfo info(file);
    FileState state;
    state.size = info.size();
    state.modified = info.lastModified().toMSecsSinceEpoch();
    seen.insert(file, state);

    const qint64 age = now - state.modified;
    const auto previous = waitingStates.constFind(file);
    if (previous == waitingStates.cend())
        return age >= kSettleMs;
    // A time stamp from the future says nothing about the writer; an
    // unchanged size and time since the previous poll then have to do.
    return *previous == state && (age >= kSettleMs || age < 0);
}

void kiv_monitorwork::ReadIndexFile(const QString& file)
{
    takenFiles.insert(file);
    if (QFileInfo::exists(file)) {
        QFile marker(file + kBeginMarker);
        if (!marker.open(QIODevice::ReadWrite))
            qCDebug(lcMonitor) << "cannot create the begin marker" << marker.fileName();
        marker.close();
    }

    sceneLines.clear();
    const QFileInfo info(file);
    if (!info.exists() || info.suffix() != QLatin1String("txt"))
        return;

    QFile index(file);
    if (!index.open(QIODevice::ReadOnly)) {
        qCDebug(lcMonitor) << "file open fail" << file;
        return;
    }
    QTextStream stream(&index);
    // The exporter writes in the system's locale encoding.
    if (QTextCodec* codec = QTextCodec::codecForName("System"))
        stream.setCodec(codec);
    else
        stream.setCodec(QTextCodec::codecForLocale());

    static const QRegularExpression trailingDigits(QStringLiteral("\\d+\\z"));
    int count = 0;
    int first = 0;
    QString line;
    while (stream.readLineInto(&line)) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.endsWith(QLatin1String("ass"))) {
            qCDebug(lcMonitor) << "ass:" << line;
            if (count == 0) {
                sceneLines.prepend(line);
                first = trailingDigits.match(QFileInfo(line).completeBaseName()).captured().toInt();
            }
            ++count;
        }
        sceneLines << line;
        qCDebug(lcMonitor) << line;
        QCoreApplication::processEvents();
    }
    index.close();
    sceneLines << file;

    // The host listens on the current watcher, which need not be the one
    // that started this worker.
    kiv_filewatcher_private::Announce(sceneLines, QStringLiteral("%1-%2").arg(first).arg(first + count - 1));
}

void kiv_monitorwork::CheckStartedFiles()
{
    if (busy || startedFiles.isEmpty())
        return;
    busy = true;
    QStringList stillStarted;
    for (const QString& file : qAsConst(startedFiles)) {
        // The same end marker as the scan looks for, as the last scan found
        // it: no further look-up per file and period.
        if (HasMarker(file, kEndMarker)) {
            staleFiles.remove(file);
            continue;
        }
        stillStarted << file;
        if (staleFiles.contains(file) || !IsStale(file))
            continue;
        // Its sequence may still finish: keep it, but say so only once.
        staleFiles.insert(file);
        qCDebug(lcMonitor) << QStringLiteral("started file without end marker for more than %1 s: %2")
                                  .arg(kStaleSecs)
                                  .arg(file);
    }
    startedFiles = stillStarted;
    busy = false;
}

bool kiv_monitorwork::IsStale(const QString& file) const
{
    QString stampText;
    QFile index(file);
    if (index.open(QIODevice::ReadOnly)) {
        QTextStream stream(&index);
        if (QTextCodec* codec = QTextCodec::codecForName("System"))
            stream.setCodec(codec);
        stampText = stream.readLine().trimmed();
    }
    const QDateTime now = QDateTime::currentDateTime();
    qCDebug(lcMonitor) << QStringLiteral("%1 modify time: %2").arg(file, stampText);
    qCDebug(lcMonitor) << QStringLiteral("current time: %1").arg(now.toString(QStringLiteral("yyyyMMddhhmmss")));

    // The stamp is local time; one that cannot be read counts as stale.
    const QDateTime stamp = QDateTime::fromString(stampText, QStringLiteral("yyyyMMddhhmmss"));
    return !stamp.isValid() || stamp.secsTo(now) > kStaleSecs;
}
