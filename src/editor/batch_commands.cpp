#include "editor/batch_commands.h"

#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/qt_text.h"
#include "erm/batch_edits.h"

namespace kv {

namespace {

// The selected variant's dialog and slot; null when no variant is selected.
TDialogItem* SelectedVariant(const CommandContext& ctx, int& slot) {
    QTreeWidgetItem* selected = ctx.outline.SelectedNode();
    if (selected == nullptr || IsDialogNode(selected) || CaptionEditInProgress(ctx)) return nullptr;
    slot = SlotOfNode(selected);
    if (slot >= kSlotCount) return nullptr;
    return DialogOfNode(ctx.project, selected);
}

} // namespace

std::optional<QString> CostAnnotatedCaption(const CommandContext& ctx) {
    int slot = -1;
    const TDialogItem* dialog = SelectedVariant(ctx, slot);
    if (dialog == nullptr) return std::nullopt;
    const std::string prefix = CostSkillPrefix(dialog->Variants[static_cast<std::size_t>(slot)]);
    return FromCp1251(prefix) + NodeCaption(ctx.outline.SelectedNode());
}

void NumberFollowingVariants(const CommandContext& ctx) {
    int slot = -1;
    TDialogItem* dialog = SelectedVariant(ctx, slot);
    if (dialog != nullptr && NumberFollowingVariables(*dialog, slot)) ctx.project.Modified = true;
}

} // namespace kv
