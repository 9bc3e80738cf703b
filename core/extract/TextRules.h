#pragma once
// Text conventions of the tree: control characters as two-character escapes,
// and the hotkey letter kept apart from the text.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "io/CodePage.h"
#include "model/TextEscapes.h"

namespace quillon {

// A translation typed with bare line breaks (\n, as an editor gives them)
// takes the line breaks of its source: \r\n where the source breaks its
// lines with \r\n or has none (the Windows convention), \n where the
// source uses \n alone. Both texts are escaped; they are read character by
// character, so a double-byte character ending in the byte of '\' is never
// taken for an escape.
std::string FollowLineBreaks(std::string_view source, std::string_view translation, const CodePage& codePage);

struct HotkeyText {
    std::string text;
    std::uint16_t hotkey = 0;
};

// Finds the first '&'. When the character after it is not '&', the '&' is
// removed and that character becomes the hotkey (a byte widened with sign to
// 16 bits); a trailing '&' is removed and gives no hotkey. A character that
// takes more than one byte in the code page never becomes a hotkey: the text
// is then kept as it is, '&' included, so it reads back unchanged.
HotkeyText SplitHotkey(std::string text, const CodePage& codePage);

// A text SplitHotkey keeps whole (its first '&' doubled, as in "Save && E&xit",
// or before a multi-byte character) may still mark its hotkey as Windows
// reads it: the first '&' that is not half of "&&" and has a character after
// it. Returns that '&''s position; npos when the text is not kept whole or
// marks nothing. Such a text needs no '&' added before a hotkey of its own.
std::size_t OwnHotkeyMarker(std::string_view text, const CodePage& codePage);

// Converts template text (UTF-16) to the tree's ANSI text, cut as a fixed
// buffer of `bufferBytes` would cut it, counting replaced characters.
class TemplateText {
public:
    explicit TemplateText(const CodePage& codePage) : m_codePage(codePage), m_keepsAscii(codePage.KeepsAscii()) {}
    std::string Convert(std::u16string_view text, std::size_t bufferBytes);
    std::string Convert(std::u16string_view text); // no buffer limit
    // Text as it lies in a template: the little-endian bytes of its units.
    std::string ConvertLe(std::span<const std::uint8_t> units, std::size_t bufferBytes);
    // The same text as the tree holds it, with its escapes (EscapeText).
    std::string ConvertEscapedLe(std::span<const std::uint8_t> units, std::size_t bufferBytes);
    const CodePage& Page() const { return m_codePage; }
    std::size_t Replaced() const { return m_replaced; }

private:
    std::string ConvertWide(std::span<const std::uint8_t> units, std::size_t bufferBytes);
    std::string NarrowAsciiText(std::span<const std::uint8_t> units, std::size_t bufferBytes,
                                std::size_t& escapes) const;

    const CodePage& m_codePage;
    bool m_keepsAscii;
    std::size_t m_replaced = 0;
    std::u16string m_units; // reused by ConvertLe, so a text costs no allocation of its own
};

} // namespace quillon
