// kiv_bench: the panel's frequent or heavy calls timed beside bare Qt doing the same work; ./build.sh bench runs it.

#include "kiv_general_options.h"
#include "kiv_monitorwork.h"
#include "test_support.h"
#include "ui_kiv_configuration_widget.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

const int kRepetitions = 5, kProjects = 1000, kDateFolders = 1000, kIndexFilesPerDate = 10, kOptionCalls = 100000,
          kVersions = 300;

struct Timing {
    double wallMs = 0, cpuMs = 0;
};

struct Stopwatch {
    Stopwatch() { m_cpu = std::clock(), m_wall.start(); }
    Timing stop() const { return {m_wall.nsecsElapsed() / 1e6, double(std::clock() - m_cpu) * 1000.0 / CLOCKS_PER_SEC}; }
    QElapsedTimer m_wall;
    std::clock_t m_cpu;
};

// One run of measured work, which sets the timing itself when it times only part of itself.
using Work = std::function<void(Timing&)>;

// The median of a few runs, wall and CPU time each on their own; deleted objects are flushed outside them.
Timing median(const Work& run)
{
    double wall[kRepetitions], cpu[kRepetitions];
    for (int i = 0; i < kRepetitions; ++i) {
        Timing t;
        Stopwatch clock;
        run(t);
        t = t.wallMs > 0 ? t : clock.stop();
        wall[i] = t.wallMs, cpu[i] = t.cpuMs;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(wall, wall + kRepetitions);
    std::sort(cpu, cpu + kRepetitions);
    return {wall[kRepetitions / 2], cpu[kRepetitions / 2]};
}

void row(const QString& name, const Work& panelWork, const Work& floorWork, const QString& floorName)
{
    const Timing panel = median(panelWork);
    const Timing floor = median(floorWork);
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("%-32s %10.2f %10.2f %10.2f %10.2f %7.1f %7.1f  %s\n", qPrintable(name), panel.wallMs, panel.cpuMs,
                floor.wallMs, floor.cpuMs, ratio(panel.wallMs, floor.wallMs), ratio(panel.cpuMs, floor.cpuMs),
                qPrintable(floorName));
}

// The time from `show` until the event loop it enters runs, all filled in on screen; `close` ends that loop.
Work untilShown(const std::function<void()>& show, const std::function<void()>& close)
{
    return [show, close](Timing& t) {
        Stopwatch clock;
        QTimer::singleShot(0, [&] {
            t = clock.stop();
            close();
        });
        show();
    };
}

kiv_general_types::Project project(int i)
{
    kiv_general_types::ProjectOptions options;
    options.nodePool = QStringLiteral("cpu");
    return {QStringLiteral("p%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("Project %1").arg(i),
            kiv_general_types::RENDERTYPE_MAYA, {}, options};
}

// The panel's loads of the user after the first (which makes the user file), beside bare QSettings reads.
void userLoad(const QString& name, kiv_configuration_widget& panel, const kiv_test::Sandbox& sandbox)
{
    panel.SetCurrentUserInfo(kiv_test::sampleUser());
    if (panel.GetGeneralOpt("rendertime").toInt() != 2400)
        qFatal("the user load did not read the user file");
    const QStringList files{sandbox.defaultFile(), sandbox.userFile("artist"), sandbox.appDir() + "/data/kiv_renderpath.ini"};
    const auto readAll = [&files](Timing&) {
        for (const QString& file : files) {
            QSettings settings(file, QSettings::IniFormat);
            for (const QString& key : settings.allKeys())
                settings.value(key);
        }
    };
    row(name, [&](Timing&) { panel.SetCurrentUserInfo(kiv_test::sampleUser()); }, readAll,
        "QSettings: every key of the 3 files");
}

// ShowConf's project table, bare: three texts and a cell of three buttons (two hidden) and a separator.
void showBareTable(QDialog& dialog, QTableWidget* table)
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
    dialog.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Debug lines (per poll, per row layout) would drown the table; a release host would not show them.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const QByteArray defaults = kiv_test::readFile(":/bench/kiv_default.ini");
    kiv_test::Sandbox sandbox;
    sandbox.writeDefaults(defaults);
    sandbox.writeTemplate(kiv_test::readFile(":/bench/kiv_users.ini"));
    kiv_general_types::GeneralSet general;
    general.nodePools.insert("cpu", {"cpu_internal", "CPU Pool"});
    std::printf("kiv_bench: median of %d runs, milliseconds; cpu = process CPU time, all threads\n\n", kRepetitions);
    std::puts("case                             panel wall  panel cpu floor wall  floor cpu  x wall   x cpu  floor");

    // Construction (the panel deleted outside the timing), beside the panel's own form built bare.
    kiv_configuration_widget panel(general, nullptr);
    row("panel construction", [&](Timing&) { (new kiv_configuration_widget(general, nullptr))->deleteLater(); },
        [](Timing&) { Ui::wgtConfiguration().setupUi(std::make_unique<QDialog>().get()); },
        QStringLiteral("its form built bare, %1 widgets").arg(panel.findChildren<QWidget*>().size()));

    userLoad("user load (SetCurrentUserInfo)", panel, sandbox);
    for (int i = 0; i < kProjects; ++i)
        panel.SetNewProject(project(i), false);
    panel.SetCurrentProjectToTab(project(kProjects / 2).id);
    QDialog dialog;
    auto* table = new QTableWidget(0, 4, &dialog);
    (new QVBoxLayout(&dialog))->addWidget(table);
    row(QStringLiteral("ShowConf, %1 projects").arg(kProjects),
        untilShown([&] { panel.ShowConf(false); }, [&] { panel.findChild<QPushButton*>("btnClose")->click(); }),
        untilShown([&] { showBareTable(dialog, table); }, [&] { dialog.reject(); }),
        "QTableWidget: same rows and cells, shown");

    QStringList marks{"currentproject", "appversion", "uploadconcurrent", "downloadconcurrent"}, keys;
    for (const kiv_general_options::Option& option : kiv_general_options::table())
        marks << QLatin1String(option.key);
    for (const QString& mark : marks)
        keys << "kiv.general/" + mark;
    QSettings settings(sandbox.userFile("artist"), QSettings::IniFormat);
    const auto ask = [](const std::function<QVariant(int)>& value) -> Work {
        return [value](Timing&) {
            for (int i = 0; i < kOptionCalls; ++i)
                value(i);
        };
    };
    row(QStringLiteral("GetGeneralOpt x%1").arg(kOptionCalls),
        ask([&](int i) { return panel.GetGeneralOpt(marks.at(i % marks.size())); }),
        ask([&](int i) { return settings.value(keys.at(i % keys.size())); }), "QSettings::value of the same keys");

    // Date folders of finished index files with begin and end markers: a poll (MonitorStart) reads none. A fresh
    // worker's first poll (deleted outside the timing) lists everything, later ones of a worker what changed.
    const QString root = sandbox.userDir() + "/monitor";
    for (int d = 0; d < kDateFolders; ++d) {
        const QString index = root + QDate(2020, 1, 1).addDays(d).toString("/yyyy_MM_dd/_txtIndex/");
        for (int f = 0; f < kIndexFilesPerDate; ++f)
            for (const char* suffix : {"", ".B", ".E"})
                kiv_test::writeFile(index + QStringLiteral("scene_%1.txt").arg(f) + suffix,
                                    *suffix ? "" : "20200101120000\nD:/scenes/shot_0101.ass\n");
    }
    // Folders changed within the last seconds are listed at every poll: let the tree age.
    QThread::msleep(3500);
    const auto poll = [](kiv_monitorwork* worker) {
        QMetaObject::invokeMethod(worker, "MonitorStart", Qt::DirectConnection);
        return worker;
    };
    QString walked;
    const auto walk = [&](Timing&) {
        int entries = 0, folders = 0;
        for (QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDirIterator::Subdirectories);
             it.hasNext(); ++entries) {
            it.next();
            folders += it.fileInfo().isDir();
        }
        walked = QStringLiteral("QDirIterator walk: %1 entries, %2 folders").arg(entries).arg(folders);
    };
    const auto firstPoll = [&](Timing&) { poll(new kiv_monitorwork(root))->deleteLater(); };
    row(QStringLiteral("watcher first poll, %1 dates").arg(kDateFolders), firstPoll, walk, walked);
    const std::unique_ptr<kiv_monitorwork> worker(poll(new kiv_monitorwork(root)));
    row(QStringLiteral("watcher steady poll, %1 dates").arg(kDateFolders), [&](Timing&) { poll(worker.get()); }, walk, walked);

    // Loads for a user with this many versions listed, each with a stored folder, in a sandbox of its own.
    kiv_test::Sandbox versions;
    QStringList items;
    QByteArray paths;
    for (int i = 0; i < kVersions; ++i) {
        const QString guid = QStringLiteral("{V-%1}").arg(i);
        items << QStringLiteral("\"%1&3ds Max %2\"").arg(guid).arg(2000 + i);
        paths += QStringLiteral("[%1]\ninstalllocation=%2/max%3\n").arg(guid, versions.appDir()).arg(i).toUtf8();
    }
    versions.writeDefaults(QByteArray(defaults).replace("3dsmax={B-2019}&3ds Max 2019, {B-2020}&3ds Max 2020",
                                                    "3dsmax=" + items.join(", ").toUtf8()));
    versions.writeTemplate(kiv_test::readFile(":/bench/kiv_users.ini"));
    kiv_test::writeFile(versions.appDir() + "/data/kiv_renderpath.ini", paths);
    kiv_configuration_widget versionPanel(general, nullptr);
    userLoad(QStringLiteral("user load, %1 versions").arg(kVersions), versionPanel, versions);
    return 0;
}
