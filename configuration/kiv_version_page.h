#pragma once

#include "kiv_general_types.h"
#include "kiv_panel_context.h"

#include <QHash>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <QVariant>

class QObject;
class QSettings;
class kiv_pluginoptions;

// The version page: the render software versions the client supports, where
// each is installed (the uninstall registry, then the render path file), the
// table that shows them with their plugin status, and the plugin install.
class kiv_version_page : public kiv_panel_page
{
public:
    kiv_version_page(kiv_panel_context& context, kiv_pluginoptions* plugins);

    // Scans for installed versions; the store has opened the default file.
    void ReadSoftVersion();
    void ShowSoftwareVersion();
    void InsertRenderPath(QObject* sender);
    // Installs the plugin into every version with a folder, marking each
    // success; `mode` 1 is the interactive run, which reports in a box.
    void InstallPlugins(int mode);
    void Retranslate();

    QMap<QString, QPair<QString, QString>> GetRenderList(kiv_general_types::RENDERTYPE type) const;
    QStringList GetVersionList() const;

private:
    void GetRender();
    void ScanRender(QString guid, QString analyzer, QString extension);
    QString GetVersionPath(QSettings& settings, QString group, QString key);
    bool IsWindow64Byte();
    QMap<QString, QString>* VersionsOf(const QString& program);
    QHash<QString, QVariant>* RendersOf(const QString& program);
    const QHash<QString, QVariant>* RendersOf(const QString& program) const;

    QPointer<kiv_pluginoptions> m_pluginOptions;

    // Supported render software (label to guid per program) and the versions
    // found installed (label to {"path", "guid"}).
    QStringList m_softwareList;
    QMap<QString, QString> m_mayaVersions;
    QMap<QString, QString> m_maxVersions;
    QMap<QString, QString> m_houdiniVersions;
    QHash<QString, QVariant> m_mayaRenders;
    QHash<QString, QVariant> m_maxRenders;
    QHash<QString, QVariant> m_houdiniRenders;
};
