#include "command_harness.h"

#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "text/cp1251.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sstream>

namespace kv::test {

// ---- ScriptedSeam ----

namespace {

std::optional<QString> TakeFront(std::deque<std::optional<QString>>& answers) {
    const bool given = answers.front().has_value();
    const QString text = answers.front().value_or(QString());
    answers.pop_front();
    if (!given) return std::nullopt;
    return text;
}

} // namespace

void ScriptedSeam::ShowMessage(const QString& text, const QString& caption, MessageIcon icon) {
    messages.push_back({text, caption, icon});
}

MessageAnswer ScriptedSeam::AskYesNoCancel(const QString& text, const QString&) {
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return MessageAnswer::Cancel;
}

std::optional<QString> ScriptedSeam::InputPrompt(const QString& caption, const QString& prompt,
                                                 const QString& preset) {
    prompts.push_back({caption, prompt, preset});
    if (promptAnswers.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << caption.toStdString();
        return std::nullopt;
    }
    return TakeFront(promptAnswers);
}

std::optional<QString> ScriptedSeam::OpenFile(const FileDialogRequest& request) {
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << request.title.toStdString();
        return std::nullopt;
    }
    return TakeFront(fileAnswers);
}

std::optional<QString> ScriptedSeam::SaveFile(const FileDialogRequest& request) {
    return OpenFile(request);
}

void ScriptedSeam::RunTextEditor(TForm2& window) {
    window.FormShow();
    if (!textEditor) {
        ADD_FAILURE() << "unexpected text editor window";
        window.N2Click();
        return;
    }
    textEditor(window);
}

// ---- CommandTest ----

void CommandTest::SetUpTestSuite() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "test_editor";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}

void CommandTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    window = std::make_unique<TMain>(dir.filePath(QStringLiteral("korvanthiel.ini")));
    window->AttachTextEditor(new TForm2(window.get()));
    auto scripted = std::make_unique<ScriptedSeam>();
    seam = scripted.get();
    window->SetModalSeam(std::move(scripted));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    FocusOutline();
}

void CommandTest::TearDown() {
    EXPECT_TRUE(seam->promptAnswers.empty()) << "a scripted prompt answer was not asked for";
    EXPECT_TRUE(seam->fileAnswers.empty()) << "a scripted file was not asked for";
    window.reset();
    seam = nullptr;
}

QTreeWidgetItem* CommandTest::DialogNode(int k) { return Tree().topLevelItem(k); }

QTreeWidgetItem* CommandTest::VariantNode(int k, int j) {
    QTreeWidgetItem* dialog = DialogNode(k);
    return dialog != nullptr && j < dialog->childCount() ? dialog->child(j) : nullptr;
}

QTreeWidgetItem* CommandTest::Selected() { return window->Outline().SelectedNode(); }

namespace {

QPoint CenterOf(OutlineTree& tree, QTreeWidgetItem* node) {
    if (node->parent() != nullptr) node->parent()->setExpanded(true);
    tree.scrollToItem(node);
    return tree.visualItemRect(node).center();
}

} // namespace

void CommandTest::Click(QTreeWidgetItem* node) {
    QTest::mouseClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier, CenterOf(Tree(), node));
}

void CommandTest::Select(QTreeWidgetItem* node) {
    if (Selected() != node) Click(node);
}

void CommandTest::DoubleClick(QTreeWidgetItem* node) {
    const QPoint at = CenterOf(Tree(), node);
    QTest::mouseClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void CommandTest::RightClick(QTreeWidgetItem* node,
                             const std::function<void(QMenu&)>& whileOpen) {
    QPoint at;
    if (node != nullptr) {
        at = CenterOf(Tree(), node);
    } else {
        at = QPoint(5, Tree().viewport()->height() - 3);
        EXPECT_EQ(Tree().itemAt(at), nullptr) << "the test needs room below the last node";
    }
    // The menu runs its own event loop; a timer reaches it while it is open.
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || seen) return;
        seen = true;
        poll.stop();
        whileOpen(*menu);
        if (menu->isVisible()) QTest::keyClick(menu, Qt::Key_Escape);
    });
    poll.start();
    QTest::mouseClick(Tree().viewport(), Qt::RightButton, Qt::NoModifier, at);
    poll.stop();
    EXPECT_TRUE(seen) << "no context menu opened";
    // A desktop gives the activation back to the window when a menu closes; the offscreen
    // platform sometimes leaves it with the closed menu, so the test hands it back as the desktop
    // would.
    QApplication::processEvents();
    if (QApplication::focusWidget() == nullptr) {
        window->windowHandle()->requestActivate();
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000));
    }
    EXPECT_NE(QApplication::focusWidget(), nullptr);
}

void CommandTest::Choose(QMenu& menu, QAction* item) {
    QTest::mouseClick(&menu, Qt::LeftButton, Qt::NoModifier, menu.actionGeometry(item).center());
}

std::string CommandTest::OutlineText() {
    std::string text;
    auto line = [&](const QTreeWidgetItem* node, const char* indent) {
        text += indent + NodeCaption(node).toStdString() + " [" +
                std::to_string(NodeImage(node)) + "]\n";
    };
    for (int k = 0; k < Tree().topLevelItemCount(); ++k) {
        const QTreeWidgetItem* dialog = Tree().topLevelItem(k);
        line(dialog, "");
        for (int j = 0; j < dialog->childCount(); ++j) line(dialog->child(j), "  ");
    }
    return text;
}

void CommandTest::FocusOutline() {
    Tree().setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), &Tree());
}

void CommandTest::Press(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    // What the key set going (an editor closing, for one) happens through the event loop.
    QApplication::processEvents();
}

void CommandTest::Type(const QString& text) {
    for (QChar c : text) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    }
    QApplication::processEvents();
}

QString CommandTest::CaptionEditorText() {
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return editor != nullptr ? editor->text() : QString();
}

void CommandTest::TypeCaption(const QString& text) {
    ASSERT_TRUE(EditingCaption());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "the caption editor has no focus";
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_Delete);
    Type(text);
    Press(Qt::Key_Return);
    ASSERT_FALSE(EditingCaption());
}

void CommandTest::TypeIntoGrid(PropertyGrid& grid, int row, const QString& text, bool commit) {
    ASSERT_TRUE(grid.isVisible());
    // A double click on the value cell opens its editor, as the user does it.
    const QRect cell = grid.visualItemRect(grid.ValueCell(row));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "no cell editor";
    editor->selectAll();
    Press(Qt::Key_Delete);
    Type(text);
    if (commit) Press(Qt::Key_Return);
}

void CommandTest::SetVariantField(QTreeWidgetItem* variantNode, int row, const QString& text) {
    Select(variantNode);
    TypeIntoGrid(*window->v2, row, text);
}

QTreeWidgetItem* CommandTest::AddDialog(const QString& caption) {
    FocusOutline();
    Press(Qt::Key_F4);
    QTreeWidgetItem* node = Selected();
    TypeCaption(caption);
    return node;
}

QTreeWidgetItem* CommandTest::AddVariantTo(QTreeWidgetItem* dialogNode, const QString& caption) {
    Select(dialogNode);
    FocusOutline();
    Press(Qt::Key_Insert);
    QTreeWidgetItem* node = Selected();
    TypeCaption(caption);
    return node;
}

// ---- Text views of the model ----

std::string VariantText(const TVariantData& v) {
    std::ostringstream out;
    out << "s" << int(v.Skill) << "/" << int(v.Slevel);
    for (int r = 0; r < kResourceCount; ++r)
        if (v.Cost(r) != 0) out << " c" << r << "=" << v.Cost(r);
    for (int r = 0; r < kResourceCount; ++r)
        if (v.Reward(r) != 0) out << " r" << r << "=" << v.Reward(r);
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

std::string W(const char* utf8) { return Utf8ToCp1251(utf8); }
QString Q(const char* utf8) { return QString::fromUtf8(utf8); }
std::string ToCp1251Text(const QString& text) { return ToCp1251(text); }

} // namespace kv::test
