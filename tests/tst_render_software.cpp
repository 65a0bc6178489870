// Render software detection, the version page, the plugin status test and
// the 7-Zip copy into every known installation folder.

#include "kiv_configuration_widget.h"
#include "kiv_monitoritem_widget.h"
#include "kiv_pluginoptions.h"
#include "kiv_types.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QtTest>

using kiv_general_types::RENDERTYPE;

namespace {

const RENDERTYPE kMax = kiv_general_types::RENDERTYPE_3DSMAX;
const RENDERTYPE kMaya = kiv_general_types::RENDERTYPE_MAYA;
const RENDERTYPE kHoudini = kiv_general_types::RENDERTYPE_HOUDINI;

// A machine of its own: the default settings file naming the versions, the
// uninstall key, the installation folders, the render path file and the
// shared data folder, all under temporary folders.
struct Machine {
    explicit Machine(const QByteArray& versions = "maya&3dsmax&houdini")
    {
        qputenv("KIV_UNINSTALL_REGISTRY", registryFile().toUtf8());
        qputenv("KIV_COMMON_APPDATA", common.path().toUtf8());
        defaults = "[kiv.rendering]\n"
                   "version=" + versions + "\n"
                   "maya=\"{MAYA-18}&Maya 2018\", \"{MAYA-20}&Maya 2020\", broken-item\n"
                   "3dsmax=\"{MAX-18}&3ds Max 2018\", \"{MAX-20}&3ds Max 2020 Design\"\n"
                   "houdini=\"{HOU-17}&Houdini 17.5\"\n"
                   "[maya]\nanalyzer=bin\\\\render\nextension=exe\n"
                   "[3dsmax]\nanalyzer=3dsmax\nextension=exe\n"
                   "[houdini]\nanalyzer=bin\\\\hython\nextension=exe\n";
    }
    ~Machine()
    {
        qunsetenv("KIV_UNINSTALL_REGISTRY");
        qunsetenv("KIV_COMMON_APPDATA");
    }

    QString registryFile() const { return programs.filePath(QStringLiteral("uninstall.ini")); }

    // An installation folder holding the program's executable.
    QString install(const QString& name, const QString& executable)
    {
        const QString folder = programs.filePath(name);
        QDir(folder).mkpath(QFileInfo(executable).path());
        kiv_test::writeFile(folder + QLatin1Char('/') + executable, "binary");
        return folder;
    }

    void registry(const QByteArray& ini) { kiv_test::writeFile(registryFile(), ini); }

    void start()
    {
        fixture.reset(new kiv_test::PanelFixture(QByteArray(), defaults));
        log.reset(new kiv_test::LogRecorder(fixture->panel.get()));
    }
    void reload() { fixture->panel->SetCurrentUserInfo(kiv_test::sampleUser()); }
    kiv_configuration_widget* panel() const { return fixture->panel.get(); }
    QString renderPathFile() const { return fixture->sandbox.appDir() + QStringLiteral("/data/kiv_renderpath.ini"); }
    QString stored(const QString& guid) const
    {
        return kiv_types::getValue(guid + QStringLiteral("/installlocation"), renderPathFile());
    }
    void storeFolder(const QString& guid, const QString& folder)
    {
        kiv_types::setValue(guid + QStringLiteral("/installlocation"), folder, renderPathFile());
    }
    void install7Zip(const QStringList& files)
    {
        const QString source = fixture->sandbox.appDir() + QStringLiteral("/plugins/3dsmax/7-Zip");
        QDir().mkpath(source);
        for (const QString& file : files)
            kiv_test::writeFile(source + QLatin1Char('/') + file, file.toUtf8() + " from the client");
    }
    void installPluginConfig()
    {
        QDir().mkpath(common.filePath(QStringLiteral("TMQ Rendering")));
        kiv_test::writeFile(common.filePath(QStringLiteral("TMQ Rendering/kiv_plugin.ini")), "[General]\n");
    }
    QTableWidget* table() const { return fixture->find<QTableWidget>("twtSoftwareVersion"); }

    QTemporaryDir programs;
    QTemporaryDir common;
    QByteArray defaults;
    std::unique_ptr<kiv_test::PanelFixture> fixture;
    std::unique_ptr<kiv_test::LogRecorder> log;
};

QStringList column(QTableWidget* table, int index)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, index) ? table->item(row, index)->text() : QStringLiteral("-"));
    return texts;
}

kiv_monitoritem_widget* pathCell(QTableWidget* table, int row)
{
    return qobject_cast<kiv_monitoritem_widget*>(table->indexWidget(table->model()->index(row, 1)));
}

} // namespace

class tst_render_software : public QObject
{
    Q_OBJECT
private slots:
    void registryFolderWithTheExecutableIsStoredAndListed();
    void registryAnswerWinsOverTheStoredFolder();
    void displayNameRedirectsToAnotherSubkey();
    void onlyExecutablesAreLookedUpInTheRegistry();
    void houdiniComesFromTheStoredFolderOnly();
    void versionListDecidesThePrograms();
    void vanishedExecutableLeavesTheRenderList();
    void duplicateLabels();
    void versionPageRowsAndPluginState();
    void choosingAnInstallationFolder();
    void pluginStatusTest();
    void sevenZipCopy();
};

void tst_render_software::registryFolderWithTheExecutableIsStoredAndListed()
{
    Machine m;
    const QString maya = m.install(QStringLiteral("Maya2018"), QStringLiteral("bin/render.exe"));
    m.registry(QStringLiteral("[{MAYA-18}]\nInstallLocation=%1\n").arg(maya).toUtf8());
    m.start();

    QCOMPARE(m.stored("{MAYA-18}"), maya);
    const auto list = m.panel()->GetRenderList(kMaya);
    QCOMPARE(list.keys(), QStringList({"Maya 2018"}));
    QCOMPARE(list.value("Maya 2018"), qMakePair(maya + "/bin/render.exe", QStringLiteral("{MAYA-18}")));
    QVERIFY(m.panel()->GetRenderList(kMax).isEmpty());
    QVERIFY(m.panel()->GetRenderList(RENDERTYPE(0x8000)).isEmpty());
    QVERIFY(m.panel()->GetRenderList(RENDERTYPE(0)).isEmpty());
}

void tst_render_software::registryAnswerWinsOverTheStoredFolder()
{
    Machine m;
    const QString good = m.install(QStringLiteral("Good"), QStringLiteral("bin/render.exe"));
    const QString empty = m.install(QStringLiteral("Empty"), QStringLiteral("readme.txt"));
    m.registry(QStringLiteral("[{MAYA-18}]\ninstalllocation=%1\n").arg(empty).toUtf8());
    m.start();
    m.storeFolder("{MAYA-18}", good);
    m.reload();
    QCOMPARE(m.stored("{MAYA-18}"), QString());
    QVERIFY(m.panel()->GetRenderList(kMaya).isEmpty());
}

void tst_render_software::displayNameRedirectsToAnotherSubkey()
{
    Machine m;
    const QString max = m.install(QStringLiteral("Max2018"), QStringLiteral("3dsmax.exe"));
    m.registry(QStringLiteral("[{MAX-18}]\nInstallLocation=\nDisplayName=Autodesk 3ds Max 2018\n"
                              "[Autodesk 3ds Max 2018]\nINSTALLLOCATION=%1\n")
                   .arg(max)
                   .toUtf8());
    m.start();
    QCOMPARE(m.stored("{MAX-18}"), max);
    QCOMPARE(m.panel()->GetRenderList(kMax).value("3ds Max 2018").first, max + "/3dsmax.exe");
}

void tst_render_software::onlyExecutablesAreLookedUpInTheRegistry()
{
    Machine m;
    m.defaults.replace("[maya]\nanalyzer=bin\\\\render\nextension=exe", "[maya]\nanalyzer=render\nextension=app");
    const QString registered = m.install(QStringLiteral("Registered"), QStringLiteral("render.app"));
    const QString chosen = m.install(QStringLiteral("Chosen"), QStringLiteral("render.app"));
    m.registry(QStringLiteral("[{MAYA-18}]\nInstallLocation=%1\n").arg(registered).toUtf8());
    m.start();
    QVERIFY(m.panel()->GetRenderList(kMaya).isEmpty());

    m.storeFolder("{MAYA-18}", chosen);
    m.reload();
    QCOMPARE(m.stored("{MAYA-18}"), chosen);
    QCOMPARE(m.panel()->GetRenderList(kMaya).value("Maya 2018").first, chosen + "/render.app");
}

void tst_render_software::houdiniComesFromTheStoredFolderOnly()
{
    Machine m;
    const QString houdini = m.install(QStringLiteral("Houdini"), QStringLiteral("bin/hython.exe"));
    m.registry(QStringLiteral("[{HOU-17}]\nInstallLocation=%1\n").arg(houdini).toUtf8());
    m.start();
    QVERIFY(m.panel()->GetRenderList(kHoudini).isEmpty());

    m.storeFolder("{HOU-17}", houdini);
    m.reload();
    QCOMPARE(m.panel()->GetRenderList(kHoudini).value("Houdini 17.5"),
             qMakePair(houdini + "/bin/hython.exe", QStringLiteral("{HOU-17}")));
}

void tst_render_software::versionListDecidesThePrograms()
{
    Machine m("maya&3dsmax");
    const QString houdini = m.install(QStringLiteral("Houdini"), QStringLiteral("bin/hython.exe"));
    m.start();
    m.storeFolder("{HOU-17}", houdini);
    m.reload();
    QCOMPARE(m.panel()->GetVersionList(), QStringList({"maya", "3dsmax"}));
    QVERIFY(m.panel()->GetRenderList(kHoudini).isEmpty());

    Machine none("");
    none.start();
    QVERIFY(none.panel()->GetVersionList().isEmpty());
}

void tst_render_software::vanishedExecutableLeavesTheRenderList()
{
    Machine m;
    const QString maya = m.install(QStringLiteral("Maya2018"), QStringLiteral("bin/render.exe"));
    m.registry(QStringLiteral("[{MAYA-18}]\nInstallLocation=%1\n").arg(maya).toUtf8());
    m.start();
    QVERIFY(m.panel()->GetRenderList(kMaya).contains("Maya 2018"));

    QFile::remove(maya + "/bin/render.exe");
    m.reload();
    QCOMPARE(m.stored("{MAYA-18}"), QString());
    QVERIFY(!m.panel()->GetRenderList(kMaya).contains("Maya 2018"));
}

void tst_render_software::duplicateLabels()
{
    Machine m;
    m.defaults.replace("\"{MAYA-20}&Maya 2020\"", "\"{MAYA-20}&Maya 2018\"");
    const QString first = m.install(QStringLiteral("First"), QStringLiteral("bin/render.exe"));
    m.registry(QStringLiteral("[{MAYA-18}]\nInstallLocation=%1\n").arg(first).toUtf8());
    m.start();
    // The later item's guid names the row; the render entry stays the installed one.
    QCOMPARE(m.panel()->GetRenderList(kMaya).value("Maya 2018").second, QStringLiteral("{MAYA-18}"));
    m.fixture->open(
        [&] {
            QCOMPARE(m.table()->rowCount(), 4);
            QCOMPARE(m.table()->item(0, 0)->data(Qt::UserRole).toString(), QStringLiteral("{MAYA-20}"));
        },
        false, true);
}

void tst_render_software::versionPageRowsAndPluginState()
{
    Machine m("3dsmax&maya");
    const QString max = m.install(QStringLiteral("Max2020"), QStringLiteral("3dsmax.exe"));
    QDir().mkpath(max + "/plugins");
    kiv_test::writeFile(max + "/plugins/TMQ_Rendering_2020.gup", "plugin");
    const QString maya = m.install(QStringLiteral("Maya2020"), QStringLiteral("bin/render.exe"));
    m.installPluginConfig();
    m.registry(QStringLiteral("[{MAX-20}]\nInstallLocation=%1\n[{MAYA-20}]\nInstallLocation=%2\n")
                   .arg(max, maya)
                   .toUtf8());
    m.start();
    m.install7Zip({"7z.exe", "7z.dll"});

    m.fixture->open(
        [&] {
            QTableWidget* table = m.table();
            QCOMPARE(column(table, 0), QStringList({"3ds Max 2018", "3ds Max 2020 Design", "Maya 2018", "Maya 2020"}));
            QCOMPARE(column(table, 2), QStringList({"-", "installed", "-", "-"}));
            // A version without a folder: empty cell, no tooltip.
            QCOMPARE(pathCell(table, 0)->Text(), QString());
            QCOMPARE(table->item(0, 1)->toolTip(), QString());
            QCOMPARE(table->item(1, 1)->data(Qt::UserRole).toString(), QStringLiteral("3dsmax"));
            QCOMPARE(table->item(1, 1)->data(Qt::UserRole + 1).toString(), max + "/");
            QCOMPARE(table->item(1, 1)->data(Qt::UserRole + 2).toString(), QStringLiteral("3ds Max 2020 Design"));
            QCOMPARE(table->item(1, 1)->toolTip(), max + "/");
            QCOMPARE(table->item(3, 1)->data(Qt::UserRole + 1).toString(), maya + "/");
            QVERIFY(!m.fixture->find<QPushButton>("btnApply")->isEnabled());
        },
        false, true);
    // Maya came last: its rows decide the flag, and it has no plugin.
    QCOMPARE(kiv_types::getValue("kiv.general/plugininstalled", m.fixture->sandbox.defaultFile()), QStringLiteral("0"));
    QVERIFY(QFile::exists(maya + "/7-Zip/7z.exe"));
    QVERIFY(m.log->contains(700, QStringLiteral("Not support plugins for Maya 2020.")));

    m.defaults.replace("version=3dsmax&maya", "version=maya&3dsmax");
    kiv_test::writeFile(m.fixture->sandbox.defaultFile(), m.defaults);
    m.reload();
    m.fixture->open([] {}, false, true);
    QCOMPARE(kiv_types::getValue("kiv.general/plugininstalled", m.fixture->sandbox.defaultFile()), QStringLiteral("1"));
}

void tst_render_software::choosingAnInstallationFolder()
{
    Machine m;
    const QString maya = m.install(QStringLiteral("Maya2018"), QStringLiteral("bin/render.exe"));
    const QString wrong = m.install(QStringLiteral("Wrong"), QStringLiteral("notes.txt"));
    m.start();
    const QByteArray userBefore = kiv_test::readFile(m.fixture->file());

    auto choose = [&](const QString& folder) {
        kiv_test::whenModal([folder](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (folder.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(folder);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        emit pathCell(m.table(), 0)->sigAddPath();
    };
    m.fixture->open(
        [&] {
            choose(QString());
            choose(wrong);
            QCOMPARE(pathCell(m.table(), 0)->Text(), QString());
            QVERIFY(!m.fixture->find<QPushButton>("btnApply")->isEnabled());

            choose(maya);
            // The cell shows the folder, shortened to the column.
            const QString shown = pathCell(m.table(), 0)->Text();
            QVERIFY(!shown.isEmpty());
            QVERIFY(maya.startsWith(shown.endsWith(QChar(0x2026)) ? shown.chopped(1) : shown));
            // Stored at once, without Apply.
            QCOMPARE(m.stored("{MAYA-18}"), maya);
            QCOMPARE(m.panel()->GetRenderList(kMaya).value("Maya 2018").first, maya + "/bin/render.exe");
            QVERIFY(m.fixture->find<QPushButton>("btnApply")->isEnabled());
        },
        false, true);
    QCOMPARE(m.stored("{MAYA-18}"), maya);
    QCOMPARE(kiv_test::readFile(m.fixture->file()), userBefore);
}

// The plugin manager on its own, its log lines recorded.
struct Manager {
    Manager()
    {
        QObject::connect(&options, &kiv_pluginoptions::sigLog, &options,
                         [this](int level, QString message, const wchar_t*, int) { log << qMakePair(level, message); });
    }
    bool logged(int level, const QString& start) const
    {
        return std::any_of(log.begin(), log.end(),
                           [&](const QPair<int, QString>& line) { return line.first == level && line.second.startsWith(start); });
    }
    kiv_pluginoptions options{nullptr, nullptr};
    QList<QPair<int, QString>> log;
};

void tst_render_software::pluginStatusTest()
{
    Machine m;
    m.start();
    Manager managed;
    kiv_pluginoptions* manager = &managed.options;
    const QString max = m.install(QStringLiteral("Max2018"), QStringLiteral("plugins/TMQ_Rendering_2018.gup"));

    QVERIFY(!manager->isPluginInstalled(QStringLiteral("3ds Max 2018"), max + "/"));
    QVERIFY(managed.logged(700, QStringLiteral("File %1/plugins/TMQ_Rendering_2018.gup or ").arg(max)));

    m.installPluginConfig();
    QVERIFY(manager->isPluginInstalled(QStringLiteral("3ds Max 2018"), max + "/"));
    QVERIFY(manager->isPluginInstalled(QStringLiteral("3DS MAX 2018 Design"), max + "/"));
    QVERIFY(!manager->isPluginInstalled(QStringLiteral("3ds Max"), max + "/"));
    QVERIFY(!manager->isPluginInstalled(QStringLiteral("Houdini 17.5"), max + "/"));
    QVERIFY(managed.logged(700, QStringLiteral("Not support plugins for Houdini 17.5.")));
}

void tst_render_software::sevenZipCopy()
{
    Machine m;
    m.start();
    Manager managed;
    kiv_pluginoptions* manager = &managed.options;
    const QString folder = m.install(QStringLiteral("Max"), QStringLiteral("3dsmax.exe"));

    QVERIFY(!manager->copy7Zip(folder));
    QVERIFY(managed.logged(300, QStringLiteral("7Z File not exist!!")));
    QVERIFY(!QFile::exists(folder + "/7-Zip"));

    m.install7Zip({"7z.dll"});
    QVERIFY(manager->copy7Zip(folder));
    QVERIFY(QFile::exists(folder + "/7-Zip/7z.dll"));

    // A different file is replaced; one with the same bytes is left alone.
    m.install7Zip({"7z.exe", "7z.dll"});
    kiv_test::writeFile(folder + "/7-Zip/7z.exe", "an older 7z.exe");
    QFile same(folder + "/7-Zip/7z.dll");
    QVERIFY(same.open(QIODevice::ReadWrite));
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    QVERIFY(same.setFileTime(old, QFileDevice::FileModificationTime));
    same.close();
    QVERIFY(manager->copy7Zip(folder));
    QCOMPARE(kiv_test::readFile(folder + "/7-Zip/7z.exe"), QByteArray("7z.exe from the client"));
    QCOMPARE(QFileInfo(folder + "/7-Zip/7z.dll").lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());

    // Five detected folders: a rebuild that finds nothing to change writes nothing.
    QStringList folders;
    QByteArray registry;
    for (int i = 0; i < 5; ++i) {
        folders << m.install(QStringLiteral("Max%1").arg(i), QStringLiteral("3dsmax.exe"));
        m.defaults.replace("3dsmax=", QStringLiteral("3dsmax=\"{MAX-X%1}&3ds Max 203%1\", ").arg(i).toUtf8());
        registry += QStringLiteral("[{MAX-X%1}]\nInstallLocation=%2/\n").arg(i).arg(folders.last()).toUtf8();
    }
    kiv_test::writeFile(m.fixture->sandbox.defaultFile(), m.defaults);
    m.registry(registry);
    m.reload();
    m.fixture->open([] {}, false, true);
    QElapsedTimer timer;
    timer.start();
    m.fixture->open([] {}, false, true);
    qInfo("version page opened with five detected folders in %lld ms", timer.elapsed());
    for (const QString& folder : folders)
        QVERIFY(QFile::exists(folder + "/7-Zip/7z.exe"));
}

QTEST_MAIN(tst_render_software)
#include "tst_render_software.moc"
