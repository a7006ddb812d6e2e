#include "text/cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

TEST(Cp1251, EveryByteSurvivesBothRoundTrips) {
    const std::string bytes = AllBytes();
    EXPECT_EQ(kv::Utf16ToCp1251(kv::Cp1251ToUtf16(bytes)), bytes);
    EXPECT_EQ(kv::Utf8ToCp1251(kv::Cp1251ToUtf8(bytes)), bytes);
    EXPECT_TRUE(kv::FitsCp1251(kv::Cp1251ToUtf16(bytes)));
}

TEST(Cp1251, CyrillicAndPunctuationMapToTheirBytes) {
    // П р и в е т, Ё ё №, euro sign, em dash, guillemets
    const std::string bytes = "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8\xB9 \x88\x97\xAB\xBB";
    const std::string utf8Expected = "Привет Ёё№ €—«»";
    EXPECT_EQ(kv::Cp1251ToUtf8(bytes), utf8Expected);
    EXPECT_EQ(kv::Utf8ToCp1251(utf8Expected), bytes);
    EXPECT_EQ(kv::Cp1251ToUtf16(bytes), u"Привет Ёё№ €—«»");
    EXPECT_EQ(kv::Utf16ToCp1251(u"Привет Ёё№ €—«»"), bytes);
    EXPECT_EQ(kv::Utf8ToCp1251("АЯаяA"), "\xC0\xDF\xE0\xFF"
                                         "A");
}

TEST(Cp1251, CharactersWithoutAByteBecomeOneQuestionMarkEach) {
    EXPECT_EQ(kv::Utf8ToCp1251("café 日本"), "caf? ??");
    EXPECT_EQ(kv::Utf16ToCp1251(u"caf\u00E9 \u65E5"), "caf? ?");
    // A character outside the basic plane: one '?' for the pair, not two.
    EXPECT_EQ(kv::Utf8ToCp1251("a\xF0\x9F\x98\x80z"), "a?z");
    EXPECT_EQ(kv::Utf16ToCp1251(u"a\U0001F600z"), "a?z");
    // Halves of a pair on their own.
    EXPECT_EQ(kv::Utf16ToCp1251(std::u16string{u'a', char16_t(0xD83D)}), "a?");
    EXPECT_EQ(kv::Utf16ToCp1251(std::u16string{char16_t(0xDE00), u'b'}), "?b");

    EXPECT_FALSE(kv::FitsCp1251(u"caf\u00E9"));
    EXPECT_FALSE(kv::FitsCp1251(u"\U0001F600"));
    EXPECT_TRUE(kv::FitsCp1251(u"Стражник №5"));
}

TEST(Cp1251, MalformedUtf8NeverYieldsAHiddenCharacter) {
    EXPECT_EQ(kv::Utf8ToCp1251("a\xFF"
                               "b"),
              "a?b");
    EXPECT_EQ(kv::Utf8ToCp1251("ab\xD0"), "ab?"); // cut off at the end
    EXPECT_EQ(kv::Utf8ToCp1251("\xD0"
                               "A"),
              "?A");                                  // lead byte without continuation
    EXPECT_EQ(kv::Utf8ToCp1251("x\xC0\x80y"), "x?y"); // over-long NUL
    EXPECT_EQ(kv::Utf8ToCp1251("\xE0\x80\xAF"), "?"); // over-long '/'
    EXPECT_EQ(kv::Utf8ToCp1251(""), "");
}

} // namespace
