#include "pe/PeImage.h"

#include <algorithm>

#include "io/ByteReader.h"

namespace quillon {

namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kMaxSections = 96;
constexpr std::uint32_t kSectionHeaderSize = 40;

Error NotModule(const std::string& why, std::uint64_t offset = 0) {
    return MakeError(Error::Code::NotModule, "not a Windows module: " + why, offset);
}

} // namespace

std::string SectionHeader::Name() const {
    std::string out;
    for (char c : name) {
        if (c == '\0') break;
        out.push_back(c);
    }
    return out;
}

Result<PeImage> PeImage::Parse(SharedBytes file) {
    if (!file) file = ShareBytes({});
    std::span<const std::uint8_t> bytes = *file;
    auto image = ParseBorrowed(bytes);
    if (image) image.Value().m_owner = std::move(file);
    return image;
}

Result<PeImage> PeImage::ParseBorrowed(std::span<const std::uint8_t> bytes) { return ParseView(bytes, bytes.size()); }

Result<PeImage> PeImage::Open(const std::string& path) {
    auto file = MappedFile::Open(path);
    if (!file) return file.GetError();
    return Open(std::move(file).Value());
}

// The headers first: from the DOS header's pointer to the signature, the
// COFF and optional headers and the section table take at most
// kMaxHeaderSpan bytes. Then the file up to where the sections end.
Result<PeImage> PeImage::Open(MappedFile file) {
    constexpr std::uint64_t kMaxHeaderSpan = 4 + 20 + 0xFFFF + kMaxSections * kSectionHeaderSize;
    auto dos = file.ReadAt(0, 0x40);
    if (!dos) return dos.GetError();
    std::uint64_t headers = ByteReader::U32At(dos.Value(), 0x3C).value_or(0) + kMaxHeaderSpan;
    if (Status viewed = file.View(headers); !viewed) return viewed.GetError();
    auto probe = ParseView(file.Bytes(), file.Size());
    if (!probe) return probe;
    if (Status viewed = file.View(probe.Value().Extent()); !viewed) return viewed.GetError();
    auto image = ParseView(file.Bytes(), file.Size());
    if (!image) return image;
    PeImage& opened = image.Value();
    auto source = std::make_shared<const MappedFile>(std::move(file));
    // Every resource is read while scanning: ask for them in one go.
    if (auto index = opened.SectionOfRva(opened.Directory(kDirectoryResource).address)) {
        RawExtent raw = opened.RawExtentOf(opened.m_sections[*index]);
        source->WillNeed(raw.offset, raw.length);
    }
    opened.m_source = source;
    opened.m_owner = std::move(source);
    return image;
}

std::uint64_t PeImage::Extent() const {
    std::uint64_t end = std::uint64_t{m_sectionTableOffset} + (m_sections.size() + 1) * kSectionHeaderSize;
    for (const SectionHeader& section : m_sections) {
        RawExtent raw = RawExtentOf(section);
        if (raw.length) end = std::max(end, raw.offset + raw.length);
    }
    return std::min(end, m_fileSize);
}

Result<PeImage> PeImage::ParseView(std::span<const std::uint8_t> bytes, std::uint64_t fileSize) {
    PeImage image;
    image.m_file = bytes;
    image.m_fileSize = fileSize;

    // DOS header: "MZ", and at 0x3C the offset of the "PE\0\0" signature.
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return NotModule("no MZ header");
    std::uint64_t peOffset = *ByteReader::U32At(bytes, 0x3C);
    auto signature = ByteReader::U32At(bytes, peOffset);
    if (!signature || *signature != 0x00004550) return NotModule("no PE signature", peOffset);

    // COFF header (20 bytes) after the signature.
    std::uint64_t coff = peOffset + 4;
    auto machine = ByteReader::U16At(bytes, coff);
    auto sectionCount = ByteReader::U16At(bytes, coff + 2);
    auto optionalSize = ByteReader::U16At(bytes, coff + 16);
    if (!machine || !sectionCount || !optionalSize) return NotModule("truncated COFF header", coff);
    image.m_machine = *machine;

    std::uint64_t optional = coff + 20;
    auto magic = ByteReader::U16At(bytes, optional);
    if (!magic || (*magic != kMagicPe32 && *magic != kMagicPe32Plus))
        return NotModule("unknown optional header magic", optional);
    image.m_is64 = *magic == kMagicPe32Plus;
    std::uint64_t directoryStart = image.m_is64 ? 112 : 96;
    std::uint64_t countField = image.m_is64 ? 108 : 92;
    if (*optionalSize < directoryStart || optional + *optionalSize > bytes.size())
        return NotModule("optional header too short", optional);
    image.m_optionalHeaderOffset = static_cast<std::uint32_t>(optional);
    image.m_sectionAlignment = *ByteReader::U32At(bytes, optional + 32);
    image.m_fileAlignment = *ByteReader::U32At(bytes, optional + 36);

    // Only directories that the header declares and that fit in it exist.
    std::uint64_t declared = std::min<std::uint64_t>(*ByteReader::U32At(bytes, optional + countField), 16);
    std::uint64_t fitting = (*optionalSize - directoryStart) / 8;
    for (std::uint64_t i = 0; i < std::min(declared, fitting); ++i) {
        std::uint64_t at = optional + directoryStart + 8 * i;
        image.m_directories.push_back({*ByteReader::U32At(bytes, at), *ByteReader::U32At(bytes, at + 4)});
    }

    std::uint64_t table = optional + *optionalSize;
    if (*sectionCount > kMaxSections) return NotModule("too many sections", coff + 2);
    if (table + std::uint64_t{*sectionCount} * kSectionHeaderSize > bytes.size())
        return NotModule("section table runs past the end of the file", table);
    image.m_sectionTableOffset = static_cast<std::uint32_t>(table);
    for (std::uint32_t i = 0; i < *sectionCount; ++i) {
        std::uint64_t at = table + i * kSectionHeaderSize;
        SectionHeader section;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), 8, section.name.begin());
        section.virtualSize = *ByteReader::U32At(bytes, at + 8);
        section.virtualAddress = *ByteReader::U32At(bytes, at + 12);
        section.sizeOfRawData = *ByteReader::U32At(bytes, at + 16);
        section.pointerToRawData = *ByteReader::U32At(bytes, at + 20);
        section.characteristics = *ByteReader::U32At(bytes, at + 36);
        image.m_sections.push_back(section);
        RawExtent raw = image.RawExtentOf(section);
        if (!section.Uninitialized() && raw.length < section.sizeOfRawData)
            image.m_diagnostics.push_back("section " + section.Name() + " is cut short by the end of the file");
    }
    return image;
}

DataDirectory PeImage::Directory(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_directories.size()) return {};
    return m_directories[static_cast<std::size_t>(index)];
}

PeImage::RawExtent PeImage::RawExtentOf(const SectionHeader& section) const {
    if (section.Uninitialized() || section.sizeOfRawData == 0) return {};
    // The loader reads raw data from the pointer rounded down to 512 bytes.
    std::uint64_t offset = section.pointerToRawData & ~std::uint64_t{0x1FF};
    std::uint64_t length = section.sizeOfRawData;
    if (offset >= m_fileSize) return {};
    length = std::min<std::uint64_t>(length, m_fileSize - offset);
    return {offset, length};
}

// Bytes of a section that are mapped from the file: limited by its virtual
// size (when given) and by the start of the next section.
std::uint64_t PeImage::MappedSize(std::size_t index) const {
    const SectionHeader& section = m_sections[index];
    std::uint64_t size = RawExtentOf(section).length;
    if (section.virtualSize != 0) size = std::min<std::uint64_t>(size, section.virtualSize);
    for (const SectionHeader& other : m_sections)
        if (other.virtualAddress > section.virtualAddress)
            size = std::min<std::uint64_t>(size, other.virtualAddress - section.virtualAddress);
    return size;
}

std::optional<std::size_t> PeImage::SectionOfRva(std::uint32_t rva) const {
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        const SectionHeader& section = m_sections[i];
        std::uint64_t extent = std::max<std::uint64_t>(section.virtualSize, section.sizeOfRawData);
        if (rva >= section.virtualAddress && rva < section.virtualAddress + extent) return i;
    }
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>> PeImage::BytesFromRva(std::uint32_t rva) const {
    auto index = SectionOfRva(rva);
    if (!index) return std::nullopt;
    std::uint64_t delta = rva - m_sections[*index].virtualAddress;
    std::uint64_t mapped = MappedSize(*index);
    if (delta >= mapped) return std::nullopt;
    RawExtent raw = RawExtentOf(m_sections[*index]);
    std::uint64_t start = raw.offset + delta;
    if (start >= m_file.size()) return std::nullopt;
    std::uint64_t length = std::min<std::uint64_t>(mapped - delta, m_file.size() - start);
    return m_file.subspan(start, length);
}

std::optional<std::span<const std::uint8_t>> PeImage::BytesAtRva(std::uint32_t rva, std::uint32_t size) const {
    // An empty resource needs no bytes, wherever it points.
    if (size == 0) return std::span<const std::uint8_t>();
    auto from = BytesFromRva(rva);
    if (!from || from->size() < size) return std::nullopt;
    return from->first(size);
}

} // namespace quillon
