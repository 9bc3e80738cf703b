// The menu template's one walker and its entry writer: every standard
// fixture menu comes back byte for byte, extended ones are recognised, and a
// damaged template faults where the walk stopped.

#include <gtest/gtest.h>

#include "io/ByteWriter.h"
#include "support/ResultChecks.h"
#include "templates/FixtureTemplates.h"
#include "templates/MenuLayout.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

Result<Bytes> RewriteMenu(std::span<const std::uint8_t> bytes) {
    auto entries = ReadStandardMenu(bytes);
    if (!entries) return entries.GetError();
    ByteWriter out;
    WriteMenuHeader(out);
    for (const MenuEntryView& entry : entries.Value()) WriteMenuEntry(out, entry.options, entry.id, Units(entry.text));
    return out.Take();
}

struct Entry { std::uint16_t options, id; std::u16string text; };

// Written field by field here, so that the layout under test is not its own oracle.
Bytes Menu(const std::vector<Entry>& entries, std::uint16_t version = 0, std::uint16_t headerSize = 0) {
    ByteWriter out;
    out.U16(version);
    out.U16(headerSize);
    for (const Entry& entry : entries) {
        out.U16(entry.options);
        if (!(entry.options & MenuOption::kPopup)) out.U16(entry.id);
        out.Utf16z(entry.text);
    }
    return out.Take();
}

// "&File" > "&Open" (10), "&Help" > "&About" (11): entries at 4, 18, 34, 48; the end at 66.
std::vector<Entry> TwoPopups(std::uint16_t end = MenuOption::kEnd) {
    return {{MenuOption::kPopup, 0, u"&File"},
            {end, 10, u"&Open"},
            {static_cast<std::uint16_t>(MenuOption::kPopup | end), 0, u"&Help"},
            {end, 11, u"&About"}};
}

std::vector<Entry> Nested(std::size_t popups) {
    std::vector<Entry> entries(popups, {static_cast<std::uint16_t>(MenuOption::kPopup | MenuOption::kEnd), 0, u"P"});
    entries.push_back({MenuOption::kEnd, 1, u"I"});
    return entries;
}

struct MenuFault { const char* name; Bytes bytes; std::string message; std::size_t offset; };

std::vector<MenuFault> MenuFaults() {
    Bytes whole = Menu(TwoPopups());
    auto cut = [&](std::size_t size) { return Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)); };
    return {
        {"HeaderCut", cut(3), "header is cut off", 2},
        {"UnknownVersion", Menu(TwoPopups(), 2), "unknown template version 2", 4},
        {"HeaderSizePastTheEnd", Menu(TwoPopups(), 0, 100), "header size runs past the end", 4},
        {"IdCut", cut(20), "entry runs past the end", 20},
        {"TextUnterminated", cut(60), "text has no terminator", 52},
        {"NoEndBits", Menu(TwoPopups(0)), "entry runs past the end", 66},
        {"NestedTooDeeply", Menu(Nested(MenuWalker::kMaxDepth + 1)), "popups nested too deeply",
         4 + 6 * (MenuWalker::kMaxDepth + 1)},
    };
}

} // namespace

TEST(MenuLayout, EveryStandardFixtureMenuIsWrittenBackByteForByte) {
    std::size_t standard = 0;
    std::size_t extended = 0;
    for (const auto& menu : FixtureTemplates(kTypeMenu)) {
        auto format = MenuWalker(menu.bytes).Header();
        ASSERT_TRUE(format) << menu.where;
        if (format.Value() == MenuFormat::Extended) {
            ++extended;
            EXPECT_EQ(ReadStandardMenu(menu.bytes).GetError().code, Error::Code::Unsupported) << menu.where;
            continue;
        }
        ++standard;
        auto written = RewriteMenu(menu.bytes);
        ASSERT_TRUE(written) << menu.where << ": " << written.GetError().Describe();
        EXPECT_EQ(written.Value(), menu.bytes) << menu.where;
    }
    EXPECT_GE(standard, 3u);
    EXPECT_GE(extended, 1u);
}

TEST(MenuLayout, EntriesComeInTemplateOrderWithTheirDepthAndDamageFaultsWhereTheWalkStopped) {
    Bytes bytes = Menu(TwoPopups());
    bytes.insert(bytes.end(), {0x10, 0x00, 'X', 0}); // after the end: not an entry
    auto entries = ReadStandardMenu(bytes);
    ASSERT_TRUE(entries);
    std::vector<std::pair<std::size_t, std::uint16_t>> walked;
    for (const MenuEntryView& entry : entries.Value()) walked.emplace_back(entry.depth, entry.id);
    EXPECT_EQ(walked, (std::vector<std::pair<std::size_t, std::uint16_t>>{{0, 0}, {1, 10}, {0, 0}, {1, 11}}));
    EXPECT_TRUE(ReadStandardMenu(Menu(Nested(MenuWalker::kMaxDepth))));
    // Damaged templates fault where the walk stopped.
    for (const MenuFault& fault : MenuFaults()) {
        Error read = FailureOf(ReadStandardMenu(fault.bytes), fault.name);
        EXPECT_EQ(std::pair(read.message, read.offset), std::pair(fault.message, std::uint64_t{fault.offset})) << fault.name;
    }
}
