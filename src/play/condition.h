#pragma once

#include "play/hero_state.h"

#include <optional>
#include <string_view>

namespace kv {

// Whether an answer's hiding condition (FailOn) holds for the hero, for the forms authors write:
// "&" or "|" followed by comparisons of a v-variable with a number ("v7=1", "v7<>1", "v7>1",
// "v7<1", "v7>=1", "v7<=1") joined by "/"; after "&" all must hold, after "|" one. Anything else
// (flags, other kinds of variables, a comparison of two variables, stray text) is no form this
// reader knows: the result is empty and the caller decides.
std::optional<bool> EvaluateCondition(std::string_view condition, const HeroState& hero);

} // namespace kv
