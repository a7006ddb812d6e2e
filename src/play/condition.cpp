#include "play/condition.h"

#include "text/whole_number.h"

namespace kv {

namespace {

enum class Compare { Equal, NotEqual, Greater, Less, GreaterEqual, LessEqual };

// "v7>=-3" as its parts; nothing when the text is not such a comparison.
struct Comparison {
    std::int32_t variable;
    Compare compare;
    std::int32_t number;
};

// Digits with an optional minus sign, nothing else (ERM knows no hexadecimal or blanks here).
std::optional<std::int32_t> PlainNumber(std::string_view text) {
    const std::string_view digits = !text.empty() && text[0] == '-' ? text.substr(1) : text;
    if (digits.empty()) return {};
    for (char c : digits)
        if (c < '0' || c > '9') return {};
    return ParseWholeNumber(text);
}

std::optional<Comparison> ReadComparison(std::string_view term) {
    if (term.size() < 2 || term[0] != 'v') return {};
    const std::size_t sign = term.find_first_of("=<>");
    if (sign == std::string_view::npos) return {};
    const auto variable = PlainNumber(term.substr(1, sign - 1));
    if (!variable || *variable < 1) return {};

    static constexpr struct {
        std::string_view text;
        Compare compare;
    } kSigns[] = {{"<>", Compare::NotEqual},  {">=", Compare::GreaterEqual},
                  {"<=", Compare::LessEqual}, {"=", Compare::Equal},
                  {">", Compare::Greater},    {"<", Compare::Less}};
    for (const auto& s : kSigns) {
        if (term.substr(sign, s.text.size()) != s.text) continue;
        const auto number = PlainNumber(term.substr(sign + s.text.size()));
        if (!number) return {};
        return Comparison{*variable, s.compare, *number};
    }
    return {};
}

bool Holds(const Comparison& c, const HeroState& hero) {
    const std::int32_t value = hero.Variable(c.variable);
    switch (c.compare) {
    case Compare::Equal:
        return value == c.number;
    case Compare::NotEqual:
        return value != c.number;
    case Compare::Greater:
        return value > c.number;
    case Compare::Less:
        return value < c.number;
    case Compare::GreaterEqual:
        return value >= c.number;
    case Compare::LessEqual:
        return value <= c.number;
    }
    return false;
}

} // namespace

std::optional<bool> EvaluateCondition(std::string_view condition, const HeroState& hero) {
    if (condition.empty() || (condition[0] != '&' && condition[0] != '|')) return {};
    const bool all = condition[0] == '&';
    std::string_view rest = condition.substr(1);
    bool result = all;
    while (true) {
        const std::size_t slash = rest.find('/');
        const auto comparison = ReadComparison(rest.substr(0, slash));
        if (!comparison) return {};
        const bool holds = Holds(*comparison, hero);
        result = all ? result && holds : result || holds;
        if (slash == std::string_view::npos) return result;
        rest = rest.substr(slash + 1);
    }
}

} // namespace kv
