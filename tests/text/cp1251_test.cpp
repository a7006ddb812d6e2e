#include "text/case_fold.h"
#include "text/cp1251.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(Cp1251, EveryByteSurvivesBothRoundTrips) {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    EXPECT_EQ(kv::Utf16ToCp1251(kv::Cp1251ToUtf16(bytes)), bytes);
    EXPECT_EQ(kv::Utf8ToCp1251(kv::Cp1251ToUtf8(bytes)), bytes);
    EXPECT_TRUE(kv::FitsCp1251(kv::Cp1251ToUtf16(bytes)));
}

TEST(Cp1251, CyrillicAndPunctuationMapToTheirBytes) {
    // П р и в е т, Ё ё №, euro sign, em dash, guillemets, the ends of А..я
    const std::string bytes =
        "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8\xB9 \x88\x97\xAB\xBB \xC0\xDF\xE0\xFF";
    EXPECT_EQ(kv::Cp1251ToUtf8(bytes), "Привет Ёё№ €—«» АЯая");
    EXPECT_EQ(kv::Utf8ToCp1251("Привет Ёё№ €—«» АЯая"), bytes);
    EXPECT_EQ(kv::Cp1251ToUtf16(bytes), u"Привет Ёё№ €—«» АЯая");
    EXPECT_EQ(kv::Utf16ToCp1251(u"Привет Ёё№ €—«» АЯая"), bytes);
}

TEST(Cp1251, WhatHasNoByteBecomesOneQuestionMark) {
    // clang-format off
    const std::pair<const char*, const char*> utf8[] = {
        {"café 日本", "caf? ??"},
        {"a\xF0\x9F\x98\x80z", "a?z"}, // outside the basic plane: one '?', not two
        {"a\xFF" "b", "a?b"},
        {"ab\xD0", "ab?"},              // cut off at the end
        {"\xD0" "A", "?A"},             // a lead byte without its continuation
        {"x\xC0\x80y", "x?y"},          // an over-long NUL
        {"\xE0\x80\xAF", "?"}};         // an over-long '/'
    // clang-format on
    for (const auto& [text, bytes] : utf8)
        EXPECT_EQ(kv::Utf8ToCp1251(text), bytes) << text;
    EXPECT_EQ(kv::Utf16ToCp1251(u"caf\u00E9 a\U0001F600z"), "caf? a?z");
    EXPECT_EQ(kv::Utf16ToCp1251(std::u16string{u'a', char16_t(0xD83D)}), "a?"); // lone halves
    EXPECT_EQ(kv::Utf16ToCp1251(std::u16string{char16_t(0xDE00), u'b'}), "?b");
    EXPECT_FALSE(kv::FitsCp1251(u"caf\u00E9"));
    EXPECT_TRUE(kv::FitsCp1251(u"Стражник №5"));
}

} // namespace

TEST(Cp1251, CaseFoldingIsUnicodeLowerCaseOfEveryByte) {
    // The folding table against the Unicode case of each character: Latin, А..Я, Ѐ..Џ, Ґ.
    for (int b = 0; b < 256; ++b) {
        char16_t c = kv::Cp1251ToUtf16(std::string(1, static_cast<char>(b)))[0];
        if ((c >= u'A' && c <= u'Z') || (c >= 0x0410 && c <= 0x042F)) c += 0x20;
        else if (c >= 0x0400 && c <= 0x040F) c += 0x50;
        else if (c == 0x0490) c = 0x0491;
        EXPECT_EQ(kv::FoldCase(static_cast<char>(b)), kv::Utf16ToCp1251(std::u16string(1, c))[0])
            << "byte " << b;
    }
}
