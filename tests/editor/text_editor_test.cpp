// The text editor window over a dialog's message: loading, the keys that save and discard,
// the line count, and what is written back.
#include "editor_fixture.h"

#include "editor/property_grids.h"
#include "editor/text_editor_window.h"
#include "text/cp1251.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

namespace kv::test {
namespace {

class TextEditorTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Project p;
        TDialogItem& d = AddDialog(p, 500, "Message");
        d.Text[0] = Utf8ToCp1251("Здравствуй, путник.");
        d.Text[2] = std::string(200, 'w') + " end"; // wider than the window, one line
        d.Variant[0] = "answer";
        OpenThroughMenu(WriteProject(p));
        ClickNode(DialogNode(0));
        ASSERT_TRUE(window->ToolButton7->isEnabled());
    }
    TDialogItem& D() { return *Model().Dialogs(); }
    QString StatusText() const { return form->LineCount->text(); }
    void ClickEditButton() {
        QTest::mouseClick(window->ToolButton7, Qt::LeftButton);
    }
};

TEST_F(TextEditorTest, OpensTheTrimmedLinesAndTabSavesThemUnchangedAtANarrowWidth) {
    const auto before = D().Text;
    seam->ExpectTextEditor([&](TForm2& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Редактирование текста"));
        EXPECT_EQ(w.Lines(), (QStringList{QStringLiteral("Здравствуй, путник."), QString(),
                                          QString(200, QLatin1Char('w')) + QStringLiteral(" end")}));
        EXPECT_EQ(StatusText(), QStringLiteral("Строк: 3/30"));
        // Narrow: the long line wraps on screen into several display lines.
        w.resize(160, 200);
        QTest::qWait(0);
        EXPECT_GT(w.Memo1->document()->documentLayout()->documentSize().height(), 3);
        QTest::keyClick(w.Memo1, Qt::Key_Tab);
    });
    ClickEditButton();
    EXPECT_EQ(D().Text, before) << "saving an unchanged text must not re-split its lines";
    EXPECT_TRUE(Model().Modified);
    EXPECT_FALSE(form->Memo1->toPlainText().contains(QLatin1Char('\t')));
}

TEST_F(TextEditorTest, EscDiscardsAndTheCloseBoxSaves) {
    seam->ExpectTextEditor([&](TForm2& w) {
        w.Memo1->selectAll();
        TypeText(w.Memo1, QStringLiteral("Новый текст"));
        QTest::keyClick(w.Memo1, Qt::Key_Escape);
    });
    ClickEditButton();
    EXPECT_EQ(D().Text[0], Utf8ToCp1251("Здравствуй, путник."));
    EXPECT_FALSE(Model().Modified);
    EXPECT_EQ(window->v1->Value(dialog_row::Text), QStringLiteral("Здравствуй, путник."));

    seam->ExpectTextEditor([&](TForm2& w) {
        EXPECT_EQ(w.ResultFlag(), 0) << "the flag is reset each time the window is shown";
        w.Memo1->selectAll();
        TypeText(w.Memo1, QStringLiteral("Первая\n\nТретья"));
        w.close();
    });
    ClickEditButton();
    EXPECT_EQ(D().Text[0], Utf8ToCp1251("Первая"));
    EXPECT_TRUE(D().Text[1].empty());
    EXPECT_EQ(D().Text[2], Utf8ToCp1251("Третья"));
    for (std::size_t i = 3; i < D().Text.size(); ++i) EXPECT_TRUE(D().Text[i].empty());
    EXPECT_TRUE(Model().Modified);
    EXPECT_EQ(window->v1->Value(dialog_row::Text), QStringLiteral("Первая"));
}

TEST_F(TextEditorTest, CountsLinesLiveAndCutsAtThirtyLinesAnd255Characters) {
    seam->ExpectTextEditor([&](TForm2& w) {
        w.Memo1->selectAll();
        TypeText(w.Memo1, QString(300, QChar(0x0444)) + QLatin1Char('\n')); // ф
        for (int i = 2; i <= 35; ++i)
            TypeText(w.Memo1, QString::number(i) + (i < 35 ? QStringLiteral("\n") : QString()));
        EXPECT_TRUE(StatusText().startsWith(QStringLiteral("Строк: 35/30")));
        EXPECT_GT(StatusText().size(), QStringLiteral("Строк: 35/30").size())
            << "going over thirty lines is said plainly";
        QTest::keyClick(w.Memo1, Qt::Key_Backspace);
        QTest::keyClick(w.Memo1, Qt::Key_Backspace);
        QTest::keyClick(w.Memo1, Qt::Key_Backspace);
        EXPECT_EQ(StatusText(), QStringLiteral("Строк: 34/30  — строки после 30-й не будут сохранены"));
        QTest::keyClick(w.Memo1, Qt::Key_Tab);
    });
    ClickEditButton();
    EXPECT_EQ(D().Text[0].view(), std::string(255, '\xF4'));
    EXPECT_EQ(D().Text[29], "30");
    EXPECT_EQ(D().Text[1], "2");

    // Everything deleted: all thirty lines empty, and so is the grid's row.
    seam->ExpectTextEditor([&](TForm2& w) {
        w.Memo1->selectAll();
        QTest::keyClick(w.Memo1, Qt::Key_Delete);
        EXPECT_EQ(StatusText(), QStringLiteral("Строк: 0/30"));
        QTest::keyClick(w.Memo1, Qt::Key_Tab);
    });
    ClickEditButton();
    for (const LineString& line : D().Text) EXPECT_TRUE(line.empty());
    EXPECT_EQ(window->v1->Value(dialog_row::Text), QString());
}

TEST_F(TextEditorTest, DoesNothingForAVariantNode) {
    ClickNode(DialogNode(0)->child(0));
    EXPECT_FALSE(window->ToolButton7->isEnabled());
    window->v1EditButtonClick(); // the handler itself refuses a variant node
    EXPECT_EQ(seam->Count(ScriptedSeam::Kind::TextEditor), 0);
    EXPECT_FALSE(Model().Modified);
}

} // namespace
} // namespace kv::test
