#include "editor/outline_interaction.h"

#include <QAction>
#include <QKeySequence>

namespace kv {

namespace {

constexpr Qt::KeyboardModifiers kChordModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

} // namespace

void EnablePopupItems(const PopupItems& items, Place target) {
    for (QAction* item : {items.addVariant, items.addVariantWithDialog, items.addToDialog,
                          items.editText, items.remove, items.up, items.down})
        item->setEnabled(false);
    items.rename->setEnabled(true);
    if (target.dialog < 0) return;
    items.remove->setEnabled(true);
    items.addVariant->setEnabled(true);
    items.addVariantWithDialog->setEnabled(true);
    const bool dialog = target.slot < 0;
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

} // namespace kv
