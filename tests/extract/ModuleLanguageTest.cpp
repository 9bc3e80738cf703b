#include <gtest/gtest.h>

#include "extract/LanguageModules.h"
#include "extract/Scans.h"

using namespace quillon;
using namespace quillon::testing;

TEST(ModuleLanguage, WithoutDeclarationTheLanguageHoldingMostResourcesWins) {
    BuiltVersion german;
    german.language = 0x0407;
    const std::pair<std::vector<BuiltResource>, std::uint16_t> cases[] = {
        {{Strings(0x0415, 1, u"a"), Dialog(0x0415, 100, u"b")}, 0x0415},
        {{Strings(0x0409, 1, u"a"), Strings(0x040C, 2, u"b"), Dialog(0x040C, 100, u"c")}, 0x040C},
        {{Strings(0x0000, 1, u"a"), Strings(0x0409, 2, u"b")}, 0x0000}, // ties: neutral,
        {{Strings(0x0809, 1, u"a"), Strings(0x0407, 2, u"b")}, 0x0809}, // then English,
        {{Strings(0x0407, 1, u"a"), Strings(0x0405, 2, u"b")}, 0x0405}, // then the lowest
        {{Strings(0x0409, 1, u"a"), ExtendedMenu(0x040C, 1), ExtendedMenu(0x040C, 2)}, 0x0409},
        {{Strings(0x0409, 1, u"a"), {ResourceId::Integer(16), ResourceId::Integer(1), 0x0409, VersionBytes(german)}},
         0x0407},
    };
    for (const auto& [resources, expected] : cases)
        EXPECT_EQ(ScanBytes(BuildPeWithResources(resources))->info.m_wLanguage, expected);
}
