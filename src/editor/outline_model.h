#pragma once

#include "find/leads_here.h"
#include "model/edit.h"

#include <QAbstractItemModel>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kv {

class ProjectDocument;

// The outline as a view of the document: one top-level row per dialog, in list order, and under
// it one row for every slot from 0 up to the last slot in use, so that a row's number is its slot
// (a free slot between used ones shows as an empty row). Rows show what the project holds: the
// stored caption, and an image that follows the data (a dialog with or without answers, an
// answer with or without a follow-up).
//
// The model keeps only the shape of the outline (which dialog stands at which row, how many slot
// rows each shows) and follows the document's changes row by row, so selections, the clipboard
// entry and other persistent indexes move with what they stand for.
class OutlineModel : public QAbstractItemModel, private ProjectObserver {
    Q_OBJECT

public:
    // The image index of a row (outline_images.h), beside its icon.
    static constexpr int ImageRole = Qt::UserRole;

    explicit OutlineModel(ProjectDocument& document, QObject* parent = nullptr);
    ~OutlineModel() override;

    // The dialog or answer of an index (of either column); Place{} for an invalid one.
    Place PlaceOf(const QModelIndex& index) const;
    // The index of a dialog (slot -1) or of a slot row; invalid where the outline has no row.
    QModelIndex IndexOf(Place place) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Captions are stored by the window through the document, never by the view itself.
    bool setData(const QModelIndex&, const QVariant&, int) override { return false; }

    // Builds the rows anew from the project (after the project was replaced).
    void Reload();
    // Column 1 shows numbers: a dialog's function, or where an answer leads ("→ 1042", with " ?"
    // for a function outside the project).
    static constexpr int NumberColumn = 1;

    // Dialogs with errors are marked; the predicate takes a dialog's list position. After the
    // marks changed, ErrorMarksChanged repaints them.
    void SetErrorMarks(std::function<bool(int)> hasErrors) { hasErrors_ = std::move(hasErrors); }
    void ErrorMarksChanged();

private:
    struct Row;
    void Fill();
    void Changed(const ProjectChange& change) override;
    Row* RowAt(int position) const;
    QModelIndex DialogIndex(int position) const;
    // Brings the slot rows of a dialog to what it shows now, and repaints them.
    void FitSlots(int position);
    void Renumber(std::size_t from);

    ProjectDocument& document_;
    std::vector<std::unique_ptr<Row>> rows_;
    std::function<bool(int)> hasErrors_;
    // The numbers of the dialogs, for column 1; made again when asked after any change.
    mutable std::optional<FunctionIndex> functions_;
};

} // namespace kv
