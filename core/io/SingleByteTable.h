#pragma once
// The single-byte Windows code pages as tables compiled into Quillon. They
// are read from the C library's converters when Quillon is built
// (MakeCodePageTables.cpp), so they say what those converters say. A program
// then converts these code pages without loading a converter module at run
// time: that took longer than scanning a small module, and a statically
// linked program cannot load one safely at all.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace quillon {

struct UnitAndByte {
    char16_t unit;
    std::uint8_t byte;
};

struct SingleByteTable {
    std::uint32_t codePage;
    std::array<char16_t, 256> toUnit; // U+FFFD: the byte means nothing
    std::span<const UnitAndByte> fromUnit; // units from 0x80, sorted

    // Nothing when the code page has no byte for `unit` (from 0x80).
    std::optional<std::uint8_t> FromUnit(char16_t unit) const;
};

// The code pages that have a table: those whose converter maps byte for
// byte and keeps ASCII (1255 and 1258 compose and decompose accents).
inline constexpr std::array<std::uint32_t, 8> kSingleByteTableCodePages = {874,  1250, 1251, 1252,
                                                                          1253, 1254, 1256, 1257};

// The compiled-in table of `codePage`; null for other code pages, and for
// one whose converter the building system lacked.
const SingleByteTable* BuiltInSingleByteTable(std::uint32_t codePage);

} // namespace quillon
