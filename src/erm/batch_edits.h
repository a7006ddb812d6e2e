#pragma once

#include "model/dialog_item.h"

#include <string>

namespace kv {

// The caption prefix of an answer: "[skill] " for a required skill, then "[cost suffix] " for
// every resource with a cost, in resource order (Windows-1251 bytes).
std::string CostSkillPrefix(const TVariantData& variant);

// Gives the answers after slot i the variable of slot i and ascending set values, stopping at the
// first slot not in use. Returns false, changing nothing, when slot i is no model (its Variable
// is not above 0 or its DVariable is not 0); true otherwise, also when no slot followed, so the
// caller then sets Modified.
bool NumberFollowingVariables(TDialogItem& dialog, int i);

} // namespace kv
