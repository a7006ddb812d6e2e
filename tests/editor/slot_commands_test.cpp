// The slot commands: add, delete, up and down of variants, where every slot moves whole (record,
// caption, link and number) together with its node; and copy, cut and paste of variants and
// dialogs with the outline's keys and the "Правка" items.
#include "editor_fixture.h"

#include "editor/property_grids.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace kv::test {
namespace {

using VariantCommands = SlotTest;

std::string Shown(PropertyGrid* grid, int row) {
    return grid->Value(row).toStdString();
}

TEST_F(VariantCommands, AddVariantInsertsBeforeTheSelectedVariantAndKeepsTheOthersWhole) {
    // A value typed into B's grid, not yet committed, goes with B into its new slot.
    Select(VariantNode(1, 1));
    TypeIntoCell(window->v2, variant_row::SVariable, QStringLiteral("7"));
    KeyOn(VariantNode(1, 1), Qt::Key_Insert);
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("New variant"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()), TD(A(0) + Line(1, "New variant {s0/0}") +
                                 Line(2, "B -> #555 {s2/0 c0=20 v0+0=7 fail:fB}") + C(3)));
    EXPECT_EQ(OutlineText(), "T [1]\nD [0]\n  A [2]\n  New variant [3]\n  B [2]\n  C [3]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    Select(VariantNode(1, 2));
    EXPECT_EQ(Shown(window->v2, variant_row::Function), "555");
}

TEST_F(VariantCommands, AddVariantOnADialogFillsTheFirstFreeSlotAndItsNode) {
    // Slot 1 emptied in place stays as an empty node; the next variant fills it there, blank.
    Select(VariantNode(1, 1));
    window->N26Click();
    TypeCaption(QString());
    SetField(window->v2, variant_row::Function, QStringLiteral("0"));
    MakeVariant(DialogNode(1), QStringLiteral("Refill"));
    // "Добавить к диалогу..." on T, for D: a new variant leading to T in D's next free slot.
    seam->ExpectPrompt(QStringLiteral("1001"));
    RightClick(DialogNode(0), [&](QMenu& menu) { Choose(menu, window->N19); });
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()),
              TD(A(0) + Line(1, "Refill {s0/0}") + C(2) + Line(3, "New variant -> @0 {s0/0}")));
    EXPECT_EQ(OutlineText(), "T [1]\nD [0]\n  A [2]\n  Refill [3]\n  C [3]\n  New variant [2]\n");
}

TEST_F(VariantCommands, DeleteClosesTheGapAndSelectsTheVariantThatTookItsPlace) {
    Ctrl(VariantNode(1, 1), Qt::Key_Delete);
    EXPECT_EQ(ModelText(P()), TD(A(0) + C(1)));
    EXPECT_EQ(P().DialogAt(1)->Variants[2], TVariantData{});
    EXPECT_EQ(OutlineText(), "T [1]\nD [0]\n  A [2]\n  C [3]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_EQ(Shown(window->v2, variant_row::FailOn), "fC");
    // The last variant: the one before it is selected; the only one: its dialog. The last
    // dialog: the one before it; then nothing, and no grid.
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Selected(), VariantNode(1, 0));
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Selected(), DialogNode(1));
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Selected(), DialogNode(0));
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_FALSE(Selected().isValid());
    EXPECT_FALSE(window->v1->isVisible());
    EXPECT_FALSE(window->ToolButton7->isEnabled());
}

TEST_F(VariantCommands, UpAndDownExchangeWholeSlotsAndFollowTheMovedVariant) {
    // A value typed into C's grid and not committed when Ctrl+Up comes belongs to C.
    Select(VariantNode(1, 2));
    TypeIntoCell(window->v2, variant_row::Artefact, QStringLiteral("9"));
    Ctrl(VariantNode(1, 2), Qt::Key_Up);
    const char* c = "C {s3/0 c0=30 a9 fail:fC}";
    EXPECT_EQ(ModelText(P()), TD(A(0) + Line(1, c) + B(2)));
    EXPECT_EQ(OutlineText(), "T [1]\nD [0]\n  A [2]\n  C [3]\n  B [2]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_EQ(Shown(window->v2, variant_row::Artefact), "9");
    Select(VariantNode(1, 2));
    EXPECT_EQ(Shown(window->v2, variant_row::Function), "555");

    Ctrl(VariantNode(1, 0), Qt::Key_Down);
    EXPECT_EQ(ModelText(P()), TD(Line(0, c) + A(1) + B(2)));
    EXPECT_EQ(OutlineText(), "T [1]\nD [0]\n  C [3]\n  A [2]\n  B [2]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_EQ(Shown(window->v2, variant_row::Function), "1000");
}

TEST_F(VariantCommands, NothingIsAddedForARefusedNumberOrToAFullDialogNorMovedPastItsEnds) {
    seam->ExpectPrompt(QStringLiteral("1q")).ExpectMessage();
    seam->ExpectPrompt(QStringLiteral("999")).ExpectMessage();
    seam->ExpectPrompt(std::nullopt);
    for (int k = 0; k < 3; ++k)
        Ctrl(VariantNode(1, 0), Qt::Key_Insert);
    EXPECT_EQ(seam->Texts(ScriptedSeam::Kind::Message),
              (QStringList{Q("Неправильное число!"), Q("Нет такой функции!")}));
    EXPECT_EQ(P().DialogAt(1)->SlotsInUse(), 3);
    FillD();
    P().Modified = false;
    const std::string model = ModelText(P());
    const std::string outline = OutlineText();
    for (Node on : {DialogNode(1), VariantNode(1, 0), VariantNode(1, 11)}) {
        KeyOn(on, Qt::Key_Insert);
        seam->ExpectPrompt(QStringLiteral("1000")); // asked all the same
        Press(Qt::Key_Insert, Qt::ControlModifier);
    }
    Ctrl(VariantNode(1, 0), Qt::Key_Up);
    Ctrl(VariantNode(1, 11), Qt::Key_Down);
    seam->ExpectPrompt(QStringLiteral("1001")); // "Добавить к диалогу..." for the full D
    Select(DialogNode(0));
    window->N19Click();
    EXPECT_EQ(ModelText(P()), model);
    EXPECT_EQ(OutlineText(), outline);
    EXPECT_FALSE(EditingCaption());
    EXPECT_FALSE(P().Modified);
}

class Clipboard : public SlotTest {
protected:
    // Ctrl+V on a node; the caption edit it opens given up.
    void PasteOn(Node node) {
        Ctrl(node, Qt::Key_V);
        EXPECT_TRUE(EditingCaption());
        Press(Qt::Key_Escape);
    }
    void ExpectPasteDoesNothing(Node on) {
        P().Modified = false;
        const std::string before = ModelText(P());
        Ctrl(on, Qt::Key_V);
        EXPECT_EQ(ModelText(P()), before);
        EXPECT_FALSE(EditingCaption());
        EXPECT_FALSE(P().Modified);
    }
};

TEST_F(Clipboard, APastedVariantIsTheSourceAsItIsAtThePasteWithAllItsFields) {
    Ctrl(VariantNode(1, 0), Qt::Key_C);
    window->N26Click();
    TypeCaption(QStringLiteral("A2"));
    Select(DialogNode(0));
    window->N31->trigger(); // "Вставить (Ctrl+V)"
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("A2"));
    Press(Qt::Key_Escape);
    Select(DialogNode(1)); // the grid shows the pasted values, so leaving the node keeps them
    const std::string a2 = "A2 -> @0 {s1/0 c0=10 fail:fA}";
    EXPECT_EQ(ModelText(P()),
              "1000 T\n" + Line(0, a2.c_str()) + "1001 D\n" + Line(0, a2.c_str()) + B(1) + C(2));
    EXPECT_EQ(OutlineText(), "T [0]\n  A2 [2]\nD [0]\n  A2 [2]\n  B [2]\n  C [3]\n");
}

TEST_F(Clipboard, CopyAndCutWithinOneDialogTakeTheSourceWhereverItWentMeanwhile) {
    // A copy onto the first variant: inserted there, the source now fourth.
    Ctrl(VariantNode(1, 2), Qt::Key_C);
    PasteOn(VariantNode(1, 0));
    EXPECT_EQ(ModelText(P()), TD(C(0) + A(1) + B(2) + C(3)));
    // A cut of the source, which then moves up: still the one the paste moves.
    Ctrl(VariantNode(1, 3), Qt::Key_X);
    EXPECT_EQ(Rows(DialogNode(1)), 4); // a cut removes nothing yet
    Press(Qt::Key_Up, Qt::ControlModifier);
    PasteOn(VariantNode(1, 1));
    EXPECT_EQ(ModelText(P()), TD(C(0) + C(1) + A(2) + B(3)));
    EXPECT_EQ(OutlineText(), "T [1]\nD [0]\n  C [3]\n  C [3]\n  A [2]\n  B [2]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    // The moved variant is now a copy entry: another paste copies it and deletes nothing.
    PasteOn(DialogNode(0));
    EXPECT_EQ(ModelText(P()), "1000 T\n" + C(0) + "1001 D\n" + C(0) + C(1) + A(2) + B(3));
}

TEST_F(Clipboard, ACutDialogThatOthersLinkToMovesToTheEndAndTheLinksFollowIt) {
    TDialogItem& t = *P().Dialogs();
    t.ScriptBefore = "!!VRv5:S1;";
    t.Header = "Head";
    t.VariantEscape = 3;
    Ctrl(DialogNode(0), Qt::Key_X);
    Ctrl(VariantNode(1, 0), Qt::Key_V);
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("T"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()),
              "1001 D\n" + Line(0, "A -> @1 {s1/0 c0=10 fail:fA}") + B(1) + C(2) + "1002 T\n");
    const TDialogItem* copy = P().DialogAt(1);
    EXPECT_EQ(copy->ScriptBefore, "!!VRv5:S1;");
    EXPECT_EQ(copy->Header, "Head");
    EXPECT_EQ(copy->VariantEscape, 3);
    EXPECT_EQ(Selected(), DialogNode(1));
    // Now a copy entry: the next paste duplicates the moved dialog and deletes nothing.
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().DialogCount(), 3);
}

TEST_F(Clipboard, TheEntryIsForgottenWithItsNode) {
    // A pending cut turned into a copy by a later copy: the paste deletes nothing.
    Ctrl(VariantNode(1, 1), Qt::Key_X);
    Ctrl(VariantNode(1, 1), Qt::Key_C);
    PasteOn(DialogNode(0));
    EXPECT_EQ(P().DialogAt(1)->SlotsInUse(), 3);

    Ctrl(VariantNode(1, 0), Qt::Key_C);
    Ctrl(VariantNode(1, 0), Qt::Key_Delete);
    ExpectPasteDoesNothing(DialogNode(1));
    Ctrl(DialogNode(0), Qt::Key_C);
    Ctrl(DialogNode(0), Qt::Key_Delete);
    ExpectPasteDoesNothing(DialogNode(0));
    Ctrl(VariantNode(0, 0), Qt::Key_C);
    Press(Qt::Key_F5); // "Обновить"
    ExpectPasteDoesNothing(DialogNode(0));
}

TEST_F(Clipboard, APasteWithoutRoomChangesNothingAndTheCutStaysPending) {
    for (int k = 0; k < kSlotCount; ++k)
        SetSlot(*P().Dialogs(), k, "t");
    Press(Qt::Key_F5);
    Ctrl(VariantNode(1, 2), Qt::Key_X);
    ExpectPasteDoesNothing(DialogNode(0));
    ExpectPasteDoesNothing(VariantNode(0, 0));
    PasteOn(VariantNode(1, 0));
    EXPECT_EQ(ModelText(P()).substr(ModelText(P()).find("1001")), "1001 D\n" + C(0) + A(1) + B(2));
}

} // namespace
} // namespace kv::test
