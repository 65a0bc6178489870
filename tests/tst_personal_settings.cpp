// The personal page: folders and cameras as read, edited, applied and handed
// to the folder watcher, per user.

#include "kiv_camera_dialog.h"
#include "kiv_filewatcher_private.h"
#include "kiv_monitoritem_widget.h"
#include "test_support.h"

namespace {

struct Fixture : kiv_test::PanelFixture {
    using PanelFixture::PanelFixture;
    // Opens the panel on the personal page.
    void openPage(const std::function<void()>& edit, bool apply = false)
    {
        open([&] { find<QAbstractButton>("BtnPersional")->click(), edit(); }, apply);
    }
    // The texts of the rows of "WgtMonitor" or "WgtCamera".
    QStringList rows(const char* list) const
    {
        QStringList texts;
        auto* widget = find<QListWidget>(list);
        for (int row = 0; row < widget->count(); ++row)
            texts << qobject_cast<kiv_monitoritem_widget*>(widget->itemWidget(widget->item(row)))->Text();
        return texts;
    }
    void deleteRow(const char* list, int row) const
    {
        auto* widget = find<QListWidget>(list);
        widget->itemWidget(widget->item(row))->findChild<QPushButton*>("BtnDelete")->click();
    }
    bool addShown() const { return find<QWidget>("WgtAdd")->isVisible(); }
    QStringList watched() const { return kiv_filewatcher_private::of(kiv_filewatcher::instance())->MonitorFolders(); }
};

} // namespace

class tst_personal_settings : public QObject
{
    Q_OBJECT
private slots:
    void storedListsAreReadAndWatched_data();
    void storedListsAreReadAndWatched();
    void deletingRowsAndApply();
    void anotherUserGetsOnlyTheirOwnLists();
};

void tst_personal_settings::storedListsAreReadAndWatched_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("cameras");
    QTest::newRow("third folder ignored, empty camera kept")
        << QByteArray("[kiv.monitor]\npath=/s/a&/s/b&/s/c\n[kiv.camera]\ncamera=a&&b&c&d\n")
        << QStringList{"/s/a", "/s/b"} << QStringList{"a", "", "b", "c", "d"};
    QTest::newRow("same folder twice") << QByteArray("[kiv.monitor]\npath=/s/a&/s/a\n") << QStringList{"/s/a"} << QStringList();
    QTest::newRow("lone separator") << QByteArray("[kiv.monitor]\npath=/s/a&\n") << QStringList{"/s/a"} << QStringList();
    QTest::newRow("empty first folder") << QByteArray("[kiv.monitor]\npath=&/s/b\n") << QStringList{"", "/s/b"} << QStringList();
}

void tst_personal_settings::storedListsAreReadAndWatched()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, cameras);
    Fixture f(file);
    QCOMPARE(f.panel->GetCameraList(), cameras);
    f.openPage([&] {
        QCOMPARE(f.rows("WgtMonitor"), folders);
        QCOMPARE(f.rows("WgtCamera"), cameras);
        QCOMPARE(f.addShown(), folders.size() < 2);
    });
    // Watched from the load on; an empty name is not a folder.
    folders.removeAll(QString());
    QCOMPARE(f.watched(), folders);
}

void tst_personal_settings::deletingRowsAndApply()
{
    Fixture f("[kiv.monitor]\npath=/s/a&/s/b\n[kiv.camera]\ncamera=front&back&front\n");
    f.openPage([&] {
        f.deleteRow("WgtMonitor", 0);
        QVERIFY(f.addShown());
        // A camera leaves the host's list at once, every entry of its name.
        f.deleteRow("WgtCamera", 0);
        QCOMPARE(f.panel->GetCameraList(), QStringList{"back"});
        // A new camera joins the rows through its dialog, which then goes.
        kiv_test::whenModal([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("LineCamera")->setText("side");
            dialog->findChild<QPushButton*>("BtnOk")->click();
        });
        f.find<QPushButton>("BtnAddCamera")->click();
        QCOMPARE(f.rows("WgtCamera").last(), QStringLiteral("side"));
        QVERIFY(f.panel->findChildren<kiv_camera_dialog*>().isEmpty());
    });
    // Closed without Apply: the folders are still watched, nothing written.
    QCOMPARE(f.watched(), (QStringList{"/s/a", "/s/b"}));
    QCOMPARE(f.stored("kiv.monitor/path").toString() + " " + f.stored("kiv.camera/camera").toString(),
             QStringLiteral("/s/a&/s/b front&back&front"));

    // Apply with empty lists removes the keys; the watcher has the new list before the host hears of it.
    QStringList watchedAtSignal{"not emitted"};
    connect(f.panel.get(), &kiv_configuration_widget::sigConfChanged, this, [&] { watchedAtSignal = f.watched(); });
    f.openPage([&] {
        QCOMPARE(f.rows("WgtMonitor") + f.rows("WgtCamera"), (QStringList{"/s/a", "/s/b", "back"}));
        f.deleteRow("WgtCamera", 0), f.deleteRow("WgtMonitor", 0), f.deleteRow("WgtMonitor", 0);
    }, true);
    QVERIFY(!f.stored("kiv.camera/camera").isValid() && !f.stored("kiv.monitor/path").isValid());
    QCOMPARE(watchedAtSignal, QStringList());
}

void tst_personal_settings::anotherUserGetsOnlyTheirOwnLists()
{
    Fixture f("[kiv.monitor]\npath=/s/a&/s/b\n[kiv.camera]\ncamera=front&back\n");
    kiv_test::writeFile(f.sandbox.userFile("second"), "[kiv.monitor]\npath=/second/x\n[kiv.camera]\ncamera=top\n");
    kiv_test::writeFile(f.sandbox.userFile("third"), "[kiv.general]\nautodownload=0\n");
    f.openPage([] {});
    f.panel->SetCurrentUserInfo(kiv_test::sampleUser("second", "2002"));
    QCOMPARE(f.panel->GetCameraList(), QStringList{"top"});
    QCOMPARE(f.watched(), QStringList{"/second/x"});
    // One folder after two: one can be added again.
    f.openPage([&] { QVERIFY(f.rows("WgtMonitor") == QStringList{"/second/x"} && f.addShown()); });

    // A file without the lists starts empty: nothing of the previous user is
    // kept, watched, answered or written by the next Apply.
    f.panel->SetCurrentUserInfo(kiv_test::sampleUser("third", "3003"));
    QCOMPARE(f.panel->GetCameraList() + f.watched(), QStringList());
    f.open([&] { QCOMPARE(f.rows("WgtMonitor") + f.rows("WgtCamera"), QStringList()); }, true);
    const QSettings third(f.sandbox.userFile("third"), QSettings::IniFormat);
    QVERIFY(!third.contains("kiv.monitor/path") && !third.contains("kiv.camera/camera"));
}

QTEST_MAIN(tst_personal_settings)
#include "tst_personal_settings.moc"
