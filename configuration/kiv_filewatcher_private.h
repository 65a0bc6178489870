#pragma once

#include "kiv_filewatcher.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class QThread;
class kiv_monitorwork;

// The watcher's state: the watched folders and one worker with its thread
// for each.
class kiv_filewatcher_private
{
public:
    explicit kiv_filewatcher_private(kiv_filewatcher* watcher);

    static kiv_filewatcher_private* of(kiv_filewatcher* watcher) { return watcher->d.get(); }

    // Emits fileChangeList on the current watcher, if there is one. Called
    // by the workers on their own threads.
    static void Announce(const QStringList& files, const QString& frames);

    // Stops every worker and waits until their threads have ended.
    void StopWorkers();

    // The watched folders, sorted; the worker of one of them, or null.
    QStringList MonitorFolders() const;
    kiv_monitorwork* Worker(const QString& folder) const;

    kiv_filewatcher* const q;
    QSet<QString> watchedFolders;
    QMap<QThread*, kiv_monitorwork*> workers;
};
