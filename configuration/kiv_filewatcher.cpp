#include "kiv_filewatcher.h"

#include "kiv_monitorwork.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace {

kiv_filewatcher* currentWatcher = nullptr;

} // namespace

kiv_filewatcher::kiv_filewatcher(QObject* parent)
    : QObject(parent)
{
    currentWatcher = this;
    // No worker may outlive the application's event loop.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &kiv_filewatcher::StopWorkers);
}

kiv_filewatcher::~kiv_filewatcher()
{
    StopWorkers();
    if (currentWatcher == this)
        currentWatcher = nullptr;
}

kiv_filewatcher* kiv_filewatcher::instance()
{
    return currentWatcher;
}

void kiv_filewatcher::SetMonitorFolders(QStringList folders)
{
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
        // Announced from the worker's thread, on this object.
        connect(worker, &kiv_monitorwork::sigFileChangeList, this, &kiv_filewatcher::fileChangeList,
                Qt::DirectConnection);
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

QStringList kiv_filewatcher::MonitorFolders() const
{
    QStringList folders(watchedFolders.cbegin(), watchedFolders.cend());
    std::sort(folders.begin(), folders.end());
    return folders;
}

kiv_monitorwork* kiv_filewatcher::Worker(const QString& folder) const
{
    for (kiv_monitorwork* worker : workers) {
        if (worker->Folder() == folder)
            return worker;
    }
    return nullptr;
}

void kiv_filewatcher::StopWorkers()
{
    workers.clear();
    watchedFolders.clear();
    // Also the threads of removed folders that may still be ending.
    const QList<QThread*> threads = findChildren<QThread*>(QString(), Qt::FindDirectChildrenOnly);
    for (QThread* thread : threads)
        thread->quit();
    for (QThread* thread : threads)
        thread->wait();
}
