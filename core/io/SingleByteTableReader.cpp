#include "io/SingleByteTableReader.h"

#include <algorithm>
#include <string>

#include "io/Iconv.h"

namespace quillon {

namespace {

// A code page to and from code points. The C library has UCS-4 built in,
// where UTF-16 is one more module to load.
struct CodePointConverters {
    explicit CodePointConverters(std::uint32_t codePage)
        : fromCodePoint(IconvName(codePage), "UCS-4LE"), toCodePoint("UCS-4LE", IconvName(codePage)) {}
    bool Valid() const { return fromCodePoint.Valid() && toCodePoint.Valid(); }
    Iconv fromCodePoint;
    Iconv toCodePoint;
};

// The code point of one byte of the code page; nothing when the byte means
// nothing in it or stands for more than one character.
std::optional<char16_t> UnitOfByte(Iconv& toCodePoint, std::uint8_t byte) {
    char in = static_cast<char>(byte);
    const char* cursor = &in;
    std::size_t left = 1;
    std::string raw;
    toCodePoint.Reset();
    if (toCodePoint.Convert(cursor, left, raw) != Iconv::Stop::Done || raw.size() != 4) return std::nullopt;
    std::uint32_t code = 0;
    for (int i = 3; i >= 0; --i) code = (code << 8) | static_cast<std::uint8_t>(raw[static_cast<std::size_t>(i)]);
    if (code > 0xFFFF || (code >= 0xD800 && code < 0xE000)) return std::nullopt;
    return static_cast<char16_t>(code);
}

// The one byte the code page has for `unit`, as its converter chooses it.
std::optional<std::uint8_t> ByteOfUnit(Iconv& fromCodePoint, char16_t unit) {
    const char in[4] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8), 0, 0};
    const char* cursor = in;
    std::size_t left = sizeof in;
    std::string back;
    fromCodePoint.Reset();
    if (fromCodePoint.Convert(cursor, left, back) != Iconv::Stop::Done || back.size() != 1) return std::nullopt;
    return static_cast<std::uint8_t>(back[0]);
}

} // namespace

std::optional<ReadTable> ReadSingleByteTable(std::uint32_t codePage) {
    if (std::find(kSingleByteTableCodePages.begin(), kSingleByteTableCodePages.end(), codePage) ==
        kSingleByteTableCodePages.end())
        return std::nullopt;
    CodePointConverters converters(codePage);
    if (!converters.Valid()) return std::nullopt;
    ReadTable table;
    for (int byte = 0; byte < 256; ++byte) {
        char16_t unit = UnitOfByte(converters.toCodePoint, static_cast<std::uint8_t>(byte)).value_or(u'\uFFFD');
        // Text below 0x80 is copied as it is; a code page that differs
        // there cannot have a table.
        if (byte < 0x80 && unit != byte) return std::nullopt;
        table.toUnit[static_cast<std::size_t>(byte)] = unit;
    }
    for (int byte = 0x80; byte < 256; ++byte) {
        char16_t unit = table.toUnit[static_cast<std::size_t>(byte)];
        if (unit == u'\uFFFD' || unit < 0x80) continue;
        // The way back is the converter's, which may prefer another byte.
        if (std::optional<std::uint8_t> back = ByteOfUnit(converters.fromCodePoint, unit))
            table.fromUnit.push_back({unit, *back});
    }
    auto byUnit = [](const UnitAndByte& a, const UnitAndByte& b) { return a.unit < b.unit; };
    std::sort(table.fromUnit.begin(), table.fromUnit.end(), byUnit);
    table.fromUnit.erase(std::unique(table.fromUnit.begin(), table.fromUnit.end(),
                                     [](const UnitAndByte& a, const UnitAndByte& b) { return a.unit == b.unit; }),
                         table.fromUnit.end());
    return table;
}

} // namespace quillon
