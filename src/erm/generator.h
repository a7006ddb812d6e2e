#pragma once

#include "model/dialog_item.h"

#include <cstdint>
#include <string>

namespace kv {

// 2 to the power n, and 0 for n = -1: how the generated code names answer n + 1.
std::int64_t VariantMask(int n);

// The game's strings that the generated code shows after the choice, in the script's code page;
// the simulator shows the same ones.
struct GameTexts {
    std::string failed;   // "[неудачно]"
    std::string needed;   // "Необходимо:"
    std::string youGet;   // "Вы получаете:"
    std::string artefact; // "артефакт"
};
const GameTexts& RussianGameTexts();

// Appends the message as the game shows it: lines up to the last non-empty one joined by LF,
// every caret removed.
void AppendMessageText(std::string& text, const TDialogItem& dialog);

// Appends the ERM block of one dialog. Every line begins with LF and none ends with one.
// Throws Error naming the function number and the field when VariantEscape or VariantDefault
// gives a mask that does not fit a signed 32-bit number.
void AppendDialogCode(std::string& text, const TDialogItem& dialog);

} // namespace kv
