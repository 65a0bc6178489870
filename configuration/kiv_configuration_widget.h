#pragma once

#include "kiv_configuration_global.h"
#include "kiv_general_types.h"
#include "kiv_zftx_types.h"

#include <QDialog>
#include <QJsonDocument>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class kiv_http;
class kiv_configuration_widget_private;

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

    /// The version of the loaded library, "major.minor.patch" (see kiv_configuration_version.h).
    static QString LibraryVersion();

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
    friend class kiv_configuration_widget_private;
    // The pages wire their rows and dialogs to the slots above.
    friend class kiv_personal_page;
    friend class kiv_project_page;
    friend class kiv_version_page;

    std::unique_ptr<kiv_configuration_widget_private> d;
};
