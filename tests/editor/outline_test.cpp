// The outline: built from the model (images, the nodes of free slots), the selection, the context
// menu (driven by real right clicks while it runs its own event loop) with its shortcuts, and the
// double click that follows a link.
#include "editor_fixture.h"

#include "editor/property_grids.h"
#include "editor/text_editor_window.h"

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

namespace kv::test {
namespace {

const char kOutline[] = "Start [0]\n  Go on [2]\n   [3]\n  Number [2]\nEmpty [1]\nNext [1]\n";

class OutlineTest : public EditorTest {
protected:
    // "Start" (1000) with "Go on" (linked to "Next"), a free slot, and "Number" (leading to 42
    // by number only); "Empty" (1001) without variants; "Next" (1002).
    void SetUp() override {
        EditorTest::SetUp();
        Project p;
        TDialogItem& start = AddDialog(p, 1000, "Start");
        SetSlot(start, 0, "Go on", 1002);
        SetSlot(start, 2, "Number", 42);
        start.Variants[2].Gold = 250;
        AddDialog(p, 1001, "Empty");
        AddDialog(p, 1002, "Next");
        OpenProject(p);
    }
    // The enabled items of the context menu, by their names.
    std::string Enabled() {
        std::string names;
        for (QAction* a : window->PopupMenu1->actions())
            if (!a->isSeparator() && a->isEnabled()) names += a->objectName().toStdString() + " ";
        return names;
    }
};

TEST_F(OutlineTest, ANodeStandsForEverySlotUpToTheLastInUseAndShowsItsGrid) {
    EXPECT_EQ(OutlineText(), kOutline);

    ClickNode(VariantNode(0, 2));
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("42"));
    EXPECT_EQ(window->v2->Value(variant_row::FirstCost + 6), QStringLiteral("250"));
    EXPECT_FALSE(window->ToolButton7->isEnabled());
    ClickNode(DialogNode(2));
    EXPECT_FALSE(window->v2->isVisible());
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("1002"));
    EXPECT_TRUE(window->ToolButton7->isEnabled());
    EXPECT_FALSE(P().Modified);
}

TEST_F(OutlineTest, TheContextMenuIsForTheNodeUnderTheMouseWhichItSelectsOnceClosed) {
    Select(DialogNode(1));
    std::string enabled;
    Node selectedWhileOpen;
    RightClick(VariantNode(0, 2), [&](QMenu&) {
        enabled = Enabled();
        selectedWhileOpen = Selected();
    });
    EXPECT_EQ(enabled, "N14 N15 N26 N18 N21 N22 Leads1 Play1 ");
    EXPECT_EQ(selectedWhileOpen, DialogNode(1));
    EXPECT_EQ(Selected(), VariantNode(0, 2));
    RightClick(Node(), [&](QMenu&) { enabled = Enabled(); }); // below the last node: the selected
    EXPECT_EQ(enabled, "N14 N15 N26 N18 N21 N22 Leads1 Play1 ");
    RightClick(DialogNode(1), [&](QMenu&) { enabled = Enabled(); });
    EXPECT_EQ(enabled, "N14 N15 N19 N26 N17 N18 Leads1 Play1 ");

    // Outside the menu the shortcuts follow the selection, whatever the menu was last opened
    // for: Ctrl+Up moves the selected variant, Tab opens the text editor for the dialog and
    // never leaves the outline.
    KeyOn(VariantNode(0, 2), Qt::Key_Up, Qt::ControlModifier);
    // The free slot the answer left is the last one now: no row shows it.
    EXPECT_EQ(OutlineText(), "Start [0]\n  Go on [2]\n  Number [2]\nEmpty [1]\nNext [1]\n");
    EXPECT_EQ(Selected(), VariantNode(0, 1));
    seam->ExpectTextEditor([](TForm2& form) { form.N2Click(); });
    KeyOn(DialogNode(1), Qt::Key_Tab);
    TakeBackActivation();
    EXPECT_EQ(QApplication::focusWidget(), &Tree());

    // A value typed into the selected dialog's grid is committed when the right-clicked variant
    // takes the selection; "Вверх" then moves that variant. On a variant Tab is used up for
    // nothing.
    TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("Typed"));
    RightClick(VariantNode(0, 1), [&](QMenu& menu) { Choose(menu, window->N21); });
    EXPECT_EQ(P().DialogAt(1)->Header, "Typed");
    EXPECT_EQ(OutlineText(), "Start [0]\n  Number [2]\n  Go on [2]\nEmpty [1]\nNext [1]\n");
    EXPECT_EQ(Selected(), VariantNode(0, 0));
    KeyOn(VariantNode(0, 0), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &Tree());
}

TEST_F(OutlineTest, NothingIsSelectedThatTheUserDidNotPick) {
    // The focus coming back (after a message box, a file dialog, a menu) selects nothing.
    auto refocus = [&] {
        window->v1->setFocus();
        FocusOutline();
    };
    refocus();
    EXPECT_FALSE(Selected().isValid());
    EXPECT_FALSE(window->v1->isVisible());
    // Rename from a menu opened with nothing selected does nothing.
    RightClick(Node(), [&](QMenu& menu) { Choose(menu, window->N26); });
    EXPECT_FALSE(Selected().isValid());
    EXPECT_FALSE(EditingCaption());
    // That menu had nothing to enable; Ins works all the same on a dialog selected since.
    KeyOn(DialogNode(1), Qt::Key_Insert);
    TypeCaption(QStringLiteral("Added"));
    refocus();
    EXPECT_EQ(Selected(), VariantNode(1, 0));
}

TEST_F(OutlineTest, AClickArmsACaptionEditThatAnyCommandCancelsAndTabEndsItInPlace) {
    const int wait = QApplication::doubleClickInterval() + 100;
    Select(DialogNode(1));
    ClickNode(DialogNode(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return EditingCaption(); }, wait));
    Press(Qt::Key_Escape);
    // A key right after the click is a command of its own, and no caption edit follows it; the
    // text typed for the variant that Ins adds is that variant's caption.
    for (Qt::Key key : {Qt::Key_Insert, Qt::Key_C}) {
        ClickNode(Selected());
        Press(key, key == Qt::Key_C ? Qt::ControlModifier : Qt::NoModifier);
        if (EditingCaption()) TypeCaption(QStringLiteral("Added"));
        QTest::qWait(wait);
        EXPECT_FALSE(EditingCaption()) << key;
    }

    // Tab ends the edit as Enter does and stays on the node.
    Select(DialogNode(0));
    window->N26Click();
    Press(Qt::Key_A, Qt::ControlModifier);
    TypeText(QApplication::focusWidget(), QStringLiteral("Renamed"));
    Press(Qt::Key_Tab);
    EXPECT_FALSE(EditingCaption());
    EXPECT_EQ(Selected(), DialogNode(0));
    EXPECT_EQ(P().Dialogs()->Hint, "Renamed");
    EXPECT_EQ(Caption(DialogNode(1)), QStringLiteral("Empty"));
}

TEST_F(OutlineTest, DoubleClickFollowsALinkToItsDialogOnly) {
    for (Node node : {VariantNode(0, 0), VariantNode(0, 2), DialogNode(1)}) {
        ClickNode(node);
        QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier,
                           Tree().visualRect(node).center());
        EXPECT_EQ(Selected(), node == VariantNode(0, 0) ? DialogNode(2) : node);
    }
}

} // namespace
} // namespace kv::test
