#pragma once

#include "model/edit.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace kv {

// Where the user has jumped to (a link followed, go to function, a match of find, a problem),
// for Back and Forward as a browser has them: a new visit after going back drops the places
// ahead. Places are list positions, so the history follows the edits of the project: it hears
// each ProjectChange and moves its places with their dialogs and answers. A place whose dialog
// leaves the project is dropped; one whose answer leaves falls back to its dialog.
class NavigationHistory {
public:
    explicit NavigationHistory(std::size_t limit = 100);

    // A jump from `from` (the selection before it) to `to`: both are visited, so that Back from
    // `to` returns to `from`.
    void Jump(Place from, Place to);
    // Records a place as the newest; the places ahead of the present one are dropped. Visiting the
    // present place again changes nothing. The oldest place goes when the limit is reached.
    void Visit(Place place);

    // The place to select for Back. `now` is the selection: when the user has moved on since the
    // last jump, it is visited first, so that Back returns to where the jump led. Nothing when
    // there is no earlier place.
    std::optional<Place> Back(Place now);
    // The place to select for Forward; nothing when there is none ahead.
    std::optional<Place> Forward();

    bool CanBack(Place now) const;
    bool CanForward() const { return present_ + 1 < places_.size(); }

    // Moves the places with a change of the project (an edit's step, or its undo).
    void Follow(const ProjectChange& change);
    // Forgets everything, for a new or opened project.
    void Clear();

    const std::vector<Place>& Places() const { return places_; }

private:
    void DropRepeats();

    std::size_t limit_;
    std::vector<Place> places_;
    std::size_t present_ = 0; // index of the present place; 0 while empty
};

} // namespace kv
