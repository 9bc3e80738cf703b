#pragma once
// A change of one item's translation, planned before it is made: what the
// item holds now and what it will hold. Operations that translate or restore
// items return these instead of writing the items, so that one owner applies
// every change to a project and can take it back.

#include <cstdint>
#include <string>

#include "model/ResourceItem.h"

namespace quillon {

// The fields a translation changes.
struct ItemTranslation {
    std::string text;
    std::uint16_t hotkey = 0;
    std::uint32_t state = 0;
    bool operator==(const ItemTranslation&) const = default;
};

ItemTranslation CurrentTranslation(const CResourceItem& item);
// What the item holds after SetTranslation(text, hotkey).
ItemTranslation TranslationAfter(const CResourceItem& item, std::string text, std::uint16_t hotkey);
void Assign(CResourceItem& item, const ItemTranslation& translation);

struct ItemEdit {
    CResourceItem* item = nullptr;
    ItemTranslation before;
    ItemTranslation after;
    bool ChangesNothing() const { return before == after; }
};

// The edit that SetTranslation(text, hotkey) would make.
ItemEdit PlanTranslation(CResourceItem& item, std::string text, std::uint16_t hotkey);
// The edit that gives the item back its source text and hotkey.
ItemEdit PlanRestore(CResourceItem& item);

} // namespace quillon
