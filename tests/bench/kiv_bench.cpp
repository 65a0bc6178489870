// kiv_bench: how long the panel takes for the host's frequent or heavy calls, printed beside a floor
// measured in the same run, bare Qt doing the same amount of work: the ratio says how much the panel
// adds. Not a test; run it with ./build.sh bench. Every file lives in a temporary sandbox.

#include "kiv_general_options.h"
#include "kiv_monitorwork.h"
#include "test_support.h"
#include "ui_kiv_configuration_widget.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

const int kRepetitions = 5, kProjects = 1000, kDateFolders = 1000, kIndexFilesPerDate = 10, kOptionCalls = 100000,
          kVersions = 300;

const QByteArray kDefaults = "[kiv.general]\ncountperpage=20\nautoinstallplugin=0\nplugininstalled=0\n"
                             "defaultdownloadpathsuffix=Task Id/Task Name/\n"
                             "[kiv.web]\nserver=https://www.example.test\nhelp=https://help.example.test\n"
                             "[kiv.appversion]\nappversion=1.0.0\nhotline=400-000-0000\nqqnumber=800000000\n"
                             "[3dsmax]\noldmax=3ds Max 2014, 3ds Max 2015\nanalyzer=3dsmax\nextension=exe\n"
                             "[maya]\nanalyzer=bin\\\\render\nextension=exe\n[houdini]\nanalyzer=bin\\\\hython\nextension=exe\n"
                             "[py]\n3dsmax=2.7.15, 3.7.6\nmaya=2.7.11, 3.7.7\n"
                             "[kiv.rendering]\nversion=maya&3dsmax&houdini\nmaya={A-2019}&Maya 2019, {A-2020}&Maya 2020\n"
                             "3dsmax={B-2019}&3ds Max 2019, {B-2020}&3ds Max 2020\nhoudini={C-180}&Houdini 18.0\n"
                             "[kiv.transfer]\nuploadmaxconcurrence=3\ndownloadmaxoncurrence=5\n";
const QByteArray kTemplate = "[kiv.general]\nautodownload=1\nanalysistimeout=1\nanalysistime=60\nrendertimeout=1\n"
                             "rendertime=2400\nrenderflag=1\n"
                             "[kiv.transfer]\ntransfertype=zftx\nftp.maxupload=5\nftp.maxdownload=5\nzftx.uploadmode=0\n"
                             "zftx.downloadmode=0\nzftx.uploadtargetrate=8\nzftx.downloadtargetrate=8\n";

struct Timing {
    double wallMs = 0, cpuMs = 0;
};

// Wall time, and the process's CPU time over all its threads.
struct Stopwatch {
    Stopwatch() { m_cpu = std::clock(), m_wall.start(); }
    Timing stop() const { return {m_wall.nsecsElapsed() / 1e6, double(std::clock() - m_cpu) * 1000.0 / CLOCKS_PER_SEC}; }
    QElapsedTimer m_wall;
    std::clock_t m_cpu;
};

// The median of a few runs of `run` (which returns its own timing when it times only part of itself),
// wall and CPU time each on their own. Deleted widgets are flushed between runs, outside the timings.
Timing median(const std::function<void(Timing&)>& run)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < kRepetitions; ++i) {
        Timing t;
        Stopwatch clock;
        run(t);
        if (t.wallMs == 0)
            t = clock.stop();
        wall.push_back(t.wallMs), cpu.push_back(t.cpuMs);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[kRepetitions / 2], cpu[kRepetitions / 2]};
}

// The median time from the start of `show` until the event loop it enters runs, that is until
// everything filled in before is on screen; `close` then ends that loop.
Timing untilShown(QObject* context, const std::function<void()>& show, const std::function<void()>& close)
{
    return median([&](Timing& t) {
        Stopwatch clock;
        QTimer::singleShot(0, context, [&] {
            t = clock.stop();
            close();
        });
        show();
    });
}

struct Row {
    QString name;
    Timing panel, floor;
    QString floorName;
};

kiv_general_types::Project project(int i)
{
    kiv_general_types::Project p;
    p.id = QStringLiteral("p%1").arg(i, 4, 10, QLatin1Char('0'));
    p.name = QStringLiteral("Project %1").arg(i);
    p.type = kiv_general_types::RENDERTYPE_MAYA;
    p.options.nodePool = QStringLiteral("cpu");
    return p;
}

// The panel's loads of the user after the first, which makes the user file from the template,
// beside every key of the three files read through bare QSettings.
Row userLoad(const QString& name, kiv_configuration_widget& panel, const kiv_test::Sandbox& sandbox)
{
    panel.SetCurrentUserInfo(kiv_test::sampleUser());
    const Timing timing = median([&](Timing&) { panel.SetCurrentUserInfo(kiv_test::sampleUser()); });
    if (panel.GetGeneralOpt("rendertime").toInt() != 2400)
        qFatal("the user load did not read the user file");
    const QStringList files{sandbox.defaultFile(), sandbox.userFile("artist"), sandbox.appDir() + "/data/kiv_renderpath.ini"};
    const Timing floor = median([&](Timing&) {
        for (const QString& file : files) {
            QSettings settings(file, QSettings::IniFormat);
            for (const QString& key : settings.allKeys())
                settings.value(key);
        }
    });
    return {name, timing, floor, "QSettings: every key of the 3 files"};
}

// The same rows as ShowConf's project table in a bare one: three texts and a cell of three
// buttons (two hidden) and a separator, rebuilt and shown the same way.
void fillBareTable(QTableWidget* table)
{
    table->setRowCount(0);
    for (int i = 0; i < kProjects; ++i) {
        table->insertRow(i);
        int column = 0;
        for (const QString& text : {project(i).name, QStringLiteral("maya"), QStringLiteral("CPU Pool"), QString()})
            table->setItem(i, column++, new QTableWidgetItem(text));
        table->item(i, 3)->setData(Qt::UserRole, project(i).id);
        auto* cell = new QWidget;
        auto* row = new QHBoxLayout(cell);
        row->setSpacing(10);
        for (const char* text : {"Delete", "", "Editor", "Set Current"})
            row->addWidget(*text ? new QPushButton(text) : new QWidget);
        row->addStretch();
        row->itemAt(0)->widget()->hide();
        row->itemAt(1)->widget()->hide();
        table->setIndexWidget(table->model()->index(i, 3), cell);
    }
    table->doItemsLayout();
}

// Date folders of finished index files, each with its begin and end markers: a poll reads none.
void writeMonitorTree(const QString& root)
{
    for (int d = 0; d < kDateFolders; ++d) {
        const QString index = root + QDate(2020, 1, 1).addDays(d).toString("/yyyy_MM_dd/_txtIndex/");
        for (int f = 0; f < kIndexFilesPerDate; ++f)
            for (const char* suffix : {"", ".B", ".E"})
                kiv_test::writeFile(index + QStringLiteral("scene_%1.txt").arg(f) + suffix,
                                    *suffix ? "" : "20200101120000\nD:/scenes/shot_0101.ass\n");
    }
    // Folders changed within the last seconds are listed at every poll: let the tree age.
    QThread::msleep(3500);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Debug lines (per poll, per row layout) would drown the table; a release host would not show them.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    kiv_test::Sandbox sandbox;
    sandbox.writeDefaults(kDefaults);
    sandbox.writeTemplate(kTemplate);
    kiv_general_types::GeneralSet general;
    general.nodePools.insert("cpu", {"cpu_internal", "CPU Pool"});
    std::vector<Row> rows;

    // Construction, beside the panel's own form built bare: the same widgets, nothing wired or filled.
    int widgets = 0;
    const Timing built = median([&](Timing& t) {
        Stopwatch clock;
        kiv_configuration_widget form(general, nullptr);
        t = clock.stop();
        widgets = form.findChildren<QWidget*>().size();
    });
    const Timing bareForm = median([](Timing&) {
        QDialog form;
        Ui::wgtConfiguration().setupUi(&form);
    });
    rows.push_back({"panel construction", built, bareForm, QStringLiteral("its form built bare, %1 widgets").arg(widgets)});
    {
        kiv_configuration_widget panel(general, nullptr);
        rows.push_back(userLoad("user load (SetCurrentUserInfo)", panel, sandbox));

        for (int i = 0; i < kProjects; ++i)
            panel.SetNewProject(project(i), false);
        panel.SetCurrentProjectToTab(project(kProjects / 2).id);
        QDialog dialog;
        auto* table = new QTableWidget(0, 4, &dialog);
        (new QVBoxLayout(&dialog))->addWidget(table);
        rows.push_back({QStringLiteral("ShowConf, %1 projects").arg(kProjects),
                        untilShown(&panel, [&] { panel.ShowConf(false); },
                                   [&] { panel.findChild<QPushButton*>("btnClose")->click(); }),
                        untilShown(&dialog, [&] {
                            fillBareTable(table);
                            dialog.exec();
                        }, [&] { dialog.reject(); }),
                        "QTableWidget: same rows and cells, shown"});

        // The host's marks: every option, then the few answered from elsewhere.
        QStringList marks{"currentproject", "appversion", "uploadconcurrent", "downloadconcurrent"}, keys;
        for (const kiv_general_options::Option& option : kiv_general_options::table())
            marks << QLatin1String(option.key);
        for (const QString& mark : marks)
            keys << "kiv.general/" + mark;
        QSettings settings(sandbox.userFile("artist"), QSettings::IniFormat);
        int answered = 0;
        const auto ask = [&](const std::function<QVariant(int)>& value) {
            return median([&](Timing&) {
                for (int i = 0; i < kOptionCalls; ++i)
                    answered += value(i).isValid();
            });
        };
        rows.push_back({QStringLiteral("GetGeneralOpt x%1").arg(kOptionCalls),
                        ask([&](int i) { return panel.GetGeneralOpt(marks.at(i % marks.size())); }),
                        ask([&](int i) { return settings.value(keys.at(i % keys.size())); }),
                        "QSettings::value of the same keys"});
        if (answered == 0)
            std::fputs("no option answered\n", stderr);
    }

    // One poll is MonitorStart; the first lists everything, later ones what changed.
    const QString root = sandbox.userDir() + "/monitor";
    writeMonitorTree(root);
    const auto poll = [](kiv_monitorwork& worker) { QMetaObject::invokeMethod(&worker, "MonitorStart", Qt::DirectConnection); };
    const Timing first = median([&](Timing& t) {
        kiv_monitorwork fresh(root);
        Stopwatch clock;
        poll(fresh);
        t = clock.stop();
    });
    kiv_monitorwork worker(root);
    poll(worker);
    const Timing steady = median([&](Timing&) { poll(worker); });
    int entries = 0, folders = 0;
    const Timing walk = median([&](Timing&) {
        entries = folders = 0;
        for (QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDirIterator::Subdirectories);
             it.hasNext(); ++entries) {
            it.next();
            folders += it.fileInfo().isDir();
        }
    });
    const QString walked = QStringLiteral("QDirIterator walk: %1 entries, %2 folders").arg(entries).arg(folders);
    rows.push_back({QStringLiteral("watcher first poll, %1 dates").arg(kDateFolders), first, walk, walked});
    rows.push_back({QStringLiteral("watcher steady poll, %1 dates").arg(kDateFolders), steady, walk, walked});

    // Loads for a user with this many versions listed, each with a stored folder.
    kiv_test::Sandbox versions;
    QByteArray defaults = kDefaults, paths;
    QStringList items;
    for (int i = 0; i < kVersions; ++i) {
        const QString guid = QStringLiteral("{V-%1}").arg(i);
        items << QStringLiteral("\"%1&3ds Max %2\"").arg(guid).arg(2000 + i);
        paths += QStringLiteral("[%1]\ninstalllocation=%2/max%3\n").arg(guid, versions.appDir()).arg(i).toUtf8();
    }
    versions.writeDefaults(defaults.replace("3dsmax={B-2019}&3ds Max 2019, {B-2020}&3ds Max 2020", "3dsmax=" + items.join(", ").toUtf8()));
    versions.writeTemplate(kTemplate);
    kiv_test::writeFile(versions.appDir() + "/data/kiv_renderpath.ini", paths);
    kiv_configuration_widget versionPanel(general, nullptr);
    rows.push_back(userLoad(QStringLiteral("user load, %1 versions").arg(kVersions), versionPanel, versions));

    std::printf("kiv_bench: median of %d runs, milliseconds; cpu = process CPU time, all threads\n\n", kRepetitions);
    std::printf("%-32s %10s %10s %10s %10s %7s %7s  %s\n", "case", "panel wall", "panel cpu", "floor wall", "floor cpu",
                "x wall", "x cpu", "floor");
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    for (const Row& row : rows)
        std::printf("%-32s %10.2f %10.2f %10.2f %10.2f %7.1f %7.1f  %s\n", qPrintable(row.name), row.panel.wallMs,
                    row.panel.cpuMs, row.floor.wallMs, row.floor.cpuMs, ratio(row.panel.wallMs, row.floor.wallMs),
                    ratio(row.panel.cpuMs, row.floor.cpuMs), qPrintable(row.floorName));
    return 0;
}
