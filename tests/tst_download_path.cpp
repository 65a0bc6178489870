// The download path suffix dialog: its token list, the preview, the result it hands back, the custom text.

#include "kiv_downloadpath.h"
#include "kiv_list_widget.h"
#include "test_support.h"

static QString preview(const kiv_downloadpath& dialog) { return dialog.findChild<QLineEdit*>("lineEdit_example")->text(); }

// The entries from top to bottom: "+key" when checked, "-key" when not.
static QStringList entries(const QListWidget* list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result << (list->item(row)->checkState() == Qt::Checked ? "+" : "-") + list->item(row)->data(Qt::UserRole).toString();
    return result;
}

// Runs ChoosePathSuffix, clicking `button` once the dialog is up; the preview stays as shown.
static QStringList choose(kiv_downloadpath& dialog, const QString& button)
{
    bool answered = false;
    kiv_test::clickInNextModal(button, nullptr, &answered);
    const QStringList result = dialog.ChoosePathSuffix();
    return answered ? result : QStringList{"not answered"};
}

// Reaches the list's protected drop handler without a running drag.
struct DropHandler : kiv_list_widget {
    static auto handler() { return &DropHandler::dropEvent; }
};

class tst_download_path : public QObject
{
    Q_OBJECT
private slots:
    void entriesFollowThePattern_data();
    void entriesFollowThePattern();
    void clicksAndDropsChangeTheResultOnlyOnOk();
};

void tst_download_path::entriesFollowThePattern_data()
{
    QTest::addColumn<QStringList>("pattern");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << QStringList() << QStringList{"-Task Id", "-Task Name", "-Server Name", "-Customize"};
    // Kept as given, in order, with a key unknown here and a repeated one.
    QTest::newRow("given") << QStringList{"Server Name", "Frame", "Task Name", "Task Name"}
                           << QStringList{"+Server Name", "+Frame", "+Task Name", "+Task Name", "-Task Id", "-Customize"};
}

void tst_download_path::entriesFollowThePattern()
{
    QFETCH(QStringList, pattern);
    QFETCH(QStringList, expected);
    kiv_downloadpath dialog(pattern, {}, nullptr);
    auto* list = dialog.findChild<QListWidget*>("lwtVisible");
    QCOMPARE(entries(list), expected);
    // Labels are for the eye only: relabelled, the preview and the result still use the keys.
    kiv_test::MarkingTranslator translator("kiv_downloadpath");
    QTRY_VERIFY(!list->findItems("<Customize>", Qt::MatchExactly).isEmpty());
    QCOMPARE(choose(dialog, "btn_ok"), pattern);
    QCOMPARE(preview(dialog), "$(Output)/" + (pattern.isEmpty() ? QString() : "$(" + pattern.join(")/$(") + ")/"));
}

void tst_download_path::clicksAndDropsChangeTheResultOnlyOnOk()
{
    kiv_downloadpath dialog({"Task Id", "Server Name"}, {}, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = dialog.findChild<kiv_list_widget*>("lwtVisible");
    QWidget* viewport = list->viewport();
    const auto rect = [list](const char* key) { return list->visualItemRect(list->findItems(key, Qt::MatchExactly).value(0)); };
    const QStringList start = entries(list);

    // Pressing to drag a checked entry leaves it checked, also when released over another entry.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rect("Task Id").center());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rect("Task Name").center());
    QCOMPARE(entries(list), start);

    // A click on the check mark itself toggles exactly once, each time.
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = rect("Task Name");
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QPoint mark = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, mark);
    QCOMPARE(entries(list), (QStringList{"+Task Id", "+Server Name", "+Task Name", "-Customize"}));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, mark);
    QCOMPARE(entries(list), start);

    // A click in the middle of a row toggles it too; "Customize" shows or hides its box, whose text
    // skips the characters that Windows refuses in a folder name (slashes open sub-folders) and is trimmed.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rect("Customize").center());
    QVERIFY(!dialog.findChild<QGroupBox*>("gbx_custom")->isHidden());
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Task Id)/$(Server Name)/$(Customize)/"));
    QTest::keyClicks(dialog.findChild<QLineEdit*>("lineEdit_custom"), "  a(b)<c>:d\"e*f?g|h/i\\j  ");
    QCOMPARE(dialog.CustomText(), QStringLiteral("abcdefgh/i\\j"));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rect("Customize").center());
    QVERIFY(dialog.findChild<QGroupBox*>("gbx_custom")->isHidden());

    // Offscreen no drag reaches an internal-move view: the rows move as the view moves them, then a real drop.
    list->insertItem(0, list->takeItem(1));
    const std::unique_ptr<QMimeData> mime(list->model()->mimeData({list->model()->index(0, 0)}));
    QDropEvent drop(viewport->rect().center(), Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    (list->*DropHandler::handler())(&drop);
    QTRY_COMPARE(preview(dialog), QStringLiteral("$(Output)/$(Server Name)/$(Task Id)/"));
    dialog.hide();
    for (const char* button : {"btn_cancel", "btn_close"}) // hand back the pattern given
        QCOMPARE(choose(dialog, button), (QStringList{"Task Id", "Server Name"}));
    QCOMPARE(choose(dialog, "btn_ok"), (QStringList{"Server Name", "Task Id"}));
}

QTEST_MAIN(tst_download_path)
#include "tst_download_path.moc"
