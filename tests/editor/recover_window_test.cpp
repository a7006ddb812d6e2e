// "Импорт из скрипта...": the unsaved-changes question, the example's compiled script recovered
// into a project without a file name, what could not be recovered shown, and a failure shown.
#include "editor_fixture.h"

#include "editor/qt_text.h"
#include "erm/splice.h"
#include "project/tlk_file.h"

namespace kv::test {
namespace {

TEST_F(EditorTest, AProjectIsRecoveredFromTheExamplesCompiledScript) {
    Project first;
    AddDialog(first, 10, "first");
    OpenProject(first);
    P().Modified = true;
    const std::string stamp = "01.01.2024 00:00:00";
    const std::string script =
        SpliceScript("ZVSE\r\n", LoadProject(KORV_EXAMPLES "/tavern.tlk"), stamp);
    const QString path = TempPath(QStringLiteral("map.erm"));
    WriteFile(path, QByteArray::fromStdString(script));

    seam->ExpectQuestion(MessageAnswer::Cancel);
    window->ERM1->trigger();
    EXPECT_EQ(P().DialogCount(), 1);

    seam->ExpectQuestion(MessageAnswer::No).ExpectOpen(path).ExpectMessage();
    window->ERM1->trigger();
    EXPECT_EQ(SpliceScript(script, P(), stamp), script);
    EXPECT_EQ(Rows(), 4);
    EXPECT_TRUE(P().ProjectFileName.empty());
    EXPECT_EQ(FromCp1251(P().ScriptFile), path);
    EXPECT_TRUE(seam->LastCall().text.contains(QStringLiteral("строка 132: функция 1003")));

    WriteFile(path, "ZVSE\r\n"); // never compiled: an error, and the project stays
    seam->ExpectOpen(path).ExpectMessage();
    window->ERM1->trigger();
    EXPECT_EQ(seam->LastCall().icon, MessageIcon::Error);
    EXPECT_EQ(P().DialogCount(), 4);
    EXPECT_TRUE(seam->Finished());
}

} // namespace
} // namespace kv::test
