#include "project/tlk_file.h"

#include "support/error_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using kv::Project;
using kv::TDialogItem;
using kvtest::ErrorOf;
using kvtest::ReadBytes;

// The small project of the format description: one dialog with two answers.
Project WorkedExampleProject() {
    Project p;
    p.ScriptFile = "C:\\maps\\intro.erm";
    TDialogItem* d = p.AppendDialog();
    d->FunctionNumber = 1000;
    d->Hint = "1000 {}";
    d->Text[0] = "Hello";
    d->Header = "Choice";
    d->VariantDefault = 1;
    d->Variant[0] = "Yes";
    d->Variants[0].Gold = 500;
    d->Function[0] = 1001;
    d->Variant[1] = "No";
    return p;
}

// Three dialogs with every field set to a value of its own: texts of varied bytes (Cyrillic and
// Latin letters, blanks also at the ends, tabs, ERM punctuation, control bytes; never a line end
// or byte 26) at or near full capacity, numbers all over the width of their fields. Links to a
// renumbered dialog and to itself, a duplicate number and bare numbers.
Project VariedProject() {
    static const std::string alphabet =
        "\xC0\xE0\xDF\xFF\xA8\xB8 \t^&;:!?=/<>{}$0x9aZ\xB9\x97\x98\x01\x1F";
    std::uint32_t state = 1;
    auto next = [&] { return state = state * 1664525u + 1013904223u; };
    auto text = [&](auto& field) {
        std::string t(field.capacity() - next() % 3, ' ');
        for (char& c : t)
            c = alphabet[(next() >> 16) % alphabet.size()];
        field = t;
    };
    auto number = [&](auto& field) { field = static_cast<std::decay_t<decltype(field)>>(next()); };
    Project p;
    p.FunctionStart = -7;
    p.ScriptFile = std::string(300, '\xC0'); // no capacity: kept whole
    for (int n = 0; n < 3; ++n) {
        TDialogItem* d = p.AppendDialog();
        d->FunctionNumber = n == 0 ? 1000 : 1005; // a duplicate: every 1005 leads to the second
        text(d->Hint);
        text(d->ScriptBefore);
        for (auto& line : d->Text)
            text(line);
        text(d->ScriptAfter);
        text(d->Header);
        number(d->VariantEscape);
        number(d->VariantDefault);
        for (std::size_t k = 0; k < kv::kSlotCount; ++k) {
            text(d->Variant[k]);
            number(d->Function[k]);
            kv::TVariantData& v = d->Variants[k];
            text(v.FailOn);
            for (auto* field : {&v.Skill, &v.Slevel})
                number(*field);
            for (int r = 0; r < kv::kResourceCount; ++r) {
                number(v.Cost(r));
                number(v.Reward(r));
            }
            for (auto* field : {&v.Variable, &v.DVariable, &v.SVariable})
                number(*field);
            number(v.Artefact);
        }
    }
    TDialogItem *first = p.Dialogs(), *second = p.DialogAt(1), *third = p.DialogAt(2);
    first->LinkDialog[0] = second; // made while it was 1001: the current number counts
    first->Function[0] = 1001;
    first->LinkDialog[1] = third; // saved as 1005, so it comes back linked to `second`
    second->LinkDialog[3] = second;
    third->Function[4] = 0;
    third->Function[5] = std::numeric_limits<std::int32_t>::max();
    third->Function[6] = std::numeric_limits<std::int32_t>::min();
    return p;
}

// What reading back a save must give: the same bytes on the next save, and each slot linked to
// the first dialog that has the follow-up number the saved slot had.
void ExpectLoadedAsSaved(const Project& saved, const Project& loaded) {
    EXPECT_EQ(kv::SerializeProject(loaded), kv::SerializeProject(saved));
    ASSERT_EQ(loaded.DialogCount(), saved.DialogCount());
    const TDialogItem* b = loaded.Dialogs();
    for (const TDialogItem* a = saved.Dialogs(); a; a = a->Next, b = b->Next) {
        for (int k = 0; k < kv::kSlotCount; ++k) {
            EXPECT_EQ(loaded.IndexOfDialog(b->LinkDialog[static_cast<std::size_t>(k)]),
                      saved.IndexOfDialog(saved.FindByFunction(a->FollowUp(k))))
                << a->FunctionNumber << " slot " << k;
        }
    }
}

TEST(TlkFile, TheWorkedExampleIsItsGoldenFileByteForByte) {
    const std::string golden = ReadBytes(KORV_TEST_DATA "/worked_example.tlk");
    EXPECT_EQ(kv::SerializeProject(WorkedExampleProject()), golden);
    ExpectLoadedAsSaved(WorkedExampleProject(), kv::ParseProject(golden));
    // The bundled example, too, is exactly what a save writes.
    const std::string tavern = ReadBytes(KORV_EXAMPLES "/tavern.tlk");
    EXPECT_EQ(kv::SerializeProject(kv::ParseProject(tavern)), tavern);
}

TEST(TlkFile, AVariedProjectComesBackWhole) {
    kvtest::TempDir dir;
    const std::string path = dir.Path("varied.tlk");
    Project saved = VariedProject();
    saved.Modified = true;
    kv::SaveProject(saved, path);
    EXPECT_FALSE(saved.Modified);
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2 + 3 * 336);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos); // every LF comes with its CR

    Project loaded = kv::LoadProject(path);
    ExpectLoadedAsSaved(saved, loaded);
    EXPECT_EQ(loaded.ProjectFileName, path);
    EXPECT_FALSE(loaded.Modified);
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"varied.tlk"});

    // A loaded dialog's texts outlive it, and it takes other texts, through copies and moves.
    TDialogItem first, second, third;
    {
        Project other = kv::LoadProject(path);
        TDialogItem& head = *other.Dialogs();
        TDialogItem* const after = head.Next->Next;
        third.Variants = std::move(after->Variants); // answers that lie in the record's block
        first = head;                  // a copy of a loaded record
        second = *head.Next;
        *head.Next = std::move(first); // a move over one
        head.Next->Next = after;
        first = std::move(*head.Next); // a move out of one
    }
    EXPECT_EQ(first.Hint, saved.Dialogs()->Hint);
    EXPECT_EQ(second.Variant, saved.Dialogs()->Next->Variant);
    EXPECT_EQ(third.Variants, saved.DialogAt(2)->Variants);
}

TEST(TlkFile, AFailedLoadOrSaveLeavesTheProjectAndTheFolderAsTheyWere) {
    kvtest::TempDir dir;
    kvtest::WriteBytes(dir.Path("word.tlk"), "1000\r\nx.erm\r\nword\r\n");
    std::filesystem::create_directory(dir.Path("folder.tlk"));
    Project open = WorkedExampleProject();
    open.ProjectFileName = "open.tlk";
    open.Modified = true;
    const std::string before = kv::SerializeProject(open);

    // Each message names the file, and the line where there is one.
    EXPECT_EQ(ErrorOf([&] { open = kv::LoadProject(dir.Path("word.tlk")); }),
              "Cannot read file \"" + dir.Path("word.tlk") + "\", line 3. Invalid numeric input");
    EXPECT_EQ(ErrorOf([&] { open = kv::LoadProject(dir.Path("missing.tlk")); }),
              "Cannot open file \"" + dir.Path("missing.tlk") + "\". File not found");
    EXPECT_EQ(ErrorOf([&] { kv::SaveProject(open, dir.Path("folder.tlk")); }),
              "Cannot write file \"" + dir.Path("folder.tlk") + "\". File access denied");
    EXPECT_EQ(kv::SerializeProject(open), before);
    EXPECT_EQ(open.ProjectFileName, "open.tlk");
    EXPECT_TRUE(open.Modified);
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"folder.tlk", "word.tlk"}));
}

// 0-based line numbers in the worked example's file.
constexpr std::size_t kFunctionStart = 0, kScriptFile = 1, kFunctionNumber = 2, kHint = 3,
                      kText1 = 5, kEscapeDefault = 37, kVariant0 = 38, kFunction0 = 326;
// A line of slot k's group: 0 Skill, 1 Slevel, 2..9 costs, 10 Artefact, 11..18 rewards,
// 19 Variable, 20 DVariable, 21 SVariable, 22 FailOn.
constexpr std::size_t SlotLine(std::size_t k, std::size_t field) {
    return 50 + 23 * k + field;
}
constexpr std::size_t kSkill = 0, kWood = 2, kGold = 8, kVariable = 19, kFailOn = 22;

// The worked example's file with some lines replaced, its lines ending in `lineEnd`.
std::string Example(const std::vector<std::pair<std::size_t, std::string>>& edits = {},
                    const std::string& lineEnd = "\r\n") {
    const std::string golden = ReadBytes(KORV_TEST_DATA "/worked_example.tlk");
    std::vector<std::string> lines;
    for (std::size_t pos = 0, end; (end = golden.find("\r\n", pos)) != std::string::npos;
         pos = end + 2) {
        lines.push_back(golden.substr(pos, end - pos));
    }
    for (const auto& [line, text] : edits)
        lines.at(line) = text;
    std::string bytes;
    for (const auto& line : lines)
        bytes += line + lineEnd;
    return bytes;
}

TEST(TlkReader, EachLineFillsItsFieldToItsWidthAndCapacity) {
    const std::string t(300, '\xD4');
    kv::Project p = kv::ParseProject(Example({
        {kFunctionStart, "\r\n \t\r\n  $3E8 and a comment"}, // blanks and empty lines first
        {kScriptFile, t},                                    // a project value has no capacity
        {kFunctionNumber, std::string(31, '0') + "12345"},   // 32 characters at most: "01"
        {kHint, t},
        {kText1 + 29, t},
        {kVariant0 + 11, t},
        {SlotLine(0, kGold), "\t0x1F4\tgold"},
        {SlotLine(0, kVariable), "-$10"},
        {SlotLine(1, kVariable), "+12"},
        {SlotLine(0, kSkill), "300"}, // numbers keep the low bits of their fields
        {SlotLine(0, kWood), "-1"},
        {SlotLine(1, kGold), "70000"},
        {SlotLine(2, kVariable), "-2147483648"},
        {SlotLine(11, kFailOn), t},
    }));
    const kv::TDialogItem& d = *p.Dialogs();
    EXPECT_EQ(p.FunctionStart, 1000);
    EXPECT_EQ(p.ScriptFile, t);
    EXPECT_EQ(d.FunctionNumber, 1);
    EXPECT_EQ(d.Hint.view(), t.substr(0, 200));
    EXPECT_EQ(d.Text[29].size(), 255u);
    EXPECT_EQ(d.Variant[11].size(), 150u);
    EXPECT_EQ(d.Variants[0].Gold, 500);
    EXPECT_EQ(d.Variants[0].Variable, -16);
    EXPECT_EQ(d.Variants[1].Variable, 12);
    EXPECT_EQ(d.Variants[0].Skill, 44);
    EXPECT_EQ(d.Variants[0].Wood, 65535);
    EXPECT_EQ(d.Variants[1].Gold, 4464);
    EXPECT_EQ(d.Variants[2].Variable, -2147483647 - 1);
    EXPECT_EQ(d.Variants[11].FailOn.size(), 150u);
    EXPECT_EQ(d.Function[0], 1001); // the lines after them are still in step
}

TEST(TlkReader, TheEscapeAndDefaultLine) {
    // LF-only files load as CR LF ones do.
    EXPECT_EQ(kv::SerializeProject(kv::ParseProject(Example({}, "\n"))), Example());
    // clang-format off
    const struct { const char* line; int escape, byDefault; const char* lineEnd; } cases[] = {
        {"3", 3, 0, "\r\n"}, {"3", 3, 0, "\n"}, {"3\t ", 3, 0, "\r\n"}, {"2 5", 2, 5, "\n"},
        {" 2   5 extra", 2, 5, "\r\n"}, {"300 70000", 44, 112, "\r\n"}, {"$B $C", 11, 12, "\r\n"}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        kv::Project p = kv::ParseProject(Example({{kEscapeDefault, c.line}}, c.lineEnd));
        EXPECT_EQ(p.Dialogs()->VariantEscape, c.escape);
        EXPECT_EQ(p.Dialogs()->VariantDefault, c.byDefault);
        EXPECT_EQ(p.Dialogs()->Variant[0], "Yes"); // the line did not reach into the captions
    }
    // The last line of a file may hold the single number without a line end.
    const std::string bytes = Example({{kEscapeDefault, "4"}});
    kv::Project p = kv::ParseProject(bytes.substr(0, bytes.find("\r\n4\r\n") + 3));
    EXPECT_EQ(p.Dialogs()->VariantEscape, 4);
    EXPECT_EQ(p.Dialogs()->VariantDefault, 0);
}

TEST(TlkReader, WhereTheDataEnds) {
    const std::string bytes = Example();
    // Cut inside a text or a number: what is there is read and the rest of the dialog is blank.
    kv::Project text = kv::ParseProject(bytes.substr(0, bytes.find("Hello") + 3));
    ASSERT_EQ(text.DialogCount(), 1);
    EXPECT_EQ(text.Dialogs()->Text[0], "Hel");
    EXPECT_TRUE(text.Dialogs()->Header.empty());
    kv::Project number = kv::ParseProject(bytes.substr(0, bytes.find("500") + 2));
    EXPECT_EQ(number.Dialogs()->Variants[0].Gold, 50);
    EXPECT_EQ(number.Dialogs()->Function[0], 0);
    EXPECT_EQ(kv::ParseProject("").DialogCount(), 0);

    // Byte 26 ends the file wherever it stands.
    EXPECT_EQ(kv::SerializeProject(
                  kv::ParseProject(bytes.substr(0, bytes.find("Hello") + 3) + "\x1alo\r\n1\r\n")),
              kv::SerializeProject(text));

    // One extra empty line is one more blank dialog, numbered 0, and Function 0 now leads to it.
    kv::Project extra = kv::ParseProject(bytes + "\r\n");
    ASSERT_EQ(extra.DialogCount(), 2);
    EXPECT_EQ(extra.DialogAt(1)->FunctionNumber, 0);
    EXPECT_EQ(extra.Dialogs()->LinkDialog[5], extra.DialogAt(1));
}

TEST(TlkReader, AnythingButANumberOnANumberLineFails) {
    auto error = [](const std::string& bytes) { return ErrorOf([&] { kv::ParseProject(bytes); }); };
    EXPECT_EQ(error("FunctionStart=1000\r\nScriptFile=a.erm\r\n"), "Invalid numeric input");
    for (auto [line, word] : {std::pair{SlotLine(0, kGold), "gold"},
                              {kFunctionNumber, "2147483648"},
                              {kEscapeDefault, "0 one"},
                              {kFunction0 + 11, "1.5"}}) {
        EXPECT_EQ(error(Example({{line, word}})), "Invalid numeric input") << word;
    }
}

// A large file is read in parts side by side: whatever the number of parts, and wherever their
// borders fall (a file laid out as a save lays it out, or not), the result is that of one
// reading from the start: the same dialogs and links, or the same error on the same line.
TEST(TlkReader, ReadingInPartsGivesWhatOneReadingGives) {
    const std::string varied = kv::SerializeProject(VariedProject());
    const std::size_t header = varied.find("\r\n", varied.find("\r\n") + 2) + 2;
    std::string saved = varied.substr(0, header);
    for (int i = 0; i < 12; ++i) saved += varied.substr(header); // 36 dialogs
    auto blockStart = [&](std::size_t dialog) {
        std::size_t pos = header;
        for (std::size_t line = 0; line < 336 * dialog; ++line) pos = saved.find('\n', pos) + 1;
        return pos;
    };
    auto withAt = [&](std::size_t dialog, const std::string& bytes) {
        return std::string(saved).insert(blockStart(dialog), bytes);
    };
    const std::string cases[] = {
        saved,
        withAt(2, "\r\n\r\n"),  // a number passes over blank lines: the blocks move on
        withAt(30, "x"),          // an error late in the file
        withAt(2, "\r\n").insert(blockStart(33), "x"),
        withAt(20, "\x1a"),       // the end of the file in the middle
    };
    auto outcome = [](const std::string& bytes, std::size_t parts) {
        try {
            return kv::SerializeProject(kv::ParseProject(bytes, parts));
        } catch (const kv::ProjectFileError& e) {
            return std::string(e.what()) + " on line " + std::to_string(e.line());
        }
    };
    for (std::size_t c = 0; c < std::size(cases); ++c) {
        const std::string whole = outcome(cases[c], 1);
        for (std::size_t parts : {2, 3, 7})
            EXPECT_EQ(outcome(cases[c], parts), whole) << "case " << c << ", parts " << parts;
    }
    ExpectLoadedAsSaved(kv::ParseProject(saved, 1), kv::ParseProject(saved, 5));
}

TEST(TlkReader, TheDialogLimitCountsDialogsNotLines) {
    // More empty lines after a dialog than the largest project has lines: the numbers pass over
    // them, so this is the dialog and one blank one, not too many.
    std::string padded = Example({}) + std::string(2 + 336 * std::size_t{kv::kMaxDialogs}, '\n');
    EXPECT_EQ(kv::ParseProject(padded).DialogCount(), 2);
    // One dialog more than the limit, each as short as a block can be, is refused.
    Project blank;
    blank.AppendDialog();
    std::string block = kv::SerializeProject(blank).substr(std::string_view("1000\r\n\r\n").size());
    std::string many = "0\r\n\r\n";
    many.reserve(many.size() + block.size() * (std::size_t{kv::kMaxDialogs} + 1));
    for (std::int64_t i = 0; i <= kv::kMaxDialogs; ++i) many += block;
    EXPECT_EQ(ErrorOf([&] { kv::ParseProject(many); }),
              "Слишком много диалогов в файле проекта (не больше 100000)");
    // Also when the dialog past the limit holds an error: reading stops before it.
    many.replace(many.size() - block.size(), 1, "x");
    EXPECT_EQ(ErrorOf([&] { kv::ParseProject(many); }),
              "Слишком много диалогов в файле проекта (не больше 100000)");
}

} // namespace
