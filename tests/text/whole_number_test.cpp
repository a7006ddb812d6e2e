#include "text/whole_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace {

TEST(ParseWholeNumber, DecimalHexadecimalAndNothingElse) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    // clang-format off
    const std::pair<const char*, std::int32_t> numbers[] = {
        {"1000", 1000}, {"-17", -17}, {"+17", 17}, {"   42", 42}, {"007", 7}, {"2147483647", kMax},
        {"-2147483648", kMin}, {"00000000000000000000000000000001", 1}, {"$FF", 255}, {"$ff", 255},
        {"xA", 10}, {"X1f", 31}, {"0x10", 16}, {"0X10", 16}, {"-$10", -16}, {"$7FFFFFFF", kMax},
        {"-0x80000000", kMin}};
    // clang-format on
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(kv::ParseWholeNumber(text), value) << '"' << text << '"';
    // Empty, a sign or a prefix alone, anything after the digits, a tab, two signs, a sign after
    // the prefix, beyond 32 bits (also by a long way).
    for (const char* text : {"", "   ", "+", "$", "0x", "12a", "12 ", "1 2", "\t12", "1.5", "$G",
                             "--1", "$-1", "FunctionStart=1000", "2147483648", "-2147483649",
                             "99999999999999999999999", "$80000000"}) {
        EXPECT_EQ(kv::ParseWholeNumber(text), std::nullopt) << '"' << text << '"';
    }
}

} // namespace
