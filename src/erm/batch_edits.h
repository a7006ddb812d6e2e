#pragma once

#include "model/edit.h"

#include <string>
#include <vector>

namespace kv {

// The Russian name of Skill 1..28 (Windows-1251); "Навык N" for a number the game lacks.
std::string SkillName(int skill);

// The caption prefix of an answer: "[skill] " for a required skill, then "[cost suffix] " for
// every resource with a cost, in resource order (Windows-1251 bytes).
std::string CostSkillPrefix(const TVariantData& variant);

// Slot i serves as the model of the numbering: its Variable is above 0 and its DVariable is 0.
bool IsVariableModel(const TDialogItem& dialog, int i);

// What the numbering gives one following answer.
struct VariableSetting {
    int slot;
    std::int32_t variable; // its new Variable
    std::int32_t set;      // its new SVariable
};
// The settings of the answers after slot i, in slot order, up to the first slot not in use;
// none when slot i is no model.
std::vector<VariableSetting> FollowingVariables(const TDialogItem& dialog, int i);

// The two batch edits as undoable edits of the answer at `answer`; null for no such answer.
// The caption gets the cost prefix in front (cut to 150 characters); without skill and costs
// the edit changes nothing (Empty after Apply).
std::unique_ptr<Edit> AnnotateCost(const Project& project, Place answer);
// FollowingVariables as an edit; null also when the answer is no model.
std::unique_ptr<Edit> NumberVariables(const Project& project, Place answer);

} // namespace kv
