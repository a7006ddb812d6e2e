// The property grids driven through their cells: the commit keys, the commit order, partial
// commits, and the write-back when the selection leaves a node.
#include "editor_fixture.h"

#include "editor/property_grids.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

namespace kv::test {
namespace {

class GridTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Project p;
        TDialogItem& a = AddDialog(p, 1000, "A");
        a.VariantEscape = 3;
        SetSlot(a, 0, "first");
        a.Variants[0].Skill = 5;
        SetSlot(a, 1, "second");
        a.Variants[1].Wood = 7;
        AddDialog(p, 1001, "B");
        AddDialog(p, 1001, "B twin"); // the same number, later in the list
        OpenProject(p);
    }
    TDialogItem& A() { return *P().Dialogs(); }
    TVariantData& Slot(int k) { return A().Variants[static_cast<std::size_t>(k)]; }
};

TEST_F(GridTest, EveryCommitKeyStoresTheValueBeingTypedWithCutsAndLowBits) {
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Tab, Qt::NoModifier},    {Qt::Key_Backtab, Qt::ShiftModifier},
        {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier},
        {Qt::Key_PageUp, Qt::NoModifier}, {Qt::Key_PageDown, Qt::ControlModifier},
        {Qt::Key_Up, Qt::AltModifier},    {Qt::Key_Down, Qt::ShiftModifier}};
    ClickNode(VariantNode(0, 0));
    int value = 1;
    for (const auto& [key, modifiers] : keys) {
        TypeIntoCell(window->v2, variant_row::DVariable, QString::number(++value));
        Press(key, modifiers);
        EXPECT_EQ(Slot(0).DVariable, value) << "key " << key;
        EXPECT_EQ(Selected(), VariantNode(0, 0));
    }
    // 16-bit fields keep their low bits; hexadecimal is a number too.
    TypeIntoCell(window->v2, variant_row::FirstCost, QStringLiteral("70000"));
    TypeIntoCell(window->v2, variant_row::Variable, QStringLiteral("$10"));
    Press(Qt::Key_Return);
    EXPECT_EQ(Slot(0).Wood, 4464);
    EXPECT_EQ(Slot(0).Variable, 16);

    ClickNode(DialogNode(0));
    TypeIntoCell(window->v1, dialog_row::Escape, QStringLiteral("300"));
    TypeIntoCell(window->v1, dialog_row::Header, QString(250, QChar(0x0416))); // Ж
    Press(Qt::Key_Return);
    EXPECT_EQ(A().VariantEscape, 44);
    EXPECT_EQ(A().Header.view(), std::string(200, '\xC6'));
}

TEST_F(GridTest, ACommitStoresInOrderAndStopsAtABadNumberWhereTheSelectionStays) {
    ClickNode(VariantNode(0, 1));
    PropertyGrid* v2 = window->v2;
    TypeIntoCell(v2, variant_row::SVariable, QString());
    TypeIntoCell(v2, variant_row::FirstCost, QStringLiteral("11"));
    TypeIntoCell(v2, variant_row::FailOn, QStringLiteral("cond"));
    TypeIntoCell(v2, variant_row::Function, QStringLiteral("1001"));
    TypeIntoCell(v2, variant_row::Skill, QStringLiteral("abc"));
    seam->ExpectMessage();
    Press(Qt::Key_Return);
    EXPECT_EQ(seam->LastCall().text, QStringLiteral("'abc' is not a valid integer value"));
    // The function (linked to the first dialog with the number) and the condition come before
    // the skill: stored. The skill and everything after it: as they were.
    EXPECT_EQ(ModelText(P()), "1000 A\n  0: first {s5/0}\n  1: second -> @1 {s0/0 c0=7 fail:cond}\n"
                              "1001 B\n1001 B twin\n");
    EXPECT_EQ(v2->Value(variant_row::SVariable), QStringLiteral("0")) << "empty rows become 0";
    EXPECT_TRUE(P().Modified);

    // Leaving the node, by the mouse or the keys, keeps the selection on the bad value.
    seam->ExpectMessage().ExpectMessage();
    ClickNode(DialogNode(1));
    Tree().setFocus();
    QTest::keyClick(&Tree(), Qt::Key_Down);
    EXPECT_EQ(Selected(), VariantNode(0, 1));
    EXPECT_EQ(Tree().selectionModel()->selectedRows(), QModelIndexList{VariantNode(0, 1)});
    EXPECT_EQ(v2->Value(variant_row::Skill), QStringLiteral("abc"));

    TypeIntoCell(v2, variant_row::Skill, QStringLiteral("6"));
    TypeIntoCell(v2, variant_row::Function, QStringLiteral("4242"));
    ClickNode(DialogNode(1));
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_EQ(ModelText(P()),
              "1000 A\n  0: first {s5/0}\n  1: second -> #4242 {s6/0 c0=11 fail:cond}\n"
              "1001 B\n1001 B twin\n");

    // The dialog grid: the texts come first, and an empty number row is no number.
    ClickNode(DialogNode(0));
    TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("new"));
    TypeIntoCell(window->v1, dialog_row::Escape, QString());
    seam->ExpectMessage();
    Press(Qt::Key_Return);
    EXPECT_EQ(seam->LastCall().text, QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(A().Header, "new");
    EXPECT_EQ(A().VariantEscape, 3);
}

TEST_F(GridTest, LeavingANodeCommitsIntoTheNodeLeftOnlyAndOnlyAChangeMarksTheProject) {
    for (Node node : {DialogNode(0), VariantNode(0, 1), DialogNode(2), DialogNode(0)})
        ClickNode(node);
    window->v1->setFocus();
    QTest::keyClick(window->v1, Qt::Key_Return);
    EXPECT_FALSE(P().Modified);

    ClickNode(VariantNode(0, 0));
    TypeIntoCell(window->v2, variant_row::FirstCost + 7, QStringLiteral("12"));
    ClickNode(VariantNode(0, 1)); // still typing
    EXPECT_EQ(Slot(0).Myth, 12);
    EXPECT_EQ(Slot(1).Myth, 0);
    EXPECT_EQ(window->v2->Value(variant_row::FirstCost), QStringLiteral("7"));

    TypeIntoCell(window->v2, variant_row::Artefact, QStringLiteral("77"));
    Tree().setFocus();
    QTest::keyClick(&Tree(), Qt::Key_Up);
    EXPECT_EQ(Slot(1).Artefact, 77);
    EXPECT_EQ(Slot(0).Artefact, 0);

    // Two dialogs with the same number: the grid goes back into the one it was filled from.
    ClickNode(DialogNode(2));
    TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("twin header"));
    ClickNode(DialogNode(1));
    EXPECT_EQ(P().DialogAt(2)->Header, "twin header");
    EXPECT_TRUE(P().DialogAt(1)->Header.empty());
}

TEST_F(GridTest, ANewSelectionShowsItsGridFromTheTopAndF8MovesTheFocusBetweenOutlineAndGrid) {
    ClickNode(VariantNode(0, 0));
    PropertyGrid* v2 = window->v2;
    for (int row = 1; row <= v2->RowCount(); ++row) // whole, also where a narrow panel cuts it
        EXPECT_EQ(v2->item(row - 1, 0)->toolTip(), v2->Key(row)) << "row " << row;

    TypeIntoCell(v2, variant_row::FailOn, QStringLiteral("typed"));
    ASSERT_GT(v2->verticalScrollBar()->value(), 0);
    Press(Qt::Key_F8); // back to the outline, with the value stored
    EXPECT_EQ(QApplication::focusWidget(), &Tree());
    EXPECT_EQ(Slot(0).FailOn, "typed");
    ClickNode(VariantNode(0, 1));
    EXPECT_EQ(v2->verticalScrollBar()->value(), 0);
    EXPECT_EQ(v2->currentRow() + 1, variant_row::Function);
    Press(Qt::Key_F8);
    EXPECT_EQ(QApplication::focusWidget(), v2);
}

} // namespace
} // namespace kv::test
