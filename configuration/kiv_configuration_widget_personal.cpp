// The personal page: monitored scene folders and cameras.

#include "kiv_configuration_widget.h"

#include "kiv_app_paths.h"
#include "kiv_camera_dialog.h"
#include "kiv_filewatcher.h"
#include "kiv_monitoritem_widget.h"
#include "ui_kiv_configuration_widget.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QSettings>

namespace {

const QLatin1String kMonitorGroup("kiv.monitor");
const QLatin1String kMonitorKey("path");
const QLatin1String kCameraGroup("kiv.camera");
const QLatin1String kCameraKey("camera");
const QLatin1Char kSeparator('&');

const int kRowWidth = 415;
const int kRowHeight = 42;

// Takes every row of a list in order, as its row widget shows it.
QStringList RowTexts(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        if (auto* widget = qobject_cast<kiv_monitoritem_widget*>(list->itemWidget(item)))
            texts << widget->Text();
    }
    return texts;
}

// Writes a list joined by "&"; an empty list removes its key. Without a user
// file only memory changes.
void StoreList(QSettings* file, const QString& group, const QString& key, const QStringList& list)
{
    if (!file)
        return;
    file->beginGroup(group);
    if (list.isEmpty())
        file->remove(key);
    else
        file->setValue(key, list.join(kSeparator));
    file->endGroup();
}


// Takes a row out of its list; false when the widget shows no list row.
bool RemoveRow(QListWidget* list, kiv_monitoritem_widget* row)
{
    QListWidgetItem* item = row->ListItem();
    if (!item)
        return false;
    list->removeItemWidget(item);
    // Still inside the row's own signal: it may only go later.
    row->deleteLater();
    delete item;
    return true;
}
} // namespace

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
    // The watcher outlives the panel (the host may be connected to it) and
    // goes with the application, which stops its threads first.
    m_fileWatcher = new kiv_filewatcher(QCoreApplication::instance());
}

void kiv_configuration_widget::HandMonitorFoldersToWatcher()
{
    if (m_fileWatcher)
        m_fileWatcher->SetMonitorFolders(monitorPaths);
}

void kiv_configuration_widget::ReadPersionalSettings()
{
    if (!m_userSettings)
        return;
    QSettings& file = *m_userSettings;

    // A list the file lacks is empty: the previous user's must not carry over.
    monitorPaths.clear();
    file.beginGroup(kMonitorGroup);
    if (file.contains(kMonitorKey)) {
        // At most two folders are watched; the rest of the value is ignored.
        const QStringList parts = file.value(kMonitorKey).toString().split(kSeparator);
        QStringList paths{parts.value(0)};
        const QString second = parts.value(1);
        if (!second.isEmpty() && second != paths.first())
            paths << second;
        monitorPaths = paths;
    }
    file.endGroup();

    HandMonitorFoldersToWatcher();

    cameraNames.clear();
    file.beginGroup(kCameraGroup);
    if (file.contains(kCameraKey))
        cameraNames = file.value(kCameraKey).toString().split(kSeparator);
    file.endGroup();
}

void kiv_configuration_widget::ShowPersionSettings()
{
    ui->WgtMonitor->clear();
    ui->WgtCamera->clear();
    // The add button may have been hidden by a longer list shown before.
    ui->WgtAdd->show();
    for (const QString& path : qAsConst(monitorPaths))
        InsertItemToMonitor(path);
    for (const QString& name : qAsConst(cameraNames))
        InsertItemToCamera(name);
}

void kiv_configuration_widget::InsertItemToMonitor(QString path)
{
    auto* item = new QListWidgetItem(ui->WgtMonitor);
    auto* row = new kiv_monitoritem_widget;
    row->SetLabelWidth(kRowWidth);
    item->setSizeHint(QSize(kRowWidth, kRowHeight));
    row->SetItem(path, item);
    connect(row, &kiv_monitoritem_widget::sigDeletePath, this, &kiv_configuration_widget::DeleteMonitorPath);
    ui->WgtMonitor->setItemWidget(item, row);
    row->setToolTip(path);

    if (ui->WgtMonitor->count() >= 2) {
        ui->WgtAdd->hide();
        ui->WgtMonitor->setStyleSheet(
            QStringLiteral("QListWidget{ border:1px solid rgb(220, 220, 220); border-radius: 3px;\t}"));
    } else {
        ui->BtnAddMonitor->show();
    }
}

void kiv_configuration_widget::UpdateMonitor()
{
    monitorPaths = RowTexts(ui->WgtMonitor);
    StoreList(m_userSettings.get(), kMonitorGroup, kMonitorKey, monitorPaths);
}

QStringList kiv_configuration_widget::GetCameraList() const
{
    return cameraNames;
}

void kiv_configuration_widget::DeleteCamera()
{
    auto* row = qobject_cast<kiv_monitoritem_widget*>(sender());
    if (!row)
        return;
    qDebug() << QObject::tr("DeleteCamera");
    const QString name = row->Text();
    if (!RemoveRow(ui->WgtCamera, row))
        return;
    // The host sees the deletion at once, before Apply.
    cameraNames.removeAll(name);
    ui->WgtCamera_2->show();
    EnableApply();
}

void kiv_configuration_widget::AddMonitorItem()
{
    if (sender() != ui->BtnAddMonitor)
        return;
    QString folder = QFileDialog::getExistingDirectory(this, QObject::tr("Select directory"),
                                                       kiv_app_paths::appDir(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty() && QFileInfo(folder).isDir() && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (folder.isEmpty())
        return;
    InsertItemToMonitor(folder);
    EnableApply();
}

void kiv_configuration_widget::DeleteMonitorPath()
{
    auto* row = qobject_cast<kiv_monitoritem_widget*>(sender());
    if (!row)
        return;
    qDebug() << QObject::tr("DeleteMonitorPath");
    // The folder stays watched until Apply.
    if (!RemoveRow(ui->WgtMonitor, row))
        return;
    ui->WgtAdd->show();
    EnableApply();
}

void kiv_configuration_widget::CreateCamera()
{
    if (!qobject_cast<QPushButton*>(sender()))
        return;
    auto* dialog = new kiv_camera_dialog(this);
    connect(dialog, &kiv_camera_dialog::SigAddCamera, this, &kiv_configuration_widget::InsertItemToCamera);
    dialog->exec();
}

void kiv_configuration_widget::UpdateCamera()
{
    cameraNames = RowTexts(ui->WgtCamera);
    StoreList(m_userSettings.get(), kCameraGroup, kCameraKey, cameraNames);
}

void kiv_configuration_widget::InsertItemToCamera(QString name)
{
    auto* row = new kiv_monitoritem_widget;
    auto* item = new QListWidgetItem(ui->WgtCamera);
    row->SetItem(name, item);
    item->setSizeHint(QSize(kRowWidth, kRowHeight));
    row->SetLabelWidth(kRowWidth);
    row->setToolTip(name);
    connect(row, &kiv_monitoritem_widget::sigDeletePath, this, &kiv_configuration_widget::DeleteCamera);
    ui->WgtCamera->setItemWidget(item, row);
    EnableApply();
}
