// Copy, cut and paste of variants and dialogs with the outline's keys and the "Правка" items.
#include "command_harness.h"

#include "editor/outline.h"
#include "editor/property_grids.h"

#include <QAction>
#include <QTest>

namespace kv::test {
namespace {

class Clipboard : public CommandTest {
protected:
    // Dialog A (1000) with variants a0, a1, a2; dialog B (1001) with variant b0. a2 has a skill,
    // a cost, a variable, a fail condition and leads to B by link.
    void MakeAB() {
        QTreeWidgetItem* a = MakeDialog(QStringLiteral("A"));
        QTreeWidgetItem* b = MakeDialog(QStringLiteral("B"));
        MakeVariant(a, QStringLiteral("a0"));
        MakeVariant(a, QStringLiteral("a1"));
        QTreeWidgetItem* a2 = MakeVariant(a, QStringLiteral("a2"));
        MakeVariant(b, QStringLiteral("b0"));
        SetVariantField(a2, variant_row::Function, QStringLiteral("1001"));
        TypeIntoGrid(*window->v2, variant_row::Skill, QStringLiteral("8"));
        TypeIntoGrid(*window->v2, variant_row::FirstCost + 6, QStringLiteral("500"));
        TypeIntoGrid(*window->v2, variant_row::Variable, QStringLiteral("20"));
        TypeIntoGrid(*window->v2, variant_row::SVariable, QStringLiteral("3"));
        TypeIntoGrid(*window->v2, variant_row::FailOn, QStringLiteral("flag"));
        SetNodeImage(a2, 2);
        ASSERT_EQ(ModelText(P()), "1000 A\n  0: a0 {s0/0}\n  1: a1 {s0/0}\n" + a2Text(2) +
                                      "1001 B\n  0: b0 {s0/0}\n");
    }
    static std::string a2Text(int slot) {
        return "  " + std::to_string(slot) + ": a2 -> @1 {s8/0 c6=500 v20+0=3 fail:flag}\n";
    }
    void Key(QTreeWidgetItem* node, int key) {
        Select(node);
        FocusOutline();
        Press(key, Qt::ControlModifier);
    }
};

TEST_F(Clipboard, APastedVariantCarriesTheSourceAsItIsAtThePaste) {
    MakeAB();
    Key(VariantNode(0, 2), Qt::Key_C);
    // Changed after the copy: the paste takes the new caption.
    window->N26Click();
    TypeCaption(QStringLiteral("a2 renamed"));
    P().Modified = false;
    Key(DialogNode(1), Qt::Key_V);

    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("a2 renamed"));
    EXPECT_TRUE(P().Modified);
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()),
              "1000 A\n  0: a0 {s0/0}\n  1: a1 {s0/0}\n"
              "  2: a2 renamed -> @1 {s8/0 c6=500 v20+0=3 fail:flag}\n"
              "1001 B\n  0: b0 {s0/0}\n  1: a2 renamed -> @1 {s8/0 c6=500 v20+0=3 fail:flag}\n");
    EXPECT_EQ(NodeImage(VariantNode(1, 1)), 2);
    // The grid shows the pasted values, so leaving the node keeps them.
    EXPECT_EQ(window->v2->Value(variant_row::Skill), QStringLiteral("8"));
    Select(DialogNode(0));
    EXPECT_EQ(P().DialogAt(1)->Variants[1], P().DialogAt(0)->Variants[2]);
}

TEST_F(Clipboard, CopyAndCutWithinOneDialog) {
    MakeAB();
    // Copy the third variant onto the first: inserted as the new first, the source now fourth.
    Key(VariantNode(0, 2), Qt::Key_C);
    Key(VariantNode(0, 0), Qt::Key_V);
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()), "1000 A\n" + a2Text(0) + "  1: a0 {s0/0}\n  2: a1 {s0/0}\n" +
                                  a2Text(3) + "1001 B\n  0: b0 {s0/0}\n");

    // Cut the fourth (the original) onto the second: it moves there, the count stays.
    Key(VariantNode(0, 3), Qt::Key_X);
    EXPECT_EQ(DialogNode(0)->childCount(), 4); // a cut removes nothing yet
    Key(VariantNode(0, 1), Qt::Key_V);
    EXPECT_TRUE(EditingCaption());
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()), "1000 A\n" + a2Text(0) + a2Text(1) +
                                  "  2: a0 {s0/0}\n  3: a1 {s0/0}\n1001 B\n  0: b0 {s0/0}\n");
    EXPECT_EQ(OutlineText(), "A [1]\n  a2 [2]\n  a2 [2]\n  a0 [3]\n  a1 [3]\nB [1]\n  b0 [3]\n");
    EXPECT_EQ(Selected(), VariantNode(0, 1));

    // The moved variant is now a copy entry: another paste copies it and deletes nothing.
    Key(DialogNode(1), Qt::Key_V);
    Press(Qt::Key_Escape);
    EXPECT_EQ(DialogNode(0)->childCount(), 4);
    EXPECT_EQ(ModelText(P()), "1000 A\n" + a2Text(0) + a2Text(1) +
                                  "  2: a0 {s0/0}\n  3: a1 {s0/0}\n1001 B\n  0: b0 {s0/0}\n" +
                                  a2Text(1));
}

TEST_F(Clipboard, CutAVariantIntoAnotherDialogMovesItWithAllItsFields) {
    MakeAB();
    Select(VariantNode(0, 2));
    window->N32->trigger(); // "Вырезать (Ctrl+X)"
    Select(VariantNode(1, 0));
    window->N31->trigger(); // "Вставить (Ctrl+V)"
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()),
              "1000 A\n  0: a0 {s0/0}\n  1: a1 {s0/0}\n1001 B\n" + a2Text(0) + "  1: b0 {s0/0}\n");
    EXPECT_EQ(OutlineText(), "A [1]\n  a0 [3]\n  a1 [3]\nB [1]\n  a2 [2]\n  b0 [3]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 0));
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("1001"));

    // A cut variant moved up before the paste is still the one that moves (not its neighbour).
    Key(VariantNode(0, 1), Qt::Key_X);
    Press(Qt::Key_Up, Qt::ControlModifier);
    Key(DialogNode(1), Qt::Key_V);
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()),
              "1000 A\n  0: a0 {s0/0}\n1001 B\n" + a2Text(0) + "  1: b0 {s0/0}\n  2: a1 {s0/0}\n");
}

TEST_F(Clipboard, CutAndPasteOfADialogThatOthersLinkTo) {
    MakeAB();
    // B gets a script, header, escape and default; A's a2 and B's own b0 lead to B.
    Select(DialogNode(1));
    TypeIntoGrid(*window->v1, dialog_row::Before, QStringLiteral("!!VRv5:S1;"));
    TypeIntoGrid(*window->v1, dialog_row::After, QStringLiteral("!!VRv5:S0;"));
    TypeIntoGrid(*window->v1, dialog_row::Header, QStringLiteral("Head"));
    TypeIntoGrid(*window->v1, dialog_row::Escape, QStringLiteral("3"));
    TypeIntoGrid(*window->v1, dialog_row::Default, QStringLiteral("1"));
    SetVariantField(VariantNode(1, 0), variant_row::Function, QStringLiteral("1001"));

    Key(DialogNode(1), Qt::Key_X);
    Key(VariantNode(0, 0), Qt::Key_V);

    // The copy stands at the end under a new number with the source's caption, in caption
    // edit; the source is gone, and the links into it became its old number.
    ASSERT_EQ(P().DialogCount(), 2);
    const TDialogItem* copy = P().DialogAt(1);
    EXPECT_EQ(copy->FunctionNumber, 1002);
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("B"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()), "1000 A\n  0: a0 {s0/0}\n  1: a1 {s0/0}\n"
                              "  2: a2 -> #1001 {s8/0 c6=500 v20+0=3 fail:flag}\n"
                              "1002 B\n  0: b0 -> #1001 {s0/0}\n");
    EXPECT_EQ(copy->ScriptBefore.view(), "!!VRv5:S1;");
    EXPECT_EQ(copy->ScriptAfter.view(), "!!VRv5:S0;");
    EXPECT_EQ(copy->Header.view(), "Head");
    EXPECT_EQ(copy->VariantEscape, 3);
    EXPECT_EQ(copy->VariantDefault, 1);
    EXPECT_EQ(OutlineText(), "A [1]\n  a0 [3]\n  a1 [3]\n  a2 [2]\nB [1]\n  b0 [3]\n");
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("1002"));

    // Now a copy entry: the next paste duplicates the moved dialog again and deletes nothing.
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().DialogCount(), 3);
    EXPECT_EQ(P().LastDialog()->FunctionNumber, 1003);
}

TEST_F(Clipboard, TheEntryFollowsCopyAndCutAndIsForgottenWithItsNode) {
    MakeAB();
    // A pending cut turned into a copy by a later copy: the paste deletes nothing.
    Key(VariantNode(0, 1), Qt::Key_X);
    Key(VariantNode(0, 1), Qt::Key_C);
    Key(DialogNode(1), Qt::Key_V);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().Dialogs()->SlotsInUse(), 3);
    EXPECT_EQ(P().DialogAt(1)->Variant[1].view(), "a1");

    // The entry's node deleted: the paste does nothing.
    Key(VariantNode(0, 0), Qt::Key_C);
    Key(VariantNode(0, 0), Qt::Key_Delete);
    P().Modified = false;
    std::string before = ModelText(P());
    Key(DialogNode(1), Qt::Key_V);
    EXPECT_EQ(ModelText(P()), before);
    EXPECT_FALSE(EditingCaption());
    EXPECT_FALSE(P().Modified);

    // A dialog entry is forgotten with its dialog, and any entry when the outline is rebuilt.
    Key(DialogNode(1), Qt::Key_C);
    Key(DialogNode(1), Qt::Key_Delete);
    Key(DialogNode(0), Qt::Key_V);
    Key(VariantNode(0, 0), Qt::Key_C);
    Press(Qt::Key_F5); // "Обновить"
    ASSERT_EQ(Selected(), nullptr);
    Key(DialogNode(0), Qt::Key_V);
    EXPECT_EQ(P().DialogCount(), 1);
    EXPECT_EQ(P().Dialogs()->SlotsInUse(), 2);

    // Copy with nothing selected empties the clipboard.
    Key(DialogNode(0), Qt::Key_C);
    Press(Qt::Key_F5);
    FocusOutline();
    Press(Qt::Key_C, Qt::ControlModifier);
    Key(DialogNode(0), Qt::Key_V);
    EXPECT_EQ(P().DialogCount(), 1);
}

TEST_F(Clipboard, AVariantPasteWithoutRoomChangesNothing) {
    MakeAB();
    for (int k = 1; k < kSlotCount; ++k)
        MakeVariant(DialogNode(1), QStringLiteral("b%1").arg(k));
    Key(VariantNode(0, 2), Qt::Key_X);
    P().Modified = false;
    const std::string before = ModelText(P());
    for (QTreeWidgetItem* target : {DialogNode(1), VariantNode(1, 0), VariantNode(1, 11)}) {
        Key(target, Qt::Key_V);
        EXPECT_FALSE(EditingCaption());
    }
    EXPECT_EQ(ModelText(P()), before);
    EXPECT_FALSE(P().Modified);
    // The cut is still pending and lands where there is room.
    Key(VariantNode(0, 0), Qt::Key_V);
    Press(Qt::Key_Escape);
    const TDialogItem* a = P().Dialogs();
    EXPECT_EQ(a->SlotsInUse(), 3);
    EXPECT_EQ(a->Variant[0].view(), "a2");
    EXPECT_EQ(a->Variant[2].view(), "a1");
    EXPECT_EQ(P().DialogAt(1)->SlotsInUse(), kSlotCount);
}

} // namespace
} // namespace kv::test
