#pragma once

#include <cstdint>
#include <string>

namespace kv {

// The desktop program's settings file (korvanthiel.ini): window geometry and the maps folder.
struct Settings {
    std::string Maps = "C:\\Games\\Valdmarsk\\Maps\\"; // Windows-1251 bytes
    std::int32_t Width = 722, Height = 502, Left = 197, Top = 103, Panel = 254;
    std::int32_t TextWidth = 596, TextHeight = 293, TextLeft = 192, TextTop = 103;
};

// Reads the settings; each missing or unreadable value keeps the one in `defaults`. A missing
// file reads as empty and creates nothing.
Settings ReadSettings(const std::string& path, const Settings& defaults = Settings{});

// Writes all ten values (Options: Maps, Width, Height, Left, Top; Text: Width, Height, Left, Top;
// Options: Panel), leaving every other line of the file as it was. Throws
// Error("Unable to write to <path>").
void WriteSettings(const std::string& path, const Settings& settings);

} // namespace kv
