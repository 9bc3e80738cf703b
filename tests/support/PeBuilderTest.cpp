// The generated modules stand in for real ones in many tests, so a module of
// every template the builder writes must scan without a fault, with every
// control, item and version field in place.

#include <gtest/gtest.h>

#include "extract/ResourceExtractor.h"
#include "pe/ResourceModule.h"
#include "support/PeBuilder.h"

using namespace quillon;
using namespace quillon::testing;

TEST(PeBuilder, TemplatesScanWithoutFaults) {
    std::array<std::u16string, 16> slots;
    slots[1] = u"Ready";
    slots[2] = u"Saved";
    BuiltVersion version;
    version.fileVersion = {3, 1, 0, 7};
    auto id = [](std::uint16_t value) { return ResourceId::Integer(value); };
    auto module = ResourceModule::FromBytes(BuildPeWithResources(
        {{id(6), id(1), 0x0409, StringBlockBytes(slots)},
         {id(5), id(200), 0x0409, StandardDialogBytes(u"About", {{1, u"OK"}, {2, u"&Cancel"}})},
         {id(4), id(300), 0x0409,
          StandardMenuBytes({{u"&File", {{10, u"&Open"}, {0, u""}, {11, u"E&xit"}}}, {u"&Help", {{20, u"&About"}}}})},
         {id(16), id(1), 0x0409, VersionBytes(version)}}));
    ASSERT_TRUE(module);
    CResourceInfo info;
    CResourceExtractor extractor(std::move(module).Value(), info, CodePage(1252));
    extractor.Extract();
    EXPECT_TRUE(extractor.Report().diagnostics.empty()) << extractor.Report().diagnostics.front();
    EXPECT_EQ(info.m_nStrings, 2u);
    EXPECT_EQ(info.m_nPopups, 3u) << "the menu's own node and two popups";
    EXPECT_EQ(info.m_nMenuItems, 4u) << "three items and a separator";
    EXPECT_EQ(info.m_dwFileVersionMS, 0x00030001u);
    EXPECT_EQ(info.m_dwFileVersionLS, 0x00000007u);
    const CResourceItem& cancel = *info.m_Dialogs.GetChildren().at(0)->GetChildren().at(1);
    EXPECT_EQ(cancel.GetText(), "Cancel");
    EXPECT_EQ(cancel.m_nID, 2);
    EXPECT_EQ(info.m_Menus.GetChildren().at(0)->GetChildren().at(1)->GetChildren().at(0)->m_nID, 20);
}
