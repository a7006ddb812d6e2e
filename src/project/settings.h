#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// How many recent projects the File menu lists.
constexpr std::size_t kRecentProjectCount = 8;

// The desktop program's settings file (korvanthiel.ini): window geometry, the maps folder and
// the recent projects.
struct Settings {
    std::string Maps = "C:\\Games\\Valdmarsk\\Maps\\"; // Windows-1251 bytes
    std::int32_t Width = 722, Height = 502, Left = 197, Top = 103, Panel = 254;
    std::int32_t TextWidth = 596, TextHeight = 293, TextLeft = 192, TextTop = 103;
    std::vector<std::string> Recent; // project paths, the latest first; Windows-1251 bytes
    // Which panels beside the outline are shown and where (the window's own state, written as
    // hexadecimal digits); empty for the panels' first places.
    std::string Docks;
};

// Puts a project path at the head of the recent list: an earlier mention moves up, and the list
// keeps at most kRecentProjectCount paths.
void RememberProject(std::vector<std::string>& recent, const std::string& path);

// Reads the settings; each missing or unreadable value keeps the one in `defaults`. A missing
// file reads as empty and creates nothing.
Settings ReadSettings(const std::string& path, const Settings& defaults = Settings{});

// Writes all ten values (Options: Maps, Width, Height, Left, Top; Text: Width, Height, Left, Top;
// Options: Panel, Docks) and the recent projects (Recent: File1 to File8; those past the list emptied),
// leaving every other line of the file as it was. Throws Error("Unable to write to <path>").
void WriteSettings(const std::string& path, const Settings& settings);

} // namespace kv
