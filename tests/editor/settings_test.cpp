// The settings file: read when the window is first shown, written when it closes.
#include "editor_fixture.h"

#include "app/settings_location.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "project/settings.h"

#include <QSplitter>
#include <QTest>

namespace kv::test {
namespace {

// The ten values in short: "maps WxH+L+T panel P text WxH+L+T".
std::string Text(const Settings& s) {
    auto place = [](int w, int h, int l, int t) {
        return std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(l) + "+" +
               std::to_string(t);
    };
    return s.Maps + " " + place(s.Width, s.Height, s.Left, s.Top) + " panel " +
           std::to_string(s.Panel) + " text " +
           place(s.TextWidth, s.TextHeight, s.TextLeft, s.TextTop);
}

class SettingsTest : public EditorTest {
protected:
    void Restart(const QByteArray& settings) {
        CloseWindow();
        window.reset();
        WriteFile(settingsFile, settings);
        StartWindow();
    }
    // What the file holds, each value read with a default no window would have.
    std::string Stored() const {
        Settings odd{"?", -1, -1, -1, -1, -1, -1, -1, -1, -1};
        return Text(ReadSettings(ToUtf8Path(settingsFile), odd));
    }
};

TEST_F(SettingsTest, AFirstRunUsesTheDesignedPlacesAndWritesAllTenValuesAtClose) {
    EXPECT_FALSE(QFile::exists(settingsFile)) << "reading creates nothing";
    window->close();
    EXPECT_EQ(Stored(), Text(Settings{}));
}

TEST_F(SettingsTest, StoredPlacesAreRestoredAndTheNormalPlacesWrittenBack) {
    Restart("[Options]\r\nMaps=/srv/maps/\r\nWidth=800\r\nHeight=600\r\nLeft=40\r\nTop=30\r\n"
            "Panel=300\r\n[Text]\r\nWidth=400\r\nHeight=250\r\nLeft=15\r\nTop=25\r\n");
    EXPECT_EQ(QRect(window->pos(), window->size()), QRect(40, 30, 800, 600));
    EXPECT_EQ(window->MapsFolder(), QStringLiteral("/srv/maps/"));
    window->resize(900, 600);
    QTest::qWait(0);
    EXPECT_EQ(window->PanelWidth(), 300) << "the panel keeps its width when the window grows";

    window->move(70, 80);
    window->Splitter1->setSizes({500, 350});
    seam->ExpectPrompt(Q("/другие/карты"));
    window->maps1Click();
    window->showMaximized(); // the normal places are what is stored
    QTest::qWait(0);
    window->close();
    EXPECT_EQ(Stored(), W("/другие/карты") + " 900x600+70+80 panel 350 text 400x250+15+25");
}

TEST_F(SettingsTest, APanelStoredTooNarrowGetsTheMinimumAndNoNumbersGetTheDefaults) {
    for (const char* panel : {"0", "-40", "3"}) {
        Restart(QByteArray("[Options]\r\nPanel=") + panel + "\r\n");
        EXPECT_EQ(window->PanelWidth(), kMinimumPanelWidth) << "Panel=" << panel;
    }
    Restart("[Options]\r\nWidth=wide\r\nPanel=\r\n");
    window->close();
    EXPECT_EQ(Stored(), Text(Settings{}));
}

TEST_F(SettingsTest, AnUnwritableSettingsFileIsReportedAndTheWindowStillCloses) {
    CloseWindow();
    window.reset();
    // Under a plain file no folder can be made, not even by root.
    WriteFile(TempPath(QStringLiteral("blocker")), "");
    settingsFile = TempPath(QStringLiteral("blocker/korvanthiel.ini"));
    StartWindow();
    seam->ExpectMessage();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(seam->LastCall().icon, MessageIcon::Error);
    EXPECT_TRUE(seam->LastCall().text.contains(QStringLiteral("korvanthiel.ini")));
}

} // namespace
} // namespace kv::test
