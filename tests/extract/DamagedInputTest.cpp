#include <gtest/gtest.h>

#include "Fixtures.h"
#include "extract/ResourceExtractor.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

struct Scan {
    CResourceInfo info;
    ExtractReport report;
};

std::unique_ptr<Scan> ScanBytes(std::vector<std::uint8_t> bytes) {
    auto scan = std::make_unique<Scan>();
    auto module = ResourceModule::FromBytes(std::move(bytes));
    if (!module) return scan;
    CResourceExtractor extractor(std::move(module).Value(), scan->info, CodePage(1252));
    extractor.Extract();
    scan->report = extractor.Report();
    return scan;
}

std::unique_ptr<Scan> ScanCorrupt(const std::string& name) { return ScanBytes(FixtureBytes("corrupt/" + name)); }

bool Mentions(const ExtractReport& report, const std::string& text) {
    for (const auto& line : report.diagnostics)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(DamagedTemplates, DialogWhoseItemCountRunsPastItsEndKeepsItsControls) {
    auto scan = ScanCorrupt("dialog-overrun.exe");
    const CResourceItem* dialog = ChildWithId(scan->info.m_Dialogs, 200);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetCount(), 8u); // the eight real controls, then the fault
    EXPECT_TRUE(Mentions(scan->report, "dialog 200"));
    EXPECT_EQ(scan->info.m_nDialogs, 4u);
}

TEST(DamagedTemplates, DialogShorterThanItsHeaderIsSkipped) {
    auto scan = ScanCorrupt("dialog-header-cut.exe");
    EXPECT_EQ(ChildWithId(scan->info.m_Dialogs, 200), nullptr);
    EXPECT_NE(ChildWithId(scan->info.m_Dialogs, 201), nullptr);
    EXPECT_TRUE(Mentions(scan->report, "dialog 200"));
}

TEST(DamagedTemplates, MenuWithoutEndBitsStopsAtTheResourceEnd) {
    auto scan = ScanCorrupt("menu-noend.exe");
    const CResourceItem* menu = ChildWithId(scan->info.m_Menus, 100);
    ASSERT_NE(menu, nullptr);
    ASSERT_GE(menu->GetCount(), 1u);
    EXPECT_EQ(menu->GetChildren()[0]->m_strText, "File");
    EXPECT_TRUE(Mentions(scan->report, "menu 100"));
    // The scan goes on after the damaged menu.
    EXPECT_EQ(scan->info.m_Strings.GetCount(), 10u);
}

TEST(DamagedTemplates, UnterminatedMenuTextKeepsWhatCameBefore) {
    auto scan = ScanCorrupt("menu-unterminated.exe");
    const CResourceItem* menu = ChildWithId(scan->info.m_Menus, 100);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->GetCount(), 1u);
    EXPECT_EQ(menu->GetChildren()[0]->m_strText, "File");
    EXPECT_EQ(menu->GetChildren()[0]->GetCount(), 0u);
}

TEST(DamagedTemplates, VersionEntriesWithBadLengths) {
    auto zero = ScanCorrupt("version-zero-length.exe");
    // A zero length ends the level at once: StringFileInfo and what follows are gone.
    EXPECT_EQ(zero->info.m_VersionInfo.m_Root.GetCount(), 0u);
    EXPECT_EQ(zero->info.m_VersionInfo.m_FixedInfo[0], 0xBD);

    auto huge = ScanCorrupt("version-huge-length.exe");
    // The root is cut to the resource; its children are still read.
    EXPECT_EQ(huge->info.m_VersionInfo.m_Root.GetCount(), 2u);
    EXPECT_TRUE(Mentions(huge->report, "version resource"));

    auto deep = ScanCorrupt("version-deep.exe");
    EXPECT_GE(deep->info.m_VersionInfo.m_Root.GetCount(), 1u);
    EXPECT_EQ(deep->info.m_dwFileVersionMS, 0x00010002u);
}

TEST(DamagedModules, CutInsideTheResourceSectionStillScansWhatIsThere) {
    auto scan = ScanCorrupt("truncated-rsrc.exe");
    EXPECT_FALSE(scan->report.diagnostics.empty());
    EXPECT_GT(scan->info.m_Strings.GetCount(), 0u); // blocks before the cut are read
    auto half = ScanCorrupt("truncated-half.exe");
    // Only resources whose bytes are still in the file are read.
    EXPECT_LT(half->info.m_Strings.GetCount(), 10u);
    EXPECT_FALSE(half->report.diagnostics.empty());
}

// Cut the module at every offset: each prefix is refused or scanned, never a
// crash, a hang or a read outside the bytes (the sanitizer build checks the last).
TEST(DamagedModules, EveryTruncationOfAFixtureIsHandled) {
    std::vector<std::uint8_t> whole = FixtureBytes("basic32.exe");
    ASSERT_FALSE(whole.empty());
    std::size_t refused = 0;
    for (std::size_t cut = 0; cut < whole.size(); cut += 7) {
        auto module = ResourceModule::FromBytes(std::vector<std::uint8_t>(whole.begin(), whole.begin() + cut));
        if (!module) {
            ++refused;
            continue;
        }
        CResourceInfo info;
        CResourceExtractor extractor(std::move(module).Value(), info, CodePage(1252));
        EXPECT_TRUE(extractor.Extract());
        EXPECT_LE(info.m_nStrings, 10u);
    }
    EXPECT_GT(refused, 0u);
}

// Flip single bytes across the whole resource section of a fixture.
TEST(DamagedModules, ByteFlipsInTheResourceSectionAreHandled) {
    std::vector<std::uint8_t> whole = FixtureBytes("basic64.exe");
    auto module = ResourceModule::FromBytes(whole);
    ASSERT_TRUE(module);
    const SectionHeader* rsrc = nullptr;
    for (const auto& section : module.Value().Image().Sections())
        if (section.Name() == ".rsrc") rsrc = &section;
    ASSERT_NE(rsrc, nullptr);
    for (std::uint32_t offset = rsrc->pointerToRawData; offset < rsrc->pointerToRawData + rsrc->sizeOfRawData;
         offset += 3) {
        std::vector<std::uint8_t> bytes = whole;
        bytes[offset] ^= 0xFF;
        auto scan = ScanBytes(std::move(bytes));
        EXPECT_EQ(scan->info.m_nDialogs, scan->info.m_Dialogs.GetCount());
        EXPECT_EQ(scan->info.m_nStrings, scan->info.m_Strings.GetCount());
    }
}
