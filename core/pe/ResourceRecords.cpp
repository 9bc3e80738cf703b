#include "pe/ResourceRecords.h"

#include "io/ByteReader.h"
#include "io/ByteWriter.h"

namespace quillon {

std::uint64_t ResourceTableRecord::EntryOffset(std::uint64_t table, std::uint64_t index) {
    return table + kSize + ResourceEntryRecord::kSize * index;
}

std::optional<ResourceTableRecord> ResourceTableRecord::Read(std::span<const std::uint8_t> directory, std::uint64_t at) {
    auto fields = ByteReader(directory).Sub(at, kSize);
    if (!fields) return std::nullopt;
    ResourceTableRecord table;
    table.header.characteristics = *fields->U32();
    table.header.timeDateStamp = *fields->U32();
    table.header.majorVersion = *fields->U16();
    table.header.minorVersion = *fields->U16();
    table.namedEntries = *fields->U16();
    table.idEntries = *fields->U16();
    return table;
}

void ResourceTableRecord::Write(std::span<std::uint8_t> directory, std::size_t at) const {
    StoreU32(directory, at, header.characteristics);
    StoreU32(directory, at + 4, header.timeDateStamp);
    StoreU16(directory, at + 8, header.majorVersion);
    StoreU16(directory, at + 10, header.minorVersion);
    StoreU16(directory, at + 12, namedEntries);
    StoreU16(directory, at + 14, idEntries);
}

std::optional<ResourceEntryRecord> ResourceEntryRecord::Read(std::span<const std::uint8_t> directory, std::uint64_t at) {
    auto fields = ByteReader(directory).Sub(at, kSize);
    if (!fields) return std::nullopt;
    ResourceEntryRecord entry;
    entry.nameField = *fields->U32();
    entry.offsetField = *fields->U32();
    return entry;
}

void ResourceEntryRecord::Write(std::span<std::uint8_t> directory, std::size_t at) const {
    StoreU32(directory, at, nameField);
    StoreU32(directory, at + 4, offsetField);
}

std::optional<ResourceDataRecord> ResourceDataRecord::Read(std::span<const std::uint8_t> directory, std::uint64_t at) {
    auto fields = ByteReader(directory).Sub(at, kSize);
    if (!fields) return std::nullopt;
    ResourceDataRecord data;
    data.rva = *fields->U32();
    data.size = *fields->U32();
    data.codePage = *fields->U32();
    return data;
}

void ResourceDataRecord::Write(std::span<std::uint8_t> directory, std::size_t at) const {
    StoreU32(directory, at, rva);
    StoreU32(directory, at + 4, size);
    StoreU32(directory, at + 8, codePage);
    StoreU32(directory, at + 12, 0);
}

std::optional<std::span<const std::uint8_t>> ResourceNameString::Read(std::span<const std::uint8_t> directory,
                                                                      std::uint64_t at) {
    auto length = ByteReader::U16At(directory, at);
    if (!length) return std::nullopt;
    auto units = ByteReader(directory).Sub(at + 2, std::uint64_t{*length} * 2);
    if (!units) return std::nullopt;
    return units->Bytes();
}

void ResourceNameString::Write(std::span<std::uint8_t> directory, std::size_t at, std::u16string_view text) {
    StoreU16(directory, at, static_cast<std::uint16_t>(text.size()));
    StoreUtf16(directory, at + 2, text);
}

} // namespace quillon
