#pragma once

#include "model/project.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace kv {

// Every value of a project that an edit, a grid or an import reaches by name. Within each scope
// the order is the order of the rows in the grid that shows the fields.
enum class FieldId : std::uint8_t {
    ScriptFile, // the project's script path
    // A dialog's fields: dialog grid rows 1 to 7, then the outline caption.
    FunctionNumber,
    VariantEscape,
    ScriptBefore,
    ScriptAfter,
    Header,
    Text, // indexed by the message line 0..29
    VariantDefault,
    Hint,
    // An answer slot's fields, indexed by the slot: variant grid rows 1 to 24, then the caption.
    Function, // the grid row shows the follow-up; the field is the stored number
    Skill,
    Slevel,
    Wood,
    Merc,
    Ore,
    Sulf,
    Cryst,
    Gems,
    Gold,
    Myth,
    Artefact,
    giveWood,
    giveMerc,
    giveOre,
    giveSulf,
    giveCryst,
    giveGems,
    giveGold,
    giveMyth,
    Variable,
    DVariable,
    SVariable,
    FailOn,
    Variant,
};
constexpr int kFieldCount = static_cast<int>(FieldId::Variant) + 1;

enum class FieldScope : std::uint8_t { Project, Dialog, Line, Slot };

// Where a field lives in its record, so that one piece of code reads and writes them all.
using FieldMember =
    std::variant<std::string Project::*, std::int32_t TDialogItem::*, std::uint8_t TDialogItem::*,
                 HintString TDialogItem::*, LineString TDialogItem::*,
                 std::array<LineString, kTextLineCount> TDialogItem::*,
                 std::array<CaptionString, kSlotCount> TDialogItem::*,
                 std::array<std::int32_t, kSlotCount> TDialogItem::*, std::uint8_t TVariantData::*,
                 std::uint16_t TVariantData::*, std::int32_t TVariantData::*,
                 CaptionString TVariantData::*>;

struct FieldInfo {
    FieldId id;
    std::string_view name; // the field's own name, as the project file and messages know it
    FieldScope scope;
    int width;                // bits of a number field (8 and 16 unsigned, 32 signed); 0 for a text
    std::size_t capacity;     // characters a text keeps; 0 for a number or a text without a limit
    std::string_view gridKey; // the key text of its grid row; empty when no grid shows it
    bool gridReadOnly;        // a row the grid shows but never reads back
    int commitOrder;          // 1.. the order in which a grid commit stores the row; 0 for none
    std::string_view iniKey;  // its key in an INI project; line or slot fields append the number
    int resource;             // 0..7 for a cost or a reward, -1 otherwise
    std::string_view costSuffix; // UTF-8 label after a cost in an annotated caption (" зол.")
    FieldMember member;
};

// The fields in FieldId order.
extern const std::array<FieldInfo, kFieldCount> kFields;

inline const FieldInfo& Field(FieldId id) {
    return kFields[static_cast<std::size_t>(id)];
}
constexpr FieldId CostField(int r) {
    return static_cast<FieldId>(static_cast<int>(FieldId::Wood) + r);
}
constexpr FieldId RewardField(int r) {
    return static_cast<FieldId>(static_cast<int>(FieldId::giveWood) + r);
}

// A field's value: a number (in 64 bits, whatever the width) or Windows-1251 text.
struct FieldValue {
    std::int64_t number = 0;
    std::string text;

    static FieldValue Number(std::int64_t n) { return {n, {}}; }
    static FieldValue Text(std::string_view t) { return {0, std::string(t)}; }
    friend bool operator==(const FieldValue&, const FieldValue&) = default;
};

// One value of the project: a field of the project, of the dialog at position `dialog`, of its
// message line `index` or of its answer slot `index`.
struct FieldRef {
    FieldId field = FieldId::Hint;
    int dialog = -1;
    int index = 0;
    friend bool operator==(const FieldRef&, const FieldRef&) = default;
};

// The value as the field would hold it: a text cut to the capacity, a number kept to its width.
FieldValue StoredValue(FieldId field, const FieldValue& value);

// Field access on one record (project fields are not reached this way). `index` is the line or
// the slot. Writing stores the value into the field's width or capacity. Function is the stored
// number only: the link beside it is the caller's to set.
FieldValue ReadField(const TDialogItem& dialog, FieldId field, int index);
void WriteField(TDialogItem& dialog, FieldId field, int index, const FieldValue& value);
// The same for a reader that has the value in hand as text or as a number (the INI import, a
// value for each of hundreds of thousands of keys): no FieldValue is made. Throws Error when the
// field is of the other kind.
void WriteText(TDialogItem& dialog, FieldId field, int index, std::string_view text);
void WriteNumber(TDialogItem& dialog, FieldId field, int index, std::int64_t number);

// The same on a project; the dialog is found by position. Throws Error for a reference to no
// dialog, line or slot.
FieldValue ReadField(const Project& project, const FieldRef& ref);
void WriteField(Project& project, const FieldRef& ref, const FieldValue& value);

} // namespace kv
