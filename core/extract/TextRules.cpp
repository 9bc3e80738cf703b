#include "extract/TextRules.h"

#include <algorithm>
#include <cstring>

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
    // Most template texts are ASCII, which their low bytes already are.
    if (m_codePage.KeepsAscii() && IsAsciiLe(units)) {
        std::string text(units.size() / 2, '\0');
        for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(units[2 * i]);
        return CutToBuffer(std::move(text), bufferBytes - 1, m_codePage);
    }
    ByteReader::DecodeUtf16Le(units, m_units);
    return Convert(m_units, bufferBytes);
}

std::string TemplateText::Convert(std::u16string_view text) { return m_codePage.FromUtf16(text, &m_replaced); }

} // namespace quillon
