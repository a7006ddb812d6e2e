#include "erm/batch_edits.h"
#include "erm/erm_samples.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace kv {
namespace {

using test::W;

TEST(CostSkillPrefix, SkillThenCostsInResourceOrder) {
    TVariantData v;
    EXPECT_EQ(CostSkillPrefix(v), "");

    v.Skill = 8;
    v.Gold = 500;
    v.Wood = 10;
    EXPECT_EQ(CostSkillPrefix(v), W("[Мудрость] [10 дерева] [500 зол.] "));

    // Rewards, the level, the artefact and the variable never show.
    v.Slevel = 3;
    v.giveGems = 4;
    v.Artefact = 9;
    v.Variable = 2;
    v.SVariable = 5;
    EXPECT_EQ(CostSkillPrefix(v), W("[Мудрость] [10 дерева] [500 зол.] "));
}

TEST(CostSkillPrefix, EveryResourceSuffix) {
    TVariantData v;
    for (int r = 0; r < kResourceCount; ++r)
        v.Cost(r) = static_cast<std::uint16_t>(r + 1);
    v.Myth = 65535;
    EXPECT_EQ(CostSkillPrefix(v), W("[1 дерева] [2 ртути] [3 руды] [4 серы] [5 крист.] "
                                    "[6 драг.] [7 зол.] [65535 мифрила] "));
}

TEST(CostSkillPrefix, SkillNamesAtBothEndsAndBeyond) {
    TVariantData v;
    v.Skill = 1;
    EXPECT_EQ(CostSkillPrefix(v), W("[Поиск пути] "));
    v.Skill = 12;
    EXPECT_EQ(CostSkillPrefix(v), W("[Орлиный глаз] "));
    v.Skill = 28;
    EXPECT_EQ(CostSkillPrefix(v), W("[Первая помощь] "));
    v.Skill = 29;
    EXPECT_EQ(CostSkillPrefix(v), W("[Навык 29] "));
    v.Skill = 255;
    EXPECT_EQ(CostSkillPrefix(v), W("[Навык 255] "));
}

// A dialog with slots 0..count-1 in use, captioned by number.
TDialogItem DialogWithSlots(int count) {
    TDialogItem d;
    for (int k = 0; k < count; ++k)
        d.Variant[static_cast<std::size_t>(k)] = std::to_string(k);
    return d;
}

TEST(NumberFollowingVariables, FollowingSlotsGetTheVariableAndAscendingValues) {
    TDialogItem d = DialogWithSlots(6);
    d.Variants[0].Variable = 3;
    d.Variants[1].SVariable = 44;
    d.Variants[2].Variable = 20;
    d.Variants[2].SVariable = 1;
    d.Variants[4].DVariable = -2; // changes the variable and goes on doing so
    d.Variants[4].Gold = 70;
    const TDialogItem before = d;

    EXPECT_TRUE(NumberFollowingVariables(d, 2));
    for (std::size_t j = 3; j < 6; ++j) {
        EXPECT_EQ(d.Variants[j].Variable, 20) << j;
        EXPECT_EQ(d.Variants[j].SVariable, static_cast<int>(j) - 1) << j;
    }
    EXPECT_EQ(d.Variants[4].DVariable, -2);
    EXPECT_EQ(d.Variants[4].Gold, 70);
    for (std::size_t j = 0; j < 3; ++j)
        EXPECT_EQ(d.Variants[j], before.Variants[j]) << j;
    for (std::size_t j = 6; j < 12; ++j)
        EXPECT_EQ(d.Variants[j], before.Variants[j]) << j;
}

TEST(NumberFollowingVariables, StopsAtTheFirstFreeSlot) {
    TDialogItem d = DialogWithSlots(3);
    d.Function[4] = 1005; // in use by its follow-up alone, but behind the free slot 3
    d.Variant[1].clear();
    d.Function[1] = 1004; // in use without a caption
    d.Variants[0].Variable = 5;
    d.Variants[0].SVariable = 10;

    EXPECT_TRUE(NumberFollowingVariables(d, 0));
    EXPECT_EQ(d.Variants[1].Variable, 5);
    EXPECT_EQ(d.Variants[1].SVariable, 11);
    EXPECT_EQ(d.Variants[2].SVariable, 12);
    EXPECT_EQ(d.Variants[3].Variable, 0);
    EXPECT_EQ(d.Variants[4].Variable, 0);
    EXPECT_EQ(d.Variants[4].SVariable, 0);
}

TEST(NumberFollowingVariables, LastSlotIsAModelWithNothingToNumber) {
    TDialogItem d = DialogWithSlots(12);
    d.Variants[11].Variable = 1;
    const TDialogItem before = d;
    EXPECT_TRUE(NumberFollowingVariables(d, 11));
    EXPECT_EQ(d.Variants, before.Variants);
}

TEST(NumberFollowingVariables, SlotThatSetsNoVariableIsNoModel) {
    TDialogItem d = DialogWithSlots(4);
    const auto check = [&](std::int32_t variable, std::int32_t change) {
        d.Variants[1].Variable = variable;
        d.Variants[1].DVariable = change;
        const TDialogItem before = d;
        EXPECT_FALSE(NumberFollowingVariables(d, 1)) << variable << " " << change;
        EXPECT_EQ(d.Variants, before.Variants) << variable << " " << change;
    };
    check(5, 1);
    check(5, -1);
    check(0, 0);
    check(-4, 0);

    d.Variants[1].DVariable = 0;
    d.Variants[1].Variable = 5;
    EXPECT_FALSE(NumberFollowingVariables(d, -1));
    EXPECT_FALSE(NumberFollowingVariables(d, 12));
}

TEST(NumberFollowingVariables, SetValuesKeepTheirLowBitsPastTheLargest) {
    TDialogItem d = DialogWithSlots(3);
    d.Variants[0].Variable = 1;
    d.Variants[0].SVariable = std::numeric_limits<std::int32_t>::max();
    EXPECT_TRUE(NumberFollowingVariables(d, 0));
    EXPECT_EQ(d.Variants[1].SVariable, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(d.Variants[2].SVariable, std::numeric_limits<std::int32_t>::min() + 1);
}

} // namespace
} // namespace kv
