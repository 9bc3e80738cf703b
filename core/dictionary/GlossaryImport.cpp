#include "dictionary/GlossaryImport.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "extract/TextRules.h"

namespace quillon {

namespace {

// True for text that is valid UTF-8 and uses at least one multi-byte
// sequence. Text in a Windows code page practically never passes.
bool LooksLikeUtf8(std::string_view text) {
    bool multiByte = false;
    for (std::size_t i = 0; i < text.size();) {
        auto byte = static_cast<std::uint8_t>(text[i]);
        std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 && byte <= 0xF4 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<std::uint8_t>(text[i + k]) & 0xC0) != 0x80) return false;
        multiByte = multiByte || length > 1;
        i += length;
    }
    return multiByte;
}

std::string_view Chars(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

enum class Encoding { CodePage, Utf8, Utf16Le, Utf16Be };

// The character unit that starts at byte `at`.
char16_t UnitAt(std::span<const std::uint8_t> bytes, std::size_t at, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf16Le: return static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
    case Encoding::Utf16Be: return static_cast<char16_t>((bytes[at] << 8) | bytes[at + 1]);
    default: return bytes[at];
    }
}

// The glossary's text within the file: after the byte-order mark, up to the
// first NUL character.
struct GlossaryText {
    std::span<const std::uint8_t> bytes;
    Encoding encoding = Encoding::CodePage;

    std::size_t UnitSize() const { return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be ? 2 : 1; }
    char16_t Unit(std::size_t at) const { return UnitAt(bytes, at, encoding); }
};

// UTF-16 and UTF-8 files (with a byte-order mark, or UTF-8 recognised as
// such) are converted; anything else is taken as the code page's own bytes.
GlossaryText FindText(std::span<const std::uint8_t> file, const CodePage& codePage) {
    auto starts = [&](std::initializer_list<std::uint8_t> mark) {
        return file.size() >= mark.size() && std::equal(mark.begin(), mark.end(), file.begin());
    };
    GlossaryText text;
    if (starts({0xFF, 0xFE}) || starts({0xFE, 0xFF})) {
        text.encoding = file[0] == 0xFF ? Encoding::Utf16Le : Encoding::Utf16Be;
        text.bytes = file.subspan(2, (file.size() - 2) & ~std::size_t{1}); // an odd last byte is no character
        std::size_t end = 0;
        while (end < text.bytes.size() && text.Unit(end) != 0) end += 2;
        text.bytes = text.bytes.first(end);
        return text;
    }
    bool marked = starts({0xEF, 0xBB, 0xBF});
    text.bytes = marked ? file.subspan(3) : file;
    text.bytes = text.bytes.first(static_cast<std::size_t>(std::find(text.bytes.begin(), text.bytes.end(), 0) - text.bytes.begin()));
    if (marked || (codePage.Id() != kCodePageUtf8 && LooksLikeUtf8(Chars(text.bytes)))) text.encoding = Encoding::Utf8;
    return text;
}

// Walks the lines of the text in place. Lines end with LF; a CR before it
// belongs to the line ending. A last line without LF is a line too.
class LineWalker {
public:
    explicit LineWalker(const GlossaryText& text) : m_text(text), m_unit(text.UnitSize()) {}

    // The next line's bytes without its line ending, or nothing at the end.
    std::optional<std::span<const std::uint8_t>> Next() {
        std::size_t size = m_text.bytes.size();
        if (m_pos >= size) return std::nullopt;
        std::size_t start = m_pos;
        std::size_t end = start;
        while (end < size && m_text.Unit(end) != u'\n') end += m_unit;
        m_pos = end + m_unit;
        if (end > start && m_text.Unit(end - m_unit) == u'\r') end -= m_unit;
        return m_text.bytes.subspan(start, end - start);
    }

private:
    const GlossaryText& m_text;
    std::size_t m_unit;
    std::size_t m_pos = 0;
};

// One line as text in the code page: the file's own bytes, or the line
// converted into `buffer`.
std::string_view Decode(std::span<const std::uint8_t> line, const GlossaryText& text, const CodePage& codePage,
                        std::string& buffer, std::size_t& replaced) {
    if (line.empty() || text.encoding == Encoding::CodePage) return Chars(line);
    if (text.encoding == Encoding::Utf8) {
        buffer = codePage.FromUtf8(Chars(line), &replaced);
    } else {
        std::u16string units;
        units.reserve(line.size() / 2);
        for (std::size_t at = 0; at < line.size(); at += 2) units.push_back(UnitAt(line, at, text.encoding));
        buffer = codePage.FromUtf16(units, &replaced);
    }
    return buffer;
}

struct Fields {
    std::string source;
    std::string translation;
    std::uint16_t hotkey = 0;
};

// Field 1 source, field 2 ignored, field 3 translation (only when a third
// separator ends it), the rest a one-character hotkey (text glossaries).
Fields SplitFields(std::string_view line, char separator, bool hotkeyField) {
    Fields fields;
    std::size_t first = line.find(separator);
    if (first == std::string_view::npos) return fields;
    fields.source = line.substr(0, first);
    std::size_t second = line.find(separator, first + 1);
    if (second == std::string_view::npos) return fields;
    std::size_t third = line.find(separator, second + 1);
    if (third == std::string_view::npos) return fields;
    fields.translation = line.substr(second + 1, third - second - 1);
    std::string_view rest = line.substr(third + 1);
    if (hotkeyField && rest.size() == 1)
        fields.hotkey = static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(rest[0])));
    return fields;
}

void RemoveQuotes(std::string& text) { std::erase(text, '"'); }

// `separator` carries over from line to line: Microsoft glossaries switch to
// TAB at the first line that has a TAB and no comma, for the rest of the file.
void ImportLine(std::string_view line, GlossaryFormat format, char& separator, CDictonary& dictionary,
                const CodePage& codePage, GlossaryReport& report) {
    if (format == GlossaryFormat::Microsoft && separator == ',' && line.find(',') == std::string_view::npos &&
        line.find('\t') != std::string_view::npos)
        separator = '\t';
    Fields fields = SplitFields(line, separator, format == GlossaryFormat::Text);
    bool usable = !fields.source.empty() && !fields.translation.empty();
    if (format == GlossaryFormat::Text || usable) ++report.counted;
    if (!usable) return;
    std::string source = SplitHotkey(std::move(fields.source), codePage).text;
    HotkeyText translation = SplitHotkey(std::move(fields.translation), codePage);
    std::uint16_t hotkey = translation.hotkey ? translation.hotkey : fields.hotkey;
    if (format == GlossaryFormat::Microsoft) {
        RemoveQuotes(source);
        RemoveQuotes(translation.text);
    }
    // A text left empty once its ampersand and quotes are gone is refused by
    // AddEntry and counted with the duplicates, as a line that adds nothing.
    bool added = !dictionary.Lookup(source) && dictionary.AddEntry(source, std::move(translation.text), hotkey, ItemKind::All);
    ++(added ? report.imported : report.duplicates);
}

} // namespace

GlossaryReport ImportGlossary(std::span<const std::uint8_t> file, GlossaryFormat format, CDictonary& dictionary,
                              const CodePage& codePage, IProgress* progress) {
    GlossaryReport report;
    GlossaryText text = FindText(file, codePage);
    // A first walk only counts, for the report and the progress range.
    for (LineWalker counter(text); counter.Next();) ++report.lines;
    if (progress) progress->Show("Importing glossary", static_cast<std::uint32_t>(report.lines));

    char separator = format == GlossaryFormat::Text ? '\t' : ',';
    std::string buffer;
    LineWalker lines(text);
    while (auto bytes = lines.Next()) {
        if (bytes->size() > kMaxGlossaryLineBytes) {
            ++report.tooLong;
        } else {
            std::string_view line = Decode(*bytes, text, codePage, buffer, report.replacedCharacters);
            ImportLine(line, format, separator, dictionary, codePage, report);
        }
        if (progress) progress->Step();
    }
    if (progress) progress->Hide();
    return report;
}

} // namespace quillon
