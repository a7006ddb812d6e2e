// The outline's context menu (driven by real right clicks while the menu runs its own event
// loop), its shortcuts, in-place caption editing, the double click that follows a link and the
// clipboard keys.
#include "command_harness.h"

#include "editor/outline.h"
#include "editor/property_grids.h"
#include "editor/text_editor_window.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

namespace kv::test {
namespace {

class OutlineInteraction : public CommandTest {
protected:
    // Dialogs "Start" (1000) with variants "Go on" (leading to "Next") and "Number" (leading to
    // function 42 by number only), and "Next" (1001).
    void MakeTwoDialogs() {
        QTreeWidgetItem* start = MakeDialog(QStringLiteral("Start"));
        MakeDialog(QStringLiteral("Next"));
        SetVariantField(MakeVariant(start, QStringLiteral("Go on")), variant_row::Function,
                        QStringLiteral("1001"));
        SetVariantField(MakeVariant(start, QStringLiteral("Number")), variant_row::Function,
                        QStringLiteral("42"));
    }
    // The enabled items of the context menu, by their texts, in menu order.
    std::string Enabled() {
        std::string names;
        for (QAction* a : window->PopupMenu1->actions())
            if (!a->isSeparator() && a->isEnabled()) names += a->text().toStdString() + "|";
        return names;
    }
};

TEST_F(OutlineInteraction, RightClickEnablesForTheNodeUnderTheMouseAndSelectsItAfterTheMenu) {
    MakeTwoDialogs();
    Select(DialogNode(1));
    std::string whileOpen;
    QTreeWidgetItem* selectedWhileOpen = nullptr;
    RightClick(VariantNode(0, 1), [&](QMenu&) {
        whileOpen = Enabled();
        selectedWhileOpen = Selected();
    });
    EXPECT_EQ(whileOpen, "Добавить вариант...|Добавить вариант с диалогом...|Переименовать...|"
                         "Удалить|Вверх|Вниз|");
    EXPECT_EQ(selectedWhileOpen, DialogNode(1)); // the selection moves only once it closed
    EXPECT_EQ(Selected(), VariantNode(0, 1));
    EXPECT_TRUE(window->v2->isVisible());
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("42"));

    RightClick(DialogNode(1), [&](QMenu&) { whileOpen = Enabled(); });
    EXPECT_EQ(whileOpen, "Добавить вариант...|Добавить вариант с диалогом...|"
                         "Добавить к диалогу...|Переименовать...|Изменить текст|Удалить|");
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_TRUE(window->v1->isVisible());

    // Below the last node the menu is for the selected node, which stays selected.
    Select(VariantNode(0, 0));
    RightClick(nullptr, [&](QMenu&) { whileOpen = Enabled(); });
    EXPECT_EQ(whileOpen, "Добавить вариант...|Добавить вариант с диалогом...|Переименовать...|"
                         "Удалить|Вверх|Вниз|");
    EXPECT_EQ(Selected(), VariantNode(0, 0));
}

TEST_F(OutlineInteraction, TheChosenItemRunsOnTheRightClickedNodeAfterItIsSelected) {
    MakeTwoDialogs();
    Select(DialogNode(1));
    // A value typed into the grid of the selected dialog is committed when the right-clicked
    // variant takes the selection, before "Вверх" moves that variant.
    TypeIntoGrid(*window->v1, dialog_row::Header, QStringLiteral("Typed"), false);
    RightClick(VariantNode(0, 1), [&](QMenu& menu) { Choose(menu, window->N21); });
    EXPECT_EQ(P().DialogAt(1)->Header.view(), "Typed");
    EXPECT_EQ(OutlineText(), "Start [1]\n  Number [3]\n  Go on [3]\nNext [1]\n");
    EXPECT_EQ(Selected(), VariantNode(0, 0));
    EXPECT_EQ(window->v2->Value(variant_row::Function), QStringLiteral("42"));

    RightClick(VariantNode(0, 1), [&](QMenu& menu) { Choose(menu, window->N18); });
    EXPECT_EQ(ModelText(P()), "1000 Start\n  0: Number -> #42 {s0/0}\n1001 Next\n");
}

TEST_F(OutlineInteraction, ShortcutsFollowTheEnablingOfTheLastOpeningAndNeedTheOutlineFocus) {
    MakeTwoDialogs();
    RightClick(DialogNode(1), [](QMenu&) {});
    // The menu was last opened for a dialog: Up is disabled, so Ctrl+Up on a variant does
    // nothing, and the tree does not move its cursor either.
    Select(VariantNode(0, 1));
    FocusOutline();
    Press(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(OutlineText(), "Start [1]\n  Go on [3]\n  Number [3]\nNext [1]\n");
    EXPECT_EQ(Selected(), VariantNode(0, 1));

    RightClick(VariantNode(0, 1), [](QMenu&) {});
    FocusOutline();
    Press(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(OutlineText(), "Start [1]\n  Number [3]\n  Go on [3]\nNext [1]\n");

    // With the focus in the grid, the outline's Ins is not the grid's.
    window->v2->setFocus();
    QApplication::processEvents();
    Press(Qt::Key_Insert);
    EXPECT_EQ(P().Dialogs()->SlotsInUse(), 2);
    EXPECT_FALSE(EditingCaption());
}

TEST_F(OutlineInteraction, TabOpensTheTextEditorForADialogAndNeverLeavesTheOutline) {
    MakeTwoDialogs();
    RightClick(DialogNode(1), [](QMenu&) {});
    seam->ExpectTextEditor([](TForm2& form) {
        form.Memo1->setPlainText(QStringLiteral("First line\nSecond"));
        form.N3Click();
    });
    seam->ExpectTextEditor([](TForm2& form) { form.N2Click(); });
    auto opened = [this] { return seam->Count(ScriptedSeam::Kind::TextEditor); };
    P().Modified = false;
    FocusOutline();
    Press(Qt::Key_Tab);
    EXPECT_EQ(opened(), 1);
    EXPECT_EQ(P().DialogAt(1)->Text[0].view(), "First line");
    EXPECT_EQ(P().DialogAt(1)->Text[1].view(), "Second");
    EXPECT_EQ(window->v1->Value(dialog_row::Text), QStringLiteral("First line"));
    EXPECT_TRUE(P().Modified);
    TakeBackActivation();
    EXPECT_EQ(QApplication::focusWidget(), &Tree());

    // The menu's item runs the same command.
    RightClick(DialogNode(0), [&](QMenu& menu) { Choose(menu, window->N17); });
    EXPECT_EQ(opened(), 2);

    // After the menu opened for a variant, Tab is used up and does nothing.
    RightClick(VariantNode(0, 0), [](QMenu&) {});
    FocusOutline();
    Press(Qt::Key_Tab);
    EXPECT_EQ(opened(), 2);
    EXPECT_EQ(QApplication::focusWidget(), &Tree());
}

TEST_F(OutlineInteraction, TheMenuKeyOpensTheMenuForTheSelectedNode) {
    MakeTwoDialogs();
    Select(VariantNode(0, 0));
    FocusOutline();
    std::string whileOpen;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        whileOpen = Enabled();
        Choose(*menu, window->N22);
    });
    // What the platform delivers for the menu key.
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1),
                              Tree().mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&Tree(), &menuKey);
    EXPECT_EQ(whileOpen, "Добавить вариант...|Добавить вариант с диалогом...|Переименовать...|"
                         "Удалить|Вверх|Вниз|");
    EXPECT_EQ(OutlineText(), "Start [1]\n  Number [3]\n  Go on [3]\nNext [1]\n");
}

TEST_F(OutlineInteraction, ACaptionEditedInPlaceIsStoredCutWhenConfirmed) {
    MakeTwoDialogs();
    Select(VariantNode(0, 0));
    P().Modified = false;
    // A second click on the selected node opens its caption, once the double-click time is over.
    QTest::qWait(QApplication::styleHints()->mouseDoubleClickInterval() + 50);
    ClickNode(VariantNode(0, 0));
    ASSERT_TRUE(QTest::qWaitFor([this] { return EditingCaption(); }, 3000));
    TypeCaption(QString(160, QLatin1Char('c')));
    EXPECT_EQ(P().Dialogs()->Variant[0].view(), std::string(150, 'c'));
    EXPECT_EQ(NodeCaption(VariantNode(0, 0)).size(), 160);
    EXPECT_TRUE(P().Modified);
}

TEST_F(OutlineInteraction, DoubleClickFollowsALinkToItsDialogOnly) {
    MakeTwoDialogs();
    DoubleClick(VariantNode(0, 0));
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_TRUE(window->v1->isVisible());
    EXPECT_EQ(window->v1->Value(dialog_row::Function), QStringLiteral("1001"));

    // A follow-up by number only, and a dialog node, lead nowhere.
    DoubleClick(VariantNode(0, 1));
    EXPECT_EQ(Selected(), VariantNode(0, 1));
    DoubleClick(DialogNode(1));
    EXPECT_EQ(Selected(), DialogNode(1));
    QTest::qWait(QApplication::styleHints()->mouseDoubleClickInterval() + 50);
    EXPECT_FALSE(EditingCaption());
}

TEST_F(OutlineInteraction, ClipboardKeysNeedCtrlAloneAndNoCaptionEdit) {
    MakeTwoDialogs();
    Select(DialogNode(1));
    FocusOutline();
    Press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(P().DialogCount(), 2);

    // Ctrl+C while the caption is edited is the caption editor's.
    window->N26Click();
    Press(Qt::Key_C, Qt::ControlModifier);
    Press(Qt::Key_Escape);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(P().DialogCount(), 2);

    Press(Qt::Key_C, Qt::ControlModifier);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(P().DialogCount(), 3);
    EXPECT_TRUE(EditingCaption());
    // While that caption is open, Ctrl+V is the caption editor's too.
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(P().DialogCount(), 3);
}

} // namespace
} // namespace kv::test
