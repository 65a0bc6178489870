// Render software detection, the version page, the plugin status test and the 7-Zip copy.

#include "kiv_monitoritem_widget.h"
#include "kiv_pluginoptions.h"
#include "kiv_types.h"
#include "test_support.h"

using namespace kiv_general_types;

namespace {

// A file below an installation folder, as the panel names it: with the platform's own separator.
QString below(const QString& folder, const QString& relative) { return folder + QDir::toNativeSeparators("/" + relative); }

// A machine of its own: the default settings naming the versions, the uninstall key, the
// installation folders, the render path file and the shared data folder.
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
    void start() { fixture.reset(new kiv_test::PanelFixture(QByteArray(), defaults)); }
    void reload() { fixture->panel->SetCurrentUserInfo(kiv_test::sampleUser()); }
    QMap<QString, QPair<QString, QString>> renders(RENDERTYPE type) const { return fixture->panel->GetRenderList(type); }
    QString renderPathFile() const { return fixture->sandbox.appDir() + "/data/kiv_renderpath.ini"; }
    QString stored(const QString& guid) const { return kiv_types::getValue(guid + "/installlocation", renderPathFile()); }
    void storeFolder(const QString& guid, const QString& folder) { kiv_types::setValue(guid + "/installlocation", folder, renderPathFile()); }
    QTableWidget* table() const { return fixture->find<QTableWidget>("twtSoftwareVersion"); }

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
    void versionPagePluginStateSevenZipAndFolderChooser();
};

void tst_render_software::registryDecidesWhatIsStoredAndListed()
{
    Machine m;
    const QString maya = m.install("Maya2018", "bin/render.exe");
    const QString good = m.install("Good", "bin/render.exe");
    const QString empty = m.install("Empty", "readme.txt");
    const QString max = m.install("Max2018", "3dsmax.exe");
    // 3ds Max is found through the "DisplayName" redirection; key and value names match regardless of case.
    m.uninstall.write(QStringLiteral("[{maya-18}]\nInstallLocation=%1\n[{MAYA-20}]\ninstalllocation=%2\n"
                                     "[{MAX-18}]\nInstallLocation=\nDisplayName=Autodesk 3ds Max 2018\n"
                                     "[AUTODESK 3DS MAX 2018]\nINSTALLLOCATION=%3\n")
                          .arg(maya, empty, max).toUtf8());
    m.start();
    m.storeFolder("{MAYA-20}", good);
    m.reload();
    // A registry folder with the executable is stored and listed; one without it empties a valid stored folder.
    QCOMPARE(QStringList({m.stored("{MAYA-18}"), m.stored("{MAYA-20}"), m.stored("{MAX-18}")}), QStringList({maya, "", max}));
    QCOMPARE(m.renders(RENDERTYPE_MAYA).keys(), QStringList({"Maya 2018"}));
    QCOMPARE(m.renders(RENDERTYPE_MAYA).value("Maya 2018"), qMakePair(below(maya, "bin/render.exe"), QStringLiteral("{MAYA-18}")));
}

void tst_render_software::storedFolderOnlyForHoudiniAndOtherExtensions()
{
    // Houdini, and a program whose extension is not "exe", are never looked up in the registry;
    // only the programs that "version" names are listed.
    Machine m("maya&houdini");
    m.defaults.replace("[maya]\nanalyzer=bin\\\\render\nextension=exe", "[maya]\nanalyzer=render\nextension=app");
    const QString registered = m.install("Registered", "render.app");
    const QString maya = m.install("Maya", "render.app");
    const QString houdini = m.install("Houdini", "bin/hython.exe");
    const QString max = m.install("Max2018", "3dsmax.exe");
    m.uninstall.write(QStringLiteral("[{MAYA-18}]\nInstallLocation=%1\n[{HOU-17}]\nInstallLocation=%2\n[{MAX-18}]\nInstallLocation=%3\n")
                          .arg(registered, houdini, max).toUtf8());
    m.start();
    QVERIFY(m.renders(RENDERTYPE_MAYA).isEmpty() && m.renders(RENDERTYPE_HOUDINI).isEmpty() && m.renders(RENDERTYPE_3DSMAX).isEmpty());
    m.storeFolder("{MAYA-18}", maya);
    m.storeFolder("{HOU-17}", houdini);
    m.reload();
    QCOMPARE(m.renders(RENDERTYPE_MAYA).value("Maya 2018").first, below(maya, "render.app"));
    QCOMPARE(m.renders(RENDERTYPE_HOUDINI).value("Houdini 17.5"), qMakePair(below(houdini, "bin/hython.exe"), QStringLiteral("{HOU-17}")));
}

void tst_render_software::versionPagePluginStateSevenZipAndFolderChooser()
{
    Machine m("3dsmax&maya");
    const QString max = m.install("Max2020", "3dsmax.exe");
    kiv_test::writeFile(max + "/plugins/TMQ_Rendering_2020.gup", "plugin");
    const QString maya = m.install("Maya2020", "bin/render.exe");
    m.uninstall.write(QStringLiteral("[{MAX-20}]\nInstallLocation=%1\n[{MAYA-20}]\nInstallLocation=%2\n").arg(max, maya).toUtf8());
    kiv_pluginoptions manager(nullptr, nullptr);
    // The plugin alone is not enough: the shared plugin configuration must exist too.
    QVERIFY(!manager.isPluginInstalled("3ds Max 2020", max + "/"));
    kiv_test::writeFile(m.common.filePath("TMQ Rendering/kiv_plugin.ini"), "[General]\n");
    m.start();
    kiv_test::writeFile(m.fixture->sandbox.appDir() + "/plugins/3dsmax/7-Zip/7z.exe", "7z.exe from the client");
    kiv_test::writeFile(maya + "/7-Zip/7z.exe", "an older 7z.exe");
    // A copy with the same bytes is left untouched: on Windows it may be in use.
    kiv_test::writeFile(max + "/7-Zip/7z.exe", "7z.exe from the client");
    QFile same(max + "/7-Zip/7z.exe");
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    QVERIFY(same.open(QIODevice::ReadWrite) && same.setFileTime(old, QFileDevice::FileModificationTime));
    same.close();
    auto cells = [&](int column, int role) {
        QStringList texts;
        for (int row = 0; row < m.table()->rowCount(); ++row)
            texts << m.table()->model()->index(row, column).data(role).toString();
        return texts;
    };
    // Answers the folder chooser of the first row, "3ds Max 2018", with `folder`.
    auto choose = [&](const QString& folder) {
        kiv_test::whenModal([folder](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            dialog->setDirectory(folder);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        emit qobject_cast<kiv_monitoritem_widget*>(m.table()->indexWidget(m.table()->model()->index(0, 1)))->sigAddPath();
    };
    const QString max18 = QDir::toNativeSeparators(m.install("Max2018", "3dsmax.exe"));
    m.fixture->open([&] {
        // Programs in the order of "version", versions in label order; the folder as the path cell's data.
        QCOMPARE(cells(0, Qt::DisplayRole), QStringList({"3ds Max 2018", "3ds Max 2020 Design", "Maya 2018", "Maya 2020"}));
        QCOMPARE(cells(1, Qt::UserRole + 1), QStringList({"", below(max, ""), "", below(maya, "")}));
        QCOMPARE(cells(2, Qt::DisplayRole), QStringList({"", "installed", "", ""}));
        // A chosen folder with the executable is stored at once, without Apply, and listed.
        choose(max18);
        QCOMPARE(m.stored("{MAX-18}"), max18);
        QCOMPARE(m.renders(RENDERTYPE_3DSMAX).value("3ds Max 2018").first, below(max18, "3dsmax.exe"));
    }, false, true);
    // 7-Zip goes into every known folder, replacing a different copy.
    QCOMPARE(kiv_test::readFile(maya + "/7-Zip/7z.exe"), QByteArray("7z.exe from the client"));
    QCOMPARE(QFileInfo(same).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
}

QTEST_MAIN(tst_render_software)
#include "tst_render_software.moc"
