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
    label.show();
    QSignalSpy clicks(&label, &kiv_clicklabel::clicked);
    // One click: not a one pixel slip, nor the right button, nor a release at a right click between.
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(11, 10));
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(50, 10));
    QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(60, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(60, 10));
    QCOMPARE(clicks.count(), 1);
}

void tst_plugin_tutorial::aSecondOpeningReplacesTheFirst()
{
    kiv_test::PanelFixture f;
    QList<QPointer<QWidget>> shown;
    // Twice: the panel closes and the tutorial opens in its place.
    for (int opening = 0; opening < 2; ++opening)
        f.open([&] {
            kiv_test::whenModal([&](QWidget* tutorial) { shown << tutorial, tutorial->close(); });
            f.find<QPushButton>("btnTutorial")->click();
        }, false, true);
    QVERIFY(shown.value(0).isNull() && qobject_cast<kiv_plugintutorial*>(shown.value(1)));
    QCOMPARE(f.panel->findChildren<kiv_plugintutorial*>().size(), 1);
}

QTEST_MAIN(tst_plugin_tutorial)
#include "tst_plugin_tutorial.moc"
