#pragma once

#include "check/script_facts.h"
#include "model/fields.h"
#include "model/project.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// An error: the generated code misbehaves in the game, or the compile fails. A warning: almost
// certainly a mistake, though the code is what the author wrote.
enum class Severity { Error, Warning };

// The field a problem is about, for the window to find its grid row.
enum class ProblemField {
    None,
    FunctionNumber,
    Header,
    VariantEscape,
    VariantDefault,
    Caption,  // Variant[k]
    FollowUp, // LinkDialog[k] or Function[k]
    FailOn,
    Skill,
    Slevel,
};

// The field of the project's field table a problem is about; none for ProblemField::None.
std::optional<FieldId> FieldOf(ProblemField field);

struct Problem {
    Severity severity = Severity::Error;
    int dialog = -1;           // position in the list; -1 for a problem of the script file
    std::int32_t function = 0; // the dialog's FunctionNumber
    int answer = 0;            // 1..12 when the problem concerns one answer, else 0
    ProblemField field = ProblemField::None;
    std::string message; // Russian, UTF-8

    friend bool operator==(const Problem&, const Problem&) = default;
};

// Every problem of the project, the script's first, then dialog by dialog in list order and,
// within a dialog, its own fields before its answers in slot order. Linear in the size of the
// project: it runs after every edit in the window.
std::vector<Problem> CheckProject(const Project& project, const ScriptFacts& script);

int CountErrors(const std::vector<Problem>& problems);

} // namespace kv
