#pragma once
// Positions of texts in a list, found by the text: a hash table in one array
// (open addressing, linear probing) that stores each text's hash and
// position, never the text. The caller says whether the text at a position
// is the one looked for, so the list stays the one owner of its texts.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

class TextIndex {
public:
    // The position of `text`, when `isAt(position)` confirms one.
    template <typename IsAt>
    std::optional<std::uint32_t> Find(std::string_view text, IsAt&& isAt) const {
        if (m_slots.empty()) return std::nullopt;
        const std::uint32_t hash = Hash(text);
        for (std::size_t i = hash & Mask();; i = (i + 1) & Mask()) {
            const Slot& slot = m_slots[i];
            if (slot.position == kEmpty) return std::nullopt;
            if (slot.position != kErased && slot.hash == hash && isAt(slot.position)) return slot.position;
        }
    }

    // Adds `text` at `position`; the text must not be in the index.
    void Insert(std::string_view text, std::uint32_t position) {
        if (2 * (m_used + m_erased + 1) > m_slots.size()) Rehash(m_used + 1);
        Place({Hash(text), position});
        ++m_used;
    }

    // Takes out `position`, where Find found `text`.
    void Erase(std::string_view text, std::uint32_t position) {
        if (m_slots.empty()) return;
        for (std::size_t i = Hash(text) & Mask();; i = (i + 1) & Mask()) {
            Slot& slot = m_slots[i];
            if (slot.position == kEmpty) return;
            if (slot.position == position) {
                slot.position = kErased; // later texts were placed past it: probing goes on
                --m_used;
                ++m_erased;
                return;
            }
        }
    }

    void Clear() {
        m_slots = {};
        m_used = m_erased = 0;
    }
    // Room for `count` texts without growing.
    void Reserve(std::size_t count) {
        if (2 * count > m_slots.size()) Rehash(count);
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    static constexpr std::uint32_t kErased = 0xFFFFFFFE;

    // 32 bits of hash pick the slot and, compared first, spare reading
    // nearly every other text that lands on the same probe path.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t position = kEmpty;
    };

    static std::uint32_t Hash(std::string_view text) {
        std::uint64_t full = std::hash<std::string_view>{}(text);
        return static_cast<std::uint32_t>(full ^ (full >> 32));
    }
    std::size_t Mask() const { return m_slots.size() - 1; }

    void Place(Slot slot) {
        std::size_t i = slot.hash & Mask();
        while (m_slots[i].position != kEmpty && m_slots[i].position != kErased) i = (i + 1) & Mask();
        if (m_slots[i].position == kErased) --m_erased;
        m_slots[i] = slot;
    }

    // Slots for at least `count` texts, at most half full; erased slots go.
    void Rehash(std::size_t count) {
        std::size_t size = 16;
        while (size < 2 * count) size *= 2;
        std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(size));
        m_erased = 0;
        for (const Slot& slot : old)
            if (slot.position != kEmpty && slot.position != kErased) Place(slot);
    }

    std::vector<Slot> m_slots; // empty, or a power of two in size
    std::size_t m_used = 0;
    std::size_t m_erased = 0;
};

// A TextIndex made when first asked for, safely when the first questions
// come from two threads at once (Auto Translate looks up texts on a thread
// of its own). Changes of the texts, and with them of the index, are made
// by one thread while no other reads.
class LazyTextIndex {
public:
    LazyTextIndex() = default;
    LazyTextIndex(LazyTextIndex&& other) noexcept
        : m_index(std::move(other.m_index)), m_ready(other.m_ready.load()) {}
    LazyTextIndex& operator=(LazyTextIndex&& other) noexcept {
        m_index = std::move(other.m_index);
        m_ready = other.m_ready.load();
        return *this;
    }

    // The index, made by `make(index)` first when there is none.
    template <typename Make>
    const TextIndex& Get(Make&& make) const {
        if (!m_ready.load(std::memory_order_acquire)) {
            std::lock_guard lock(m_making);
            if (!m_ready.load(std::memory_order_relaxed)) {
                m_index.Clear();
                make(m_index);
                m_ready.store(true, std::memory_order_release);
            }
        }
        return m_index;
    }
    // The index an earlier Get made, for changing it with the texts.
    TextIndex& Made() { return m_index; }
    // Drops the index; the next Get makes it again.
    void Forget() {
        m_index.Clear();
        m_ready = false;
    }

private:
    mutable TextIndex m_index;
    mutable std::atomic<bool> m_ready{false};
    mutable std::mutex m_making;
};

} // namespace quillon
