#pragma once
// FindChild without the linear walk: a hash index over the children of one
// item, for scans and merges that look up tens of thousands of children.
// It gives exactly FindChild's answer (the first child that matches) as long
// as children are only appended through it or after it was built.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

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
        CResourceItem** found = m_byId.Find(id);
        return found ? *found : nullptr;
    }

    // `after` took the place of `before` among the children.
    void Replace(const CResourceItem& before, CResourceItem& after) {
        CatchUp();
        if (CResourceItem** byId = m_byId.Find(before.m_nID); byId && *byId == &before) *byId = &after;
        auto found = m_byIdAndText.find(Key(before.GetText(), before.m_nID));
        if (found != m_byIdAndText.end() && found->second == &before) found->second = &after;
        if (after.m_nID != before.m_nID || after.GetText() != before.GetText()) Reset();
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
            if (child->m_nID == -1 || child->m_nID == 65535) m_byIdAndText.emplace(Key(child->GetText(), child->m_nID), child);
        }
    }

    const CResourceItem& m_parent;
    FlatTable<std::int32_t, CResourceItem*> m_byId; // the first child with an ID keeps it
    std::unordered_map<std::string, CResourceItem*> m_byIdAndText;
    std::size_t m_indexed = 0;
};

} // namespace quillon
