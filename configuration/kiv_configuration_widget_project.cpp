// The project page: the host's render projects and the current project.

#include "kiv_configuration_widget.h"

#include "ui_kiv_configuration_widget.h"

#include <QHeaderView>
#include <QScrollBar>

void kiv_configuration_widget::RetranslateProjectPage()
{
    ui->CurrentItem->setText(QObject::tr("Project List"));
    ui->BntAddItem->setText(QObject::tr("New Project"));

    QTableWidget* table = ui->WgtItem;
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

void kiv_configuration_widget::ShowProjectList()
{
}

void kiv_configuration_widget::SetNewProject(kiv_general_types::Project project, bool flag)
{
    Q_UNUSED(project)
    Q_UNUSED(flag)
}

void kiv_configuration_widget::UpdateProject(kiv_general_types::Project project)
{
    Q_UNUSED(project)
}

void kiv_configuration_widget::DeleteProjectToTab(kiv_general_types::Project project)
{
    Q_UNUSED(project)
}

void kiv_configuration_widget::SetCurrentProjectToTab(QString id)
{
    Q_UNUSED(id)
}

void kiv_configuration_widget::InsertNewItemToTable(kiv_general_types::Project project, bool flag)
{
    Q_UNUSED(project)
    Q_UNUSED(flag)
}

void kiv_configuration_widget::DeleteProject()
{
}

void kiv_configuration_widget::EditProject()
{
}

void kiv_configuration_widget::SetCurrentProject()
{
}

void kiv_configuration_widget::SetProjectToCurrent(QString id)
{
    Q_UNUSED(id)
}
