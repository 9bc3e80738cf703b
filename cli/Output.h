#pragma once
// What the command line prints goes through the C library's standard
// streams. Texts, characters and whole numbers come out as a C++ stream
// writes them by default. The C++ streams set up the classic locale with all
// of its facets before main() runs: ten page faults and a tenth of a
// millisecond of a scan that takes three or four from start to exit.

#include <charconv>
#include <concepts>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <type_traits>

namespace quillon::cli {

class Output {
public:
    // `tied` is flushed before each write, as standard output is before
    // standard error: a warning then follows the lines printed before it,
    // also where both streams go to one file.
    explicit Output(std::FILE* file, std::FILE* tied = nullptr) : m_file(file), m_tied(tied) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& operator<<(std::string_view text) {
        if (m_tied) std::fflush(m_tied);
        std::fwrite(text.data(), 1, text.size(), m_file);
        return *this;
    }
    Output& operator<<(char c) {
        if (m_tied) std::fflush(m_tied);
        std::fputc(static_cast<unsigned char>(c), m_file);
        return *this;
    }
    // Bytes that are characters print as characters, and bool as 0 or 1,
    // as they do on a C++ stream.
    template <std::integral Number>
        requires(!std::is_same_v<Number, char> && !std::is_same_v<Number, char8_t> &&
                 !std::is_same_v<Number, char16_t> && !std::is_same_v<Number, char32_t> &&
                 !std::is_same_v<Number, wchar_t>)
    Output& operator<<(Number value) {
        if constexpr (std::is_same_v<Number, bool>)
            return *this << (value ? '1' : '0');
        else if constexpr (sizeof(Number) == 1)
            return *this << static_cast<char>(value);
        else {
            char digits[24];
            char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
            return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
        }
    }
    void Flush() { std::fflush(m_file); }

private:
    std::FILE* m_file;
    std::FILE* m_tied;
};

// Standard output and standard error.
Output& Out();
Output& Err();

} // namespace quillon::cli
