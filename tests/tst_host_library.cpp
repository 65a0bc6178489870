// Our stand-ins for the host's libraries must honour the contracts the panel
// relies on: the INI store and the message box.

#include "kiv_messagebox_dialog.h"
#include "kiv_types.h"
#include "test_support.h"

#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_host_library : public QObject
{
    Q_OBJECT
private slots:
    void userAppPathFollowsTheEnvironment();
    void iniStoreWritesAreVisibleAtOnce();
    void messageBoxAnswers_data();
    void messageBoxAnswers();
    void messageBoxButtonsCanBeRelabelledAndHidden();
};

void tst_host_library::userAppPathFollowsTheEnvironment()
{
    qputenv("KIV_USER_APP_PATH", "/tmp/kiv-user-folder");
    QCOMPARE(kiv_types::userAppPath(), QStringLiteral("/tmp/kiv-user-folder"));
    qunsetenv("KIV_USER_APP_PATH");
    QVERIFY(!kiv_types::userAppPath().isEmpty());
}

void tst_host_library::iniStoreWritesAreVisibleAtOnce()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("store.ini"));
    QVERIFY(kiv_types::getValue(QStringLiteral("kiv.general/language"), file).isEmpty());

    kiv_types::setValue(QStringLiteral("{GUID-1}/installlocation"), QStringLiteral("C:\\Apps\\Maya"), file);
    QCOMPARE(kiv_types::getValue(QStringLiteral("{GUID-1}/installlocation"), file),
             QStringLiteral("C:\\Apps\\Maya"));
    QSettings reader(file, QSettings::IniFormat);
    QCOMPARE(reader.value(QStringLiteral("{GUID-1}/installlocation")).toString(),
             QStringLiteral("C:\\Apps\\Maya"));

    kiv_test::writeFile(file, "[py]\nmaya=2.7, 3.7\n");
    QCOMPARE(kiv_types::getValues(QStringLiteral("py/maya"), file),
             QStringList({QStringLiteral("2.7"), QStringLiteral("3.7")}));
}

void tst_host_library::messageBoxAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("expected");
    QTest::newRow("ok") << QStringLiteral("ok") << 1;
    QTest::newRow("cancel") << QStringLiteral("cancel") << 0;
    QTest::newRow("closed") << QString() << 0;
}

void tst_host_library::messageBoxAnswers()
{
    QFETCH(QString, button);
    QFETCH(int, expected);

    kiv_messagebox_dialog box(nullptr);
    box.setText(QStringLiteral("Proceed?"));
    QCOMPARE(box.text(), QStringLiteral("Proceed?"));
    bool answered = false;
    kiv_test::whenModal(
        [button](QWidget* modal) {
            if (button.isEmpty())
                modal->close();
            else
                modal->findChild<QPushButton*>(button)->click();
        },
        &answered);
    QCOMPARE(box.exec(), expected);
    QVERIFY(answered);
}

void tst_host_library::messageBoxButtonsCanBeRelabelledAndHidden()
{
    kiv_messagebox_dialog box(true, nullptr);
    auto* ok = box.findChild<QPushButton*>(QStringLiteral("ok"));
    auto* cancel = box.findChild<QPushButton*>(QStringLiteral("cancel"));
    QVERIFY(ok && cancel);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QVERIFY(!ok->isHidden() && !cancel->isHidden());

    box.setButtonText(QStringLiteral("ok"), QStringLiteral("Apply online"));
    box.setButtonVisible(QStringLiteral("cancel"), false);
    box.setButtonText(QStringLiteral("no-such-button"), QStringLiteral("ignored"));
    QCOMPARE(ok->text(), QStringLiteral("Apply online"));
    QVERIFY(cancel->isHidden());
}

QTEST_MAIN(tst_host_library)
#include "tst_host_library.moc"
