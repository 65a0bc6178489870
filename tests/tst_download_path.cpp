// The download path suffix dialog: its token list, the preview, the result
// it hands back, the custom text and its window chrome.

#include "kiv_downloadpath.h"
#include "kiv_list_widget.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidgetItem>
#include <QMetaMethod>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QValidator>
#include <QtTest>

#include <memory>

namespace {

const QStringList kTableKeys{QStringLiteral("Task Id"), QStringLiteral("Task Name"), QStringLiteral("Server Name"),
                             QStringLiteral("Customize")};

// Marks every text translated in the dialog's own context.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "kiv_downloadpath") != 0)
            return {};
        return QStringLiteral("<%1>").arg(QString::fromUtf8(sourceText));
    }
    bool isEmpty() const override { return false; }
};

kiv_list_widget* tokenList(const kiv_downloadpath& dialog)
{
    return dialog.findChild<kiv_list_widget*>(QStringLiteral("lwtVisible"));
}

QString preview(const kiv_downloadpath& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit_example"))->text();
}

QGroupBox* customBox(const kiv_downloadpath& dialog)
{
    return dialog.findChild<QGroupBox*>(QStringLiteral("gbx_custom"));
}

QStringList entryKeys(const QListWidget* list)
{
    QStringList keys;
    for (int row = 0; row < list->count(); ++row)
        keys << list->item(row)->data(Qt::UserRole).toString();
    return keys;
}

QStringList entryTexts(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QList<int> entryChecks(const QListWidget* list)
{
    QList<int> checks;
    for (int row = 0; row < list->count(); ++row)
        checks << list->item(row)->data(Qt::CheckStateRole).toInt();
    return checks;
}

QListWidgetItem* entryFor(const QListWidget* list, const QString& key)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->data(Qt::UserRole).toString() == key)
            return list->item(row);
    }
    return nullptr;
}

// Runs ChoosePathSuffix and clicks `button` once the dialog is up, noting
// the preview that the running dialog shows.
QStringList choose(kiv_downloadpath& dialog, const QString& button, QString* shownPreview = nullptr,
                   bool* answered = nullptr)
{
    kiv_test::whenModal(
        [&dialog, button, shownPreview](QWidget* modal) {
            if (shownPreview)
                *shownPreview = preview(dialog);
            if (auto* target = modal->findChild<QAbstractButton*>(button))
                target->click();
        },
        answered);
    return dialog.ChoosePathSuffix();
}

void clickEntry(QListWidget* list, QListWidgetItem* item)
{
    // The middle of the row, away from the check mark's own toggle.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(item).center());
}

// Reaches the list's protected drop handler without a running drag.
struct DropHandler : kiv_list_widget {
    static auto handler() { return &DropHandler::dropEvent; }
};

QMouseEvent mouseEvent(QEvent::Type type, QWidget* target, const QPoint& global)
{
    return QMouseEvent(type, target->mapFromGlobal(global), global, Qt::LeftButton, Qt::LeftButton,
                       Qt::NoModifier);
}

} // namespace

class tst_download_path : public QObject
{
    Q_OBJECT
private slots:
    void listInterfaceIsAsDeclared();
    void frameIsFramelessShadowedAndModal();

    void entriesFollowThePattern_data();
    void entriesFollowThePattern();
    void fillingTheListRunsNoHandler();
    void cancelOrCloseReturnsThePatternGiven_data();
    void cancelOrCloseReturnsThePatternGiven();

    void pressingAnEntryTogglesItsMark();
    void checkingCustomizeShowsItsBox();
    void dropReordersThePreviewAndTheResult();

    void validatorRefusesForbiddenCharacters_data();
    void validatorRefusesForbiddenCharacters();
    void typingSkipsRefusedCharacters();
    void customTextIsTrimmed_data();
    void customTextIsTrimmed();

    void patternTextRoundTrip_data();
    void patternTextRoundTrip();

    void languageChangeRelabelsEntriesKeepingKeys();
    void titleBarDragsTheDialogButBodyDoesNot();
};

void tst_download_path::listInterfaceIsAsDeclared()
{
    // Connections by signature reach these, so their names are interface.
    const QMetaObject& dialogMeta = kiv_downloadpath::staticMetaObject;
    QStringList dialogMethods;
    for (int i = dialogMeta.methodOffset(); i < dialogMeta.methodCount(); ++i)
        dialogMethods << QString::fromLatin1(dialogMeta.method(i).methodSignature());
    QCOMPARE(dialogMethods, (QStringList{"visibleLabels(QStringList)", "onItemChanged(QListWidgetItem*)",
                                         "onItemPressed(QListWidgetItem*)", "stateChanged()"}));
    QCOMPARE(dialogMeta.method(dialogMeta.methodOffset()).methodType(), QMetaMethod::Signal);

    const QMetaObject& listMeta = kiv_list_widget::staticMetaObject;
    QCOMPARE(listMeta.methodCount() - listMeta.methodOffset(), 1);
    QCOMPARE(listMeta.method(listMeta.methodOffset()).methodSignature(), QByteArray("stateChanged()"));

    kiv_list_widget list(nullptr);
    QVERIFY(list.acceptDrops());
}

void tst_download_path::frameIsFramelessShadowedAndModal()
{
    kiv_downloadpath dialog({}, {}, nullptr);
    QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(dialog.windowType(), Qt::Dialog);
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(dialog.isModal());
    QCOMPARE(dialog.layout()->contentsMargins(), QMargins(9, 9, 9, 9));

    auto* border = dialog.findChild<QWidget*>(QStringLiteral("widget_border"));
    QVERIFY(border);
    auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(border->graphicsEffect());
    QVERIFY(shadow);
    QCOMPARE(shadow->offset(), QPointF(0, 0));
    QCOMPARE(shadow->color(), QColor(Qt::black));
    QCOMPARE(shadow->blurRadius(), 12.0);

    auto* list = tokenList(dialog);
    QVERIFY(list);
    QCOMPARE(list->dragDropMode(), QAbstractItemView::InternalMove);
    QCOMPARE(list->defaultDropAction(), Qt::MoveAction);

    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lbl_text"))->text(), QStringLiteral("Append download path"));
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("btn_ok"))->text(), QStringLiteral("Ok"));
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("btn_cancel"))->text(), QStringLiteral("Cancel"));
    QVERIFY(dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit_example"))->isReadOnly());

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.width(), 450);
    QCOMPARE(dialog.minimumWidth(), 450);
    QCOMPARE(dialog.maximumWidth(), 450);
    QVERIFY(dialog.height() <= 290);
    QCOMPARE(dialog.maximumHeight(), 290);
}

void tst_download_path::entriesFollowThePattern_data()
{
    QTest::addColumn<QStringList>("pattern");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QList<int>>("checks");
    QTest::addColumn<QString>("shownPreview");

    QTest::newRow("empty pattern") << QStringList() << kTableKeys << QList<int>{0, 0, 0, 0}
                                   << QStringLiteral("$(Output)/");
    QTest::newRow("pattern keys lead in their order")
        << QStringList{"Server Name", "Task Id"}
        << QStringList{"Server Name", "Task Id", "Task Name", "Customize"} << QList<int>{2, 2, 0, 0}
        << QStringLiteral("$(Output)/$(Server Name)/$(Task Id)/");
    QTest::newRow("key outside the table")
        << QStringList{"Frame", "Task Id"}
        << QStringList{"Frame", "Task Id", "Task Name", "Server Name", "Customize"} << QList<int>{2, 2, 0, 0, 0}
        << QStringLiteral("$(Output)/$(Frame)/$(Task Id)/");
    QTest::newRow("repeated key")
        << QStringList{"Task Name", "Task Name"}
        << QStringList{"Task Name", "Task Name", "Task Id", "Server Name", "Customize"} << QList<int>{2, 2, 0, 0, 0}
        << QStringLiteral("$(Output)/$(Task Name)/$(Task Name)/");
    QTest::newRow("all four, customize first")
        << QStringList{"Customize", "Task Name", "Server Name", "Task Id"}
        << QStringList{"Customize", "Task Name", "Server Name", "Task Id"} << QList<int>{2, 2, 2, 2}
        << QStringLiteral("$(Output)/$(Customize)/$(Task Name)/$(Server Name)/$(Task Id)/");
}

void tst_download_path::entriesFollowThePattern()
{
    QFETCH(QStringList, pattern);
    QFETCH(QStringList, keys);
    QFETCH(QList<int>, checks);
    QFETCH(QString, shownPreview);

    kiv_downloadpath dialog(pattern, {}, nullptr);
    const auto* list = tokenList(dialog);
    QCOMPARE(entryKeys(list), keys);
    // Without a translation an entry shows its key.
    QCOMPARE(entryTexts(list), keys);
    QCOMPARE(entryChecks(list), checks);
    // The box starts visible whatever the "Customize" mark says.
    QVERIFY(!customBox(dialog)->isHidden());

    QString seen;
    bool answered = false;
    const QStringList chosen = choose(dialog, QStringLiteral("btn_ok"), &seen, &answered);
    QVERIFY(answered);
    QCOMPARE(seen, shownPreview);
    // Accepting unchanged hands back the pattern, unknown and repeated keys included.
    QCOMPARE(chosen, pattern);
}

void tst_download_path::fillingTheListRunsNoHandler()
{
    kiv_downloadpath dialog({QStringLiteral("Task Id")}, {}, nullptr);
    // The preview is computed only once the dialog runs.
    QCOMPARE(preview(dialog), QString());
    QCoreApplication::processEvents();
    QCOMPARE(preview(dialog), QString());
    QVERIFY(!customBox(dialog)->isHidden());
}

void tst_download_path::cancelOrCloseReturnsThePatternGiven_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cancel") << QStringLiteral("btn_cancel");
    QTest::newRow("close") << QStringLiteral("btn_close");
}

void tst_download_path::cancelOrCloseReturnsThePatternGiven()
{
    QFETCH(QString, button);
    const QStringList pattern{QStringLiteral("Task Id"), QStringLiteral("Server Name")};
    kiv_downloadpath dialog(pattern, QStringLiteral("shots"), nullptr);
    auto* list = tokenList(dialog);
    entryFor(list, QStringLiteral("Task Id"))->setCheckState(Qt::Unchecked);
    entryFor(list, QStringLiteral("Task Name"))->setCheckState(Qt::Checked);
    list->insertItem(0, list->takeItem(list->row(entryFor(list, QStringLiteral("Server Name")))));

    bool answered = false;
    QCOMPARE(choose(dialog, button, nullptr, &answered), pattern);
    QVERIFY(answered);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void tst_download_path::pressingAnEntryTogglesItsMark()
{
    kiv_downloadpath dialog({QStringLiteral("Task Id")}, {}, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = tokenList(dialog);
    QListWidgetItem* customize = entryFor(list, QStringLiteral("Customize"));
    QListWidgetItem* taskName = entryFor(list, QStringLiteral("Task Name"));
    QGroupBox* box = customBox(dialog);

    clickEntry(list, customize);
    QCOMPARE(customize->checkState(), Qt::Checked);
    QVERIFY(box->isVisible());
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Task Id)/$(Customize)/"));

    clickEntry(list, customize);
    QCOMPARE(customize->checkState(), Qt::Unchecked);
    QVERIFY(box->isHidden());
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Task Id)/"));

    // Other entries leave the box alone.
    clickEntry(list, taskName);
    QCOMPARE(taskName->checkState(), Qt::Checked);
    QVERIFY(box->isHidden());
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Task Id)/$(Task Name)/"));

    clickEntry(list, entryFor(list, QStringLiteral("Task Id")));
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Task Name)/"));
}

void tst_download_path::checkingCustomizeShowsItsBox()
{
    // A check mark set through the model, as the check indicator does.
    kiv_downloadpath dialog({QStringLiteral("Customize")}, {}, nullptr);
    auto* list = tokenList(dialog);
    QListWidgetItem* customize = entryFor(list, QStringLiteral("Customize"));
    QGroupBox* box = customBox(dialog);

    customize->setCheckState(Qt::Unchecked);
    QVERIFY(box->isHidden());
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/"));

    entryFor(list, QStringLiteral("Server Name"))->setCheckState(Qt::Checked);
    QVERIFY(box->isHidden());
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Server Name)/"));

    customize->setCheckState(Qt::Checked);
    QVERIFY(!box->isHidden());
    QCOMPARE(preview(dialog), QStringLiteral("$(Output)/$(Customize)/$(Server Name)/"));
}

void tst_download_path::dropReordersThePreviewAndTheResult()
{
    kiv_downloadpath dialog({QStringLiteral("Task Id"), QStringLiteral("Server Name")}, {}, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = tokenList(dialog);

    // Offscreen, QDrag::exec ends at once, and QApplication hands a drop
    // only to the widget that took the drag's enter, which an internal-move
    // view does only for its own running drag. So the rows are moved the way
    // the view moves them, and the list's drop handler gets a real drop.
    list->insertItem(0, list->takeItem(1));
    QCOMPARE(entryKeys(list).mid(0, 2), (QStringList{"Server Name", "Task Id"}));
    const std::unique_ptr<QMimeData> mime(list->model()->mimeData({list->model()->index(0, 0)}));
    QVERIFY(mime);
    QDropEvent drop(list->viewport()->rect().center(), Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QSignalSpy dropped(list, &kiv_list_widget::stateChanged);
    (list->*DropHandler::handler())(&drop);
    QCOMPARE(dropped.count(), 1);
    // The dialog follows on the next turn of the event loop.
    QCOMPARE(preview(dialog), QString());
    QTRY_COMPARE(preview(dialog), QStringLiteral("$(Output)/$(Server Name)/$(Task Id)/"));

    dialog.hide();
    bool answered = false;
    QCOMPARE(choose(dialog, QStringLiteral("btn_ok"), nullptr, &answered),
             (QStringList{"Server Name", "Task Id"}));
    QVERIFY(answered);
}

void tst_download_path::validatorRefusesForbiddenCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    for (const QChar c : QStringLiteral("()<>:\"*?|"))
        QTest::newRow(qPrintable(QStringLiteral("refuses %1").arg(c))) << QString(c) << false;
    QTest::newRow("refused inside a word") << QStringLiteral("shot?01") << false;
    QTest::newRow("slash") << QStringLiteral("a/b") << true;
    QTest::newRow("backslash") << QStringLiteral("a\\b") << true;
    QTest::newRow("letters, digits, blanks") << QStringLiteral("Shot 01_final-v2.") << true;
    QTest::newRow("empty") << QString() << true;
}

void tst_download_path::validatorRefusesForbiddenCharacters()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    kiv_downloadpath dialog({}, {}, nullptr);
    const QValidator* validator = dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit_custom"))->validator();
    QVERIFY(validator);
    int pos = 0;
    QCOMPARE(validator->validate(text, pos), accepted ? QValidator::Acceptable : QValidator::Invalid);
}

void tst_download_path::typingSkipsRefusedCharacters()
{
    kiv_downloadpath dialog({}, {}, nullptr);
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit_custom"));
    QTest::keyClicks(edit, QStringLiteral("  a(b)<c>:d\"e*f?g|h/i\\j  "));
    QCOMPARE(edit->text(), QStringLiteral("  abcdefgh/i\\j  "));
    QCOMPARE(dialog.CustomText(), QStringLiteral("abcdefgh/i\\j"));
}

void tst_download_path::customTextIsTrimmed_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("taken");
    QTest::newRow("blanks around") << QStringLiteral("  shots  ") << QStringLiteral("shots");
    QTest::newRow("blanks inside stay") << QStringLiteral("\tmy shots\n") << QStringLiteral("my shots");
    QTest::newRow("only blanks") << QStringLiteral("   ") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void tst_download_path::customTextIsTrimmed()
{
    QFETCH(QString, given);
    QFETCH(QString, taken);
    kiv_downloadpath dialog({}, given, nullptr);
    // The box shows the stored text as it is; trimming happens on taking it.
    QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit_custom"))->text(), given);
    QCOMPARE(dialog.CustomText(), taken);
}

void tst_download_path::patternTextRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("rebuilt");

    QTest::newRow("empty") << QString() << QStringList() << QString();
    QTest::newRow("only slashes") << QStringLiteral("//") << QStringList() << QString();
    QTest::newRow("no final slash") << QStringLiteral("Task Id") << QStringList{"Task Id"}
                                    << QStringLiteral("Task Id/");
    QTest::newRow("two keys") << QStringLiteral("Task Id/Server Name/") << QStringList{"Task Id", "Server Name"}
                              << QStringLiteral("Task Id/Server Name/");
    QTest::newRow("empty parts dropped") << QStringLiteral("/Task Name//Customize") << QStringList{"Task Name", "Customize"}
                                         << QStringLiteral("Task Name/Customize/");
    QTest::newRow("case kept") << QStringLiteral("task id/Task Id/") << QStringList{"task id", "Task Id"}
                               << QStringLiteral("task id/Task Id/");
}

void tst_download_path::patternTextRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QStringList, keys);
    QFETCH(QString, rebuilt);
    QCOMPARE(kiv_downloadpath::PatternKeys(text), keys);
    QCOMPARE(kiv_downloadpath::PatternText(keys), rebuilt);
    QCOMPARE(kiv_downloadpath::PatternKeys(rebuilt), keys);
}

void tst_download_path::languageChangeRelabelsEntriesKeepingKeys()
{
    kiv_downloadpath dialog({QStringLiteral("Frame"), QStringLiteral("Server Name")}, {}, nullptr);
    auto* list = tokenList(dialog);
    auto* title = dialog.findChild<QLabel*>(QStringLiteral("lbl_text"));

    MarkingTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    struct Uninstall {
        QTranslator* t;
        ~Uninstall() { QCoreApplication::removeTranslator(t); }
    } uninstall{&translator};

    QTRY_COMPARE(title->text(), QStringLiteral("<Append download path>"));
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("btn_ok"))->text(), QStringLiteral("<Ok>"));
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("btn_cancel"))->text(), QStringLiteral("<Cancel>"));
    QCOMPARE(entryTexts(list), (QStringList{"<Frame>", "<Server Name>", "<Task Id>", "<Task Name>", "<Customize>"}));
    QCOMPARE(entryKeys(list), (QStringList{"Frame", "Server Name", "Task Id", "Task Name", "Customize"}));

    // Labels are for the eye only: the preview and the result use the keys.
    QString seen;
    QCOMPARE(choose(dialog, QStringLiteral("btn_ok"), &seen), (QStringList{"Frame", "Server Name"}));
    QCOMPARE(seen, QStringLiteral("$(Output)/$(Frame)/$(Server Name)/"));
}

void tst_download_path::titleBarDragsTheDialogButBodyDoesNot()
{
    kiv_downloadpath dialog({}, {}, nullptr);
    dialog.move(200, 150);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* titleBar = dialog.findChild<QWidget*>(QStringLiteral("widget_title"));
    auto* body = dialog.findChild<QWidget*>(QStringLiteral("widget_main"));
    auto* close = dialog.findChild<QPushButton*>(QStringLiteral("btn_close"));

    const QPoint start = dialog.pos();
    const QPoint grip = titleBar->mapToGlobal(QPoint(40, 10));
    QMouseEvent press = mouseEvent(QEvent::MouseButtonPress, titleBar, grip);
    QApplication::sendEvent(titleBar, &press);
    QMouseEvent drag = mouseEvent(QEvent::MouseMove, titleBar, grip + QPoint(30, 40));
    QApplication::sendEvent(titleBar, &drag);
    QCOMPARE(dialog.pos(), start + QPoint(30, 40));

    // Moves and double clicks over the body and the close button stop there.
    const QPoint moved = dialog.pos();
    QMouseEvent bodyDrag = mouseEvent(QEvent::MouseMove, body, grip + QPoint(90, 90));
    QVERIFY(QApplication::sendEvent(body, &bodyDrag));
    QCOMPARE(dialog.pos(), moved);
    QMouseEvent closeDrag = mouseEvent(QEvent::MouseMove, close, grip + QPoint(90, 90));
    QVERIFY(QApplication::sendEvent(close, &closeDrag));
    QCOMPARE(dialog.pos(), moved);
    QMouseEvent doubleClick = mouseEvent(QEvent::MouseButtonDblClick, close, close->mapToGlobal(QPoint(5, 5)));
    QVERIFY(QApplication::sendEvent(close, &doubleClick));
    QVERIFY(!close->isDown());
    QVERIFY(dialog.isVisible());

    // A plain click still closes.
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::mouseClick(close, Qt::LeftButton);
    QCOMPARE(rejected.count(), 1);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(tst_download_path)
#include "tst_download_path.moc"
