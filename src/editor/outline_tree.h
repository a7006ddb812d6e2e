#pragma once

#include <QBasicTimer>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeView>

namespace kv {

// The outline control: a tree view whose selection is always the current node and nothing
// else (a click never deselects; a move that was refused leaves no highlight behind) and whose
// in-place caption edit can be started, ended and asked about.
//
// Two traps of the plain tree are closed here. The focus arriving never makes a node current by
// itself, so nothing is selected that the user did not pick. A click on the selected node starts
// its caption edit only after the double-click time, and only if nothing else happened in
// between: a key, a command or another click cancels it (CancelPendingEdit), so text typed for
// something else never lands in that caption.
class OutlineTree : public QTreeView {
    Q_OBJECT

public:
    explicit OutlineTree(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    bool IsEditingCaption() const;
    // Opens the in-place caption editor on the node.
    void StartCaptionEdit(const QModelIndex& node);
    // Ends an open caption edit: confirmed (as Enter would) or cancelled (as Escape would).
    void EndCaptionEdit(bool confirm);
    // Forgets a caption edit armed by a click on the selected node and not started yet.
    void CancelPendingEdit();

signals:
    // An in-place caption edit ended with the user's confirmation. The view stores nothing
    // itself: the caption shows the text once the window has stored it in the project.
    void CaptionEdited(const QModelIndex& node, const QString& text);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void commitData(QWidget* editor) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    friend class OutlineCaptionDelegate;
    QPointer<QWidget> editor_;
    QPersistentModelIndex editedIndex_;
    bool focusArriving_ = false;
    QPersistentModelIndex pressedSelected_; // pressed while it was already the selected node
    QPersistentModelIndex pendingIndex_;
    QBasicTimer pendingEdit_;
};

} // namespace kv
