#pragma once
// FindChild without the linear walk: a hash index over the children of one
// item, for scans and merges that look up tens of thousands of children.
// It gives exactly FindChild's answer (the first child that matches) as long
// as children are only appended through it or after it was built.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/ResourceItem.h"

namespace quillon {

// Children by ID in one array (open addressing): a root holds tens of
// thousands of children, and a node per child would cost more than finding
// them. The first child stored under an ID keeps it.
class ChildIdTable {
public:
    CResourceItem* Find(std::int32_t id) const {
        const Slot* slot = Lookup(id);
        return slot ? slot->item : nullptr;
    }
    void InsertFirst(std::int32_t id, CResourceItem* item) {
        if (2 * (m_count + 1) > m_slots.size()) Grow();
        Slot& slot = Probe(id);
        if (slot.item) return;
        slot = {id, item};
        ++m_count;
    }
    // `after` takes the entry of `before`, if `before` holds `id`.
    void Swap(std::int32_t id, const CResourceItem& before, CResourceItem& after) {
        if (Slot* slot = Lookup(id); slot && slot->item == &before) slot->item = &after;
    }
    void Clear() {
        m_slots.clear();
        m_count = 0;
    }

private:
    struct Slot {
        std::int32_t id = 0;
        CResourceItem* item = nullptr; // null: free
    };
    std::size_t Start(std::int32_t id) const {
        return static_cast<std::size_t>((static_cast<std::uint32_t>(id) * 0x9E3779B97F4A7C15ull) >> 24) & (m_slots.size() - 1);
    }
    // The slot holding `id`, or the free slot where it would go.
    Slot& Probe(std::int32_t id) {
        for (std::size_t i = Start(id);; i = (i + 1) & (m_slots.size() - 1))
            if (!m_slots[i].item || m_slots[i].id == id) return m_slots[i];
    }
    Slot* Lookup(std::int32_t id) {
        if (m_slots.empty()) return nullptr;
        Slot& slot = Probe(id);
        return slot.item ? &slot : nullptr;
    }
    const Slot* Lookup(std::int32_t id) const { return const_cast<ChildIdTable*>(this)->Lookup(id); }
    void Grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 16 : old.size() * 2, Slot{});
        m_count = 0;
        for (const Slot& slot : old)
            if (slot.item) InsertFirst(slot.id, slot.item);
    }
    std::vector<Slot> m_slots; // a power of two, at most half full
    std::size_t m_count = 0;
};

class ChildIndex {
public:
    explicit ChildIndex(const CResourceItem& parent) : m_parent(parent) {}

    CResourceItem* Find(std::string_view text, std::int32_t id) {
        CatchUp();
        if (id == -1 || id == 65535) {
            auto found = m_byIdAndText.find(Key(text, id));
            return found == m_byIdAndText.end() ? nullptr : found->second;
        }
        return m_byId.Find(id);
    }

    // `after` took the place of `before` among the children.
    void Replace(const CResourceItem& before, CResourceItem& after) {
        CatchUp();
        m_byId.Swap(before.m_nID, before, after);
        auto found = m_byIdAndText.find(Key(before.m_strText, before.m_nID));
        if (found != m_byIdAndText.end() && found->second == &before) found->second = &after;
        if (after.m_nID != before.m_nID || after.m_strText != before.m_strText) Reset();
    }

    // Forgets everything; for after children were removed or reordered.
    void Reset() {
        m_byId.Clear();
        m_byIdAndText.clear();
        m_indexed = 0;
    }

private:
    static std::string Key(std::string_view text, std::int32_t id) {
        std::string key(reinterpret_cast<const char*>(&id), sizeof id);
        key.append(text);
        return key;
    }

    // Indexes children appended since the last look-up; the first child with
    // a key wins, as in FindChild.
    void CatchUp() {
        const auto& children = m_parent.GetChildren();
        for (; m_indexed < children.size(); ++m_indexed) {
            CResourceItem* child = children[m_indexed].get();
            m_byId.InsertFirst(child->m_nID, child);
            if (child->m_nID == -1 || child->m_nID == 65535) m_byIdAndText.emplace(Key(child->m_strText, child->m_nID), child);
        }
    }

    const CResourceItem& m_parent;
    ChildIdTable m_byId;
    std::unordered_map<std::string, CResourceItem*> m_byIdAndText;
    std::size_t m_indexed = 0;
};

} // namespace quillon
