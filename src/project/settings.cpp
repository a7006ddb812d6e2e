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

} // namespace

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
    ini.Save(path);
}

} // namespace kv
