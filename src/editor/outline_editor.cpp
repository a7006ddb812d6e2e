#include "editor/outline_editor.h"

#include "editor/outline_model.h"
#include "editor/outline_tree.h"
#include "editor/project_document.h"
#include "editor/property_grids.h"

namespace kv {

OutlineEditor::OutlineEditor(ProjectDocument& document, OutlineModel& model, OutlineTree& tree,
                             PropertyGrid& dialogGrid, PropertyGrid& variantGrid, ModalSeam& seam)
    : QObject(&tree), document_(document), model_(model), tree_(tree), dialogGrid_(dialogGrid),
      variantGrid_(variantGrid), seam_(&seam) {
    tree_.setModel(&model_);
    connect(tree_.selectionModel(), &QItemSelectionModel::currentChanged, this,
            &OutlineEditor::CurrentChanged);
    // A grid whose node went away (deleted, or undone) shows nothing any more.
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (shown_ != GridKind::None && !gridNode_.isValid()) FillGridFor({});
    });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { FillGridFor({}); });
    dialogGrid_.hide();
    variantGrid_.hide();
}

void OutlineEditor::SetSelectionHandlers(ChangingHandler changing, ChangeHandler change) {
    changing_ = std::move(changing);
    change_ = std::move(change);
}

QModelIndex OutlineEditor::SelectedNode() const { return tree_.currentIndex().siblingAtColumn(0); }

Place OutlineEditor::SelectedPlace() const { return model_.PlaceOf(SelectedNode()); }

bool OutlineEditor::SelectNode(const QModelIndex& node) {
    if (node == SelectedNode()) return true;
    if (node.isValid())
        tree_.setCurrentIndex(node);
    else
        tree_.selectionModel()->setCurrentIndex(node, QItemSelectionModel::Clear);
    return SelectedNode() == node;
}

void OutlineEditor::SelectNear(Place place) {
    const int dialogs = model_.rowCount();
    QModelIndex node;
    if (dialogs > 0 && place.dialog >= 0) {
        const int dialog = std::min(place.dialog, dialogs - 1);
        const int slotRows = model_.rowCount(model_.IndexOf({dialog, -1}));
        const int slot = dialog == place.dialog ? std::min(place.slot, slotRows - 1) : -1;
        node = model_.IndexOf({dialog, slot});
    }
    const bool following = following_;
    following_ = true;
    SelectNode(node);
    following_ = following;
    if (node.isValid()) tree_.scrollTo(node);
}

void OutlineEditor::SelectQuietly(const QModelIndex& node) {
    quiet_ = true;
    tree_.setCurrentIndex(node);
    quiet_ = false;
}

void OutlineEditor::CurrentChanged(const QModelIndex& currentCell,
                                   const QModelIndex& previousCell) {
    if (quiet_) return;
    // A row is one node, whichever of its columns was clicked.
    const QModelIndex current = currentCell.siblingAtColumn(0);
    const QModelIndex previous = previousCell.siblingAtColumn(0);
    if (current.row() == previous.row() && current.parent() == previous.parent() &&
        current.isValid())
        return;
    if (!following_ && previous.isValid() && changing_ && !changing_(previous)) {
        // The value that failed stays in the grid and the selection on its node, so the user can
        // put it right.
        SelectQuietly(previous);
        return;
    }
    // The view can make a node current without selecting it (focus arriving by the keyboard);
    // the current node is the selected one here, so it is highlighted as such.
    if (current.isValid() && !tree_.selectionModel()->isSelected(current)) {
        quiet_ = true;
        tree_.selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
        quiet_ = false;
    }
    if (change_) change_(current);
}

GridKind OutlineEditor::FillGridFor(const QModelIndex& node) {
    const Place place = model_.PlaceOf(node);
    const TDialogItem* dialog = document_.project().DialogAt(place.dialog);
    if (dialog == nullptr || place.slot >= kSlotCount) {
        dialogGrid_.hide();
        variantGrid_.hide();
        gridNode_ = QPersistentModelIndex();
        shown_ = GridKind::None;
        return shown_;
    }
    // A node newly selected is shown from its first row; the same node filled again (after an
    // edit changed it) keeps its place.
    const bool fresh = QModelIndex(gridNode_) != node;
    PropertyGrid& shown = place.slot < 0 ? dialogGrid_ : variantGrid_;
    PropertyGrid& hidden = place.slot < 0 ? variantGrid_ : dialogGrid_;
    if (place.slot < 0)
        FillDialogGrid(dialogGrid_, *dialog);
    else
        FillVariantGrid(variantGrid_, *dialog, place.slot);
    if (fresh) shown.ShowFromTop();
    hidden.hide();
    shown.show();
    shown_ = place.slot < 0 ? GridKind::Dialog : GridKind::Variant;
    gridNode_ = node;
    return shown_;
}

bool OutlineEditor::CommitGridOf(const QModelIndex& node) {
    if (!node.isValid() || node != QModelIndex(gridNode_)) return true;
    const Place place = model_.PlaceOf(node);
    if (document_.project().DialogAt(place.dialog) == nullptr || place.slot >= kSlotCount) return true;
    if ((place.slot < 0) != (shown_ == GridKind::Dialog)) return true;
    PropertyGrid& grid = place.slot < 0 ? dialogGrid_ : variantGrid_;
    GridChanges read = ReadGrid(grid, document_.project(), place, *seam_);
    if (!read.changes.empty()) {
        const bool following = following_;
        following_ = true;
        document_.Push(ChangeValues(std::move(read.changes)));
        following_ = following;
    }
    return read.complete;
}

bool OutlineEditor::CommitDialogGrid() {
    const Place place = SelectedPlace();
    if (place.dialog < 0 || place.slot >= 0) return true;
    return CommitGridOf(SelectedNode());
}

bool OutlineEditor::CommitVariantGrid() {
    const Place place = SelectedPlace();
    if (place.slot < 0) return true;
    return CommitGridOf(SelectedNode());
}

} // namespace kv
