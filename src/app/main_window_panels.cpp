// The panels beside the outline and the windows that show the project as it changes: the
// problems the checks find, and the play window.
#include "app/main_window.h"

#include "editor/outline_editor.h"
#include "editor/outline_model.h"
#include "editor/outline_tree.h"
#include "editor/play_window.h"
#include "editor/problems_panel.h"
#include "editor/project_document.h"
#include "editor/property_grid.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>

namespace kv {

void TMain::BuildDocks() {
    ProblemsDock = new QDockWidget(QStringLiteral("Проблемы"), this);
    ProblemsDock->setObjectName(QStringLiteral("ProblemsDock"));
    Problems = new ProblemsPanel(document_->project(), [this] { return ScriptPath(); },
                                 ProblemsDock);
    ProblemsDock->setWidget(Problems);
    addDockWidget(Qt::BottomDockWidgetArea, ProblemsDock);
    // A few lines high at first, so that the outline keeps most of a small window.
    resizeDocks({ProblemsDock}, {120}, Qt::Vertical);
    Problems1 = ProblemsDock->toggleViewAction();
    Problems1->setObjectName(QStringLiteral("Problems1"));
    Problems1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
    N10->insertAction(Play1, Problems1);

    // The checks follow every edit; the outline marks the dialogs with errors.
    auto changed = [this] { Problems->ProjectChanged(); };
    connect(document_, &ProjectDocument::Edited, Problems, changed);
    connect(document_, &ProjectDocument::Replaced, Problems, changed);
    model_->SetErrorMarks([this](int position) { return Problems->HasErrors(position); });
    connect(Problems, &ProblemsPanel::ProblemsUpdated, model_, &OutlineModel::ErrorMarksChanged);
    connect(Problems, &ProblemsPanel::PlaceActivated, this, [this](Place place, int gridRow) {
        RunGuarded(*seam_, [&] { ShowPlace(place, gridRow); });
    });
    Problems->ProjectChanged();
}

void TMain::ShowPlace(Place place, int gridRow) {
    const QModelIndex node = model_->IndexOf(place);
    if (!node.isValid() || !outline_->SelectNode(node)) return;
    Tree->scrollTo(node);
    PropertyGrid* grid = place.slot < 0 ? v1 : v2;
    if (gridRow > 0 && grid->isVisible()) {
        grid->setCurrentCell(gridRow - 1, 1);
        grid->setFocus(Qt::OtherFocusReason);
    } else {
        Tree->setFocus(Qt::OtherFocusReason);
    }
}

void TMain::PlayClick() {
    const Place selected = outline_->SelectedPlace();
    if (selected.dialog < 0 || Tree->IsEditingCaption() || !CommitPendingEdit()) return;
    auto* player = new PlayWindow(document_->project(), selected.dialog, this);
    player->setAttribute(Qt::WA_DeleteOnClose);
    // The outline follows the dialog being played; the window follows edits, and closes with
    // the project it plays.
    connect(player, &PlayWindow::DialogEntered, this, [this](int position) {
        outline_->SelectNode(model_->IndexOf({position, -1}));
    });
    connect(document_, &ProjectDocument::Edited, player, &PlayWindow::ProjectChanged);
    connect(document_, &ProjectDocument::AboutToReplace, player, &QWidget::close);
    player->show();
}

} // namespace kv
