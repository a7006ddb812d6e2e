#include "editor/property_grids.h"

#include "editor/modal_seam.h"
#include "editor/qt_text.h"
#include "text/whole_number.h"

#include <algorithm>

namespace kv {

namespace {

// The fields a grid shows, in row order: row k is fields[k - 1].
std::vector<FieldId> GridFields(bool variant) {
    std::vector<FieldId> fields;
    for (const FieldInfo& f : kFields) {
        const bool slot = f.scope == FieldScope::Slot;
        if (!f.gridKey.empty() && slot == variant && f.scope != FieldScope::Project)
            fields.push_back(f.id);
    }
    return fields;
}

const std::vector<FieldId>& DialogFields() {
    static const std::vector<FieldId> fields = GridFields(false);
    return fields;
}
const std::vector<FieldId>& VariantFields() {
    static const std::vector<FieldId> fields = GridFields(true);
    return fields;
}

} // namespace

int GridRowOf(FieldId field) {
    const std::vector<FieldId>& fields =
        Field(field).scope == FieldScope::Slot ? VariantFields() : DialogFields();
    const auto at = std::find(fields.begin(), fields.end(), field);
    return at == fields.end() ? -1 : static_cast<int>(at - fields.begin()) + 1;
}

namespace {

std::unique_ptr<PropertyGrid> MakeGrid(const std::vector<FieldId>& fields, QWidget* parent) {
    std::vector<GridRow> rows;
    for (FieldId id : fields) {
        const FieldInfo& f = Field(id);
        rows.push_back({QString::fromLatin1(f.gridKey.data(), static_cast<qsizetype>(f.gridKey.size())),
                        f.width > 0 ? QStringLiteral("0") : QString(), f.gridReadOnly});
    }
    return std::make_unique<PropertyGrid>(rows, parent);
}

QString Shown(const FieldValue& value, FieldId id) {
    return Field(id).width > 0 ? QString::number(value.number) : FromCp1251(value.text);
}

void Fill(PropertyGrid& grid, const std::vector<FieldId>& fields, const TDialogItem& dialog,
          int slot) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const FieldId id = fields[k];
        // The answer's follow-up shows where it leads now: a linked dialog's current number.
        const FieldValue value = id == FieldId::Function
                                     ? FieldValue::Number(dialog.FollowUp(slot))
                                     : ReadField(dialog, id, std::max(slot, 0));
        grid.SetValue(static_cast<int>(k) + 1, Shown(value, id));
    }
}

} // namespace

std::unique_ptr<PropertyGrid> MakeDialogGrid(QWidget* parent) {
    return MakeGrid(DialogFields(), parent);
}

std::unique_ptr<PropertyGrid> MakeVariantGrid(QWidget* parent) {
    return MakeGrid(VariantFields(), parent);
}

void FillDialogGrid(PropertyGrid& grid, const TDialogItem& dialog) {
    Fill(grid, DialogFields(), dialog, -1);
}

void FillVariantGrid(PropertyGrid& grid, const TDialogItem& dialog, int slot) {
    Fill(grid, VariantFields(), dialog, slot);
}

GridChanges ReadGrid(PropertyGrid& grid, const Project& project, Place place, ModalSeam& seam) {
    const TDialogItem* dialog = project.DialogAt(place.dialog);
    const bool variant = place.slot >= 0;
    const std::vector<FieldId>& fields = variant ? VariantFields() : DialogFields();
    // The rows in the order they are stored.
    std::vector<int> rows;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const FieldInfo& f = Field(fields[k]);
        if (f.gridReadOnly || f.commitOrder == 0) continue;
        const int row = static_cast<int>(k) + 1;
        if (variant && f.width > 0 && grid.Value(row).isEmpty()) grid.SetValue(row, QStringLiteral("0"));
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end(), [&](int a, int b) {
        return Field(fields[static_cast<std::size_t>(a - 1)]).commitOrder <
               Field(fields[static_cast<std::size_t>(b - 1)]).commitOrder;
    });

    GridChanges result;
    for (int row : rows) {
        const FieldId id = fields[static_cast<std::size_t>(row - 1)];
        const FieldRef ref{id, place.dialog, variant ? place.slot : 0};
        const QString text = grid.Value(row);
        if (Field(id).width == 0) {
            result.changes.push_back({ref, FieldValue::Text(ToCp1251(text))});
            continue;
        }
        const std::optional<std::int32_t> number = ParseWholeNumber(ToCp1251(text));
        if (!number) {
            ShowError(seam, QStringLiteral("'%1' is not a valid integer value").arg(text));
            result.complete = false;
            break;
        }
        // A follow-up left as shown keeps its link: a dialog renumbered since stays the target.
        if (id == FieldId::Function && dialog != nullptr && *number == dialog->FollowUp(place.slot))
            continue;
        result.changes.push_back({ref, FieldValue::Number(*number)});
    }
    return result;
}

} // namespace kv
