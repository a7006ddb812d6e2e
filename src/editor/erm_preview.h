#pragma once

#include "model/edit.h"
#include "model/project.h"

#include <QPlainTextEdit>
#include <QTimer>

namespace kv {

// The ERM code one dialog becomes: the very block the compile writes below the marker for it,
// shown read-only and highlighted, refreshed after edits. The answer chosen in the outline is
// marked; a dialog that cannot be compiled shows the compile's refusal instead of code.
class ErmPreview : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ErmPreview(const Project& project, QWidget* parent = nullptr);

public slots:
    // The dialog (and, slot 0..11, its answer) to show; dialog -1 shows nothing.
    void ShowPlace(kv::Place place);
    // The project changed: the code is made again once the current burst of edits is over.
    void ProjectChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Refresh();
    void MarkAnswer();

    const Project& project_;
    Place place_;
    QTimer refresh_;
    // The text was not made for the dialog and project as they are now: a hidden preview
    // generates nothing, and catches up when it is shown.
    bool stale_ = false;
};

} // namespace kv
