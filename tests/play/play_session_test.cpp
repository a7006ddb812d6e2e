// A run played by hand: choices, the author's hero, back, restart, and a dialog deleted meanwhile.
#include "play/play_session.h"
#include "text/error.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(PlaySession, GoesBackAndRestartsWithTheHeroTheAuthorSet) {
    Project p;
    TDialogItem& a = *p.AppendDialog();
    TDialogItem& b = *p.AppendDialog();
    a.FunctionNumber = 100;
    b.FunctionNumber = 200;
    a.Variant[0] = "to b";
    a.LinkDialog[0] = &b;
    a.Variant[1] = "set v7, stay";
    a.Variants[1].Variable = 7;
    a.Variants[1].SVariable = 3;
    a.LinkDialog[1] = &a;
    b.Variant[0] = "leave";
    b.Function[0] = 999;

    PlaySession run(p, a, {});
    HeroState hero;
    hero.resources[6] = 5;
    run.SetHero(hero);
    run.Choose(2);
    EXPECT_EQ(run.Current(), &a);
    EXPECT_EQ(run.Hero().Variable(7), 3);
    EXPECT_THROW(run.Choose(3), Error);
    run.Choose(1);
    run.Choose(1);
    EXPECT_EQ(run.Current(), nullptr);
    EXPECT_EQ(run.Steps().back().next, 999);

    ASSERT_TRUE(run.Back());
    EXPECT_EQ(run.Current(), &b);
    p.RemoveDialog(1);
    run.Reshow();
    EXPECT_TRUE(run.Lost());
    EXPECT_EQ(run.Current(), nullptr);

    run.Restart();
    EXPECT_EQ(run.Current(), &a);
    EXPECT_TRUE(run.Steps().empty());
    EXPECT_EQ(run.Hero(), hero);
    EXPECT_FALSE(run.Back());
}

} // namespace
} // namespace kv
