#pragma once
// A hash table from 32-bit keys to small values in one array (open
// addressing, linear probing): for the tens of thousands of offsets and IDs
// a module holds, where a node per entry would cost more than the look-ups.
// The first value stored under a key keeps it.

#include <cstddef>
#include <cstdint>
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
        auto hash = static_cast<std::size_t>((static_cast<std::uint32_t>(key) * 0x9E3779B97F4A7C15ull) >> 24);
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
