#include "support/PeBuilder.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string_view>

#include "io/ByteWriter.h"

namespace quillon::testing {

namespace {

constexpr std::uint32_t kPeOffset = 0x40;
constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint32_t kDirectoryCount = 16;
constexpr std::uint32_t kOptionalHeaderSize = 96 + 8 * kDirectoryCount;
constexpr std::uint32_t kOptionalHeaderOffset = kPeOffset + 4 + kCoffHeaderSize;
constexpr std::uint32_t kSectionTableOffset = kOptionalHeaderOffset + kOptionalHeaderSize;
constexpr std::uint32_t kSectionHeaderSize = 40;

constexpr std::uint32_t kTableSize = 16;
constexpr std::uint32_t kEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::uint32_t kDataAlignment = 8;

// PE offsets and sizes are 32-bit.
std::uint32_t Checked32(std::uint64_t value) {
    if (value > 0xFFFFFFFFu) throw std::length_error("generated module exceeds 4 GiB");
    return static_cast<std::uint32_t>(value);
}

std::uint32_t AlignUp(std::uint64_t value, std::uint32_t alignment) {
    return Checked32((value + alignment - 1) / alignment * alignment);
}

std::uint16_t Count16(std::size_t count, const char* what) {
    if (count > 0xFFFF) throw std::invalid_argument(std::string("too many ") + what);
    return static_cast<std::uint16_t>(count);
}

// ---------------------------------------------------------------------------
// Resource directory

// Directory order, written out here rather than borrowed from the reader so
// that a mistake in the reader's ordering cannot hide in both places: named
// entries first, compared by UTF-16 code units (not case-folded), then IDs.
int Compare(const ResourceId& a, const ResourceId& b) {
    if (a.named != b.named) return a.named ? -1 : 1;
    if (a.named) {
        int order = a.name.compare(b.name);
        return (order > 0) - (order < 0);
    }
    return (a.id > b.id) - (a.id < b.id);
}

struct LeafNode {
    const BuiltResource* resource = nullptr;
    std::uint32_t entry = 0; // data entry, relative to the directory start
    std::uint32_t data = 0;  // the resource bytes, relative to the directory start
};

struct IdNode {
    ResourceId id;
    std::uint32_t table = 0;  // this node's sub-table
    std::uint32_t string = 0; // the name string, for named ids
};

struct NameNode : IdNode {
    std::vector<LeafNode> languages;
};

struct TypeNode : IdNode {
    std::vector<NameNode> names;
};

std::string Describe(const BuiltResource& resource) {
    char language[8];
    std::snprintf(language, sizeof language, "%04x", static_cast<unsigned>(resource.language));
    return "type " + resource.type.ToString() + " name " + resource.name.ToString() + " language " + language;
}

std::vector<TypeNode> GroupResources(const std::vector<BuiltResource>& resources) {
    std::vector<const BuiltResource*> sorted;
    sorted.reserve(resources.size());
    for (const BuiltResource& resource : resources) sorted.push_back(&resource);
    std::sort(sorted.begin(), sorted.end(), [](const BuiltResource* a, const BuiltResource* b) {
        if (int order = Compare(a->type, b->type)) return order < 0;
        if (int order = Compare(a->name, b->name)) return order < 0;
        return a->language < b->language;
    });

    std::vector<TypeNode> types;
    for (const BuiltResource* resource : sorted) {
        if (types.empty() || Compare(types.back().id, resource->type) != 0)
            types.push_back({{resource->type, 0, 0}, {}});
        auto& names = types.back().names;
        if (names.empty() || Compare(names.back().id, resource->name) != 0)
            names.push_back({{resource->name, 0, 0}, {}});
        auto& languages = names.back().languages;
        if (!languages.empty() && languages.back().resource->language == resource->language)
            throw std::invalid_argument("resource given twice: " + Describe(*resource));
        languages.push_back({resource, 0, 0});
    }
    return types;
}

std::uint32_t TableBytes(std::size_t entries) {
    return kTableSize + kEntrySize * static_cast<std::uint32_t>(entries);
}

std::uint32_t StringBytes(const ResourceId& id) {
    return id.named ? 2 + 2 * static_cast<std::uint32_t>(id.name.size()) : 0;
}

// Leaves in directory order; `Types` is const or not as the caller needs.
template <typename Types, typename Visit>
void ForEachLeaf(Types& types, Visit visit) {
    for (auto& type : types)
        for (auto& name : type.names)
            for (auto& leaf : name.languages) visit(leaf);
}

// Layout pass. Tables come first, level by level (root, every type's table,
// every name's language table), then the data entries, the name strings and
// finally the 8-aligned resource bytes: the grouping resource compilers use.
// Returns the size of the whole directory.
std::uint32_t Layout(std::vector<TypeNode>& types) {
    std::uint64_t cursor = TableBytes(types.size());
    for (auto& type : types) {
        type.table = static_cast<std::uint32_t>(cursor);
        cursor += TableBytes(type.names.size());
    }
    for (auto& type : types)
        for (auto& name : type.names) {
            name.table = static_cast<std::uint32_t>(cursor);
            cursor += TableBytes(name.languages.size());
        }
    ForEachLeaf(types, [&](LeafNode& leaf) {
        leaf.entry = static_cast<std::uint32_t>(cursor);
        cursor += kDataEntrySize;
    });
    auto placeString = [&](IdNode& node) {
        node.string = static_cast<std::uint32_t>(cursor);
        cursor += StringBytes(node.id);
    };
    for (auto& type : types) {
        placeString(type);
        for (auto& name : type.names) placeString(name);
    }
    ForEachLeaf(types, [&](LeafNode& leaf) {
        cursor = AlignUp(cursor, kDataAlignment);
        leaf.data = static_cast<std::uint32_t>(cursor);
        cursor += leaf.resource->bytes.size();
    });
    return Checked32(cursor);
}

std::uint32_t NameField(const IdNode& node) {
    return node.id.named ? (kHighBit | node.string) : node.id.id;
}

// Table: DWORD characteristics, DWORD time stamp, WORD major, WORD minor
// (all zero here), WORD named count, WORD id count, then 8-byte entries.
void WriteTableHeader(std::span<std::uint8_t> out, std::uint32_t at, std::size_t named, std::size_t ids) {
    StoreU16(out, at + 12, Count16(named, "named entries in a table"));
    StoreU16(out, at + 14, Count16(ids, "id entries in a table"));
}

void WriteEntry(std::span<std::uint8_t> out, std::uint32_t table, std::size_t index, std::uint32_t nameField,
                std::uint32_t offsetField) {
    std::size_t at = table + kTableSize + kEntrySize * index;
    StoreU32(out, at, nameField);
    StoreU32(out, at + 4, offsetField);
}

template <typename Node>
void WriteIdTable(std::span<std::uint8_t> out, std::uint32_t at, const std::vector<Node>& children) {
    auto named = static_cast<std::size_t>(
        std::count_if(children.begin(), children.end(), [](const Node& child) { return child.id.named; }));
    WriteTableHeader(out, at, named, children.size() - named);
    for (std::size_t i = 0; i < children.size(); ++i)
        WriteEntry(out, at, i, NameField(children[i]), kHighBit | children[i].table);
}

void WriteLanguageTable(std::span<std::uint8_t> out, const NameNode& name) {
    WriteTableHeader(out, name.table, 0, name.languages.size());
    for (std::size_t i = 0; i < name.languages.size(); ++i) {
        const LeafNode& leaf = name.languages[i];
        WriteEntry(out, name.table, i, leaf.resource->language, leaf.entry);
    }
}

// Name string: WORD length in UTF-16 units, then the units, no terminator.
void WriteString(std::span<std::uint8_t> out, const IdNode& node) {
    if (!node.id.named) return;
    StoreU16(out, node.string, Count16(node.id.name.size(), "units in a resource name"));
    StoreUtf16(out, node.string + 2, node.id.name.View());
}

// Data entry: DWORD RVA (the only field that is not directory-relative),
// DWORD size, DWORD code page, DWORD reserved.
void WriteLeaf(std::span<std::uint8_t> out, const LeafNode& leaf) {
    const auto& bytes = leaf.resource->bytes;
    StoreU32(out, leaf.entry, kBuiltResourceRva + leaf.data);
    StoreU32(out, leaf.entry + 4, static_cast<std::uint32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), out.begin() + leaf.data);
}

std::vector<std::uint8_t> WriteDirectory(const std::vector<TypeNode>& types, std::uint32_t size) {
    std::vector<std::uint8_t> out(size);
    WriteIdTable(out, 0, types);
    for (const auto& type : types) {
        WriteIdTable(out, type.table, type.names);
        WriteString(out, type);
        for (const auto& name : type.names) {
            WriteLanguageTable(out, name);
            WriteString(out, name);
        }
    }
    ForEachLeaf(types, [&](const LeafNode& leaf) { WriteLeaf(out, leaf); });
    return out;
}

// ---------------------------------------------------------------------------
// Image headers

void WriteDosHeader(std::span<std::uint8_t> file) {
    file[0] = 'M';
    file[1] = 'Z';
    StoreU32(file, 0x3C, kPeOffset);
}

// A resource-only DLL for i386: no code, no entry point, nothing to relocate.
void WriteCoffHeader(std::span<std::uint8_t> file) {
    constexpr std::uint16_t kMachineI386 = 0x014C;
    constexpr std::uint16_t kExecutableImage = 0x0002;
    constexpr std::uint16_t k32BitMachine = 0x0100;
    constexpr std::uint16_t kDll = 0x2000;
    file[kPeOffset] = 'P';
    file[kPeOffset + 1] = 'E';
    std::uint32_t coff = kPeOffset + 4;
    StoreU16(file, coff, kMachineI386);
    StoreU16(file, coff + 2, 1); // one section
    StoreU16(file, coff + 16, kOptionalHeaderSize);
    StoreU16(file, coff + 18, kExecutableImage | k32BitMachine | kDll);
}

struct ImageSizes {
    std::uint32_t directory = 0;   // bytes of resource directory and data
    std::uint32_t rawSection = 0;  // the same, rounded to FileAlignment
    std::uint32_t headers = 0;     // SizeOfHeaders
    std::uint32_t image = 0;       // SizeOfImage
};

void WriteOptionalHeader(std::span<std::uint8_t> file, const ImageSizes& sizes) {
    constexpr std::uint32_t o = kOptionalHeaderOffset;
    StoreU16(file, o, 0x010B); // PE32
    file[o + 2] = 14;       // linker version
    StoreU32(file, o + 8, sizes.rawSection); // SizeOfInitializedData
    StoreU32(file, o + 24, kBuiltResourceRva); // BaseOfData
    StoreU32(file, o + 28, kBuiltImageBase);
    StoreU32(file, o + 32, kBuiltSectionAlignment);
    StoreU32(file, o + 36, kBuiltFileAlignment);
    StoreU16(file, o + 40, 6); // operating system version 6.0
    StoreU16(file, o + 48, 6); // subsystem version 6.0
    StoreU32(file, o + 56, sizes.image);
    StoreU32(file, o + 60, sizes.headers);
    StoreU16(file, o + 68, 2);      // Windows GUI subsystem
    StoreU16(file, o + 70, 0x0500); // NX compatible, no SEH
    StoreU32(file, o + 72, 0x100000); // stack reserve
    StoreU32(file, o + 76, 0x1000);   // stack commit
    StoreU32(file, o + 80, 0x100000); // heap reserve
    StoreU32(file, o + 84, 0x1000);   // heap commit
    StoreU32(file, o + 92, kDirectoryCount);
    constexpr std::uint32_t kResourceDirectory = o + 96 + 8 * 2;
    StoreU32(file, kResourceDirectory, kBuiltResourceRva);
    StoreU32(file, kResourceDirectory + 4, sizes.directory);
}

void WriteSectionHeader(std::span<std::uint8_t> file, const ImageSizes& sizes) {
    constexpr std::uint32_t s = kSectionTableOffset;
    constexpr std::string_view kName = ".rsrc";
    std::copy(kName.begin(), kName.end(), file.begin() + s);
    StoreU32(file, s + 8, sizes.directory);  // VirtualSize
    StoreU32(file, s + 12, kBuiltResourceRva);
    StoreU32(file, s + 16, sizes.rawSection);
    StoreU32(file, s + 20, sizes.headers);   // raw data follows the headers
    StoreU32(file, s + 36, 0x40000040);      // initialized data, readable
}

std::vector<std::uint8_t> WriteImage(std::span<const std::uint8_t> directory) {
    ImageSizes sizes;
    sizes.directory = static_cast<std::uint32_t>(directory.size());
    sizes.rawSection = AlignUp(directory.size(), kBuiltFileAlignment);
    sizes.headers = AlignUp(kSectionTableOffset + kSectionHeaderSize, kBuiltFileAlignment);
    sizes.image = AlignUp(std::uint64_t{kBuiltResourceRva} + directory.size(), kBuiltSectionAlignment);

    std::vector<std::uint8_t> file(std::uint64_t{sizes.headers} + sizes.rawSection);
    WriteDosHeader(file);
    WriteCoffHeader(file);
    WriteOptionalHeader(file, sizes);
    WriteSectionHeader(file, sizes);
    std::copy(directory.begin(), directory.end(), file.begin() + sizes.headers);
    return file;
}

// ---------------------------------------------------------------------------
// Templates

// Version entry: WORD length, WORD value length, WORD type (1 text, 0 binary),
// zero-terminated key, padding to 4, value, then each child padded to 4. Every
// entry starts 4-aligned in the resource, so aligning relative to the entry's
// own start gives the same padding; the length leaves out trailing padding.
std::vector<std::uint8_t> VersionNode(std::u16string_view key, std::uint16_t type, std::uint16_t valueLength,
                                       std::span<const std::uint8_t> value,
                                       const std::vector<std::vector<std::uint8_t>>& children = {}) {
    ByteWriter out;
    out.U16(0); // length, filled in below
    out.U16(valueLength);
    out.U16(type);
    out.Utf16z(key);
    out.PadTo(4);
    out.Bytes(value);
    for (const auto& child : children) {
        out.PadTo(4);
        out.Bytes(child);
    }
    std::vector<std::uint8_t> bytes = out.Take();
    StoreU16(bytes, 0, Count16(bytes.size(), "bytes in a version entry"));
    return bytes;
}

std::vector<std::uint8_t> VersionString(std::u16string_view key, std::u16string_view text) {
    ByteWriter value;
    value.Utf16z(text);
    // Text values count UTF-16 units, terminator included.
    return VersionNode(key, 1, Count16(text.size() + 1, "units in a version string"), value.Data());
}

std::vector<std::uint8_t> FixedFileInfo(const BuiltVersion& version) {
    auto pack = [](std::uint16_t high, std::uint16_t low) { return std::uint32_t{high} << 16 | low; };
    const auto& file = version.fileVersion;
    const auto& product = version.productVersion;
    // Signature, structure version 1.0, file and product versions, flags mask
    // and flags, VOS_NT_WINDOWS32, VFT_DLL (matching the image the builder
    // writes), subtype, date.
    ByteWriter out;
    for (std::uint32_t value : {0xFEEF04BDu, 0x00010000u, pack(file[0], file[1]), pack(file[2], file[3]),
                                pack(product[0], product[1]), pack(product[2], product[3]), 0x3Fu, 0u, 0x00040004u, 2u,
                                0u, 0u, 0u})
        out.U32(value);
    return out.Take();
}

std::u16string TableKey(std::uint16_t language, std::uint16_t codePage) {
    char key[9];
    std::snprintf(key, sizeof key, "%04x%04x", static_cast<unsigned>(language), static_cast<unsigned>(codePage));
    return std::u16string(key, key + 8);
}

} // namespace

std::vector<std::uint8_t> BuildPeWithResources(const std::vector<BuiltResource>& resources) {
    std::vector<TypeNode> types = GroupResources(resources);
    std::uint32_t size = Layout(types);
    return WriteImage(WriteDirectory(types, size));
}

std::vector<std::uint8_t> StringBlockBytes(const std::array<std::u16string, 16>& slots) {
    ByteWriter out;
    for (const std::u16string& text : slots) {
        out.U16(Count16(text.size(), "units in a string"));
        for (char16_t unit : text) out.U16(unit);
    }
    return out.Take();
}

std::vector<std::uint8_t> StandardDialogBytes(std::u16string caption, const std::vector<DialogControl>& controls) {
    constexpr std::uint32_t kDialogStyle = 0x80000000 /* WS_POPUP */ | 0x00C00000 /* WS_CAPTION */ |
                                           0x00080000 /* WS_SYSMENU */ | 0x80 /* DS_MODALFRAME */ |
                                           0x40 /* DS_SETFONT */;
    constexpr std::uint32_t kButtonStyle = 0x40000000 /* WS_CHILD */ | 0x10000000 /* WS_VISIBLE */ |
                                           0x00010000 /* WS_TABSTOP */;
    constexpr std::uint16_t kRowHeight = 16;
    std::uint16_t count = Count16(controls.size(), "dialog controls");

    // Header: style, extended style, item count, x, y, cx, cy, menu (none),
    // class (default), caption, then the font for DS_SETFONT.
    ByteWriter out;
    auto words = [&](std::initializer_list<std::uint16_t> values) {
        for (std::uint16_t value : values) out.U16(value);
    };
    out.U32(kDialogStyle);
    out.U32(0);
    words({count, 0, 0, 186, static_cast<std::uint16_t>(14 + kRowHeight * count), 0, 0});
    out.Utf16z(caption);
    out.U16(8);
    out.Utf16z(u"MS Sans Serif");

    // Each control starts on a DWORD: style, extended style, x, y, cx, cy, id,
    // class ordinal, title, creation-data size.
    for (std::uint16_t i = 0; i < count; ++i) {
        out.PadTo(4);
        out.U32(kButtonStyle);
        out.U32(0);
        words({7, static_cast<std::uint16_t>(7 + kRowHeight * i), 50, 14, controls[i].first, 0xFFFF, 0x0080}); // BUTTON
        out.Utf16z(controls[i].second);
        out.U16(0);
    }
    return out.Take();
}

std::vector<std::uint8_t> StandardMenuBytes(const std::vector<BuiltMenuPopup>& popups) {
    constexpr std::uint16_t kPopup = 0x0010;
    constexpr std::uint16_t kEnd = 0x0080;
    if (popups.empty()) throw std::invalid_argument("a menu needs at least one popup");

    ByteWriter out;
    out.U16(0); // standard template
    out.U16(0); // no extra header bytes
    for (std::size_t p = 0; p < popups.size(); ++p) {
        const BuiltMenuPopup& popup = popups[p];
        if (popup.items.empty()) throw std::invalid_argument("popup has no items");
        out.U16(static_cast<std::uint16_t>(kPopup | (p + 1 == popups.size() ? kEnd : 0)));
        out.Utf16z(popup.text);
        for (std::size_t i = 0; i < popup.items.size(); ++i) {
            out.U16(i + 1 == popup.items.size() ? kEnd : std::uint16_t{0});
            out.U16(popup.items[i].id);
            out.Utf16z(popup.items[i].text);
        }
    }
    return out.Take();
}

std::vector<std::uint8_t> VersionBytes(const BuiltVersion& version) {
    std::vector<std::vector<std::uint8_t>> strings;
    for (const auto& [key, text] : version.strings) strings.push_back(VersionString(key, text));
    auto table = VersionNode(TableKey(version.language, version.codePage), 1, 0, {}, strings);
    auto stringFileInfo = VersionNode(u"StringFileInfo", 1, 0, {}, {table});

    ByteWriter translation;
    translation.U16(version.language);
    translation.U16(version.codePage);
    auto var = VersionNode(u"Translation", 0, 4, translation.Data());
    auto varFileInfo = VersionNode(u"VarFileInfo", 1, 0, {}, {var});

    auto fixed = FixedFileInfo(version);
    return VersionNode(u"VS_VERSION_INFO", 0, static_cast<std::uint16_t>(fixed.size()), fixed,
                        {stringFileInfo, varFileInfo});
}

} // namespace quillon::testing
