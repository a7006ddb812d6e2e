#include "project/ini_import.h"
#include "scratch_folder.h"
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

// True when the dialog is blank but for its number, with every slot linked to linkedTo.
bool BlankBut(const TDialogItem& d, std::int32_t number, TDialogItem* linkedTo = nullptr) {
    TDialogItem blank;
    blank.FunctionNumber = number;
    blank.LinkDialog.fill(linkedTo);
    return SameFields(blank, d);
}

TEST(IniImport, TheShortExample) {
    Project p = ImportIniProject("[Main]\r\n"
                                 "FunctionStart=1000\r\n"
                                 "FunctionEnd=1001\r\n"
                                 "ScriptFile=C:\\maps\\intro.erm\r\n"
                                 "[1000]\r\n"
                                 "Hint=Greeting\r\n"
                                 "Text1=Who goes there?\r\n"
                                 "Variant0=A friend\r\n"
                                 "Function0=1001\r\n"
                                 "Variant1=A foe\r\n"
                                 "Gold1=500\r\n"
                                 "[1001]\r\n"
                                 "Hint=Friend\r\n");
    EXPECT_EQ(p.FunctionStart, 1000);
    EXPECT_EQ(p.ScriptFile, "C:\\maps\\intro.erm");
    EXPECT_FALSE(p.Modified);
    EXPECT_TRUE(p.ProjectFileName.empty());
    ASSERT_EQ(Numbers(p), (std::vector<std::int32_t>{1000, 1001}));

    const TDialogItem& greeting = *p.Dialogs();
    TDialogItem& friendly = *greeting.Next;
    EXPECT_EQ(greeting.Hint, "Greeting");
    EXPECT_EQ(greeting.Text[0], "Who goes there?");
    EXPECT_EQ(greeting.Variant[0], "A friend");
    EXPECT_EQ(greeting.Function[0], 1001);
    EXPECT_EQ(greeting.LinkDialog[0], &friendly);
    EXPECT_EQ(greeting.Variant[1], "A foe");
    EXPECT_EQ(greeting.Variants[1].Gold, 500);
    EXPECT_EQ(greeting.LinkDialog[1], nullptr);
    EXPECT_EQ(greeting.SlotsInUse(), 2);
    EXPECT_EQ(friendly.Hint, "Friend");
    EXPECT_EQ(friendly.SlotsInUse(), 0);

    // Everything else is empty or 0.
    TDialogItem expected;
    expected.FunctionNumber = 1000;
    expected.Hint = "Greeting";
    expected.Text[0] = "Who goes there?";
    expected.Variant[0] = "A friend";
    expected.Function[0] = 1001;
    expected.LinkDialog[0] = &friendly;
    expected.Variant[1] = "A foe";
    expected.Variants[1].Gold = 500;
    EXPECT_TRUE(SameFields(expected, greeting));
}

TEST(IniImport, RangeStartingAboveItsEndOrWithoutAnEndGivesNoDialogs) {
    Project above = ImportIniProject("[Main]\nFunctionStart=5\nFunctionEnd=3\n[3]\n[4]\n[5]\n");
    EXPECT_EQ(above.FunctionStart, 5);
    EXPECT_EQ(above.DialogCount(), 0);

    Project noEnd = ImportIniProject("[Main]\nFunctionStart=1000\n[1000]\nHint=a\n[1001]\n");
    EXPECT_EQ(noEnd.DialogCount(), 0);

    // The default end is computed without overflowing the lowest 32-bit number.
    Project lowest = ImportIniProject("[Main]\nFunctionStart=-2147483648\n");
    EXPECT_EQ(lowest.FunctionStart, -2147483647 - 1);
    EXPECT_EQ(lowest.DialogCount(), 0);
}

TEST(IniImport, EveryNumberOfTheRangeGetsItsDialogWhetherItsSectionExistsOrNot) {
    Project p = ImportIniProject("[Main]\nFunctionStart=1000\nFunctionEnd=1002\n"
                                 "[1001]\nHint=Middle\n[1003]\nHint=Outside\n");
    ASSERT_EQ(Numbers(p), (std::vector<std::int32_t>{1000, 1001, 1002}));
    EXPECT_TRUE(BlankBut(*p.DialogAt(0), 1000));
    EXPECT_EQ(p.DialogAt(1)->Hint, "Middle");
    EXPECT_TRUE(BlankBut(*p.DialogAt(2), 1002));
}

TEST(IniImport, ASectionIsNamedByThePlainDecimalNumber) {
    Project p = ImportIniProject("[Main]\nFunctionStart=-1\nFunctionEnd=1000\n"
                                 "[01000]\nHint=Padded\n[+5]\nHint=Plus\n[-1]\nHint=Minus\n"
                                 "[ 7 ]\nHint=Seven\n");
    ASSERT_EQ(p.DialogCount(), 1002);
    EXPECT_EQ(p.FindByFunction(-1)->Hint, "Minus");
    EXPECT_EQ(p.FindByFunction(5)->Hint, "");
    EXPECT_EQ(p.FindByFunction(7)->Hint, "Seven"); // blanks inside the brackets do not count
    EXPECT_EQ(p.FindByFunction(1000)->Hint, "");
    EXPECT_EQ(p.LastDialog()->FunctionNumber, 1000);
}

TEST(IniImport, TheHighestNumberEndsTheRange) {
    Project p = ImportIniProject("[Main]\nFunctionStart=2147483646\nFunctionEnd=2147483647\n"
                                 "[2147483647]\nHint=Top\n");
    ASSERT_EQ(Numbers(p), (std::vector<std::int32_t>{2147483646, 2147483647}));
    EXPECT_EQ(p.LastDialog()->Hint, "Top");
}

TEST(IniImport, KeysIgnoreCaseAndTheFirstOccurrenceCounts) {
    Project p =
        ImportIniProject("[main]\nfunctionstart=7\nFUNCTIONEND=0x7\nscriptfile=\"a b.erm\"\n"
                         "[MAIN]\nFunctionEnd=9\n"
                         "[7]\nhint=first\nHINT=second\n  gold0 = 0x10 \nGOLD0=1\n");
    EXPECT_EQ(p.FunctionStart, 7);
    EXPECT_EQ(p.ScriptFile, "a b.erm");
    ASSERT_EQ(p.DialogCount(), 1);
    EXPECT_EQ(p.Dialogs()->Hint, "first");
    EXPECT_EQ(p.Dialogs()->Variants[0].Gold, 16);
}

TEST(IniImport, UnreadableProjectValuesTakeTheirDefaults) {
    Project p = ImportIniProject("[Main]\nFunctionStart=1e3\nFunctionEnd=1000\n");
    EXPECT_EQ(p.FunctionStart, 1000);
    EXPECT_EQ(Numbers(p), (std::vector<std::int32_t>{1000}));
}

TEST(IniImport, EveryKeyFillsItsOwnField) {
    // Distinct values in slot 5 and at the far ends of the arrays, so a key read into a
    // neighbouring field shows.
    Project p = ImportIniProject(
        "[Main]\nFunctionStart=1\nFunctionEnd=1\n[1]\n"
        "Hint=h\nScriptBefore=sb\nText1=t1\nText30=t30\nScriptAfter=sa\nHeader=hd\n"
        "VariantEscape=3\nVariantDefault=4\nVariant0=v0\nVariant11=v11\n"
        "Skill5=1\nSlevel5=2\nWood5=3\nMerc5=4\nOre5=5\nSulf5=6\nCryst5=7\nGems5=8\nGold5=9\n"
        "Myth5=10\nArtefact5=11\ngiveWood5=12\ngiveMerc5=13\ngiveOre5=14\ngiveSulf5=15\n"
        "giveCryst5=16\ngiveGems5=17\ngiveGold5=18\ngiveMyth5=19\nVariable5=20\nDVariable5=-21\n"
        "SVariable5=22\nFailOn5=fail\nFunction0=100\nFunction11=111\nSkill11=28\n");
    const TDialogItem& d = *p.Dialogs();
    EXPECT_EQ(d.Hint, "h");
    EXPECT_EQ(d.ScriptBefore, "sb");
    EXPECT_EQ(d.Text[0], "t1");
    EXPECT_EQ(d.Text[29], "t30");
    EXPECT_EQ(d.ScriptAfter, "sa");
    EXPECT_EQ(d.Header, "hd");
    EXPECT_EQ(d.VariantEscape, 3);
    EXPECT_EQ(d.VariantDefault, 4);
    EXPECT_EQ(d.Variant[0], "v0");
    EXPECT_EQ(d.Variant[11], "v11");
    const kv::TVariantData& v = d.Variants[5];
    EXPECT_EQ(v.Skill, 1);
    EXPECT_EQ(v.Slevel, 2);
    EXPECT_EQ(v.Wood, 3);
    EXPECT_EQ(v.Merc, 4);
    EXPECT_EQ(v.Ore, 5);
    EXPECT_EQ(v.Sulf, 6);
    EXPECT_EQ(v.Cryst, 7);
    EXPECT_EQ(v.Gems, 8);
    EXPECT_EQ(v.Gold, 9);
    EXPECT_EQ(v.Myth, 10);
    EXPECT_EQ(v.Artefact, 11);
    EXPECT_EQ(v.giveWood, 12);
    EXPECT_EQ(v.giveMerc, 13);
    EXPECT_EQ(v.giveOre, 14);
    EXPECT_EQ(v.giveSulf, 15);
    EXPECT_EQ(v.giveCryst, 16);
    EXPECT_EQ(v.giveGems, 17);
    EXPECT_EQ(v.giveGold, 18);
    EXPECT_EQ(v.giveMyth, 19);
    EXPECT_EQ(v.Variable, 20);
    EXPECT_EQ(v.DVariable, -21);
    EXPECT_EQ(v.SVariable, 22);
    EXPECT_EQ(v.FailOn, "fail");
    EXPECT_EQ(d.Function[0], 100);
    EXPECT_EQ(d.Function[11], 111);
    EXPECT_EQ(d.Variants[11].Skill, 28);
    for (std::size_t i : {0u, 4u, 6u, 11u}) {
        EXPECT_EQ(d.Variants[i].Wood, 0) << i;
        EXPECT_TRUE(d.Variants[i].FailOn.empty()) << i;
    }
}

TEST(IniImport, NumbersKeepTheLowBitsOfTheirFieldAndTextsAreCut) {
    const std::string long300(300, 'a');
    Project p = ImportIniProject("[Main]\nFunctionStart=1\nFunctionEnd=1\nScriptFile=" + long300 +
                                 "\n[1]\nGold0=70000\nSkill0=300\nVariantEscape=-1\n"
                                 "VariantDefault=0x1FF\nArtefact0=65536\nVariable0=0xFFFFFFFF\n"
                                 "Wood0=99999999999\nFunction0=-5\n"
                                 "Hint=" +
                                 std::string(250, 'h') + "\nText1=" + long300 +
                                 "\nHeader=" + long300 + "\nVariant0=" + long300 +
                                 "\nFailOn0=" + long300 + "\nScriptAfter=" + long300 + "\n");
    const TDialogItem& d = *p.Dialogs();
    EXPECT_EQ(d.Variants[0].Gold, 4464);
    EXPECT_EQ(d.Variants[0].Skill, 44);
    EXPECT_EQ(d.VariantEscape, 255);
    EXPECT_EQ(d.VariantDefault, 255);
    EXPECT_EQ(d.Variants[0].Artefact, 0);
    EXPECT_EQ(d.Variants[0].Variable, -1);
    EXPECT_EQ(d.Variants[0].Wood, 0); // beyond 32 bits: not a number, so the default 0
    EXPECT_EQ(d.Function[0], -5);
    EXPECT_EQ(d.Hint, std::string(200, 'h'));
    EXPECT_EQ(d.Text[0], std::string(255, 'a'));
    EXPECT_EQ(d.Header, std::string(200, 'a'));
    EXPECT_EQ(d.Variant[0], std::string(150, 'a'));
    EXPECT_EQ(d.Variants[0].FailOn, std::string(150, 'a'));
    EXPECT_EQ(d.ScriptAfter, std::string(255, 'a'));
    EXPECT_EQ(p.ScriptFile, long300); // the project's script path has no capacity
}

TEST(IniImport, LinksAreRebuiltInsideTheRangeAndNumbersOutsideItAreKept) {
    Project p = ImportIniProject("[Main]\nFunctionStart=0\nFunctionEnd=2\n"
                                 "[1]\nFunction0=2\nFunction1=2000\nFunction2=1\n");
    TDialogItem* zero = p.DialogAt(0);
    const TDialogItem* one = p.DialogAt(1);
    const TDialogItem* two = p.DialogAt(2);
    EXPECT_EQ(one->LinkDialog[0], two);
    EXPECT_EQ(one->LinkDialog[1], nullptr);
    EXPECT_EQ(one->Function[1], 2000);
    EXPECT_EQ(one->LinkDialog[2], one);
    // Function 0 links to the dialog numbered 0, in every slot whether in use or not.
    for (std::size_t k = 3; k < kv::kSlotCount; ++k)
        EXPECT_EQ(one->LinkDialog[k], zero) << k;
    EXPECT_TRUE(BlankBut(*two, 2, zero));
}

TEST(IniImport, AProjectFileGivenAsIniImportsEmpty) {
    // The first lines of a .tlk project file: no [Main], no sections at all.
    Project p = ImportIniProject("1200\r\nC:\\maps\\intro.erm\r\n1200\r\n1200 {}\r\n\r\nHello\r\n");
    EXPECT_EQ(p.FunctionStart, 1000);
    EXPECT_TRUE(p.ScriptFile.empty());
    EXPECT_EQ(p.DialogCount(), 0);
    EXPECT_FALSE(p.Modified);
}

TEST(IniImport, ARangeOfMoreThan100000NumbersIsRefusedWithTheRangeInTheMessage) {
    auto message = [](const std::string& text) -> std::string {
        try {
            ImportIniProject(text);
        } catch (const kv::Error& e) {
            return e.what();
        }
        return "imported";
    };
    EXPECT_EQ(message("[Main]\nFunctionStart=1\nFunctionEnd=100001\n"),
              "Слишком большой диапазон функций: 1..100001 (не больше 100000 диалогов)");
    EXPECT_EQ(message("[Main]\nFunctionStart=-2147483648\nFunctionEnd=2147483647\n"),
              "Слишком большой диапазон функций: -2147483648..2147483647 (не больше 100000 "
              "диалогов)");

    // The caller's project is replaced only by a finished import.
    Project open = ImportIniProject("[Main]\nFunctionStart=5\nFunctionEnd=5\n[5]\nHint=kept\n");
    EXPECT_THROW(open = ImportIniProject("[Main]\nFunctionStart=0\nFunctionEnd=0x7FFFFFFF\n"),
                 kv::Error);
    ASSERT_EQ(open.DialogCount(), 1);
    EXPECT_EQ(open.Dialogs()->Hint, "kept");
}

TEST(IniImport, FromAFile) {
    ScratchFolder folder;
    const std::string hint = kv::Utf8ToCp1251("Стражник");
    const std::string path = folder.Put("project.INI", "[Main]\r\nFunctionStart=3\r\n"
                                                       "FunctionEnd=3\r\n[3]\r\nHint=" +
                                                           hint + "\r\n");
    Project p = kv::ImportIniFile(path);
    ASSERT_EQ(p.DialogCount(), 1);
    EXPECT_EQ(p.Dialogs()->Hint, hint);

    try {
        kv::ImportIniFile(folder.Path("missing.ini"));
        FAIL() << "imported a missing file";
    } catch (const kv::Error& e) {
        EXPECT_EQ(std::string(e.what()), "File not found");
    }
}

TEST(IniImport, ManyFullDialogs) {
    // Every key of every dialog present, so the index holds hundreds of thousands of names.
    const int count = 1500;
    std::string text =
        "[Main]\nFunctionStart=10000\nFunctionEnd=" + std::to_string(10000 + count - 1) + "\n";
    for (int n = 10000; n < 10000 + count; ++n) {
        const std::string s = std::to_string(n);
        text += "[" + s + "]\nHint=Dialog " + s + "\n";
        for (int i = 1; i <= 30; ++i)
            text += "Text" + std::to_string(i) + "=line " + std::to_string(i) + "\n";
        for (int k = 0; k < 12; ++k) {
            const std::string i = std::to_string(k);
            text += "Variant" + i + "=answer " + i + "\nGold" + i + "=" +
                    std::to_string(n % 1000 + k) + "\ngiveWood" + i + "=" + i + "\nFunction" + i +
                    "=" + std::to_string(n + 1) + "\n";
        }
    }
    Project p = ImportIniProject(text);
    ASSERT_EQ(p.DialogCount(), count);
    int n = 10000;
    for (const TDialogItem* d = p.Dialogs(); d; d = d->Next, ++n) {
        ASSERT_EQ(d->FunctionNumber, n);
        EXPECT_EQ(d->Hint, "Dialog " + std::to_string(n));
        EXPECT_EQ(d->Text[29], "line 30");
        EXPECT_EQ(d->Variant[11], "answer 11");
        EXPECT_EQ(d->Variants[7].Gold, n % 1000 + 7);
        EXPECT_EQ(d->Variants[7].giveWood, 7);
        EXPECT_EQ(d->LinkDialog[3], d->Next); // the last one leads out of the range
    }
}

TEST(IniImport, TheTavernExample) {
    Project p = kv::ImportIniFile(KORV_EXAMPLES "/tavern.ini");
    ASSERT_EQ(Numbers(p), (std::vector<std::int32_t>{1000, 1001, 1002, 1003}));
    EXPECT_EQ(p.ScriptFile, "tavern.erm");
    const TDialogItem& guard = *p.DialogAt(0);
    const TDialogItem& merchant = *p.DialogAt(1);
    const TDialogItem& host = *p.DialogAt(2);
    const TDialogItem& rumours = *p.DialogAt(3);
    // The file is Windows-1251, as every project text is.
    EXPECT_EQ(guard.Hint, kv::Utf8ToCp1251("Стражник у входа"));
    EXPECT_EQ(host.Header, kv::Utf8ToCp1251("Хозяин таверны"));
    EXPECT_EQ(guard.LinkDialog[0], &merchant);
    EXPECT_EQ(guard.LinkDialog[1], &host);
    EXPECT_EQ(guard.Variants[1].Skill, 5);
    EXPECT_EQ(guard.SlotsInUse(), 3);
    EXPECT_EQ(merchant.Variants[0].Gold, 1000);
    EXPECT_EQ(merchant.Variants[0].giveCryst, 2);
    EXPECT_EQ(merchant.Variants[2].FailOn, "&v50=1");
    EXPECT_EQ(merchant.LinkDialog[3], &guard);
    EXPECT_EQ(rumours.LinkDialog[0], nullptr);
    EXPECT_EQ(rumours.FollowUp(0), 2000);
    EXPECT_EQ(rumours.LinkDialog[1], &host);
}

} // namespace
