#pragma once

#include "editor/command_context.h"

namespace kv {

// The selected variant's caption with its required skill and costs written in front, for the
// window to store through its caption write-back; nothing when no variant is selected or a
// caption is being edited. The prefix comes from the stored values.
std::optional<QString> CostAnnotatedCaption(const CommandContext& ctx);

// Gives the variants after the selected one its variable with ascending set values. Sets
// Modified when the selected variant serves as the model, also when no variant follows it.
void NumberFollowingVariants(const CommandContext& ctx);

} // namespace kv
