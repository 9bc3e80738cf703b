#pragma once
// Icon resources written byte by byte the way resource compilers write them:
// bitmap images with their masks, icon groups, and the start of a PNG. Shared
// by the core's icon tests and the file dialog's, which need no Qt for them.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace quillon::testing {

using IconBytes = std::vector<std::uint8_t>;

inline void Put(IconBytes& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline IconBytes Concat(std::initializer_list<IconBytes> parts) {
    IconBytes out;
    for (const IconBytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// BITMAPINFOHEADER of an icon image: the stored height is twice the image's.
inline IconBytes InfoHeader(int width, int height, int bits, std::uint32_t coloursUsed = 0,
                            std::uint32_t compression = 0) {
    IconBytes out;
    for (std::uint32_t value : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height * 2)})
        Put(out, value, 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(bits), 2);
    for (std::uint32_t value : {compression, 0u, 0u, 0u, coloursUsed, 0u}) Put(out, value, 4);
    return out;
}

// Rows top-down in, bottom-up and padded to 4 bytes out. Values are palette
// indexes (packed with the leftmost pixel in the high bits) or, for 24 and
// 32 bits, colours 0xAARRGGBB written B G R (A).
inline IconBytes PackRows(const std::vector<std::vector<std::uint32_t>>& rows, int bits) {
    IconBytes out;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        IconBytes packed;
        if (bits >= 24) {
            for (std::uint32_t colour : *row)
                for (int shift : {0, 8, 16, 24})
                    if (shift < bits) packed.push_back(static_cast<std::uint8_t>(colour >> shift));
        } else {
            packed.assign((row->size() * bits + 7) / 8, 0);
            for (std::size_t x = 0; x < row->size(); ++x) {
                std::size_t bit = x * bits;
                packed[bit / 8] |= static_cast<std::uint8_t>((*row)[x] << (8 - bits - bit % 8));
            }
        }
        while (packed.size() % 4) packed.push_back(0);
        out.insert(out.end(), packed.begin(), packed.end());
    }
    return out;
}

// Palette entries from colours 0xRRGGBB: B G R 0 in file order.
inline IconBytes Palette(const std::vector<std::uint32_t>& colours) {
    IconBytes out;
    for (std::uint32_t colour : colours) Put(out, colour & 0xFFFFFF, 4);
    return out;
}

// A one-colour opaque square of `side` pixels at 32 bits, with an empty mask.
inline IconBytes SolidIcon(int side, std::uint32_t rgb) {
    std::vector<std::vector<std::uint32_t>> rows(side, std::vector<std::uint32_t>(side, rgb));
    return Concat({InfoHeader(side, side, 32), PackRows(rows, 32),
                   IconBytes(static_cast<std::size_t>((side + 31) / 32 * 4 * side), 0)});
}

// Group directory entries: side (0 = 256), bits, icon ID.
struct IconGroupEntry {
    int side;
    int bits;
    std::uint16_t id;
};
inline IconBytes GroupBytes(const std::vector<IconGroupEntry>& entries) {
    IconBytes out{0, 0, 1, 0};
    Put(out, static_cast<std::uint32_t>(entries.size()), 2);
    for (const IconGroupEntry& entry : entries) {
        for (int byte : {entry.side, entry.side, 0, 0, 1, 0}) out.push_back(static_cast<std::uint8_t>(byte));
        Put(out, static_cast<std::uint32_t>(entry.bits), 6); // bit count, then a size of 0
        Put(out, entry.id, 2);
    }
    return out;
}

// The PNG signature and an IHDR chunk for width x height, 8-bit RGBA; what
// follows is up to the caller (the core reads no further than this).
inline IconBytes PngHead(std::uint32_t width, std::uint32_t height) {
    IconBytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (std::uint32_t value : {width, height})
        for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(value >> shift));
    for (int byte : {8, 6, 0, 0, 0}) out.push_back(static_cast<std::uint8_t>(byte));
    return out;
}

} // namespace quillon::testing
