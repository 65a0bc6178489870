// The version page: detected render software and the 3ds Max plugin.

#include "kiv_configuration_widget.h"

#include "ui_kiv_configuration_widget.h"

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

QMap<QString, QPair<QString, QString>>
kiv_configuration_widget::GetRenderList(kiv_general_types::RENDERTYPE type) const
{
    Q_UNUSED(type)
    return {};
}

QStringList kiv_configuration_widget::GetVersionList() const
{
    return {};
}

void kiv_configuration_widget::InsertRenderPath()
{
}

void kiv_configuration_widget::OnPluginInstall(int mode)
{
    Q_UNUSED(mode)
}

void kiv_configuration_widget::OnPluginInstallmanually()
{
}

void kiv_configuration_widget::OnShowPluginTutorial()
{
}
