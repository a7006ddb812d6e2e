#pragma once

#include "play/simulator.h"

#include <vector>

namespace kv {

// A run the author plays by hand, one choice at a time: the dialogs entered so far with the hero
// as each one opened, so that the run goes back a step, starts over, or shows the current dialog
// again after the author changed the hero.
//
// The dialogs are records of the project, which the author may edit while playing: the session
// looks each one up in the list again before it shows it, and a dialog that left the list ends
// the run there (Lost).
class PlaySession {
public:
    PlaySession(const Project& project, const TDialogItem& start, UnknownCondition unknown);

    // The dialog being shown; null when the run has ended: the last answer called no function or
    // one that is no dialog of the project, or the dialog left the project.
    const TDialogItem* Current() const { return current_; }
    // What the current dialog shows; valid while Current() is not null.
    const Showing& Shown() const { return shown_; }
    // The hero as the current dialog opens, or as the run ended.
    const HeroState& Hero() const { return stops_.back().hero; }
    // One step for each choice made so far.
    const std::vector<Step>& Steps() const { return steps_; }
    // The dialog the run stands at is no longer in the project.
    bool Lost() const { return lost_; }

    // The author's change of the hero at the current dialog: the dialog is shown again with it.
    void SetHero(const HeroState& hero);
    // Takes answer 1..12 of the current dialog; throws Error when it is not offered.
    void Choose(int answer);
    // Undoes the last choice; false when none was made.
    bool Back();
    // Back to the start dialog with the hero it started with.
    void Restart();
    // Shows the current dialog again: after an edit of the project or a different answer to an
    // unknown condition.
    void Reshow();

private:
    // A dialog entered, with the hero as it opened; the last stop may be no dialog (the end).
    struct Stop {
        const TDialogItem* dialog;
        HeroState hero;
    };

    const Project& project_;
    UnknownCondition unknown_;
    std::vector<Stop> stops_; // one more than the steps
    std::vector<Step> steps_;
    const TDialogItem* current_ = nullptr;
    bool lost_ = false;
    Showing shown_;
    HeroState shownHero_; // the hero after the caption pass, which the choice continues from
};

} // namespace kv
