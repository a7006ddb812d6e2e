// New, open, save, save as, close and the INI import: every answer of the unsaved-changes
// question and the failures that must not lose work; compiling and the script file; and what is
// being typed into a grid when such a command comes.
#include "editor_fixture.h"
#include "korvanthiel_version.h"
#include "editor/project_document.h"

#include "editor/property_grids.h"
#include "editor/qt_text.h"
#include "project/tlk_file.h"

#include <QFile>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <new>
#include <stdexcept>

namespace kv::test {
namespace {

class LifecycleTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Project p;
        p.FunctionStart = 2000;
        p.ScriptFile = "quest.erm";                    // relative: beside the project file
        SetSlot(AddDialog(p, 2000, "first"), 0, "go"); // compiled: it has an answer
        AddDialog(p, 2001, "second");
        projectPath = OpenProject(p, QStringLiteral("quest.tlk"));
        ASSERT_EQ(P().DialogCount(), 2);
    }
    // An unsaved change, made through the document as every edit is.
    void Change() {
        window->Document().Push(
            ChangeValues({{{FieldId::Header, 0, 0}, FieldValue::Text("changed")}}));
    }
    static std::string SavedHeader(const QString& path) {
        return LoadProject(ToUtf8Path(path)).Dialogs()->Header.str();
    }
    // The caption as the window shows it once it waits for the user again.
    QString Caption() {
        QEventLoop idle;
        QTimer::singleShot(0, &idle, &QEventLoop::quit);
        idle.exec();
        return window->windowHandle()->title();
    }
    // A file name the save cannot write: its folder does not exist.
    QString Unwritable() const { return TempPath(QStringLiteral("missing/folder/x.tlk")); }

    QString projectPath;
};

TEST_F(LifecycleTest, CancelKeepsTheProjectNoDropsItAndYesSavesItFirst) {
    Change();
    seam->ExpectQuestion(MessageAnswer::Cancel);
    window->ToolButton1->click();
    EXPECT_EQ(seam->LastCall().text, Q("Проект не сохранен. Вы хотите сохранить его?"));
    EXPECT_EQ(P().DialogCount(), 2);
    EXPECT_EQ(Caption(), Q("quest.tlk* — Korvanthiel " KORV_VERSION));

    seam->ExpectQuestion(MessageAnswer::No);
    window->N2->trigger();
    EXPECT_EQ(ModelText(P()), "");
    EXPECT_EQ(Caption(), Q("Без имени — Korvanthiel " KORV_VERSION)); // no file name, no changes
    EXPECT_TRUE(P().ScriptFile.empty());
    EXPECT_EQ(P().FunctionStart, 2000);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(SavedHeader(projectPath), "");

    OpenThroughMenu(projectPath); // unchanged: nothing is asked
    EXPECT_EQ(Caption(), Q("quest.tlk — Korvanthiel " KORV_VERSION));
    Change();
    seam->ExpectQuestion(MessageAnswer::Yes);
    window->ToolButton1Click();
    EXPECT_EQ(SavedHeader(projectPath), "changed");
    EXPECT_EQ(P().DialogCount(), 0);
}

TEST_F(LifecycleTest, AFailedOrCancelledSaveStopsTheCommandThatAskedForIt) {
    Change();
    P().ProjectFileName = ToUtf8Path(Unwritable());
    seam->ExpectQuestion(MessageAnswer::Yes).ExpectMessage();
    window->ToolButton1Click();
    EXPECT_EQ(seam->LastCall().icon, MessageIcon::Error);
    EXPECT_EQ(P().DialogCount(), 2) << "the project must survive a failed save";
    seam->ExpectQuestion(MessageAnswer::Yes).ExpectMessage();
    window->close();
    EXPECT_TRUE(window->isVisible());
    seam->ExpectMessage();
    window->N4->trigger();
    EXPECT_TRUE(P().Modified);

    // Without a file name Yes asks for one; that dialog cancelled, every calling command stops.
    P().ProjectFileName.clear();
    for (auto command : {&TMain::ToolButton1Click, &TMain::N3Click, &TMain::INI1Click,
                         &TMain::N8Click}) {
        seam->ExpectQuestion(MessageAnswer::Yes).ExpectSave(std::nullopt);
        (window.get()->*command)();
        EXPECT_EQ(P().Dialogs()->Header, "changed");
        EXPECT_TRUE(window->isVisible());
    }
}

TEST_F(LifecycleTest, AnOpenThatIsCancelledMissingOrFailingLeavesTheProjectAsItWas) {
    const QString broken = TempPath(QStringLiteral("broken.tlk"));
    WriteFile(broken, "not a number\r\n");
    Change();
    ClickNode(DialogNode(1));
    seam->ExpectQuestion(MessageAnswer::No).ExpectOpen(std::nullopt);
    seam->ExpectQuestion(MessageAnswer::No).ExpectOpen(TempPath(QStringLiteral("none.tlk")));
    seam->ExpectQuestion(MessageAnswer::No).ExpectOpen(broken).ExpectMessage();
    for (int k = 0; k < 3; ++k)
        window->ToolButton2->click();
    EXPECT_EQ(seam->LastCall().icon, MessageIcon::Error);
    EXPECT_EQ(P().Dialogs()->Header, "changed");
    EXPECT_TRUE(P().Modified);
    EXPECT_EQ(FromUtf8Path(P().ProjectFileName), projectPath);
    EXPECT_EQ(OutlineText(), "first [0]\n  go [3]\nsecond [1]\n");
    EXPECT_EQ(Selected(), DialogNode(1));
}

TEST_F(LifecycleTest, AnImportedIniProjectHasNoFileNameSoTheFirstSaveNeverWritesOverIt) {
    const QString ini = TempPath(QStringLiteral("project.ini"));
    const QByteArray bytes =
        "[Main]\r\nFunctionStart=1000\r\nFunctionEnd=1000\r\n[1000]\r\nHint=Greeting\r\n";
    WriteFile(ini, bytes);
    seam->ExpectOpen(ini);
    window->INI1->trigger();
    EXPECT_EQ(OutlineText(), "Greeting [1]\n");
    P().Modified = true;
    seam->ExpectSave(std::nullopt);
    window->N4Click();
    EXPECT_EQ(ReadFile(ini), bytes);
}

TEST_F(LifecycleTest, SaveSaveAsAndCompileTakeTheValueBeingTypedOrStopAtABadNumber) {
    const QString script = TempPath(QStringLiteral("quest.erm"));
    seam->ExpectMessage();
    Press(Qt::Key_F9);
    EXPECT_EQ(seam->LastCall().text, Q("Не найден выходной файл!"));
    EXPECT_EQ(seam->LastCall().icon, MessageIcon::Error);

    WriteFile(script, "ZVSE\r\n");
    const QString other = TempPath(QStringLiteral("other.tlk"));
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
    EXPECT_EQ(seam->LastCall().icon, MessageIcon::Information);

    // A refused number: the error, and no save dialog, no file written.
    for (const auto& c : commands) {
        const QByteArray before = ReadFile(c.written);
        TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("lost"));
        TypeIntoCell(window->v1, dialog_row::Escape, QStringLiteral("x"));
        seam->ExpectMessage();
        Press(c.key, c.modifiers);
        EXPECT_EQ(seam->LastCall().icon, MessageIcon::Error);
        EXPECT_EQ(ReadFile(c.written), before) << c.written.toStdString();
    }
}

TEST_F(LifecycleTest, CompileAsksOnceBeforeWritingWhenTheProjectHasErrors) {
    const QString script = TempPath(QStringLiteral("quest.erm"));
    WriteFile(script, "ZVSE\r\n!?FU2001;\r\n"); // the script's own text defines 2001 too
    P().Dialogs()->Header = "a^b";
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        seam->ExpectQuestion(answer);
        if (answer == MessageAnswer::Yes) seam->ExpectMessage();
        Press(Qt::Key_F9);
        EXPECT_EQ(ReadFile(script).contains("Korvanthiel data begin"),
                  answer == MessageAnswer::Yes);
    }
    EXPECT_EQ(seam->Texts(ScriptedSeam::Kind::Question),
              QStringList(2, Q("В проекте 2 ошибки. Компилировать всё равно?")));
    EXPECT_TRUE(seam->Finished());
}

TEST_F(LifecycleTest, CloseAsksAboutTheValueBeingTypedAlsoWhenTheGridRefusesIt) {
    ClickNode(DialogNode(0));
    TypeIntoCell(window->v1, dialog_row::Header, QStringLiteral("typed"));
    seam->ExpectQuestion(MessageAnswer::Cancel);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(P().Dialogs()->Header, "typed");
    EXPECT_TRUE(P().Modified);

    // Saved; then only a bad number typed: nothing could be stored, the question comes anyway.
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(P().Modified);
    TypeIntoCell(window->v1, dialog_row::Escape, QStringLiteral("x"));
    seam->ExpectMessage().ExpectQuestion(MessageAnswer::No);
    window->close();
    EXPECT_FALSE(window->isVisible());
}

// A file dialog that fails, as any step of a command may, with any exception at all.
struct FailingSeam : ScriptedSeam {
    std::optional<QString> OpenFile(const FileDialogRequest& request) override {
        if (fail) std::exchange(fail, nullptr)();
        return ScriptedSeam::OpenFile(request);
    }
    std::function<void()> fail;
};

TEST_F(LifecycleTest, ACommandThatFailsInAnyWayIsReportedAndLeavesTheProject) {
    auto failing = std::make_unique<FailingSeam>();
    FailingSeam& failer = *failing;
    seam = failing.get();
    window->SetModalSeam(std::move(failing));
    Change();
    const std::string before = ModelText(P());
    const struct {
        QAction* command;
        std::function<void()> fail;
        QString shown;
    } cases[] = {
        {window->N3, [] { throw std::bad_alloc(); }, Q("Недостаточно памяти")},
        {window->INI1, [] { throw std::runtime_error("torn"); }, QStringLiteral("torn")},
        {window->N20, [] { throw Error("Ошибка ядра"); }, Q("Ошибка ядра")},
    };
    for (const auto& c : cases) {
        if (c.command != window->N20) seam->ExpectQuestion(MessageAnswer::No);
        seam->ExpectMessage();
        failer.fail = c.fail;
        c.command->trigger();
        EXPECT_EQ(seam->LastCall().text, c.shown);
        EXPECT_EQ(seam->LastCall().icon, MessageIcon::Error);
        EXPECT_EQ(ModelText(P()), before);
        EXPECT_TRUE(P().Modified);
        EXPECT_EQ(OutlineText(), "first [0]\n  go [3]\nsecond [1]\n");
    }
    // The project file chosen as its script, here through a link, is refused.
    const QString link = TempPath(QStringLiteral("link.erm"));
    ASSERT_TRUE(QFile::link(projectPath, link));
    seam->ExpectOpen(link).ExpectMessage();
    window->N20->trigger();
    EXPECT_TRUE(seam->LastCall().text.contains(Q("не может быть файлом проекта")));
    EXPECT_EQ(P().ScriptFile, "quest.erm");
}

TEST_F(LifecycleTest, TheScriptChooserRefusesAPathWindows1251CannotHold) {
    const QString chosen = TempPath(Q("Скрипты/main.erm"));
    seam->ExpectOpen(chosen);
    window->N20->trigger();
    P().Modified = false;
    seam->ExpectOpen(TempPath(Q("脚本.erm"))).ExpectMessage();
    window->N20Click();
    EXPECT_EQ(seam->LastCall().icon, MessageIcon::Error);
    EXPECT_EQ(P().ScriptFile, ToCp1251(chosen));
    EXPECT_FALSE(P().Modified);
}

TEST_F(LifecycleTest, FileDialogsStartInAFolderThatExistsBesideTheScriptOrTheProject) {
    const QString here = QFileInfo(projectPath).absolutePath();
    const QString scripts = TempPath(QStringLiteral("scripts"));
    ASSERT_TRUE(QDir().mkpath(scripts));
    const QString elsewhere = TempPath(QStringLiteral("missing"));
    const struct {
        std::string script; // ScriptFile before the command; "-" for a new project
        QString maps;
        void (TMain::*command)();
        QString folder, preset;
    } cases[] = {
        // The maps folder of a first run is a Windows path, not a folder here.
        {"quest.erm", window->MapsFolder(), &TMain::N3Click, here, {}},
        {"quest.erm", elsewhere, &TMain::N20Click, here, QStringLiteral("quest.erm")},
        {ToCp1251(scripts + QStringLiteral("/main.erm")), elsewhere, &TMain::N20Click, scripts,
         QStringLiteral("main.erm")},
        {"gone/main.erm", scripts, &TMain::N20Click, here, QStringLiteral("main.erm")},
        {"quest.erm", scripts, &TMain::N3Click, scripts, {}},
        {"-", elsewhere, &TMain::N3Click, QDir::homePath(), {}},
    };
    for (const auto& c : cases) {
        if (c.script == "-") window->ToolButton1Click();
        else P().ScriptFile = c.script;
        seam->ExpectPrompt(c.maps);
        window->maps1Click();
        seam->ExpectOpen(std::nullopt);
        (window.get()->*c.command)();
        EXPECT_EQ(seam->LastCall().folder, c.folder) << c.script;
        EXPECT_EQ(seam->LastCall().preset, c.preset) << c.script;
    }
}

} // namespace
} // namespace kv::test
