// The dialog commands beyond the session's plain use of them (numbering, a rename given up), the
// two toolbar batch edits of variants, and the commands that must do nothing: while a
// caption is being edited in place, without a node, or on a node of the wrong kind.
#include "editor_fixture.h"

#include "editor/property_grids.h"
#include "editor/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace kv::test {
namespace {

using DialogCommands = EditorTest;

TEST_F(DialogCommands, NewDialogsAreNumberedAfterTheLastDialogWithin32Bits) {
    P().FunctionStart = 2000; // the number in an empty list
    Press(Qt::Key_F4);
    Press(Qt::Key_Escape);
    P().Dialogs()->FunctionNumber = 2147483647;
    window->ToolButton5->click();
    Press(Qt::Key_Escape);
    EXPECT_EQ(ModelText(P()), "2147483647 2000 {}\n-2147483648 -2147483648 {}\n");

    // A rename given up stores nothing.
    P().Modified = false;
    RightClick(DialogNode(0), [&](QMenu& menu) { Choose(menu, window->N26); });
    TypeText(QApplication::focusWidget(), QStringLiteral("zzz"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().Dialogs()->Hint, "2000 {}");
    EXPECT_FALSE(P().Modified);
}

class BatchCommands : public EditorTest {
protected:
    // "Pick" (1000) with eight variants v0..v7, slot 6 free.
    void OpenPick() {
        Project p;
        TDialogItem& d = AddDialog(p, 1000, "Pick");
        for (int k = 0; k < 8; ++k)
            if (k != 6) SetSlot(d, k, std::string("v").append(std::to_string(k)).c_str());
        OpenProject(p);
    }
    void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
};

TEST_F(BatchCommands, CostCaptionPrefixesAtEachRunAndTheModelKeeps150Characters) {
    Project p;
    const std::string buy = "Buy" + std::string(140, '!');
    SetSlot(AddDialog(p, 1000, "Shop"), 0, buy.c_str());
    p.Dialogs()->Variants[0].Skill = 8;
    OpenProject(p);
    Select(VariantNode(0, 0));
    // The gold is typed and not yet committed: the button sees it all the same.
    TypeIntoCell(window->v2, variant_row::FirstCost + 6, QStringLiteral("500"));
    for (int run = 0; run < 2; ++run) {
        Click(window->ToolButton10);
        EXPECT_TRUE(EditingCaption());
        Press(Qt::Key_Escape);
    }
    // The outline shows the caption as stored: cut to its 150 characters.
    const QString twice = Q("[Мудрость] [500 зол.] [Мудрость] [500 зол.] ") + Q(buy.c_str());
    EXPECT_EQ(P().Dialogs()->Variant[0].view(), ToCp1251(twice).substr(0, 150));
    EXPECT_EQ(Caption(VariantNode(0, 0)), twice.left(150));
    EXPECT_TRUE(P().Modified);
}

TEST_F(BatchCommands, VsNumbersTheFollowingVariantsWithTheValueBeingTyped) {
    OpenPick();
    Select(VariantNode(0, 4));
    SetField(window->v2, variant_row::DVariable, QStringLiteral("5"));
    Select(VariantNode(0, 2));
    SetField(window->v2, variant_row::Variable, QStringLiteral("20"));
    TypeIntoCell(window->v2, variant_row::SVariable, QStringLiteral("1")); // typed, not committed
    Click(window->ToolButton12);
    std::string numbered;
    for (const TVariantData& v : P().Dialogs()->Variants)
        numbered += VariantText(v) + "\n";
    EXPECT_EQ(numbered, "s0/0\ns0/0\ns0/0 v20+0=1\ns0/0 v20+0=2\ns0/0 v20+5=3\ns0/0 v20+0=4\n"
                        "s0/0\ns0/0\ns0/0\ns0/0\ns0/0\ns0/0\n");
}

TEST_F(BatchCommands, NoCommandActsWhileACaptionIsBeingEdited) {
    OpenPick();
    KeyOn(VariantNode(0, 0), Qt::Key_C, Qt::ControlModifier);
    Select(VariantNode(0, 1));
    window->N26Click();
    ASSERT_TRUE(EditingCaption());
    const std::string model = ModelText(P());
    const std::string outline = OutlineText();
    // The toolbar and the main menu reach the window while the caption editor keeps the focus;
    // the context menu's commands run as its items would run them.
    for (QToolButton* b : {window->ToolButton5, window->ToolButton6, window->ToolButton13,
                           window->ToolButton10, window->ToolButton12})
        Click(b);
    for (QAction* item :
         {window->N23, window->N24, window->N28, window->N30, window->N32, window->N31})
        item->trigger();
    for (auto command :
         {&TMain::N14Click, &TMain::N15Click, &TMain::N19Click, &TMain::N17Click, &TMain::N18Click,
          &TMain::N21Click, &TMain::N22Click, &TMain::TreeDblClick})
        (window.get()->*command)();
    EXPECT_TRUE(EditingCaption());
    EXPECT_EQ(ModelText(P()), model);
    EXPECT_EQ(OutlineText(), outline);
    EXPECT_FALSE(P().Modified);
    Press(Qt::Key_Escape);
    // The clipboard still holds v0: the paste works once the edit is over.
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Escape);
    EXPECT_EQ(P().Dialogs()->Variant[1].view(), "v0");
}

TEST_F(BatchCommands, CommandsWithoutANodeOrOnTheWrongKindDoNothing) {
    const auto run = [this](std::initializer_list<void (TMain::*)()> commands) {
        for (auto command : commands)
            (window.get()->*command)();
        EXPECT_FALSE(P().Modified);
        EXPECT_FALSE(EditingCaption());
    };
    run({&TMain::ToolButton6Click, &TMain::N28Click, &TMain::N30Click, &TMain::N31Click,
         &TMain::ToolButton10Click, &TMain::ToolButton12Click, &TMain::N14Click, &TMain::N15Click,
         &TMain::N19Click, &TMain::N26Click, &TMain::N18Click, &TMain::N21Click, &TMain::N22Click,
         &TMain::v1EditButtonClick});
    EXPECT_EQ(P().DialogCount(), 0);

    // Up, Down, the cost caption and VS need a variant node; the text editor a dialog node.
    OpenPick();
    Select(DialogNode(0));
    run({&TMain::N21Click, &TMain::N22Click, &TMain::ToolButton10Click, &TMain::ToolButton12Click});
    Select(VariantNode(0, 0));
    run({&TMain::v1EditButtonClick});
    EXPECT_EQ(P().DialogCount(), 1);
}

} // namespace
} // namespace kv::test
