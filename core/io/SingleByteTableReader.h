#pragma once
// Reads the single-byte code pages' tables from the C library's converters.
// Only the program that writes the compiled-in tables links this.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "io/SingleByteTable.h"

namespace quillon {

// A table as read from the converter, with storage of its own.
struct ReadTable {
    std::array<char16_t, 256> toUnit{};
    std::vector<UnitAndByte> fromUnit;
};

// Reads the table of `codePage` from the C library's converter; nothing when
// the system has no converter for it or it is not a table code page.
std::optional<ReadTable> ReadSingleByteTable(std::uint32_t codePage);

} // namespace quillon
