// The generated modules stand in for real ones in many tests, so their
// templates are checked here against the project's scan. (The template bytes
// the builder writes are the product readers' business: tests/templates and
// tests/extract.)

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "extract/ResourceExtractor.h"
#include "pe/ResourceModule.h"
#include "support/PeBuilder.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

ResourceId Id(std::uint16_t id) { return ResourceId::Integer(id); }

ResourceModule Read(const std::vector<BuiltResource>& resources) {
    auto module = ResourceModule::FromBytes(BuildPeWithResources(resources));
    if (!module) throw std::runtime_error(module.GetError().Describe());
    return std::move(module).Value();
}

} // namespace

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
