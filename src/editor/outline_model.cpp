#include "editor/outline_model.h"

#include "editor/outline_images.h"
#include "editor/project_document.h"
#include "editor/qt_text.h"

#include <QColor>
#include <QIcon>

namespace kv {

struct OutlineModel::Row {
    TDialogItem* dialog = nullptr;
    int position = 0;
    int slotRows = 0; // slot rows shown
};

namespace {

using Kind = ProjectChange::Kind;

// The image of a dialog or slot row, from what the record holds.
int ImageOf(const TDialogItem& dialog, int slot) {
    if (slot < 0) return dialog.SlotEnd() > 0 ? kImageDialogWithVariants : kImageDialogWithoutVariants;
    return dialog.SlotInUse(slot) && dialog.HasFollowUp(slot) ? kImageVariantWithFollowUp
                                                              : kImageVariantWithoutFollowUp;
}

} // namespace

OutlineModel::OutlineModel(ProjectDocument& document, QObject* parent)
    : QAbstractItemModel(parent), document_(document) {
    document_.AddObserver(this);
    connect(&document_, &ProjectDocument::AboutToReplace, this, [this] { beginResetModel(); });
    connect(&document_, &ProjectDocument::Replaced, this, [this] {
        Fill();
        endResetModel();
    });
    Fill();
}

OutlineModel::~OutlineModel() = default;

void OutlineModel::Reload() {
    beginResetModel();
    Fill();
    endResetModel();
}

void OutlineModel::Fill() {
    functions_.reset();
    rows_.clear();
    rows_.reserve(static_cast<std::size_t>(document_.project().DialogCount()));
    int position = 0;
    for (TDialogItem* d = document_.project().Dialogs(); d != nullptr; d = d->Next)
        rows_.push_back(std::make_unique<Row>(Row{d, position++, d->SlotEnd()}));
}

OutlineModel::Row* OutlineModel::RowAt(int position) const {
    if (position < 0 || position >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[static_cast<std::size_t>(position)].get();
}

QModelIndex OutlineModel::DialogIndex(int position) const {
    return RowAt(position) != nullptr ? createIndex(position, 0, nullptr) : QModelIndex();
}

Place OutlineModel::PlaceOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return {};
    if (auto* row = static_cast<Row*>(index.internalPointer())) return {row->position, index.row()};
    return {index.row(), -1};
}

QModelIndex OutlineModel::IndexOf(Place place) const {
    Row* row = RowAt(place.dialog);
    if (row == nullptr) return {};
    if (place.slot < 0) return createIndex(place.dialog, 0, nullptr);
    if (place.slot >= row->slotRows) return {};
    return createIndex(place.slot, 0, row);
}

QModelIndex OutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column > NumberColumn || row < 0) return {};
    if (!parent.isValid())
        return row < static_cast<int>(rows_.size()) ? createIndex(row, column, nullptr)
                                                    : QModelIndex();
    if (parent.internalPointer() != nullptr) return {};
    Row* dialogRow = RowAt(parent.row());
    if (dialogRow == nullptr || row >= dialogRow->slotRows) return {};
    return createIndex(row, column, dialogRow);
}

QModelIndex OutlineModel::parent(const QModelIndex& child) const {
    auto* row = child.isValid() ? static_cast<Row*>(child.internalPointer()) : nullptr;
    return row != nullptr ? createIndex(row->position, 0, nullptr) : QModelIndex();
}

int OutlineModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return static_cast<int>(rows_.size());
    if (parent.internalPointer() != nullptr) return 0;
    Row* row = RowAt(parent.row());
    return row != nullptr ? row->slotRows : 0;
}

int OutlineModel::columnCount(const QModelIndex&) const { return NumberColumn + 1; }

QVariant OutlineModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    auto* owner = static_cast<Row*>(index.internalPointer());
    Row* row = owner != nullptr ? owner : RowAt(index.row());
    if (row == nullptr) return {};
    const TDialogItem& d = *row->dialog;
    const int slot = owner != nullptr ? index.row() : -1;
    if (index.column() == NumberColumn) {
        if (role != Qt::DisplayRole || slot >= kSlotCount) return {};
        if (!functions_) functions_.emplace(document_.project());
        return QString::fromUtf8(OutlineNumberText(d, slot, *functions_));
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (slot < 0) return FromCp1251(d.Hint.view());
        if (slot >= kSlotCount) return QString();
        return FromCp1251(d.Variant[static_cast<std::size_t>(slot)].view());
    case Qt::DecorationRole:
        return OutlineImageIcon(slot < kSlotCount ? ImageOf(d, slot) : kImageVariantWithoutFollowUp);
    case Qt::ForegroundRole:
        if (slot < 0 && hasErrors_ && hasErrors_(row->position)) return QColor(Qt::red);
        return {};
    case Qt::ToolTipRole:
        if (slot < 0 && hasErrors_ && hasErrors_(row->position))
            return QStringLiteral("В диалоге есть ошибки (панель «Проблемы»)");
        return {};
    case ImageRole:
        return slot < kSlotCount ? ImageOf(d, slot) : kImageVariantWithoutFollowUp;
    default:
        return {};
    }
}

Qt::ItemFlags OutlineModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == 0 ? flags | Qt::ItemIsEditable : flags;
}

void OutlineModel::ErrorMarksChanged() {
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, 0),
                         {Qt::ForegroundRole, Qt::ToolTipRole});
}

void OutlineModel::Renumber(std::size_t from) {
    for (std::size_t k = from; k < rows_.size(); ++k) rows_[k]->position = static_cast<int>(k);
}

void OutlineModel::FitSlots(int position) {
    Row* row = RowAt(position);
    if (row == nullptr) return;
    const QModelIndex parent = DialogIndex(position);
    const int wanted = row->dialog->SlotEnd();
    if (wanted > row->slotRows) {
        beginInsertRows(parent, row->slotRows, wanted - 1);
        row->slotRows = wanted;
        endInsertRows();
    } else if (wanted < row->slotRows) {
        beginRemoveRows(parent, wanted, row->slotRows - 1);
        row->slotRows = wanted;
        endRemoveRows();
    }
    emit dataChanged(parent, parent.siblingAtColumn(NumberColumn));
    if (row->slotRows > 0)
        emit dataChanged(index(0, 0, parent), index(row->slotRows - 1, NumberColumn, parent));
}

void OutlineModel::Changed(const ProjectChange& change) {
    const int p = change.dialog;
    // A dialog that comes, goes or takes another number changes where answers lead: the
    // numbers column of every row is shown anew.
    const bool numbers = change.kind == Kind::DialogInserted || change.kind == Kind::DialogRemoved ||
                         (change.kind == Kind::Value && change.field == FieldId::FunctionNumber);
    if (numbers || change.kind == Kind::DialogMoved) functions_.reset();
    if (numbers && !rows_.empty()) {
        const int last = static_cast<int>(rows_.size()) - 1;
        emit dataChanged(index(0, NumberColumn), index(last, NumberColumn), {Qt::DisplayRole});
        for (const auto& row : rows_) {
            if (row->slotRows == 0) continue;
            const QModelIndex parent = createIndex(row->position, 0, nullptr);
            emit dataChanged(index(0, NumberColumn, parent),
                             index(row->slotRows - 1, NumberColumn, parent), {Qt::DisplayRole});
        }
    }
    switch (change.kind) {
    case Kind::Value:
        if (p < 0) return; // a value of the project: no row shows it
        [[fallthrough]];
    case Kind::Link:
    case Kind::Slot:
        FitSlots(p);
        return;
    case Kind::SlotInserted: {
        Row* row = RowAt(p);
        if (row != nullptr && change.slot <= row->slotRows) {
            beginInsertRows(DialogIndex(p), change.slot, change.slot);
            ++row->slotRows;
            endInsertRows();
        }
        FitSlots(p);
        return;
    }
    case Kind::SlotRemoved: {
        Row* row = RowAt(p);
        if (row != nullptr && change.slot < row->slotRows) {
            beginRemoveRows(DialogIndex(p), change.slot, change.slot);
            --row->slotRows;
            endRemoveRows();
        }
        FitSlots(p);
        return;
    }
    case Kind::SlotsSwapped: {
        Row* row = RowAt(p);
        const int a = std::min(change.slot, change.other);
        const int b = std::max(change.slot, change.other);
        if (row != nullptr && a != b && b < row->slotRows) {
            // Two moves, so that an index on either slot row follows its answer.
            const QModelIndex parent = DialogIndex(p);
            beginMoveRows(parent, a, a, parent, b + 1);
            endMoveRows();
            if (b - 1 != a) {
                beginMoveRows(parent, b - 1, b - 1, parent, a);
                endMoveRows();
            }
        }
        FitSlots(p);
        return;
    }
    case Kind::DialogInserted: {
        TDialogItem* d = document_.project().DialogAt(p);
        if (d == nullptr) return;
        beginInsertRows({}, p, p);
        rows_.insert(rows_.begin() + p, std::make_unique<Row>(Row{d, p, d->SlotEnd()}));
        Renumber(static_cast<std::size_t>(p));
        endInsertRows();
        return;
    }
    case Kind::DialogRemoved:
        if (RowAt(p) == nullptr) return;
        beginRemoveRows({}, p, p);
        rows_.erase(rows_.begin() + p);
        Renumber(static_cast<std::size_t>(p));
        endRemoveRows();
        return;
    case Kind::DialogMoved: {
        const int to = change.other;
        if (RowAt(p) == nullptr || RowAt(to) == nullptr || p == to) return;
        beginMoveRows({}, p, p, {}, to > p ? to + 1 : to);
        std::unique_ptr<Row> moved = std::move(rows_[static_cast<std::size_t>(p)]);
        rows_.erase(rows_.begin() + p);
        rows_.insert(rows_.begin() + to, std::move(moved));
        Renumber(static_cast<std::size_t>(std::min(p, to)));
        endMoveRows();
        return;
    }
    }
}

} // namespace kv
