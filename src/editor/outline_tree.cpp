#include "editor/outline_tree.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTimerEvent>

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

protected:
    // Tab ends a caption edit as Enter does and stays on the node; the plain delegate would move
    // the editor on to the next node with its text selected, ready to be overwritten.
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && object == tree_->editor_) {
                tree_->EndCaptionEdit(true);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    OutlineTree* tree_;
};

OutlineTree::OutlineTree(QWidget* parent) : QTreeView(parent) {
    setItemDelegate(new OutlineCaptionDelegate(this));
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
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

void OutlineTree::setModel(QAbstractItemModel* model) {
    QTreeView::setModel(model);
    // The caption takes the room; the numbers beside it keep a narrow column of their own.
    header()->setStretchLastSection(false);
    if (model == nullptr || model->columnCount() < 2) return;
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setSectionResizeMode(1, QHeaderView::Fixed);
    header()->resizeSection(1, fontMetrics().horizontalAdvance(QStringLiteral("→ 0000000 ?")) + 12);
}

bool OutlineTree::IsEditingCaption() const {
    return state() == QAbstractItemView::EditingState && !editor_.isNull();
}

void OutlineTree::StartCaptionEdit(const QModelIndex& node) {
    CancelPendingEdit();
    if (!node.isValid()) return;
    scrollTo(node);
    edit(node);
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

void OutlineTree::CancelPendingEdit() {
    pendingEdit_.stop();
    pendingIndex_ = QPersistentModelIndex();
}

QModelIndex OutlineTree::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // The plain view makes the first node current when the focus arrives and none is; here the
    // selection stays the user's (none after opening a project, the same after a message box).
    if (focusArriving_ && !currentIndex().isValid()) return QModelIndex();
    return QTreeView::moveCursor(action, modifiers);
}

void OutlineTree::focusInEvent(QFocusEvent* event) {
    focusArriving_ = true;
    QTreeView::focusInEvent(event);
    focusArriving_ = false;
}

void OutlineTree::mousePressEvent(QMouseEvent* event) {
    CancelPendingEdit();
    // Only a press on the caption itself counts: the branch mark beside it expands the node.
    const QPoint pos = event->position().toPoint();
    const QModelIndex at = indexAt(pos);
    pressedSelected_ = at.isValid() && at == currentIndex() && selectionModel()->isSelected(at) &&
                               visualRect(at).contains(pos)
                           ? QPersistentModelIndex(at)
                           : QPersistentModelIndex();
    QTreeView::mousePressEvent(event);
}

void OutlineTree::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    const bool armed = event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier &&
                       pressedSelected_.isValid() && at == pressedSelected_ &&
                       at == currentIndex() && !IsEditingCaption();
    pressedSelected_ = QPersistentModelIndex();
    if (!armed) return;
    // Waited for, so that a double click (which follows a link) does not also start an edit.
    pendingIndex_ = at;
    pendingEdit_.start(QApplication::doubleClickInterval(), this);
}

void OutlineTree::mouseDoubleClickEvent(QMouseEvent* event) {
    CancelPendingEdit();
    QTreeView::mouseDoubleClickEvent(event);
}

void OutlineTree::timerEvent(QTimerEvent* event) {
    if (event->timerId() != pendingEdit_.timerId()) {
        QTreeView::timerEvent(event);
        return;
    }
    const QPersistentModelIndex index = pendingIndex_;
    CancelPendingEdit();
    // A message box or menu that opened meanwhile belongs to a command: the edit is dropped.
    if (QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr)
        return;
    if (index.isValid() && index == currentIndex() && !IsEditingCaption())
        StartCaptionEdit(index);
}

QItemSelectionModel::SelectionFlags OutlineTree::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    QItemSelectionModel::SelectionFlags flags = QTreeView::selectionCommand(index, event);
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
    QTreeView::setSelection(rect, command);
}

void OutlineTree::commitData(QWidget* editor) {
    const QModelIndex node = editedIndex_;
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (node.isValid() && line != nullptr) emit CaptionEdited(node, line->text());
    QTreeView::commitData(editor);
}

} // namespace kv
