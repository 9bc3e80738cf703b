#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "Fixtures.h"
#include "extract/ResourceExtractor.h"
#include "support/PeBuilder.h"

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

namespace {

class StepCounter : public IProgress {
public:
    void Show(std::string_view, std::uint32_t range) override { this->range = range; }
    void Step() override { ++steps; }
    void Hide() override {}
    std::uint32_t range = 0;
    std::uint32_t steps = 0;
};

// Enough dialogs and menus for the scan to read them on a second thread,
// with damaged, named and unconvertible ones among them.
std::vector<std::uint8_t> ManyTemplatesModule() {
    std::vector<BuiltResource> resources;
    for (std::uint16_t block = 1; block <= 4; ++block) {
        std::array<std::u16string, 16> slots;
        for (std::size_t slot = 0; slot < 16; slot += 3) slots[slot] = u"Message " + std::u16string(1, u'A' + slot);
        if (block == 2) slots[1] = u"Not in 1252: \u4E2D";
        resources.push_back({ResourceId::Integer(6), ResourceId::Integer(block), 0x0409, StringBlockBytes(slots)});
    }
    resources.push_back({ResourceId::Integer(6), ResourceId::Named(u"EXTRA"), 0x0409, StringBlockBytes({u"x"})});
    for (std::uint16_t id = 100; id < 180; ++id) {
        std::u16string caption = id == 150 ? u"Page \u4E2D" : u"Page " + std::u16string(1, u'A' + id % 26);
        auto bytes = StandardDialogBytes(caption, {{1, u"&OK"}, {2, u"Cancel"}, {static_cast<std::uint16_t>(id), u"&Apply"}});
        if (id == 120) bytes.resize(bytes.size() - 10); // the last control is cut off
        resources.push_back({ResourceId::Integer(5), ResourceId::Integer(id), 0x0409, std::move(bytes)});
    }
    resources.push_back({ResourceId::Integer(5), ResourceId::Named(u"NAMED"), 0x0409, StandardDialogBytes(u"Named", {})});
    for (std::uint16_t id = 1; id <= 8; ++id) {
        auto bytes = StandardMenuBytes({{u"&File", {{10, u"&Open"}, {0, u""}, {11, u"E&xit"}}}});
        if (id == 5) bytes.resize(bytes.size() - 4); // no end bit, no terminator
        resources.push_back({ResourceId::Integer(4), ResourceId::Integer(id), 0x0409, std::move(bytes)});
    }
    resources.push_back({ResourceId::Integer(16), ResourceId::Integer(1), 0x0409, VersionBytes()});
    return BuildPeWithResources(resources);
}

std::size_t FirstMention(const ExtractReport& report, const std::string& text) {
    for (std::size_t i = 0; i < report.diagnostics.size(); ++i)
        if (report.diagnostics[i].find(text) != std::string::npos) return i;
    return report.diagnostics.size();
}

} // namespace

// Dialogs and menus of a large module are read beside the string tables: the
// tree, the faults and their order, the replaced characters and the progress
// must be those of reading one resource after another.
TEST(LargeScan, TemplatesReadBesideTheStringsGiveTheSinglePassResult) {
    std::vector<std::uint8_t> image = ManyTemplatesModule();
    CResourceInfo info;
    StepCounter progress;
    CResourceExtractor extractor(ResourceModule::FromBytes(image).Value(), info, CodePage(1252), &progress);
    extractor.Extract();
    const ExtractReport& report = extractor.Report();

    CResourceInfo expected;
    CResourceExtractor onePass(ResourceModule::FromBytes(image).Value(), expected, CodePage(1252));
    for (std::uint16_t block = 1; block <= 4; ++block) onePass.ReadStringBlock(block);
    for (std::uint16_t id = 100; id < 180; ++id) onePass.ParseDialog(id);
    for (std::uint16_t id = 1; id <= 8; ++id) onePass.ParseMenu(id);
    onePass.ParseVersion(1);
    expected.Recount();
    expected.m_timeExtracted = info.m_timeExtracted;
    expected.m_dwFileVersionMS = info.m_dwFileVersionMS;
    expected.m_dwFileVersionLS = info.m_dwFileVersionLS;
    expected.m_wLanguage = info.m_wLanguage;
    EXPECT_TRUE(info == expected);
    EXPECT_EQ(info.m_Dialogs.GetCount(), 80u);
    EXPECT_EQ(info.m_Menus.GetCount(), 8u);

    // Named resources come first in the directory, so first in their kind.
    std::vector<std::size_t> order = {FirstMention(report, "string table named \"EXTRA\""),
                                      FirstMention(report, "dialog named \"NAMED\""), FirstMention(report, "dialog 120:"),
                                      FirstMention(report, "menu 5:")};
    for (std::size_t position : order) EXPECT_LT(position, report.diagnostics.size());
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    std::vector<std::string> faults; // all but the skipped named resources, which only a whole scan reports
    std::copy_if(report.diagnostics.begin(), report.diagnostics.end(), std::back_inserter(faults),
                 [](const std::string& line) { return line.find(" named \"") == std::string::npos; });
    EXPECT_EQ(faults, onePass.Report().diagnostics);
    EXPECT_EQ(report.replacedCharacters, 2u);
    EXPECT_EQ(progress.steps, progress.range);
    EXPECT_EQ(progress.range, 4u * 16 + 80 + 8 + 1);
}
