#pragma once

// The real main window with a scripted modal seam, driven through its widgets: key presses go to
// the widget that has the focus, clicks and right clicks to the outline's viewport, typing into
// the caption editor or a grid cell editor. Shared by the tests of the editing commands.

#include "app/main_window.h"
#include "editor/modal_seam.h"
#include "editor/outline_tree.h"
#include "editor/property_grid.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMenu;
class QTreeWidgetItem;

// Failure messages show a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace kv::test {

// Answers every modal step from a script; a step the test did not expect fails the test and is
// answered as cancelled, so nothing ever blocks.
class ScriptedSeam : public ModalSeam {
public:
    struct Message {
        QString text, caption;
        MessageIcon icon;
    };
    struct Prompt {
        QString caption, prompt, preset;
    };

    std::deque<std::optional<QString>> promptAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::function<void(TForm2&)> textEditor; // what the user does in the text editor window
    std::vector<Message> messages;
    std::vector<Prompt> prompts;

    void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) override;
    MessageAnswer AskYesNoCancel(const QString& text, const QString& caption) override;
    std::optional<QString> InputPrompt(const QString& caption, const QString& prompt,
                                       const QString& preset) override;
    std::optional<QString> OpenFile(const FileDialogRequest& request) override;
    std::optional<QString> SaveFile(const FileDialogRequest& request) override;
    void RunTextEditor(TForm2& window) override;
};

class CommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    Project& P() { return window->CurrentProject(); }
    OutlineTree& Tree() { return *window->Tree; }

    // ---- The outline ----
    QTreeWidgetItem* DialogNode(int k);
    QTreeWidgetItem* VariantNode(int k, int j);
    QTreeWidgetItem* Selected();
    // Left click on a node (its parent expanded first, as the user would).
    void Click(QTreeWidgetItem* node);
    // Clicks a node unless it is selected already (a click on the selected node is the gesture
    // that opens its caption for editing).
    void Select(QTreeWidgetItem* node);
    void DoubleClick(QTreeWidgetItem* node);
    // Right click on a node (null: below the last node). `whileOpen` runs while the context menu
    // is open, with the menu; it picks an item or lets the menu be closed with Escape.
    void RightClick(QTreeWidgetItem* node, const std::function<void(QMenu&)>& whileOpen);
    // Picks an item of an open menu with the mouse.
    static void Choose(QMenu& menu, QAction* item);
    // The outline as text: one line per node, "caption [image]", variants indented.
    std::string OutlineText();

    // ---- Keys and typing ----
    void FocusOutline();
    // A key pressed and released in the widget that has the focus.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Characters typed into the widget that has the focus (Cyrillic too).
    void Type(const QString& text);
    // Replaces the text of the open caption editor and confirms it with Enter.
    void TypeCaption(const QString& text);
    bool EditingCaption() { return Tree().IsEditingCaption(); }
    QString CaptionEditorText();
    // Types a value into a row of a grid; Enter commits it when `commit` is set.
    void TypeIntoGrid(PropertyGrid& grid, int row, const QString& text, bool commit = true);
    // Selects a variant node and types a value into a row of its grid, with Enter.
    void SetVariantField(QTreeWidgetItem* variantNode, int row, const QString& text);

    // ---- Building through the window ----
    // New dialog (F4) with its caption typed and confirmed.
    QTreeWidgetItem* AddDialog(const QString& caption);
    // Add variant (Ins on the selected dialog node) with its caption typed and confirmed.
    QTreeWidgetItem* AddVariantTo(QTreeWidgetItem* dialogNode, const QString& caption);

    QTemporaryDir dir;
    std::unique_ptr<TMain> window;
    ScriptedSeam* seam = nullptr;
};

// The model as text, for comparisons that must cover every slot: per dialog its number and
// caption, then every slot in use as "slot: caption -> follow-up (link position or #number)
// {data}".
std::string ModelText(const Project& project);
// A variant's record in short: skill, level, costs, rewards, artefact, variable fields, FailOn.
std::string VariantText(const TVariantData& v);
// UTF-8 test text to the model's bytes and back.
std::string W(const char* utf8);
QString Q(const char* utf8);
std::string ToCp1251Text(const QString& text);

} // namespace kv::test
