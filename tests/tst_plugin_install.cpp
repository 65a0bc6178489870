// The 3ds Max plugin install: one version through the real copier, the
// copier's files, the plugin configuration and the panel's install runs.

#include "kiv_configuration_widget.h"
#include "kiv_pluginoptions.h"
#include "kiv_types.h"
#include "test_support.h"

#include <QDataStream>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

namespace {

// The client's plugin files, a 3ds Max folder, the shared data folder and a
// working folder for the copier's files, all temporary; the real copier
// (built beside this test) on PATH.
struct Installation {
    explicit Installation(const QByteArray& language = "kiv_tallowmere_client_en.qm")
        : path(qgetenv("PATH")), previousFolder(QDir::currentPath())
    {
        qputenv("KIV_COMMON_APPDATA", common.path().toUtf8());
        qputenv("KIV_UNINSTALL_REGISTRY", QByteArray());
        qputenv("PATH", copierFolder().toUtf8() + ":" + path);
        QDir::setCurrent(work.path());
        max = maxFolder.path() + "/";
        registry = "[{MAX-18}]\nInstallLocation=" + maxFolder.path().toUtf8() + "\n";
        defaults = "[kiv.general]\nlanguage=" + language + "\n"
                   "[3dsmax]\nanalyzer=3dsmax\nextension=exe\nlowerpluginversion=2.1\n"
                   "[kiv.rendering]\nversion=3dsmax&maya\n"
                   "3dsmax=\"{MAX-18}&3ds Max 2018 Design\", \"{MAX-X}&3ds Max\"\n"
                   "maya=\"{MAYA-18}&Maya 2018\"\n";
        kiv_test::writeFile(maxFolder.filePath("3dsmax.exe"), "max");
    }
    ~Installation()
    {
        QDir::setCurrent(previousFolder);
        qputenv("PATH", path);
        qunsetenv("KIV_COMMON_APPDATA");
        qunsetenv("KIV_UNINSTALL_REGISTRY");
        qunsetenv("KIV_COPIER_TIMEOUT_MS");
    }

    static QString copierFolder() { return QCoreApplication::applicationDirPath(); }

    // The plugin files the client ships, under an application folder.
    void shipPlugins(const QString& appDir, const QString& languageFolder = "en")
    {
        const QString source = appDir + "/plugins/3dsmax/3ds Max 2018/" + languageFolder;
        QDir().mkpath(source + "/scripts");
        kiv_test::writeFile(source + "/TMQ_Rendering_2018.gup", "plugin 2018");
        kiv_test::writeFile(source + "/scripts/startup.ms", "startup");
        QDir().mkpath(appDir + "/plugins/3dsmax/plugcfg");
        kiv_test::writeFile(appDir + "/plugins/3dsmax/plugcfg/kiv_plugin.ini", "[General]\nshipped=1\n");
    }

    QString configFile() const { return common.filePath("TMQ Rendering/kiv_plugin.ini"); }
    QStringList copierLeftovers() const
    {
        return QDir(work.path()).entryList({"*.param", "*.ret"}, QDir::Files);
    }

    QByteArray path;
    QString previousFolder;
    QTemporaryDir common;
    QTemporaryDir maxFolder;
    QTemporaryDir work;
    QString max;
    QByteArray registry;
    QByteArray defaults;
};

// The plugin manager on its own, with its application folder.
struct Manager {
    explicit Manager(Installation& installation)
    {
        sandbox.writeDefaults(installation.defaults);
        installation.shipPlugins(sandbox.appDir());
        QObject::connect(&options, &kiv_pluginoptions::sigLog, &options,
                         [this](int level, QString message, const wchar_t*, int) { log << qMakePair(level, message); });
    }
    bool logged(int level, const QString& start) const
    {
        return std::any_of(log.begin(), log.end(), [&](const QPair<int, QString>& line) {
            return line.first == level && line.second.startsWith(start);
        });
    }
    kiv_test::Sandbox sandbox;
    kiv_pluginoptions options{nullptr, nullptr};
    QList<QPair<int, QString>> log;
};

QStringList statusTexts(const QSignalSpy& spy)
{
    QStringList texts;
    for (const QList<QVariant>& arguments : spy)
        texts << arguments.value(0).toString();
    return texts;
}

} // namespace

class tst_plugin_install : public QObject
{
    Q_OBJECT
private slots:
    void installsOneVersionThroughTheCopier();
    void chineseInstallRemovesTheEnglishResources();
    void labelsThatCannotBeInstalled();
    void copierFailureFailsTheVersion();
    void copierThatNeverEndsIsGivenUp();
    void copierFiles();
    void pluginConfigurationKeepsTheHostsAddress();
    void silentThenInteractiveRunFromThePanel();
};

void tst_plugin_install::installsOneVersionThroughTheCopier()
{
    Installation installation;
    Manager manager(installation);
    QDir().mkpath(installation.max + "plugins/zh-CN");
    QDir().mkpath(installation.max + "plugins/en-US");

    QVERIFY(manager.options.installPlugin(QStringLiteral("3ds Max 2018 Design"), installation.max, 1));
    QCOMPARE(kiv_test::readFile(installation.max + "plugins/TMQ_Rendering_2018.gup"), QByteArray("plugin 2018"));
    QCOMPARE(kiv_test::readFile(installation.max + "plugins/scripts/startup.ms"), QByteArray("startup"));
    QCOMPARE(kiv_test::readFile(installation.configFile()), QByteArray("[General]\nshipped=1\n"));
    // Only the installed language keeps its resources.
    QVERIFY(!QFile::exists(installation.max + "plugins/zh-CN"));
    QVERIFY(QFile::exists(installation.max + "plugins/en-US"));
    QVERIFY(manager.logged(300, QStringLiteral("copy file exit(0).")));
    QCOMPARE(installation.copierLeftovers(), QStringList());
}

void tst_plugin_install::chineseInstallRemovesTheEnglishResources()
{
    Installation installation("kiv_tallowmere_client_zh_CN.qm");
    Manager manager(installation);
    installation.shipPlugins(manager.sandbox.appDir(), "cn");
    QDir().mkpath(installation.max + "plugins/en-US/nested");
    QDir().mkpath(installation.max + "plugins/zh-CN");
    QVERIFY(manager.options.installPlugin(QStringLiteral("3ds Max 2018"), installation.max, 1));
    QVERIFY(!QFile::exists(installation.max + "plugins/en-US"));
    QVERIFY(QFile::exists(installation.max + "plugins/zh-CN"));
}

void tst_plugin_install::labelsThatCannotBeInstalled()
{
    Installation installation;
    Manager manager(installation);
    QVERIFY(!manager.options.installPlugin(QStringLiteral("3ds Max"), installation.max, 1));
    QVERIFY(manager.logged(300, QStringLiteral("Error max version: 3ds Max")));
    QVERIFY(!manager.options.installPlugin(QStringLiteral("Maya 2018"), installation.max, 1));
    QVERIFY(!manager.options.installPlugin(QStringLiteral("3ds Max 2018"), installation.max + "missing/", 1));
    QVERIFY(!manager.options.installPlugin(QStringLiteral("3ds Max 2024"), installation.max, 1));
    QVERIFY(manager.logged(300, QStringLiteral("Plugins for 3ds Max 2024 not exist!!")));
    QVERIFY(!QFile::exists(installation.max + "plugins"));
}

void tst_plugin_install::copierFailureFailsTheVersion()
{
    Installation installation;
    Manager manager(installation);
    // "plugins" is a file, so the copier cannot make its destination folder.
    kiv_test::writeFile(installation.max + "plugins", "in the way");
    QSignalSpy status(&manager.options, qOverload<QString>(&kiv_pluginoptions::sigUpdateStatus));
    QVERIFY(!manager.options.installPlugin(QStringLiteral("3ds Max 2018"), installation.max, 0));
    QVERIFY(!manager.logged(300, QStringLiteral("copy file exit(0).")));
    QVERIFY(manager.logged(300, QStringLiteral("copy file exit(")));
    QCOMPARE(statusTexts(status), QStringList({"Automatic Install plugin failed, please install manually"}));

    QString box;
    kiv_test::clickInNextModal(QStringLiteral("ok"), &box);
    QVERIFY(!manager.options.installPlugin(QStringLiteral("3ds Max 2018"), installation.max, 1));
    QCOMPARE(box, QStringLiteral("Update plugin for 3ds Max 2018 falied! \nPlease close 3ds Max 2018 application and try again!"));
    QVERIFY(manager.logged(300, QStringLiteral("Plugins for 3ds Max 2018 install failed!")));
    QCOMPARE(installation.copierLeftovers(), QStringList());
}

void tst_plugin_install::copierThatNeverEndsIsGivenUp()
{
    Installation installation;
    Manager manager(installation);
    qputenv("PATH", QCoreApplication::applicationDirPath().toUtf8() + "/hanging-copier:" + installation.path);
    qputenv("KIV_COPIER_TIMEOUT_MS", "1500");
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!manager.options.installPlugin(QStringLiteral("3ds Max 2018"), installation.max, 2));
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(manager.logged(300, QStringLiteral("copy file exit(-1).")));
}

void tst_plugin_install::copierFiles()
{
    Installation installation;
    Manager manager(installation);
    const QString param = manager.options.writeParamFile("C:/plugins/*", "D:/Max/plugins/", "42.ret");
    QVERIFY(param.endsWith(".param"));
    QFile file(param);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDataStream stream(&file);
    QString source, destination, result;
    stream >> source >> destination >> result;
    QCOMPARE(QStringList({source, destination, result}), QStringList({"C:/plugins/*", "D:/Max/plugins/", "42.ret"}));

    kiv_test::writeFile("7.ret", "7\n");
    QCOMPARE(manager.options.readRetFile("7.ret"), 7);
    QVERIFY(!QFile::exists("7.ret"));
    QCOMPARE(manager.options.readRetFile("missing.ret"), -1);
    QVERIFY(manager.logged(300, QStringLiteral("open file missing.ret failed, ")));
    QVERIFY(manager.logged(300, QStringLiteral("remove file missing.ret failed, ")));
}

void tst_plugin_install::pluginConfigurationKeepsTheHostsAddress()
{
    Installation installation;
    Manager manager(installation);
    manager.options.writePluginIni();
    QSettings created(installation.configFile(), QSettings::IniFormat);
    QCOMPARE(created.value("ip").toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(created.value("port").toString(), QStringLiteral("9999"));
    QCOMPARE(created.value("lowerversion").toString(), QStringLiteral("2.1"));
    const QString json = created.value("jsondir").toString();
    QVERIFY(QFileInfo(json).isDir());

    QSettings(installation.configFile(), QSettings::IniFormat).setValue("ip", "10.1.2.3");
    kiv_test::writeFile(json + "/cache.json", "{}");
    manager.options.onUpdateMaxPluginCfg({{"port", "7001"}});
    QSettings updated(installation.configFile(), QSettings::IniFormat);
    QCOMPARE(updated.value("ip").toString(), QStringLiteral("10.1.2.3"));
    QCOMPARE(updated.value("port").toString(), QStringLiteral("7001"));
    QVERIFY(QFileInfo(json).isDir());
    QVERIFY(!QFile::exists(json + "/cache.json"));
}

void tst_plugin_install::silentThenInteractiveRunFromThePanel()
{
    Installation installation;
    kiv_test::writeFile(installation.work.filePath("uninstall.ini"), installation.registry);
    qputenv("KIV_UNINSTALL_REGISTRY", installation.work.filePath("uninstall.ini").toUtf8());
    kiv_test::PanelFixture f(QByteArray(), installation.defaults);
    installation.shipPlugins(f.sandbox.appDir());

    QSignalSpy status(f.panel.get(), qOverload<QString>(&kiv_configuration_widget::sigUpdatePluginStatus));
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    QSignalSpy request(f.panel.get(), &kiv_configuration_widget::sigInstallPlugin);
    auto* table = f.find<QTableWidget>("twtSoftwareVersion");

    // The first press of a user whose mode is 0 installs silently.
    f.open([&] { f.find<QPushButton>("btnPluginInstall")->click(); }, false, true);
    QCOMPARE(request.count(), 1);
    QCOMPARE(request.first().first().toInt(), 0);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("3ds Max"));
    QCOMPARE(table->item(1, 2)->text(), QStringLiteral("installed"));
    QCOMPARE(f.general.pluginInstallMode, 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(kiv_types::getValue("kiv.general/autoinstallplugin", f.sandbox.defaultFile()), QStringLiteral("1"));
    QCOMPARE(f.panel->GetGeneralOpt("autoinstallplugin"), QVariant(1));
    QVERIFY(status.isEmpty());
    QVERIFY(status.wait(11000));
    QCOMPARE(statusTexts(status), QStringList({QString()}));
    status.clear();

    // The next press runs interactively and reports in a box.
    QString report;
    f.open(
        [&] {
            kiv_test::clickInNextModal(QStringLiteral("ok"), &report);
            f.find<QPushButton>("btnPluginInstall")->click();
        },
        false, true);
    QCOMPARE(report, QStringLiteral("Plugins installed/updated list: \n3ds Max 2018 Design"));
    QCOMPARE(statusTexts(status), QStringList({"Plugins are installing...", "Install finish!", QString()}));
    QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(tst_plugin_install)
#include "tst_plugin_install.moc"
