#include "dictionary/GlossaryImport.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "dictionary/Hotkeys.h"
#include "extract/TextRules.h"

namespace quillon {

namespace {

std::string_view Chars(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The length of the well-formed UTF-8 sequence at text[at], or 0 when the
// byte starts none. The second byte's range narrows where the lead alone
// would let through overlong forms (E0, F0), surrogates (ED) or values past
// U+10FFFF (F4).
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[at + k]); };
    std::uint8_t lead = byte(0);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead <= 0xF4 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    std::uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    std::uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (std::size_t k = 1; k < length; ++k) {
        if (byte(k) < (k == 1 ? low : 0x80) || byte(k) > (k == 1 ? high : 0xBF)) return 0;
    }
    return length;
}

enum class Utf8Kind { Ascii, Valid, Invalid };

Utf8Kind ClassifyUtf8(std::string_view text) {
    Utf8Kind kind = Utf8Kind::Ascii;
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<std::uint8_t>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        std::size_t length = Utf8Length(text, at);
        if (length == 0) return Utf8Kind::Invalid;
        kind = Utf8Kind::Valid;
        at += length;
    }
    return kind;
}

bool IsUtf16(GlossaryEncoding encoding) {
    return encoding == GlossaryEncoding::Utf16Le || encoding == GlossaryEncoding::Utf16Be;
}

// The character unit that starts at byte `at`.
char16_t UnitAt(std::span<const std::uint8_t> bytes, std::size_t at, GlossaryEncoding encoding) {
    switch (encoding) {
    case GlossaryEncoding::Utf16Le: return static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
    case GlossaryEncoding::Utf16Be: return static_cast<char16_t>((bytes[at] << 8) | bytes[at + 1]);
    default: return bytes[at];
    }
}

// The glossary's text within the file, after its byte-order mark.
struct GlossaryText {
    std::span<const std::uint8_t> bytes;
    GlossaryEncoding encoding = GlossaryEncoding::CodePage;
    bool mark = false;

    std::size_t UnitSize() const { return IsUtf16(encoding) ? 2 : 1; }
    char16_t Unit(std::size_t at) const { return UnitAt(bytes, at, encoding); }
};

// UTF-16 without a byte-order mark. The tabs and line ends of any glossary,
// and Latin text, have a zero high byte: at least one unit in eight must
// have one, and zeros on the other side must be rare. A stray NUL in an
// 8-bit file is one zero; binary data has zeros on both sides.
std::optional<GlossaryEncoding> Utf16ByZeros(std::span<const std::uint8_t> file) {
    std::size_t units = file.size() / 2;
    std::size_t evenZeros = 0;
    std::size_t oddZeros = 0;
    for (std::size_t at = 0; at + 1 < file.size(); at += 2) {
        evenZeros += file[at] == 0;
        oddZeros += file[at + 1] == 0;
    }
    auto leans = [&](std::size_t side, std::size_t other) { return side > 0 && side * 8 >= units && other * 4 <= side; };
    if (leans(oddZeros, evenZeros)) return GlossaryEncoding::Utf16Le;
    if (leans(evenZeros, oddZeros)) return GlossaryEncoding::Utf16Be;
    return std::nullopt;
}

// A byte-order mark decides; without one, the zero bytes may say UTF-16.
// Whether 8-bit text is UTF-8 is decided by its lines (see Survey).
GlossaryText FindText(std::span<const std::uint8_t> file) {
    auto starts = [&](std::initializer_list<std::uint8_t> mark) {
        return file.size() >= mark.size() && std::equal(mark.begin(), mark.end(), file.begin());
    };
    GlossaryText text;
    std::size_t skip = 0;
    if (starts({0xFF, 0xFE}) || starts({0xFE, 0xFF})) {
        text.encoding = file[0] == 0xFF ? GlossaryEncoding::Utf16Le : GlossaryEncoding::Utf16Be;
        skip = 2;
    } else if (starts({0xEF, 0xBB, 0xBF})) {
        text.encoding = GlossaryEncoding::Utf8;
        skip = 3;
    } else if (auto utf16 = Utf16ByZeros(file)) {
        text.encoding = *utf16;
    }
    text.mark = skip > 0;
    text.bytes = file.subspan(skip);
    if (IsUtf16(text.encoding)) {
        text.bytes = text.bytes.first(text.bytes.size() & ~std::size_t{1}); // an odd last byte is no character
    } else if (!text.bytes.empty() && text.bytes.back() == 0x1A) {
        text.bytes = text.bytes.first(text.bytes.size() - 1); // the end-of-file mark of old DOS editors
    }
    return text;
}

// Control characters other than TAB, LF and CR: text has next to none; a
// spreadsheet, archive or program picked by mistake has them in about one
// byte of ten, and its lines would only turn into garbage entries. A stray
// NUL or two in a text file costs only their lines.
Status CheckText(const GlossaryText& text) {
    std::size_t units = text.bytes.size() / text.UnitSize();
    std::size_t controls = 0;
    for (std::size_t at = 0; at < text.bytes.size(); at += text.UnitSize()) {
        char16_t unit = text.Unit(at);
        controls += unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r';
    }
    if (controls < 16 || controls * 50 < units) return Done{};
    return MakeError(Error::Code::Unsupported, "not a text glossary: " + std::to_string(controls) + " of its " +
                                                   std::to_string(units) +
                                                   " characters are control characters (a spreadsheet or another "
                                                   "binary file?)");
}

// Walks the lines of the text in place. CR LF, a lone CR and a lone LF each
// end a line; a last line without one is a line too.
class LineWalker {
public:
    explicit LineWalker(const GlossaryText& text) : m_text(text), m_unit(text.UnitSize()) {}

    // The next line's bytes without its line ending, or nothing at the end.
    std::optional<std::span<const std::uint8_t>> Next() {
        std::size_t size = m_text.bytes.size();
        if (m_pos >= size) return std::nullopt;
        std::size_t start = m_pos;
        std::size_t end = start;
        while (end < size && m_text.Unit(end) != u'\n' && m_text.Unit(end) != u'\r') end += m_unit;
        m_pos = end + m_unit;
        if (end < size && m_text.Unit(end) == u'\r' && m_pos < size && m_text.Unit(m_pos) == u'\n') m_pos += m_unit;
        return m_text.bytes.subspan(start, end - start);
    }

private:
    const GlossaryText& m_text;
    std::size_t m_unit;
    std::size_t m_pos = 0;
};

// The first walk counts lines, for the report and the progress range, and
// decides between UTF-8 and the code page for 8-bit text without a mark.
// Text in a Windows code page practically never forms multi-byte UTF-8, so
// a file is UTF-8 when at least as many of its lines do as are no UTF-8;
// those few are then skipped, not read in another encoding with the rest.
std::size_t Survey(GlossaryText& text, const CodePage& codePage) {
    bool undecided = text.encoding == GlossaryEncoding::CodePage;
    std::size_t lines = 0;
    std::size_t utf8 = 0;
    std::size_t invalid = 0;
    for (LineWalker walker(text); auto line = walker.Next(); ++lines) {
        if (!undecided) continue;
        Utf8Kind kind = ClassifyUtf8(Chars(*line));
        utf8 += kind == Utf8Kind::Valid;
        invalid += kind == Utf8Kind::Invalid;
    }
    if (undecided && (codePage.Id() == kCodePageUtf8 || (utf8 > 0 && utf8 >= invalid)))
        text.encoding = GlossaryEncoding::Utf8;
    return lines;
}

// One line as its fields are cut: UTF-8 for Unicode files (`buffer` holds
// the UTF-16 ones converted), the code page's own bytes otherwise; or why
// the line cannot be read.
struct LineText {
    std::string_view text;
    std::optional<GlossarySkip> problem;
};

LineText ReadLine(std::span<const std::uint8_t> line, const GlossaryText& text, std::string& buffer) {
    if (line.size() > kMaxGlossaryLineBytes) return {{}, GlossarySkip::TooLong};
    if (!IsUtf16(text.encoding)) {
        std::string_view chars = Chars(line);
        if (chars.find('\0') != std::string_view::npos) return {{}, GlossarySkip::NulCharacter};
        if (text.encoding == GlossaryEncoding::Utf8 && ClassifyUtf8(chars) == Utf8Kind::Invalid)
            return {{}, GlossarySkip::InvalidUtf8};
        return {chars, std::nullopt};
    }
    std::u16string units;
    units.reserve(line.size() / 2);
    for (std::size_t at = 0; at < line.size(); at += 2) {
        units.push_back(UnitAt(line, at, text.encoding));
        if (units.back() == 0) return {{}, GlossarySkip::NulCharacter};
    }
    std::size_t unpaired = 0;
    buffer = CodePage(kCodePageUtf8).FromUtf16(units, &unpaired);
    if (unpaired) return {{}, GlossarySkip::InvalidUtf16};
    return {buffer, std::nullopt};
}

// Cuts a line into fields at `separator`. With quoting (Microsoft glossaries,
// as spreadsheet programs write them) a field that starts with '"' runs to
// the next lone '"': separators inside it are text, and "" is one quote.
class FieldReader {
public:
    FieldReader(std::string_view line, char separator, bool quoting)
        : m_line(line), m_separator(separator), m_quoting(quoting) {}

    // The next field, or nothing after the last one or at a quote that the
    // line does not close.
    std::optional<std::string> Next() {
        if (m_done) return std::nullopt;
        std::string field;
        std::size_t at = m_pos;
        if (m_quoting && at < m_line.size() && m_line[at] == '"') {
            for (++at;; at += 2) {
                std::size_t quote = m_line.find('"', at);
                if (quote == std::string_view::npos) {
                    m_unclosed = m_done = true;
                    return std::nullopt;
                }
                field.append(m_line.substr(at, quote - at));
                at = quote;
                if (at + 1 >= m_line.size() || m_line[at + 1] != '"') break;
                field.push_back('"');
            }
            ++at; // text between the closing quote and the separator is kept, as spreadsheets read it
        }
        std::size_t end = m_line.find(m_separator, at);
        field.append(m_line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        m_done = end == std::string_view::npos;
        m_pos = m_done ? m_line.size() : end + 1;
        return field;
    }
    // What follows the last separator read.
    std::string_view Rest() const { return m_done ? std::string_view{} : m_line.substr(m_pos); }
    bool Unclosed() const { return m_unclosed; }

private:
    std::string_view m_line;
    char m_separator;
    bool m_quoting;
    std::size_t m_pos = 0;
    bool m_done = false;
    bool m_unclosed = false;
};

// Microsoft glossaries switch from commas to TABs at the first line whose
// separators are only TABs: one TAB and no comma outside quotes.
bool UsesOnlyTabs(std::string_view line) {
    bool quoted = false;
    bool tab = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        else if (!quoted && c == ',') return false;
        else if (!quoted && c == '\t') tab = true;
    }
    return tab;
}

// Imports the readable lines one by one into the dictionary and the report.
class Importer {
public:
    Importer(GlossaryFormat format, CDictonary& dictionary, const CodePage& codePage, bool unicode,
             GlossaryReport& report)
        : m_format(format), m_dictionary(dictionary), m_codePage(codePage), m_unicode(unicode), m_report(report) {}

    void Line(std::size_t number, std::string_view line);
    void Skip(std::size_t number, GlossarySkip reason, std::string characters = {}) {
        if (m_report.skipped.size() < kMaxListedSkippedLines)
            m_report.skipped.push_back({number, reason, std::move(characters)});
        ++m_report.skippedLines;
    }

private:
    bool ToCodePage(std::string& field, std::string& unheld) const;
    std::optional<std::string> HotkeyField(std::string_view rest) const;

    GlossaryFormat m_format;
    CDictonary& m_dictionary;
    const CodePage& m_codePage;
    bool m_unicode; // fields are UTF-8 and still to be converted
    GlossaryReport& m_report;
    // Carries over from line to line (see UsesOnlyTabs).
    char m_separator = m_format == GlossaryFormat::Text ? '\t' : ',';
};

// Field 1 source, field 2 ignored, field 3 translation, and in text
// glossaries a one-character hotkey after them. The translation needs no
// separator after it: a spreadsheet saves three columns without one. A line
// with only blanks and separators (an empty spreadsheet row) is no entry.
void Importer::Line(std::size_t number, std::string_view line) {
    bool microsoft = m_format == GlossaryFormat::Microsoft;
    if (line.find_first_not_of(microsoft ? " \t," : " \t") == std::string_view::npos) return;
    if (microsoft && m_separator == ',' && UsesOnlyTabs(line)) m_separator = '\t';
    FieldReader reader(line, m_separator, microsoft);
    std::optional<std::string> source = reader.Next();
    reader.Next();
    std::optional<std::string> translation = reader.Next();
    if (reader.Unclosed()) return Skip(number, GlossarySkip::UnclosedQuote);
    if (!translation) return Skip(number, GlossarySkip::FewerThanThreeFields);
    std::optional<std::string> hotkey = microsoft ? std::nullopt : HotkeyField(reader.Rest());
    std::string unheld;
    bool held = ToCodePage(*source, unheld);
    held = ToCodePage(*translation, unheld) && held;
    if (hotkey) held = ToCodePage(*hotkey, unheld) && held;
    if (!held) return Skip(number, GlossarySkip::NotInCodePage, std::move(unheld));

    HotkeyText sourceText = SplitHotkey(std::move(*source), m_codePage);
    HotkeyText translationText = ReadMarkedText(std::move(*translation), m_codePage);
    if (sourceText.text.empty()) return Skip(number, GlossarySkip::NoSource);
    if (translationText.text.empty()) return Skip(number, GlossarySkip::NoTranslation);
    std::uint16_t key = translationText.hotkey;
    if (!key && hotkey && hotkey->size() == 1) // a byte widened with sign, as SplitHotkey gives it
        key = static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>((*hotkey)[0])));
    bool added = !m_dictionary.Lookup(sourceText.text) &&
                 m_dictionary.AddEntry(sourceText.text, std::move(translationText.text), key, ItemKind::All);
    ++(added ? m_report.imported : m_report.duplicates);
}

// The hotkey field when it is one character; anything else there is not
// read (the tools that write these files put nothing else there).
std::optional<std::string> Importer::HotkeyField(std::string_view rest) const {
    bool one = m_unicode ? !rest.empty() && Utf8Length(rest, 0) == rest.size() : rest.size() == 1;
    return one ? std::optional<std::string>(rest) : std::nullopt;
}

// A field of a Unicode file in the code page. The line is left out rather
// than stored with '?' for what the code page cannot hold: such a translation
// would go into the module as question marks. `unheld` collects up to eight
// of the field's characters that are missing, for the report.
bool Importer::ToCodePage(std::string& field, std::string& unheld) const {
    if (!m_unicode) return true;
    std::size_t replaced = 0;
    std::string converted = m_codePage.FromUtf8(field, &replaced);
    if (replaced == 0) {
        field = std::move(converted);
        return true;
    }
    for (std::size_t at = 0, listed = 0; at < field.size() && listed < 8;) {
        std::string_view character = std::string_view(field).substr(at, std::max<std::size_t>(1, Utf8Length(field, at)));
        std::size_t one = 0;
        m_codePage.FromUtf8(character, &one);
        if (one && unheld.find(character) == std::string::npos) {
            unheld += character;
            ++listed;
        }
        at += character.size();
    }
    return false;
}

} // namespace

std::string GlossaryReport::EncodingName() const {
    switch (encoding) {
    case GlossaryEncoding::CodePage: return "code page " + std::to_string(codePage);
    case GlossaryEncoding::Utf8: return byteOrderMark ? "UTF-8 with byte-order mark" : "UTF-8";
    case GlossaryEncoding::Utf16Le:
    case GlossaryEncoding::Utf16Be:
        return std::string(encoding == GlossaryEncoding::Utf16Le ? "UTF-16LE" : "UTF-16BE") +
               (byteOrderMark ? " with byte-order mark" : " without byte-order mark");
    }
    return {};
}

std::string GlossaryReport::Reason(const GlossarySkippedLine& line) const {
    switch (line.reason) {
    case GlossarySkip::FewerThanThreeFields: return "no translation (fewer than three fields)";
    case GlossarySkip::NoSource: return "no source text";
    case GlossarySkip::NoTranslation: return "empty translation";
    case GlossarySkip::UnclosedQuote: return "a quoted field is not closed on its line";
    case GlossarySkip::InvalidUtf8: return "invalid UTF-8";
    case GlossarySkip::InvalidUtf16: return "invalid UTF-16 (an unpaired surrogate)";
    case GlossarySkip::NulCharacter: return "a NUL character";
    case GlossarySkip::TooLong: return "longer than " + std::to_string(kMaxGlossaryLineBytes) + " bytes";
    case GlossarySkip::NotInCodePage:
        return "characters the code page " + std::to_string(codePage) + " cannot hold: " + line.characters;
    }
    return {};
}

std::string GlossaryReport::Describe(const GlossarySkippedLine& line) const {
    return "line " + std::to_string(line.line) + ": " + Reason(line);
}

Result<GlossaryReport> ImportGlossary(std::span<const std::uint8_t> file, GlossaryFormat format,
                                      CDictonary& dictionary, const CodePage& codePage, IProgress* progress) {
    GlossaryText text = FindText(file);
    if (Status checked = CheckText(text); !checked) return checked.GetError();
    GlossaryReport report;
    report.lines = Survey(text, codePage);
    report.encoding = text.encoding;
    report.byteOrderMark = text.mark;
    report.codePage = codePage.Id();
    if (progress) progress->Show("Importing glossary", static_cast<std::uint32_t>(report.lines));

    Importer importer(format, dictionary, codePage, text.encoding != GlossaryEncoding::CodePage, report);
    std::string buffer;
    std::size_t number = 0;
    for (LineWalker lines(text); auto bytes = lines.Next();) {
        LineText line = ReadLine(*bytes, text, buffer);
        ++number;
        if (line.problem) importer.Skip(number, *line.problem);
        else importer.Line(number, line.text);
        if (!progress) continue;
        progress->Step();
        if (progress->StopRequested()) {
            progress->Hide();
            return MakeError(Error::Code::Cancelled, "the import was stopped after " + std::to_string(number) +
                                                         " of " + std::to_string(report.lines) + " lines");
        }
    }
    if (progress) progress->Hide();
    report.entries = report.imported + report.duplicates + report.skippedLines;
    return report;
}

} // namespace quillon
