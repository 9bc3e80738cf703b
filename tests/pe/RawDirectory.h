#pragma once
// A module's resource directory read field by field, without the reader
// under test: what a rebuilt directory really holds.

#include <cstdint>
#include <utility>
#include <vector>

#include "io/ByteReader.h"
#include "pe/PeImage.h"

namespace quillon::testing {

inline constexpr std::uint32_t kNameBit = 0x80000000;

// The {name field, offset field} pairs of a table's entries, the table found
// by following `path` (entry indexes) from the root.
inline std::vector<std::pair<std::uint32_t, std::uint32_t>> RawEntries(const std::vector<std::uint8_t>& file,
                                                                      const std::vector<std::size_t>& path) {
    auto image = PeImage::Parse(file);
    auto dir = image.Value().BytesFromRva(image.Value().Directory(kDirectoryResource).address).value();
    std::uint32_t table = 0;
    auto entries = [&] {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
        std::size_t count = *ByteReader::U16At(dir, table + 12) + std::size_t{*ByteReader::U16At(dir, table + 14)};
        for (std::size_t i = 0; i < count; ++i)
            out.emplace_back(*ByteReader::U32At(dir, table + 16 + 8 * i), *ByteReader::U32At(dir, table + 20 + 8 * i));
        return out;
    };
    for (std::size_t index : path) table = entries().at(index).second & ~kNameBit;
    return entries();
}

// The name fields alone.
inline std::vector<std::uint32_t> RawIds(const std::vector<std::uint8_t>& file, const std::vector<std::size_t>& path) {
    std::vector<std::uint32_t> ids;
    for (const auto& entry : RawEntries(file, path)) ids.push_back(entry.first);
    return ids;
}

// The bytes of the resource at type, name and language entry indexes.
inline std::vector<std::uint8_t> RawData(const std::vector<std::uint8_t>& file, std::size_t type, std::size_t name,
                                         std::size_t language) {
    std::uint32_t entry = RawEntries(file, {type, name}).at(language).second;
    auto image = PeImage::Parse(file);
    auto dir = image.Value().BytesFromRva(image.Value().Directory(kDirectoryResource).address).value();
    auto bytes = image.Value().BytesAtRva(*ByteReader::U32At(dir, entry), *ByteReader::U32At(dir, entry + 4));
    return bytes ? std::vector<std::uint8_t>(bytes->begin(), bytes->end()) : std::vector<std::uint8_t>{};
}

} // namespace quillon::testing
