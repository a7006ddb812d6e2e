// Runs the built korvanthiel-cli as a user would and checks its exit status, its output and
// the files it leaves behind.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace {

using kvtest::ReadBytes;
using kvtest::TempDir;
using kvtest::WriteBytes;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class Cli : public testing::Test {
protected:
    Outcome RunCli(const std::vector<std::string>& args) {
        std::string command = Quote(KORV_CLI);
        for (const auto& a : args)
            command += " " + Quote(a);
        const std::string out = captures.Path("stdout"), err = captures.Path("stderr");
        command += " >" + Quote(out) + " 2>" + Quote(err);
        int raw = std::system(command.c_str());
        Outcome run;
#ifndef _WIN32
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#else
        run.status = raw;
#endif
        run.out = ReadBytes(out);
        run.err = ReadBytes(err);
        return run;
    }

    TempDir dir;      // the user's files
    TempDir captures; // what the program printed
    const std::string golden = ReadBytes(KORV_TEST_DATA "/worked_example.tlk");
};

// The golden project with LF line ends and a hexadecimal number: a file the editor would not
// write itself but reads all the same.
std::string UnusualButValidCopy(const std::string& golden) {
    std::string lf;
    for (char c : golden) {
        if (c != '\r') lf += c;
    }
    return "$3E8" + lf.substr(lf.find('\n'));
}

TEST_F(Cli, ConvertWritesExactlyWhatTheEditorSaves) {
    const std::string in = dir.Path("in.tlk"), out = dir.Path("out.tlk");
    WriteBytes(in, UnusualButValidCopy(golden));
    Outcome run = RunCli({"convert", in, out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(out), golden);
    EXPECT_NE(run.out.find(out), std::string::npos);
    EXPECT_EQ(run.err, "");

    // Converting the result again changes nothing, also over an existing file.
    Outcome again = RunCli({"convert", out, out});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(ReadBytes(out), golden);
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"in.tlk", "out.tlk"}));
}

TEST_F(Cli, AFailedConvertSaysWhyAndLeavesTheOutputAsItWas) {
    const std::string out = dir.Path("out.tlk");
    const std::string before = "previous content\r\n";
    WriteBytes(out, before);
    WriteBytes(dir.Path("word.tlk"), "FunctionStart=1000\r\n");
    std::filesystem::create_directory(dir.Path("folder.tlk"));
    WriteBytes(dir.Path("good.tlk"), golden);

    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    for (const Case& c : {
             Case{{"convert", dir.Path("missing.tlk"), out}, "File not found"},
             Case{{"convert", dir.Path("word.tlk"), out}, "Invalid numeric input"},
             Case{{"convert", dir.Path("folder.tlk"), out}, "File access denied"},
             Case{{"convert", dir.Path("good.tlk"), dir.Path("folder.tlk")}, "File access denied"},
             Case{{"convert", dir.Path("good.tlk"), dir.Path("no/folder/out.tlk")},
                  "File not found"},
         }) {
        SCOPED_TRACE(c.args[1] + " -> " + c.args[2]);
        Outcome run = RunCli(c.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(out), before);
        EXPECT_EQ(dir.Entries(),
                  (std::set<std::string>{"out.tlk", "word.tlk", "folder.tlk", "good.tlk"}));
    }
}

TEST_F(Cli, WrongUsageExitsWith2AndAShortUsage) {
    const std::string in = dir.Path("in.tlk");
    WriteBytes(in, golden);
    for (const auto& args :
         std::vector<std::vector<std::string>>{{},
                                               {"convert"},
                                               {"convert", in},
                                               {"convert", in, dir.Path("a"), dir.Path("b")},
                                               {"transmogrify", in, dir.Path("a")},
                                               {"--frobnicate"}}) {
        SCOPED_TRACE(args.empty() ? std::string("(no arguments)") : args[0]);
        Outcome run = RunCli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind("Usage:", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("convert INPUT OUTPUT"), std::string::npos);
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"in.tlk"});
    }
}

TEST_F(Cli, HelpAndVersionGoToStandardOutput) {
    Outcome help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("convert INPUT OUTPUT"), std::string::npos);
    EXPECT_NE(help.out.find("compile PROJECT"), std::string::npos);
    EXPECT_EQ(help.err, "");

    Outcome version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("korvanthiel-cli [0-9]+\\.[0-9]+.*\n")))
        << version.out;
}

} // namespace
