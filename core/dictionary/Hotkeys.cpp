#include "dictionary/Hotkeys.h"

#include <map>
#include <string>
#include <vector>

namespace quillon {

namespace {

// Positions in `text` of the characters that may carry a hotkey: single-byte
// characters outside the escapes \r, \n and \t.
std::vector<std::size_t> HotkeyPositions(std::string_view text, const CodePage& codePage) {
    std::vector<std::size_t> positions;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = codePage.CharLength(text, pos);
        bool escape = text[pos] == '\\' && pos + 1 < text.size() &&
                      (text[pos + 1] == 'r' || text[pos + 1] == 'n' || text[pos + 1] == 't');
        if (escape) {
            pos += 2;
            continue;
        }
        if (length == 1) positions.push_back(pos);
        pos += length;
    }
    return positions;
}

bool IsAsciiLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::uint8_t Byte(std::uint16_t hotkey) { return static_cast<std::uint8_t>(hotkey & 0xFF); }

} // namespace

std::uint8_t UpperAscii(std::uint8_t c) { return (c >= 'a' && c <= 'z') ? static_cast<std::uint8_t>(c - 32) : c; }

std::uint8_t OtherCase(std::uint8_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(c - 32);
    if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(c + 32);
    return c;
}

bool HotkeyOccursIn(std::string_view text, std::uint8_t c, const CodePage& codePage) {
    if (c == 0) return false;
    for (std::size_t pos : HotkeyPositions(text, codePage))
        if (static_cast<std::uint8_t>(text[pos]) == c) return true;
    return false;
}

bool HotkeyEligible(const CResourceItem& item) {
    return !(item.m_dwState & RIS_FIXED) && item.IsTranslated() && item.m_chHotkey != 0;
}

std::uint8_t ChooseHotkey(const CResourceItem& item, const CodePage& codePage) {
    const std::string& text = item.m_strTranslation;
    std::uint8_t c = Byte(item.m_chTransHotkey);
    if (c != 0) {
        if (HotkeyOccursIn(text, c, codePage)) return c;
        c = OtherCase(c);
        if (HotkeyOccursIn(text, c, codePage)) return c;
    }
    c = Byte(item.m_chHotkey);
    if (HotkeyOccursIn(text, c, codePage)) return c;
    std::uint8_t other = OtherCase(c);
    if (HotkeyOccursIn(text, other, codePage) || text.empty()) return other;
    for (std::size_t pos : HotkeyPositions(text, codePage))
        if (IsAsciiLetter(static_cast<std::uint8_t>(text[pos]))) return static_cast<std::uint8_t>(text[pos]);
    return other;
}

std::uint16_t HotkeyToWrite(const CResourceItem& item) {
    return item.IsTranslated() && item.m_chTransHotkey != 0 ? item.m_chTransHotkey : item.m_chHotkey;
}

std::uint8_t TargetHotkey(const CResourceItem& item, const CodePage& codePage) {
    const std::string& text = item.IsTranslated() ? item.m_strTranslation : item.m_strText;
    std::uint8_t c = Byte(HotkeyToWrite(item));
    return HotkeyOccursIn(text, c, codePage) ? c : 0;
}

std::vector<HotkeyClash> DuplicateHotkeys(const CResourceItem& level, const CodePage& codePage) {
    std::vector<HotkeyClash> clashes;
    std::map<std::uint8_t, std::size_t> index; // upper-case hotkey -> its entry in `clashes`
    for (const auto& child : level.GetChildren()) {
        std::uint8_t hotkey = TargetHotkey(*child, codePage);
        if (hotkey == 0) continue;
        auto [found, added] = index.emplace(UpperAscii(hotkey), clashes.size());
        if (added) clashes.push_back({UpperAscii(hotkey), {}});
        clashes[found->second].items.push_back(child.get());
    }
    std::erase_if(clashes, [](const HotkeyClash& clash) { return clash.items.size() < 2; });
    return clashes;
}

void AssignHotkey(CResourceItem& item, UsedHotkeys& used, const CodePage& codePage) {
    std::uint8_t c = ChooseHotkey(item, codePage);
    if (c == 0 || used.count(UpperAscii(c))) {
        // Fall back to the characters of the translation, in order, letters or not.
        c = 0;
        for (std::size_t pos : HotkeyPositions(item.m_strTranslation, codePage)) {
            auto candidate = static_cast<std::uint8_t>(item.m_strTranslation[pos]);
            if (candidate != 0 && !used.count(UpperAscii(candidate))) {
                c = candidate;
                break;
            }
        }
    }
    item.m_chTransHotkey = c;
    if (c != 0) used.insert(UpperAscii(c));
}

} // namespace quillon
