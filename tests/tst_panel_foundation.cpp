// The panel as a host sees it: its interface, its settings files, opening
// and closing, the window chrome, texts and logging.

#include "kiv_app_paths.h"
#include "kiv_configuration_widget.h"
#include "kiv_http.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_pluginoptions.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QDirIterator>
#include <QGraphicsDropShadowEffect>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

using kiv_test::LogRecorder;
using kiv_test::Sandbox;

namespace {

const QByteArray kDefaults = "[kiv.appversion]\n"
                             "appversion=3.2.1\n"
                             "hotline=400-800-1234\n"
                             "qqnumber=800012345\n"
                             "[3dsmax]\n"
                             "oldmax=3ds Max 2014, 3ds Max 2015\n"
                             "[py]\n"
                             "maya=2.7, 3.7\n"
                             "houdini=3.7\n";

const QByteArray kTemplate = "[kiv.general]\nautodownload=1\n";

// Wraps every QObject::tr text so that a re-labelled widget is easy to spot.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "QObject") != 0)
            return {};
        return QStringLiteral("<%1>").arg(QString::fromUtf8(sourceText));
    }
    bool isEmpty() const override { return false; }
};

QStringList filesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

} // namespace

class tst_panel_foundation : public QObject
{
    Q_OBJECT
private slots:
    void metaTypesAreRegisteredWhenTheLibraryLoads();
    void metaObjectListsTheInterfaceInOrder();
    void constructionReadsOnlyTheVersionInformation();
    void versionInformationIsReadOnce();
    void firstUserCreatesConfFromTheTemplate();
    void existingUserFileIsOpenedUnchanged();
    void secondUserSwitchesFiles();
    void refusedUserNames_data();
    void refusedUserNames();
    void refusedUserReleasesTheEarlierFile();
    void emptyUserNameOpensNothing();
    void nonAsciiUserNamesAreUsedVerbatim();
    void showConfWithoutUserShowsOnlyTheNotice();
    void showConfSelectsThePageAndClosesWithoutWriting();
    void navigationShowsPagesAndTheTutorialButton();
    void titleBarDragsThePanel();
    void frameAndMaximisedMargins();
    void languageChangeReappliesTheTexts();
    void pluginManagerLinesReachTheHostWithTheLoggerId();
    void pluginLanguageCode_data();
    void pluginLanguageCode();
};

void tst_panel_foundation::metaTypesAreRegisteredWhenTheLibraryLoads()
{
    // Looked up by name only, before anything in this test could register them.
    QVERIFY(QMetaType::type("kiv_general_types::AuthSet::LoginInfo") != QMetaType::UnknownType);
    QVERIFY(QMetaType::type("kiv_general_types::Project") != QMetaType::UnknownType);
}

void tst_panel_foundation::metaObjectListsTheInterfaceInOrder()
{
    const QStringList signalList = {
        "SigZftxParams(ZftxTransConfig)",
        "sigGetProjectList()",
        "SigMaxConcurrence(ZFTXCMDTYPE,int)",
        "sigCreateProject()",
        "sigDeleteProject(kiv_general_types::Project)",
        "sigSetCurrentProject(QString)",
        "sigEditProject(kiv_general_types::Project)",
        "sigConfChanged()",
        "sigLog(int,int,QString,const wchar_t*,int)",
        "sigNewProject(kiv_general_types::Project,bool)",
        "sigCurrentProject(QString)",
        "sigUpdatePluginCfg(QVariantMap)",
        "sigUpdatePluginTriggered()",
        "sigUpdatePluginStatus(QString)",
        "sigUpdatePluginStatus()",
        "sigInstallPlugin(int)",
    };
    const QStringList publicSlots = {
        "SetNewProject(kiv_general_types::Project,bool)",
        "UpdateProject(kiv_general_types::Project)",
        "DeleteProjectToTab(kiv_general_types::Project)",
        "SetCurrentProjectToTab(QString)",
        "SetCurrentUserInfo(kiv_general_types::AuthSet::LoginInfo)",
        "CurrentSubCenterChanged(QVariantMap)",
        "GetGeneralOpt(QString,QVariant&)",
        "SetLogger(int)",
        "SetTransferLink(QVariantMap)",
        "OnChangeSkin()",
        "OnWriteLog(int,QString,const wchar_t*,int)",
        "OnPluginInstall(int)",
    };
    const QStringList protectedSlots = {
        "EnableApply()", "HandleTransferModeChanged(int)",
        "InsertNewItemToTable(kiv_general_types::Project,bool)", "HandleRadioButtonChanged()",
        "DeleteCamera()", "AddMonitorItem()", "DeleteMonitorPath()", "TriggerApply()", "TriggerCancel()",
        "setTransferCurrentIndex()", "InsertRenderPath()", "DeleteProject()", "EditProject()",
        "SetCurrentProject()", "SetProjectToCurrent(QString)", "CreateCamera()", "UpdateCamera()",
        "InsertItemToCamera(QString)", "SpeedTest()", "OnPluginInstallmanually()",
        "OnSelectDefaultDownloadPath()", "OnSelectAnalysisCachePath()", "OnShowPluginTutorial()",
        "SelectPathSuffix()",
    };

    const QMetaObject& meta = kiv_configuration_widget::staticMetaObject;
    QStringList actual;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        actual << QString::fromLatin1(meta.method(i).methodSignature());
    QCOMPARE(actual, signalList + publicSlots + protectedSlots);

    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        const int index = i - meta.methodOffset();
        if (index < signalList.size()) {
            QCOMPARE(method.methodType(), QMetaMethod::Signal);
        } else {
            QCOMPARE(method.methodType(), QMetaMethod::Slot);
            QCOMPARE(method.access(), index < signalList.size() + publicSlots.size()
                                          ? QMetaMethod::Public
                                          : QMetaMethod::Protected);
        }
    }
}

void tst_panel_foundation::constructionReadsOnlyTheVersionInformation()
{
    Sandbox sandbox;
    sandbox.writeDefaults(kDefaults);
    sandbox.writeTemplate(kTemplate);
    const QStringList appFilesBefore = filesUnder(sandbox.appDir());

    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    LogRecorder log(&panel);

    QVERIFY(filesUnder(sandbox.userDir()).isEmpty());
    QCOMPARE(filesUnder(sandbox.appDir()), appFilesBefore);
    QCOMPARE(kiv_test::readFile(sandbox.defaultFile()), kDefaults);

    // No user file is held: the sub-center cannot be taken yet.
    panel.CurrentSubCenterChanged({{QStringLiteral("TRANSMISSION_TYPE_FTP"), QVariantMap()}});
    QVERIFY(log.contains(600, QStringLiteral("not have current user info ")));
}

void tst_panel_foundation::versionInformationIsReadOnce()
{
    Sandbox sandbox;
    sandbox.writeDefaults(kDefaults);
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);

    QCOMPARE(panel.GetGeneralOpt(QStringLiteral("appversion")).toString(), QStringLiteral("3.2.1"));
    QCOMPARE(panel.GetGeneralOpt(QStringLiteral("hotline")).toString(), QStringLiteral("400-800-1234"));
    QCOMPARE(panel.GetGeneralOpt(QStringLiteral("qqnumber")).toString(), QStringLiteral("800012345"));
    QCOMPARE(panel.GetOldMax(), QStringList({"3ds Max 2014", "3ds Max 2015"}));
    QMap<QString, QStringList> py;
    py[QStringLiteral("maya")] = QStringList({"2.7", "3.7"});
    py[QStringLiteral("houdini")] = QStringList({"3.7"});
    QCOMPARE(panel.GetPyVersions(), py);

    // A later change of the file is seen by a new panel only.
    sandbox.writeDefaults("[kiv.appversion]\nappversion=9.9\n");
    panel.SetCurrentUserInfo(kiv_test::sampleUser());
    QCOMPARE(panel.GetGeneralOpt(QStringLiteral("appversion")).toString(), QStringLiteral("3.2.1"));

    // Without a default settings file everything is empty.
    QFile::remove(sandbox.defaultFile());
    kiv_configuration_widget bare(general, nullptr);
    QCOMPARE(bare.GetGeneralOpt(QStringLiteral("appversion")).toString(), QString());
    QVERIFY(bare.GetOldMax().isEmpty());
    QVERIFY(bare.GetPyVersions().isEmpty());
}

void tst_panel_foundation::firstUserCreatesConfFromTheTemplate()
{
    Sandbox sandbox;
    sandbox.writeTemplate(kTemplate);
    // The user folder itself may be missing too.
    const QString nested = sandbox.userDir() + QStringLiteral("/Roaming/Kiv");
    qputenv("KIV_USER_APP_PATH", nested.toUtf8());

    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    LogRecorder log(&panel);
    panel.SetCurrentUserInfo(kiv_test::sampleUser(QStringLiteral("artist")));

    QCOMPARE(kiv_test::readFile(nested + QStringLiteral("/conf/kiv_artist.ini")), kTemplate);
    QVERIFY(log.contains(600, QStringLiteral("get current userinfo")));
    QCOMPARE(log.lines.first().source, QStringLiteral("kiv_configuration_widget"));

    panel.CurrentSubCenterChanged({});
    QVERIFY(!log.contains(600, QStringLiteral("not have current user info ")));
}

void tst_panel_foundation::existingUserFileIsOpenedUnchanged()
{
    Sandbox sandbox;
    sandbox.writeTemplate(kTemplate);
    QDir().mkpath(sandbox.userDir() + QStringLiteral("/conf"));
    const QByteArray own = "[kiv.general]\nautodownload=0\n[host.private]\nkey=kept\n";
    kiv_test::writeFile(sandbox.userFile(QStringLiteral("artist")), own);

    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    panel.SetCurrentUserInfo(kiv_test::sampleUser(QStringLiteral("artist")));
    QCOMPARE(kiv_test::readFile(sandbox.userFile(QStringLiteral("artist"))), own);
}

void tst_panel_foundation::secondUserSwitchesFiles()
{
    Sandbox sandbox;
    sandbox.writeTemplate(kTemplate);
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);

    panel.SetCurrentUserInfo(kiv_test::sampleUser(QStringLiteral("first"), QStringLiteral("1")));
    QFile::remove(sandbox.userFile(QStringLiteral("first")));
    panel.SetCurrentUserInfo(kiv_test::sampleUser(QStringLiteral("second"), QStringLiteral("2")));

    QCOMPARE(kiv_test::readFile(sandbox.userFile(QStringLiteral("second"))), kTemplate);
    // The first user's file was released, not kept open and written back.
    QVERIFY(!QFile::exists(sandbox.userFile(QStringLiteral("first"))));
}

void tst_panel_foundation::refusedUserNames_data()
{
    QTest::addColumn<QString>("userName");
    QTest::newRow("parent folder") << QStringLiteral("../escape");
    QTest::newRow("slash") << QStringLiteral("team/artist");
    QTest::newRow("backslash") << QStringLiteral("team\\artist");
    QTest::newRow("drive") << QStringLiteral("C:artist");
    QTest::newRow("nul") << (QStringLiteral("art") + QChar(0) + QStringLiteral("ist"));
    for (const char* c : {"<", ">", "\"", "|", "?", "*"})
        QTest::newRow(c) << (QStringLiteral("art") + QLatin1String(c) + QStringLiteral("ist"));
}

void tst_panel_foundation::refusedUserNames()
{
    QFETCH(QString, userName);
    Sandbox sandbox;
    sandbox.writeTemplate(kTemplate);
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    LogRecorder log(&panel);

    panel.SetCurrentUserInfo(kiv_test::sampleUser(userName));
    QVERIFY(filesUnder(sandbox.userDir()).isEmpty());
    QVERIFY(filesUnder(QFileInfo(sandbox.userDir()).absolutePath()).filter("escape").isEmpty());
    QVERIFY(log.contains(300, QStringLiteral("invalid user name ")));

    QString notice;
    bool answered = false;
    kiv_test::clickInNextModal(QStringLiteral("ok"), &notice, &answered);
    panel.ShowConf(false);
    QVERIFY(answered);
    QCOMPARE(notice, QStringLiteral("get curent settings info faild"));
    QVERIFY(!panel.isVisible());
}

void tst_panel_foundation::refusedUserReleasesTheEarlierFile()
{
    Sandbox sandbox;
    sandbox.writeTemplate(kTemplate);
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    LogRecorder log(&panel);

    panel.SetCurrentUserInfo(kiv_test::sampleUser(QStringLiteral("artist")));
    panel.SetCurrentUserInfo(kiv_test::sampleUser(QStringLiteral("../artist")));
    panel.CurrentSubCenterChanged({});
    QVERIFY(log.contains(600, QStringLiteral("not have current user info ")));
}

void tst_panel_foundation::emptyUserNameOpensNothing()
{
    Sandbox sandbox;
    sandbox.writeTemplate(kTemplate);
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    LogRecorder log(&panel);

    panel.SetCurrentUserInfo(kiv_test::sampleUser(QString()));
    QVERIFY(log.contains(600, QStringLiteral("not have current user ")));
    QVERIFY(filesUnder(sandbox.userDir()).isEmpty());

    QString notice;
    kiv_test::clickInNextModal(QStringLiteral("ok"), &notice);
    panel.ShowConf(true);
    QCOMPARE(notice, QStringLiteral("get curent settings info faild"));
}

void tst_panel_foundation::nonAsciiUserNamesAreUsedVerbatim()
{
    Sandbox sandbox;
    sandbox.writeTemplate(kTemplate);
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);

    const QString name = QStringLiteral("渲染师 Zoë.v2");
    panel.SetCurrentUserInfo(kiv_test::sampleUser(name));
    QCOMPARE(kiv_test::readFile(sandbox.userFile(name)), kTemplate);
}

void tst_panel_foundation::showConfWithoutUserShowsOnlyTheNotice()
{
    Sandbox sandbox;
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);

    QString notice;
    bool cancelVisible = true;
    bool panelVisible = true;
    kiv_test::whenModal([&](QWidget* modal) {
        if (auto* box = qobject_cast<kiv_messagebox_dialog*>(modal))
            notice = box->text();
        cancelVisible = !modal->findChild<QPushButton*>(QStringLiteral("cancel"))->isHidden();
        panelVisible = panel.isVisible();
        modal->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
    panel.ShowConf(false);
    QCOMPARE(notice, QStringLiteral("get curent settings info faild"));
    QVERIFY(!cancelVisible);
    QVERIFY(!panelVisible);
}

void tst_panel_foundation::showConfSelectsThePageAndClosesWithoutWriting()
{
    Sandbox sandbox;
    sandbox.writeTemplate(kTemplate);
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    panel.SetCurrentUserInfo(kiv_test::sampleUser());
    const QByteArray before = kiv_test::readFile(sandbox.userFile(QStringLiteral("artist")));
    QSignalSpy changed(&panel, &kiv_configuration_widget::sigConfChanged);
    QSignalSpy transfer(&panel, &kiv_configuration_widget::SigZftxParams);

    auto* pages = panel.findChild<QStackedWidget*>(QStringLiteral("swtConfiguration"));
    auto* apply = panel.findChild<QPushButton*>(QStringLiteral("btnApply"));
    auto* tutorial = panel.findChild<QPushButton*>(QStringLiteral("btnTutorial"));
    auto* scroll = panel.findChild<QScrollArea*>(QStringLiteral("scrollArea"));
    auto* versions = panel.findChild<QTableWidget*>(QStringLiteral("twtSoftwareVersion"));

    struct Seen {
        int page = -1;
        bool applyEnabled = true;
        bool tutorialShown = false;
        int scrollValue = -1;
    };
    auto lookAndClose = [&](Seen* seen, bool scrollAway) {
        kiv_test::whenModal([&, seen, scrollAway](QWidget* modal) {
            seen->page = pages->currentIndex();
            seen->applyEnabled = apply->isEnabled();
            seen->tutorialShown = tutorial->isVisible();
            seen->scrollValue = scroll->verticalScrollBar()->value();
            if (scrollAway) {
                panel.findChild<QRadioButton*>(QStringLiteral("BtnGeneral"))->click();
                scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
                versions->setRowCount(60);
                versions->scrollToBottom();
            }
            QCOMPARE(modal, &panel);
            panel.findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
        });
    };

    Seen version;
    lookAndClose(&version, true);
    panel.ShowConf(true);
    QCOMPARE(version.page, 1);
    QVERIFY(!version.applyEnabled);
    QVERIFY(version.tutorialShown);
    QVERIFY(!panel.isVisible());
    QVERIFY(scroll->verticalScrollBar()->value() > 0);

    Seen general_;
    lookAndClose(&general_, false);
    panel.ShowConf(false);
    QCOMPARE(general_.page, 0);
    QVERIFY(!general_.applyEnabled);
    QVERIFY(!general_.tutorialShown);
    QCOMPARE(general_.scrollValue, 0);

    Seen versionAgain;
    lookAndClose(&versionAgain, false);
    panel.ShowConf(true);
    QCOMPARE(versions->verticalScrollBar()->value(), 0);

    QCOMPARE(kiv_test::readFile(sandbox.userFile(QStringLiteral("artist"))), before);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(transfer.count(), 0);
}

void tst_panel_foundation::navigationShowsPagesAndTheTutorialButton()
{
    Sandbox sandbox;
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    auto* pages = panel.findChild<QStackedWidget*>(QStringLiteral("swtConfiguration"));
    auto* tutorial = panel.findChild<QPushButton*>(QStringLiteral("btnTutorial"));
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(panel.findChild<QRadioButton*>(QStringLiteral("BtnPersional"))->isHidden());

    const QList<QPair<QString, int>> buttons = {{"BtnVersion", 1}, {"BtnTransfer", 2},
                                                {"BtnPersional", 3}, {"BtnProject", 4},
                                                {"BtnVersion", 1}, {"BtnGeneral", 0}};
    for (const auto& button : buttons) {
        panel.findChild<QRadioButton*>(button.first)->click();
        QCOMPARE(pages->currentIndex(), button.second);
        QCOMPARE(pages->currentWidget()->objectName(),
                 QStringList({"wgtGeneral", "wgtSoftwareVersion", "wgtUDTTransfer", "Persional",
                              "wgtProject"})
                     .at(button.second));
        QCOMPARE(tutorial->isHidden(), button.second != 1);
    }
}

void tst_panel_foundation::titleBarDragsThePanel()
{
    Sandbox sandbox;
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    panel.move(100, 80);
    auto* title = panel.findChild<QGroupBox*>(QStringLiteral("Title"));

    const QPoint local(40, 12);
    const QPoint global = title->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(title, &press);
    for (const QPoint travel : {QPoint(5, 3), QPoint(37, -21)}) {
        QMouseEvent move(QEvent::MouseMove, local + travel, global + travel, Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(title, &move);
        QCOMPARE(panel.pos(), QPoint(100, 80) + travel);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(title, &release);
    QCOMPARE(panel.pos(), QPoint(137, 59));
}

void tst_panel_foundation::frameAndMaximisedMargins()
{
    Sandbox sandbox;
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);

    QCOMPARE(panel.objectName(), QStringLiteral("wgtConfiguration"));
    QCOMPARE(panel.size(), QSize(709, 522));
    QVERIFY(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
    auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(
        panel.findChild<QWidget*>(QStringLiteral("widget_border"))->graphicsEffect());
    QVERIFY(shadow);
    QCOMPARE(shadow->blurRadius(), 12.0);
    QCOMPARE(shadow->offset(), QPointF(0, 0));
    QCOMPARE(panel.layout()->contentsMargins(), QMargins(9, 9, 9, 9));

    panel.showMaximized();
    QCOMPARE(panel.layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    panel.showNormal();
    QCOMPARE(panel.layout()->contentsMargins(), QMargins(9, 9, 9, 9));
    panel.hide();
}

void tst_panel_foundation::languageChangeReappliesTheTexts()
{
    Sandbox sandbox;
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    auto* versions = panel.findChild<QTableWidget*>(QStringLiteral("twtSoftwareVersion"));
    versions->setRowCount(2);
    versions->setItem(0, 2, new QTableWidgetItem(QStringLiteral("stale")));

    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    auto text = [&](const char* name) {
        return panel.findChild<QAbstractButton*>(QLatin1String(name))->text();
    };
    // The language change reaches the panel as a posted event.
    QTRY_COMPARE(text("BtnGeneral"), QStringLiteral("<General Settings>"));
    QCOMPARE(text("BtnPersional"), QStringLiteral("<Persion Settings>"));
    QCOMPARE(text("btnApply"), QStringLiteral("<Apply>"));
    QCOMPARE(text("radUploadHighA"), QStringLiteral("<Fixed>"));
    QCOMPARE(text("chkAutoDown"), QStringLiteral("<Auto Download>"));
    QCOMPARE(panel.findChild<QAbstractButton*>(QStringLiteral("chkAutoDown"))->toolTip(),
             QStringLiteral("<Auto download when frame is complete>"));
    QCOMPARE(panel.findChild<QGroupBox*>(QStringLiteral("gbxZFTXUpload"))->title(),
             QStringLiteral("ZFTX <Upload Settings>"));
    QCOMPARE(text("BtnAddCamera"), QStringLiteral("New Camera"));
    QCOMPARE(text("BtnAddMonitor"), QStringLiteral("Add Path"));
    QCOMPARE(versions->item(0, 2)->text(), QStringLiteral("<installed>"));
    QVERIFY(!versions->item(1, 2));
    auto* projects = panel.findChild<QTableWidget*>(QStringLiteral("WgtItem"));
    QCOMPARE(projects->columnCount(), 4);
    QCOMPARE(projects->horizontalHeaderItem(3)->text(), QStringLiteral("<Operation>"));
    QCOMPARE(panel.windowTitle(), QStringLiteral("<Settings>"));

    QCoreApplication::removeTranslator(&translator);
    QTRY_COMPARE(text("BtnGeneral"), QStringLiteral("General Settings"));
}

void tst_panel_foundation::pluginManagerLinesReachTheHostWithTheLoggerId()
{
    Sandbox sandbox;
    QWidget host;
    kiv_http http;
    kiv_general_types::GeneralSet general;
    auto* panel = new kiv_configuration_widget(general, &http, &host);
    LogRecorder log(panel);
    auto* manager = host.findChild<kiv_pluginoptions*>();
    QVERIFY(manager);

    panel->SetLogger(42);
    emit manager->sigLog(300, QStringLiteral("7Z File not exist!!"), L"kiv_pluginoptions", 77);
    QCOMPARE(log.lines.size(), 1);
    const kiv_test::LogLine line = log.lines.first();
    QCOMPARE(line.loggerId, 42);
    QCOMPARE(line.level, 300);
    QCOMPARE(line.message, QStringLiteral("7Z File not exist!!"));
    QCOMPARE(line.source, QStringLiteral("kiv_pluginoptions"));
    QCOMPARE(line.line, 77);

    QSignalSpy status(panel, qOverload<QString>(&kiv_configuration_widget::sigUpdatePluginStatus));
    emit manager->sigUpdateStatus(QStringLiteral("Get plugins failed!"));
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Get plugins failed!"));

    // The panel owns the manager even though it hangs below the host's widget.
    QPointer<kiv_pluginoptions> watched(manager);
    delete panel;
    QVERIFY(watched.isNull());
}

void tst_panel_foundation::pluginLanguageCode_data()
{
    QTest::addColumn<QByteArray>("defaults");
    QTest::addColumn<QString>("code");
    QTest::newRow("simplified") << QByteArray("[kiv.general]\nlanguage=kiv_tallowmere_client_zh_CN.qm\n")
                                << QStringLiteral("cn");
    QTest::newRow("traditional") << QByteArray("[kiv.general]\nlanguage=kiv_tallowmere_client_zh_TW.qm\n")
                                 << QStringLiteral("cn");
    QTest::newRow("english") << QByteArray("[kiv.general]\nlanguage=kiv_tallowmere_client_en.qm\n")
                             << QStringLiteral("en");
    QTest::newRow("empty") << QByteArray("[kiv.general]\nlanguage=\n") << QStringLiteral("en");
    QTest::newRow("no file") << QByteArray() << QStringLiteral("en");
}

void tst_panel_foundation::pluginLanguageCode()
{
    QFETCH(QByteArray, defaults);
    QFETCH(QString, code);
    Sandbox sandbox;
    if (!defaults.isEmpty())
        sandbox.writeDefaults(defaults);
    QCOMPARE(kiv_app_paths::pluginLanguageCode(), code);
}

QTEST_MAIN(tst_panel_foundation)
#include "tst_panel_foundation.moc"
