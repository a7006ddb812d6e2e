#include "erm/batch_edits.h"

#include "text/cp1251.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kv {

namespace {

// The game's secondary skills in its own order; Skill n is entry n - 1.
constexpr std::array<std::string_view, 28> kSkillNames = {
    "Поиск пути",  "Стрельба",   "Логистика",     "Разведка",      "Дипломатия", "Навигация",
    "Лидерство",   "Мудрость",   "Мистицизм",     "Удача",         "Баллистика", "Орлиный глаз",
    "Некромантия", "Имущество",  "Магия огня",    "Магия воздуха", "Магия воды", "Магия земли",
    "Грамотность", "Тактика",    "Артиллерия",    "Обучение",      "Атака",      "Защита",
    "Интеллект",   "Волшебство", "Сопротивление", "Первая помощь"};

// What follows a cost, by resource number; each begins with a space.
constexpr std::array<std::string_view, kResourceCount> kCostSuffixes = {
    " дерева", " ртути", " руды", " серы", " крист.", " драг.", " зол.", " мифрила"};

std::string SkillName(int skill) {
    if (skill >= 1 && skill <= static_cast<int>(kSkillNames.size())) {
        return Utf8ToCp1251(kSkillNames[static_cast<std::size_t>(skill - 1)]);
    }
    // A number the game has no skill for still shows which one the answer asks for.
    return Utf8ToCp1251("Навык ") + std::to_string(skill);
}

} // namespace

std::string CostSkillPrefix(const TVariantData& variant) {
    // Appended piece by piece: g++ 12 at -O3 misreads "[" + text as an overlapping copy.
    std::string prefix;
    if (variant.Skill > 0) prefix.append("[").append(SkillName(variant.Skill)).append("] ");
    for (int r = 0; r < kResourceCount; ++r) {
        if (variant.Cost(r) == 0) continue;
        prefix.append("[")
            .append(std::to_string(variant.Cost(r)))
            .append(Utf8ToCp1251(kCostSuffixes[static_cast<std::size_t>(r)]))
            .append("] ");
    }
    return prefix;
}

bool NumberFollowingVariables(TDialogItem& dialog, int i) {
    if (i < 0 || i >= kSlotCount) return false;
    const TVariantData& model = dialog.Variants[static_cast<std::size_t>(i)];
    if (model.Variable <= 0 || model.DVariable != 0) return false;

    for (int j = i + 1; j < kSlotCount && dialog.SlotInUse(j); ++j) {
        TVariantData& next = dialog.Variants[static_cast<std::size_t>(j)];
        next.Variable = model.Variable;
        // The set value keeps its low 32 bits, as every number field does, past the largest one.
        next.SVariable = static_cast<std::int32_t>(static_cast<std::uint32_t>(model.SVariable) +
                                                   static_cast<std::uint32_t>(j - i));
    }
    return true;
}

} // namespace kv
