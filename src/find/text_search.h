#pragma once

#include "model/edit.h"
#include "model/fields.h"
#include "model/project.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kv {

// The texts of a dialog that find and replace look through: its caption (Hint), header, message
// lines, the ERM before and after the message, and the caption (Variant) and hiding condition
// (FailOn) of each answer in use.
constexpr bool IsSearchable(FieldId id) {
    switch (id) {
    case FieldId::Hint:
    case FieldId::Header:
    case FieldId::Text:
    case FieldId::ScriptBefore:
    case FieldId::ScriptAfter:
    case FieldId::Variant:
    case FieldId::FailOn:
        return true;
    default:
        return false;
    }
}

// A choice among the searchable fields, as the find bar's field boxes make it.
class SearchFields {
public:
    constexpr SearchFields() = default;
    static constexpr SearchFields All() {
        SearchFields all;
        for (int i = 0; i < kFieldCount; ++i)
            all = all.With(static_cast<FieldId>(i));
        return all;
    }
    // A field that is not searchable is never added.
    constexpr SearchFields With(FieldId id) const {
        SearchFields out = *this;
        if (IsSearchable(id)) out.bits_ |= Bit(id);
        return out;
    }
    constexpr SearchFields Without(FieldId id) const {
        SearchFields out = *this;
        out.bits_ &= ~Bit(id);
        return out;
    }
    constexpr bool Has(FieldId id) const { return (bits_ & Bit(id)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    friend constexpr bool operator==(SearchFields, SearchFields) = default;

private:
    static constexpr std::uint64_t Bit(FieldId id) {
        return std::uint64_t{1} << static_cast<unsigned>(id);
    }
    std::uint64_t bits_ = 0;
};

// One occurrence of the query. `ref` names the value (the field, the dialog's list position, the
// message line or the answer slot); `offset` and `length` are bytes within it. `function` is the
// dialog's number and `value` the whole value as they stood when the search ran, for the list of
// matches to show without walking the list for each row; `value` points into the project and is
// valid only until the project next changes.
struct SearchMatch {
    FieldRef ref;
    std::uint16_t offset = 0;
    std::uint16_t length = 0;
    std::int32_t function = 0;
    std::string_view value;

    // The outline node: the answer for an answer's field, else the dialog.
    Place place() const {
        return {ref.dialog, Field(ref.field).scope == FieldScope::Slot ? ref.index : -1};
    }
    // The message line 0..29, or -1 for a field without lines.
    int line() const { return ref.field == FieldId::Text ? ref.index : -1; }
};

// Every occurrence of `query` (Windows-1251) in the chosen fields, letters of either case
// matching (FoldCase), in the order of the outline: dialog by dialog, in each its caption,
// header, message lines 1..30, ERM before, ERM after, then answer by answer its caption and its
// condition. Occurrences within one value do not overlap ("aa" is found twice in "aaaa"). An
// empty query finds nothing. Nothing is allocated per value; the result grows by matches only.
std::vector<SearchMatch> Search(const Project& project, std::string_view query,
                                SearchFields fields = SearchFields::All());

// A replacement as one undoable edit, and what it did: the number of occurrences replaced and
// the number of values that came out longer than their field and were cut to its capacity (as
// any assignment cuts them). `edit` is null when there was nothing to replace.
struct Replacement {
    std::unique_ptr<Edit> edit;
    int replaced = 0;
    int cut = 0;
};

// Replaces the one occurrence that `match` names, "замена" in the undo menu. The match must
// still be there (the value still holds the query at that offset); a match that an edit has
// moved or removed since the search gives no edit.
Replacement ReplaceOne(const Project& project, const SearchMatch& match, std::string_view query,
                       std::string_view replacement);

// Replaces every occurrence in the chosen fields as one edit, "замена всего". Each value is
// rebuilt once from left to right, so a replacement that contains the query is not searched
// again.
Replacement ReplaceAll(const Project& project, std::string_view query, std::string_view replacement,
                       SearchFields fields = SearchFields::All());

} // namespace kv
