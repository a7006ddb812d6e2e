// The property grids driven through their cells: typing, the commit keys, the commit order,
// partial commits, and the write-back when the selection leaves a node.
#include "editor_fixture.h"

#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/property_grids.h"
#include "text/cp1251.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace kv::test {
namespace {

class GridTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Project p;
        TDialogItem& a = AddDialog(p, 1000, "A");
        a.Header = "old header";
        a.VariantEscape = 3;
        a.Text[0] = Utf8ToCp1251("Первая строка");
        a.Variant[0] = "first";
        a.Variants[0].Skill = 5;
        a.Variants[0].Gold = 100;
        a.Variant[1] = "second";
        a.Variants[1].Wood = 7;
        AddDialog(p, 1001, "B");
        AddDialog(p, 1001, "B twin"); // the same number, later in the list
        OpenThroughMenu(WriteProject(p));
        ASSERT_EQ(window->Tree->topLevelItemCount(), 3);
    }
    TDialogItem& A() { return *Model().DialogAt(0); }
    TVariantData& Slot(int k) { return A().Variants[static_cast<std::size_t>(k)]; }
};

TEST_F(GridTest, DialogGridShowsTheDialogAndRefusesTypingInReadOnlyRows) {
    ClickNode(DialogNode(0));
    PropertyGrid* v1 = window->v1;
    ASSERT_TRUE(v1->isVisible());
    EXPECT_EQ(v1->Value(dialog_row::Function), QStringLiteral("1000"));
    EXPECT_EQ(v1->Value(dialog_row::Escape), QStringLiteral("3"));
    EXPECT_EQ(v1->Value(dialog_row::Header), QStringLiteral("old header"));
    EXPECT_EQ(v1->Value(dialog_row::Text), QStringLiteral("Первая строка"));
    EXPECT_TRUE(window->ToolButton7->isEnabled());

    for (int row : {dialog_row::Function, dialog_row::Text}) {
        QTableWidgetItem* cell = v1->ValueCell(row);
        QTest::mouseClick(v1->viewport(), Qt::LeftButton, Qt::NoModifier,
                          v1->visualItemRect(cell).center());
        QTest::mouseDClick(v1->viewport(), Qt::LeftButton, Qt::NoModifier,
                           v1->visualItemRect(cell).center());
        QTest::keyClicks(v1, QStringLiteral("99"));
        EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
        QTest::keyClick(v1, Qt::Key_Return);
    }
    EXPECT_EQ(v1->Value(dialog_row::Function), QStringLiteral("1000"));
    EXPECT_EQ(A().FunctionNumber, 1000);
    EXPECT_EQ(A().Text[0], Utf8ToCp1251("Первая строка"));
    EXPECT_FALSE(Model().Modified) << "a commit that changes nothing leaves the project unchanged";
}

TEST_F(GridTest, EnterStoresTheTypedValueWithCutsAndLowBits) {
    ClickNode(DialogNode(0));
    TypeIntoCell(window->v1, dialog_row::Escape, QStringLiteral("300"));
    Press(Qt::Key_Return);
    EXPECT_EQ(A().VariantEscape, 44);
    EXPECT_TRUE(Model().Modified);

    const QString longHeader(250, QChar(0x0416)); // Ж
    TypeIntoCell(window->v1, dialog_row::Header, longHeader);
    TypeIntoCell(window->v1, dialog_row::Before, QStringLiteral("!!VRv1:S0;"));
    Press(Qt::Key_Return);
    EXPECT_EQ(A().Header.size(), 200u);
    EXPECT_EQ(A().Header.view(), std::string(200, '\xC6'));
    EXPECT_EQ(A().ScriptBefore, "!!VRv1:S0;");

    // Reselecting shows what was stored.
    ClickNode(DialogNode(1));
    ClickNode(DialogNode(0));
    EXPECT_EQ(window->v1->Value(dialog_row::Escape), QStringLiteral("44"));
    EXPECT_EQ(window->v1->Value(dialog_row::Header), longHeader.left(200));

    // Variant grid: 16-bit fields keep their low bits, hexadecimal is a number too.
    ClickNode(VariantNode(0, 0));
    TypeIntoCell(window->v2, variant_row::FirstCost, QStringLiteral("70000"));
    TypeIntoCell(window->v2, variant_row::Variable, QStringLiteral("$10"));
    Press(Qt::Key_Return);
    EXPECT_EQ(Slot(0).Wood, 4464);
    EXPECT_EQ(Slot(0).Variable, 16);
}

TEST_F(GridTest, EveryCommitKeyWithAnyModifierCommitsTheValueBeingTyped) {
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        {Qt::Key_Tab, Qt::NoModifier},        {Qt::Key_Tab, Qt::ShiftModifier},
        {Qt::Key_Backtab, Qt::ShiftModifier}, {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Enter, Qt::KeypadModifier},  {Qt::Key_PageUp, Qt::NoModifier},
        {Qt::Key_PageDown, Qt::ControlModifier}, {Qt::Key_Up, Qt::AltModifier},
        {Qt::Key_Down, Qt::ShiftModifier},    {Qt::Key_Return, Qt::ControlModifier},
    };
    ClickNode(VariantNode(0, 0));
    int value = 1;
    for (const Case& c : cases) {
        Model().Modified = false;
        TypeIntoCell(window->v2, variant_row::DVariable, QString::number(++value));
        Press(c.key, c.modifiers);
        EXPECT_EQ(Slot(0).DVariable, value) << "key " << c.key << " modifiers " << c.modifiers;
        EXPECT_TRUE(Model().Modified);
        EXPECT_EQ(window->v2->Value(variant_row::DVariable), QString::number(value));
        EXPECT_EQ(window->Outline().SelectedNode(), VariantNode(0, 0));
    }

    // The same keys with the grid focused and no cell being edited commit as well.
    window->v2->ValueCell(variant_row::Slevel)->setText(QStringLiteral("4"));
    window->v2->setFocus();
    QTest::keyClick(window->v2, Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(Slot(0).Slevel, 4);

    // Other keys commit nothing.
    TypeIntoCell(window->v2, variant_row::Slevel, QStringLiteral("9"));
    Press(Qt::Key_Home);
    Press(Qt::Key_F8);
    EXPECT_EQ(Slot(0).Slevel, 4);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Slot(0).Slevel, 4);
}

TEST_F(GridTest, VariantCommitFillsEmptyRowsAndLinksByFunctionNumber) {
    ClickNode(VariantNode(0, 1));
    PropertyGrid* v2 = window->v2;
    EXPECT_EQ(v2->Value(variant_row::FirstCost), QStringLiteral("7"));
    EXPECT_EQ(v2->Value(variant_row::FirstCost + 6), QStringLiteral("0"));

    TypeIntoCell(v2, variant_row::SVariable, QString());
    TypeIntoCell(v2, variant_row::FailOn, QStringLiteral("!!FU&v1>3:E;"));
    TypeIntoCell(v2, variant_row::Function, QStringLiteral("1001"));
    Press(Qt::Key_Return);
    EXPECT_EQ(v2->Value(variant_row::SVariable), QStringLiteral("0"));
    EXPECT_EQ(A().LinkDialog[1], Model().DialogAt(1)) << "the first dialog with the number";
    EXPECT_EQ(A().Function[1], 1001);
    EXPECT_EQ(Slot(1).FailOn, "!!FU&v1>3:E;");
    EXPECT_EQ(Slot(1).Wood, 7);
    // The node keeps its image until the outline is rebuilt.
    EXPECT_EQ(NodeImage(VariantNode(0, 1)), 3);

    TypeIntoCell(v2, variant_row::Function, QStringLiteral("4242"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(A().LinkDialog[1], nullptr);
    EXPECT_EQ(A().Function[1], 4242);
}

TEST_F(GridTest, BadNumberStopsTheCommitWhereItStands) {
    ClickNode(VariantNode(0, 0));
    PropertyGrid* v2 = window->v2;
    TypeIntoCell(v2, variant_row::FirstCost, QStringLiteral("11"));
    TypeIntoCell(v2, variant_row::Function, QStringLiteral("1001"));
    TypeIntoCell(v2, variant_row::FailOn, QStringLiteral("cond"));
    TypeIntoCell(v2, variant_row::Skill, QStringLiteral("abc"));
    Model().Modified = false;
    seam->ExpectMessage();
    Press(Qt::Key_Return);
    ASSERT_NE(seam->LastCall(), nullptr);
    EXPECT_EQ(seam->LastCall()->text, QStringLiteral("'abc' is not a valid integer value"));
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);
    // Earlier in the commit order: stored. The skill and everything after it: as before.
    EXPECT_EQ(A().Function[0], 1001);
    EXPECT_EQ(Slot(0).FailOn, "cond");
    EXPECT_EQ(Slot(0).Skill, 5);
    EXPECT_EQ(Slot(0).Wood, 0);
    // What was stored is a change, so the project counts as changed.
    EXPECT_TRUE(Model().Modified);

    // Leaving the node with the bad value keeps the selection there, so it can be corrected.
    seam->ExpectMessage();
    ClickNode(DialogNode(1));
    EXPECT_EQ(window->Outline().SelectedNode(), VariantNode(0, 0));
    EXPECT_TRUE(VariantNode(0, 0)->isSelected());
    EXPECT_FALSE(DialogNode(1)->isSelected());
    EXPECT_TRUE(window->v2->isVisible());
    EXPECT_EQ(v2->Value(variant_row::Skill), QStringLiteral("abc"));
    // Also when the outline's keys try to move on.
    window->Tree->setFocus();
    seam->ExpectMessage();
    QTest::keyClick(window->Tree, Qt::Key_Down);
    EXPECT_EQ(window->Outline().SelectedNode(), VariantNode(0, 0));
    EXPECT_TRUE(VariantNode(0, 0)->isSelected());
    EXPECT_EQ(window->Tree->selectedItems().size(), 1);

    TypeIntoCell(v2, variant_row::Skill, QStringLiteral("6"));
    ClickNode(DialogNode(1));
    EXPECT_EQ(window->Outline().SelectedNode(), DialogNode(1));
    EXPECT_EQ(Slot(0).Skill, 6);
    EXPECT_EQ(Slot(0).Wood, 11);

    // The dialog grid: an empty escape row is no number.
    ClickNode(DialogNode(0));
    TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("new"));
    TypeIntoCell(window->v1, dialog_row::Escape, QString());
    seam->ExpectMessage();
    Press(Qt::Key_Down);
    EXPECT_EQ(seam->LastCall()->text, QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(A().Header, "new");
    EXPECT_EQ(A().VariantEscape, 3);
}

TEST_F(GridTest, LeavingANodeCommitsIntoTheNodeLeftOnly) {
    ClickNode(VariantNode(0, 0));
    TypeIntoCell(window->v2, variant_row::FirstCost + 7, QStringLiteral("12"));
    // Still typing when the other node is clicked.
    ClickNode(VariantNode(0, 1));
    EXPECT_EQ(Slot(0).Myth, 12);
    EXPECT_EQ(Slot(1).Myth, 0);
    EXPECT_EQ(window->v2->Value(variant_row::FirstCost + 7), QStringLiteral("0"));
    EXPECT_EQ(window->v2->Value(variant_row::FirstCost), QStringLiteral("7"));

    // Moving with the keyboard in the outline commits as well.
    TypeIntoCell(window->v2, variant_row::Artefact, QStringLiteral("77"));
    window->Tree->setFocus();
    QTest::keyClick(window->Tree, Qt::Key_Up);
    EXPECT_EQ(Slot(1).Artefact, 77);
    EXPECT_EQ(Slot(0).Artefact, 0);

    // A grid filled for one node is never written into another: with the grid showing slot 0,
    // the commit key of the variant grid acts only for the node it was filled from.
    ClickNode(DialogNode(2));
    TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("twin header"));
    ClickNode(DialogNode(1));
    EXPECT_EQ(Model().DialogAt(2)->Header, "twin header");
    EXPECT_TRUE(Model().DialogAt(1)->Header.empty());
}

TEST_F(GridTest, BrowsingDoesNotMarkTheProjectChanged) {
    for (QTreeWidgetItem* node : {DialogNode(0), VariantNode(0, 0), VariantNode(0, 1),
                                  DialogNode(1), DialogNode(2), DialogNode(0)})
        ClickNode(node);
    window->v1->setFocus();
    QTest::keyClick(window->v1, Qt::Key_Down);
    QTest::keyClick(window->v1, Qt::Key_Return);
    EXPECT_FALSE(Model().Modified);
}

} // namespace
} // namespace kv::test
