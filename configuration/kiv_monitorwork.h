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

    // One "_txtIndex" folder as its last listing found it.
    struct IndexFolder {
        QString dateFolder;
        qint64 modified = 0; // the folder's time when it was listed
        QSet<QString> files;             // index files, by path
        QSet<QString> markers;           // ".B" and ".E" files, by path
    };
    // One date folder: its index folders, and whether everything in them
    // was settled (announced or finished) when they were last listed.
    struct DateFolder {
        QStringList indexFolders;
        qint64 modified = 0; // looked at only while it has no index folder
        int listedAt = 0;    // the poll that last listed it
        int seenAt = 0;      // the poll that last found it in the watched folder
        bool settled = false;
    };

    void ScanFolder();
    bool NeedsListing(const DateFolder& date, const QString& path) const;
    void ListDateFolder(const QString& path, DateFolder& date);
    void ListIndexFolder(const QString& path, const QString& datePath);
    void ForgetIndexFolder(const QString& path);
    void ClassifyIndexFiles();
    void ReadNewFiles();
    void MarkUnsettledFolders();
    bool IsSettled(const QString& file, qint64 now, QHash<QString, FileState>& seen) const;
    void ReadIndexFile(const QString& file);
    void CheckStartedFiles();
    bool IsStale(const QString& file) const;
    bool HasMarker(const QString& file, QLatin1String marker) const;

    const QString folder;
    QStringList indexFiles;   // index files of the folders the last poll listed
    QStringList newFiles;     // waiting to be read
    QStringList startedFiles; // taken, sequence not finished yet
    QStringList sceneLines;   // the lines of the index file being read

    // What the listings found, kept between polls: a later poll lists again
    // only the folders that changed or still hold an unsettled file, which
    // on a share with years of date folders saves thousands of listings.
    QHash<QString, DateFolder> dateFolders;
    QHash<QString, IndexFolder> indexFolders;
    // Files that left the lists' folders since the last poll.
    QSet<QString> goneFiles;
    int polls = 0;
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
