#pragma once

#include "play/simulator.h"

#include <string>

namespace kv {

// The readable Russian transcript of a run, shared by the command line and the play window. All
// texts are UTF-8.

// Why an answer with a caption is not offered, or what was assumed for its hiding condition;
// empty when it is offered without question.
std::string HiddenBecause(const AnswerView& answer);

// The hero's resources (or "нет"), variables and artefacts, one indented line each.
std::string HeroText(const HeroState& hero);

// One step: the dialog as it showed, the choice, what followed and the hero after it.
std::string StepText(const Step& step);

// How a run ended, one line; empty for a choice that was not offered.
std::string RunEndText(RunEnd end, const Step& last);

} // namespace kv
