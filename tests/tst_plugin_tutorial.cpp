// The plugin tutorial: its click label, and its opening from the version page.

#include "kiv_clicklabel.h"
#include "kiv_plugintutorial.h"
#include "test_support.h"

class tst_plugin_tutorial : public QObject
{
    Q_OBJECT
private slots:
    void clickIsALeftReleaseAtThePressPosition();
    void aSecondOpeningReplacesTheFirst();
};

void tst_plugin_tutorial::clickIsALeftReleaseAtThePressPosition()
{
    kiv_clicklabel label;
    label.resize(100, 100);
    label.show();
    QSignalSpy clicks(&label, &kiv_clicklabel::clicked);
    // Press and release per step: button, x of the press, x of the release, clicks so far.
    // A one pixel slip or the right button is no click; a right press in between does
    // not move the remembered left press.
    const QList<std::tuple<Qt::MouseButton, int, int, int>> steps = {
        {Qt::LeftButton, 10, 10, 1}, {Qt::LeftButton, 10, 11, 1}, {Qt::RightButton, 30, 30, 1}};
    for (const auto& [button, pressX, releaseX, count] : steps) {
        QTest::mousePress(&label, button, {}, QPoint(pressX, 10));
        QTest::mouseRelease(&label, button, {}, QPoint(releaseX, 10));
        QCOMPARE(clicks.count(), count);
    }
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(50, 10));
    QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(60, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(50, 10));
    QCOMPARE(clicks.count(), 2);
}

void tst_plugin_tutorial::aSecondOpeningReplacesTheFirst()
{
    kiv_test::PanelFixture f;
    QList<QPointer<QWidget>> shown;
    for (int opening = 0; opening < 2; ++opening) {
        f.open([&] {
            // The panel closes and the tutorial opens in its place.
            kiv_test::whenModal([&](QWidget* tutorial) { shown << tutorial, tutorial->close(); });
            f.find<QPushButton>("btnTutorial")->click();
        }, false, true);
    }
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown.at(0).isNull() && qobject_cast<kiv_plugintutorial*>(shown.at(1)));
    QCOMPARE(f.panel->findChildren<kiv_plugintutorial*>().size(), 1);
}

QTEST_MAIN(tst_plugin_tutorial)
#include "tst_plugin_tutorial.moc"
