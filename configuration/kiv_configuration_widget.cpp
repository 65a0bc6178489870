#include "kiv_configuration_widget.h"

#include "kiv_app_paths.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_panel_log.h"
#include "kiv_pluginoptions.h"
#include "kiv_plugintutorial.h"
#include "kiv_types.h"
#include "kiv_window_chrome.h"
#include "ui_kiv_configuration_widget.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QIntValidator>
#include <QScrollBar>
#include <QSettings>
#include <QTextStream>

namespace {

// Registered by name when the library loads, so that hosts can connect and
// queue the panel's signals by signature.
[[maybe_unused]] const int kLoginInfoType =
    qRegisterMetaType<kiv_general_types::AuthSet::LoginInfo>("kiv_general_types::AuthSet::LoginInfo");
[[maybe_unused]] const int kProjectType = qRegisterMetaType<kiv_general_types::Project>("kiv_general_types::Project");
[[maybe_unused]] const int kTransferConfigType = qRegisterMetaType<ZftxTransConfig>("ZftxTransConfig");
[[maybe_unused]] const int kConcurrenceType = qRegisterMetaType<ZFTXCMDTYPE>("ZFTXCMDTYPE");
[[maybe_unused]] const int kLogSourceType = qRegisterMetaType<const wchar_t*>("const wchar_t*");

using kiv_window_chrome::kShadowMargin;

// A user name becomes part of a file name. One that could leave the "conf"
// folder, or that Windows cannot store, must never reach the file system.
bool IsUsableUserName(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\<>:\"|?*");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return false;
    }
    return true;
}

// A refused name goes into the host's log: control characters and the like
// are spelled out so that they cannot break its lines.
QString LoggableText(const QString& text)
{
    const auto hex = [](uint code, int digits) {
        return QString::number(code, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
    };
    QString result;
    for (const uint code : text.toUcs4()) {
        // Line and paragraph separators count as printable, yet end a line.
        const bool breaksLine = code == 0x2028 || code == 0x2029;
        if (QChar::isPrint(code) && !breaksLine)
            result += QString::fromUcs4(&code, 1);
        else if (code < 0x100)
            result += QStringLiteral("\\x") + hex(code, 2);
        else if (QChar::requiresSurrogates(code))
            result += QStringLiteral("\\u") + hex(QChar::highSurrogate(code), 4) + QStringLiteral("\\u")
                      + hex(QChar::lowSurrogate(code), 4);
        else
            result += QStringLiteral("\\u") + hex(code, 4);
    }
    return result;
}

} // namespace

kiv_configuration_widget::kiv_configuration_widget(kiv_general_types::GeneralSet& general,
                                                   kiv_http* http, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::wgtConfiguration)
    , m_general(general)
    , m_parent(parent)
{
    ui->setupUi(this);
    for (const kiv_general_options::Option& option : kiv_general_options::table())
        m_generalWidgets << (option.widget ? findChild<QWidget*>(QLatin1String(option.widget)) : nullptr);
    // Until a user is set the host is answered with the built-in defaults.
    m_generalOptions.resetToBuiltIn(kiv_types::userAppPath());
    ApplyFramelessWindow();
    ui->btnClose->installEventFilter(this);

    ui->chkFileVersion->setVisible(false);
    ui->widget_compress->setVisible(false);
    ui->CompressDownload->setVisible(false);
    setAutoFillBackground(true);

    connect(this, &kiv_configuration_widget::sigNewProject, this,
            &kiv_configuration_widget::InsertNewItemToTable);
    connect(this, &kiv_configuration_widget::sigCurrentProject, this,
            &kiv_configuration_widget::SetProjectToCurrent);

    InitForm();
    RetranslateUi();
    CreateAction();
    GetAppVersion();

    m_pluginOptions = new kiv_pluginoptions(http, parent);
    connect(m_pluginOptions, &kiv_pluginoptions::sigLog, this, &kiv_configuration_widget::OnWriteLog);
    connect(this, &kiv_configuration_widget::sigUpdatePluginCfg, m_pluginOptions,
            &kiv_pluginoptions::onUpdateMaxPluginCfg);
    connect(this, &kiv_configuration_widget::sigUpdatePluginTriggered, m_pluginOptions,
            &kiv_pluginoptions::onUpdateAllPluginsScripts);
    connect(m_pluginOptions, &kiv_pluginoptions::sigDownloadPluginScriptFinish, this,
            &kiv_configuration_widget::OnPluginInstallmanually);
    connect(this, &kiv_configuration_widget::sigInstallPlugin, this,
            &kiv_configuration_widget::OnPluginInstall);
    connect(m_pluginOptions, &kiv_pluginoptions::sigUpdateStatus, this,
            &kiv_configuration_widget::sigUpdatePluginStatus);

    connect(ui->btnTutorial, &QPushButton::clicked, this,
            &kiv_configuration_widget::OnShowPluginTutorial);
    connect(ui->btn_editPathSuffix, &QPushButton::clicked, this,
            &kiv_configuration_widget::SelectPathSuffix);

    ui->widget_compress->hide();
    ui->UploadSenceOnly->hide();
    ui->ReRender->hide();
    ui->gbxPriorityRendering->hide();
    ui->groupBox_2->hide();
    ui->BntAddItem->hide();
    ui->groupBox->hide();
}

kiv_configuration_widget::~kiv_configuration_widget()
{
    m_userSettings.reset();
    m_defaultSettings.reset();
    delete m_pluginOptions;
    delete m_tutorial;
}

// ---------------------------------------------------------------------------
// Construction and window chrome

void kiv_configuration_widget::ApplyFramelessWindow()
{
    resize(minimumWidth() + kShadowMargin, minimumHeight() + kShadowMargin);
    ui->verticalLayout_2->setContentsMargins(kShadowMargin, kShadowMargin, kShadowMargin,
                                             kShadowMargin);

    kiv_window_chrome::applyFrameShadow(this, ui->widget_border);
}

void kiv_configuration_widget::InitForm()
{
    ui->Title->setMoveTarget(this);

    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    ui->BtnGeneral->setProperty("ListNum", 0);
    ui->BtnVersion->setProperty("ListNum", 1);
    ui->BtnTransfer->setProperty("ListNum", 2);
    ui->BtnPersional->setProperty("ListNum", 3);
    ui->BtnProject->setProperty("ListNum", 4);

    QTableWidget* versions = ui->twtSoftwareVersion;
    versions->setMouseTracking(true);
    versions->horizontalHeader()->setSectionsClickable(false);
    versions->setColumnCount(3);
    versions->setShowGrid(true);
    versions->verticalHeader()->setDefaultSectionSize(40);
    versions->horizontalHeader()->setFixedHeight(40);

    ui->lwtConfiguration->setFocusPolicy(Qt::NoFocus);
    ui->swtConfiguration->setCurrentIndex(0);

    ui->btnCancel->hide();
    ui->boxAnalysisTimeout->setValidator(new QIntValidator(30, 300, ui->boxAnalysisTimeout));
    ui->boxBalanceInsufficient->setValidator(new QIntValidator(1, 10000, ui->boxBalanceInsufficient));
    ui->renderspinbox->setValidator(new QIntValidator(1, 9000, ui->renderspinbox));
    ui->swtTransmisson->hide();
    ui->BtnPersional->hide();
    ui->Radstop->hide();
    CreateFileWatcher();

    formReady = true;
}

void kiv_configuration_widget::CreateAction()
{
    connect(ui->btnApply, &QPushButton::clicked, this, &kiv_configuration_widget::TriggerApply);
    connect(ui->btnCancel, &QPushButton::clicked, this, &kiv_configuration_widget::TriggerCancel);
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::close);

    // Every edit runs the change tracker.
    for (QCheckBox* box : {ui->chkAutoDown, ui->checkBox_PathSuffix, ui->chkLayerOp, ui->chkFileVersion,
                           ui->ReRender, ui->UploadSenceOnly, ui->CompressScene, ui->CompressDownload,
                           ui->SetArgument, ui->AnalysisTimeout, ui->BalanceInsufficient,
                           ui->Analysierror, ui->EnableClipboard, ui->RenderTimeout, ui->ChkCancel})
        connect(box, &QCheckBox::stateChanged, this, &kiv_configuration_widget::EnableApply);
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{ui->PriorityRendering, ui->Radstop, ui->RadTellme,
                                                 ui->ReAnalysis})
        connect(button, &QAbstractButton::clicked, this, &kiv_configuration_widget::EnableApply);
    for (QComboBox* combo : {ui->comboBox_pacageMode, ui->comTransferLine})
        connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &kiv_configuration_widget::EnableApply);
    for (QLineEdit* edit : {ui->boxAnalysisTimeout, ui->boxBalanceInsufficient, ui->renderspinbox})
        connect(edit, &QLineEdit::editingFinished, this, &kiv_configuration_widget::EnableApply);
    for (QLineEdit* edit : {ui->lineEdit_defaultDownloadPath, ui->lineEdit_pathSuffix,
                            ui->lineEdit_analysisCachePath})
        connect(edit, &QLineEdit::textChanged, this, &kiv_configuration_widget::EnableApply);
    for (QDoubleSpinBox* spin : {ui->spbUploadSpeedU, ui->spbDownloadSpeedU, ui->spbUploadSpeedA,
                                 ui->spbDownloadSpeedA})
        connect(spin, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                &kiv_configuration_widget::EnableApply);
    connect(ui->twtSoftwareVersion, &QTableWidget::cellChanged, this,
            &kiv_configuration_widget::EnableApply);

    connect(ui->cmbTransferType, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &kiv_configuration_widget::HandleTransferModeChanged);
    for (QRadioButton* radio : {ui->radDownloadDefaultU, ui->radDownloadHighU, ui->radUploadDefaultU,
                                ui->radUploadHighU, ui->radDownloadDefaultA, ui->radDownloadHighA,
                                ui->radUploadDefaultA, ui->radUploadHighA})
        connect(radio, &QRadioButton::clicked, this, &kiv_configuration_widget::HandleRadioButtonChanged);
    connect(ui->BtnSpeedTest, &QPushButton::clicked, this, &kiv_configuration_widget::SpeedTest);

    for (QRadioButton* nav :
         {ui->BtnGeneral, ui->BtnTransfer, ui->BtnVersion, ui->BtnPersional, ui->BtnProject})
        connect(nav, &QRadioButton::clicked, this, &kiv_configuration_widget::setTransferCurrentIndex);

    connect(ui->BntAddItem, &QPushButton::clicked, this, &kiv_configuration_widget::sigCreateProject);
    connect(ui->btn_selectDefaultDownloadPath, &QPushButton::clicked, this,
            &kiv_configuration_widget::OnSelectDefaultDownloadPath);
    connect(ui->btn_selectAnalysisCachePath, &QPushButton::clicked, this,
            &kiv_configuration_widget::OnSelectAnalysisCachePath);
    connect(ui->btnPluginInstall, &QPushButton::clicked, this,
            &kiv_configuration_widget::OnPluginInstallmanually);
    connect(ui->BtnAddMonitor, &QPushButton::clicked, this, &kiv_configuration_widget::AddMonitorItem);
    connect(ui->BtnAddCamera, &QPushButton::clicked, this, &kiv_configuration_widget::CreateCamera);
}

void kiv_configuration_widget::showMaximized()
{
    ui->verticalLayout_2->setContentsMargins(0, 0, 0, 0);
    QDialog::showMaximized();
}

void kiv_configuration_widget::showNormal()
{
    ui->verticalLayout_2->setContentsMargins(kShadowMargin, kShadowMargin, kShadowMargin,
                                             kShadowMargin);
    QDialog::showNormal();
}

void kiv_configuration_widget::setTransferCurrentIndex()
{
    auto* button = qobject_cast<QRadioButton*>(sender());
    if (!button)
        return;
    const int page = button->property("ListNum").toInt();
    ui->swtConfiguration->setCurrentIndex(page);
    ui->btnTutorial->setVisible(page == 1);
}

bool kiv_configuration_widget::eventFilter(QObject* watched, QEvent* event)
{
    // The close button sits on the draggable title bar; moves over it must
    // not reach the button.
    if (watched == ui->btnClose && event->type() == QEvent::MouseMove)
        return true;
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Language, skin, version information and logging

void kiv_configuration_widget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

void kiv_configuration_widget::RetranslateUi()
{
    setWindowTitle(QObject::tr("Settings"));
    ui->LinSet->setText(QObject::tr("Settings"));
    ui->BtnGeneral->setText(QObject::tr("General Settings"));
    ui->BtnVersion->setText(QObject::tr("Version Settings"));
    ui->BtnTransfer->setText(QObject::tr("Transfer Settings"));
    ui->BtnPersional->setText(QObject::tr("Persion Settings"));
    ui->BtnProject->setText(QObject::tr("Project Settings"));
    ui->btnApply->setText(QObject::tr("Apply"));
    ui->btnCancel->setText(QObject::tr("Cancel"));

    RetranslateGeneralPage();
    RetranslateTransferPage();
    RetranslatePersonalPage();
    RetranslateVersionPage();
    RetranslateProjectPage();
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

void kiv_configuration_widget::GetAppVersion()
{
    const QString file = kiv_app_paths::defaultSettingsFile();
    QSettings settings(file, QSettings::IniFormat);
    m_appVersion = settings.value(QStringLiteral("kiv.appversion/appversion")).toString();
    m_hotline = settings.value(QStringLiteral("kiv.appversion/hotline")).toString();
    m_qqNumber = settings.value(QStringLiteral("kiv.appversion/qqnumber")).toString();
    m_oldMaxList = settings.value(QStringLiteral("3dsmax/oldmax")).toStringList();

    settings.beginGroup(QStringLiteral("py"));
    const QStringList keys = settings.allKeys();
    settings.endGroup();
    for (const QString& key : keys)
        m_pyVersions[key] = kiv_types::getValues(QStringLiteral("py/%1").arg(key), file);
}

void kiv_configuration_widget::SetLogger(int id)
{
    m_loggerId = id;
}

void kiv_configuration_widget::OnWriteLog(int logLevel, QString strLog, const wchar_t* func, int line)
{
    emit sigLog(m_loggerId, logLevel, strLog, func, line);
}

void kiv_configuration_widget::WriteLog(int level, const QString& message, int line)
{
    emit sigLog(m_loggerId, level, message, L"kiv_configuration_widget", line);
}

// ---------------------------------------------------------------------------
// The user and the settings files

void kiv_configuration_widget::SetCurrentUserInfo(kiv_general_types::AuthSet::LoginInfo info)
{
    KIV_LOG(KIV_LOG_INFO, QStringLiteral("get current userinfo"));
    m_loginInfo = info;
    m_userName = info.userName;
    m_userId = info.userId;
    LoadUserSettings();
}

void kiv_configuration_widget::LoadUserSettings()
{
    ReadSoftVersion();
    if (!OpenUserSettings())
        return;
    ReadGeneralSettings();
    ReadTransferSettings();
    // A user set while an offer is known starts on an offered method.
    if (!transferOffer.isEmpty())
        KeepOfferedTransferType();
    ReadPersionalSettings();
}

void kiv_configuration_widget::ResetUserOptions()
{
    m_generalOptions.resetToBuiltIn(kiv_types::userAppPath());
    m_currentProjectId.clear();
    m_transfer = TransferOptions();
    monitorPaths.clear();
    cameraNames.clear();
    HandMonitorFoldersToWatcher();
}

void kiv_configuration_widget::OpenDefaultSettings()
{
    m_defaultSettings.reset(new QSettings(kiv_app_paths::defaultSettingsFile(), QSettings::IniFormat));
}

bool kiv_configuration_widget::OpenUserSettings()
{
    const QString userFolder = kiv_types::userAppPath();
    if (m_userName.isEmpty()) {
        KIV_LOG(KIV_LOG_INFO, QStringLiteral("not have current user "));
        // A partial refresh of the same user keeps that user's file; any
        // other login must not read or write it.
        if (m_userSettings && !m_userId.isEmpty() && m_userId == m_fileUserId)
            return true;
        if (m_userSettings)
            ReleaseUserSettings();
        return false;
    }
    if (!IsUsableUserName(m_userName)) {
        // Neither this name nor the previous user's values may be used.
        ReleaseUserSettings();
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("invalid user name ") + LoggableText(m_userName));
        return false;
    }

    const QString path = userFolder + QStringLiteral("/conf/kiv_%1.ini").arg(m_userName);
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(userFolder + QStringLiteral("/conf"));
        // A failed copy is not fatal: the file is then created by the first write.
        QFile::copy(kiv_app_paths::userTemplateFile(), path);
    }
    m_userSettings.reset(new QSettings(path, QSettings::IniFormat));
    m_fileUserId = m_userId;
    return true;
}

void kiv_configuration_widget::ReleaseUserSettings()
{
    m_userSettings.reset();
    m_fileUserId.clear();
    ResetUserOptions();
}

bool kiv_configuration_widget::FlushUserSettings()
{
    if (!m_userSettings)
        return true;
    m_userSettings->sync();
    // A malformed but writable file reads as FormatError; only AccessError
    // means the values did not reach the disk.
    if (m_userSettings->status() != QSettings::AccessError)
        return true;
    const QString path = m_userSettings->fileName();
    KIV_LOG(KIV_LOG_ERROR, QStringLiteral("user settings file %1 could not be written").arg(path));
    // The object keeps its first error for good: a fresh one lets the next
    // write tell whether it got through.
    ReopenUserSettings();
    return false;
}

void kiv_configuration_widget::ReopenUserSettings()
{
    const QString path = m_userSettings->fileName();
    m_userSettings.reset();
    m_userSettings.reset(new QSettings(path, QSettings::IniFormat));
}

void kiv_configuration_widget::PrepareUserSettingsForWrite()
{
    // Opened while the file could not be read, its status would report that
    // read as this write's failure.
    if (m_userSettings && m_userSettings->status() == QSettings::AccessError)
        ReopenUserSettings();
}

void kiv_configuration_widget::CurrentSubCenterChanged(QVariantMap map)
{
    transferOffer = map;
    if (!m_userSettings) {
        KIV_LOG(KIV_LOG_INFO, QStringLiteral("not have current user info "));
        return;
    }
    ReadTransferSettings();
    SetTransferParam();
    SetTransferSettings();
    InitUiSettings();
}

// ---------------------------------------------------------------------------
// Showing the panel

void kiv_configuration_widget::ShowConf(bool showVersionPage)
{
    m_userId = m_loginInfo.userId;
    m_userName = m_loginInfo.userName;
    if (m_userId.isEmpty() || m_userName.isEmpty() || !IsUsableUserName(m_userName)) {
        kiv_messagebox_dialog box(nullptr);
        box.setButtonVisible(QStringLiteral("cancel"), false);
        box.setText(QObject::tr("get curent settings info faild"));
        box.exec();
        return;
    }

    if (showVersionPage) {
        ui->BtnVersion->click();
        ui->twtSoftwareVersion->scrollToTop();
    } else {
        ui->BtnGeneral->click();
        ui->scrollArea->verticalScrollBar()->setValue(0);
    }

    InitUiSettings();
    ui->btnApply->setEnabled(false);
    exec();
}

void kiv_configuration_widget::InitUiSettings()
{
    ShowGeneralSettings();
    ShowSoftwareVersion();
    ShowTransferSettings();
    ShowPersionSettings();
}

void kiv_configuration_widget::WriteUserSettingNow(const QString& key, const QVariant& value)
{
    if (!m_userSettings)
        return;
    PrepareUserSettingsForWrite();
    m_userSettings->setValue(key, value);
    FlushUserSettings();
}

QStringList kiv_configuration_widget::GetOldMax() const
{
    return m_oldMaxList;
}

QMap<QString, QStringList> kiv_configuration_widget::GetPyVersions() const
{
    return m_pyVersions;
}

// ---------------------------------------------------------------------------
// The Apply cycle

void kiv_configuration_widget::EnableApply()
{
    UpdateDependentWidgets();
    ui->btnApply->setEnabled(true);
}

void kiv_configuration_widget::TriggerApply()
{
    PrepareUserSettingsForWrite();
    ApplyGeneralSettings();
    UpdateCamera();
    UpdateMonitor();
    HandMonitorFoldersToWatcher();
    emit sigConfChanged();
    // Without a listed method nothing of the transfer page is written or sent.
    if (ui->cmbTransferType->count() > 0)
        ApplyTransferSettings();
    const QString path = m_userSettings ? m_userSettings->fileName() : QString();
    if (!FlushUserSettings()) {
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
