#pragma once

#include <QTableWidget>

#include <vector>

namespace kv {

// One row of a property grid: its key text, the value it shows before anything was filled in,
// and whether the user may type into it.
struct GridRow {
    QString key;
    QString initial;
    bool readOnly = false;
};

// The keys that write a grid back into the model: Tab, Enter, Page Up, Page Down, Up and Down,
// with any modifiers (Shift+Tab arrives as Backtab).
bool IsCommitKey(int key);

// A key/value grid under the column titles "Параметр" and "Значение". Rows count from 1, as
// the user sees them below the title row. Every key press in the grid is reported by KeyDown
// before the grid acts on it, also while a value is being typed into a cell; a commit key first
// ends that typing, so the value typed is in the cell when KeyDown arrives.
class PropertyGrid : public QTableWidget {
    Q_OBJECT

public:
    PropertyGrid(const std::vector<GridRow>& rows, QWidget* parent = nullptr);

    int RowCount() const { return rowCount(); }
    QString Key(int row) const;
    QString Value(int row) const;
    void SetValue(int row, const QString& value);
    bool IsReadOnly(int row) const;
    // The value cell of a row, for a test or a caller that wants to point at it.
    QTableWidgetItem* ValueCell(int row) const { return item(row - 1, 1); }
    // Ends any typing into a cell: the value being typed goes into its cell, as a commit key
    // would put it there. Nothing is written back into the model.
    void FinishTyping();
    // Scrolls to the first row and puts the cell cursor on the first value that can be changed.
    void ShowFromTop();
    // Rows scroll; columns never do, so the keys stay in sight.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    friend class GridCellDelegate;
    // A key pressed in a cell editor; true when the grid has dealt with it.
    bool EditorKeyPress(QWidget* editor, QKeyEvent* event);
    void EndTyping(QWidget* editor);
    void FitKeyColumn();

    int keyColumnWidth_ = 0; // what the longest key needs
};

} // namespace kv
