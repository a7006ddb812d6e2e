// The problems panel: a double click names the place of a problem and the grid row of its field,
// and the panel checks again after an edit and after the script file appears.
#include "editor_fixture.h"

#include "editor/problems_panel.h"
#include "editor/property_grids.h"

#include <QLabel>
#include <QTableView>
#include <QTest>

#include <algorithm>

namespace kv::test {
namespace {

TEST(ProblemsPanel, DoubleClickNamesThePlaceAndRowAndEditsAreCheckedAgain) {
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("s.erm"));
    Project p;
    TDialogItem& first = AddDialog(p, 1000, "first");
    first.Header = "a ^ b";
    SetSlot(first, 0, "on", 1001);
    TDialogItem& second = AddDialog(p, 1001, "second");
    SetSlot(second, 0, "a");
    SetSlot(second, 1, "b");
    second.Variants[1].FailOn = "v7=1";
    ProblemsPanel panel(p, [&] { return script; });
    panel.CheckNow();
    EXPECT_EQ(panel.ErrorCount(), 2);
    EXPECT_TRUE(panel.HasErrors(0));
    EXPECT_TRUE(panel.HasErrors(1));

    std::vector<std::pair<Place, int>> activated;
    QObject::connect(&panel, &ProblemsPanel::PlaceActivated, [&](Place place, int row) {
        activated.push_back({place, row});
    });
    panel.show();
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
    doubleClick(ProblemField::Header);
    EXPECT_EQ(activated, (std::vector<std::pair<Place, int>>{{{1, 1}, variant_row::FailOn},
                                                             {{0, -1}, dialog_row::Header}}));

    // The fixes arrive as edits; the script file appears with its marker.
    first.Header = "a b";
    second.Variants[1].FailOn = "&v7=1";
    WriteFile(script, "!?FU1;\r\n;Korvanthiel data begin>>>>>\r\n");
    panel.ProjectChanged();
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.Problems().empty(); }));
    EXPECT_FALSE(panel.HasErrors(0));
    EXPECT_EQ(panel.Counts->text(), Q("Проблем нет"));
}

} // namespace
} // namespace kv::test
