#pragma once

#include "kiv_panel_context.h"

#include <QPointer>
#include <QStringList>

class QObject;
class kiv_filewatcher;

// The personal page: the monitored scene folders, handed to the folder
// watcher, and the camera list.
class kiv_personal_page : public kiv_panel_page
{
public:
    explicit kiv_personal_page(kiv_panel_context& context);

    void CreateFileWatcher();
    void HandMonitorFoldersToWatcher();
    // Both lists empty, as with no user, and nothing watched.
    void ClearLists();
    void ReadPersionalSettings();
    void ShowPersionSettings();
    // Apply: each list as its rows show it, into memory and the user file.
    void UpdateMonitor();
    void UpdateCamera();
    void Retranslate();

    void InsertItemToMonitor(const QString& path);
    void InsertItemToCamera(const QString& name);
    void AddMonitorItem(QObject* sender);
    void DeleteMonitorPath(QObject* sender);
    void CreateCamera(QObject* sender);
    void DeleteCamera(QObject* sender);
    QStringList GetCameraList() const;

private:
    QStringList monitorPaths;
    QStringList cameraNames;
    // Shared by the process, not owned.
    QPointer<kiv_filewatcher> m_fileWatcher;
};
