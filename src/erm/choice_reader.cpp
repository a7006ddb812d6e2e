#include "erm/choice_reader.h"

#include "erm/generator.h"
#include "text/cp1251.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>

namespace kv {

namespace {

constexpr std::size_t kMaxNumbers = 4;
using Numbers = std::array<std::int64_t, kMaxNumbers>;

// Matches a whole line against a pattern in which '#' stands for a decimal whole number with an
// optional minus sign. Numbers longer than any field could write do not match.
bool Match(std::string_view line, std::string_view pattern, Numbers& numbers) {
    std::size_t at = 0;
    std::size_t count = 0;
    for (char p : pattern) {
        if (p != '#') {
            if (at >= line.size() || line[at] != p) return false;
            ++at;
            continue;
        }
        const bool negative = at < line.size() && line[at] == '-';
        if (negative) ++at;
        const std::size_t start = at;
        std::int64_t value = 0;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
            if (at - start == 12) return false;
            value = value * 10 + (line[at] - '0');
            ++at;
        }
        if (at == start || count == kMaxNumbers) return false;
        numbers[count++] = negative ? -value : value;
    }
    return at == line.size();
}

// The text between a fixed beginning and end of a line.
std::optional<std::string_view> Between(std::string_view line, std::string_view head,
                                        std::string_view tail, bool nonEmpty = false) {
    if (line.size() < head.size() + tail.size() + (nonEmpty ? 1 : 0)) return std::nullopt;
    if (!line.starts_with(head) || !line.ends_with(tail)) return std::nullopt;
    return line.substr(head.size(), line.size() - head.size() - tail.size());
}

// n for m = 2 to the power n, up to the largest mask that fits a signed 32-bit number; else -1.
int MaskExponent(std::int64_t m) {
    for (int n = 0; n <= kLargestEscape; ++n) {
        if (m == std::int64_t{1} << n) return n;
    }
    return -1;
}

// The slot whose mask is m (1, 2, 4 ... 2048), or -1.
int SlotOfMask(std::int64_t m) {
    const int n = MaskExponent(m);
    return n < kSlotCount ? n : -1;
}

// The fixed texts of the code, in the script's code page, and the per-slot caption lines.
struct Patterns {
    std::string skillFailed, costNeeded, rewardGiven;
    std::array<std::string, kSlotCount> caption, skillCheck, failOn;

    Patterns() {
        const GameTexts& texts = RussianGameTexts();
        skillFailed = "!!IF&y-2=#/y-1<#:Q1/20/#/12/0/1^" + texts.failed + "^;";
        costNeeded = "!!IF&y-2=#/y-1<#:Q1/#/#/1^" + texts.needed + "^;";
        rewardGiven = "!!IF&y-3=#:Q1/#/#/1^" + texts.youGet + "^;";
        for (int k = 0; k < kSlotCount; ++k) {
            const std::string z = "!!VRz" + std::to_string(k + 1);
            const auto i = static_cast<std::size_t>(k);
            caption[i] = z + ":S^";
            skillCheck[i] = z + "&v1=0:S^^;";
            failOn[i] = z;
        }
    }
};

const Patterns& ThePatterns() {
    static const Patterns patterns;
    return patterns;
}

// The parts of the choice code before the passes, in the order the compile writes them: the
// header, then per slot its caption, its skill check (two lines) and its fail condition, then the
// choice line and the two lines that keep the choice.
constexpr int kHeaderPart = 0;
constexpr int kFirstSlotPart = 1;
constexpr int kPartsPerSlot = 3;
constexpr int kChoicePart = kFirstSlotPart + kPartsPerSlot * kSlotCount;
constexpr int kPassPart = kChoicePart + 3;

class Reader {
public:
    Reader(std::span<const std::string_view> lines, TDialogItem& dialog)
        : lines_(lines), d_(dialog), p_(ThePatterns()) {}

    ChoiceCode Read() {
        ChoiceCode result;
        int part = kHeaderPart;
        for (std::size_t i = 0; i < lines_.size();) {
            std::size_t used = 0;
            for (int next = part; next < kPassPart && used == 0; ++next) {
                used = ReadPart(next, i);
                if (used > 0) part = next + 1;
            }
            if (used == 0 && ReadPassLine(lines_[i], result)) {
                used = 1;
                part = kPassPart;
            }
            if (used == 0) {
                result.unread.push_back(i);
                used = 1;
            }
            i += used;
        }
        return result;
    }

private:
    // The number of lines that part reads at line i: 0 when the line is not that part.
    std::size_t ReadPart(int part, std::size_t i) {
        const std::string_view line = lines_[i];
        Numbers n{};
        if (part == kHeaderPart) {
            auto header = Between(line, "!!VRz13:S^", "^;");
            if (header) d_.Header = *header;
            return header ? 1 : 0;
        }
        if (part == kChoicePart) {
            if (!Match(line, "!!IF:G1/1/#/z13/z1/z2/z3/z4/z5/z6/z7/z8/z9/z10/z11/z12;", n))
                return 0;
            const int exponent = MaskExponent(n[0]);
            if (n[0] != 0 && exponent < 0) return 0;
            d_.VariantDefault = static_cast<std::uint8_t>(n[0] == 0 ? 0 : exponent + 1);
            return 1;
        }
        if (part == kChoicePart + 1) return line == "!!VRy-2:Sv1;" ? 1 : 0;
        if (part == kChoicePart + 2) return line == "!!VRy-3:Sv1;" ? 1 : 0;

        const auto k = static_cast<std::size_t>((part - kFirstSlotPart) / kPartsPerSlot);
        switch ((part - kFirstSlotPart) % kPartsPerSlot) {
        case 0:
            if (auto caption = Between(line, p_.caption[k], "^;")) {
                d_.Variant[k] = *caption;
                return 1;
            }
            return 0;
        case 1:
            // The skill check is two lines: the hero's level, then the caption emptied at 0.
            if (!Match(line, "!!HE-1:S#/?v1;", n) || n[0] < 0 || n[0] > 254) return 0;
            if (i + 1 >= lines_.size() || lines_[i + 1] != p_.skillCheck[k]) return 0;
            d_.Variants[k].Skill = static_cast<std::uint8_t>(n[0] + 1);
            return 2;
        default:
            if (auto failOn = Between(line, p_.failOn[k], ":S^^;", true)) {
                d_.Variants[k].FailOn = *failOn;
                return 1;
            }
            return 0;
        }
    }

    // A line of the requirement or the effect pass; every one names its slot by the mask. A value
    // that several lines carry is taken from the first of them, so that a line changed by hand
    // is the one that fails to be written again.
    bool ReadPassLine(std::string_view line, ChoiceCode& result) {
        Numbers n{};
        auto slot = [&](std::int64_t mask) -> TVariantData* {
            const int k = SlotOfMask(mask);
            return k < 0 ? nullptr : &d_.Variants[static_cast<std::size_t>(k)];
        };
        auto resource = [](std::int64_t r) { return r >= 0 && r < kResourceCount; };
        auto first = [](auto& field, std::int64_t value) {
            using Field = std::remove_reference_t<decltype(field)>;
            if (field == 0) field = static_cast<Field>(value);
        };
        auto variable = [&](TVariantData& v, std::int64_t change, std::int64_t set) {
            if (v.Variable != 0) return;
            v.Variable = static_cast<std::int32_t>(n[0]);
            v.DVariable = static_cast<std::int32_t>(change);
            v.SVariable = static_cast<std::int32_t>(set);
        };
        TVariantData* v = nullptr;

        if (Match(line, "!!HE-1&y-2=#:S#/?y-1;", n) && (v = slot(n[0])) && n[1] >= 0) {
            first(v->Skill, n[1] + 1);
        } else if (Match(line, "!!VRy-3&y-2=#/y-1<#:S#;", n) && slot(n[0]) &&
                   MaskExponent(n[2]) >= 0) {
            // The level or the cost comes with the message line; this line gives the escape.
            if (!result.escapeWritten)
                d_.VariantEscape = static_cast<std::uint8_t>(MaskExponent(n[2]));
            result.escapeWritten = true;
        } else if (Match(line, p_.skillFailed, n) && (v = slot(n[0]))) {
            first(v->Slevel, n[1]);
        } else if (Match(line, "!!OW&y-2=#:R-1/#/?y-1;", n) && slot(n[0]) && resource(n[1])) {
            // The player's amount, read for the test that follows.
        } else if (Match(line, p_.costNeeded, n) && (v = slot(n[0])) && resource(n[2])) {
            first(v->Cost(static_cast<int>(n[2])), n[1]);
        } else if (Match(line, "!!OW&y-3=#:R-1/#/d-#;", n) && (v = slot(n[0])) && resource(n[1])) {
            first(v->Cost(static_cast<int>(n[1])), n[2]);
        } else if (Match(line, "!!OW&y-3=#:R-1/#/d+#;", n) && (v = slot(n[0])) && resource(n[1])) {
            first(v->Reward(static_cast<int>(n[1])), n[2]);
        } else if (Match(line, p_.rewardGiven, n) && (v = slot(n[0])) &&
                   (resource(n[1]) || n[1] == 8)) {
            first(n[1] == 8 ? v->Artefact : v->Reward(static_cast<int>(n[1])), n[2]);
        } else if (Match(line, "!!VRv#&y-3=#:+#;", n) && (v = slot(n[1]))) {
            variable(*v, n[2], 0);
        } else if (Match(line, "!!VRv#&y-3=#:S#;", n) && (v = slot(n[1]))) {
            variable(*v, 0, n[2]);
        } else if (Match(line, "!!VRv#&y-3=#:#;", n) && (v = slot(n[1]))) {
            variable(*v, n[2], 0);
        } else if (Match(line, "!!HE-1&y-3=#:A#;", n) && (v = slot(n[0]))) {
            first(v->Artefact, n[1]);
        } else if (Match(line, "!!FU#&y-3=#:PE;", n) && slot(n[1])) {
            const auto k = static_cast<std::size_t>(SlotOfMask(n[1]));
            if (d_.Function[k] == 0 && !d_.LinkDialog[k]) {
                d_.Function[k] = static_cast<std::int32_t>(n[0]);
                if (n[0] == 0) d_.LinkDialog[k] = LinkToFunctionZero();
            }
        } else {
            return false;
        }
        return true;
    }

    std::span<const std::string_view> lines_;
    TDialogItem& d_;
    const Patterns& p_;
};

} // namespace

TDialogItem* LinkToFunctionZero() {
    static TDialogItem standIn;
    return &standIn;
}

ChoiceCode ReadChoiceCode(std::span<const std::string_view> lines, TDialogItem& dialog) {
    return Reader(lines, dialog).Read();
}

} // namespace kv
