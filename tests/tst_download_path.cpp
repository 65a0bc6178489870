// The download path suffix dialog: its token list, the preview, the result
// it hands back and the custom text.

#include "kiv_downloadpath.h"
#include "kiv_list_widget.h"
#include "test_support.h"

namespace {

QString preview(const kiv_downloadpath& dialog) { return dialog.findChild<QLineEdit*>("lineEdit_example")->text(); }
bool customBoxShown(const kiv_downloadpath& dialog) { return !dialog.findChild<QGroupBox*>("gbx_custom")->isHidden(); }

// The entries from top to bottom: "+key" when checked, "-key" when not.
QStringList entries(const QListWidget* list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result << (list->item(row)->checkState() == Qt::Checked ? "+" : "-") + list->item(row)->data(Qt::UserRole).toString();
    return result;
}

// Without a translation an entry shows its key.
QListWidgetItem* entryFor(const QListWidget* list, const QString& key) { return list->findItems(key, Qt::MatchExactly).value(0); }

// Runs ChoosePathSuffix, clicking `button` once the dialog is up; `shownPreview` gets the preview shown then.
QStringList choose(kiv_downloadpath& dialog, const QString& button, QString* shownPreview = nullptr)
{
    bool answered = false;
    kiv_test::whenModal([&dialog, button, shownPreview](QWidget* modal) {
        if (shownPreview)
            *shownPreview = preview(dialog);
        modal->findChild<QAbstractButton*>(button)->click();
    }, &answered);
    const QStringList result = dialog.ChoosePathSuffix();
    return answered ? result : QStringList{"not answered"};
}

// Reaches the list's protected drop handler without a running drag.
struct DropHandler : kiv_list_widget {
    static auto handler() { return &DropHandler::dropEvent; }
};

} // namespace

class tst_download_path : public QObject
{
    Q_OBJECT
private slots:
    void entriesFollowThePattern_data();
    void entriesFollowThePattern();
    void cancelOrCloseReturnsThePatternGiven();
    void clicksToggleOnceAndCustomizeShowsItsBox();
    void dropReordersThePreviewAndTheResult();
    void customTextSkipsRefusedCharactersAndIsTrimmed();
};

void tst_download_path::entriesFollowThePattern_data()
{
    QTest::addColumn<QStringList>("pattern");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << QStringList() << QStringList{"-Task Id", "-Task Name", "-Server Name", "-Customize"};
    QTest::newRow("ordered") << QStringList{"Server Name", "Task Id"}
                             << QStringList{"+Server Name", "+Task Id", "-Task Name", "-Customize"};
    QTest::newRow("unknown key") << QStringList{"Frame", "Task Id"}
                                 << QStringList{"+Frame", "+Task Id", "-Task Name", "-Server Name", "-Customize"};
    QTest::newRow("repeated key") << QStringList{"Task Name", "Task Name"}
                                  << QStringList{"+Task Name", "+Task Name", "-Task Id", "-Server Name", "-Customize"};
}

void tst_download_path::entriesFollowThePattern()
{
    QFETCH(QStringList, pattern);
    QFETCH(QStringList, expected);
    kiv_downloadpath dialog(pattern, {}, nullptr);
    QCOMPARE(entries(dialog.findChild<QListWidget*>("lwtVisible")), expected);
    // Labels are for the eye only: relabelled, the preview and the result still use the keys.
    kiv_test::MarkingTranslator translator("kiv_downloadpath");
    QTRY_COMPARE(entryFor(dialog.findChild<QListWidget*>("lwtVisible"), "<Customize>") != nullptr, true);
    QString seen;
    QCOMPARE(choose(dialog, "btn_ok", &seen), pattern);
    QCOMPARE(seen, "$(Output)/" + (pattern.isEmpty() ? QString() : "$(" + pattern.join(")/$(") + ")/"));
}

void tst_download_path::cancelOrCloseReturnsThePatternGiven()
{
    for (const char* button : {"btn_cancel", "btn_close"}) {
        const QStringList pattern{"Task Id", "Server Name"};
        kiv_downloadpath dialog(pattern, "shots", nullptr);
        auto* list = dialog.findChild<QListWidget*>("lwtVisible");
        entryFor(list, "Task Id")->setCheckState(Qt::Unchecked);
        entryFor(list, "Task Name")->setCheckState(Qt::Checked);
        list->insertItem(0, list->takeItem(list->row(entryFor(list, "Server Name"))));
        QCOMPARE(choose(dialog, button), pattern);
    }
}

void tst_download_path::clicksToggleOnceAndCustomizeShowsItsBox()
{
    kiv_downloadpath dialog({"Task Id"}, {}, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = dialog.findChild<QListWidget*>("lwtVisible");
    QWidget* viewport = list->viewport();
    auto middle = [list](const char* key) { return list->visualItemRect(entryFor(list, key)).center(); };
    const QStringList start = entries(list);

    // Pressing to drag a checked entry leaves it checked, also when released over another entry.
    QTest::mousePress(viewport, Qt::LeftButton, {}, middle("Task Id"));
    QTest::mouseMove(viewport, middle("Task Name"));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, middle("Task Name"));
    QCOMPARE(entries(list), start);

    // A click on the check mark itself toggles exactly once, each time.
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualItemRect(entryFor(list, "Task Name"));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QPoint mark = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, mark);
    QCOMPARE(entries(list), (QStringList{"+Task Id", "+Task Name", "-Server Name", "-Customize"}));
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Task Id)/$(Task Name)/"));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, mark);
    QCOMPARE(entries(list), start);

    // A click in the middle of a row toggles it too; only "Customize" shows or hides its box.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, middle("Customize"));
    QVERIFY(customBoxShown(dialog));
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Task Id)/$(Customize)/"));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, middle("Customize"));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, middle("Task Id"));
    QVERIFY(!customBoxShown(dialog));
    QCOMPARE(entries(list), (QStringList{"-Task Id", "-Task Name", "-Server Name", "-Customize"}));
    // A mark set through the model, as the check indicator does.
    entryFor(list, "Customize")->setCheckState(Qt::Checked);
    QVERIFY(customBoxShown(dialog));
}

void tst_download_path::dropReordersThePreviewAndTheResult()
{
    kiv_downloadpath dialog({"Task Id", "Server Name"}, {}, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = dialog.findChild<kiv_list_widget*>("lwtVisible");
    // Offscreen no real drag reaches an internal-move view, so the rows are moved as the
    // view moves them, and the list's drop handler gets a real drop.
    list->insertItem(0, list->takeItem(1));
    const std::unique_ptr<QMimeData> mime(list->model()->mimeData({list->model()->index(0, 0)}));
    QDropEvent drop(list->viewport()->rect().center(), Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    (list->*DropHandler::handler())(&drop);
    QTRY_COMPARE(preview(dialog), QStringLiteral("$(Output)/$(Server Name)/$(Task Id)/"));
    dialog.hide();
    QCOMPARE(choose(dialog, "btn_ok"), (QStringList{"Server Name", "Task Id"}));
}

void tst_download_path::customTextSkipsRefusedCharactersAndIsTrimmed()
{
    kiv_downloadpath dialog({}, {}, nullptr);
    auto* edit = dialog.findChild<QLineEdit*>("lineEdit_custom");
    // Characters that Windows refuses in a folder name are skipped; slashes open sub-folders.
    QTest::keyClicks(edit, "  a(b)<c>:d\"e*f?g|h/i\\j  ");
    QCOMPARE(edit->text(), QStringLiteral("  abcdefgh/i\\j  "));
    QCOMPARE(dialog.CustomText(), QStringLiteral("abcdefgh/i\\j"));
    // A stored text is shown as it is; trimming happens on taking it.
    kiv_downloadpath stored({}, "\tmy shots\n", nullptr);
    QCOMPARE(stored.findChild<QLineEdit*>("lineEdit_custom")->text(), QStringLiteral("\tmy shots\n"));
    QCOMPARE(stored.CustomText(), QStringLiteral("my shots"));
}

QTEST_MAIN(tst_download_path)
#include "tst_download_path.moc"
