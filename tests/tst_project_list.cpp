// The project table: its rows, the host's calls, the current project and the requests clicks send.

#include "test_support.h"

using namespace kiv_general_types;

namespace {

Project makeProject(const QString& id, const QString& name = QString(), int type = RENDERTYPE_MAYA,
                    const QString& pool = QStringLiteral("cpu"))
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
        general.nodePools.insert("gpu", {"gpu_internal", "GPU Pool"});
        for (const QString& id : ids)
            panel->SetNewProject(makeProject(id), false);
    }

    QTableWidget* table() const { return find<QTableWidget>("WgtItem"); }
    QStringList texts(int row) const { return {table()->item(row, 0)->text(), table()->item(row, 1)->text(), table()->item(row, 2)->text()}; }
    QPushButton* button(int row, const char* name) const { return table()->indexWidget(table()->model()->index(row, 3))->findChild<QPushButton*>(name); }
    // Per row: "~" when hidden, the id, then ":CUR" when its button marks the current project, else ":set".
    QStringList marks() const
    {
        QStringList result;
        for (int row = 0; row < table()->rowCount(); ++row)
            result << QStringLiteral("%1%2:%3").arg(table()->isRowHidden(row) ? "~" : "", table()->item(row, 3)->data(Qt::UserRole).toString(),
                                                    button(row, "BntSetCurrentItem")->isEnabled() ? "set" : "CUR");
        return result;
    }
    void rebuild(const std::function<void()>& check = [] {}) { open(check, false); } // opening rebuilds the table
};

} // namespace

class tst_project_list : public QObject
{
    Q_OBJECT
private slots:
    void rowsInIdOrder();
    void requestsWaitForTheHostWhoseCallsSetTheCurrentProject();
};

void tst_project_list::rowsInIdOrder()
{
    Fixture f;
    for (const Project& project : {makeProject("9", "Max job", RENDERTYPE_3DSMAX, "gpu"), makeProject("10", "Houdini job", RENDERTYPE_HOUDINI, "unknown"),
                                   makeProject("xgt-{11AE440C-AD71-470A-888F-8025AF77E284}", "Effect", RENDERTYPE_3DSMAX, "gpu"),
                                   makeProject(QString(), "No id", 0, QString())})
        f.panel->SetNewProject(project, false);
    f.rebuild([&] {
        // In id string order ("10" before "9").
        const QList<QStringList> expected = {{"No id", "", ""}, {"Houdini job", "houdini", ""}, {"Max job", "3dsmax", "GPU Pool"},
                                             {"Effect", "3dsmax", "EffectPicture"}};
        for (int row = 0; row < expected.size(); ++row)
            QCOMPARE(f.texts(row), expected.at(row));
    });
}

void tst_project_list::requestsWaitForTheHostWhoseCallsSetTheCurrentProject()
{
    Fixture f({"a", "b", "c"}, "[kiv.project]\ncurrentproject_tmq1001=b\n");
    QSignalSpy edited(f.panel.get(), &kiv_configuration_widget::sigEditProject);
    QSignalSpy deleted(f.panel.get(), &kiv_configuration_widget::sigDeleteProject);
    QSignalSpy asked(f.panel.get(), &kiv_configuration_widget::sigSetCurrentProject);
    QSignalSpy current(f.panel.get(), &kiv_configuration_widget::sigCurrentProject);
    f.rebuild();
    f.rebuild([&] {
        // The mark of the previous table went with it: exactly one current row.
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:CUR", "c:set"}));
        // The buttons' requests carry the stored project.
        f.panel->UpdateProject(makeProject("a", "New name"));
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
        QCOMPARE(f.marks(), (QStringList{"a:set", "b:CUR", "c:set"})); // nothing changes until the host answers
        f.panel->DeleteProjectToTab(deleted.at(0).at(0).value<Project>());
        f.panel->SetCurrentProjectToTab("c");
        QCOMPARE(f.marks(), (QStringList{"~a:set", "b:set", "c:CUR"}));
        QCOMPARE(current.count(), 1);
        // An id without a row is marked when its row arrives.
        f.panel->SetCurrentProjectToTab("d");
        f.panel->SetNewProject(makeProject("d"), false);
        QCOMPARE(f.marks(), (QStringList{"~a:set", "b:set", "c:set", "d:CUR"}));
        // Deleting the current project clears the id and the stored key, also for one that
        // only came through UpdateProject and never had a row (nor gets one by the next rebuild).
        for (const char* id : {"d", "e"}) {
            f.panel->UpdateProject(makeProject(id));
            f.panel->SetCurrentProjectToTab(id);
            f.panel->DeleteProjectToTab(makeProject(id));
            QCOMPARE(f.panel->GetGeneralOpt("currentproject"), QVariant(QString()));
            QCOMPARE(f.stored("kiv.project/currentproject_tmq1001"), QVariant(QString()));
        }
    });
    f.rebuild([&] { QCOMPARE(f.marks(), (QStringList{"b:set", "c:set"})); }); // the deleted rows are gone
}

QTEST_MAIN(tst_project_list)
#include "tst_project_list.moc"
