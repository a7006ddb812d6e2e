// korvanthiel-cli play as a build script drives it: the JSON records and the exit statuses.
#include "cli_run.h"
#include "project/tlk_file.h"

#include <string>

namespace kv {
namespace {

using PlayCommand = kvtest::CliRun;

TEST_F(PlayCommand, PrintsOneJsonRecordAStepAndExitsAsAsked) {
    Project project;
    TDialogItem& shop = *project.AppendDialog();
    TDialogItem& next = *project.AppendDialog();
    shop.FunctionNumber = 1000;
    shop.Text[0] = "Say \"hi\"";
    shop.Text[2] = "bye";
    shop.VariantEscape = 1;
    shop.Variant[0] = "buy";
    shop.Variants[0].Gold = 100;
    shop.Variants[0].Variable = 7;
    shop.Variants[0].DVariable = 1;
    shop.LinkDialog[0] = &next;
    shop.Variant[1] = "leave";
    next.FunctionNumber = 1001;
    next.Variant[0] = "go";
    next.Variants[0].Artefact = 9;
    next.Function[0] = 3000;
    SaveProject(project, dir.Path("q.tlk"));
    auto run = [&](const std::string& args) { return Run("play " + args); };

    ASSERT_EQ(run("q.tlk --choose 1,1 --set gold=150 v7=2 --json"), 0) << err;
    const std::string resources = R"("resources":{"wood":0, "mercury":0, "ore":0, "sulfur":0, )"
                                  R"("crystal":0, "gems":0, "gold":50, "mithril":0})";
    const std::string variables = R"(, "variables":{"1":1, "7":3}, "artefacts":)";
    const std::string first = R"({"function":1000, "shown":[1,2], "chosen":1, "applied":1, )"
                              R"("messages":["Say \"hi\"\n\nbye"], )" +
                              resources + variables + R"([], "next":1001})";
    const std::string second = R"({"function":1001, "shown":[1], "chosen":1, "applied":1, )"
                               R"("messages":["Вы получаете: артефакт 9"], )" +
                               resources + variables + R"([9], "next":3000})";
    EXPECT_EQ(out, first + "\n" + second + "\n");
    ASSERT_EQ(run("q.tlk --choose 1"), 0);
    EXPECT_NE(out.find("Необходимо: золото 100"), std::string::npos) << out;

    const std::pair<const char*, int> statuses[] = {
        {"q.tlk", 0},
        {"q.tlk --start 1001 --choose 1 --set skill28=3", 0},
        {"q.tlk --choose 3", 1},   // not offered
        {"q.tlk --choose 2,1", 1}, // the run ended before the second choice
        {"q.tlk --start 5", 1},
        {"lost.tlk", 1},
        {"", 2},
        {"q.tlk --choose 13", 2},
        {"q.tlk --choose 1,,2", 2},
        {"q.tlk --set wool=1", 2},
        {"q.tlk --set skill5=4", 2},
        {"q.tlk --set v1=x", 2},
        {"q.tlk --start", 2},
        {"q.tlk --json --verbose", 2},
    };
    for (const auto& [args, status] : statuses)
        EXPECT_EQ(run(args), status) << args << "\n" << err;
}

} // namespace
} // namespace kv
