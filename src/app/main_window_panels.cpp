// The panels beside the outline and the windows that show the project as it changes: the
// problems the checks find, and the play window.
#include "app/main_window.h"

#include "editor/dialog_map_view.h"
#include "editor/erm_preview.h"
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

#include <algorithm>
#include <set>

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
    connect(Problems, &ProblemsPanel::ProblemsUpdated, this, [this] {
        model_->ErrorMarksChanged();
        std::set<int> marked;
        for (int k = 0; k < document_->project().DialogCount(); ++k)
            if (Problems->HasErrors(k)) marked.insert(k);
        Map->SetMarkedDialogs(std::move(marked));
    });
    connect(Problems, &ProblemsPanel::PlaceActivated, this, [this](Place place, int gridRow) {
        RunGuarded(*seam_, [&] { ShowPlace(place, gridRow); });
    });

    // The map of the dialogs and the code of the selected one, beside the grids; both hidden
    // at first, both following the edits and the outline's selection.
    auto dock = [this](QDockWidget*& dockWidget, const char* name, const QString& title,
                       QWidget* content, QKeySequence shortcut) {
        dockWidget = new QDockWidget(title, this);
        dockWidget->setObjectName(QString::fromLatin1(name));
        content->setParent(dockWidget);
        dockWidget->setWidget(content);
        addDockWidget(Qt::RightDockWidgetArea, dockWidget);
        dockWidget->hide();
        // Shown for the first time in a small window, a panel still gets a width to work in.
        connect(dockWidget, &QDockWidget::visibilityChanged, this, [this, dockWidget](bool shown) {
            if (shown && !dockWidget->isFloating() && dockWidget->width() < 280)
                resizeDocks({dockWidget}, {std::max(280, width() / 3)}, Qt::Horizontal);
        });
        QAction* toggle = dockWidget->toggleViewAction();
        toggle->setShortcut(shortcut);
        N10->insertAction(Play1, toggle);
        return toggle;
    };
    Map = new DialogMapView(document_->project());
    Map1 = dock(MapDock, "MapDock", QStringLiteral("Карта"), Map, QKeySequence(Qt::CTRL | Qt::Key_M));
    Map1->setObjectName(QStringLiteral("Map1"));
    Preview = new ErmPreview(document_->project());
    Preview1 = dock(PreviewDock, "PreviewDock", QStringLiteral("Код ERM"), Preview,
                    QKeySequence(Qt::CTRL | Qt::Key_E));
    Preview1->setObjectName(QStringLiteral("Preview1"));
    MapSvg1 = new QAction(QStringLiteral("Сохранить карту как SVG..."), this);
    MapSvg1->setObjectName(QStringLiteral("MapSvg1"));
    MapPng1 = new QAction(QStringLiteral("Сохранить карту как PNG..."), this);
    MapPng1->setObjectName(QStringLiteral("MapPng1"));
    N10->insertAction(Play1, MapSvg1);
    N10->insertAction(Play1, MapPng1);
    N10->insertSeparator(Play1);
    connect(MapSvg1, &QAction::triggered, this, Guard(&TMain::MapSvgClick));
    connect(MapPng1, &QAction::triggered, this, Guard(&TMain::MapPngClick));
    connect(document_, &ProjectDocument::Edited, Map, &DialogMapView::ProjectChanged);
    connect(document_, &ProjectDocument::Edited, Preview, &ErmPreview::ProjectChanged);
    connect(document_, &ProjectDocument::Replaced, this, [this] {
        Map->ProjectChanged();
        Preview->ShowPlace({});
    });
    connect(Map, &DialogMapView::PlaceActivated, this, [this](Place place) {
        RunGuarded(*seam_, [&] { ShowPlace(place); });
    });
    Problems->ProjectChanged();
    Map->ProjectChanged();
}

void TMain::ExportMap(const QString& title, const QString& filter, bool svg) {
    FileDialogRequest request = SaveDialog1;
    request.title = title;
    request.filter = filter;
    request.folder = ProjectDialogFolder();
    std::optional<QString> chosen = seam_->SaveFile(request);
    if (!chosen) return;
    if (svg)
        Map->ExportSvg(*chosen);
    else
        Map->ExportPng(*chosen);
}

void TMain::MapSvgClick() {
    ExportMap(QStringLiteral("Сохранение карты"), QStringLiteral("Рисунки SVG (*.svg)|*.svg"), true);
}

void TMain::MapPngClick() {
    ExportMap(QStringLiteral("Сохранение карты"), QStringLiteral("Рисунки PNG (*.png)|*.png"), false);
}

void TMain::ShowPlace(Place place, int gridRow) {
    if (!JumpTo(place, false)) return;
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
