#include "kiv_filewatcher.h"

#include "kiv_filewatcher_private.h"

#include "kiv_monitorwork.h"

#include <QCoreApplication>
#include <QReadWriteLock>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace {

// The watcher the host listens on, read by the workers of every watcher on
// their own threads.
std::atomic<kiv_filewatcher*> currentWatcher{nullptr};
// Held shared while a worker announces, exclusively while a watcher goes:
// a worker that has just read the pointer never emits on a destroyed object.
QReadWriteLock announcing;

} // namespace

static_assert(sizeof(kiv_filewatcher) == sizeof(QObject) + sizeof(void*),
              "kiv_filewatcher must hold nothing but its private pointer");

kiv_filewatcher::kiv_filewatcher(QObject* parent)
    : QObject(parent)
    , d(new kiv_filewatcher_private(this))
{
    currentWatcher.store(this);
    // No worker may outlive the application's event loop.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { d->StopWorkers(); });
}

kiv_filewatcher::~kiv_filewatcher()
{
    {
        // Also when no longer current: an announcement may still be on its way.
        QWriteLocker lock(&announcing);
        kiv_filewatcher* self = this;
        currentWatcher.compare_exchange_strong(self, nullptr);
    }
    d->StopWorkers();
}

kiv_filewatcher_private::kiv_filewatcher_private(kiv_filewatcher* watcher)
    : q(watcher)
{
}

kiv_filewatcher* kiv_filewatcher::instance()
{
    return currentWatcher.load();
}

void kiv_filewatcher_private::Announce(const QStringList& files, const QString& frames)
{
    QReadLocker lock(&announcing);
    if (kiv_filewatcher* watcher = currentWatcher.load())
        emit watcher->fileChangeList(files, frames);
}

void kiv_filewatcher::SetMonitorFolders(QStringList folders)
{
    QSet<QString>& watchedFolders = d->watchedFolders;
    QMap<QThread*, kiv_monitorwork*>& workers = d->workers;
    QSet<QString> wanted;
    for (const QString& folder : qAsConst(folders)) {
        if (!folder.isEmpty())
            wanted.insert(folder);
    }
    const QSet<QString> added = wanted - watchedFolders;
    const QSet<QString> removed = watchedFolders - wanted;

    for (const QString& folder : added) {
        watchedFolders.insert(folder);
        // The thread object is owned here so that none is left behind at
        // exit; the worker has no parent, it lives on the thread.
        auto* thread = new QThread(this);
        auto* worker = new kiv_monitorwork(folder);
        workers.insert(thread, worker);
        connect(this, &kiv_filewatcher::monitorInitial, worker, &kiv_monitorwork::MonitorInitial,
                Qt::UniqueConnection);
        // The worker is deleted on its own thread as that ends: directly,
        // since no event is delivered any more once the application object
        // is going. The thread object goes once it has finished.
        connect(
            thread, &QThread::finished, thread, [worker] { delete worker; }, Qt::DirectConnection);
        connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        worker->moveToThread(thread);
        thread->start();
    }

    emit monitorInitial();

    for (const QString& folder : removed) {
        watchedFolders.remove(folder);
        for (auto it = workers.begin(); it != workers.end(); ++it) {
            if (it.value()->Folder() == folder) {
                QThread* thread = it.key();
                workers.erase(it);
                thread->quit();
                break;
            }
        }
    }
}

QStringList kiv_filewatcher_private::MonitorFolders() const
{
    QStringList folders(watchedFolders.cbegin(), watchedFolders.cend());
    std::sort(folders.begin(), folders.end());
    return folders;
}

kiv_monitorwork* kiv_filewatcher_private::Worker(const QString& folder) const
{
    for (kiv_monitorwork* worker : workers) {
        if (worker->Folder() == folder)
            return worker;
    }
    return nullptr;
}

void kiv_filewatcher_private::StopWorkers()
{
    workers.clear();
    watchedFolders.clear();
    // Also the threads of removed folders that may still be ending.
    const QList<QThread*> threads = q->findChildren<QThread*>(QString(), Qt::FindDirectChildrenOnly);
    for (QThread* thread : threads)
        thread->quit();
    for (QThread* thread : threads)
        thread->wait();
}
