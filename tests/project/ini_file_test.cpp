#include "project/ini_file.h"
#include "project/ini_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using kv::IniFile;

TEST(IniFile, ReadsByTheProfileRules) {
    const IniFile ini = IniFile::Parse("early=1\n[Main]\r\n  FunctionStart \t=  5 \r\n"
                                       "functionstart=6\n;Gold0=5\n   ; indented=6\n"
                                       "no equals sign\n[Broken\nq=\"  padded  \"\r"
                                       "single='single'\nmixed=\"mixed'\nlone=\"\n"
                                       "nested=\"\"x\"\"\nblank=\nequals=a=b\n"
                                       "[ Other ]\nFunctionStart=7\n[MAIN]\nlate=8\n");
    const auto none = std::nullopt;
    // clang-format off
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"FUNCTIONSTART", "5"}, // letter case does not count; the first occurrence does
        {"early", none},        // before any section
        {"Gold0", none}, {"; indented", none}, // comments
        {"q", "  padded  "},    // a lone CR ends a line too
        {"single", "single"}, {"mixed", "\"mixed'"}, {"lone", "\""}, {"nested", "\"x\""},
        {"blank", ""},          // present but empty: not the default
        {"equals", "a=b"},
        {"late", none}};        // in a repeated section, out of sight
    // clang-format on
    for (const auto& [key, value] : cases)
        EXPECT_EQ(ini.Find("main", key), value) << key;
    EXPECT_FALSE(ini.HasSection("Broken"));
    EXPECT_EQ(ini.ReadInteger("other", "FunctionStart", 0), 7);
    EXPECT_EQ(ini.ReadString("Nowhere", "q", "default"), "default");
}

// A large text is split in parts side by side, each beginning at a header line: wherever the
// parts fall (headers after blanks or a lone CR, brackets that begin no header, a text before
// the first header), the sections are those of one split.
TEST(IniFile, SplittingInPartsFindsTheSameSections) {
    std::string text = "before=1\n";
    for (int i = 0; i < 8; ++i) {
        text += "[" + std::to_string(i) +
                "]\r\nk=v[1]\n  [ Blanks ]\rx=[y]\nno [header]\n"
                "[Broken\n\t[Tab]\r\n";
    }
    auto views = [&](std::size_t parts) {
        std::vector<std::pair<const char*, std::size_t>> found;
        for (const kv::IniSection& s : kv::SplitIniSections(text, parts)) {
            found.emplace_back(s.name.data(), s.name.size());
            found.emplace_back(s.lines.data(), s.lines.size());
        }
        return found;
    };
    ASSERT_EQ(views(1).size(), 2u * 8 * 3);
    for (std::size_t parts = 2; parts < 40; parts += 3)
        EXPECT_EQ(views(parts), views(1)) << parts;
}

// The key lines of random section texts, found many bytes at a time, are those a walk over one
// byte after another finds, also where the text goes on past the lines (as a section's does).
TEST(IniFile, KeyLinesAreThoseAByteWalkFinds) {
    using Found = std::vector<std::tuple<std::string, std::string, std::size_t, std::size_t>>;
    auto walk = [](std::string_view lines) {
        Found found;
        for (std::size_t pos = 0; pos < lines.size();) {
            std::size_t end = pos;
            while (end < lines.size() && lines[end] != '\n' && lines[end] != '\r') ++end;
            const std::size_t next = std::min(
                lines.size(), end + (lines.substr(end, 2) == "\r\n" ? 2 : 1));
            const std::string_view line = kv::ini_rules::TrimLeft(lines.substr(pos, end - pos));
            const std::size_t equals = line.find('=');
            if (equals != std::string_view::npos && line.front() != ';') {
                std::string_view value = kv::ini_rules::Trim(line.substr(equals + 1));
                if (kv::ini_rules::Quoted(value)) value = value.substr(1, value.size() - 2);
                found.emplace_back(kv::ini_rules::Trim(line.substr(0, equals)), value, pos, next);
            }
            pos = next;
        }
        return found;
    };
    std::mt19937 random(11);
    const std::string alphabet = "aB=  \t;\r\n\"x";
    for (int round = 0; round < 3000; ++round) {
        // Short lines, and in every other round long ones, which are passed over in blocks.
        const std::size_t filler = round % 2 == 0 ? 0 : 60;
        std::string text(random() % 200, 'a');
        for (char& c : text) {
            const std::size_t i = random() % (alphabet.size() + filler);
            c = i < alphabet.size() ? alphabet[i] : 'a';
        }
        const std::string_view lines = std::string_view(text).substr(0, random() % (text.size() + 1));
        const char* const ends[] = {lines.data() + lines.size(), text.data() + text.size()};
        for (const char* readable : ends) {
            Found found;
            kv::ForEachIniKey(lines, [&](const kv::IniKey& k) {
                found.emplace_back(k.name, k.value, k.begin, k.next);
            }, readable);
            ASSERT_EQ(found, walk(lines)) << text << " | " << lines.size();
        }
    }
}

TEST(IniFile, IntegersAreDecimalWithMinusOrHexadecimalAfter0x) {
    // clang-format off
    const std::pair<const char*, int> accepted[] = {
        {"42", 42}, {"-17", -17}, {"007", 7}, {"0x1F", 31}, {"0XfF", 255}, {"0x00000000FF", 255},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"0xFFFFFFFF", -1}}; // hexadecimal is a 32-bit pattern
    // clang-format on
    // Each value alone, and inside a text that may be read past its end (digits follow it there,
    // so a reader that looks ahead must not take them).
    auto parse = [](std::string_view text, bool ahead) -> std::optional<int> {
        if (!ahead) return kv::ParseIniInteger(text);
        const std::string padded = std::string(text) + "98765432";
        const int number = kv::ParseIniIntegerOr(std::string_view(padded).substr(0, text.size()),
                                                 -99, padded.data() + padded.size());
        return number == -99 ? std::nullopt : std::optional<int>(number);
    };
    for (bool ahead : {false, true}) {
        for (const auto& [text, value] : accepted)
            EXPECT_EQ(parse(text, ahead), value) << text;
        for (int n : {0, 5, 90, 12345678, 99999999, 10000000})
            EXPECT_EQ(parse(std::to_string(n), ahead), n) << n;
        // Anything else, and anything beyond 32 bits, gives the caller's default.
        for (const char* text : {"", "-", "0x", "0xG1", "+5", "12abc", "1.5", " 7", "$1F", "x1F",
                                 "-0x10", "2147483648", "-2147483649", "0x100000000", "4294967295",
                                 "1:", "9/", "12345 78", "1234567\xFA"}) {
            EXPECT_FALSE(parse(text, ahead)) << text;
        }
    }
    EXPECT_EQ(IniFile::Parse("[S]\nquoted=\"12\"\n").ReadInteger("S", "quoted", -1), 12);
}

TEST(IniFile, CopiesAndLargeFilesKeepAnswering) {
    // A short file lives inside the string object itself: the index must not point into it.
    IniFile original = IniFile::Parse("[A]\nk=v\n");
    const IniFile copy = original;
    original = IniFile::Parse("[B]\nk=w\n");
    EXPECT_EQ(copy.Find("A", "k"), "v");

    std::string text; // sections and keys enough for long runs of collisions in the tables
    for (int s = 0; s < 3000; ++s)
        text += "[" + std::to_string(s) + "]\nKey" + std::to_string(s % 50) + "=" +
                std::to_string(s) + "\nOther=x\n";
    const IniFile large = IniFile::Parse(text);
    for (int s = 0; s < 3000; ++s)
        EXPECT_EQ(large.Find(std::to_string(s), "KEY" + std::to_string(s % 50)), std::to_string(s));
    EXPECT_FALSE(large.HasSection("0100"));
}

TEST(IniFile, WritingChangesOnlyItsKeysAndEveryValueReadsBack) {
    IniFile ini = IniFile::Parse("; by hand\n[Options]\n  width = 700\nRecent=C:\\a.tlk\n\n"
                                 "[Empty]\nstray line\n[Text]\nTop=5\nTop=6\n[text]\nTop=7");
    ini.WriteInteger("OPTIONS", "Width", 722); // in place, keeping the key's spelling
    ini.WriteInteger("Options", "Panel", 254); // after the section's last key
    ini.WriteString("Empty", "k", "v");        // right after the header
    ini.WriteString("text", "top", "103");     // the first occurrence
    ini.WriteString("Window", "State", "1");   // a new section at the end
    EXPECT_EQ(ini.Serialize(), "; by hand\r\n[Options]\r\nwidth=722\r\nRecent=C:\\a.tlk\r\n"
                               "Panel=254\r\n\r\n[Empty]\r\nk=v\r\nstray line\r\n[Text]\r\n"
                               "Top=103\r\nTop=6\r\n[text]\r\nTop=7\r\n[Window]\r\nState=1\r\n");

    const std::string values[] = {"  padded  ", "\"quoted\"", "'single'", "\"", "", "a=b"};
    for (std::size_t i = 0; i < std::size(values); ++i)
        ini.WriteString("S", "k" + std::to_string(i), values[i]);
    const IniFile reread = IniFile::Parse(ini.Serialize());
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(reread.Find("S", "k" + std::to_string(i)), values[i]) << i;
    // A line break in a value must not make a line of its own.
    ini = IniFile::Parse("[S]\nk=1\n");
    ini.WriteString("S", "k", "C:\\maps\r\n[Injected]\nx=1");
    EXPECT_EQ(ini.Serialize(), "[S]\r\nk=C:\\maps  [Injected] x=1\r\n");
}

} // namespace
