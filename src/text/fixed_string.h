#pragma once

#include "text/stored_text.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace kv {

// A text field of a fixed capacity. Every text of a dialog record is one of these: assigning a
// longer value keeps its first Capacity bytes and drops the rest, so no caller can forget to cut.
// The bytes are Windows-1251 and the type looks inside them only to keep them storable.
//
// The capacity is a rule about what the field may hold, not about its memory: an empty text is
// one null pointer, and any other text is one heap block of a length byte and the bytes. Most
// fields of a project are empty, and a record of them costs a tenth of one that kept every
// capacity inline.
template <std::size_t Capacity> class FixedString {
    static_assert(Capacity > 0 && Capacity <= 255, "a field holds at most 255 bytes");

public:
    FixedString() noexcept = default;
    FixedString(std::string_view text) { assign(text); } // NOLINT: implicit on purpose
    FixedString(const FixedString& other) { assign(other.view()); }
    FixedString(FixedString&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    ~FixedString() { delete[] block_; }

    FixedString& operator=(const FixedString& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    FixedString& operator=(FixedString&& other) noexcept {
        std::swap(block_, other.block_);
        return *this;
    }
    FixedString& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    // The one way bytes enter a field. The new block is filled before the old one goes, so a
    // text may be assigned a piece of itself.
    void assign(std::string_view text) {
        std::size_t length = text.size() < Capacity ? text.size() : Capacity;
        char* block = nullptr;
        if (length > 0) {
            block = new char[length + 1];
            block[0] = static_cast<char>(length);
            std::memcpy(block + 1, text.data(), length);
            MakeStorable(block + 1, length); // no byte the project file would not give back
        }
        delete[] std::exchange(block_, block);
    }
    void clear() noexcept { delete[] std::exchange(block_, nullptr); }

    static constexpr std::size_t capacity() { return Capacity; }
    std::size_t size() const { return block_ ? static_cast<unsigned char>(block_[0]) : 0; }
    bool empty() const { return block_ == nullptr; }
    std::string_view view() const {
        return block_ ? std::string_view(block_ + 1, static_cast<unsigned char>(block_[0]))
                      : std::string_view();
    }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); } // NOLINT: reads like a string

    friend bool operator==(const FixedString& a, const FixedString& b) {
        return a.view() == b.view();
    }
    friend bool operator==(const FixedString& a, std::string_view b) { return a.view() == b; }

private:
    char* block_ = nullptr; // null while empty; else [length][bytes...]
};

using HintString = FixedString<200>;    // Hint, Header
using CaptionString = FixedString<150>; // variant captions, FailOn
using LineString = FixedString<255>;    // ScriptBefore, ScriptAfter, message lines

} // namespace kv
