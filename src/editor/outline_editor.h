#pragma once

#include "model/edit.h"

#include <QObject>
#include <QPersistentModelIndex>

#include <functional>

namespace kv {

class ModalSeam;
class OutlineModel;
class OutlineTree;
class ProjectDocument;
class PropertyGrid;

// Which grid shows a node, if any.
enum class GridKind { None, Dialog, Variant };

// The outline and the two property grids working together. The selected node decides which grid
// is shown and what it holds; before the selection leaves a node, that node's grid is written
// back through the document, as one step of the history. A grid remembers the node it was
// filled from (a persistent index, which follows the node) and is only ever written back into
// that node's dialog or slot, wherever the node stands by then.
//
// The selection events go to two handlers set by the window: `changing` with the node being left
// (it returns false when the node's grid could not be written back; the selection then stays on
// that node) and `change` with the node newly selected (or an invalid index).
class OutlineEditor : public QObject {
    Q_OBJECT

public:
    using ChangingHandler = std::function<bool(const QModelIndex& left)>;
    using ChangeHandler = std::function<void(const QModelIndex& selected)>;

    OutlineEditor(ProjectDocument& document, OutlineModel& model, OutlineTree& tree,
                  PropertyGrid& dialogGrid, PropertyGrid& variantGrid, ModalSeam& seam);

    void SetSelectionHandlers(ChangingHandler changing, ChangeHandler change);
    void SetSeam(ModalSeam& seam) { seam_ = &seam; }

    OutlineModel& Model() const { return model_; }
    QModelIndex SelectedNode() const;
    Place SelectedPlace() const;
    // Selects a node (invalid: none). The node left is written back first; returns false when
    // that failed and the selection stayed where it was.
    bool SelectNode(const QModelIndex& node);
    // Selects the node of a place, or the nearest that exists: the slot before, its dialog, the
    // last dialog. Nothing is written back (the document has just changed under the grid).
    void SelectNear(Place place);

    // Fills and shows the grid of a node and hides the other (an invalid index hides both).
    GridKind FillGridFor(const QModelIndex& node);
    GridKind ShownGrid() const { return shown_; }
    QModelIndex GridNode() const { return gridNode_; }

    // Writes the grid back into the node's dialog or slot, when the grid was filled from that
    // node; true when it was stored whole or there was nothing to store.
    bool CommitGridOf(const QModelIndex& node);
    // The commit keys of the two grids: they act on the selected node when it is of the grid's
    // kind.
    bool CommitDialogGrid();
    bool CommitVariantGrid();

    // While the document applies an edit, the view's own moves of the selection (a row removed
    // under it) write nothing back.
    void SetFollowingDocument(bool following) { following_ = following; }

private:
    void CurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void SelectQuietly(const QModelIndex& node);

    ProjectDocument& document_;
    OutlineModel& model_;
    OutlineTree& tree_;
    PropertyGrid& dialogGrid_;
    PropertyGrid& variantGrid_;
    ModalSeam* seam_;
    ChangingHandler changing_;
    ChangeHandler change_;
    QPersistentModelIndex gridNode_;
    GridKind shown_ = GridKind::None;
    bool quiet_ = false;     // selection changes made here that raise no events at all
    bool following_ = false; // selection changes that write nothing back
};

} // namespace kv
