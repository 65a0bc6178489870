// The version page: detected render software and the 3ds Max plugin.

#include "kiv_version_page.h"
#include "kiv_logging.h"

#include "kiv_configuration_widget.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_monitoritem_widget.h"
#include "kiv_platform.h"
#include "kiv_pluginoptions.h"
#include "kiv_settings_store.h"
#include "ui_kiv_configuration_widget.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>

namespace {

const QString kMaya = QStringLiteral("maya");
const QString kMax = QStringLiteral("3dsmax");
const QString kHoudini = QStringLiteral("houdini");

// Texts that once lived in the panel class keep its translation context.
QString PanelText(const char* text)
{
    return QCoreApplication::translate("kiv_configuration_widget", text);
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

QVariant RenderEntry(const QString& executable, const QString& guid)
{
    QHash<QString, QVariant> entry;
    entry.insert(QStringLiteral("path"), executable);
    entry.insert(QStringLiteral("guid"), guid);
    return entry;
}

QTableWidgetItem* StatusItem(const QString& text)
{
    auto* status = new QTableWidgetItem(text);
    status->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return status;
}

} // namespace

kiv_version_page::kiv_version_page(kiv_panel_context& context, kiv_pluginoptions* plugins)
    : kiv_panel_page(context)
    , m_pluginOptions(plugins)
{
}

void kiv_version_page::Retranslate()
{
    ui()->lblTips->setText(
        QObject::tr("click the blank area if system failed to locate the path automatically"));
    QTableWidget* table = ui()->twtSoftwareVersion;
    table->setHorizontalHeaderLabels({QObject::tr("Software Version"), QObject::tr("Installation Path"),
                                      QObject::tr("Plugin Status")});
    for (int row = 0; row < table->rowCount(); ++row) {
        if (QTableWidgetItem* status = table->item(row, 2))
            status->setText(QObject::tr("installed"));
    }
}

QMap<QString, QString>* kiv_version_page::VersionsOf(const QString& program)
{
    if (program == kMaya)
        return &m_mayaVersions;
    if (program == kMax)
        return &m_maxVersions;
    if (program == kHoudini)
        return &m_houdiniVersions;
    return nullptr;
}

QHash<QString, QVariant>* kiv_version_page::RendersOf(const QString& program)
{
    return const_cast<QHash<QString, QVariant>*>(static_cast<const kiv_version_page*>(this)->RendersOf(program));
}

const QHash<QString, QVariant>* kiv_version_page::RendersOf(const QString& program) const
{
    if (program == kMaya)
        return &m_mayaRenders;
    if (program == kMax)
        return &m_maxRenders;
    if (program == kHoudini)
        return &m_houdiniRenders;
    return nullptr;
}

bool kiv_version_page::IsWindow64Byte()
{
    return kiv_platform::isNative64Bit();
}

QString kiv_version_page::GetVersionPath(QSettings& settings, QString group, QString key)
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

void kiv_version_page::ScanRender(QString guid, QString analyzer, QString extension)
{
    kiv_settings_store& store = m_context.Store();
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
        folder = store.RenderPath(guid);
        if (folder.isEmpty())
            return;
    }
    const bool present = QFile::exists(ExecutablePath(folder, analyzer, extension));
    store.StoreRenderPath(guid, present ? folder : QString());
}

void kiv_version_page::GetRender()
{
    QSettings& defaults = *m_context.Store().Defaults();
    for (const QString& program : {kMaya, kMax}) {
        const QString analyzer = defaults.value(program + QStringLiteral("/analyzer")).toString();
        const QString extension = defaults.value(program + QStringLiteral("/extension")).toString();
        const QStringList items = defaults.value(QStringLiteral("kiv.rendering/") + program).toStringList();
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

void kiv_version_page::ReadSoftVersion()
{
    kiv_settings_store& store = m_context.Store();
    QSettings& defaults = *store.Defaults();
    store.BeginRenderPathLoad();
    GetRender();

    const QString versions = store.HostValue(QStringLiteral("kiv.rendering/version"));
    m_softwareList = versions.isEmpty() ? QStringList() : versions.split(QLatin1Char('&'));

    for (const QString& program : qAsConst(m_softwareList)) {
        const QString key = QStringLiteral("kiv.rendering/") + program;
        QMap<QString, QString>* versionsMap = VersionsOf(program);
        QHash<QString, QVariant>* renders = RendersOf(program);
        if (!versionsMap || !defaults.contains(key))
            continue;
        const QString analyzer = store.HostValue(program + QStringLiteral("/analyzer"));
        const QString extension = store.HostValue(program + QStringLiteral("/extension"));
        const QStringList items = defaults.value(key).toStringList();
        for (const QString& item : items) {
            const QStringList fields = item.split(QLatin1Char('&'));
            if (fields.size() < 2)
                continue;
            const QString& guid = fields.at(0);
            const QString& label = fields.at(1);
            versionsMap->insert(label, guid);
            const QString folder = store.RenderPath(guid);
            if (!folder.isEmpty()) {
                renders->insert(label, RenderEntry(ExecutablePath(folder, analyzer, extension), guid));
            } else if (renders->value(label).toHash().value(QStringLiteral("guid")).toString() == guid) {
                // Found missing now: never offer an executable the scan no longer finds.
                renders->remove(label);
            }
        }
    }
}

QMap<QString, QPair<QString, QString>> kiv_version_page::GetRenderList(kiv_general_types::RENDERTYPE type) const
{
    QString program;
    switch (type) {
    case kiv_general_types::RENDERTYPE_3DSMAX:
        program = kMax;
        break;
    case kiv_general_types::RENDERTYPE_MAYA:
        program = kMaya;
        break;
    case kiv_general_types::RENDERTYPE_HOUDINI:
        program = kHoudini;
        break;
    }
    const QHash<QString, QVariant>* renders = RendersOf(program);
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

QStringList kiv_version_page::GetVersionList() const
{
    return m_softwareList;
}

void kiv_version_page::ShowSoftwareVersion()
{
    kiv_settings_store& store = m_context.Store();
    QTableWidget* table = ui()->twtSoftwareVersion;
    table->clearContents();
    table->setRowCount(0);
    table->verticalHeader()->hide();

    QHash<QString, int> suffixLengths;
    for (const QString& program : {kMaya, kMax, kHoudini}) {
        const QSettings* defaults = store.Defaults();
        const QString suffix = defaults ? defaults->value(program + QStringLiteral("/analyzer")).toString()
                                              + QLatin1Char('.')
                                              + defaults->value(program + QStringLiteral("/extension")).toString()
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
            QObject::connect(cell, &kiv_monitoritem_widget::sigAddPath, m_context.Panel(),
                             &kiv_configuration_widget::InsertRenderPath);
            table->setIndexWidget(table->model()->index(row, 1), cell);

            pathItem->setData(Qt::UserRole, program);
            pathItem->setData(Qt::UserRole + 1, folder);
            pathItem->setData(Qt::UserRole + 2, label);

            const int width = table->columnWidth(1);
            cell->ResizeWidget(1, width, width);
            QObject::connect(table->horizontalHeader(), &QHeaderView::sectionResized, cell,
                             &kiv_monitoritem_widget::ResizeWidget);

            if (!folder.isEmpty()) {
                m_pluginOptions->copy7Zip(folder);
                pathItem->setToolTip(folder);
                if (m_pluginOptions->isPluginInstalled(label, folder)) {
                    installedHere = 1;
                    table->setItem(row, 2, StatusItem(QObject::tr("installed")));
                }
            }
        }
        // What stays is the flag of the last program listed.
        const QString flag = QString::number(installedHere);
        if (store.HostValue(QStringLiteral("kiv.general/plugininstalled")) != flag)
            store.SetHostValue(QStringLiteral("kiv.general/plugininstalled"), flag);
    }
}

void kiv_version_page::InsertRenderPath(QObject* sender)
{
    auto* cell = qobject_cast<kiv_monitoritem_widget*>(sender);
    if (!cell || !cell->TableItem())
        return;
    QTableWidget* table = ui()->twtSoftwareVersion;
    const int row = cell->TableItem()->row();
    const int column = 1;
    qCDebug(kivPanel).noquote() << QStringLiteral("clicked row:%1, col:%2").arg(row).arg(column);

    const QString start = cell->Text().isEmpty() ? QCoreApplication::applicationDirPath() : cell->Text();
    const QString folder = QDir::toNativeSeparators(QFileDialog::getExistingDirectory(
        m_context.Panel(), PanelText("Choose software installation path"), start, QFileDialog::ShowDirsOnly));

    const QString label = table->item(row, 0)->text();
    const QString program = table->item(row, 1)->data(Qt::UserRole).toString();
    const QSettings& defaults = *m_context.Store().Defaults();
    const QString analyzer = defaults.value(program + QStringLiteral("/analyzer")).toString();
    const QString extension = defaults.value(program + QStringLiteral("/extension")).toString();
    const QString executable = ExecutablePath(folder, analyzer, extension);
    // A cancelled chooser or a folder without the program changes nothing.
    if (folder.isEmpty() || !QFileInfo::exists(executable))
        return;

    if (auto* shown = qobject_cast<kiv_monitoritem_widget*>(table->indexWidget(table->model()->index(row, 1))))
        shown->SetFullText(folder);
    const QString guid = table->item(row, 0)->data(Qt::UserRole).toString();
    m_context.Store().SetRenderPath(guid, folder);
    if (QHash<QString, QVariant>* renders = RendersOf(program))
        renders->insert(label, RenderEntry(executable, guid));
    m_context.EnableApply();
}

void kiv_version_page::InstallPlugins(int mode)
{
    QTableWidget* table = ui()->twtSoftwareVersion;
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
            table->setItem(row, 2, StatusItem(PanelText("installed")));
            installed << label;
        }
    }
    if (mode != 1)
        return;

    QString text = QObject::tr("No plugins has been installed/updated!");
    if (!installed.isEmpty()) {
        text = QObject::tr("Plugins installed/updated list: \n%1").arg(installed.join(QLatin1Char('\n')));
        m_pluginOptions->writePluginIni();
    }
    kiv_configuration_widget* panel = m_context.Panel();
    emit panel->sigUpdatePluginStatus(PanelText("Install finish!"));
    kiv_messagebox_dialog box(nullptr);
    box.setButtonVisible(QStringLiteral("cancel"), false);
    box.setText(text);
    if (box.exec() == 1)
        emit panel->sigUpdatePluginStatus(QString());
}
