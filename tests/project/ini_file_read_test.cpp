#include "project/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using kv::IniFile;
using kv::ParseIniInteger;

TEST(IniFileRead, SectionAndKeyNamesIgnoreLetterCase) {
    IniFile ini = IniFile::Parse("[Main]\nFunctionStart=5\n[Text]\nwidth=7\n");
    EXPECT_EQ(ini.ReadInteger("MAIN", "functionstart", 0), 5);
    EXPECT_EQ(ini.ReadInteger("main", "FUNCTIONSTART", 0), 5);
    EXPECT_EQ(ini.ReadInteger("TEXT", "Width", 0), 7);
    EXPECT_TRUE(ini.HasSection("mAiN"));
    EXPECT_FALSE(ini.HasSection("Mai"));
    // The same key in another section is another key.
    EXPECT_EQ(ini.ReadInteger("Text", "FunctionStart", -1), -1);
}

TEST(IniFileRead, FirstOccurrenceOfSectionAndKeyCounts) {
    IniFile ini = IniFile::Parse("[A]\n"
                                 "x=1\n"
                                 "X=2\n"
                                 "[B]\n"
                                 "x=3\n"
                                 "[a]\n"
                                 "x=4\n"
                                 "y=5\n");
    EXPECT_EQ(ini.ReadString("A", "x", "-"), "1");
    EXPECT_EQ(ini.ReadString("B", "x", "-"), "3");
    // The keys of the repeated section stay out of sight.
    EXPECT_EQ(ini.ReadString("A", "y", "-"), "-");
}

TEST(IniFileRead, BlanksAroundKeysAndValuesAndOnePairOfQuotesGo) {
    IniFile ini = IniFile::Parse("[ S ]\n"
                                 "  Key \t=  value with  inner blanks \t\n"
                                 "q=\"  padded  \"\n"
                                 "single='single'\n"
                                 "mixed=\"mixed'\n"
                                 "lone=\"\n"
                                 "empty=\"\"\n"
                                 "nested=\"\"x\"\"\n"
                                 "blank=\n"
                                 "equals=a=b\n");
    const std::pair<const char*, const char*> expected[] = {
        {"Key", "value with  inner blanks"},
        {"q", "  padded  "},
        {"single", "single"},
        {"mixed", "\"mixed'"},
        {"lone", "\""},
        {"empty", ""},
        {"nested", "\"x\""},
        // A key that is there with nothing after "=" reads as empty, not as the default.
        {"blank", ""},
        {"equals", "a=b"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(ini.ReadString("S", key, "-"), value) << key;
    EXPECT_EQ(ini.ReadString("S", "missing", "default"), "default");
    EXPECT_EQ(ini.ReadString("Nowhere", "Key", "default"), "default");
}

TEST(IniFileRead, CommentsStrayLinesAndTextBeforeTheFirstSectionAreIgnored) {
    IniFile ini = IniFile::Parse("early=1\n"
                                 "[S]\n"
                                 ";Gold0=5\n"
                                 "   ; indented=6\n"
                                 "no equals sign here\n"
                                 "[Broken\n"
                                 "after=7\n"
                                 "last=8");
    EXPECT_FALSE(ini.Find("S", "early"));
    EXPECT_FALSE(ini.Find("S", ";Gold0"));
    EXPECT_FALSE(ini.Find("S", "Gold0"));
    EXPECT_FALSE(ini.Find("S", "; indented"));
    // A bracket without its closing bracket opens no section.
    EXPECT_FALSE(ini.HasSection("Broken"));
    EXPECT_EQ(ini.ReadString("S", "after", "-"), "7");
    // The last line needs no line end.
    EXPECT_EQ(ini.ReadString("S", "last", "-"), "8");
}

TEST(IniFileRead, EveryKindOfLineEndEndsALineAndNeverReachesAValue) {
    IniFile ini = IniFile::Parse("[S]\r\na=1\r\nb=2\nc=3\rd=4\r\n\r\ne=5\n");
    EXPECT_EQ(ini.ReadString("S", "a", "-"), "1");
    EXPECT_EQ(ini.ReadString("S", "b", "-"), "2");
    EXPECT_EQ(ini.ReadString("S", "c", "-"), "3");
    EXPECT_EQ(ini.ReadString("S", "d", "-"), "4");
    EXPECT_EQ(ini.ReadString("S", "e", "-"), "5");
}

TEST(IniFileRead, ValuesAreBytesWithCyrillicLettersKeptAsTheyAre) {
    const std::string cyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2"; // "Привет" in Windows-1251
    IniFile ini = IniFile::Parse("[S]\nHint=" + cyrillic + "\n[\xC4\xE0]\nk=1\n");
    EXPECT_EQ(ini.ReadString("s", "HINT", ""), cyrillic);
    EXPECT_TRUE(ini.HasSection("\xC4\xE0"));
}

TEST(IniInteger, DecimalWithMinusOrHexAfter0x) {
    const std::pair<const char*, int> accepted[] = {
        {"42", 42},
        {"-17", -17},
        {"007", 7},
        {"-0", 0},
        {"0x1F", 31},
        {"0XfF", 255},
        {"0x0000000000FF", 255},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        // Hexadecimal takes all 32 bits, as a bit pattern.
        {"0xFFFFFFFF", -1},
        {"0x80000000", -2147483647 - 1},
    };
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(ParseIniInteger(text), value) << text;
    }
}

TEST(IniInteger, AnythingElseIsNoInteger) {
    const char* refused[] = {
        "", "-", "0x", "0xG1", "+5", "12abc", "1.5", " 7", "7 ", "$1F", "x1F", "-0x10",
        // Beyond 32 bits: no wrapping into a surprising value, the caller's default applies.
        "2147483648", "-2147483649", "99999999999999999999", "0x100000000", "4294967295"};
    for (const char* text : refused) {
        EXPECT_FALSE(ParseIniInteger(text)) << text;
    }
}

TEST(IniInteger, ReadIntegerGivesTheDefaultForMissingOrUnreadableValues) {
    IniFile ini = IniFile::Parse("[S]\nquoted=\"12\"\nword=twelve\nempty=\nhex=0x10\n");
    EXPECT_EQ(ini.ReadInteger("S", "quoted", -1), 12);
    EXPECT_EQ(ini.ReadInteger("S", "word", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "empty", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "missing", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "hex", -1), 16);
}

TEST(IniFileRead, CopiesAndMovesKeepAnswering) {
    // Short files live inside the string object itself; a copy or a move must not leave the
    // index pointing into the old one.
    IniFile original = IniFile::Parse("[A]\nk=v\n");
    IniFile copy = original;
    IniFile moved = std::move(original);
    original = IniFile::Parse("[B]\nk=w\n");
    EXPECT_EQ(copy.ReadString("A", "k", "-"), "v");
    EXPECT_EQ(moved.ReadString("A", "k", "-"), "v");
    EXPECT_EQ(original.ReadString("B", "k", "-"), "w");
    EXPECT_FALSE(original.HasSection("A"));
}

TEST(IniFileRead, ManySectionsAndKeysAreAllFound) {
    // Enough names to fill the index deeply, with names that differ only in their digits.
    std::string text;
    for (int s = 0; s < 3000; ++s) {
        text += "[" + std::to_string(s) + "]\n";
        for (int k = 0; k < 40; ++k)
            text += "Key" + std::to_string(k) + "=" + std::to_string(s * 100 + k) + "\n";
    }
    IniFile ini = IniFile::Parse(text);
    for (int s = 0; s < 3000; s += 7) {
        auto section = ini.FindSection(std::to_string(s));
        ASSERT_TRUE(section) << s;
        for (int k = 0; k < 40; ++k) {
            EXPECT_EQ(section.Find("KEY" + std::to_string(k)), std::to_string(s * 100 + k));
        }
        EXPECT_FALSE(section.Find("Key40"));
    }
    EXPECT_FALSE(ini.HasSection("3000"));
    EXPECT_FALSE(ini.HasSection("0100"));
}

TEST(IniFileRead, EmptyAndSectionlessTextHaveNothing) {
    EXPECT_FALSE(IniFile::Parse("").HasSection(""));
    EXPECT_FALSE(IniFile::Parse("k=v\n").Find("", "k"));
    EXPECT_EQ(IniFile().ReadInteger("Options", "Width", 722), 722);
}

} // namespace
