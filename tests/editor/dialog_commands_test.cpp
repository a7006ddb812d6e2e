// New, consequence, duplicate, add-to, rename and delete of dialogs, through the window's keys,
// toolbar and context menu.
#include "command_harness.h"

#include "editor/outline.h"
#include "editor/property_grids.h"

#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace kv::test {
namespace {

using DialogCommands = CommandTest;

TEST_F(DialogCommands, NewDialogsAreNumberedFromTheLastDialogAndCaptionedByTheirNumber) {
    P().FunctionStart = 1000;
    Press(Qt::Key_F4);
    ASSERT_EQ(P().DialogCount(), 1);
    EXPECT_EQ(P().Dialogs()->FunctionNumber, 1000);
    EXPECT_EQ(P().Dialogs()->Hint.view(), "1000 {}");
    // Selected, with the dialog grid showing it and its caption open for editing.
    EXPECT_EQ(Selected(), DialogNode(0));
    EXPECT_TRUE(window->v1->isVisible());
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("1000"));
    EXPECT_TRUE(EditingCaption());
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("1000 {}"));
    EXPECT_TRUE(P().Modified);
    Press(Qt::Key_Escape); // a cancelled edit keeps the default caption

    window->ToolButton5->click();
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().LastDialog()->FunctionNumber, 1001);
    EXPECT_EQ(P().LastDialog()->Hint.view(), "1001 {}");

    // Only the last dialog counts, whatever the others are numbered.
    P().DialogAt(1)->FunctionNumber = 1500;
    P().LastDialog()->FunctionNumber = 1200;
    window->N23->trigger(); // "Правка" / "Новый диалог"
    TypeCaption(QStringLiteral("Third"));
    EXPECT_EQ(P().LastDialog()->FunctionNumber, 1201);
    EXPECT_EQ(P().LastDialog()->Hint.view(), "Third");
    EXPECT_EQ(OutlineText(), "1000 {} [1]\n1001 {} [1]\nThird [1]\n");
}

TEST_F(DialogCommands, NewDialogAfterTheLargestNumberKeepsTo32Bits) {
    Press(Qt::Key_F4);
    Press(Qt::Key_Escape);
    P().Dialogs()->FunctionNumber = 2147483647;
    Press(Qt::Key_F4);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().LastDialog()->FunctionNumber, -2147483647 - 1);
}

TEST_F(DialogCommands, ConsequenceDialogLinksTheVariantToANewDialogCaptionedAfterBoth) {
    QTreeWidgetItem* a = MakeDialog(QStringLiteral("Ask"));
    MakeVariant(a, QStringLiteral("Boast"));
    QTreeWidgetItem* b = VariantNode(0, 0);
    Select(b);
    FocusOutline();
    Press(Qt::Key_F6);

    ASSERT_EQ(P().DialogCount(), 2);
    TDialogItem* consequence = P().LastDialog();
    EXPECT_EQ(consequence->Hint.view(), "Ask -> Boast");
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_EQ(CaptionEditorText(), QStringLiteral("Ask -> Boast"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().Dialogs()->LinkDialog[0], consequence);
    EXPECT_EQ(NodeImage(b), 2);
    EXPECT_EQ(NodeSelectedImage(b), 2);

    Select(b);
    EXPECT_EQ(window->v2->Value(variant_row::Function),
              QString::number(consequence->FunctionNumber));

    // With a dialog node selected there is no variant to lead on from.
    Select(DialogNode(0));
    FocusOutline();
    Press(Qt::Key_F6);
    EXPECT_EQ(P().DialogCount(), 2);
}

TEST_F(DialogCommands, ConsequenceCaptionIsCutTo200Characters) {
    const QString longCaption(150, QLatin1Char('d'));
    QTreeWidgetItem* a = MakeDialog(longCaption);
    Select(MakeVariant(a, QString(140, QLatin1Char('v'))));
    window->ToolButton6->click();
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().LastDialog()->Hint.view(),
              std::string(150, 'd') + " -> " + std::string(46, 'v'));
    EXPECT_EQ(NodeCaption(DialogNode(1)).size(), 200);
}

TEST_F(DialogCommands, DuplicateCopiesTheSelectedVariantsDialogUnderANewNumber) {
    QTreeWidgetItem* target = MakeDialog(QStringLiteral("Target"));
    QTreeWidgetItem* source = MakeDialog(Q("Источник"));
    MakeVariant(source, QStringLiteral("Linked"));
    MakeVariant(source, QStringLiteral("Plain"));
    TDialogItem* s = P().DialogAt(1);
    SetVariantField(VariantNode(1, 0), variant_row::Function, QStringLiteral("1000"));
    SetVariantField(VariantNode(1, 1), variant_row::FirstCost + 6, QStringLiteral("300"));
    TypeIntoGrid(*window->v2, variant_row::FailOn, QStringLiteral("flag1"));
    TypeIntoGrid(*window->v2, variant_row::Function, QStringLiteral("77"));
    s->Text[0] = "line one";
    SetNodeImage(VariantNode(1, 0), 2); // as a rebuild would show the linked variant
    ASSERT_EQ(ModelText(P()), "1000 Target\n1001 Источник\n  0: Linked -> @0 {s0/0}\n"
                              "  1: Plain -> #77 {s0/0 c6=300 fail:flag1}\n");
    (void)target;

    Select(DialogNode(1));
    TypeIntoGrid(*window->v1, dialog_row::Before, QStringLiteral("!!VRv1:S0;"));
    TypeIntoGrid(*window->v1, dialog_row::Header, QStringLiteral("Choose"));
    TypeIntoGrid(*window->v1, dialog_row::Escape, QStringLiteral("1"));
    TypeIntoGrid(*window->v1, dialog_row::Default, QStringLiteral("2"));
    Select(VariantNode(1, 1));
    FocusOutline();
    Press(Qt::Key_F7);

    ASSERT_EQ(P().DialogCount(), 3);
    TDialogItem* copy = P().LastDialog();
    EXPECT_EQ(copy->FunctionNumber, s->FunctionNumber + 1);
    EXPECT_EQ(Selected(), DialogNode(2));
    // The open caption edit shows the copied caption; cancelling it keeps the copied Hint.
    EXPECT_EQ(CaptionEditorText(), Q("Источник"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(copy->Hint.view(), W("Источник"));
    EXPECT_EQ(OutlineText(), "Target [1]\nИсточник [1]\n  Linked [2]\n  Plain [3]\n"
                             "Источник [1]\n  Linked [2]\n  Plain [3]\n");
    EXPECT_EQ(copy->LinkDialog[0], P().DialogAt(0));
    EXPECT_EQ(copy->Function[1], 77);
    EXPECT_EQ(copy->Variants[1], s->Variants[1]);
    EXPECT_EQ(copy->Text[0].view(), "line one");

    // Leaving the copy commits its grid, which shows the copied values.
    EXPECT_EQ(window->v1->Value(dialog_row::Header), QStringLiteral("Choose"));
    Select(DialogNode(0));
    EXPECT_EQ(copy->ScriptBefore.view(), "!!VRv1:S0;");
    EXPECT_EQ(copy->Header.view(), "Choose");
    EXPECT_EQ(copy->VariantEscape, 1);
    EXPECT_EQ(copy->VariantDefault, 2);
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QString::number(s->FunctionNumber - 1));

    // The toolbar button does the same.
    P().Modified = false;
    window->ToolButton13->click();
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().DialogCount(), 4);
    EXPECT_EQ(P().LastDialog()->Hint.view(), "Target");
    EXPECT_TRUE(P().Modified);
}

TEST_F(DialogCommands, AddToDialogAsksForTheNumberAndRefusesBadOnes) {
    QTreeWidgetItem* a = MakeDialog(QStringLiteral("A"));
    QTreeWidgetItem* b = MakeDialog(QStringLiteral("B"));
    MakeVariant(a, QStringLiteral("First"));
    const std::string before = ModelText(P());

    auto runAddToDialog = [&](QTreeWidgetItem* on) {
        RightClick(on, [&](QMenu& menu) { Choose(menu, window->N19); });
    };
    seam->ExpectPrompt(QStringLiteral("12a")).ExpectMessage();
    seam->ExpectPrompt(QStringLiteral("4711")).ExpectMessage();
    seam->ExpectPrompt(std::nullopt);
    runAddToDialog(b);
    runAddToDialog(b);
    runAddToDialog(b);
    const auto prompts = CallsOf(ScriptedSeam::Kind::Prompt);
    ASSERT_EQ(prompts.size(), 3u);
    EXPECT_EQ(prompts[0].caption, Q("Добавление к диалогу"));
    EXPECT_EQ(prompts[0].text, Q("Введите номер функции диалога: "));
    EXPECT_EQ(prompts[0].preset, QStringLiteral("1000"));
    const auto messages = CallsOf(ScriptedSeam::Kind::Message);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, Q("Неправильное число!"));
    EXPECT_EQ(messages[0].caption, Q("Ошибка"));
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages[1].text, Q("Нет такой функции!"));
    EXPECT_EQ(ModelText(P()), before);

    // A good number ($3E8 is 1000, dialog A): B becomes the follow-up of a new variant of A.
    seam->ExpectPrompt(QStringLiteral("$3E8"));
    runAddToDialog(b);
    EXPECT_EQ(ModelText(P()), "1000 A\n  0: First {s0/0}\n  1: New variant -> @1 {s0/0}\n"
                              "1001 B\n");
    EXPECT_EQ(Selected(), VariantNode(0, 1));
    EXPECT_EQ(NodeImage(Selected()), 2);
    EXPECT_TRUE(EditingCaption());
    Press(Qt::Key_Escape);

    // A dialog may be added to itself.
    seam->ExpectPrompt(QStringLiteral("1001"));
    runAddToDialog(b);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().DialogAt(1)->LinkDialog[0], P().DialogAt(1));

    // With a variant as the menu's target the item is disabled and nothing is asked.
    RightClick(VariantNode(0, 0), [&](QMenu& menu) {
        EXPECT_FALSE(window->N19->isEnabled());
        Choose(menu, window->N19);
    });
    EXPECT_EQ(seam->Count(ScriptedSeam::Kind::Prompt), 5);
}

TEST_F(DialogCommands, AddToDialogFillsTheFirstFreeSlotAndStopsSilentlyOnAFullDialog) {
    QTreeWidgetItem* a = MakeDialog(QStringLiteral("A"));
    MakeDialog(QStringLiteral("B"));
    for (int k = 0; k < 3; ++k) MakeVariant(a, QStringLiteral("V%1").arg(k));
    // Slot 1 became free in place (its caption emptied): its empty node takes the new variant.
    Select(VariantNode(0, 1));
    FocusOutline();
    window->N26Click();
    TypeCaption(QString());
    ASSERT_FALSE(P().DialogAt(0)->SlotInUse(1));
    EXPECT_EQ(OutlineText(), "A [1]\n  V0 [3]\n   [3]\n  V2 [3]\nB [1]\n");

    Select(DialogNode(1));
    seam->ExpectPrompt(QStringLiteral("1000"));
    window->N19Click();
    Press(Qt::Key_Escape);
    EXPECT_EQ(OutlineText(), "A [1]\n  V0 [3]\n  New variant [2]\n  V2 [3]\nB [1]\n");
    EXPECT_EQ(P().DialogAt(0)->LinkDialog[1], P().DialogAt(1));
    EXPECT_EQ(Selected(), VariantNode(0, 1));

    // Fill A up to twelve; then the command stops without a word and changes nothing.
    for (int k = 3; k < 12; ++k) P().DialogAt(0)->Variant[static_cast<std::size_t>(k)] = "x";
    Select(DialogNode(1));
    P().Modified = false;
    const std::string before = ModelText(P());
    const std::string outline = OutlineText();
    seam->ExpectPrompt(QStringLiteral("1000"));
    window->N19Click();
    EXPECT_EQ(ModelText(P()), before);
    EXPECT_EQ(OutlineText(), outline);
    EXPECT_EQ(seam->Count(ScriptedSeam::Kind::Message), 0);
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

    // The second dialog goes; the link to it becomes its number, and the one after it takes
    // its place in the selection.
    Select(DialogNode(1));
    FocusOutline();
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ModelText(P()), "1000 First\n  0: to second -> #1001 {s0/0}\n"
                              "1002 Third\n  0: to first -> @0 {s0/0}\n");
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("1002"));

    // The first dialog goes with its variant node; the second becomes the head.
    Select(DialogNode(0));
    FocusOutline();
    Press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(P().Dialogs()->Hint.view(), "Third");
    EXPECT_EQ(P().Dialogs()->Function[0], 1000);
    EXPECT_EQ(P().Dialogs()->LinkDialog[0], nullptr);
    EXPECT_EQ(OutlineText(), "Third [1]\n  to first [3]\n");

    // The last one: the one before it is selected; then nothing is left, nothing selected and
    // both grids hidden.
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

TEST_F(DialogCommands, RenameOpensTheCaptionOfAnyNodeAndStoresItCut) {
    QTreeWidgetItem* a = MakeDialog(QStringLiteral("A"));
    QTreeWidgetItem* v = MakeVariant(a, QStringLiteral("V"));
    P().Modified = false;

    RightClick(a, [&](QMenu& menu) { Choose(menu, window->N26); });
    EXPECT_EQ(Selected(), a);
    TypeCaption(QString(250, QLatin1Char('h')));
    EXPECT_EQ(P().Dialogs()->Hint.view(), std::string(200, 'h'));
    EXPECT_EQ(NodeCaption(a).size(), 250); // the node shows what was typed
    EXPECT_TRUE(P().Modified);

    RightClick(v, [&](QMenu& menu) { Choose(menu, window->N26); });
    TypeCaption(Q("Ответ ") + QString(200, QLatin1Char('x')));
    EXPECT_EQ(P().Dialogs()->Variant[0].view(), W("Ответ ") + std::string(144, 'x'));

    // A cancelled edit stores nothing.
    P().Modified = false;
    RightClick(v, [&](QMenu& menu) { Choose(menu, window->N26); });
    Type(QStringLiteral("zzz"));
    Press(Qt::Key_Escape);
    EXPECT_FALSE(P().Modified);
    EXPECT_EQ(P().Dialogs()->Variant[0].view(), W("Ответ ") + std::string(144, 'x'));
}

} // namespace
} // namespace kv::test
