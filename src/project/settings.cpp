#include "project/settings.h"

#include "project/ini_file.h"
#include "text/error.h"

namespace kv {
namespace {

// The integer keys in the order a save writes them; Maps goes first, Panel last.
struct IntegerKey {
    const char* section;
    const char* key;
    std::int32_t Settings::*field;
};
constexpr IntegerKey kGeometry[] = {
    {"Options", "Width", &Settings::Width},  {"Options", "Height", &Settings::Height},
    {"Options", "Left", &Settings::Left},    {"Options", "Top", &Settings::Top},
    {"Text", "Width", &Settings::TextWidth}, {"Text", "Height", &Settings::TextHeight},
    {"Text", "Left", &Settings::TextLeft},   {"Text", "Top", &Settings::TextTop},
    {"Options", "Panel", &Settings::Panel},
};

std::string RecentKey(std::size_t k) { return "File" + std::to_string(k + 1); }

} // namespace

void RememberProject(std::vector<std::string>& recent, const std::string& path) {
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
    if (recent.size() > kRecentProjectCount) recent.resize(kRecentProjectCount);
}

Settings ReadSettings(const std::string& path, const Settings& defaults) {
    IniFile ini;
    try {
        ini = IniFile::Load(path);
    } catch (const Error&) {
        // Settings that cannot be read must not keep the program from starting: the designed
        // values apply, as for a missing file.
    }
    Settings settings = defaults;
    settings.Maps = ini.ReadString("Options", "Maps", defaults.Maps);
    for (const IntegerKey& k : kGeometry) {
        settings.*k.field = ini.ReadInteger(k.section, k.key, defaults.*k.field);
    }
    settings.Docks = ini.ReadString("Options", "Docks", defaults.Docks);
    if (ini.HasSection("Recent")) {
        settings.Recent.clear();
        for (std::size_t k = kRecentProjectCount; k-- > 0;) {
            const std::string path = ini.ReadString("Recent", RecentKey(k), "");
            if (!path.empty()) RememberProject(settings.Recent, path);
        }
    }
    return settings;
}

void WriteSettings(const std::string& path, const Settings& settings) {
    IniFile ini;
    try {
        ini = IniFile::Load(path);
    } catch (const Error&) {
        // Writing over a file that could not be read would lose its other lines.
        throw Error("Unable to write to " + path);
    }
    ini.WriteString("Options", "Maps", settings.Maps);
    for (const IntegerKey& k : kGeometry)
        ini.WriteInteger(k.section, k.key, settings.*k.field);
    if (!settings.Docks.empty() || ini.Find("Options", "Docks"))
        ini.WriteString("Options", "Docks", settings.Docks);
    // Entries past the end of the list are emptied where the file has them, never added.
    for (std::size_t k = 0; k < kRecentProjectCount; ++k) {
        if (k < settings.Recent.size())
            ini.WriteString("Recent", RecentKey(k), settings.Recent[k]);
        else if (ini.Find("Recent", RecentKey(k)))
            ini.WriteString("Recent", RecentKey(k), "");
    }
    ini.Save(path);
}

} // namespace kv
