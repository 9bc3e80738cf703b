#pragma once
// Little-endian append-only byte buffer used by the archive and template writers.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillon {

class ByteWriter {
public:
    void U8(std::uint8_t v) { m_bytes.push_back(v); }
    void U16(std::uint16_t v) {
        m_bytes.push_back(static_cast<std::uint8_t>(v));
        m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void Bytes(std::span<const std::uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void Chars(std::string_view text) { m_bytes.insert(m_bytes.end(), text.begin(), text.end()); }
    void PadTo(std::size_t alignment) {
        while (m_bytes.size() % alignment != 0) m_bytes.push_back(0);
    }

    std::size_t Size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& Data() const { return m_bytes; }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace quillon
