#include "erm/splice.h"
#include "project/ini_import.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace kv {
namespace {

constexpr std::string_view kStamp = "01.02.2024 10:20:30";
const std::string kMarker = "\n;Korvanthiel data begin>>>>>";

std::string Region(std::string_view stamp, std::string_view blocks) {
    return kMarker + "\n;" + std::string(stamp) +
           " Warning - do not touch \"Korvanthiel data begin\" string!" + std::string(blocks) +
           "\r\n";
}

// The project of the worked example: the merchant alone, its follow-up a bare number.
class Splice : public ::testing::Test {
protected:
    Splice() { project.RemoveDialog(1); }

    Project project = ImportIniFile(KORV_TEST_DATA "/erm/merchant.ini");
    const std::string block = kvtest::ReadBytes(KORV_TEST_DATA "/erm/merchant.erm");
};

TEST_F(Splice, KeepsWhatIsAboveTheFirstMarkerThatOpensALine) {
    const std::string firstLine = ";Korvanthiel data begin>>>>>\n;old stamp\nold code\r\n";
    const std::string lookalike = "A\n;korvanthiel data begin>>>>>\n;Korvanthiel data begin>>>>";
    const std::pair<std::string, std::string> cases[] = {
        {"A\r\nB\r\n", "A\r\nB\r\n"}, // the worked example
        {"A", "A"},                   // no marker and no final line end
        {"", ""},
        {"A\r\n;Korvanthiel data begin>>>>>\r\nold\r\n", "A\r"}, // its CR LF stays
        {"A" + kMarker + " old\nold code\r\n", "A"},             // text after ">>>>>" goes too
        {"A" + kMarker + "\nx" + kMarker + "\ny", "A"},          // a second marker goes with it
        {"A" + kMarker + std::string(100000, 'x'), "A"}, // a longer old region leaves no tail
        {firstLine, firstLine},                          // on the first line it is the user's text
        {lookalike, lookalike},                          // another case or a shorter arrow, too
    };
    for (const auto& [old, kept] : cases)
        EXPECT_EQ(SpliceScript(old, project, kStamp), kept + Region(kStamp, block)) << old;

    // Compiling again replaces only the region.
    EXPECT_EQ(SpliceScript(SpliceScript("A\r\nB\r\n", project, kStamp), project, "02.02.2024"),
              "A\r\nB\r\n" + Region("02.02.2024", block));
}

TEST_F(Splice, BlocksFollowTheListAndAnEmptyProjectHasNone) {
    EXPECT_EQ(SpliceScript("A\r\n", Project{}, kStamp), "A\r\n" + Region(kStamp, ""));
    TDialogItem* second = project.AppendDialog();
    second->FunctionNumber = 7;
    second->Hint = "Second";
    EXPECT_EQ(SpliceScript("", project, kStamp), Region(kStamp, block + "\n\n;Second\n!?FU7;"));
}

TEST_F(Splice, CompileWritesTheScriptOrLeavesItAsItWas) {
    kvtest::TempDir folder;
    const std::string script = folder.Path("script.erm"), user = "; mine\r\n!!VRv1:S0;\r\n";
    EXPECT_EQ(kvtest::ErrorOf([&] { CompileScript(project, script, kStamp); }),
              "Не найден выходной файл!");
    EXPECT_THROW(CompileScript(project, "", kStamp), ScriptNotFound);
    EXPECT_THROW(CompileScript(project, folder.Root().string(), kStamp), ScriptNotFound);
    EXPECT_TRUE(folder.Entries().empty());

    kvtest::WriteBytes(script, user);
    const CompileResult result = CompileScript(project, script, kStamp);
    const std::string expected = user + Region(kStamp, block);
    EXPECT_EQ(kvtest::ReadBytes(script), expected);
    EXPECT_EQ(result.dialogs, 1);
    EXPECT_EQ(result.bytes, expected.size());
    project.Dialogs()->VariantEscape = 40; // a mask that does not fit: nothing is written
    EXPECT_THROW(CompileScript(project, script, "later"), Error);
    EXPECT_EQ(kvtest::ReadBytes(script), expected);
    EXPECT_EQ(folder.Entries(), std::set<std::string>{"script.erm"});
}

} // namespace
} // namespace kv
