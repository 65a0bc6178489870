#include "kiv_pluginoptions.h"

#include "kiv_http.h"

#include <QWidget>

kiv_pluginoptions::kiv_pluginoptions(kiv_http* http, QWidget* parent)
    : QObject(parent)
    , m_parent(parent)
    , m_http(http)
{
    qRegisterMetaType<kiv_httpparam>("kiv_httpparam");
    if (m_http) {
        connect(m_http, &kiv_http::sigGetUpdateSubfilesRep, this,
                &kiv_pluginoptions::onGetUpdatePluginsRep);
        connect(m_http, &kiv_http::sigDownloadDoneRep, this,
                &kiv_pluginoptions::onDownloadPluginScriptFinished);
    }
}

kiv_pluginoptions::~kiv_pluginoptions() = default;

// The plugin configuration, the update check and the downloads are not
// built yet; the slots exist so that the host's wiring holds.
void kiv_pluginoptions::onUpdateMaxPluginCfg(QVariantMap cfg)
{
    Q_UNUSED(cfg)
}

void kiv_pluginoptions::onUpdateAllPluginsScripts()
{
}

void kiv_pluginoptions::onGetUpdatePluginsRep(QJsonDocument doc)
{
    Q_UNUSED(doc)
}

void kiv_pluginoptions::onDownloadPluginScriptFinished(kiv_httpparam param, QByteArray data,
                                                       QString text)
{
    Q_UNUSED(param)
    Q_UNUSED(data)
    Q_UNUSED(text)
}
