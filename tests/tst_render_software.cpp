// Render software detection, the version page, the plugin status test and
// the 7-Zip copy into every known installation folder.

#include "kiv_monitoritem_widget.h"
#include "kiv_pluginoptions.h"
#include "kiv_types.h"
#include "test_support.h"

namespace {

const auto kMax = kiv_general_types::RENDERTYPE_3DSMAX;
const auto kMaya = kiv_general_types::RENDERTYPE_MAYA;
const auto kHoudini = kiv_general_types::RENDERTYPE_HOUDINI;

// A file below an installation folder, as the panel names it: with the
// platform's own separator.
QString below(const QString& folder, const QString& relative)
{
    return folder + QDir::toNativeSeparators("/" + relative);
}

// A machine of its own: the default settings file naming the versions, the
// uninstall key, the installation folders, the render path file and the
// shared data folder, all under temporary folders.
struct Machine {
    explicit Machine(const QByteArray& versions = "maya&3dsmax&houdini")
    {
        qputenv("KIV_COMMON_APPDATA", common.path().toUtf8());
        defaults = "[kiv.rendering]\nversion=" + versions + "\n"
                   "maya=\"{MAYA-18}&Maya 2018\", \"{MAYA-20}&Maya 2020\", broken-item\n"
                   "3dsmax=\"{MAX-18}&3ds Max 2018\", \"{MAX-20}&3ds Max 2020 Design\"\n"
                   "houdini=\"{HOU-17}&Houdini 17.5\"\n"
                   "[maya]\nanalyzer=bin\\\\render\nextension=exe\n[3dsmax]\nanalyzer=3dsmax\nextension=exe\n"
                   "[houdini]\nanalyzer=bin\\\\hython\nextension=exe\n";
    }
    // An installation folder holding the program's executable.
    QString install(const QString& name, const QString& executable)
    {
        kiv_test::writeFile(programs.filePath(name + "/" + executable), "binary");
        return programs.filePath(name);
    }
    void registry(const QString& ini) { uninstall.write(ini.toUtf8()); }
    void start() { fixture.reset(new kiv_test::PanelFixture(QByteArray(), defaults)); }
    void reload() { fixture->panel->SetCurrentUserInfo(kiv_test::sampleUser()); }
    QMap<QString, QPair<QString, QString>> renders(kiv_general_types::RENDERTYPE type) const
    {
        return fixture->panel->GetRenderList(type);
    }
    QString renderPathFile() const { return fixture->sandbox.appDir() + "/data/kiv_renderpath.ini"; }
    QString stored(const QString& guid) const { return kiv_types::getValue(guid + "/installlocation", renderPathFile()); }
    void storeFolder(const QString& guid, const QString& folder) { kiv_types::setValue(guid + "/installlocation", folder, renderPathFile()); }
    void install7Zip(const QStringList& files)
    {
        for (const QString& file : files)
            kiv_test::writeFile(fixture->sandbox.appDir() + "/plugins/3dsmax/7-Zip/" + file, file.toUtf8() + " from the client");
    }
    void installPluginConfig() { kiv_test::writeFile(common.filePath("TMQ Rendering/kiv_plugin.ini"), "[General]\n"); }
    QTableWidget* table() const { return fixture->find<QTableWidget>("twtSoftwareVersion"); }
    kiv_monitoritem_widget* pathCell(int row) const
    {
        return qobject_cast<kiv_monitoritem_widget*>(table()->indexWidget(table()->model()->index(row, 1)));
    }

    QTemporaryDir programs;
    QTemporaryDir common;
    kiv_test::UninstallKey uninstall;
    QByteArray defaults;
    std::unique_ptr<kiv_test::PanelFixture> fixture;
};

} // namespace

class tst_render_software : public QObject
{
    Q_OBJECT
private slots:
    void registryDecidesWhatIsStoredAndListed();
    void storedFolderOnlyForHoudiniAndOtherExtensions();
    void versionPageRowsPluginStateAndFolderChooser();
    void pluginStatusAndSevenZipCopy();
};

void tst_render_software::registryDecidesWhatIsStoredAndListed()
{
    Machine m;
    m.defaults.replace("\"{MAYA-20}&Maya 2020\"", "\"{MAYA-20}&Maya 2018\"");
    const QString maya = m.install("Maya2018", "bin/render.exe");
    const QString good = m.install("Good", "bin/render.exe");
    const QString empty = m.install("Empty", "readme.txt");
    const QString max = m.install("Max2018", "3dsmax.exe");
    // 3ds Max is found through the "DisplayName" redirection; key and value names match regardless of case.
    m.registry(QStringLiteral("[{maya-18}]\nInstallLocation=%1\n[{MAYA-20}]\ninstalllocation=%2\n"
                              "[{MAX-18}]\nInstallLocation=\nDisplayName=Autodesk 3ds Max 2018\n"
                              "[AUTODESK 3DS MAX 2018]\nINSTALLLOCATION=%3\n")
                   .arg(maya, empty, max));
    m.start();
    m.storeFolder("{MAYA-20}", good);
    m.reload();
    // A registry folder holding the executable is stored and listed with the full path;
    // one lacking it writes an empty value over a valid stored folder.
    QCOMPARE(QStringList({m.stored("{MAYA-18}"), m.stored("{MAYA-20}"), m.stored("{MAX-18}")}), QStringList({maya, "", max}));
    QCOMPARE(m.renders(kMax).value("3ds Max 2018").first, below(max, "3dsmax.exe"));
    // Values no enumerator names select nothing; RENDERTYPE's int base makes them well defined.
    for (const int other : {0, -1, 0x3000, 0x8000})
        QVERIFY(m.renders(kiv_general_types::RENDERTYPE(other)).isEmpty());
    // Two versions labelled "Maya 2018": the render entry is the installed one, the later item names the row.
    QCOMPARE(m.renders(kMaya).keys(), QStringList({"Maya 2018"}));
    QCOMPARE(m.renders(kMaya).value("Maya 2018"), qMakePair(below(maya, "bin/render.exe"), QStringLiteral("{MAYA-18}")));
    m.fixture->open([&] {
        QCOMPARE(m.table()->rowCount(), 4);
        QCOMPARE(m.table()->item(0, 0)->data(Qt::UserRole).toString(), QStringLiteral("{MAYA-20}"));
    }, false, true);
    // A reload that finds the executable gone takes it off the render list.
    QFile::remove(maya + "/bin/render.exe");
    m.reload();
    QCOMPARE(m.stored("{MAYA-18}"), QString());
    QVERIFY(m.renders(kMaya).isEmpty());
}

void tst_render_software::storedFolderOnlyForHoudiniAndOtherExtensions()
{
    // Houdini, and a program whose extension is not "exe", are never looked up in the registry.
    Machine m;
    m.defaults.replace("[maya]\nanalyzer=bin\\\\render\nextension=exe", "[maya]\nanalyzer=render\nextension=app");
    const QString registered = m.install("Registered", "render.app");
    const QString maya = m.install("Maya", "render.app");
    const QString houdini = m.install("Houdini", "bin/hython.exe");
    m.registry(QStringLiteral("[{MAYA-18}]\nInstallLocation=%1\n[{HOU-17}]\nInstallLocation=%2\n").arg(registered, houdini));
    m.start();
    QVERIFY(m.renders(kMaya).isEmpty() && m.renders(kHoudini).isEmpty());
    m.storeFolder("{MAYA-18}", maya);
    m.storeFolder("{HOU-17}", houdini);
    m.reload();
    QCOMPARE(m.stored("{MAYA-18}"), maya);
    QCOMPARE(m.renders(kMaya).value("Maya 2018").first, below(maya, "render.app"));
    QCOMPARE(m.renders(kHoudini).value("Houdini 17.5"), qMakePair(below(houdini, "bin/hython.exe"), QStringLiteral("{HOU-17}")));

    // Only the programs that "version" names are listed.
    Machine other("maya&3dsmax");
    other.start();
    other.storeFolder("{HOU-17}", houdini);
    other.reload();
    QCOMPARE(other.fixture->panel->GetVersionList(), QStringList({"maya", "3dsmax"}));
    QVERIFY(other.renders(kHoudini).isEmpty());
}

void tst_render_software::versionPageRowsPluginStateAndFolderChooser()
{
    Machine m("3dsmax&maya");
    const QString max = m.install("Max2020", "3dsmax.exe");
    kiv_test::writeFile(max + "/plugins/TMQ_Rendering_2020.gup", "plugin");
    const QString maya = m.install("Maya2020", "bin/render.exe");
    m.installPluginConfig();
    m.registry(QStringLiteral("[{MAX-20}]\nInstallLocation=%1\n[{MAYA-20}]\nInstallLocation=%2\n").arg(max, maya));
    m.start();
    m.install7Zip({"7z.exe", "7z.dll"});
    auto cells = [&](int column, int role) {
        QStringList texts;
        for (int row = 0; row < m.table()->rowCount(); ++row)
            texts << m.table()->model()->index(row, column).data(role).toString();
        return texts;
    };
    m.fixture->open([&] {
        // Programs in the order of "version", versions in label order; the folder as the path cell's data.
        QCOMPARE(cells(0, Qt::DisplayRole), QStringList({"3ds Max 2018", "3ds Max 2020 Design", "Maya 2018", "Maya 2020"}));
        QCOMPARE(cells(1, Qt::UserRole + 1), QStringList({"", below(max, ""), "", below(maya, "")}));
        QCOMPARE(cells(2, Qt::DisplayRole), QStringList({"", "installed", "", ""}));
    }, false, true);
    // 7-Zip goes into every known folder; Maya came last and has no plugin, so its rows decide the flag.
    QVERIFY(QFile::exists(maya + "/7-Zip/7z.exe"));
    QCOMPARE(kiv_types::getValue("kiv.general/plugininstalled", m.fixture->sandbox.defaultFile()), QStringLiteral("0"));

    // With 3ds Max last, the flag follows its rows; the first row is now "Maya 2018", without a folder.
    kiv_test::writeFile(m.fixture->sandbox.defaultFile(), m.defaults.replace("version=3dsmax&maya", "version=maya&3dsmax"));
    m.reload();
    const QString maya18 = m.install("Maya2018", "bin/render.exe");
    const QString wrong = m.install("Wrong", "notes.txt");
    const QByteArray userBefore = kiv_test::readFile(m.fixture->file());
    // Answers the folder chooser of the first row with `folder`, or cancels it.
    auto choose = [&](const QString& folder) {
        kiv_test::whenModal([folder](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            dialog->setDirectory(folder);
            QMetaObject::invokeMethod(dialog, folder.isEmpty() ? "reject" : "accept");
        });
        emit m.pathCell(0)->sigAddPath();
    };
    m.fixture->open([&] {
        QCOMPARE(kiv_types::getValue("kiv.general/plugininstalled", m.fixture->sandbox.defaultFile()), QStringLiteral("1"));
        choose(QString());
        choose(wrong);
        QCOMPARE(m.pathCell(0)->Text() + m.stored("{MAYA-18}"), QString());
        QVERIFY(!m.fixture->find<QPushButton>("btnApply")->isEnabled());
        // A valid folder is shown (shortened to the column) and stored at once, without Apply,
        // with the platform's own separators.
        choose(maya18);
        const QString shown = m.pathCell(0)->Text();
        const QString native = QDir::toNativeSeparators(maya18);
        QVERIFY(!shown.isEmpty() && native.startsWith(shown.endsWith(QChar(0x2026)) ? shown.chopped(1) : shown));
        QCOMPARE(m.stored("{MAYA-18}"), native);
        QCOMPARE(m.renders(kMaya).value("Maya 2018").first, below(native, "bin/render.exe"));
        QVERIFY(m.fixture->find<QPushButton>("btnApply")->isEnabled());
    }, false, true);
    QCOMPARE(kiv_test::readFile(m.fixture->file()), userBefore);
}

void tst_render_software::pluginStatusAndSevenZipCopy()
{
    Machine m;
    m.start();
    kiv_pluginoptions manager(nullptr, nullptr);
    const QString max = m.install("Max2018", "plugins/TMQ_Rendering_2018.gup") + "/";
    // The plugin alone is not enough: the shared plugin configuration must exist too.
    QVERIFY(!manager.isPluginInstalled("3ds Max 2018", max));
    m.installPluginConfig();
    QVERIFY(manager.isPluginInstalled("3DS MAX 2018 Design", max));
    for (const QString label : {"3ds Max", "Maya 2020", "Houdini 17.5"})
        QVERIFY(!manager.isPluginInstalled(label, max));

    // No 7-Zip in the client: nothing is copied; a source with only "7z.dll" is enough.
    QVERIFY(!manager.copy7Zip(max));
    QVERIFY(!QFile::exists(max + "/7-Zip"));
    m.install7Zip({"7z.dll"});
    QVERIFY(manager.copy7Zip(max));
    QVERIFY(QFile::exists(max + "/7-Zip/7z.dll"));
    // A different "7z.exe" is replaced; a "7z.dll" with the same bytes is left untouched.
    m.install7Zip({"7z.exe", "7z.dll"});
    kiv_test::writeFile(max + "/7-Zip/7z.exe", "an older 7z.exe");
    QFile same(max + "/7-Zip/7z.dll");
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    QVERIFY(same.open(QIODevice::ReadWrite) && same.setFileTime(old, QFileDevice::FileModificationTime));
    same.close();
    QVERIFY(manager.copy7Zip(max));
    QCOMPARE(kiv_test::readFile(max + "/7-Zip/7z.exe"), QByteArray("7z.exe from the client"));
    QCOMPARE(QFileInfo(same).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
}

QTEST_MAIN(tst_render_software)
#include "tst_render_software.moc"
