#pragma once
// A bounds-checked cursor over untrusted bytes. Every read checks the
// remaining length first and reports failure instead of reading past the end;
// loads go through memcpy so alignment never matters.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>

namespace quillon {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t base = 0)
        : m_bytes(bytes), m_base(base) {}

    std::size_t Position() const { return m_pos; }
    // Offset of the cursor in the enclosing file or blob (for error messages).
    std::size_t AbsolutePosition() const { return m_base + m_pos; }
    std::size_t Size() const { return m_bytes.size(); }
    std::size_t Remaining() const { return m_bytes.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    std::span<const std::uint8_t> Bytes() const { return m_bytes; }

    bool Seek(std::size_t pos) {
        if (pos > m_bytes.size()) return false;
        m_pos = pos;
        return true;
    }
    bool Skip(std::size_t count) {
        if (count > Remaining()) return false;
        m_pos += count;
        return true;
    }
    // Moves to the next multiple of `alignment` (relative to the start of
    // this reader's bytes); fails when that lies past the end.
    bool AlignTo(std::size_t alignment) {
        std::size_t aligned = (m_pos + alignment - 1) / alignment * alignment;
        return Seek(aligned);
    }

    std::optional<std::uint8_t> U8() { return Load<std::uint8_t>(); }
    std::optional<std::uint16_t> U16() { return Load<std::uint16_t>(); }
    std::optional<std::uint32_t> U32() { return Load<std::uint32_t>(); }
    std::optional<std::uint64_t> U64() { return Load<std::uint64_t>(); }

    std::optional<std::span<const std::uint8_t>> Take(std::size_t count) {
        if (count > Remaining()) return std::nullopt;
        auto out = m_bytes.subspan(m_pos, count);
        m_pos += count;
        return out;
    }

    // A zero-terminated UTF-16 string; the cursor ends after the terminator.
    // Fails (cursor unchanged) when no terminator lies inside the bytes.
    std::optional<std::u16string> Utf16z() {
        auto units = Utf16zBytes();
        if (!units) return std::nullopt;
        std::u16string out;
        DecodeUtf16Le(*units, out);
        return out;
    }

    // The same string as the little-endian bytes of its units (terminator
    // excluded), for readers that convert it without a copy of their own.
    std::optional<std::span<const std::uint8_t>> Utf16zBytes() {
        std::size_t end = m_pos;
        while (end + 2 <= m_bytes.size() && (m_bytes[end] | m_bytes[end + 1]) != 0) end += 2;
        if (end + 2 > m_bytes.size()) return std::nullopt;
        auto units = m_bytes.subspan(m_pos, end - m_pos);
        m_pos = end + 2;
        return units;
    }

    // Little-endian UTF-16 units into `out` (an odd last byte is ignored).
    static void DecodeUtf16Le(std::span<const std::uint8_t> bytes, std::u16string& out) {
        out.resize(bytes.size() / 2);
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }

    // A sub-reader over [offset, offset + length) of these bytes, or nothing
    // when that range does not lie inside.
    std::optional<ByteReader> Sub(std::size_t offset, std::size_t length) const {
        if (offset > m_bytes.size() || length > m_bytes.size() - offset) return std::nullopt;
        return ByteReader(m_bytes.subspan(offset, length), m_base + offset);
    }

    // Static helpers for reading at a fixed offset without a cursor.
    static std::optional<std::uint16_t> U16At(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
        return LoadAt<std::uint16_t>(bytes, offset);
    }
    static std::optional<std::uint32_t> U32At(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
        return LoadAt<std::uint32_t>(bytes, offset);
    }
    static std::optional<std::uint64_t> U64At(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
        return LoadAt<std::uint64_t>(bytes, offset);
    }

private:
    template <typename T>
    std::optional<T> Load() {
        auto value = LoadAt<T>(m_bytes, m_pos);
        if (value) m_pos += sizeof(T);
        return value;
    }
    // Little-endian load. On a little-endian host that is one unaligned load,
    // small enough to be inlined into every parser's loop: called as a
    // function, its optional result went through memory and stalled each read.
    template <typename T>
    static std::optional<T> LoadAt(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
        if (offset > bytes.size() || sizeof(T) > bytes.size() - offset) return std::nullopt;
        T value = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&value, bytes.data() + offset, sizeof(T));
        } else {
            for (std::size_t i = 0; i < sizeof(T); ++i)
                value |= static_cast<T>(static_cast<T>(bytes[offset + i]) << (8 * i));
        }
        return value;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::size_t m_base = 0;
};

} // namespace quillon
