// `korvanthiel-cli compile` driven as a build script drives it: the real binary, its exit status,
// its output streams and the script file it leaves.
#include "erm/erm_samples.h"
#include "erm/splice.h"
#include "project/tlk_file.h"
#include "text/cp1251.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace kv {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// SOURCE_DATE_EPOCH 1700000000 in UTC.
constexpr const char* kEpoch = "1700000000";
constexpr const char* kEpochStamp = "14.11.2023 22:13:20";

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliCompile : public ::testing::Test {
protected:
    CliCompile() {
        // The merchant and the dialog its first answer leads to; the script beside the project.
        project.ScriptFile = "script.erm";
        TDialogItem& merchant = *project.AppendDialog();
        TDialogItem& target = *project.AppendDialog();
        test::FillMerchant(merchant, &target);
        merchant.Hint = Utf8ToCp1251("Торговец");
        target.FunctionNumber = 101;
        target.Hint = "Map";
        SaveProject(project, Path("quest.tlk"));
        test::WriteBytes(Path("script.erm"), user);
    }

    std::string Path(const std::string& name) const { return folder.File(name); }
    std::string Script() const { return test::ReadBytes(Path("script.erm")); }

    // Runs the tool in `workDir` with the given environment settings and arguments.
    CliRun Cli(const std::string& arguments, const std::string& environment = "",
               const std::string& workDir = "") {
        const std::string out = Path("stdout.txt");
        const std::string err = Path("stderr.txt");
        std::string command;
        if (!workDir.empty()) command += "cd " + Quoted(workDir) + " && ";
        command += "env " + environment + " " + Quoted(KORV_CLI) + " " + arguments + " >" +
                   Quoted(out) + " 2>" + Quoted(err);
        const int raw = std::system(command.c_str());
        CliRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = test::ReadBytes(out);
        run.err = test::ReadBytes(err);
        fs::remove(out);
        fs::remove(err);
        return run;
    }

    std::string Reproducible() const { return std::string("TZ=UTC0 SOURCE_DATE_EPOCH=") + kEpoch; }
    std::string ProjectArg() const { return Quoted(Path("quest.tlk")); }

    test::TempDir folder;
    Project project;
    std::string user = "; the modder's own code\r\n!!VRv1:S0;\r\n";
};

TEST_F(CliCompile, WritesTheProjectsScriptBelowTheUsersText) {
    const CliRun run = Cli("compile " + ProjectArg(), Reproducible());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const std::string written = Script();
    EXPECT_EQ(written, SpliceScript(user, project, kEpochStamp));
    EXPECT_EQ(written.compare(0, user.size(), user), 0);
    EXPECT_THAT(written, HasSubstr("\n;" + Utf8ToCp1251("Торговец") + "\n!?FU100;"));

    // One line: how many dialogs, how many bytes, which file.
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
    EXPECT_THAT(run.out, HasSubstr("2 dialogs"));
    EXPECT_THAT(run.out, HasSubstr(std::to_string(written.size()) + " bytes"));
    EXPECT_THAT(run.out, HasSubstr("script.erm"));
}

TEST_F(CliCompile, SourceDateEpochMakesTheScriptReproducible) {
    ASSERT_EQ(Cli("compile " + ProjectArg(), Reproducible()).status, 0);
    const std::string first = Script();
    ASSERT_EQ(Cli("compile " + ProjectArg(), Reproducible()).status, 0);
    EXPECT_EQ(Script(), first);

    ASSERT_EQ(Cli("compile " + ProjectArg(), "TZ=UTC0 SOURCE_DATE_EPOCH=0").status, 0);
    EXPECT_EQ(Script(), SpliceScript(user, project, "01.01.1970 00:00:00"));

    const CliRun bad = Cli("compile " + ProjectArg(), "SOURCE_DATE_EPOCH=yesterday");
    EXPECT_EQ(bad.status, 1);
    EXPECT_THAT(bad.err, HasSubstr("SOURCE_DATE_EPOCH"));
    EXPECT_EQ(Script(), SpliceScript(user, project, "01.01.1970 00:00:00"));
}

TEST_F(CliCompile, ScriptOptionIsTakenFromTheCurrentFolder) {
    fs::create_directories(Path("build"));
    test::WriteBytes(Path("build/script.erm"), "build copy\r\n");
    const CliRun run =
        Cli("compile ../quest.tlk --script script.erm", Reproducible(), Path("build"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadBytes(Path("build/script.erm")),
              SpliceScript("build copy\r\n", project, kEpochStamp));
    EXPECT_EQ(Script(), user) << "the project's own script was written";
}

TEST_F(CliCompile, FailuresLeaveTheScriptAndSayWhy) {
    // The project names a script that is not there.
    fs::rename(Path("script.erm"), Path("elsewhere.erm"));
    CliRun run = Cli("compile " + ProjectArg(), Reproducible());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_THAT(run.err, HasSubstr("Не найден выходной файл!"));
    EXPECT_THAT(run.err, HasSubstr("script.erm"));
    EXPECT_FALSE(fs::exists(Path("script.erm")));

    // A read-only script.
    fs::rename(Path("elsewhere.erm"), Path("script.erm"));
    fs::permissions(Path("script.erm"), fs::perms::owner_read | fs::perms::group_read);
    run = Cli("compile " + ProjectArg(), Reproducible());
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("script.erm"));
    EXPECT_EQ(Script(), user);

    // A project file that is not there.
    run = Cli("compile " + Quoted(Path("none.tlk")), Reproducible());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err, "");
}

TEST_F(CliCompile, WrongUsageExitsWithTwo) {
    for (const std::string& arguments :
         {std::string(""), std::string("compile"), std::string("frobnicate x"),
          "compile " + ProjectArg() + " extra", "compile " + ProjectArg() + " --script",
          "compile " + ProjectArg() + " --script a.erm --script b.erm",
          "compile --verbose " + ProjectArg()}) {
        const CliRun run = Cli(arguments, Reproducible());
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_THAT(run.err, HasSubstr("Usage")) << arguments;
    }
    EXPECT_EQ(Script(), user);
}

} // namespace
} // namespace kv
