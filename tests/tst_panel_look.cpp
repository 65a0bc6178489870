// What the user sees and touches: the Chinese translation, the frame, the
// window on its screen, keys and wheel, range marks, the tutorial's
// fallback, and the library's debug output.

#include "kiv_logging.h"
#include "kiv_monitoritem_widget.h"
#include "kiv_platform.h"
#include "kiv_plugintutorial.h"
#include "test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMovie>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSizeGrip>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QXmlStreamReader>

using kiv_test::PanelFixture;

namespace {

// Runs `during` inside the panel's modal loop, then closes the panel.
void whileOpen(PanelFixture& p, const std::function<void()>& during, bool versionPage = false)
{
    bool answered = false;
    kiv_test::whenModal(
        [&](QWidget*) {
            during();
            p.panel->close();
        },
        &answered);
    p.panel->ShowConf(versionPage);
    QVERIFY(answered);
}

int frameMargin(PanelFixture& p)
{
    return p.panel->layout()->contentsMargins().left();
}

} // namespace

class tst_panel_look : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { kiv_platform::setTranslucencyAnswer({}); }
    void translationsAreComplete_data();
    void translationsAreComplete();
    void languageSwitchesLive();
    void shadowMarginOnlyWhereTranslucent();
    void windowFitsTheScreenAndResizes();
    void enterAppliesOnlyAndEscCloses();
    void wheelLeavesUnfocusedFieldsAlone();
    void blankPathCellOpensTheChooser();
    void numbersOutsideTheRangeAreMarked();
    void tutorialFindsOrMissesItsAnimation();
    void debugLinesAreOffUnlessAskedFor();
};

void tst_panel_look::translationsAreComplete_data()
{
    QTest::addColumn<QString>("ts");
    QTest::addColumn<QStringList>("sources");
    const QString root = QStringLiteral(KIV_SOURCE_DIR);
    QTest::newRow("panel") << QStringLiteral("kiv_configuration_zh_CN.ts")
                           << QStringList{root + QStringLiteral("/configuration")};
    QTest::newRow("stand-ins and demo") << QStringLiteral("kiv_demo_zh_CN.ts")
                                        << QStringList{root + QStringLiteral("/host"), root + QStringLiteral("/demo")};
}

void tst_panel_look::translationsAreComplete()
{
    QFETCH(QString, ts);
    QFETCH(QStringList, sources);
    // lupdate works on a copy: a text added to the sources without its
    // translation shows as unfinished, a removed one as vanished.
    QTemporaryDir dir;
    const QString copy = dir.filePath(ts);
    QVERIFY(QFile::copy(QStringLiteral(KIV_SOURCE_DIR "/translations/") + ts, copy));
    if (QStringLiteral(KIV_LUPDATE).isEmpty())
        QSKIP("lupdate is a program of the build machine, which a cross-built test cannot start");
    QProcess lupdate;
    lupdate.start(QStringLiteral(KIV_LUPDATE), QStringList{QStringLiteral("-silent"), QStringLiteral("-locations"),
                                                           QStringLiteral("none")}
                                                   + sources + QStringList{QStringLiteral("-ts"), copy});
    if (!lupdate.waitForStarted())
        QSKIP("lupdate cannot run here");
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    QFile file(copy);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    QStringList faults;
    int messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
            ++messages;
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            if (!type.isEmpty() || xml.readElementText().isEmpty())
                faults << QStringLiteral("%1 %2: \"%3\"").arg(type, context, source);
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(messages > 0);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void tst_panel_look::languageSwitchesLive()
{
    PanelFixture p;
    // An offer puts the maxima on the transfer page, in the language of the moment.
    const QVariantMap limits{{QStringLiteral("max_upload_speed"), 1024.0}, {QStringLiteral("max_download_speed"), 2048.0}};
    p.panel->CurrentSubCenterChanged({{QStringLiteral("TRANSMISSION_TYPE_ZFTX"), limits}});
    auto* maximum = p.find<QLabel>("lblUploadTipsU");
    QCOMPARE(maximum->text(), QStringLiteral("Maximum target speed:8.00 Mbps"));
    // A row of the monitored folders, made before the switch.
    QListWidget rows;
    auto* rowItem = new QListWidgetItem(&rows);
    auto* row = new kiv_monitoritem_widget;
    row->SetItem(QStringLiteral("D:/scenes"), rowItem);
    rows.setItemWidget(rowItem, row);
    auto* title = p.find<QLabel>("LinSet");
    auto* tips = p.find<QLabel>("lblTips");
    auto* apply = p.find<QPushButton>("btnApply");
    auto* general = p.find<QRadioButton>("BtnGeneral");
    const struct {
        QWidget* widget;
        QString english;
        QString chinese;
    } texts[] = {
        {title, QStringLiteral("Settings"), QStringLiteral("设置")},
        {general, QStringLiteral("General Settings"), QStringLiteral("常规设置")},
        {apply, QStringLiteral("Apply"), QStringLiteral("应用")},
        {row->findChild<QPushButton*>(QStringLiteral("BtnDelete")), QStringLiteral("Delete"), QStringLiteral("删除")},
        {maximum, QStringLiteral("Maximum target speed:8.00 Mbps"), QStringLiteral("最大目标速度：8.00 Mbps")},
        {tips, QStringLiteral("click the blank area if system failed to locate the path automatically"),
         QStringLiteral("如未能自动找到安装路径，请点击路径空白处手动选择")},
    };
    const auto textOf = [](QWidget* widget) {
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        return static_cast<QAbstractButton*>(widget)->text();
    };
    auto translator = std::make_unique<QTranslator>();
    QVERIFY(translator->load(QStringLiteral(":/i18n/kiv_configuration_zh_CN.qm")));
    QCoreApplication::installTranslator(translator.get());
    // The language change reaches the panel as a posted event.
    for (const auto& text : texts)
        QTRY_COMPARE(textOf(text.widget), text.chinese);
    QCOMPARE(p.find<QPushButton>("BtnAddCamera")->text(), QStringLiteral("New Camera"));
    QCOMPARE(p.find<QPushButton>("BtnAddMonitor")->text(), QStringLiteral("Add Path"));
    translator.reset(); // removes it, with a language change of its own
    for (const auto& text : texts)
        QTRY_COMPARE(textOf(text.widget), text.english);
}

void tst_panel_look::shadowMarginOnlyWhereTranslucent()
{
    PanelFixture p;
    for (const bool translucent : {false, true, false}) {
        kiv_platform::setTranslucencyAnswer([translucent] { return translucent; });
        const int expected = translucent ? 9 : 0;
        int shown = -1;
        whileOpen(p, [&] { shown = frameMargin(p); });
        QCOMPARE(shown, expected);
        p.panel->showMaximized();
        QCOMPARE(frameMargin(p), 0);
        p.panel->showNormal();
        QCOMPARE(frameMargin(p), expected);
        p.panel->hide();
    }
}

void tst_panel_look::windowFitsTheScreenAndResizes()
{
    PanelFixture p;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Far larger than any screen, as a host restoring a stored size might.
    p.panel->resize(area.size() * 3);
    QRect shown;
    QSize minimum;
    QSizeGrip* grip = p.find<QSizeGrip>("sizeGrip");
    bool gripShown = false;
    whileOpen(p, [&] {
        shown = p.panel->geometry();
        minimum = p.panel->minimumSize();
        gripShown = grip->isVisible();
    });
    QVERIFY2(area.contains(shown), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(shown.x()).arg(shown.y())
                                                  .arg(shown.width()).arg(shown.height())));
    QCOMPARE(minimum, QSize(700, 513).boundedTo(area.size()));
    QVERIFY(gripShown);
    // The grip sits in the frame's corner, and is not there while maximised.
    QCOMPARE(grip->parentWidget(), p.find<QWidget>("widget_border"));
    p.panel->showMaximized();
    QTRY_VERIFY(!grip->isVisible());
    p.panel->showNormal();
    QTRY_VERIFY(grip->isVisible());
    // The pages scroll inside themselves and keep their places.
    auto* pages = p.find<QStackedWidget>("swtConfiguration");
    const char* names[] = {"wgtGeneral", "wgtSoftwareVersion", "wgtUDTTransfer", "Persional", "wgtProject"};
    for (int index = 0; index < 5; ++index) {
        QWidget* page = p.find<QWidget>(names[index]);
        QCOMPARE(pages->indexOf(page), index);
        QVERIFY(page->findChild<QScrollArea*>());
    }
}

void tst_panel_look::enterAppliesOnlyAndEscCloses()
{
    PanelFixture p;
    QSignalSpy applied(p.panel.get(), &kiv_configuration_widget::sigConfChanged);
    const auto buttons = p.panel->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        QCOMPARE(button->isDefault(), button->objectName() == QLatin1String("btnApply"));
        QVERIFY2(!button->autoDefault() || button->isDefault(), qPrintable(button->objectName()));
    }
    bool openAfterEnter = false;
    bool closedByEsc = false;
    whileOpen(p, [&] {
        // Enter with nothing to apply, on a button that once was the default
        // (it opens the suffix dialog): nothing opens, nothing is written.
        QPushButton* suffix = p.find<QPushButton>("btn_editPathSuffix");
        QApplication::setActiveWindow(p.panel.get());
        suffix->setFocus();
        QTest::keyClick(suffix, Qt::Key_Return);
        openAfterEnter = p.panel->isVisible() && QApplication::activeModalWidget() == p.panel.get();
        QTest::keyClick(p.find<QLineEdit>("boxAnalysisTimeout"), Qt::Key_Escape);
        closedByEsc = !p.panel->isVisible();
    });
    QVERIFY(openAfterEnter);
    QVERIFY(closedByEsc);
    QCOMPARE(applied.count(), 0);
    // With an edit, Enter applies and closes.
    bool closed = false;
    kiv_test::whenModal([&](QWidget*) {
        p.find<QCheckBox>("SetArgument")->click();
        QTest::keyClick(p.find<QLineEdit>("boxAnalysisTimeout"), Qt::Key_Enter);
        closed = !p.panel->isVisible();
        if (!closed)
            p.panel->close();
    });
    p.panel->ShowConf(false);
    QVERIFY(closed);
    QCOMPARE(applied.count(), 1);
}

void tst_panel_look::wheelLeavesUnfocusedFieldsAlone()
{
    PanelFixture p;
    auto* combo = p.find<QComboBox>("comboBox_pacageMode");
    auto* scroll = p.find<QScrollArea>("scrollArea")->verticalScrollBar();
    int unfocusedIndex = -1;
    int focusedIndex = -1;
    int start = -1;
    int scrolled = -1;
    whileOpen(p, [&] {
        combo->setEnabled(true);
        combo->setCurrentIndex(0);
        start = scroll->value();
        const auto turn = [combo] {
            const QPoint at = combo->rect().center();
            QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(combo, &wheel);
        };
        QApplication::setActiveWindow(p.panel.get());
        p.find<QLineEdit>("boxAnalysisTimeout")->setFocus();
        turn();
        unfocusedIndex = combo->currentIndex();
        scrolled = scroll->value();
        combo->setFocus();
        turn();
        focusedIndex = combo->currentIndex();
    });
    QCOMPARE(unfocusedIndex, 0);
    QVERIFY(scrolled > start || scroll->maximum() == 0);
    QCOMPARE(focusedIndex, 1);
}

void tst_panel_look::blankPathCellOpensTheChooser()
{
    // A cell of the version table, blank and with a path.
    QTableWidget table(1, 2);
    auto* item = new QTableWidgetItem;
    table.setItem(0, 1, item);
    for (const QString& path : {QString(), QStringLiteral("C:/Program Files/Autodesk/3ds Max 2020")}) {
        auto* cell = new kiv_monitoritem_widget;
        cell->SetHoverEnabled(true);
        cell->SetCell(path, item, 300);
        table.setCellWidget(0, 1, cell);
        table.show();
        QSignalSpy asked(cell, &kiv_monitoritem_widget::sigAddPath);
        // Far from the add button at the cell's right end.
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(10, cell->height() / 2));
        QCOMPARE(asked.count(), path.isEmpty() ? 1 : 0);
    }
}

void tst_panel_look::numbersOutsideTheRangeAreMarked()
{
    PanelFixture p;
    const struct {
        const char* field;
        const char* text;
        bool marked;
    } cases[] = {
        {"boxAnalysisTimeout", "5", true},     {"boxAnalysisTimeout", "30", false},
        {"boxAnalysisTimeout", "301", true},   {"boxAnalysisTimeout", "", false},
        {"renderspinbox", "9000", false},      {"renderspinbox", "9001", true},
        {"boxBalanceInsufficient", "0", true}, {"boxBalanceInsufficient", "10000", false},
    };
    for (const auto& c : cases) {
        auto* field = p.find<QLineEdit>(c.field);
        field->setText(QLatin1String(c.text));
        QVERIFY2(field->property("kivOutOfRange").toBool() == c.marked, c.field);
    }
    QCOMPARE(p.find<QLineEdit>("boxAnalysisTimeout")->toolTip(), QStringLiteral("Allowed: 30 to 300"));
    QCOMPARE(p.find<QLineEdit>("renderspinbox")->toolTip(), QStringLiteral("Allowed: 1 to 9000"));
}

void tst_panel_look::tutorialFindsOrMissesItsAnimation()
{
    kiv_test::Sandbox sandbox; // the application folder
    QTemporaryDir elsewhere;   // the current folder
    struct Back {
        QString folder = QDir::currentPath();
        ~Back() { QDir::setCurrent(folder); }
    } back;
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    const QString inApp = sandbox.appDir() + QStringLiteral("/skin/tutorial.gif");
    const QString inCurrent = elsewhere.filePath(QStringLiteral("skin/tutorial.gif"));
    const QByteArray gif = kiv_test::readFile(QStringLiteral(KIV_SOURCE_DIR "/demo/skin/tutorial.gif"));
    {
        kiv_plugintutorial missing;
        auto* picture = missing.findChild<QLabel*>(QStringLiteral("lblTutorialMovie"));
        QVERIFY(!picture->movie());
        QVERIFY(picture->text().contains(QStringLiteral("skin")));
    }
    QVERIFY(QDir().mkpath(QFileInfo(inApp).path()) && QDir().mkpath(QFileInfo(inCurrent).path()));
    kiv_test::writeFile(inApp, gif);
    QCOMPARE(kiv_plugintutorial::AnimationFile(), inApp);
    {
        kiv_plugintutorial found;
        QVERIFY(found.findChild<QLabel*>(QStringLiteral("lblTutorialMovie"))->movie());
    }
    kiv_test::writeFile(inCurrent, gif);
    QCOMPARE(QFileInfo(kiv_plugintutorial::AnimationFile()).canonicalFilePath(),
             QFileInfo(inCurrent).canonicalFilePath());
}

namespace {
QStringList g_lines;
void recordLine(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    g_lines << QStringLiteral("%1: %2").arg(QLatin1String(context.category), message);
}
} // namespace

void tst_panel_look::debugLinesAreOffUnlessAskedFor()
{
    // A path cell writes a layout line on every shortening.
    const auto shorten = [] {
        kiv_monitoritem_widget cell;
        cell.SetCell(QStringLiteral("C:/a/long/path"), nullptr, 40);
    };
    for (const QLoggingCategory* category : {&kivPanel(), &kivLayout(), &kivPlugins()}) {
        QVERIFY(QByteArray(category->categoryName()).startsWith("kiv."));
        QVERIFY(!category->isDebugEnabled());
    }
    g_lines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordLine);
    shorten();
    const int byDefault = g_lines.size();
    QLoggingCategory::setFilterRules(QStringLiteral("kiv.*.debug=true"));
    shorten();
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    QCOMPARE(byDefault, 0);
    QVERIFY(!g_lines.isEmpty());
    for (const QString& line : qAsConst(g_lines))
        QVERIFY2(line.startsWith(QLatin1String("kiv.layout: ")), qPrintable(line));
}

QTEST_MAIN(tst_panel_look)
#include "tst_panel_look.moc"
