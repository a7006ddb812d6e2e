#include "editor/outline_tree.h"

#include <QLineEdit>
#include <QStyledItemDelegate>

namespace kv {

// Remembers which editor belongs to which node, so the outline can end an edit by itself.
class OutlineCaptionDelegate : public QStyledItemDelegate {
public:
    explicit OutlineCaptionDelegate(OutlineTree* tree) : QStyledItemDelegate(tree), tree_(tree) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        tree_->editor_ = editor;
        tree_->editedIndex_ = index;
        return editor;
    }

private:
    OutlineTree* tree_;
};

OutlineTree::OutlineTree(QWidget* parent) : QTreeWidget(parent) {
    setItemDelegate(new OutlineCaptionDelegate(this));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    // The selected node stays visible while the focus is elsewhere, as in the grids' panel.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);
}

bool OutlineTree::IsEditingCaption() const {
    return state() == QAbstractItemView::EditingState && !editor_.isNull();
}

void OutlineTree::StartCaptionEdit(QTreeWidgetItem* node) {
    if (node == nullptr) return;
    scrollToItem(node);
    editItem(node, 0);
}

void OutlineTree::EndCaptionEdit(bool confirm) {
    if (!IsEditingCaption()) return;
    QWidget* editor = editor_;
    if (confirm) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    } else {
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
    editor_ = nullptr;
}

QTreeWidgetItem* OutlineTree::EditedNode() const {
    if (!IsEditingCaption() || !editedIndex_.isValid()) return nullptr;
    return itemFromIndex(editedIndex_);
}

QItemSelectionModel::SelectionFlags OutlineTree::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    QItemSelectionModel::SelectionFlags flags = QTreeWidget::selectionCommand(index, event);
    // One node is always selected once one was: Ctrl+click on it does not deselect it.
    if (index.isValid() && (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)))
        return QItemSelectionModel::NoUpdate;
    return flags;
}

void OutlineTree::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    // A click selects the node it made current. When that move was refused (the grid of the node
    // being left could not be written back), the current node is the old one, and so is the
    // selection.
    const QModelIndex current = currentIndex();
    if (current.isValid() && (command & QItemSelectionModel::Select)) {
        selectionModel()->select(current,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    QTreeWidget::setSelection(rect, command);
}

void OutlineTree::commitData(QWidget* editor) {
    QTreeWidgetItem* node = editedIndex_.isValid() ? itemFromIndex(editedIndex_) : nullptr;
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (node != nullptr && line != nullptr) emit CaptionEdited(node, line->text());
    QTreeWidget::commitData(editor);
}

} // namespace kv
