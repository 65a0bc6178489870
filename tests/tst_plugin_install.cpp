// The 3ds Max plugin install: one version through the real copier, the
// copier's files and how it is started, the plugin configuration and the
// panel's install runs.

#include "kiv_platform.h"
#include "kiv_pluginoptions.h"
#include "kiv_types.h"
#include "test_support.h"

namespace {

QStringList firstArguments(const QSignalSpy& spy)
{
    QStringList texts;
    for (const QList<QVariant>& arguments : spy)
        texts << arguments.value(0).toString();
    return texts;
}

// A 3ds Max folder, the shared data folder and a working folder, all
// temporary, with the real copier (built beside this test) on PATH; the
// plugin manager on its own with the client's plugin files, its log recorded.
struct Installation {
    explicit Installation(const QString& language = "en")
        : language(language), path(qgetenv("PATH")), previousFolder(QDir::currentPath()), max(maxFolder.path() + "/")
    {
        qputenv("KIV_COMMON_APPDATA", common.path().toUtf8());
        qputenv("PATH", QCoreApplication::applicationDirPath().toUtf8() + separator + path);
        QDir::setCurrent(work.path());
        uninstall.write("[{MAX-18}]\nInstallLocation=" + maxFolder.path().toUtf8() + "\n");
        kiv_test::writeFile(maxFolder.filePath("3dsmax.exe"), "max");
        defaults = "[kiv.general]\nlanguage=kiv_tallowmere_client_" + QByteArray(language == "cn" ? "zh_CN" : "en") + ".qm\n"
                   "[3dsmax]\nanalyzer=3dsmax\nextension=exe\nlowerpluginversion=2.1\n"
                   "[kiv.rendering]\nversion=3dsmax&maya\n"
                   "3dsmax=\"{MAX-18}&3ds Max 2018 Design\", \"{MAX-X}&3ds Max\"\nmaya=\"{MAYA-18}&Maya 2018\"\n";
        sandbox.writeDefaults(defaults);
        shipPlugins(sandbox.appDir());
        QObject::connect(&options, &kiv_pluginoptions::sigLog, &options,
                         [this](int level, QString message, const wchar_t*, int) { log << QString::number(level) + " " + message; });
    }
    ~Installation()
    {
        QDir::setCurrent(previousFolder);
        qputenv("PATH", path);
        qunsetenv("KIV_COMMON_APPDATA");
        qunsetenv("KIV_COPIER_TIMEOUT_MS");
        for (const char* name : {"KIV_FAKE_COPIER_RECORD", "KIV_FAKE_COPIER_RESULT", "KIV_FAKE_COPIER_RELEASE"})
            qunsetenv(name);
    }
    // Puts the test's copier first on PATH: each start is recorded, and its
    // result file gets `result` unless that is null.
    void useFakeCopier(const QByteArray& result) const
    {
        qputenv("PATH", QCoreApplication::applicationDirPath().toUtf8() + "/fake-copier" + separator + path);
        qputenv("KIV_FAKE_COPIER_RECORD", work.filePath("copier-runs.jsonl").toUtf8());
        result.isNull() ? qunsetenv("KIV_FAKE_COPIER_RESULT") : qputenv("KIV_FAKE_COPIER_RESULT", result);
    }
    // How the fake copier was started, one object per run.
    QList<QJsonObject> copierRuns() const
    {
        QList<QJsonObject> runs;
        for (const QByteArray& line : kiv_test::readFile(work.filePath("copier-runs.jsonl")).split('\n'))
            if (!line.isEmpty())
                runs << QJsonDocument::fromJson(line).object();
        return runs;
    }
    void shipPlugins(const QString& appDir) const
    {
        kiv_test::writeFile(appDir + "/plugins/3dsmax/3ds Max 2018/" + language + "/TMQ_Rendering_2018.gup", "plugin 2018");
        kiv_test::writeFile(appDir + "/plugins/3dsmax/3ds Max 2018/" + language + "/scripts/startup.ms", "startup");
        kiv_test::writeFile(appDir + "/plugins/3dsmax/plugcfg/kiv_plugin.ini", "[General]\nshipped=1\n");
    }
    QString configFile() const { return common.filePath("TMQ Rendering/kiv_plugin.ini"); }
    QStringList copierLeftovers() const { return QDir::current().entryList({"*.param", "*.ret"}, QDir::Files); }
    bool logged(const QString& start) const
    {
        return std::any_of(log.begin(), log.end(), [&](const QString& line) { return line.startsWith(start); });
    }

    QString language;
    QByteArray path, defaults;
    QString previousFolder;
    QTemporaryDir common, maxFolder, work;
    kiv_test::UninstallKey uninstall;
    const QByteArray separator = QString(QDir::listSeparator()).toUtf8();
    QString max;
    kiv_test::Sandbox sandbox;
    kiv_pluginoptions options{nullptr, nullptr};
    QStringList log;
};

} // namespace

class tst_plugin_install : public QObject
{
    Q_OBJECT
private slots:
    void installsOneVersionThroughTheCopier();
    void versionsThatCannotBeInstalled();
    void copierFilesAndPluginConfiguration();
    void copierFindsItsFilesFromAnyFolderAndOnlyAWholeZeroInstalls();
    void hangingCopierIsLeftRunning();
    void silentThenInteractiveRunFromThePanel();
};

void tst_plugin_install::installsOneVersionThroughTheCopier()
{
    // The four-word label installs from the three-word folder; only the installed
    // language keeps its resources. Each case: language, resources removed, resources kept.
    for (const QStringList& languages : {QStringList{"en", "zh-CN", "en-US"}, QStringList{"cn", "en-US", "zh-CN"}}) {
        Installation installation(languages.at(0));
        QDir().mkpath(installation.max + "plugins/zh-CN/nested");
        QDir().mkpath(installation.max + "plugins/en-US/nested");
        QVERIFY(installation.options.installPlugin("3ds Max 2018 Design", installation.max, 1));
        QCOMPARE(kiv_test::readFile(installation.max + "plugins/TMQ_Rendering_2018.gup"), QByteArray("plugin 2018"));
        QCOMPARE(kiv_test::readFile(installation.max + "plugins/scripts/startup.ms"), QByteArray("startup"));
        QCOMPARE(kiv_test::readFile(installation.configFile()), QByteArray("[General]\nshipped=1\n"));
        QVERIFY(!QFile::exists(installation.max + "plugins/" + languages.at(1)));
        QVERIFY(QFile::exists(installation.max + "plugins/" + languages.at(2)));
        QCOMPARE(installation.copierLeftovers(), QStringList());
    }
}

void tst_plugin_install::versionsThatCannotBeInstalled()
{
    Installation installation;
    for (const QString label : {"3ds Max", "Maya 2018", "Houdini 17.5", "3ds Max 2024"})
        QVERIFY(!installation.options.installPlugin(label, installation.max, 1));
    QVERIFY(!installation.options.installPlugin("3ds Max 2018", installation.max + "missing/", 1));
    QVERIFY(!QFile::exists(installation.max + "plugins"));

    // A copier failure code fails the version: silently with a status text, else with a box.
    kiv_test::writeFile(installation.max + "plugins", "in the way of the copier's destination folder");
    QSignalSpy status(&installation.options, qOverload<QString>(&kiv_pluginoptions::sigUpdateStatus));
    QVERIFY(!installation.options.installPlugin("3ds Max 2018", installation.max, 0));
    QCOMPARE(firstArguments(status), QStringList({"Automatic Install plugin failed, please install manually"}));
    bool boxShown = false;
    kiv_test::clickInNextModal("ok", nullptr, &boxShown);
    QVERIFY(!installation.options.installPlugin("3ds Max 2018", installation.max, 1));
    QVERIFY(boxShown);
    QCOMPARE(installation.copierLeftovers(), QStringList());
}

void tst_plugin_install::copierFilesAndPluginConfiguration()
{
    Installation installation;
    // The parameter file: three strings through QDataStream, in the current folder under an absolute name.
    QFile param(installation.options.writeParamFile("C:/plugins/*", "D:/Max/plugins/", "42.ret"));
    QVERIFY(param.open(QIODevice::ReadOnly));
    QCOMPARE(QFileInfo(param.fileName()).path(), QDir::currentPath());
    QDataStream stream(&param);
    QString source, destination, result;
    stream >> source >> destination >> result;
    QCOMPARE(QStringList({source, destination, result}), QStringList({"C:/plugins/*", "D:/Max/plugins/", "42.ret"}));
    // The result file: a whole number, blanks around it allowed, removed once
    // read; anything else reads as -2 and is logged, a missing file as -1.
    const QList<QPair<QByteArray, int>> results = {
        {"7\n", 7}, {" -3 \r\n", -3}, {"0", 0}, {"", -2}, {" \n", -2}, {"0 files", -2}, {"1 2", -2}};
    for (const auto& [written, code] : results) {
        kiv_test::writeFile("code.ret", written);
        installation.log.clear();
        QCOMPARE(installation.options.readRetFile("code.ret"), code);
        QCOMPARE(installation.log.contains("300 result file code.ret holds no exit code"), code == -2);
        QVERIFY(!QFile::exists("code.ret"));
    }
    QCOMPARE(installation.options.readRetFile("missing.ret"), -1);

    // The plugin configuration: "ip" only written on creation; an update clears the json folder.
    installation.options.writePluginIni();
    QSettings created(installation.configFile(), QSettings::IniFormat);
    QCOMPARE(QStringList({created.value("ip").toString(), created.value("port").toString(), created.value("lowerversion").toString()}),
             QStringList({"127.0.0.1", "9999", "2.1"}));
    const QString json = created.value("jsondir").toString();
    QSettings(installation.configFile(), QSettings::IniFormat).setValue("ip", "10.1.2.3");
    kiv_test::writeFile(json + "/cache.json", "{}");
    installation.options.onUpdateMaxPluginCfg({{"port", "7001"}});
    QSettings updated(installation.configFile(), QSettings::IniFormat);
    QCOMPARE(QStringList({updated.value("ip").toString(), updated.value("port").toString()}), QStringList({"10.1.2.3", "7001"}));
    QVERIFY(QFileInfo(json).isDir() && !QFile::exists(json + "/cache.json"));
}

void tst_plugin_install::copierFindsItsFilesFromAnyFolderAndOnlyAWholeZeroInstalls()
{
    // The files lie in a folder whose name needs quoting on a command line
    // (Windows allows no double quote in a name, only the space).
    Installation installation;
#ifdef Q_OS_WIN
    const QString files = installation.work.filePath("copier files A");
#else
    const QString files = installation.work.filePath("copier files \"A\"");
#endif
    QVERIFY(QDir().mkpath(files) && QDir::setCurrent(files));
    installation.useFakeCopier("0");
    QVERIFY(installation.options.installPlugin("3ds Max 2018", installation.max, 2));
    // One run for the plugin files, one for the configuration: each gets the parameter file as one
    // absolute argument and starts in its folder, and the result file it names is absolute too.
    const QList<QJsonObject> runs = installation.copierRuns();
    QCOMPARE(runs.size(), 2);
    for (const QJsonObject& run : runs) {
        const QStringList arguments = run.value("args").toVariant().toStringList();
        const QStringList params = run.value("params").toVariant().toStringList();
        QVERIFY(arguments.size() == 1 && arguments.first().endsWith(".param") && params.size() == 3);
        QCOMPARE(QFileInfo(arguments.first()).path(), files);
        QCOMPARE(QFileInfo(run.value("cwd").toString()).canonicalFilePath(), QFileInfo(files).canonicalFilePath());
        QCOMPARE(QFileInfo(params.at(2)).path(), files);
    }
    installation.useFakeCopier("0 files copied");
    QVERIFY(!installation.options.installPlugin("3ds Max 2018", installation.max, 2));
    QVERIFY(installation.logged("300 copy file exit(-2)."));
    QCOMPARE(installation.copierLeftovers(), QStringList());

    // The version table marks a version installed only when the copier said 0.
    kiv_test::PanelFixture f(QByteArray(), installation.defaults);
    installation.shipPlugins(f.sandbox.appDir());
    auto* table = f.find<QTableWidget>("twtSoftwareVersion");
    const auto status = [table] { return table->item(1, 2) ? table->item(1, 2)->text() : QString(); };
    installation.useFakeCopier("");
    f.panel->OnPluginInstall(0);
    QCOMPARE(table->item(1, 0)->text(), QStringLiteral("3ds Max 2018 Design"));
    QVERIFY(status() != "installed");
    installation.useFakeCopier("0\n");
    f.panel->OnPluginInstall(0);
    QCOMPARE(status(), QStringLiteral("installed"));
}

void tst_plugin_install::hangingCopierIsLeftRunning()
{
    // Given up after the timeout: the copy fails while the copier still runs.
    Installation installation;
    const QString release = installation.work.filePath("release");
    installation.useFakeCopier(QByteArray());
    qputenv("KIV_FAKE_COPIER_RELEASE", release.toUtf8());
    qputenv("KIV_COPIER_TIMEOUT_MS", "1500");
    QVERIFY(!installation.options.installPlugin("3ds Max 2018", installation.max, 2));
    QVERIFY(installation.logged("300 copy file exit(-1)."));
    QCOMPARE(installation.copierLeftovers(), QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(installation.copierRuns().size(), 1, 10000);
    const qint64 pid = installation.copierRuns().first().value("pid").toVariant().toLongLong();
    QVERIFY(kiv_platform::isProcessRunning(pid, "kiv_copy_file.exe"));
    kiv_test::writeFile(release, "");
    QTRY_VERIFY_WITH_TIMEOUT(!kiv_platform::isProcessRunning(pid, "kiv_copy_file.exe"), 30000);
}

void tst_plugin_install::silentThenInteractiveRunFromThePanel()
{
    Installation installation;
    kiv_test::PanelFixture f(QByteArray(), installation.defaults);
    installation.shipPlugins(f.sandbox.appDir());
    QSignalSpy status(f.panel.get(), qOverload<QString>(&kiv_configuration_widget::sigUpdatePluginStatus));
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    QSignalSpy request(f.panel.get(), &kiv_configuration_widget::sigInstallPlugin);
    auto* table = f.find<QTableWidget>("twtSoftwareVersion");

    // The first press of a user whose mode is 0 installs silently, and the status clears 10 s later.
    f.open([&] { f.find<QPushButton>("btnPluginInstall")->click(); }, false, true);
    QCOMPARE(firstArguments(request), QStringList({"0"}));
    QCOMPARE(table->item(0, 0)->text() + "|" + table->item(1, 2)->text(), QStringLiteral("3ds Max|installed"));
    QCOMPARE(f.general.pluginInstallMode, 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(kiv_types::getValue("kiv.general/autoinstallplugin", f.sandbox.defaultFile()), QStringLiteral("1"));
    QCOMPARE(f.panel->GetGeneralOpt("autoinstallplugin"), QVariant(1));
    QVERIFY(status.isEmpty() && status.wait(11000));
    QCOMPARE(firstArguments(status), QStringList({QString()}));
    status.clear();

    // The next press runs interactively and reports in a box.
    QString report;
    f.open([&] {
        kiv_test::clickInNextModal("ok", &report);
        f.find<QPushButton>("btnPluginInstall")->click();
    }, false, true);
    QCOMPARE(report, QStringLiteral("Plugins installed/updated list: \n3ds Max 2018 Design"));
    QCOMPARE(firstArguments(status), QStringList({"Plugins are installing...", "Install finish!", QString()}));
    QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(tst_plugin_install)
#include "tst_plugin_install.moc"
