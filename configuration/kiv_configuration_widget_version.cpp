// The version page: detected render software and the 3ds Max plugin.

#include "kiv_configuration_widget.h"

#include "kiv_app_paths.h"
#include "kiv_monitoritem_widget.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_platform.h"
#include "kiv_plugintutorial.h"
#include "kiv_pluginoptions.h"
#include "kiv_types.h"
#include "ui_kiv_configuration_widget.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>
#include <QTimer>

void kiv_configuration_widget::RetranslateVersionPage()
{
    ui->lblTips->setText(
        QObject::tr("click the blank area if system failed to locate the path automatically"));
    QTableWidget* table = ui->twtSoftwareVersion;
    table->setHorizontalHeaderLabels({QObject::tr("Software Version"), QObject::tr("Installation Path"),
                                      QObject::tr("Plugin Status")});
    for (int row = 0; row < table->rowCount(); ++row) {
        if (QTableWidgetItem* status = table->item(row, 2))
            status->setText(QObject::tr("installed"));
    }
}

namespace {

const QString kMaya = QStringLiteral("maya");
const QString kMax = QStringLiteral("3dsmax");
const QString kHoudini = QStringLiteral("houdini");

QString InstallLocationKey(const QString& guid)
{
    return QStringLiteral("%1/installlocation").arg(guid);
}

// The executable of a program version. Windows paths are kept exactly as the
// client has always built them; elsewhere "/" separates, so that every
// length the version page derives from the path still holds.
QString ExecutablePath(const QString& folder, const QString& analyzer, const QString& extension)
{
#ifdef Q_OS_WIN
    return QStringLiteral("%1\\%2.%3").arg(folder, analyzer, extension);
#else
    return QStringLiteral("%1/%2.%3").arg(folder, QString(analyzer).replace(QLatin1Char('\\'), QLatin1Char('/')),
                                          extension);
#endif
}

// Stores a value of the render path file, leaving the file alone when it
// already holds it.
void StoreInstallLocation(const QString& guid, const QString& folder)
{
    const QString file = kiv_app_paths::renderPathFile();
    if (kiv_types::getValue(InstallLocationKey(guid), file) != folder || !QFile::exists(file))
        kiv_types::setValue(InstallLocationKey(guid), folder, file);
}

QVariant RenderEntry(const QString& executable, const QString& guid)
{
    QHash<QString, QVariant> entry;
    entry.insert(QStringLiteral("path"), executable);
    entry.insert(QStringLiteral("guid"), guid);
    return entry;
}

} // namespace

QMap<QString, QString>* kiv_configuration_widget::VersionsOf(const QString& program)
{
    if (program == kMaya)
        return &m_mayaVersions;
    if (program == kMax)
        return &m_maxVersions;
    if (program == kHoudini)
        return &m_houdiniVersions;
    return nullptr;
}

QHash<QString, QVariant>* kiv_configuration_widget::RendersOf(const QString& program)
{
    if (program == kMaya)
        return &m_mayaRenders;
    if (program == kMax)
        return &m_maxRenders;
    if (program == kHoudini)
        return &m_houdiniRenders;
    return nullptr;
}

bool kiv_configuration_widget::IsWindow64Byte()
{
    return kiv_platform::isNative64Bit();
}

QString kiv_configuration_widget::GetVersionPath(QSettings& settings, QString group, QString key)
{
    const QStringList groups = settings.childGroups();
    for (const QString& child : groups) {
        if (child.compare(group, Qt::CaseInsensitive) != 0) // as the registry compares key names
            continue;
        settings.beginGroup(child);
        const QString value = kiv_platform::valueIgnoringCase(settings, key).toString();
        settings.endGroup();
        if (!value.isEmpty())
            return value;
    }
    return {};
}

void kiv_configuration_widget::ScanRender(QString guid, QString analyzer, QString extension)
{
    QString folder;
    if (extension == QLatin1String("exe")) {
        if (std::unique_ptr<QSettings> uninstall = kiv_platform::openUninstallKey(IsWindow64Byte())) {
            folder = GetVersionPath(*uninstall, guid, QStringLiteral("installlocation"));
            if (folder.isEmpty()) {
                // Some installers register under their display name instead.
                const QString name = GetVersionPath(*uninstall, guid, QStringLiteral("DisplayName"));
                if (!name.isEmpty())
                    folder = GetVersionPath(*uninstall, name, QStringLiteral("installlocation"));
            }
        }
    }
    if (folder.isEmpty()) {
        folder = kiv_types::getValue(InstallLocationKey(guid), kiv_app_paths::renderPathFile());
        if (folder.isEmpty())
            return;
    }
    const bool present = QFile::exists(ExecutablePath(folder, analyzer, extension));
    StoreInstallLocation(guid, present ? folder : QString());
}

void kiv_configuration_widget::GetRender()
{
    for (const QString& program : {kMaya, kMax}) {
        const QString analyzer = m_defaultSettings->value(program + QStringLiteral("/analyzer")).toString();
        const QString extension = m_defaultSettings->value(program + QStringLiteral("/extension")).toString();
        const QStringList items =
            m_defaultSettings->value(QStringLiteral("kiv.rendering/") + program).toStringList();
        QStringList guids;
        for (const QString& item : items) {
            // An item without "&" names no version.
            if (item.contains(QLatin1Char('&')))
                guids << item.section(QLatin1Char('&'), 0, 0);
        }
        for (const QString& guid : guids)
            ScanRender(guid, analyzer, extension);
    }
}

void kiv_configuration_widget::ReadSoftVersion()
{
    OpenDefaultSettings();
    GetRender();

    const QString defaults = kiv_app_paths::defaultSettingsFile();
    const QString versions = kiv_types::getValue(QStringLiteral("kiv.rendering/version"), defaults);
    m_softwareList = versions.isEmpty() ? QStringList() : versions.split(QLatin1Char('&'));

    const QString renderPaths = kiv_app_paths::renderPathFile();
    for (const QString& program : qAsConst(m_softwareList)) {
        const QString key = QStringLiteral("kiv.rendering/") + program;
        QMap<QString, QString>* versionsMap = VersionsOf(program);
        QHash<QString, QVariant>* renders = RendersOf(program);
        if (!versionsMap || !m_defaultSettings->contains(key))
            continue;
        const QString analyzer = kiv_types::getValue(program + QStringLiteral("/analyzer"), defaults);
        const QString extension = kiv_types::getValue(program + QStringLiteral("/extension"), defaults);
        const QStringList items = m_defaultSettings->value(key).toStringList();
        for (const QString& item : items) {
            const QStringList fields = item.split(QLatin1Char('&'));
            if (fields.size() < 2)
                continue;
            const QString& guid = fields.at(0);
            const QString& label = fields.at(1);
            versionsMap->insert(label, guid);
            const QString folder = kiv_types::getValue(InstallLocationKey(guid), renderPaths);
            if (!folder.isEmpty()) {
                renders->insert(label, RenderEntry(ExecutablePath(folder, analyzer, extension), guid));
            } else if (renders->value(label).toHash().value(QStringLiteral("guid")).toString() == guid) {
                // Found missing now: never offer an executable the scan no longer finds.
                renders->remove(label);
            }
        }
    }
}

QMap<QString, QPair<QString, QString>>
kiv_configuration_widget::GetRenderList(kiv_general_types::RENDERTYPE type) const
{
    const QHash<QString, QVariant>* renders = nullptr;
    switch (type) {
    case kiv_general_types::RENDERTYPE_3DSMAX:
        renders = &m_maxRenders;
        break;
    case kiv_general_types::RENDERTYPE_MAYA:
        renders = &m_mayaRenders;
        break;
    case kiv_general_types::RENDERTYPE_HOUDINI:
        renders = &m_houdiniRenders;
        break;
    }
    QMap<QString, QPair<QString, QString>> result;
    if (!renders)
        return result;
    for (auto it = renders->constBegin(); it != renders->constEnd(); ++it) {
        const QHash<QString, QVariant> entry = it.value().toHash();
        result.insert(it.key(), qMakePair(entry.value(QStringLiteral("path")).toString(),
                                          entry.value(QStringLiteral("guid")).toString()));
    }
    return result;
}

QStringList kiv_configuration_widget::GetVersionList() const
{
    return m_softwareList;
}

void kiv_configuration_widget::ShowSoftwareVersion()
{
    QTableWidget* table = ui->twtSoftwareVersion;
    table->clearContents();
    table->setRowCount(0);
    table->verticalHeader()->hide();

    QHash<QString, int> suffixLengths;
    for (const QString& program : {kMaya, kMax, kHoudini}) {
        const QString suffix = m_defaultSettings
                                   ? m_defaultSettings->value(program + QStringLiteral("/analyzer")).toString()
                                         + QLatin1Char('.')
                                         + m_defaultSettings->value(program + QStringLiteral("/extension")).toString()
                                   : QStringLiteral(".");
        suffixLengths.insert(program, suffix.size());
    }

    for (const QString& program : qAsConst(m_softwareList)) {
        const QMap<QString, QString>* versionsMap = VersionsOf(program);
        if (!versionsMap)
            continue;
        const QMap<QString, QString> versions = *versionsMap;
        const QHash<QString, QVariant>* renders = RendersOf(program);
        int installedHere = 0;
        for (auto it = versions.constBegin(); it != versions.constEnd(); ++it) {
            const QString& label = it.key();
            const int row = table->rowCount();
            table->insertRow(row);

            auto* labelItem = new QTableWidgetItem(label);
            table->setItem(row, 0, labelItem);
            table->setColumnWidth(0, 140);
            labelItem->setData(Qt::UserRole, it.value());
            labelItem->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

            QString folder;
            if (renders->contains(label)) {
                folder = renders->value(label).toHash().value(QStringLiteral("path")).toString();
                folder.chop(suffixLengths.value(program));
            }

            auto* pathItem = new QTableWidgetItem;
            table->setItem(row, 1, pathItem);
            table->setColumnWidth(1, 250);
            auto* cell = new kiv_monitoritem_widget;
            cell->SetHoverEnabled(true);
            cell->SetCell(folder, pathItem, table->columnWidth(1));
            connect(cell, &kiv_monitoritem_widget::sigAddPath, this, &kiv_configuration_widget::InsertRenderPath);
            table->setIndexWidget(table->model()->index(row, 1), cell);

            pathItem->setData(Qt::UserRole, program);
            pathItem->setData(Qt::UserRole + 1, folder);
            pathItem->setData(Qt::UserRole + 2, label);

            const int width = table->columnWidth(1);
            cell->ResizeWidget(1, width, width);
            connect(table->horizontalHeader(), &QHeaderView::sectionResized, cell,
                    &kiv_monitoritem_widget::ResizeWidget);

            if (!folder.isEmpty()) {
                m_pluginOptions->copy7Zip(folder);
                pathItem->setToolTip(folder);
                if (m_pluginOptions->isPluginInstalled(label, folder)) {
                    installedHere = 1;
                    auto* status = new QTableWidgetItem(QObject::tr("installed"));
                    status->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
                    table->setItem(row, 2, status);
                }
            }
        }
        // What stays is the flag of the last program listed.
        const QString flag = QString::number(installedHere);
        const QString defaults = kiv_app_paths::defaultSettingsFile();
        if (kiv_types::getValue(QStringLiteral("kiv.general/plugininstalled"), defaults) != flag)
            kiv_types::setValue(QStringLiteral("kiv.general/plugininstalled"), flag, defaults);
    }
}

void kiv_configuration_widget::InsertRenderPath()
{
    auto* cell = qobject_cast<kiv_monitoritem_widget*>(sender());
    if (!cell || !cell->TableItem())
        return;
    QTableWidget* table = ui->twtSoftwareVersion;
    const int row = cell->TableItem()->row();
    const int column = 1;
    qDebug().noquote() << QObject::tr("clicked row:%1, col:%2").arg(row).arg(column);

    const QString start = cell->Text().isEmpty() ? QCoreApplication::applicationDirPath() : cell->Text();
    const QString folder = QDir::toNativeSeparators(QFileDialog::getExistingDirectory(
        this, tr("Choose software installation path"), start, QFileDialog::ShowDirsOnly));

    const QString label = table->item(row, 0)->text();
    const QString program = table->item(row, 1)->data(Qt::UserRole).toString();
    const QString analyzer = m_defaultSettings->value(program + QStringLiteral("/analyzer")).toString();
    const QString extension = m_defaultSettings->value(program + QStringLiteral("/extension")).toString();
    const QString executable = ExecutablePath(folder, analyzer, extension);
    // A cancelled chooser or a folder without the program changes nothing.
    if (folder.isEmpty() || !QFileInfo::exists(executable))
        return;

    if (auto* shown = qobject_cast<kiv_monitoritem_widget*>(table->indexWidget(table->model()->index(row, 1))))
        shown->SetFullText(folder);
    const QString guid = table->item(row, 0)->data(Qt::UserRole).toString();
    kiv_types::setValue(InstallLocationKey(guid), folder, kiv_app_paths::renderPathFile());
    if (QHash<QString, QVariant>* renders = RendersOf(program))
        renders->insert(label, RenderEntry(executable, guid));
    EnableApply();
}

void kiv_configuration_widget::OnPluginInstall(int mode)
{
    // Message boxes below run nested event loops; a second run waits its turn.
    if (m_installing)
        return;
    if (mode == 0)
        ShowSoftwareVersion();
    m_installing = true;
    if (mode == 1)
        emit sigUpdatePluginStatus(tr("Plugins are installing..."));

    QTableWidget* table = ui->twtSoftwareVersion;
    QStringList installed;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* pathItem = table->item(row, 1);
        if (!pathItem)
            continue;
        const QString folder = pathItem->data(Qt::UserRole + 1).toString();
        const QString label = pathItem->data(Qt::UserRole + 2).toString();
        if (folder.isEmpty())
            continue;
        if (m_pluginOptions->installPlugin(label, folder, mode)) {
            auto* status = new QTableWidgetItem(tr("installed"));
            status->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
            table->setItem(row, 2, status);
            installed << label;
        }
    }

    if (mode == 1) {
        QString text = QObject::tr("No plugins has been installed/updated!");
        if (!installed.isEmpty()) {
            text = QObject::tr("Plugins installed/updated list: \n%1").arg(installed.join(QLatin1Char('\n')));
            m_pluginOptions->writePluginIni();
        }
        emit sigUpdatePluginStatus(tr("Install finish!"));
        kiv_messagebox_dialog box(nullptr);
        box.setButtonVisible(QStringLiteral("cancel"), false);
        box.setText(text);
        if (box.exec() == 1)
            emit sigUpdatePluginStatus(QString());
    } else {
        // The first run is silent and switches later runs to the interactive one.
        m_generalOptions.set("autoinstallplugin", 1);
        if (m_defaultSettings) {
            m_defaultSettings->setValue(QStringLiteral("kiv.general/autoinstallplugin"), 1);
            m_defaultSettings->sync();
        }
        emit sigConfChanged();
        m_general.pluginInstallMode = 1;
        QTimer::singleShot(10000, this, [this] { emit sigUpdatePluginStatus(QString()); });
    }
    m_installing = false;
}

void kiv_configuration_widget::OnPluginInstallmanually()
{
    emit sigInstallPlugin(m_general.pluginInstallMode);
}

void kiv_configuration_widget::OnShowPluginTutorial()
{
    close();
    delete m_tutorial;
    m_tutorial = new kiv_plugintutorial(this);
    m_tutorial->exec();
}
