#pragma once

#include "model/project.h"

#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace kvtest {

// Random projects that the compile can write: every field the generated code carries, with
// texts made of pieces of that code (carets, "^;", caption and message beginnings), so that a
// reader of the code meets the look-alikes it must tell apart. Follow-ups mostly name dialogs of
// the project; numbers are often 0 and sometimes at the ends of their ranges.
class RandomProjects {
public:
    explicit RandomProjects(std::uint32_t seed) : random_(seed) {}

    kv::Project Next(int dialogs) {
        kv::Project project;
        for (int i = 0; i < dialogs; ++i) {
            kv::TDialogItem& d = *project.AppendDialog();
            d.FunctionNumber = OneOf(2) ? 1000 + Below(dialogs + 2) : Number<std::int32_t>();
            Fill(d, dialogs);
        }
        project.RebuildLinks();
        return project;
    }

    std::string Text(std::size_t longest) {
        static constexpr std::string_view pieces[] = {
            "a",      "\xC4\xE0", " ",          "^",         ";",      "^;",
            ":S^^;",  "!!IF:M^",  "!!VRz13:S^", "!!VRz1:S^", "!!VRz1", "&v1=0",
            "!?FU7;", "&y-3=1",   "0",          "12",        "/",      "!!HE-1:S0/?v1;",
            ":PE;"};
        std::string text;
        const std::size_t length = Below(6) == 0 ? 0 : Below(8);
        for (std::size_t i = 0; i < length; ++i)
            text += pieces[Below(std::size(pieces))];
        return text.substr(0, longest);
    }

private:
    void Fill(kv::TDialogItem& d, int dialogs) {
        d.Hint = Text(200);
        if (OneOf(2)) d.ScriptBefore = Text(255);
        const int lines = OneOf(3) ? 0 : static_cast<int>(Below(kv::kTextLineCount + 1));
        for (int l = 0; l < lines; ++l)
            d.Text[Below(kv::kTextLineCount)] = Text(255);
        if (OneOf(2)) d.ScriptAfter = Text(255);
        d.Header = Text(200);
        d.VariantEscape = static_cast<std::uint8_t>(OneOf(8) ? Below(31) : Below(12));
        d.VariantDefault = static_cast<std::uint8_t>(OneOf(8) ? Below(32) : Below(13));
        const int slots = static_cast<int>(Below(kv::kSlotCount + 1));
        for (int k = 0; k < slots; ++k) {
            const auto i = static_cast<std::size_t>(k);
            kv::TVariantData& v = d.Variants[i];
            d.Variant[i] = Text(150);
            if (OneOf(3)) v.Skill = Number<std::uint8_t>();
            if (OneOf(2)) v.Slevel = Number<std::uint8_t>();
            if (OneOf(3)) v.FailOn = Text(150);
            for (int r = 0; r < kv::kResourceCount; ++r) {
                if (OneOf(4)) v.Cost(r) = Number<std::uint16_t>();
                if (OneOf(4)) v.Reward(r) = Number<std::uint16_t>();
            }
            if (OneOf(4)) v.Artefact = Number<std::uint16_t>();
            if (OneOf(2)) {
                v.Variable = Number<std::int32_t>();
                v.DVariable = OneOf(2) ? 0 : Number<std::int32_t>();
                v.SVariable = Number<std::int32_t>();
            }
            if (OneOf(2)) d.Function[i] = OneOf(4) ? Number<std::int32_t>() : 1000 + Below(dialogs);
        }
    }

    std::size_t Below(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }
    bool OneOf(std::size_t n) { return Below(n) == 0; }
    // A value of the field's type: small, or at either end of its range, or anything.
    template <class T> T Number() {
        using Limits = std::numeric_limits<T>;
        switch (Below(4)) {
        case 0:
            return static_cast<T>(Below(10));
        case 1:
            return OneOf(2) ? Limits::max() : Limits::min();
        default:
            return static_cast<T>(
                std::uniform_int_distribution<std::int64_t>(Limits::min(), Limits::max())(random_));
        }
    }

    std::mt19937 random_;
};

} // namespace kvtest
