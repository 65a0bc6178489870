#pragma once

/// \file
/// The settings panel, the library's exported widget.

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

/**
 * The settings panel: a frameless modal dialog with the general, version,
 * transfer, personal and project pages.
 *
 * The host constructs it once, connects to its signals, calls SetLogger() and
 * SetCurrentUserInfo(), feeds CurrentSubCenterChanged(), SetTransferLink(),
 * SetTransmissionSecret() and the project slots as their data arrive, opens it
 * with ShowConf() and asks GetGeneralOpt() at any time. Nothing is read from
 * disk before SetCurrentUserInfo().
 *
 * Everything runs on the GUI thread: call every member there; every signal is
 * emitted there, synchronously, from inside the call that causes it. Nothing
 * throws: failures are shown in a kiv_messagebox_dialog or logged through
 * sigLog(). Files: `data/kiv_default.ini`, `data/kiv_users.ini` and
 * `data/kiv_renderpath.ini` under the application folder (the environment
 * variable `KIV_APP_DIR` overrides it) and the user file
 * kiv_types::userAppPath() + `/conf/kiv_<userName>.ini`.
 */
class KIV_CONFIGURATION_EXPORT kiv_configuration_widget : public QDialog
{
    Q_OBJECT
public:
    /**
     * Builds the form; reads no settings yet, apart from the version texts of
     * the default file (GetGeneralOpt() "appversion", GetOldMax(), GetPyVersions()).
     *
     * \param general The host's record, kept by reference: it must outlive the
     *        panel. The panel reads `nodePools` and `pluginInstallMode` and sets
     *        `pluginInstallMode` to 1 after a silent plugin install.
     * \param http The host's HTTP client for the plugin update check; not owned,
     *        must outlive the panel. May be null: the update check then does nothing.
     * \param parent The dialog's parent, also the parent of the panel's plugin
     *        manager (which the panel deletes itself).
     *
     * Also creates a new kiv_filewatcher, which becomes kiv_filewatcher::instance().
     */
    kiv_configuration_widget(kiv_general_types::GeneralSet& general, kiv_http* http,
                             QWidget* parent = nullptr);
    /// Releases the settings files, the plugin manager and the tutorial dialog.
    /// The folder watcher stays: it belongs to the application object and keeps watching.
    ~kiv_configuration_widget() override;

    /**
     * Opens the panel modally on the general page, or on the version page, and
     * returns when it closes (Apply or the close button).
     *
     * Every page is refilled from memory first, so edits that were not applied
     * at the last showing are gone; Apply starts disabled. Without a user file
     * (no SetCurrentUserInfo() yet, an empty `userId` or `userName`, a refused
     * name) it only shows the box "get curent settings info faild" and returns.
     */
    void ShowConf(bool showVersionPage);
    /**
     * Answers one option from memory; \p mark is compared exactly, case-sensitively.
     *
     * | Marks | Answer |
     * |---|---|
     * | "autodownload", "setargument", "compressscene", "analysistimeout", "balancecheck", "rendertimeout", "renderflag", "checkcancel", "reanalysis", "analysiserror", "clipboardsubmitting", "checkscenefileversion", "downloadpathsuffix" | the option, bool |
     * | "uploadconcurrent", "downloadconcurrent" | bool, from section "kiv.transfer" of the default file, read with the user's settings |
     * | "pre-render", "priorityrendering", "layerop", "uploadsenceonly", "compressdownload" | always false |
     * | "analysistime", "remainbalance", "rendertime", "maxpackagetype", "autoinstallplugin", "countperpage" | the option, int |
     * | "defaultdownloadpath", "defaultdownloadpathsuffix", "analysiscachepath", "custompath" | the option, QString |
     * | "currentproject" | the current project's id, empty when none |
     * | "appversion", "hotline", "qqnumber" | the version texts of the default file |
     * | "server", "register", "reset", "personal-center", "render-list", "recharge", "help", "us" | the web link of section "kiv.web" of the default file, read with the user's settings |
     * | anything else | the int -1 |
     *
     * Without a user (and after a refused one) the options hold their built-in
     * defaults; the two paths then lie below kiv_types::userAppPath().
     * The values change with SetCurrentUserInfo() and Apply (see sigConfChanged()).
     */
    QVariant GetGeneralOpt(QString mark);
    /**
     * Takes the Aspera account: the root object's member "data" holding
     * "aspera_user" and the scrambled "aspera_secret".
     *
     * The secret is unscrambled with the current `userName`, so call this after
     * SetCurrentUserInfo(). Kept in memory only, also across users; a root that
     * is not an object is ignored. Emits nothing: the account counts at the next
     * ShowConf() (ASPERA is listed only with both texts) and the next SigZftxParams().
     */
    void SetTransmissionSecret(QJsonDocument document);
    /// The current user's cameras (section "kiv.camera" of the user file) as last
    /// read or applied; a camera deleted on the open panel is gone at once.
    /// Empty without a user; nothing of a previous user is kept.
    QStringList GetCameraList() const;
    /// The installed versions of one render program: label to (full executable
    /// path, installation guid), ordered by label. Detected at each
    /// SetCurrentUserInfo(); empty before it and for an unknown \p type.
    QMap<QString, QPair<QString, QString>> GetRenderList(kiv_general_types::RENDERTYPE type) const;
    /// The render program identifiers ("maya", "3dsmax", "houdini") listed under
    /// "kiv.rendering/version" of the default file; read at each SetCurrentUserInfo().
    QStringList GetVersionList() const;
    /// The list "3dsmax/oldmax" of the default file, read once at construction.
    QStringList GetOldMax() const;
    /// For each key k of section "py" of the default file, the list under "py/k";
    /// read once at construction.
    QMap<QString, QStringList> GetPyVersions() const;
    /// Maximises the panel without the frame's shadow margin. Not virtual in
    /// QWidget: call it through a kiv_configuration_widget pointer.
    void showMaximized();
    /// Restores the panel, with the shadow margin where a compositor draws one.
    /// Not virtual in QWidget: call it through a kiv_configuration_widget pointer.
    void showNormal();

    /// The version of the loaded library, "major.minor.patch" (see kiv_configuration_version.h).
    static QString LibraryVersion();

signals:
    /**
     * The complete transfer configuration for the host's transfer engine.
     *
     * Emitted by Apply (when a transfer method is listed), by
     * CurrentSubCenterChanged() once a user file is open, and by
     * SetTransferLink() once an offer is known; never while the sub-center offer
     * is empty (the log line "transfer type is empty" instead). Always followed
     * by two SigMaxConcurrence().
     */
    void SigZftxParams(ZftxTransConfig config);
    /// Declared for the host's sake; the panel never emits it.
    void sigGetProjectList();
    /// A concurrency limit, emitted twice right after each SigZftxParams(): first
    /// ZFTXCMD_DOWNLOAD_CONCURRENCE with "kiv.transfer/downloadmaxoncurrence", then
    /// ZFTXCMD_UPLOAD_CONCURRENCE with "kiv.transfer/uploadmaxconcurrence" of the
    /// default file (0 when absent).
    void SigMaxConcurrence(ZFTXCMDTYPE type, int count);
    /// The "New Project" button, which the panel hides: not emitted in practice.
    /// The host would answer with SetNewProject().
    void sigCreateProject();
    /// The user confirmed deleting \p project (the stored copy). The panel changes
    /// nothing until the host answers with DeleteProjectToTab().
    void sigDeleteProject(kiv_general_types::Project project);
    /// The user clicked "Set Current" on a row. The panel changes nothing until
    /// the host answers with SetCurrentProjectToTab().
    void sigSetCurrentProject(QString id);
    /// The user clicked "Editor" on a row; \p project is the stored copy. The host
    /// edits it and answers with UpdateProject().
    void sigEditProject(kiv_general_types::Project project);
    /**
     * The options have changed: ask GetGeneralOpt() again.
     *
     * Emitted by Apply once the general options and the camera and monitor lists
     * are taken (before the transfer signals and before the file is flushed), and
     * after the first, silent plugin install (OnPluginInstall()).
     */
    void sigConfChanged();
    /**
     * One log line: the id given to SetLogger() (0 before), the level (300 error,
     * 600 information, 700 plugin status test), the message, the source unit and line.
     *
     * \p sourceFile names the unit that wrote the line ("kiv_configuration_widget",
     * "kiv_pluginoptions"): a string literal of this library, valid while the
     * library is loaded; never free it. Lines passed in through OnWriteLog() carry
     * the caller's pointer unchanged. The type is registered as "const wchar_t*".
     */
    void sigLog(int loggerId, int level, QString message, const wchar_t* sourceFile, int line);
    /// Emitted by SetNewProject() with \p flag false; the panel itself adds the row
    /// from it (InsertNewItemToTable()). A host need not listen.
    void sigNewProject(kiv_general_types::Project project, bool flag);
    /// Emitted by SetCurrentProjectToTab(); the panel itself marks the row from it
    /// (SetProjectToCurrent()). A host need not listen.
    void sigCurrentProject(QString id);
    /// Never emitted by the panel: the host emits it (or chains its own signal to
    /// it) to give the plugin its configuration. The map's "port" is written to the
    /// plugin file `TMQ Rendering/kiv_plugin.ini` in the common application data
    /// folder, after that folder's "json" folder is emptied.
    void sigUpdatePluginCfg(QVariantMap cfg);
    /// Never emitted by the panel: the host emits it to start a plugin update check
    /// through its kiv_http. Ignored with a null client or while a check runs.
    void sigUpdatePluginTriggered();
    /// A translated plugin status text for the host's status line (installing,
    /// update check, download); an empty text clears it. With the defaulted
    /// argument the meta-object also lists sigUpdatePluginStatus().
    void sigUpdatePluginStatus(QString strMsg = QString());
    /// The plugin install button, or an accepted download, with
    /// GeneralSet::pluginInstallMode; the panel itself runs OnPluginInstall() from it.
    void sigInstallPlugin(int mode);

public slots:
    /// Stores \p project under its id (replacing one with the same id) and appends
    /// its row; a replaced id shows twice until the next ShowConf(). \p flag is not used.
    void SetNewProject(kiv_general_types::Project project, bool flag);
    /// Replaces (or adds) the stored copy; the row's texts follow at the next ShowConf().
    void UpdateProject(kiv_general_types::Project project);
    /// Forgets the project with `project.id` and hides its row. When it is the
    /// current project, the current project is cleared and written at once.
    void DeleteProjectToTab(kiv_general_types::Project project);
    /// Makes \p id the current project, writes it at once to
    /// "kiv.project/currentproject_tmq<userId>" of the user file and marks its row.
    /// An empty id is ignored.
    void SetCurrentProjectToTab(QString id);
    /**
     * Sets the user and loads every setting, in this order: the default file and
     * the render software detection, the user file (created from
     * `data/kiv_users.ini` when missing), the general options, the current
     * project, the transfer settings, the camera and monitor lists (the monitor
     * folders go to the folder watcher). Emits nothing but sigLog().
     *
     * Call it again to switch users: nothing of the previous user is kept. An
     * empty `userName` keeps the open file for the same `userId` (a partial
     * refresh); otherwise, like a refused name (control characters or any of
     * `/ \ < > : " | ? *`), it closes the user file and resets the options to
     * their built-in defaults with empty lists.
     */
    void SetCurrentUserInfo(kiv_general_types::AuthSet::LoginInfo info);
    /**
     * Takes the current sub-center's transfer offer: keys
     * "TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX" and
     * "TRANSMISSION_TYPE_ASPERA", each a map with "max_upload_speed" and
     * "max_download_speed" in KB/s; a method is offered when its key is present.
     *
     * Kept across users. Without a user file it is only kept. With one, the
     * transfer settings are read again, a stored method the offer lacks is
     * replaced by the first one offered (written at once), SigZftxParams() and
     * SigMaxConcurrence() are emitted and the pages are refilled.
     */
    void CurrentSubCenterChanged(QVariantMap map);
    /**
     * Writes one option into \p value; for any other mark \p value is left
     * untouched. A different set of marks from GetGeneralOpt(QString):
     *
     * | Marks | Written to \p value |
     * |---|---|
     * | "autodownload", "uploadconcurrent", "downloadconcurrent", "setargument", "analysistimeout", "balancecheck", "rendertimeout", "renderflag", "checkcancel", "reanalysis", "analysiserror", "clipboardsubmitting", "checkscenefileversion", "downloadpathsuffix" | the bool |
     * | "pre-render", "uploadsenceonly", "compressdownload", "layerop" | the stored bool (not false as in the other form) |
     * | "compressscence" (spelled so) | the bool of "compressscene" |
     * | "check" | the int of "remainbalance" |
     * | "maxpackagetype", "autoinstallplugin", "analysistime", "rendertime", "countperpage" | the int |
     * | "defaultdownloadpath", "defaultdownloadpathsuffix", "analysiscachepath", "custompath" | the QString |
     *
     * Call it directly (or through a direct connection): a queued call cannot write back.
     */
    void GetGeneralOpt(QString mark, QVariant& value);
    /// Sets the logger id that leads every later sigLog().
    void SetLogger(int id);
    /**
     * Takes the transfer lines: keys "ftp", "zftx", "aspera", each a map from line
     * name to server address. Replaces the lines of the methods given; the others
     * keep theirs. Kept in memory only, also across users.
     *
     * An empty map is logged and ignored. Once a sub-center offer is known, the
     * line list is refilled and SigZftxParams() and SigMaxConcurrence() are emitted
     * with the resolved server address.
     */
    void SetTransferLink(QVariantMap lines);
    /// Sets the panel's style sheet from the host's resource ":/qss/configuration.qss"
    /// (UTF-8). Without that resource nothing changes; the library ships no style sheet.
    void OnChangeSkin();
    /// Emits \p strLog as sigLog() with the panel's logger id. \p func is passed on
    /// as it is: it must stay valid until every receiver has the line.
    void OnWriteLog(int logLevel, QString strLog, const wchar_t* func, int line);
    /**
     * Installs the client's 3ds Max plugin into every 3ds Max version on the
     * version page that has an installation folder, through the elevated copier
     * `kiv_copy_file.exe`.
     *
     * \p mode 1 is the interactive run: status texts and a result box. Any other
     * mode is the silent run (0 rebuilds the version table first); it then writes
     * "kiv.general/autoinstallplugin" = 1 to the default file, emits
     * sigConfChanged(), sets GeneralSet::pluginInstallMode to 1 and clears the
     * status after 10 s. Blocks the GUI thread while each copy runs (at most
     * `KIV_COPIER_TIMEOUT_MS`, default 120 s); a call during a run is ignored.
     */
    void OnPluginInstall(int mode);

protected slots:
    /// The change tracker, run by every edit: keeps dependent fields consistent
    /// and enables Apply.
    void EnableApply();
    /// The method box changed: shows that method's page. Choosing ASPERA when the
    /// sub-center does not offer it is undone, with a box offering the Aspera
    /// application page ("kiv.transfer/asperaurl").
    void HandleTransferModeChanged(int index);
    /// Appends a project row, marked when it is the current project; run by
    /// sigNewProject(). \p flag is not used.
    void InsertNewItemToTable(kiv_general_types::Project project, bool flag);
    /// A Fair/Fixed button of the transfer page: the constant-speed warning shows
    /// while either direction of its method is Fixed.
    void HandleRadioButtonChanged();
    /// A camera row's delete button: removes the camera (from GetCameraList() at
    /// once, from the file at Apply).
    void DeleteCamera();
    /// "Add Path": asks for a folder to monitor; taken by Apply.
    void AddMonitorItem();
    /// A monitor folder row's delete button; the folder stays watched until Apply.
    void DeleteMonitorPath();
    /**
     * Apply. In this order: the general options go to section "kiv.general"
     * of the user file; the camera and monitor lists are written and the monitor
     * folders handed to the folder watcher; sigConfChanged(); when a transfer
     * method is listed, its keys go to "kiv.transfer.<userId>", then (with a
     * sub-center offer) SigZftxParams(), SigMaxConcurrence() for downloads,
     * SigMaxConcurrence() for uploads; the user file is flushed and the panel
     * closes, ending ShowConf().
     *
     * When the file cannot be written, the failure is logged and shown in a box
     * and the panel stays open; the signals have been sent already.
     */
    void TriggerApply();
    /// Does nothing: the Cancel button is hidden, and closing the panel discards
    /// the edits.
    void TriggerCancel();
    /// A navigation button: shows its page.
    void setTransferCurrentIndex();
    /// A path cell of the version table: lets the user choose that version's
    /// installation folder, written to `data/kiv_renderpath.ini` at once.
    void InsertRenderPath();
    /// A row's delete request: asks for confirmation, then emits sigDeleteProject().
    void DeleteProject();
    /// A row's "Editor" button: emits sigEditProject() with the stored project.
    void EditProject();
    /// A row's "Set Current" button: emits sigSetCurrentProject().
    void SetCurrentProject();
    /// Marks the row of \p id as the current project and writes the id at once;
    /// run by sigCurrentProject().
    void SetProjectToCurrent(QString id);
    /// "New Camera": asks for a camera name.
    void CreateCamera();
    /// Takes the camera rows into the camera list and writes it (a step of Apply).
    void UpdateCamera();
    /// Appends a camera row named \p name.
    void InsertItemToCamera(QString name);
    /// The speed test button: applies as TriggerApply() does (which closes the
    /// panel), then starts `kiv_speedtest.exe` detached with the user's speed test
    /// server, the chosen method and line.
    void SpeedTest();
    /// The plugin install button and an accepted plugin download: emits
    /// sigInstallPlugin() with GeneralSet::pluginInstallMode.
    void OnPluginInstallmanually();
    /// Lets the user choose the default download folder.
    void OnSelectDefaultDownloadPath();
    /// Lets the user choose the analysis cache folder.
    void OnSelectAnalysisCachePath();
    /// The tutorial button: closes the panel (ending ShowConf()) and shows the
    /// plugin tutorial, whose animation `skin/tutorial.gif` (in the working folder
    /// or the application folder) the host supplies.
    void OnShowPluginTutorial();
    /// Opens the download path suffix dialog. Its pattern is taken by Apply; its
    /// custom text ("custompath") is written at once when the dialog is accepted.
    void SelectPathSuffix();

protected:
    /// Keeps mouse moves over the close button from reaching it (it sits on the
    /// draggable title bar).
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// On a language change, applies the panel's texts again from the installed
    /// translators (the panel's own are embedded as
    /// ":/i18n/kiv_configuration_zh_CN.qm"; the host installs them).
    void changeEvent(QEvent* event) override;

private:
    friend class kiv_configuration_widget_private;
    // The pages wire their rows and dialogs to the slots above.
    friend class kiv_personal_page;
    friend class kiv_project_page;
    friend class kiv_version_page;

    std::unique_ptr<kiv_configuration_widget_private> d;
};
