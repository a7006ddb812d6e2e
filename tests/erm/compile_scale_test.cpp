// A project of the size a large campaign reaches, compiled into a script with a lot of the user's
// own code. Catches work that grows faster than the text (copying the script per dialog, finding
// the marker again and again) and reports how long the compile took.
#include "erm/erm_samples.h"
#include "erm/splice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>

namespace kv {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDialogs = 10000;
constexpr std::size_t kUserBytes = 10 * 1024 * 1024;

// Dialogs with a three-line message, four answers with costs, rewards, variables and
// follow-ups, each answer leading to the next dialog.
void FillCampaign(Project& project) {
    for (int n = 0; n < kDialogs; ++n) {
        TDialogItem& d = *project.AppendDialog();
        d.FunctionNumber = 10000 + n;
        d.Hint = "Dialog " + std::to_string(n);
        d.Text[0] = "The road forks at the old mill.";
        d.Text[1] = "A merchant waits by the bridge.";
        d.Text[2] = "What will you do?";
        d.Header = "Choose";
        for (std::size_t k = 0; k < 4; ++k) {
            d.Variant[k] = "Answer " + std::to_string(k + 1);
            d.Variants[k].Gold = static_cast<std::uint16_t>(100 * (k + 1));
            d.Variants[k].giveWood = 5;
            d.Variants[k].Variable = 20;
            d.Variants[k].SVariable = static_cast<std::int32_t>(k);
        }
        d.Variants[1].Skill = 8;
        d.Variants[1].Slevel = 2;
    }
    TDialogItem* d = project.Dialogs();
    for (; d && d->Next; d = d->Next)
        d->LinkDialog[0] = d->Next;
}

std::string UserText() {
    const std::string line = "!!VRv100&v101=5:S0; ; the user's own code, kept as it stands\r\n";
    std::string text;
    text.reserve(kUserBytes + line.size());
    while (text.size() < kUserBytes)
        text += line;
    return text;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

TEST(CompileScale, TenThousandDialogsBelowTenMegabytes) {
    Project project;
    FillCampaign(project);
    const std::string user = UserText();
    test::TempDir folder;
    const std::string script = folder.File("campaign.erm");
    test::WriteBytes(script, user + "\n;Korvanthiel data begin>>>>>\nold region\r\n");

    const auto spliceStart = Clock::now();
    const std::string spliced = SpliceScript(user, project, "01.01.2024 00:00:00");
    const auto spliceTime = Clock::now() - spliceStart;

    const auto compileStart = Clock::now();
    const CompileResult result = CompileScript(project, script, "01.01.2024 00:00:00");
    const auto compileTime = Clock::now() - compileStart;

    const std::string written = test::ReadBytes(script);
    EXPECT_EQ(written, spliced);
    EXPECT_EQ(result.bytes, written.size());
    EXPECT_EQ(result.dialogs, kDialogs);
    EXPECT_EQ(written.compare(0, user.size(), user), 0);

    std::cout << "[ measured ] " << kDialogs << " dialogs, " << user.size()
              << " bytes of user text, " << written.size() << " bytes written: splice in memory "
              << Seconds(spliceTime) << " s, whole compile (read, splice, write, flush) "
              << Seconds(compileTime) << " s\n";
    RecordProperty("splice_seconds", std::to_string(Seconds(spliceTime)));
    RecordProperty("compile_seconds", std::to_string(Seconds(compileTime)));
    // Far above what a linear compile needs even under the sanitizers; work that grows with the
    // square of the project takes minutes.
    EXPECT_LT(Seconds(compileTime), 10.0);
}

} // namespace
} // namespace kv
