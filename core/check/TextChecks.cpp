#include "check/TextChecks.h"

#include <algorithm>
#include <cctype>

#include "model/TextEscapes.h"
#include "target/TextPreparation.h"

namespace quillon {

namespace {

// Length of a format item "{0}", "{1,5}" or "{2:N2}" at text[pos] == '{'; 0
// for none ("{{" is a brace).
std::size_t FormatItemLength(std::string_view text, std::size_t pos) {
    std::size_t end = pos + 1;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == pos + 1 || end >= text.size()) return 0;
    if (text[end] == ',' || text[end] == ':') end = text.find_first_of("{}", end);
    return end != std::string_view::npos && end < text.size() && text[end] == '}' ? end + 1 - pos : 0;
}

} // namespace

std::vector<std::string> Placeholders(std::string_view text) {
    std::vector<std::string> found;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] == '{') {
            if (pos + 1 < text.size() && text[pos + 1] == '{') {
                ++pos;
                continue;
            }
            if (std::size_t length = FormatItemLength(text, pos)) {
                found.emplace_back(text.substr(pos, length));
                pos += length - 1;
            }
            continue;
        }
        if (text[pos] != '%' || pos + 1 >= text.size()) continue;
        std::size_t end = pos + 1;
        if (text[end] == '%') {
            pos = end;
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(text[end])) && text[end] != '0') {
            // %1 .. %99, optionally with a !format! suffix
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
            if (end < text.size() && text[end] == '!') {
                std::size_t close = text.find('!', end + 1);
                if (close != std::string::npos) end = close + 1;
            }
            // "%5d" is a printf width, not an insert: look for a conversion letter.
            if (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])) && text[end - 1] != '!') {
                ++end;
            }
        } else {
            // No space flag: "50% off" is text, not a conversion.
            static const std::string flags = "-+#0123456789.*hlLzjtI";
            while (end < text.size() && flags.find(text[end]) != std::string::npos) ++end;
            static const std::string conversions = "diouxXeEfgGaAcCsSpn";
            if (end >= text.size() || conversions.find(text[end]) == std::string::npos) continue;
            ++end;
        }
        found.emplace_back(text.substr(pos, end - pos));
        pos = end - 1;
    }
    return found;
}

namespace {

// "%1", "%2!d!" and "{0}" may move in a translation; printf conversions are taken in order.
bool IsNumbered(const std::string& placeholder) {
    return placeholder.size() > 1 && std::isdigit(static_cast<unsigned char>(placeholder[1]));
}

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& part : parts) out += (out.empty() ? "" : " ") + part;
    return out;
}

// Elements of `from` that `other` lacks, counting repeats.
std::vector<std::string> Missing(std::vector<std::string> from, std::vector<std::string> other) {
    std::sort(from.begin(), from.end());
    std::sort(other.begin(), other.end());
    std::vector<std::string> missing;
    std::set_difference(from.begin(), from.end(), other.begin(), other.end(), std::back_inserter(missing));
    return missing;
}

void CheckPlaceholders(std::string_view source, std::string_view translation, std::vector<TextFinding>& out) {
    std::vector<std::string> before = Placeholders(source);
    std::vector<std::string> after = Placeholders(translation);
    std::vector<std::string> lost = Missing(before, after);
    std::vector<std::string> added = Missing(after, before);
    if (!lost.empty()) out.push_back({CheckCode::PlaceholderMissing, "the translation lost " + Join(lost)});
    if (!added.empty()) out.push_back({CheckCode::PlaceholderAdded, "the translation adds " + Join(added)});
    if (!lost.empty() || !added.empty()) return;
    std::erase_if(before, IsNumbered);
    std::erase_if(after, IsNumbered);
    if (before != after)
        out.push_back({CheckCode::PlaceholderOrder,
                       "printf placeholders in another order: " + Join(before) + " became " + Join(after)});
}

struct LineBreaks {
    std::size_t crlf = 0;
    std::size_t bare = 0;
    bool first = false; // the text starts with a line break
    bool last = false;  // the text ends with one
};

// Counts the escaped line breaks of a text given in UTF-16 (so that no
// double-byte character is read as a backslash).
LineBreaks CountLineBreaks(std::u16string_view text) {
    LineBreaks counts;
    for (std::size_t pos = 0; pos + 1 < text.size(); ++pos) {
        if (text[pos] != u'\\') continue;
        const std::size_t start = pos;
        if (text.substr(pos, 4) == u"\\r\\n") {
            ++counts.crlf;
            pos += 3;
        } else if (text[pos + 1] == u'n') {
            ++counts.bare;
            ++pos;
        } else {
            ++pos;
            continue;
        }
        counts.first = counts.first || start == 0;
        counts.last = pos + 1 == text.size();
    }
    return counts;
}

// The text proper: a menu's accelerator after \t and trailing spaces cut off.
std::u16string_view TextProper(std::u16string_view text) {
    if (std::size_t tab = text.find(u"\\t"); tab != std::u16string_view::npos) text = text.substr(0, tab);
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    return text;
}

bool EndsWithColon(std::u16string_view text) {
    text = TextProper(text);
    return !text.empty() && (text.back() == u':' || text.back() == u'\uFF1A');
}

bool EndsWithEllipsis(std::u16string_view text) {
    text = TextProper(text);
    return text.ends_with(u"...") || text.ends_with(u"\u2026");
}

void CheckPunctuation(std::u16string_view source, std::u16string_view translation, std::vector<TextFinding>& out) {
    auto compare = [&](bool inSource, bool inTranslation, CheckCode code, const char* what) {
        if (inSource && !inTranslation) out.push_back({code, std::string("the translation lost the ") + what});
        if (!inSource && inTranslation) out.push_back({code, std::string("the translation adds a ") + what});
    };
    compare(EndsWithColon(source), EndsWithColon(translation), CheckCode::Colon, "trailing colon");
    compare(EndsWithEllipsis(source), EndsWithEllipsis(translation), CheckCode::Ellipsis, "trailing ellipsis");
    compare(source.starts_with(u' '), translation.starts_with(u' '), CheckCode::Spaces, "leading space");
    compare(source.ends_with(u' '), translation.ends_with(u' '), CheckCode::Spaces, "trailing space");
}

void CheckLineBreaks(std::u16string_view source, std::u16string_view translation, std::vector<TextFinding>& out) {
    LineBreaks before = CountLineBreaks(source);
    LineBreaks after = CountLineBreaks(translation);
    if (before.crlf != 0 && before.bare == 0 && after.bare != 0)
        out.push_back({CheckCode::LineBreaks, "the source breaks lines with \\r\\n, the translation with \\n"});
    else if (before.bare != 0 && before.crlf == 0 && after.crlf != 0)
        out.push_back({CheckCode::LineBreaks, "the source breaks lines with \\n, the translation with \\r\\n"});
    // Gettext's tools refuse a file whose source and translation disagree
    // here, and a dialog's layout counts on the break.
    if (before.first != after.first)
        out.push_back({CheckCode::LineBreaks, before.first ? "the translation lost the leading line break"
                                                           : "the translation adds a leading line break"});
    if (before.last != after.last)
        out.push_back({CheckCode::LineBreaks, before.last ? "the translation lost the trailing line break"
                                                          : "the translation adds a trailing line break"});
}

// Every text a template or string table holds has a 16-bit length.
constexpr std::size_t kLongestText = 65535;

} // namespace

std::vector<TextFinding> CheckTexts(std::string_view source, std::string_view translation, ItemKind kind,
                                    const CodePage& codePage) {
    std::vector<TextFinding> out;
    std::u16string wideSource = codePage.ToUtf16(source);
    std::u16string wideTranslation = codePage.ToUtf16(translation);
    if (codePage.FromUtf16(wideTranslation) != translation)
        out.push_back({CheckCode::Unencodable, "the translation has bytes that are no character of code page " +
                                                   std::to_string(codePage.Id())});
    std::size_t length = codePage.ToUtf16(UnescapeText(translation, codePage)).size();
    if (length > kLongestText)
        out.push_back({CheckCode::TooLong, "the translation has " + std::to_string(length) +
                                               " UTF-16 units; a resource holds at most " +
                                               std::to_string(kLongestText)});
    CheckPlaceholders(source, translation, out);
    bool escaped = kind != ItemKind::Dialog && kind != ItemKind::Version;
    if (escaped) CheckLineBreaks(wideSource, wideTranslation, out);
    CheckPunctuation(wideSource, wideTranslation, out);
    return out;
}

} // namespace quillon
