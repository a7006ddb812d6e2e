// The settings file: read when the window is first shown, written when it closes.
#include "editor_fixture.h"

#include "app/qt_translations.h"
#include "app/settings_location.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "project/settings.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
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
        Settings odd{"?", -1, -1, -1, -1, -1, -1, -1, -1, -1, {}, {}};
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

TEST_F(SettingsTest, ANarrowPanelIsWidenedAndAWindowOffTheScreenComesBack) {
    for (const char* panel : {"0", "-40", "3", "199"}) {
        Restart(QByteArray("[Options]\r\nPanel=") + panel + "\r\n");
        EXPECT_EQ(window->PanelWidth(), kUsablePanelWidth) << "Panel=" << panel;
    }
    Restart("[Options]\r\nLeft=5000\r\nTop=-3000\r\nWidth=9000\r\n[Text]\r\nLeft=-900\r\n");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (QWidget* w : {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(form)})
        EXPECT_TRUE(screen.contains(QRect(w->pos(), w->size()))) << w->objectName().toStdString();
    Restart("[Options]\r\nWidth=wide\r\nPanel=\r\n");
    window->close();
    EXPECT_EQ(Stored(), Text(Settings{}));
}

TEST_F(SettingsTest, RecentProjectsAreKeptAndAMissingOneIsReportedAndDropped) {
    Project p;
    AddDialog(p, 1000, "a");
    const QString a = OpenProject(p, QStringLiteral("a.tlk"));
    const QString b = OpenProject(p, QStringLiteral("b.tlk"));
    window->close();
    Restart(ReadFile(settingsFile));
    QList<QAction*> items = window->RecentMenu->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0]->text().startsWith(QStringLiteral("&1 b.tlk")));
    QFile::remove(b);
    seam->ExpectMessage();
    items[0]->trigger();
    EXPECT_TRUE(seam->LastCall().text.contains(QStringLiteral("b.tlk")));
    EXPECT_EQ(window->RecentProjects(), std::vector<std::string>{ToCp1251(a)});
    window->RecentMenu->actions().constFirst()->trigger();
    EXPECT_EQ(FromUtf8Path(P().ProjectFileName), a);
}

TEST(QtTexts, TheStandardButtonsSpeakRussian) {
    ASSERT_TRUE(LoadRussianQtTexts()) << "qtbase_ru is missing (qt6-translations-l10n)";
    QMessageBox box(QMessageBox::Warning, {}, {}, QMessageBox::Yes | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), Q("&Да"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), Q("Отмена"));
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
