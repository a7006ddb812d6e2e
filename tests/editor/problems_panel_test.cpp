// The problems panel: a double click names the place of a problem and the grid row of its field,
// and the panel checks again after an edit and after the script file appears.
#include "editor_fixture.h"

#include "editor/problems_panel.h"
#include "editor/property_grids.h"
#include "editor/qt_text.h"

#include <QLabel>
#include <QTableView>
#include <QTest>

#include <algorithm>

namespace kv::test {
namespace {

using ProblemsInTheWindow = EditorTest;

TEST_F(ProblemsInTheWindow, ADoubleClickSelectsTheNodeAndRowAndEditsAreCheckedAgain) {
    const QString script = TempPath(QStringLiteral("s.erm"));
    Project p;
    p.ScriptFile = ToCp1251(script);
    TDialogItem& first = AddDialog(p, 1000, "first");
    first.Header = "a ^ b";
    SetSlot(first, 0, "on", 1001);
    TDialogItem& second = AddDialog(p, 1001, "second");
    SetSlot(second, 0, "a");
    SetSlot(second, 1, "b");
    second.Variants[1].FailOn = "v7=1";
    OpenProject(p);
    ProblemsPanel& panel = *window->Problems;
    panel.CheckNow();
    EXPECT_EQ(panel.ErrorCount(), 2);
    // The outline marks the dialogs with errors.
    EXPECT_TRUE(DialogNode(1).data(Qt::ForegroundRole).isValid());

    const auto doubleClick = [&](ProblemField field) {
        const auto& problems = panel.Problems();
        const auto found = std::find_if(problems.begin(), problems.end(),
                                        [&](const Problem& q) { return q.field == field; });
        ASSERT_NE(found, problems.end());
        const QModelIndex cell =
            panel.List->model()->index(static_cast<int>(found - problems.begin()), 4);
        panel.List->scrollTo(cell);
        const QPoint at = panel.List->visualRect(cell).center();
        // A double click reaches a widget as a press, then the double click.
        QTest::mouseClick(panel.List->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(panel.List->viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick(ProblemField::FailOn);
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_EQ(window->v2->currentRow() + 1, variant_row::FailOn);
    doubleClick(ProblemField::Header);
    EXPECT_EQ(Selected(), DialogNode(0));
    EXPECT_EQ(window->v1->currentRow() + 1, dialog_row::Header);

    // The fixes arrive as edits; the script file appears with its marker.
    SetField(window->v1, dialog_row::Header, QStringLiteral("a b"));
    Select(VariantNode(1, 1));
    SetField(window->v2, variant_row::FailOn, QStringLiteral("&v7=1"));
    WriteFile(script, "!?FU1;\r\n;Korvanthiel data begin>>>>>\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.Problems().empty(); }));
    EXPECT_FALSE(DialogNode(1).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(panel.Counts->text(), Q("Проблем нет"));
}

} // namespace
} // namespace kv::test
