#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "extract/Scans.h"
#include "support/PeBuilder.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

std::unique_ptr<Scan> ScanCorrupt(const std::string& name) { return ScanBytes(FixtureBytes("corrupt/" + name)); }

// The index of the first diagnostic that holds `text`, past the last when none does.
std::size_t FirstMention(const ExtractReport& report, const std::string& text) {
    for (std::size_t i = 0; i < report.diagnostics.size(); ++i)
        if (report.diagnostics[i].find(text) != std::string::npos) return i;
    return report.diagnostics.size();
}

} // namespace

// Each damaged copy of basic32.exe scans as basic32.exe does but for the one
// resource its fault is in, which keeps what was read before the fault, and
// the report has one more line that says where.
TEST(DamagedTemplates, OnlyTheDamagedResourceDiffersAndTheReportSaysWhere) {
    auto good = ScanBytes(FixtureBytes("basic32.exe"));
    const struct {
        const char* file;
        Root root;
        std::int32_t id;        // the damaged resource; 0: the version resource
        std::size_t items;      // what is left of it, every level counted
        const char* diagnostic; // "" when the fault goes unreported
    } cases[] = {
        {"dialog-overrun.exe", Root::Dialogs, 200, 9, // the eight real controls
         "dialog 200: control 9 of 200 starts past the end at byte 418 (kept what was read before)"},
        {"dialog-header-cut.exe", Root::Dialogs, 200, 0, "dialog 200: header is cut off at byte 10 (kept what was read before)"},
        // Without end bits no level closes: what follows a popup stays inside it.
        {"menu-noend.exe", Root::Menus, 100, 15, "menu 100: entry runs past the end at byte 308 (kept what was read before)"},
        {"menu-unterminated.exe", Root::Menus, 100, 2, "menu 100: text has no terminator at byte 22 (kept what was read before)"},
        // A zero length ends the level at once: StringFileInfo and what follows are gone.
        {"version-zero-length.exe", Root::Version, 0, 0, ""},
        // An entry longer than its parent is cut to it; what it holds is still read.
        {"version-huge-length.exe", Root::Version, 0, 12, "version resource: entry at 0 runs past its parent (cut)"},
        {"version-deep.exe", Root::Version, 0, 12, "version resource: entry at 364 runs past its parent (cut)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto damaged = ScanCorrupt(c.file);
        for (const RootInfo& root : Roots()) {
            if (root.root == c.root && c.id == 0) continue;
            std::int32_t leaveOut = root.root == c.root ? c.id : 0;
            EXPECT_EQ(Outline(RootItem(damaged->info, root.root), leaveOut), Outline(RootItem(good->info, root.root), leaveOut));
        }
        const CResourceItem& root = RootItem(damaged->info, c.root);
        const CResourceItem* resource = c.id ? ChildWithId(root, c.id) : nullptr;
        std::size_t items = c.id ? (resource ? 1 + std::ranges::count(Outline(*resource), '\n') : 0)
                                 : std::ranges::count(Outline(root), '\n');
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(damaged->info.m_VersionInfo.m_FixedInfo, good->info.m_VersionInfo.m_FixedInfo);
        std::multiset<std::string> diagnostics(good->report.diagnostics.begin(), good->report.diagnostics.end());
        if (*c.diagnostic) diagnostics.insert(c.diagnostic);
        EXPECT_EQ(std::multiset<std::string>(damaged->report.diagnostics.begin(), damaged->report.diagnostics.end()),
                  diagnostics);
        // A dialog or menu read in part is marked for the tree; the version resource is not in it.
        ScanWarnings marks = good->info.m_scanWarnings; // its extended menu, which is not read
        if (*c.diagnostic && c.id) marks[std::string(RootName(c.root)) + "/" + std::to_string(c.id)] = {c.diagnostic};
        EXPECT_EQ(damaged->info.m_scanWarnings, marks);
    }
}

// Files cut short whose headers still claim sections past their end: only
// resources whose bytes are still in the file are read, and the cut is named.
// (Building from them is refused: StreamedBuild.TargetsAreTheBytesTheBuilderAlwaysWrote.)
TEST(DamagedModules, CutInsideTheResourceSectionStillScansWhatIsThere) {
    for (auto [file, fewest, most] : {std::tuple{"truncated-rsrc.exe", 1u, 10u}, {"truncated-half.exe", 0u, 9u}}) {
        auto scan = ScanCorrupt(file);
        EXPECT_LT(FirstMention(scan->report, "cut short by the end of the file"), scan->report.diagnostics.size()) << file;
        EXPECT_GE(scan->info.m_Strings.GetCount(), fewest) << file;
        EXPECT_LE(scan->info.m_Strings.GetCount(), most) << file;
    }
}

// Cut basic32.exe at every offset, and flip single bytes across the whole
// resource section of basic64.exe: each copy is refused or scanned, never a
// crash, a hang or a read outside the bytes (the sanitizer build checks the
// last), and its counters agree with its tree.
TEST(DamagedModules, EveryTruncationAndByteFlipIsHandled) {
    std::vector<std::uint8_t> whole = FixtureBytes("basic32.exe");
    std::size_t refused = 0;
    for (std::size_t cut = 0; cut < whole.size(); cut += 7) {
        auto scan = ScanBytes(std::vector<std::uint8_t>(whole.begin(), whole.begin() + cut));
        refused += scan->report.loaded ? 0 : 1;
        EXPECT_LE(scan->info.m_nStrings, 10u);
    }
    EXPECT_GT(refused, 0u);

    whole = FixtureBytes("basic64.exe");
    const SectionHeader rsrc = PeImage::Parse(whole).Value().Sections().back();
    ASSERT_EQ(rsrc.Name(), ".rsrc");
    for (std::uint32_t offset = rsrc.pointerToRawData; offset < rsrc.pointerToRawData + rsrc.sizeOfRawData;
         offset += 3) {
        std::vector<std::uint8_t> bytes = whole;
        bytes[offset] ^= 0xFF;
        auto scan = ScanBytes(std::move(bytes));
        EXPECT_EQ(scan->info.m_nDialogs, scan->info.m_Dialogs.GetCount());
        EXPECT_EQ(scan->info.m_nStrings, scan->info.m_Strings.GetCount());
    }
}

namespace {

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

} // namespace

// Dialogs and menus of a large module are read beside the string tables: the
// tree, the faults and their order, the replaced characters and the progress
// must be those of reading one resource after another.
TEST(LargeScan, TemplatesReadBesideTheStringsGiveTheSinglePassResult) {
    std::vector<std::uint8_t> image = ManyTemplatesModule();
    CountingProgress progress;
    auto scan = ScanBytes(image, 1252, &progress);
    const CResourceInfo& info = scan->info;
    const ExtractReport& report = scan->report;

    CResourceInfo expected;
    CResourceExtractor onePass(ResourceModule::FromBytes(image).Value(), expected, CodePage(1252));
    for (std::uint16_t block = 1; block <= 4; ++block) onePass.ReadStringBlock(block);
    for (std::uint16_t id = 100; id < 180; ++id) onePass.ParseDialog(id);
    for (std::uint16_t id = 1; id <= 8; ++id) onePass.ParseMenu(id);
    onePass.ParseVersion(1);
    expected.Recount();
    expected.m_dwFileVersionMS = info.m_dwFileVersionMS;
    expected.m_dwFileVersionLS = info.m_dwFileVersionLS;
    expected.m_wLanguage = info.m_wLanguage;
    EXPECT_TRUE(info == expected);

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
