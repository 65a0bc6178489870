// The transfer page: method, line, modes and target rates, the speed test.

#include "kiv_configuration_widget.h"

#include "ui_kiv_configuration_widget.h"

void kiv_configuration_widget::RetranslateTransferPage()
{
    ui->lblTransferType->setText(QObject::tr("Transfer Mode:"));
    ui->TransferLine->setText(QObject::tr("TransferLine"));
    ui->BtnSpeedTest->setText(QObject::tr(" SpeedTest "));
    for (QRadioButton* fair : {ui->radUploadDefaultU, ui->radDownloadDefaultU, ui->radUploadDefaultA,
                               ui->radDownloadDefaultA})
        fair->setText(QObject::tr("Fair"));
    for (QRadioButton* fixed :
         {ui->radUploadHighU, ui->radDownloadHighU, ui->radUploadHighA, ui->radDownloadHighA})
        fixed->setText(QObject::tr("Fixed"));
    ui->gbxZFTXUpload->setTitle(QStringLiteral("ZFTX ") + QObject::tr("Upload Settings"));
    ui->gbxZFTXDownload->setTitle(QStringLiteral("ZFTX ") + QObject::tr("Download Settings"));
    ui->gbxAsperaUpload->setTitle(QStringLiteral("ASPERA ") + QObject::tr("Upload Settings"));
    ui->gbxAsperaDownload->setTitle(QStringLiteral("ASPERA ") + QObject::tr("Download Settings"));
    for (QLabel* label : {ui->lblUploadMaxSpeedU, ui->lblDonwloadMaxSpeedU, ui->lblUploadMaxSpeedA,
                          ui->lblDonwloadMaxSpeedA})
        label->setText(QObject::tr("Target Speed"));
    ui->lblTransmissonTips->setText(QObject::tr(
        "*Transfer methods available: FTP , ZFTX, ASPERA. ZFTX (Corvanta Data Transfer) was a new "
        "transfer solution designed and created by Corvanta Tech. Based on a large amount of test "
        "results, it has been proven that ZFTX could increase 5-10 times of speed in some of Internet "
        "environments.Aspera only for high-level creative members and members of the rendering "
        "package open"));
    const QString constantSpeedTip = QObject::tr(
        "If you need to modify the parameter to Constant Speed Mode, please contact our technical "
        "support. Modify without permission may slow down the speed.");
    ui->lblTipsU->setText(constantSpeedTip);
    ui->lblTipsA->setText(constantSpeedTip);
}

void kiv_configuration_widget::HandleTransferModeChanged(int index)
{
    Q_UNUSED(index)
}

void kiv_configuration_widget::HandleRadioButtonChanged()
{
}

void kiv_configuration_widget::SpeedTest()
{
}

void kiv_configuration_widget::SetTransferLink(QVariantMap lines)
{
    Q_UNUSED(lines)
}

void kiv_configuration_widget::SetTransmissionSecret(QJsonDocument document)
{
    Q_UNUSED(document)
}

void kiv_configuration_widget::ReadTransferSettings()
{
}

void kiv_configuration_widget::ReadFtpSettings()
{
}

void kiv_configuration_widget::ReadZFTXSettings()
{
}

void kiv_configuration_widget::ReadAsperaSettings()
{
}

QString kiv_configuration_widget::TransferSectionFor(const QStringList& keys) const
{
    Q_UNUSED(keys)
    return {};
}

bool kiv_configuration_widget::SetTransferParam()
{
    return false;
}

void kiv_configuration_widget::SetTransferSettings()
{
}

void kiv_configuration_widget::ApplyTransferSettings()
{
}

QString kiv_configuration_widget::ResolveTransferLine(const QString& type, const QString& lineName) const
{
    Q_UNUSED(type)
    Q_UNUSED(lineName)
    return {};
}

void kiv_configuration_widget::ShowTransferSettings()
{
}

void kiv_configuration_widget::ShowTransferLine()
{
}

void kiv_configuration_widget::ShowUDTSettings()
{
}

void kiv_configuration_widget::ShowAsperaSettings()
{
}
