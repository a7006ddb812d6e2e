// The two toolbar batch edits of variants, and the rule that no command acts while a caption is
// being edited in place or on a node of the wrong kind.
#include "command_harness.h"

#include "editor/outline.h"
#include "editor/property_grids.h"
#include "editor/text_editor_window.h"

#include <QAction>
#include <QTest>
#include <QToolButton>

namespace kv::test {
namespace {

using BatchCommands = CommandTest;

TEST_F(BatchCommands, CostCaptionPutsSkillAndCostsInFrontAndOpensTheCaption) {
    QTreeWidgetItem* d = MakeDialog(QStringLiteral("Shop"));
    QTreeWidgetItem* v = MakeVariant(d, QStringLiteral("Buy a map"));
    SetVariantField(v, variant_row::Skill, QStringLiteral("8"));
    TypeIntoGrid(*window->v2, variant_row::FirstCost, QStringLiteral("10"));
    TypeIntoGrid(*window->v2, variant_row::FirstCost + 6, QStringLiteral("500"));
    P().Modified = false;

    QTest::mouseClick(window->ToolButton10, Qt::LeftButton);
    const QString annotated = Q("[Мудрость] [10 дерева] [500 зол.] Buy a map");
    EXPECT_EQ(P().Dialogs()->Variant[0].view(), ToCp1251Text(annotated));
    EXPECT_EQ(NodeCaption(v), annotated);
    EXPECT_TRUE(P().Modified);
    EXPECT_EQ(CaptionEditorText(), annotated);
    // Ending that edit stores the caption again.
    Press(Qt::Key_End);
    Type(QString(100, QLatin1Char('!')));
    Press(Qt::Key_Return);
    EXPECT_EQ(P().Dialogs()->Variant[0].view(),
              ToCp1251Text(annotated + QString(100, QLatin1Char('!'))).substr(0, 150));

    // A second run prefixes again: the model keeps 150 characters, the node shows them all.
    QTest::mouseClick(window->ToolButton10, Qt::LeftButton);
    Press(Qt::Key_Escape);
    const QString twice =
        Q("[Мудрость] [10 дерева] [500 зол.] ") + annotated + QString(100, QLatin1Char('!'));
    EXPECT_EQ(NodeCaption(v), twice);
    EXPECT_EQ(P().Dialogs()->Variant[0].view(), ToCp1251Text(twice).substr(0, 150));

    // A variant without skill and costs keeps its caption, which is still stored and opened.
    QTreeWidgetItem* plain = MakeVariant(d, QStringLiteral("Leave"));
    P().Modified = false;
    QTest::mouseClick(window->ToolButton10, Qt::LeftButton);
    EXPECT_TRUE(P().Modified);
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("Leave"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(NodeCaption(plain), QStringLiteral("Leave"));
}

TEST_F(BatchCommands, VsNumbersTheFollowingVariantsUpToTheFirstFreeSlot) {
    QTreeWidgetItem* d = MakeDialog(QStringLiteral("Pick"));
    for (int k = 0; k < 8; ++k)
        MakeVariant(d, QStringLiteral("v%1").arg(k));
    // Slot 6 is emptied in place; the numbering stops before it.
    Select(VariantNode(0, 6));
    window->N26Click();
    TypeCaption(QString());
    ASSERT_FALSE(P().Dialogs()->SlotInUse(6));
    ASSERT_TRUE(P().Dialogs()->SlotInUse(7));
    SetVariantField(VariantNode(0, 4), variant_row::DVariable, QStringLiteral("5"));
    SetVariantField(VariantNode(0, 2), variant_row::Variable, QStringLiteral("20"));
    TypeIntoGrid(*window->v2, variant_row::SVariable, QStringLiteral("1"));
    P().Modified = false;

    QTest::mouseClick(window->ToolButton12, Qt::LeftButton);
    const TDialogItem* dialog = P().Dialogs();
    std::string numbered;
    for (int k = 0; k < 8; ++k)
        numbered += VariantText(dialog->Variants[k]) + "\n";
    EXPECT_EQ(numbered, "s0/0\ns0/0\ns0/0 v20+0=1\ns0/0 v20+0=2\ns0/0 v20+5=3\ns0/0 v20+0=4\n"
                        "s0/0\ns0/0\n");
    EXPECT_TRUE(P().Modified);
    EXPECT_EQ(window->v2->Value(variant_row::SVariable), QStringLiteral("1"));

    // A variant that changes its variable, or has none, is no model.
    for (int model : {4, 0}) {
        Select(VariantNode(0, model));
        P().Modified = false;
        QTest::mouseClick(window->ToolButton12, Qt::LeftButton);
        EXPECT_FALSE(P().Modified);
    }
    EXPECT_EQ(dialog->Variants[5].Variable, 20);
    EXPECT_EQ(dialog->Variants[1].Variable, 0);
}

TEST_F(BatchCommands, NoCommandActsWhileACaptionIsBeingEdited) {
    QTreeWidgetItem* a = MakeDialog(QStringLiteral("A"));
    MakeDialog(QStringLiteral("B"));
    QTreeWidgetItem* v0 = MakeVariant(a, QStringLiteral("v0"));
    MakeVariant(a, QStringLiteral("v1"));
    SetVariantField(v0, variant_row::Variable, QStringLiteral("3"));
    SetVariantField(VariantNode(0, 1), variant_row::Skill, QStringLiteral("2"));
    Select(v0);
    FocusOutline();
    Press(Qt::Key_C, Qt::ControlModifier);
    Select(VariantNode(0, 1));
    window->N26Click();
    ASSERT_TRUE(EditingCaption());
    P().Modified = false;
    const std::string model = ModelText(P());
    const std::string outline = OutlineText();

    // The toolbar and the main menu reach the window while the caption editor keeps the focus.
    for (QToolButton* b : {window->ToolButton5, window->ToolButton6, window->ToolButton13,
                           window->ToolButton10, window->ToolButton12})
        QTest::mouseClick(b, Qt::LeftButton);
    for (QAction* item :
         {window->N23, window->N24, window->N28, window->N30, window->N32, window->N31})
        item->trigger();
    // The context menu's commands, as its items would run them.
    window->N14Click();
    window->N15Click();
    window->N19Click();
    window->N17Click();
    window->N18Click();
    window->N21Click();
    window->N22Click();
    window->TreeDblClick();

    EXPECT_TRUE(EditingCaption());
    EXPECT_EQ(ModelText(P()), model);
    EXPECT_EQ(OutlineText(), outline);
    EXPECT_FALSE(P().Modified);
    EXPECT_TRUE(seam->Calls().empty());
    Press(Qt::Key_Escape);
    // The clipboard still holds v0 as a copy: the paste works once the edit is over.
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().Dialogs()->Variant[1].view(), "v0");
}

TEST_F(BatchCommands, CommandsWithoutANodeOrOnTheWrongKindDoNothing) {
    for (QAction* item : {window->N24, window->N28, window->N30, window->N31})
        item->trigger();
    for (QToolButton* b :
         {window->ToolButton6, window->ToolButton13, window->ToolButton10, window->ToolButton12})
        QTest::mouseClick(b, Qt::LeftButton);
    window->N14Click();
    window->N15Click();
    window->N19Click();
    window->N26Click();
    window->N18Click();
    window->N21Click();
    window->N22Click();
    EXPECT_EQ(P().DialogCount(), 0);
    EXPECT_FALSE(P().Modified);
    EXPECT_FALSE(EditingCaption());

    // Up, Down, the cost caption and VS need a variant node.
    MakeDialog(QStringLiteral("A"));
    MakeDialog(QStringLiteral("B"));
    P().Modified = false;
    window->N21Click();
    window->N22Click();
    QTest::mouseClick(window->ToolButton10, Qt::LeftButton);
    QTest::mouseClick(window->ToolButton12, Qt::LeftButton);
    EXPECT_EQ(OutlineText(), "A [1]\nB [1]\n");
    EXPECT_FALSE(P().Modified);
    EXPECT_FALSE(EditingCaption());
}

} // namespace
} // namespace kv::test
