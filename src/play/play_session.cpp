#include "play/play_session.h"

#include <utility>

namespace kv {

PlaySession::PlaySession(const Project& project, const TDialogItem& start, UnknownCondition unknown)
    : project_(project), unknown_(std::move(unknown)) {
    stops_.push_back(Stop{&start, HeroState{}});
    Reshow();
}

void PlaySession::Reshow() {
    const TDialogItem* dialog = stops_.back().dialog;
    // A record taken out of the list may already be freed: only its address is compared.
    lost_ = dialog && project_.IndexOfDialog(dialog) < 0;
    current_ = lost_ ? nullptr : dialog;
    shown_ = Showing{};
    shownHero_ = stops_.back().hero;
    if (current_) shown_ = ShowDialog(*current_, shownHero_, unknown_);
}

void PlaySession::SetHero(const HeroState& hero) {
    stops_.back().hero = hero;
    Reshow();
}

void PlaySession::Choose(int answer) {
    if (!current_) return;
    HeroState hero = shownHero_;
    Step step = kv::Choose(project_, *current_, shown_, answer, hero);
    // Only a follow-up that is a dialog of the project goes on; any other number ends the run.
    const TDialogItem* next = step.next ? step.nextDialog : nullptr;
    steps_.push_back(std::move(step));
    stops_.push_back(Stop{next, std::move(hero)});
    Reshow();
}

bool PlaySession::Back() {
    if (steps_.empty()) return false;
    steps_.pop_back();
    stops_.pop_back();
    Reshow();
    return true;
}

void PlaySession::Restart() {
    steps_.clear();
    stops_.resize(1);
    Reshow();
}

} // namespace kv
