#include "project/ini_import.h"

#include "project/tlk_file.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kv::Project;
using kv::TDialogItem;

std::vector<std::int32_t> Numbers(const Project& project) {
    std::vector<std::int32_t> numbers;
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next)
        numbers.push_back(d->FunctionNumber);
    return numbers;
}

TEST(IniImport, OneDialogPerNumberOfTheRange) {
    const struct {
        const char* file;
        std::int32_t functionStart;
        std::vector<std::int32_t> numbers;
    } cases[] = {
        {"[Main]\nFunctionStart=5\nFunctionEnd=3\n[3]\n[4]\n[5]\n", 5, {}},
        {"[Main]\nFunctionStart=1000\n[1000]\n[1001]\n", 1000, {}}, // no FunctionEnd
        {"[Main]\nFunctionStart=1e3\nFunctionEnd=1000\n", 1000, {1000}},
        {"[Main]\nFunctionStart=-2147483648\n", -2147483647 - 1, {}}, // the end is start - 1
        {"[main]\nfunctionstart=2147483646\nFUNCTIONEND=0x7FFFFFFF\n[MAIN]\nFunctionEnd=1\n",
         2147483646,
         {2147483646, 2147483647}},
        // A project file given as INI: no section Main.
        {"1200\r\nC:\\maps\\intro.erm\r\n1200\r\n1200 {}\r\n", 1000, {}},
    };
    for (const auto& c : cases) {
        Project p = kv::ImportIniProject(c.file);
        EXPECT_EQ(p.FunctionStart, c.functionStart) << c.file;
        EXPECT_EQ(Numbers(p), c.numbers) << c.file;
    }
    // A range that would make more than 100000 dialogs is refused before anything is made.
    EXPECT_EQ(kvtest::ErrorOf([] {
                  kv::ImportIniProject("[Main]\nFunctionStart=-2147483648\nFunctionEnd=2147483647");
              }),
              "Слишком большой диапазон функций: -2147483648..2147483647 (не больше 100000 "
              "диалогов)");
}

TEST(IniImport, SectionsAreNamedByThePlainDecimalNumberAndMayBeMissing) {
    Project p = kv::ImportIniProject("[Main]\nFunctionStart=-1\nFunctionEnd=1002\n"
                                     "[01000]\nHint=Padded\n[+5]\nHint=Plus\n[-1]\nHint=Minus\n"
                                     "[ 1001 ]\nhint=Found\nHINT=Second\nFunction0=1002\n"
                                     "Function1=2000\nFunction2=1001\n");
    ASSERT_EQ(p.DialogCount(), 1004);
    EXPECT_EQ(p.FindByFunction(-1)->Hint, "Minus");
    EXPECT_EQ(p.FindByFunction(5)->Hint, "");
    EXPECT_EQ(p.FindByFunction(1000)->Hint, "");
    const TDialogItem& found = *p.FindByFunction(1001);
    EXPECT_EQ(found.Hint, "Found");
    // Links inside the range, numbers outside it; Function 0 leads to the dialog numbered 0.
    EXPECT_EQ(found.LinkDialog[0], p.FindByFunction(1002));
    EXPECT_EQ(found.LinkDialog[1], nullptr);
    EXPECT_EQ(found.FollowUp(1), 2000);
    EXPECT_EQ(found.LinkDialog[2], &found);
    EXPECT_EQ(found.LinkDialog[3], p.FindByFunction(0));
}

TEST(IniImport, AKeyIsAFieldNameAndOnlyTheNumbersItTakes) {
    using namespace std::string_literals;
    const std::string head = "[Main]\nFunctionStart=1\nFunctionEnd=1\n[1]\n";
    const Project exact = kv::ImportIniProject(head + "text30=f\nFUNCTION11=7\ngiveMYTH11=9\n");
    const TDialogItem& d = *exact.Dialogs();
    EXPECT_EQ(d.Text[29], "f");
    EXPECT_EQ(d.Function[11], 7);
    EXPECT_EQ(d.Variants[11].giveMyth, 9);
    // Lines count from 1, slots from 0, in plain decimal; a name without its number or with
    // one it does not take names nothing, and the first occurrence of a key counts.
    const Project noise = kv::ImportIniProject(
        head + "Text0=a\nText31=b\nText01=c\nText=d\nSkill12=5\nSkill011=5\nSkill=5\n"
               "Hint1=e\nVariantEscape0=3\nVariant=g\nText30=f\nText30=h\nFunction11=7\n"
               "giveMyth11=9\nFunction11=8\nHint\0=x\n"s); // a zero byte ends no name
    EXPECT_EQ(kv::SerializeProject(noise), kv::SerializeProject(exact));
    // A byte 26 would end the project file early: a text keeps a blank in its place.
    EXPECT_EQ(kv::ImportIniProject(head + "Hint=a\x1A"
                                          "b\n")
                  .Dialogs()
                  ->Hint,
              "a b");
}

TEST(IniImport, EveryKeyFillsItsOwnFieldToItsWidthAndCapacity) {
    Project p = kv::ImportIniFile(KORV_TEST_DATA "/ini/every_key.ini");
    EXPECT_EQ(kv::SerializeProject(p), kvtest::ReadBytes(KORV_TEST_DATA "/ini/every_key.tlk"));
    EXPECT_EQ(p.Dialogs()->LinkDialog[0], p.Dialogs());
    EXPECT_FALSE(p.Modified);
    // The texts are left where they lie in the import's copy of the file, or copied when the
    // dialogs are less than half of it (here beside a long section of notes); either way the
    // project is the same, and it outlives the text it was read from.
    // An answer whose one value is its text is kept, its text packed after the answers.
    const std::string file = kvtest::ReadBytes(KORV_TEST_DATA "/ini/every_key.ini");
    const std::string textOnly = "[Main]\nFunctionStart=1\nFunctionEnd=1\n[1]\nFailOn2=&v1>2\n";
    for (const std::string& notes : {std::string(), "[Notes]\n" + std::string(file.size(), 'n')}) {
        const Project q = kv::ImportIniProject(file + "\n" + notes);
        EXPECT_EQ(kv::SerializeProject(q), kv::SerializeProject(p)) << notes.size();
        EXPECT_EQ(kv::ImportIniProject(textOnly + notes).Dialogs()->Variants[2].FailOn, "&v1>2");
    }
    EXPECT_EQ(kvtest::ErrorOf([] { kv::ImportIniFile(KORV_TEST_DATA "/ini/missing.ini"); }),
              "Cannot open file \"" KORV_TEST_DATA "/ini/missing.ini\". File not found");
}

} // namespace
