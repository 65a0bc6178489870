// Transfer settings: what is read per method, what the sub-center offer
// changes, the record the host's transfer engine receives, the transfer
// page, the speed test, and the lines and credentials the host hands in.

#include "kiv_configuration_widget.h"
#include "test_support.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDoubleSpinBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

using kiv_test::PanelFixture;

namespace {

const QByteArray kDefaults = "[kiv.transfer]\n"
                             "mss=1024\n"
                             "asperaurl=https://aspera.example/apply\n"
                             "uploadmaxconcurrence=3\n"
                             "downloadmaxoncurrence=5\n"
                             "uploadconcurrent=1\n"
                             "downloadconcurrent=0\n";

QVariantMap offer(std::initializer_list<const char*> methods, double maxUpload = 1000000,
                  double maxDownload = 1000000)
{
    QVariantMap map;
    for (const char* method : methods) {
        map.insert(QLatin1String(method),
                   QVariantMap{{"max_upload_speed", maxUpload}, {"max_download_speed", maxDownload}});
    }
    return map;
}

const QVariantMap kAllMethods = offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX", "TRANSMISSION_TYPE_ASPERA"});

QVariantMap lines(std::initializer_list<std::pair<const char*, QVariantMap>> perMethod)
{
    QVariantMap map;
    for (const auto& method : perMethod)
        map.insert(QLatin1String(method.first), method.second);
    return map;
}

// Scrambles an Aspera secret the way the service does for user "artist".
QJsonDocument credentials(const QString& user, const QString& secret)
{
    const QString salt = QString::fromLatin1(QStringLiteral("artisttmq").toUtf8().toBase64()).remove('=');
    QString inner = QString::fromLatin1(secret.toUtf8().toBase64());
    if (!inner.endsWith('=') || inner.endsWith(QLatin1String("==")))
        qFatal("pick a secret whose Base64 form ends in exactly one '='");
    inner.chop(1);
    inner.insert(inner.size() / 2, salt);
    const QString outer = QString::fromLatin1(inner.toUtf8().toBase64());
    QJsonObject data{{"aspera_user", user}, {"aspera_secret", outer}};
    return QJsonDocument(QJsonObject{{"data", data}, {"ret", 200}});
}

// Records the record and both concurrency signals in the order they come.
struct TransferRecorder {
    explicit TransferRecorder(kiv_configuration_widget* panel)
    {
        QObject::connect(panel, &kiv_configuration_widget::SigZftxParams, panel,
                         [this](ZftxTransConfig config) {
                             configs << config;
                             order << QStringLiteral("config");
                         });
        QObject::connect(panel, &kiv_configuration_widget::SigMaxConcurrence, panel,
                         [this](ZFTXCMDTYPE type, int count) {
                             order << QStringLiteral("max %1=%2").arg(int(type)).arg(count);
                         });
    }
    QList<ZftxTransConfig> configs;
    QStringList order;
};

struct Fixture : PanelFixture {
    explicit Fixture(const QByteArray& userFile = QByteArray(), const QByteArray& defaults = kDefaults)
        : PanelFixture(userFile, defaults)
    {
    }
    QComboBox* methods() const { return find<QComboBox>("cmbTransferType"); }
    QStringList methodTexts() const
    {
        QStringList texts;
        for (int i = 0; i < methods()->count(); ++i)
            texts << methods()->itemText(i);
        return texts;
    }
};

} // namespace

class tst_transfer_settings : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> openedUrls;

public slots:
    void openUrl(const QUrl& url) { openedUrls << url; }

private slots:
    void initTestCase();
    void eachMethodFallsBackToTheTemplateOnItsOwn();
    void offerDecidesTheStoredMethod();
    void zftxRecordFollowsTheRateFormulas();
    void asperaRecordAndPolicies();
    void ftpRecordAndTransferLines();
    void emptyOfferSendsNothing();
    void applyWritesOnlyTheChosenMethod();
    void methodListDependsOnCredentials();
    void pagesFollowTheMethod();
    void asperaNotOfferedIsRefused();
    void constantSpeedWarning();
    void offeredMaximaBoundTheRates();
    void credentialsAreRecoveredAndNeverLogged();
    void malformedCredentialDocuments();
    void speedTestAppliesClosesAndStartsTheTool();
    void speedTestThatCannotStartSaysSo();
};

void tst_transfer_settings::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
}

void tst_transfer_settings::eachMethodFallsBackToTheTemplateOnItsOwn()
{
    Fixture f("[kiv.transfer]\n"
              "transfertype=zftx\nverifymethod=3\n"
              "ftp.maxupload=1\nftp.maxdownload=2\nftp.buffersize=3\nftp.transferlink=tpl\n"
              "zftx.uploadmode=1\nzftx.uploadtargetrate=5\nzftx.downloadmode=1\nzftx.downloadtargetrate=6\n"
              "zftx.transferlink=tplZ\n"
              "[kiv.transfer.1001]\n"
              "transfertype=ftp\n"
              "ftp.maxupload=10\nftp.maxdownload=20\nftp.buffersize=30\n"
              "zftx.uploadmode=0\nzftx.downloadmode=0\nzftx.uploadtargetrate=9\n");
    f.panel->CurrentSubCenterChanged(kAllMethods);
    QCOMPARE(f.methods()->currentData().toString(), QStringLiteral("ftp"));
    // The user's ZFTX set lacks a key, so all five come from the template.
    QVERIFY(f.find<QRadioButton>("radUploadHighU")->isChecked());
    QVERIFY(f.find<QRadioButton>("radDownloadHighU")->isChecked());
    QCOMPARE(f.find<QDoubleSpinBox>("spbUploadSpeedU")->value(), 5.0);
    QCOMPARE(f.find<QDoubleSpinBox>("spbDownloadSpeedU")->value(), 6.0);

    f.open([&] {}, true);
    QSettings file(f.file(), QSettings::IniFormat);
    // FTP kept its own values; "verifymethod" came from the user's section (absent: 0).
    QCOMPARE(file.value("kiv.transfer.1001/ftp.maxupload").toInt(), 10);
    QCOMPARE(file.value("kiv.transfer.1001/ftp.buffersize").toInt(), 30);
    QCOMPARE(file.value("kiv.transfer.1001/verifymethod").toInt(), 0);
    // The fallback section is never written.
    QCOMPARE(file.value("kiv.transfer/ftp.maxupload").toInt(), 1);
}

void tst_transfer_settings::offerDecidesTheStoredMethod()
{
    // Only Aspera offered with "ftp" stored: written at once, section created.
    {
        Fixture f("[kiv.transfer]\ntransfertype=ftp\n");
        f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
        f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_ASPERA"}));
        QCOMPARE(f.stored("kiv.transfer.1001/transfertype").toString(), QStringLiteral("aspera"));
        QCOMPARE(f.methods()->currentData().toString(), QStringLiteral("aspera"));
    }
    // "zftx" stays while offered, becomes "ftp" when not.
    {
        Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\n");
        f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX"}));
        QCOMPARE(f.stored("kiv.transfer.1001/transfertype").toString(), QStringLiteral("zftx"));
        f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ASPERA"}));
        QCOMPARE(f.stored("kiv.transfer.1001/transfertype").toString(), QStringLiteral("ftp"));
    }
    // A later offer of Aspera alone never falls back on an earlier offer's FTP.
    {
        Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\n");
        f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
        f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX"}));
        TransferRecorder recorder(f.panel.get());
        f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_ASPERA"}));
        QCOMPARE(f.stored("kiv.transfer.1001/transfertype").toString(), QStringLiteral("aspera"));
        QCOMPARE(recorder.configs.size(), 1);
        QCOMPARE(recorder.configs.first().uploadMethod, 1);
    }
    // An offer of unknown methods only changes nothing and does not crash.
    {
        Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\n");
        f.panel->CurrentSubCenterChanged({{"TRANSMISSION_TYPE_TELEPORT", QVariantMap()}});
        QCOMPARE(f.stored("kiv.transfer.1001/transfertype").toString(), QStringLiteral("zftx"));
    }
}

void tst_transfer_settings::zftxRecordFollowsTheRateFormulas()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\nverifymethod=2\n"
              "zftx.uploadmode=1\nzftx.uploadtargetrate=8\nzftx.downloadmode=0\nzftx.downloadtargetrate=0\n");
    kiv_test::LogRecorder log(f.panel.get());
    TransferRecorder recorder(f.panel.get());
    f.panel->CurrentSubCenterChanged(kAllMethods);

    QCOMPARE(recorder.order, QStringList({"config", "max 1=5", "max 2=3"}));
    const ZftxTransConfig config = recorder.configs.first();
    QCOMPARE(config.uploadMethod, 0);
    QCOMPARE(config.downloadMethod, 0);
    QCOMPARE(config.zftx.upload.mode, QStringLiteral("fixed"));
    QCOMPARE(config.zftx.upload.rate, 1048576.0);
    QCOMPARE(config.zftx.upload.packetInterval, 1054.6875);
    // A zero rate keeps the fresh interval instead of dividing by zero.
    QCOMPARE(config.zftx.download.mode, QStringLiteral("fair"));
    QCOMPARE(config.zftx.download.rate, 0.0);
    QCOMPARE(config.zftx.download.packetInterval, 100.0);
    QCOMPARE(config.zftx.server, QStringLiteral("zftx.example.test"));
    QCOMPARE(config.zftx.user, QStringLiteral("artist"));
    QCOMPARE(config.zftx.mss, 1024);
    QCOMPARE(config.userId, QStringLiteral("1001"));
    QCOMPARE(config.clientCode, QStringLiteral("RQ"));
    QCOMPARE(config.verifyMethod, 2);
    // An absent "maxreconnect" is sent as 0, not the record's own default.
    QCOMPARE(config.maxReconnect, qint64(0));
    QVERIFY(log.contains(600, QStringLiteral("emit transfer setting")));
    QVERIFY(log.contains(600, QStringLiteral("transfer Type:zftx")));

    // An unknown stored mode keeps the record's fresh mode.
    Fixture odd("[kiv.transfer.1001]\ntransfertype=zftx\nzftx.uploadmode=0\nzftx.downloadmode=5\n"
                "zftx.uploadtargetrate=-2\nzftx.downloadtargetrate=4\n");
    TransferRecorder oddRecorder(odd.panel.get());
    odd.panel->CurrentSubCenterChanged(kAllMethods);
    const ZftxTransConfig oddConfig = oddRecorder.configs.first();
    QCOMPARE(oddConfig.zftx.download.mode, QString());
    QCOMPARE(oddConfig.zftx.upload.packetInterval, 100.0);
    QCOMPARE(oddConfig.zftx.upload.rate, -2.0 * 1024 * 1024 / 8);
    QCOMPARE(oddConfig.zftx.download.packetInterval, 1024 * 1080000.0 / (4.0 / 8 * 1024 * 1024));
}

void tst_transfer_settings::asperaRecordAndPolicies()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=aspera\naspera.uploadmode=0\naspera.uploadtargetrate=10.3\n"
              "aspera.downloadmode=1\naspera.downloadtargetrate=2\naspera.transferlink=gone\n",
              QByteArray(kDefaults) + "maxreconnect=12\n");
    f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    f.panel->SetTransferLink(lines({{"aspera", QVariantMap{{"east", "aspera-east.example"},
                                                            {"west", "aspera-west.example"}}}}));
    TransferRecorder recorder(f.panel.get());
    f.panel->CurrentSubCenterChanged(kAllMethods);
    const ZftxTransConfig config = recorder.configs.first();
    QCOMPARE(config.uploadMethod, 1);
    QCOMPARE(config.downloadMethod, 1);
    QCOMPARE(config.aspera.uploadRate, qint64(1318));
    QCOMPARE(config.aspera.uploadPolicy, 2);
    QCOMPARE(config.aspera.downloadRate, qint64(256));
    QCOMPARE(config.aspera.downloadPolicy, 1);
    QCOMPARE(config.aspera.user, QStringLiteral("ann"));
    QCOMPARE(config.aspera.secret, QStringLiteral("secret42"));
    // A stored line that is no longer offered falls back on the first line.
    QCOMPARE(config.aspera.host, QStringLiteral("aspera-east.example"));
    QCOMPARE(f.find<QComboBox>("comTransferLine")->currentText(), QStringLiteral("east"));
    QCOMPARE(config.maxReconnect, qint64(12));

    Fixture odd("[kiv.transfer.1001]\ntransfertype=aspera\naspera.uploadmode=7\naspera.downloadmode=0\n"
                "aspera.uploadtargetrate=1\naspera.downloadtargetrate=1\n");
    odd.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    TransferRecorder oddRecorder(odd.panel.get());
    odd.panel->CurrentSubCenterChanged(kAllMethods);
    QCOMPARE(oddRecorder.configs.first().aspera.uploadPolicy, 1);
    QCOMPARE(oddRecorder.configs.first().aspera.downloadPolicy, 2);
}

void tst_transfer_settings::ftpRecordAndTransferLines()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=ftp\nftp.transferlink=north\n");
    TransferRecorder recorder(f.panel.get());
    kiv_test::LogRecorder log(f.panel.get());

    // Lines before any offer are only kept.
    f.panel->SetTransferLink(lines({{"ftp", QVariantMap{{"north", "ftp-north.example"}, {"south", "ftp-south.example"}}},
                                    {"zftx", QVariantMap{{"a", "zftx-a.example"}}}}));
    QVERIFY(recorder.configs.isEmpty());
    QVERIFY(log.contains(600, QStringLiteral("transfer line type: ftp  zftx  ")));

    f.panel->CurrentSubCenterChanged(kAllMethods);
    QCOMPARE(recorder.configs.size(), 1);
    ZftxTransConfig config = recorder.configs.last();
    QCOMPARE(config.uploadMethod, 2);
    QCOMPARE(config.ftp.server, QStringLiteral("ftp-north.example"));
    QCOMPARE(config.ftp.user, QStringLiteral("artist"));

    // Lines of one method replace only that method's lines, and re-send the record.
    f.panel->SetTransferLink(lines({{"zftx", QVariantMap{{"b", "zftx-b.example"}}}}));
    QCOMPARE(recorder.configs.size(), 2);
    QCOMPARE(recorder.configs.last().ftp.server, QStringLiteral("ftp-north.example"));
    QCOMPARE(recorder.order.mid(3), QStringList({"config", "max 1=5", "max 2=3"}));
    auto* line = f.find<QComboBox>("comTransferLine");
    QCOMPARE(line->count(), 2);
    QCOMPARE(line->currentText(), QStringLiteral("north"));

    f.panel->SetTransferLink({});
    QVERIFY(log.contains(300, QStringLiteral("transferline is empty")));
    QCOMPARE(recorder.configs.size(), 2);
}

void tst_transfer_settings::emptyOfferSendsNothing()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\n");
    kiv_test::LogRecorder log(f.panel.get());
    TransferRecorder recorder(f.panel.get());
    f.panel->CurrentSubCenterChanged({});
    QVERIFY(recorder.order.isEmpty());
    QVERIFY(log.contains(300, QStringLiteral("transfer type is empty")));
    QCOMPARE(f.methods()->count(), 0);
    QVERIFY(f.find<QStackedWidget>("swtTransmisson")->isHidden());

    // Apply then skips the transfer section entirely.
    f.open([] {}, true);
    QVERIFY(!QSettings(f.file(), QSettings::IniFormat).contains("kiv.transfer.1001/zftx.uploadmode"));
    QVERIFY(recorder.order.isEmpty());
}

void tst_transfer_settings::applyWritesOnlyTheChosenMethod()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\nverifymethod=4\nzftx.uploadmode=1\nzftx.uploadtargetrate=3\n"
              "zftx.downloadmode=1\nzftx.downloadtargetrate=3\nzftx.transferlink=keep\n"
              "ftp.maxupload=7\nftp.maxdownload=8\nftp.buffersize=9\n");
    f.panel->SetTransferLink(lines({{"ftp", QVariantMap{{"north", "n"}, {"south", "s"}}}}));
    f.panel->CurrentSubCenterChanged(kAllMethods);
    TransferRecorder recorder(f.panel.get());
    f.open(
        [&] {
            f.methods()->setCurrentIndex(f.methods()->findData("ftp"));
            f.find<QComboBox>("comTransferLine")->setCurrentIndex(1);
        },
        true);
    QSettings file(f.file(), QSettings::IniFormat);
    file.beginGroup("kiv.transfer.1001");
    QCOMPARE(file.value("transfertype").toString(), QStringLiteral("ftp"));
    QCOMPARE(file.value("verifymethod").toInt(), 4);
    QCOMPARE(file.value("ftp.transferlink").toString(), QStringLiteral("south"));
    QCOMPARE(file.value("ftp.maxupload").toInt(), 7);
    QCOMPARE(file.value("zftx.uploadmode").toInt(), 1);
    QCOMPARE(file.value("zftx.uploadtargetrate").toDouble(), 3.0);
    QCOMPARE(file.value("zftx.transferlink").toString(), QStringLiteral("keep"));
    QVERIFY(!file.contains("aspera.uploadmode"));
    file.endGroup();
    QCOMPARE(recorder.configs.size(), 1);
    QCOMPARE(recorder.configs.first().ftp.server, QStringLiteral("s"));

    // ZFTX chosen: the page's modes and rates are written and sent.
    f.open(
        [&] {
            f.methods()->setCurrentIndex(f.methods()->findData("zftx"));
            f.find<QRadioButton>("radUploadDefaultU")->click();
            f.find<QDoubleSpinBox>("spbDownloadSpeedU")->setValue(12.5);
        },
        true);
    QCOMPARE(f.stored("kiv.transfer.1001/zftx.uploadmode").toInt(), 0);
    QCOMPARE(f.stored("kiv.transfer.1001/zftx.downloadmode").toInt(), 1);
    QCOMPARE(f.stored("kiv.transfer.1001/zftx.downloadtargetrate").toDouble(), 12.5);
    // No lines are listed for ZFTX: the stored line name is kept.
    QCOMPARE(f.stored("kiv.transfer.1001/zftx.transferlink").toString(), QStringLiteral("keep"));
    QCOMPARE(recorder.configs.last().zftx.download.rate, 12.5 * 1024 * 1024 / 8);
}

void tst_transfer_settings::methodListDependsOnCredentials()
{
    Fixture f;
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP"}));
    QCOMPARE(f.methodTexts(), QStringList({"FTP", "ZFTX"}));

    f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP"}));
    QCOMPARE(f.methodTexts(), QStringList({"FTP", "ZFTX", "ASPERA"}));
    QCOMPARE(f.methods()->itemData(2).toString(), QStringLiteral("aspera"));

    f.panel->SetTransmissionSecret(credentials("", "secret42"));
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP"}));
    QCOMPARE(f.methodTexts(), QStringList({"FTP", "ZFTX"}));
}

void tst_transfer_settings::pagesFollowTheMethod()
{
    Fixture f;
    f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    f.panel->CurrentSubCenterChanged(kAllMethods);
    f.open(
        [&] {
            f.find<QRadioButton>("BtnTransfer")->click();
            auto* pages = f.find<QStackedWidget>("swtTransmisson");
            f.methods()->setCurrentIndex(1);
            QVERIFY(pages->isVisible());
            QCOMPARE(pages->currentIndex(), 0);
            f.methods()->setCurrentIndex(2);
            QCOMPARE(pages->currentIndex(), 1);
            f.methods()->setCurrentIndex(0);
            QVERIFY(pages->isHidden());
            QVERIFY(f.find<QPushButton>("btnApply")->isEnabled());
        },
        false);
}

void tst_transfer_settings::asperaNotOfferedIsRefused()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\n");
    f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX"}));
    openedUrls.clear();
    f.open(
        [&] {
            for (const QString button : {"cancel", "ok"}) {
                QString text;
                kiv_test::clickInNextModal(button, &text);
                f.methods()->setCurrentIndex(2);
                QCOMPARE(text, QStringLiteral("You have not opened ASPERA, click \"Ok\" to apply online"));
                QCOMPARE(f.methods()->currentData().toString(), QStringLiteral("zftx"));
            }
        },
        false);
    QCOMPARE(openedUrls, QList<QUrl>({QUrl("https://aspera.example/apply")}));
    QCOMPARE(f.stored("kiv.transfer.1001/transfertype").toString(), QStringLiteral("zftx"));
}

void tst_transfer_settings::constantSpeedWarning()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\nzftx.uploadmode=0\nzftx.downloadmode=1\n"
              "zftx.uploadtargetrate=1\nzftx.downloadtargetrate=1\n");
    f.panel->CurrentSubCenterChanged(kAllMethods);
    f.open(
        [&] {
            f.find<QRadioButton>("BtnTransfer")->click();
            auto* warning = f.find<QLabel>("lblTipsU");
            QVERIFY(f.find<QRadioButton>("radUploadDefaultU")->isChecked());
            QVERIFY(f.find<QRadioButton>("radDownloadHighU")->isChecked());
            QVERIFY(warning->isVisible());
            f.find<QRadioButton>("radDownloadDefaultU")->click();
            QVERIFY(!warning->isVisible());
            f.find<QRadioButton>("radUploadHighU")->click();
            QVERIFY(warning->isVisible());
            f.find<QRadioButton>("radUploadDefaultU")->click();
            QVERIFY(!warning->isVisible());
        },
        false);
}

void tst_transfer_settings::offeredMaximaBoundTheRates()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\nzftx.uploadtargetrate=50\nzftx.downloadtargetrate=1\n"
              "zftx.uploadmode=0\nzftx.downloadmode=0\n");
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_ZFTX"}, 1000, 2048));
    auto* upload = f.find<QDoubleSpinBox>("spbUploadSpeedU");
    QCOMPARE(upload->minimum(), 0.0);
    QCOMPARE(upload->maximum(), 7.81);
    // The stored rate above the new maximum is clamped on the page.
    QCOMPARE(upload->value(), 7.81);
    QCOMPARE(f.find<QDoubleSpinBox>("spbDownloadSpeedU")->maximum(), 16.0);
    QCOMPARE(f.find<QLabel>("lblUploadTipsU")->text(), QStringLiteral("Maximum target speed:7.81 Mbps"));
    QCOMPARE(f.find<QLabel>("lblDownloadTipsU")->text(), QStringLiteral("Maximum target speed:16.00 Mbps"));
}

void tst_transfer_settings::credentialsAreRecoveredAndNeverLogged()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=aspera\n");
    QStringList debugLines;
    static QStringList* sink = nullptr;
    sink = &debugLines;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { sink->append(message); });
    const QJsonDocument document = credentials("ann", "s3cret-pass");
    f.panel->SetTransmissionSecret(document);
    qInstallMessageHandler(previous);

    const QString scrambled = document.object()["data"].toObject()["aspera_secret"].toString();
    QVERIFY(!debugLines.join("\n").contains(scrambled));
    QVERIFY(!debugLines.join("\n").contains("s3cret-pass"));
    QVERIFY(debugLines.join("\n").contains("***"));

    TransferRecorder recorder(f.panel.get());
    f.panel->CurrentSubCenterChanged(kAllMethods);
    QCOMPARE(recorder.configs.first().aspera.secret, QStringLiteral("s3cret-pass"));
}

void tst_transfer_settings::malformedCredentialDocuments()
{
    Fixture f;
    f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    f.panel->SetTransmissionSecret(QJsonDocument(QJsonArray{1, 2}));
    f.panel->SetTransmissionSecret(QJsonDocument());
    f.panel->CurrentSubCenterChanged(kAllMethods);
    QCOMPARE(f.methodTexts().size(), 3);

    // Missing members empty the account, which takes Aspera off the list.
    f.panel->SetTransmissionSecret(QJsonDocument(QJsonObject{{"data", "not an object"}}));
    f.panel->CurrentSubCenterChanged(kAllMethods);
    QCOMPARE(f.methodTexts(), QStringList({"FTP", "ZFTX"}));

    // Garbage is decoded as Base64 decodes it, without a crash.
    f.panel->SetTransmissionSecret(QJsonDocument(QJsonObject{
        {"data", QJsonObject{{"aspera_user", "x"}, {"aspera_secret", "%%%\u0000=="}}}}));
}

void tst_transfer_settings::speedTestAppliesClosesAndStartsTheTool()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\n");
    QTemporaryDir tools;
    const QString record = tools.filePath("arguments.txt");
    const QString tool = tools.filePath("kiv_speedtest");
    kiv_test::writeFile(tool, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.part'\nmv '%1.part' '%1'\n")
                                  .arg(record)
                                  .toUtf8());
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toUtf8() + ":" + path);

    f.panel->SetTransferLink(lines({{"zftx", QVariantMap{{"line-a", "a.example"}, {"line-b", "b.example"}}}}));
    f.panel->CurrentSubCenterChanged(kAllMethods);
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    bool closed = false;
    kiv_test::whenModal([&](QWidget*) {
        f.find<QComboBox>("comTransferLine")->setCurrentIndex(1);
        f.find<QPushButton>("BtnSpeedTest")->click();
        closed = !f.panel->isVisible();
    });
    f.panel->ShowConf(false);
    qputenv("PATH", path);

    QVERIFY(closed);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.stored("kiv.transfer.1001/zftx.transferlink").toString(), QStringLiteral("line-b"));
    QTRY_VERIFY(QFile::exists(record));
    QCOMPARE(QString::fromUtf8(kiv_test::readFile(record)),
             QStringLiteral("speed.example.test\nzftx\nline-b\n"));
}

void tst_transfer_settings::speedTestThatCannotStartSaysSo()
{
    Fixture f;
    f.panel->CurrentSubCenterChanged(kAllMethods);
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toUtf8());
    QString message;
    bool answered = false;
    kiv_test::whenModal([&](QWidget*) {
        kiv_test::clickInNextModal(QStringLiteral("ok"), &message, &answered);
        f.find<QPushButton>("BtnSpeedTest")->click();
    });
    f.panel->ShowConf(false);
    qputenv("PATH", path);
    QVERIFY(answered);
    QCOMPARE(message, QStringLiteral("SpeedTest start faild"));
    QVERIFY(!f.panel->isVisible());
}

QTEST_MAIN(tst_transfer_settings)
#include "tst_transfer_settings.moc"
