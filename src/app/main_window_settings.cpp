// The settings file: read when the main window is first shown, written when it closes.
#include "app/main_window.h"

#include "app/settings_location.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"
#include "project/settings.h"
#include "text/error.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSplitter>

#include <algorithm>

namespace kv {

namespace {

// A window's normal-state frame position and client size, also while it is maximised or
// minimised.
QRect NormalPlacement(const QWidget& window) {
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry()
                                                           : window.geometry();
    const QPoint frameOffset = window.geometry().topLeft() - window.pos();
    return QRect(normal.topLeft() - frameOffset, normal.size());
}

void PlaceWidget(QWidget& window, int width, int height, int left, int top) {
    window.resize(width, height);
    window.move(left, top);
}

// A window stored where no screen is now (a monitor taken away, a lower resolution) comes back
// onto the primary screen, no larger than it. It counts as reachable while a piece of its top
// edge, where the title bar is, can be grabbed on some screen.
void KeepOnScreen(QWidget& window) {
    const QRect grip(window.pos(), QSize(window.width(), 24));
    const QSize needed(std::min(window.width(), 80), 16);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(grip);
        if (seen.width() >= needed.width() && seen.height() >= needed.height()) return;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) return;
    const QRect area = primary->availableGeometry();
    const QSize size = window.size().boundedTo(area.size() - QSize(40, 60));
    window.resize(size);
    window.move(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2);
}

} // namespace

void TMain::FormShow() {
    Settings defaults;
    defaults.Maps = ToCp1251(mapsFolder_);
    defaults.Width = width();
    defaults.Height = height();
    defaults.Left = x();
    defaults.Top = y();
    if (Form2 != nullptr) {
        defaults.TextWidth = Form2->width();
        defaults.TextHeight = Form2->height();
        defaults.TextLeft = Form2->x();
        defaults.TextTop = Form2->y();
    }
    defaults.Panel = Splitter1->sizes().value(1, defaults.Panel);
    defaults.Docks.clear();

    const Settings s = ReadSettings(ToUtf8Path(settingsFile_), defaults);
    mapsFolder_ = FromCp1251(s.Maps);
    // Projects opened before the settings were read (named on the command line) stay newest.
    std::vector<std::string> recent = s.Recent;
    for (auto it = recent_.rbegin(); it != recent_.rend(); ++it) RememberProject(recent, *it);
    recent_ = std::move(recent);
    FillRecentMenu();
    if (!s.Docks.empty()) restoreState(QByteArray::fromHex(QByteArray::fromStdString(s.Docks)));
    PlaceWidget(*this, s.Width, s.Height, s.Left, s.Top);
    KeepOnScreen(*this);
    if (Form2 != nullptr) {
        PlaceWidget(*Form2, s.TextWidth, s.TextHeight, s.TextLeft, s.TextTop);
        KeepOnScreen(*Form2);
    }

    // Lay the window out at its new size so the splitter can give the panel an exact width.
    if (layout() != nullptr) layout()->activate();
    const int panel = std::max(s.Panel, kUsablePanelWidth);
    const int outline = std::max(1, Splitter1->width() - Splitter1->handleWidth() - panel);
    Splitter1->setSizes({outline, panel});
}

bool TMain::FormCloseQuery() { return AskSaveChanges(); }

void TMain::FormClose() {
    // The stored geometry is the normal one, also when a window was maximised or minimised.
    const QRect main = NormalPlacement(*this);
    setWindowState(Qt::WindowNoState);
    Settings s;
    s.Maps = ToCp1251(mapsFolder_);
    s.Width = main.width();
    s.Height = main.height();
    s.Left = main.x();
    s.Top = main.y();
    if (Form2 != nullptr) {
        const QRect text = NormalPlacement(*Form2);
        Form2->setWindowState(Qt::WindowNoState);
        s.TextWidth = text.width();
        s.TextHeight = text.height();
        s.TextLeft = text.x();
        s.TextTop = text.y();
    }
    s.Panel = PanelWidth();
    s.Recent = recent_;
    s.Docks = saveState().toHex().toStdString();

    // The user's configuration folder may not exist yet on a first run.
    QDir().mkpath(QFileInfo(settingsFile_).absolutePath());
    try {
        WriteSettings(ToUtf8Path(settingsFile_), s);
    } catch (const Error& e) {
        // Reported, and the program still ends: the settings are only convenience.
        ReportError(QString::fromUtf8(e.what()));
    }
}

} // namespace kv
