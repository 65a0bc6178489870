#include "kiv_transfer_record.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace kiv_transfer_record {

namespace {

// Appended to the user name to salt the scrambled Aspera secret; the service
// scrambles with the same suffix.
const QString kSecretSaltSuffix = QStringLiteral("tmq");

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

} // namespace

QString ResolveLine(const QMap<QString, QVariantMap>& lines, const QString& type, const QString& lineName)
{
    if (lines.isEmpty())
        return {};
    const QVariantMap typeLines = lines.value(type);
    if (typeLines.isEmpty())
        return {};
    const QString address = typeLines.value(lineName).toString();
    return address.isEmpty() ? typeLines.first().toString() : address;
}

ZftxTransConfig Build(const Inputs& in)
{
    const TransferOptions& options = in.options;
    ZftxTransConfig config;
    config.clientCode = QStringLiteral("RQ");
    config.userId = in.userId;
    config.maxReconnect = options.maxReconnect;
    config.zoneId = in.login.zoneId;
    config.verifyMethod = options.verifyMethod;

    const QString& type = options.transferType;
    if (type == QLatin1String("ftp")) {
        config.uploadMethod = config.downloadMethod = 2;
        config.ftp.server = in.login.ftpServer;
        config.ftp.user = in.userName;
        config.ftp.password = in.login.ftpPassword;
        const QString line = ResolveLine(in.lines, type, options.ftpTransferLink);
        if (!line.isEmpty())
            config.ftp.server = line;
    } else if (type == QLatin1String("zftx")) {
        config.uploadMethod = config.downloadMethod = 0;
        FillZftxDirection(config.zftx.upload, options.zftxUploadMode, options.zftxUploadTargetRate, options.mss);
        FillZftxDirection(config.zftx.download, options.zftxDownloadMode, options.zftxDownloadTargetRate,
                          options.mss);
        config.zftx.server = in.login.zftxServer;
        config.zftx.password = in.login.zftxPassword;
        config.zftx.user = in.userName;
        config.zftx.mss = options.mss;
        const QString line = ResolveLine(in.lines, type, options.zftxTransferLink);
        if (!line.isEmpty())
            config.zftx.server = line;
    } else if (type == QLatin1String("aspera")) {
        config.uploadMethod = config.downloadMethod = 1;
        config.aspera.uploadPolicy = AsperaPolicy(options.asperaUploadMode, config.aspera.uploadPolicy);
        config.aspera.downloadPolicy = AsperaPolicy(options.asperaDownloadMode, config.aspera.downloadPolicy);
        config.aspera.uploadRate = static_cast<qint64>(std::trunc(options.asperaUploadTargetRate * 1024 / 8));
        config.aspera.downloadRate = static_cast<qint64>(std::trunc(options.asperaDownloadTargetRate * 1024 / 8));
        config.aspera.user = in.asperaUser;
        config.aspera.secret = in.asperaSecret;
        config.aspera.port = in.login.asperaPort;
        config.aspera.host = in.login.asperaHost;
        const QString line = ResolveLine(in.lines, type, options.asperaTransferLink);
        if (!line.isEmpty())
            config.aspera.host = line;
    }
    return config;
}

QString DecodeAsperaSecret(const QString& scrambled, const QString& userName)
{
    const QString salt =
        QString::fromLatin1((userName + kSecretSaltSuffix).toUtf8().toBase64()).remove(QLatin1Char('='));
    const QByteArray outer = QByteArray::fromBase64(scrambled.toUtf8());
    QString inner = QString::fromUtf8(outer.left(outer.indexOf('\0') < 0 ? outer.size() : outer.indexOf('\0')));
    inner.remove(salt);
    inner += QLatin1Char('=');
    return QString::fromUtf8(QByteArray::fromBase64(inner.toUtf8()));
}

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

} // namespace kiv_transfer_record
