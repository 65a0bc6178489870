// kiv_bench: how long the panel takes for the host's frequent or heavy calls,
// printed beside a floor measured in the same run, bare Qt doing the same
// amount of work: the ratio says how much the panel adds. Not a test; run it
// with ./build.sh bench. Every file lives in a temporary sandbox.

#include "kiv_configuration_widget.h"
#include "kiv_general_options.h"
#include "kiv_monitorwork.h"
#include "test_support.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

const int kRepetitions = 5;
const int kProjects = 1000;
const int kDateFolders = 1000;
const int kIndexFilesPerDate = 10;
const int kOptionCalls = 100000;

const QByteArray kDefaults = R"(
[kiv.general]
countperpage=20
autoinstallplugin=0
plugininstalled=0
defaultdownloadpathsuffix=Task Id/Task Name/

[kiv.web]
server=https://www.example.test
help=https://help.example.test

[kiv.appversion]
appversion=1.0.0
hotline=400-000-0000
qqnumber=800000000

[3dsmax]
oldmax=3ds Max 2014, 3ds Max 2015
analyzer=3dsmax
extension=exe

[maya]
analyzer=bin\\render
extension=exe

[houdini]
analyzer=bin\\hython
extension=exe

[py]
3dsmax=2.7.15, 3.7.6
maya=2.7.11, 3.7.7

[kiv.rendering]
version=maya&3dsmax&houdini
maya={A-2019}&Maya 2019, {A-2020}&Maya 2020
3dsmax={B-2019}&3ds Max 2019, {B-2020}&3ds Max 2020
houdini={C-180}&Houdini 18.0

[kiv.transfer]
uploadmaxconcurrence=3
downloadmaxoncurrence=5
)";

const QByteArray kTemplate = R"(
[kiv.general]
autodownload=1
analysistimeout=1
analysistime=60
rendertimeout=1
rendertime=2400
renderflag=1

[kiv.transfer]
transfertype=zftx
ftp.maxupload=5
ftp.maxdownload=5
zftx.uploadmode=0
zftx.downloadmode=0
zftx.uploadtargetrate=8
zftx.downloadtargetrate=8
)";

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

// Wall time, and the process's CPU time over all its threads.
class Stopwatch
{
public:
    void start()
    {
        m_cpu = std::clock();
        m_wall.start();
    }
    Timing stop() const
    {
        return {m_wall.nsecsElapsed() / 1e6, double(std::clock() - m_cpu) * 1000.0 / CLOCKS_PER_SEC};
    }

private:
    QElapsedTimer m_wall;
    std::clock_t m_cpu = 0;
};

// The median of a few runs, wall and CPU time each on their own. Deleted
// widgets are flushed between runs, outside the timings.
Timing median(const std::function<Timing()>& run)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < kRepetitions; ++i) {
        const Timing t = run();
        wall.push_back(t.wallMs);
        cpu.push_back(t.cpuMs);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[kRepetitions / 2], cpu[kRepetitions / 2]};
}

struct Row {
    QString name;
    Timing panel;
    Timing floor;
    QString floorName;
};

// Runs the dialog modally and measures until its event loop is running,
// i.e. everything the caller filled in before exec() is on screen.
Timing execUntilRunning(QDialog& dialog, const Stopwatch& clock)
{
    Timing timing;
    QTimer::singleShot(0, &dialog, [&] {
        timing = clock.stop();
        dialog.reject();
    });
    dialog.exec();
    return timing;
}

kiv_general_types::Project project(int i)
{
    kiv_general_types::Project p;
    p.id = QStringLiteral("p%1").arg(i, 4, 10, QLatin1Char('0'));
    p.name = QStringLiteral("Project %1").arg(i);
    p.type = kiv_general_types::RENDERTYPE_MAYA;
    p.options.nodePool = QStringLiteral("cpu");
    return p;
}

// The host's marks: every option, then the few answered from elsewhere.
QStringList hostMarks()
{
    QStringList marks;
    for (const kiv_general_options::Option& option : kiv_general_options::table())
        marks << QLatin1String(option.key);
    marks << QStringLiteral("currentproject") << QStringLiteral("appversion")
          << QStringLiteral("uploadconcurrent") << QStringLiteral("downloadconcurrent");
    return marks;
}

// Reads every key of an INI file through a fresh QSettings.
int readAllKeys(const QString& path)
{
    QSettings settings(path, QSettings::IniFormat);
    int valid = 0;
    for (const QString& key : settings.allKeys())
        valid += settings.value(key).isValid();
    return valid;
}

// Date folders, each with an "_txtIndex" folder of finished index files:
// every one with its begin and end markers, so a poll reads none of them.
void makeMonitorTree(const QString& root)
{
    const QDate first(2020, 1, 1);
    for (int d = 0; d < kDateFolders; ++d) {
        const QString index = QStringLiteral("%1/%2/_txtIndex").arg(root, first.addDays(d).toString("yyyy_MM_dd"));
        QDir().mkpath(index);
        for (int f = 0; f < kIndexFilesPerDate; ++f) {
            const QString file = QStringLiteral("%1/scene_%2.txt").arg(index).arg(f);
            kiv_test::writeFile(file, "20200101120000\nD:/scenes/shot_0101.ass\n");
            kiv_test::writeFile(file + QStringLiteral(".B"), QByteArray());
            kiv_test::writeFile(file + QStringLiteral(".E"), QByteArray());
        }
    }
}

Row construction(kiv_general_types::GeneralSet& general)
{
    int widgets = 0;
    const Timing panel = median([&] {
        Stopwatch clock;
        clock.start();
        kiv_configuration_widget form(general, nullptr);
        const Timing t = clock.stop();
        widgets = form.findChildren<QWidget*>().size();
        return t;
    });
    const Timing floor = median([&] {
        Stopwatch clock;
        clock.start();
        QDialog form;
        auto* layout = new QVBoxLayout(&form);
        for (int i = 0; i < widgets; ++i)
            layout->addWidget(new QWidget);
        return clock.stop();
    });
    return {QStringLiteral("panel construction"), panel, floor,
            QStringLiteral("QDialog with %1 plain widgets").arg(widgets)};
}

Row userLoad(kiv_configuration_widget& panel, const kiv_test::Sandbox& sandbox)
{
    // The first load makes the user file from the template; time the loads after it.
    panel.SetCurrentUserInfo(kiv_test::sampleUser());
    const Timing timing = median([&] {
        Stopwatch clock;
        clock.start();
        panel.SetCurrentUserInfo(kiv_test::sampleUser());
        return clock.stop();
    });
    // The template's value, or the load timed above did not happen.
    if (panel.GetGeneralOpt(QStringLiteral("rendertime")).toInt() != 2400)
        qFatal("the user load did not read the user file");
    const QStringList files{sandbox.defaultFile(), sandbox.userFile(QStringLiteral("artist")),
                            sandbox.appDir() + QStringLiteral("/data/kiv_renderpath.ini")};
    const Timing floor = median([&] {
        Stopwatch clock;
        clock.start();
        for (const QString& file : files)
            readAllKeys(file);
        return clock.stop();
    });
    return {QStringLiteral("user load (SetCurrentUserInfo)"), timing, floor,
            QStringLiteral("QSettings: every key of the 3 files")};
}

Row showConf(kiv_configuration_widget& panel)
{
    for (int i = 0; i < kProjects; ++i)
        panel.SetNewProject(project(i), false);
    panel.SetCurrentProjectToTab(project(kProjects / 2).id);
    const Timing timing = median([&] {
        Stopwatch clock;
        Timing t;
        QTimer::singleShot(0, &panel, [&] {
            t = clock.stop();
            panel.findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
        });
        clock.start();
        panel.ShowConf(false);
        return t;
    });

    // The same rows in a bare table: three texts and a cell of three buttons
    // (two hidden) and a separator, rebuilt and shown the same way.
    QDialog dialog;
    auto* table = new QTableWidget(0, 4, &dialog);
    (new QVBoxLayout(&dialog))->addWidget(table);
    const Timing floor = median([&] {
        Stopwatch clock;
        clock.start();
        table->setRowCount(0);
        for (int i = 0; i < kProjects; ++i) {
            const kiv_general_types::Project p = project(i);
            table->insertRow(i);
            table->setItem(i, 0, new QTableWidgetItem(p.name));
            table->setItem(i, 1, new QTableWidgetItem(QStringLiteral("maya")));
            table->setItem(i, 2, new QTableWidgetItem(QStringLiteral("CPU Pool")));
            auto* operation = new QTableWidgetItem;
            operation->setData(Qt::UserRole, p.id);
            table->setItem(i, 3, operation);
            auto* cell = new QWidget;
            auto* row = new QHBoxLayout(cell);
            row->setSpacing(10);
            auto* remove = new QPushButton(QStringLiteral("Delete"));
            auto* separator = new QWidget;
            row->addWidget(remove);
            row->addWidget(separator);
            row->addWidget(new QPushButton(QStringLiteral("Editor")));
            row->addWidget(new QPushButton(QStringLiteral("Set Current")));
            row->addStretch();
            remove->hide();
            separator->hide();
            table->setIndexWidget(table->model()->index(i, 3), cell);
        }
        table->doItemsLayout();
        return execUntilRunning(dialog, clock);
    });
    return {QStringLiteral("ShowConf, %1 projects").arg(kProjects), timing, floor,
            QStringLiteral("QTableWidget: same rows and cells, shown")};
}

Row generalOptions(kiv_configuration_widget& panel, const kiv_test::Sandbox& sandbox)
{
    const QStringList marks = hostMarks();
    int answered = 0;
    const Timing timing = median([&] {
        Stopwatch clock;
        clock.start();
        for (int i = 0; i < kOptionCalls; ++i)
            answered += panel.GetGeneralOpt(marks.at(i % marks.size())).isValid();
        return clock.stop();
    });
    QStringList keys;
    for (const QString& mark : marks)
        keys << QStringLiteral("kiv.general/") + mark;
    QSettings settings(sandbox.userFile(QStringLiteral("artist")), QSettings::IniFormat);
    const Timing floor = median([&] {
        Stopwatch clock;
        clock.start();
        for (int i = 0; i < kOptionCalls; ++i)
            answered += settings.value(keys.at(i % keys.size())).isValid();
        return clock.stop();
    });
    if (answered == 0)
        std::fputs("no option answered\n", stderr);
    return {QStringLiteral("GetGeneralOpt x%1").arg(kOptionCalls), timing, floor,
            QStringLiteral("QSettings::value of the same keys")};
}

Row watcherPoll(const QString& root)
{
    makeMonitorTree(root);
    kiv_monitorwork worker(root);
    // One poll is MonitorStart; its first run already sees every file finished.
    const auto poll = [&] { QMetaObject::invokeMethod(&worker, "MonitorStart", Qt::DirectConnection); };
    poll();
    const Timing timing = median([&] {
        Stopwatch clock;
        clock.start();
        poll();
        return clock.stop();
    });
    int entries = 0;
    int folders = 0;
    const Timing floor = median([&] {
        Stopwatch clock;
        clock.start();
        entries = folders = 0;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            ++entries;
            folders += it.fileInfo().isDir();
        }
        return clock.stop();
    });
    return {QStringLiteral("watcher poll, %1 date folders").arg(kDateFolders), timing, floor,
            QStringLiteral("QDirIterator walk: %1 entries, %2 folders").arg(entries).arg(folders)};
}

void print(const std::vector<Row>& rows)
{
    std::printf("kiv_bench: median of %d runs, milliseconds; cpu = process CPU time, all threads\n\n",
                kRepetitions);
    std::printf("%-32s %10s %10s %10s %10s %7s %7s  %s\n", "case", "panel wall", "panel cpu", "floor wall",
                "floor cpu", "x wall", "x cpu", "floor");
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    for (const Row& row : rows) {
        std::printf("%-32s %10.2f %10.2f %10.2f %10.2f %7.1f %7.1f  %s\n", qPrintable(row.name), row.panel.wallMs,
                    row.panel.cpuMs, row.floor.wallMs, row.floor.cpuMs, ratio(row.panel.wallMs, row.floor.wallMs),
                    ratio(row.panel.cpuMs, row.floor.cpuMs), qPrintable(row.floorName));
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Debug lines (the watcher's per poll, the row widgets' per layout) would
    // drown the table; a host's release build would not show them either.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    kiv_test::Sandbox sandbox;
    sandbox.writeDefaults(kDefaults);
    sandbox.writeTemplate(kTemplate);
    kiv_general_types::GeneralSet general;
    general.nodePools.insert(QStringLiteral("cpu"), {QStringLiteral("cpu_internal"), QStringLiteral("CPU Pool")});

    std::vector<Row> rows;
    rows.push_back(construction(general));
    {
        kiv_configuration_widget panel(general, nullptr);
        rows.push_back(userLoad(panel, sandbox));
        rows.push_back(showConf(panel));
        rows.push_back(generalOptions(panel, sandbox));
    }
    rows.push_back(watcherPoll(sandbox.userDir() + QStringLiteral("/monitor")));
    print(rows);
    return 0;
}
