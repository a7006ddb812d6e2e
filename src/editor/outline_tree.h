#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeWidget>

namespace kv {

// The outline control: a QTreeWidget whose selection is always the current node and nothing
// else (a click never deselects; a move that was refused leaves no highlight behind) and whose
// in-place caption edit can be started, ended and asked about.
class OutlineTree : public QTreeWidget {
    Q_OBJECT

public:
    explicit OutlineTree(QWidget* parent = nullptr);

    bool IsEditingCaption() const;
    // Opens the in-place caption editor on the node.
    void StartCaptionEdit(QTreeWidgetItem* node);
    // Ends an open caption edit: confirmed (as Enter would) or cancelled (as Escape would).
    void EndCaptionEdit(bool confirm);
    // The node whose caption is being edited, or null.
    QTreeWidgetItem* EditedNode() const;

signals:
    // An in-place caption edit ended with the user's confirmation. The node's caption takes
    // the text right after this signal.
    void CaptionEdited(QTreeWidgetItem* node, const QString& text);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void commitData(QWidget* editor) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;

private:
    friend class OutlineCaptionDelegate;
    QPointer<QWidget> editor_;
    QPersistentModelIndex editedIndex_;
};

} // namespace kv
