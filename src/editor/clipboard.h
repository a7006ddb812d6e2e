#pragma once

#include "editor/command_context.h"

namespace kv {

// The program's own clipboard of dialogs: a reference to one outline node and the cut flag.
// Copy and cut only remember the node; the paste does all the work, with the node's dialog or
// variant as it is at that moment. The entry is forgotten when its node is removed or the outline
// is cleared, so a paste never reaches a node that no longer exists.
struct DialogClipboard {
    QTreeWidgetItem*& node;
    bool& cut;

    // Copy (cutFlag false) and cut (true): the selected node becomes the entry (none without a
    // selection). Nothing while a caption is being edited.
    void Take(const CommandContext& ctx, bool cutFlag);
    // Pastes the entry; see clipboard.cpp. Nothing when the entry is empty, while a caption is
    // being edited, or when a variant has nowhere to go.
    void Paste(const CommandContext& ctx);
    // A node (with its children) is being removed from the outline.
    void Forget(const QTreeWidgetItem* removed);
    // Two variant nodes exchanged what they stand for (up or down): the entry keeps to its
    // variant, so a cut never deletes the neighbour it was swapped with.
    void Exchanged(QTreeWidgetItem* a, QTreeWidgetItem* b);
    void Clear();
};

} // namespace kv
