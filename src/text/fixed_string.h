#pragma once

#include "text/stored_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// A text field of a fixed capacity. Every text of a dialog record is one of these: assigning a
// longer value keeps its first Capacity bytes and drops the rest, so no caller can forget to cut.
// The bytes are Windows-1251; the type looks inside them only to keep them storable.
template <std::size_t Capacity> class FixedString {
    static_assert(Capacity > 0 && Capacity <= 255, "a field holds at most 255 bytes");

public:
    FixedString() = default;
    FixedString(std::string_view text) { assign(text); } // NOLINT: implicit on purpose

    FixedString& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    void assign(std::string_view text) {
        length_ = static_cast<std::uint8_t>(text.size() < Capacity ? text.size() : Capacity);
        for (std::size_t i = 0; i < length_; ++i) data_[i] = text[i];
        MakeStorable(data_.data(), length_); // no byte the project file would not give back
    }
    void clear() { length_ = 0; }

    static constexpr std::size_t capacity() { return Capacity; }
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    std::string_view view() const { return std::string_view(data_.data(), length_); }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); } // NOLINT: reads like a string

    friend bool operator==(const FixedString& a, const FixedString& b) {
        return a.view() == b.view();
    }
    friend bool operator==(const FixedString& a, std::string_view b) { return a.view() == b; }

private:
    std::uint8_t length_ = 0;
    std::array<char, Capacity> data_{};
};

using HintString = FixedString<200>;    // Hint, Header
using CaptionString = FixedString<150>; // variant captions, FailOn
using LineString = FixedString<255>;    // ScriptBefore, ScriptAfter, message lines

} // namespace kv
