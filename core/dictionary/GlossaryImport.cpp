#include "dictionary/GlossaryImport.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "extract/TextRules.h"

namespace quillon {

namespace {

std::u16string Utf16Units(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t unit = bigEndian ? static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1])
                                  : static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

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

// The file as text in the project's code page; it ends at its first NUL.
// UTF-16 and UTF-8 files (with a byte-order mark, or UTF-8 recognised as
// such) are converted; anything else is taken as the code page's own bytes.
std::string DecodeGlossary(std::span<const std::uint8_t> file, const CodePage& codePage, std::size_t& replaced) {
    auto starts = [&](std::initializer_list<std::uint8_t> mark) {
        return file.size() >= mark.size() && std::equal(mark.begin(), mark.end(), file.begin());
    };
    if (starts({0xFF, 0xFE})) return codePage.FromUtf16(Utf16Units(file.subspan(2), false), &replaced);
    if (starts({0xFE, 0xFF})) return codePage.FromUtf16(Utf16Units(file.subspan(2), true), &replaced);
    std::span<const std::uint8_t> bytes = starts({0xEF, 0xBB, 0xBF}) ? file.subspan(3) : file;
    auto nul = std::find(bytes.begin(), bytes.end(), 0);
    std::string text(bytes.begin(), nul);
    bool utf8 = bytes.data() != file.data() || (codePage.Id() != kCodePageUtf8 && LooksLikeUtf8(text));
    return utf8 ? codePage.FromUtf8(text, &replaced) : text;
}

// Lines end with LF; a CR before it belongs to the line ending. A last line
// without LF is a line too.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
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

} // namespace

GlossaryReport ImportGlossary(std::span<const std::uint8_t> file, GlossaryFormat format, CDictonary& dictionary,
                              const CodePage& codePage, IProgress* progress) {
    GlossaryReport report;
    std::string text = DecodeGlossary(file, codePage, report.replacedCharacters);
    std::vector<std::string_view> lines = SplitLines(text);
    report.lines = lines.size();
    if (progress) progress->Show("Importing glossary", static_cast<std::uint32_t>(lines.size()));

    char separator = format == GlossaryFormat::Text ? '\t' : ',';
    for (std::string_view line : lines) {
        // Microsoft glossaries switch to TAB at the first line that has a
        // TAB and no comma, for the rest of the file.
        if (format == GlossaryFormat::Microsoft && separator == ',' && line.find(',') == std::string_view::npos &&
            line.find('\t') != std::string_view::npos)
            separator = '\t';
        Fields fields = SplitFields(line, separator, format == GlossaryFormat::Text);
        bool usable = !fields.source.empty() && !fields.translation.empty();
        if (format == GlossaryFormat::Text || usable) ++report.counted;
        if (usable) {
            std::string source = SplitHotkey(std::move(fields.source), codePage).text;
            HotkeyText translation = SplitHotkey(std::move(fields.translation), codePage);
            std::uint16_t hotkey = translation.hotkey ? translation.hotkey : fields.hotkey;
            if (format == GlossaryFormat::Microsoft) {
                RemoveQuotes(source);
                RemoveQuotes(translation.text);
            }
            if (source.empty() || translation.text.empty() || dictionary.Lookup(source)) {
                ++report.duplicates;
            } else {
                dictionary.AddEntry(source, std::move(translation.text), hotkey, kKindAll);
                ++report.imported;
            }
        }
        if (progress) progress->Step();
    }
    if (progress) progress->Hide();
    return report;
}

} // namespace quillon
