#include "editor/variant_commands.h"

#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/outline_images.h"
#include "editor/outline_tree.h"

namespace kv {

namespace {

// Adds the variant, linked to `link` when that is given. The slot and the node are chosen as the
// selection says; see AddVariant.
QTreeWidgetItem* InsertNewVariant(const CommandContext& ctx, TDialogItem* link, CaptionEdit edit) {
    QTreeWidgetItem* selected = ctx.outline.SelectedNode();
    if (selected == nullptr || CaptionEditInProgress(ctx)) return nullptr;
    TDialogItem* dialog = DialogOfNode(ctx.project, selected);
    if (dialog == nullptr || !CommitSelectedGrid(ctx)) return nullptr;

    const QString caption = QString::fromLatin1(kNewVariantCaption);
    const int image = link != nullptr ? kImageVariantWithFollowUp : kImageVariantWithoutFollowUp;
    QTreeWidgetItem* dialogNode = IsDialogNode(selected) ? selected : selected->parent();
    QTreeWidgetItem* node = nullptr;
    int slot = -1;
    if (IsDialogNode(selected)) {
        slot = dialog->FirstFreeSlot();
        if (slot < 0) return nullptr;
        // A slot emptied in place may still hold the record of the variant it was; the new
        // variant starts blank all the same.
        ctx.project.ClearSlot(*dialog, slot);
        node = PlaceVariantNode(ctx, dialogNode, slot, caption, image);
    } else {
        slot = SlotOfNode(selected);
        if (slot >= kSlotCount || dialog->SlotInUse(kSlotCount - 1)) return nullptr;
        ctx.project.InsertSlot(*dialog, slot);
        node = InsertVariantNode(selected, caption, image);
    }
    const auto k = static_cast<std::size_t>(slot);
    dialog->Variant[k] = kNewVariantCaption;
    dialog->LinkDialog[k] = link;

    ctx.outline.SelectNode(node);
    // A node past slot 11 stood for the free slot that the insertion pushed out of the dialog.
    if (QTreeWidgetItem* dropped = VariantNodeAt(dialogNode, kSlotCount))
        ctx.outline.RemoveNode(dropped);
    if (edit == CaptionEdit::Start) ctx.tree.StartCaptionEdit(node);
    ctx.project.Modified = true;
    return node;
}

} // namespace

QTreeWidgetItem* AddVariant(const CommandContext& ctx, CaptionEdit edit) {
    return InsertNewVariant(ctx, nullptr, edit);
}

QTreeWidgetItem* AddVariantWithDialog(const CommandContext& ctx) {
    if (ctx.outline.SelectedNode() == nullptr || CaptionEditInProgress(ctx)) return nullptr;
    // The number is asked first, also when the dialog turns out to have no room.
    std::optional<TDialogItem*> target = AskForDialog(ctx, QStringLiteral("Добавление диалога"),
                                                      QStringLiteral("Введите номер функции: "));
    if (!target) return nullptr;
    return InsertNewVariant(ctx, *target, CaptionEdit::Start);
}

void DeleteVariant(const CommandContext& ctx, QTreeWidgetItem* variantNode) {
    TDialogItem* dialog = DialogOfNode(ctx.project, variantNode);
    const int slot = SlotOfNode(variantNode);
    if (dialog == nullptr || slot < 0) return;
    ctx.project.DeleteSlot(*dialog, slot);
    RemoveNodeAndSelectNeighbour(ctx, variantNode);
    ctx.project.Modified = true;
}

QTreeWidgetItem* MoveVariant(const CommandContext& ctx, int direction) {
    QTreeWidgetItem* moved = ctx.outline.SelectedNode();
    if (moved == nullptr || CaptionEditInProgress(ctx) || IsDialogNode(moved)) return nullptr;
    TDialogItem* dialog = DialogOfNode(ctx.project, moved);
    const int i = SlotOfNode(moved);
    const int j = i + direction;
    QTreeWidgetItem* other = VariantNodeAt(moved->parent(), j);
    if (dialog == nullptr || other == nullptr || i >= kSlotCount || j >= kSlotCount) return nullptr;

    // A value still in the grid belongs to the variant it was typed for: store it there before
    // the two slots change places.
    if (!CommitSelectedGrid(ctx)) return nullptr;
    dialog->SwapSlots(i, j);

    const QString caption = NodeCaption(moved);
    const int image = NodeImage(moved);
    SetNodeCaption(moved, NodeCaption(other));
    SetNodeImage(moved, NodeImage(other));
    SetNodeCaption(other, caption);
    SetNodeImage(other, image);

    // The grid was written back already; it now shows the moved variant from its new slot.
    ctx.outline.SelectNodeWithoutCommit(other);
    ctx.project.Modified = true;
    return other;
}

} // namespace kv
