#include "erm/recovery.h"
#include "erm/splice.h"
#include "project/tlk_file.h"
#include "support/error_text.h"
#include "support/random_project.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace kv {
namespace {

using ::testing::HasSubstr;
constexpr std::string_view kStamp = "01.02.2024 10:20:30";
const std::string kUser = "ZVSE\r\n!?OB1/2/0;\r\n";

std::string Compile(const Project& project) { return SpliceScript(kUser, project, kStamp); }

int HandEdits(const RecoveredProject& r) {
    return static_cast<int>(std::count_if(r.notes.begin(), r.notes.end(), [](const auto& n) {
        return n.kind == NoteKind::HandEdited;
    }));
}

TEST(Recovery, ACompiledProjectRecoversIntoOneThatCompilesToTheSameBytes) {
    kvtest::RandomProjects random(19);
    for (int round = 0; round < 300; ++round) {
        const Project project = random.Next(round % 7);
        const std::string script = Compile(project);
        const RecoveredProject recovered = RecoverProject(script);
        ASSERT_EQ(Compile(recovered.project), script) << "round " << round;
        ASSERT_EQ(HandEdits(recovered), 0) << recovered.notes.front().line << " "
                                           << recovered.notes.front().text;
    }
}

TEST(Recovery, TheShippedExampleRecoversAsItWasCompiled) {
    const Project example = LoadProject(KORV_EXAMPLES "/tavern.tlk");
    const std::string script = Compile(example);
    const RecoveredProject recovered = RecoverProject(script);
    EXPECT_EQ(Compile(recovered.project), script);
    EXPECT_EQ(SerializeProject(recovered.project).substr(0, 20), "");
}

} // namespace
} // namespace kv
