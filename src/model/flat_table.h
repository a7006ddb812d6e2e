#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

namespace kv {

// A map from function numbers (or records) to small values, in one flat array with open
// addressing and linear probing, kept at most half full. The walks over a whole
// project look something up for every dialog and answer: here each lookup reads one or two
// neighbouring entries of a small array, where a node-based map costs a cache miss or two.
template <class Key, class Value> class FlatTable {
    static_assert(std::is_integral_v<Key> || std::is_pointer_v<Key>);

public:
    // Room for `count` keys before the table grows.
    explicit FlatTable(std::size_t count) { Resize(std::bit_ceil(count * 2 + 2)); }

    // The value of the key, put in as `value` when the key is new; second tells whether it was.
    // A reference lasts until the next key is put in.
    std::pair<Value&, bool> TryEmplace(Key key, Value value) {
        if ((used_ + 1) * 2 > entries_.size()) Resize(entries_.size() * 2);
        Entry& e = entries_[Probe(key)];
        if (e.used) return {e.value, false};
        e = {key, true, std::move(value)};
        ++used_;
        return {e.value, true};
    }
    // The value of the key; null when it is not in the table.
    const Value* Find(Key key) const {
        const Entry& e = entries_[Probe(key)];
        return e.used ? &e.value : nullptr;
    }
    bool Contains(Key key) const { return Find(key) != nullptr; }

private:
    struct Entry {
        Key key{};
        bool used = false;
        Value value{};
    };

    static std::uint64_t Bits(Key key) {
        if constexpr (std::is_pointer_v<Key>)
            return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
        else
            return static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<Key>>(key));
    }
    // The entry that holds the key, or the free one where it would go.
    std::size_t Probe(Key key) const {
        const std::size_t mask = entries_.size() - 1;
        std::size_t i = static_cast<std::size_t>((Bits(key) * 0x9E3779B97F4A7C15ULL) >> shift_);
        while (entries_[i].used && entries_[i].key != key)
            i = (i + 1) & mask;
        return i;
    }

    void Resize(std::size_t size) {
        std::vector<Entry> old = std::exchange(entries_, std::vector<Entry>(size));
        shift_ = 64 - std::countr_zero(size);
        for (Entry& e : old) {
            if (e.used) entries_[Probe(e.key)] = std::move(e);
        }
    }

    std::vector<Entry> entries_;
    std::size_t used_ = 0;
    int shift_ = 0;
};

} // namespace kv
