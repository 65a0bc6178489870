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
