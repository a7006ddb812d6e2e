#pragma once

#include "model/project.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unordered_map>

namespace kv::fuzz {

// A broken invariant is a crash to the fuzzer: it keeps the input that broke it.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Every slot of every dialog links to the first dialog, from the head, whose number is the
// slot's Function, or to nothing when there is none: what a load or an import must leave.
inline void RequireLinksRebuilt(const Project& project) {
    std::unordered_map<std::int32_t, const TDialogItem*> first;
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next) first.emplace(d->FunctionNumber, d);
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next) {
        for (std::size_t k = 0; k < kSlotCount; ++k) {
            auto it = first.find(d->Function[k]);
            Require(d->LinkDialog[k] == (it == first.end() ? nullptr : it->second),
                    "a link is not the first dialog of its number");
        }
    }
}

} // namespace kv::fuzz
