// korvanthiel-cli recover on the shipped example, compiled by the tool itself.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using kvtest::ReadBytes;

class Recover : public ::testing::Test {
protected:
    Recover() {
        for (const char* name : {"tavern.tlk", "tavern.erm"})
            fs::copy_file(fs::path(KORV_EXAMPLES) / name, dir.Root() / name);
    }
    // The tool in the test's folder with a fixed moment for the warning line; its exit status.
    int Run(const std::string& args) {
        const std::string command = "cd '" + dir.Root().string() +
                                    "' && TZ=UTC0 SOURCE_DATE_EPOCH=1700000000 '" KORV_CLI "' " +
                                    args + " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        out = ReadBytes(dir.Path("out.txt"));
        err = ReadBytes(dir.Path("err.txt"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    kvtest::TempDir dir;
    std::string out, err;
};

TEST_F(Recover, TheExamplesCompiledScriptRecoversIntoAProjectThatCompilesToTheSameBytes) {
    ASSERT_EQ(Run("recover tavern.erm r.tlk"), 1); // not compiled yet: no marker
    EXPECT_NE(err.find("Korvanthiel data begin"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.Path("r.tlk")));

    ASSERT_EQ(Run("compile tavern.tlk"), 0) << err;
    const std::string compiled = ReadBytes(dir.Path("tavern.erm"));
    ASSERT_EQ(Run("recover tavern.erm r.tlk"), 0) << err;
    EXPECT_EQ(err, "");
    // One line per note, naming the script's line, then the summary.
    EXPECT_EQ(out.rfind("tavern.erm:147: ", 0), 0u) << out;
    EXPECT_NE(out.find("\nRecovered 4 dialogs into r.tlk\n"), std::string::npos) << out;
    // The recovered project compiles into the script it came from (its full path).
    ASSERT_EQ(Run("compile r.tlk"), 0) << err;
    EXPECT_EQ(ReadBytes(dir.Path("tavern.erm")), compiled);

    for (const char* args : {"recover", "recover tavern.erm", "recover tavern.erm a.tlk b.tlk",
                             "recover tavern.erm r.ini", "recover --x tavern.erm r.tlk"}) {
        EXPECT_EQ(Run(args), 2) << args;
        EXPECT_NE(err.find("Usage:"), std::string::npos) << args;
    }
    EXPECT_EQ(Run("recover lost.erm r2.tlk"), 1);
    EXPECT_NE(err.find("File not found"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir.Path("r2.tlk")));
}

} // namespace
