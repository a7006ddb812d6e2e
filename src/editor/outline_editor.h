#pragma once

#include "model/project.h"

#include <QObject>

#include <functional>

class QTreeWidgetItem;

namespace kv {

class ModalSeam;
class OutlineTree;
class PropertyGrid;

// Which grid shows a node, if any.
enum class GridKind { None, Dialog, Variant };

// The outline and the two property grids working together. The selected node decides which grid
// is shown and what it holds; before the selection leaves a node, that node's grid is written
// back. A grid remembers the node it was filled from and is only ever written back into that
// node's dialog or slot, wherever the node stands by then.
//
// The selection events go to two handlers set by the window: `changing` with the node being left
// (it returns false when the node's grid could not be written back; the selection then stays on
// that node) and `change` with the node newly selected (or null).
class OutlineEditor : public QObject {
    Q_OBJECT

public:
    using ChangingHandler = std::function<bool(QTreeWidgetItem* left)>;
    using ChangeHandler = std::function<void(QTreeWidgetItem* selected)>;

    OutlineEditor(Project& project, OutlineTree& tree, PropertyGrid& dialogGrid,
                  PropertyGrid& variantGrid, ModalSeam& seam);

    void SetSelectionHandlers(ChangingHandler changing, ChangeHandler change);
    void SetSeam(ModalSeam& seam) { seam_ = &seam; }

    QTreeWidgetItem* SelectedNode() const;
    // Selects a node (null: none). The node left is written back first; returns false when that
    // failed and the selection stayed where it was.
    bool SelectNode(QTreeWidgetItem* node);
    // Selects a node without writing back the grid of the node left (after two slots were
    // exchanged, the grid's values have been written already).
    void SelectNodeWithoutCommit(QTreeWidgetItem* node);

    // Fills and shows the grid of a node and hides the other (null hides both).
    GridKind FillGridFor(QTreeWidgetItem* node);
    GridKind ShownGrid() const { return shown_; }
    // The node the visible grid was filled from; null while no grid is shown.
    QTreeWidgetItem* GridNode() const { return gridNode_; }

    // Writes the grid back into the node's dialog or slot, when the grid was filled from that
    // node; true when it was stored whole or there was nothing to store. Sets Modified only
    // when a stored value changed.
    bool CommitGridOf(QTreeWidgetItem* node);
    // The commit keys of the two grids: they act on the selected node when it is of the grid's
    // kind.
    bool CommitDialogGrid();
    bool CommitVariantGrid();

    // Removes a node with its children; nothing is written back for it. When the selection was
    // on it (or under it), nothing is selected afterwards and both grids are hidden.
    void RemoveNode(QTreeWidgetItem* node);
    // Removes every node, writing nothing back; both grids hidden.
    void RemoveAllNodes();
    // Recreates the outline from the list; selects nothing.
    void Rebuild();

signals:
    // Every node is gone (Rebuild, a new, opened or imported project).
    void OutlineCleared();
    // A node (with its children) is about to be removed.
    void NodeRemoving(QTreeWidgetItem* node);

private:
    void CurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void ClearSelectionQuietly();

    Project& project_;
    OutlineTree& tree_;
    PropertyGrid& dialogGrid_;
    PropertyGrid& variantGrid_;
    ModalSeam* seam_;
    ChangingHandler changing_;
    ChangeHandler change_;
    QTreeWidgetItem* gridNode_ = nullptr;
    GridKind shown_ = GridKind::None;
    bool quiet_ = false;       // selection changes made here that raise no events at all
    bool skipCommit_ = false;  // the next selection change writes nothing back
};

} // namespace kv
