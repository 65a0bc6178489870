#pragma once

#include "kiv_configuration_global.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class kiv_filewatcher_private;

// Watches the monitor folders for new scene index files, one worker thread
// per folder, and announces each file once with fileChangeList. The panel
// creates it; the host reaches it through instance() and connects to
// fileChangeList there. Every worker, whichever watcher started it,
// announces on the watcher that is instance() at that moment, from the
// worker's thread; a receiver connected directly runs on that thread and
// must not destroy a watcher.
class KIV_CONFIGURATION_EXPORT kiv_filewatcher : public QObject
{
    Q_OBJECT
public:
    explicit kiv_filewatcher(QObject* parent = nullptr);
    ~kiv_filewatcher() override;

    // The watcher constructed last (null once it is gone). Safe to call from
    // any thread.
    static kiv_filewatcher* instance();

    // Starts a worker for each folder not watched yet and stops the workers
    // of folders no longer listed. Empty names are ignored.
    void SetMonitorFolders(QStringList folders);

signals:
    void monitorInitial();
    void fileChangeList(QStringList sltFiles, QString strScenseIndex);

private:
    friend class kiv_filewatcher_private;
    std::unique_ptr<kiv_filewatcher_private> d;
};
