#pragma once

#include "model/project.h"
#include "play/hero_state.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// One answer of a dialog as the generated code offers it. Texts are Windows-1251.
struct AnswerView {
    std::string caption;           // the answer's caption as written into its z-variable
    int skill = 0;                 // the required skill, 0 for none
    std::string condition;         // the hiding condition (FailOn), empty for none
    bool offered = false;          // a caption the player sees and can pick
    bool lacksSkill = false;       // emptied: the hero has level 0 in the required skill
    bool conditionHolds = false;   // emptied by its hiding condition
    bool conditionUnknown = false; // the hiding condition is no form the simulator reads
};

// What a dialog shows before the player picks: the dialog's code up to the choice.
struct Showing {
    std::int32_t function = 0;
    std::string hint;         // the dialog's label, for a transcript
    std::string scriptBefore; // ERM code the simulator does not run, shown to the author
    std::string message;      // empty when the dialog shows none
    std::string scriptAfter;
    std::string header;
    bool offersChoice = false; // the choice code exists only when slot 0 is in use
    std::array<AnswerView, kSlotCount> answers;
    int defaultAnswer = 0; // the preselected answer 1..12, 0 for none

    std::vector<int> Offered() const; // the answers the player can pick, 1..12
};

// Decides a hiding condition that EvaluateCondition cannot read: true when the answer is hidden.
// The window asks the author; the command line assumes one way for all.
using UnknownCondition = std::function<bool(const TDialogItem& dialog, int slot)>;

// One dialog of a run: what it showed, what the player picked and what followed.
struct Step {
    Showing showing;
    int chosen = 0;  // 1..12; 0 when the run stopped at this dialog without a choice
    int applied = 0; // the chosen answer, or the escape answer after a failed requirement
    std::vector<std::string> messages; // every text shown to the player, in order (cp1251)
    HeroState after;                   // the hero once the step's code has run
    std::optional<std::int32_t> next;  // the function the answer calls; none when it calls none
    const TDialogItem* nextDialog = nullptr; // that function's dialog, when the project has it
};

// Runs a dialog's code up to the choice. The caption pass reads skill levels into v1, as the
// generated code does, so the hero changes.
Showing ShowDialog(const TDialogItem& dialog, HeroState& hero, const UnknownCondition& unknown);

// Runs the rest of the dialog's code for answer 1..12, which must be offered by `showing`
// (throws Error otherwise): the requirement pass, then the effects of the answer that applies.
Step Choose(const Project& project, const TDialogItem& dialog, const Showing& showing, int answer,
            HeroState& hero);

// A dialog shown and left without a choice (the last step of a run).
Step StopAt(const Showing& showing, const HeroState& hero);

enum class RunEnd {
    ChoicesUsed, // the choices ran out at a dialog of the project
    NoChoice,    // a dialog offered no choice
    NoFollowUp,  // an answer called no function
    LeftProject, // an answer called a function that is no dialog of the project
    NotOffered,  // a choice was not offered (or came after the run had ended)
};

struct Playthrough {
    std::vector<Step> steps;
    RunEnd end = RunEnd::ChoicesUsed;
    int choicesMade = 0; // how many of the given choices were taken
};

// Plays from `start`, taking the choices in turn, until they run out or the run ends.
Playthrough PlayRun(const Project& project, const TDialogItem& start,
                    const std::vector<int>& choices, HeroState hero,
                    const UnknownCondition& unknown);

} // namespace kv
