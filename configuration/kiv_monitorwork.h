#pragma once

#include <QFileInfo>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

// Polls one monitor folder on a thread of its own. The folder holds date
// folders ("yyyy_MM_dd"), each with an "_txtIndex" folder of index files that
// a scene exporter writes. Every index file is read once, marked as taken
// with an empty "<file>.B" beside it and announced through the current
// watcher; "<file>.E", written by the exporter, marks its sequence as
// finished.
class kiv_monitorwork : public QObject
{
    Q_OBJECT
public:
    explicit kiv_monitorwork(QString folder);
    ~kiv_monitorwork() override;

    QString Folder() const;

    // The polling period, read when a worker starts its timers: 10 s, or
    // the milliseconds in KIV_MONITOR_POLL_MS when that is a positive number.
    static int PollInterval();

protected slots:
    void MonitorInitial();
    void CheckTmpFile();
    void SetTmpFile();
    void MonitorStart();

private:
    friend class kiv_filewatcher;

    struct FileState {
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const FileState& other) const
        {
            return size == other.size && modified == other.modified;
        }
    };

    void ScanFolder();
    void ClassifyIndexFiles();
    void ReadNewFiles();
    bool IsSettled(const QString& file, qint64 now, QHash<QString, FileState>& seen) const;
    void ReadIndexFile(const QString& file);
    void CheckStartedFiles();
    bool IsStale(const QString& file) const;

    const QString folder;
    QStringList indexFiles;   // result of the last scan
    QStringList newFiles;     // waiting to be read
    QStringList startedFiles; // taken, sequence not finished yet
    QStringList sceneLines;   // the lines of the index file being read

    // From the last scan: what is known about each index file, and the
    // marker files beside them, so that classifying costs no further look-up.
    QHash<QString, QFileInfo> indexInfo;
    QSet<QString> markerFiles;
    // Size and modification time of the files left waiting by the previous
    // poll: a file that is still being written is not read half-way.
    QHash<QString, FileState> waitingStates;
    // Files this worker has read, so that none is announced twice even when
    // its begin marker could not be written.
    QSet<QString> takenFiles;
    // Started files already reported as stale.
    QSet<QString> staleFiles;

    bool timersStarted = false;
    // Set while a poll or a check runs: reading processes events, and the
    // worker's own timers must not start another pass over the lists then.
    bool busy = false;
};
