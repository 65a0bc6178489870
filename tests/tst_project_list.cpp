// The project table: what a row shows, how the host's calls change the table,
// the current project and its stored key, and the requests a user's clicks
// send to the host.

#include "kiv_configuration_widget.h"
#include "kiv_itemoperation_widget.h"
#include "test_support.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

#include <ctime>

using kiv_general_types::Project;

namespace {

const QString kEffectPictureId = QStringLiteral("xgt-{11AE440C-AD71-470A-888F-8025AF77E284}");
const QString kCurrentKey = QStringLiteral("kiv.project/currentproject_tmq1001");

Project makeProject(const QString& id, const QString& name, int type = kiv_general_types::RENDERTYPE_MAYA,
                    const QString& pool = QStringLiteral("cpu"))
{
    Project project;
    project.id = id;
    project.name = name;
    project.type = type;
    project.options.nodePool = pool;
    return project;
}

// Marks every text the panel translates, so that a retranslation shows.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "QObject") != 0)
            return {};
        return QStringLiteral("<%1>").arg(QString::fromUtf8(sourceText));
    }
    bool isEmpty() const override { return false; }
};

struct Fixture : kiv_test::PanelFixture {
    explicit Fixture(const QByteArray& userFile = QByteArray())
        : PanelFixture(userFile)
    {
        general.nodePools.insert(QStringLiteral("cpu"), qMakePair(QStringLiteral("cpu_internal"), QStringLiteral("CPU Pool")));
        general.nodePools.insert(QStringLiteral("gpu"), qMakePair(QStringLiteral("gpu_internal"), QStringLiteral("GPU Pool")));
    }

    QTableWidget* table() const { return find<QTableWidget>("WgtItem"); }
    int rows() const { return table()->rowCount(); }
    QString text(int row, int column) const
    {
        const QTableWidgetItem* item = table()->item(row, column);
        return item ? item->text() : QStringLiteral("<no item>");
    }
    kiv_itemoperation_widget* cell(int row) const
    {
        return qobject_cast<kiv_itemoperation_widget*>(table()->indexWidget(table()->model()->index(row, 3)));
    }
    QPushButton* button(int row, const char* name) const
    {
        kiv_itemoperation_widget* operation = cell(row);
        return operation ? operation->findChild<QPushButton*>(QLatin1String(name)) : nullptr;
    }

    // One entry per row: its id, "~" before it when hidden, and after it
    // "set" for an enabled "Set Current" button, "CUR" for a disabled
    // "Current Project" one, anything else spelled out.
    QStringList marks(const QString& setText = QStringLiteral("Set Current"),
                      const QString& currentText = QStringLiteral("Current Project")) const
    {
        QStringList result;
        for (int row = 0; row < rows(); ++row) {
            QString entry = table()->isRowHidden(row) ? QStringLiteral("~") : QString();
            const QTableWidgetItem* item = table()->item(row, 3);
            entry += item ? item->data(Qt::UserRole).toString() : QStringLiteral("<no item>");
            const QPushButton* current = button(row, "BntSetCurrentItem");
            if (!current)
                entry += QStringLiteral(":<no button>");
            else if (current->isEnabled() && current->text() == setText)
                entry += QStringLiteral(":set");
            else if (!current->isEnabled() && current->text() == currentText)
                entry += QStringLiteral(":CUR");
            else
                entry += QStringLiteral(":%1/%2").arg(current->text()).arg(int(current->isEnabled()));
            result << entry;
        }
        return result;
    }

    // Opens the panel, which rebuilds the table, and runs `check` inside it.
    void rebuild(const std::function<void()>& check = [] {}) { open(check, false); }
    bool applyEnabled() const { return find<QPushButton>("btnApply")->isEnabled(); }
};

} // namespace

class tst_project_list : public QObject
{
    Q_OBJECT
private slots:
    void rowShowsNameTypePoolAndOperations();
    void rebuildSortsByIdAndLaterProjectsAppend();
    void updateStoresWithoutTouchingTheRow();
    void currentMarkFollowsTheHost();
    void deletingTheCurrentProjectClearsItsMark();
    void hiddenRowIsFoundFirstByLaterScans();
    void deleteAsksForConfirmation();
    void languageChangeKeepsTheCurrentMark();
    void thousandProjectsRebuildQuickly();
};

void tst_project_list::rowShowsNameTypePoolAndOperations()
{
    Fixture f;
    f.panel->SetNewProject(makeProject("a", "Max job", kiv_general_types::RENDERTYPE_3DSMAX, "gpu"), true);
    f.panel->SetNewProject(makeProject("b", "Maya job", kiv_general_types::RENDERTYPE_MAYA, "cpu"), false);
    f.panel->SetNewProject(makeProject("c", "Houdini job", kiv_general_types::RENDERTYPE_HOUDINI, "unknown"), false);
    f.panel->SetNewProject(makeProject("d", "No type", 0, QString()), false);
    f.panel->SetNewProject(makeProject("e", "Odd type", 0x1001, "cpu"), false);
    f.panel->SetNewProject(makeProject(kEffectPictureId, "Effect", kiv_general_types::RENDERTYPE_3DSMAX, "gpu"), false);
    // Malformed: no id. With no current project it must not read as current.
    f.panel->SetNewProject(makeProject(QString(), "No id", 0, QString()), false);

    f.rebuild([&] {
        QCOMPARE(f.table()->columnCount(), 4);
        QCOMPARE(f.rows(), 7);
        const QStringList expected[] = {
            {"No id", "", ""},                 {"Max job", "3dsmax", "GPU Pool"}, {"Maya job", "maya", "CPU Pool"},
            {"Houdini job", "houdini", ""},    {"No type", "", ""},
            {"Odd type", "", "CPU Pool"},      {"Effect", "3dsmax", "EffectPicture"},
        };
        for (int row = 0; row < 7; ++row)
            QCOMPARE((QStringList{f.text(row, 0), f.text(row, 1), f.text(row, 2), f.text(row, 3)}),
                     expected[row] + QStringList{QString()});
        // A row offers only "Editor" and "Set Current".
        kiv_itemoperation_widget* cell = f.cell(1);
        QVERIFY(!f.button(1, "BntDelete")->isVisibleTo(cell));
        QVERIFY(!cell->findChild<QWidget*>(QStringLiteral("widget"))->isVisibleTo(cell));
        QCOMPARE(f.button(1, "BntEdit")->text(), QStringLiteral("Editor"));
        QCOMPARE(f.marks(), (QStringList{":set", "a:set", "b:set", "c:set", "d:set", "e:set", kEffectPictureId + ":set"}));
        QVERIFY(!f.stored(kCurrentKey).isValid());
    });
}

void tst_project_list::rebuildSortsByIdAndLaterProjectsAppend()
{
    Fixture f;
    QSignalSpy added(f.panel.get(), &kiv_configuration_widget::sigNewProject);
    for (const char* id : {"9", "10", "2"})
        f.panel->SetNewProject(makeProject(id, QStringLiteral("P%1").arg(id)), true);
    // Rows appear as the host pushes them, before any opening.
    QCOMPARE(f.marks(), (QStringList{"9:set", "10:set", "2:set"}));
    QCOMPARE(added.count(), 3);
    QCOMPARE(added.at(0).at(0).value<Project>().id, QStringLiteral("9"));
    QCOMPARE(added.at(0).at(1).toBool(), false);

    f.rebuild([&] {
        QCOMPARE(f.marks(), (QStringList{"10:set", "2:set", "9:set"}));
        QVERIFY(!f.applyEnabled());
        f.panel->SetNewProject(makeProject("1", "P1"), false);
        QVERIFY(f.applyEnabled());
        // The same id again: the stored copy is replaced, a second row added.
        f.panel->SetNewProject(makeProject("9", "P9 renamed"), false);
        QCOMPARE(f.marks(), (QStringList{"10:set", "2:set", "9:set", "1:set", "9:set"}));
        QCOMPARE(f.text(2, 0), QStringLiteral("P9"));
        QCOMPARE(f.text(4, 0), QStringLiteral("P9 renamed"));
    });
    f.rebuild([&] {
        QCOMPARE(f.marks(), (QStringList{"1:set", "10:set", "2:set", "9:set"}));
        QCOMPARE(f.text(3, 0), QStringLiteral("P9 renamed"));
    });
}

void tst_project_list::updateStoresWithoutTouchingTheRow()
{
    Fixture f;
    f.panel->SetNewProject(makeProject("a", "Old name", kiv_general_types::RENDERTYPE_MAYA, "cpu"), false);
    QSignalSpy edited(f.panel.get(), &kiv_configuration_widget::sigEditProject);

    f.rebuild([&] {
        Project renamed = makeProject("a", "New name", kiv_general_types::RENDERTYPE_HOUDINI, "gpu");
        renamed.extraList = QStringList{"x", "y"};
        renamed.options.priority = 7;
        f.panel->UpdateProject(renamed);
        f.panel->UpdateProject(makeProject("b", "Not shown yet"));
        QCOMPARE(f.rows(), 1);
        QCOMPARE((QStringList{f.text(0, 0), f.text(0, 1), f.text(0, 2)}), (QStringList{"Old name", "maya", "CPU Pool"}));
        QVERIFY(!f.applyEnabled());

        // The request carries the stored copy, not what the row shows.
        f.button(0, "BntEdit")->click();
        QCOMPARE(edited.count(), 1);
        const Project sent = edited.at(0).at(0).value<Project>();
        QCOMPARE(sent.name, QStringLiteral("New name"));
        QCOMPARE(sent.extraList, (QStringList{"x", "y"}));
        QCOMPARE(sent.options.priority, 7);
        QCOMPARE(sent.options.retryCount, 4);
        QVERIFY(f.applyEnabled());
        QCOMPARE(f.text(0, 0), QStringLiteral("Old name"));
    });
    f.rebuild([&] {
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:set"}));
        QCOMPARE((QStringList{f.text(0, 0), f.text(0, 1), f.text(0, 2)}), (QStringList{"New name", "houdini", "GPU Pool"}));
    });
}

void tst_project_list::currentMarkFollowsTheHost()
{
    Fixture f("[kiv.project]\ncurrentproject_tmq1001=b\n");
    QCOMPARE(f.panel->GetGeneralOpt("currentproject"), QVariant("b"));
    QSignalSpy current(f.panel.get(), &kiv_configuration_widget::sigCurrentProject);
    QSignalSpy asked(f.panel.get(), &kiv_configuration_widget::sigSetCurrentProject);
    for (const char* id : {"a", "b", "c"})
        f.panel->SetNewProject(makeProject(id, id), false);
    QCOMPARE(f.marks(), (QStringList{"a:set", "b:CUR", "c:set"}));

    f.rebuild();
    f.rebuild([&] {
        // The mark of the previous table is gone with it; the rebuilt table
        // has exactly one current row, and moving it leaves exactly one.
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:CUR", "c:set"}));
        // The user's click only asks; the host's answer moves the mark.
        f.button(2, "BntSetCurrentItem")->click();
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0).at(0).toString(), QStringLiteral("c"));
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:CUR", "c:set"}));
        QCOMPARE(f.stored(kCurrentKey).toString(), QStringLiteral("b"));
        QCOMPARE(current.count(), 0);
        f.panel->SetCurrentProjectToTab("c");
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:CUR"}));
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.at(0).at(0).toString(), QStringLiteral("c"));
        QCOMPARE(f.stored(kCurrentKey).toString(), QStringLiteral("c"));
        QCOMPARE(f.panel->GetGeneralOpt("currentproject"), QVariant("c"));
        QVERIFY(f.applyEnabled());

        f.panel->SetCurrentProjectToTab(QString());
        QCOMPARE(current.count(), 1);
        QCOMPARE(f.stored(kCurrentKey).toString(), QStringLiteral("c"));
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:CUR"}));

        // An id without a row is stored now and marked when its row arrives.
        f.panel->SetCurrentProjectToTab("d");
        QCOMPARE(f.stored(kCurrentKey).toString(), QStringLiteral("d"));
        QCOMPARE(f.panel->GetGeneralOpt("currentproject"), QVariant("d"));
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:CUR"}));
        f.panel->SetNewProject(makeProject("d", "d"), false);
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:set", "d:CUR"}));
    });

    f.panel->SetCurrentProjectToTab("missing");
    f.rebuild([&] { QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:set", "d:set"})); });
    QCOMPARE(f.stored(kCurrentKey).toString(), QStringLiteral("missing"));
}

void tst_project_list::deletingTheCurrentProjectClearsItsMark()
{
    Fixture f("[kiv.project]\ncurrentproject_tmq1001=b\n");
    for (const char* id : {"a", "b", "c"})
        f.panel->SetNewProject(makeProject(id, id), false);

    f.rebuild([&] {
        f.panel->DeleteProjectToTab(makeProject("b", "any name"));
        QVERIFY(f.table()->isRowHidden(1));
        QCOMPARE(f.panel->GetGeneralOpt("currentproject"), QVariant(QString()));
        QVERIFY(f.stored(kCurrentKey).isValid());
        QCOMPARE(f.stored(kCurrentKey).toString(), QString());

        f.panel->SetCurrentProjectToTab("c");
        QCOMPARE(f.marks().at(2), QStringLiteral("c:CUR"));
        QCOMPARE(f.marks().at(0), QStringLiteral("a:set"));
        QCOMPARE(f.stored(kCurrentKey).toString(), QStringLiteral("c"));

        // An id without a row is neither forgotten nor shown.
        f.panel->UpdateProject(makeProject("z", "no row yet"));
        f.panel->DeleteProjectToTab(makeProject("z", "no row yet"));
        QCOMPARE(f.rows(), 3);
    });
    f.rebuild([&] { QCOMPARE(f.marks(), (QStringList{"a:set", "c:CUR", "z:set"})); });
}

void tst_project_list::hiddenRowIsFoundFirstByLaterScans()
{
    Fixture f;
    QSignalSpy edited(f.panel.get(), &kiv_configuration_widget::sigEditProject);
    f.panel->SetNewProject(makeProject("a", "first"), false);
    f.rebuild([&] {
        f.panel->SetNewProject(makeProject("a", "second"), false);
        f.panel->DeleteProjectToTab(makeProject("a", ""));
        QCOMPARE(f.marks(), (QStringList{"~a:set", "a:set"}));
        // The visible row's project is forgotten: its "Editor" asks nothing.
        f.button(1, "BntEdit")->click();
        QCOMPARE(edited.count(), 0);

        f.panel->SetNewProject(makeProject("a", "third"), false);
        f.panel->DeleteProjectToTab(makeProject("a", ""));
        QCOMPARE(f.marks(), (QStringList{"~a:set", "a:set", "a:set"}));
        f.panel->SetCurrentProjectToTab("a");
        QCOMPARE(f.marks(), (QStringList{"~a:CUR", "a:set", "a:set"}));
    });
    // Nothing of "a" is left in the map.
    f.rebuild([&] { QCOMPARE(f.rows(), 0); });
}

void tst_project_list::deleteAsksForConfirmation()
{
    Fixture f;
    f.panel->SetNewProject(makeProject("a", "Spaceship"), false);
    QSignalSpy deleted(f.panel.get(), &kiv_configuration_widget::sigDeleteProject);

    f.rebuild([&] {
        // The cell's delete button is hidden; the request is still wired.
        QString seen;
        bool answered = false;
        kiv_test::clickInNextModal(QStringLiteral("cancel"), &seen, &answered);
        f.button(0, "BntDelete")->click();
        QVERIFY(answered);
        QCOMPARE(seen, QStringLiteral("are you sure to delete the project named :Spaceship ?"));
        QCOMPARE(deleted.count(), 0);
        QVERIFY(!f.applyEnabled());

        kiv_test::clickInNextModal(QStringLiteral("ok"), nullptr, &answered);
        f.button(0, "BntDelete")->click();
        QVERIFY(answered);
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(deleted.at(0).at(0).value<Project>().name, QStringLiteral("Spaceship"));
        QVERIFY(f.applyEnabled());
        // Nothing changes until the host answers.
        QCOMPARE(f.marks(), QStringList{"a:set"});

        f.panel->DeleteProjectToTab(deleted.at(0).at(0).value<Project>());
        QCOMPARE(f.marks(), QStringList{"~a:set"});
    });
}

void tst_project_list::languageChangeKeepsTheCurrentMark()
{
    Fixture f("[kiv.project]\ncurrentproject_tmq1001=b\n");
    for (const char* id : {"a", "b"})
        f.panel->SetNewProject(makeProject(id, id), false);
    f.rebuild([&] {
        MarkingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QTRY_COMPARE(f.button(0, "BntEdit")->text(), QStringLiteral("<Editor>"));
        QCOMPARE(f.marks("<Set Current>", "<Current Project>"), (QStringList{"a:set", "b:CUR"}));
        // The panel keeps using the new texts when the mark moves.
        f.panel->SetCurrentProjectToTab("a");
        QCOMPARE(f.marks("<Set Current>", "<Current Project>"), (QStringList{"a:CUR", "b:set"}));
        QCoreApplication::removeTranslator(&translator);
        QTRY_COMPARE(f.button(0, "BntEdit")->text(), QStringLiteral("Editor"));
        QCOMPARE(f.marks(), (QStringList{"a:CUR", "b:set"}));
    });
}

void tst_project_list::thousandProjectsRebuildQuickly()
{
    Fixture f;
    f.panel->SetCurrentProjectToTab("p0500");
    for (int i = 0; i < 1000; ++i)
        f.panel->SetNewProject(makeProject(QStringLiteral("p%1").arg(i, 4, 10, QLatin1Char('0')), "project"), false);

    // Processor time: the budget is the panel's own work, whatever else the
    // machine is busy with. Opening also fills the other pages, deletes the
    // previous rows and shows the dialog, so it bounds the rebuild.
    const std::clock_t start = std::clock();
    qint64 ms = -1;
    f.rebuild([&] {
        ms = qint64(std::clock() - start) * 1000 / CLOCKS_PER_SEC;
        QCOMPARE(f.rows(), 1000);
        QCOMPARE(f.marks().filter(QStringLiteral(":CUR")), QStringList{"p0500:CUR"});
    });
    qInfo("opening with 1000 projects took %lld ms of processor time", ms);
    QVERIFY2(ms < 500, qPrintable(QStringLiteral("%1 ms").arg(ms)));
}

QTEST_MAIN(tst_project_list)
#include "tst_project_list.moc"
