#include "demo_host.h"

#include "kiv_configuration_widget.h"
#include "kiv_filewatcher.h"
#include "kiv_http.h"
#include "kiv_types.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <QWindow>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonObject>
#include <QSettings>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

// Lets a frame reach the screen before it is grabbed.
void WaitForFrame(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

kiv_general_types::AuthSet::LoginInfo SampleUser()
{
    kiv_general_types::AuthSet::LoginInfo info;
    info.userId = QStringLiteral("10086");
    info.accessToken = QStringLiteral("demo-access-token");
    info.zftxServer = QStringLiteral("zftx.example.com");
    info.zftxPassword = QStringLiteral("demo-zftx-password");
    info.ftpServer = QStringLiteral("ftp.example.com");
    info.asperaHost = QStringLiteral("aspera.example.com");
    info.asperaPort = QStringLiteral("33001");
    info.accountType = QStringLiteral("personal");
    info.nickName = QStringLiteral("Demo Artist");
    info.speedTestServer = QStringLiteral("speedtest.example.com");
    info.email = QStringLiteral("demo_artist@example.com");
    info.userName = QStringLiteral("demo_artist");
    info.ftpPassword = QStringLiteral("demo-ftp-password");
    info.phone = QStringLiteral("+1-555-0100");
    info.zoneId = QStringLiteral("1");
    info.language = QStringLiteral("en");
    return info;
}

// The panel is a translucent window with a shadow margin. grab() leaves that
// margin undefined where the platform has no alpha channel (offscreen), so
// the panel is drawn onto a transparent image without its window background.
QImage Snapshot(QWidget* widget)
{
    const qreal ratio = widget->devicePixelRatioF();
    QImage image(widget->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// A monitor folder with one scene index file, as a scene exporter leaves it.
// The begin marker of an earlier run goes, so that the file is announced
// again, and the file is dated back so that the watcher takes it as complete.
QString PrepareMonitorFolder(const QString& outputDir)
{
    const QString root = QDir(outputDir).filePath(QStringLiteral("monitor"));
    const QString indexDir = root + QStringLiteral("/2024_01_15/_txtIndex");
    QDir().mkpath(indexDir);
    const QString index = indexDir + QStringLiteral("/shot_010.txt");
    QFile file(index);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        QTextStream out(&file);
        out << "20240115103000\n";
        for (int frame = 101; frame <= 103; ++frame)
            out << QStringLiteral("D:/projects/demo/shot_010/shot_010_%1.ass\n").arg(frame, 4, 10, QLatin1Char('0'));
        out.flush();
        file.flush();
        file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    }
    QFile::remove(index + QStringLiteral(".B"));
    return root;
}

QString DescribeProject(const kiv_general_types::Project& project)
{
    return QStringLiteral("id=%1 name=%2 type=0x%3 nodePool=%4")
        .arg(project.id, project.name, QString::number(project.type, 16), project.options.nodePool);
}

kiv_general_types::Project SampleProject(const QString& id, const QString& name, int type, const QString& pool)
{
    kiv_general_types::Project project;
    project.id = id;
    project.name = name;
    project.type = type;
    project.options.nodePool = pool;
    return project;
}

QString Masked(const QString& secret)
{
    return secret.isEmpty() ? QString() : QStringLiteral("***");
}

QString DescribeTransfer(const ZftxTransConfig& config)
{
    // Every field the transfer engine receives; no password or secret goes
    // to the console or the log file, only whether one is set.
    auto direction = [](const char* name, const ZftxDirectionConfig& d) {
        return QStringLiteral("zftx.%1={mode=%2 packetInterval=%3 window=%4 rate=%5}")
            .arg(QLatin1String(name), d.mode)
            .arg(d.packetInterval)
            .arg(d.window)
            .arg(d.rate, 0, 'f', 1);
    };
    const QStringList fields = {
        QStringLiteral("uploadMethod=%1 downloadMethod=%2").arg(config.uploadMethod).arg(config.downloadMethod),
        direction("upload", config.zftx.upload),
        direction("download", config.zftx.download),
        QStringLiteral("zftx.server=%1 zftx.password=%2 zftx.user=%3 zftx.mss=%4")
            .arg(config.zftx.server, Masked(config.zftx.password), config.zftx.user)
            .arg(config.zftx.mss),
        QStringLiteral("aspera={uploadRate=%1 uploadPolicy=%2 downloadRate=%3 downloadPolicy=%4 encrypt=%5 "
                       "resume=%6 host=%7 port=%8 user=%9 secret=%10}")
            .arg(config.aspera.uploadRate)
            .arg(config.aspera.uploadPolicy)
            .arg(config.aspera.downloadRate)
            .arg(config.aspera.downloadPolicy)
            .arg(config.aspera.encrypt)
            .arg(config.aspera.resume)
            .arg(config.aspera.host, config.aspera.port, config.aspera.user)
            .arg(Masked(config.aspera.secret)),
        QStringLiteral("ftp={port=%1 server=%2 remotePath=%3 user=%4 password=%5}")
            .arg(config.ftp.port)
            .arg(config.ftp.server, config.ftp.remotePath, config.ftp.user, Masked(config.ftp.password)),
        QStringLiteral("userId=%1 zoneId=%2 clientCode=%3 reserved=%4 verifyMethod=%5 checkIntegrity=%6 "
                       "autoResume=%7 maxReconnect=%8")
            .arg(config.userId, config.zoneId, config.clientCode, config.reserved)
            .arg(config.verifyMethod)
            .arg(config.checkIntegrity)
            .arg(config.autoResume)
            .arg(config.maxReconnect),
    };
    return fields.join(QLatin1Char(' '));
}

// The credential document as the service sends it: the Aspera secret in
// Base64, salted with the user's name, in Base64 again.
QJsonDocument ScrambledCredentials(const QString& userName, const QString& user, const QString& secret)
{
    const QString salt = QString::fromLatin1((userName + QStringLiteral("tmq")).toUtf8().toBase64()).remove('=');
    QString inner = QString::fromLatin1(secret.toUtf8().toBase64());
    inner.chop(1); // the secret below encodes with exactly one "="
    inner.insert(inner.size() / 2, salt);
    const QJsonObject data{{QStringLiteral("aspera_user"), user},
                           {QStringLiteral("aspera_secret"), QString::fromLatin1(inner.toUtf8().toBase64())}};
    return QJsonDocument(QJsonObject{{QStringLiteral("ret"), 200}, {QStringLiteral("data"), data}});
}

QVariantMap SampleOffer()
{
    auto limits = [](double upload, double download) {
        return QVariantMap{{QStringLiteral("max_upload_speed"), upload},
                           {QStringLiteral("max_download_speed"), download}};
    };
    return {{QStringLiteral("TRANSMISSION_TYPE_FTP"), limits(2048, 4096)},
            {QStringLiteral("TRANSMISSION_TYPE_ZFTX"), limits(12800, 25600)},
            {QStringLiteral("TRANSMISSION_TYPE_ASPERA"), limits(64000, 128000)}};
}

QVariantMap SampleTransferLines()
{
    auto lines = [](const char* region) {
        return QVariantMap{{QStringLiteral("Line A"), QStringLiteral("%1-a.example.com").arg(QLatin1String(region))},
                           {QStringLiteral("Line B"), QStringLiteral("%1-b.example.com").arg(QLatin1String(region))}};
    };
    return {{QStringLiteral("ftp"), lines("ftp")},
            {QStringLiteral("zftx"), lines("zftx")},
            {QStringLiteral("aspera"), lines("aspera")}};
}

// A machine for the version page: some versions installed (found through a
// stand-in uninstall key, or a stored render path), others not.
void PrepareRenderSoftware(const QString& outputDir)
{
    const QDir output(outputDir);
    auto install = [&](const QString& name, const QString& executable) {
        const QString folder = output.filePath(QStringLiteral("programs/") + name);
        QDir().mkpath(QFileInfo(folder + QLatin1Char('/') + executable).path());
        QFile file(folder + QLatin1Char('/') + executable);
        if (file.open(QIODevice::WriteOnly))
            file.write("stand-in executable");
        return folder;
    };
    const QString maya = install(QStringLiteral("Maya2019"), QStringLiteral("bin/render.exe"));
    const QString max = install(QStringLiteral("3ds Max 2020"), QStringLiteral("3dsmax.exe"));
    const QString houdini = install(QStringLiteral("Houdini 17.5"), QStringLiteral("bin/hython.exe"));

    if (qEnvironmentVariableIsEmpty("KIV_UNINSTALL_REGISTRY")) {
        const QString registry = output.filePath(QStringLiteral("uninstall.ini"));
        QSettings key(registry, QSettings::IniFormat);
        key.setValue(QStringLiteral("{A1B2C3D4-0001-4A00-8000-000000002019}/InstallLocation"), maya);
        key.setValue(QStringLiteral("{B2C3D4E5-0002-4B00-8000-000000002020}/DisplayName"),
                     QStringLiteral("Autodesk 3ds Max 2020"));
        key.setValue(QStringLiteral("Autodesk 3ds Max 2020/InstallLocation"), max);
        qputenv("KIV_UNINSTALL_REGISTRY", QFile::encodeName(registry));
    }
    if (qEnvironmentVariableIsEmpty("KIV_COMMON_APPDATA"))
        qputenv("KIV_COMMON_APPDATA", QFile::encodeName(output.filePath(QStringLiteral("common"))));
    // Houdini is never in the registry: the user picked its folder once.
    kiv_types::setValue(QStringLiteral("{C3D4E5F6-0003-4C00-8000-000000000175}/installlocation"), houdini,
                        qEnvironmentVariable("KIV_APP_DIR") + QStringLiteral("/data/kiv_renderpath.ini"));
}

QString DescribeCommand(ZFTXCMDTYPE type)
{
    switch (type) {
    case ZFTXCMD_DOWNLOAD_CONCURRENCE:
        return QStringLiteral("download");
    case ZFTXCMD_UPLOAD_CONCURRENCE:
        return QStringLiteral("upload");
    case ZFTXCMD_NONE:
        break;
    }
    return QStringLiteral("none");
}

} // namespace

DemoHost::DemoHost(const QString& outputDir, QObject* parent)
    : QObject(parent)
    , m_outputDir(outputDir)
    , m_signalLog(QDir(outputDir).filePath(QStringLiteral("signals.log")))
{
    m_general.nodePools.insert(QStringLiteral("pool-cpu"),
                               qMakePair(QStringLiteral("cpu_default"), QStringLiteral("CPU Pool")));
    m_general.nodePools.insert(QStringLiteral("pool-gpu"),
                               qMakePair(QStringLiteral("gpu_rtx"), QStringLiteral("GPU Pool")));

    // One log per run, so that it shows this run's signals only.
    if (!m_signalLog.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(m_signalLog.fileName()));

    m_http = new kiv_http(this);
    m_panel = std::make_unique<kiv_configuration_widget>(m_general, m_http, nullptr);
    ConnectPanelSignals();
    // The panel has created the folder watcher. Its announcements are sent
    // from a worker thread and reach this object queued.
    connect(kiv_filewatcher::instance(), &kiv_filewatcher::fileChangeList, this,
            [this](const QStringList& files, const QString& frames) {
                ++m_announcements;
                Report(QStringLiteral("fileChangeList"),
                       QStringLiteral("frames=%1 files=%2").arg(frames, files.join(QLatin1Char('|'))));
            });
    AnswerProjectRequests();
    // A host chains its own signals to the panel's to reach the plugin manager.
    connect(this, &DemoHost::pluginConfigChanged, m_panel.get(), &kiv_configuration_widget::sigUpdatePluginCfg);
    connect(this, &DemoHost::pluginUpdateRequested, m_panel.get(),
            &kiv_configuration_widget::sigUpdatePluginTriggered);
}

DemoHost::~DemoHost() = default;

void DemoHost::Run(bool captureScreens)
{
    m_panel->SetLogger(7);
    PrepareRenderSoftware(m_outputDir);
    m_panel->SetCurrentUserInfo(SampleUser());
    // Give the demo user a monitor folder, then load the user again, as a
    // host does on a switch, so that the watcher takes it up.
    {
        QSettings user(kiv_types::userAppPath() + QStringLiteral("/conf/kiv_%1.ini").arg(SampleUser().userName),
                       QSettings::IniFormat);
        user.setValue(QStringLiteral("kiv.monitor/path"), PrepareMonitorFolder(m_outputDir));
    }
    m_panel->SetCurrentUserInfo(SampleUser());
    PushProjects();
    if (m_skinned)
        m_panel->OnChangeSkin();

    // The service's data arrive as a host receives them: the Aspera account,
    // the transfer lines, then the sub-center's offer.
    const kiv_general_types::AuthSet::LoginInfo user = SampleUser();
    m_panel->SetTransmissionSecret(ScrambledCredentials(user.userName, QStringLiteral("demo_aspera"),
                                                        QStringLiteral("secret42")));
    m_panel->SetTransferLink(SampleTransferLines());
    m_panel->CurrentSubCenterChanged(SampleOffer());

    // The plugin configuration always; the update check only against a
    // service of the host's own.
    emit pluginConfigChanged({{QStringLiteral("port"), QStringLiteral("9999")}});
    if (!qEnvironmentVariableIsEmpty("KIV_UPDATE_URL"))
        emit pluginUpdateRequested();

    QTextStream(stdout) << "[query] appversion=" << m_panel->GetGeneralOpt(QStringLiteral("appversion")).toString()
                        << " software=" << m_panel->GetVersionList().join(QLatin1Char('&'))
                        << " oldmax=" << m_panel->GetOldMax().join(QLatin1Char('|')) << Qt::endl;

    // ShowConf runs a modal loop; a zero timer set now fires inside it.
    if (captureScreens)
        QTimer::singleShot(0, this, &DemoHost::CapturePages);
    else
        OfferLanguageSwitch();
    m_panel->ShowConf(false);

    // The index file is read on the watcher's thread: allow it a moment.
    QEventLoop wait;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    connect(&poll, &QTimer::timeout, &wait, [&] {
        if (m_announcements > 0 || clock.elapsed() > 2000)
            wait.quit();
    });
    poll.start(20);
    wait.exec();
}

void DemoHost::CapturePages()
{
    if (!m_panel->isVisible()) {
        // ShowConf refused and shows its notice instead: close that, or the demo would hang.
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        return;
    }

    // Every page in both languages, then back to the one asked for.
    const QString asked = m_language;
    for (const QString& code : {QStringLiteral("en"), QStringLiteral("zh_CN")}) {
        SetLanguage(code);
        CaptureLanguage(code);
    }
    SetLanguage(asked);

    PlayProjectRequests();

    // Then play the artist once: change one option and press Apply, so that
    // the log shows the road from a click to the file and back to the host.
    auto* clipboard = m_panel->findChild<QAbstractButton*>(QStringLiteral("EnableClipboard"));
    auto* apply = m_panel->findChild<QAbstractButton*>(QStringLiteral("btnApply"));
    if (clipboard && apply) {
        clipboard->click();
        apply->click();
    }
    if (m_panel->isVisible()) {
        if (auto* close = m_panel->findChild<QAbstractButton*>(QStringLiteral("btnClose")))
            close->click();
    }
}

void DemoHost::CaptureLanguage(const QString& code)
{
    struct Page {
        const char* button;
        const char* name;
    };
    static const Page pages[] = {
        {"BtnGeneral", "general"},   {"BtnVersion", "version"}, {"BtnTransfer", "transfer"},
        {"BtnPersional", "personal"}, {"BtnProject", "project"},
    };
    // The scale in the name: "1x", "1.5x", "2x".
    const QString scale = QString::number(m_panel->devicePixelRatioF(), 'g', 3) + QLatin1Char('x');
    const bool onScreen = QGuiApplication::platformName() != QLatin1String("offscreen");

    int index = 0;
    for (const Page& page : pages) {
        // The personal button is hidden, but click() still switches the page.
        if (auto* button = m_panel->findChild<QAbstractButton*>(QLatin1String(page.button)))
            button->click();
        QCoreApplication::processEvents();

        const QString file = QDir(m_outputDir).filePath(
            QStringLiteral("page-%1-%2-%3-%4.png").arg(index).arg(QLatin1String(page.name), code, scale));
        // On a display, what the windowing system shows, margin and all.
        QImage image;
        if (onScreen && m_panel->windowHandle()) {
            WaitForFrame(200);
            image = m_panel->windowHandle()->screen()->grabWindow(0, m_panel->x(), m_panel->y(), m_panel->width(),
                                                                  m_panel->height()).toImage();
        } else {
            image = Snapshot(m_panel.get());
        }
        if (image.save(file))
            m_screenshots << file;
        else
            std::fprintf(stderr, "cannot save %s\n", qPrintable(file));
        ++index;
    }
}

void DemoHost::SetLanguage(const QString& code)
{
    m_translators.clear(); // each removal sends a language change
    m_language = code;
    if (code == QLatin1String("en"))
        return;
    const QStringList files = {
        QStringLiteral(":/i18n/kiv_configuration_%1.qm").arg(code),
        QStringLiteral(":/i18n/kiv_demo_%1.qm").arg(code),
        QLibraryInfo::location(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_%1.qm").arg(code),
    };
    for (const QString& file : files) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(file)) {
            std::fprintf(stderr, "no translation %s\n", qPrintable(file));
            continue;
        }
        QCoreApplication::installTranslator(translator.get());
        m_translators.push_back(std::move(translator));
    }
}

void DemoHost::OfferLanguageSwitch()
{
    // A small window of the panel's own, so that the modal panel leaves it usable.
    auto* window = new QWidget(m_panel.get(), Qt::Tool);
    window->setWindowTitle(tr("Language"));
    auto* layout = new QHBoxLayout(window);
    auto* label = new QLabel(tr("Language"), window);
    auto* choice = new QComboBox(window);
    choice->addItem(QStringLiteral("English"), QStringLiteral("en"));
    choice->addItem(QStringLiteral("中文"), QStringLiteral("zh_CN"));
    choice->setCurrentIndex(choice->findData(m_language));
    layout->addWidget(label);
    layout->addWidget(choice);
    connect(choice, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, choice, label, window] {
        SetLanguage(choice->currentData().toString());
        label->setText(tr("Language"));
        window->setWindowTitle(tr("Language"));
    });
    QTimer::singleShot(0, window, [this, window] {
        window->adjustSize();
        window->move(m_panel->frameGeometry().topRight() + QPoint(12, 0));
        window->show();
    });
}

void DemoHost::PushProjects()
{
    using kiv_general_types::Project;
    const Project projects[] = {
        SampleProject(QStringLiteral("p-1001"), QStringLiteral("Harbour flythrough"),
                      kiv_general_types::RENDERTYPE_3DSMAX, QStringLiteral("pool-cpu")),
        SampleProject(QStringLiteral("p-1002"), QStringLiteral("Robot turntable"),
                      kiv_general_types::RENDERTYPE_MAYA, QStringLiteral("pool-gpu")),
        // A pool the sub-center no longer offers: its cell stays empty.
        SampleProject(QStringLiteral("p-1003"), QStringLiteral("Smoke study"),
                      kiv_general_types::RENDERTYPE_HOUDINI, QStringLiteral("pool-retired")),
        SampleProject(QStringLiteral("xgt-{11AE440C-AD71-470A-888F-8025AF77E284}"),
                      QStringLiteral("Effect pictures"), kiv_general_types::RENDERTYPE_3DSMAX,
                      QStringLiteral("pool-cpu")),
    };
    for (const Project& project : projects)
        m_panel->SetNewProject(project, true);
    m_panel->SetCurrentProjectToTab(QStringLiteral("p-1002"));
}

void DemoHost::AnswerProjectRequests()
{
    // The panel only asks; the host decides and answers through the slots.
    using Panel = kiv_configuration_widget;
    using kiv_general_types::Project;
    Panel* panel = m_panel.get();
    connect(panel, &Panel::sigSetCurrentProject, this,
            [panel](const QString& id) { panel->SetCurrentProjectToTab(id); });
    connect(panel, &Panel::sigEditProject, this, [panel](Project project) {
        // Stands in for the host's project editor.
        if (!project.name.endsWith(QLatin1String(" (edited)")))
            project.name += QStringLiteral(" (edited)");
        panel->UpdateProject(project);
    });
    connect(panel, &Panel::sigDeleteProject, this,
            [panel](const Project& project) { panel->DeleteProjectToTab(project); });
}

void DemoHost::PlayProjectRequests()
{
    // Ask for an edit of the first row and make the last row current, so that
    // the log shows each request and the host's answer.
    auto* table = m_panel->findChild<QTableWidget*>(QStringLiteral("WgtItem"));
    if (!table || table->rowCount() == 0)
        return;
    const auto buttonOf = [table](int row, const char* name) -> QPushButton* {
        QWidget* cell = table->indexWidget(table->model()->index(row, 3));
        return cell ? cell->findChild<QPushButton*>(QLatin1String(name)) : nullptr;
    };
    if (QPushButton* edit = buttonOf(0, "BntEdit"))
        edit->click();
    if (QPushButton* current = buttonOf(table->rowCount() - 1, "BntSetCurrentItem"))
        current->click();
}

void DemoHost::ReportOptions()
{
    // What a host reads back after the panel tells it the settings changed.
    static const char* const marks[] = {
        "autodownload", "setargument", "compressscene", "analysistimeout", "analysistime",
        "balancecheck", "remainbalance", "rendertimeout", "rendertime", "renderflag", "checkcancel",
        "reanalysis", "analysiserror", "clipboardsubmitting", "checkscenefileversion",
        "downloadpathsuffix", "defaultdownloadpath", "defaultdownloadpathsuffix", "analysiscachepath",
        "custompath", "maxpackagetype", "autoinstallplugin", "countperpage", "uploadconcurrent",
        "downloadconcurrent", "currentproject", "appversion", "hotline", "qqnumber", "server", "help"};
    for (const char* mark : marks) {
        const QVariant value = m_panel->GetGeneralOpt(QLatin1String(mark));
        QTextStream(stdout) << "[option] " << mark << " = " << value.toString() << Qt::endl;
    }
}

void DemoHost::Report(const QString& signal, const QString& details)
{
    QString line = QStringLiteral("[signal] ") + signal;
    if (!details.isEmpty())
        line += QLatin1Char(' ') + details;

    QTextStream(stdout) << line << Qt::endl;
    if (m_signalLog.isOpen()) {
        m_signalLog.write(line.toUtf8() + '\n');
        m_signalLog.flush();
    }
}

void DemoHost::ConnectPanelSignals()
{
    using Panel = kiv_configuration_widget;
    using kiv_general_types::Project;
    Panel* panel = m_panel.get();

    connect(panel, &Panel::SigZftxParams, this,
            [this](const ZftxTransConfig& config) { Report(QStringLiteral("SigZftxParams"), DescribeTransfer(config)); });
    connect(panel, &Panel::sigGetProjectList, this, [this] { Report(QStringLiteral("sigGetProjectList")); });
    connect(panel, &Panel::SigMaxConcurrence, this, [this](ZFTXCMDTYPE type, int count) {
        Report(QStringLiteral("SigMaxConcurrence"),
               QStringLiteral("type=%1(%2) count=%3").arg(int(type)).arg(DescribeCommand(type)).arg(count));
    });
    connect(panel, &Panel::sigCreateProject, this, [this] { Report(QStringLiteral("sigCreateProject")); });
    connect(panel, &Panel::sigDeleteProject, this,
            [this](const Project& project) { Report(QStringLiteral("sigDeleteProject"), DescribeProject(project)); });
    connect(panel, &Panel::sigSetCurrentProject, this,
            [this](const QString& id) { Report(QStringLiteral("sigSetCurrentProject"), QStringLiteral("id=") + id); });
    connect(panel, &Panel::sigEditProject, this,
            [this](const Project& project) { Report(QStringLiteral("sigEditProject"), DescribeProject(project)); });
    connect(panel, &Panel::sigConfChanged, this, [this] {
        Report(QStringLiteral("sigConfChanged"));
        ReportOptions();
    });
    connect(panel, &Panel::sigLog, this,
            [this](int logger, int level, const QString& message, const wchar_t* source, int line) {
                const QString file = source ? QString::fromWCharArray(source) : QStringLiteral("?");
                Report(QStringLiteral("sigLog"), QStringLiteral("logger=%1 level=%2 source=%3:%4 message=%5")
                                                     .arg(logger)
                                                     .arg(level)
                                                     .arg(file)
                                                     .arg(line)
                                                     .arg(message));
            });
    connect(panel, &Panel::sigNewProject, this, [this](const Project& project, bool flag) {
        Report(QStringLiteral("sigNewProject"), DescribeProject(project) + QStringLiteral(" flag=%1").arg(flag));
    });
    connect(panel, &Panel::sigCurrentProject, this,
            [this](const QString& id) { Report(QStringLiteral("sigCurrentProject"), QStringLiteral("id=") + id); });
    connect(panel, &Panel::sigUpdatePluginCfg, this, [this](const QVariantMap& cfg) {
        Report(QStringLiteral("sigUpdatePluginCfg"), QStringLiteral("keys=") + QStringList(cfg.keys()).join(QLatin1Char(',')));
    });
    connect(panel, &Panel::sigUpdatePluginTriggered, this, [this] { Report(QStringLiteral("sigUpdatePluginTriggered")); });
    connect(panel, &Panel::sigUpdatePluginStatus, this,
            [this](const QString& message) { Report(QStringLiteral("sigUpdatePluginStatus"), QStringLiteral("message=") + message); });
    connect(panel, &Panel::sigInstallPlugin, this,
            [this](int mode) { Report(QStringLiteral("sigInstallPlugin"), QStringLiteral("mode=%1").arg(mode)); });
}
