#include "interchange/Po.h"

#include <algorithm>
#include <ctime>

namespace quillon {

namespace {

void AppendEscaped(std::string& out, std::string_view text) {
    static constexpr char kOctal[] = "01234567";
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\v': out += "\\v"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                auto byte = static_cast<unsigned char>(c);
                out += {'\\', kOctal[byte >> 6], kOctal[(byte >> 3) & 7], kOctal[byte & 7]};
            } else {
                out.push_back(c);
            }
        }
    }
}

// `keyword "text"`, or for a text of several lines `keyword ""` and a line
// per line of the text, as gettext's tools write it.
void AppendString(std::string& out, std::string_view keyword, std::string_view text) {
    out.append(keyword).append(" \"");
    std::size_t lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos || lineEnd + 1 == text.size()) {
        AppendEscaped(out, text);
        out += "\"\n";
        return;
    }
    out += "\"\n";
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        end = end == std::string_view::npos ? text.size() : end + 1;
        out += '"';
        AppendEscaped(out, text.substr(0, end));
        out += "\"\n";
        text.remove_prefix(end);
    }
}

bool KeptInReference(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-' || c == '/';
}

std::string PercentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (KeptInReference(c)) out.push_back(c);
        else out += {'%', kHex[byte >> 4], kHex[byte & 15]};
    }
    return out;
}

// A comment or a header field is one line: the value's line breaks become
// spaces.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

void AppendUnit(std::string& out, const TranslationUnit& unit) {
    out += '\n';
    for (const std::string& note : unit.notes) out.append("#. ").append(OneLine(note)).append("\n");
    out.append("#: ").append(PercentEncoded(unit.id)).append("\n");
    if (unit.state == UnitState::NeedsReview) out += "#, fuzzy\n";
    AppendString(out, "msgctxt", unit.id);
    AppendString(out, "msgid", unit.source);
    AppendString(out, "msgstr", unit.state == UnitState::Untranslated ? std::string_view() : unit.target);
}

// "2026-12-08 09:30+0000", as gettext dates a header.
std::string PoDate(std::int64_t secondsSince1970) {
    if (secondsSince1970 <= 0) return {};
    const auto seconds = static_cast<std::time_t>(secondsSince1970);
    std::tm utc{};
    char text[32] = {};
    if (!gmtime_r(&seconds, &utc) || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M+0000", &utc)) return {};
    return text;
}

} // namespace

WrittenFile WritePo(const UnitFile& file) {
    const std::string original = OneLine(file.original);
    std::string header = "Project-Id-Version: " + original + "\n";
    // The project's last save dates its translations, so exporting the same
    // saved project twice gives the same bytes.
    if (std::string revised = PoDate(file.revised); !revised.empty()) header += "PO-Revision-Date: " + revised + "\n";
    if (!file.translator.empty()) header += "Last-Translator: " + OneLine(file.translator) + "\n";
    header += "Language: " + OneLine(file.targetLanguage) +
              "\nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
              "Content-Transfer-Encoding: 8bit\nX-Source-Language: " +
              OneLine(file.sourceLanguage) + "\nX-Generator: Quillon\n";
    WrittenFile written;
    std::string& out = written.bytes;
    out.reserve(file.units.size() * 160);
    out += "# Translation of " + original + ", written by Quillon.\n";
    out += "msgid \"\"\n";
    AppendString(out, "msgstr", header);
    for (const TranslationUnit& unit : file.units) AppendUnit(out, unit);
    return written;
}

} // namespace quillon
