// The generated modules stand in for real ones in many tests, so they are
// checked here against the project's reader and, where the layout matters,
// against byte offsets worked out by hand.

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "extract/ResourceExtractor.h"
#include "io/ByteReader.h"
#include "pe/ResourceModule.h"
#include "pe/VersionEntries.h"
#include "support/PeBuilder.h"

using quillon::ByteReader;
using quillon::ResourceId;
using quillon::ResourceModule;
using quillon::testing::BuildPeWithResources;
using quillon::testing::BuiltResource;

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

Bytes Copy(std::span<const std::uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

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

// Every leaf as "type/name/language" in the order the reader found it.
std::vector<std::string> Listing(const ResourceModule& module) {
    std::vector<std::string> out;
    for (const auto& type : module.Tree().types)
        for (const auto& name : type.names)
            for (const auto& leaf : name.languages) out.push_back(Path(type.type, name.name, leaf.language));
    return out;
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

const std::vector<BuiltResource>& Scrambled() {
    static const std::vector<BuiltResource> resources{
        {Id(6), Id(300), 0x0409, Payload(1, 5)},
        {Id(5), Name(u"b"), 0x0409, Payload(2, 3)},
        {Id(4), Id(1), 0x0409, Payload(3, 9)},
        {Name(u"ZED"), Id(1), 0x0000, Payload(4, 1)},
        {Id(6), Id(2), 0x0409, Payload(5, 16)},
        {Id(5), Id(1), 0x0409, Payload(6, 7)},
        {Id(4), Id(1), 0x0000, Payload(7, 2)},
        {Id(5), Name(u"B"), 0x0409, Payload(8, 11)},
        {Name(u"AAA"), Name(u"X"), 0x0c0c, Payload(9, 6)},
        {Id(6), Id(17), 0x0409, Payload(10, 1000)},
        {Id(4), Id(1), 0x0407, Payload(11, 4)},
        {Id(5), Name(u"AB"), 0x0409, Payload(12, 13)},
    };
    return resources;
}

} // namespace

TEST(PeBuilder, ReaderFindsTypesAndNamesInDirectoryOrder) {
    ResourceModule module = Read(Scrambled());
    EXPECT_TRUE(module.Diagnostics().empty()) << module.Diagnostics().front();
    // Names compare by code unit, so "B" sorts before "b"; IDs numerically.
    std::vector<std::string> expected{
        "AAA/X/0c0c", "ZED/#1/0000", "#4/#1/0000", "#4/#1/0407", "#4/#1/0409", "#5/AB/0409",
        "#5/B/0409",  "#5/b/0409",   "#5/#1/0409", "#6/#2/0409", "#6/#17/0409", "#6/#300/0409",
    };
    EXPECT_EQ(Listing(module), expected);
}

TEST(PeBuilder, LanguageTableIsSortedInTheFile) {
    // The reader sorts languages itself, so look at the stored table.
    ResourceModule module = Read(Scrambled());
    auto directory = *module.Image().BytesFromRva(quillon::testing::kBuiltResourceRva);
    auto types = TableIds(directory, 0);
    ASSERT_EQ(types.size(), 5u);
    EXPECT_EQ(U16(directory, 12), 2) << "named type entries";
    EXPECT_EQ(types[2], 4u);
    std::uint32_t menus = SubTable(directory, 0, 2);
    std::uint32_t languages = SubTable(directory, menus, 0);
    EXPECT_EQ(TableIds(directory, languages), (std::vector<std::uint32_t>{0x0000, 0x0407, 0x0409}));
}

TEST(PeBuilder, ResourceBytesComeBackUnchangedAndEightByteAligned) {
    ResourceModule module = Read(Scrambled());
    for (const BuiltResource& resource : Scrambled()) {
        std::string where = Path(resource.type, resource.name, resource.language);
        const auto* type = module.Tree().FindType(resource.type);
        ASSERT_NE(type, nullptr) << where;
        const quillon::ResourceLeaf* found = nullptr;
        for (const auto& name : type->names)
            if (name.name == resource.name)
                for (const auto& leaf : name.languages)
                    if (leaf.language == resource.language) found = &leaf;
        ASSERT_NE(found, nullptr) << where;
        EXPECT_EQ(found->rva % 8, 0u) << where;
        EXPECT_EQ(found->size, resource.bytes.size()) << where;
        ASSERT_TRUE(found->bytes) << where;
        EXPECT_EQ(Copy(*found->bytes), resource.bytes) << where;
    }
}

TEST(PeBuilder, HeadersDescribeOneResourceSection) {
    // Directory: three tables of one entry (3 * 24), one data entry (16), then
    // 5000 bytes at 88: 5088 = 0x13E0 bytes in all.
    ResourceModule module = Read({{Id(10), Id(1), 0, Payload(1, 5000)}});
    const quillon::PeImage& image = module.Image();
    auto file = image.File();
    std::uint32_t optional = image.OptionalHeaderOffset();

    EXPECT_FALSE(image.Is64());
    EXPECT_EQ(image.Machine(), 0x014C);
    EXPECT_EQ(image.FileAlignment(), 0x200u);
    EXPECT_EQ(image.SectionAlignment(), 0x1000u);
    EXPECT_EQ(U32(file, optional + 92), 16u) << "NumberOfRvaAndSizes";
    EXPECT_EQ(U32(file, optional + 60), 0x200u) << "SizeOfHeaders";
    EXPECT_EQ(U32(file, optional + 56), 0x3000u) << "SizeOfImage";
    EXPECT_EQ(U32(file, optional + 8), 0x1400u) << "SizeOfInitializedData";

    ASSERT_EQ(image.Sections().size(), 1u);
    const quillon::SectionHeader& section = image.Sections()[0];
    EXPECT_EQ(section.Name(), ".rsrc");
    EXPECT_EQ(section.virtualAddress, 0x1000u);
    EXPECT_EQ(section.virtualSize, 0x13E0u);
    EXPECT_EQ(section.pointerToRawData, 0x200u);
    EXPECT_EQ(section.sizeOfRawData, 0x1400u);
    EXPECT_EQ(section.characteristics, 0x40000040u);
    EXPECT_EQ(file.size(), 0x1600u);

    quillon::DataDirectory resources = image.Directory(quillon::kDirectoryResource);
    EXPECT_EQ(resources.address, 0x1000u);
    EXPECT_EQ(resources.size, 0x13E0u);
    EXPECT_EQ(module.FindLeaf(10, 1)->rva, 0x1000u + 88);
}

TEST(PeBuilder, ModuleWithoutResourcesHasAnEmptyDirectory) {
    ResourceModule module = Read({});
    EXPECT_TRUE(module.Tree().types.empty());
    EXPECT_TRUE(module.Diagnostics().empty());
    EXPECT_EQ(module.Image().Directory(quillon::kDirectoryResource).size, 16u);
}

TEST(PeBuilder, RejectsTheSameResourceTwice) {
    std::vector<BuiltResource> resources{{Id(5), Id(1), 0x0409, {1}}, {Id(5), Id(1), 0x0409, {2}}};
    EXPECT_THROW(BuildPeWithResources(resources), std::invalid_argument);
}

TEST(PeBuilder, StringBlockLayout) {
    std::array<std::u16string, 16> slots;
    slots[0] = u"A";
    slots[15] = u"Z";
    Bytes expected{1, 0, 'A', 0};
    expected.resize(4 + 14 * 2, 0);
    expected.insert(expected.end(), {1, 0, 'Z', 0});
    EXPECT_EQ(quillon::testing::StringBlockBytes(slots), expected);
}

TEST(PeBuilder, StringsReadBackThroughLoadString) {
    std::array<std::u16string, 16> slots;
    slots[0] = u"First";
    slots[5] = u"Tab\there";
    slots[15] = u"Last \u00E9";
    // Block 3 holds IDs 32..47.
    ResourceModule module = Read({{Id(6), Id(3), 0x0409, quillon::testing::StringBlockBytes(slots)}});
    EXPECT_EQ(module.LoadString(32), u"First");
    EXPECT_EQ(module.LoadString(37), u"Tab\there");
    EXPECT_EQ(module.LoadString(47), u"Last \u00E9");
    EXPECT_EQ(module.LoadString(33), std::nullopt);
    EXPECT_EQ(module.LoadString(31), std::nullopt);
    EXPECT_EQ(module.LoadString(48), std::nullopt);
}

TEST(PeBuilder, NeutralLanguageWinsWithoutVersionResource) {
    ResourceModule module = Read({
        {Id(5), Id(100), 0x0407, Payload(1, 20)},
        {Id(5), Id(100), 0x0409, Payload(2, 20)},
        {Id(5), Id(100), 0x0000, Payload(3, 20)},
    });
    EXPECT_EQ(module.DeclaredLanguage(), 0);
    const quillon::ResourceLeaf* leaf = module.FindLeaf(5, 100);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->language, 0x0000);
    EXPECT_EQ(Copy(*module.Find(5, 100)), Payload(3, 20));
}

TEST(PeBuilder, LowestLanguageWinsWithoutNeutralOrEnglish) {
    ResourceModule module = Read({
        {Id(5), Id(100), 0x0410, Payload(1, 20)},
        {Id(5), Id(100), 0x040C, Payload(2, 20)},
    });
    const quillon::ResourceLeaf* leaf = module.FindLeaf(5, 100);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->language, 0x040C);
    EXPECT_EQ(Copy(*module.Find(5, 100)), Payload(2, 20));
}

TEST(PeBuilder, DeclaredLanguageComesFromTheVersionResource) {
    quillon::testing::BuiltVersion version;
    version.language = 0x0407;
    ResourceModule module = Read({
        {Id(16), Id(1), 0x0000, quillon::testing::VersionBytes(version)},
        {Id(5), Id(100), 0x0000, Payload(1, 20)},
        {Id(5), Id(100), 0x0407, Payload(2, 20)},
        {Id(5), Id(100), 0x0409, Payload(3, 20)},
    });
    EXPECT_EQ(module.DeclaredLanguage(), 0x0407);
    EXPECT_EQ(module.FindLeaf(5, 100)->language, 0x0407);
}

TEST(PeBuilder, MenuLayoutSetsEndBits) {
    // Header (version 0, size 0); popup "F" with options POPUP|END; item 101
    // "O" with options END.
    Bytes expected{0, 0, 0, 0, 0x90, 0, 'F', 0, 0, 0, 0x80, 0, 101, 0, 'O', 0, 0, 0};
    EXPECT_EQ(quillon::testing::StandardMenuBytes({{u"F", {{101, u"O"}}}}), expected);
    EXPECT_THROW(quillon::testing::StandardMenuBytes({{u"F", {}}}), std::invalid_argument);
}

TEST(PeBuilder, DialogControlsStartOnDwordBoundaries) {
    Bytes dialog = quillon::testing::StandardDialogBytes(u"Ab", {{7, u"Go"}});
    // 18 header bytes, menu and class words, caption "Ab" (22..27), point size
    // at 28, face name (30..57), padding to the control at 60.
    EXPECT_EQ(U32(dialog, 0) & 0x40, 0x40u) << "DS_SETFONT";
    EXPECT_EQ(U16(dialog, 8), 1) << "item count";
    EXPECT_EQ(U16(dialog, 28), 8) << "point size";
    EXPECT_EQ(U16(dialog, 30), u'M');
    EXPECT_EQ(U16(dialog, 58), 0) << "padding";
    EXPECT_EQ(U16(dialog, 60 + 16), 7) << "control id";
    EXPECT_EQ(U16(dialog, 60 + 18), 0xFFFF);
    EXPECT_EQ(U16(dialog, 60 + 20), 0x0080) << "BUTTON";
    EXPECT_EQ(U16(dialog, 60 + 22), u'G');
    EXPECT_EQ(dialog.size(), 60u + 22 + 6 + 2);
}

TEST(PeBuilder, VersionLayout) {
    quillon::testing::BuiltVersion content;
    content.fileVersion = {2, 3, 4, 5};
    content.strings = {{u"CompanyName", u"Acme"}};
    Bytes version = quillon::testing::VersionBytes(content);
    // Root: length, value length 52, type 0, "VS_VERSION_INFO" (6..37), padding, fixed info at 40.
    EXPECT_EQ(U16(version, 0), version.size());
    EXPECT_EQ(U16(version, 2), 52);
    EXPECT_EQ(U32(version, 40), 0xFEEF04BDu);
    EXPECT_EQ(U32(version, 48), 0x00020003u);
    EXPECT_EQ(U32(version, 52), 0x00040005u);

    auto root = quillon::ParseVersionEntries(version);
    ASSERT_TRUE(root);
    const auto* company = quillon::FindVersionEntry(*root, u"\\StringFileInfo\\040904b0\\CompanyName");
    ASSERT_NE(company, nullptr);
    EXPECT_EQ(company->Text(), u"Acme");
    EXPECT_EQ(company->valueLength, 5) << "units, terminator included";
    auto translation = quillon::ReadVersionTranslation(version);
    ASSERT_TRUE(translation);
    EXPECT_EQ(translation->language, 0x0409);
    EXPECT_EQ(translation->codePage, 1200);
}

TEST(PeBuilder, TemplatesExtractIntoTheResourceTree) {
    std::array<std::u16string, 16> slots;
    slots[1] = u"Ready";
    slots[2] = u"Saved";
    quillon::testing::BuiltVersion version;
    version.fileVersion = {3, 1, 0, 7};
    ResourceModule module = Read({
        {Id(6), Id(1), 0x0409, quillon::testing::StringBlockBytes(slots)},
        {Id(5), Id(200), 0x0409, quillon::testing::StandardDialogBytes(u"About", {{1, u"OK"}, {2, u"&Cancel"}})},
        {Id(4), Id(300), 0x0409,
         quillon::testing::StandardMenuBytes({{u"&File", {{10, u"&Open"}, {0, u""}, {11, u"E&xit"}}},
                                              {u"&Help", {{20, u"&About"}}}})},
        {Id(16), Id(1), 0x0409, quillon::testing::VersionBytes(version)},
    });
    quillon::CResourceInfo info;
    quillon::CResourceExtractor extractor(std::move(module), info, quillon::CodePage(1252));
    extractor.Extract();
    EXPECT_TRUE(extractor.Report().diagnostics.empty()) << extractor.Report().diagnostics.front();

    EXPECT_EQ(info.m_nStrings, 2u);
    EXPECT_EQ(info.m_nDialogs, 1u);
    EXPECT_EQ(info.m_nControls, 2u);
    EXPECT_EQ(info.m_nPopups, 3u) << "the menu's own node and two popups";
    EXPECT_EQ(info.m_nMenuItems, 4u) << "three items and a separator";
    EXPECT_EQ(info.m_dwFileVersionMS, 0x00030001u);
    EXPECT_EQ(info.m_dwFileVersionLS, 0x00000007u);
    EXPECT_EQ(info.m_wLanguage, 0x0409);

    ASSERT_EQ(info.m_Dialogs.GetCount(), 1u);
    const auto& dialog = *info.m_Dialogs.GetChildren()[0];
    EXPECT_EQ(dialog.GetText(), "About");
    EXPECT_EQ(dialog.m_nID, 200);
    ASSERT_EQ(dialog.GetCount(), 2u);
    EXPECT_EQ(dialog.GetChildren()[1]->GetText(), "Cancel");
    EXPECT_EQ(dialog.GetChildren()[1]->m_nID, 2);

    ASSERT_EQ(info.m_Menus.GetCount(), 1u);
    const auto& menu = *info.m_Menus.GetChildren()[0];
    ASSERT_EQ(menu.GetCount(), 2u);
    EXPECT_EQ(menu.GetChildren()[0]->GetText(), "File");
    EXPECT_EQ(menu.GetChildren()[0]->GetCount(), 3u);
    EXPECT_EQ(menu.GetChildren()[1]->GetText(), "Help");
    EXPECT_EQ(menu.GetChildren()[1]->GetChildren()[0]->m_nID, 20);
}
