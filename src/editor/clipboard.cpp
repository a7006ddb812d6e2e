#include "editor/clipboard.h"

#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/outline_tree.h"
#include "editor/variant_commands.h"

namespace kv {

namespace {

// A copy of the entry's variant: a new variant where add variant puts one, then the source's
// whole slot and its node's caption and images. Null when there was no room.
QTreeWidgetItem* PasteVariant(const CommandContext& ctx, QTreeWidgetItem* source) {
    QTreeWidgetItem* target = AddVariant(ctx, CaptionEdit::Leave);
    if (target == nullptr) return nullptr;
    // Both positions are taken after the insertion: a copy put in before its source in the same
    // dialog has moved the source one slot on.
    TDialogItem* sourceDialog = DialogOfNode(ctx.project, source);
    TDialogItem* targetDialog = DialogOfNode(ctx.project, target);
    const int i = SlotOfNode(source);
    const int j = SlotOfNode(target);
    if (sourceDialog != nullptr && targetDialog != nullptr && i < kSlotCount && j < kSlotCount)
        targetDialog->CopySlotFrom(*sourceDialog, i, j);
    SetNodeCaption(target, NodeCaption(source));
    SetNodeImages(target, NodeImage(source), NodeSelectedImage(source));
    return target;
}

// A copy of the entry's dialog at the end of the list, made by duplicating it.
QTreeWidgetItem* PasteDialog(const CommandContext& ctx, QTreeWidgetItem* source) {
    if (!ctx.outline.SelectNode(source)) return nullptr;
    return DuplicateDialog(ctx, CaptionEdit::Leave);
}

} // namespace

void DialogClipboard::Take(const CommandContext& ctx, bool cutFlag) {
    if (CaptionEditInProgress(ctx)) return;
    node = ctx.outline.SelectedNode();
    cut = cutFlag && node != nullptr;
}

void DialogClipboard::Paste(const CommandContext& ctx) {
    QTreeWidgetItem* source = node;
    if (source == nullptr || CaptionEditInProgress(ctx)) return;

    QTreeWidgetItem* pasted =
        IsDialogNode(source) ? PasteDialog(ctx, source) : PasteVariant(ctx, source);
    if (pasted == nullptr) return;

    if (cut) {
        // The grid shows the pasted item before the selection moves to the source, so the
        // commit on leaving stores the pasted item's own values.
        ctx.outline.FillGridFor(pasted);
        if (ctx.outline.SelectNode(source)) DeleteSelected(ctx);
        node = pasted;
        cut = false;
        ctx.outline.SelectNode(pasted);
    }
    ctx.outline.FillGridFor(ctx.outline.SelectedNode());
    ctx.tree.StartCaptionEdit(ctx.outline.SelectedNode());
    ctx.project.Modified = true;
}

void DialogClipboard::Forget(const QTreeWidgetItem* removed) {
    for (const QTreeWidgetItem* n = node; n != nullptr; n = n->parent()) {
        if (n == removed) {
            Clear();
            return;
        }
    }
}

void DialogClipboard::Exchanged(QTreeWidgetItem* a, QTreeWidgetItem* b) {
    if (node == a)
        node = b;
    else if (node == b)
        node = a;
}

void DialogClipboard::Clear() {
    node = nullptr;
    cut = false;
}

} // namespace kv
