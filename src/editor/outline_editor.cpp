#include "editor/outline_editor.h"

#include "editor/modal_seam.h"
#include "editor/outline.h"
#include "editor/outline_tree.h"
#include "editor/property_grids.h"

namespace kv {

OutlineEditor::OutlineEditor(Project& project, OutlineTree& tree, PropertyGrid& dialogGrid,
                             PropertyGrid& variantGrid, ModalSeam& seam)
    : QObject(&tree), project_(project), tree_(tree), dialogGrid_(dialogGrid),
      variantGrid_(variantGrid), seam_(&seam) {
    connect(&tree_, &QTreeWidget::currentItemChanged, this, &OutlineEditor::CurrentItemChanged);
    dialogGrid_.hide();
    variantGrid_.hide();
}

void OutlineEditor::SetSelectionHandlers(ChangingHandler changing, ChangeHandler change) {
    changing_ = std::move(changing);
    change_ = std::move(change);
}

QTreeWidgetItem* OutlineEditor::SelectedNode() const { return tree_.currentItem(); }

bool OutlineEditor::SelectNode(QTreeWidgetItem* node) {
    if (node == tree_.currentItem()) return true;
    tree_.setCurrentItem(node);
    return tree_.currentItem() == node;
}

void OutlineEditor::SelectNodeWithoutCommit(QTreeWidgetItem* node) {
    skipCommit_ = true;
    tree_.setCurrentItem(node);
    skipCommit_ = false;
}

void OutlineEditor::CurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (quiet_) return;
    const bool commit = !skipCommit_;
    skipCommit_ = false;
    if (commit && previous != nullptr && changing_ && !changing_(previous)) {
        // The value that failed stays in the grid and the selection on its node, so the user can
        // put it right.
        quiet_ = true;
        tree_.setCurrentItem(previous);
        quiet_ = false;
        return;
    }
    // The view can make a node current without selecting it (focus arriving by the keyboard);
    // the current node is the selected one here, so it is highlighted as such.
    if (current != nullptr && !current->isSelected()) {
        quiet_ = true;
        tree_.selectionModel()->select(tree_.currentIndex(), QItemSelectionModel::ClearAndSelect |
                                                                 QItemSelectionModel::Rows);
        quiet_ = false;
    }
    if (change_) change_(current);
}

GridKind OutlineEditor::FillGridFor(QTreeWidgetItem* node) {
    TDialogItem* dialog = DialogOfNode(project_, node);
    if (node == nullptr || dialog == nullptr) {
        dialogGrid_.hide();
        variantGrid_.hide();
        gridNode_ = nullptr;
        shown_ = GridKind::None;
        return shown_;
    }
    // A node newly selected is shown from its first row; the same node filled again (after a
    // command changed it) keeps its place.
    const bool fresh = node != gridNode_;
    if (IsDialogNode(node)) {
        FillDialogGrid(dialogGrid_, *dialog);
        if (fresh) dialogGrid_.ShowFromTop();
        variantGrid_.hide();
        dialogGrid_.show();
        shown_ = GridKind::Dialog;
    } else {
        FillVariantGrid(variantGrid_, *dialog, SlotOfNode(node));
        if (fresh) variantGrid_.ShowFromTop();
        dialogGrid_.hide();
        variantGrid_.show();
        shown_ = GridKind::Variant;
    }
    gridNode_ = node;
    return shown_;
}

bool OutlineEditor::CommitGridOf(QTreeWidgetItem* node) {
    if (node == nullptr || node != gridNode_) return true;
    TDialogItem* dialog = DialogOfNode(project_, node);
    if (dialog == nullptr) return true;
    CommitResult result;
    if (IsDialogNode(node)) {
        if (shown_ != GridKind::Dialog) return true;
        result = kv::CommitDialogGrid(dialogGrid_, *dialog, *seam_);
    } else {
        const int slot = SlotOfNode(node);
        if (shown_ != GridKind::Variant || slot >= kSlotCount) return true;
        result = kv::CommitVariantGrid(variantGrid_, project_, *dialog, slot, *seam_);
    }
    if (result.changed) project_.Modified = true;
    return result.complete;
}

bool OutlineEditor::CommitDialogGrid() {
    QTreeWidgetItem* node = SelectedNode();
    if (!IsDialogNode(node)) return true;
    return CommitGridOf(node);
}

bool OutlineEditor::CommitVariantGrid() {
    QTreeWidgetItem* node = SelectedNode();
    if (node == nullptr || IsDialogNode(node)) return true;
    return CommitGridOf(node);
}

void OutlineEditor::ClearSelectionQuietly() {
    skipCommit_ = true;
    tree_.setCurrentItem(nullptr);
    skipCommit_ = false;
    tree_.clearSelection();
}

void OutlineEditor::RemoveNode(QTreeWidgetItem* node) {
    if (node == nullptr) return;
    if (tree_.IsEditingCaption()) tree_.EndCaptionEdit(false);
    for (QTreeWidgetItem* n = tree_.currentItem(); n != nullptr; n = n->parent()) {
        if (n == node) {
            ClearSelectionQuietly();
            break;
        }
    }
    for (QTreeWidgetItem* n = gridNode_; n != nullptr; n = n->parent()) {
        if (n == node) {
            FillGridFor(nullptr);
            break;
        }
    }
    emit NodeRemoving(node);
    delete node;
}

void OutlineEditor::RemoveAllNodes() {
    if (tree_.IsEditingCaption()) tree_.EndCaptionEdit(false);
    ClearSelectionQuietly();
    FillGridFor(nullptr);
    quiet_ = true;
    tree_.clear();
    quiet_ = false;
    emit OutlineCleared();
}

void OutlineEditor::Rebuild() {
    RemoveAllNodes();
    FillOutline(tree_, project_);
}

} // namespace kv
