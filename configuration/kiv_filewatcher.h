#pragma once

/// \file
/// The scene folder watcher that announces new scene index files.

#include "kiv_configuration_global.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class kiv_filewatcher_private;

/**
 * Watches the monitor folders for new scene index files, one worker thread per
 * folder, and announces each file once with fileChangeList().
 *
 * The panel creates it (owned by the application object, so it outlives the
 * panel) and hands it the monitor folders at each SetCurrentUserInfo() and
 * Apply. The host reaches it through instance() and connects to
 * fileChangeList() there; a later watcher replaces the earlier one as
 * instance(). Every worker, whichever watcher started it, announces on the
 * watcher that is instance() at that moment, from the worker's own thread.
 *
 * Index files are `<folder>/<yyyy_MM_dd>/_txtIndex/<name>.txt`, polled every
 * 10 s (`KIV_MONITOR_POLL_MS` overrides it); a file once read gets the begin
 * marker `<name>.txt.B` beside it and is not announced again.
 */
class KIV_CONFIGURATION_EXPORT kiv_filewatcher : public QObject
{
    Q_OBJECT
public:
    /// Creates a watcher, which becomes instance(). Call it on the GUI thread.
    /// Its workers are stopped when the application is about to quit.
    explicit kiv_filewatcher(QObject* parent = nullptr);
    /// Stops and waits for its workers; instance() turns null if it was this one.
    /// Never destroy a watcher from a receiver of fileChangeList().
    ~kiv_filewatcher() override;

    /// The watcher constructed last, null once it is gone. Safe to call from
    /// any thread. Connect to it after constructing the panel.
    static kiv_filewatcher* instance();

    /// Starts a worker for each folder not watched yet and stops the workers of
    /// folders no longer listed. Empty names are ignored. GUI thread only.
    void SetMonitorFolders(QStringList folders);

signals:
    /// Emitted by SetMonitorFolders() on the GUI thread to start the workers'
    /// polling; internal, a host need not listen.
    void monitorInitial();
    /**
     * A new index file was read: emitted once per file, from a worker thread, so
     * a receiver in the GUI thread gets it queued (a receiver connected directly
     * runs on the worker's thread and must not destroy a watcher).
     *
     * \p sltFiles holds the first scene line, then every non-empty line of the
     * index file (its time stamp first), then the index file's own path.
     * \p strScenseIndex is the frame range "first-last".
     */
    void fileChangeList(QStringList sltFiles, QString strScenseIndex);

private:
    friend class kiv_filewatcher_private;
    std::unique_ptr<kiv_filewatcher_private> d;
};
