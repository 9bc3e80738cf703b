// The generated modules stand in for real ones in many tests, so a module of
// every template the builder writes must scan without a fault, with every
// control, item and version field in place.

#include <gtest/gtest.h>

#include "extract/Scans.h"
#include "support/PeBuilder.h"

using namespace quillon;
using namespace quillon::testing;

TEST(PeBuilder, TemplatesScanWithoutFaults) {
    const std::array<std::u16string, 16> slots{u"", u"Ready", u"Saved"};
    auto id = [](std::uint16_t value) { return ResourceId::Integer(value); };
    auto scan = ScanBytes(BuildPeWithResources(
        {{id(6), id(1), 0x0409, StringBlockBytes(slots)},
         {id(5), id(200), 0x0409, StandardDialogBytes(u"About", {{1, u"OK"}, {2, u"&Cancel"}})},
         {id(4), id(300), 0x0409,
          StandardMenuBytes({{u"&File", {{10, u"&Open"}, {0, u""}, {11, u"E&xit"}}}, {u"&Help", {{20, u"&About"}}}})},
         {id(16), id(1), 0x0409, VersionBytes({.fileVersion = {3, 1, 0, 7}})}}));
    const CResourceInfo& info = scan->info;
    EXPECT_TRUE(scan->report.diagnostics.empty()) << scan->report.diagnostics.front();
    // Popups: the menu's own node and two popups; items: three and a separator.
    EXPECT_EQ(std::tuple(info.m_nStrings, info.m_nPopups, info.m_nMenuItems, info.m_dwFileVersionMS, info.m_dwFileVersionLS),
              std::tuple(2u, 3u, 4u, 0x00030001u, 0x00000007u));
    EXPECT_EQ(TextAt(info.m_Dialogs, {200, 2}), "Cancel");
    EXPECT_EQ(info.m_Menus.GetChildren().at(0)->GetChildren().at(1)->GetChildren().at(0)->m_nID, 20);
}
