#pragma once

#include "app/main_window.h"
#include "editor/outline_tree.h"
#include "editor/property_grid.h"
#include "model/project.h"
#include "scripted_seam.h"

#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace kv::test {

// The real main window with its text editor window, a scripted modal seam and a settings file
// of its own in a temporary folder, shown on the offscreen platform.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Creates and shows the window on settingsFile, as the program starts it.
    void StartWindow();

    // A file name in the test's temporary folder.
    QString TempPath(const QString& name) const;
    // Saves a project built by the test into the temporary folder and returns its path.
    QString WriteProject(Project& project, const QString& name = QStringLiteral("p.tlk"));
    // Opens a project through "Открыть..." with the scripted file dialog.
    void OpenThroughMenu(const QString& path);

    Project& Model() { return window->CurrentProject(); }
    QTreeWidgetItem* DialogNode(int k) const { return window->Tree->topLevelItem(k); }
    QTreeWidgetItem* VariantNode(int k, int slot) const { return DialogNode(k)->child(slot); }

    // A left click on a node, its dialog node expanded first so that it can be seen.
    void ClickNode(QTreeWidgetItem* node);
    // Starts typing into a value cell: a click on it, a double click, everything in it selected and
    // replaced by text. The cell editor stays open.
    void TypeIntoCell(PropertyGrid* grid, int row, const QString& text);
    // A key pressed where the keyboard focus is.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Characters typed where the keyboard focus is (any alphabet).
    static void TypeText(QWidget* widget, const QString& text);

    // Ends the test's window without the close question (the grids are dropped unwritten and the
    // project is marked unchanged).
    void CloseWindow();

    std::unique_ptr<QTemporaryDir> dir;
    QString settingsFile;
    std::unique_ptr<TMain> window;
    TForm2* form = nullptr;
    ScriptedSeam* seam = nullptr;
};

// A file's bytes (empty when it cannot be read), and a file written with bytes.
QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

// A blank dialog appended to the project, with its number and caption (UTF-8, stored as
// Windows-1251).
TDialogItem& AddDialog(Project& project, std::int32_t number, std::string_view hint);

} // namespace kv::test

// Readable QStrings in gtest's failure messages.
void PrintTo(const QString& text, std::ostream* out);
