// The outline built from the model: nodes, images, the gap rule, and which dialog or slot a
// selected node addresses.
#include "editor_fixture.h"

#include "editor/outline.h"
#include "editor/outline_images.h"
#include "editor/outline_editor.h"
#include "editor/property_grids.h"

#include <QTest>
#include <QToolButton>

namespace kv::test {
namespace {

using OutlineTest = EditorTest;

QStringList Captions(const QTreeWidgetItem* dialogNode) {
    QStringList out;
    for (int i = 0; i < dialogNode->childCount(); ++i) out << NodeCaption(dialogNode->child(i));
    return out;
}

QList<int> Images(const QTreeWidgetItem* dialogNode) {
    QList<int> out;
    for (int i = 0; i < dialogNode->childCount(); ++i) {
        const QTreeWidgetItem* n = dialogNode->child(i);
        EXPECT_EQ(NodeSelectedImage(n), NodeImage(n));
        out << NodeImage(n);
    }
    return out;
}

TEST_F(OutlineTest, RebuildGivesImagesAndANodeForEverySlotUpToTheLastInUse) {
    Project p;
    TDialogItem& a = AddDialog(p, 1000, "Трактир");
    TDialogItem& b = AddDialog(p, 1001, "Empty");
    TDialogItem& c = AddDialog(p, 1002, "Third");
    a.Variant[0] = "plain";
    a.Function[1] = 1500;          // follow-up number only, no caption
    a.Variant[3] = "to third";     // slot 2 stays free: a gap
    a.Function[3] = 1002;         // linked to the third dialog once loaded
    a.Variants[3].Gold = 250;
    c.Variant[0] = "back";
    c.Function[0] = 1000;
    p.RebuildLinks();
    (void)b;
    OpenThroughMenu(WriteProject(p));

    QTreeWidget* tree = window->Tree;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(NodeCaption(DialogNode(0)), QStringLiteral("Трактир"));
    EXPECT_EQ(NodeImage(DialogNode(0)), kImageDialogWithVariants);
    EXPECT_EQ(NodeImage(DialogNode(1)), kImageDialogWithoutVariants);
    EXPECT_EQ(DialogNode(1)->childCount(), 0);
    EXPECT_EQ(NodeImage(DialogNode(2)), kImageDialogWithVariants);
    EXPECT_EQ(Captions(DialogNode(0)),
              (QStringList{QStringLiteral("plain"), QString(), QString(), QStringLiteral("to third")}));
    EXPECT_EQ(Images(DialogNode(0)),
              (QList<int>{int(kImageVariantWithoutFollowUp), int(kImageVariantWithFollowUp),
                          int(kImageVariantWithoutFollowUp), int(kImageVariantWithFollowUp)}));
    // Nothing selected, nothing expanded, grids hidden, the project unchanged.
    EXPECT_EQ(tree->currentItem(), nullptr);
    EXPECT_FALSE(DialogNode(0)->isExpanded());
    EXPECT_FALSE(window->v1->isVisible());
    EXPECT_FALSE(window->v2->isVisible());
    EXPECT_FALSE(Model().Modified);

    // The node after the gap stands at its own slot: its grid shows slot 3.
    ClickNode(VariantNode(0, 3));
    EXPECT_TRUE(window->v2->isVisible());
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("1002"));
    EXPECT_EQ(window->v2->Value(variant_row::FirstCost + 6), QStringLiteral("250"));
    ClickNode(VariantNode(0, 1));
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("1500"));

    // The third top-level node addresses the third dialog of the list.
    ClickNode(DialogNode(2));
    EXPECT_TRUE(window->v1->isVisible());
    EXPECT_FALSE(window->v2->isVisible());
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("1002"));
    EXPECT_FALSE(Model().Modified) << "browsing must not mark the project changed";
}

TEST_F(OutlineTest, RebuildRecomputesImagesAndDropsTheSelection) {
    Project p;
    AddDialog(p, 7, "one");
    OpenThroughMenu(WriteProject(p));
    ClickNode(DialogNode(0));
    ASSERT_TRUE(window->v1->isVisible());
    ASSERT_TRUE(window->ToolButton7->isEnabled());

    Model().Dialogs()->Variant[0] = "added";
    Model().Dialogs()->Function[0] = 9;
    QTest::keyClick(window->Tree, Qt::Key_F5);
    ASSERT_EQ(window->Tree->topLevelItemCount(), 1);
    EXPECT_EQ(NodeImage(DialogNode(0)), kImageDialogWithVariants);
    EXPECT_EQ(Images(DialogNode(0)), QList<int>{int(kImageVariantWithFollowUp)});
    EXPECT_EQ(window->Tree->currentItem(), nullptr);
    EXPECT_FALSE(window->v1->isVisible());
    EXPECT_FALSE(window->ToolButton7->isEnabled());

    // An empty project gives an empty outline.
    window->ToolButton1Click();
    EXPECT_EQ(window->Tree->topLevelItemCount(), 0);
    EXPECT_EQ(Model().Dialogs(), nullptr);
}

TEST_F(OutlineTest, SelectionMovesWithArrowKeysAndNeverDisappearsOnCtrlClick) {
    Project p;
    TDialogItem& a = AddDialog(p, 10, "a");
    a.Variant[0] = "x";
    AddDialog(p, 11, "b");
    OpenThroughMenu(WriteProject(p));

    // Focus arriving by the keyboard makes the first node current: it is then selected too,
    // the node whose grid is shown.
    window->Tree->clearFocus();
    window->Tree->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(window->Tree->currentItem(), DialogNode(0));
    EXPECT_TRUE(DialogNode(0)->isSelected());
    EXPECT_TRUE(window->v1->isVisible());

    ClickNode(DialogNode(0));
    QTest::keyClick(window->Tree, Qt::Key_Right); // expand
    QTest::keyClick(window->Tree, Qt::Key_Down);
    EXPECT_EQ(window->Tree->currentItem(), VariantNode(0, 0));
    EXPECT_TRUE(window->v2->isVisible());
    EXPECT_FALSE(window->ToolButton7->isEnabled());
    QTest::keyClick(window->Tree, Qt::Key_Down);
    EXPECT_EQ(window->Tree->currentItem(), DialogNode(1));
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("11"));

    const QRect rect = window->Tree->visualItemRect(DialogNode(1));
    QTest::mouseClick(window->Tree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      rect.center());
    EXPECT_EQ(window->Outline().SelectedNode(), DialogNode(1));
    EXPECT_TRUE(DialogNode(1)->isSelected());
    EXPECT_TRUE(window->v1->isVisible());
}

} // namespace
} // namespace kv::test
