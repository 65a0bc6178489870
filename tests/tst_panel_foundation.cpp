// The panel as a host sees it: users and their files, opening and closing,
// navigation, the title bar, texts and logging.

#include "kiv_http.h"
#include "kiv_messagebox_dialog.h"
#include "kiv_pluginoptions.h"
#include "test_support.h"

#include <QMetaMethod>

using kiv_test::sampleUser;

namespace {

// Differs from the built-in default, so a read of the user file shows.
const QByteArray kTemplate = "[kiv.general]\nautodownload=0\n";

QStringList filesUnder(const QString& folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    return files;
}

// A panel with no user yet on private folders, its log recorded.
struct BarePanel {
    // The files are written before the panel reads anything.
    explicit BarePanel(const QByteArray& defaults = QByteArray()) : written(write(defaults)) {}
    bool write(const QByteArray& defaults) const
    {
        if (!defaults.isNull())
            sandbox.writeDefaults(defaults);
        sandbox.writeTemplate(kTemplate);
        return true;
    }
    template <typename T>
    T* find(const char* name) const { return panel.findChild<T*>(QLatin1String(name)); }
    // Opens the panel, which must show the "no user" notice instead.
    void expectNotice()
    {
        QString notice;
        bool panelVisible = true;
        kiv_test::whenModal([&](QWidget* modal) {
            notice = qobject_cast<kiv_messagebox_dialog*>(modal)->text();
            panelVisible = panel.isVisible();
            QVERIFY(modal->findChild<QPushButton*>("cancel")->isHidden());
            modal->findChild<QPushButton*>("ok")->click();
        });
        panel.ShowConf(false);
        QCOMPARE(notice, QStringLiteral("get curent settings info faild"));
        QVERIFY(!panelVisible && !panel.isVisible());
    }
    QByteArray userFile(const QString& name = "artist") const { return kiv_test::readFile(sandbox.userFile(name)); }

    kiv_test::Sandbox sandbox;
    bool written;
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel{general, nullptr};
    kiv_test::LogRecorder log{&panel};
};

} // namespace

class tst_panel_foundation : public QObject
{
    Q_OBJECT
private slots:
    void interfaceIsListedInOrder();
    void withoutAUserThePanelReadsOnlyVersionsAndShowsTheNotice();
    void userFilesFollowTheCurrentUser();
    void refusedUserNames_data();
    void refusedUserNames();
    void anEmptyUserNameKeepsOnlyTheSameUsersFile();
    void showConfSelectsThePageScrollsUpAndClosesWithoutWriting();
    void navigationShowsPagesAndTheTutorialButton();
    void pluginManagerLinesReachTheHostWithTheLoggerId();
};

void tst_panel_foundation::interfaceIsListedInOrder()
{
    // Hosts connect by signature and by index: signals, then public and
    // protected slots, in this order and nothing else.
    const QString expected = QStringLiteral(
        "s SigZftxParams(ZftxTransConfig) s sigGetProjectList() s SigMaxConcurrence(ZFTXCMDTYPE,int) "
        "s sigCreateProject() s sigDeleteProject(kiv_general_types::Project) s sigSetCurrentProject(QString) "
        "s sigEditProject(kiv_general_types::Project) s sigConfChanged() s sigLog(int,int,QString,const wchar_t*,int) "
        "s sigNewProject(kiv_general_types::Project,bool) s sigCurrentProject(QString) s sigUpdatePluginCfg(QVariantMap) "
        "s sigUpdatePluginTriggered() s sigUpdatePluginStatus(QString) s sigUpdatePluginStatus() s sigInstallPlugin(int) "
        "+ SetNewProject(kiv_general_types::Project,bool) + UpdateProject(kiv_general_types::Project) "
        "+ DeleteProjectToTab(kiv_general_types::Project) + SetCurrentProjectToTab(QString) "
        "+ SetCurrentUserInfo(kiv_general_types::AuthSet::LoginInfo) + CurrentSubCenterChanged(QVariantMap) "
        "+ GetGeneralOpt(QString,QVariant&) + SetLogger(int) + SetTransferLink(QVariantMap) + OnChangeSkin() "
        "+ OnWriteLog(int,QString,const wchar_t*,int) + OnPluginInstall(int) "
        "# EnableApply() # HandleTransferModeChanged(int) # InsertNewItemToTable(kiv_general_types::Project,bool) "
        "# HandleRadioButtonChanged() # DeleteCamera() # AddMonitorItem() # DeleteMonitorPath() # TriggerApply() "
        "# TriggerCancel() # setTransferCurrentIndex() # InsertRenderPath() # DeleteProject() # EditProject() "
        "# SetCurrentProject() # SetProjectToCurrent(QString) # CreateCamera() # UpdateCamera() "
        "# InsertItemToCamera(QString) # SpeedTest() # OnPluginInstallmanually() # OnSelectDefaultDownloadPath() "
        "# OnSelectAnalysisCachePath() # OnShowPluginTutorial() # SelectPathSuffix()");
    QStringList actual;
    const QMetaObject& meta = kiv_configuration_widget::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod m = meta.method(i);
        const char* kind = m.methodType() == QMetaMethod::Signal ? "s" : m.methodType() != QMetaMethod::Slot ? "?"
                           : m.access() == QMetaMethod::Public   ? "+" : "#";
        actual << kind + (" " + QString::fromLatin1(m.methodSignature()));
    }
    QCOMPARE(actual.join(' '), expected);
}

void tst_panel_foundation::withoutAUserThePanelReadsOnlyVersionsAndShowsTheNotice()
{
    // Looked up by name, as a host's queued connections do.
    QVERIFY(QMetaType::type("kiv_general_types::AuthSet::LoginInfo") != QMetaType::UnknownType);
    QVERIFY(QMetaType::type("kiv_general_types::Project") != QMetaType::UnknownType);
    const QByteArray defaults = "[kiv.appversion]\nappversion=3.2.1\n[3dsmax]\noldmax=3ds Max 2014, 3ds Max 2015\n"
                                "[py]\nmaya=2.7, 3.7\nhoudini=3.7\n";
    BarePanel p(defaults);
    QCOMPARE(filesUnder(p.sandbox.appDir()).size(), 2);
    QCOMPARE(kiv_test::readFile(p.sandbox.defaultFile()), defaults);
    QCOMPARE(p.panel.GetGeneralOpt("appversion").toString(), QStringLiteral("3.2.1"));
    QCOMPARE(p.panel.GetOldMax(), QStringList({"3ds Max 2014", "3ds Max 2015"}));
    QCOMPARE(p.panel.GetPyVersions(), (QMap<QString, QStringList>{{"maya", {"2.7", "3.7"}}, {"houdini", {"3.7"}}}));

    // An empty name opens nothing either.
    p.panel.SetCurrentUserInfo(sampleUser(QString()));
    QVERIFY(p.log.contains(600, "not have current user "));
    p.panel.CurrentSubCenterChanged({{"TRANSMISSION_TYPE_FTP", QVariantMap()}});
    QVERIFY(p.log.contains(600, "not have current user info "));
    QVERIFY(filesUnder(p.sandbox.userDir()).isEmpty());
    p.expectNotice();

}

void tst_panel_foundation::userFilesFollowTheCurrentUser()
{
    BarePanel p;
    // The user folder itself may be missing too.
    const QString folder = p.sandbox.userDir() + "/Roaming/Kiv";
    qputenv("KIV_USER_APP_PATH", folder.toUtf8());
    auto userFile = [&](const QString& name) { return folder + "/conf/kiv_" + name + ".ini"; };

    // The first user gets the template, copied before anything is read; non-ASCII names are used verbatim.
    const QString first = QStringLiteral("渲染师 Zoë.v2");
    p.panel.SetCurrentUserInfo(sampleUser(first, "1"));
    QCOMPARE(kiv_test::readFile(userFile(first)), kTemplate);
    QCOMPARE(p.panel.GetGeneralOpt("autodownload"), QVariant(false));
    QCOMPARE(p.log.lines.first().source, QStringLiteral("kiv_configuration_widget"));

    // An existing file is opened unchanged, and the first user's is released, not written back.
    const QByteArray own = "[kiv.general]\nautodownload=1\n[host.private]\nkey=kept\n";
    kiv_test::writeFile(userFile("artist"), own);
    QFile::remove(userFile(first));
    p.panel.SetCurrentUserInfo(sampleUser("artist", "2"));
    QCOMPARE(kiv_test::readFile(userFile("artist")), own);
    QCOMPARE(p.panel.GetGeneralOpt("autodownload"), QVariant(true));
    p.panel.CurrentSubCenterChanged({});
    QVERIFY(!QFile::exists(userFile(first)));
}

void tst_panel_foundation::refusedUserNames_data()
{
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("logged"); // how the log shows the name
    for (const char* name : {"../escape", "team\\artist", "C:artist", "art|ist", "art?ist"})
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(name);
    QTest::newRow("nul") << (QStringLiteral("art") + QChar(0) + QStringLiteral("ist")) << "art\\x00ist";
    // A forged second log line, and characters the log could not show.
    QTest::newRow("line break") << QStringLiteral("渲染\n300 forged") << QStringLiteral("渲染\\x0A300 forged");
    QTest::newRow("U+001F, tab") << QStringLiteral("a\x1f\tb") << "a\\x1F\\x09b";
    QTest::newRow("U+0085, U+2028 after a forbidden char")
        << (QStringLiteral("a?") + QChar(0x85) + QChar(0x2028) + QChar(0x200B)) << "a?\\x85\\u2028\\u200B";
}

void tst_panel_foundation::refusedUserNames()
{
    QFETCH(QString, userName);
    QFETCH(QString, logged);
    BarePanel p;
    p.panel.SetCurrentUserInfo(sampleUser("artist"));
    const QStringList filesBefore = filesUnder(p.sandbox.userDir());
    p.panel.SetCurrentUserInfo(sampleUser(userName));
    QCOMPARE(filesUnder(p.sandbox.userDir()), filesBefore);
    QVERIFY(filesUnder(QFileInfo(p.sandbox.userDir()).absolutePath()).filter("escape").isEmpty());
    QCOMPARE(p.log.lines.last().level, 300);
    QCOMPARE(p.log.lines.last().message, "invalid user name " + logged);
    // The earlier user's file is released and its options forgotten.
    QCOMPARE(p.panel.GetGeneralOpt("autodownload"), QVariant(true));
    p.expectNotice();
}

void tst_panel_foundation::anEmptyUserNameKeepsOnlyTheSameUsersFile()
{
    for (const QString& otherId : {QStringLiteral("2002"), QString()}) {
        BarePanel p;
        p.panel.SetCurrentUserInfo(sampleUser("artist", "1001"));
        // A partial refresh of the same user keeps the file.
        p.panel.SetCurrentUserInfo(sampleUser(QString(), "1001"));
        QCOMPARE(p.panel.GetGeneralOpt("autodownload"), QVariant(false));
        p.panel.SetCurrentProjectToTab("p-1");
        QVERIFY(p.userFile().contains("currentproject_tmq1001=p-1"));

        // Anyone else is not given the open file: options reset, nothing written, nothing refused.
        p.panel.SetCurrentUserInfo(sampleUser(QString(), otherId));
        QCOMPARE(p.log.lines.last().message, QStringLiteral("not have current user "));
        QVERIFY(!p.log.contains(300, "invalid user name"));
        QCOMPARE(p.panel.GetGeneralOpt("autodownload"), QVariant(true));
        QCOMPARE(p.panel.GetGeneralOpt("currentproject"), QVariant(QString()));
        const QByteArray before = p.userFile();
        p.panel.SetCurrentProjectToTab("p-2");
        p.panel.CurrentSubCenterChanged({{"TRANSMISSION_TYPE_FTP", QVariantMap()}});
        QCOMPARE(p.userFile(), before);
        p.expectNotice();
    }
}

void tst_panel_foundation::showConfSelectsThePageScrollsUpAndClosesWithoutWriting()
{
    BarePanel p;
    p.panel.SetCurrentUserInfo(sampleUser());
    const QByteArray before = p.userFile();
    QSignalSpy changed(&p.panel, &kiv_configuration_widget::sigConfChanged);
    QSignalSpy transfer(&p.panel, &kiv_configuration_widget::SigZftxParams);
    auto* versions = p.find<QTableWidget>("twtSoftwareVersion");
    // Each opening looks, leaves its page scrolled down and an edit made, and closes.
    for (const bool versionPage : {false, true, false, true}) {
        QScrollBar* scroll = versionPage ? versions->verticalScrollBar()
                                         : p.find<QScrollArea>("scrollArea")->verticalScrollBar();
        QString seen;
        kiv_test::whenModal([&](QWidget* modal) {
            seen = QString("modal %1, page %2, apply %3, tutorial %4, scrolled %5")
                       .arg(modal == &p.panel).arg(p.find<QStackedWidget>("swtConfiguration")->currentIndex())
                       .arg(p.find<QPushButton>("btnApply")->isEnabled())
                       .arg(p.find<QPushButton>("btnTutorial")->isVisible()).arg(scroll->value());
            versions->setRowCount(60); // the version page fills the table as it opens
            versionPage ? versions->scrollToBottom() : scroll->setValue(scroll->maximum());
            p.find<QCheckBox>("SetArgument")->click();
            p.find<QPushButton>("btnClose")->click();
        });
        p.panel.ShowConf(versionPage);
        QCOMPARE(seen, QString("modal 1, page %1, apply 0, tutorial %1, scrolled 0").arg(versionPage));
        QVERIFY(!p.panel.isVisible() && scroll->value() > 0);
        QCOMPARE(p.panel.GetGeneralOpt("setargument"), QVariant(false));
    }
    QCOMPARE(p.userFile(), before);
    QCOMPARE(changed.count() + transfer.count(), 0);
}

void tst_panel_foundation::navigationShowsPagesAndTheTutorialButton()
{
    BarePanel p;
    auto* pages = p.find<QStackedWidget>("swtConfiguration");
    QVERIFY(p.find<QRadioButton>("BtnPersional")->isHidden());
    const QStringList pageNames = {"wgtGeneral", "wgtSoftwareVersion", "wgtUDTTransfer", "Persional", "wgtProject"};
    const QList<QPair<const char*, int>> buttons = {{"BtnVersion", 1}, {"BtnTransfer", 2}, {"BtnPersional", 3},
                                                    {"BtnProject", 4}, {"BtnVersion", 1}, {"BtnGeneral", 0}};
    for (const auto& [button, page] : buttons) {
        p.find<QRadioButton>(button)->click();
        QCOMPARE(pages->currentWidget()->objectName(), pageNames.at(page));
        QCOMPARE(p.find<QPushButton>("btnTutorial")->isHidden(), page != 1);
    }
}

void tst_panel_foundation::pluginManagerLinesReachTheHostWithTheLoggerId()
{
    kiv_test::Sandbox sandbox;
    QWidget host;
    kiv_http http;
    kiv_general_types::GeneralSet general;
    auto* panel = new kiv_configuration_widget(general, &http, &host);
    kiv_test::LogRecorder log(panel);
    QPointer<kiv_pluginoptions> manager(host.findChild<kiv_pluginoptions*>());
    QVERIFY(manager);
    panel->SetLogger(42);
    emit manager->sigLog(300, "7Z File not exist!!", L"kiv_pluginoptions", 77);
    QCOMPARE(log.lines.size(), 1);
    QCOMPARE(log.lines[0].loggerId, 42);
    QCOMPARE(log.lines[0].source, QStringLiteral("kiv_pluginoptions"));
    // The panel owns the manager even though it hangs below the host's widget.
    delete panel;
    QVERIFY(manager.isNull());
}

QTEST_MAIN(tst_panel_foundation)
#include "tst_panel_foundation.moc"
