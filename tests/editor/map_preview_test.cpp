// The map and the ERM preview over the example project: a click on a box names its dialog, and
// the preview shows what the compile writes for each dialog, or why it cannot.
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

TEST(DialogMap, AClickOnABoxActivatesItsDialog) {
    const Project project = LoadProject(KORV_EXAMPLES "/tavern.tlk");
    DialogMapView map(project);
    map.resize(900, 700);
    map.show();
    QSignalSpy finished(&map, &DialogMapView::LayoutFinished);
    map.ProjectChanged();
    ASSERT_TRUE(finished.wait(30000));
    std::vector<Place> activated;
    QObject::connect(&map, &DialogMapView::PlaceActivated,
                     [&](Place place) { activated.push_back(place); });
    for (int d = 0; d < project.DialogCount(); ++d) {
        const QRectF box = map.BoxRect(d);
        ASSERT_FALSE(box.isEmpty()) << d;
        map.centerOn(box.center());
        QTest::mouseClick(map.viewport(), Qt::LeftButton, {}, map.mapFromScene(box.center()));
        ASSERT_EQ(activated.size(), static_cast<std::size_t>(d + 1));
        EXPECT_EQ(activated.back(), (Place{d, -1}));
    }
}

TEST(ErmPreview, ShowsTheCompiledBlockOfEachDialogOrWhyItCannot) {
    Project project = LoadProject(KORV_EXAMPLES "/tavern.tlk");
    ErmPreview preview(project);
    int d = 0;
    for (TDialogItem* dialog = project.Dialogs(); dialog; dialog = dialog->Next, ++d) {
        std::string block;
        AppendDialogCode(block, *dialog);
        preview.ShowPlace({d, -1});
        EXPECT_EQ(preview.toPlainText(), FromCp1251(block).mid(2)) << d;
    }

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
