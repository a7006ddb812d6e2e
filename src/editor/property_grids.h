#pragma once

#include "editor/property_grid.h"
#include "model/project_edits.h"

#include <memory>
#include <vector>

namespace kv {

class ModalSeam;

// Row numbers of the dialog grid v1 and the variant grid v2. The rows are the fields of the
// field table that have a grid key, in the table's order.
namespace dialog_row {
constexpr int Function = 1, Escape = 2, Before = 3, After = 4, Header = 5, Text = 6, Default = 7;
constexpr int Count = 7;
} // namespace dialog_row
namespace variant_row {
constexpr int Function = 1, Skill = 2, Slevel = 3, FirstCost = 4, Artefact = 12, FirstReward = 13,
              Variable = 21, DVariable = 22, SVariable = 23, FailOn = 24;
constexpr int Count = 24;
} // namespace variant_row

// The row of a field in the grid that shows it (the dialog grid for a field of the dialog, the
// variant grid for one of an answer); -1 for a field no grid shows.
int GridRowOf(FieldId field);

std::unique_ptr<PropertyGrid> MakeDialogGrid(QWidget* parent = nullptr);
std::unique_ptr<PropertyGrid> MakeVariantGrid(QWidget* parent = nullptr);
void FillDialogGrid(PropertyGrid& grid, const TDialogItem& dialog);
void FillVariantGrid(PropertyGrid& grid, const TDialogItem& dialog, int slot);

// What a grid holds, as changes of the dialog at `place.dialog` (the dialog grid, slot -1) or of
// its answer `place.slot`, in the commit order. A numeric row that is not a whole number stops
// the reading there with "'%s' is not a valid integer value" through the seam: the changes read
// before it are kept (they are stored all the same), and `complete` is false. Empty numeric rows
// of the variant grid are set to "0" in the grid first. A follow-up number equal to where the
// answer leads now is no change.
struct GridChanges {
    std::vector<FieldChange> changes;
    bool complete = true;
};
GridChanges ReadGrid(PropertyGrid& grid, const Project& project, Place place, ModalSeam& seam);

} // namespace kv
