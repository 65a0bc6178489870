#pragma once

#include "kiv_general_types.h"
#include "kiv_panel_context.h"

#include <QMap>
#include <QPointer>
#include <QString>

class QObject;
class QPushButton;

// The project page: the host's render projects in a table and the current
// project. A click only asks the host; the table changes when it answers.
class kiv_project_page : public kiv_panel_page
{
public:
    kiv_project_page(kiv_panel_context& context, const kiv_general_types::GeneralSet& general);

    void ReadCurrentProject();
    void ClearCurrentProject() { m_currentProjectId.clear(); }
    QString CurrentProjectId() const { return m_currentProjectId; }
    void ShowProjectList();
    void Retranslate();

    void SetNewProject(const kiv_general_types::Project& project, bool flag);
    void UpdateProject(const kiv_general_types::Project& project);
    void DeleteProjectToTab(const kiv_general_types::Project& project);
    void SetCurrentProjectToTab(const QString& id);
    void InsertNewItemToTable(const kiv_general_types::Project& project, bool flag);
    void SetProjectToCurrent(const QString& id);
    void DeleteProject(QObject* sender);
    void EditProject(QObject* sender);
    void SetCurrentProject(QObject* sender);

private:
    // The id of the row whose operation cell sent a signal; false when the
    // sender is no such cell.
    bool SenderProjectId(QObject* sender, QString* id) const;

    const kiv_general_types::GeneralSet& m_general;
    // The host's projects by id, and the "Set Current" button of the
    // current project's row (owned by its row).
    QMap<QString, kiv_general_types::Project> m_projects;
    QString m_currentProjectId;
    QPointer<QPushButton> m_currentButton;
    // Set while the whole table is rebuilt, which lays the view out once at
    // its end instead of once per row.
    bool m_rebuildingProjects = false;
};
