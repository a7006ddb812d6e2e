#pragma once

#include "model/dialog_item.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// 2 to the power n, and 0 for n = -1: how the generated code names answer n + 1.
std::int64_t VariantMask(int n);

// The widest VariantEscape and VariantDefault the choice code's masks can carry: the mask is a
// power of two that must fit the signed 32-bit number the game reads. A dialog that writes its
// choice code (slot 0 in use) with a wider value cannot be compiled.
constexpr int kLargestEscape = 30;
constexpr int kLargestDefault = kLargestEscape + 1;
// "VariantEscape = 40 не годится для кода ERM (допустимо от 0 до 30)", for the compile's refusal
// and the project checks alike.
std::string MaskOutOfRangeText(std::string_view field, int value, int largest);

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
