#include "editor_fixture.h"

#include "editor/outline_editor.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "project/tlk_file.h"
#include "text/cp1251.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace kv::test {

void EditorTest::SetUp() {
    dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir->isValid());
    settingsFile = dir->filePath(QStringLiteral("korvanthiel.ini"));
    StartWindow();
}

void EditorTest::StartWindow() {
    window = std::make_unique<TMain>(settingsFile);
    form = new TForm2(window.get());
    window->AttachTextEditor(form);
    auto scripted = std::make_unique<ScriptedSeam>();
    seam = scripted.get();
    window->SetModalSeam(std::move(scripted));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    // The window's shortcuts need it active.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

void EditorTest::TearDown() {
    if (window) {
        CloseWindow();
        EXPECT_TRUE(seam->Finished()) << "scripted modal steps were left over";
        window.reset();
    }
}

void EditorTest::CloseWindow() {
    if (!window->isVisible()) return;
    window->Outline().FillGridFor(nullptr);
    window->CurrentProject().Modified = false;
    window->close();
}

QString EditorTest::TempPath(const QString& name) const { return dir->filePath(name); }

QString EditorTest::WriteProject(Project& project, const QString& name) {
    const QString path = TempPath(name);
    SaveProject(project, ToUtf8Path(path));
    return path;
}

void EditorTest::OpenThroughMenu(const QString& path) {
    seam->ExpectOpen(path);
    window->N3Click();
}

void EditorTest::ClickNode(QTreeWidgetItem* node) {
    ASSERT_NE(node, nullptr);
    if (node->parent() != nullptr) node->parent()->setExpanded(true);
    window->Tree->scrollToItem(node);
    const QRect rect = window->Tree->visualItemRect(node);
    ASSERT_TRUE(rect.isValid());
    QTest::mouseClick(window->Tree->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void EditorTest::TypeIntoCell(PropertyGrid* grid, int row, const QString& text) {
    ASSERT_TRUE(grid->isVisible());
    QTableWidgetItem* cell = grid->ValueCell(row);
    grid->scrollToItem(cell);
    const QRect rect = grid->visualItemRect(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    ASSERT_EQ(grid->currentItem(), cell);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "no cell editor opened on row " << row;
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
    TypeText(editor, text);
}

void EditorTest::Press(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

void EditorTest::TypeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        Qt::Key key = Qt::Key_unknown;
        if (c == QLatin1Char('\n')) key = Qt::Key_Return;
        QTest::sendKeyEvent(QTest::Click, widget, key, key == Qt::Key_Return ? QString() : QString(c),
                            Qt::NoModifier);
    }
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

TDialogItem& AddDialog(Project& project, std::int32_t number, std::string_view hint) {
    TDialogItem* d = project.AppendDialog();
    d->FunctionNumber = number;
    d->Hint = Utf8ToCp1251(hint);
    return *d;
}

} // namespace kv::test

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
