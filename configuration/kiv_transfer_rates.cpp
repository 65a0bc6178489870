#include "kiv_transfer_rates.h"

#include "ui_kiv_configuration_widget.h"

#include <QSettings>

namespace kiv_transfer_rates {

RatePage ZftxPage(Ui::wgtConfiguration* ui)
{
    return {ui->radUploadDefaultU, ui->radUploadHighU, ui->radDownloadDefaultU, ui->radDownloadHighU,
            ui->lblTipsU, ui->lblUploadTipsU, ui->lblDownloadTipsU, ui->spbUploadSpeedU, ui->spbDownloadSpeedU};
}

RatePage AsperaPage(Ui::wgtConfiguration* ui)
{
    return {ui->radUploadDefaultA, ui->radUploadHighA, ui->radDownloadDefaultA, ui->radDownloadHighA,
            ui->lblTipsA, ui->lblUploadTipsA, ui->lblDownloadTipsA, ui->spbUploadSpeedA, ui->spbDownloadSpeedA};
}

double KbpsToMbps(double kilobytesPerSecond)
{
    return kilobytesPerSecond * 8 / 1024;
}

namespace {

QString MaximumText(double kilobytesPerSecond)
{
    return QObject::tr("Maximum target speed:")
           + QStringLiteral("%1 Mbps").arg(KbpsToMbps(kilobytesPerSecond), 0, 'f', 2);
}

} // namespace

void ShowMaximum(const RatePage& page, double uploadMaximum, double downloadMaximum)
{
    page.uploadMaximum->setText(MaximumText(uploadMaximum));
    page.downloadMaximum->setText(MaximumText(downloadMaximum));
}

void ShowRatePage(const RatePage& page, const RateOptions& options, double uploadMaximum,
                  double downloadMaximum)
{
    if (options.uploadMode == 0) {
        page.uploadFair->setChecked(true);
        page.warning->setVisible(options.downloadMode == 1);
    } else if (options.uploadMode == 1) {
        page.uploadFixed->setChecked(true);
        page.warning->show();
    }
    page.uploadMaximum->setText(MaximumText(uploadMaximum));
    page.uploadRate->setValue(options.uploadTargetRate);

    if (options.downloadMode == 0) {
        page.downloadFair->setChecked(true);
        page.warning->setVisible(options.uploadMode == 1);
    } else if (options.downloadMode == 1) {
        page.downloadFixed->setChecked(true);
        page.warning->show();
    }
    page.downloadMaximum->setText(MaximumText(downloadMaximum));
    page.downloadRate->setValue(options.downloadTargetRate);
}

void WriteRatePage(QSettings* file, const QString& prefix, const RatePage& page, const RateOptions& options,
                   const QString& line)
{
    options.transferLink = line;
    options.uploadMode = page.uploadFair->isChecked() ? 0 : 1;
    options.uploadTargetRate = page.uploadRate->value();
    options.downloadMode = page.downloadFair->isChecked() ? 0 : 1;
    options.downloadTargetRate = page.downloadRate->value();
    if (!file)
        return;
    file->setValue(prefix + QStringLiteral(".transferlink"), options.transferLink);
    file->setValue(prefix + QStringLiteral(".uploadmode"), options.uploadMode);
    file->setValue(prefix + QStringLiteral(".uploadtargetrate"), options.uploadTargetRate);
    file->setValue(prefix + QStringLiteral(".downloadmode"), options.downloadMode);
    file->setValue(prefix + QStringLiteral(".downloadtargetrate"), options.downloadTargetRate);
}

void ReadRateOptions(QSettings* file, const QString& prefix, const RateOptions& options)
{
    options.uploadMode = file->value(prefix + QStringLiteral(".uploadmode")).toInt();
    options.uploadTargetRate = file->value(prefix + QStringLiteral(".uploadtargetrate")).toDouble();
    options.downloadMode = file->value(prefix + QStringLiteral(".downloadmode")).toInt();
    options.downloadTargetRate = file->value(prefix + QStringLiteral(".downloadtargetrate")).toDouble();
    options.transferLink = file->value(prefix + QStringLiteral(".transferlink")).toString();
}

QStringList RateKeys(const QString& prefix)
{
    return {prefix + QStringLiteral(".uploadmode"), prefix + QStringLiteral(".downloadmode"),
            prefix + QStringLiteral(".uploadtargetrate"), prefix + QStringLiteral(".downloadtargetrate")};
}

} // namespace kiv_transfer_rates
