// A PO reader that checks every byte it reads: the file is UTF-8, every
// string is quoted and ends on its line, escapes are gettext's, and no
// string grows past kMaxUnitText.

#include <optional>

#include "interchange/Po.h"
#include "io/Utf8.h"
#include "model/ItemPath.h"

namespace quillon {

namespace {

struct PoEntry {
    std::string context, id, plural, str;
    bool hasContext = false, hasId = false, hasStr = false, fuzzy = false;
    std::vector<std::string> references, notes;
    std::string* last = nullptr; // the string continuation lines add to
};

std::optional<char> SimpleEscape(char c) {
    switch (c) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'v': return '\v';
    case '\\': return '\\';
    case '"': return '"';
    case '\'': return '\'';
    case '?': return '?';
    default: return std::nullopt;
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

class PoReader {
public:
    explicit PoReader(std::string_view text) : m_text(text) {}
    Result<UnitFile> Read();

private:
    Error Fault(const std::string& message) const {
        return MakeError(Error::Code::Malformed, "line " + std::to_string(m_line) + ": " + message, m_offset);
    }
    Status Line(std::string_view line);
    Status Keyword(std::string_view line);
    Status Comment(std::string_view line);
    Status AppendQuoted(std::string_view quoted, std::string& into);
    void Flush();
    void Header(const std::string& header);

    std::string_view m_text;
    std::size_t m_line = 0;
    std::size_t m_offset = 0;
    PoEntry m_entry;
    UnitFile m_file;
};

Status PoReader::AppendQuoted(std::string_view quoted, std::string& into) {
    quoted = Trimmed(quoted);
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return Fault("a string must be in quotes");
    std::string_view body = quoted.substr(1, quoted.size() - 2);
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '"') return Fault("a quote inside a string must be escaped");
        if (c == '\\') {
            if (++i >= body.size()) return Fault("a string ends in a backslash");
            if (auto simple = SimpleEscape(body[i])) {
                into.push_back(*simple);
            } else if (body[i] >= '0' && body[i] <= '7') {
                int value = 0;
                for (int n = 0; n < 3 && i < body.size() && body[i] >= '0' && body[i] <= '7'; ++n, ++i)
                    value = value * 8 + (body[i] - '0');
                --i;
                if (value > 0xFF) return Fault("an octal escape past \\377");
                into.push_back(static_cast<char>(value));
            } else if (body[i] == 'x' && i + 1 < body.size() && HexValue(body[i + 1]) >= 0) {
                int value = 0;
                for (int n = 0; n < 2 && i + 1 < body.size() && HexValue(body[i + 1]) >= 0; ++n)
                    value = value * 16 + HexValue(body[++i]);
                into.push_back(static_cast<char>(value));
            } else {
                return Fault(std::string("an unknown escape \\") + body[i]);
            }
        } else {
            into.push_back(c);
        }
        if (into.size() > kMaxUnitText) return Fault("a text longer than " + std::to_string(kMaxUnitText) + " bytes");
    }
    return Done{};
}

Status PoReader::Keyword(std::string_view line) {
    std::size_t space = line.find_first_of(" \t");
    std::string_view keyword = line.substr(0, space);
    std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space);
    if (m_entry.hasStr && keyword != "msgstr" && !keyword.starts_with("msgstr[")) Flush();
    std::string* into = nullptr;
    if (keyword == "msgctxt" && !m_entry.hasContext && !m_entry.hasId) {
        m_entry.hasContext = true;
        into = &m_entry.context;
    } else if (keyword == "msgid" && !m_entry.hasId) {
        m_entry.hasId = true;
        into = &m_entry.id;
    } else if (keyword == "msgid_plural" && m_entry.hasId && !m_entry.hasStr) {
        into = &m_entry.plural;
        m_entry.plural = " "; // marks the entry plural even when the text is empty
    } else if ((keyword == "msgstr" || keyword.starts_with("msgstr[")) && m_entry.hasId) {
        if (m_entry.hasStr && keyword == "msgstr") return Fault("a second msgstr");
        m_entry.hasStr = true;
        into = &m_entry.str;
        if (keyword != "msgstr" && keyword != "msgstr[0]") into = &m_entry.plural; // other forms are not kept
    } else {
        return Fault("'" + std::string(keyword) + "' where a msgctxt, msgid or msgstr was expected");
    }
    m_entry.last = into;
    return AppendQuoted(rest, *into);
}

Status PoReader::Comment(std::string_view line) {
    if (m_entry.hasStr) Flush();
    if (line.starts_with("#~")) return Done{}; // an obsolete entry is a comment
    std::string_view text = line.size() > 2 ? Trimmed(line.substr(2)) : std::string_view();
    if (line.starts_with("#,")) {
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find(',', at);
            if (end == std::string_view::npos) end = text.size();
            if (Trimmed(text.substr(at, end - at)) == "fuzzy") m_entry.fuzzy = true;
            at = end + 1;
        }
    } else if (line.starts_with("#:")) {
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find(' ', at);
            if (end == std::string_view::npos) end = text.size();
            if (end > at) m_entry.references.push_back(PercentDecoded(text.substr(at, end - at)));
            at = end + 1;
        }
    } else if (line.starts_with("#.")) {
        m_entry.notes.emplace_back(text);
    }
    return Done{};
}

Status PoReader::Line(std::string_view line) {
    line = Trimmed(line);
    if (line.empty()) return Done{};
    if (line.front() == '#') return Comment(line);
    if (line.front() == '"') {
        if (!m_entry.last) return Fault("a string continues no msgctxt, msgid or msgstr");
        return AppendQuoted(line, *m_entry.last);
    }
    return Keyword(line);
}

void PoReader::Header(const std::string& header) {
    for (std::size_t at = 0; at < header.size();) {
        std::size_t end = header.find('\n', at);
        if (end == std::string::npos) end = header.size();
        std::string_view field(header.data() + at, end - at);
        if (field.starts_with("Language:")) m_file.targetLanguage = Trimmed(field.substr(9));
        if (field.starts_with("X-Source-Language:")) m_file.sourceLanguage = Trimmed(field.substr(18));
        if (field.starts_with("Project-Id-Version:")) m_file.original = Trimmed(field.substr(19));
        at = end + 1;
    }
}

void PoReader::Flush() {
    PoEntry entry = std::move(m_entry);
    m_entry = PoEntry{};
    if (!entry.hasId) return;
    if (!entry.hasContext && entry.id.empty()) return Header(entry.str);
    TranslationUnit unit;
    unit.id = entry.context;
    if (!entry.hasContext || !ParseItemPath(unit.id))
        for (const std::string& reference : entry.references)
            if (ParseItemPath(reference)) {
                unit.id = reference;
                break;
            }
    if (!entry.plural.empty()) {
        m_file.skipped.push_back((unit.id.empty() ? "\"" + entry.id + "\"" : unit.id) +
                                 ": plural forms, which a resource text has not");
        return;
    }
    if (unit.id.empty()) {
        m_file.skipped.push_back("\"" + entry.id + "\": an entry without an item address");
        return;
    }
    // A resource text ends at its first NUL: the rest would silently go.
    if (entry.str.find('\0') != std::string::npos) {
        m_file.skipped.push_back(unit.id + ": a NUL character in the translation, which a resource text cannot hold");
        return;
    }
    unit.source = std::move(entry.id);
    unit.target = std::move(entry.str);
    unit.notes = std::move(entry.notes);
    unit.state = unit.target.empty() ? UnitState::Untranslated
                 : entry.fuzzy       ? UnitState::NeedsReview
                                     : UnitState::Translated;
    m_file.units.push_back(std::move(unit));
}

Result<UnitFile> PoReader::Read() {
    if (m_text.starts_with("\xEF\xBB\xBF")) m_offset = 3;
    while (m_offset < m_text.size()) {
        std::size_t end = m_text.find('\n', m_offset);
        if (end == std::string_view::npos) end = m_text.size();
        ++m_line;
        if (auto read = Line(m_text.substr(m_offset, end - m_offset)); !read) return read.GetError();
        m_offset = end + 1;
    }
    if (m_entry.hasId && !m_entry.hasStr) return Fault("the last entry has no msgstr");
    if (m_entry.hasContext && !m_entry.hasId) return Fault("the last entry has no msgid");
    Flush();
    // Escapes can make any byte: the texts must still be UTF-8.
    for (const std::string* field : {&m_file.original, &m_file.targetLanguage, &m_file.sourceLanguage})
        if (!IsValidUtf8(*field))
            return MakeError(Error::Code::Malformed, "the header: an escape makes a text that is not UTF-8");
    for (const TranslationUnit& unit : m_file.units)
        if (!IsValidUtf8(unit.id) || !IsValidUtf8(unit.source) || !IsValidUtf8(unit.target))
            return MakeError(Error::Code::Malformed, unit.id + ": an escape makes a text that is not UTF-8");
    return std::move(m_file);
}

} // namespace

Result<UnitFile> ReadPo(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxInterchangeFile)
        return MakeError(Error::Code::Malformed, "the file is too large to be a translation file");
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!IsValidUtf8(text)) return MakeError(Error::Code::Malformed, "the file is not UTF-8");
    return PoReader(text).Read();
}

} // namespace quillon
