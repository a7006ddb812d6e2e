// The text editor window over a dialog's message: the lines it opens with, the keys that save and
// discard, the line count, and what is written back.
#include "editor_fixture.h"

#include "editor/property_grids.h"
#include "editor/text_editor_window.h"
#include "text/cp1251.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

namespace kv::test {
namespace {

class TextEditorTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Project p;
        TDialogItem& d = AddDialog(p, 500, "Message");
        d.Text[0] = W("Здравствуй, путник.");
        d.Text[2] = std::string(200, 'w') + " end"; // wider than the window, one line
        OpenProject(p);
        ClickNode(DialogNode(0));
    }
    TDialogItem& D() { return *P().Dialogs(); }
    QString Status() const { return form->LineCount->text(); }
    // Opens the window with the toolbar button; `action` drives it and closes it.
    void Edit(std::function<void(TForm2&)> action) {
        seam->ExpectTextEditor(std::move(action));
        QTest::mouseClick(window->ToolButton7, Qt::LeftButton);
    }
    void Replace(TForm2& w, const QString& text) {
        w.Memo1->selectAll();
        TypeText(w.Memo1, text);
    }
};

TEST_F(TextEditorTest, OpensTheLinesUpToTheLastUsedAndTabSavesThemUnchangedAtANarrowWidth) {
    const auto before = D().Text;
    Edit([&](TForm2& w) {
        EXPECT_EQ(w.Lines(),
                  (QStringList{Q("Здравствуй, путник."), QString(),
                               QString(200, QLatin1Char('w')) + QStringLiteral(" end")}));
        EXPECT_EQ(Status(), Q("Строк: 3/30"));
        w.resize(160, 200); // the long line wraps on screen
        QTest::qWait(0);
        EXPECT_GT(w.Memo1->document()->documentLayout()->documentSize().height(), 3);
        QTest::keyClick(w.Memo1, Qt::Key_Tab);
    });
    EXPECT_EQ(D().Text, before) << "saving an unchanged text must not re-split its lines";
    EXPECT_FALSE(form->Memo1->toPlainText().contains(QLatin1Char('\t')));
}

TEST_F(TextEditorTest, EscDiscardsAndTheCloseBoxSaves) {
    Edit([&](TForm2& w) {
        Replace(w, Q("Новый текст"));
        QTest::keyClick(w.Memo1, Qt::Key_Escape);
    });
    EXPECT_EQ(D().Text[0], W("Здравствуй, путник."));
    EXPECT_FALSE(P().Modified);

    Edit([&](TForm2& w) {
        EXPECT_EQ(w.ResultFlag(), 0) << "the flag is reset each time the window is shown";
        Replace(w, Q("Первая\n\nТретья"));
        w.close();
    });
    std::array<LineString, kTextLineCount> expected{};
    expected[0] = W("Первая");
    expected[2] = W("Третья");
    EXPECT_EQ(D().Text, expected);
    EXPECT_TRUE(P().Modified);
    EXPECT_EQ(window->v1->Value(dialog_row::Text), Q("Первая"));
}

TEST_F(TextEditorTest, CountsLinesLiveAndCutsAtThirtyLinesAnd255Characters) {
    Edit([&](TForm2& w) {
        Replace(w, QString(300, QChar(0x0444)) + QLatin1Char('\n')); // ф
        for (int i = 2; i <= 34; ++i)
            TypeText(w.Memo1, QString::number(i) + (i < 34 ? QStringLiteral("\n") : QString()));
        EXPECT_EQ(Status(), Q("Строк: 34/30  — строка 1 длиннее 255 знаков, ее конец будет "
                              "обрезан  — строки после 30-й не будут сохранены"));
        TypeText(w.Memo1, QString(256, QLatin1Char('x'))); // line 34 is not saved at all
        w.Memo1->moveCursor(QTextCursor::Start);
        w.Memo1->moveCursor(QTextCursor::NextBlock);
        TypeText(w.Memo1, QString(256, QLatin1Char('y')));
        EXPECT_TRUE(Status().contains(Q("строки 1, 2 длиннее 255 знаков, их концы")));
        QTest::keyClick(w.Memo1, Qt::Key_Tab);
    });
    EXPECT_EQ(D().Text[0].view(), std::string(255, '\xF4'));
    EXPECT_EQ(D().Text[1].view(), std::string(255, 'y'));
    EXPECT_EQ(D().Text[29], "30");

    Edit([&](TForm2& w) {
        w.Memo1->selectAll();
        QTest::keyClick(w.Memo1, Qt::Key_Delete);
        EXPECT_EQ(Status(), Q("Строк: 0/30"));
        QTest::keyClick(w.Memo1, Qt::Key_Tab);
    });
    EXPECT_EQ(D().Text, (std::array<LineString, kTextLineCount>{}));
    EXPECT_EQ(window->v1->Value(dialog_row::Text), QString());
}

} // namespace
} // namespace kv::test
