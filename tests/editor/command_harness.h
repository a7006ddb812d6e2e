#pragma once

// The editing commands driven through the real window (the editor fixture's window with its
// scripted seam): key presses go to the widget that has the focus, clicks and right clicks to the
// outline's viewport, typing into the caption editor or a grid cell editor.

#include "editor_fixture.h"

#include <functional>
#include <string>

class QMenu;
class QTreeWidgetItem;

namespace kv::test {

class CommandTest : public EditorTest {
protected:
    void SetUp() override;

    Project& P() { return window->CurrentProject(); }
    OutlineTree& Tree() { return *window->Tree; }

    // ---- The outline ----
    QTreeWidgetItem* Selected();
    // Clicks a node unless it is selected already (a click on the selected node is the gesture
    // that opens its caption for editing).
    void Select(QTreeWidgetItem* node);
    void DoubleClick(QTreeWidgetItem* node);
    // Right click on a node (null: below the last node). `whileOpen` runs while the context menu
    // is open, with the menu; it picks an item or lets the menu be closed with Escape.
    void RightClick(QTreeWidgetItem* node, const std::function<void(QMenu&)>& whileOpen);
    // After a menu or the text editor window closed: the main window active again.
    void TakeBackActivation();
    // Picks an item of an open menu with the mouse.
    static void Choose(QMenu& menu, QAction* item);
    // The outline as text: one line per node, "caption [image]", variants indented.
    std::string OutlineText();

    // ---- Keys and typing; each lets the event loop run, as the user's next step would ----
    void FocusOutline();
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
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
    QTreeWidgetItem* MakeDialog(const QString& caption);
    // Add variant (Ins on the dialog node) with its caption typed and confirmed.
    QTreeWidgetItem* MakeVariant(QTreeWidgetItem* dialogNode, const QString& caption);

    // ---- What the seam was asked ----
    std::vector<ScriptedSeam::Call> CallsOf(ScriptedSeam::Kind kind) const;
};

// The model as text, for comparisons that must cover every slot: per dialog its number and
// caption, then every slot in use as "slot: caption -> follow-up (@ link position or # number)
// {data}".
std::string ModelText(const Project& project);
// A variant's record in short: skill/level, costs c, rewards r, artefact a, variable
// v<number>+<change>=<set>, FailOn.
std::string VariantText(const TVariantData& v);
// UTF-8 test text as the model's bytes, and as a QString.
std::string W(const char* utf8);
QString Q(const char* utf8);
std::string ToCp1251Text(const QString& text);

} // namespace kv::test
