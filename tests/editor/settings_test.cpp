// The settings file: read when the window is first shown, written when it closes.
#include "editor_fixture.h"

#include "app/settings_location.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "project/settings.h"

#include <QDir>
#include <QFile>
#include <QSplitter>
#include <QTest>

namespace kv::test {
namespace {

class SettingsTest : public EditorTest {
protected:
    void Restart(const QByteArray& settings) {
        CloseWindow();
        window.reset();
        QFile f(settingsFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(settings);
        f.close();
        StartWindow();
    }
    // What the file holds, each value read with a default no window would have.
    Settings Stored() const {
        Settings odd;
        odd.Maps = "?";
        odd.Width = odd.Height = odd.Left = odd.Top = odd.Panel = -999;
        odd.TextWidth = odd.TextHeight = odd.TextLeft = odd.TextTop = -999;
        return ReadSettings(ToUtf8Path(settingsFile), odd);
    }
};

TEST_F(SettingsTest, FirstRunUsesTheDesignedPlacesAndWritesAllTenKeysAtClose) {
    EXPECT_FALSE(QFile::exists(settingsFile)) << "reading creates nothing";
    EXPECT_EQ(window->pos(), QPoint(197, 103));
    EXPECT_EQ(window->size(), QSize(722, 502));
    EXPECT_EQ(form->pos(), QPoint(192, 103));
    EXPECT_EQ(form->size(), QSize(596, 293));
    EXPECT_EQ(window->PanelWidth(), 254);
    EXPECT_EQ(window->MapsFolder(), QStringLiteral("C:\\Games\\Valdmarsk\\Maps\\"));

    window->close();
    const Settings s = Stored();
    EXPECT_EQ(s.Maps, "C:\\Games\\Valdmarsk\\Maps\\");
    EXPECT_EQ(s.Width, 722);
    EXPECT_EQ(s.Height, 502);
    EXPECT_EQ(s.Left, 197);
    EXPECT_EQ(s.Top, 103);
    EXPECT_EQ(s.Panel, 254);
    EXPECT_EQ(s.TextWidth, 596);
    EXPECT_EQ(s.TextHeight, 293);
    EXPECT_EQ(s.TextLeft, 192);
    EXPECT_EQ(s.TextTop, 103);
}

TEST_F(SettingsTest, StoredPlacesAreRestoredAndChangesWrittenBack) {
    Restart("[Options]\r\nMaps=/srv/maps/\r\nWidth=800\r\nHeight=600\r\nLeft=40\r\nTop=30\r\n"
            "Panel=300\r\n[Text]\r\nWidth=400\r\nHeight=250\r\nLeft=15\r\nTop=25\r\n");
    EXPECT_EQ(window->size(), QSize(800, 600));
    EXPECT_EQ(window->pos(), QPoint(40, 30));
    EXPECT_EQ(window->PanelWidth(), 300);
    EXPECT_EQ(form->size(), QSize(400, 250));
    EXPECT_EQ(form->pos(), QPoint(15, 25));
    EXPECT_EQ(window->MapsFolder(), QStringLiteral("/srv/maps/"));

    // The panel keeps its width when the window grows.
    window->resize(900, 600);
    QTest::qWait(0);
    EXPECT_EQ(window->PanelWidth(), 300);

    window->move(70, 80);
    window->Splitter1->setSizes({500, 350});
    seam->ExpectPrompt(QStringLiteral("/другие/карты"));
    window->maps1Click();
    window->close();
    const Settings s = Stored();
    EXPECT_EQ(s.Width, 900);
    EXPECT_EQ(s.Left, 70);
    EXPECT_EQ(s.Top, 80);
    EXPECT_EQ(s.Panel, 350);
    EXPECT_EQ(FromCp1251(s.Maps), QStringLiteral("/другие/карты"));
    EXPECT_EQ(s.TextWidth, 400);
}

TEST_F(SettingsTest, APanelStoredNarrowerThanTenGetsTen) {
    for (const char* panel : {"0", "-40", "3"}) {
        Restart(QByteArray("[Options]\r\nPanel=") + panel + "\r\n");
        EXPECT_EQ(window->PanelWidth(), kMinimumPanelWidth) << "Panel=" << panel;
    }
    // Values that are no numbers fall back to the designed ones.
    Restart("[Options]\r\nWidth=wide\r\nPanel=\r\n");
    EXPECT_EQ(window->width(), 722);
    EXPECT_EQ(window->PanelWidth(), 254);
}

TEST_F(SettingsTest, AMaximisedWindowStoresItsNormalPlace) {
    window->resize(640, 480);
    window->move(20, 30);
    window->showMaximized();
    QTest::qWait(0);
    window->close();
    const Settings s = Stored();
    EXPECT_EQ(s.Width, 640);
    EXPECT_EQ(s.Height, 480);
    EXPECT_EQ(s.Left, 20);
    EXPECT_EQ(s.Top, 30);
}

TEST_F(SettingsTest, AnUnwritableSettingsFileIsReportedAndTheWindowStillCloses) {
    CloseWindow();
    window.reset();
    // A settings file under a plain file: no folder can be made there, not even by root.
    QFile blocker(TempPath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    settingsFile = TempPath(QStringLiteral("blocker/korvanthiel.ini"));
    StartWindow();
    seam->ExpectMessage();
    window->close();
    EXPECT_FALSE(window->isVisible());
    ASSERT_NE(seam->LastCall(), nullptr);
    EXPECT_EQ(seam->LastCall()->icon, MessageIcon::Error);
    EXPECT_TRUE(seam->LastCall()->text.startsWith(QStringLiteral("Unable to write to ")));
    EXPECT_TRUE(seam->LastCall()->text.contains(QStringLiteral("korvanthiel.ini")));
}

TEST(SettingsLocation, BesideTheProgramUnlessItsFolderIsClosedAndHoldsNoFile) {
    QTemporaryDir program;
    QTemporaryDir config;
    const QString configFile = QDir(config.path()).filePath(QStringLiteral("korvanthiel.ini"));
    const QString besideFile = QDir(program.path()).filePath(QStringLiteral("korvanthiel.ini"));
    EXPECT_EQ(ChooseSettingsFile(program.path(), config.path()), besideFile);

    // A folder that cannot be written (here: one that is not there) without a settings file.
    const QString closed = QDir(program.path()).filePath(QStringLiteral("usr/bin"));
    EXPECT_EQ(ChooseSettingsFile(closed, config.path()), configFile);

    // A portable copy that has its settings file keeps it.
    QFile f(besideFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(ChooseSettingsFile(program.path(), config.path()), besideFile);
}

} // namespace
} // namespace kv::test
