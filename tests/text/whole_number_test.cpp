#include "text/whole_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

struct Case {
    const char* text;
    std::optional<std::int32_t> value;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class WholeNumber : public testing::TestWithParam<Case> {};

TEST_P(WholeNumber, Parses) {
    EXPECT_EQ(kv::ParseWholeNumber(GetParam().text), GetParam().value);
}

constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kMax = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(Decimal, WholeNumber,
                         testing::Values(Case{"0", 0}, Case{"1000", 1000}, Case{"-17", -17},
                                         Case{"+17", 17}, Case{"   42", 42}, Case{"007", 7},
                                         Case{"2147483647", kMax}, Case{"-2147483648", kMin},
                                         Case{"00000000000000000000000000000001", 1}));

INSTANTIATE_TEST_SUITE_P(Hexadecimal, WholeNumber,
                         testing::Values(Case{"$FF", 255}, Case{"$ff", 255}, Case{"xA", 10},
                                         Case{"X1f", 31}, Case{"0x10", 16}, Case{"0X10", 16},
                                         Case{"-$10", -16}, Case{"$7FFFFFFF", kMax},
                                         Case{"-0x80000000", kMin}));

INSTANTIATE_TEST_SUITE_P(
    NotANumber, WholeNumber,
    testing::Values(Case{"", std::nullopt}, Case{"   ", std::nullopt}, Case{"+", std::nullopt},
                    Case{"-", std::nullopt}, Case{"$", std::nullopt}, Case{"0x", std::nullopt},
                    Case{"12a", std::nullopt}, Case{"1 2", std::nullopt}, Case{"12 ", std::nullopt},
                    Case{"\t12", std::nullopt}, Case{"1.5", std::nullopt}, Case{"$G", std::nullopt},
                    Case{"--1", std::nullopt}, Case{"$-1", std::nullopt}, Case{"abc", std::nullopt},
                    Case{"FunctionStart=1000", std::nullopt},
                    // beyond the signed 32-bit range, also by a long way
                    Case{"2147483648", std::nullopt}, Case{"-2147483649", std::nullopt},
                    Case{"99999999999999999999999", std::nullopt}, Case{"$80000000", std::nullopt},
                    Case{"$FFFFFFFFFF", std::nullopt}));

} // namespace
