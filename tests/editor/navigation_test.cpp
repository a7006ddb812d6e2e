// Moving through the project: go to a function by its number, and back and forward through the
// places jumped to, also across edits that move them.
#include "editor_fixture.h"

#include "editor/find_bar.h"

#include <QDockWidget>
#include <QLineEdit>

#include <QApplication>
#include <QTest>

namespace kv::test {
namespace {

using Navigation = SlotTest;

TEST_F(Navigation, GoToAndLinksAreJumpsThatBackAndForwardRetrace) {
    seam->ExpectPrompt(QStringLiteral("1001"));
    Press(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Selected(), DialogNode(1));
    EXPECT_EQ(QApplication::focusWidget(), &Tree());
    seam->ExpectPrompt(QStringLiteral("555")).ExpectMessage();
    Press(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(seam->LastCall().text, Q("Нет такой функции!"));
    EXPECT_EQ(Selected(), DialogNode(1));

    // A double click on the answer that leads to T, then a new dialog put in front of nothing
    // that moves: Back and Forward retrace the jumps.
    ClickNode(VariantNode(1, 0));
    QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier,
                       Tree().visualRect(VariantNode(1, 0)).center());
    EXPECT_EQ(Selected(), DialogNode(0));
    Press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Selected(), VariantNode(1, 0));
    Press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Selected(), DialogNode(1));
    Press(Qt::Key_Right, Qt::AltModifier);
    Press(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(Selected(), DialogNode(0));
    EXPECT_FALSE(window->Forward1->isEnabled());

    // The history follows the edits: D moved up by a cut of T and its paste at the end.
    Ctrl(DialogNode(0), Qt::Key_X);
    Ctrl(DialogNode(1), Qt::Key_V);
    Press(Qt::Key_Escape);
    Press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Selected(), VariantNode(0, 0)) << "D's first answer, now D at the top";
}

TEST_F(Navigation, CtrlFFindsAsTypedAndEnterSelectsEachMatchAsAJump) {
    ClickNode(DialogNode(0));
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), window->Finder->FindText);
    TypeText(window->Finder->FindText, QStringLiteral("fb"));
    Press(Qt::Key_Return);
    EXPECT_EQ(Selected(), VariantNode(1, 1)) << "B's condition \"fB\", in either case";
    EXPECT_EQ(QApplication::focusWidget(), window->Finder->FindText) << "Enter again: the next";
    Press(Qt::Key_Escape);
    EXPECT_FALSE(window->FindDock->isVisible());
    Press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Selected(), DialogNode(0));
}

} // namespace
} // namespace kv::test
