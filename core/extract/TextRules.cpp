#include "extract/TextRules.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "io/ByteReader.h"

namespace quillon {

namespace {

// The characters of an escaped text, an escape counting as one.
template <typename Visit>
void EachCharacter(std::string_view text, const CodePage& codePage, Visit visit) {
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = codePage.CharLength(text, pos);
        if (length == 1 && EscapeLengthAt(text, pos) != 0) length = 2;
        visit(text.substr(pos, length));
        pos += length;
    }
}

// Whether little-endian UTF-16 units are all ASCII: each low byte below
// 0x80 and each high byte 0, checked eight bytes at a time.
bool IsAsciiLe(std::span<const std::uint8_t> units) {
    constexpr std::uint8_t kNotAscii[8] = {0x80, 0xFF, 0x80, 0xFF, 0x80, 0xFF, 0x80, 0xFF};
    std::uint64_t mask;
    std::memcpy(&mask, kNotAscii, sizeof mask);
    std::size_t at = 0;
    for (; at + sizeof mask <= units.size(); at += sizeof mask) {
        std::uint64_t word;
        std::memcpy(&word, units.data() + at, sizeof word);
        if (word & mask) return false;
    }
    for (; at + 1 < units.size(); at += 2) {
        if (units[at] >= 0x80 || units[at + 1] != 0) return false;
    }
    return true;
}

// What NarrowAscii returns for units that are not all ASCII.
constexpr std::size_t kNotAscii = SIZE_MAX;

// Writes the low bytes of the first `count` units to `out`, eight units at a
// time where the processor packs them. Returns how many of them are
// characters the tree escapes, or kNotAscii when one of them is not ASCII
// (then `out` holds nothing of use).
std::size_t NarrowAscii(const std::uint8_t* units, std::size_t count, char* out) {
    std::size_t at = 0;
    std::size_t escapes = 0;
#if defined(__SSE2__)
    // The four characters EscapeFor writes as escapes.
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i beyondAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    for (; at + 8 <= count; at += 8) {
        const __m128i wide = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + 2 * at));
        // Checked before packing, which takes units as signed: one from
        // 0x8000 up would become 0.
        const __m128i high = _mm_and_si128(wide, beyondAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) return kNotAscii;
        const __m128i narrow = _mm_packus_epi16(wide, _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + at), narrow);
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(narrow, lineFeed), _mm_cmpeq_epi8(narrow, carriageReturn));
        const __m128i others = _mm_or_si128(_mm_cmpeq_epi8(narrow, tab), _mm_cmpeq_epi8(narrow, backslash));
        const __m128i special = _mm_or_si128(breaks, others);
        for (auto found = static_cast<unsigned>(_mm_movemask_epi8(special)); found != 0; found &= found - 1) ++escapes;
    }
#endif
    for (; at < count; ++at) {
        if (units[2 * at] >= 0x80 || units[2 * at + 1] != 0) return kNotAscii;
        out[at] = static_cast<char>(units[2 * at]);
        escapes += EscapeFor(out[at]) != nullptr;
    }
    return escapes;
}

// The letter after the backslash of each ASCII character the tree escapes.
constexpr std::array<char, 128> kEscapeLetters = [] {
    std::array<char, 128> letters{};
    for (std::size_t c = 0; c < letters.size(); ++c)
        if (const char* escape = EscapeFor(static_cast<char>(c))) letters[c] = escape[1];
    return letters;
}();

// Writes the `escapes` escapes an ASCII text needs into it in place, from
// its end.
void ExpandEscapes(std::string& text, std::size_t escapes) {
    std::size_t from = text.size();
    text.resize(from + escapes);
    for (std::size_t to = text.size(); to > from;) {
        const char character = text[--from];
        const char letter = kEscapeLetters[static_cast<unsigned char>(character)];
        text[--to] = letter ? letter : character;
        if (letter) text[--to] = '\\';
    }
}

} // namespace

std::string FollowLineBreaks(std::string_view source, std::string_view translation, const CodePage& codePage) {
    bool bareInSource = false;
    bool crlfInSource = false;
    std::string_view previous;
    EachCharacter(source, codePage, [&](std::string_view character) {
        if (character == "\\n") (previous == "\\r" ? crlfInSource : bareInSource) = true;
        previous = character;
    });
    bool crlf = crlfInSource || !bareInSource;
    std::string out;
    out.reserve(translation.size() + 8);
    previous = {};
    EachCharacter(translation, codePage, [&](std::string_view character) {
        if (character == "\\n" && previous != "\\r") {
            out += crlf ? "\\r\\n" : "\\n";
        } else if (character == "\\n" && !crlf) {
            out.resize(out.size() - 2); // the \r of \r\n goes
            out += "\\n";
        } else {
            out += character;
        }
        previous = character;
    });
    return out;
}

HotkeyText SplitHotkey(std::string text, const CodePage& codePage) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] != '&') pos += codePage.CharLength(text, pos);
    if (pos >= text.size()) return {std::move(text), 0};
    std::size_t next = pos + 1;
    if (next < text.size() && text[next] == '&') return {std::move(text), 0};
    if (next < text.size() && codePage.CharLength(text, next) > 1) return {std::move(text), 0};
    // Sign extension as a signed char widened to 16 bits.
    std::uint16_t hotkey = 0;
    if (next < text.size())
        hotkey = static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(text[next])));
    text.erase(pos, 1);
    return {std::move(text), hotkey};
}

std::size_t OwnHotkeyMarker(std::string_view text, const CodePage& codePage) {
    std::size_t first = text.find('&');
    if (first == std::string_view::npos || first + 1 >= text.size()) return std::string_view::npos;
    bool keptWhole = text[first + 1] == '&' || codePage.CharLength(text, first + 1) > 1;
    if (!keptWhole) return std::string_view::npos;
    // '&' is no byte of a multi-byte character in any Windows code page, so
    // the bytes can be scanned as they are.
    for (std::size_t pos = first; pos + 1 < text.size(); ++pos) {
        if (text[pos] != '&') continue;
        if (text[pos + 1] != '&') return pos;
        ++pos;
    }
    return std::string_view::npos;
}

std::string TemplateText::Convert(std::u16string_view text, std::size_t bufferBytes) {
    std::string converted = m_codePage.FromUtf16(text, &m_replaced);
    // The buffer holds the terminator too.
    return CutToBuffer(std::move(converted), bufferBytes - 1, m_codePage);
}

std::string TemplateText::ConvertLe(std::span<const std::uint8_t> units, std::size_t bufferBytes) {
    std::size_t escapes = 0;
    if (std::string text = NarrowAsciiText(units, bufferBytes, escapes); escapes != kNotAscii) return text;
    return ConvertWide(units, bufferBytes);
}

std::string TemplateText::ConvertEscapedLe(std::span<const std::uint8_t> units, std::size_t bufferBytes) {
    std::size_t escapes = 0;
    std::string text = NarrowAsciiText(units, bufferBytes, escapes);
    if (escapes == kNotAscii) return EscapeText(ConvertWide(units, bufferBytes), m_codePage);
    // Most texts have nothing to escape and are then done in one pass.
    if (escapes > 0) ExpandEscapes(text, escapes);
    return text;
}

// Any text, through the code page's conversion.
std::string TemplateText::ConvertWide(std::span<const std::uint8_t> units, std::size_t bufferBytes) {
    ByteReader::DecodeUtf16Le(units, m_units);
    return Convert(m_units, bufferBytes);
}

// Most template texts are ASCII, which their low bytes already are: such a
// text is its low bytes, cut where the buffer ends. `escapes` becomes
// kNotAscii for any other text, also one whose character beyond ASCII lies
// past the cut: its conversion counts that character as replaced.
std::string TemplateText::NarrowAsciiText(std::span<const std::uint8_t> units, std::size_t bufferBytes,
                                          std::size_t& escapes) const {
    escapes = kNotAscii;
    if (!m_keepsAscii) return {};
    std::string text(std::min(units.size() / 2, bufferBytes - 1), '\0');
    escapes = NarrowAscii(units.data(), text.size(), text.data());
    if (escapes != kNotAscii && !IsAsciiLe(units.subspan(2 * text.size()))) escapes = kNotAscii;
    return text;
}

std::string TemplateText::Convert(std::u16string_view text) { return m_codePage.FromUtf16(text, &m_replaced); }

} // namespace quillon
