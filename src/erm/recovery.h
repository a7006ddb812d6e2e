#pragma once

#include "model/project.h"

#include <string>
#include <string_view>
#include <vector>

namespace kv {

// What a recovery says about one line of the script.
enum class NoteKind {
    // The generated code does not carry a value: it was given its blank value.
    NotInCode,
    // The line is not what the compile writes (edited by hand after it): what could not be read
    // was left out, and nothing was guessed.
    HandEdited,
};

struct RecoveryNote {
    int line = 0; // 1-based line of the script
    NoteKind kind = NoteKind::NotInCode;
    std::string text; // the user's text, UTF-8
};

struct RecoveredProject {
    Project project;
    std::vector<RecoveryNote> notes; // in line order
};

// Rebuilds a project from the generated region of a compiled script: one dialog per block, in
// order, with the follow-ups that name a dialog of the recovered project turned into links.
// Compiling the recovered project into the same script gives the same bytes for every block the
// compile wrote unchanged. Throws Error when the script has no marker line or nothing below it
// that the compile writes.
RecoveredProject RecoverProject(std::string_view script);

// Reads the script at path (UTF-8) and recovers its project, whose ScriptFile is the script's
// full path. Throws Error with the user's text.
RecoveredProject RecoverScriptFile(const std::string& path);

} // namespace kv
