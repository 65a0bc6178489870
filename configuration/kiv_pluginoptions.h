#pragma once

#include "kiv_httpparam.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>
#include <QString>
#include <QVariantMap>

class kiv_http;
class QWidget;

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
    void WriteLog(int level, const QString& message, int line);

    QString m_port = QStringLiteral("9999");
    QWidget* m_parent = nullptr;
    kiv_http* m_http = nullptr;
};
