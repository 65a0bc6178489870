#pragma once

#include "kiv_httpparam.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class kiv_http;
class QWidget;
namespace kiv_platform {
class StartedProcess;
}

// Keeps the client's 3ds Max plugin files current and installs them.
class kiv_pluginoptions : public QObject
{
    Q_OBJECT
public:
    kiv_pluginoptions(kiv_http* http, QWidget* parent);
    ~kiv_pluginoptions() override;

    // Whether the client's plugin is installed for a 3ds Max version in folder.
    bool isPluginInstalled(QString label, QString folder);
    // Puts the client's 7-Zip files into an installation folder.
    bool copy7Zip(QString folder);
    bool copyDirectory(QString source, QString destination, bool overwrite);
    QString commonAppDataPath();

    // Installs the plugin files of one 3ds Max version; mode 1 is the
    // interactive run, which asks the user on failure.
    bool installPlugin(QString label, QString folder, int mode);
    // The plugin configuration file under the common application data folder.
    void writePluginIni();

    // The copier's parameter and result files, in the current directory and
    // named by absolute path. readRetFile answers the exit code written in
    // the result file, -1 when there is none, -2 when it holds no number.
    QString writeParamFile(QString source, QString destination, QString result);
    int readRetFile(QString name);
    QString fileMd5(QString path);

signals:
    void sigLog(int logLevel, QString strLog, const wchar_t* func, int line);
    void sigDownloadPluginScriptFinish();
    void sigUpdateStatus(QString strMsg = QString());

public slots:
    void onUpdateMaxPluginCfg(QVariantMap cfg);
    void onUpdateAllPluginsScripts();
    void onGetUpdatePluginsRep(QJsonDocument doc);
    void onDownloadPluginScriptFinished(kiv_httpparam param, QByteArray data, QString text);

private:
    struct PluginFileEntry {
        QString url;
        QString dir;
        QString md5;
    };

    void WriteLog(int level, const QString& message, int line);
    QString pluginConfigFolder();
    void reportInstallFailure(const QString& label, int mode);
    bool copyElevated(QString source, QString destination, bool overwrite);
    bool runElevated(QString program, QString parameters, QString directory,
                     std::unique_ptr<kiv_platform::StartedProcess>* process);
    bool isVistaOrLater();
    bool askUser(QString text, bool okVisible, bool cancelVisible);
    void finishDownloadBatch();
    void finishUpdateCheck();

    QString m_port = QStringLiteral("9999");
    QWidget* m_parent = nullptr;
    kiv_http* m_http = nullptr;

    int m_pendingDownloads = 0;
    QStringList m_failedDownloads;
    // Set while an update check runs, so that two checks never interleave.
    bool m_updating = false;
};
