#pragma once
// The byte buffer resource templates are built in: little-endian numbers,
// DWORD alignment relative to the template's start, and the template's
// "name or ordinal" fields.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/CodePage.h"

namespace quillon {

class CTemplateBuffer {
public:
    void Word(std::uint16_t v) {
        m_bytes.push_back(static_cast<std::uint8_t>(v));
        m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Dword(std::uint32_t v) {
        Word(static_cast<std::uint16_t>(v));
        Word(static_cast<std::uint16_t>(v >> 16));
    }
    void Bytes(std::span<const std::uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void Align() {
        while (m_bytes.size() % 4) m_bytes.push_back(0);
    }
    void NoName() { Word(0); }
    void Ordinal(std::uint16_t ordinal) {
        Word(0xFFFF);
        Word(ordinal);
    }
    // UTF-16 characters and a terminating zero.
    void Name(std::u16string_view text) {
        Units(text);
        Word(0);
    }
    // UTF-16 characters without a terminator.
    void Units(std::u16string_view text) {
        std::size_t at = m_bytes.size();
        m_bytes.resize(at + 2 * text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            m_bytes[at + 2 * i] = static_cast<std::uint8_t>(text[i]);
            m_bytes[at + 2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
        }
    }
    // An ANSI text of the tree, converted with the project's code page.
    void Text(std::string_view text, const CodePage& codePage) { Name(codePage.ToUtf16(text)); }

    std::size_t Size() const { return m_bytes.size(); }
    void SetWordAt(std::size_t at, std::uint16_t v) {
        m_bytes[at] = static_cast<std::uint8_t>(v);
        m_bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace quillon
