#include "editor/project_document.h"

namespace kv {
namespace {

// The dialog or the answer a change is about: the index of a value of the dialog itself (its
// header, a message line) names no answer.
Place PlaceOf(const ProjectChange& change) {
    const bool ofAnswer = change.kind != ProjectChange::Kind::Value ||
                          Field(change.field).scope == FieldScope::Slot;
    return {change.dialog, ofAnswer ? change.slot : -1};
}

} // namespace

// Hands every change to all observers, and remembers the first place an edit touched, for a
// step that names no focus of its own (an undo).
class ProjectDocument::Relay final : public ProjectObserver {
public:
    explicit Relay(ProjectDocument& doc) : doc_(doc) {}
    void Changing(const ProjectChange& change) override {
        for (ProjectObserver* o : doc_.observers_) o->Changing(change);
    }
    void Changed(const ProjectChange& change) override {
        if (first_.dialog < 0 && change.dialog >= 0) first_ = PlaceOf(change);
        for (ProjectObserver* o : doc_.observers_) o->Changed(change);
    }
    Place first_;

private:
    ProjectDocument& doc_;
};

// One step of the undo stack. The edit has been applied once before the step is pushed, so the
// stack's first redo does nothing.
class ProjectDocument::Step final : public QUndoCommand {
public:
    Step(ProjectDocument& doc, std::unique_ptr<Edit> edit)
        : QUndoCommand(QString::fromUtf8(edit->Name())), doc_(doc), edit_(std::move(edit)) {}
    void redo() override {
        if (pushed_) {
            pushed_ = false;
            return;
        }
        doc_.Run(*edit_, true);
    }
    void undo() override { doc_.Run(*edit_, false); }

private:
    ProjectDocument& doc_;
    std::unique_ptr<Edit> edit_;
    bool pushed_ = true;
};

ProjectDocument::ProjectDocument(QObject* parent)
    : QObject(parent), relay_(std::make_unique<Relay>(*this)) {
    stack_.setUndoLimit(kUndoLimit);
    connect(&stack_, &QUndoStack::indexChanged, this, &ProjectDocument::SyncModified);
}

ProjectDocument::~ProjectDocument() {
    // The steps hold dialog records taken out of the project; they go before the project does,
    // telling no one (the views may be gone already).
    stack_.blockSignals(true);
    stack_.clear();
}

void ProjectDocument::Run(Edit& edit, bool forward) {
    relay_->first_ = Place{};
    if (forward)
        edit.Apply(project_, relay_.get());
    else
        edit.Revert(project_, relay_.get());
    const Place focus = forward && edit.Focus().dialog >= 0 ? edit.Focus() : relay_->first_;
    lastFocus_ = focus;
    emit Edited(focus);
}

bool ProjectDocument::Push(std::unique_ptr<Edit> edit) {
    if (!edit) return false;
    Run(*edit, true);
    if (edit->Empty()) return false;
    stack_.push(new Step(*this, std::move(edit)));
    return true;
}

void ProjectDocument::SyncModified() {
    project_.Modified = baseModified_ || !stack_.isClean();
    if (modifiedShown_ != project_.Modified) {
        modifiedShown_ = project_.Modified;
        emit ModifiedChanged(modifiedShown_);
    }
}

void ProjectDocument::Swap(Project& other) {
    emit AboutToReplace();
    stack_.clear();
    project_.swap(other);
    baseModified_ = project_.Modified;
    modifiedShown_ = project_.Modified;
    emit Replaced();
    emit ModifiedChanged(modifiedShown_);
}

void ProjectDocument::Replace(Project&& project) {
    Project taken(std::move(project));
    Swap(taken);
    // The old project goes with its history, which no longer refers to it.
}

void ProjectDocument::MarkSaved() {
    stack_.setClean();
    baseModified_ = false;
    project_.Modified = false;
    modifiedShown_ = false;
    emit ModifiedChanged(false);
}

} // namespace kv
