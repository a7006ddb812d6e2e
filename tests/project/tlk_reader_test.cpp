#include "project/tlk_file.h"

#include "sample_projects.h"
#include "support/error_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 0-based line numbers of the worked example's one dialog block.
constexpr std::size_t kFunctionStart = 0, kScriptFile = 1, kFunctionNumber = 2, kHint = 3,
                      kScriptBefore = 4, kText1 = 5, kHeader = 36, kEscapeDefault = 37,
                      kVariant0 = 38, kFunction0 = 326;
// A line of slot k's group: 0 Skill, 1 Slevel, 2..9 costs, 10 Artefact, 11..18 rewards,
// 19 Variable, 20 DVariable, 21 SVariable, 22 FailOn.
constexpr std::size_t SlotLine(std::size_t k, std::size_t field) {
    return 50 + 23 * k + field;
}
constexpr std::size_t kSkill = 0, kWood = 2, kGold = 8, kVariable = 19, kFailOn = 22;

std::vector<std::string> ExampleLines() {
    std::string bytes = kv::SerializeProject(WorkedExampleProject());
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t end = bytes.find("\r\n", pos);
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines, const char* lineEnd = "\r\n") {
    std::string bytes;
    for (const auto& line : lines)
        bytes += line + lineEnd;
    return bytes;
}

std::string ParseError(const std::string& bytes) {
    return kvtest::ErrorOf([&] { kv::ParseProject(bytes); });
}

TEST(TlkReader, ReadsHexadecimalAndSignedNumbers) {
    auto lines = ExampleLines();
    lines[kFunctionStart] = "$3E8";
    lines[kFunctionNumber] = "0x3e9";
    lines[SlotLine(0, kGold)] = "x1F4";
    lines[SlotLine(0, kVariable)] = "-$10";
    lines[SlotLine(1, kVariable)] = "+12";
    kv::Project p = kv::ParseProject(Join(lines));
    EXPECT_EQ(p.FunctionStart, 1000);
    EXPECT_EQ(p.Dialogs()->FunctionNumber, 1001);
    EXPECT_EQ(p.Dialogs()->Variants[0].Gold, 500);
    EXPECT_EQ(p.Dialogs()->Variants[0].Variable, -16);
    EXPECT_EQ(p.Dialogs()->Variants[1].Variable, 12);
}

TEST(TlkReader, ANumberSkipsBlanksAndEmptyLinesAndIgnoresTheRestOfItsLine) {
    auto lines = ExampleLines();
    lines[kFunctionStart] = "\r\n \t\r\n  1000 and a comment";
    lines[SlotLine(0, kGold)] = "\t500\tgold";
    kv::Project p = kv::ParseProject(Join(lines));
    EXPECT_EQ(p.FunctionStart, 1000);
    EXPECT_EQ(p.ScriptFile, "C:\\maps\\intro.erm");
    EXPECT_EQ(p.Dialogs()->Variants[0].Gold, 500);
    EXPECT_EQ(p.Dialogs()->Hint, "1000 {}");
}

TEST(TlkReader, ANumberTakesAtMost32Characters) {
    auto lines = ExampleLines();
    lines[kFunctionStart] = std::string(31, '0') + "12345"; // the 33rd character on is skipped
    EXPECT_EQ(kv::ParseProject(Join(lines)).FunctionStart, 1);
}

TEST(TlkReader, AFileWithLfLineEndsLoadsAsWithCrLf) {
    auto lines = ExampleLines();
    const std::string crlf = Join(lines);
    EXPECT_EQ(kv::SerializeProject(kv::ParseProject(Join(lines, "\n"))), crlf);

    // Also where line 36 holds one number: LF ends it as CR does, so the captions stay put.
    lines[kEscapeDefault] = "3";
    kv::Project p = kv::ParseProject(Join(lines, "\n"));
    EXPECT_EQ(p.Dialogs()->VariantEscape, 3);
    EXPECT_EQ(p.Dialogs()->VariantDefault, 0);
    EXPECT_EQ(p.Dialogs()->Variant[0], "Yes");
    EXPECT_EQ(p.Dialogs()->Variant[1], "No");
}

TEST(TlkReader, TheEscapeAndDefaultLine) {
    struct Case {
        const char* line;
        int escape, byDefault;
    };
    for (Case c : {Case{"3", 3, 0}, Case{"3 ", 3, 0}, Case{"3\t ", 3, 0}, Case{"2 5", 2, 5},
                   Case{" 2   5 extra", 2, 5}, Case{"300 70000", 44, 112}, Case{"$B $C", 11, 12}}) {
        SCOPED_TRACE(c.line);
        auto lines = ExampleLines();
        lines[kEscapeDefault] = c.line;
        kv::Project p = kv::ParseProject(Join(lines));
        EXPECT_EQ(p.Dialogs()->VariantEscape, c.escape);
        EXPECT_EQ(p.Dialogs()->VariantDefault, c.byDefault);
        EXPECT_EQ(p.Dialogs()->Variant[0], "Yes");
    }
    // The last line of a file may hold the single number without a line end.
    auto lines = ExampleLines();
    lines.resize(kEscapeDefault + 1);
    lines[kEscapeDefault] = "4";
    std::string bytes = Join(lines);
    bytes.resize(bytes.size() - 2);
    kv::Project p = kv::ParseProject(bytes);
    EXPECT_EQ(p.Dialogs()->VariantEscape, 4);
    EXPECT_EQ(p.Dialogs()->VariantDefault, 0);
}

TEST(TlkReader, ATruncatedBlockKeepsItsDialogWithTheRestBlank) {
    auto lines = ExampleLines();
    lines.resize(SlotLine(0, kGold) + 1);
    kv::Project p = kv::ParseProject(Join(lines));
    ASSERT_EQ(p.DialogCount(), 1);
    const kv::TDialogItem* d = p.Dialogs();
    EXPECT_EQ(d->Variants[0].Gold, 500);
    EXPECT_EQ(d->Variant[1], "No");
    EXPECT_EQ(d->Function[0], 0);
    EXPECT_EQ(d->Variants[0].Myth, 0);

    // Cut inside a text line and inside a number line: what is there is read.
    std::string bytes = Join(ExampleLines());
    kv::Project cutText = kv::ParseProject(bytes.substr(0, bytes.find("Hello") + 3));
    EXPECT_EQ(cutText.Dialogs()->Text[0], "Hel");
    EXPECT_TRUE(cutText.Dialogs()->Header.empty());
    kv::Project cutNumber = kv::ParseProject(bytes.substr(0, bytes.find("500") + 2));
    EXPECT_EQ(cutNumber.Dialogs()->Variants[0].Gold, 50);
}

TEST(TlkReader, OneExtraEmptyLineGivesOneMoreBlankDialogNumberedZero) {
    kv::Project p = kv::ParseProject(Join(ExampleLines()) + "\r\n");
    ASSERT_EQ(p.DialogCount(), 2);
    const kv::TDialogItem* blank = p.DialogAt(1);
    EXPECT_EQ(blank->FunctionNumber, 0);
    EXPECT_TRUE(blank->Hint.empty() && blank->Variant[0].empty());
    // Every slot with the number 0 now links to it, its own too, as a lookup of 0 would.
    EXPECT_EQ(p.Dialogs()->LinkDialog[5], blank);
    EXPECT_EQ(blank->LinkDialog[0], blank);
    EXPECT_EQ(p.Dialogs()->LinkDialog[0], nullptr);
}

TEST(TlkReader, Byte26EndsTheFile) {
    const std::string bytes = Join(ExampleLines());
    kv::Project p = kv::ParseProject(bytes + "\x1a"
                                             "1234\r\n\r\n");
    EXPECT_EQ(p.DialogCount(), 1);
    EXPECT_EQ(kv::SerializeProject(p), bytes);

    kv::Project early = kv::ParseProject(bytes.substr(0, bytes.find("Hello") + 3) + "\x1alo\r\n");
    EXPECT_EQ(early.DialogCount(), 1);
    EXPECT_EQ(early.Dialogs()->Text[0], "Hel");
    EXPECT_TRUE(early.Dialogs()->Header.empty());

    EXPECT_EQ(kv::ParseProject("\x1a"
                               "5\r\n")
                  .FunctionStart,
              0);
}

TEST(TlkReader, OverLongTextsAreCutToTheirFields) {
    const std::string longText(300, '\xD4');
    auto lines = ExampleLines();
    lines[kScriptFile] = longText;
    lines[kHint] = longText;
    lines[kScriptBefore] = longText;
    lines[kText1 + 29] = longText;
    lines[kHeader] = longText;
    lines[kVariant0 + 11] = longText;
    lines[SlotLine(11, kFailOn)] = longText;
    kv::Project p = kv::ParseProject(Join(lines));
    const kv::TDialogItem* d = p.Dialogs();
    EXPECT_EQ(p.ScriptFile, longText); // a project value has no capacity
    EXPECT_EQ(d->Hint.view(), longText.substr(0, 200));
    EXPECT_EQ(d->ScriptBefore.view(), longText.substr(0, 255));
    EXPECT_EQ(d->Text[29].size(), 255u);
    EXPECT_EQ(d->Header.size(), 200u);
    EXPECT_EQ(d->Variant[11].size(), 150u);
    EXPECT_EQ(d->Variants[11].FailOn.size(), 150u);
    EXPECT_EQ(d->Function[11], 0); // the lines after them are still in step
}

TEST(TlkReader, NumbersKeepTheLowBitsOfTheirFields) {
    auto lines = ExampleLines();
    lines[SlotLine(0, kSkill)] = "300";
    lines[SlotLine(0, kGold)] = "70000";
    lines[SlotLine(0, kWood)] = "-1";
    lines[SlotLine(2, kSkill)] = "256";
    lines[SlotLine(2, kVariable)] = "-2147483648";
    lines[kFunction0 + 3] = "2147483647";
    kv::Project p = kv::ParseProject(Join(lines));
    const kv::TDialogItem* d = p.Dialogs();
    EXPECT_EQ(d->Variants[0].Skill, 44);
    EXPECT_EQ(d->Variants[0].Gold, 4464);
    EXPECT_EQ(d->Variants[0].Wood, 65535);
    EXPECT_EQ(d->Variants[2].Skill, 0);
    EXPECT_EQ(d->Variants[2].Variable, -2147483647 - 1);
    EXPECT_EQ(d->Function[3], 2147483647);
}

TEST(TlkReader, AnythingButANumberOnANumberLineFails) {
    EXPECT_EQ(ParseError("FunctionStart=1000\r\nScriptFile=a.erm\r\n"), "Invalid numeric input");
    for (auto [line, word] : {std::pair{SlotLine(0, kGold), "gold"},
                              {kFunctionNumber, "12abc"},
                              {kFunctionNumber, "2147483648"},
                              {kFunction0, "-2147483649"},
                              {kEscapeDefault, "0 one"},
                              {kFunction0 + 11, "1.5"}}) {
        SCOPED_TRACE(word);
        auto lines = ExampleLines();
        lines[line] = word;
        EXPECT_EQ(ParseError(Join(lines)), "Invalid numeric input");
    }
}

TEST(TlkReader, AnEmptyFileIsAnEmptyProject) {
    kv::Project p = kv::ParseProject("");
    EXPECT_EQ(p.DialogCount(), 0);
    EXPECT_EQ(p.FunctionStart, 0);
    EXPECT_TRUE(p.ScriptFile.empty());
}

} // namespace
