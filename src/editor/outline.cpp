#include "editor/outline.h"

#include "editor/outline_images.h"
#include "editor/qt_text.h"

#include <QTreeWidget>

namespace kv {

namespace {

constexpr int kImageRole = Qt::UserRole;
constexpr int kSelectedImageRole = Qt::UserRole + 1;

QTreeWidgetItem* MakeNode(const QString& caption, int image) {
    auto* node = new QTreeWidgetItem(QStringList{caption});
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    SetNodeImage(node, image);
    return node;
}

} // namespace

bool IsDialogNode(const QTreeWidgetItem* node) { return node != nullptr && !node->parent(); }

TDialogItem* DialogOfNode(const Project& project, const QTreeWidgetItem* node) {
    if (node == nullptr) return nullptr;
    const QTreeWidgetItem* top = node->parent() ? node->parent() : node;
    const QTreeWidget* tree = top->treeWidget();
    if (tree == nullptr) return nullptr;
    return project.DialogAt(tree->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(top)));
}

int SlotOfNode(const QTreeWidgetItem* node) {
    if (node == nullptr || node->parent() == nullptr) return -1;
    return node->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(node));
}

QTreeWidgetItem* DialogNodeOf(const QTreeWidget& tree, const Project& project,
                              const TDialogItem* dialog) {
    int k = project.IndexOfDialog(dialog);
    if (k < 0) return nullptr;
    return tree.topLevelItem(k);
}

QTreeWidgetItem* VariantNodeAt(const QTreeWidgetItem* dialogNode, int k) {
    if (dialogNode == nullptr || k < 0 || k >= dialogNode->childCount()) return nullptr;
    return dialogNode->child(k);
}

QTreeWidgetItem* AddDialogNode(QTreeWidget& tree, const QString& caption, int image) {
    QTreeWidgetItem* node = MakeNode(caption, image);
    tree.addTopLevelItem(node);
    return node;
}

QTreeWidgetItem* AddVariantNode(QTreeWidgetItem* dialogNode, const QString& caption, int image) {
    QTreeWidgetItem* node = MakeNode(caption, image);
    dialogNode->addChild(node);
    return node;
}

QTreeWidgetItem* InsertVariantNode(QTreeWidgetItem* before, const QString& caption, int image) {
    QTreeWidgetItem* parent = before->parent();
    QTreeWidgetItem* node = MakeNode(caption, image);
    parent->insertChild(parent->indexOfChild(before), node);
    return node;
}

int NodeImage(const QTreeWidgetItem* node) { return node->data(0, kImageRole).toInt(); }

int NodeSelectedImage(const QTreeWidgetItem* node) {
    return node->data(0, kSelectedImageRole).toInt();
}

void SetNodeImages(QTreeWidgetItem* node, int image, int selectedImage) {
    node->setData(0, kImageRole, image);
    node->setData(0, kSelectedImageRole, selectedImage);
    node->setIcon(0, OutlineNodeIcon(image, selectedImage));
}

QString NodeCaption(const QTreeWidgetItem* node) { return node->text(0); }

void SetNodeCaption(QTreeWidgetItem* node, const QString& caption) { node->setText(0, caption); }

void FillOutline(QTreeWidget& tree, const Project& project) {
    QList<QTreeWidgetItem*> dialogNodes;
    for (const TDialogItem* d = project.Dialogs(); d != nullptr; d = d->Next) {
        const int end = d->SlotEnd();
        QTreeWidgetItem* node = MakeNode(FromCp1251(d->Hint.view()),
                                         end > 0 ? kImageDialogWithVariants
                                                 : kImageDialogWithoutVariants);
        for (int i = 0; i < end; ++i) {
            const auto k = static_cast<std::size_t>(i);
            node->addChild(MakeNode(FromCp1251(d->Variant[k].view()),
                                    d->HasFollowUp(i) ? kImageVariantWithFollowUp
                                                      : kImageVariantWithoutFollowUp));
        }
        dialogNodes << node;
    }
    tree.addTopLevelItems(dialogNodes);
}

} // namespace kv
