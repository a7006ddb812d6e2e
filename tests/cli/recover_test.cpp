// korvanthiel-cli recover on the shipped example, compiled by the tool itself: the recovered
// project compiles into the same bytes; exit statuses 1 and 2 write nothing.
#include "cli_run.h"

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using kvtest::ReadBytes;

using Recover = kvtest::CliRun;

TEST_F(Recover, TheExamplesCompiledScriptRecoversIntoAProjectThatCompilesToTheSameBytes) {
    for (const char* name : {"tavern.tlk", "tavern.erm"})
        fs::copy_file(fs::path(KORV_EXAMPLES) / name, dir.Root() / name);

    EXPECT_EQ(Run("recover tavern.erm r.tlk"), 1); // not compiled yet: no marker
    EXPECT_NE(err.find("Korvanthiel data begin"), std::string::npos);
    EXPECT_EQ(Run("recover lost.erm r.tlk"), 1);
    EXPECT_NE(err.find("File not found"), std::string::npos) << err;
    for (const char* args : {"recover", "recover tavern.erm", "recover tavern.erm a.tlk b.tlk",
                             "recover tavern.erm r.ini", "recover --x tavern.erm r.tlk"}) {
        EXPECT_EQ(Run(args), 2) << args;
        EXPECT_NE(err.find("Usage:"), std::string::npos) << args;
    }
    EXPECT_FALSE(fs::exists(dir.Path("r.tlk")));

    ASSERT_EQ(Run("compile tavern.tlk"), 0) << err;
    const std::string compiled = ReadBytes(dir.Path("tavern.erm"));
    ASSERT_EQ(Run("recover tavern.erm r.tlk"), 0) << err;
    EXPECT_EQ(err, "");
    // One line per note, naming the script's line, then the summary.
    EXPECT_EQ(out.substr(0, out.find(": ")), "tavern.erm:147");
    EXPECT_NE(out.find("\nRecovered 4 dialogs into r.tlk\n"), std::string::npos) << out;
    // The example's dialogs, byte for byte; the script line is the full path of the script it
    // came from, which it compiles into again.
    const std::string example = ReadBytes(dir.Path("tavern.tlk")),
                      recovered = ReadBytes(dir.Path("r.tlk"));
    EXPECT_EQ(recovered.substr(recovered.find("\r\n1000\r\n")),
              example.substr(example.find("\r\n1000\r\n")));
    ASSERT_EQ(Run("compile r.tlk"), 0) << err;
    EXPECT_EQ(ReadBytes(dir.Path("tavern.erm")), compiled);
}

} // namespace
