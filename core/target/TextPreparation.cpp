#include "target/TextPreparation.h"

#include "dictionary/Hotkeys.h"
#include "extract/TemplateParsers.h"
#include "extract/TextRules.h"

namespace quillon {

std::string UnescapeControls(std::string_view text, const CodePage& codePage) {
    if (text.find('\\') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        // A double-byte character may end in the byte of '\\': it is one character, never an escape.
        std::size_t length = codePage.CharLength(text, i);
        char control = '\0';
        if (length == 1 && text[i] == '\\' && i + 1 < text.size()) {
            char next = text[i + 1];
            control = next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : '\0';
        }
        if (control) {
            out.push_back(control);
            i += 2;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string PrepareText(std::string_view text, std::uint16_t hotkey, const CodePage& codePage) {
    std::string marked(text);
    std::size_t at = HotkeyPosition(marked, HotkeyByte(hotkey), codePage);
    if (at != std::string::npos) marked.insert(at, 1, '&');
    return UnescapeControls(marked, codePage);
}

namespace {

std::size_t BufferOf(TextRule rule) {
    switch (rule) {
    case TextRule::String: return kStringBuffer;
    case TextRule::Menu: return kMenuTextBuffer;
    case TextRule::Control:
    case TextRule::Caption: return kDialogTextBuffer;
    case TextRule::Version: break;
    }
    return std::string::npos;
}

// Short ASCII without controls (or '&' where hotkeys are split) reads back
// as itself, so it compares without conversion: most of a module's texts.
std::optional<bool> PlainAsciiMatches(std::u16string_view original, const CResourceItem& item, TextRule rule,
                                      const CodePage& codePage) {
    bool hotkeys = rule == TextRule::Menu || rule == TextRule::Control;
    if (!codePage.KeepsAscii() || original.size() >= BufferOf(rule)) return std::nullopt;
    for (char16_t unit : original)
        if (unit >= 0x80 || unit == u'\r' || unit == u'\n' || unit == u'\t' || (hotkeys && unit == u'&'))
            return std::nullopt;
    if (hotkeys && item.m_chHotkey != 0) return false;
    return std::equal(original.begin(), original.end(), item.m_strText.begin(), item.m_strText.end(),
                      [](char16_t unit, char byte) { return unit == static_cast<unsigned char>(byte); });
}

} // namespace

bool OriginalMatches(std::u16string_view original, const CResourceItem& item, TextRule rule, const CodePage& codePage) {
    // Extraction reads a text up to its first NUL (string slots may carry one).
    original = original.substr(0, original.find(u'\0'));
    if (auto plain = PlainAsciiMatches(original, item, rule, codePage)) return *plain;
    std::size_t replaced = 0;
    std::string converted = codePage.FromUtf16(original, &replaced);
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
    auto convert = [&](const std::string& text, std::uint16_t hotkey) {
        if (hotkeys) return codePage.ToUtf16(PrepareText(text, hotkey, codePage));
        if (escaped && text.find('\\') != std::string::npos) return codePage.ToUtf16(UnescapeControls(text, codePage));
        return codePage.ToUtf16(text);
    };
    if (item.IsTranslated())
        return convert(item.m_strTranslation, HotkeyToWrite(item));
    if (original && OriginalMatches(*original, item, rule, codePage)) return *original;
    return convert(item.m_strText, item.m_chHotkey);
}

} // namespace quillon
