#pragma once
// A hash table from integer keys to small values in one array (open
// addressing, linear probing): for the tens of thousands of offsets and IDs
// a module holds, and the trigrams a memory import counts, where a node per
// entry would cost more than the look-ups. The first value stored under a
// key keeps it.

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace quillon {

template <typename Key, typename Value>
class FlatTable {
public:
    // The value under `key`, or null.
    Value* Find(Key key) {
        if (m_slots.empty()) return nullptr;
        Slot& slot = Probe(key);
        return slot.used ? &slot.value : nullptr;
    }
    // Stores `value` under `key` unless the key is there already; true when stored.
    bool InsertFirst(Key key, Value value) {
        if (2 * (m_count + 1) > m_slots.size()) Grow();
        Slot& slot = Probe(key);
        if (slot.used) return false;
        slot = {key, value, true};
        ++m_count;
        return true;
    }
    // The value under `key`, added as Value{} when the key is new.
    Value& FindOrAdd(Key key) {
        if (2 * (m_count + 1) > m_slots.size()) Grow();
        Slot& slot = Probe(key);
        if (!slot.used) {
            slot = {key, Value{}, true};
            ++m_count;
        }
        return slot.value;
    }
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (const Slot& slot : m_slots)
            if (slot.used) visit(slot.key, slot.value);
    }
    void Clear() {
        m_slots.clear();
        m_count = 0;
    }

private:
    struct Slot {
        Key key{};
        Value value{};
        bool used = false;
    };
    // The slot holding `key`, or the free slot where it would go.
    Slot& Probe(Key key) {
        std::size_t mask = m_slots.size() - 1;
        std::uint64_t bits = static_cast<std::make_unsigned_t<Key>>(key);
        // A wider key's upper half is folded in: the product's bits taken
        // below depend on the key's low 40 bits only.
        if constexpr (sizeof(Key) > 4) bits ^= bits >> 32;
        auto hash = static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 24);
        for (std::size_t i = hash & mask;; i = (i + 1) & mask)
            if (!m_slots[i].used || m_slots[i].key == key) return m_slots[i];
    }
    void Grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 16 : old.size() * 2, Slot{});
        m_count = 0;
        for (const Slot& slot : old)
            if (slot.used) InsertFirst(slot.key, slot.value);
    }
    std::vector<Slot> m_slots; // a power of two in size, at most half full
    std::size_t m_count = 0;
};

} // namespace quillon
