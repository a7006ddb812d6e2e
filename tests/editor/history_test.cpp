// Undo and redo through the window: every editing command is one step, Ctrl+Z walks back to the
// project as it was opened (byte for byte once saved), Ctrl+Y walks forward again, and the
// caption's mark and the menu follow the history.
#include "editor_fixture.h"

#include "editor/property_grids.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "project/tlk_file.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <vector>

namespace kv::test {
namespace {

using History = SlotTest;

TEST_F(History, EveryCommandIsOneStepThatUndoesAndRedoesThroughTheKeys) {
    const QString script = TempPath(QStringLiteral("s.erm"));
    WriteFile(script, "");
    const QString path = TempPath(QStringLiteral("p.tlk"));
    window->N4Click();
    const QByteArray saved = ReadFile(path);
    ASSERT_FALSE(saved.isEmpty());

    struct Step {
        const char* undoText; // the step as "Отменить" names it
        std::function<void()> run;
    };
    const std::vector<Step> steps = {
        {"новый диалог", [&] { Press(Qt::Key_F4); Press(Qt::Key_Escape); }},
        {"диалог следствия", [&] { KeyOn(VariantNode(1, 0), Qt::Key_F6); Press(Qt::Key_Escape); }},
        {"дублирование диалога", [&] { KeyOn(DialogNode(0), Qt::Key_F7); Press(Qt::Key_Escape); }},
        {"добавление к диалогу", [&] {
             Select(DialogNode(0));
             seam->ExpectPrompt(QStringLiteral("1001"));
             window->N19Click();
             Press(Qt::Key_Escape);
         }},
        {"добавление варианта", [&] { KeyOn(DialogNode(0), Qt::Key_Insert); Press(Qt::Key_Escape); }},
        {"добавление варианта с диалогом", [&] {
             seam->ExpectPrompt(QStringLiteral("1000"));
             KeyOn(VariantNode(1, 1), Qt::Key_Insert, Qt::ControlModifier);
             Press(Qt::Key_Escape);
         }},
        {"перемещение варианта вверх", [&] { Ctrl(VariantNode(1, 2), Qt::Key_Up); }},
        {"перемещение варианта вниз", [&] { Ctrl(VariantNode(1, 0), Qt::Key_Down); }},
        {"удаление варианта", [&] { Ctrl(VariantNode(1, 3), Qt::Key_Delete); }},
        {"вставка варианта", [&] {
             Ctrl(VariantNode(1, 0), Qt::Key_C);
             Ctrl(DialogNode(2), Qt::Key_V);
             Press(Qt::Key_Escape);
         }},
        {"перенос диалога", [&] {
             Ctrl(DialogNode(0), Qt::Key_X);
             Ctrl(DialogNode(1), Qt::Key_V);
             Press(Qt::Key_Escape);
         }},
        {"удаление диалога", [&] { Ctrl(DialogNode(2), Qt::Key_Delete); }},
        {"изменение значения", [&] {
             Select(VariantNode(0, 1));
             TypeIntoCell(window->v2, variant_row::Variable, QStringLiteral("7"));
             SetField(window->v2, variant_row::FirstCost + 6, QStringLiteral("500"));
             FocusOutline();
         }},
        {"стоимость в тексте", [&] {
             QTest::mouseClick(window->ToolButton10, Qt::LeftButton);
             Press(Qt::Key_Escape);
         }},
        {"нумерация переменных", [&] { QTest::mouseClick(window->ToolButton12, Qt::LeftButton); }},
        {"переименование", [&] { Select(DialogNode(0)); window->N26Click(); TypeCaption(Q("Ё")); }},
        {"изменение текста", [&] {
             seam->ExpectTextEditor([](TForm2& form) {
                 form.SetLines({QStringLiteral("one"), QStringLiteral("two")});
                 form.N3Click();
             });
             KeyOn(DialogNode(0), Qt::Key_Tab);
             TakeBackActivation();
         }},
        {"выбор файла сценария", [&] { seam->ExpectOpen(script); window->N20->trigger(); }},
    };

    // The project as its file would hold it, every field.
    auto state = [this] { return SerializeProject(P()); };
    std::vector<std::string> states = {state()};
    for (const Step& step : steps) {
        step.run();
        FocusOutline();
        states.push_back(state());
        EXPECT_NE(states.back(), states[states.size() - 2]) << step.undoText << " changed nothing";
        EXPECT_EQ(window->Undo1->text(), Q("Отменить: ") + Q(step.undoText));
        EXPECT_EQ(window->Redo1->text(), Q("Повторить"));
    }
    EXPECT_TRUE(window->isWindowModified());

    for (std::size_t k = steps.size(); k-- > 0;) {
        Press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(state(), states[k]) << "undo of " << steps[k].undoText;
        EXPECT_EQ(window->Redo1->text(), Q("Повторить: ") + Q(steps[k].undoText));
    }
    EXPECT_FALSE(window->Undo1->isEnabled());
    EXPECT_FALSE(P().Modified) << "back at the state saved";
    EXPECT_FALSE(window->isWindowModified());
    window->N4Click();
    EXPECT_EQ(ReadFile(path), saved);

    for (std::size_t k = 0; k < steps.size(); ++k) {
        Press(k % 2 == 0 ? Qt::Key_Y : Qt::Key_Z,
              k % 2 == 0 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(state(), states[k + 1]) << "redo of " << steps[k].undoText;
    }
    EXPECT_TRUE(P().Modified);
    // The outline shows what the project holds after all that.
    EXPECT_EQ(Rows(), P().DialogCount());
    for (int k = 0; k < Rows(); ++k) {
        EXPECT_EQ(Caption(DialogNode(k)), FromCp1251(P().DialogAt(k)->Hint.view()));
        EXPECT_EQ(Rows(DialogNode(k)), P().DialogAt(k)->SlotEnd());
    }
}

TEST_F(History, InATextFieldTheKeysUndoTheTypingAndAnOpenedProjectStartsAFreshHistory) {
    Select(VariantNode(1, 0));
    SetField(window->v2, variant_row::Skill, QStringLiteral("9"));
    TypeIntoCell(window->v2, variant_row::Slevel, QStringLiteral("3"));
    Press(Qt::Key_Z, Qt::ControlModifier);
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(P().DialogAt(1)->Variants[0].Skill, 9) << "the document's step stays";
    Press(Qt::Key_Escape);
    FocusOutline();
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(P().DialogAt(1)->Variants[0].Skill, 1);
    EXPECT_EQ(window->v2->Value(variant_row::Skill), QStringLiteral("1")) << "the grid follows";

    OpenProject(P(), QStringLiteral("again.tlk"));
    EXPECT_FALSE(window->Undo1->isEnabled());
    EXPECT_FALSE(window->Redo1->isEnabled());
}

} // namespace
} // namespace kv::test
