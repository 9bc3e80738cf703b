#include "dictionary/DictionaryEdit.h"

#include <algorithm>

namespace quillon {

namespace {

std::shared_ptr<const CDictonaryEntry> CopyOf(const CDictonaryEntry* entry) {
    return entry ? std::make_shared<const CDictonaryEntry>(*entry) : nullptr;
}

void Put(CDictonary& dictionary, const std::string& source, const std::shared_ptr<const CDictonaryEntry>& entry) {
    dictionary.PutEntry(source, entry ? std::make_unique<CDictonaryEntry>(*entry) : nullptr);
}

} // namespace

Result<DictionaryEdit> PlanEntry(const CDictonary& dictionary, const std::string& source, ItemKind kind,
                                 std::string translation, std::uint16_t hotkey) {
    if (Status checked = CheckEntry(source, translation, hotkey, kind); !checked) return checked.GetError();
    const CDictonaryEntry* primary = dictionary.Lookup(source);
    auto after = primary ? std::make_shared<CDictonaryEntry>(*primary)
                         : std::make_shared<CDictonaryEntry>(translation, hotkey, kind);
    CDictonaryEntry* target = nullptr;
    if (primary) {
        // The entry for the kind, else the all-kinds one (the primary itself when it is of all kinds).
        target = after->GetKindEntry(kind);
        if (!target) target = after->GetKindEntry(ItemKind::All);
        if (!target)
            target = after->EditSubEntries().emplace(kind, std::make_unique<CDictonaryEntry>("", 0, kind)).first->second.get();
    } else {
        target = after.get();
    }
    target->m_strTranslation = std::move(translation);
    target->m_chHotkey = hotkey;
    return DictionaryEdit{source, CopyOf(primary), std::move(after)};
}

std::optional<DictionaryEdit> PlanRemoval(const CDictonary& dictionary, const std::string& source,
                                          const std::vector<ItemKind>& kinds) {
    const CDictonaryEntry* primary = dictionary.Lookup(source);
    if (!primary) return std::nullopt;
    if (kinds.empty()) return DictionaryEdit{source, CopyOf(primary), nullptr};
    // The entries that stay, primary first, in the order the file keeps them.
    std::vector<const CDictonaryEntry*> kept;
    auto removed = [&](ItemKind kind) { return std::find(kinds.begin(), kinds.end(), kind) != kinds.end(); };
    if (!removed(primary->m_kind)) kept.push_back(primary);
    for (const auto& [kind, entry] : primary->SubEntries())
        if (!removed(kind)) kept.push_back(entry.get());
    if (kept.size() == 1 + primary->SubEntries().size()) return std::nullopt;
    std::shared_ptr<CDictonaryEntry> after;
    if (!kept.empty()) {
        after = std::make_shared<CDictonaryEntry>(kept.front()->m_strTranslation, kept.front()->m_chHotkey,
                                                  kept.front()->m_kind);
        for (auto entry = std::next(kept.begin()); entry != kept.end(); ++entry)
            after->EditSubEntries().emplace((*entry)->m_kind, std::make_unique<CDictonaryEntry>(**entry));
    }
    return DictionaryEdit{source, CopyOf(primary), std::move(after)};
}

void ApplyEdit(CDictonary& dictionary, const DictionaryEdit& edit) { Put(dictionary, edit.source, edit.after); }
void RevertEdit(CDictonary& dictionary, const DictionaryEdit& edit) { Put(dictionary, edit.source, edit.before); }

} // namespace quillon
