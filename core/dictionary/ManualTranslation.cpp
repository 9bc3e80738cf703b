#include "dictionary/ManualTranslation.h"

#include "dictionary/Hotkeys.h"
#include "project/Project.h"

namespace quillon {

ManualResult TranslateManually(CResourceItem& item, std::string translation, std::uint16_t hotkey,
                               const CodePage& codePage) {
    if (translation == item.m_strText) return ManualResult::SameAsSource;
    if (hotkey != 0 && !HotkeyOccursIn(translation, static_cast<std::uint8_t>(hotkey & 0xFF), codePage))
        return ManualResult::HotkeyNotInText;
    item.SetTranslation(std::move(translation), hotkey);
    return ManualResult::Applied;
}

const CDictonaryEntry* SearchDictionary(const CDictonary& dictionary, const CResourceItem& item) {
    return dictionary.FindEntry(item.m_strText, item.GetKind());
}

AddResult AddToDictionary(CDictonary& dictionary, const CResourceItem& item, const std::string& translation,
                          std::uint16_t hotkey, const std::function<bool()>& confirmReplace) {
    if (translation == item.m_strText) return AddResult::SameAsSource;
    auto kind = item.GetKind();
    // Checked before either path: a replaced entry must be one the file can hold too.
    if (!CheckEntry(item.m_strText, translation, hotkey, kind)) return AddResult::Refused;
    if (CDictonaryEntry* existing = dictionary.FindEntry(item.m_strText, kind)) {
        if (!confirmReplace || !confirmReplace()) return AddResult::Kept;
        existing->m_strTranslation = translation;
        existing->m_chHotkey = hotkey;
        return AddResult::Replaced;
    }
    return dictionary.AddEntry(item.m_strText, translation, hotkey, kind) ? AddResult::Added : AddResult::Kept;
}

void RestoreItem(CResourceItem& item) { item.SetTranslation(item.m_strText, item.m_chHotkey); }

namespace {

std::size_t RestoreTree(CResourceItem& parent) {
    std::size_t restored = 0;
    for (auto& child : parent.GetChildren()) {
        if (child->IsTranslatable() && (child->IsTranslated() || child->m_strTranslation != child->m_strText ||
                                        child->m_chTransHotkey != child->m_chHotkey)) {
            RestoreItem(*child);
            ++restored;
        }
        restored += RestoreTree(*child);
    }
    return restored;
}

} // namespace

std::size_t RestoreAll(CProject& project) {
    CResourceInfo& info = project.m_ResourceInfo;
    // Version values stay: the translator's own entries live there.
    std::size_t restored = RestoreTree(info.m_Menus) + RestoreTree(info.m_Strings) + RestoreTree(info.m_Dialogs);
    info.m_nTranslated = 0;
    return restored;
}

} // namespace quillon
