// The general options: what is read for a user, what the page shows, what
// Apply writes, and what the host is answered.

#include "kiv_configuration_widget.h"
#include "test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using kiv_test::Sandbox;

namespace {

const QByteArray kDefaults = "[kiv.general]\n"
                             "countperpage=30\n"
                             "autoinstallplugin=1\n"
                             "defaultdownloadpath=D:/renders/\n"
                             "analysiscachepath=D:/cache/\n"
                             "[kiv.web]\n"
                             "server=https://server.example\n"
                             "register=https://register.example\n"
                             "reset=https://reset.example\n"
                             "personal-center=https://me.example\n"
                             "render-list=https://list.example\n"
                             "help=https://help.example\n"
                             "recharge=https://pay.example\n"
                             "us=https://us.example\n"
                             "[kiv.appversion]\n"
                             "appversion=5.0.1\n"
                             "hotline=400\n"
                             "qqnumber=8000\n";

// Every stored option differs from its built-in default.
const QByteArray kStored = "[kiv.general]\n"
                           "autodownload=0\n"
                           "layerop=0\n"
                           "checkscenefileversion=1\n"
                           "compressscene=1\n"
                           "uploadsenceonly=1\n"
                           "pre-render=1\n"
                           "maxpackagetype=0\n"
                           "priorityrendering=1\n"
                           "setargument=1\n"
                           "compressdownload=1\n"
                           "downloadpathsuffix=1\n"
                           "balancecheck=0\n"
                           "remainbalance=250\n"
                           "analysistimeout=0\n"
                           "analysiserror=1\n"
                           "clipboardsubmitting=1\n"
                           "rendertimeout=0\n"
                           "analysistime=120\n"
                           "rendertime=480\n"
                           "renderflag=0\n"
                           "checkcancel=1\n"
                           "reanalysis=1\n"
                           "defaultdownloadpath=E:/mine/\n"
                           "defaultdownloadpathsuffix=Task Id/\n"
                           "analysiscachepath=E:/cache/\n"
                           "custompath=shots\n"
                           "[kiv.project]\n"
                           "currentproject_tmq1001=project-7\n"
                           "[host.private]\n"
                           "token=keep me\n"
                           "[kiv.transfer.2002]\n"
                           "transfertype=aspera\n";

// The stored options above on a panel with the demo-like default file.
struct Fixture : kiv_test::PanelFixture {
    explicit Fixture(const QByteArray& userFile = QByteArray(), const QByteArray& defaults = kDefaults)
        : kiv_test::PanelFixture(userFile, defaults)
    {
    }
};

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->editingFinished();
}

} // namespace

class tst_general_settings : public QObject
{
    Q_OBJECT
private slots:
    void freshUserGetsTheBuiltInDefaults();
    void pathsComeFromTheDefaultFileUnlessTheUserHasThem();
    void pageShowsTheStoredOptions();
    void analysisMinutesBelowThirtyKeepThePreviousValue();
    void renderTimeoutSwitchControlsItsEditAndButtons();
    void renderFlagIsShownAsWarningAndWrittenOnlyWhileOn();
    void applyKeepsHiddenOptionsAndForeignKeys();
    void applyWritesEverythingOnceAndFlushes();
    void closingDiscardsEdits();
    void malformedValuesReadAsConversionsGive();
    void valueFormAnswers_data();
    void valueFormAnswers();
    void slotFormAnswers_data();
    void slotFormAnswers();
    void answersBeforeAnyUserAreTheBuiltInDefaults();
    void refusedUserFallsBackToTheDefaults();
    void countPerPageIsReReadOnApply();
    void folderChoosersFillTheirEdits();
    void suffixDialogSetsThePatternAndCustomText();
    void cleanupTestCase() { m_stored.reset(); }

private:
    // One panel on the stored options, shared by the data-driven answers.
    Fixture& stored()
    {
        if (!m_stored)
            m_stored.reset(new Fixture(kStored));
        return *m_stored;
    }
    std::unique_ptr<Fixture> m_stored;
};

void tst_general_settings::freshUserGetsTheBuiltInDefaults()
{
    Fixture f;
    QCOMPARE(f.panel->GetGeneralOpt("autodownload"), QVariant(true));
    QCOMPARE(f.panel->GetGeneralOpt("analysistimeout"), QVariant(true));
    QCOMPARE(f.panel->GetGeneralOpt("analysistime"), QVariant(60));
    QCOMPARE(f.panel->GetGeneralOpt("balancecheck"), QVariant(true));
    QCOMPARE(f.panel->GetGeneralOpt("remainbalance"), QVariant(10));
    QCOMPARE(f.panel->GetGeneralOpt("rendertimeout"), QVariant(true));
    QCOMPARE(f.panel->GetGeneralOpt("rendertime"), QVariant(3000));

    f.open(
        [&] {
            QVERIFY(f.find<QCheckBox>("chkAutoDown")->isChecked());
            QCOMPARE(f.find<QLineEdit>("boxAnalysisTimeout")->text(), QStringLiteral("60"));
            QCOMPARE(f.find<QLineEdit>("boxBalanceInsufficient")->text(), QStringLiteral("10"));
            QCOMPARE(f.find<QLineEdit>("renderspinbox")->text(), QStringLiteral("3000"));
            QVERIFY(f.find<QRadioButton>("RadTellme")->isChecked());
            QVERIFY(f.find<QRadioButton>("RadTellme")->isVisible());
            QVERIFY(!f.find<QRadioButton>("Radstop")->isVisible());
            QVERIFY(!f.find<QPushButton>("btnApply")->isEnabled());
            QVERIFY(!f.find<QLineEdit>("lineEdit_pathSuffix")->isVisible());
        },
        false);
}

void tst_general_settings::pathsComeFromTheDefaultFileUnlessTheUserHasThem()
{
    {
        Fixture f;
        QCOMPARE(f.panel->GetGeneralOpt("defaultdownloadpath").toString(), QStringLiteral("D:/renders/"));
        QCOMPARE(f.panel->GetGeneralOpt("analysiscachepath").toString(), QStringLiteral("D:/cache/"));
        QCOMPARE(f.panel->GetGeneralOpt("defaultdownloadpathsuffix").toString(), QString());
    }
    {
        Fixture f(QByteArray(), "[kiv.general]\n");
        QCOMPARE(f.panel->GetGeneralOpt("defaultdownloadpath").toString(),
                 f.sandbox.userDir() + QStringLiteral("/output/"));
        QCOMPARE(f.panel->GetGeneralOpt("analysiscachepath").toString(),
                 f.sandbox.userDir() + QStringLiteral("/cache/"));
    }
    {
        Fixture f(kStored);
        QCOMPARE(f.panel->GetGeneralOpt("defaultdownloadpath").toString(), QStringLiteral("E:/mine/"));
    }
}

void tst_general_settings::pageShowsTheStoredOptions()
{
    Fixture f(kStored);
    f.open(
        [&] {
            QVERIFY(!f.find<QCheckBox>("chkAutoDown")->isChecked());
            QVERIFY(f.find<QCheckBox>("CompressScene")->isChecked());
            QVERIFY(f.find<QCheckBox>("SetArgument")->isChecked());
            QVERIFY(f.find<QCheckBox>("Analysierror")->isChecked());
            QVERIFY(f.find<QCheckBox>("EnableClipboard")->isChecked());
            QVERIFY(f.find<QCheckBox>("ChkCancel")->isChecked());
            QVERIFY(f.find<QCheckBox>("ReAnalysis")->isChecked());
            QCOMPARE(f.find<QComboBox>("comboBox_pacageMode")->currentIndex(), 0);
            QVERIFY(f.find<QCheckBox>("checkBox")->isChecked());
            QVERIFY(!f.find<QCheckBox>("checkBox")->isEnabled());
            QVERIFY(!f.find<QLineEdit>("boxAnalysisTimeout")->isEnabled());
            QCOMPARE(f.find<QLineEdit>("boxAnalysisTimeout")->text(), QStringLiteral("120"));
            QVERIFY(!f.find<QLineEdit>("boxBalanceInsufficient")->isEnabled());
            QCOMPARE(f.find<QLineEdit>("boxBalanceInsufficient")->text(), QStringLiteral("250"));
            QVERIFY(!f.find<QCheckBox>("RenderTimeout")->isChecked());
            QVERIFY(!f.find<QLineEdit>("renderspinbox")->isEnabled());
            QVERIFY(!f.find<QRadioButton>("RadTellme")->isVisible());
            QVERIFY(f.find<QLineEdit>("lineEdit_pathSuffix")->isVisible());
            QCOMPARE(f.find<QLineEdit>("lineEdit_pathSuffix")->text(), QStringLiteral("Task Id/"));
            QCOMPARE(f.find<QLineEdit>("lineEdit_defaultDownloadPath")->text(), QStringLiteral("E:/mine/"));
            QVERIFY(f.find<QLineEdit>("lineEdit_defaultDownloadPath")->isReadOnly());
            QVERIFY(!f.find<QPushButton>("btnApply")->isEnabled());
        },
        false);
}

void tst_general_settings::analysisMinutesBelowThirtyKeepThePreviousValue()
{
    Fixture f;
    f.open([&] { typeInto(f.find<QLineEdit>("boxAnalysisTimeout"), QStringLiteral("25")); }, true);
    QCOMPARE(f.stored("kiv.general/analysistime").toInt(), 60);
    QCOMPARE(f.panel->GetGeneralOpt("analysistime"), QVariant(60));

    f.open([&] { typeInto(f.find<QLineEdit>("boxAnalysisTimeout"), QStringLiteral("45")); }, true);
    QCOMPARE(f.stored("kiv.general/analysistime").toInt(), 45);

    // The validator keeps out what is out of range while typing.
    int pos = 0;
    QString tooLong = QStringLiteral("3001");
    QCOMPARE(f.find<QLineEdit>("boxAnalysisTimeout")->validator()->validate(tooLong, pos),
             QValidator::Invalid);
}

void tst_general_settings::renderTimeoutSwitchControlsItsEditAndButtons()
{
    Fixture f("[kiv.general]\nrendertimeout=0\nrendertime=0\n");
    f.open(
        [&] {
            auto* timeout = f.find<QCheckBox>("RenderTimeout");
            auto* minutes = f.find<QLineEdit>("renderspinbox");
            QVERIFY(!minutes->isEnabled());

            timeout->click();
            QVERIFY(minutes->isEnabled());
            QCOMPARE(minutes->text(), QStringLiteral("3000"));
            QVERIFY(f.find<QRadioButton>("RadTellme")->isVisible());
            QVERIFY(f.find<QRadioButton>("RadTellme")->isChecked());
            // The reset minutes are in memory before any Apply.
            QCOMPARE(f.panel->GetGeneralOpt("rendertime"), QVariant(3000));

            timeout->click();
            QVERIFY(!minutes->isEnabled());
            QVERIFY(!f.find<QRadioButton>("RadTellme")->isVisible());
            QVERIFY(!f.find<QRadioButton>("Radstop")->isVisible());
            QCOMPARE(minutes->text(), QStringLiteral("3000"));

            minutes->clear();
            timeout->click();
            QCOMPARE(minutes->text(), QStringLiteral("3000"));
            QVERIFY(f.find<QPushButton>("btnApply")->isEnabled());
        },
        false);
    QCOMPARE(f.stored("kiv.general/rendertime").toInt(), 0);

    Fixture kept("[kiv.general]\nrendertimeout=0\nrendertime=700\n");
    kept.open(
        [&] {
            kept.find<QLineEdit>("renderspinbox")->clear();
            kept.find<QCheckBox>("RenderTimeout")->click();
            QCOMPARE(kept.find<QLineEdit>("renderspinbox")->text(), QStringLiteral("700"));
        },
        true);
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

void tst_general_settings::applyKeepsHiddenOptionsAndForeignKeys()
{
    Fixture f(kStored);
    f.open([] {}, true);

    QSettings file(f.file(), QSettings::IniFormat);
    const QStringList ones = {"checkscenefileversion", "uploadsenceonly", "pre-render", "priorityrendering",
                              "compressdownload", "compressscene", "downloadpathsuffix"};
    for (const QString& key : ones)
        QCOMPARE(file.value("kiv.general/" + key).toString(), QStringLiteral("1"));
    QCOMPARE(file.value("kiv.general/layerop").toString(), QStringLiteral("0"));
    QCOMPARE(file.value("kiv.general/analysiscachepath").toString(), QStringLiteral("E:/cache/"));
    QCOMPARE(file.value("kiv.general/remainbalance").toInt(), 250);
    QCOMPARE(file.value("kiv.general/custompath").toString(), QStringLiteral("shots"));
    QCOMPARE(file.value("kiv.project/currentproject_tmq1001").toString(), QStringLiteral("project-7"));
    QCOMPARE(file.value("host.private/token").toString(), QStringLiteral("keep me"));
    QCOMPARE(file.value("kiv.transfer.2002/transfertype").toString(), QStringLiteral("aspera"));
    QVERIFY(!file.contains("kiv.general/countperpage"));
    QVERIFY(!file.contains("kiv.general/autoinstallplugin"));
}

void tst_general_settings::applyWritesEverythingOnceAndFlushes()
{
    Fixture f("[kiv.general]\nautodownload=true\n");
    QSignalSpy changed(f.panel.get(), &kiv_configuration_widget::sigConfChanged);
    QSignalSpy transfer(f.panel.get(), &kiv_configuration_widget::SigZftxParams);
    bool shownAfterApply = true;
    f.open(
        [&] {
            auto* box = f.find<QCheckBox>("EnableClipboard");
            box->click();
            box->click();
            QVERIFY(f.find<QPushButton>("btnApply")->isEnabled());
            f.find<QPushButton>("btnApply")->click();
            shownAfterApply = f.panel->isVisible();
            // On disk when Apply returns, read by a fresh reader.
            QCOMPARE(f.stored("kiv.general/clipboardsubmitting").toString(), QStringLiteral("0"));
        },
        true);
    QVERIFY(!shownAfterApply);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(transfer.count(), 0);

    QSettings file(f.file(), QSettings::IniFormat);
    // A "true" read from the file goes back as 1.
    QCOMPARE(file.value("kiv.general/autodownload").toString(), QStringLiteral("1"));
    const QStringList keys = {"autodownload", "layerop", "checkscenefileversion", "compressscene",
                              "uploadsenceonly", "pre-render", "maxpackagetype", "priorityrendering",
                              "setargument", "compressdownload", "downloadpathsuffix", "balancecheck",
                              "remainbalance", "analysistimeout", "analysiserror", "clipboardsubmitting",
                              "rendertimeout", "analysistime", "rendertime", "renderflag", "checkcancel",
                              "reanalysis", "defaultdownloadpath", "defaultdownloadpathsuffix",
                              "analysiscachepath"};
    file.beginGroup("kiv.general");
    for (const QString& key : keys)
        QVERIFY2(file.contains(key), qPrintable(key));
    QVERIFY(!file.childGroups().contains("kiv.transfer.1001"));
    file.endGroup();
    QVERIFY(!file.childGroups().contains("kiv.transfer.1001"));
}

void tst_general_settings::closingDiscardsEdits()
{
    Fixture f;
    const QByteArray before = kiv_test::readFile(f.file());
    f.open(
        [&] {
            f.find<QCheckBox>("chkAutoDown")->click();
            typeInto(f.find<QLineEdit>("boxBalanceInsufficient"), QStringLiteral("77"));
        },
        false);
    QCOMPARE(kiv_test::readFile(f.file()), before);
    QCOMPARE(f.panel->GetGeneralOpt("remainbalance"), QVariant(10));
    f.open([&] { QVERIFY(f.find<QCheckBox>("chkAutoDown")->isChecked()); }, false);
}

void tst_general_settings::malformedValuesReadAsConversionsGive()
{
    Fixture f("[kiv.general]\nanalysistime=abc\nremainbalance=\nrendertime=99999999999999\n"
              "maxpackagetype=7\ndownloadpathsuffix=true\nautodownload=yes\n");
    QCOMPARE(f.panel->GetGeneralOpt("analysistime"), QVariant(0));
    QCOMPARE(f.panel->GetGeneralOpt("remainbalance"), QVariant(0));
    // The plain conversion of the stored text, whatever it makes of it.
    QCOMPARE(f.panel->GetGeneralOpt("rendertime"), QVariant(QVariant("99999999999999").toInt()));
    // Read as an int: "true" is not a number.
    QCOMPARE(f.panel->GetGeneralOpt("downloadpathsuffix"), QVariant(false));
    QCOMPARE(f.panel->GetGeneralOpt("autodownload"), QVariant(true));

    f.open([&] { typeInto(f.find<QLineEdit>("boxBalanceInsufficient"), QString()); }, true);
    QSettings file(f.file(), QSettings::IniFormat);
    bool ok = false;
    file.value("kiv.general/analysistime").toString().toInt(&ok);
    QVERIFY(ok);
    file.value("kiv.general/rendertime").toString().toInt(&ok);
    QVERIFY(ok);
    QCOMPARE(file.value("kiv.general/remainbalance").toString(), QStringLiteral("0"));
    QCOMPARE(file.value("kiv.general/downloadpathsuffix").toString(), QStringLiteral("0"));
    QCOMPARE(file.value("kiv.general/autodownload").toString(), QStringLiteral("1"));
}

void tst_general_settings::valueFormAnswers_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QVariant>("expected");
    const QVariant yes(true), no(false);
    QTest::newRow("autodownload") << "autodownload" << no;
    QTest::newRow("setargument") << "setargument" << yes;
    QTest::newRow("compressscene") << "compressscene" << yes;
    QTest::newRow("analysistimeout") << "analysistimeout" << no;
    QTest::newRow("balancecheck") << "balancecheck" << no;
    QTest::newRow("rendertimeout") << "rendertimeout" << no;
    QTest::newRow("renderflag") << "renderflag" << no;
    QTest::newRow("checkcancel") << "checkcancel" << yes;
    QTest::newRow("reanalysis") << "reanalysis" << yes;
    QTest::newRow("analysiserror") << "analysiserror" << yes;
    QTest::newRow("clipboardsubmitting") << "clipboardsubmitting" << yes;
    QTest::newRow("checkscenefileversion") << "checkscenefileversion" << yes;
    QTest::newRow("downloadpathsuffix") << "downloadpathsuffix" << yes;
    QTest::newRow("uploadconcurrent") << "uploadconcurrent" << no;
    QTest::newRow("downloadconcurrent") << "downloadconcurrent" << no;
    for (const char* alwaysFalse : {"pre-render", "priorityrendering", "layerop", "uploadsenceonly", "compressdownload"})
        QTest::newRow(alwaysFalse) << alwaysFalse << no;
    QTest::newRow("analysistime") << "analysistime" << QVariant(120);
    QTest::newRow("remainbalance") << "remainbalance" << QVariant(250);
    QTest::newRow("rendertime") << "rendertime" << QVariant(480);
    QTest::newRow("maxpackagetype") << "maxpackagetype" << QVariant(0);
    QTest::newRow("autoinstallplugin") << "autoinstallplugin" << QVariant(1);
    QTest::newRow("countperpage") << "countperpage" << QVariant(30);
    QTest::newRow("defaultdownloadpath") << "defaultdownloadpath" << QVariant("E:/mine/");
    QTest::newRow("defaultdownloadpathsuffix") << "defaultdownloadpathsuffix" << QVariant("Task Id/");
    QTest::newRow("analysiscachepath") << "analysiscachepath" << QVariant("E:/cache/");
    QTest::newRow("custompath") << "custompath" << QVariant("shots");
    QTest::newRow("currentproject") << "currentproject" << QVariant("project-7");
    QTest::newRow("appversion") << "appversion" << QVariant("5.0.1");
    QTest::newRow("hotline") << "hotline" << QVariant("400");
    QTest::newRow("qqnumber") << "qqnumber" << QVariant("8000");
    QTest::newRow("server") << "server" << QVariant("https://server.example");
    QTest::newRow("personal-center") << "personal-center" << QVariant("https://me.example");
    QTest::newRow("render-list") << "render-list" << QVariant("https://list.example");
    QTest::newRow("us") << "us" << QVariant("https://us.example");
    QTest::newRow("slot-only alias") << "compressscence" << QVariant(-1);
    QTest::newRow("slot-only check") << "check" << QVariant(-1);
    QTest::newRow("unknown") << "nosuchmark" << QVariant(-1);
    QTest::newRow("case matters") << "AutoDownload" << QVariant(-1);
}

void tst_general_settings::valueFormAnswers()
{
    QFETCH(QString, mark);
    QFETCH(QVariant, expected);
    const QVariant answer = stored().panel->GetGeneralOpt(mark);
    QCOMPARE(answer, expected);
    QCOMPARE(answer.type(), expected.type());
}

void tst_general_settings::slotFormAnswers_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QVariant>("expected"); // invalid: left untouched
    const QVariant yes(true), no(false), untouched;
    QTest::newRow("autodownload") << "autodownload" << no;
    QTest::newRow("uploadconcurrent") << "uploadconcurrent" << no;
    QTest::newRow("pre-render") << "pre-render" << yes;
    QTest::newRow("uploadsenceonly") << "uploadsenceonly" << yes;
    QTest::newRow("compressdownload") << "compressdownload" << yes;
    QTest::newRow("layerop") << "layerop" << no;
    QTest::newRow("setargument") << "setargument" << yes;
    QTest::newRow("checkscenefileversion") << "checkscenefileversion" << yes;
    QTest::newRow("downloadpathsuffix") << "downloadpathsuffix" << yes;
    QTest::newRow("renderflag") << "renderflag" << no;
    QTest::newRow("compressscence") << "compressscence" << yes;
    QTest::newRow("check") << "check" << QVariant(250);
    QTest::newRow("maxpackagetype") << "maxpackagetype" << QVariant(0);
    QTest::newRow("autoinstallplugin") << "autoinstallplugin" << QVariant(1);
    QTest::newRow("analysistime") << "analysistime" << QVariant(120);
    QTest::newRow("rendertime") << "rendertime" << QVariant(480);
    QTest::newRow("countperpage") << "countperpage" << QVariant(30);
    QTest::newRow("custompath") << "custompath" << QVariant("shots");
    QTest::newRow("defaultdownloadpathsuffix") << "defaultdownloadpathsuffix" << QVariant("Task Id/");
    for (const char* absent : {"priorityrendering", "compressscene", "remainbalance", "currentproject",
                               "appversion", "server", "nosuchmark"})
        QTest::newRow(absent) << absent << untouched;
}

void tst_general_settings::slotFormAnswers()
{
    QFETCH(QString, mark);
    QFETCH(QVariant, expected);
    const QVariant sentinel(QStringLiteral("untouched"));
    QVariant value = sentinel;
    stored().panel->GetGeneralOpt(mark, value);
    QCOMPARE(value, expected.isValid() ? expected : sentinel);
}

void tst_general_settings::answersBeforeAnyUserAreTheBuiltInDefaults()
{
    Sandbox sandbox;
    kiv_general_types::GeneralSet general;
    kiv_configuration_widget panel(general, nullptr);
    QCOMPARE(panel.GetGeneralOpt("autodownload"), QVariant(true));
    QCOMPARE(panel.GetGeneralOpt("countperpage"), QVariant(20));
    QCOMPARE(panel.GetGeneralOpt("rendertime"), QVariant(3000));
    QCOMPARE(panel.GetGeneralOpt("defaultdownloadpath").toString(), sandbox.userDir() + "/output/");
    QCOMPARE(panel.GetGeneralOpt("currentproject"), QVariant(QString()));
    QVariant value;
    panel.GetGeneralOpt("check", value);
    QCOMPARE(value, QVariant(10));
}

void tst_general_settings::refusedUserFallsBackToTheDefaults()
{
    Fixture f(kStored);
    QCOMPARE(f.panel->GetGeneralOpt("rendertime"), QVariant(480));
    f.panel->SetCurrentUserInfo(kiv_test::sampleUser(QStringLiteral("a/b")));
    QCOMPARE(f.panel->GetGeneralOpt("rendertime"), QVariant(3000));
    QCOMPARE(f.panel->GetGeneralOpt("currentproject"), QVariant(QString()));

    // Nothing reaches a file without a user file, and nothing crashes.
    const QByteArray before = kiv_test::readFile(f.file());
    QMetaObject::invokeMethod(f.panel.get(), "TriggerApply");
    QCOMPARE(kiv_test::readFile(f.file()), before);
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

void tst_general_settings::folderChoosersFillTheirEdits()
{
    Fixture f;
    QTemporaryDir chosen;
    f.open(
        [&] {
            auto* edit = f.find<QLineEdit>("lineEdit_defaultDownloadPath");
            // Cancelling leaves the edit as it was.
            kiv_test::whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
            f.find<QPushButton>("btn_selectDefaultDownloadPath")->click();
            QCOMPARE(edit->text(), QStringLiteral("D:/renders/"));
            QVERIFY(!f.find<QPushButton>("btnApply")->isEnabled());

            kiv_test::whenModal([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog);
                QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));
                dialog->setDirectory(chosen.path());
                QMetaObject::invokeMethod(dialog, "accept");
            });
            f.find<QPushButton>("btn_selectDefaultDownloadPath")->click();
            QCOMPARE(QDir::cleanPath(edit->text()), QDir::cleanPath(chosen.path()));
            QVERIFY(f.find<QPushButton>("btnApply")->isEnabled());
        },
        true);
    QCOMPARE(QDir::cleanPath(f.stored("kiv.general/defaultdownloadpath").toString()),
             QDir::cleanPath(chosen.path()));
}

void tst_general_settings::suffixDialogSetsThePatternAndCustomText()
{
    Fixture f("[kiv.general]\ndownloadpathsuffix=1\ndefaultdownloadpathsuffix=Task Id\ncustompath=old\n");
    auto* suffix = f.find<QLineEdit>("lineEdit_pathSuffix");
    f.open(
        [&] {
            // Cancelled: the text is rebuilt from the keys, with its final "/".
            kiv_test::clickInNextModal(QStringLiteral("btn_cancel"));
            f.find<QPushButton>("btn_editPathSuffix")->click();
            QCOMPARE(suffix->text(), QStringLiteral("Task Id/"));
            QVERIFY(f.find<QPushButton>("btnApply")->isEnabled());
            QCOMPARE(f.stored("kiv.general/custompath").toString(), QStringLiteral("old"));

            // Accepted: "Server Name" checked below "Task Id", custom text trimmed
            // and stored at once.
            kiv_test::whenModal([](QWidget* modal) {
                auto* list = modal->findChild<QListWidget*>(QStringLiteral("lwtVisible"));
                for (int row = 0; row < list->count(); ++row) {
                    if (list->item(row)->data(Qt::UserRole).toString() == QLatin1String("Server Name"))
                        list->item(row)->setCheckState(Qt::Checked);
                }
                modal->findChild<QLineEdit*>(QStringLiteral("lineEdit_custom"))->setText("  shots  ");
                modal->findChild<QPushButton*>(QStringLiteral("btn_ok"))->click();
            });
            f.find<QPushButton>("btn_editPathSuffix")->click();
            QCOMPARE(suffix->text(), QStringLiteral("Task Id/Server Name/"));
            QCOMPARE(f.stored("kiv.general/custompath").toString(), QStringLiteral("shots"));
            QVariant custom;
            f.panel->GetGeneralOpt(QStringLiteral("custompath"), custom);
            QCOMPARE(custom.toString(), QStringLiteral("shots"));
        },
        false);
    // The pattern itself waits for Apply.
    QCOMPARE(f.stored("kiv.general/defaultdownloadpathsuffix").toString(), QStringLiteral("Task Id"));
}

QTEST_MAIN(tst_general_settings)
#include "tst_general_settings.moc"
