#include "editor_fixture.h"

#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "project/tlk_file.h"
#include "text/cp1251.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sstream>

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
    window->activateWindow();
    // The window's shortcuts need it active.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    FocusOutline();
}

void EditorTest::TearDown() {
    CloseWindow();
    EXPECT_TRUE(seam->Finished()) << "scripted modal steps were left over";
}

void EditorTest::CloseWindow() {
    if (!window->isVisible()) return;
    window->Outline().FillGridFor({});
    P().Modified = false;
    window->close();
}

QString EditorTest::OpenProject(Project& project, const QString& name) {
    const QString path = TempPath(name);
    SaveProject(project, ToUtf8Path(path));
    OpenThroughMenu(path);
    return path;
}

void EditorTest::ClickNode(const Node& node) {
    ASSERT_TRUE(node.isValid());
    if (node.parent().isValid()) Tree().expand(node.parent());
    Tree().scrollTo(node);
    const QPoint at = Tree().visualRect(node).center();
    QTest::mouseClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void EditorTest::KeyOn(const Node& node, int key, Qt::KeyboardModifiers modifiers) {
    Select(node);
    FocusOutline();
    Press(key, modifiers);
}

void EditorTest::RightClick(const Node& node, const std::function<void(QMenu&)>& whileOpen) {
    QPoint at(5, Tree().viewport()->height() - 3);
    if (node.isValid()) {
        if (node.parent().isValid()) Tree().expand(node.parent());
        Tree().scrollTo(node);
        at = Tree().visualRect(node).center();
    }
    // The menu runs its own event loop, where the timer comes.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) return;
        seen = true;
        if (whileOpen) whileOpen(*menu);
        if (menu->isVisible()) QTest::keyClick(menu, Qt::Key_Escape);
    });
    QTest::mouseClick(Tree().viewport(), Qt::RightButton, Qt::NoModifier, at);
    EXPECT_TRUE(seen) << "no context menu opened";
    TakeBackActivation();
}

void EditorTest::Choose(QMenu& menu, QAction* item) {
    QTest::mouseClick(&menu, Qt::LeftButton, Qt::NoModifier, menu.actionGeometry(item).center());
}

void EditorTest::TakeBackActivation() {
    // The offscreen platform sometimes leaves the activation with a closed menu or window.
    QApplication::processEvents();
    if (QApplication::focusWidget() == nullptr) {
        window->windowHandle()->requestActivate();
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000));
    }
}

std::string EditorTest::OutlineText() {
    std::string text;
    auto line = [&](const QModelIndex& node, const char* indent) {
        text += indent + Caption(node).toStdString() + " [" +
                std::to_string(node.data(OutlineModel::ImageRole).toInt()) + "]\n";
    };
    for (int k = 0; k < Rows(); ++k) {
        const QModelIndex dialog = Items().index(k, 0);
        line(dialog, "");
        for (int j = 0; j < Items().rowCount(dialog); ++j) line(Items().index(j, 0, dialog), "  ");
    }
    return text;
}

void EditorTest::FocusOutline() {
    Tree().setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), &Tree());
}

void EditorTest::Press(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    // What the key set going (an editor closing, for one) happens through the event loop.
    QApplication::processEvents();
}

void EditorTest::TypeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        const bool enter = c == QLatin1Char('\n');
        QTest::sendKeyEvent(QTest::Click, widget, enter ? Qt::Key_Return : Qt::Key_unknown,
                            enter ? QString() : QString(c), Qt::NoModifier);
    }
}

void EditorTest::TypeCaption(const QString& text) {
    ASSERT_TRUE(EditingCaption());
    // The editor takes the focus through the event loop; on a busy machine the first key would
    // otherwise still reach the outline.
    QApplication::processEvents();
    ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_Delete);
    TypeText(QApplication::focusWidget(), text);
    Press(Qt::Key_Return);
    ASSERT_FALSE(EditingCaption());
}

QString EditorTest::CaptionEditorText() {
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return editor != nullptr ? editor->text() : QString();
}

void EditorTest::TypeIntoCell(PropertyGrid* grid, int row, const QString& text) {
    ASSERT_TRUE(grid->isVisible());
    QTableWidgetItem* cell = grid->ValueCell(row);
    grid->scrollToItem(cell);
    const QPoint at = grid->visualItemRect(cell).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_EQ(grid->currentItem(), cell);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "no cell editor opened on row " << row;
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
    TypeText(editor, text);
}

void EditorTest::SetField(PropertyGrid* grid, int row, const QString& text) {
    TypeIntoCell(grid, row, text);
    Press(Qt::Key_Return);
}

Node EditorTest::MakeDialog(const QString& caption) {
    FocusOutline();
    Press(Qt::Key_F4);
    TypeCaption(caption);
    return Selected();
}

Node EditorTest::MakeVariant(const Node& dialogNode, const QString& caption) {
    KeyOn(dialogNode, Qt::Key_Insert);
    TypeCaption(caption);
    return Selected();
}

void SlotTest::SetUp() {
    EditorTest::SetUp();
    Project p;
    AddDialog(p, 1000, "T");
    TDialogItem& d = AddDialog(p, 1001, "D");
    const char* names[] = {"A", "B", "C"};
    const std::int32_t follow[] = {1000, 555, 0};
    for (int k = 0; k < 3; ++k) {
        SetSlot(d, k, names[k], follow[k]);
        TVariantData& v = d.Variants[static_cast<std::size_t>(k)];
        v.Skill = static_cast<std::uint8_t>(k + 1);
        v.Wood = static_cast<std::uint16_t>(10 * (k + 1));
        v.FailOn = std::string("f") + names[k];
    }
    OpenProject(p);
    ASSERT_EQ(ModelText(P()), TD(A(0) + B(1) + C(2)));
}

std::string SlotTest::Line(int slot, const std::string& text) {
    return "  " + std::to_string(slot) + ": " + text + "\n";
}

void SlotTest::FillD() {
    for (int k = Rows(DialogNode(1)); k < kSlotCount; ++k)
        MakeVariant(DialogNode(1), QStringLiteral("V%1").arg(k));
}

TDialogItem& AddDialog(Project& project, std::int32_t number, std::string_view hint) {
    TDialogItem* d = project.AppendDialog();
    d->FunctionNumber = number;
    d->Hint = Utf8ToCp1251(hint);
    return *d;
}

void SetSlot(TDialogItem& dialog, int slot, const char* caption, std::int32_t function) {
    const auto k = static_cast<std::size_t>(slot);
    dialog.Variant[k] = Utf8ToCp1251(caption);
    dialog.Function[k] = function;
}

std::string VariantText(const TVariantData& v) {
    std::ostringstream out;
    out << "s" << int(v.Skill) << "/" << int(v.Slevel);
    for (int r = 0; r < kResourceCount; ++r)
        if (v.Cost(r) != 0) out << " c" << r << "=" << v.Cost(r);
    if (v.Artefact != 0) out << " a" << v.Artefact;
    if (v.Variable != 0 || v.DVariable != 0 || v.SVariable != 0)
        out << " v" << v.Variable << "+" << v.DVariable << "=" << v.SVariable;
    if (!v.FailOn.empty()) out << " fail:" << Cp1251ToUtf8(v.FailOn.view());
    return out.str();
}

std::string ModelText(const Project& project) {
    std::ostringstream out;
    for (const TDialogItem* d = project.Dialogs(); d != nullptr; d = d->Next) {
        out << d->FunctionNumber << " " << Cp1251ToUtf8(d->Hint.view()) << "\n";
        for (int k = 0; k < kSlotCount; ++k) {
            if (!d->SlotInUse(k)) continue;
            const auto i = static_cast<std::size_t>(k);
            out << "  " << k << ": " << Cp1251ToUtf8(d->Variant[i].view());
            if (d->LinkDialog[i] != nullptr)
                out << " -> @" << project.IndexOfDialog(d->LinkDialog[i]);
            else if (d->Function[i] != 0)
                out << " -> #" << d->Function[i];
            out << " {" << VariantText(d->Variants[i]) << "}\n";
        }
    }
    return out.str();
}

std::string W(const char* utf8) {
    return Utf8ToCp1251(utf8);
}

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
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

} // namespace kv::test

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
