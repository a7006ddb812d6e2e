#pragma once

#include "model/project.h"
#include "model/project_edits.h" // kNewVariantCaption

#include <QString>

#include <optional>

class QTreeWidgetItem;

namespace kv {

class ModalSeam;
class OutlineEditor;
class OutlineTree;

// What the dialog and variant commands work on: the project, the outline with its grids, the
// tree control itself and the seam for prompts and error boxes. The window builds one for each
// command, so a seam replaced in between is always the one used.
struct CommandContext {
    Project& project;
    OutlineEditor& outline;
    OutlineTree& tree;
    ModalSeam& seam;
};

// True while a caption is being edited in place: every command then leaves everything alone, so
// that its keys reach the caption editor.
bool CaptionEditInProgress(const CommandContext& ctx);

// Writes the grid of the selected node back before a command moves the selection or the slots
// under it. False when a value could not be stored: the command then stops, so the user can put
// the value right where it was typed.
bool CommitSelectedGrid(const CommandContext& ctx);

// The node of slot j of a dialog node, for a command that has just put a variant into that slot:
// the node already standing at that position (a free slot shown as an empty node) takes the
// caption and image; past the last node one is added at the end (with nodes for any slots in
// between, as the model has them, so that every node keeps standing at its slot number).
QTreeWidgetItem* PlaceVariantNode(const CommandContext& ctx, QTreeWidgetItem* dialogNode, int j,
                                  const QString& caption, int image);

// Removes a node with its children (nothing is written back for it) and selects the node that
// took its place, else the one before it, else, for a variant, its dialog. With no node left,
// nothing is selected and both grids are hidden.
void RemoveNodeAndSelectNeighbour(const CommandContext& ctx, QTreeWidgetItem* node);

// Asks for a function number with the prompt of the two linking commands and finds its dialog.
// Reports "Неправильное число!" or "Нет такой функции!"; nothing when the user cancelled or the
// number was refused.
std::optional<TDialogItem*> AskForDialog(const CommandContext& ctx, const QString& caption,
                                         const QString& prompt);

} // namespace kv
