// The general options: what is read for a user, what the page shows, what
// Apply writes, and what the host is answered.

#include "test_support.h"

namespace {

const QByteArray kDefaults = "[kiv.general]\ncountperpage=30\nautoinstallplugin=1\n"
                             "defaultdownloadpath=D:/renders/\nanalysiscachepath=D:/cache/\n"
                             "[kiv.web]\nserver=https://server.example\nhelp=https://help.example\n"
                             "[kiv.appversion]\nappversion=5.0.1\nhotline=400\n";

// Every stored option differs from its built-in default; the last sections
// belong to the project list, the host and another user.
const QByteArray kStored = "[kiv.general]\nautodownload=0\nlayerop=0\ncheckscenefileversion=1\ncompressscene=1\n"
                           "uploadsenceonly=1\npre-render=1\nmaxpackagetype=0\npriorityrendering=1\n"
                           "setargument=1\ncompressdownload=1\ndownloadpathsuffix=1\nbalancecheck=0\n"
                           "remainbalance=250\nanalysistimeout=0\nanalysiserror=1\nclipboardsubmitting=1\n"
                           "rendertimeout=0\nanalysistime=120\nrendertime=480\nrenderflag=0\ncheckcancel=1\n"
                           "reanalysis=1\ndefaultdownloadpath=E:/mine/\ndefaultdownloadpathsuffix=Task Id/\n"
                           "analysiscachepath=E:/cache/\ncustompath=shots\n"
                           "[kiv.project]\ncurrentproject_tmq1001=project-7\n"
                           "[host.private]\ntoken=keep me\n[kiv.transfer.2002]\ntransfertype=aspera\n";

struct Fixture : kiv_test::PanelFixture {
    explicit Fixture(const QByteArray& userFile = {}, const QByteArray& defaults = kDefaults)
        : PanelFixture(userFile, defaults) {}
};

// As a user types: an edit whose validator finds the text unfinished emits no editingFinished.
void typeInto(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    if (edit->hasAcceptableInput())
        emit edit->editingFinished();
}

// For rows "mark | GetGeneralOpt(mark) | GetGeneralOpt(mark, value)", the
// panel's answers in that form: "type:value", "-" when `value` is left alone.
QStringList answers(kiv_configuration_widget* panel, const QStringList& rows)
{
    const auto shown = [](const QVariant& v) { return QStringLiteral("%1:%2").arg(v.typeName(), v.toString()); };
    QStringList result;
    for (const QString& row : rows) {
        const QString mark = row.section(" | ", 0, 0);
        QVariant value = QStringLiteral("untouched");
        panel->GetGeneralOpt(mark, value);
        result << mark + " | " + shown(panel->GetGeneralOpt(mark)) + " | "
                      + (shown(value) == "QString:untouched" ? "-" : shown(value));
    }
    return result;
}

} // namespace

class tst_general_settings : public QObject
{
    Q_OBJECT
private slots:
    void freshUserAndAPanelWithoutUserGetTheDefaults();
    void storedOptionsAnswerRoundTripAndApplyWritesEverything();
    void numbersOutOfRangeKeepThePreviousValue_data();
    void numbersOutOfRangeKeepThePreviousValue();
    void renderTimeoutSwitchControlsItsEditAndFlag();
    void applyThatCannotWriteSaysSoAndStaysOpenForARetry();
    void malformedValuesReadAsConversionsGiveAndApplyMendsThem();
    void suffixDialogSetsThePatternAndStoresTheCustomText();
};

void tst_general_settings::freshUserAndAPanelWithoutUserGetTheDefaults()
{
    // "layerop" is on by default, yet the first form always answers false.
    QStringList builtIn = {
        "autodownload | bool:true | bool:true", "layerop | bool:false | bool:true", "countperpage | int:20 | int:20",
        "analysistime | int:60 | int:60", "remainbalance | int:10 | -", "check | int:-1 | int:10",
        "rendertime | int:3000 | int:3000", "renderflag | bool:true | bool:true", "currentproject | QString: | -",
        "defaultdownloadpath | QString:%1/output/ | QString:%1/output/",
        "analysiscachepath | QString:%1/cache/ | QString:%1/cache/"};
    {
        // Without paths in the default file they lie in the user folder.
        Fixture f({}, "[kiv.general]\n");
        kiv_configuration_widget withoutUser(f.general, nullptr);
        builtIn.replaceInStrings("%1", f.sandbox.userDir());
        QCOMPARE(answers(f.panel.get(), builtIn), builtIn);
        QCOMPARE(answers(&withoutUser, builtIn), builtIn);
    }
    // The default file's paths and count are re-read on Apply; the user's own paths win (see kStored).
    Fixture f;
    QCOMPARE(f.panel->GetGeneralOpt("defaultdownloadpath").toString(), QStringLiteral("D:/renders/"));
    f.sandbox.writeDefaults("[kiv.general]\ncountperpage=50\n");
    f.open([] {}, true);
    QCOMPARE(f.panel->GetGeneralOpt("countperpage"), QVariant(50));
    QVERIFY(!QSettings(f.file(), QSettings::IniFormat).contains("kiv.general/countperpage"));
}

void tst_general_settings::storedOptionsAnswerRoundTripAndApplyWritesEverything()
{
    const auto everything = [](const QString& path) {
        QSettings file(path, QSettings::IniFormat);
        QStringList entries;
        for (const QString& key : file.allKeys())
            entries << key + "=" + file.value(key).toString();
        return entries;
    };
    // Every mark answers as the host's tables say.
    Fixture f(kStored);
    const QStringList table = {
        "autodownload | bool:false | bool:false",   "countperpage | int:30 | int:30",
        "compressscene | bool:true | -",            "compressscence | int:-1 | bool:true",
        "uploadsenceonly | bool:false | bool:true", "priorityrendering | bool:false | -",
        "remainbalance | int:250 | -",              "check | int:-1 | int:250",
        "analysistime | int:120 | int:120",         "custompath | QString:shots | QString:shots",
        "autoinstallplugin | int:1 | int:1",        "uploadconcurrent | bool:false | bool:false",
        "currentproject | QString:project-7 | -",   "appversion | QString:5.0.1 | -",
        "server | QString:https://server.example | -", "nosuchmark | int:-1 | -", "AutoDownload | int:-1 | -"};
    QCOMPARE(answers(f.panel.get(), table), table);
    // Shown and written back as stored, hidden options included; other sections kept, nothing added.
    const QStringList before = everything(f.file());
    f.open([&] {
        for (const char* off : {"boxAnalysisTimeout", "boxBalanceInsufficient", "renderspinbox"})
            QVERIFY2(!f.find<QLineEdit>(off)->isEnabled(), off);
        QVERIFY(f.find<QLineEdit>("lineEdit_pathSuffix")->isVisible());
    }, true);
    QCOMPARE(everything(f.file()), before);

    // A fresh user gets every option written, on disk when Apply returns; with
    // no transfer method offered nothing of the transfer page is sent.
    Fixture fresh;
    QSignalSpy changed(fresh.panel.get(), &kiv_configuration_widget::sigConfChanged);
    QSignalSpy transfer(fresh.panel.get(), &kiv_configuration_widget::SigZftxParams);
    fresh.open([&] {
        fresh.find<QCheckBox>("EnableClipboard")->click();
        fresh.find<QPushButton>("btnApply")->click();
        QCOMPARE(fresh.stored("kiv.general/clipboardsubmitting").toString(), QStringLiteral("1"));
    }, true);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(transfer.count(), 0);
    QCOMPARE(everything(fresh.file()).filter("kiv.general/").size(), 25);
    QCOMPARE(everything(fresh.file()).filter("kiv.transfer").size(), 0);
}

void tst_general_settings::numbersOutOfRangeKeepThePreviousValue_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("typed");   // in turn, each applied
    QTest::addColumn<QList<int>>("written"); // after each
    QTest::newRow("analysis minutes") << "boxAnalysisTimeout" << "analysistime" << QStringList{"25", "45", ""}
                                      << QList<int>{60, 45, 45};
    QTest::newRow("balance") << "boxBalanceInsufficient" << "remainbalance" << QStringList{"", "0", "-3", "1", "250"}
                             << QList<int>{10, 10, 10, 1, 250};
}

void tst_general_settings::numbersOutOfRangeKeepThePreviousValue()
{
    QFETCH(QString, edit);
    QFETCH(QString, key);
    QFETCH(QStringList, typed);
    QFETCH(QList<int>, written);
    Fixture f;
    for (int i = 0; i < typed.size(); ++i) {
        f.open([&] {
            // Apply enabled first, so that nothing but Apply sees the unfinished text.
            f.find<QCheckBox>("SetArgument")->click();
            f.find<QCheckBox>("SetArgument")->click();
            typeInto(f.find<QLineEdit>(qPrintable(edit)), typed.at(i));
        }, true);
        QCOMPARE(f.stored("kiv.general/" + key).toString(), QString::number(written.at(i)));
        QCOMPARE(f.panel->GetGeneralOpt(key), QVariant(written.at(i)));
    }
}

void tst_general_settings::renderTimeoutSwitchControlsItsEditAndFlag()
{
    Fixture f("[kiv.general]\nrendertimeout=0\nrendertime=0\nrenderflag=0\n");
    f.open([&] {
        auto* minutes = f.find<QLineEdit>("renderspinbox");
        QVERIFY(!minutes->isEnabled() && !f.find<QRadioButton>("RadTellme")->isVisible());
        // Switched on over stored minutes of 0: reset to 3000, in memory before any Apply.
        f.find<QCheckBox>("RenderTimeout")->click();
        QVERIFY(minutes->isEnabled() && f.find<QRadioButton>("RadTellme")->isChecked());
        QCOMPARE(minutes->text(), QStringLiteral("3000"));
        QCOMPARE(f.panel->GetGeneralOpt("rendertime"), QVariant(3000));
    }, false);
    QCOMPARE(f.stored("kiv.general/rendertime").toInt(), 0);
    // Switched off, the flag is left as stored.
    f.open([] {}, true);
    QCOMPARE(f.stored("kiv.general/renderflag").toString(), QStringLiteral("0"));
}

void tst_general_settings::applyThatCannotWriteSaysSoAndStaysOpenForARetry()
{
    // Malformed but writable: saved without complaint.
    Fixture malformed("[kiv.general]\nlayerop=0\n[broken\n");
    kiv_test::LogRecorder malformedLog(malformed.panel.get());
    malformed.open([&] { malformed.find<QCheckBox>("chkLayerOp")->click(); }, true);
    QCOMPARE(malformed.stored("kiv.general/layerop").toString(), QStringLiteral("1"));
    QVERIFY(malformedLog.lines.isEmpty());

    // The file becomes a folder, which no write gets through (permissions would not stop root).
    // It was malformed when read: that kept read error must not hide the failed save.
    Fixture f("[kiv.general]\nautodownload=1\n[broken\n");
    kiv_test::LogRecorder log(f.panel.get());
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    QVERIFY(QFile::remove(f.file()) && QDir().mkpath(f.file()));
    QString message;
    bool answered = false, stayedOpen = false, closedOnRetry = false;
    kiv_test::whenModal([&](QWidget*) {
        f.find<QCheckBox>("chkAutoDown")->click();
        kiv_test::clickInNextModal("ok", &message, &answered);
        f.find<QPushButton>("btnApply")->click();
        stayedOpen = f.panel->isVisible();
        QDir(f.file()).removeRecursively();
        f.find<QPushButton>("btnApply")->click();
        if (!(closedOnRetry = !f.panel->isVisible()))
            f.find<QPushButton>("btnClose")->click();
    });
    f.panel->ShowConf(false);
    QVERIFY(answered && stayedOpen && closedOnRetry);
    QCOMPARE(message, "The settings could not be saved to " + QDir::toNativeSeparators(f.file()));
    QVERIFY(log.contains(300, "user settings file " + f.file()));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(f.stored("kiv.general/autodownload").toString(), QStringLiteral("0"));

    // A write made at once fails the same way, and a later one gets through.
    QVERIFY(QFile::remove(f.file()) && QDir().mkpath(f.file()));
    log.lines.clear();
    f.panel->SetCurrentProjectToTab("p-1");
    QVERIFY(log.contains(300, "user settings file " + f.file()));
    QDir(f.file()).removeRecursively();
    log.lines.clear();
    f.panel->SetCurrentProjectToTab("p-2");
    QVERIFY(!log.contains(300, "user settings file "));
    QCOMPARE(f.stored("kiv.project/currentproject_tmq1001").toString(), QStringLiteral("p-2"));
}

void tst_general_settings::malformedValuesReadAsConversionsGiveAndApplyMendsThem()
{
    Fixture f("[kiv.general]\nanalysistime=abc\nremainbalance=\nmaxpackagetype=7\ndownloadpathsuffix=true\n"
              "autodownload=yes\ndefaultdownloadpathsuffix=\" Task Id/ \"\n");
    const QStringList read = {"analysistime | int:0 | int:0", "remainbalance | int:0 | -",
                              "downloadpathsuffix | bool:false | bool:false", "autodownload | bool:true | bool:true"};
    QCOMPARE(answers(f.panel.get(), read), read);
    f.open([&] { typeInto(f.find<QLineEdit>("boxBalanceInsufficient"), QString()); }, true);
    QStringList written;
    for (const char* key : {"analysistime", "remainbalance", "downloadpathsuffix", "autodownload", "defaultdownloadpathsuffix"})
        written << f.stored(QStringLiteral("kiv.general/") + key).toString();
    QCOMPARE(written, (QStringList{"0", "0", "0", "1", "Task Id/"}));
}

void tst_general_settings::suffixDialogSetsThePatternAndStoresTheCustomText()
{
    Fixture f("[kiv.general]\ndownloadpathsuffix=1\ndefaultdownloadpathsuffix=Task Id\ncustompath=old\n");
    auto* suffix = f.find<QLineEdit>("lineEdit_pathSuffix");
    f.open([&] {
        // Accepted: "Server Name" below "Task Id", the custom text trimmed and stored at once.
        kiv_test::whenModal([](QWidget* modal) {
            modal->findChild<QListWidget*>("lwtVisible")->findItems("Server Name", Qt::MatchExactly)[0]->setCheckState(Qt::Checked);
            modal->findChild<QLineEdit*>("lineEdit_custom")->setText("  shots  ");
            modal->findChild<QPushButton*>("btn_ok")->click();
        });
        f.find<QPushButton>("btn_editPathSuffix")->click();
        QCOMPARE(suffix->text(), QStringLiteral("Task Id/Server Name/"));
        QCOMPARE(f.stored("kiv.general/custompath").toString(), QStringLiteral("shots"));
    }, false);
    // The pattern waits for Apply.
    QCOMPARE(f.stored("kiv.general/defaultdownloadpathsuffix").toString(), QStringLiteral("Task Id"));
}

QTEST_MAIN(tst_general_settings)
#include "tst_general_settings.moc"
