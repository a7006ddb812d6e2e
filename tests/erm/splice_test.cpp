#include "erm/erm_samples.h"
#include "erm/splice.h"
#include "text/file_io.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace kv {
namespace {

using test::W;

constexpr std::string_view kStamp = "01.02.2024 10:20:30";

std::string Region(std::string_view stamp, std::string_view blocks) {
    return "\n;Korvanthiel data begin>>>>>\n;" + std::string(stamp) +
           " Warning - do not touch \"Korvanthiel data begin\" string!" + std::string(blocks) +
           "\r\n";
}

// The project of the worked example: the merchant alone, its follow-up a bare number.
class SpliceTest : public ::testing::Test {
protected:
    SpliceTest() { test::FillMerchant(*project.AppendDialog(), nullptr); }

    Project project;
    std::string block = test::Golden("merchant.erm");
};

TEST_F(SpliceTest, MerchantBelowTwoLinesOfTheUser) {
    EXPECT_EQ(SpliceScript("A\r\nB\r\n", project, kStamp), "A\r\nB\r\n" + Region(kStamp, block));
}

TEST_F(SpliceTest, CompilingAgainReplacesOnlyTheRegion) {
    const std::string once = SpliceScript("A\r\nB\r\n", project, kStamp);
    EXPECT_EQ(SpliceScript(once, project, "02.02.2024 11:00:00"),
              "A\r\nB\r\n" + Region("02.02.2024 11:00:00", block));
}

TEST_F(SpliceTest, WhereTheKeptTextEnds) {
    // No marker and no final line end: the marker's LF follows the last byte.
    EXPECT_EQ(SpliceScript("A", project, kStamp), "A" + Region(kStamp, block));
    EXPECT_EQ(SpliceScript("", project, kStamp), Region(kStamp, block));

    // Text after ">>>>>" and everything below is replaced.
    EXPECT_EQ(SpliceScript("A\n;Korvanthiel data begin>>>>> old\nold code\r\n", project, kStamp),
              "A" + Region(kStamp, block));

    // Only the first marker counts; a second one below it goes with the old region.
    const std::string twice = "A\n;Korvanthiel data begin>>>>>\nx\n;Korvanthiel data begin>>>>>";
    EXPECT_EQ(SpliceScript(twice, project, kStamp), "A" + Region(kStamp, block));

    // The marker is exact: another case or a shorter arrow is the user's text.
    const std::string lookalike = "A\n;korvanthiel data begin>>>>>\n;Korvanthiel data begin>>>>";
    EXPECT_EQ(SpliceScript(lookalike, project, kStamp), lookalike + Region(kStamp, block));
}

TEST_F(SpliceTest, MarkerOnTheFirstLineIsNotRecognised) {
    const std::string old = ";Korvanthiel data begin>>>>>\n;old stamp\nold code\r\n";
    EXPECT_EQ(SpliceScript(old, project, kStamp), old + Region(kStamp, block));
}

TEST_F(SpliceTest, ProjectWithoutDialogs) {
    Project empty;
    EXPECT_EQ(SpliceScript("A\r\n", empty, kStamp), "A\r\n" + Region(kStamp, ""));
}

TEST_F(SpliceTest, BlocksFollowTheListOrder) {
    TDialogItem* second = project.AppendDialog();
    second->FunctionNumber = 7;
    second->Hint = "Second";
    EXPECT_EQ(SpliceScript("", project, kStamp), Region(kStamp, block + "\n\n;Second\n!?FU7;"));
}

TEST(FormatStamp, DayMonthYearInLocalTime) {
    const char* oldTz = std::getenv("TZ");
    const std::string saved = oldTz ? oldTz : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(FormatStamp(0), "01.01.1970 00:00:00");
    EXPECT_EQ(FormatStamp(1700000000), "14.11.2023 22:13:20");
    setenv("TZ", "MSK-3", 1); // three hours east of UTC
    tzset();
    EXPECT_EQ(FormatStamp(1700000000), "15.11.2023 01:13:20");
    if (oldTz)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

// The message of a failed compile, or a note that it did not fail.
std::string CompileError(const Project& project, const std::string& script) {
    try {
        CompileScript(project, script, kStamp);
    } catch (const Error& e) {
        return e.what();
    }
    return "(compiled without an error)";
}

// Compiling into a real file in a folder of its own.
class CompileTest : public SpliceTest {
protected:
    ~CompileTest() override { SetReplaceFaultHook(nullptr); }

    // Compiles and expects a failure that leaves the script as it was and no stray file.
    void ExpectUntouchedAfterFailure(const std::string& script) {
        const std::string before = test::ReadBytes(script);
        const std::size_t entries = folder.EntryCount();
        EXPECT_THROW(CompileScript(project, script, kStamp), Error);
        EXPECT_EQ(test::ReadBytes(script), before);
        EXPECT_EQ(folder.EntryCount(), entries);
    }

    test::TempDir folder;
    std::string script = folder.File("script.erm");
    std::string user = "; the user's own code\r\n!!VRv1:S0;\r\n";
};

TEST_F(CompileTest, WritesTheSplicedScriptAndReportsIt) {
    test::WriteBytes(script, user);
    const CompileResult result = CompileScript(project, script, kStamp);
    const std::string expected = user + Region(kStamp, block);
    EXPECT_EQ(test::ReadBytes(script), expected);
    EXPECT_EQ(result.dialogs, 1);
    EXPECT_EQ(result.bytes, expected.size());
    EXPECT_EQ(folder.EntryCount(), 1u);

    // Twice: the same file but for the stamp.
    CompileScript(project, script, "03.03.2024 00:00:01");
    EXPECT_EQ(test::ReadBytes(script), user + Region("03.03.2024 00:00:01", block));
}

TEST_F(CompileTest, LongerOldRegionLeavesNoTail) {
    for (int n = 0; n < 50; ++n)
        test::FillMerchant(*project.AppendDialog(), nullptr);
    test::WriteBytes(script, user);
    CompileScript(project, script, kStamp);

    Project small;
    CompileScript(small, script, kStamp);
    EXPECT_EQ(test::ReadBytes(script), user + Region(kStamp, ""));
}

TEST_F(CompileTest, KeepsThePermissions) {
    namespace fs = std::filesystem;
    test::WriteBytes(script, user);
    fs::permissions(script, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    CompileScript(project, script, kStamp);
    EXPECT_EQ(fs::status(script).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(CompileTest, MissingScript) {
    EXPECT_THROW(CompileScript(project, script, kStamp), ScriptNotFound);
    EXPECT_FALSE(std::filesystem::exists(script));
    EXPECT_THROW(CompileScript(project, "", kStamp), ScriptNotFound);
    EXPECT_EQ(CompileError(project, script), "Не найден выходной файл!");
    // A folder is no script file.
    EXPECT_THROW(CompileScript(project, folder.Path().string(), kStamp), ScriptNotFound);
    EXPECT_EQ(folder.EntryCount(), 0u);
}

// The tests may run as root, whom the system lets write any file; the compile goes by the
// permission bits instead, as a read-only file is refused on Windows whoever asks.
TEST_F(CompileTest, ReadOnlyScriptIsRefusedByName) {
    namespace fs = std::filesystem;
    test::WriteBytes(script, user);
    fs::permissions(script, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ExpectUntouchedAfterFailure(script);
    EXPECT_THAT(CompileError(project, script), ::testing::HasSubstr(script));
}

TEST_F(CompileTest, MaskOutOfRangeWritesNothing) {
    test::WriteBytes(script, user + Region("old", block));
    project.Dialogs()->VariantEscape = 40;
    ExpectUntouchedAfterFailure(script);
}

TEST_F(CompileTest, WriteFaultsLeaveTheScriptAsItWas) {
    test::WriteBytes(script, user + Region("old", block));
    for (ReplaceStep failing : {ReplaceStep::CreateTemporary, ReplaceStep::Write,
                                ReplaceStep::Flush, ReplaceStep::PutInPlace}) {
        SetReplaceFaultHook([failing](ReplaceStep step) { return step == failing; });
        SCOPED_TRACE(static_cast<int>(failing));
        ExpectUntouchedAfterFailure(script);
        EXPECT_THAT(CompileError(project, script), ::testing::HasSubstr(script));
    }
}

} // namespace
} // namespace kv
