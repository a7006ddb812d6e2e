// The dialog and variant commands, the outline's own interaction (context menu, caption edit,
// double click, keys), the clipboard, the two batch edits of answers and the history. Each
// editing command makes one edit of the project (src/model) and hands it to the document.
#include "app/main_window.h"

#include "editor/outline_editor.h"
#include "editor/outline_events.h"
#include "editor/outline_interaction.h"
#include "editor/outline_model.h"
#include "editor/outline_tree.h"
#include "editor/project_document.h"
#include "editor/qt_text.h"
#include "erm/batch_edits.h"
#include "text/whole_number.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

namespace kv {

namespace {

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

// "Отменить: удаление диалога": the menu item names the step it would take.
QString HistoryText(const QString& verb, const QString& step) {
    return step.isEmpty() ? verb : verb + QStringLiteral(": ") + step;
}

} // namespace

void TMain::ConnectCommands() {
    connect(N23, &QAction::triggered, this, Guard(&TMain::ToolButton5Click));
    connect(N24, &QAction::triggered, this, Guard(&TMain::ToolButton6Click));
    connect(N28, &QAction::triggered, this, Guard(&TMain::N28Click));
    connect(N30, &QAction::triggered, this, Guard(&TMain::N30Click));
    connect(N32, &QAction::triggered, this, Guard(&TMain::N32Click));
    connect(N31, &QAction::triggered, this, Guard(&TMain::N31Click));
    connect(Undo1, &QAction::triggered, this, Guard(&TMain::UndoClick));
    connect(Redo1, &QAction::triggered, this, Guard(&TMain::RedoClick));
    connect(ToolButton10, &QToolButton::clicked, this, Guard(&TMain::ToolButton10Click));
    connect(ToolButton12, &QToolButton::clicked, this, Guard(&TMain::ToolButton12Click));

    QUndoStack& history = document_->undoStack();
    auto showHistory = [this, &history] {
        Undo1->setEnabled(history.canUndo());
        Redo1->setEnabled(history.canRedo());
        Undo1->setText(HistoryText(QStringLiteral("Отменить"), history.undoText()));
        Redo1->setText(HistoryText(QStringLiteral("Повторить"), history.redoText()));
    };
    connect(&history, &QUndoStack::indexChanged, this, showHistory);
    connect(&history, &QUndoStack::cleanChanged, this, showHistory);
    showHistory();

    // The context menu's items run their commands only after the menu has closed and its target
    // has been selected (see TreeMouseDown); their shortcuts are the outline's (TreeKeyDown).
    connect(PopupMenu1, &QMenu::aboutToShow, this, Guard(&TMain::PopupMenu1Popup));

    // Captions are edited in place by the usual gestures: a click on the selected node (the
    // outline arms that edit itself), or the edit key.
    Tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    connect(Tree, &OutlineTree::CaptionEdited, this,
            [this](const QModelIndex& node, const QString& text) {
                RunGuarded(*seam_, [&] { TreeEdited(node, text); });
            });
    connect(Tree, &QTreeView::doubleClicked, this, Guard(&TMain::TreeDblClick));

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
        const QModelIndex selected = outline_->SelectedNode();
        const QRect place = selected.isValid() ? Tree->visualRect(selected) : QRect();
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
    EnableShortcutsForSelection();
}

// ---- The one path of every edit ----

bool TMain::RunEdit(const std::function<std::unique_ptr<Edit>(const Project&)>& make,
                    bool editCaption) {
    if (Tree->IsEditingCaption() || !CommitPendingEdit()) return false;
    std::unique_ptr<Edit> edit = make(CurrentProject());
    if (!edit) return false;
    outline_->SetFollowingDocument(true);
    bool applied = false;
    try {
        applied = document_->Push(std::move(edit));
    } catch (...) {
        outline_->SetFollowingDocument(false);
        throw;
    }
    outline_->SetFollowingDocument(false);
    if (!applied) return false;
    outline_->SelectNear(document_->LastFocus());
    FollowDocument();
    if (editCaption) Tree->StartCaptionEdit(outline_->SelectedNode());
    return true;
}

void TMain::StepHistory(bool back) {
    QUndoStack& history = document_->undoStack();
    if (Tree->IsEditingCaption() || !CommitPendingEdit()) return;
    if (back ? !history.canUndo() : !history.canRedo()) return;
    outline_->SetFollowingDocument(true);
    try {
        back ? history.undo() : history.redo();
    } catch (...) {
        outline_->SetFollowingDocument(false);
        throw;
    }
    outline_->SetFollowingDocument(false);
    outline_->SelectNear(document_->LastFocus());
    FollowDocument();
}

void TMain::UndoClick() { StepHistory(true); }
void TMain::RedoClick() { StepHistory(false); }

void TMain::FollowDocument() {
    // The grid shows its node as the project now holds it.
    outline_->FillGridFor(outline_->GridNode().isValid() ? outline_->GridNode()
                                                         : outline_->SelectedNode());
    ToolButton7->setEnabled(outline_->ShownGrid() == GridKind::Dialog);
    EnableShortcutsForSelection();
}

std::optional<int> TMain::AskForDialog(const QString& caption, const QString& prompt) {
    const Project& project = CurrentProject();
    std::optional<QString> answer =
        seam_->InputPrompt(caption, prompt, QString::number(project.FunctionStart));
    if (!answer) return std::nullopt;
    std::optional<std::int32_t> number = ParseWholeNumber(ToCp1251(*answer));
    if (!number) {
        ShowError(*seam_, QStringLiteral("Неправильное число!"));
        return std::nullopt;
    }
    const int position = project.IndexOfDialog(project.FindByFunction(*number));
    if (position < 0) {
        ShowError(*seam_, QStringLiteral("Нет такой функции!"));
        return std::nullopt;
    }
    return position;
}

// ---- Dialog commands ----

void TMain::ToolButton5Click() {
    RunEdit([](const Project& p) { return NewDialog(p); }, true);
}

void TMain::ToolButton6Click() {
    const Place answer = outline_->SelectedPlace();
    if (answer.slot < 0) return;
    RunEdit([answer](const Project& p) { return ConsequenceDialog(p, answer); }, true);
}

void TMain::N28Click() {
    const Place selected = outline_->SelectedPlace();
    if (selected.dialog < 0) return;
    RunEdit([selected](const Project& p) { return DuplicateDialog(p, selected.dialog); }, true);
}

void TMain::N19Click() {
    const Place selected = outline_->SelectedPlace();
    if (Tree->IsEditingCaption() || selected.dialog < 0 || selected.slot >= 0) return;
    const std::optional<int> target = AskForDialog(
        QStringLiteral("Добавление к диалогу"), QStringLiteral("Введите номер функции диалога: "));
    if (!target) return;
    RunEdit([&](const Project& p) { return AddToDialog(p, selected.dialog, *target); }, true);
}

void TMain::N26Click() {
    if (Tree->IsEditingCaption()) return;
    Tree->StartCaptionEdit(outline_->SelectedNode());
}

void TMain::N18Click() {
    const Place selected = outline_->SelectedPlace();
    if (selected.dialog < 0) return;
    RunEdit([selected](const Project& p) {
        return selected.slot < 0 ? DeleteDialog(p, selected.dialog) : DeleteVariant(p, selected);
    });
}

// ---- Variant commands ----

void TMain::N14Click() {
    const Place selected = outline_->SelectedPlace();
    if (selected.dialog < 0) return;
    RunEdit([selected](const Project& p) { return AddVariant(p, selected); }, true);
}

void TMain::N15Click() {
    const Place selected = outline_->SelectedPlace();
    if (Tree->IsEditingCaption() || selected.dialog < 0) return;
    // The number is asked first, also when the dialog turns out to have no room.
    const std::optional<int> target = AskForDialog(QStringLiteral("Добавление диалога"),
                                                   QStringLiteral("Введите номер функции: "));
    if (!target) return;
    RunEdit([&](const Project& p) { return AddVariant(p, selected, *target); }, true);
}

void TMain::N21Click() {
    const Place selected = outline_->SelectedPlace();
    if (selected.slot < 0) return;
    RunEdit([selected](const Project& p) { return MoveVariant(p, selected, -1); });
}

void TMain::N22Click() {
    const Place selected = outline_->SelectedPlace();
    if (selected.slot < 0) return;
    RunEdit([selected](const Project& p) { return MoveVariant(p, selected, +1); });
}

void TMain::N17Click() {
    if (Tree->IsEditingCaption()) return;
    v1EditButtonClick();
}

// ---- Clipboard ----

void TMain::N30Click() {
    if (Tree->IsEditingCaption()) return;
    clipboard_ = {outline_->SelectedNode(), false};
}

void TMain::N32Click() {
    if (Tree->IsEditingCaption()) return;
    const QModelIndex selected = outline_->SelectedNode();
    clipboard_ = {selected, selected.isValid()};
}

void TMain::N31Click() {
    const Place source = model_->PlaceOf(clipboard_.node);
    const Place target = outline_->SelectedPlace();
    if (source.dialog < 0 || Tree->IsEditingCaption()) return;
    if (source.slot >= 0 && target.dialog < 0) return;
    const bool cut = clipboard_.cut;
    const bool pasted = RunEdit(
        [&](const Project& p) {
            return source.slot < 0 ? PasteDialog(p, source.dialog, cut)
                                   : PasteVariant(p, source, target, cut);
        },
        true);
    // After a cut the entry is what was pasted, as a copy: a second paste makes a copy of it.
    if (cut && pasted) clipboard_ = {outline_->SelectedNode(), false};
}

// ---- Batch edits ----

void TMain::ToolButton10Click() {
    const Place selected = outline_->SelectedPlace();
    if (selected.slot < 0 || Tree->IsEditingCaption() || !CommitPendingEdit()) return;
    RunEdit([selected](const Project& p) { return AnnotateCost(p, selected); });
    // The caption is open for editing afterwards, also when it had nothing to annotate.
    Tree->StartCaptionEdit(model_->IndexOf(selected));
}

void TMain::ToolButton12Click() {
    const Place selected = outline_->SelectedPlace();
    if (selected.slot < 0) return;
    RunEdit([selected](const Project& p) { return NumberVariables(p, selected); });
}

// ---- The outline ----

void TMain::PopupMenu1Popup() {
    const Place target = model_->PlaceOf(menuTarget_);
    EnablePopupItems({N14, N15, N19, N26, N17, N18, N21, N22}, target);
    Play1->setEnabled(target.dialog >= 0);
    Leads1->setEnabled(target.dialog >= 0);
}

void TMain::EnableShortcutsForSelection() {
    // The menu's items double as the outline's shortcuts; outside the menu they follow the
    // selected node, so a key never does nothing because of a menu opened long ago.
    const Place selected = outline_->SelectedPlace();
    EnablePopupItems({N14, N15, N19, N26, N17, N18, N21, N22}, selected);
    Play1->setEnabled(selected.dialog >= 0);
    Leads1->setEnabled(selected.dialog >= 0);
    UpdateNavigation();
}

void TMain::TreeMouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    auto* events = Tree->findChild<OutlineEvents*>();
    if (events == nullptr) return;
    // The menu opens for the node under the mouse; outside every node, for the selected one.
    const QModelIndex pressed = events->PressedNode();
    menuTarget_ = pressed.isValid() ? pressed : outline_->SelectedNode();
    QAction* chosen = PopupMenu1->exec(events->PressPosition());
    // Once the menu has closed, its target becomes the selected node, and the chosen command
    // runs on it. When the selection cannot move (a value in the grid was refused), the command
    // does not run on the wrong node.
    const bool moved = !menuTarget_.isValid() || outline_->SelectNode(menuTarget_);
    EnableShortcutsForSelection();
    if (moved && chosen != nullptr) RunPopupItem(*this, chosen);
}

void TMain::TreeEdited(const QModelIndex& node, const QString& text) {
    const Place place = model_->PlaceOf(node);
    if (place.dialog < 0 || place.slot >= kSlotCount) return;
    const FieldRef ref = place.slot < 0 ? FieldRef{FieldId::Hint, place.dialog, 0}
                                        : FieldRef{FieldId::Variant, place.dialog, place.slot};
    // The caption editor is closing: the edit goes through the document once it has closed.
    std::unique_ptr<Edit> edit =
        ChangeValues({{ref, FieldValue::Text(ToCp1251(text))}}, "переименование");
    outline_->SetFollowingDocument(true);
    const bool applied = document_->Push(std::move(edit));
    outline_->SetFollowingDocument(false);
    if (applied) FollowDocument();
}

void TMain::TreeDblClick() {
    const Place selected = outline_->SelectedPlace();
    const TDialogItem* dialog = CurrentProject().DialogAt(selected.dialog);
    if (dialog == nullptr || selected.slot < 0 || selected.slot >= kSlotCount) return;
    const int target =
        CurrentProject().IndexOfDialog(dialog->LinkDialog[static_cast<std::size_t>(selected.slot)]);
    if (target >= 0) JumpTo({target, -1});
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
