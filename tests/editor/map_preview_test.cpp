// The map and the ERM preview over the example project: a click on a box names its dialog, and
// the preview shows what the compile writes for each dialog, or why it cannot.
#include "editor_fixture.h"

#include "editor/dialog_map_view.h"
#include "editor/erm_preview.h"
#include "editor/qt_text.h"
#include "erm/generator.h"
#include "project/tlk_file.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace kv::test {
namespace {

using MapInTheWindow = EditorTest;

TEST_F(MapInTheWindow, AClickOnABoxSelectsItsDialogAndThePreviewShowsItsCode) {
    Project example = LoadProject(KORV_EXAMPLES "/tavern.tlk");
    OpenProject(example);
    window->resize(1200, 800);
    DialogMapView& map = *window->Map;
    QSignalSpy finished(&map, &DialogMapView::LayoutFinished);
    window->Map1->trigger(); // shown: laid out now
    window->Preview1->trigger();
    ASSERT_TRUE(finished.wait(30000));
    for (int d = P().DialogCount(); d-- > 0;) {
        const QRectF box = map.BoxRect(d);
        ASSERT_FALSE(box.isEmpty()) << d;
        map.centerOn(box.center());
        QTest::mouseClick(map.viewport(), Qt::LeftButton, {}, map.mapFromScene(box.center()));
        EXPECT_EQ(Selected(), DialogNode(d));
        std::string block;
        AppendDialogCode(block, *P().DialogAt(d));
        EXPECT_EQ(window->Preview->toPlainText(), FromCp1251(block).mid(2)) << d;
    }
}

TEST(ErmPreview, MarksTheSelectedAnswerOrSaysWhyADialogCannotCompile) {
    Project project = LoadProject(KORV_EXAMPLES "/tavern.tlk");
    ErmPreview preview(project); // the code of each dialog: see the window's test above
    preview.show(); // a hidden preview makes no text

    // The answer chosen is marked: its caption and its follow-up, nothing of the next answer.
    TDialogItem& first = *project.Dialogs();
    ASSERT_TRUE(first.HasFollowUp(0) && first.SlotInUse(1));
    preview.ShowPlace({0, 0});
    QStringList marked;
    for (const QTextEdit::ExtraSelection& mark : preview.extraSelections())
        marked << mark.cursor.block().text();
    const QString follow = QStringLiteral("!!FU%1&y-3=1:PE;").arg(first.FollowUp(0));
    EXPECT_TRUE(marked.contains(follow)) << marked.join(u'\n').toStdString();
    EXPECT_TRUE(marked.filter(QStringLiteral("!!VRz1:S^")).size() == 1);
    EXPECT_TRUE(marked.filter(QStringLiteral("z2")).isEmpty());
    EXPECT_TRUE(marked.filter(QStringLiteral("=2")).isEmpty());

    // An edit shows after the burst of edits, here as the compile's refusal.
    first.VariantEscape = 40;
    preview.ProjectChanged();
    QCoreApplication::processEvents();
    EXPECT_TRUE(preview.toPlainText().contains(QStringLiteral("VariantEscape = 40")));
}

} // namespace
} // namespace kv::test
