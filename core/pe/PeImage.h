#pragma once
// Headers and sections of a PE32 or PE32+ file, and the mapping from RVAs
// to file bytes. Every field is checked against the file's real size. A
// module opened from a file is mapped up to the end of its last section:
// the overlay after it (an installer's archive, a symbol table) is never
// read, and of the rest only the pages a reader touches.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/MappedFile.h"
#include "io/Result.h"

namespace quillon {

struct SectionHeader {
    std::array<char, 8> name{};
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t sizeOfRawData = 0;
    std::uint32_t pointerToRawData = 0;
    std::uint32_t characteristics = 0;

    std::string Name() const;
    bool Uninitialized() const { return (characteristics & 0x80) != 0 && (characteristics & 0x40) == 0; }
};

struct DataDirectory {
    std::uint32_t address = 0;
    std::uint32_t size = 0;
};

inline constexpr int kDirectoryResource = 2;
inline constexpr int kDirectoryCertificate = 4;

// A module's bytes held in memory, shared by everything that reads or
// rewrites it, so that they are held once, however many views of them a
// build needs.
using SharedBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

inline SharedBytes ShareBytes(std::vector<std::uint8_t> bytes) {
    return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

class PeImage {
public:
    static Result<PeImage> Parse(std::vector<std::uint8_t> file) { return Parse(ShareBytes(std::move(file))); }
    static Result<PeImage> Parse(SharedBytes file);
    // Reads `file` without owning it: the bytes must outlive the image.
    static Result<PeImage> ParseBorrowed(std::span<const std::uint8_t> file);
    // Maps the module at `path` (or `file`) as far as its headers and
    // sections reach; see above.
    static Result<PeImage> Open(const std::string& path);
    static Result<PeImage> Open(MappedFile file);

    bool Is64() const { return m_is64; }
    std::uint16_t Machine() const { return m_machine; }
    // The file's bytes from its start: all of them for an image parsed from
    // memory; for an opened file those up to Extent(), which hold the
    // headers and every section's data.
    std::span<const std::uint8_t> File() const { return m_file; }
    // The size of the whole file, overlay included.
    std::uint64_t FileSize() const { return m_fileSize; }
    // Whether the image keeps its bytes alive (it was not borrowed).
    bool HoldsBytes() const { return m_owner != nullptr; }
    // The file the image was opened from; null for one parsed from memory.
    const MappedFile* Source() const { return m_source.get(); }
    const std::vector<SectionHeader>& Sections() const { return m_sections; }
    DataDirectory Directory(int index) const;

    std::uint32_t OptionalHeaderOffset() const { return m_optionalHeaderOffset; }
    std::uint32_t SectionTableOffset() const { return m_sectionTableOffset; }
    std::uint32_t FileAlignment() const { return m_fileAlignment; }
    std::uint32_t SectionAlignment() const { return m_sectionAlignment; }

    // Index of the section whose memory range holds `rva`, if any.
    std::optional<std::size_t> SectionOfRva(std::uint32_t rva) const;
    // The file bytes behind [rva, rva + size), when all of them are backed by
    // one section's raw data inside the file.
    std::optional<std::span<const std::uint8_t>> BytesAtRva(std::uint32_t rva, std::uint32_t size) const;
    // All file-backed bytes of the section from `rva` to the section's end.
    std::optional<std::span<const std::uint8_t>> BytesFromRva(std::uint32_t rva) const;
    // The bytes from the file's start that hold the headers, the section
    // table with room for one more header, and the data of every section.
    std::uint64_t Extent() const;

    const std::vector<std::string>& Diagnostics() const { return m_diagnostics; }

private:
    // File-backed extent of a section: offset and length clipped to the file.
    struct RawExtent {
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };
    static Result<PeImage> ParseView(std::span<const std::uint8_t> view, std::uint64_t fileSize);
    RawExtent RawExtentOf(const SectionHeader& section) const;
    std::uint64_t MappedSize(std::size_t index) const;

    std::shared_ptr<const void> m_owner; // of m_file's bytes; null when borrowed
    std::shared_ptr<const MappedFile> m_source;
    std::span<const std::uint8_t> m_file; // into *m_owner, or borrowed
    std::uint64_t m_fileSize = 0;
    bool m_is64 = false;
    std::uint16_t m_machine = 0;
    std::uint32_t m_optionalHeaderOffset = 0;
    std::uint32_t m_sectionTableOffset = 0;
    std::uint32_t m_fileAlignment = 0;
    std::uint32_t m_sectionAlignment = 0;
    std::vector<DataDirectory> m_directories;
    std::vector<SectionHeader> m_sections;
    std::vector<std::string> m_diagnostics;
};

} // namespace quillon
