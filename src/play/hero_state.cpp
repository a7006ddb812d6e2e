#include "play/hero_state.h"

#include "text/cp1251.h"
#include "text/error.h"
#include "text/whole_number.h"

#include <limits>
#include <optional>

namespace kv {

namespace {

constexpr std::array<std::string_view, kResourceCount> kResourceKeys = {
    "wood", "mercury", "ore", "sulfur", "crystal", "gems", "gold", "mithril"};
constexpr std::array<std::string_view, kResourceCount> kResourceNames = {
    "дерево", "ртуть", "руда", "сера", "кристаллы", "самоцветы", "золото", "мифрил"};

// The number after a prefix ("skill12" gives 12); nothing for a name without digits after it.
std::optional<std::int32_t> NumberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return {};
    const std::string_view digits = name.substr(prefix.size());
    for (char c : digits)
        if (c < '0' || c > '9') return {};
    return ParseWholeNumber(digits);
}

} // namespace

int HeroState::SkillLevel(int skill) const {
    return skill >= 1 && skill <= kSkillCount ? skills[static_cast<std::size_t>(skill - 1)] : 0;
}

std::int32_t HeroState::Variable(std::int32_t n) const {
    const auto found = variables.find(n);
    return found == variables.end() ? 0 : found->second;
}

std::string_view ResourceKey(int r) {
    return kResourceKeys[static_cast<std::size_t>(r)];
}

std::string ResourceName(int r) {
    return Utf8ToCp1251(kResourceNames[static_cast<std::size_t>(r)]);
}

void SetHeroValue(HeroState& hero, std::string_view name, std::int64_t value) {
    const std::string shown(name);
    const bool fits = value >= std::numeric_limits<std::int32_t>::min() &&
                      value <= std::numeric_limits<std::int32_t>::max();
    for (int r = 0; r < kResourceCount; ++r) {
        if (name != kResourceKeys[static_cast<std::size_t>(r)]) continue;
        if (!fits) throw Error("Значение " + shown + " не умещается в 32 бита");
        hero.resources[static_cast<std::size_t>(r)] = value;
        return;
    }
    if (const auto skill = NumberAfter(name, "skill")) {
        if (*skill < 1 || *skill > kSkillCount) throw Error("Нет навыка с номером " + shown);
        if (value < 0 || value > 3)
            throw Error("Уровень навыка " + shown + " должен быть от 0 до 3");
        hero.skills[static_cast<std::size_t>(*skill - 1)] = static_cast<std::uint8_t>(value);
        return;
    }
    if (const auto variable = NumberAfter(name, "v"); variable && *variable >= 1) {
        if (!fits) throw Error("Значение " + shown + " не умещается в 32 бита");
        hero.SetVariable(*variable, static_cast<std::int32_t>(value));
        return;
    }
    throw Error("Неизвестное имя: " + shown);
}

} // namespace kv
