#pragma once
// Reading UTF-8 one character at a time, shared by every decoder of it: the
// code page conversion, the translation memory's normalising, and the
// readers of translation files that refuse what is not UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon {

struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 0; // 0: the byte at the position starts no character
};

// The character at text[pos]. A stray continuation byte, a sequence cut
// short, an overlong form, a surrogate or a value past U+10FFFF is none.
inline Utf8Char NextUtf8(std::string_view text, std::size_t pos) {
    auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || pos + length > text.size()) return {};
    char32_t code = lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
        auto next = static_cast<unsigned char>(text[pos + k]);
        if ((next & 0xC0) != 0x80) return {};
        code = (code << 6) | (next & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return {};
    return {code, length};
}

bool IsValidUtf8(std::string_view text);

// `text` as it is when it is UTF-8; otherwise each byte that starts no
// character has become U+FFFD. For names that come from elsewhere (file
// names, texts an older version stored) on their way into UTF-8 output.
std::string ValidUtf8(std::string text);

} // namespace quillon
