#pragma once
// The one place where the UTF-16 of module templates meets the ANSI text of
// the resource tree. A CodePage converts in both directions the way the
// Windows conversion functions do by default: characters the code page cannot
// hold become '?', and the conversion counts how often that happened.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct SingleByteTable;

inline constexpr std::uint32_t kCodePageUtf8 = 65001;
inline constexpr std::uint32_t kDefaultCodePage = 1252;

class CodePage {
public:
    explicit CodePage(std::uint32_t id = kDefaultCodePage);
    ~CodePage();
    CodePage(const CodePage& other);
    CodePage& operator=(const CodePage& other);
    CodePage(CodePage&&) noexcept;
    CodePage& operator=(CodePage&&) noexcept;

    std::uint32_t Id() const { return m_id; }
    // False when the system has no converter for this code page.
    bool Supported() const;

    // UTF-16 to the code page. Unpaired surrogates and characters without a
    // mapping become '?' and are added to *replaced when it is given.
    std::string FromUtf16(std::u16string_view text, std::size_t* replaced = nullptr) const;
    // The code page to UTF-16; undecodable bytes become U+FFFD.
    std::u16string ToUtf16(std::string_view text) const;
    // Convenience for output: the code page's text as UTF-8.
    std::string ToUtf8(std::string_view text) const;
    // UTF-8 (from a terminal or a command line) to the code page.
    std::string FromUtf8(std::string_view text, std::size_t* replaced = nullptr) const;

    // Multi-byte awareness: the length in bytes of the character that starts
    // at text[pos] (1 for single-byte code pages); never runs past the end.
    std::size_t CharLength(std::string_view text, std::size_t pos) const {
        // A character that starts with a byte below 0x80 is that byte alone in
        // every code page: lead bytes of the double-byte code pages and of UTF-8
        // sequences lie above it (trail bytes may not, but none starts a character).
        if (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) return 1;
        return CharLengthFrom(text, pos);
    }
    bool IsMultiByte() const;
    // True when ASCII text is the same bytes in this code page (the Windows
    // code pages), so it needs no conversion.
    bool KeepsAscii() const;

    // A program that must not load the C library's converter modules (the
    // statically linked quillon-cli) names what to do instead: the function
    // is called with the code page before a converter is first opened; the
    // converter opens when it returns. Only the code pages without a table of
    // their own (see SingleByteTable.h), other than UTF-8, open one.
    static void SetBeforeConverter(void (*beforeConverter)(std::uint32_t codePage));

private:
    std::size_t CharLengthFrom(std::string_view text, std::size_t pos) const;
    struct Converters;
    std::uint32_t m_id;
    mutable std::unique_ptr<Converters> m_converters; // opened on first use
    const SingleByteTable* m_table; // compiled in; null without one
    Converters& Get() const;
};

// 0 to 9 only: the digits of numbers and placeholders, not of other scripts.
inline bool IsAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Appends the UTF-8 bytes of the code point `c` (below 0x110000, no surrogate).
void AppendUtf8(std::string& out, char32_t c);

// The characters of `utf8` that the code page cannot hold, each once, in
// the order they first occur (as UTF-8), so that a front end can name them
// before anything is replaced by '?'.
std::vector<std::string> CharactersNotIn(std::string_view utf8, const CodePage& codePage);

// Cuts `text` to at most `maxBytes` bytes without splitting a multi-byte
// character, the way a fixed conversion buffer of maxBytes + 1 cuts it.
std::string CutToBuffer(std::string text, std::size_t maxBytes, const CodePage& codePage);

} // namespace quillon
