#include "erm/recovery.h"
#include "erm/splice.h"
#include "project/tlk_file.h"
#include "support/error_text.h"
#include "support/random_project.h"
#include "support/temp_dir.h"
#include "text/cp1251.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kv {
namespace {

using ::testing::HasSubstr;
constexpr std::string_view kStamp = "01.02.2024 10:20:30";
const std::string kUser = "ZVSE\r\n!?OB1/2/0;\r\n";

std::string Compile(const Project& project) {
    return SpliceScript(kUser, project, kStamp);
}

bool HandEdited(const RecoveryNote& n) {
    return n.kind == NoteKind::HandEdited;
}

TEST(Recovery, ACompiledProjectRecoversIntoOneThatCompilesToTheSameBytes) {
    kvtest::RandomProjects random(19);
    for (int round = 0; round < 300; ++round) {
        const Project project = random.Next(round % 7);
        const std::string script = Compile(project);
        const RecoveredProject recovered = RecoverProject(script);
        ASSERT_EQ(Compile(recovered.project), script) << "round " << round;
        ASSERT_TRUE(std::none_of(recovered.notes.begin(), recovered.notes.end(), HandEdited));
    }
}

// The shipped example compiled into its own script: the tavern's four dialogs, with every kind
// of requirement, reward and follow-up, on script lines 21 to 168.
class RecoverExample : public ::testing::Test {
protected:
    const Project example = LoadProject(KORV_EXAMPLES "/tavern.tlk");
    const std::string script =
        SpliceScript(kvtest::ReadBytes(KORV_EXAMPLES "/tavern.erm"), example, kStamp);
};

TEST_F(RecoverExample, AHandEditIsReportedAtItsLineAndTheRestRecovered) {
    auto replace = [](const char* utf8From, const char* utf8To) {
        return [from = Utf8ToCp1251(utf8From), to = Utf8ToCp1251(utf8To)](std::string& s) {
            s.replace(s.find(from), from.size(), to);
        };
    };
    const struct {
        std::function<void(std::string&)> edit;
        int line;    // of the first report
        int dialogs; // recovered
    } cases[] = {
        {replace("d-50;", "d-60;"), 49, 4},                         // a cost in one line only
        {replace("y-3=1:PE;\n", "y-3=1:PE;\n!!VRv5:S1;\n"), 51, 4}, // a line of the author's
        {replace("M^Стой", ("M^" + std::string(30, '\n') + "Стой").c_str()), 24, 4}, // 32 lines
        {replace("\n;1001 ", "\n;1001\n"), 52, 3},                // the head of a block broken
        {replace("Уйти^;\n!!VRz4", "Уйти\n!!VRz4"), 30, 4},       // a caption line cut short
        {replace(">>>>>", ">>>>> ours"), 18, 4},                  // text after the marker
        {[](std::string& s) { s.resize(s.size() - 2); }, 168, 4}, // the final line end lost
        {[](std::string& s) {                                     // CR LF everywhere
             for (std::size_t at = s.find('\n', s.find(">>>>>")); at != std::string::npos;
                  at = s.find('\n', at + 2))
                 if (s[at - 1] != '\r') s.insert(at, "\r");
         },
         18, 4},
    };
    for (const auto& c : cases) {
        std::string edited = script;
        c.edit(edited);
        const RecoveredProject recovered = RecoverProject(edited);
        auto edit = std::find_if(recovered.notes.begin(), recovered.notes.end(), HandEdited);
        ASSERT_NE(edit, recovered.notes.end()) << c.line;
        EXPECT_EQ(edit->line, c.line);
        EXPECT_EQ(recovered.project.DialogCount(), c.dialogs) << c.line;
        // The last dialog, untouched by every edit but the last three, is whole.
        EXPECT_EQ(recovered.project.LastDialog()->Variant[1], example.LastDialog()->Variant[1]);
    }
}

TEST(Recovery, WhatTheCodeDoesNotCarryIsReported) {
    Project project;
    TDialogItem& d = *project.AppendDialog();
    d.FunctionNumber = 7;
    d.Text[0] = "a";
    d.Text[2] = "^^";        // an empty last line: it held only carets
    d.Variant[0] = "x";      // no requirement that can fail: no escape answer
    d.Variants[0].Skill = 3; // a skill without a level test
    d.VariantEscape = 5;
    const std::string script = Compile(project);
    const RecoveredProject recovered = RecoverProject(script);
    EXPECT_EQ(Compile(recovered.project), script);
    std::vector<int> lines;
    for (const RecoveryNote& n : recovered.notes)
        lines.push_back(HandEdited(n) ? -n.line : n.line);
    EXPECT_EQ(lines, (std::vector<int>{8, 8, 11})); // head line twice, the message's last line
}

TEST(Recovery, AScriptWithoutMarkerOrRegionIsRefused) {
    for (const char* script :
         {"ZVSE\r\n",
          ";Korvanthiel data begin>>>>>\n;x Warning - do not touch "
          "\"Korvanthiel data begin\" string!\r\n", // on the first line
          "A\n;Korvanthiel data begin>>>>>", "A\n;Korvanthiel data begin>>>>>\nnot code\r\n"}) {
        EXPECT_THAT(kvtest::ErrorOf([&] { RecoverProject(script); }),
                    HasSubstr(";Korvanthiel data begin>>>>>"))
            << script;
    }
    // A region without dialogs is an empty project.
    EXPECT_EQ(RecoverProject(Compile(Project{})).project.DialogCount(), 0);
}

} // namespace
} // namespace kv
