#pragma once

#include "model/dialog_item.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace kv {

// What the choice code of one block told about its dialog.
struct ChoiceCode {
    bool escapeWritten = false;      // a requirement's redirection carried the escape mask
    std::vector<std::size_t> unread; // positions of lines that are no choice code, in order
};

// Reads the choice code of a block (the header line, the captions, the choice line and the two
// passes, in the compile's order) into the dialog. Every line is read as the earliest part of the
// code that it can be from where the reading stands; a line that can be none is left unread.
// Values go into the fields as the fields keep them (low bits); whether the dialog writes the
// same lines again is for the caller to check.
// A follow-up to function 0 can only be a link to a dialog numbered 0. Until the whole project
// is read, such a slot links to this stand-in, which is numbered 0.
TDialogItem* LinkToFunctionZero();

ChoiceCode ReadChoiceCode(std::span<const std::string_view> lines, TDialogItem& dialog);

} // namespace kv
