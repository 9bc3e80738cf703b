#include "io/CodePage.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "io/Iconv.h"
#include "io/SingleByteTable.h"
#include "io/Utf8.h"

namespace quillon {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

namespace {

bool IsLeadByteOf(std::uint32_t id, std::uint8_t byte) {
    switch (id) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950: return byte >= 0x81 && byte <= 0xFE;
    default: return false;
    }
}

// UTF-8 is written and read here directly: it is the conversion of every
// text shown or printed, and needs no converter state.
std::string EncodeUtf8(std::u16string_view text, std::size_t* replaced) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            out.push_back('?'); // a lone surrogate is no character
            if (replaced) ++*replaced;
            continue;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Invalid sequences become U+FFFD, one per byte that starts nothing valid.
std::u16string DecodeUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto [c, length] = NextUtf8(text, i);
        if (length == 0) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += length;
    }
    return out;
}

} // namespace

struct CodePage::Converters {
    Converters(std::uint32_t id)
        : fromUtf16(IconvName(id), "UTF-16LE"), toUtf16(std::string("UTF-16LE"), IconvName(id)) {}
    Iconv fromUtf16;
    Iconv toUtf16;
};

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<std::uint8_t>(c) < 0x80; });
}
bool IsAscii(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

} // namespace

namespace {

void (*g_beforeConverter)(std::uint32_t) = nullptr;

} // namespace

void CodePage::SetBeforeConverter(void (*beforeConverter)(std::uint32_t codePage)) {
    g_beforeConverter = beforeConverter;
}

CodePage::CodePage(std::uint32_t id) : m_id(id), m_table(BuiltInSingleByteTable(id)) {}
CodePage::~CodePage() = default;
CodePage::CodePage(const CodePage& other) : m_id(other.m_id), m_table(other.m_table) {}
CodePage& CodePage::operator=(const CodePage& other) {
    if (this != &other) {
        m_id = other.m_id;
        m_converters.reset();
        m_table = other.m_table;
    }
    return *this;
}
CodePage::CodePage(CodePage&&) noexcept = default;
CodePage& CodePage::operator=(CodePage&&) noexcept = default;

CodePage::Converters& CodePage::Get() const {
    if (!m_converters) {
        if (g_beforeConverter) g_beforeConverter(m_id);
        m_converters = std::make_unique<Converters>(m_id);
    }
    return *m_converters;
}

bool CodePage::Supported() const {
    if (m_id == kCodePageUtf8 || m_table) return true;
    return Get().fromUtf16.Valid() && Get().toUtf16.Valid();
}

// The Windows code pages keep ASCII as it is (the Japanese one included, in
// the converter we use); others, such as UTF-7 or ISO-2022, do not.
bool CodePage::KeepsAscii() const {
    return m_id == 874 || m_id == 932 || m_id == 936 || m_id == 949 || m_id == 950 || (m_id >= 1250 && m_id <= 1258);
}

bool CodePage::IsMultiByte() const {
    return m_id == kCodePageUtf8 || m_id == 932 || m_id == 936 || m_id == 949 || m_id == 950;
}

std::string CodePage::FromUtf16(std::u16string_view text, std::size_t* replaced) const {
    if (m_id == kCodePageUtf8) return EncodeUtf8(text, replaced);
    std::string out;
    out.reserve(text.size());
    if (KeepsAscii() && IsAscii(text)) {
        // Unit by unit into place: assign() from char16_t iterators would
        // build a second string first.
        out.resize(text.size());
        std::transform(text.begin(), text.end(), out.begin(), [](char16_t unit) { return static_cast<char>(unit); });
        return out;
    }
    if (const SingleByteTable* table = m_table) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            char16_t unit = text[i];
            if (unit < 0x80) {
                out.push_back(static_cast<char>(unit));
                continue;
            }
            std::optional<std::uint8_t> byte = table->FromUnit(unit);
            // A surrogate pair is one character: one '?'; the converter
            // drops the tag characters (U+E0000 to U+E007F) without a trace.
            if (!byte && unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
                char32_t code = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
                ++i;
                if (code >= 0xE0000 && code <= 0xE007F) continue;
            }
            out.push_back(byte ? static_cast<char>(*byte) : '?');
            if (!byte && replaced) ++*replaced;
        }
        return out;
    }
    Iconv& conv = Get().fromUtf16;
    if (!conv.Valid()) {
        for (char16_t unit : text) {
            bool ascii = unit < 0x80;
            out.push_back(ascii ? static_cast<char>(unit) : '?');
            if (!ascii && replaced) ++*replaced;
        }
        return out;
    }
    std::vector<char> bytes(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    conv.Reset();
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        Iconv::Stop stop = conv.Convert(in, inLeft, out);
        if (stop == Iconv::Stop::Done) break;
        // One character the code page cannot hold (or a lone surrogate):
        // replace it and go on after it. Some converters report a sequence
        // invalid after consuming it: then nothing is left to skip.
        if (inLeft < 2) {
            out.push_back('?');
            if (replaced) ++*replaced;
            break;
        }
        std::uint16_t unit = static_cast<std::uint8_t>(in[0]) | (static_cast<std::uint8_t>(in[1]) << 8);
        bool pair = unit >= 0xD800 && unit < 0xDC00 && inLeft >= 4;
        if (pair) {
            std::uint16_t low = static_cast<std::uint8_t>(in[2]) | (static_cast<std::uint8_t>(in[3]) << 8);
            pair = low >= 0xDC00 && low < 0xE000;
        }
        std::size_t skip = pair ? 4 : 2;
        in += skip;
        inLeft -= skip;
        out.push_back('?');
        if (replaced) ++*replaced;
        conv.Reset();
    }
    return out;
}

std::u16string CodePage::ToUtf16(std::string_view text) const {
    if (m_id == kCodePageUtf8) return DecodeUtf8(text);
    std::u16string out;
    if (KeepsAscii() && IsAscii(text)) return std::u16string(text.begin(), text.end());
    if (const SingleByteTable* table = m_table) {
        out.reserve(text.size());
        for (char c : text) out.push_back(table->toUnit[static_cast<std::uint8_t>(c)]);
        return out;
    }
    Iconv& conv = Get().toUtf16;
    if (!conv.Valid()) {
        for (char c : text) out.push_back(static_cast<std::uint8_t>(c) < 0x80 ? static_cast<char16_t>(c) : u'\uFFFD');
        return out;
    }
    std::string raw;
    raw.reserve(text.size() * 2);
    conv.Reset();
    const char* in = text.data();
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        Iconv::Stop stop = conv.Convert(in, inLeft, raw);
        if (stop == Iconv::Stop::Done) break;
        raw.push_back(static_cast<char>(0xFD));
        raw.push_back(static_cast<char>(0xFF));
        if (inLeft == 0) break; // the converter consumed the invalid sequence itself
        ++in;
        --inLeft;
        conv.Reset();
    }
    out.reserve(raw.size() / 2);
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(raw[i]) | (static_cast<std::uint8_t>(raw[i + 1]) << 8)));
    return out;
}

std::string CodePage::ToUtf8(std::string_view text) const {
    // Through UTF-16 also for UTF-8 itself, which repairs invalid sequences.
    return EncodeUtf8(ToUtf16(text), nullptr);
}

std::string CodePage::FromUtf8(std::string_view text, std::size_t* replaced) const {
    return FromUtf16(DecodeUtf8(text), replaced);
}

std::vector<std::string> CharactersNotIn(std::string_view utf8, const CodePage& codePage) {
    std::u16string text = DecodeUtf8(utf8);
    std::vector<std::string> missing;
    // Nearly every text fits: one conversion of the whole says so, where a
    // conversion a character would cost a string each.
    std::size_t replacedInAll = 0;
    codePage.FromUtf16(text, &replacedInAll);
    if (replacedInAll == 0) return missing;
    for (std::size_t pos = 0; pos < text.size();) {
        bool pair = pos + 1 < text.size() && text[pos] >= 0xD800 && text[pos] < 0xDC00 && text[pos + 1] >= 0xDC00 &&
                    text[pos + 1] < 0xE000;
        std::u16string_view character(text.data() + pos, pair ? 2 : 1);
        pos += character.size();
        std::size_t replaced = 0;
        codePage.FromUtf16(character, &replaced);
        if (replaced == 0) continue;
        std::string shown = CodePage(kCodePageUtf8).FromUtf16(character);
        if (std::find(missing.begin(), missing.end(), shown) == missing.end()) missing.push_back(shown);
    }
    return missing;
}

std::size_t CodePage::CharLengthFrom(std::string_view text, std::size_t pos) const {
    if (pos >= text.size()) return 0;
    std::uint8_t lead = static_cast<std::uint8_t>(text[pos]);
    std::size_t length = 1;
    if (m_id == kCodePageUtf8) {
        if (lead >= 0xF0 && lead <= 0xF4) length = 4;
        else if (lead >= 0xE0) length = 3;
        else if (lead >= 0xC2 && lead < 0xE0) length = 2;
        // Only count continuation bytes that are really there.
        std::size_t real = 1;
        while (real < length && pos + real < text.size() &&
               (static_cast<std::uint8_t>(text[pos + real]) & 0xC0) == 0x80)
            ++real;
        return real;
    }
    if (IsLeadByteOf(m_id, lead) && pos + 1 < text.size()) length = 2;
    return length;
}

std::string CutToBuffer(std::string text, std::size_t maxBytes, const CodePage& codePage) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t next = end + codePage.CharLength(text, end);
        if (next > maxBytes) break;
        end = next;
    }
    text.resize(end);
    return text;
}

} // namespace quillon
