// Transfer settings: what is read per method, what the sub-center offer
// changes, the record sent to the host's transfer engine, the transfer page,
// the speed test, and the lines and credentials the host hands in.

#include "test_support.h"

namespace {

const QByteArray kDefaults = "[kiv.transfer]\nmss=1024\nasperaurl=https://aspera.example/apply\n"
                             "uploadmaxconcurrence=3\ndownloadmaxoncurrence=5\n";
// After every record: the record, then the download and upload concurrency.
const QStringList kSignalOrder = {"config", "max 1=5", "max 2=3"};

QVariantMap offer(std::initializer_list<const char*> methods, double maxUpload = 1000000, double maxDownload = 1000000)
{
    QVariantMap map;
    for (const char* method : methods)
        map.insert(method, QVariantMap{{"max_upload_speed", maxUpload}, {"max_download_speed", maxDownload}});
    return map;
}
const QVariantMap kAllMethods = offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX", "TRANSMISSION_TYPE_ASPERA"});

// An Aspera secret (its Base64 form ending in one '=') scrambled as the service does for user "artist".
QJsonDocument credentials(const QString& user, const QString& secret)
{
    QString inner = QString::fromLatin1(secret.toUtf8().toBase64()).chopped(1);
    inner.insert(inner.size() / 2, QString::fromLatin1(QByteArray("artisttmq").toBase64()).remove('='));
    const QJsonObject data{{"aspera_user", user}, {"aspera_secret", QString::fromLatin1(inner.toUtf8().toBase64())}};
    return QJsonDocument(QJsonObject{{"data", data}, {"ret", 200}});
}

// The records and both concurrency signals in the order they come.
struct TransferRecorder {
    explicit TransferRecorder(kiv_configuration_widget* panel)
    {
        QObject::connect(panel, &kiv_configuration_widget::SigZftxParams, panel,
                         [this](ZftxTransConfig config) { configs << config, order << "config"; });
        QObject::connect(panel, &kiv_configuration_widget::SigMaxConcurrence, panel,
                         [this](ZFTXCMDTYPE type, int count) { order << QStringLiteral("max %1=%2").arg(int(type)).arg(count); });
        QObject::connect(panel, &kiv_configuration_widget::sigConfChanged, panel, [this] { order << "changed"; });
    }
    QList<ZftxTransConfig> configs;
    QStringList order;
};

struct Fixture : kiv_test::PanelFixture {
    explicit Fixture(const QByteArray& userFile = QByteArray(), const QByteArray& defaults = kDefaults)
        : PanelFixture(userFile, defaults) {}
    QComboBox* methods() const { return find<QComboBox>("cmbTransferType"); }
    QString storedTransfer(const char* key) const { return stored(QLatin1String("kiv.transfer.1001/") + key).toString(); }
};

// What an offer of every method sends to a user with these settings and an Aspera account.
TransferRecorder sentFor(const QByteArray& userSection, const QByteArray& defaults = kDefaults)
{
    Fixture f("[kiv.transfer.1001]\n" + userSection, defaults);
    f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    TransferRecorder recorder(f.panel.get());
    f.panel->CurrentSubCenterChanged(kAllMethods);
    return recorder;
}

} // namespace

class tst_transfer_settings : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> openedUrls;
public slots:
    void openUrl(const QUrl& url) { openedUrls << url; }
private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl"); }
    void eachMethodFallsBackAndApplyWritesOnlyTheChosenOne();
    void offerDecidesTheStoredMethodKeepingItsVerifyMethod();
    void recordsFollowTheRateFormulas();
    void methodListDependsOnCredentials();
    void transferPageFollowsTheMethod();
    void transferLinesAndTheSpeedTest();
};

void tst_transfer_settings::eachMethodFallsBackAndApplyWritesOnlyTheChosenOne()
{
    // The user's ZFTX set lacks "zftx.downloadtargetrate": all ZFTX values come from the template.
    Fixture f("[kiv.transfer]\ntransfertype=zftx\nverifymethod=3\nftp.maxupload=1\nftp.buffersize=3\n"
              "zftx.uploadmode=1\nzftx.uploadtargetrate=5\nzftx.downloadmode=1\nzftx.downloadtargetrate=6\n"
              "[kiv.transfer.1001]\ntransfertype=ftp\nftp.maxupload=10\nftp.maxdownload=20\nftp.buffersize=30\n"
              "zftx.uploadmode=0\nzftx.downloadmode=0\nzftx.uploadtargetrate=9\n");
    TransferRecorder recorder(f.panel.get());
    f.panel->CurrentSubCenterChanged(kAllMethods);
    QCOMPARE(recorder.configs.value(0).uploadMethod, 2);
    QVERIFY(f.find<QRadioButton>("radUploadHighU")->isChecked() && f.find<QRadioButton>("radDownloadHighU")->isChecked());
    QCOMPARE(f.find<QDoubleSpinBox>("spbDownloadSpeedU")->value(), 6.0);

    // Apply tells the host of the change before it sends the record; with FTP it writes
    // only the "ftp." keys and "verifymethod" (absent from the user's section: 0).
    recorder.order.clear();
    f.open([] {}, true);
    QCOMPARE(recorder.order, QStringList{"changed"} + kSignalOrder);
    QStringList written;
    for (const char* key : {"1001/ftp.maxupload", "1001/ftp.buffersize", "1001/verifymethod", "1001/zftx.uploadtargetrate",
                            "/ftp.maxupload", "1001/zftx.downloadtargetrate", "1001/aspera.uploadmode"})
        written << f.stored(QStringLiteral("kiv.transfer") + (key[0] == '/' ? "" : ".") + key).toString();
    QCOMPARE(written, (QStringList{"10", "30", "0", "9", "1", "", ""}));
}

void tst_transfer_settings::offerDecidesTheStoredMethodKeepingItsVerifyMethod()
{
    // "zftx" (from the template) stays while offered; without ZFTX it becomes "ftp", written at
    // once with the template's verify method; a later offer of Aspera alone chooses Aspera.
    Fixture f("[kiv.transfer]\ntransfertype=zftx\nverifymethod=1\n");
    f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX"}));
    QCOMPARE(f.methods()->currentData().toString(), QStringLiteral("zftx"));
    TransferRecorder recorder(f.panel.get());
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ASPERA"}));
    f.open([] {}, true);
    for (const ZftxTransConfig& config : qAsConst(recorder.configs))
        QCOMPARE(QString("%1 %2").arg(config.uploadMethod).arg(config.verifyMethod), QStringLiteral("2 1"));
    QCOMPARE(f.storedTransfer("transfertype") + " " + f.storedTransfer("verifymethod"), QStringLiteral("ftp 1"));
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_ASPERA"}));
    QCOMPARE(f.storedTransfer("transfertype"), QStringLiteral("aspera"));
    QCOMPARE(recorder.configs.last().uploadMethod, 1);
    // Unknown methods only change nothing; an empty offer sends nothing.
    f.panel->CurrentSubCenterChanged({{"TRANSMISSION_TYPE_TELEPORT", QVariantMap()}});
    QCOMPARE(f.storedTransfer("transfertype"), QStringLiteral("aspera"));
    recorder.order.clear();
    f.panel->CurrentSubCenterChanged({});
    QVERIFY(recorder.order.isEmpty());

    // A user set while an offer is known starts on an offered method, sending nothing yet.
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX"}));
    kiv_test::writeFile(f.sandbox.userFile("second"), "[kiv.transfer.2002]\ntransfertype=aspera\nverifymethod=2\n");
    recorder.order.clear();
    f.panel->SetCurrentUserInfo(kiv_test::sampleUser("second", "2002"));
    QVERIFY(recorder.order.isEmpty());
    const QSettings second(f.sandbox.userFile("second"), QSettings::IniFormat);
    QCOMPARE(second.value("kiv.transfer.2002/transfertype").toString() + " "
             + second.value("kiv.transfer.2002/verifymethod").toString(), QStringLiteral("ftp 2"));
}

void tst_transfer_settings::recordsFollowTheRateFormulas()
{
    // ZFTX: 8 Mbps fixed with mss 1024; a zero rate keeps the fresh interval; no "maxreconnect" sends 0.
    TransferRecorder sent = sentFor("transfertype=zftx\nverifymethod=2\nzftx.uploadmode=1\nzftx.uploadtargetrate=8\n"
                                    "zftx.downloadmode=0\nzftx.downloadtargetrate=0\n");
    QCOMPARE(sent.order, kSignalOrder);
    ZftxTransConfig c = sent.configs.value(0);
    QCOMPARE(QVector<int>({c.uploadMethod, c.downloadMethod, c.verifyMethod, c.zftx.mss}), QVector<int>({0, 0, 2, 1024}));
    QCOMPARE(QStringList({c.zftx.upload.mode, c.zftx.download.mode}), QStringList({"fixed", "fair"}));
    QCOMPARE(QVector<double>({c.zftx.upload.rate, c.zftx.upload.packetInterval, c.zftx.download.rate,
                              c.zftx.download.packetInterval, double(c.maxReconnect)}),
             QVector<double>({1048576.0, 1054.6875, 0.0, 100.0, 0.0}));
    // An unknown stored mode keeps the fresh mode; a negative rate the fresh interval.
    c = sentFor("transfertype=zftx\nzftx.uploadmode=0\nzftx.downloadmode=5\nzftx.uploadtargetrate=-2\n"
                "zftx.downloadtargetrate=4\n").configs.value(0);
    QCOMPARE(c.zftx.download.mode, QString());
    QCOMPARE(QVector<double>({c.zftx.upload.rate, c.zftx.upload.packetInterval, c.zftx.download.packetInterval}),
             QVector<double>({-262144.0, 100.0, 2109.375}));
    // Aspera: 10.3 Mbps gives 1318 KB/s, mode 0 policy 2, an unknown mode the fresh policy 1.
    c = sentFor("transfertype=aspera\naspera.uploadmode=0\naspera.uploadtargetrate=10.3\naspera.downloadmode=7\n"
                "aspera.downloadtargetrate=2\n", kDefaults + "maxreconnect=12\n").configs.value(0);
    QCOMPARE(QVector<qint64>({c.uploadMethod, c.aspera.uploadRate, c.aspera.uploadPolicy, c.aspera.downloadRate,
                              c.aspera.downloadPolicy, c.maxReconnect}),
             QVector<qint64>({1, 1318, 2, 256, 1, 12}));
    QCOMPARE(QStringList({c.aspera.user, c.aspera.secret}), QStringList({"ann", "secret42"}));
}

void tst_transfer_settings::methodListDependsOnCredentials()
{
    Fixture f;
    static QStringList debugLines;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { debugLines << message; });
    // The document is written to the panel's debug category, off by default.
    QLoggingCategory::setFilterRules(QStringLiteral("kiv.*.debug=true"));
    auto listedAfter = [&](const QJsonDocument& document) {
        f.panel->SetTransmissionSecret(document);
        f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP"}));
        return f.methods()->count();
    };
    QCOMPARE(listedAfter(QJsonDocument()), 2);
    QCOMPARE(listedAfter(credentials("ann", "s3cret-pass")), 3);
    // A document that is not an object changes nothing; one lacking members empties the account.
    QCOMPARE(listedAfter(QJsonDocument(QJsonArray{1, 2})), 3);
    QCOMPARE(listedAfter(QJsonDocument(QJsonObject{{"data", "not an object"}})), 2);
    QCOMPARE(listedAfter(credentials("", "secret42")), 2);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    // The secret, scrambled or not, never reaches the debug output.
    const QString logged = debugLines.join('\n');
    QVERIFY(!logged.contains(credentials("ann", "s3cret-pass")["data"]["aspera_secret"].toString()));
    QVERIFY(!logged.contains("s3cret-pass") && logged.contains("\"aspera_secret\":\"***\""));
}

void tst_transfer_settings::transferPageFollowsTheMethod()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\nzftx.uploadmode=0\nzftx.downloadmode=1\n"
              "zftx.uploadtargetrate=50\nzftx.downloadtargetrate=1\n");
    f.panel->SetTransmissionSecret(credentials("ann", "secret42"));
    // A 1000 KB/s maximum: 0 to 7.81 Mbps, the stored rate clamped, two decimals in the label.
    f.panel->CurrentSubCenterChanged(offer({"TRANSMISSION_TYPE_FTP", "TRANSMISSION_TYPE_ZFTX"}, 1000, 2048));
    auto* upload = f.find<QDoubleSpinBox>("spbUploadSpeedU");
    QCOMPARE(QVector<double>({upload->minimum(), upload->maximum(), upload->value()}), QVector<double>({0.0, 7.81, 7.81}));

    auto* pages = f.find<QStackedWidget>("swtTransmisson");
    openedUrls.clear();
    f.open([&] {
        f.find<QRadioButton>("BtnTransfer")->click();
        QVERIFY(pages->isVisible() && pages->currentIndex() == 0);
        // Aspera not offered: a box; either answer returns to ZFTX, OK also opens the application page.
        for (const QString button : {"cancel", "ok"}) {
            kiv_test::clickInNextModal(button);
            f.methods()->setCurrentIndex(2);
            QCOMPARE(f.methods()->currentData().toString(), QStringLiteral("zftx"));
        }
        f.methods()->setCurrentIndex(0);
        QVERIFY(pages->isHidden());
    }, false);
    QCOMPARE(openedUrls, QList<QUrl>({QUrl("https://aspera.example/apply")}));
    // Offered, Aspera has the second page.
    f.panel->CurrentSubCenterChanged(kAllMethods);
    f.methods()->setCurrentIndex(2);
    QVERIFY(pages->currentIndex() == 1 && !pages->isHidden());
}

void tst_transfer_settings::transferLinesAndTheSpeedTest()
{
    Fixture f("[kiv.transfer.1001]\ntransfertype=zftx\nzftx.uploadmode=1\nzftx.uploadtargetrate=3\n"
              "zftx.downloadmode=1\nzftx.downloadtargetrate=3\nzftx.transferlink=gone\n");
    TransferRecorder recorder(f.panel.get());
    // Lines before any offer are only kept; a stale line name then selects the first line.
    f.panel->SetTransferLink({{"zftx", QVariantMap{{"line-a", "a.example"}, {"line-b", "b.example"}}},
                              {"ftp", QVariantMap{{"north", "ftp-north.example"}}}});
    QVERIFY(recorder.configs.isEmpty());
    f.panel->CurrentSubCenterChanged(kAllMethods);
    QCOMPARE(recorder.configs.value(0).zftx.server, QStringLiteral("a.example"));
    // After an offer, one method's lines replace only that method's and re-send the record.
    f.panel->SetTransferLink({{"ftp", QVariantMap{{"south", "ftp-south.example"}}}});
    QCOMPARE(recorder.order.mid(3), kSignalOrder);
    QCOMPARE(recorder.configs.value(1).zftx.server, QStringLiteral("a.example"));
    QCOMPARE(f.find<QComboBox>("comTransferLine")->count(), 2);

    // The speed test applies, closes the panel, then starts the tool (here one on PATH
    // that records its arguments, tests/fake_speedtest) with the server, the method and the line.
    QTemporaryDir tools;
    const QString record = tools.filePath("arguments.txt");
    qputenv("KIV_FAKE_SPEEDTEST_RECORD", record.toUtf8());
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QCoreApplication::applicationDirPath().toUtf8() + "/fake-speedtest" + QString(QDir::listSeparator()).toUtf8() + path);
    // Pressed inside the open panel, after edits that it applies first.
    bool stayedOpen = true;
    kiv_test::whenModal([&](QWidget*) {
        f.find<QRadioButton>("radUploadDefaultU")->click();
        f.find<QDoubleSpinBox>("spbDownloadSpeedU")->setValue(12.5);
        f.find<QComboBox>("comTransferLine")->setCurrentIndex(1);
        f.find<QPushButton>("BtnSpeedTest")->click();
        if ((stayedOpen = f.panel->isVisible()))
            f.find<QPushButton>("btnClose")->click();
    });
    f.panel->ShowConf(false);
    QVERIFY(!stayedOpen);
    QCOMPARE(QStringList({f.storedTransfer("zftx.uploadmode"), f.storedTransfer("zftx.downloadtargetrate"),
                          f.storedTransfer("zftx.transferlink")}), QStringList({"0", "12.5", "line-b"}));
    QCOMPARE(recorder.configs.last().zftx.download.rate, 12.5 * 1024 * 1024 / 8);
    QTRY_COMPARE(kiv_test::readFile(record), QByteArray("speed.example.test\nzftx\nline-b\n"));

    // Without the tool, a box says so.
    qputenv("PATH", path);
    QString message;
    kiv_test::clickInNextModal("ok", &message);
    f.find<QPushButton>("BtnSpeedTest")->click();
    qunsetenv("KIV_FAKE_SPEEDTEST_RECORD");
    QCOMPARE(message, QStringLiteral("SpeedTest start faild"));
}

QTEST_MAIN(tst_transfer_settings)
#include "tst_transfer_settings.moc"
