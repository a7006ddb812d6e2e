#pragma once

#include "model/edit.h"

#include <Qt>

#include <vector>

class QAction;
class QKeyEvent;

namespace kv {

// The items of the outline's context menu whose enabling follows the node it opens for.
struct PopupItems {
    QAction* addVariant;           // "Добавить вариант..."
    QAction* addVariantWithDialog; // "Добавить вариант с диалогом..."
    QAction* addToDialog;          // "Добавить к диалогу..."
    QAction* rename;               // "Переименовать..."
    QAction* editText;             // "Изменить текст"
    QAction* remove;               // "Удалить"
    QAction* up;                   // "Вверх"
    QAction* down;                 // "Вниз"
};

// Enables the items that make sense for the menu's target (Place{} for none): with a target,
// delete and the two add-variant items; for a variant also up and down, for a dialog also
// add-to-dialog and the text editor. Rename is always enabled.
void EnablePopupItems(const PopupItems& items, Place target);

// The context-menu item whose shortcut the key is (Shift, Ctrl, Alt and Meta count, the keypad
// does not), or null.
QAction* PopupItemForKey(const std::vector<QAction*>& items, int key,
                         Qt::KeyboardModifiers modifiers);

// The clipboard keys of the outline: C, X or V with Ctrl alone.
enum class ClipboardKey { None, Copy, Cut, Paste };
ClipboardKey ClipboardKeyOf(int key, Qt::KeyboardModifiers modifiers);

} // namespace kv
