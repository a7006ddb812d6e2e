// New, open, save, save as, exit and the close query: every answer of the unsaved-changes
// question, and the failures that must not lose work.
#include "editor_fixture.h"

#include "editor/property_grids.h"
#include "editor/qt_text.h"
#include "project/tlk_file.h"
#include "text/cp1251.h"

#include <QFile>
#include <QFileInfo>

namespace kv::test {
namespace {

class LifecycleTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Project p;
        p.FunctionStart = 2000;
        p.ScriptFile = "quest.erm";
        AddDialog(p, 2000, "first").Variant[0] = "go"; // compiled: it has an answer
        AddDialog(p, 2001, "second");
        projectPath = WriteProject(p, QStringLiteral("quest.tlk"));
        OpenThroughMenu(projectPath);
        ASSERT_EQ(Model().DialogCount(), 2);
    }
    // An unsaved change, as an edit would leave it.
    void Change() {
        Model().Dialogs()->Header = "changed";
        Model().Modified = true;
    }
    void ExpectSaveQuestionAsked() {
        ASSERT_NE(seam->LastCall(), nullptr);
        EXPECT_EQ(seam->LastCall()->kind, ScriptedSeam::Kind::Question);
        EXPECT_EQ(seam->LastCall()->text,
                  QStringLiteral("Проект не сохранен. Вы хотите сохранить его?"));
        EXPECT_EQ(seam->LastCall()->caption, QStringLiteral("Предупреждение"));
    }
    static std::string SavedHeader(const QString& path) {
        return LoadProject(ToUtf8Path(path)).Dialogs()->Header.str();
    }
    // A file name the save cannot write: its folder does not exist.
    QString Unwritable() const { return TempPath(QStringLiteral("missing/folder/x.tlk")); }

    QString projectPath;
};

TEST_F(LifecycleTest, OpenSetsTheFileNameAndPresetsTheScriptChooser) {
    EXPECT_EQ(FromUtf8Path(Model().ProjectFileName), projectPath);
    EXPECT_FALSE(Model().Modified);
    EXPECT_EQ(Model().FunctionStart, 2000);
    EXPECT_EQ(window->OpenDialog2.fileName, QStringLiteral("quest.erm"));
    const ScriptedSeam::Call& open = seam->Calls().front();
    EXPECT_EQ(open.file.title, QStringLiteral("Загрузка проекта"));
    EXPECT_EQ(open.file.filter, QStringLiteral("Файлы диалогов (*.tlk)|*.tlk"));
}

TEST_F(LifecycleTest, NewProjectAsksOnlyAboutChangesAndCancelKeepsThem) {
    Change();
    seam->ExpectQuestion(MessageAnswer::Cancel);
    window->ToolButton1->click();
    ExpectSaveQuestionAsked();
    EXPECT_EQ(Model().DialogCount(), 2);
    EXPECT_TRUE(Model().Modified);

    seam->ExpectQuestion(MessageAnswer::No);
    window->N2->trigger();
    EXPECT_EQ(Model().DialogCount(), 0);
    EXPECT_TRUE(Model().ProjectFileName.empty());
    EXPECT_TRUE(Model().ScriptFile.empty());
    EXPECT_FALSE(Model().Modified);
    EXPECT_EQ(Model().FunctionStart, 2000);
    EXPECT_EQ(window->Tree->topLevelItemCount(), 0);
    EXPECT_EQ(SavedHeader(projectPath), "") << "No saves nothing";

    // Without changes nothing is asked.
    const auto asked = seam->Calls().size();
    window->ToolButton1Click();
    EXPECT_EQ(seam->Calls().size(), asked);
}

TEST_F(LifecycleTest, YesSavesFirstAndAFailedSaveStopsTheCommand) {
    Change();
    seam->ExpectQuestion(MessageAnswer::Yes);
    window->ToolButton1Click();
    EXPECT_EQ(SavedHeader(projectPath), "changed");
    EXPECT_EQ(Model().DialogCount(), 0);

    OpenThroughMenu(projectPath);
    Change();
    Model().ProjectFileName = ToUtf8Path(Unwritable());
    seam->ExpectQuestion(MessageAnswer::Yes).ExpectMessage();
    window->ToolButton1Click();
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);
    EXPECT_EQ(Model().DialogCount(), 2) << "the project must survive a failed save";
    EXPECT_TRUE(Model().Modified);
}

TEST_F(LifecycleTest, YesThenCancelledSaveAsGoesOnAndTheChangesAreGivenUp) {
    seam->ExpectQuestion(MessageAnswer::No);
    Change();
    window->ToolButton1Click(); // a project without a file name
    Model().AppendDialog()->FunctionNumber = 1;
    Model().Modified = true;
    seam->ExpectQuestion(MessageAnswer::Yes).ExpectSave(std::nullopt).ExpectOpen(projectPath);
    window->N3->trigger();
    EXPECT_EQ(seam->Calls()[seam->Calls().size() - 2].file.title,
              QStringLiteral("Сохранение проекта"));
    EXPECT_EQ(Model().DialogCount(), 2);
    EXPECT_EQ(FromUtf8Path(Model().ProjectFileName), projectPath);
}

TEST_F(LifecycleTest, OpenThatIsCancelledMissingOrFailingLeavesTheProjectAsItWas) {
    Change();
    seam->ExpectQuestion(MessageAnswer::No).ExpectOpen(std::nullopt);
    window->N3Click();
    EXPECT_TRUE(Model().Modified);
    EXPECT_EQ(Model().Dialogs()->Header, "changed");

    seam->ExpectQuestion(MessageAnswer::No).ExpectOpen(TempPath(QStringLiteral("none.tlk")));
    window->N3Click();
    EXPECT_TRUE(Model().Modified);
    EXPECT_EQ(FromUtf8Path(Model().ProjectFileName), projectPath);

    const QString broken = TempPath(QStringLiteral("broken.tlk"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a number\r\n");
    file.close();
    ClickNode(DialogNode(1));
    seam->ExpectQuestion(MessageAnswer::No).ExpectOpen(broken).ExpectMessage();
    window->ToolButton2->click();
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);
    EXPECT_FALSE(seam->LastCall()->text.isEmpty());
    EXPECT_EQ(Model().DialogCount(), 2);
    EXPECT_EQ(Model().Dialogs()->Header, "changed");
    EXPECT_TRUE(Model().Modified);
    EXPECT_EQ(FromUtf8Path(Model().ProjectFileName), projectPath);
    EXPECT_EQ(window->Tree->topLevelItemCount(), 2);
    EXPECT_EQ(window->Tree->currentItem(), DialogNode(1));
}

TEST_F(LifecycleTest, SaveAsAppendsTheEndingUnlessTheNameHasIt) {
    const struct {
        QString typed, written;
    } cases[] = {
        {TempPath(QStringLiteral("a")), TempPath(QStringLiteral("a.tlk"))},
        {TempPath(QStringLiteral("B.Tlk")), TempPath(QStringLiteral("B.Tlk"))},
        {TempPath(QStringLiteral("Quest.txt")), TempPath(QStringLiteral("Quest.txt.tlk"))},
        {TempPath(QStringLiteral("Квест")), TempPath(QStringLiteral("Квест.tlk"))},
    };
    for (const auto& c : cases) {
        Change();
        seam->ExpectSave(c.typed);
        window->N5->trigger();
        EXPECT_EQ(FromUtf8Path(Model().ProjectFileName), c.written);
        EXPECT_TRUE(QFileInfo::exists(c.written)) << c.written.toStdString();
        EXPECT_FALSE(Model().Modified);
    }
    EXPECT_EQ(seam->LastCall()->file.folder, window->MapsFolder());

    // Save with a name writes there without asking.
    Change();
    const auto asked = seam->Calls().size();
    window->ToolButton3->click();
    EXPECT_EQ(seam->Calls().size(), asked);
    EXPECT_FALSE(Model().Modified);
    EXPECT_EQ(SavedHeader(TempPath(QStringLiteral("Квест.tlk"))), "changed");
}

TEST_F(LifecycleTest, AFailedSaveIsReportedAndKeepsTheProjectModified) {
    Change();
    seam->ExpectSave(Unwritable()).ExpectMessage();
    window->N5Click();
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);
    EXPECT_TRUE(Model().Modified);
    EXPECT_EQ(FromUtf8Path(Model().ProjectFileName), Unwritable());

    seam->ExpectMessage();
    window->N4->trigger();
    EXPECT_TRUE(Model().Modified);

    // Save of a project without a name asks for one; cancelling leaves it unsaved.
    Model().ProjectFileName.clear();
    seam->ExpectSave(std::nullopt);
    window->N4Click();
    EXPECT_TRUE(Model().Modified);
}

TEST_F(LifecycleTest, CloseAsksOnceAndCancelOrAFailedSaveKeepsTheWindowOpen) {
    Change();
    seam->ExpectQuestion(MessageAnswer::Cancel);
    window->N8->trigger();
    EXPECT_TRUE(window->isVisible());

    Model().ProjectFileName = ToUtf8Path(Unwritable());
    seam->ExpectQuestion(MessageAnswer::Yes).ExpectMessage();
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(Model().Modified);

    const auto before = seam->Calls().size();
    seam->ExpectQuestion(MessageAnswer::No);
    window->N8Click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(seam->Calls().size(), before + 1);
    EXPECT_TRUE(QFileInfo::exists(settingsFile)) << "settings are written when the window closes";
}

TEST_F(LifecycleTest, CloseWithoutChangesAsksNothing) {
    window->N8Click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(seam->Count(ScriptedSeam::Kind::Question), 0);
}

TEST_F(LifecycleTest, SaveSaveAsAndCompileTakeTheValueBeingTypedOrStopAtABadNumber) {
    const QString script = TempPath(QStringLiteral("quest.erm"));
    const QString other = TempPath(QStringLiteral("other.tlk"));
    WriteFile(script, "ZVSE\r\n");
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString written;
    } commands[] = {{Qt::Key_S, Qt::ControlModifier, projectPath},
                    {Qt::Key_F2, Qt::NoModifier, other},
                    {Qt::Key_F9, Qt::NoModifier, script}};
    ClickNode(DialogNode(0));
    for (const auto& c : commands) {
        // Typed, not committed, when the command's key comes.
        const QString typed = QStringLiteral("typed for ") + c.written;
        TypeIntoCell(window->v1, dialog_row::Header, typed);
        if (c.key == Qt::Key_F2) seam->ExpectSave(other);
        if (c.key == Qt::Key_F9) seam->ExpectMessage();
        Press(c.key, c.modifiers);
        EXPECT_TRUE(ReadFile(c.written).contains(typed.toUtf8())) << c.written.toStdString();
    }
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Information);

    // A refused number: the error, and no save dialog, no file written.
    for (const auto& c : commands) {
        const QByteArray before = ReadFile(c.written);
        TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("lost"));
        TypeIntoCell(window->v1, dialog_row::Escape, QStringLiteral("x"));
        seam->ExpectMessage();
        Press(c.key, c.modifiers);
        EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);
        EXPECT_EQ(ReadFile(c.written), before) << c.written.toStdString();
    }
}

TEST_F(LifecycleTest, CloseAsksAboutTheValueBeingTypedAlsoWhenTheGridRefusesIt) {
    ClickNode(DialogNode(0));
    TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("typed"));
    seam->ExpectQuestion(MessageAnswer::Cancel);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Model().Dialogs()->Header, "typed");
    EXPECT_TRUE(Model().Modified);

    // Saved; then only a bad number typed: nothing could be stored, the question comes anyway.
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(Model().Modified);
    TypeIntoCell(window->v1, dialog_row::Escape, QStringLiteral("x"));
    seam->ExpectMessage().ExpectQuestion(MessageAnswer::No);
    window->close();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(LifecycleTest, IniImportLeavesNoFileNameSoTheFirstSaveAsksForOne) {
    const QString ini = TempPath(QStringLiteral("project.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Main]\r\nFunctionStart=1000\r\nFunctionEnd=1001\r\nScriptFile=intro.erm\r\n"
               "[1000]\r\nHint=Greeting\r\nVariant0=A friend\r\nFunction0=1001\r\n"
               "[1001]\r\nHint=Friend\r\n");
    file.close();
    const QByteArray iniBytes = [&] {
        QFile f(ini);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    Change();
    seam->ExpectQuestion(MessageAnswer::No).ExpectOpen(ini);
    window->INI1->trigger();
    EXPECT_EQ(seam->LastCall()->file.title, QStringLiteral("Загрузка проекта"));
    ASSERT_EQ(Model().DialogCount(), 2);
    EXPECT_EQ(Model().Dialogs()->LinkDialog[0], Model().DialogAt(1));
    EXPECT_EQ(window->Tree->topLevelItemCount(), 2);
    EXPECT_EQ(DialogNode(0)->childCount(), 1);
    EXPECT_TRUE(Model().ProjectFileName.empty());
    EXPECT_FALSE(Model().Modified);
    EXPECT_EQ(window->OpenDialog2.fileName, QStringLiteral("intro.erm"));

    Model().Modified = true;
    seam->ExpectSave(std::nullopt);
    window->N4Click();
    QFile again(ini);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), iniBytes) << "the INI file is never overwritten";
}

} // namespace
} // namespace kv::test
