#pragma once

#include "editor/dialog_commands.h"

namespace kv {

// The commands on the variants of a dialog. Slots move whole (record, caption, link and number)
// through the project's slot operations, and the nodes are changed node by node in the same
// step, so that every node keeps standing at its slot number.

// A variant captioned "New variant": with a dialog node selected, in its dialog's first free
// slot; with a variant node selected, inserted before that variant. The new node is selected and
// its caption opened for editing. Null, with nothing changed, when the dialog has no room.
QTreeWidgetItem* AddVariant(const CommandContext& ctx, CaptionEdit edit = CaptionEdit::Start);

// As AddVariant, with the follow-up the user names by number.
QTreeWidgetItem* AddVariantWithDialog(const CommandContext& ctx);

// Removes the variant of a variant node, slot and node.
void DeleteVariant(const CommandContext& ctx, QTreeWidgetItem* variantNode);

// Exchanges the selected variant with the one before it (-1) or after it (+1) and keeps the
// selection on the moved variant. A value typed into its grid is written into its own slot first.
// The two nodes stay where they are and exchange what they show; the result is the node that now
// stands for the moved variant, or null when nothing moved.
QTreeWidgetItem* MoveVariant(const CommandContext& ctx, int direction);

} // namespace kv
