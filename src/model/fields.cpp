#include "model/fields.h"

#include "text/error.h"

#include <type_traits>

namespace kv {

namespace {

using P = Project;
using D = TDialogItem;
using V = TVariantData;
constexpr auto kProject = FieldScope::Project;
constexpr auto kDialog = FieldScope::Dialog;
constexpr auto kLine = FieldScope::Line;
constexpr auto kSlot = FieldScope::Slot;

} // namespace

// clang-format off
constexpr std::array<FieldInfo, kFieldCount> kFields = {{
    {FieldId::ScriptFile, "ScriptFile", kProject, 0, 0, {}, false, 0, "ScriptFile", -1, {}, &P::ScriptFile},
    {FieldId::FunctionNumber, "FunctionNumber", kDialog, 32, 0, "Function", true, 0, {}, -1, {}, &D::FunctionNumber},
    {FieldId::VariantEscape, "VariantEscape", kDialog, 8, 0, "Escape Variant (0 - 11)", false, 4, "VariantEscape", -1, {}, &D::VariantEscape},
    {FieldId::ScriptBefore, "ScriptBefore", kDialog, 0, 255, "BeforeScript", false, 1, "ScriptBefore", -1, {}, &D::ScriptBefore},
    {FieldId::ScriptAfter, "ScriptAfter", kDialog, 0, 255, "AfterScript", false, 2, "ScriptAfter", -1, {}, &D::ScriptAfter},
    {FieldId::Header, "Header", kDialog, 0, 200, "Header", false, 3, "Header", -1, {}, &D::Header},
    {FieldId::Text, "Text", kLine, 0, 255, "Text [edit window]", true, 0, "Text", -1, {}, &D::Text},
    {FieldId::VariantDefault, "VariantDefault", kDialog, 8, 0, "Default Variant (1 - 12)", false, 5, "VariantDefault", -1, {}, &D::VariantDefault},
    {FieldId::Hint, "Hint", kDialog, 0, 200, {}, false, 0, "Hint", -1, {}, &D::Hint},
    {FieldId::Function, "Function", kSlot, 32, 0, "Function", false, 1, "Function", -1, {}, &D::Function},
    {FieldId::Skill, "Skill", kSlot, 8, 0, "Skill number (0 - none)", false, 3, "Skill", -1, {}, &V::Skill},
    {FieldId::Slevel, "Slevel", kSlot, 8, 0, "Skill level (0 - nothing)", false, 4, "Slevel", -1, {}, &V::Slevel},
    {FieldId::Wood, "Wood", kSlot, 16, 0, "Cost wood", false, 9, "Wood", 0, " дерева", &V::Wood},
    {FieldId::Merc, "Merc", kSlot, 16, 0, "Cost mercury", false, 11, "Merc", 1, " ртути", &V::Merc},
    {FieldId::Ore, "Ore", kSlot, 16, 0, "Cost ore", false, 13, "Ore", 2, " руды", &V::Ore},
    {FieldId::Sulf, "Sulf", kSlot, 16, 0, "Cost sulfur", false, 15, "Sulf", 3, " серы", &V::Sulf},
    {FieldId::Cryst, "Cryst", kSlot, 16, 0, "Cost crystals", false, 17, "Cryst", 4, " крист.", &V::Cryst},
    {FieldId::Gems, "Gems", kSlot, 16, 0, "Cost gems", false, 19, "Gems", 5, " драг.", &V::Gems},
    {FieldId::Gold, "Gold", kSlot, 16, 0, "Cost GOLD", false, 21, "Gold", 6, " зол.", &V::Gold},
    {FieldId::Myth, "Myth", kSlot, 16, 0, "Cost mythril", false, 23, "Myth", 7, " мифрила", &V::Myth},
    {FieldId::Artefact, "Artefact", kSlot, 16, 0, "Reward artefact (0)", false, 5, "Artefact", -1, {}, &V::Artefact},
    {FieldId::giveWood, "giveWood", kSlot, 16, 0, "Reward wood", false, 10, "giveWood", 0, {}, &V::giveWood},
    {FieldId::giveMerc, "giveMerc", kSlot, 16, 0, "Reward mercury", false, 12, "giveMerc", 1, {}, &V::giveMerc},
    {FieldId::giveOre, "giveOre", kSlot, 16, 0, "Reward ore", false, 14, "giveOre", 2, {}, &V::giveOre},
    {FieldId::giveSulf, "giveSulf", kSlot, 16, 0, "Reward sulfur", false, 16, "giveSulf", 3, {}, &V::giveSulf},
    {FieldId::giveCryst, "giveCryst", kSlot, 16, 0, "Reward crystals", false, 18, "giveCryst", 4, {}, &V::giveCryst},
    {FieldId::giveGems, "giveGems", kSlot, 16, 0, "Reward gems", false, 20, "giveGems", 5, {}, &V::giveGems},
    {FieldId::giveGold, "giveGold", kSlot, 16, 0, "Reward GOLD", false, 22, "giveGold", 6, {}, &V::giveGold},
    {FieldId::giveMyth, "giveMyth", kSlot, 16, 0, "Reward mythril", false, 24, "giveMyth", 7, {}, &V::giveMyth},
    {FieldId::Variable, "Variable", kSlot, 32, 0, "Variable number (v1...)", false, 6, "Variable", -1, {}, &V::Variable},
    {FieldId::DVariable, "DVariable", kSlot, 32, 0, "Variable change", false, 7, "DVariable", -1, {}, &V::DVariable},
    {FieldId::SVariable, "SVariable", kSlot, 32, 0, "Variable set to", false, 8, "SVariable", -1, {}, &V::SVariable},
    {FieldId::FailOn, "FailOn", kSlot, 0, 150, "Condition fail", false, 2, "FailOn", -1, {}, &V::FailOn},
    {FieldId::Variant, "Variant", kSlot, 0, 150, {}, false, 0, "Variant", -1, {}, &D::Variant},
}};
// clang-format on

namespace {

constexpr bool InIdOrder() {
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (static_cast<std::size_t>(kFields[i].id) != i) return false;
    }
    return true;
}
static_assert(InIdOrder(), "Field(id) indexes the table by id");

template <class> constexpr bool kIsArray = false;
template <class T, std::size_t N> constexpr bool kIsArray<std::array<T, N>> = true;

// The width and capacity a member's type gives it; the table must say the same.
struct Shape {
    int width;
    std::size_t capacity;
    bool operator==(const Shape&) const = default;
};
template <class T> constexpr Shape ShapeOf() {
    if constexpr (kIsArray<T>)
        return ShapeOf<typename T::value_type>();
    else if constexpr (std::is_integral_v<T>) {
        // The narrow fields are unsigned, the 32-bit ones signed.
        return {std::is_signed_v<T> == (sizeof(T) == 4) ? static_cast<int>(sizeof(T) * 8) : -1, 0};
    } else if constexpr (std::is_same_v<T, std::string>)
        return {0, 0};
    else
        return {0, T::capacity()};
}
constexpr bool ShapesMatch() {
    for (const FieldInfo& f : kFields) {
        const Shape shape =
            std::visit([]<class R, class T>(T R::*) { return ShapeOf<T>(); }, f.member);
        if (!(shape == Shape{f.width, f.capacity})) return false;
    }
    return true;
}
static_assert(ShapesMatch(), "each field's width and capacity are those of its member");

constexpr bool ResourcesMatch() {
    for (int r = 0; r < kResourceCount; ++r) {
        const auto i = static_cast<std::size_t>(r);
        using M = std::uint16_t TVariantData::*;
        if (std::get<M>(kFields[static_cast<std::size_t>(CostField(r))].member) !=
                TVariantData::kCostMembers[i] ||
            std::get<M>(kFields[static_cast<std::size_t>(RewardField(r))].member) !=
                TVariantData::kRewardMembers[i])
            return false;
    }
    return true;
}
static_assert(ResourcesMatch(), "a slot's Cost(r) and Reward(r) are the table's resource fields");

FieldValue ValueOf(std::string_view text) {
    return FieldValue::Text(text);
}
template <std::size_t N> FieldValue ValueOf(const FixedString<N>& text) {
    return FieldValue::Text(text.view());
}
template <class T>
requires std::is_integral_v<T> FieldValue ValueOf(T number) {
    return FieldValue::Number(number);
}

void Store(std::string& field, const FieldValue& v) {
    field = v.text;
}
template <std::size_t N> void Store(FixedString<N>& field, const FieldValue& v) {
    field = v.text;
}
template <class T>
requires std::is_integral_v<T>
void StoreNumber(T& field, std::int64_t number) {
    // A narrower field keeps the low bits, as every number field does.
    field = static_cast<T>(static_cast<std::uint64_t>(number));
}
template <class T>
requires std::is_integral_v<T>
void Store(T& field, const FieldValue& v) {
    StoreNumber(field, v.number);
}

// Calls fn with the field itself, inside the record (or the project, for a project field).
template <class Record, class Fn> void WithField(Record& record, FieldId id, int index, Fn&& fn) {
    const auto i = static_cast<std::size_t>(index);
    std::visit(
        [&](auto member) {
            using Member = decltype(member);
            if constexpr (requires { record.*member; }) {
                auto& field = record.*member;
                if constexpr (kIsArray<std::remove_cvref_t<decltype(field)>>)
                    fn(field[i]);
                else
                    fn(field);
            } else if constexpr (requires { record.Variants[i].*member; }) {
                fn(record.Variants[i].*member);
            } else {
                (void)sizeof(Member);
                throw Error("No such field");
            }
        },
        Field(id).member);
}

bool IndexFits(FieldId id, int index) {
    switch (Field(id).scope) {
    case FieldScope::Line:
        return index >= 0 && index < kTextLineCount;
    case FieldScope::Slot:
        return index >= 0 && index < kSlotCount;
    default:
        return true;
    }
}

} // namespace

FieldValue StoredValue(FieldId id, const FieldValue& value) {
    const FieldInfo& f = Field(id);
    switch (f.width) {
    case 0:
        return FieldValue::Text(f.capacity ? std::string_view(value.text).substr(0, f.capacity)
                                           : std::string_view(value.text));
    case 8:
        return FieldValue::Number(static_cast<std::uint8_t>(value.number));
    case 16:
        return FieldValue::Number(static_cast<std::uint16_t>(value.number));
    default:
        return FieldValue::Number(
            static_cast<std::int32_t>(static_cast<std::uint32_t>(value.number)));
    }
}

FieldValue ReadField(const TDialogItem& dialog, FieldId field, int index) {
    FieldValue out;
    WithField(dialog, field, index, [&](const auto& f) { out = ValueOf(f); });
    return out;
}

void WriteField(TDialogItem& dialog, FieldId field, int index, const FieldValue& value) {
    WithField(dialog, field, index, [&](auto& f) { Store(f, value); });
}

void WriteText(TDialogItem& dialog, FieldId field, int index, std::string_view text) {
    WithField(dialog, field, index, [&]<class T>(T& f) {
        if constexpr (std::is_integral_v<T>)
            throw Error("No such field");
        else
            f = text;
    });
}

void WriteNumber(TDialogItem& dialog, FieldId field, int index, std::int64_t number) {
    WithField(dialog, field, index, [&]<class T>(T& f) {
        if constexpr (std::is_integral_v<T>)
            StoreNumber(f, number);
        else
            throw Error("No such field");
    });
}

namespace {
// DialogAt hands out the record of a const project as it does of any other.
TDialogItem& Record(const Project& project, const FieldRef& ref) {
    TDialogItem* d = project.DialogAt(ref.dialog);
    if (!d || !IndexFits(ref.field, ref.index)) throw Error("No such field");
    return *d;
}
} // namespace

FieldValue ReadField(const Project& project, const FieldRef& ref) {
    if (Field(ref.field).scope == FieldScope::Project) {
        FieldValue out;
        WithField(project, ref.field, 0, [&](const auto& f) { out = ValueOf(f); });
        return out;
    }
    return ReadField(Record(project, ref), ref.field, ref.index);
}

void WriteField(Project& project, const FieldRef& ref, const FieldValue& value) {
    if (Field(ref.field).scope == FieldScope::Project) {
        WithField(project, ref.field, 0, [&](auto& f) { Store(f, value); });
        return;
    }
    WriteField(Record(project, ref), ref.field, ref.index, value);
}

} // namespace kv
