#include "erm/batch_edits.h"
#include "text/cp1251.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>
#include <utility>

namespace kv {
namespace {

TEST(CostSkillPrefix, SkillThenCostsInResourceOrder) {
    TVariantData v;
    EXPECT_EQ(CostSkillPrefix(v), "");
    for (int r = 0; r < kResourceCount; ++r)
        v.Cost(r) = static_cast<std::uint16_t>(r + 1);
    v.Myth = 65535;
    v.Skill = 1;
    v.Slevel = 3; // rewards, the level, the artefact and the variable never show
    v.giveGems = 4;
    v.Artefact = 9;
    v.Variable = 2;
    EXPECT_EQ(CostSkillPrefix(v),
              Utf8ToCp1251("[Поиск пути] [1 дерева] [2 ртути] [3 руды] [4 серы] "
                           "[5 крист.] [6 драг.] [7 зол.] [65535 мифрила] "));
    TVariantData s;
    for (const auto& [skill, prefix] :
         {std::pair{12, "[Орлиный глаз] "}, {28, "[Первая помощь] "}, {29, "[Навык 29] "}}) {
        s.Skill = static_cast<std::uint8_t>(skill);
        EXPECT_EQ(CostSkillPrefix(s), Utf8ToCp1251(prefix));
    }
}

TEST(NumberVariables, AnswersInUseAfterTheModelGetItsVariableAndAscendingValues) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    Project p;
    TDialogItem& d = *p.AppendDialog();
    for (std::size_t k : {0, 1, 2, 3, 5})
        d.Function[k] = 1; // in use without a caption; slot 4 is free and ends the run
    d.Variants[1].Variable = 20;
    d.Variants[1].SVariable = kMax - 1;
    d.Variants[2].DVariable = -2;
    NumberVariables(p, {0, 1})->Apply(p);
    auto variable = [&](std::size_t k) {
        return std::tuple{d.Variants[k].Variable, d.Variants[k].DVariable, d.Variants[k].SVariable};
    };
    EXPECT_EQ(variable(0), std::tuple(0, 0, 0));
    EXPECT_EQ(variable(2), std::tuple(20, -2, kMax));
    EXPECT_EQ(variable(3), std::tuple(20, 0, kMin)); // the low 32 bits past the largest value
    EXPECT_EQ(variable(5), std::tuple(0, 0, 0));

    // No model: a variable not above 0, a change instead of a set value, a slot outside.
    for (auto [number, change] : {std::pair{5, 1}, {5, -1}, {0, 0}, {-4, 0}}) {
        d.Variants[0].Variable = number;
        d.Variants[0].DVariable = change;
        EXPECT_EQ(NumberVariables(p, {0, 0}), nullptr) << number << " " << change;
    }
    EXPECT_EQ(NumberVariables(p, {0, -1}), nullptr);
    EXPECT_EQ(NumberVariables(p, {0, 12}), nullptr);
}

} // namespace
} // namespace kv
