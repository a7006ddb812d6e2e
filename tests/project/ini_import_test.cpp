#include "project/ini_import.h"
#include "support/error_text.h"
#include "support/temp_dir.h"
#include "text/cp1251.h"
#include "text/error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kv::ImportIniProject;
using kv::Project;
using kv::TDialogItem;

std::vector<std::int32_t> Numbers(const Project& project) {
    std::vector<std::int32_t> numbers;
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next)
        numbers.push_back(d->FunctionNumber);
    return numbers;
}

// Every field but Next.
bool SameFields(const TDialogItem& a, const TDialogItem& b) {
    return a.FunctionNumber == b.FunctionNumber && a.Hint == b.Hint &&
           a.ScriptBefore == b.ScriptBefore && a.Text == b.Text && a.ScriptAfter == b.ScriptAfter &&
           a.Header == b.Header && a.Variants == b.Variants && a.VariantEscape == b.VariantEscape &&
           a.Variant == b.Variant && a.LinkDialog == b.LinkDialog && a.Function == b.Function &&
           a.VariantDefault == b.VariantDefault;
}

// A file whose section Main names the range and the given dialog sections.
Project Import(const std::string& start, const std::string& end, const std::string& sections) {
    return ImportIniProject("[Main]\nFunctionStart=" + start + "\nFunctionEnd=" + end + "\n" +
                            sections);
}

TEST(IniImport, TheShortExample) {
    Project p = ImportIniProject("[Main]\r\nFunctionStart=1000\r\nFunctionEnd=1001\r\n"
                                 "ScriptFile=C:\\maps\\intro.erm\r\n"
                                 "[1000]\r\nHint=Greeting\r\nText1=Who goes there?\r\n"
                                 "Variant0=A friend\r\nFunction0=1001\r\n"
                                 "Variant1=A foe\r\nGold1=500\r\n"
                                 "[1001]\r\nHint=Friend\r\n");
    EXPECT_EQ(p.FunctionStart, 1000);
    EXPECT_EQ(p.ScriptFile, "C:\\maps\\intro.erm");
    EXPECT_FALSE(p.Modified);
    ASSERT_EQ(Numbers(p), (std::vector<std::int32_t>{1000, 1001}));
    TDialogItem expected;
    expected.FunctionNumber = 1000;
    expected.Hint = "Greeting";
    expected.Text[0] = "Who goes there?";
    expected.Variant[0] = "A friend";
    expected.Function[0] = 1001;
    expected.LinkDialog[0] = p.DialogAt(1);
    expected.Variant[1] = "A foe";
    expected.Variants[1].Gold = 500;
    EXPECT_TRUE(SameFields(*p.DialogAt(0), expected));
    TDialogItem friendly;
    friendly.FunctionNumber = 1001;
    friendly.Hint = "Friend";
    EXPECT_TRUE(SameFields(*p.DialogAt(1), friendly));
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
        Project p = ImportIniProject(c.file);
        EXPECT_EQ(p.FunctionStart, c.functionStart) << c.file;
        EXPECT_EQ(Numbers(p), c.numbers) << c.file;
        EXPECT_TRUE(p.ScriptFile.empty());
    }
}

TEST(IniImport, ASectionIsNamedByThePlainDecimalNumberAndMayBeMissing) {
    Project p = Import("-1", "1002",
                       "[01000]\nHint=Padded\n[+5]\nHint=Plus\n[-1]\nHint=Minus\n"
                       "[ 1001 ]\nhint=Found\nHINT=Second\n");
    ASSERT_EQ(p.DialogCount(), 1004);
    EXPECT_EQ(p.FindByFunction(-1)->Hint, "Minus");
    EXPECT_EQ(p.FindByFunction(5)->Hint, "");
    EXPECT_EQ(p.FindByFunction(1001)->Hint, "Found");
    TDialogItem blank;
    blank.FunctionNumber = 1000;
    blank.LinkDialog.fill(p.FindByFunction(0)); // Function 0 links to dialog 0 as well
    EXPECT_TRUE(SameFields(*p.FindByFunction(1000), blank));
}

TEST(IniImport, EveryKeyFillsItsOwnFieldToItsWidthAndCapacity) {
    const std::string a300(300, 'a');
    Project p = Import("1", "1",
                       "[1]\nHint=" + a300 + "\nScriptBefore=sb\nText1=t1\nText30=" + a300 +
                           "\nScriptAfter=sa\nHeader=hd\nVariantEscape=-1\nVariantDefault=4\n"
                           "Variant0=v0\nVariant11=" +
                           a300 +
                           "\nSkill5=300\nSlevel5=2\nWood5=3\nMerc5=4\nOre5=5\nSulf5=6\nCryst5=7\n"
                           "Gems5=8\nGold5=70000\nMyth5=10\nArtefact5=65547\ngiveWood5=12\n"
                           "giveMerc5=13\ngiveOre5=14\ngiveSulf5=15\ngiveCryst5=16\ngiveGems5=17\n"
                           "giveGold5=18\ngiveMyth5=0x13\nVariable5=0xFFFFFFFF\nDVariable5=-21\n"
                           "SVariable5=22\nFailOn5=" +
                           a300 + "\nFunction0=100\nFunction11=111\nWood11=99999999999\n");
    const TDialogItem& d = *p.Dialogs();
    EXPECT_EQ(d.Hint, std::string(200, 'a'));
    EXPECT_EQ(d.ScriptBefore, "sb");
    EXPECT_EQ(d.Text[0], "t1");
    EXPECT_EQ(d.Text[29], std::string(255, 'a'));
    EXPECT_EQ(d.ScriptAfter, "sa");
    EXPECT_EQ(d.Header, "hd");
    EXPECT_EQ(d.VariantEscape, 255);
    EXPECT_EQ(d.VariantDefault, 4);
    EXPECT_EQ(d.Variant[0], "v0");
    EXPECT_EQ(d.Variant[11], std::string(150, 'a'));
    kv::TVariantData v;
    v.Skill = 44; // 300 in 8 bits
    v.Slevel = 2;
    for (int r = 0; r < kv::kResourceCount; ++r) {
        v.Cost(r) = static_cast<std::uint16_t>(3 + r);
        v.Reward(r) = static_cast<std::uint16_t>(12 + r);
    }
    v.Gold = 4464;   // 70000 in 16 bits
    v.Artefact = 11; // 65547 in 16 bits
    v.Variable = -1;
    v.DVariable = -21;
    v.SVariable = 22;
    v.FailOn = std::string(150, 'a');
    EXPECT_EQ(d.Variants[5], v);
    EXPECT_EQ(d.Variants[11], kv::TVariantData{}); // beyond 32 bits: the default 0
    EXPECT_EQ(d.Function[0], 100);
    EXPECT_EQ(d.Function[11], 111);
}

TEST(IniImport, LinksInsideTheRangeAndNumbersOutsideIt) {
    Project p = Import("1", "2", "[1]\nFunction0=2\nFunction1=2000\nFunction2=1\n");
    const TDialogItem& one = *p.DialogAt(0);
    EXPECT_EQ(one.LinkDialog[0], p.DialogAt(1));
    EXPECT_EQ(one.LinkDialog[1], nullptr);
    EXPECT_EQ(one.FollowUp(1), 2000);
    EXPECT_EQ(one.LinkDialog[2], &one);
    EXPECT_EQ(one.LinkDialog[3], nullptr);
}

TEST(IniImport, ARangeOfMoreThan100000IsRefusedBeforeAnythingIsMade) {
    const std::pair<const char*, const char*> ranges[] = {{"1", "100001"},
                                                          {"-2147483648", "2147483647"}};
    for (const auto& [start, end] : ranges) {
        EXPECT_EQ(kvtest::ErrorOf([&] { Import(start, end, ""); }),
                  std::string("Слишком большой диапазон функций: ") + start + ".." + end +
                      " (не больше 100000 диалогов)");
    }
}

TEST(IniImport, FromAFile) {
    Project p = kv::ImportIniFile(KORV_EXAMPLES "/tavern.ini");
    ASSERT_EQ(Numbers(p), (std::vector<std::int32_t>{1000, 1001, 1002, 1003}));
    EXPECT_EQ(p.ScriptFile, "tavern.erm");
    EXPECT_EQ(p.Dialogs()->Hint, kv::Utf8ToCp1251("Стражник у входа")); // Windows-1251 bytes
    EXPECT_EQ(p.DialogAt(2)->Header, kv::Utf8ToCp1251("Хозяин таверны"));
    EXPECT_EQ(p.Dialogs()->LinkDialog[1], p.DialogAt(2));
    EXPECT_EQ(p.DialogAt(1)->Variants[0].giveCryst, 2);

    kvtest::TempDir folder;
    EXPECT_EQ(kvtest::ErrorOf([&] { kv::ImportIniFile(folder.Path("missing.ini")); }),
              "File not found");
}

} // namespace
