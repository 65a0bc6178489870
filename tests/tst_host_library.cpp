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
    void userFolderFollowsTheEnvironmentAndIniWritesShowAtOnce();
    void messageBoxAnswersByButtonAndCanBeRelabelled();
};

void tst_host_library::userFolderFollowsTheEnvironmentAndIniWritesShowAtOnce()
{
    qputenv("KIV_USER_APP_PATH", "/tmp/kiv-user-folder");
    QCOMPARE(kiv_types::userAppPath(), QStringLiteral("/tmp/kiv-user-folder"));
    qunsetenv("KIV_USER_APP_PATH");
    QVERIFY(!kiv_types::userAppPath().isEmpty());

    QTemporaryDir dir;
    const QString file = dir.filePath("store.ini");
    QVERIFY(kiv_types::getValue("kiv.general/language", file).isEmpty());
    kiv_types::setValue("{GUID-1}/installlocation", "C:\\Apps\\Maya", file);
    QCOMPARE(QSettings(file, QSettings::IniFormat).value("{GUID-1}/installlocation").toString(),
             QStringLiteral("C:\\Apps\\Maya"));
    kiv_test::writeFile(file, "[py]\nmaya=2.7, 3.7\n");
    QCOMPARE(kiv_types::getValues("py/maya", file), QStringList({"2.7", "3.7"}));
}

void tst_host_library::messageBoxAnswersByButtonAndCanBeRelabelled()
{
    // exec() answers 1 for "ok", 0 for "cancel" and for closing the box
    // (which clickInNextModal does when the box has no such button).
    const QList<QPair<QString, int>> answers = {{"ok", 1}, {"cancel", 0}, {"closed", 0}};
    for (const auto& [button, expected] : answers) {
        kiv_messagebox_dialog box(nullptr);
        bool answered = false;
        kiv_test::clickInNextModal(button, nullptr, &answered);
        QCOMPARE(box.exec(), expected);
        QVERIFY(answered);
    }

    kiv_messagebox_dialog box(true, nullptr);
    box.setText("Proceed?");
    QCOMPARE(box.text(), QStringLiteral("Proceed?"));
    auto* ok = box.findChild<QPushButton*>("ok");
    auto* cancel = box.findChild<QPushButton*>("cancel");
    QVERIFY(ok && cancel && !ok->isHidden() && !cancel->isHidden());
    QCOMPARE(ok->text() + "/" + cancel->text(), QStringLiteral("OK/Cancel"));
    box.setButtonText("ok", "Apply online");
    box.setButtonVisible("cancel", false);
    box.setButtonText("no-such-button", "ignored");
    QCOMPARE(ok->text(), QStringLiteral("Apply online"));
    QVERIFY(cancel->isHidden());
}

QTEST_MAIN(tst_host_library)
#include "tst_host_library.moc"
