#include "pe/ResourceUpdate.h"

#include <algorithm>
#include <cstring>

#include "io/ByteReader.h"

namespace quillon {

namespace {

constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kPage = 0x1000;
constexpr std::uint32_t kResourceCharacteristics = 0x40000040; // initialized data, readable
constexpr std::uint32_t kExecutable = 0x20000000;
constexpr std::uint32_t kCode = 0x20;
constexpr std::uint32_t kInitializedData = 0x40;

std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return alignment ? (value + alignment - 1) / alignment * alignment : value;
}

void Put16(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint16_t v) {
    bytes[at] = static_cast<std::uint8_t>(v);
    bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::uint64_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
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
                l.readable = leaf.bytes.has_value();
                if (leaf.bytes) l.data.assign(leaf.bytes->begin(), leaf.bytes->end());
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
        firstRaw = file.size();
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
    if (section.characteristics & (kExecutable | kCode)) return std::nullopt;
    for (int d = 0; d < 16; ++d) {
        if (d == kDirectoryResource || d == kDirectoryCertificate) continue;
        DataDirectory other = image.Directory(d);
        if (other.address != 0 && image.SectionOfRva(other.address) == index) return std::nullopt;
    }
    return index;
}

} // namespace

std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::uint32_t checksumOffset) {
    // 16-bit little-endian words summed with the carry folded back in; the
    // checksum field itself counts as zero. Folding once per word keeps the
    // sum below 2^17, so a 64-bit sum may defer the folding for a long run.
    std::uint64_t sum = 0;
    std::size_t even = file.size() & ~std::size_t{1};
    for (std::size_t i = 0; i < even; i += 2) {
        // Bytes of the field count as zero; the subtractions wrap below it.
        std::uint32_t low = (i - checksumOffset < 4) ? 0 : file[i];
        std::uint32_t high = (i + 1 - checksumOffset < 4) ? 0 : file[i + 1];
        std::uint32_t word = low | (high << 8);
        sum += word;
        if ((i & 0xFFFF) == 0) sum = (sum & 0xFFFF) + (sum >> 16);
    }
    if (even < file.size() && even - checksumOffset >= 4) sum += file[even];
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum) + static_cast<std::uint32_t>(file.size());
}

Result<ResourceUpdate> ResourceUpdate::Begin(std::vector<std::uint8_t> file) {
    auto image = PeImage::Parse(file);
    if (!image) return image.GetError();
    std::vector<std::string> diagnostics;
    ResourceTree tree = ReadResourceDirectory(image.Value(), diagnostics);
    ResourceUpdate update;
    update.m_tree = ToEditTree(tree);
    // A table out of order would hide resources from the loader's binary
    // search; the rebuilt directory is always in order.
    update.m_tree.Sort();
    update.m_file = std::move(file);
    return update;
}

namespace {

// Builds the new file for one placement of the resource blob.
class Rewriter {
public:
    Rewriter(const PeImage& image, const EditTree& tree, std::vector<std::string>& warnings)
        : m_image(image), m_layout(image), m_tree(tree), m_warnings(warnings) {}

    Result<std::vector<std::uint8_t>> Run() {
        if (auto refused = CheckWritable()) return *refused;
        std::size_t blobSize = SerializeResources(m_tree, 0).size();
        auto dedicated = DedicatedResourceSection(m_image);
        if (dedicated && FitsInPlace(*dedicated, blobSize)) return InPlace(*dedicated);
        if (dedicated && IsLast(*dedicated)) return GrowLast(*dedicated);
        return NewSection(dedicated);
    }

private:
    std::optional<Error> CheckWritable() {
        std::span<const std::uint8_t> file = m_image.File();
        if (m_layout.directoryCount <= kDirectoryResource ||
            m_layout.DirectoryOffset(kDirectoryResource) + 8 > m_image.SectionTableOffset())
            return Refuse("the module's header has no entry for resources");
        if (m_layout.rawEnd > file.size()) return Refuse("a section runs past the end of the file");
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
    // signature, which no longer matches a changed module.
    struct Tail {
        std::vector<std::uint8_t> bytes;
        bool certificateDropped = false;
        std::uint64_t certificateStart = 0;
        std::uint64_t certificateSize = 0;
    };
    Tail TakeTail() {
        Tail tail;
        std::span<const std::uint8_t> file = m_image.File();
        DataDirectory certificate = m_image.Directory(kDirectoryCertificate);
        std::uint64_t start = m_layout.rawEnd, end = file.size();
        if (certificate.size != 0) {
            tail.certificateDropped = true;
            m_warnings.push_back("the module's signature was removed: it does not match the translated module");
            if (certificate.address >= start && std::uint64_t{certificate.address} + certificate.size <= end) {
                tail.certificateStart = certificate.address;
                tail.certificateSize = certificate.size;
            }
        }
        for (std::uint64_t at = start; at < end; ++at) {
            if (tail.certificateSize && at >= tail.certificateStart && at < tail.certificateStart + tail.certificateSize)
                continue;
            tail.bytes.push_back(file[at]);
        }
        return tail;
    }

    // New file offset of a file offset in the old tail.
    std::uint64_t MapTailOffset(std::uint64_t old, std::uint64_t newRawEnd, const Tail& tail) const {
        std::uint64_t moved = old - m_layout.rawEnd;
        if (tail.certificateSize && old >= tail.certificateStart + tail.certificateSize) moved -= tail.certificateSize;
        return newRawEnd + moved;
    }

    void FixTailPointers(std::vector<std::uint8_t>& out, std::uint64_t newRawEnd, const Tail& tail) {
        std::span<const std::uint8_t> file = m_image.File();
        std::uint64_t coff = m_image.OptionalHeaderOffset() - 20;
        std::uint32_t symbols = Get32(file, coff + 8);
        if (symbols != 0 && symbols >= m_layout.rawEnd)
            Put32(out, coff + 8, static_cast<std::uint32_t>(MapTailOffset(symbols, newRawEnd, tail)));
        // Debug directory entries: 28 bytes each, the file offset of the data at +24.
        DataDirectory debug = m_image.Directory(6);
        auto entries = debug.address ? m_image.BytesAtRva(debug.address, debug.size) : std::nullopt;
        if (entries) {
            std::uint64_t base = static_cast<std::uint64_t>(entries->data() - file.data());
            for (std::uint64_t at = 0; at + 28 <= entries->size(); at += 28) {
                std::uint32_t pointer = Get32(file, base + at + 24);
                if (pointer >= m_layout.rawEnd)
                    Put32(out, base + at + 24, static_cast<std::uint32_t>(MapTailOffset(pointer, newRawEnd, tail)));
            }
        }
        if (tail.certificateDropped) {
            Put32(out, m_layout.DirectoryOffset(kDirectoryCertificate), 0);
            Put32(out, m_layout.DirectoryOffset(kDirectoryCertificate) + 4, 0);
        }
        if (!tail.bytes.empty() && newRawEnd != m_layout.rawEnd)
            m_warnings.push_back("data after the last section (" + std::to_string(tail.bytes.size()) +
                                 " bytes) moved with the grown resources");
    }

    void WriteSectionHeader(std::vector<std::uint8_t>& out, std::size_t index, const SectionHeader& section) {
        std::uint64_t at = m_image.SectionTableOffset() + index * kSectionHeaderSize;
        std::copy(section.name.begin(), section.name.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        Put32(out, at + 8, section.virtualSize);
        Put32(out, at + 12, section.virtualAddress);
        Put32(out, at + 16, section.sizeOfRawData);
        Put32(out, at + 20, section.pointerToRawData);
        Put32(out, at + 36, section.characteristics);
    }

    void FinishHeaders(std::vector<std::uint8_t>& out, const std::vector<SectionHeader>& sections, std::uint32_t rva,
                       std::uint32_t blobSize, std::int64_t initializedDelta) {
        Put32(out, m_layout.DirectoryOffset(kDirectoryResource), rva);
        Put32(out, m_layout.DirectoryOffset(kDirectoryResource) + 4, blobSize);
        std::uint64_t end = 0;
        for (const SectionHeader& s : sections)
            end = std::max<std::uint64_t>(end, std::uint64_t{s.virtualAddress} + (s.virtualSize ? s.virtualSize : s.sizeOfRawData));
        Put32(out, m_layout.optional + 56, static_cast<std::uint32_t>(AlignUp(end, m_image.SectionAlignment())));
        std::int64_t initialized = Get32(out, m_layout.optional + 8);
        Put32(out, m_layout.optional + 8, static_cast<std::uint32_t>(std::max<std::int64_t>(0, initialized + initializedDelta)));
        Put32(out, m_layout.checksumOffset, PeChecksum(out, static_cast<std::uint32_t>(m_layout.checksumOffset)));
    }

    // The resources fit where they are: the rest of the section is zeroed and
    // nothing else moves.
    Result<std::vector<std::uint8_t>> InPlace(std::size_t index) {
        SectionHeader section = m_image.Sections()[index];
        std::vector<std::uint8_t> blob = SerializeResources(m_tree, section.virtualAddress);
        Tail tail = TakeTail();
        std::vector<std::uint8_t> out(m_image.File().begin(), m_image.File().begin() + static_cast<std::ptrdiff_t>(m_layout.rawEnd));
        std::fill_n(out.begin() + section.pointerToRawData, section.sizeOfRawData, 0);
        std::copy(blob.begin(), blob.end(), out.begin() + section.pointerToRawData);
        out.insert(out.end(), tail.bytes.begin(), tail.bytes.end());
        FixTailPointers(out, m_layout.rawEnd, tail);
        std::vector<SectionHeader> sections = m_image.Sections();
        sections[index].virtualSize = static_cast<std::uint32_t>(blob.size());
        WriteSectionHeader(out, index, sections[index]);
        FinishHeaders(out, sections, section.virtualAddress, static_cast<std::uint32_t>(blob.size()), 0);
        return out;
    }

    // The resource section is the last one: it grows or shrinks, and what
    // follows it in the file moves along.
    Result<std::vector<std::uint8_t>> GrowLast(std::size_t index) {
        SectionHeader section = m_image.Sections()[index];
        std::vector<std::uint8_t> blob = SerializeResources(m_tree, section.virtualAddress);
        std::uint32_t rawSize = static_cast<std::uint32_t>(AlignUp(blob.size(), m_image.FileAlignment()));
        Tail tail = TakeTail();
        std::vector<std::uint8_t> out(m_image.File().begin(), m_image.File().begin() + section.pointerToRawData);
        out.insert(out.end(), blob.begin(), blob.end());
        out.resize(section.pointerToRawData + std::uint64_t{rawSize}, 0);
        std::uint64_t newRawEnd = out.size();
        out.insert(out.end(), tail.bytes.begin(), tail.bytes.end());
        FixTailPointers(out, newRawEnd, tail);
        std::vector<SectionHeader> sections = m_image.Sections();
        std::int64_t delta = static_cast<std::int64_t>(rawSize) - section.sizeOfRawData;
        sections[index].virtualSize = static_cast<std::uint32_t>(blob.size());
        sections[index].sizeOfRawData = rawSize;
        WriteSectionHeader(out, index, sections[index]);
        FinishHeaders(out, sections, section.virtualAddress, static_cast<std::uint32_t>(blob.size()),
                      (section.characteristics & kInitializedData) ? delta : 0);
        return out;
    }

    // Otherwise a new resource section goes after every other one; the old
    // section stays as it was (its RVAs may be referenced) under another name.
    Result<std::vector<std::uint8_t>> NewSection(std::optional<std::size_t> old) {
        std::span<const std::uint8_t> file = m_image.File();
        if (m_image.SectionAlignment() < kPage)
            return Refuse("the resources do not fit in place and the module's alignment allows no new section");
        std::uint64_t headerEnd = m_image.SectionTableOffset() + (m_image.Sections().size() + 1) * kSectionHeaderSize;
        if (headerEnd > m_layout.sizeOfHeaders || headerEnd > m_layout.firstRaw)
            return Refuse("there is no room for another section header");
        for (std::uint64_t at = headerEnd - kSectionHeaderSize; at < headerEnd; ++at)
            if (file[at] != 0) return Refuse("the room after the section table is in use");

        std::uint64_t vaEnd = 0;
        for (const SectionHeader& s : m_image.Sections())
            vaEnd = std::max<std::uint64_t>(vaEnd, std::uint64_t{s.virtualAddress} + std::max(s.virtualSize, s.sizeOfRawData));
        SectionHeader fresh;
        std::memcpy(fresh.name.data(), ".rsrc\0\0\0", 8);
        fresh.virtualAddress = static_cast<std::uint32_t>(AlignUp(vaEnd, m_image.SectionAlignment()));
        std::vector<std::uint8_t> blob = SerializeResources(m_tree, fresh.virtualAddress);
        fresh.virtualSize = static_cast<std::uint32_t>(blob.size());
        fresh.sizeOfRawData = static_cast<std::uint32_t>(AlignUp(blob.size(), m_image.FileAlignment()));
        fresh.pointerToRawData = static_cast<std::uint32_t>(AlignUp(m_layout.rawEnd, m_image.FileAlignment()));
        fresh.characteristics = kResourceCharacteristics;

        Tail tail = TakeTail();
        std::vector<std::uint8_t> out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(m_layout.rawEnd));
        out.resize(fresh.pointerToRawData, 0);
        out.insert(out.end(), blob.begin(), blob.end());
        out.resize(std::uint64_t{fresh.pointerToRawData} + fresh.sizeOfRawData, 0);
        std::uint64_t newRawEnd = out.size();
        out.insert(out.end(), tail.bytes.begin(), tail.bytes.end());
        FixTailPointers(out, newRawEnd, tail);

        std::vector<SectionHeader> sections = m_image.Sections();
        if (old && sections[*old].Name() == ".rsrc") {
            std::memcpy(sections[*old].name.data(), ".rsrc0\0\0", 8);
            WriteSectionHeader(out, *old, sections[*old]);
        }
        sections.push_back(fresh);
        WriteSectionHeader(out, sections.size() - 1, fresh);
        Put16(out, m_image.OptionalHeaderOffset() - 20 + 2, static_cast<std::uint16_t>(sections.size()));
        FinishHeaders(out, sections, fresh.virtualAddress, static_cast<std::uint32_t>(blob.size()), fresh.sizeOfRawData);
        return out;
    }

    const PeImage& m_image;
    Layout m_layout;
    const EditTree& m_tree;
    std::vector<std::string>& m_warnings;
};

// The written module must read back with exactly the resources of the model.
std::optional<Error> Verify(const std::vector<std::uint8_t>& bytes, const EditTree& expected) {
    auto image = PeImage::Parse(bytes);
    if (!image) return Refuse("the rewritten module does not parse: " + image.GetError().message);
    std::vector<std::string> diagnostics;
    ResourceTree tree = ReadResourceDirectory(image.Value(), diagnostics);
    if (!diagnostics.empty()) return Refuse("the rewritten resource directory is damaged: " + diagnostics.front());
    if (tree.types.size() != expected.types.size()) return Refuse("the rewritten resources differ");
    for (const EditType& type : expected.types)
        for (const EditName& name : type.names)
            for (const EditLeaf& leaf : name.leaves) {
                const ResourceTypeNode* t = tree.FindType(type.type);
                const ResourceLeaf* found = nullptr;
                if (t)
                    for (const auto& n : t->names)
                        if (n.name == name.name)
                            for (const auto& l : n.languages)
                                if (l.language == leaf.language) found = &l;
                if (!found || !found->bytes || !std::ranges::equal(*found->bytes, leaf.data))
                    return Refuse("resource " + type.type.ToString() + "/" + name.name.ToString() + " did not read back");
            }
    return std::nullopt;
}

} // namespace

Result<std::vector<std::uint8_t>> ResourceUpdate::Commit(std::vector<std::string>& warnings) const {
    auto image = PeImage::Parse(m_file);
    if (!image) return image.GetError();
    EditTree tree = m_tree.Pruned();
    auto written = Rewriter(image.Value(), tree, warnings).Run();
    if (!written) return written;
    if (auto failed = Verify(written.Value(), tree)) return *failed;
    return written;
}

} // namespace quillon
