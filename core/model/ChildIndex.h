#pragma once
// FindChild without the linear walk: a hash index over the children of one
// item, for scans and merges that look up tens of thousands of children.
// It gives exactly FindChild's answer (the first child that matches) as long
// as children are only appended through it or after it was built.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

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
        auto found = m_byId.find(id);
        return found == m_byId.end() ? nullptr : found->second;
    }

    // `after` took the place of `before` among the children.
    void Replace(const CResourceItem& before, CResourceItem& after) {
        CatchUp();
        auto swapIn = [&](auto& map, const auto& key) {
            auto found = map.find(key);
            if (found != map.end() && found->second == &before) found->second = &after;
        };
        swapIn(m_byId, before.m_nID);
        swapIn(m_byIdAndText, Key(before.m_strText, before.m_nID));
        if (after.m_nID != before.m_nID || after.m_strText != before.m_strText) Reset();
    }

    // Forgets everything; for after children were removed or reordered.
    void Reset() {
        m_byId.clear();
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
        if (children.size() > m_byId.size() + 64) m_byId.reserve(children.size());
        for (; m_indexed < children.size(); ++m_indexed) {
            CResourceItem* child = children[m_indexed].get();
            m_byId.emplace(child->m_nID, child);
            if (child->m_nID == -1 || child->m_nID == 65535) m_byIdAndText.emplace(Key(child->m_strText, child->m_nID), child);
        }
    }

    const CResourceItem& m_parent;
    std::unordered_map<std::int32_t, CResourceItem*> m_byId;
    std::unordered_map<std::string, CResourceItem*> m_byIdAndText;
    std::size_t m_indexed = 0;
};

} // namespace quillon
