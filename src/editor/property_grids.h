#pragma once

#include "editor/property_grid.h"
#include "model/dialog_item.h"
#include "model/project.h"

#include <memory>

namespace kv {

class ModalSeam;

// Row numbers of the dialog grid v1 and the variant grid v2.
namespace dialog_row {
constexpr int Function = 1, Escape = 2, Before = 3, After = 4, Header = 5, Text = 6, Default = 7;
constexpr int Count = 7;
} // namespace dialog_row
namespace variant_row {
constexpr int Function = 1, Skill = 2, Slevel = 3, FirstCost = 4, Artefact = 12, FirstReward = 13,
              Variable = 21, DVariable = 22, SVariable = 23, FailOn = 24;
constexpr int Count = 24;
} // namespace variant_row

std::unique_ptr<PropertyGrid> MakeDialogGrid(QWidget* parent = nullptr);
std::unique_ptr<PropertyGrid> MakeVariantGrid(QWidget* parent = nullptr);

void FillDialogGrid(PropertyGrid& grid, const TDialogItem& dialog);
void FillVariantGrid(PropertyGrid& grid, const TDialogItem& dialog, int slot);

// What a commit did: whether every row was stored, and whether any stored value changed.
struct CommitResult {
    bool complete = true;
    bool changed = false;
};

// Writes the grid back into the dialog (or its slot) in the commit order. A numeric row that is
// not a whole number stops the commit there with "'%s' is not a valid integer value" through the
// seam: the fields before it keep what was just stored, the rest keep their old values. Empty
// numeric rows of the variant grid are set to "0" in the grid first. The variant's "Function" row
// links the slot to the first dialog with that number.
CommitResult CommitDialogGrid(PropertyGrid& grid, TDialogItem& dialog, ModalSeam& seam);
CommitResult CommitVariantGrid(PropertyGrid& grid, const Project& project, TDialogItem& dialog,
                               int slot, ModalSeam& seam);

} // namespace kv
