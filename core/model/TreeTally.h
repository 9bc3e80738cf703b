#pragma once
// How many items of each kind a tree holds and how many of them are
// translated, counted from the items themselves. The stored counters of a
// project and the Status chart both come from here.

#include <array>
#include <cstdint>

#include "model/ItemKind.h"
#include "model/ResourceInfo.h"
#include "model/TreeRoots.h"

namespace quillon {

struct KindTally {
    std::uint32_t m_nItems = 0;
    std::uint32_t m_nTranslated = 0;
    std::uint32_t m_nTranslatable = 0; // neither empty nor fixed
    std::uint32_t m_nTranslatedTranslatable = 0;
    std::uint32_t m_nChanged = 0; // changed by an update and not translated or confirmed since

    std::uint32_t NotTranslatable() const { return m_nItems - m_nTranslatable; }
    // Translatable items still waiting for a translation.
    std::uint32_t Untranslated() const { return m_nTranslatable - m_nTranslatedTranslatable; }
    KindTally& operator+=(const KindTally& other);
    bool operator==(const KindTally&) const = default;
};

class TreeTally {
public:
    // String, Control, Dialog, PopupMenu, MenuItem or Version; an empty
    // tally for the other kinds.
    const KindTally& Of(ItemKind kind) const;
    // The items below one root: a menu's popups and entries together, a
    // dialog with its controls.
    const KindTally& Of(Root root) const { return m_roots[static_cast<std::size_t>(root)]; }
    void Add(Root root, const CResourceItem& item);

    // The kinds the stored counters hold: everything but version values.
    KindTally Counted() const;
    // Every kind.
    KindTally All() const;

private:
    // By kind code: String (1) to Version (6); slot 0 stays empty.
    std::array<KindTally, 7> m_kinds{};
    std::array<KindTally, 4> m_roots{}; // by Root
};

// Counts every item of the tree. Of the version resource only text values
// count: the blocks that group them and the binary values are structure,
// nothing a translator changes.
TreeTally TallyTree(const CResourceInfo& info);

// The translated items the tree holds, as the window's status bar and `show`
// count them (of the kinds the stored counters hold). The stored counter of
// the last automatic translation may say otherwise after later changes.
std::uint32_t TranslatedItems(const CResourceInfo& info);

} // namespace quillon
