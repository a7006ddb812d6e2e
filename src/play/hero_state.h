#pragma once

#include "model/dialog_item.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kv {


// What the generated code reads from and writes to the game while a dialog runs: the hero's
// skills, the player's resources, the v-variables and the artefacts handed over. A plain value,
// so a player of dialogs can keep one per step and go back.
struct HeroState {
    std::array<std::uint8_t, kSkillCount> skills{};       // level 0..3 of Skill n at n - 1
    std::array<std::int64_t, kResourceCount> resources{}; // in the game's resource order
    std::map<std::int32_t, std::int32_t> variables;       // v-variables written so far
    std::vector<std::uint16_t> artefacts;                 // in the order they were given

    // The hero's level in Skill 1..28; 0 for a number the game has no skill for.
    int SkillLevel(int skill) const;
    // A v-variable that was never written reads 0, as at the start of a game.
    std::int32_t Variable(std::int32_t n) const;
    // Writes a v-variable; it is listed from then on, also when the value is 0.
    void SetVariable(std::int32_t n, std::int32_t value) { variables[n] = value; }

    friend bool operator==(const HeroState&, const HeroState&) = default;
};

// The English key of resource r: "wood", "mercury", "ore", "sulfur", "crystal", "gems", "gold",
// "mithril"; the names of the command line and of the JSON records.
std::string_view ResourceKey(int r);
// The Russian name of resource r, Windows-1251, as the transcript and the messages show it.
std::string ResourceName(int r);

// Sets one value by its command-line name: a resource key, "skillN" (N 1..28, level 0..3) or
// "vN" (N 1 or more, any 32-bit value). Throws Error with the user's text for an unknown name or
// a value out of range.
void SetHeroValue(HeroState& hero, std::string_view name, std::int64_t value);

} // namespace kv
