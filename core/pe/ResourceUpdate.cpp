#include "pe/ResourceUpdate.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <unordered_map>
#include <unistd.h>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/FileIo.h"
#include "io/MappedFile.h"
#include "io/RunBeside.h"

namespace quillon {

namespace {

constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kPage = 0x1000;
constexpr std::uint32_t kResourceCharacteristics = 0x40000040; // initialized data, readable
constexpr std::uint32_t kExecutable = 0x20000000;
constexpr std::uint32_t kCode = 0x20;
constexpr std::uint32_t kInitializedData = 0x40;

// A rewritten module may be at most this many times the size of the module
// plus kNewTextAllowance. Shared data stays shared, so a real module grows by
// little more than its new texts; a directory that would still blow up
// (entries overlapping each other in ways a rebuilt directory cannot keep)
// is refused before a file of that size is made.
constexpr std::uint64_t kMaxGrowthFactor = 4;
// Room for translations longer than the texts they replace, ample even for a
// small module whose every text is translated.
constexpr std::uint64_t kNewTextAllowance = std::uint64_t{64} << 20;

// Resource data of at least this size is copied from the module's file to
// the target's rather than through memory.
constexpr std::size_t kCopiedRun = 64 * 1024;

std::uint32_t Get32(std::span<const std::uint8_t> bytes, std::uint64_t at) { return ByteReader::U32At(bytes, at).value_or(0); }

EditTree ToEditTree(const ResourceTree& tree) {
    EditTree edit;
    edit.header = tree.header;
    for (const ResourceTypeNode& type : tree.types) {
        EditType t{type.type, type.header, {}};
        for (const ResourceNameNode& name : type.names) {
            EditName n{name.name, name.header, {}};
            for (const ResourceLeaf& leaf : name.languages) {
                EditLeaf l;
                l.language = leaf.language;
                l.codePage = leaf.codePage;
                l.languageHigh = leaf.languageHigh;
                l.readable = leaf.bytes.has_value();
                if (leaf.bytes) l.data = *leaf.bytes;
                n.leaves.push_back(std::move(l));
            }
            t.names.push_back(std::move(n));
        }
        edit.types.push_back(std::move(t));
    }
    return edit;
}

Error Refuse(const std::string& why) { return MakeError(Error::Code::Unsupported, "cannot rewrite the module: " + why); }

// Where the headers of the image live, and the facts the layout depends on.
struct Layout {
    const PeImage& image;
    std::uint64_t optional = 0;
    std::uint64_t directories = 0;
    std::uint32_t directoryCount = 0;
    std::uint64_t rawEnd = 0;     // end of the last section's raw data
    std::uint64_t firstRaw = 0;   // start of the first section's raw data
    std::uint32_t sizeOfHeaders = 0;
    std::uint64_t checksumOffset = 0;

    explicit Layout(const PeImage& pe) : image(pe) {
        std::span<const std::uint8_t> file = pe.File();
        optional = pe.OptionalHeaderOffset();
        directories = optional + (pe.Is64() ? 112 : 96);
        directoryCount = std::min<std::uint32_t>(Get32(file, optional + (pe.Is64() ? 108 : 92)), 16);
        sizeOfHeaders = Get32(file, optional + 60);
        checksumOffset = optional + 64;
        firstRaw = pe.FileSize();
        for (const SectionHeader& s : pe.Sections()) {
            if (s.Uninitialized() || s.sizeOfRawData == 0) continue;
            rawEnd = std::max<std::uint64_t>(rawEnd, std::uint64_t{s.pointerToRawData} + s.sizeOfRawData);
            firstRaw = std::min<std::uint64_t>(firstRaw, s.pointerToRawData);
        }
    }
    std::uint64_t DirectoryOffset(int index) const { return directories + 8ull * static_cast<std::uint64_t>(index); }
};

// The section that holds the resource directory, when it holds nothing else.
std::optional<std::size_t> DedicatedResourceSection(const PeImage& image) {
    DataDirectory resources = image.Directory(kDirectoryResource);
    if (resources.address == 0) return std::nullopt;
    auto index = image.SectionOfRva(resources.address);
    if (!index) return std::nullopt;
    const SectionHeader& section = image.Sections()[*index];
    if (section.virtualAddress != resources.address) return std::nullopt;
    // A section marked as holding no file data has no room in the file to
    // rewrite; the resources then go to a new section.
    if (section.Uninitialized()) return std::nullopt;
    if (section.characteristics & (kExecutable | kCode)) return std::nullopt;
    for (int d = 0; d < 16; ++d) {
        if (d == kDirectoryResource || d == kDirectoryCertificate) continue;
        DataDirectory other = image.Directory(d);
        if (other.address != 0 && image.SectionOfRva(other.address) == index) return std::nullopt;
    }
    return index;
}

} // namespace

// 16-bit little-endian words (a last odd byte on its own) summed with the
// carries folded back in: each byte adds itself, shifted by 8 at an odd
// offset. Folding once at the end gives the same value as folding after
// every word: both keep the sum's residue modulo 0xFFFF, and neither turns
// a non-zero sum into zero. Since 2^16 is 1 modulo 0xFFFF, a 32-bit word
// adds the same residue as its two halves: eight bytes are two additions.
// The chains are folded into the sum every 1 GiB and the sum back to 33 bits
// at the end of each call, so neither can overflow.
void PeChecksumSum::AddBytes(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kFoldEvery = std::size_t{1} << 30;
    std::size_t i = 0;
    if (offset & 1 && !bytes.empty()) m_sum += std::uint64_t{bytes[i++]} << 8;
    if constexpr (std::endian::native == std::endian::little) {
        while (i + 16 <= bytes.size()) {
            std::uint64_t even = 0, odd = 0; // two chains the processor can add side by side
            for (std::size_t stop = std::min(bytes.size(), i + kFoldEvery); i + 16 <= stop; i += 16) {
                std::uint64_t words[2];
                std::memcpy(words, bytes.data() + i, 16);
                even += (words[0] & 0xFFFFFFFF) + (words[0] >> 32);
                odd += (words[1] & 0xFFFFFFFF) + (words[1] >> 32);
            }
            m_sum += (even & 0xFFFFFFFF) + (even >> 32) + (odd & 0xFFFFFFFF) + (odd >> 32);
        }
    }
    for (; i + 2 <= bytes.size(); i += 2) m_sum += bytes[i] | (std::uint32_t{bytes[i + 1]} << 8);
    if (i < bytes.size()) m_sum += bytes[i];
    m_sum = (m_sum & 0xFFFFFFFF) + (m_sum >> 32);
}

// The checksum field itself counts as zero (it may sit at an odd offset):
// the bytes on either side of it are added, it is not.
void PeChecksumSum::Add(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    std::uint64_t end = offset + bytes.size();
    std::uint64_t fieldStart = std::clamp(m_field, offset, end), fieldEnd = std::clamp(m_field + 4, offset, end);
    AddBytes(offset, bytes.first(static_cast<std::size_t>(fieldStart - offset)));
    AddBytes(fieldEnd, bytes.subspan(static_cast<std::size_t>(fieldEnd - offset)));
}

std::uint32_t PeChecksumSum::Finish(std::uint64_t fileSize) const {
    std::uint64_t sum = m_sum;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum) + static_cast<std::uint32_t>(fileSize);
}

std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::uint32_t checksumOffset) {
    PeChecksumSum sum(checksumOffset);
    sum.Add(0, file);
    return sum.Finish(file.size());
}

Result<ResourceUpdate> ResourceUpdate::Begin(SharedBytes file) {
    auto image = PeImage::Parse(std::move(file));
    if (!image) return image.GetError();
    std::vector<std::string> diagnostics;
    ResourceTree tree = ReadResourceDirectory(image.Value(), diagnostics);
    return Begin(image.Value(), tree);
}

Result<ResourceUpdate> ResourceUpdate::Begin(const PeImage& image, const ResourceTree& tree) {
    // The tree's bytes live in the image's file, which the update keeps.
    if (!image.HoldsBytes()) return MakeError(Error::Code::Unsupported, "the module's bytes are not held");
    ResourceUpdate update(image);
    update.m_tree = ToEditTree(tree);
    // A table out of order would hide resources from the loader's binary
    // search; the rebuilt directory is always in order.
    update.m_tree.Sort();
    return update;
}

namespace {

// Builds the new file for one placement of the resource blob.
class Rewriter {
public:
    Rewriter(const PeImage& image, const EditTree& tree, std::vector<std::string>& warnings)
        : m_image(image), m_layout(image), m_tree(tree), m_warnings(warnings) {}

    // Where the checksum field lies; the same in the old and the new file.
    std::uint64_t ChecksumOffset() const { return m_layout.checksumOffset; }

    Result<PieceImage> Run() {
        if (auto refused = CheckWritable()) return *refused;
        std::size_t blobSize = SerializedResourcesSize(m_tree);
        if (auto refused = CheckGrowth(blobSize)) return *refused;
        auto dedicated = DedicatedResourceSection(m_image);
        if (dedicated && FitsInPlace(*dedicated, blobSize)) return InPlace(*dedicated, blobSize);
        if (dedicated && IsLast(*dedicated)) return GrowLast(*dedicated, blobSize);
        return NewSection(dedicated, blobSize);
    }

private:
    std::optional<Error> CheckWritable() {
        if (m_layout.directoryCount <= kDirectoryResource ||
            m_layout.DirectoryOffset(kDirectoryResource) + 8 > m_image.SectionTableOffset())
            return Refuse("the module's header has no entry for resources");
        if (m_layout.rawEnd > m_image.FileSize()) return Refuse("a section runs past the end of the file");
        std::uint32_t fa = m_image.FileAlignment(), sa = m_image.SectionAlignment();
        if (fa == 0 || (fa & (fa - 1)) || sa == 0 || (sa & (sa - 1)) || sa < fa)
            return Refuse("the section alignment fields are invalid");
        for (const SectionHeader& s : m_image.Sections())
            if (!s.Uninitialized() && s.sizeOfRawData && s.pointerToRawData % fa)
                return Refuse("section " + s.Name() + " is not aligned in the file");
        for (const EditType& type : m_tree.types)
            for (const EditName& name : type.names)
                for (const EditLeaf& leaf : name.leaves)
                    if (!leaf.readable)
                        return Refuse("resource " + type.type.ToString() + "/" + name.name.ToString() +
                                      " is not in the file (a packed module? unpack it first)");
        return std::nullopt;
    }

    // The new file holds at most the old one and the new resources (each
    // placement keeps or drops the old section's bytes, never doubles them).
    std::optional<Error> CheckGrowth(std::size_t blobSize) const {
        std::uint64_t input = m_image.FileSize();
        std::uint64_t limit = std::min<std::uint64_t>(kMaxGrowthFactor * input + kNewTextAllowance, UINT32_MAX);
        std::uint64_t output = input + AlignUp(blobSize, m_image.FileAlignment());
        if (output <= limit) return std::nullopt;
        return Refuse("the rebuilt module would take up to " + std::to_string(output) + " bytes, more than " +
                      std::to_string(kMaxGrowthFactor) + " times the module's " + std::to_string(input) +
                      " bytes plus " + std::to_string(kNewTextAllowance >> 20) + " MiB");
    }

    bool IsLast(std::size_t index) const {
        const SectionHeader& section = m_image.Sections()[index];
        for (const SectionHeader& other : m_image.Sections()) {
            if (&other == &section) continue;
            if (other.virtualAddress > section.virtualAddress) return false;
            if (!other.Uninitialized() && other.sizeOfRawData && other.pointerToRawData > section.pointerToRawData)
                return false;
        }
        return std::uint64_t{section.pointerToRawData} + section.sizeOfRawData == m_layout.rawEnd;
    }

    std::uint64_t RoomInMemory(std::size_t index) const {
        const SectionHeader& section = m_image.Sections()[index];
        std::uint64_t room = UINT32_MAX;
        for (const SectionHeader& other : m_image.Sections())
            if (other.virtualAddress > section.virtualAddress)
                room = std::min<std::uint64_t>(room, other.virtualAddress - section.virtualAddress);
        return room;
    }

    bool FitsInPlace(std::size_t index, std::size_t blobSize) const {
        const SectionHeader& section = m_image.Sections()[index];
        return blobSize <= section.sizeOfRawData && blobSize <= RoomInMemory(index);
    }

    // The bytes after the last section (overlay, symbol table) without a
    // signature, which no longer matches a changed module: two ranges of
    // the old file, [beforeStart, beforeEnd) and [afterStart, afterEnd).
    struct Tail {
        std::uint64_t beforeStart = 0, beforeEnd = 0; // up to the certificate, or all of it
        std::uint64_t afterStart = 0, afterEnd = 0;
        bool certificateDropped = false;
        std::uint64_t certificateStart = 0;
        std::uint64_t certificateSize = 0;

        std::uint64_t Size() const { return (beforeEnd - beforeStart) + (afterEnd - afterStart); }
        void AppendTo(PieceImage& out) const {
            out.Copy(beforeStart, beforeEnd - beforeStart);
            out.Copy(afterStart, afterEnd - afterStart);
        }
    };
    Tail TakeTail() {
        Tail tail;
        DataDirectory certificate = m_image.Directory(kDirectoryCertificate);
        std::uint64_t start = m_layout.rawEnd, end = m_image.FileSize();
        if (certificate.size != 0) {
            tail.certificateDropped = true;
            m_warnings.push_back("the module's signature was removed: it does not match the translated module");
            if (certificate.address >= start && std::uint64_t{certificate.address} + certificate.size <= end) {
                tail.certificateStart = certificate.address;
                tail.certificateSize = certificate.size;
            }
        }
        tail.beforeStart = start;
        tail.beforeEnd = tail.certificateSize ? tail.certificateStart : end;
        tail.afterStart = tail.afterEnd = end;
        if (tail.certificateSize) tail.afterStart = tail.certificateStart + tail.certificateSize;
        return tail;
    }

    // The new file: the old one up to `keep`, zeros up to `newRawEnd`, the
    // resources for `rva` written over the `room` bytes at `blobAt`, then
    // the tail. Only the resources are made in memory; the rest are ranges
    // of the old file and runs of zeros.
    Result<PieceImage> Assemble(std::uint64_t keep, std::uint64_t newRawEnd, std::uint64_t blobAt,
                                std::uint64_t room, std::uint32_t rva, const Tail& tail) {
        if (keep > m_image.FileSize() || blobAt + room > newRawEnd)
            return Refuse("the resource section does not lie where its header says");
        LaidOutResources resources = LayOutResources(m_tree, rva);
        if (resources.size > room) return Refuse("the resources do not fit the room planned for them");
        PieceImage out(m_image);
        out.Copy(0, std::min(keep, blobAt));
        if (blobAt > keep) out.Zeros(blobAt - keep);
        std::size_t size = resources.size;
        PlaceResources(std::move(resources), out);
        out.Zeros(room - size);
        std::uint64_t after = blobAt + room;
        if (after < keep) out.Copy(after, keep - after);
        if (std::max(after, keep) < newRawEnd) out.Zeros(newRawEnd - std::max(after, keep));
        tail.AppendTo(out);
        return out;
    }

    // The directory and the data runs as pieces: a large run that lies in
    // the module is copied from its file; small ones, and data made in
    // memory, are gathered with the zeros between them into memory pieces.
    void PlaceResources(LaidOutResources resources, PieceImage& out) const {
        std::span<const std::uint8_t> file = m_image.File();
        auto inFile = [&](std::span<const std::uint8_t> bytes) {
            auto begin = reinterpret_cast<std::uintptr_t>(bytes.data());
            auto fileBegin = reinterpret_cast<std::uintptr_t>(file.data());
            return begin >= fileBegin && begin - fileBegin <= file.size() && bytes.size() <= file.size() - (begin - fileBegin);
        };
        std::vector<std::uint8_t> gathered = std::move(resources.directory);
        std::size_t end = gathered.size();
        for (const LaidOutResources::Run& run : resources.runs) {
            if (run.bytes.size() >= kCopiedRun && inFile(run.bytes)) {
                out.Append(std::exchange(gathered, {}));
                out.Zeros(run.offset - end);
                out.Copy(static_cast<std::uint64_t>(run.bytes.data() - file.data()), run.bytes.size());
            } else {
                gathered.resize(gathered.size() + (run.offset - end), 0);
                gathered.insert(gathered.end(), run.bytes.begin(), run.bytes.end());
            }
            end = run.offset + run.bytes.size();
        }
        out.Append(std::move(gathered));
        out.Zeros(resources.size - end);
    }

    // New file offset of a file offset in the old tail.
    std::uint64_t MapTailOffset(std::uint64_t old, std::uint64_t newRawEnd, const Tail& tail) const {
        std::uint64_t moved = old - m_layout.rawEnd;
        if (tail.certificateSize && old >= tail.certificateStart + tail.certificateSize) moved -= tail.certificateSize;
        return newRawEnd + moved;
    }

    void FixTailPointers(PieceImage& out, std::uint64_t newRawEnd, const Tail& tail) {
        std::span<const std::uint8_t> file = m_image.File();
        std::uint64_t coff = m_image.OptionalHeaderOffset() - 20;
        std::uint32_t symbols = Get32(file, coff + 8);
        if (symbols != 0 && symbols >= m_layout.rawEnd)
            out.StoreU32(coff + 8, static_cast<std::uint32_t>(MapTailOffset(symbols, newRawEnd, tail)));
        // Debug directory entries: 28 bytes each, the file offset of the data at +24.
        DataDirectory debug = m_image.Directory(6);
        auto entries = debug.address ? m_image.BytesAtRva(debug.address, debug.size) : std::nullopt;
        if (entries) {
            std::uint64_t base = static_cast<std::uint64_t>(entries->data() - file.data());
            for (std::uint64_t at = 0; at + 28 <= entries->size(); at += 28) {
                std::uint32_t pointer = Get32(file, base + at + 24);
                if (pointer >= m_layout.rawEnd)
                    out.StoreU32(base + at + 24, static_cast<std::uint32_t>(MapTailOffset(pointer, newRawEnd, tail)));
            }
        }
        if (tail.certificateDropped) {
            out.StoreU32(m_layout.DirectoryOffset(kDirectoryCertificate), 0);
            out.StoreU32(m_layout.DirectoryOffset(kDirectoryCertificate) + 4, 0);
        }
        if (tail.Size() != 0 && newRawEnd != m_layout.rawEnd)
            m_warnings.push_back("data after the last section (" + std::to_string(tail.Size()) +
                                 " bytes) moved with the grown resources");
    }

    void WriteSectionHeader(PieceImage& out, std::size_t index, const SectionHeader& section) {
        std::uint64_t at = m_image.SectionTableOffset() + index * kSectionHeaderSize;
        out.Store(at, std::span(reinterpret_cast<const std::uint8_t*>(section.name.data()), section.name.size()));
        out.StoreU32(at + 8, section.virtualSize);
        out.StoreU32(at + 12, section.virtualAddress);
        out.StoreU32(at + 16, section.sizeOfRawData);
        out.StoreU32(at + 20, section.pointerToRawData);
        out.StoreU32(at + 36, section.characteristics);
    }

    void FinishHeaders(PieceImage& out, const std::vector<SectionHeader>& sections, std::uint32_t rva,
                       std::uint32_t blobSize, std::int64_t initializedDelta) {
        out.StoreU32(m_layout.DirectoryOffset(kDirectoryResource), rva);
        out.StoreU32(m_layout.DirectoryOffset(kDirectoryResource) + 4, blobSize);
        std::uint64_t end = 0;
        for (const SectionHeader& s : sections)
            end = std::max<std::uint64_t>(end, std::uint64_t{s.virtualAddress} + (s.virtualSize ? s.virtualSize : s.sizeOfRawData));
        out.StoreU32(m_layout.optional + 56, static_cast<std::uint32_t>(AlignUp(end, m_image.SectionAlignment())));
        std::int64_t initialized = out.Get32(m_layout.optional + 8);
        out.StoreU32(m_layout.optional + 8, static_cast<std::uint32_t>(std::max<std::int64_t>(0, initialized + initializedDelta)));
        // The checksum comes last, in Commit.
    }

    // The resources fit where they are: the rest of the section is zeroed and
    // nothing else moves.
    Result<PieceImage> InPlace(std::size_t index, std::size_t blobSize) {
        SectionHeader section = m_image.Sections()[index];
        Tail tail = TakeTail();
        auto out = Assemble(m_layout.rawEnd, m_layout.rawEnd, section.pointerToRawData, section.sizeOfRawData,
                            section.virtualAddress, tail);
        if (!out) return out;
        FixTailPointers(out.Value(), m_layout.rawEnd, tail);
        std::vector<SectionHeader> sections = m_image.Sections();
        sections[index].virtualSize = static_cast<std::uint32_t>(blobSize);
        WriteSectionHeader(out.Value(), index, sections[index]);
        FinishHeaders(out.Value(), sections, section.virtualAddress, static_cast<std::uint32_t>(blobSize), 0);
        return out;
    }

    // The resource section is the last one: it grows or shrinks, and what
    // follows it in the file moves along.
    Result<PieceImage> GrowLast(std::size_t index, std::size_t blobSize) {
        SectionHeader section = m_image.Sections()[index];
        std::uint32_t rawSize = static_cast<std::uint32_t>(AlignUp(blobSize, m_image.FileAlignment()));
        Tail tail = TakeTail();
        std::uint64_t newRawEnd = section.pointerToRawData + std::uint64_t{rawSize};
        auto out = Assemble(section.pointerToRawData, newRawEnd, section.pointerToRawData, rawSize,
                            section.virtualAddress, tail);
        if (!out) return out;
        FixTailPointers(out.Value(), newRawEnd, tail);
        std::vector<SectionHeader> sections = m_image.Sections();
        std::int64_t delta = static_cast<std::int64_t>(rawSize) - section.sizeOfRawData;
        sections[index].virtualSize = static_cast<std::uint32_t>(blobSize);
        sections[index].sizeOfRawData = rawSize;
        WriteSectionHeader(out.Value(), index, sections[index]);
        FinishHeaders(out.Value(), sections, section.virtualAddress, static_cast<std::uint32_t>(blobSize),
                      (section.characteristics & kInitializedData) ? delta : 0);
        return out;
    }

    // Otherwise a new resource section goes after every other one; the old
    // section stays as it was (its RVAs may be referenced) under another name.
    Result<PieceImage> NewSection(std::optional<std::size_t> old, std::size_t blobSize) {
        std::span<const std::uint8_t> file = m_image.File();
        if (m_image.SectionAlignment() < kPage)
            return Refuse("the resources do not fit in place and the module's alignment allows no new section");
        std::uint64_t headerEnd = m_image.SectionTableOffset() + (m_image.Sections().size() + 1) * kSectionHeaderSize;
        if (headerEnd > m_layout.sizeOfHeaders || headerEnd > m_layout.firstRaw)
            return Refuse("there is no room for another section header");
        for (std::uint64_t at = headerEnd - kSectionHeaderSize; at < headerEnd; ++at)
            if (at >= file.size() || file[at] != 0) return Refuse("the room after the section table is in use");

        std::uint64_t vaEnd = 0;
        for (const SectionHeader& s : m_image.Sections())
            vaEnd = std::max<std::uint64_t>(vaEnd, std::uint64_t{s.virtualAddress} + std::max(s.virtualSize, s.sizeOfRawData));
        SectionHeader fresh;
        std::memcpy(fresh.name.data(), ".rsrc\0\0\0", 8);
        fresh.virtualAddress = static_cast<std::uint32_t>(AlignUp(vaEnd, m_image.SectionAlignment()));
        fresh.virtualSize = static_cast<std::uint32_t>(blobSize);
        fresh.sizeOfRawData = static_cast<std::uint32_t>(AlignUp(blobSize, m_image.FileAlignment()));
        fresh.pointerToRawData = static_cast<std::uint32_t>(AlignUp(m_layout.rawEnd, m_image.FileAlignment()));
        fresh.characteristics = kResourceCharacteristics;

        Tail tail = TakeTail();
        std::uint64_t newRawEnd = std::uint64_t{fresh.pointerToRawData} + fresh.sizeOfRawData;
        auto built = Assemble(m_layout.rawEnd, newRawEnd, fresh.pointerToRawData, fresh.sizeOfRawData,
                              fresh.virtualAddress, tail);
        if (!built) return built;
        PieceImage& out = built.Value();
        FixTailPointers(out, newRawEnd, tail);

        std::vector<SectionHeader> sections = m_image.Sections();
        if (old && sections[*old].Name() == ".rsrc") {
            std::memcpy(sections[*old].name.data(), ".rsrc0\0\0", 8);
            WriteSectionHeader(out, *old, sections[*old]);
        }
        sections.push_back(fresh);
        WriteSectionHeader(out, sections.size() - 1, fresh);
        out.StoreU16(m_image.OptionalHeaderOffset() - 20 + 2, static_cast<std::uint16_t>(sections.size()));
        FinishHeaders(out, sections, fresh.virtualAddress, static_cast<std::uint32_t>(blobSize), fresh.sizeOfRawData);
        return built;
    }

    const PeImage& m_image;
    Layout m_layout;
    const EditTree& m_tree;
    std::vector<std::string>& m_warnings;
};

// Whether read-back IDs equal the model's. A name is compared unit by unit
// once per string of the model; after that, the reader's string for it is
// known (the written directory holds each name once, so the reader shares it).
class IdMatcher {
public:
    bool Same(const ResourceId& read, const ResourceId& expected) {
        if (!read.named || !expected.named) return read == expected;
        auto [known, added] = m_readFor.emplace(expected.name.Identity(), read.name.Identity());
        if (!added) return known->second == read.name.Identity();
        return read.name == expected.name;
    }

private:
    std::unordered_map<const void*, const void*> m_readFor;
};

// The written module must read back with exactly the resources of the
// model, in the model's order (the order the directory was written in).
std::optional<Error> Verify(const Result<PeImage>& image, const EditTree& expected) {
    if (!image) return Refuse("the rewritten module does not parse: " + image.GetError().message);
    // Every entry is compared below, so damage shows as a difference. The
    // reader's findings are not consulted: entries kept with bits above 16
    // in their IDs are findings by design.
    std::vector<std::string> diagnostics;
    ResourceTree tree = ReadResourceDirectory(image.Value(), diagnostics);
    if (tree.types.size() != expected.types.size())
        return Refuse("the rewritten resources differ" + (diagnostics.empty() ? "" : ": " + diagnostics.front()));
    IdMatcher ids;
    for (std::size_t t = 0; t < expected.types.size(); ++t) {
        const EditType& type = expected.types[t];
        const ResourceTypeNode& readType = tree.types[t];
        if (!ids.Same(readType.type, type.type) || readType.names.size() != type.names.size())
            return Refuse("the rewritten resources of type " + type.type.ToString() + " differ");
        for (std::size_t n = 0; n < type.names.size(); ++n) {
            const EditName& name = type.names[n];
            const ResourceNameNode& readName = readType.names[n];
            bool same = ids.Same(readName.name, name.name) && readName.languages.size() == name.leaves.size();
            for (std::size_t l = 0; same && l < name.leaves.size(); ++l) {
                const ResourceLeaf& read = readName.languages[l];
                same = read.LanguageField() == name.leaves[l].LanguageField() && read.bytes &&
                       std::ranges::equal(*read.bytes, name.leaves[l].data);
            }
            if (!same)
                return Refuse("resource " + type.type.ToString() + "/" + name.name.ToString() + " did not read back");
        }
    }
    return std::nullopt;
}

// Pieces in which the checksum reads a written target back.
constexpr std::size_t kChecksumPiece = std::size_t{1} << 20;

// Adds the bytes [at, end) of `fd`, a run without holes, to `sum`.
Status SumRun(int fd, std::uint64_t at, std::uint64_t end, std::vector<std::uint8_t>& buffer, PeChecksumSum& sum) {
    while (at < end) {
        std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), end - at));
        ssize_t got = ::pread(fd, buffer.data(), piece, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return MakeError(Error::Code::Io, std::string("cannot read back the target: ") + std::strerror(errno));
        sum.Add(at, std::span(buffer).first(static_cast<std::size_t>(got)));
        at += static_cast<std::uint64_t>(got);
    }
    return Done{};
}

// The checksum of the file `fd` of `size` bytes, read once in bounded
// pieces; holes add nothing to the sum and are skipped. The file system is
// asked where each run of data ends once, not again at every piece.
Result<std::uint32_t> FileChecksum(int fd, std::uint64_t size, std::uint32_t checksumOffset) {
    PeChecksumSum sum(checksumOffset);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(size, kChecksumPiece)));
    for (std::uint64_t at = 0; at < size;) {
        off_t data = ::lseek(fd, static_cast<off_t>(at), SEEK_DATA);
        if (data < 0 && errno == ENXIO) break; // only a hole is left
        // Where the file system cannot tell holes, all of it is data.
        std::uint64_t start = data < 0 ? at : static_cast<std::uint64_t>(data);
        if (start >= size) break;
        off_t hole = data < 0 ? -1 : ::lseek(fd, data, SEEK_HOLE);
        std::uint64_t end = hole <= data ? size : std::min<std::uint64_t>(static_cast<std::uint64_t>(hole), size);
        if (Status summed = SumRun(fd, start, end, buffer, sum); !summed) return summed.GetError();
        at = end;
    }
    return sum.Finish(size);
}

// A rewritten module at most this large is checked in memory when only a
// check was asked for; a larger one is only planned.
constexpr std::uint64_t kMaxCheckedInMemory = std::uint64_t{256} << 20;

} // namespace

Result<PieceImage> ResourceUpdate::Plan(const EditTree& tree, std::vector<std::string>& warnings,
                                        std::uint64_t& checksumOffset) const {
    Rewriter rewriter(m_image, tree, warnings);
    checksumOffset = rewriter.ChecksumOffset();
    return rewriter.Run();
}

Result<std::vector<std::uint8_t>> ResourceUpdate::Commit(std::vector<std::string>& warnings) const {
    EditTree tree = m_tree.Pruned();
    std::uint64_t checksumAt = 0;
    auto planned = Plan(tree, warnings, checksumAt);
    if (!planned) return planned.GetError();
    auto written = planned.Value().ToBytes();
    if (!written) return written;
    // The checksum and the read-back check both only read the new file (the
    // check never looks at the checksum field): a module of tens of
    // megabytes has them done side by side.
    std::vector<std::uint8_t>& out = written.Value();
    auto offset = static_cast<std::uint32_t>(checksumAt);
    std::future<std::uint32_t> checksum = RunBeside([&out, offset] { return PeChecksum(out, offset); });
    std::optional<Error> failed = Verify(PeImage::ParseBorrowed(out), tree);
    std::uint32_t value = checksum.get();
    if (failed) return *failed;
    StoreU32(out, offset, value);
    return written;
}

Status ResourceUpdate::CommitTo(int fd, std::vector<std::string>& warnings) const {
    EditTree tree = m_tree.Pruned();
    std::uint64_t checksumAt = 0;
    auto planned = Plan(tree, warnings, checksumAt);
    if (!planned) return planned.GetError();
    const PieceImage& target = planned.Value();
    if (Status written = target.WriteTo(fd); !written) return written;
    // The disk writes the target while it is read back and summed below.
    StartWriteBack(fd);
    // Read back as a scan reads a module: mapped, headers and resources only.
    int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) return MakeError(Error::Code::Io, std::string("cannot read back the target: ") + std::strerror(errno));
    auto file = MappedFile::Adopt(copy, "the target");
    if (!file) return file.GetError();
    auto offset = static_cast<std::uint32_t>(checksumAt);
    std::future<Result<std::uint32_t>> checksum =
        RunBeside([fd, size = target.Size(), offset] { return FileChecksum(fd, size, offset); });
    std::optional<Error> failed = Verify(PeImage::Open(std::move(file).Value()), tree);
    auto value = checksum.get();
    if (failed) return *failed;
    if (!value) return value.GetError();
    std::uint8_t bytes[4];
    StoreU32(bytes, 0, value.Value());
    return WriteAt(fd, offset, bytes);
}

Status ResourceUpdate::Check(std::vector<std::string>& warnings) const {
    EditTree tree = m_tree.Pruned();
    std::uint64_t checksumAt = 0;
    auto planned = Plan(tree, warnings, checksumAt);
    if (!planned) return planned.GetError();
    if (planned.Value().Size() > kMaxCheckedInMemory) return Done{};
    auto written = planned.Value().ToBytes();
    if (!written) return written.GetError();
    if (auto failed = Verify(PeImage::ParseBorrowed(written.Value()), tree)) return *failed;
    return Done{};
}

} // namespace quillon
