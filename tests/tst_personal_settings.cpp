// The personal page: monitored folders and cameras as read for a user, edited
// on the page, written by Apply and handed to the folder watcher; and the row
// widget in the version table's mode.

#include "kiv_camera_dialog.h"
#include "kiv_configuration_widget.h"
#include "kiv_filewatcher.h"
#include "kiv_monitoritem_widget.h"
#include "test_support.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

namespace {

struct Fixture : kiv_test::PanelFixture {
    explicit Fixture(const QByteArray& userFile = QByteArray())
        : PanelFixture(userFile)
        , watcher(kiv_filewatcher::instance())
    {
    }

    void writeUser(const QString& name, const QByteArray& contents) const
    {
        kiv_test::writeFile(sandbox.userFile(name), contents);
    }
    bool hasKey(const QString& key) const { return QSettings(file(), QSettings::IniFormat).contains(key); }

    // Opens the panel on the personal page.
    void openPage(const std::function<void()>& edit, bool apply)
    {
        open([&] { find<QAbstractButton>("BtnPersional")->click(), edit(); }, apply);
    }
    // The texts of the rows of "WgtMonitor" or "WgtCamera".
    QStringList rows(const char* list) const
    {
        QStringList texts;
        auto* widget = find<QListWidget>(list);
        for (int row = 0; row < widget->count(); ++row) {
            auto* item = qobject_cast<kiv_monitoritem_widget*>(widget->itemWidget(widget->item(row)));
            texts << (item ? item->Text() : QStringLiteral("<no row widget>"));
        }
        return texts;
    }
    QStringList shownRows(const char* list)
    {
        QStringList texts;
        openPage([&] { texts = rows(list); }, false);
        return texts;
    }
    void deleteRow(const char* list, int row) const
    {
        auto* widget = find<QListWidget>(list);
        widget->itemWidget(widget->item(row))->findChild<QPushButton*>(QStringLiteral("BtnDelete"))->click();
    }
    bool addButtonShown() const { return find<QWidget>("WgtAdd")->isVisible(); }

    kiv_filewatcher* watcher;
};

} // namespace

class tst_personal_settings : public QObject
{
    Q_OBJECT
private slots:
    void storedListsAreReadAndWatched_data();
    void storedListsAreReadAndWatched();
    void deletedFolderStaysUntilApply();
    void deletedCameraLeavesTheListAtOnce();
    void applyWithEmptyListsRemovesTheKeys();
    void anotherUserReplacesOnlyTheListsTheyHave();
    void folderChooserAndCameraDialogAddRows();
    void rowWidgetShortensItsTextToTheColumn();
};

void tst_personal_settings::storedListsAreReadAndWatched_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("cameras");
    QTest::newRow("third folder ignored") << QByteArray("[kiv.monitor]\npath=/s/a&/s/b&/s/c\n")
                                          << QStringList{"/s/a", "/s/b"} << QStringList();
    QTest::newRow("same folder twice") << QByteArray("[kiv.monitor]\npath=/s/a&/s/a\n") << QStringList{"/s/a"}
                                       << QStringList();
    QTest::newRow("lone separator") << QByteArray("[kiv.monitor]\npath=/s/a&\n") << QStringList{"/s/a"}
                                    << QStringList();
    QTest::newRow("empty first folder") << QByteArray("[kiv.monitor]\npath=&/s/b\n") << QStringList{"", "/s/b"}
                                        << QStringList();
    QTest::newRow("empty camera kept") << QByteArray("[kiv.camera]\ncamera=front&&back\n") << QStringList()
                                       << QStringList{"front", "", "back"};
    QTest::newRow("cameras unlimited") << QByteArray("[kiv.camera]\ncamera=a&b&c&d\n") << QStringList()
                                       << QStringList{"a", "b", "c", "d"};
}

void tst_personal_settings::storedListsAreReadAndWatched()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, cameras);
    Fixture f(file);
    QCOMPARE(f.panel->GetCameraList(), cameras);
    f.openPage(
        [&] {
            QCOMPARE(f.rows("WgtMonitor"), folders);
            QCOMPARE(f.rows("WgtCamera"), cameras);
            QCOMPARE(f.addButtonShown(), folders.size() < 2);
        },
        false);
    // Watched from the load on; an empty name is not a folder.
    folders.removeAll(QString());
    QCOMPARE(f.watcher->MonitorFolders(), folders);
}

void tst_personal_settings::deletedFolderStaysUntilApply()
{
    Fixture f("[kiv.monitor]\npath=/s/a&/s/b\n");
    const QStringList both{"/s/a", "/s/b"};
    f.openPage(
        [&] {
            f.deleteRow("WgtMonitor", 0);
            QCOMPARE(f.rows("WgtMonitor"), QStringList{"/s/b"});
            QVERIFY(f.addButtonShown());
            QVERIFY(f.find<QPushButton>("btnApply")->isEnabled());
        },
        false);
    QCOMPARE(f.watcher->MonitorFolders(), both);
    QCOMPARE(f.stored("kiv.monitor/path").toString(), QStringLiteral("/s/a&/s/b"));

    f.openPage(
        [&] {
            QCOMPARE(f.rows("WgtMonitor"), both);
            QVERIFY(!f.addButtonShown());
            f.deleteRow("WgtMonitor", 1);
        },
        true);
    QCOMPARE(f.stored("kiv.monitor/path").toString(), QStringLiteral("/s/a"));
    QCOMPARE(f.watcher->MonitorFolders(), QStringList{"/s/a"});
}

void tst_personal_settings::deletedCameraLeavesTheListAtOnce()
{
    Fixture f("[kiv.camera]\ncamera=front&back&front\n");
    f.openPage(
        [&] {
            f.deleteRow("WgtCamera", 0);
            // Every entry of that name leaves the list; one row the page.
            QCOMPARE(f.panel->GetCameraList(), QStringList{"back"});
            QCOMPARE(f.rows("WgtCamera"), (QStringList{"back", "front"}));
        },
        false);
    // Neither written nor undone without Apply.
    QCOMPARE(f.stored("kiv.camera/camera").toString(), QStringLiteral("front&back&front"));
    QCOMPARE(f.shownRows("WgtCamera"), QStringList{"back"});
}

void tst_personal_settings::applyWithEmptyListsRemovesTheKeys()
{
    Fixture f("[kiv.camera]\ncamera=front\n[kiv.monitor]\npath=/s/a\n");
    QStringList watchedAtSignal{"not emitted"};
    connect(f.panel.get(), &kiv_configuration_widget::sigConfChanged, this,
            [&] { watchedAtSignal = f.watcher->MonitorFolders(); });
    f.openPage([&] { f.deleteRow("WgtCamera", 0), f.deleteRow("WgtMonitor", 0); }, true);
    QVERIFY(!f.hasKey("kiv.camera/camera"));
    QVERIFY(!f.hasKey("kiv.monitor/path"));
    QVERIFY(f.panel->GetCameraList().isEmpty());
    // The watcher has the new list before the host hears of the change.
    QCOMPARE(watchedAtSignal, QStringList());
}

void tst_personal_settings::anotherUserReplacesOnlyTheListsTheyHave()
{
    Fixture f("[kiv.monitor]\npath=/s/a&/s/b\n[kiv.camera]\ncamera=front&back\n");
    f.writeUser("second", "[kiv.monitor]\npath=/second/x\n[kiv.camera]\ncamera=top\n");
    f.writeUser("third", "[kiv.general]\nautodownload=0\n");
    QCOMPARE(f.shownRows("WgtMonitor").size(), 2);

    f.panel->SetCurrentUserInfo(kiv_test::sampleUser("second", "2002"));
    QCOMPARE(f.panel->GetCameraList(), QStringList{"top"});
    QCOMPARE(f.watcher->MonitorFolders(), QStringList{"/second/x"});
    f.openPage(
        [&] {
            QCOMPARE(f.rows("WgtMonitor"), QStringList{"/second/x"});
            // One folder after two: one can be added again.
            QVERIFY(f.addButtonShown());
        },
        false);

    f.panel->SetCurrentUserInfo(kiv_test::sampleUser("third", "3003"));
    QCOMPARE(f.panel->GetCameraList(), QStringList{"top"});
    QCOMPARE(f.watcher->MonitorFolders(), QStringList{"/second/x"});
}

void tst_personal_settings::folderChooserAndCameraDialogAddRows()
{
    Fixture f;
    QTemporaryDir chosen;
    f.openPage(
        [&] {
            kiv_test::whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
            f.find<QPushButton>("BtnAddMonitor")->click();
            QVERIFY(f.rows("WgtMonitor").isEmpty());
            kiv_test::whenModal([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Select directory"));
                QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(f.sandbox.appDir()).canonicalPath());
                QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));
                dialog->setDirectory(chosen.path());
                QMetaObject::invokeMethod(dialog, "accept");
            });
            f.find<QPushButton>("BtnAddMonitor")->click();
            QCOMPARE(f.rows("WgtMonitor"), QStringList{QDir(chosen.path()).absolutePath()});

            // A name as typed, then one closed from the title bar, then an empty one.
            kiv_test::whenModal([](QWidget* modal) {
                QCOMPARE(modal->findChild<QLabel*>("LinTitle")->text(), QStringLiteral("New Camera"));
                QCOMPARE(modal->findChild<QPushButton*>("BtnOk")->text(), QStringLiteral("Create"));
                modal->findChild<QLineEdit*>("LineCamera")->setText(" side cam ");
                modal->findChild<QPushButton*>("BtnOk")->click();
            });
            f.find<QPushButton>("BtnAddCamera")->click();
            kiv_test::clickInNextModal("BtnClose");
            f.find<QPushButton>("BtnAddCamera")->click();
            kiv_test::clickInNextModal("BtnOk");
            f.find<QPushButton>("BtnAddCamera")->click();
            QCOMPARE(f.rows("WgtCamera"), (QStringList{" side cam ", ""}));
            QCOMPARE(f.panel->findChildren<kiv_camera_dialog*>().size(), 3);
            QVERIFY(f.panel->GetCameraList().isEmpty());
        },
        true);
    QCOMPARE(f.stored("kiv.monitor/path").toString(), QDir(chosen.path()).absolutePath());
    QCOMPARE(f.stored("kiv.camera/camera").toString(), QStringLiteral(" side cam &"));
    QCOMPARE(f.panel->GetCameraList(), (QStringList{" side cam ", ""}));
}

void tst_personal_settings::rowWidgetShortensItsTextToTheColumn()
{
    const QString path = QStringLiteral("C:/Program Files/Autodesk/3ds Max 2024/with/a/rather/long/path/");
    QTableWidget table(1, 3);
    auto* cell = new QTableWidgetItem;
    table.setItem(0, 1, cell);
    auto* row = new kiv_monitoritem_widget;
    row->SetHoverEnabled(true);
    row->SetCell(path, cell, 120);
    table.setIndexWidget(table.model()->index(0, 1), row);
    connect(table.horizontalHeader(), &QHeaderView::sectionResized, row, &kiv_monitoritem_widget::ResizeWidget);
    const QFontMetrics metrics = row->findChild<QLabel*>("MonitorPath")->fontMetrics();
    auto* add = row->findChild<QPushButton*>("BtnAdd");

    const QString at120 = row->Text();
    QVERIFY(at120.endsWith(QChar(0x2026)) && path.startsWith(at120.chopped(1)));
    QVERIFY(metrics.horizontalAdvance(at120) <= 120);
    // Only the path column's width matters.
    table.horizontalHeader()->resizeSection(0, 900);
    QCOMPARE(row->Text(), at120);
    table.horizontalHeader()->resizeSection(1, metrics.horizontalAdvance(path) + 40);
    QCOMPARE(row->Text(), path);
    table.horizontalHeader()->resizeSection(1, 120);
    QCOMPARE(row->Text(), at120);

    // Hovered: room is made for the add button.
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(row, &enter);
    QVERIFY(!add->isHidden());
    QVERIFY(metrics.horizontalAdvance(row->Text()) <= 90 && row->Text().size() < at120.size());
    QSignalSpy added(row, &kiv_monitoritem_widget::sigAddPath);
    add->click();
    QCOMPARE(added.count(), 1);
    QApplication::sendEvent(row, &leave);
    QVERIFY(add->isHidden());
    QCOMPARE(row->Text(), at120);

    row->SetFullText(QStringLiteral("D:/Max/"));
    QCOMPARE(row->Text(), QStringLiteral("D:/Max/"));
    row->SetHoverEnabled(false);
    QApplication::sendEvent(row, &enter);
    QVERIFY(add->isHidden());
}

QTEST_MAIN(tst_personal_settings)

#include "tst_personal_settings.moc"
