#pragma once

#include <QString>

namespace kv {

// The property panel is never narrower than this, whatever the settings file says.
constexpr int kMinimumPanelWidth = 10;
// A stored panel narrower than this shows no readable value; at start it gets this width.
constexpr int kUsablePanelWidth = 200;

// The settings file korvanthiel.ini lives beside the program. An installed copy, whose folder
// the user cannot write and which holds no settings file there, keeps it in the user's
// configuration folder instead.
QString ChooseSettingsFile(const QString& programFolder, const QString& configFolder);
// The choice for the running program.
QString DefaultSettingsFile();

} // namespace kv
