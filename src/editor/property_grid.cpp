#include "editor/property_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace kv {

bool IsCommitKey(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// Hands the commit keys typed into a cell editor to the grid before the editor sees them.
class GridCellDelegate : public QStyledItemDelegate {
public:
    explicit GridCellDelegate(PropertyGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor != nullptr && event->type() == QEvent::KeyPress &&
            grid_->EditorKeyPress(editor, static_cast<QKeyEvent*>(event)))
            return true;
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    PropertyGrid* grid_;
};

PropertyGrid::PropertyGrid(const std::vector<GridRow>& rows, QWidget* parent)
    : QTableWidget(static_cast<int>(rows.size()), 2, parent) {
    setItemDelegate(new GridCellDelegate(this));
    setHorizontalHeaderLabels({QStringLiteral("Параметр"), QStringLiteral("Значение")});
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);

    const QBrush keyBackground = palette().brush(QPalette::Button);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const GridRow& row = rows[static_cast<std::size_t>(r)];
        auto* key = new QTableWidgetItem(row.key);
        key->setFlags(Qt::ItemIsEnabled);
        // The key column may be narrower than a long key (a narrow panel): the key is whole here.
        key->setToolTip(row.key);
        key->setBackground(keyBackground);
        setItem(r, 0, key);
        auto* value = new QTableWidgetItem(row.initial);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!row.readOnly) flags |= Qt::ItemIsEditable;
        value->setFlags(flags);
        setItem(r, 1, value);
    }
    resizeColumnToContents(0);
    keyColumnWidth_ = columnWidth(0) + 8;
    // The values take what the keys leave, also when the user drags the border between them.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (column == 0) setColumnWidth(1, std::max(1, viewport()->width() - columnWidth(0)));
    });
    FitKeyColumn();
    ShowFromTop();
}

void PropertyGrid::ShowFromTop() {
    // The cell cursor goes to the first value the user may change, so that a key typed next
    // never edits a row scrolled out of sight.
    for (int r = 0; r < rowCount(); ++r) {
        if (item(r, 1)->flags() & Qt::ItemIsEditable) {
            setCurrentCell(r, 1);
            break;
        }
    }
    scrollToTop();
}

void PropertyGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableWidget::scrollTo(index, hint);
    horizontalScrollBar()->setValue(0);
}

QString PropertyGrid::Key(int row) const { return item(row - 1, 0)->text(); }

QString PropertyGrid::Value(int row) const { return item(row - 1, 1)->text(); }

void PropertyGrid::SetValue(int row, const QString& value) { item(row - 1, 1)->setText(value); }

bool PropertyGrid::IsReadOnly(int row) const {
    return !(item(row - 1, 1)->flags() & Qt::ItemIsEditable);
}

void PropertyGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    FitKeyColumn();
}

bool PropertyGrid::viewportEvent(QEvent* event) {
    // The viewport also narrows when the vertical scroll bar appears.
    const bool handled = QTableWidget::viewportEvent(event);
    if (event->type() == QEvent::Resize) FitKeyColumn();
    return handled;
}

// The keys get what they need, but never so much that the values have no room: the panel can be
// made narrow.
void PropertyGrid::FitKeyColumn() {
    // The value column keeps at least its minimum width, so the grid never has to scroll sideways
    // and hide the keys.
    const int room = std::min(viewport()->width() * 3 / 5,
                              viewport()->width() - horizontalHeader()->minimumSectionSize());
    const int keys = std::max(1, std::min(keyColumnWidth_, room));
    setColumnWidth(0, keys);
    setColumnWidth(1, std::max(1, viewport()->width() - keys));
    horizontalScrollBar()->setValue(0);
}

bool PropertyGrid::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        emit KeyDown(key->key(), key->modifiers());
    }
    return QTableWidget::event(event);
}

void PropertyGrid::FinishTyping() {
    if (QWidget* editor = indexWidget(currentIndex())) EndTyping(editor);
}

void PropertyGrid::EndTyping(QWidget* editor) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool PropertyGrid::EditorKeyPress(QWidget* editor, QKeyEvent* event) {
    if (!IsCommitKey(event->key())) return false;
    // The value being typed belongs to the commit: put it into its cell and end the typing
    // before the grid is written back.
    EndTyping(editor);
    setFocus();
    emit KeyDown(event->key(), event->modifiers());
    // Then the key does what it does in the grid: Tab and the arrows move to another cell.
    QKeyEvent again(event->type(), event->key(), event->modifiers(), event->text());
    keyPressEvent(&again);
    return true;
}

} // namespace kv
