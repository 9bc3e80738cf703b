#include "model/TreeTally.h"

#include "model/TreeRoots.h"

namespace quillon {

namespace {

std::size_t Slot(ItemKind kind) {
    auto code = static_cast<std::int32_t>(kind);
    return code >= static_cast<std::int32_t>(ItemKind::String) && code <= static_cast<std::int32_t>(kLastEntryKind)
               ? static_cast<std::size_t>(code)
               : 0;
}

bool IsVersionText(const CResourceItem& item) {
    const auto* block = dynamic_cast<const CVersionBlock*>(&item);
    return block && block->m_nBlockType == kVersionText;
}

} // namespace

KindTally& KindTally::operator+=(const KindTally& other) {
    m_nItems += other.m_nItems;
    m_nTranslated += other.m_nTranslated;
    m_nTranslatable += other.m_nTranslatable;
    m_nTranslatedTranslatable += other.m_nTranslatedTranslatable;
    m_nChanged += other.m_nChanged;
    return *this;
}

const KindTally& TreeTally::Of(ItemKind kind) const {
    static const KindTally kNone;
    std::size_t slot = Slot(kind);
    return slot ? m_kinds[slot] : kNone;
}

void TreeTally::Add(Root root, const CResourceItem& item) {
    std::size_t slot = Slot(item.GetKind());
    if (!slot) return;
    KindTally one;
    one.m_nItems = 1;
    one.m_nTranslated = item.IsTranslated() ? 1 : 0;
    one.m_nTranslatable = item.IsTranslatable() ? 1 : 0;
    one.m_nTranslatedTranslatable = one.m_nTranslated & one.m_nTranslatable;
    one.m_nChanged = (item.m_dwState & RIS_CARRIED) ? 1 : 0;
    m_kinds[slot] += one;
    m_roots[static_cast<std::size_t>(root)] += one;
}

KindTally TreeTally::Counted() const {
    KindTally sum;
    for (std::size_t slot = 0; slot < m_kinds.size(); ++slot)
        if (slot != Slot(ItemKind::Version)) sum += m_kinds[slot];
    return sum;
}

KindTally TreeTally::All() const {
    KindTally sum;
    for (const KindTally& kind : m_kinds) sum += kind;
    return sum;
}

TreeTally TallyTree(const CResourceInfo& info) {
    TreeTally tally;
    WalkItems(info, [&](const ItemVisit<const CResourceItem>& visit) {
        if (visit.root != Root::Version || IsVersionText(visit.item)) tally.Add(visit.root, visit.item);
    });
    return tally;
}

std::uint32_t TranslatedItems(const CResourceInfo& info) { return TallyTree(info).Counted().m_nTranslated; }

} // namespace quillon
