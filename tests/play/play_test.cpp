// The simulator against runs worked out by hand from the code the generator writes.
#include "play/condition.h"
#include "play/simulator.h"
#include "text/cp1251.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kv {
namespace {

TDialogItem& Add(Project& project, std::int32_t n) {
    TDialogItem& d = *project.AppendDialog();
    d.FunctionNumber = n;
    return d;
}

// 100 is the merchant of the generator's worked example; 101 shows its message and no choice;
// 200 asks for skills; 300 changes v7 and leads back to itself; 400 redirects to an escape
// answer that has a cost of its own.
Project Dialogs() {
    Project p;
    TDialogItem& merchant = Add(p, 100);
    TDialogItem& gate = Add(p, 101);
    merchant.Text[0] = "Hello, traveller!";
    merchant.Text[1] = "Buy a ^map?";
    merchant.VariantEscape = 1;
    merchant.VariantDefault = 1;
    merchant.Variant[0] = "Buy a map (500 gold)";
    merchant.Variants[0].Gold = 500;
    merchant.LinkDialog[0] = &gate;
    merchant.Variant[1] = "Leave";
    gate.Text[0] = Utf8ToCp1251("Карта ваша.");
    gate.Variant[1] = "later slots do not count";

    TDialogItem& skills = Add(p, 200);
    skills.Variant[0] = "a";
    skills.Variant[1] = "b";
    skills.Variants[1].Skill = 5;
    skills.Variants[1].Slevel = 2;
    skills.Variant[2] = "c";
    skills.Variants[2].Skill = 6;

    TDialogItem& vars = Add(p, 300);
    const std::pair<std::int32_t, std::int32_t> changes[] = {{3, 99}, {-5, 99}, {0, 4}};
    for (int k = 0; k < 3; ++k) {
        vars.Variant[k] = "v";
        vars.Variants[k].Variable = 7;
        vars.Variants[k].DVariable = changes[k].first;
        vars.Variants[k].SVariable = changes[k].second;
        vars.LinkDialog[k] = &vars;
    }
    vars.Variant[3] = "artefact";
    vars.Variants[3].Artefact = 5;
    vars.Variants[3].giveCryst = 2;
    vars.Function[3] = 2000;
    vars.Variant[4] = "v7 below 10";
    vars.Variants[4].FailOn = "&v7>=10";
    vars.Variant[5] = "flag";
    vars.Variants[5].FailOn = "&1";

    TDialogItem& escape = Add(p, 400);
    escape.VariantEscape = 1;
    escape.Variant[0] = "a";
    escape.Variants[0].Gold = 10;
    escape.Variant[1] = "b";
    escape.Variants[1].Gold = 50;
    return p;
}

// "function [offered] chosen>applied «message»... | state | next", in UTF-8.
std::string Summary(const Step& step) {
    std::string out = std::to_string(step.showing.function) + " [";
    for (int k : step.showing.Offered())
        out += (out.back() == '[' ? "" : ",") + std::to_string(k);
    out += "] " + std::to_string(step.chosen) + ">" + std::to_string(step.applied);
    for (const std::string& m : step.messages)
        out += " <" + Cp1251ToUtf8(m) + ">";
    out += " |";
    for (int r = 0; r < kResourceCount; ++r) {
        if (const auto amount = step.after.resources[static_cast<std::size_t>(r)])
            out += " " + std::string(ResourceKey(r)) + "=" + std::to_string(amount);
    }
    for (const auto& [n, value] : step.after.variables)
        out += " v" + std::to_string(n) + "=" + std::to_string(value);
    for (auto a : step.after.artefacts)
        out += " a" + std::to_string(a);
    return out + " | " + (step.next ? std::to_string(*step.next) : "-");
}

TEST(Play, RunsAsTheGeneratedCodeWould) {
    const Project project = Dialogs();
    struct Case {
        const char* what;
        std::int32_t start;
        std::vector<std::pair<const char*, int>> hero;
        std::vector<int> choices;
        bool assumeHidden;
        std::vector<const char*> steps;
        RunEnd end;
    };
    // clang-format off
    const Case cases[] = {
        {"enough gold: the link is followed into a dialog without a choice", 100,
         {{"gold", 500}}, {1}, false,
         {"100 [1,2] 1>1 <Hello, traveller!\nBuy a map?> | v1=1 | 101",
          "101 [] 0>0 <Карта ваша.> | v1=1 | -"},
         RunEnd::NoChoice},
        {"too little gold: the escape answer applies, nothing is taken", 100,
         {{"gold", 499}}, {1}, false,
         {"100 [1,2] 1>2 <Hello, traveller!\nBuy a map?> <Необходимо: золото 500> | gold=499 "
          "v1=1 | -"},
         RunEnd::NoFollowUp},
        {"no skill hides; the caption pass leaves the last level read in v1", 200, {}, {}, false,
         {"200 [1] 0>0 | v1=0 | -"}, RunEnd::ChoicesUsed},
        {"a hidden answer cannot be chosen", 200, {}, {2}, false, {"200 [1] 0>0 | v1=0 | -"},
         RunEnd::NotOffered},
        {"level below Slevel fails", 200, {{"skill5", 1}}, {2}, false,
         {"200 [1,2] 2>1 <[неудачно] (Дипломатия)> | v1=2 | -"}, RunEnd::NoFollowUp},
        {"level enough; a skill without a level is only shown", 200,
         {{"skill5", 2}, {"skill6", 1}}, {2}, false, {"200 [1,2,3] 2>2 | v1=2 | -"},
         RunEnd::NoFollowUp},
        {"add, subtract, set, then an artefact and a call outside", 300, {{"v7", 10}},
         {1, 2, 3, 4}, false,
         {"300 [1,2,3,4,6] 1>1 | v1=1 v7=13 | 300", "300 [1,2,3,4,6] 2>2 | v1=2 v7=8 | 300",
          "300 [1,2,3,4,5,6] 3>3 | v1=4 v7=4 | 300",
          "300 [1,2,3,4,5,6] 4>4 <Вы получаете: кристаллы 2> <Вы получаете: артефакт 5> | "
          "crystal=2 v1=8 v7=4 a5 | 2000"},
         RunEnd::LeftProject},
        {"an unknown condition assumed to hold", 300, {}, {}, true, {"300 [1,2,3,4,5] 0>0 | | -"},
         RunEnd::ChoicesUsed},
        {"the escape answer's own cost is taken unchecked", 400, {}, {1}, false,
         {"400 [1,2] 1>2 <Необходимо: золото 10> | gold=-50 v1=1 | -"}, RunEnd::NoFollowUp},
    };
    for (const Case& c : cases) {
        HeroState hero;
        for (const auto& [name, value] : c.hero)
            SetHeroValue(hero, name, value);
        const bool hide = c.assumeHidden;
        const Playthrough run = PlayRun(project, *project.FindByFunction(c.start), c.choices, hero,
                                [hide](const TDialogItem&, int) { return hide; });
        std::vector<std::string> steps;
        for (const Step& step : run.steps)
            steps.push_back(Summary(step));
        EXPECT_EQ(steps, std::vector<std::string>(c.steps.begin(), c.steps.end())) << c.what;
        EXPECT_EQ(run.end, c.end) << c.what;
    }
}

TEST(Play, ReadsTheCommonConditionFormsAndNothingElse) {
    HeroState hero;
    hero.SetVariable(7, 2);
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"&v7=2", true},          {"&v7=1", false},         {"&v7<>2", false},
        {"&v7<>1", true},         {"&v7>1", true},          {"&v7>2", false},
        {"&v7<3", true},          {"&v7<2", false},         {"&v7>=2", true},
        {"&v7>=3", false},        {"&v7<=2", true},         {"&v7<=1", false},
        {"&v7>-3", true},         {"&v7=2/v8=0", true},     {"&v7=2/v8=1", false},
        {"|v7=1/v8=0", true},     {"|v7=1/v8=1", false},    {"&1", std::nullopt},
        {"v7=2", std::nullopt},   {"&v7=v8", std::nullopt}, {"&z1=1", std::nullopt},
        {"&v7==2", std::nullopt}, {"&v7=2/", std::nullopt}, {"&v0=0", std::nullopt},
        {"&v7=$2", std::nullopt}, {"&v=2", std::nullopt},
    };
    for (const auto& [condition, expected] : cases)
        EXPECT_EQ(EvaluateCondition(condition, hero), expected) << condition;
}

} // namespace
} // namespace kv
