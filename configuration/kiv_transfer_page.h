#pragma once

#include "kiv_panel_context.h"
#include "kiv_transfer_options.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QJsonDocument;
class QObject;

// The transfer page: the user's transfer options and their storage, the
// sub-center's offer, the lines and the Aspera account the host hands in,
// the record sent to the host, the page itself and the speed test.
class kiv_transfer_page : public kiv_panel_page
{
public:
    explicit kiv_transfer_page(kiv_panel_context& context);

    // The options as with no user; what the host handed in stays.
    void ResetOptions();
    void ReadTransferSettings();
    void SetOffer(const QVariantMap& map) { transferOffer = map; }
    bool HasOffer() const { return !transferOffer.isEmpty(); }
    bool SetTransferParam();
    // Replaces a stored method the offer lacks with the first one offered,
    // written at once.
    void KeepOfferedTransferType();
    // Builds the record for the host and emits it with the concurrency counts.
    void SetTransferSettings();
    bool HasMethods() const;
    void ApplyTransferSettings();
    void ShowTransferSettings();
    void Retranslate();

    void HandleTransferModeChanged(int index);
    void HandleRadioButtonChanged(QObject* button);
    // Taken before Apply refills nothing, so that the tool gets what was chosen.
    QStringList SpeedTestArguments() const;
    void StartSpeedTest(const QStringList& arguments);
    void SetTransferLink(const QVariantMap& lines);
    void SetTransmissionSecret(const QJsonDocument& document);

    bool UploadConcurrent() const { return m_transfer.uploadConcurrent; }
    bool DownloadConcurrent() const { return m_transfer.downloadConcurrent; }

private:
    void ReadFtpSettings();
    void ReadZFTXSettings();
    void ReadAsperaSettings();
    QString TransferSectionFor(const QStringList& keys) const;
    void WriteTransferTypeNow();
    void ShowTransferLine();
    void ShowUDTSettings();
    void ShowAsperaSettings();

    TransferOptions m_transfer;
    // What the host hands in survives a change of user.
    QVariantMap transferOffer;
    QMap<int, QString> offeredTypes;
    QMap<QString, QVariantMap> transferLines;
    QString asperaUser;
    QString asperaSecret;
    double zftxMaxUploadSpeed = 0.0;
    double zftxMaxDownloadSpeed = 0.0;
    double asperaMaxUploadSpeed = 0.0;
    double asperaMaxDownloadSpeed = 0.0;
    bool typeListFilled = false;
};
