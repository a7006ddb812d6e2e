#pragma once

#include "model/project.h"

#include <string>
#include <string_view>

namespace kv {

// The largest number of dialogs an INI import creates; a larger range is refused.
constexpr std::int64_t kMaxImportedDialogs = kMaxDialogs;

// Builds a new project from an INI project: section Main (FunctionStart, FunctionEnd,
// ScriptFile) and one section per function number of the range. Links are rebuilt; Modified is
// false and ProjectFileName empty. A range of more than kMaxImportedDialogs numbers throws
// Error("Слишком большой диапазон функций: A..B (не больше 100000 диалогов)").
Project ImportIniProject(std::string_view bytes);
Project ImportIniFile(const std::string& path);

} // namespace kv
