#pragma once
// FindChild without the linear walk: a hash index over the children of one
// item, for scans and merges that look up tens of thousands of children.
// It gives exactly FindChild's answer (the first child that matches) as long
// as children are only appended through it or after it was built.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/FlatTable.h"
#include "model/ResourceItem.h"

namespace quillon {

class ChildIndex {
public:
    explicit ChildIndex(const CResourceItem& parent) : m_parent(parent) {}

    CResourceItem* Find(std::string_view text, std::int32_t id) {
        CatchUp();
        if (id == -1 || id == 65535) {
            auto found = m_byIdAndText.find(Key(text, id));
            return found == m_byIdAndText.end() ? nullptr : found->second;
        }
        // Most look-ups of a scan are for IDs no child has yet, and the hash
        // table's slots are scattered: a bit per ID answers those from memory
        // the scan walks in order. The table is only filled once a look-up
        // may find something.
        if (!MayHold(id)) return nullptr;
        HashUp();
        CResourceItem** found = m_byId.Find(id);
        return found ? *found : nullptr;
    }

    // Forgets everything; for after children were removed or reordered.
    void Reset() {
        m_byId.Clear();
        m_byIdAndText.clear();
        m_idBits.clear();
        m_indexed = 0;
        m_hashed = 0;
    }

private:
    static std::string Key(std::string_view text, std::int32_t id) {
        std::string key(reinterpret_cast<const char*>(&id), sizeof id);
        key.append(text);
        return key;
    }

    // IDs share a bit when they agree in these low bits; every ID a module
    // can give (string IDs go up to 0xFFFFF) has one of its own.
    static constexpr std::uint32_t kIdBitMask = (1u << 20) - 1;

    static std::uint32_t IdBit(std::int32_t id) { return static_cast<std::uint32_t>(id) & kIdBitMask; }
    bool MayHold(std::int32_t id) const {
        std::uint32_t bit = IdBit(id);
        return bit / 64 < m_idBits.size() && (m_idBits[bit / 64] >> (bit % 64) & 1) != 0;
    }
    void Mark(std::int32_t id) {
        std::uint32_t bit = IdBit(id);
        if (bit / 64 >= m_idBits.size()) m_idBits.resize(std::max<std::size_t>(bit / 64 + 1, 2 * m_idBits.size()));
        m_idBits[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }

    // Notes the children appended since the last look-up; the first child
    // with a key wins, as in FindChild.
    void CatchUp() {
        const auto& children = m_parent.GetChildren();
        for (; m_indexed < children.size(); ++m_indexed) {
            CResourceItem* child = children[m_indexed].get();
            Mark(child->m_nID);
            if (child->m_nID == -1 || child->m_nID == 65535)
                m_byIdAndText.emplace(Key(child->GetText(), child->m_nID), child);
        }
    }
    // Fills the ID table with the children noted since it was last filled.
    void HashUp() {
        const auto& children = m_parent.GetChildren();
        for (; m_hashed < m_indexed; ++m_hashed) {
            CResourceItem* child = children[m_hashed].get();
            m_byId.InsertFirst(child->m_nID, child);
        }
    }

    const CResourceItem& m_parent;
    std::vector<std::uint64_t> m_idBits; // by IdBit: whether a child may have the ID
    FlatTable<std::int32_t, CResourceItem*> m_byId; // the first child with an ID keeps it
    std::unordered_map<std::string, CResourceItem*> m_byIdAndText;
    std::size_t m_indexed = 0; // children noted in the bits and the text map
    std::size_t m_hashed = 0;  // children in the ID table
};

} // namespace quillon
