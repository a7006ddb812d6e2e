#include "command_harness.h"

#include "editor/outline.h"
#include "editor/outline_editor.h"
#include "editor/qt_text.h"
#include "text/cp1251.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sstream>

namespace kv::test {

void CommandTest::SetUp() {
    EditorTest::SetUp();
    FocusOutline();
}

QTreeWidgetItem* CommandTest::Selected() {
    return window->Outline().SelectedNode();
}

void CommandTest::Select(QTreeWidgetItem* node) {
    if (Selected() != node) ClickNode(node);
}

void CommandTest::DoubleClick(QTreeWidgetItem* node) {
    ClickNode(node);
    const QPoint at = Tree().visualItemRect(node).center();
    QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void CommandTest::RightClick(QTreeWidgetItem* node, const std::function<void(QMenu&)>& whileOpen) {
    QPoint at;
    if (node != nullptr) {
        if (node->parent() != nullptr) node->parent()->setExpanded(true);
        Tree().scrollToItem(node);
        at = Tree().visualItemRect(node).center();
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
    TakeBackActivation();
}

void CommandTest::TakeBackActivation() {
    // A desktop gives the activation back to the main window when a menu or another window
    // closes; the offscreen platform sometimes leaves it with the closed one, so the test hands it
    // back as the desktop would.
    QApplication::processEvents();
    if (QApplication::focusWidget() == nullptr) {
        window->windowHandle()->requestActivate();
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000));
    }
}

void CommandTest::Choose(QMenu& menu, QAction* item) {
    QTest::mouseClick(&menu, Qt::LeftButton, Qt::NoModifier, menu.actionGeometry(item).center());
}

std::string CommandTest::OutlineText() {
    std::string text;
    auto line = [&](const QTreeWidgetItem* node, const char* indent) {
        text += indent + NodeCaption(node).toStdString() + " [" + std::to_string(NodeImage(node)) +
                "]\n";
    };
    for (int k = 0; k < Tree().topLevelItemCount(); ++k) {
        const QTreeWidgetItem* dialog = Tree().topLevelItem(k);
        line(dialog, "");
        for (int j = 0; j < dialog->childCount(); ++j)
            line(dialog->child(j), "  ");
    }
    return text;
}

void CommandTest::FocusOutline() {
    Tree().setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), &Tree());
}

void CommandTest::Press(int key, Qt::KeyboardModifiers modifiers) {
    EditorTest::Press(key, modifiers);
    // What the key set going (an editor closing, for one) happens through the event loop.
    QApplication::processEvents();
}

void CommandTest::Type(const QString& text) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    TypeText(target, text);
    QApplication::processEvents();
}

QString CommandTest::CaptionEditorText() {
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return editor != nullptr ? editor->text() : QString();
}

void CommandTest::TypeCaption(const QString& text) {
    ASSERT_TRUE(EditingCaption());
    ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr)
        << "the caption editor has no focus";
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_Delete);
    Type(text);
    Press(Qt::Key_Return);
    ASSERT_FALSE(EditingCaption());
}

void CommandTest::TypeIntoGrid(PropertyGrid& grid, int row, const QString& text, bool commit) {
    TypeIntoCell(&grid, row, text);
    if (commit) Press(Qt::Key_Return);
}

void CommandTest::SetVariantField(QTreeWidgetItem* variantNode, int row, const QString& text) {
    Select(variantNode);
    TypeIntoGrid(*window->v2, row, text);
}

QTreeWidgetItem* CommandTest::MakeDialog(const QString& caption) {
    FocusOutline();
    Press(Qt::Key_F4);
    QTreeWidgetItem* node = Selected();
    TypeCaption(caption);
    return node;
}

QTreeWidgetItem* CommandTest::MakeVariant(QTreeWidgetItem* dialogNode, const QString& caption) {
    Select(dialogNode);
    FocusOutline();
    Press(Qt::Key_Insert);
    QTreeWidgetItem* node = Selected();
    TypeCaption(caption);
    return node;
}

std::vector<ScriptedSeam::Call> CommandTest::CallsOf(ScriptedSeam::Kind kind) const {
    std::vector<ScriptedSeam::Call> calls;
    for (const ScriptedSeam::Call& call : seam->Calls())
        if (call.kind == kind) calls.push_back(call);
    return calls;
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

std::string W(const char* utf8) {
    return Utf8ToCp1251(utf8);
}
QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}
std::string ToCp1251Text(const QString& text) {
    return ToCp1251(text);
}

} // namespace kv::test
