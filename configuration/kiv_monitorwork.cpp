#include "kiv_monitorwork.h"

#include "kiv_filewatcher_private.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextStream>
#include <QThread>
#include <QTimer>

namespace {

Q_LOGGING_CATEGORY(lcMonitor, "kiv.monitor")

const int kDefaultPollInterval = 10000;
// An index file modified more recently than this may still be being written.
const qint64 kSettleMs = 2000;
// A started file whose stamp is older than this (seconds) is stale.
const qint64 kStaleSecs = 300;

const QLatin1String kBeginMarker(".B");
const QLatin1String kEndMarker(".E");

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
    indexFiles.clear();
    indexInfo.clear();
    markerFiles.clear();

    // An empty name would mean the working folder.
    const QDir root(folder);
    if (folder.isEmpty() || !root.exists()) {
        qCDebug(lcMonitor) << "Dir is not exists" << root.absolutePath();
        return;
    }

    static const QRegularExpression datePattern(QStringLiteral(
        "\\A(2[0-9][0-9][0-9])_(0[1-9]|1[0-2])_(0[1-9]|1[0-9]|2[0-9]|3[0-1])\\z"));
    // Hidden entries and symbolic links are left out at every level.
    const QDir::Filters folders = QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks;
    const QDir::Filters files = QDir::Files | QDir::NoSymLinks;

    for (const QFileInfo& date : root.entryInfoList(folders, QDir::Unsorted)) {
        if (!datePattern.match(date.completeBaseName()).hasMatch())
            continue;
        for (const QFileInfo& index : QDir(date.absoluteFilePath()).entryInfoList(folders, QDir::Unsorted)) {
            if (index.fileName().compare(QLatin1String("_txtIndex"), Qt::CaseInsensitive) != 0)
                continue;
            // One listing gives the index files and their markers.
            for (const QFileInfo& file : QDir(index.absoluteFilePath()).entryInfoList(files, QDir::Unsorted)) {
                const QString path = file.absoluteFilePath();
                if (file.suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0) {
                    indexFiles << path;
                    indexInfo.insert(path, file);
                } else if (path.endsWith(kBeginMarker) || path.endsWith(kEndMarker)) {
                    markerFiles.insert(path);
                }
            }
        }
    }
}

void kiv_monitorwork::ClassifyIndexFiles()
{
    QSet<QString> present;
    QSet<QString> ended;
    QSet<QString> started(startedFiles.cbegin(), startedFiles.cend());
    QSet<QString> waiting(newFiles.cbegin(), newFiles.cend());

    for (const QString& file : qAsConst(indexFiles)) {
        // An upper-case suffix is found but never read.
        if (!file.endsWith(QLatin1String("txt")))
            continue;
        present.insert(file);
        if (markerFiles.contains(file + kEndMarker)) {
            ended.insert(file);
        } else if (markerFiles.contains(file + kBeginMarker) || takenFiles.contains(file)) {
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
    QStringList stillStarted;
    for (const QString& file : qAsConst(startedFiles)) {
        if (present.contains(file) && !ended.contains(file))
            stillStarted << file;
    }
    startedFiles = stillStarted;
    QStringList stillNew;
    for (const QString& file : qAsConst(newFiles)) {
        if (present.contains(file) && !started.contains(file))
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
}

bool kiv_monitorwork::IsSettled(const QString& file, qint64 now, QHash<QString, FileState>& seen) const
{
    const QFileInfo info = indexInfo.value(file);
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
        if (markerFiles.contains(file + kEndMarker)) {
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
