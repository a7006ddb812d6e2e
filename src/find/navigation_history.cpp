#include "find/navigation_history.h"

#include <algorithm>
#include <utility>

namespace kv {

NavigationHistory::NavigationHistory(std::size_t limit) : limit_(std::max<std::size_t>(limit, 2)) {}

void NavigationHistory::Jump(Place from, Place to) {
    Visit(from);
    Visit(to);
}

void NavigationHistory::Visit(Place place) {
    if (place.dialog < 0) return;
    if (!places_.empty()) {
        if (places_[present_] == place) return;
        places_.resize(present_ + 1);
    }
    places_.push_back(place);
    if (places_.size() > limit_) places_.erase(places_.begin());
    present_ = places_.size() - 1;
}

bool NavigationHistory::CanBack(Place now) const {
    if (places_.empty()) return false;
    return present_ > 0 || (now.dialog >= 0 && !(places_[present_] == now));
}

std::optional<Place> NavigationHistory::Back(Place now) {
    if (!CanBack(now)) return std::nullopt;
    Visit(now);
    return places_[--present_];
}

std::optional<Place> NavigationHistory::Forward() {
    if (!CanForward()) return std::nullopt;
    return places_[++present_];
}

void NavigationHistory::Follow(const ProjectChange& change) {
    using Kind = ProjectChange::Kind;
    const int d = change.dialog;
    for (Place& p : places_) {
        switch (change.kind) {
        case Kind::DialogInserted:
            if (p.dialog >= d) ++p.dialog;
            break;
        case Kind::DialogRemoved:
            if (p.dialog == d)
                p.dialog = -1; // dropped below
            else if (p.dialog > d)
                --p.dialog;
            break;
        case Kind::DialogMoved:
            if (p.dialog == d)
                p.dialog = change.other;
            else if (d < change.other && p.dialog > d && p.dialog <= change.other)
                --p.dialog;
            else if (change.other < d && p.dialog >= change.other && p.dialog < d)
                ++p.dialog;
            break;
        case Kind::SlotInserted:
            if (p.dialog == d && p.slot >= change.slot)
                p.slot = p.slot + 1 < kSlotCount ? p.slot + 1 : -1;
            break;
        case Kind::SlotRemoved:
            if (p.dialog == d && p.slot == change.slot)
                p.slot = -1;
            else if (p.dialog == d && p.slot > change.slot)
                --p.slot;
            break;
        case Kind::SlotsSwapped:
            if (p.dialog == d && p.slot == change.slot)
                p.slot = change.other;
            else if (p.dialog == d && p.slot == change.other)
                p.slot = change.slot;
            break;
        default:
            break;
        }
    }
    DropRepeats();
}

// Removes the places of removed dialogs and a place that repeats the one before it, keeping the
// present place on the same entry (or the nearest earlier one that stays).
void NavigationHistory::DropRepeats() {
    std::size_t kept = 0, present = 0;
    for (std::size_t i = 0; i < places_.size(); ++i) {
        const Place p = places_[i];
        const bool drop = p.dialog < 0 || (kept > 0 && places_[kept - 1] == p);
        if (!drop) places_[kept++] = p;
        if (i == present_) present = kept > 0 ? kept - 1 : 0;
    }
    places_.resize(kept);
    present_ = present;
}

void NavigationHistory::Clear() {
    places_.clear();
    present_ = 0;
}

} // namespace kv
