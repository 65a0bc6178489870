// The panel's interface: each call goes to the page that owns it, and the
// flows that cross pages run here.

#include "kiv_configuration_widget.h"

#include "kiv_configuration_version.h"
#include "kiv_configuration_widget_private.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_panel_log.h"
#include "kiv_pluginoptions.h"
#include "kiv_plugintutorial.h"
#include "kiv_window_chrome.h"
#include "ui_kiv_configuration_widget.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>

// All state lives behind the private pointer, so that the class's size, and
// with it the library's binary interface, never changes with its members.
static_assert(sizeof(kiv_configuration_widget) == sizeof(QDialog) + sizeof(void*),
              "kiv_configuration_widget must hold nothing but its private pointer");

namespace {

// Registered by name when the library loads, so that hosts can connect and
// queue the panel's signals by signature.
[[maybe_unused]] const int kLoginInfoType =
    qRegisterMetaType<kiv_general_types::AuthSet::LoginInfo>("kiv_general_types::AuthSet::LoginInfo");
[[maybe_unused]] const int kProjectType = qRegisterMetaType<kiv_general_types::Project>("kiv_general_types::Project");
[[maybe_unused]] const int kTransferConfigType = qRegisterMetaType<ZftxTransConfig>("ZftxTransConfig");
[[maybe_unused]] const int kConcurrenceType = qRegisterMetaType<ZFTXCMDTYPE>("ZFTXCMDTYPE");
[[maybe_unused]] const int kLogSourceType = qRegisterMetaType<const wchar_t*>("const wchar_t*");


} // namespace

kiv_configuration_widget::kiv_configuration_widget(kiv_general_types::GeneralSet& general,
                                                   kiv_http* http, QWidget* parent)
    : QDialog(parent)
    , d(new kiv_configuration_widget_private(this, general, http, parent))
{
    Ui::wgtConfiguration* ui = d->ui.get();
    d->ApplyFramelessWindow();
    ui->btnClose->installEventFilter(this);

    ui->chkFileVersion->setVisible(false);
    ui->widget_compress->setVisible(false);
    ui->CompressDownload->setVisible(false);
    setAutoFillBackground(true);

    connect(this, &kiv_configuration_widget::sigNewProject, this,
            &kiv_configuration_widget::InsertNewItemToTable);
    connect(this, &kiv_configuration_widget::sigCurrentProject, this,
            &kiv_configuration_widget::SetProjectToCurrent);

    d->InitForm();
    d->RetranslateUi();
    d->CreateAction();
    d->GetAppVersion();

    kiv_pluginoptions* plugins = d->m_pluginOptions;
    connect(plugins, &kiv_pluginoptions::sigLog, this, &kiv_configuration_widget::OnWriteLog);
    connect(this, &kiv_configuration_widget::sigUpdatePluginCfg, plugins, &kiv_pluginoptions::onUpdateMaxPluginCfg);
    connect(this, &kiv_configuration_widget::sigUpdatePluginTriggered, plugins,
            &kiv_pluginoptions::onUpdateAllPluginsScripts);
    connect(plugins, &kiv_pluginoptions::sigDownloadPluginScriptFinish, this,
            &kiv_configuration_widget::OnPluginInstallmanually);
    connect(this, &kiv_configuration_widget::sigInstallPlugin, this, &kiv_configuration_widget::OnPluginInstall);
    connect(plugins, &kiv_pluginoptions::sigUpdateStatus, this, &kiv_configuration_widget::sigUpdatePluginStatus);

    connect(ui->btnTutorial, &QPushButton::clicked, this, &kiv_configuration_widget::OnShowPluginTutorial);
    connect(ui->btn_editPathSuffix, &QPushButton::clicked, this, &kiv_configuration_widget::SelectPathSuffix);

    ui->widget_compress->hide();
    ui->UploadSenceOnly->hide();
    ui->ReRender->hide();
    ui->gbxPriorityRendering->hide();
    ui->groupBox_2->hide();
    ui->BntAddItem->hide();
    ui->groupBox->hide();
}

kiv_configuration_widget::~kiv_configuration_widget() = default;

// ---------------------------------------------------------------------------
// Window chrome, language, skin and logging

QString kiv_configuration_widget::LibraryVersion()
{
    return QStringLiteral(KIV_CONFIGURATION_VERSION_STRING);
}

void kiv_configuration_widget::showMaximized()
{
    d->ui->verticalLayout_2->setContentsMargins(0, 0, 0, 0);
    QDialog::showMaximized();
}

void kiv_configuration_widget::showNormal()
{
    // The margin holds the shadow, so it comes back only where a shadow is drawn.
    const int margin = kiv_window_chrome::shadowMargin();
    d->ui->verticalLayout_2->setContentsMargins(margin, margin, margin, margin);
    QDialog::showNormal();
}

void kiv_configuration_widget::setTransferCurrentIndex()
{
    auto* button = qobject_cast<QRadioButton*>(sender());
    if (!button)
        return;
    const int page = button->property("ListNum").toInt();
    d->ui->swtConfiguration->setCurrentIndex(page);
    d->ui->btnTutorial->setVisible(page == 1);
}

bool kiv_configuration_widget::eventFilter(QObject* watched, QEvent* event)
{
    // The close button sits on the draggable title bar; moves over it must
    // not reach the button.
    if (watched == d->ui->btnClose && event->type() == QEvent::MouseMove)
        return true;
    return QDialog::eventFilter(watched, event);
}

void kiv_configuration_widget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        d->ui->retranslateUi(this);
        d->RetranslateUi();
    }
    QDialog::changeEvent(event);
}

void kiv_configuration_widget::OnChangeSkin()
{
    QFile file(QStringLiteral(":/qss/configuration.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    setStyleSheet(stream.readAll());
}

void kiv_configuration_widget::SetLogger(int id)
{
    d->m_loggerId = id;
}

void kiv_configuration_widget::OnWriteLog(int logLevel, QString strLog, const wchar_t* func, int line)
{
    emit sigLog(d->m_loggerId, logLevel, strLog, func, line);
}

QStringList kiv_configuration_widget::GetOldMax() const
{
    return d->m_oldMaxList;
}

QMap<QString, QStringList> kiv_configuration_widget::GetPyVersions() const
{
    return d->m_pyVersions;
}

// ---------------------------------------------------------------------------
// The user, the sub-center, showing and applying

void kiv_configuration_widget::SetCurrentUserInfo(kiv_general_types::AuthSet::LoginInfo info)
{
    d->Log(KIV_LOG_INFO, QStringLiteral("get current userinfo"), __LINE__);
    d->m_loginInfo = info;
    d->m_userName = info.userName;
    d->m_userId = info.userId;
    d->LoadUserSettings();
}

void kiv_configuration_widget::CurrentSubCenterChanged(QVariantMap map)
{
    kiv_transfer_page& transfer = *d->m_transferPage;
    transfer.SetOffer(map);
    if (!d->m_store->User()) {
        d->Log(KIV_LOG_INFO, QStringLiteral("not have current user info "), __LINE__);
        return;
    }
    transfer.ReadTransferSettings();
    transfer.SetTransferParam();
    transfer.SetTransferSettings();
    d->InitUiSettings();
}

void kiv_configuration_widget::ShowConf(bool showVersionPage)
{
    d->m_userId = d->m_loginInfo.userId;
    d->m_userName = d->m_loginInfo.userName;
    if (d->m_userId.isEmpty() || d->m_userName.isEmpty() || !d->m_store->User()) {
        kiv_messagebox_dialog box(nullptr);
        box.setButtonVisible(QStringLiteral("cancel"), false);
        box.setText(QObject::tr("get curent settings info faild"));
        box.exec();
        return;
    }

    if (showVersionPage) {
        d->ui->BtnVersion->click();
        d->ui->twtSoftwareVersion->scrollToTop();
    } else {
        d->ui->BtnGeneral->click();
        d->ui->scrollArea->verticalScrollBar()->setValue(0);
    }

    d->InitUiSettings();
    d->ui->btnApply->setEnabled(false);
    d->UpdateFrame();
    d->FitScreen();
    exec();
}

void kiv_configuration_widget::EnableApply()
{
    d->m_generalPage->UpdateDependentWidgets();
    d->ui->btnApply->setEnabled(true);
}

void kiv_configuration_widget::TriggerApply()
{
    kiv_settings_store& store = *d->m_store;
    store.PrepareWrite();
    d->m_generalPage->ApplyGeneralSettings();
    d->m_personalPage->UpdateCamera();
    d->m_personalPage->UpdateMonitor();
    d->m_personalPage->HandMonitorFoldersToWatcher();
    emit sigConfChanged();
    // Without a listed method nothing of the transfer page is written or sent.
    if (d->m_transferPage->HasMethods())
        d->m_transferPage->ApplyTransferSettings();
    const QString path = store.UserFileName();
    if (!store.Flush()) {
        // The panel stays open: the user may retry, or close and lose the edits knowingly.
        kiv_messagebox_dialog box(this);
        box.setButtonVisible(QStringLiteral("cancel"), false);
        box.setButtonText(QStringLiteral("ok"), QObject::tr("OK"));
        box.setText(QObject::tr("The settings could not be saved to %1").arg(QDir::toNativeSeparators(path)));
        box.exec();
        return;
    }
    close();
}

void kiv_configuration_widget::TriggerCancel()
{
}

QVariant kiv_configuration_widget::GetGeneralOpt(QString mark)
{
    bool known = false;
    const QVariant answer = d->GeneralAnswer(mark, false, &known);
    return known ? answer : QVariant(-1);
}

void kiv_configuration_widget::GetGeneralOpt(QString mark, QVariant& value)
{
    bool known = false;
    const QVariant answer = d->GeneralAnswer(mark, true, &known);
    if (known)
        value = answer;
}

// ---------------------------------------------------------------------------
// The version page and the plugin

QMap<QString, QPair<QString, QString>> kiv_configuration_widget::GetRenderList(kiv_general_types::RENDERTYPE type) const
{
    return d->m_versionPage->GetRenderList(type);
}

QStringList kiv_configuration_widget::GetVersionList() const
{
    return d->m_versionPage->GetVersionList();
}

void kiv_configuration_widget::InsertRenderPath()
{
    d->m_versionPage->InsertRenderPath(sender());
}

void kiv_configuration_widget::OnPluginInstall(int mode)
{
    // Message boxes below run nested event loops; a second run waits its turn.
    if (d->m_installing)
        return;
    if (mode == 0)
        d->m_versionPage->ShowSoftwareVersion();
    d->m_installing = true;
    if (mode == 1)
        emit sigUpdatePluginStatus(tr("Plugins are installing..."));
    d->m_versionPage->InstallPlugins(mode);
    if (mode != 1) {
        // The first run is silent and switches later runs to the interactive one.
        d->m_generalPage->SetAutoInstallPlugin();
        d->m_store->WriteDefaultNow(QStringLiteral("kiv.general/autoinstallplugin"), 1);
        emit sigConfChanged();
        d->m_general.pluginInstallMode = 1;
        QTimer::singleShot(10000, this, [this] { emit sigUpdatePluginStatus(QString()); });
    }
    d->m_installing = false;
}

void kiv_configuration_widget::OnPluginInstallmanually()
{
    emit sigInstallPlugin(d->m_general.pluginInstallMode);
}

void kiv_configuration_widget::OnShowPluginTutorial()
{
    close();
    delete d->m_tutorial;
    d->m_tutorial = new kiv_plugintutorial(this);
    d->m_tutorial->exec();
}

// ---------------------------------------------------------------------------
// The general page

void kiv_configuration_widget::OnSelectDefaultDownloadPath()
{
    d->m_generalPage->OnSelectDefaultDownloadPath();
}

void kiv_configuration_widget::OnSelectAnalysisCachePath()
{
    d->m_generalPage->OnSelectAnalysisCachePath();
}

void kiv_configuration_widget::SelectPathSuffix()
{
    d->m_generalPage->SelectPathSuffix();
}

// ---------------------------------------------------------------------------
// The transfer page

void kiv_configuration_widget::HandleTransferModeChanged(int index)
{
    d->m_transferPage->HandleTransferModeChanged(index);
}

void kiv_configuration_widget::HandleRadioButtonChanged()
{
    d->m_transferPage->HandleRadioButtonChanged(sender());
}

void kiv_configuration_widget::SpeedTest()
{
    // Taken before Apply, which may close the panel.
    const QStringList arguments = d->m_transferPage->SpeedTestArguments();
    TriggerApply();
    d->m_transferPage->StartSpeedTest(arguments);
}

void kiv_configuration_widget::SetTransferLink(QVariantMap lines)
{
    d->m_transferPage->SetTransferLink(lines);
}

void kiv_configuration_widget::SetTransmissionSecret(QJsonDocument document)
{
    d->m_transferPage->SetTransmissionSecret(document);
}

// ---------------------------------------------------------------------------
// The personal page

QStringList kiv_configuration_widget::GetCameraList() const
{
    return d->m_personalPage->GetCameraList();
}

void kiv_configuration_widget::AddMonitorItem()
{
    d->m_personalPage->AddMonitorItem(sender());
}

void kiv_configuration_widget::DeleteMonitorPath()
{
    d->m_personalPage->DeleteMonitorPath(sender());
}

void kiv_configuration_widget::CreateCamera()
{
    d->m_personalPage->CreateCamera(sender());
}

void kiv_configuration_widget::DeleteCamera()
{
    d->m_personalPage->DeleteCamera(sender());
}

void kiv_configuration_widget::UpdateCamera()
{
    d->m_personalPage->UpdateCamera();
}

void kiv_configuration_widget::InsertItemToCamera(QString name)
{
    d->m_personalPage->InsertItemToCamera(name);
}

// ---------------------------------------------------------------------------
// The project page

void kiv_configuration_widget::SetNewProject(kiv_general_types::Project project, bool flag)
{
    d->m_projectPage->SetNewProject(project, flag);
}

void kiv_configuration_widget::UpdateProject(kiv_general_types::Project project)
{
    d->m_projectPage->UpdateProject(project);
}

void kiv_configuration_widget::DeleteProjectToTab(kiv_general_types::Project project)
{
    d->m_projectPage->DeleteProjectToTab(project);
}

void kiv_configuration_widget::SetCurrentProjectToTab(QString id)
{
    d->m_projectPage->SetCurrentProjectToTab(id);
}

void kiv_configuration_widget::InsertNewItemToTable(kiv_general_types::Project project, bool flag)
{
    d->m_projectPage->InsertNewItemToTable(project, flag);
}

void kiv_configuration_widget::DeleteProject()
{
    d->m_projectPage->DeleteProject(sender());
}

void kiv_configuration_widget::EditProject()
{
    d->m_projectPage->EditProject(sender());
}

void kiv_configuration_widget::SetCurrentProject()
{
    d->m_projectPage->SetCurrentProject(sender());
}

void kiv_configuration_widget::SetProjectToCurrent(QString id)
{
    d->m_projectPage->SetProjectToCurrent(id);
}
