#pragma once
// The one way bytes are written: little-endian numbers and UTF-16LE text,
// either appended to a growing buffer (archives, resource templates) or
// stored at an offset of a buffer whose layout was planned first (the
// resource directory, header fields of a module being rewritten).

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillon {

// Stores at a fixed offset, the counterparts of ByteReader::U16At/U32At. The
// caller planned the layout: `at` and the value's bytes lie inside `bytes`.
inline void StoreU16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<std::uint8_t>(v);
    bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t v) {
    StoreU16(bytes, at, static_cast<std::uint16_t>(v));
    StoreU16(bytes, at + 2, static_cast<std::uint16_t>(v >> 16));
}
// UTF-16 units from `at` on, without a terminator.
inline void StoreUtf16(std::span<std::uint8_t> bytes, std::size_t at, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) StoreU16(bytes, at + 2 * i, static_cast<std::uint16_t>(text[i]));
}

class ByteWriter {
public:
    void U8(std::uint8_t v) { m_bytes.push_back(v); }
    void U16(std::uint16_t v) { StoreU16(Grow(2), 0, v); }
    void U32(std::uint32_t v) { StoreU32(Grow(4), 0, v); }
    void Bytes(std::span<const std::uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void Chars(std::string_view text) { m_bytes.insert(m_bytes.end(), text.begin(), text.end()); }
    // UTF-16 units without a terminator, and with one.
    void Utf16(std::u16string_view text) { StoreUtf16(Grow(2 * text.size()), 0, text); }
    void Utf16z(std::u16string_view text) {
        Utf16(text);
        U16(0);
    }
    // Zeros up to the next multiple of `alignment`, counted from the start of
    // this buffer (templates align relative to their own start).
    void PadTo(std::size_t alignment) {
        while (m_bytes.size() % alignment != 0) m_bytes.push_back(0);
    }
    // Overwrites a WORD already written (a length known only at the end).
    void SetU16At(std::size_t at, std::uint16_t v) { StoreU16(m_bytes, at, v); }

    std::size_t Size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& Data() const { return m_bytes; }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    std::span<std::uint8_t> Grow(std::size_t count) {
        std::size_t at = m_bytes.size();
        m_bytes.resize(at + count);
        return std::span(m_bytes).subspan(at);
    }

    std::vector<std::uint8_t> m_bytes;
};

} // namespace quillon
