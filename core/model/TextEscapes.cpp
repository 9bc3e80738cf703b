#include "model/TextEscapes.h"

#include <algorithm>

namespace quillon {

namespace {

char ControlOf(char escaped) {
    switch (escaped) {
    case 'r': return '\r';
    case 'n': return '\n';
    case 't': return '\t';
    case '\\': return '\\';
    default: return '\0';
    }
}

// Copies `text`, letting `replace` write a character that `isSpecial` picks
// in its own way (it returns how many bytes it consumed, or 0 to have the
// character copied as it is). Every special character is ASCII, and a byte
// below 0x80 is a whole character in every code page; a byte above may lead
// a character whose second byte looks like a special, so it is skipped whole.
template <typename IsSpecial, typename Replace>
std::string Rewrite(std::string_view text, const CodePage& codePage, IsSpecial isSpecial, Replace replace) {
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t copied = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) >= 0x80) {
            pos += codePage.CharLength(text, pos);
            continue;
        }
        if (!isSpecial(text[pos])) {
            ++pos;
            continue;
        }
        out.append(text.substr(copied, pos - copied));
        std::size_t consumed = replace(pos, out);
        copied = consumed == 0 ? pos : pos + consumed;
        pos = consumed == 0 ? pos + 1 : copied;
    }
    out.append(text.substr(copied));
    return out;
}

// Every character that is escaped lies at or below the backslash.
bool IsEscaped(char c) { return static_cast<unsigned char>(c) <= '\\' && EscapeFor(c) != nullptr; }
bool IsBackslash(char c) { return c == '\\'; }

bool NeedsEscapes(std::string_view text) { return std::any_of(text.begin(), text.end(), IsEscaped); }

std::string Escaped(std::string_view text, const CodePage& codePage) {
    return Rewrite(text, codePage, IsEscaped, [&](std::size_t pos, std::string& out) -> std::size_t {
        out += EscapeFor(text[pos]);
        return 1;
    });
}

} // namespace

bool HoldsEscapedText(ItemKind kind) {
    return kind == ItemKind::String || kind == ItemKind::Control || kind == ItemKind::PopupMenu ||
           kind == ItemKind::MenuItem;
}

std::size_t EscapeLengthAt(std::string_view text, std::size_t pos) {
    bool escape = text[pos] == '\\' && pos + 1 < text.size() && ControlOf(text[pos + 1]) != '\0';
    return escape ? 2 : 0;
}

std::string EscapeText(std::string&& text, const CodePage& codePage) {
    if (!NeedsEscapes(text)) return std::move(text);
    return Escaped(text, codePage);
}

std::string EscapeText(std::string_view text, const CodePage& codePage) {
    if (!NeedsEscapes(text)) return std::string(text);
    return Escaped(text, codePage);
}

std::string UnescapeText(std::string_view text, const CodePage& codePage) {
    if (text.find('\\') == std::string_view::npos) return std::string(text);
    return Rewrite(text, codePage, IsBackslash, [&](std::size_t pos, std::string& out) -> std::size_t {
        if (EscapeLengthAt(text, pos) == 0) return 0;
        out.push_back(ControlOf(text[pos + 1]));
        return 2;
    });
}

std::string EscapeTypedControls(std::string_view text) {
    // CR, LF and tab are never part of a multi-byte character, so bytes do.
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        const char* escape = c == '\\' ? nullptr : EscapeFor(c);
        if (escape)
            out += escape;
        else
            out.push_back(c);
    }
    return out;
}

std::string EscapeLoneBackslashes(std::string_view text, const CodePage& codePage) {
    if (text.find('\\') == std::string_view::npos) return std::string(text);
    return Rewrite(text, codePage, IsBackslash, [&](std::size_t pos, std::string& out) -> std::size_t {
        char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
        if (next == 'r' || next == 'n' || next == 't') {
            out.append(text.substr(pos, 2));
            return 2;
        }
        out += "\\\\";
        return 1;
    });
}

} // namespace quillon
