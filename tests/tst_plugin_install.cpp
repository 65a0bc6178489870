// The 3ds Max plugin install: the copier, its files, the plugin configuration and the panel's runs.

#include "kiv_platform.h"
#include "kiv_pluginoptions.h"
#include "kiv_types.h"
#include "test_support.h"

namespace {

// Temporary 3ds Max, shared data and working folders; the plugin manager with the client's plugin files.
struct Installation {
    explicit Installation(const QString& language = "en")
        : language(language), path(qgetenv("PATH")), previousFolder(QDir::currentPath()), max(maxFolder.path() + "/")
    {
        qputenv("KIV_COMMON_APPDATA", common.path().toUtf8());
        useCopier("");
        qputenv("KIV_FAKE_COPIER_RECORD", work.filePath("copier-runs.jsonl").toUtf8());
        QDir::setCurrent(work.path());
        uninstall.write("[{MAX-18}]\nInstallLocation=" + maxFolder.path().toUtf8() + "\n");
        kiv_test::writeFile(maxFolder.filePath("3dsmax.exe"), "max");
        defaults = "[kiv.general]\nlanguage=kiv_tallowmere_client_" + QByteArray(language == "cn" ? "zh_CN" : "en") + ".qm\n"
                   "[3dsmax]\nanalyzer=3dsmax\nextension=exe\nlowerpluginversion=2.1\n"
                   "[kiv.rendering]\nversion=3dsmax\n3dsmax=\"{MAX-18}&3ds Max 2018 Design\", \"{MAX-X}&3ds Max\"\n";
        sandbox.writeDefaults(defaults);
        shipPlugins(sandbox.appDir());
    }
    ~Installation()
    {
        QDir::setCurrent(previousFolder);
        qputenv("PATH", path);
        for (const char* name : {"KIV_COMMON_APPDATA", "KIV_COPIER_TIMEOUT_MS", "KIV_FAKE_COPIER_RECORD",
                                 "KIV_FAKE_COPIER_RESULT", "KIV_FAKE_COPIER_RELEASE"})
            qunsetenv(name);
    }
    // Puts the copier in `folder` beside this test first on PATH: "" for the real one, "/fake-copier" for the test's own.
    void useCopier(const QString& folder) const { qputenv("PATH", (QCoreApplication::applicationDirPath() + folder + QDir::listSeparator()).toUtf8() + path); }
    // How the fake copier was started: its JSON lines as one array.
    QJsonArray copierRuns() const
    {
        return QJsonDocument::fromJson("[" + kiv_test::readFile(work.filePath("copier-runs.jsonl")).trimmed().replace('\n', ',') + "]").array();
    }
    void shipPlugins(const QString& appDir) const
    {
        kiv_test::writeFile(appDir + "/plugins/3dsmax/3ds Max 2018/" + language + "/TMQ_Rendering_2018.gup", "plugin 2018");
        kiv_test::writeFile(appDir + "/plugins/3dsmax/plugcfg/kiv_plugin.ini", "[General]\nshipped=1\n");
    }
    QString configFile() const { return common.filePath("TMQ Rendering/kiv_plugin.ini"); }

    QString language;
    QByteArray path, defaults;
    QString previousFolder;
    QTemporaryDir common, maxFolder, work;
    kiv_test::UninstallKey uninstall;
    QString max;
    kiv_test::Sandbox sandbox;
    kiv_pluginoptions options{nullptr, nullptr};
};

} // namespace

class tst_plugin_install : public QObject
{
    Q_OBJECT
private slots:
    void installsOneVersionThroughTheCopierOrNothing();
    void copierAndPluginConfiguration();
    void silentThenInteractiveRunFromThePanel();
};

void tst_plugin_install::installsOneVersionThroughTheCopierOrNothing()
{
    // Each case: language, resources removed, resources kept (only the installed language keeps them).
    for (const QStringList& languages : {QStringList{"en", "zh-CN", "en-US"}, QStringList{"cn", "en-US", "zh-CN"}}) {
        Installation installation(languages.at(0));
        // Nothing for a label without version, another program, a version without plugins, a missing folder.
        for (const QString label : {"3ds Max", "Maya 2018", "Houdini 17.5", "3ds Max 2024"})
            QVERIFY(!installation.options.installPlugin(label, installation.max, 1));
        QVERIFY(!installation.options.installPlugin("3ds Max 2018", installation.max + "missing/", 1));
        QDir().mkpath(installation.max + "plugins/zh-CN/nested");
        QDir().mkpath(installation.max + "plugins/en-US/nested");
        QVERIFY(installation.options.installPlugin("3ds Max 2018 Design", installation.max, 1)); // from "3ds Max 2018"
        QCOMPARE(kiv_test::readFile(installation.max + "plugins/TMQ_Rendering_2018.gup"), QByteArray("plugin 2018"));
        QCOMPARE(kiv_test::readFile(installation.configFile()), QByteArray("[General]\nshipped=1\n"));
        QVERIFY(!QFile::exists(installation.max + "plugins/" + languages.at(1)));
        QVERIFY(QFile::exists(installation.max + "plugins/" + languages.at(2)));
    }
}

void tst_plugin_install::copierAndPluginConfiguration()
{
    // The copier's result file: a whole number with blanks around it, removed once read; anything else is -2.
    Installation installation;
    const QList<QPair<QByteArray, int>> results = {
        {"7\n", 7}, {" -3 \r\n", -3}, {"0", 0}, {"", -2}, {" \n", -2}, {"0 files", -2}, {"1 2", -2}};
    for (const auto& [written, code] : results) {
        kiv_test::writeFile("code.ret", written);
        QCOMPARE(installation.options.readRetFile("code.ret"), code);
        QVERIFY(!QFile::exists("code.ret"));
    }

    // The plugin configuration: "ip" only written on creation; an update clears the json folder.
    installation.options.writePluginIni();
    QSettings config(installation.configFile(), QSettings::IniFormat);
    QCOMPARE(QStringList({config.value("ip").toString(), config.value("port").toString(), config.value("lowerversion").toString()}),
             QStringList({"127.0.0.1", "9999", "2.1"}));
    const QString json = config.value("jsondir").toString();
    config.setValue("ip", "10.1.2.3");
    config.sync();
    kiv_test::writeFile(json + "/cache.json", "{}");
    installation.options.onUpdateMaxPluginCfg({{"port", "7001"}});
    config.sync();
    QCOMPARE(QStringList({config.value("ip").toString(), config.value("port").toString()}), QStringList({"10.1.2.3", "7001"}));
    QVERIFY(QFileInfo(json).isDir() && !QFile::exists(json + "/cache.json"));

    // The copier's files in a folder whose name needs quoting (Windows allows no double quote in a name).
#ifdef Q_OS_WIN
    const QString files = installation.work.filePath("copier files A");
#else
    const QString files = installation.work.filePath("copier files \"A\"");
#endif
    QVERIFY(QDir().mkpath(files) && QDir::setCurrent(files));
    installation.useCopier("/fake-copier");
    qputenv("KIV_FAKE_COPIER_RESULT", "0");
    QVERIFY(installation.options.installPlugin("3ds Max 2018", installation.max, 2));
    // Two runs (plugin files, configuration); each read a parameter file from its one absolute argument.
    QJsonArray runs = installation.copierRuns();
    QCOMPARE(runs.size(), 2);
    QCOMPARE(QFileInfo(runs.first()["args"][0].toString()).path(), files);

    // A copier that hangs until released is given up after the timeout: the copy fails, with a box when interactive.
    const QString release = installation.work.filePath("release");
    qunsetenv("KIV_FAKE_COPIER_RESULT");
    qputenv("KIV_FAKE_COPIER_RELEASE", release.toUtf8());
    qputenv("KIV_COPIER_TIMEOUT_MS", "1500");
    QString box;
    kiv_test::clickInNextModal("ok", &box);
    QVERIFY(!installation.options.installPlugin("3ds Max 2018", installation.max, 1));
    QVERIFY(box.startsWith("Update plugin for 3ds Max 2018 falied!"));
    QCOMPARE(QDir::current().entryList({"*.param", "*.ret"}, QDir::Files), QStringList()); // nothing left behind
    QTRY_COMPARE_WITH_TIMEOUT((runs = installation.copierRuns()).size(), 3, 10000);
    const qint64 pid = runs.last()["pid"].toVariant().toLongLong();
    kiv_test::writeFile(release, "");
    QTRY_VERIFY_WITH_TIMEOUT(!kiv_platform::isProcessRunning(pid, "kiv_copy_file.exe"), 30000);
}

void tst_plugin_install::silentThenInteractiveRunFromThePanel()
{
    Installation installation;
    kiv_test::PanelFixture f(QByteArray(), installation.defaults);
    installation.shipPlugins(f.sandbox.appDir());
    QStringList status;
    QObject::connect(f.panel.get(), qOverload<QString>(&kiv_configuration_widget::sigUpdatePluginStatus), [&](QString text) { status << text; });
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    const auto installed = [&] { return f.find<QTableWidget>("twtSoftwareVersion")->model()->index(1, 2).data().toString(); };

    // A user's first press installs silently (a copier that answers nothing marks nothing installed).
    installation.useCopier("/fake-copier");
    qputenv("KIV_FAKE_COPIER_RESULT", "");
    f.open([&] { f.find<QPushButton>("btnPluginInstall")->click(); }, false, true);
    QCOMPARE(installed(), QString());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(kiv_types::getValue("kiv.general/autoinstallplugin", f.sandbox.defaultFile()), QStringLiteral("1"));
    QTRY_COMPARE_WITH_TIMEOUT(status, QStringList({"Automatic Install plugin failed, please install manually", QString()}), 11000); // cleared 10 s later

    // The next press runs interactively through the real copier and reports in a box.
    installation.useCopier("");
    QString report;
    f.open([&] {
        kiv_test::clickInNextModal("ok", &report);
        f.find<QPushButton>("btnPluginInstall")->click();
    }, false, true);
    QCOMPARE(installed(), QStringLiteral("installed"));
    QCOMPARE(report, QStringLiteral("Plugins installed/updated list: \n3ds Max 2018 Design"));
}

QTEST_MAIN(tst_plugin_install)
#include "tst_plugin_install.moc"
