#include "project/ini_file.h"
#include "support/error_text.h"
#include "support/temp_dir.h"
#include "text/error.h"
#include "text/file_io.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using kv::IniFile;

TEST(IniFile, ReadsByTheProfileRules) {
    const IniFile ini = IniFile::Parse("early=1\n"
                                       "[Main]\r\n"
                                       "  FunctionStart \t=  5 \r\n"
                                       "functionstart=6\n"
                                       ";Gold0=5\n"
                                       "   ; indented=6\n"
                                       "no equals sign\n"
                                       "[Broken\n"
                                       "q=\"  padded  \"\r"
                                       "single='single'\n"
                                       "mixed=\"mixed'\n"
                                       "lone=\"\n"
                                       "nested=\"\"x\"\"\n"
                                       "blank=\n"
                                       "equals=a=b\n"
                                       "[ Other ]\n"
                                       "FunctionStart=7\n"
                                       "[MAIN]\n"
                                       "late=8\n"
                                       "\xC8\xEC\xFF=\xC4\xE0");
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"FUNCTIONSTART", "5"},  // letter case does not count; the first occurrence does
        {"early", std::nullopt}, // before any section
        {"Gold0", std::nullopt},
        {";Gold0", std::nullopt},
        {"; indented", std::nullopt},
        {"q", "  padded  "}, // a lone CR ends a line too
        {"single", "single"},
        {"mixed", "\"mixed'"},
        {"lone", "\""},
        {"nested", "\"x\""},
        {"blank", ""}, // present but empty: not the default
        {"equals", "a=b"},
        {"late", std::nullopt}, // in a repeated section, out of sight
    };
    for (const auto& [key, value] : cases) {
        EXPECT_EQ(ini.Find("main", key), value) << key;
    }
    EXPECT_FALSE(ini.HasSection("Broken"));
    EXPECT_EQ(ini.ReadInteger("other", "FunctionStart", 0), 7);
    EXPECT_EQ(ini.ReadString("Nowhere", "q", "default"), "default");
    EXPECT_EQ(IniFile().ReadInteger("Options", "Width", 722), 722);
}

TEST(IniFile, IntegersAreDecimalWithMinusOrHexAfter0x) {
    const std::pair<const char*, int> accepted[] = {
        {"42", 42},
        {"-17", -17},
        {"007", 7},
        {"0x1F", 31},
        {"0XfF", 255},
        {"0x00000000FF", 255},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0xFFFFFFFF", -1}, // hexadecimal is a 32-bit pattern
    };
    for (const auto& [text, value] : accepted)
        EXPECT_EQ(kv::ParseIniInteger(text), value) << text;
    // Anything else, and anything beyond 32 bits, gives the caller's default.
    for (const char* text : {"", "-", "0x", "0xG1", "+5", "12abc", "1.5", " 7", "$1F", "x1F",
                             "-0x10", "2147483648", "-2147483649", "0x100000000", "4294967295"}) {
        EXPECT_FALSE(kv::ParseIniInteger(text)) << text;
    }
    const IniFile ini = IniFile::Parse("[S]\nquoted=\"12\"\nword=twelve\nempty=\n");
    EXPECT_EQ(ini.ReadInteger("S", "quoted", -1), 12);
    EXPECT_EQ(ini.ReadInteger("S", "word", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "empty", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "missing", -1), -1);
}

TEST(IniFile, CopiesMovesAndLargeFilesKeepAnswering) {
    // A short file lives inside the string object itself: the index must not point into it.
    IniFile original = IniFile::Parse("[A]\nk=v\n");
    IniFile copy = original;
    IniFile moved = std::move(original);
    original = IniFile::Parse("[B]\nk=w\n");
    EXPECT_EQ(copy.Find("A", "k"), "v");
    EXPECT_EQ(moved.Find("A", "k"), "v");
    EXPECT_FALSE(original.HasSection("A"));

    std::string text;
    for (int s = 0; s < 3000; ++s) {
        text += "[" + std::to_string(s) + "]\n";
        for (int k = 0; k < 40; ++k)
            text += "Key" + std::to_string(k) + "=" + std::to_string(s * 100 + k) + "\n";
    }
    const IniFile large = IniFile::Parse(text);
    for (int s = 0; s < 3000; s += 7) {
        const IniFile::Section section = large.FindSection(std::to_string(s));
        ASSERT_TRUE(section) << s;
        for (int k = 0; k < 40; ++k)
            EXPECT_EQ(section.Find("KEY" + std::to_string(k)), std::to_string(s * 100 + k));
        EXPECT_FALSE(section.Find("Key40"));
    }
    EXPECT_FALSE(large.HasSection("0100"));
}

TEST(IniFile, WritingChangesOnlyItsKeysAndKeepsEveryOtherLine) {
    IniFile ini = IniFile::Parse("; by hand\n"
                                 "[Options]\n"
                                 "  width = 700\n"
                                 "Recent=C:\\a.tlk\n"
                                 "\n"
                                 "[Empty]\n"
                                 "stray line\n"
                                 "[Text]\n"
                                 "Top=5\n"
                                 "Top=6\n"
                                 "[text]\n"
                                 "Top=7");
    ini.WriteInteger("OPTIONS", "Width", 722); // in place, keeping the key's spelling
    ini.WriteInteger("Options", "Panel", 254); // after the section's last key
    ini.WriteString("Empty", "k", "v");        // right after the header
    ini.WriteString("text", "top", "103");     // the first occurrence
    ini.WriteString("Window", "State", "1");   // a new section at the end
    EXPECT_EQ(ini.Serialize(), "; by hand\r\n"
                               "[Options]\r\n"
                               "width=722\r\n"
                               "Recent=C:\\a.tlk\r\n"
                               "Panel=254\r\n"
                               "\r\n"
                               "[Empty]\r\n"
                               "k=v\r\n"
                               "stray line\r\n"
                               "[Text]\r\n"
                               "Top=103\r\n"
                               "Top=6\r\n"
                               "[text]\r\n"
                               "Top=7\r\n"
                               "[Window]\r\n"
                               "State=1\r\n");
}

TEST(IniFile, EveryWrittenValueReadsBackAndAddsNoLine) {
    const std::string values[] = {"  padded  ", "\"quoted\"",           "'single'", "\"", "",
                                  "a=b",        "\xCA\xE0\xF0\xF2\xFB "};
    IniFile ini;
    for (std::size_t i = 0; i < std::size(values); ++i)
        ini.WriteString("S", "k" + std::to_string(i), values[i]);
    const IniFile reread = IniFile::Parse(ini.Serialize());
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(reread.Find("S", "k" + std::to_string(i)), values[i]) << i;
    }
    ini = IniFile::Parse("[S]\nk=1\n");
    ini.WriteString("S", "k", "C:\\maps\r\n[Injected]\nx=1");
    EXPECT_EQ(ini.Serialize(), "[S]\r\nk=C:\\maps  [Injected] x=1\r\n");
}

TEST(IniFile, AFailedSaveSaysUnableToWriteToAndLeavesTheOldFile) {
    kvtest::TempDir folder;
    const IniFile ini = IniFile::Parse("[S]\nk=new\n");
    const std::string old = folder.Path("old.ini");
    kvtest::WriteBytes(old, "[S]\nk=old\n");
    const std::string places[] = {folder.Path("no/such/folder/s.ini"), folder.Path("")};
    for (const std::string& place : places) {
        EXPECT_EQ(kvtest::ErrorOf([&] { ini.Save(place); }), "Unable to write to " + place);
    }
    for (auto step : {kv::ReplaceStep::CreateTemporary, kv::ReplaceStep::Write,
                      kv::ReplaceStep::Flush, kv::ReplaceStep::PutInPlace}) {
        kv::SetReplaceFaultHook([step](kv::ReplaceStep now) { return now == step; });
        EXPECT_THROW(ini.Save(old), kv::Error);
        kv::SetReplaceFaultHook(nullptr);
        EXPECT_EQ(kv::ReadWholeFile(old), "[S]\nk=old\n");
    }
    EXPECT_EQ(folder.Entries().size(), 1u); // no temporary file left behind
    ini.Save(old);
    EXPECT_EQ(kv::ReadWholeFile(old), "[S]\r\nk=new\r\n");

    EXPECT_FALSE(IniFile::Load(folder.Path("missing.ini")).HasSection("S"));
    EXPECT_THROW(IniFile::Load(folder.Path("")), kv::Error); // a folder is no file
}

} // namespace
