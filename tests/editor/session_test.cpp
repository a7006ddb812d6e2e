// One session from nothing: a small tavern quest built through the window's keys, mouse, menus
// and toolbar, saved and compiled. The saved project and the compiled script are compared with
// golden files byte for byte, with what depends on the machine masked: the temporary folder in
// the script path, and the date and time of the script's warning line.
#include "editor_fixture.h"

#include "editor/property_grids.h"
#include "editor/text_editor_window.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

namespace kv::test {
namespace {

// The date and time of the script's warning line, as "<stamp>".
QByteArray MaskStamp(QByteArray script) {
    const qsizetype from = script.indexOf(";Korvanthiel data begin>>>>>\n;") + 30;
    return script.replace(from, script.indexOf(" Warning - do not", from) - from, "<stamp>");
}

// Compares with the golden file; KORV_UPDATE_GOLDEN=1 writes the golden file instead.
void ExpectGolden(const QByteArray& actual, const char* name) {
    const QString path = QStringLiteral(KORV_TEST_DATA "/editor/") + QString::fromLatin1(name);
    if (qEnvironmentVariableIntValue("KORV_UPDATE_GOLDEN") == 1) WriteFile(path, actual);
    EXPECT_EQ(actual.toStdString(), ReadFile(path).toStdString()) << path.toStdString();
}

using Session = EditorTest;

TEST_F(Session, ATavernQuestBuiltFromNothingIsSavedAndCompiledAsShown) {
    const QString script = TempPath(QStringLiteral("quest.erm"));
    WriteFile(script, "ZVSE\r\n; the map's own script\r\n");

    // The tavern: caption, grid values, and its message in the text editor window (Tab).
    Node tavern = MakeDialog(Q("Таверна"));
    SetField(window->v1, dialog_row::Header, Q("Что будете делать?"));
    SetField(window->v1, dialog_row::Before, QStringLiteral("!!VRv10:S0;"));
    SetField(window->v1, dialog_row::Escape, QStringLiteral("1"));
    SetField(window->v1, dialog_row::Default, QStringLiteral("1"));
    seam->ExpectTextEditor([](TForm2& form) {
        form.Memo1->setFocus();
        TypeText(form.Memo1, Q("Добро пожаловать!\nВыпьете?"));
        QTest::keyClick(form.Memo1, Qt::Key_Tab);
    });
    FocusOutline();
    Press(Qt::Key_Tab);
    TakeBackActivation();

    // Its answers: a paid drink that sets v10, and leaving.
    Node drink = MakeVariant(tavern, Q("Выпить эля"));
    SetField(window->v2, variant_row::FirstCost + 6, QStringLiteral("5"));
    SetField(window->v2, variant_row::Variable, QStringLiteral("10"));
    SetField(window->v2, variant_row::SVariable, QStringLiteral("1"));
    MakeVariant(tavern, Q("Уйти"));

    // The drink leads to a consequence dialog, captioned after both.
    KeyOn(drink, Qt::Key_F6);
    Node bar = Selected();
    Press(Qt::Key_Return); // the caption as offered
    MakeVariant(bar, Q("Поговорить с барменом"));
    SetField(window->v2, variant_row::Skill, QStringLiteral("4"));
    SetField(window->v2, variant_row::Slevel, QStringLiteral("1"));
    SetField(window->v2, variant_row::FirstCost, QStringLiteral("2"));
    QTest::mouseClick(window->ToolButton10, Qt::LeftButton); // "[Разведка] [2 дерева] ..."
    Press(Qt::Key_Return);
    // Back to the tavern: a variant with the tavern as its follow-up, moved to the top.
    seam->ExpectPrompt(QStringLiteral("1000"));
    KeyOn(bar, Qt::Key_Insert, Qt::ControlModifier);
    TypeCaption(Q("Назад"));
    RightClick(VariantNode(1, 1), [this](QMenu& menu) { Choose(menu, window->N21); });

    // VS on the drink numbers the variable of the answer after it.
    Select(drink);
    QTest::mouseClick(window->ToolButton12, Qt::LeftButton);

    // Leaving is offered at the bar too: copied there with Ctrl+C / Ctrl+V.
    KeyOn(VariantNode(0, 1), Qt::Key_C, Qt::ControlModifier);
    KeyOn(bar, Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Escape);

    // A night version of the tavern: duplicated, renamed, without its drink, then moved to the
    // end anew by cut and paste (which gives it the next number).
    KeyOn(tavern, Qt::Key_F7);
    TypeCaption(Q("Таверна ночью"));
    KeyOn(VariantNode(2, 0), Qt::Key_Delete, Qt::ControlModifier);
    KeyOn(DialogNode(2), Qt::Key_X, Qt::ControlModifier);
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Return);

    EXPECT_EQ(OutlineText(), "Таверна [0]\n  Выпить эля [2]\n  Уйти [3]\n"
                             "Таверна -> Выпить эля [0]\n  Назад [2]\n"
                             "  [Разведка] [2 дерева] Поговорить с барменом [3]\n  Уйти [3]\n"
                             "Таверна ночью [0]\n  Уйти [3]\n");

    // The script file, the save (Ctrl+S asks for a name; ".tlk" is added), the compile (F9).
    seam->ExpectOpen(script);
    window->N20->trigger();
    const QString project = TempPath(QStringLiteral("quest"));
    seam->ExpectSave(project);
    FocusOutline();
    Press(Qt::Key_S, Qt::ControlModifier);
    seam->ExpectMessage();
    Press(Qt::Key_F9);
    EXPECT_EQ(seam->LastCall().icon, MessageIcon::Information);

    const QByteArray dir = TempPath(QString()).toUtf8();
    ExpectGolden(ReadFile(project + QStringLiteral(".tlk")).replace(dir, "<dir>"), "session.tlk");
    ExpectGolden(MaskStamp(ReadFile(script)), "session.erm");
}

} // namespace
} // namespace kv::test
