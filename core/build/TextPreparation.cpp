#include "build/TextPreparation.h"

#include "dictionary/Hotkeys.h"
#include "extract/TemplateParsers.h"
#include "extract/TextRules.h"

namespace quillon {

std::string UnescapeControls(std::string_view text) {
    if (text.find('\\') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            char next = text[i + 1];
            char control = next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : '\0';
            if (control) {
                out.push_back(control);
                ++i;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string PrepareText(std::string_view text, std::uint16_t hotkey, const CodePage& codePage) {
    std::string marked(text);
    auto letter = static_cast<std::uint8_t>(hotkey & 0xFF);
    if (letter != 0) {
        for (std::size_t pos = 0; pos < marked.size();) {
            bool escape = marked[pos] == '\\' && pos + 1 < marked.size() &&
                          (marked[pos + 1] == 'r' || marked[pos + 1] == 'n' || marked[pos + 1] == 't');
            std::size_t length = escape ? 2 : codePage.CharLength(marked, pos);
            if (!escape && length == 1 && static_cast<std::uint8_t>(marked[pos]) == letter) {
                marked.insert(pos, 1, '&');
                break;
            }
            pos += length;
        }
    }
    return UnescapeControls(marked);
}

bool OriginalMatches(std::u16string_view original, const CResourceItem& item, TextRule rule, const CodePage& codePage) {
    std::size_t replaced = 0;
    // Extraction reads a text up to its first NUL (string slots may carry one).
    std::string converted = codePage.FromUtf16(original.substr(0, original.find(u'\0')), &replaced);
    // A character the code page cannot hold reads as '?': the original is
    // still the same text, and writing it keeps the character.
    switch (rule) {
    case TextRule::String:
        return EscapeControls(CutToBuffer(std::move(converted), kStringBuffer - 1, codePage)) == item.m_strText;
    case TextRule::Caption:
        return CutToBuffer(std::move(converted), kDialogTextBuffer - 1, codePage) == item.m_strText;
    case TextRule::Version:
        return converted == item.m_strText;
    case TextRule::Menu:
    case TextRule::Control: {
        std::size_t buffer = rule == TextRule::Menu ? kMenuTextBuffer : kDialogTextBuffer;
        std::string text = EscapeControls(CutToBuffer(std::move(converted), buffer - 1, codePage));
        if (text.empty()) return item.m_strText.empty() && item.m_chHotkey == 0;
        HotkeyText split = SplitHotkey(std::move(text), codePage);
        return split.text == item.m_strText && split.hotkey == item.m_chHotkey;
    }
    }
    return false;
}

std::u16string TextToWrite(const CResourceItem& item, const std::optional<std::u16string>& original, TextRule rule,
                           const CodePage& codePage) {
    bool hotkeys = rule == TextRule::Menu || rule == TextRule::Control;
    bool escaped = rule != TextRule::Caption && rule != TextRule::Version;
    if (item.IsTranslated()) {
        std::uint16_t hotkey = item.m_chTransHotkey ? item.m_chTransHotkey : item.m_chHotkey;
        std::string text = hotkeys ? PrepareText(item.m_strTranslation, hotkey, codePage)
                                   : escaped ? UnescapeControls(item.m_strTranslation) : item.m_strTranslation;
        return codePage.ToUtf16(text);
    }
    if (original && OriginalMatches(*original, item, rule, codePage)) return *original;
    std::string text = hotkeys ? PrepareText(item.m_strText, item.m_chHotkey, codePage)
                               : escaped ? UnescapeControls(item.m_strText) : item.m_strText;
    return codePage.ToUtf16(text);
}

} // namespace quillon
