// A session on the bundled example: open it, browse, edit through the grids, save, and read
// the saved file back.
#include "editor_fixture.h"

#include "editor/outline.h"
#include "editor/property_grids.h"
#include "editor/qt_text.h"
#include "project/tlk_file.h"

#include <QTest>

namespace kv::test {
namespace {

using ExampleTest = EditorTest;

const QString kExample = QStringLiteral(KORV_EXAMPLES "/tavern.tlk");

TEST_F(ExampleTest, EditsMadeInTheGridsReachTheSavedFileAndNothingElseChanges) {
    const Project original = LoadProject(ToUtf8Path(kExample));
    ASSERT_GE(original.DialogCount(), 2);
    OpenThroughMenu(kExample);

    // The outline shows the file's dialogs and variants, in order.
    ASSERT_EQ(window->Tree->topLevelItemCount(), original.DialogCount());
    int k = 0;
    int withVariants = -1;
    for (const TDialogItem* d = original.Dialogs(); d != nullptr; d = d->Next, ++k) {
        EXPECT_EQ(NodeCaption(DialogNode(k)), FromCp1251(d->Hint.view()));
        EXPECT_EQ(DialogNode(k)->childCount(), d->SlotEnd());
        if (withVariants < 0 && d->SlotEnd() > 0) withVariants = k;
    }
    ASSERT_GE(withVariants, 0) << "the example should have a dialog with answers";

    // Browsing every node changes nothing.
    for (int i = 0; i < window->Tree->topLevelItemCount(); ++i) {
        ClickNode(DialogNode(i));
        for (int j = 0; j < DialogNode(i)->childCount(); ++j) ClickNode(VariantNode(i, j));
    }
    EXPECT_FALSE(Model().Modified);

    // An answer's cost typed and left by clicking elsewhere; a header typed and Enter pressed.
    ClickNode(VariantNode(withVariants, 0));
    TypeIntoCell(window->v2, variant_row::FirstCost + 5, QStringLiteral("33"));
    ClickNode(DialogNode(1 - std::min(withVariants, 1)));
    TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("Новый заголовок"));
    Press(Qt::Key_Return);
    EXPECT_TRUE(Model().Modified);

    const QString saved = TempPath(QStringLiteral("tavern-edited"));
    seam->ExpectSave(saved);
    window->N5->trigger();
    EXPECT_FALSE(Model().Modified);

    Project expected = LoadProject(ToUtf8Path(kExample));
    expected.DialogAt(withVariants)->Variants[0].Gems = 33;
    expected.DialogAt(1 - std::min(withVariants, 1))->Header = ToCp1251(QStringLiteral("Новый заголовок"));
    const Project written = LoadProject(ToUtf8Path(saved + QStringLiteral(".tlk")));
    EXPECT_EQ(SerializeProject(written), SerializeProject(expected));
}

} // namespace
} // namespace kv::test
