#include "generated_project.h"

#include "text/cp1251.h"

#include <array>
#include <string_view>
#include <vector>

namespace kv::bench {
namespace {

// Deterministic on every platform, unlike the standard distributions.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint32_t state_;
};

const std::vector<std::string>& Words() {
    static const std::vector<std::string> words = [] {
        constexpr std::array<std::string_view, 48> utf8 = {
            "путник",  "золото",   "дракон",  "замок",   "стража", "король",  "таверна",
            "дорога",  "лес",      "река",    "мост",    "старик", "торговец", "меч",
            "щит",     "карта",    "сундук",  "ключ",    "ворота", "башня",   "маг",
            "свиток",  "кристалл", "руда",    "древесина", "сера", "ртуть",   "самоцветы",
            "герой",   "армия",    "битва",   "награда", "цена",   "ночь",    "утро",
            "север",   "юг",       "тайна",   "пещера",  "гоблин", "эльф",    "гном",
            "пойдём",  "заплати",  "уходи",   "помоги",  "скажи",  "возьми"};
        std::vector<std::string> out;
        for (std::string_view w : utf8) out.push_back(Utf8ToCp1251(w));
        return out;
    }();
    return words;
}

std::string Phrase(Random& random, int minWords, int maxWords) {
    const auto& words = Words();
    std::string out;
    int n = random.Between(minWords, maxWords);
    for (int i = 0; i < n; ++i) {
        if (i) out += ' ';
        out += words[static_cast<std::size_t>(random.Below(static_cast<int>(words.size())))];
    }
    return out;
}

void FillVariant(TVariantData& v, Random& random) {
    if (random.Chance(15)) {
        v.Skill = static_cast<std::uint8_t>(random.Between(1, 28));
        v.Slevel = static_cast<std::uint8_t>(random.Between(0, 3));
    }
    if (random.Chance(10)) v.FailOn = "&v" + std::to_string(random.Between(1, 999)) + ">5";
    for (int r = 0; r < kResourceCount; ++r) {
        if (random.Chance(20)) v.Cost(r) = static_cast<std::uint16_t>(random.Between(1, 20) * 50);
        if (random.Chance(12)) v.Reward(r) = static_cast<std::uint16_t>(random.Between(1, 40) * 25);
    }
    if (random.Chance(10)) v.Artefact = static_cast<std::uint16_t>(random.Between(1, 140));
    if (random.Chance(25)) {
        v.Variable = random.Between(1, 1000);
        if (random.Chance(50)) v.DVariable = random.Between(-10, 10);
        else v.SVariable = random.Between(0, 100);
    }
}

} // namespace

Project MakeBenchProject(int dialogs, std::uint32_t seed) {
    Random random(seed);
    Project project;
    project.FunctionStart = 1000;
    project.ScriptFile = "C:\\Games\\Valdmarsk\\Maps\\" + Utf8ToCp1251("кампания") + ".erm";
    for (int i = 0; i < dialogs; ++i) {
        TDialogItem& d = *project.AppendDialog();
        d.FunctionNumber = project.FunctionStart + i;
        d.Hint = std::to_string(d.FunctionNumber) + " " + Phrase(random, 2, 4);
        if (random.Chance(30)) d.ScriptBefore = "!!VRv" + std::to_string(random.Between(1, 999)) + ":S1;";
        int lines = random.Between(2, 8);
        for (int l = 0; l < lines; ++l) d.Text[static_cast<std::size_t>(l)] = Phrase(random, 5, 16);
        if (random.Chance(20)) d.ScriptAfter = "!!IF:M^" + Phrase(random, 2, 5) + "^;";
        d.Header = Phrase(random, 1, 3) + ":";
        int answers = random.Between(2, 6);
        d.VariantEscape = static_cast<std::uint8_t>(random.Below(answers));
        d.VariantDefault = static_cast<std::uint8_t>(random.Between(0, answers));
        for (int k = 0; k < answers; ++k) {
            auto slot = static_cast<std::size_t>(k);
            d.Variant[slot] = Phrase(random, 2, 7);
            FillVariant(d.Variants[slot], random);
            int roll = random.Below(10);
            if (roll < 7) d.Function[slot] = project.FunctionStart + random.Below(dialogs);
            else if (roll < 8) d.Function[slot] = 50000 + random.Below(1000);
        }
    }
    project.RebuildLinks();
    project.Modified = true;
    return project;
}

std::string MakeIniProject(const Project& project) {
    std::string out;
    auto text = [&](std::string_view key, std::string_view value) {
        if (value.empty()) return;
        out.append(key).append("=").append(value).append("\r\n");
    };
    auto number = [&](std::string_view key, std::int64_t value) {
        if (value != 0) text(key, std::to_string(value));
    };
    int count = project.DialogCount();
    out += "[Main]\r\n";
    text("FunctionStart", std::to_string(project.FunctionStart));
    text("FunctionEnd", std::to_string(project.FunctionStart + count - 1));
    text("ScriptFile", project.ScriptFile);

    static constexpr std::array<std::string_view, kResourceCount> kCost = {
        "Wood", "Merc", "Ore", "Sulf", "Cryst", "Gems", "Gold", "Myth"};
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next) {
        out += "\r\n[" + std::to_string(d->FunctionNumber) + "]\r\n";
        text("Hint", d->Hint);
        text("ScriptBefore", d->ScriptBefore);
        for (int l = 0; l < kTextLineCount; ++l)
            text("Text" + std::to_string(l + 1), d->Text[static_cast<std::size_t>(l)]);
        text("ScriptAfter", d->ScriptAfter);
        text("Header", d->Header);
        number("VariantEscape", d->VariantEscape);
        number("VariantDefault", d->VariantDefault);
        for (int k = 0; k < kSlotCount; ++k) {
            auto slot = static_cast<std::size_t>(k);
            std::string i = std::to_string(k);
            const TVariantData& v = d->Variants[slot];
            text("Variant" + i, d->Variant[slot]);
            number("Skill" + i, v.Skill);
            number("Slevel" + i, v.Slevel);
            for (int r = 0; r < kResourceCount; ++r) {
                auto name = kCost[static_cast<std::size_t>(r)];
                number(std::string(name) + i, v.Cost(r));
                number("give" + std::string(name) + i, v.Reward(r));
            }
            number("Artefact" + i, v.Artefact);
            number("Variable" + i, v.Variable);
            number("DVariable" + i, v.DVariable);
            number("SVariable" + i, v.SVariable);
            text("FailOn" + i, v.FailOn);
            number("Function" + i, d->FollowUp(k));
        }
    }
    return out;
}

std::string MakeUserScript(std::size_t bytes, std::uint32_t seed) {
    Random random(seed);
    std::string out;
    out.reserve(bytes + 256);
    while (out.size() < bytes) {
        int v = random.Between(1, 999);
        switch (random.Below(3)) {
        case 0: out += "!?FU" + std::to_string(v) + ";\r\n"; break;
        case 1: out += "!!VRv" + std::to_string(v) + ":S" + std::to_string(random.Below(50)) + ";\r\n"; break;
        default: out += "!!IF:M^" + Phrase(random, 4, 12) + "^;\r\n"; break;
        }
    }
    // Whole lines only: the kept text ends with CR LF, as an editor leaves it.
    return out;
}

} // namespace kv::bench
