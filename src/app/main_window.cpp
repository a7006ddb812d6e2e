#include "app/main_window.h"

#include "app/settings_location.h"
#include "editor/dialog_map_view.h"
#include "editor/erm_preview.h"
#include "editor/message_text.h"
#include "find/navigation_history.h"
#include "editor/outline_editor.h"
#include "editor/outline_model.h"
#include "editor/outline_tree.h"
#include "editor/project_document.h"
#include "editor/property_grids.h"
#include "editor/qt_modal_seam.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "korvanthiel_version.h"
#include "project/settings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

TMain::TMain(const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent), seam_(std::make_unique<QtModalSeam>(this)),
      settingsFile_(settingsFile),
      mapsFolder_(FromCp1251(Settings().Maps)) {
    setObjectName(QStringLiteral("Main"));
    resize(722, 502);
    move(197, 103);

    BuildPanels();
    BuildMenus();
    BuildToolBar();
    BuildPopupMenu();

    const QString tlkFilter = QStringLiteral("Файлы диалогов (*.tlk)|*.tlk");
    OpenDialog1 = {QStringLiteral("Загрузка проекта"), tlkFilter, mapsFolder_, QString()};
    SaveDialog1 = {QStringLiteral("Сохранение проекта"), tlkFilter, mapsFolder_, QString()};
    OpenDialog2 = {QStringLiteral("Выбор файла скрипта"),
                   QStringLiteral("Файлы ERM (*.erm)|*.erm|Все файлы|*.*"), mapsFolder_,
                   QString()};

    document_ = new ProjectDocument(this);
    model_ = new OutlineModel(*document_, this);
    outline_ = new OutlineEditor(*document_, *model_, *Tree, *v1, *v2, *seam_);
    // A selection that cannot be left because its grid failed to write back stays where it is.
    outline_->SetSelectionHandlers(
        [this](const QModelIndex& left) {
            bool leave = false;
            RunGuarded(*seam_, [&] { leave = TreeChanging(left); });
            return leave;
        },
        [this](const QModelIndex& node) { RunGuarded(*seam_, [&] { TreeChange(node); }); });
    connect(v1, &PropertyGrid::KeyDown, this, [this](int key, Qt::KeyboardModifiers modifiers) {
        RunGuarded(*seam_, [&] { v1KeyDown(key, modifiers); });
    });
    connect(v2, &PropertyGrid::KeyDown, this, [this](int key, Qt::KeyboardModifiers modifiers) {
        RunGuarded(*seam_, [&] { v2KeyDown(key, modifiers); });
    });

    SwitchFocus = new QAction(this);
    SwitchFocus->setObjectName(QStringLiteral("SwitchFocus"));
    SwitchFocus->setShortcut(QKeySequence(Qt::Key_F8));
    addAction(SwitchFocus);
    connect(SwitchFocus, &QAction::triggered, this, &TMain::SwitchFocusClick);

    FormCreate();
    BuildDocks();
    BuildNavigation();
    ConnectCommands();

    // The caption names the project and marks unsaved changes; the document says when either
    // changed (a save or a new file name updates it itself).
    UpdateCaption();
    connect(document_, &ProjectDocument::ModifiedChanged, this, &TMain::UpdateCaption);
    connect(document_, &ProjectDocument::Replaced, this, &TMain::UpdateCaption);
}

Project& TMain::CurrentProject() { return document_->project(); }

void TMain::CancelArmedCaptionEdit() { Tree->CancelPendingEdit(); }

TMain::~TMain() = default;

void TMain::BuildPanels() {
    Tree = new OutlineTree(this);
    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setMinimumWidth(1);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumWidth(kMinimumPanelWidth);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    v1 = MakeDialogGrid(Panel1).release();
    v1->setObjectName(QStringLiteral("v1"));
    v2 = MakeVariantGrid(Panel1).release();
    v2->setObjectName(QStringLiteral("v2"));
    panelLayout->addWidget(v1);
    panelLayout->addWidget(v2);
    v1->hide();
    v2->hide();

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(Tree);
    Splitter1->addWidget(Panel1);
    Splitter1->setChildrenCollapsible(false);
    // The panel keeps its width when the window is resized; the outline takes the rest.
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({width() - 254, 254});
    setCentralWidget(Splitter1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
}

void TMain::FormCreate() {
    // The settings file is found from the program's folder. (The dialog grid's rows "Function"
    // and "Text [edit window]" are read-only by the grid's own row list.)
    if (settingsFile_.isEmpty()) settingsFile_ = DefaultSettingsFile();
}

void TMain::AttachTextEditor(TForm2* form) { Form2 = form; }

void TMain::SetModalSeam(std::unique_ptr<ModalSeam> seam) {
    seam_ = std::move(seam);
    outline_->SetSeam(*seam_);
}

int TMain::PanelWidth() const { return Panel1->width(); }

void TMain::showEvent(QShowEvent* event) {
    if (!shownOnce_) {
        shownOnce_ = true;
        RunGuarded(*seam_, [this] { FormShow(); });
    }
    QMainWindow::showEvent(event);
}

void TMain::closeEvent(QCloseEvent* event) {
    // A failure of the close query (a save that ran out of memory) keeps the window and the work.
    bool allowed = false;
    if (!RunGuarded(*seam_, [&] { allowed = FormCloseQuery(); }) || !allowed) {
        event->ignore();
        return;
    }
    RunGuarded(*seam_, [this] { FormClose(); });
    event->accept();
}

void TMain::ReportError(const QString& text) { ShowError(*seam_, text); }

// ---- Outline selection and the grids ----

bool TMain::TreeChanging(const QModelIndex& left) { return outline_->CommitGridOf(left); }

bool TMain::CommitPendingEdit() {
    v1->FinishTyping();
    v2->FinishTyping();
    return outline_->CommitGridOf(outline_->SelectedNode());
}

void TMain::TreeChange(const QModelIndex& selected) {
    const GridKind shown = outline_->FillGridFor(selected);
    const Place place = model_->PlaceOf(selected);
    Map->ShowPlace(place);
    Preview->ShowPlace(place);
    ToolButton7->setEnabled(shown == GridKind::Dialog);
    EnableShortcutsForSelection();
}

void TMain::v1KeyDown(int key, Qt::KeyboardModifiers) {
    if (IsCommitKey(key)) outline_->CommitDialogGrid();
}

void TMain::v2KeyDown(int key, Qt::KeyboardModifiers) {
    if (IsCommitKey(key)) outline_->CommitVariantGrid();
}

void TMain::v1EditButtonClick() {
    const Place place = outline_->SelectedPlace();
    const TDialogItem* dialog = CurrentProject().DialogAt(place.dialog);
    if (dialog == nullptr || place.slot >= 0 || Form2 == nullptr) return;
    std::optional<QStringList> lines = EditMessage(*dialog, *Form2, *seam_);
    if (!lines) return;
    RunEdit([&](const Project&) {
        return ChangeValues(MessageChanges(place.dialog, *lines), "изменение текста");
    });
}

void TMain::N13Click() {
    // What was typed into the grid is kept, then the outline is built anew and nothing selected.
    if (!CommitPendingEdit()) return;
    model_->Reload();
}

void TMain::SwitchFocusClick() {
    QWidget* focus = QApplication::focusWidget();
    for (PropertyGrid* grid : {v1, v2}) {
        if (focus != nullptr && (focus == grid || grid->isAncestorOf(focus))) {
            // Leaving the grid stores what was typed, as its commit keys do.
            if (CommitPendingEdit()) Tree->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
    if (Tree->IsEditingCaption()) return;
    for (PropertyGrid* grid : {v1, v2})
        if (grid->isVisible()) grid->setFocus(Qt::ShortcutFocusReason);
}

void TMain::UpdateCaption() {
    const Project& project = CurrentProject();
    const QString path = FromUtf8Path(project.ProjectFileName);
    const QString name = path.isEmpty() ? QStringLiteral("Без имени") : QFileInfo(path).fileName();
    const QString title = name + QStringLiteral("[*] — Korvanthiel " KORV_VERSION);
    if (windowFilePath() != path) setWindowFilePath(path);
    if (windowTitle() != title) setWindowTitle(title);
    if (isWindowModified() != project.Modified) setWindowModified(project.Modified);
}

} // namespace kv
