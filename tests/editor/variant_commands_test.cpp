// Add, add-with-dialog, delete, up and down of variants: every slot moves whole (record,
// caption, link and number) together with its node.
#include "command_harness.h"

#include "editor/outline.h"
#include "editor/property_grids.h"

#include <QMenu>
#include <QTest>

namespace kv::test {
namespace {

class VariantCommands : public CommandTest {
protected:
    // Dialog T (1000), then dialog D (1001) with variants A, B and C: A leads to T by link, B to
    // function 555 by number, C nowhere; each has its own skill, wood cost and fail condition.
    void MakeABC() {
        MakeDialog(QStringLiteral("T"));
        QTreeWidgetItem* d = MakeDialog(QStringLiteral("D"));
        const char* names[] = {"A", "B", "C"};
        const char* follow[] = {"1000", "555", "0"};
        for (int k = 0; k < 3; ++k) {
            QTreeWidgetItem* v = MakeVariant(d, QString::fromLatin1(names[k]));
            SetVariantField(v, variant_row::Function, QString::fromLatin1(follow[k]));
            TypeIntoGrid(*window->v2, variant_row::Skill, QString::number(k + 1));
            TypeIntoGrid(*window->v2, variant_row::FirstCost, QString::number(10 * (k + 1)));
            TypeIntoGrid(*window->v2, variant_row::FailOn,
                         QStringLiteral("f") + QString::fromLatin1(names[k]));
            SetNodeImage(v, k < 2 ? 2 : 3); // as a rebuild shows them
        }
        ASSERT_EQ(ModelText(P()), "1000 T\n1001 D\n" + A(0) + B(1) + C(2));
    }
    static std::string A(int slot) {
        return "  " + std::to_string(slot) + ": A -> @0 {s1/0 c0=10 fail:fA}\n";
    }
    static std::string B(int slot) {
        return "  " + std::to_string(slot) + ": B -> #555 {s2/0 c0=20 fail:fB}\n";
    }
    static std::string C(int slot) {
        return "  " + std::to_string(slot) + ": C {s3/0 c0=30 fail:fC}\n";
    }
    // Fills D to twelve variants through the window.
    void FillD() {
        for (int k = DialogNode(1)->childCount(); k < kSlotCount; ++k)
            MakeVariant(DialogNode(1), QStringLiteral("V%1").arg(k));
    }
};

TEST_F(VariantCommands, AddVariantInsertsBeforeTheSelectedVariantAndKeepsTheOthersWhole) {
    MakeABC();
    // A value typed into B's grid, not yet committed, goes with B into its new slot.
    Select(VariantNode(1, 1));
    TypeIntoGrid(*window->v2, variant_row::SVariable, QStringLiteral("7"), false);
    FocusOutline();
    Press(Qt::Key_Insert);

    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_TRUE(EditingCaption());
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("New variant"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()), "1000 T\n1001 D\n" + A(0) + "  1: New variant {s0/0}\n" +
                                  "  2: B -> #555 {s2/0 c0=20 v0+0=7 fail:fB}\n" + C(3));
    EXPECT_EQ(OutlineText(), "T [1]\nD [1]\n  A [2]\n  New variant [3]\n  B [2]\n  C [3]\n");

    // B's node still shows B's own grid.
    Select(VariantNode(1, 2));
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("555"));
    EXPECT_EQ(window->v2->Value(variant_row::FailOn), QStringLiteral("fB"));
}

TEST_F(VariantCommands, AddVariantOnADialogTakesItsFirstFreeSlotAndItsNode) {
    MakeABC();
    Select(DialogNode(1));
    FocusOutline();
    P().Modified = false;
    Press(Qt::Key_Insert);
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()),
              "1000 T\n1001 D\n" + A(0) + B(1) + C(2) + "  3: New variant {s0/0}\n");
    EXPECT_EQ(Selected(), VariantNode(1, 3));
    EXPECT_EQ(NodeImage(Selected()), 3);
    EXPECT_EQ(NodeImage(DialogNode(1)), 1); // the dialog node keeps its image until a rebuild
    EXPECT_TRUE(P().Modified);

    // A slot emptied in place stays as an empty node; the next variant fills it there, blank.
    Select(VariantNode(1, 1));
    window->N26Click();
    TypeCaption(QString());
    SetVariantField(VariantNode(1, 1), variant_row::Function, QStringLiteral("0"));
    ASSERT_FALSE(P().DialogAt(1)->SlotInUse(1));
    MakeVariant(DialogNode(1), QStringLiteral("Refill"));
    EXPECT_EQ(OutlineText(), "T [1]\nD [1]\n  A [2]\n  Refill [3]\n  C [3]\n  New variant [3]\n");
    EXPECT_EQ(ModelText(P()), "1000 T\n1001 D\n" + A(0) + "  1: Refill {s0/0}\n" + C(2) +
                                  "  3: New variant {s0/0}\n");

    // With twelve nodes and slot 11 emptied in place, an insertion pushes that free slot out of
    // the dialog, and its node with it.
    FillD();
    Select(VariantNode(1, 11));
    window->N26Click();
    TypeCaption(QString());
    Select(VariantNode(1, 1));
    FocusOutline();
    Press(Qt::Key_Insert);
    TypeCaption(QStringLiteral("Inserted"));
    EXPECT_EQ(DialogNode(1)->childCount(), kSlotCount);
    EXPECT_EQ(NodeCaption(VariantNode(1, 11)), QStringLiteral("V10"));
    EXPECT_EQ(P().DialogAt(1)->Variant[11].view(), "V10");
    EXPECT_EQ(P().DialogAt(1)->Variant[2].view(), "Refill");
}

TEST_F(VariantCommands, AddVariantWithDialogLinksTheNewVariantToTheNamedDialog) {
    MakeABC();
    Select(VariantNode(1, 0));
    FocusOutline();
    seam->ExpectPrompt(QStringLiteral("1001"));
    Press(Qt::Key_Insert, Qt::ControlModifier);
    const auto prompts = CallsOf(ScriptedSeam::Kind::Prompt);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].caption, Q("Добавление диалога"));
    EXPECT_EQ(prompts[0].text, Q("Введите номер функции: "));
    EXPECT_EQ(prompts[0].preset, QStringLiteral("1000"));
    TypeCaption(QStringLiteral("Loop"));
    EXPECT_EQ(ModelText(P()), "1000 T\n1001 D\n  0: Loop -> @1 {s0/0}\n" + A(1) + B(2) + C(3));
    EXPECT_EQ(NodeImage(VariantNode(1, 0)), 2);
    Select(VariantNode(1, 0));
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("1001"));

    // Refused answers change nothing.
    const std::string before = ModelText(P());
    seam->ExpectPrompt(QStringLiteral("1q")).ExpectMessage();
    seam->ExpectPrompt(QStringLiteral("999")).ExpectMessage();
    seam->ExpectPrompt(std::nullopt);
    for (int k = 0; k < 3; ++k) {
        FocusOutline();
        Press(Qt::Key_Insert, Qt::ControlModifier);
    }
    const auto messages = CallsOf(ScriptedSeam::Kind::Message);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, Q("Неправильное число!"));
    EXPECT_EQ(messages[1].text, Q("Нет такой функции!"));
    EXPECT_EQ(ModelText(P()), before);
}

TEST_F(VariantCommands, DeleteClosesTheGapAndSelectsTheVariantThatTookItsPlace) {
    MakeABC();
    Select(VariantNode(1, 1));
    FocusOutline();
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ModelText(P()), "1000 T\n1001 D\n" + A(0) + C(1));
    EXPECT_FALSE(P().DialogAt(1)->SlotInUse(2));
    EXPECT_EQ(P().DialogAt(1)->Variants[2], TVariantData{});
    EXPECT_EQ(OutlineText(), "T [1]\nD [1]\n  A [2]\n  C [3]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_EQ(window->v2->Value(variant_row::FailOn), QStringLiteral("fC"));

    // The last variant: the one before it is selected; the only one: its dialog.
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Selected(), VariantNode(1, 0));
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_TRUE(window->v1->isVisible());
    EXPECT_EQ(ModelText(P()), "1000 T\n1001 D\n");
}

TEST_F(VariantCommands, UpAndDownExchangeWholeSlotsAndFollowTheMovedVariant) {
    MakeABC();
    // A value typed into C's grid and not committed when Ctrl+Up comes belongs to C.
    Select(VariantNode(1, 2));
    TypeIntoGrid(*window->v2, variant_row::Artefact, QStringLiteral("9"), false);
    FocusOutline();
    Press(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(ModelText(P()),
              "1000 T\n1001 D\n" + A(0) + "  1: C {s3/0 c0=30 a9 fail:fC}\n" + B(2));
    EXPECT_EQ(OutlineText(), "T [1]\nD [1]\n  A [2]\n  C [3]\n  B [2]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_EQ(window->v2->Value(variant_row::FailOn), QStringLiteral("fC"));
    EXPECT_EQ(window->v2->Value(variant_row::Artefact), QStringLiteral("9"));
    Select(VariantNode(1, 2));
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("555"));
    EXPECT_EQ(window->v2->Value(variant_row::Artefact), QStringLiteral("0"));

    // Down on A: B, A, C after it has moved back.
    Select(VariantNode(1, 0));
    FocusOutline();
    Press(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(OutlineText(), "T [1]\nD [1]\n  C [3]\n  A [2]\n  B [2]\n");
    EXPECT_EQ(Selected(), VariantNode(1, 1));
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("1000"));
    EXPECT_EQ(ModelText(P()), "1000 T\n1001 D\n  0: C {s3/0 c0=30 a9 fail:fC}\n" + A(1) + B(2));
}

TEST_F(VariantCommands, LimitsEndTheCommandsSilently) {
    MakeABC();
    FillD();
    Select(VariantNode(1, 11));
    P().Modified = false;
    const std::string model = ModelText(P());
    const std::string outline = OutlineText();

    // Twelve variants: nothing is added, on the dialog node or on any variant node; with a
    // dialog named, the number is asked all the same.
    for (QTreeWidgetItem* on : {DialogNode(1), VariantNode(1, 0), VariantNode(1, 11)}) {
        Select(on);
        FocusOutline();
        Press(Qt::Key_Insert);
        seam->ExpectPrompt(QStringLiteral("1000"));
        Press(Qt::Key_Insert, Qt::ControlModifier);
        EXPECT_FALSE(EditingCaption());
    }
    EXPECT_EQ(seam->Count(ScriptedSeam::Kind::Prompt), 3);
    // Up on the first variant, Down on the last.
    Select(VariantNode(1, 0));
    FocusOutline();
    Press(Qt::Key_Up, Qt::ControlModifier);
    Select(VariantNode(1, 11));
    FocusOutline();
    Press(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(ModelText(P()), model);
    EXPECT_EQ(OutlineText(), outline);
    EXPECT_EQ(seam->Count(ScriptedSeam::Kind::Message), 0);
    EXPECT_FALSE(P().Modified);
}

} // namespace
} // namespace kv::test
