#include "find/text_search.h"

#include "model/project_edits.h"
#include "text/case_fold.h"
#include "text/stored_text.h"

#include <string>
#include <utility>

namespace kv {

namespace {

// The text of a searchable field of a dialog; empty for any other field. A plain switch: the
// search reads every text of the project on each keystroke.
std::string_view TextOf(const TDialogItem& d, FieldId id, int index) {
    const auto i = static_cast<std::size_t>(index);
    switch (id) {
    case FieldId::Hint:
        return d.Hint;
    case FieldId::Header:
        return d.Header;
    case FieldId::Text:
        return d.Text[i];
    case FieldId::ScriptBefore:
        return d.ScriptBefore;
    case FieldId::ScriptAfter:
        return d.ScriptAfter;
    case FieldId::Variant:
        return d.Variant[i];
    case FieldId::FailOn:
        return d.Variants[i].FailOn;
    default:
        return {};
    }
}

// The order in which the fields of one dialog, then those of each answer, are looked through.
constexpr FieldId kDialogOrder[] = {FieldId::Hint, FieldId::Header, FieldId::Text,
                                    FieldId::ScriptBefore, FieldId::ScriptAfter};
constexpr FieldId kSlotOrder[] = {FieldId::Variant, FieldId::FailOn};

// Calls visit(dialog, ref, text) for every non-empty chosen value of the project, in the search
// order.
template <class Visit>
void ForEachValue(const Project& project, SearchFields fields, Visit&& visit) {
    int position = 0;
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next, ++position) {
        for (FieldId id : kDialogOrder) {
            if (!fields.Has(id)) continue;
            const int lines = id == FieldId::Text ? kTextLineCount : 1;
            for (int line = 0; line < lines; ++line) {
                const std::string_view text = TextOf(*d, id, line);
                if (!text.empty()) visit(*d, FieldRef{id, position, line}, text);
            }
        }
        const int end = d->SlotEnd();
        for (int k = 0; k < end; ++k) {
            if (!d->SlotInUse(k)) continue;
            for (FieldId id : kSlotOrder) {
                if (!fields.Has(id)) continue;
                const std::string_view text = TextOf(*d, id, k);
                if (!text.empty()) visit(*d, FieldRef{id, position, k}, text);
            }
        }
    }
}

std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = FoldCase(c);
    return out;
}

bool MatchesAt(std::string_view text, std::size_t at, std::string_view folded) {
    if (at > text.size() || text.size() - at < folded.size()) return false;
    for (std::size_t k = 0; k < folded.size(); ++k)
        if (FoldCase(text[at + k]) != folded[k]) return false;
    return true;
}

// Calls found(offset) for each occurrence of the folded query, left to right, none overlapping.
template <class Found>
void ForEachOccurrence(std::string_view text, std::string_view folded, Found&& found) {
    if (folded.empty() || text.size() < folded.size()) return;
    const std::size_t last = text.size() - folded.size();
    const char first = folded.front();
    for (std::size_t i = 0; i <= last; ++i) {
        if (FoldCase(text[i]) != first || !MatchesAt(text, i, folded)) continue;
        found(i);
        i += folded.size() - 1;
    }
}

// The value with each occurrence replaced; counts them into `count`.
std::string Replaced(std::string_view text, std::string_view folded, std::string_view with,
                     int& count) {
    std::string out;
    std::size_t done = 0;
    ForEachOccurrence(text, folded, [&](std::size_t at) {
        out.append(text.substr(done, at - done)).append(with);
        done = at + folded.size();
        ++count;
    });
    out.append(text.substr(done));
    return out;
}

void Count(Replacement& result, const FieldChange& change) {
    const std::size_t capacity = Field(change.ref.field).capacity;
    if (capacity != 0 && change.value.text.size() > capacity) ++result.cut;
}

} // namespace

std::vector<SearchMatch> Search(const Project& project, std::string_view query,
                                SearchFields fields) {
    std::vector<SearchMatch> matches;
    const std::string folded = Folded(query);
    if (folded.empty()) return matches;
    auto searchValue = [&](const TDialogItem& d, const FieldRef& ref, std::string_view text) {
        ForEachOccurrence(text, folded, [&](std::size_t at) {
            matches.push_back({ref, static_cast<std::uint16_t>(at),
                               static_cast<std::uint16_t>(folded.size()), d.FunctionNumber, text});
        });
    };
    ForEachValue(project, fields, searchValue);
    return matches;
}

Replacement ReplaceOne(const Project& project, const SearchMatch& match, std::string_view query,
                       std::string_view replacement) {
    Replacement result;
    const TDialogItem* d = project.DialogAt(match.ref.dialog);
    if (!d || !IsSearchable(match.ref.field) || match.ref.index < 0 ||
        match.ref.index >= (match.ref.field == FieldId::Text ? kTextLineCount : kSlotCount) ||
        match.length != query.size() || query.empty())
        return result;
    const std::string_view text = TextOf(*d, match.ref.field, match.ref.index);
    if (!MatchesAt(text, match.offset, Folded(query))) return result;
    std::string value(text.substr(0, match.offset));
    value.append(StorableText(replacement)).append(text.substr(match.offset + match.length));
    FieldChange change{match.ref, FieldValue::Text(value)};
    result.replaced = 1;
    Count(result, change);
    result.edit = ChangeValues({std::move(change)}, "замена");
    return result;
}

Replacement ReplaceAll(const Project& project, std::string_view query, std::string_view replacement,
                       SearchFields fields) {
    Replacement result;
    const std::string folded = Folded(query);
    if (folded.empty()) return result;
    const std::string with = StorableText(replacement);
    std::vector<FieldChange> changes;
    auto replaceValue = [&](const TDialogItem&, const FieldRef& ref, std::string_view text) {
        const int before = result.replaced;
        std::string value = Replaced(text, folded, with, result.replaced);
        if (result.replaced == before) return;
        changes.push_back({ref, FieldValue::Text(std::move(value))});
        Count(result, changes.back());
    };
    ForEachValue(project, fields, replaceValue);
    if (!changes.empty()) result.edit = ChangeValues(std::move(changes), "замена всего");
    return result;
}

} // namespace kv
