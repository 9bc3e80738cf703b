#include "support/PeBuilder.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "io/ByteWriter.h"

namespace quillon::testing {

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kHighBit = 0x80000000;

// Directory order, written out here rather than borrowed from the reader so
// that a mistake in the reader's ordering cannot hide in both places: named
// entries first, compared by UTF-16 code units (not case-folded), then IDs.
struct DirectoryOrder {
    bool operator()(const ResourceId& a, const ResourceId& b) const {
        if (a.named != b.named) return a.named;
        return a.named ? a.name.View() < b.name.View() : a.id < b.id;
    }
};
using Languages = std::map<std::uint16_t, const Bytes*>;
using Names = std::map<ResourceId, Languages, DirectoryOrder>;
using Types = std::map<ResourceId, Names, DirectoryOrder>;

template <typename Map>
std::size_t NamedCount(const Map& map) {
    return static_cast<std::size_t>(std::ranges::count_if(map, [](const auto& entry) { return entry.first.named; }));
}

// Laid out as resource compilers do: the tables level by level (root, every
// type's table, every name's language table), then the 16-byte data entries
// (RVA, size, code page, reserved), the name strings (a WORD count of units,
// then the units) and the 8-aligned resource bytes. A table is 16 bytes whose
// last two WORDs count named and numbered entries, then 8-byte entries: name
// field (high bit: a name string) and offset field (high bit: a sub-table).
Bytes Directory(const Types& types) {
    Bytes dir;
    std::vector<std::pair<std::size_t, const ResourceId*>> named; // entries waiting for their name string
    auto table = [&](std::size_t namedEntries, std::size_t count) {
        std::size_t at = dir.size();
        dir.resize(at + 16 + 8 * count);
        StoreU16(dir, at + 12, static_cast<std::uint16_t>(namedEntries));
        StoreU16(dir, at + 14, static_cast<std::uint16_t>(count - namedEntries));
        return at;
    };
    auto entry = [&](std::size_t tableAt, std::size_t index, const ResourceId& id, std::size_t target) {
        std::size_t at = tableAt + 16 + 8 * index;
        if (id.named) named.emplace_back(at, &id);
        else StoreU32(dir, at, id.id);
        StoreU32(dir, at + 4, static_cast<std::uint32_t>(target));
    };
    std::size_t root = table(NamedCount(types), types.size()), index = 0;
    std::vector<std::size_t> typeTables;
    for (const auto& [type, names] : types) {
        typeTables.push_back(table(NamedCount(names), names.size()));
        entry(root, index++, type, kHighBit | typeTables.back());
    }
    std::vector<std::pair<std::size_t, const Languages*>> nameTables;
    index = 0;
    for (const auto& [type, names] : types) {
        std::size_t nameIndex = 0;
        for (const auto& [name, languages] : names) {
            nameTables.emplace_back(table(0, languages.size()), &languages);
            entry(typeTables[index], nameIndex++, name, kHighBit | nameTables.back().first);
        }
        ++index;
    }
    std::vector<std::pair<std::size_t, const Bytes*>> leaves;
    for (const auto& [at, languages] : nameTables) {
        std::size_t languageIndex = 0;
        for (const auto& [language, bytes] : *languages) {
            leaves.emplace_back(dir.size(), bytes);
            entry(at, languageIndex++, ResourceId::Integer(language), dir.size());
            dir.resize(dir.size() + 16);
        }
    }
    for (const auto& [at, id] : named) {
        StoreU32(dir, at, kHighBit | static_cast<std::uint32_t>(dir.size()));
        dir.resize(dir.size() + 2 + 2 * id->name.size());
        StoreU16(dir, dir.size() - 2 - 2 * id->name.size(), static_cast<std::uint16_t>(id->name.size()));
        StoreUtf16(dir, dir.size() - 2 * id->name.size(), id->name.View());
    }
    for (const auto& [at, bytes] : leaves) {
        dir.resize((dir.size() + 7) / 8 * 8);
        StoreU32(dir, at, kBuiltResourceRva + static_cast<std::uint32_t>(dir.size())); // the one field that is an RVA
        StoreU32(dir, at + 4, static_cast<std::uint32_t>(bytes->size()));
        dir.insert(dir.end(), bytes->begin(), bytes->end());
    }
    return dir;
}

// A resource-only PE32 DLL for i386, with no code, entry point or
// relocations: DOS header, PE signature, COFF header, an optional header with
// 16 data directories, and one section of initialized, readable data.
Bytes Image(const Bytes& directory) {
    constexpr std::uint32_t kCoff = 0x44, kOptional = kCoff + 20, kSection = kOptional + 224;
    auto align = [](std::uint64_t value, std::uint32_t to) { return static_cast<std::uint32_t>((value + to - 1) / to * to); };
    const auto size = static_cast<std::uint32_t>(directory.size());
    const std::uint32_t raw = align(size, kBuiltFileAlignment), headers = align(kSection + 40, kBuiltFileAlignment);
    Bytes file(std::size_t{headers} + raw);
    const std::pair<std::uint32_t, std::uint16_t> words[] = {
        {0, 0x5A4D}, {0x40, 0x4550}, {kCoff, 0x014C}, {kCoff + 2, 1}, {kCoff + 16, 224},
        {kCoff + 18, 0x2102},                               // executable, 32-bit, DLL
        {kOptional, 0x010B}, {kOptional + 40, 6}, {kOptional + 48, 6}, // PE32, OS and subsystem 6.0
        {kOptional + 68, 2}, {kOptional + 70, 0x0500}};     // Windows GUI, NX compatible, no SEH
    const std::pair<std::uint32_t, std::uint32_t> dwords[] = {
        {0x3C, 0x40}, {kOptional + 8, raw}, {kOptional + 24, kBuiltResourceRva}, {kOptional + 28, kBuiltImageBase},
        {kOptional + 32, kBuiltSectionAlignment}, {kOptional + 36, kBuiltFileAlignment},
        {kOptional + 56, align(std::uint64_t{kBuiltResourceRva} + size, kBuiltSectionAlignment)},
        {kOptional + 60, headers}, {kOptional + 72, 0x100000}, {kOptional + 76, 0x1000}, {kOptional + 80, 0x100000},
        {kOptional + 84, 0x1000}, {kOptional + 92, 16}, {kOptional + 112, kBuiltResourceRva}, {kOptional + 116, size},
        {kSection, 0x7273722E}, {kSection + 4, 'c'}, // ".rsrc"
        {kSection + 8, size}, {kSection + 12, kBuiltResourceRva}, {kSection + 16, raw}, {kSection + 20, headers},
        {kSection + 36, 0x40000040}};
    for (auto [at, value] : words) StoreU16(file, at, value);
    for (auto [at, value] : dwords) StoreU32(file, at, value);
    std::ranges::copy(directory, file.begin() + headers);
    return file;
}

// Version entry: WORD length, WORD value length, WORD type (1 text, 0 binary),
// zero-terminated key, padding to 4, value, then each child padded to 4. Every
// entry starts 4-aligned in the resource, so aligning relative to the entry's
// own start gives the same padding; the length leaves out trailing padding.
Bytes VersionNode(std::u16string_view key, std::uint16_t type, std::uint16_t valueLength, std::span<const std::uint8_t> value,
                  const std::vector<Bytes>& children = {}) {
    ByteWriter out;
    out.U16(0);
    out.U16(valueLength);
    out.U16(type);
    out.Utf16z(key);
    out.PadTo(4);
    out.Bytes(value);
    for (const auto& child : children) {
        out.PadTo(4);
        out.Bytes(child);
    }
    out.SetU16At(0, static_cast<std::uint16_t>(out.Size()));
    return out.Take();
}

} // namespace

std::vector<std::uint8_t> BuildPeWithResources(const std::vector<BuiltResource>& resources) {
    Types types;
    for (const BuiltResource& resource : resources)
        if (!types[resource.type][resource.name].emplace(resource.language, &resource.bytes).second)
            throw std::invalid_argument("resource given twice: " + resource.type.ToString() + " " +
                                        resource.name.ToString() + " " + std::to_string(resource.language));
    return Image(Directory(types));
}

std::vector<std::uint8_t> StringBlockBytes(const std::array<std::u16string, 16>& slots) {
    ByteWriter out;
    for (const std::u16string& text : slots) {
        out.U16(static_cast<std::uint16_t>(text.size()));
        out.Utf16(text);
    }
    return out.Take();
}

std::vector<std::uint8_t> StandardDialogBytes(std::u16string caption, const std::vector<DialogControl>& controls) {
    const auto count = static_cast<std::uint16_t>(controls.size());
    // Header: WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    // extended style, item count, x, y, cx, cy, menu (none), class (default),
    // caption, then the font.
    ByteWriter out;
    out.U32(0x80C800C0);
    out.U32(0);
    for (std::uint16_t value : {count, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{186},
                                static_cast<std::uint16_t>(14 + 16 * count), std::uint16_t{0}, std::uint16_t{0}})
        out.U16(value);
    out.Utf16z(caption);
    out.U16(8);
    out.Utf16z(u"MS Sans Serif");
    // Each control starts on a DWORD: style (WS_CHILD | WS_VISIBLE |
    // WS_TABSTOP), extended style, x, y, cx, cy, id, class ordinal (BUTTON),
    // title, creation-data size.
    for (std::uint16_t i = 0; i < count; ++i) {
        out.PadTo(4);
        out.U32(0x50010000);
        out.U32(0);
        for (std::uint16_t value : {std::uint16_t{7}, static_cast<std::uint16_t>(7 + 16 * i), std::uint16_t{50},
                                    std::uint16_t{14}, controls[i].first, std::uint16_t{0xFFFF}, std::uint16_t{0x0080}})
            out.U16(value);
        out.Utf16z(controls[i].second);
        out.U16(0);
    }
    return out.Take();
}

std::vector<std::uint8_t> StandardMenuBytes(const std::vector<BuiltMenuPopup>& popups) {
    constexpr std::uint16_t kPopup = 0x0010, kEnd = 0x0080;
    if (popups.empty()) throw std::invalid_argument("a menu needs at least one popup");
    ByteWriter out;
    out.U32(0); // standard template, no extra header bytes
    for (std::size_t p = 0; p < popups.size(); ++p) {
        if (popups[p].items.empty()) throw std::invalid_argument("popup has no items");
        out.U16(static_cast<std::uint16_t>(p + 1 == popups.size() ? kPopup | kEnd : kPopup));
        out.Utf16z(popups[p].text);
        for (std::size_t i = 0; i < popups[p].items.size(); ++i) {
            out.U16(i + 1 == popups[p].items.size() ? kEnd : 0);
            out.U16(popups[p].items[i].id);
            out.Utf16z(popups[p].items[i].text);
        }
    }
    return out.Take();
}

std::vector<std::uint8_t> VersionBytes(const BuiltVersion& version) {
    std::vector<Bytes> strings;
    for (const auto& [key, text] : version.strings) {
        ByteWriter value;
        value.Utf16z(text);
        // Text values count UTF-16 units, terminator included.
        strings.push_back(VersionNode(key, 1, static_cast<std::uint16_t>(text.size() + 1), value.Data()));
    }
    char key[9];
    std::snprintf(key, sizeof key, "%04x%04x", unsigned{version.language}, unsigned{version.codePage});
    auto table = VersionNode(std::u16string(key, key + 8), 1, 0, {}, strings);
    ByteWriter translation;
    translation.U16(version.language);
    translation.U16(version.codePage);
    auto varFileInfo = VersionNode(u"VarFileInfo", 1, 0, {}, {VersionNode(u"Translation", 0, 4, translation.Data())});
    // VS_FIXEDFILEINFO: signature, structure version 1.0, file and product
    // versions, flags mask and flags, VOS_NT_WINDOWS32, VFT_DLL (as the image
    // is), subtype, date.
    const auto& file = version.fileVersion;
    const auto& product = version.productVersion;
    auto pack = [](std::uint16_t high, std::uint16_t low) { return std::uint32_t{high} << 16 | low; };
    ByteWriter fixed;
    for (std::uint32_t value : {0xFEEF04BDu, 0x00010000u, pack(file[0], file[1]), pack(file[2], file[3]),
                                pack(product[0], product[1]), pack(product[2], product[3]), 0x3Fu, 0u, 0x00040004u, 2u,
                                0u, 0u, 0u})
        fixed.U32(value);
    return VersionNode(u"VS_VERSION_INFO", 0, static_cast<std::uint16_t>(fixed.Size()), fixed.Data(),
                       {VersionNode(u"StringFileInfo", 1, 0, {}, {table}), varFileInfo});
}

} // namespace quillon::testing
