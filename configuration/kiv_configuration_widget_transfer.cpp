// The transfer page: method, line, modes and target rates, the speed test.

#include "kiv_configuration_widget.h"

#include "kiv_app_paths.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_panel_log.h"
#include "ui_kiv_configuration_widget.h"

#include <QDebug>
#include <QDesktopServices>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QUrl>

#include <cmath>

namespace {

const QString kFtp = QStringLiteral("ftp");
const QString kZftx = QStringLiteral("zftx");
const QString kAspera = QStringLiteral("aspera");
const QString kFallbackSection = QStringLiteral("kiv.transfer");
const QString kOfferFtp = QStringLiteral("TRANSMISSION_TYPE_FTP");
const QString kOfferZftx = QStringLiteral("TRANSMISSION_TYPE_ZFTX");
const QString kOfferAspera = QStringLiteral("TRANSMISSION_TYPE_ASPERA");

// Appended to the user name to salt the scrambled Aspera secret; the service
// scrambles with the same suffix.
const QString kSecretSaltSuffix = QStringLiteral("tmq");

// The options of one rate-controlled method (ZFTX or Aspera).
struct RateOptions {
    int& uploadMode;
    double& uploadTargetRate;
    int& downloadMode;
    double& downloadTargetRate;
    QString& transferLink;
};

// The page of one rate-controlled method.
struct RatePage {
    QRadioButton* uploadFair;
    QRadioButton* uploadFixed;
    QRadioButton* downloadFair;
    QRadioButton* downloadFixed;
    QLabel* warning;
    QLabel* uploadMaximum;
    QLabel* downloadMaximum;
    QDoubleSpinBox* uploadRate;
    QDoubleSpinBox* downloadRate;
};

RatePage ZftxPage(Ui::wgtConfiguration* ui)
{
    return {ui->radUploadDefaultU, ui->radUploadHighU, ui->radDownloadDefaultU, ui->radDownloadHighU,
            ui->lblTipsU, ui->lblUploadTipsU, ui->lblDownloadTipsU, ui->spbUploadSpeedU,
            ui->spbDownloadSpeedU};
}

RatePage AsperaPage(Ui::wgtConfiguration* ui)
{
    return {ui->radUploadDefaultA, ui->radUploadHighA, ui->radDownloadDefaultA, ui->radDownloadHighA,
            ui->lblTipsA, ui->lblUploadTipsA, ui->lblDownloadTipsA, ui->spbUploadSpeedA,
            ui->spbDownloadSpeedA};
}

// Offered maxima come in KB/s; the page works in Mbps.
double KbpsToMbps(double kilobytesPerSecond)
{
    return kilobytesPerSecond * 8 / 1024;
}

QString MaximumText(double kilobytesPerSecond)
{
    return QObject::tr("Maximum target speed:")
           + QStringLiteral("%1 Mbps").arg(KbpsToMbps(kilobytesPerSecond), 0, 'f', 2);
}

// Modes other than 0 and 1 leave the buttons as they are.
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

// One ZFTX direction: rates in bytes per second; a rate that is not positive
// keeps the record's interval rather than dividing by it.
void FillZftxDirection(ZftxDirectionConfig& direction, int mode, double megabits, int mss)
{
    if (mode == 0)
        direction.mode = QStringLiteral("fair");
    else if (mode == 1)
        direction.mode = QStringLiteral("fixed");
    direction.rate = megabits * 1024 * 1024 / 8;
    if (megabits > 0)
        direction.packetInterval = mss * 1080000.0 / (megabits / 8 * 1024 * 1024);
}

qint32 AsperaPolicy(int mode, qint32 fresh)
{
    if (mode == 0)
        return 2;
    if (mode == 1)
        return 1;
    return fresh;
}

// The credential document with its secret masked, for the debug output.
QByteArray MaskedDocument(const QJsonDocument& document)
{
    QJsonObject root = document.object();
    QJsonValueRef dataRef = root[QStringLiteral("data")];
    if (dataRef.isObject()) {
        QJsonObject data = dataRef.toObject();
        if (data.contains(QStringLiteral("aspera_secret")))
            data[QStringLiteral("aspera_secret")] = QStringLiteral("***");
        dataRef = data;
    }
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace

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

void kiv_configuration_widget::ReadTransferSettings()
{
    if (!m_userSettings)
        return;
    const QString section = TransferSectionFor({QStringLiteral("transfertype")});

    // Host-wide values, read as they are: an absent key gives 0, false or empty.
    m_transfer.mss = m_defaultSettings->value(QStringLiteral("kiv.transfer/mss")).toInt();
    m_transfer.asperaUrl = m_defaultSettings->value(QStringLiteral("kiv.transfer/asperaurl")).toString();
    m_transfer.maxReconnect = m_defaultSettings->value(QStringLiteral("kiv.transfer/maxreconnect")).toInt();
    m_transfer.uploadMaxConcurrence =
        m_defaultSettings->value(QStringLiteral("kiv.transfer/uploadmaxconcurrence")).toInt();
    m_transfer.downloadMaxConcurrence =
        m_defaultSettings->value(QStringLiteral("kiv.transfer/downloadmaxoncurrence")).toInt();
    m_transfer.uploadConcurrent =
        m_defaultSettings->value(QStringLiteral("kiv.transfer/uploadconcurrent")).toBool();
    m_transfer.downloadConcurrent =
        m_defaultSettings->value(QStringLiteral("kiv.transfer/downloadconcurrent")).toBool();

    m_userSettings->beginGroup(section);
    m_transfer.verifyMethod = m_userSettings->value(QStringLiteral("verifymethod")).toInt();
    m_transfer.transferType = m_userSettings->value(QStringLiteral("transfertype")).toString();
    m_userSettings->endGroup();

    ReadFtpSettings();
    ReadZFTXSettings();
    ReadAsperaSettings();
}

// The user's own section when it holds every key of the set, else the
// template's fallback section; each method falls back on its own.
QString kiv_configuration_widget::TransferSectionFor(const QStringList& keys) const
{
    const QString own = QStringLiteral("kiv.transfer.%1").arg(m_userId);
    if (!m_userSettings->childGroups().contains(own))
        return kFallbackSection;
    m_userSettings->beginGroup(own);
    bool complete = true;
    for (const QString& key : keys)
        complete = complete && m_userSettings->contains(key);
    m_userSettings->endGroup();
    return complete ? own : kFallbackSection;
}

void kiv_configuration_widget::ReadFtpSettings()
{
    m_userSettings->beginGroup(TransferSectionFor(
        {QStringLiteral("ftp.maxdownload"), QStringLiteral("ftp.maxupload"), QStringLiteral("ftp.buffersize")}));
    m_transfer.ftpMaxDownload = m_userSettings->value(QStringLiteral("ftp.maxdownload")).toInt();
    m_transfer.ftpMaxUpload = m_userSettings->value(QStringLiteral("ftp.maxupload")).toInt();
    m_transfer.ftpBufferSize = m_userSettings->value(QStringLiteral("ftp.buffersize")).toInt();
    m_transfer.ftpTransferLink = m_userSettings->value(QStringLiteral("ftp.transferlink")).toString();
    m_userSettings->endGroup();
}

void kiv_configuration_widget::ReadZFTXSettings()
{
    m_userSettings->beginGroup(TransferSectionFor(RateKeys(kZftx)));
    ReadRateOptions(m_userSettings.get(), kZftx,
                    {m_transfer.zftxUploadMode, m_transfer.zftxUploadTargetRate, m_transfer.zftxDownloadMode,
                     m_transfer.zftxDownloadTargetRate, m_transfer.zftxTransferLink});
    m_userSettings->endGroup();
}

void kiv_configuration_widget::ReadAsperaSettings()
{
    m_userSettings->beginGroup(TransferSectionFor(RateKeys(kAspera)));
    ReadRateOptions(m_userSettings.get(), kAspera,
                    {m_transfer.asperaUploadMode, m_transfer.asperaUploadTargetRate,
                     m_transfer.asperaDownloadMode, m_transfer.asperaDownloadTargetRate,
                     m_transfer.asperaTransferLink});
    m_userSettings->endGroup();
}

bool kiv_configuration_widget::SetTransferParam()
{
    ui->cmbTransferType->clear();
    if (transferOffer.isEmpty()) {
        ui->swtTransmisson->hide();
        return false;
    }
    ui->swtTransmisson->show();

    for (auto it = transferOffer.constBegin(); it != transferOffer.constEnd(); ++it) {
        const QVariantMap entry = it.value().toMap();
        const double maxUpload = entry.value(QStringLiteral("max_upload_speed")).toDouble();
        const double maxDownload = entry.value(QStringLiteral("max_download_speed")).toDouble();
        if (it.key() == kOfferZftx) {
            zftxMaxUploadSpeed = maxUpload;
            zftxMaxDownloadSpeed = maxDownload;
            ui->spbDownloadSpeedU->setRange(0, KbpsToMbps(zftxMaxDownloadSpeed));
            ui->spbUploadSpeedU->setRange(0, KbpsToMbps(zftxMaxUploadSpeed));
        } else if (it.key() == kOfferAspera) {
            asperaMaxUploadSpeed = maxUpload;
            asperaMaxDownloadSpeed = maxDownload;
            ui->spbDownloadSpeedA->setRange(0, KbpsToMbps(asperaMaxDownloadSpeed));
            ui->spbUploadSpeedA->setRange(0, KbpsToMbps(asperaMaxUploadSpeed));
        }
    }
    KeepOfferedTransferType();
    if (formReady)
        ShowTransferSettings();
    return true;
}

void kiv_configuration_widget::KeepOfferedTransferType()
{
    // Rebuilt from each offer, so that the method chosen is always one the
    // current sub-center has.
    offeredTypes.clear();
    if (transferOffer.contains(kOfferFtp))
        offeredTypes.insert(0, kFtp);
    if (transferOffer.contains(kOfferZftx))
        offeredTypes.insert(1, kZftx);
    if (transferOffer.contains(kOfferAspera))
        offeredTypes.insert(2, kAspera);

    // An offer of unknown methods only leaves nothing to choose from.
    if (offeredTypes.isEmpty() || offeredTypes.values().contains(m_transfer.transferType))
        return;
    m_transfer.transferType = offeredTypes.first();
    WriteTransferTypeNow();
}

void kiv_configuration_widget::WriteTransferTypeNow()
{
    if (!m_userSettings)
        return;
    PrepareUserSettingsForWrite();
    // The user's section is read whole once it holds "transfertype": without
    // its own "verifymethod" the method read back would silently turn to 0.
    const QString section = QStringLiteral("kiv.transfer.%1/").arg(m_userId);
    if (!m_userSettings->contains(section + QStringLiteral("verifymethod")))
        m_userSettings->setValue(section + QStringLiteral("verifymethod"), m_transfer.verifyMethod);
    WriteUserSettingNow(section + QStringLiteral("transfertype"), m_transfer.transferType);
}

QString kiv_configuration_widget::ResolveTransferLine(const QString& type, const QString& lineName) const
{
    if (transferLines.isEmpty())
        return {};
    const QVariantMap lines = transferLines.value(type);
    if (lines.isEmpty())
        return {};
    const QString address = lines.value(lineName).toString();
    return address.isEmpty() ? lines.first().toString() : address;
}

void kiv_configuration_widget::SetTransferSettings()
{
    KIV_LOG(KIV_LOG_INFO, QStringLiteral("emit transfer setting"));
    ZftxTransConfig config;
    config.clientCode = QStringLiteral("RQ");
    config.userId = m_userId;
    config.maxReconnect = m_transfer.maxReconnect;
    config.zoneId = m_loginInfo.zoneId;
    config.verifyMethod = m_transfer.verifyMethod;

    if (transferOffer.isEmpty()) {
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("transfer type is empty"));
        return;
    }
    const QString& type = m_transfer.transferType;
    KIV_LOG(KIV_LOG_INFO, QStringLiteral("transfer Type:%1").arg(type));

    if (type == kFtp) {
        config.uploadMethod = config.downloadMethod = 2;
        config.ftp.server = m_loginInfo.ftpServer;
        config.ftp.user = m_userName;
        config.ftp.password = m_loginInfo.ftpPassword;
        const QString line = ResolveTransferLine(kFtp, m_transfer.ftpTransferLink);
        if (!line.isEmpty())
            config.ftp.server = line;
    } else if (type == kZftx) {
        config.uploadMethod = config.downloadMethod = 0;
        FillZftxDirection(config.zftx.upload, m_transfer.zftxUploadMode, m_transfer.zftxUploadTargetRate,
                          m_transfer.mss);
        FillZftxDirection(config.zftx.download, m_transfer.zftxDownloadMode,
                          m_transfer.zftxDownloadTargetRate, m_transfer.mss);
        config.zftx.server = m_loginInfo.zftxServer;
        config.zftx.password = m_loginInfo.zftxPassword;
        config.zftx.user = m_userName;
        config.zftx.mss = m_transfer.mss;
        const QString line = ResolveTransferLine(kZftx, m_transfer.zftxTransferLink);
        if (!line.isEmpty())
            config.zftx.server = line;
    } else if (type == kAspera) {
        config.uploadMethod = config.downloadMethod = 1;
        config.aspera.uploadPolicy = AsperaPolicy(m_transfer.asperaUploadMode, config.aspera.uploadPolicy);
        config.aspera.downloadPolicy =
            AsperaPolicy(m_transfer.asperaDownloadMode, config.aspera.downloadPolicy);
        config.aspera.uploadRate = static_cast<qint64>(std::trunc(m_transfer.asperaUploadTargetRate * 1024 / 8));
        config.aspera.downloadRate =
            static_cast<qint64>(std::trunc(m_transfer.asperaDownloadTargetRate * 1024 / 8));
        config.aspera.user = asperaUser;
        config.aspera.secret = asperaSecret;
        config.aspera.port = m_loginInfo.asperaPort;
        config.aspera.host = m_loginInfo.asperaHost;
        const QString line = ResolveTransferLine(kAspera, m_transfer.asperaTransferLink);
        if (!line.isEmpty())
            config.aspera.host = line;
    }

    emit SigZftxParams(config);
    emit SigMaxConcurrence(ZFTXCMD_DOWNLOAD_CONCURRENCE, m_transfer.downloadMaxConcurrence);
    emit SigMaxConcurrence(ZFTXCMD_UPLOAD_CONCURRENCE, m_transfer.uploadMaxConcurrence);
}

void kiv_configuration_widget::ApplyTransferSettings()
{
    QSettings* file = m_userSettings.get();
    if (file) {
        file->beginGroup(QStringLiteral("kiv.transfer.%1").arg(m_userId));
        file->setValue(QStringLiteral("verifymethod"), m_transfer.verifyMethod);
    }
    m_transfer.transferType = ui->cmbTransferType->currentData().toString();
    if (file)
        file->setValue(QStringLiteral("transfertype"), m_transfer.transferType);

    // Without listed lines the stored line name is kept, not blanked.
    auto chosenLine = [this](const QString& stored) {
        return ui->comTransferLine->currentIndex() < 0 ? stored
                                                       : ui->comTransferLine->currentData().toString();
    };
    const QString& type = m_transfer.transferType;
    if (type == kFtp) {
        m_transfer.ftpTransferLink = chosenLine(m_transfer.ftpTransferLink);
        if (file) {
            file->setValue(QStringLiteral("ftp.maxupload"), m_transfer.ftpMaxUpload);
            file->setValue(QStringLiteral("ftp.maxdownload"), m_transfer.ftpMaxDownload);
            file->setValue(QStringLiteral("ftp.buffersize"), m_transfer.ftpBufferSize);
            file->setValue(QStringLiteral("ftp.transferlink"), m_transfer.ftpTransferLink);
        }
    } else if (type == kZftx) {
        WriteRatePage(file, kZftx, ZftxPage(ui.get()),
                      {m_transfer.zftxUploadMode, m_transfer.zftxUploadTargetRate, m_transfer.zftxDownloadMode,
                       m_transfer.zftxDownloadTargetRate, m_transfer.zftxTransferLink},
                      chosenLine(m_transfer.zftxTransferLink));
    } else if (type == kAspera) {
        WriteRatePage(file, kAspera, AsperaPage(ui.get()),
                      {m_transfer.asperaUploadMode, m_transfer.asperaUploadTargetRate,
                       m_transfer.asperaDownloadMode, m_transfer.asperaDownloadTargetRate,
                       m_transfer.asperaTransferLink},
                      chosenLine(m_transfer.asperaTransferLink));
    }
    if (file)
        file->endGroup();
    SetTransferSettings();
}

void kiv_configuration_widget::ShowTransferSettings()
{
    if (transferOffer.isEmpty())
        return;
    QComboBox* methods = ui->cmbTransferType;
    methods->clear();
    typeListFilled = false;
    methods->addItem(QStringLiteral("FTP"), kFtp);
    methods->addItem(QStringLiteral("ZFTX"), kZftx);
    if (!asperaUser.isEmpty() && !asperaSecret.isEmpty())
        methods->addItem(QStringLiteral("ASPERA"), kAspera);

    const int stored = methods->findData(m_transfer.transferType);
    if (stored < 0) {
        methods->setCurrentIndex(0);
        m_transfer.transferType = methods->itemData(0).toString();
        WriteTransferTypeNow();
    } else {
        methods->setCurrentIndex(stored);
    }
    typeListFilled = true;
    ShowTransferLine();
    ShowUDTSettings();
    ShowAsperaSettings();
}

void kiv_configuration_widget::ShowTransferLine()
{
    if (transferLines.isEmpty())
        return;
    const QString type = ui->cmbTransferType->currentData().toString();
    const QVariantMap lines = transferLines.value(type);
    QComboBox* box = ui->comTransferLine;
    box->clear();
    for (auto it = lines.constBegin(); it != lines.constEnd(); ++it)
        box->addItem(it.key(), it.key());

    QString wanted;
    if (type == kFtp)
        wanted = m_transfer.ftpTransferLink;
    else if (type == kZftx)
        wanted = m_transfer.zftxTransferLink;
    else if (type == kAspera)
        wanted = m_transfer.asperaTransferLink;
    const int index = box->findData(wanted);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

void kiv_configuration_widget::ShowUDTSettings()
{
    ShowRatePage(ZftxPage(ui.get()),
                 {m_transfer.zftxUploadMode, m_transfer.zftxUploadTargetRate, m_transfer.zftxDownloadMode,
                  m_transfer.zftxDownloadTargetRate, m_transfer.zftxTransferLink},
                 zftxMaxUploadSpeed, zftxMaxDownloadSpeed);
}

void kiv_configuration_widget::ShowAsperaSettings()
{
    ShowRatePage(AsperaPage(ui.get()),
                 {m_transfer.asperaUploadMode, m_transfer.asperaUploadTargetRate, m_transfer.asperaDownloadMode,
                  m_transfer.asperaDownloadTargetRate, m_transfer.asperaTransferLink},
                 asperaMaxUploadSpeed, asperaMaxDownloadSpeed);
}

void kiv_configuration_widget::HandleTransferModeChanged(int index)
{
    // Clearing the list selects nothing: there is no page to show for that.
    if (index < 0)
        return;
    if (index == 0) {
        ui->swtTransmisson->hide();
    } else {
        ui->swtTransmisson->show();
        ui->swtTransmisson->setCurrentIndex(index - 1);
    }

    // Only the user's own choice is refused; a refill selects what is stored.
    if (index != 0 && typeListFilled && ui->cmbTransferType->currentText() == QLatin1String("ASPERA")
        && !transferOffer.contains(kOfferAspera)) {
        ui->cmbTransferType->setCurrentIndex(ui->cmbTransferType->findData(m_transfer.transferType));
        kiv_messagebox_dialog box(nullptr);
        box.setText(QObject::tr("You have not opened ASPERA, click \"Ok\" to apply online"));
        box.setButtonText(QStringLiteral("ok"), QObject::tr("OK"));
        box.setButtonText(QStringLiteral("cancel"), QObject::tr("CANCEL"));
        if (box.exec() == 1)
            QDesktopServices::openUrl(QUrl::fromUserInput(m_transfer.asperaUrl));
        return;
    }

    if (typeListFilled)
        ShowTransferLine();
    EnableApply();
}

void kiv_configuration_widget::HandleRadioButtonChanged()
{
    QObject* button = sender();
    // The constant-speed warning shows while either direction of its page is Fixed.
    for (const RatePage& page : {ZftxPage(ui.get()), AsperaPage(ui.get())}) {
        if (button == page.downloadFair)
            page.warning->setVisible(page.uploadFixed->isChecked());
        else if (button == page.uploadFair)
            page.warning->setVisible(page.downloadFixed->isChecked());
        else if (button == page.downloadFixed || button == page.uploadFixed)
            page.warning->show();
    }
    EnableApply();
}

void kiv_configuration_widget::SpeedTest()
{
    const QStringList arguments = {m_loginInfo.speedTestServer, ui->cmbTransferType->currentData().toString(),
                                   ui->comTransferLine->currentText()};
    TriggerApply();
    const QString program = kiv_app_paths::findProgram(QStringLiteral("kiv_speedtest.exe"));
    if (!QProcess::startDetached(program, arguments)) {
        kiv_messagebox_dialog box(nullptr);
        box.setText(QObject::tr("SpeedTest start faild"));
        box.setButtonText(QStringLiteral("ok"), QObject::tr("OK"));
        box.setButtonVisible(QStringLiteral("cancel"), false);
        box.exec();
    }
}

void kiv_configuration_widget::SetTransferLink(QVariantMap lines)
{
    if (lines.isEmpty()) {
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("transferline is empty"));
        return;
    }
    QString types;
    for (auto it = lines.constBegin(); it != lines.constEnd(); ++it) {
        types += it.key() + QStringLiteral("  ");
        transferLines.insert(it.key(), it.value().toMap());
    }
    KIV_LOG(KIV_LOG_INFO, QStringLiteral("transfer line type: %1").arg(types));
    if (transferOffer.isEmpty())
        return;
    if (formReady)
        ShowTransferLine();
    SetTransferSettings();
}

void kiv_configuration_widget::SetTransmissionSecret(QJsonDocument document)
{
    if (!document.isObject())
        return;
    qDebug().noquote() << MaskedDocument(document);

    const QString salt = QString::fromLatin1((m_userName + kSecretSaltSuffix).toUtf8().toBase64())
                             .remove(QLatin1Char('='));
    const QVariantMap data = document.object().value(QStringLiteral("data")).toObject().toVariantMap();
    asperaUser = data.value(QStringLiteral("aspera_user")).toString();

    const QByteArray outer =
        QByteArray::fromBase64(data.value(QStringLiteral("aspera_secret")).toString().toUtf8());
    QString inner = QString::fromUtf8(outer.left(outer.indexOf('\0') < 0 ? outer.size() : outer.indexOf('\0')));
    inner.remove(salt);
    inner += QLatin1Char('=');
    asperaSecret = QString::fromUtf8(QByteArray::fromBase64(inner.toUtf8()));
}
