#pragma once

#include "kiv_configuration_global.h"
#include "kiv_general_options.h"
#include "kiv_general_types.h"
#include "kiv_transfer_options.h"
#include "kiv_zftx_types.h"

#include <QDialog>
#include <QHash>
#include <QJsonDocument>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class QPushButton;
class QSettings;
class kiv_filewatcher;
class kiv_http;
class kiv_pluginoptions;
class kiv_plugintutorial;

namespace Ui {
class wgtConfiguration;
}

// The settings panel. The host constructs it once, feeds it the logged-in
// user and the transfer data, opens it with ShowConf and listens to its
// signals. Nothing is read from disk before SetCurrentUserInfo.
class KIV_CONFIGURATION_EXPORT kiv_configuration_widget : public QDialog
{
    Q_OBJECT
public:
    kiv_configuration_widget(kiv_general_types::GeneralSet& general, kiv_http* http,
                             QWidget* parent = nullptr);
    ~kiv_configuration_widget() override;

    // Opens the panel modally on the general page, or on the version page.
    void ShowConf(bool showVersionPage);
    QVariant GetGeneralOpt(QString mark);
    void SetTransmissionSecret(QJsonDocument document);
    QStringList GetCameraList() const;
    QMap<QString, QPair<QString, QString>> GetRenderList(kiv_general_types::RENDERTYPE type) const;
    QStringList GetVersionList() const;
    QStringList GetOldMax() const;
    QMap<QString, QStringList> GetPyVersions() const;
    void showMaximized();
    void showNormal();

signals:
    void SigZftxParams(ZftxTransConfig config);
    void sigGetProjectList();
    void SigMaxConcurrence(ZFTXCMDTYPE type, int count);
    void sigCreateProject();
    void sigDeleteProject(kiv_general_types::Project project);
    void sigSetCurrentProject(QString id);
    void sigEditProject(kiv_general_types::Project project);
    void sigConfChanged();
    void sigLog(int loggerId, int level, QString message, const wchar_t* sourceFile, int line);
    void sigNewProject(kiv_general_types::Project project, bool flag);
    void sigCurrentProject(QString id);
    void sigUpdatePluginCfg(QVariantMap cfg);
    void sigUpdatePluginTriggered();
    void sigUpdatePluginStatus(QString strMsg = QString());
    void sigInstallPlugin(int mode);

public slots:
    void SetNewProject(kiv_general_types::Project project, bool flag);
    void UpdateProject(kiv_general_types::Project project);
    void DeleteProjectToTab(kiv_general_types::Project project);
    void SetCurrentProjectToTab(QString id);
    void SetCurrentUserInfo(kiv_general_types::AuthSet::LoginInfo info);
    void CurrentSubCenterChanged(QVariantMap map);
    void GetGeneralOpt(QString mark, QVariant& value);
    void SetLogger(int id);
    void SetTransferLink(QVariantMap lines);
    void OnChangeSkin();
    void OnWriteLog(int logLevel, QString strLog, const wchar_t* func, int line);
    void OnPluginInstall(int mode);

protected slots:
    void EnableApply();
    void HandleTransferModeChanged(int index);
    void InsertNewItemToTable(kiv_general_types::Project project, bool flag);
    void HandleRadioButtonChanged();
    void DeleteCamera();
    void AddMonitorItem();
    void DeleteMonitorPath();
    void TriggerApply();
    void TriggerCancel();
    void setTransferCurrentIndex();
    void InsertRenderPath();
    void DeleteProject();
    void EditProject();
    void SetCurrentProject();
    void SetProjectToCurrent(QString id);
    void CreateCamera();
    void UpdateCamera();
    void InsertItemToCamera(QString name);
    void SpeedTest();
    void OnPluginInstallmanually();
    void OnSelectDefaultDownloadPath();
    void OnSelectAnalysisCachePath();
    void OnShowPluginTutorial();
    void SelectPathSuffix();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Construction and chrome (core unit).
    void ApplyFramelessWindow();
    void InitForm();
    void CreateAction();
    void GetAppVersion();
    void RetranslateUi();
    void WriteLog(int level, const QString& message, int line);

    // Loading for a user and refreshing the pages.
    void LoadUserSettings();
    void OpenDefaultSettings();
    bool OpenUserSettings();
    // Forgets the open user's file and every value read from it.
    void ReleaseUserSettings();
    void ResetUserOptions();
    // Syncs the user file; false (logged) when it could not be written.
    bool FlushUserSettings();
    void ReopenUserSettings();
    void PrepareUserSettingsForWrite();
    void InitUiSettings();
    // A value the panel stores at once, outside Apply; memory only while no
    // user file is open.
    void WriteUserSettingNow(const QString& key, const QVariant& value);

    // The general page.
    void ReadGeneralSettings();
    void ShowGeneralSettings();
    void ApplyGeneralSettings();
    void UpdateDependentWidgets();
    QVariant GeneralAnswer(const QString& mark, bool slotForm, bool* known) const;

    // Render software detection and the version page.
    void ReadSoftVersion();
    void GetRender();
    void ScanRender(QString guid, QString analyzer, QString extension);
    QString GetVersionPath(QSettings& settings, QString group, QString key);
    bool IsWindow64Byte();
    QMap<QString, QString>* VersionsOf(const QString& program);
    QHash<QString, QVariant>* RendersOf(const QString& program);
    void ShowSoftwareVersion();

    // The transfer settings and page.
    void ReadTransferSettings();
    void ReadFtpSettings();
    void ReadZFTXSettings();
    void ReadAsperaSettings();
    QString TransferSectionFor(const QStringList& keys) const;
    bool SetTransferParam();
    // Replaces a stored method the offer lacks with the first one offered.
    void KeepOfferedTransferType();
    void WriteTransferTypeNow();
    void SetTransferSettings();
    void ApplyTransferSettings();
    QString ResolveTransferLine(const QString& type, const QString& lineName) const;
    void ShowTransferSettings();
    void ShowTransferLine();
    void ShowUDTSettings();
    void ShowAsperaSettings();

    // The personal page and the folder watcher.
    void CreateFileWatcher();
    void HandMonitorFoldersToWatcher();
    void ReadPersionalSettings();
    void ShowPersionSettings();
    void InsertItemToMonitor(QString path);
    void UpdateMonitor();

    // The project page.
    void ShowProjectList();
    bool SenderProjectId(QString* id) const;

    // Texts of each page, set by RetranslateUi.
    void RetranslateGeneralPage();
    void RetranslateVersionPage();
    void RetranslateTransferPage();
    void RetranslatePersonalPage();
    void RetranslateProjectPage();

    std::unique_ptr<Ui::wgtConfiguration> ui;
    kiv_general_types::GeneralSet& m_general;
    QWidget* m_parent = nullptr;
    int m_loggerId = 0;

    kiv_general_types::AuthSet::LoginInfo m_loginInfo;
    QString m_userId;
    QString m_userName;
    // The id of the user whose file is open.
    QString m_fileUserId;

    std::unique_ptr<QSettings> m_userSettings;
    std::unique_ptr<QSettings> m_defaultSettings;

    // Version texts and tables, read once while the panel is built.
    QString m_appVersion;
    QString m_hotline;
    QString m_qqNumber;
    QStringList m_oldMaxList;
    QMap<QString, QStringList> m_pyVersions;

    // Supported render software (label to guid per program) and the versions
    // found installed (label to {"path", "guid"}).
    QStringList m_softwareList;
    QMap<QString, QString> m_mayaVersions;
    QMap<QString, QString> m_maxVersions;
    QMap<QString, QString> m_houdiniVersions;
    QHash<QString, QVariant> m_mayaRenders;
    QHash<QString, QVariant> m_maxRenders;
    QHash<QString, QVariant> m_houdiniRenders;

    // The general options, the widgets they are shown on (one per option,
    // null where there is none), the web links and the current project.
    kiv_general_options m_generalOptions;
    QVector<QWidget*> m_generalWidgets;
    QStringList m_webLinks;
    QString m_currentProjectId;

    // Transfer options from the files, and what the host hands in: the
    // sub-center offer, the transfer lines and the Aspera account, which
    // survive a change of user.
    TransferOptions m_transfer;
    QVariantMap transferOffer;
    QMap<int, QString> offeredTypes;
    QMap<QString, QVariantMap> transferLines;
    QString asperaUser;
    QString asperaSecret;
    double zftxMaxUploadSpeed = 0.0;
    double zftxMaxDownloadSpeed = 0.0;
    double asperaMaxUploadSpeed = 0.0;
    double asperaMaxDownloadSpeed = 0.0;
    bool typeListFilled = false;

    // The personal lists; the watcher is shared by the process, not owned.
    QStringList monitorPaths;
    QStringList cameraNames;
    QPointer<kiv_filewatcher> m_fileWatcher;

    // The host's projects by id, and the "Set Current" button of the
    // current project's row (owned by its row).
    QMap<QString, kiv_general_types::Project> m_projects;
    QPointer<QPushButton> m_currentButton;
    // Set while the whole table is rebuilt, which lays the view out once at
    // its end instead of once per row.
    bool m_rebuildingProjects = false;

    QPointer<kiv_pluginoptions> m_pluginOptions;
    QPointer<kiv_plugintutorial> m_tutorial;
    bool m_installing = false;
    bool formReady = false;
};
