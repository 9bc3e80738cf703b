#pragma once
// Archive records shared by the project and dictionary files: little-endian
// numbers, length-prefixed ANSI texts, counts, and object records with class
// tags, schema numbers and back-references. Indexes are handed out from 1, to
// new classes and new objects alike, in order of first appearance.

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"

namespace quillon {

// A malformed project or dictionary file: what was wrong and where.
class ArchiveError : public std::runtime_error {
public:
    ArchiveError(const std::string& message, std::uint64_t offset)
        : std::runtime_error(message + " at offset " + std::to_string(offset)), m_reason(message), m_offset(offset) {}
    std::uint64_t Offset() const { return m_offset; }
    const std::string& Reason() const { return m_reason; }
    // The same error, naming the file it was found in.
    ArchiveError InFile(const std::string& path) const { return ArchiveError("'" + path + "': " + m_reason, m_offset); }

private:
    std::string m_reason;
    std::uint64_t m_offset;
};

inline constexpr std::uint16_t kNullTag = 0x0000;
inline constexpr std::uint16_t kNewClassTag = 0xFFFF;
inline constexpr std::uint16_t kClassTag = 0x8000;
inline constexpr std::uint16_t kBigObjectTag = 0x7FFF;
inline constexpr std::uint32_t kBigClassTag = 0x80000000;
inline constexpr std::uint16_t kSchema = 1;

class ArchiveWriter {
public:
    void Byte(std::uint8_t v) { m_out.U8(v); }
    void Word(std::uint16_t v) { m_out.U16(v); }
    void Dword(std::uint32_t v) { m_out.U32(v); }
    void Bytes(std::span<const std::uint8_t> bytes) { m_out.Bytes(bytes); }
    void Text(std::string_view text);
    void Time(std::int64_t secondsSince1970) { Dword(static_cast<std::uint32_t>(secondsSince1970)); }
    void Count(std::size_t count);
    // Announces a new object of `className`; its own record follows.
    void ObjectTag(std::string_view className);
    void NullObject() { Word(kNullTag); }

    const std::vector<std::uint8_t>& Data() const { return m_out.Data(); }
    std::vector<std::uint8_t> Take() { return m_out.Take(); }

private:
    void IndexTag(std::uint32_t index, bool isClass);

    ByteWriter m_out;
    // Few classes per archive: a short list beats a map keyed by string.
    std::vector<std::pair<std::string, std::uint32_t>> m_classIndex;
    std::uint32_t m_nextIndex = 1;
};

// An archive's bytes supplied front to back, for files that are read in
// pieces instead of being held whole.
class ArchiveInput {
public:
    virtual ~ArchiveInput() = default;
    // Bytes the archive has in all.
    virtual std::uint64_t Size() const = 0;
    // Fills the front of `into` with the next bytes; fewer than asked only at
    // the end of the input or when it cannot be read.
    virtual std::size_t Read(std::span<std::uint8_t> into) = 0;
};

// Bytes in memory as an archive input, handed out in pieces as a file's
// would be (for checking the window against a reader of whole bytes).
class BytesInput : public ArchiveInput {
public:
    explicit BytesInput(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    std::size_t Read(std::span<std::uint8_t> into) override;

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_done = 0;
};

// Large enough that refilling costs little against parsing, small enough
// that a dictionary of hundreds of megabytes is never held whole.
inline constexpr std::size_t kArchiveWindowSize = 256 * 1024;

class ArchiveReader {
public:
    explicit ArchiveReader(std::span<const std::uint8_t> bytes) : m_in(bytes), m_size(bytes.size()) {}
    // Reads `input` through a window of at least `windowSize` of its bytes
    // (more when one text is longer); `input` must outlive this.
    explicit ArchiveReader(ArchiveInput& input, std::size_t windowSize = kArchiveWindowSize)
        : m_input(&input), m_windowSize(std::max<std::size_t>(windowSize, 1)), m_size(input.Size()) {}

    std::uint8_t Byte();
    std::uint16_t Word();
    std::uint32_t Dword();
    std::vector<std::uint8_t> Bytes(std::size_t count);
    std::string Text();
    std::int64_t Time() { return Dword(); }
    // A list count; `minRecordSize` is the least number of bytes each element
    // needs, so a count that the rest of the file cannot hold is refused
    // before anything is allocated for it.
    std::uint32_t Count(std::size_t minRecordSize);

    struct Tag {
        enum class Kind { Null, NewObject, Reference };
        Kind kind = Kind::Null;
        std::string className; // NewObject: the object's class
        std::uint32_t index = 0; // NewObject: the index given to it; Reference: the index referred to
    };
    Tag ObjectTag();

    std::uint64_t Offset() const { return m_windowStart + m_in.Position(); }
    bool AtEnd() const { return Offset() >= m_size; }
    std::uint64_t Remaining() const { return m_size - Offset(); }
    [[noreturn]] void Fail(const std::string& message) const { throw ArchiveError(message, Offset()); }

private:
    [[noreturn]] static void FailAt(std::uint64_t offset, const std::string& message) {
        throw ArchiveError(message, offset);
    }
    std::uint32_t ClassIndexTag(std::uint16_t tag, std::uint64_t tagOffset);
    std::uint32_t NewIndex();
    // Makes the next `count` bytes readable through m_in, as far as the input has them.
    void Need(std::size_t count) {
        if (m_input && m_in.Remaining() < count) Refill(count);
    }
    void Refill(std::size_t count);
    std::span<const std::uint8_t> Take(std::size_t count);

    ByteReader m_in; // the whole archive, or the window of it read last
    ArchiveInput* m_input = nullptr;
    std::size_t m_windowSize = kArchiveWindowSize;
    std::vector<std::uint8_t> m_window;
    std::uint64_t m_windowStart = 0; // offset of the window's first byte
    std::uint64_t m_size = 0;
    // For every index handed out: the class slot + 1 when it names a class, 0 for an object.
    std::vector<std::uint32_t> m_indexes{0};
    std::vector<std::string> m_classNames;
};

} // namespace quillon
