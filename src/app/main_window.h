#pragma once

#include "editor/command_guard.h"
#include "editor/modal_seam.h"
#include "model/project_edits.h"

#include <QMainWindow>
#include <QPersistentModelIndex>

#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QDockWidget;
class QMenu;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace kv {

class DialogMapView;
class FindBar;
class NavigationHistory;
class ErmPreview;
class OutlineEditor;
class OutlineModel;
class PlayWindow;
class ProblemsPanel;
class OutlineTree;
class ProjectDocument;
class PropertyGrid;
class TForm2;

// How the save command ended.
enum class SaveOutcome { Saved, Cancelled, Failed };

// The main window: menus, toolbar, the outline `Tree` with the property panel `Panel1` beside
// it, and every command of the editor. Handlers keep the names of the controls that run them
// and stay thin; the editor operations they call live in src/editor.
class TMain : public QMainWindow {
    Q_OBJECT

public:
    // settingsFile: the settings file to read at the first show and write at close; empty for
    // the usual place (beside the program, or the user's configuration folder).
    explicit TMain(const QString& settingsFile = QString(), QWidget* parent = nullptr);
    ~TMain() override;

    // The text editor window, created after the main window and before it is shown.
    void AttachTextEditor(TForm2* form);
    TForm2* TextEditor() const { return Form2; }
    // Replaces the modal seam (tests install a scripted one).
    void SetModalSeam(std::unique_ptr<ModalSeam> seam);
    ModalSeam& Seam() const { return *seam_; }

    kv::Project& CurrentProject();
    ProjectDocument& Document() const { return *document_; }
    OutlineEditor& Outline() const { return *outline_; }
    OutlineModel& OutlineItems() const { return *model_; }
    QString SettingsFile() const { return settingsFile_; }
    QString MapsFolder() const { return mapsFolder_; }
    int PanelWidth() const;
    // The recent projects, the latest first (Windows-1251 paths, as the settings file keeps them).
    const std::vector<std::string>& RecentProjects() const { return recent_; }

    // Opens a project file as Open does after its file dialog: on success the project is
    // replaced and the outline rebuilt; a failure is reported and leaves everything as it was.
    bool OpenProjectFile(const QString& path);

    // ---- Project lifecycle, paths, compilation (this window's own commands) ----
    void ToolButton1Click(); // new project
    void N3Click();          // open
    void N4Click();          // save
    void N5Click();          // save as
    void N8Click();          // exit
    void N11Click();         // compile
    void N13Click();         // rebuild the outline
    void INI1Click();        // import an INI project
    void ERM1Click();        // recover the project from a compiled script
    void N20Click();         // choose the script file
    void maps1Click();       // the maps folder
    void N12Click();         // about
    void OpenRecentProject(const QString& path); // an entry of "Последние проекты"

    // ---- Outline selection, grids and the text editor window ----
    bool TreeChanging(const QModelIndex& left);
    void TreeChange(const QModelIndex& selected);
    void v1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void v2KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void v1EditButtonClick();
    // The focus from the outline into the shown grid, or from a grid back to the outline.
    void SwitchFocusClick();

    // ---- Dialog and variant commands, outline interaction, clipboard, batch edits ----
    // (main_window_commands.cpp)
    void ToolButton5Click();  // new dialog
    void ToolButton6Click();  // consequence dialog
    void N28Click();          // duplicate dialog
    void N19Click();          // add to dialog
    void N26Click();          // rename
    void N18Click();          // delete
    void N14Click();          // add variant
    void N15Click();          // add variant with dialog
    void N21Click();          // up
    void N22Click();          // down
    void N17Click();          // "Изменить текст" in the context menu
    void N30Click();          // copy
    void N32Click();          // cut
    void N31Click();          // paste
    void ToolButton10Click(); // cost and skill caption
    void ToolButton12Click(); // variable numbering
    void UndoClick();         // "Отменить"
    void RedoClick();         // "Повторить"
    void PlayClick();         // "Проиграть с этого диалога"
    void GoToClick();         // "Перейти к функции..."
    void BackClick();         // "Назад"
    void ForwardClick();      // "Вперёд"
    void LeadsClick();        // "Что ведёт сюда..."
    void MapSvgClick();       // "Сохранить карту как SVG..."
    void MapPngClick();       // "Сохранить карту как PNG..."
    void PopupMenu1Popup();
    // Enables the context menu's items, and so their shortcuts, for the selected node.
    void EnableShortcutsForSelection();
    void TreeMouseDown(Qt::MouseButton button);
    void TreeEdited(const QModelIndex& node, const QString& text);
    void TreeDblClick();
    void TreeKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // ---- Controls, named as the window's layout names them ----
    QMenu* N1;  // "ФАйл"
    QAction* N2; // "Новый проект"
    QAction* N3;
    QAction* N4;
    QAction* N5;
    QAction* N7; // "Настройки...": no command
    QAction* N8;
    QMenu* RecentMenu; // "Последние проекты"
    QMenu* N9; // "Правка"
    QAction* Undo1; // "Отменить", naming the step
    QAction* Redo1; // "Повторить"
    QAction* N23; // "Новый диалог"
    QAction* N24; // "Диалог следствия"
    QAction* N28;
    QAction* N30;
    QAction* N32;
    QAction* N31;
    QMenu* N10; // "Сервис"
    QAction* N13;
    QAction* N11;
    QAction* INI1;
    QAction* ERM1; // "Импорт из скрипта..."
    QAction* N20;
    QAction* maps1;
    QAction* Find1;     // "Найти..." opens the find bar
    QAction* GoTo1;     // "Перейти к функции..."
    QAction* Back1;     // "Назад" through the places jumped to
    QAction* Forward1;  // "Вперёд"
    QAction* Leads1;    // "Что ведёт сюда...", also in the outline's context menu
    QAction* Play1;     // "Проиграть с этого диалога", also in the outline's context menu
    QAction* Problems1; // shows and hides the panel "Проблемы"
    QAction* Map1;      // shows and hides the map of dialogs
    QAction* Preview1;  // shows and hides the ERM code of the selected dialog
    QAction* MapSvg1;
    QAction* MapPng1;
    QMenu* N16; // "Справка"
    QAction* N12;
    QAction* SwitchFocus; // F8, a window shortcut without a menu entry

    QToolBar* ToolBar1;
    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton3;
    QToolButton* ToolButton5;
    QToolButton* ToolButton6;
    QToolButton* ToolButton7;
    QToolButton* ToolButton13;
    QToolButton* ToolButton9;
    QToolButton* ToolButton10;
    QToolButton* ToolButton12;

    QMenu* PopupMenu1;
    QAction* N14;
    QAction* N15;
    QAction* N19;
    QAction* N26;
    QAction* N17;
    QAction* N18;
    QAction* N21;
    QAction* N22;

    QSplitter* Splitter1;
    OutlineTree* Tree;
    QWidget* Panel1;
    PropertyGrid* v1;
    PropertyGrid* v2;
    QStatusBar* StatusBar1;
    QDockWidget* ProblemsDock;
    ProblemsPanel* Problems;
    QDockWidget* FindDock;
    FindBar* Finder;
    QDockWidget* MapDock;
    DialogMapView* Map;
    QDockWidget* PreviewDock;
    ErmPreview* Preview;

    FileDialogRequest OpenDialog1;
    FileDialogRequest SaveDialog1;
    FileDialogRequest OpenDialog2;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    void BuildMenus();
    void BuildToolBar();
    void BuildPopupMenu();
    void BuildPanels();
    // The panels beside the outline (src/app/main_window_panels.cpp).
    void BuildDocks();
    // Selects a dialog or answer for a panel, and the grid row of a field when there is one; a
    // jump that Back returns from.
    void ShowPlace(Place place, int gridRow = -1);
    // Selects a place and remembers the jump from the selection before it; false when the place
    // has no node or the selection could not leave the node it was on.
    bool JumpTo(Place place, bool focusOutline = true);
    void BuildNavigation();
    void UpdateNavigation();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Saves the map as a picture, into a file the user chooses.
    void ExportMap(const QString& title, const QString& filter, bool svg);
    // Where the outline commands and their keys are wired (main_window_commands.cpp).
    void ConnectCommands();

    // Finishes what is being typed into a grid and writes the grid of the selected node back, as
    // leaving the node would; false when a value was refused (the error has been shown).
    bool CommitPendingEdit();
    // Asks about unsaved changes; true when the calling command may go on.
    bool AskSaveChanges();
    // The first steps of Open and of the INI import: the question about unsaved changes, then
    // OpenDialog1; the chosen file when it exists.
    std::optional<QString> ChooseFileToOpen();
    SaveOutcome Save();
    SaveOutcome SaveAs();
    // Empties the project, its file name and script file and the outline; keeps FunctionStart.
    void ClearProject();
    // Puts a project read by the core in place of the open one and shows it.
    void TakeProject(kv::Project&& project, const QString& fileName);
    // The recent projects: a project opened or saved goes to the head; the menu follows.
    void RememberRecent(const QString& path);
    void FillRecentMenu();
    // The caption names the project and marks unsaved changes: "tavern.tlk* — Korvanthiel 0.3".
    void UpdateCaption();
    void ReportError(const QString& text);
    // A handler as a command of the window: whatever it throws is reported and goes no further
    // (command_guard.h). Every menu item, button, shortcut and outline gesture runs through it.
    // Every command also drops a caption edit that a click armed and that has not started yet.
    template <class Handler> auto Guard(Handler handler) {
        return [this, handler] {
            CancelArmedCaptionEdit();
            RunGuarded(*seam_, [&] { (this->*handler)(); });
        };
    }
    void CancelArmedCaptionEdit();
    QString ScriptPath() const;
    // Writes the grid back, makes the edit from the project as it then is, applies it as a step
    // of the history and selects where it happened; with `editCaption`, the caption editor opens
    // there. Nothing while a caption is being edited, or when the edit is null or empty.
    bool RunEdit(const std::function<std::unique_ptr<Edit>(const Project&)>& make,
                 bool editCaption = false);
    // Undo or redo one step, then select where it happened.
    void StepHistory(bool back);
    // Asks for a function number with the prompt of the two linking commands and finds its
    // dialog's position; nothing when the user cancelled or the number was refused (reported).
    std::optional<int> AskForDialog(const QString& caption, const QString& prompt);
    // The grid, the toolbar and the context menu after the project changed under them.
    void FollowDocument();
    // The open project file's folder; empty while the project has no file.
    QString ProjectFolder() const;
    // Where the project's open and save dialogs start: the maps folder, else the project's
    // folder, else the home folder.
    QString ProjectDialogFolder() const;

    std::unique_ptr<ModalSeam> seam_;
    ProjectDocument* document_ = nullptr;
    OutlineModel* model_ = nullptr;
    OutlineEditor* outline_ = nullptr;
    TForm2* Form2 = nullptr;
    QString settingsFile_;
    QString mapsFolder_;
    bool shownOnce_ = false;
    bool closing_ = false;
    std::vector<std::string> recent_;
    std::unique_ptr<NavigationHistory> history_;
    std::unique_ptr<ProjectObserver> historyFollower_;

    // State of the outline commands: the node the context menu was last opened for, and the
    // program's own clipboard of dialogs and answers. Copy and cut only remember the node (an
    // index that follows it, and is gone when it is); the paste does the work with the node's
    // content as it is then.
    QPersistentModelIndex menuTarget_;
    struct Clipboard {
        QPersistentModelIndex node;
        bool cut = false;
    } clipboard_;
};

} // namespace kv
