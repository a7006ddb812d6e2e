#include "editor/outline_interaction.h"

#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/outline_tree.h"
#include "editor/qt_text.h"

#include <QAction>
#include <QKeySequence>

namespace kv {

namespace {

constexpr Qt::KeyboardModifiers kChordModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

} // namespace

void EnablePopupItems(const PopupItems& items, const QTreeWidgetItem* target) {
    for (QAction* item : {items.addVariant, items.addVariantWithDialog, items.addToDialog,
                          items.editText, items.remove, items.up, items.down})
        item->setEnabled(false);
    items.rename->setEnabled(true);
    if (target == nullptr) return;
    items.remove->setEnabled(true);
    items.addVariant->setEnabled(true);
    items.addVariantWithDialog->setEnabled(true);
    const bool dialog = IsDialogNode(target);
    items.up->setEnabled(!dialog);
    items.down->setEnabled(!dialog);
    items.addToDialog->setEnabled(dialog);
    items.editText->setEnabled(dialog);
}

QAction* PopupItemForKey(const std::vector<QAction*>& items, int key,
                         Qt::KeyboardModifiers modifiers) {
    const QKeySequence pressed(QKeyCombination(modifiers & kChordModifiers, Qt::Key(key)));
    for (QAction* item : items)
        if (!item->shortcut().isEmpty() && item->shortcut() == pressed) return item;
    return nullptr;
}

ClipboardKey ClipboardKeyOf(int key, Qt::KeyboardModifiers modifiers) {
    if ((modifiers & kChordModifiers) != Qt::ControlModifier) return ClipboardKey::None;
    switch (key) {
    case Qt::Key_C:
        return ClipboardKey::Copy;
    case Qt::Key_X:
        return ClipboardKey::Cut;
    case Qt::Key_V:
        return ClipboardKey::Paste;
    default:
        return ClipboardKey::None;
    }
}

void StoreCaption(const CommandContext& ctx, QTreeWidgetItem* node, const QString& text) {
    TDialogItem* dialog = DialogOfNode(ctx.project, node);
    if (dialog == nullptr) return;
    if (IsDialogNode(node)) {
        dialog->Hint = ToCp1251(text);
    } else {
        const int slot = SlotOfNode(node);
        if (slot >= kSlotCount) return;
        dialog->Variant[static_cast<std::size_t>(slot)] = ToCp1251(text);
    }
    ctx.project.Modified = true;
}

void FollowLink(const CommandContext& ctx) {
    QTreeWidgetItem* selected = ctx.outline.SelectedNode();
    if (selected == nullptr || IsDialogNode(selected)) return;
    const TDialogItem* dialog = DialogOfNode(ctx.project, selected);
    const int slot = SlotOfNode(selected);
    if (dialog == nullptr || slot >= kSlotCount) return;
    const TDialogItem* linked = dialog->LinkDialog[static_cast<std::size_t>(slot)];
    if (QTreeWidgetItem* target = DialogNodeOf(ctx.tree, ctx.project, linked))
        ctx.outline.SelectNode(target);
}

} // namespace kv
