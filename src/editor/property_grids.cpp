#include "editor/property_grids.h"

#include "editor/modal_seam.h"
#include "editor/qt_text.h"
#include "text/whole_number.h"

#include <optional>

namespace kv {

namespace {

const QString kZero = QStringLiteral("0");

QString Number(std::int64_t value) { return QString::number(value); }

// Reads a numeric row; reports a value that is no whole number and gives nothing then.
std::optional<std::int32_t> ReadNumber(const PropertyGrid& grid, int row, ModalSeam& seam) {
    const QString text = grid.Value(row);
    std::optional<std::int32_t> value = ParseWholeNumber(ToCp1251(text));
    if (!value) ShowError(seam, QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

// Stores a number into a narrower field by its low bits, as the field's width keeps them.
template <typename Field> void StoreLowBits(Field& field, std::int32_t value) {
    field = static_cast<Field>(static_cast<std::uint32_t>(value));
}

template <typename Field> bool ReadInto(Field& field, const PropertyGrid& grid, int row,
                                        ModalSeam& seam) {
    std::optional<std::int32_t> value = ReadNumber(grid, row, seam);
    if (!value) return false;
    StoreLowBits(field, *value);
    return true;
}

} // namespace

std::unique_ptr<PropertyGrid> MakeDialogGrid(QWidget* parent) {
    const std::vector<GridRow> rows = {
        {QStringLiteral("Function"), kZero, true},
        {QStringLiteral("Escape Variant (0 - 11)"), kZero, false},
        {QStringLiteral("BeforeScript"), QString(), false},
        {QStringLiteral("AfterScript"), QString(), false},
        {QStringLiteral("Header"), QString(), false},
        {QStringLiteral("Text [edit window]"), QString(), true},
        {QStringLiteral("Default Variant (1 - 12)"), kZero, false},
    };
    return std::make_unique<PropertyGrid>(rows, parent);
}

std::unique_ptr<PropertyGrid> MakeVariantGrid(QWidget* parent) {
    std::vector<GridRow> rows = {
        {QStringLiteral("Function"), kZero},
        {QStringLiteral("Skill number (0 - none)"), kZero},
        {QStringLiteral("Skill level (0 - nothing)"), kZero},
    };
    const QStringList resources = {
        QStringLiteral("wood"),     QStringLiteral("mercury"), QStringLiteral("ore"),
        QStringLiteral("sulfur"),   QStringLiteral("crystals"), QStringLiteral("gems"),
        QStringLiteral("GOLD"),     QStringLiteral("mythril")};
    for (const QString& r : resources) rows.push_back({QStringLiteral("Cost ") + r, kZero});
    rows.push_back({QStringLiteral("Reward artefact (0)"), kZero});
    for (const QString& r : resources) rows.push_back({QStringLiteral("Reward ") + r, kZero});
    rows.push_back({QStringLiteral("Variable number (v1...)"), kZero});
    rows.push_back({QStringLiteral("Variable change"), kZero});
    rows.push_back({QStringLiteral("Variable set to"), kZero});
    rows.push_back({QStringLiteral("Condition fail"), QString()});
    return std::make_unique<PropertyGrid>(rows, parent);
}

void FillDialogGrid(PropertyGrid& grid, const TDialogItem& dialog) {
    grid.SetValue(dialog_row::Function, Number(dialog.FunctionNumber));
    grid.SetValue(dialog_row::Escape, Number(dialog.VariantEscape));
    grid.SetValue(dialog_row::Before, FromCp1251(dialog.ScriptBefore.view()));
    grid.SetValue(dialog_row::After, FromCp1251(dialog.ScriptAfter.view()));
    grid.SetValue(dialog_row::Header, FromCp1251(dialog.Header.view()));
    grid.SetValue(dialog_row::Text, FromCp1251(dialog.Text[0].view()));
    grid.SetValue(dialog_row::Default, Number(dialog.VariantDefault));
}

void FillVariantGrid(PropertyGrid& grid, const TDialogItem& dialog, int slot) {
    const auto k = static_cast<std::size_t>(slot);
    const TVariantData& v = dialog.Variants[k];
    grid.SetValue(variant_row::Function, Number(dialog.FollowUp(slot)));
    grid.SetValue(variant_row::Skill, Number(v.Skill));
    grid.SetValue(variant_row::Slevel, Number(v.Slevel));
    for (int r = 0; r < kResourceCount; ++r) {
        grid.SetValue(variant_row::FirstCost + r, Number(v.Cost(r)));
        grid.SetValue(variant_row::FirstReward + r, Number(v.Reward(r)));
    }
    grid.SetValue(variant_row::Artefact, Number(v.Artefact));
    grid.SetValue(variant_row::Variable, Number(v.Variable));
    grid.SetValue(variant_row::DVariable, Number(v.DVariable));
    grid.SetValue(variant_row::SVariable, Number(v.SVariable));
    grid.SetValue(variant_row::FailOn, FromCp1251(v.FailOn.view()));
}

namespace {

struct DialogFields {
    LineString before, after;
    HintString header;
    std::uint8_t escape, defaultVariant;
    explicit DialogFields(const TDialogItem& d)
        : before(d.ScriptBefore), after(d.ScriptAfter), header(d.Header),
          escape(d.VariantEscape), defaultVariant(d.VariantDefault) {}
    bool operator==(const DialogFields&) const = default;
};

bool StoreDialogGrid(PropertyGrid& grid, TDialogItem& dialog, ModalSeam& seam) {
    dialog.ScriptBefore = ToCp1251(grid.Value(dialog_row::Before));
    dialog.ScriptAfter = ToCp1251(grid.Value(dialog_row::After));
    dialog.Header = ToCp1251(grid.Value(dialog_row::Header));
    return ReadInto(dialog.VariantEscape, grid, dialog_row::Escape, seam) &&
           ReadInto(dialog.VariantDefault, grid, dialog_row::Default, seam);
}

struct SlotFields {
    TVariantData data;
    TDialogItem* link;
    std::int32_t function;
    SlotFields(const TDialogItem& d, std::size_t k)
        : data(d.Variants[k]), link(d.LinkDialog[k]), function(d.Function[k]) {}
    bool operator==(const SlotFields&) const = default;
};

bool StoreVariantGrid(PropertyGrid& grid, const Project& project, TDialogItem& dialog, int slot,
                      ModalSeam& seam) {
    const auto k = static_cast<std::size_t>(slot);
    TVariantData& v = dialog.Variants[k];

    std::optional<std::int32_t> function = ReadNumber(grid, variant_row::Function, seam);
    if (!function) return false;
    dialog.LinkDialog[k] = project.FindByFunction(*function);
    dialog.Function[k] = *function;

    v.FailOn = ToCp1251(grid.Value(variant_row::FailOn));

    if (!ReadInto(v.Skill, grid, variant_row::Skill, seam) ||
        !ReadInto(v.Slevel, grid, variant_row::Slevel, seam) ||
        !ReadInto(v.Artefact, grid, variant_row::Artefact, seam) ||
        !ReadInto(v.Variable, grid, variant_row::Variable, seam) ||
        !ReadInto(v.DVariable, grid, variant_row::DVariable, seam) ||
        !ReadInto(v.SVariable, grid, variant_row::SVariable, seam))
        return false;
    for (int r = 0; r < kResourceCount; ++r) {
        if (!ReadInto(v.Cost(r), grid, variant_row::FirstCost + r, seam) ||
            !ReadInto(v.Reward(r), grid, variant_row::FirstReward + r, seam))
            return false;
    }
    return true;
}

} // namespace

CommitResult CommitDialogGrid(PropertyGrid& grid, TDialogItem& dialog, ModalSeam& seam) {
    const DialogFields before(dialog);
    CommitResult result;
    result.complete = StoreDialogGrid(grid, dialog, seam);
    result.changed = !(DialogFields(dialog) == before);
    return result;
}

CommitResult CommitVariantGrid(PropertyGrid& grid, const Project& project, TDialogItem& dialog,
                               int slot, ModalSeam& seam) {
    for (int row = variant_row::Function; row < variant_row::FailOn; ++row)
        if (grid.Value(row).isEmpty()) grid.SetValue(row, kZero);

    const auto k = static_cast<std::size_t>(slot);
    const SlotFields before(dialog, k);
    CommitResult result;
    result.complete = StoreVariantGrid(grid, project, dialog, slot, seam);
    result.changed = !(SlotFields(dialog, k) == before);
    return result;
}

} // namespace kv
