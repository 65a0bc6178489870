// The project page: the host's render projects and the current project.

#include "kiv_project_page.h"

#include "kiv_configuration_widget.h"
#include "kiv_itemoperation_widget.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_settings_store.h"
#include "ui_kiv_configuration_widget.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidgetItem>

namespace {

const int kOperationColumn = 3;

// The effect-picture project names "EffectPicture" in place of its node pool.
const QLatin1String kEffectPictureId("xgt-{11AE440C-AD71-470A-888F-8025AF77E284}");

QString TypeText(int type)
{
    switch (type) {
    case kiv_general_types::RENDERTYPE_3DSMAX:
        return QStringLiteral("3dsmax");
    case kiv_general_types::RENDERTYPE_MAYA:
        return QStringLiteral("maya");
    case kiv_general_types::RENDERTYPE_HOUDINI:
        return QStringLiteral("houdini");
    }
    return QString();
}

QString CurrentProjectKey(const QString& userId)
{
    return QStringLiteral("kiv.project/currentproject_tmq%1").arg(userId);
}

} // namespace

kiv_project_page::kiv_project_page(kiv_panel_context& context, const kiv_general_types::GeneralSet& general)
    : kiv_panel_page(context)
    , m_general(general)
{
}

void kiv_project_page::ReadCurrentProject()
{
    const QSettings& file = *m_context.Store().User();
    m_currentProjectId.clear();
    const QString key = CurrentProjectKey(m_context.UserId());
    if (file.contains(key))
        m_currentProjectId = file.value(key).toString();
}

void kiv_project_page::Retranslate()
{
    ui()->CurrentItem->setText(QObject::tr("Project List"));
    ui()->BntAddItem->setText(QObject::tr("New Project"));

    QTableWidget* table = ui()->WgtItem;
    table->setColumnCount(4);
    table->setHorizontalHeaderLabels({QObject::tr("Item Name"), QObject::tr("Item Type"),
                                      QObject::tr("NodePool"), QObject::tr("Operation")});
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(0, 105);
    table->setColumnWidth(1, 85);
    table->setColumnWidth(2, 85);
    table->horizontalHeader()->setVisible(true);
    table->horizontalHeader()->setFixedHeight(39);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    table->verticalHeader()->setDefaultSectionSize(38);
    table->setShowGrid(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setFocusPolicy(Qt::NoFocus);
    table->verticalScrollBar()->setSingleStep(5);
}

void kiv_project_page::ShowProjectList()
{
    QTableWidget* table = ui()->WgtItem;
    // The discarded cells are deleted later than their items: make them
    // forget the items so that a late click cannot reach a freed one.
    for (int row = 0; row < table->rowCount(); ++row) {
        if (auto* cell = qobject_cast<kiv_itemoperation_widget*>(
                table->indexWidget(table->model()->index(row, kOperationColumn))))
            cell->SetRowItem(nullptr);
    }
    table->setRowCount(0);
    m_currentButton = nullptr;

    // Laying the view out walks every row's cell, so it runs once for the
    // whole table rather than after each of its rows.
    const QScopedValueRollback<bool> rebuilding(m_rebuildingProjects, true);
    for (const kiv_general_types::Project& project : qAsConst(m_projects))
        InsertNewItemToTable(project, project.id == m_currentProjectId);
    table->doItemsLayout();
}

void kiv_project_page::SetNewProject(const kiv_general_types::Project& project, bool flag)
{
    Q_UNUSED(flag)
    m_projects.insert(project.id, project);
    if (m_context.FormReady())
        emit m_context.Panel()->sigNewProject(project, false);
    m_context.EnableApply();
}

void kiv_project_page::UpdateProject(const kiv_general_types::Project& project)
{
    // The row keeps its texts until the next rebuild.
    m_projects.insert(project.id, project);
}

void kiv_project_page::DeleteProjectToTab(const kiv_general_types::Project& project)
{
    // Also a project that never had a row: it must not come back with the
    // next rebuild.
    m_projects.remove(project.id);
    if (!project.id.isEmpty() && project.id == m_currentProjectId) {
        m_currentButton = nullptr;
        m_currentProjectId.clear();
        m_context.Store().WriteNow(CurrentProjectKey(m_context.UserId()), QString());
    }

    QTableWidget* table = ui()->WgtItem;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* item = table->item(row, kOperationColumn);
        if (!item || item->data(Qt::UserRole).toString() != project.id)
            continue;
        // Hidden rather than removed: the row goes with the next rebuild.
        table->setRowHidden(row, true);
        table->doItemsLayout();
        return;
    }
}

void kiv_project_page::SetCurrentProjectToTab(const QString& id)
{
    if (id.isEmpty())
        return;
    m_currentProjectId = id;
    m_context.Store().WriteNow(CurrentProjectKey(m_context.UserId()), id);
    if (m_context.FormReady())
        emit m_context.Panel()->sigCurrentProject(id);
}

void kiv_project_page::InsertNewItemToTable(const kiv_general_types::Project& project, bool flag)
{
    Q_UNUSED(flag)
    QTableWidget* table = ui()->WgtItem;
    const int row = table->rowCount();
    table->insertRow(row);

    table->setItem(row, 0, new QTableWidgetItem(project.name));
    table->setItem(row, 1, new QTableWidgetItem(TypeText(project.type)));
    QString nodePool;
    if (project.id == kEffectPictureId)
        nodePool = QStringLiteral("EffectPicture");
    else if (m_general.nodePools.contains(project.options.nodePool))
        nodePool = m_general.nodePools.value(project.options.nodePool).second;
    table->setItem(row, 2, new QTableWidgetItem(nodePool));

    // Owned by the viewport from the start; the view adopts it as index widget below.
    auto* cell = new kiv_itemoperation_widget(table->viewport());
    QObject::connect(cell, &kiv_itemoperation_widget::SigDeleteItem, m_context.Panel(), &kiv_configuration_widget::DeleteProject);
    QObject::connect(cell, &kiv_itemoperation_widget::SigEditItem, m_context.Panel(), &kiv_configuration_widget::EditProject);
    QObject::connect(cell, &kiv_itemoperation_widget::SigSetCurrentItem, m_context.Panel(),
                     &kiv_configuration_widget::SetCurrentProject);

    auto* operation = new QTableWidgetItem;
    operation->setData(Qt::UserRole, project.id);
    table->setItem(row, kOperationColumn, operation);
    cell->SetRowItem(operation);
    table->setIndexWidget(table->model()->index(row, kOperationColumn), cell);
    // A table nobody sees is rebuilt when the panel opens, and a rebuild
    // lays the view out once at its end.
    if (!m_rebuildingProjects && table->isVisible())
        table->doItemsLayout();

    // With no current project, a project without id is not marked current.
    if (!m_currentProjectId.isEmpty() && project.id == m_currentProjectId)
        SetProjectToCurrent(project.id);
    m_context.EnableApply();
}

// The id of the row whose operation cell sent the signal; false when the
// sender is no such cell.
bool kiv_project_page::SenderProjectId(QObject* sender, QString* id) const
{
    auto* cell = qobject_cast<kiv_itemoperation_widget*>(sender);
    if (!cell || !cell->RowItem())
        return false;
    *id = cell->RowItem()->data(Qt::UserRole).toString();
    return true;
}

void kiv_project_page::DeleteProject(QObject* sender)
{
    QString id;
    if (!SenderProjectId(sender, &id) || !m_projects.contains(id))
        return;
    const kiv_general_types::Project project = m_projects.value(id);

    kiv_messagebox_dialog box(nullptr);
    box.setText(QObject::tr("are you sure to delete the project named :%1 ?").arg(project.name));
    box.setButtonText(QStringLiteral("ok"), QObject::tr("OK"));
    box.setButtonText(QStringLiteral("cancel"), QObject::tr("CANCEL"));
    if (box.exec() != 1)
        return;
    m_context.EnableApply();
    emit m_context.Panel()->sigDeleteProject(project);
}

void kiv_project_page::EditProject(QObject* sender)
{
    QString id;
    if (!SenderProjectId(sender, &id) || !m_projects.contains(id))
        return;
    m_context.EnableApply();
    emit m_context.Panel()->sigEditProject(m_projects.value(id));
}

void kiv_project_page::SetCurrentProject(QObject* sender)
{
    QString id;
    // Only a request: the row is marked when the host answers.
    if (SenderProjectId(sender, &id))
        emit m_context.Panel()->sigSetCurrentProject(id);
}

void kiv_project_page::SetProjectToCurrent(const QString& id)
{
    QTableWidget* table = ui()->WgtItem;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* item = table->item(row, kOperationColumn);
        if (!item || item->data(Qt::UserRole).toString() != id)
            continue;
        auto* cell = qobject_cast<kiv_itemoperation_widget*>(
            table->indexWidget(table->model()->index(row, kOperationColumn)));
        if (!cell)
            continue;

        m_context.Store().WriteNow(CurrentProjectKey(m_context.UserId()), id);
        QPushButton* button = cell->SetCurrentButton();
        if (!button)
            continue;
        if (m_currentButton) {
            m_currentButton->setEnabled(true);
            m_currentButton->setText(QObject::tr("Set Current"));
        }
        m_currentButton = button;
        button->setEnabled(false);
        button->setText(QObject::tr("Current Project"));
        m_currentProjectId = id;
        break;
    }
    m_context.EnableApply();
}
