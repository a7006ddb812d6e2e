#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kv {

// The one crossing between the model's Windows-1251 bytes and Qt's strings.
QString FromCp1251(std::string_view bytes);
std::string ToCp1251(const QString& text);

// File-system paths: the model keeps them in UTF-8 (ProjectFileName) or in Windows-1251
// (ScriptFile, as the project file stores it).
QString FromUtf8Path(const std::string& path);
std::string ToUtf8Path(const QString& path);

} // namespace kv
