// New, consequence, duplicate, add-to, rename and delete of dialogs, through the window's keys,
// toolbar and context menu.
#include "command_harness.h"

#include "editor/outline.h"
#include "editor/property_grids.h"

#include <QMenu>
#include <QToolButton>

namespace kv::test {
namespace {

using DialogCommands = CommandTest;

TEST_F(DialogCommands, NewDialogsAreNumberedFromTheLastDialogAndCaptionedByTheirNumber) {
    Press(Qt::Key_F4);
    EXPECT_EQ(ModelText(P()), "1000 1000 {}\n"); // FunctionStart in an empty list
    // Selected, shown in the dialog grid, with its caption open for editing.
    EXPECT_EQ(Selected(), DialogNode(0));
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("1000"));
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("1000 {}"));
    EXPECT_TRUE(P().Modified);
    Press(Qt::Key_Escape); // a cancelled edit keeps the default caption

    window->ToolButton5->click();
    Press(Qt::Key_Escape);
    // Only the last dialog counts, whatever the others are numbered.
    P().DialogAt(0)->FunctionNumber = 1500;
    P().DialogAt(1)->FunctionNumber = 1200;
    window->N23->trigger(); // "Правка" / "Новый диалог"
    TypeCaption(QStringLiteral("Third"));
    EXPECT_EQ(ModelText(P()), "1500 1000 {}\n1200 1001 {}\n1201 Third\n");
    EXPECT_EQ(OutlineText(), "1000 {} [1]\n1001 {} [1]\nThird [1]\n");

    // After the largest number the next one keeps to 32 bits.
    P().LastDialog()->FunctionNumber = 2147483647;
    Press(Qt::Key_F4);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().LastDialog()->FunctionNumber, -2147483647 - 1);
}

TEST_F(DialogCommands, ConsequenceDialogLinksTheVariantToANewDialogCaptionedAfterBoth) {
    QTreeWidgetItem* a = MakeDialog(QStringLiteral("Ask"));
    QTreeWidgetItem* b = MakeVariant(a, QStringLiteral("Boast"));
    FocusOutline();
    Press(Qt::Key_F6);
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("Ask -> Boast"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()), "1000 Ask\n  0: Boast -> @1 {s0/0}\n1001 Ask -> Boast\n");
    EXPECT_EQ(NodeImage(b), 2);
    EXPECT_EQ(NodeSelectedImage(b), 2);
    Select(b);
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("1001"));

    // With a dialog node selected there is no variant to lead on from.
    Select(a);
    FocusOutline();
    Press(Qt::Key_F6);
    EXPECT_EQ(P().DialogCount(), 2);

    // The caption is cut to 200 characters.
    Select(b);
    window->N26Click();
    TypeCaption(QString(196, QLatin1Char('v')));
    window->ToolButton6->click();
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().LastDialog()->Hint.view(), "Ask -> " + std::string(193, 'v'));
}

TEST_F(DialogCommands, DuplicateCopiesTheSelectedVariantsDialogUnderANewNumber) {
    MakeDialog(QStringLiteral("Target"));
    QTreeWidgetItem* source = MakeDialog(Q("Источник"));
    SetVariantField(MakeVariant(source, QStringLiteral("Linked")), variant_row::Function,
                    QStringLiteral("1000"));
    SetNodeImage(VariantNode(1, 0), 2); // as a rebuild would show the linked variant
    SetVariantField(MakeVariant(source, QStringLiteral("Plain")), variant_row::FirstCost + 6,
                    QStringLiteral("300"));
    TypeIntoGrid(*window->v2, variant_row::FailOn, QStringLiteral("flag1"));
    TypeIntoGrid(*window->v2, variant_row::Function, QStringLiteral("77"));
    Select(source);
    TypeIntoGrid(*window->v1, dialog_row::Before, QStringLiteral("!!VRv1:S0;"));
    TypeIntoGrid(*window->v1, dialog_row::Header, QStringLiteral("Choose"));
    TypeIntoGrid(*window->v1, dialog_row::Escape, QStringLiteral("1"));
    TypeIntoGrid(*window->v1, dialog_row::Default, QStringLiteral("2"));
    P().DialogAt(1)->Text[0] = "line one";
    Select(VariantNode(1, 1));
    FocusOutline();
    Press(Qt::Key_F7);

    // The open caption edit shows the copied caption; cancelling it keeps the copied Hint.
    EXPECT_EQ(Selected(), DialogNode(2));
    EXPECT_EQ(CaptionEditorText(), Q("Источник"));
    Press(Qt::Key_Escape);
    const std::string variants = "  0: Linked -> @0 {s0/0}\n"
                                 "  1: Plain -> #77 {s0/0 c6=300 fail:flag1}\n";
    EXPECT_EQ(ModelText(P()),
              "1000 Target\n1001 Источник\n" + variants + "1002 Источник\n" + variants);
    EXPECT_EQ(OutlineText(), "Target [1]\nИсточник [1]\n  Linked [2]\n  Plain [3]\n"
                             "Источник [1]\n  Linked [2]\n  Plain [3]\n");
    // Leaving the copy commits its grid, which shows the copied values.
    Select(DialogNode(0));
    const TDialogItem* copy = P().DialogAt(2);
    EXPECT_EQ(copy->Text[0].view(), "line one");
    EXPECT_EQ(copy->ScriptBefore.view(), "!!VRv1:S0;");
    EXPECT_EQ(copy->Header.view(), "Choose");
    EXPECT_EQ(copy->VariantEscape, 1);
    EXPECT_EQ(copy->VariantDefault, 2);

    window->ToolButton13->click();
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().LastDialog()->Hint.view(), "Target");
}

TEST_F(DialogCommands, AddToDialogAsksForTheNumberAndFillsTheFirstFreeSlot) {
    QTreeWidgetItem* a = MakeDialog(QStringLiteral("A"));
    QTreeWidgetItem* b = MakeDialog(QStringLiteral("B"));
    for (int k = 0; k < 3; ++k)
        MakeVariant(a, QStringLiteral("V%1").arg(k));
    // Slot 1 becomes free in place (its caption emptied) and stays as an empty node.
    Select(VariantNode(0, 1));
    window->N26Click();
    TypeCaption(QString());
    const std::string before = ModelText(P());
    auto addToDialog = [&](QTreeWidgetItem* on) {
        RightClick(on, [&](QMenu& menu) { Choose(menu, window->N19); });
    };

    seam->ExpectPrompt(QStringLiteral("12a")).ExpectMessage();
    seam->ExpectPrompt(QStringLiteral("4711")).ExpectMessage();
    seam->ExpectPrompt(std::nullopt);
    for (int k = 0; k < 3; ++k)
        addToDialog(b);
    const auto prompts = CallsOf(ScriptedSeam::Kind::Prompt);
    ASSERT_EQ(prompts.size(), 3u);
    EXPECT_EQ(prompts[0].caption, Q("Добавление к диалогу"));
    EXPECT_EQ(prompts[0].text, Q("Введите номер функции диалога: "));
    EXPECT_EQ(prompts[0].preset, QStringLiteral("1000"));
    const auto messages = CallsOf(ScriptedSeam::Kind::Message);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, Q("Неправильное число!"));
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages[1].text, Q("Нет такой функции!"));
    EXPECT_EQ(ModelText(P()), before);

    // $3E8 is 1000, dialog A: B becomes the follow-up of a new variant in A's free slot 1, whose
    // empty node takes it.
    seam->ExpectPrompt(QStringLiteral("$3E8"));
    addToDialog(b);
    EXPECT_EQ(Selected(), VariantNode(0, 1));
    EXPECT_TRUE(EditingCaption());
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()), "1000 A\n  0: V0 {s0/0}\n  1: New variant -> @1 {s0/0}\n"
                              "  2: V2 {s0/0}\n1001 B\n");
    EXPECT_EQ(OutlineText(), "A [1]\n  V0 [3]\n  New variant [2]\n  V2 [3]\nB [1]\n");

    // A dialog may be added to itself; past the last node a node is added at the end.
    seam->ExpectPrompt(QStringLiteral("1000"));
    addToDialog(a);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().Dialogs()->LinkDialog[3], P().Dialogs());
    EXPECT_EQ(NodeCaption(VariantNode(0, 3)), QStringLiteral("New variant"));

    // A full dialog ends the command without a word.
    for (int k = 4; k < 12; ++k)
        MakeVariant(a, QStringLiteral("V%1").arg(k));
    Select(b);
    P().Modified = false;
    const std::string full = ModelText(P());
    seam->ExpectPrompt(QStringLiteral("1000"));
    window->N19Click();
    EXPECT_EQ(ModelText(P()), full);
    EXPECT_EQ(seam->Count(ScriptedSeam::Kind::Message), 2);
    EXPECT_FALSE(P().Modified);
}

TEST_F(DialogCommands, DeletingDialogsKeepsTheRestInOrderAndTurnsLinksIntoNumbers) {
    QTreeWidgetItem* first = MakeDialog(QStringLiteral("First"));
    MakeDialog(QStringLiteral("Second"));
    QTreeWidgetItem* third = MakeDialog(QStringLiteral("Third"));
    SetVariantField(MakeVariant(first, QStringLiteral("to second")), variant_row::Function,
                    QStringLiteral("1001"));
    SetVariantField(MakeVariant(third, QStringLiteral("to first")), variant_row::Function,
                    QStringLiteral("1000"));

    // The middle one: the link to it becomes its number; the next dialog takes the selection.
    Select(DialogNode(1));
    FocusOutline();
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ModelText(P()), "1000 First\n  0: to second -> #1001 {s0/0}\n"
                              "1002 Third\n  0: to first -> @0 {s0/0}\n");
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("1002"));

    // The head goes with its variant node; the other one becomes the head.
    Select(DialogNode(0));
    FocusOutline();
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ModelText(P()), "1002 Third\n  0: to first -> #1000 {s0/0}\n");
    EXPECT_EQ(OutlineText(), "Third [1]\n  to first [3]\n");

    // The last one: the one before it is selected; then nothing is left, nothing is selected
    // and both grids are hidden.
    MakeDialog(QStringLiteral("Fourth"));
    FocusOutline();
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Selected(), DialogNode(0));
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(P().DialogCount(), 0);
    EXPECT_EQ(Selected(), nullptr);
    EXPECT_FALSE(window->v1->isVisible());
    EXPECT_FALSE(window->v2->isVisible());
    EXPECT_FALSE(window->ToolButton7->isEnabled());
}

TEST_F(DialogCommands, RenameStoresTheConfirmedCaptionCutAndACancelledOneNot) {
    QTreeWidgetItem* a = MakeDialog(QStringLiteral("A"));
    MakeVariant(a, QStringLiteral("V"));
    P().Modified = false;
    RightClick(a, [&](QMenu& menu) { Choose(menu, window->N26); });
    EXPECT_EQ(Selected(), a);
    TypeCaption(QString(250, QLatin1Char('h')));
    EXPECT_EQ(P().Dialogs()->Hint.view(), std::string(200, 'h'));
    EXPECT_EQ(NodeCaption(a).size(), 250); // the node shows what was typed
    EXPECT_TRUE(P().Modified);

    P().Modified = false;
    RightClick(a, [&](QMenu& menu) { Choose(menu, window->N26); });
    Type(QStringLiteral("zzz"));
    Press(Qt::Key_Escape);
    EXPECT_FALSE(P().Modified);
    EXPECT_EQ(P().Dialogs()->Hint.view(), std::string(200, 'h'));
}

} // namespace
} // namespace kv::test
