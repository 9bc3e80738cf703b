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

const char* EscapeOf(char c) {
    switch (c) {
    case '\r': return "\\r";
    case '\n': return "\\n";
    case '\t': return "\\t";
    case '\\': return "\\\\";
    default: return nullptr;
    }
}

// Copies `text` character by character, letting `replace` write a character
// of one byte in its own way (it returns how many bytes it consumed, or 0 to
// have the character copied as it is).
template <typename Replace>
std::string Rewrite(std::string_view text, const CodePage& codePage, Replace replace) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = codePage.CharLength(text, pos);
        std::size_t consumed = length == 1 ? replace(pos, out) : 0;
        if (consumed == 0) {
            out.append(text.substr(pos, length));
            consumed = length;
        }
        pos += consumed;
    }
    return out;
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

std::string EscapeText(std::string_view text, const CodePage& codePage) {
    // Most texts have nothing to escape: they are kept as they are.
    if (std::none_of(text.begin(), text.end(), [](char c) { return EscapeOf(c) != nullptr; })) return std::string(text);
    return Rewrite(text, codePage, [&](std::size_t pos, std::string& out) -> std::size_t {
        const char* escape = EscapeOf(text[pos]);
        if (!escape) return 0;
        out += escape;
        return 1;
    });
}

std::string UnescapeText(std::string_view text, const CodePage& codePage) {
    if (text.find('\\') == std::string_view::npos) return std::string(text);
    return Rewrite(text, codePage, [&](std::size_t pos, std::string& out) -> std::size_t {
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
        const char* escape = c == '\\' ? nullptr : EscapeOf(c);
        if (escape)
            out += escape;
        else
            out.push_back(c);
    }
    return out;
}

std::string EscapeLoneBackslashes(std::string_view text, const CodePage& codePage) {
    if (text.find('\\') == std::string_view::npos) return std::string(text);
    return Rewrite(text, codePage, [&](std::size_t pos, std::string& out) -> std::size_t {
        if (text[pos] != '\\') return 0;
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
