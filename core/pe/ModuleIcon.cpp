#include "pe/ModuleIcon.h"

#include <algorithm>
#include <optional>
#include <string>

#include "io/ByteReader.h"
#include "pe/ResourceModule.h"

namespace quillon {

namespace {

constexpr std::size_t kInfoHeaderSize = 40;

Error Damaged(std::string message, std::uint64_t offset = 0) {
    return MakeError(Error::Code::Malformed, "icon image: " + std::move(message), offset);
}

// ---- PNG ------------------------------------------------------------------------

// A PNG starts with its 8-byte signature and then the IHDR chunk: u32 length
// (13), "IHDR", u32 width, u32 height, all big-endian. The front end decodes
// the rest; the sides are checked here so that it never has to.
bool IsPng(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin());
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return std::uint32_t{bytes[offset]} << 24 | std::uint32_t{bytes[offset + 1]} << 16 |
           std::uint32_t{bytes[offset + 2]} << 8 | bytes[offset + 3];
}

Result<IconImage> PassPng(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kHeader[8] = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    if (bytes.size() < 24 || !std::equal(kHeader, kHeader + 8, bytes.begin() + 8))
        return Damaged("a PNG without its IHDR header", 8);
    std::uint32_t width = BigEndian32(bytes, 16);
    std::uint32_t height = BigEndian32(bytes, 20);
    if (width == 0 || height == 0 || width > kMaxIconSide || height > kMaxIconSide)
        return Damaged("a PNG of " + std::to_string(width) + " x " + std::to_string(height) + " pixels", 16);
    IconImage image;
    image.format = IconImage::Format::Png;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.png.assign(bytes.begin(), bytes.end());
    return image;
}

// ---- Device-independent bitmaps -------------------------------------------------

// BITMAPINFOHEADER (40 bytes or a longer version of it):
//   u32 header size, i32 width, i32 height (twice the image: XOR rows then AND
//   rows), u16 planes, u16 bits per pixel, u32 compression (0 = none),
//   u32 image size, i32 x and y resolution, u32 colours used, u32 important.
// Then the palette (4 bytes B G R 0 per colour, up to 8 bits per pixel), the
// XOR bitmap and the 1-bit AND mask (set = transparent), both bottom-up with
// rows padded to 4 bytes.
struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // of the image, half the stored height
    std::uint16_t bitCount = 0;
    std::uint32_t colours = 0; // palette entries
};

std::uint32_t PaletteSize(std::uint16_t bitCount, std::uint32_t coloursUsed) {
    if (bitCount > 8) return 0;
    std::uint32_t full = 1u << bitCount;
    return coloursUsed == 0 || coloursUsed > full ? full : coloursUsed;
}

bool KnownDepth(std::uint16_t bitCount) {
    static constexpr std::uint16_t kBitCounts[] = {1, 2, 4, 8, 24, 32};
    return std::find(std::begin(kBitCounts), std::end(kBitCounts), bitCount) != std::end(kBitCounts);
}

Result<DibHeader> ReadDibHeader(ByteReader in) {
    auto size = in.U32();
    auto width = in.U32();
    auto height = in.U32();
    auto planes = in.U16();
    auto bitCount = in.U16();
    auto compression = in.U32();
    if (!size || !width || !height || !planes || !bitCount || !compression || !in.Skip(12))
        return Damaged("the bitmap header is cut short");
    auto coloursUsed = in.U32();
    if (!coloursUsed || *size < kInfoHeaderSize) return Damaged("the bitmap header is cut short");
    if (*compression != 0) return Damaged("a compressed bitmap", 16);
    DibHeader header;
    header.headerSize = *size;
    header.width = static_cast<std::int32_t>(*width);
    header.height = static_cast<std::int32_t>(*height) / 2;
    header.bitCount = *bitCount;
    header.colours = PaletteSize(*bitCount, *coloursUsed);
    if (!KnownDepth(*bitCount)) return Damaged(std::to_string(*bitCount) + " bits per pixel", 14);
    if (header.width <= 0 || header.width > kMaxIconSide || header.height <= 0 || header.height > kMaxIconSide)
        return Damaged("a bitmap of " + std::to_string(header.width) + " x " + std::to_string(header.height) + " pixels",
                       4);
    return header;
}

std::size_t RowStride(std::int64_t width, std::uint16_t bitCount) {
    return static_cast<std::size_t>((width * bitCount + 31) / 32 * 4);
}

// The palette index of pixel x in a row of 1, 2, 4 or 8 bits per pixel;
// the leftmost pixel sits in the high bits of its byte.
unsigned PaletteIndex(std::span<const std::uint8_t> row, std::int64_t x, std::uint16_t bitCount) {
    std::size_t bit = static_cast<std::size_t>(x) * bitCount;
    unsigned shift = 8 - bitCount - static_cast<unsigned>(bit % 8);
    return (row[bit / 8] >> shift) & ((1u << bitCount) - 1);
}

constexpr std::uint32_t Argb(std::uint32_t alpha, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return alpha << 24 | red << 16 | green << 8 | blue;
}

// The planes of one bitmap, each already checked to lie inside the resource.
class DibDecoder {
public:
    DibDecoder(const DibHeader& header, std::span<const std::uint8_t> palette, std::span<const std::uint8_t> pixels,
               std::span<const std::uint8_t> mask)
        : m_header(header), m_palette(palette), m_pixels(pixels), m_mask(mask) {}

    IconImage Decode() const {
        IconImage image;
        image.width = static_cast<int>(m_header.width);
        image.height = static_cast<int>(m_header.height);
        image.pixels.reserve(static_cast<std::size_t>(m_header.width * m_header.height));
        bool useAlpha = m_header.bitCount == 32 && HasAlpha();
        // Rows are stored bottom-up.
        for (std::int64_t y = m_header.height - 1; y >= 0; --y)
            for (std::int64_t x = 0; x < m_header.width; ++x) image.pixels.push_back(Pixel(y, x, useAlpha));
        return image;
    }

private:
    static std::span<const std::uint8_t> Row(std::span<const std::uint8_t> plane, std::size_t stride, std::int64_t row) {
        return plane.subspan(static_cast<std::size_t>(row) * stride, stride);
    }

    // Icons of 32 bits made before alpha existed leave the fourth byte zero
    // and rely on the mask alone.
    bool HasAlpha() const {
        for (std::size_t i = 3; i < m_pixels.size(); i += 4)
            if (m_pixels[i] != 0) return true;
        return false;
    }

    bool Masked(std::int64_t row, std::int64_t x) const {
        if (m_mask.empty()) return false;
        return PaletteIndex(Row(m_mask, RowStride(m_header.width, 1), row), x, 1) != 0;
    }

    // An index past a short palette shows black, as Windows draws it.
    std::uint32_t PaletteColour(unsigned index) const {
        if (index >= m_header.colours) return Argb(255, 0, 0, 0);
        const std::uint8_t* entry = &m_palette[std::size_t{index} * 4];
        return Argb(255, entry[2], entry[1], entry[0]);
    }

    std::uint32_t Pixel(std::int64_t row, std::int64_t x, bool useAlpha) const {
        auto data = Row(m_pixels, RowStride(m_header.width, m_header.bitCount), row);
        std::uint32_t colour;
        if (m_header.bitCount <= 8) {
            colour = PaletteColour(PaletteIndex(data, x, m_header.bitCount));
        } else {
            const std::uint8_t* p = &data[static_cast<std::size_t>(x) * (m_header.bitCount / 8)];
            if (useAlpha) return Argb(p[3], p[2], p[1], p[0]);
            colour = Argb(255, p[2], p[1], p[0]);
        }
        return Masked(row, x) ? 0 : colour;
    }

    DibHeader m_header;
    std::span<const std::uint8_t> m_palette;
    std::span<const std::uint8_t> m_pixels;
    std::span<const std::uint8_t> m_mask;
};

Result<IconImage> DecodeDib(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    auto header = ReadDibHeader(in);
    if (!header) return header.GetError();
    const DibHeader& dib = header.Value();
    std::size_t paletteBytes = std::size_t{dib.colours} * 4;
    std::size_t pixelBytes = RowStride(dib.width, dib.bitCount) * static_cast<std::size_t>(dib.height);
    std::size_t maskBytes = RowStride(dib.width, 1) * static_cast<std::size_t>(dib.height);
    auto palette = in.Sub(dib.headerSize, paletteBytes);
    if (!palette) return Damaged("the palette runs past the end", dib.headerSize);
    std::size_t pixelOffset = std::size_t{dib.headerSize} + paletteBytes;
    auto pixels = in.Sub(pixelOffset, pixelBytes);
    if (!pixels) return Damaged("the pixels run past the end", pixelOffset);
    // A mask cut short by the module's packer leaves the image opaque.
    auto mask = in.Sub(pixelOffset + pixelBytes, maskBytes);
    std::span<const std::uint8_t> maskSpan = mask ? mask->Bytes() : std::span<const std::uint8_t>();
    return DibDecoder(dib, palette->Bytes(), pixels->Bytes(), maskSpan).Decode();
}

// ---- Icon groups ----------------------------------------------------------------

// GRPICONDIR: u16 reserved (0), u16 type (1 = icons), u16 count, then count
// entries of 14 bytes: u8 width (0 = 256), u8 height, u8 colours, u8 reserved,
// u16 planes, u16 bits per pixel, u32 size in bytes, u16 RT_ICON name.
struct GroupEntry {
    int side = 0;
    int bits = 0;
    std::uint16_t id = 0;
};

// Old groups leave the bit count zero and give the number of colours.
int Depth(std::uint16_t bits, std::uint8_t colours) {
    if (bits != 0) return bits;
    return colours == 0 ? 8 : colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
}

// Entries past the group's end are dropped: a group cut short keeps its
// whole entries.
std::vector<GroupEntry> ReadGroupEntries(std::span<const std::uint8_t> group) {
    ByteReader in(group);
    std::vector<GroupEntry> entries;
    auto reserved = in.U16();
    auto type = in.U16();
    auto count = in.U16();
    if (!reserved || !type || !count || *type != 1) return entries;
    for (std::uint16_t i = 0; i < *count; ++i) {
        auto fixed = in.Take(4);
        auto planes = in.U16();
        auto bits = in.U16();
        auto size = in.U32();
        auto id = in.U16();
        if (!fixed || !planes || !bits || !size || !id) break;
        int width = (*fixed)[0] ? (*fixed)[0] : 256;
        int height = (*fixed)[1] ? (*fixed)[1] : 256;
        entries.push_back({std::max(width, height), Depth(*bits, (*fixed)[2]), *id});
    }
    return entries;
}

// ---- Choosing the module's icon -------------------------------------------------

// The bytes of a name's resource in the language the module prefers, else
// the first language that is in the file.
std::optional<std::span<const std::uint8_t>> LeafBytes(const ResourceModule& module, const ResourceNameNode& node,
                                                       std::uint16_t type) {
    if (!node.name.named) return module.Find(type, node.name.id);
    for (const ResourceLeaf& leaf : node.languages)
        if (leaf.language == module.Language() && leaf.bytes) return leaf.bytes;
    for (const ResourceLeaf& leaf : node.languages)
        if (leaf.bytes) return leaf.bytes;
    return std::nullopt;
}

// Tries icon images in order and keeps the first error for the caller.
class IconSearch {
public:
    explicit IconSearch(const ResourceModule& module) : m_module(module) {}

    std::optional<IconImage> Try(std::uint16_t id) {
        auto bytes = m_module.Find(kTypeIcon, id);
        if (!bytes) return std::nullopt;
        Result<IconImage> image = DecodeIconImage(*bytes);
        if (image) return std::move(image).Value();
        if (!m_firstError) m_firstError = image.GetError();
        return std::nullopt;
    }

    Error Failure() const {
        if (m_firstError) return *m_firstError;
        return MakeError(Error::Code::NotFound, "the module has no icon");
    }

private:
    const ResourceModule& m_module;
    std::optional<Error> m_firstError;
};

} // namespace

Result<IconImage> DecodeIconImage(std::span<const std::uint8_t> bytes) {
    return IsPng(bytes) ? PassPng(bytes) : DecodeDib(bytes);
}

std::vector<std::uint16_t> PreferredIconIds(std::span<const std::uint8_t> group, int maxSize) {
    std::vector<GroupEntry> entries = ReadGroupEntries(group);
    std::stable_sort(entries.begin(), entries.end(), [maxSize](const GroupEntry& a, const GroupEntry& b) {
        bool aFits = a.side <= maxSize;
        bool bFits = b.side <= maxSize;
        if (aFits != bFits) return aFits;
        if (a.side != b.side) return aFits ? a.side > b.side : a.side < b.side;
        return a.bits > b.bits;
    });
    std::vector<std::uint16_t> ids;
    ids.reserve(entries.size());
    for (const GroupEntry& entry : entries) ids.push_back(entry.id);
    return ids;
}

Result<IconImage> LoadModuleIcon(const ResourceModule& module, int maxSize) {
    IconSearch search(module);
    // The desktop shows the first icon group as the module's own; later
    // groups serve the module's windows and stand in when it is damaged.
    if (const ResourceTypeNode* groups = module.Tree().FindType(ResourceId::Integer(kTypeGroupIcon)))
        for (const ResourceNameNode& node : groups->names)
            if (auto bytes = LeafBytes(module, node, kTypeGroupIcon))
                for (std::uint16_t id : PreferredIconIds(*bytes, maxSize))
                    if (auto image = search.Try(id)) return std::move(*image);
    // A module with icon images but no group (rare, hand-made) still has one.
    for (const ResourceId& name : module.EnumerateNames(kTypeIcon))
        if (!name.named)
            if (auto image = search.Try(name.id)) return std::move(*image);
    return search.Failure();
}

} // namespace quillon
