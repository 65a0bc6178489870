// The personal page: monitored scene folders and cameras.

#include "kiv_personal_page.h"
#include "kiv_logging.h"

#include "kiv_app_paths.h"
#include "kiv_camera_dialog.h"
#include "kiv_configuration_widget.h"
#include "kiv_filewatcher.h"
#include "kiv_monitoritem_widget.h"
#include "kiv_settings_store.h"
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

kiv_personal_page::kiv_personal_page(kiv_panel_context& context)
    : kiv_panel_page(context)
{
}

void kiv_personal_page::ClearLists()
{
    monitorPaths.clear();
    cameraNames.clear();
    HandMonitorFoldersToWatcher();
}

void kiv_personal_page::Retranslate()
{
    ui()->ChkCancel->setText(
        QObject::tr("Cancel To Create The Folder Named 'JobNumber_SenceName' When Download"));
    ui()->ChkCancel2->setText(QObject::tr("   *There is no scene-level folder"));
    ui()->ListMonitor->setText(QObject::tr("Render Sence Monitor Path"));
    ui()->ListCamera->setText(QObject::tr("Camera List"));
    // These two keep their English texts in every language.
    ui()->BtnAddCamera->setText(QStringLiteral("New Camera"));
    ui()->BtnAddMonitor->setText(QStringLiteral("Add Path"));
}

void kiv_personal_page::CreateFileWatcher()
{
    // The watcher outlives the panel (the host may be connected to it) and
    // goes with the application, which stops its threads first.
    m_fileWatcher = new kiv_filewatcher(QCoreApplication::instance());
}

void kiv_personal_page::HandMonitorFoldersToWatcher()
{
    if (m_fileWatcher)
        m_fileWatcher->SetMonitorFolders(monitorPaths);
}

void kiv_personal_page::ReadPersionalSettings()
{
    QSettings& file = *m_context.Store().User();

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

void kiv_personal_page::ShowPersionSettings()
{
    ui()->WgtMonitor->clear();
    ui()->WgtCamera->clear();
    // The add button may have been hidden by a longer list shown before.
    ui()->WgtAdd->show();
    for (const QString& path : qAsConst(monitorPaths))
        InsertItemToMonitor(path);
    for (const QString& name : qAsConst(cameraNames))
        InsertItemToCamera(name);
}

void kiv_personal_page::InsertItemToMonitor(const QString& path)
{
    auto* item = new QListWidgetItem(ui()->WgtMonitor);
    auto* row = new kiv_monitoritem_widget;
    row->SetLabelWidth(kRowWidth);
    item->setSizeHint(QSize(kRowWidth, kRowHeight));
    row->SetItem(path, item);
    QObject::connect(row, &kiv_monitoritem_widget::sigDeletePath, m_context.Panel(), &kiv_configuration_widget::DeleteMonitorPath);
    ui()->WgtMonitor->setItemWidget(item, row);
    row->setToolTip(path);

    if (ui()->WgtMonitor->count() >= 2) {
        ui()->WgtAdd->hide();
        ui()->WgtMonitor->setStyleSheet(
            QStringLiteral("QListWidget{ border:1px solid rgb(220, 220, 220); border-radius: 3px;\t}"));
    } else {
        ui()->BtnAddMonitor->show();
    }
}

void kiv_personal_page::UpdateMonitor()
{
    monitorPaths = RowTexts(ui()->WgtMonitor);
    StoreList(m_context.Store().User(), kMonitorGroup, kMonitorKey, monitorPaths);
}

QStringList kiv_personal_page::GetCameraList() const
{
    return cameraNames;
}

void kiv_personal_page::DeleteCamera(QObject* sender)
{
    auto* row = qobject_cast<kiv_monitoritem_widget*>(sender);
    if (!row)
        return;
    qCDebug(kivPanel) << "DeleteCamera";
    const QString name = row->Text();
    if (!RemoveRow(ui()->WgtCamera, row))
        return;
    // The host sees the deletion at once, before Apply.
    cameraNames.removeAll(name);
    ui()->WgtCamera_2->show();
    m_context.EnableApply();
}

void kiv_personal_page::AddMonitorItem(QObject* sender)
{
    if (sender != ui()->BtnAddMonitor)
        return;
    QString folder = QFileDialog::getExistingDirectory(m_context.Panel(), QObject::tr("Select directory"),
                                                       kiv_app_paths::appDir(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty() && QFileInfo(folder).isDir() && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (folder.isEmpty())
        return;
    InsertItemToMonitor(folder);
    m_context.EnableApply();
}

void kiv_personal_page::DeleteMonitorPath(QObject* sender)
{
    auto* row = qobject_cast<kiv_monitoritem_widget*>(sender);
    if (!row)
        return;
    qCDebug(kivPanel) << "DeleteMonitorPath";
    // The folder stays watched until Apply.
    if (!RemoveRow(ui()->WgtMonitor, row))
        return;
    ui()->WgtAdd->show();
    m_context.EnableApply();
}

void kiv_personal_page::CreateCamera(QObject* sender)
{
    if (!qobject_cast<QPushButton*>(sender))
        return;
    // One dialog per request, gone once answered.
    kiv_camera_dialog dialog(m_context.Panel());
    QObject::connect(&dialog, &kiv_camera_dialog::SigAddCamera, m_context.Panel(),
                     &kiv_configuration_widget::InsertItemToCamera);
    dialog.exec();
}

void kiv_personal_page::UpdateCamera()
{
    cameraNames = RowTexts(ui()->WgtCamera);
    StoreList(m_context.Store().User(), kCameraGroup, kCameraKey, cameraNames);
}

void kiv_personal_page::InsertItemToCamera(const QString& name)
{
    auto* row = new kiv_monitoritem_widget;
    auto* item = new QListWidgetItem(ui()->WgtCamera);
    row->SetItem(name, item);
    item->setSizeHint(QSize(kRowWidth, kRowHeight));
    row->SetLabelWidth(kRowWidth);
    row->setToolTip(name);
    QObject::connect(row, &kiv_monitoritem_widget::sigDeletePath, m_context.Panel(), &kiv_configuration_widget::DeleteCamera);
    ui()->WgtCamera->setItemWidget(item, row);
    m_context.EnableApply();
}
