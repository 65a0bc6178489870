// The project table: what a row shows, how the host's calls change it, the
// current project and its stored key, and the requests clicks send to the host.

#include "test_support.h"

using kiv_general_types::Project;

namespace {

const QString kEffectPictureId = QStringLiteral("xgt-{11AE440C-AD71-470A-888F-8025AF77E284}");
const QString kCurrentKey = QStringLiteral("kiv.project/currentproject_tmq1001");

Project makeProject(const QString& id, const QString& name = QString(),
                    int type = kiv_general_types::RENDERTYPE_MAYA, const QString& pool = QStringLiteral("cpu"))
{
    Project project;
    project.id = id;
    project.name = name.isNull() ? id : name;
    project.type = type;
    project.options.nodePool = pool;
    return project;
}

struct Fixture : kiv_test::PanelFixture {
    explicit Fixture(const QStringList& ids = {}, const QByteArray& userFile = QByteArray())
        : PanelFixture(userFile)
    {
        general.nodePools.insert("cpu", {"cpu_internal", "CPU Pool"});
        general.nodePools.insert("gpu", {"gpu_internal", "GPU Pool"});
        for (const QString& id : ids)
            panel->SetNewProject(makeProject(id), false);
    }

    QTableWidget* table() const { return find<QTableWidget>("WgtItem"); }
    QStringList texts(int row) const { return {table()->item(row, 0)->text(), table()->item(row, 1)->text(), table()->item(row, 2)->text()}; }
    QPushButton* button(int row, const char* name) const
    {
        return table()->indexWidget(table()->model()->index(row, 3))->findChild<QPushButton*>(QLatin1String(name));
    }
    // Per row: "~" when hidden, the id, then ":set" for an enabled "Set
    // Current" button or ":CUR" for a disabled "Current Project" one.
    QStringList marks() const
    {
        QStringList result;
        for (int row = 0; row < table()->rowCount(); ++row) {
            const QPushButton* button = this->button(row, "BntSetCurrentItem");
            const bool current = !button->isEnabled();
            QString mark = QStringLiteral("%1%2:%3").arg(table()->isRowHidden(row) ? "~" : "",
                table()->item(row, 3)->data(Qt::UserRole).toString(), current ? "CUR" : "set");
            if (button->text() != QLatin1String(current ? "Current Project" : "Set Current"))
                mark += QStringLiteral(" (%1)").arg(button->text());
            result << mark;
        }
        return result;
    }
    // Opens the panel, which rebuilds the table, and runs `check` inside it.
    void rebuild(const std::function<void()>& check = [] {}) { open(check, false); }
};

} // namespace

class tst_project_list : public QObject
{
    Q_OBJECT
private slots:
    void rowsInIdOrderAndRepeatedIds();
    void requestsCarryTheStoredProjectAndWaitForTheHost();
    void currentProjectFollowsTheHost();
    void thousandProjectsRebuildWithOneCurrentRow();
};

void tst_project_list::rowsInIdOrderAndRepeatedIds()
{
    using namespace kiv_general_types;
    const QString effect = kEffectPictureId + ":set";
    Fixture f;
    for (const Project& project : {makeProject("9", "Max job", RENDERTYPE_3DSMAX, "gpu"),
                                   makeProject("10", "Houdini job", RENDERTYPE_HOUDINI, "unknown"),
                                   makeProject("2", "Odd type", 0x1001, "cpu"),
                                   makeProject(kEffectPictureId, "Effect", RENDERTYPE_3DSMAX, "gpu"),
                                   makeProject(QString(), "No id", 0, QString())})
        f.panel->SetNewProject(project, false);
    f.rebuild([&] {
        // In id string order ("10" before "9"); with no current project the row without id is not current.
        const QList<QStringList> expected = {{"No id", "", ""}, {"Houdini job", "houdini", ""},
            {"Odd type", "", "CPU Pool"}, {"Max job", "3dsmax", "GPU Pool"}, {"Effect", "3dsmax", "EffectPicture"}};
        for (int row = 0; row < expected.size(); ++row)
            QCOMPARE(f.texts(row), expected.at(row));
        f.panel->SetNewProject(makeProject("1"), false);
        // The same id again appends a second row.
        f.panel->SetNewProject(makeProject("9", "9 renamed"), false);
        QCOMPARE(f.marks(), (QStringList{":set", "10:set", "2:set", "9:set", effect, "1:set", "9:set"}));
        QCOMPARE(f.texts(6).first(), QStringLiteral("9 renamed"));
        // A delete hides the first row of its id; a later scan finds that hidden row first again.
        f.panel->DeleteProjectToTab(makeProject("9"));
        f.panel->SetNewProject(makeProject("9"), false);
        f.panel->DeleteProjectToTab(makeProject("9"));
        f.panel->SetCurrentProjectToTab("9");
        QCOMPARE(f.marks(), (QStringList{":set", "10:set", "2:set", "~9:CUR", effect, "1:set", "9:set", "9:set"}));
    });
    f.rebuild([&] { QCOMPARE(f.marks(), (QStringList{":set", "1:set", "10:set", "2:set", effect})); });
}

void tst_project_list::requestsCarryTheStoredProjectAndWaitForTheHost()
{
    Fixture f({"a"});
    QSignalSpy edited(f.panel.get(), &kiv_configuration_widget::sigEditProject);
    QSignalSpy deleted(f.panel.get(), &kiv_configuration_widget::sigDeleteProject);
    QSignalSpy asked(f.panel.get(), &kiv_configuration_widget::sigSetCurrentProject);
    f.rebuild([&] {
        // Stored, but the row keeps its texts until the next rebuild.
        f.panel->UpdateProject(makeProject("a", "New name", kiv_general_types::RENDERTYPE_HOUDINI, "gpu"));
        QCOMPARE(f.texts(0), (QStringList{"a", "maya", "CPU Pool"}));

        f.button(0, "BntEdit")->click();
        QCOMPARE(edited.value(0).value(0).value<Project>().name, QStringLiteral("New name"));
        f.button(0, "BntSetCurrentItem")->click();
        QCOMPARE(asked.value(0).value(0).toString(), QStringLiteral("a"));

        kiv_test::clickInNextModal("cancel");
        f.button(0, "BntDelete")->click(); // hidden in the cell, but wired
        QCOMPARE(deleted.count(), 0);
        kiv_test::clickInNextModal("ok");
        f.button(0, "BntDelete")->click();
        QCOMPARE(deleted.value(0).value(0).value<Project>().name, QStringLiteral("New name"));

        // Nothing changes until the host answers.
        QCOMPARE(f.marks(), QStringList{"a:set"});
        f.panel->DeleteProjectToTab(deleted.at(0).at(0).value<Project>());
        QCOMPARE(f.marks(), QStringList{"~a:set"});
    });
}

void tst_project_list::currentProjectFollowsTheHost()
{
    Fixture f({"a", "b", "c"}, "[kiv.project]\ncurrentproject_tmq1001=b\n");
    QSignalSpy current(f.panel.get(), &kiv_configuration_widget::sigCurrentProject);
    f.rebuild();
    f.rebuild([&] {
        // The mark of the previous table went with it: exactly one current row.
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:CUR", "c:set"}));
        f.panel->SetCurrentProjectToTab("c");
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:CUR"}));
        // An empty id writes nothing and moves nothing.
        f.panel->SetCurrentProjectToTab(QString());
        QCOMPARE(current.count(), 1);
        QCOMPARE(f.stored(kCurrentKey).toString(), QStringLiteral("c"));

        // An id without a row is stored now and marked when its row arrives.
        f.panel->SetCurrentProjectToTab("d");
        QCOMPARE(f.stored(kCurrentKey).toString(), QStringLiteral("d"));
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:CUR"}));
        f.panel->SetNewProject(makeProject("d"), false);
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:set", "d:CUR"}));

        // Deleting the current project clears the id and the stored key, also for one that
        // only came through UpdateProject and never had a row (nor gets one by the next rebuild).
        for (const char* id : {"d", "e"}) {
            f.panel->UpdateProject(makeProject(id));
            f.panel->SetCurrentProjectToTab(id);
            f.panel->DeleteProjectToTab(makeProject(id));
            QCOMPARE(f.panel->GetGeneralOpt("currentproject"), QVariant(QString()));
            QCOMPARE(f.stored(kCurrentKey), QVariant(QString()));
        }
    });
    f.rebuild([&] { QCOMPARE(f.marks(), (QStringList{"a:set", "b:set", "c:set"})); });
}

void tst_project_list::thousandProjectsRebuildWithOneCurrentRow()
{
    Fixture f;
    f.panel->SetCurrentProjectToTab("p0500");
    for (int i = 0; i < 1000; ++i)
        f.panel->SetNewProject(makeProject(QStringLiteral("p%1").arg(i, 4, 10, QLatin1Char('0'))), false);
    // How long the rebuild takes is kiv_bench's business.
    f.rebuild([&] {
        const QStringList marks = f.marks();
        QCOMPARE(marks.size(), 1000);
        QCOMPARE(marks.first() + " " + marks.last(), QStringLiteral("p0000:set p0999:set"));
        QCOMPARE(marks.filter(":CUR"), QStringList{"p0500:CUR"});
    });
}

QTEST_MAIN(tst_project_list)
#include "tst_project_list.moc"
