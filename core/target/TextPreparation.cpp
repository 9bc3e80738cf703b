#include "target/TextPreparation.h"

#include "dictionary/Hotkeys.h"
#include "io/ByteReader.h"
#include "extract/TemplateParsers.h"
#include "extract/TextRules.h"

namespace quillon {

std::string PrepareText(std::string_view text, std::uint16_t hotkey, const CodePage& codePage) {
    std::string marked = MarkHotkey(text, hotkey, codePage);
    if (marked.find('\\') == std::string::npos) return marked; // nothing to unescape: no copy
    return UnescapeText(marked, codePage);
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

// Short ASCII without controls, backslashes where texts are escaped, or '&'
// where hotkeys are split reads back as itself, so it compares without
// conversion: most of a module's texts.
std::optional<bool> PlainAsciiMatches(std::u16string_view original, const CResourceItem& item, TextRule rule,
                                      const CodePage& codePage) {
    bool hotkeys = rule == TextRule::Menu || rule == TextRule::Control;
    bool escaped = hotkeys || rule == TextRule::String;
    if (!codePage.KeepsAscii() || original.size() >= BufferOf(rule)) return std::nullopt;
    for (char16_t unit : original)
        if (unit >= 0x80 || unit == u'\r' || unit == u'\n' || unit == u'\t' || (escaped && unit == u'\\') ||
            (hotkeys && unit == u'&'))
            return std::nullopt;
    if (hotkeys && item.m_chHotkey != 0) return false;
    return std::equal(original.begin(), original.end(), item.GetText().begin(), item.GetText().end(),
                      [](char16_t unit, char byte) { return unit == static_cast<unsigned char>(byte); });
}

// Whether the module's text `original`, escaped, satisfies `matches`. A
// project saved before backslashes were escaped holds its sources in that
// older form (converted when it was opened): they still match their module.
template <typename Matches>
bool EscapedMatches(std::string_view original, const CodePage& codePage, Matches matches) {
    if (matches(EscapeText(original, codePage))) return true;
    return original.find('\\') != std::string_view::npos &&
           matches(EscapeLoneBackslashes(EscapeTypedControls(original), codePage));
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
        return EscapedMatches(CutToBuffer(std::move(converted), kStringBuffer - 1, codePage), codePage,
                              [&](const std::string& text) { return text == item.GetText(); });
    case TextRule::Caption:
        return CutToBuffer(std::move(converted), kDialogTextBuffer - 1, codePage) == item.GetText();
    case TextRule::Version:
        return converted == item.GetText();
    case TextRule::Menu:
    case TextRule::Control: {
        std::size_t buffer = rule == TextRule::Menu ? kMenuTextBuffer : kDialogTextBuffer;
        return EscapedMatches(CutToBuffer(std::move(converted), buffer - 1, codePage), codePage, [&](std::string text) {
            if (text.empty()) return item.GetText().empty() && item.m_chHotkey == 0;
            HotkeyText split = SplitHotkey(std::move(text), codePage);
            return split.text == item.GetText() && split.hotkey == item.m_chHotkey;
        });
    }
    }
    return false;
}

std::u16string TextToWrite(const CResourceItem& item, std::optional<std::u16string> original, TextRule rule,
                           const CodePage& codePage) {
    bool hotkeys = rule == TextRule::Menu || rule == TextRule::Control;
    bool escaped = rule != TextRule::Caption && rule != TextRule::Version;
    auto convert = [&](const std::string& text, std::uint16_t hotkey) {
        if (hotkeys) return codePage.ToUtf16(PrepareText(text, hotkey, codePage));
        if (escaped && text.find('\\') != std::string::npos) return codePage.ToUtf16(UnescapeText(text, codePage));
        return codePage.ToUtf16(text);
    };
    if (item.IsTranslated())
        return convert(item.GetTranslation(), HotkeyToWrite(item));
    if (original && OriginalMatches(*original, item, rule, codePage)) return std::move(*original);
    return convert(item.GetText(), item.m_chHotkey);
}

std::u16string TextToWrite(const CResourceItem& item, std::optional<std::span<const std::uint8_t>> originalUnits,
                           TextRule rule, const CodePage& codePage) {
    std::optional<std::u16string> original;
    if (originalUnits && !item.IsTranslated()) ByteReader::DecodeUtf16Le(*originalUnits, original.emplace());
    return TextToWrite(item, std::move(original), rule, codePage);
}

} // namespace quillon
