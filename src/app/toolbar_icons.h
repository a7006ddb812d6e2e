#pragma once

#include <QIcon>

namespace kv {

// The toolbar's pictures, drawn by the program itself.
enum class ToolIcon {
    NewProject,
    Open,
    Save,
    NewDialog,
    ConsequenceDialog,
    EditText,
    DuplicateDialog,
    Compile,
    CostCaption,
};

QIcon ToolbarIcon(ToolIcon icon);

} // namespace kv
