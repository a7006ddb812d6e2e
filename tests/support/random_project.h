#pragma once

#include "model/project.h"

#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace kvtest {

// Random projects that the compile can write, with every field the generated code carries. Texts
// are made of pieces of that code (carets, "^;", caption and message beginnings), so that a
// reader of the code meets the look-alikes it must tell apart; follow-ups mostly name dialogs of
// the project; numbers are often 0 and sometimes at the ends of their ranges.
class RandomProjects {
public:
    explicit RandomProjects(std::uint32_t seed) : random_(seed) {}

    kv::Project Next(int dialogs) {
        kv::Project project;
        for (int i = 0; i < dialogs; ++i) {
            kv::TDialogItem& d = *project.AppendDialog();
            d.FunctionNumber = OneIn(2) ? 1000 + Below(dialogs + 2) : Number<std::int32_t>();
            d.Hint = Text();
            d.ScriptBefore = OneIn(2) ? Text() : "";
            for (std::size_t l = OneIn(3) ? 0 : Below(kv::kTextLineCount + 1); l > 0; --l)
                d.Text[Below(kv::kTextLineCount)] = Text();
            d.ScriptAfter = OneIn(2) ? Text() : "";
            d.Header = Text();
            d.VariantEscape = static_cast<std::uint8_t>(Below(OneIn(8) ? 31 : 12));
            d.VariantDefault = static_cast<std::uint8_t>(Below(OneIn(8) ? 32 : 13));
            for (std::size_t k = Below(kv::kSlotCount + 1); k-- > 0;)
                FillSlot(d, k, dialogs);
        }
        project.RebuildLinks();
        return project;
    }

private:
    void FillSlot(kv::TDialogItem& d, std::size_t k, int dialogs) {
        kv::TVariantData& v = d.Variants[k];
        d.Variant[k] = Text();
        v.Skill = OneIn(3) ? Number<std::uint8_t>() : 0;
        v.Slevel = OneIn(2) ? Number<std::uint8_t>() : 0;
        v.FailOn = OneIn(3) ? Text() : "";
        for (int r = 0; r < kv::kResourceCount; ++r) {
            v.Cost(r) = OneIn(4) ? Number<std::uint16_t>() : 0;
            v.Reward(r) = OneIn(4) ? Number<std::uint16_t>() : 0;
        }
        v.Artefact = OneIn(4) ? Number<std::uint16_t>() : 0;
        if (OneIn(2)) {
            v.Variable = Number<std::int32_t>();
            v.DVariable = OneIn(2) ? 0 : Number<std::int32_t>();
            v.SVariable = Number<std::int32_t>();
        }
        if (OneIn(2)) d.Function[k] = OneIn(4) ? Number<std::int32_t>() : 1000 + Below(dialogs);
    }

    std::string Text() {
        static constexpr std::string_view pieces[] = {
            "a",      "\xC4\xE0", " ",          "^",         ";",      "^;",
            ":S^^;",  "!!IF:M^",  "!!VRz13:S^", "!!VRz1:S^", "!!VRz1", "&v1=0",
            "!?FU7;", "&y-3=1",   "0",          "12",        "/",      "!!HE-1:S0/?v1;",
            ":PE;"};
        std::string text;
        for (std::size_t n = OneIn(6) ? 0 : Below(8); n > 0; --n)
            text += pieces[Below(std::size(pieces))];
        return text.substr(0, 150); // fits every text field
    }
    std::size_t Below(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }
    int Below(int n) { return static_cast<int>(Below(static_cast<std::size_t>(n))); }
    bool OneIn(std::size_t n) { return Below(n) == 0; }
    template <class T> T Number() { // small, at an end of the range, or anything
        using Limits = std::numeric_limits<T>;
        if (OneIn(4)) return static_cast<T>(Below(std::size_t{10}));
        if (OneIn(3)) return OneIn(2) ? Limits::max() : Limits::min();
        return static_cast<T>(
            std::uniform_int_distribution<std::int64_t>(Limits::min(), Limits::max())(random_));
    }

    std::mt19937 random_;
};

} // namespace kvtest
