// The play window: the author sets up the hero, clicks two answers and goes back one step.
#include "editor_fixture.h"

#include "editor/hero_panel.h"
#include "editor/play_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace kv::test {
namespace {

TEST(PlayWindow, PlaysTwoStepsByTheButtonsAndGoesBack) {
    Project p;
    TDialogItem& shop = AddDialog(p, 1000, "shop");
    shop.VariantEscape = 1;
    shop.VariantDefault = 1;
    SetSlot(shop, 0, "Buy", 1001);
    shop.Variants[0].Gold = 30;
    SetSlot(shop, 1, "Leave");
    SetSlot(shop, 2, "Flagged");
    shop.Variants[2].FailOn = "&1";
    TDialogItem& thanks = AddDialog(p, 1001, "thanks");
    SetSlot(thanks, 0, "Bye", 2000);
    thanks.Variants[0].Variable = 7;
    thanks.Variants[0].SVariable = 5;

    PlayWindow w(p, 0);
    std::vector<int> entered;
    QObject::connect(&w, &PlayWindow::DialogEntered, [&](int k) { entered.push_back(k); });
    w.show();
    QSpinBox* gold = w.Hero->Resources[6];
    gold->setValue(100);
    EXPECT_EQ(w.Session().Hero().resources[6], 100);
    // The unknown condition is the author's to answer.
    ASSERT_TRUE(w.Assumed[2]);
    EXPECT_TRUE(w.Answers[2]->isEnabled());
    QTest::mouseClick(w.Assumed[2], Qt::LeftButton);
    EXPECT_FALSE(w.Answers[2]->isEnabled());

    QTest::mouseClick(w.Answers[0], Qt::LeftButton);
    EXPECT_EQ(w.Title->text(), Q("Функция 1001: thanks"));
    EXPECT_EQ(gold->value(), 70);
    QTest::mouseClick(w.Answers[0], Qt::LeftButton);
    EXPECT_EQ(w.Status->text(), Q("Игра вызвала бы функцию 2000: в проекте такого диалога нет."));
    EXPECT_EQ(w.Session().Hero().Variable(7), 5);
    EXPECT_EQ(entered, std::vector<int>{1});

    QTest::mouseClick(w.BackButton, Qt::LeftButton);
    EXPECT_EQ(w.Title->text(), Q("Функция 1001: thanks"));
    EXPECT_EQ(w.Session().Hero().Variable(7), 0);
    EXPECT_EQ(entered, (std::vector<int>{1, 1}));
    EXPECT_TRUE(w.Transcript->toPlainText().contains(Q("Выбран вариант 1")));
}

} // namespace
} // namespace kv::test
