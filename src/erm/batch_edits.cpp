#include "erm/batch_edits.h"

#include "model/fields.h"
#include "model/project_edits.h"
#include "text/cp1251.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kv {

namespace {

// The game's secondary skills in its own order; Skill n is entry n - 1.
constexpr std::array<std::string_view, kSkillCount> kSkillNames = {
    "Поиск пути",  "Стрельба",   "Логистика",     "Разведка",      "Дипломатия", "Навигация",
    "Лидерство",   "Мудрость",   "Мистицизм",     "Удача",         "Баллистика", "Орлиный глаз",
    "Некромантия", "Имущество",  "Магия огня",    "Магия воздуха", "Магия воды", "Магия земли",
    "Грамотность", "Тактика",    "Артиллерия",    "Обучение",      "Атака",      "Защита",
    "Интеллект",   "Волшебство", "Сопротивление", "Первая помощь"};

} // namespace

std::string SkillName(int skill) {
    if (skill >= 1 && skill <= static_cast<int>(kSkillNames.size())) {
        return Utf8ToCp1251(kSkillNames[static_cast<std::size_t>(skill - 1)]);
    }
    // A number the game has no skill for still shows which one the answer asks for.
    return Utf8ToCp1251("Навык ") + std::to_string(skill);
}

std::string CostSkillPrefix(const TVariantData& variant) {
    // Appended piece by piece: g++ 12 at -O3 misreads "[" + text as an overlapping copy.
    std::string prefix;
    if (variant.Skill > 0) prefix.append("[").append(SkillName(variant.Skill)).append("] ");
    for (int r = 0; r < kResourceCount; ++r) {
        if (variant.Cost(r) == 0) continue;
        prefix.append("[")
            .append(std::to_string(variant.Cost(r)))
            .append(Utf8ToCp1251(Field(CostField(r)).costSuffix))
            .append("] ");
    }
    return prefix;
}

std::vector<VariableSetting> FollowingVariables(const TDialogItem& dialog, int i) {
    std::vector<VariableSetting> settings;
    if (!IsVariableModel(dialog, i)) return settings;
    const TVariantData& model = dialog.Variants[static_cast<std::size_t>(i)];

    for (int j = i + 1; j < kSlotCount && dialog.SlotInUse(j); ++j) {
        // The set value keeps its low 32 bits, as every number field does, past the largest one.
        settings.push_back({j, model.Variable,
                            static_cast<std::int32_t>(static_cast<std::uint32_t>(model.SVariable) +
                                                      static_cast<std::uint32_t>(j - i))});
    }
    return settings;
}

bool IsVariableModel(const TDialogItem& dialog, int i) {
    if (i < 0 || i >= kSlotCount) return false;
    const TVariantData& model = dialog.Variants[static_cast<std::size_t>(i)];
    return model.Variable > 0 && model.DVariable == 0;
}

std::unique_ptr<Edit> AnnotateCost(const Project& project, Place answer) {
    const TDialogItem* d = project.DialogAt(answer.dialog);
    if (!d || answer.slot < 0 || answer.slot >= kSlotCount) return nullptr;
    const auto k = static_cast<std::size_t>(answer.slot);
    return ChangeValues({{{FieldId::Variant, answer.dialog, answer.slot},
                          FieldValue::Text(CostSkillPrefix(d->Variants[k]) + d->Variant[k].str())}},
                        "стоимость в тексте");
}

std::unique_ptr<Edit> NumberVariables(const Project& project, Place answer) {
    const TDialogItem* d = project.DialogAt(answer.dialog);
    if (!d || !IsVariableModel(*d, answer.slot)) return nullptr;
    std::vector<FieldChange> changes;
    for (const VariableSetting& s : FollowingVariables(*d, answer.slot)) {
        changes.push_back(
            {{FieldId::Variable, answer.dialog, s.slot}, FieldValue::Number(s.variable)});
        changes.push_back({{FieldId::SVariable, answer.dialog, s.slot}, FieldValue::Number(s.set)});
    }
    return ChangeValues(std::move(changes), "нумерация переменных");
}

} // namespace kv
