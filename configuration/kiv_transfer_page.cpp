// The transfer page: method, line, modes and target rates, the speed test.

#include "kiv_transfer_page.h"
#include "kiv_logging.h"

#include "kiv_app_paths.h"
#include "kiv_configuration_widget.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_panel_log.h"
#include "kiv_settings_store.h"
#include "kiv_transfer_rates.h"
#include "kiv_transfer_record.h"
#include "ui_kiv_configuration_widget.h"

#include <QDebug>
#include <QDesktopServices>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QUrl>

namespace {

const QString kFtp = QStringLiteral("ftp");
const QString kZftx = QStringLiteral("zftx");
const QString kAspera = QStringLiteral("aspera");
const QString kFallbackSection = QStringLiteral("kiv.transfer");
const QString kOfferFtp = QStringLiteral("TRANSMISSION_TYPE_FTP");
const QString kOfferZftx = QStringLiteral("TRANSMISSION_TYPE_ZFTX");
const QString kOfferAspera = QStringLiteral("TRANSMISSION_TYPE_ASPERA");

} // namespace

using namespace kiv_transfer_rates;

kiv_transfer_page::kiv_transfer_page(kiv_panel_context& context)
    : kiv_panel_page(context)
{
}

void kiv_transfer_page::ResetOptions()
{
    m_transfer = TransferOptions();
}

bool kiv_transfer_page::HasMethods() const
{
    return ui()->cmbTransferType->count() > 0;
}

void kiv_transfer_page::Retranslate()
{
    ui()->lblTransferType->setText(QObject::tr("Transfer Mode:"));
    ui()->TransferLine->setText(QObject::tr("TransferLine"));
    ui()->BtnSpeedTest->setText(QObject::tr(" SpeedTest "));
    for (QRadioButton* fair : {ui()->radUploadDefaultU, ui()->radDownloadDefaultU, ui()->radUploadDefaultA,
                               ui()->radDownloadDefaultA})
        fair->setText(QObject::tr("Fair"));
    for (QRadioButton* fixed :
         {ui()->radUploadHighU, ui()->radDownloadHighU, ui()->radUploadHighA, ui()->radDownloadHighA})
        fixed->setText(QObject::tr("Fixed"));
    ui()->gbxZFTXUpload->setTitle(QStringLiteral("ZFTX ") + QObject::tr("Upload Settings"));
    ui()->gbxZFTXDownload->setTitle(QStringLiteral("ZFTX ") + QObject::tr("Download Settings"));
    ui()->gbxAsperaUpload->setTitle(QStringLiteral("ASPERA ") + QObject::tr("Upload Settings"));
    ui()->gbxAsperaDownload->setTitle(QStringLiteral("ASPERA ") + QObject::tr("Download Settings"));
    for (QLabel* label : {ui()->lblUploadMaxSpeedU, ui()->lblDonwloadMaxSpeedU, ui()->lblUploadMaxSpeedA,
                          ui()->lblDonwloadMaxSpeedA})
        label->setText(QObject::tr("Target Speed"));
    ui()->lblTransmissonTips->setText(QObject::tr(
        "*Transfer methods available: FTP , ZFTX, ASPERA. ZFTX (Corvanta Data Transfer) was a new "
        "transfer solution designed and created by Corvanta Tech. Based on a large amount of test "
        "results, it has been proven that ZFTX could increase 5-10 times of speed in some of Internet "
        "environments.Aspera only for high-level creative members and members of the rendering "
        "package open"));
    const QString constantSpeedTip = QObject::tr(
        "If you need to modify the parameter to Constant Speed Mode, please contact our technical "
        "support. Modify without permission may slow down the speed.");
    ui()->lblTipsU->setText(constantSpeedTip);
    ui()->lblTipsA->setText(constantSpeedTip);
    // The form's own texts have just blanked the offered maxima.
    if (HasOffer()) {
        ShowMaximum(ZftxPage(ui()), zftxMaxUploadSpeed, zftxMaxDownloadSpeed);
        ShowMaximum(AsperaPage(ui()), asperaMaxUploadSpeed, asperaMaxDownloadSpeed);
    }
}

void kiv_transfer_page::ReadTransferSettings()
{
    kiv_settings_store& store = m_context.Store();
    QSettings* user = store.User();
    if (!user)
        return;
    const QSettings& defaults = *store.Defaults();
    const QString section = TransferSectionFor({QStringLiteral("transfertype")});

    // Host-wide values, read as they are: an absent key gives 0, false or empty.
    m_transfer.mss = defaults.value(QStringLiteral("kiv.transfer/mss")).toInt();
    m_transfer.asperaUrl = defaults.value(QStringLiteral("kiv.transfer/asperaurl")).toString();
    m_transfer.maxReconnect = defaults.value(QStringLiteral("kiv.transfer/maxreconnect")).toInt();
    m_transfer.uploadMaxConcurrence =
        defaults.value(QStringLiteral("kiv.transfer/uploadmaxconcurrence")).toInt();
    m_transfer.downloadMaxConcurrence =
        defaults.value(QStringLiteral("kiv.transfer/downloadmaxoncurrence")).toInt();
    m_transfer.uploadConcurrent =
        defaults.value(QStringLiteral("kiv.transfer/uploadconcurrent")).toBool();
    m_transfer.downloadConcurrent =
        defaults.value(QStringLiteral("kiv.transfer/downloadconcurrent")).toBool();

    user->beginGroup(section);
    m_transfer.verifyMethod = user->value(QStringLiteral("verifymethod")).toInt();
    m_transfer.transferType = user->value(QStringLiteral("transfertype")).toString();
    user->endGroup();

    ReadFtpSettings();
    ReadZFTXSettings();
    ReadAsperaSettings();
}

// The user's own section when it holds every key of the set, else the
// template's fallback section; each method falls back on its own.
QString kiv_transfer_page::TransferSectionFor(const QStringList& keys) const
{
    QSettings* user = m_context.Store().User();
    const QString own = QStringLiteral("kiv.transfer.%1").arg(m_context.UserId());
    if (!user->childGroups().contains(own))
        return kFallbackSection;
    user->beginGroup(own);
    bool complete = true;
    for (const QString& key : keys)
        complete = complete && user->contains(key);
    user->endGroup();
    return complete ? own : kFallbackSection;
}

void kiv_transfer_page::ReadFtpSettings()
{
    QSettings* user = m_context.Store().User();
    user->beginGroup(TransferSectionFor(
        {QStringLiteral("ftp.maxdownload"), QStringLiteral("ftp.maxupload"), QStringLiteral("ftp.buffersize")}));
    m_transfer.ftpMaxDownload = user->value(QStringLiteral("ftp.maxdownload")).toInt();
    m_transfer.ftpMaxUpload = user->value(QStringLiteral("ftp.maxupload")).toInt();
    m_transfer.ftpBufferSize = user->value(QStringLiteral("ftp.buffersize")).toInt();
    m_transfer.ftpTransferLink = user->value(QStringLiteral("ftp.transferlink")).toString();
    user->endGroup();
}

void kiv_transfer_page::ReadZFTXSettings()
{
    QSettings* user = m_context.Store().User();
    user->beginGroup(TransferSectionFor(RateKeys(kZftx)));
    ReadRateOptions(user, kZftx,
                    {m_transfer.zftxUploadMode, m_transfer.zftxUploadTargetRate, m_transfer.zftxDownloadMode,
                     m_transfer.zftxDownloadTargetRate, m_transfer.zftxTransferLink});
    user->endGroup();
}

void kiv_transfer_page::ReadAsperaSettings()
{
    QSettings* user = m_context.Store().User();
    user->beginGroup(TransferSectionFor(RateKeys(kAspera)));
    ReadRateOptions(user, kAspera,
                    {m_transfer.asperaUploadMode, m_transfer.asperaUploadTargetRate,
                     m_transfer.asperaDownloadMode, m_transfer.asperaDownloadTargetRate,
                     m_transfer.asperaTransferLink});
    user->endGroup();
}

bool kiv_transfer_page::SetTransferParam()
{
    ui()->cmbTransferType->clear();
    if (transferOffer.isEmpty()) {
        ui()->swtTransmisson->hide();
        return false;
    }
    ui()->swtTransmisson->show();

    for (auto it = transferOffer.constBegin(); it != transferOffer.constEnd(); ++it) {
        const QVariantMap entry = it.value().toMap();
        const double maxUpload = entry.value(QStringLiteral("max_upload_speed")).toDouble();
        const double maxDownload = entry.value(QStringLiteral("max_download_speed")).toDouble();
        if (it.key() == kOfferZftx) {
            zftxMaxUploadSpeed = maxUpload;
            zftxMaxDownloadSpeed = maxDownload;
            ui()->spbDownloadSpeedU->setRange(0, KbpsToMbps(zftxMaxDownloadSpeed));
            ui()->spbUploadSpeedU->setRange(0, KbpsToMbps(zftxMaxUploadSpeed));
        } else if (it.key() == kOfferAspera) {
            asperaMaxUploadSpeed = maxUpload;
            asperaMaxDownloadSpeed = maxDownload;
            ui()->spbDownloadSpeedA->setRange(0, KbpsToMbps(asperaMaxDownloadSpeed));
            ui()->spbUploadSpeedA->setRange(0, KbpsToMbps(asperaMaxUploadSpeed));
        }
    }
    KeepOfferedTransferType();
    if (m_context.FormReady())
        ShowTransferSettings();
    return true;
}

void kiv_transfer_page::KeepOfferedTransferType()
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

void kiv_transfer_page::WriteTransferTypeNow()
{
    kiv_settings_store& store = m_context.Store();
    if (!store.User())
        return;
    // The user's section is read whole once it holds "transfertype": without
    // its own "verifymethod" the method read back would silently turn to 0.
    const QString section = QStringLiteral("kiv.transfer.%1/").arg(m_context.UserId());
    QList<QPair<QString, QVariant>> values;
    if (!store.User()->contains(section + QStringLiteral("verifymethod")))
        values.append({section + QStringLiteral("verifymethod"), m_transfer.verifyMethod});
    values.append({section + QStringLiteral("transfertype"), m_transfer.transferType});
    store.WriteNow(values);
}

void kiv_transfer_page::SetTransferSettings()
{
    KIV_LOG(KIV_LOG_INFO, QStringLiteral("emit transfer setting"));
    if (transferOffer.isEmpty()) {
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("transfer type is empty"));
        return;
    }
    KIV_LOG(KIV_LOG_INFO, QStringLiteral("transfer Type:%1").arg(m_transfer.transferType));
    const ZftxTransConfig config = kiv_transfer_record::Build(
        {m_transfer, m_context.Login(), m_context.UserId(), m_context.UserName(), transferLines, asperaUser,
         asperaSecret});

    kiv_configuration_widget* panel = m_context.Panel();
    emit panel->SigZftxParams(config);
    emit panel->SigMaxConcurrence(ZFTXCMD_DOWNLOAD_CONCURRENCE, m_transfer.downloadMaxConcurrence);
    emit panel->SigMaxConcurrence(ZFTXCMD_UPLOAD_CONCURRENCE, m_transfer.uploadMaxConcurrence);
}

void kiv_transfer_page::ApplyTransferSettings()
{
    QSettings* file = m_context.Store().User();
    if (file) {
        file->beginGroup(QStringLiteral("kiv.transfer.%1").arg(m_context.UserId()));
        file->setValue(QStringLiteral("verifymethod"), m_transfer.verifyMethod);
    }
    m_transfer.transferType = ui()->cmbTransferType->currentData().toString();
    if (file)
        file->setValue(QStringLiteral("transfertype"), m_transfer.transferType);

    // Without listed lines the stored line name is kept, not blanked.
    auto chosenLine = [this](const QString& stored) {
        return ui()->comTransferLine->currentIndex() < 0 ? stored
                                                       : ui()->comTransferLine->currentData().toString();
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
        WriteRatePage(file, kZftx, ZftxPage(ui()),
                      {m_transfer.zftxUploadMode, m_transfer.zftxUploadTargetRate, m_transfer.zftxDownloadMode,
                       m_transfer.zftxDownloadTargetRate, m_transfer.zftxTransferLink},
                      chosenLine(m_transfer.zftxTransferLink));
    } else if (type == kAspera) {
        WriteRatePage(file, kAspera, AsperaPage(ui()),
                      {m_transfer.asperaUploadMode, m_transfer.asperaUploadTargetRate,
                       m_transfer.asperaDownloadMode, m_transfer.asperaDownloadTargetRate,
                       m_transfer.asperaTransferLink},
                      chosenLine(m_transfer.asperaTransferLink));
    }
    if (file)
        file->endGroup();
    SetTransferSettings();
}

void kiv_transfer_page::ShowTransferSettings()
{
    if (transferOffer.isEmpty())
        return;
    QComboBox* methods = ui()->cmbTransferType;
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

void kiv_transfer_page::ShowTransferLine()
{
    if (transferLines.isEmpty())
        return;
    const QString type = ui()->cmbTransferType->currentData().toString();
    const QVariantMap lines = transferLines.value(type);
    QComboBox* box = ui()->comTransferLine;
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

void kiv_transfer_page::ShowUDTSettings()
{
    ShowRatePage(ZftxPage(ui()),
                 {m_transfer.zftxUploadMode, m_transfer.zftxUploadTargetRate, m_transfer.zftxDownloadMode,
                  m_transfer.zftxDownloadTargetRate, m_transfer.zftxTransferLink},
                 zftxMaxUploadSpeed, zftxMaxDownloadSpeed);
}

void kiv_transfer_page::ShowAsperaSettings()
{
    ShowRatePage(AsperaPage(ui()),
                 {m_transfer.asperaUploadMode, m_transfer.asperaUploadTargetRate, m_transfer.asperaDownloadMode,
                  m_transfer.asperaDownloadTargetRate, m_transfer.asperaTransferLink},
                 asperaMaxUploadSpeed, asperaMaxDownloadSpeed);
}

void kiv_transfer_page::HandleTransferModeChanged(int index)
{
    // Clearing the list selects nothing: there is no page to show for that.
    if (index < 0)
        return;
    if (index == 0) {
        ui()->swtTransmisson->hide();
    } else {
        ui()->swtTransmisson->show();
        ui()->swtTransmisson->setCurrentIndex(index - 1);
    }

    // Only the user's own choice is refused; a refill selects what is stored.
    if (index != 0 && typeListFilled && ui()->cmbTransferType->currentText() == QLatin1String("ASPERA")
        && !transferOffer.contains(kOfferAspera)) {
        ui()->cmbTransferType->setCurrentIndex(ui()->cmbTransferType->findData(m_transfer.transferType));
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
    m_context.EnableApply();
}

void kiv_transfer_page::HandleRadioButtonChanged(QObject* button)
{
    // The constant-speed warning shows while either direction of its page is Fixed.
    for (const RatePage& page : {ZftxPage(ui()), AsperaPage(ui())}) {
        if (button == page.downloadFair)
            page.warning->setVisible(page.uploadFixed->isChecked());
        else if (button == page.uploadFair)
            page.warning->setVisible(page.downloadFixed->isChecked());
        else if (button == page.downloadFixed || button == page.uploadFixed)
            page.warning->show();
    }
    m_context.EnableApply();
}

QStringList kiv_transfer_page::SpeedTestArguments() const
{
    return {m_context.Login().speedTestServer, ui()->cmbTransferType->currentData().toString(),
            ui()->comTransferLine->currentText()};
}

void kiv_transfer_page::StartSpeedTest(const QStringList& arguments)
{
    const QString program = kiv_app_paths::findProgram(QStringLiteral("kiv_speedtest.exe"));
    if (!QProcess::startDetached(program, arguments)) {
        kiv_messagebox_dialog box(nullptr);
        box.setText(QObject::tr("SpeedTest start faild"));
        box.setButtonText(QStringLiteral("ok"), QObject::tr("OK"));
        box.setButtonVisible(QStringLiteral("cancel"), false);
        box.exec();
    }
}

void kiv_transfer_page::SetTransferLink(const QVariantMap& lines)
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
    if (m_context.FormReady())
        ShowTransferLine();
    SetTransferSettings();
}

void kiv_transfer_page::SetTransmissionSecret(const QJsonDocument& document)
{
    if (!document.isObject())
        return;
    qCDebug(kivPanel).noquote() << kiv_transfer_record::MaskedDocument(document);
    const QVariantMap data = document.object().value(QStringLiteral("data")).toObject().toVariantMap();
    asperaUser = data.value(QStringLiteral("aspera_user")).toString();
    asperaSecret = kiv_transfer_record::DecodeAsperaSecret(data.value(QStringLiteral("aspera_secret")).toString(),
                                                           m_context.UserName());
}
