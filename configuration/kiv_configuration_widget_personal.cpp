// The personal page: monitored scene folders and cameras.

#include "kiv_configuration_widget.h"

#include "ui_kiv_configuration_widget.h"

void kiv_configuration_widget::RetranslatePersonalPage()
{
    ui->ChkCancel->setText(
        QObject::tr("Cancel To Create The Folder Named 'JobNumber_SenceName' When Download"));
    ui->ChkCancel2->setText(QObject::tr("   *There is no scene-level folder"));
    ui->ListMonitor->setText(QObject::tr("Render Sence Monitor Path"));
    ui->ListCamera->setText(QObject::tr("Camera List"));
    // These two keep their English texts in every language.
    ui->BtnAddCamera->setText(QStringLiteral("New Camera"));
    ui->BtnAddMonitor->setText(QStringLiteral("Add Path"));
}

void kiv_configuration_widget::CreateFileWatcher()
{
}

void kiv_configuration_widget::HandMonitorFoldersToWatcher()
{
}

void kiv_configuration_widget::ReadPersionalSettings()
{
}

void kiv_configuration_widget::ShowPersionSettings()
{
}

void kiv_configuration_widget::InsertItemToMonitor(QString path)
{
    Q_UNUSED(path)
}

void kiv_configuration_widget::UpdateMonitor()
{
}

QStringList kiv_configuration_widget::GetCameraList() const
{
    return {};
}

void kiv_configuration_widget::DeleteCamera()
{
}

void kiv_configuration_widget::AddMonitorItem()
{
}

void kiv_configuration_widget::DeleteMonitorPath()
{
}

void kiv_configuration_widget::CreateCamera()
{
}

void kiv_configuration_widget::UpdateCamera()
{
}

void kiv_configuration_widget::InsertItemToCamera(QString name)
{
    Q_UNUSED(name)
}
