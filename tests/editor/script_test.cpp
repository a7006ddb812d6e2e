// The script file: choosing it, and compiling the project into it.
#include "editor_fixture.h"

#include "editor/qt_text.h"
#include "erm/splice.h"
#include "text/cp1251.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace kv::test {
namespace {

class ScriptTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Project p;
        p.ScriptFile = "quest.erm"; // relative: beside the project file
        AddDialog(p, 3000, "Merchant").Variant[0] = "Buy";
        QDir().mkpath(TempPath(QStringLiteral("maps")));
        OpenThroughMenu(WriteProject(p, QStringLiteral("maps/quest.tlk")));
        scriptPath = TempPath(QStringLiteral("maps/quest.erm"));
    }
    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray ReadFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString scriptPath;
};

TEST_F(ScriptTest, CompileWritesTheScriptBesideTheProjectAndSaysSo) {
    WriteFile(scriptPath, "user line\r\n");
    // The relative path is taken from the project's folder, not the working folder.
    const QString working = QDir::currentPath();
    QDir::setCurrent(TempPath(QString()));
    seam->ExpectMessage();
    QTest::keyClick(window->Tree, Qt::Key_F9);
    QDir::setCurrent(working);
    ASSERT_NE(seam->LastCall(), nullptr);
    EXPECT_EQ(seam->LastCall()->text, QStringLiteral("Скрипт успешно ИСПОРЧЕН! Приятной работы)"));
    EXPECT_EQ(seam->LastCall()->caption, QStringLiteral("Korvanthiel"));
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Information);
    const QByteArray script = ReadFile(scriptPath);
    EXPECT_TRUE(script.startsWith("user line\r\n\n;Korvanthiel data begin>>>>>\n;"));
    // The stamp carries today's date as the user's locale writes it.
    const QString today = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_TRUE(script.contains(QByteArray::fromStdString(ToCp1251(today))));
    EXPECT_FALSE(Model().Modified);
}

TEST_F(ScriptTest, CompileReportsAMissingOrUnwritableScript) {
    seam->ExpectMessage();
    window->ToolButton9->click();
    EXPECT_EQ(seam->LastCall()->text, QStringLiteral("Не найден выходной файл!"));
    EXPECT_EQ(seam->LastCall()->caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);

    // A folder where the script should be: not a success.
    QDir().mkpath(scriptPath);
    seam->ExpectMessage();
    window->N11->trigger();
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);
    EXPECT_NE(seam->LastCall()->text, QStringLiteral("Скрипт успешно ИСПОРЧЕН! Приятной работы)"));
}

TEST_F(ScriptTest, ChoosingTheScriptMarksTheProjectAndRefusesPathsCp1251CannotHold) {
    seam->ExpectOpen(std::nullopt);
    window->N20->trigger();
    const ScriptedSeam::Call& call = *seam->LastCall();
    EXPECT_EQ(call.file.title, QStringLiteral("Выбор файла скрипта"));
    EXPECT_EQ(call.file.filter, QStringLiteral("Файлы ERM (*.erm)|*.erm|Все файлы|*.*"));
    EXPECT_EQ(call.file.fileName, QStringLiteral("quest.erm"));
    EXPECT_EQ(call.file.folder, window->MapsFolder());
    EXPECT_FALSE(Model().Modified);

    const QString chosen = TempPath(QStringLiteral("Скрипты/main.erm"));
    seam->ExpectOpen(chosen);
    window->N20Click();
    EXPECT_EQ(Model().ScriptFile, ToCp1251(chosen));
    EXPECT_TRUE(Model().Modified);
    seam->ExpectOpen(std::nullopt);
    window->N20Click();
    EXPECT_EQ(seam->LastCall()->file.fileName, chosen) << "the chooser keeps the last choice";

    Model().Modified = false;
    seam->ExpectOpen(TempPath(QStringLiteral("脚本.erm"))).ExpectMessage();
    window->N20Click();
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);
    EXPECT_TRUE(seam->LastCall()->text.contains(QStringLiteral("脚本.erm")));
    EXPECT_EQ(Model().ScriptFile, ToCp1251(chosen));
    EXPECT_FALSE(Model().Modified);
}

} // namespace
} // namespace kv::test
