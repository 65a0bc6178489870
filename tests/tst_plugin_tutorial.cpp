// The plugin tutorial: its click label, its close button on the draggable
// title bar, and its opening from the version page.

#include "kiv_clicklabel.h"
#include "kiv_plugintutorial.h"
#include "test_support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class tst_plugin_tutorial : public QObject
{
    Q_OBJECT

private slots:
    void clickIsALeftReleaseAtThePressPosition();
    void mouseMovesOverCloseAreSwallowed();
    void aSecondOpeningReplacesTheFirst();
};

void tst_plugin_tutorial::clickIsALeftReleaseAtThePressPosition()
{
    kiv_clicklabel label;
    label.resize(100, 100);
    label.show();
    QSignalSpy clicks(&label, &kiv_clicklabel::clicked);
    const auto press = [&](Qt::MouseButton button, int x) { QTest::mousePress(&label, button, {}, QPoint(x, 10)); };
    const auto release = [&](Qt::MouseButton button, int x) { QTest::mouseRelease(&label, button, {}, QPoint(x, 10)); };
    press(Qt::LeftButton, 10);
    release(Qt::LeftButton, 10);
    QCOMPARE(clicks.count(), 1);
    press(Qt::LeftButton, 10);
    release(Qt::LeftButton, 11); // one pixel off
    press(Qt::RightButton, 30);
    release(Qt::RightButton, 30); // the right button, in place
    QCOMPARE(clicks.count(), 1);
    // A right press in between does not move the remembered left press.
    press(Qt::LeftButton, 50);
    press(Qt::RightButton, 60);
    release(Qt::RightButton, 60);
    release(Qt::LeftButton, 50);
    QCOMPARE(clicks.count(), 2);
}

void tst_plugin_tutorial::mouseMovesOverCloseAreSwallowed()
{
    kiv_plugintutorial dialog;
    dialog.show();
    QPushButton plain; // the same moves reach an unfiltered button
    plain.show();
    const QPoint outside(-40, -40);
    for (QPushButton* button : {dialog.findChild<QPushButton*>(QStringLiteral("btnClose")), &plain}) {
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(2, 2));
        QMouseEvent move(QEvent::MouseMove, outside, button->mapToGlobal(outside), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(button, &move);
        QCOMPARE(button->isDown(), button != &plain);
        QTest::mouseRelease(button, Qt::LeftButton, {}, outside);
    }
    QVERIFY(dialog.isVisible()); // released away from the button: no click
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
    QVERIFY(shown.at(0).isNull());
    QVERIFY(qobject_cast<kiv_plugintutorial*>(shown.at(1)));
    QCOMPARE(f.panel->findChildren<kiv_plugintutorial*>().size(), 1);
}

QTEST_MAIN(tst_plugin_tutorial)
#include "tst_plugin_tutorial.moc"
