#pragma once

#include "model/project.h"

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace kv {

// The outline's correspondence with the model is by position only: the dialog node at top-level
// position k stands for the dialog at position k of the list, the variant node at child
// position j for slot j of its parent's dialog. Nodes hold their caption and two image indexes
// and nothing else.

bool IsDialogNode(const QTreeWidgetItem* node); // a node without a parent
// The dialog of a dialog node, or of a variant node's parent; null when there is none.
TDialogItem* DialogOfNode(const Project& project, const QTreeWidgetItem* node);
// A variant node's slot (its position among its siblings); -1 for a dialog node or null.
int SlotOfNode(const QTreeWidgetItem* node);
// The top-level node at the dialog's list position; null when there is none.
QTreeWidgetItem* DialogNodeOf(const QTreeWidget& tree, const Project& project,
                              const TDialogItem* dialog);
// The variant node of slot k of a dialog node; null when there is none.
QTreeWidgetItem* VariantNodeAt(const QTreeWidgetItem* dialogNode, int k);

// New nodes, with the caption and the image as both image and selected image.
QTreeWidgetItem* AddDialogNode(QTreeWidget& tree, const QString& caption, int image);
QTreeWidgetItem* AddVariantNode(QTreeWidgetItem* dialogNode, const QString& caption, int image);
// A variant node in front of `before`, among its siblings.
QTreeWidgetItem* InsertVariantNode(QTreeWidgetItem* before, const QString& caption, int image);

int NodeImage(const QTreeWidgetItem* node);
int NodeSelectedImage(const QTreeWidgetItem* node);
void SetNodeImages(QTreeWidgetItem* node, int image, int selectedImage);
inline void SetNodeImage(QTreeWidgetItem* node, int image) { SetNodeImages(node, image, image); }
QString NodeCaption(const QTreeWidgetItem* node);
void SetNodeCaption(QTreeWidgetItem* node, const QString& caption);

// Fills an empty outline from the list: one dialog node per dialog, and under it one node for
// every slot from 0 up to the last slot in use, so that every node stands at its slot number. A
// free slot between slots in use gets a node with an empty caption and image 3.
void FillOutline(QTreeWidget& tree, const Project& project);

} // namespace kv
