// What the user sees and touches: the Chinese translation, the frame, the window on its screen,
// keys and wheel, range marks and the tutorial's fallback.

#include "kiv_logging.h"
#include "kiv_monitoritem_widget.h"
#include "kiv_platform.h"
#include "kiv_plugintutorial.h"
#include "test_support.h"

class tst_panel_look : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { kiv_platform::setTranslucencyAnswer({}); }
    void translationsAreComplete_data();
    void translationsAreComplete();
    void languageSwitchesLive();
    void windowFitsTheScreenWithAShadowOnlyWhereTranslucent();
    void enterAppliesOnlyAndEscCloses();
    void fieldsIgnoreStrayWheelsAndMarkNumbersOutOfRange();
    void blankPathCellOpensTheChooser();
    void tutorialFindsOrMissesItsAnimation();
    void debugLinesAreOffUnlessAskedFor();
};

void tst_panel_look::translationsAreComplete_data()
{
    QTest::addColumn<QString>("ts");
    QTest::addColumn<QStringList>("sources");
    const QString root = QStringLiteral(KIV_SOURCE_DIR);
    QTest::newRow("panel") << "kiv_configuration_zh_CN.ts" << QStringList{root + "/configuration"};
    QTest::newRow("stand-ins and demo") << "kiv_demo_zh_CN.ts" << QStringList{root + "/host", root + "/demo"};
}

void tst_panel_look::translationsAreComplete()
{
    QFETCH(QString, ts);
    QFETCH(QStringList, sources);
    // lupdate works on a copy: a source text without its translation shows as unfinished, a removed one as vanished.
    QTemporaryDir dir;
    const QString copy = dir.filePath(ts);
    QVERIFY(QFile::copy(QStringLiteral(KIV_SOURCE_DIR "/translations/") + ts, copy));
    if (QStringLiteral(KIV_LUPDATE).isEmpty())
        QSKIP("lupdate is a program of the build machine, which a cross-built test cannot start");
    QProcess lupdate;
    lupdate.start(KIV_LUPDATE, QStringList{"-silent", "-locations", "none"} + sources + QStringList{"-ts", copy});
    if (!lupdate.waitForStarted())
        QSKIP("lupdate cannot run here");
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    QFile file(copy);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString source;
    QStringList faults;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            if (!type.isEmpty() || xml.readElementText().isEmpty())
                faults << QStringLiteral("%1: \"%2\"").arg(type, source);
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(!source.isEmpty());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void tst_panel_look::languageSwitchesLive()
{
    kiv_test::PanelFixture p;
    // An offer puts the maxima on the transfer page, in the language of the moment.
    p.panel->CurrentSubCenterChanged({{"TRANSMISSION_TYPE_ZFTX", QVariantMap{{"max_upload_speed", 1024.0}, {"max_download_speed", 2048.0}}}});
    // A row of the monitored folders, made before the switch.
    QListWidget rows;
    auto* row = new kiv_monitoritem_widget;
    row->SetItem(QStringLiteral("D:/scenes"), new QListWidgetItem(&rows));
    rows.setItemWidget(rows.item(0), row);
    const QList<std::tuple<QWidget*, QString, QString>> texts = {
        {p.find<QLabel>("LinSet"), "Settings", "设置"},
        {p.find<QPushButton>("btnApply"), "Apply", "应用"},
        {row->findChild<QPushButton*>("BtnDelete"), "Delete", "删除"},
        {p.find<QLabel>("lblUploadTipsU"), "Maximum target speed:8.00 Mbps", "最大目标速度：8.00 Mbps"},
    };
    auto translator = std::make_unique<QTranslator>();
    QVERIFY(translator->load(QStringLiteral(":/i18n/kiv_configuration_zh_CN.qm")));
    QCoreApplication::installTranslator(translator.get());
    for (const auto& text : texts)
        QTRY_COMPARE(std::get<0>(text)->property("text").toString(), std::get<2>(text));
    translator.reset(); // removes it, with a language change of its own
    for (const auto& text : texts)
        QTRY_COMPARE(std::get<0>(text)->property("text").toString(), std::get<1>(text));
}

void tst_panel_look::windowFitsTheScreenWithAShadowOnlyWhereTranslucent()
{
    kiv_test::PanelFixture p;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Far larger than any screen, as a host restoring a stored size might.
    p.panel->resize(area.size() * 3);
    auto* grip = p.find<QSizeGrip>("sizeGrip");
    const auto margin = [&p] { return p.panel->layout()->contentsMargins().left(); };
    // The shadow's margin where windows can be translucent, and the size grip, both gone while maximised.
    for (const bool translucent : {false, true, false}) {
        kiv_platform::setTranslucencyAnswer([translucent] { return translucent; });
        int shown = -1;
        QRect geometry;
        p.open([&] {
            shown = grip->isVisible() ? margin() : -1;
            geometry = p.panel->geometry();
        }, false);
        QCOMPARE(shown, translucent ? 9 : 0);
        QVERIFY(area.contains(geometry));
        p.panel->showMaximized();
        QTRY_VERIFY(!grip->isVisible());
        QCOMPARE(margin(), 0);
        p.panel->showNormal();
        QTRY_VERIFY(grip->isVisible());
        QCOMPARE(margin(), shown);
        p.panel->hide();
    }
}

void tst_panel_look::enterAppliesOnlyAndEscCloses()
{
    kiv_test::PanelFixture p;
    QSignalSpy applied(p.panel.get(), &kiv_configuration_widget::sigConfChanged);
    bool openAfterEnter = false, closedByEsc = false;
    p.open([&] {
        // Enter with nothing to apply, on the suffix dialog's button, once the default: nothing opens or is written.
        auto* suffix = p.find<QPushButton>("btn_editPathSuffix");
        QApplication::setActiveWindow(p.panel.get());
        suffix->setFocus();
        QTest::keyClick(suffix, Qt::Key_Return);
        openAfterEnter = p.panel->isVisible() && QApplication::activeModalWidget() == p.panel.get();
        QTest::keyClick(p.find<QLineEdit>("boxAnalysisTimeout"), Qt::Key_Escape);
        closedByEsc = !p.panel->isVisible();
    }, false);
    QVERIFY(openAfterEnter && closedByEsc);
    QCOMPARE(applied.count(), 0);
    // With an edit, Enter applies and closes.
    bool closed = false;
    p.open([&] {
        p.find<QCheckBox>("SetArgument")->click();
        QTest::keyClick(p.find<QLineEdit>("boxAnalysisTimeout"), Qt::Key_Enter);
        closed = !p.panel->isVisible();
    }, false);
    QVERIFY(closed);
    QCOMPARE(applied.count(), 1);
}

void tst_panel_look::fieldsIgnoreStrayWheelsAndMarkNumbersOutOfRange()
{
    kiv_test::PanelFixture p;
    auto* combo = p.find<QComboBox>("comboBox_pacageMode");
    const auto turn = [combo] {
        const QPoint at = combo->rect().center();
        QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
        return combo->currentIndex();
    };
    int unfocused = -1, focused = -1;
    p.open([&] {
        combo->setEnabled(true);
        combo->setCurrentIndex(0);
        QApplication::setActiveWindow(p.panel.get());
        p.find<QLineEdit>("boxAnalysisTimeout")->setFocus();
        unfocused = turn();
        combo->setFocus();
        focused = turn();
    }, false);
    QCOMPARE(unfocused, 0);
    QCOMPARE(focused, 1);
    // Numbers outside a field's range are marked, not refused.
    const QList<std::tuple<const char*, const char*, bool>> cases = {
        {"boxAnalysisTimeout", "5", true},     {"boxAnalysisTimeout", "30", false},
        {"boxAnalysisTimeout", "301", true},   {"boxAnalysisTimeout", "", false},
        {"renderspinbox", "9000", false},      {"renderspinbox", "9001", true},
        {"boxBalanceInsufficient", "0", true}, {"boxBalanceInsufficient", "10000", false},
    };
    for (const auto& [name, text, marked] : cases) {
        p.find<QLineEdit>(name)->setText(QLatin1String(text));
        QVERIFY2(p.find<QLineEdit>(name)->property("kivOutOfRange").toBool() == marked, name);
    }
}

void tst_panel_look::blankPathCellOpensTheChooser()
{
    // A cell of the version table, blank and with a path.
    QTableWidget table(1, 2);
    table.setItem(0, 1, new QTableWidgetItem);
    for (const QString& path : {QString(), QStringLiteral("C:/Program Files/Autodesk/3ds Max 2020")}) {
        auto* cell = new kiv_monitoritem_widget;
        cell->SetHoverEnabled(true);
        cell->SetCell(path, table.item(0, 1), 300);
        table.setCellWidget(0, 1, cell);
        table.show();
        QSignalSpy asked(cell, &kiv_monitoritem_widget::sigAddPath);
        // Far from the add button at the cell's right end.
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(10, cell->height() / 2));
        QCOMPARE(asked.count(), path.isEmpty() ? 1 : 0);
    }
}

void tst_panel_look::tutorialFindsOrMissesItsAnimation()
{
    kiv_test::Sandbox sandbox; // the application folder
    QTemporaryDir elsewhere;   // the current folder
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    const QString inApp = sandbox.appDir() + "/skin/tutorial.gif", inCurrent = elsewhere.filePath("skin/tutorial.gif");
    const QByteArray gif = kiv_test::readFile(QStringLiteral(KIV_SOURCE_DIR "/demo/skin/tutorial.gif"));
    const auto picture = [] { return kiv_plugintutorial().findChild<QLabel*>("lblTutorialMovie")->movie() != nullptr; };
    const bool pictureWhenMissing = picture();
    kiv_test::writeFile(inApp, gif);
    const QString found = kiv_plugintutorial::AnimationFile();
    const bool pictureWhenFound = picture();
    // The current folder's comes first.
    kiv_test::writeFile(inCurrent, gif);
    const QString first = QFileInfo(kiv_plugintutorial::AnimationFile()).canonicalFilePath();
    QDir::setCurrent(previous);
    QVERIFY(!pictureWhenMissing && pictureWhenFound);
    QCOMPARE(found, inApp);
    QCOMPARE(first, QFileInfo(inCurrent).canonicalFilePath());
}

void tst_panel_look::debugLinesAreOffUnlessAskedFor()
{
    for (const QLoggingCategory* category : {&kivPanel(), &kivLayout(), &kivPlugins()})
        QVERIFY(QByteArray(category->categoryName()).startsWith("kiv.") && !category->isDebugEnabled());
}

QTEST_MAIN(tst_panel_look)
#include "tst_panel_look.moc"
