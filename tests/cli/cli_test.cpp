// What the CLI commands write and print, and the files they leave.
#include "cli_run.h"
#include "erm/splice.h"
#include "project/ini_import.h"
#include "project/tlk_file.h"

#include <filesystem>
#include <set>
#include <string>

namespace kv {
namespace {

namespace fs = std::filesystem;
using kvtest::kEpoch;
using kvtest::ReadBytes;
using kvtest::WriteBytes;
using Names = std::set<std::string>;

const std::string kUser = "; the modder's own code\r\n!!VRv1:S0;\r\n";
constexpr std::string_view kEpochStamp = "14.11.2023 22:13:20";

class Cli : public kvtest::CliRun {
protected:
    // The tavern as a project file, its script (tavern.erm) beside it.
    Cli() : project(ImportIniFile(KORV_EXAMPLES "/tavern.ini")) {
        SaveProject(project, dir.Path("quest.tlk"));
        WriteBytes(dir.Path("tavern.erm"), kUser);
    }
    std::string Script() const { return ReadBytes(dir.Path("tavern.erm")); }

    Project project;
};

TEST_F(Cli, CompileWritesTheProjectsScriptReproducibly) {
    // The project's own script is found beside the project; --script is the caller's path, from
    // the current folder.
    const std::string build = dir.Path("build");
    fs::create_directory(build);
    WriteBytes(build + "/tavern.erm", "build copy\r\n");
    ASSERT_EQ(Run("compile ../quest.tlk", kEpoch, build), 0) << err;
    EXPECT_EQ(err, "");
    const std::string written = Script();
    EXPECT_EQ(written, SpliceScript(kUser, project, kEpochStamp));
    EXPECT_EQ(out, "Compiled 4 dialogs into ../tavern.erm (" + std::to_string(written.size()) +
                       " bytes)\n");
    ASSERT_EQ(Run("compile ../quest.tlk --script tavern.erm", kEpoch, build), 0) << err;
    EXPECT_EQ(ReadBytes(build + "/tavern.erm"),
              SpliceScript("build copy\r\n", project, kEpochStamp));

    ASSERT_EQ(Run("compile quest.tlk"), 0);
    EXPECT_EQ(Script(), written);
    // The moment is SOURCE_DATE_EPOCH in local time; a value that is no number is refused.
    ASSERT_EQ(Run("compile quest.tlk", "TZ=MSK-3 SOURCE_DATE_EPOCH=1700000000"), 0);
    EXPECT_EQ(Script(), SpliceScript(kUser, project, "15.11.2023 01:13:20"));
    EXPECT_EQ(Run("compile quest.tlk", "SOURCE_DATE_EPOCH=yesterday"), 1);
    EXPECT_NE(err.find("SOURCE_DATE_EPOCH"), std::string::npos);
    EXPECT_EQ(Run("compile quest.tlk", "SOURCE_DATE_EPOCH=99999999999999"), 1); // year 3170843
    EXPECT_NE(err.find("SOURCE_DATE_EPOCH is out of range"), std::string::npos);
    EXPECT_EQ(Script(), SpliceScript(kUser, project, "15.11.2023 01:13:20"));
}

TEST_F(Cli, AFailureExitsWith1SaysWhyAndWritesNothing) {
    WriteBytes(dir.Path("out.tlk"), "previous\r\n");
    fs::copy_file(KORV_EXAMPLES "/tavern.ini", dir.Path("tavern.ini.txt"));
    fs::create_symlink(dir.Path("quest.tlk"), dir.Path("link.erm"));
    const std::pair<std::string, std::string> failures[] = {
        {"compile quest.tlk --script lost.erm", "Не найден выходной файл! lost.erm"},
        {"compile none.tlk", "File not found"},
        {"convert missing.tlk out.tlk", "File not found"},
        {"convert tavern.erm out.tlk", "Invalid numeric input"},
        {"convert tavern.ini.txt out.tlk", "Invalid numeric input"}, // only .ini is INI
        {"convert quest.tlk no/folder/out.tlk", "\"no/folder/out.tlk\". File not found"},
        {"check none.tlk", "File not found"},
        {"compile quest.tlk --script link.erm", "не может быть файлом проекта"},
        {"compile quest.tlk --script quest.tlk", "не может быть файлом проекта"}};
    const Names names = dir.Entries();
    for (const auto& [args, message] : failures) {
        EXPECT_EQ(Run(args), 1) << args;
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find(message), std::string::npos) << err;
        EXPECT_EQ(ReadBytes(dir.Path("out.tlk")), "previous\r\n");
        EXPECT_EQ(Script(), kUser);
        EXPECT_EQ(dir.Entries(), names);
    }
    EXPECT_EQ(ReadBytes(dir.Path("quest.tlk")), SerializeProject(project));
}

TEST_F(Cli, AnIniProjectInAnyCaseIsReadAsTheImportReadsIt) {
    fs::copy_file(KORV_EXAMPLES "/tavern.ini", dir.Path("Tavern.INI"));
    ASSERT_EQ(Run("convert Tavern.INI tavern.tlk"), 0) << err;
    EXPECT_EQ(out, "Wrote tavern.tlk: 4 dialogs\n");
    EXPECT_EQ(ReadBytes(dir.Path("tavern.tlk")), SerializeProject(project));
    ASSERT_EQ(Run("compile Tavern.INI"), 0) << err; // its script beside it
    EXPECT_EQ(ReadBytes(dir.Path("tavern.erm")), SpliceScript(kUser, project, kEpochStamp));
}

TEST_F(Cli, CheckPrintsAProblemALineAndFailsOnErrorsOnly) {
    const std::string script = ReadBytes(KORV_EXAMPLES "/tavern.erm"); // it defines FU2000
    WriteBytes(dir.Path("tavern.erm"), script);
    const std::string noMarker =
        "tavern.erm: предупреждение: в файле скрипта еще нет строки-маркера: компиляция допишет "
        "код в конец файла\n";
    EXPECT_EQ(Run("check quest.tlk"), 0) << err;
    EXPECT_EQ(out, noMarker + "Итого: ошибок 0, предупреждений 1\n");
    EXPECT_EQ(Run("check quest.tlk --werror"), 1);
    EXPECT_EQ(Run("check quest.tlk --script lost.erm"), 0);
    EXPECT_EQ(out, "lost.erm: предупреждение: файл скрипта не найден\n"
                   "quest.tlk: функция 1003, вариант 1: предупреждение: ответ ведет к функции "
                   "2000, которой нет ни в проекте, ни в скрипте\n"
                   "Итого: ошибок 0, предупреждений 2\n");

    project.Dialogs()->Header = "^";
    project.Dialogs()->Variants[1].FailOn = "v1=0";
    SaveProject(project, dir.Path("broken.tlk"));
    EXPECT_EQ(Run("check broken.tlk"), 1);
    EXPECT_EQ(out, noMarker +
                       "broken.tlk: функция 1000: ошибка: знак ^ в заголовке обрывает строку ERM\n"
                       "broken.tlk: функция 1000, вариант 2: ошибка: условие скрытия (FailOn) "
                       "должно начинаться с & или |\n"
                       "Итого: ошибок 2, предупреждений 1\n");
    EXPECT_EQ(Script(), script); // a check writes nothing
    EXPECT_EQ(Run("check " KORV_EXAMPLES "/tavern.tlk"), 0) << out; // the shipped example
}

TEST_F(Cli, GraphWritesTheExamplesMapAsDotOrSvg) {
    const std::string golden = ReadBytes(KORV_TEST_DATA "/graph/tavern.dot");
    ASSERT_EQ(Run("graph " KORV_EXAMPLES "/tavern.tlk"), 0) << err;
    EXPECT_EQ(out, golden);
    ASSERT_EQ(Run("graph " KORV_EXAMPLES "/tavern.tlk -o map.dot --format dot"), 0) << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(ReadBytes(dir.Path("map.dot")), golden);
    ASSERT_EQ(Run("graph --format svg quest.tlk -o map.svg"), 0) << err;
    const std::string svg = ReadBytes(dir.Path("map.svg"));
    EXPECT_NE(svg.find("<title>1003&#45;&gt;2000</title>"), std::string::npos) << svg;
    EXPECT_EQ(Run("graph quest.tlk -o no/folder/map.svg --format svg"), 1);
    EXPECT_NE(err.find("File not found"), std::string::npos) << err;
}

TEST_F(Cli, WrongUsageExitsWith2AndWritesNothing) {
    for (const char* args :
         {"", "compile", "frobnicate x", "--frobnicate", "compile quest.tlk extra",
          "compile quest.tlk --script", "compile quest.tlk --script a.erm --script b.erm",
          "compile --verbose quest.tlk", "convert quest.tlk", "convert quest.tlk a.tlk b.tlk",
          "check", "check quest.tlk --strict", "check quest.tlk --script", "graph",
          "graph quest.tlk --format png", "graph quest.tlk -o", "graph quest.tlk -o a -o b"}) {
        EXPECT_EQ(Run(args), 2) << args;
        EXPECT_EQ(err.rfind("Usage:", 0), 0u) << args;
    }
    EXPECT_EQ(dir.Entries(), (Names{"quest.tlk", "tavern.erm"}));
    EXPECT_EQ(Script(), kUser);
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(out.find("convert INPUT OUTPUT"), std::string::npos);
}

} // namespace
} // namespace kv
