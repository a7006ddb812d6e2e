// korvanthiel-cli with an INI project: `convert` and `compile` read a name ending in .ini, in any
// case, as an INI project.
#include "support/temp_dir.h"
#include "text/cp1251.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kvtest::ReadBytes;

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
        lines.push_back(text.substr(begin, end - begin));
    }
    EXPECT_EQ(begin, text.size()) << "text after the last CR LF";
    return lines;
}

class CliIni : public ::testing::Test {
protected:
    fs::path Path(const std::string& name) const { return folder_.Root() / name; }

    // Runs the tool in the scratch folder; returns its exit status and keeps its output.
    int Cli(const std::string& arguments) {
        const std::string command = "cd '" + folder_.Root().string() + "' && '" KORV_CLI "' " +
                                    arguments + " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        out_ = ReadBytes(Path("out.txt"));
        err_ = ReadBytes(Path("err.txt"));
        fs::remove(Path("out.txt"));
        fs::remove(Path("err.txt"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    kvtest::TempDir folder_;
    std::string out_;
    std::string err_;
};

TEST_F(CliIni, ConvertWritesTheImportedProjectAsAProjectFile) {
    fs::copy_file(KORV_EXAMPLES "/tavern.ini", Path("Tavern.INI"));
    ASSERT_EQ(Cli("convert Tavern.INI tavern.tlk"), 0) << err_;
    EXPECT_EQ(out_, "Wrote tavern.tlk: 4 dialogs\n");

    const std::vector<std::string> lines = CrLfLines(ReadBytes(Path("tavern.tlk")));
    ASSERT_EQ(lines.size(), 2u + 336u * 4u);
    EXPECT_EQ(lines[0], "1000");
    EXPECT_EQ(lines[1], "tavern.erm");
    // The first dialog: its number, its Windows-1251 label, and the follow-ups of its answers.
    EXPECT_EQ(lines[2], "1000");
    EXPECT_EQ(lines[3], kv::Utf8ToCp1251("Стражник у входа"));
    EXPECT_EQ(lines[2 + 35], "2 1"); // VariantEscape, VariantDefault
    EXPECT_EQ(lines[2 + 324], "1001");
    EXPECT_EQ(lines[2 + 325], "1002");
    EXPECT_EQ(lines[2 + 326], "0");
    // The merchant's first answer costs 1000 gold.
    EXPECT_EQ(lines[2 + 336], "1001");
    EXPECT_EQ(lines[2 + 336 + 56], "1000");
    // The last dialog leads out of the project to function 2000.
    EXPECT_EQ(lines[2 + 3 * 336], "1003");
    EXPECT_EQ(lines[2 + 3 * 336 + 324], "2000");
}

TEST_F(CliIni, CompileTakesTheScriptBesideTheIniProject) {
    fs::copy_file(KORV_EXAMPLES "/tavern.ini", Path("tavern.ini"));
    kvtest::WriteBytes(Path("tavern.erm"), "ZVSE\r\n; my own code\r\n");
    ASSERT_EQ(Cli("compile tavern.ini"), 0) << err_;
    EXPECT_EQ(out_.rfind("Compiled 4 dialogs into ", 0), 0u) << out_;
    const std::string script = ReadBytes(Path("tavern.erm"));
    EXPECT_EQ(script.rfind("ZVSE\r\n; my own code\r\n", 0), 0u);
    EXPECT_NE(script.find(";Korvanthiel data begin>>>>>"), std::string::npos);
    for (const char* head : {"!?FU1000;", "!?FU1001;", "!?FU1002;", "!?FU1003;"}) {
        EXPECT_NE(script.find(head), std::string::npos) << head;
    }
}

TEST_F(CliIni, AFailedImportWritesNothing) {
    kvtest::WriteBytes(Path("huge.ini"), "[Main]\r\nFunctionStart=1\r\nFunctionEnd=200000\r\n");
    EXPECT_EQ(Cli("convert huge.ini out.tlk"), 1);
    EXPECT_NE(err_.find("Слишком большой диапазон функций: 1..200000 (не больше 100000 диалогов)"),
              std::string::npos)
        << err_;
    EXPECT_FALSE(fs::exists(Path("out.tlk")));

    EXPECT_EQ(Cli("convert missing.ini out.tlk"), 1);
    EXPECT_NE(err_.find("File not found"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(Path("out.tlk")));

    // Only the ending .ini makes an INI project; any other name is read as a project file.
    fs::copy_file(KORV_EXAMPLES "/tavern.ini", Path("tavern.ini.txt"));
    EXPECT_EQ(Cli("convert tavern.ini.txt out.tlk"), 1);
    EXPECT_NE(err_.find("Invalid numeric input"), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(Path("out.tlk")));
}

} // namespace
