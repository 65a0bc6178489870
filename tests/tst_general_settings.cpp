// The general options: what is read for a user, what the page shows, what
// Apply writes, and what the host is answered.

#include "kiv_configuration_widget.h"
#include "test_support.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray kDefaults = "[kiv.general]\ncountperpage=30\nautoinstallplugin=1\n"
                             "defaultdownloadpath=D:/renders/\nanalysiscachepath=D:/cache/\n"
                             "[kiv.web]\nserver=https://server.example\nregister=https://register.example\n"
                             "reset=https://reset.example\npersonal-center=https://me.example\n"
                             "render-list=https://list.example\nhelp=https://help.example\n"
                             "recharge=https://pay.example\nus=https://us.example\n"
                             "[kiv.appversion]\nappversion=5.0.1\nhotline=400\nqqnumber=8000\n";

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

// A user's panel on the default file above.
struct Fixture : kiv_test::PanelFixture {
    explicit Fixture(const QByteArray& userFile = {}, const QByteArray& defaults = kDefaults)
        : PanelFixture(userFile, defaults) {}
};

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->editingFinished();
}

QString shown(const QVariant& value)
{
    return QStringLiteral("%1:%2").arg(QLatin1String(value.typeName()), value.toString());
}

// For rows "mark | GetGeneralOpt(mark) | GetGeneralOpt(mark, value)", the
// panel's own answers in the same form: "type:value", or "-" when the
// second form leaves `value` untouched.
QStringList answers(kiv_configuration_widget* panel, const QStringList& rows)
{
    QStringList result;
    for (const QString& row : rows) {
        const QString mark = row.section(QStringLiteral(" | "), 0, 0);
        QVariant value = QStringLiteral("untouched");
        panel->GetGeneralOpt(mark, value);
        const QString second = shown(value) == "QString:untouched" ? "-" : shown(value);
        result << mark + " | " + shown(panel->GetGeneralOpt(mark)) + " | " + second;
    }
    return result;
}

} // namespace

class tst_general_settings : public QObject
{
    Q_OBJECT
private slots:
    void freshUserAndAPanelWithoutUserGetTheDefaults();
    void everyMarkAnswersAsTheHostTablesSayUntilTheUserIsRefused();
    void storedOptionsRoundTripThroughThePageAndApply();
    void numbersOutOfRangeKeepThePreviousValue_data();
    void numbersOutOfRangeKeepThePreviousValue();
    void renderTimeoutSwitchControlsItsEditAndButtons();
    void renderFlagIsShownAsWarningAndWrittenOnlyWhileOn();
    void applyAfterATwiceToggledBoxWritesEverythingAndFlushes();
    void closingDiscardsEditsAndEmitsNothing();
    void applyThatCannotWriteSaysSoAndStaysOpenForARetry();
    void aMalformedButWritableFileIsSavedWithoutComplaint();
    void malformedValuesReadAsConversionsGiveAndApplyMendsThem();
    void countPerPageIsReReadOnApply();
    void folderChooserFillsItsEdit();
    void suffixDialogSetsThePatternAndStoresTheCustomTextOnAccept();
};

void tst_general_settings::freshUserAndAPanelWithoutUserGetTheDefaults()
{
    // "layerop" is on by default, yet the first form always answers false.
    QStringList builtIn = {
        "autodownload | bool:true | bool:true", "layerop | bool:false | bool:true", "countperpage | int:20 | int:20",
        "analysistimeout | bool:true | bool:true", "analysistime | int:60 | int:60",
        "balancecheck | bool:true | bool:true", "remainbalance | int:10 | -", "check | int:-1 | int:10",
        "rendertimeout | bool:true | bool:true", "rendertime | int:3000 | int:3000",
        "renderflag | bool:true | bool:true", "currentproject | QString: | -",
        "defaultdownloadpathsuffix | QString: | QString:", "defaultdownloadpath | QString:%1/output/ | QString:%1/output/",
        "analysiscachepath | QString:%1/cache/ | QString:%1/cache/"};
    {
        // Without paths in the default file they lie in the user folder.
        Fixture f({}, "[kiv.general]\n");
        kiv_configuration_widget withoutUser(f.general, nullptr);
        builtIn.replaceInStrings("%1", f.sandbox.userDir());
        QCOMPARE(answers(f.panel.get(), builtIn), builtIn);
        QCOMPARE(answers(&withoutUser, builtIn), builtIn);
    }
    // The default file's paths; the user's own win (see the stored table).
    Fixture f;
    QCOMPARE(f.panel->GetGeneralOpt("defaultdownloadpath").toString(), QStringLiteral("D:/renders/"));
    QCOMPARE(f.panel->GetGeneralOpt("analysiscachepath").toString(), QStringLiteral("D:/cache/"));
}

void tst_general_settings::everyMarkAnswersAsTheHostTablesSayUntilTheUserIsRefused()
{
    Fixture f(kStored);
    // mark | GetGeneralOpt(mark) | GetGeneralOpt(mark, value), "-": value left untouched
    const QStringList table = {
        "autodownload | bool:false | bool:false",             "layerop | bool:false | bool:false",
        "checkscenefileversion | bool:true | bool:true",      "countperpage | int:30 | int:30",
        "compressscene | bool:true | -",                      "compressscence | int:-1 | bool:true",
        "uploadsenceonly | bool:false | bool:true",           "pre-render | bool:false | bool:true",
        "maxpackagetype | int:0 | int:0",                     "priorityrendering | bool:false | -",
        "setargument | bool:true | bool:true",                "compressdownload | bool:false | bool:true",
        "downloadpathsuffix | bool:true | bool:true",         "balancecheck | bool:false | bool:false",
        "remainbalance | int:250 | -",                        "check | int:-1 | int:250",
        "analysistimeout | bool:false | bool:false",          "analysiserror | bool:true | bool:true",
        "clipboardsubmitting | bool:true | bool:true",        "rendertimeout | bool:false | bool:false",
        "analysistime | int:120 | int:120",                   "rendertime | int:480 | int:480",
        "renderflag | bool:false | bool:false",               "checkcancel | bool:true | bool:true",
        "reanalysis | bool:true | bool:true",                 "defaultdownloadpath | QString:E:/mine/ | QString:E:/mine/",
        "defaultdownloadpathsuffix | QString:Task Id/ | QString:Task Id/",
        "analysiscachepath | QString:E:/cache/ | QString:E:/cache/", "custompath | QString:shots | QString:shots",
        "autoinstallplugin | int:1 | int:1",                  "uploadconcurrent | bool:false | bool:false",
        "downloadconcurrent | bool:false | bool:false",       "currentproject | QString:project-7 | -",
        "appversion | QString:5.0.1 | -",                     "hotline | QString:400 | -",
        "qqnumber | QString:8000 | -",                        "server | QString:https://server.example | -",
        "register | QString:https://register.example | -",    "reset | QString:https://reset.example | -",
        "personal-center | QString:https://me.example | -",   "render-list | QString:https://list.example | -",
        "help | QString:https://help.example | -",            "recharge | QString:https://pay.example | -",
        "us | QString:https://us.example | -",                "nosuchmark | int:-1 | -",
        "AutoDownload | int:-1 | -"};
    QCOMPARE(answers(f.panel.get(), table), table);

    // A refused user forgets these options; Apply then writes no file and does not crash.
    f.panel->SetCurrentUserInfo(kiv_test::sampleUser("a/b"));
    QCOMPARE(f.panel->GetGeneralOpt("rendertime"), QVariant(3000));
    QCOMPARE(f.panel->GetGeneralOpt("currentproject"), QVariant(QString()));
    const QByteArray before = kiv_test::readFile(f.file());
    QMetaObject::invokeMethod(f.panel.get(), "TriggerApply");
    QCOMPARE(kiv_test::readFile(f.file()), before);
}

void tst_general_settings::numbersOutOfRangeKeepThePreviousValue_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("typed");    // in turn, each applied
    QTest::addColumn<QList<int>>("written");  // after each
    QTest::newRow("analysis minutes") << "boxAnalysisTimeout" << "analysistime" << QStringList{"25", "45", ""}
                                      << QList<int>{60, 45, 45};
    // The balance field's range starts at 1: an emptied field or 0 changes nothing.
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
        f.open([&] { typeInto(f.find<QLineEdit>(qPrintable(edit)), typed.at(i)); }, true);
        QCOMPARE(f.stored("kiv.general/" + key).toString(), QString::number(written.at(i)));
        QCOMPARE(f.panel->GetGeneralOpt(key), QVariant(written.at(i)));
    }
}

void tst_general_settings::renderTimeoutSwitchControlsItsEditAndButtons()
{
    Fixture f("[kiv.general]\nrendertimeout=0\nrendertime=0\n");
    f.open([&] {
        auto* timeout = f.find<QCheckBox>("RenderTimeout");
        auto* minutes = f.find<QLineEdit>("renderspinbox");
        QVERIFY(!minutes->isEnabled());
        // Switched on over stored minutes of 0: reset to 3000, in memory before any Apply.
        timeout->click();
        QVERIFY(minutes->isEnabled());
        QCOMPARE(minutes->text(), QStringLiteral("3000"));
        QVERIFY(f.find<QRadioButton>("RadTellme")->isVisible() && f.find<QRadioButton>("RadTellme")->isChecked());
        QCOMPARE(f.panel->GetGeneralOpt("rendertime"), QVariant(3000));
        timeout->click();
        QVERIFY(!minutes->isEnabled());
        QVERIFY(!f.find<QRadioButton>("RadTellme")->isVisible() && !f.find<QRadioButton>("Radstop")->isVisible());
    }, false);
    QCOMPARE(f.stored("kiv.general/rendertime").toInt(), 0);

    // Stored minutes are kept when the emptied edit is switched on again.
    Fixture kept("[kiv.general]\nrendertimeout=0\nrendertime=700\n");
    kept.open([&] {
        kept.find<QLineEdit>("renderspinbox")->clear();
        kept.find<QCheckBox>("RenderTimeout")->click();
        QCOMPARE(kept.find<QLineEdit>("renderspinbox")->text(), QStringLiteral("700"));
    }, true);
    QCOMPARE(kept.stored("kiv.general/rendertime").toInt(), 700);
    QCOMPARE(kept.stored("kiv.general/rendertimeout").toString(), QStringLiteral("1"));
}

void tst_general_settings::renderFlagIsShownAsWarningAndWrittenOnlyWhileOn()
{
    Fixture f("[kiv.general]\nrendertimeout=1\nrenderflag=0\n");
    f.open([&] { QVERIFY(f.find<QRadioButton>("RadTellme")->isChecked()); }, true);
    QCOMPARE(f.stored("kiv.general/renderflag").toString(), QStringLiteral("1"));

    Fixture off("[kiv.general]\nrendertimeout=0\nrenderflag=0\n");
    off.open([] {}, true);
    QCOMPARE(off.stored("kiv.general/renderflag").toString(), QStringLiteral("0"));
    QCOMPARE(off.panel->GetGeneralOpt("renderflag"), QVariant(false));
}

void tst_general_settings::storedOptionsRoundTripThroughThePageAndApply()
{
    Fixture f(kStored);
    auto everything = [&] {
        QSettings file(f.file(), QSettings::IniFormat);
        QStringList entries;
        for (const QString& key : file.allKeys())
            entries << key + "=" + file.value(key).toString();
        return entries;
    };
    const QStringList before = everything();
    f.open([&] {
        // The edits follow their switches; the render buttons hide while it is off.
        for (const char* off : {"boxAnalysisTimeout", "boxBalanceInsufficient", "renderspinbox"})
            QVERIFY2(!f.find<QLineEdit>(off)->isEnabled(), off);
        QVERIFY(!f.find<QRadioButton>("RadTellme")->isVisible() && !f.find<QRadioButton>("Radstop")->isVisible());
        QVERIFY(f.find<QLineEdit>("lineEdit_pathSuffix")->isVisible());
    }, true);
    // Every option is shown and written back as stored, hidden ones included; on/off
    // values stay 1 and 0, other sections are kept and nothing is added.
    QCOMPARE(everything(), before);
}

void tst_general_settings::applyAfterATwiceToggledBoxWritesEverythingAndFlushes()
{
    // No transfer method is offered, so the transfer section is skipped.
    Fixture f;
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    QSignalSpy transfer(f.panel.get(), &kiv_configuration_widget::SigZftxParams);
    f.open([&] {
        f.find<QCheckBox>("EnableClipboard")->click();
        f.find<QCheckBox>("EnableClipboard")->click();
        f.find<QPushButton>("btnApply")->click();
        QVERIFY(!f.panel->isVisible());
        // On disk when Apply returns, read by a fresh reader.
        QCOMPARE(f.stored("kiv.general/clipboardsubmitting").toString(), QStringLiteral("0"));
    }, true);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(transfer.count(), 0);

    QSettings file(f.file(), QSettings::IniFormat);
    const QStringList keys = QStringLiteral(
        "autodownload layerop checkscenefileversion compressscene uploadsenceonly pre-render maxpackagetype "
        "priorityrendering setargument compressdownload downloadpathsuffix balancecheck remainbalance "
        "analysistimeout analysiserror clipboardsubmitting rendertimeout analysistime rendertime renderflag "
        "checkcancel reanalysis defaultdownloadpath defaultdownloadpathsuffix analysiscachepath").split(' ');
    for (const QString& key : keys)
        QVERIFY2(file.contains("kiv.general/" + key), qPrintable(key));
    QVERIFY(!file.childGroups().contains("kiv.transfer.1001"));
}

void tst_general_settings::applyThatCannotWriteSaysSoAndStaysOpenForARetry()
{
    Fixture f("[kiv.general]\nautodownload=1\n");
    kiv_test::LogRecorder log(f.panel.get());
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    // Behind the panel's back the file becomes a folder, which no write gets
    // through (permission bits would not stop root).
    QVERIFY(QFile::remove(f.file()) && QDir().mkpath(f.file()));

    QString message;
    bool answered = false, stayedOpen = false, closedOnRetry = false;
    kiv_test::whenModal([&](QWidget*) {
        f.find<QCheckBox>("chkAutoDown")->click();
        kiv_test::clickInNextModal("ok", &message, &answered);
        f.find<QPushButton>("btnApply")->click();
        stayedOpen = f.panel->isVisible();
        // Once the file can be written again, Apply saves and closes.
        QDir(f.file()).removeRecursively();
        f.find<QPushButton>("btnApply")->click();
        closedOnRetry = !f.panel->isVisible();
        if (!closedOnRetry)
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

void tst_general_settings::aMalformedButWritableFileIsSavedWithoutComplaint()
{
    const QByteArray malformed = "[kiv.general]\nlayerop=0\n[broken\n";
    Fixture f(malformed);
    // Read on its own (a reader of the panel's own path shares its parse).
    const QString copy = f.sandbox.userDir() + "/malformed.ini";
    kiv_test::writeFile(copy, malformed);
    QCOMPARE(QSettings(copy, QSettings::IniFormat).status(), QSettings::FormatError);
    kiv_test::LogRecorder log(f.panel.get());
    f.open([&] { f.find<QCheckBox>("chkLayerOp")->click(); }, true);
    QVERIFY(!f.panel->isVisible());
    QCOMPARE(f.stored("kiv.general/layerop").toString(), QStringLiteral("1"));
    QVERIFY(!log.contains(300, "user settings file "));
}

void tst_general_settings::closingDiscardsEditsAndEmitsNothing()
{
    Fixture f;
    const QByteArray before = kiv_test::readFile(f.file());
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    f.open([&] {
        f.find<QCheckBox>("chkAutoDown")->click();
        typeInto(f.find<QLineEdit>("boxBalanceInsufficient"), "77");
    }, false);
    QCOMPARE(kiv_test::readFile(f.file()), before);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(f.panel->GetGeneralOpt("remainbalance"), QVariant(10));
    f.open([&] { QVERIFY(f.find<QCheckBox>("chkAutoDown")->isChecked()); }, false);
}

void tst_general_settings::malformedValuesReadAsConversionsGiveAndApplyMendsThem()
{
    Fixture f("[kiv.general]\nanalysistime=abc\nremainbalance=\nrendertime=99999999999999\n"
              "maxpackagetype=7\ndownloadpathsuffix=true\nautodownload=yes\ndefaultdownloadpathsuffix=\" Task Id/ \"\n");
    // A number too large for an int reads as the plain conversion makes it; "true" is not a number.
    const QString huge = QString::number(QVariant("99999999999999").toInt());
    const QStringList read = {"analysistime | int:0 | int:0", "remainbalance | int:0 | -",
                              "rendertime | int:" + huge + " | int:" + huge,
                              "downloadpathsuffix | bool:false | bool:false", "autodownload | bool:true | bool:true"};
    QCOMPARE(answers(f.panel.get(), read), read);

    f.open([&] { typeInto(f.find<QLineEdit>("boxBalanceInsufficient"), QString()); }, true);
    const QStringList written = {"analysistime=0", "rendertime=" + huge, "remainbalance=0", "downloadpathsuffix=0",
                                 "autodownload=1", "defaultdownloadpathsuffix=Task Id/"}; // the suffix is trimmed
    for (const QString& entry : written) {
        const QString key = entry.section('=', 0, 0);
        QCOMPARE(key + "=" + f.stored("kiv.general/" + key).toString(), entry);
    }
}

void tst_general_settings::countPerPageIsReReadOnApply()
{
    Fixture f;
    QCOMPARE(f.panel->GetGeneralOpt("countperpage"), QVariant(30));
    f.sandbox.writeDefaults("[kiv.general]\ncountperpage=50\n");
    f.open([] {}, true);
    QCOMPARE(f.panel->GetGeneralOpt("countperpage"), QVariant(50));
    QVERIFY(!QSettings(f.file(), QSettings::IniFormat).contains("kiv.general/countperpage"));
}

void tst_general_settings::folderChooserFillsItsEdit()
{
    Fixture f;
    QTemporaryDir chosen;
    f.open([&] {
        auto* edit = f.find<QLineEdit>("lineEdit_defaultDownloadPath");
        // Cancelling leaves the edit as it was.
        kiv_test::whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        f.find<QPushButton>("btn_selectDefaultDownloadPath")->click();
        QCOMPARE(edit->text(), QStringLiteral("D:/renders/"));

        bool foldersOnly = false;
        kiv_test::whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            foldersOnly = dialog->testOption(QFileDialog::ShowDirsOnly);
            dialog->setDirectory(chosen.path());
            QMetaObject::invokeMethod(dialog, "accept");
        });
        f.find<QPushButton>("btn_selectDefaultDownloadPath")->click();
        QCOMPARE(QDir::cleanPath(edit->text()), QDir::cleanPath(chosen.path()));
        QVERIFY(foldersOnly);
        QVERIFY(f.find<QPushButton>("btnApply")->isEnabled());
    }, true);
    QCOMPARE(QDir::cleanPath(f.stored("kiv.general/defaultdownloadpath").toString()), QDir::cleanPath(chosen.path()));
}

void tst_general_settings::suffixDialogSetsThePatternAndStoresTheCustomTextOnAccept()
{
    Fixture f("[kiv.general]\ndownloadpathsuffix=1\ndefaultdownloadpathsuffix=Task Id\ncustompath=old\n");
    auto* suffix = f.find<QLineEdit>("lineEdit_pathSuffix");
    f.open([&] {
        // Cancelled: the custom text typed is dropped; the pattern text is rebuilt with its final "/".
        kiv_test::whenModal([](QWidget* modal) {
            modal->findChild<QLineEdit*>("lineEdit_custom")->setText("typed");
            modal->findChild<QPushButton*>("btn_cancel")->click();
        });
        f.find<QPushButton>("btn_editPathSuffix")->click();
        QCOMPARE(suffix->text(), QStringLiteral("Task Id/"));
        QVERIFY(f.find<QPushButton>("btnApply")->isEnabled());
        QCOMPARE(f.stored("kiv.general/custompath").toString(), QStringLiteral("old"));

        // Accepted: "Server Name" checked below "Task Id", the custom text trimmed and stored at once.
        kiv_test::whenModal([](QWidget* modal) {
            modal->findChild<QListWidget*>("lwtVisible")->findItems("Server Name", Qt::MatchExactly)[0]->setCheckState(Qt::Checked);
            modal->findChild<QLineEdit*>("lineEdit_custom")->setText("  shots  ");
            modal->findChild<QPushButton*>("btn_ok")->click();
        });
        f.find<QPushButton>("btn_editPathSuffix")->click();
        QCOMPARE(suffix->text(), QStringLiteral("Task Id/Server Name/"));
        QCOMPARE(f.stored("kiv.general/custompath").toString(), QStringLiteral("shots"));
        QCOMPARE(f.panel->GetGeneralOpt("custompath").toString(), QStringLiteral("shots"));
    }, false);
    // The pattern itself waits for Apply.
    QCOMPARE(f.stored("kiv.general/defaultdownloadpathsuffix").toString(), QStringLiteral("Task Id"));
}

QTEST_MAIN(tst_general_settings)
#include "tst_general_settings.moc"
