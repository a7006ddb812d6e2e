#pragma once

// The real main window with its text editor window, a scripted modal seam and a settings file of
// its own in a temporary folder, shown on the offscreen platform and driven as the user drives it.

#include "app/main_window.h"
#include "editor/outline_editor.h"
#include "editor/outline_model.h"
#include "editor/outline_tree.h"
#include "editor/property_grid.h"
#include "model/project.h"
#include "scripted_seam.h"

#include <QPersistentModelIndex>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

class QMenu;

namespace kv::test {

// An outline node as the tests hold it: an index that follows its row through edits.
using Node = QPersistentModelIndex;

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void StartWindow(); // on settingsFile, as the program starts it
    // Ends the window without the close question: the grids are dropped unwritten.
    void CloseWindow();

    QString TempPath(const QString& name) const { return dir->filePath(name); }
    // Saves the project into the temporary folder and opens it through "Открыть..."; its path.
    QString OpenProject(Project& project, const QString& name = QStringLiteral("p.tlk"));
    void OpenThroughMenu(const QString& path) {
        seam->ExpectOpen(path);
        window->N3Click();
    }

    Project& P() { return window->CurrentProject(); }
    OutlineTree& Tree() { return *window->Tree; }
    OutlineModel& Items() { return window->OutlineItems(); }
    Node DialogNode(int k) { return Items().IndexOf({k, -1}); }
    Node VariantNode(int k, int slot) { return Items().IndexOf({k, slot}); }
    Node Selected() { return window->Outline().SelectedNode(); }
    int Rows(const Node& node = Node()) { return Items().rowCount(node); }
    static QString Caption(const Node& node) { return node.data().toString(); }
    // The outline as text: one line per node, "caption [image]", variants indented.
    std::string OutlineText();

    // The user's steps; each lets the event loop run, as the user's next step would.
    void ClickNode(const Node& node);
    // Clicks a node unless it is selected (a click on the selected node edits its caption).
    void Select(const Node& node) {
        if (Selected() != node) ClickNode(node);
    }
    // Selects a node and presses a key in the outline.
    void KeyOn(const Node& node, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Right click on a node (invalid: below the last node); `whileOpen` runs while the context
    // menu is open; it may choose an item, else the menu is closed with Escape.
    void RightClick(const Node& node, const std::function<void(QMenu&)>& whileOpen = {});
    static void Choose(QMenu& menu, QAction* item);
    // After a menu or the text editor window closed: the main window active again.
    void TakeBackActivation();
    void FocusOutline();
    // A key pressed where the keyboard focus is; text typed into a widget ('\n' is Enter).
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void TypeText(QWidget* widget, const QString& text);
    // Replaces the text of the open caption editor and confirms it with Enter.
    void TypeCaption(const QString& text);
    bool EditingCaption() { return Tree().IsEditingCaption(); }
    QString CaptionEditorText();
    // Starts typing into a value cell; the cell editor stays open. SetField commits with Enter.
    void TypeIntoCell(PropertyGrid* grid, int row, const QString& text);
    void SetField(PropertyGrid* grid, int row, const QString& text);
    // New dialog (F4) and add variant (Ins on the dialog node), their captions typed.
    Node MakeDialog(const QString& caption);
    Node MakeVariant(const Node& dialogNode, const QString& caption);

    std::unique_ptr<QTemporaryDir> dir;
    QString settingsFile;
    std::unique_ptr<TMain> window;
    TForm2* form = nullptr;
    ScriptedSeam* seam = nullptr;
};

// The project of the slot commands: dialog T (1000), then D (1001) with variants A, B and C. A
// leads to T by link, B to function 555 by number, C nowhere; each has its own skill, wood cost
// and fail condition.
class SlotTest : public EditorTest {
protected:
    void SetUp() override;
    // The lines of A, B and C in ModelText at a slot; the model text with D holding `lines`.
    static std::string A(int slot) { return Line(slot, "A -> @0 {s1/0 c0=10 fail:fA}"); }
    static std::string B(int slot) { return Line(slot, "B -> #555 {s2/0 c0=20 fail:fB}"); }
    static std::string C(int slot) { return Line(slot, "C {s3/0 c0=30 fail:fC}"); }
    static std::string Line(int slot, const std::string& text);
    static std::string TD(const std::string& lines) { return "1000 T\n1001 D\n" + lines; }
    void FillD(); // to twelve variants, through the window
    void Ctrl(const Node& node, Qt::Key key) { KeyOn(node, key, Qt::ControlModifier); }
};

// A blank dialog appended to the project, and a slot's caption and follow-up number (UTF-8).
TDialogItem& AddDialog(Project& project, std::int32_t number, std::string_view hint);
void SetSlot(TDialogItem& dialog, int slot, const char* caption, std::int32_t function = 0);

// The model as text: per dialog its number and caption, then every slot in use as "slot: caption
// -> follow-up (@ link position or # number) {record}".
std::string ModelText(const Project& project);
// A variant's record in short: skill/level, costs c, artefact a, variable v<number>+<change>=<set>,
// FailOn.
std::string VariantText(const TVariantData& v);
// UTF-8 test text as the model's bytes, and as a QString.
std::string W(const char* utf8);
QString Q(const char* utf8);
QByteArray ReadFile(const QString& path); // empty when it cannot be read
void WriteFile(const QString& path, const QByteArray& bytes);

} // namespace kv::test

// Readable QStrings in gtest's failure messages.
void PrintTo(const QString& text, std::ostream* out);
