#include "editor/dialog_commands.h"

#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/outline_images.h"
#include "editor/outline_tree.h"
#include "editor/qt_text.h"
#include "editor/variant_commands.h"
#include "model/project_edits.h"
#include "text/whole_number.h"

namespace kv {

namespace {

// Every field of the source except its number and its place in the list: the copy's variants
// lead to the same dialogs as the source's.
void CopyDialogContent(const TDialogItem& source, TDialogItem& copy) {
    const std::int32_t number = copy.FunctionNumber;
    TDialogItem* next = copy.Next;
    copy = source;
    copy.FunctionNumber = number;
    copy.Next = next;
}

} // namespace

QTreeWidgetItem* NewDialog(const CommandContext& ctx, QTreeWidgetItem* variantNode,
                           CaptionEdit edit) {
    if (CaptionEditInProgress(ctx) || !CommitSelectedGrid(ctx)) return nullptr;

    const std::int32_t number = NextFunctionNumber(ctx.project);
    TDialogItem* dialog = ctx.project.AppendDialog();
    dialog->FunctionNumber = number;
    dialog->Hint = FormatNumber(number) + " {}";
    if (variantNode != nullptr && variantNode->parent() != nullptr) {
        dialog->Hint = ToCp1251(NodeCaption(variantNode->parent()) + QStringLiteral(" -> ") +
                                NodeCaption(variantNode));
    }

    QTreeWidgetItem* node =
        AddDialogNode(ctx.tree, FromCp1251(dialog->Hint.view()), kImageDialogWithoutVariants);
    ctx.outline.SelectNode(node);
    if (edit == CaptionEdit::Start) ctx.tree.StartCaptionEdit(node);
    ctx.project.Modified = true;
    return node;
}

QTreeWidgetItem* ConsequenceDialog(const CommandContext& ctx) {
    QTreeWidgetItem* variantNode = ctx.outline.SelectedNode();
    if (CaptionEditInProgress(ctx) || variantNode == nullptr || IsDialogNode(variantNode))
        return nullptr;
    TDialogItem* dialog = DialogOfNode(ctx.project, variantNode);
    const int slot = SlotOfNode(variantNode);
    if (dialog == nullptr || slot >= kSlotCount) return nullptr;

    QTreeWidgetItem* node = NewDialog(ctx, variantNode);
    if (node == nullptr) return nullptr;
    dialog->LinkDialog[static_cast<std::size_t>(slot)] = ctx.project.LastDialog();
    SetNodeImage(variantNode, kImageVariantWithFollowUp);
    ctx.project.Modified = true;
    return node;
}

QTreeWidgetItem* DuplicateDialog(const CommandContext& ctx, CaptionEdit edit) {
    QTreeWidgetItem* selected = ctx.outline.SelectedNode();
    if (CaptionEditInProgress(ctx) || selected == nullptr) return nullptr;
    QTreeWidgetItem* sourceNode = IsDialogNode(selected) ? selected : selected->parent();
    const TDialogItem* source = DialogOfNode(ctx.project, sourceNode);
    if (source == nullptr) return nullptr;

    // The new node is captioned and opened for editing only once it shows the copy.
    QTreeWidgetItem* node = NewDialog(ctx, nullptr, CaptionEdit::Leave);
    if (node == nullptr) return nullptr;
    TDialogItem* copy = ctx.project.LastDialog();

    SetNodeCaption(node, NodeCaption(sourceNode));
    SetNodeImages(node, NodeImage(sourceNode), NodeSelectedImage(sourceNode));
    for (int k = 0; k < sourceNode->childCount(); ++k) {
        const QTreeWidgetItem* child = sourceNode->child(k);
        QTreeWidgetItem* childCopy = AddVariantNode(node, NodeCaption(child), NodeImage(child));
        SetNodeImages(childCopy, NodeImage(child), NodeSelectedImage(child));
    }
    CopyDialogContent(*source, *copy);

    // The grid shows the copied values, so the commit when the selection leaves the copy
    // stores them unchanged.
    ctx.outline.FillGridFor(node);
    if (edit == CaptionEdit::Start) ctx.tree.StartCaptionEdit(node);
    ctx.project.Modified = true;
    return node;
}

QTreeWidgetItem* AddToDialog(const CommandContext& ctx) {
    QTreeWidgetItem* selected = ctx.outline.SelectedNode();
    if (selected == nullptr || CaptionEditInProgress(ctx) || !IsDialogNode(selected))
        return nullptr;
    TDialogItem* attached = DialogOfNode(ctx.project, selected);
    if (attached == nullptr) return nullptr;

    std::optional<TDialogItem*> target =
        AskForDialog(ctx, QStringLiteral("Добавление к диалогу"),
                     QStringLiteral("Введите номер функции диалога: "));
    if (!target) return nullptr;
    QTreeWidgetItem* targetNode = DialogNodeOf(ctx.tree, ctx.project, *target);
    const int j = (*target)->FirstFreeSlot();
    if (targetNode == nullptr || j < 0 || !CommitSelectedGrid(ctx)) return nullptr;

    ctx.project.ClearSlot(**target, j); // a new variant starts blank, also in a reused slot
    const auto k = static_cast<std::size_t>(j);
    (*target)->Variant[k] = kNewVariantCaption;
    (*target)->LinkDialog[k] = attached;

    QTreeWidgetItem* node = PlaceVariantNode(
        ctx, targetNode, j, QString::fromLatin1(kNewVariantCaption), kImageVariantWithFollowUp);
    ctx.outline.SelectNode(node);
    ctx.tree.StartCaptionEdit(node);
    ctx.project.Modified = true;
    return node;
}

void RenameSelected(const CommandContext& ctx) {
    QTreeWidgetItem* selected = ctx.outline.SelectedNode();
    if (CaptionEditInProgress(ctx) || selected == nullptr) return;
    ctx.tree.StartCaptionEdit(selected);
}

void DeleteSelected(const CommandContext& ctx) {
    QTreeWidgetItem* selected = ctx.outline.SelectedNode();
    if (selected == nullptr || CaptionEditInProgress(ctx)) return;
    if (!IsDialogNode(selected)) {
        DeleteVariant(ctx, selected);
        return;
    }
    ctx.project.RemoveDialog(ctx.tree.indexOfTopLevelItem(selected));
    RemoveNodeAndSelectNeighbour(ctx, selected);
    ctx.project.Modified = true;
}

} // namespace kv
