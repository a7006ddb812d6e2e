#pragma once

#include "editor/command_context.h"

namespace kv {

// Whether a command that creates a node opens its caption for editing at the end. The paste
// reuses the commands and opens the caption edit itself once everything is in place.
enum class CaptionEdit { Start, Leave };

// The commands on whole dialogs. Each acts on the selected node, changes the list and the
// outline together (no rebuild), sets Modified and does nothing while a caption is being edited
// in place. A command that creates a node returns it, or null when it did nothing.

// A new dialog at the end of the list, numbered after the last dialog (FunctionStart in an empty
// list) and captioned "N {}"; given a variant node, captioned "dialog -> variant" instead. Its
// node is selected and its caption opened for editing.
QTreeWidgetItem* NewDialog(const CommandContext& ctx, QTreeWidgetItem* variantNode = nullptr,
                           CaptionEdit edit = CaptionEdit::Start);

// A new dialog that the selected variant leads to.
QTreeWidgetItem* ConsequenceDialog(const CommandContext& ctx);

// A copy of the selected dialog (or of the selected variant's dialog) at the end of the list,
// under a new number, with copies of its variant nodes. The caption edit shows the copied caption.
QTreeWidgetItem* DuplicateDialog(const CommandContext& ctx, CaptionEdit edit = CaptionEdit::Start);

// Attaches the selected dialog to the dialog whose number the user gives, as the follow-up of a
// new variant in that dialog's first free slot.
QTreeWidgetItem* AddToDialog(const CommandContext& ctx);

// Opens the selected node's caption for editing.
void RenameSelected(const CommandContext& ctx);

// Deletes the selected dialog or variant, record and node, without asking; links into a deleted
// dialog become plain numbers.
void DeleteSelected(const CommandContext& ctx);

} // namespace kv
