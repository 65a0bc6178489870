// The plugin tutorial dialog and its click label.

#include "kiv_clicklabel.h"
#include "kiv_plugintutorial.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QMouseEvent>
#include <QMovie>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs with the current directory switched, restoring it however the test ends.
class CurrentDirectory
{
public:
    explicit CurrentDirectory(const QString& path)
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(path);
    }
    ~CurrentDirectory() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

} // namespace

class tst_plugin_tutorial : public QObject
{
    Q_OBJECT

private slots:
    void clickIsALeftReleaseAtThePressPosition();
    void dialogFitsThePictureAndCloses();
    void mouseMovesOverCloseAreSwallowed();
    void theAnimationPlaysWhenShipped();
    void aMissingAnimationLeavesThePictureEmpty();
};

void tst_plugin_tutorial::clickIsALeftReleaseAtThePressPosition()
{
    kiv_clicklabel label;
    label.resize(100, 100);
    label.show();
    QSignalSpy clicks(&label, &kiv_clicklabel::clicked);

    QTest::mousePress(&label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(clicks.count(), 1);

    // One pixel off is no click.
    QTest::mousePress(&label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, Qt::NoModifier, QPoint(11, 10));
    QCOMPARE(clicks.count(), 1);

    // The right button never clicks, even in place.
    QTest::mousePress(&label, Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
    QTest::mouseRelease(&label, Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
    QCOMPARE(clicks.count(), 1);

    // A right press in between does not move the remembered left press.
    QTest::mousePress(&label, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QTest::mousePress(&label, Qt::RightButton, Qt::NoModifier, QPoint(60, 60));
    QTest::mouseRelease(&label, Qt::RightButton, Qt::NoModifier, QPoint(60, 60));
    QTest::mouseRelease(&label, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QCOMPARE(clicks.count(), 2);
}

void tst_plugin_tutorial::dialogFitsThePictureAndCloses()
{
    kiv_plugintutorial dialog;
    auto* movie = dialog.findChild<kiv_clicklabel*>(QStringLiteral("lblTutorialMovie"));
    QVERIFY(movie);

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.findChild<QWidget*>(QStringLiteral("lblTutorialIcon"))->isHidden());
    // The frame and its shadow margin fit around the picture.
    QCOMPARE(dialog.layout()->contentsMargins(), QMargins(9, 9, 9, 9));
    QVERIFY(dialog.width() >= 720 + 18);
    QVERIFY(dialog.height() >= 400 + 35 + 4 + 18);
    QVERIFY(movie->width() >= 720 && movie->height() >= 400);

    QTest::ignoreMessage(QtDebugMsg, "movie clicked");
    QTest::mouseClick(movie, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));

    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnClose")), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void tst_plugin_tutorial::mouseMovesOverCloseAreSwallowed()
{
    kiv_plugintutorial dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* close = dialog.findChild<QPushButton*>(QStringLiteral("btnClose"));
    QVERIFY(close);
    QPushButton plain; // the same moves reach an unfiltered button
    plain.show();

    const QPoint outside(-40, -40);
    for (QPushButton* button : {close, &plain}) {
        QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QVERIFY(button->isDown());
        QMouseEvent move(QEvent::MouseMove, outside, button->mapToGlobal(outside), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(button, &move);
        QCOMPARE(button->isDown(), button == close);
        QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, outside);
    }
    // Released away from the button: no click, the dialog stays.
    QVERIFY(dialog.isVisible());
}

void tst_plugin_tutorial::theAnimationPlaysWhenShipped()
{
    const QString shipped = QFINDTESTDATA("../demo/skin/tutorial.gif");
    QVERIFY(!shipped.isEmpty());
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QVERIFY(QDir(work.path()).mkpath(QStringLiteral("skin")));
    QVERIFY(QFile::copy(shipped, work.filePath(QStringLiteral("skin/tutorial.gif"))));

    CurrentDirectory inWork(work.path());
    kiv_plugintutorial dialog;
    QMovie* movie = dialog.findChild<kiv_clicklabel*>(QStringLiteral("lblTutorialMovie"))->movie();
    QVERIFY(movie);
    QVERIFY(movie->isValid());
    QCOMPARE(movie->state(), QMovie::Running);
    QVERIFY(movie->frameCount() > 1);
    QVERIFY(!movie->currentPixmap().isNull());
    QSignalSpy frames(movie, &QMovie::frameChanged);
    QVERIFY(frames.wait(5000)); // it animates
}

void tst_plugin_tutorial::aMissingAnimationLeavesThePictureEmpty()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    CurrentDirectory inWork(work.path());
    kiv_plugintutorial dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* label = dialog.findChild<kiv_clicklabel*>(QStringLiteral("lblTutorialMovie"));
    QVERIFY(!label->movie() || !label->movie()->isValid());
    QVERIFY(!label->movie() || label->movie()->currentPixmap().isNull());
    QVERIFY(label->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(label->text().isEmpty());
}

QTEST_MAIN(tst_plugin_tutorial)
#include "tst_plugin_tutorial.moc"
