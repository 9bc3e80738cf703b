#pragma once
// The records of a resource directory, described once for the reader
// (ResourceDirectory.cpp) and the serializer (ResourceSerializer.cpp). Every
// offset below is counted from the start of the directory.
//
// Table (IMAGE_RESOURCE_DIRECTORY): DWORD characteristics, DWORD time stamp,
//   WORD major, WORD minor, WORD named entry count, WORD id entry count, then
//   the entries, named ones first.
// Entry (IMAGE_RESOURCE_DIRECTORY_ENTRY): DWORD name field (high bit set: the
//   offset of a name string; clear: an integer), DWORD offset field (high bit
//   set: the offset of a sub-table; clear: of a data entry).
// Data entry (IMAGE_RESOURCE_DATA_ENTRY): DWORD RVA of the bytes (the only
//   field that is not directory-relative), DWORD size, DWORD code page,
//   DWORD reserved.
// Name string: WORD length in UTF-16 units, then the units, no terminator.
//
// Readers give nothing when a record does not lie inside the directory's
// bytes; writers store into a buffer whose layout was planned first.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quillon {

// Characteristics, time stamp and version of a directory table, kept so that a
// rebuilt directory can carry them over.
struct TableHeader {
    std::uint32_t characteristics = 0;
    std::uint32_t timeDateStamp = 0;
    std::uint16_t majorVersion = 0;
    std::uint16_t minorVersion = 0;
};

struct ResourceTableRecord {
    static constexpr std::size_t kSize = 16;
    TableHeader header;
    std::uint16_t namedEntries = 0;
    std::uint16_t idEntries = 0;

    std::uint64_t EntryCount() const { return std::uint64_t{namedEntries} + idEntries; }
    // Where the table at `table` keeps its entry `index`.
    static std::uint64_t EntryOffset(std::uint64_t table, std::uint64_t index);

    static std::optional<ResourceTableRecord> Read(std::span<const std::uint8_t> directory, std::uint64_t at);
    void Write(std::span<std::uint8_t> directory, std::size_t at) const;
};

struct ResourceEntryRecord {
    static constexpr std::size_t kSize = 8;
    static constexpr std::uint32_t kHighBit = 0x80000000;
    std::uint32_t nameField = 0;
    std::uint32_t offsetField = 0;

    bool IsNamed() const { return (nameField & kHighBit) != 0; }
    std::uint32_t NameOffset() const { return nameField & ~kHighBit; }
    bool LeadsToTable() const { return (offsetField & kHighBit) != 0; }
    std::uint32_t TargetOffset() const { return offsetField & ~kHighBit; }
    // The fields that point to a name string and to a sub-table.
    static std::uint32_t NameField(std::uint32_t stringOffset) { return kHighBit | stringOffset; }
    static std::uint32_t TableField(std::uint32_t tableOffset) { return kHighBit | tableOffset; }

    static std::optional<ResourceEntryRecord> Read(std::span<const std::uint8_t> directory, std::uint64_t at);
    void Write(std::span<std::uint8_t> directory, std::size_t at) const;
};

struct ResourceDataRecord {
    static constexpr std::size_t kSize = 16;
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
    std::uint32_t codePage = 0;

    static std::optional<ResourceDataRecord> Read(std::span<const std::uint8_t> directory, std::uint64_t at);
    void Write(std::span<std::uint8_t> directory, std::size_t at) const;
};

struct ResourceNameString {
    static std::size_t Size(std::size_t units) { return 2 + 2 * units; }
    // The string's units as little-endian bytes.
    static std::optional<std::span<const std::uint8_t>> Read(std::span<const std::uint8_t> directory, std::uint64_t at);
    // `text` holds at most 65,535 units.
    static void Write(std::span<std::uint8_t> directory, std::size_t at, std::u16string_view text);
};

} // namespace quillon
