#include "check/check_project.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace kv {
namespace {

using E = std::tuple<Severity, std::int32_t, int, ProblemField>; // function, answer, field
constexpr Severity kErr = Severity::Error;
constexpr Severity kWarn = Severity::Warning;
using F = ProblemField;

const std::string kMarker = "\n;Korvanthiel data begin>>>>>\n";

// Dialog 100 leads to 101 through its first answer; the script above its marker enters 100.
Project CleanProject() {
    Project project;
    TDialogItem* first = project.AppendDialog();
    TDialogItem* second = project.AppendDialog();
    first->FunctionNumber = 100;
    first->Variant[0] = "a";
    first->LinkDialog[0] = second;
    first->Variant[1] = "b";
    second->FunctionNumber = 101;
    second->Variant[0] = "c";
    return project;
}

TDialogItem& Add(Project& project, std::int32_t n, std::int32_t next = 0) {
    TDialogItem* d = project.AppendDialog();
    d->FunctionNumber = n;
    d->Variant[0] = "x";
    d->Function[0] = next;
    return *d;
}

TEST(CheckProject, EachRuleFindsItsProblemsAndNothingElse) {
    struct Case {
        const char* rule;
        std::function<void(Project&, std::string&)> edit;
        std::vector<E> expected;
    } cases[] = {
        {"clean", [](Project&, std::string&) {}, {}},
        {"the same number twice",
         [](Project& p, std::string&) { Add(p, 101); },
         {{kErr, 101, 0, F::FunctionNumber}}},
        {"a number the script defines above its marker only",
         [](Project&, std::string& s) { s = "!?FU101&v1=2;" + kMarker + "!?FU100;"; },
         {{kErr, 101, 0, F::FunctionNumber}}},
        {"carets",
         [](Project& p, std::string&) {
             p.Dialogs()->Header = "a^b";
             p.Dialogs()->Variant[1] = "b^";
             p.Dialogs()->Variants[0].FailOn = "&v1=1^";
             p.Dialogs()->Variants[1].FailOn = "|v2=0";
         },
         {{kErr, 100, 0, F::Header}, {kErr, 100, 1, F::FailOn}, {kErr, 100, 2, F::Caption}}},
        {"a condition without its sign",
         [](Project& p, std::string&) { p.DialogAt(1)->Variants[0].FailOn = "v1=1"; },
         {{kErr, 101, 1, F::FailOn}}},
        {"masks too wide, refused only where the choice code is written",
         [](Project& p, std::string&) {
             p.Dialogs()->VariantEscape = 31;
             p.Dialogs()->VariantDefault = 32;
             p.DialogAt(1)->Variant[0] = "";
             p.DialogAt(1)->VariantEscape = 40;
             p.DialogAt(1)->VariantDefault = 40;
         },
         {{kErr, 100, 0, F::VariantEscape}, {kErr, 100, 0, F::VariantDefault}}},
        {"follow-ups to functions nobody defines",
         [](Project& p, std::string& s) {
             s = "!?FU777;" + kMarker;
             p.DialogAt(1)->Function[0] = 555;
             p.DialogAt(1)->Variant[1] = "d";
             p.DialogAt(1)->Function[1] = 777;
         },
         {{kWarn, 101, 1, F::FollowUp}}},
        {"slot 0 free and a gap",
         [](Project& p, std::string&) {
             p.DialogAt(1)->Variant[0] = "";
             p.DialogAt(1)->Variant[2] = "e";
         },
         {{kWarn, 101, 1, F::Caption}, {kWarn, 101, 2, F::Caption}}},
        {"default and escape at free slots",
         [](Project& p, std::string&) {
             p.Dialogs()->VariantDefault = 3;
             p.Dialogs()->VariantEscape = 12;
             p.Dialogs()->Variants[0].Skill = 4; // a level test can fail
             p.Dialogs()->Variants[0].Slevel = 1;
             p.DialogAt(1)->VariantEscape = 4;
             p.DialogAt(1)->Variants[0].Gold = 10; // so can a cost
             p.DialogAt(1)->Function[0] = 102;
             TDialogItem& third = Add(p, 102);
             third.VariantEscape = 4; // only a skill without a level: nothing can fail
             third.Variants[0].Skill = 3;
         },
         {{kWarn, 100, 0, F::VariantEscape},
          {kWarn, 100, 0, F::VariantDefault},
          {kWarn, 101, 0, F::VariantEscape}}},
        {"skills and levels out of the game's range",
         [](Project& p, std::string&) {
             p.Dialogs()->Variants[0].Skill = 29;
             p.Dialogs()->Variants[1].Skill = 5;
             p.Dialogs()->Variants[1].Slevel = 4;
             p.DialogAt(1)->Variants[0].Slevel = 9; // without a skill the level is never read
         },
         {{kWarn, 100, 1, F::Skill}, {kWarn, 100, 2, F::Slevel}}},
        {"dialogs nothing leads to",
         [](Project& p, std::string& s) {
             s = "!!FU106:P;" + kMarker + "!!FU105:P;";
             Add(p, 102, 102); // only itself
             Add(p, 103, 103); // itself, and 104
             Add(p, 104, 103); // another dialog's own ERM runs it
             p.Dialogs()->ScriptAfter = "!!DO104/1/3/1:P;";
             Add(p, 105); // called below the marker only
             Add(p, 106); // the script calls it
         },
         {{kWarn, 102, 0, F::None}, {kWarn, 105, 0, F::None}}},
        {"a script without its marker",
         [](Project&, std::string& s) { s = "ZVSE\r\n"; },
         {{kWarn, 0, 0, F::None}}},
    };
    for (const Case& c : cases) {
        Project project = CleanProject();
        std::string script = "ZVSE" + kMarker;
        c.edit(project, script);
        std::vector<E> found;
        for (const Problem& p : CheckProject(project, ScanScript(script)))
            found.emplace_back(p.severity, p.function, p.answer, p.field);
        EXPECT_EQ(found, c.expected) << c.rule;
    }
}

} // namespace
} // namespace kv
