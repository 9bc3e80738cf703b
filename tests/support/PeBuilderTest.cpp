// The generated modules stand in for real ones in many tests, so they are
// checked here against the project's reader. (The template bytes the builder
// writes are the product readers' business: tests/templates and tests/extract.)

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "extract/ResourceExtractor.h"
#include "io/ByteReader.h"
#include "pe/ResourceModule.h"
#include "support/PeBuilder.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

using Bytes = std::vector<std::uint8_t>;

ResourceId Id(std::uint16_t id) { return ResourceId::Integer(id); }
ResourceId Name(std::u16string name) { return ResourceId::Named(std::move(name)); }

// Distinct contents per resource, of a length that is rarely a multiple of 8.
Bytes Payload(std::uint8_t seed, std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + 31 * i);
    return bytes;
}

ResourceModule Read(const std::vector<BuiltResource>& resources) {
    auto module = ResourceModule::FromBytes(BuildPeWithResources(resources));
    if (!module) throw std::runtime_error(module.GetError().Describe());
    return std::move(module).Value();
}

std::string Path(const ResourceId& type, const ResourceId& name, std::uint16_t language) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(language));
    return type.ToString() + "/" + name.ToString() + "/" + hex;
}

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) { return *ByteReader::U32At(bytes, at); }
std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t at) { return *ByteReader::U16At(bytes, at); }

// The name fields of a directory table's entries, as stored.
std::vector<std::uint32_t> TableIds(std::span<const std::uint8_t> directory, std::uint32_t table) {
    std::vector<std::uint32_t> ids;
    std::size_t count = std::size_t{U16(directory, table + 12)} + U16(directory, table + 14);
    for (std::size_t i = 0; i < count; ++i) ids.push_back(U32(directory, table + 16 + 8 * i));
    return ids;
}

std::uint32_t SubTable(std::span<const std::uint8_t> directory, std::uint32_t table, std::size_t index) {
    return U32(directory, table + 16 + 8 * index + 4) & 0x7FFFFFFF;
}

} // namespace

TEST(PeBuilder, DirectoryIsSortedAlignedAndReadsBackUnchanged) {
    const std::vector<BuiltResource> scrambled{
        {Id(6), Id(300), 0x0409, Payload(1, 5)},    {Id(5), Name(u"b"), 0x0409, Payload(2, 3)},
        {Id(4), Id(1), 0x0409, Payload(3, 9)},      {Name(u"ZED"), Id(1), 0x0000, Payload(4, 1)},
        {Id(6), Id(2), 0x0409, Payload(5, 16)},     {Id(5), Id(1), 0x0409, Payload(6, 7)},
        {Id(4), Id(1), 0x0000, Payload(7, 2)},      {Id(5), Name(u"B"), 0x0409, Payload(8, 11)},
        {Name(u"AAA"), Name(u"X"), 0x0c0c, Payload(9, 6)}, {Id(6), Id(17), 0x0409, Payload(10, 1000)},
        {Id(4), Id(1), 0x0407, Payload(11, 4)},     {Id(5), Name(u"AB"), 0x0409, Payload(12, 13)},
    };
    ResourceModule module = Read(scrambled);
    EXPECT_TRUE(module.Diagnostics().empty()) << module.Diagnostics().front();
    std::map<std::string, Bytes> given;
    for (const BuiltResource& resource : scrambled) given[Path(resource.type, resource.name, resource.language)] = resource.bytes;
    std::vector<std::string> listing;
    for (const auto& type : module.Tree().types)
        for (const auto& name : type.names)
            for (const auto& leaf : name.languages) {
                std::string where = Path(type.type, name.name, leaf.language);
                listing.push_back(where);
                EXPECT_EQ(leaf.rva % 8, 0u) << where;
                ASSERT_TRUE(leaf.bytes && given.contains(where)) << where;
                EXPECT_EQ(Bytes(leaf.bytes->begin(), leaf.bytes->end()), given[where]) << where;
            }
    // Names compare by code unit, so "B" sorts before "b"; IDs numerically.
    EXPECT_EQ(listing, (std::vector<std::string>{"AAA/X/0c0c", "ZED/#1/0000", "#4/#1/0000", "#4/#1/0407", "#4/#1/0409",
                                                 "#5/AB/0409", "#5/B/0409", "#5/b/0409", "#5/#1/0409", "#6/#2/0409",
                                                 "#6/#17/0409", "#6/#300/0409"}));
    // The reader sorts languages itself, so look at the stored table.
    auto directory = *module.Image().BytesFromRva(kBuiltResourceRva);
    EXPECT_EQ(U16(directory, 12), 2) << "named type entries";
    EXPECT_EQ(TableIds(directory, 0)[2], 4u);
    std::uint32_t menus = SubTable(directory, 0, 2);
    EXPECT_EQ(TableIds(directory, SubTable(directory, menus, 0)), (std::vector<std::uint32_t>{0x0000, 0x0407, 0x0409}));
}

// What the scan takes from a module made of every template the builder
// writes: nothing damaged, every control, item and version field in place.
TEST(PeBuilder, TemplatesScanWithoutFaults) {
    std::array<std::u16string, 16> slots;
    slots[1] = u"Ready";
    slots[2] = u"Saved";
    BuiltVersion version;
    version.fileVersion = {3, 1, 0, 7};
    CResourceInfo info;
    CResourceExtractor extractor(
        Read({{Id(6), Id(1), 0x0409, StringBlockBytes(slots)},
              {Id(5), Id(200), 0x0409, StandardDialogBytes(u"About", {{1, u"OK"}, {2, u"&Cancel"}})},
              {Id(4), Id(300), 0x0409,
               StandardMenuBytes({{u"&File", {{10, u"&Open"}, {0, u""}, {11, u"E&xit"}}}, {u"&Help", {{20, u"&About"}}}})},
              {Id(16), Id(1), 0x0409, VersionBytes(version)}}),
        info, CodePage(1252));
    extractor.Extract();
    EXPECT_TRUE(extractor.Report().diagnostics.empty()) << extractor.Report().diagnostics.front();
    EXPECT_EQ(info.m_nStrings, 2u);
    EXPECT_EQ(info.m_nControls, 2u);
    EXPECT_EQ(info.m_nPopups, 3u) << "the menu's own node and two popups";
    EXPECT_EQ(info.m_nMenuItems, 4u) << "three items and a separator";
    EXPECT_EQ(info.m_dwFileVersionMS, 0x00030001u);
    EXPECT_EQ(info.m_dwFileVersionLS, 0x00000007u);
    EXPECT_EQ(info.m_wLanguage, 0x0409);
    const CResourceItem& cancel = *info.m_Dialogs.GetChildren().at(0)->GetChildren().at(1);
    EXPECT_EQ(cancel.GetText(), "Cancel");
    EXPECT_EQ(cancel.m_nID, 2);
    EXPECT_EQ(info.m_Menus.GetChildren().at(0)->GetChildren().at(1)->GetChildren().at(0)->m_nID, 20);
}
