// The dialog and variant commands, the outline's own interaction (context menu, caption edit,
// double click, keys), the clipboard of dialogs and the two batch edits of answers. The handlers
// stay thin: the operations live in src/editor.
#include "app/main_window.h"

#include "editor/batch_commands.h"
#include "editor/clipboard.h"
#include "editor/dialog_commands.h"
#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/outline_events.h"
#include "editor/outline_interaction.h"
#include "editor/outline_tree.h"
#include "editor/variant_commands.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace kv {

namespace {

CommandContext Commands(TMain& window) {
    return {window.CurrentProject(), window.Outline(), *window.Tree, window.Seam()};
}

std::vector<QAction*> PopupShortcutItems(const TMain& w) {
    return {w.N14, w.N15, w.N19, w.N26, w.N17, w.N18, w.N21, w.N22};
}

// Runs the command of a context-menu item on the selected node.
void RunPopupItem(TMain& w, QAction* item) {
    if (item == w.N14) w.N14Click();
    if (item == w.N15) w.N15Click();
    if (item == w.N19) w.N19Click();
    if (item == w.N26) w.N26Click();
    if (item == w.N17) w.N17Click();
    if (item == w.N18) w.N18Click();
    if (item == w.N21) w.N21Click();
    if (item == w.N22) w.N22Click();
}

} // namespace

void TMain::ConnectCommands() {
    connect(N23, &QAction::triggered, this, Guard(&TMain::ToolButton5Click));
    connect(N24, &QAction::triggered, this, Guard(&TMain::ToolButton6Click));
    connect(N28, &QAction::triggered, this, Guard(&TMain::N28Click));
    connect(N30, &QAction::triggered, this, Guard(&TMain::N30Click));
    connect(N32, &QAction::triggered, this, Guard(&TMain::N32Click));
    connect(N31, &QAction::triggered, this, Guard(&TMain::N31Click));
    connect(ToolButton5, &QToolButton::clicked, this, Guard(&TMain::ToolButton5Click));
    connect(ToolButton6, &QToolButton::clicked, this, Guard(&TMain::ToolButton6Click));
    connect(ToolButton13, &QToolButton::clicked, this, Guard(&TMain::N28Click));
    connect(ToolButton10, &QToolButton::clicked, this, Guard(&TMain::ToolButton10Click));
    connect(ToolButton12, &QToolButton::clicked, this, Guard(&TMain::ToolButton12Click));

    // The context menu's items run their commands only after the menu has closed and its target
    // has been selected (see TreeMouseDown); their shortcuts are the outline's (TreeKeyDown).
    connect(PopupMenu1, &QMenu::aboutToShow, this, Guard(&TMain::PopupMenu1Popup));

    // Captions are edited in place by the usual gestures: a click on the selected node (the
    // outline arms that edit itself), or the edit key.
    Tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    connect(Tree, &OutlineTree::CaptionEdited, this,
            [this](QTreeWidgetItem* node, const QString& text) {
                RunGuarded(*seam_, [&] { TreeEdited(node, text); });
            });
    connect(Tree, &QTreeWidget::itemDoubleClicked, this, Guard(&TMain::TreeDblClick));

    OutlineEvents::Handlers handlers;
    handlers.mouseDown = [this](Qt::MouseButton button) { TreeMouseDown(button); };
    handlers.keyDown = [this](int key, Qt::KeyboardModifiers modifiers) {
        if (Tree->IsEditingCaption()) return false;
        // The context menu's shortcuts: only an enabled item runs, but the key is used up either
        // way (Tab never leaves the outline).
        if (QAction* item = PopupItemForKey(PopupShortcutItems(*this), key, modifiers)) {
            if (item->isEnabled()) RunPopupItem(*this, item);
            return true;
        }
        TreeKeyDown(key, modifiers);
        return ClipboardKeyOf(key, modifiers) != ClipboardKey::None;
    };
    handlers.keyboardMenu = [this] {
        QTreeWidgetItem* selected = outline_->SelectedNode();
        const QRect place = selected != nullptr ? Tree->visualItemRect(selected) : QRect();
        menuTarget_ = selected;
        QAction* chosen = PopupMenu1->exec(
            Tree->viewport()->mapToGlobal(place.isValid() ? place.center() : QPoint(0, 0)));
        EnableShortcutsForSelection();
        if (chosen != nullptr) RunPopupItem(*this, chosen);
    };
    // The outline's gestures are commands too; a key whose command failed is used up.
    handlers.mouseDown = [this, run = std::move(handlers.mouseDown)](Qt::MouseButton button) {
        RunGuarded(*seam_, [&] { run(button); });
    };
    handlers.keyDown = [this, run = std::move(handlers.keyDown)](int key,
                                                                 Qt::KeyboardModifiers modifiers) {
        bool used = true;
        RunGuarded(*seam_, [&] { used = run(key, modifiers); });
        return used;
    };
    handlers.keyboardMenu = [this, run = std::move(handlers.keyboardMenu)] {
        RunGuarded(*seam_, run);
    };
    new OutlineEvents(*Tree, std::move(handlers));

    // The clipboard and the menu target refer to nodes: a removed node is forgotten.
    connect(outline_, &OutlineEditor::NodeRemoving, this, [this](QTreeWidgetItem* removed) {
        DialogClipboard{clipboardNode_, clipboardCut_}.Forget(removed);
        for (QTreeWidgetItem* n = menuTarget_; n != nullptr; n = n->parent())
            if (n == removed) menuTarget_ = nullptr;
    });
    connect(outline_, &OutlineEditor::OutlineCleared, this, [this] {
        DialogClipboard{clipboardNode_, clipboardCut_}.Clear();
        menuTarget_ = nullptr;
    });

    // Every command, from a menu, a key or the toolbar, drops a caption edit that a click armed
    // and that has not started yet.
    for (QAction* action : findChildren<QAction*>())
        connect(action, &QAction::triggered, Tree, &OutlineTree::CancelPendingEdit);
    for (QToolButton* button : ToolBar1->findChildren<QToolButton*>())
        connect(button, &QToolButton::clicked, Tree, &OutlineTree::CancelPendingEdit);
    EnableShortcutsForSelection();
}

// ---- Dialog commands ----

void TMain::ToolButton5Click() {
    NewDialog(Commands(*this));
}
void TMain::ToolButton6Click() {
    ConsequenceDialog(Commands(*this));
}
void TMain::N28Click() {
    DuplicateDialog(Commands(*this));
}
void TMain::N19Click() {
    AddToDialog(Commands(*this));
}
void TMain::N26Click() {
    RenameSelected(Commands(*this));
}
void TMain::N18Click() {
    DeleteSelected(Commands(*this));
}

// ---- Variant commands ----

void TMain::N14Click() {
    AddVariant(Commands(*this));
}
void TMain::N15Click() {
    AddVariantWithDialog(Commands(*this));
}
void TMain::N21Click() {
    QTreeWidgetItem* from = outline_->SelectedNode();
    if (QTreeWidgetItem* to = MoveVariant(Commands(*this), -1))
        DialogClipboard{clipboardNode_, clipboardCut_}.Exchanged(from, to);
}
void TMain::N22Click() {
    QTreeWidgetItem* from = outline_->SelectedNode();
    if (QTreeWidgetItem* to = MoveVariant(Commands(*this), +1))
        DialogClipboard{clipboardNode_, clipboardCut_}.Exchanged(from, to);
}

void TMain::N17Click() {
    if (Tree->IsEditingCaption()) return;
    v1EditButtonClick();
}

// ---- Clipboard ----

void TMain::N30Click() {
    DialogClipboard{clipboardNode_, clipboardCut_}.Take(Commands(*this), false);
}
void TMain::N32Click() {
    DialogClipboard{clipboardNode_, clipboardCut_}.Take(Commands(*this), true);
}
void TMain::N31Click() {
    DialogClipboard{clipboardNode_, clipboardCut_}.Paste(Commands(*this));
}

// ---- Batch edits ----

void TMain::ToolButton10Click() {
    // A value typed into the variant grid counts, as for every other command.
    if (!CommitPendingEdit()) return;
    QTreeWidgetItem* node = outline_->SelectedNode();
    std::optional<QString> caption = CostAnnotatedCaption(Commands(*this));
    if (!caption) return;
    TreeEdited(node, *caption);
    SetNodeCaption(node, *caption);
    Tree->StartCaptionEdit(node);
}

void TMain::ToolButton12Click() {
    if (!CommitPendingEdit()) return;
    NumberFollowingVariants(Commands(*this));
}

// ---- The outline ----

void TMain::PopupMenu1Popup() {
    EnablePopupItems({N14, N15, N19, N26, N17, N18, N21, N22}, menuTarget_);
}

void TMain::EnableShortcutsForSelection() {
    // The menu's items double as the outline's shortcuts; outside the menu they follow the
    // selected node, so a key never does nothing because of a menu opened long ago.
    EnablePopupItems({N14, N15, N19, N26, N17, N18, N21, N22}, outline_->SelectedNode());
}

void TMain::TreeMouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    auto* events = Tree->findChild<OutlineEvents*>();
    if (events == nullptr) return;
    // The menu opens for the node under the mouse; outside every node, for the selected one.
    QTreeWidgetItem* pressed = events->PressedNode();
    menuTarget_ = pressed != nullptr ? pressed : outline_->SelectedNode();
    QAction* chosen = PopupMenu1->exec(events->PressPosition());
    // Once the menu has closed, its target becomes the selected node, and the chosen command
    // runs on it. When the selection cannot move (a value in the grid was refused), the command
    // does not run on the wrong node.
    const bool moved = menuTarget_ == nullptr || outline_->SelectNode(menuTarget_);
    EnableShortcutsForSelection();
    if (moved && chosen != nullptr) RunPopupItem(*this, chosen);
}

void TMain::TreeEdited(QTreeWidgetItem* node, const QString& text) {
    StoreCaption(Commands(*this), node, text);
}

void TMain::TreeDblClick() {
    FollowLink(Commands(*this));
}

void TMain::TreeKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (Tree->IsEditingCaption()) return;
    switch (ClipboardKeyOf(key, modifiers)) {
    case ClipboardKey::Copy:
        N30Click();
        break;
    case ClipboardKey::Cut:
        N32Click();
        break;
    case ClipboardKey::Paste:
        N31Click();
        break;
    case ClipboardKey::None:
        break;
    }
}

} // namespace kv
