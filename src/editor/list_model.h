#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace kv {

// The rows of a panel's table: one element of a vector the panel owns a row, read only for the
// rows the view paints, under the column titles given. The panel brackets every change of its
// vector with BeginReset and EndReset; a subclass says what each cell shows.
template <class Row> class ListModel : public QAbstractTableModel {
public:
    ListModel(const std::vector<Row>& rows, QStringList titles, QObject* parent)
        : QAbstractTableModel(parent), rows_(rows), titles_(std::move(titles)) {}

    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(titles_.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return titles_.value(section);
    }

protected:
    // The row of a valid index, else null.
    const Row* RowOf(const QModelIndex& index) const {
        if (!index.isValid() || index.row() >= rowCount()) return nullptr;
        return &rows_[static_cast<std::size_t>(index.row())];
    }

private:
    const std::vector<Row>& rows_;
    QStringList titles_;
};

} // namespace kv
