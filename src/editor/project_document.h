#pragma once

#include "model/edit.h"
#include "model/project.h"

#include <QObject>
#include <QUndoStack>

#include <memory>
#include <vector>

namespace kv {

// The open project and its history: the one place where the window changes a project. Every
// command hands the document an Edit (src/model), which it applies and keeps on its undo stack;
// undo and redo run the same edits backwards and forwards. The views hear of each change through
// the observers (an item model must know of rows before they come and go) and the `edited`
// signal (everything else: the caption, panels that show the whole project).
//
// Modified follows the history: an edit sets it, and returning to the state last saved (or
// opened) clears it, as desktop programs do.
class ProjectDocument : public QObject {
    Q_OBJECT

public:
    // A few hundred steps are kept; the oldest are dropped.
    static constexpr int kUndoLimit = 300;

    explicit ProjectDocument(QObject* parent = nullptr);
    ~ProjectDocument() override;

    Project& project() { return project_; }
    const Project& project() const { return project_; }
    QUndoStack& undoStack() { return stack_; }

    void AddObserver(ProjectObserver* observer) { observers_.push_back(observer); }

    // Applies the edit and keeps it as a step of the history. A null edit, or one that changed
    // nothing, is dropped (false). Whatever Apply throws leaves the project as it was and reaches
    // the caller.
    bool Push(std::unique_ptr<Edit> edit);
    // Where the last applied, undone or redone step asks the user's attention to go.
    Place LastFocus() const { return lastFocus_; }

    // Puts a whole project in place of the open one (new, open, import): the history starts anew
    // and the project counts as saved unless its Modified says otherwise.
    void Replace(Project&& project);
    // Exchanges the open project with another, for a caller that must be able to bring the old
    // one back; the history starts anew.
    void Swap(Project& other);
    // The project was written to its file: this state is the saved one.
    void MarkSaved();

signals:
    // A whole project is about to take the place of the open one, and has taken it.
    void AboutToReplace();
    void Replaced();
    // An edit was applied, undone or redone. `focus` names where it happened.
    void Edited(kv::Place focus);
    // Modified changed (the caption's mark follows it).
    void ModifiedChanged(bool modified);

private:
    class Step;
    class Relay;
    void Run(Edit& edit, bool forward);
    void SyncModified();

    Project project_;
    QUndoStack stack_;
    std::vector<ProjectObserver*> observers_;
    std::unique_ptr<Relay> relay_;
    Place lastFocus_;
    bool baseModified_ = false; // Modified of a project put in place, until it is saved
    bool modifiedShown_ = false;
};

} // namespace kv
