#pragma once

#include "text/stored_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv {

class TextPacker;

// The block of one text, wherever it lies: [owner][length][bytes...]. The owner byte says whether
// the field that points to it frees it (a block of its own) or not (a block packed with the other
// texts of its record).
namespace text_block {
constexpr std::size_t kHeader = 2;
constexpr char kOwned = 1;
constexpr char kPacked = 0;

// Writes the block of a text (at most 255 bytes) at `out`; gives where the next one may begin.
// `check`: make the bytes storable, for a text that may hold a byte the project file would not
// give back.
inline char* Write(char* out, char owner, std::string_view text, bool check) {
    out[0] = owner;
    out[1] = static_cast<char>(text.size());
    std::memcpy(out + kHeader, text.data(), text.size());
    if (check) MakeStorable(out + kHeader, text.size());
    return out + kHeader + text.size();
}
} // namespace text_block

// A text field of a fixed capacity. Every text of a dialog record is one of these: assigning a
// longer value keeps its first Capacity bytes and drops the rest, so no caller can forget to cut.
// The bytes are Windows-1251 and the type looks inside them only to keep them storable.
//
// The capacity is a rule about what the field may hold, not about its memory: an empty text is
// one null pointer, and any other text is a block of two header bytes (whether the field owns
// the block, and the length) and the bytes. A field owns a block of its own on the heap, or
// points into a PackedTexts block that a reader filled with all the texts of a record at once,
// which the record keeps (see TextPacker). Most fields of a project are empty, and a record of
// them costs a tenth of one that kept every capacity inline.
//
// A field never hands a packed block on: moving out of it copies the bytes, so a text can leave
// its record and outlive the block it came from.
template <std::size_t Capacity> class FixedString {
    static_assert(Capacity > 0 && Capacity <= 255, "a field holds at most 255 bytes");

public:
    FixedString() noexcept = default;
    FixedString(std::string_view text) { assign(text); } // NOLINT: implicit on purpose
    FixedString(const FixedString& other) { assign(other.view()); }
    FixedString(FixedString&& other) {
        if (other.Owns()) block_ = std::exchange(other.block_, nullptr);
        else assign(other.view());
    }
    ~FixedString() { Release(); }

    FixedString& operator=(const FixedString& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    FixedString& operator=(FixedString&& other) {
        if (this == &other) return *this;
        if (!other.Owns()) return *this = other;
        Release();
        block_ = std::exchange(other.block_, nullptr);
        return *this;
    }
    FixedString& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    // The one way bytes enter a field on their own. The new block is filled before the old one
    // goes, so a text may be assigned a piece of itself.
    void assign(std::string_view text) {
        if (text.size() > Capacity) text = text.substr(0, Capacity);
        char* block = nullptr;
        if (!text.empty()) {
            block = new char[text.size() + text_block::kHeader];
            text_block::Write(block, text_block::kOwned, text, true);
        }
        Release();
        block_ = block;
    }
    void clear() noexcept {
        Release();
        block_ = nullptr;
    }

    static constexpr std::size_t capacity() { return Capacity; }
    std::size_t size() const { return block_ ? static_cast<unsigned char>(block_[1]) : 0; }
    bool empty() const { return block_ == nullptr; }
    std::string_view view() const {
        return block_ ? std::string_view(block_ + text_block::kHeader,
                                         static_cast<unsigned char>(block_[1]))
                      : std::string_view();
    }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); } // NOLINT: reads like a string

    friend bool operator==(const FixedString& a, const FixedString& b) {
        return a.view() == b.view();
    }
    friend bool operator==(const FixedString& a, std::string_view b) { return a.view() == b; }

private:
    friend class TextPacker;

    bool Owns() const { return block_ && block_[0] == text_block::kOwned; }
    void Release() noexcept {
        if (Owns()) delete[] block_;
    }

    char* block_ = nullptr; // null while empty; else a text_block
};

// Where the texts a TextPacker put into a record lie. The record keeps it beside its fields, and
// it is no value of the record: it stays with the record it was packed for through every copy
// and move (a copied or moved field copies bytes that lie in a block), so it goes only when its
// record goes. Comparisons pass it by. The bytes lie in a larger block that the records one
// packer filled after one another share, and that goes when the last of them goes.
class PackedTexts {
public:
    PackedTexts() noexcept = default;
    PackedTexts(const PackedTexts&) noexcept {}
    PackedTexts& operator=(const PackedTexts&) noexcept { return *this; }
    ~PackedTexts() = default;
    friend bool operator==(const PackedTexts&, const PackedTexts&) { return true; }

private:
    friend class TextPacker;
    std::shared_ptr<char[]> bytes_;
    std::unique_ptr<PackedTexts> earlier_; // only when a record was packed more than once
};

// Fills the texts of one record from a reader: the reader adds each field with its text, then
// packs them into the record's PackedTexts. A record read from a file holds a dozen texts, and a
// dozen allocations (and later a dozen frees) cost more than the reading; so do one or two for
// every record of a large project. The texts of the records one packer packs go one after
// another into blocks of at least kShareBytes, which those records share.
// The fields must stay where they are between Add and Pack (members of one record on the heap).
class TextPacker {
public:
    static constexpr std::size_t kShareBytes = std::size_t{64} << 10;

    // Room for every text of a record (its 34 own and 12 captions): a reader that packs record
    // after record never grows the list.
    TextPacker() { entries_.reserve(48); }

    template <std::size_t Capacity> void Add(FixedString<Capacity>& field, std::string_view text) {
        Enter(field, text, true);
    }
    // The same for a reader whose texts cannot hold a byte that MakeStorable would change: a
    // line of the project file holds no line feed, and the file's data ends before its first
    // byte 26. Its bytes are copied without a look at them.
    template <std::size_t Capacity>
    void AddStorable(FixedString<Capacity>& field, std::string_view text) {
        Enter(field, text, false);
    }

    // The blocks made from now on keep `source` too, for the texts that PutInPlace leaves where
    // a reader found them.
    void KeepWithBlocks(std::shared_ptr<const void> source) { source_ = std::move(source); }

    // The text of a field left where it lies: its two header bytes are written over the two
    // bytes before it, which the reader no longer needs, and `store` keeps the block being filled
    // from now on, which keeps the memory the text lies in (see KeepWithBlocks). `check` as for
    // Add (true) and AddStorable (false). For a reader that owns that memory: the bytes are
    // changed in place.
    template <std::size_t Capacity>
    void PutInPlace(FixedString<Capacity>& field, char* text, std::size_t size, bool check,
                    PackedTexts& store) {
        field.clear();
        if (size == 0) return;
        size = std::min(size, Capacity);
        if (!share_ || store.bytes_ != share_) Room(0, 1, store); // once for a record's texts
        char* block = text - text_block::kHeader;
        block[0] = text_block::kPacked;
        block[1] = static_cast<char>(size);
        if (check) MakeStorable(text, size);
        field.block_ = block;
    }

    // Puts the texts added since the last Pack into a block that `store` keeps from now on,
    // beside any block it kept before.
    void Pack(PackedTexts& store) {
        if (entries_.empty()) return;
        char* out = static_cast<char*>(Room(bytes_, 1, store));
        for (const Entry& e : entries_) {
            *e.block = out;
            out =
                text_block::Write(out, text_block::kPacked, e.text, e.check); // the store frees it
        }
        entries_.clear();
        bytes_ = 0;
    }

    // Room for `bytes` at an address that is a multiple of `align`, in the block being filled,
    // which `store` keeps from now on beside any block it kept before: a reader puts other parts
    // of a record there too (its answers), whose lives end with the record's.
    void* Room(std::size_t bytes, std::size_t align, PackedTexts& store) {
        auto offset = [&] {
            const auto at = reinterpret_cast<std::uintptr_t>(share_.get()) + shareUsed_;
            return shareUsed_ + ((align - at % align) % align);
        };
        std::size_t at = share_ ? offset() : 0;
        if (share_ == nullptr || shareSize_ - std::min(at, shareSize_) < bytes) {
            shareSize_ = std::max(kShareBytes, bytes + align);
            share_ = NewBlock(shareSize_);
            shareUsed_ = 0;
            at = offset();
        }
        if (store.bytes_ != share_) {
            if (store.bytes_) { // texts may still point into it
                auto earlier = std::make_unique<PackedTexts>();
                earlier->bytes_ = std::move(store.bytes_);
                earlier->earlier_ = std::move(store.earlier_);
                store.earlier_ = std::move(earlier);
            }
            store.bytes_ = share_;
        }
        shareUsed_ = at + bytes;
        return share_.get() + at;
    }

    // Gives back the end of the room handed out last, `bytes` from `room` on, which its reader
    // found it did not need; room handed out after it is kept, and so is this then.
    void GiveBack(void* room, std::size_t bytes) {
        if (share_ && static_cast<char*>(room) + bytes == share_.get() + shareUsed_)
            shareUsed_ -= bytes;
    }

private:
    struct Entry {
        char** block = nullptr;
        std::string_view text;
        bool check = false;
    };

    template <std::size_t Capacity>
    void Enter(FixedString<Capacity>& field, std::string_view text, bool check) {
        if (text.size() > Capacity) text = text.substr(0, Capacity);
        field.clear();
        if (text.empty()) return;
        // Filled in place: a whole entry built first and copied in would be read back at once
        // from the stores that just made it, which stalls.
        Entry& entry = entries_.emplace_back();
        entry.block = &field.block_;
        entry.text = text;
        entry.check = check;
        bytes_ += text.size() + text_block::kHeader;
    }

    // A block of `size` bytes, which keeps the source too when there is one.
    std::shared_ptr<char[]> NewBlock(std::size_t size) const {
        if (!source_) return std::make_shared_for_overwrite<char[]>(size);
        struct Kept {
            std::shared_ptr<const void> source;
            std::unique_ptr<char[]> bytes;
        };
        auto kept =
            std::make_shared<Kept>(Kept{source_, std::make_unique_for_overwrite<char[]>(size)});
        char* bytes = kept->bytes.get();
        return std::shared_ptr<char[]>(std::move(kept), bytes);
    }

    std::vector<Entry> entries_;
    std::size_t bytes_ = 0;
    std::shared_ptr<const void> source_; // what every new block keeps too
    std::shared_ptr<char[]> share_; // the block being filled
    std::size_t shareSize_ = 0;
    std::size_t shareUsed_ = 0;
};

using HintString = FixedString<200>;    // Hint, Header
using CaptionString = FixedString<150>; // variant captions, FailOn
using LineString = FixedString<255>;    // ScriptBefore, ScriptAfter, message lines

} // namespace kv
