#include "model/ItemEdit.h"

namespace quillon {

ItemTranslation CurrentTranslation(const CResourceItem& item) {
    return {item.GetTranslation(), item.m_chTransHotkey, item.m_dwState};
}

ItemTranslation TranslationAfter(const CResourceItem& item, std::string text, std::uint16_t hotkey) {
    std::uint32_t state = StateAfterTranslation(item.m_dwState, item.GetText(), text);
    return {std::move(text), hotkey, state};
}

void Assign(CResourceItem& item, const ItemTranslation& translation) {
    item.SetTranslationText(translation.text);
    item.m_chTransHotkey = translation.hotkey;
    item.m_dwState = translation.state;
}

ItemEdit PlanTranslation(CResourceItem& item, std::string text, std::uint16_t hotkey) {
    return {&item, CurrentTranslation(item), TranslationAfter(item, std::move(text), hotkey)};
}

ItemEdit PlanRestore(CResourceItem& item) { return PlanTranslation(item, item.GetText(), item.m_chHotkey); }

} // namespace quillon
