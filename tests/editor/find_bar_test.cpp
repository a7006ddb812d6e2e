// The find bar on a document of its own: typing searches in either case, Enter steps through the
// matches and names their places, and replacing is one step of the history.
#include "editor_fixture.h"

#include "editor/find_bar.h"
#include "editor/project_document.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <vector>

namespace kv::test {
namespace {

class FindBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Project& p = doc.project();
        TDialogItem& first = AddDialog(p, 1000, "Карта сокровищ");
        first.Text[2] = W("Старая КАРТА на столе?");
        SetSlot(first, 0, "Взять карту", 1001);
        TDialogItem& second = AddDialog(p, 1001, "Пещера");
        second.Variants[1].FailOn = W("v1=карта");
        SetSlot(second, 1, "Уйти");
        bar.Activate();
        QObject::connect(&bar, &FindBar::MatchActivated,
                         [this](Place place) { places.push_back(place); });
    }
    // Types into a field key by key, as the user does (QTest::keyClicks takes ASCII only).
    static void Type(QLineEdit* field, const char* utf8) {
        field->clear();
        for (QChar c : Q(utf8))
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void Type(const char* utf8) { Type(bar.FindText, utf8); }
    void Enter(Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(bar.FindText, Qt::Key_Return, modifiers);
    }
    QString Count() const { return bar.Count->text(); }

    ProjectDocument doc;
    FindBar bar{doc};
    std::vector<Place> places;
};

TEST_F(FindBarTest, TypingFindsEitherCaseAndEnterStepsThroughTheMatches) {
    Type("кАрТ");
    EXPECT_EQ(Count(), Q("Найдено: 4"));
    Enter();
    Enter();
    Enter();
    Enter();
    Enter();                  // wraps to the first
    Enter(Qt::ShiftModifier); // and back to the last
    const std::vector<Place> steps = {{0, -1}, {0, -1}, {0, 0}, {1, 1}, {0, -1}, {1, 1}};
    EXPECT_EQ(places, steps);

    bar.Captions->setChecked(false);
    EXPECT_EQ(Count(), Q("Найдено: 2")); // the message line and the condition
    bar.List->setCurrentIndex(bar.List->model()->index(1, 0));
    QTest::keyClick(bar.List, Qt::Key_Return);
    EXPECT_EQ(places.back(), (Place{1, 1}));

    Type("☃"); // a character Windows-1251 has not (its stand-in '?' is in the project)
    EXPECT_EQ(Count(), Q("Не найдено"));
    EXPECT_TRUE(bar.Matches().empty());
}

TEST_F(FindBarTest, ReplaceAllIsOneUndoStepAndTheListFollowsTheHistory) {
    Type("карт");
    Type(bar.ReplaceText, "схем");
    bar.ReplaceAllButton->click();
    EXPECT_EQ(Count(), Q("Заменено: 4, обрезано: 0"));
    EXPECT_EQ(doc.project().Dialogs()->Hint.str(), W("схема сокровищ"));
    EXPECT_EQ(doc.project().DialogAt(1)->Variants[1].FailOn.str(), W("v1=схема"));
    EXPECT_TRUE(bar.Matches().empty());
    EXPECT_EQ(doc.undoStack().count(), 1);

    doc.undoStack().undo();
    EXPECT_EQ(doc.project().Dialogs()->Hint.str(), W("Карта сокровищ"));
    EXPECT_EQ(Count(), Q("Найдено: 4"));

    // One replacement: the first press goes to the first match, the next replaces it and moves on.
    bar.ReplaceButton->click();
    bar.ReplaceButton->click();
    EXPECT_EQ(doc.project().Dialogs()->Hint.str(), W("схема сокровищ"));
    EXPECT_EQ(doc.project().Dialogs()->Text[2].str(), W("Старая КАРТА на столе?"));
    EXPECT_EQ(bar.Matches().size(), 3u);
    const std::vector<Place> steps = {{0, -1}, {0, -1}};
    EXPECT_EQ(places, steps);

    QTest::keyClick(bar.FindText, Qt::Key_Escape);
    EXPECT_TRUE(bar.isHidden());
}

} // namespace
} // namespace kv::test
